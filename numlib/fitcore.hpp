// Internals shared by the scale fits of fits.cpp and fits_ext.cpp; not part of
// numlib's interface.
#pragma once

#include "numlib/farray.hpp"

namespace numlib::detail {

// Sums of the normal equations of E = S (T + shift) + B over J1..J2 with the
// weights w = 1/E^power, in double precision.  Points with E = 0 are
// skipped, with positiveOnly all points with E <= 0 (they have no real power).
struct NormalSums {
  double Sw = 0, Se = 0, St = 0, Stt = 0, Set = 0;

  double det() const { return Sw * Stt - St * St; }
  // Below 1e-12 of Sw Stt the determinant is only the rounding noise of the
  // double sums: T is constant over the weighted points (or there is one),
  // and scale and background cannot be told apart.
  bool singular() const { return !(det() > 1e-12 * Sw * Stt); }
};
NormalSums normalSums(Span1<const float> E, Span1<const float> T, int J1, int J2, double power, double shift,
                      bool positiveOnly);

// How the shrinking grid search lays out its backgrounds and moves its grids.
//   Scalbg: backgrounds b0, b0 + DB, ... from b0 = 0, grids moved as SCALBG
//     moves them.
//   Centred, CentredRecentre: backgrounds centred on b0 (from B on entry);
//     the grids follow the best point and shrink their steps only when it is
//     the grid's middle (SCALB2 and SCALB3, see fits_ext.hpp).
// On the centred grids a background with b + minT <= 0 becomes DB - minT;
// when that happens to the last background of a sweep DB is halved.
enum class Refinement { Scalbg, Centred, CentredRecentre };
struct SearchRules {
  Refinement refine = Refinement::Scalbg;
  float minT = 0.0f;
};

void gridSearch(Span1<const float> E, Span1<const float> T, int J1, int J2, float& DS, float& DB, float& S,
                float& B, float TOL, float& EPS, int JCRIT, const SearchRules& rules);

}  // namespace numlib::detail

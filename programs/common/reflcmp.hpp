// The reflectivity experiment file and the comparison of a computed curve
// against the glancing angle with it: the calculation grid, the footprint
// correction, the comparison window, the theory at the experimental angles
// and the fit of its scale and background.
#pragma once

#include <string>
#include <string_view>

#include "numlib/farray.hpp"
#include "programs/common/fio.hpp"

namespace common {

using numlib::Span1;

inline constexpr int kMaxReflPoints = 3500;  // room for the points of one experiment file

// A count, then one record per point: glancing angle (mrad), prompt counts,
// delayed counts.  A program keeps at most its own number of points.
struct ReflExperiment {
  int JEXP = 0;
  numlib::Arr1<float, kMaxReflPoints> XE, YEXPP, YEXPD;
};

// Opens the experiment file `name` on `in` and reads its point count.
int openReflExperiment(fio::Unit& in, std::string_view name);
// Reads n points, 0 <= n <= kMaxReflPoints, sets JEXP = n and closes the file.
void readReflPoints(fio::Unit& in, int n, ReflExperiment& x);

// Why the points of the experiment file `file` cannot be compared, or an
// empty text: an angle below the one before it (the comparison window and
// the theory at the angles take them in increasing order; equal angles, and
// angles at or below 0, which lie below any calculation grid, are fine), or a
// prompt or delayed count below 0.
std::string refusedPoints(const ReflExperiment& x, std::string_view file);
// The refusal of an experiment file `file` whose point count is below `least`.
std::string fewPointsText(std::string_view file, int least);

// The calculation grid: mrad(j) = UT0 + (j - 1) Ustep rounded to single
// precision, rad(j) the same sum unrounded / 1000.
void angleGrid(float UT0, float Ustep, int n, Span1<float> mrad, Span1<double> rad);

// The largest of y(1..n); y is divided by it when it is positive.
float normaliseToMax(Span1<float> y, int n);

// Where the beam is wider than the sample (angles up to ANGBEAM), the sample
// intercepts the share sin(UT) / sin(ANGBEAM) of it: curve(j) is multiplied
// by that for the leading angles UT(j) <= ANGBEAM.
void footprint(Span1<const float> UT, Span1<float> curve, int n, float ANGBEAM);

// Clamps the comparison limits to the experiment and then to the
// calculation grid [first, last], and finds the window: JZ1 the last point
// at or below ACOMP1 (1 if none), JZ2 the last at or below ACOMP2 (0 if
// none, an empty window).
void comparisonWindow(const ReflExperiment& x, float first, float last, float& ACOMP1, float& ACOMP2, int& JZ1,
                      int& JZ2);

// The curve (UT, curve, n points) interpolated onto the experimental angles
// and divided by its largest value there.
void theoryAtExperiment(Span1<const float> UT, Span1<const float> curve, int n, const ReflExperiment& x,
                        Span1<float> theory);

// Scale and background of the theory, kept from fit to fit: the scale search
// goes on from the scale and step the previous one left.
struct ScaleFit {
  float scale = 1;       // AMAX
  float background = 0;  // AFON
  float scaleStep = 0;
  bool first = true;     // no comparison yet: the search starts from scale 1
};

// Fits E ~ scale T + background over JZ1..JZ2 and returns the merit.  JFIT
// below 10: LINFIT with weight power JFIT; otherwise SCALBG with criterion
// JFIT - 10, background step 0.5 AF / EMAX (EMAX, the largest experimental
// count, turns AF into normalised units) and tolerance TOL.  `first` is
// left for the caller to clear.
float fitScale(Span1<const float> E, Span1<const float> T, int JEXP, int JZ1, int JZ2, int JFIT, float AF, float EMAX,
               float TOL, ScaleFit& f);

}  // namespace common

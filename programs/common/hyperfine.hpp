// The hyperfine part of the per-angle calculation: the angular factors that
// project the transitions of a multiplet onto the polarisation matrix, the
// resonance lines of every multiplet with its field distribution, the line
// sums at one energy and the nuclear susceptibility tensor of a sublayer.
//
// Conventions.  Energies in mm/s.  The tensor elements are numbered 11, 21,
// 12, 22 (row, column of the 2x2 polarisation matrix) and the transition
// types by the change of the doubled magnetic quantum number: column 1 = +2,
// column 2 = 0, column 3 = -2.
#pragma once

#include <array>

#include "numlib/cmatrix.hpp"
#include "numlib/farray.hpp"
#include "numlib/limits.hpp"
#include "programs/common/angleargs.hpp"
#include "programs/common/blocks.hpp"

namespace common {

using numlib::cdouble;

inline constexpr int NDIST = 101;  // points of a field distribution
inline constexpr int NLINE = 30;   // resonance lines of one multiplet: 10 ground levels x 3

// Angular factors of one item (sublayer or multiplet): (element, column).
using AngularFactors = std::array<std::array<cdouble, 3>, 4>;

// Angular factors for the polar angle BE, azimuth GA, azimuth spread WID (rad),
// random fraction RAND and in-plane fraction PLAN, scaled by F = 3 HF/(I2E+1).
AngularFactors angularFactors(double F, float BE, float GA, float RAND, float PLAN, float WID);

// Lines and line sums of one angle.
struct HyperfineWork {
  struct Line {
    double G;       // magnetic factor: line energy per tesla, mm/s/T
    double base;    // isomer shift plus quadrupole shifts, mm/s
    double h;       // half width, mm/s
    double weight;  // line intensity from the intensity table
    int col;        // transition type 1, 2, 3
  };

  // Set once per angle.
  int nm = 0;  // multiplets
  int nItems = 0;
  Arr1<AngularFactors, numlib::NMAX> fac;
  Arr1<bool, numlib::N6> active;  // multiplet present in some sublayer
  Arr1<int, numlib::N6> nLines, nField;
  Arr2<Line, NLINE, numlib::N6> lines;
  Arr2<double, NDIST, numlib::N6> Bfield, Bweight;  // field points (T) and weights

  // Per energy point.
  Arr2<cdouble, 3, numlib::N6> L;  // line sums per transition type and multiplet
  Arr2<cdouble, 4, numlib::N6> S;  // per-multiplet tensors (angular factors per multiplet)
};

// Angular factors of every item and the lines of every multiplet present.
void hyperfineSetup(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st, HyperfineWork& h);

// Line sums at energy E: L(t, m) = sum over the lines of type t of
// intensity x weight / ((E - E0) + i h); for angular factors per multiplet
// also S(e, m) = sum over t of factor(e, t) L(t, m).
void lineSums(const AngleArgs& a, HyperfineWork& h, double E);

// Nuclear susceptibility tensor (11, 21, 12, 22) of sublayer l from the
// current line sums.
void nuclearChi(const AngleArgs& a, const SteppedModel& st, const HyperfineWork& h, int l, cdouble chi[4]);

}  // namespace common

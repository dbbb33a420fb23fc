// The hyperfine part of the per-angle calculation: the angular factors that
// project the transitions of a multiplet onto the polarisation matrix, the
// resonance lines of every multiplet with its field distribution, the line
// sums at one energy and the nuclear susceptibility tensor of a sublayer.
// The resonance lines, field points and azimuth spread also serve the
// conversion-electron spectra, whose angular factors are their own.
//
// Conventions.  Energies in mm/s.  The tensor elements are numbered 11, 21,
// 12, 22 (row, column of the 2x2 polarisation matrix) and the transition
// types by the change of the doubled magnetic quantum number: column 1 = +2,
// column 2 = 0, column 3 = -2.
#pragma once

#include <array>

#include "numlib/clanes.hpp"
#include "numlib/cmatrix.hpp"
#include "numlib/farray.hpp"
#include "numlib/limits.hpp"
#include "programs/common/angleargs.hpp"
#include "programs/common/blocks.hpp"

namespace common {

using numlib::cdouble;
using numlib::Span1;

inline constexpr int NDIST = 101;  // points of a field distribution
inline constexpr int NLINE = 30;   // resonance lines of one multiplet: 10 ground levels x 3

// Angular factors of one item (sublayer or multiplet): (element, column).
using AngularFactors = std::array<std::array<cdouble, 3>, 4>;

// Angular factors for the polar angle BE, azimuth GA, azimuth spread WID (rad),
// random fraction RAND and in-plane fraction PLAN, scaled by F = 3 HF/(I2E+1).
AngularFactors angularFactors(double F, float BE, float GA, float RAND, float PLAN, float WID);

// One resonance line: at field B it lies at E0 = G B + base, half width h.
struct HyperfineLine {
  double G;       // magnetic factor: line energy per tesla, mm/s/T
  double base;    // isomer shift plus quadrupole shifts, mm/s
  double h;       // half width, mm/s
  double weight;  // line intensity from the intensity table
  int col;        // transition type 1, 2, 3
};

// Quadrupole function of the doubled magnetic quantum number m in a state of
// doubled spin i2: (3m^2 - i2(i2+2)) / (2 i2 (2 i2 - 2)), formed in reals;
// 0 without a quadrupole moment (spin 1/2 or 0).
double quadFunction(int m, int i2);

// The field points of multiplet m: 2 JAV1 + 1 fields Bhf + j SWD dBhf / JAV1
// with the weights WDIST when a distribution is in use (IDIST not 0, dBhf not
// 0, JAV1 >= 1), otherwise Bhf alone with weight 1.  A JAV1 of 0 would divide
// by zero in the field step: the multiplet is then taken as without one.  No
// more points are used than B, weight and WDIST hold.  Returns their number.
int fieldPoints(const NuclearConstants& C, int m, Span1<const float> WDIST, int IDIST, Span1<double> B,
                Span1<double> weight);

// The resonance lines of multiplet m (at most 3 (I2G + 1)).  Without a field
// distribution (`distributed` false) a non-zero dBhf widens each line by
// |G| dBhf; with one, every line keeps the natural width.  Returns their number.
int resonanceLines(const NuclearConstants& C, int m, bool distributed, Span1<HyperfineLine> out);

// Azimuths and weights of the field direction's spread: GA alone with weight
// 1 when WID = 0, otherwise 21 azimuths GA + k WID/4 (k = -10..10) with the
// Gaussian weights exp(-k^2/32) normalised to 1 (angles in radians).
struct AzimuthSpread {
  int n = 1;
  std::array<float, 21> gamma{}, weight{};
};
AzimuthSpread azimuthSpread(float GA, float WID);

// Lines and line sums of one angle.
struct HyperfineWork {
  using Line = HyperfineLine;

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

// The line sums of several energy points, one in each lane
// (numlib/clanes.hpp).
struct LineSumsL {
  Arr2<numlib::lanes::Complex, 3, numlib::N6> L;
  Arr2<numlib::lanes::Complex, 4, numlib::N6> S;
};

// lineSums at E[0..n-1] into the lanes of ls; the lanes from n up copy lane
// n - 1.  Leaves in h the line sums of E[n - 1].
void lineSumsL(const AngleArgs& a, HyperfineWork& h, const double E[], int n, LineSumsL& ls);

// nuclearChi of every lane, each to the last bit.  Inline, for functions
// compiled for both instruction sets.
[[gnu::always_inline]] inline void nuclearChiL(const AngleArgs& a, const SteppedModel& st, const HyperfineWork& h,
                                               const LineSumsL& ls, int l, numlib::lanes::Complex chi[4]) {
  using numlib::lanes::broadcast;
  using numlib::lanes::Complex;
  for (int e = 0; e < 4; ++e) chi[e] = Complex{};
  if (a.IBHF == 2) {
    for (int m = 1; m <= h.nm; ++m) {
      const double v = st.V(m, l);
      if (v == 0.0) continue;
      for (int e = 0; e < 4; ++e) chi[e] = chi[e] - ls.S(e + 1, m) * broadcast(v);
    }
    return;
  }
  Complex U[3] = {};
  bool any = false;
  for (int m = 1; m <= h.nm; ++m) {
    const double v = st.V(m, l);
    if (v == 0.0) continue;
    any = true;
    for (int t = 0; t < 3; ++t) U[t] = U[t] + ls.L(t + 1, m) * broadcast(v);
  }
  if (!any) return;
  const AngularFactors& f = h.fac(l);
  for (int e = 0; e < 4; ++e)
    chi[e] = -((broadcast(f[e][0]) * U[0] + broadcast(f[e][1]) * U[1]) + broadcast(f[e][2]) * U[2]);
}

}  // namespace common

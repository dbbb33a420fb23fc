// Nuclear plus electronic response of a stepped sample at one grazing angle:
// the hyperfine susceptibility tensor of every sublayer on the energy grid,
// the 2x2 reflection matrix of the stack (transfer-matrix product or Parratt
// recursion), the per-point values and the transform to the delayed time
// spectrum.  The time-spectra program (TIMCALU) and the delayed-prompt program
// call the same routines and differ only in what they keep of the results.
//
// Conventions.  Energies in mm/s; thicknesses are phase thicknesses (Angstrom
// times K0); susceptibilities are plain numbers (not in units of 1e-6).  The
// tensor elements are numbered 11, 21, 12, 22 (row, column of the 2x2
// polarisation matrix) and the transition types by the change of the doubled
// magnetic quantum number: column 1 = +2, column 2 = 0, column 3 = -2.
//
// No state is kept between calls: everything lives in the caller's AngleWork,
// so that several angles may run at once, each with its own AngleWork.
#pragma once

#include <array>
#include <complex>

#include "numlib/cmatrix.hpp"
#include "numlib/farray.hpp"
#include "numlib/limits.hpp"
#include "programs/common/blocks.hpp"
#include "programs/common/egrid.hpp"
#include "programs/common/hyperfine.hpp"

namespace common {

using numlib::Arr1;
using numlib::Arr2;
using numlib::Arr3;
using numlib::cdouble;
using numlib::CMat2;
using numlib::CMat4;
using numlib::Span1;

inline constexpr int NEMAX = kMaxEnergy;  // energy points of one spectrum
inline constexpr int JEMAX = 1024;  // time channels (and FFT length)
inline constexpr int NDIST = 101;   // points of a field distribution
inline constexpr int NLINE = 30;    // resonance lines of one multiplet: 10 ground levels x 3

// The inputs of one angle besides the nuclear constants and the stepped model.
struct AngleArgs {
  int IBHF = 1;              // 2: angular parameters per multiplet; otherwise per sublayer
  int NM = 0;                // multiplets (at most 8)
  int Jway = 1;              // 1: transfer-matrix product; otherwise Parratt recursion
  double angle = 0;          // grazing angle, rad (> 0)
  float XEST = 0;            // energy step of the Fourier window, mm/s
  int NE = 0;                // energy points (at most 512)
  Span1<const float> grid;   // energy grid, mm/s, ascending
  Span1<const float> WDIST;  // field-distribution weights, 2 JAV1 + 1 points
  int IDIST = 0;             // 0: no distribution table
};

// Angular factors of one item (sublayer or multiplet): (element, column).
using AngularFactors = std::array<std::array<cdouble, 3>, 4>;

// Angular factors for the polar angle BE, azimuth GA, azimuth spread WID (rad),
// random fraction RAND and in-plane fraction PLAN, scaled by F = 3 HF/(I2E+1).
AngularFactors angularFactors(double F, float BE, float GA, float RAND, float PLAN, float WID);

// Susceptibility tensor of one sublayer and its two down-going wave numbers
// (in units of the vacuum wave number): q1^2 and q2^2 are the eigenvalues of
// K = [[s^2 + c22, c12], [c21, s^2 + c11]].
struct LayerModes {
  cdouble c11, c21, c12, c22;
  cdouble D;       // half the splitting of the eigenvalues of K
  cdouble q1, q2;  // principal square roots of s^2 + (c11 + c22)/2 +- D
  cdouble W;       // s^2 + c11 + q1 q2
  cdouble invW;    // 1/W
  bool isotropic;  // c21 = c12 = 0 and c11 = c22: scalar propagation
};

// The modes of the tensor (c11, c21, c12, c22) at s^2 = sin^2(angle).  A wave
// number of exactly zero (only without any absorption, at exactly the critical
// angle) has no finite layer matrices; the tensor then receives an absorption
// 1e-20 times its scale, which leaves the reflection matrix unchanged to ~1e-10.
LayerModes layerModes(cdouble c11, cdouble c21, cdouble c12, cdouble c22, double s2);

// Characteristic matrix exp(i d M) of a sublayer of phase thickness d, M being
// its 4x4 propagation operator.
void layerMatrix4(const LayerModes& m, double s2, double d, CMat4& T);

// The 2x2 matrix that gives the lower half (rows 3, 4) of the field vector of
// a down-going wave from its upper half (rows 1, 2); for an isotropic medium
// diag(q, 1/q).  It is the boundary matrix of the substrate.
void layerAdmittance(const LayerModes& m, CMat2& F);

// Propagation of the upper half of the field vector through the sublayer:
// Pf = exp(i d Mf) for the down-going and Pb = exp(-i d Mb) for the up-going
// waves, Mb being Mf with its diagonal negated.
void layerPropagators(const LayerModes& m, double s2, double d, CMat2& Pf, CMat2& Pb);

// Work storage of one angle.  Large (a few hundred kB): keep one per thread.
struct AngleWork {
  using Line = HyperfineLine;

  // Set once per call.
  double s = 0, s2 = 0;
  int nrr = 1;  // repetitions of the block N1Nst..N2Nst (1 if the block is not usable)
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
  Arr1<CMat2, numlib::NMAX> F, Pf, Pb;  // Parratt: admittance and propagators per sublayer
  bool recursive = false;  // the matrix path left the point to the recursion

  // Per-point amplitude differences: R11 - Rref11 and (R21 - Rref21)/s.
  Arr1<double, NEMAX> a1, b1, a2, b2;

  // Time transform.
  Arr1<float, JEMAX> XN;
  Arr1<double, JEMAX> column;
  Arr1<cdouble, JEMAX> fft;
  Arr1<double, JEMAX> spectrum;
};

// Absorption sums of the nuclear part, per energy point: sum over the sublayers
// (the block counted NRR times) of thickness times |Im chi11| and |Im chi22|.
struct Absorption {
  float E1 = 0, E2 = 0;
};

// Set-up of one angle: sine, block, angular factors and resonance lines.
void angleSetup(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st,
                AngleWork& w);

// Reflection matrix of the stack at energy E (mm/s), after angleSetup, by the
// path that a.Jway selects.  The matrix path gives P^-1 Q of the transfer
// matrix, which is the negative of the Parratt amplitude; intensities and
// amplitude differences squared are the same.  Where absorbing layers are too
// thick for the transfer-matrix product to keep the precision of R, the
// matrix path takes R from the recursion (with its own sign) and sets
// w.recursive.  Adds to *abs when given.
CMat2 reflectionAt(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st,
                   AngleWork& w, double E, Absorption* abs);

// Per-point results of the energy loop.  E1, E2 and RE are filled only when
// they have room for NE points (the delayed-prompt program does without them).
struct AnglePoints {
  float YRELAY = 0;  // |R11|^2 + (|R21|/s)^2 at the first energy point
  float SUME = 0;    // delayed reflectivity integrated over energy, mm/s
  int recursivePoints = 0;  // points the matrix path left to the recursion
  Span1<float> E1, E2, RE;
};

// Energy loop: set-up, reflection at every grid point, per-point values, and
// the amplitude-difference curves w.a1, w.b1, w.a2, w.b2 for the transform.
void angleEnergyLoop(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st,
                     AngleWork& w, AnglePoints& out);

// Delayed time spectrum from the curves of the last energy loop: both
// amplitude curves interpolated onto the JE-point window of step XEST centred
// on zero energy, transformed, and |F|^2 summed over the two, in
// spectrum(1..JE).  Channel j is the time (j-1) LYAMBDA/(XEST JE) * 100 ns.
void angleTimeSpectrum(const NuclearConstants& C, const AngleArgs& a, AngleWork& w,
                       Span1<double> spectrum);

}  // namespace common

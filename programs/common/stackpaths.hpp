// The reflection matrix of a stepped stack at one energy, by one of two
// paths: the product of the 4x4 transfer matrices of the sublayers, or the
// Parratt recursion of 2x2 reflection matrices from the substrate up.  An
// estimate of the precision the product keeps decides, point by point,
// where the recursion must take over from the matrix path.  Up to four
// energy points go through either path at once, one in each lane of a
// vector; each gives the same numbers as alone.
//
// Conventions.  Thicknesses are phase thicknesses (Angstrom times K0);
// susceptibilities are plain numbers.  The range N1Nst..N2Nst of the stepped
// model stands for NRR copies of itself.
#pragma once

#include "numlib/clanes.hpp"
#include "numlib/cmatrix.hpp"
#include "numlib/farray.hpp"
#include "numlib/limits.hpp"
#include "programs/common/angleargs.hpp"
#include "programs/common/blocks.hpp"
#include "programs/common/hyperfine.hpp"

namespace common {

using numlib::CMat2;
using numlib::CMat4;

// Energy points taken at once, one in each lane of a vector
// (numlib/clanes.hpp).
inline constexpr int kStackPoints = numlib::lanes::W;

// Parratt: admittance and propagators per sublayer, for kStackPoints energy
// points side by side.
struct ParrattLayers {
  Arr1<numlib::lanes::CMat2L, numlib::NMAX> F, Pf, Pb;
};

// Geometry of one angle.
struct StackGeometry {
  double s = 0, s2 = 0;  // sine of the grazing angle and its square
  int nrr = 1;  // repetitions of the block N1Nst..N2Nst (1 if the block is not usable)
};

// Geometry and the work of the recursion.
struct StackWork : StackGeometry {
  ParrattLayers par;
};

// Absorption sums of the nuclear part, per energy point: sum over the sublayers
// (the block counted NRR times) of thickness times |Im chi11| and |Im chi22|.
struct Absorption {
  float E1 = 0, E2 = 0;
};

// Sine and repeated block of one angle.
void stackSetup(const AngleArgs& a, const SteppedModel& st, StackWork& w);

// Reflection matrices of the stack at the energies E[0..n-1] (n from 1 to
// kStackPoints) at once, line sums included (h keeps those of E[n-1]), by
// the path that a.Jway selects.  Each point's R is the same to the last bit
// whatever is computed beside it.  The matrix path gives P^-1 Q of the
// transfer matrix, which is the negative of the Parratt amplitude;
// intensities and amplitude differences squared are the same.  Where
// absorbing layers are too thick for the transfer-matrix product to keep the
// precision of R, the matrix path takes R from the recursion (with its own
// sign) and sets recursive[p].  Adds to *abs[p] when given.
void stackReflections(const AngleArgs& a, const SteppedModel& st, HyperfineWork& h, StackWork& w, int n,
                      const double E[], Absorption* const abs[], CMat2 R[], bool recursive[]);

}  // namespace common

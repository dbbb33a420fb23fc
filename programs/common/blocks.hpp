// Data blocks that every console program shares: the nuclear constants read
// by the per-energy calculation, and the stepped model that each pass builds.
#pragma once

#include <complex>

#include "numlib/farray.hpp"
#include "numlib/limits.hpp"
#include "programs/common/timing.hpp"

namespace common {

using numlib::Arr1;
using numlib::Arr2;
using numlib::N6;
using numlib::NMAX;

// The shared block of nuclear constants: filled from the constants file and
// the field distribution, with the hyperfine quantities of the multiplets
// copied in from the parameter table every pass.
struct NuclearConstants {
  int JE = JEMAX;                // time (and FFT) channels
  int I2G = 0, I2E = 0;          // twice the ground and excited spins
  float GFAC = 0, EFAC = 0;      // magnetic splitting factors
  float QRAT = 0;                // quadrupole factor
  Arr2<double, 10, 3> CTRANS;    // line intensities: ground sub-level x transition +1, 0, -1
  double GE = 0;                 // natural line width, mm/s
  double HF = 0;                 // nuclear scattering factor
  int JAV1 = 0;                  // points of the field half-distribution
  float SWD = 0;                 // largest abscissa of the field distribution
  Arr1<float, N6> Bhf, dBhf, IS, EFG, GRd;  // per multiplet: T, T, mm/s, mm/s, mm/s
};

// The stepped model of one pass.  Thicknesses are in Angstrom until the pass
// multiplies them by K0 (then dimensionless phase thicknesses).  The range
// N1Nst..N2Nst stands for NRR consecutive copies of itself.
struct SteppedModel {
  int NNst = 0, N1Nst = 0, N2Nst = 0, NRR = 1;
  Arr1<double, NMAX> thickness;
  bool phase = false;  // thicknesses multiplied by K0
  Arr1<std::complex<double>, NMAX> chi;   // electronic susceptibility (not scaled by 1e6)
  Arr2<float, N6, NMAX> V;                // V(K, sublayer)
  Arr1<int, NMAX> parent;                 // model layer of each sublayer
  // Angular parameters (radians for BE, GA, WID): per sublayer when IBHF < 2,
  // entries 1..NM per multiplet when IBHF = 2.
  Arr1<float, NMAX> BE, GA, RAND, PLAN, WID;
};

}  // namespace common

// Energy spectrum and delayed time spectrum of the stepped sample at one
// grazing angle, for the time-spectra program.
#pragma once

#include "programs/common/angle_core.hpp"
#include "programs/common/blocks.hpp"

namespace zeprin {

// What TIMCALU gives back for one angle.
struct TimcaluOut {
  numlib::Arr1<float, common::NEMAX> E1, E2;  // nuclear absorption sums of the two polarisations
  numlib::Arr1<float, common::NEMAX> RE;      // reflectivity |R11|^2 + (|R21|/s)^2
  numlib::Arr1<float, common::JEMAX> It;      // delayed time spectrum, JE channels
  float SUME = 0;      // delayed reflectivity integrated over energy, mm/s
  float SUMTfull = 0;  // sum of the time spectrum
  float YRELAY = 0;    // reflectivity at the first (off-resonance) energy point
  int recursivePoints = 0;  // energy points the matrix path left to the recursion
};

// The angle's inputs are in a (IBHF, NM, Jway, angle, XEST, NE, energy grid,
// WDIST, IDIST) and in the stepped model st (NNst, N1Nst, N2Nst, NRR, the
// thicknesses already multiplied by K0, electronic susceptibilities, V, BE,
// GA, RAND, PLAN, WID).  w is scratch storage owned by the caller.
void TIMCALU(const common::NuclearConstants& C, const common::AngleArgs& a,
             const common::SteppedModel& st, TimcaluOut& out, common::AngleWork& w);

}  // namespace zeprin

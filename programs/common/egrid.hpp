// The energy grid of the per-angle spectra: steps of XEST within XEMAX of
// resonance, coarser farther out, from the low end of the Fourier window.
#pragma once

#include "numlib/farray.hpp"
#include "programs/common/fio.hpp"

namespace common {

inline constexpr int kMaxEnergy = 512;

struct EnergyGrid {
  numlib::Arr1<float, kMaxEnergy> X;  // mm/s
  int NE = 0;                         // points used
  int I1 = 1, I2 = 0;                 // range written to the energy-spectrum files
};

// Builds the grid for JE Fourier channels of width XEST (mm/s).  I1 is 0
// when no point lies below -XEMAX (the files then start at point 1).  A
// grid that the 512-point cap ends below the top of the Fourier window is
// reported on the console and in the run log.
void EGRID(fio::Unit& log, int JE, float XEST, float XEMAX, EnergyGrid& g);

}  // namespace common

// Unpacking of the parameter table YV into the model arrays, with every
// physical clamp applied and written back into YV.
#pragma once

#include "numlib/farray.hpp"
#include "numlib/limits.hpp"
#include "numlib/yvlayout.hpp"

namespace numlib {

using YVTable = Arr2<float, NYVL, NYVC>;

// The model as one pass uses it.  Angular arrays hold one entry per layer
// (IBHF = 1) or per multiplet (otherwise); BE, GA and WID in radians.
struct ModelArrays {
  Arr1<double, N24> thickness;          // H1A, Angstrom
  Arr1<float, N24> ELD1, ELD2;          // electronic susceptibility, 1e-6
  Arr2<float, N6, N24> V;               // V(K, layer)
  Arr1<float, N6> S;                    // area ratios
  Arr1<float, N6> F;                    // factors applied by VNORM
  Arr1<float, N24> BE, GA, RAND, PLAN, WID;
  Arr1<float, N6> Bhf, dBhf, IS, EFG, GRd;
  Arr1<double, yv::NANGLES> angles;     // grazing angles, radians
  float HKMAX = 0;
};

// The electronic part of the sublayer lines 1..NNN: thickness (a negative
// one becomes 0) and both susceptibilities, with the corrections written
// back into YV.  The imaginary susceptibility (absorption) is made
// non-negative; with realNonPositive a positive real susceptibility is
// negated too (the sign of x-rays, which the prompt program enforces).
void unpackElectronic(YVTable& YV, int NNN, bool realNonPositive, ModelArrays& out);

// What the programs' unpackings differ in.  The delayed-prompt program
// leaves the repeated block as the table gives it and takes its grazing
// angles from elsewhere (the angle entries of YV are neither read nor
// written back).
struct YVModOptions {
  bool keepBlockPeriod = true;
  bool angles = true;
};

// selector < 0 smooths all multiplets, otherwise the one of rowCode (4..11);
// normFlag = 2 skips smoothing and VNORM (the stepped model is normalised).
// A repeated block (NRN > 1) is rescaled to sum to `period` unless its
// thicknesses sum to 0.  YV receives the clamped, folded model; the angles go
// back in the folded degrees, so that a second call changes nothing.
void YVMOD(YVTable& YV, int NNN, int N1N, int N2N, int NRN, int NM, int IBHF, int INORM, int ISQ,
           Span1<const float> HK, float period, int selector, int rowCode, float SIG, int normFlag,
           ModelArrays& out, const YVModOptions& opt = {});

}  // namespace numlib

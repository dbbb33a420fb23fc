// The delayed time spectrum of one angle: the amplitude differences from
// the energy loop, interpolated onto the Fourier window centred on zero
// energy, transformed, and summed in intensity over the two polarisation
// channels.
#pragma once

#include "numlib/cmatrix.hpp"
#include "numlib/farray.hpp"
#include "programs/common/angleargs.hpp"
#include "programs/common/timing.hpp"

namespace common {

// Per-point amplitude differences on the energy grid: R11 - Rref11 and
// (R21 - Rref21)/s, real and imaginary parts.
struct AmplitudeCurves {
  Arr1<double, NEMAX> a1, b1, a2, b2;
};

// Work storage of the transform.
struct TransformWork {
  Arr1<float, JEMAX> XN;
  Arr1<double, JEMAX> column;
  Arr1<numlib::cdouble, JEMAX> fft;
};

// Both amplitude curves interpolated onto the JE-point window of step XEST
// centred on zero energy, transformed, and |F|^2 summed over the two, in
// spectrum(1..JE).  Channel j is the time (j-1) LYAMBDA/(XEST JE) * 100 ns.
void timeTransform(int JE, const AngleArgs& a, const AmplitudeCurves& c, TransformWork& w, Span1<double> spectrum);

}  // namespace common

// Averaging of a computed reflectivity curve over the angular divergence of
// the incident beam.
#pragma once

#include "numlib/farray.hpp"
#include "programs/common/fio.hpp"

namespace common {

inline constexpr int kMaxGaussKernel = 101;  // kernel weights
inline constexpr int kMaxGaussGrid = 5500;   // points of the uniform work grid

// Y(1..N), given at the increasing abscissae X, becomes its convolution with
// a Gaussian of standard deviation SIG (units of X) cut at +-2 SIG.  The
// curve is resampled on a uniform grid of step 4 SIG / (NG - 1), or the
// spacing of the first two points when that is finer (NG then grows to fit
// and is written back), averaged there and interpolated back; the M points
// at each end of the grid, where the kernel would reach past the curve, keep
// their values.
//
// The kernel holds at most kMaxGaussKernel weights: a larger NG writes a line
// to the run log `log` and is capped, with the step widened to match.  A
// curve longer than kMaxGaussGrid steps is averaged on a coarser grid
// covering all of it.  The kernel is symmetric (an even NG uses NG - 1
// weights).  Fewer than 2 points, SIG <= 0, X(2) <= X(1) or a kernel too
// narrow to spread over one step of the grid (a single weight) leave Y
// unchanged.
// Work arrays are static: not reentrant.
void GAUSS(fio::Unit& log, numlib::Span1<const float> X, numlib::Span1<float> Y, int N, float SIG, int& NG);

}  // namespace common

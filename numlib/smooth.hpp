// Smoothing and re-binning of single-precision curves on a grid.
#pragma once

#include "numlib/farray.hpp"

namespace numlib {

// Widest half-kernel (NW + 1)/2 that LORSMO smooths with.
inline constexpr int kLorsmoMaxHalf = 2048;

// Convolution of Y(1..N) with the Lorentzian kernel w(k) = 1/(GAMMA^2 +
// (STEP (k - h))^2), k = 1..NW, h = (NW + 1)/2, normalised to sum 1: every
// point h <= i <= N - h - 1 becomes the kernel mean of the values before the
// call around it; the others keep their values.  A zero width (GAMMA = 0)
// is a delta kernel and changes nothing; so does a half-kernel h wider than
// kLorsmoMaxHalf, which no curve of the programs (at most 3500 points) has
// room to smooth with.
void LORSMO(float STEP, Span1<float> Y, int N, float GAMMA, int NW);

// Box average of the curve X, Y (n points, X ascending) onto the targets
// XN (m points, ascending): YN(i) is the mean of the Y(j) with
// |X(j) - XN(i)| <= c, c = |XN(2) - XN(1)|/2 * FAC, and 0 where there is
// none.  With one target the box takes every point.
void REBIN(Span1<const float> X, Span1<const float> Y, Span1<const float> XN, Span1<float> YN, int n, int m,
           float FAC);

}  // namespace numlib

// Linear interpolation between grids and the radix-2 FFT.
#pragma once

#include <complex>

#include "numlib/farray.hpp"

namespace numlib {

// DATA(1..NN) := sum_k DATA(k) exp(SIGN 2 pi i (j-1)(k-1)/NN), not normalised.
// NN must be a power of two no larger than DATA; otherwise DATA is left
// unchanged and false is returned.
bool FFT(Span1<std::complex<double>> DATA, int NN, double SIGN);

// YN(i) := Y interpolated linearly at XN(i), i = 1..m, from the n points (X, Y).
// X ascends; the bracket only moves forward, so targets should ascend too (a
// target below the current bracket is extrapolated from it, one above X(n)
// from the last interval).  n = 1 gives Y(1) everywhere, n <= 0 gives 0.
void INTERP(Span1<const float> X, Span1<const double> Y, Span1<const float> XN, Span1<double> YN,
            int n, int m);
void INTERS(Span1<const float> X, Span1<const float> Y, Span1<const float> XN, Span1<float> YN,
            int n, int m);

}  // namespace numlib

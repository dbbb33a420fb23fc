// Prompt (electronic) specular reflectivity of a stepped model at one
// grazing angle, by 2x2 characteristic matrices, with the repeated block
// raised to its count by squaring.
#pragma once

#include <complex>

#include "numlib/farray.hpp"

namespace numlib {

// Amplitude reflection coefficient r of the stack.  Sublayers 1..NNst-1 are
// the films, top first, NNst the half-infinite substrate; N1Nst..N2Nst stand
// NRR times in the sample (NRR <= 1: once).  D holds the sublayer
// thicknesses times K0, CHI the susceptibilities (n^2 - 1, not scaled).
// THETA is the grazing angle in radians; the normal wave-vector component is
// taken from sin(THETA).  The block is applied when the layer pass reaches
// N2Nst, so a block ending at the substrate is not repeated.
std::complex<double> NREFamp(double THETA, int NNst, int N1Nst, int N2Nst, int NRR, Span1<const double> D,
                             Span1<const std::complex<double>> CHI);

// R = |r|^2, rounded to single precision.
void NREF(double THETA, int NNst, int N1Nst, int N2Nst, int NRR, Span1<const double> D,
          Span1<const std::complex<double>> CHI, float& R);

}  // namespace numlib

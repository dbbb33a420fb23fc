// Convolution of a spectrum on a uniform energy grid with the Lorentzian line
// of the Moessbauer source.
#pragma once

#include "numlib/farray.hpp"

namespace brinax {

inline constexpr int kMaxKernel = 513;  // weights of the source-line kernel

// DST(i) = sum_j SRC(i - c + j) W(j) / sum W, j = 1..LS, c = (LS + 1)/2, with
// the Lorentzian weights W(j) = 1 / (GS^2 + ((j - c) DE)^2): the source line
// of half width GS (mm/s) on the grid of step DE, cut where the kernel ends
// (about five half widths on each side when LS = 10 GS / DE).  The first c - 1
// and the last c + 1 points, where the kernel would reach past the spectrum,
// are copied; a kernel of fewer than 2 points copies the whole spectrum.  LS
// is at most kMaxKernel; DST and SRC are distinct.
void LORCNV(float DE, numlib::Span1<const float> SRC, int N, float GS, int LS, numlib::Span1<float> DST);

}  // namespace brinax

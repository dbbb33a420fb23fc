#include "programs/brinax/lorcnv.hpp"

#include <algorithm>
#include <array>

namespace brinax {

void LORCNV(float DE, numlib::Span1<const float> SRC, int N, float GS, int LS, numlib::Span1<float> DST) {
  // ESCALE stops on a longer kernel; the bound only keeps it in its array.
  LS = std::min(LS, kMaxKernel);
  if (LS < 2) {
    for (int i = 1; i <= N; ++i) DST(i) = SRC(i);
    return;
  }
  std::array<float, kMaxKernel> W;
  const int c = (LS + 1) / 2;
  double WS = 0;
  for (int j = 1; j <= LS; ++j) {
    const float x = static_cast<float>(j - c) * DE;
    W[j - 1] = 1.0f / (GS * GS + x * x);
    WS += W[j - 1];
  }
  for (int i = 1; i <= N; ++i) {
    if (i < c || i >= N - c) {
      DST(i) = SRC(i);
      continue;
    }
    double s = 0;
    for (int j = 1; j <= LS; ++j) s += SRC(i - c + j) * (W[j - 1] / WS);
    DST(i) = static_cast<float>(s);
  }
}

}  // namespace brinax

#include "numlib/smooth.hpp"

#include <array>
#include <cmath>
#include <limits>

namespace numlib {

// Y is smoothed in place, from the first point on: the values a kernel needs
// below the current point were already replaced, so their values before the
// call are kept in a ring of h entries.
void LORSMO(float STEP, Span1<float> Y, int N, float GAMMA, int NW) {
  const int h = (NW + 1) / 2;
  if (GAMMA == 0.0f || NW < 1 || h > kLorsmoMaxHalf || h > N - h - 1) return;
  static std::array<double, 2 * kLorsmoMaxHalf> w;
  static std::array<float, kLorsmoMaxHalf> before;
  double W = 0.0;
  for (int k = 1; k <= NW; ++k) {
    const double x = static_cast<double>(STEP) * (k - h);
    w[k - 1] = 1.0 / (static_cast<double>(GAMMA) * GAMMA + x * x);
    W += w[k - 1];
  }
  for (int i = h; i <= N - h - 1; ++i) {
    double sum = 0.0;
    for (int k = 1; k <= NW; ++k) {
      const int j = i - h + k;
      const float v = j >= h && j < i ? before[j % kLorsmoMaxHalf] : Y(j);
      sum += v * w[k - 1];
    }
    before[i % kLorsmoMaxHalf] = Y(i);
    Y(i) = static_cast<float>(sum / W);
  }
}

void REBIN(Span1<const float> X, Span1<const float> Y, Span1<const float> XN, Span1<float> YN, int n, int m,
           float FAC) {
  if (m < 1) return;
  // With a single target there is no spacing to take the width from.
  const float c = m >= 2 ? std::fabs(XN(2) - XN(1)) / 2.0f * FAC : std::numeric_limits<float>::infinity();
  int first = 1;  // the search over X moves forward only
  for (int i = 1; i <= m; ++i) {
    const float lo = XN(i) - c, hi = XN(i) + c;
    while (first <= n && X(first) < lo) ++first;
    double sum = 0.0;
    int count = 0;
    for (int j = first; j <= n && X(j) <= hi; ++j) {
      sum += Y(j);
      ++count;
    }
    YN(i) = count > 0 ? static_cast<float>(sum / count) : 0.0f;
  }
}

}  // namespace numlib

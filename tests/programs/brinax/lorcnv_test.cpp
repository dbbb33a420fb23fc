// The source-line convolution: Lorentzian half widths add, a constant stays
// constant, and the kernel's own small cases.
#include "programs/brinax/lorcnv.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using numlib::Span1;

std::vector<float> convolve(std::vector<float> src, float DE, float GS, int LS) {
  std::vector<float> dst(src.size(), -1.0f);
  const int N = static_cast<int>(src.size());
  brinax::LORCNV(DE, Span1<const float>(src.data(), N), N, GS, LS, Span1<float>(dst.data(), N));
  return dst;
}

// Half width at half maximum of a single peak centred on point c.
double halfWidth(const std::vector<float>& y, int c, float DE) {
  const double half = y[c] / 2;
  int k = c;
  while (y[k + 1] > half) ++k;
  const double frac = (y[k] - half) / (y[k] - y[k + 1]);
  return (k - c + frac) * DE;
}

// A Lorentzian line of half width G seen through a source line of half width
// GS is a Lorentzian of half width G + GS: the kernel, cut at five half widths
// and renormalised, keeps that within 1 % while G <= GS.
TEST(LORCNV, HalfWidthsOfTheLineAndTheSourceAdd) {
  const float cases[][2] = {{0.05f, 0.05f}, {0.02f, 0.1f}, {0.1f, 0.1f}, {0.0485f, 0.135f}};  // G, GS
  const float DE = 0.005f;
  const int N = 1024, c = N / 2;
  for (const auto& cs : cases) {
    const float G = cs[0], GS = cs[1];
    std::vector<float> line(N);
    for (int i = 0; i < N; ++i) {
      const float x = (i - c) * DE;
      line[i] = G * G / (x * x + G * G);
    }
    const int LS = static_cast<int>(10 * GS / DE);
    const std::vector<float> out = convolve(line, DE, GS, LS);
    EXPECT_NEAR(halfWidth(out, c, DE), G + GS, 0.01 * (G + GS)) << G << " " << GS;
  }
}

// A constant stays constant whatever the kernel; LS = 3, DE = GS = 1 gives
// the weights 1/2, 1, 1/2 and copies the first and the last three points; a
// kernel of fewer than two points copies the spectrum.
TEST(LORCNV, ConstantStaysConstantAndSmallKernels) {
  for (int LS : {2, 19, 20, 513})
    for (float v : convolve(std::vector<float>(1024, 2.5f), 0.03f, 0.06f, LS)) ASSERT_NEAR(v, 2.5f, 2.5e-6f) << LS;
  const std::vector<float> src = {1, 2, 4, 8, 16, 32, 64, 128};
  const std::vector<float> out = convolve(src, 1.0f, 1.0f, 3);
  for (int i = 2; i <= 5; ++i) EXPECT_FLOAT_EQ(out[i - 1], src[i - 2] / 4 + src[i - 1] / 2 + src[i] / 4) << i;
  for (int i : {1, 6, 7, 8}) EXPECT_EQ(out[i - 1], src[i - 1]) << i;
  for (int LS : {1, 0, -4}) EXPECT_EQ(convolve(src, 1.0f, 1.0f, LS), src) << LS;
}

}  // namespace

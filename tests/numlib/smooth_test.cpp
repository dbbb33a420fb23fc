// Lorentzian smoothing and box re-binning: averages with weights that sum to
// one keep a constant, and symmetric ones keep a straight line.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numlib/smooth.hpp"

namespace {

using namespace numlib;

Span1<float> span(std::vector<float>& v) { return {v.data(), static_cast<int>(v.size())}; }
Span1<const float> cspan(const std::vector<float>& v) { return {v.data(), static_cast<int>(v.size())}; }

TEST(Smoothing, LorentzianKernelAveragesInPlace) {
  struct Case {
    float step, gamma;
    int nw;
  };
  for (const Case c : {Case{0.1f, 0.3f, 7}, Case{0.0f, 1.0f, 5}, Case{0.2f, 2.0f, 4}, Case{0.05f, 0.01f, 401}}) {
    SCOPED_TRACE(testing::Message() << "STEP " << c.step << " GAMMA " << c.gamma << " NW " << c.nw);
    const int n = 1000, h = (c.nw + 1) / 2;
    std::vector<float> flat(n, 2.5f), wavy(n);
    for (int i = 0; i < n; ++i) wavy[i] = static_cast<float>(std::sin(0.37 * i) + 0.3 * std::cos(1.9 * i));
    // The kernel mean over the values before the call, points h..n-h-1.
    auto w = [&](int k) { return 1.0 / (c.gamma * c.gamma + std::pow(c.step * (k - h), 2)); };
    std::vector<float> ref = wavy;
    for (int i = h; i <= n - h - 1; ++i) {
      double s = 0, W = 0;
      for (int k = 1; k <= c.nw; ++k) {
        s += wavy[i - h + k - 1] * w(k);
        W += w(k);
      }
      ref[i - 1] = static_cast<float>(s / W);
    }
    LORSMO(c.step, span(flat), n, c.gamma, c.nw);
    LORSMO(c.step, span(wavy), n, c.gamma, c.nw);
    for (int i = 0; i < n; ++i) {
      EXPECT_NEAR(flat[i], 2.5f, 1e-6f) << i;
      EXPECT_NEAR(wavy[i], ref[i], 1e-6f) << i;
    }
  }
  // Zero width is a delta kernel; a kernel as long as the curve has no point
  // to smooth.
  std::vector<float> y = {1, 5, 2, 8, 3, 9, 4};
  const std::vector<float> y0 = y;
  LORSMO(0.1f, span(y), 7, 0.0f, 3);
  LORSMO(0.1f, span(y), 7, 1.0f, 7);
  EXPECT_EQ(y, y0);
}

TEST(Smoothing, BoxRebinningKeepsConstantsAndLines) {
  std::vector<float> x(200), flat(200, 4.0f), line(200), xn(50);
  for (int j = 0; j < 200; ++j) {
    x[j] = 0.1f * j;
    line[j] = 2.0f * x[j] + 1.0f;
  }
  // Targets 0.5 apart: boxes of 5 source points (FAC 1), 3 (FAC 0.5), 11
  // (FAC 2), symmetric about the target; empty beyond the data.
  for (int i = 0; i < 50; ++i) xn[i] = 1.0f + 0.5f * i;
  for (float fac : {1.0f, 0.5f, 2.0f}) {
    std::vector<float> yflat(50, -1), yline(50, -1);
    REBIN(cspan(x), cspan(flat), cspan(xn), span(yflat), 200, 50, fac);
    REBIN(cspan(x), cspan(line), cspan(xn), span(yline), 200, 50, fac);
    for (int i = 0; i < 50; ++i) {
      if (xn[i] + 0.25f * fac <= 19.9f) {
        EXPECT_FLOAT_EQ(yflat[i], 4.0f) << fac << " " << i;
        EXPECT_NEAR(yline[i], 2.0f * xn[i] + 1.0f, 1e-4f) << fac << " " << i;
      } else if (xn[i] - 0.25f * fac > 19.9f) {
        EXPECT_EQ(yflat[i], 0.0f);
      }
    }
  }
  // One target has no spacing: its box takes every point.  No source point
  // gives 0.
  std::vector<float> one(1, 9.0f), yone(1, -1);
  REBIN(cspan(x), cspan(line), cspan(one), span(yone), 200, 1, 1.0f);
  EXPECT_NEAR(yone[0], 2.0f * 9.95f + 1.0f, 1e-4f);
  REBIN(cspan(x), cspan(line), cspan(one), span(yone), 0, 1, 1.0f);
  EXPECT_EQ(yone[0], 0.0f);
}

}  // namespace

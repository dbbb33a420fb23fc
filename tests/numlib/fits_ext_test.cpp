// The variants of the scale fits against synthetic experiments of known
// scale and background, and against the searches they vary.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numlib/fits.hpp"
#include "numlib/fits_ext.hpp"

namespace {

using namespace numlib;

Span1<const float> in(const std::vector<float>& v) { return {v.data(), static_cast<int>(v.size())}; }
Span1<float> out(std::vector<float>& v) { return {v.data(), static_cast<int>(v.size())}; }

// E = s T + b on a decaying, beating curve between 1 and 2.6.
struct Curves {
  std::vector<float> T, E;
  Curves(int n, float s, float b) : T(n), E(n) {
    for (int j = 0; j < n; ++j) {
      T[j] = static_cast<float>(1.0 + std::exp(-j / 80.0) * (1.0 + 0.6 * std::cos(0.2 * j)));
      E[j] = s * T[j] + b;
    }
  }
};

struct Trials : TrialLog {
  std::vector<float> eps;
  void trial(int J, float e) override { eps.push_back(J == 2 ? e : -1.0f); }
};

TEST(FurtherFits, SearchesRecoverScaleAndBackground) {
  for (auto [s, b] : {std::pair{2.0f, -0.5f}, std::pair{0.5f, 0.3f}, std::pair{1.2f, 2.0f}}) {
    const Curves c(300, s, b);
    SCOPED_TRACE(testing::Message() << "s " << s << " b " << b);
    // SCALB2, SCALB3 over passes as a program makes them: the kept scale step
    // widened twenty times, the background step started again from min/6.
    for (auto search : {SCALB2, SCALB3}) {
      float DS = 0, DB = 0, S = 1, B = 0, EPS = -1;
      for (int pass = 1; pass <= 6; ++pass, DS *= 20.0f, DB = 0.0f)
        search(in(c.E), in(c.T), 300, 1, 300, DS, DB, S, B, 1e-7f, EPS);
      EXPECT_NEAR(S, s, 5e-3f * s);
      EXPECT_NEAR(B, b, 5e-3f * (s + std::abs(b)));
    }
    // SCALB4 is SCALBG under criterion 1, to the last bit.
    std::vector<float> r4 = {0, 0.1f, 1, 0, 0}, rg = r4;  // DS, DB, S, B, EPS
    SCALB4(in(c.E), in(c.T), 300, 11, 290, r4[0], r4[1], r4[2], r4[3], 1e-6f, r4[4]);
    SCALBG(in(c.E), in(c.T), 300, 11, 290, rg[0], rg[1], rg[2], rg[3], 1e-6f, rg[4], 1);
    EXPECT_EQ(r4, rg);
    // LINFTS: the shift folded back into B; one trial, J = 2, on the log.
    for (float pow : {0.0f, 2.5f}) {
      Trials log;
      float B = 0, S = 0, EPS = -1;
      LINFTS(in(c.E), in(c.T), 300, 1, 300, pow, B, S, EPS, log);
      EXPECT_NEAR(S, s, 1e-4f);
      EXPECT_NEAR(B, b, 1e-4f);
      EXPECT_LT(EPS, 1e-8f);
      EXPECT_EQ(log.eps, std::vector<float>{EPS});
    }
    // FITSC1 fits Y = S T - B.
    std::vector<float> Y(300);
    int ITER = 0;
    float CHI = -1, B = 0, S = 0;
    FITSC1(in(c.E), in(c.T), 300, 0.1f * (1 - s), 1e-6f, out(Y), ITER, CHI, B, S);
    EXPECT_NEAR(S, s, 1e-3f);
    EXPECT_NEAR(B, -b, 3e-3f);
  }
  // A constant theory cannot separate scale from shift: the trial does not
  // count, and LINFTS returns the last trial kept (1.2 T + 2 above) with 10.
  const std::vector<float> flat(50, 1.0f), E(50, 3.0f);
  Trials log;
  float B = 0, S = 0, EPS = 0;
  LINFTS(in(E), in(flat), 50, 1, 50, 0.0f, B, S, EPS, log);
  EXPECT_EQ(EPS, 10.0f);
  EXPECT_NEAR(S, 1.2f, 1e-4f);
  EXPECT_NEAR(B, 2.0f, 1e-4f);
}

// SCALBC's start: S = 1 asks for the ratio of the logarithmic means with the
// divisor n whatever the number of positive values, DS = 0 for |S - 1|/2.
// A tolerance no spread reaches stops the search after its first sweep,
// before any step moves, so that DS returns its start value.
TEST(FurtherFits, ScaleShiftSearchKnownAnswers) {
  struct Case {
    std::vector<float> E, T;
    float DS, S;
  };
  const Case cases[] = {{{2, 4, 6, 8, 10, 12}, {1, 2, 3, 4, 5, 6}, 0.5f, 2.0f},
                        {{0, 4, 4, -1}, {1, 1, 1, 1}, 0.5f, 2.0f}};  // exp(2 ln 4 / 4), not / 2
  for (const Case& c : cases) {
    const int n = static_cast<int>(c.E.size());
    float DS = 0, DB = 0, S = 1, B = 7, EPS = 0;
    SCALBC(in(c.E), in(c.T), n, 1, n, DS, DB, S, B, 1e9f, EPS, 2);
    EXPECT_NEAR(DS, c.DS, 1e-6f);
    EXPECT_NEAR(S, c.S, 1e-6f);
    EXPECT_EQ(B, 0.0f);
  }
  // With DB = 0 only the scale is searched, under every criterion.
  const Curves c(200, 1.5f, 0.0f);
  for (int crit : {1, 2, 3}) {
    float DS = 0, DB = 0, S = 1, B = 3, EPS = 0;
    SCALBC(in(c.E), in(c.T), 200, 1, 200, DS, DB, S, B, 1e-8f, EPS, crit);
    EXPECT_NEAR(S, 1.5f, 1e-4f) << crit;
    EXPECT_EQ(B, 0.0f) << crit;
  }
}

TEST(FurtherFits, TableExtremesStayInsideTheirPlane) {
  // A(10, 10, 2): plane 2 with a zero start and its extremes at (3, 7) and
  // (10, 2); plane 3 with values that a 12 x 12 search would read.
  std::vector<float> A(300, 0.5f);
  A[100] = 0.0f;
  A[102 + 60] = 0.1f;
  A[109 + 10] = 4.0f;
  for (int k = 200; k < 300; ++k) A[k] = k % 2 ? -9.0f : 9.0f;
  for (int N : {10, 12}) {
    std::vector<float> AMIN(2), AMAX(2);
    std::vector<int> I(8);  // IMIN, JMIN, IMAX, JMAX
    MINMX2(in(A), 2, N, out(AMIN), {&I[0], 2}, {&I[2], 2}, out(AMAX), {&I[4], 2}, {&I[6], 2});
    EXPECT_EQ(std::vector<float>({AMIN[1], AMAX[1]}), std::vector<float>({0.1f, 4.0f})) << N;
    EXPECT_EQ(std::vector<int>({I[1], I[3], I[5], I[7]}), std::vector<int>({3, 7, 10, 2})) << N;
  }
}

}  // namespace

// The variants of the scale fits against synthetic experiments of known
// scale and background, and against the searches they vary.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numlib/fits.hpp"
#include "numlib/fits2.hpp"

namespace {

using namespace numlib;

Span1<const float> in(const std::vector<float>& v) { return {v.data(), static_cast<int>(v.size())}; }
Span1<float> out(std::vector<float>& v) { return {v.data(), static_cast<int>(v.size())}; }

// A decaying, beating curve between 1 and 2.6.
std::vector<float> theory(int n) {
  std::vector<float> t(n);
  for (int j = 0; j < n; ++j) t[j] = static_cast<float>(1.0 + std::exp(-j / 80.0) * (1.0 + 0.6 * std::cos(0.2 * j)));
  return t;
}

std::vector<float> affine(const std::vector<float>& t, float s, float b) {
  std::vector<float> e(t.size());
  for (size_t j = 0; j < t.size(); ++j) e[j] = s * t[j] + b;
  return e;
}

struct Trials : TrialLog {
  std::vector<std::pair<int, float>> seen;
  void trial(int J, float eps) override { seen.emplace_back(J, eps); }
};

TEST(FurtherFits, GridSearchVariantsRecoverScaleAndBackground) {
  const auto T = theory(300);
  struct Case {
    float s, b;
  };
  for (const Case c : {Case{2.0f, -0.5f}, Case{0.5f, 0.3f}, Case{3.0f, 0.0f}, Case{1.2f, 2.0f}}) {
    const auto E = affine(T, c.s, c.b);
    SCOPED_TRACE(testing::Message() << "s " << c.s << " b " << c.b);
    // Passes as a program makes them: the kept scale step widened twenty
    // times, the background step started again from min/6.
    for (auto search : {SCALB2, SCALB3}) {
      float DS = 0, DB = 0, S = 1, B = 0, EPS = -1;
      for (int pass = 1; pass <= 6; ++pass, DS *= 20.0f, DB = 0.0f)
        search(in(E), in(T), 300, 1, 300, DS, DB, S, B, 1e-7f, EPS);
      EXPECT_NEAR(S, c.s, 5e-3f * c.s);
      EXPECT_NEAR(B, c.b, 5e-3f * (c.s + std::abs(c.b)));
      EXPECT_LT(EPS, 1e-3f);
    }
    // SCALB4 is SCALBG under criterion 1, to the last bit.
    float DS4 = 0, DB4 = 0.1f, S4 = 1, B4 = 0, E4 = 0, DSg = 0, DBg = 0.1f, Sg = 1, Bg = 0, Eg = 0;
    SCALB4(in(E), in(T), 300, 11, 290, DS4, DB4, S4, B4, 1e-6f, E4);
    SCALBG(in(E), in(T), 300, 11, 290, DSg, DBg, Sg, Bg, 1e-6f, Eg, 1);
    EXPECT_EQ(std::vector<float>({DS4, DB4, S4, B4, E4}), std::vector<float>({DSg, DBg, Sg, Bg, Eg}));
  }
}

// SCALBC's start: S = 1 asks for the ratio of the logarithmic means with the
// divisor n whatever the number of positive values, DS = 0 for |S - 1|/2.
// A tolerance no spread can reach stops the search after its first sweep,
// before any step moves, so that DS returns its start value.
TEST(FurtherFits, ScaleShiftSearchStartsFromTheLogarithmicMeans) {
  const std::vector<float> T = {1, 2, 3, 4, 5, 6};
  const std::vector<float> E = {2, 4, 6, 8, 10, 12};
  float DS = 0, DB = 0, S = 1, B = 7, EPS = 0;
  SCALBC(in(E), in(T), 6, 1, 6, DS, DB, S, B, 1e9f, EPS, 2);
  EXPECT_NEAR(DS, 0.5f, 1e-6f);
  EXPECT_NEAR(S, 2.0f, 1e-6f);
  EXPECT_EQ(B, 0.0f);
  EXPECT_LT(EPS, 1e-6f);

  const std::vector<float> Ez = {0, 4, 4, -1}, Tz = {1, 1, 1, 1};
  DS = 0;
  S = 1;
  SCALBC(in(Ez), in(Tz), 4, 1, 4, DS, DB, S, B, 1e9f, EPS, 3);
  EXPECT_NEAR(DS, (std::pow(4.0f, 0.5f) - 1) / 2, 1e-5f);  // exp(2 ln 4 / 4), not exp(2 ln 4 / 2)

  // With DB = 0 only the scale is searched, and B returns 0.
  const auto Tc = theory(200);
  const auto Ec = affine(Tc, 1.5f, 0.0f);
  for (int crit : {1, 2, 3}) {
    DS = 0;
    DB = 0;
    S = 1;
    B = 3;
    SCALBC(in(Ec), in(Tc), 200, 1, 200, DS, DB, S, B, 1e-8f, EPS, crit);
    EXPECT_NEAR(S, 1.5f, 1e-4f) << crit;
    EXPECT_EQ(B, 0.0f) << crit;
  }
}

TEST(FurtherFits, ShiftedLineFit) {
  const auto T = theory(120);
  for (float pow : {0.0f, 1.0f, 2.5f}) {
    auto E = affine(T, 2.0f, 0.5f);
    Trials log;
    float B = 0, S = 0, EPS = -1;
    LINFTS(in(E), in(T), 120, 1, 120, pow, B, S, EPS, log);
    EXPECT_NEAR(S, 2.0f, 1e-4f) << pow;
    EXPECT_NEAR(B, 0.5f, 1e-4f) << pow;
    EXPECT_LT(EPS, 1e-8f) << pow;
    ASSERT_EQ(log.seen.size(), 1u);
    EXPECT_EQ(log.seen[0].first, 2);
    EXPECT_EQ(log.seen[0].second, EPS);
    // A negative count has no weight; it still counts in the merit.
    E[10] = -1.0f;
    LINFTS(in(E), in(T), 120, 1, 120, pow, B, S, EPS, log);
    EXPECT_NEAR(S, 2.0f, 1e-4f) << pow;
    const float r = 2.0f * T[10] + 0.5f + 1.0f;
    EXPECT_NEAR(EPS, r * r / 120, 1e-3f * r * r / 120) << pow;
  }
  // A constant theory cannot separate scale from shift: the trial does not
  // count, and the result is the last trial kept.
  const std::vector<float> flat(50, 1.0f), E(50, 3.0f);
  Trials log;
  float B = 0, S = 0, EPS = 0;
  LINFTS(in(E), in(flat), 50, 1, 50, 0.0f, B, S, EPS, log);
  EXPECT_EQ(EPS, 10.0f);
  EXPECT_NEAR(S, 2.0f, 1e-4f);
  EXPECT_NEAR(B, 0.5f, 1e-4f);
  EXPECT_FALSE(log.seen[0].second <= 10.0f);
}

TEST(FurtherFits, OneDimensionalScaleSearchAndTableExtremes) {
  const auto T = theory(200);
  const auto E = affine(T, 2.5f, -0.7f);
  std::vector<float> Y(200), Y2(200);
  int ITER = 0, ITER2 = 0;
  float CHI = -1, CHI2 = -1, B = 0, S = 0;
  FITSC1(in(E), in(T), 200, -0.1f, 1e-6f, out(Y), ITER, CHI, B, S);
  EXPECT_NEAR(S, 2.5f, 1e-3f);
  EXPECT_NEAR(B, 0.7f, 3e-3f);  // Y = S T - B
  EXPECT_LT(CHI, 1e-5f);
  for (int j = 0; j < 200; ++j) EXPECT_NEAR(Y[j], E[j], 3e-3f);
  FITSC2(in(E), in(T), 200, -0.1f, 1e-6f, out(Y2), ITER2, CHI2);
  EXPECT_EQ(ITER2, ITER);
  EXPECT_EQ(CHI2, CHI);
  EXPECT_EQ(Y2, Y);

  // A(10, 10, 2): plane 2 holds a zero start, its extremes elsewhere, and
  // values a 12 x 12 search would read past the plane (plane 3).
  std::vector<float> A(300, 0.5f);
  auto at = [&](int i, int j, int K) -> float& { return A[(i - 1) + 10 * (j - 1) + 100 * (K - 1)]; };
  at(1, 1, 2) = 0.0f;
  at(3, 7, 2) = 0.1f;
  at(10, 2, 2) = 4.0f;
  for (int k = 1; k <= 100; ++k) A[200 + k - 1] = k % 2 ? -9.0f : 9.0f;
  for (int N : {10, 12}) {
    std::vector<float> AMIN(3), AMAX(3);
    std::vector<int> IMIN(3), JMIN(3), IMAX(3), JMAX(3);
    MINMX2(in(A), 2, N, out(AMIN), {IMIN.data(), 3}, {JMIN.data(), 3}, out(AMAX), {IMAX.data(), 3}, {JMAX.data(), 3});
    EXPECT_EQ(AMIN[1], 0.1f) << N;
    EXPECT_EQ(IMIN[1], 3);
    EXPECT_EQ(JMIN[1], 7);
    EXPECT_EQ(AMAX[1], 4.0f) << N;
    EXPECT_EQ(IMAX[1], 10);
    EXPECT_EQ(JMAX[1], 2);
  }
}

}  // namespace

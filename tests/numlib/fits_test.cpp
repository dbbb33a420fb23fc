// Scale-and-background fits: synthetic experiments E = s T + b built from a
// known theory curve must give back s and b.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numlib/fits.hpp"

namespace {

using numlib::LINFIT;
using numlib::MINMAX;
using numlib::SCALBG;
using numlib::Span1;

Span1<const float> span(const std::vector<float>& v) { return {v.data(), static_cast<int>(v.size())}; }

// A decaying, beating curve like a normalised time spectrum, positive everywhere.
std::vector<float> theoryCurve(int n) {
  std::vector<float> t(n);
  for (int j = 0; j < n; ++j)
    t[j] = static_cast<float>(std::exp(-j / 300.0) * (1.0 + 0.6 * std::cos(0.05 * j)) + 0.02);
  return t;
}

std::vector<float> affine(const std::vector<float>& t, float s, float b) {
  std::vector<float> e(t.size());
  for (size_t j = 0; j < t.size(); ++j) e[j] = s * t[j] + b;
  return e;
}

// ---------------------------------------------------------------- LINFIT

TEST(Linfit, RecoversScaleAndBackgroundForEveryPower) {
  const auto T = theoryCurve(900);
  const auto E = affine(T, 2.0f, 3.0f);
  for (int npow = 0; npow <= 3; ++npow) {
    float B = -1, S = -1, EPS = -1;
    LINFIT(span(E), span(T), 900, 1, 900, npow, B, S, EPS);
    EXPECT_NEAR(S, 2.0f, 1e-5f) << "NPOW " << npow;
    EXPECT_NEAR(B, 3.0f, 1e-5f) << "NPOW " << npow;
    EXPECT_LT(EPS, 1e-5f) << "NPOW " << npow;
  }
}

TEST(Linfit, UsesOnlyTheWindowAndSkipsZeroCounts) {
  auto T = theoryCurve(200);
  auto E = affine(T, 0.5f, 0.25f);
  // Garbage outside the window 21..180 must not be read into the sums.
  for (int j = 0; j < 20; ++j) E[j] = T[j] = NAN;
  for (int j = 180; j < 200; ++j) E[j] = T[j] = NAN;
  // Zero counts inside the window carry no information, even with equal weights.
  for (int j = 40; j < 60; ++j) E[j] = 0.0f;
  float B, S, EPS;
  LINFIT(span(E), span(T), 200, 21, 180, 0, B, S, EPS);
  EXPECT_NEAR(S, 0.5f, 1e-5f);
  EXPECT_NEAR(B, 0.25f, 1e-5f);
  EXPECT_LT(EPS, 1e-5f);
}

TEST(Linfit, MeritIsWeightedResidualOverRootOfWeights) {
  // Residuals (+d, -d, -d, +d) on T = 1..4 are orthogonal to 1 and T, so the
  // fit is exactly S = 1, B = 5 with chi2 = 4 d^2 and sum w = 4.
  const float d = 0.1f;
  const std::vector<float> T = {1, 2, 3, 4};
  const std::vector<float> E = {6 + d, 7 - d, 8 - d, 9 + d};
  float B, S, EPS;
  LINFIT(span(E), span(T), 4, 1, 4, 0, B, S, EPS);
  EXPECT_NEAR(S, 1.0f, 1e-5f);
  EXPECT_NEAR(B, 5.0f, 1e-5f);
  EXPECT_NEAR(EPS, std::sqrt(4 * d * d / 2), 1e-5f);
}

TEST(Linfit, NegativeBackgroundFallsBackToScaleThroughOrigin) {
  const auto T = theoryCurve(300);
  auto E = affine(T, 2.0f, -0.01f);
  float B, S, EPS;
  LINFIT(span(E), span(T), 300, 1, 300, 0, B, S, EPS);
  EXPECT_EQ(B, 0.0f);
  // Least squares through the origin with equal weights: sum TE / sum T^2.
  double te = 0, tt = 0;
  for (int j = 0; j < 300; ++j) te += double(T[j]) * E[j], tt += double(T[j]) * T[j];
  EXPECT_NEAR(S, te / tt, 1e-6);
  EXPECT_LT(S, 2.0f);
  EXPECT_GT(EPS, 0.0f);
}

TEST(Linfit, DegenerateSystemsGiveFiniteOriginFits) {
  float B, S, EPS;
  // One weighted point: the line through the origin and that point.
  const std::vector<float> T1 = {2, 5, 7}, E1 = {0, 10, 0};
  LINFIT(span(E1), span(T1), 3, 1, 3, 1, B, S, EPS);
  EXPECT_FLOAT_EQ(S, 2.0f);
  EXPECT_EQ(B, 0.0f);
  EXPECT_NEAR(EPS, 0.0f, 1e-6f);

  // Constant theory with unequal weights: scale and background cannot be told
  // apart, the scale through the origin remains.
  const std::vector<float> T2(50, 0.3f);
  std::vector<float> E2(50);
  for (int j = 0; j < 50; ++j) E2[j] = 0.6f + 0.01f * j;
  LINFIT(span(E2), span(T2), 50, 1, 50, 2, B, S, EPS);
  EXPECT_TRUE(std::isfinite(S) && std::isfinite(EPS));
  EXPECT_EQ(B, 0.0f);
  EXPECT_GT(S, 2.0f);
  EXPECT_LT(S, 0.6f / 0.3f + 0.49f / 0.3f);

  // No weighted point at all.
  const std::vector<float> E3(3, 0.0f);
  LINFIT(span(E3), span(T1), 3, 1, 3, 0, B, S, EPS);
  EXPECT_EQ(S, 0.0f);
  EXPECT_EQ(B, 0.0f);
  EXPECT_EQ(EPS, 0.0f);

  // Theory zero everywhere.
  const std::vector<float> T4(3, 0.0f);
  LINFIT(span(E1), span(T4), 3, 1, 3, 0, B, S, EPS);
  EXPECT_EQ(S, 0.0f);
  EXPECT_EQ(B, 0.0f);
  EXPECT_TRUE(std::isfinite(EPS));
}

// ---------------------------------------------------------------- SCALBG

struct Search {
  float DS, DB, S, B, EPS;
};

Search scalbg(const std::vector<float>& E, const std::vector<float>& T, float DS, float DB, float S,
              float TOL, int JCRIT, int J1 = 1, int J2 = -1) {
  if (J2 < 0) J2 = static_cast<int>(E.size());
  Search r{DS, DB, S, -7.0f, -7.0f};
  SCALBG(span(E), span(T), static_cast<int>(E.size()), J1, J2, r.DS, r.DB, r.S, r.B, TOL, r.EPS, JCRIT);
  return r;
}

TEST(Scalbg, RecoversScaleAndBackgroundUnderEachCriterion) {
  const auto T = theoryCurve(900);
  const auto E = affine(T, 1.7f, 0.1f);
  for (int crit = 1; crit <= 3; ++crit) {
    // A first pass of a program: scale 3, scale step 0, background step half
    // the expected background.  One search lands close to the answer ...
    Search r = scalbg(E, T, 0.0f, 0.05f, 3.0f, 1e-6f, crit);
    EXPECT_NEAR(r.S, 1.7f, 5e-3f) << "criterion " << crit;
    EXPECT_NEAR(r.B, 0.1f, 3e-3f) << "criterion " << crit;
    EXPECT_LT(r.EPS, 5e-3f) << "criterion " << crit;
    // ... and the following passes, which widen the kept scale step twenty
    // times and restart the background, settle on it.
    for (int pass = 2; pass <= 6; ++pass) r = scalbg(E, T, 20.0f * r.DS, 0.05f, r.S, 1e-6f, crit);
    EXPECT_NEAR(r.S, 1.7f, 1e-4f) << "criterion " << crit;
    EXPECT_NEAR(r.B, 0.1f, 1e-4f) << "criterion " << crit;
    EXPECT_LT(r.EPS, 1e-4f) << "criterion " << crit;
  }
}

TEST(Scalbg, SweepWithoutImprovementRefinesInsteadOfRepeating) {
  // One point, E = 0.1 T.  The first grid 0..4 finds its best on the edge at
  // 0; the grid shifted half a step beyond it (-2.5..1.5) holds nothing
  // better.  Shifting again would repeat that sweep until the iteration
  // limit and return 0; refining around the best reaches 0.1.
  const std::vector<float> T = {1.0f}, E = {0.1f};
  const Search r = scalbg(E, T, 1.0f, 0.0f, 2.0f, 1e-7f, 2);
  EXPECT_NEAR(r.S, 0.1f, 1e-4f);
  EXPECT_LT(r.EPS, 1e-3f);
}

TEST(Scalbg, ZeroBackgroundStepSearchesTheScaleOnly) {
  const auto T = theoryCurve(500);
  const auto E = affine(T, 0.37f, 0.0f);
  for (int crit = 1; crit <= 3; ++crit) {
    const Search r = scalbg(E, T, 0.0f, 0.0f, 3.0f, 1e-8f, crit);
    EXPECT_EQ(r.B, 0.0f);
    EXPECT_EQ(r.DB, 0.0f);
    EXPECT_NEAR(r.S, 0.37f, 1e-4f) << "criterion " << crit;
  }
}

TEST(Scalbg, WalksTheGridToAScaleFarOutsideTheFirstOne) {
  // The first grid covers 1..3 in steps of 0.5.  Each edge shift moves the
  // centre 2.5 steps with the step kept, so 100 is reached in about 40 of the
  // 100 sweeps; a shrinking step or an inward shift would fall short.
  const auto T = theoryCurve(100);
  const auto E = affine(T, 100.0f, 0.0f);
  const Search r = scalbg(E, T, 0.5f, 0.0f, 2.0f, 1e-8f, 2);
  EXPECT_NEAR(r.S, 100.0f, 1e-3f);
  EXPECT_LT(r.DS, 0.5f);
}

TEST(Scalbg, PerfectFitIsKept) {
  // Scale 2 is the centre of the first grid and fits exactly (EPS = 0); later
  // grid points are worse and must not replace it.
  const auto T = theoryCurve(200);
  const auto E = affine(T, 2.0f, 0.0f);
  for (int crit = 1; crit <= 3; ++crit) {
    const Search r = scalbg(E, T, 0.5f, 0.0f, 2.0f, 1e-6f, crit);
    EXPECT_EQ(r.S, 2.0f) << "criterion " << crit;
    EXPECT_EQ(r.EPS, 0.0f) << "criterion " << crit;
  }
}

TEST(Scalbg, TieGoesToTheLaterGridPoint) {
  // One point, E = 2.5 T: scales 2 and 3 of the grid 0..4 miss by the same
  // amount.  A huge tolerance stops after the first sweep.
  const std::vector<float> T = {1.0f}, E = {2.5f};
  const Search r = scalbg(E, T, 1.0f, 0.0f, 2.0f, 1e30f, 2);
  EXPECT_EQ(r.S, 3.0f);
  EXPECT_FLOAT_EQ(r.EPS, 0.2f);  // sqrt(0.25 / 6.25)
}

TEST(Scalbg, UnitScaleStartsFromRatioOfGeometricMeans) {
  // E = 3 T f with f alternating 2 and 1/2: geometric ratio 3, arithmetic not.
  std::vector<float> T = theoryCurve(64), E(64);
  for (int j = 0; j < 64; ++j) E[j] = 3.0f * T[j] * (j % 2 ? 0.5f : 2.0f);
  const Search r = scalbg(E, T, 0.0f, 0.0f, 1.0f, 1e30f, 2);
  EXPECT_NEAR(r.DS, 1.0f, 1e-5f);  // |3 - 1| / 2, kept after one sweep
  const float k = r.S - 3.0f;      // the answer is a point of the grid 1..5
  EXPECT_NEAR(k, std::round(k), 1e-5f);
  EXPECT_LE(std::fabs(k), 2.0f);
}

TEST(Scalbg, CriterionCodeOutsideRangeBehavesAsFirst) {
  const auto T = theoryCurve(300);
  auto E = affine(T, 1.3f, 0.02f);
  for (int j = 0; j < 300; j += 7) E[j] *= 1.05f;  // not an exact fit
  const Search ref = scalbg(E, T, 0.0f, 0.05f, 3.0f, 1e-7f, 1);
  for (int code : {0, 4, -3}) {
    const Search r = scalbg(E, T, 0.0f, 0.05f, 3.0f, 1e-7f, code);
    EXPECT_EQ(r.S, ref.S);
    EXPECT_EQ(r.B, ref.B);
    EXPECT_EQ(r.EPS, ref.EPS);
  }
}

TEST(Scalbg, DegenerateDataGiveFiniteResults) {
  const auto T = theoryCurve(50);
  // Experiment zero over the window: the smallest scale of the grid fits best.
  const std::vector<float> zero(50, 0.0f);
  for (int crit = 1; crit <= 3; ++crit) {
    const Search r = scalbg(zero, T, 0.1f, 0.1f, 0.5f, 1e-6f, crit);
    EXPECT_TRUE(std::isfinite(r.S) && std::isfinite(r.B) && std::isfinite(r.EPS)) << crit;
  }
  EXPECT_NEAR(scalbg(zero, T, 0.1f, 0.0f, 0.5f, 1e-9f, 2).S, 0.0f, 1e-3f);

  // Zero counts where the theory is zero too: Y = E = 0 agrees, no 0/0.
  std::vector<float> Tz = T;
  for (int j = 10; j < 20; ++j) Tz[j] = 0.0f;
  const auto Ez = affine(Tz, 0.8f, 0.0f);
  for (int crit = 1; crit <= 3; ++crit) {
    const Search r = scalbg(Ez, Tz, 0.5f, 0.0f, 1.3f, 1e-9f, crit);
    EXPECT_NEAR(r.S, 0.8f, 1e-4f) << crit;
    EXPECT_TRUE(std::isfinite(r.EPS)) << crit;
  }

  // Empty window: nothing read, nothing changed but B and EPS.
  const Search r = scalbg(zero, T, 0.25f, 0.5f, 1.0f, 1e-6f, 1, 30, 29);
  EXPECT_EQ(r.S, 1.0f);
  EXPECT_EQ(r.DS, 0.25f);
  EXPECT_EQ(r.DB, 0.5f);
  EXPECT_EQ(r.B, 0.0f);
  EXPECT_EQ(r.EPS, 0.0f);
}

// ---------------------------------------------------------------- MINMAX

TEST(Minmax, ExtremesOfTheFirstNValues) {
  const std::vector<float> X = {0.5f, -2.0f, 7.0f, 3.0f, -9.0f};
  float lo, hi;
  MINMAX(span(X), 4, lo, hi);
  EXPECT_EQ(lo, -2.0f);
  EXPECT_EQ(hi, 7.0f);
  MINMAX(span(X), 1, lo, hi);
  EXPECT_EQ(lo, 0.5f);
  EXPECT_EQ(hi, 0.5f);
}

}  // namespace

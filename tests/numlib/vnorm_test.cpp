#include "numlib/vnorm.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "numlib/limits.hpp"

namespace {

using namespace numlib;

// A stack of layers with two multiplets, as VNORM and the smoothing see it.
struct Stack {
  int n = 0;
  Arr1<double, N24> H;
  Arr2<float, N6, N24> V;
  Arr1<float, N24> HK;
  Arr1<float, N6> S, F;

  void add(double thick, float v1, float v2, float hk = 1) {
    ++n;
    H(n) = thick;
    V(1, n) = v1;
    V(2, n) = v2;
    HK(n) = hk;
  }
  void norm(int ISQ, int INORM, float HKMAX, int N1N = 0, int N2N = 0, int NRN = 1) {
    VNORM(ISQ, INORM, HKMAX, n, 2, N1N, N2N, NRN, H, S, V, HK, F);
  }
  float amount(int K) const {
    float a = 0;
    for (int l = 1; l <= n; ++l) a += static_cast<float>(V(K, l) * H(l));
    return a;
  }
  float layer(int l) const { return V(1, l) + V(2, l); }
};

TEST(Vnorm, WithoutNuclearLayersOnlyNegativeDensitiesAreCleared) {
  Stack s;
  s.add(10, -0.5f, 0.3f, 0);
  s.add(20, 0.7f, -0.1f, -1);
  s.S(1) = 0.4f;
  s.S(2) = 0.6f;
  s.F(1) = s.F(2) = -99;  // left over from an earlier use
  s.norm(0, 1, 1);
  EXPECT_EQ(s.V(1, 1), 0);
  EXPECT_EQ(s.V(2, 1), 0.3f);
  EXPECT_EQ(s.V(1, 2), 0.7f);
  EXPECT_EQ(s.V(2, 2), 0);
  EXPECT_EQ(s.S(1), 0.4f);
  EXPECT_EQ(s.S(2), 0.6f);
  EXPECT_EQ(s.F(1), 1);  // an early exit still leaves a neutral factor
  EXPECT_EQ(s.F(2), 1);
}

TEST(Vnorm, LayersKeepTheirNuclearDensity) {
  Stack s;
  s.add(10, 0.2f, 0.2f, 0.8f);
  s.add(10, 0, 0, 0.5f);      // nothing to scale
  s.add(10, 0.3f, 0.1f, -2);  // a negative total counts as none
  s.norm(2, 3, 1);
  EXPECT_FLOAT_EQ(s.layer(1), 0.8f);
  EXPECT_EQ(s.layer(2), 0);
  EXPECT_EQ(s.V(1, 3), 0);
  EXPECT_EQ(s.V(2, 3), 0);
  EXPECT_FLOAT_EQ(s.S(1), 0.5f);
}

TEST(Vnorm, AmountsFollowTheRatios) {
  Stack s;
  s.add(10, 0.4f, 0.2f);
  s.add(30, 0.2f, 0.1f);
  s.S(1) = 1;
  s.S(2) = 3;
  const float a2 = s.amount(2);
  s.norm(0, 3, 1);
  EXPECT_NEAR(s.amount(2), 3 * s.amount(1), 1e-5);
  EXPECT_FLOAT_EQ(s.S(1), 0.25f);
  EXPECT_FLOAT_EQ(s.S(2), 0.75f);
  EXPECT_FLOAT_EQ(s.F(1), 1);
  EXPECT_FLOAT_EQ(s.F(2), s.amount(2) / a2);

  // Without a first multiplet there is nothing to scale to: densities stay,
  // and the ratios come from the amounts (S(1) = 0) or stay (no density).
  Stack z;
  z.add(10, 0.4f, 0.2f);
  z.S(1) = 0;
  z.S(2) = 1;
  z.norm(0, 3, 1);
  EXPECT_EQ(z.V(1, 1), 0.4f);
  EXPECT_EQ(z.V(2, 1), 0.2f);
  EXPECT_FLOAT_EQ(z.S(1), 2.0f / 3);
  EXPECT_EQ(z.F(2), 1);
  Stack e;
  e.add(10, 0, 0.2f);
  e.S(1) = 0.5f;
  e.S(2) = 0.5f;
  e.norm(0, 1, 1);
  EXPECT_EQ(e.V(2, 1), 0.2f);
  EXPECT_EQ(e.S(1), 0.5f);
  EXPECT_EQ(e.F(1), 1);
  EXPECT_EQ(e.F(2), 1);
}

TEST(Vnorm, RepeatedBlockWeighsItsLayers) {
  Stack s;
  s.add(10, 1, 0);
  s.add(10, 0, 1);
  s.add(10, 0, 0);
  s.norm(1, 3, 1, 2, 2, 10);
  EXPECT_FLOAT_EQ(s.S(1), 1.0f / 11);
  EXPECT_FLOAT_EQ(s.S(2), 10.0f / 11);
}

TEST(Vnorm, LargestLayerBroughtToHkmax) {
  Stack s;
  s.add(10, 0.2f, 0.1f);
  s.add(10, 0.3f, 0.3f);
  s.norm(1, 1, 1.2f);  // normalised whatever the sums
  EXPECT_FLOAT_EQ(s.layer(2), 1.2f);
  EXPECT_FLOAT_EQ(s.layer(1), 0.6f);
  EXPECT_FLOAT_EQ(s.F(1), 2);
  EXPECT_FLOAT_EQ(s.F(2), 2);

  Stack below;  // INORM 2: only a stack that reaches HKMAX is scaled
  below.add(10, 0.2f, 0.1f);
  below.add(10, 0.3f, 0.3f);
  below.norm(1, 2, 1);
  EXPECT_EQ(below.V(2, 2), 0.3f);
  EXPECT_EQ(below.F(1), 1);
  below.norm(1, 2, 0.4f);
  EXPECT_FLOAT_EQ(below.layer(2), 0.4f);
  EXPECT_FLOAT_EQ(below.F(2), 0.4f / 0.6f);

  Stack empty;  // nuclear layers without any density: no 0/0
  empty.add(10, 0, 0);
  empty.norm(1, 1, 1);
  EXPECT_EQ(empty.V(1, 1), 0);
  EXPECT_EQ(empty.F(1), 1);
}

TEST(Vnorm, OnlyLayersAboveHkmaxAreCut) {
  Stack s;
  s.add(10, 0.2f, 0.1f);
  s.add(10, 1.0f, 0.0f);
  s.norm(1, 4, 0.5f);
  EXPECT_EQ(s.V(1, 1), 0.2f);
  EXPECT_FLOAT_EQ(s.V(1, 2), 0.5f);
  EXPECT_FLOAT_EQ(s.S(1), 0.7f / 0.8f);
  EXPECT_EQ(s.F(1), 1);
}

// Smoothing ---------------------------------------------------------------

Stack stepProfile() {
  Stack s;
  for (int l = 1; l <= 10; ++l) s.add(5 + l % 3, l <= 5 ? 1.0f : 0.0f, 0.5f);
  return s;
}

TEST(Smooth, ConstantsAndSingleLayersAreLeftAlone) {
  Stack s = stepProfile();
  SMOOTA(s.n, 3, 6, 2, 2, s.H, s.V, 4);
  for (int l = 1; l <= s.n; ++l) EXPECT_NEAR(s.V(2, l), 0.5f, 1e-6) << l;

  Stack one;
  one.add(20, 0.3f, 0.7f);
  SMOOTV(1, 2, one.H, one.V, 50);
  EXPECT_FLOAT_EQ(one.V(1, 1), 0.3f);
  EXPECT_FLOAT_EQ(one.V(2, 1), 0.7f);

  Stack zero = stepProfile();  // a kernel of no width is no smoothing, not 0/0
  SMOOTA(zero.n, 3, 6, 1, 2, zero.H, zero.V, 0);
  EXPECT_EQ(zero.V, stepProfile().V);
}

TEST(Smooth, WidthSetsHowFarAStepSpreads) {
  Stack narrow = stepProfile();
  SMOOT1(narrow.n, 1, narrow.H, narrow.V, 0.5f);
  for (int l = 1; l <= narrow.n; ++l) EXPECT_NEAR(narrow.V(1, l), l <= 5 ? 1 : 0, 1e-3);

  Stack wide = stepProfile();
  SMOOT1(wide.n, 1, wide.H, wide.V, 1e5f);
  for (int l = 1; l <= wide.n; ++l) EXPECT_NEAR(wide.V(1, l), 0.5f, 1e-4);
  EXPECT_EQ(wide.V(2, 3), 0.5f);  // other rows untouched

  Stack mid = stepProfile();
  SMOOTV(mid.n, 2, mid.H, mid.V, 6);
  for (int l = 2; l <= mid.n; ++l) EXPECT_LE(mid.V(1, l), mid.V(1, l - 1));
  EXPECT_LT(mid.V(1, 5), 0.9f);
  EXPECT_GT(mid.V(1, 6), 0.1f);
}

TEST(Smooth, StackLongerThanTheWorkArraysIsLeftAlone) {
  constexpr int n = N24 + 1;
  Arr1<double, n> H;
  Arr2<float, N6, n> V;
  for (int l = 1; l <= n; ++l) {
    H(l) = 5;
    V(1, l) = l % 2;
  }
  const Arr2<float, N6, n> before = V;
  SMOOTV(n, 1, H, V, 10);
  SMOOT1(n, 1, H, V, 10);
  SMOOTK(n, 2, 4, 0, 1, H, V, 10);
  SMOOTA(n, 2, 4, 0, 1, H, V, 10);
  EXPECT_EQ(V, before);
}

TEST(Smooth, BlockWithoutWrapKeepsItsLayers) {
  Stack s = stepProfile();
  const Stack before = s;
  SMOOTK(s.n, 4, 7, 0, 1, s.H, s.V, 10);
  for (int l = 4; l <= 7; ++l) EXPECT_EQ(s.V(1, l), before.V(1, l)) << l;
  EXPECT_LT(s.V(1, 3), 0.99f);  // outside the block the step is smoothed
  EXPECT_GT(s.V(1, 8), 0.01f);
}

TEST(Smooth, PeriodicBlockKeepsItsMean) {
  // A two-layer block seen as periodic: what one layer loses the other gains.
  Stack s;
  s.add(8, 0, 0);
  s.add(5, 1.0f, 0);
  s.add(5, 0.2f, 0);
  s.add(8, 0, 0);
  SMOOTK(s.n, 2, 3, 2, 1, s.H, s.V, 4);
  EXPECT_LT(s.V(1, 2), 1.0f);
  EXPECT_NEAR(s.V(1, 2) + s.V(1, 3), 1.2f, 1e-6);
}

}  // namespace

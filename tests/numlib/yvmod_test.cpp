#include "numlib/yvmod.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using namespace numlib;

constexpr float kRad = 6.2831855f / 360.0f;

// A parameter table with NNN = 4 layers and NM = 2 multiplets, holding
// values a fit step could have left out of range.
struct Table {
  static constexpr int NNN = 4;
  int NM = 2, IBHF = 1, INORM = 3, ISQ = 1, N1N = 2, N2N = 3, NRN = 1;
  float period = 0;
  YVTable YV;
  Arr1<float, N24> HK;

  Table() {
    const float layer[NNN][8] = {
        // H1A, ELD1, ELD2, V1, V2, V3, BE, GA
        {20, 5, -0.3f, 0.5f, 0.3f, -0.2f, -30, 100},
        {-4, 3, 0.1f, 0.2f, 0.1f, 0, 200, 0},
        {12, 2, 0.2f, -0.1f, 0.4f, 0, 45, -190},
        {1000, 1, 0.05f, 0, 0, 0, 750, 900},
    };
    for (int l = 1; l <= NNN; ++l) {
      for (int c = 1; c <= 6; ++c) YV(l, c) = layer[l - 1][c - 1];
      YV(l, 12) = layer[l - 1][6];
      YV(l, 13) = layer[l - 1][7];
      YV(l, 14) = 0.8f;  // Rand
      YV(l, 15) = 0.6f;  // Plane
      YV(l, 16) = l == 1 ? -5.0f : 10.0f * l;
      HK(l) = 0.8f;
    }
    const float S[] = {-0.4f, 0.6f}, Bhf[] = {-33, 20}, dBhf[] = {-1, 0.5f};
    const float IS[] = {-0.1f, 0.2f}, EFG[] = {0.3f, -0.4f}, GRd[] = {-0.1f, 0.05f};
    for (int K = 1; K <= 2; ++K) {
      YV(NNN + 1, K) = S[K - 1];
      YV(NNN + 2, K) = Bhf[K - 1];
      YV(NNN + 3, K) = dBhf[K - 1];
      YV(NNN + 4, K) = IS[K - 1];
      YV(NNN + 5, K) = EFG[K - 1];
      YV(NNN + 6, K) = GRd[K - 1];
    }
    YV(NNN + 1, 9) = -1;  // HKMAX
    YV(NNN + 1, 10) = 3.5f;
    YV(NNN + 1, 11) = 7;
    for (int K = 1; K <= N6; ++K) {
      YV(NNN + 8, K) = -30;
      YV(NNN + 9, K) = 100;
      YV(NNN + 10, K) = 0.8f;
      YV(NNN + 11, K) = 0.6f;
      YV(NNN + 12, K) = 2;
    }
  }

  ModelArrays run(int normFlag, float SIG = 0, int selector = 1, int rowCode = 1) {
    ModelArrays m;
    m.F.fill(7);
    YVMOD(YV, NNN, N1N, N2N, NRN, NM, IBHF, INORM, ISQ, HK, period, selector, rowCode, SIG,
          normFlag, m);
    return m;
  }
};

TEST(Yvmod, ClampsAndFoldsStandInModelAndTable) {
  Table t;
  const ModelArrays m = t.run(2);
  const auto& YV = t.YV;
  const int L = Table::NNN;

  EXPECT_EQ(m.thickness(2), 0);
  EXPECT_EQ(YV(2, 1), 0);
  EXPECT_EQ(m.ELD2(1), 0.3f);
  EXPECT_EQ(YV(1, 3), 0.3f);
  EXPECT_EQ(m.V(3, 1), 0);
  EXPECT_EQ(YV(1, 6), 0);
  EXPECT_EQ(m.V(1, 3), 0);

  // (BE, GA) in degrees after the fold, per layer.
  const float folded[L][2] = {{30, -80}, {160, -180}, {45, 170}, {30, 180}};
  for (int l = 1; l <= L; ++l) {
    EXPECT_FLOAT_EQ(m.BE(l), folded[l - 1][0] * kRad) << l;
    EXPECT_FLOAT_EQ(m.GA(l), folded[l - 1][1] * kRad) << l;
    EXPECT_EQ(YV(l, 12), folded[l - 1][0]) << l;
    EXPECT_EQ(YV(l, 13), folded[l - 1][1]) << l;
    EXPECT_FLOAT_EQ(m.RAND(l), 0.8f / 1.4f);
    EXPECT_FLOAT_EQ(m.PLAN(l), 0.6f / 1.4f);
    EXPECT_FLOAT_EQ(YV(l, 14) + YV(l, 15), 1);
  }
  EXPECT_EQ(m.WID(1), 0);
  EXPECT_FLOAT_EQ(m.WID(2), 20 * kRad);
  EXPECT_EQ(YV(2, 16), 20);

  EXPECT_EQ(m.S(1), 0.4f);
  EXPECT_EQ(YV(L + 1, 1), 0.4f);
  EXPECT_EQ(m.HKMAX, 0.01f);
  EXPECT_EQ(YV(L + 1, 9), 0.01f);
  EXPECT_DOUBLE_EQ(m.angles(1), 3.5f / 1000.0);
  EXPECT_EQ(YV(L + 1, 10), 3.5f);
  EXPECT_EQ(m.Bhf(1), 33);
  EXPECT_EQ(m.dBhf(1), 1);
  EXPECT_EQ(m.IS(1), -0.1f);
  EXPECT_EQ(m.EFG(2), -0.4f);
  EXPECT_EQ(m.GRd(1), 0);
  EXPECT_EQ(YV(L + 2, 1), 33);
  EXPECT_EQ(YV(L + 4, 1), -0.1f);
  EXPECT_EQ(YV(L + 6, 1), 0);

  // Without normalisation the factors are not the unpacking's business.
  EXPECT_EQ(m.F(1), 7);
  EXPECT_EQ(YV(L + 8, 1), -30);  // per-multiplet angles unused and untouched
}

TEST(Yvmod, AnglesPerMultiplet) {
  Table t;
  t.IBHF = 2;
  const ModelArrays m = t.run(2);
  const int L = Table::NNN;
  for (int K = 1; K <= N6; ++K) {
    EXPECT_FLOAT_EQ(m.BE(K), 30 * kRad);
    EXPECT_FLOAT_EQ(m.GA(K), -80 * kRad);
    EXPECT_EQ(t.YV(L + 8, K), 30);
    EXPECT_EQ(t.YV(L + 9, K), -80);
    EXPECT_FLOAT_EQ(t.YV(L + 10, K), 0.8f / 1.4f);
  }
  EXPECT_EQ(t.YV(1, 12), -30);  // per-layer columns untouched

  Table other;  // any other IBHF reads the multiplet lines but writes nothing back
  other.IBHF = 0;
  EXPECT_FLOAT_EQ(other.run(2).BE(1), 30 * kRad);
  EXPECT_EQ(other.YV(L + 8, 1), -30);
}

TEST(Yvmod, RepeatedBlockKeepsItsPeriod) {
  Table t;
  t.NRN = 5;
  t.period = 30;
  t.YV(2, 1) = 10;
  const ModelArrays m = t.run(2);
  EXPECT_DOUBLE_EQ(m.thickness(2), 10 * 30 / 22.0);
  EXPECT_DOUBLE_EQ(m.thickness(3), 12 * 30 / 22.0);
  EXPECT_FLOAT_EQ(t.YV(2, 1) + t.YV(3, 1), 30);
  EXPECT_EQ(m.thickness(1), 20);

  Table neg = Table();  // a negative thickness counts as 0 in the period
  neg.NRN = 5;
  neg.period = 30;
  EXPECT_DOUBLE_EQ(neg.run(2).thickness(3), 30);

  Table flat;  // nothing to rescale: no division by zero
  flat.NRN = 5;
  flat.period = 30;
  flat.YV(3, 1) = 0;
  const ModelArrays f = flat.run(2);
  EXPECT_EQ(f.thickness(2), 0);
  EXPECT_EQ(f.thickness(3), 0);
  EXPECT_EQ(flat.YV(3, 1), 0);

  Table once;  // a block that is not repeated is not rescaled
  once.period = 30;
  EXPECT_EQ(once.run(2).thickness(3), 12);
}

TEST(Yvmod, NormalisationAndSmoothingSelection) {
  Table t;
  t.INORM = 1;
  t.YV(Table::NNN + 1, 9) = 0.6f;
  const ModelArrays m = t.run(1);
  float cmax = 0;
  for (int l = 1; l <= Table::NNN; ++l) cmax = std::max(cmax, t.YV(l, 4) + t.YV(l, 5));
  EXPECT_FLOAT_EQ(cmax, 0.6f);
  EXPECT_FLOAT_EQ(m.F(1), 0.6f / 0.8f);
  EXPECT_FLOAT_EQ(t.YV(Table::NNN + 1, 1) + t.YV(Table::NNN + 1, 2), 1);

  // INORM 3 and ISQ 1 leave the densities, so only smoothing moves them.
  auto moved = [](int normFlag, int selector, int rowCode) {
    Table s;
    const Table before;
    s.run(normFlag, 20, selector, rowCode);
    return std::pair{s.YV(1, 4) != before.YV(1, 4), s.YV(1, 5) != before.YV(1, 5)};
  };
  EXPECT_EQ(moved(1, 1, 5), std::pair(false, true));
  EXPECT_EQ(moved(1, -1, 5), std::pair(true, true));
  EXPECT_EQ(moved(1, -1, 1), std::pair(false, false));
  EXPECT_EQ(moved(2, -1, 5), std::pair(false, false));
}

TEST(Yvmod, SecondPassChangesNothing) {
  Table t;
  t.INORM = 1;
  t.ISQ = 0;
  t.NRN = 3;
  t.period = 25;
  t.YV(Table::NNN + 1, 9) = 0.9f;
  for (int ibhf : {1, 2}) {
    t.IBHF = ibhf;
    t.run(1);
    const YVTable once = t.YV;
    t.run(1);
    for (int i = 1; i <= NYVL; ++i)
      for (int j = 1; j <= NYVC; ++j)
        EXPECT_NEAR(t.YV(i, j), once(i, j), 1e-6f * (1 + std::abs(once(i, j)))) << i << "," << j;
  }
}

}  // namespace

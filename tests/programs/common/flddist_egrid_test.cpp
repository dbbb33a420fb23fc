#include <gtest/gtest.h>

#include <cmath>

#include "programs/common/egrid.hpp"
#include "programs/common/flddist.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

struct Dist {
  common::CalcParams p;
  common::NuclearConstants nc;
  common::FieldDist d;
};

void run(Dist& x, int JAV1, float SD, int IDIST) {
  x.p.JAV1 = JAV1;
  x.p.SD = SD;
  x.p.IDIST = IDIST;
  fio::Unit log(4);
  log.openNew("log");
  common::FLDDIST(log, x.p, x.nc, x.d);
  log.close();
}

TEST(FieldDistribution, GaussAndLorentzShapesAreNormalised) {
  nrstest::TempDir dir;
  const double gauss[5] = {std::exp(-2.0), std::exp(-0.5), 1, std::exp(-0.5), std::exp(-2.0)};
  const double lorentz[5] = {0.2, 0.5, 1, 0.5, 0.2};
  for (int idist : {1, 2}) {
    Dist x;
    run(x, 2, 1.0f, idist);
    const double* w = idist == 1 ? gauss : lorentz;
    double sum = 0;
    for (int i = 0; i < 5; ++i) sum += w[i];
    for (int i = 1; i <= 5; ++i) EXPECT_NEAR(x.d.WDIST(i), w[i - 1] / sum, 1e-6) << idist << " " << i;
    EXPECT_FLOAT_EQ(x.nc.SWD, 2.0f);
    EXPECT_EQ(x.nc.JAV1, 2);
  }
  Dist one;
  run(one, 0, 0.3f, 1);
  EXPECT_FLOAT_EQ(one.d.WDIST(1), 1.0f);
  EXPECT_FLOAT_EQ(one.nc.SWD, 0.0f);
  EXPECT_TRUE(nrstest::hasLine(dir.read("log"), " 0.0 1.0"));
}

TEST(FieldDistribution, NoComputedShapeGivesZeroWeightsNotNaN) {
  nrstest::TempDir dir;
  Dist x;
  run(x, 3, 0.5f, 0);
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(x.d.WDIST(i), 0.0f);
  EXPECT_FLOAT_EQ(x.nc.SWD, 1.5f);
}

TEST(FieldDistribution, TableIsTakenAsItStands) {
  nrstest::TempDir dir;
  dir.write("DISTR.inf", "-1.0  0.5\n 0.0  2.0  peak\n 1.0, 0.25\n");
  Dist x;
  run(x, 1, 9.0f, 3);
  EXPECT_FLOAT_EQ(x.d.WDIST(1), 0.5f);
  EXPECT_FLOAT_EQ(x.d.WDIST(2), 2.0f);
  EXPECT_FLOAT_EQ(x.d.WDIST(3), 0.25f);
  EXPECT_FLOAT_EQ(x.nc.SWD, 1.0f);
  dir.write("DISTR.inf", "-1.0  0.5\n 0.0  2.0\n");
  EXPECT_THROW(run(x, 1, 9.0f, 3), fio::RuntimeError);
}

TEST(FieldDistribution, MoreThanFiftyHalfPointsStopAfterTheMessage) {
  nrstest::TempDir dir;
  Dist x;
  EXPECT_EQ(nrstest::stopStatus([&] { run(x, 51, 0.1f, 1); }), 1);
  EXPECT_TRUE(nrstest::hasLine(dir.read("log"), " Number of distribution points is over!"));
  EXPECT_EQ(nrstest::stopStatus([&] { run(x, -1, 0.1f, 1); }), 1);
  EXPECT_EQ(nrstest::stopStatus([&] { run(x, 50, 0.1f, 1); }), -1);
}

common::EnergyGrid grid(float XEST, float XEMAX, std::string* log = nullptr) {
  fio::Unit u(4);
  u.openNew("egrid.log");
  common::EnergyGrid g;
  common::EGRID(u, 1024, XEST, XEMAX, g);
  u.close();
  if (log) *log = nrstest::slurp("egrid.log");
  return g;
}

TEST(EnergyGrid, StepsFollowTheDistanceFromResonance) {
  nrstest::TempDir dir;
  const float XEST = 0.1f, XEMAX = 10.0f;
  std::string log;
  const common::EnergyGrid g = grid(XEST, XEMAX, &log);
  EXPECT_NEAR(g.X(1), -51.2, 1e-5);
  EXPECT_NEAR(g.X(2) - g.X(1), 10 * XEST, 1e-5);  // far below: the coarsest step
  for (int n = 2; n <= g.NE; ++n) {
    const double a = std::fabs(static_cast<double>(g.X(n - 1)));
    double step = XEST;
    if (a > XEMAX + 1e-4) step = 2 * XEST;
    if (a > 1.5 * XEMAX + 1e-4) step = 5 * XEST;
    if (a > 2 * XEMAX + 1e-4) step = 10 * XEST;
    ASSERT_NEAR(g.X(n) - g.X(n - 1), step, 1e-4) << n;
  }
  // It ends at the last point within |x0| + 10*XEST.
  EXPECT_LE(g.X(g.NE), 51.2 + 1.0 + 1e-4);
  EXPECT_GT(g.X(g.NE) + 10 * XEST, 52.2 - 1e-4);
  // I1, I2: last points below -XEMAX and below XEMAX.
  EXPECT_LT(g.X(g.I1), -XEMAX);
  EXPECT_GE(g.X(g.I1 + 1), -XEMAX);
  EXPECT_LT(g.X(g.I2), XEMAX);
  EXPECT_GE(g.X(g.I2 + 1), XEMAX);
  EXPECT_TRUE(nrstest::hasLine(log, " number of points for energy spectrum calculation  " + std::to_string(g.NE)));
}

TEST(EnergyGrid, ExactlyAtTheLimitTheFineStepStillApplies) {
  nrstest::TempDir dir;
  // Steps of 1 from -512 (10, 5, then 2 on odd numbers): -101 lies exactly
  // at |x| = XEMAX and is followed by a step of 1.
  const common::EnergyGrid g = grid(1.0f, 101.0f);
  int at = 0;
  for (int n = 1; n <= g.NE; ++n)
    if (g.X(n) == -101.0f) at = n;
  ASSERT_GT(at, 0);
  EXPECT_FLOAT_EQ(g.X(at - 1), -103.0f);
  EXPECT_FLOAT_EQ(g.X(at + 1), -100.0f);
}

TEST(EnergyGrid, CapAndWideFineRangeAreReportedAndSafe) {
  nrstest::TempDir dir;
  std::string log;
  // 2*XEMAX/XEST fine points alone exceed 512: the grid stops short.
  const common::EnergyGrid g = grid(0.1f, 40.0f, &log);
  EXPECT_EQ(g.NE, 512);
  EXPECT_LT(g.X(512), 51.1f);
  EXPECT_NE(log.find("energy grid cut at 512 points"), std::string::npos);
  // XEMAX beyond the window: no point below -XEMAX, I1 stays 0.
  const common::EnergyGrid w = grid(0.1f, 60.0f, &log);
  EXPECT_EQ(w.I1, 0);
  EXPECT_TRUE(nrstest::hasLine(log, "  I1,I2= 0 " + std::to_string(w.I2)));
}

}  // namespace

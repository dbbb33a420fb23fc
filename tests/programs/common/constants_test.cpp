#include "programs/common/constants.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "programs/common/egrid.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

using nrstest::slurp;
using nrstest::sourcePath;

struct Read {
  common::NuclearConstants nc;
  common::MainConstants mc;
};

Read readConstants(const std::string& isotopeFile, common::ConstantsKind kind = common::ConstantsKind::TimeSpectra) {
  nrstest::TempDir dir;
  dir.write("Tconst.INI", slurp(sourcePath("data/" + isotopeFile)));
  Read r;
  fio::Unit log(4);
  common::RDCONST(log, r.nc, r.mc, {"ZEPRIN.RES", kind});
  log.close();
  return r;
}

// Line energy (mm/s) of ground sub-level mg to excited me, both doubled.
double lineEnergy(const common::NuclearConstants& nc, int me, int mg, double B) {
  return (me * nc.EFAC / 2.0 - mg * nc.GFAC / 2.0) * B;
}

TEST(Constants, Fe57DerivedValuesMatchPublishedPhysics) {
  const Read r = readConstants("FeConst.INI");
  EXPECT_NEAR(r.mc.LYAMBDA, 0.8602, 0.005 * 0.8602);  // Angstrom
  EXPECT_NEAR(r.mc.K0, 7.304, 0.005 * 7.304);         // 1/Angstrom
  EXPECT_NEAR(common::meanDecayTime(r.nc, r.mc), 141.0, 0.005 * 141.0);  // ns
  EXPECT_NEAR(common::fullWidth(r.nc, r.mc), 4.66, 0.005 * 4.66);        // neV
  EXPECT_NEAR(r.mc.SIGMA0 * 1e-16, 2.56e-18, 0.005 * 2.56e-18);           // cm^2
  EXPECT_EQ(r.nc.JE, 1024);
  EXPECT_FLOAT_EQ(r.nc.QRAT, 0.0f);  // spin 1/2 ground state: no quadrupole moment
}

TEST(Constants, Fe57SextetOfAlphaIronCalibration) {
  // Room-temperature alpha-Fe (33.04 T): line separations 1-6, 2-5, 3-4.
  const Read r = readConstants("FeConst.INI");
  const double B = 33.04;
  const double l1 = lineEnergy(r.nc, -3, -1, B), l6 = lineEnergy(r.nc, 3, 1, B);
  const double l2 = lineEnergy(r.nc, -1, -1, B), l5 = lineEnergy(r.nc, 1, 1, B);
  const double l3 = lineEnergy(r.nc, 1, -1, B), l4 = lineEnergy(r.nc, -1, 1, B);
  EXPECT_NEAR(std::fabs(l6 - l1), 10.657, 0.005 * 10.657);
  EXPECT_NEAR(std::fabs(l5 - l2), 6.168, 0.005 * 6.168);
  EXPECT_NEAR(std::fabs(l4 - l3), 1.677, 0.005 * 1.677);
  // Intensities 3:2:1 of a random powder: the table rows of mg = +1/2.
  EXPECT_NEAR(r.nc.CTRANS(1, 1), 1.0, 1e-12);
  EXPECT_NEAR(r.nc.CTRANS(1, 2), 2.0 / 3, 1e-12);
  EXPECT_NEAR(r.nc.CTRANS(1, 3), 1.0 / 3, 1e-12);
}

TEST(Constants, EveryIsotopeFileObeysTheSumRulesAndFitsTheGrids) {
  for (const char* f : {"FeConst.INI", "SmConst.INI", "EuConst.INI", "SnConst.INI"}) {
    SCOPED_TRACE(f);
    const Read r = readConstants(f);
    // Squared Clebsch-Gordan coefficients: each excited sub-level is reached
    // with total weight 1, so the table sums to 2*Ie+1.
    double total = 0;
    for (int me = -r.nc.I2E; me <= r.nc.I2E; me += 2) {
      double toLevel = 0;
      for (int i = 1; i <= r.nc.I2G + 1; ++i) {
        const int mg = r.nc.I2G - 2 * (i - 1);
        for (int j = 1; j <= 3; ++j)
          if (mg + 2 * (2 - j) == me) toLevel += r.nc.CTRANS(i, j);
      }
      EXPECT_NEAR(toLevel, 1.0, 1e-12) << "me/2 = " << me;
      total += toLevel;
    }
    double all = 0;
    for (int i = 1; i <= r.nc.I2G + 1; ++i)
      for (int j = 1; j <= 3; ++j) all += r.nc.CTRANS(i, j);
    EXPECT_NEAR(all, total, 1e-12);  // no weight on forbidden transitions
    // The Fourier window must hold the shown 177 ns, and the energy grid must
    // reach past its end within 512 points with I1 >= 1.
    EXPECT_GT(r.mc.LYAMBDA / r.mc.XEST * 100, 177.0);
    EXPECT_LT(r.mc.XEMAX, 512 * r.mc.XEST);
    nrstest::TempDir dir;
    fio::Unit log(4);
    log.openNew("log");
    common::EnergyGrid g;
    common::EGRID(log, r.nc.JE, r.mc.XEST, r.mc.XEMAX, g);
    EXPECT_LT(g.NE, 512);
    EXPECT_GE(g.I1, 1);
    EXPECT_GT(g.X(g.NE), 511 * r.mc.XEST);
    // Resonant strength: HF > 0 and a decay time of some ns.
    EXPECT_GT(r.nc.HF, 0.0);
    EXPECT_GT(common::meanDecayTime(r.nc, r.mc), 5.0);
  }
}

TEST(Constants, RunLogEchoesTheFileInItsFormats) {
  nrstest::TempDir dir;
  dir.write("Tconst.INI", slurp(sourcePath("data/FeConst.INI")));
  common::NuclearConstants nc;
  common::MainConstants mc;
  fio::Unit log(4);
  common::RDCONST(log, nc, mc);
  log.close();
  const auto lines = nrstest::splitLines(dir.read("ZEPRIN.RES"));
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(lines[0], " data from Tconst.INI");
  EXPECT_EQ(lines[1], "  ALFA= 8.21");
  EXPECT_EQ(lines[2], " XEMAX 10.0");
  EXPECT_EQ(lines[3], "  DENOM 3.0");
  EXPECT_EQ(lines[4], "mg   0.50000");
  EXPECT_EQ(lines[5], "  1   1.00000");
  EXPECT_EQ(lines[6], "  0   0.66667");
  EXPECT_EQ(lines[7], " -1   0.33333");
  EXPECT_EQ(lines[8], "mg  -0.50000");
  EXPECT_TRUE(nrstest::hasLine(dir.read("ZEPRIN.RES"), " coeff.for transform of mm/s to kev AT=ER/c = "));
}

TEST(Constants, VariantsOfTheOtherPrograms) {
  const Read mol = readConstants("FeConst.INI", common::ConstantsKind::DelayedPrompt);
  EXPECT_DOUBLE_EQ(mol.mc.LYAMBDA, 12.398418 / 14.4129);
  EXPECT_NEAR(mol.mc.K0, 6.2831855f / mol.mc.LYAMBDA, 1e-12);

  nrstest::TempDir dir;
  dir.write("Tconst.INI", " title\n 23.8795  ERES\n");  // the prompt program needs nothing more
  common::NuclearConstants nc;
  common::MainConstants mc;
  fio::Unit log(4);
  common::RDCONST(log, nc, mc, {"QUASTO.RES", common::ConstantsKind::EnergyOnly});
  log.close();
  EXPECT_NEAR(mc.LYAMBDA, 0.5192, 0.0005);
  const auto lines = nrstest::splitLines(dir.read("QUASTO.RES"));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], " coeff.for transform of mm/s to kev AT=ER/c = ");
  EXPECT_EQ(lines[3].rfind("  ERES(keV),LYAMBDA(A)= 23.8795 0.519", 0), 0u);
}

// The Fe file with record `rec` (1-based) replaced.
std::string withRecord(int rec, const std::string& text) {
  auto lines = nrstest::splitLines(slurp(sourcePath("data/FeConst.INI")));
  lines[rec - 1] = text;
  std::string out;
  for (auto& l : lines) out += l + "\n";
  return out;
}

TEST(Constants, ValuesOutsideTheirLimitsStopWithStatus1) {
  const std::vector<std::pair<int, std::string>> bad = {
      {3, " 10   I2G: eleven ground sub-levels"}, {17, " 0   DENOM"}, {10, " 0.0  GE"},
      {2, " 0.0  ERES"},                          {14, " 0.0  XEST"}, {4, " -1  I2E"}};
  for (const auto& [rec, text] : bad) {
    SCOPED_TRACE(text);
    nrstest::TempDir dir;
    dir.write("Tconst.INI", withRecord(rec, text));
    common::NuclearConstants nc;
    common::MainConstants mc;
    fio::Unit log(4);
    EXPECT_EQ(nrstest::stopStatus([&] { common::RDCONST(log, nc, mc); }), 1);
  }
}

TEST(Constants, MissingUnreadableAndShortFilesAreRunTimeErrors) {
  common::NuclearConstants nc;
  common::MainConstants mc;
  {
    nrstest::TempDir dir;
    dir.write("ZEPRIN.RES", "old log\n");
    fio::Unit log(4);
    EXPECT_THROW(common::RDCONST(log, nc, mc), fio::RuntimeError);
    EXPECT_EQ(dir.read("ZEPRIN.RES"), "old log\n");  // not rewritten without the constants file
  }
  {
    nrstest::TempDir dir;
    dir.write("Tconst.INI", withRecord(9, " 8.21x   ALFA"));
    fio::Unit log(4);
    EXPECT_THROW(common::RDCONST(log, nc, mc), fio::RuntimeError);
  }
  {
    nrstest::TempDir dir;
    const std::string full = slurp(sourcePath("data/FeConst.INI"));
    dir.write("Tconst.INI", full.substr(0, full.find("XEST")));
    fio::Unit log(4);
    EXPECT_THROW(common::RDCONST(log, nc, mc), fio::RuntimeError);
    log.close();
    EXPECT_EQ(nrstest::splitLines(dir.read("ZEPRIN.RES")).at(0), " data from Tconst.INI");
  }
}

}  // namespace

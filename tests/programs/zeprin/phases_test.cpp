#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "programs/zeprin/zeprin.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

using nrstest::hasLine;

constexpr double kLambdaFe = 0.860230673128489;  // Angstrom

TEST(TimeAxis, ChannelWidthIsPlanckOverTheEnergyWindow) {
  nrstest::TempDir dir;
  fio::Unit log(4);
  log.openNew("log");
  zeprin::TimeAxis ax;
  zeprin::TAXIS(log, kLambdaFe, 0.1f, ax);
  log.close();
  // h / (1024 * 0.1 mm/s * E/c) with E = 14.4129 keV.
  EXPECT_NEAR(ax.AN, 4.1356673e-15 / (1024 * 0.1 * 14412.9 / 2.99792458e11) * 1e9, 1e-5);
  EXPECT_FLOAT_EQ(ax.T(1), 0.0f);
  EXPECT_FLOAT_EQ(ax.T(11), 10 * ax.AN);
  EXPECT_LT(ax.T(ax.MTH), 177.0f);
  EXPECT_GE(ax.T(ax.MTH + 1), 177.0f);
  EXPECT_EQ(ax.BUFFTN[3], "BUFFTN4.RES");
  EXPECT_TRUE(hasLine(dir.read("log"), " time step (AN=delta)     0.840068996"));
}

struct Kernel {
  zeprin::TimeAxis ax;
  zeprin::TimeKernel k;
};

void kernel(Kernel& x, float SIGMA) {
  fio::Unit log(4);
  log.openNew("log");
  zeprin::TAXIS(log, kLambdaFe, 0.1f, x.ax);
  zeprin::GAUSTAV(log, SIGMA, x.ax, x.k);
  log.close();
}

TEST(TimeKernel, GaussianWeightsSumToOneAndStayWithin41) {
  nrstest::TempDir dir;
  for (float sigma : {1.0f, 5.8f, 6.0f, 30.0f}) {
    SCOPED_TRACE(sigma);
    Kernel x;
    kernel(x, sigma);
    const int nav = static_cast<int>(sigma * 6 / x.ax.AN);
    EXPECT_EQ(x.k.NAV, nav);
    EXPECT_EQ(x.k.H, std::min(nav / 2, 20));
    double sum = 0;
    for (int i = 1; i <= 2 * x.k.H + 1; ++i) sum += x.k.W(i);
    EXPECT_NEAR(sum, 1.0, 1e-6);
    const int c = x.k.H + 1;
    EXPECT_FLOAT_EQ(x.k.W(c - 1), x.k.W(c + 1));
    const double a = x.ax.AN / sigma;
    EXPECT_NEAR(x.k.W(c + 1) / x.k.W(c), std::exp(-0.5 * a * a), 1e-5);
  }
  EXPECT_TRUE(hasLine(nrstest::slurp("log"), " Gauss for time averaging, NAV=  20"));
}

TEST(TimeKernel, ZeroWidthLeavesTheSpectrumAlone) {
  nrstest::TempDir dir;
  Kernel x;
  kernel(x, 0.0f);
  EXPECT_EQ(x.k.H, 0);
  EXPECT_FLOAT_EQ(x.k.W(1), 1.0f);
  EXPECT_TRUE(hasLine(dir.read("log"), "    1  0.0000  1.0000"));
}

TEST(ExperimentList, NamesAndTheSwitchToPlainCalculation) {
  nrstest::TempDir dir;
  fio::Unit log(4);
  log.openNew("log");
  zeprin::ExperimentList e;
  int ITEST = 2;
  dir.write("FilesE.inp", "\t 2 \nfirst.dat\nsecond.dat   \n");
  zeprin::RDFILESE(log, e, ITEST);
  EXPECT_EQ(e.NEXP, 2);
  EXPECT_EQ(e.name[1], "second.dat");
  EXPECT_EQ(ITEST, 2);
  dir.write("FilesE.inp", "\t 0 \n");
  zeprin::RDFILESE(log, e, ITEST);
  EXPECT_EQ(ITEST, 1);
  dir.write("FilesE.inp", "\t 5 \na\nb\nc\nd\ne\n");
  EXPECT_EQ(nrstest::stopStatus([&] { zeprin::RDFILESE(log, e, ITEST); }), 1);
  dir.write("FilesE.inp", "\t 2 \nonly.dat\n");
  EXPECT_THROW(zeprin::RDFILESE(log, e, ITEST), fio::RuntimeError);
}

// n records of decreasing time t = first, first - step, ...; counts 1000 + t.
std::string spectrum(int n, double first, double step) {
  std::string s;
  for (int m = 0; m < n; ++m) {
    const double t = first - m * step;
    s += std::to_string(t) + "  " + std::to_string(1000 + t) + "\n";
  }
  return s;
}

struct Exper {
  zeprin::ExperimentList e;
  zeprin::TimeExperiment x;
  int NSPC = 1;  // files the passes compare
};

void readExp(Exper& d, float XEXP1, float XEXP2) {
  fio::Unit log(4);
  log.openNew("log");
  common::CalcParams p;
  p.XEXP1 = XEXP1;
  p.XEXP2 = XEXP2;
  p.weight.fill(1.0f);
  zeprin::RDEXPER(log, d.e, p, d.NSPC, d.x);
  log.close();
}

TEST(TimeExperiment, DecreasingTimesFillTheSlotsUpwardsAndSetTheWindow) {
  nrstest::TempDir dir;
  dir.write("a.dat", spectrum(300, 299, 1));
  Exper d;
  d.e.NEXP = 1;
  d.e.name[0] = "a.dat";
  readExp(d, 10, 170);
  EXPECT_FLOAT_EQ(d.x.XXA(1024), 299.0f);
  EXPECT_FLOAT_EQ(d.x.XXA(725), 0.0f);
  EXPECT_EQ(d.x.JZ, 726);  // first slot at or above 0.1 ns
  EXPECT_EQ(d.x.JZF, 1024);
  EXPECT_EQ(d.x.MEXP, 299);
  EXPECT_EQ(d.x.JZ1, 9);   // t = 9 is the last below 10 ns
  EXPECT_EQ(d.x.JZ2, 169);
  EXPECT_FLOAT_EQ(d.x.times(1), 1.0f);
  EXPECT_FLOAT_EQ(d.x.YEXPM(1), 1299.0f);
  EXPECT_FLOAT_EQ(d.x.YEXP(299, 1), 1.0f);
  EXPECT_FLOAT_EQ(d.x.YEXP(1, 1), 1001.0f / 1299.0f);
  const std::string log = dir.read("log");
  EXPECT_TRUE(hasLine(log, "  Open exp.file"));
  EXPECT_TRUE(hasLine(log, "  XXA(JEXP)= 299.0"));
  EXPECT_TRUE(hasLine(log, " JZ,MEXP=  726  299"));
  EXPECT_TRUE(hasLine(log, " JZ1,JZ2 - points for comparison exp. with theor.    9  169"));
}

TEST(TimeExperiment, LaterShorterFileDoesNotInheritCounts) {
  nrstest::TempDir dir;
  dir.write("a.dat", spectrum(300, 299, 1));
  dir.write("b.dat", spectrum(100, 299, 1));
  Exper d;
  d.e.NEXP = 2;
  d.e.name = {"a.dat", "b.dat", "", ""};
  readExp(d, 10, 170);
  EXPECT_FLOAT_EQ(d.x.YEXP(1, 1), 1001.0f / 1299.0f);
  EXPECT_FLOAT_EQ(d.x.YEXP(1, 2), 0.0f);  // slot 726 is before the second file's data
  EXPECT_FLOAT_EQ(d.x.YEXP(299, 2), 1.0f);
}

TEST(TimeExperiment, LongStretchIsCutTo900AndTheWindowClamped) {
  nrstest::TempDir dir;
  dir.write("a.dat", spectrum(1100, 1099, 1));  // only 1024 records are read
  Exper d;
  d.e.NEXP = 1;
  d.e.name[0] = "a.dat";
  readExp(d, -5, 5000);
  EXPECT_FLOAT_EQ(d.x.XXA(1), 76.0f);
  EXPECT_EQ(d.x.JZ, 1);
  EXPECT_EQ(d.x.MEXP, 900);
  EXPECT_EQ(d.x.JZF, 900);
  EXPECT_EQ(d.x.JZ1, 1);
  EXPECT_EQ(d.x.JZ2, 900);
  EXPECT_FLOAT_EQ(d.x.times(900), 975.0f);
}

TEST(TimeExperiment, EmptyComparisonStops) {
  nrstest::TempDir dir;
  Exper d;
  d.e.NEXP = 1;
  d.e.name[0] = "a.dat";
  dir.write("a.dat", spectrum(300, 299, 1));
  EXPECT_EQ(nrstest::stopStatus([&] { readExp(d, 200, 100); }), 1);
  // Increasing times put t = 0 into slot 1024: nothing lies in the stretch.
  dir.write("a.dat", spectrum(300, 0, -1));
  EXPECT_EQ(nrstest::stopStatus([&] { readExp(d, 10, 170); }), 1);
  dir.write("a.dat", "12.0  x\n");
  EXPECT_THROW(readExp(d, 10, 170), fio::RuntimeError);
  // Spectra are compared in units of their largest count: none, no unit.
  dir.write("a.dat", "20.0  0\n15.0  0\n10.0  0\n");
  EXPECT_EQ(nrstest::stopStatus([&] { readExp(d, 10, 170); }), 1);
}

}  // namespace

// The BRINAX executable on copies of the example working directory.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "programs/zeprin/workdir.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

using nrstest::setRecord;
using nrstest::splitLines;
using zeprintest::columns;
using Rows = std::vector<std::vector<double>>;

void copyExample(const nrstest::TempDir& dir) { nrstest::copyExample(dir, "fe57-cems"); }

nrstest::RunResult runBrinax() { return nrstest::runProgram("BRINAX"); }

// The numbers after `label` on every log line that holds it.
std::vector<std::vector<double>> after(const std::string& log, const std::string& label) {
  std::vector<std::vector<double>> v;
  for (const auto& line : splitLines(log)) {
    const auto p = line.find(label);
    if (p != std::string::npos) v.push_back(columns(line.substr(p + label.size()))[0]);
  }
  return v;
}

// "EpsCEM.res" holding the merit EPS.
std::string epsFile(double EPS) {
  char text[32];
  std::snprintf(text, sizeof text, "%10.4f\n", EPS);
  return text;
}

// The value of model-file row `label` (the first multiplet's column).
double modelValue(const std::string& model, const std::string& label) {
  for (const auto& line : splitLines(model))
    if (line.find(label) != std::string::npos) return columns(line)[0][1];
  return NAN;
}

TEST(BrinaxRun, WithoutExperimentOnePassAndNoStopFile) {
  nrstest::TempDir dir;
  copyExample(dir);
  setRecord(dir, "FilCEM.inp", 2, "\t 0 \t   if  =0   no experiment");
  std::filesystem::remove(dir.path() / "stop.inp");
  const auto r = runBrinax();
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_FALSE(zeprintest::sanitizerReport(r.output)) << r.output;
  EXPECT_FALSE(dir.exists("stop.inp"));
  EXPECT_FALSE(dir.exists("CEMorig.res"));
  EXPECT_EQ(dir.read("EpsCEM.res"), "    0.0000\n");
  const std::string log = dir.read("TOLPEK.RES");
  EXPECT_EQ(after(log, "CEMScal: JREP =").size(), 1u);
  EXPECT_TRUE(after(log, "EPSS,EPSbest =").empty());
  const auto fit = columns(dir.read("CEMfit.res"));
  ASSERT_EQ(fit.size(), 512u);  // IMM points from -EMAX + step to EMAX
  EXPECT_DOUBLE_EQ(fit.back()[0], 8.0);
  for (const auto& row : fit) EXPECT_EQ(row[1], 0.0);
}

// The experiment of the example was made by BRINAX from Fe57true.inf (33 T,
// isomer shift 0) with Poisson noise; the fit starts 0.4 T and 0.05 mm/s away.
TEST(BrinaxRun, FitRecoversTheFieldOfTheSyntheticSpectrum) {
  nrstest::TempDir dir;
  copyExample(dir);
  const auto r = runBrinax();
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_FALSE(zeprintest::sanitizerReport(r.output)) << r.output;
  const std::string model = dir.read("LAYSPC.RES");
  EXPECT_NEAR(modelValue(model, "Bhf(T)"), 33.0, 0.05);
  EXPECT_NEAR(modelValue(model, "IS(mm/s)"), 0.0, 0.01);
  const auto best = after(dir.read("TOLPEK.RES"), "EPSS,EPSbest =");
  ASSERT_FALSE(best.empty());
  EXPECT_EQ(dir.read("EpsCEM.res"), epsFile(best.back()[1]));
  const auto fit = columns(dir.read("CEMfit.res")), orig = columns(dir.read("CEMorig.res"));
  ASSERT_EQ(fit.size(), 512u);
  ASSERT_EQ(orig.size(), 512u);
  for (std::size_t j = 0; j < fit.size(); ++j) {
    EXPECT_EQ(fit[j][3], fit[j][2]);  // one multiplet carries the whole background
    EXPECT_NEAR(orig[j][1], 1.0, 0.1);  // counts relative to the smallest: a 5 % effect
  }
}

// Without a fit the merit of the comparison is reported, and a JFIT above 10
// is lowered by 10 until it is 10 or below: every pass, the first included,
// compares alike, 23 and 13 as 3, 20 and 30 as 10, 11 as 1; the powers 1, 3
// and 10 weigh the points differently.
TEST(BrinaxRun, ComparisonWithoutFitKeepsItsMeritAndItsWeights) {
  struct Case {
    int JFIT;
    int power;  // the JFIT it compares as
    double EPSS = 0;
  };
  Case cases[] = {{3, 3}, {23, 3}, {13, 3}, {10, 10}, {20, 10}, {30, 10}, {1, 1}, {11, 1}};
  std::map<int, double> merit;  // by power
  for (Case& c : cases) {
    SCOPED_TRACE(c.JFIT);
    nrstest::TempDir dir;
    copyExample(dir);
    setRecord(dir, "ZEPRIN.INP", 2, "\t 1 \t ITEST");
    setRecord(dir, "ZEPRIN.INP", 13, "\t " + std::to_string(c.JFIT) + " \t JFIT");
    setRecord(dir, "FilCEM.inp", 12, "\t 5.1 \t E1lim");  // the outer line: weights 1/E^13 stay finite
    setRecord(dir, "FilCEM.inp", 13, "\t 5.5 \t E2lim");
    dir.write("next.INP", " 1\n 4 1 0 0 0 0\n 4 1 0 0 0 0\n 0 0 0 0 0 0\n");
    const auto r = runBrinax();
    ASSERT_EQ(r.status, 0) << r.output;
    const auto passes = after(dir.read("TOLPEK.RES"), "AMAX,AFON,EPSS: MEANSQUAREc");
    ASSERT_EQ(passes.size(), 3u);
    for (const auto& p : passes) EXPECT_EQ(p[2], passes[0][2]);
    c.EPSS = passes[0][2];
    EXPECT_GT(c.EPSS, 0.0);
    EXPECT_EQ(dir.read("EpsCEM.res"), epsFile(c.EPSS));
    if (c.JFIT == c.power) merit[c.power] = c.EPSS;
  }
  for (const Case& c : cases) EXPECT_EQ(c.EPSS, merit.at(c.power)) << c.JFIT;
  EXPECT_NE(merit.at(1), merit.at(3));
  EXPECT_NE(merit.at(3), merit.at(10));
}

TEST(BrinaxRun, UnusableInputStopsWithAMessage) {
  std::string flat;
  for (int i = 0; i < 512; ++i) flat += "   1000000\n";
  struct Case {
    const char* file;
    int record;  // 0: the whole file becomes `text`
    std::string text;
    const char* message;
  };
  const Case cases[] = {
      {"FilCEM.inp", 10, "\t 0.0 \t Hchan", "Hchan in FilCEM.inp must not be 0"},
      {"FilCEM.inp", 4, "\t 0.0 \t EMAX", "EMAX in FilCEM.inp must be larger than 0"},
      {"FilCEM.inp", 4, "\t -8.0 \t EMAX", "EMAX in FilCEM.inp must be larger than 0"},
      {"FilCEM.inp", 5, "\t 1 \t IMM", "IMM in FilCEM.inp must lie in 2..1024"},
      {"FilCEM.inp", 5, "\t 1025 \t IMM", "IMM in FilCEM.inp must lie in 2..1024"},
      {"FilCEM.inp", 8, "\t 1 \t JEXPC", "JEXPC in FilCEM.inp must lie in 2..1024"},
      {"FilCEM.inp", 8, "\t 2000 \t JEXPC", "JEXPC in FilCEM.inp must lie in 2..1024"},
      {"FilCEM.inp", 9, "\t -0.03125 \t Hmms", "must increase with the channel"},
      {"FilCEM.inp", 3, "\t 20.0 \t GS", "LS = 10 GS / XEST must not exceed 513"},
      {"FilCEM.inp", 13, "\t -9.0 \t E2lim", "between E1lim and E2lim to compare with"},
      // Channels 31 and 32 (-7.03125 and -7.0 mm/s) only.
      {"FilCEM.inp", 13, "\t -6.98 \t E2lim",
       " fewer than 3 points of the experiment file fe57_cems.dat with a count above the file's smallest lie between"
       " E1lim and E2lim to compare with !"},
      {"fe57_cems.dat", 0, flat, " fewer than 3 points of the experiment file fe57_cems.dat with a count above"},
      {"fe57_cems.dat", 0, "   1000000\n", " the experiment file fe57_cems.dat holds fewer than 2 values !"},
      {"FilCEM.inp", 0, " FilCEM\n 1\n 0.06\n 8.0\n 512\n\nfe57_cems.dat\n 512\n", "end of file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    nrstest::TempDir dir;
    copyExample(dir);
    if (c.record > 0)
      setRecord(dir, c.file, c.record, c.text);
    else
      dir.write(c.file, c.text);
    const auto r = runBrinax();
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    EXPECT_FALSE(zeprintest::sanitizerReport(r.output)) << r.output;
  }
}

// An experiment file shorter than JEXPC ends the spectrum where it ends: its
// missing channels are not taken as zero counts.
TEST(BrinaxRun, ShortExperimentIsCutNotPadded) {
  nrstest::TempDir dir;
  copyExample(dir);
  const auto lines = splitLines(dir.read("fe57_cems.dat"));
  std::string part;
  for (int i = 0; i < 300; ++i) part += lines[i] + "\n";
  dir.write("fe57_cems.dat", part);
  dir.write("next.INP", " 1\n 0 0 0 0 0 0\n");
  const auto r = runBrinax();
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("holds 300 values, fewer than JEXPC = 512"), std::string::npos) << r.output;
  EXPECT_EQ(columns(dir.read("CEMfit.res")).size(), 300u);
  EXPECT_GT(after(dir.read("TOLPEK.RES"), "YEN,YEM=").at(0)[0], 9e5);  // no zero counts
}

// A channel without counts leaves nothing for counts relative to the smallest
// count to be relative to: "CEMorig.res" stays empty instead of infinite.
TEST(BrinaxRun, ZeroCountLeavesTheRelativeCountsEmpty) {
  nrstest::TempDir dir;
  copyExample(dir);
  setRecord(dir, "fe57_cems.dat", 1, "         0");
  const auto r = runBrinax();
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("YEN = 0"), std::string::npos) << r.output;
  EXPECT_EQ(dir.read("CEMorig.res"), "");
  EXPECT_NEAR(modelValue(dir.read("LAYSPC.RES"), "Bhf(T)"), 33.0, 0.05);
}

// A spectrum without absorption has no scale: a message, zeros in the
// result files; in a fit, a step that empties the film is never kept.
TEST(BrinaxRun, SpectrumWithoutResonantNucleiIsReportedAndNotKept) {
  nrstest::TempDir dir;
  copyExample(dir);
  dir.write("next.INP", " 1\n 1 4 -1.0 0 0 0\n 0 0 0 0 0 0\n");  // the film's density 1 -> 0
  setRecord(dir, "ZEPRIN.INP", 14, "\t 3 \t ISTOP");
  const auto r = runBrinax();
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_FALSE(zeprintest::sanitizerReport(r.output)) << r.output;
  EXPECT_NE(r.output.find("SMAX = 0"), std::string::npos) << r.output;
  const std::string log = dir.read("TOLPEK.RES");
  EXPECT_NE(log.find("EPSN is not a finite number"), std::string::npos);
  EXPECT_EQ(log.find("accept !"), std::string::npos);
  const auto model = columns(dir.read("LAYSPC.RES"));
  EXPECT_EQ(model[14][1], 1.0);  // the film's density record
  EXPECT_EQ(dir.read("CEMfit.res").find("nan"), std::string::npos);
}

// A multiplet of a hand-written model: its share S of the absorption, field
// (T), standard deviation of its Gaussian field distribution (T), isomer
// shift (mm/s), and the field direction: BE from the beam and the azimuth GA
// (degrees), random and planar fractions, azimuth spread WID (degrees).
struct Multiplet {
  float S, Bhf, dBhf, IS, BE, GA, R, Q, WID;
};
using Value = float Multiplet::*;

// A model file of 57Fe films on silicon.  IBHF = 2: one film holding every
// multiplet, the directions given per multiplet.  IBHF = 1: a film of
// 100 Angstrom per multiplet, holding that multiplet alone with its share as
// density and its direction as the film's.
std::string cemsModel(int IBHF, const std::vector<Multiplet>& m) {
  const int NM = static_cast<int>(m.size()), films = IBHF == 2 ? 1 : NM, NNN = films + 1;
  const Value direction[] = {&Multiplet::BE, &Multiplet::GA, &Multiplet::R, &Multiplet::Q, &Multiplet::WID};
  auto n = [](int i) { return " " + std::to_string(i); };
  // Record N of eight values, value(K) for multiplet K.
  auto row = [&](int N, auto value) {
    std::string r = n(N);
    for (int K = 1; K <= 8; ++K) r += zeprintest::fmt(" %g", K <= NM ? value(K) : 0.0f);
    return r + "\n";
  };
  auto per = [&](Value v, bool given = true) { return [&m, v, given](int K) { return given ? m[K - 1].*v : 0.0f; }; };
  std::string s = " 0  LAYSPC.INF\n sublayers\n" + n(NNN) + "\n 1 1\n 1\n 3  INORM\n 0  ISQ\n 1.0  HKMAX\n" + n(NM) +
                  "  NM\n" + n(IBHF) + "  IBHF\n header\n";
  for (int N = 1; N <= films; ++N) s += n(N) + " 100.0 -14.66 0.62 0 0 0 1 1 0\n";
  s += n(NNN) + " 1000.0 -4.64 0.045 0 0 0 1 1 0\n densities\n";
  for (int N = 1; N <= films; ++N) {
    s += row(N, [&](int K) { return IBHF == 2 ? 1.0f : K == N ? m[K - 1].S : 0.0f; });
    s.pop_back();
    for (Value v : direction) s += zeprintest::fmt(" %g", IBHF == 2 ? 0.0f : m[N - 1].*v);
    s += "\n";
  }
  s += n(NNN) + " 0 0 0 0 0 0 0 0  0 0 0 0 0\n S\n" + row(NNN + 1, per(&Multiplet::S)) + " hyperfine\n";
  int N = NNN + 2;
  for (Value v : {&Multiplet::Bhf, &Multiplet::dBhf, &Multiplet::IS}) s += row(N++, per(v));
  for (; N <= NNN + 6; ++N) s += row(N, [](int) { return 0.0f; });  // EFG, GRd
  s += " directions\n";
  for (Value v : direction) s += row(++N, per(v, IBHF == 2));
  s += " KINDV\n";
  for (int l = 1; l <= NNN; ++l) s += n(l) + " 1 1 1 1 1 1 1 1\n";
  s += " ZDV\n";
  for (int l = 1; l <= NNN; ++l) s += n(l) + " 0 0 0 0 0 0 0 0\n";
  return s;
}

// Directions given per multiplet (IBHF = 2) give the spectrum of the same
// multiplets each in a film of its own with that direction (IBHF = 1).  Each
// multiplet absorbs its share S of the total area, whatever its direction
// and also where its field is spread over a distribution (7 points here).
TEST(BrinaxRun, DirectionsPerMultipletEqualAFilmPerMultiplet) {
  const std::vector<Multiplet> m = {{0.7f, 33, 0, 0, 90, 0, 0, 0, 0}, {0.3f, 30, 1.5f, 0.3f, 50, 120, 0.2f, 0, 15}};
  std::vector<Rows> fit;
  for (int IBHF : {2, 1}) {
    SCOPED_TRACE(IBHF);
    nrstest::TempDir dir;
    copyExample(dir);
    setRecord(dir, "FilCEM.inp", 2, "\t 0 \t no experiment");
    setRecord(dir, "FilCEM.inp", 4, "\t 12.0 \t EMAX");
    setRecord(dir, "FilCEM.inp", 5, "\t 1024 \t IMM");
    setRecord(dir, "ZEPRIN.INP", 17, "\t 3 \t JAV1");
    setRecord(dir, "ZEPRIN.INP", 18, "\t 0.8 \t SD");
    dir.write("Fe57start.inf", cemsModel(IBHF, m));
    const auto r = runBrinax();
    ASSERT_EQ(r.status, 0) << r.output;
    fit.push_back(columns(dir.read("CEMfit.res")));
    ASSERT_EQ(fit.back().size(), 1024u);
  }
  std::array<double, 5> area{};
  for (std::size_t k = 0; k < 1024; ++k) {
    for (int c = 2; c <= 4; ++c) {
      EXPECT_NEAR(fit[0][k][c], fit[1][k][c], 2e-6) << fit[0][k][0] << " column " << c;
      area[c] += fit[0][k][c];
    }
  }
  EXPECT_NEAR(area[3] / area[2], 0.7, 0.001);
  EXPECT_NEAR(area[4] / area[2], 0.3, 0.001);
}

}  // namespace

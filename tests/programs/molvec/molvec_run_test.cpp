// The MOLVEC executable on hand-written working directories.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <string>
#include <utility>
#include <vector>

#include "molvec_work.hpp"
#include "parratt.hpp"

namespace {

using molvectest::Layer;
using molvectest::runMolvec;
using molvectest::Work;
using molvectest::writeWork;
using nrstest::TempDir;
using zeprintest::columns;
using zeprintest::fmt;
using Rows = std::vector<std::vector<double>>;

// The wave number from the wavelength h c / ERES of the 57Fe constants.
const double kK0 = 2 * M_PI * 14.4129 / 12.398418;

double parrattR(const std::vector<Layer>& layers, double theta) {
  std::vector<double> D;
  std::vector<std::complex<double>> chi;
  for (const Layer& l : layers) {
    D.push_back(kK0 * l.H1A);
    chi.push_back({l.ELD1 / 1e6, l.ELD2 / 1e6});
  }
  return std::norm(nrstest::parratt(D, chi, theta));
}

Rows runAndRead(const TempDir& dir, const Work& w, const char* file) {
  writeWork(dir, w);
  const auto r = runMolvec();
  EXPECT_EQ(r.status, 0) << r.output;
  return columns(dir.read(file));
}

// Without resonant nuclei (all densities 0) the prompt curve is the
// electronic reflectivity: Parratt's recursion over the stack, on both
// paths; nothing is delayed.
TEST(MolvecRun, PromptCurveWithoutNucleiEqualsParratt) {
  const std::vector<Layer> stack{{20.0, -10.0, 0.5}, {153.5, -15.2, 0.69}, {47.0, -4.6, 0.011}, {1000, -12.0, 0.3}};
  for (int Jway : {1, 2}) {
    SCOPED_TRACE(Jway);
    TempDir dir;
    Work w;
    w.par.Jway = Jway;
    w.layers = stack;
    w.UT0 = 1.0f, w.Ustep = 0.1f, w.Nstep = 80;
    const Rows p = runAndRead(dir, w, "PROMP2.res");
    const Rows dl = columns(dir.read("DELAY2.res"));
    ASSERT_EQ(static_cast<int>(p.size()), w.Nstep);
    ASSERT_EQ(dl.size(), p.size());
    for (int j = 0; j < w.Nstep; ++j) {
      const double mrad = 1.0 + 0.1 * j;
      ASSERT_NEAR(p[j][0], mrad, 6e-4);
      EXPECT_NEAR(p[j][2], parrattR(stack, mrad / 1000), 1e-6) << mrad;
      EXPECT_EQ(dl[j][2], 0.0);
    }
  }
}

// A block repeated NRN times gives the curves of the stack written out,
// delayed and prompt, on both paths.
TEST(MolvecRun, RepeatedBlockEqualsTheStackWrittenOut) {
  const Layer fe{30.0, -14.66, 0.62, 1.0f}, si{40.0, -4.64, 0.045}, sub{1000.0, -4.64, 0.045};
  for (int Jway : {1, 2}) {
    SCOPED_TRACE(Jway);
    TempDir dir;
    Work w;
    w.par.Jway = Jway;
    w.Nstep = 40;
    w.layers = {fe, si, sub};
    w.N1N = 1, w.N2N = 2, w.NRN = 3;
    const Rows blockP = runAndRead(dir, w, "PROMP2.res"), blockD = columns(dir.read("DELAY2.res"));
    w.layers = {fe, si, fe, si, fe, si, sub};
    w.N1N = 1, w.N2N = 1, w.NRN = 1;
    const Rows flatP = runAndRead(dir, w, "PROMP2.res"), flatD = columns(dir.read("DELAY2.res"));
    ASSERT_EQ(blockP.size(), flatP.size());
    ASSERT_EQ(blockD.size(), flatD.size());
    for (std::size_t j = 0; j < blockP.size(); ++j) {
      EXPECT_NEAR(blockP[j][2], flatP[j][2], 2e-6);
      EXPECT_NEAR(blockD[j][2], flatD[j][2], 1e-5 * flatD[j][2] + 2e-6);
      EXPECT_GT(blockD[j][2], 0.0);
    }
  }
}

// The window sums of "INTEGRF.res" at the first angle equal the sums of the
// time spectrum that "timtesF.res" holds over the windows of the run log;
// the window 1 starts at the last channel before TIMINI.
TEST(MolvecRun, WindowSumsEqualSumsOfTheWrittenTimeSpectrum) {
  TempDir dir;
  Work w;
  w.Nstep = 3;
  w.TIMINI = 20, w.TIMFIN = 100, w.TIMECYCLE = 200;
  const Rows t = runAndRead(dir, w, "timtesF.res");
  ASSERT_EQ(t.size(), 1024u);
  const std::string log = dir.read("MOLVEC.RES");
  const double AN = zeprintest::lastValue(log, " AN=delta - time step (ns) ");
  EXPECT_NEAR(t[1][0], AN, 1e-5);
  const int IW1 = static_cast<int>(std::ceil(20 / AN)), IW2 = static_cast<int>(std::ceil(100 / AN)),
            ICYC = static_cast<int>(std::ceil(200 / AN));
  EXPECT_TRUE(nrstest::hasLine(log, " the first window " + fmt("%5.0f", IW1) + fmt("%5.0f", IW2)));
  EXPECT_LT(t[IW1 - 1][0], 20.0);
  EXPECT_GE(t[IW1][0], 20.0);
  auto sum = [&](int first, int last) {
    double s = 0;
    for (int j = first; j <= last; ++j) s += t[j - 1][1];
    return s / 1024;
  };
  const Rows in = columns(dir.read("INTEGRF.res"));
  const std::vector<double>& a1 = in[1];  // after the header
  const double sum1 = sum(IW1, IW2), sum2 = sum(ICYC + IW1, ICYC + IW2), sum3 = sum(2 * ICYC + IW1, 1024);
  EXPECT_NEAR(a1[3], sum1, 1e-5 * sum1 + 2e-6);
  EXPECT_NEAR(a1[4], sum2, 1e-5 * sum2 + 2e-6);
  EXPECT_NEAR(a1[5], sum3, 1e-5 * sum3 + 2e-6);
  EXPECT_NEAR(a1[2], sum1 + sum2, 1e-5 * sum1 + 2e-6);
  EXPECT_GT(sum1, 10 * sum2);  // the delayed response decays
}

// The shipped example: a synthetic delayed + prompt experiment of a
// 120 Angstrom film is fitted back from 126 Angstrom, and the run gives
// the same files on one thread and on three.
TEST(MolvecRun, ExampleFitRecoversTheThicknessOnAnyThreadCount) {
  TempDir dir;
  const std::string ex = nrstest::sourcePath("examples/fe57-delayed/");
  for (const char* f : {"Tconst.INI", "MOLVEC.INP", "ZEPRIN.INP", "FileM.inp", "Fe57start.inf", "fe57_delp.dat",
                        "next.INP", "stop.inp"})
    dir.write(f, nrstest::slurp(ex + f));
  const char* files[] = {"LAYSPC.RES", "PROMP2.res", "DELAY2.res", "RESULTI.res", "INTEGRF.res", "timtesF.res",
                         "MOLVEC.RES"};
  std::vector<std::string> one;
  ASSERT_EQ(runMolvec("OMP_NUM_THREADS=1 ").status, 0);
  for (const char* f : files) one.push_back(dir.read(f));
  const auto r = runMolvec("OMP_NUM_THREADS=3 ");
  ASSERT_EQ(r.status, 0) << r.output;
  for (int i = 0; i < 7; ++i) EXPECT_EQ(dir.read(files[i]), one[i]) << files[i];
  const Rows fitted = columns(one[0]);
  EXPECT_NEAR(fitted[11][1], 120.0, 2.0);  // layer 1, after the head records
}

// Input that no calculation can use ends the run with a message and exit
// status 1; more than 900 points are cut to 900 and the run goes on.
TEST(MolvecRun, BadInputStopsWithAMessage) {
  auto points = [](std::vector<double> angles) {
    std::string s = " " + std::to_string(angles.size()) + "\n";
    for (double a : angles) s += fmt(" %g 1000", a) + fmt(" %g\n", 10 * a);
    return s;
  };
  std::string many = " 1000\n";
  for (int i = 0; i < 1000; ++i) many += fmt(" %g", 2.0 + 0.002 * i) + fmt(" %g", 1000 + i) + fmt(" %g\n", 50 + i);
  struct Case {
    const char* what;
    void (*edit)(Work&);
    std::string experiment;
    int status;
    std::string message;
  };
  const std::string flatPrompt = points({2.0, 2.5, 3.0, 3.5, 4.0});
  const Case cases[] = {
      {"Nstep 0", [](Work& w) { w.Nstep = 0; }, "", 1, "Nstep in MOLVEC.INP must lie in 1..900"},
      {"Nstep 901", [](Work& w) { w.Nstep = 901; }, "", 1, "Nstep in MOLVEC.INP must lie in 1..900"},
      {"Ustep 0", [](Work& w) { w.Ustep = 0; }, "", 1, "Ustep in MOLVEC.INP must be larger than 0"},
      {"UT0 0", [](Work& w) { w.UT0 = 0; }, "", 1, "UT0 in MOLVEC.INP must be larger than 0"},
      {"JEXP 0", nullptr, " 0\n", 1, " JEXP in the experiment file refl.dat must be at least 1 !"},
      {"JEXP -3", nullptr, " -3\n", 1, " JEXP in the experiment file refl.dat must be at least 1 !"},
      {"angles down", nullptr, points({0.0, 2.5, 2.5, 2.4, 3.0}), 1,
       " angles of the experiment file refl.dat must not decrease (point 4) !"},
      {"no prompt counts", nullptr, " 3\n 2.0 0 50\n 2.5 0 40\n 3.0 0 30\n", 1,
       " fewer than 3 points of the experiment file refl.dat with a prompt count above 0 lie between ACOMP1D and"
       " ACOMP2D to compare with !"},
      // A column of equal counts is compared only with a weight.
      {"flat delayed", nullptr, " 3\n 2.0 10 50\n 2.5 20 50\n 3.0 30 50\n", 1,
       " all delayed counts of the experiment file refl.dat above 0"},
      {"flat prompt without weight", [](Work& w) { w.FJEPP = 0; }, flatPrompt, 0, ""},
      {"empty window", [](Work& w) { w.ACOMP2D = 1.5f; }, flatPrompt, 1, "between ACOMP1D and ACOMP2D to compare with"},
      {"empty window without weights", [](Work& w) { w.FJEPP = w.FJEPD = 0; w.ACOMP2D = 1.5f; }, flatPrompt, 1,
       "between ACOMP1D and ACOMP2D to compare with"},
      {"two-point window", [](Work& w) { w.ACOMP2D = 2.6f; }, flatPrompt, 1,
       " fewer than 3 points of the experiment file refl.dat with a prompt count above 0 lie between ACOMP1D and"
       " ACOMP2D to compare with !"},
      {"early end", nullptr, points({2.0, 2.5}).replace(0, 2, " 3"), 2, "end of file"},
      {"1000 points", nullptr, many, 0, "JEXP should not be larger 900 !!!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    Work w;
    if (c.edit) c.edit(w);
    if (!c.experiment.empty()) {
      w.Intexp = 1;
      w.experiment = c.experiment;
    }
    writeWork(dir, w);
    const auto r = runMolvec();
    EXPECT_EQ(r.status, c.status) << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    EXPECT_FALSE(zeprintest::sanitizerReport(r.output)) << r.output;
    if (c.status == 0) {
      EXPECT_EQ(columns(dir.read("PROMP2.res")).size(), std::min(900u, static_cast<unsigned>(std::stoi(c.experiment))));
    }
  }
}

// Scans that start at 0 mrad or below, and repeated angles, are read: points
// below the calculation grid lie outside the comparison window and leave the
// merits and the compared curves as they were; a repeated angle is compared
// as any other point.  The total merit is FJEPP times the prompt merit plus
// FJEPD times the delayed one, here under merit kinds 11 and 12 as the front
// end writes them.
TEST(MolvecRun, ExperimentFromZeroAndWithARepeatedAngle) {
  const std::string file = "fe57_delp.dat", point = " 2.000 1000153 14164\n";
  const auto run = [](std::vector<nrstest::Edit> edits) {
    for (const auto& [from, to] : {std::pair{" 1          JFITP", " 11   JFITP"}, {" 1          JFITD", " 12   JFITD"},
                                   {" 1.0        FJEPP", " 0.25 FJEPP"}, {" 1.0        FJEPD", " 2.0  FJEPD"}})
      edits.push_back({"MOLVEC.INP", from, to});
    TempDir dir;
    nrstest::copyExample(dir, "fe57-delayed", edits);
    dir.write("stop.inp", " 0\n");  // one pass
    const auto r = runMolvec();
    EXPECT_EQ(r.status, 0) << r.output;
    return std::vector<Rows>{columns(dir.read("RESULTI.res")), columns(dir.read("PROMP2.res")),
                             columns(dir.read("DELAY2.res"))};
  };
  const auto plain = run({});
  const auto fromZero = run({{file, " 221\n", " 223\n -0.2 120 6\n 0.0 100 5\n"}});
  const auto twice = run({{file, " 221\n", " 222\n"}, {file, point, point + point}});
  EXPECT_EQ(fromZero[0], plain[0]);
  for (const auto& merits : {plain[0], twice[0]}) {
    ASSERT_TRUE(merits.size() == 1 && merits[0].size() == 3);
    const double EPSSP = merits[0][0], EPSSD = merits[0][1], EPSSS = merits[0][2];
    EXPECT_GT(std::abs(EPSSP - EPSSD), 0.2 * std::max(EPSSP, EPSSD));  // the weights tell apart
    EXPECT_NEAR(EPSSS, 0.25 * EPSSP + 2.0 * EPSSD, 1e-7 + 1e-6 * EPSSS);
  }
  for (int f : {1, 2}) {
    ASSERT_EQ(fromZero[f].size(), plain[f].size() + 2);
    EXPECT_EQ(Rows(fromZero[f].begin() + 2, fromZero[f].end()), plain[f]);
    ASSERT_EQ(twice[f].size(), plain[f].size() + 1);
    const auto at = std::find_if(twice[f].begin(), twice[f].end(), [](const auto& row) { return row[0] == 2.0; });
    ASSERT_NE(at, twice[f].end());
    EXPECT_EQ(at[0], at[1]);
  }
}

}  // namespace

namespace {

std::vector<std::string> densityRecords(const std::string& layspc, int n) {
  const auto lines = nrstest::splitLines(layspc);
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find("MULTIPLET DENSITIS") != std::string::npos)
      return {lines.begin() + static_cast<long>(i) + 1, lines.begin() + static_cast<long>(i) + 1 + n};
  return {};
}

// The width SIG of the depth smoothing is read in Angstrom by both
// programs: a step of the 57Fe density smooths the same model file into the
// same densities in MOLVEC as in ZEPRIN, and spreads into the layer below.
TEST(MolvecRun, DensitySmoothingWidthIsThatOfTheTimeSpectra) {
  TempDir dir;
  Work w;
  w.Nstep = 2;
  w.layers = {{40.0, -14.66, 0.62, 1.0f}, {40.0, -4.64, 0.045, 0.0f}, {1000.0, -4.64, 0.045, 0.0f}};
  w.script = " 1\n 1 4 0.0 0 0 0\n 0 0 0 0 0 0\n";
  writeWork(dir, w);
  std::string inp = dir.read("ZEPRIN.INP");
  inp.replace(inp.find(" 0.0   SIG"), 10, " 10.0   SIG");
  dir.write("ZEPRIN.INP", inp);
  ASSERT_EQ(runMolvec().status, 0);
  const auto molvec = densityRecords(dir.read("LAYSPC.RES"), 3);
  dir.write("FileM.inp", "film.inf\n 1\n 3.0\n");
  dir.write("FilesE.inp", " 0\n");
  const auto z = zeprintest::runZeprin();
  ASSERT_EQ(z.status, 0) << z.output;
  const auto zeprin = densityRecords(dir.read("LAYSPC.RES"), 3);
  ASSERT_EQ(molvec.size(), 3u);
  EXPECT_EQ(molvec, zeprin);
  const Rows v = columns(molvec[1] + "\n");
  EXPECT_GT(v[0][1], 0.0);  // density smoothed into the silicon layer
  EXPECT_LT(v[0][1], 0.5);
}

}  // namespace

// The QUASTO executable on hand-written working directories.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <string>
#include <vector>

#include "parratt.hpp"
#include "programs/zeprin/workdir.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

using nrstest::hasLine;
using zeprintest::columns;
using zeprintest::fmt;
using cdouble = std::complex<double>;

struct Layer {
  double H1A, ELD1, ELD2;  // Angstrom, 1e-6, 1e-6
};

zeprintest::Inputs fitOn() {
  zeprintest::Inputs p;
  p.ITEST = 2;
  return p;
}

// One working directory: "MOLVEC.INP" records 1-13, "ZEPRIN.INP", the model.
struct Work {
  int Intexp = 0;
  float UT0 = 0.5f, Ustep = 0.0625f;
  int Nstep = 300;
  float DIV = 0, ANGBEAM = 0;
  int JFITP = 1;
  float ACOMP1 = 0, ACOMP2 = 100;
  zeprintest::Inputs par = fitOn();  // ITEST, AF, ISTOP of "ZEPRIN.INP"
  std::string first = " 0";          // first record of the model file
  bool nuclear = true;               // the model file has its nuclear part
  int IBHF = 1;                      // unused by the prompt curve
  std::vector<Layer> layers{{150.0, -15.2, 0.69}, {1000.0, -4.6, 0.011}};
  int N1N = 1, N2N = 1, NRN = 1;
  std::string script = " 1\n 0 0 0 0 0 0\n";
};

std::string molvecInp(const Work& w) {
  return " prompt\n " + std::to_string(w.Intexp) + "  Intexp\nrefl.dat\n grid\n" + fmt(" %g  UT0\n", w.UT0) +
         fmt(" %g  Ustep\n", w.Ustep) + " " + std::to_string(w.Nstep) + "  Nstep\n" + fmt(" %g  DIV\n", w.DIV) +
         fmt(" %g  ANGBEAM\n", w.ANGBEAM) + " " + std::to_string(w.JFITP) + "  JFITP\n" +
         fmt(" %g  ACOMP1\n", w.ACOMP1) + fmt(" %g  ACOMP2\n", w.ACOMP2) + " 1e-6  EPFINP\n";
}

std::string rows(int first, int n, const std::string& values) {
  std::string s;
  for (int i = 0; i < n; ++i) s += " " + std::to_string(first + i) + values + "\n";
  return s;
}

std::string model(const Work& w) {
  const int NNN = static_cast<int>(w.layers.size());
  std::string s = w.first + "   LAYSPC.INF\n sublayers\n " + std::to_string(NNN) + "\n " + std::to_string(w.N1N) +
                  " " + std::to_string(w.N2N) + "\n " + std::to_string(w.NRN) + "\n 1\n 0\n 1.0\n 1\n " + std::to_string(w.IBHF) + "\n header\n";
  for (int N = 1; N <= NNN; ++N) {
    const Layer& l = w.layers[N - 1];
    s += " " + std::to_string(N) + fmt(" %.4f", l.H1A) + fmt(" %.3f", l.ELD1) + fmt(" %.3f", l.ELD2) +
         " 0 0 0 1 1 0\n";
  }
  if (!w.nuclear) return s;
  s += " densities\n" + rows(1, NNN, " 1 0 0 0 0 0 0 0  90 0 0 0 0") + " S\n" + rows(NNN + 1, 1, " 1") +
       " hyperfine\n" + rows(NNN + 2, 5, " 33") + " angular\n" + rows(NNN + 8, 5, " 0 0 0 0 0 0 0 0") + " KINDV\n" +
       rows(1, NNN, " 0 1 1 1 1 1 1 1") + " ZDV\n" + rows(1, NNN, " 0 0 0 0 0 0 0 0");
  return s;
}

void writeWork(const nrstest::TempDir& dir, const Work& w) {
  dir.write("Tconst.INI", nrstest::slurp(nrstest::sourcePath("data/FeConst.INI")));
  dir.write("MOLVEC.INP", molvecInp(w));
  dir.write("ZEPRIN.INP", zeprintest::zeprinInp(w.par));
  dir.write("FileM.inp", "film.inf\n");
  dir.write("film.inf", model(w));
  dir.write("next.INP", w.script);
  dir.write("stop.inp", " 1\n");
}

nrstest::RunResult runQuasto(const std::string& env = "") { return nrstest::runProgram("QUASTO", env); }

// The wave number as the program derives it from ERES = 14.4129 keV.
const double kK0 = double(6.2831855f) / (double(4.1356673f) / (14.4129 / double(2.9979246f)));

// R of the stack with its block written out, from single-precision inputs.
double parrattR(const Work& w, double theta) {
  std::vector<double> D;
  std::vector<cdouble> chi;
  auto add = [&](const Layer& l) {
    D.push_back(kK0 * float(l.H1A));
    chi.push_back({-std::abs(double(float(l.ELD1))) / 1e6, std::abs(double(float(l.ELD2))) / 1e6});
  };
  for (int N = 1; N <= static_cast<int>(w.layers.size()); ++N) {
    add(w.layers[N - 1]);
    if (N == w.N2N)
      for (int r = 1; r < w.NRN; ++r)
        for (int k = w.N1N; k <= w.N2N; ++k) add(w.layers[k - 1]);
  }
  return std::norm(nrstest::parratt(D, chi, theta));
}

// Without experiment "PROMP2.res" holds R on the calculation grid: a
// multilayer with a repeated block, a cap whose real susceptibility is
// positive and imaginary one negative in the file (used, and written back,
// with the signs of x-rays) equals Parratt's recursion over the stack
// written out, to the six decimals of the file.
TEST(QuastoRun, PromptCurveEqualsParratt) {
  nrstest::TempDir dir;
  Work w;
  w.layers = {{20.0, 10.0, -0.5}, {25.5, -15.2, 0.69}, {44.25, -4.6, 0.011}, {10.0, -10.0, 0.5}, {1000, -4.6, 0.011}};
  w.N1N = 2, w.N2N = 3, w.NRN = 7;
  writeWork(dir, w);
  const auto r = runQuasto();
  ASSERT_EQ(r.status, 0) << r.output;
  const auto p = columns(dir.read("PROMP2.res"));
  ASSERT_EQ(static_cast<int>(p.size()), w.Nstep);
  double worst = 0;
  for (int j = 1; j <= w.Nstep; ++j) {
    const double mrad = (j - 1) * double(w.Ustep) + w.UT0;
    ASSERT_NEAR(p[j - 1][0], mrad, 6e-4);
    EXPECT_EQ(p[j - 1][1], 0.0);
    worst = std::max(worst, std::abs(p[j - 1][2] - parrattR(w, mrad / 1000)));
  }
  EXPECT_LT(worst, 6e-7);
  EXPECT_EQ(dir.read("RESULTI.res"), "");
  EXPECT_TRUE(hasLine(dir.read("LAYSPC.RES"),
                      " 1   20.0000   -10.000   0.500      0.000     0.000     0.000     1     1     0"));
}

// Model kind 0 carries the nuclear part, kind 2 ends after the layers, and a
// first record that is no number counts as kind 0.  An IBHF other than 1 or 2
// does not matter to the prompt curve.  "LAYSPC.RES" keeps the kind, and a
// second run on it gives the same curve and writes it back unchanged.
TEST(QuastoRun, ModelKindsAndRerunOnTheFittedModel) {
  struct Case {
    std::string first;
    bool nuclear;
    std::string head;
    int IBHF = 1;
  };
  for (const Case& k :
       {Case{" 0", true, " 0   "}, Case{" 2", false, " 2   ", 0}, Case{"Fe on Si", true, " 0   ", 3}}) {
    SCOPED_TRACE(k.first);
    nrstest::TempDir dir;
    Work w;
    w.first = k.first;
    w.nuclear = k.nuclear;
    w.IBHF = k.IBHF;
    writeWork(dir, w);
    ASSERT_EQ(runQuasto().status, 0);
    const std::string fitted = dir.read("LAYSPC.RES"), curve = dir.read("PROMP2.res");
    EXPECT_EQ(fitted.substr(0, 5), k.head);
    EXPECT_EQ(fitted.find("Bhf(T)") != std::string::npos, k.nuclear);
    EXPECT_EQ(dir.read("QUASTO.RES").find("no model kind") != std::string::npos, k.first == "Fe on Si");
    dir.write("FileM.inp", "LAYSPC.RES\n");
    ASSERT_EQ(runQuasto().status, 0);
    EXPECT_EQ(dir.read("PROMP2.res"), curve);
    EXPECT_EQ(dir.read("LAYSPC.RES"), fitted);
  }
}

// An experiment file from a computed curve: the count, then angle, prompt
// counts (R scaled by `scale`) and delayed counts.
std::string experiment(const std::string& promp2, double scale) {
  const auto p = columns(promp2);
  std::string s = " " + std::to_string(p.size()) + "\n";
  for (const auto& row : p) s += fmt(" %.4f", row[0]) + fmt(" %.6e 0\n", row[2] * scale);
  return s;
}

// 3500 synthetic points of a 153.5 Angstrom iron film under a cap are fitted
// back from 159 Angstrom; the fit runs the same on one thread and on three.
TEST(QuastoRun, FitOfThreeThousandFiveHundredPoints) {
  nrstest::TempDir dir;
  Work w;
  w.layers = {{12.0, -10.0, 0.5}, {153.5, -15.2, 0.69}, {1000, -4.6, 0.011}};
  w.UT0 = 0.5f, w.Ustep = 0.005f, w.Nstep = 3500;
  writeWork(dir, w);
  ASSERT_EQ(runQuasto().status, 0);
  dir.write("refl.dat", experiment(dir.read("PROMP2.res"), 1e6));
  w.Intexp = 1;
  w.layers[1].H1A = 159.0;
  w.script = " 1\n 2 1 2.0 0 0 0\n 2 1 0.4 0 0 0\n 2 1 0.1 0 0 0\n 0 0 0 0 0 0\n";
  writeWork(dir, w);
  const char* files[] = {"LAYSPC.RES", "PROMP2.res", "RELAY.res", "RESULTI.res", "QUASTO.RES", "EL_mod.RES"};
  std::vector<std::string> one;
  ASSERT_EQ(runQuasto("OMP_NUM_THREADS=1 ").status, 0);
  for (const char* f : files) one.push_back(dir.read(f));
  const auto r = runQuasto("OMP_NUM_THREADS=3 ");
  ASSERT_EQ(r.status, 0) << r.output;
  for (int i = 0; i < 6; ++i) EXPECT_EQ(dir.read(files[i]), one[i]) << files[i];
  const auto fitted = columns(one[0]);
  EXPECT_NEAR(fitted[12][1], 153.5, 1.0);
  EXPECT_LT(columns(one[3])[0][0], 1e-3);
}

// Below ANGBEAM the sample sees the share sin(theta)/sin(ANGBEAM) of the
// beam: against an experiment without that loss, the fitted theory falls
// short by exactly that factor there and agrees above it.
TEST(QuastoRun, FootprintScalesTheLowAngles) {
  nrstest::TempDir dir;
  Work w;
  w.Ustep = 0.05f;  // angles of three decimals, as the curve file writes them
  writeWork(dir, w);
  ASSERT_EQ(runQuasto().status, 0);
  dir.write("refl.dat", experiment(dir.read("PROMP2.res"), 1e5));
  w.Intexp = 1, w.ANGBEAM = 6.0f, w.ACOMP1 = 8.0f, w.JFITP = 0;
  w.par.ITEST = 1;
  writeWork(dir, w);
  ASSERT_EQ(runQuasto().status, 0);
  // The experiment holds R to six decimals: only its larger values are exact enough.
  for (const auto& row : columns(dir.read("PROMP2.res"))) {
    if (row[0] > 7.0) break;
    const double ratio = row[0] <= 6.0 ? std::sin(row[0] / 1000) / std::sin(0.006) : 1.0;
    ASSERT_NEAR(row[2] / row[1], ratio, 1e-3) << row[0];
  }
}

// Input the program cannot use ends it with a message and a non-zero exit;
// the curve file of an earlier run does not stay to be taken for this one.
TEST(QuastoRun, BadInput) {
  const std::string points = " 3\n 1.0 5.0 0\n 2.0 4.0 0\n 3.0 2.0 0\n";
  std::string many = " 3501\n";
  for (int i = 1; i <= 3501; ++i) many += fmt(" %g 1.0 0\n", 0.01 * i);
  struct Case {
    std::string name;
    std::function<void(Work&)> edit;
    std::string exper;
    int status;
    std::string message;
    bool compared = true;  // the run got as far as a comparison
  };
  const Case cases[] = {
      {"no angles", [](Work& w) { w.Nstep = 0; }, points, 1, "Nstepp in MOLVEC.INP must lie in 1..3500", false},
      {"3501 angles", [](Work& w) { w.Nstep = 3501; }, points, 1, "Nstepp in MOLVEC.INP must lie in 1..3500", false},
      {"3501 points", [](Work&) {}, many, 1, " JEXP should not be larger 3500 !!!"},
      {"one point", [](Work&) {}, " 1\n 1.0 5.0 0\n", 1, " JEXP in the experiment file refl.dat must be at least 2 !"},
      {"empty window", [](Work& w) { w.ACOMP2 = 0.7f; }, points, 1, "between ACOMP1 and ACOMP2 to compare with"},
      {"two-point window", [](Work& w) { w.ACOMP2 = 2.5f; }, points, 1,
       " fewer than 3 points of the experiment file refl.dat with a prompt count above 0 lie between ACOMP1 and ACOMP2"
       " to compare with !"},
      {"angles down", [](Work&) {}, " 3\n 3.0 2.0 0\n 2.0 4.0 0\n 1.0 5.0 0\n", 1,
       " angles of the experiment file refl.dat must not decrease (point 2) !"},
      {"no counts", [](Work&) {}, " 2\n 1.0 0 0\n 2.0 0 0\n", 1,
       " fewer than 3 points of the experiment file refl.dat with a prompt count above 0"},
      {"flat", [](Work&) {}, " 4\n 1.0 5.0 0\n 2.0 5.0 0\n 2.5 0 0\n 3.0 5.0 0\n", 1,
       " all prompt counts of the experiment file refl.dat above 0 between ACOMP1 and ACOMP2 are equal: nothing to"
       " compare with !"},
      {"block", [](Work& w) { w.N1N = 1, w.N2N = 3, w.NRN = 3; }, points, 1, "repeated layers N1N,N2N", false},
      {"missing file", [](Work&) {}, "", 2, "file not found", false},
      {"nan count", [](Work&) {}, " 3\n 1.0 5.0 0\n 2.0 nan 0\n 3.0 2.0 0\n", 2, "unreadable number \"nan\"", false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    nrstest::TempDir dir;
    Work w;
    w.Intexp = 1;
    w.script = " 1\n 1 1 5.0 0 0 0\n 0 0 0 0 0 0\n";
    k.edit(w);
    writeWork(dir, w);
    if (!k.exper.empty()) dir.write("refl.dat", k.exper);
    dir.write("PROMP2.res", "stale\n");
    const auto r = runQuasto();
    EXPECT_EQ(r.status, k.status) << r.output;
    EXPECT_NE(r.output.find(k.message), std::string::npos) << r.output;
    EXPECT_FALSE(zeprintest::sanitizerReport(r.output)) << r.output;
    if (k.compared) {
      EXPECT_NE(dir.read("PROMP2.res"), "stale\n");
    }
  }
}

}  // namespace

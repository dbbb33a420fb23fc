// The time-spectra pass: its result files, their layouts, the time averaging,
// the comparison with experiment and the guards against unusable numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "programs/common/newstep.hpp"
#include "programs/zeprin/zeprin.hpp"
#include "workdir.hpp"

namespace {

using nrstest::hasLine;
using nrstest::splitLines;
using zeprintest::columns;
using zeprintest::Inputs;
using zeprintest::lastValue;

// A fixed-width field: Iw (d < 0) or Fw.d.
struct Field {
  int w, d;
};
const Field I3{3, -1}, I5{5, -1};

bool inFields(const std::string& line, const std::vector<Field>& fields) {
  std::size_t at = 0;
  for (const Field& f : fields) {
    if (at + f.w > line.size() || !zeprintest::isField(std::string_view(line).substr(at, f.w), f.d)) return false;
    at += f.w;
  }
  return at == line.size();
}

// Every line of `text` is made of `fields`; returns the number of lines.
int linesInFields(const std::string& text, const std::vector<Field>& fields) {
  int n = 0;
  for (const auto& l : splitLines(text)) {
    EXPECT_TRUE(inFields(l, fields)) << "'" << l << "'";
    ++n;
  }
  return n;
}

// An experiment file: times from `last` down to `first` ns, counts f(t).
std::string experiment(double first, double last, double step, const std::function<double(double)>& f) {
  std::string s;
  for (double t = last; t >= first - 1e-9; t -= step) s += zeprintest::fmt("%.3f", t) + zeprintest::fmt("  %.1f\n", f(t));
  return s;
}

double decaying(double t) { return 2000 * std::exp(-t / 60) * (1.2 + std::cos(t / 4)) + 3; }

void expectNoNonFinite(const nrstest::TempDir& dir, const std::vector<std::string>& files) {
  for (const auto& f : files) {
    ASSERT_TRUE(dir.exists(f)) << f;
    const std::string text = dir.read(f);
    // as the writer spells them
    EXPECT_EQ(text.find("NaN"), std::string::npos) << f;
    EXPECT_EQ(text.find("Inf"), std::string::npos) << f;
  }
}

zeprintest::RunResult run(const nrstest::TempDir& dir, const Inputs& in) {
  zeprintest::writeInputs(dir, in);
  zeprintest::RunResult r = zeprintest::runZeprin();
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_FALSE(zeprintest::sanitizerReport(r.output)) << r.output;
  return r;
}

TEST(TimePass, PlainCalculationWritesEveryCurveFileInItsLayout) {
  nrstest::TempDir dir;
  run(dir, Inputs{});
  const std::string log = dir.read("ZEPRIN.RES");
  EXPECT_TRUE(hasLine(log, "  TIMCALU: JREP =    1"));

  // The delayed reflectivity integrated over energy equals the time integral
  // of the delayed intensity (Parseval): SUME/XEST against SUMTfull/JE.
  const std::string integr = dir.read("INTEGR.res");
  EXPECT_EQ(splitLines(integr)[0], "  JSPC,ANGLE,SUME/XEST,SUMTfull/JE,YRELAY = ");
  EXPECT_EQ(linesInFields(integr.substr(integr.find('\n') + 1), {I3, {14, 6}, {14, 6}, {14, 6}, {14, 6}}), 2);
  const auto rows = columns(integr);
  EXPECT_DOUBLE_EQ(rows[1][1], 2.8);
  EXPECT_DOUBLE_EQ(rows[2][1], 3.4);
  for (int j = 1; j <= 2; ++j) {
    EXPECT_GT(rows[j][2], 1.0);
    EXPECT_NEAR(rows[j][3] / rows[j][2], 1.0, 5e-3);
  }
  EXPECT_EQ(dir.read("RESULT.res"), "");  // nothing compared

  // The time spectrum before averaging: channel j at (j-1)*AN.  600 ns after
  // the pulse the delayed intensity is gone (mean life 141 ns, sped up by
  // the film); the last channels hold the periodic image of the start.
  const std::string ttest = dir.read("ttestF.res");
  EXPECT_EQ(linesInFields(ttest, {{12, 5}, {15, 7}}), 1024);
  const auto I = columns(ttest);
  const double AN = lastValue(log, " time step (AN=delta) ");
  double peak = 0, late = 0;
  for (int J = 0; J < 1024; ++J) {
    EXPECT_NEAR(I[J][0], J * AN, 1e-4);
    peak = std::max(peak, I[J][1]);
    if (I[J][0] > 600 && I[J][0] < 800) late = std::max(late, I[J][1]);
  }
  EXPECT_LT(late, 1e-4 * peak);

  // Energy spectra over I1..I2.
  std::istringstream ii(log.substr(log.find(" I1,I2=") + 7));
  int I1 = 0, I2 = 0;
  ii >> I1 >> I2;
  EXPECT_EQ(linesInFields(dir.read("E_spcN.res"), {{11, 3}, {18, 12}, {18, 12}}), I2 - I1 + 1);
  for (const char* f : {"BUFFEN1.RES", "BUFFEN2.RES"}) {
    EXPECT_EQ(linesInFields(dir.read(f), {{12, 6}, {12, 6}}), I2 - I1 + 1) << f;
    for (const auto& r : columns(dir.read(f))) {
      EXPECT_GE(r[1], 0.0);
      EXPECT_LE(r[1], 1.0);
    }
  }
  EXPECT_FALSE(dir.exists("BUFFEN3.RES"));

  // Averaged theory below 177 ns, normalised to its largest value after the
  // first 40 channels.
  for (const char* f : {"BUFFTN1.RES", "BUFFTN2.RES"}) {
    const std::string t = dir.read(f);
    const int n = linesInFields(t, {{12, 5}, {6, 1}, {16, 8}});
    EXPECT_EQ(n, static_cast<int>(std::ceil(177.0 / AN)));
    const auto c = columns(t);
    double top = 0;
    for (int J = 41; J <= n - 1; ++J) top = std::max(top, c[J - 1][2]);
    EXPECT_DOUBLE_EQ(top, 1.0) << f;
  }
  EXPECT_TRUE(hasLine(log, "  theor MEXP= " + std::to_string(static_cast<int>(std::ceil(177.0 / AN)) - 41)));
}

// YT = I with no time resolution; with a resolution of 3 ns the beats are
// washed out while the counts (the area) stay.
TEST(TimePass, TimeAveragingKeepsTheAreaAndSmoothsTheBeats) {
  auto averaged = [](float SIGMA, std::vector<double>& I) {
    nrstest::TempDir dir;
    Inputs in;
    in.SIGMA = SIGMA;
    in.angles = {"3.4"};
    run(dir, in);
    for (const auto& r : columns(dir.read("ttestF.res"))) I.push_back(r[1]);
    const std::string log = dir.read("ZEPRIN.RES");
    std::istringstream minmax(log.substr(log.rfind("YEN,YEM=") + 8));
    double YEN = 0, YEM = 0;
    minmax >> YEN >> YEM;
    std::vector<double> YT;
    for (const auto& r : columns(dir.read("BUFFTN1.RES"))) YT.push_back(r[2] * YEM);
    return YT;
  };
  std::vector<double> I0, I3;
  const auto YT0 = averaged(0, I0);
  const auto YT3 = averaged(3, I3);
  ASSERT_EQ(YT0.size(), YT3.size());
  double area = 0, areaAveraged = 0, swing = 0, swingAveraged = 0;
  for (std::size_t J = 40; J + 1 < YT0.size(); ++J) {
    EXPECT_NEAR(YT0[J], I0[J], 1e-5 * std::max(1.0, I0[J]));
    area += I3[J];
    areaAveraged += YT3[J];
    swing += std::abs(YT0[J + 1] - YT0[J]);
    swingAveraged += std::abs(YT3[J + 1] - YT3[J]);
  }
  EXPECT_NEAR(areaAveraged / area, 1.0, 0.03);  // the kernel moves counts across the ends
  EXPECT_LT(swingAveraged, 0.6 * swing);
}

// The theory compared with a spectrum is the response to this pulse plus the
// tail of the response to the pulse 176.06 ns before.  Without time
// averaging it follows from the time spectrum of "ttestF.res".
TEST(TimePass, ComparedTheoryHoldsThePreviousPulse) {
  nrstest::TempDir dir;
  // Two levels of counts: a flat spectrum would be refused.
  const auto counts = [](double t) { return t < 100 ? 1e5 : 2e5; };
  dir.write("steps.dat", experiment(20, 170, 1.5, counts));
  Inputs in;
  in.SIGMA = 0;
  in.angles = {"2.8"};
  in.experiments = {"steps.dat"};
  in.JFIT = 12;  // scale only (AF = 0)
  run(dir, in);
  const auto I = columns(dir.read("ttestF.res"));
  auto at = [&](double t) {
    const double AN = I[1][0];
    const int J = static_cast<int>(t / AN);
    const double f = t / AN - J;
    return I[J][1] * (1 - f) + I[J + 1][1] * f;
  };
  const auto cmp = columns(dir.read("BUFFTN1.RES"));
  ASSERT_EQ(cmp.size(), 101u);
  std::vector<double> expect;
  double top = 0;
  for (const auto& r : cmp) {
    expect.push_back(at(r[0]) + at(r[0] + 176.06));
    top = std::max(top, expect.back());
  }
  double ratio = 0, tailShare = 0;
  for (std::size_t i = 0; i < cmp.size(); ++i) {
    EXPECT_DOUBLE_EQ(cmp[i][1], counts(cmp[i][0]));
    if (expect[i] < 0.01 * top) continue;
    if (ratio == 0) ratio = cmp[i][2] / expect[i];
    EXPECT_NEAR(cmp[i][2] / expect[i], ratio, 2e-4 * ratio) << cmp[i][0];
    tailShare = std::max(tailShare, at(cmp[i][0] + 176.06) / expect[i]);
  }
  EXPECT_GT(tailShare, 5e-3);  // the check above can tell the tail apart
}

TEST(TimePass, MeritIsTheWeightedMeanOfTheSpectraAndTheFilesHaveTheirLayout) {
  nrstest::TempDir dir;
  dir.write("a.dat", experiment(10, 176, 0.84, decaying));
  dir.write("b.dat", experiment(10, 176, 0.84, [](double t) { return decaying(t + 5); }));
  Inputs in;
  in.weights = {1, 3, 1, 1};
  in.experiments = {"a.dat", "b.dat"};
  run(dir, in);
  const std::string result = dir.read("RESULT.res");
  const auto lines = splitLines(result);
  ASSERT_EQ(lines.size(), 3u);
  for (int j = 0; j < 2; ++j) EXPECT_TRUE(inFields(lines[j], {I5, {10, 3}, {15, 8}})) << lines[j];
  EXPECT_TRUE(inFields(lines[2], {{15, 8}})) << lines[2];
  const auto m = columns(result);
  EXPECT_GT(m[0][2], 0.0);
  EXPECT_NEAR(m[2][0], (m[0][2] * 1 + m[1][2] * 3) / 2, 2e-8);

  const std::string log = dir.read("ZEPRIN.RES");
  EXPECT_NEAR(lastValue(log, "                            EPSSS = "), m[2][0], 1e-8);
  EXPECT_NEAR(lastValue(log, "              JREP,JSPC,EPSS =     1    2"), m[1][2], 1e-8);
  EXPECT_NE(log.find("\n JSPC,AMAX(JSPC),AFON=    1 "), std::string::npos);

  // Compared times, counts as read and the scaled theory in counts.
  const std::string t = dir.read("BUFFTN1.RES");
  const int n = linesInFields(t, {{11, 3}, {10, 1}, {10, 1}});
  EXPECT_EQ(n, static_cast<int>(columns(dir.read("a.dat")).size()));
  const auto c = columns(t);
  const auto first = columns(dir.read("a.dat")).back();  // increasing time
  EXPECT_NEAR(c.front()[0], first[0], 1e-9);
  EXPECT_DOUBLE_EQ(c.front()[1], first[1]);
  EXPECT_FALSE(dir.exists("BUFFTN3.RES"));
}

TEST(TimePass, AnglesWithoutExperimentAreDropped) {
  nrstest::TempDir dir;
  dir.write("a.dat", experiment(10, 176, 0.84, decaying));
  dir.write("b.dat", experiment(10, 176, 0.84, decaying));
  Inputs in;
  in.angles = {"2.8", "3.4", "4.0"};
  in.experiments = {"a.dat", "b.dat"};
  run(dir, in);
  EXPECT_EQ(dir.read("OLD_ANG.RES"), "    2.8000\n    3.4000\n    4.0000\n");
  EXPECT_EQ(dir.read("ANGLE.RES"), "    2.8000\n    3.4000\n");
  EXPECT_TRUE(hasLine(dir.read("LAYSPC.RES"), " NSPC,ANGLES (mrad) =     2   2.800   3.400"));
  EXPECT_EQ(splitLines(dir.read("INTEGR.res")).size(), 3u);
  EXPECT_FALSE(dir.exists("BUFFEN3.RES"));
  EXPECT_FALSE(dir.exists("BUFFTN3.RES"));
}

// With an energy step of 0.015 mm/s the channels are 5.6 ns wide and fewer
// than the 40 channels of the prompt region lie below 177 ns: the theory is
// then normalised over the whole window.
TEST(TimePass, ShortWindowIsNormalisedWhole) {
  nrstest::TempDir dir;
  zeprintest::writeInputs(dir, Inputs{});
  std::string constants = dir.read("Tconst.INI");
  const auto p = constants.find("   0.1           XEST");
  ASSERT_NE(p, std::string::npos);
  constants.replace(p, 6, "   0.015");
  dir.write("Tconst.INI", constants);
  ASSERT_EQ(zeprintest::runZeprin().status, 0);
  EXPECT_TRUE(hasLine(dir.read("ZEPRIN.RES"), "  theor MEXP= 32"));
  const auto c = columns(dir.read("BUFFTN1.RES"));
  ASSERT_EQ(c.size(), 32u);
  double top = 0;
  for (const auto& r : c) top = std::max(top, r[2]);
  EXPECT_DOUBLE_EQ(top, 1.0);
}

// A script whose first record is 0 asks for no calculation: the pass only
// opens its merit files, and the model output follows.
TEST(TimePass, NoCalculationWritesOnlyTheEmptyMeritFiles) {
  nrstest::TempDir dir;
  Inputs in;
  in.script = " 0\n 0 0 0 0 0 0\n";
  run(dir, in);
  EXPECT_EQ(dir.read("INTEGR.res"), "  JSPC,ANGLE,SUME/XEST,SUMTfull/JE,YRELAY = \n");
  EXPECT_EQ(dir.read("RESULT.res"), "");
  for (const char* f : {"ttestF.res", "E_spcN.res", "BUFFEN1.RES", "BUFFTN1.RES"}) EXPECT_FALSE(dir.exists(f)) << f;
  EXPECT_EQ(dir.read("ZEPRIN.RES").find("TIMCALU"), std::string::npos);
  EXPECT_TRUE(dir.exists("LAYSPC.RES"));
  EXPECT_TRUE(dir.exists("MODELN.RES"));
}

// Without resonant nuclei there are no delayed counts and the reflectivity is
// flat in energy: nothing to normalise, and zeros are written, not 0/0.
TEST(TimePass, SampleWithoutResonantNucleiWritesZerosNotNaN) {
  for (bool withExperiment : {false, true}) {
    SCOPED_TRACE(withExperiment);
    nrstest::TempDir dir;
    dir.write("a.dat", experiment(10, 176, 0.84, decaying));
    Inputs in;
    in.V = 0;
    in.angles = {"3.0"};
    if (withExperiment) in.experiments = {"a.dat"};
    run(dir, in);
    expectNoNonFinite(dir, {"BUFFEN1.RES", "BUFFTN1.RES", "ttestF.res", "E_spcN.res", "INTEGR.res", "RESULT.res",
                            "LAYSPC.RES", "ZEPRIN.RES"});
    for (const auto& r : columns(dir.read("BUFFEN1.RES"))) EXPECT_EQ(r[1], 0.0);
    for (const auto& r : columns(dir.read("BUFFTN1.RES"))) EXPECT_EQ(r[2], 0.0);
  }
}

// A density at the end of single precision makes every spectrum point
// non-finite.  The pass names the spectrum, writes no NaN into the curve
// files, and writes an unmistakably bad merit; the run then ends with a
// non-zero status and says why.
TEST(TimePass, NonFiniteSpectrumIsReportedAndNeverWritten) {
  nrstest::TempDir dir;
  dir.write("a.dat", experiment(10, 176, 0.84, decaying));
  Inputs in;
  in.V = 3e38f;
  in.angles = {"3.0"};
  in.experiments = {"a.dat"};
  zeprintest::writeInputs(dir, in);
  const auto r = zeprintest::runZeprin();
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_FALSE(zeprintest::sanitizerReport(r.output)) << r.output;
  EXPECT_NE(r.output.find(" spectrum 1: the calculation gave values that are not finite"), std::string::npos);
  EXPECT_NE(r.output.find(" spectrum 1: the merit EPSS is not a finite number"), std::string::npos);
  EXPECT_NE(r.output.find(" the last pass gave spectra or merits that are not finite"), std::string::npos);
  expectNoNonFinite(dir, {"BUFFEN1.RES", "BUFFTN1.RES", "ttestF.res", "E_spcN.res", "INTEGR.res", "RESULT.res"});
  EXPECT_EQ(dir.read("RESULT.res"), "    1     3.000 99999.00000000\n 99999.00000000\n");
  EXPECT_NE(dir.read("LAYSPC.RES").find("99999.000000000"), std::string::npos);
}

// A fit step into a model whose spectra cannot be computed is never kept.
TEST(TimePass, NonFiniteMeritInAFitIsRejected) {
  nrstest::TempDir dir;
  dir.write("a.dat", experiment(10, 176, 0.84, decaying));
  Inputs in;
  in.ITEST = 2;
  in.angles = {"3.0"};
  in.experiments = {"a.dat"};
  in.script = " 1\n 1 4 3e38 0 0 0\n 0 0 0 0 0 0\n";  // the film's density to the end of single precision
  const auto r = run(dir, in);
  EXPECT_NE(r.output.find(" spectrum 1: the merit EPSS is not a finite number"), std::string::npos);
  EXPECT_NE(r.output.find(" EPSN is not a finite number; the pass is not kept"), std::string::npos);
  const std::string model = dir.read("LAYSPC.RES");
  EXPECT_TRUE(hasLine(model.substr(0, model.find("ZEPRIN")),
                      " 1  150.0000   -14.660   0.620      0.000     0.000     0.000     1     1     0"));
  expectNoNonFinite(dir, {"LAYSPC.RES", "RESULT.res", "BUFFTN1.RES", "EL_mod.RES"});
}

// A film too thick for the transfer-matrix product near the lines: the
// points computed by the recursion instead are noted once in the run, in the
// log and on the console, naming the first angle where it happened.
TEST(TimePass, PointsLeftToTheRecursionAreNotedOncePerRun) {
  const std::string note = "energy points too thick for the transfer matrices, computed recursively";
  auto count = [](const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  };
  struct Case {
    int Jway;
    const char* film;
    int notes;
  };
  for (const Case c : {Case{1, "3000.0", 1}, Case{2, "3000.0", 0}, Case{1, "150.0", 0}}) {
    SCOPED_TRACE(testing::Message() << "Jway " << c.Jway << ", film " << c.film);
    nrstest::TempDir dir;
    Inputs in;
    in.Jway = c.Jway;
    in.film = c.film;
    in.V = 20;  // enriched
    in.script = " 1\n 4 1 0.5 0 0 0\n 0 0 0 0 0 0\n";  // a second pass, with both angles
    const auto r = run(dir, in);
    const std::string log = dir.read("ZEPRIN.RES");
    EXPECT_EQ(count(log, "  TIMCALU: JREP ="), 2);
    EXPECT_EQ(count(log, note), c.notes);
    EXPECT_EQ(count(r.output, note), c.notes);
    if (c.notes > 0) {
      EXPECT_NE(log.find(" spectrum 1 (2.800 mrad), matrix path: "), std::string::npos) << log;
    }
  }
}

// The program's own pieces on one working directory.
struct Program {
  nrstest::TempDir dir;
  std::unique_ptr<zeprin::ZeprinData> d = std::make_unique<zeprin::ZeprinData>();
  Program(const Inputs& in, const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [name, text] : files) dir.write(name, text);
    zeprintest::writeInputs(dir, in);
    zeprin::startUp(*d);
  }
  common::FitState state(int JREP) const {
    common::FitState fs;
    fs.JREP = JREP;
    fs.Jcalc = 1;
    return fs;
  }
  float pass(int JREP) {
    common::NEWSTEP(d->log, d->model, d->YV, d->par, state(JREP), d->nc, d->st);
    return zeprin::TIMPASS(*d, state(JREP));
  }
};

TEST(TimePass, StepPassesWriteOnlyTheEnergyCurvesAndTheScaleCarriesOver) {
  Inputs in;
  in.experiments = {"a.dat", "b.dat"};
  in.JFIT = 12;
  const std::string a = experiment(10, 176, 0.84, decaying);
  Program p(in, {{"a.dat", a}, {"b.dat", a}});
  const float first = p.pass(3);
  for (const char* f : {"BUFFEN1.RES", "BUFFEN2.RES"}) EXPECT_TRUE(p.dir.exists(f)) << f;
  for (const char* f : {"RESULT.res", "INTEGR.res", "ttestF.res", "E_spcN.res", "BUFFTN1.RES", "BUFFTN2.RES"})
    EXPECT_FALSE(p.dir.exists(f)) << f;
  EXPECT_TRUE(std::isfinite(first));
  EXPECT_EQ(p.d->scale.first, 2);
  const float AMAX = p.d->scale.AMAX(1);
  EXPECT_NE(AMAX, 3.0f);  // the search left its start

  // The stepped model is scaled to phase thicknesses once, however often
  // the pass runs on it.
  const double K0 = p.d->mc.K0;
  EXPECT_NEAR(p.d->st.thickness(1), 150 * K0, 1e-9);
  EXPECT_FLOAT_EQ(zeprin::TIMPASS(*p.d, p.state(3)), first);
  EXPECT_NEAR(p.d->st.thickness(1), 150 * K0, 1e-9);

  // A pass with the best parameters writes everything; the scale search goes
  // on from the scale found before.
  EXPECT_NEAR(p.pass(1), first, 1e-3 * first);
  EXPECT_NEAR(p.d->scale.AMAX(1), AMAX, 1e-3 * AMAX);
  for (const char* f : {"RESULT.res", "INTEGR.res", "ttestF.res", "E_spcN.res", "BUFFTN1.RES", "BUFFTN2.RES"})
    EXPECT_TRUE(p.dir.exists(f)) << f;
}

}  // namespace

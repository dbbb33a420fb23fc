// ZEPRIN's fit loop end to end: the shipped example fit recovers the model
// its data were made from; runs that judge nothing add up every step; a fit
// stopped right after a rejected step writes the best model.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "programs/zeprin/zeprin.hpp"
#include "workdir.hpp"

namespace {

using nrstest::hasLine;
using nrstest::splitLines;
using zeprintest::columns;
using zeprintest::values;

void copyExample(const nrstest::TempDir& dir) { nrstest::copyExample(dir, "fe57-fit"); }

// Film thickness (layer record 1) and field of multiplet 1 of a model file.
struct FilmModel {
  double thickness = 0, Bhf = 0;
};

FilmModel readModel(const std::string& text) {
  FilmModel m;
  const auto lines = splitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto rows = columns(lines[i]);
    if (rows.empty()) continue;
    const auto& c = rows[0];
    if (i > 10 && c.size() == 10 && c[0] == 1 && m.thickness == 0) m.thickness = c[1];
    if (lines[i].find(" Bhf(T)") != std::string::npos && c.size() >= 2) m.Bhf = c[1];  // not dBhf
  }
  return m;
}

// The merit at the end of "LAYSPC.RES".
double trailerMerit(const std::string& model) { return columns(splitLines(model).back())[0][3]; }

zeprintest::RunResult runIn(const nrstest::TempDir&) {
  zeprintest::RunResult r = zeprintest::runZeprin();
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_FALSE(zeprintest::sanitizerReport(r.output)) << r.output;
  return r;
}

// Replaces the first value of line `n` (1-based) of a parameter file.
void setValue(const nrstest::TempDir& dir, const std::string& file, std::size_t n, const std::string& value) {
  auto lines = splitLines(dir.read(file));
  lines[n - 1] = " " + value + "   (changed)";
  std::string text;
  for (const auto& l : lines) text += l + "\n";
  dir.write(file, text);
}

TEST(ExampleFit, RecoversTheFilmItsDataWereMadeFrom) {
  nrstest::TempDir dir;
  copyExample(dir);
  EXPECT_EQ(dir.read("Tconst.INI"), nrstest::slurp(nrstest::sourcePath("data/FeConst.INI")));
  const auto start = readModel(dir.read("Fe57start.inf"));
  const auto truth = readModel(nrstest::slurp(nrstest::sourcePath("examples/fe57-fit/Fe57true.inf")));
  EXPECT_DOUBLE_EQ(truth.thickness, 150.0);
  EXPECT_DOUBLE_EQ(truth.Bhf, 33.0);
  EXPECT_GT(std::abs(start.thickness - truth.thickness), 9.0);
  EXPECT_GT(std::abs(start.Bhf - truth.Bhf), 0.4);

  const auto r = runIn(dir);
  const std::string model = dir.read("LAYSPC.RES");
  const auto fit = readModel(model);
  EXPECT_NEAR(fit.thickness, truth.thickness, 2.0);
  EXPECT_NEAR(fit.Bhf, truth.Bhf, 0.1);

  // The merit of every pass with the best parameters falls; the last is the
  // one written with the model.
  const std::string log = dir.read("ZEPRIN.RES");
  const auto best = values(log, "                            EPSSS = ");
  ASSERT_GE(best.size(), 3u);
  EXPECT_LT(best.back(), 0.3 * best.front());
  for (std::size_t i = 1; i < best.size(); ++i) EXPECT_LE(best[i], best[i - 1] * (1 + 1e-6));
  EXPECT_NEAR(trailerMerit(model), best.back(), 1e-8);

  // At the end theory and counts differ by counting noise only: chi^2 per
  // point near 1 within the compared window.
  for (const char* f : {"BUFFTN1.RES", "BUFFTN2.RES"}) {
    double chi2 = 0;
    int n = 0;
    for (const auto& c : columns(dir.read(f)))
      if (c[0] > 15 && c[0] < 170 && c[2] > 0) {
        chi2 += (c[1] - c[2]) * (c[1] - c[2]) / c[2];
        ++n;
      }
    EXPECT_GT(n, 150) << f;
    EXPECT_NEAR(chi2 / n, 1.0, 0.3) << f;
  }

  // The run log's lines.
  EXPECT_NE(log.find("\n\n\n\nSTART !!!\n\n\n  TIMCALU: JREP =    0\n"), std::string::npos);
  EXPECT_TRUE(hasLine(log, "in1,ip1,sp1,in2,ip2,f2 =     4    1    0.300000    0    0    0.000000"));
  EXPECT_TRUE(hasLine(log, " YV1,sp1,YVnew   32.50000    0.30000   32.80000"));
  EXPECT_TRUE(hasLine(log, " accept ! EPSN=EPSSS"));
  EXPECT_TRUE(hasLine(log, " return ! YV=YVS, sp1=-.7*sp1 or .5*sp1"));
  EXPECT_TRUE(hasLine(log, "  repeat the count with the best parameters,JREP=1"));
  EXPECT_TRUE(hasLine(log, "                        E N D  !!!"));
  int judged = 0;
  for (const auto& l : splitLines(log))
    if (l.rfind("  EPSD =", 0) == 0) {
      EXPECT_TRUE(l.size() == 18 && zeprintest::isField(std::string_view(l).substr(8), 7)) << l;
      ++judged;
    }
  EXPECT_GT(judged, 10);
  EXPECT_NE(r.output.find("*\n  EPSN= 0.0622"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("  next parameter  1  1  0  0"), std::string::npos);
}

// With ITEST = 1, or without experiment files, every record of the script
// is applied once and nothing is judged: the steps add up.
TEST(ExampleFit, RunsThatJudgeNothingAddUpEveryStep) {
  for (bool withExperiment : {true, false}) {
    SCOPED_TRACE(withExperiment);
    nrstest::TempDir dir;
    copyExample(dir);
    if (withExperiment)
      setValue(dir, "ZEPRIN.INP", 2, "1");  // ITEST
    else
      dir.write("FilesE.inp", " 0\n");
    runIn(dir);
    const auto fit = readModel(dir.read("LAYSPC.RES"));
    EXPECT_NEAR(fit.thickness, 160.0 + 3.0 + 1.0 + 0.3, 1e-4);
    EXPECT_NEAR(fit.Bhf, 32.5 + 0.3 + 0.05 + 0.02, 1e-4);
    const std::string log = dir.read("ZEPRIN.RES");
    EXPECT_EQ(log.find("EPSD"), std::string::npos);
    EXPECT_EQ(log.find("accept"), std::string::npos);
    EXPECT_EQ(log.find("return !"), std::string::npos);
    int passes = 0;
    for (const auto& l : splitLines(log)) passes += l == "  TIMCALU: JREP =    1";
    EXPECT_EQ(passes, 7);  // the first pass and one per record
    EXPECT_EQ(dir.read("RESULT.res").empty(), !withExperiment);
  }
}

// The stop flag set to 0 while a rejected step is undone: the fitted model,
// its profiles and its merit are those of the best parameters.
TEST(ExampleFit, StopRightAfterARejectedStepWritesTheBestModel) {
  nrstest::TempDir dir;
  copyExample(dir);
  dir.write("Fe57start.inf", nrstest::slurp(nrstest::sourcePath("examples/fe57-fit/Fe57true.inf")));
  dir.write("next.INP", " 1\n 4 1 0.5 0 0 0\n 0 0 0 0 0 0\n");  // 33.5 T: far worse
  auto d = std::make_unique<zeprin::ZeprinData>();
  zeprin::startUp(*d);
  common::FitLoop loop(d->YV, d->YVS, zeprin::fitSettings(*d), d->Jcalc, d->log, d->next);
  common::FitCallbacks cb = zeprin::passCallbacks(*d);
  float trial = 0;
  cb.pass = [&, pass = cb.pass](const common::FitState& fs) {
    const common::PassResult r = pass(fs);
    if (fs.JREP == 3) {
      trial = r.EPSN;
      dir.write("stop.inp", " 0\n");
    }
    return r;
  };
  loop.run(cb);
  zeprin::finish(*d, loop.state());

  const std::string log = dir.read("ZEPRIN.RES");
  EXPECT_TRUE(hasLine(log, " return ! YV=YVS, sp1=-.7*sp1 or .5*sp1"));
  EXPECT_TRUE(hasLine(log, "  the model is rebuilt from the best parameters"));
  const std::string model = dir.read("LAYSPC.RES");
  EXPECT_DOUBLE_EQ(readModel(model).Bhf, 33.0);
  const double first = values(log, "                            EPSSS = ").front();
  EXPECT_GT(trial, 2 * first);
  EXPECT_NEAR(trailerMerit(model), first, 1e-8);
  // The film ends 15 nm down in the depth profile.
  const auto prof = columns(dir.read("MODELN.RES"));
  EXPECT_NEAR(prof[4][0], 15.0, 1e-4);
  EXPECT_DOUBLE_EQ(prof[4][1], 1.0);
  EXPECT_DOUBLE_EQ(prof[5][1], 0.0);
}

}  // namespace

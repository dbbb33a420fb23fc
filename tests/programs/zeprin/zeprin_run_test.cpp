// The ZEPRIN executable on hand-written working directories.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "programtest.hpp"
#include "tempdir.hpp"
#include "workdir.hpp"

namespace {

namespace fs = std::filesystem;
using nrstest::hasLine;
using nrstest::splitLines;

void copyExample(const nrstest::TempDir& dir) { nrstest::copyExample(dir, "fe57-film"); }

using zeprintest::RunResult;
using zeprintest::runZeprin;
using zeprintest::sanitizerReport;

// Replaces the line of `file` that starts with `key`.
void editLine(const nrstest::TempDir& dir, const std::string& file, const std::string& key, const std::string& line) {
  std::string text = dir.read(file);
  const auto p = text.find(key);
  ASSERT_NE(p, std::string::npos) << key;
  const auto b = text.rfind('\n', p) == std::string::npos ? 0 : text.rfind('\n', p) + 1;
  const auto e = text.find('\n', p);
  text.replace(b, e - b, line);
  dir.write(file, text);
}

TEST(ZeprinRun, ExampleRunsAndWritesItsFiles) {
  nrstest::TempDir dir;
  copyExample(dir);
  const RunResult r = runZeprin();
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_FALSE(sanitizerReport(r.output)) << r.output;
  const std::string log = dir.read("ZEPRIN.RES");
  const auto lines = splitLines(log);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], " data from Tconst.INI");
  EXPECT_TRUE(hasLine(log, " time step (AN=delta)     0.840068996"));
  EXPECT_TRUE(hasLine(log, "   EPFIN - limit for iterations of EPSS   0.001000"));
  EXPECT_TRUE(hasLine(log, " ICORR(I),IMAN(I) =    0    0"));
  EXPECT_TRUE(hasLine(log, " Gauss for time averaging, NAV=   1"));
  EXPECT_TRUE(hasLine(log, "JVN=  2"));
  EXPECT_TRUE(hasLine(log, " 2 1000.0000    -4.640   0.045      0.000     0.000    10.000     1     1     4"));
  EXPECT_TRUE(hasLine(log, " number of points for energy spectrum calculation  333"));
  EXPECT_EQ(dir.read("OLD_ANG.RES"), "    2.5000\n    3.0000\n    3.5000\n");
  EXPECT_EQ(dir.read("ANGLE.RES"), dir.read("OLD_ANG.RES"));
  EXPECT_EQ(dir.read("rab.res"), "  1 times   \n");
  const std::string model = dir.read("LAYSPC.RES");
  EXPECT_TRUE(hasLine(model, "ZEPRIN calculations for:"));
  EXPECT_TRUE(hasLine(model, " NSPC,ANGLES (mrad) =     3   2.500   3.000   3.500"));
  EXPECT_TRUE(hasLine(model, "    10.000   170.000     0.000              0.000000000"));
  // The 15 nm iron film on silicon: density 1 down to 15 nm, 0 in the substrate.
  const auto prof = splitLines(dir.read("MODELN.RES"));
  ASSERT_GE(prof.size(), 4u);
  EXPECT_EQ(prof[1].substr(0, 12), "     1     1");
  EXPECT_NE(dir.read("EL_mod.RES").find("  14.6600   0.6200"), std::string::npos);
}

TEST(ZeprinRun, FittedModelReadsBackAndRewritesIdentically) {
  nrstest::TempDir dir;
  copyExample(dir);
  ASSERT_EQ(runZeprin().status, 0);
  const std::string first = dir.read("LAYSPC.RES");
  const std::string el = dir.read("EL_mod.RES"), mn = dir.read("MODELN.RES");
  dir.write("again.inf", first);
  editLine(dir, "FileM.inp", "Fe57film.inf", "again.inf");
  const RunResult r = runZeprin();
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(dir.read("LAYSPC.RES"), first);
  EXPECT_EQ(dir.read("EL_mod.RES"), el);
  EXPECT_EQ(dir.read("MODELN.RES"), mn);
}

TEST(ZeprinRun, ExperimentFilesAreReadAndCompared) {
  nrstest::TempDir dir;
  copyExample(dir);
  std::string series;
  for (int m = 0; m < 400; ++m) {
    const double t = 199.5 - 0.5 * m;  // decreasing time, ns
    series += std::to_string(t) + "   " + std::to_string(1000 * std::exp(-t / 141.0)) + "\n";
  }
  dir.write("a57.dat", series);
  dir.write("FilesE.inp", "\t 1 \na57.dat\n");
  const RunResult r = runZeprin();
  ASSERT_EQ(r.status, 0) << r.output;
  const std::string log = dir.read("ZEPRIN.RES");
  EXPECT_TRUE(hasLine(log, "  Open exp.file"));
  EXPECT_TRUE(hasLine(log, " JZ1,JZ2 - points for comparison exp. with theor.   19  339"));
}

// Four layers, the middle two repeated 40 times, every interface graded in 4
// steps: the grid lays the block down twice (NNst = 6 layers x 5 sublayers,
// a period of 10, NRR = 39) and fits, but its depth profile would need
// 2 * (30 + 38 * 10) + 1 = 821 points.
std::string longProfileModel() {
  std::string s =
      " 0  LAYSPC.INF\n sublayers\n 4  NNN\n 2 3  N1N,N2N\n 40  NRN\n 1  INORM\n 0  ISQ\n 1.0  HKMAX\n 1  NM\n"
      " 1  IBHF\n column header\n";
  const char* layers[] = {" 20.0 -6.0 0.1", " 15.0 -14.66 0.62", " 25.0 -8.0 0.2", " 1000.0 -4.64 0.045"};
  for (int N = 1; N <= 4; ++N) s += " " + std::to_string(N) + layers[N - 1] + "  0 0 5.0  1 1 4\n";
  s += " V header\n";
  for (int N = 1; N <= 4; ++N) s += " " + std::to_string(N) + (N == 2 ? " 1" : " 0") + " 0 0 0 0 0 0 0  90 0 0 0 0\n";
  s += " S\n 5 1 0 0 0 0 0 0 0\n hyperfine\n 6 33 0 0 0 0 0 0 0\n";
  for (int l = 7; l <= 10; ++l) s += " " + std::to_string(l) + " 0 0 0 0 0 0 0 0\n";
  s += " angular\n";
  for (int l = 12; l <= 16; ++l) s += " " + std::to_string(l) + " 0 0 0 0 0 0 0 0\n";
  s += " KINDV\n";
  for (int N = 1; N <= 4; ++N) s += " " + std::to_string(N) + " 1 1 1 1 1 1 1 1\n";
  s += " ZDV\n";
  for (int N = 1; N <= 4; ++N) s += " " + std::to_string(N) + " 0 0 0 0 0 0 0 0\n";
  return s;
}

TEST(ZeprinRun, ProfileTooLongStillLeavesTheFittedModel) {
  nrstest::TempDir dir;
  copyExample(dir);
  dir.write("Fe57film.inf", longProfileModel());
  dir.write("EL_mod.RES", "profile of an earlier run\n");
  const RunResult r = runZeprin();
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_FALSE(sanitizerReport(r.output)) << r.output;
  const std::string log = dir.read("ZEPRIN.RES");
  EXPECT_TRUE(hasLine(log, "  Npr= 821"));
  EXPECT_TRUE(hasLine(log, " Npr.GT.(2*NMAX+1) !!!"));
  EXPECT_NE(r.output.find(" Npr.GT.(2*NMAX+1) !!! the depth profile needs 821 points"), std::string::npos) << r.output;
  EXPECT_FALSE(dir.exists("EL_mod.RES"));
  EXPECT_FALSE(dir.exists("MODELN.RES"));
  const std::string model = dir.read("LAYSPC.RES");
  EXPECT_TRUE(hasLine(model, " 40         NRN - number of repetitions"));
  EXPECT_TRUE(hasLine(model, " NSPC,ANGLES (mrad) =     3   2.500   3.000   3.500"));
  EXPECT_EQ(dir.read("ANGLE.RES"), dir.read("OLD_ANG.RES"));
}

struct BadCase {
  const char* what;
  const char* file;  // file to change
  const char* key;   // line to replace ("" removes the file)
  const char* line;
};

TEST(ZeprinRun, BadInputEndsWithAMessageAndNonZeroStatus) {
  const BadCase cases[] = {
      {"no constants file", "Tconst.INI", "", ""},
      {"no parameter file", "ZEPRIN.INP", "", ""},
      {"no experiment list", "FilesE.inp", "", ""},
      {"no model name file", "FileM.inp", "", ""},
      {"no fit script", "next.INP", "", ""},
      {"no model file", "Fe57film.inf", "", ""},
      {"no experiment file", "FilesE.inp", "\t 0", "\t 1 \nmissing.dat"},
      {"no distribution table", "ZEPRIN.INP", "\t 1 \t IDIST", "\t 3 \t IDIST"},
      {"not a number", "ZEPRIN.INP", "\t 11 \t JFIT", "\t eleven \t JFIT"},
      {"model ends early", "Fe57film.inf", "  Kind of interface", ""},
      {"constants end early", "Tconst.INI", "   3             DENOM", ""},
      {"I2G + 1 over 10", "Tconst.INI", "   1             I2G", "   10  I2G"},
      {"DENOM 0", "Tconst.INI", "   3             DENOM", "   0  DENOM"},
      {"JAV1 over 50", "ZEPRIN.INP", "\t 10 \t   JAV1", "\t 51 \t JAV1"},
      {"NSPC over 4", "FileM.inp", " \t 3", " \t 5"},
      {"grazing angle 0", "FileM.inp", "\t 3.000000", "\t 0.000000"},
      {"NEXP over 4", "FilesE.inp", "\t 0", "\t 5 \na\nb\nc\nd\ne"},
      {"NNN over 60", "Fe57film.inf", " 2                  NNN", " 61  NNN"},
      {"NM over 8", "Fe57film.inf", " 1                  NM", " 9  NM"},
      {"16 correlation pairs", "ZEPRIN.INP", "\t 0 \t ICORR1",
       "\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n"
       "\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n"
       "\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n\t 1 \t a\n\t 1 \t b\n"
       "\t 1 \t a\n\t 1 \t b\n\t 0 \t ICORR"},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.what);
    nrstest::TempDir dir;
    copyExample(dir);
    if (std::string(c.key).empty()) {
      fs::remove(dir.path() / c.file);
    } else if (std::string(c.line).empty()) {
      std::string text = dir.read(c.file);
      dir.write(c.file, text.substr(0, text.find(c.key)));
    } else {
      editLine(dir, c.file, c.key, c.line);
    }
    const RunResult r = runZeprin();
    EXPECT_NE(r.status, 0) << r.output;
    EXPECT_NE(r.output.find_first_not_of(" \n"), std::string::npos);  // a message
    EXPECT_FALSE(sanitizerReport(r.output)) << r.output;
  }
}

}  // namespace

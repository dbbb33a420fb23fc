// The console programs on copies of the shipped examples whose experiment
// or settings could only give a fit that means nothing: they say so and end
// with exit status 1 rather than 0.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programs/zeprin/workdir.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

using nrstest::Edit;

// Fits weight a point by a power of its count: one count below 0 makes the
// merit no number, and the fit never moves, so every program refuses the
// file as it reads it, naming the file and the point.  A negative power
// (down to the int limit, where all weight falls on one point and the merit
// is 0) is refused where an experiment is compared.  Where no computed
// pass has a merit that is a number (weights 1/E**9 beyond single
// precision), nothing was fitted; a curve file with values that are not
// finite is named.
TEST(ExperimentFiles, MeaninglessFitsEndWithStatusOne) {
  struct Case {
    const char* program;
    const char* example;
    std::vector<Edit> edits;
    std::string message;  // on the console
  };
  const Edit power{"MOLVEC.INP", " 1          JFITP", " 9          JFITP"};
  const std::string intMin = " -2147483648 ";
  const std::string noMerit = " no pass of the run gave a finite merit: nothing was fitted";
  const Case cases[] = {
      {"ZEPRIN", "fe57-fit", {{"fe57_2.8mrad.dat", "    160.453        23", "    160.453        -1"}},
       " count below 0 in the experiment file fe57_2.8mrad.dat (point 20) !"},
      {"MOLVEC", "fe57-delayed", {{"fe57_delp.dat", " 1.700 859030 9361", " 1.700 -3 9361"}},
       " count below 0 in the experiment file fe57_delp.dat (point 9) !"},
      {"MOLVEC", "fe57-delayed", {{"fe57_delp.dat", " 1.700 859030 9361", " 1.700 859030 -0.5"}},
       " count below 0 in the experiment file fe57_delp.dat (point 9) !"},
      {"QUASTO", "fe-si-multilayer", {{"ml_refl.dat", "      2.490      935307 0", "      2.490      -1 0"}},
       " count below 0 in the experiment file ml_refl.dat (point 399) !"},
      {"BRINAX", "fe57-cems", {{"fe57_cems.dat", "\n   1001355\n", "\n   -5\n"}},
       " count below 0 in the experiment file fe57_cems.dat (point 4) !"},
      {"ZEPRIN", "fe57-fit", {{"ZEPRIN.INP", "\t 1 \t JFIT", "\t" + intMin + "\t JFIT"}},
       " JFIT in ZEPRIN.INP must not be negative !"},
      {"BRINAX", "fe57-cems", {{"ZEPRIN.INP", "\t 0 \t JFIT", "\t -1 \t JFIT"}}, " JFIT in ZEPRIN.INP must not be negative !"},
      {"MOLVEC", "fe57-delayed", {{"MOLVEC.INP", " 1          JFITP", intMin + "JFITP"}},
       " JFITP in MOLVEC.INP must not be negative !"},
      {"MOLVEC", "fe57-delayed", {{"MOLVEC.INP", " 1          JFITD", intMin + "JFITD"}},
       " JFITD in MOLVEC.INP must not be negative !"},
      {"QUASTO", "fe-si-multilayer", {{"MOLVEC.INP", " 1          JFITP", intMin + "JFITP"}},
       " JFITP in MOLVEC.INP must not be negative !"},
      {"QUASTO", "fe-si-multilayer", {power}, noMerit},
      {"MOLVEC", "fe57-delayed", {power, {"fe57_delp.dat", " 2.700 935337 17709", " 2.700 1 17709"}}, noMerit},
      // A count of 1e-30 in the window: the fitted scale itself is no number.
      {"QUASTO", "fe-si-multilayer", {power, {"ml_refl.dat", "      2.490      935307 0", "      2.490      1e-30 0"}},
       " values that are not finite numbers (NaN, Inf) were written to PROMP2.res"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.program) + " " + c.edits.back().to);
    nrstest::TempDir dir;
    nrstest::copyExample(dir, c.example, c.edits);
    const auto r = nrstest::runProgram(c.program);
    EXPECT_EQ(r.status, 1) << r.output.substr(0, 2000);
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output.substr(0, 2000);
    EXPECT_FALSE(zeprintest::sanitizerReport(r.output));
  }
}

// A beam divergence too small for the grid's step (its width squared is 0
// in single precision) averages nothing: the curve is that of DIV = 0.
TEST(ExperimentFiles, DivergenceNarrowerThanOneStepLeavesTheCurve) {
  std::string curves[2];
  const char* values[] = {" 0          DIV", " 1e-30      DIV"};
  for (int v = 0; v < 2; ++v) {
    nrstest::TempDir dir;
    nrstest::copyExample(dir, "fe-si-multilayer", {{"MOLVEC.INP", " 0.02       DIV", values[v]}, {"stop.inp", "1", "0"}});
    const auto r = nrstest::runProgram("QUASTO");
    EXPECT_EQ(r.status, 0) << r.output.substr(0, 2000);
    curves[v] = dir.read("PROMP2.res");
  }
  EXPECT_EQ(curves[1], curves[0]);
}

}  // namespace

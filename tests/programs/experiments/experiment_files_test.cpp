// The console programs on copies of the shipped examples whose experiment
// or settings could only give a fit that means nothing: they say so and end
// with exit status 1 rather than 0.  Records no fit uses are read.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "programs/zeprin/workdir.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

using nrstest::Edit;

// The records of an experiment file, each as its numbers.
using Records = std::vector<std::vector<double>>;
using Prepare = std::function<void(const nrstest::TempDir&)>;

// `file` of the working directory with its records rewritten by `edit`.
Prepare editRecords(const std::string& file, std::function<void(Records&)> edit) {
  return [=](const nrstest::TempDir& dir) {
    Records r = zeprintest::columns(dir.read(file));
    edit(r);
    std::string out;
    for (const auto& fields : r) {
      for (double f : fields) out += zeprintest::fmt(" %.10g", f);
      out += "\n";
    }
    dir.write(file, out);
  };
}

// Field `column` of the records whose first field (time or angle) lies in
// [lo, hi] becomes `value`; the count record of a reflectivity file has
// no such field.
Prepare setCounts(const std::string& file, std::size_t column, double lo, double hi, double value) {
  return editRecords(file, [=](Records& r) {
    for (auto& f : r)
      if (f.size() > column && f[0] >= lo && f[0] <= hi) f[column] = value;
  });
}

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
    Prepare prepare = nullptr;
  };
  const Edit power{"MOLVEC.INP", " 1          JFITP", " 9          JFITP"};
  const std::string intMin = " -2147483648 ";
  const std::string noMerit = " no pass of the run gave a finite merit: nothing was fitted !";
  const Edit cemsPower{"ZEPRIN.INP", "\t 0 \t JFIT", "\t 3 \t JFIT"};
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
      {"BRINAX", "fe57-cems", {{"ZEPRIN.INP", "\t 0 \t JFIT", "\t -1 \t JFIT"}},
       " JFIT in ZEPRIN.INP must not be negative !"},
      {"MOLVEC", "fe57-delayed", {{"MOLVEC.INP", " 1          JFITP", intMin + "JFITP"}},
       " JFITP in MOLVEC.INP must not be negative !"},
      {"MOLVEC", "fe57-delayed", {{"MOLVEC.INP", " 1          JFITD", intMin + "JFITD"}},
       " JFITD in MOLVEC.INP must not be negative !"},
      {"QUASTO", "fe-si-multilayer", {{"MOLVEC.INP", " 1          JFITP", intMin + "JFITP"}},
       " JFITP in MOLVEC.INP must not be negative !"},
      {"QUASTO", "fe-si-multilayer", {power}, noMerit},
      {"MOLVEC", "fe57-delayed", {power, {"fe57_delp.dat", " 2.700 935337 17709", " 2.700 1 17709"}}, noMerit},
      // A film without resonant nuclei has no spectrum to scale; a channel
      // of 1e20 leaves the others near 1e-14 after normalisation, with
      // weights 1/E**3 beyond single precision.
      {"BRINAX", "fe57-cems", {{"Fe57start.inf", "\n   1   1.00000", "\n   1   0.00000"}}, noMerit},
      {"BRINAX", "fe57-cems", {cemsPower, {"fe57_cems.dat", "\n   1002229\n", "\n   1e20\n"}}, noMerit},
      // The only pass written is a first one that computed nothing.
      {"ZEPRIN", "fe57-fit",
       {{"ZEPRIN.INP", "\t 2 \t ITEST", "\t 3 \t ITEST"}, {"ZEPRIN.INP", "\t 1 \t JFIT", "\t 9 \t JFIT"},
        {"next.INP", " 1                 Jcalc", " 0                 Jcalc"},
        {"fe57_2.8mrad.dat", "    160.453        23", "    160.453        1e-30"}},
       noMerit},
      // A count of 1e-30 in the window: the fitted scale itself is no number.
      {"QUASTO", "fe-si-multilayer", {power, {"ml_refl.dat", "      2.490      935307 0", "      2.490      1e-30 0"}},
       " values that are not finite numbers (NaN, Inf) were written to PROMP2.res"},
      // A scale and a background fit equal counts exactly, and the fits skip
      // counts of 0 (in BRINAX, counts at the spectrum's smallest): such a
      // window gives the merit 0 of a perfect fit whatever the model.
      {"ZEPRIN", "fe57-fit", {}, " all counts of the experiment file fe57_2.8mrad.dat above 0 between XEXP1 and",
       setCounts("fe57_2.8mrad.dat", 1, 0, 200, 100)},
      {"ZEPRIN", "fe57-fit", {}, " fewer than 3 points of the experiment file fe57_3.4mrad.dat with a count above 0",
       setCounts("fe57_3.4mrad.dat", 1, 14, 171, 0)},
      // Without weights no merit counts, but an empty window is refused.
      {"ZEPRIN", "fe57-fit",
       {{"ZEPRIN.INP", "\t 1.0 \t 1.0 \t 1.0 \t 1.0 ", " 0 0 0 0"}, {"ZEPRIN.INP", "\t 15.0 \t XEXP1", " 172 XEXP1"}},
       " fewer than 3 points of the experiment file fe57_2.8mrad.dat with a count above 0"},
      {"MOLVEC", "fe57-delayed", {}, " all prompt counts of the experiment file fe57_delp.dat above 0",
       setCounts("fe57_delp.dat", 1, 0, 10, 100)},
      {"MOLVEC", "fe57-delayed", {}, " fewer than 3 points of the experiment file fe57_delp.dat with a delayed count",
       setCounts("fe57_delp.dat", 2, 1.55, 6.95, 0)},
      {"QUASTO", "fe-si-multilayer", {}, " all prompt counts of the experiment file ml_refl.dat above 0",
       setCounts("ml_refl.dat", 1, 0, 20, 100)},
      {"QUASTO", "fe-si-multilayer", {}, " fewer than 3 points of the experiment file ml_refl.dat with a prompt count",
       setCounts("ml_refl.dat", 1, 0.9, 16.1, 0)},
      // Channels 31..479 at the file's smallest count.
      {"BRINAX", "fe57-cems", {}, " fewer than 3 points of the experiment file fe57_cems.dat with a count above the",
       editRecords("fe57_cems.dat", [](Records& r) { std::fill(&r[30], &r[479], Records::value_type{997181}); })},
      // Every file is compared, and drawn, at the first file's times.
      {"ZEPRIN", "fe57-fit", {}, " time of record 1 of the experiment file fe57_3.4mrad.dat is 117.610 ns, not 176.414",
       editRecords("fe57_3.4mrad.dat",
                   [](Records& r) { std::erase_if(r, [](auto& f) { return f[0] < 41 || f[0] > 118; }); })},
      {"ZEPRIN", "fe57-fit", {}, " the experiment file fe57_3.4mrad.dat ends before record 200 (10.081 ns as in",
       editRecords("fe57_2.8mrad.dat", [](Records& r) { r.push_back(r.back()); })},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.program) + " " + c.message);
    nrstest::TempDir dir;
    nrstest::copyExample(dir, c.example, c.edits);
    if (c.prepare) c.prepare(dir);
    const auto r = nrstest::runProgram(c.program);
    EXPECT_EQ(r.status, 1) << r.output.substr(0, 2000);
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output.substr(0, 2000);
    EXPECT_FALSE(zeprintest::sanitizerReport(r.output));
  }
}

// Records a fit never uses are read and change nothing: times repeated
// after the compared stretch of a time spectrum (the last record twice, two
// padding records at 0 ns) or ahead of it (two at 180 ns), a second file's
// times off in their last decimal, values beyond the JEXPC channels of a
// CEMS spectrum.  A time repeated inside the window is compared as any
// other point; a spectrum whose merit has the weight 0 is not compared, and
// may be flat.
TEST(ExperimentFiles, RecordsOutsideTheFitAreRead) {
  // `file` as the run on the example changed by `prepare` writes it, and as the unchanged one does.
  const auto unchanged = [](const char* program, const char* example, const char* file, const Prepare& prepare) {
    std::string text[2];
    for (int i = 0; i < 2; ++i) {
      nrstest::TempDir dir;
      nrstest::copyExample(dir, example);
      if (i == 0) prepare(dir);
      EXPECT_EQ(nrstest::runProgram(program).status, 0) << program << " " << i;
      text[i] = dir.read(file);
    }
    EXPECT_EQ(text[0], text[1]) << file;
  };
  const char* const spectra[] = {"fe57_2.8mrad.dat", "fe57_3.4mrad.dat"};
  const Prepare unused = [&](const nrstest::TempDir& dir) {
    editRecords(spectra[1], [](Records& r) {
      for (auto& f : r) f[0] += 0.001;
      r.push_back(r.back());
    })(dir);
    for (const char* f : spectra)
      editRecords(f, [](Records& r) {
        r.insert(r.begin(), 2, {180, 3});
        r.insert(r.end(), 2, {0, 0});
      })(dir);
  };
  unchanged("ZEPRIN", "fe57-fit", "RESULT.res", unused);
  unchanged("BRINAX", "fe57-cems", "CEMfit.res", editRecords("fe57_cems.dat", [](Records& r) { r.push_back({-5}); }));

  nrstest::TempDir dir;
  nrstest::copyExample(dir, "fe57-fit");
  for (const char* f : spectra)
    editRecords(f, [](Records& r) { r.insert(r.begin() + 90, Records::value_type(r[90])); })(dir);
  nrstest::setRecord(dir, "ZEPRIN.INP", 6, " 1.0 0.0 1.0 1.0");
  setCounts(spectra[1], 1, 0, 200, 100)(dir);
  const auto r = nrstest::runProgram("ZEPRIN");
  ASSERT_EQ(r.status, 0) << r.output.substr(0, 2000);
  const auto lines = nrstest::splitLines(dir.read("BUFFTN1.RES"));
  const auto twice = std::adjacent_find(lines.begin(), lines.end());
  ASSERT_NE(twice, lines.end());
  EXPECT_NE(twice->find("    100.808     264.0"), std::string::npos) << *twice;
  for (const auto& row : zeprintest::columns(dir.read("BUFFTN2.RES"))) EXPECT_EQ(row[1], 100.0);
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

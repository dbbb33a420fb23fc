// The console programs on copies of the shipped examples whose experiment
// or settings could only give a fit that means nothing: they say so and end
// with exit status 1 rather than 0.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exampledir.hpp"
#include "programs/zeprin/workdir.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

struct Edit {
  std::string file, from, to;
};

// A copy of `example` with `edits` made, and the run of `program` in it.
zeprintest::RunResult runEdited(const nrstest::TempDir& dir, const std::string& program, const std::string& example,
                                const std::vector<Edit>& edits) {
  nrstest::copyExample(dir, example);
  for (const Edit& e : edits) nrstest::replaceIn(dir, e.file, e.from, e.to);
  zeprintest::RunResult r;
  r.status = nrstest::run(std::string(NRS_BIN_DIR) + "/" + program, &r.output);
  return r;
}

struct Case {
  const char* program;
  const char* example;
  std::vector<Edit> edits;
  std::string message;  // on the console
};

void expectRefusal(const Case& c) {
  SCOPED_TRACE(std::string(c.program) + " " + c.edits.front().to);
  nrstest::TempDir dir;
  const auto r = runEdited(dir, c.program, c.example, c.edits);
  EXPECT_EQ(r.status, 1) << r.output.substr(0, 2000);
  EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output.substr(0, 2000);
  EXPECT_FALSE(zeprintest::sanitizerReport(r.output));
}

// Fits weight a point by a power of its count: one count below 0 makes the
// merit no number, and the fit never moves.  Every program refuses the file
// as it reads it and names the file and the point.
TEST(ExperimentFiles, CountBelowZeroIsRefused) {
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
  };
  for (const Case& c : cases) expectRefusal(c);
}

}  // namespace

// The console programs on their shipped examples, with the model file or the
// experiment file given the name of a file the program writes, or an input
// made the same file as a written one through a link.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>

#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

namespace fs = std::filesystem;

// Refused before anything is written, with a message naming both files, and
// the input left as it was; a name that the program does not write is read.
TEST(InputNames, AnInputThatIsAWrittenFileIsRefusedUntouched) {
  struct Case {
    const char* program;
    const char* example;
    const char* nameFile;  // the parameter file that names the input, or the input of a fixed name
    int record;            // its record holding the name; 0: a fixed name
    const char* name;      // the name given instead, or the written file made a link to the input
    const char* written;   // the written file it is; none: accepted
    char link = 0;         // 's' symbolic, 'h' hard; 0: the parameter file names a copy
  };
  const Case cases[] = {
      {"ZEPRIN", "fe57-fit", "FileM.inp", 1, "zeprin.res", "ZEPRIN.RES"},  // the run log
      {"ZEPRIN", "fe57-fit", "FilesE.inp", 3, "BUFFTN2.RES", "BUFFTN2.RES"},
      {"ZEPRIN", "fe57-fit", "FilesE.inp", 2, "layspc.res", "LAYSPC.RES"},  // only a model may be
      {"ZEPRIN", "fe57-fit", "FilesE.inp", 2, "BUFFTN1.RES", "BUFFTN1.RES", 's'},
      {"MOLVEC", "fe57-delayed", "FileM.inp", 1, "rab.res", "rab.res"},
      {"MOLVEC", "fe57-delayed", "MOLVEC.INP", 3, "PROMP2.res", "PROMP2.res"},
      {"MOLVEC", "fe57-delayed", "MOLVEC.INP", 3, "./LAYSPC.RES", "LAYSPC.RES"},
      {"MOLVEC", "fe57-delayed", "FileM.inp", 1, "molvec.RES", "MOLVEC.RES", 'h'},
      {"QUASTO", "fe-si-multilayer", "MOLVEC.INP", 3, "PROMP2.res", "PROMP2.res"},
      {"QUASTO", "fe-si-multilayer", "FileM.inp", 1, "MODELN.RES", nullptr},  // the others' density profile
      {"QUASTO", "fe-si-multilayer", "ZEPRIN.INP", 0, "RELAY.res", "RELAY.res", 'h'},
      {"BRINAX", "fe57-cems", "FileM.inp", 1, "EL_mod.RES", "EL_mod.RES"},
      {"BRINAX", "fe57-cems", "FilCEM.inp", 7, "cemfit.res", "CEMfit.res"},
      // A model of its own name is not to be replaced by the fit.
      {"BRINAX", "fe57-cems", "FileM.inp", 1, "LAYSPC.RES", "LAYSPC.RES", 's'},
  };
  const auto files = [](const nrstest::TempDir& dir) {
    return std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator());
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.program) + " " + c.nameFile + " " + c.name);
    nrstest::TempDir dir;
    nrstest::copyExample(dir, c.example);
    std::string input = c.nameFile;  // the name the example gives
    if (c.record > 0) std::istringstream(nrstest::splitLines(dir.read(c.nameFile)).at(c.record - 1)) >> input;
    const std::string text = dir.read(input);
    ASSERT_FALSE(text.empty());
    if (c.link == 's') {
      fs::create_symlink(input, c.name);
    } else if (c.link == 'h') {
      fs::create_hard_link(input, c.name);
    } else {
      dir.write(c.name, text);
      nrstest::setRecord(dir, c.nameFile, c.record, c.name);
      input = c.name;
    }
    const auto before = files(dir);
    const auto [status, out] = nrstest::runProgram(c.program);
    EXPECT_TRUE(dir.read(input) == text) << input << " was changed";
    if (!c.written) {
      EXPECT_EQ(status, 0) << out;
      continue;
    }
    EXPECT_EQ(status, 1) << out;
    const std::string what = c.record == 0                               ? "input file " + input
                             : std::string(c.nameFile) == "FileM.inp" ? "model file " + input + " named in FileM.inp"
                                                                      : "experiment file " + input + " named in " + c.nameFile;
    EXPECT_NE(out.find(" the " + what + " is the file " + c.written + " that this program writes"), std::string::npos)
        << out;
    EXPECT_EQ(files(dir), before);
  }
}

// The fitted model "LAYSPC.RES", named in any letter case, is the model file
// of the next run: read whole before the run writes it, it comes back as it
// was after one pass.
TEST(InputNames, TheFittedModelIsTheNextModelFile) {
  const char* const cases[][3] = {{"ZEPRIN", "fe57-fit", "LAYSPC.RES"},
                                  {"MOLVEC", "fe57-delayed", "Layspc.res"},
                                  {"QUASTO", "fe-si-multilayer", "./layspc.RES"},
                                  {"BRINAX", "fe57-cems", "Layspc.res"}};
  for (const auto& [program, example, name] : cases) {
    SCOPED_TRACE(program);
    nrstest::TempDir dir;
    nrstest::copyExample(dir, example, {{"stop.inp", "1", "0"}});
    ASSERT_EQ(nrstest::runProgram(program).status, 0);
    const std::string model = dir.read("LAYSPC.RES");
    nrstest::setRecord(dir, "FileM.inp", 1, name);
    const auto r = nrstest::runProgram(program);
    EXPECT_EQ(r.status, 0) << r.output.substr(0, 2000);
    EXPECT_EQ(dir.read("LAYSPC.RES"), model);
  }
}

}  // namespace

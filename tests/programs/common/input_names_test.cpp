// The console programs on their shipped examples, with the model file or the
// experiment file given the name of a file the program writes.
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
TEST(InputNames, AnInputNamedLikeAWrittenFileIsRefusedUntouched) {
  struct Case {
    const char* program;
    const char* example;
    const char* nameFile;  // the parameter file that names the input
    int record;            // its record holding the name
    const char* name;      // the name given instead
    const char* written;   // the written file it names; none: accepted
  };
  const Case cases[] = {
      {"ZEPRIN", "fe57-fit", "FileM.inp", 1, "zeprin.res", "ZEPRIN.RES"},  // the run log
      {"ZEPRIN", "fe57-fit", "FilesE.inp", 3, "BUFFTN2.RES", "BUFFTN2.RES"},
      {"MOLVEC", "fe57-delayed", "FileM.inp", 1, "rab.res", "rab.res"},
      {"MOLVEC", "fe57-delayed", "MOLVEC.INP", 3, "PROMP2.res", "PROMP2.res"},
      {"QUASTO", "fe-si-multilayer", "FileM.inp", 1, "./Layspc.res", "LAYSPC.RES"},
      {"QUASTO", "fe-si-multilayer", "MOLVEC.INP", 3, "PROMP2.res", "PROMP2.res"},
      {"QUASTO", "fe-si-multilayer", "FileM.inp", 1, "MODELN.RES", nullptr},  // the others' density profile
      {"BRINAX", "fe57-cems", "FileM.inp", 1, "EL_mod.RES", "EL_mod.RES"},
      {"BRINAX", "fe57-cems", "FilCEM.inp", 7, "cemfit.res", "CEMfit.res"},
  };
  const auto files = [](const nrstest::TempDir& dir) {
    return std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator());
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.program) + " " + c.nameFile + " " + c.name);
    nrstest::TempDir dir;
    nrstest::copyExample(dir, c.example);
    std::string input;  // the name the example gives
    std::istringstream(nrstest::splitLines(dir.read(c.nameFile)).at(c.record - 1)) >> input;
    const std::string text = dir.read(input);
    ASSERT_FALSE(text.empty());
    dir.write(c.name, text);
    nrstest::setRecord(dir, c.nameFile, c.record, c.name);
    const auto before = files(dir);
    const auto [status, out] = nrstest::runProgram(c.program);
    EXPECT_TRUE(dir.read(c.name) == text) << c.name << " was changed";
    if (!c.written) {
      EXPECT_EQ(status, 0) << out;
      continue;
    }
    EXPECT_EQ(status, 1) << out;
    const std::string role = std::string(c.nameFile) == "FileM.inp" ? "model file" : "experiment file";
    EXPECT_NE(out.find(" the " + role + " " + c.name + " named in " + c.nameFile + " is the file " + c.written +
                       " that this program writes"),
              std::string::npos)
        << out;
    EXPECT_EQ(files(dir), before);
  }
}

}  // namespace

// The console programs on their shipped examples, with the model file or the
// experiment file given the name of a file the program writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

namespace fs = std::filesystem;

std::set<std::string> listing(const nrstest::TempDir& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.path())) names.insert(e.path().filename().string());
  return names;
}

std::string trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

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
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.program) + " " + c.nameFile + " " + c.name);
    nrstest::TempDir dir;
    nrstest::copyExample(dir, c.example);
    const std::string text = dir.read(trimmed(nrstest::record(dir.read(c.nameFile), c.record)));
    ASSERT_FALSE(text.empty());
    dir.write(c.name, text);
    nrstest::setRecord(dir, c.nameFile, c.record, c.name);
    const auto before = listing(dir);
    std::string out;
    const int status = nrstest::run(std::string(NRS_BIN_DIR) + "/" + c.program, &out);
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
    EXPECT_EQ(listing(dir), before);
  }
}

}  // namespace

// KAVOLD's dialogs as a person meets them, under Xvfb with the real
// programs on a copy of the shipped fit: a dialog left with Escape writes no
// file, the angle correction of "Get previous settings" starts from what
// "FILEM.INP" holds, and the axes of a right click reach the axis file.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tempdir.hpp"
#include "xvfb_session.hpp"

namespace {

namespace fs = std::filesystem;
using nrstest::runKavold;

void copyExample(const nrstest::TempDir& dir) {
  for (const auto& e : fs::directory_iterator(fs::path(NRS_SOURCE_DIR) / "examples" / "fe57-fit"))
    fs::copy_file(e.path(), dir.path() / e.path().filename());
}

// Every file of the directory with its text.
std::map<std::string, std::string> filesOf(const nrstest::TempDir& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(dir.path()))
    files[e.path().filename().string()] = dir.read(e.path().filename().string());
  return files;
}

class DialogsOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!nrstest::haveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
  }
  // Runs KAVOLD in the current directory through the steps, from a window
  // of 900 x 600 to the quit; the text editor opens nothing.
  static ::testing::AssertionResult runSteps(const std::string& steps) {
    std::string output;
    const std::string script = "size 900 600; wait 300; " + steps + "; wait 300; quit";
    if (runKavold(script, output, "KAVOLD_EDITOR=true", 60) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << output;
  }
};

// Each command opens its dialog, something is typed or pressed, and the
// dialog is left with Escape: no file is written, changed or made.
TEST_F(DialogsOnScreen, EscapeWritesNoFile) {
  struct Case {
    const char* what;
    const char* steps;
  };
  const Case cases[] = {
      {"computation parameters", "menu Calc. options > TIM spectra > Dialog; type 1005 0.35; escape"},
      {"model file and angles", "menu Theory > Model file; type 1000 other.inf; type 1003 0; escape"},
      {"experiments", "menu Load exper; type 1000 1; type 1002 other.dat; escape"},
      {"start from zero", "menu Settings > or Start from zero; type 1000 1; escape"},
      {"model chain, general description", "menu Theory > Create MODEL; type 1025 new.inf; escape"},
      {"model chain, substrate",
       "menu Theory > Create MODEL; type 1025 new.inf; accept; accept; accept; accept; escape"},
      {"stop value", "menu FIT options > Stop calculations; type 1000 0; escape"},
      {"axes of the right click", "rclick 400 300; press 1031; type 1004 12000; escape"},
      {"HFI graph", "menu MODEL graphs > HFI graph; escape"},
      {"fitted model under a new name", "menu FIT options > New model; type 1000 copy.inf; escape"},
      {"model under a new name", "command 32823; type 1000 copy.inf; escape"},
      {"fit question", "tool 0; escape"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    nrstest::TempDir dir;
    copyExample(dir);
    // A fitted model to save, and a fit that was told to stop.
    dir.write("LAYSPC.RES", dir.read("Fe57true.inf"));
    dir.write("stop.inp", " 0 \n");
    const auto before = filesOf(dir);
    ASSERT_TRUE(runSteps(c.steps));
    const auto after = filesOf(dir);
    for (const auto& [name, text] : after) {
      const auto was = before.find(name);
      if (was == before.end())
        ADD_FAILURE() << name << " was made";
      else
        EXPECT_EQ(text, was->second) << name << " was changed";
    }
    EXPECT_EQ(after.size(), before.size());
  }
}

// A second spectrum at 0 mrad: the model dialog shows the file's model and
// angles; a correction that is still 0 is asked for once more; the model
// name and the first angle survive into the file.
TEST_F(DialogsOnScreen, TheZeroAngleIsCorrectedFromWhatTheFileHolds) {
  nrstest::TempDir dir;
  copyExample(dir);
  dir.write("FileM.inp", "Fe57start.inf\n \t 2 \n\t 2.800000 \n\t 0.000000 \n\t 0.000000 \n\t 0.000000 \n");
  // The two missing parameter files of the other programs are reported
  // after the angles.
  ASSERT_TRUE(runSteps("menu Settings > Get previous settings; accept; type 1004 -1; accept; accept; "
                       "type 1004 3.4; accept; accept; accept; wait 300; menu Theory > Model file; accept; accept; "
                       "accept"));
  const std::string corrected = "Fe57start.inf\n \t 2 \n\t 2.800000 \n\t 3.400000 \n\t 5.000000 \n\t 6.000000 \n";
  EXPECT_EQ(dir.read("FileM.inp"), corrected);
}

// Normal scale and a spectrum height of 12000 by right click: the axis file
// holds them at once, and still after the settings are read back from it,
// the logarithmic scale chosen and left with Escape, and the axes confirmed
// once more.
TEST_F(DialogsOnScreen, TheAxesOfTheRightClickReachTheAxisFile) {
  nrstest::TempDir dir;
  copyExample(dir);
  ASSERT_TRUE(runSteps("rclick 400 300; press 1030; type 1004 12000; accept; wait 300; "
                       "menu Settings > Get previous settings; accept; accept; wait 300; "
                       "rclick 400 300; press 1031; escape; wait 300; rclick 400 300; accept"));
  const auto lines = nrstest::linesOf(dir.read("AXISF.INP"));
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(lines[0].substr(0, 1), "1");  // normal scale
  EXPECT_EQ(lines[5], " 12000.000000                  YfinS1");
}

}  // namespace

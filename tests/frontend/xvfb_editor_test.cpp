// KAVOLD's own text editor in a real window (no external editor named): the
// commands that wait for it go on once it is closed by its Close button or
// by Escape, and the file holds what was typed and saved.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tempdir.hpp"
#include "xvfb_session.hpp"

namespace {

namespace fs = std::filesystem;

std::string shipped(const char* name) {
  std::ifstream in(fs::path(NRS_SOURCE_DIR) / "examples/fe57-fit" / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// On the shipped fit: the model (toolbar Model) is edited twice, saved by
// Save and closed by Close, then changed, closed by Escape and saved when
// asked; each time the model dialog that follows takes a new angle.  Then
// "ZEPRIN.INP" (TIM spectra > File) is changed and the change dropped when
// asked.  "Get previous settings" and its re-reading after the model dialog
// report the two missing files of the other programs.
TEST(RealWindow, TheBuiltInEditorClosesAndTheCommandsGoOn) {
  if (!nrstest::haveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
  nrstest::TempDir dir;
  for (const auto& e : fs::directory_iterator(fs::path(NRS_SOURCE_DIR) / "examples" / "fe57-fit"))
    fs::copy_file(e.path(), dir.path() / e.path().filename());
  const std::string script =
      "size 900 600; wait 300; menu Settings > Get previous settings; accept; accept; "
      "tool 9; replace 160.0000 170.0000; press Save; press Close; type 1003 2.9; accept; accept; accept; "
      "tool 9; replace 32.5000 33.1000; escape; press Save; type 1004 3.3; accept; accept; accept; "
      "menu Calc. options > TIM spectra > File; replace 170.0 150.0; press Close; press Discard; "
      "wait 300; panes end.txt; quit";
  std::string output;
  ASSERT_EQ(nrstest::runKavold(script, output, "KAVOLD_EDITOR=", 60), 0) << output;

  std::string model = shipped("Fe57start.inf");
  model.replace(model.find("160.0000"), 8, "170.0000");
  model.replace(model.find("32.5000"), 7, "33.1000");
  EXPECT_EQ(dir.read("Fe57start.inf"), model);
  EXPECT_EQ(dir.read("FileM.inp"), "Fe57start.inf\n \t 2 \n\t 2.900000 \n\t 3.300000 \n\t 5.000000 \n\t 6.000000 \n");
  EXPECT_EQ(dir.read("ZEPRIN.INP"), shipped("ZEPRIN.INP"));
  EXPECT_EQ(nrstest::linesOf(dir.read("end.txt")).at(2), "Ready");  // the script ran to its end
}

}  // namespace

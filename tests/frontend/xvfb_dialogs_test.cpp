// KAVOLD's dialogs and its own text editor as a person meets them, under
// Xvfb with the real programs on a copy of the shipped fit.
#include <filesystem>
#include <map>

#include "xvfb_session.hpp"

namespace {

using nrstest::KavoldOnScreen;

// Every file of the directory with its text.
std::map<std::string, std::string> filesOf(const nrstest::TempDir& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    files[e.path().filename().string()] = dir.read(e.path().filename().string());
  return files;
}

// Each command opens its dialog, something is typed or pressed, and the
// dialog is left with Escape: no file is written, changed or made.  There
// are a fitted model to save and a fit told to stop; the editor is `true`.
// Last the HFI graph, which has no button: Escape is how it closes, and its
// scales (its own, taken at the first painting) reach "AXISF.INP".
TEST_F(KavoldOnScreen, EscapeWritesNoFile) {
  const char* const escapes[] = {
      "menu Calc. options > TIM spectra > Dialog; type 1005 0.35; escape",  // computation parameters
      "menu Theory > Model file; type 1000 other.inf; type 1003 0; escape",  // model file and angles
      "menu Load exper; type 1000 1; type 1002 other.dat; escape",
      "menu Settings > or Start from zero; type 1000 1; escape",
      "menu Theory > Create MODEL; type 1025 new.inf; escape",  // the model chain
      "menu FIT options > Stop calculations; type 1000 0; escape",
      "rclick 400 300; press 1031; type 1004 12000; escape",  // the axes
      "menu FIT options > New model; type 1000 copy.inf; escape",  // the fitted model under a new name
      "command 32823; type 1000 copy.inf; escape",                 // the model under a new name
      "tool 0; escape",                                            // the fit question
      "menu MODEL graphs > HFI graph; escape",
  };
  std::string steps;
  for (const char* e : escapes) steps += std::string(e) + "; wait 200; ";
  dir.write("LAYSPC.RES", dir.read("Fe57true.inf"));
  dir.write("stop.inp", " 0 \n");
  const auto before = filesOf(dir);
  ASSERT_TRUE(session(steps + "wait 100", "true"));
  const auto after = filesOf(dir);
  for (const auto& [name, text] : after)
    EXPECT_TRUE(name == "AXISF.INP" || (before.count(name) && before.at(name) == text))
        << name << " was made or changed";
  EXPECT_EQ(after.size(), before.size());
  // The graph's scales and the view's own axes (the file was never read),
  // not the 12000 given up with Escape.
  const std::string axes = after.at("AXISF.INP");
  EXPECT_NE(axes.find("\n 300.000000                  YfinS1\n"), std::string::npos) << axes;
  EXPECT_NE(axes.find("\n 40.000000             Xmodmin\n"), std::string::npos) << axes;
}

// A zero second angle in "FILEM.INP": Get previous settings asks for it
// in the model dialog, which shows what the file holds (the model name is
// kept); a correction to -1 is refused and asked for once more.
TEST_F(KavoldOnScreen, AZeroAngleIsCorrectedFromWhatTheFileHolds) {
  dir.write("FileM.inp", "Fe57start.inf\n 2\n 2.8\n 0.0\n");
  ASSERT_TRUE(session("menu Settings > Get previous settings; modal first.txt; accept; type 1004 -1; accept; "
                      "modal second.txt; accept; type 1004 3.4; accept; accept; accept"));
  EXPECT_EQ(dir.read("first.txt"), "angle for calculation is 0 !\n");
  EXPECT_EQ(dir.read("second.txt"), "angle for calculation is 0 !\n");
  EXPECT_EQ(dir.read("FileM.inp"), "Fe57start.inf\n \t 2 \n\t 2.800000 \n\t 3.400000 \n\t 5.000000 \n\t 6.000000 \n");
}

// One session on the shipped fit.  By right click, normal scale and a
// spectrum height of 12000: the axis file holds them at once, and still
// after the settings are read back from it (the two parameter files of the
// other programs are reported missing), the logarithmic scale chosen and
// left with Escape, and the axes confirmed once more.  Then KAVOLD's own
// editor: the model (toolbar Model) is edited twice, saved by Save and
// closed by Close, then changed, closed by Escape and saved when asked; each
// time the model dialog that follows takes a new angle.  Then "ZEPRIN.INP"
// (TIM spectra > File) is changed and the change dropped when asked.  The
// commands that wait for the editor go on each time.
TEST_F(KavoldOnScreen, RightClickAxesReachTheAxisFileAndTheBuiltInEditorCloses) {
  const std::string shippedModel = dir.read("Fe57start.inf"), shippedParameters = dir.read("ZEPRIN.INP");
  ASSERT_TRUE(session("rclick 400 300; press 1030; type 1004 12000; accept; wait 300; "
                      "menu Settings > Get previous settings; accept; accept; wait 300; "
                      "rclick 400 300; press 1031; escape; wait 300; rclick 400 300; accept; wait 300; "
                      "tool 9; replace 160.0000 170.0000; press Save; press Close; type 1003 2.9; accept; accept; "
                      "accept; tool 9; replace 32.5000 33.1000; escape; press Save; type 1004 3.3; accept; accept; "
                      "accept; menu Calc. options > TIM spectra > File; replace 170.0 150.0; press Close; "
                      "press Discard; wait 300; panes end.txt"));
  const auto axes = nrstest::splitLines(dir.read("AXISF.INP"));
  ASSERT_EQ(axes.size(), 33u);
  EXPECT_EQ(axes[0].substr(0, 1), "1");  // normal scale
  EXPECT_EQ(axes[5], " 12000.000000                  YfinS1");
  std::string model = shippedModel;
  model.replace(model.find("160.0000"), 8, "170.0000");
  model.replace(model.find("32.5000"), 7, "33.1000");
  EXPECT_EQ(dir.read("Fe57start.inf"), model);
  EXPECT_EQ(dir.read("FileM.inp"), "Fe57start.inf\n \t 2 \n\t 2.900000 \n\t 3.300000 \n\t 5.000000 \n\t 6.000000 \n");
  EXPECT_EQ(dir.read("ZEPRIN.INP"), shippedParameters);
  EXPECT_EQ(nrstest::splitLines(dir.read("end.txt")).at(2), "Ready");  // the steps ran to their end
}

}  // namespace

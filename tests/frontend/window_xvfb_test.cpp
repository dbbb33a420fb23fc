// KAVOLD as a real window on an X server (Xvfb): it starts, shows its menu,
// toolbar, plot and status panes, and a left click in the view moves the
// coordinate panes.  The window layer's script hook does the clicking.
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "frontend/winlayer/hooks.hpp"
#include "xvfb_session.hpp"

namespace {

using nrstest::KavoldOnScreen;
using nrstest::runKavold;
using nrstest::splitLines;

using winlayer::COLORREF;
using winlayer::RGB;

// The pane texts of a click at (mx, my) in a view of w x h with the default
// axes: 0 to 170 across and one stacked spectrum of 300 (450) up.
std::pair<std::string, std::string> panesFor(int w, int h, int mx, int my) {
  const float x = 0.0f + (170.0f - 0.0f) / static_cast<float>(w - 65) * static_cast<float>(mx - 45);
  const float y = 0.0f - (450.0f - 0.0f) / static_cast<float>(h - 60) * static_cast<float>(my + 40 - h);
  char bx[64], by[64];
  std::snprintf(bx, sizeof bx, "x = %.2f", static_cast<double>(x));
  std::snprintf(by, sizeof by, "y = %.2f", static_cast<double>(y));
  return {bx, by};
}

TEST(RealWindow, StartsUnderXvfbAndAClickMovesThePanes) {
  if (!nrstest::haveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
  nrstest::TempDir dir;
  const std::string script =
      "size 900 600; wait 500; viewsize size.txt; panes before.txt; click 300 200; wait 300; panes after.txt; "
      "shot shot.png; quit";
  std::string output;
  ASSERT_EQ(runKavold(script, output), 0) << output;

  int w = 0, h = 0;
  std::istringstream(dir.read("size.txt")) >> w >> h;
  ASSERT_GT(w, 100) << output;
  ASSERT_GT(h, 100);
  const auto before = splitLines(dir.read("before.txt"));
  const auto after = splitLines(dir.read("after.txt"));
  ASSERT_GE(before.size(), 3u);
  ASSERT_GE(after.size(), 3u);
  const auto [x0, y0] = panesFor(w, h, 0, 0);
  const auto [x1, y1] = panesFor(w, h, 300, 200);
  EXPECT_EQ(before[0], x0);
  EXPECT_EQ(before[1], y0);
  EXPECT_EQ(after[0], x1);
  EXPECT_EQ(after[1], y1);
  EXPECT_EQ(after[2], "Ready");

  const auto shot = winlayer::hooks::loadPng((dir.path() / "shot.png").string());
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot->width, 900);
  EXPECT_EQ(shot->height, 600);
  int background = 0, red = 0, text = 0;
  for (int y = 0; y < shot->height; ++y)
    for (int x = 0; x < shot->width; ++x) {
      const COLORREF c = shot->pixel(x, y);
      background += c == RGB(200, 200, 255);
      red += y < 80 && c == RGB(255, 0, 0);  // toolbar labels
      text += y < 25 && (c & 0xFFFFFF) == 0;  // menu texts in black
    }
  EXPECT_GT(background, 10000);
  EXPECT_GT(red, 20);
  EXPECT_GT(text, 50);
}

// Pixels of a colour in the plot area of a screenshot.
int inPlot(const winlayer::hooks::Image& shot, COLORREF colour) {
  int n = 0;
  for (int y = 120; y < shot.height - 60; ++y)
    for (int x = 60; x < shot.width - 30; ++x) n += shot.pixel(x, y) == colour;
  return n;
}

// A first session on the shipped fit, as a person would go through it:
// "Get previous settings" (two parameter files of the other programs are
// reported missing), C-time answered without a fit; then a model file that
// does not exist (reported missing, with the two files), for which ZEPRIN
// fails, started without waiting from the Fitting menu (then Gr-time) and
// with C-time; then the shipped model again (Model file) and C-time with a
// fit.  The programs are found beside KAVOLD.
TEST_F(KavoldOnScreen, ComputesAndDrawsTheTimeSpectraOfTheShippedExample) {
  const std::string script = dir.read("next.INP");
  ASSERT_TRUE(session(
      "menu Settings > Get previous settings; accept; accept; wait 300; tool 0; accept; wait 500; "
      "shot computed.png; panes computed.txt; menu Theory > Model file; type 1000 nothere.inf; accept; accept; "
      "accept; accept; wait 300; menu FIT options > Fitting > Time spectra; modal started.txt; accept; wait 500; "
      "shot started.png; tool 1; wait 500; shot shown.png; "
      "tool 0; accept; modal failed.txt; accept; wait 500; shot failed.png; "
      "menu Theory > Model file; type 1000 Fe57start.inf; accept; accept; accept; wait 300; "
      "tool 0; check 1035; accept; wait 500; shot fitted.png"));
  EXPECT_TRUE(dir.exists("BUFFTN2.RES"));
  EXPECT_TRUE(dir.exists("LAYSPC.RES"));  // the fit's model
  EXPECT_EQ(dir.read("next.INP"), script);  // the script is back
  EXPECT_EQ(splitLines(dir.read("computed.txt")).at(2), "Ready");

  // Both spectra: the experiment as blue squares, the theory as a red line.
  const auto computed = winlayer::hooks::loadPng((dir.path() / "computed.png").string());
  const auto fitted = winlayer::hooks::loadPng((dir.path() / "fitted.png").string());
  ASSERT_TRUE(computed && fitted);
  for (const auto* shot : {&*computed, &*fitted}) {
    EXPECT_GT(inPlot(*shot, RGB(0, 0, 255)), 2000);
    EXPECT_GT(inPlot(*shot, RGB(255, 0, 0)), 1000);
  }

  // The failed runs: one message each with what ZEPRIN wrote last (also
  // passed on to KAVOLD's own console), and the plot as the run before left
  // it: after the start without waiting, no hint to press Gr-time, and
  // Gr-time shows the earlier run under its own model name and merit.
  const std::string error = "ZEPRIN: run-time error: file not found (unit 1, file \"nothere.inf\")";
  EXPECT_EQ(dir.read("started.txt"), "ZEPRIN.exe stopped with exit status 2. Its last lines:\n" + error + "\n");
  EXPECT_EQ(dir.read("failed.txt"),
            "ZEPRIN.exe stopped with exit status 2. Its last lines:\n" + error + "\nNothing of this run was read.\n");
  EXPECT_NE(output.find(error), std::string::npos) << output;
  for (const char* name : {"started.png", "shown.png", "failed.png"}) {
    const auto failed = winlayer::hooks::loadPng((dir.path() / name).string());
    ASSERT_TRUE(failed) << name;
    ASSERT_EQ(std::make_pair(failed->width, failed->height), std::make_pair(computed->width, computed->height));
    int differing = 0;
    for (int y = 60; y < failed->height - 30; ++y)
      for (int x = 0; x < failed->width; ++x) differing += failed->pixel(x, y) != computed->pixel(x, y);
    EXPECT_EQ(differing, 0) << name;
  }
}

// A whole session with the real programs: the isotope, fewer steps per
// parameter, then from zero: the two time spectra of the shipped fit and the
// delayed and prompt curves of the shipped delayed fit are loaded, a film
// of 160 Angstrom on silicon is built in the model dialogs, computed
// (C-time), its thickness given a step in List_par (the editor is a script
// here), fitted to both experiments at once (Joint_FIT) and the fitted
// model saved under a new name (New_M).
TEST(RealWindow, ASessionFromZeroToAJointFitAndANewModel) {
  if (!nrstest::haveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
  namespace fs = std::filesystem;
  if (!fs::exists(fs::path(NRS_BIN_DIR) / "MOLVEC")) GTEST_SKIP() << "MOLVEC is not built";
  nrstest::TempDir dir;
  const fs::path examples = fs::path(NRS_SOURCE_DIR) / "examples";
  for (const char* f : {"fe57-fit/fe57_2.8mrad.dat", "fe57-fit/fe57_3.4mrad.dat", "fe57-delayed/fe57_delp.dat"})
    fs::copy_file(examples / f, dir.path() / fs::path(f).filename());
  fs::copy_file(fs::path(NRS_SOURCE_DIR) / "data/FeConst.INI", dir.path() / "FeConst.INI");
  dir.write("edit.sh",
            "case \"$1\" in *LIST_PAR.res) awk 'NR <= 3 && $1 == 1 && $2 == 1 { $4 = \"3.0\" } { print }' \"$1\" > "
            "list.new && mv list.new \"$1\";; esac\n");
  const std::string script =
      "size 1000 700; wait 300; menu Settings > Select isotope > 57Fe; accept; "
      "menu Calc. options > TIM spectra > Dialog; type 1001 2; accept; "
      "menu Settings > or Start from zero; "
      "type 1000 2; type 1002 fe57_2.8mrad.dat; type 1003 fe57_3.4mrad.dat; type 1001 1; type 1011 fe57_delp.dat; "
      "accept; check 1035; accept; "
      "type 1025 film.inf; type 1000 2; type 1005 1; type 1013 1; type 1016 0; accept; "
      "accept; type 1001 32.5; accept; "
      "accept; type 1001 160; type 1002 -14.66; type 1003 0.62; type 1012 90; type 1017 1; accept; "
      "accept; type 1001 1000; type 1002 -4.64; type 1003 0.045; type 1012 90; type 1017 0; accept; "
      "check 1034; accept; type 1002 2; type 1003 2.8; type 1004 3.4; accept; wait 300; "
      "tool 0; wait 300; menu FIT options > List_par; wait 300; menu FIT options > Fitting > Joint_FIT; wait 300; "
      "tool 11; type 1000 fitted.inf; check 1034; accept; accept; wait 500; shot final.png; quit";
  std::string output;
  ASSERT_EQ(runKavold(script, output, "KAVOLD_EDITOR='sh " + (dir.path() / "edit.sh").string() + "'", 900), 0)
      << output;

  EXPECT_EQ(dir.read("Tconst.INI"), dir.read("FeConst.INI"));
  EXPECT_NE(dir.read("ZEPRIN.INP").find("\t 2 \t ISTOP"), std::string::npos);
  EXPECT_EQ(dir.read("FILESE.INP"), "\t 2 \nfe57_2.8mrad.dat\nfe57_3.4mrad.dat\n");
  // The model of the dialogs, with the thickness varied in the script that
  // the joint fit put back; the fit's model in "BUFF.res", saved anew.
  const std::string film = dir.read("film.inf");
  EXPECT_NE(film.find("\n 1   160.0000   -14.660    0.620"), std::string::npos) << film;
  EXPECT_EQ(dir.read("NEXT.INP"), "    1   \n    1     1    3.00000     0     0  1.00  \n"
                                  "    0     0    0.00000     0     0  1.00   \n");
  EXPECT_EQ(dir.read("save.res"), film);
  EXPECT_EQ(dir.read("BUFF.res"), dir.read("LAYSPC.RES"));
  EXPECT_EQ(dir.read("fitted.inf"), dir.read("BUFF.res"));
  EXPECT_EQ(dir.read("FILEM.INP").substr(0, 11), "fitted.inf\n");
  const std::string log = dir.read("Joint.res");
  EXPECT_EQ(log.substr(0, 16), " initial epssn: ") << log;
  EXPECT_GT(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_EQ(dir.read("STOP.INP"), " 1 \n");
  for (const char* name : {"BUFFTN2.RES", "DELAY2.res", "PROMP2.res", "MODELN.RES"})
    EXPECT_TRUE(dir.exists(name)) << name;

  // The final runs are drawn in the delayed and prompt mode: the experiment
  // in black and dark red squares, the curves in blue and red.
  const auto shot = winlayer::hooks::loadPng((dir.path() / "final.png").string());
  ASSERT_TRUE(shot);
  fs::copy_file(dir.path() / "final.png", fs::path(::testing::TempDir()) / "kavold_session_final.png",
                fs::copy_options::overwrite_existing);
  EXPECT_GT(inPlot(*shot, RGB(0, 0, 0)), 500);
  EXPECT_GT(inPlot(*shot, RGB(0, 0, 255)), 200);
}

}  // namespace

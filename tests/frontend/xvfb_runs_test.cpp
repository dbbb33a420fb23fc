// A console program that fails under KAVOLD as a real window (Xvfb), with
// the real ZEPRIN: the shipped fit computed once, then a model file that
// does not exist.
#include <gtest/gtest.h>

#include <filesystem>

#include "frontend/winlayer/hooks.hpp"
#include "tempdir.hpp"
#include "xvfb_session.hpp"

namespace {

namespace fs = std::filesystem;

// One message tells of the failure, with what ZEPRIN wrote last (also
// passed on to KAVOLD's own console); the plot stays as the first run left
// it, under that run's model name.
TEST(RealWindowRuns, AFailedRunIsReportedOnceAndTheOldCurvesStayAsTheyWere) {
  if (!nrstest::haveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
  nrstest::TempDir dir;
  for (const auto& e : fs::directory_iterator(fs::path(NRS_SOURCE_DIR) / "examples" / "fe57-fit"))
    fs::copy_file(e.path(), dir.path() / e.path().filename());
  // After the model dialog "Model file" reads the settings again: the
  // model and two parameter files of the other programs are missing.
  const std::string script =
      "size 1000 700; wait 300; menu Settings > Get previous settings; accept; accept; wait 300; tool 0; accept; "
      "wait 500; shot first.png; menu Theory > Model file; type 1000 nothere.inf; accept; accept; accept; accept; "
      "wait 300; tool 0; accept; modal failed.txt; accept; wait 500; shot failed.png; quit";
  std::string output;
  ASSERT_EQ(nrstest::runKavold(script, output), 0) << output;

  const std::string error = "ZEPRIN: run-time error: file not found (unit 1, file \"nothere.inf\")";
  EXPECT_EQ(dir.read("failed.txt"),
            "ZEPRIN.exe stopped with exit status 2. Its last lines:\n" + error + "\nNothing of this run was read.\n");
  EXPECT_NE(output.find(error), std::string::npos) << output;

  const auto first = winlayer::hooks::loadPng((dir.path() / "first.png").string());
  const auto failed = winlayer::hooks::loadPng((dir.path() / "failed.png").string());
  ASSERT_TRUE(first && failed);
  ASSERT_EQ(first->width, failed->width);
  ASSERT_EQ(first->height, failed->height);
  int differing = 0, blue = 0;
  for (int y = 60; y < first->height - 30; ++y)
    for (int x = 0; x < first->width; ++x) {
      differing += first->pixel(x, y) != failed->pixel(x, y);
      blue += failed->pixel(x, y) == winlayer::RGB(0, 0, 255);
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(blue, 2000);  // the experiments are still there
}

}  // namespace

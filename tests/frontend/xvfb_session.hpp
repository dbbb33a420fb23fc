// KAVOLD as a real window on a virtual X server (Xvfb), driven by a script
// of the window layer's hook (WINLAYER_SCRIPT); shared by the window tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "programtest.hpp"

namespace nrstest {

inline bool haveXvfb() { return std::system("command -v xvfb-run > /dev/null 2>&1") == 0; }

// Runs KAVOLD in the current directory on a virtual X server, driven by a
// script of the window layer; returns its exit status.
inline int runKavold(const std::string& script, std::string& output, const std::string& environment = "",
                     int seconds = 120) {
  const std::string command = "env WINLAYER_SCRIPT='" + script + "' " + environment +
                              " QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 timeout " + std::to_string(seconds) +
                              " xvfb-run -a -s '-screen 0 1280x1024x24' " + std::string(NRS_BIN_DIR) + "/KAVOLD";
  return nrstest::run(command, &output);
}

// KAVOLD on a copy of the shipped fit; skipped where there is no Xvfb.
class KavoldOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
    copyExample(dir, "fe57-fit");
  }
  // One session through the steps, in a window of 1000 x 700, to the quit,
  // with `editor` as the text editor (none named: KAVOLD's own).  What
  // KAVOLD wrote to its console goes to `output`.
  ::testing::AssertionResult session(const std::string& steps, const std::string& editor = "") {
    const std::string script = "size 1000 700; wait 300; " + steps + "; wait 300; quit";
    if (runKavold(script, output, "KAVOLD_EDITOR=" + editor, 60) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << output;
  }
  TempDir dir;
  std::string output;
};

}  // namespace nrstest

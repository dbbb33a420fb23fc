// KAVOLD as a real window on a virtual X server (Xvfb), driven by a script
// of the window layer's hook (WINLAYER_SCRIPT); shared by the window tests.
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tempdir.hpp"

namespace nrstest {

inline bool haveXvfb() { return std::system("command -v xvfb-run > /dev/null 2>&1") == 0; }

inline std::vector<std::string> linesOf(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// Runs KAVOLD in the current directory on a virtual X server, driven by a
// script of the window layer; returns its exit status.
inline int runKavold(const std::string& script, std::string& output, const std::string& environment = "",
                     int seconds = 120) {
  const std::string command = "env WINLAYER_SCRIPT='" + script + "' " + environment +
                              " QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 timeout " + std::to_string(seconds) +
                              " "
                              "xvfb-run -a -s '-screen 0 1280x1024x24' " +
                              std::string(NRS_BIN_DIR) + "/KAVOLD";
  return nrstest::run(command, &output);
}

}  // namespace nrstest

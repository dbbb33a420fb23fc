// Helpers for the tests of the console programs' phases and executables.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "programs/common/fio.hpp"

namespace nrstest {

// Runs `body`; returns the status of the program stop it ends with, or -1
// when it returns normally.  Run-time errors pass through.
template <class F>
int stopStatus(F&& body) {
  try {
    body();
  } catch (const fio::ProgramStop& s) {
    return s.status;
  }
  return -1;
}

inline std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

inline bool hasLine(const std::string& text, const std::string& line) {
  for (const auto& l : splitLines(text))
    if (l == line) return true;
  return false;
}

// A file of the source tree.
inline std::string sourcePath(const std::string& rel) { return std::string(NRS_SOURCE_DIR) + "/" + rel; }

}  // namespace nrstest

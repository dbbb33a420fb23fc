// Helpers for the tests of the console programs' phases and executables.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "programs/common/fio.hpp"
#include "tempdir.hpp"

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

// The files of a shipped example, copied into `dir`.
inline void copyExample(const TempDir& dir, const std::string& example) {
  std::filesystem::copy(sourcePath("examples/" + example), dir.path(),
                        std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive);
}

// The text of record n (from 1) of `text`, empty past its end.
inline std::string record(const std::string& text, int n) {
  const std::vector<std::string> lines = splitLines(text);
  return n >= 1 && n <= static_cast<int>(lines.size()) ? lines[n - 1] : std::string();
}

// Replaces record n (from 1) of the file `name` in `dir` by `text`.
inline void setRecord(const TempDir& dir, const std::string& name, int n, const std::string& text) {
  std::vector<std::string> lines = splitLines(dir.read(name));
  if (n < 1 || n > static_cast<int>(lines.size())) throw std::out_of_range(name + " has no record " + std::to_string(n));
  lines[n - 1] = text;
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  dir.write(name, out);
}

}  // namespace nrstest

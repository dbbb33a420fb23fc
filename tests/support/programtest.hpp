// Helpers for the tests of the console programs' phases and executables.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
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

// One replacement in a file of a working directory: the first `from` in
// `file` becomes `to`.
struct Edit {
  std::string file, from, to;
};

// The files of a shipped example, copied into `dir`, with `edits` made.
inline void copyExample(const TempDir& dir, const std::string& example, const std::vector<Edit>& edits = {}) {
  std::filesystem::copy(sourcePath("examples/" + example), dir.path(),
                        std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive);
  for (const Edit& e : edits) {
    std::string text = dir.read(e.file);
    const auto p = text.find(e.from);
    if (p == std::string::npos) throw std::invalid_argument(e.file + " does not hold \"" + e.from + "\"");
    dir.write(e.file, text.replace(p, e.from.size(), e.to));
  }
}

struct RunResult {
  int status = 0;
  std::string output;  // the console's, stdout and stderr
};

// The console program `name` of the build, run in the current directory;
// `env` (assignments such as "OMP_NUM_THREADS=1 ") goes before it.
inline RunResult runProgram(const std::string& name, const std::string& env = "") {
  RunResult r;
  r.status = run(env + std::string(NRS_BIN_DIR) + "/" + name, &r.output);
  return r;
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

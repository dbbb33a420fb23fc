// A shipped example copied into a test's temporary working directory, and
// edits of its files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "programtest.hpp"
#include "tempdir.hpp"

namespace nrstest {

inline void copyExample(const TempDir& dir, const std::string& example) {
  namespace fs = std::filesystem;
  fs::copy(sourcePath("examples/" + example), dir.path(), fs::copy_options::overwrite_existing | fs::copy_options::recursive);
}

// Replaces the first `from` in `file` by `to`.
inline void replaceIn(const TempDir& dir, const std::string& file, const std::string& from, const std::string& to) {
  std::string text = dir.read(file);
  const auto p = text.find(from);
  ASSERT_NE(p, std::string::npos) << file << ": " << from;
  dir.write(file, text.replace(p, from.size(), to));
}

}  // namespace nrstest

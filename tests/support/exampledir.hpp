// Edits of the files of a shipped example copied into a test's temporary
// working directory (nrstest::copyExample).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "programtest.hpp"
#include "tempdir.hpp"

namespace nrstest {

// Replaces the first `from` in `file` by `to`.
inline void replaceIn(const TempDir& dir, const std::string& file, const std::string& from, const std::string& to) {
  std::string text = dir.read(file);
  const auto p = text.find(from);
  ASSERT_NE(p, std::string::npos) << file << ": " << from;
  dir.write(file, text.replace(p, from.size(), to));
}

}  // namespace nrstest

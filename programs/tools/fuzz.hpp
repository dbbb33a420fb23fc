// Seeded mutations of a console program's working directory and the checks
// of one run on it, for the robustness test nrs_fuzz.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// A small deterministic generator: the same seed gives the same mutations on
// every platform.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : s_(seed) {}
  std::uint64_t next();
  // A whole number in 0..n-1 (n >= 1).
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }

 private:
  std::uint64_t s_;
};

// The input files of a working directory: every regular file but the
// documentation and scripts (*.md, *.sh), sorted by name.
std::vector<std::string> inputFiles(const std::filesystem::path& dir);

// One mutation of one file's text, described for the report.
struct Mutation {
  std::string file;  // name within the working directory
  std::string what;  // e.g. "number 3 -> 2147483647 on line 4"
};

// Changes the text of one file: a number replaced by a value at or past a
// limit, or by a form that is no number; a line deleted, doubled or swapped;
// the file cut short, given a foreign byte or a flipped bit, replaced by
// garbage; a token replaced by a list-directed special (r*, /, ,,).
// Returns the description of what was done.
std::string mutateText(std::string& text, Rng& rng);

// Applies one seeded mutation to one input file of `dir` (the file may also
// be emptied or removed).
Mutation mutateDirectory(const std::filesystem::path& dir, std::uint64_t seed);

// Whether a result file's text holds a value that is not finite: a token
// NaN, Inf, Infinity (any case, any sign), also run into a number field.
bool holdsNonFinite(std::string_view text);

// Whether a program's console output holds a sanitizer report or an
// internal error (an exception no reader expected).
bool reportsFault(std::string_view output);

// Whether the console output says anything beyond progress marks "*".
bool saysWhy(std::string_view output);

}  // namespace fuzz

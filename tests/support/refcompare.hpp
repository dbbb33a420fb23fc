// Comparison of a result file with its stored reference, number by number,
// allowing for rounding in the last printed digit.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nrstest {

// Relative tolerance on top of the last printed digit: the programs compute
// most curves in single precision, so a value printed with more digits than
// a float holds may differ there between compilers and platforms.
inline constexpr double kRelativeTolerance = 1e-6;

// A line cut into numbers and the text between them (blanks only separate).
struct Item {
  bool number = false;
  double value = 0;
  double unit = 0;   // one unit of the last printed digit; 0 for an integer
  std::string text;  // as printed
};
std::vector<Item> items(std::string_view line);

// Two numbers agree when they differ by at most one unit of the last digit
// printed (the finer of the two prints) plus kRelativeTolerance of their size;
// integers and text must be equal.
bool agree(const Item& stored, const Item& fresh);

// The first line (counted from 1) where the two files disagree, with both
// lines ("" past the end of a file); nothing when they agree.
struct Difference {
  int line = 0;
  std::string stored, fresh;
};
std::optional<Difference> firstDifference(std::string_view stored, std::string_view fresh);

// The manifest "tests/reference/<example>/manifest.txt": the program that
// runs the example, then the result files it compares, one per line; lines
// starting with '#' and empty lines are skipped.
struct Manifest {
  std::string program;
  std::vector<std::string> files;
};
std::optional<Manifest> parseManifest(std::string_view text);

}  // namespace nrstest

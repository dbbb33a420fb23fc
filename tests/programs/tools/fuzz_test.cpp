// The checks and the mutations of the robustness test nrs_fuzz.
#include "programs/tools/fuzz.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

// What the finite-value check of a result file must and must not flag: the
// writers spell non-finite values NaN, Inf, -Inf, also inside a fixed field
// run into the number before it; names and words that merely hold the letters
// are not values.
TEST(FuzzChecks, NonFiniteValuesAreFoundAndWordsAreNot) {
  struct Case {
    const char* text;
    bool nonFinite;
  };
  const Case cases[] = {
      {"    1.2500    3.0000\n", false},
      {"    1.2500       NaN\n", true},
      {"   -Inf 0.0\n", true},
      {" 2  12.5000-Inf\n", true},
      {"  1  12.5Inf", true},
      {" x = Infinity\n", true},
      {"nan", true},
      {"                         LAYSPC.INF\n", false},
      {" information on the nanometre scale\n", false},
      {" Fe57film.inf\n", false},
  };
  for (const Case& c : cases) EXPECT_EQ(fuzz::holdsNonFinite(c.text), c.nonFinite) << c.text;
}

TEST(FuzzChecks, FaultsAndMessagesOnTheConsole) {
  EXPECT_TRUE(fuzz::reportsFault("==12==ERROR: AddressSanitizer: heap-buffer-overflow"));
  EXPECT_TRUE(fuzz::reportsFault("sublay.cpp:40:7: runtime error: signed integer overflow"));
  EXPECT_TRUE(fuzz::reportsFault("ZEPRIN: internal error: vector"));
  EXPECT_FALSE(fuzz::reportsFault("ZEPRIN: run-time error: unreadable number \"x\" (unit 5, file \"ZEPRIN.INP\")"));
  EXPECT_FALSE(fuzz::saysWhy(""));
  EXPECT_FALSE(fuzz::saysWhy("*****\n  *\n"));
  EXPECT_TRUE(fuzz::saysWhy("***\n Number of sublayers is larger than Nmax!\n"));
}

// The same seed changes the same file in the same way; other seeds reach
// every input file, never the documentation, and change what they touch.
TEST(FuzzMutations, SeededAndConfinedToTheInputFiles) {
  nrstest::TempDir dir;
  const std::string example = nrstest::sourcePath("examples/fe57-film");
  const auto inputs = fuzz::inputFiles(example);
  EXPECT_EQ(inputs.size(), 7u);
  EXPECT_EQ(std::count(inputs.begin(), inputs.end(), "README.md"), 0);

  auto mutated = [&](std::uint64_t seed, const std::string& name) {
    std::filesystem::remove_all(name);
    std::filesystem::copy(example, name);
    return fuzz::mutateDirectory(name, seed);
  };
  std::set<std::string> touched;
  for (std::uint64_t seed = 1; seed <= 120; ++seed) {
    const fuzz::Mutation a = mutated(seed, "a"), b = mutated(seed, "b");
    ASSERT_EQ(a.file, b.file);
    ASSERT_EQ(a.what, b.what);
    const std::string text = nrstest::slurp("a/" + a.file);
    EXPECT_EQ(text, nrstest::slurp("b/" + b.file));
    touched.insert(a.file);
    if (a.what != "removed") {
      EXPECT_TRUE(text != nrstest::slurp(example + "/" + a.file)) << a.what;
    }
  }
  EXPECT_EQ(touched.size(), inputs.size());
}

}  // namespace

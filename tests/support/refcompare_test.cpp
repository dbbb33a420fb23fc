// The comparison of result files with their stored references: what counts
// as rounding in the last printed digit and what as a different result.
#include "refcompare.hpp"

#include <gtest/gtest.h>

namespace {

using nrstest::firstDifference;

TEST(StoredReference, LinesAgreeUpToTheLastPrintedDigit) {
  struct Case {
    const char* stored;
    const char* fresh;
    bool agree;
  };
  const Case cases[] = {
      {"   0.12345   1.00000", "   0.12345   1.00000", true},
      {"   0.12345", "   0.12346", true},              // rounding of the last digit
      {"   0.12345", "   0.12347", false},             // two units
      {"   9.99999", "  10.00000", true},              // a carry moves the column
      {"  -0.0000", "   0.0000", true},                // the sign of a printed zero
      {"   0.12345", "  -0.12345", false},             // a change of sign
      {"  1.5E-03", "  1.6E-03", true},                // one unit of the mantissa
      {"  1.5E-03", "  1.7E-03", false},
      {" 176.06001", " 176.06009", true},             // beyond single precision
      {" 176.0600", " 176.0620", false},
      {"  12  512", "  12  513", false},               // integers are exact
      {"  3   2.800", "  3   2.800  4.000", false},    // a value more
      {"    Bhf(T)", "    BHF(T)", false},             // text is exact
      {"  1.00000-0.50000", "  1.00001-0.50000", true},  // fields that touch
      {" JZ1,JZ2 - points   12  40", " JZ1,JZ2 - points   12  40", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.stored) + " | " + c.fresh);
    const auto d = firstDifference(c.stored, c.fresh);
    EXPECT_EQ(!d.has_value(), c.agree);
  }
}

TEST(StoredReference, FirstDifferenceNamesItsLineAndAShorterFileDisagrees) {
  const auto d = firstDifference(" 1.000\n 2.000\n 3.000\n", " 1.000\n 2.000\n 3.100\n");
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(d->line, 3);
  EXPECT_EQ(d->stored, " 3.000");
  EXPECT_EQ(d->fresh, " 3.100");

  const auto shorter = firstDifference(" 1.000\n 2.000\n", " 1.000\n");
  ASSERT_TRUE(shorter.has_value());
  EXPECT_EQ(shorter->line, 2);
  EXPECT_EQ(shorter->fresh, "");
  EXPECT_FALSE(firstDifference("", "").has_value());
}

TEST(StoredReference, ManifestNamesTheProgramThenItsFiles) {
  const auto m = nrstest::parseManifest("# comment\n\nZEPRIN\nBUFFTN1.RES\n  LAYSPC.RES\n");
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->program, "ZEPRIN");
  EXPECT_EQ(m->files, (std::vector<std::string>{"BUFFTN1.RES", "LAYSPC.RES"}));
  EXPECT_FALSE(nrstest::parseManifest("# only a comment\nZEPRIN\n").has_value());
}

}  // namespace

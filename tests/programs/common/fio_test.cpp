#include "programs/common/fio.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <string>

#include "tempdir.hpp"

namespace {

using fio::formatRecords;
using fio::items;

TEST(FioFormat, FixedPointFields) {
  EXPECT_EQ(fio::fieldF(3.14159, 10, 4), "    3.1416");
  EXPECT_EQ(fio::fieldF(-0.5, 8, 3), "  -0.500");
  EXPECT_EQ(fio::fieldF(0.5, 4, 3), ".500");         // optional zero dropped when tight
  EXPECT_EQ(fio::fieldF(-0.00001, 7, 3), "  0.000");  // no negative zero
  EXPECT_EQ(fio::fieldF(3.0, 5, 0), "   3.");
  EXPECT_EQ(fio::fieldF(12345.678, 8, 3), " 12345.678");  // widened, not asterisks
  EXPECT_EQ(fio::fieldF(2.5e-7, 10, 6), "  0.000000");
}

TEST(FioFormat, IntegerAndExponentFields) {
  EXPECT_EQ(fio::fieldI(42, 5), "   42");
  EXPECT_EQ(fio::fieldI(-42, 3), "-42");
  EXPECT_EQ(fio::fieldI(123456, 3), " 123456");
  EXPECT_EQ(fio::fieldI(7, 5, 3), "  007");
  EXPECT_EQ(fio::fieldE(1234.6, 12, 4), "  0.1235E+04");
  EXPECT_EQ(fio::fieldE(-0.00012345, 12, 3), "  -0.123E-03");
  EXPECT_EQ(fio::fieldE(0.0, 10, 3), " 0.000E+00");
}

TEST(FioFormat, FormatListsWithTextGroupsAndSlashes) {
  EXPECT_EQ(formatRecords("(I2, F10.4, F10.3, F8.3, F11.3, 2F10.3, 3I6)",
                          items(3, 100.0, 7.5f, 0.25f, 1.0f, 2.0f, 3.0, 1, 2, 0)),
            " 3  100.0000     7.500   0.250      1.000     2.000     3.000     1     2     0\n");
  EXPECT_EQ(formatRecords("(' JZ,MEXP=',2I5)", items(1, 900)), " JZ,MEXP=    1  900\n");
  EXPECT_EQ(formatRecords("(/,' number of first point',/,' JZ,MEXP=',2I5)", items(4, 5)),
            "\n number of first point\n JZ,MEXP=    4    5\n");
  EXPECT_EQ(formatRecords("('it''s',I2)", items(1)), "it's 1\n");
  EXPECT_EQ(formatRecords("(I3,'  ',2(F5.1,'|'))", items(1, 1.0, 2.0)), "  1    1.0|  2.0|\n");
  EXPECT_EQ(formatRecords("(3X,I1)", items(5)), "   5\n");
  EXPECT_EQ(formatRecords("(/,/,'ZEPRIN calculations for:')", items()), "\n\nZEPRIN calculations for:\n");
}

TEST(FioFormat, ListLongerThanFormatStartsNewLines) {
  // A short list stops at the first field without a value.
  EXPECT_EQ(formatRecords("(' NSPC,ANGLES (mrad) = ',I5,4F8.3)", items(2, 3.0, 4.5)),
            " NSPC,ANGLES (mrad) =     2   3.000   4.500\n");
  // A long one reverts to the whole format ...
  EXPECT_EQ(formatRecords("(2F6.1)", items(1.0, 2.0, 3.0, 4.0, 5.0)), "   1.0   2.0\n   3.0   4.0\n   5.0\n");
  // ... or to its last top-level group.
  EXPECT_EQ(formatRecords("('x',(I2))", items(1, 2, 3)), "x 1\n 2\n 3\n");
  EXPECT_EQ(formatRecords("(/,'   corrected S   ',/,6F9.5)", items(0.25f, 0.75f)),
            "\n   corrected S   \n  0.25000  0.75000\n");
}

TEST(FioFormat, MismatchAndBadFormatsAreProgrammingErrors) {
  EXPECT_THROW(formatRecords("(I5)", items(1.5)), std::logic_error);
  EXPECT_THROW(formatRecords("(F5.1)", items(1)), std::logic_error);
  EXPECT_THROW(formatRecords("(I5", items(1)), std::logic_error);
  EXPECT_THROW(formatRecords("('text')", items(1)), std::logic_error);
}

TEST(FioFormat, FreeFormatLayout) {
  EXPECT_EQ(fio::freeFormatLine(items(" ALFA=", 8.56f)), "  ALFA= 8.56\n");
  EXPECT_EQ(fio::freeFormatLine(items(12, "             NNst")), " 12             NNst\n");
  EXPECT_EQ(fio::freeFormatLine(items(" I1,I2=", 3, 500)), "  I1,I2= 3 500\n");
  EXPECT_EQ(fio::freeFormatLine(items(1.0f, 2.5)), " 1.0 2.5\n");
  EXPECT_EQ(fio::freeFormatLine(items(1.0e-20)), " 1.0E-20\n");
  EXPECT_EQ(fio::freeFormatLine(items()), " \n");
}

TEST(FioRead, FreeFormAcrossLinesWithTabsAndCommas) {
  nrstest::TempDir dir;
  dir.write("in.txt",
            "\t 2 \t  Jway   -   The way of computation: 1  -  matrix\n"
            "1.5,2.5\t3.5\n"
            "\n"
            "4.5 trailing 99\n"
            "7 8\n"
            "3*0.5 1d2\n"
            "1,,3\n"
            "5 / 6\n"
            "-17   \r\n");
  fio::Unit u(5);
  u.openOld("in.txt");
  int jway = 0;
  u.read(jway);
  EXPECT_EQ(jway, 2);
  float w[4] = {};
  u.read(w[0], w[1], w[2], w[3]);  // crosses a blank line; the rest of its last line is dropped
  EXPECT_FLOAT_EQ(w[0], 1.5f);
  EXPECT_FLOAT_EQ(w[3], 4.5f);
  int a = 0, b = 0;
  u.read(a, b);
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 8);
  double r[4] = {};
  u.read(r[0], r[1], r[2], r[3]);
  EXPECT_DOUBLE_EQ(r[2], 0.5);
  EXPECT_DOUBLE_EQ(r[3], 100.0);
  int x = -1, y = -1, z = -1;
  u.read(x, y, z);  // the null value leaves y as it was
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, -1);
  EXPECT_EQ(z, 3);
  x = y = -1;
  u.read(x, y);  // a slash ends the read
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, -1);
  std::int16_t s = 0;
  u.read(s);
  EXPECT_EQ(s, -17);
  EXPECT_FALSE(u.tryRead(a));
}

TEST(FioRead, NamesFixedFieldsAndSkips) {
  nrstest::TempDir dir;
  dir.write("in.txt",
            "header line\n"
            "layer.inf                          tail beyond thirty-two\n"
            "12345\n"
            " 7xx\n");
  fio::Unit u(8);
  u.openOld("in.txt");
  u.skip();
  EXPECT_EQ(u.readA(32), "layer.inf");
  EXPECT_EQ(u.readI(2), 12);
  EXPECT_THROW(u.readI(3), fio::RuntimeError);
}

TEST(FioRead, FailuresNameTheErrorUnitAndFile) {
  nrstest::TempDir dir;
  dir.write("bad.txt", "1\n2.5x\n");
  fio::Unit u(5);
  try {
    u.openOld("missing.inp");
    FAIL();
  } catch (const fio::RuntimeError& e) {
    EXPECT_STREQ(e.what(), "run-time error: file not found (unit 5, file \"missing.inp\")");
  }
  u.openOld("bad.txt");
  int n = 0;
  u.read(n);
  float f = 0;
  try {
    u.read(f);
    FAIL();
  } catch (const fio::RuntimeError& e) {
    EXPECT_STREQ(e.what(), "run-time error: unreadable number \"2.5x\" (unit 5, file \"bad.txt\", line 2)");
  }
  try {
    u.read(n);
    FAIL();
  } catch (const fio::RuntimeError& e) {
    EXPECT_STREQ(e.what(), "run-time error: end of file (unit 5, file \"bad.txt\", line 2)");
  }
  // An integer field given a real, and a 16-bit integer out of its range.
  dir.write("ints.txt", "1.0\n70000\n");
  u.openOld("ints.txt");
  EXPECT_THROW(u.read(n), fio::RuntimeError);
  std::int16_t s = 0;
  EXPECT_THROW(u.read(s), fio::RuntimeError);
}

// The number forms of a list-directed read and nothing else: a sign, digits,
// a point, an exponent with E or D.  Values that are not finite, beyond the
// range of the target's precision, or written as C would write them are
// unreadable numbers, and the message shows the token printable and short.
TEST(FioRead, OnlyListDirectedNumberFormsAreRead) {
  enum Target { Double, Single, Int };
  struct Case {
    std::string token;
    Target target;
    bool readable;
    double value;
  };
  const std::string nul = std::string("10.0") + '\0' + "abc";
  const Case cases[] = {
      {"1d3", Double, true, 1000},     {"-.5", Double, true, -0.5},     {"5.", Double, true, 5},
      {"+2E-1", Single, true, 0.2f},   {"1.5D+2", Single, true, 150},   {"1e-400", Double, true, 0},
      {"3e38", Single, true, 3e38f},   {"1e39", Double, true, 1e39},    {"+7", Int, true, 7},
      {"nan", Double, false, 0},       {"-Infinity", Double, false, 0}, {"inf", Single, false, 0},
      {"1e400", Double, false, 0},     {"1e39", Single, false, 0},      {std::string(400, '9'), Double, false, 0},
      {"0x10", Double, false, 0},      {"0x1p4", Double, false, 0},     {"0x10", Int, false, 0},
      {"2.5f", Double, false, 0},      {"7L", Int, false, 0},           {nul, Double, false, 0},
      {"1e", Double, false, 0},        {"1.2.3", Double, false, 0},     {".", Double, false, 0},
      {"+", Double, false, 0},         {"1e3", Int, false, 0},          {"1.0", Int, false, 0},
  };
  nrstest::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.token);
    dir.write("in.txt", c.token + "\n");
    fio::Unit u(5);
    u.openOld("in.txt");
    double d = -1;
    float f = -1;
    int i = -1;
    auto read = [&] {
      if (c.target == Double) u.read(d);
      if (c.target == Single) u.read(f);
      if (c.target == Int) u.read(i);
    };
    if (!c.readable) {
      try {
        read();
        ADD_FAILURE() << "read as a number";
      } catch (const fio::RuntimeError& e) {
        const std::string what = e.what();
        EXPECT_EQ(what.find("run-time error: unreadable number \""), 0u) << what;
        EXPECT_LT(what.size(), 120u) << what;
        EXPECT_EQ(what.find('\0'), std::string::npos);
      }
      continue;
    }
    read();
    EXPECT_EQ(c.target == Double ? d : c.target == Single ? f : i, c.value);
  }
}

TEST(FioUnits, NamesAreMatchedWithoutRegardToCase) {
  nrstest::TempDir dir;
  dir.write("NEXT.INP", "1\n");
  dir.write("STOP.INP", "5\n");
  fio::Unit u(6);
  u.openOld("next.INP");
  int j = 0;
  u.read(j);
  EXPECT_EQ(j, 1);
  u.close();
  u.openNew("stop.inp");  // rewrites STOP.INP, makes no second file
  u.print(0);
  u.close();
  EXPECT_FALSE(dir.exists("stop.inp"));
  EXPECT_EQ(dir.read("STOP.INP"), " 0\n");
  u.openOldOrCreate("absent.inp");  // created empty; the read then ends the program
  EXPECT_TRUE(dir.exists("absent.inp"));
  EXPECT_THROW(u.read(j), fio::RuntimeError);
}

TEST(FioUnits, WritesGoToTheFile) {
  nrstest::TempDir dir;
  {
    fio::Unit u(3);
    u.openNew("OLD_ANG.RES");
    u.write("(F10.4)", 3.5);
    u.write("(F10.4)", 4.25);
  }
  EXPECT_EQ(dir.read("OLD_ANG.RES"), "    3.5000\n    4.2500\n");
}

std::string probe() { return std::string(NRS_BIN_DIR) + "/fio_probe"; }

TEST(FioProgram, RunTimeFailuresEndWithMessageAndNonZeroStatus) {
  nrstest::TempDir dir;
  std::string out;
  EXPECT_EQ(nrstest::run(probe() + " nothere.inp", &out), 2);
  EXPECT_NE(out.find("file not found (unit 5, file \"nothere.inp\")"), std::string::npos) << out;

  dir.write("bad.inp", "1 abc\n");
  EXPECT_EQ(nrstest::run(probe() + " bad.inp", &out), 2);
  EXPECT_NE(out.find("unreadable number \"abc\" (unit 5, file \"bad.inp\", line 1)"), std::string::npos) << out;

  dir.write("short.inp", "1\n");
  EXPECT_EQ(nrstest::run(probe() + " short.inp", &out), 2);
  EXPECT_NE(out.find("end of file (unit 5, file \"short.inp\""), std::string::npos) << out;

  dir.write("good.inp", "3\n2.5\n");
  EXPECT_EQ(nrstest::run(probe() + " good.inp", &out), 0);
  EXPECT_EQ(out, " read 3 2.5\n");
}

TEST(FioProgram, InterruptsEndTheRunWithTheirMessage) {
  EXPECT_EQ(fio::interruptMessage(SIGINT), "program aborting due to control-C event");
  EXPECT_EQ(fio::interruptMessage(SIGQUIT), "program aborting due to control-BREAK event");
  EXPECT_EQ(fio::interruptMessage(SIGHUP), "program aborting due to window-CLOSE event");
  nrstest::TempDir dir;
  dir.write("good.inp", "3 2.5\n");
  for (const char* sig : {"INT", "QUIT", "HUP"}) {
    std::string out;
    const std::string cmd = probe() + " good.inp wait & p=$!; sleep 0.3; kill -" + sig + " $p; wait $p";
    EXPECT_NE(nrstest::run("sh -c '" + cmd + "'", &out), 0);
    EXPECT_NE(out.find("program aborting due to"), std::string::npos) << out;
  }
}

}  // namespace

#include "programs/common/model.hpp"

#include <gtest/gtest.h>

#include <string>

#include "programs/common/modelout.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

using nrstest::hasLine;

// Three sublayers (a bilayer repeated 3 times on a substrate), two
// multiplets with angles per multiplet; one density record runs over two
// lines and one interface kind is 0.
const char* kModel =
    "                         LAYSPC.INF\n"
    "                  PARAMETERS OF SUBLAYERS\n"
    "  3      NNN\n"
    "  1  2      N1N,N2N\n"
    "  3         NRN\n"
    "  3    INORM\n"
    "  1   ISQ\n"
    " 0.80000     HKMAX\n"
    "  2       NM\n"
    "  2         IBHF\n"
    "       H1A           EL.DENS.        ZD1       ZD2     WIDTHKIND1 KIND2 KSTEP\n"
    " 1   20.5000   -14.660   0.620      1.500     2.000     3.000     1     2     0\n"
    " 2   30.2500   -10.000   0.500      0.000     0.000     0.000     3     4     0\n"
    " 3 1000.0000    -4.640   0.045      0.000     0.000     0.000     1     1     0\n"
    "   V header\n"
    "  1    0.60000  0.20000  0.00000  0.00000  0.00000  0.00000  0.00000  0.00000   90.0    0.0 0.000 0.000    0.0\n"
    "  2    0.00000  0.50000  0.00000  0.00000\n"
    "       0.00000  0.00000  0.00000  0.00000   45.0   30.0 0.250 0.125    5.0\n"
    "  3    0.00000  0.00000  0.00000  0.00000  0.00000  0.00000  0.00000  0.00000    0.0    0.0 0.000 0.000    0.0\n"
    "   S header\n"
    "  4    0.75000  0.25000  0.00000  0.00000  0.00000  0.00000  0.00000  0.00000\n"
    "   hyperfine header\n"
    "  5    33.0000  20.0000   0.0000   0.0000   0.0000   0.0000   0.0000   0.0000    Bhf(T)\n"
    "  6     0.5000   1.0000   0.0000   0.0000   0.0000   0.0000   0.0000   0.0000    dBhf(T)\n"
    "  7     0.0000   0.3500   0.0000   0.0000   0.0000   0.0000   0.0000   0.0000    IS(mm/s)\n"
    "  8    -0.1000   0.0000   0.0000   0.0000   0.0000   0.0000   0.0000   0.0000    EFG(mm/s)\n"
    "  9     0.0000   0.0500   0.0000   0.0000   0.0000   0.0000   0.0000   0.0000    GRd(mm/s)\n"
    "   angular header\n"
    " 11       90.0     10.0      0.0      0.0      0.0      0.0      0.0      0.0    BE\n"
    " 12        0.0     20.0      0.0      0.0      0.0      0.0      0.0      0.0    GA\n"
    " 13      0.000    0.500    0.000    0.000    0.000    0.000    0.000    0.000    RAND\n"
    " 14      0.000    0.250    0.000    0.000    0.000    0.000    0.000    0.000    PLAN\n"
    " 15        0.0      2.0      0.0      0.0      0.0      0.0      0.0      0.0    WID\n"
    "   KINDV header\n"
    "  1        1        2        1        1        1        1        1        1\n"
    "  2        0        1        1        1        1        1        1        1\n"
    "  3        1        1        1        1        1        1        1        1\n"
    "   ZDV header\n"
    "  1      0.000    0.000    0.000    0.000    0.000    0.000    0.000    0.000\n"
    "  2      1.250    0.000    0.000    0.000    0.000    0.000    0.000    0.000\n"
    "  3      0.000    0.000    0.000    0.000    0.000    0.000    0.000    0.000\n"
    "\n\nZEPRIN calculations for:\n trailer lines are not read\n";

struct Loaded {
  common::Model m;
  common::NuclearConstants nc;
  numlib::YVTable YV;
};

void load(const std::string& name, Loaded& L, int nspc = 0) {
  fio::Unit log(4);
  log.openNew("log");
  common::ModelFileRef f;
  f.name = name;
  f.NSPC = nspc;
  for (int i = 1; i <= nspc; ++i) f.angle(i) = 0.001 * (i + 1);
  L.YV.fill(0.0f);
  common::RDMODEL(log, f, L.m, L.nc, L.YV);
  log.close();
}

TEST(ModelFile, FillsTheParameterTableLineByLine) {
  nrstest::TempDir dir;
  dir.write("m.inf", kModel);
  Loaded L;
  load("m.inf", L, 2);
  const auto& YV = L.YV;
  EXPECT_EQ(L.m.NNN, 3);
  EXPECT_EQ(L.m.NRN, 3);
  EXPECT_EQ(L.m.JVN, 1);
  EXPECT_FLOAT_EQ(YV(1, 1), 20.5f);
  EXPECT_FLOAT_EQ(YV(1, 2), -14.66f);
  EXPECT_FLOAT_EQ(YV(1, 17), 1.5f);
  EXPECT_FLOAT_EQ(YV(1, 18), 2.0f);
  EXPECT_FLOAT_EQ(YV(1, 19), 3.0f);
  // The record split over two lines: densities, then the five angles.
  EXPECT_FLOAT_EQ(YV(2, 5), 0.5f);
  EXPECT_FLOAT_EQ(YV(2, 12), 45.0f);
  EXPECT_FLOAT_EQ(YV(2, 15), 0.125f);
  EXPECT_FLOAT_EQ(YV(2, 16), 5.0f);
  EXPECT_FLOAT_EQ(YV(2, 20), 1.25f);  // ZDV of multiplet 1
  EXPECT_FLOAT_EQ(YV(4, 1), 0.75f);   // S
  EXPECT_FLOAT_EQ(YV(4, 9), 0.8f);    // HKMAX
  EXPECT_FLOAT_EQ(YV(4, 10), 2.0f);   // angles in mrad
  EXPECT_FLOAT_EQ(YV(4, 11), 3.0f);
  EXPECT_FLOAT_EQ(YV(4, 12), 0.0f);
  EXPECT_FLOAT_EQ(YV(5, 2), 20.0f);  // Bhf
  EXPECT_FLOAT_EQ(YV(8, 1), -0.1f);  // EFG
  EXPECT_FLOAT_EQ(YV(11, 2), 10.0f);  // BE of multiplet 2
  EXPECT_FLOAT_EQ(YV(15, 2), 2.0f);   // WID
  for (int c = 1; c <= 27; ++c) EXPECT_EQ(YV(10, c), 0.0f) << c;  // line NNN+7 stays empty
  for (int l = 16; l <= 72; ++l)
    for (int c = 1; c <= 27; ++c) ASSERT_EQ(YV(l, c), 0.0f) << l << "," << c;
  EXPECT_FLOAT_EQ(L.nc.IS(2), 0.35f);
  EXPECT_EQ(L.m.KINDV(1, 2), 1);  // a kind of 0 grades as 1 and is held so
  EXPECT_FLOAT_EQ(L.m.HKS(1), 0.8f);
  EXPECT_FLOAT_EQ(L.m.period, 50.75f);
  EXPECT_EQ(L.m.ISQn, 1);
  EXPECT_EQ(L.m.INORMn, 3);
  const std::string log = dir.read("log");
  EXPECT_TRUE(hasLine(log, "JVN=  1"));
  EXPECT_TRUE(hasLine(log, " 2   30.2500   -10.000   0.500      0.000     0.000     0.000     3     4     0"));
  EXPECT_TRUE(hasLine(log, "  2    0.00000  0.50000  0.00000  0.00000  0.00000  0.00000  0.00000  0.00000   45.0   30.0 0.250 0.125    5.0"));
  EXPECT_TRUE(hasLine(log, "  N,HKS(N)= 1 0.8"));
  EXPECT_TRUE(hasLine(log, " 15    0.00000  2.00000  0.00000  0.00000  0.00000  0.00000  0.00000  0.00000    WID"));
  EXPECT_EQ(dir.read("rab.res"), "  3 times   \n");
}

TEST(ModelFile, WrittenModelReadsBackToTheSameTableAndRewritesIdentically) {
  nrstest::TempDir dir;
  dir.write("m.inf", kModel);
  Loaded a;
  load("m.inf", a);
  fio::Unit out(3);
  common::WRMODEL(out, a.m, a.YV);
  out.close();
  const std::string first = dir.read("LAYSPC.RES");
  Loaded b;
  load("LAYSPC.RES", b);
  EXPECT_EQ(a.YV, b.YV);
  EXPECT_EQ(b.m.KINDV(1, 2), 1);  // a kind of 0 is written as 1
  EXPECT_EQ(a.m.KIND2, b.m.KIND2);
  EXPECT_EQ(a.m.KSTEP, b.m.KSTEP);
  EXPECT_EQ(b.m.NRN, 3);
  common::WRMODEL(out, b.m, b.YV);
  out.close();
  EXPECT_EQ(dir.read("LAYSPC.RES"), first);
  const auto lines = nrstest::splitLines(first);
  EXPECT_EQ(lines[0], "                          LAYSPC.INF");
  EXPECT_EQ(lines[7], " 0.80000     HKMAX - max value of nuclear density (1.for pure a-57Fe)  ");
  EXPECT_EQ(lines[21], "  5    33.0000  20.0000   0.0000   0.0000   0.0000   0.0000   0.0000   0.0000    Bhf(T)");
  EXPECT_EQ(lines[26], "               Angular parameters for each multiplet if IBHF=2");
}

TEST(ModelFile, ValuesTooWideForTheirFieldsStillReadBack) {
  nrstest::TempDir dir;
  dir.write("m.inf", kModel);
  Loaded a;
  load("m.inf", a);
  a.m.arrays.thickness(3) = 12345678.25;  // F10.4 cannot hold it: the field widens
  a.YV(1, 19) = -123456.5f;
  fio::Unit out(3);
  common::WRMODEL(out, a.m, a.YV);
  out.close();
  EXPECT_EQ(dir.read("LAYSPC.RES").find('*'), std::string::npos);
  Loaded b;
  load("LAYSPC.RES", b);
  EXPECT_DOUBLE_EQ(b.m.arrays.thickness(3), 12345678.25);
  EXPECT_FLOAT_EQ(b.YV(1, 19), -123456.5f);
  EXPECT_EQ(b.m.KSTEP(3), 0);
}

TEST(ModelFile, TheExampleModelOfTheFrontEndLayoutReads) {
  nrstest::TempDir dir;
  dir.write("Fe57film.inf", nrstest::slurp(nrstest::sourcePath("examples/fe57-film/Fe57film.inf")));
  Loaded L;
  load("Fe57film.inf", L);
  EXPECT_EQ(L.m.NNN, 2);
  EXPECT_EQ(L.m.JVN, 2);  // the graded substrate interface
  EXPECT_FLOAT_EQ(L.YV(4, 1), 33.0f);
  EXPECT_FLOAT_EQ(L.YV(2, 19), 10.0f);
}

// kModel with the line that starts with `key` replaced by `line`.
std::string replaced(const std::string& key, const std::string& line) {
  std::string s = kModel;
  const auto p = s.find(key);
  const auto e = s.find('\n', p);
  return s.replace(p, e - p, line);
}

TEST(ModelFile, SizesOutsideTheTablesStopWithStatus1) {
  const std::pair<const char*, const char*> bad[] = {
      {"  3      NNN", " 61  NNN"},           {"  3      NNN", "  0  NNN"},  {"  2       NM", "  9  NM"},
      {"  2       NM", " -1  NM"},            {"  2         IBHF", "  3  IBHF"}, {"  3         NRN", "  0  NRN"},
      {"  1  2      N1N,N2N", "  2  1  N1N"}, {"  1  2      N1N,N2N", "  0  2  N1N"},
      {"  1  2      N1N,N2N", "  1  4  N1N"}};
  for (const auto& [key, line] : bad) {
    SCOPED_TRACE(line);
    nrstest::TempDir dir;
    dir.write("m.inf", replaced(key, line));
    Loaded L;
    EXPECT_EQ(nrstest::stopStatus([&] { load("m.inf", L); }), 1);
  }
  // Without repetition the block bounds are not used.
  nrstest::TempDir dir;
  dir.write("m.inf", replaced("  3         NRN", "  1  NRN"));
  Loaded L;
  EXPECT_EQ(nrstest::stopStatus([&] { load("m.inf", L); }), -1);
}

TEST(ModelFile, MissingShortOrUnreadableFilesAreRunTimeErrors) {
  nrstest::TempDir dir;
  Loaded L;
  EXPECT_THROW(load("none.inf", L), fio::RuntimeError);
  const std::string full = kModel;
  dir.write("m.inf", full.substr(0, full.find("   KINDV header")));
  EXPECT_THROW(load("m.inf", L), fio::RuntimeError);
  dir.write("m.inf", replaced(" 2   30.2500", " 2   30.25.00   -10.000   0.500      0.000     0.000     0.000     3     4     0"));
  EXPECT_THROW(load("m.inf", L), fio::RuntimeError);
}

}  // namespace

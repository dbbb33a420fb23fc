#include "programs/common/newstep.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>

#include "programs/common/modelout.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

using nrstest::hasLine;

// A two-layer model: a resonant film on a substrate whose top interface is
// graded linearly in 4 steps of 2.5 Angstrom.
std::string model(int IBHF, float V1, int kstep2 = 4, int nnn = 2) {
  std::string s =
      " film\n header\n " + std::to_string(nnn) + "  NNN\n 1 1  N1N,N2N\n 1  NRN\n 1  INORM\n 0  ISQ\n 1.0  HKMAX\n"
      " 2  NM\n " + std::to_string(IBHF) + "  IBHF\n column header\n";
  for (int N = 1; N <= nnn; ++N) {
    const bool film = N == 1;
    s += " " + std::to_string(N) + (film ? " 150.0  -14.66  0.62  0.0  0.0  0.0  1  1  0\n"
                                         : " 1000.0  -4.64  0.045  0.0  0.0  10.0  1  1  " + std::to_string(kstep2) + "\n");
  }
  s += " V header\n";
  for (int N = 1; N <= nnn; ++N)
    s += " " + std::to_string(N) + (N == 1 ? " " + std::to_string(V1) + " 0.0" : " 0.0 0.0") +
         " 0 0 0 0 0 0  " + (N == 1 ? "90.0 30.0 0.1 0.2 4.0\n" : "45.0 0.0 0.0 0.0 0.0\n");
  s += " S\n 3  1.0 0.0\n hyperfine\n 4  33.0 10.0\n 5 0 0\n 6 0 0\n 7 0 0\n 8 0 0\n angular\n"
       " 10  60 20 0 0 0 0 0 0\n 11  0 0 0 0 0 0 0 0\n 12  0 0 0 0 0 0 0 0\n 13  0 0 0 0 0 0 0 0\n"
       " 14  0 0 0 0 0 0 0 0\n KINDV\n";
  for (int N = 1; N <= nnn; ++N) s += " " + std::to_string(N) + "  1 1 1 1 1 1 1 1\n";
  s += " ZDV\n";
  for (int N = 1; N <= nnn; ++N) s += " " + std::to_string(N) + "  0 0 0 0 0 0 0 0\n";
  return s;
}

struct Pass {
  common::Model m;
  common::NuclearConstants nc;
  common::CalcParams p;
  common::FitState fs;
  numlib::YVTable YV, YVS;
  common::SteppedModel st;
  fio::Unit log{4};

  void read(const std::string& text) {
    std::ofstream("m.inf") << text;
    common::ModelFileRef f;
    f.name = "m.inf";
    log.openNew("log");
    common::INITYV(YV, YVS);
    common::RDMODEL(log, f, m, nc, YV);
  }
  void step() { common::NEWSTEP(log, m, YV, p, fs, nc, st); }
};

TEST(PassHead, GradedInterfaceGivesStepsAndTheSusceptibilityIn1e6) {
  nrstest::TempDir dir;
  auto x = std::make_unique<Pass>();
  x->read(model(1, 1.0f));
  x->step();
  const auto& st = x->st;
  EXPECT_EQ(st.NNst, 6);  // film, 4 steps, substrate
  double total = 0;
  for (int i = 1; i <= st.NNst; ++i) total += st.thickness(i);
  EXPECT_NEAR(total, 1150.0, 1e-9);  // Angstrom, before the pass scales them
  EXPECT_NEAR(st.chi(1).real(), -14.66e-6, 1e-12);
  EXPECT_NEAR(st.chi(1).imag(), 0.62e-6, 1e-12);
  EXPECT_NEAR(st.chi(6).real(), -4.64e-6, 1e-12);
  // Linear grading: the steps fall monotonically from the film to the substrate.
  for (int i = 2; i <= 6; ++i) EXPECT_LE(st.V(1, i), st.V(1, i - 1));
  EXPECT_FLOAT_EQ(st.V(1, 1), 1.0f);
  EXPECT_FLOAT_EQ(st.V(1, 6), 0.0f);
  // Angles follow the parent layer, in radians.
  EXPECT_EQ(st.parent(2), 1);
  EXPECT_NEAR(st.BE(2), 90 * 6.2831855 / 360, 1e-6);
  EXPECT_NEAR(st.GA(1), 30 * 6.2831855 / 360, 1e-6);
  EXPECT_FLOAT_EQ(st.RAND(1), 0.1f);
  EXPECT_NEAR(st.BE(6), 45 * 6.2831855 / 360, 1e-6);
  EXPECT_FLOAT_EQ(x->nc.Bhf(2), 10.0f);
  x->log.close();
  const std::string log = dir.read("log");
  EXPECT_TRUE(hasLine(log, " for first calculation "));
  EXPECT_TRUE(hasLine(log, "    !!!! NEW STEPS !!!! "));
  EXPECT_TRUE(hasLine(log, " 6             NNst"));
  EXPECT_TRUE(hasLine(log, " 1  145.0000   -14.660   0.620      0.000     0.000     0.000     0     0     0"));
  EXPECT_TRUE(hasLine(log, "  1.00000  0.00000"));  // the corrected S of the two multiplets
}

TEST(PassHead, LaterPassesAreQuietAndTakeTheTableAsChanged) {
  nrstest::TempDir dir;
  auto x = std::make_unique<Pass>();
  x->read(model(2, 1.0f));
  x->fs.JREP = 1;
  x->YV(2, 19) = 0.0f;  // a fit step removes the graded interface
  x->YV(1, 1) = 200.0f;
  x->step();
  EXPECT_EQ(x->st.NNst, 2);
  EXPECT_DOUBLE_EQ(x->m.WIDTH(2), 0.0);
  EXPECT_DOUBLE_EQ(x->st.thickness(1), 200.0);
  // Angles per multiplet.
  EXPECT_NEAR(x->st.BE(1), 60 * 6.2831855 / 360, 1e-6);
  EXPECT_NEAR(x->st.BE(2), 20 * 6.2831855 / 360, 1e-6);
  x->log.close();
  EXPECT_FALSE(hasLine(dir.read("log"), "    !!!! NEW STEPS !!!! "));
}

// INORM = 1: the largest density becomes HKMAX = 1, with the factor 2.  With
// a graded interface (JVN = 2) only the stepped densities are normalised and
// the written model takes the factor; without (JVN = 1) the model's own
// densities are.  Either way the fitted model holds the normalised density,
// the factor stays for the passes to come, and a second writing gives the
// same file.
TEST(PassHead, NormalisedDensitiesAreWrittenOnceNormalised) {
  struct Case {
    int kstep2, JVN;
  };
  for (const Case c : {Case{4, 2}, Case{0, 1}}) {
    SCOPED_TRACE(c.JVN);
    nrstest::TempDir dir;
    auto x = std::make_unique<Pass>();
    x->read(model(1, 0.5f, c.kstep2));
    x->step();
    ASSERT_EQ(x->m.JVN, c.JVN);
    EXPECT_FLOAT_EQ(x->st.V(1, 1), 1.0f);
    EXPECT_FLOAT_EQ(x->m.arrays.F(1), 2.0f);
    fio::Unit out(3);
    common::WRMODEL(out, x->m, x->YV);
    out.close();
    const std::string first = dir.read("LAYSPC.RES");
    EXPECT_TRUE(hasLine(first,
                        "  1    1.00000  0.00000  0.00000  0.00000  0.00000  0.00000  0.00000  0.00000   90.0   30.0 0.100 0.200    4.0"));
    EXPECT_FLOAT_EQ(x->m.arrays.F(1), 2.0f);
    common::WRMODEL(out, x->m, x->YV);
    out.close();
    EXPECT_EQ(dir.read("LAYSPC.RES"), first);
  }
}

TEST(PassHead, EightCorrectedSGoOnTheNextLineUnderOneHeading) {
  nrstest::TempDir dir;
  auto x = std::make_unique<Pass>();
  x->read(model(1, 1.0f));
  x->m.NM = 8;
  x->step();
  x->log.close();
  const auto lines = nrstest::splitLines(dir.read("log"));
  const auto head = std::find(lines.begin(), lines.end(), "   corrected S   ");
  ASSERT_NE(head, lines.end());
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "   corrected S   "), 1);
  ASSERT_GE(lines.end() - head, 3);
  EXPECT_EQ(head[1].size(), 6 * 9u);
  EXPECT_EQ(head[2], "  0.00000  0.00000");
}

TEST(PassHead, GridOverNmaxStops) {
  nrstest::TempDir dir;
  auto x = std::make_unique<Pass>();
  // 60 layers, each graded in 10 steps: over 300 sublayers.
  std::string text = model(1, 1.0f, 10, 60);
  x->read(text);
  EXPECT_EQ(nrstest::stopStatus([&] { x->step(); }), 1);
}

}  // namespace

#include "programs/common/modelout.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <sstream>
#include <vector>

#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

constexpr double K0 = 7.304;

// A model of NNN layers of 10 nm each and its identity grid.
struct Stack {
  common::Model m;
  common::SteppedModel st;
  Stack(int n, int nm = 1) {
    m.NNN = std::min(n, numlib::N24);  // the grid may have more sublayers than the model has layers
    m.NM = nm;
    m.N1N = m.N2N = 1;
    st.NNst = n;
    st.N1Nst = st.N2Nst = 1;
    st.NRR = 1;
    for (int i = 1; i <= n; ++i) {
      if (i <= m.NNN) m.arrays.thickness(i) = 100.0;
      st.thickness(i) = 100.0 * K0;
      st.chi(i) = {-i * 1e-6, 0.5e-6};
      for (int K = 1; K <= nm; ++K) st.V(K, i) = 0.1f * K;
    }
  }
  void block(int n1, int n2, int nrr) {
    m.N1N = st.N1Nst = n1;
    m.N2N = st.N2Nst = n2;
    m.NRN = st.NRR = nrr;
  }
};

struct Profile {
  std::vector<std::vector<double>> rows;  // depth and values
  int count = 0;                           // header count
};

Profile readProfile(const std::string& text, int headerLines) {
  Profile p;
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);  // XM1, XM2
  for (int k = 1; k < headerLines; ++k) {
    std::getline(in, line);
    std::istringstream h(line);
    int a = 0;
    while (h >> a) p.count = a;  // the last number of the header is Npr
  }
  while (std::getline(in, line)) {
    std::istringstream r(line);
    std::vector<double> v;
    for (double x; r >> x;) v.push_back(x);
    p.rows.push_back(v);
  }
  return p;
}

bool write(Stack& s) {
  fio::Unit log(4);
  log.openNew("log");
  const bool written = common::WRPROF(log, s.m, s.st, K0);
  log.close();
  return written;
}

TEST(DepthProfile, StaircaseWithoutRepetition) {
  nrstest::TempDir dir;
  Stack s(3);
  s.st.chi(2) = {-7.5e-6, 0.25e-6};
  write(s);
  const Profile el = readProfile(dir.read("EL_mod.RES"), 2);
  EXPECT_EQ(el.count, 7);
  ASSERT_EQ(el.rows.size(), 7u);
  const double expect[7][3] = {{0, 0, 0},      {0, 1, 0.5},  {10, 1, 0.5}, {10, 7.5, 0.25},
                               {20, 7.5, 0.25}, {20, 3, 0.5}, {30, 3, 0.5}};
  for (int k = 0; k < 7; ++k)
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(el.rows[k][c], expect[k][c], 1e-4) << k << "," << c;
  EXPECT_EQ(nrstest::splitLines(dir.read("EL_mod.RES"))[3], "   0.0000   1.0000   0.5000");
  const Profile mn = readProfile(dir.read("MODELN.RES"), 2);
  EXPECT_EQ(mn.count, 7);
  EXPECT_EQ(nrstest::splitLines(dir.read("MODELN.RES"))[1], "     1     1     7");
}

TEST(DepthProfile, RepeatedBlockIsWrittenNRRTimes) {
  nrstest::TempDir dir;
  Stack s(10);
  s.block(3, 4, 3);
  write(s);
  const Profile el = readProfile(dir.read("EL_mod.RES"), 2);
  EXPECT_EQ(el.count, 29);  // 2*(10 + 2*2) + 1
  ASSERT_EQ(el.rows.size(), 29u);
  for (std::size_t k = 1; k < el.rows.size(); ++k) EXPECT_GE(el.rows[k][0], el.rows[k - 1][0] - 1e-9);
  EXPECT_NEAR(el.rows.back()[0], 140.0, 1e-4);  // 10 layers + 2 more periods of 2 x 10 nm
  // After the last repetition the layer below the block follows.
  EXPECT_NEAR(el.rows[17][0], 80.0, 1e-4);
  EXPECT_NEAR(el.rows[17][1], 5.0, 1e-4);
  EXPECT_TRUE(nrstest::hasLine(dir.read("log"), " XM1,XM2 (depths of repeated layers) =     20.0000    40.0000"));
}

TEST(DepthProfile, BlockEndingAtTheSubstrateIsNotRepeated) {
  nrstest::TempDir dir;
  Stack s(4);
  s.block(3, 4, 3);
  write(s);
  const Profile el = readProfile(dir.read("EL_mod.RES"), 2);
  EXPECT_EQ(el.count, 9);
  EXPECT_EQ(el.rows.size(), 9u);
}

TEST(DepthProfile, EightMultipletsGiveNineNumbers) {
  nrstest::TempDir dir;
  Stack s(2, 8);
  write(s);
  const Profile mn = readProfile(dir.read("MODELN.RES"), 2);
  for (const auto& r : mn.rows) EXPECT_EQ(r.size(), 9u);
}

// The surface lies half the graded top interface above 0: the grid's steps
// (KSTEP made even; none without a width) times t(1) = 10 nm, halved.
TEST(DepthProfile, GradedTopStartsAboveZeroByTheStepsOfTheGrid) {
  struct Case {
    int KSTEP;
    double WIDTH;  // Angstrom
    double top;    // nm
  };
  for (const Case c : {Case{4, 50, -20}, Case{3, 50, -20}, Case{4, 0, 0}, Case{0, 50, 0}}) {
    SCOPED_TRACE(c.KSTEP);
    nrstest::TempDir dir;
    Stack s(2);
    s.m.KSTEP(1) = c.KSTEP;
    s.m.WIDTH(1) = c.WIDTH;
    write(s);
    EXPECT_NEAR(readProfile(dir.read("EL_mod.RES"), 2).rows[0][0], c.top, 1e-4);
  }
}

TEST(DepthProfile, MoreThan601PointsAreNotWrittenAndNoEarlierProfileStays) {
  nrstest::TempDir dir;
  Stack full(300);
  EXPECT_TRUE(write(full));
  EXPECT_EQ(readProfile(dir.read("EL_mod.RES"), 2).rows.size(), 601u);
  Stack s(300);
  s.block(1, 2, 3);
  EXPECT_EQ(common::profilePoints(s.st), 2 * (300 + 4) + 1);
  // A block repeated up to the int limit is counted without overflow.
  s.block(1, 2, std::numeric_limits<int>::max());
  EXPECT_EQ(common::profilePoints(s.st), 2 * (300 + 2 * (std::numeric_limits<int>::max() - 1LL)) + 1);
  s.block(1, 2, 3);
  EXPECT_FALSE(write(s));
  EXPECT_TRUE(nrstest::hasLine(dir.read("log"), " Npr.GT.(2*NMAX+1) !!!"));
  EXPECT_FALSE(dir.exists("EL_mod.RES"));
  EXPECT_FALSE(dir.exists("MODELN.RES"));
}

}  // namespace

// The library's profile writers against the model output's depth profile of
// the same stepped stack.
#include "programs/common/libwrite.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "numlib/sublay.hpp"
#include "programs/common/modelout.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

using numlib::Arr1;
using numlib::NMAX;

constexpr double K0 = 7.304;

std::vector<std::vector<double>> rows(const std::string& text, int skip) {
  std::vector<std::vector<double>> r;
  const auto lines = nrstest::splitLines(text);
  for (std::size_t k = skip; k < lines.size(); ++k) {
    std::istringstream in(lines[k]);
    std::vector<double> v;
    for (double x; in >> x;) v.push_back(x);
    r.push_back(v);
  }
  return r;
}

// A film on a repeated bilayer on a substrate, with a graded surface (two
// steps above 0) and a graded interface below the block (the grid doubles
// the block); the negative susceptibilities show as their moduli.
TEST(LibraryWriters, DepthProfileMatchesTheModelOutput) {
  nrstest::TempDir dir;
  common::Model m;
  common::SteppedModel st;
  const double thick[] = {40, 30, 20, 25, 500}, re[] = {-7.5, 3, 1.5, -2, 4.6};
  m.NNN = 5;
  m.N1N = 2;
  m.N2N = 3;
  m.NRN = 3;
  m.NM = 1;
  Arr1<double, numlib::N24> value, zd;
  Arr1<int, numlib::N24> kind;
  for (int k = 1; k <= 5; ++k) {
    m.arrays.thickness(k) = thick[k - 1];
    value(k) = re[k - 1];
    kind(k) = 1;
  }
  m.WIDTH(1) = 6;
  m.KSTEP(1) = 4;
  m.WIDTH(4) = 4;
  m.KSTEP(4) = 2;
  Arr1<double, NMAX> H, V, V2;
  Arr1<int, NMAX> parent;
  int NRN = m.NRN;
  numlib::SUBLAY(5, 2, 3, NRN, m.arrays.thickness, value, m.WIDTH, zd, kind, m.KSTEP, st.NNst, st.N1Nst, st.N2Nst,
                 H, V, parent, st.NRR);
  ASSERT_EQ(st.NRR, 2);
  for (int i = 1; i <= st.NNst; ++i) {
    st.thickness(i) = H(i) * K0;
    st.chi(i) = {V(i) * 1e-6, 0.1e-6};
    V2(i) = -2 * V(i);
  }
  fio::Unit out(4);
  out.openNew("log");
  ASSERT_TRUE(common::WRPROF(out, m, st, K0));
  out.openNew("prof1");
  common::PROFW1(out, st.NNst, st.N1Nst, st.N2Nst, st.NRR, 2, H, V, 50.0);
  out.openNew("prof2");
  common::PROFW2(out, st.NNst, st.N1Nst, st.N2Nst, st.NRR, 2, H, V, V2, 50.0);
  out.close();

  const auto el = rows(dir.read("EL_mod.RES"), 2), p1 = rows(dir.read("prof1"), 0), p2 = rows(dir.read("prof2"), 0);
  ASSERT_EQ(p1.size(), el.size());
  ASSERT_EQ(p2.size(), el.size());
  EXPECT_EQ(nrstest::splitLines(dir.read("prof1"))[0], "   -0.30000    0.00000");
  for (std::size_t k = 0; k < el.size(); ++k) {
    ASSERT_EQ(p1[k].size(), 2u);
    ASSERT_EQ(p2[k].size(), 3u);
    EXPECT_NEAR(p1[k][0], el[k][0], 1e-4) << k;
    EXPECT_NEAR(p1[k][1], el[k][1], 1e-4) << k;
    EXPECT_EQ(std::vector<double>(p2[k].begin(), p2[k].begin() + 2), p1[k]) << k;
    EXPECT_NEAR(p2[k][2], 2 * p1[k][1], 2e-5) << k;
  }
}

TEST(LibraryWriters, ShiftedFitTrialLine) {
  nrstest::TempDir dir;
  fio::Unit log(4);
  log.openNew("log");
  common::RunLogTrials(log).trial(2, 0.25f);
  log.close();
  EXPECT_EQ(nrstest::splitLines(dir.read("log")), std::vector<std::string>{"  J,EPSS= 2 0.25"});
}

}  // namespace

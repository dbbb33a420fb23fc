// The library's profile writers against the model output's depth profile of
// the same stepped stack, and LINFTS's run-log line.
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

// A film on a repeated bilayer on a substrate: graded surface (two steps
// above 0), a graded interface below the block (the grid doubles the block)
// and a negative susceptibility, whose modulus the profiles show.
struct GradedStack {
  common::Model m;
  common::SteppedModel st;
  Arr1<double, NMAX> H, V;  // sublayers in Angstrom, Re chi in 1e-6
  int NV = 2;

  GradedStack() {
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
    int NRN = m.NRN;
    Arr1<int, NMAX> parent;
    numlib::SUBLAY(m.NNN, m.N1N, m.N2N, NRN, m.arrays.thickness, value, m.WIDTH, zd, kind, m.KSTEP, st.NNst,
                   st.N1Nst, st.N2Nst, H, V, parent, st.NRR);
    for (int i = 1; i <= st.NNst; ++i) {
      st.thickness(i) = H(i) * K0;
      st.chi(i) = {V(i) * 1e-6, 0.1e-6};
    }
  }
};

TEST(LibraryWriters, DepthProfileMatchesTheModelOutput) {
  nrstest::TempDir dir;
  GradedStack s;
  ASSERT_EQ(s.st.NRR, 2);  // the doubled block mode
  {
    fio::Unit log(4);
    log.openNew("log");
    ASSERT_TRUE(common::WRPROF(log, s.m, s.st, K0));
    log.close();
  }
  fio::Unit out(4);
  out.openNew("prof1");
  common::PROFW1(out, s.st.NNst, s.st.N1Nst, s.st.N2Nst, s.st.NRR, s.NV, s.H, s.V, 50.0);
  out.close();
  out.openNew("prof2");
  Arr1<double, NMAX> V2;
  for (int i = 1; i <= s.st.NNst; ++i) V2(i) = -2.0 * s.V(i);
  common::PROFW2(out, s.st.NNst, s.st.N1Nst, s.st.N2Nst, s.st.NRR, s.NV, s.H, s.V, V2, 50.0);
  out.close();

  const auto el = rows(dir.read("EL_mod.RES"), 2), p1 = rows(dir.read("prof1"), 0), p2 = rows(dir.read("prof2"), 0);
  ASSERT_EQ(p1.size(), el.size());
  ASSERT_EQ(p2.size(), el.size());
  EXPECT_NEAR(p1.front()[0], -0.3, 1e-9);  // two steps of 1.5 Angstrom above the surface
  for (std::size_t k = 0; k < el.size(); ++k) {
    ASSERT_EQ(p1[k].size(), 2u);
    EXPECT_NEAR(p1[k][0], el[k][0], 1e-4) << k;
    EXPECT_NEAR(p1[k][1], el[k][1], 1e-4) << k;
    ASSERT_EQ(p2[k].size(), 3u);
    EXPECT_EQ(p2[k][0], p1[k][0]);
    EXPECT_EQ(p2[k][1], p1[k][1]);
    EXPECT_NEAR(p2[k][2], 2 * p1[k][1], 2e-5) << k;
  }
  EXPECT_EQ(nrstest::splitLines(dir.read("prof1"))[0], "   -0.30000    0.00000");
}

TEST(LibraryWriters, ShiftedFitLogsEachTrial) {
  nrstest::TempDir dir;
  std::vector<float> T(20), E(20);
  for (int j = 0; j < 20; ++j) {
    T[j] = 1.0f + 0.1f * j;
    E[j] = 2.0f * T[j] + 0.5f;
  }
  fio::Unit log(4);
  log.openNew("log");
  common::RunLogTrials trials(log);
  float B = 0, S = 0, EPS = 0;
  numlib::LINFTS({E.data(), 20}, {T.data(), 20}, 20, 1, 20, 0.0f, B, S, EPS, trials);
  log.close();
  const auto lines = nrstest::splitLines(dir.read("log"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("  J,EPSS= 2 ", 0), 0u) << lines[0];
}

}  // namespace

// The comparison of MOLVEC's prompt and delayed curves with the experiment.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "programs/molvec/molvec.hpp"
#include "tempdir.hpp"

namespace {

using numlib::Arr1;

// Merit kinds 10 and above: one grid search of the scale serves both curves
// in turn.  Only the first search of the run starts afresh; each later one,
// the delayed search of the same pass and the prompt search of the next,
// goes on from the state of the search before it.
TEST(MolvecCompare, DelayedSearchGoesOnFromThePromptSearch) {
  constexpr int n = 60, JFITP = 13, JFITD = 12;
  constexpr float AF = 2, EPFINP = 1e-4f, EPFIND = 1e-3f;
  nrstest::TempDir dir;
  auto d = std::make_unique<molvec::MolvecData>();
  d->log.openNew("MOLVEC.RES");
  d->prm.Intexp = 1;
  d->prm.JFITP = JFITP, d->prm.EPFINP = EPFINP;
  d->del.JFITD = JFITD, d->del.EPFIND = EPFIND;
  d->del.Nstep = n;
  d->par.AF = AF;
  molvec::AngleCurves& a = d->curves;
  molvec::Comparison& m = d->cmp;
  m.x.JEXP = n;
  m.JZ1D = 3, m.JZ2D = 55;
  m.YPMAX = 5, m.YDMAX = 8;
  Arr1<float, n> Tp, Td;  // the curves at the experimental angles, normalised
  for (int j = 1; j <= n; ++j) {
    a.UT(j) = m.x.XE(j) = 2.0f + 0.05f * static_cast<float>(j - 1);
    a.YRELAY(j) = static_cast<float>(0.8 / (1 + std::pow(a.UT(j) / 3.0, 6)));
    a.SUMT(j) = static_cast<float>(40 * std::exp(-std::pow(a.UT(j) - 3.5, 2)));
  }
  common::theoryAtExperiment(a.UT, a.YRELAY, n, m.x, Tp);
  common::theoryAtExperiment(a.UT, a.SUMT, n, m.x, Td);
  for (int i = 1; i <= n; ++i) {
    m.x.YEXPP(i) = static_cast<float>(0.5 * Tp(i) * (1 + 0.02 * std::sin(3.0 * i)));
    m.x.YEXPD(i) = static_cast<float>(0.8 * Td(i) * (1 + 0.03 * std::cos(2.0 * i)) + 0.05);
  }
  common::ScaleFit f;  // the state one search hands to the next
  fio::Unit result(1);
  for (int pass = 1; pass <= 2; ++pass) {
    result.openNew("RESULTI.res");
    molvec::CMPCURV(*d, result);
    result.close();
    EXPECT_EQ(m.EPSSP, common::fitScale(m.x.YEXPP, Tp, n, m.JZ1D, m.JZ2D, JFITP, AF, m.YPMAX, EPFINP, f)) << pass;
    f.first = false;
    EXPECT_EQ(m.EPSSD, common::fitScale(m.x.YEXPD, Td, n, m.JZ1D, m.JZ2D, JFITD, AF, m.YDMAX, EPFIND, f)) << pass;
  }
  d->log.close();
}

}  // namespace

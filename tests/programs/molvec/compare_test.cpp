// The comparison of MOLVEC's prompt and delayed curves with the experiment.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "numlib/fits.hpp"
#include "programs/molvec/molvec.hpp"
#include "tempdir.hpp"

namespace {

using numlib::Arr1;

// Merit kinds 10 and above: one grid search of the scale serves both curves
// in turn.  The first search of the run starts from the geometric means
// (scale 1, step 0 on entry); each later one, the delayed search of the same
// pass and the prompt search of the next, goes on from the scale the search
// before it left, with twenty times its last step.
TEST(MolvecCompare, DelayedSearchGoesOnFromThePromptSearch) {
  struct Case {
    int JFITP, JFITD;
    float AF;
  };
  const Case cases[] = {{11, 11, 0}, {12, 13, 0}, {13, 12, 2}};
  constexpr int n = 60;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.JFITP << " " << c.JFITD << " " << c.AF);
    nrstest::TempDir dir;
    auto d = std::make_unique<molvec::MolvecData>();
    d->log.openNew("MOLVEC.RES");
    d->prm.Intexp = 1;
    d->prm.JFITP = c.JFITP;
    d->prm.EPFINP = 1e-4f;
    d->del.JFITD = c.JFITD;
    d->del.EPFIND = 1e-3f;
    d->del.Nstep = n;
    d->par.AF = c.AF;
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
    float S = 1, DS = 0;  // the state one search hands to the next
    auto search = [&](numlib::Span1<const float> E, numlib::Span1<const float> T, float EMAX, float TOL, int JFIT) {
      DS *= 20;
      float B = 0, DB = 0.5f * c.AF / EMAX, EPS = 0;
      numlib::SCALBG(E, T, n, m.JZ1D, m.JZ2D, DS, DB, S, B, TOL, EPS, JFIT - 10);
      return EPS;
    };
    fio::Unit result(1);
    for (int pass = 1; pass <= 2; ++pass) {
      result.openNew("RESULTI.res");
      molvec::CMPCURV(*d, result);
      result.close();
      const float EPSSP = search(m.x.YEXPP, Tp, m.YPMAX, d->prm.EPFINP, c.JFITP);
      const float EPSSD = search(m.x.YEXPD, Td, m.YDMAX, d->del.EPFIND, c.JFITD);
      EXPECT_EQ(m.EPSSP, EPSSP) << pass;
      EXPECT_EQ(m.EPSSD, EPSSD) << pass;
      EXPECT_EQ(m.fit.scale, S) << pass;
      EXPECT_EQ(m.fit.scaleStep, DS) << pass;
    }
    d->log.close();
  }
}

}  // namespace

#include "programs/common/reflcmp.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using numlib::Arr1;

// Merit kinds 10 and above search the scale on a grid (criterion JFIT - 10).
// The first comparison of a run starts from the ratio of the geometric means
// of experiment and theory, so an experiment proportional to the theory is
// matched exactly, even under a coarse tolerance.  Every later search starts
// from the scale the previous one left, with twenty times its last step: wide
// enough to follow a scale that has moved since, as the theory of a fit step
// may need.
TEST(ScaleFit, GridSearchStartsFromTheMeansAndFollowsAMovedScale) {
  struct Case {
    int JFIT;
    float first, later;  // scale of the experiment against the theory
  };
  const Case cases[] = {{11, 0.5f, 0.65f}, {12, 0.5f, 0.65f}, {13, 0.5f, 0.65f}, {11, 1.8f, 1.3f}, {13, 1.8f, 2.2f}};
  constexpr int n = 40, J1 = 5, J2 = 35;
  constexpr float TOL = 1e-3f;
  Arr1<float, n> T, E;
  for (int i = 1; i <= n; ++i) T(i) = static_cast<float>(std::exp(-0.08 * i) * (1 + 0.3 * std::sin(0.7 * i)));
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "JFIT " << c.JFIT << ", scale " << c.first << " then " << c.later);
    common::ScaleFit f;
    for (int i = 1; i <= n; ++i) E(i) = c.first * T(i);
    float EPS = common::fitScale(E, T, n, J1, J2, c.JFIT, 0, 1, TOL, f);
    EXPECT_NEAR(f.scale, c.first, 1e-6 * c.first);
    EXPECT_LT(EPS, 1e-6);
    EXPECT_EQ(f.background, 0.0f);
    f.first = false;
    for (int i = 1; i <= n; ++i) E(i) = c.later * T(i);
    EPS = common::fitScale(E, T, n, J1, J2, c.JFIT, 0, 1, TOL, f);
    EXPECT_NEAR(f.scale, c.later, TOL * c.later);
    EXPECT_LT(EPS, TOL);
  }
}

}  // namespace

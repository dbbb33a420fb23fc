// How the energy points of one angle are computed does not change a bit of
// the result: on several threads or on one, and two points of the recursion
// at once or one at a time.  A stack large enough to be split: graded
// 57Fe/Si over 120 sublayers with a sextet in an oblique field.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "fe57_fixture.hpp"

namespace {

using namespace physics_test;

bool same(const void* a, const void* b, std::size_t n) { return std::memcmp(a, b, n) == 0; }

void gradedStack(Sample& r) {
  r.fe.C.Bhf(1) = 33.0f;
  addLayer(*r.st, r.fe, 20.0, kChiPd);
  for (int i = 0; i < 118; ++i) {
    const double x = 0.5 + 0.5 * std::cos(2 * M_PI * i / 20.0);
    addLayer(*r.st, r.fe, 3.0, x * kChiFe + (1 - x) * kChiSi, 1, static_cast<float>(x), 1.2f, 0.4f);
  }
  addLayer(*r.st, r.fe, 0.0, kChiSi);
}

TEST(EnergyPoints, SpectraDoNotDependOnTheThreadCount) {
  for (int Jway : {1, 2}) {
    SCOPED_TRACE(Jway);
    Sample r(0.05f, 12.0f, 3.1e-3, Jway);
    gradedStack(r);
    ASSERT_GE(r.a.NE * r.st->NNst, 3 * 8192);  // enough work for three threads
    r.a.threads = 1;
    r.timcalu();
    const zeprin::TimcaluOut one = *r.out;
    r.a.threads = 3;
    r.timcalu();
    const zeprin::TimcaluOut& three = *r.out;
    EXPECT_TRUE(same(&one.It, &three.It, sizeof one.It));
    EXPECT_TRUE(same(&one.E1, &three.E1, sizeof one.E1));
    EXPECT_TRUE(same(&one.RE, &three.RE, sizeof one.RE));
    EXPECT_EQ(one.SUME, three.SUME);
    EXPECT_EQ(one.YRELAY, three.YRELAY);
    EXPECT_EQ(one.recursivePoints, three.recursivePoints);
    EXPECT_GT(one.SUMTfull, 0.0f);
  }
}

// The energy loop takes four points at a time, side by side; each equals
// the reflection computed alone, on both paths.  Behind the graded stack a
// thick 57Fe film makes the matrix path leave some points, but not all, to
// the recursion, so that the points of one group part ways; a cap without
// absorption at exactly its critical angle (wave number zero) is taken one
// point at a time.
TEST(EnergyPoints, PointsSideBySideEqualOneAtATime) {
  for (int Jway : {1, 2}) {
    SCOPED_TRACE(Jway);
    Sample r(0.05f, 12.0f, 3.1e-3, Jway);
    gradedStack(r);
    r.st->NNst -= 1;  // the substrate comes after the film
    addLayer(*r.st, r.fe, 2000.0, kChiFe, 1, 40.0f, 1.2f, 0.4f);  // enriched
    addLayer(*r.st, r.fe, 0.0, kChiSi);
    const double s = std::sin(r.a.angle);
    r.st->chi(1) = cdouble(-s * s, 0.0);
    r.a.NE = 301;  // not a multiple of four: the last group is short
    r.timcalu();
    if (Jway == 1) {
      EXPECT_GT(r.out->recursivePoints, 0);
      EXPECT_LT(r.out->recursivePoints, r.a.NE);
    }
    for (int k = 1; k <= r.a.NE; ++k) {
      const numlib::CMat2 R = reflect(r, r.a.grid(k), Jway);
      EXPECT_EQ(R(1, 1), r.w->points(k).R11) << k;
      EXPECT_EQ(R(2, 1), r.w->points(k).R21) << k;
    }
  }
}

}  // namespace

#include "numlib/cmatrix.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

#include "cmatrix_testing.hpp"
#include "numlib/clanes.hpp"
#include "numlib/cscalar.hpp"

namespace {

using namespace nrstest;
using numlib::CADD2;
using numlib::CCOPY2;
using numlib::CINV2;
using numlib::CMAD2;
using numlib::CMUL2;
using numlib::CMUL4;
using numlib::CSUB2;
using numlib::EXPM2;

constexpr cdouble kI{0.0, 1.0};
constexpr double kTight = 1e-14;

// mul(A, B, C) against the triple loop, with C distinct and C one of A, B.
template <class Mat, class Mul>
void expectProducts(Mul mul, unsigned seed) {
  const Mat a = randomMatrix<Mat>(seed), b = randomMatrix<Mat>(seed + 100);
  const Mat ab = naive(a, b);
  Mat c;
  mul(a, b, c);
  EXPECT_LT(maxDiff(c, ab), kTight);
  Mat x = a;
  mul(x, b, x);
  EXPECT_LT(maxDiff(x, ab), kTight);
  x = b;
  mul(a, x, x);
  EXPECT_LT(maxDiff(x, ab), kTight);
  x = a;
  mul(x, x, x);
  EXPECT_LT(maxDiff(x, naive(a, a)), kTight);
}

TEST(CMatrixKit, ProductsMatchTheTripleLoopAlsoWhenTheOutputIsAnInput) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    expectProducts<CMat2>(CMUL2, seed);
    expectProducts<CMat4>(CMUL4, seed);
  }
}

TEST(CMatrixKit, MultiplyAddAndDifferences) {
  const CMat2 d = randomMatrix<CMat2>(11), a = randomMatrix<CMat2>(12), b = randomMatrix<CMat2>(13);
  const CMat2 ab = naive(a, b);
  CMat2 expected;
  for (int i = 0; i < 4; ++i) expected.e[i] = d.e[i] - ab.e[i];

  CMat2 c;
  CMAD2(d, a, b, -1.0, c);
  EXPECT_LT(maxDiff(c, expected), kTight);
  // The output may be any of the inputs.
  for (int which = 0; which < 3; ++which) {
    CMat2 dd = d, aa = a, bb = b;
    CMat2& out = which == 0 ? dd : which == 1 ? aa : bb;
    CMAD2(dd, aa, bb, -1.0, out);
    EXPECT_LT(maxDiff(out, expected), kTight) << "output aliases input " << which;
  }
  // The same with the element-wise routines, in place.
  CMat2 x;
  CCOPY2(d, x);
  CSUB2(x, ab, x);
  EXPECT_LT(maxDiff(x, expected), kTight);
  CADD2(ab, x, x);
  EXPECT_LT(maxDiff(x, d), kTight);
  // A complex scalar.
  const cdouble s{0.3, -1.7};
  CMAD2(d, a, b, s, c);
  for (int i = 0; i < 4; ++i) EXPECT_LT(std::abs(c.e[i] - (s * ab.e[i] + d.e[i])), kTight);
}

TEST(CMatrixKit, InverseTimesMatrixIsTheIdentity) {
  const CMat2 one = CMat2::identity();
  for (unsigned seed = 20; seed < 25; ++seed) {
    const CMat2 a = randomMatrix<CMat2>(seed);
    CMat2 inv;
    std::string out = consoleOf([&] { CINV2(a, inv); });
    EXPECT_EQ(out, "");
    EXPECT_LT(maxDiff(naive(inv, a), one), 1e-12);
    EXPECT_LT(maxDiff(naive(a, inv), one), 1e-12);
    CMat2 x = a;
    CINV2(x, x);
    EXPECT_EQ(maxDiff(x, inv), 0.0);
  }
  CMat2 inv;
  CINV2(one, inv);
  EXPECT_EQ(maxDiff(inv, one), 0.0);

  // |det|^2 overflows: only a division that scales by the larger component
  // of the divisor keeps the inverse right.
  CMat2 big;
  big(1, 1) = cdouble(1e200, 1e200);
  big(2, 2) = 1.0;
  big(1, 2) = cdouble(0.0, 3.0);
  CINV2(big, inv);
  EXPECT_LT(std::abs(inv(1, 1) / cdouble(0.5e-200, -0.5e-200) - 1.0), kTight);
  EXPECT_LT(std::abs(inv(1, 2) / (-cdouble(0.0, 3.0) / cdouble(1e200, 1e200)) - 1.0), kTight);
  EXPECT_EQ(inv(2, 2), 1.0);
}

// A singular matrix must not turn into infinities that an FFT would spread
// over a whole spectrum: the routine reports it once and returns the
// Moore-Penrose inverse.
TEST(CMatrixKit, SingularMatrixIsReportedOnceAndGivesThePseudoInverse) {
  CMat2 a;  // rank 1: second column = (0.5 - 2i) times the first
  a(1, 1) = cdouble(1.0, 2.0);
  a(2, 1) = cdouble(-0.5, 0.25);
  a(1, 2) = a(1, 1) * cdouble(0.5, -2.0);
  a(2, 2) = a(2, 1) * cdouble(0.5, -2.0);
  CMat2 p;
  EXPECT_EQ(consoleOf([&] { CINV2(a, p); }), kDegenerated);
  ASSERT_TRUE(allFinite(p));
  // Penrose conditions: A P A = A, P A P = P, A P and P A Hermitian.
  const CMat2 ap = naive(a, p), pa = naive(p, a);
  EXPECT_LT(maxDiff(naive(ap, a), a), 1e-14);
  EXPECT_LT(maxDiff(naive(pa, p), p), 1e-14);
  EXPECT_LT(std::abs(ap(1, 2) - std::conj(ap(2, 1))), 1e-14);
  EXPECT_LT(std::abs(pa(1, 2) - std::conj(pa(2, 1))), 1e-14);

  const CMat2 zero;
  CMat2 z = CMat2::identity();
  EXPECT_EQ(consoleOf([&] { CINV2(zero, z); }), kDegenerated);
  EXPECT_EQ(maxAbs(z), 0.0);

  CMat2 tiny = a;  // entries near the underflow limit: still finite
  for (cdouble& e : tiny.e) e *= 1e-300;
  consoleOf([&] { CINV2(tiny, p); });
  EXPECT_TRUE(allFinite(p));
  EXPECT_LT(maxDiff(naive(naive(tiny, p), tiny), tiny), 1e-314);
}

// exp(i D M) by its Taylor series, summed far past convergence.
CMat2 taylorExp(const CMat2& m, double D) {
  CMat2 a;
  for (int i = 0; i < 4; ++i) a.e[i] = kI * D * m.e[i];
  CMat2 sum = CMat2::identity(), term = CMat2::identity();
  for (int n = 1; n < 120; ++n) {
    term = naive(term, a);
    for (cdouble& z : term.e) z /= n;
    for (int i = 0; i < 4; ++i) sum.e[i] += term.e[i];
  }
  return sum;
}

TEST(ExpM2, AgreesWithTheTaylorSeries) {
  for (unsigned seed = 30; seed < 35; ++seed) {
    const CMat2 m = randomMatrix<CMat2>(seed);
    for (double D : {0.1, 1.0, 3.0}) {
      CMat2 t;
      EXPM2(m, D, t);
      const CMat2 ref = taylorExp(m, D);
      EXPECT_LT(maxDiff(t, ref), 1e-12 * maxAbs(ref)) << "seed " << seed << " D " << D;
    }
  }
  // Across the switch from sin(kD)/k to its series at |kD| = 0.1.
  for (double kd : {1e-9, 1e-3, 0.0999999, 0.1000001, 0.5}) {
    CMat2 m;
    m(1, 1) = cdouble(0.2, 0.05);
    m(2, 2) = m(1, 1);
    m(1, 2) = cdouble(1.0, 0.0);
    m(2, 1) = cdouble(kd * kd, 0.0);  // k = kd for D = 1
    CMat2 t;
    EXPM2(m, 1.0, t);
    EXPECT_LT(maxDiff(t, taylorExp(m, 1.0)), 1e-15) << "kD = " << kd;
  }
}

TEST(ExpM2, ZeroThicknessDiagonalAndSemigroup) {
  const CMat2 m = randomMatrix<CMat2>(40);
  CMat2 t;
  EXPM2(m, 0.0, t);
  EXPECT_EQ(maxDiff(t, CMat2::identity()), 0.0);

  CMat2 diag;
  diag(1, 1) = cdouble(0.7, 0.1);
  diag(2, 2) = cdouble(-0.2, 0.3);
  EXPM2(diag, 2.5, t);
  EXPECT_LT(std::abs(t(1, 1) - std::exp(kI * 2.5 * diag(1, 1))), kTight);
  EXPECT_LT(std::abs(t(2, 2) - std::exp(kI * 2.5 * diag(2, 2))), kTight);
  EXPECT_EQ(t(1, 2), 0.0);
  EXPECT_EQ(t(2, 1), 0.0);

  // exp(i D1 M) exp(i D2 M) = exp(i (D1 + D2) M), on a random matrix and on
  // a propagator of the physical scale (entries ~ 3e-3, phase thickness 1e4).
  CMat2 phys;
  phys(1, 1) = cdouble(2.9e-3, 1.1e-4);
  phys(2, 2) = cdouble(-2.7e-3, -0.9e-4);
  phys(1, 2) = cdouble(4e-5, 1e-5);
  phys(2, 1) = cdouble(-2e-5, 3e-5);
  struct Case {
    CMat2 m;
    double d1, d2;
  };
  for (const Case& c : {Case{m, 0.7, 1.9}, Case{m, 1.3, -1.3}, Case{phys, 4000.0, 6000.0}, Case{phys, 1e4, -1e4}}) {
    CMat2 t1, t2, t12;
    EXPM2(c.m, c.d1, t1);
    EXPM2(c.m, c.d2, t2);
    EXPM2(c.m, c.d1 + c.d2, t12);
    const CMat2 prod = naive(t1, t2);
    EXPECT_LT(maxDiff(prod, t12), 1e-12 * std::max(maxAbs(t1) * maxAbs(t2), 1.0));
  }
}

// M = t I (an isotropic layer) has k = 0, where sin(kD)/k must take its
// limit D instead of dividing zero by zero.
TEST(ExpM2, CoincidingEigenvaluesTakeTheLimit) {
  const cdouble t0{3.1e-3, 2e-5};
  CMat2 m;
  m(1, 1) = m(2, 2) = t0;
  for (double D : {0.0, 1.0, 7300.0, -50.0}) {
    CMat2 t;
    EXPM2(m, D, t);
    ASSERT_TRUE(allFinite(t));
    EXPECT_LT(std::abs(t(1, 1) - std::exp(kI * D * t0)), kTight);
    EXPECT_LT(std::abs(t(2, 2) - std::exp(kI * D * t0)), kTight);
    EXPECT_EQ(t(1, 2), 0.0);
    EXPECT_EQ(t(2, 1), 0.0);
  }
  // t I plus a nilpotent part: exp = e^{iDt} (I + i D N).
  m(1, 2) = cdouble(0.5, -0.25);
  CMat2 t;
  EXPM2(m, 3.0, t);
  const cdouble e = std::exp(kI * 3.0 * t0);
  EXPECT_LT(std::abs(t(1, 2) - e * kI * 3.0 * m(1, 2)), kTight);
  EXPECT_LT(std::abs(t(1, 1) - e), kTight);
  EXPECT_EQ(t(2, 1), 0.0);
}

}  // namespace

namespace {

// The products and the inverse are formed several elements at a time; every
// element must still be the plain complex sum of products (and Smith's
// quotient), to the last bit, over moduli from 1e-30 to 1e30.
TEST(CMatrixKit, WideFormsGiveThePlainComplexArithmeticToTheLastBit) {
  std::mt19937_64 g(11);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int t = 0; t < 2000; ++t) {
    const double scale = std::pow(10.0, 30 * u(g));
    CMat2 a, b, c;
    CMat4 A, B, C;
    for (auto& z : a.e) z = {u(g) * scale, u(g)};
    for (auto& z : b.e) z = {u(g), u(g) / scale};
    for (auto& z : A.e) z = {u(g) * scale, u(g)};
    for (auto& z : B.e) z = {u(g), u(g) / scale};
    CMUL2(a, b, c);
    for (int col = 0; col < 2; ++col)
      for (int r = 0; r < 2; ++r)
        ASSERT_EQ(c.e[2 * col + r], a.e[r] * b.e[2 * col] + a.e[2 + r] * b.e[2 * col + 1]);
    CMUL4(A, B, C);
    for (int col = 0; col < 4; ++col)
      for (int r = 0; r < 4; ++r)
        ASSERT_EQ(C.e[4 * col + r], A.e[r] * B.e[4 * col] + A.e[4 + r] * B.e[4 * col + 1] +
                                        A.e[8 + r] * B.e[4 * col + 2] + A.e[12 + r] * B.e[4 * col + 3]);
    CINV2(a, c);
    const cdouble det = a.e[0] * a.e[3] - a.e[1] * a.e[2];
    const cdouble expected[4] = {a.e[3], -a.e[1], -a.e[2], a.e[0]};
    for (int i = 0; i < 4; ++i) ASSERT_EQ(c.e[i], numlib::detail::cdiv(expected[i], det));
  }
}

}  // namespace

namespace {

using numlib::lanes::W;

struct LaneProducts {
  numlib::lanes::CMat2L c, inv, quot;
  numlib::lanes::CMat4L C;
  bool inverted = false;
};

__attribute__((target_clones("avx2", "default"))) void laneProducts(const numlib::lanes::CMat2L& a,
                                                                      const numlib::lanes::CMat2L& b,
                                                                      const numlib::lanes::CMat4L& A,
                                                                      const numlib::lanes::CMat4L& B, LaneProducts& r) {
  r.c = a * b;
  numlib::lanes::multiply(A, B, r.C);
  r.inverted = numlib::lanes::inverse(a, r.inv);
  for (int i = 0; i < 4; ++i) r.quot.e[i] = b.e[i] / a.e[i];
}

// Four matrices in the lanes of one: the products, the inverse and the
// quotients of each lane are CMUL2's, CMUL4's, CINV2's and cdiv's to the
// last bit, by the wide instruction set where the processor has it; a lane
// with a singular matrix makes the inverse of the lanes refuse.
TEST(CMatrixKit, LanesGiveTheOnePointArithmeticToTheLastBit) {
  std::mt19937_64 g(13);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int t = 0; t < 500; ++t) {
    CMat2 a[W], b[W];
    CMat4 A[W], B[W];
    numlib::lanes::CMat2L al, bl;
    numlib::lanes::CMat4L Al, Bl;
    for (int p = 0; p < W; ++p) {
      const double scale = std::pow(10.0, 30 * u(g));
      for (auto& z : a[p].e) z = {u(g) * scale, u(g)};
      for (auto& z : b[p].e) z = {u(g), u(g) / scale};
      for (auto& z : A[p].e) z = {u(g) * scale, u(g)};
      for (auto& z : B[p].e) z = {u(g), u(g) / scale};
      if (t % 10 == 0 && p == 3) a[p].e[0] = a[p].e[1] = 0.0;  // first column zero: singular
      numlib::lanes::setLane(al, p, a[p]), numlib::lanes::setLane(bl, p, b[p]);
      numlib::lanes::setLane(Al, p, A[p]), numlib::lanes::setLane(Bl, p, B[p]);
    }
    LaneProducts r;
    laneProducts(al, bl, Al, Bl, r);
    ASSERT_EQ(r.inverted, t % 10 != 0);
    for (int p = 0; p < W; ++p) {
      CMat2 c, inv;
      CMat4 C;
      CMUL2(a[p], b[p], c);
      CMUL4(A[p], B[p], C);
      ASSERT_EQ(numlib::lanes::lane(r.c, p).e, c.e);
      ASSERT_EQ(numlib::lanes::lane(r.C, p).e, C.e);
      if (r.inverted) {
        CINV2(a[p], inv);
        ASSERT_EQ(numlib::lanes::lane(r.inv, p).e, inv.e);
      }
      for (int i = 0; i < 4; ++i) {
        if (a[p].e[i] == 0.0) continue;
        ASSERT_EQ(numlib::lanes::lane(r.quot, p).e[i], numlib::detail::cdiv(b[p].e[i], a[p].e[i]));
      }
    }
  }
}

}  // namespace

// Layer matrices against closed forms of grazing-incidence optics.
//
// Conventions.  The state vector is (psi1, psi2, psi3, psi4) with
// d psi / d(K0 z) = i M psi, z pointing into the sample.  psi1 is the field
// of the polarisation with susceptibility chi22 (M(3,1) = s^2 + chi22) and
// psi3 = psi1' / (i K0) its derivative; psi4 is the field of the polarisation
// with chi11 (M(2,4) = s^2 + chi11) and psi2 = psi4' / (i K0).  In vacuum the
// incident wave exp(i K0 s z) with amplitudes a and the reflected one with
// amplitudes r give (psi1, psi2) = a + r and (psi3, psi4) = X (a - r) with
// X = diag(s, 1/s); in an isotropic substrate the transmitted wave gives
// Y = diag(q, 1/q) with q = sqrt(s^2 + chi).  REFL2 returns R with r = -R a.
// Counted as fields, therefore:
//   R(1,1) = minus the reflection coefficient of the psi1 polarisation (the
//            incident one of the time-spectrum programs, which take the
//            cross-polarised field amplitude as R(2,1)/s);
//   R(2,2) = the reflection coefficient of the psi4 polarisation.
// Both are (s - q)/(s + q) for a bare isotropic substrate: at grazing
// incidence sigma and pi reflection differ only at order chi, which these
// operators leave out.
#include "numlib/layer.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "cmatrix_testing.hpp"
#include "layer_operator.hpp"

namespace {

using namespace nrstest;
using numlib::expm4Balanced;
using numlib::PROPM4;
using numlib::REFL2;
using numlib::TMAT4I;

constexpr cdouble kI{0.0, 1.0};
constexpr double kK0 = 7.3;                   // 1/Angstrom, 14.4 keV
const cdouble kChiFe{-15.2e-6, 0.69e-6};      // electronic susceptibility of iron
const cdouble kChiSi{-4.6e-6, 0.011e-6};      // of silicon
const cdouble kChiGlass{-4.8e-6, 0.0};        // non-absorbing substrate

using Layer = LayerOperator;

Layer isotropic(double s, cdouble chi) { return layerOperator(s, chi, chi, 0.0, 0.0); }

// Difference of two layer matrices relative to their size, measured with the
// derivative components scaled to the fields (psi2, psi3 divided by q).
// Unscaled, entries differ by a factor 1/q^2 ~ 1e5 and a plain maximum would
// only look at the largest ones.
double relDiff(const CMat4& t, const CMat4& ref, double q) {
  const double w[4] = {1.0, q, q, 1.0};
  double diff = 0.0, size = 0.0;
  for (int r = 1; r <= 4; ++r) {
    for (int c = 1; c <= 4; ++c) {
      const double f = w[c - 1] / w[r - 1];
      diff = std::max(diff, std::abs(t(r, c) - ref(r, c)) * f);
      size = std::max(size, std::abs(ref(r, c)) * f);
    }
  }
  return diff / size;
}

// exp(i D M) of an operator without cross-polarisation terms, built from the
// closed forms of its two 2x2 blocks (psi1, psi3) and (psi4, psi2).
CMat4 uncoupledExp(const CMat4& m, double D) {
  CMat4 t1, t4, m1 = m;
  m1(2, 4) = m(3, 1);
  TMAT4I(m1, D, t1);
  TMAT4I(m, D, t4);
  CMat4 t;
  for (int r : {1, 3})
    for (int c : {1, 3}) t(r, c) = t1(r, c);
  for (int r : {2, 4})
    for (int c : {2, 4}) t(r, c) = t4(r, c);
  return t;
}

// Below the critical angle the field decays like exp(-K0 d |q|) and the
// characteristic matrix holds that factor next to its inverse; products such
// as T(D) T(-D) then cancel to a precision no method can keep.  The
// identities are therefore checked above the critical angle (growth within
// e^2), agreement with the fallback exponential at any angle.
TEST(TMAT4I, IsExpOfTheIsotropicOperator) {
  CMat4 t;
  TMAT4I(isotropic(3e-3, kChiFe).M, 0.0, t);
  EXPECT_EQ(maxDiff(t, CMat4::identity()), 0.0);
  for (double D : {10.0, 7300.0, 30000.0}) {
    const Layer l = isotropic(6e-3, kChiFe);
    TMAT4I(l.M, D, t);
    CMat4 back;
    TMAT4I(l.M, -D, back);
    EXPECT_LT(relDiff(naive(t, back), CMat4::identity(), l.q), 1e-12) << D;
    EXPECT_LT(std::abs(det4(t) - 1.0), 1e-12) << D;
    for (double s : {1e-3, 3e-3, 6e-3}) {
      const Layer ls = isotropic(s, kChiFe);
      CMat4 ts, ref;
      TMAT4I(ls.M, D, ts);
      expm4Balanced(ls.M, D, ref);
      EXPECT_LT(relDiff(ts, ref, ls.q), 1e-12) << "s " << s << " D " << D;
    }
  }
  // s^2 + chi = 0 (kappa = 0): the limit I + i D N instead of 0/0.
  CMat4 m;
  m(4, 2) = m(1, 3) = 1.0;
  TMAT4I(m, 50.0, t);
  ASSERT_TRUE(allFinite(t));
  CMat4 ref = CMat4::identity();
  ref(1, 3) = ref(4, 2) = kI * 50.0;
  EXPECT_LT(maxDiff(t, ref), 1e-13);
}

// diag(d) and its eigenvalues.
Layer diagonal(const cdouble (&d)[4]) {
  Layer l;
  for (int i = 1; i <= 4; ++i) l.M(i, i) = l.Q(i) = d[i - 1];
  return l;
}

TEST(PROPM4, DiagonalOperatorGivesThePhaseFactors) {
  const cdouble d[4] = {{0.3, 0.01}, {-0.2, 0.0}, {0.05, 0.02}, {1.1, -0.03}};
  const Layer l = diagonal(d);
  CMat4 t;
  EXPECT_EQ(consoleOf([&] { PROPM4(l.M, l.Q, 4.0, t); }), "");
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j)
      EXPECT_LT(std::abs(t(i, j) - (i == j ? std::exp(kI * 4.0 * d[i - 1]) : 0.0)), 1e-14);
}

// An exactly isotropic layer has the eigenvalues (q, -q, q, -q): every
// denominator of Sylvester's formula vanishes.  The message comes once per
// eigenvalue, and the matrix still is the isotropic characteristic matrix.
TEST(PROPM4, IsotropicLayerReportsAndMatchesTMAT4I) {
  for (double s : {1e-3, 3e-3, 6e-3}) {
    const Layer l = isotropic(s, kChiFe);
    CMat4 t, ref;
    const std::string out = consoleOf([&] { PROPM4(l.M, l.Q, 7300.0, t); });
    EXPECT_EQ(out, kDegenerated + kDegenerated + kDegenerated + kDegenerated);
    ASSERT_TRUE(allFinite(t));
    TMAT4I(l.M, 7300.0, ref);
    EXPECT_LT(relDiff(t, ref, l.q), 1e-12) << s;
  }
}

TEST(PROPM4, TwoEqualEigenvaluesReportTwice) {
  const cdouble d[4] = {{0.3, 0.01}, {-0.2, 0.0}, {0.3, 0.01}, {1.1, -0.03}};
  const Layer l = diagonal(d);
  CMat4 t;
  EXPECT_EQ(consoleOf([&] { PROPM4(l.M, l.Q, 4.0, t); }), kDegenerated + kDegenerated);
  for (int i = 1; i <= 4; ++i) EXPECT_LT(std::abs(t(i, i) - std::exp(kI * 4.0 * d[i - 1])), 1e-14);
}

// chi11 and chi22 split by any amount, from a nuclear splitting down to the
// rounding noise of a single unsplit line (a few units in the last place):
// PROPM4 must stay accurate, choosing Sylvester's formula or the fallback,
// and say nothing, since no denominator vanishes.
TEST(PROPM4, AnySplittingOfTheEigenvaluesIsAccurateAndSilent) {
  const double s = 3e-3;
  std::vector<cdouble> splits;
  for (double e = 1e-1; e > 1e-17; e /= 10.0) splits.push_back(e * s * s * cdouble(1.0, 0.3));
  splits.push_back(4.0 * std::ldexp(1.0, -52) * std::abs(s * s + kChiFe));  // 4 ulp
  for (const cdouble& split : splits) {
    const Layer l = layerOperator(s, kChiFe + split, kChiFe, 0.0, 0.0);
    ASSERT_NE(l.Q(1), l.Q(3));
    for (double D : {100.0, 7300.0, 30000.0}) {
      CMat4 t;
      EXPECT_EQ(consoleOf([&] { PROPM4(l.M, l.Q, D, t); }), "");
      EXPECT_LT(relDiff(t, uncoupledExp(l.M, D), l.q), 1e-10) << "split " << split << " D " << D;
    }
  }
}

// The fallback (balancing, scaling and squaring) and Sylvester's formula are
// independent ways to the same exponential: on well separated eigenvalues of
// coupled, absorbing operators at the physical scale they must agree.
TEST(PROPM4, FallbackAgreesWithSylvesterOnPhysicalOperators) {
  struct Chi {
    cdouble c11, c22, c12, c21;
  };
  const Chi nuclear[] = {
      {kChiFe + cdouble(3e-6, 5e-6), kChiFe + cdouble(-2e-6, 4e-6), {1e-6, 2e-6}, {-1.5e-6, 1e-6}},
      {kChiFe + cdouble(-8e-6, 1e-6), kChiFe + cdouble(1e-7, 2e-7), {0.0, 3e-6}, {0.0, -3e-6}},
      {kChiSi + cdouble(2e-8, 1e-8), kChiSi, {1e-9, 0.0}, {1e-9, 0.0}},
  };
  for (const Chi& c : nuclear) {
    for (double s : {1e-3, 3e-3, 8e-3}) {
      const Layer l = layerOperator(s, c.c11, c.c22, c.c12, c.c21);
      for (double D : {10.0, 730.0, 7300.0, 30000.0}) {
        CMat4 syl, fb;
        EXPECT_EQ(consoleOf([&] { PROPM4(l.M, l.Q, D, syl); }), "");
        expm4Balanced(l.M, D, fb);
        EXPECT_LT(relDiff(syl, fb, l.q), 1e-11) << "s " << s << " D " << D;
      }
    }
  }
}

TEST(PROPM4, UnitDeterminantInverseAndSemigroup) {
  // Above the critical angle, as for TMAT4I.
  const Layer l = layerOperator(6e-3, kChiFe + cdouble(3e-6, 5e-6), kChiFe + cdouble(-2e-6, 4e-6), {1e-6, 2e-6},
                            {-1.5e-6, 1e-6});
  const Layer single = layerOperator(6e-3, kChiFe + cdouble(1e-20, 0.0), kChiFe, 0.0, 0.0);
  for (const Layer* p : {&l, &single}) {
    CMat4 t1, t2, t12, back;
    PROPM4(p->M, p->Q, 3000.0, t1);
    PROPM4(p->M, p->Q, 4300.0, t2);
    PROPM4(p->M, p->Q, 7300.0, t12);
    PROPM4(p->M, p->Q, -3000.0, back);
    EXPECT_LT(std::abs(det4(t12) - 1.0), 1e-11);  // trace M = 0
    EXPECT_LT(relDiff(naive(t1, back), CMat4::identity(), p->q), 1e-11);
    EXPECT_LT(relDiff(naive(t2, t1), t12, p->q), 1e-11);
  }
  // The output may be the operator itself.
  CMat4 t, m = l.M;
  PROPM4(l.M, l.Q, 7300.0, t);
  PROPM4(m, l.Q, 7300.0, m);
  EXPECT_EQ(maxDiff(m, t), 0.0);
}

// ----------------------------------------------------------- REFL2 -------

CMat2 vacuum(double s) {
  CMat2 x;
  x(1, 1) = s;
  x(2, 2) = 1.0 / s;
  return x;
}

CMat2 substrate(cdouble q) {
  CMat2 y;
  y(1, 1) = q;
  y(2, 2) = 1.0 / q;
  return y;
}

cdouble fresnel(cdouble qa, cdouble qb) { return (qa - qb) / (qa + qb); }

TEST(REFL2, BareSubstrateGivesFresnel) {
  for (cdouble chi : {kChiFe, kChiSi}) {
    for (double s : {1e-3, 2.5e-3, 4e-3, 1e-2}) {
      const cdouble q = std::sqrt(s * s + chi);
      CMat2 r;
      REFL2(vacuum(s), CMat4::identity(), substrate(q), r);
      const cdouble rf = fresnel(s, q);
      EXPECT_LT(std::abs(r(2, 2) - rf), 1e-13);
      EXPECT_LT(std::abs(r(1, 1) + rf), 1e-13);
      EXPECT_EQ(r(1, 2), 0.0);
      EXPECT_EQ(r(2, 1), 0.0);
    }
  }
}

TEST(REFL2, TotalReflectionBelowTheCriticalAngle) {
  const double sc = std::sqrt(-kChiGlass.real());  // sine of the critical angle
  for (double f : {0.2, 0.6, 0.95, 0.999}) {
    CMat2 r;
    REFL2(vacuum(f * sc), CMat4::identity(), substrate(std::sqrt(f * f * sc * sc + kChiGlass)), r);
    EXPECT_NEAR(std::abs(r(1, 1)), 1.0, 1e-13) << f;
    EXPECT_NEAR(std::abs(r(2, 2)), 1.0, 1e-13) << f;
  }
  CMat2 r;
  REFL2(vacuum(1.5 * sc), CMat4::identity(), substrate(std::sqrt(2.25 * sc * sc + kChiGlass)), r);
  EXPECT_LT(std::abs(r(2, 2)), 0.2);
}

// One film of thickness d on a substrate: the Airy sum of the multiple
// reflections, r = (r01 + r12 e^{2i k1 d}) / (1 + r01 r12 e^{2i k1 d}).
TEST(REFL2, OneFilmGivesTheAiryFormula) {
  const double d = 150.0;  // Angstrom
  for (double s : {2e-3, 3.5e-3, 6e-3}) {
    const cdouble q1 = std::sqrt(s * s + kChiFe), q2 = std::sqrt(s * s + kChiSi);
    const Layer film = isotropic(s, kChiFe);
    CMat4 t;
    TMAT4I(film.M, kK0 * d, t);
    CMat2 r;
    REFL2(vacuum(s), t, substrate(q2), r);
    const cdouble r01 = fresnel(s, q1), r12 = fresnel(q1, q2);
    const cdouble ph = std::exp(2.0 * kI * q1 * (kK0 * d));
    const cdouble airy = (r01 + r12 * ph) / (1.0 + r01 * r12 * ph);
    EXPECT_LT(std::abs(r(2, 2) - airy), 1e-12) << s;
    EXPECT_LT(std::abs(r(1, 1) + airy), 1e-12) << s;
  }
}

// Two films: the stack matrix is T(lower) T(upper); the result must match the
// bottom-up recursion of interface reflections.
TEST(REFL2, TwoFilmsMatchTheRecursion) {
  const double s = 4e-3;
  const cdouble chi[2] = {kChiFe, cdouble(-30e-6, 3e-6)};
  const double d[2] = {80.0, 25.0};
  const cdouble qs = std::sqrt(s * s + kChiSi);
  CMat4 stack = CMat4::identity();
  for (int i = 0; i < 2; ++i) {
    CMat4 t;
    TMAT4I(isotropic(s, chi[i]).M, kK0 * d[i], t);
    stack = naive(t, stack);
  }
  const cdouble q[3] = {std::sqrt(s * s + chi[0]), std::sqrt(s * s + chi[1]), qs};
  cdouble rr = fresnel(q[1], q[2]);
  for (int i = 1; i >= 0; --i) {
    const cdouble top = i == 0 ? cdouble(s) : q[i - 1];
    const cdouble ph = std::exp(2.0 * kI * q[i] * (kK0 * d[i]));
    const cdouble ri = fresnel(top, q[i]);
    rr = (ri + rr * ph) / (1.0 + ri * rr * ph);
  }
  CMat2 r;
  REFL2(vacuum(s), stack, substrate(qs), r);
  EXPECT_LT(std::abs(r(2, 2) - rr), 1e-12);
}

TEST(REFL2, ZeroBoundaryMatricesAndSingularP) {
  const CMat2 zero;
  CMat4 m = randomMatrix<CMat4>(50);
  CMat2 r;
  EXPECT_EQ(consoleOf([&] { REFL2(zero, m, zero, r); }), "");  // R = C^-1 C
  EXPECT_LT(maxDiff(r, CMat2::identity()), 1e-13);

  // C = 0 makes P = 0: reported once, and R stays finite.
  for (int r1 = 3; r1 <= 4; ++r1)
    for (int c1 = 1; c1 <= 2; ++c1) m(r1, c1) = 0.0;
  EXPECT_EQ(consoleOf([&] { REFL2(zero, m, zero, r); }), kDegenerated);
  EXPECT_TRUE(allFinite(r));

  // The output may be one of the boundary matrices.
  const double s = 3e-3;
  const cdouble q = std::sqrt(s * s + kChiSi);
  CMat2 x = vacuum(s), y = substrate(q), ref;
  REFL2(x, CMat4::identity(), y, ref);
  REFL2(x, CMat4::identity(), y, x);
  REFL2(vacuum(s), CMat4::identity(), y, y);
  EXPECT_EQ(maxDiff(x, ref), 0.0);
  EXPECT_EQ(maxDiff(y, ref), 0.0);
}

}  // namespace

// The further matrix routines against identities of linear algebra and the
// exponentials of the layer-matrix tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <vector>

#include "cmatrix_testing.hpp"
#include "layer_operator.hpp"
#include "numlib/cmatrix_ext.hpp"
#include "numlib/layer_ext.hpp"
#include "numlib/quartic.hpp"

namespace {

using namespace nrstest;
using namespace numlib;

constexpr cdouble kI{0.0, 1.0};
using C1 = Span1<const cdouble>;

CMat2 mat2(cdouble a11, cdouble a21, cdouble a12, cdouble a22) {
  CMat2 m;
  m.e = {a11, a21, a12, a22};
  return m;
}

TEST(MatrixRoutines, ClosedFormExponentials) {
  // TMAT2 is EXPM2 of the zero-diagonal part, also where sin(kD)/k -> D.
  for (const CMat2& m : {mat2(0, {0.3, 0.1}, {-0.7, 0.2}, 0), mat2(0, 0, {1.5, -1}, 0)}) {
    CMat2 t, ref, diag = m;
    diag(1, 1) = {0.4, 9};
    TMAT2(diag, 40.0, t);
    EXPM2(m, 40.0, ref);
    EXPECT_LT(maxDiff(t, ref), 1e-13 * maxAbs(ref));
  }
  // TMAT4D and TMAT4P: TMAT4I on an isotropic layer, the exact exponential on
  // an uncoupled anisotropic one.
  const cdouble chiFe{-15e-6, 0.7e-6};
  for (bool isotropic : {true, false}) {
    const LayerOperator l = layerOperator(3e-3, isotropic ? chiFe : cdouble(-4e-6, 2e-6), chiFe, 0, 0);
    CMat4 ref, d, p;
    if (isotropic) {
      TMAT4I(l.M, 7300.0, ref);
    } else {
      expm4Balanced(l.M, 7300.0, ref);
    }
    TMAT4D(l.M, 7300.0, d);
    TMAT4P(l.M(2, 4), l.M(3, 1), 7300.0, p);
    EXPECT_LT(std::max(maxDiff(d, ref), maxDiff(p, ref)), 1e-10 * maxAbs(ref)) << isotropic;
  }
  // TMAT4S: exp(i D K) of K = [0 A; B 0].
  const CMat2 a = randomMatrix<CMat2>(1), b = randomMatrix<CMat2>(2);
  CMat4 k, t, ref;
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 2; ++c) {
      k(r, c + 2) = a(r, c);
      k(r + 2, c) = b(r, c);
    }
  TMAT4S(a, b, -2.0, t);
  expm4Balanced(k, -2.0, ref);
  EXPECT_LT(maxDiff(t, ref), 1e-11 * maxAbs(ref));
  CMat2 r, rb;
  REFL2(a, k, b, r);
  REFL2B(a, k, b, rb);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(rb.e[i], -r.e[i]);
}

TEST(MatrixRoutines, ScalingAndSquaring) {
  // Against PROPM4 where D |M| is small.  A count from ln(1000 D) alone is
  // negative below D = 1/1000 and scales the operator up instead of down.
  const LayerOperator l = layerOperator(3e-3, {-15e-6, 0.7e-6}, {-4e-6, 2e-6}, {1e-6, 0}, {2e-6, 1e-6});
  for (double D : {1e-9, 1e-4, 0.2, 30.0}) {
    CMat4 e, p;
    EXPM4(l.M, D, e);
    PROPM4(l.M, l.Q, D, p);
    EXPECT_LT(maxDiff(e, p), 1e-5) << D;
  }
  // 1000 D = 0.7: ln(0.7)/ln 2 = -0.51 truncates to 0, so one squaring of
  // I + i D M / 2 (an operator of Frobenius norm below 1 adds none).
  {
    CMat4 m = randomMatrix<CMat4>(5), half = CMat4::identity(), sq, e;
    for (cdouble& z : m.e) z *= 0.1;
    const double D = 7e-4;
    for (int i = 0; i < 16; ++i) half.e[i] += kI * (D / 2) * m.e[i];
    CMUL4(half, half, sq);
    EXPM4(m, D, e);
    EXPECT_LT(maxDiff(e, sq), 1e-15);
  }
  // A large operator on a thin layer: counted from D alone (ten squarings)
  // the scaled step would be 0.06 and the error about 0.3.
  CMat4 big = randomMatrix<CMat4>(7), e, ref;
  for (cdouble& z : big.e) z *= 20.0;
  EXPM4(big, 1.0, e);
  expm4Balanced(big, 1.0, ref);
  EXPECT_LT(maxDiff(e, ref), 0.03 * maxAbs(ref));
}

TEST(MatrixRoutines, InverseDeterminantAndSquareRoot) {
  const CMat4 a = randomMatrix<CMat4>(3);
  CMat4 inv, tri = a;
  cdouble det;
  CINV4(a, inv);
  EXPECT_LT(maxDiff(naive(inv, a), CMat4::identity()), 1e-12);
  for (int r = 2; r <= 4; ++r)
    for (int c = 1; c < r; ++c) tri(r, c) = 0.0;
  CDET4(tri, det);
  EXPECT_LT(std::abs(det - tri(1, 1) * tri(2, 2) * tri(3, 3) * tri(4, 4)), 1e-15);
  // Determinant 0 (ranks 0, 1, 3, and full rank with an underflowing
  // determinant): the finite pseudo-inverse P with A P A = A and P A P = P.
  CMat4 rank3 = a, rank1, tiny = a;
  for (int r = 1; r <= 4; ++r) {
    rank3(r, 4) = rank3(r, 1) - kI * rank3(r, 2);
    for (int c = 1; c <= 4; ++c) rank1(r, c) = cdouble(r, -c) * double(c);
  }
  for (cdouble& z : tiny.e) z *= 1e-90;
  for (const CMat4& m : {CMat4{}, rank1, rank3, tiny}) {
    CMat4 p;
    CINV4(m, p);
    ASSERT_TRUE(allFinite(p));
    EXPECT_LE(maxDiff(naive(naive(m, p), m), m), 1e-12 * maxAbs(m));
    EXPECT_LE(maxDiff(naive(naive(p, m), p), p), 1e-12 * maxAbs(p));
  }

  // CSQRT2(M)^2 = M, including double eigenvalues on the negative axis; both
  // eigenvalues 0 (r1 + r2 = 0) give a finite 0.
  for (const CMat2& m : {randomMatrix<CMat2>(4), mat2(-4, 0, 0, -4), mat2(-4, 0, 1, -4), mat2(1e-12, 3, 2, 7)}) {
    CMat2 r, rr;
    CSQRT2(m, r);
    CMUL2(r, r, rr);
    EXPECT_LT(maxDiff(rr, m), 1e-12 * maxAbs(m));
  }
  for (const CMat2& m : {CMat2{}, mat2(0, 0, 1, 0)}) {
    CMat2 r;
    CSQRT2(m, r);
    EXPECT_EQ(maxAbs(r), 0.0);
  }
}

TEST(MatrixRoutines, CharacteristicPolynomialAndQuarticRoots) {
  // Cayley-Hamilton: p(A) = 0 by Horner's scheme; the inverse times A is I.
  for (int N = 1; N <= 4; ++N) {
    std::vector<cdouble> a(16), out(21), pa(16), w(16);
    for (int i = 0; i < N * N; ++i) a[i] = randomMatrix<CMat4>(N).e[i];
    CHPOLY(C1(a.data(), 16), {out.data(), 21}, N);
    for (int k = 0; k <= N; ++k) {
      CMULN(C1(a.data(), 16), C1(pa.data(), 16), {pa.data(), 16}, N);
      for (int d = 0; d < N; ++d) pa[d * (N + 1)] += out[k];
    }
    CMULN(C1(out.data() + N + 1, 16), C1(a.data(), 16), {w.data(), 16}, N);
    for (int i = 0; i < N * N; ++i) {
      EXPECT_LT(std::abs(pa[i]), 1e-12) << N;
      EXPECT_LT(std::abs(w[i] - (i % (N + 1) == 0 ? 1.0 : 0.0)), 1e-12) << N;
    }
  }
  std::vector<cdouble> a(25, 1.0), out(31, 7.0);
  CHPOLY(C1(a.data(), 25), {out.data(), 31}, 5);  // past the work arrays: nothing written
  EXPECT_EQ(out, std::vector<cdouble>(31, 7.0));

  // The roots of (z-1)(z-2)(z-3)(z-4), from starting points 0.
  const std::array<cdouble, 5> c{24, -50, 35, -10, 1};
  std::array<cdouble, 4> z{};
  QUART(C1(c.data(), 5), {z.data(), 4}, 1e-10f, 100);
  std::sort(z.begin(), z.end(), [](cdouble x, cdouble y) { return x.real() < y.real(); });
  for (int i = 0; i < 4; ++i) EXPECT_LT(std::abs(z[i] - (i + 1.0)), 1e-9) << i;
  // Zero derivative: at the double root of (z-1)^2 (z+2)(z-3) Newton stops;
  // at 0 for z^4 + 1 it moves off and still finds a root.
  const std::array<cdouble, 5> dbl{-6, 11, -3, -3, 1}, quartic{1, 0, 0, 0, 1};
  cdouble z1 = 1.0, z0 = 0.0;
  NEWTQ(C1(dbl.data(), 5), z1, 1e-12f, 50);
  NEWTQ(C1(quartic.data(), 5), z0, 1e-12f, 100);
  EXPECT_EQ(z1, 1.0);
  EXPECT_LT(std::abs(z0 * z0 * z0 * z0 + 1.0), 1e-9);
}

}  // namespace

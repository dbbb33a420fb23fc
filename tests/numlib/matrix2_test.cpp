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
#include "numlib/cmatrix2.hpp"
#include "numlib/layer2.hpp"
#include "numlib/quartic.hpp"

namespace {

using namespace nrstest;
using namespace numlib;

constexpr cdouble kI{0.0, 1.0};

CMat2 mat2(cdouble a11, cdouble a21, cdouble a12, cdouble a22) {
  CMat2 m;
  m.e = {a11, a21, a12, a22};
  return m;
}

TEST(MatrixRoutines, ZeroDiagonalExponentials) {
  const CMat2 cases[] = {mat2(0, {0.3, 0.1}, {-0.7, 0.2}, 0), mat2(0, 2.0, 0.5, 0), mat2(0, 0, {1.5, -1}, 0),
                         mat2(0, 0, 0, 0)};
  for (const CMat2& m : cases) {
    for (double D : {0.0, 1.0, -3.5, 40.0}) {
      CMat2 t, ref, diag = m;
      diag(1, 1) = {0.4, 9};  // not read
      diag(2, 2) = -2.0;
      TMAT2(diag, D, t);
      EXPM2(m, D, ref);
      EXPECT_LT(maxDiff(t, ref), 1e-13 * std::max(1.0, maxAbs(ref))) << D;
    }
  }
  // An isotropic layer: TMAT4D and TMAT4P give TMAT4I, the anisotropic
  // uncoupled one the exact exponential.
  for (double s : {1e-3, 3e-3, 8e-3}) {
    const LayerOperator iso = layerOperator(s, {-15e-6, 0.7e-6}, {-15e-6, 0.7e-6}, 0, 0);
    const LayerOperator two = layerOperator(s, {-15e-6, 0.7e-6}, {-4e-6, 2e-6}, 0, 0);
    for (double D : {0.0, 700.0, 7300.0}) {
      CMat4 ref, d, p;
      TMAT4I(iso.M, D, ref);
      TMAT4D(iso.M, D, d);
      TMAT4P(iso.M(2, 4), iso.M(3, 1), D, p);
      EXPECT_LT(maxDiff(d, ref), 1e-12 * maxAbs(ref)) << s << " " << D;
      EXPECT_LT(maxDiff(p, ref), 1e-12 * maxAbs(ref)) << s << " " << D;
      expm4Balanced(two.M, D, ref);
      TMAT4D(two.M, D, d);
      TMAT4P(two.M(2, 4), two.M(3, 1), D, p);
      EXPECT_LT(maxDiff(d, ref), 1e-10 * maxAbs(ref)) << s << " " << D;
      EXPECT_LT(maxDiff(p, ref), 1e-10 * maxAbs(ref)) << s << " " << D;
    }
  }
}

TEST(MatrixRoutines, BlockAndScaledExponentials) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    const CMat2 a = randomMatrix<CMat2>(seed), b = randomMatrix<CMat2>(seed + 50);
    CMat4 k, t, ref;
    for (int r = 1; r <= 2; ++r)
      for (int c = 1; c <= 2; ++c) {
        k(r, c + 2) = a(r, c);
        k(r + 2, c) = b(r, c);
      }
    for (double D : {0.3, 2.0, -5.0}) {
      TMAT4S(a, b, D, t);
      expm4Balanced(k, D, ref);
      EXPECT_LT(maxDiff(t, ref), 1e-11 * maxAbs(ref)) << seed << " " << D;
    }
  }
  // EXPM4 against PROPM4 where D |M| is small; the first-order term squared
  // n times is then good to about (D |M|)^2 / 2^(n+1).
  const LayerOperator l = layerOperator(3e-3, {-15e-6, 0.7e-6}, {-4e-6, 2e-6}, {1e-6, 0}, {2e-6, 1e-6});
  for (double D : {1e-9, 1e-4, 0.2, 30.0}) {
    CMat4 e, p;
    EXPM4(l.M, D, e);
    PROPM4(l.M, l.Q, D, p);
    ASSERT_TRUE(allFinite(e));
    EXPECT_LT(maxDiff(e, p), 1e-5) << D;
  }
  // A large operator on a thin layer: counted from D alone (ten squarings)
  // the scaled step would be 0.06 and the error about 0.3.
  CMat4 big = randomMatrix<CMat4>(7), e, ref;
  for (cdouble& z : big.e) z *= 20.0;
  EXPM4(big, 1.0, e);
  expm4Balanced(big, 1.0, ref);
  EXPECT_LT(maxDiff(e, ref), 0.03 * maxAbs(ref));
}

TEST(MatrixRoutines, InverseDeterminantAndPseudoInverse) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    const CMat4 a = randomMatrix<CMat4>(seed);
    CMat4 inv;
    cdouble det;
    CINV4(a, inv);
    CDET4(a, det);
    EXPECT_LT(maxDiff(naive(inv, a), CMat4::identity()), 1e-12);
    EXPECT_LT(std::abs(det - det4(a)), 1e-13);
    CMat4 tri = a;  // upper triangular: the product of the diagonal
    for (int r = 2; r <= 4; ++r)
      for (int c = 1; c < r; ++c) tri(r, c) = 0.0;
    CDET4(tri, det);
    EXPECT_LT(std::abs(det - tri(1, 1) * tri(2, 2) * tri(3, 3) * tri(4, 4)), 1e-15);
  }
  // Determinant 0: the Moore-Penrose inverse, checked by Penrose's four
  // conditions, on ranks 0 to 3; a full-rank matrix whose determinant
  // underflows gets its true inverse.
  CMat4 rank3 = randomMatrix<CMat4>(21), rank2 = rank3, rank1, tiny = randomMatrix<CMat4>(22);
  for (int r = 1; r <= 4; ++r) {
    rank3(r, 4) = rank3(r, 1) - kI * rank3(r, 2);
    rank2(r, 3) = rank2(r, 1) * 2.0;
    rank2(r, 4) = rank2(r, 2) + rank2(r, 1);
    for (int c = 1; c <= 4; ++c) rank1(r, c) = cdouble(r, -c) * double(c);
  }
  for (cdouble& z : tiny.e) z *= 1e-90;
  for (const CMat4& a : {CMat4{}, rank1, rank2, rank3, tiny}) {
    CMat4 p;
    CINV4(a, p);
    ASSERT_TRUE(allFinite(p));
    const CMat4 ap = naive(a, p), pa = naive(p, a);
    const double sa = std::max(maxAbs(a), 1e-300), sp = std::max(maxAbs(p), 1e-300);
    EXPECT_LT(maxDiff(naive(ap, a), a), 1e-12 * sa);
    EXPECT_LT(maxDiff(naive(pa, p), p), 1e-12 * sp);
    for (int r = 1; r <= 4; ++r)
      for (int c = 1; c <= 4; ++c) {
        EXPECT_LT(std::abs(ap(r, c) - std::conj(ap(c, r))), 1e-12);
        EXPECT_LT(std::abs(pa(r, c) - std::conj(pa(c, r))), 1e-12);
      }
  }
  CMat4 p;
  CINV4(tiny, p);
  EXPECT_LT(maxDiff(naive(p, tiny), CMat4::identity()), 1e-10);
}

TEST(MatrixRoutines, SquareRootsAndTheirEigenvalues) {
  const CMat2 cases[] = {randomMatrix<CMat2>(3), mat2(4, 0, 0, 9), mat2(-4, 0, 0, -4), mat2(-4, 0, 1, -4),
                         mat2({0, 2}, 1, 0, {0, 2}), mat2(1e-12, 3, 2, 7)};
  for (const CMat2& m : cases) {
    CMat2 r, rr;
    CSQRT2(m, r);
    CMUL2(r, r, rr);
    EXPECT_LT(maxDiff(rr, m), 1e-12 * maxAbs(m));
    // Principal: the eigenvalues of R lie in the right half-plane.
    const cdouble t = (r(1, 1) + r(2, 2)) * 0.5;
    const cdouble q = std::sqrt(t * t - (r(1, 1) * r(2, 2) - r(1, 2) * r(2, 1)));
    EXPECT_GE((t + q).real(), -1e-12);
    EXPECT_GE((t - q).real(), -1e-12);
  }
  // Both eigenvalues 0: r1 + r2 = 0.  Zero has the root zero; a nilpotent
  // matrix has none, and the result stays finite.
  for (const CMat2& m : {CMat2{}, mat2(0, 0, 1, 0)}) {
    CMat2 r;
    CSQRT2(m, r);
    EXPECT_EQ(maxAbs(r), 0.0);
  }
}

TEST(MatrixRoutines, CharacteristicPolynomialAndQuarticRoots) {
  // Cayley-Hamilton: p(A) = 0, and the inverse from the recursion.
  for (int N = 1; N <= 4; ++N) {
    std::vector<cdouble> a(16), out(21), pa(16), power(16), w(16);
    for (int i = 0; i < N * N; ++i) a[i] = randomMatrix<CMat4>(N).e[i];
    CHPOLY(Span1<const cdouble>(a.data(), 16), Span1<cdouble>(out.data(), 21), N);
    EXPECT_EQ(out[0], 1.0);
    for (int d = 0; d < N; ++d) power[d * (N + 1)] = 1.0;  // A^0
    for (int k = N; k >= 0; --k) {
      for (int i = 0; i < N * N; ++i) pa[i] += out[k] * power[i];
      CMULN(Span1<const cdouble>(a.data(), 16), Span1<const cdouble>(power.data(), 16), Span1<cdouble>(power.data(), 16), N);
    }
    for (int i = 0; i < N * N; ++i) EXPECT_LT(std::abs(pa[i]), 1e-12) << "N " << N;
    CMULN(Span1<const cdouble>(out.data() + N + 1, 16), Span1<const cdouble>(a.data(), 16), Span1<cdouble>(w.data(), 16), N);
    for (int i = 0; i < N * N; ++i) EXPECT_LT(std::abs(w[i] - (i % (N + 1) == 0 ? 1.0 : 0.0)), 1e-12) << "N " << N;
  }
  std::vector<cdouble> a(25, 1.0), out(31, 7.0);
  CHPOLY(Span1<const cdouble>(a.data(), 25), Span1<cdouble>(out.data(), 31), 5);  // past the work arrays
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](cdouble z) { return z == 7.0; }));

  // QUART on polynomials of known roots, from starting points 0.
  const std::array<cdouble, 4> roots[] = {{1, 2, 3, 4}, {kI, -kI, 2, -3}, {cdouble(1, 1), cdouble(1, -1), -2, 0.5}, {2, 2, -1, 3}};
  for (const auto& z : roots) {
    std::array<cdouble, 5> c{1, 0, 0, 0, 0};  // product of (x - z_k), from x^0
    for (const cdouble& zk : z) {
      for (int k = 4; k >= 1; --k) c[k] = c[k - 1] - zk * c[k];
      c[0] = -zk * c[0];
    }
    std::array<cdouble, 4> found{};
    QUART(Span1<const cdouble>(c.data(), 5), Span1<cdouble>(found.data(), 4), 1e-10f, 200);
    for (const cdouble& zk : z) {
      double best = 1e9;
      for (const cdouble& f : found) best = std::min(best, std::abs(f - zk));
      EXPECT_LT(best, 1e-6) << zk;  // a double root is found to about the root of eps
    }
  }
  // Zero derivative: at a double root Newton stops there; elsewhere it moves
  // off the critical point and still finds a root of z^4 + 1 from 0.
  const std::array<cdouble, 5> dbl{-6, 11, -3, -3, 1}, quartic{1, 0, 0, 0, 1};  // (z-1)^2 (z+2)(z-3)
  cdouble z = 1.0;
  NEWTQ(Span1<const cdouble>(dbl.data(), 5), z, 1e-12f, 50);
  EXPECT_EQ(z, 1.0);
  z = 0.0;
  NEWTQ(Span1<const cdouble>(quartic.data(), 5), z, 1e-12f, 100);
  EXPECT_LT(std::abs(z * z * z * z + 1.0), 1e-9);
}

TEST(MatrixRoutines, SinglePrecisionTwinsAndReflectionSign) {
  const CMat2 m = randomMatrix<CMat2>(5), b = randomMatrix<CMat2>(6);
  CMat2S ms, bs, ts, ps;
  for (int i = 0; i < 4; ++i) {
    ms.e[i] = cfloat(m.e[i]);
    bs.e[i] = cfloat(b.e[i]);
  }
  EXPM2S(ms, 2.5f, ts);
  CMUL2S(ms, bs, ms);  // output aliases an input
  CMat2 t, p;
  EXPM2(m, 2.5, t);
  CMUL2(m, b, p);
  for (int i = 0; i < 4; ++i) {
    EXPECT_LT(std::abs(cdouble(ts.e[i]) - t.e[i]), 1e-6 * maxAbs(t));
    EXPECT_LT(std::abs(cdouble(ms.e[i]) - p.e[i]), 1e-6 * maxAbs(p));
  }
  const CMat4 mm = randomMatrix<CMat4>(8);
  const CMat2 x = randomMatrix<CMat2>(9), y = randomMatrix<CMat2>(10);
  CMat2 r, rb;
  REFL2(x, mm, y, r);
  REFL2B(x, mm, y, rb);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(rb.e[i], -r.e[i]);
}

}  // namespace

// Layer matrices of a sublayer with an anisotropic susceptibility tensor,
// checked against the matrix exponential of the propagation operator and its
// invariant subspaces.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <memory>
#include <random>

#include "numlib/layer.hpp"
#include "numlib/layerlanes.hpp"
#include "numlib/layermodes.hpp"

namespace {

using numlib::CMat2;
using numlib::CMat4;
using cdouble = std::complex<double>;
using lcomplex = std::complex<long double>;

// exp(A) of an n x n matrix (column order) by scaling and squaring of the
// Taylor series, in extended precision.
template <int n>
std::array<lcomplex, n * n> expm(std::array<lcomplex, n * n> A) {
  long double norm = 0;
  for (const lcomplex& x : A) norm = std::max(norm, std::abs(x));
  int squarings = 0;
  while (norm * n > 0.25L) norm /= 2, ++squarings;
  for (lcomplex& x : A) x = std::ldexp(1.0L, -squarings) * x;
  auto mul = [](const std::array<lcomplex, n * n>& X, const std::array<lcomplex, n * n>& Y) {
    std::array<lcomplex, n * n> Z{};
    for (int c = 0; c < n; ++c)
      for (int k = 0; k < n; ++k)
        for (int r = 0; r < n; ++r) Z[c * n + r] += X[k * n + r] * Y[c * n + k];
    return Z;
  };
  std::array<lcomplex, n * n> E{}, term{};
  for (int i = 0; i < n; ++i) E[i * n + i] = term[i * n + i] = 1.0L;
  for (int k = 1; k <= 30; ++k) {
    term = mul(term, A);
    for (lcomplex& x : term) x /= static_cast<long double>(k);
    for (int i = 0; i < n * n; ++i) E[i] += term[i];
  }
  for (int i = 0; i < squarings; ++i) E = mul(E, E);
  return E;
}

struct Tensor {
  cdouble c11, c21, c12, c22;
};

// The 4x4 propagation operator of a sublayer.
CMat4 operatorM(const Tensor& t, double s2) {
  CMat4 M;
  M(2, 1) = t.c21;
  M(3, 1) = s2 + t.c22;
  M(4, 2) = 1.0;
  M(1, 3) = 1.0;
  M(2, 4) = s2 + t.c11;
  M(3, 4) = t.c12;
  return M;
}

// exp(i d A) for a 2x2 or 4x4 matrix A.
template <class Mat, int n>
Mat expiD(const Mat& A, double d) {
  std::array<lcomplex, n * n> X;
  for (int i = 0; i < n * n; ++i) X[i] = lcomplex(0, 1) * static_cast<long double>(d) * lcomplex(A.e[i]);
  const auto E = expm<n>(X);
  Mat R;
  for (int i = 0; i < n * n; ++i) R.e[i] = cdouble(E[i]);
  return R;
}

// Largest element of A - B relative to the largest element of B.
template <class Mat>
double relDiff(const Mat& A, const Mat& B) {
  double d = 0, scale = 0;
  for (size_t i = 0; i < A.e.size(); ++i) {
    d = std::max(d, std::abs(A.e[i] - B.e[i]));
    scale = std::max(scale, std::abs(B.e[i]));
  }
  return d / scale;
}

const double kS = std::sin(3.1e-3), kS2 = kS * kS;
const double kD = 250.0 * 7.3;  // 250 Angstrom

// c11, c22 = m -+ D with s^2 + m = a + ib and D = c + id, ac + bd = 0: then
// |s^2 + m + D| = |s^2 + m - D| and the two wave numbers have equal moduli.
Tensor equalModuli(double s2) {
  const double a = 7.6e-6, b = 1.0e-6, d = 5.0e-7, c = -b * d / a;
  const cdouble m(a - s2, b), D(c, d);
  return {m + D, 0.0, 0.0, m - D};
}

const Tensor kCases[] = {
    // Generic resonant tensor.
    {{-1.5e-5, 2.0e-6}, {-3.0e-6, 1.0e-6}, {1.0e-6, -2.0e-6}, {-1.2e-5, 5.0e-6}},
    // Nearly isotropic: coinciding lines whose polarisations add up to the
    // unit tensor leave only rounding in the anisotropy.
    {{-1.4e-5, 3.0e-6}, {2.0e-22, -1.0e-22}, {-1.0e-22, 3.0e-22}, {-1.4e-5, 3.0e-6 + 4e-22}},
    // Exceptional point: D = 0 but K is a Jordan block.
    {{-1.3e-5, 1.0e-6}, {2.0e-6, 1.0e-6}, {0.0, 0.0}, {-1.3e-5, 1.0e-6}},
    // Strong anisotropy near resonance, above the critical angle.
    {{-2.0e-6, 9.0e-6}, {4.0e-6, -2.0e-6}, {-1.0e-6, -4.0e-6}, {-8.0e-6, 0.5e-6}},
    // Distinct wave numbers of equal modulus (D at right angles to
    // s^2 + (c11 + c22)/2 in the complex plane), both modes absorbing.
    equalModuli(std::sin(3.1e-3) * std::sin(3.1e-3)),
    // Isotropic, electronic only.
    {{-1.5e-5, 7.0e-7}, {0.0, 0.0}, {0.0, 0.0}, {-1.5e-5, 7.0e-7}},
};

}  // namespace

TEST(LayerModes, CharacteristicMatrixIsTheExponentialOfTheOperator) {
  int n = 0;
  for (const Tensor& t : kCases) {
    const numlib::LayerModes m = numlib::layerModes(t.c11, t.c21, t.c12, t.c22, kS2);
    CMat4 T;
    numlib::layerMatrix4(m, kS2, kD, T);
    const CMat4 ref = expiD<CMat4, 4>(operatorM(t, kS2), kD);
    EXPECT_LT(relDiff(T, ref), 1e-10) << "case " << n;
    ++n;
  }
}

TEST(LayerModes, AdmittanceAndPropagatorsDescribeTheDownGoingModes) {
  int n = 0;
  for (const Tensor& t : kCases) {
    const numlib::LayerModes m = numlib::layerModes(t.c11, t.c21, t.c12, t.c22, kS2);
    CMat2 F, Pf, Pb;
    numlib::layerAdmittance(m, F);
    numlib::layerPropagators(m, kS2, kD, Pf, Pb);
    // The vectors (x, F x) span the subspace of the two down-going modes:
    // M maps it onto itself, and on it M acts on the upper half as Mf.
    const CMat4 M = operatorM(t, kS2);
    CMat2 Mf;
    for (int c = 1; c <= 2; ++c) {
      cdouble v[4] = {c == 1 ? 1.0 : 0.0, c == 2 ? 1.0 : 0.0, F(1, c), F(2, c)};
      cdouble y[4] = {};
      for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 4; ++k) y[r] += M(r + 1, k + 1) * v[k];
      for (int r = 0; r < 2; ++r) {
        const cdouble fy = F(r + 1, 1) * y[0] + F(r + 1, 2) * y[1];
        EXPECT_LT(std::abs(fy - y[r + 2]), 1e-9 * std::abs(fy) + 1e-15) << "case " << n;
      }
      Mf(1, c) = y[0];
      Mf(2, c) = y[1];
    }
    // Down-going waves decay or travel downwards: Mf has eigenvalues q1, q2.
    const cdouble tr = Mf(1, 1) + Mf(2, 2), det = Mf(1, 1) * Mf(2, 2) - Mf(1, 2) * Mf(2, 1);
    EXPECT_LT(std::abs(tr - (m.q1 + m.q2)), 1e-9 * std::abs(m.q1));
    EXPECT_LT(std::abs(det - m.q1 * m.q2), 1e-9 * std::norm(m.q1));
    EXPECT_GE(m.q1.imag(), 0.0);
    EXPECT_GE(m.q2.imag(), 0.0);

    CMat2 Mb = Mf;
    Mb(1, 1) = -Mf(1, 1);
    Mb(2, 2) = -Mf(2, 2);
    EXPECT_LT(relDiff(Pf, expiD<CMat2, 2>(Mf, kD)), 1e-10) << "case " << n;
    EXPECT_LT(relDiff(Pb, expiD<CMat2, 2>(Mb, -kD)), 1e-10) << "case " << n;
    ++n;
  }
}

TEST(LayerModes, EqualModuliDoNotMakeTheModesAlike) {
  const Tensor& t = kCases[4];
  const numlib::LayerModes m = numlib::layerModes(t.c11, t.c21, t.c12, t.c22, kS2);
  EXPECT_LT(std::abs(std::abs(m.q1) - std::abs(m.q2)), 1e-12 * std::abs(m.q1));
  EXPECT_GT(std::abs(m.q1 - m.q2), 0.01 * std::abs(m.q1));
  CMat2 Pf, Pb, scalar;
  numlib::layerPropagators(m, kS2, kD, Pf, Pb);
  scalar(1, 1) = scalar(2, 2) = std::exp(cdouble(0, kD) * m.q1);
  EXPECT_GT(relDiff(scalar, Pf), 0.1);  // a scalar propagator would be far off
}

TEST(LayerModes, PROPM4AgreesWithTheClosedFormOnResonantTensors) {
  int n = 0;
  for (const Tensor& t : kCases) {
    const numlib::LayerModes m = numlib::layerModes(t.c11, t.c21, t.c12, t.c22, kS2);
    if (m.isotropic || std::abs(m.D) == 0.0) continue;  // PROPM4 needs distinct eigenvalues
    numlib::CVec4 Q;
    Q(1) = m.q1, Q(2) = -m.q1, Q(3) = m.q2, Q(4) = -m.q2;
    CMat4 T, P;
    numlib::layerMatrix4(m, kS2, kD, T);
    numlib::PROPM4(operatorM(t, kS2), Q, kD, P);
    EXPECT_LT(relDiff(P, T), 1e-8) << "case " << n;
    ++n;
  }
}

namespace {

using numlib::lanes::W;

bool sameModes(const numlib::LayerModes& x, const numlib::LayerModes& y) {
  return x.D == y.D && x.q1 == y.q1 && x.q2 == y.q2 && x.W == y.W && x.invW == y.invW &&
         x.isotropic == y.isotropic && x.c11 == y.c11 && x.c21 == y.c21 && x.c12 == y.c12 && x.c22 == y.c22;
}

template <class Matrix, class Lanes>
bool sameLane(const Lanes& L, int p, const Matrix& A) {
  return numlib::lanes::laneOf<Matrix>(L, p).e == A.e;
}

// The lanes' results of one tensor per lane, by the wide instruction set
// where the processor has it (as the stack paths call them).
struct LanesResult {
  bool together = false, propagated = false;
  numlib::LayerModesL m;
  numlib::lanes::CMat2L F, Pf, Pb;
  numlib::lanes::CMat4L T;
};

__attribute__((target_clones("avx2", "default"))) void lanesOf(const numlib::LayerTensorL& t, double s2, double d,
                                                                 LanesResult& r) {
  r.together = numlib::layerModesL(t, s2, r.m);
  if (!r.together) return;
  numlib::layerAdmittanceL(r.m, r.F);
  r.propagated = numlib::layerPropagatorsL(r.m, s2, d, W, r.Pf, r.Pb);
  if (!r.m.isotropic) numlib::layerMatrix4L(r.m, d, W, r.T);
}

// Four points in the lanes give, each, what the one-point routines give, to
// the last bit: modes, admittance, propagators (thin layers and layers thick
// enough to take the other form) and characteristic matrix.  The lanes
// refuse, rather than part ways, where one lane is isotropic and another is
// not, or a wave number is zero (no absorption at the critical angle).
TEST(LayerModes, LanesEqualOnePointAtATime) {
  std::mt19937_64 g(5);
  std::uniform_real_distribution<double> u(-1, 1);
  auto z = [&](double s) { return cdouble(u(g) * s, u(g) * s); };
  enum Kind { kAnisotropic, kIsotropic, kMixed, kZeroWave };
  int counted[4] = {}, thick = 0;
  for (int t = 0; t < 4000; ++t) {
    const Kind kind = static_cast<Kind>(t % 4);
    const double s2 = std::pow(5e-3 * u(g), 2), off = std::pow(10.0, -9 + 4 * u(g));
    const double d = std::pow(10.0, 1 + 3.5 * (u(g) + 1) / 2);  // 10 to 3e4
    numlib::LayerTensor one[W];
    numlib::LayerTensorL lanes;
    for (int p = 0; p < W; ++p) {
      one[p] = {z(2e-5), z(off), z(off), z(2e-5)};
      if (kind == kIsotropic || (kind == kMixed && p == 2)) one[p] = {one[p].c11, 0.0, 0.0, one[p].c11};
      if (kind == kZeroWave && p == 1) one[p] = {cdouble(-s2, 0), 0.0, 0.0, cdouble(-s2, 0)};
      for (auto [L, x] : {std::pair{&lanes.c11, one[p].c11}, {&lanes.c21, one[p].c21}, {&lanes.c12, one[p].c12},
                          {&lanes.c22, one[p].c22}})
        L->re[p] = x.real(), L->im[p] = x.imag();
    }
    const auto r = std::make_unique<LanesResult>();
    lanesOf(lanes, s2, d, *r);
    ASSERT_EQ(r->together, kind == kAnisotropic || kind == kIsotropic) << t;
    ++counted[kind];
    if (!r->together) continue;
    const numlib::LayerModesL& m = r->m;
    bool thickLane = false;
    for (int p = 0; p < W; ++p) {
      const numlib::LayerModes s = numlib::layerModes(one[p].c11, one[p].c21, one[p].c12, one[p].c22, s2);
      ASSERT_TRUE(sameModes(numlib::laneModes(m, p), s)) << t;
      CMat2 f, pf, pb;
      CMat4 T1;
      numlib::layerAdmittance(s, f);
      numlib::layerPropagators(s, s2, d, pf, pb);
      numlib::layerMatrix4(s, s2, d, T1);
      ASSERT_TRUE(sameLane(r->F, p, f)) << t;
      ASSERT_TRUE(!r->propagated || (sameLane(r->Pf, p, pf) && sameLane(r->Pb, p, pb))) << t;
      ASSERT_TRUE(m.isotropic || sameLane(r->T, p, T1)) << t;
      thickLane = thickLane || std::abs((s.D / (s.q1 + s.q2) * d).imag()) > 1.0;
    }
    ASSERT_EQ(r->propagated, m.isotropic || !thickLane) << t;
    thick += !r->propagated;
  }
  for (int k = 0; k < 4; ++k) EXPECT_EQ(counted[k], 1000);
  EXPECT_GT(thick, 100);
}

}  // namespace

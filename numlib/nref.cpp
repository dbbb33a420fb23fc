// The state vector is (field, its normal derivative over i K0); a layer of
// phase thickness D and susceptibility chi carries it by exp(i D M) with
// M = [0 a; 1 0], a = s^2 + chi, s = sin(THETA).  Since M^2 = a I, with
// q = sqrt(a) and z = q D:
//     exp(i D M) = [cos z, i q sin z; i sin z / q, cos z],
// which needs one complex exponential per layer and angle.
#include "numlib/nref.hpp"

#include <algorithm>
#include <cmath>

#include "numlib/cmatrix.hpp"

namespace numlib {

namespace {

// Principal square root, Re >= 0, Im of the sign of Im a (a signed zero
// counts).  |a| comes from x^2 + y^2 directly: the layer values a are far
// from the ends of the double range.
inline cdouble principalSqrt(cdouble a) {
  const double x = a.real(), y = a.imag();
  const double r = std::sqrt(x * x + y * y);
  if (r == 0.0) return {0.0, y};
  if (x >= 0.0) {
    const double t = std::sqrt(0.5 * (r + x));
    return {t, y / (2.0 * t)};
  }
  const double t = std::sqrt(0.5 * (r - x));
  return {std::abs(y) / (2.0 * t), std::copysign(t, y)};
}

// A layer matrix [c u; v c].
struct LayerMatrix {
  cdouble c, u, v;
};

// exp(i D M) up to a scalar factor.  The reflection coefficient is a ratio
// of two linear forms of the transfer matrix, so a factor of each layer
// drops out: an absorbing layer is taken times exp(-|Im z|), which keeps
// every element bounded however thick the layer is.
inline LayerMatrix layerMatrix(cdouble a, double D) {
  const cdouble z2 = a * (D * D);
  if (std::abs(z2.real()) + std::abs(z2.imag()) < 0.01) {
    // |z| < 0.1: Taylor series of cos z and sin(z)/z; the first omitted
    // terms, z^10/10! and z^10/11!, are below 3e-17.  No square root needed,
    // and a = 0 (the critical angle of a transparent layer) is regular.
    const cdouble c = 1.0 + z2 * (-1.0 / 2 + z2 * (1.0 / 24 + z2 * (-1.0 / 720 + z2 * (1.0 / 40320))));
    const cdouble sinc = 1.0 + z2 * (-1.0 / 6 + z2 * (1.0 / 120 + z2 * (-1.0 / 5040 + z2 * (1.0 / 362880))));
    const cdouble iDs{0.0, D};
    const cdouble v = iDs * sinc;  // i sin(z) / q = i D sin(z)/z
    return {c, a * v, v};
  }
  const cdouble q = principalSqrt(a);
  const cdouble z = q * D;
  const double X = z.imag();
  const cdouble e{std::cos(z.real()), std::sin(z.real())};
  const double w = std::exp(-2.0 * std::abs(X));
  // exp(iz) and exp(-iz), both times exp(-|X|).
  const cdouble ep = X >= 0.0 ? w * e : e;
  const cdouble em = X >= 0.0 ? std::conj(e) : w * std::conj(e);
  const cdouble h = 0.5 * (ep - em);  // i sin z
  return {0.5 * (ep + em), q * h, h / q};
}

// A := T A
inline void applyLayer(const LayerMatrix& t, CMat2& A) {
  auto& a = A.e;  // (1,1) (2,1) (1,2) (2,2)
  const cdouble a11 = t.c * a[0] + t.u * a[1];
  const cdouble a21 = t.v * a[0] + t.c * a[1];
  const cdouble a12 = t.c * a[2] + t.u * a[3];
  const cdouble a22 = t.v * a[2] + t.c * a[3];
  a = {a11, a21, a12, a22};
}

// Brings the largest component of A near 1 by an exact power of two: the
// ratio r does not change, and long products of the block can neither
// overflow nor underflow.
void renormalise(CMat2& A) {
  double big = 0.0;
  for (const cdouble& x : A.e) big = std::max({big, std::abs(x.real()), std::abs(x.imag())});
  if (!(big > 0x1p-64 && big < 0x1p64) && big > 0.0 && std::isfinite(big)) {
    int e = 0;
    std::frexp(big, &e);
    const double f = std::ldexp(1.0, -e);
    for (cdouble& x : A.e) x *= f;
  }
}

// Doubling plan for NRR >= 3: P = 2^L, the largest power 2^L <= NRR - 1
// (L >= 1), and M = NRR - 1 - P single products: with the block's own pass
// the block acts 1 + M + P = NRR times.
struct Doubling {
  int L = 1;
  long long M = 0;
};

Doubling doublingPlan(int NRR) {
  Doubling d;
  while ((2LL << d.L) <= NRR - 1LL) ++d.L;
  d.M = NRR - 1LL - (1LL << d.L);
  return d;
}

// The block B has acted once on A; it acts NRR - 1 more times.
void repeatBlock(int NRR, CMat2& B, CMat2& A) {
  if (NRR == 2) {
    CMUL2(B, A, A);
    return;
  }
  const Doubling d = doublingPlan(NRR);
  const CMat2 C = B;
  for (int k = 0; k < d.L; ++k) {
    CMUL2(B, B, B);
    renormalise(B);
  }
  for (long long k = 0; k < d.M; ++k) {
    CMUL2(C, A, A);
    renormalise(A);
  }
  CMUL2(B, A, A);
  renormalise(A);
}

}  // namespace

cdouble NREFamp(double THETA, int NNst, int N1Nst, int N2Nst, int NRR, Span1<const double> D,
                Span1<const cdouble> CHI) {
  const double s = std::sin(THETA);
  const double s2 = s * s;
  const bool repeated = NRR >= 2;
  CMat2 A = CMat2::identity(), B = CMat2::identity();
  for (int i = 1; i <= NNst - 1; ++i) {
    const LayerMatrix t = layerMatrix(s2 + CHI(i), D(i));
    applyLayer(t, A);
    if ((i & 31) == 0) renormalise(A);
    if (repeated && i >= N1Nst && i <= N2Nst) {
      applyLayer(t, B);
      if (i == N2Nst) repeatBlock(NRR, B, A);
    }
  }
  const cdouble q = principalSqrt(s2 + CHI(NNst));
  const auto& a = A.e;  // (1,1) (2,1) (1,2) (2,2)
  const cdouble n = (s * a[1] + a[3]) * q - (s * a[0] + a[2]);
  const cdouble m = (s * a[1] - a[3]) * q - (s * a[0] - a[2]);
  return n / m;
}

void NREF(double THETA, int NNst, int N1Nst, int N2Nst, int NRR, Span1<const double> D,
          Span1<const cdouble> CHI, float& R) {
  const cdouble r = NREFamp(THETA, NNst, N1Nst, N2Nst, NRR, D, CHI);
  R = static_cast<float>(r.real() * r.real() + r.imag() * r.imag());
}

}  // namespace numlib

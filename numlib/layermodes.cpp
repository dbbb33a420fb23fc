#include "numlib/layermodes.hpp"

#include <cmath>

#include "numlib/cscalar.hpp"
#include "numlib/layer.hpp"
#include "numlib/layerlanes.hpp"

namespace numlib {

namespace {

using detail::cdiv;

// i z and z/(2i), written out as GCC forms the products with those
// constants, so that every compiler gives what the lanes of layerlanes.hpp
// give.
cdouble timesI(cdouble z) { return {-z.imag(), z.real()}; }
cdouble halfOverI(cdouble z) { return {-(z.imag() * -0.5), z.real() * -0.5}; }

// Principal square root.  The moduli met here (susceptibilities and squared
// sines, 1e-30..1) need no scaling against overflow, so sqrt(x^2 + y^2)
// replaces the library's hypot; a negative zero imaginary part gives the
// lower root, as the library's does.
cdouble csqrt(cdouble z) {
  const double x = z.real(), y = z.imag();
  const double r = std::sqrt(x * x + y * y);
  if (r == 0.0) return cdouble(0.0, y);
  if (x >= 0.0) {
    const double t = std::sqrt((r + x) / 2);
    return cdouble(t, y / (2 * t));
  }
  const double t = std::sqrt((r - x) / 2);
  return cdouble(std::abs(y) / (2 * t), std::copysign(t, y));
}

// exp(i x) and exp(-i x) from one real sine, cosine and exponential.
void expPair(cdouble x, cdouble& ep, cdouble& em) {
  const double c = std::cos(x.real()), s = std::sin(x.real());
  const double g = std::exp(-x.imag()), gi = 1.0 / g;
  ep = cdouble(g * c, g * s);
  em = cdouble(gi * c, -gi * s);
}

// sin(z d)/z and cos(z d) from exp(+-i z d); near z d = 0 the quotient
// comes from the series of sinOverK, without the cancellation in the
// difference of the two exponentials.
void sinc(cdouble z, double d, cdouble& sz, cdouble& cz) {
  cdouble ep, em;
  expPair(z * d, ep, em);
  cz = (ep + em) / 2.0;
  sz = detail::sinOverK(z, d, halfOverI(ep - em));
}

// e^(i sigma d) cos(delta d) and i e^(i sigma d) sin(delta d)/delta for the
// half sum sigma and half difference delta of two wave numbers with
// Im(sigma) >= |Im(delta)|: both are bounded by 1 + d |delta|.  Split into
// factors, e^(i sigma d) underflows and cos(delta d) overflows in a layer
// some thousand decay lengths thick, and 0 * inf gives NaN; once
// |Im(delta d)| > 1 the two waves exp(i (sigma +- delta) d) themselves are
// used, whose difference then cancels in no digit.
void decayingPair(cdouble sigma, cdouble delta, double d, cdouble& ec, cdouble& ie) {
  const cdouble x = delta * d;
  if (std::abs(x.imag()) <= 1.0) {
    cdouble sd, cd;
    sinc(delta, d, sd, cd);
    const cdouble e = std::exp(timesI(sigma * d));
    ec = e * cd;
    ie = timesI(e) * sd;
    return;
  }
  const cdouble e1 = std::exp(timesI((sigma + delta) * d)), e2 = std::exp(timesI((sigma - delta) * d));
  ec = (e1 + e2) / 2.0;
  ie = cdiv(e1 - e2, 2.0 * delta);
}

}  // namespace

namespace {

// W, 1/W and the isotropy of modes whose D, q1 and q2 are set; false where
// the layer matrices would not be finite (W, q1 q2 or q1 + q2 zero).
bool completeModes(LayerModes& m, double s2) {
  m.W = s2 + m.c11 + m.q1 * m.q2;
  m.invW = cdiv(1.0, m.W);
  // Only an exactly isotropic tensor has scalar modes: D = 0 alone also
  // holds at an exceptional point, where K is a Jordan block.
  m.isotropic = m.c21 == 0.0 && m.c12 == 0.0 && m.c11 == m.c22;
  const cdouble qq = m.q1 * m.q2;
  return m.W != 0.0 && qq != 0.0 && m.q1 + m.q2 != 0.0;
}

void setTensor(LayerModes& m, cdouble c11, cdouble c21, cdouble c12, cdouble c22) {
  m.c11 = c11;
  m.c21 = c21;
  m.c12 = c12;
  m.c22 = c22;
}

}  // namespace

LayerModes layerModes(cdouble c11, cdouble c21, cdouble c12, cdouble c22, double s2) {
  LayerModes m;
  for (int pass = 0; pass < 2; ++pass) {
    setTensor(m, c11, c21, c12, c22);
    const cdouble half = (c11 - c22) / 2.0;
    m.D = csqrt(half * half + c12 * c21);
    const cdouble mean = s2 + (c11 + c22) / 2.0;
    m.q1 = csqrt(mean + m.D);
    m.q2 = csqrt(mean - m.D);
    if (completeModes(m, s2) || pass == 1) break;
    const cdouble eps(0.0, 1e-20 * (s2 + std::abs(c11) + std::abs(c22)));
    c11 += eps;
    c22 += eps;
  }
  return m;
}

void layerMatrix4(const LayerModes& m, double s2, double d, CMat4& T) {
  if (m.isotropic) {
    CMat4 M;
    M(2, 1) = m.c21;
    M(3, 1) = s2 + m.c22;
    M(4, 2) = 1.0;
    M(1, 3) = 1.0;
    M(2, 4) = s2 + m.c11;
    M(3, 4) = m.c12;
    numlib::TMAT4I(M, d, T);
    return;
  }
  // In the basis u = (psi1, psi4), v = (psi3, psi2) the operator is
  // [[0, I], [K, 0]], so exp(i d M) = [[C, iS], [iKS, C]] with C = cos(d R),
  // S = R^-1 sin(d R), R = sqrt(K) = sigma I + N, N^2 = delta^2 I.  Every 2x2
  // function of R is then x I + y N, and delta = D/(q1+q2) carries no
  // cancellation however close the eigenvalues are.
  const cdouble sum = m.q1 + m.q2, inv = cdiv(1.0, sum);
  const cdouble sigma = sum / 2.0, delta = m.D * inv, qq = m.q1 * m.q2;
  const cdouble N11 = (m.c22 - m.c11) / 2.0 * inv, N12 = m.c12 * inv, N21 = m.c21 * inv;
  cdouble es, esi;
  expPair(sigma * d, es, esi);
  const cdouble cs = (es + esi) / 2.0, ss = halfOverI(es - esi);
  cdouble sd, cd;
  sinc(delta, d, sd, cd);
  const cdouble c0 = cs * cd, c1 = -ss * sd;          // C
  const cdouble sa = ss * cd, sb = cs * sd;            // sin(d R) = sa I + sb N
  const cdouble bd2 = sb * delta * delta;
  const cdouble s0 = cdiv(timesI(sigma * sa - bd2), qq), s1 = cdiv(timesI(sigma * sb - sa), qq);  // iS
  const cdouble k0 = timesI(sigma * sa + bd2), k1 = timesI(sigma * sb + sa);                        // iKS
  const cdouble C11 = c0 + c1 * N11, C22 = c0 - c1 * N11, C12 = c1 * N12, C21 = c1 * N21;
  T(1, 1) = C11, T(1, 4) = C12, T(4, 1) = C21, T(4, 4) = C22;
  T(3, 3) = C11, T(3, 2) = C12, T(2, 3) = C21, T(2, 2) = C22;
  T(1, 3) = s0 + s1 * N11, T(1, 2) = s1 * N12, T(4, 3) = s1 * N21, T(4, 2) = s0 - s1 * N11;
  T(3, 1) = k0 + k1 * N11, T(3, 4) = k1 * N12, T(2, 1) = k1 * N21, T(2, 4) = k0 - k1 * N11;
}

void layerAdmittance(const LayerModes& m, CMat2& F) {
  if (m.isotropic) {
    F = CMat2();
    F(1, 1) = m.q1;
    F(2, 2) = cdiv(1.0, m.q1);
    return;
  }
  const cdouble inv = m.invW, sum = m.q1 + m.q2;
  F(1, 1) = m.q1 * m.q2 * sum * inv;
  F(2, 1) = -m.c21 * inv;
  F(1, 2) = m.c12 * inv;
  F(2, 2) = sum * inv;
}

void layerPropagators(const LayerModes& m, double s2, double d, CMat2& Pf, CMat2& Pb) {
  if (m.isotropic) {
    const cdouble e = std::exp(timesI(m.q1 * d));
    Pf = CMat2();
    Pf(1, 1) = Pf(2, 2) = e;
    Pb = Pf;
    return;
  }
  // Mf has the eigenvalues q1, q2: exp(i d Mf) = e^(i sigma d) [cos(delta d) I
  // + i sin(delta d)/delta (Mf - sigma I)], sigma and delta the half sum and
  // half difference of q1 and q2.  Mb = Mf with the diagonal negated gives
  // exp(-i d Mb) = exp(i d Mf) with the off-diagonal negated.
  const cdouble inv = m.invW, sum = m.q1 + m.q2, qq = m.q1 * m.q2;
  const cdouble sigma = sum / 2.0, delta = cdiv(m.D, sum);
  const cdouble halfDiff = (qq - s2 - m.c11) * sum * inv / 2.0;  // (Mf11 - Mf22)/2
  const cdouble Mf12 = m.c12 * inv, Mf21 = m.c21 * qq * inv;
  cdouble ec, ie;  // e^(i sigma d) cos(delta d) and i e^(i sigma d) sin(delta d)/delta
  decayingPair(sigma, delta, d, ec, ie);
  Pf(1, 1) = ec + ie * halfDiff;
  Pf(2, 2) = ec - ie * halfDiff;
  Pf(1, 2) = ie * Mf12;
  Pf(2, 1) = ie * Mf21;
  Pb = Pf;
  Pb(1, 2) = -Pf(1, 2);
  Pb(2, 1) = -Pf(2, 1);
}

void expI(const lanes::Complex& z, int n, lanes::Complex& e) {
  for (int p = 0; p < lanes::W; ++p) {
    const cdouble w = p < n ? std::exp(cdouble(-z.im[p], z.re[p])) : cdouble(e.re[n - 1], e.im[n - 1]);
    e.re[p] = w.real();
    e.im[p] = w.imag();
  }
}

void cosSinExp(const lanes::Real& x, const lanes::Real& y, int n, lanes::Real& c, lanes::Real& s,
               lanes::Real& g) {
  for (int p = 0; p < lanes::W; ++p) {
    if (p >= n) {
      c[p] = c[n - 1], s[p] = s[n - 1], g[p] = g[n - 1];
      continue;
    }
    // One argument for both, so that the compiler forms them in one call.
    const double xp = x[p];
    c[p] = std::cos(xp);
    s[p] = std::sin(xp);
    g[p] = std::exp(-y[p]);
  }
}

}  // namespace numlib

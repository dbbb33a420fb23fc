// The modes of one sublayer, its admittance and its propagators for several
// energy points at once, one in each lane of numlib/clanes.hpp.  Each lane
// gives what layerModes, layerAdmittance and layerPropagators give for its
// point, to the last bit.  Where the lanes would part ways (isotropic in
// some and not in others, a wave number of zero, a layer so thick and
// absorbing that the propagators take their other form) the routines say
// so, and the caller takes that sublayer one lane at a time.
//
// Inline, for functions compiled for both instruction sets (target_clones).
#pragma once

#include "numlib/clanes.hpp"
#include "numlib/layermodes.hpp"

namespace numlib {

struct LayerTensorL {
  lanes::Complex c11, c21, c12, c22;
};

struct LayerModesL {
  lanes::Complex c11, c21, c12, c22, D, q1, q2, W, invW;  // as in LayerModes
  bool isotropic = false;  // in every lane
};

// exp(i z) of the first n lanes by the library's complex exponential; the
// lanes above copy lane n - 1.  Out of line: the library is called anyway.
void expI(const lanes::Complex& z, int n, lanes::Complex& e);

// cos(x), sin(x) and exp(-y) of the first n lanes (the lanes above copy lane
// n - 1).
void cosSinExp(const lanes::Real& x, const lanes::Real& y, int n, lanes::Real& c, lanes::Real& s,
               lanes::Real& g);

[[gnu::always_inline]] inline cdouble laneValue(const lanes::Complex& z, int p) { return {z.re[p], z.im[p]}; }

[[gnu::always_inline]] inline LayerTensor laneTensor(const LayerTensorL& t, int p) {
  return {laneValue(t.c11, p), laneValue(t.c21, p), laneValue(t.c12, p), laneValue(t.c22, p)};
}

[[gnu::always_inline]] inline LayerModes laneModes(const LayerModesL& m, int p) {
  LayerModes s;
  s.c11 = laneValue(m.c11, p), s.c21 = laneValue(m.c21, p), s.c12 = laneValue(m.c12, p);
  s.c22 = laneValue(m.c22, p), s.D = laneValue(m.D, p), s.q1 = laneValue(m.q1, p), s.q2 = laneValue(m.q2, p);
  s.W = laneValue(m.W, p), s.invW = laneValue(m.invW, p);
  s.isotropic = m.isotropic;
  return s;
}

// 1/z, as the quotient of the real 1 by z.
[[gnu::always_inline]] inline lanes::Complex reciprocal(const lanes::Complex& z) {
  return lanes::Complex{lanes::broadcast(1.0), lanes::Real{}} / z;
}

// The modes of the tensors in the lanes; false where some lane has a wave
// number of zero or the lanes differ in isotropy (m is then incomplete).
[[gnu::always_inline]] inline bool layerModesL(const LayerTensorL& t, double s2, LayerModesL& m) {
  using namespace lanes;
  m.c11 = t.c11, m.c21 = t.c21, m.c12 = t.c12, m.c22 = t.c22;
  const Real S2 = broadcast(s2);
  const Complex half = halved(t.c11 - t.c22);
  m.D = csqrt(half * half + t.c12 * t.c21);
  const Complex mean = halved(t.c11 + t.c22) + S2;
  m.q1 = csqrt(mean + m.D);
  m.q2 = csqrt(mean - m.D);
  const Complex qq = m.q1 * m.q2;
  m.W = (t.c11 + S2) + qq;
  m.invW = reciprocal(m.W);
  if (!none((m.W == 0.0) | (qq == 0.0) | ((m.q1 + m.q2) == 0.0))) return false;
  const Mask iso = (t.c21 == 0.0) & (t.c12 == 0.0) & equal(t.c11, t.c22);
  m.isotropic = all(iso);
  return m.isotropic || none(iso);
}

[[gnu::always_inline]] inline void layerAdmittanceL(const LayerModesL& m, lanes::CMat2L& F) {
  if (m.isotropic) {
    F = lanes::CMat2L{};
    F.e[0] = m.q1;
    F.e[3] = reciprocal(m.q1);
    return;
  }
  const lanes::Complex sum = m.q1 + m.q2;
  F.e[0] = ((m.q1 * m.q2) * sum) * m.invW;
  F.e[1] = (-m.c21) * m.invW;
  F.e[2] = m.c12 * m.invW;
  F.e[3] = sum * m.invW;
}

// a times the imaginary constant i b, as the compiler forms that product.
[[gnu::always_inline]] inline lanes::Complex timesImaginary(const lanes::Complex& a, double b) {
  return {-(a.im * b), a.re * b};
}

// sin(z d)/z from sinZD = sin(z d) (detail::sinOverK, lane by lane).
[[gnu::always_inline]] inline lanes::Complex sinOverKL(const lanes::Complex& z, double d,
                                                       const lanes::Complex& sinZD) {
  using namespace lanes;
  const Complex x = z * broadcast(d);
  const Mask small = fabs(x.re) + fabs(x.im) < 0.1;
  Complex series{}, quotient{};
  if (!none(small)) {
    const Complex x2 = x * x;
    series = x2 * broadcast(1.0 / 362880.0) + broadcast(-1.0 / 5040.0);
    series = x2 * series + broadcast(1.0 / 120.0);
    series = x2 * series + broadcast(-1.0 / 6.0);
    series = (x2 * series + broadcast(1.0)) * broadcast(d);
  }
  if (!all(small)) quotient = sinZD / z;
  return select(small, series, quotient);
}

// The propagators of the first n lanes (the lanes above are filled too);
// false, leaving Pf and Pb unset, where some lane takes the form for thick
// absorbing layers.
[[gnu::always_inline]] inline bool layerPropagatorsL(const LayerModesL& m, double s2, double d, int n,
                                                     lanes::CMat2L& Pf, lanes::CMat2L& Pb) {
  using namespace lanes;
  const Real D = broadcast(d);
  if (m.isotropic) {
    Pf = CMat2L{};
    expI(m.q1 * D, n, Pf.e[0]);
    Pf.e[3] = Pf.e[0];
    Pb = Pf;
    return true;
  }
  const Complex sum = m.q1 + m.q2, qq = m.q1 * m.q2;
  const Complex sigma = halved(sum), delta = m.D / sum;
  const Complex x = delta * D;
  if (!all(fabs(x.im) <= 1.0)) return false;
  const Complex halfDiff = halved((((qq - broadcast(s2)) - m.c11) * sum) * m.invW);
  const Complex Mf12 = m.c12 * m.invW, Mf21 = (m.c21 * qq) * m.invW;
  Real c, s, g;
  cosSinExp(x.re, x.im, n, c, s, g);
  const Real gi = 1.0 / g;
  const Complex ep{g * c, g * s}, em{gi * c, -gi * s};
  const Complex cd = halved(ep + em);
  const Complex sd = sinOverKL(delta, d, timesImaginary(ep - em, -0.5));
  Complex e;
  expI(sigma * D, n, e);
  const Complex ec = e * cd, ie = timesI(e) * sd;
  const Complex t = ie * halfDiff;
  Pf.e[0] = ec + t;
  Pf.e[3] = ec - t;
  Pf.e[2] = ie * Mf12;
  Pf.e[1] = ie * Mf21;
  Pb = Pf;
  Pb.e[2] = -Pf.e[2];
  Pb.e[1] = -Pf.e[1];
  return true;
}

// The characteristic matrices of anisotropic modes (m.isotropic false), as
// layerMatrix4 forms them.
[[gnu::always_inline]] inline void layerMatrix4L(const LayerModesL& m, double d, int n, lanes::CMat4L& T) {
  using namespace lanes;
  const Real D = broadcast(d);
  const Complex sum = m.q1 + m.q2, inv = reciprocal(sum);
  const Complex sigma = halved(sum), delta = m.D * inv, qq = m.q1 * m.q2;
  const Complex N11 = halved(m.c22 - m.c11) * inv, N12 = m.c12 * inv, N21 = m.c21 * inv;
  // exp(+-i sigma d) and exp(+-i delta d) from one cosine, sine and exponential each.
  const Complex xs = sigma * D, xd = delta * D;
  Real c, s, g;
  cosSinExp(xs.re, xs.im, n, c, s, g);
  Real gi = 1.0 / g;
  const Complex es{g * c, g * s}, esi{gi * c, -gi * s};
  cosSinExp(xd.re, xd.im, n, c, s, g);
  gi = 1.0 / g;
  const Complex ep{g * c, g * s}, em{gi * c, -gi * s};
  const Complex cs = halved(es + esi), ss = timesImaginary(es - esi, -0.5);
  const Complex cd = halved(ep + em), sd = sinOverKL(delta, d, timesImaginary(ep - em, -0.5));
  const Complex c0 = cs * cd, c1 = (-ss) * sd;
  const Complex sa = ss * cd, sb = cs * sd;
  const Complex bd2 = (sb * delta) * delta;
  const SmithDivisor byQQ = smith(qq);
  const Complex s0 = quotient(timesI(sigma * sa - bd2), byQQ), s1 = quotient(timesI(sigma * sb - sa), byQQ);
  const Complex k0 = timesI(sigma * sa + bd2), k1 = timesI(sigma * sb + sa);
  const Complex C11 = c0 + c1 * N11, C22 = c0 - c1 * N11, C12 = c1 * N12, C21 = c1 * N21;
  auto at = [&T](int r, int col) -> Complex& { return T.e[(col - 1) * 4 + (r - 1)]; };
  at(1, 1) = C11, at(1, 4) = C12, at(4, 1) = C21, at(4, 4) = C22;
  at(3, 3) = C11, at(3, 2) = C12, at(2, 3) = C21, at(2, 2) = C22;
  at(1, 3) = s0 + s1 * N11, at(1, 2) = s1 * N12, at(4, 3) = s1 * N21, at(4, 2) = s0 - s1 * N11;
  at(3, 1) = k0 + k1 * N11, at(3, 4) = k1 * N12, at(2, 1) = k1 * N21, at(2, 4) = k0 - k1 * N11;
}

}  // namespace numlib

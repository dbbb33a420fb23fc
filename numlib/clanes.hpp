// Complex numbers and complex 2x2 matrices of several energy points side by
// side, one point in each lane of a vector.  Every lane goes through the
// same operations, in the same order, as the plain complex arithmetic of
// one point (re = ar br - ai bi, im = ar bi + ai br; Smith's quotient as in
// CINV2), so a point gives the same bits whichever lane it runs in and
// whatever runs beside it.  The vectors are four doubles wide: where the
// processor lacks the wide instruction set, the compiler splits each
// operation in two.
//
// Everything here is inline and meant for functions compiled for both
// instruction sets (target_clones), in which it is expanded.
#pragma once

#include <cstddef>

#include "numlib/cmatrix.hpp"

namespace numlib::lanes {

inline constexpr int W = 4;  // energy points side by side

// Aligned to their size also where the compiler by default aligns no type
// beyond 16 bytes (without the wide instruction set): a function compiled
// for both sets must see the same layout.
typedef double Real __attribute__((vector_size(8 * W), aligned(8 * W)));
typedef long long Mask __attribute__((vector_size(8 * W), aligned(8 * W)));

struct Complex {
  Real re, im;
};

[[gnu::always_inline]] inline Real broadcast(double x) { return Real{} + x; }
[[gnu::always_inline]] inline Complex broadcast(cdouble z) { return {broadcast(z.real()), broadcast(z.imag())}; }

[[gnu::always_inline]] inline Complex operator+(const Complex& a, const Complex& b) {
  return {a.re + b.re, a.im + b.im};
}
[[gnu::always_inline]] inline Complex operator-(const Complex& a, const Complex& b) {
  return {a.re - b.re, a.im - b.im};
}
[[gnu::always_inline]] inline Complex operator-(const Complex& a) { return {-a.re, -a.im}; }
[[gnu::always_inline]] inline Complex operator*(const Complex& a, const Complex& b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
// Complex and real: only the real part meets the real, as in complex + double.
[[gnu::always_inline]] inline Complex operator+(const Complex& a, const Real& x) { return {a.re + x, a.im}; }
[[gnu::always_inline]] inline Complex operator-(const Complex& a, const Real& x) { return {a.re - x, a.im}; }
[[gnu::always_inline]] inline Complex operator*(const Complex& a, const Real& x) { return {a.re * x, a.im * x}; }
[[gnu::always_inline]] inline Complex operator/(const Complex& a, const Real& x) { return {a.re / x, a.im / x}; }
// a / 2, formed as a * 0.5: the same number (a power of two is exact), and
// a product costs less than a quotient.
[[gnu::always_inline]] inline Real halved(const Real& x) { return x * 0.5; }
[[gnu::always_inline]] inline Complex halved(const Complex& a) { return {halved(a.re), halved(a.im)}; }
// i a, as the compiler forms the product with the constant i: (-Im a, Re a).
[[gnu::always_inline]] inline Complex timesI(const Complex& a) { return {-a.im, a.re}; }

[[gnu::always_inline]] inline Mask operator==(const Complex& a, double x) { return (a.re == x) & (a.im == 0.0); }
[[gnu::always_inline]] inline Mask equal(const Complex& a, const Complex& b) {
  return (a.re == b.re) & (a.im == b.im);
}
[[gnu::always_inline]] inline Complex select(const Mask& m, const Complex& a, const Complex& b) {
  return {m ? a.re : b.re, m ? a.im : b.im};
}
[[gnu::always_inline]] inline bool all(const Mask& m) {
  long long bits = -1;
  for (int p = 0; p < W; ++p) bits &= m[p];
  return bits != 0;
}
[[gnu::always_inline]] inline bool none(const Mask& m) {
  long long bits = 0;
  for (int p = 0; p < W; ++p) bits |= m[p];
  return bits == 0;
}

// |x| and copysign(t, y) by the sign bit, as the library's fabs and copysign.
[[gnu::always_inline]] inline Real fabs(const Real& x) {
  return reinterpret_cast<Real>(reinterpret_cast<Mask>(x) & (Mask{} + 0x7fffffffffffffffLL));
}
[[gnu::always_inline]] inline Real copysign(const Real& t, const Real& y) {
  const Mask sign = Mask{} + (-0x7fffffffffffffffLL - 1);
  return reinterpret_cast<Real>((reinterpret_cast<Mask>(t) & ~sign) | (reinterpret_cast<Mask>(y) & sign));
}
[[gnu::always_inline]] inline Real sqrt(const Real& x) {
  Real r;
  for (int p = 0; p < W; ++p) r[p] = __builtin_sqrt(x[p]);
  return r;
}

// Smith's divisor: the ratio and denominator of the larger component of b,
// shared by every quotient by b.
struct SmithDivisor {
  Mask wide;  // |Re b| >= |Im b|
  Real r, den;
};
[[gnu::always_inline]] inline SmithDivisor smith(const Complex& b) {
  SmithDivisor s;
  s.wide = fabs(b.re) >= fabs(b.im);
  s.r = (s.wide ? b.im : b.re) / (s.wide ? b.re : b.im);
  s.den = s.wide ? b.re + b.im * s.r : b.im + b.re * s.r;
  return s;
}
// a / b as cdiv forms it.
[[gnu::always_inline]] inline Complex quotient(const Complex& a, const SmithDivisor& s) {
  const Real numRe = s.wide ? a.re + a.im * s.r : a.re * s.r + a.im;
  const Real numIm = s.wide ? a.im - a.re * s.r : a.im * s.r - a.re;
  return {numRe / s.den, numIm / s.den};
}
[[gnu::always_inline]] inline Complex operator/(const Complex& a, const Complex& b) { return quotient(a, smith(b)); }

// Principal square root, each lane as the scalar csqrt of the layer modes
// forms it.
[[gnu::always_inline]] inline Complex csqrt(const Complex& z) {
  const Real x = z.re, y = z.im;
  const Real r = sqrt(x * x + y * y);
  const Mask right = x >= 0.0;
  const Real t = sqrt(halved(right ? r + x : r - x));
  const Real q = (right ? y : fabs(y)) / (2 * t);
  const Mask zero = r == 0.0;
  return {zero ? Real{} : (right ? t : q), zero ? y : (right ? q : copysign(t, y))};
}

// 2x2 matrix, elements (1,1) (2,1) (1,2) (2,2) as in CMat2.
struct CMat2L {
  Complex e[4];
};

// Lane p of a matrix of lanes from a matrix of one point, and back.
template <class Lanes, class Matrix>
[[gnu::always_inline]] inline void setLane(Lanes& M, int p, const Matrix& A) {
  for (std::size_t i = 0; i < A.e.size(); ++i) {
    M.e[i].re[p] = A.e[i].real();
    M.e[i].im[p] = A.e[i].imag();
  }
}
template <class Matrix, class Lanes>
[[gnu::always_inline]] inline Matrix laneOf(const Lanes& M, int p) {
  Matrix A;
  for (std::size_t i = 0; i < A.e.size(); ++i) A.e[i] = cdouble(M.e[i].re[p], M.e[i].im[p]);
  return A;
}
[[gnu::always_inline]] inline CMat2 lane(const CMat2L& M, int p) { return laneOf<CMat2>(M, p); }

[[gnu::always_inline]] inline CMat2L operator+(const CMat2L& A, const CMat2L& B) {
  return {{A.e[0] + B.e[0], A.e[1] + B.e[1], A.e[2] + B.e[2], A.e[3] + B.e[3]}};
}
[[gnu::always_inline]] inline CMat2L operator-(const CMat2L& A, const CMat2L& B) {
  return {{A.e[0] - B.e[0], A.e[1] - B.e[1], A.e[2] - B.e[2], A.e[3] - B.e[3]}};
}
// A B, each element the sum of two complex products as in CMUL2.
[[gnu::always_inline]] inline CMat2L operator*(const CMat2L& A, const CMat2L& B) {
  CMat2L C;
  for (int c = 0; c < 2; ++c)
    for (int r = 0; r < 2; ++r) C.e[2 * c + r] = A.e[r] * B.e[2 * c] + A.e[2 + r] * B.e[2 * c + 1];
  return C;
}

[[gnu::always_inline]] inline CMat2L identity2() {
  const Real one = Real{} + 1.0, zero = Real{};
  return {{{one, zero}, {zero, zero}, {zero, zero}, {one, zero}}};
}

// 4x4 matrix, column order as in CMat4.
struct CMat4L {
  Complex e[16];
};

[[gnu::always_inline]] inline CMat4L identity4() {
  CMat4L M{};
  for (int i = 0; i < 4; ++i) M.e[5 * i].re = broadcast(1.0);
  return M;
}

[[gnu::always_inline]] inline CMat4 lane(const CMat4L& M, int p) { return laneOf<CMat4>(M, p); }

// C := A B, each element the sum of four complex products added left to
// right, as CMUL4 forms it.  C may be A or B.
[[gnu::always_inline]] inline void multiply(const CMat4L& A, const CMat4L& B, CMat4L& C) {
  CMat4L P;
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      Complex x = A.e[r] * B.e[4 * c];
      for (int k = 1; k < 4; ++k) x = x + A.e[4 * k + r] * B.e[4 * c + k];
      P.e[4 * c + r] = x;
    }
  C = P;
}

// The inverse, each lane as CINV2 forms it; false where some lane's
// determinant is exactly zero (AINV is then unset: the caller takes those
// lanes one at a time, so that CINV2 reports them and gives its finite
// pseudo-inverse).
[[gnu::always_inline]] inline bool inverse(const CMat2L& A, CMat2L& AINV) {
  const Complex det = A.e[0] * A.e[3] - A.e[1] * A.e[2];
  if (!none(det == 0.0)) return false;
  const SmithDivisor s = smith(det);
  const Complex num[4] = {A.e[3], -A.e[1], -A.e[2], A.e[0]};
  for (int i = 0; i < 4; ++i) AINV.e[i] = quotient(num[i], s);
  return true;
}

}  // namespace numlib::lanes

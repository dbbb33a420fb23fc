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

#include <cstring>

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

// 2x2 matrix, elements (1,1) (2,1) (1,2) (2,2) as in CMat2.
struct CMat2L {
  Complex e[4];
};

[[gnu::always_inline]] inline Complex splat(cdouble z) { return {Real{} + z.real(), Real{} + z.imag()}; }

[[gnu::always_inline]] inline void setLane(CMat2L& M, int p, const CMat2& A) {
  for (int i = 0; i < 4; ++i) {
    M.e[i].re[p] = A.e[i].real();
    M.e[i].im[p] = A.e[i].imag();
  }
}

[[gnu::always_inline]] inline CMat2 lane(const CMat2L& M, int p) {
  CMat2 A;
  for (int i = 0; i < 4; ++i) A.e[i] = cdouble(M.e[i].re[p], M.e[i].im[p]);
  return A;
}

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

// The inverse, each lane as CINV2 forms it; false where some lane's
// determinant is exactly zero (AINV is then unset: the caller takes those
// lanes one at a time, so that CINV2 reports them and gives its finite
// pseudo-inverse).
[[gnu::always_inline]] inline bool inverse(const CMat2L& A, CMat2L& AINV) {
  const Complex det = A.e[0] * A.e[3] - A.e[1] * A.e[2];
  const Mask singular = (det.re == 0.0) & (det.im == 0.0);
  long long bits = 0;
  for (int p = 0; p < W; ++p) bits |= singular[p];
  if (bits != 0) return false;
  const Real br = det.re, bi = det.im;
  const Real abr = br < 0.0 ? -br : br, abi = bi < 0.0 ? -bi : bi;
  const Mask wide = abr >= abi;
  const Real r = (wide ? bi : br) / (wide ? br : bi);
  const Real den = wide ? br + bi * r : bi + br * r;
  const Complex num[4] = {A.e[3], -A.e[1], -A.e[2], A.e[0]};
  for (int i = 0; i < 4; ++i) {
    const Real re = num[i].re, im = num[i].im;
    const Real numRe = wide ? re + im * r : re * r + im;
    const Real numIm = wide ? im - re * r : im * r - re;
    AINV.e[i] = {numRe / den, numIm / den};
  }
  return true;
}

}  // namespace numlib::lanes

// Double-precision complex 2x2 and 4x4 matrices, column order, (row, column)
// counted from 1.  All routines read their inputs completely before the
// result is stored, so an output may be one of the inputs.  They keep no
// state between calls and allocate nothing.
#pragma once

#include <array>
#include <complex>
#include <cstring>

namespace numlib {

using cdouble = std::complex<double>;

struct CMat2 {
  std::array<cdouble, 4> e{};  // (1,1) (2,1) (1,2) (2,2)
  cdouble& operator()(int r, int c) { return e[(c - 1) * 2 + (r - 1)]; }
  const cdouble& operator()(int r, int c) const { return e[(c - 1) * 2 + (r - 1)]; }
  static CMat2 identity() {
    CMat2 m;
    m.e[0] = m.e[3] = 1.0;
    return m;
  }
};

struct CMat4 {
  std::array<cdouble, 16> e{};
  cdouble& operator()(int r, int c) { return e[(c - 1) * 4 + (r - 1)]; }
  const cdouble& operator()(int r, int c) const { return e[(c - 1) * 4 + (r - 1)]; }
  static CMat4 identity() {
    CMat4 m;
    for (int i = 0; i < 4; ++i) m.e[i * 5] = 1.0;
    return m;
  }
};

namespace detail {

// One column of a 2x2 matrix as it lies in memory: re, im of row 1, re, im
// of row 2.
typedef double Column2 __attribute__((vector_size(32)));

}  // namespace detail

// The 2x2 products and sums are inline: the recursion over the sublayers
// calls them a dozen times per sublayer and energy point.  A column is formed
// in one go: each element is the same sum of the same products as in plain
// complex arithmetic (re = ar br - ai bi, im = ar bi + ai br), to the last bit.
inline void CMUL2(const CMat2& A, const CMat2& B, CMat2& C) {  // C := A B
  using V = detail::Column2;
  V a1, a2;
  std::memcpy(&a1, static_cast<const void*>(&A.e[0]), sizeof a1);
  std::memcpy(&a2, static_cast<const void*>(&A.e[2]), sizeof a2);
  const V s1 = __builtin_shufflevector(a1, a1, 1, 0, 3, 2), s2 = __builtin_shufflevector(a2, a2, 1, 0, 3, 2);
  // (-bi, bi, -bi, bi): a negation is exact, and s (-bi) = -(s bi), so each
  // row gets ar br - ai bi and ai br + ar bi; the flip of the sign bit costs
  // the recursion, which waits for every product in turn, no multiplication.
  const cdouble b11 = B.e[0], b21 = B.e[1], b12 = B.e[2], b22 = B.e[3];
  const V i11 = {-b11.imag(), b11.imag(), -b11.imag(), b11.imag()};
  const V i21 = {-b21.imag(), b21.imag(), -b21.imag(), b21.imag()};
  const V i12 = {-b12.imag(), b12.imag(), -b12.imag(), b12.imag()};
  const V i22 = {-b22.imag(), b22.imag(), -b22.imag(), b22.imag()};
  const V c1 = (a1 * b11.real() + s1 * i11) + (a2 * b21.real() + s2 * i21);
  const V c2 = (a1 * b12.real() + s1 * i12) + (a2 * b22.real() + s2 * i22);
  std::memcpy(static_cast<void*>(&C.e[0]), &c1, sizeof c1);
  std::memcpy(static_cast<void*>(&C.e[2]), &c2, sizeof c2);
}
void CMUL4(const CMat4& A, const CMat4& B, CMat4& C);   // C := A B
inline void CSUB2(const CMat2& A, const CMat2& B, CMat2& C) {  // C := A - B
  for (int i = 0; i < 4; ++i) C.e[i] = A.e[i] - B.e[i];
}
inline void CADD2(const CMat2& A, const CMat2& B, CMat2& C) {  // C := A + B
  for (int i = 0; i < 4; ++i) C.e[i] = A.e[i] + B.e[i];
}
// C := s (A B) + D
void CMAD2(const CMat2& D, const CMat2& A, const CMat2& B, cdouble s, CMat2& C);
void CCOPY2(const CMat2& A, CMat2& B);                  // B := A
// AINV := A^-1.  A zero determinant prints " DEGENERATED MATRIX!" and gives
// the (finite) Moore-Penrose pseudo-inverse, so that NaN cannot spread.
void CINV2(const CMat2& A, CMat2& AINV);
// T := exp(i D M) in closed form, also where M is a multiple of the identity
// plus a nilpotent part (its eigenvalues coincide).
void EXPM2(const CMat2& M, double D, CMat2& T);

// Writes " DEGENERATED MATRIX!" to the console.
void reportDegenerated();

}  // namespace numlib

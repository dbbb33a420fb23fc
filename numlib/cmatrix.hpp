// Double-precision complex 2x2 and 4x4 matrices, column order, (row, column)
// counted from 1.  All routines read their inputs completely before the
// result is stored, so an output may be one of the inputs.  They keep no
// state between calls and allocate nothing.
#pragma once

#include <array>
#include <complex>

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

// The 2x2 products and sums are inline: the recursion over the sublayers
// calls them a dozen times per sublayer and energy point.
inline void CMUL2(const CMat2& A, const CMat2& B, CMat2& C) {  // C := A B
  const auto& a = A.e;
  const auto& b = B.e;
  const cdouble c11 = a[0] * b[0] + a[2] * b[1];
  const cdouble c21 = a[1] * b[0] + a[3] * b[1];
  const cdouble c12 = a[0] * b[2] + a[2] * b[3];
  const cdouble c22 = a[1] * b[2] + a[3] * b[3];
  C.e = {c11, c21, c12, c22};
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

// Further routines of the complex matrix kit: single-precision twins of
// EXPM2 and CMUL2, the 4x4 inverse and determinant, the principal square root
// of a 2x2 matrix, N x N products and the characteristic polynomial.  Same
// conventions as numlib/cmatrix.hpp: column order, (row, column) from 1, any
// output may be one of the inputs.
#pragma once

#include <array>
#include <complex>

#include "numlib/cmatrix.hpp"
#include "numlib/farray.hpp"

namespace numlib {

using cfloat = std::complex<float>;

struct CMat2S {
  std::array<cfloat, 4> e{};  // (1,1) (2,1) (1,2) (2,2)
  cfloat& operator()(int r, int c) { return e[(c - 1) * 2 + (r - 1)]; }
  const cfloat& operator()(int r, int c) const { return e[(c - 1) * 2 + (r - 1)]; }
};

// EXPM2 and CMUL2 for single-precision matrices.  They work through the
// double-precision routines and round the result once.
void EXPM2S(const CMat2S& M, float D, CMat2S& T);
void CMUL2S(const CMat2S& A, const CMat2S& B, CMat2S& C);

// DET := det A, expanded along the first row into 3x3 minors.
void CDET4(const CMat4& A, cdouble& DET);
// AINV := adj(A) / det A.  A zero determinant (to rounding) gives the (finite)
// Moore-Penrose pseudo-inverse, as CINV2 does, but prints nothing.
void CINV4(const CMat4& A, CMat4& AINV);

// R := principal square root of M, (M + r1 r2 I)/(r1 + r2) with r1, r2 the
// principal roots of the eigenvalues.  Coinciding eigenvalues take the same
// root.  Where r1 + r2 = 0 both eigenvalues are 0: a nilpotent M other than 0
// has no square root, and R := 0 then (the root of M = 0).
void CSQRT2(const CMat2& M, CMat2& R);

// C := A B for N x N matrices stored column by column with leading
// dimension N, N from 1 to kMaxCmulN; another N leaves C unchanged.
inline constexpr int kMaxCmulN = 16;
void CMULN(Span1<const cdouble> A, Span1<const cdouble> B, Span1<cdouble> C, int N);

// Characteristic polynomial and inverse of the N x N matrix A (N = 1..4) by
// the Faddeev-LeVerrier recursion.  OUT(1..N+1) receive the coefficients of
// det(z I - A) from z^N down to z^0 (OUT(1) = 1); OUT(N+2..N+1+N*N) the
// inverse, column by column, or zeros when A is singular (OUT(N+1) = 0).
// N outside 1..4 leaves OUT unchanged.
inline constexpr int kMaxChpolyN = 4;
void CHPOLY(Span1<const cdouble> A, Span1<cdouble> OUT, int N);

}  // namespace numlib

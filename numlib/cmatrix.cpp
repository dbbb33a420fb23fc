// Complex 2x2 and 4x4 matrix kit.  Every routine computes its result into
// locals and stores it last, so any output may be one of the inputs.
#include "numlib/cmatrix.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "numlib/cscalar.hpp"

namespace numlib {

using detail::cdiv;

void reportDegenerated() {
  std::fputs(" DEGENERATED MATRIX!\n", stdout);
  std::fflush(stdout);
}

namespace {

// The four rows of one column of a 4x4 matrix, real or imaginary parts.
typedef double Rows4 __attribute__((vector_size(32)));

}  // namespace

// The rows of a column are formed four at a time.  Every element is the same
// sum of the same products, added left to right, as in plain complex
// arithmetic (re = ar br - ai bi, im = ar bi + ai br, no fused operations),
// so the result is the same to the last bit on every instruction set; the
// wide one is chosen at run time where the processor has it.
__attribute__((target_clones("avx2", "default"))) void CMUL4(const CMat4& A, const CMat4& B, CMat4& C) {
  Rows4 are[4], aim[4];
  for (int k = 0; k < 4; ++k)
    for (int r = 0; r < 4; ++r) {
      are[k][r] = A.e[4 * k + r].real();
      aim[k][r] = A.e[4 * k + r].imag();
    }
  Rows4 pre[4], pim[4];
  for (int c = 0; c < 4; ++c) {
    const cdouble* b = &B.e[4 * c];
    Rows4 re = are[0] * b[0].real() - aim[0] * b[0].imag();
    Rows4 im = are[0] * b[0].imag() + aim[0] * b[0].real();
    for (int k = 1; k < 4; ++k) {
      re = re + (are[k] * b[k].real() - aim[k] * b[k].imag());
      im = im + (are[k] * b[k].imag() + aim[k] * b[k].real());
    }
    pre[c] = re;
    pim[c] = im;
  }
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) C.e[4 * c + r] = cdouble(pre[c][r], pim[c][r]);
}

void CMAD2(const CMat2& D, const CMat2& A, const CMat2& B, cdouble s, CMat2& C) {
  CMat2 P;
  CMUL2(A, B, P);
  // Element i of D is read before element i of C is written, so C may even be D.
#pragma GCC unroll 4
  for (int i = 0; i < 4; ++i) C.e[i] = s * P.e[i] + D.e[i];
}

void CCOPY2(const CMat2& A, CMat2& B) { B = A; }

namespace {

// Moore-Penrose inverse of a 2x2 matrix with zero determinant.  Such a
// matrix has rank 0 or 1, and then A+ = A^H / |A|_F^2 (zero for A = 0).
// The entries are scaled by their largest component first so that the
// Frobenius norm can neither overflow nor underflow.
CMat2 pseudoInverseRankOne(const CMat2& A) {
  double big = 0.0;
  for (const cdouble& z : A.e) big = std::max({big, std::abs(z.real()), std::abs(z.imag())});
  CMat2 P;  // zero
  if (big == 0.0) return P;
  double frob = 0.0;
  for (const cdouble& z : A.e) frob += std::norm(z / big);
  const double f = 1.0 / (big * frob);
  P(1, 1) = std::conj(A(1, 1) / big) * f;
  P(2, 1) = std::conj(A(1, 2) / big) * f;
  P(1, 2) = std::conj(A(2, 1) / big) * f;
  P(2, 2) = std::conj(A(2, 2) / big) * f;
  return P;
}

}  // namespace

// The four quotients by det share Smith's ratio and denominator; they are
// formed together, each to the last bit as cdiv forms it.
__attribute__((target_clones("avx2", "default"))) void CINV2(const CMat2& A, CMat2& AINV) {
  const cdouble a11 = A.e[0], a21 = A.e[1], a12 = A.e[2], a22 = A.e[3];
  const cdouble det = a11 * a22 - a21 * a12;
  if (det == 0.0) {
    // A singular point must not put infinities or NaN into the spectra that
    // are Fourier-transformed later: report it and return a finite inverse.
    reportDegenerated();
    AINV = pseudoInverseRankOne(A);
    return;
  }
  const Rows4 re = {a22.real(), -a21.real(), -a12.real(), a11.real()};
  const Rows4 im = {a22.imag(), -a21.imag(), -a12.imag(), a11.imag()};
  const double br = det.real(), bi = det.imag();
  // Both of Smith's branches are formed and one is kept: the phase of det
  // is as likely one way as the other, and a mispredicted branch would cost
  // more than the second set.
  typedef double Two __attribute__((vector_size(16)));
  typedef long long Mask4 __attribute__((vector_size(32)));
  const Mask4 wide = Mask4{} - static_cast<long long>(std::abs(br) >= std::abs(bi));  // all bits set, or none
  const Two ratios = Two{bi, br} / Two{br, bi};
  const Rows4 r = wide ? Rows4{} + ratios[0] : Rows4{} + ratios[1];
  const Rows4 den = wide ? br + bi * r : bi + br * r;
  const Rows4 numRe = wide ? re + im * r : re * r + im;
  const Rows4 numIm = wide ? im - re * r : im * r - re;
  const Rows4 qre = numRe / den, qim = numIm / den;
  for (int i = 0; i < 4; ++i) AINV.e[i] = cdouble(qre[i], qim[i]);
}

// exp(i D M) = exp(i D t) [cos(kD) I + i sin(kD)/k (M - t I)], where
// t = tr M / 2 and k^2 = d^2 + M12 M21 is the square of the eigenvalues of
// M - t I.  sin(kD)/k goes to D as k goes to 0 (M - t I nilpotent).
void EXPM2(const CMat2& M, double D, CMat2& T) {
  constexpr cdouble I{0.0, 1.0};
  const cdouble m11 = M.e[0], m21 = M.e[1], m12 = M.e[2], m22 = M.e[3];
  const cdouble t = (m11 + m22) * 0.5;
  const cdouble d = (m11 - m22) * 0.5;
  const cdouble k = std::sqrt(d * d + m12 * m21);
  const cdouble e = std::exp(I * (D * t));
  const cdouble c = std::cos(k * D);
  const cdouble s = I * detail::sinOverK(k, D, std::sin(k * D));
  T.e = {e * (c + s * d), e * (s * m21), e * (s * m12), e * (c - s * d)};
}

}  // namespace numlib

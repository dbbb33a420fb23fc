#include "numlib/layer_ext.hpp"

#include <algorithm>
#include <cmath>

#include "numlib/cmatrix_ext.hpp"
#include "numlib/layer.hpp"

namespace numlib {

namespace {

constexpr cdouble kI{0.0, 1.0};

// The pair (i, j) of a 4x4 matrix as a 2x2 matrix, and back.
CMat2 pairOf(const CMat4& M, int i, int j) {
  CMat2 m;
  m.e = {M(i, i), M(j, i), M(i, j), M(j, j)};
  return m;
}

void putPair(const CMat2& m, int i, int j, CMat4& T) {
  T(i, i) = m(1, 1);
  T(j, i) = m(2, 1);
  T(i, j) = m(1, 2);
  T(j, j) = m(2, 2);
}

// The scaling count of EXPM4 for a size x: int(ln(1000 x)/ln 2) + 1 (the
// integer part truncated towards 0, so 1 for 1000 x in (1/2, 1)), 0 where
// that is negative (x at most 1/2000) or x is 0 or not a finite number.
int squarings(double x) {
  const double y = 1000.0 * x;
  if (!(y > 0.0) || !std::isfinite(y)) return 0;
  return std::max(static_cast<int>(std::log(y) / std::log(2.0)) + 1, 0);
}

double frobenius(const CMat4& M) {
  double s = 0.0;
  for (const cdouble& z : M.e) s += std::norm(z);
  return std::sqrt(s);
}

// (exp(i D R) + sign exp(-i D R)) / 2: cos(D R) for sign +1, i sin(D R) for -1.
CMat2 halfPair(const CMat2& R, double D, double sign) {
  CMat2 ep, em, h;
  EXPM2(R, D, ep);
  EXPM2(R, -D, em);
  for (int i = 0; i < 4; ++i) h.e[i] = 0.5 * (ep.e[i] + sign * em.e[i]);
  return h;
}

}  // namespace

void TMAT2(const CMat2& M, double D, CMat2& T) {
  CMat2 off = M;
  off(1, 1) = off(2, 2) = 0.0;
  EXPM2(off, D, T);
}

void TMAT4D(const CMat4& M, double D, CMat4& T) {
  CMat2 t24, t13;
  TMAT2(pairOf(M, 2, 4), D, t24);
  TMAT2(pairOf(M, 1, 3), D, t13);
  T = CMat4{};
  putPair(t24, 2, 4, T);
  putPair(t13, 1, 3, T);
}

void TMAT4P(cdouble K1, cdouble K2, double D, CMat4& T) {
  CMat4 M;
  M(2, 4) = K1;
  M(4, 2) = 1.0;
  M(1, 3) = 1.0;
  M(3, 1) = K2;
  TMAT4D(M, D, T);
}

// K^2 = diag(A B, B A): the even powers of K give the cosines; an odd power
// K^(2m+1) has (B A)^m B below and (A B)^m A above the diagonal, which the
// square roots turn into (A^-1 R) i sin(D R) and (B^-1 R') i sin(D R').
void TMAT4S(const CMat2& A, const CMat2& B, double D, CMat4& T) {
  CMat2 AB, BA, R, Rp, Ai, Bi, lower, upper;
  CMUL2(A, B, AB);
  CMUL2(B, A, BA);
  CSQRT2(AB, R);
  CSQRT2(BA, Rp);
  CINV2(A, Ai);
  CINV2(B, Bi);
  CMUL2(Ai, R, Ai);
  CMUL2(Bi, Rp, Bi);
  CMUL2(Ai, halfPair(R, D, -1.0), lower);
  CMUL2(Bi, halfPair(Rp, D, -1.0), upper);
  const CMat2 c1 = halfPair(R, D, 1.0), c2 = halfPair(Rp, D, 1.0);
  for (int r = 1; r <= 2; ++r) {
    for (int c = 1; c <= 2; ++c) {
      T(r, c) = c1(r, c);
      T(r + 2, c + 2) = c2(r, c);
      T(r + 2, c) = lower(r, c);
      T(r, c + 2) = upper(r, c);
    }
  }
}

void EXPM4(const CMat4& M, double D, CMat4& T) {
  const double d = std::abs(D);
  const int n = std::max(squarings(d), squarings(d * frobenius(M)));
  const cdouble f = kI * std::ldexp(D, -n);
  CMat4 P = CMat4::identity();
  for (int i = 0; i < 16; ++i) P.e[i] += f * M.e[i];
  for (int k = 0; k < n; ++k) CMUL4(P, P, P);
  T = P;
}

void REFL2B(const CMat2& X, const CMat4& M, const CMat2& Y, CMat2& R) {
  REFL2(X, M, Y, R);
  for (cdouble& z : R.e) z = -z;
}

}  // namespace numlib

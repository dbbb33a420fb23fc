#include "numlib/cmatrix_ext.hpp"

#include <algorithm>
#include <cmath>

#include "numlib/cscalar.hpp"

namespace numlib {

using detail::cdiv;

namespace {

CMat2 widen(const CMat2S& a) {
  CMat2 w;
  for (int i = 0; i < 4; ++i) w.e[i] = cdouble(a.e[i]);
  return w;
}

void narrow(const CMat2& w, CMat2S& a) {
  for (int i = 0; i < 4; ++i) a.e[i] = cfloat(w.e[i]);
}

// The largest real or imaginary part in modulus.
double largestComponent(const CMat4& A) {
  double big = 0.0;
  for (const cdouble& z : A.e) big = std::max({big, std::abs(z.real()), std::abs(z.imag())});
  return big;
}

// Determinant of the 3x3 minor of A without row r and column c.
cdouble minor3(const CMat4& A, int r, int c) {
  int rows[3], cols[3];
  for (int i = 1, n = 0; i <= 4; ++i)
    if (i != r) rows[n++] = i;
  for (int j = 1, n = 0; j <= 4; ++j)
    if (j != c) cols[n++] = j;
  auto a = [&](int i, int j) { return A(rows[i], cols[j]); };
  return a(0, 0) * (a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1)) - a(0, 1) * (a(1, 0) * a(2, 2) - a(1, 2) * a(2, 0)) +
         a(0, 2) * (a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0));
}

// Column rotation of the one-sided Jacobi method: makes columns p and q of
// U orthogonal and applies the same unitary rotation to V.  Returns false
// when they already are (to the rounding of their norms).
bool rotateColumns(CMat4& U, CMat4& V, int p, int q) {
  double alpha = 0.0, beta = 0.0;
  cdouble gamma = 0.0;
  for (int r = 1; r <= 4; ++r) {
    alpha += std::norm(U(r, p));
    beta += std::norm(U(r, q));
    gamma += std::conj(U(r, p)) * U(r, q);
  }
  const double g = std::abs(gamma);
  if (!(g > 1e-15 * std::sqrt(alpha * beta))) return false;
  // Turning column q by the phase of gamma makes the problem real.
  const cdouble phase = std::conj(gamma / g);
  const double zeta = (beta - alpha) / (2.0 * g);
  const double t = std::copysign(1.0, zeta) / (std::abs(zeta) + std::sqrt(1.0 + zeta * zeta));
  const double c = 1.0 / std::sqrt(1.0 + t * t), s = c * t;
  for (CMat4* W : {&U, &V}) {
    for (int r = 1; r <= 4; ++r) {
      const cdouble x = (*W)(r, p), y = (*W)(r, q) * phase;
      (*W)(r, p) = c * x - s * y;
      (*W)(r, q) = s * x + c * y;
    }
  }
  return true;
}

// Moore-Penrose inverse of a singular A.  Rotations V make the columns u_k
// of U = A V orthogonal (one-sided Jacobi); then A+ = sum over the columns
// that are not zero of v_k u_k^H / |u_k|^2.  A is scaled by its largest
// component first so that no square can overflow or underflow.
CMat4 pseudoInverse(const CMat4& A) {
  const double big = largestComponent(A);
  CMat4 P;  // zero
  if (!(big > 0.0) || !std::isfinite(big)) return P;
  CMat4 U = A, V = CMat4::identity();
  for (cdouble& z : U.e) z /= big;
  for (int sweep = 0; sweep < 60; ++sweep) {
    bool rotated = false;
    for (int p = 1; p <= 3; ++p)
      for (int q = p + 1; q <= 4; ++q) rotated = rotateColumns(U, V, p, q) || rotated;
    if (!rotated) break;
  }
  std::array<double, 4> s2{};
  double s2max = 0.0;
  for (int k = 1; k <= 4; ++k) {
    for (int r = 1; r <= 4; ++r) s2[k - 1] += std::norm(U(r, k));
    s2max = std::max(s2max, s2[k - 1]);
  }
  for (int k = 1; k <= 4; ++k) {
    if (!(s2[k - 1] > 1e-24 * s2max)) continue;  // singular value below 1e-12 of the largest
    const double f = 1.0 / (s2[k - 1] * big);
    for (int j = 1; j <= 4; ++j)
      for (int i = 1; i <= 4; ++i) P(i, j) += V(i, k) * std::conj(U(j, k)) * f;
  }
  return P;
}

}  // namespace

void EXPM2S(const CMat2S& M, float D, CMat2S& T) {
  CMat2 t;
  EXPM2(widen(M), D, t);
  narrow(t, T);
}

void CMUL2S(const CMat2S& A, const CMat2S& B, CMat2S& C) {
  CMat2 c;
  CMUL2(widen(A), widen(B), c);
  narrow(c, C);
}

void CDET4(const CMat4& A, cdouble& DET) {
  cdouble d = 0.0;
  for (int c = 1; c <= 4; ++c) {
    const cdouble term = A(1, c) * minor3(A, 1, c);
    d += c % 2 == 1 ? term : -term;
  }
  DET = d;
}

// A is first scaled by a power of two near its largest component, so that
// neither the determinant nor a cofactor can overflow or underflow.  A
// determinant below 1e-14 of Hadamard's bound (the product of the column
// norms) is zero to the rounding of its terms.
void CINV4(const CMat4& A, CMat4& AINV) {
  const double big = largestComponent(A);
  if (!(big > 0.0) || !std::isfinite(big)) {
    AINV = pseudoInverse(A);
    return;
  }
  int e = 0;
  std::frexp(big, &e);
  CMat4 S;
  for (int i = 0; i < 16; ++i) S.e[i] = A.e[i] * std::ldexp(1.0, -e);
  cdouble det;
  CDET4(S, det);
  double bound = 1.0;
  for (int c = 1; c <= 4; ++c) {
    double col = 0.0;
    for (int r = 1; r <= 4; ++r) col += std::norm(S(r, c));
    bound *= std::sqrt(col);
  }
  if (!(std::abs(det) > 1e-14 * bound)) {
    AINV = pseudoInverse(A);
    return;
  }
  const double back = std::ldexp(1.0, -e);
  CMat4 R;
  for (int r = 1; r <= 4; ++r) {
    for (int c = 1; c <= 4; ++c) {
      const cdouble cof = (r + c) % 2 == 0 ? minor3(S, r, c) : -minor3(S, r, c);
      R(c, r) = cdiv(cof, det) * back;  // the adjugate is the transposed cofactor matrix
    }
  }
  AINV = R;
}

void CSQRT2(const CMat2& M, CMat2& R) {
  const cdouble t = (M(1, 1) + M(2, 2)) * 0.5;
  const cdouble det = M(1, 1) * M(2, 2) - M(1, 2) * M(2, 1);
  const cdouble q = std::sqrt(t * t - det);
  const cdouble r1 = std::sqrt(t + q);
  // One root for a double eigenvalue: two roots of opposite sign (the signed
  // zero of t - q can pick the other one) would make r1 + r2 vanish.
  const cdouble r2 = q == 0.0 ? r1 : std::sqrt(t - q);
  const cdouble den = r1 + r2;
  if (den == 0.0) {
    R = CMat2{};
    return;
  }
  const cdouble p = r1 * r2;
  R.e = {cdiv(M.e[0] + p, den), cdiv(M.e[1], den), cdiv(M.e[2], den), cdiv(M.e[3] + p, den)};
}

void CMULN(Span1<const cdouble> A, Span1<const cdouble> B, Span1<cdouble> C, int N) {
  if (N < 1 || N > kMaxCmulN) return;
  std::array<cdouble, kMaxCmulN * kMaxCmulN> P{};
  for (int j = 0; j < N; ++j) {
    for (int i = 0; i < N; ++i) {
      cdouble s = 0.0;
      for (int k = 0; k < N; ++k) s += A(1 + i + N * k) * B(1 + k + N * j);
      P[i + N * j] = s;
    }
  }
  for (int i = 0; i < N * N; ++i) C(1 + i) = P[i];
}

// M_1 = A, c_k = -tr(M_k)/k, M_(k+1) = A (M_k + c_k I); by Cayley-Hamilton
// M_N + c_N I = 0, so A^-1 = -(M_(N-1) + c_(N-1) I)/c_N (I for N = 1).
void CHPOLY(Span1<const cdouble> A, Span1<cdouble> OUT, int N) {
  if (N < 1 || N > kMaxChpolyN) return;
  constexpr int kCap = kMaxChpolyN * kMaxChpolyN;
  std::array<cdouble, kCap> M{}, W{};
  std::array<cdouble, kMaxChpolyN + 1> coef{};
  const Span1<cdouble> Ms(M.data(), kCap), Ws(W.data(), kCap);
  for (int i = 1; i <= N * N; ++i) Ms(i) = A(i);
  for (int d = 0; d < N; ++d) W[d * (N + 1)] = 1.0;
  coef[0] = 1.0;
  for (int k = 1; k <= N; ++k) {
    cdouble tr = 0.0;
    for (int d = 0; d < N; ++d) tr += M[d * (N + 1)];
    coef[k] = -tr / static_cast<double>(k);
    if (k == N) break;
    W = M;
    for (int d = 0; d < N; ++d) W[d * (N + 1)] += coef[k];
    CMULN(A, Ws, Ms, N);
  }
  for (int k = 0; k <= N; ++k) OUT(1 + k) = coef[k];
  const cdouble cN = coef[N];
  for (int i = 0; i < N * N; ++i) OUT(N + 2 + i) = cN == 0.0 ? cdouble{} : -cdiv(W[i], cN);
}

}  // namespace numlib

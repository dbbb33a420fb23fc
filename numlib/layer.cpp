// Layer matrices.  The state vector of the 4x4 matrices is (psi1..psi4) with
// d psi / d(K0 z) = i M psi: psi1 and psi4 are the fields of the two
// polarisations, psi3 and psi2 their normal derivatives over i K0.
#include "numlib/layer.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "numlib/cscalar.hpp"

namespace numlib {

using detail::cdiv;

namespace {

constexpr cdouble kI{0.0, 1.0};

// ---------------------------------------------------------------------------
// Sylvester's formula breaks down when eigenvalues come close: its terms grow
// like |q| / |q_i - q_j| and cancel, so the rounding error of the sum grows
// like eps |q| / |q_i - q_j|.  On layer operators of the physical scale
// (s ~ 3e-3, chi ~ 1e-5, phase thickness up to 3e4) the measured loss is
// about 4e-17 / delta for a relative separation delta = |q_i - q_j| / max|q|,
// while the balanced scaling-and-squaring exponential keeps about 1e-14
// whatever the separation, at 2.5 times the cost.  Switching below
// delta = 1e-5 bounds the loss of Sylvester's formula by about 4e-12 yet
// leaves the faster formula to every sublayer with a real hyperfine splitting, where delta is
// 1e-3 or more.  Sublayers that are isotropic up to rounding (a single
// unsplit line: delta ~ 1e-16) and exact coincidences take the fallback.
// The separations are compared relative to the eigenvalues because the
// operator, balanced, has the size of its eigenvalues, and so has each term.
constexpr double kNearlyEqual = 1e-5;

bool nearlyCoincident(const std::array<cdouble, 4>& q) {
  double scale = 0.0;
  double sep = std::numeric_limits<double>::infinity();
  for (int i = 0; i < 4; ++i) {
    scale = std::max(scale, std::norm(q[i]));
    for (int j = i + 1; j < 4; ++j) sep = std::min(sep, std::norm(q[i] - q[j]));
  }
  return sep <= kNearlyEqual * kNearlyEqual * scale;  // squared moduli
}

// ------------------------------------------------ small 4x4 helpers ------

// |Re z| + |Im z|: within a factor sqrt 2 of the modulus, and cheap.
double mag1(cdouble z) { return std::abs(z.real()) + std::abs(z.imag()); }

// Largest column sum of mag1: at most sqrt 2 times the 1-norm, which costs
// at most one squaring more than needed.
double norm1(const CMat4& A) {
  double best = 0.0;
  for (int c = 0; c < 4; ++c) {
    double sum = 0.0;
    for (int r = 0; r < 4; ++r) sum += mag1(A.e[4 * c + r]);
    best = std::max(best, sum);
  }
  return best;
}

// Diagonal similarity B = S^-1 A S with S = diag(2^p) that brings the
// off-diagonal norms of each row and its column close together (Parlett and
// Reinsch).  The layer operators mix entries of order 1 with entries of
// order s^2 + chi ~ 1e-5; balanced, all are of the order of the eigenvalues.
// Powers of two keep the transformation exact.
void balance(CMat4& A, std::array<int, 4>& p) {
  p = {0, 0, 0, 0};
  for (int pass = 0; pass < 64; ++pass) {  // converges in a few passes; 64 is a guard
    bool changed = false;
    for (int i = 0; i < 4; ++i) {
      double c = 0.0, r = 0.0;
      for (int j = 0; j < 4; ++j) {
        if (j == i) continue;
        c += mag1(A.e[4 * i + j]);
        r += mag1(A.e[4 * j + i]);
      }
      if (c == 0.0 || r == 0.0) continue;
      const double ratio = r / c;
      if (!std::isfinite(ratio) || ratio == 0.0) continue;
      int e = 0;
      std::frexp(ratio, &e);
      const int k = e / 2;  // 2^(2k) ~ r / c
      if (k == 0) continue;
      const double f = std::ldexp(1.0, k), g = std::ldexp(1.0, -k);
      if (c * f + r * g >= 0.95 * (c + r)) continue;
      for (int j = 0; j < 4; ++j) {
        A.e[4 * i + j] *= f;  // column i
        A.e[4 * j + i] *= g;  // row i
      }
      p[i] += k;
      changed = true;
    }
    if (!changed) break;
  }
}

// B := B + a A
void addScaled(CMat4& B, double a, const CMat4& A) {
#pragma GCC unroll 16
  for (int i = 0; i < 16; ++i) B.e[i] += a * A.e[i];
}

// X := Q^-1 X by Gaussian elimination with partial pivoting.
void solveInPlace(CMat4 Q, CMat4& X) {
  for (int k = 0; k < 4; ++k) {
    int piv = k;
    for (int r = k + 1; r < 4; ++r)
      if (mag1(Q.e[4 * k + r]) > mag1(Q.e[4 * k + piv])) piv = r;
    if (piv != k) {
      for (int c = 0; c < 4; ++c) {
        std::swap(Q.e[4 * c + k], Q.e[4 * c + piv]);
        std::swap(X.e[4 * c + k], X.e[4 * c + piv]);
      }
    }
    const cdouble pivot = Q.e[4 * k + k];
    for (int r = k + 1; r < 4; ++r) {
      const cdouble f = cdiv(Q.e[4 * k + r], pivot);
      for (int c = k + 1; c < 4; ++c) Q.e[4 * c + r] -= f * Q.e[4 * c + k];
      for (int c = 0; c < 4; ++c) X.e[4 * c + r] -= f * X.e[4 * c + k];
    }
  }
  for (int k = 3; k >= 0; --k) {
    for (int c = 0; c < 4; ++c) {
      cdouble v = X.e[4 * c + k];
      for (int j = k + 1; j < 4; ++j) v -= Q.e[4 * j + k] * X.e[4 * c + j];
      X.e[4 * c + k] = cdiv(v, Q.e[4 * k + k]);
    }
  }
}

// A6 (c12 A6 + c10 A4 + c8 A2) + c6 A6 + c4 A4 + c2 A2 + c0 I
CMat4 evenPolynomial(const CMat4& A2, const CMat4& A4, const CMat4& A6, double c12, double c10, double c8,
                     double c6, double c4, double c2, double c0) {
  CMat4 W, P;
  addScaled(W, c12, A6);
  addScaled(W, c10, A4);
  addScaled(W, c8, A2);
  CMUL4(A6, W, P);
  addScaled(P, c6, A6);
  addScaled(P, c4, A4);
  addScaled(P, c2, A2);
  for (int i = 0; i < 4; ++i) P.e[5 * i] += c0;
  return P;
}

// exp(A) by the [13/13] Pade approximant with scaling and squaring
// (Higham 2005): up to a 1-norm of theta13 the backward error of the
// approximant stays below the unit roundoff of double precision.
CMat4 expmPade(const CMat4& A0) {
  constexpr double theta13 = 5.371920351148152;
  constexpr double b[14] = {64764752532480000.0, 32382376266240000.0, 7771770303897600.0,
                            1187353796428800.0,  129060195264000.0,   10559470521600.0,
                            670442572800.0,      33522128640.0,       1323241920.0,
                            40840800.0,          960960.0,            16380.0,
                            182.0,               1.0};
  int squarings = 0;
  std::frexp(norm1(A0) / theta13, &squarings);  // norm / theta < 2^squarings
  squarings = std::max(squarings, 0);
  CMat4 A;
  const double scale = std::ldexp(1.0, -squarings);
  for (int i = 0; i < 16; ++i) A.e[i] = A0.e[i] * scale;

  CMat4 A2, A4, A6;
  CMUL4(A, A, A2);
  CMUL4(A2, A2, A4);
  CMUL4(A4, A2, A6);
  // Odd part U = A p(A^2), even part V = q(A^2), both with the coefficients
  // of A^12, A^10, A^8 gathered under one product by A^6.
  CMat4 U = evenPolynomial(A2, A4, A6, b[13], b[11], b[9], b[7], b[5], b[3], b[1]);
  CMUL4(A, U, U);
  const CMat4 V = evenPolynomial(A2, A4, A6, b[12], b[10], b[8], b[6], b[4], b[2], b[0]);

  CMat4 num, den;
  for (int i = 0; i < 16; ++i) {
    num.e[i] = V.e[i] + U.e[i];
    den.e[i] = V.e[i] - U.e[i];
  }
  solveInPlace(den, num);
  for (int s = 0; s < squarings; ++s) CMUL4(num, num, num);
  return num;
}

}  // namespace

void expm4Balanced(const CMat4& M, double D, CMat4& T) {
  CMat4 A = M;
  std::array<int, 4> p{};
  balance(A, p);
  for (cdouble& z : A.e) z *= kI * D;
  const CMat4 E = expmPade(A);
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      const double f = std::ldexp(1.0, p[r] - p[c]);  // exact power of two
      T.e[4 * c + r] = E.e[4 * c + r] * f;
    }
  }
}

void TMAT4I(const CMat4& M, double D, CMat4& T) {
  const cdouble kappa = std::sqrt(M(2, 4));
  const cdouble c = std::cos(kappa * D);
  const cdouble s = std::sin(kappa * D);
  const cdouble sk = detail::sinOverK(kappa, D, s);  // s / kappa, D at kappa = 0
  T = CMat4{};
  T(1, 1) = T(2, 2) = T(3, 3) = T(4, 4) = c;
  T(1, 3) = T(4, 2) = kI * sk;
  T(3, 1) = T(2, 4) = kI * kappa * s;
}

// Sylvester: exp(i D M) = sum_i exp(i D q_i) prod_{j != i} (M - q_j I) / (q_i - q_j).
// The factors M - q_j I commute, so the four triple products share two pair
// products: prod_{j!=1} = (M - q2 I) P34 = M P34 - q2 P34 with P34 =
// (M - q3 I)(M - q4 I), and likewise for the others; four 4x4 products in all.
void PROPM4(const CMat4& M, const CVec4& Q, double D, CMat4& T) {
  const std::array<cdouble, 4> q{Q(1), Q(2), Q(3), Q(4)};
  std::array<cdouble, 4> den{};
  bool vanishing = false;
  for (int i = 0; i < 4; ++i) {
    den[i] = 1.0;
    for (int j = 0; j < 4; ++j)
      if (j != i) den[i] *= q[i] - q[j];
    if (den[i] == 0.0) {
      reportDegenerated();
      vanishing = true;
    }
  }
  if (vanishing || nearlyCoincident(q)) {
    expm4Balanced(M, D, T);
    return;
  }

  std::array<CMat4, 4> F{M, M, M, M};  // F[j] = M - q_j I
  for (int j = 0; j < 4; ++j)
    for (int d = 0; d < 4; ++d) F[j].e[5 * d] -= q[j];
  CMat4 P12, P34, MP34, P12M;
  CMUL4(F[0], F[1], P12);
  CMUL4(F[2], F[3], P34);
  CMUL4(M, P34, MP34);
  CMUL4(P12, M, P12M);

  std::array<cdouble, 4> w{};
  for (int i = 0; i < 4; ++i) w[i] = cdiv(std::exp(kI * (D * q[i])), den[i]);
  const cdouble a = w[0] + w[1], b = w[0] * q[1] + w[1] * q[0];
  const cdouble c = w[2] + w[3], d = w[2] * q[3] + w[3] * q[2];
#pragma GCC unroll 16
  for (int i = 0; i < 16; ++i) T.e[i] = a * MP34.e[i] - b * P34.e[i] + c * P12M.e[i] - d * P12.e[i];
}

// Boundary conditions: above the stack the state is (u, v) = (a + r, X (a - r))
// with u = (psi1, psi2), v = (psi3, psi4), incident amplitudes a and
// reflected amplitudes r; below it (t, Y t) for the transmitted t.  With
// M = [A B; C E] mapping the top state to the bottom one this gives
// P r = -Q a, so r = -R a.
void reflSystem(const CMat2& X, const CMat4& M, const CMat2& Y, double sign, CMat2& P) {
  CMat2 A, B, C, E;
  for (int c = 1; c <= 2; ++c) {
    for (int r = 1; r <= 2; ++r) {
      A(r, c) = M(r, c);
      B(r, c) = M(r, c + 2);
      C(r, c) = M(r + 2, c);
      E(r, c) = M(r + 2, c + 2);
    }
  }
  CMat2 w1, w2;
  CMAD2(A, B, X, sign, w1);  // A + sign B X
  CMAD2(C, E, X, sign, w2);  // C + sign E X
  CMAD2(w2, Y, w1, -1.0, P);
}

void REFL2(const CMat2& X, const CMat4& M, const CMat2& Y, CMat2& R) {
  CMat2 P, Qm;
  reflSystem(X, M, Y, -1.0, P);
  reflSystem(X, M, Y, 1.0, Qm);
  CINV2(P, P);
  CMUL2(P, Qm, R);
}

}  // namespace numlib

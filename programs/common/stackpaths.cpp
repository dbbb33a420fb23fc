#include "programs/common/stackpaths.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numlib/layer.hpp"
#include "numlib/layerlanes.hpp"
#include "numlib/layermodes.hpp"

namespace common {

namespace {

using numlib::layerAdmittance;
using numlib::layerMatrix4;
using numlib::LayerModes;
using numlib::layerModes;
using numlib::layerPropagators;

// Precision of the transfer-matrix product.  With depth, partial waves grow
// and decay like exp(+-Im(q) K0 z); the rounding errors of the product are
// relative to its largest element and reach R magnified by the inverse of
// the 2x2 system that REFL2 solves.  The loss is estimated as
//   kappa = max(exp(G), |P|) |S^-1|,
// G = sum of d_l max|Im q| over the sublayers (the block counted NRR times),
// the growth that absorption allows the product (precision lost in an upper
// layer stays lost when a thicker layer below dominates |P|); |P| the largest element of
// the product, which also holds growth without absorption (the stop band of
// a repeated block); |S^-1| the largest element of the inverse of the system
// matrix.  Both are taken in units where the rows and columns holding
// derivatives over i K0 (about s times the fields) are divided by s.
// Measured against the recursion on about 390000 energy points (stacks of 1
// to 6 layers of 5 to 20000 Angstrom, resonant or not, with and without
// repeated blocks, 0.5 to 10 mrad, and the reference sample of the
// benchmark), the two |R|^2 differ by at most 1.5e-15 kappa (kappa from 10
// to 1e13; beyond, R is lost altogether).  Points with kappa above 1e4 go to
// the recursion: the rest agree within 1.5e-11 (9e-12 measured), a sixth of
// the 1e-10 the two paths must agree to.
constexpr double kMaxLogLoss = 9.21;  // ln 1e4
// Growth beyond e^250 goes to the recursion before it is multiplied out:
// the determinant of the 2x2 system, about e^(2G), stays far below the
// overflow at 1e308.
constexpr double kMaxGrowth = 250.0;

// log(kappa) for the product P, the boundary matrices X, Y and the growth
// bound G; +inf or NaN when an element is not finite.
double logPrecisionLoss(const CMat4& P, const CMat2& X, const CMat2& Y, double s, double G) {
  const double unit[4] = {1.0, s, s, 1.0};  // rows 2, 3 hold derivatives
  double big = 0.0;
  bool finite = true;
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      const double x = std::abs(P.e[4 * c + r]) * unit[c] / unit[r];
      finite = finite && std::isfinite(x);
      big = std::max(big, x);
    }
  }
  const double logP = std::log(big);
  if (!finite || logP > kMaxGrowth) return std::numeric_limits<double>::infinity();
  // S maps incident amplitudes (psi1, psi2) to (psi3, psi4) mismatches.
  CMat2 S;
  numlib::reflSystem(X, P, Y, -1.0, S);
  S(1, 1) /= s;
  S(2, 2) *= s;
  double bigS = 0.0;
  for (const cdouble& z : S.e) bigS = std::max(bigS, std::abs(z));
  const double det = std::abs(S(1, 1) * S(2, 2) - S(1, 2) * S(2, 1));
  return std::max(G, logP) + std::log(bigS) - std::log(det);  // the inverse's largest element is bigS / det
}

// Sublayer l's tensor in the lanes, at the line sums of ls; adds the
// first n lanes to the absorption sums.
[[gnu::always_inline]] inline numlib::LayerTensorL sublayerTensorL(const AngleArgs& a, const SteppedModel& st,
                                                                   const HyperfineWork& h, const StackWork& w,
                                                                   const LineSumsL& ls, int l, int n,
                                                                   Absorption* const abs[]) {
  using numlib::lanes::Complex;
  Complex chi[4];
  nuclearChiL(a, st, h, ls, l, chi);
  const bool inBlock = w.nrr > 1 && l >= st.N1Nst && l <= st.N2Nst;
  const double wd = (inBlock ? w.nrr : 1) * st.thickness(l);
  for (int p = 0; p < n; ++p) {
    if (!abs[p]) continue;
    abs[p]->E1 += static_cast<float>(wd * std::abs(chi[0].im[p]));
    abs[p]->E2 += static_cast<float>(wd * std::abs(chi[3].im[p]));
  }
  const Complex el = numlib::lanes::broadcast(st.chi(l));
  return {chi[0] + el, chi[1], chi[2], chi[3] + el};
}

// Sublayer l of the lanes by the routines of one point, lane by lane (the
// lanes from n up copy lane n - 1).
void sublayerByLane(const numlib::LayerTensorL& t, const numlib::LayerModesL* modes, const SteppedModel& st,
                    StackWork& w, int l, int n) {
  CMat2 F, Pf, Pb;
  for (int p = 0; p < numlib::lanes::W; ++p) {
    if (p < n) {
      const numlib::LayerTensor s = numlib::laneTensor(t, p);
      const LayerModes m = modes ? numlib::laneModes(*modes, p) : layerModes(s.c11, s.c21, s.c12, s.c22, w.s2);
      layerAdmittance(m, F);
      if (l < st.NNst) layerPropagators(m, w.s2, st.thickness(l), Pf, Pb);
    }
    numlib::lanes::setLane(w.par.F(l), p, F);
    if (l == st.NNst) continue;
    numlib::lanes::setLane(w.par.Pf(l), p, Pf);
    numlib::lanes::setLane(w.par.Pb(l), p, Pb);
  }
}

// Parratt path, first part, the points in the lanes: the admittance and the
// propagators of every sublayer.
[[gnu::always_inline]] inline void parrattLayersL(const AngleArgs& a, const SteppedModel& st, const HyperfineWork& h,
                                                  StackWork& w, const LineSumsL& ls, int n,
                                                  Absorption* const abs[]) {
  const int NNst = st.NNst;
  for (int l = 1; l <= NNst; ++l) {
    const numlib::LayerTensorL t = sublayerTensorL(a, st, h, w, ls, l, n, abs);
    numlib::LayerModesL m;
    if (!numlib::layerModesL(t, w.s2, m)) {
      sublayerByLane(t, nullptr, st, w, l, n);
      continue;
    }
    numlib::layerAdmittanceL(m, w.par.F(l));
    if (l < NNst && !numlib::layerPropagatorsL(m, w.s2, st.thickness(l), n, w.par.Pf(l), w.par.Pb(l)))
      sublayerByLane(t, &m, st, w, l, n);
  }
}

// The inverse in every lane; a lane with a singular matrix is taken alone
// by CINV2 (which reports it), and the lanes from n up copy lane n - 1.
[[gnu::always_inline]] inline numlib::lanes::CMat2L inverseOf(const numlib::lanes::CMat2L& A, int n) {
  numlib::lanes::CMat2L B;
  if (numlib::lanes::inverse(A, B)) return B;
  CMat2 inv;
  for (int p = 0; p < numlib::lanes::W; ++p) {
    if (p < n) numlib::CINV2(numlib::lanes::lane(A, p), inv);
    numlib::lanes::setLane(B, p, inv);
  }
  return B;
}

// Parratt path, second part: the reflection matrix built up from the
// substrate, interface by interface, each sublayer of the block walked NRR
// times, for the points in the lanes at once (n of them real, the others
// copies).  Every propagator decays with depth, so the recursion holds for
// any thickness.
[[gnu::always_inline]] inline numlib::lanes::CMat2L parrattRecursion(const SteppedModel& st, const StackWork& w,
                                                                     int n) {
  using numlib::lanes::CMat2L;
  const int NNst = st.NNst, N1 = st.N1Nst, N2 = st.N2Nst;
  CMat2L X{};
  X.e[0] = numlib::lanes::broadcast(cdouble(w.s));
  X.e[3] = numlib::lanes::broadcast(cdouble(1.0 / w.s));
  const CMat2L E = numlib::lanes::identity2();
  CMat2L A = w.par.F(NNst), Bl{}, Rp{}, R{};  // names as in the recursion
  int rep = w.nrr;
  int j = NNst;
  for (;;) {
    const int l = j - 1;
    const bool bottom = j == NNst && rep == w.nrr;
    const CMat2L& Fa = (j == 1) ? X : w.par.F(l);
    CMat2L Bj = Fa;
    Bj.e[0] = -Fa.e[0];
    Bj.e[3] = -Fa.e[3];
    const CMat2L inv = inverseOf(A - Bj, n);  // (A - Bj)^-1; (Bj - A)^-1 is its negative
    const CMat2L r = inv * (Fa - A);
    if (bottom) {
      R = r;
    } else {
      // U = (A - Bj)^-1 (Fa - Bj) = I + r and V = (Bj - A)^-1 (Bl - Bj) = Z - I,
      // since Fa - Bj = (Fa - A) + (A - Bj) and Bl - Bj = (Bl - A) + (A - Bj).
      const CMat2L U = r + E;
      const CMat2L Z = inv * (A - Bl);
      const CMat2L V = Z - E;
      R = r + Z * ((inverseOf(E - Rp * V, n) * Rp) * U);
    }
    if (j == 1) break;
    Rp = (w.par.Pb(l) * R) * w.par.Pf(l);
    Bl = Bj;
    A = Fa;
    if (rep != 1 && j == N1 + 1) {
      j = N2 + 1;
      --rep;
    } else {
      --j;
    }
  }
  return R;
}

// The Parratt path at the energies E[0..n-1], line sums included.
[[gnu::always_inline]] inline void parrattPoints(const AngleArgs& a, const SteppedModel& st, HyperfineWork& h,
                                                 StackWork& w, int n, const double E[], Absorption* const abs[],
                                                 CMat2 R[]) {
  LineSumsL ls;
  lineSumsL(a, h, E, n, ls);
  parrattLayersL(a, st, h, w, ls, n, abs);
  const numlib::lanes::CMat2L RL = parrattRecursion(st, w, n);
  for (int p = 0; p < n; ++p) R[p] = numlib::lanes::lane(RL, p);
}

// The modes of a sublayer in every lane: in the lanes at once (true), or,
// where the lanes part ways, lane by lane into one[] (the lanes from n up
// copy lane n - 1), the wave numbers also into the lanes of m.
[[gnu::always_inline]] inline bool modesByLanes(const numlib::LayerTensorL& t, double s2, int n,
                                                numlib::LayerModesL& m, LayerModes one[]) {
  if (numlib::layerModesL(t, s2, m)) return true;
  for (int p = 0; p < numlib::lanes::W; ++p) {
    if (p < n) {
      const numlib::LayerTensor s = numlib::laneTensor(t, p);
      one[p] = layerModes(s.c11, s.c21, s.c12, s.c22, s2);
    } else {
      one[p] = one[n - 1];
    }
    m.q1.re[p] = one[p].q1.real(), m.q1.im[p] = one[p].q1.imag();
    m.q2.re[p] = one[p].q2.real(), m.q2.im[p] = one[p].q2.imag();
  }
  return false;
}

// Transfer-matrix path for the points in the lanes: P = T_(NNst-1) ... T_1
// with the block applied NRR times (B^4 and B^16 by squaring), the growth
// bound G of every lane, and the modes of the substrate.  A lane whose G
// passes kMaxGrowth goes to the recursion; it goes on being multiplied (its
// product is not used) until all lanes have passed.
[[gnu::always_inline]] inline void matrixLanes(const AngleArgs& a, const SteppedModel& st, const HyperfineWork& h,
                                               const StackWork& w, const LineSumsL& ls, int n,
                                               Absorption* const abs[], numlib::lanes::Real& G,
                                               numlib::lanes::CMat4L& P, LayerModes substrate[]) {
  using namespace numlib::lanes;
  const int NNst = st.NNst, N1 = st.N1Nst, N2 = st.N2Nst;
  const int rest = w.nrr - 1;
  const int ca = rest / 16, cb = (rest - 16 * ca) / 4, cc = rest - 16 * ca - 4 * cb;
  P = identity4();
  CMat4L B = identity4(), T;
  G = Real{};
  LayerModes one[W];
  for (int l = 1; l < NNst; ++l) {
    const numlib::LayerTensorL t = sublayerTensorL(a, st, h, w, ls, l, n, abs);
    numlib::LayerModesL m;
    const bool together = modesByLanes(t, w.s2, n, m, one);
    const bool inBlock = w.nrr > 1 && l >= N1 && l <= N2;
    const Real q1 = fabs(m.q1.im), q2 = fabs(m.q2.im);
    G = G + broadcast((inBlock ? w.nrr : 1) * st.thickness(l)) * (q1 < q2 ? q2 : q1);
    if (all(G > kMaxGrowth)) continue;  // the recursion takes every point; the absorption sums go on
    if (together && !m.isotropic) {
      numlib::layerMatrix4L(m, st.thickness(l), n, T);
    } else {
      CMat4 Tp;
      for (int p = 0; p < W; ++p) {
        if (p < n) layerMatrix4(together ? numlib::laneModes(m, p) : one[p], w.s2, st.thickness(l), Tp);
        setLane(T, p, Tp);
      }
    }
    multiply(T, P, P);
    if (!inBlock) continue;
    multiply(T, B, B);
    if (l != N2) continue;
    T = B;
    if (ca != 0 || cb != 0) {
      multiply(T, T, T);
      multiply(T, T, T);
      for (int i = 0; i < cb; ++i) multiply(T, P, P);
    }
    if (ca != 0) {
      multiply(T, T, T);
      multiply(T, T, T);
      for (int i = 0; i < ca; ++i) multiply(T, P, P);
    }
    for (int i = 0; i < cc; ++i) multiply(B, P, P);
  }
  const numlib::LayerTensorL t = sublayerTensorL(a, st, h, w, ls, NNst, n, abs);
  for (int p = 0; p < n; ++p) {
    const numlib::LayerTensor s = numlib::laneTensor(t, p);
    substrate[p] = layerModes(s.c11, s.c21, s.c12, s.c22, w.s2);
  }
}

// The transfer-matrix path at the energies E[0..n-1], line sums included.
// R = P^-1 Q of the transfer matrix, which is the negative of the Parratt
// amplitude.  Where absorbing layers are too thick for the product to keep
// the precision of R, the point takes R from the recursion with its own
// sign, so that amplitude differences between energy points stay right
// (intensities and squared differences are the same either way).  Such
// points go to the recursion together.
[[gnu::always_inline]] inline void matrixPoints(const AngleArgs& a, const SteppedModel& st, HyperfineWork& h,
                                                StackWork& w, int n, const double E[], Absorption* const abs[],
                                                CMat2 R[], bool recursive[]) {
  constexpr int W = numlib::lanes::W;
  numlib::lanes::Real G;
  numlib::lanes::CMat4L P;
  LayerModes substrate[W];
  {
    LineSumsL ls;
    lineSumsL(a, h, E, n, ls);
    matrixLanes(a, st, h, w, ls, n, abs, G, P, substrate);
  }
  CMat2 X, Y;
  X(1, 1) = w.s;
  X(2, 2) = 1.0 / w.s;
  double Ef[W];
  int left[W], nf = 0;
  for (int p = 0; p < n; ++p) {
    recursive[p] = false;
    if (!(G[p] > kMaxGrowth)) {
      const CMat4 Pp = numlib::lanes::lane(P, p);
      layerAdmittance(substrate[p], Y);
      if (logPrecisionLoss(Pp, X, Y, w.s, G[p]) <= kMaxLogLoss) {  // NaN goes to the recursion
        numlib::REFL2(X, Pp, Y, R[p]);
        continue;
      }
    }
    Ef[nf] = E[p];
    left[nf++] = p;
  }
  if (nf == 0) return;
  Absorption* const none[W] = {};
  CMat2 Rf[W];
  parrattPoints(a, st, h, w, nf, Ef, none, Rf);
  for (int i = 0; i < nf; ++i) {
    for (cdouble& z : Rf[i].e) z = -z;
    R[left[i]] = Rf[i];
    recursive[left[i]] = true;
  }
}

// The wide instruction set, where the processor has it, takes four lanes
// in one instruction (the same numbers to the last bit).
__attribute__((target_clones("avx2", "default"))) void stackPoints(const AngleArgs& a, const SteppedModel& st,
                                                                    HyperfineWork& h, StackWork& w, int n,
                                                                    const double E[], Absorption* const abs[],
                                                                    CMat2 R[], bool recursive[]) {
  if (a.Jway == 1) {
    matrixPoints(a, st, h, w, n, E, abs, R, recursive);
    return;
  }
  parrattPoints(a, st, h, w, n, E, abs, R);
  for (int p = 0; p < n; ++p) recursive[p] = false;
}

}  // namespace

void stackSetup(const AngleArgs& a, const SteppedModel& st, StackWork& w) {
  w.s = std::sin(a.angle);
  w.s2 = w.s * w.s;
  // A block that is not a range of sublayers above the substrate cannot repeat.
  const bool block = st.N1Nst >= 1 && st.N1Nst <= st.N2Nst && st.N2Nst < st.NNst;
  w.nrr = block ? std::max(st.NRR, 1) : 1;
}

void stackReflections(const AngleArgs& a, const SteppedModel& st, HyperfineWork& h, StackWork& w, int n,
                      const double E[], Absorption* const abs[], CMat2 R[], bool recursive[]) {
  stackPoints(a, st, h, w, std::clamp(n, 1, kStackPoints), E, abs, R, recursive);
}

}  // namespace common

#include "numlib/fits_ext.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "numlib/fitcore.hpp"
#include "numlib/fits.hpp"

namespace numlib {

namespace {

// x as a single-precision value, or false where it has none.
bool toSingle(double x, float& f) {
  if (!(std::abs(x) <= FLT_MAX)) return false;
  f = static_cast<float>(x);
  return true;
}

// The starting background and its step from the smallest theory value.
void centredStart(Span1<const float> T, int N, float& DB, float& B, float& tmin) {
  float tmax = 0.0f;
  MINMAX(T, N, tmin, tmax);
  if (tmin == 0.0f) return;
  if (B == 0.0f) B = -tmin / 2.0f;
  if (DB == 0.0f) DB = tmin / 6.0f;
}

}  // namespace

void LINFTS(Span1<const float> E, Span1<const float> T, int /*N*/, int J1, int J2, float POW, float& B, float& S,
            float& EPS, TrialLog& log) {
  static float keptS = 0.0f, keptB = 0.0f, keptDelta = 0.0f;
  constexpr int kTrials = 1;
  float best = 10.0f;
  for (int k = 1, J = 2; k <= kTrials; ++k, ++J) {
    const float delta = static_cast<float>(k) * 1e-5f;
    const detail::NormalSums sums = detail::normalSums(E, T, J1, J2, POW, delta, true);
    const auto [S1, Se, St, Stt, Ste] = sums;
    const double D = sums.det();
    float s = 0.0f, b = 0.0f;
    float e = std::numeric_limits<float>::quiet_NaN();  // a trial without a solution never counts
    if (!sums.singular() && toSingle((S1 * Ste - Se * St) / D, s) && toSingle((Stt * Se - Ste * St) / D, b)) {
      const float n = static_cast<float>(J2 - J1 + 1);
      e = 0.0f;
      for (int i = J1; i <= J2; ++i) {
        const float r = s * T(i) + b - E(i);
        e += r * r / n;
      }
    }
    log.trial(J, e);
    if (e <= best) {
      best = e;
      keptS = s;
      keptB = b;
      keptDelta = delta;
    }
  }
  S = keptS;
  EPS = best;
  B = keptS * keptDelta + keptB;
}

void FITSC1(Span1<const float> E, Span1<const float> T, int N, float DS, float TOL, Span1<float> Y, int& ITER,
            float& CHI, float& B, float& S) {
  S = 1.0f;
  ITER = 1;
  B = 0.0f;
  CHI = 0.0f;
  if (N < 1) return;
  // Before the first step nothing compares: the first CHI neither stops the
  // search nor reverses the step.
  float prev = std::numeric_limits<float>::infinity();
  for (int it = 1; it <= 100; ++it) {
    S -= DS;
    double sum = 0.0;
    for (int i = 1; i <= N; ++i) sum += S * T(i) - E(i);
    B = static_cast<float>(sum / N);
    double chi = 0.0;
    for (int i = 1; i <= N; ++i) {
      Y(i) = S * T(i) - B;
      chi += (Y(i) - E(i)) * (Y(i) - E(i));
    }
    CHI = static_cast<float>(chi / N);
    // CHI = 0 is a perfect fit; the relative change would be 0/0.
    if (CHI == 0.0f || std::abs(CHI - prev) < TOL * CHI) return;
    ++ITER;
    if (CHI > prev) DS = -0.6f * DS;
    prev = CHI;
  }
}

void FITSC2(Span1<const float> E, Span1<const float> T, int N, float DS, float TOL, Span1<float> Y, int& ITER,
            float& CHI) {
  float B = 0.0f, S = 0.0f;
  FITSC1(E, T, N, DS, TOL, Y, ITER, CHI, B, S);
}

void SCALB2(Span1<const float> E, Span1<const float> T, int N, int J1, int J2, float& DS, float& DB, float& S,
            float& B, float TOL, float& EPS) {
  float tmin = 0.0f;
  centredStart(T, N, DB, B, tmin);
  detail::gridSearch(E, T, J1, J2, DS, DB, S, B, TOL, EPS, 1, {detail::Refinement::Centred, tmin});
}

void SCALB3(Span1<const float> E, Span1<const float> T, int N, int J1, int J2, float& DS, float& DB, float& S,
            float& B, float TOL, float& EPS) {
  float tmin = 0.0f;
  centredStart(T, N, DB, B, tmin);
  detail::gridSearch(E, T, J1, J2, DS, DB, S, B, TOL, EPS, 1, {detail::Refinement::CentredRecentre, tmin});
}

void SCALB4(Span1<const float> E, Span1<const float> T, int NEXP, int J1, int J2, float& DS, float& DB, float& S,
            float& B, float TOL, float& EPS) {
  SCALBG(E, T, NEXP, J1, J2, DS, DB, S, B, TOL, EPS, 1);
}

void SCALBC(Span1<const float> E, Span1<const float> T, int N, int J1, int J2, float& DS, float& DB, float& S,
            float& B, float TOL, float& EPS, int JCRIT) {
  SCALBG(E, T, N, J1, J2, DS, DB, S, B, TOL, EPS, JCRIT);
}

void MINMX2(Span1<const float> A, int K, int N, Span1<float> AMIN, Span1<int> IMIN, Span1<int> JMIN,
            Span1<float> AMAX, Span1<int> IMAX, Span1<int> JMAX) {
  const int n = std::min(N, 10);
  auto a = [&](int i, int j) { return A(i + 10 * (j - 1) + 100 * (K - 1)); };
  float lo = a(1, 1), hi = lo;
  int ilo = 1, jlo = 1, ihi = 1, jhi = 1;
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i <= n; ++i) {
      const float v = a(i, j);
      if (v != 0.0f && (lo == 0.0f || v < lo)) {
        lo = v;
        ilo = i;
        jlo = j;
      }
      if (v > hi) {
        hi = v;
        ihi = i;
        jhi = j;
      }
    }
  }
  AMIN(K) = lo;
  IMIN(K) = ilo;
  JMIN(K) = jlo;
  AMAX(K) = hi;
  IMAX(K) = ihi;
  JMAX(K) = jhi;
}

}  // namespace numlib

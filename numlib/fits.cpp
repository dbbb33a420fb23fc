#include "numlib/fits.hpp"

#include <algorithm>
#include <cmath>

namespace numlib {

void LINFIT(Span1<const float> E, Span1<const float> T, int /*NEXP*/, int J1, int J2, int NPOW,
            float& B, float& S, float& EPS) {
  double Sw = 0, Se = 0, St = 0, Stt = 0, Set = 0;
  for (int j = J1; j <= J2; ++j) {
    if (E(j) == 0.0f) continue;
    const double e = E(j), t = T(j);
    const double w = 1.0 / std::pow(e, NPOW);
    Sw += w;
    Se += w * e;
    St += w * t;
    Stt += w * t * t;
    Set += w * t * e;
  }
  B = 0.0f;
  S = 0.0f;
  EPS = 0.0f;
  if (Sw == 0.0) return;  // no weighted point: nothing to fit

  // Below this share of Sw*Stt the determinant of the normal equations is
  // only rounding noise of the double sums: T is constant over the points.
  constexpr double kSingularShare = 1e-12;
  const double Dl = Sw * Stt - St * St;
  const bool singular = !(Dl > kSingularShare * Sw * Stt);
  if (!singular) {
    S = static_cast<float>((Sw * Set - Se * St) / Dl);
    B = static_cast<float>((Stt * Se - Set * St) / Dl);
  }
  // A negative background is not physical; a singular system (one point, or
  // T constant) cannot separate scale from background.  Either way the line
  // goes through the origin; with T = 0 everywhere the scale stays 0.
  if (singular || B < 0.0f) {
    B = 0.0f;
    S = Stt > 0.0 ? static_cast<float>(Set / Stt) : 0.0f;
  }

  float chi2 = 0.0f;
  for (int j = J1; j <= J2; ++j) {
    if (E(j) == 0.0f) continue;
    const float w = static_cast<float>(1.0 / std::pow(static_cast<double>(E(j)), NPOW));
    const float r = S * T(j) + B - E(j);
    chi2 += w * r * r;
  }
  EPS = static_cast<float>(std::sqrt(chi2 / std::sqrt(Sw)));
}

namespace {

// Merits of one trial curve Y = s T + b over the window.
struct Merit {
  float L = 0;  // sum (Y - E)^2
  float A = 0;  // sum ((E - Y)/(Y + E))^2, the relative misfit
};

Merit trialMerit(Span1<const float> E, Span1<const float> T, int J1, int J2, float s, float b,
                 bool needA) {
  Merit r;
  for (int j = J1; j <= J2; ++j) {
    const float y = s * T(j) + b;
    const float d = y - E(j);
    r.L += d * d;
    if (needA) {
      // Y = E = 0 agrees perfectly; the ratio would be 0/0.
      const float den = y + E(j);
      if (den != 0.0f) {
        const float q = 1.0f - 2.0f * y / den;
        r.A += q * q;
      }
    }
  }
  return r;
}

// Criterion 1: relative mean-square plus relative point-wise misfit;
// 2: relative mean-square only; 3: relative point-wise only.  Codes outside
// 1..3 use criterion 1.  M = 0 (experiment zero over the window) leaves L
// unnormalised instead of dividing by zero.
float criterion(const Merit& m, float M, float sqrtn, int JCRIT) {
  const float rel = std::sqrt(M > 0.0f ? m.L / M : m.L);
  const float pw = std::sqrt(m.A) / sqrtn;
  if (JCRIT == 2) return rel;
  if (JCRIT == 3) return pw;
  return rel + pw;
}

template <class Get>
float spread(int count, Get get) {
  float lo = get(1), hi = lo;
  for (int i = 2; i <= count; ++i) {
    const float v = get(i);
    if (v < lo) lo = v;
    if (v > hi) hi = v;
  }
  return hi - lo;
}

// Five scales c + (k-3) DS by NB backgrounds b0 + (m-1) DB, and the best point
// found over all sweeps so far with its grid indices.
struct Grid {
  float c, DS, b0, DB;
  int NB;
};
struct Best {
  // Its own flag, not "eps = 0 means none yet": a criterion of exactly 0
  // (a perfect fit) is a real best that later points must not replace.
  bool found = false;
  float eps = 0, s = 0, b = 0;
  int k = 3, m = 3;
};

// Moves the grids for the next sweep.  An edge best shifts the scale grid
// half a step beyond it with the same step; an interior best refines around
// it.  The background grid restarts from 0 below a best at its first column,
// starts at a best on its last column, and otherwise is centred on the best.
// A sweep that found nothing better leaves the best between the points of
// the current grids, where its indices mean nothing: both grids are then
// refined around it (the background not below 0), since shifting again would
// repeat the same sweep until the iteration limit.
void nextGrid(Grid& g, const Best& best, bool improved) {
  const bool edge = best.k == 1 || best.k == 5;
  if (improved && edge) {
    g.c = best.s - g.DS * static_cast<float>(6 - 2 * best.k) / 8.0f;
  } else {
    g.c = best.s;
    g.DS = g.DS / 3.0f;
  }
  if (g.NB != 5) return;
  constexpr int v = (5 - 1) / 2;
  if (improved && best.m == 1) {
    g.b0 = 0.0f;
    g.DB = g.DB / (v + 3);
  } else if (improved && best.m == g.NB) {
    g.b0 = best.b;
    g.DB = 0.75f * g.DB;
  } else {
    const float DBn = g.DB / (v + 1);
    g.b0 = std::max(0.0f, best.b - g.DB + DBn);
    g.DB = DBn;
  }
}

}  // namespace

void SCALBG(Span1<const float> E, Span1<const float> T, int /*NEXP*/, int J1, int J2, float& DS,
            float& DB, float& S, float& B, float TOL, float& EPS, int JCRIT) {
  EPS = 0.0f;
  B = 0.0f;
  const int n = J2 - J1 + 1;
  if (n <= 0) return;  // empty window: S, DS and DB untouched

  if (S == 1.0f) {
    // Start from the ratio of the geometric means of E and T.
    double lnE = 0, lnT = 0;
    for (int j = J1; j <= J2; ++j) {
      if (E(j) > 0.0f) lnE += std::log(static_cast<double>(E(j)));
      if (T(j) > 0.0f) lnT += std::log(static_cast<double>(T(j)));
    }
    S = static_cast<float>(std::exp((lnE - lnT) / n));
  }
  if (DS == 0.0f) DS = std::fabs(S - 1.0f) / 2.0f;

  float M = 0.0f;
  for (int j = J1; j <= J2; ++j) M += E(j) * E(j);
  const float sqrtn = std::sqrt(static_cast<float>(n));
  const bool needA = JCRIT != 2;

  Arr2<float, 5, 5> tab;  // criterion by scale index k and background index m
  Grid g{S, DS, 0.0f, DB, DB != 0.0f ? 5 : 1};
  Best best;
  best.s = S;
  for (int iter = 1; iter <= 100; ++iter) {
    bool improved = false;
    for (int k = 1; k <= 5; ++k) {
      const float s = g.c + static_cast<float>(k - 3) * g.DS;
      for (int m = 1; m <= g.NB; ++m) {
        const float b = g.b0 + static_cast<float>(m - 1) * g.DB;
        const float v = criterion(trialMerit(E, T, J1, J2, s, b, needA), M, sqrtn, JCRIT);
        tab(k, m) = v;
        // "at most": a tie goes to the later grid point.
        if (!best.found || v <= best.eps) {
          best = {true, v, s, b, k, m};
          improved = true;
        }
      }
      // A background that no longer discriminates is fixed at b0.
      if (g.NB == 5 && spread(5, [&](int m) { return tab(k, m); }) < TOL) g.NB = 1;
    }
    const float tableSpread =
        g.NB == 5 ? spread(25, [&](int i) { return tab((i - 1) % 5 + 1, (i - 1) / 5 + 1); })
                  : spread(5, [&](int k) { return tab(k, 1); });
    if (tableSpread < TOL) break;
    nextGrid(g, best, improved);
  }
  S = best.s;
  B = best.b;
  EPS = best.eps;
  DS = g.DS;
  DB = g.DB;
}

void MINMAX(Span1<const float> X, int N, float& XMIN, float& XMAX) {
  if (N < 1) {
    XMIN = XMAX = 0.0f;
    return;
  }
  XMIN = XMAX = X(1);
  for (int i = 1; i <= N; ++i) {
    if (X(i) < XMIN) XMIN = X(i);
    if (X(i) > XMAX) XMAX = X(i);
  }
}

}  // namespace numlib

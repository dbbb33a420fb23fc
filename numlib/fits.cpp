#include "numlib/fits.hpp"

#include <algorithm>
#include <cmath>

#include "numlib/fitcore.hpp"

namespace numlib {

namespace detail {

NormalSums normalSums(Span1<const float> E, Span1<const float> T, int J1, int J2, double power, double shift,
                      bool positiveOnly) {
  NormalSums n;
  for (int j = J1; j <= J2; ++j) {
    if (E(j) == 0.0f || (positiveOnly && !(E(j) > 0.0f))) continue;
    const double e = E(j), t = T(j) + shift;
    const double w = 1.0 / std::pow(e, power);
    n.Sw += w;
    n.Se += w * e;
    n.St += w * t;
    n.Stt += w * t * t;
    n.Set += w * t * e;
  }
  return n;
}

}  // namespace detail

void LINFIT(Span1<const float> E, Span1<const float> T, int /*NEXP*/, int J1, int J2, int NPOW,
            float& B, float& S, float& EPS) {
  const detail::NormalSums sums = detail::normalSums(E, T, J1, J2, NPOW, 0.0, false);
  const auto [Sw, Se, St, Stt, Set] = sums;
  B = 0.0f;
  S = 0.0f;
  EPS = 0.0f;
  if (Sw == 0.0) return;  // no weighted point: nothing to fit

  const double Dl = sums.det();
  const bool singular = sums.singular();
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

// Five scales c + (k-3) DS by NB backgrounds (from b0 or centred on it), and
// the best point found over all sweeps so far with its grid indices.
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

using detail::Refinement;

// Half a step beyond an edge best, outward: the grid's centre for the next
// sweep when the best lay on grid index 1 or 5.
float beyondEdge(float best, float step, int index) { return best - step * static_cast<float>(6 - 2 * index) / 8.0f; }

// Moves SCALBG's grids.  An edge best shifts the scale grid half a step
// beyond it with the same step; an interior one refines around it.  The
// background grid restarts from 0 below a best at its first column, starts
// at a best on its last column, and otherwise is centred on the best (never
// below 0).  A sweep that found nothing better leaves the best between the
// points of the current grids, where its indices mean nothing: both grids
// are then refined around it, since shifting again would repeat the same
// sweep until the iteration limit.
void nextGrid(Grid& g, const Best& best, bool improved) {
  if (improved && (best.k == 1 || best.k == 5)) {
    g.c = beyondEdge(best.s, g.DS, best.k);
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

// Moves the centred grids: both follow the best point with their steps, and
// the steps shrink only when the best is the middle of the grid (or nothing
// better was found).  Shrinking at any interior best would stall the search
// in the valley along which scale and background trade against each other.
// An edge best moves the background grid, and SCALB2's scale grid, half a
// step beyond it; SCALB3 centres its scale grid on it and halves its step
// where SCALB2 divides it by 3.
void nextCentredGrid(Grid& g, const Best& best, bool improved, Refinement rule) {
  const bool backgrounds = g.NB == 5;
  const bool middle = !improved || (best.k == 3 && (!backgrounds || best.m == 3));
  const bool edgeK = best.k == 1 || best.k == 5;
  g.c = !middle && edgeK && rule == Refinement::Centred ? beyondEdge(best.s, g.DS, best.k) : best.s;
  if (middle) g.DS = g.DS / (rule == Refinement::Centred ? 3.0f : 2.0f);
  if (!backgrounds) return;
  g.b0 = !middle && (best.m == 1 || best.m == 5) ? beyondEdge(best.b, g.DB, best.m) : best.b;
  if (middle) g.DB = g.DB / 3.0f;
}

// Background m of a sweep; on a centred grid one that would take the curve
// to or below 0 at the smallest theory value is moved above it.
float background(const Grid& g, int m, const detail::SearchRules& rules, bool& replaced) {
  replaced = false;
  if (rules.refine == Refinement::Scalbg) return g.b0 + static_cast<float>(m - 1) * g.DB;
  const float b = g.b0 + static_cast<float>(m - (g.NB + 1) / 2) * g.DB;
  if (b + rules.minT > 0.0f) return b;
  replaced = true;
  return g.DB - rules.minT;
}

}  // namespace

namespace detail {

void gridSearch(Span1<const float> E, Span1<const float> T, int J1, int J2, float& DS, float& DB, float& S,
                float& B, float TOL, float& EPS, int JCRIT, const SearchRules& rules) {
  const float bStart = rules.refine == Refinement::Scalbg ? 0.0f : B;
  EPS = 0.0f;
  B = bStart;
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
  Grid g{S, DS, bStart, DB, DB != 0.0f ? 5 : 1};
  Best best;
  best.s = S;
  best.b = bStart;
  for (int iter = 1; iter <= 100; ++iter) {
    bool improved = false, lastReplaced = false;
    for (int k = 1; k <= 5; ++k) {
      const float s = g.c + static_cast<float>(k - 3) * g.DS;
      for (int m = 1; m <= g.NB; ++m) {
        bool replaced = false;
        const float b = background(g, m, rules, replaced);
        lastReplaced = lastReplaced || (replaced && m == g.NB);
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
    if (lastReplaced) g.DB = g.DB / 2.0f;
    const float tableSpread =
        g.NB == 5 ? spread(25, [&](int i) { return tab((i - 1) % 5 + 1, (i - 1) / 5 + 1); })
                  : spread(5, [&](int k) { return tab(k, 1); });
    if (tableSpread < TOL) break;
    if (rules.refine == Refinement::Scalbg) {
      nextGrid(g, best, improved);
    } else {
      nextCentredGrid(g, best, improved, rules.refine);
    }
  }
  S = best.s;
  B = best.b;
  EPS = best.eps;
  DS = g.DS;
  DB = g.DB;
}

}  // namespace detail

void SCALBG(Span1<const float> E, Span1<const float> T, int /*NEXP*/, int J1, int J2, float& DS,
            float& DB, float& S, float& B, float TOL, float& EPS, int JCRIT) {
  detail::gridSearch(E, T, J1, J2, DS, DB, S, B, TOL, EPS, JCRIT, {});
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

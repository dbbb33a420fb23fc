#include "programs/common/hyperfine.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace common {

using numlib::N6;
using numlib::NMAX;

namespace {

// Polarisation matrices of the in-plane (K1) and random (K2) parts, element
// (11, 21, 12, 22) x column (+-2, 0).
constexpr double K1[4][2] = {{1, 2}, {0, 0}, {0, 0}, {2, 0}};
constexpr double K2[4][2] = {{1, 1}, {0, 0}, {0, 0}, {1, 1}};

// Aligned polarisation matrix, averaged over the azimuth spread: 21 azimuths
// GA + k WID/4 with Gaussian weights exp(-k^2/32), or GA alone when WID = 0.
std::array<std::array<cdouble, 2>, 4> alignedMatrix(float BE, float GA, float WID) {
  const AzimuthSpread spread = azimuthSpread(GA, WID);
  const double sb = std::sin(static_cast<double>(BE)), cb = std::cos(static_cast<double>(BE));
  double a11c1 = 0, a11c2 = 0, a21c2 = 0;
  cdouble a21c1 = 0;
  for (int i = 0; i < spread.n; ++i) {
    const double sg = std::sin(static_cast<double>(spread.gamma[i])), cg = std::cos(static_cast<double>(spread.gamma[i]));
    const double w = spread.weight[i];
    a11c1 += w * (sg * sg + cb * cb * cg * cg) / 2;
    a11c2 += w * sb * sb * cg * cg;
    a21c1 += w * cdouble(-sb * cb * cg, sb * sg) / 2.0;
    a21c2 += w * sb * cb * cg;
  }
  return {{{a11c1, a11c2}, {a21c1, a21c2}, {std::conj(a21c1), a21c2}, {sb * sb / 2, cb * cb}}};
}

// The resonance lines of multiplet m and its field points.
void setupLines(const NuclearConstants& C, const AngleArgs& a, HyperfineWork& w, int m) {
  w.nField(m) = fieldPoints(C, m, a.WDIST, a.IDIST, w.Bfield.col(m), w.Bweight.col(m));
  w.nLines(m) = resonanceLines(C, m, w.nField(m) > 1, w.lines.col(m));
}

}  // namespace

double quadFunction(int m, int i2) {
  if (i2 <= 1) return 0.0;
  return (3.0 * m * m - i2 * (i2 + 2.0)) / (2.0 * i2 * (2.0 * i2 - 2.0));
}

int fieldPoints(const NuclearConstants& C, int m, Span1<const float> WDIST, int IDIST, Span1<double> B,
                Span1<double> weight) {
  const int room = std::min({B.size(), weight.size(), WDIST.size()});
  const int jav = std::min(C.JAV1, (room - 1) / 2);
  if (IDIST == 0 || jav < 1 || C.dBhf(m) == 0.0f) {
    B(1) = C.Bhf(m);
    weight(1) = 1.0;
    return 1;
  }
  const double step = static_cast<double>(C.SWD) * C.dBhf(m) / jav;
  for (int j = -jav; j <= jav; ++j) {
    B(j + jav + 1) = C.Bhf(m) + j * step;
    weight(j + jav + 1) = WDIST(j + jav + 1);
  }
  return 2 * jav + 1;
}

int resonanceLines(const NuclearConstants& C, int m, bool distributed, Span1<HyperfineLine> out) {
  int n = 0;
  for (int r = 1; r <= std::min(C.I2G + 1, 10); ++r) {
    const int mg = C.I2G - 2 * (r - 1);
    for (int t = 1; t <= 3; ++t) {
      const int me = mg + 4 - 2 * t;  // mg+2, mg, mg-2
      if (std::abs(me) > C.I2E || n >= out.size()) continue;
      HyperfineLine& ln = out(++n);
      ln.G = me * static_cast<double>(C.EFAC) / 2 - mg * static_cast<double>(C.GFAC) / 2;
      ln.base = static_cast<double>(C.IS(m)) + static_cast<double>(C.EFG(m)) * quadFunction(me, C.I2E) -
                static_cast<double>(C.QRAT) * C.EFG(m) * quadFunction(mg, C.I2G);
      double h = C.GE / 2;
      if (C.dBhf(m) != 0.0f && !distributed) {
        // The full width is formed in single precision, as the widths of the
        // model file are.
        const float W = static_cast<float>(std::abs(ln.G) * C.dBhf(m) + C.GE);
        h = static_cast<double>(W) / 2;
      }
      ln.h = h + C.GRd(m);
      ln.weight = C.CTRANS(r, t);
      ln.col = t;
    }
  }
  return n;
}

AzimuthSpread azimuthSpread(float GA, float WID) {
  AzimuthSpread s;
  s.gamma[0] = GA;
  s.weight[0] = 1.0f;
  if (WID == 0.0f) return s;
  s.n = 21;
  float sum = 0.0f;
  for (int k = -10; k <= 10; ++k) {
    s.gamma[k + 10] = GA + static_cast<float>(k) * WID * 5.0f / 20.0f;
    s.weight[k + 10] = std::exp(-static_cast<float>(k * k) / 32.0f);
    sum += s.weight[k + 10];
  }
  for (int i = 0; i < s.n; ++i) s.weight[i] /= sum;
  return s;
}

AngularFactors angularFactors(double F, float BE, float GA, float RAND, float PLAN, float WID) {
  const auto A = alignedMatrix(BE, GA, WID);
  const double plan = PLAN, rnd = RAND, aligned = 1.0 - rnd - plan;
  AngularFactors f{};
  for (int e = 0; e < 4; ++e) {
    for (int c = 0; c < 2; ++c) f[e][c] = F * (plan / 4 * K1[e][c] + aligned * A[e][c] + rnd / 3 * K2[e][c]);
    f[e][2] = std::conj(f[e][0]);
  }
  return f;
}

void hyperfineSetup(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st, HyperfineWork& w) {
  // Counts past the fixed capacities are cut to them (the callers stop
  // before: at most N6 multiplets and NMAX sublayers).
  w.nm = std::clamp(a.NM, 0, N6);
  const int NNst = std::clamp(st.NNst, 0, NMAX);
  const double F = 3.0 * C.HF / (C.I2E + 1);
  w.nItems = a.IBHF == 2 ? w.nm : NNst;
  for (int i = 1; i <= w.nItems; ++i)
    w.fac(i) = angularFactors(F, st.BE(i), st.GA(i), st.RAND(i), st.PLAN(i), st.WID(i));

  for (int m = 1; m <= w.nm; ++m) {
    w.active(m) = false;
    for (int l = 1; l <= NNst && !w.active(m); ++l) w.active(m) = st.V(m, l) != 0.0f;
    w.nLines(m) = 0;
    w.nField(m) = 0;
    if (w.active(m)) setupLines(C, a, w, m);
  }
}

void lineSums(const AngleArgs& a, HyperfineWork& w, double E) {
  for (int m = 1; m <= w.nm; ++m) {
    if (!w.active(m)) continue;
    cdouble L[3] = {0.0, 0.0, 0.0};
    for (int n = 1; n <= w.nLines(m); ++n) {
      const HyperfineWork::Line& ln = w.lines(n, m);
      const double y = ln.h;
      double re = 0, im = 0;
      for (int p = 1; p <= w.nField(m); ++p) {
        const double x = E - (ln.G * w.Bfield(p, m) + ln.base);
        const double g = w.Bweight(p, m) / (x * x + y * y);
        re += x * g;
        im -= y * g;
      }
      L[ln.col - 1] += ln.weight * cdouble(re, im);
    }
    for (int t = 1; t <= 3; ++t) w.L(t, m) = L[t - 1];
    if (a.IBHF == 2) {
      const AngularFactors& f = w.fac(m);
      for (int e = 0; e < 4; ++e) w.S(e + 1, m) = f[e][0] * L[0] + f[e][1] * L[1] + f[e][2] * L[2];
    }
  }
}

void lineSumsL(const AngleArgs& a, HyperfineWork& w, const double E[], int n, LineSumsL& ls) {
  for (int p = 0; p < n; ++p) {
    lineSums(a, w, E[p]);
    for (int m = 1; m <= w.nm; ++m) {
      if (!w.active(m)) continue;
      // Lanes from p up: the last point fills the lanes that carry copies.
      for (int q = p; q < (p == n - 1 ? numlib::lanes::W : p + 1); ++q) {
        for (int t = 1; t <= 3; ++t) ls.L(t, m).re[q] = w.L(t, m).real(), ls.L(t, m).im[q] = w.L(t, m).imag();
        if (a.IBHF != 2) continue;
        for (int e = 1; e <= 4; ++e) ls.S(e, m).re[q] = w.S(e, m).real(), ls.S(e, m).im[q] = w.S(e, m).imag();
      }
    }
  }
}

// Nuclear susceptibility tensor of sublayer l from the current line sums.
void nuclearChi(const AngleArgs& a, const SteppedModel& st, const HyperfineWork& w, int l, cdouble chi[4]) {
  chi[0] = chi[1] = chi[2] = chi[3] = 0.0;
  if (a.IBHF == 2) {
    for (int m = 1; m <= w.nm; ++m) {
      const double v = st.V(m, l);
      if (v == 0.0) continue;
      for (int e = 0; e < 4; ++e) chi[e] -= v * w.S(e + 1, m);
    }
    return;
  }
  cdouble U[3] = {0.0, 0.0, 0.0};
  bool any = false;
  for (int m = 1; m <= w.nm; ++m) {
    const double v = st.V(m, l);
    if (v == 0.0) continue;
    any = true;
    for (int t = 0; t < 3; ++t) U[t] += v * w.L(t + 1, m);
  }
  if (!any) return;
  const AngularFactors& f = w.fac(l);
  for (int e = 0; e < 4; ++e) chi[e] = -(f[e][0] * U[0] + f[e][1] * U[1] + f[e][2] * U[2]);
}

}  // namespace common

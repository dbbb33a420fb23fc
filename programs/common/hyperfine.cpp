#include "programs/common/hyperfine.hpp"

#include <algorithm>
#include <cmath>

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
  std::array<float, 21> gam{}, wt{};
  int n = 1;
  gam[0] = GA;
  wt[0] = 1.0f;
  if (WID != 0.0f) {
    n = 21;
    float sum = 0.0f;
    for (int k = -10; k <= 10; ++k) {
      gam[k + 10] = GA + static_cast<float>(k) * WID * 5.0f / 20.0f;
      wt[k + 10] = std::exp(-static_cast<float>(k * k) / 32.0f);
      sum += wt[k + 10];
    }
    for (int i = 0; i < n; ++i) wt[i] /= sum;
  }
  const double sb = std::sin(static_cast<double>(BE)), cb = std::cos(static_cast<double>(BE));
  double a11c1 = 0, a11c2 = 0, a21c2 = 0;
  cdouble a21c1 = 0;
  for (int i = 0; i < n; ++i) {
    const double sg = std::sin(static_cast<double>(gam[i])), cg = std::cos(static_cast<double>(gam[i]));
    const double w = wt[i];
    a11c1 += w * (sg * sg + cb * cb * cg * cg) / 2;
    a11c2 += w * sb * sb * cg * cg;
    a21c1 += w * cdouble(-sb * cb * cg, sb * sg) / 2.0;
    a21c2 += w * sb * cb * cg;
  }
  return {{{a11c1, a11c2}, {a21c1, a21c2}, {std::conj(a21c1), a21c2}, {sb * sb / 2, cb * cb}}};
}

// Quadrupole function of the doubled magnetic quantum number m of a state of
// doubled spin i2: (3m^2 - i2(i2+2)) / (2 i2 (2 i2 - 2)); 0 without a
// quadrupole moment (spin 1/2 or 0).
double quadFunction(int m, int i2) {
  if (i2 <= 1) return 0.0;
  return (3.0 * m * m - i2 * (i2 + 2.0)) / (2.0 * i2 * (2.0 * i2 - 2.0));
}

// The resonance lines of multiplet m and its field points.
void setupLines(const NuclearConstants& C, const AngleArgs& a, HyperfineWork& w, int m) {
  // A distribution needs at least one point on each side; with JAV1 = 0 the
  // field step would divide by zero, so the multiplet is taken as without one.
  // No more points are used than the weight table holds.
  const int jav = std::min({C.JAV1, (NDIST - 1) / 2, (a.WDIST.size() - 1) / 2});
  const bool dist = a.IDIST != 0 && jav >= 1 && C.dBhf(m) != 0.0f;
  int n = 0;
  for (int r = 1; r <= std::min(C.I2G + 1, 10); ++r) {
    const int mg = C.I2G - 2 * (r - 1);
    for (int t = 1; t <= 3; ++t) {
      const int me = mg + 4 - 2 * t;  // mg+2, mg, mg-2
      if (std::abs(me) > C.I2E) continue;
      HyperfineWork::Line& ln = w.lines(++n, m);
      ln.G = me * static_cast<double>(C.EFAC) / 2 - mg * static_cast<double>(C.GFAC) / 2;
      ln.base = static_cast<double>(C.IS(m)) + static_cast<double>(C.EFG(m)) * quadFunction(me, C.I2E) -
                static_cast<double>(C.QRAT) * C.EFG(m) * quadFunction(mg, C.I2G);
      double h = C.GE / 2;
      if (C.dBhf(m) != 0.0f && !dist) {
        const float W = static_cast<float>(std::abs(ln.G) * C.dBhf(m) + C.GE);
        h = static_cast<double>(W) / 2;
      }
      ln.h = h + C.GRd(m);
      ln.weight = C.CTRANS(r, t);
      ln.col = t;
    }
  }
  w.nLines(m) = n;
  if (dist) {
    const double step = static_cast<double>(C.SWD) * C.dBhf(m) / jav;
    w.nField(m) = 2 * jav + 1;
    for (int j = -jav; j <= jav; ++j) {
      w.Bfield(j + jav + 1, m) = C.Bhf(m) + j * step;
      w.Bweight(j + jav + 1, m) = a.WDIST(j + jav + 1);
    }
  } else {
    w.nField(m) = 1;
    w.Bfield(1, m) = C.Bhf(m);
    w.Bweight(1, m) = 1.0;
  }
}

}  // namespace

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

// Published 57Fe data, an energy grid and small stepped samples for the
// tests of the per-angle response.
#pragma once

#include <cmath>
#include <complex>
#include <memory>
#include <vector>

#include "programs/common/angle_core.hpp"
#include "programs/common/blocks.hpp"
#include "programs/zeprin/timcalu.hpp"

namespace physics_test {

using common::AngleArgs;
using common::AngleWork;
using common::NuclearConstants;
using common::SteppedModel;
using cdouble = std::complex<double>;

// Physical constants (CODATA 2018).
inline constexpr double kPlanck = 4.135667696e-15;   // eV s
inline constexpr double kHbar = 6.582119569e-16;     // eV s
inline constexpr double kLight = 2.99792458e11;      // mm/s
inline constexpr double kNuclearMagneton = 3.1524512550e-8;  // eV/T

// 57Fe: 14.4125 keV transition from the 3/2- level to the 1/2- ground state.
inline constexpr double kEres = 14.4125;      // keV
inline constexpr double kMuGround = 0.09044;  // nuclear magnetons, spin 1/2
inline constexpr double kMuExcited = -0.1549; // nuclear magnetons, spin 3/2
inline constexpr double kLifetime = 141.1;    // mean life of the 14.4 keV level, ns

// mm/s of Doppler velocity per eV of energy at the 57Fe line.
inline double mmsPerEV() { return kLight / (kEres * 1e3); }

// The constants block for 57Fe and the main program's own constants.
struct Fe57 {
  NuclearConstants C;
  double AT = 0, LYAMBDA = 0, K0 = 0;

  Fe57() {
    const double muN = kNuclearMagneton * mmsPerEV();  // mm/s per T
    C.JE = 1024;
    C.I2G = 1;
    C.I2E = 3;
    // Level energy -g muN m B, so the splitting factors are -g muN (mm/s per T)
    // and G B is the line energy.
    C.GFAC = static_cast<float>(-kMuGround / 0.5 * muN);
    C.EFAC = static_cast<float>(-kMuExcited / 1.5 * muN);
    C.QRAT = 0.0f;  // the spin-1/2 ground state has no quadrupole moment
    // Squared Clebsch-Gordan coefficients of the M1 transitions, rows
    // mg = +1/2, -1/2, columns me - mg = +1, 0, -1.
    const double ct[2][3] = {{3, 2, 1}, {1, 2, 3}};
    for (int r = 1; r <= 2; ++r)
      for (int t = 1; t <= 3; ++t) C.CTRANS(r, t) = ct[r - 1][t - 1] / 3.0;
    C.GE = 0.097;  // mm/s, natural width
    const double ALFA = 8.21;
    const double density = 0.08491;  // atoms per Angstrom^3 in alpha-Fe
    const double fLM = 0.8;          // Lamb-Moessbauer factor of alpha-Fe at room temperature
    const double abundance = 0.02119;
    AT = kEres / 2.9979246;
    LYAMBDA = 4.1356673 / AT;
    K0 = 6.2831855 / LYAMBDA;
    const double SIGMA0 = LYAMBDA * LYAMBDA / 6.2831855 / (ALFA + 1) * (C.I2E + 1) / (C.I2G + 1);
    C.HF = SIGMA0 * LYAMBDA * 0.5 / 6.2831855 * abundance * fLM * density * C.GE;
    C.JAV1 = 0;
    C.SWD = 0.0f;
  }

  // Width of one time channel, ns, for the energy step XEST.
  double channel(float XEST) const { return LYAMBDA / XEST / C.JE * 100.0; }
};

// Electronic susceptibilities at 14.4 keV (n^2 - 1 = -2 delta + 2 i beta).
inline const cdouble kChiFe(-1.52e-5, 6.8e-7);
inline const cdouble kChiSi(-4.9e-6, 2.6e-8);
inline const cdouble kChiPd(-2.1e-5, 1.6e-6);

// Energy grid over the Fourier window of JE = 1024 steps XEST: steps of XEST
// where |x| <= fine, ten times coarser outside, a little beyond both ends.
inline int makeGrid(float XEST, float fine, numlib::Arr1<float, common::NEMAX>& grid) {
  double x = -512.0 * XEST;
  int n = 0;
  while (n < common::NEMAX) {
    grid(++n) = static_cast<float>(x);
    if (x > 512.0 * XEST) break;
    x += (std::abs(x) > fine ? 10.0 : 1.0) * XEST;
  }
  return n;
}

// A stepped model with no layers yet; angles (rad) per sublayer.
inline std::unique_ptr<SteppedModel> emptyModel() {
  auto st = std::make_unique<SteppedModel>();
  st->NNst = 0;
  st->N1Nst = 0;
  st->N2Nst = 0;
  st->NRR = 1;
  return st;
}

// Appends a sublayer of thickness t (Angstrom, times K0 here) with density v of
// multiplet m (0: none) and the field direction BE, GA (rad).
inline int addLayer(SteppedModel& st, const Fe57& fe, double t, cdouble chi, int m = 0, float v = 0,
                    float BE = 0, float GA = 0, float RAND = 0, float PLAN = 0, float WID = 0) {
  const int l = ++st.NNst;
  st.thickness(l) = t * fe.K0;
  st.chi(l) = chi;
  for (int k = 1; k <= numlib::N6; ++k) st.V(k, l) = 0.0f;
  if (m > 0) st.V(m, l) = v;
  st.BE(l) = BE;
  st.GA(l) = GA;
  st.RAND(l) = RAND;
  st.PLAN(l) = PLAN;
  st.WID(l) = WID;
  st.parent(l) = l;
  return l;
}

// Everything one TIMCALU call needs, with the outputs.
struct Sample {
  Fe57 fe;
  numlib::Arr1<float, common::NEMAX> grid;
  numlib::Arr1<float, common::NDIST> WDIST;
  AngleArgs a;
  std::unique_ptr<SteppedModel> st = emptyModel();
  std::unique_ptr<AngleWork> w = std::make_unique<AngleWork>();
  std::unique_ptr<zeprin::TimcaluOut> out = std::make_unique<zeprin::TimcaluOut>();

  Sample(float XEST, float fine, double angle, int Jway) {
    a.XEST = XEST;
    a.NE = makeGrid(XEST, fine, grid);
    a.grid = grid;
    a.WDIST = WDIST;
    a.angle = angle;
    a.Jway = Jway;
    a.IBHF = 1;
    a.NM = 1;
  }
  Sample(const Sample&) = delete;
  Sample& operator=(const Sample&) = delete;

  void timcalu() { zeprin::TIMCALU(fe.C, a, *st, *out, *w); }
  double channel() const { return fe.channel(a.XEST); }
};

// Reflection matrix of the sample at energy E (mm/s) by path Jway.
inline numlib::CMat2 reflect(Sample& r, double E, int Jway) {
  r.a.Jway = Jway;
  common::angleSetup(r.fe.C, r.a, *r.st, *r.w);
  return common::reflectionAt(r.fe.C, r.a, *r.st, *r.w, E, nullptr);
}

// Reflected intensity for the first polarisation incident; s = sin(angle).
inline double intensity(const numlib::CMat2& R, double s) {
  return std::norm(R(1, 1)) + std::norm(R(2, 1)) / (s * s);
}

// TIMCALU by the transfer matrices (returned) and by the recursion (left in r.out).
inline zeprin::TimcaluOut timcaluBothPaths(Sample& r) {
  r.a.Jway = 1;
  r.timcalu();
  const zeprin::TimcaluOut m = *r.out;
  r.a.Jway = 2;
  r.timcalu();
  return m;
}

// Least-squares slope of y against x.
inline double slope(const std::vector<double>& x, const std::vector<double>& y) {
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (size_t i = 0; i < x.size(); ++i) n += 1, sx += x[i], sy += y[i], sxx += x[i] * x[i], sxy += x[i] * y[i];
  return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

}  // namespace physics_test

#include "numlib/yvmod.hpp"

#include <algorithm>
#include <cmath>

#include "numlib/mathconst.hpp"
#include "numlib/vnorm.hpp"

namespace numlib {
namespace {

// Angular parameters in degrees as folded; they go back into YV unchanged, so
// that repeated passes do not drift through degree-radian round trips.
struct AnglesDeg {
  Arr1<float, N24> BE, GA, WID;
};

void unpackLayers(YVTable& YV, int NNN, ModelArrays& m) {
  unpackElectronic(YV, NNN, false, m);
  for (int l = 1; l <= NNN; ++l)
    for (int K = 1; K <= N6; ++K) m.V(K, l) = YV(l, yv::colV(K)) > 0 ? YV(l, yv::colV(K)) : 0.0f;
}

// A fit step on a thickness inside the repeated block changes the proportions
// within the period, not the period.  A block of no thickness has no
// proportions to keep and is left alone.
void keepBlockPeriod(int NNN, int N1N, int N2N, int NRN, float period, ModelArrays& m) {
  if (NRN <= 1 || N1N < 1 || N1N > N2N || N2N > NNN) return;
  // Summed over the thicknesses as clamped at 0, not as YV holds them: a
  // negative entry would shrink the sum, the rescaled block would miss the
  // period, and the next unpacking would rescale it once more.
  double s = 0;
  for (int l = N1N; l <= N2N; ++l) s += m.thickness(l);
  if (s == 0) return;
  for (int l = N1N; l <= N2N; ++l) m.thickness(l) *= period / s;
}

// The direction (BE, GA) brought to 0 <= BE <= 180 and |GA| <= 180.  Angles
// beyond a full turn are first reduced by whole turns (fmod is exact), so
// that one fold always suffices and a second pass changes nothing.
void foldDirection(float& BE, float& GA) {
  if (std::abs(BE) > 360) BE = std::fmod(BE, 360.0f);
  if (BE < 0) {
    BE = -BE;
    GA -= 180;
  }
  if (BE > 180) {
    BE = 360 - BE;
    GA -= 180;
  }
  if (std::abs(GA) > 360) GA = std::fmod(GA, 360.0f);
  if (std::abs(GA) > 180) GA = GA >= 0 ? GA - 360 : GA + 360;
}

// Angular parameters of `count` entries, taken from YV by `at(i, a)` with the
// angular parameter a = yv::BE .. yv::WID.
template <class At>
void unpackAngles(int count, At at, ModelArrays& m, AnglesDeg& deg) {
  for (int i = 1; i <= count; ++i) {
    float BE = at(i, yv::BE), GA = at(i, yv::GA);
    foldDirection(BE, GA);
    deg.BE(i) = BE;
    deg.GA(i) = GA;
    deg.WID(i) = std::max(at(i, yv::WID), 0.0f);
    m.BE(i) = toRadians(BE);
    m.GA(i) = toRadians(GA);
    m.WID(i) = toRadians(deg.WID(i));
    float rand = std::max(at(i, yv::RAND), 0.0f), plane = std::max(at(i, yv::PLAN), 0.0f);
    if (rand + plane > 1) {
      const float sum = rand + plane;
      rand /= sum;
      plane /= sum;
    }
    m.RAND(i) = rand;
    m.PLAN(i) = plane;
  }
}

void unpackGlobals(const YVTable& YV, int NNN, bool angles, ModelArrays& m) {
  const int g = yv::lineS(NNN);
  for (int K = 1; K <= N6; ++K) m.S(K) = std::abs(YV(g, K));
  m.HKMAX = YV(g, yv::HKMAX) < 0 ? 0.01f : YV(g, yv::HKMAX);
  if (angles)
    for (int i = 1; i <= yv::NANGLES; ++i) m.angles(i) = YV(g, yv::colAngle(i)) / 1000.0;  // mrad -> rad
  for (int K = 1; K <= N6; ++K) {
    m.Bhf(K) = std::abs(YV(yv::lineAfter(NNN, yv::BHF), K));
    m.dBhf(K) = std::abs(YV(yv::lineAfter(NNN, yv::DBHF), K));
    m.IS(K) = YV(yv::lineAfter(NNN, yv::IS), K);
    m.EFG(K) = YV(yv::lineAfter(NNN, yv::EFG), K);
    m.GRd(K) = std::max(YV(yv::lineAfter(NNN, yv::GRD), K), 0.0f);
  }
}

void writeBack(YVTable& YV, int NNN, int NM, int IBHF, bool angles, const ModelArrays& m,
               const AnglesDeg& deg) {
  for (int l = 1; l <= NNN; ++l) {
    YV(l, yv::H1A) = static_cast<float>(m.thickness(l));
    YV(l, yv::ELD1) = m.ELD1(l);
    YV(l, yv::ELD2) = m.ELD2(l);
    for (int K = 1; K <= N6; ++K) YV(l, yv::colV(K)) = m.V(K, l);
  }
  const int g = yv::lineS(NNN);
  for (int K = 1; K <= N6; ++K) YV(g, K) = m.S(K);
  YV(g, yv::HKMAX) = m.HKMAX;
  if (angles)
    for (int i = 1; i <= yv::NANGLES; ++i) YV(g, yv::colAngle(i)) = static_cast<float>(m.angles(i) * 1000);
  for (int K = 1; K <= NM; ++K) {
    YV(yv::lineAfter(NNN, yv::BHF), K) = m.Bhf(K);
    YV(yv::lineAfter(NNN, yv::DBHF), K) = m.dBhf(K);
    YV(yv::lineAfter(NNN, yv::IS), K) = m.IS(K);
    YV(yv::lineAfter(NNN, yv::EFG), K) = m.EFG(K);
    YV(yv::lineAfter(NNN, yv::GRD), K) = m.GRd(K);
  }
  auto put = [&](int i, auto&& cell) {
    cell(yv::BE) = deg.BE(i);
    cell(yv::GA) = deg.GA(i);
    cell(yv::RAND) = m.RAND(i);
    cell(yv::PLAN) = m.PLAN(i);
    cell(yv::WID) = deg.WID(i);
  };
  if (IBHF == 1) {
    for (int l = 1; l <= NNN; ++l) put(l, [&](int a) -> float& { return YV(l, yv::colAng(a)); });
  } else if (IBHF == 2) {
    for (int K = 1; K <= N6; ++K) put(K, [&](int a) -> float& { return YV(yv::lineAngM(NNN, a), K); });
  }
}

}  // namespace

void unpackElectronic(YVTable& YV, int NNN, bool realNonPositive, ModelArrays& out) {
  for (int l = 1; l <= NNN; ++l) {
    YV(l, yv::H1A) = std::max(YV(l, yv::H1A), 0.0f);
    out.thickness(l) = YV(l, yv::H1A);
    if (realNonPositive && YV(l, yv::ELD1) > 0) YV(l, yv::ELD1) = -YV(l, yv::ELD1);
    YV(l, yv::ELD2) = std::abs(YV(l, yv::ELD2));  // absorption is never negative
    out.ELD1(l) = YV(l, yv::ELD1);
    out.ELD2(l) = YV(l, yv::ELD2);
  }
}

void YVMOD(YVTable& YV, int NNN, int N1N, int N2N, int NRN, int NM, int IBHF, int INORM, int ISQ,
           Span1<const float> HK, float period, int selector, int rowCode, float SIG, int normFlag,
           ModelArrays& out, const YVModOptions& opt) {
  unpackLayers(YV, NNN, out);
  if (opt.keepBlockPeriod) keepBlockPeriod(NNN, N1N, N2N, NRN, period, out);

  AnglesDeg deg;
  if (IBHF == 1)
    unpackAngles(NNN, [&](int l, int a) { return YV(l, yv::colAng(a)); }, out, deg);
  else
    unpackAngles(N6, [&](int K, int a) { return YV(yv::lineAngM(NNN, a), K); }, out, deg);
  unpackGlobals(YV, NNN, opt.angles, out);

  if (normFlag != 2) {
    if (SIG > 0 && rowCode >= 4 && rowCode <= 11) {
      if (selector < 0)
        SMOOTA(NNN, N1N, N2N, 0, NM, out.thickness, out.V, SIG);
      else
        SMOOTK(NNN, N1N, N2N, 0, rowCode - 3, out.thickness, out.V, SIG);
    }
    VNORM(ISQ, INORM, out.HKMAX, NNN, NM, N1N, N2N, NRN, out.thickness, out.S, out.V, HK, out.F);
  }
  writeBack(YV, NNN, NM, IBHF, opt.angles, out, deg);
}

}  // namespace numlib

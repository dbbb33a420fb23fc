#include "programs/common/angle_core.hpp"

#include <algorithm>
#include <complex>

namespace common {

using numlib::NMAX;

void angleSetup(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st, AngleWork& w) {
  stackSetup(a, st, w);
  hyperfineSetup(C, a, st, w);
}

CMat2 reflectionAt(const NuclearConstants&, const AngleArgs& a, const SteppedModel& st, AngleWork& w, double E,
                   Absorption* abs) {
  lineSums(a, w, E);
  return stackReflection(a, st, w, w, abs);
}

void angleEnergyLoop(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st,
                     AngleWork& w, AnglePoints& out) {
  angleSetup(C, a, st, w);
  // Without a substrate there is no stack to reflect from.
  const int NE = st.NNst >= 1 && st.NNst <= NMAX ? std::clamp(a.NE, 0, NEMAX) : 0;
  const bool curves = out.E1.size() >= NE && out.E2.size() >= NE && out.RE.size() >= NE;
  out.SUME = 0.0f;
  out.YRELAY = 0.0f;
  out.recursivePoints = 0;
  cdouble ref11, ref21;
  float fprev = 0.0f;
  for (int k = 1; k <= NE; ++k) {
    Absorption ab;
    const CMat2 R = reflectionAt(C, a, st, w, a.grid(k), curves ? &ab : nullptr);
    if (w.recursive) ++out.recursivePoints;
    const cdouble R11 = R(1, 1), R21 = R(2, 1);
    if (k == 1) {
      ref11 = R11;
      ref21 = R21;
      out.YRELAY = static_cast<float>(std::norm(R11) + std::norm(R21) / w.s2);
    }
    const cdouble d1 = R11 - ref11, d2 = (R21 - ref21) / w.s;
    const float f = static_cast<float>(std::norm(R11 - ref11) + std::norm(R21 - ref21) / w.s2);
    if (k > 1) out.SUME += (f + fprev) / 2.0f * (a.grid(k) - a.grid(k - 1));
    fprev = f;
    w.a1(k) = d1.real();
    w.b1(k) = d1.imag();
    w.a2(k) = d2.real();
    w.b2(k) = d2.imag();
    if (curves) {
      out.E1(k) = ab.E1;
      out.E2(k) = ab.E2;
      out.RE(k) = static_cast<float>(std::norm(R11) + std::norm(R21) / w.s2);
    }
  }
}

void angleTimeSpectrum(const NuclearConstants& C, const AngleArgs& a, AngleWork& w, Span1<double> spectrum) {
  timeTransform(C.JE, a, w, w, spectrum);
}

}  // namespace common

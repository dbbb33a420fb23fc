// The response of the stepped sample at one angle of the calculation grid:
// the per-angle core of the time-spectra program, keeping the prompt
// reflectivity, the energy integral and the sums of the time spectrum over
// the counting windows.
#include <algorithm>

#include "programs/molvec/molvec.hpp"

namespace molvec {

void windowSums(Span1<const double> spectrum, const TimeWindows& win, DelangOut& out) {
  const int IW1 = std::max(win.IW1, 1), IW2 = std::min(win.IW2, JE), ICYC = win.ICYC;
  auto sum = [&](int first, int last) {
    float s = 0;
    for (int j = first; j <= last; ++j) s += static_cast<float>(spectrum(j));
    return s;
  };
  out.sum1 = sum(IW1, IW2);
  out.SUMT = out.sum1;
  out.sum2 = 0;
  out.sum3 = 0;
  // The second window: the same channels one bunch period later, when it
  // lies within the spectrum; the third (to the end of the spectrum) is
  // reported only.
  if (ICYC + IW2 > JE) return;
  // SUMT goes on from sum1 term by term (not sum1 + sum2 in one rounding).
  for (int j = ICYC + IW1; j <= ICYC + IW2; ++j) {
    const float v = static_cast<float>(spectrum(j));
    out.sum2 += v;
    out.SUMT += v;
  }
  if (2 * ICYC + IW1 <= JE) out.sum3 = sum(2 * ICYC + IW1, JE);
}

void DELANG(const common::NuclearConstants& C, const common::AngleArgs& a, const common::SteppedModel& st,
            const TimeWindows& win, common::AngleWork& w, DelangOut& out) {
  common::AnglePoints pts;  // no per-point curves: E1, E2 and RE stay empty
  common::angleEnergyLoop(C, a, st, w, pts);
  out.SUME = pts.SUME;
  out.YRELAY = pts.YRELAY;
  common::angleTimeSpectrum(C, a, w, w.spectrum);
  windowSums(w.spectrum, win, out);
}

}  // namespace molvec

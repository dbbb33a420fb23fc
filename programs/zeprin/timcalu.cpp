#include "programs/zeprin/timcalu.hpp"

#include <algorithm>

namespace zeprin {

void TIMCALU(const common::NuclearConstants& C, const common::AngleArgs& a,
             const common::SteppedModel& st, TimcaluOut& out, common::AngleWork& w) {
  common::AnglePoints pts;
  pts.E1 = out.E1;
  pts.E2 = out.E2;
  pts.RE = out.RE;
  common::angleEnergyLoop(C, a, st, w, pts);
  out.SUME = pts.SUME;
  out.YRELAY = pts.YRELAY;
  out.recursivePoints = pts.recursivePoints;

  common::angleTimeSpectrum(C, a, w, w.spectrum);
  const int JE = std::clamp(C.JE, 1, common::JEMAX);
  double sum = 0.0;
  for (int j = 1; j <= JE; ++j) {
    out.It(j) = static_cast<float>(w.spectrum(j));
    sum += out.It(j);
  }
  out.SUMTfull = static_cast<float>(sum);
}

}  // namespace zeprin

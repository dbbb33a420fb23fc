#include "frontend/JointFit.hpp"

#include <cmath>

namespace kavold {

std::optional<ScriptRecord> NextScriptRecord(ParamScanner& script) {
  ScriptRecord r;
  try {
    r.in1 = script.Int();
    r.ip1 = script.Int();
    r.sp1 = script.Real();
    r.in2 = script.Int();
    r.ip2 = script.Int();
    r.f2 = script.Real();
    script.EndOfRecord();
  } catch (const InvalidParametersFile&) {
    return std::nullopt;
  }
  if (r.ip2 == 0) r.ip2 = r.ip1;
  if (r.in2 < 0) {
    r.in2 = -r.in2;
    r.f2 = -1;
  }
  return r;
}

float TriedValue(float kept, float step, bool mayCrossZero) {
  const float v = kept + step;
  if (!mayCrossZero && !(kept * v > 0)) return -v;
  return v;
}

TrialOutcome JudgeTrial(int trial, float eps, float best, float EPFIN, float step) {
  TrialOutcome o;
  o.step = step;
  const float rel = std::fabs(eps - best) / best;
  if (trial == 0) {
    if (rel < EPFIN) o.step = 2 * o.step;
  } else if (rel < EPFIN) {
    o.leave = true;
    return o;
  }
  if (eps > best) o.step = -0.6f * o.step;
  o.keep = eps < best;
  return o;
}

}  // namespace kavold

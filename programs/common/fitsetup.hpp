// What every program hands its fit loop from the model and "ZEPRIN.INP", and
// how a merit is written to the result files.
#pragma once

#include <cmath>

#include "programs/common/fitloop.hpp"
#include "programs/common/model.hpp"
#include "programs/common/params.hpp"

namespace common {

// The settings of the shared fit loop; a program sets its own options after.
inline FitSettings fitSettings(const Model& m, const CalcParams& p, bool hasExperiment) {
  FitSettings s;
  s.NNN = m.NNN;
  s.NM = m.NM;
  s.ITEST = p.ITEST;
  s.hasExperiment = hasExperiment;
  s.EPFIN = p.EPFIN;
  s.ISTOP = p.ISTOP;
  s.IFC = p.IFC;
  s.ICORR = p.ICORR;
  s.IMAN = p.IMAN;
  return s;
}

// A merit that could not be computed is written as kNoMerit, worse than any
// real one, so that no reader of the merit files takes it for a good fit.
inline constexpr float kNoMerit = 99999.0f;
inline float meritOut(float EPS) { return std::isfinite(EPS) ? EPS : kNoMerit; }

// A run against an experiment whose computed passes all gave a merit that is
// no number has compared nothing: says so on the run log and the console and
// returns true (the run must not end with status 0).
inline bool noFiniteMerit(fio::Unit& log, const FitState& fs, bool hasExperiment) {
  if (!hasExperiment || fs.computed == 0 || fs.finiteMerit) return false;
  const char* text = " no pass of the run gave a finite merit: nothing was fitted !";
  log.print(text);
  fio::console().print(text);
  return true;
}

}  // namespace common

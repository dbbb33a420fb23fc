// The prompt reflectivity program QUASTO: its static data block and its own
// phases.
#pragma once

#include <string_view>

#include "numlib/farray.hpp"
#include "numlib/yvmod.hpp"
#include "programs/common/blocks.hpp"
#include "programs/common/constants.hpp"
#include "programs/common/delpinp.hpp"
#include "programs/common/fio.hpp"
#include "programs/common/fitloop.hpp"
#include "programs/common/model.hpp"
#include "programs/common/params.hpp"
#include "programs/common/reflcmp.hpp"

namespace quasto {

using numlib::Arr1;

inline constexpr int kMaxAngles = 3500;                   // calculation angles
inline constexpr int kMaxPoints = common::kMaxReflPoints;  // experimental points

// The run log, and every other file QUASTO writes beside those of the shared
// blocks (common::kModelOutputFiles; no density profile).
inline constexpr std::string_view kRunLog = "QUASTO.RES";
inline constexpr std::string_view kWrittenFiles[] = {kRunLog, "RESULTI.res", "RELAY.res", "PROMP2.res"};

// The calculation grid and the curve on it.
struct PromptCurve {
  Arr1<float, kMaxAngles> mrad;
  Arr1<double, kMaxAngles> rad;
  Arr1<float, kMaxAngles> R;  // reflectivity per angle
};

// The comparison with experiment; the window limits, the kernel count of
// the averaging and the scale search carry over from pass to pass.
struct Comparison {
  common::ReflExperiment x;
  float YEXPMAX = 0;             // largest prompt count of the file
  int JZ1 = 1, JZ2 = 0;          // comparison window
  common::ScaleFit fit;          // AMAX, AFON and the scale step
  Arr1<float, kMaxPoints> theory;
};

// Everything the program keeps for the life of the process.
struct QuastoData {
  fio::Unit log{4};   // run log "QUASTO.RES", open for the whole run
  fio::Unit next{6};  // fit script "next.INP", open for the whole fit
  fio::Unit out{3};   // "LAYSPC.RES"
  common::NuclearConstants nc;
  common::MainConstants mc;
  common::PromptSettings prm;
  common::CalcParams par;
  common::ModelFileRef fileM;
  int Jcalc = 1;
  common::ModelKind kind;  // JMODEL: 0 and 1 carry the nuclear part of the model file
  common::Model model;
  numlib::YVTable YV, YVS;
  common::SteppedModel st;
  PromptCurve curve;
  Comparison cmp;
  // The experiment could not be compared: the fit ended, and the run ends
  // with exit status 1 after the model outputs.
  bool comparisonFailed = false;
};

// Phases before the fit loop.
void RDPRMP(QuastoData& d);
void RDMODELQ(QuastoData& d);
void startUp(QuastoData& d);

// The head of a pass: the table unpacked with the prompt program's sign
// rules, the stepped susceptibility built (thicknesses in Angstrom).
void NEWSTEPQ(QuastoData& d, const common::FitState& fs);
// The reflectivity at every calculation angle, on all cores, and its
// "RELAY.res" records on `relay`.
void PRMLOOP(QuastoData& d, const common::FitState& fs, fio::Unit& relay);
// The comparison with the experiment file, read afresh.  Returns false when
// it cannot be made (the count of the file out of 2..3500, decreasing
// angles, a count below 0, no positive prompt count, a window of fewer than
// 3 points): the message is written, a stale
// "PROMP2.res" removed, and the fit is to end.
bool CMPPRM(QuastoData& d, const common::FitState& fs, float& EPSS);
// One pass; ends the fit when the comparison fails.
common::PassResult PASSQ(QuastoData& d, const common::FitState& fs);

common::FitSettings fitSettings(const QuastoData& d);
common::FitCallbacks passCallbacks(QuastoData& d);
void finish(QuastoData& d, const common::FitState& fs);
void REFMAIN(QuastoData& d);

}  // namespace quasto

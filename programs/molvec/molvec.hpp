// The delayed-prompt program MOLVEC: delayed (nuclear, counted in time
// windows after each synchrotron pulse) and prompt (electronic)
// reflectivity curves against the glancing angle, compared with one
// experiment and fitted together.  Its static data block and its phases.
#pragma once

#include <string_view>
#include <vector>

#include "numlib/farray.hpp"
#include "programs/common/angle_core.hpp"
#include "programs/common/blocks.hpp"
#include "programs/common/constants.hpp"
#include "programs/common/delpinp.hpp"
#include "programs/common/egrid.hpp"
#include "programs/common/fio.hpp"
#include "programs/common/fitloop.hpp"
#include "programs/common/flddist.hpp"
#include "programs/common/model.hpp"
#include "programs/common/params.hpp"
#include "programs/common/reflcmp.hpp"

namespace molvec {

using numlib::Arr1;
using numlib::Span1;

inline constexpr int JE = common::JEMAX;  // time channels
inline constexpr int kMaxAngles = 900;    // calculation angles and compared experimental points

// The run log, and every other file MOLVEC writes beside those of the shared
// blocks (common::kModelOutputFiles, common::kDensityProfileFile).
inline constexpr std::string_view kRunLog = "MOLVEC.RES";
inline constexpr std::string_view kWrittenFiles[] = {kRunLog,       "PROMP2.res",  "DELAY2.res",
                                                     "RESULTI.res", "INTEGRF.res", "timtesF.res"};

// Channels of the counting windows: window 1 is IW1..IW2, window 2 the same
// ICYC channels (one bunch period) later, window 3 from 2 ICYC + IW1 to JE.
struct TimeWindows {
  float AN = 0;        // channel width, ns
  Arr1<float, JE> T;   // T(j) = (j - 1) AN
  int IW1 = 1, IW2 = 0, ICYC = 0;
};

// What DELANG gives for one angle.
struct DelangOut {
  float SUME = 0;    // energy integral of the nuclear part, mm/s
  float SUMT = 0;    // delayed value: windows 1 and 2
  float sum1 = 0, sum2 = 0, sum3 = 0;
  float YRELAY = 0;  // prompt reflectivity
};

// The calculation grid and the curves on it.
struct AngleCurves {
  Arr1<float, kMaxAngles> UT;      // mrad
  Arr1<double, kMaxAngles> rad;
  Arr1<float, kMaxAngles> YRELAY, SUMT;
  Arr1<DelangOut, kMaxAngles> out;  // everything of each angle, for "INTEGRF.res"
  Arr1<double, JE> spectrum1;       // time spectrum of the first angle
};

// The experiment, the comparison window and the fit of scale and
// background, which carries over from curve to curve and pass to pass.
struct Comparison {
  common::ReflExperiment x;
  float YPMAX = 0, YDMAX = 0;
  int JZ1D = 1, JZ2D = 0;
  common::ScaleFit fit;
  Arr1<float, kMaxAngles> theory;
  float EPSSP = 0, EPSSD = 0, EPSSS = 0;
};

// Everything the program keeps for the life of the process.
struct MolvecData {
  fio::Unit log{4};   // run log "MOLVEC.RES", open for the whole run
  fio::Unit next{6};  // fit script "next.INP", open for the whole fit
  fio::Unit out{3};   // "LAYSPC.RES"
  common::NuclearConstants nc;
  common::MainConstants mc;
  common::PromptSettings prm;   // records 1..13 of "MOLVEC.INP"
  common::DelayedSettings del;  // records 14..26
  common::CalcParams par;
  common::ModelFileRef fileM;
  int Jcalc = 1;
  common::FieldDist dist;
  common::Model model;
  numlib::YVTable YV, YVS;
  common::EnergyGrid grid;
  common::SteppedModel st;
  TimeWindows win;
  AngleCurves curves;
  Comparison cmp;
  std::vector<common::AngleWork> work;  // one per thread
};

// Phases before the fit loop.
void RDDELP(MolvecData& d);
void RDEXPD(MolvecData& d);
void startUp(MolvecData& d);

// The windows for channel width AN (ns): IW1 the last channel whose time is
// below TIMINI (1 if none), IW2 the last below TIMFIN and ICYC the last
// below TIMECYCLE (0 if none).
void timeWindows(float AN, float TIMINI, float TIMFIN, float TIMECYCLE, TimeWindows& w);
// The time axis and the windows of the constants and "MOLVEC.INP", with
// their run-log lines.
void TWINDOW(MolvecData& d);

// The table unpacked as YVMOD does, without the rescaling of the repeated
// block and without grazing angles, and the line " HKMAX" in the run log.
void YVMODD(fio::Unit& log, numlib::YVTable& YV, common::Model& m, int selector, int rowCode, float SIG);

// One angle: prompt reflectivity, energy integral, time spectrum (in
// w.spectrum) and its window sums.
void DELANG(const common::NuclearConstants& C, const common::AngleArgs& a, const common::SteppedModel& st,
            const TimeWindows& win, common::AngleWork& w, DelangOut& out);
// The window sums of a time spectrum of JE channels, in single precision.
void windowSums(Span1<const double> spectrum, const TimeWindows& win, DelangOut& out);

// Every calculation angle, on all cores, and "INTEGRF.res" on `integrf`.
void ANGLOOP(MolvecData& d, const common::FitState& fs, fio::Unit& integrf);
// The curves written, and with experiment compared; returns the total merit
// (0 without experiment).  "RESULTI.res" is open on `result`.
float CMPCURV(MolvecData& d, fio::Unit& result);
common::PassResult PASSD(MolvecData& d, const common::FitState& fs);

common::FitSettings fitSettings(const MolvecData& d);
common::FitCallbacks passCallbacks(MolvecData& d);
void finish(MolvecData& d, const common::FitState& fs);
void DELMAIN(MolvecData& d);

}  // namespace molvec

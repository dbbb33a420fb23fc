// The time-spectra program ZEPRIN: its static data block and its own phases.
#pragma once

#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "numlib/farray.hpp"
#include "programs/common/blocks.hpp"
#include "programs/common/constants.hpp"
#include "programs/common/egrid.hpp"
#include "programs/common/fio.hpp"
#include "programs/common/fitloop.hpp"
#include "programs/common/fitsetup.hpp"
#include "programs/common/flddist.hpp"
#include "programs/common/inputnames.hpp"
#include "programs/common/model.hpp"
#include "programs/common/params.hpp"
#include "programs/zeprin/timcalu.hpp"

namespace zeprin {

using numlib::Arr1;
using numlib::Arr2;

inline constexpr int JE = common::JEMAX;  // time channels
inline constexpr int kExpSlots = 1024;   // records read per experiment file
inline constexpr int kMaxCompared = 900;  // compared experimental points
inline constexpr int kMaxKernel = 41;    // weights of the time-averaging kernel
inline constexpr float kTheoryLimit = 177.0f;  // ns: the time window shown and compared

// The run log, and every other file ZEPRIN writes beside those of the shared
// blocks (common::kModelOutputFiles, common::kDensityProfileFile).
inline constexpr std::string_view kRunLog = "ZEPRIN.RES";
inline constexpr std::string_view kWrittenFiles[] = {
    kRunLog,       "OLD_ANG.RES", "ANGLE.RES",   "RESULT.res",  "INTEGR.res",  "ttestF.res",
    "E_spcN.res",  "BUFFEN1.RES", "BUFFEN2.RES", "BUFFEN3.RES", "BUFFEN4.RES", "BUFFTN1.RES",
    "BUFFTN2.RES", "BUFFTN3.RES", "BUFFTN4.RES"};
// Its input of a fixed name beside common::kSharedInputs.
inline constexpr std::string_view kOwnInputs[] = {"FilesE.inp"};

// Time axis and the names of the curve files.
struct TimeAxis {
  float AN = 0;             // channel width, ns
  Arr1<float, JE> T;        // T(J) = (J-1)*AN
  int MTH = 0;              // theory count: channels with T < 177 ns
  std::array<std::string, 4> BUFFEN, BUFFTN, BUFFTIM;
};

// Gaussian time-averaging kernel: 2H+1 weights, H <= 20.
struct TimeKernel {
  int NAV = 0;
  int H = 0;
  Arr1<float, kMaxKernel> W;
};

// "FilesE.inp".
struct ExperimentList {
  int NEXP = 0;
  std::array<std::string, common::kMaxSpectra> name;
};

// The time-spectrum experiments, on the compared stretch of the first file.
struct TimeExperiment {
  Arr1<float, kExpSlots> XXA, counts;  // raw columns: time (ns), counts
  int JZ = 0, JZF = 0;                 // first and last slot compared
  int MEXP = 0;                        // compared points
  int JZ1 = 0, JZ2 = 0;                // window of the merit, counted from JZ
  Arr1<float, kMaxCompared> times;     // compared times
  Arr1<float, common::kMaxSpectra> YEXPM;      // largest count of each file
  Arr2<float, kMaxCompared, common::kMaxSpectra> YEXP;  // counts / YEXPM
};

// Scale of theory to experiment, per angle, kept from pass to pass: the scale
// search of a later pass starts from the scale found before.
struct ScaleSearch {
  Arr1<float, common::kMaxSpectra> AMAX;  // scale of the normalised theory
  Arr1<float, common::kMaxSpectra> DS;    // last scale step of SCALBG
  float AFON = 0;                         // background (normalised counts)
  int first = 1;                          // 1 until a pass has compared, then 2
};

// Work curves of one pass.
struct PassWork {
  TimcaluOut out;                         // spectra of the current angle
  common::AngleWork w;                    // scratch of the per-angle calculation
  Arr1<float, JE> YT;                     // time-averaged spectrum
  Arr1<float, JE> times, Y, Ylate;        // theory at the compared times
};

// Everything the program keeps for the life of the process.
struct ZeprinData {
  fio::Unit log{4};   // run log "ZEPRIN.RES", open for the whole run
  fio::Unit next{6};  // fit script "next.INP", open for the whole fit
  fio::Unit out{3};   // "OLD_ANG.RES", "LAYSPC.RES", "ANGLE.RES" in turn
  common::NuclearConstants nc;
  common::MainConstants mc;
  common::CalcParams par;
  common::ModelFileRef fileM;
  int Jcalc = 1;  // first record of "next.INP"
  common::FieldDist dist;
  common::Model model;
  numlib::YVTable YV, YVS;
  common::EnergyGrid grid;
  common::SteppedModel st;
  TimeAxis axis;
  TimeKernel kernel;
  ExperimentList expList;
  TimeExperiment exper;
  ScaleSearch scale;
  PassWork work;
  bool recursionNoted = false;  // the note on points left to the recursion is written once per run
  // Whether the spectra and merits of the last pass that wrote the curve and
  // merit files were finite (the files then hold 0 and kNoMerit instead).
  bool writtenSound = true;
};

// Phases of the main program.
// Stops the run, before anything is written, when "FileM.inp" or
// "FilesE.inp" names a file that the program writes.
void refuseWrittenInputs();
void TAXIS(fio::Unit& log, double LYAMBDA, float XEST, TimeAxis& ax);
void RDFILESE(fio::Unit& log, ExperimentList& e, int& ITEST);
void OLDANG(fio::Unit& out, const common::ModelFileRef& f);
void GAUSTAV(fio::Unit& log, float SIGMA, const TimeAxis& ax, TimeKernel& k);
// Reads the NEXP files.  Those of the NSPC angles are compared at the times
// of the first; those among them whose merit counts (weight not 0) are
// refused when their counts cannot be compared.
void RDEXPER(fio::Unit& log, const ExperimentList& e, const common::CalcParams& p, int NSPC, TimeExperiment& x);
// The trailer of "LAYSPC.RES" (open on `out`) and "ANGLE.RES".
void writeTrailer(fio::Unit& out, int NSPC, const Arr1<double, 4>& angles, const common::CalcParams& p, float EPSN);
void writeAngles(fio::Unit& out, const char* name, int NSPC, const Arr1<double, 4>& angles);

using common::kNoMerit;
using common::meritOut;

// One calculation pass: spectra of every angle, their comparison with
// experiment and the result files.  Returns the pass total EPSN.
float TIMPASS(ZeprinData& d, const common::FitState& fs);

// The run: phases before the fit loop, the loop, and the end.
void startUp(ZeprinData& d);
common::FitSettings fitSettings(const ZeprinData& d);
// NEWSTEP and TIMPASS as the fit loop calls them.
common::FitCallbacks passCallbacks(ZeprinData& d);
void finish(ZeprinData& d, const common::FitState& fs);
void TIMMAIN(ZeprinData& d);

}  // namespace zeprin

// The conversion-electron program BRINAX: its static data block and its own
// phases.  It computes CEMS spectra of the layered model on a velocity grid,
// convolves them with the source line and fits them to a measured spectrum.
#pragma once

#include <string>
#include <string_view>

#include "numlib/farray.hpp"
#include "numlib/yvmod.hpp"
#include "programs/brinax/cemscal.hpp"
#include "programs/common/blocks.hpp"
#include "programs/common/constants.hpp"
#include "programs/common/fio.hpp"
#include "programs/common/fitloop.hpp"
#include "programs/common/flddist.hpp"
#include "programs/common/inputnames.hpp"
#include "programs/common/model.hpp"
#include "programs/common/params.hpp"

namespace brinax {

// The run log, and every other file BRINAX writes beside those of the shared
// blocks (common::kModelOutputFiles, common::kDensityProfileFile).
inline constexpr std::string_view kRunLog = "TOLPEK.RES";
inline constexpr std::string_view kWrittenFiles[] = {kRunLog, "CEMfit.res", "CEMorig.res", "EpsCEM.res"};
// Its input of a fixed name beside common::kSharedInputs.
inline constexpr std::string_view kOwnInputs[] = {"FilCEM.inp"};

// "FilCEM.inp".
struct CemsParams {
  int NSPCE = 0;      // 0: theory only; otherwise one measured spectrum is given
  float GS = 0;       // half width of the source line, mm/s
  float EMAX = 0;     // half range of the calculated spectrum, mm/s
  int IMM = 0;        // points of the calculated spectrum
  std::string file;   // the measured spectrum (32 characters at most)
  int JEXPC = 0;      // measured points used
  float Hmms = 0;     // velocity (mm/s) of Hchan channels
  float Hchan = 0;
  float chan0 = 0;    // channel of zero velocity
  float E1lim = 0;    // comparison window, mm/s
  float E2lim = 0;
};

// The measured spectrum: counts per channel, normalised to 0..1 over all
// points, and the velocity of each channel.
struct CemsExperiment {
  Arr1<float, kMaxPoints> YEXP, XEXP;
  int N1 = 1, N2 = 0;      // first and last point compared
  float YEN = 0, YEM = 0;  // smallest and largest raw count
};

// Velocity grid of the calculated spectrum and the source-line kernel length.
struct EnergyScale {
  Arr1<float, kMaxPoints> XXM;  // mm/s
  int LS = 0;
};

// Curves of the pass; after it, column K of A holds multiplet K convolved,
// on the scale of the total (on XXM without experiment, at the measured
// velocities with one).
struct CemsCurves {
  Spectra A, B;
  Arr1<float, kMaxPoints> SUM, SPC, YTH, scratch;
  float SMAX = 0;
  float AMAX = 0, AFON = 0, EPSS = 0;  // scale, background and merit of the comparison
  bool compared = false;               // some pass compared theory and experiment
};

// Everything the program keeps for the life of the process.
struct BrinaxData {
  fio::Unit log{4};   // run log "TOLPEK.RES", open for the whole run
  fio::Unit next{6};  // fit script "next.INP", open for the whole fit
  fio::Unit out{3};   // experiment file, then "LAYSPC.RES"
  common::NuclearConstants nc;
  common::MainConstants mc;  // XEST is the step of the velocity grid once ESCALE has run
  common::CalcParams par;
  CemsParams cems;
  common::ModelFileRef fileM;
  int Jcalc = 1;  // first record of "next.INP"
  common::FieldDist dist;
  common::Model model;
  numlib::YVTable YV, YVS;
  common::SteppedModel st;
  CemsExperiment exper;
  EnergyScale scale;
  CemsCurves curves;
  bool firstPass = true;
};

// Phases that read "FilCEM.inp" and the measured spectrum and set up the
// velocity grid.  Values that would overrun an array or carry infinities and
// NaN into the results stop the program with a message.
void RDCEMS(fio::Unit& log, CemsParams& c, int& ITEST);
// Stops the run, before anything is written, when "FilCEM.inp" or
// "FileM.inp" names a file that the program writes.
void refuseWrittenInputs();
void RDEXPC(fio::Unit& log, fio::Unit& in, CemsParams& c, CemsExperiment& x);
void ESCALE(fio::Unit& log, const CemsParams& c, float& XEST, EnergyScale& s);

// The power of the comparison for the JFIT of "ZEPRIN.INP": above 10 it is
// lowered by 10 until it is 10 or below.
int linfitPower(int JFIT);

// One pass: spectra of the current stepped model, convolution, normalisation
// and, with an experiment, the comparison.  Returns the merit EPSS (NaN when
// the spectrum is zero and cannot be compared).
float CEMCMP(BrinaxData& d, const common::FitState& fs);

// "CEMfit.res", "CEMorig.res" and "EpsCEM.res" from the last pass.
void WRCEMS(BrinaxData& d, const common::FitState& fs);

// The run.
void startUp(BrinaxData& d);
common::FitSettings fitSettings(const BrinaxData& d);
common::FitCallbacks passCallbacks(BrinaxData& d);
void finish(BrinaxData& d, const common::FitState& fs);
void CEMMAIN(BrinaxData& d);

}  // namespace brinax

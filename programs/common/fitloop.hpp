// The fit loop shared by the console programs: a coordinate search over the
// parameter table YV, driven by the script "next.INP" (one entry and its step
// per record) under the stop flag "stop.inp".
//
// One pass:  loop head (progress mark "*") -> the program's NEWSTEP (unpack YV,
// build the stepped model) -> the program's pass (merit EPSN) -> FITCTL (keep
// or reverse the step) -> FITSTEP (stop flag, next record, apply the step) ->
// next pass.  A step is kept when EPSN is not larger than the best merit
// EPSSS; the same entry is stepped again while |EPSD| = |EPSN - EPSSS| / EPSN
// exceeds the program's limit and the step count JREP differs from ISTOP.
//
// How a program plugs in:
//   FitLoop loop(YV, YVS, settings, Jcalc, runLog, nextInp);
//   loop.run({.newstep = ..., .pass = ...});
//   ... model output from YV and the model arrays ...
// newstep(state) unpacks YV with state.selector and state.rowCode() and builds
// the stepped model (it writes its first-pass echo when state.JREP == 0).
// pass(state) computes the curves when state.Jcalc != 0 and returns EPSN; with
// Jcalc == 0 it does only what the program does before its calculation, and
// the returned merit is ignored.
//
// On return the model arrays always belong to YV: when the fit ends (stop flag
// 0) right after a rejected step, YV already holds the best set again, and the
// loop calls newstep once more (JREP = 1, row code 1, no progress mark) so that
// the model output shows the best parameters, not the rejected trial; the
// state's bestRestored then tells that the last EPSN is the trial's.  "next.INP"
// is closed on return.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "numlib/farray.hpp"
#include "numlib/yvmod.hpp"
#include "programs/common/fio.hpp"

namespace common {

// When a parameter is finished: always one pass with the best parameters, or
// only when its last step was rejected (otherwise the last pass computed the
// best set already, and the next record follows at once).
enum class RepeatBest { Always, AfterRejection };

inline constexpr int NCORR = 16;  // places of the correlation rules ICORR/IMAN

struct FitSettings {
  int NNN = 0;                 // sublayers; lines NNN+4 (IS) and NNN+5 (EFG) may change sign
  int NM = 0;                  // multiplets
  int ITEST = 2;               // 1: one-step check, nothing is judged
  bool hasExperiment = false;  // without experiment nothing is judged
  float EPFIN = 0;             // limit for |EPSD| (the program's stop threshold)
  int ISTOP = 0;               // step count JREP at which a parameter is finished
  int IFC = 0;                 // correlation rules in use
  numlib::Arr1<std::int16_t, NCORR> ICORR, IMAN;
  RepeatBest repeat = RepeatBest::Always;
  // With ITEST = 1 every pass runs with JREP = 1 (one program lets JREP count on).
  bool jrepOneWhenItestOne = true;
  // Without experiment the fit ends after the first computing pass, and
  // "stop.inp" is not read.
  bool endAfterFirstPassWithoutExperiment = false;
  std::string acceptText = "accept ! EPSN=EPSSS";
};

// The loop's state, as the program's callbacks see it.
struct FitState {
  int JREP = 0;      // 0 first pass, 1 best-parameter pass, 2 record read, 3.. steps
  int Jcalc = 0;     // 0: the pass computes nothing
  int selector = 1;  // sign of the in1 last read: smoothing of one (1) or all (-1) multiplets
  int in1 = 0, ip1 = 1, in2 = 0, ip2 = 0;
  float sp1 = 0, f2 = 0;
  float EPSN = 0;   // merit of the latest computing pass
  float EPSSS = 0;  // best merit so far
  float EPSD = 0;   // relative change of the latest judged pass
  bool bestFilled = false;  // YVS and EPSSS hold an evaluated set
  int computed = 0;         // computing passes so far
  bool finiteMerit = false;  // one of them gave a finite merit
  // YV went back to the best set after the last pass built the model from a
  // rejected trial.  At the end of the run: the loop has rebuilt the model
  // from the best set, and the merit that goes with it is EPSSS, not EPSN.
  bool bestRestored = false;
  // Smoothing row code of the unpacking: the stepped column, 1 before the first
  // record and in a pass with the best parameters.
  int rowCode() const { return ip1; }
};

struct PassResult {
  float EPSN = 0;
  bool endFit = false;  // the pass ends the fit at once (no judging, no record)
};

struct FitCallbacks {
  std::function<void(const FitState&)> newstep;
  std::function<PassResult(const FitState&)> pass;
};

class FitLoop {
 public:
  // `next` is "next.INP", open after its first record; `log` is the run log.
  FitLoop(numlib::YVTable& YV, numlib::YVTable& YVS, const FitSettings& settings, int Jcalc,
          fio::Unit& log, fio::Unit& next);

  void run(const FitCallbacks& cb);
  const FitState& state() const { return st_; }

 private:
  enum class Next { Pass, Record, Step, End };

  void head(const FitCallbacks& cb);
  bool judged() const;
  Next control();
  Next rejectNonFinite();
  Next finished(bool rejected, bool epsdSmall);
  void reject();
  Next newRecord();
  Next step();
  void correlate(float old, float stepped);
  void applyRule(int IMAN, float old, float stepped, float& y) const;
  float keepSide(int line, float old, float value) const;
  bool stopFlagGoesOn() const;
  void copyTable(const numlib::YVTable& from, numlib::YVTable& to) const;
  void note(const std::string& text) const;
  void finish(const FitCallbacks& cb);

  numlib::YVTable& YV_;
  numlib::YVTable& YVS_;
  const FitSettings s_;
  fio::Unit& log_;
  fio::Unit& next_;
  FitState st_;
  bool startSaved_ = false;  // YVS holds the starting set, saved by a first merit that was no number
};

}  // namespace common

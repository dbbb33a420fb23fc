#include "programs/common/fitloop.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "numlib/limits.hpp"
#include "numlib/yvlayout.hpp"

namespace common {

using numlib::NYVC;
using numlib::NYVL;
namespace yv = numlib::yv;

namespace {

bool lineInTable(int line) { return line >= 1 && line <= NYVL; }
bool columnInTable(int column) { return column >= 1 && column <= NYVC; }

// A record names entries by signed line numbers; ip2 = 0 means the column ip1.
bool recordInTable(int in1, int ip1, int in2, int ip2) {
  if (in1 < -NYVL || !lineInTable(std::abs(in1)) || !columnInTable(ip1)) return false;
  if (in2 == 0) return true;
  return in2 >= -NYVL && lineInTable(std::abs(in2)) && columnInTable(ip2 == 0 ? ip1 : ip2);
}

}  // namespace

FitLoop::FitLoop(numlib::YVTable& YV, numlib::YVTable& YVS, const FitSettings& settings, int Jcalc,
                 fio::Unit& log, fio::Unit& next)
    : YV_(YV), YVS_(YVS), s_(settings), log_(log), next_(next) {
  st_.Jcalc = Jcalc;
}

void FitLoop::run(const FitCallbacks& cb) {
  for (;;) {
    head(cb);
    const bool computing = st_.Jcalc != 0;
    const PassResult r = cb.pass(st_);
    if (r.endFit) break;
    Next n = Next::Record;
    if (computing) {
      st_.EPSN = r.EPSN;
      ++st_.computed;
      if (std::isfinite(r.EPSN)) st_.finiteMerit = true;
      if (s_.endAfterFirstPassWithoutExperiment && !s_.hasExperiment) break;
      if (judged()) n = control();
    }
    if (n == Next::Record) n = newRecord();
    if (n == Next::Step) n = step();
    if (n == Next::End) break;
  }
  finish(cb);
}

void FitLoop::head(const FitCallbacks& cb) {
  if (s_.ITEST != 1)
    fio::console().put("*");
  else if (s_.jrepOneWhenItestOne)
    st_.JREP = 1;
  cb.newstep(st_);
  st_.bestRestored = false;
}

bool FitLoop::judged() const { return st_.JREP != 1 && s_.hasExperiment && s_.ITEST != 1; }

// FITCTL: keep or reverse the step just evaluated, and decide whether the same
// entry takes another step.
FitLoop::Next FitLoop::control() {
  const float EPSN = st_.EPSN;
  if (!std::isfinite(EPSN)) return rejectNonFinite();
  if (!st_.bestFilled) {
    // The first evaluation (JREP = 0, or the first computing pass when the
    // first pass computed nothing) only sets the reference.
    copyTable(YV_, YVS_);
    st_.EPSSS = EPSN;
    st_.bestFilled = true;
    return Next::Record;
  }
  // A merit of 0 cannot fall any further: no relative change is left.
  st_.EPSD = EPSN != 0 ? (EPSN - st_.EPSSS) / EPSN : 0.0f;
  log_.write("('  EPSD =', F10.7)", st_.EPSD);
  const bool rejected = EPSN > st_.EPSSS;
  if (rejected) {
    reject();
  } else {
    log_.print(s_.acceptText);
    copyTable(YV_, YVS_);
    st_.EPSSS = EPSN;
  }
  if (st_.JREP != s_.ISTOP && std::abs(st_.EPSD) > s_.EPFIN) return Next::Step;
  return finished(rejected, st_.EPSD <= s_.EPFIN);
}

// A merit that is NaN or infinite compares to nothing: it is never kept.  The
// step is reversed like a rejected one and the entry is finished, since its
// further steps could not be judged either.
FitLoop::Next FitLoop::rejectNonFinite() {
  note(" EPSN is not a finite number; the pass is not kept");
  if (!st_.bestFilled) {
    // No finite merit yet: a trial goes back to the set the fit started from.
    if (startSaved_) {
      copyTable(YVS_, YV_);
      st_.bestRestored = true;
    } else {
      copyTable(YV_, YVS_);
      startSaved_ = true;
    }
    return Next::Record;
  }
  reject();
  return finished(true, false);
}

FitLoop::Next FitLoop::finished(bool rejected, bool epsdSmall) {
  if (epsdSmall) log_.print(" EPSD small");
  if (st_.JREP == s_.ISTOP) log_.print(" JREP=ISTOP");
  if (s_.repeat == RepeatBest::Always || rejected) {
    log_.print(" repeat the count with the best parameters,JREP=1");
    st_.JREP = 1;
    st_.ip1 = 1;
    return Next::Pass;
  }
  log_.print(" no step! new parameter");
  return Next::Record;
}

// Reverse direction with a shorter step; a trial that landed on 0 (often a
// clamped value) keeps its direction with half the step.
void FitLoop::reject() {
  log_.print("return ! YV=YVS, sp1=-.7*sp1 or .5*sp1");
  st_.sp1 *= YV_(st_.in1, st_.ip1) == 0 ? 0.5f : -0.7f;
  copyTable(YVS_, YV_);
  st_.bestRestored = true;
}

// F1: stop flag, then the next variation record.
FitLoop::Next FitLoop::newRecord() {
  for (;;) {
    if (!stopFlagGoesOn()) return Next::End;
    st_.Jcalc = 1;
    st_.JREP = 2;
    int in1 = 0, ip1 = 0, in2 = 0, ip2 = 0;
    float sp1 = 0, f2 = 0;
    if (!next_.tryRead(in1, ip1, sp1, in2, ip2, f2)) {
      note(" next.INP ends without its closing record (in1 = 0)");
      return Next::End;
    }
    log_.write("(/, /, ' new parameter test ')");
    log_.write("('in1,ip1,sp1,in2,ip2,f2 = ', 2I5, F12.6, 2I5, F12.6)", in1, ip1, sp1, in2, ip2, f2);
    if (in1 == 0) return Next::End;
    if (!recordInTable(in1, ip1, in2, ip2)) {
      note(" entry outside the parameter table (lines 1-72, columns 1-27); record skipped");
      continue;
    }
    fio::console().write("(/, '  EPSN=', F10.7, /, '  next parameter', 4I3)", st_.EPSSS, in1, ip1, in2, ip2);
    st_.selector = in1 < 0 ? -1 : 1;
    st_.in1 = std::abs(in1);
    st_.ip1 = ip1;
    st_.sp1 = sp1;
    st_.in2 = std::abs(in2);
    st_.ip2 = ip2 == 0 ? ip1 : ip2;
    st_.f2 = in2 < 0 ? -1.0f : f2;
    return Next::Step;
  }
}

// F2: stop flag, then one step of the entry, of its correlated entry and of the
// entries tied to it by the correlation rules.
FitLoop::Next FitLoop::step() {
  if (st_.JREP > 1) log_.write("(/, '  next variation')");
  if (!stopFlagGoesOn()) return Next::End;
  const int in1 = st_.in1, ip1 = st_.ip1;
  const float old = YV_(in1, ip1);
  const float stepped = old + st_.sp1;
  const float stored = keepSide(in1, old, stepped);
  YV_(in1, ip1) = stored;
  float old2 = 0, step2 = 0, stored2 = 0;
  if (st_.in2 != 0) {
    old2 = YV_(st_.in2, st_.ip2);
    step2 = st_.f2 * st_.sp1;
    stored2 = keepSide(st_.in2, old2, old2 + step2);
    YV_(st_.in2, st_.ip2) = stored2;
  }
  log_.write("(' YV1,sp1,YVnew', 3F11.5)", old, st_.sp1, stored);
  if (st_.in2 != 0) log_.write("(' YV2,sp1,YVnew', 3F11.5)", old2, step2, stored2);
  correlate(old, stepped);
  ++st_.JREP;
  return Next::Pass;
}

// A rule ICORR < 0 ties the other columns of line -ICORR to the stepped entry,
// a rule ICORR > 0 the other lines of column ICORR.  The loops stop at the
// edges of the table whatever NNN and NM say.
void FitLoop::correlate(float old, float stepped) {
  const int in1 = st_.in1, ip1 = st_.ip1;
  const int rules = std::clamp(s_.IFC, 0, NCORR);
  for (int L = 1; L <= rules; ++L) {
    const int ic = s_.ICORR(L), im = s_.IMAN(L);
    if (st_.sp1 == 0 && im >= 4) continue;
    const bool rowRule = ic < 0 && -ic == in1;
    const bool columnRule = ic >= 0 && ic == ip1;
    if (!rowRule && !columnRule) continue;
    // The relative rules divide by the old value; at 0 they have no meaning.
    const bool usable = !((im == 3 || im == 4) && old == 0);
    if (rowRule) {
      log_.write("(' in1,ICORR(L),IMAN(L)=', 3I5)", in1, ic, im);
      if (!usable) log_.print(" old value 0: the rule is not applied");
      for (int K = 1; K <= std::min(s_.NM, NYVC); ++K) {
        if (usable && K != ip1) applyRule(im, old, stepped, YV_(in1, K));
        log_.write("(' in1,K,YV(in1,K)', 2I4, F12.5)", in1, K, YV_(in1, K));
      }
    } else {
      log_.write("(' ip1,ICORR(L),IMAN(L)=', 3I5)", ip1, ic, im);
      if (!usable) log_.print(" old value 0: the rule is not applied");
      for (int I = 1; I <= std::min(s_.NNN, NYVL); ++I) {
        if (usable && I != in1) applyRule(im, old, stepped, YV_(I, ip1));
        log_.write("(' I,ip1,YV(I,ip1)', 2I4, F12.5)", I, ip1, YV_(I, ip1));
      }
    }
  }
}

// IMAN: 1 the stepped value (before the sign rule), 2 the same step, 3 the same
// relative step, 4 the same ratio as the stored entry; others leave y alone.
void FitLoop::applyRule(int IMAN, float old, float stepped, float& y) const {
  switch (IMAN) {
    case 1: y = stepped; break;
    case 2: y += st_.sp1; break;
    case 3: y *= 1.0f + st_.sp1 / old; break;
    case 4: y *= YV_(st_.in1, st_.ip1) / old; break;
    default: break;
  }
}

// An entry stays on its side of zero, except the isomer shifts and field
// gradients, which may change sign.
float FitLoop::keepSide(int line, float old, float value) const {
  const bool signFree = line == yv::lineAfter(s_.NNN, yv::IS) || line == yv::lineAfter(s_.NNN, yv::EFG);
  return old * value < 0 && !signFree ? -value : value;
}

// "stop.inp": 0 ends the fit.  A missing file is created empty, and reading it
// then ends the program at the end of the file.
bool FitLoop::stopFlagGoesOn() const {
  fio::Unit unit(8);
  unit.openOldOrCreate("stop.inp");
  int flag = 0;
  unit.read(flag);
  unit.close();
  return flag != 0;
}

// Lines 1..NNN+12, columns 1..NM+19 (the ZDV of the multiplets in use): the
// columns of unused multiplets keep their values in each table.
void FitLoop::copyTable(const numlib::YVTable& from, numlib::YVTable& to) const {
  const int lines = std::clamp(yv::lastLine(s_.NNN), 0, NYVL);
  const int columns = std::clamp(yv::lastCopiedColumn(s_.NM), 0, NYVC);
  for (int j = 1; j <= columns; ++j)
    for (int i = 1; i <= lines; ++i) to(i, j) = from(i, j);
}

void FitLoop::note(const std::string& text) const {
  log_.print(text);
  fio::console().print(text);
}

// F3.  A fit stopped right after a rejected step holds the best set in YV but
// the model of the trial; the model is built once more from YV.
void FitLoop::finish(const FitCallbacks& cb) {
  log_.write("('                        E N D  !!!')");
  next_.close();
  if (!st_.bestRestored) return;
  log_.print(" the model is rebuilt from the best parameters");
  st_.JREP = 1;
  st_.ip1 = 1;
  cb.newstep(st_);
}

}  // namespace common

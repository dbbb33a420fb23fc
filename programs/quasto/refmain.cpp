// The order of the phases of the prompt program.
#include <algorithm>

#include "programs/common/fitsetup.hpp"
#include "programs/common/modelout.hpp"
#include "programs/common/newstep.hpp"
#include "programs/quasto/quasto.hpp"

namespace quasto {

namespace {

// The table "LAYSPC.RES" is written from: the layers as fitted, the nuclear
// part as the model file gave it (the prompt program never unpacks it).
numlib::YVTable outputTable(const QuastoData& d) {
  namespace yv = numlib::yv;
  numlib::YVTable t;
  common::fillTable(d.model, nullptr, t);
  for (int N = 1; N <= d.model.NNN; ++N)
    for (int c : {yv::ZD1, yv::ZD2, yv::WIDTH}) t(N, c) = d.YV(N, c);
  return t;
}

// The thickness of the repeated block, summed in single precision.
float blockPeriod(const common::Model& m) {
  float sum = 0;
  for (int N = std::max(m.N1N, 1); N <= std::min(m.N2N, m.NNN); ++N) sum += static_cast<float>(m.arrays.thickness(N));
  return sum;
}

}  // namespace

common::FitSettings fitSettings(const QuastoData& d) {
  common::FitSettings s = common::fitSettings(d.model, d.par, d.prm.Intexp != 0);
  s.EPFIN = d.prm.EPFINP;
  s.repeat = common::RepeatBest::AfterRejection;
  s.jrepOneWhenItestOne = false;
  return s;
}

common::FitCallbacks passCallbacks(QuastoData& d) {
  common::FitCallbacks cb;
  cb.newstep = [&d](const common::FitState& fs) { NEWSTEPQ(d, fs); };
  cb.pass = [&d](const common::FitState& fs) { return PASSQ(d, fs); };
  return cb;
}

// As in the other programs, a fit stopped right after a rejected step has its
// model rebuilt from the best parameters, and the merit written is the best.
void finish(QuastoData& d, const common::FitState& fs) {
  common::scaleThicknesses(d.st, d.mc.K0);
  const float EPSN = common::meritOut(fs.bestRestored ? fs.EPSSS : fs.EPSN);
  const bool profiled = common::WRPROF(d.log, d.model, d.st, d.mc.K0, {.densities = false});
  common::WRMODEL(d.out, d.model, outputTable(d), {.withKind = true, .JMODEL = d.kind.JMODEL});
  d.out.write("(/, /, ' TAMRIS2:   EPSSS=', /, F12.8)", EPSN);
  d.out.close();
  d.log.write("(/, ' test: SHsav (period) = ', F10.3, /)", blockPeriod(d.model));
  const bool unfitted = common::noFiniteMerit(d.log, fs, d.prm.Intexp != 0);
  d.log.close();
  if (!profiled || unfitted || d.comparisonFailed) fio::stop(1);
}

void REFMAIN(QuastoData& d) {
  startUp(d);
  common::FitLoop loop(d.YV, d.YVS, fitSettings(d), d.Jcalc, d.log, d.next);
  loop.run(passCallbacks(d));
  finish(d, loop.state());
}

}  // namespace quasto

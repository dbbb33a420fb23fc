// The order of the phases of the delayed-prompt program.
#include <omp.h>

#include "programs/common/fitsetup.hpp"
#include "programs/common/modelout.hpp"
#include "programs/common/newstep.hpp"
#include "programs/molvec/molvec.hpp"

namespace molvec {

common::FitSettings fitSettings(const MolvecData& d) {
  common::FitSettings s = common::fitSettings(d.model, d.par, d.prm.Intexp != 0);
  s.EPFIN = d.del.EPFIND;
  s.repeat = common::RepeatBest::AfterRejection;
  return s;
}

common::FitCallbacks passCallbacks(MolvecData& d) {
  common::FitCallbacks cb;
  cb.newstep = [&d](const common::FitState& fs) {
    common::NEWSTEP(d.log, d.model, d.YV, d.par, fs, d.nc, d.st, &YVMODD);
  };
  cb.pass = [&d](const common::FitState& fs) { return PASSD(d, fs); };
  return cb;
}

// As in the other programs, a fit stopped right after a rejected step has its
// model rebuilt from the best parameters, and the merit written is the best.
void finish(MolvecData& d, const common::FitState& fs) {
  common::scaleThicknesses(d.st, d.mc.K0);
  const float EPSN = common::meritOut(fs.bestRestored ? fs.EPSSS : fs.EPSN);
  const bool profiled =
      common::WRPROF(d.log, d.model, d.st, d.mc.K0, {.nprLabel = " Npr number of points for model graph ="});
  common::WRMODEL(d.out, d.model, d.YV);
  d.out.write("(/, /, ' MOLVEC.exe:   EPSSS=', /, F12.8)", EPSN);
  d.out.close();
  const bool unfitted = common::noFiniteMerit(d.log, fs, d.prm.Intexp != 0);
  d.log.close();
  if (!profiled || unfitted) fio::stop(1);
}

void DELMAIN(MolvecData& d) {
  startUp(d);
  d.work.resize(static_cast<std::size_t>(omp_get_max_threads()));
  common::FitLoop loop(d.YV, d.YVS, fitSettings(d), d.Jcalc, d.log, d.next);
  loop.run(passCallbacks(d));
  finish(d, loop.state());
}

}  // namespace molvec

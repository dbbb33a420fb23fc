// The order of the phases of the conversion-electron program.
#include "programs/brinax/brinax.hpp"
#include "programs/common/fitsetup.hpp"
#include "programs/common/modelout.hpp"
#include "programs/common/newstep.hpp"

namespace brinax {

void startUp(BrinaxData& d) {
  refuseWrittenInputs();
  common::RDCONST(d.log, d.nc, d.mc, {.runLog = kRunLog, .kind = common::ConstantsKind::Conversion});
  common::INITYV(d.YV, d.YVS);
  common::RDPARAM(d.log, d.par, {.heading = true});
  d.par.JFIT = linfitPower(d.par.JFIT);  // echoed as read
  RDCEMS(d.log, d.cems, d.par.ITEST);
  common::RDFILEM(d.log, d.fileM, {.heading = true});
  common::RDNEXT(d.log, d.next, d.par.ITEST, d.Jcalc, true);
  if (d.cems.NSPCE != 0) {
    common::requireWeightPower(d.par.JFIT, "JFIT", "ZEPRIN.INP");
    RDEXPC(d.log, d.out, d.cems, d.exper);
  }
  common::FLDDIST(d.log, d.par, d.nc, d.dist, true);
  common::RDMODEL(d.log, d.fileM, d.model, d.nc, d.YV, {.jvnLabel = "JVN (=1 without steps, =2 with steps)"});
  ESCALE(d.log, d.cems, d.mc.XEST, d.scale);
}

common::FitSettings fitSettings(const BrinaxData& d) {
  common::FitSettings s = common::fitSettings(d.model, d.par, d.cems.NSPCE != 0);
  s.endAfterFirstPassWithoutExperiment = true;
  s.acceptText = "accept ! EPSN=EPSS";
  return s;
}

common::FitCallbacks passCallbacks(BrinaxData& d) {
  common::FitCallbacks cb;
  cb.newstep = [&d](const common::FitState& fs) {
    // The first pass logs only its step count, not the model and grid tables.
    common::FitState quiet = fs;
    if (fs.JREP == 0) {
      d.log.write("(/, ' for first calculation ')");
      d.log.print();
      d.log.print(" JREP=", fs.JREP);
      quiet.JREP = 1;
    }
    common::NEWSTEP(d.log, d.model, d.YV, d.par, quiet, d.nc, d.st);
  };
  cb.pass = [&d](const common::FitState& fs) {
    return common::PassResult{fs.Jcalc != 0 ? CEMCMP(d, fs) : 0.0f, false};
  };
  return cb;
}

// When the fit ended right after a rejected step, the loop has rebuilt the
// model from the best parameters; the spectra are computed once more, so that
// the result files show the model written to "LAYSPC.RES".
void finish(BrinaxData& d, const common::FitState& fs) {
  if (fs.bestRestored) {
    common::FitState best = fs;
    best.JREP = 1;
    CEMCMP(d, best);
  }
  WRCEMS(d, fs);
  common::scaleThicknesses(d.st, d.mc.K0);
  const bool profiled = common::WRPROF(d.log, d.model, d.st, d.mc.K0);
  common::WRMODEL(d.out, d.model, d.YV);
  d.out.close();
  const bool unfitted = common::noFiniteMerit(d.log, fs, d.cems.NSPCE != 0);
  d.log.close();
  // A profile too long to write, or a fit without a single merit, must not
  // cost the files, but the run did not deliver everything.
  if (!profiled || unfitted) fio::stop(1);
}

void CEMMAIN(BrinaxData& d) {
  startUp(d);
  common::FitLoop loop(d.YV, d.YVS, fitSettings(d), d.Jcalc, d.log, d.next);
  loop.run(passCallbacks(d));
  finish(d, loop.state());
}

}  // namespace brinax

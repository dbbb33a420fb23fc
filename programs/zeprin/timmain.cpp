// The order of the phases of the time-spectra program.
#include "programs/common/modelout.hpp"
#include "programs/common/newstep.hpp"
#include "programs/zeprin/zeprin.hpp"

namespace zeprin {

void startUp(ZeprinData& d) {
  refuseWrittenInputs();
  common::RDCONST(d.log, d.nc, d.mc, {.runLog = kRunLog});
  TAXIS(d.log, d.mc.LYAMBDA, d.mc.XEST, d.axis);
  common::INITYV(d.YV, d.YVS);
  common::RDPARAM(d.log, d.par);
  RDFILESE(d.log, d.expList, d.par.ITEST);
  common::RDFILEM(d.log, d.fileM);
  OLDANG(d.out, d.fileM);
  common::RDNEXT(d.log, d.next, d.par.ITEST, d.Jcalc);
  GAUSTAV(d.log, d.par.SIGMA, d.axis, d.kernel);
  common::FLDDIST(d.log, d.par, d.nc, d.dist);
  common::RDMODEL(d.log, d.fileM, d.model, d.nc, d.YV);
  common::EGRID(d.log, d.nc.JE, d.mc.XEST, d.mc.XEMAX, d.grid);
  // Angles without an experiment file are not computed, and files beyond
  // the angles not compared.  The angle file "OLD_ANG.RES" and the table YV
  // keep every angle of "FileM.inp".
  const int NEXP = d.expList.NEXP;
  if (NEXP != 0 && NEXP < d.fileM.NSPC) d.fileM.NSPC = NEXP;
  if (NEXP != 0) {
    common::requireWeightPower(d.par.JFIT, "JFIT", "ZEPRIN.INP");
    RDEXPER(d.log, d.expList, d.par, d.fileM.NSPC, d.exper);
  }
  d.scale.first = 1;
}

common::FitSettings fitSettings(const ZeprinData& d) {
  return common::fitSettings(d.model, d.par, d.expList.NEXP != 0);
}

// The model output describes the model of the last unpacking.  When the fit
// ended right after a rejected step, the loop has rebuilt the model from the
// best parameters after the last pass: the merit written with it is then the
// best one, not that of the rejected trial.
void finish(ZeprinData& d, const common::FitState& fs) {
  common::scaleThicknesses(d.st, d.mc.K0);
  const float EPSN = meritOut(fs.bestRestored ? fs.EPSSS : fs.EPSN);
  const bool profiled = common::WRPROF(d.log, d.model, d.st, d.mc.K0);
  common::WRMODEL(d.out, d.model, d.YV);
  writeTrailer(d.out, d.fileM.NSPC, d.model.arrays.angles, d.par, EPSN);
  d.out.close();
  writeAngles(d.out, "ANGLE.RES", d.fileM.NSPC, d.model.arrays.angles);
  // The last pass written may have computed nothing (Jcalc = 0) while every
  // computed one failed: the written curves alone do not tell.
  const bool unfitted = common::noFiniteMerit(d.log, fs, d.expList.NEXP != 0);
  d.log.close();
  // A profile too long to write, or curves that could not be computed, must
  // not cost the fitted model, but the run did not deliver everything.
  if (!d.writtenSound)
    fio::console().print(" the last pass gave spectra or merits that are not finite: its curve and merit files"
                         " hold 0 and 99999 in their place");
  if (!profiled || !d.writtenSound || unfitted) fio::stop(1);
}

common::FitCallbacks passCallbacks(ZeprinData& d) {
  common::FitCallbacks cb;
  cb.newstep = [&d](const common::FitState& fs) {
    common::NEWSTEP(d.log, d.model, d.YV, d.par, fs, d.nc, d.st);
  };
  cb.pass = [&d](const common::FitState& fs) { return common::PassResult{TIMPASS(d, fs), false}; };
  return cb;
}

void TIMMAIN(ZeprinData& d) {
  startUp(d);
  common::FitLoop loop(d.YV, d.YVS, fitSettings(d), d.Jcalc, d.log, d.next);
  loop.run(passCallbacks(d));
  finish(d, loop.state());
}

}  // namespace zeprin

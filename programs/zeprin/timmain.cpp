// The order of the phases of the time-spectra program.
#include "programs/common/newstep.hpp"
#include "programs/common/modelout.hpp"
#include "programs/zeprin/zeprin.hpp"

namespace zeprin {

void startUp(ZeprinData& d) {
  common::RDCONST(d.log, d.nc, d.mc);
  TAXIS(d.log, d.mc.LYAMBDA, d.mc.XEST, d.axis);
  common::INITYV(d.YV, d.YVS, d.fs);
  common::RDPARAM(d.log, d.par);
  RDFILESE(d.log, d.expList, d.par.ITEST);
  common::RDFILEM(d.log, d.fileM);
  OLDANG(d.out, d.fileM);
  common::RDNEXT(d.log, d.next, d.par.ITEST, d.fs.Jcalc);
  GAUSTAV(d.log, d.par.SIGMA, d.axis, d.kernel);
  common::FLDDIST(d.log, d.par, d.nc, d.dist);
  common::RDMODEL(d.log, d.fileM, d.model, d.nc, d.YV);
  common::EGRID(d.log, d.nc.JE, d.mc.XEST, d.mc.XEMAX, d.grid);
  if (d.expList.NEXP != 0) RDEXPER(d.log, d.expList, d.par.XEXP1, d.par.XEXP2, d.exper);
  d.fs.JREP = 0;
  d.firstScale = 1;
}

void pass(ZeprinData& d) {
  common::LOOPHEAD(d.fs, d.par.ITEST);
  common::NEWSTEP(d.log, d.model, d.YV, d.par, d.fs, d.nc, d.st);
  // The time-spectra pass starts by turning the stepped thicknesses into
  // phase thicknesses; its spectra and merit are not computed yet.
  common::scaleThicknesses(d.st, d.mc.K0);
  d.fs.EPSN = 0;
}

void finish(ZeprinData& d) {
  d.next.close();
  common::WRPROF(d.log, d.model, d.st, d.mc.K0);
  common::WRMODEL(d.out, d.model, d.YV, d.nc);
  writeTrailer(d.out, d.fileM.NSPC, d.model.arrays.angles, d.par, d.fs.EPSN);
  d.out.close();
  writeAngles(d.out, "ANGLE.RES", d.fileM.NSPC, d.model.arrays.angles);
  d.log.close();
}

void TIMMAIN(ZeprinData& d) {
  startUp(d);
  pass(d);
  finish(d);
}

}  // namespace zeprin

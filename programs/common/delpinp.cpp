#include "programs/common/delpinp.hpp"

namespace common {

void readPromptRecords(fio::Unit& in, fio::Unit& log, PromptSettings& p) {
  in.skip();
  readEcho(in, log, " number of experimental files", p.Intexp);
  p.expName = in.readA(32);
  log.print(" name of exp. file:    ", p.expName);
  in.skip();
  readEcho(in, log, " UT0 -starting angle for integral curves (mrad)", p.UT0p);
  readEcho(in, log, " step (mrad) ", p.Ustepp);
  readEcho(in, log, " number of points for calculation ", p.Nstepp);
  readEcho(in, log, " DIV=", p.DIV);
  p.DIV /= 2;
  p.NG = kFirstGaussKernel;
  readEcho(in, log, " ANGBEAM=", p.ANGBEAM);
  readEcho(in, log, " JFITP = ", p.JFITP);
  readEcho(in, log, " ACOMP1 =  ", p.ACOMP1);
  readEcho(in, log, " ACOMP2 =  ", p.ACOMP2);
  in.read(p.EPFINP);
  log.write("('   EPFINP - limit for iterations of EPSS ', F12.7, /)", p.EPFINP);
}

}  // namespace common

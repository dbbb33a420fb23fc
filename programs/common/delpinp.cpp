#include "programs/common/delpinp.hpp"

#include "programs/common/params.hpp"

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
  if (p.Intexp != 0) requireWeightPower(p.JFITP, "JFITP", "MOLVEC.INP");
  readEcho(in, log, " ACOMP1 =  ", p.ACOMP1);
  readEcho(in, log, " ACOMP2 =  ", p.ACOMP2);
  in.read(p.EPFINP);
  log.write("('   EPFINP - limit for iterations of EPSS ', F12.7, /)", p.EPFINP);
}

void readDelayedRecords(fio::Unit& in, fio::Unit& log, DelayedSettings& d) {
  in.skip();
  readEcho(in, log, " UT0 -starting angle for integral curves (mrad)", d.UT0);
  readEcho(in, log, " step (mrad) ", d.Ustep);
  readEcho(in, log, " number of points for calculation ", d.Nstep);
  readEcho(in, log, " JFITD = ", d.JFITD);
  readEcho(in, log, " ACOMP1D =  ", d.ACOMP1D);
  readEcho(in, log, " ACOMP2D =  ", d.ACOMP2D);
  in.read(d.EPFIND);
  log.write("('   EPFIND - limit for iterations of EPSS ', F12.7, /)", d.EPFIND);
  readEcho(in, log, " FJEPP =  ", d.FJEPP);
  readEcho(in, log, " FJEPD =  ", d.FJEPD);
  readEcho(in, log, " TIMECYCLE =  ", d.TIMECYCLE);
  readEcho(in, log, " TIMINI =  ", d.TIMINI);
  readEcho(in, log, " TIMFIN =  ", d.TIMFIN);
}

void refuseWrittenReflInputs(std::initializer_list<FileNames> fixedInputs, std::initializer_list<FileNames> written) {
  std::vector<NamedInput> inputs;
  // Records 1 to 3 as readPromptRecords reads them.
  peekNames("MOLVEC.INP", [&](fio::Unit& in) {
    int Intexp = 0;
    in.skip();
    in.read(Intexp);
    const std::string name = in.readA(32);
    if (Intexp != 0) inputs.push_back({name, "experiment file", "MOLVEC.INP"});
  });
  peekModelName(inputs);
  refuseWrittenInputs(inputs, fixedInputs, written);
}

}  // namespace common

// The reading phases of the prompt program: constants, the prompt half of
// "MOLVEC.INP", the calculation parameters, the fit script and the model.
#include "programs/common/hardstop.hpp"
#include "programs/quasto/quasto.hpp"

namespace quasto {

namespace {

using common::N6;

// The nuclear part of the model file, read only to be echoed and written back.
void readNuclearPart(fio::Unit& in, QuastoData& d) {
  common::Model& m = d.model;
  fio::Unit& log = d.log;
  common::readDensityRecords(in, m);
  common::deriveModel(m);
  log.write("(' SHsav (period) = ', F10.3, /)", m.period);
  common::readMultipletRecords(in, m);
  log.write("(' S(K)-ratio of partial spectra areas', /, I3, '  ', 8F9.5)", m.NNN + 1, m.arrays.S.span());
  const char* hyperfine[5] = {"'    Bhf(T)'", "'    dBhf(T)'", "'    IS(mm/s)'", "'    EFG(mm/s)'", "'    GRd(mm/s)'"};
  for (int r = 1; r <= 5; ++r) {
    fio::ItemList l = fio::items(m.NNN + 1 + r);
    for (int K = 1; K <= N6; ++K) fio::addItem(l, m.HYP(r, K));
    log.writeList(std::string("(I3, '  ', 8F9.5, ") + hyperfine[r - 1] + ")", l);
  }
  log.print();
  const char* angular[5] = {"8F9.1, '    BE'", "8F9.1, '    GA'", "8F9.3, '    RAND'", "8F9.3, '    PLAN'",
                            "8F9.1, '    WID'"};
  for (int r = 1; r <= 5; ++r) {
    fio::ItemList l = fio::items(m.NNN + 7 + r);
    for (int K = 1; K <= N6; ++K) fio::addItem(l, m.ANGM(r, K));
    log.writeList(std::string("(I3, '  ', ") + angular[r - 1] + ")", l);
  }
  common::readInterfaceRecords(in, m);
  for (int N = 1; N <= m.NNN; ++N)
    for (int K = 1; K <= N6; ++K) d.YV(N, numlib::yv::colZDV(K)) = m.ZDV(K, N);
}

}  // namespace

void RDPRMP(QuastoData& d) {
  fio::Unit in(5);
  in.openOld("MOLVEC.INP");
  common::readPromptRecords(in, d.log, d.prm);
  in.close();
  if (d.prm.Nstepp < 1 || d.prm.Nstepp > kMaxAngles)
    common::hardStop(" number of points Nstepp in MOLVEC.INP must lie in 1..3500 !");
}

void RDMODELQ(QuastoData& d) {
  namespace yv = numlib::yv;
  common::Model& m = d.model;
  fio::Unit in(1);
  in.openOld(d.fileM.name);
  common::readModelHead(in, m, &d.kind);
  if (!d.kind.numeric) d.log.print(" first record of the model file holds no model kind: JMODEL = 0");
  d.log.write("(/, ' JMODEL = ', I3)", d.kind.JMODEL);
  common::echoModelHead(d.log, m);
  common::readLayerRecords(in, m);
  common::echoLayerRecords(d.log, m);
  for (int N = 1; N <= m.NNN; ++N) {
    d.YV(N, yv::H1A) = static_cast<float>(m.arrays.thickness(N));
    d.YV(N, yv::ELD1) = m.arrays.ELD1(N);
    d.YV(N, yv::ELD2) = m.arrays.ELD2(N);
    d.YV(N, yv::ZD1) = m.ZD1(N);
    d.YV(N, yv::ZD2) = m.ZD2(N);
    d.YV(N, yv::WIDTH) = static_cast<float>(m.WIDTH(N));
  }
  if (d.kind.JMODEL <= 1) readNuclearPart(in, d);
  in.close();
  // The densities go back into "LAYSPC.RES" as read: no normalisation factors.
  m.JVN = 1;
  for (int K = 1; K <= N6; ++K) m.arrays.F(K) = 1.0f;
}

void startUp(QuastoData& d) {
  common::refuseWrittenReflInputs({common::kSharedInputs, common::kReflParameterFile},
                                  {kWrittenFiles, common::kModelOutputFiles});
  common::RDCONST(d.log, d.nc, d.mc, {kRunLog, common::ConstantsKind::EnergyOnly});
  RDPRMP(d);
  common::RDPARAM(d.log, d.par, {common::ParamsKind::PromptOnly});
  common::RDFILEM(d.log, d.fileM, {.angles = false});
  if (d.prm.Intexp == 0) d.par.ITEST = 1;  // no fit without experiment
  common::RDNEXT(d.log, d.next, d.par.ITEST, d.Jcalc);
  common::angleGrid(d.prm.UT0p, d.prm.Ustepp, d.prm.Nstepp, d.curve.mrad, d.curve.rad);
  RDMODELQ(d);
}

}  // namespace quasto

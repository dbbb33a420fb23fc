// The reading phases of the delayed-prompt program: "MOLVEC.INP", the
// reflectivity experiment, the time windows, and the order of all phases
// before the fit loop.
#include <string>

#include "programs/common/hardstop.hpp"
#include "programs/molvec/molvec.hpp"

namespace molvec {

namespace {

// Input that no calculation can use: the reason in the run log and on the
// console, and the end of the program with exit status 1.
[[noreturn]] void refuse(MolvecData& d, const std::string& text) {
  d.log.print(text);
  common::hardStop(text);
}

void checkGrid(MolvecData& d) {
  const common::DelayedSettings& g = d.del;
  if (g.Nstep < 1 || g.Nstep > kMaxAngles) refuse(d, " Nstep in MOLVEC.INP must lie in 1..900 !");
  if (!(g.Ustep > 0)) refuse(d, " Ustep in MOLVEC.INP must be larger than 0 !");
  if (!(g.UT0 > 0)) refuse(d, " UT0 in MOLVEC.INP must be larger than 0 (a glancing angle) !");
}

// A curve whose merit counts (weight not 0) must be comparable in the
// window the two curves share.
void checkWindow(MolvecData& d) {
  const Comparison& c = d.cmp;
  const common::DelayedSettings& g = d.del;
  // With both weights 0 no merit counts, but an empty window still leaves
  // the fits nothing to compare.
  const bool empty = c.JZ2D < c.JZ1D;
  const struct {
    bool compared;
    numlib::Span1<const float> counts;
    const char* name;
  } curves[] = {{g.FJEPP != 0 || empty, c.x.YEXPP.span(), "prompt count"},
                {g.FJEPD != 0, c.x.YEXPD.span(), "delayed count"}};
  for (const auto& k : curves) {
    if (!k.compared) continue;
    const std::string text =
        common::refusedWindow(k.counts, c.JZ1D, c.JZ2D, 0.0f, {d.prm.expName, k.name, "ACOMP1D", "ACOMP2D"});
    if (!text.empty()) refuse(d, text);
  }
}

}  // namespace

void RDDELP(MolvecData& d) {
  fio::Unit in(5);
  in.openOld("MOLVEC.INP");
  common::readPromptRecords(in, d.log, d.prm);
  common::readDelayedRecords(in, d.log, d.del);
  in.close();
  if (d.prm.Intexp != 0) common::requireWeightPower(d.del.JFITD, "JFITD", "MOLVEC.INP");
  checkGrid(d);
}

void RDEXPD(MolvecData& d) {
  if (d.prm.Intexp == 0) {
    d.par.ITEST = 1;
    return;
  }
  Comparison& c = d.cmp;
  fio::Unit in(3);
  int JEXP = common::openReflExperiment(in, d.prm.expName);
  d.log.print(" JEXP", JEXP);
  if (JEXP > kMaxAngles) {
    fio::console().write("(/, /, ' JEXP should not be larger 900 !!!', /, '             ', /, /)");
    JEXP = kMaxAngles;
  }
  if (JEXP < 1) {
    in.close();
    refuse(d, common::fewPointsText(d.prm.expName, 1));
  }
  common::readReflPoints(in, JEXP, c.x);
  if (const std::string text = common::refusedPoints(c.x, d.prm.expName); !text.empty()) refuse(d, text);
  c.YPMAX = common::normaliseToMax(c.x.YEXPP.span(), JEXP);
  c.YDMAX = common::normaliseToMax(c.x.YEXPD.span(), JEXP);
  common::DelayedSettings& g = d.del;
  const AngleCurves& a = d.curves;
  common::comparisonWindow(c.x, a.UT(1), a.UT(g.Nstep), g.ACOMP1D, g.ACOMP2D, c.JZ1D, c.JZ2D);
  d.log.print("ACOMP1D,JZ1D=", g.ACOMP1D, c.JZ1D);
  d.log.print("ACOMP2D,JZ2D=", g.ACOMP2D, c.JZ2D);
  checkWindow(d);
}

void timeWindows(float AN, float TIMINI, float TIMFIN, float TIMECYCLE, TimeWindows& w) {
  w.AN = AN;
  w.IW1 = 1;
  w.IW2 = 0;
  w.ICYC = 0;
  for (int j = 1; j <= JE; ++j) {
    w.T(j) = static_cast<float>(j - 1) * AN;
    if (w.T(j) < TIMINI) w.IW1 = j;
    if (w.T(j) < TIMFIN) w.IW2 = j;
    if (w.T(j) < TIMECYCLE) w.ICYC = j;
  }
}

void TWINDOW(MolvecData& d) {
  // JE channels span h / XEST: LYAMBDA/XEST * 100 ns in these units.
  const float AN = static_cast<float>(d.mc.LYAMBDA / d.mc.XEST / JE * 100);
  d.log.write("(' AN=delta - time step (ns) ', F15.9)", AN);
  const common::DelayedSettings& g = d.del;
  TimeWindows& w = d.win;
  timeWindows(AN, g.TIMINI, g.TIMFIN, g.TIMECYCLE, w);
  d.log.write("(' the first window ', 2I5)", w.IW1, w.IW2);
  d.log.write("(' the second window: ', 2I5)", w.ICYC + w.IW1, w.ICYC + w.IW2);
  d.log.write("(' the third window: ', 2I5)", 2 * w.ICYC + w.IW1, JE);
}

void startUp(MolvecData& d) {
  common::refuseWrittenReflInputs({common::kSharedInputs, common::kReflParameterFile, common::kDistributionInput},
                                  {kWrittenFiles, common::kModelOutputFiles, common::kDensityProfileFile});
  common::RDCONST(d.log, d.nc, d.mc, {kRunLog, common::ConstantsKind::DelayedPrompt});
  common::INITYV(d.YV, d.YVS);
  RDDELP(d);
  // SIG of "ZEPRIN.INP" stays in Angstrom: the unpacking smooths the
  // densities over the thicknesses of the model in Angstrom, before they
  // become phase thicknesses, so a width multiplied by k0 (7.3 per
  // Angstrom for 57Fe) would smooth 7.3 times wider than the time-spectra
  // program does with the same file, in a joint fit of the same model.
  common::RDPARAM(d.log, d.par, {common::ParamsKind::DelayedPrompt});
  common::RDFILEM(d.log, d.fileM, {.angles = false});
  common::angleGrid(d.del.UT0, d.del.Ustep, d.del.Nstep, d.curves.UT, d.curves.rad);
  RDEXPD(d);
  common::RDNEXT(d.log, d.next, d.par.ITEST, d.Jcalc);
  TWINDOW(d);
  common::FLDDIST(d.log, d.par, d.nc, d.dist);
  common::RDMODEL(d.log, d.fileM, d.model, d.nc, d.YV, {.headEcho = true, .angles = false});
  common::EGRID(d.log, d.nc.JE, d.mc.XEST, d.mc.XEMAX, d.grid);
  d.log.write("(/, ' UX - ENERGY LIMITS FOR FOURIER TRANSFORM=', F10.4)", JE * d.mc.XEST / 2);
}

}  // namespace molvec

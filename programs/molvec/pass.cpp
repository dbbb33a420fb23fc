// One pass of the delayed-prompt program: the response at every angle of the
// calculation grid, on all cores, and the comparison of both curves with the
// experiment.
#include <omp.h>

#include <string_view>

#include "programs/common/fitsetup.hpp"
#include "programs/common/gauss.hpp"
#include "programs/common/newstep.hpp"
#include "programs/molvec/molvec.hpp"

namespace molvec {

namespace {

common::AngleArgs angleArgs(const MolvecData& d, int j) {
  return common::angleArgs(d.model, d.par, d.mc.XEST, d.grid, d.dist, d.curves.rad(j));
}

// The angles are independent: each thread works in its own work area, and
// the result of an angle does not depend on which thread computed it.
void computeAngles(MolvecData& d) {
  AngleCurves& c = d.curves;
  const int n = d.del.Nstep;
  const int threads = static_cast<int>(d.work.size());
#pragma omp parallel num_threads(threads)
  {
    common::AngleWork& w = d.work[static_cast<std::size_t>(omp_get_thread_num())];
#pragma omp for schedule(dynamic, 2)
    for (int j = 1; j <= n; ++j) {
      DELANG(d.nc, angleArgs(d, j), d.st, d.win, w, c.out(j));
      c.YRELAY(j) = c.out(j).YRELAY;
      c.SUMT(j) = c.out(j).SUMT;
      if (j == 1) c.spectrum1 = w.spectrum;
    }
  }
}

void writeFirstSpectrum(MolvecData& d) {
  const AngleCurves& c = d.curves;
  fio::Unit u(8);
  u.openNew("timtesF.res");
  double sum = 0;
  for (int j = 1; j <= JE; ++j) {
    u.write("(F12.5, F15.7)", d.win.T(j), c.spectrum1(j));
    sum += c.spectrum1(j);
  }
  u.close();
  d.log.print(" UT(JSPC), Tsum/JE=", c.rad(1), sum / JE);
}

// The curve file of a calculation without experiment: angle, 0, value.
void writeCalculated(std::string_view name, std::string_view format, const AngleCurves& a, Span1<const float> y,
                     int n) {
  fio::Unit u(8);
  u.openNew(name);
  for (int j = 1; j <= n; ++j) u.write(format, a.UT(j), 0.0f, y(j));
  u.close();
}

// One curve against its experiment column.
struct CurveRole {
  Span1<float> curve;           // on the calculation grid; averaged and corrected in place
  Span1<const float> measured;  // normalised experiment column
  float EMAX;                   // its largest count
  int JFIT;
  float EPFIN;
  std::string_view file, format;
};

float compareCurve(MolvecData& d, const CurveRole& r) {
  Comparison& c = d.cmp;
  const AngleCurves& a = d.curves;
  const int n = d.del.Nstep;
  common::PromptSettings& p = d.prm;
  // The divergence of the beam blurs the curve before the footprint cuts it.
  if (p.DIV != 0) common::GAUSS(d.log, a.UT, r.curve, n, p.DIV, p.NG);
  common::footprint(a.UT, r.curve, n, p.ANGBEAM);
  common::theoryAtExperiment(a.UT, r.curve, n, c.x, c.theory);
  const int JEXP = c.x.JEXP;
  const float EPS =
      common::fitScale(r.measured, c.theory, JEXP, c.JZ1D, c.JZ2D, r.JFIT, d.par.AF, r.EMAX, r.EPFIN, c.fit);
  for (int i = 1; i <= JEXP; ++i) c.theory(i) = c.fit.scale * c.theory(i) + c.fit.background;
  fio::Unit u(8);
  u.openNew(r.file);
  for (int i = 1; i <= JEXP; ++i) u.write(r.format, c.x.XE(i), r.EMAX * r.measured(i), r.EMAX * c.theory(i));
  u.close();
  return EPS;
}

}  // namespace

void ANGLOOP(MolvecData& d, const common::FitState& fs, fio::Unit& integrf) {
  d.log.write("('START 666 !!!       JREP =', I5)", fs.JREP);
  computeAngles(d);
  const AngleCurves& c = d.curves;
  const float XEST = d.mc.XEST;
  for (int j = 1; j <= d.del.Nstep; ++j) {
    const DelangOut& o = c.out(j);
    integrf.write("(7F14.6)", c.UT(j), o.SUME / XEST, o.SUMT / JE, o.sum1 / JE, o.sum2 / JE, o.sum3 / JE, o.YRELAY);
  }
  writeFirstSpectrum(d);
}

float CMPCURV(MolvecData& d, fio::Unit& result) {
  AngleCurves& a = d.curves;
  const int n = d.del.Nstep;
  if (d.prm.Intexp == 0) {
    writeCalculated("PROMP2.res", "(F11.3, 2F18.6)", a, a.YRELAY, n);
    writeCalculated("DELAY2.res", "(F11.3, 2F16.6)", a, a.SUMT, n);
    return 0;
  }
  Comparison& c = d.cmp;
  const common::DelayedSettings& g = d.del;
  c.EPSSP = compareCurve(d, {a.YRELAY, c.x.YEXPP, c.YPMAX, d.prm.JFITP, d.prm.EPFINP, "PROMP2.res", "(F11.3, 2F18.6)"});
  // The delayed fit goes on from the scale the prompt fit found.
  c.fit.first = false;
  c.EPSSD = compareCurve(d, {a.SUMT, c.x.YEXPD, c.YDMAX, g.JFITD, g.EPFIND, "DELAY2.res", "(F11.3, 2F16.6)"});
  c.EPSSS = g.FJEPP * c.EPSSP + g.FJEPD * c.EPSSD;
  d.log.write("('   EPSSP,EPSSD,EPSSS = ', 3F15.8)", c.EPSSP, c.EPSSD, c.EPSSS);
  result.write("(3F15.8)", common::meritOut(c.EPSSP), common::meritOut(c.EPSSD), common::meritOut(c.EPSSS));
  return c.EPSSS;
}

common::PassResult PASSD(MolvecData& d, const common::FitState& fs) {
  common::scaleThicknesses(d.st, d.mc.K0);
  fio::Unit result(1), integrf(2);
  result.openNew("RESULTI.res");
  integrf.openNew("INTEGRF.res");
  integrf.print("UTM(JSPC),SUME/XEST,SUMT/JE,sum1/JE,sum2/JE,sum3/JE,YRELAY");
  common::PassResult out;
  if (fs.Jcalc != 0) {
    ANGLOOP(d, fs, integrf);
    out.EPSN = CMPCURV(d, result);
  }
  result.close();
  integrf.close();
  return out;
}

}  // namespace molvec

// One calculation pass of the time-spectra program: per grazing angle the
// energy and time spectra, the time averaging over the detector resolution,
// the comparison with the measured spectrum, and the curve and merit files.
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "numlib/fits.hpp"
#include "numlib/interp.hpp"
#include "programs/common/newstep.hpp"
#include "programs/zeprin/zeprin.hpp"

namespace zeprin {

namespace {

// Channels at the start of a spectrum left out of the normalisation of the
// theory when there is no experiment (the prompt region).
constexpr int kSkippedChannels = 40;

// Curve files hold numbers a reader can use: a value that is not finite is
// written as 0 (and reported where it arises).
float finite(float x) { return std::isfinite(x) ? x : 0.0f; }

bool allFinite(numlib::Span1<const float> c, int n) {
  for (int i = 1; i <= n; ++i)
    if (!std::isfinite(c(i))) return false;
  return true;
}

void report(fio::Unit& log, const std::string& text) {
  log.print(text);
  fio::console().print(text);
}

// x / scale, or 0 when the scale is 0 (a flat or empty curve).
float ratio(float x, float scale) { return scale != 0.0f ? finite(x / scale) : 0.0f; }

struct PassFiles {
  fio::Unit result{1};  // "RESULT.res"
  fio::Unit integr{2};  // "INTEGR.res"
  // Closed, not just dropped: the close is where a failed write shows.
  void close() {
    result.close();
    integr.close();
  }
};

// Range of the energy-spectrum files, kept inside the grid.
struct EnergyRange {
  int first, last;
};
EnergyRange energyRange(const common::EnergyGrid& g) { return {std::max(g.I1, 1), std::min(g.I2, g.NE)}; }

void writeFirstAngleFiles(const ZeprinData& d, const TimcaluOut& o) {
  fio::Unit u(8);
  u.openNew("ttestF.res");
  for (int J = 1; J <= JE; ++J) u.write("(F12.5,F15.7)", d.axis.T(J), finite(o.It(J)));
  u.close();
  const EnergyRange r = energyRange(d.grid);
  u.openNew("E_spcN.res");
  for (int k = r.first; k <= r.last; ++k) u.write("(F11.3,2F18.12)", d.grid.X(k), finite(o.E1(k)), finite(o.E2(k)));
  u.close();
}

// R(E) scaled to 0..1 over the NE points; a flat curve has no shape and is
// written as 0.
void writeNormalisedReflectivity(const ZeprinData& d, int j, TimcaluOut& o) {
  const int NE = d.grid.NE;
  float rmin = 0, rmax = 0;
  if (NE >= 1) numlib::MINMAX(o.RE.span(), NE, rmin, rmax);
  for (int k = 1; k <= NE; ++k) o.RE(k) = ratio(o.RE(k) - rmin, rmax - rmin);
  const EnergyRange r = energyRange(d.grid);
  fio::Unit u(8);
  u.openNew(d.axis.BUFFEN[j - 1]);
  for (int k = r.first; k <= r.last; ++k) u.write("(2F12.6)", d.grid.X(k), o.RE(k));
  u.close();
}

// Convolution with the Gaussian kernel; the H channels at each end, where the
// kernel would reach past the spectrum, are copied unchanged.
void average(const TimeKernel& k, const Arr1<float, JE>& I, Arr1<float, JE>& YT) {
  const int H = k.H;
  for (int J = 1; J <= JE; ++J) {
    if (H < J && J < JE - H - 1) {
      float s = 0;
      for (int i = 1; i <= 2 * H + 1; ++i) s += I(J - H + i - 1) * k.W(i);
      YT(J) = s;
    } else {
      YT(J) = I(J);
    }
  }
}

// Without experiment: the averaged theory, normalised by its maximum after the
// prompt region, for every channel of the shown window.
void writeTheoryOnly(ZeprinData& d, int j) {
  PassWork& p = d.work;
  const TimeAxis& ax = d.axis;
  int first = kSkippedChannels + 1;
  int n = ax.MTH - 1 - kSkippedChannels;
  if (n < 1) {  // a window too short for the skipped channels: take it whole
    first = 1;
    n = ax.MTH;
  }
  d.log.print(" theor MEXP= ", n);
  for (int i = 1; i <= n; ++i) p.times(i) = ax.T(first + i - 1);
  numlib::INTERS(ax.T.span(), p.YT.span(), p.times.span(), p.Y.span(), JE, n);
  float YEN = 0, YEM = 0;
  numlib::MINMAX(p.Y.span(), n, YEN, YEM);
  d.log.print(" for theor curve: YEN,YEM=", YEN, YEM);
  fio::Unit u(8);
  u.openNew(ax.BUFFTN[j - 1]);
  for (int J = 1; J <= ax.MTH; ++J) u.write("(F12.5,F6.1,F16.8)", ax.T(J), 0.0f, ratio(p.YT(J), YEM));
  u.close();
}

// The theory at the compared times, the response to the previous pulse
// included, normalised to its maximum.
void theoryAtComparedTimes(ZeprinData& d) {
  PassWork& p = d.work;
  const TimeExperiment& x = d.exper;
  const int M = x.MEXP;
  for (int i = 1; i <= M; ++i) p.times(i) = x.times(i) + common::kPulsePeriod;
  numlib::INTERS(d.axis.T.span(), p.YT.span(), x.times.span(), p.Y.span(), JE, M);
  numlib::INTERS(d.axis.T.span(), p.YT.span(), p.times.span(), p.Ylate.span(), JE, M);
  float ymax = 0;
  for (int i = 1; i <= M; ++i) {
    p.Y(i) += p.Ylate(i);
    ymax = std::max(ymax, p.Y(i));
  }
  // A sample without resonant nuclei gives no delayed counts: nothing to scale.
  if (ymax > 0)
    for (int i = 1; i <= M; ++i) p.Y(i) /= ymax;
}

// Scale (and background) of the theory to the experiment of angle j; returns
// the merit EPSS.
float compare(ZeprinData& d, int j) {
  const TimeExperiment& x = d.exper;
  const common::CalcParams& par = d.par;
  ScaleSearch& s = d.scale;
  const auto E = x.YEXP.col(j);
  float EPSS = 0;
  if (par.JFIT < 10) {
    numlib::LINFIT(E, d.work.Y.span(), x.MEXP, x.JZ1, x.JZ2, par.JFIT, s.AFON, s.AMAX(j), EPSS);
  } else {
    if (s.first == 1) {
      s.AMAX(j) = 3.0f;
      s.DS(j) = 0.0f;
    }
    s.DS(j) *= 20;
    s.AFON = 0;
    float DB = par.AF / x.YEXPM(j);  // background step in normalised counts
    numlib::SCALBG(E, d.work.Y.span(), x.MEXP, x.JZ1, x.JZ2, s.DS(j), DB, s.AMAX(j), s.AFON, par.EPFIN, EPSS,
                   par.JFIT - 10);
  }
  return EPSS;
}

void writeComparison(ZeprinData& d, int j, float EPSS, PassFiles& f) {
  const TimeExperiment& x = d.exper;
  fio::Unit u(8);
  u.openNew(d.axis.BUFFTN[j - 1]);
  for (int i = 1; i <= x.MEXP; ++i)
    u.write("(F11.3,2F10.1)", x.times(i), x.YEXP(i, j) * x.YEXPM(j), finite(d.work.Y(i) * x.YEXPM(j)));
  u.close();
  f.result.write("(I5,F10.3,F15.8)", j, d.model.arrays.angles(j) * 1000, meritOut(EPSS));
}

// Where thick absorbing layers make the transfer-matrix product lose the
// precision of R, those energy points are computed by the recursion; the
// run says so once.
void noteRecursivePoints(ZeprinData& d, int j, int n) {
  char text[160];
  std::snprintf(text, sizeof text,
                " spectrum %d (%.3f mrad), matrix path: %d energy points too thick for the transfer matrices,"
                " computed recursively",
                j, d.model.arrays.angles(j) * 1000, n);
  report(d.log, text);
}

// The few angles run one after the other, each with its energy points on all
// cores.
common::AngleArgs angleArgs(const ZeprinData& d, int j) {
  common::AngleArgs a = common::angleArgs(d.model, d.par, d.mc.XEST, d.grid, d.dist, d.model.arrays.angles(j));
  a.threads = omp_get_max_threads();
  return a;
}

// One angle; returns its share of the pass total (0 without experiment).
float angle(ZeprinData& d, const common::FitState& fs, int j, PassFiles& f) {
  PassWork& p = d.work;
  TimcaluOut& o = p.out;
  const int NSPC = d.fileM.NSPC;
  const bool written = fs.JREP <= 1;
  if (j == 1) {
    if (fs.JREP == 0) d.log.write("(/,/,/,'START !!!',/,/)");
    d.log.write("('  TIMCALU: JREP =',I5)", fs.JREP);
  }
  TIMCALU(d.nc, angleArgs(d, j), d.st, o, p.w);

  const int NE = d.grid.NE;
  const bool sound = allFinite(o.It.span(), JE) && allFinite(o.RE.span(), NE) && allFinite(o.E1.span(), NE) &&
                     allFinite(o.E2.span(), NE);
  if (!sound) report(d.log, " spectrum " + std::to_string(j) + ": the calculation gave values that are not finite");
  if (written && !sound) d.writtenSound = false;
  if (o.recursivePoints > 0 && !d.recursionNoted) {
    noteRecursivePoints(d, j, o.recursivePoints);
    d.recursionNoted = true;
  }
  if (written) {
    f.integr.write("(I3,4F14.6)", j, d.model.arrays.angles(j) * 1000, finite(o.SUME / d.mc.XEST),
                   finite(o.SUMTfull / JE), finite(o.YRELAY));
    if (j == 1) writeFirstAngleFiles(d, o);
  }
  writeNormalisedReflectivity(d, j, o);
  for (int J = 1; J <= JE; ++J) o.It(J) = finite(o.It(J));
  average(d.kernel, o.It, p.YT);
  if (d.expList.NEXP == 0) {
    writeTheoryOnly(d, j);
    return 0.0f;
  }

  theoryAtComparedTimes(d);
  // A spectrum that could not be computed has no merit: the pass is not kept.
  float EPSS = sound ? compare(d, j) : std::numeric_limits<float>::quiet_NaN();
  ScaleSearch& s = d.scale;
  d.log.write("(/,' JSPC,AMAX(JSPC),AFON= ',I4,2F9.5)", j, s.AMAX(j), s.AFON);
  if (j == NSPC) s.first = 2;
  if (!std::isfinite(EPSS)) report(d.log, " spectrum " + std::to_string(j) + ": the merit EPSS is not a finite number");
  if (written && !std::isfinite(EPSS)) d.writtenSound = false;
  for (int i = 1; i <= d.exper.MEXP; ++i) p.Y(i) = p.Y(i) * s.AMAX(j) + s.AFON;
  d.log.write("('              JREP,JSPC,EPSS = ',2I5,F16.8)", fs.JREP, j, EPSS);
  if (written) writeComparison(d, j, EPSS, f);
  return EPSS / static_cast<float>(NSPC) * d.par.weight(j);
}

}  // namespace

float TIMPASS(ZeprinData& d, const common::FitState& fs) {
  common::scaleThicknesses(d.st, d.mc.K0);
  float EPSN = 0;
  const bool written = fs.JREP <= 1;
  PassFiles f;
  if (written) {
    d.writtenSound = true;
    f.result.openNew("RESULT.res");
    f.integr.openNew("INTEGR.res");
    f.integr.write("('  JSPC,ANGLE,SUME/XEST,SUMTfull/JE,YRELAY = ')");
  }
  if (fs.Jcalc == 0) {
    f.close();
    return EPSN;
  }

  for (int j = 1; j <= d.fileM.NSPC; ++j) EPSN += angle(d, fs, j, f);

  if (written && d.expList.NEXP != 0) {
    f.result.write("(F15.8)", meritOut(EPSN));
    d.log.write("('                            EPSSS = ',F15.8)", EPSN);
  }
  f.close();
  return EPSN;
}

}  // namespace zeprin

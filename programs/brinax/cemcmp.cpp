// One pass of the conversion-electron program and its result files.
#include <cmath>
#include <limits>
#include <string>

#include "numlib/fits.hpp"
#include "numlib/interp.hpp"
#include "programs/brinax/brinax.hpp"
#include "programs/brinax/lorcnv.hpp"
#include "programs/common/fitsetup.hpp"
#include "programs/common/newstep.hpp"

namespace brinax {

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

void report(fio::Unit& log, const std::string& text) {
  log.print(text);
  fio::console().print(text);
}

// The area ratios as the model stands, against those its layers give:
// density times thickness, the repeated block counted NRN times.
void checkAreas(BrinaxData& d) {
  const common::Model& m = d.model;
  const auto& a = m.arrays;
  fio::ItemList S = fio::items("check S");
  fio::ItemList ASQ = fio::items("check ASQ");
  Arr1<double, N6> area;
  double total = 0;
  for (int K = 1; K <= m.NM; ++K) {
    area(K) = 0;
    for (int i = 1; i <= m.NNN; ++i) {
      const int w = i >= m.N1N && i <= m.N2N ? m.NRN : 1;
      area(K) += static_cast<double>(a.V(K, i)) * a.thickness(i) * w;
    }
    total += area(K);
    fio::addItem(S, a.S(K));
  }
  // A model without resonant nuclei has no shares to show.
  for (int K = 1; K <= m.NM; ++K) fio::addItem(ASQ, static_cast<float>(total > 0 ? area(K) / total : 0.0));
  d.log.put(fio::freeFormatLine(S));
  d.log.put(fio::freeFormatLine(ASQ));
}

CemsArgs kernelArgs(const BrinaxData& d) {
  CemsArgs a;
  a.IBHF = d.model.IBHF;
  a.NM = d.model.NM;
  a.S = d.model.arrays.S.span();
  a.IMM = d.cems.IMM;
  a.XXM = d.scale.XXM.span();
  a.WDIST = d.dist.WDIST.span();
  a.IDIST = d.par.IDIST;
  return a;
}

// The total spectrum convolved with the source line, divided by its largest
// value, and each multiplet's spectrum on the same scale.  Returns false for
// a spectrum without any absorption, which has no scale (SPC and the
// multiplet columns are then left zero).
bool convolve(BrinaxData& d) {
  CemsCurves& c = d.curves;
  const int IMM = d.cems.IMM, NM = d.model.NM;
  const float DE = d.mc.XEST, GS = d.cems.GS;
  const int LS = d.scale.LS;
  for (int k = 1; k <= IMM; ++k) c.SUM(k) = c.A(k, 0) + c.B(k, 0);
  LORCNV(DE, c.SUM.span(), IMM, GS, LS, c.SPC.span());
  float smin = 0;
  numlib::MINMAX(c.SPC.span(), IMM, smin, c.SMAX);
  const bool scaled = c.SMAX > 0 && std::isfinite(c.SMAX);
  if (!scaled) report(d.log, " SMAX = 0: the calculated spectrum has no absorption (no resonant nuclei ?)");
  for (int k = 1; k <= IMM; ++k) c.SPC(k) = scaled ? c.SPC(k) / c.SMAX : 0.0f;
  for (int K = 1; K <= NM; ++K) {
    for (int k = 1; k <= IMM; ++k) c.SUM(k) = c.A(k, K) + c.B(k, K);
    LORCNV(DE, c.SUM.span(), IMM, GS, LS, c.scratch.span());
    for (int k = 1; k <= IMM; ++k) c.A(k, K) = scaled ? c.scratch(k) / c.SMAX : 0.0f;
  }
  return scaled;
}

// Theory at the measured velocities, scaled and shifted onto the experiment;
// each multiplet column gets the same scale and the whole background.
float compare(BrinaxData& d, bool scaled) {
  CemsCurves& c = d.curves;
  const CemsExperiment& x = d.exper;
  const int IMM = d.cems.IMM, JEXPC = d.cems.JEXPC;
  numlib::INTERS(d.scale.XXM.span(), c.SPC.span(), x.XEXP.span(), c.YTH.span(), IMM, JEXPC);
  numlib::LINFIT(x.YEXP.span(), c.YTH.span(), JEXPC, x.N1, x.N2, d.par.JFIT, c.AFON, c.AMAX, c.EPSS);
  // A spectrum without absorption fits the experiment by its background
  // alone; that is no merit of the model.
  if (!scaled) c.EPSS = kNaN;
  d.log.write("(/, '  AMAX,AFON,EPSS: MEANSQUAREc', 3F10.6, /)", c.AMAX, c.AFON, c.EPSS);
  for (int j = 1; j <= JEXPC; ++j) c.YTH(j) = c.AMAX * c.YTH(j) + c.AFON;
  for (int K = 1; K <= d.model.NM; ++K) {
    // Interpolated into scratch first: column K is its own source.
    numlib::INTERS(d.scale.XXM.span(), c.A.col(K), x.XEXP.span(), c.scratch.span(), IMM, JEXPC);
    for (int j = 1; j <= JEXPC; ++j) c.A(j, K) = c.AMAX * c.scratch(j) + c.AFON;
  }
  c.compared = true;
  return c.EPSS;
}

void writeFit(const BrinaxData& d) {
  const CemsCurves& c = d.curves;
  const bool exp = d.cems.NSPCE != 0;
  const int n = exp ? d.cems.JEXPC : d.cems.IMM;
  fio::Unit u(8);
  u.openNew("CEMfit.res");
  for (int j = 1; j <= n; ++j) {
    fio::ItemList l = exp ? fio::items(d.exper.XEXP(j), d.exper.YEXP(j), c.YTH(j))
                          : fio::items(d.scale.XXM(j), 0.0f, c.SPC(j));
    for (int K = 1; K <= d.model.NM; ++K) fio::addItem(l, c.A(j, K));
    u.writeList("(F11.3, 10F11.6)", l);
  }
  u.close();
}

// Experiment and theory as counts relative to the smallest count.  Without a
// positive smallest count there is nothing to be relative to: the file is
// not written (and one left by an earlier run is emptied of its stale curves).
void writeOriginal(BrinaxData& d) {
  const CemsExperiment& x = d.exper;
  fio::Unit u(8);
  u.openNew("CEMorig.res");
  if (!(x.YEN > 0)) {
    u.close();
    report(d.log, " YEN = 0: CEMorig.res (counts relative to the smallest count) stays empty");
    return;
  }
  const float RATIO = (x.YEM - x.YEN) / x.YEN;
  for (int j = 1; j <= d.cems.JEXPC; ++j)
    u.write("(F11.3, 2F11.6)", x.XEXP(j), RATIO * x.YEXP(j) + 1, RATIO * d.curves.YTH(j) + 1);
  u.close();
}

}  // namespace

// LINFIT weighs by 1/E^JFIT.  A JFIT above 10 is lowered by 10 as often as
// it takes to reach 10 or below, before the first pass: every pass, the
// first included, then compares with the same power.
int linfitPower(int JFIT) { return JFIT > 10 ? JFIT - 10 * ((JFIT - 1) / 10) : JFIT; }

float CEMCMP(BrinaxData& d, const common::FitState& fs) {
  if (d.firstPass) d.log.write("(/, /, /, 'START !!!', /, /)");
  d.firstPass = false;
  if (fs.JREP < 2) checkAreas(d);
  if (d.model.IBHF == 2) {
    // Area ratios given per multiplet: the densities are recalculated.
    d.model.ISQ = 0;
    d.model.ISQn = 0;
  }
  d.log.write("('  CEMScal: JREP =', I5)", fs.JREP);
  common::scaleThicknesses(d.st, d.mc.K0);
  CEMScal(d.nc, kernelArgs(d), d.st, d.curves.A, d.curves.B, &d.log);
  const bool scaled = convolve(d);
  if (d.cems.NSPCE == 0) return 0.0f;
  const float EPSS = compare(d, scaled);
  d.log.write("('              EPSS,EPSbest = ', 2F16.8)", EPSS, fs.EPSSS);
  return EPSS;
}

void WRCEMS(BrinaxData& d, const common::FitState& fs) {
  writeFit(d);
  if (d.cems.NSPCE != 0) writeOriginal(d);
  // The best merit the fit kept; after a comparison without a fit, the merit
  // of that comparison; 0 when nothing was compared.
  float EPS = 0;
  if (fs.bestFilled)
    EPS = fs.EPSSS;
  else if (d.curves.compared)
    EPS = d.curves.EPSS;
  fio::Unit u(8);
  u.openNew("EpsCEM.res");
  u.write("(F10.4)", common::meritOut(EPS));
  u.close();
}

}  // namespace brinax

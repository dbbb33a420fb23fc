#include "programs/common/params.hpp"

#include "programs/common/hardstop.hpp"

namespace common {

namespace {

constexpr double kRightAngleMrad = 1570.796;  // pi/2 rad, rounded down

// Correlation pairs up to and including the one whose ICORR is 0.
void readCorrelations(fio::Unit& in, fio::Unit& log, CalcParams& p, bool echo) {
  for (int I = 1;; ++I) {
    if (I > kMaxCorr) hardStop(" more than 15 correlation pairs in ZEPRIN.INP (no closing ICORR = 0) !");
    in.read(p.ICORR(I));
    in.read(p.IMAN(I));
    if (echo) log.write("(' ICORR(I),IMAN(I) =', 2I5)", p.ICORR(I), p.IMAN(I));
    if (p.ICORR(I) == 0) {
      p.IFC = I - 1;
      break;
    }
  }
  log.print("IFC - number of the correlated columns", p.IFC);
}

}  // namespace

// LINFIT weighs a count E by 1/E**power.  A negative power weighs the largest
// counts most, and at the int limit every weight but that of a count of 1 is
// 0 or infinite: the fit then passes through one point and scores 0.
void requireWeightPower(int power, std::string_view name, std::string_view file) {
  if (power < 0) hardStop(" " + std::string(name) + " in " + std::string(file) + " must not be negative !");
}

void RDPARAM(fio::Unit& log, CalcParams& p, const ParamsOptions& opt) {
  const bool full = opt.kind == ParamsKind::TimeSpectra;
  const bool delp = opt.kind == ParamsKind::DelayedPrompt;
  const bool prompt = opt.kind == ParamsKind::PromptOnly;
  fio::Unit in(5);
  in.openOld("ZEPRIN.INP");
  if (opt.heading) {
    log.print();
    log.print(" ZEPRIN.INP");
  }
  in.read(p.Jway);
  if (!full) log.print(" JWAY = ", p.Jway);
  in.read(p.ITEST);
  in.read(p.XEXP1);
  in.read(p.XEXP2);
  in.skip();
  in.read(p.weight(1), p.weight(2), p.weight(3), p.weight(4));
  in.read(p.EPFIN);
  if (!delp) log.write("('   EPFIN - limit for iterations of EPSS ', F10.6, /)", p.EPFIN);
  in.read(p.AF);
  if (prompt) log.write("(' background AF =', F8.1, /)", p.AF);
  in.skip();
  readCorrelations(in, log, p, !delp);
  in.read(p.SIG);
  in.read(p.JFIT);
  if (!delp) log.print(" JFIT =  ", p.JFIT);
  in.read(p.ISTOP);
  if (full) log.print(" ISTOP =  ", p.ISTOP);
  in.read(p.KP);
  if (full) log.print(" KP =  ", p.KP);
  if (!prompt) {
    in.read(p.SIGMA);
    log.print(" SIGMA", p.SIGMA);
    in.read(p.JAV1);
    log.print(" JAV1", p.JAV1);
    in.read(p.SD);
    in.read(p.IDIST);
    if (delp) log.print(" IDIST", p.IDIST);
  }
  in.close();
}

void RDFILEM(fio::Unit& log, ModelFileRef& f, const FileMOptions& opt) {
  fio::Unit in(8);
  in.openOld("FileM.inp");
  if (opt.heading) {
    log.print();
    log.print(" FileM.inp");
  }
  f.name = in.readA(32);
  log.print(" name of MODEL file:    ", f.name);
  if (opt.angles) {
    in.read(f.NSPC);
    log.print(" number of calc. relectivity spectra   ", f.NSPC);
    if (f.NSPC < 0 || f.NSPC > kMaxSpectra) hardStop(" number of spectra NSPC in FileM.inp must lie in 0..4 !");
    for (int i = 1; i <= f.NSPC; ++i) {
      double mrad = 0;
      in.read(mrad);
      // A zero angle gives no reflection at all and NaN in every result; a
      // negative one, or one of 90 degrees or more, is no grazing incidence.
      // Stopping here beats a run that ends in results that mean nothing.
      if (!(mrad > 0 && mrad < kRightAngleMrad))
        hardStop(" grazing angle in FileM.inp must lie between 0 and 1570.796 mrad (90 degrees) !");
      f.angle(i) = mrad / 1000;
    }
  }
  in.close();
}

void RDNEXT(fio::Unit& log, fio::Unit& next, int ITEST, int& Jcalc, bool heading) {
  next.openOld("next.INP");
  if (heading) {
    log.print();
    log.print("  next.INP");
  }
  next.read(Jcalc);
  log.print(" Jcalc=", Jcalc);
  if (ITEST == 2) Jcalc = 1;
}

}  // namespace common

#include "programs/common/constants.hpp"

#include <cmath>
#include <string>

#include "numlib/mathconst.hpp"
#include "programs/common/hardstop.hpp"

namespace common {

namespace {

// Single-precision literals widened to double, as the derived constants
// have always been computed with them.
constexpr double kC = 2.9979246f;       // speed of light, 1e8 m/s (keV / (mm/s) -> 1e-11 keV)
constexpr double kH = 4.1356673f;       // Planck constant, 1e-15 eV s
constexpr double kTwoPi = numlib::kTwoPi;
constexpr double kHbar = 0.6582119f;    // reduced Planck constant, 1e-15 eV s
constexpr double kHcDelayed = 12.398418;  // h c, keV Angstrom

void requirePositive(double x, std::string_view what) {
  if (!(x > 0)) {
    std::string msg(" ");
    msg += what;
    msg += " in Tconst.INI must be larger than 0 !";
    hardStop(msg);
  }
}

// A derived constant that is not finite would make every spectrum NaN.
void requireFinite(double x, std::string_view what) {
  if (!std::isfinite(x)) {
    std::string msg(" the constants in Tconst.INI give ");
    msg += what;
    msg += " that is not finite !";
    hardStop(msg);
  }
}

// The derived constants, in the precision the calculation takes them: the
// energy grid (JE/2 + 10 steps of XEST on either side) and the time step
// LYAMBDA/XEST/JE*100 are single precision.
void checkDerived(const NuclearConstants& nc, const MainConstants& mc, ConstantsKind kind) {
  requireFinite(mc.AT, "AT");
  requireFinite(mc.LYAMBDA, "a wavelength LYAMBDA");
  requireFinite(mc.K0, "a wave number K0");
  if (kind == ConstantsKind::EnergyOnly) return;
  requireFinite(nc.QRAT, "a quadrupole ratio QRAT");
  for (int i = 1; i <= nc.I2G + 1; ++i)
    for (int j = 1; j <= 3; ++j) requireFinite(nc.CTRANS(i, j), "a line intensity CTRANS");
  requireFinite(mc.SIGMA0, "a cross-section SIGMA0");
  requireFinite(nc.HF, "a scattering factor HF");
  requireFinite(meanDecayTime(nc, mc), "a mean decay time");
  requireFinite(fullWidth(nc, mc), "a full width");
  requireFinite(static_cast<float>(nc.JE / 2 + 10) * mc.XEST, "an energy grid (XEST)");
  const float AN = static_cast<float>(mc.LYAMBDA / mc.XEST / nc.JE * 100);
  if (!(AN > 0)) hardStop(" the constants in Tconst.INI give no time step LYAMBDA/XEST/JE*100 larger than 0 !");
  requireFinite(AN, "a time step LYAMBDA/XEST/JE*100");
}

void readTransitionTable(fio::Unit& in, fio::Unit& log, NuclearConstants& nc) {
  in.skip();  // comment
  float DENOM = 0;
  in.read(DENOM);
  log.print(" DENOM", DENOM);
  if (DENOM == 0) hardStop(" DENOM in Tconst.INI must not be 0 !");
  for (int i = 1; i <= nc.I2G + 1; ++i) {
    log.write("('mg', F10.5)", nc.I2G * 0.5 - i + 1);
    double c[3];
    in.read(c[0], c[1], c[2]);
    for (int j = 1; j <= 3; ++j) {
      nc.CTRANS(i, j) = c[j - 1] / DENOM;
      log.write("(I3, F10.5)", 2 - j, nc.CTRANS(i, j));
    }
  }
}

// The three factors of the nuclear scattering factor HF (records 11 to 13).
struct HFFactors {
  float FHF1 = 0, FHF2 = 0, FHF3 = 0;
};

// Reads records 1 to the end; returns the three factors of HF.
HFFactors readWholeFile(fio::Unit& in, fio::Unit& log, NuclearConstants& nc, MainConstants& mc) {
  in.skip();  // title
  in.read(mc.ERES);
  requirePositive(mc.ERES, "ERES");
  in.read(nc.I2G);
  in.read(nc.I2E);
  // The table has one row per ground sub-level, ten at most.  Its lines join
  // ground sub-level mg to the excited ones mg+2, mg and mg-2, so none
  // reaches an excited sub-level beyond 11 (doubled units): a larger spin
  // cannot be meant.
  if (nc.I2G < 0 || nc.I2G > 9) hardStop(" I2G+1 (ground sub-levels) must lie in 1..10 !");
  if (nc.I2E < 0 || nc.I2E > 11) hardStop(" I2E+1 (excited sub-levels) must lie in 1..12 !");
  in.read(nc.GFAC);
  in.read(nc.EFAC);
  float qg = 0, qe = 0;
  in.read(qg);
  in.read(qe);
  nc.QRAT = qg / qe;
  in.read(mc.ALFA);
  log.print(" ALFA=", mc.ALFA);
  in.read(nc.GE);
  requirePositive(nc.GE, "GE");
  HFFactors f;
  in.read(f.FHF1);
  in.read(f.FHF2);
  in.read(f.FHF3);
  in.read(mc.XEST);
  requirePositive(mc.XEST, "XEST");
  in.read(mc.XEMAX);
  log.print("XEMAX", mc.XEMAX);
  readTransitionTable(in, log, nc);
  in.close();
  return f;
}

// Everything that follows from ERES and the wavelength.
void derive(NuclearConstants& nc, MainConstants& mc, const HFFactors& f, ConstantsKind kind) {
  nc.JE = JEMAX;
  mc.AT = mc.ERES / kC;
  // The delayed-prompt program takes the wavelength from h c / E.
  mc.LYAMBDA = kind == ConstantsKind::DelayedPrompt ? kHcDelayed / mc.ERES : kH / mc.AT;
  mc.K0 = kTwoPi / mc.LYAMBDA;
  if (kind == ConstantsKind::EnergyOnly) return;
  mc.SIGMA0 = mc.LYAMBDA * mc.LYAMBDA / kTwoPi / (mc.ALFA + 1.0) * (nc.I2E + 1) / (nc.I2G + 1);
  // Left to right in double precision, each factor widened as it comes.
  nc.HF = mc.SIGMA0 * mc.LYAMBDA * 0.5 / kTwoPi * f.FHF3 * f.FHF2 * f.FHF1 * nc.GE;
}

void logDerived(fio::Unit& log, const NuclearConstants& nc, const MainConstants& mc, ConstantsKind kind) {
  if (kind == ConstantsKind::DelayedPrompt) {
    log.print(" ERES(keV),LYAMBDA(A)=", mc.ERES, mc.LYAMBDA);
    log.print(" SIGMA0", mc.SIGMA0, " A**2");
    log.print(" HF", nc.HF);
    return;
  }
  if (kind != ConstantsKind::EnergyOnly) log.print();
  log.print("coeff.for transform of mm/s to kev AT=ER/c = ");
  log.print(mc.AT, "   *10-11 keV/(mm/s)");
  log.print();
  log.print(" ERES(keV),LYAMBDA(A)=", mc.ERES, mc.LYAMBDA);
  if (kind == ConstantsKind::EnergyOnly) {
    log.print();
    return;
  }
  log.print(" SIGMA0", mc.SIGMA0, " A**2");
  log.print(" HF", nc.HF);
  log.print(" mean decay time ", meanDecayTime(nc, mc), "*10-9 s");
  log.print(" GE*AT -full width in eV *10-9", fullWidth(nc, mc));
  log.print();
}

}  // namespace

double meanDecayTime(const NuclearConstants& nc, const MainConstants& mc) { return kHbar / nc.GE / mc.AT * 100; }

double fullWidth(const NuclearConstants& nc, const MainConstants& mc) { return mc.AT * nc.GE * 10; }

void RDCONST(fio::Unit& log, NuclearConstants& nc, MainConstants& mc, const ConstantsOptions& opt) {
  fio::Unit in(1);
  if (opt.kind == ConstantsKind::EnergyOnly) {
    log.openNew(opt.runLog);
    log.setRunLog();
    in.openOld("Tconst.INI");
    in.skip();
    in.read(mc.ERES);
    in.close();
    requirePositive(mc.ERES, "ERES");
    derive(nc, mc, HFFactors{}, opt.kind);
    checkDerived(nc, mc, opt.kind);
    logDerived(log, nc, mc, opt.kind);
    return;
  }
  // The constants file is opened first: without it the old run log stays.
  in.openOld("Tconst.INI");
  log.openNew(opt.runLog);
  log.setRunLog();
  if (opt.kind == ConstantsKind::Conversion) {
    log.print();
    log.print("Tconst.INI");
  } else {
    log.print("data from Tconst.INI");
  }
  const HFFactors f = readWholeFile(in, log, nc, mc);
  derive(nc, mc, f, opt.kind);
  checkDerived(nc, mc, opt.kind);
  logDerived(log, nc, mc, opt.kind);
}

}  // namespace common

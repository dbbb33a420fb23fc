// One pass of the prompt program: the table unpacked into the layers, the
// stepped susceptibility, the reflectivity at every angle and its comparison
// with the experiment.
#include <string>
#include <string_view>
#include <vector>

#include "numlib/nref.hpp"
#include "programs/common/filename.hpp"
#include "programs/common/fitsetup.hpp"
#include "programs/common/gauss.hpp"
#include "programs/common/hardstop.hpp"
#include "programs/common/newstep.hpp"
#include "programs/quasto/quasto.hpp"

namespace quasto {

namespace {

namespace yv = numlib::yv;

constexpr const char* kFirstHeader =
    "('     H1A      EL.DENS.                           ZD1     ZD2  WIDTH  KIND1 KIND2 KSTEP')";

// Only the electronic part of the table counts: thickness, susceptibility
// (real part made non-positive, imaginary part non-negative, the corrected
// signs kept in the table) and the interface parameters.
void unpack(QuastoData& d) {
  common::Model& m = d.model;
  numlib::unpackElectronic(d.YV, m.NNN, true, m.arrays);
  for (int N = 1; N <= m.NNN; ++N) {
    m.ZD1(N) = d.YV(N, yv::ZD1);
    m.ZD2(N) = d.YV(N, yv::ZD2);
    m.WIDTH(N) = d.YV(N, yv::WIDTH);
  }
}

void echoFirst(QuastoData& d) {
  d.log.write("(/, ' for first calculation ')");
  d.log.print();
  d.log.write(kFirstHeader);
  common::echoLayerRecords(d.log, d.model);
  if (d.kind.JMODEL <= 1) common::echoDensityRecords(d.log, d.model);
}

// Layer 4 as an interface probe: its values must not change while the grid
// is built.
void logInterfaces(QuastoData& d) {
  const common::Model& m = d.model;
  d.log.print(" ZD,WIDTH", m.ZD1(4), m.ZD2(4), m.WIDTH(4));
}

// Records 1..n of a curve file, record(i) giving the items of record i: the
// formatting, most of the cost of a pass after the reflectivity itself, runs
// on all cores; the records go out in order, each through the unit's check
// for values that are not finite.
template <class Record>
void writeRecords(fio::Unit& u, int n, std::string_view format, const Record& record) {
  struct Formatted {
    std::string text;
    bool nonFinite = false;
  };
  static std::vector<Formatted> out;
  out.resize(static_cast<std::size_t>(n));
#pragma omp parallel for schedule(dynamic, 32)
  for (int i = 1; i <= n; ++i) {
    const fio::ItemList items = record(i);
    out[i - 1] = {fio::formatRecords(format, items), fio::holdsNonFinite(items)};
  }
  for (const Formatted& r : out) {
    if (r.nonFinite) u.noteNonFinite();
    u.put(r.text);
  }
}

void writeCalculated(const QuastoData& d) {
  fio::Unit u(8);
  u.openNew("PROMP2.res");
  const PromptCurve& c = d.curve;
  writeRecords(u, d.prm.Nstepp, "(F11.3, 2F18.6)", [&](int j) { return fio::items(c.mrad(j), 0.0f, c.R(j)); });
  u.close();
}

void writeCompared(const QuastoData& d) {
  const Comparison& c = d.cmp;
  fio::Unit u(8);
  u.openNew("PROMP2.res");
  writeRecords(u, c.x.JEXP, "(F11.3, 2F20.6)",
               [&](int i) { return fio::items(c.x.XE(i), c.YEXPMAX * c.x.YEXPP(i), c.YEXPMAX * c.theory(i)); });
  u.close();
}

// The comparison cannot be made: the reason in the run log and on the
// console, and no "PROMP2.res" of an earlier pass or run that could pass
// for this one.
bool cannotCompare(QuastoData& d, const std::string& text) {
  if (!text.empty()) {
    d.log.print(text);
    fio::console().print(text);
  }
  nrsfile::removeExisting("PROMP2.res");
  return false;
}

// The experiment file, its prompt column in units of its largest count.
bool readExperiment(QuastoData& d) {
  Comparison& c = d.cmp;
  fio::Unit in(3);
  const int n = common::openReflExperiment(in, d.prm.expName);
  if (n > kMaxPoints) {
    in.close();
    fio::console().write("(/, /, ' JEXP should not be larger 3500 !!!', /, '             STOP!!!', /, /)");
    return cannotCompare(d, "");
  }
  if (n < 2) {
    in.close();
    return cannotCompare(d, common::fewPointsText(d.prm.expName, 2));
  }
  common::readReflPoints(in, n, c.x);
  if (const std::string text = common::refusedPoints(c.x, d.prm.expName); !text.empty())
    return cannotCompare(d, text);
  c.YEXPMAX = common::normaliseToMax(c.x.YEXPP.span(), n);
  d.log.print(" YEXPMAX", c.YEXPMAX);
  return true;
}

}  // namespace

void NEWSTEPQ(QuastoData& d, const common::FitState& fs) {
  unpack(d);
  if (fs.JREP == 0) echoFirst(d);
  logInterfaces(d);
  common::stepSusceptibility(d.model, d.st);
  logInterfaces(d);
  if (fs.JREP == 0) {
    d.log.print("   !!!! NEW STEPS !!!! ");
    d.log.print(d.st.NNst, "             NNst");
    d.log.print(d.st.N1Nst, d.st.N2Nst, "      N1Nst,N2Nst");
  }
}

// The angles are independent: each thread computes its share of R, and the
// result of an angle does not depend on which thread computed it.
void PRMLOOP(QuastoData& d, const common::FitState& fs, fio::Unit& relay) {
  if (fs.JREP == 0) d.log.write("(/, /, /, 'START !!!', /, /)");
  d.log.write("('  NREF: JREP =', I5)", fs.JREP);
  const common::SteppedModel& st = d.st;
  PromptCurve& c = d.curve;
  const int n = d.prm.Nstepp;
  const numlib::Span1<const double> D = st.thickness;
  const numlib::Span1<const std::complex<double>> chi = st.chi;
#pragma omp parallel for schedule(dynamic, 32)
  for (int j = 1; j <= n; ++j) numlib::NREF(c.rad(j), st.NNst, st.N1Nst, st.N2Nst, st.NRR, D, chi, c.R(j));
  writeRecords(relay, n, "(7F14.6)", [&](int j) { return fio::items(c.mrad(j), c.R(j)); });
}

bool CMPPRM(QuastoData& d, const common::FitState& fs, float& EPSS) {
  if (!readExperiment(d)) return false;
  common::PromptSettings& p = d.prm;
  Comparison& c = d.cmp;
  PromptCurve& r = d.curve;
  if (p.DIV != 0) common::GAUSS(d.log, r.mrad, r.R, p.Nstepp, p.DIV, p.NG);
  common::footprint(r.mrad, r.R, p.Nstepp, p.ANGBEAM);
  common::comparisonWindow(c.x, r.mrad(1), r.mrad(p.Nstepp), p.ACOMP1, p.ACOMP2, c.JZ1, c.JZ2);
  if (fs.JREP == 0) {
    d.log.print("ACOMP1,JZ1=", p.ACOMP1, c.JZ1);
    d.log.print("ACOMP2,JZ2=", p.ACOMP2, c.JZ2);
  }
  // The file is read again in every pass, and may have changed.
  if (const std::string text =
          common::refusedWindow(c.x.YEXPP.span(), c.JZ1, c.JZ2, 0.0f, {p.expName, "prompt count", "ACOMP1", "ACOMP2"});
      !text.empty())
    return cannotCompare(d, text);
  common::theoryAtExperiment(r.mrad, r.R, p.Nstepp, c.x, c.theory);
  if (p.JFITP >= 10) d.par.JFIT = p.JFITP - 10;
  EPSS = common::fitScale(c.x.YEXPP, c.theory, c.x.JEXP, c.JZ1, c.JZ2, p.JFITP, d.par.AF, c.YEXPMAX, p.EPFINP, c.fit);
  common::ScaleFit& f = c.fit;
  if (f.first) {
    d.log.write("(/, ' AMAX,AFON= ', 2F9.5, /, /)", f.scale, f.background);
    f.first = false;
  }
  if (f.background < 0) f.background = 0;
  for (int i = 1; i <= c.x.JEXP; ++i) c.theory(i) = f.scale * c.theory(i) + f.background;
  writeCompared(d);
  return true;
}

common::PassResult PASSQ(QuastoData& d, const common::FitState& fs) {
  common::scaleThicknesses(d.st, d.mc.K0);
  fio::Unit result(1), relay(2);
  result.openNew("RESULTI.res");
  relay.openNew("RELAY.res");
  common::PassResult out;
  if (fs.Jcalc != 0) {
    PRMLOOP(d, fs, relay);
    float EPSS = 0;
    if (d.prm.Intexp == 0) {
      writeCalculated(d);
    } else if (CMPPRM(d, fs, EPSS)) {
      out.EPSN = EPSS;
      result.write("(3F15.8)", common::meritOut(EPSS), 0.0f, common::meritOut(EPSS));
    } else {
      d.comparisonFailed = true;
      out.endFit = true;
    }
  }
  result.close();
  relay.close();
  return out;
}

}  // namespace quasto

#include "programs/common/newstep.hpp"

#include "numlib/mathconst.hpp"
#include "numlib/sublay.hpp"
#include "numlib/vnorm.hpp"
#include "numlib/yvmod.hpp"
#include "programs/common/modelout.hpp"

namespace common {

using numlib::kDegPerRad;

namespace {

// One profiled quantity per layer, staged in the precision the grid takes.
struct Staged {
  Arr1<double, N24> value, ZD;
  Arr1<int, N24> KIND;
};

// Builds the grid of one quantity; the grid itself (thicknesses, parents,
// block marks) is the same for every quantity of the pass.
void buildGrid(Model& m, const Staged& q, SteppedModel& st, Arr1<double, NMAX>& out) {
  numlib::SUBLAY(m.NNN, m.N1N, m.N2N, m.NRN, m.arrays.thickness, q.value, m.WIDTH, q.ZD, q.KIND, m.KSTEP, st.NNst,
                 st.N1Nst, st.N2Nst, st.thickness, out, st.parent, st.NRR);
  if (st.NNst > NMAX) ERREXIT();
}

void echoUnpacked(fio::Unit& log, const Model& m, const YVTable& YV) {
  const auto& a = m.arrays;
  log.write("(/, ' for first calculation ')");
  log.print();
  log.write(kLayerHeader);
  for (int N = 1; N <= m.NNN; ++N)
    writeLayerLine(log, {N, a.thickness(N), a.ELD1(N), a.ELD2(N), m.ZD1(N), m.ZD2(N), m.WIDTH(N), m.KIND1(N),
                         m.KIND2(N), m.KSTEP(N)});
  log.write(kDensityHeader);
  for (int N = 1; N <= m.NNN; ++N) {
    std::array<float, N6> V;
    for (int K = 1; K <= N6; ++K) V[K - 1] = a.V(K, N);
    std::array<float, 5> angles;
    // With IBHF = 2 the angular arrays are indexed by multiplet, so line N
    // would show multiplet N's angles; the sublayer's own columns of YV
    // (degrees, as in the model file) belong on its line.
    if (m.IBHF == 1)
      angles = {a.BE(N) * kDegPerRad, a.GA(N) * kDegPerRad, a.RAND(N), a.PLAN(N), a.WID(N) * kDegPerRad};
    else
      for (int r = 1; r <= yv::NANG; ++r) angles[r - 1] = YV(N, yv::colAng(r));
    writeDensityLine(log, N, V, angles);
  }
  fio::ItemList s;
  for (int K = 1; K <= m.NM; ++K) fio::addItem(s, a.S(K));
  // The heading goes on its own: with more than six multiplets the values
  // go on in the same fields on the next line, not under a second heading.
  log.write("(/, '   corrected S   ')");
  log.writeList("(6F9.5)", s);
}

void echoGrid(fio::Unit& log, const SteppedModel& st) {
  log.print("   !!!! NEW STEPS !!!! ");
  log.print(st.NNst, "             NNst");
  log.print(st.N1Nst, st.N2Nst, "      N1Nst,N2Nst");
  log.print(st.NRR, "      NRR");
  log.print(" new MODEL for electronic and nuclear reflectivity");
  log.write(kLayerHeader);
  for (int i = 1; i <= st.NNst; ++i)
    writeLayerLine(log, {.N = i, .H1A = st.thickness(i), .ELD1 = st.chi(i).real() * 1e6, .ELD2 = st.chi(i).imag() * 1e6});
  log.write(kDensityHeader);
  for (int i = 1; i <= st.NNst; ++i) {
    std::array<float, N6> V;
    for (int K = 1; K <= N6; ++K) V[K - 1] = st.V(K, i);
    writeDensityLine(log, i, V,
                     {st.BE(i) * kDegPerRad, st.GA(i) * kDegPerRad, st.RAND(i), st.PLAN(i), st.WID(i) * kDegPerRad});
  }
}

void unpack(fio::Unit& log, Model& m, YVTable& YV, const CalcParams& p, const FitState& fs, NuclearConstants& nc,
            TableUnpacker unpackTable) {
  if (unpackTable)
    unpackTable(log, YV, m, fs.selector, fs.rowCode(), p.SIG);
  else
    numlib::YVMOD(YV, m.NNN, m.N1N, m.N2N, m.NRN, m.NM, m.IBHF, m.INORM, m.ISQ, m.HKS, m.period, fs.selector,
                  fs.rowCode(), p.SIG, m.JVN, m.arrays);
  for (int N = 1; N <= m.NNN; ++N) {
    m.ZD1(N) = YV(N, yv::ZD1);
    m.ZD2(N) = YV(N, yv::ZD2);
    m.WIDTH(N) = YV(N, yv::WIDTH);
    for (int K = 1; K <= N6; ++K) m.ZDV(K, N) = YV(N, yv::colZDV(K));
  }
  nc.Bhf = m.arrays.Bhf;
  nc.dBhf = m.arrays.dBhf;
  nc.IS = m.arrays.IS;
  nc.EFG = m.arrays.EFG;
  nc.GRd = m.arrays.GRd;
}

void stepDensities(Model& m, SteppedModel& st) {
  Staged q;
  Arr1<double, NMAX> sub;
  for (int K = 1; K <= m.NM; ++K) {
    for (int N = 1; N <= m.NNN; ++N) {
      q.value(N) = m.arrays.V(K, N);
      q.ZD(N) = m.ZDV(K, N);
      q.KIND(N) = m.KINDV(K, N);
    }
    buildGrid(m, q, st, sub);
    for (int i = 1; i <= st.NNst; ++i) st.V(K, i) = static_cast<float>(sub(i));
  }
}

// The stepped model carries each sublayer's parent density as its HK.
void normaliseStepped(Model& m, SteppedModel& st) {
  Arr1<float, NMAX> HK;
  for (int i = 1; i <= st.NNst; ++i) HK(i) = m.HKS(st.parent(i));
  numlib::VNORM(m.ISQn, m.INORMn, m.arrays.HKMAX, st.NNst, m.NM, st.N1Nst, st.N2Nst, st.NRR, st.thickness,
                m.arrays.S, st.V, HK, m.arrays.F);
}

void stepAngles(const Model& m, SteppedModel& st) {
  const auto& a = m.arrays;
  if (m.IBHF < 2) {
    for (int i = 1; i <= st.NNst; ++i) {
      const int N = st.parent(i);
      st.BE(i) = a.BE(N);
      st.GA(i) = a.GA(N);
      st.RAND(i) = a.RAND(N);
      st.PLAN(i) = a.PLAN(N);
      st.WID(i) = a.WID(N);
    }
  } else {
    for (int K = 1; K <= m.NM; ++K) {
      st.BE(K) = a.BE(K);
      st.GA(K) = a.GA(K);
      st.RAND(K) = a.RAND(K);
      st.PLAN(K) = a.PLAN(K);
      st.WID(K) = a.WID(K);
    }
  }
}

}  // namespace

void NEWSTEP(fio::Unit& log, Model& m, YVTable& YV, const CalcParams& p, const FitState& fs, NuclearConstants& nc,
             SteppedModel& st, TableUnpacker unpackTable) {
  unpack(log, m, YV, p, fs, nc, unpackTable);
  if (fs.JREP == 0) echoUnpacked(log, m, YV);
  stepDensities(m, st);
  if (m.JVN == 2) normaliseStepped(m, st);
  stepSusceptibility(m, st);
  stepAngles(m, st);
  st.phase = false;
  if (fs.JREP == 0) echoGrid(log, st);
}

void stepSusceptibility(Model& m, SteppedModel& st) {
  Staged q;
  Arr1<double, NMAX> re, im;
  for (int N = 1; N <= m.NNN; ++N) {
    q.value(N) = m.arrays.ELD2(N);
    q.ZD(N) = m.ZD2(N);
    q.KIND(N) = m.KIND2(N);
  }
  buildGrid(m, q, st, im);
  for (int N = 1; N <= m.NNN; ++N) {
    q.value(N) = m.arrays.ELD1(N);
    q.ZD(N) = m.ZD1(N);
    q.KIND(N) = m.KIND1(N);
  }
  buildGrid(m, q, st, re);
  for (int i = 1; i <= st.NNst; ++i) st.chi(i) = {re(i) / 1e6, im(i) / 1e6};
  st.phase = false;
}

void scaleThicknesses(SteppedModel& st, double K0) {
  if (st.phase) return;
  st.phase = true;
  for (int i = 1; i <= st.NNst; ++i) st.thickness(i) *= K0;
}

}  // namespace common

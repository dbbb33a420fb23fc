#include "programs/common/modelout.hpp"

#include <algorithm>
#include <cmath>

#include "numlib/sublay.hpp"
#include "programs/common/filename.hpp"
#include "programs/common/staircase.hpp"

namespace common {

namespace {

bool repeatsBlock(const SteppedModel& st) { return common::repeatsBlock(st.NNst, st.N1Nst, st.N2Nst, st.NRR); }

struct ProfilePoint {
  double depth;  // nm
  int sub;       // stepped sublayer whose values the point takes, 0 for none
};

void writeHyperfine(fio::Unit& out, const Model& m, const YVTable& YV) {
  const char* labels[5] = {"'    Bhf(T)'", "'    dBhf(T)'", "'    IS(mm/s)'", "'    EFG(mm/s)'", "'    GRd(mm/s)'"};
  for (int r = 1; r <= yv::NHYP; ++r) {
    const int line = yv::lineHyp(m.NNN, r);
    fio::ItemList l = fio::items(line);
    for (int K = 1; K <= N6; ++K) fio::addItem(l, YV(line, K));
    out.writeList(std::string("(I3, '  ', 8F9.4, ") + labels[r - 1] + ")", l);
  }
}

void writeAngularPerMultiplet(fio::Unit& out, const Model& m, const YVTable& YV) {
  const char* forms[5] = {"(I3, '  ', 8F9.1, '    BE')", "(I3, '  ', 8F9.1, '    GA')", "(I3, '  ', 8F9.3, '    RAND')",
                          "(I3, '  ', 8F9.3, '    PLAN')", "(I3, '  ', 8F9.1, '    WID')"};
  for (int r = 1; r <= yv::NANG; ++r) {
    const int line = yv::lineAngM(m.NNN, r);
    fio::ItemList l = fio::items(line);
    for (int K = 1; K <= N6; ++K) fio::addItem(l, YV(line, K));
    out.writeList(forms[r - 1], l);
  }
}

// A file that cannot be removed stays; the run log tells why it is stale.
void removeProfile(const char* name) { nrsfile::removeExisting(name); }

}  // namespace

void ERREXIT() {
  fio::console().print(" Number of sublayers is larger than Nmax!");
  fio::stop(1);
}

long long profilePoints(const SteppedModel& st) {
  const long long NNst = st.NNst;
  if (repeatsBlock(st)) return 2 * (NNst + (st.NRR - 1LL) * (st.N2Nst - st.N1Nst + 1LL)) + 1;
  return 2 * NNst + 1;
}

bool WRPROF(fio::Unit& log, const Model& m, const SteppedModel& st, double K0, const ProfileOptions& opt) {
  const long long Npr = profilePoints(st);
  log.print(opt.nprLabel, Npr);
  if (Npr > kMaxProfile) {
    log.print("Npr.GT.(2*NMAX+1) !!!");
    // The run goes on to the fitted model but ends with a non-zero status:
    // the console says why.
    fio::console().print(" Npr.GT.(2*NMAX+1) !!! the depth profile needs", Npr,
                         " points, at most 601: EL_mod.RES and MODELN.RES not written");
    removeProfile("EL_mod.RES");
    if (opt.densities) removeProfile("MODELN.RES");
    return false;
  }

  const auto& H1A = m.arrays.thickness;
  double XM1 = 0, block = 0;
  // Without repetitions the block may lie anywhere, at the int limits too.
  for (int N = 1; N < std::min(m.N1N, m.NNN + 1); ++N) XM1 += H1A(N) / 10;
  for (int N = std::max(m.N1N, 1); N <= std::min(m.N2N, m.NNN); ++N) block += H1A(N) / 10;
  const double XM2 = XM1 + block;
  log.write("(/, ' XM1,XM2 (depths of repeated layers) = ', 2F11.4)", XM1, XM2);
  const double period = m.N2N <= m.NNN - 1 && m.N1N <= m.N2N ? block : 0.0;
  log.print(" Period=", period);

  // Thicknesses in nm; the surface lies half the graded top interface above
  // 0.  The grid's first sublayer is then one of its steps, so the top is
  // counted in the steps the grid applied (KSTEP made even, none without a
  // width), not in the KSTEP of the model.
  Arr1<int, numlib::N24> steps;
  numlib::gradedSteps(m.NNN, m.N1N, m.N2N, m.NRN, m.arrays.thickness, m.WIDTH, m.KSTEP, steps);
  const double top = -(steps(1) * (st.thickness(1) / K0 / 10) * 0.5);
  Arr1<ProfilePoint, kMaxProfile> pts;
  int n = 0;
  depthStaircase(
      st.NNst, st.N1Nst, st.N2Nst, st.NRR, [&](int i) { return st.thickness(i) / K0 / 10; }, top, period,
      [&](double d, int sub) { pts(++n) = {d, sub}; });

  fio::Unit el(9);
  el.openNew("EL_mod.RES");
  el.write("(2F11.4)", XM1, XM2);
  el.write("(I6)", n);
  for (int k = 1; k <= n; ++k) {
    const int s = pts(k).sub;
    const double re = s ? std::fabs(st.chi(s).real() * 1e6) : 0.0;
    const double im = s ? st.chi(s).imag() * 1e6 : 0.0;
    el.write("(3F9.4)", pts(k).depth, re, im);
  }
  el.close();
  if (!opt.densities) return true;

  fio::Unit mn(10);
  mn.openNew("MODELN.RES");
  mn.write("(2F11.4)", XM1, XM2);
  mn.write("(3I6)", 1, m.NM, n);
  for (int k = 1; k <= n; ++k) {
    fio::ItemList l = fio::items(pts(k).depth);
    for (int K = 1; K <= m.NM; ++K) fio::addItem(l, pts(k).sub ? st.V(K, pts(k).sub) : 0.0f);
    mn.writeList("(9F9.4)", l);
  }
  mn.close();
  return true;
}

void WRMODEL(fio::Unit& out, const Model& m, const YVTable& YV, const ModelWriteOptions& opt) {
  const auto& a = m.arrays;
  out.openNew("LAYSPC.RES");
  if (opt.withKind)
    out.write("(I2, '                    LAYSPC.INF')", opt.JMODEL);
  else
    out.print("                         LAYSPC.INF");
  out.print("                  PARAMETERS OF SUBLAYERS");
  out.write("(I3, '      NNN - number of sublayers (max N24=60, including substrate   ')", m.NNN);
  out.write("(2I3, '      N1N,N2N - limits of repeated layers (from - to, including)   ')", m.N1N, m.N2N);
  out.write("(I3, '         NRN - number of repetitions')", m.NRN);
  out.write("(I3, '    INORM=1 - V is norm,=3 -is not ; =2- V norm.from top,=4 for  one larger layer')", m.INORM);
  out.write("(I3, '   ISQ =0- V is recalculated,=1- S((K) are recalcul.,=2 -keep   HK')", m.ISQ);
  out.write("(F8.5, '     HKMAX - max value of nuclear density (1.for pure a-57Fe)  ')", a.HKMAX);
  out.write("(I3, '       NM - number of multiplets (max N6=8)')", m.NM);
  out.write("(I3, '         IBHF=1: Bhf-EFG we read from here; IBHF=2: BE-WID refer to each multiplet')", m.IBHF);
  out.write(kLayerHeader);
  for (int N = 1; N <= m.NNN; ++N)
    writeLayerLine(out, {N, a.thickness(N), a.ELD1(N), a.ELD2(N), YV(N, yv::ZD1), YV(N, yv::ZD2), YV(N, yv::WIDTH),
                         m.KIND1(N), m.KIND2(N), m.KSTEP(N)});
  if (opt.withKind && opt.JMODEL >= 2) return;

  // Without steps the unpacking normalised the model's own densities, which
  // hold their factors already; with steps only the stepped densities were
  // normalised, and their factors carry over here.
  std::array<float, N6> factor;
  for (int K = 1; K <= N6; ++K) factor[K - 1] = m.JVN == 1 ? 1.0f : a.F(K);
  out.write(kDensityHeader);
  for (int N = 1; N <= m.NNN; ++N) {
    std::array<float, N6> V;
    std::array<float, 5> angles;
    for (int K = 1; K <= N6; ++K) V[K - 1] = a.V(K, N) * factor[K - 1];
    for (int r = 1; r <= yv::NANG; ++r) angles[r - 1] = YV(N, yv::colAng(r));
    writeDensityLine(out, N, V, angles);
  }
  out.write("('             Corrected S(K)-ratio of partial spectra areas   ')");
  out.write("(I3, '  ', 8F9.5)", yv::lineS(m.NNN), a.S.span());
  out.write("('                    Hyperfine parameters for each multiplet')");
  writeHyperfine(out, m, YV);
  out.print("              Angular parameters for each multiplet if IBHF=2");
  writeAngularPerMultiplet(out, m, YV);
  out.write("('   Kind of interface function for each multiplet in each layer KINDV[N,K],N=1,NNN,K=1,N6')");
  for (int N = 1; N <= m.NNN; ++N) out.write("(I3, 10I9)", N, m.KINDV.col(N));
  out.write("('   Parameter of interface function for each multiplet in each layer ZDV[N,K]')");
  for (int N = 1; N <= m.NNN; ++N) {
    fio::ItemList l = fio::items(N);
    for (int K = 1; K <= N6; ++K) fio::addItem(l, YV(N, yv::colZDV(K)));
    out.writeList("(I3, '  ', 8F9.3)", l);
  }
}

}  // namespace common

#include "programs/common/model.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "numlib/sublay.hpp"
#include "programs/common/hardstop.hpp"

namespace common {

namespace {

// The repetition count goes through the scratch file "rab.res"; the text
// read back is not used, the file is left for the user.
void roundTripRab(int NRN) {
  fio::Unit rab(8);
  rab.openNew("rab.res");
  rab.write("(' ', I2, ' times   ')", NRN);
  rab.close();
  rab.openOld("rab.res");
  (void)rab.readA(10);
  rab.close();
}

// `angular`: the program uses IBHF (the prompt program, which alone reads
// the model kind, uses no angular parameter and takes any IBHF).
void checkHead(const Model& m, bool angular) {
  if (m.NNN < 1 || m.NNN > N24) hardStop(" number of sublayers NNN in the model file must lie in 1..60 !");
  // A block laid down fewer than once describes no stack: the density
  // normalisation would weigh its layers by 0 or a negative count while the
  // grid lays it down once.
  if (m.NRN < 1) hardStop(" number of repetitions NRN in the model file must be at least 1 !");
  // Every pass walks the block once per repetition: the count bounds the cost.
  if (m.NRN > kMaxNRN) hardStop(" number of repetitions NRN in the model file must not exceed 1000 !");
  if (m.NRN > 1 && (m.N1N < 1 || m.N2N > m.NNN || m.N1N > m.N2N))
    hardStop(" repeated layers N1N,N2N in the model file must lie within 1..NNN, N1N <= N2N !");
  if (m.NM < 0 || m.NM > N6) hardStop(" number of multiplets NM in the model file must lie in 0..8 !");
  // The angular arrays are filled per sublayer for 1 and per multiplet for 2.
  // Other values are not read alike: the unpacking takes anything but 1 as
  // per multiplet, the pass head anything below 2 as per sublayer.
  if (angular && m.IBHF != 1 && m.IBHF != 2) hardStop(" IBHF in the model file must be 1 or 2 !");
}

// An index (ignored) and n reals from one read.
void readIndexed(fio::Unit& in, Arr1<float, 14>& rec, int n) { in.readArray(rec.span(), 1, n + 1); }


// Record 1 as (I2); blanks within the field are ignored.
ModelKind readKind(fio::Unit& in) {
  const std::string field = in.readA(2);
  std::string digits;
  for (char c : field)
    if (c != ' ' && c != '\t') digits += c;
  if (digits.empty()) return {};
  char* end = nullptr;
  const long v = std::strtol(digits.c_str(), &end, 10);  // two characters: no overflow
  if (end == digits.c_str() || *end != '\0') return {0, false};
  return {static_cast<int>(v), true};
}

}  // namespace

void echoModelHead(fio::Unit& log, const Model& m) {
  log.write("(/, ' number of layers NNN = ', I3)", m.NNN);
  log.write("(' limits and number of repetitions ', 3I3)", m.N1N, m.N2N, m.NRN);
  log.print("now INORM", m.INORM);
  log.print("now ISQ", m.ISQ);
  log.write("(/, ' HKMAX=', F10.4)", m.arrays.HKMAX);
  log.write("(/, ' number of multiplets', I3)", m.NM);
  log.print("now IBHF", m.IBHF);
}

void echoDensityRecords(fio::Unit& log, const Model& m) {
  log.write(kDensityHeader);
  for (int N = 1; N <= m.NNN; ++N) {
    std::array<float, N6> V;
    std::array<float, 5> angles;
    for (int K = 1; K <= N6; ++K) V[K - 1] = m.arrays.V(K, N);
    for (int r = 1; r <= 5; ++r) angles[r - 1] = m.ANGL(r, N);
    writeDensityLine(log, N, V, angles);
  }
}

void echoLayerRecords(fio::Unit& log, const Model& m) {
  for (int N = 1; N <= m.NNN; ++N)
    writeLayerLine(log, {N, m.arrays.thickness(N), m.arrays.ELD1(N), m.arrays.ELD2(N), m.ZD1(N), m.ZD2(N), m.WIDTH(N),
                         m.KIND1(N), m.KIND2(N), m.KSTEP(N)});
}

void writeLayerLine(fio::Unit& out, const LayerLine& l) {
  out.write("(I2, F10.4, F10.3, F8.3, F11.3, 2F10.3, 3I6)", l.N, l.H1A, l.ELD1, l.ELD2, l.ZD1, l.ZD2, l.WIDTH, l.KIND1,
            l.KIND2, l.KSTEP);
}

void writeDensityLine(fio::Unit& out, int N, const std::array<float, N6>& V, const std::array<float, 5>& angles) {
  fio::ItemList l = fio::items(N);
  for (float v : V) fio::addItem(l, v);
  for (float a : angles) fio::addItem(l, a);
  out.writeList("(I3, '  ', 8F9.5, 2F7.1, 2F6.3, F7.1)", l);
}

void INITYV(YVTable& YV, YVTable& YVS) {
  YV.fill(0.0f);
  YVS.fill(0.0f);
}

void readModelHead(fio::Unit& in, Model& m, ModelKind* kind) {
  if (kind) {
    *kind = readKind(in);
    in.skip();
  } else {
    in.skip(2);
  }
  in.read(m.NNN);
  in.read(m.N1N, m.N2N);
  in.read(m.NRN);
  roundTripRab(m.NRN);
  in.read(m.INORM);
  in.read(m.ISQ);
  in.read(m.arrays.HKMAX);
  in.read(m.NM);
  in.read(m.IBHF);
  checkHead(m, kind == nullptr);
  in.skip();
}

void readLayerRecords(fio::Unit& in, Model& m) {
  m.JVN = 1;
  for (int N = 1; N <= m.NNN; ++N) {
    int index = 0;
    in.read(index, m.arrays.thickness(N), m.arrays.ELD1(N), m.arrays.ELD2(N), m.ZD1(N), m.ZD2(N), m.WIDTH(N),
            m.KIND1(N), m.KIND2(N), m.KSTEP(N));
    if (m.KSTEP(N) != 0) m.JVN = 2;
  }
  // One interface of more steps than the grid has sublayers can never fit.
  // Only steps the grid makes count: an interface without width (or whose
  // width the thicknesses cut to 0) makes none, whatever its KSTEP.  The
  // grid checks its size again in every pass, as the fit moves widths.
  Arr1<int, N24> steps;
  numlib::gradedSteps(m.NNN, m.N1N, m.N2N, m.NRN, m.arrays.thickness, m.WIDTH, m.KSTEP, steps);
  for (int N = 1; N <= m.NNN; ++N)
    if (steps(N) > NMAX) hardStop(" number of steps KSTEP in the model file must not exceed 300 !");
}

void readDensityRecords(fio::Unit& in, Model& m) {
  in.skip();
  Arr1<float, 14> rec;
  for (int N = 1; N <= m.NNN; ++N) {
    readIndexed(in, rec, 13);
    for (int K = 1; K <= N6; ++K) m.arrays.V(K, N) = rec(1 + K);
    for (int r = 1; r <= 5; ++r) m.ANGL(r, N) = rec(9 + r);
  }
}

void readMultipletRecords(fio::Unit& in, Model& m) {
  const int nm = std::max(m.NM, 0);
  Arr1<float, 14> rec;
  in.skip();
  readIndexed(in, rec, nm);
  for (int K = 1; K <= nm; ++K) m.arrays.S(K) = rec(1 + K);
  in.skip();
  for (int r = 1; r <= 5; ++r) {
    readIndexed(in, rec, nm);
    for (int K = 1; K <= nm; ++K) m.HYP(r, K) = rec(1 + K);
  }
  in.skip();
  for (int r = 1; r <= 5; ++r) {
    readIndexed(in, rec, N6);
    for (int K = 1; K <= N6; ++K) m.ANGM(r, K) = rec(1 + K);
  }
}

void readInterfaceRecords(fio::Unit& in, Model& m) {
  Arr1<int, 9> kinds;
  in.skip();
  for (int N = 1; N <= m.NNN; ++N) {
    in.readArray(kinds.span(), 1, 9);
    // Kind 0 grades linearly, as kind 1 does; it is held as 1, so that the
    // fitted model names the kind it was computed with.
    for (int K = 1; K <= N6; ++K) m.KINDV(K, N) = kinds(1 + K) == 0 ? 1 : kinds(1 + K);
  }
  Arr1<float, 14> rec;
  in.skip();
  for (int N = 1; N <= m.NNN; ++N) {
    readIndexed(in, rec, N6);
    for (int K = 1; K <= N6; ++K) m.ZDV(K, N) = rec(1 + K);
  }
}

void deriveModel(Model& m) {
  for (int N = 1; N <= m.NNN; ++N) {
    m.HKS(N) = 0;
    for (int K = 1; K <= m.NM; ++K) m.HKS(N) += m.arrays.V(K, N);
  }
  m.period = 0;
  for (int N = std::max(m.N1N, 1); N <= std::min(m.N2N, m.NNN); ++N)
    m.period += static_cast<float>(m.arrays.thickness(N));
  // The stepped model is normalised with ISQ at most 1 and INORM 4 as 2.
  m.ISQn = m.ISQ >= 2 ? 1 : m.ISQ;
  m.INORMn = m.INORM == 4 ? 2 : m.INORM;
}

void fillTable(const Model& m, const ModelFileRef* f, YVTable& YV) {
  const auto& a = m.arrays;
  for (int N = 1; N <= m.NNN; ++N) {
    YV(N, yv::H1A) = static_cast<float>(a.thickness(N));
    YV(N, yv::ELD1) = a.ELD1(N);
    YV(N, yv::ELD2) = a.ELD2(N);
    for (int K = 1; K <= N6; ++K) YV(N, yv::colV(K)) = a.V(K, N);
    for (int r = 1; r <= yv::NANG; ++r) YV(N, yv::colAng(r)) = m.ANGL(r, N);
    YV(N, yv::ZD1) = m.ZD1(N);
    YV(N, yv::ZD2) = m.ZD2(N);
    YV(N, yv::WIDTH) = static_cast<float>(m.WIDTH(N));
    for (int K = 1; K <= N6; ++K) YV(N, yv::colZDV(K)) = m.ZDV(K, N);
  }
  const int g = yv::lineS(m.NNN);
  for (int K = 1; K <= N6; ++K) YV(g, K) = a.S(K);
  YV(g, yv::HKMAX) = a.HKMAX;
  if (f)
    for (int i = 1; i <= f->NSPC; ++i) YV(g, yv::colAngle(i)) = static_cast<float>(f->angle(i) * 1000);
  for (int K = 1; K <= N6; ++K) {
    for (int r = 1; r <= yv::NHYP; ++r) YV(yv::lineHyp(m.NNN, r), K) = m.HYP(r, K);
    for (int r = 1; r <= yv::NANG; ++r) YV(yv::lineAngM(m.NNN, r), K) = m.ANGM(r, K);
  }
}

void RDMODEL(fio::Unit& log, const ModelFileRef& f, Model& m, NuclearConstants& nc, YVTable& YV,
             const ModelOptions& opt) {
  fio::Unit in(1);
  in.openOld(f.name);
  readModelHead(in, m);
  if (opt.headEcho) {
    echoModelHead(log, m);
    log.print("    now spc.parameters from Layspc.INF   ");
  }
  readLayerRecords(in, m);
  log.write(std::string("('") + opt.jvnLabel + "', I3)", m.JVN);
  readDensityRecords(in, m);
  echoLayerRecords(log, m);
  echoDensityRecords(log, m);
  deriveModel(m);
  for (int N = 1; N <= m.NNN; ++N) log.print(" N,HKS(N)=", N, m.HKS(N));
  readMultipletRecords(in, m);
  fio::ItemList wid = fio::items(yv::lineAngM(m.NNN, yv::WID));
  for (int K = 1; K <= N6; ++K) fio::addItem(wid, m.ANGM(kWID, K));
  log.writeList("(I3, '  ', 8F9.5, '    WID')", wid);
  readInterfaceRecords(in, m);
  in.close();
  for (int K = 1; K <= N6; ++K) m.arrays.F(K) = 1.0f;
  if (opt.angles)
    for (int i = 1; i <= f.NSPC; ++i) m.arrays.angles(i) = f.angle(i);
  for (int K = 1; K <= N6; ++K) {
    nc.Bhf(K) = m.HYP(kBhf, K);
    nc.dBhf(K) = m.HYP(kdBhf, K);
    nc.IS(K) = m.HYP(kIS, K);
    nc.EFG(K) = m.HYP(kEFG, K);
    nc.GRd(K) = m.HYP(kGRd, K);
  }
  fillTable(m, opt.angles ? &f : nullptr, YV);
}

}  // namespace common

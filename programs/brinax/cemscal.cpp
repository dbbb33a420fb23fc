#include "programs/brinax/cemscal.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "programs/common/hyperfine.hpp"

namespace brinax {

namespace {

using common::HyperfineLine;
using numlib::NMAX;

constexpr int kMaxLines = 30;   // 10 ground levels x 3 transition types
constexpr int kMaxField = 101;  // points of a field distribution

// Lines and field points of one multiplet.
struct Pattern {
  int nLines = 0, nField = 0;
  Arr1<HyperfineLine, kMaxLines> line;
  Arr1<double, kMaxField> B, weight;
};

// Angular factors of one item: f[p][0] for the Delta m = +-1 lines (types 1
// and 3), f[p][1] for the Delta m = 0 lines (type 2), polarisation p = 0, 1.
using Factors = std::array<std::array<double, 2>, 2>;

// c = 3 HF / (I2E + 1).  The aligned part averages, over the azimuth spread,
// the projections of the field direction (BE from the beam, GA about it) on
// the two polarisations; the random part R/3 and the planar parts Q/4, Q/2
// are the averages over all directions and over the plane across the beam.
Factors factors(double c, float BE, float GA, float RAND, float PLAN, float WID) {
  const common::AzimuthSpread spread = common::azimuthSpread(GA, WID);
  const double sb = std::sin(static_cast<double>(BE)), cb = std::cos(static_cast<double>(BE));
  double a1pm = 0, a10 = 0, a2pm = 0, a20 = 0;
  for (int i = 0; i < spread.n; ++i) {
    const double g = spread.gamma[i], w = spread.weight[i];
    const double sg2 = std::sin(g) * std::sin(g), cg2 = std::cos(g) * std::cos(g);
    a1pm += w * (sg2 + cb * cb * cg2) / 2;
    a10 += w * sb * sb * cg2;
    a2pm += w * (cg2 + cb * cb * sg2) / 2;
    a20 += w * sb * sb * sg2;
  }
  const double R = RAND, Q = PLAN, aligned = 1.0 - R - Q;
  return {{{c * (R / 3 + aligned * a1pm + Q / 4), c * (R / 3 + aligned * a10 + Q / 2)},
           {c * (R / 3 + aligned * a2pm + Q / 4), c * (R / 3 + aligned * a20 + Q / 2)}}};
}

// The absorption profiles of multiplet K at energy E: sum over its lines of
// intensity x weight x h / ((E - E0)^2 + h^2), the Delta m = +-1 lines in
// [0] and the Delta m = 0 lines in [1].  This is -Im of the line sum
// sum a / ((E - E0) + i h) per unit amplitude.
std::array<double, 2> profiles(const Pattern& p, double E) {
  std::array<double, 2> lam{0.0, 0.0};
  for (int n = 1; n <= p.nLines; ++n) {
    const HyperfineLine& ln = p.line(n);
    const double h = ln.h;
    double s = 0;
    for (int j = 1; j <= p.nField; ++j) {
      const double x = E - (ln.G * p.B(j) + ln.base);
      s += p.weight(j) * h / (x * x + h * h);
    }
    lam[ln.col == 2 ? 1 : 0] += ln.weight * s;
  }
  return lam;
}

// |Im| of the line sum of one item and multiplet for polarisation p, with
// the item's weight WK (area ratio or density).
double absorption(const Factors& f, int p, const std::array<double, 2>& lam, double WK) {
  return std::abs(WK * (f[p][0] * lam[0] + f[p][1] * lam[1]));
}

struct Work {
  int nm = 0, nItems = 0;
  Arr1<Pattern, N6> pattern;
  Arr1<Factors, NMAX> fac;
};

void setUp(const common::NuclearConstants& C, const CemsArgs& a, const common::SteppedModel& st, Work& w) {
  w.nm = std::clamp(a.NM, 0, N6);
  w.nItems = a.IBHF == 2 ? w.nm : std::clamp(st.NNst, 0, NMAX);
  const double c = 3.0 * C.HF / (C.I2E + 1);
  for (int i = 1; i <= w.nItems; ++i) w.fac(i) = factors(c, st.BE(i), st.GA(i), st.RAND(i), st.PLAN(i), st.WID(i));
  for (int K = 1; K <= w.nm; ++K) {
    Pattern& p = w.pattern(K);
    p.nField = common::fieldPoints(C, K, a.WDIST, a.IDIST, p.B, p.weight);
    p.nLines = common::resonanceLines(C, K, p.nField > 1, p.line);
  }
}

// One energy point: columns 0..NM of A and B at row k.
void energyPoint(const CemsArgs& a, const common::SteppedModel& st, const Work& w, int k, Spectra& A, Spectra& B) {
  std::array<std::array<double, 2>, N6> lam;
  for (int K = 1; K <= w.nm; ++K) lam[K - 1] = profiles(w.pattern(K), a.XXM(k));
  std::array<double, N6> sa{}, sb{};
  if (a.IBHF == 2) {
    for (int K = 1; K <= w.nm; ++K) {
      sa[K - 1] = absorption(w.fac(K), 0, lam[K - 1], a.S(K));
      sb[K - 1] = absorption(w.fac(K), 1, lam[K - 1], a.S(K));
    }
  } else {
    for (int l = 1; l <= w.nItems; ++l) {
      const bool inBlock = l >= st.N1Nst && l <= st.N2Nst;
      const double tw = st.thickness(l) * (inBlock ? st.NRR : 1);
      for (int K = 1; K <= w.nm; ++K) {
        const double V = st.V(K, l);
        sa[K - 1] += absorption(w.fac(l), 0, lam[K - 1], V) * tw;
        sb[K - 1] += absorption(w.fac(l), 1, lam[K - 1], V) * tw;
      }
    }
  }
  double ta = 0, tb = 0;
  for (int K = 1; K <= w.nm; ++K) {
    A(k, K) = static_cast<float>(sa[K - 1]);
    B(k, K) = static_cast<float>(sb[K - 1]);
    ta += A(k, K);
    tb += B(k, K);
  }
  A(k, 0) = static_cast<float>(ta);
  B(k, 0) = static_cast<float>(tb);
}

}  // namespace

void CEMScal(const common::NuclearConstants& C, const CemsArgs& a, const common::SteppedModel& st, Spectra& A,
             Spectra& B, fio::Unit* log) {
  static Work w;  // a few tens of kB, rebuilt at every call
  setUp(C, a, st, w);
  const int IMM = std::clamp(a.IMM, 0, kMaxPoints);
  if (a.IBHF == 2 && log && IMM >= 1) {
    log->print("J=", 1);
    log->print("J=", 4);
  }
  for (int k = 1; k <= IMM; ++k) {
    for (int K = 0; K <= N6; ++K) A(k, K) = B(k, K) = 0.0f;
    energyPoint(a, st, w, k, A, B);
  }
}

}  // namespace brinax

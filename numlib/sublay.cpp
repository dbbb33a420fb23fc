#include "numlib/sublay.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace numlib {
namespace {

// The model layers as the grid sees them, after the interface adjustments.
// Entry NNN+1 stands for the half-space below the substrate: no interface.
struct LayerWork {
  Arr1<double, N24 + 1> H;     // thickness, Angstrom
  Arr1<double, N24 + 1> val;   // profiled quantity
  Arr1<double, N24 + 1> W;     // width of the interface at the layer's top
  Arr1<double, N24 + 1> ZD;    // interface-profile parameter
  Arr1<int, N24 + 1> kind;     // interface kind
  // Number of steps (even, 0 when W = 0).  Wider than the KSTEP it comes
  // from: raising the largest odd int to even must not overflow.
  Arr1<long long, N24 + 1> nst;
};

// Sublayers are counted past NMAX, but only the first NMAX are stored: the
// caller rejects such a grid by the count.  A count past NMAX is not walked
// step by step: whatever the step counts ask for costs nothing and cannot
// overflow.
struct GridOut {
  Span1<double> d, v;
  Span1<int> parent;
  long long m = 0;

  bool full() const { return m >= NMAX; }
  void skip(long long n) { m += n; }
  void emit(double thick, double value, int par) {
    ++m;
    if (m > NMAX) return;
    d(static_cast<int>(m)) = thick;
    v(static_cast<int>(m)) = value;
    parent(static_cast<int>(m)) = std::max(par, 1);  // the vacuum above layer 1 has no index of its own
  }
  // The count as the caller takes it: past NMAX it only has to stay past.
  int count() const { return static_cast<int>(std::min<long long>(m, std::numeric_limits<int>::max())); }
};

// One graded interface at the top of a layer: n steps of dz over the width w,
// from the value of the layer above (A, 0 for the vacuum) down to L.
struct Interface {
  long long n;
  double w, dz;
  double L, A;
  bool vacuum;
  double ZD;
};

double linearStep(const Interface& f, long long j) {
  return f.A + (f.L - f.A) * j / (f.n + 1);
}

// Kinds 2 and 3 grade from L/100 when there is vacuum above, so that the
// profile keeps the sign and the scale of the layer's own value.
double upperForShapes(const Interface& f) { return f.vacuum ? f.L / 100 : f.A; }

double arctanStep(const Interface& f, long long j) {
  const double Z = std::clamp(f.ZD, f.w / 10, 100 * f.w);
  const double U = upperForShapes(f);
  const double s = Z / 10;
  // Sample positions evenly spaced and symmetric about the interface middle.
  const double p = (static_cast<double>(f.n - 1) / (f.n + 1) * j + 0.5) * f.dz;
  const double x = s * (2 * p / f.w - 1);
  const double norm = std::atan(s * (2 * (f.n - 0.5) * f.dz / f.w - 1));
  return (U + f.L) / 2 + (f.L - U) / 2 * std::atan(x) / norm;
}

double gaussTailStep(const Interface& f, long long j) {
  const double Z = std::clamp(f.ZD, f.w / 10, 10 * f.w);
  const double U = upperForShapes(f);
  const double h = Z / 2;
  if (std::abs(f.L) < std::abs(U)) {
    const double t = j * f.dz;
    return f.L + (U - f.L) * std::exp(-t * t / (h * h));
  }
  const double t = (j - 1) * f.dz - f.w;
  return U + (f.L - U) * std::exp(-t * t / (h * h));
}

// A Gaussian through U at the top of the interface and through |L| (sign of
// U) at its bottom, sampled at the step centres.  Neither end value is 0
// here: equal values above and below never reach the shape functions.
double gaussStep(const Interface& f, long long j) {
  const double Z = std::clamp(f.ZD, f.w / 7, 100 * f.w);
  const double Lp = (!f.vacuum && f.L == 0) ? f.A / 100 : f.L;
  const double U = (!f.vacuum && f.A != 0) ? f.A : f.L / 100;
  const double x0 = (f.w * f.w - Z * Z * std::log(std::abs(U / Lp))) / (2 * f.w);
  const double x = (j - 0.5) * f.dz - x0;
  return U * std::exp((x0 * x0 - x * x) / (Z * Z));
}

// Fermi profile rescaled to reach A one step above the first step and L one
// step below the last; its width is fixed by w alone.
double fermiStep(const Interface& f, long long j) {
  const double Z = 0.2125 * f.w / 1.8138357147217055;
  auto F = [&](long long i) {
    const double x = (i - (f.n + 1) / 2.0) * f.dz;
    const double e = 1 / (1 + std::exp(x / Z));
    return f.A * e + f.L * (1 - e);
  };
  const double F1 = F(0);
  const double F2 = F(f.n + 1);
  return (F(j) * (f.A - f.L) + F1 * f.L - F2 * f.A) / (F1 - F2);
}

// A kind outside 1..5 is graded linearly: the grid stays the same as for the
// other quantities of the pass and every step gets a value between the two.
double stepValue(int kind, const Interface& f, long long j) {
  if (f.A == f.L) return f.L;
  switch (kind) {
    case 2: return arctanStep(f, j);
    case 3: return gaussTailStep(f, j);
    case 4: return gaussStep(f, j);
    case 5: return fermiStep(f, j);
    default: return linearStep(f, j);
  }
}

// Emits the sublayers of layer k, with a the layer above (0: vacuum) and b
// the layer below it in this stretch of the walk.
void walkLayer(const LayerWork& lw, int k, int a, int b, GridOut& g) {
  const long long n = lw.nst(k);
  const double w = lw.W(k);
  if (n <= 0 || w <= 0) {
    g.emit(lw.H(k) - lw.W(b) / 2, lw.val(k), k);
    return;
  }
  const Interface f{n, w, w / static_cast<double>(n), lw.val(k), a == 0 ? 0.0 : lw.val(a), a == 0, lw.ZD(k)};
  for (long long j = 1; j <= n; ++j) {
    if (g.full()) {
      g.skip(n - j + 1);
      break;
    }
    g.emit(f.dz, stepValue(lw.kind(k), f, j), j <= n / 2 ? a : k);
  }
  const double half = (w + lw.W(b)) / 2;
  if (lw.H(k) > half) g.emit(lw.H(k) - half, lw.val(k), k);
}

// Interface widths and step counts as the grid uses them.  A width cut to 0
// also drops the steps, so that the block marks (which count steps) and the
// choice of block mode agree with what the walk emits.
void adjustInterfaces(LayerWork& lw, int NNN, int N1N, int N2N, int NRN) {
  for (int k = 1; k <= NNN; ++k) {
    long long n = std::max(lw.nst(k), 0LL);
    if (n % 2 != 0) ++n;
    double w = std::max(lw.W(k), 0.0);
    if (w == 0) n = 0;
    if (n == 0) w = 0;
    lw.nst(k) = n;
    lw.W(k) = w;
  }
  for (int k = 1; k <= NNN; ++k) {
    double w = std::min(lw.W(k), lw.H(k));
    if (k > 1) w = std::min(w, lw.H(k - 1));
    // In the repetition the block's first layer lies below its last.
    if (NRN > 1 && k == N1N) w = std::min(w, lw.H(N2N));
    if (!(w > 0)) {
      w = 0;
      lw.nst(k) = 0;
    }
    lw.W(k) = w;
  }
}

// A block mark past NMAX only has to stay past it: the grid is rejected.
int mark(long long m) { return static_cast<int>(std::min<long long>(m, NMAX + 1)); }

// A block that does not lie strictly inside the stack above the substrate,
// or that is inverted, is not repeated.
int repetitions(int NNN, int N1N, int N2N, int NRN) {
  return NRN < 1 || N1N < 1 || N1N >= N2N || N2N >= NNN ? 1 : NRN;
}

}  // namespace

void gradedSteps(int NNN, int N1N, int N2N, int NRN, Span1<const double> thickness, Span1<const double> WIDTH,
                 Span1<const int> KSTEP, Span1<int> steps) {
  LayerWork lw;
  for (int k = 1; k <= NNN; ++k) {
    lw.H(k) = thickness(k);
    lw.W(k) = WIDTH(k);
    lw.nst(k) = KSTEP(k);
  }
  adjustInterfaces(lw, NNN, N1N, N2N, repetitions(NNN, N1N, N2N, NRN));
  for (int k = 1; k <= NNN; ++k) steps(k) = static_cast<int>(std::min<long long>(lw.nst(k), std::numeric_limits<int>::max()));
}

namespace {

// The grid of SUBLAY and SUBLA2; they differ only in whether a graded
// interface of the layer below the block asks for the doubled block mode.
void buildGrid(bool belowBlockCounts, int NNN, int N1N, int N2N, int& NRN, Span1<const double> thickness,
               Span1<const double> value, Span1<const double> WIDTH, Span1<const double> ZD,
               Span1<const int> KIND, Span1<const int> KSTEP, int& NNst, int& N1Nst, int& N2Nst,
               Span1<double> subThickness, Span1<double> subValue, Span1<int> parent, int& NRR) {
  LayerWork lw;
  for (int k = 1; k <= NNN; ++k) {
    lw.H(k) = thickness(k);
    lw.val(k) = value(k);
    lw.W(k) = WIDTH(k);
    lw.ZD(k) = ZD(k);
    lw.kind(k) = KIND(k);
    lw.nst(k) = KSTEP(k);
  }
  NRN = repetitions(NNN, N1N, N2N, NRN);
  NRR = NRN;

  adjustInterfaces(lw, NNN, N1N, N2N, NRN);

  GridOut g{subThickness, subValue, parent};
  bool graded = false;
  for (int k = 1; k <= NNN; ++k) graded = graded || lw.nst(k) > 0;
  if (!graded) {
    for (int k = 1; k <= NNN; ++k) g.emit(lw.H(k), lw.val(k), k);
    NNst = g.count();
    N1Nst = N1N;
    N2Nst = N2N;
    return;
  }

  // Marks that the walk never reaches (block outside the stack) stay 0.
  N1Nst = 0;
  N2Nst = 0;
  const bool doubled =
      NRN > 1 && (lw.nst(N1N) != 0 || lw.nst(N2N) != 0 || (belowBlockCounts && lw.nst(N2N + 1) != 0));
  if (!doubled) {
    for (int k = 1; k <= NNN; ++k) {
      if (k == N1N) N1Nst = mark(g.m + lw.nst(N1N) / 2 + 1);
      walkLayer(lw, k, k - 1, k + 1, g);
      if (k == N2N) N2Nst = mark(g.m + lw.nst(N2N + 1) / 2);
    }
  } else {
    // The block is laid down twice; the marked range is one period from the
    // boundary N1N/N1N+1 of the first copy to the same boundary of the second.
    NRR = NRN - 1;
    for (int k = 1; k <= N2N; ++k) {
      if (k == N1N + 1) N1Nst = mark(g.m + lw.nst(N1N + 1) / 2 + 1);
      walkLayer(lw, k, k - 1, k == N2N ? N1N : k + 1, g);
    }
    for (int k = N1N; k <= NNN; ++k) {
      walkLayer(lw, k, k == N1N ? N2N : k - 1, k + 1, g);
      if (k == N1N) N2Nst = mark(g.m + lw.nst(N1N + 1) / 2);
    }
  }
  NNst = g.count();
}

}  // namespace

void SUBLAY(int NNN, int N1N, int N2N, int& NRN, Span1<const double> thickness,
            Span1<const double> value, Span1<const double> WIDTH, Span1<const double> ZD,
            Span1<const int> KIND, Span1<const int> KSTEP, int& NNst, int& N1Nst, int& N2Nst,
            Span1<double> subThickness, Span1<double> subValue, Span1<int> parent, int& NRR) {
  buildGrid(true, NNN, N1N, N2N, NRN, thickness, value, WIDTH, ZD, KIND, KSTEP, NNst, N1Nst, N2Nst, subThickness,
            subValue, parent, NRR);
}

void SUBLA2(int NNN, int N1N, int N2N, int& NRN, Span1<const double> thickness,
            Span1<const double> value, Span1<const double> WIDTH, Span1<const double> ZD,
            Span1<const int> KIND, Span1<const int> KSTEP, int& NNst, int& N1Nst, int& N2Nst,
            Span1<double> subThickness, Span1<double> subValue, Span1<int> parent, int& NRR) {
  buildGrid(false, NNN, N1N, N2N, NRN, thickness, value, WIDTH, ZD, KIND, KSTEP, NNst, N1Nst, N2Nst, subThickness,
            subValue, parent, NRR);
}

}  // namespace numlib

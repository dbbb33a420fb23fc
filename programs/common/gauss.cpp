#include "programs/common/gauss.hpp"

#include <cmath>

#include "numlib/interp.hpp"

namespace common {

namespace {

using numlib::Arr1;

struct GaussWork {
  Arr1<float, kMaxGaussGrid> grid, c, averaged;
  Arr1<float, kMaxGaussKernel> w;
};

// The grid step and the kernel count.  NG only grows, except where it
// passes the size of the kernel store.
float gridStep(fio::Unit& log, float SIG, float d, int& NG) {
  float h = NG > 1 ? 4 * SIG / static_cast<float>(NG - 1) : d;
  if (NG < 2 || h > d) {
    h = d;
    // A count past the store is capped below; the cast must not overflow.
    const float n = 4 * SIG / d;
    NG = n < kMaxGaussKernel ? static_cast<int>(n) + 1 : kMaxGaussKernel + 1;
  }
  if (NG > kMaxGaussKernel) {
    log.print(" !!!!  overflow points in GAUSS averaging!");
    NG = kMaxGaussKernel;
    h = 4 * SIG / static_cast<float>(NG - 1);
  }
  return h;
}

// Symmetric weights exp(-(u h)^2 / 2 SIG^2), u = -M..M; returns their sum.
float weights(float SIG, float h, int M, Arr1<float, kMaxGaussKernel>& w) {
  const float SIG2 = SIG * SIG;
  float W = 0;
  for (int j = 1; j <= 2 * M + 1; ++j) {
    const float uh = static_cast<float>(j - 1 - M) * h;
    w(j) = std::exp(-0.5f * uh * uh / SIG2);
    W += w(j);
  }
  return W;
}

}  // namespace

void GAUSS(fio::Unit& log, numlib::Span1<const float> X, numlib::Span1<float> Y, int N, float SIG, int& NG) {
  if (N < 2 || !(SIG > 0)) return;
  const float d = X(2) - X(1);
  if (!(d > 0) || !(X(N) > X(1))) return;
  static GaussWork work;
  GaussWork& g = work;

  float h = gridStep(log, SIG, d, NG);
  int ng = NG;
  const float span = X(N) - X(1);
  if (span > static_cast<float>(kMaxGaussGrid - 1) * h) {
    // Too long for the grid at this step: a coarser grid over the whole
    // curve, with the kernel still cut at +-2 SIG.
    h = span / static_cast<float>(kMaxGaussGrid - 2);
    ng = static_cast<int>(4 * SIG / h) + 1;
  }
  const int M = (ng - 1) / 2;
  // A kernel that does not reach the next grid point averages nothing; its
  // width squared may also be too small for single precision (0 / 0).
  if (M < 1 || !(SIG * SIG > 0)) return;
  const float W = weights(SIG, h, M, g.w);

  int NU = 0;
  for (int k = 0; k < kMaxGaussGrid; ++k) {
    const float x = X(1) + static_cast<float>(k) * h;
    if (x > X(N)) break;
    g.grid(++NU) = x;
  }
  numlib::INTERS(X, Y, g.grid.span(), g.c.span(), N, NU);
  for (int i = 1; i <= NU; ++i) {
    if (i <= M || i > NU - M) {
      g.averaged(i) = g.c(i);
      continue;
    }
    float sum = 0;
    for (int j = 1; j <= 2 * M + 1; ++j) sum += g.c(i - M - 1 + j) * g.w(j) / W;
    g.averaged(i) = sum;
  }
  numlib::INTERS(g.grid.span(), g.averaged.span(), X, Y, NU, N);
}

}  // namespace common

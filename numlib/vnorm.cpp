#include "numlib/vnorm.hpp"

#include <algorithm>
#include <cmath>

#include "numlib/limits.hpp"

namespace numlib {
namespace {

using Amounts = Arr1<float, N6>;

float layerSum(Span2<float> V, int NM, int l) {
  float c = 0;
  for (int K = 1; K <= NM; ++K) c += V(K, l);
  return c;
}

void scaleLayer(Span2<float> V, int NM, int l, float f) {
  for (int K = 1; K <= NM; ++K) V(K, l) *= f;
}

void scaleRow(Span2<float> V, int n, int K, float f) {
  for (int l = 1; l <= n; ++l) V(K, l) *= f;
}

// Thickness-weighted amount of each multiplet; the layers of the repeated
// block stand for NRN copies.  Summed in single precision, layer by layer.
void amounts(int n, int NM, int N1N, int N2N, int NRN, Span1<const double> thickness,
             Span2<float> V, Amounts& A) {
  for (int K = 1; K <= NM; ++K) {
    A(K) = 0;
    for (int l = 1; l <= n; ++l) {
      const double w = (l >= N1N && l <= N2N) ? NRN : 1;
      A(K) = static_cast<float>(A(K) + V(K, l) * thickness(l) * w);
    }
  }
}

void ratiosFromAmounts(int NM, const Amounts& A, Span1<float> S) {
  float sum = 0;
  for (int K = 1; K <= NM; ++K) sum += A(K);
  if (sum == 0) return;
  for (int K = 1; K <= NM; ++K) S(K) = A(K) / sum;
}

// Each layer's densities scaled to add up to its nuclear density HK; a
// negative HK counts as 0, so that no density turns negative.
void keepLayerDensity(int n, int NM, Span2<float> V, Span1<const float> HK) {
  for (int l = 1; l <= n; ++l) {
    const float c = layerSum(V, NM, l);
    if (c > 0) scaleLayer(V, NM, l, std::max(HK(l), 0.0f) / c);
  }
}

// Multiplet amounts brought into the ratios S.  Without a first multiplet
// (S(1) = 0 or no amount of it) there is nothing to scale to: the densities
// are left as they are rather than divided by zero or wiped out.
void amountsFollowRatios(int n, int NM, Span1<float> S, Span2<float> V, Span1<float> F,
                         Amounts& A) {
  if (S(1) == 0 || A(1) == 0) return;
  for (int K = 1; K <= NM; ++K) {
    const float T = A(1) * S(K) / S(1);
    if (A(K) != 0) {
      F(K) = T / A(K);
      scaleRow(V, n, K, F(K));
    }
    A(K) = T;
  }
}

}  // namespace

void VNORM(int ISQ, int INORM, float HKMAX, int n, int NM, int N1N, int N2N, int NRN,
           Span1<const double> thickness, Span1<float> S, Span2<float> V, Span1<const float> HK,
           Span1<float> F) {
  // The model output multiplies the densities it writes by F: every exit
  // leaves a defined factor.
  for (int K = 1; K <= NM; ++K) F(K) = 1;
  bool nuclear = false;
  for (int l = 1; l <= n; ++l) {
    for (int K = 1; K <= NM; ++K) V(K, l) = std::max(V(K, l), 0.0f);
    nuclear = nuclear || HK(l) > 0;
  }
  if (!nuclear) return;

  if (ISQ >= 2) keepLayerDensity(n, NM, V, HK);
  if (ISQ == 0) {
    float first = 0;
    for (int l = 1; l <= n; ++l) first += V(1, l);
    if (first == 0) return;
  }

  Amounts A;
  amounts(n, NM, N1N, N2N, NRN, thickness, V, A);
  if (ISQ == 0) amountsFollowRatios(n, NM, S, V, F, A);
  ratiosFromAmounts(NM, A, S);

  float cmax = 0;
  for (int l = 1; l <= n; ++l) cmax = std::max(cmax, layerSum(V, NM, l));

  if (INORM == 3 || (INORM == 2 && cmax < HKMAX)) return;
  if (INORM == 4) {
    for (int l = 1; l <= n; ++l) {
      const float c = layerSum(V, NM, l);
      if (c > HKMAX) scaleLayer(V, NM, l, HKMAX / c);
    }
    amounts(n, NM, N1N, N2N, NRN, thickness, V, A);
    ratiosFromAmounts(NM, A, S);
    return;
  }
  if (cmax == 0) return;  // no density anywhere: nothing to bring to HKMAX
  const float f = HKMAX / cmax;
  for (int l = 1; l <= n; ++l) scaleLayer(V, NM, l, f);
  for (int K = 1; K <= NM; ++K) F(K) *= f;
}

namespace {

using LayerRows = Arr2<float, N6, N24>;

float kernel(float d, float SIGMA) { return std::exp(-d * d / (2 * SIGMA * SIGMA)); }

// Gaussian smoothing of rows K1..K2 over all n layers into W.  The kernel is
// normalised per target layer and does not weigh the layers by thickness.
void gaussPass(int n, int K1, int K2, Span1<const double> thickness, Span2<float> V,
               float SIGMA, LayerRows& W) {
  Arr1<float, N24> z, norm;
  z(1) = static_cast<float>(thickness(1) / 2);
  for (int l = 2; l <= n; ++l)
    z(l) = static_cast<float>(z(l - 1) + thickness(l - 1) / 2 + thickness(l) / 2);
  for (int i = 1; i <= n; ++i) {
    norm(i) = 0;
    for (int j = 1; j <= n; ++j) norm(i) += kernel(z(i) - z(j), SIGMA);
  }
  for (int K = K1; K <= K2; ++K) {
    for (int i = 1; i <= n; ++i) {
      float sum = 0;
      for (int j = 1; j <= n; ++j) sum += kernel(z(j) - z(i), SIGMA) * V(K, j) / norm(i);
      W(K, i) = sum;
    }
  }
}

// The repeated block smoothed as a periodic sequence: M layers of its end are
// put above it and M layers of its start below it.  Values come from V as it
// was before the call (W holds the first pass).
void blockPass(int N1N, int N2N, int M, int K1, int K2, Span1<const double> thickness,
               Span2<float> V, float SIGMA, LayerRows& W) {
  const int D = N2N - N1N;
  M = std::clamp(M, 0, D + 1);
  const int E = 2 * M + D + 1;
  Arr1<int, 3 * N24> layer;
  Arr1<float, 3 * N24> centre;
  for (int p = 1; p <= E; ++p) {
    if (p <= M) layer(p) = N2N - M + p;
    else if (p <= M + D + 1) layer(p) = N1N + p - M - 1;
    else layer(p) = N1N + p - M - D - 2;
  }
  centre(1) = static_cast<float>(thickness(layer(1)) / 2);
  for (int p = 2; p <= E; ++p)
    centre(p) = static_cast<float>(centre(p - 1) + thickness(layer(p - 1)) / 2 +
                                   thickness(layer(p)) / 2);
  for (int i = 1; i <= D + 1; ++i) {
    float norm = 0;
    for (int j = i; j <= i + 2 * M; ++j) norm += kernel(centre(M + i) - centre(j), SIGMA);
    for (int K = K1; K <= K2; ++K) {
      float sum = 0;
      for (int j = i; j <= i + 2 * M; ++j)
        sum += kernel(centre(M + i) - centre(j), SIGMA) * V(K, layer(j)) / norm;
      W(K, N1N + i - 1) = sum;
    }
  }
}

// A kernel of width 0 is the identity: no smoothing at all (the limit of a
// narrowing Gaussian, without its 0/0 at zero distance).  The work arrays
// hold N24 layers and N6 rows; a longer stack is left unsmoothed as a whole
// rather than smoothed over a cut-off part of its depth, and rows outside
// 1..N6 are not smoothed.
void smoothRows(int n, int K1, int K2, bool withBlock, int N1N, int N2N, int M,
                Span1<const double> thickness, Span2<float> V, float SIGMA) {
  if (!(SIGMA > 0) || n < 1 || n > N24) return;
  K1 = std::max(K1, 1);
  K2 = std::min(K2, N6);
  LayerRows W;
  gaussPass(n, K1, K2, thickness, V, SIGMA, W);
  if (withBlock && N1N >= 1 && N1N <= N2N && N2N <= n)
    blockPass(N1N, N2N, M, K1, K2, thickness, V, SIGMA, W);
  for (int i = 1; i <= n; ++i)
    for (int K = K1; K <= K2; ++K) V(K, i) = W(K, i);
}

}  // namespace

void SMOOTV(int n, int NM, Span1<const double> thickness, Span2<float> V, float SIGMA) {
  smoothRows(n, 1, NM, false, 0, 0, 0, thickness, V, SIGMA);
}

void SMOOT1(int n, int K, Span1<const double> thickness, Span2<float> V, float SIGMA) {
  smoothRows(n, K, K, false, 0, 0, 0, thickness, V, SIGMA);
}

void SMOOTK(int n, int N1N, int N2N, int M, int K, Span1<const double> thickness, Span2<float> V,
            float SIGMA) {
  smoothRows(n, K, K, true, N1N, N2N, M, thickness, V, SIGMA);
}

void SMOOTA(int n, int N1N, int N2N, int M, int NM, Span1<const double> thickness, Span2<float> V,
            float SIGMA) {
  smoothRows(n, 1, NM, true, N1N, N2N, M, thickness, V, SIGMA);
}

}  // namespace numlib

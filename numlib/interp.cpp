#include "numlib/interp.hpp"

#include <cmath>
#include <utility>

namespace numlib {

namespace {

// Linear interpolation with a bracket that only moves forward, so that the
// cost is linear in n + m for ascending targets.  Targets below the current
// bracket are extrapolated from it; targets above X(n) from the last interval.
template <class V>
void interpolate(Span1<const float> X, Span1<const V> Y, Span1<const float> XN, Span1<V> YN, int n,
                 int m) {
  if (n < 2) {
    // One point gives a constant curve, none gives zero.
    const V c = n == 1 ? Y(1) : V(0);
    for (int i = 1; i <= m; ++i) YN(i) = c;
    return;
  }
  int k = 1;
  for (int i = 1; i <= m; ++i) {
    const float x = XN(i);
    while (k + 1 < n && x > X(k + 1)) ++k;
    const float dx = X(k + 1) - X(k);
    if (dx == 0.0f) {
      // A vertical step in the table: take the side the target lies on.
      YN(i) = x <= X(k) ? Y(k) : Y(k + 1);
    } else {
      YN(i) = Y(k) + (x - X(k)) * (Y(k + 1) - Y(k)) / dx;
    }
  }
}

}  // namespace

void INTERP(Span1<const float> X, Span1<const double> Y, Span1<const float> XN, Span1<double> YN,
            int n, int m) {
  interpolate<double>(X, Y, XN, YN, n, m);
}

void INTERS(Span1<const float> X, Span1<const float> Y, Span1<const float> XN, Span1<float> YN,
            int n, int m) {
  interpolate<float>(X, Y, XN, YN, n, m);
}

bool FFT(Span1<std::complex<double>> DATA, int NN, double SIGN) {
  if (NN < 1 || (NN & (NN - 1)) != 0 || NN > DATA.size()) return false;
  std::complex<double>* d = DATA.data();

  // Reorder by the bit-reversed zero-based index.
  for (int i = 0, j = 0; i < NN; ++i) {
    if (j > i) std::swap(d[i], d[j]);
    int bit = NN >> 1;
    while (bit >= 1 && (j & bit)) {
      j ^= bit;
      bit >>= 1;
    }
    j |= bit;
  }

  // Butterflies over blocks of 2h complex elements (2 mmax = 4h real values).
  for (int h = 1; h < NN; h <<= 1) {
    const double mmax = 2.0 * h;
    const double theta = 6.28318530717959 / (SIGN * mmax);
    const double sh = std::sin(0.5 * theta);
    const double wpr = -2.0 * sh * sh;
    const double wpi = std::sin(theta);
    double wr = 1.0, wi = 0.0;
    for (int m = 0; m < h; ++m) {
      // The twiddle factor enters the butterflies in single precision.
      const double fr = static_cast<float>(wr);
      const double fi = static_cast<float>(wi);
      for (int i = m; i < NN; i += 2 * h) {
        const int j = i + h;
        const double xr = d[j].real(), xi = d[j].imag();
        const double tr = fr * xr - fi * xi;
        const double ti = fr * xi + fi * xr;
        const double ar = d[i].real(), ai = d[i].imag();
        d[j] = {ar - tr, ai - ti};
        d[i] = {ar + tr, ai + ti};
      }
      const double wt = wr;
      wr = wr + (wr * wpr - wi * wpi);
      wi = wi + (wi * wpr + wt * wpi);
    }
  }
  return true;
}

}  // namespace numlib

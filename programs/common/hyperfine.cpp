#include "programs/common/hyperfine.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace common {

double quadFunction(int m, int i2) {
  if (i2 <= 1) return 0.0;
  return (3.0 * m * m - i2 * (i2 + 2.0)) / (2.0 * i2 * (2.0 * i2 - 2.0));
}

int fieldPoints(const NuclearConstants& C, int m, Span1<const float> WDIST, int IDIST, Span1<double> B,
                Span1<double> weight) {
  const int room = std::min({B.size(), weight.size(), WDIST.size()});
  const int jav = std::min(C.JAV1, (room - 1) / 2);
  if (IDIST == 0 || jav < 1 || C.dBhf(m) == 0.0f) {
    B(1) = C.Bhf(m);
    weight(1) = 1.0;
    return 1;
  }
  const double step = static_cast<double>(C.SWD) * C.dBhf(m) / jav;
  for (int j = -jav; j <= jav; ++j) {
    B(j + jav + 1) = C.Bhf(m) + j * step;
    weight(j + jav + 1) = WDIST(j + jav + 1);
  }
  return 2 * jav + 1;
}

int resonanceLines(const NuclearConstants& C, int m, bool distributed, Span1<HyperfineLine> out) {
  int n = 0;
  for (int r = 1; r <= std::min(C.I2G + 1, 10); ++r) {
    const int mg = C.I2G - 2 * (r - 1);
    for (int t = 1; t <= 3; ++t) {
      const int me = mg + 4 - 2 * t;  // mg+2, mg, mg-2
      if (std::abs(me) > C.I2E || n >= out.size()) continue;
      HyperfineLine& ln = out(++n);
      ln.G = me * static_cast<double>(C.EFAC) / 2 - mg * static_cast<double>(C.GFAC) / 2;
      ln.base = static_cast<double>(C.IS(m)) + static_cast<double>(C.EFG(m)) * quadFunction(me, C.I2E) -
                static_cast<double>(C.QRAT) * C.EFG(m) * quadFunction(mg, C.I2G);
      double h = C.GE / 2;
      if (C.dBhf(m) != 0.0f && !distributed) {
        // The full width is formed in single precision, as the widths of the
        // model file are.
        const float W = static_cast<float>(std::abs(ln.G) * C.dBhf(m) + C.GE);
        h = static_cast<double>(W) / 2;
      }
      ln.h = h + C.GRd(m);
      ln.weight = C.CTRANS(r, t);
      ln.col = t;
    }
  }
  return n;
}

AzimuthSpread azimuthSpread(float GA, float WID) {
  AzimuthSpread s;
  s.gamma[0] = GA;
  s.weight[0] = 1.0f;
  if (WID == 0.0f) return s;
  s.n = 21;
  float sum = 0.0f;
  for (int k = -10; k <= 10; ++k) {
    s.gamma[k + 10] = GA + static_cast<float>(k) * WID * 5.0f / 20.0f;
    s.weight[k + 10] = std::exp(-static_cast<float>(k * k) / 32.0f);
    sum += s.weight[k + 10];
  }
  for (int i = 0; i < s.n; ++i) s.weight[i] /= sum;
  return s;
}

}  // namespace common

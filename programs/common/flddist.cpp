#include "programs/common/flddist.hpp"

#include <cmath>

#include "programs/common/hardstop.hpp"

namespace common {

namespace {

void readTable(fio::Unit& log, int n, FieldDist& d, bool heading) {
  fio::Unit in(5);
  in.openOld("DISTR.inf");
  if (heading) log.print(" Field distrinution file");
  for (int i = 1; i <= n; ++i) {
    float x = 0;
    in.read(x, d.WDIST(i));
    log.print(x, d.WDIST(i));
  }
  in.close();
}

void computeShape(fio::Unit& log, int JAV1, float SD, int IDIST, FieldDist& d) {
  const int n = 2 * JAV1 + 1;
  float sum = 0;
  for (int i = 1; i <= n; ++i) {
    const float x = static_cast<float>(i - JAV1 - 1) * SD;
    if (IDIST == 1) d.WDIST(i) = std::exp(-x * x / 2);
    if (IDIST == 2) d.WDIST(i) = 1 / (1 + x * x);
    sum += d.WDIST(i);
  }
  for (int i = 1; i <= n; ++i) {
    // Only Gauss and Lorentz have weights; others keep 0 rather than 0/0.
    if (sum != 0) d.WDIST(i) /= sum;
    log.print(static_cast<float>(i - JAV1 - 1) * SD, d.WDIST(i));
  }
}

}  // namespace

void FLDDIST(fio::Unit& log, const CalcParams& p, NuclearConstants& nc, FieldDist& d, bool heading) {
  if (heading) log.print();
  log.print(" Field distrinution function");
  nc.JAV1 = p.JAV1;
  if (p.JAV1 > kMaxJAV1) {
    log.print("Number of distribution points is over!");
    hardStop(" JAV1 in ZEPRIN.INP must not be larger than 50 !");
  }
  if (p.JAV1 < 0) hardStop(" JAV1 in ZEPRIN.INP must not be negative !");
  // Another kind would give every multiplet with a field spread the weights
  // 0, and drop it from the spectra without a word.
  if (p.IDIST < 0 || p.IDIST > 3) hardStop(" IDIST in ZEPRIN.INP must lie in 0..3 !");
  if (p.IDIST == 3) {
    readTable(log, 2 * p.JAV1 + 1, d, heading);
    nc.SWD = 1.0f;
  } else {
    nc.SWD = static_cast<float>(p.JAV1) * p.SD;
    // The largest abscissa; every other one lies within it.
    if (!std::isfinite(nc.SWD)) hardStop(" JAV1*SD in ZEPRIN.INP must stay within single precision !");
    computeShape(log, p.JAV1, p.SD, p.IDIST, d);
  }
  log.print(" SWD=", nc.SWD);
}

}  // namespace common

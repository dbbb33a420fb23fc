#include "programs/tools/poisson.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "programs/common/fio.hpp"
#include "programs/common/hardstop.hpp"

namespace tools {

double PoissonSampler::uniform() { return static_cast<double>(gen_() >> 11) * 0x1.0p-53; }

long long PoissonSampler::sample(double mean) {
  if (!(mean > 0)) return 0;
  return mean < 10 ? multiplication(mean) : transformedRejection(mean);
}

// Small means: count the uniforms whose running product stays above e^-mean.
long long PoissonSampler::multiplication(double mean) {
  const double limit = std::exp(-mean);
  long long k = 0;
  for (double p = uniform(); p > limit; p *= uniform()) ++k;
  return k;
}

// Large means: transformed rejection with squeeze (Hoermann, Insurance:
// Mathematics and Economics 12 (1993) 39), exact for every mean >= 10.
long long PoissonSampler::transformedRejection(double mean) {
  const double slam = std::sqrt(mean), loglam = std::log(mean);
  const double b = 0.931 + 2.53 * slam;
  const double a = -0.059 + 0.02483 * b;
  const double invalpha = 1.1239 + 1.1328 / (b - 3.4);
  const double vr = 0.9277 - 3.6224 / (b - 2);
  for (;;) {
    const double U = uniform() - 0.5, V = uniform();
    const double us = 0.5 - std::abs(U);
    const double k = std::floor((2 * a / us + b) * U + mean + 0.43);
    if (us >= 0.07 && V <= vr) return static_cast<long long>(k);
    if (k < 0 || (us < 0.013 && V > us)) continue;
    if (std::log(V) + std::log(invalpha) - std::log(a / (us * us) + b) <= -mean + k * loglam - std::lgamma(k + 1))
      return static_cast<long long>(k);
  }
}

int addNoise(const std::string& in, const std::string& out, const NoiseSettings& s) {
  struct Point {
    float t, y;
  };
  std::vector<Point> pts;
  fio::Unit src(1);
  src.openOld(in);
  for (float t = 0, x = 0, y = 0; src.tryRead(t, x, y);)
    if (s.layout == Layout::Counts || t >= s.tmin) pts.push_back({t, y});
  src.close();
  float top = 0;
  for (const Point& p : pts) top = std::max(top, p.y);
  if (pts.empty() || !(top > 0)) common::hardStop(" no positive theory values to draw counts from in " + in);
  const bool refl = s.layout == Layout::Reflectivity;
  if (s.layout != Layout::Counts)
    std::sort(pts.begin(), pts.end(), [refl](const Point& p, const Point& q) { return refl ? p.t < q.t : p.t > q.t; });
  PoissonSampler gen(s.seed);
  fio::Unit dst(2);
  dst.openNew(out);
  if (refl) dst.print(static_cast<int>(pts.size()));
  for (const Point& p : pts) {
    const long long n = gen.sample(s.background + s.peak * p.y / top);
    if (refl)
      dst.write("(F11.3,I12,I2)", p.t, n, 0);
    else if (s.layout == Layout::Counts)
      dst.write("(I10)", n);
    else
      dst.write("(F11.3,I10)", p.t, n);
  }
  dst.close();
  return static_cast<int>(pts.size());
}

}  // namespace tools

// The prompt reflectivity curve: 3500 grazing angles (0.5 to 20 mrad) over a
// stepped model of 100 sublayers, a graded Fe/Si multilayer on silicon; one
// core.  The counter gives the time per angle x sublayer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>

#include "numlib/farray.hpp"
#include "numlib/limits.hpp"
#include "numlib/nref.hpp"

namespace {

constexpr int kAngles = 3500;
constexpr int kSublayers = 100;  // substrate included
constexpr double kK0 = 7.3;

struct Curve {
  numlib::Arr1<double, numlib::NMAX> D;
  numlib::Arr1<std::complex<double>, numlib::NMAX> chi;
  numlib::Arr1<double, kAngles> theta;
  numlib::Arr1<float, kAngles> R;
  Curve() {
    const std::complex<double> fe{-15.2e-6, 0.69e-6}, si{-4.6e-6, 0.011e-6};
    for (int i = 1; i < kSublayers; ++i) {
      // Periods of 11 sublayers of 3.5 Angstrom with smooth interfaces.
      const double x = 0.5 + 0.5 * std::cos(2 * M_PI * i / 11.0);
      D(i) = kK0 * 3.5;
      chi(i) = x * fe + (1 - x) * si;
    }
    D(kSublayers) = 0.0;
    chi(kSublayers) = si;
    for (int j = 1; j <= kAngles; ++j) theta(j) = (0.5 + (j - 1) * 19.5 / (kAngles - 1)) * 1e-3;
  }
};

void BM_NREFCurve(benchmark::State& state) {
  static Curve c;
  for (auto _ : state) {
    for (int j = 1; j <= kAngles; ++j) numlib::NREF(c.theta(j), kSublayers, 0, 0, 1, c.D, c.chi, c.R(j));
    benchmark::DoNotOptimize(c.R.data());
  }
  state.counters["per_angle_sublayer"] = benchmark::Counter(
      double(kAngles) * kSublayers, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_NREFCurve)->Unit(benchmark::kMillisecond);

}  // namespace

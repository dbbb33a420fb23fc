// The per-angle costs of a fit pass: one 1024-channel FFT, moving a 512-point
// energy spectrum onto the 1024 transform abscissae, and a scale-and-background
// search over the 900 compared points.
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <vector>

#include "numlib/fits.hpp"
#include "numlib/interp.hpp"

namespace {

using numlib::Span1;

void BM_FFT1024(benchmark::State& state) {
  std::vector<std::complex<double>> d(1024);
  for (int k = 0; k < 1024; ++k) d[k] = std::polar(std::exp(-k / 141.0), 0.37 * k);
  const auto start = d;
  for (auto _ : state) {
    d = start;
    numlib::FFT(Span1<std::complex<double>>(d.data(), 1024), 1024, -1.0);
    benchmark::DoNotOptimize(d.data());
  }
}
BENCHMARK(BM_FFT1024);

void BM_INTERP_512_to_1024(benchmark::State& state) {
  std::vector<float> X(512), XN(1024);
  std::vector<double> Y(512), YN(1024);
  for (int i = 0; i < 512; ++i) X[i] = -60.0f + 0.25f * i, Y[i] = 1.0 / (1.0 + X[i] * X[i]);
  for (int j = 0; j < 1024; ++j) XN[j] = -64.0f + 0.125f * j;
  for (auto _ : state) {
    numlib::INTERP(Span1<const float>(X.data(), 512), Span1<const double>(Y.data(), 512),
                   Span1<const float>(XN.data(), 1024), Span1<double>(YN.data(), 1024), 512, 1024);
    benchmark::DoNotOptimize(YN.data());
  }
}
BENCHMARK(BM_INTERP_512_to_1024);

void BM_SCALBG900(benchmark::State& state) {
  const int crit = static_cast<int>(state.range(0));
  std::vector<float> T(900), E(900);
  for (int j = 0; j < 900; ++j) {
    T[j] = static_cast<float>(std::exp(-j / 300.0) * (1.0 + 0.6 * std::cos(0.05 * j)) + 0.02);
    E[j] = 1.7f * T[j] * (1.0f + 0.02f * static_cast<float>(std::sin(1.7 * j))) + 0.04f;
  }
  for (auto _ : state) {
    // A first-pass call of the time-spectra program.
    float DS = 0.0f, DB = 0.05f, S = 3.0f, B = 0.0f, EPS = 0.0f;
    numlib::SCALBG(Span1<const float>(E.data(), 900), Span1<const float>(T.data(), 900), 900, 1,
                   900, DS, DB, S, B, 1e-5f, EPS, crit);
    benchmark::DoNotOptimize(EPS);
  }
}
BENCHMARK(BM_SCALBG900)->Arg(1)->Arg(2)->Arg(3);

}  // namespace

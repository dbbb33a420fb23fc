// Cost of the further matrix routines beside the ones they stand in for, on
// the layer operators of matrix_bench.cpp's physical scale.
#include <benchmark/benchmark.h>

#include <complex>

#include "numlib/cmatrix2.hpp"
#include "numlib/layer.hpp"
#include "numlib/layer2.hpp"
#include "tests/numlib/layer_operator.hpp"

namespace {

using numlib::cdouble;
using numlib::CMat4;

constexpr double kS = 3e-3;
constexpr double kD = 7300.0;
const cdouble kChi{-15e-6, 0.7e-6};

template <class Call>
void timeCalls(benchmark::State& state, CMat4& out, Call call) {
  for (auto _ : state) {
    call();
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
}

// An uncoupled anisotropic layer: TMAT4D's closed form against PROPM4.
nrstest::LayerOperator uncoupled() { return nrstest::layerOperator(kS, kChi, kChi + cdouble(3e-6, 4e-6), 0.0, 0.0); }

void BM_TMAT4D(benchmark::State& state) {
  const CMat4 M = uncoupled().M;
  CMat4 T;
  timeCalls(state, T, [&] { numlib::TMAT4D(M, kD, T); });
}
BENCHMARK(BM_TMAT4D);

void BM_PROPM4_Uncoupled(benchmark::State& state) {
  const nrstest::LayerOperator l = uncoupled();
  CMat4 T;
  timeCalls(state, T, [&] { numlib::PROPM4(l.M, l.Q, kD, T); });
}
BENCHMARK(BM_PROPM4_Uncoupled);

// EXPM4 squares about log2(1000 D) = 23 times at this thickness.
void BM_EXPM4(benchmark::State& state) {
  const CMat4 M = nrstest::layerOperator(kS, kChi + cdouble(3e-6, 5e-6), kChi, {1e-6, 2e-6}, {-1.5e-6, 1e-6}).M;
  CMat4 T;
  timeCalls(state, T, [&] { numlib::EXPM4(M, kD, T); });
}
BENCHMARK(BM_EXPM4);

void BM_CINV4(benchmark::State& state) {
  CMat4 A = uncoupled().M, T;
  for (int i = 1; i <= 4; ++i) A(i, i) = cdouble(1.0 + i, 0.1 * i);
  timeCalls(state, T, [&] { numlib::CINV4(A, T); });
}
BENCHMARK(BM_CINV4);

}  // namespace

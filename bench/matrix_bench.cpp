// Cost of the per-energy-point matrix routines, on matrices of the physical
// scale: grazing angle 3 mrad, electronic susceptibility of iron, a nuclear
// part of a few 1e-6, a sublayer of 1000 Angstrom (phase thickness 7300).
#include <benchmark/benchmark.h>

#include <complex>

#include "numlib/cmatrix.hpp"
#include "numlib/cmatrix_ext.hpp"
#include "numlib/layer.hpp"
#include "numlib/layer_ext.hpp"
#include "tests/numlib/layer_operator.hpp"

namespace {

using numlib::cdouble;
using numlib::CMat2;
using numlib::CMat4;
using nrstest::LayerOperator;

constexpr double kS = 3e-3;
constexpr double kD = 7300.0;
const cdouble kChi{-15e-6, 0.7e-6};

LayerOperator nuclearLayer() {
  return nrstest::layerOperator(kS, kChi + cdouble(3e-6, 5e-6), kChi + cdouble(-2e-6, 4e-6), {1e-6, 2e-6},
                                {-1.5e-6, 1e-6});
}

// A single line without hyperfine splitting: isotropic up to rounding noise
// (a few units in the last place of the susceptibility).
LayerOperator singleLineLayer() { return nrstest::layerOperator(kS, kChi + cdouble(5e-21, 0.0), kChi, 0.0, 0.0); }

// Times call() and keeps its result out alive.
template <class Out, class Call>
void timeCalls(benchmark::State& state, Out& out, Call call) {
  for (auto _ : state) {
    call();
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
}

void BM_CMUL2(benchmark::State& state) {
  CMat2 A, B, C;
  A.e = {cdouble(1, 2), cdouble(3, 4), cdouble(5, 6), cdouble(7, 8)};
  B.e = {cdouble(2, 1), cdouble(4, 3), cdouble(6, 5), cdouble(8, 7)};
  timeCalls(state, C, [&] { numlib::CMUL2(A, B, C); });
}
BENCHMARK(BM_CMUL2);

void BM_CMUL4(benchmark::State& state) {
  CMat4 A = nuclearLayer().M, B = A, C;
  B(1, 1) = 0.5;
  timeCalls(state, C, [&] { numlib::CMUL4(A, B, C); });
}
BENCHMARK(BM_CMUL4);

// A Parratt-path propagator: entries of the size of the eigenvalues.
void BM_EXPM2(benchmark::State& state) {
  CMat2 M, T;
  M.e = {std::sqrt(kS * kS + kChi), cdouble(-1e-6, 2e-6), cdouble(1e-6, 1e-6),
         std::sqrt(kS * kS + kChi + cdouble(2e-6, 3e-6))};
  timeCalls(state, T, [&] { numlib::EXPM2(M, kD, T); });
}
BENCHMARK(BM_EXPM2);

void BM_TMAT4I(benchmark::State& state) {
  const CMat4 M = singleLineLayer().M;
  CMat4 T;
  timeCalls(state, T, [&] { numlib::TMAT4I(M, kD, T); });
}
BENCHMARK(BM_TMAT4I);

void BM_PROPM4_Sylvester(benchmark::State& state) {
  const LayerOperator l = nuclearLayer();
  CMat4 T;
  timeCalls(state, T, [&] { numlib::PROPM4(l.M, l.Q, kD, T); });
}
BENCHMARK(BM_PROPM4_Sylvester);

// Nearly coinciding eigenvalues: the balanced scaling-and-squaring path.
void BM_PROPM4_Fallback(benchmark::State& state) {
  const LayerOperator l = singleLineLayer();
  CMat4 T;
  timeCalls(state, T, [&] { numlib::PROPM4(l.M, l.Q, kD, T); });
}
BENCHMARK(BM_PROPM4_Fallback);

void BM_REFL2(benchmark::State& state) {
  const LayerOperator l = nuclearLayer();
  CMat4 P;
  numlib::PROPM4(l.M, l.Q, kD, P);
  CMat2 X, Y, R;
  X(1, 1) = kS;
  X(2, 2) = 1.0 / kS;
  const cdouble q = std::sqrt(kS * kS + cdouble(-7e-6, 0.2e-6));
  Y(1, 1) = q;
  Y(2, 2) = 1.0 / q;
  timeCalls(state, R, [&] { numlib::REFL2(X, P, Y, R); });
}
BENCHMARK(BM_REFL2);

// The routines that no program calls yet, beside the ones they stand in for.
// An uncoupled anisotropic layer: TMAT4D's closed form against PROPM4.
LayerOperator uncoupledLayer() { return nrstest::layerOperator(kS, kChi, kChi + cdouble(3e-6, 4e-6), 0.0, 0.0); }

void BM_TMAT4D(benchmark::State& state) {
  const CMat4 M = uncoupledLayer().M;
  CMat4 T;
  timeCalls(state, T, [&] { numlib::TMAT4D(M, kD, T); });
}
BENCHMARK(BM_TMAT4D);

void BM_PROPM4_Uncoupled(benchmark::State& state) {
  const LayerOperator l = uncoupledLayer();
  CMat4 T;
  timeCalls(state, T, [&] { numlib::PROPM4(l.M, l.Q, kD, T); });
}
BENCHMARK(BM_PROPM4_Uncoupled);

// EXPM4 squares about log2(1000 D) = 23 times at this thickness.
void BM_EXPM4(benchmark::State& state) {
  const CMat4 M = nuclearLayer().M;
  CMat4 T;
  timeCalls(state, T, [&] { numlib::EXPM4(M, kD, T); });
}
BENCHMARK(BM_EXPM4);

void BM_CINV4(benchmark::State& state) {
  CMat4 A = uncoupledLayer().M, T;
  for (int i = 1; i <= 4; ++i) A(i, i) = cdouble(1.0 + i, 0.1 * i);
  timeCalls(state, T, [&] { numlib::CINV4(A, T); });
}
BENCHMARK(BM_CINV4);

}  // namespace

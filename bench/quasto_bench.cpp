// One computing pass of QUASTO with its comparison: 3500 angles over 100
// stepped sublayers, the experiment file of 3500 points read, divergence
// averaging, footprint correction, scale fit, and the files of the pass
// ("RELAY.res", "PROMP2.res", "RESULTI.res") written; on 1, 2, 4 and all
// threads (argument 0).  The counter gives the time per angle x sublayer.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "programs/quasto/quasto.hpp"
#include "tests/support/tempdir.hpp"

namespace {

constexpr int kAngles = 3500;
constexpr int kSublayers = 100;

void setUp(quasto::QuastoData& d) {
  common::PromptSettings& p = d.prm;
  p.Intexp = 1;
  p.expName = "refl.dat";
  p.Nstepp = kAngles;
  p.DIV = 0.01f;
  p.ANGBEAM = 2.0f;
  p.JFITP = 1;
  p.ACOMP2 = 100;
  p.EPFINP = 1e-5f;
  common::angleGrid(0.5f, 0.005f, kAngles, d.curve.mrad, d.curve.rad);
  d.mc.K0 = 7.3;
  common::SteppedModel& st = d.st;
  const std::complex<double> fe{-15.2e-6, 0.69e-6}, si{-4.6e-6, 0.011e-6};
  st.NNst = kSublayers;
  for (int i = 1; i < kSublayers; ++i) {
    const double x = 0.5 + 0.5 * std::cos(2 * M_PI * i / 11.0);
    st.thickness(i) = 3.5;
    st.chi(i) = x * fe + (1 - x) * si;
  }
  st.chi(kSublayers) = si;
  d.log.openNew("QUASTO.RES");
  FILE* f = std::fopen("refl.dat", "w");
  std::fprintf(f, " %d\n", kAngles);
  for (int j = 1; j <= kAngles; ++j)
    std::fprintf(f, " %.3f %.6e 0\n", d.curve.mrad(j), 1e6 * std::exp(-0.5 * d.curve.mrad(j)));
  std::fclose(f);
}

void BM_PromptPass(benchmark::State& state) {
  nrstest::TempDir scratch;  // the pass writes its result files
  static quasto::QuastoData d;
  setUp(d);
  const int threads = state.range(0) == 0 ? omp_get_num_procs() : static_cast<int>(state.range(0));
  omp_set_num_threads(threads);
  common::FitState fs;
  fs.JREP = 3;
  fs.Jcalc = 1;
  for (auto _ : state) benchmark::DoNotOptimize(quasto::PASSQ(d, fs).EPSN);
  d.log.close();
  state.counters["threads"] = threads;
  state.counters["per_angle_sublayer"] = benchmark::Counter(
      double(kAngles) * kSublayers, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PromptPass)->Arg(1)->Arg(2)->Arg(4)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

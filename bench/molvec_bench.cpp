// One computing pass of MOLVEC with its comparison: 900 angles, 512 energy
// points and 100 stepped sublayers of a graded 57Fe/Si multilayer (a sextet
// in an oblique field and a quadrupole doublet in every sublayer), each
// angle's time spectrum and window sums, the divergence averaging,
// footprint correction and scale fits of both curves, and the files of the
// pass written; transfer-matrix path (first argument 1) and Parratt path
// (2), on 1 and on all threads (second argument 0).  The counter gives the
// wall time per angle x energy point x sublayer.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <cmath>
#include <filesystem>

#include "programs/molvec/molvec.hpp"
#include "tests/support/tempdir.hpp"
#include "tests/programs/physics/fe57_fixture.hpp"

namespace {

using namespace physics_test;

constexpr int kAngles = 900;
constexpr int kPoints = 512;
constexpr int kSublayers = 100;

void sample(const Fe57& fe, common::SteppedModel& st) {
  st.NNst = 0;
  addLayer(st, fe, 20.0, kChiPd);
  for (int i = 0; i < kSublayers - 2; ++i) {
    const double x = 0.5 + 0.5 * std::cos(2 * M_PI * i / 20.0);
    const int l = addLayer(st, fe, 3.0, x * kChiFe + (1 - x) * kChiSi, 1, static_cast<float>(40 * x),
                           1.2f + 0.001f * i, 0.4f, 0.1f);
    st.V(2, l) = static_cast<float>(8 * (1 - x) + 0.5);
  }
  addLayer(st, fe, 0.0, kChiSi);
  st.phase = true;  // addLayer gives phase thicknesses
}

void setUp(molvec::MolvecData& d, int Jway) {
  static Fe57 fe;
  d.nc = fe.C;
  d.nc.Bhf(1) = 33.0f, d.nc.EFG(1) = 0.05f;
  d.nc.EFG(2) = 0.8f, d.nc.IS(2) = 0.35f, d.nc.GRd(2) = 0.02f;
  d.mc.XEST = 0.1f;
  d.mc.K0 = fe.K0;
  d.mc.LYAMBDA = fe.LYAMBDA;
  d.model.IBHF = 1;
  d.model.NM = 2;
  d.par.Jway = Jway;
  d.par.IDIST = 0;
  d.par.AF = 0;
  d.grid.NE = kPoints;
  for (int k = 1; k <= kPoints; ++k) d.grid.X(k) = 0.2f * static_cast<float>(k - 257);
  sample(fe, d.st);
  d.del.Nstep = kAngles;
  d.del.JFITD = 1;
  d.del.FJEPP = d.del.FJEPD = 1;
  common::angleGrid(1.0f, 0.01f, kAngles, d.curves.UT, d.curves.rad);
  molvec::timeWindows(static_cast<float>(fe.channel(0.1f)), 20, 170, 176, d.win);
  common::PromptSettings& p = d.prm;
  p.Intexp = 1;
  p.DIV = 0.01f;
  p.ANGBEAM = 2.0f;
  p.JFITP = 1;
  molvec::Comparison& c = d.cmp;
  c.x.JEXP = kAngles;
  for (int i = 1; i <= kAngles; ++i) {
    c.x.XE(i) = d.curves.UT(i);
    c.x.YEXPP(i) = std::exp(-0.5f * c.x.XE(i));
    c.x.YEXPD(i) = 0.5f + 0.1f * std::sin(c.x.XE(i));
  }
  c.YPMAX = c.YDMAX = 1;
  c.JZ1D = 1, c.JZ2D = kAngles;
  d.log.openNew("MOLVEC.RES");
}

void BM_MolvecPass(benchmark::State& state) {
  nrstest::TempDir scratch;  // the pass writes its result files
  static molvec::MolvecData d;
  setUp(d, static_cast<int>(state.range(0)));
  const int threads = state.range(1) == 0 ? omp_get_num_procs() : static_cast<int>(state.range(1));
  omp_set_num_threads(threads);
  d.work.resize(static_cast<std::size_t>(threads));
  common::FitState fs;
  fs.JREP = 3;
  fs.Jcalc = 1;
  for (auto _ : state) benchmark::DoNotOptimize(molvec::PASSD(d, fs).EPSN);
  d.log.close();
  state.counters["threads"] = threads;
  state.counters["per_angle_point_sublayer"] =
      benchmark::Counter(double(kAngles) * kPoints * kSublayers,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MolvecPass)
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({2, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

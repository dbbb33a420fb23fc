// One time-spectra pass of a reference sample: 300 stepped sublayers of a
// graded 57Fe multilayer with a magnetic sextet in an oblique field and a
// quadrupole doublet, 4 grazing angles, 512 energy points; transfer-matrix
// path (Jway = 1) and Parratt path (Jway = 2).  The counter gives the time
// per angle x energy point x sublayer.  Near the lines about 7% of the points
// are too ill-conditioned for the transfer matrices: the matrix pass computes
// them by the recursion as well.
#include <benchmark/benchmark.h>

#include <omp.h>

#include <cmath>

#include "tests/programs/physics/fe57_fixture.hpp"

namespace {

using namespace physics_test;

void referenceSample(Sample& r) {
  NuclearConstants& C = r.fe.C;
  C.Bhf(1) = 33.0f, C.EFG(1) = 0.05f, C.IS(1) = 0.0f;
  C.Bhf(2) = 0.0f, C.EFG(2) = 0.8f, C.IS(2) = 0.35f, C.GRd(2) = 0.02f;
  r.a.NM = 2;
  SteppedModel& st = *r.st;
  addLayer(st, r.fe, 20.0, kChiPd);
  for (int i = 0; i < 298; ++i) {
    // Period of 30 sublayers with smooth interfaces between iron and spacer.
    const double x = 0.5 + 0.5 * std::cos(2 * M_PI * i / 30.0);
    const int l = addLayer(st, r.fe, 3.0, x * kChiFe + (1 - x) * kChiSi, 1,
                           static_cast<float>(40 * x), 1.2f + 0.001f * i, 0.4f, 0.1f);
    st.V(2, l) = static_cast<float>(8 * (1 - x) + 0.5);
  }
  addLayer(st, r.fe, 0.0, kChiSi);
}

void fourAngles(Sample& r) {
  for (double angle : {2.5e-3, 3.0e-3, 3.5e-3, 4.0e-3}) {
    r.a.angle = angle;
    r.timcalu();
    benchmark::DoNotOptimize(r.out->SUMTfull);
  }
}

void BM_TimePass(benchmark::State& state) {
  const int Jway = static_cast<int>(state.range(0));
  Sample r(0.05f, 12.0f, 3e-3, Jway);
  referenceSample(r);
  for (auto _ : state) fourAngles(r);
  const double items = 4.0 * r.a.NE * r.st->NNst;
  state.counters["per_angle_point_sublayer"] =
      benchmark::Counter(items, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["NE"] = r.a.NE;
  state.counters["NNst"] = r.st->NNst;
}
BENCHMARK(BM_TimePass)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The same pass with the energy points of each angle on 1, 2, 4 and all
// threads (second argument 0), wall time: what the time-spectra program
// gains from threads over its few angles.
void BM_TimePassEnergyThreads(benchmark::State& state) {
  Sample r(0.05f, 12.0f, 3e-3, static_cast<int>(state.range(0)));
  referenceSample(r);
  r.a.threads = state.range(1) == 0 ? omp_get_num_procs() : static_cast<int>(state.range(1));
  for (auto _ : state) fourAngles(r);
  state.counters["threads"] = r.a.threads;
}
BENCHMARK(BM_TimePassEnergyThreads)
    ->ArgsProduct({{1, 2}, {1, 2, 4, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

// One pass of the conversion-electron program: 1024 velocity points, 8
// hyperfine multiplets, each spread over a field distribution of 41 points,
// in a film of 12 stepped sublayers; the spectra, the source-line
// convolution of the total and of every multiplet, and the comparison with
// a 1024-channel experiment.  The counter gives the time per velocity point
// x multiplet x field point.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "programs/brinax/brinax.hpp"
#include "tests/programs/physics/fe57_fixture.hpp"

namespace {

constexpr int kPoints = 1024, kMultiplets = 8, kJAV1 = 20, kSublayers = 12;

void setUp(brinax::BrinaxData& d) {
  d.nc = physics_test::Fe57().C;
  d.nc.JAV1 = kJAV1;
  d.nc.SWD = 3.0f;
  for (int i = 1; i <= 2 * kJAV1 + 1; ++i) {
    const float x = (i - kJAV1 - 1) * 3.0f / kJAV1;
    d.dist.WDIST(i) = std::exp(-x * x / 2) / (kJAV1 / 3.0f * std::sqrt(2 * static_cast<float>(M_PI)));
  }
  d.par.IDIST = 1;
  d.par.JFIT = 0;
  d.mc.K0 = 7.3;
  d.model.NM = kMultiplets;
  d.model.NNN = 1;
  d.model.IBHF = 1;
  for (int K = 1; K <= kMultiplets; ++K) {
    d.nc.Bhf(K) = 20.0f + 2.0f * K;
    d.nc.dBhf(K) = 1.0f;
    d.nc.IS(K) = 0.02f * K;
    d.nc.EFG(K) = 0.01f * K;
  }
  common::SteppedModel& st = d.st;
  st.NNst = kSublayers;
  st.N1Nst = st.N2Nst = 0;
  st.NRR = 1;
  st.phase = true;  // thicknesses given as phase thicknesses
  for (int l = 1; l <= kSublayers; ++l) {
    st.thickness(l) = 10.0;
    for (int K = 1; K <= kMultiplets; ++K) st.V(K, l) = 1.0f / kMultiplets;
    st.BE(l) = 1.2f;
    st.GA(l) = 0.3f;
    st.RAND(l) = 0.1f;
    st.WID(l) = 0.2f;
  }
  brinax::CemsParams& c = d.cems;
  c.NSPCE = 1;
  c.GS = 0.1f;
  c.EMAX = 12.0f;
  c.IMM = kPoints;
  c.JEXPC = kPoints;
  brinax::ESCALE(d.log, c, d.mc.XEST, d.scale);
  for (int j = 1; j <= kPoints; ++j) {
    d.exper.XEXP(j) = d.scale.XXM(j);
    d.exper.YEXP(j) = 0.5f + 0.4f * std::cos(0.7f * d.scale.XXM(j));
  }
  d.exper.N1 = 10;
  d.exper.N2 = kPoints - 10;
}

void BM_CemsPass(benchmark::State& state) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("cemcmp-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  auto d = std::make_unique<brinax::BrinaxData>();
  d->log.openNew((dir / "TOLPEK.RES").string());
  setUp(*d);
  common::FitState fs;
  fs.JREP = 3;
  fs.Jcalc = 1;
  for (auto _ : state) benchmark::DoNotOptimize(brinax::CEMCMP(*d, fs));
  d->log.close();
  std::filesystem::remove_all(dir);
  state.counters["per_point_multiplet_field"] = benchmark::Counter(
      double(kPoints) * kMultiplets * (2 * kJAV1 + 1), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CemsPass)->Unit(benchmark::kMillisecond);

}  // namespace

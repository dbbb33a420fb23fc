// The shipped 57Fe constants file, read as the programs read it, with the
// programs' own energy grid: the time spectrum of a thin film decays with the
// published lifetime and alpha-Fe beats with the published moments.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fe57_fixture.hpp"
#include "programs/common/constants.hpp"
#include "programs/common/egrid.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

using namespace physics_test;

TEST(ShippedConstants, Fe57FilmDecaysAndBeatsAsPublished) {
  NuclearConstants nc;
  common::MainConstants mc;
  common::EnergyGrid eg;
  {
    nrstest::TempDir dir;
    dir.write("Tconst.INI", nrstest::slurp(nrstest::sourcePath("data/FeConst.INI")));
    fio::Unit log(4);
    common::RDCONST(log, nc, mc);
    common::EGRID(log, nc.JE, mc.XEST, mc.XEMAX, eg);
    log.close();
  }
  const double B = 33.0;
  const double dE = (kMuGround / 0.5 - kMuExcited / 1.5) * kNuclearMagneton * B;  // eV
  const double period = kPlanck / dE * 1e9;  // ns
  for (int Jway : {1, 2}) {
    for (bool field : {false, true}) {
      Sample r(mc.XEST, 1.0f, 4e-3, Jway);
      r.fe.C = nc;
      r.fe.K0 = mc.K0;
      r.fe.LYAMBDA = mc.LYAMBDA;
      r.grid = eg.X;
      r.a.NE = eg.NE;
      r.fe.C.Bhf(1) = field ? static_cast<float>(B) : 0.0f;
      // A thin film of 0.04 % 57Fe: no speed-up of the decay.
      addLayer(*r.st, r.fe, 20.0, kChiFe, 1, 4e-4f, 0.0f, 0.0f, field ? 0.0f : 1.0f);
      addLayer(*r.st, r.fe, 0.0, kChiSi);
      r.timcalu();
      std::vector<double> t, y;
      for (int j = 2; j < 1024; ++j) {
        const double tj = (j - 1) * r.channel();
        if (tj < 30 || tj > 500) continue;
        if (!field) {
          t.push_back(tj), y.push_back(std::log(static_cast<double>(r.out->It(j))));
        } else if (r.out->It(j) < r.out->It(j - 1) && r.out->It(j) <= r.out->It(j + 1)) {
          t.push_back(static_cast<double>(t.size())), y.push_back(tj);
        }
      }
      const double k = slope(t, y);
      if (field)
        EXPECT_NEAR(k, period, 0.005 * period) << "beat period " << k << " ns";
      else
        EXPECT_NEAR(-1.0 / k, kLifetime, 0.01 * kLifetime) << "decay time " << -1.0 / k << " ns";
    }
  }
}

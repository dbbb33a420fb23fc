// The conversion-electron kernel against the physics of 57Fe: line positions
// from the splitting factors of the shipped constants file, the area ratios
// of the sextet for each field direction, the quadrupole doublet, and the
// depth weighting of the sublayers.
#include "programs/brinax/cemscal.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "numlib/mathconst.hpp"
#include "programs/common/constants.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

using brinax::Spectra;
using numlib::toRadians;

common::NuclearConstants fe57() {
  nrstest::TempDir dir;
  dir.write("Tconst.INI", nrstest::slurp(nrstest::sourcePath("data/FeConst.INI")));
  common::NuclearConstants C;
  common::MainConstants mc;
  fio::Unit log(4);
  common::RDCONST(log, C, mc, {"TOLPEK.RES", common::ConstantsKind::Conversion});
  log.close();
  return C;
}

// Lines of the alpha-Fe sextet in order of energy: (mg, me) doubled; the line
// energy is the excited level minus the ground level, m B times the
// splitting factor of the level.
struct Line {
  int mg, me;
};
constexpr std::array<Line, 6> kSextet = {{{-1, -3}, {-1, -1}, {-1, 1}, {1, -1}, {1, 1}, {1, 3}}};

double lineEnergy(const common::NuclearConstants& C, const Line& l, double B) {
  return (l.me * C.EFAC / 2.0 - l.mg * C.GFAC / 2.0) * B;
}

// One layer of 57Fe (or a stack) and the kernel's inputs and outputs.
struct Kernel {
  common::NuclearConstants C = fe57();
  std::unique_ptr<common::SteppedModel> st = std::make_unique<common::SteppedModel>();
  std::unique_ptr<Spectra> A = std::make_unique<Spectra>(), B = std::make_unique<Spectra>();
  numlib::Arr1<float, brinax::kMaxPoints> X;
  numlib::Arr1<float, 101> WDIST;
  numlib::Arr1<float, numlib::N6> S;
  brinax::CemsArgs a;

  Kernel() {
    C.Bhf(1) = 33.0f;
    C.GRd(1) = 0.1f;  // lines wide against the grid step
    addLayer(1.0, 1, 1.0f);
    a.NM = 1;
    a.XXM = X;
    a.WDIST = WDIST;
    a.S = S;
  }
  void addLayer(double t, int K, float V, float BEdeg = 90, float GAdeg = 0, float R = 0, float Q = 0, float WIDdeg = 0) {
    const int l = ++st->NNst;
    st->thickness(l) = t;
    st->V(K, l) = V;
    st->BE(l) = toRadians(BEdeg);
    st->GA(l) = toRadians(GAdeg);
    st->RAND(l) = R;
    st->PLAN(l) = Q;
    st->WID(l) = toRadians(WIDdeg);
  }
  void grid(int n, double lo, double hi) {
    a.IMM = n;
    for (int k = 1; k <= n; ++k) X(k) = static_cast<float>(lo + (hi - lo) * (k - 1) / (n - 1));
  }
  void run() { brinax::CEMScal(C, a, *st, *A, *B); }
  double total(int k, int K = 0) const { return (*A)(k, K) + (*B)(k, K); }

  // Peaks of the unpolarised sum, refined by a parabola through the top three points.
  std::vector<double> peaks() {
    run();
    double top = 0;
    for (int k = 1; k <= a.IMM; ++k) top = std::max(top, total(k));
    std::vector<double> p;
    for (int k = 2; k < a.IMM; ++k) {
      const double y0 = total(k - 1), y1 = total(k), y2 = total(k + 1);
      if (y1 > y0 && y1 >= y2 && y1 > 0.05 * top) {
        const double h = X(k + 1) - X(k);
        p.push_back(X(k) + h * (y0 - y2) / (2 * (y0 - 2 * y1 + y2)));
      }
    }
    return p;
  }
};

// A field gradient along the field moves the excited levels me = +-3/2 by
// +EFG/2 and +-1/2 by -EFG/2 (EFG, the splitting of the pure doublet, is
// eQVzz/2): lines 1 and 6 up by EFG/2, lines 2 to 5 down.
TEST(CEMScal, AlphaIronLinesStandAtTheSplittingOfTheConstantsFile) {
  for (const float EFG : {0.0f, 0.3f, -0.2f}) {
    Kernel k;
    k.grid(1024, -6.5, 6.5);
    k.C.IS(1) = 0.25f;
    k.C.EFG(1) = EFG;
    const std::vector<double> p = k.peaks();
    ASSERT_EQ(p.size(), 6u);
    for (int i = 0; i < 6; ++i) {
      const double quadrupole = (i == 0 || i == 5 ? 0.5 : -0.5) * EFG;
      EXPECT_NEAR(p[i], lineEnergy(k.C, kSextet[i], 33.0) + 0.25 + quadrupole, 0.003) << i << " " << EFG;
    }
    // Room-temperature alpha-Fe: lines 1 and 6 stand 10.62 mm/s apart.
    EXPECT_NEAR(p[5] - p[0], 10.62, 0.04);
  }
}

// Areas from the heights at the six line positions: every line has the
// natural width, and the other lines' tails add less than 0.5 %.  For a
// field at the angle theta to the beam the areas are 3 : x : 1 with
// x = 4 sin^2(theta) / (1 + cos^2(theta)), whether the angles are given per
// sublayer (IBHF = 1) or per multiplet (IBHF = 2).  The Delta m = 0 line is
// polarised along the field's projection across the beam: polarisation 1,
// at azimuth 0, takes the share cos^2(GA) of it.
TEST(CEMScal, SextetAreasFollowTheFieldDirectionAgainstTheBeam) {
  struct Case {
    const char* what;
    float BE, GA, R, Q, WID;
    double r2, r3;  // areas of lines 2 and 3 against line 1 (times 3)
  };
  const auto oblique = [](double deg) {
    const double c = std::cos(toRadians(deg)), s = std::sin(toRadians(deg));
    return 4 * s * s / (1 + c * c);
  };
  const Case cases[] = {
      {"random", 40, 10, 1, 0, 0, 2, 1},
      {"field across the beam", 90, 0, 0, 0, 0, 4, 1},
      {"across the beam, other azimuth, spread", 90, 35, 0, 0, 20, 4, 1},
      {"field along the beam", 0, 0, 0, 0, 0, 0, 1},
      {"in the plane across the beam", 0, 0, 0, 1, 0, 4, 1},
      {"half random, half along", 0, 0, 0.5f, 0, 0, 0.8, 1},
      {"30 degrees to the beam", 30, 0, 0, 0, 0, oblique(30), 1},
      {"60 degrees to the beam, azimuth 70", 60, 70, 0, 0, 0, oblique(60), 1},
      {"45 degrees to the beam, azimuth 120", 45, 120, 0, 0, 0, oblique(45), 1},
  };
  for (int IBHF : {1, 2}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (IBHF == 2 ? ", per multiplet" : ", per sublayer"));
      Kernel k;
      k.st->NNst = 0;
      k.addLayer(1.0, 1, 1.0f, c.BE, c.GA, c.R, c.Q, c.WID);
      k.a.IBHF = IBHF;
      k.S(1) = 0.6f;
      k.C.GRd(1) = 0;
      k.a.IMM = 6;
      for (int i = 0; i < 6; ++i) k.X(i + 1) = static_cast<float>(lineEnergy(k.C, kSextet[i], 33.0));
      k.run();
      std::array<double, 6> s;
      for (int i = 0; i < 6; ++i) s[i] = k.total(i + 1);
      const double unit = s[0] / 3;
      EXPECT_NEAR(s[1] / unit, c.r2, 0.01 * std::max(c.r2, 1.0));
      EXPECT_NEAR(s[2] / unit, c.r3, 0.01);
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(s[5 - i] / s[i], 1.0, 0.01) << i;
      if (c.BE > 0 && c.R == 0 && c.Q == 0 && c.WID == 0) {
        const double cg = std::cos(toRadians(c.GA));
        EXPECT_NEAR((*k.A)(2, 0) / s[1], cg * cg, 0.01);
      }
    }
  }
}

TEST(CEMScal, QuadrupoleDoubletStandsAtIsomerShiftPlusMinusHalfTheGradient) {
  const float cases[][2] = {{0.3f, 1.0f}, {-0.2f, 0.6f}, {0.45f, -1.2f}};  // IS, EFG
  for (const auto& c : cases) {
    Kernel k;
    k.C.Bhf(1) = 0;
    k.C.IS(1) = c[0];
    k.C.EFG(1) = c[1];
    k.st->RAND(1) = 1;  // a powder: both lines of equal area
    k.grid(1024, -2, 2);
    const std::vector<double> p = k.peaks();
    ASSERT_EQ(p.size(), 2u) << c[0] << " " << c[1];
    const double half = std::abs(c[1]) / 2;
    EXPECT_NEAR(p[0], c[0] - half, 0.003);
    EXPECT_NEAR(p[1], c[0] + half, 0.003);
    const auto top = [&](double x) { return k.total(1 + static_cast<int>(std::lround((x + 2) / 4 * 1023))); };
    EXPECT_NEAR(top(p[0]) / top(p[1]), 1.0, 0.01);
  }
}

// The sum over the two polarisations sees only the angle between field and
// beam; the azimuth and its spread move intensity between the polarisations.
TEST(CEMScal, AzimuthAndItsSpreadChangeNothingInTheUnpolarisedSum) {
  Kernel k;
  k.grid(512, -6, 6);
  for (float BE : {0.0f, 30.0f, 90.0f}) {
    k.st->BE(1) = toRadians(BE);
    k.st->GA(1) = k.st->WID(1) = 0;
    k.run();
    std::vector<double> sum(513), pol1(513);
    for (int i = 1; i <= 512; ++i) sum[i] = k.total(i), pol1[i] = (*k.A)(i, 0);
    const float variants[][2] = {{90, 0}, {0, 15}, {60, 40}};  // GA, WID
    for (const auto& v : variants) {
      k.st->GA(1) = toRadians(v[0]);
      k.st->WID(1) = toRadians(v[1]);
      k.run();
      double worst = 0, moved = 0;
      for (int i = 1; i <= 512; ++i) {
        worst = std::max(worst, std::abs(k.total(i) - sum[i]) / sum[i]);
        moved = std::max(moved, std::abs((*k.A)(i, 0) - pol1[i]) / sum[i]);
      }
      EXPECT_LT(worst, 1e-5) << BE << " " << v[0] << " " << v[1];
      if (BE != 0 && v[0] == 90) {
        EXPECT_GT(moved, 0.1);
      }
    }
  }
}

double area(const Kernel& k, int K) {
  double s = 0;
  for (int i = 1; i <= k.a.IMM; ++i) s += k.total(i, K);
  return s;
}

// Each sublayer absorbs in proportion to its thickness and density, without
// attenuation, and the repeated block counts NRR times.
TEST(CEMScal, SublayersWeighByThicknessTimesDensityAndTheBlockRepeats) {
  Kernel k;
  k.C.Bhf(2) = 33.0f;  // the same sextet: the two columns differ by their weights only
  k.C.GRd(2) = 0.1f;
  k.a.NM = 2;
  k.st->NNst = 0;
  k.addLayer(30.0, 1, 0.8f);
  k.addLayer(70.0, 2, 0.5f);
  k.addLayer(1000.0, 1, 0.0f);  // substrate without resonant nuclei
  k.grid(1024, -9, 9);
  k.run();
  EXPECT_NEAR(area(k, 1) / area(k, 2), 30 * 0.8 / (70 * 0.5), 0.002);
  EXPECT_NEAR(area(k, 0), area(k, 1) + area(k, 2), 1e-5 * area(k, 0));

  const double once = area(k, 0);
  k.st->N1Nst = 1;
  k.st->N2Nst = 2;
  k.st->NRR = 3;
  k.run();
  EXPECT_NEAR(area(k, 0), 3 * once, 1e-5 * once);
}

}  // namespace

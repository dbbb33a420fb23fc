// The prompt reflectivity of a stepped model against an independent Parratt
// recursion and against closed forms of grazing-incidence optics.
#include "numlib/nref.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "parratt.hpp"

namespace {

using cdouble = std::complex<double>;
constexpr double kK0 = 7.3;  // 1/Angstrom, 14.4 keV
constexpr double kPi = 3.14159265358979323846;

// A stack as NREF takes it: index 0 unused, NNst = the substrate.
struct Stack {
  std::vector<double> D{0.0};   // thickness times K0
  std::vector<cdouble> chi{0.0};
  int NNst() const { return static_cast<int>(D.size()) - 1; }
  void add(double angstrom, cdouble c) {
    D.push_back(kK0 * angstrom);
    chi.push_back(c);
  }
};

cdouble amplitude(const Stack& st, double theta, int N1 = 0, int N2 = 0, int NRR = 1) {
  return numlib::NREFamp(theta, st.NNst(), N1, N2, NRR, numlib::Span1<const double>(st.D.data() + 1, st.NNst()),
                         numlib::Span1<const cdouble>(st.chi.data() + 1, st.NNst()));
}

// The stack as the test recursion takes it: layers from 1, vacuum left out.
cdouble parratt(const Stack& st, double theta) {
  return nrstest::parratt({st.D.begin() + 1, st.D.end()}, {st.chi.begin() + 1, st.chi.end()}, theta);
}

Stack randomStack(std::mt19937& gen) {
  std::uniform_real_distribution<double> thick(2.0, 300.0), re(-5e-5, -1e-6), im(1e-9, 5e-6);
  std::uniform_int_distribution<int> layers(0, 12);
  Stack st;
  const int n = layers(gen);
  for (int i = 0; i < n; ++i) st.add(thick(gen), {re(gen), im(gen)});
  st.add(1000.0, {re(gen), im(gen)});
  return st;
}

TEST(NREF, EqualsParrattOnRandomAbsorbingStacks) {
  std::mt19937 gen(20240611);
  std::uniform_real_distribution<double> angle(0.2e-3, 20e-3);
  double worst = 0.0;
  for (int k = 0; k < 300; ++k) {
    const Stack st = randomStack(gen);
    for (int a = 0; a < 20; ++a) {
      const double theta = angle(gen);
      const cdouble ref = parratt(st, theta);
      const cdouble r = amplitude(st, theta);
      worst = std::max(worst, std::abs(r - ref) / std::abs(ref));
    }
  }
  EXPECT_LT(worst, 1e-9);
}

// A block written out NRR times equals the compact block with count NRR,
// through every path of the doubling plan; a block that ends at the
// substrate stays single.
TEST(NREF, RepeatedBlockEqualsStackWrittenOut) {
  const cdouble fe{-15.2e-6, 0.69e-6}, si{-4.6e-6, 0.011e-6}, cr{-12.0e-6, 0.5e-6};
  for (int NRR = 1; NRR <= 17; ++NRR) {
    Stack compact, full;
    compact.add(20.0, cr);
    full.add(20.0, cr);
    compact.add(31.0, fe);
    compact.add(47.5, si);
    for (int r = 0; r < NRR; ++r) {
      full.add(31.0, fe);
      full.add(47.5, si);
    }
    compact.add(12.0, cr);
    full.add(12.0, cr);
    compact.add(1000.0, si);
    full.add(1000.0, si);
    for (double theta : {1.5e-3, 3.9e-3, 6.2e-3, 11.0e-3}) {
      SCOPED_TRACE(testing::Message() << "NRR " << NRR << " theta " << theta);
      const cdouble ref = amplitude(full, theta);
      EXPECT_LT(std::abs(amplitude(compact, theta, 2, 3, NRR) - ref), 1e-11 * std::abs(ref) + 1e-14);
      EXPECT_NEAR(std::abs(ref), std::abs(parratt(full, theta)), 1e-10);
    }
  }
  Stack st;
  st.add(31.0, fe);
  st.add(1000.0, si);
  EXPECT_EQ(amplitude(st, 4e-3, 1, 2, 5), amplitude(st, 4e-3));
}

// A bare substrate: total reflection below the critical angle sqrt(-chi')
// of a transparent medium, the steepest fall of an absorbing one at it, the
// fall-off as (theta_c / 2 theta)^4 far above it; no contrast, no reflection;
// a film far thicker than its absorption length reflects like its bulk.
TEST(NREF, SubstrateFollowsFresnelAroundTheCriticalAngle) {
  const double chiRe = -15.2e-6;
  const double thetaC = std::sqrt(-chiRe);
  Stack glass, iron, vacuum;
  glass.add(0.0, {chiRe, 0.0});
  iron.add(0.0, {chiRe, 0.05e-6});
  vacuum.add(80.0, 0.0);
  vacuum.add(0.0, 0.0);
  for (double f : {0.1, 0.5, 0.9, 0.999}) EXPECT_NEAR(std::norm(amplitude(glass, f * thetaC)), 1.0, 1e-12) << f;
  EXPECT_NEAR(std::norm(amplitude(glass, 20 * thetaC)) / std::pow(1.0 / 40, 4), 1.0, 0.01);
  double steepest = 0, where = 0;
  for (double t = 0.5 * thetaC; t < 1.5 * thetaC; t += 1e-3 * thetaC) {
    const double slope = std::norm(amplitude(iron, t)) - std::norm(amplitude(iron, t + 1e-3 * thetaC));
    if (slope > steepest) steepest = slope, where = t;
  }
  EXPECT_NEAR(where / thetaC, 1.0, 0.01);
  EXPECT_EQ(std::norm(amplitude(vacuum, 3e-3)), 0.0);
  Stack thick;
  thick.add(1e7, {chiRe, 0.05e-6});
  thick.add(0.0, {-4.6e-6, 0.011e-6});
  for (double t : {0.5 * thetaC, 0.99 * thetaC, 1.5 * thetaC})
    EXPECT_NEAR(std::abs(amplitude(thick, t) - amplitude(iron, t)), 0.0, 1e-12) << t;
}

// A film on a substrate: the Kiessig fringes are spaced pi / (K0 d) in the
// normal wave number inside the film, Re sqrt(sin^2 theta + chi'), which far
// above the critical angle is the angle itself.
TEST(NREF, KiessigFringesOfAFilmArePiOverK0d) {
  const cdouble film{-15.2e-6, 0.69e-6};
  for (double d : {120.0, 250.0, 400.0}) {
    Stack st;
    st.add(d, film);
    st.add(0.0, {-4.6e-6, 0.011e-6});
    std::vector<double> minima;  // in the film's normal wave number
    const double step = 1e-6;
    double prev2 = 0, prev1 = 0;
    for (double t = 8e-3; t < 30e-3; t += step) {
      const double R = std::norm(amplitude(st, t));
      const double s = std::sin(t - step);
      if (t > 8e-3 + 2 * step && prev1 < prev2 && prev1 < R) minima.push_back(std::sqrt(s * s + film.real()));
      prev2 = prev1;
      prev1 = R;
    }
    ASSERT_GE(minima.size(), 3u) << d;
    const double period = (minima.back() - minima.front()) / (minima.size() - 1);
    EXPECT_NEAR(period / (kPi / (kK0 * d)), 1.0, 2e-3) << d;
  }
}

}  // namespace

// The counting-noise tool of the examples.
#include "programs/tools/poisson.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "programtest.hpp"
#include "tempdir.hpp"

namespace {

// Mean, variance and the frequency of the most likely count agree with the
// Poisson law, on both sides of the switch between the two samplers.
TEST(PoissonSampler, DrawsFromThePoissonLaw) {
  tools::PoissonSampler gen(7);
  constexpr int N = 40000;
  for (double mean : {0.3, 4.0, 9.9, 10.0, 37.5, 1e4}) {
    SCOPED_TRACE(mean);
    const long long mode = static_cast<long long>(std::floor(mean));
    double s = 0, s2 = 0;
    int atMode = 0;
    for (int i = 0; i < N; ++i) {
      const double k = static_cast<double>(gen.sample(mean));
      ASSERT_GE(k, 0);
      s += k;
      s2 += k * k;
      atMode += k == mode;
    }
    const double m = s / N, var = s2 / N - m * m;
    EXPECT_NEAR(m, mean, 5 * std::sqrt(mean / N));
    EXPECT_NEAR(var / mean, 1.0, 0.05);
    const double p = std::exp(mode * std::log(mean) - mean - std::lgamma(mode + 1.0));
    EXPECT_NEAR(atMode / double(N), p, 5 * std::sqrt(p / N));
  }
  EXPECT_EQ(gen.sample(0), 0);
  EXPECT_EQ(gen.sample(-3), 0);
}

TEST(PoissonSampler, TheSeedFixesTheSequence) {
  tools::PoissonSampler a(42), b(42), c(43);
  int same = 0, differ = 0;
  for (int i = 0; i < 100; ++i) {
    const double mean = i % 2 ? 3.0 : 500.0;
    const long long x = a.sample(mean), y = b.sample(mean), z = c.sample(mean);
    same += x == y;
    differ += x != z;
  }
  EXPECT_EQ(same, 100);
  EXPECT_GT(differ, 50);
}

// A theory file in increasing time becomes an experiment file in decreasing
// time, from TMIN on, with PEAK expected counts at the largest kept value.
TEST(AddNoise, WritesCountsInDecreasingTimeScaledToThePeak) {
  nrstest::TempDir dir;
  dir.write("theory.res", "     0.00000   0.0      9.00000000\n     1.00000   0.0      0.50000000\n"
                          "     2.00000   0.0      1.00000000\n     3.00000   0.0      0.25000000\n");
  tools::NoiseSettings s;
  s.peak = 1e8;
  s.seed = 3;
  s.tmin = 0.5;  // drops the first record, the largest
  EXPECT_EQ(tools::addNoise("theory.res", "exp.dat", s), 3);
  const auto lines = nrstest::splitLines(dir.read("exp.dat"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 21u);
  const double expected[] = {0.25e8, 1e8, 0.5e8};
  const double times[] = {3, 2, 1};
  for (int i = 0; i < 3; ++i) {
    double t = 0, n = 0;
    std::sscanf(lines[i].c_str(), "%lf %lf", &t, &n);
    EXPECT_DOUBLE_EQ(t, times[i]);
    EXPECT_NEAR(n, expected[i], 6 * std::sqrt(expected[i]));
  }
  const std::string first = dir.read("exp.dat");
  tools::addNoise("theory.res", "again.dat", s);
  EXPECT_EQ(dir.read("again.dat"), first);
}

// A conversion-electron spectrum keeps every channel (negative velocities
// too) in file order, one count per line, background plus the scaled theory.
TEST(AddNoise, CountsPerChannelKeepFileOrderOverABackground) {
  nrstest::TempDir dir;
  dir.write("CEMfit.res", "     -2.000   0.000000   0.000000   0.000000\n     -1.000   0.000000   1.000000   0.700000\n"
                          "      0.000   0.000000   0.500000   0.100000\n");
  const std::string tool = std::string(NRS_BIN_DIR) + "/poisson_noise";
  ASSERT_EQ(nrstest::run(tool + " --counts 4e6 CEMfit.res exp.dat 2e6 9"), 0);
  const auto lines = nrstest::splitLines(dir.read("exp.dat"));
  ASSERT_EQ(lines.size(), 3u);
  const double expected[] = {4e6, 6e6, 5e6};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[i].size(), 10u);
    EXPECT_NEAR(std::stod(lines[i]), expected[i], 6 * std::sqrt(expected[i]));
  }
  EXPECT_NE(nrstest::run(tool + " --counts CEMfit.res exp.dat"), 0);
}

// A reflectivity curve becomes a reflectivity experiment file: the count,
// then the angles in increasing order with the prompt counts and no delayed ones.
TEST(AddNoise, ReflectivityLayoutHasItsCountAndIncreasingAngles) {
  nrstest::TempDir dir;
  dir.write("PROMP2.res", "      2.000   0.0   0.5\n      1.000   0.0   1.0\n      3.000   0.0   0.01\n");
  const std::string tool = std::string(NRS_BIN_DIR) + "/poisson_noise";
  ASSERT_EQ(nrstest::run(tool + " PROMP2.res refl.dat 1e6 7 0 refl"), 0);
  const auto lines = nrstest::splitLines(dir.read("refl.dat"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], " 3");
  const double angles[] = {1, 2, 3}, expected[] = {1e6, 0.5e6, 1e4};
  for (int i = 0; i < 3; ++i) {
    double a = 0, n = 0, delayed = -1;
    std::sscanf(lines[i + 1].c_str(), "%lf %lf %lf", &a, &n, &delayed);
    EXPECT_EQ(a, angles[i]);
    EXPECT_NEAR(n, expected[i], 6 * std::sqrt(expected[i]));
    EXPECT_EQ(delayed, 0);
  }
  EXPECT_NE(nrstest::run(tool + " PROMP2.res refl.dat 1e6 7 0 sideways"), 0);
}

TEST(AddNoise, ToolRunsAndRefusesUnusableInput) {
  nrstest::TempDir dir;
  const std::string tool = std::string(NRS_BIN_DIR) + "/poisson_noise";
  dir.write("theory.res", "  1.0  0.0  2.0\n  2.0  0.0  1.0\n");
  EXPECT_EQ(nrstest::run(tool + " theory.res exp.dat 1000 5"), 0);
  EXPECT_EQ(nrstest::splitLines(dir.read("exp.dat")).size(), 2u);
  dir.write("zero.res", "  1.0  0.0  0.0\n");
  std::string out;
  EXPECT_NE(nrstest::run(tool + " zero.res exp.dat", &out), 0);
  EXPECT_NE(out.find("no positive theory values"), std::string::npos);
  EXPECT_NE(nrstest::run(tool + " missing.res exp.dat"), 0);
  EXPECT_NE(nrstest::run(tool + " theory.res exp.dat many"), 0);
  EXPECT_NE(nrstest::run(tool), 0);
}

}  // namespace

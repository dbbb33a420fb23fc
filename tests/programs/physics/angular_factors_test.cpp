// Angular factors of the hyperfine transitions, checked against averages of
// the aligned factors over field directions.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>

#include "programs/common/hyperfine.hpp"

namespace {
using cdouble = std::complex<double>;
}  // namespace

TEST(AngularFactors, RandomAndInPlaneParts) {
  // The random part is the average of the aligned part over all field
  // directions; the in-plane part the average over the directions normal to
  // the first polarisation (polar angle 90 degrees).
  const double F = 2.5;
  const common::AngularFactors rnd = common::angularFactors(F, 0.3f, 0.2f, 1.0f, 0.0f, 0.0f);
  const common::AngularFactors pln = common::angularFactors(F, 0.3f, 0.2f, 0.0f, 1.0f, 0.0f);
  std::array<std::array<cdouble, 3>, 4> sphere{}, circle{};
  const int nb = 200, ng = 64;
  double wsum = 0;
  for (int i = 0; i < nb; ++i) {
    const double b = (i + 0.5) * M_PI / nb, wb = std::sin(b);
    for (int k = 0; k < ng; ++k) {
      const double g = (k + 0.5) * 2 * M_PI / ng;
      const auto f = common::angularFactors(F, static_cast<float>(b), static_cast<float>(g), 0, 0, 0);
      for (int e = 0; e < 4; ++e)
        for (int c = 0; c < 3; ++c) sphere[e][c] += wb * f[e][c];
      wsum += wb;
    }
  }
  for (int k = 0; k < ng; ++k) {
    const double g = (k + 0.5) * 2 * M_PI / ng;
    const auto f = common::angularFactors(F, static_cast<float>(M_PI / 2), static_cast<float>(g), 0, 0, 0);
    for (int e = 0; e < 4; ++e)
      for (int c = 0; c < 3; ++c) circle[e][c] += f[e][c] / static_cast<double>(ng);
  }
  for (int e = 0; e < 4; ++e) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_LT(std::abs(sphere[e][c] / wsum - rnd[e][c]), 1e-4 * F) << e << " " << c;
      EXPECT_LT(std::abs(circle[e][c] - pln[e][c]), 1e-6 * F) << e << " " << c;
    }
  }
  // Random orientation: F/3 on the diagonal, nothing off it.
  EXPECT_NEAR(rnd[0][0].real(), F / 3, 1e-12);
  EXPECT_EQ(std::abs(rnd[1][1]), 0.0);
}

TEST(AngularFactors, AzimuthSpreadIsAGaussianOfStandardDeviationWID) {
  // The 21 azimuths GA + k WID/4 with weights exp(-k^2/32) sample a Gaussian
  // of standard deviation WID out to 2.5 WID.
  const double F = 1.0, GA = 0.5, WID = 0.4;
  const auto spread = common::angularFactors(F, 0.8f, static_cast<float>(GA), 0, 0, static_cast<float>(WID));
  const auto sharp = common::angularFactors(F, 0.8f, static_cast<float>(GA), 0, 0, 0.0f);
  const auto narrow = common::angularFactors(F, 0.8f, static_cast<float>(GA), 0, 0, 1e-6f);
  std::array<std::array<cdouble, 3>, 4> gauss{};
  double wsum = 0;
  for (int i = -4000; i <= 4000; ++i) {
    const double x = i * 1e-3 * WID, wx = std::exp(-x * x / (2 * WID * WID));
    const auto f = common::angularFactors(F, 0.8f, static_cast<float>(GA + x), 0, 0, 0);
    for (int e = 0; e < 4; ++e)
      for (int c = 0; c < 3; ++c) gauss[e][c] += wx * f[e][c];
    wsum += wx;
  }
  double change = 0;
  for (int e = 0; e < 4; ++e) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_LT(std::abs(spread[e][c] - gauss[e][c] / wsum), 3e-3) << e << " " << c;
      EXPECT_LT(std::abs(narrow[e][c] - sharp[e][c]), 1e-6);
      change = std::max(change, std::abs(spread[e][c] - sharp[e][c]));
    }
  }
  EXPECT_GT(change, 0.02);
}

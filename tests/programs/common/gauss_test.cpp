// Divergence averaging: a Gaussian of standard deviation SIG cut at +-2 SIG.
#include "programs/common/gauss.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tempdir.hpp"

namespace {

struct Curve {
  std::vector<float> x, y;
  Curve(double first, double step, int n, const std::function<double(double)>& f) {
    for (int i = 0; i < n; ++i) {
      x.push_back(static_cast<float>(first + i * step));
      y.push_back(static_cast<float>(f(x.back())));
    }
  }
  int n() const { return static_cast<int>(x.size()); }
};

// Runs GAUSS with a run log; returns the log.
std::string average(Curve& c, float SIG, int& NG, int n = -1) {
  nrstest::TempDir dir;
  fio::Unit log(4);
  log.openNew("log");
  common::GAUSS(log, numlib::Span1<const float>(c.x.data(), c.n()), numlib::Span1<float>(c.y.data(), c.n()),
                n < 0 ? c.n() : n, SIG, NG);
  log.close();
  return dir.read("log");
}

// A straight line is its own average (the kernel is symmetric), on a grid
// finer than the curve, on the curve's own spacing, and on a curve longer
// than the work grid, which is averaged whole on a coarser grid: a slow sine
// there comes back unchanged to the end instead of being extrapolated.
TEST(Gauss, KeepsStraightLinesAndLongCurves) {
  struct Case {
    double step;
    int n;
    float SIG;
    std::function<double(double)> f;
    double tol;
  };
  const Case cases[] = {
      {1.0, 40, 0.1f, [](double x) { return 3 * x + 2; }, 1e-4},
      {0.05, 201, 0.3f, [](double x) { return 2 - 0.5 * x; }, 1e-5},
      {0.5, 4001, 0.2f, [](double x) { return std::sin(x / 20); }, 2e-3},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.n);
    Curve c(0.0, k.step, k.n, k.f);
    int NG = 11;
    EXPECT_EQ(average(c, k.SIG, NG), "");
    for (int i = 0; i < c.n(); ++i) ASSERT_NEAR(c.y[i], k.f(c.x[i]), k.tol) << c.x[i];
  }
}

// A step becomes the integral of the truncated Gaussian:
// (Phi(u) - Phi(-2)) / (Phi(2) - Phi(-2)) at u = x / SIG, about 0.857 at +SIG.
TEST(Gauss, StepBecomesTheTruncatedGaussianProfile) {
  const float SIG = 0.25f;
  Curve c(-4.0, 1.0 / 64, 513, [](double x) { return x > 0 ? 1.0 : x == 0 ? 0.5 : 0.0; });
  int NG = 11;
  average(c, SIG, NG);
  EXPECT_EQ(NG, 65);
  auto Phi = [](double u) { return 0.5 * std::erfc(-u / std::sqrt(2.0)); };
  for (int i = 0; i < c.n(); ++i) {
    const double u = c.x[i] / SIG;
    const double expect = u <= -2 ? 0 : u >= 2 ? 1 : (Phi(u) - Phi(-2)) / (Phi(2) - Phi(-2));
    ASSERT_NEAR(c.y[i], expect, 0.01) << c.x[i];
  }
  EXPECT_NEAR(c.y[256 + 16], 0.857, 0.003);
}

// The kernel count follows the spacing of the first two points (cut, not
// rounded), grows only, and is capped at the 101 weights of the kernel with
// a run-log line; without a curve or a width nothing changes.
TEST(Gauss, KernelCountAndDegenerateInput) {
  struct Case {
    float SIG;
    double step;
    int NGin, NGout;
    bool message;
  };
  const Case cases[] = {
      {0.5f, 1.0 / 16, 11, 33, false}, {0.5f, 1.0 / 16, 33, 33, false}, {1.0f, 0.375, 11, 11, false},
      {0.1f, 1.0, 11, 11, false},      {1.5625f, 1.0 / 16, 11, 101, false}, {1.6f, 1.0 / 16, 11, 101, true},
  };
  for (const Case& k : cases) {
    Curve c(1.0, k.step, 300, [](double x) { return x * x; });
    int NG = k.NGin;
    const std::string log = average(c, k.SIG, NG);
    EXPECT_EQ(NG, k.NGout) << k.SIG << " " << k.step;
    EXPECT_EQ(log, k.message ? "  !!!!  overflow points in GAUSS averaging!\n" : "");
  }
  const auto f = [](double x) { return x > 2 ? 1.0 : 0.0; };
  for (auto [SIG, n, step] : {std::tuple{0.3f, 1, 0.1}, {0.0f, 50, 0.1}, {-1.0f, 50, 0.1}, {0.3f, 50, 0.0}}) {
    Curve c(1.0, step, 50, f);
    const std::vector<float> before = c.y;
    int NG = 11;
    average(c, SIG, NG, n);
    EXPECT_EQ(c.y, before);
    EXPECT_EQ(NG, 11);
  }
}

}  // namespace

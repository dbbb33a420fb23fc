// Linear interpolation between grids and the radix-2 FFT, checked against
// straight lines, hand-worked brackets, a direct DFT and closed forms.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "numlib/interp.hpp"

namespace {

using cd = std::complex<double>;
using numlib::FFT;
using numlib::INTERP;
using numlib::INTERS;
using numlib::Span1;

template <class V>
Span1<V> span(std::vector<V>& v) {
  return {v.data(), static_cast<int>(v.size())};
}
template <class V>
Span1<const V> cspan(const std::vector<V>& v) {
  return {v.data(), static_cast<int>(v.size())};
}

std::vector<double> interpD(const std::vector<float>& X, const std::vector<double>& Y,
                            const std::vector<float>& XN, int n) {
  std::vector<double> YN(XN.size(), -999.0);
  INTERP(cspan(X), cspan(Y), cspan(XN), span(YN), n, static_cast<int>(XN.size()));
  return YN;
}
std::vector<float> interpS(const std::vector<float>& X, const std::vector<float>& Y,
                           const std::vector<float>& XN, int n) {
  std::vector<float> YN(XN.size(), -999.0f);
  INTERS(cspan(X), cspan(Y), cspan(XN), span(YN), n, static_cast<int>(XN.size()));
  return YN;
}

// ---------------------------------------------------------------- INTERP, INTERS

TEST(Interp, ExactOnAStraightLineInsideAndBeyondTheEnds) {
  const std::vector<float> X = {-1.0f, 0.5f, 0.75f, 2.0f, 4.5f, 8.0f};
  std::vector<double> Yd;
  std::vector<float> Ys;
  for (float x : X) Yd.push_back(3.0 * x - 1.0), Ys.push_back(3.0f * x - 1.0f);
  const std::vector<float> XN = {-3.0f, -1.0f, 0.0f, 0.6f, 1.9f, 2.0f, 7.99f, 8.0f, 11.0f};
  const auto yd = interpD(X, Yd, XN, 6);
  const auto ys = interpS(X, Ys, XN, 6);
  for (size_t i = 0; i < XN.size(); ++i) {
    EXPECT_NEAR(yd[i], 3.0 * XN[i] - 1.0, 1e-5) << XN[i];
    EXPECT_NEAR(ys[i], 3.0f * XN[i] - 1.0f, 1e-5f) << XN[i];
  }
}

TEST(Interp, TargetsOnTheNodesReturnTheValues) {
  std::vector<float> X(50), Y(50);
  std::vector<double> Yd(50);
  for (int i = 0; i < 50; ++i) {
    X[i] = 0.1f * i * i + 0.37f * i;
    Y[i] = std::sin(0.3f * i) + 2.0f;
    Yd[i] = Y[i];
  }
  const auto ys = interpS(X, Y, X, 50);
  const auto yd = interpD(X, Yd, X, 50);
  for (int i = 0; i < 50; ++i) {
    EXPECT_NEAR(ys[i], Y[i], 1e-6f) << i;
    EXPECT_NEAR(yd[i], Yd[i], 1e-6) << i;
  }
}

TEST(Interp, BracketOnlyMovesForward) {
  // Y = x^2 on x = 0..10: interpolation and extrapolation differ visibly.
  std::vector<float> X(11), Y(11);
  for (int i = 0; i <= 10; ++i) X[i] = static_cast<float>(i), Y[i] = static_cast<float>(i * i);
  // 9.5 lies in 9..10 (slope 19); 2.5 comes later and is extrapolated from
  // that bracket, not interpolated in 2..3 (which would give 6.5).
  auto y = interpS(X, Y, {9.5f, 2.5f}, 11);
  EXPECT_FLOAT_EQ(y[0], 90.5f);
  EXPECT_FLOAT_EQ(y[1], 81.0f - 6.5f * 19.0f);
  // Below the first and beyond the last abscissa: the end intervals.
  y = interpS(X, Y, {-1.0f, 12.0f}, 11);
  EXPECT_FLOAT_EQ(y[0], -1.0f);
  EXPECT_FLOAT_EQ(y[1], 138.0f);
}

TEST(Interp, ShortTablesNeverReadPastTheirEnd) {
  const std::vector<float> XN = {-5.0f, 0.0f, 5.0f};
  // Arrays exactly as long as n, so an overrun shows in checked builds.
  EXPECT_EQ(interpS({1.0f}, {4.0f}, XN, 1), std::vector<float>(3, 4.0f));
  EXPECT_EQ(interpD({1.0f}, {4.0}, XN, 1), std::vector<double>(3, 4.0));
  EXPECT_EQ(interpS({}, {}, XN, 0), std::vector<float>(3, 0.0f));
  EXPECT_EQ(interpD({}, {}, XN, -2), std::vector<double>(3, 0.0));
  // A vertical step at the start of the table gives a finite value.
  const auto y = interpS({0.0f, 0.0f, 1.0f}, {1.0f, 2.0f, 4.0f}, {-1.0f, 0.0f}, 3);
  EXPECT_EQ(y[0], 1.0f);
  EXPECT_EQ(y[1], 1.0f);
}

// ---------------------------------------------------------------- FFT

double maxAbs(const std::vector<cd>& v) {
  double m = 0;
  for (const cd& z : v) m = std::max(m, std::abs(z));
  return m;
}

double maxDiff(const std::vector<cd>& a, const std::vector<cd>& b) {
  double m = 0;
  for (size_t i = 0; i < a.size(); ++i) m = std::max(m, std::abs(a[i] - b[i]));
  return m;
}

std::vector<cd> randomData(int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<cd> d(n);
  for (cd& z : d) z = {u(gen), u(gen)};
  return d;
}

std::vector<cd> directDft(const std::vector<cd>& x, int sign) {
  const int n = static_cast<int>(x.size());
  std::vector<cd> f(n);
  for (int j = 0; j < n; ++j) {
    std::complex<long double> s = 0;
    for (int k = 0; k < n; ++k) {
      const long double ang = sign * 2.0L * std::numbers::pi_v<long double> *
                              static_cast<long double>((static_cast<long>(j) * k) % n) / n;
      s += std::complex<long double>(x[k]) * std::polar(1.0L, ang);
    }
    f[j] = cd(s);
  }
  return f;
}

TEST(Fft, AgreesWithDirectTransformOfRandomData) {
  const auto x = randomData(1024, 17);
  for (int sign : {-1, 1}) {
    auto d = x;
    ASSERT_TRUE(FFT(span(d), 1024, sign));
    const auto ref = directDft(x, sign);
    EXPECT_LT(maxDiff(d, ref) / maxAbs(ref), 1e-6) << "sign " << sign;
  }
  // Smallest lengths by hand: identity and (a + b, a - b).
  std::vector<cd> one = {{2.0, -1.0}};
  EXPECT_TRUE(FFT(span(one), 1, -1.0));
  EXPECT_EQ(one[0], cd(2.0, -1.0));
  std::vector<cd> two = {{1.0, 2.0}, {3.0, -1.0}};
  EXPECT_TRUE(FFT(span(two), 2, -1.0));
  EXPECT_EQ(two[0], cd(4.0, 1.0));
  EXPECT_EQ(two[1], cd(-2.0, 3.0));
}

TEST(Fft, UnitImpulseGivesAllOnes) {
  std::vector<cd> d(1024, 0.0);
  d[0] = 1.0;
  ASSERT_TRUE(FFT(span(d), 1024, -1.0));
  for (const cd& z : d) ASSERT_EQ(z, cd(1.0, 0.0));
}

TEST(Fft, DampedOscillationMatchesGeometricSeries) {
  // x_k = a^k with a = r exp(i phi): F_j = (1 - a^N) / (1 - a exp(sign 2 pi i j/N)),
  // the free decay of a single resonance line sampled in time.
  const int N = 1024;
  const cd a = std::polar(std::exp(-1.0 / 141.0), 0.37);
  std::vector<cd> d(N);
  cd ak = 1.0;
  for (int k = 0; k < N; ++k, ak *= a) d[k] = ak;
  const cd aN = std::pow(a, N);
  for (int sign : {-1, 1}) {
    auto f = d;
    ASSERT_TRUE(FFT(span(f), N, sign));
    std::vector<cd> ref(N);
    for (int j = 0; j < N; ++j)
      ref[j] = (1.0 - aN) / (1.0 - a * std::polar(1.0, sign * 2.0 * std::numbers::pi * j / N));
    EXPECT_LT(maxDiff(f, ref) / maxAbs(ref), 1e-6) << "sign " << sign;
  }
}

TEST(Fft, ParsevalAndRoundTrip) {
  const int N = 1024;
  const auto x = randomData(N, 5);
  auto d = x;
  ASSERT_TRUE(FFT(span(d), N, -1.0));
  double ex = 0, ef = 0;
  for (int i = 0; i < N; ++i) ex += std::norm(x[i]), ef += std::norm(d[i]);
  EXPECT_NEAR(ef / (N * ex), 1.0, 1e-6);

  ASSERT_TRUE(FFT(span(d), N, 1.0));
  std::vector<cd> scaled(N);
  for (int i = 0; i < N; ++i) scaled[i] = double(N) * x[i];
  EXPECT_LT(maxDiff(d, scaled) / maxAbs(scaled), 1e-6);
}

TEST(Fft, RefusesLengthsThatAreNotPowersOfTwo) {
  auto d = randomData(1024, 3);
  const auto before = d;
  for (int nn : {1000, 3, 0, -4, 2048}) {  // 2048 is longer than the array
    EXPECT_FALSE(FFT(span(d), nn, -1.0)) << nn;
    EXPECT_EQ(d, before) << nn;
  }
}

}  // namespace

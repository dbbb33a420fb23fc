// Helpers shared by the tests of the complex matrix routines.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <random>
#include <string>

#include "numlib/cmatrix.hpp"

namespace nrstest {

using numlib::cdouble;
using numlib::CMat2;
using numlib::CMat4;

// Matrix with entries uniform in the unit square around 0 (reproducible).
template <class Mat>
Mat randomMatrix(unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  Mat m;
  for (cdouble& z : m.e) z = {u(gen), u(gen)};
  return m;
}

template <class Mat>
double maxDiff(const Mat& a, const Mat& b) {
  double d = 0.0;
  for (std::size_t i = 0; i < a.e.size(); ++i) d = std::max(d, std::abs(a.e[i] - b.e[i]));
  return d;
}

template <class Mat>
double maxAbs(const Mat& a) {
  double d = 0.0;
  for (const cdouble& z : a.e) d = std::max(d, std::abs(z));
  return d;
}

template <class Mat>
bool allFinite(const Mat& a) {
  return std::all_of(a.e.begin(), a.e.end(),
                     [](const cdouble& z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); });
}

// Product by the textbook triple loop, as an independent reference.
template <class Mat, int N>
Mat naiveProduct(const Mat& a, const Mat& b) {
  Mat c;
  for (int i = 1; i <= N; ++i)
    for (int j = 1; j <= N; ++j)
      for (int k = 1; k <= N; ++k) c(i, j) += a(i, k) * b(k, j);
  return c;
}
inline CMat2 naive(const CMat2& a, const CMat2& b) { return naiveProduct<CMat2, 2>(a, b); }
inline CMat4 naive(const CMat4& a, const CMat4& b) { return naiveProduct<CMat4, 4>(a, b); }

// Determinant of a 4x4 matrix by elimination with partial pivoting.
inline cdouble det4(CMat4 a) {
  cdouble det = 1.0;
  for (int k = 1; k <= 4; ++k) {
    int p = k;
    for (int r = k + 1; r <= 4; ++r)
      if (std::abs(a(r, k)) > std::abs(a(p, k))) p = r;
    if (p != k) {
      for (int c = 1; c <= 4; ++c) std::swap(a(k, c), a(p, c));
      det = -det;
    }
    det *= a(k, k);
    for (int r = k + 1; r <= 4; ++r) {
      const cdouble f = a(r, k) / a(k, k);
      for (int c = k; c <= 4; ++c) a(r, c) -= f * a(k, c);
    }
  }
  return det;
}

// Runs f and returns what it wrote to standard output.
template <class F>
std::string consoleOf(F&& f) {
  testing::internal::CaptureStdout();
  f();
  return testing::internal::GetCapturedStdout();
}

inline const std::string kDegenerated = " DEGENERATED MATRIX!\n";

}  // namespace nrstest

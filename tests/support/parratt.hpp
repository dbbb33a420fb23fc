// Parratt's recursion for the specular reflectivity of a layered medium,
// written independently of the programs' characteristic matrices.
#pragma once

#include <complex>
#include <vector>

namespace nrstest {

// Layers top first, the last one the substrate (its thickness unused).
// D: thickness times K0; chi = n^2 - 1.  The normal wave number in layer j
// is K0 sqrt(sin^2 theta + chi_j), and from the substrate up
// X_j = (r_j + X_{j+1} p) / (1 + r_j X_{j+1} p), p = exp(2 i kz_{j+1} D_{j+1}).
// Returns the amplitude X_0 of the surface.
inline std::complex<double> parratt(const std::vector<double>& D, const std::vector<std::complex<double>>& chi,
                                    double theta) {
  using cd = std::complex<double>;
  const double s = std::sin(theta);
  const int N = static_cast<int>(chi.size());
  auto kz = [&](int j) { return j == 0 ? cd(s) : std::sqrt(s * s + chi[j - 1]); };  // j = 0 vacuum
  cd X = 0.0;
  for (int j = N - 1; j >= 0; --j) {
    const cd r = (kz(j) - kz(j + 1)) / (kz(j) + kz(j + 1));
    const cd p = j + 1 == N ? cd(0.0) : std::exp(cd(0, 2) * kz(j + 1) * D[j]);
    X = (r + X * p) / (1.0 + r * X * p);
  }
  return X;
}

}  // namespace nrstest

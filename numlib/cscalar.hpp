// Scalar complex helpers shared by the matrix kit and the layer matrices.
// Internal to numlib; not part of its interface.
#pragma once

#include <cmath>
#include <complex>

namespace numlib::detail {

using cdouble = std::complex<double>;

// a / b by Smith's method: dividing by the larger component of b first keeps
// the intermediate values in range.  b must not be zero.
inline cdouble cdiv(cdouble a, cdouble b) {
  const double ar = a.real(), ai = a.imag(), br = b.real(), bi = b.imag();
  if (std::abs(br) >= std::abs(bi)) {
    const double r = bi / br;
    const double den = br + bi * r;
    return {(ar + ai * r) / den, (ai - ar * r) / den};
  }
  const double r = br / bi;
  const double den = bi + br * r;
  return {(ar * r + ai) / den, (ai * r - ar) / den};
}

// sin(k D) / k from sinKD = sin(k D), continued to its limit D at k = 0.
// For |k D| < 0.1 the Taylor series of sin(z)/z up to z^8 is used: the first
// omitted term, z^10/11!, is below 3e-18, under half an ulp of the result.
inline cdouble sinOverK(cdouble k, double D, cdouble sinKD) {
  const cdouble z = k * D;
  if (std::abs(z.real()) + std::abs(z.imag()) < 0.1) {
    const cdouble z2 = z * z;
    const cdouble series =
        1.0 + z2 * (-1.0 / 6.0 + z2 * (1.0 / 120.0 + z2 * (-1.0 / 5040.0 + z2 * (1.0 / 362880.0))));
    return D * series;
  }
  return cdiv(sinKD, k);
}

}  // namespace numlib::detail

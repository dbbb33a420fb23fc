#include "numlib/quartic.hpp"

#include <array>
#include <cmath>

#include "numlib/cscalar.hpp"

namespace numlib {

using detail::cdiv;

namespace {

using Coeffs = std::array<cdouble, 5>;  // c0 .. c4

// The quotient of p(z) by (z - r), synthetic division from the top; the
// remainder p(r) is dropped.
Coeffs deflate(const Coeffs& c, cdouble r) {
  Coeffs q{};
  for (int k = 3; k >= 0; --k) q[k] = c[k + 1] + r * q[k + 1];
  return q;
}

// Roots of z^2 + b z + c without the cancellation of the textbook formula:
// w takes the sign of the root that adds to b, the other root is c / w.
void quadraticRoots(cdouble b, cdouble c, cdouble& z1, cdouble& z2) {
  const cdouble disc = std::sqrt(b * b - 4.0 * c);
  const bool same = (std::conj(b) * disc).real() >= 0.0;
  const cdouble w = -0.5 * (same ? b + disc : b - disc);
  z1 = w;
  z2 = w == 0.0 ? cdouble{} : cdiv(c, w);  // w = 0 only for b = c = 0
}

void newton(const Coeffs& c, cdouble& Z, float TOL, int MAXIT) {
  const cdouble kick{0.06, 0.08};
  for (int it = 1; it <= MAXIT; ++it) {
    cdouble p = c[4], dp = 0.0;
    for (int k = 3; k >= 0; --k) {
      dp = dp * Z + p;
      p = p * Z + c[k];
    }
    if (dp == 0.0) {
      if (p == 0.0) return;
      Z += kick * (1.0 + std::abs(Z));
      continue;
    }
    const cdouble dz = cdiv(p, dp);
    Z -= dz;
    if (std::abs(cdiv(dz, dp)) < TOL) return;
  }
}

}  // namespace

void NEWTQ(Span1<const cdouble> C, cdouble& Z, float TOL, int MAXIT) {
  newton({C(1), C(2), C(3), C(4), C(5)}, Z, TOL, MAXIT);
}

void QUART(Span1<const cdouble> C, Span1<cdouble> Z, float TOL, int MAXIT) {
  const Coeffs c{C(1), C(2), C(3), C(4), 1.0};
  cdouble z1 = Z(1), z2 = Z(2), z3, z4;
  newton(c, z1, TOL, MAXIT);
  const Coeffs cubic = deflate(c, z1);
  newton(cubic, z2, TOL, MAXIT);
  const Coeffs quad = deflate(cubic, z2);
  quadraticRoots(quad[1], quad[0], z3, z4);
  Z(1) = z1;
  Z(2) = z2;
  Z(3) = z3;
  Z(4) = z4;
}

}  // namespace numlib

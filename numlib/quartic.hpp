// Roots of quartic polynomials with complex coefficients.
#pragma once

#include "numlib/cmatrix.hpp"
#include "numlib/farray.hpp"

namespace numlib {

// Newton's iteration on p(z) = C(1) + C(2) z + ... + C(5) z^4 from Z: each
// step z := z - p/p'; it stops after the step whose correction divided once
// more by p'(z) is below TOL in modulus, or after MAXIT steps.  Where p' = 0
// the step is not defined: at a root (p = 0 too) the iteration ends, anywhere
// else Z moves off the critical point by a tenth of 1 + |Z| in a direction
// off the real axis (so that real coefficients can reach complex roots),
// and the step counts.
void NEWTQ(Span1<const cdouble> C, cdouble& Z, float TOL, int MAXIT);

// The four roots of the monic quartic C(1) + C(2) z + C(3) z^2 + C(4) z^3 +
// z^4 (C(5) is taken as 1 and not read).  Root 1 by NEWTQ from Z(1), root 2
// by NEWTQ on the deflated cubic from Z(2), roots 3 and 4 from the deflated
// quadratic; Z(1..4) receive them.
void QUART(Span1<const cdouble> C, Span1<cdouble> Z, float TOL, int MAXIT);

}  // namespace numlib

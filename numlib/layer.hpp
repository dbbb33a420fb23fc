// Characteristic matrices of one layer and the reflection matrix of a stack.
#pragma once

#include "numlib/cmatrix.hpp"
#include "numlib/farray.hpp"

namespace numlib {

using CVec4 = Arr1<cdouble, 4>;

// Characteristic matrix exp(i D M) of an isotropic layer of phase thickness
// D = K0 d; only M(2,4) = s^2 + chi is read (M(2,4) = 0 is allowed).
void TMAT4I(const CMat4& M, double D, CMat4& T);
// T := exp(i D M) from the four eigenvalues Q of M (Sylvester's formula).
// Coinciding eigenvalues (a vanishing denominator of the formula) print
// " DEGENERATED MATRIX!" once per such eigenvalue; for them and for nearly
// coinciding ones T comes from expm4Balanced instead.
void PROPM4(const CMat4& M, const CVec4& Q, double D, CMat4& T);
// T := exp(i D M) for any M, by balancing and scaling and squaring; PROPM4's
// method where Sylvester's formula fails.  Slower than PROPM4.
void expm4Balanced(const CMat4& M, double D, CMat4& T);
// Reflection matrix R = P^-1 Q of a stack with transfer matrix M between the
// vacuum boundary matrix X and the substrate boundary matrix Y.  A singular P
// prints " DEGENERATED MATRIX!" (see CINV2).  Any output may alias an input.
void REFL2(const CMat2& X, const CMat4& M, const CMat2& Y, CMat2& R);
// The 2x2 matrix (C + sign E X) - Y (A + sign B X) of the blocks
// M = [A B; C E]: for sign = -1 the P that REFL2 inverts, for +1 its Q.
void reflSystem(const CMat2& X, const CMat4& M, const CMat2& Y, double sign, CMat2& P);

}  // namespace numlib

// Characteristic matrices of one layer and the reflection matrix of a stack.
#pragma once

#include "numlib/cmatrix.hpp"
#include "numlib/farray.hpp"

namespace numlib {

using CVec4 = Arr1<cdouble, 4>;

// Characteristic matrix of an isotropic layer of (phase) thickness D; only
// M(2,4) is read.
void TMAT4I(const CMat4& M, double D, CMat4& T);
// T := exp(i D M) from the four eigenvalues Q of M (Sylvester's formula).
void PROPM4(const CMat4& M, const CVec4& Q, double D, CMat4& T);
// Reflection matrix R = P^-1 Q of a stack with transfer matrix M between the
// vacuum boundary matrix X and the substrate boundary matrix Y.
void REFL2(const CMat2& X, const CMat4& M, const CMat2& Y, CMat2& R);

}  // namespace numlib

// Further characteristic matrices exp(i D M) for special layer operators, a
// general 4x4 exponential by scaling and squaring, and the reflection matrix
// with the opposite sign.  Conventions of numlib/layer.hpp.
#pragma once

#include "numlib/cmatrix.hpp"

namespace numlib {

// exp(i D M) for a 2x2 M with zero diagonal; the diagonal of M is not read.
// Also where M(1,2) M(2,1) = 0 (the limit sin(kD)/k -> D).
void TMAT2(const CMat2& M, double D, CMat2& T);

// exp(i D M) for an operator that couples only psi2 with psi4 and psi1 with
// psi3: two TMAT2 blocks on rows and columns (2, 4) and (1, 3) of M; the
// other elements of M are not read and those of T are 0.
void TMAT4D(const CMat4& M, double D, CMat4& T);

// Characteristic matrix of a layer with one wave number per polarisation:
// K1 = k1^2 for the pair (psi4, psi2), K2 = k2^2 for (psi1, psi3).
void TMAT4P(cdouble K1, cdouble K2, double D, CMat4& T);

// exp(i D K) for K = [0 A; B 0] in 2x2 blocks, from R = CSQRT2(A B) and
// R' = CSQRT2(B A): the diagonal blocks are cos(D R) and cos(D R'), the lower
// left (A^-1 R) i sin(D R), the upper right (B^-1 R') i sin(D R').  A and B
// must be invertible (CINV2 reports a singular one).
void TMAT4S(const CMat2& A, const CMat2& B, double D, CMat4& T);

// exp(i D M) as (I + i D M / 2^n)^(2^n), the first-order term squared n
// times.  n = int(ln(1000 |D|)/ln 2) + 1, raised to the same count for
// |D| |M|_F in place of |D| when the operator is larger than 1, and never
// below 0.  The relative error is about (D |M|)^2 / 2^(n+1).
void EXPM4(const CMat4& M, double D, CMat4& T);

// R := -(P^-1 Q): REFL2 with the opposite sign, so that r = R a.
void REFL2B(const CMat2& X, const CMat4& M, const CMat2& Y, CMat2& R);

}  // namespace numlib

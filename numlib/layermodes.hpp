// Modes of one sublayer with a 2x2 susceptibility tensor and the matrices
// built from them: the 4x4 characteristic matrix, the admittance and the
// propagators of the Parratt recursion.
//
// Conventions.  Phase thicknesses (Angstrom times K0); susceptibilities are
// plain numbers (not in units of 1e-6); the tensor elements are numbered 11,
// 21, 12, 22 (row, column of the 2x2 polarisation matrix); s2 = sin^2 of the
// grazing angle.
#pragma once

#include "numlib/cmatrix.hpp"

namespace numlib {

// Susceptibility tensor of one sublayer and its two down-going wave numbers
// (in units of the vacuum wave number): q1^2 and q2^2 are the eigenvalues of
// K = [[s^2 + c22, c12], [c21, s^2 + c11]].
struct LayerModes {
  cdouble c11, c21, c12, c22;
  cdouble D;       // half the splitting of the eigenvalues of K
  cdouble q1, q2;  // principal square roots of s^2 + (c11 + c22)/2 +- D
  cdouble W;       // s^2 + c11 + q1 q2
  cdouble invW;    // 1/W
  bool isotropic;  // c21 = c12 = 0 and c11 = c22: scalar propagation
};

// The modes of the tensor (c11, c21, c12, c22) at s^2 = sin^2(angle).  A wave
// number of exactly zero (only without any absorption, at exactly the critical
// angle) has no finite layer matrices; the tensor then receives an absorption
// 1e-20 times its scale, which leaves the reflection matrix unchanged to ~1e-10.
LayerModes layerModes(cdouble c11, cdouble c21, cdouble c12, cdouble c22, double s2);

// The susceptibility tensor of one sublayer.
struct LayerTensor {
  cdouble c11, c21, c12, c22;
};

// Characteristic matrix exp(i d M) of a sublayer of phase thickness d, M being
// its 4x4 propagation operator.
void layerMatrix4(const LayerModes& m, double s2, double d, CMat4& T);

// The 2x2 matrix that gives the lower half (rows 3, 4) of the field vector of
// a down-going wave from its upper half (rows 1, 2); for an isotropic medium
// diag(q, 1/q).  It is the boundary matrix of the substrate.
void layerAdmittance(const LayerModes& m, CMat2& F);

// Propagation of the upper half of the field vector through the sublayer:
// Pf = exp(i d Mf) for the down-going and Pb = exp(-i d Mb) for the up-going
// waves, Mb being Mf with its diagonal negated.
void layerPropagators(const LayerModes& m, double s2, double d, CMat2& Pf, CMat2& Pb);

}  // namespace numlib

// The 4x4 layer operator of a homogeneous sublayer and its eigenvalues, as
// the reflectivity calculations build them; shared by the layer-matrix tests
// and the matrix benchmark.
#pragma once

#include <complex>

#include "numlib/cmatrix.hpp"
#include "numlib/layer.hpp"

namespace nrstest {

struct LayerOperator {
  numlib::CMat4 M;
  numlib::CVec4 Q;  // (q1, -q1, q2, -q2)
  double q = 0.0;   // |q1|: the scale of the derivative components
};

// Operator of a sublayer with susceptibility tensor chi (c11, c22, c12, c21)
// at glancing sine s.
inline LayerOperator layerOperator(double s, numlib::cdouble c11, numlib::cdouble c22, numlib::cdouble c12,
                                   numlib::cdouble c21) {
  LayerOperator l;
  l.M(2, 1) = c21;
  l.M(3, 1) = s * s + c22;
  l.M(4, 2) = 1.0;
  l.M(1, 3) = 1.0;
  l.M(2, 4) = s * s + c11;
  l.M(3, 4) = c12;
  const numlib::cdouble avg = (c11 + c22) * 0.5;
  const numlib::cdouble d = std::sqrt((c11 - c22) * (c11 - c22) * 0.25 + c12 * c21);
  const numlib::cdouble q1 = std::sqrt(s * s + avg + d), q2 = std::sqrt(s * s + avg - d);
  l.Q(1) = q1;
  l.Q(2) = -q1;
  l.Q(3) = q2;
  l.Q(4) = -q2;
  l.q = std::abs(q1);
  return l;
}

}  // namespace nrstest

// Normalisation of the multiplet densities V(K, layer) and their depth
// smoothing.  V is single precision, 8 rows (multiplets) by n layers.
#pragma once

#include "numlib/farray.hpp"

namespace numlib {

// F(1..NM) is set on every path: 1 unless a scaling was applied.  Scalings
// that would divide by zero are skipped.
void VNORM(int ISQ, int INORM, float HKMAX, int n, int NM, int N1N, int N2N, int NRN,
           Span1<const double> thickness, Span1<float> S, Span2<float> V, Span1<const float> HK,
           Span1<float> F);

// Gaussian depth smoothing of width SIGMA (Angstrom); SIGMA <= 0, and a stack
// of more than N24 layers, leave V as it is.  SMOOTK and SMOOTA treat the block N1N..N2N (when it lies within
// 1..n) as periodic with M wrap layers; M = 0 keeps the block's values.
void SMOOTV(int n, int NM, Span1<const double> thickness, Span2<float> V, float SIGMA);
void SMOOT1(int n, int K, Span1<const double> thickness, Span2<float> V, float SIGMA);
void SMOOTK(int n, int N1N, int N2N, int M, int K, Span1<const double> thickness, Span2<float> V,
            float SIGMA);
void SMOOTA(int n, int N1N, int N2N, int M, int NM, Span1<const double> thickness, Span2<float> V,
            float SIGMA);

}  // namespace numlib

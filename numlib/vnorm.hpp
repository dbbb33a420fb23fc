// Normalisation of the multiplet densities V(K, layer) and their depth
// smoothing.  V is single precision, 8 rows (multiplets) by n layers.
#pragma once

#include "numlib/farray.hpp"

namespace numlib {

void VNORM(int ISQ, int INORM, float HKMAX, int n, int NM, int N1N, int N2N, int NRN,
           Span1<const double> thickness, Span1<float> S, Span2<float> V, Span1<const float> HK,
           Span1<float> F);

void SMOOTV(int n, int NM, Span1<const double> thickness, Span2<float> V, float SIGMA);
void SMOOT1(int n, int K, Span1<const double> thickness, Span2<float> V, float SIGMA);
void SMOOTK(int n, int N1N, int N2N, int M, int K, Span1<const double> thickness, Span2<float> V,
            float SIGMA);
void SMOOTA(int n, int N1N, int N2N, int M, int NM, Span1<const double> thickness, Span2<float> V,
            float SIGMA);

}  // namespace numlib

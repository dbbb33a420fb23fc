// Fits of a theory curve T to an experiment E over the window J1..J2 by
// E = S T + B.  Arrays are single precision and one-based.
#pragma once

#include "numlib/farray.hpp"

namespace numlib {

// Weighted least squares with weights 1/E^NPOW (points with E = 0 skipped).
void LINFIT(Span1<const float> E, Span1<const float> T, int NEXP, int J1, int J2, int NPOW,
            float& B, float& S, float& EPS);

// Shrinking grid search of S and B under criterion JCRIT (1, 2 or 3).
void SCALBG(Span1<const float> E, Span1<const float> T, int NEXP, int J1, int J2, float& DS,
            float& DB, float& S, float& B, float TOL, float& EPS, int JCRIT);

void MINMAX(Span1<const float> X, int N, float& XMIN, float& XMAX);

}  // namespace numlib

// Fits of a theory curve T to an experiment E over the window J1..J2 by
// E = S T + B.  Arrays are single precision and one-based.
#pragma once

#include "numlib/farray.hpp"

namespace numlib {

// Weighted least squares with weights 1/E^NPOW (points with E = 0 skipped).
// EPS = sqrt(sum w (S T + B - E)^2 / sqrt(sum w)).  A negative background, or
// a system that cannot separate S from B (one weighted point, T constant),
// gives B = 0 and the scale through the origin; no weighted point gives
// S = B = EPS = 0.
void LINFIT(Span1<const float> E, Span1<const float> T, int NEXP, int J1, int J2, int NPOW,
            float& B, float& S, float& EPS);

// Shrinking grid search of S and B under criterion JCRIT (1, 2 or 3; any
// other code uses 1).  S = 1 on entry starts from the ratio of the geometric
// means, DS = 0 from |S - 1|/2; DB = 0 fixes B at 0.  DS and DB return their
// last steps.  An empty window returns B = EPS = 0 and S, DS, DB untouched;
// an experiment that is zero over the window compares sum (Y - E)^2 without
// normalising it, and points where Y = E = 0 add nothing to the relative misfit.
void SCALBG(Span1<const float> E, Span1<const float> T, int NEXP, int J1, int J2, float& DS,
            float& DB, float& S, float& B, float TOL, float& EPS, int JCRIT);

void MINMAX(Span1<const float> X, int N, float& XMIN, float& XMAX);

}  // namespace numlib

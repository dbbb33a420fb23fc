// Variants of the scale fits of numlib/fits.hpp: the shifted straight-line
// fit, the one-dimensional scale searches, the variants of the shrinking
// grid search and the extremes of a two-dimensional table.  Arrays are single
// precision and one-based.
#pragma once

#include "numlib/farray.hpp"

namespace numlib {

// Where LINFTS reports each trial (the run log's " J,EPSS=" line).
class TrialLog {
 public:
  virtual void trial(int J, float eps) = 0;

 protected:
  ~TrialLog() = default;
};

// E = S T + B by least squares with weights 1/E^POW over J1..J2, the theory
// shifted by 1e-5 in the fit and the shift folded into B on return.  Points
// with E <= 0 carry no weight (no real power); the merit EPS is the mean of
// (s T + b - E)^2 over all n = J2 - J1 + 1 points with the unshifted T.
// The best trial is kept between calls: when no trial reaches a merit of 10
// or less (a system that cannot separate scale from shift, T constant), S and
// B are those of the last call that did, 0 before any, and EPS is 10.
void LINFTS(Span1<const float> E, Span1<const float> T, int N, int J1, int J2, float POW, float& B, float& S,
            float& EPS, TrialLog& log);

// One-dimensional search of the scale of Y = S T - B with B the mean of
// S T - E over the N points: S starts at 1 and moves by -DS per step, the
// step reversed and shortened to 0.6 of itself whenever CHI, the mean of
// (Y - E)^2, rises; it stops when CHI changes by less than TOL relative to
// itself, when CHI is 0, or after 100 steps (ITER counts them).  N < 1
// gives S = 1, B = CHI = 0 and ITER = 1.
void FITSC1(Span1<const float> E, Span1<const float> T, int N, float DS, float TOL, Span1<float> Y, int& ITER,
            float& CHI, float& B, float& S);
// FITSC1 without S and B.
void FITSC2(Span1<const float> E, Span1<const float> T, int N, float DS, float TOL, Span1<float> Y, int& ITER,
            float& CHI);

// SCALBG's search under its criterion 1 with a background grid centred on B
// (in/out).  With min the smallest of T(1..N), when it is not 0: B = 0 on
// entry starts from -min/2 and DB = 0 from min/6.  Backgrounds with
// b + min <= 0 are replaced by DB - min, and DB is halved when that happens
// to the last background of a sweep.  Both grids follow the best point; the
// steps shrink only when it is the middle of the grid (or a sweep found
// nothing better), DB by 3, DS by 3 in SCALB2 and by 2 in SCALB3.  An edge
// best moves the background grid half a step beyond it; SCALB2 moves its
// scale grid so too, SCALB3 centres it on the best.
void SCALB2(Span1<const float> E, Span1<const float> T, int N, int J1, int J2, float& DS, float& DB, float& S,
            float& B, float TOL, float& EPS);
void SCALB3(Span1<const float> E, Span1<const float> T, int N, int J1, int J2, float& DS, float& DB, float& S,
            float& B, float TOL, float& EPS);
// SCALBG with criterion 1.
void SCALB4(Span1<const float> E, Span1<const float> T, int NEXP, int J1, int J2, float& DS, float& DB, float& S,
            float& B, float TOL, float& EPS);
// The logarithmic scale-shift search: SCALBG's search, whose criteria 2
// (relative mean square), 3 (relative point-wise) and any other code (their
// sum) are the same; S = 1 on entry starts from the ratio of the logarithmic
// means.
void SCALBC(Span1<const float> E, Span1<const float> T, int N, int J1, int J2, float& DS, float& DB, float& S,
            float& B, float TOL, float& EPS, int JCRIT);

// Over A(i, j, K), i, j = 1..N, of an array A(10, 10, *) given by its column-
// ordered storage: AMIN(K) the smallest value other than 0 with its indices
// IMIN(K), JMIN(K), AMAX(K) the largest with IMAX(K), JMAX(K).  Both start
// from A(1, 1, K) with indices 1; a start of 0 gives way to the first value
// other than 0.  N is taken as at most 10.
void MINMX2(Span1<const float> A, int K, int N, Span1<float> AMIN, Span1<int> IMIN, Span1<int> JMIN,
            Span1<float> AMAX, Span1<int> IMAX, Span1<int> JMAX);

}  // namespace numlib

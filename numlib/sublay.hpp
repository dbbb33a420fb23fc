// The stepped model: layers cut into homogeneous sublayers, graded interfaces
// sampled in KSTEP steps, the repeated block marked.
#pragma once

#include "numlib/farray.hpp"
#include "numlib/limits.hpp"

namespace numlib {

// Builds the sublayer grid of one profiled quantity.  Arrays in: 1..NNN;
// arrays out: 1..NMAX.  NNst counts every sublayer the model asks for even
// when it exceeds NMAX (up to the largest int, whatever the step counts);
// only the first NMAX are stored, and the caller stops the run when
// NNst > NMAX.
// NRN is set to 1 (no repetition) unless 1 <= N1N < N2N < NNN and NRN >= 1.
// Block marks the walk never reaches (a block outside 1..NNN) are 0.  A
// negative KSTEP counts as 0; a graded layer of a kind outside 1..5 is graded
// linearly.  The caller's arrays are not changed.
void SUBLAY(int NNN, int N1N, int N2N, int& NRN, Span1<const double> thickness,
            Span1<const double> value, Span1<const double> WIDTH, Span1<const double> ZD,
            Span1<const int> KIND, Span1<const int> KSTEP, int& NNst, int& N1Nst, int& N2Nst,
            Span1<double> subThickness, Span1<double> subValue, Span1<int> parent, int& NRR);

// The grid of SUBLAY, except that the doubled block mode is taken only for a
// graded interface at the block's first or last layer: a graded interface of
// the layer below the block leaves the plain mode, whose marked range then
// ends inside that interface's steps.
void SUBLA2(int NNN, int N1N, int N2N, int& NRN, Span1<const double> thickness,
            Span1<const double> value, Span1<const double> WIDTH, Span1<const double> ZD,
            Span1<const int> KIND, Span1<const int> KSTEP, int& NNst, int& N1Nst, int& N2Nst,
            Span1<double> subThickness, Span1<double> subValue, Span1<int> parent, int& NRR);

// The step count SUBLAY gives the graded interface at the top of each layer
// 1..NNN: an odd KSTEP raised by one, 0 where the interface has no width
// left after the clamps (negative WIDTH, the layer's own thickness, the
// thickness of the layer above, in a repeated block that of its last layer).
// SUBLAY does not return these counts; whoever needs the grid's geometry
// (the depth of the surface) takes them from here.
void gradedSteps(int NNN, int N1N, int N2N, int NRN, Span1<const double> thickness, Span1<const double> WIDTH,
                 Span1<const int> KSTEP, Span1<int> steps);

}  // namespace numlib

// The head of a fit pass: the parameter table is unpacked into the model and
// the stepped model (sublayer grid) is built from it.
#pragma once

#include "programs/common/blocks.hpp"
#include "programs/common/fio.hpp"
#include "programs/common/fitloop.hpp"
#include "programs/common/model.hpp"
#include "programs/common/params.hpp"

namespace common {

// A program's own unpacking of YV into m.arrays, in place of YVMOD: the
// smoothing selector and row code of the fit state and the smoothing width.
using TableUnpacker = void (*)(fio::Unit& log, YVTable& YV, Model& m, int selector, int rowCode, float SIG);

// Unpacks YV into m.arrays (and the shared multiplet arrays of `nc`) with the
// smoothing selector and row code of the fit state, builds the stepped model
// `st` (thicknesses in Angstrom), normalises the stepped
// densities when the model has graded interfaces, and on the first pass
// (JREP = 0) echoes the model and the grid to the run log.  A grid of more
// than NMAX sublayers stops the program.
// `unpackTable`, when given, replaces YVMOD.
void NEWSTEP(fio::Unit& log, Model& m, YVTable& YV, const CalcParams& p, const FitState& fs, NuclearConstants& nc,
             SteppedModel& st, TableUnpacker unpackTable = nullptr);

// The grids of the imaginary and then the real electronic susceptibility
// (ELD2 with ZD2 and KIND2, ELD1 with ZD1 and KIND1) into `st`, thicknesses
// in Angstrom, chi = (real, imaginary) / 1e6.  A grid of more than NMAX
// sublayers stops the program.
void stepSusceptibility(Model& m, SteppedModel& st);

// Multiplies the stepped thicknesses by K0 (1/Angstrom): every program's
// pass hands dimensionless phase thicknesses to its per-angle calculation,
// and the model output reads them so.  A model already scaled since it was
// built is left as it is.
void scaleThicknesses(SteppedModel& st, double K0);

}  // namespace common

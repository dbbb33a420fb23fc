// Nuclear plus electronic response of a stepped sample at one grazing angle:
// the set-up of the angle, the reflection matrix at every point of the
// energy grid, the per-point values and the transform to the delayed time
// spectrum.  The time-spectra program (TIMCALU) and the delayed-prompt
// program call the same routines and differ only in what they keep of the
// results.  The parts live beside this one: the hyperfine lines and angular
// factors (hyperfine.hpp), the modes and matrices of one sublayer
// (numlib/layermodes.hpp), the two paths through the stack
// (stackpaths.hpp) and the time transform (timetransform.hpp).
//
// No state is kept between calls: everything lives in the caller's AngleWork,
// so that several angles may run at once, each with its own AngleWork.
#pragma once

#include "numlib/cmatrix.hpp"
#include "numlib/farray.hpp"
#include "numlib/layermodes.hpp"
#include "numlib/limits.hpp"
#include "programs/common/angleargs.hpp"
#include "programs/common/blocks.hpp"
#include "programs/common/hyperfine.hpp"
#include "programs/common/stackpaths.hpp"
#include "programs/common/timetransform.hpp"

namespace common {

using numlib::Arr1;
using numlib::Arr2;
using numlib::Arr3;
using numlib::cdouble;
using numlib::CMat2;
using numlib::CMat4;
using numlib::Span1;
// The modes and matrices of one sublayer, under the names the per-angle
// callers have used.
using numlib::layerAdmittance;
using numlib::layerMatrix4;
using numlib::LayerModes;
using numlib::layerModes;
using numlib::layerPropagators;

// What the reflection gives at one energy point.
struct PointReflection {
  cdouble R11, R21;
  Absorption ab;
  bool recursive = false;
};

// Work storage of one angle.  Large (a few hundred kB): keep one per thread.
struct AngleWork : HyperfineWork, StackWork, AmplitudeCurves, TransformWork {
  Arr1<double, JEMAX> spectrum;  // the delayed time spectrum
  Arr1<PointReflection, NEMAX> points;
};

// Set-up of one angle: sine, block, angular factors and resonance lines.
void angleSetup(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st, AngleWork& w);

// Reflection matrix of the stack at energy E (mm/s), after angleSetup, by the
// path that a.Jway selects (see stackReflections).  Adds to *abs when given.
CMat2 reflectionAt(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st, AngleWork& w, double E,
                   Absorption* abs);

// Per-point results of the energy loop.  E1, E2 and RE are filled only when
// they have room for NE points (the delayed-prompt program does without them).
struct AnglePoints {
  float YRELAY = 0;  // |R11|^2 + (|R21|/s)^2 at the first energy point
  float SUME = 0;    // delayed reflectivity integrated over energy, mm/s
  int recursivePoints = 0;  // points the matrix path left to the recursion
  Span1<float> E1, E2, RE;
};

// Energy loop: set-up, reflection at every grid point, per-point values, and
// the amplitude-difference curves w.a1, w.b1, w.a2, w.b2 for the transform.
// With a.threads > 1 the reflections are computed on that many threads, each
// in a copy of w; the per-point values are then formed in order, so the
// results are the same to the last bit.
void angleEnergyLoop(const NuclearConstants& C, const AngleArgs& a, const SteppedModel& st, AngleWork& w,
                     AnglePoints& out);

// Delayed time spectrum from the curves of the last energy loop (see
// timeTransform), JE channels of the nuclear constants.
void angleTimeSpectrum(const NuclearConstants& C, const AngleArgs& a, AngleWork& w, Span1<double> spectrum);

}  // namespace common

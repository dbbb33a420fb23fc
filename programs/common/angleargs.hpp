// The inputs of the per-angle calculation besides the nuclear constants and
// the stepped model.
#pragma once

#include "numlib/farray.hpp"
#include "programs/common/egrid.hpp"
#include "programs/common/flddist.hpp"
#include "programs/common/model.hpp"
#include "programs/common/params.hpp"

namespace common {

using numlib::Arr1;
using numlib::Span1;

inline constexpr int NEMAX = kMaxEnergy;  // energy points of one spectrum

struct AngleArgs {
  int IBHF = 1;              // 2: angular parameters per multiplet; otherwise per sublayer
  int NM = 0;                // multiplets (at most 8)
  int Jway = 1;              // 1: transfer-matrix product; otherwise Parratt recursion
  double angle = 0;          // grazing angle, rad (> 0)
  float XEST = 0;            // energy step of the Fourier window, mm/s
  int NE = 0;                // energy points (at most 512)
  Span1<const float> grid;   // energy grid, mm/s, ascending
  Span1<const float> WDIST;  // field-distribution weights, 2 JAV1 + 1 points
  int IDIST = 0;             // 0: no distribution table
  // Most threads over the energy points (a program that runs its angles on
  // all cores leaves 1); a small stack uses fewer.  The results do not
  // depend on it.
  int threads = 1;
};

// The inputs of one angle as the model, "ZEPRIN.INP", the energy grid and
// the field distribution of a program give them.
inline AngleArgs angleArgs(const Model& m, const CalcParams& p, float XEST, const EnergyGrid& g, const FieldDist& f,
                           double angle) {
  AngleArgs a;
  a.IBHF = m.IBHF;
  a.NM = m.NM;
  a.Jway = p.Jway;
  a.angle = angle;
  a.XEST = XEST;
  a.NE = g.NE;
  a.grid = g.X.span();
  a.WDIST = f.WDIST.span();
  a.IDIST = p.IDIST;
  return a;
}

}  // namespace common

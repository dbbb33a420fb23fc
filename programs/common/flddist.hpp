// The hyperfine field distribution: 2*JAV1+1 weights on a symmetric grid of
// relative abscissae, computed (Gauss, Lorentz) or read from "DISTR.inf".
#pragma once

#include "numlib/farray.hpp"
#include "programs/common/blocks.hpp"
#include "programs/common/fio.hpp"
#include "programs/common/params.hpp"

namespace common {

inline constexpr int kMaxJAV1 = 50;

struct FieldDist {
  Arr1<float, 2 * kMaxJAV1 + 1> WDIST;  // weight of point i at abscissa (i - JAV1 - 1) * SD
};

// Sets nc.JAV1, nc.SWD and the weights from JAV1, SD and IDIST of `p`.  A JAV1
// outside 0..50 stops the program after the run-log message, an IDIST outside
// 0..3 stops it too.  IDIST 0 (no distribution) leaves every weight 0.
// `heading` adds the conversion-electron program's extra lines.
void FLDDIST(fio::Unit& log, const CalcParams& p, NuclearConstants& nc, FieldDist& d, bool heading = false);

}  // namespace common

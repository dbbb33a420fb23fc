// What the library routines write on the run log (unit 4): the stepped depth
// profiles of PROFW1 and PROFW2, and the trial line of LINFTS.  They sit
// here, beside the model output whose staircase they share, so that numlib
// itself stays free of the console programs' text I/O.
#pragma once

#include "numlib/farray.hpp"
#include "numlib/fits_ext.hpp"
#include "programs/common/fio.hpp"

namespace common {

// The depth profile of the N layers of thicknesses H (Angstrom) and values
// V, one point a line in the format (2F11.5): depth in nm (depth/10) and
// |value|.  It begins NV top-layer thicknesses above the first layer with the
// value 0; at the bottom of each layer come the points before and after the
// step to the next layer's value; the block N1..N2 is written NR times, each
// further copy PERIOD deeper, and the layers below it are shifted by
// (NR - 1) PERIOD.  A block that does not lie above the last layer is
// written once.  N < 1 writes nothing.
void PROFW1(fio::Unit& out, int N, int N1, int N2, int NR, int NV, numlib::Span1<const double> H,
            numlib::Span1<const double> V, double PERIOD);
// The same with two value columns, format (3F11.5).
void PROFW2(fio::Unit& out, int N, int N1, int N2, int NR, int NV, numlib::Span1<const double> H,
            numlib::Span1<const double> V1, numlib::Span1<const double> V2, double PERIOD);

// LINFTS's report of a trial as the run-log line " J,EPSS=" J EPSS.
class RunLogTrials : public numlib::TrialLog {
 public:
  explicit RunLogTrials(fio::Unit& log) : log_(log) {}
  void trial(int J, float eps) override { log_.print(" J,EPSS=", J, eps); }

 private:
  fio::Unit& log_;
};

}  // namespace common

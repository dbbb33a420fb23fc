// The state that the fit loop carries from pass to pass.
#pragma once

namespace common {

struct FitState {
  int Jcalc = 1;              // first record of "next.INP"; 1 once a variation record is read
  int JREP = 0;               // step count of the current parameter (0 before the first pass)
  int selector = 1;           // sign of the line number in1 last read: smoothing selector of the unpacking
  int ip1 = 1;                // column of the varied entry: smoothing row code of the unpacking
  float EPSN = 0;             // merit of the pass just computed
  float EPSSS = 0;            // best merit so far
  char mark = ' ';            // progress mark printed at the head of each fit pass
};

}  // namespace common

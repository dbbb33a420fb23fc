// Readers of the two depth profiles that the console programs write:
// "EL_MOD.RES" (electronic susceptibility) and "MODELN.RES" (multiplet
// densities).  Both hold two header values, a count line and one record per
// depth point; the view keeps them as references and the model graphs draw
// them.  Values are stored as written (depth in nm).
#pragma once

#include "frontend/Globals.hpp"

namespace kavold {

struct ProfileRead {
  bool found = false;    // the file opened
  bool read = false;     // its header was complete: the points were read
  bool tooLong = false;  // it announced more points than a profile holds
};

// Reads "EL_MOD.RES" into p: header values, then depth, real and imaginary
// part of each point, as many as the count says and the file holds (at most
// kProfilePoints).  A file without a complete header leaves p as it was.
// The normaliser is left to the caller.
ProfileRead ReadElProfileFile(ElectronicProfile& p);

// Reads "MODELN.RES" into p: after the header, a dropped value, the number
// of multiplets NM and the count; per point the depth and NM densities.
// Eight densities are kept, their sum (of all NM) goes into column NM + 1
// and the columns after it are 0.  A file without a complete header leaves
// p as it was.
ProfileRead ReadHfiProfileFile(HfiProfile& p);

}  // namespace kavold

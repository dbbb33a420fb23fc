// Stops of the console programs at a hard limit of their input.
#pragma once

#include <string>
#include <string_view>

#include "numlib/farray.hpp"

namespace common {

// Prints `message` on the console and ends the program with exit status 1.
[[noreturn]] void hardStop(std::string_view message);

// The refusal of a count below 0 at `point` (1-based) of the experiment file
// `file`: a fit weights its points by powers of the counts, and a negative
// weight turns the merit into no number at all.
std::string negativeCountText(std::string_view file, int point);

// A compared curve of an experiment file: which counts, and between which
// limits of the settings its comparison window lies.
struct ComparedCounts {
  std::string_view file;            // the experiment file
  std::string_view counts;          // "count", "prompt count", ...
  std::string_view lower, upper;    // names of the window's limits
  std::string_view above = "0";     // what `floor` is, for the message
};

// Why the counts E(J1..J2) of a comparison window cannot be compared, or an
// empty text.  The fits skip points at `floor` (a count of 0, or of 0 after
// the smallest count is subtracted), and a scale and a background fit any
// two points, or any number of equal ones, exactly: fewer than 3 counts
// above `floor`, or counts above it all equal, would give the merit 0 of a
// perfect fit whatever the model.
std::string refusedWindow(numlib::Span1<const float> E, int J1, int J2, float floor, const ComparedCounts& c);

}  // namespace common

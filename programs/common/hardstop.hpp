// Stops of the console programs at a hard limit of their input.
#pragma once

#include <string>
#include <string_view>

namespace common {

// Prints `message` on the console and ends the program with exit status 1.
[[noreturn]] void hardStop(std::string_view message);

// The refusal of a count below 0 at `point` (1-based) of the experiment file
// `file`: a fit weights its points by powers of the counts, and a negative
// weight turns the merit into no number at all.
std::string negativeCountText(std::string_view file, int point);

// A scale and a background (or a shift) fit any two points exactly, giving
// the merit 0 of a perfect fit: a comparison needs at least this many.
inline constexpr int kMinCompared = 3;

// The refusal of a comparison window of the experiment file `file`, between
// the limits named `lower` and `upper`, that holds fewer than kMinCompared
// points.
std::string shortWindowText(std::string_view file, std::string_view lower, std::string_view upper);

}  // namespace common

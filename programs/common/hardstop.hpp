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

}  // namespace common

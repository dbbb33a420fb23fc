// Stops of the console programs at a hard limit of their input.
#pragma once

#include <string_view>

namespace common {

// Prints `message` on the console and ends the program with exit status 1.
[[noreturn]] void hardStop(std::string_view message);

}  // namespace common

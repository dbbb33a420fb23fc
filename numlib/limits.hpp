// Fixed capacities shared by the library and every console program.
#pragma once

namespace numlib {

inline constexpr int N24 = 60;    // layers of a model, substrate included
inline constexpr int N6 = 8;      // hyperfine multiplets
inline constexpr int NMAX = 300;  // sublayers of a stepped model
inline constexpr int NYVL = 72;   // lines of the parameter table YV
inline constexpr int NYVC = 27;   // columns of the parameter table YV

}  // namespace numlib

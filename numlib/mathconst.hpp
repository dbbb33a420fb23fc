// Mathematical constants shared by the library and the console programs.
#pragma once

namespace numlib {

// 2 pi in single precision.  The derived constants (wave number, cross
// section) and every degree-radian conversion use this one value, so that
// angles and thicknesses agree between the programs to the last digit.
inline constexpr float kTwoPi = 6.2831855f;

// Degrees to radians and back, in single precision as the angular
// parameters of the model are held.
inline float toRadians(float deg) { return deg * kTwoPi / 360.0f; }
inline constexpr float kDegPerRad = 360 / kTwoPi;

}  // namespace numlib

// The time axis of the synchrotron experiment: the constants that the
// console programs share, and that the front end takes as its defaults
// (header-only, so that it links nothing of the programs).
#pragma once

namespace common {

// Time channels of a spectrum and length of its FFT: the JE of the shared
// block of constants.
inline constexpr int JEMAX = 1024;

// ns between two synchrotron pulses: a measured time spectrum also holds the
// tail of the response to the pulse before.
inline constexpr float kPulsePeriod = 176.06f;

}  // namespace common

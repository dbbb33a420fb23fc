// The resonance lines of a hyperfine multiplet and the azimuth spread of its
// field direction: the line pattern that every program's nuclear response
// builds on (time spectra, delayed reflectivity, conversion electrons).
//
// Conventions.  Magnetic quantum numbers and spins are doubled integers.  The
// transition type is the change of the doubled quantum number from ground to
// excited state: type 1 = +2, type 2 = 0, type 3 = -2.  Energies in mm/s,
// fields in T.
#pragma once

#include <array>

#include "numlib/farray.hpp"
#include "programs/common/blocks.hpp"

namespace common {

using numlib::Span1;

// One resonance line: at field B it lies at E0 = G B + base, half width h.
struct HyperfineLine {
  double G;       // magnetic factor: line energy per tesla, mm/s/T
  double base;    // isomer shift plus quadrupole shifts, mm/s
  double h;       // half width, mm/s
  double weight;  // line intensity from the intensity table
  int col;        // transition type 1, 2, 3
};

// Quadrupole function of the doubled magnetic quantum number m in a state of
// doubled spin i2: (3m^2 - i2(i2+2)) / (2 i2 (2 i2 - 2)), formed in reals;
// 0 without a quadrupole moment (spin 1/2 or 0).
double quadFunction(int m, int i2);

// The field points of multiplet m: 2 JAV1 + 1 fields Bhf + j SWD dBhf / JAV1
// with the weights WDIST when a distribution is in use (IDIST not 0, dBhf not
// 0, JAV1 >= 1), otherwise Bhf alone with weight 1.  A JAV1 of 0 would divide
// by zero in the field step: the multiplet is then taken as without one.  No
// more points are used than B, weight and WDIST hold.  Returns their number.
int fieldPoints(const NuclearConstants& C, int m, Span1<const float> WDIST, int IDIST, Span1<double> B,
                Span1<double> weight);

// The resonance lines of multiplet m (at most 3 (I2G + 1)).  Without a field
// distribution (`distributed` false) a non-zero dBhf widens each line by
// |G| dBhf; with one, every line keeps the natural width.  Returns their number.
int resonanceLines(const NuclearConstants& C, int m, bool distributed, Span1<HyperfineLine> out);

// Azimuths and weights of the field direction's spread: GA alone with weight
// 1 when WID = 0, otherwise 21 azimuths GA + k WID/4 (k = -10..10) with the
// Gaussian weights exp(-k^2/32) normalised to 1 (angles in radians).
struct AzimuthSpread {
  int n = 1;
  std::array<float, 21> gamma{}, weight{};
};
AzimuthSpread azimuthSpread(float GA, float WID);

}  // namespace common

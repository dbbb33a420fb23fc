// Values shared between the view and the graph dialogs.  One instance for
// the life of the application; touched only from the window thread.
#pragma once

#include "frontend/winlayer/afxdefs.hpp"

namespace kavold {

inline constexpr int kEnergyPoints = 512;    // points of an energy spectrum
inline constexpr int kProfilePoints = 2500;  // points of a depth profile

// Scales of the model graphs (depth in nm) and of the energy graphs (mm/s);
// the initialisers are the start values.
struct GraphScales {
  float Xmodmin = 0, Xmodmax = 100, Xmodstep = 20;
  float Yhfi = 1.3f;  // height of one multiplet's band
  float Emodmax = 12, Emodstep = 6;
};

// Reference curves of the energy graphs, from the first run of the time
// spectra or the last baseline.  Absorption values are divided by `norm`.
struct AbsorptionReference {
  float E[kEnergyPoints];
  float s[kEnergyPoints];  // s-polarisation
  float p[kEnergyPoints];  // p-polarisation
  int n;
  float norm;
};
struct ReflectivityReference {
  float E[kEnergyPoints];        // one energy axis for the spectra
  float R[kEnergyPoints][4];     // point-major, spectrum k in column k
  int n;
};

// Depth profiles (depth in nm).  The electronic one is divided by `norm`,
// its largest real part; XM1 and XM2 are the file's two header values.
struct ElectronicProfile {
  float depth[kProfilePoints];
  float re[kProfilePoints];
  float im[kProfilePoints];
  int n;
  float norm;
  float XM1, XM2;
};
// Multiplet densities: v[i][m] for multiplet m = 1..NM, their sum in
// column NM + 1.
struct HfiProfile {
  float depth[kProfilePoints];
  float v[kProfilePoints][10];
  int NM;
  int n;
};

struct KavoldGlobals : GraphScales {
  // Run counters, one per console program; 1 marks a first run, whose
  // curves become the initial ones.
  int runCEMS = 0;
  int runPrompt = 0;
  int runDelayed = 0;
  int runTime = 0;
  int editFlag = 1;  // 2 after the settings were read back from the files

  int nTimeSpectraDrawn = 0;   // spectra of the last time-spectra drawing
  float grazingAngle[4] = {};  // the view's copy of the grazing angles, mrad

  AbsorptionReference absorption{};
  ReflectivityReference reflectivity{};
  ElectronicProfile elProfile{};
  HfiProfile hfiProfile{};

  // The working directory found at start; the file-browse buttons of the
  // dialogs return the current directory to it.
  winlayer::CString startDirectory;
};

KavoldGlobals& globals();

}  // namespace kavold

// Values shared between the view and the graph dialogs.  One instance for
// the life of the application; touched only from the window thread.
#pragma once

#include "frontend/winlayer/afxdefs.hpp"

namespace kavold {

struct KavoldGlobals {
  // Run counters, one per console program; 1 marks a first run, whose
  // curves become the initial ones.
  int runCEMS = 0;
  int runPrompt = 0;
  int runDelayed = 0;
  int runTime = 0;
  int editFlag = 1;  // 2 after the settings were read back from the files

  int nTimeSpectraDrawn = 0;          // spectra of the last time-spectra drawing
  float grazingAngle[4] = {};         // mrad, of the drawn spectra

  // Scales of the model graphs (depth in nm) and of the energy graphs (mm/s).
  float Xmodmin = 0, Xmodmax = 100, Xmodstep = 20;
  float Yhfi = 1.3f;
  float Emodmax = 12, Emodstep = 6;

  // The working directory found at start; the file-browse buttons of the
  // dialogs return the current directory to it.
  winlayer::CString startDirectory;
};

KavoldGlobals& globals();

}  // namespace kavold

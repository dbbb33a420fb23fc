// The working state that the view holds for the life of the window, in
// groups.  Every store is fixed in size; curves are single-precision arrays
// with a point count beside them.  Spectra stored side by side are
// point-major: y[i][k] is point i of spectrum k (both from 0).  The model
// table and the per-multiplet and per-mode blocks count from 1.
#pragma once

#include "frontend/winlayer/afxdefs.hpp"
#include "numlib/farray.hpp"

namespace kavold {

using numlib::Arr1;
using numlib::Arr2;
using winlayer::CString;

inline constexpr int kTimePoints = 2048;
inline constexpr int kAnglePoints = 3500;
inline constexpr int kDelayedPoints = 900;
inline constexpr int kCemsPoints = 1024;
inline constexpr int kModelLines = 75;
inline constexpr int kModelColumns = 50;

// The model table: line and column numbers of the fit's parameter table.
// Beside each value, whether the front end computed it (the joint fit's
// sums) rather than read it from a file or a dialog: a computed single-
// precision sum has no typed digits to keep, so it is written in its
// column's form alone.
struct ModelTable : Arr2<float, kModelLines, kModelColumns> {
  Arr2<bool, kModelLines, kModelColumns> computed{};
};
// Per sublayer KIND1, KIND2, KSTEP, then KINDV of multiplets 1 to 8.
using LayerInts = Arr2<int, kModelLines, 11>;
inline constexpr int kColKIND1 = 1, kColKIND2 = 2, kColKSTEP = 3, kColKINDV1 = 4;

// Display mode 1: up to 4 spectra, spectrum k in column k with its own
// times (ns) and count, since experiment files may cover different times.
struct TimeCurves {
  float texp[kTimePoints][4];       // experiment
  float yexp[kTimePoints][4];
  int nexp[4];
  float tini[kTimePoints][4];       // initial (reference) theory
  float yini[kTimePoints][4];
  int nini[4];
  float tcur[kTimePoints][4];       // current theory
  float ycur[kTimePoints][4];
  int ncur[4];
};

// Display modes 2 and 3; angles in mrad.
struct ReflectivityCurves {
  float aexp[kAnglePoints];         // experiment: one abscissa, one count
  float dexp[kDelayedPoints];
  float pexp[kAnglePoints];
  int nexp;
  float adini[kAnglePoints];        // delayed curve, initial and current
  float dini[kDelayedPoints];
  int ndini;
  float adcur[kAnglePoints];
  float dcur[kDelayedPoints];
  int ndcur;
  float apini[kAnglePoints];        // prompt curve, initial and current
  float pini[kAnglePoints];
  int npini;
  float apcur[kAnglePoints];
  float pcur[kAnglePoints];
  int npcur;
};

// Display mode 4; velocities in mm/s.  Column m of the partial spectra is
// multiplet m (1 to 8).
struct CemsCurves {
  float v[kCemsPoints];             // shared by the current curves and the experiment
  float vini[kCemsPoints];          // of the initial curves
  float yexp[kCemsPoints];
  float totini[kCemsPoints];
  float totcur[kCemsPoints];
  float partini[kCemsPoints][9];
  float partcur[kCemsPoints][9];
  int n;
};

struct AxisBlock {
  float Xini = 0, Xfin = 0, Xstep = 0, Yini = 0, Yfin = 0, Ystep = 0;
  int Lscale = 0;  // 1 linear, 2 logarithmic Y
};

struct Multiplet {
  float Bhf = 0, dBhf = 0, IS = 0, EFG = 0, GRd = 0;
  float Beta = 0, Gamma = 0, Random = 0, Plane = 0, Wid = 0;
};

// The values of "MOLVEC.INP".
struct DelayedPromptParameters {
  int Intexp = 0;  // reflectivity experiment files, 0 none
  float UT0p = 0, Ustepp = 0;
  int Nstepp = 0;
  float DIV = 0, ANGBEAM = 0;
  int JFITP = 0;
  float ACOMP1 = 0, ACOMP2 = 0, EPFINP = 0;
  float UT0 = 0, Ustep = 0;
  int Nstep = 0;
  int JFITD = 0;
  float ACOMP1D = 0, ACOMP2D = 0, EPFIND = 0;
  float FJEPP = 0, FJEPD = 0;
  float TIMECYCLE = 0, TIMINI = 0, TIMFIN = 0;
};

// The values of "FilCEM.INP".
struct CemsParameters {
  float GS = 0, EMAX = 0;
  int IMM = 0, JEXPC = 0;
  float Hmms = 0, Hchan = 0, chan0 = 0, E1lim = 0, E2lim = 0;
};

struct Merits {
  float eps0 = 0, epsn = 0;      // time spectra, initial and current
  float eps0i = 0, epsni = 0;    // delayed and prompt
  float eps0p = 0, epsnp = 0;    // prompt
  float EpsCEM = 0, EpsCEMn = 0;
};

// Names of the models of the initial and of the current curves.
struct ModelLabels {
  CString initial;
  CString current;
};

// The axes that the last drawing used (after the logarithm, when it applies).
struct CurrentAxes {
  float Xini = 0, Xfin = 0, Yini = 0, Yfin = 0, Xstep = 0, Ystep = 0;
};

}  // namespace kavold

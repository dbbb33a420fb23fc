// The calculation parameter files: "ZEPRIN.INP", "FileM.inp" and the first
// record of the fit script "next.INP".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "numlib/farray.hpp"
#include "programs/common/fio.hpp"

namespace common {

using numlib::Arr1;

inline constexpr int kMaxCorr = 16;    // room for correlation pairs, the closing one included
inline constexpr int kMaxSpectra = 4;  // grazing angles / time spectra

// "ZEPRIN.INP".
struct CalcParams {
  int Jway = 1;           // 1 matrix, 2 Parratt
  int ITEST = 1;          // 1 one step check, 2 fit
  float XEXP1 = 0;        // comparison window, ns
  float XEXP2 = 0;
  Arr1<float, 4> weight;  // merit weight of each spectrum
  float EPFIN = 0;        // stop threshold of the relative merit change
  float AF = 0;           // initial background
  Arr1<std::int16_t, kMaxCorr> ICORR, IMAN;
  int IFC = 0;            // correlation pairs before the closing one
  float SIG = 0;          // width of the depth smoothing of densities, Angstrom
  int JFIT = 0;           // way of comparing theory and experiment
  int ISTOP = 0;          // largest step count of one parameter
  int KP = 0;             // smoothing steps (read and echoed only)
  float SIGMA = 0;        // width of the time averaging, ns
  int JAV1 = 0;           // points of the field half-distribution
  float SD = 0;           // step of the distribution abscissa
  int IDIST = 0;          // 1 Gauss, 2 Lorentz, 3 table "DISTR.inf"
};

// Stops the run unless the weight power of a comparison with experiment
// (JFIT and its kin, the setting `name` of the file `file`) is 0 or more.
// Checked only where an experiment is compared.
void requireWeightPower(int power, std::string_view name, std::string_view file);

// How much of "ZEPRIN.INP" a program reads and which values it echoes.
enum class ParamsKind {
  TimeSpectra,    // all records
  DelayedPrompt,  // all records; echoes JWAY, IFC, SIGMA, JAV1, IDIST only
  PromptOnly,     // records up to KP; its own echoes
};

struct ParamsOptions {
  ParamsKind kind = ParamsKind::TimeSpectra;
  bool heading = false;  // an empty line and " ZEPRIN.INP" open the echo
};

// Reads "ZEPRIN.INP" (unit 5) and echoes it to the run log.  A correlation
// list without its closing pair within kMaxCorr records stops the program.
void RDPARAM(fio::Unit& log, CalcParams& p, const ParamsOptions& opt = {});

// "FileM.inp": the model file name and the grazing angles.
struct ModelFileRef {
  std::string name;                // at most 32 characters
  int NSPC = 0;                    // number of grazing angles
  Arr1<double, kMaxSpectra> angle;  // radians
};

struct FileMOptions {
  bool angles = true;    // read NSPC and the angles
  bool heading = false;  // an empty line and " FileM.inp" open the echo
};

// Reads "FileM.inp" (unit 8).  NSPC outside 0..4 and an angle outside
// 0..90 degrees (both excluded) stop the program.
void RDFILEM(fio::Unit& log, ModelFileRef& f, const FileMOptions& opt = {});

// Opens "next.INP" on `next` (it stays open for the fit), reads Jcalc and
// echoes it; ITEST = 2 switches the fit on.  `heading` writes an empty line
// and "  next.INP" first.
void RDNEXT(fio::Unit& log, fio::Unit& next, int ITEST, int& Jcalc, bool heading = false);

}  // namespace common

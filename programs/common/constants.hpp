// The nuclear constants file "Tconst.INI": reading, derived constants and
// their run-log echo.
#pragma once

#include <string_view>

#include "programs/common/blocks.hpp"
#include "programs/common/fio.hpp"

namespace common {

// The constants a main program keeps for itself (not in the shared block).
struct MainConstants {
  double ERES = 0;     // transition energy, keV
  double AT = 0;       // mm/s to energy: 1e-11 keV per mm/s
  double LYAMBDA = 0;  // wavelength, Angstrom
  double K0 = 0;       // wave number, 1/Angstrom
  double SIGMA0 = 0;   // resonance cross-section, Angstrom^2
  float ALFA = 0;      // internal conversion coefficient
  float XEST = 0;      // energy step of the spectra, mm/s
  float XEMAX = 0;     // half-range of the fine energy grid, mm/s
};

// What a program reads from the constants file and echoes.
enum class ConstantsKind {
  TimeSpectra,    // the whole file; wavelength from AT; full echo
  Conversion,     // as TimeSpectra, the log headed by an empty line and "Tconst.INI"
  DelayedPrompt,  // the whole file; LYAMBDA = 12.398418/ERES; no AT, decay-time or width lines
  EnergyOnly,     // only ERES; the run log is opened before the constants file
};

struct ConstantsOptions {
  std::string_view runLog = "ZEPRIN.RES";
  ConstantsKind kind = ConstantsKind::TimeSpectra;
};

// Opens the run log on `log` (it stays open), reads "Tconst.INI" and sets
// the derived constants.  Values that would make the table overrun or the
// derived constants infinite stop the program with a message.
void RDCONST(fio::Unit& log, NuclearConstants& nc, MainConstants& mc, const ConstantsOptions& opt = {});

// Mean decay time (ns) and full natural width (neV) of the transition.
double meanDecayTime(const NuclearConstants& nc, const MainConstants& mc);
double fullWidth(const NuclearConstants& nc, const MainConstants& mc);

}  // namespace common

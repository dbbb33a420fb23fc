// The delayed-prompt parameter file "MOLVEC.INP": its first 13 records, the
// prompt section that both reflectivity programs read.
#pragma once

#include <string>

#include "programs/common/fio.hpp"
#include "programs/common/inputnames.hpp"

namespace common {

inline constexpr int kFirstGaussKernel = 11;  // kernel points of the divergence averaging at start

// Records 1..13.
struct PromptSettings {
  int Intexp = 0;        // 0: no experiment; otherwise one reflectivity experiment file
  std::string expName;   // its name, at most 32 characters
  float UT0p = 0;        // first angle of the prompt grid, mrad
  float Ustepp = 0;      // angle step, mrad
  int Nstepp = 0;        // number of angles
  float DIV = 0;         // beam divergence, held halved: the standard deviation of the averaging, mrad
  int NG = kFirstGaussKernel;  // kernel points of the averaging; only grows
  float ANGBEAM = 0;     // mrad; below it the footprint of the beam exceeds the sample
  int JFITP = 0;         // merit: < 10 straight-line fit with weight power JFITP, >= 10 scale search (JFITP - 10)
  float ACOMP1 = 0;      // comparison window, mrad
  float ACOMP2 = 0;
  float EPFINP = 0;      // limit of the relative merit change
};

// Records 14..26, the delayed section, which only the delayed-prompt
// program reads.
struct DelayedSettings {
  float UT0 = 0;         // first angle of the calculation grid, mrad
  float Ustep = 0;       // angle step, mrad
  int Nstep = 0;         // number of calculation angles
  int JFITD = 0;         // merit of the delayed curve, as JFITP
  float ACOMP1D = 0;     // comparison window of both curves, mrad
  float ACOMP2D = 0;
  float EPFIND = 0;      // limit of the relative change of the total merit
  float FJEPP = 0;       // weights of the prompt and delayed merits in the total
  float FJEPD = 0;
  float TIMECYCLE = 0;   // period of the synchrotron bunches, ns
  float TIMINI = 0;      // delayed counting window after a pulse, ns
  float TIMFIN = 0;
};

// One value record and its run-log line: the label, then the value.
template <class T>
void readEcho(fio::Unit& in, fio::Unit& log, const char* label, T& value) {
  in.read(value);
  log.print(label, value);
}

// Reads records 1..13 from `in` (open on "MOLVEC.INP", at its start) with
// their run-log echoes.  The file stays open for the records that follow.
void readPromptRecords(fio::Unit& in, fio::Unit& log, PromptSettings& p);
// Reads records 14..26 that follow, with their run-log echoes.
void readDelayedRecords(fio::Unit& in, fio::Unit& log, DelayedSettings& d);

inline constexpr std::string_view kReflParameterFile[] = {"MOLVEC.INP"};

// Stops the run, before anything is written, when the experiment file that
// "MOLVEC.INP" names (when record 2 asks for one), the model file or one of
// the `fixedInputs` is one of the `written` files.
void refuseWrittenReflInputs(std::initializer_list<FileNames> fixedInputs, std::initializer_list<FileNames> written);

}  // namespace common

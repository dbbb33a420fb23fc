// The delayed-prompt parameter file "MOLVEC.INP": its first 13 records, the
// prompt section that both reflectivity programs read.
#pragma once

#include <string>

#include "programs/common/fio.hpp"

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

// One value record and its run-log line: the label, then the value.
template <class T>
void readEcho(fio::Unit& in, fio::Unit& log, const char* label, T& value) {
  in.read(value);
  log.print(label, value);
}

// Reads records 1..13 from `in` (open on "MOLVEC.INP", at its start) with
// their run-log echoes.  The file stays open for the records that follow.
void readPromptRecords(fio::Unit& in, fio::Unit& log, PromptSettings& p);

}  // namespace common

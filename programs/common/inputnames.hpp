// Input files must not be files the program writes: a model file that is
// the run log would be emptied before it is read, one that is a result file
// overwritten after it, and an experiment that is a curve file lost to the
// first pass.  Each program learns the names its parameter files give and
// checks every input before it writes anything.  The model file alone may be
// "LAYSPC.RES": it is read and closed at start-up, and the fitted model
// replaces it at the end, which is how one fit goes on from the last.
#pragma once

#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "programs/common/fio.hpp"

namespace common {

using FileNames = std::span<const std::string_view>;

// What the shared blocks write: the scratch file of the model reader, the
// fitted model and the profile of the electronic susceptibility.  The
// profile of the densities is written by every program but the prompt one.
inline constexpr std::string_view kFittedModelFile = "LAYSPC.RES";
inline constexpr std::string_view kModelOutputFiles[] = {"rab.res", kFittedModelFile, "EL_mod.RES"};
inline constexpr std::string_view kDensityProfileFile[] = {"MODELN.RES"};

// The inputs of fixed name that every program reads, and the table of the
// field distribution, which all but the prompt program may read.
inline constexpr std::string_view kSharedInputs[] = {"Tconst.INI", "ZEPRIN.INP", "FileM.inp", "next.INP",
                                                     "stop.inp"};
inline constexpr std::string_view kDistributionInput[] = {"DISTR.inf"};

// A file read under a name that a parameter file gives.
struct NamedInput {
  std::string name;
  std::string_view role;          // "model file", "experiment file"
  std::string_view namedIn;       // the parameter file that names it
  std::string_view readBefore{};  // a written file it may be named as: read and closed before that is written
};

// Runs `read` on `file` to learn names before the program's own reading
// comes to them.  A file that is missing or unreadable up to the names
// yields nothing: the program's own reading reports it in its turn.
void peekNames(std::string_view file, const std::function<void(fio::Unit&)>& read);

// The model file named in record 1 of "FileM.inp".
void peekModelName(std::vector<NamedInput>& inputs);

// Ends the program with exit status 1 and a message naming both files when
// an input, named or of a fixed name, is one of the written files: by its
// name (the same file of the working directory, letter case ignored as in
// every lookup of a file) or, through a link, by the file itself.  A written
// file that does not exist yet is compared by name only.
void refuseWrittenInputs(std::vector<NamedInput> inputs, std::initializer_list<FileNames> fixedInputs,
                         std::initializer_list<FileNames> written);

}  // namespace common

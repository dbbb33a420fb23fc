// Input files named in a parameter file must not be files the program writes:
// a model file named like the run log would be emptied before it is read, one
// named like a result file overwritten after it, and an experiment named like
// a curve file lost to the first pass.  Each program learns these names and
// checks them before it writes anything.
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
inline constexpr std::string_view kModelOutputFiles[] = {"rab.res", "LAYSPC.RES", "EL_mod.RES"};
inline constexpr std::string_view kDensityProfileFile[] = {"MODELN.RES"};

// A file read under a name that a parameter file gives.
struct NamedInput {
  std::string name;
  std::string_view role;     // "model file", "experiment file"
  std::string_view namedIn;  // the parameter file that names it
};

// Runs `read` on `file` to learn names before the program's own reading
// comes to them.  A file that is missing or unreadable up to the names
// yields nothing: the program's own reading reports it in its turn.
void peekNames(std::string_view file, const std::function<void(fio::Unit&)>& read);

// The model file named in record 1 of "FileM.inp".
void peekModelName(std::vector<NamedInput>& inputs);

// Ends the program with exit status 1 and a message naming both files when
// an input is one of the written files: the same file of the working
// directory, letter case ignored as in every lookup of a file.
void refuseWrittenInputs(const std::vector<NamedInput>& inputs, std::initializer_list<FileNames> written);

}  // namespace common

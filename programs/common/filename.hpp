// File names in the working directory are matched without regard to letter
// case: "next.INP" finds an existing "NEXT.INP", and writing "stop.inp"
// rewrites an existing "STOP.INP" instead of making a second file.  Shared by
// the console programs and the front end.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace nrsfile {

// The existing file that `name` (relative to `dir`, or absolute) names: the
// exact spelling when it exists, else the first directory entry whose name
// equals it ignoring ASCII case.  Directory parts of `name` are taken as
// they stand; only the last component is matched loosely.
std::optional<std::filesystem::path> findExisting(std::string_view name,
                                                  const std::filesystem::path& dir = ".");

// The path to write `name` to: the existing file of any case, or the name as
// given when none exists.
std::filesystem::path pathForWrite(std::string_view name, const std::filesystem::path& dir = ".");

// Removes the existing file that `name` names, if any; a file that cannot be
// removed stays.
void removeExisting(std::string_view name, const std::filesystem::path& dir = ".");

bool equalsNoCase(std::string_view a, std::string_view b);

}  // namespace nrsfile

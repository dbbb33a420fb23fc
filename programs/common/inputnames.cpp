#include "programs/common/inputnames.hpp"

#include <filesystem>
#include <system_error>

#include "programs/common/filename.hpp"
#include "programs/common/hardstop.hpp"

namespace common {

namespace fs = std::filesystem;

namespace {

// A name with a directory part names a file of the working directory when
// that directory is the working directory ("./LAYSPC.RES").
bool namesWrittenFile(std::string_view name, std::string_view written) {
  const fs::path p(name);
  if (!nrsfile::equalsNoCase(p.filename().string(), written)) return false;
  if (p.parent_path().empty()) return true;
  std::error_code ec;
  return fs::equivalent(p.parent_path(), ".", ec);
}

// Two names of one file: a symbolic link or a hard link (same device and
// inode).  Both must exist.
bool sameFile(std::string_view input, std::string_view written) {
  const auto in = nrsfile::findExisting(input);
  const auto out = nrsfile::findExisting(written);
  std::error_code ec;
  return in && out && fs::equivalent(*in, *out, ec);
}

void refuse(const NamedInput& in, std::string_view written) {
  const std::string namedIn = in.namedIn.empty() ? "" : " named in " + std::string(in.namedIn);
  hardStop(" the " + std::string(in.role) + " " + in.name + namedIn + " is the file " + std::string(written) +
           " that this program writes: it would be overwritten !");
}

}  // namespace

void peekNames(std::string_view file, const std::function<void(fio::Unit&)>& read) {
  fio::Unit in(0);
  try {
    in.openOld(file);
    read(in);
  } catch (const fio::RuntimeError&) {
    // Not here: the reading phase of the file will stop the run with this
    // failure after the usual start of the run log.
  }
}

void peekModelName(std::vector<NamedInput>& inputs) {
  peekNames("FileM.inp", [&](fio::Unit& in) {
    inputs.push_back({in.readA(32), "model file", "FileM.inp", kFittedModelFile});
  });
}

void refuseWrittenInputs(std::vector<NamedInput> inputs, std::initializer_list<FileNames> fixedInputs,
                         std::initializer_list<FileNames> written) {
  for (FileNames list : fixedInputs)
    for (std::string_view name : list) inputs.push_back({std::string(name), "input file", {}});
  for (const NamedInput& in : inputs)
    for (FileNames list : written)
      for (std::string_view w : list) {
        // Only under the written file's own name: a model of another name
        // that is the same file through a link would be lost to the fit.
        if (namesWrittenFile(in.name, w) ? w != in.readBefore : sameFile(in.name, w)) refuse(in, w);
      }
}

}  // namespace common

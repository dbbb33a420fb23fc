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
bool isWrittenFile(std::string_view name, std::string_view written) {
  const fs::path p(name);
  if (!nrsfile::equalsNoCase(p.filename().string(), written)) return false;
  if (p.parent_path().empty()) return true;
  std::error_code ec;
  return fs::equivalent(p.parent_path(), ".", ec);
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
  peekNames("FileM.inp", [&](fio::Unit& in) { inputs.push_back({in.readA(32), "model file", "FileM.inp"}); });
}

void refuseWrittenInputs(const std::vector<NamedInput>& inputs, std::initializer_list<FileNames> written) {
  for (const NamedInput& in : inputs)
    for (FileNames list : written)
      for (std::string_view w : list)
        if (isWrittenFile(in.name, w))
          hardStop(" the " + std::string(in.role) + " " + in.name + " named in " + std::string(in.namedIn) +
                   " is the file " + std::string(w) + " that this program writes: it would be overwritten !");
}

}  // namespace common

// ZEPRIN: time spectra of nuclear resonance scattering at grazing incidence.
#include "programs/common/fio.hpp"
#include "programs/zeprin/zeprin.hpp"

namespace {

// The program's data block lives for the whole process.
zeprin::ZeprinData data;

}  // namespace

int main() {
  return fio::runMain("ZEPRIN", [] { zeprin::TIMMAIN(data); });
}

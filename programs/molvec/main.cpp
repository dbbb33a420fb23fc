// MOLVEC: delayed and prompt reflectivity curves of nuclear resonance
// scattering at grazing incidence.
#include "programs/common/fio.hpp"
#include "programs/molvec/molvec.hpp"

namespace {

// The program's data block lives for the whole process.
molvec::MolvecData data;

}  // namespace

int main() {
  return fio::runMain("MOLVEC", [] { molvec::DELMAIN(data); });
}

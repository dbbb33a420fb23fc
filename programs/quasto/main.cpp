// QUASTO: prompt (electronic) reflectivity against the grazing angle.
#include "programs/common/fio.hpp"
#include "programs/quasto/quasto.hpp"

namespace {

// The program's data block lives for the whole process.
quasto::QuastoData data;

}  // namespace

int main() {
  return fio::runMain("QUASTO", [] { quasto::REFMAIN(data); });
}

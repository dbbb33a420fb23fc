#include "numlib/yvmod.hpp"
#include "programs/molvec/molvec.hpp"

namespace molvec {

// Every layer keeps the thickness of its table line (the block is not
// brought back to its period), and the glancing angles come from
// "MOLVEC.INP", not from the table.
void YVMODD(fio::Unit& log, numlib::YVTable& YV, common::Model& m, int selector, int rowCode, float SIG) {
  numlib::YVMOD(YV, m.NNN, m.N1N, m.N2N, m.NRN, m.NM, m.IBHF, m.INORM, m.ISQ, m.HKS, m.period, selector, rowCode, SIG,
                m.JVN, m.arrays, {.keepBlockPeriod = false, .angles = false});
  log.print(" HKMAX", m.arrays.HKMAX);
}

}  // namespace molvec

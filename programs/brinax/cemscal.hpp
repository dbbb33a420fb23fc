// Conversion-electron (CEMS) spectrum of a layered sample: the resonant
// absorption of every hyperfine multiplet on an energy grid, for two
// orthogonal polarisations of the incident radiation.
//
// Geometry.  The polar axis of the field direction is the beam: BE is the
// angle between field and beam, GA the azimuth about the beam.  A field along
// the beam (BE = 0) absorbs no Delta m = 0 line (areas 3:0:1 for 57Fe), a field
// across it (BE = 90 degrees) gives 3:4:1, a random one 3:2:1.  The sum of
// the two polarisations depends on BE only.
//
// Each sublayer absorbs in proportion to its phase thickness and its density
// (the block N1Nst..N2Nst counted NRR times); there is no attenuation with
// depth, as suits conversion electrons from a thin surface region.
#pragma once

#include "numlib/farray.hpp"
#include "numlib/limits.hpp"
#include "programs/common/blocks.hpp"
#include "programs/common/fio.hpp"

namespace brinax {

using numlib::Arr1;
using numlib::Arr2;
using numlib::N6;
using numlib::Span1;

inline constexpr int kMaxPoints = 1024;  // points of a calculated or measured spectrum

// Spectra by energy point and multiplet: column K (1..NM) holds multiplet K,
// column 0 the sum over the multiplets.
using Spectra = Arr2<float, kMaxPoints, N6 + 1, 1, 0>;

struct CemsArgs {
  int IBHF = 1;             // 2: angular parameters and area ratios per multiplet, no depth
  int NM = 0;               // multiplets (at most 8)
  Span1<const float> S;     // area ratios S(K), used when IBHF = 2
  int IMM = 0;              // energy points (at most kMaxPoints)
  Span1<const float> XXM;   // energies, mm/s
  Span1<const float> WDIST; // field-distribution weights, 2 JAV1 + 1 points
  int IDIST = 0;            // 0: no field distribution
};

// Fills A (polarisation 1, tensor element 11) and B (polarisation 2, element
// 22) for points 1..IMM and columns 0..NM from the stepped model `st`, whose
// thicknesses are phase thicknesses and whose angular arrays hold radians
// (per sublayer, or per multiplet when IBHF = 2).  With IBHF = 2 and `log`
// given, the lines "J=" 1 and "J=" 4 go to the run log.
void CEMScal(const common::NuclearConstants& C, const CemsArgs& a, const common::SteppedModel& st, Spectra& A,
             Spectra& B, fio::Unit* log = nullptr);

}  // namespace brinax

// What the model has become at the end of a run: the depth profiles of the
// stepped model ("EL_mod.RES", "MODELN.RES") and the fitted model
// "LAYSPC.RES"; and the fatal stop of the shared blocks.
#pragma once

#include "programs/common/blocks.hpp"
#include "programs/common/fio.hpp"
#include "programs/common/model.hpp"

namespace common {

inline constexpr int kMaxProfile = 2 * NMAX + 1;

// A stepped model over NMAX sublayers: the console message, then the end of
// the program with exit status 1.
[[noreturn]] void ERREXIT();

struct ProfileOptions {
  const char* nprLabel = " Npr=";
  bool densities = true;  // also write "MODELN.RES"
};

// Number of depth-profile points of the stepped model: the repeated block,
// when it lies above the last sublayer, counted NRR times.
// Counted wide: a long repeated block must not overflow the count.
long long profilePoints(const SteppedModel& st);

// Writes the depth profiles.  Stepped thicknesses are held multiplied by K0
// (1/Angstrom); depths in the files are in nm.  A profile of more than
// kMaxProfile points is not written: the run log and the console say so,
// profile files left by an earlier run are removed (a reader then finds none
// rather than the profile of another model), and the result is false.  The
// caller still writes the fitted model and reports the failure in its exit
// status.
[[nodiscard]] bool WRPROF(fio::Unit& log, const Model& m, const SteppedModel& st, double K0, const ProfileOptions& opt = {});

struct ModelWriteOptions {
  // The prompt program's model kind: record 1 holds JMODEL, "(I2, 20X,
  // 'LAYSPC.INF')", and a kind of 2 or more ends the file after the layer
  // records.  Without it record 1 is the other programs' and the nuclear
  // part is always written.
  bool withKind = false;
  int JMODEL = 0;
};

// Opens "LAYSPC.RES" on `out` and writes the model in the model-file layout;
// the file stays open for the program's trailer.  The model and YV stay as
// they are: writing twice gives the same file.
void WRMODEL(fio::Unit& out, const Model& m, const YVTable& YV, const ModelWriteOptions& opt = {});

}  // namespace common

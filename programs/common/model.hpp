// The model file (also the layout of the fitted model "LAYSPC.RES") and the
// parameter table YV through which the fit sees every model quantity.
#pragma once

#include <array>

#include "numlib/farray.hpp"
#include "numlib/limits.hpp"
#include "numlib/yvmod.hpp"
#include "programs/common/blocks.hpp"
#include "programs/common/fio.hpp"
#include "programs/common/params.hpp"

namespace common {

using numlib::N24;
using numlib::YVTable;
namespace yv = numlib::yv;

// Repetitions of the block: far beyond any real sample (a depth profile can
// show at most about 150), yet every pass stays short.
inline constexpr int kMaxNRN = 1000;

// Column headers of the model file's layer and density records, also used
// for the run-log tables.
inline constexpr const char* kLayerHeader =
    "('       H1A           EL.DENS.        ZD1       ZD2     WIDTHKIND1 KIND2 KSTEP')";
inline constexpr const char* kDensityHeader =
    "('                       V[N,K]   MULTIPLET DENSITIS and if IBHF=1:  BE    GA   Rand  Plane   WID')";

// One layer record: thickness and WIDTH in Angstrom, the real and imaginary
// electronic susceptibility in 1e-6.
struct LayerLine {
  int N = 0;
  double H1A = 0, ELD1 = 0, ELD2 = 0, ZD1 = 0, ZD2 = 0, WIDTH = 0;
  int KIND1 = 0, KIND2 = 0, KSTEP = 0;
};
void writeLayerLine(fio::Unit& out, const LayerLine& l);

// One density record: the eight multiplet densities and the five angular
// parameters BE, GA, Rand, Plane, WID (angles in degrees).
void writeDensityLine(fio::Unit& out, int N, const std::array<float, N6>& V, const std::array<float, 5>& angles);

// Rows of the angular arrays ANGL and ANGM, in the order of their YV columns
// and lines.
enum AngularRow { kBE = yv::BE, kGA = yv::GA, kRAND = yv::RAND, kPLAN = yv::PLAN, kWID = yv::WID };
// Rows of the hyperfine array HYP.
enum HyperfineRow { kBhf = 1, kdBhf = 2, kIS = 3, kEFG = 4, kGRd = 5 };

// The layered sample.  `arrays` holds the quantities the unpacking of YV
// rewrites every pass (thicknesses, susceptibilities, densities, S, F, HKMAX,
// the hyperfine and angular arrays, the grazing angles); they start as read.
struct Model {
  int NNN = 0;             // sublayers, substrate included
  int N1N = 0, N2N = 0;    // repeated block, both included
  int NRN = 1;             // repetitions of the block
  int INORM = 1, ISQ = 0;  // normalisation settings of the densities
  int NM = 0;              // multiplets
  int IBHF = 1;            // 1 angular parameters per sublayer, 2 per multiplet
  numlib::ModelArrays arrays;
  Arr1<float, N24> ZD1, ZD2;    // interface parameters, real and imaginary part
  Arr1<double, N24> WIDTH;      // interface width, Angstrom
  Arr1<int, N24> KIND1, KIND2;  // interface kinds 1..5
  Arr1<int, N24> KSTEP;         // steps of the graded interface (0 = none)
  Arr2<float, yv::NANG, N24> ANGL;  // BE, GA, Rand, Plane, WID per sublayer as read (degrees)
  Arr2<float, yv::NHYP, N6> HYP;    // Bhf, dBhf, IS, EFG, GRd per multiplet as read
  Arr2<float, yv::NANG, N6> ANGM;   // BE, GA, Rand, Plane, WID per multiplet as read (degrees)
  Arr2<int, N6, N24> KINDV;     // interface kind per multiplet and sublayer
  Arr2<float, N6, N24> ZDV;     // interface parameter per multiplet and sublayer
  // Derived while reading.
  int JVN = 1;                  // 2 when any sublayer has steps: normalise the stepped model
  Arr1<float, N24> HKS;         // nuclear density per sublayer (sum of V)
  float period = 0;             // thickness of the repeated block, Angstrom
  int ISQn = 0, INORMn = 1;     // settings for normalising the stepped model
};

// Clears YV and YVS.
void INITYV(YVTable& YV, YVTable& YVS);

// How a program reads the model file and echoes it.
struct ModelOptions {
  const char* jvnLabel = "JVN=";  // label of the JVN line
  bool headEcho = false;          // echo the head values (delayed-prompt program)
  bool angles = true;             // put the grazing angles into YV
};

// Reads the model file named in "FileM.inp" (unit 1), fills the model, the
// shared multiplet arrays and YV, and echoes to the run log.  Sizes outside
// the tables (NNN, NM, IBHF, the repeated block, NRN over kMaxNRN, an
// interface the grid would cut into more than NMAX steps) stop the program.
void RDMODEL(fio::Unit& log, const ModelFileRef& f, Model& m, NuclearConstants& nc, YVTable& YV,
             const ModelOptions& opt = {});

// The model kind of record 1, the field (I2): blank reads as 0.  A field
// that is no number counts as kind 0, with `numeric` false.
struct ModelKind {
  int JMODEL = 0;
  bool numeric = true;
};

// Parts of the reader for programs that echo differently.  Each reads its
// records from `in` in file order.
// Records 1..10 and the column header.  With `kind` given, record 1 is read
// as the model kind instead of being skipped.
void readModelHead(fio::Unit& in, Model& m, ModelKind* kind = nullptr);
// The run-log echo of the head values and of the layer records.
void echoModelHead(fio::Unit& log, const Model& m);
void echoLayerRecords(fio::Unit& log, const Model& m);
// The density header and one line per layer: densities and angular
// parameters as read.
void echoDensityRecords(fio::Unit& log, const Model& m);
void readLayerRecords(fio::Unit& in, Model& m);  // layer records; sets JVN
void readDensityRecords(fio::Unit& in, Model& m);  // header and NNN density records
void readMultipletRecords(fio::Unit& in, Model& m);  // S, hyperfine and angular records
void readInterfaceRecords(fio::Unit& in, Model& m);  // KINDV (0 held as 1) and ZDV records
// HKS, the block period and the normalisation settings of the stepped model.
void deriveModel(Model& m);
// Copies the model (and the angles of `f`, when given) into YV.
void fillTable(const Model& m, const ModelFileRef* f, YVTable& YV);

}  // namespace common

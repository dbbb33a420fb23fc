// Layout of the parameter table YV: the fit's one view of every model
// quantity that can vary.  Fit scripts and the front end's parameter list
// address a quantity by (line, column) of this table, so these offsets are
// part of the file formats and must never move.
//
// Lines 1..NNN are the sublayers; the lines after them are counted from NNN:
//   NNN+1  area ratios S(1..8), HKMAX (column 9), grazing angles in mrad (10..13)
//   NNN+2..NNN+6   Bhf, dBhf, IS, EFG, GRd of multiplets 1..8 (column = K)
//   NNN+7  not used
//   NNN+8..NNN+12  BE, GA, Rand, Plane, WID of multiplets 1..8 (column = K)
#pragma once

#include "numlib/limits.hpp"

namespace numlib::yv {

// Columns of a sublayer line.
inline constexpr int H1A = 1;      // thickness, Angstrom
inline constexpr int ELD1 = 2;     // real electronic susceptibility, 1e-6
inline constexpr int ELD2 = 3;     // imaginary electronic susceptibility, 1e-6
inline constexpr int V0 = 3;       // density of multiplet K in column V0 + K
inline constexpr int ANG0 = 11;    // angular parameter a (1..5) in column ANG0 + a
inline constexpr int ZD1 = 17;     // interface-function parameters, real part
inline constexpr int ZD2 = 18;     //   and imaginary part
inline constexpr int WIDTH = 19;   // interface width
inline constexpr int ZDV0 = 19;    // interface parameter of multiplet K in column ZDV0 + K

// The five angular parameters, in the order of their columns and lines.
enum Angular : int { BE = 1, GA = 2, RAND = 3, PLAN = 4, WID = 5 };
inline constexpr int NANG = 5;

constexpr int colV(int K) { return V0 + K; }
constexpr int colAng(int a) { return ANG0 + a; }
constexpr int colZDV(int K) { return ZDV0 + K; }

// Lines after the sublayers, as offsets from NNN.
enum After : int {
  S_LINE = 1,  // area ratios, HKMAX, grazing angles
  BHF = 2,
  DBHF = 3,
  IS = 4,
  EFG = 5,
  GRD = 6,
  UNUSED = 7,
  ANGM0 = 7,   // multiplet angular parameter a on line NNN + ANGM0 + a
  LAST = 12,   // last line in use
};
inline constexpr int NHYP = 5;  // hyperfine rows Bhf..GRd

constexpr int lineAfter(int NNN, int offset) { return NNN + offset; }
constexpr int lineS(int NNN) { return NNN + S_LINE; }
// Hyperfine row h = 1..5 (Bhf, dBhf, IS, EFG, GRd).
constexpr int lineHyp(int NNN, int h) { return NNN + BHF - 1 + h; }
constexpr int lineAngM(int NNN, int a) { return NNN + ANGM0 + a; }
constexpr int lastLine(int NNN) { return NNN + LAST; }

// Columns of the line NNN+1.
inline constexpr int HKMAX = 9;   // largest nuclear density
inline constexpr int ANGLE0 = 9;  // grazing angle i (1..4), mrad, in column ANGLE0 + i
inline constexpr int NANGLES = 4;  // grazing angles the line holds
constexpr int colAngle(int i) { return ANGLE0 + i; }

// The fit copies lines 1..NNN+12 and columns 1..NM+19 between YV and its best
// copy: the ZDV of multiplets above NM keep their values in each table.
constexpr int lastCopiedColumn(int NM) { return ZDV0 + NM; }

static_assert(ZDV0 + N6 == NYVC, "the table is as wide as its last column");
static_assert(ANGLE0 + NANGLES <= NYVC, "the grazing angles fit in their line");
static_assert(N24 + LAST == NYVL, "the table is as long as its last line");

}  // namespace numlib::yv

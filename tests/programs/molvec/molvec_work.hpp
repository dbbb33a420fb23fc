// Hand-written working directories for MOLVEC: layers with 57Fe densities,
// the shipped 57Fe constants, "MOLVEC.INP" with both sections.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "programs/zeprin/workdir.hpp"
#include "programtest.hpp"
#include "tempdir.hpp"

namespace molvectest {

using zeprintest::fmt;

struct Layer {
  double H1A, ELD1, ELD2;  // Angstrom, 1e-6, 1e-6
  float V = 0;             // density of the 57Fe sextet (1: enriched alpha-Fe)
};

struct Work {
  int Intexp = 0;
  float UT0 = 2.0f, Ustep = 0.05f;
  int Nstep = 60;
  float DIV = 0, ANGBEAM = 0;
  int JFITP = 1, JFITD = 1;
  float ACOMP1D = 0, ACOMP2D = 100;
  float FJEPP = 1, FJEPD = 1;
  float TIMECYCLE = 176, TIMINI = 20, TIMFIN = 170;
  zeprintest::Inputs par;  // "ZEPRIN.INP": Jway, ITEST, ISTOP, ...
  std::vector<Layer> layers{{150.0, -14.66, 0.62, 1.0f}, {1000.0, -4.64, 0.045, 0.0f}};
  int N1N = 1, N2N = 1, NRN = 1;
  std::string script = " 1\n 0 0 0 0 0 0\n";
  std::string experiment;  // "refl.dat" when not empty
};

inline std::string molvecInp(const Work& w) {
  std::string s = " delayed-prompt\n " + std::to_string(w.Intexp) + "  Intexp\nrefl.dat\n prompt grid\n";
  s += fmt(" %g  UT0p\n", w.UT0) + fmt(" %g  Ustepp\n", w.Ustep) + " " + std::to_string(w.Nstep) + "  Nstepp\n";
  s += fmt(" %g  DIV\n", w.DIV) + fmt(" %g  ANGBEAM\n", w.ANGBEAM) + " " + std::to_string(w.JFITP) + "  JFITP\n";
  s += " 0  ACOMP1\n 100  ACOMP2\n 1e-6  EPFINP\n calculation grid\n";
  s += fmt(" %g  UT0\n", w.UT0) + fmt(" %g  Ustep\n", w.Ustep) + " " + std::to_string(w.Nstep) + "  Nstep\n";
  s += " " + std::to_string(w.JFITD) + "  JFITD\n" + fmt(" %g  ACOMP1D\n", w.ACOMP1D) +
       fmt(" %g  ACOMP2D\n", w.ACOMP2D) + " 1e-5  EPFIND\n";
  s += fmt(" %g  FJEPP\n", w.FJEPP) + fmt(" %g  FJEPD\n", w.FJEPD) + fmt(" %g  TIMECYCLE\n", w.TIMECYCLE) +
       fmt(" %g  TIMINI\n", w.TIMINI) + fmt(" %g  TIMFIN\n", w.TIMFIN);
  return s;
}

inline std::string model(const Work& w) {
  const int NNN = static_cast<int>(w.layers.size());
  auto n = [](int i) { return " " + std::to_string(i); };
  std::string s = " 0  LAYSPC.INF\n sublayers\n" + n(NNN) + "\n" + n(w.N1N) + n(w.N2N) + "\n" + n(w.NRN) +
                  "\n 3  INORM\n 0  ISQ\n 1.0  HKMAX\n 1  NM\n 1  IBHF\n header\n";
  for (int N = 1; N <= NNN; ++N) {
    const Layer& l = w.layers[N - 1];
    s += n(N) + fmt(" %.4f", l.H1A) + fmt(" %.3f", l.ELD1) + fmt(" %.3f", l.ELD2) + " 0 0 0 1 1 0\n";
  }
  s += " densities\n";
  for (int N = 1; N <= NNN; ++N) s += n(N) + fmt(" %g", w.layers[N - 1].V) + " 0 0 0 0 0 0 0  90 0 0 0 0\n";
  s += " S\n" + n(NNN + 1) + " 1 0 0 0 0 0 0 0\n hyperfine\n" + n(NNN + 2) + " 33 0 0 0 0 0 0 0\n";
  for (int r = 3; r <= 6; ++r) s += n(NNN + r) + " 0 0 0 0 0 0 0 0\n";
  s += " angular\n";
  for (int r = 8; r <= 12; ++r) s += n(NNN + r) + " 0 0 0 0 0 0 0 0\n";
  s += " KINDV\n";
  for (int N = 1; N <= NNN; ++N) s += n(N) + " 1 1 1 1 1 1 1 1\n";
  s += " ZDV\n";
  for (int N = 1; N <= NNN; ++N) s += n(N) + " 0 0 0 0 0 0 0 0\n";
  return s;
}

inline void writeWork(const nrstest::TempDir& dir, const Work& w) {
  dir.write("Tconst.INI", nrstest::slurp(nrstest::sourcePath("data/FeConst.INI")));
  dir.write("MOLVEC.INP", molvecInp(w));
  dir.write("ZEPRIN.INP", zeprintest::zeprinInp(w.par));
  dir.write("FileM.inp", "film.inf\n");
  dir.write("film.inf", model(w));
  dir.write("next.INP", w.script);
  dir.write("stop.inp", " 1\n");
  if (!w.experiment.empty()) dir.write("refl.dat", w.experiment);
}

inline nrstest::RunResult runMolvec(const std::string& env = "") { return nrstest::runProgram("MOLVEC", env); }

}  // namespace molvectest

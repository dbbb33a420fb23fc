// Hand-written working directories for ZEPRIN: a 57Fe film on silicon with
// the shipped 57Fe constants, and helpers to run the program and read its
// column files.
#pragma once

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "programtest.hpp"
#include "tempdir.hpp"

namespace zeprintest {

struct Inputs {
  // "ZEPRIN.INP"
  int Jway = 1, ITEST = 1;
  float XEXP1 = 15, XEXP2 = 170;
  std::vector<float> weights{1, 1, 1, 1};
  float EPFIN = 1e-4f, AF = 0;
  int JFIT = 1, ISTOP = 12;
  float SIGMA = 0.3f;
  // The model: a 57Fe film (thickness in Angstrom, field in T, density V and
  // the real electronic susceptibility in 1e-6) on 1000 Angstrom of silicon.
  std::string film = "150.0";
  std::string ELD1 = "-14.66";
  float Bhf = 33, V = 1;
  // "FileM.inp", "FilesE.inp", "next.INP", "stop.inp".
  std::vector<std::string> angles{"2.8", "3.4"};  // mrad
  std::vector<std::string> experiments;
  std::string script = " 1\n 0 0 0 0 0 0\n";
  std::string stop = " 1\n";
};

inline std::string fmt(const char* f, double x) {
  char b[64];
  std::snprintf(b, sizeof b, f, x);
  return b;
}

inline std::string zeprinInp(const Inputs& in) {
  std::string s;
  s += " " + std::to_string(in.Jway) + "   Jway\n";
  s += " " + std::to_string(in.ITEST) + "   ITEST\n";
  s += fmt(" %g", in.XEXP1) + "   XEXP1\n";
  s += fmt(" %g", in.XEXP2) + "   XEXP2\n";
  s += "   weights of the spectra\n";
  for (float w : in.weights) s += fmt(" %g", w);
  s += "\n" + fmt(" %g", in.EPFIN) + "   EPFIN\n";
  s += fmt(" %g", in.AF) + "   AF\n";
  s += "   correlations\n 0   ICORR1\n 0   IMAN1\n 0.0   SIG\n";
  s += " " + std::to_string(in.JFIT) + "   JFIT\n";
  s += " " + std::to_string(in.ISTOP) + "   ISTOP\n 0   KP\n";
  s += fmt(" %g", in.SIGMA) + "   SIGMA\n 10   JAV1\n 0.3   SD\n 1   IDIST\n";
  return s;
}

inline std::string model(const Inputs& in) {
  std::string s =
      " 0  LAYSPC.INF\n sublayers\n 2  NNN\n 1 1  N1N,N2N\n 1  NRN\n 1  INORM\n 0  ISQ\n 1.0  HKMAX\n 1  NM\n"
      " 1  IBHF\n     H1A  EL.DENS.  ZD1 ZD2 WIDTH KIND1 KIND2 KSTEP\n";
  s += " 1 " + in.film + " " + in.ELD1 + " 0.62  0 0 0  1 1 0\n";
  s += " 2 1000.0 -4.64 0.045  0 0 0  1 1 0\n densities\n";
  s += fmt(" 1 %g", in.V) + " 0 0 0 0 0 0 0   90.0 0.0 0.0 0.0 0.0\n";
  s += " 2 0 0 0 0 0 0 0 0   90.0 0.0 0.0 0.0 0.0\n S\n 3 1 0 0 0 0 0 0 0\n hyperfine\n";
  s += fmt(" 4 %.4f", in.Bhf) + " 0 0 0 0 0 0 0\n";
  s += " 5 0 0 0 0 0 0 0 0\n 6 0 0 0 0 0 0 0 0\n 7 0 0 0 0 0 0 0 0\n 8 0 0 0 0 0 0 0 0\n angular\n";
  for (int l = 10; l <= 14; ++l) s += " " + std::to_string(l) + " 0 0 0 0 0 0 0 0\n";
  s += " KINDV\n 1 1 1 1 1 1 1 1 1\n 2 1 1 1 1 1 1 1 1\n ZDV\n 1 0 0 0 0 0 0 0 0\n 2 0 0 0 0 0 0 0 0\n";
  return s;
}

inline void writeInputs(const nrstest::TempDir& dir, const Inputs& in) {
  dir.write("Tconst.INI", nrstest::slurp(nrstest::sourcePath("data/FeConst.INI")));
  dir.write("ZEPRIN.INP", zeprinInp(in));
  dir.write("film.inf", model(in));
  std::string m = "film.inf\n " + std::to_string(in.angles.size()) + "\n";
  for (const auto& a : in.angles) m += " " + a + "\n";
  dir.write("FileM.inp", m);
  std::string e = " " + std::to_string(in.experiments.size()) + "\n";
  for (const auto& x : in.experiments) e += x + "\n";
  dir.write("FilesE.inp", e);
  dir.write("next.INP", in.script);
  dir.write("stop.inp", in.stop);
}

using nrstest::RunResult;

inline RunResult runZeprin() { return nrstest::runProgram("ZEPRIN"); }

inline bool sanitizerReport(const std::string& out) {
  return out.find("runtime error") != std::string::npos || out.find("AddressSanitizer") != std::string::npos ||
         out.find("index out of range") != std::string::npos;
}

// The numbers of each line of a column file.
inline std::vector<std::vector<double>> columns(const std::string& text) {
  std::vector<std::vector<double>> rows;
  for (const auto& line : nrstest::splitLines(text)) {
    std::istringstream in(line);
    std::vector<double> row;
    for (double x; in >> x;) row.push_back(x);
    rows.push_back(row);
  }
  return rows;
}

// The number after `label` on the last log line that contains it.
inline double lastValue(const std::string& log, const std::string& label) {
  double v = NAN;
  for (const auto& line : nrstest::splitLines(log)) {
    const auto p = line.find(label);
    if (p != std::string::npos) v = std::stod(line.substr(p + label.size()));
  }
  return v;
}

// Every value after `label` on the log lines that contain it, in order.
inline std::vector<double> values(const std::string& log, const std::string& label) {
  std::vector<double> v;
  for (const auto& line : nrstest::splitLines(log)) {
    const auto p = line.find(label);
    if (p != std::string::npos) v.push_back(std::stod(line.substr(p + label.size())));
  }
  return v;
}

// A fixed-width field as a FORMAT writes it: Iw (d < 0) or Fw.d, i.e.
// blanks, an optional minus, digits and, for Fw.d, a point and d digits.
inline bool isField(std::string_view f, int d) {
  std::size_t i = f.find_first_not_of(' ');
  if (i == std::string_view::npos) return false;
  if (f[i] == '-') ++i;
  const std::size_t digits = f.find_first_not_of("0123456789", i);
  if (d < 0) return digits == std::string_view::npos && i < f.size();
  if (digits == std::string_view::npos || f[digits] != '.') return false;
  const std::string_view decimals = f.substr(digits + 1);
  return static_cast<int>(decimals.size()) == d && decimals.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace zeprintest

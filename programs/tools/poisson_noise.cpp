// poisson_noise THEORY OUT [PEAK [SEED [TMIN [LAYOUT]]]]
// poisson_noise --counts BASE THEORY OUT [PEAK [SEED]]
//
// Turns a calculated time spectrum (a "BUFFTN" file of ZEPRIN: time, -,
// theory) into a synthetic experiment file for ZEPRIN: Poisson counts with
// PEAK (default 10000) expected counts at the largest theory value, from
// records at or after TMIN ns (default 0), in decreasing time.  The same SEED
// (default 1) gives the same file.  LAYOUT "refl" reads a reflectivity curve
// instead (a "PROMP2.res": angle, -, theory) and writes a reflectivity
// experiment file (the count, then angle, prompt counts, 0); "time" is the
// default.
//
// With --counts, a calculated conversion-electron spectrum (a "CEMfit.res" of
// BRINAX: velocity, -, theory) becomes a synthetic experiment file for BRINAX:
// one count per channel in the order of the file, BASE expected counts of
// background plus PEAK at the largest theory value.
#include <cstdlib>
#include <string>

#include "programs/common/fio.hpp"
#include "programs/tools/poisson.hpp"

namespace {

double number(const char* text, const char* what) {
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text || *end != '\0') throw fio::RuntimeError(std::string(what) + " is not a number: " + text);
  return v;
}

std::uint64_t seed(const char* text) {
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0') throw fio::RuntimeError(std::string("SEED is not a whole number: ") + text);
  return v;
}

tools::Layout layout(const std::string& text) {
  if (text == "time") return tools::Layout::TimeSpectrum;
  if (text == "refl") return tools::Layout::Reflectivity;
  throw fio::RuntimeError("LAYOUT is neither time nor refl: " + text);
}

}  // namespace

int main(int argc, char** argv) {
  const bool counts = argc > 1 && std::string(argv[1]) == "--counts";
  const int shift = counts ? 2 : 0;  // --counts BASE
  if (argc < 3 + shift || argc > 7) {
    fio::console().print("usage: poisson_noise THEORY OUT [PEAK [SEED [TMIN [time|refl]]]]");
    fio::console().print("       poisson_noise --counts BASE THEORY OUT [PEAK [SEED]]");
    return 2;
  }
  return fio::runMain("poisson_noise", [&] {
    tools::NoiseSettings s;
    if (counts) {
      s.layout = tools::Layout::Counts;
      s.background = number(argv[2], "BASE");
    }
    char** arg = argv + shift;
    const int n = argc - shift;
    if (n > 3) s.peak = number(arg[3], "PEAK");
    if (n > 4) s.seed = seed(arg[4]);
    if (!counts && n > 5) s.tmin = number(arg[5], "TMIN");
    if (!counts && n > 6) s.layout = layout(arg[6]);
    tools::addNoise(arg[1], arg[2], s);
  });
}

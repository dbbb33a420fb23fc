// poisson_noise THEORY OUT [PEAK [SEED [TMIN [LAYOUT]]]]
//
// Turns a calculated time spectrum (a "BUFFTN" file of ZEPRIN: time, -,
// theory) into a synthetic experiment file for ZEPRIN: Poisson counts with
// PEAK (default 10000) expected counts at the largest theory value, from
// records at or after TMIN ns (default 0), in decreasing time.  The same SEED
// (default 1) gives the same file.  LAYOUT "refl" reads a reflectivity curve
// instead (a "PROMP2.res": angle, -, theory) and writes a reflectivity
// experiment file (the count, then angle, prompt counts, 0); "time" is the
// default.
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
  if (argc < 3 || argc > 7) {
    fio::console().print("usage: poisson_noise THEORY OUT [PEAK [SEED [TMIN [time|refl]]]]");
    return 2;
  }
  return fio::runMain("poisson_noise", [&] {
    tools::NoiseSettings s;
    if (argc > 3) s.peak = number(argv[3], "PEAK");
    if (argc > 4) s.seed = seed(argv[4]);
    if (argc > 5) s.tmin = number(argv[5], "TMIN");
    if (argc > 6) s.layout = layout(argv[6]);
    tools::addNoise(argv[1], argv[2], s);
  });
}

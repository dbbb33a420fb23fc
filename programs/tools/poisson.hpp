// Poisson counting noise for synthetic time spectra, reproducible from a seed
// on every platform (the generator and the sampler are both written out here,
// since the standard library's distributions may differ between libraries).
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace tools {

class PoissonSampler {
 public:
  explicit PoissonSampler(std::uint64_t seed) : gen_(seed) {}
  // A Poisson-distributed count of mean `mean` (0 for a mean <= 0).
  long long sample(double mean);

 private:
  double uniform();  // in [0, 1)
  long long multiplication(double mean);
  long long transformedRejection(double mean);

  std::mt19937_64 gen_;
};

struct NoiseSettings {
  double peak = 1e4;   // expected counts at the largest theory value kept
  std::uint64_t seed = 1;
  double tmin = 0;     // ns; earlier records are dropped (detector dead time)
  // A spectrum of counts per channel (conversion electrons against velocity):
  // every record is kept, in file order, and `background` expected counts
  // are added to each.
  bool countsOnly = false;
  double background = 0;
};

// Reads a spectrum file of three columns (abscissa, anything, theory), scales
// the theory so that its largest kept value becomes `peak` expected counts,
// draws the counts, and writes the experiment file.  A time spectrum keeps the
// records at or after tmin (ns) and is written one record per time,
// "(F11.3,I10)", in decreasing time; with countsOnly, one count per record,
// "(I10)", in the order of the file.  Returns the number of records written.
int addNoise(const std::string& in, const std::string& out, const NoiseSettings& s);

}  // namespace tools

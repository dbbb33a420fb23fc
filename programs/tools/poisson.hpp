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

// The experiment file written: a time spectrum, a reflectivity curve, or a
// spectrum of counts per channel (conversion electrons against velocity).
enum class Layout { TimeSpectrum, Reflectivity, Counts };

struct NoiseSettings {
  double peak = 1e4;   // expected counts at the largest theory value kept
  std::uint64_t seed = 1;
  double tmin = 0;     // ns (angle in mrad); earlier records are dropped (detector dead time)
  double background = 0;  // expected counts added to every channel (Counts only)
  Layout layout = Layout::TimeSpectrum;
};

// Reads a curve file of three columns (time in ns, angle in mrad or
// velocity in mm/s; anything; theory), scales the theory so that its largest
// kept value becomes `peak` expected counts, draws the counts, and writes the
// experiment file.  A time spectrum keeps the records at or after tmin and is
// written one record per time, "(F11.3,I10)", in decreasing time.  A
// reflectivity curve keeps the records at or after tmin: the count of points,
// then one record per angle, "(F11.3,I12,I2)" with the prompt counts and 0
// delayed counts, in increasing angle.  Counts keep every record in file
// order, one count per record, "(I10)", with `background` added to each mean.
// Returns the number of points written.
int addNoise(const std::string& in, const std::string& out, const NoiseSettings& s);

}  // namespace tools

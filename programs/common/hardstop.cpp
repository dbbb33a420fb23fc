#include "programs/common/hardstop.hpp"

#include "programs/common/fio.hpp"

namespace common {

void hardStop(std::string_view message) {
  fio::console().print(message);
  fio::stop(1);
}

std::string negativeCountText(std::string_view file, int point) {
  return " count below 0 in the experiment file " + std::string(file) + " (point " + std::to_string(point) + ") !";
}

std::string refusedWindow(numlib::Span1<const float> E, int J1, int J2, float floor, const ComparedCounts& c) {
  constexpr int kMinCompared = 3;
  int n = 0;
  bool equal = true;
  float first = 0;
  for (int j = J1; j <= J2; ++j) {
    if (!(E(j) > floor)) continue;
    if (n == 0) first = E(j);
    equal = equal && E(j) == first;
    ++n;
  }
  if (n >= kMinCompared && !equal) return {};
  const std::string counts(c.counts), file(c.file), lower(c.lower), upper(c.upper), above(c.above);
  if (n < kMinCompared)
    return " fewer than " + std::to_string(kMinCompared) + " points of the experiment file " + file + " with a " +
           counts + " above " + above + " lie between " + lower + " and " + upper + " to compare with !";
  return " all " + counts + "s of the experiment file " + file + " above " + above + " between " + lower + " and " +
         upper + " are equal: nothing to compare with !";
}

}  // namespace common

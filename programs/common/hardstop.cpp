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

std::string shortWindowText(std::string_view file, std::string_view lower, std::string_view upper) {
  return " fewer than " + std::to_string(kMinCompared) + " points of the experiment file " + std::string(file) +
         " lie between " + std::string(lower) + " and " + std::string(upper) + " to compare with !";
}

}  // namespace common

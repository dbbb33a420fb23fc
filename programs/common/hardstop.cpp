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

}  // namespace common

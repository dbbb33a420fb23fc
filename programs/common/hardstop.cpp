#include "programs/common/hardstop.hpp"

#include "programs/common/fio.hpp"

namespace common {

void hardStop(std::string_view message) {
  fio::console().print(message);
  fio::stop(1);
}

}  // namespace common

#include "frontend/Globals.hpp"

namespace kavold {

KavoldGlobals& globals() {
  static KavoldGlobals g;
  return g;
}

}  // namespace kavold

// KAVOLD's resources: menu, toolbar, accelerators, icons, strings and the
// dialog templates.
#pragma once

#include "frontend/winlayer/resources.hpp"

namespace kavold {

const winlayer::ResourceSet& KavoldResources();

}  // namespace kavold

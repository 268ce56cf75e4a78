#pragma once

#include "ezedudu/conversion_options.h"

namespace ezedudu {

// What the studio starts with the first time, and what Reset to Defaults
// brings back. It differs from ezedudu-cli's defaults where that makes more
// recognisable art out of the box; Copy Command shows the differences.
ArtSettings StudioDefaults();

} // namespace ezedudu

#pragma once

#include "ezedudu/conversion_options.h"

namespace ezedudu {

// What the studio and the web page start with the first time, and what
// their Reset to Defaults brings back: one set for both. It differs from
// ezedudu-cli's defaults, which keep the original conversion, where that
// makes more recognisable art out of the box; the command they copy shows
// the differences.
ArtSettings EditorDefaults();

} // namespace ezedudu

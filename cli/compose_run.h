#pragma once

#include "cli_options.h"

namespace ezedudu {

// Makes the NFO file that options.compose describes; reports a fault in the
// template as "TEMPLATE:LINE:COLUMN: what was expected" and any other failure
// as "ezedudu-cli: TEMPLATE: reason" on stderr. Returns ExitOk or
// ExitSomeFailed.
int ComposeNfo(const CliOptions& options);

} // namespace ezedudu

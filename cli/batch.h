#pragma once

#include "cli_options.h"

namespace ezedudu {

// Converts every picture of the run; reports each failure on stderr as
// "ezedudu-cli: PATH: reason" and carries on with the rest.
// Returns ExitOk, or ExitSomeFailed when any picture failed.
int ConvertAll(const CliOptions& options);

} // namespace ezedudu

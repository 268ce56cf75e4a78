#pragma once

#include "cli_options.h"

#include <string_view>

namespace ezedudu {

// Converts every picture of the run; reports each failure on stderr as
// "ezedudu-cli: PATH: reason" and carries on with the rest.
// Returns ExitOk, or ExitSomeFailed when any picture failed.
int ConvertAll(const CliOptions& options);

// Writes the bytes to standard output as they are. Throws Error
// (OutputFailed) when they cannot all be written.
void WriteToStandardOutput(std::string_view bytes);

} // namespace ezedudu

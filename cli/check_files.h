#pragma once

#include "cli_options.h"

#include <iosfwd>

namespace ezedudu {

// Why the arguments of a --check run do not go together; empty when they do.
std::string CheckArgumentsOfCheck(const CliOptions& options);

// Checks every file of a --check run against the page of its options and
// prints each finding as "FILE:LINE:COLUMN: problem" (or "...: warning:
// ...") on out; a file that cannot be read is reported on err as
// "ezedudu-cli: FILE: reason". '-' is standard input. Returns ExitOk when
// no file has a problem or cannot be read, else ExitSomeFailed.
int CheckFiles(const CliOptions& options, std::istream& input, std::ostream& out, std::ostream& err);

} // namespace ezedudu

#pragma once

#include "ezedudu/conversion_options.h"

#include <QString>

namespace ezedudu {

// The ezedudu-cli command line that makes the same art from the picture:
// only the options that differ from the defaults, numbers written so that
// they read back exactly, every word quoted for a POSIX shell.
// A picture without a file (pasted) is written as PICTURE.
QString CliCommandFor(const ConversionOptions& options, const QString& picture);

} // namespace ezedudu

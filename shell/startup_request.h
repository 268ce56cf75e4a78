#pragma once

#include "ezedudu/command_line.h"
#include "ezedudu/conversion_options.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

namespace ezedudu {

// What the desktop program was started with: a picture to convert without
// asking for one (a file manager's "Open with"), and how to convert it.
struct StartupRequest {
    std::optional<QString> picture;
    ConversionOptions options;
};

// Adds the desktop program's own arguments to the shared ones and parses
// "ezedudu [options] [PICTURE]" into request; prints --help or --version and
// exits by itself. Returns an empty text, or the usage error.
std::string ParseStartupArguments(ProgramArguments& arguments, const QStringList& words, StartupRequest& request);

} // namespace ezedudu

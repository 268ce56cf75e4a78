#pragma once

#include "ezedudu/conversion_job.h"

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

struct ParsedStartup {
    std::optional<StartupRequest> request;
    std::string usageError; // set when request is empty
};

// Parses "ezedudu [options] [PICTURE]"; prints --help or --version and exits
// by itself.
ParsedStartup ParseStartupArguments(const QStringList& arguments);

} // namespace ezedudu

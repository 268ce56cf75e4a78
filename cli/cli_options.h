#pragma once

#include "ezedudu/conversion_job.h"
#include "ezedudu/preview.h"

#include <QStringList>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ezedudu {

// "-" as a picture is standard input, as an output standard output.
inline const std::filesystem::path StandardStream = "-";

// What one run of ezedudu-cli was asked to do.
struct CliOptions {
    std::vector<std::filesystem::path> pictures;
    std::optional<std::filesystem::path> output;
    std::optional<std::filesystem::path> preview; // a PNG of the art as a viewer shows it
    PreviewTheme previewTheme = PreviewTheme::Light;
    ConversionOptions conversion;
    bool utf8 = false;
    bool quiet = false;
};

inline constexpr int ExitOk = 0;
inline constexpr int ExitSomeFailed = 1;
inline constexpr int ExitUsage = 2;

struct ParsedArguments {
    std::optional<CliOptions> options;
    std::string usageError; // set when options is empty
};

// Parses the command line; prints --help or --version and exits by itself.
ParsedArguments ParseArguments(const QStringList& arguments);

// Whether the raw command line asks for a preview, which needs fonts and so
// a QGuiApplication; known before any application object exists.
bool AsksForPreview(int argc, char* argv[]);

} // namespace ezedudu

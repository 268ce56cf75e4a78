#pragma once

#include "ezedudu/command_line.h"
#include "ezedudu/conversion_options.h"

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
    ArtSettings art;
    bool utf8 = false;
    bool quiet = false;
    bool check = false; // the arguments are NFO files to check, not pictures
};

inline constexpr int ExitOk = 0;
inline constexpr int ExitSomeFailed = 1;

// Adds ezedudu-cli's own options to the shared ones and parses the command
// line into options; prints --help or --version and exits by itself.
// Returns an empty text, or the usage error.
std::string ParseArguments(ProgramArguments& arguments, const QStringList& words, CliOptions& options);

} // namespace ezedudu

#pragma once

#include "ezedudu/conversion_job.h"

#include <QStringList>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ezedudu {

// What one run of ezedudu-cli was asked to do.
struct CliOptions {
    std::vector<std::filesystem::path> pictures;
    std::optional<std::filesystem::path> output; // "-" is standard output
    ConversionOptions conversion;
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

} // namespace ezedudu

#include "check_files.h"

#include "ezedudu/display_path.h"
#include "ezedudu/nfo_check.h"

#include <array>
#include <fstream>
#include <istream>
#include <iterator>
#include <optional>
#include <ostream>
#include <system_error>

namespace ezedudu {
namespace {

// NFOs are a few kilobytes; a file this large is not one, and is not read.
constexpr std::streamsize MaxCheckedBytes = 64 << 20;
constexpr const char* TooLarge = "is larger than 64 MiB: not an NFO";

// The bytes of a file, or why they cannot be read.
std::string ReadWhole(std::istream& stream, std::optional<std::string>& failure)
{
    std::string bytes;
    std::array<char, 1 << 16> chunk;
    while (stream.read(chunk.data(), chunk.size()) || stream.gcount() > 0) {
        bytes.append(chunk.data(), std::size_t(stream.gcount()));
        if (std::streamsize(bytes.size()) > MaxCheckedBytes) {
            failure = TooLarge;
            return {};
        }
    }
    if (stream.bad())
        failure = "cannot be read";
    return bytes;
}

std::string ReadFile(const std::filesystem::path& path, std::istream& input, std::optional<std::string>& failure)
{
    if (path == StandardStream)
        return ReadWhole(input, failure);
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        failure = "is a folder, not a file";
        return {};
    }
    if (std::filesystem::is_regular_file(path, error) &&
        std::filesystem::file_size(path, error) > std::uintmax_t(MaxCheckedBytes)) {
        failure = TooLarge;
        return {};
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        failure = "cannot be opened: " + std::generic_category().message(errno);
        return {};
    }
    return ReadWhole(file, failure);
}

} // namespace

std::string CheckArgumentsOfCheck(const CliOptions& options)
{
    if (options.pictures.empty())
        return "no file given to --check";
    if (options.output || options.preview)
        return "--check writes nothing: -o and --preview do not go with it";
    return {};
}

int CheckFiles(const CliOptions& options, std::istream& input, std::ostream& out, std::ostream& err)
{
    const PageShape page = options.art.page.Shape();
    int status = ExitOk;
    for (const std::filesystem::path& path : options.pictures) {
        std::optional<std::string> failure;
        const std::string bytes = ReadFile(path, input, failure);
        if (failure) {
            err << "ezedudu-cli: " << DisplayPath(path) << ": " << *failure << std::endl;
            status = ExitSomeFailed;
            continue;
        }
        for (const CheckFinding& finding : CheckNfo(bytes, page)) {
            out << DisplayPath(path) << ':' << finding.line << ':' << finding.column << ": "
                << (finding.severity == CheckSeverity::Warning ? "warning: " : "") << finding.message << '\n';
            if (finding.severity == CheckSeverity::Problem)
                status = ExitSomeFailed;
        }
    }
    out.flush();
    return status;
}

} // namespace ezedudu

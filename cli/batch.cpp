#include "batch.h"

#include "progress_meter.h"

#include "ezedudu/conversion_job.h"
#include "ezedudu/error.h"
#include "ezedudu/nfo_file.h"
#include "ezedudu/nfo_text.h"

#include <cstdio>
#include <iostream>
#include <new>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace ezedudu {
namespace {

const std::filesystem::path StandardOutput = "-";

void WriteToStandardOutput(std::string_view bytes)
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY); // CR LF must pass through unchanged
#endif
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
        throw Error(Error::Kind::OutputFailed, "cannot write to standard output");
}

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    return std::filesystem::absolute(a, error).lexically_normal() == std::filesystem::absolute(b, error).lexically_normal();
}

void ConvertOne(const std::filesystem::path& picture, const CliOptions& options, ProgressMeter& meter)
{
    const std::filesystem::path output = options.output.value_or(NfoPathFor(picture));
    if (output != StandardOutput && IsSameFile(output, picture))
        throw Error(Error::Kind::Refused, "refusing to overwrite the picture with its own NFO text; name another "
                                          "output with -o");

    const ConversionJob job(picture, options.conversion);
    const std::string bytes = *job.Convert(&meter); // the meter never cancels
    meter.Clear();
    if (output == StandardOutput)
        WriteToStandardOutput(bytes);
    else
        WriteNfoFile(output, bytes);
}

std::string Explain(const Error& error)
{
    if (error.GetKind() == Error::Kind::PictureTooLarge)
        return std::string(error.what()) + " (raise it with --max-megapixels)";
    return error.what();
}

} // namespace

int ConvertAll(const CliOptions& options)
{
    ProgressMeter meter(!options.quiet && StderrIsTerminal(), options.pictures.size());
    int status = ExitOk;
    for (std::size_t index = 0; index < options.pictures.size(); ++index) {
        const std::filesystem::path& picture = options.pictures[index];
        meter.StartPicture(index, picture.string());
        std::string failure;
        try {
            ConvertOne(picture, options, meter);
        } catch (const Error& error) {
            failure = Explain(error);
        } catch (const std::bad_alloc&) {
            failure = "not enough memory for this picture";
        } catch (const std::exception& error) {
            failure = error.what();
        }
        if (!failure.empty()) {
            meter.Clear();
            std::cerr << "ezedudu-cli: " << picture.string() << ": " << failure << std::endl;
            status = ExitSomeFailed;
        }
    }
    return status;
}

} // namespace ezedudu

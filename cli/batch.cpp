#include "batch.h"

#include "progress_meter.h"

#include "ezedudu/conversion_job.h"
#include "ezedudu/error.h"
#include "ezedudu/nfo_file.h"
#include "ezedudu/nfo_text.h"
#include "ezedudu/preview.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <new>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace ezedudu {
namespace {

void WriteToStandardOutput(std::string_view bytes)
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY); // CR LF must pass through unchanged
#endif
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
        throw Error(Error::Kind::OutputFailed, "cannot write to standard output");
}

std::shared_ptr<const std::string> ReadStandardInput()
{
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    auto bytes = std::make_shared<std::string>();
    char block[64 * 1024];
    std::size_t read = 0;
    while ((read = std::fread(block, 1, sizeof block, stdin)) > 0)
        bytes->append(block, read);
    if (std::ferror(stdin))
        throw Error(Error::Kind::UnreadablePicture, "cannot read standard input");
    return bytes;
}

ConversionJob OpenJob(const std::filesystem::path& picture, const ConversionOptions& options)
{
    if (picture == StandardStream)
        return ConversionJob(ReadStandardInput(), options);
    return ConversionJob(picture, options);
}

// Returns the width of the art, in columns.
std::int64_t ConvertOne(const std::filesystem::path& picture, const CliOptions& options, ProgressMeter& meter)
{
    const bool fromInput = picture == StandardStream;
    const std::filesystem::path output = options.output.value_or(fromInput ? StandardStream : NfoPathFor(picture));
    for (const std::filesystem::path& written : {output, options.preview.value_or(StandardStream)})
        if (!fromInput && written != StandardStream)
            RefuseToOverwrite(picture, written);

    const ConversionJob job = OpenJob(picture, options.conversion);
    const std::string nfo = *job.Convert(&meter); // the meter never cancels
    meter.Clear();
    const std::string bytes = options.utf8 ? NfoToUtf8(nfo) : nfo;
    if (output == StandardStream)
        WriteToStandardOutput(bytes);
    else
        WriteNfoFile(output, bytes);
    if (options.preview)
        WritePreviewFile(*options.preview, RenderPreview(nfo, options.conversion.cellAspect, options.previewTheme));
    return MeasureArt(nfo).columns;
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
    const bool talkative = !options.quiet && StderrIsTerminal();
    ProgressMeter meter(talkative, options.pictures.size());
    int status = ExitOk;
    for (std::size_t index = 0; index < options.pictures.size(); ++index) {
        const std::filesystem::path& picture = options.pictures[index];
        meter.StartPicture(index, picture.string());
        std::string failure;
        try {
            const std::int64_t columns = ConvertOne(picture, options, meter);
            if (talkative && columns > ViewerColumns)
                std::cerr << "ezedudu-cli: " << picture.string() << ": the art is " << columns
                          << " columns wide; NFO viewers show " << ViewerColumns << ", so --columns "
                          << FittingColumns << " fits them\n";
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

#include "batch.h"

#include "progress_meter.h"

#include "ezedudu/conversion_job.h"
#include "ezedudu/error.h"
#include "ezedudu/nfo_file.h"
#include "ezedudu/page_writer.h"
#include "ezedudu/preview.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace ezedudu {

void WriteToStandardOutput(std::string_view bytes)
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY); // CR LF must pass through unchanged
#endif
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
        throw Error(Error::Kind::OutputFailed, "cannot write to standard output");
}

namespace {

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

// Where one picture's NFO text and preview go; StandardStream for standard
// output.
struct Destinations {
    std::filesystem::path text;
    std::optional<std::filesystem::path> preview;
};

Destinations DestinationsOf(const std::filesystem::path& picture, const CliOptions& options)
{
    const bool fromInput = picture == StandardStream;
    return {options.output.value_or(fromInput ? StandardStream : NfoPathFor(picture)), options.preview};
}

// A picture whose NFO file another picture of the run has written already.
struct WrittenNfo {
    std::filesystem::path nfo;
    std::filesystem::path picture;
};

void CheckDestinations(const std::filesystem::path& picture, const Destinations& to,
                       const std::vector<WrittenNfo>& written)
{
    if (picture == StandardStream)
        return;
    for (const std::optional<std::filesystem::path>& output : {std::optional(to.text), to.preview})
        if (output && *output != StandardStream)
            RefuseToOverwrite(picture, *output);
    for (const WrittenNfo& earlier : written)
        if (IsSameFile(to.text, earlier.nfo))
            throw Error(Error::Kind::Refused, "refusing to overwrite " + earlier.nfo.string() + ", written for " +
                                                  earlier.picture.string() +
                                                  " earlier in this run; convert this picture on its own with -o");
}

// Returns the width of the art, in columns.
std::int64_t ConvertOne(const std::filesystem::path& picture, const Destinations& to, const CliOptions& options,
                        ProgressMeter& meter)
{
    const ArtSettings& art = options.art;
    const ConversionJob job = OpenJob(picture, art.conversion);
    ConvertedArt converted = *job.Convert(&meter); // the meter never cancels
    meter.Clear();
    Page& page = converted.page;
    const std::optional<std::string> png =
        to.preview ? std::optional(PngBytes(RenderPreview(page, art.conversion.cellAspect, art.theme))) : std::nullopt;
    // The page's code-page-437 bytes are moved, never copied: they can be as large as the picture.
    const std::string text = WritePage(std::move(page), options.utf8 ? TextEncoding::Utf8 : TextEncoding::Cp437);

    // Both files or neither: each is complete before either takes its place.
    OutputFiles files;
    if (to.text != StandardStream)
        files.Add(to.text, text);
    if (png && *to.preview != StandardStream)
        files.Add(*to.preview, *png);
    files.Commit();
    if (to.text == StandardStream)
        WriteToStandardOutput(text);
    if (png && *to.preview == StandardStream)
        WriteToStandardOutput(*png);
    return converted.art.columns;
}

} // namespace

int ConvertAll(const CliOptions& options)
{
    const bool talkative = !options.quiet && StderrIsTerminal();
    ProgressMeter meter(talkative, options.pictures.size());
    int status = ExitOk;
    std::vector<WrittenNfo> written;
    for (std::size_t index = 0; index < options.pictures.size(); ++index) {
        const std::filesystem::path& picture = options.pictures[index];
        meter.StartPicture(index, picture.string());
        std::string failure;
        try {
            const Destinations to = DestinationsOf(picture, options);
            CheckDestinations(picture, to, written);
            const std::int64_t columns = ConvertOne(picture, to, options, meter);
            if (to.text != StandardStream)
                written.push_back({to.text, picture});
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

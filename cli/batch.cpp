#include "batch.h"

#include "progress_meter.h"

#include "ezedudu/conversion_job.h"
#include "ezedudu/display_path.h"
#include "ezedudu/error.h"
#include "ezedudu/nfo_file.h"
#include "ezedudu/page_writer.h"
#include "ezedudu/picture_loader.h"
#include "ezedudu/preview.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
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

// Standard input whole, up to what a picture within the pixel limit needs.
std::shared_ptr<const std::string> ReadStandardInput(std::int64_t maxPixels)
{
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    const std::uint64_t most = std::uint64_t(MaxPictureBytes(maxPixels));
    auto bytes = std::make_shared<std::string>();
    char block[64 * 1024];
    std::size_t read = 0;
    while ((read = std::fread(block, 1, sizeof block, stdin)) > 0) {
        if (bytes->size() + read > most)
            throw Error(Error::Kind::PictureTooLarge, "standard input goes on past " + std::to_string(most) +
                                                          " bytes, more than a picture within the limit of " +
                                                          std::to_string(maxPixels) + " pixels takes");
        bytes->append(block, read);
    }
    if (std::ferror(stdin))
        throw Error(Error::Kind::UnreadablePicture, "cannot read standard input");
    return bytes;
}

ConversionJob OpenJob(const std::filesystem::path& picture, const ConversionOptions& options)
{
    if (picture == StandardStream)
        return ConversionJob(ReadStandardInput(options.maxPixels), options);
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

// The NFO files this run has written, by the file each became, with the
// picture each was written for.
struct WrittenNfo {
    std::filesystem::path nfo;
    std::filesystem::path picture;
};
using WrittenNfos = std::unordered_map<FileIdentity, WrittenNfo, FileIdentityHash>;

// The file the NFO text goes to, where there is one already.
std::optional<FileIdentity> TextFile(const Destinations& to)
{
    return to.text != StandardStream ? IdentityOf(to.text) : std::nullopt;
}

void CheckDestinations(const std::filesystem::path& picture, const Destinations& to, const WrittenNfos& written)
{
    for (const std::optional<std::filesystem::path>& output : {std::optional(to.text), to.preview}) {
        if (!output || *output == StandardStream)
            continue;
        if (picture != StandardStream)
            RefuseToOverwrite(picture, *output);
        else if (IsStandardInput(*output))
            throw Error(Error::Kind::Refused, "refusing to overwrite the picture read from standard input; "
                                              "name another output");
    }
    const std::optional<FileIdentity> text = TextFile(to);
    if (const auto earlier = text ? written.find(*text) : written.end(); earlier != written.end())
        throw Error(Error::Kind::Refused, "refusing to overwrite " + DisplayPath(earlier->second.nfo) +
                                              ", written for " + DisplayPath(earlier->second.picture) +
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
    WrittenNfos written;
    for (std::size_t index = 0; index < options.pictures.size(); ++index) {
        const std::filesystem::path& picture = options.pictures[index];
        meter.StartPicture(index, DisplayPath(picture));
        std::string failure;
        try {
            const Destinations to = DestinationsOf(picture, options);
            CheckDestinations(picture, to, written);
            const std::int64_t columns = ConvertOne(picture, to, options, meter);
            if (const std::optional<FileIdentity> text = TextFile(to))
                written.insert_or_assign(*text, WrittenNfo{to.text, picture});
            if (talkative && columns > ViewerColumns)
                std::cerr << "ezedudu-cli: " << DisplayPath(picture) << ": the art is " << columns
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
            std::cerr << "ezedudu-cli: " << DisplayPath(picture) << ": " << failure << std::endl;
            status = ExitSomeFailed;
        }
    }
    return status;
}

} // namespace ezedudu

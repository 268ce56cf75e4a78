#pragma once

#include "ezedudu/art_conversion.h"
#include "ezedudu/conversion_options.h"
#include "ezedudu/convert.h"
#include "ezedudu/picture_loader.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace ezedudu {

// One picture's way to an NFO file, the same for every program: open the
// picture (its headers checked at once), convert it with the options, hand
// back the file's page. Where it goes is the caller's matter (WritePage and
// WriteNfoFile, standard output, a preview).
class ConversionJob {
public:
    // Opens the picture file, or a picture's bytes read from standard input;
    // throws ezedudu::Error as OpenPicture does.
    ConversionJob(const std::filesystem::path& picture, const ConversionOptions& options);
    ConversionJob(std::shared_ptr<const std::string> pictureBytes, const ConversionOptions& options);
    // Converts a picture already opened, which jobs may share: its rows are
    // only ever read.
    ConversionJob(std::shared_ptr<const RowSource> picture, const ConversionOptions& options);

    // The picture's own size, however small it was decoded.
    std::int64_t PictureWidth() const { return picture->FullWidth(); }
    std::int64_t PictureHeight() const { return picture->FullHeight(); }

    // The NFO file, as ConvertArt makes it; empty when the observer
    // cancelled.
    std::optional<ConvertedArt> Convert(ConversionObserver* observer = nullptr) const;

private:

    std::shared_ptr<const RowSource> picture;
    ConversionOptions options;
};

} // namespace ezedudu

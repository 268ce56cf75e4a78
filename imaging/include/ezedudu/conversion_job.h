#pragma once

#include "ezedudu/convert.h"
#include "ezedudu/picture_loader.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace ezedudu {

// How a picture becomes NFO bytes.
struct ConversionOptions {
    std::int64_t maxPixels = DefaultMaxPixels;
    bool utf8 = false; // the glyphs as UTF-8 instead of code-page-437 bytes
};

// One picture's way to NFO bytes, the same for every program: open the
// picture (its headers checked at once), convert it, hand back the bytes.
// Where they go is the caller's matter (WriteNfoFile, standard output).
class ConversionJob {
public:
    // Opens the picture; throws ezedudu::Error as OpenPicture does.
    ConversionJob(const std::filesystem::path& picture, const ConversionOptions& options);

    std::int64_t PictureWidth() const { return picture->Width(); }
    std::int64_t PictureHeight() const { return picture->Height(); }

    // The NFO bytes; empty when the observer cancelled. Pictures of a million
    // pixels or more convert on two threads where the machine has them.
    // Throws ezedudu::Error for pixel data found corrupt on the way.
    std::optional<std::string> Convert(ConversionObserver* observer = nullptr) const;

private:
    std::unique_ptr<RowSource> picture;
    ConversionOptions options;
};

} // namespace ezedudu

#pragma once

#include "ezedudu/canvas.h"
#include "ezedudu/conversion_options.h"
#include "ezedudu/row_source.h"

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace ezedudu {

// The most memory Qt may take to decode a picture of another format than
// bitmap whole: this many bytes for each pixel of the pixel limit.
inline constexpr std::int64_t DecodedPixelBytes = 4;

// The most bytes of a picture file held in memory (standard input) that a
// picture within maxPixels may need: no more than its pixels take decoded
// (a 16-bit picture, of 8 bytes a pixel, fits half the limit), and 64 MiB
// besides for headers, palettes, profiles and the like.
inline constexpr std::int64_t MaxPictureBytes(std::int64_t maxPixels)
{
    return maxPixels * DecodedPixelBytes + (std::int64_t(64) << 20);
}

// Opens the picture file at path for reading row by row, for a conversion
// with options. A file that starts with the bitmap signature "BM" is read by
// the program's own bitmap reader, a block of rows at a time, so a bitmap of
// any size needs only a few rows of memory; its headers are checked here. Any
// other format is decoded whole by Qt's QImageReader (held once, see
// DecodedPixelBytes), its alpha kept; a JPEG whose art is fitted is decoded
// shrunk by DecodeDivisor, its full size kept (RowSource::FullWidth).
// The pixel limit, options.maxPixels, applies to the full size.
// Throws Error: MissingFile, UnreadablePicture (naming what is wrong) or
// PictureTooLarge (over the limit).
std::unique_ptr<RowSource> OpenPicture(const std::filesystem::path& path, const ConversionOptions& options);
// OpenPicture at the picture's full size.
std::unique_ptr<RowSource> OpenPicture(const std::filesystem::path& path, std::int64_t maxPixels = DefaultMaxPixels);

// OpenPicture for a picture file's bytes already in memory (standard input).
std::unique_ptr<RowSource> OpenPicture(std::shared_ptr<const std::string> bytes, const ConversionOptions& options);
std::unique_ptr<RowSource> OpenPicture(std::shared_ptr<const std::string> bytes,
                                       std::int64_t maxPixels = DefaultMaxPixels);

// A picture file opened for one conversion after another, as the studio
// redraws its art: each conversion gets the picture OpenPicture(path, options)
// gives, so its art is the CLI's; the file is decoded again only when the
// options need another DecodeDivisor. Safe to use from any thread.
class PictureFile {
public:
    explicit PictureFile(std::filesystem::path picture) : path(std::move(picture)) {}

    // Throws what OpenPicture throws, PictureTooLarge also for a picture
    // decoded earlier and now over options.maxPixels.
    std::shared_ptr<const RowSource> For(const ConversionOptions& options);

private:
    std::filesystem::path path;
    std::mutex lock;
    bool scalable = false; // whether the decoder shrinks this picture
    std::map<int, std::shared_ptr<const RowSource>> decodes; // by divisor
};

// A picture already in memory (pasted, say), handed out row by row: it is
// already decoded, so it converts at its own size whatever the options.
std::unique_ptr<RowSource> PictureFromImage(QImage image);

// The picture's rows gathered into one image (QImage::Format_RGB32), or
// the picture itself where Qt decoded it in that layout.
// Throws what the source throws, or PictureTooLarge when there is no memory
// for the image.
QImage ImageOf(const RowSource& picture);

// OpenPicture and ImageOf in one: the whole picture in memory.
QImage LoadPicture(const std::filesystem::path& path, std::int64_t maxPixels = DefaultMaxPixels);

// The engine's view onto an image of QImage::Format_RGB32; valid while the
// image lives and is not modified.
Canvas CanvasOf(const QImage& picture);

} // namespace ezedudu

#include "ezedudu/picture_loader.h"

#include "bitmap_header.h"

#include "ezedudu/error.h"
#include "ezedudu/qt_path.h"

#include <QImageReader>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <system_error>

namespace ezedudu {
namespace {

[[noreturn]] void Fail(Error::Kind kind, const std::string& message)
{
    throw Error(kind, message);
}

std::string Describe(QSize size)
{
    return std::to_string(size.width()) + " x " + std::to_string(size.height()) + " pixels";
}

void CheckSize(QSize size, std::int64_t maxPixels)
{
    const std::int64_t pixels = std::int64_t(size.width()) * size.height();
    if (pixels > maxPixels)
        Fail(Error::Kind::PictureTooLarge,
             "the picture has " + Describe(size) + ", over the limit of " + std::to_string(maxPixels) + " pixels");
}

std::unique_ptr<QImageReader> OpenReader(const std::filesystem::path& path, std::int64_t maxPixels)
{
    auto reader = std::make_unique<QImageReader>(ToQString(path));
    reader->setAutoTransform(true);
    // Qt's own cap (128 MB by default) would refuse large pictures that our
    // pixel limit allows; allow 8 bytes a pixel for the widest decoded formats.
    const std::int64_t megabytes = maxPixels * 8 / (1024 * 1024) + 1;
    reader->setAllocationLimit(int(std::min<std::int64_t>(megabytes, std::numeric_limits<int>::max())));
    return reader;
}

QImage Prefilled(QSize size, QImage::Format format)
{
    QImage image(size, format);
    if (image.isNull())
        Fail(Error::Kind::PictureTooLarge, "cannot allocate a picture of " + Describe(size));
    if (image.depth() <= 8)
        image.fill(0u);
    else
        image.fill(Qt::white);
    return image;
}

// Qt's bitmap decoder stops quietly at the end of a truncated file and skips
// pixels that run-length data jumps over, leaving whatever the image's memory
// held. It decodes into the image it is given when size and format fit, so it
// is given one filled beforehand; should it pick another format and allocate
// its own, the file is read again into a filled image of that format.
QImage ReadBitmap(const std::filesystem::path& path, std::int64_t maxPixels, QSize size, QImage::Format format)
{
    if (format == QImage::Format_Invalid)
        Fail(Error::Kind::UnreadablePicture, "corrupt bitmap header");
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto reader = OpenReader(path, maxPixels);
        QImage image = Prefilled(size, format);
        const uchar* filled = image.constBits();
        if (!reader->read(&image))
            Fail(Error::Kind::UnreadablePicture, "corrupt bitmap (" + reader->errorString().toStdString() + ")");
        if (image.constBits() == filled)
            return image;
        format = image.format();
    }
    Fail(Error::Kind::UnreadablePicture, "the bitmap decoder did not settle on a pixel format");
}

// Qt's bitmap decoder refuses pictures larger than this.
constexpr std::int64_t BitmapDecoderMaxPixels = std::int64_t(16384) * 16384;

// Refuses, before anything is allocated, a bitmap whose header promises more
// pixels than allowed or more rows than the file holds.
void CheckBitmapHeader(const std::filesystem::path& path, std::uintmax_t fileSize, std::int64_t maxPixels)
{
    std::string head(BitmapHeadBytes, '\0');
    std::ifstream file(path, std::ios::binary);
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    const std::optional<BitmapHeader> header = ReadBitmapHeader(head);
    if (!header)
        return; // Qt judges what this check cannot measure
    if (header->width > std::uint64_t(std::numeric_limits<int>::max()) ||
        header->height > std::uint64_t(std::numeric_limits<int>::max()))
        Fail(Error::Kind::PictureTooLarge, "the bitmap claims an impossible size");
    const QSize size(int(header->width), int(header->height));
    CheckSize(size, maxPixels);
    if (std::int64_t(header->width * header->height) > BitmapDecoderMaxPixels)
        Fail(Error::Kind::PictureTooLarge, "the bitmap has " + Describe(size) + "; bitmaps can have at most " +
                                               std::to_string(BitmapDecoderMaxPixels) + " (16384 x 16384)");
    if (header->minimumFileSize && fileSize < *header->minimumFileSize)
        Fail(Error::Kind::UnreadablePicture, "the bitmap is truncated: its header promises " +
                                                 std::to_string(*header->minimumFileSize) + " bytes, the file has " +
                                                 std::to_string(fileSize));
}

// Bitmaps keep their colours as stored: Windows ignores their fourth byte.
QImage ToRgb32IgnoringAlpha(QImage image)
{
    if (image.format() == QImage::Format_ARGB32)
        image.reinterpretAsFormat(QImage::Format_RGB32);
    else
        image.convertTo(QImage::Format_RGB32);
    return image;
}

// Transparent pixels are laid over white, which the glyph ramp draws as space.
QImage ToRgb32OverWhite(QImage image)
{
    if (!image.hasAlphaChannel()) {
        image.convertTo(QImage::Format_RGB32);
        return image;
    }
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* pixel = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int uncovered = 255 - qAlpha(pixel[x]);
            pixel[x] = qRgb(qRed(pixel[x]) + uncovered, qGreen(pixel[x]) + uncovered, qBlue(pixel[x]) + uncovered);
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

} // namespace

QImage LoadPicture(const std::filesystem::path& path, std::int64_t maxPixels)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status))
        Fail(Error::Kind::MissingFile, "no such file");
    if (std::filesystem::is_directory(status))
        Fail(Error::Kind::UnreadablePicture, "this is a folder, not a picture");
    const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
    if (error)
        Fail(Error::Kind::UnreadablePicture, "cannot read the file (" + error.message() + ")");
    if (fileSize == 0)
        Fail(Error::Kind::UnreadablePicture, "the file is empty");

    const auto reader = OpenReader(path, maxPixels);
    if (!reader->canRead())
        Fail(Error::Kind::UnreadablePicture,
             "not a picture this program can read (" + reader->errorString().toStdString() + ")");

    const bool bitmap = reader->format() == "bmp";
    if (bitmap)
        CheckBitmapHeader(path, fileSize, maxPixels);
    // Bitmaps store top-down rows as a negative height, which the size shows.
    const QSize claimed = reader->size();
    const QSize size(std::abs(claimed.width()), std::abs(claimed.height()));
    if (claimed != QSize())
        CheckSize(size, maxPixels);
    QImage image;
    if (bitmap && !size.isEmpty()) {
        image = ReadBitmap(path, maxPixels, size, reader->imageFormat());
    } else if (!reader->read(&image)) {
        Fail(Error::Kind::UnreadablePicture, "corrupt or unsupported picture (" + reader->errorString().toStdString() + ")");
    }
    CheckSize(image.size(), maxPixels);
    return bitmap ? ToRgb32IgnoringAlpha(std::move(image)) : ToRgb32OverWhite(std::move(image));
}

Canvas CanvasOf(const QImage& picture)
{
    Q_ASSERT(picture.format() == QImage::Format_RGB32);
    return Canvas(reinterpret_cast<const std::uint32_t*>(picture.constBits()), picture.width(), picture.height(),
                  picture.bytesPerLine());
}

} // namespace ezedudu

#include "ezedudu/picture_loader.h"

#include "bitmap_rows.h"
#include "shared_bytes_stream.h"

#include "ezedudu/error.h"
#include "ezedudu/qt_path.h"

#include <QBuffer>
#include <QImageReader>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
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

std::unique_ptr<std::istream> OpenFile(const std::filesystem::path& path)
{
    errno = 0;
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!*file) // the stream keeps no reason; the system's is left in errno
        Fail(Error::Kind::UnreadablePicture,
             "cannot open the file for reading" +
                 (errno != 0 ? " (" + std::generic_category().message(errno) + ")" : std::string()));
    return file;
}

bool HasBitmapSignature(std::istream& picture)
{
    char signature[2] = {};
    picture.read(signature, sizeof signature);
    return picture && signature[0] == 'B' && signature[1] == 'M';
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

// Reads the picture with whichever of Qt's decoders recognises it.
QImage DecodeWithQt(QImageReader& reader, std::int64_t maxPixels)
{
    reader.setAutoTransform(true);
    // Qt's own cap (128 MB by default) would refuse large pictures that our
    // pixel limit allows; allow 8 bytes a pixel for the widest decoded formats.
    const std::int64_t megabytes = maxPixels * 8 / (1024 * 1024) + 1;
    reader.setAllocationLimit(int(std::min<std::int64_t>(megabytes, std::numeric_limits<int>::max())));
    if (!reader.canRead())
        Fail(Error::Kind::UnreadablePicture,
             "not a picture this program can read (" + reader.errorString().toStdString() + ")");
    if (reader.size().isValid())
        CheckSize(reader.size(), maxPixels);
    QImage image;
    if (!reader.read(&image))
        Fail(Error::Kind::UnreadablePicture, "corrupt or unsupported picture (" + reader.errorString().toStdString() + ")");
    CheckSize(image.size(), maxPixels);
    return ToRgb32OverWhite(std::move(image));
}

// A picture decoded whole, handed out row by row; it owns its pixels.
struct DecodedImage {
    QImage image;
};
class ImageRows : private DecodedImage, public CanvasRows {
public:
    explicit ImageRows(QImage decoded) : DecodedImage{std::move(decoded)}, CanvasRows(CanvasOf(image)) {}
};

class ImageSink : public RowSink {
public:
    explicit ImageSink(QImage& target) : image(target) {}
    bool TakeRow(std::int64_t y, const std::uint32_t* pixels) override
    {
        std::memcpy(image.scanLine(int(y)), pixels, std::size_t(image.width()) * sizeof(std::uint32_t));
        return true;
    }

private:
    QImage& image;
};

} // namespace

std::unique_ptr<RowSource> OpenPicture(const std::filesystem::path& path, std::int64_t maxPixels)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::none) // neither there nor missing: a folder on the way is closed
        Fail(Error::Kind::UnreadablePicture, "cannot read the file (" + error.message() + ")");
    if (!std::filesystem::exists(status))
        Fail(Error::Kind::MissingFile, "no such file");
    if (std::filesystem::is_directory(status))
        Fail(Error::Kind::UnreadablePicture, "this is a folder, not a picture");
    const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
    if (error)
        Fail(Error::Kind::UnreadablePicture, "cannot read the file (" + error.message() + ")");
    if (fileSize == 0)
        Fail(Error::Kind::UnreadablePicture, "the file is empty");
    if (HasBitmapSignature(*OpenFile(path)))
        return std::make_unique<BitmapRows>([path] { return OpenFile(path); }, fileSize, maxPixels);
    QImageReader reader(ToQString(path));
    return std::make_unique<ImageRows>(DecodeWithQt(reader, maxPixels));
}

std::unique_ptr<RowSource> OpenPicture(std::shared_ptr<const std::string> bytes, std::int64_t maxPixels)
{
    if (bytes->empty())
        Fail(Error::Kind::UnreadablePicture, "the input is empty");
    const auto open = [bytes] { return std::make_unique<SharedBytesStream>(bytes); };
    if (HasBitmapSignature(*open()))
        return std::make_unique<BitmapRows>(open, bytes->size(), maxPixels);
    QByteArray data = QByteArray::fromRawData(bytes->data(), qsizetype(bytes->size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    return std::make_unique<ImageRows>(DecodeWithQt(reader, maxPixels));
}

std::unique_ptr<RowSource> PictureFromImage(QImage image)
{
    if (image.isNull())
        Fail(Error::Kind::UnreadablePicture, "there is no picture");
    return std::make_unique<ImageRows>(ToRgb32OverWhite(std::move(image)));
}

QImage ImageOf(const RowSource& picture)
{
    if (picture.Width() > std::numeric_limits<int>::max() || picture.Height() > std::numeric_limits<int>::max())
        Fail(Error::Kind::PictureTooLarge, "the picture is too wide or too high to hold in memory");
    QImage image(int(picture.Width()), int(picture.Height()), QImage::Format_RGB32);
    if (image.isNull())
        Fail(Error::Kind::PictureTooLarge, "not enough memory to hold a picture of " + Describe(image.size()));
    ImageSink sink(image);
    picture.ReadRows(0, picture.Height(), sink);
    return image;
}

QImage LoadPicture(const std::filesystem::path& path, std::int64_t maxPixels)
{
    return ImageOf(*OpenPicture(path, maxPixels));
}

Canvas CanvasOf(const QImage& picture)
{
    Q_ASSERT(picture.format() == QImage::Format_RGB32);
    return Canvas(reinterpret_cast<const std::uint32_t*>(picture.constBits()), picture.width(), picture.height(),
                  picture.bytesPerLine());
}

} // namespace ezedudu

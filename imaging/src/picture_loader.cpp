#include "ezedudu/picture_loader.h"

#include "bitmap_rows.h"
#include "data_ends_early.h"
#include "decoder_messages.h"
#include "mng_images.h"
#include "shared_bytes_stream.h"

#include "ezedudu/decode_scale.h"
#include "ezedudu/error.h"
#include "ezedudu/pixel_limit.h"
#include "ezedudu/qt_path.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

namespace ezedudu {
namespace {

[[noreturn]] void Fail(Error::Kind kind, const std::string& message)
{
    throw Error(kind, message);
}

std::string Describe(std::int64_t width, std::int64_t height)
{
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

void CheckSize(std::int64_t width, std::int64_t height, std::int64_t maxPixels)
{
    CheckPixelLimit(width, height, maxPixels);
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

// The canvas's layout, with the alpha byte kept where the picture has one:
// the conversion lays transparent pixels over its paper.
QImage ToCanvasLayout(QImage image)
{
    image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    return image;
}

// JPEG's decoder shrinks by 1/2, 1/4 and 1/8 as it decodes, skipping most of
// the work; other formats are always decoded whole.
bool ScalesWhileDecoding(const QByteArray& format)
{
    return format == "jpeg";
}

// A picture Qt decoded, its size before the decoder shrank it, and whether
// its decoder shrinks it for fitted art.
struct QtPicture {
    QImage image;
    QSize full;
    bool scalable = false;
};

[[noreturn]] void FailAsTooManyBytes(const std::string& what, std::int64_t width, std::int64_t height,
                                     std::int64_t pixelBytes, std::int64_t maxPixels)
{
    Fail(Error::Kind::PictureTooLarge, what + " has " + Describe(width, height) + " of " + std::to_string(pixelBytes) +
                                           " bytes each once decoded, more than the limit of " +
                                           std::to_string(maxPixels) + " pixels allows at " +
                                           std::to_string(DecodedPixelBytes) + " bytes each");
}

// Qt decodes into the layout its decoder chooses: 16-bit channels take 8
// bytes a pixel, twice what the pixel limit allows each pixel. Such a
// picture is refused before it is decoded, as too large, by the bytes its
// pixels would take.
void CheckDecodedBytes(QSize stored, QImage::Format format, std::int64_t maxPixels)
{
    if (format == QImage::Format_Invalid)
        return;
    const std::int64_t pixelBytes = QImage::toPixelFormat(format).bitsPerPixel() / 8;
    if (std::int64_t(stored.width()) * stored.height() * pixelBytes > maxPixels * DecodedPixelBytes)
        FailAsTooManyBytes("the picture", stored.width(), stored.height(), pixelBytes, maxPixels);
}

// An MNG's frame may be small while the images within it, which its decoder
// holds whole, are huge or many: such an MNG is refused before it is
// decoded, by the bytes they would take.
void CheckMngImages(QIODevice& device, std::int64_t maxPixels)
{
    const std::optional<MngMemory> memory = MngHeldMemory(device);
    const std::int64_t allowed = maxPixels * DecodedPixelBytes;
    if (!memory || memory->heldBytes <= allowed)
        return;
    const MngImage& largest = memory->largest;
    if (HeldBytes(largest) > allowed)
        FailAsTooManyBytes("an image within the MNG", largest.width, largest.height, largest.bytesPerPixel, maxPixels);
    Fail(Error::Kind::PictureTooLarge, "the images within the MNG would take " + std::to_string(memory->heldBytes) +
                                           " bytes at once when decoded, more than the limit of " +
                                           std::to_string(maxPixels) + " pixels allows at " +
                                           std::to_string(DecodedPixelBytes) + " bytes each");
}

// Within "(...)": what Qt's reader says, and the decoder's own words if it
// gave any.
std::string Because(const QImageReader& reader, const std::string& decoderSays)
{
    const std::string qtSays = reader.errorString().toStdString();
    return "(" + (decoderSays.empty() ? qtSays : qtSays + ": " + decoderSays) + ")";
}

// Reads the picture with whichever of Qt's decoders recognises it, in the
// layout the decoder chose; a JPEG shrunk by DecodeDivisor for options.
// What the decoders say goes into the reason of a refusal, never to the
// terminal; a decoder that warns of damaged data, or hands out a part of
// the picture as if whole, has the picture refused as corrupt.
QtPicture DecodeWithQt(QImageReader& reader, const ConversionOptions& options)
{
    reader.setAutoTransform(true);
    // Qt's own cap (128 MB by default) would refuse large pictures that our
    // pixel limit allows; allow 4 bytes for each pixel of the limit, what
    // 8-bit channels take (pictures of deeper channels fit up to half the
    // limit).
    const std::int64_t megabytes = options.maxPixels * DecodedPixelBytes / (1024 * 1024) + 1;
    reader.setAllocationLimit(int(std::min<std::int64_t>(megabytes, std::numeric_limits<int>::max())));
    QtPicture decoded;
    QByteArray format;
    bool recognised = false;
    bool read = false;
    const DecoderMessages said = WhileDecoding([&] {
        recognised = reader.canRead();
        if (!recognised)
            return;
        format = reader.format();
        if (format == "mng" && reader.device())
            CheckMngImages(*reader.device(), options.maxPixels);
        decoded.scalable = ScalesWhileDecoding(format);
        const QSize stored = reader.size();
        if (stored.isValid()) {
            CheckHasPixels(stored.width(), stored.height());
            CheckSize(stored.width(), stored.height(), options.maxPixels);
            CheckDecodedBytes(stored, reader.imageFormat(), options.maxPixels);
            // As shown: the stored size turned by the picture's orientation.
            decoded.full =
                reader.transformation() & QImageIOHandler::TransformationRotate90 ? stored.transposed() : stored;
            // The decoder shrinks the stored picture before it is turned.
            const int divisor =
                decoded.scalable ? DecodeDivisor(decoded.full.width(), decoded.full.height(), options) : 1;
            if (divisor > 1)
                reader.setScaledSize(stored / divisor);
        }
        read = reader.read(&decoded.image);
    });
    if (!recognised)
        Fail(Error::Kind::UnreadablePicture,
             "not a picture this program can read " + Because(reader, said.Reason()));
    if (!read)
        Fail(Error::Kind::UnreadablePicture, "corrupt or unsupported picture " + Because(reader, said.Reason()));
    if (const std::string damage = said.Damage(); !damage.empty())
        Fail(Error::Kind::UnreadablePicture, "corrupt picture (" + damage + ")");
    if (reader.device() && DataEndsEarly(*reader.device(), format))
        Fail(Error::Kind::UnreadablePicture, "corrupt picture (its data ends before the picture does)");
    CheckHasPixels(decoded.image.width(), decoded.image.height());
    CheckSize(decoded.image.width(), decoded.image.height(), options.maxPixels);
    if (!decoded.full.isValid())
        decoded.full = decoded.image.size();
    return decoded;
}

// The image itself as the engine's canvas, where it is in the canvas layout.
std::optional<Canvas> CanvasIfHeld(const QImage& image)
{
    return image.format() == QImage::Format_RGB32 ? std::optional(CanvasOf(image)) : std::nullopt;
}

// A picture decoded whole, handed out row by row; it owns its pixels. Rows
// in another layout than the canvas's are converted a strip at a time as they
// are read, so that the picture is never held twice.
class ImageRows : public RowSource {
public:
    explicit ImageRows(QImage decoded) : image(std::move(decoded)), full(image.size()), held(CanvasIfHeld(image)) {}
    explicit ImageRows(QtPicture decoded)
        : image(std::move(decoded.image)), full(decoded.full), held(CanvasIfHeld(image))
    {
    }

    const QImage& Decoded() const { return image; }
    bool HasAlpha() const override { return image.hasAlphaChannel(); }
    const Canvas* Held() const override { return held ? &*held : nullptr; }
    std::int64_t Width() const override { return image.width(); }
    std::int64_t Height() const override { return image.height(); }
    std::int64_t FullWidth() const override { return full.width(); }
    std::int64_t FullHeight() const override { return full.height(); }
    bool CanSplit() const override { return true; }
    bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const override
    {
        return ReadSpan(first, end, {0, Width()}, sink);
    }
    bool ReadSpan(std::int64_t first, std::int64_t end, ColumnSpan span, RowSink& sink) const override
    {
        if (held)
            return CanvasRows(*held).ReadSpan(first, end, span, sink);
        const std::int64_t stripRows = std::max<std::int64_t>(1, StripPixels / std::max<std::int64_t>(1, span.Count()));
        for (std::int64_t top = first; top < end; top += stripRows) {
            const int rows = int(std::min(stripRows, end - top));
            // An empty span has no pixels to convert.
            const QImage strip = span.Count() == 0 ? QImage()
                                                   : ToCanvasLayout(image.copy(int(span.first), int(top),
                                                                                 int(span.Count()), rows));
            for (int i = 0; i < rows; ++i) {
                const auto* pixels = strip.isNull() ? nullptr : strip.constScanLine(i);
                if (!sink.TakeRow(top + i, reinterpret_cast<const std::uint32_t*>(pixels)))
                    return false;
            }
        }
        return true;
    }

private:
    static constexpr std::int64_t StripPixels = 256 * 1024;
    QImage image;
    QSize full;
    std::optional<Canvas> held; // the image itself, when it is in the canvas layout
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

// A picture opened for a conversion; scalable when its decoder can shrink
// it for fitted art.
struct OpenedPicture {
    std::unique_ptr<RowSource> rows;
    bool scalable = false;
};

OpenedPicture OpenForConversion(const std::filesystem::path& path, const ConversionOptions& options)
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
        return {std::make_unique<BitmapRows>([path] { return OpenFile(path); }, fileSize, options.maxPixels)};
    QImageReader reader(ToQString(path));
    // Qt names files in UTF-8: one whose name is not is read through a
    // descriptor of ours, its format told by its content alone.
    QFile unnamed;
    if (QFile::encodeName(reader.fileName()).toStdString() != path.native()) {
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0)
            Fail(Error::Kind::UnreadablePicture,
                 "cannot open the file for reading (" + std::generic_category().message(errno) + ")");
        unnamed.open(descriptor, QIODevice::ReadOnly, QFile::AutoCloseHandle);
        reader.setDevice(&unnamed);
    }
    QtPicture decoded = DecodeWithQt(reader, options);
    const bool scalable = decoded.scalable;
    return {std::make_unique<ImageRows>(std::move(decoded)), scalable};
}

ConversionOptions AtFullSize(std::int64_t maxPixels)
{
    ConversionOptions options;
    options.maxPixels = maxPixels;
    return options;
}

} // namespace

std::unique_ptr<RowSource> OpenPicture(const std::filesystem::path& path, const ConversionOptions& options)
{
    return OpenForConversion(path, options).rows;
}

std::unique_ptr<RowSource> OpenPicture(const std::filesystem::path& path, std::int64_t maxPixels)
{
    return OpenPicture(path, AtFullSize(maxPixels));
}

std::unique_ptr<RowSource> OpenPicture(std::shared_ptr<const std::string> bytes, const ConversionOptions& options)
{
    if (bytes->empty())
        Fail(Error::Kind::UnreadablePicture, "the input is empty");
    const auto open = [bytes] { return std::make_unique<SharedBytesStream>(bytes); };
    if (HasBitmapSignature(*open()))
        return std::make_unique<BitmapRows>(open, bytes->size(), options.maxPixels);
    QByteArray data = QByteArray::fromRawData(bytes->data(), qsizetype(bytes->size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    return std::make_unique<ImageRows>(DecodeWithQt(reader, options));
}

std::unique_ptr<RowSource> OpenPicture(std::shared_ptr<const std::string> bytes, std::int64_t maxPixels)
{
    return OpenPicture(std::move(bytes), AtFullSize(maxPixels));
}

std::shared_ptr<const RowSource> PictureFile::For(const ConversionOptions& options)
{
    const std::lock_guard held(lock);
    // Every picture of the file has the same full size: the first decode's.
    const auto divisorFor = [&](const RowSource& any) {
        return scalable ? DecodeDivisor(any.FullWidth(), any.FullHeight(), options) : 1;
    };
    if (!decodes.empty()) {
        const RowSource& any = *decodes.begin()->second;
        CheckSize(any.FullWidth(), any.FullHeight(), options.maxPixels);
        if (const auto found = decodes.find(divisorFor(any)); found != decodes.end())
            return found->second;
    }
    OpenedPicture opened = OpenForConversion(path, options);
    scalable = opened.scalable;
    std::shared_ptr<const RowSource> picture = std::move(opened.rows);
    decodes[divisorFor(*picture)] = picture;
    return picture;
}

std::unique_ptr<RowSource> PictureFromImage(QImage image)
{
    if (image.isNull())
        Fail(Error::Kind::UnreadablePicture, "there is no picture");
    return std::make_unique<ImageRows>(std::move(image));
}

QImage ImageOf(const RowSource& picture)
{
    // A picture Qt decoded in the canvas's layout is shared, not copied.
    if (const auto* decoded = dynamic_cast<const ImageRows*>(&picture);
        decoded && decoded->Decoded().format() == QImage::Format_RGB32)
        return decoded->Decoded();
    if (picture.Width() > std::numeric_limits<int>::max() || picture.Height() > std::numeric_limits<int>::max())
        Fail(Error::Kind::PictureTooLarge, "the picture is too wide or too high to hold in memory");
    QImage image(int(picture.Width()), int(picture.Height()), QImage::Format_RGB32);
    if (image.isNull())
        Fail(Error::Kind::PictureTooLarge,
             "not enough memory to hold a picture of " + Describe(picture.Width(), picture.Height()));
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

#include "ezedudu/conversion_job.h"
#include "ezedudu/convert.h"
#include "ezedudu/error.h"
#include "ezedudu/picture_loader.h"
#include "ezedudu/art_size.h"
#include "ezedudu/held_picture.h"
#include "ezedudu/resample.h"

#include "bmp_writer.h"
#include "memory_picture.h"
#include "mng_images.h"
#include "photo_jpeg.h"
#include "qt_formats.h"
#include "reference_nfo.h"

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace ezedudu {
namespace {

// Channels are multiples of 8 so that 16-bit bitmaps hold them exactly.
const std::uint32_t Palette[] = {Rgb(0, 0, 0),     Rgb(248, 248, 248), Rgb(200, 16, 8),  Rgb(8, 160, 40),
                                 Rgb(64, 32, 240), Rgb(120, 120, 0),   Rgb(24, 200, 216), Rgb(232, 104, 176)};

// A 5 x 3 picture (rows need padding) using the first colourCount colours,
// each pixel with its own alpha, which bitmaps ignore.
BitmapPicture TestPicture(int colourCount)
{
    BitmapPicture picture{5, 3, {}};
    for (int i = 0; i < 15; ++i) {
        const std::uint32_t alpha = std::uint32_t(i * 17) << 24;
        picture.pixels.push_back(alpha | (Palette[(i * 7 + i / 5) % colourCount] & 0xFFFFFF));
    }
    return picture;
}

// A channel stored in `bits` bits, widened back by repeating its bits.
std::uint8_t Widened(std::uint32_t channel, int bits)
{
    const std::uint32_t stored = (channel & 0xFF) >> (8 - bits);
    return static_cast<std::uint8_t>(stored << (8 - bits) | stored >> (2 * bits - 8));
}

class PictureLoader : public testing::Test {
protected:
    std::string PathOf(const char* name) const { return folder.filePath(name).toStdString(); }
    std::string Write(const char* name, const std::string& bytes) const
    {
        WriteBytes(PathOf(name), bytes);
        return PathOf(name);
    }

    QTemporaryDir folder;
};

TEST_F(PictureLoader, DecodesEveryBitmapVariantAsQtDoesAndWidens16BitChannels)
{
    const struct {
        const char* name;
        BmpFormat format;
        int colours;
    } cases[] = {
        {"1-bit", {BmpEncoding::Paletted1}, 2},
        {"4-bit", {BmpEncoding::Paletted4}, 8},
        {"8-bit", {BmpEncoding::Paletted8}, 8},
        {"RLE4", {BmpEncoding::Rle4}, 8},
        {"RLE8", {BmpEncoding::Rle8}, 8},
        {"16-bit 555", {BmpEncoding::Rgb555}, 8},
        {"16-bit 565 bit fields after the info header", {BmpEncoding::Rgb565}, 8},
        {"16-bit 565 bit fields, 52-byte header", {BmpEncoding::Rgb565, BmpHeader::V2}, 8},
        {"24-bit", {BmpEncoding::Rgb24}, 8},
        {"32-bit", {BmpEncoding::Rgb32}, 8},
        {"32-bit bit fields after the info header", {BmpEncoding::Bitfields32}, 8},
        {"32-bit bit fields with alpha, 56-byte header", {BmpEncoding::Bitfields32, BmpHeader::V3}, 8},
        {"32-bit bit fields with alpha, V4", {BmpEncoding::Bitfields32, BmpHeader::V4}, 8},
        {"32-bit bit fields with alpha, V5", {BmpEncoding::Bitfields32, BmpHeader::V5}, 8},
        {"32-bit 10-10-10 bit fields", {BmpEncoding::Bitfields32Wide}, 8},
        {"32-bit 5-6-5 bit fields, V4", {BmpEncoding::Bitfields32Narrow, BmpHeader::V4}, 8},
        {"OS/2 1.x 1-bit", {BmpEncoding::Paletted1, BmpHeader::Os2Core}, 2},
        {"OS/2 1.x 8-bit", {BmpEncoding::Paletted8, BmpHeader::Os2Core}, 8},
        {"OS/2 1.x 24-bit", {BmpEncoding::Rgb24, BmpHeader::Os2Core}, 8},
        {"OS/2 2.x 16-byte 4-bit", {BmpEncoding::Paletted4, BmpHeader::Os2Short}, 8},
        {"OS/2 2.x 64-byte 8-bit", {BmpEncoding::Paletted8, BmpHeader::Os2}, 8},
        {"OS/2 2.x 64-byte RLE8", {BmpEncoding::Rle8, BmpHeader::Os2}, 8},
        {"V5 24-bit", {BmpEncoding::Rgb24, BmpHeader::V5}, 8},
        {"top-down 24-bit", {BmpEncoding::Rgb24, BmpHeader::Info, true}, 8},
        {"top-down 8-bit", {BmpEncoding::Paletted8, BmpHeader::Info, true}, 8},
        {"top-down 32-bit", {BmpEncoding::Rgb32, BmpHeader::V4, true}, 8},
    };
    for (const auto& c : cases) {
        const BitmapPicture picture = TestPicture(c.colours);
        const std::string path = Write("variant.bmp", EncodeBmp(picture, c.format));
        const QImage image = LoadPicture(path);
        ASSERT_EQ(image.size(), QSize(picture.width, picture.height)) << c.name;
        const Canvas canvas = CanvasOf(image);
        const bool sixteenBit = c.format.encoding == BmpEncoding::Rgb555 || c.format.encoding == BmpEncoding::Rgb565 ||
                                c.format.encoding == BmpEncoding::Bitfields32Narrow;
        const int greenBits = c.format.encoding == BmpEncoding::Rgb555 ? 5 : 6;
        // Qt reads fields wider than 8 bits as black; it is no reference for them.
        const QImage byQt = c.format.encoding == BmpEncoding::Bitfields32Wide
                                ? QImage()
                                : QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const std::uint32_t source = picture.pixels[y * picture.width + x];
                const std::uint32_t expected =
                    sixteenBit ? Rgb(Widened(source >> 16, 5), Widened(source >> 8, greenBits), Widened(source, 5))
                               : source;
                EXPECT_EQ(canvas.Point(x, y), ColourFromPixel(expected)) << c.name << " at " << x << ", " << y;
                if (!sixteenBit && !byQt.isNull()) {
                    EXPECT_EQ(canvas.Point(x, y), ColourFromPixel(byQt.pixel(x, y))) << c.name << " (Qt)";
                }
            }
        }
    }
}

// Transparent pixels show the paper the art leaves blank, in either tone;
// partly transparent ones blend with it.
TEST_F(PictureLoader, LaysTransparentPixelsOverThePaper)
{
    const auto black = [](std::uint32_t alpha) {
        return BitmapPicture{7, 7, std::vector<std::uint32_t>(49, alpha << 24)};
    };
    const auto png = [&](std::uint32_t alpha) {
        QImage image(7, 7, QImage::Format_ARGB32);
        image.fill(QColor(0, 0, 0, int(alpha)));
        image.save(QString::fromStdString(PathOf("alpha.png")));
        return PathOf("alpha.png");
    };
    // One opaque pixel, below the two lines checked, makes the alpha count.
    const auto bmp = [&](std::uint32_t alpha) {
        BitmapPicture picture{7, 10, std::vector<std::uint32_t>(70, alpha << 24)};
        picture.pixels.back() = 0xFF000000;
        return Write("alpha.bmp", EncodeBmp(picture, {BmpEncoding::Bitfields32, BmpHeader::V5}));
    };
    // A common writer's fault: alpha 0 in every pixel means an opaque picture.
    const auto bmpAllAlike = [&](std::uint32_t alpha) {
        return Write("alpha.bmp", EncodeBmp(black(alpha), {BmpEncoding::Bitfields32, BmpHeader::V5}));
    };
    const auto options = [](bool invert, std::optional<std::uint32_t> background) {
        ConversionOptions chosen;
        chosen.art.tone.invert = invert;
        chosen.background = background;
        return chosen;
    };
    const struct {
        const char* name;
        std::function<std::string(std::uint32_t)> write;
        std::uint32_t alpha;
        ConversionOptions options;
        std::string line; // each of the two
    } cases[] = {
        {"transparent PNG", png, 0, options(false, {}), "   "},
        {"transparent PNG, inverted", png, 0, options(true, {}), "   "},
        {"transparent PNG over black", png, 0, options(false, 0x000000), "\xDB\xDB\xDB"},
        {"half-covered black PNG", png, 128, options(false, {}), "\xB1\xB1\xB1"}, // 127
        {"half-covered black PNG, inverted", png, 128, options(true, {}), "   "},
        {"opaque black PNG, inverted", png, 255, options(true, {}), "   "},
        {"transparent bitmap with an alpha mask", bmp, 0, options(false, {}), "   "},
        {"half-covered bitmap over grey", bmp, 128, options(false, 0x3C3C3C), "\xB2\xB2\xB2"}, // 30
        {"bitmap whose alpha is 0 in every pixel", bmpAllAlike, 0, options(false, {}), "\xDB\xDB\xDB"},
        {"bitmap whose alpha is 128 in every pixel", bmpAllAlike, 128, options(false, {}), "\xB1\xB1\xB1"},
    };
    for (const auto& c : cases) {
        const ConvertedArt nfo = *ConversionJob(c.write(c.alpha), c.options).Convert();
        EXPECT_EQ(nfo.page.Cp437().substr(0, 10), c.line + "\r\n" + c.line + "\r\n") << c.name;
    }
}

// A picture of any claimed size whose rows must never be read.
class UnreadRows : public RowSource {
public:
    UnreadRows(std::int64_t pictureWidth, std::int64_t pictureHeight) : width(pictureWidth), height(pictureHeight) {}
    std::int64_t Width() const override { return width; }
    std::int64_t Height() const override { return height; }
    bool CanSplit() const override { return false; }
    bool ReadRows(std::int64_t, std::int64_t, RowSink&) const override { throw std::logic_error("rows were read"); }

private:
    std::int64_t width, height;
};

// Half blocks sample the picture held in memory; art whose samples would
// pass the memory bound is refused before a row is read.
TEST_F(PictureLoader, RefusesHalfBlockArtTooLargeToSample)
{
    ConversionOptions blocks;
    blocks.art.glyphs = GlyphSet::Blocks;
    try {
        ConversionJob(std::make_shared<UnreadRows>(20000, 19998), blocks).Convert();
        FAIL() << "converted";
    } catch (const Error& error) {
        EXPECT_EQ(error.GetKind(), Error::Kind::Refused);
        EXPECT_NE(std::string(error.what()).find("make the art smaller with --columns"), std::string::npos)
            << error.what();
    }
}

// The bitmap with its pixel data replaced.
std::string WithPixelData(const std::string& bmp, const std::string& data)
{
    return bmp.substr(0, PixelDataOffset(bmp)) + data;
}

TEST_F(PictureLoader, FillsPixelsThatRunLengthDataSkipsWithPaletteEntryZero)
{
    // The writer numbers colours as it meets them, so entry 0 is the odd
    // pixel at the top left; all others are entry 1.
    BitmapPicture picture{4, 3, std::vector<std::uint32_t>(12, Rgb(200, 16, 8))};
    picture.pixels[0] = Rgb(8, 160, 40);
    const std::string bmp = EncodeBmp(picture, {BmpEncoding::Rle8});
    const std::uint32_t entry0 = ColourFromPixel(Rgb(8, 160, 40));
    const std::uint32_t entry1 = ColourFromPixel(Rgb(200, 16, 8));
    const struct {
        const char* name;
        std::string data;
        std::uint32_t bottomRow[4];
    } cases[] = {
        {"ends at once", std::string("\x00\x01", 2), {entry0, entry0, entry0, entry0}},
        {"line ended early", std::string("\x02\x01\x00\x00\x00\x01", 6), {entry1, entry1, entry0, entry0}},
        {"delta skips pixels", std::string("\x00\x02\x02\x00\x01\x01\x00\x01", 8), {entry0, entry0, entry1, entry0}},
        {"index past the palette", std::string("\x04\x07\x00\x01", 4), {entry0, entry0, entry0, entry0}},
    };
    for (const auto& c : cases) {
        const QImage image = LoadPicture(Write("skip.bmp", WithPixelData(bmp, c.data)));
        const Canvas canvas = CanvasOf(image);
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(std::uint32_t(canvas.Point(x, 2)), c.bottomRow[x]) << c.name << " at " << x;
        EXPECT_EQ(std::uint32_t(canvas.Point(3, 0)), entry0) << c.name;
    }
}

std::string Patched(std::string bytes, std::size_t at, std::uint32_t value, int size = 4)
{
    for (int i = 0; i < size; ++i)
        bytes.at(at + i) = static_cast<char>(value >> (8 * i));
    return bytes;
}

TEST_F(PictureLoader, RefusesCorruptFilesWithTheirReason)
{
    using Kind = Error::Kind;
    const std::string b24 = EncodeBmp(TestPicture(8), {BmpEncoding::Rgb24});
    const std::string rle8 = EncodeBmp(TestPicture(8), {BmpEncoding::Rle8});
    const std::string rle4 = EncodeBmp(TestPicture(8), {BmpEncoding::Rle4});
    const std::string b565 = EncodeBmp(TestPicture(8), {BmpEncoding::Rgb565});
    const std::string b8 = EncodeBmp(TestPicture(8), {BmpEncoding::Paletted8});
    const std::string os2b4 = EncodeBmp(TestPicture(8), {BmpEncoding::Paletted4, BmpHeader::Os2});
    const std::string rle8Bottom = WithPixelData(rle8, std::string("\x00\x01", 2));
    const auto size = static_cast<std::uint32_t>(b24.size());
    const struct {
        const char* name;
        std::string bytes;
        Kind kind;
        const char* saying;
    } cases[] = {
        {"empty.bmp", "", Kind::UnreadablePicture, "empty"},
        {"text-named-x.bmp", "just some words, not a picture\n", Kind::UnreadablePicture, "not a picture"},
        {"garbage-after-bm.bmp", "BM" + std::string(100, '\x7F'), Kind::UnreadablePicture, "unknown header size"},
        {"cut-inside-header.bmp", b24.substr(0, 30), Kind::UnreadablePicture, "ends inside the bitmap header"},
        {"offset-past-end.bmp", Patched(b24, 10, size + 10), Kind::UnreadablePicture, "past the end of the file"},
        {"offset-into-headers.bmp", Patched(b24, 10, 20), Kind::UnreadablePicture, "points into the headers"},
        {"unknown-header-size.bmp", Patched(b24, 14, 41), Kind::UnreadablePicture, "unknown header size 41"},
        {"two-planes.bmp", Patched(b24, 26, 2, 2), Kind::UnreadablePicture, "2 planes"},
        {"7-bits-per-pixel.bmp", Patched(b24, 28, 7, 2), Kind::UnreadablePicture, "7 bits per pixel"},
        {"rle8-with-4-bits.bmp", Patched(rle8, 28, 4, 2), Kind::UnreadablePicture, "8-bit run-length coding with 4"},
        {"rle4-with-8-bits.bmp", Patched(rle4, 28, 8, 2), Kind::UnreadablePicture, "4-bit run-length coding with 8"},
        {"bit-fields-with-24-bits.bmp", Patched(b24, 30, 3), Kind::UnreadablePicture, "bit fields with 24"},
        {"embedded-jpeg.bmp", Patched(b24, 30, 4), Kind::UnreadablePicture, "JPEG picture is not supported"},
        {"unknown-compression.bmp", Patched(b24, 30, 9), Kind::UnreadablePicture, "unknown compression 9"},
        {"zero-width.bmp", Patched(b24, 18, 0), Kind::UnreadablePicture, "no pixels"},
        {"zero-height.bmp", Patched(b24, 22, 0), Kind::UnreadablePicture, "no pixels"},
        {"negative-width.bmp", Patched(b24, 18, std::uint32_t(-5)), Kind::UnreadablePicture, "negative width"},
        {"top-down-rle.bmp", Patched(rle8, 22, std::uint32_t(-3)), Kind::UnreadablePicture, "top-down"},
        {"rle-past-end-of-line.bmp", WithPixelData(rle8, std::string("\x06\x01\x00\x01", 4)), Kind::UnreadablePicture,
         "past the end of line 0"},
        {"rle-literal-past-end-of-line.bmp", WithPixelData(rle8, std::string("\x00\x06\x01\x01\x01\x01\x01\x01", 8)),
         Kind::UnreadablePicture, "past the end of line 0"},
        {"rle-beyond-last-line.bmp", WithPixelData(rle8, std::string("\x00\x00\x00\x00\x00\x00\x01\x01", 8)),
         Kind::UnreadablePicture, "beyond the last line"},
        {"rle-delta-leaves-picture.bmp", WithPixelData(rle8, std::string("\x00\x02\x01\x03", 4)),
         Kind::UnreadablePicture, "delta leaves the picture"},
        {"rle-ends-early.bmp", WithPixelData(rle8, std::string("\x05\x01\x00\x00", 4)), Kind::UnreadablePicture,
         "ends before the picture is complete"},
        {"masks-all-zero.bmp", Patched(Patched(Patched(b565, 54, 0), 58, 0), 62, 0), Kind::UnreadablePicture,
         "masks are all zero"},
        {"masks-overlap.bmp", Patched(b565, 54, 0xFFE0), Kind::UnreadablePicture, "masks overlap"},
        {"truncated-24-bit.bmp", b24.substr(0, b24.size() - 20), Kind::UnreadablePicture, "truncated"},
        // Each row has one byte of padding; the last may lack it, not more.
        {"last-row-one-byte-short.bmp", b24.substr(0, b24.size() - 2), Kind::UnreadablePicture, "truncated"},
        {"palette-of-65536-colours-for-8-bits.bmp", Patched(b8, 46, 65536), Kind::UnreadablePicture,
         "claims 65536 colours, more than 8 bits"},
        {"palette-of-2147483647-colours-for-8-bits.bmp", Patched(b8, 46, 0x7FFFFFFF), Kind::UnreadablePicture,
         "claims 2147483647 colours"},
        {"os2-palette-of-17-colours-for-4-bits.bmp", Patched(os2b4, 46, 17), Kind::UnreadablePicture,
         "claims 17 colours, more than 4 bits"},
        {"rle8-400000000-pixels-wide.bmp", Patched(Patched(rle8Bottom, 18, 400'000'000), 22, 1),
         Kind::UnreadablePicture, "run-length rows of 400000000 pixels, wider than the 524288"},
        {"header-only-5000x5000.bmp", BmpHeaderOnly(5000, 5000), Kind::UnreadablePicture, "past the end of the file"},
        {"absurd-100000x100000.bmp", BmpHeaderOnly(100000, 100000), Kind::PictureTooLarge, "100000 x 100000 pixels"},
        {"absurd-top-down.bmp", BmpHeaderOnly(60000, -60000), Kind::PictureTooLarge, "60000 x 60000"},
    };
    for (const auto& c : cases) {
        const std::string path = Write(c.name, c.bytes);
        try {
            LoadPicture(path);
            ADD_FAILURE() << c.name << " loaded";
        } catch (const Error& error) {
            EXPECT_EQ(error.GetKind(), c.kind) << c.name << ": " << error.what();
            EXPECT_NE(std::string(error.what()).find(c.saying), std::string::npos) << c.name << ": " << error.what();
        }
    }
}

// A picture of gradients and noise, so that a cut anywhere in its data
// loses pixels.
QImage NoisyPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    std::uint32_t noise = 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245 + 12345;
            picture.setPixel(x, y, qRgb(x * 255 / width, int(noise >> 24), y * 255 / height));
        }
    return picture;
}

// The first 19 bytes of this MNG hold a wrong checksum; Qt's decoder then
// reports success with a picture of 0 x 0 pixels.
const char NoPixelsMng[] = "\x8aMNG\r\n\x1a\n\x00\x00\x00\x1cMH\xffR\x00\x00N \x00\x00N \x00\x00\x00\x01\x00\x00\x00"
                           "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00"
                           "END";

// Every format Qt decodes: data that ends early is refused as corrupt, with
// the decoder's own words where it has them, from a file or from memory, at
// the natural size or fitted; never converted as though it were whole, and
// nothing is printed meanwhile.
TEST_F(PictureLoader, RefusesCutOrCorruptPicturesOfEveryQtFormatWithTheirReason)
{
    const QImage picture = NoisyPicture(64, 48);
    const struct {
        const char* name;
        std::string whole;
        const char* saying;
    } cases[] = {
        {"cut.png", EncodeWithQt(picture, "png"), "libpng error"},
        {"cut.jpg", EncodeWithQt(picture, "jpeg"), "JPEG data"},
        {"cut.gif", EncodeGif(picture), "data ends before the picture does"},
        {"cut.mng", EncodeMng(picture), "corrupt"},
        {"cut.tiff", EncodeWithQt(picture, "tiff"), "corrupt"},
        {"cut.webp", EncodeWithQt(picture, "webp"), "corrupt"},
        {"cut.xbm", EncodeWithQt(picture, "xbm"), "data ends before the picture does"},
    };
    ConversionOptions fitted;
    fitted.columns = 20;
    testing::internal::CaptureStderr();
    for (const auto& c : cases)
        for (const ConversionOptions& options : {ConversionOptions(), fitted}) {
            const auto whole = std::make_shared<const std::string>(c.whole);
            EXPECT_NO_THROW(ConversionJob(Write(c.name, *whole), options).Convert()) << c.name << " whole";
            const auto cut = std::make_shared<const std::string>(c.whole.substr(0, c.whole.size() * 3 / 5));
            for (const bool fromFile : {true, false})
                try {
                    if (fromFile)
                        ConversionJob(Write(c.name, *cut), options).Convert();
                    else
                        ConversionJob(cut, options).Convert();
                    ADD_FAILURE() << c.name << " converted";
                } catch (const Error& error) {
                    EXPECT_EQ(error.GetKind(), Error::Kind::UnreadablePicture) << c.name << ": " << error.what();
                    EXPECT_NE(std::string(error.what()).find(c.saying), std::string::npos)
                        << c.name << ": " << error.what();
                }
        }
    try {
        ConversionJob(Write("no-pixels.mng", std::string(NoPixelsMng, sizeof NoPixelsMng - 1)), fitted).Convert();
        ADD_FAILURE() << "no-pixels.mng converted";
    } catch (const Error& error) {
        EXPECT_EQ(error.GetKind(), Error::Kind::UnreadablePicture) << error.what();
        EXPECT_NE(std::string(error.what()).find("corrupt picture"), std::string::npos) << error.what();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// A picture within the pixel limit may still take more memory than the
// limit allows once decoded: Qt decodes 16-bit channels into 8 bytes a
// pixel, and an MNG's decoder holds each image within it whole, however
// small the frame it shows.
TEST_F(PictureLoader, RefusesAPictureTooLargeOnceDecodedAsTooLarge)
{
    QImage tall(12, 30000, QImage::Format_RGB32);
    tall.fill(Qt::gray);
    const struct {
        const char* name;
        std::string bytes;
        std::int64_t fewestPixels;
        const char* saying;
    } cases[] = {
        {"deep.png", EncodeWithQt(NoisyPicture(100, 100).convertToFormat(QImage::Format_RGBA64), "png"), 20000,
         "the picture has 100 x 100 pixels of 8 bytes each"},
        {"framed.mng", EncodeMng(tall, QSize(12, 9)), 360000,
         "an image within the MNG has 12 x 30000 pixels of 4 bytes each"},
    };
    for (const auto& c : cases) {
        const std::string path = Write(c.name, c.bytes);
        EXPECT_NO_THROW(OpenPicture(path, c.fewestPixels)) << c.name;
        try {
            OpenPicture(path, c.fewestPixels - 1);
            ADD_FAILURE() << c.name << " opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.GetKind(), Error::Kind::PictureTooLarge) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.saying), std::string::npos) << error.what();
        }
    }
}

// An MNG's chunks: what its decoder would hold at once, counted from above
// (chunk data as big-endian fields of the given widths; no checksums).
TEST(MngHeldMemory, CountsEveryImageKeptCopiedOrMagnified)
{
    struct Field {
        std::uint32_t value;
        int bytes;
    };
    const auto chunk = [](const std::string& name, std::initializer_list<Field> fields) {
        std::string data;
        for (const Field& field : fields)
            for (int i = field.bytes - 1; i >= 0; --i)
                data += char(field.value >> (8 * i) & 0xFF);
        std::string out;
        for (int i = 3; i >= 0; --i)
            out += char(data.size() >> (8 * i) & 0xFF);
        return out + name + data + std::string(4, '\0');
    };
    const auto image = [&](std::uint32_t width, std::uint32_t height, int depth) {
        return chunk("IHDR", {{width, 4}, {height, 4}, {std::uint32_t(depth), 1}, {6, 1}, {0, 3}});
    };
    const auto magnify = [&](std::initializer_list<Field> fields) { return chunk("MAGN", fields); };
    const std::string defineKept = chunk("DEFI", {{1, 2}}), defineDrawn = chunk("DEFI", {{0, 2}});
    const struct {
        const char* name;
        std::string chunks;
        std::int64_t width, height, heldBytes;
    } cases[] = {
        {"one image", image(12, 30000, 8), 12, 30000, 1'440'000},
        {"16-bit channels", image(10, 10, 16), 10, 10, 800},
        {"a JNG with 16-bit alpha", chunk("JHDR", {{10, 4}, {10, 4}, {14, 1}, {8, 1}, {8, 1}, {0, 1}, {16, 1}}), 10,
         10, 800},
        {"frames drawn in turn", image(100, 100, 8) + image(100, 100, 8), 100, 100, 40'000},
        {"objects kept, and a clone", defineKept + image(100, 100, 8) + defineKept + image(100, 100, 8) +
                                          chunk("CLON", {{1, 2}, {3, 2}}) + defineDrawn + image(10, 10, 8),
         100, 100, 3 * 40'000 + 400},
        {"magnified by margins", image(2, 2, 8) + magnify({{0, 4}, {1, 1}, {1, 2}, {1, 2}, {200, 2}, {200, 2},
                                                           {200, 2}, {200, 2}}),
         402, 402, 16 + 402 * 402 * 4},
        {"magnified down only", image(2, 2, 8) + magnify({{0, 4}, {0, 1}, {1, 2}, {3, 2}, {1, 2}, {1, 2}, {3, 2},
                                                          {3, 2}, {1, 1}}),
         4, 12, 16 + 4 * 12 * 4},
        {"a magnification that names no method", image(2, 2, 8) + magnify({{0, 4}, {0, 1}, {9, 2}}), 2, 2, 16},
    };
    for (const auto& c : cases) {
        QByteArray bytes = QByteArray("\x8AMNG\r\n\x1A\n") + QByteArray::fromStdString(c.chunks + chunk("MEND", {}));
        QBuffer device(&bytes);
        const std::optional<MngMemory> memory = MngHeldMemory(device);
        ASSERT_TRUE(memory) << c.name;
        EXPECT_EQ(memory->largest.width, c.width) << c.name;
        EXPECT_EQ(memory->largest.height, c.height) << c.name;
        EXPECT_EQ(memory->heldBytes, c.heldBytes) << c.name;
    }
}

// A picture without pixels can be neither measured nor averaged: whatever
// hands one over, it is refused before any size is divided by.
TEST_F(PictureLoader, RefusesAPictureWithoutPixelsWhereverItComesFrom)
{
    ConversionOptions blocks;
    blocks.art.glyphs = GlyphSet::Blocks;
    ConversionOptions fitted;
    fitted.columns = 79;
    const HeldPicture none(Canvas(nullptr, 0, 0, 0));
    const std::function<void()> steps[] = {
        [] { ConversionJob(std::make_shared<UnreadRows>(0, 0), {}).Convert(); },
        [&] { ConversionJob(std::make_shared<UnreadRows>(0, 5), fitted).Convert(); },
        [&] { ConversionJob(std::make_shared<UnreadRows>(5, 0), blocks).Convert(); },
        [] { FitArt(0, 0, 79, {}, DefaultCellAspect); },
        [&] { ResampleArea(none.View(), 0, 0, 4, 4); },
    };
    for (std::size_t i = 0; i < std::size(steps); ++i)
        try {
            steps[i]();
            ADD_FAILURE() << "step " << i << " went on";
        } catch (const Error& error) {
            EXPECT_EQ(error.GetKind(), Error::Kind::UnreadablePicture) << i << ": " << error.what();
            EXPECT_NE(std::string(error.what()).find("no pixels"), std::string::npos) << i << ": " << error.what();
        }
}

// A picture too large to gather into memory is refused by its own size.
TEST_F(PictureLoader, SaysTheRealSizeOfAPictureWithoutMemoryToHoldIt)
{
    try {
        ImageOf(UnreadRows(100'000'000, 1));
        FAIL() << "held";
    } catch (const Error& error) {
        EXPECT_EQ(error.GetKind(), Error::Kind::PictureTooLarge);
        EXPECT_NE(std::string(error.what()).find("100000000 x 1 pixels"), std::string::npos) << error.what();
    }
}

TEST_F(PictureLoader, ReportsAMissingFile)
{
    try {
        LoadPicture(PathOf("nowhere.bmp"));
        FAIL() << "loaded";
    } catch (const Error& error) {
        EXPECT_EQ(error.GetKind(), Error::Kind::MissingFile);
    }
}

TEST_F(PictureLoader, DecodesAJpegAsSmallAsItsFittedArtAllows)
{
    const auto fitted = [](std::int64_t columns, GlyphSet glyphs) {
        ConversionOptions options;
        options.columns = columns;
        options.art.glyphs = glyphs;
        return options;
    };
    const struct {
        const char* name;
        int width;
        int height;
        bool turned;
        ConversionOptions options;
        std::int64_t decodedWidth;
        std::int64_t decodedHeight;
    } cases[] = {
        // 32 x 12 characters of shades need 65 x 37 pixels, of blocks 128 x 48.
        {"shades at 32 columns: an eighth", 640, 480, false, fitted(32, GlyphSet::Shades), 80, 60},
        {"blocks at 32 columns: a quarter", 640, 480, false, fitted(32, GlyphSet::Blocks), 160, 120},
        {"the natural size: every pixel", 640, 480, false, {}, 640, 480},
        {"sides that 8 does not divide: a quarter", 644, 484, false, fitted(16, GlyphSet::Shades), 161, 121},
        {"turned by its orientation", 640, 480, true, fitted(32, GlyphSet::Shades), 80, 60},
    };
    for (const auto& c : cases) {
        const auto picture = OpenPicture(Write("photo.jpg", PhotoJpeg(c.width, c.height, c.turned)), c.options);
        EXPECT_EQ(picture->Width(), c.decodedWidth) << c.name;
        EXPECT_EQ(picture->Height(), c.decodedHeight) << c.name;
        EXPECT_EQ(picture->FullWidth(), c.width) << c.name;
        EXPECT_EQ(picture->FullHeight(), c.height) << c.name;
    }
}

TEST_F(PictureLoader, HonoursThePixelLimit)
{
    const std::string path = Write("small.bmp", EncodeBmp(TestPicture(8), {BmpEncoding::Rgb24}));
    EXPECT_NO_THROW(LoadPicture(path, 15));
    EXPECT_THROW(LoadPicture(path, 14), Error);
}

TEST_F(PictureLoader, BottomUpAndTopDownBitmapsConvertAlikeOnAnyThreadCount)
{
    MemoryPicture picture(301, 200);
    picture.Scramble(5);
    BitmapPicture bitmap{301, 200, {}};
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 301; ++x)
            bitmap.pixels.push_back(std::uint32_t(picture.View().Point(x, y)));
    for (auto& pixel : bitmap.pixels) // ColourValue to pixel word: swap red and blue
        pixel = (pixel & 0xFF00) | (pixel & 0xFF) << 16 | (pixel >> 16 & 0xFF);
    const std::string expected = ReferenceNfo(picture.View());
    for (const bool topDown : {false, true})
        for (const int threads : {1, 2}) {
            const auto source =
                OpenPicture(Write("order.bmp", EncodeBmp(bitmap, {BmpEncoding::Rgb24, BmpHeader::Info, topDown})));
            EXPECT_EQ(NfoOf(ConvertRows(*source, nullptr, threads)), expected) << topDown << ", " << threads << " threads";
        }
}

TEST_F(PictureLoader, ReadsALastRowWithoutItsPadding)
{
    const struct {
        BmpEncoding encoding;
        std::size_t padding; // of each row of 5 pixels
    } cases[] = {{BmpEncoding::Paletted1, 3}, {BmpEncoding::Paletted4, 1}, {BmpEncoding::Paletted8, 3},
                 {BmpEncoding::Rgb24, 1}};
    for (const auto& c : cases) {
        const std::string whole = EncodeBmp(TestPicture(2), {c.encoding});
        const QImage expected = LoadPicture(Write("padded.bmp", whole));
        EXPECT_EQ(LoadPicture(Write("unpadded.bmp", whole.substr(0, whole.size() - c.padding))), expected)
            << int(c.encoding);
    }
}

// Keeps the rows a source hands out, by row.
class KeptRows : public RowSink {
public:
    explicit KeptRows(std::int64_t rowWidth) : width(rowWidth) {}
    bool TakeRow(std::int64_t y, const std::uint32_t* pixels) override
    {
        rows[y].assign(pixels, pixels + width);
        return true;
    }
    std::map<std::int64_t, std::vector<std::uint32_t>> rows;

private:
    std::int64_t width;
};

TEST_F(PictureLoader, ReadsASpanOfColumnsAsTheWholeRowsHoldIt)
{
    BitmapPicture picture{37, 4, {}};
    for (int i = 0; i < 37 * 4; ++i)
        picture.pixels.push_back(Palette[(i * 5 + i / 37) % 8]);
    const BmpEncoding encodings[] = {BmpEncoding::Paletted4, BmpEncoding::Paletted8, BmpEncoding::Rle8,
                                     BmpEncoding::Rgb565,    BmpEncoding::Rgb24,     BmpEncoding::Rgb32};
    const ColumnSpan spans[] = {{0, 37}, {5, 17}, {33, 37}, {9, 10}, {8, 8}};
    for (const BmpEncoding encoding : encodings) {
        const auto source = OpenPicture(Write("span.bmp", EncodeBmp(picture, {encoding})));
        KeptRows whole(37);
        source->ReadRows(0, 4, whole);
        for (const ColumnSpan span : spans) {
            KeptRows part(span.Count());
            ASSERT_TRUE(source->ReadSpan(0, 4, span, part));
            ASSERT_EQ(part.rows.size(), 4u);
            for (const auto& [y, pixels] : part.rows)
                EXPECT_EQ(pixels, std::vector<std::uint32_t>(whole.rows[y].begin() + span.first,
                                                             whole.rows[y].begin() + span.end))
                    << int(encoding) << ": row " << y << " from " << span.first;
        }
    }
}

TEST_F(PictureLoader, ConvertsABitmapWhoseRowsOutgrowAReadBlock)
{
    // 8,400,001 1-bit pixels a row, over a megabyte: read a span at a time.
    // Its art repeats every three cells, as a narrow cut of it converts.
    const auto colourAt = [](std::int64_t x) { return std::uint32_t(0x2D >> (x % 6) & 1 ? Rgb(255, 255, 255) : 0); };
    BitmapPicture narrow{13, 3, {}};
    for (int i = 0; i < 13 * 3; ++i)
        narrow.pixels.push_back(colourAt(i % 13) | 0xFF000000);
    const std::string narrowBmp = EncodeBmp(narrow, {BmpEncoding::Paletted1});
    const std::string period = NfoOf(ConvertRows(*OpenPicture(Write("narrow.bmp", narrowBmp))))->substr(0, 3);

    const std::int64_t width = 8'400'001;
    const std::size_t rowBytes = (width + 31) / 32 * 4;
    std::string row(rowBytes, '\0');
    for (std::int64_t x = 0; x < width; ++x)
        if (colourAt(x) != colourAt(0))
            row[std::size_t(x / 8)] = char(row[std::size_t(x / 8)] | 0x80 >> (x % 8));
    const std::string wide = Patched(WithPixelData(narrowBmp, row + row + row), 18, std::uint32_t(width));
    const auto nfo = NfoOf(ConvertRows(*OpenPicture(Write("wide.bmp", wide))));
    ASSERT_TRUE(nfo);
    ASSERT_EQ(nfo->size(), std::size_t(width / 2 + 2 + 65));
    for (std::int64_t col = 0; col < width / 2; ++col)
        ASSERT_EQ((*nfo)[std::size_t(col)], period[std::size_t(col % 3)]) << "cell " << col;
}

TEST_F(PictureLoader, StreamsABitmapWiderThan16384Pixels)
{
    // 20001 x 6000 in run-length data: black but for a white last column.
    std::string rows;
    for (int y = 0; y < 6000; ++y) {
        for (int run = 0; run < 78; ++run)
            rows += std::string("\xFF\x00", 2); // 255 black
        rows += std::string("\x6E\x00\x01\x01\x00\x00", 6); // 110 black, 1 white, end of line
    }
    const std::string bmp =
        WithPixelData(EncodeBmp(BitmapPicture{2, 1, {Rgb(0, 0, 0), Rgb(255, 255, 255)}}, {BmpEncoding::Rle8}),
                      rows + std::string("\x00\x01", 2));
    const auto source = OpenPicture(Write("wide.bmp", Patched(Patched(bmp, 18, 20001), 22, 6000)));
    ASSERT_EQ(source->Width(), 20001);
    const auto nfo = NfoOf(ConvertRows(*source));
    ASSERT_TRUE(nfo);
    // Each line's last cell has one white column of three (grey 85); the
    // last line also reaches the white row below the picture.
    const std::string line = std::string(9999, '\xDB') + "\xB2\r\n";
    const std::string lastLine = std::string(9999, '\xB2') + "\xB1\r\n";
    ASSERT_EQ(nfo->size(), 2000u * line.size() + 65);
    EXPECT_EQ(nfo->substr(0, line.size()), line);
    EXPECT_EQ(nfo->substr(1999 * line.size(), line.size()), lastLine);
}

} // namespace
} // namespace ezedudu

#include "ezedudu/convert.h"
#include "ezedudu/error.h"
#include "ezedudu/picture_loader.h"

#include "bmp_writer.h"
#include "memory_picture.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ezedudu {
namespace {

using ezedudu::Error;

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

void ExpectColours(const QImage& image, const BitmapPicture& picture, const std::string& what)
{
    ASSERT_EQ(image.width(), picture.width) << what;
    ASSERT_EQ(image.height(), picture.height) << what;
    const Canvas canvas = ezedudu::CanvasOf(image);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            EXPECT_EQ(canvas.Point(x, y), ColourFromPixel(picture.pixels[y * picture.width + x]))
                << what << " at " << x << ", " << y;
}

TEST_F(PictureLoader, DecodesEveryBitmapVariant)
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
        {"16-bit 565", {BmpEncoding::Rgb565}, 8},
        {"24-bit", {BmpEncoding::Rgb24}, 8},
        {"32-bit", {BmpEncoding::Rgb32}, 8},
        {"32-bit bit fields with alpha, V4", {BmpEncoding::Bitfields32, BmpHeader::V4}, 8},
        {"32-bit bit fields with alpha, V5", {BmpEncoding::Bitfields32, BmpHeader::V5}, 8},
        {"OS/2 1-bit", {BmpEncoding::Paletted1, BmpHeader::Os2Core}, 2},
        {"OS/2 8-bit", {BmpEncoding::Paletted8, BmpHeader::Os2Core}, 8},
        {"OS/2 24-bit", {BmpEncoding::Rgb24, BmpHeader::Os2Core}, 8},
        {"V5 24-bit", {BmpEncoding::Rgb24, BmpHeader::V5}, 8},
        {"top-down 24-bit", {BmpEncoding::Rgb24, BmpHeader::Info, true}, 8},
        {"top-down 8-bit", {BmpEncoding::Paletted8, BmpHeader::Info, true}, 8},
        {"top-down 32-bit", {BmpEncoding::Rgb32, BmpHeader::V4, true}, 8},
    };
    for (const auto& c : cases) {
        const BitmapPicture picture = TestPicture(c.colours);
        const std::string path = Write("variant.bmp", EncodeBmp(picture, c.format));
        ExpectColours(ezedudu::LoadPicture(path), picture, c.name);
    }
}

TEST_F(PictureLoader, LaysTransparentPixelsOverWhite)
{
    QImage png(3, 1, QImage::Format_ARGB32);
    png.setPixel(0, 0, qRgba(0, 0, 0, 0));      // transparent
    png.setPixel(1, 0, qRgba(0, 0, 0, 128));    // half-covered black
    png.setPixel(2, 0, qRgba(10, 20, 30, 255)); // opaque
    ASSERT_TRUE(png.save(QString::fromStdString(PathOf("alpha.png"))));
    const QImage image = ezedudu::LoadPicture(PathOf("alpha.png"));
    const Canvas canvas = ezedudu::CanvasOf(image);
    EXPECT_EQ(canvas.Point(0, 0), 0x00FFFFFF);
    EXPECT_EQ(canvas.Point(1, 0), 0x007F7F7F);
    EXPECT_EQ(canvas.Point(2, 0), ComposeColour(10, 20, 30));
}

TEST_F(PictureLoader, FillsPixelsThatRunLengthDataSkipsWithPaletteEntryZero)
{
    // An RLE8 bitmap whose data ends at once: no pixel is ever written. The
    // writer numbers colours as it meets them, so entry 0 is the odd pixel.
    BitmapPicture picture{4, 3, std::vector<std::uint32_t>(12, Rgb(200, 16, 8))};
    picture.pixels[0] = Rgb(8, 160, 40);
    std::string bytes = EncodeBmp(picture, {BmpEncoding::Rle8});
    bytes = bytes.substr(0, PixelDataOffset(bytes)) + std::string("\x00\x01", 2);
    const QImage image = ezedudu::LoadPicture(Write("skip.bmp", bytes));
    const Canvas canvas = ezedudu::CanvasOf(image);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(canvas.Point(x, y), ComposeColour(8, 160, 40)) << x << ", " << y; // palette entry 0
}

struct BadFile {
    const char* name;
    std::string bytes;
    Error::Kind kind;
    const char* saying;
};

TEST_F(PictureLoader, RefusesBadFilesWithAReason)
{
    const std::string bitmap24 = EncodeBmp(TestPicture(8), {BmpEncoding::Rgb24});
    const std::string bitmapAlpha = EncodeBmp(TestPicture(8), {BmpEncoding::Bitfields32, BmpHeader::V4});
    const BadFile cases[] = {
        {"empty.bmp", "", Error::Kind::UnreadablePicture, "empty"},
        {"text-named-x.bmp", "just some words, not a picture\n", Error::Kind::UnreadablePicture, "not a picture"},
        {"garbage-after-bm.bmp", "BM" + std::string(100, '\x7F'), Error::Kind::UnreadablePicture, ""},
        {"truncated-24-bit.bmp", bitmap24.substr(0, bitmap24.size() - 20), Error::Kind::UnreadablePicture, "truncated"},
        {"truncated-with-alpha.bmp", bitmapAlpha.substr(0, bitmapAlpha.size() - 1), Error::Kind::UnreadablePicture,
         "truncated"},
        {"header-only-5000x5000.bmp", BmpHeaderOnly(5000, 5000), Error::Kind::UnreadablePicture, "truncated"},
        {"absurd-100000x100000.bmp", BmpHeaderOnly(100000, 100000), Error::Kind::PictureTooLarge,
         "100000 x 100000 pixels"},
        {"absurd-top-down.bmp", BmpHeaderOnly(60000, -60000), Error::Kind::PictureTooLarge, "60000 x 60000"},
        {"over-the-bitmap-decoder-cap.bmp", BmpHeaderOnly(16385, 16384), Error::Kind::PictureTooLarge,
         "at most 268435456"},
        {"negative-width.bmp", BmpHeaderOnly(-2147483647 - 1, 1), Error::Kind::PictureTooLarge, "impossible"},
    };
    for (const BadFile& c : cases) {
        const std::string path = Write(c.name, c.bytes);
        try {
            ezedudu::LoadPicture(path);
            ADD_FAILURE() << c.name << " loaded";
        } catch (const Error& error) {
            EXPECT_EQ(error.GetKind(), c.kind) << c.name << ": " << error.what();
            EXPECT_NE(std::string(error.what()).find(c.saying), std::string::npos) << c.name << ": " << error.what();
        }
    }
}

TEST_F(PictureLoader, ReportsAMissingFile)
{
    try {
        ezedudu::LoadPicture(PathOf("nowhere.bmp"));
        FAIL() << "loaded";
    } catch (const Error& error) {
        EXPECT_EQ(error.GetKind(), Error::Kind::MissingFile);
    }
}

TEST_F(PictureLoader, HonoursThePixelLimit)
{
    const std::string path = Write("small.bmp", EncodeBmp(TestPicture(8), {BmpEncoding::Rgb24}));
    EXPECT_NO_THROW(ezedudu::LoadPicture(path, 15));
    EXPECT_THROW(ezedudu::LoadPicture(path, 14), Error);
}

TEST_F(PictureLoader, LoadsAndConvertsA16384Square)
{
    // Run-length data keeps the file small: every row is black but its last
    // pixel, which is white.
    std::string bytes = EncodeBmp(BitmapPicture{2, 1, {Rgb(0, 0, 0), Rgb(255, 255, 255)}}, {BmpEncoding::Rle8});
    std::string rows;
    for (int y = 0; y < 16384; ++y) {
        for (int run = 0; run < 64; ++run)
            rows += std::string("\xFF\x00", 2); // 255 black
        rows += std::string("\x3F\x00\x01\x01\x00\x00", 6); // 63 black, 1 white, end of line
    }
    bytes = bytes.substr(0, PixelDataOffset(bytes)) + rows + std::string("\x00\x01", 2);
    bytes.replace(18, 8, std::string("\x00\x40\x00\x00\x00\x40\x00\x00", 8)); // 16384 x 16384
    const QImage image = ezedudu::LoadPicture(Write("huge.bmp", bytes));
    ASSERT_EQ(image.size(), QSize(16384, 16384));
    const Canvas canvas = ezedudu::CanvasOf(image);
    EXPECT_EQ(canvas.Point(16383, 16383), 0x00FFFFFF);
    EXPECT_EQ(canvas.Point(16382, 0), 0);

    const auto nfo = ConvertPicture(canvas);
    ASSERT_TRUE(nfo);
    EXPECT_EQ(nfo->size(), std::size_t(5461) * (8192 + 2) + 65);
}

} // namespace
} // namespace ezedudu

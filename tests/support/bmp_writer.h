#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ezedudu {

// Writes the bitmap variants Windows reads, so that loader tests need no
// binary files. Pixels are given as 0xAARRGGBB words, row 0 at the top.
struct BitmapPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

enum class BmpHeader {
    Os2Core,  // 12 bytes, three-byte palette entries
    Os2Short, // 16 bytes: OS/2 2.x with only size, planes and depth
    Os2,      // 64 bytes: OS/2 2.x in full
    Info,     // 40 bytes; bit-field masks follow it
    V2,       // 52 bytes, holding the colour masks
    V3,       // 56 bytes, holding the alpha mask too
    V4,
    V5,
};
enum class BmpEncoding {
    Paletted1,
    Paletted4,
    Paletted8,
    Rle4,
    Rle8,
    Rgb555,        // 16 bits, plain
    Rgb565,        // 16 bits, bit fields
    Rgb24,
    Rgb32,         // fourth byte carries the pixel's alpha, which readers ignore
    Bitfields32,   // with an alpha mask, which readers ignore too
    Bitfields32Wide,   // 10-10-10 bit fields in 32 bits, no alpha
    Bitfields32Narrow, // 5-6-5 bit fields in the low half of 32 bits
};

struct BmpFormat {
    BmpEncoding encoding = BmpEncoding::Rgb24;
    BmpHeader header = BmpHeader::Info;
    bool topDown = false;
};

std::string EncodeBmp(const BitmapPicture& picture, const BmpFormat& format);

// A bitmap header (file and info header, no pixel data) claiming the size.
std::string BmpHeaderOnly(std::int32_t width, std::int32_t height);

// Where a bitmap's pixel data starts, as its file header says.
std::size_t PixelDataOffset(const std::string& bmp);

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

} // namespace ezedudu

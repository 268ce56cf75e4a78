#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace ezedudu {

// How a bitmap stores its pixels, as its headers say once they have been
// checked against each other and against the file's size.
struct BitmapLayout {
    enum class Coding { Plain, BitFields, Rle8, Rle4 };

    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    Coding coding = Coding::Plain;
    // For 16 and 32-bit pixels; plain ones get the default 5-5-5 and 8-8-8.
    std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    // Bit fields may carry alpha too; 0 when the pixels are all opaque.
    std::uint32_t alphaMask = 0;
    // Every index 0-255 has a colour (0x00RRGGBB): indices past the palette
    // take entry 0, as do pixels that run-length data skips.
    std::array<std::uint32_t, 256> palette{};
    std::uint64_t pixelOffset = 0;
    std::uint64_t rowBytes = 0; // stored row, padded to 4 bytes; plain and bit fields only
};

// Run-length rows are decoded a whole row at a time, and a few bytes of
// their data can claim rows of any width; rows wider than this (2 MiB of
// decoded pixels) are refused. Plain rows have no such bound: the file holds
// their bytes, and they are read a span of columns at a time.
inline constexpr std::int64_t MaxRunLengthWidth = std::int64_t(1) << 19;

// The most bytes the headers, bit-field masks and a palette can take.
inline constexpr std::size_t BitmapHeadBytes = 14 + 124 + 16 + 256 * 4;

// Reads the headers from the file's first bytes (up to BitmapHeadBytes) and
// checks them. Throws Error: UnreadablePicture naming what is wrong
// for a corrupt or unsupported bitmap, PictureTooLarge over maxPixels. Once it
// returns, every plain row lies inside the file.
BitmapLayout ReadBitmapLayout(std::string_view head, std::uint64_t fileSize, std::int64_t maxPixels);

} // namespace ezedudu

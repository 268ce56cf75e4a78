#pragma once

#include "bitmap_header.h"

#include <cstdint>
#include <vector>

namespace ezedudu {

// A colour channel held in a bit-field mask, widened to 8 bits: a narrower
// channel repeats its bits (5-bit 31 gives 255, 5-bit 16 gives 132), a wider
// one keeps its top 8 bits.
class ChannelField {
public:
    explicit ChannelField(std::uint32_t mask);
    std::uint32_t Of(std::uint32_t pixel) const
    {
        const std::uint32_t value = (pixel & mask) >> shift;
        return width >= 8 ? value >> (width - 8) : widened[value];
    }

private:
    std::uint32_t mask;
    int shift = 0;
    int width = 0; // from the lowest to the highest set bit
    std::uint8_t widened[256] = {};
};

// Turns the stored rows of a plain or bit-field bitmap into canvas pixels
// (0xAARRGGBB words; the alpha byte means something only where the bitmap
// has an alpha mask).
class RowDecoder {
public:
    explicit RowDecoder(const BitmapLayout& layout);

    // The first count pixels of stored row bytes, written to out (count
    // words), or the stored bytes themselves where they already are canvas
    // pixels. stored is aligned to 4 bytes, as every row of a bitmap is.
    const std::uint32_t* Decode(const std::uint32_t* stored, std::int64_t count, std::uint32_t* out) const;

private:
    int bitsPerPixel;
    bool storedAsCanvas; // 32-bit with the default masks, alpha (if any) in the top byte
    ChannelField red, green, blue, alpha;
    std::array<std::uint32_t, 256> palette;
    std::vector<std::uint32_t> sixteenBit; // every 16-bit pixel's colour
};

} // namespace ezedudu

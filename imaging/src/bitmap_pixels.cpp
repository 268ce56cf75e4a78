#include "bitmap_pixels.h"

#include <bit>

namespace ezedudu {

ChannelField::ChannelField(std::uint32_t fieldMask) : mask(fieldMask)
{
    if (mask == 0)
        return;
    shift = std::countr_zero(mask);
    width = std::bit_width(mask >> shift);
    if (width >= 8)
        return;
    for (std::uint32_t value = 0; value < (1u << width); ++value) {
        std::uint32_t repeated = 0;
        int filled = 0;
        for (; filled < 8; filled += width)
            repeated = repeated << width | value;
        widened[value] = static_cast<std::uint8_t>(repeated >> (filled - 8));
    }
}

RowDecoder::RowDecoder(const BitmapLayout& layout)
    : bitsPerPixel(layout.bitsPerPixel),
      storedAsCanvas(layout.bitsPerPixel == 32 && layout.redMask == 0x00FF0000 && layout.greenMask == 0x0000FF00 &&
                     layout.blueMask == 0x000000FF && (layout.alphaMask == 0 || layout.alphaMask == 0xFF000000)),
      red(layout.redMask),
      green(layout.greenMask),
      blue(layout.blueMask),
      alpha(layout.alphaMask),
      palette(layout.palette)
{
    if (bitsPerPixel != 16)
        return;
    sixteenBit.resize(1u << 16);
    for (std::uint32_t pixel = 0; pixel < sixteenBit.size(); ++pixel)
        sixteenBit[pixel] = alpha.Of(pixel) << 24 | red.Of(pixel) << 16 | green.Of(pixel) << 8 | blue.Of(pixel);
}

const std::uint32_t* RowDecoder::Decode(const std::uint32_t* stored, std::int64_t count, std::uint32_t* out) const
{
    if (storedAsCanvas)
        return stored;
    const auto* bytes = reinterpret_cast<const unsigned char*>(stored);
    const std::array<std::uint32_t, 256>& colours = palette;
    switch (bitsPerPixel) {
    case 1:
    case 4: {
        const int perByte = 8 / bitsPerPixel;
        const unsigned indexMask = (1u << bitsPerPixel) - 1;
        for (std::int64_t x = 0; x < count; ++x) {
            const int shiftRight = 8 - bitsPerPixel * int(x % perByte + 1);
            out[x] = colours[(bytes[x / perByte] >> shiftRight) & indexMask];
        }
        break;
    }
    case 8:
        for (std::int64_t x = 0; x < count; ++x)
            out[x] = colours[bytes[x]];
        break;
    case 16:
        for (std::int64_t x = 0; x < count; ++x)
            out[x] = sixteenBit[bytes[2 * x] | bytes[2 * x + 1] << 8];
        break;
    case 24:
        for (std::int64_t x = 0; x < count; ++x)
            out[x] = std::uint32_t(bytes[3 * x]) | std::uint32_t(bytes[3 * x + 1]) << 8 |
                     std::uint32_t(bytes[3 * x + 2]) << 16;
        break;
    default:
        for (std::int64_t x = 0; x < count; ++x)
            out[x] = alpha.Of(stored[x]) << 24 | red.Of(stored[x]) << 16 | green.Of(stored[x]) << 8 |
                     blue.Of(stored[x]);
        break;
    }
    return out;
}

} // namespace ezedudu

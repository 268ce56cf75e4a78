#include "bmp_writer.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace ezedudu {
namespace {

constexpr int FileHeaderSize = 14;

class ByteSink {
public:
    void U8(std::uint32_t value) { bytes.push_back(static_cast<char>(value & 0xFF)); }
    void U16(std::uint32_t value)
    {
        U8(value);
        U8(value >> 8);
    }
    void U32(std::uint32_t value)
    {
        U16(value);
        U16(value >> 16);
    }
    void PadTo4()
    {
        while (bytes.size() % 4 != 0)
            U8(0);
    }
    std::string bytes;
};

int InfoHeaderSize(BmpHeader header)
{
    switch (header) {
    case BmpHeader::Os2Core: return 12;
    case BmpHeader::Os2Short: return 16;
    case BmpHeader::Os2: return 64;
    case BmpHeader::Info: return 40;
    case BmpHeader::V2: return 52;
    case BmpHeader::V3: return 56;
    case BmpHeader::V4: return 108;
    case BmpHeader::V5: return 124;
    }
    throw std::logic_error("unknown header");
}

int BitsPerPixel(BmpEncoding encoding)
{
    switch (encoding) {
    case BmpEncoding::Paletted1: return 1;
    case BmpEncoding::Paletted4:
    case BmpEncoding::Rle4: return 4;
    case BmpEncoding::Paletted8:
    case BmpEncoding::Rle8: return 8;
    case BmpEncoding::Rgb555:
    case BmpEncoding::Rgb565: return 16;
    case BmpEncoding::Rgb24: return 24;
    case BmpEncoding::Rgb32:
    case BmpEncoding::Bitfields32:
    case BmpEncoding::Bitfields32Wide:
    case BmpEncoding::Bitfields32Narrow: return 32;
    }
    throw std::logic_error("unknown encoding");
}

std::uint32_t Compression(BmpEncoding encoding)
{
    switch (encoding) {
    case BmpEncoding::Rle8: return 1;
    case BmpEncoding::Rle4: return 2;
    case BmpEncoding::Rgb565:
    case BmpEncoding::Bitfields32:
    case BmpEncoding::Bitfields32Wide:
    case BmpEncoding::Bitfields32Narrow: return 3;
    default: return 0;
    }
}

struct Masks {
    std::uint32_t red, green, blue, alpha;
};

Masks MasksOf(BmpEncoding encoding)
{
    switch (encoding) {
    case BmpEncoding::Rgb555: return {0x7C00, 0x03E0, 0x001F, 0};
    case BmpEncoding::Rgb565:
    case BmpEncoding::Bitfields32Narrow: return {0xF800, 0x07E0, 0x001F, 0};
    case BmpEncoding::Bitfields32Wide: return {0x3FF00000, 0x000FFC00, 0x000003FF, 0};
    default: return {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    }
}

std::vector<std::uint32_t> PaletteOf(const BitmapPicture& picture)
{
    std::vector<std::uint32_t> palette;
    for (const std::uint32_t pixel : picture.pixels) {
        const std::uint32_t colour = pixel & 0xFFFFFF;
        if (std::find(palette.begin(), palette.end(), colour) == palette.end())
            palette.push_back(colour);
    }
    return palette;
}

std::uint32_t Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

// A channel byte in the bits of mask: its top bits when the field is
// narrower, repeated to fill a wider one.
std::uint32_t Field(std::uint32_t channel, std::uint32_t mask)
{
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t value = bits <= 8 ? channel >> (8 - bits) : channel << (bits - 8) | channel >> (16 - bits);
    return value << shift;
}

std::uint32_t Packed(std::uint32_t pixel, const Masks& masks)
{
    return Field(Channel(pixel, 16), masks.red) | Field(Channel(pixel, 8), masks.green) |
           Field(Channel(pixel, 0), masks.blue);
}

// One row of indices as run-length pairs; each run repeats one index.
void EncodeRleRow(ByteSink& sink, const std::vector<std::uint8_t>& indices, bool fourBit)
{
    std::size_t x = 0;
    while (x < indices.size()) {
        std::size_t run = 1;
        while (x + run < indices.size() && indices[x + run] == indices[x] && run < 255)
            ++run;
        sink.U8(static_cast<std::uint32_t>(run));
        sink.U8(fourBit ? (indices[x] << 4 | indices[x]) : indices[x]);
        x += run;
    }
    sink.U16(0); // end of line
}

void EncodePixels(ByteSink& sink, const BitmapPicture& picture, const BmpFormat& format,
                  const std::vector<std::uint32_t>& palette)
{
    const int bits = BitsPerPixel(format.encoding);
    const bool rle = format.encoding == BmpEncoding::Rle4 || format.encoding == BmpEncoding::Rle8;
    for (int step = 0; step < picture.height; ++step) {
        const int y = format.topDown ? step : picture.height - 1 - step;
        const std::uint32_t* row = &picture.pixels[std::size_t(y) * picture.width];
        std::vector<std::uint8_t> indices;
        if (bits <= 8) {
            for (int x = 0; x < picture.width; ++x)
                indices.push_back(static_cast<std::uint8_t>(
                    std::find(palette.begin(), palette.end(), row[x] & 0xFFFFFF) - palette.begin()));
        }
        if (rle) {
            EncodeRleRow(sink, indices, bits == 4);
            continue;
        }
        const std::size_t rowStart = sink.bytes.size();
        if (bits < 8) {
            std::uint32_t accumulator = 0;
            int filled = 0;
            for (const std::uint8_t index : indices) {
                accumulator = accumulator << bits | index;
                filled += bits;
                if (filled == 8) {
                    sink.U8(accumulator);
                    accumulator = 0;
                    filled = 0;
                }
            }
            if (filled > 0)
                sink.U8(accumulator << (8 - filled));
        }
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t pixel = row[x];
            switch (format.encoding) {
            case BmpEncoding::Paletted8: sink.U8(indices[x]); break;
            case BmpEncoding::Rgb555:
            case BmpEncoding::Rgb565: sink.U16(Packed(pixel, MasksOf(format.encoding))); break;
            case BmpEncoding::Rgb24:
                sink.U8(Channel(pixel, 0));
                sink.U8(Channel(pixel, 8));
                sink.U8(Channel(pixel, 16));
                break;
            case BmpEncoding::Rgb32:
            case BmpEncoding::Bitfields32: sink.U32(pixel); break;
            case BmpEncoding::Bitfields32Wide:
            case BmpEncoding::Bitfields32Narrow: sink.U32(Packed(pixel, MasksOf(format.encoding))); break;
            default: break;
            }
        }
        while ((sink.bytes.size() - rowStart) % 4 != 0)
            sink.U8(0);
    }
    if (rle)
        sink.U16(0x0100); // end of bitmap
}

void WriteInfoHeader(ByteSink& sink, const BitmapPicture& picture, const BmpFormat& format, std::uint32_t colours,
                     std::uint32_t imageSize)
{
    const int size = InfoHeaderSize(format.header);
    const int height = format.topDown ? -picture.height : picture.height;
    sink.U32(static_cast<std::uint32_t>(size));
    if (format.header == BmpHeader::Os2Core) {
        sink.U16(static_cast<std::uint32_t>(picture.width));
        sink.U16(static_cast<std::uint32_t>(height));
        sink.U16(1);
        sink.U16(static_cast<std::uint32_t>(BitsPerPixel(format.encoding)));
        return;
    }
    sink.U32(static_cast<std::uint32_t>(picture.width));
    sink.U32(static_cast<std::uint32_t>(height));
    sink.U16(1);
    sink.U16(static_cast<std::uint32_t>(BitsPerPixel(format.encoding)));
    if (format.header == BmpHeader::Os2Short)
        return;
    sink.U32(Compression(format.encoding));
    sink.U32(imageSize);
    sink.U32(2835);
    sink.U32(2835);
    sink.U32(colours);
    sink.U32(0);
    const Masks masks = MasksOf(format.encoding);
    const bool bitfields = Compression(format.encoding) == 3;
    if (format.header == BmpHeader::Os2) {
        for (int i = 0; i < 6; ++i)
            sink.U32(0); // units, recording, rendering, sizes, colour coding, identifier
        return;
    }
    if (format.header == BmpHeader::Info) {
        if (bitfields) {
            sink.U32(masks.red);
            sink.U32(masks.green);
            sink.U32(masks.blue);
        }
        return;
    }
    sink.U32(bitfields ? masks.red : 0);
    sink.U32(bitfields ? masks.green : 0);
    sink.U32(bitfields ? masks.blue : 0);
    if (format.header == BmpHeader::V2)
        return;
    sink.U32(bitfields ? masks.alpha : 0);
    if (format.header == BmpHeader::V3)
        return;
    sink.U32(0x73524742); // 'sRGB'
    for (int i = 0; i < 12; ++i)
        sink.U32(0); // end points and gamma
    if (format.header == BmpHeader::V5)
        for (int i = 0; i < 4; ++i)
            sink.U32(0); // intent, profile data and size, reserved
}

} // namespace

std::string EncodeBmp(const BitmapPicture& picture, const BmpFormat& format)
{
    const int bits = BitsPerPixel(format.encoding);
    std::vector<std::uint32_t> palette;
    if (bits <= 8) {
        palette = PaletteOf(picture);
        if (palette.size() > (1u << bits))
            throw std::invalid_argument("too many colours for the palette");
    }

    ByteSink pixels;
    EncodePixels(pixels, picture, format, palette);

    ByteSink body;
    WriteInfoHeader(body, picture, format, static_cast<std::uint32_t>(palette.size()),
                    static_cast<std::uint32_t>(pixels.bytes.size()));
    // The core header's palette has three-byte entries and as many as the depth allows.
    const bool core = format.header == BmpHeader::Os2Core;
    const bool fullPalette = core || format.header == BmpHeader::Os2Short;
    const std::size_t entries = fullPalette ? (bits <= 8 ? 1u << bits : 0) : palette.size();
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint32_t colour = i < palette.size() ? palette[i] : 0;
        body.U8(Channel(colour, 0));
        body.U8(Channel(colour, 8));
        body.U8(Channel(colour, 16));
        if (!core)
            body.U8(0);
    }

    ByteSink file;
    file.U8('B');
    file.U8('M');
    const auto offset = static_cast<std::uint32_t>(FileHeaderSize + body.bytes.size());
    file.U32(static_cast<std::uint32_t>(offset + pixels.bytes.size()));
    file.U32(0);
    file.U32(offset);
    return file.bytes + body.bytes + pixels.bytes;
}

std::string BmpHeaderOnly(std::int32_t width, std::int32_t height)
{
    BitmapPicture picture{width, height, {}};
    ByteSink body;
    WriteInfoHeader(body, picture, BmpFormat{}, 0, 0);
    ByteSink file;
    file.U8('B');
    file.U8('M');
    file.U32(static_cast<std::uint32_t>(FileHeaderSize + body.bytes.size()));
    file.U32(0);
    file.U32(static_cast<std::uint32_t>(FileHeaderSize + body.bytes.size()));
    return file.bytes + body.bytes;
}

std::size_t PixelDataOffset(const std::string& bmp)
{
    std::size_t offset = 0;
    for (int i = 3; i >= 0; --i)
        offset = offset << 8 | static_cast<unsigned char>(bmp.at(10 + i));
    return offset;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace ezedudu

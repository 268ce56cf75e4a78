#include "bitmap_header.h"

#include <cstdlib>

namespace ezedudu {
namespace {

constexpr std::size_t FileHeaderBytes = 14;
constexpr std::uint32_t CoreHeaderBytes = 12;

bool IsInfoHeaderSize(std::uint32_t bytes)
{
    // Windows' info header and its V2 to V5 extensions, and OS/2's second header.
    return bytes == 40 || bytes == 52 || bytes == 56 || bytes == 64 || bytes == 108 || bytes == 124;
}

std::uint32_t Little(std::string_view bytes, std::size_t at, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint64_t Magnitude(std::int64_t value)
{
    return static_cast<std::uint64_t>(std::llabs(value));
}

bool IsUncompressed(std::uint32_t compression)
{
    // Plain pixels and bit fields; 1 and 2 are RLE8 and RLE4.
    return compression == 0 || compression == 3 || compression == 6;
}

} // namespace

std::optional<BitmapHeader> ReadBitmapHeader(std::string_view fileStart)
{
    if (fileStart.size() < BitmapHeadBytes || fileStart.substr(0, 2) != "BM")
        return std::nullopt;
    const std::uint32_t headerBytes = Little(fileStart, FileHeaderBytes, 4);
    BitmapHeader header;
    std::uint32_t bitsPerPixel = 0;
    bool uncompressed = true;
    if (headerBytes == CoreHeaderBytes) {
        header.width = Little(fileStart, 18, 2);
        header.height = Magnitude(static_cast<std::int16_t>(Little(fileStart, 20, 2)));
        bitsPerPixel = Little(fileStart, 24, 2);
    } else if (IsInfoHeaderSize(headerBytes)) {
        header.width = Magnitude(static_cast<std::int32_t>(Little(fileStart, 18, 4)));
        header.height = Magnitude(static_cast<std::int32_t>(Little(fileStart, 22, 4)));
        bitsPerPixel = Little(fileStart, 28, 2);
        uncompressed = IsUncompressed(Little(fileStart, 30, 4));
    } else {
        return std::nullopt;
    }
    if (uncompressed) {
        const std::uint64_t rowBytes = (header.width * bitsPerPixel + 31) / 32 * 4;
        header.minimumFileSize = FileHeaderBytes + headerBytes + rowBytes * header.height;
    }
    return header;
}

} // namespace ezedudu

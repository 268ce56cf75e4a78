#include "bitmap_header.h"

#include "ezedudu/error.h"
#include "ezedudu/pixel_limit.h"

#include <algorithm>
#include <string>

namespace ezedudu {
namespace {

constexpr std::uint64_t FileHeaderBytes = 14;

// The header sizes in use: OS/2 1.x (12), OS/2 2.x (16 and 64), Windows'
// info header (40) and its extensions up to V5 (124).
enum HeaderSize : std::uint32_t { Core = 12, Os2Short = 16, Info = 40, V2 = 52, V3 = 56, Os2 = 64, V4 = 108, V5 = 124 };

// Compression values of the info header. OS/2's 64-byte header gives 3 and 4
// other meanings: Huffman 1D and 24-bit run-length data.
enum Compression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, Jpeg = 4, Png = 5, AlphaBitFields = 6 };

[[noreturn]] void Refuse(const std::string& reason)
{
    throw Error(Error::Kind::UnreadablePicture, "corrupt or unsupported bitmap: " + reason);
}

class HeadReader {
public:
    explicit HeadReader(std::string_view bytes) : head(bytes) {}

    std::uint32_t U32(std::uint64_t at) const { return Little(at, 4); }
    std::uint16_t U16(std::uint64_t at) const { return static_cast<std::uint16_t>(Little(at, 2)); }
    std::int32_t I32(std::uint64_t at) const { return static_cast<std::int32_t>(U32(at)); }
    std::uint8_t U8(std::uint64_t at) const { return static_cast<std::uint8_t>(Little(at, 1)); }

    void Need(std::uint64_t end, const char* what) const
    {
        if (end > head.size())
            Refuse(std::string("the file ends inside the ") + what);
    }

private:
    std::uint32_t Little(std::uint64_t at, int count) const
    {
        std::uint32_t value = 0;
        for (int i = count - 1; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(head[static_cast<std::size_t>(at + i)]);
        return value;
    }

    std::string_view head;
};

bool IsKnownHeaderSize(std::uint32_t size)
{
    for (const std::uint32_t known : {Core, Os2Short, Info, V2, V3, Os2, V4, V5})
        if (size == known)
            return true;
    return false;
}

BitmapLayout::Coding CodingOf(std::uint32_t compression, std::uint32_t headerSize, int bitsPerPixel)
{
    const auto expect = [&](bool fits, const char* what) {
        if (!fits)
            Refuse(std::string(what) + " with " + std::to_string(bitsPerPixel) + " bits per pixel");
    };
    if (headerSize == Os2 && (compression == BitFields || compression == Jpeg))
        Refuse(compression == BitFields ? "OS/2 Huffman coding is not supported"
                                        : "OS/2 24-bit run-length coding is not supported");
    switch (compression) {
    case Rgb: return BitmapLayout::Coding::Plain;
    case Rle8: expect(bitsPerPixel == 8, "8-bit run-length coding"); return BitmapLayout::Coding::Rle8;
    case Rle4: expect(bitsPerPixel == 4, "4-bit run-length coding"); return BitmapLayout::Coding::Rle4;
    case BitFields:
    case AlphaBitFields:
        expect(bitsPerPixel == 16 || bitsPerPixel == 32, "bit fields");
        return BitmapLayout::Coding::BitFields;
    case Jpeg: Refuse("an embedded JPEG picture is not supported");
    case Png: Refuse("an embedded PNG picture is not supported");
    default: Refuse("unknown compression " + std::to_string(compression));
    }
}

void CheckMasks(const BitmapLayout& layout)
{
    if ((layout.redMask | layout.greenMask | layout.blueMask) == 0)
        Refuse("the bit-field masks are all zero");
    const std::uint32_t masks[] = {layout.redMask, layout.greenMask, layout.blueMask, layout.alphaMask};
    std::uint32_t seen = 0;
    bool overlap = false;
    for (const std::uint32_t mask : masks) {
        overlap = overlap || (seen & mask) != 0;
        seen |= mask;
    }
    if (overlap)
        Refuse("the bit-field masks overlap");
}

std::string SizeText(std::int64_t width, std::int64_t height)
{
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

} // namespace

BitmapLayout ReadBitmapLayout(std::string_view headBytes, std::uint64_t fileSize, std::int64_t maxPixels)
{
    const HeadReader head(headBytes);
    head.Need(FileHeaderBytes + 4, "file header");
    if (headBytes.substr(0, 2) != "BM")
        Refuse("no BM signature");
    BitmapLayout layout;
    layout.pixelOffset = head.U32(10);
    const std::uint32_t headerSize = head.U32(FileHeaderBytes);
    if (!IsKnownHeaderSize(headerSize))
        Refuse("unknown header size " + std::to_string(headerSize));
    head.Need(FileHeaderBytes + headerSize, "bitmap header");

    std::uint32_t planes = 0;
    std::uint32_t compression = Rgb;
    std::uint32_t coloursUsed = 0;
    if (headerSize == Core) {
        layout.width = head.U16(18);
        layout.height = head.U16(20);
        planes = head.U16(22);
        layout.bitsPerPixel = head.U16(24);
    } else {
        layout.width = head.I32(18);
        const std::int64_t height = head.I32(22);
        layout.topDown = height < 0;
        layout.height = height < 0 ? -height : height;
        planes = head.U16(26);
        layout.bitsPerPixel = head.U16(28);
        if (headerSize >= Info) {
            compression = head.U32(30);
            coloursUsed = head.U32(46);
        }
    }

    if (planes != 1)
        Refuse("the header gives " + std::to_string(planes) + " planes instead of 1");
    const int bits = layout.bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Refuse(std::to_string(bits) + " bits per pixel");
    layout.coding = CodingOf(compression, headerSize, bits);
    if (layout.width < 0)
        Refuse("negative width");
    if (layout.width == 0 || layout.height == 0)
        Refuse("the picture has no pixels (" + SizeText(layout.width, layout.height) + ")");
    const bool runLength = layout.coding == BitmapLayout::Coding::Rle8 || layout.coding == BitmapLayout::Coding::Rle4;
    if (runLength && layout.topDown)
        Refuse("run-length data in a top-down bitmap");
    if (runLength && layout.width > MaxRunLengthWidth)
        Refuse("run-length rows of " + std::to_string(layout.width) + " pixels, wider than the " +
               std::to_string(MaxRunLengthWidth) + " this reader decodes");
    CheckPixelLimit(layout.width, layout.height, maxPixels);

    // Masks follow a 40-byte header; longer headers hold them.
    std::uint64_t headersEnd = FileHeaderBytes + headerSize;
    if (layout.coding == BitmapLayout::Coding::BitFields) {
        const std::uint64_t masksAt = headerSize == Info ? headersEnd : FileHeaderBytes + Info;
        if (headerSize == Info)
            headersEnd += compression == AlphaBitFields ? 16 : 12;
        head.Need(masksAt + 12, "bit-field masks");
        layout.redMask = head.U32(masksAt);
        layout.greenMask = head.U32(masksAt + 4);
        layout.blueMask = head.U32(masksAt + 8);
        // An alpha mask follows where the header holds one, or where the
        // compression says it follows a 40-byte header.
        if ((headerSize >= V3 && headerSize != Os2) || compression == AlphaBitFields) {
            head.Need(masksAt + 16, "bit-field masks");
            layout.alphaMask = head.U32(masksAt + 12);
        }
        CheckMasks(layout);
    }
    if (layout.pixelOffset < headersEnd)
        Refuse("the pixel data offset " + std::to_string(layout.pixelOffset) + " points into the headers");
    if (layout.pixelOffset >= fileSize)
        Refuse("the pixel data offset " + std::to_string(layout.pixelOffset) + " lies past the end of the file (" +
               std::to_string(fileSize) + " bytes)");
    if (layout.coding == BitmapLayout::Coding::Plain && bits == 16) {
        layout.redMask = 0x7C00; // 5-5-5
        layout.greenMask = 0x03E0;
        layout.blueMask = 0x001F;
    } else if (layout.coding == BitmapLayout::Coding::Plain && bits == 32) {
        layout.redMask = 0x00FF0000;
        layout.greenMask = 0x0000FF00;
        layout.blueMask = 0x000000FF;
    }

    if (bits <= 8) {
        // The palette fills the space up to the pixel data, at most as many
        // entries as the header claims. Headers without a colour count (OS/2
        // 1.x and the 16-byte 2.x one) and a count of 0 mean all the depth
        // can index; a larger count is no palette of this depth.
        const std::uint64_t entryBytes = headerSize == Core ? 3 : 4;
        const std::uint64_t indexable = std::uint64_t(1) << bits;
        if (coloursUsed > indexable)
            Refuse("the palette claims " + std::to_string(coloursUsed) + " colours, more than " +
                   std::to_string(bits) + " bits per pixel can index");
        const std::uint64_t claimed = coloursUsed == 0 ? indexable : coloursUsed;
        const std::uint64_t room = (layout.pixelOffset - headersEnd) / entryBytes;
        const std::uint64_t entries = std::min(claimed, room);
        head.Need(headersEnd + entries * entryBytes, "palette");
        for (std::uint64_t i = 0; i < entries; ++i) {
            const std::uint64_t at = headersEnd + i * entryBytes;
            layout.palette[static_cast<std::size_t>(i)] = std::uint32_t(head.U8(at)) | std::uint32_t(head.U8(at + 1)) << 8 |
                                std::uint32_t(head.U8(at + 2)) << 16;
        }
        for (std::uint64_t i = entries; i < layout.palette.size(); ++i)
            layout.palette[static_cast<std::size_t>(i)] = layout.palette[0];
    }

    if (!runLength) {
        layout.rowBytes = (std::uint64_t(layout.width) * bits + 31) / 32 * 4;
        // The last row's padding may be missing; its pixels may not.
        const std::uint64_t needed = layout.rowBytes * std::uint64_t(layout.height - 1) +
                                     (std::uint64_t(layout.width) * bits + 7) / 8;
        if (fileSize - layout.pixelOffset < needed)
            Refuse("the file is truncated: its pixels need " + std::to_string(layout.pixelOffset + needed) +
                   " bytes, the file has " + std::to_string(fileSize));
    }
    return layout;
}

} // namespace ezedudu

#include "bitmap_rows.h"

#include "bitmap_rle.h"

#include "ezedudu/error.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <string>
#include <vector>

namespace ezedudu {
namespace {

static_assert(std::endian::native == std::endian::little, "bitmap pixels are read as little-endian words");

// How much of the file one reader holds at a time.
constexpr std::uint64_t BlockBytes = 1024 * 1024;

[[noreturn]] void FileChanged()
{
    throw Error(Error::Kind::UnreadablePicture, "the file ended early while it was read (was it changed?)");
}

BitmapLayout ReadLayout(const StreamOpener& open, std::uint64_t fileSize, std::int64_t maxPixels)
{
    const std::unique_ptr<std::istream> in = open();
    std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, BitmapHeadBytes)), '\0');
    in->read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in->gcount()));
    return ReadBitmapLayout(head, fileSize, maxPixels);
}

// Stops at the first pixel that is not wholly transparent.
class AlphaFinder : public RowSink {
public:
    explicit AlphaFinder(std::int64_t rowWidth) : width(rowWidth) {}
    bool TakeRow(std::int64_t, const std::uint32_t* pixels) override
    {
        found = std::any_of(pixels, pixels + width, [](std::uint32_t pixel) { return pixel >> 24 != 0; });
        return !found;
    }
    bool found = false;

private:
    std::int64_t width;
};

} // namespace

BitmapRows::BitmapRows(StreamOpener opener, std::uint64_t size, std::int64_t maxPixels)
    : open(std::move(opener)), fileSize(size), layout(ReadLayout(open, size, maxPixels)), decoder(layout)
{
    if (layout.alphaMask == 0)
        return;
    // Many writers store 32-bit pixels with an alpha mask and leave the
    // alpha 0 throughout, meaning nothing by it; browsers show such a bitmap
    // opaque, and so does this reader. That takes a pass over the pixels,
    // up to the first one that is not wholly transparent.
    AlphaFinder alpha(layout.width);
    ReadRows(0, layout.height, alpha);
    if (!alpha.found) {
        layout.alphaMask = 0;
        decoder = RowDecoder(layout);
    }
}

bool BitmapRows::CanSplit() const
{
    return layout.coding == BitmapLayout::Coding::Plain || layout.coding == BitmapLayout::Coding::BitFields;
}

bool BitmapRows::ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const
{
    if (CanSplit())
        return ReadStoredRows(first, end, {0, layout.width}, sink);
    const std::unique_ptr<std::istream> in = OpenAt(layout.pixelOffset);
    return DecodeRunLengthRows(*in, fileSize - layout.pixelOffset, layout, sink);
}

bool BitmapRows::ReadSpan(std::int64_t first, std::int64_t end, ColumnSpan span, RowSink& sink) const
{
    // Run-length rows can only be decoded whole; their width is bounded
    // (MaxRunLengthWidth) so that a whole row is small.
    if (!CanSplit())
        return RowSource::ReadSpan(first, end, span, sink);
    return ReadStoredRows(first, end, span, sink);
}

std::unique_ptr<std::istream> BitmapRows::OpenAt(std::uint64_t offset) const
{
    std::unique_ptr<std::istream> in = open();
    in->seekg(static_cast<std::streamoff>(offset));
    if (!*in)
        FileChanged();
    return in;
}

namespace {

// Where the stored bytes of a span of columns lie in each row: from the
// whole 4-byte word that holds its first pixel (a word holds whole pixels,
// 24-bit ones in threes of words), to the byte that holds its last.
struct StoredSpan {
    std::int64_t firstPixel = 0; // the first pixel of that word
    std::uint64_t firstByte = 0;
    std::uint64_t bytes = 0;
};

StoredSpan StoredSpanOf(ColumnSpan span, int bitsPerPixel)
{
    const std::int64_t wordPixels = std::lcm(bitsPerPixel, 32) / bitsPerPixel;
    StoredSpan stored;
    stored.firstPixel = span.first - span.first % wordPixels;
    stored.firstByte = std::uint64_t(stored.firstPixel) * bitsPerPixel / 8;
    stored.bytes = (std::uint64_t(span.end) * bitsPerPixel + 7) / 8 - stored.firstByte;
    return stored;
}

} // namespace

// The rows of the range lie together in the file, bottom row first unless
// the bitmap is top-down; they are read in the file's order, a block of
// whole rows at a time, or where a row is larger than a block, only the
// span's bytes of each row.
bool BitmapRows::ReadStoredRows(std::int64_t first, std::int64_t end, ColumnSpan span, RowSink& sink) const
{
    if (first >= end)
        return true;
    const std::int64_t firstStored = layout.topDown ? first : layout.height - end;
    const std::int64_t endStored = layout.topDown ? end : layout.height - first;
    const std::uint64_t start = layout.pixelOffset + std::uint64_t(firstStored) * layout.rowBytes;
    const std::unique_ptr<std::istream> in = OpenAt(start);

    const StoredSpan stored = StoredSpanOf(span, layout.bitsPerPixel);
    const bool wholeRows = layout.rowBytes <= BlockBytes;
    const std::uint64_t strideBytes = wholeRows ? layout.rowBytes : (stored.bytes + 3) / 4 * 4;
    const std::uint64_t skipBytes = wholeRows ? stored.firstByte : 0;
    const std::int64_t rowsPerBlock =
        wholeRows ? std::clamp<std::int64_t>(std::int64_t(BlockBytes / layout.rowBytes), 1, endStored - firstStored)
                  : 1;
    std::vector<std::uint32_t> block(static_cast<std::size_t>(strideBytes / 4 * std::uint64_t(rowsPerBlock)));
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(span.end - stored.firstPixel));
    for (std::int64_t blockStart = firstStored; blockStart < endStored; blockStart += rowsPerBlock) {
        const std::int64_t rows = std::min(rowsPerBlock, endStored - blockStart);
        const std::uint64_t offset = layout.pixelOffset + std::uint64_t(blockStart) * layout.rowBytes;
        // The last row's padding may be missing from the file.
        const std::uint64_t bytes =
            wholeRows ? std::min(std::uint64_t(rows) * layout.rowBytes, fileSize - offset) : stored.bytes;
        if (!wholeRows)
            in->seekg(static_cast<std::streamoff>(offset + stored.firstByte));
        in->read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(bytes));
        if (in->gcount() != static_cast<std::streamsize>(bytes))
            FileChanged();
        for (std::int64_t i = 0; i < rows; ++i) {
            const std::int64_t storedRow = blockStart + i;
            const std::int64_t y = layout.topDown ? storedRow : layout.height - 1 - storedRow;
            const std::uint32_t* row = decoder.Decode(&block[static_cast<std::size_t>((i * strideBytes + skipBytes) / 4)],
                                                      span.end - stored.firstPixel, pixels.data());
            if (!sink.TakeRow(y, row + (span.first - stored.firstPixel)))
                return false;
        }
    }
    return true;
}

} // namespace ezedudu

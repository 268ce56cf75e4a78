#include "bitmap_rows.h"

#include "bitmap_rle.h"

#include "ezedudu/error.h"

#include <algorithm>
#include <bit>
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

} // namespace

BitmapRows::BitmapRows(StreamOpener opener, std::uint64_t size, std::int64_t maxPixels)
    : open(std::move(opener)), fileSize(size), layout(ReadLayout(open, size, maxPixels)), decoder(layout)
{
}

bool BitmapRows::CanSplit() const
{
    return layout.coding == BitmapLayout::Coding::Plain || layout.coding == BitmapLayout::Coding::BitFields;
}

bool BitmapRows::ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const
{
    if (CanSplit())
        return ReadStoredRows(first, end, sink);
    const std::unique_ptr<std::istream> in = OpenAt(layout.pixelOffset);
    return DecodeRunLengthRows(*in, fileSize - layout.pixelOffset, layout, sink);
}

std::unique_ptr<std::istream> BitmapRows::OpenAt(std::uint64_t offset) const
{
    std::unique_ptr<std::istream> in = open();
    in->seekg(static_cast<std::streamoff>(offset));
    if (!*in)
        FileChanged();
    return in;
}

// The rows of the range lie together in the file, bottom row first unless
// the bitmap is top-down; they are read in the file's order.
bool BitmapRows::ReadStoredRows(std::int64_t first, std::int64_t end, RowSink& sink) const
{
    if (first >= end)
        return true;
    const std::int64_t firstStored = layout.topDown ? first : layout.height - end;
    const std::int64_t endStored = layout.topDown ? end : layout.height - first;
    const std::uint64_t start = layout.pixelOffset + std::uint64_t(firstStored) * layout.rowBytes;
    const std::unique_ptr<std::istream> in = OpenAt(start);

    const auto rowWords = static_cast<std::size_t>(layout.rowBytes / 4);
    const std::int64_t rowsPerBlock =
        std::clamp<std::int64_t>(std::int64_t(BlockBytes / layout.rowBytes), 1, endStored - firstStored);
    std::vector<std::uint32_t> block(rowWords * static_cast<std::size_t>(rowsPerBlock));
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(layout.width));
    for (std::int64_t blockStart = firstStored; blockStart < endStored; blockStart += rowsPerBlock) {
        const std::int64_t rows = std::min(rowsPerBlock, endStored - blockStart);
        const std::uint64_t offset = layout.pixelOffset + std::uint64_t(blockStart) * layout.rowBytes;
        // The last row's padding may be missing from the file.
        const std::uint64_t bytes = std::min(std::uint64_t(rows) * layout.rowBytes, fileSize - offset);
        in->read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(bytes));
        if (in->gcount() != static_cast<std::streamsize>(bytes))
            FileChanged();
        for (std::int64_t i = 0; i < rows; ++i) {
            const std::int64_t stored = blockStart + i;
            const std::int64_t y = layout.topDown ? stored : layout.height - 1 - stored;
            const std::uint32_t* row = decoder.Decode(&block[static_cast<std::size_t>(i) * rowWords], pixels.data());
            if (!sink.TakeRow(y, row))
                return false;
        }
    }
    return true;
}

} // namespace ezedudu

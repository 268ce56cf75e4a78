#include "ezedudu/box_shrink.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace ezedudu {
namespace {

// The averages of every block, written as each row of blocks is complete:
// only the channel sums of the rows of blocks still open are held, besides
// the small result.
class BlockSums : public RowSink {
public:
    BlockSums(std::int64_t pictureWidth, std::int64_t pictureHeight, int blockSide, ConversionObserver* listener)
        : observer(listener),
          width(pictureWidth),
          height(pictureHeight),
          factor(blockSide),
          columns((pictureWidth + blockSide - 1) / blockSide),
          averages(columns, (pictureHeight + blockSide - 1) / blockSide)
    {
    }

    bool TakeRow(std::int64_t y, const std::uint32_t* pixels) override
    {
        const std::int64_t blockRow = y / factor;
        OpenRow& open = openRows[blockRow];
        if (open.sums.empty())
            open.sums.assign(static_cast<std::size_t>(3 * columns), 0);
        std::uint64_t* block = open.sums.data();
        for (std::int64_t start = 0; start < width; start += factor, block += 3) {
            const std::int64_t end = std::min(start + factor, width);
            std::uint32_t red = 0, green = 0, blue = 0;
            for (std::int64_t x = start; x < end; ++x) {
                red += (pixels[x] >> 16) & 0xFF;
                green += (pixels[x] >> 8) & 0xFF;
                blue += pixels[x] & 0xFF;
            }
            block[0] += red;
            block[1] += green;
            block[2] += blue;
        }
        const std::int64_t blockHeight = std::min<std::int64_t>(factor, height - blockRow * factor);
        if (++open.rowsTaken == blockHeight) {
            WriteAverages(blockRow, blockHeight, open.sums);
            openRows.erase(blockRow);
        }
        return !observer || !observer->CancelRequested();
    }

    HeldPicture TakeAverages() { return std::move(averages); }

private:
    struct OpenRow {
        std::int64_t rowsTaken = 0;
        std::vector<std::uint64_t> sums; // red, green, blue for each block of the row
    };

    void WriteAverages(std::int64_t blockRow, std::int64_t blockHeight, const std::vector<std::uint64_t>& sums)
    {
        std::uint32_t* line = averages.Row(blockRow);
        for (std::int64_t bx = 0; bx < columns; ++bx) {
            const std::int64_t blockWidth = std::min<std::int64_t>(factor, width - bx * factor);
            const auto count = std::uint64_t(blockWidth * blockHeight);
            const std::uint64_t* block = &sums[static_cast<std::size_t>(3 * bx)];
            line[bx] = 0xFF000000u | std::uint32_t(block[0] / count) << 16 | std::uint32_t(block[1] / count) << 8 |
                      std::uint32_t(block[2] / count);
        }
    }

    ConversionObserver* observer;
    std::int64_t width;
    std::int64_t height;
    std::int64_t factor;
    std::int64_t columns;
    std::map<std::int64_t, OpenRow> openRows; // by row of blocks
    HeldPicture averages;
};

} // namespace

std::optional<HeldPicture> ShrinkByBlocks(const RowSource& picture, int factor, ConversionObserver* observer)
{
    BlockSums sums(picture.Width(), picture.Height(), factor, observer);
    if (!picture.ReadRows(0, picture.Height(), sums))
        return std::nullopt;
    return sums.TakeAverages();
}

} // namespace ezedudu

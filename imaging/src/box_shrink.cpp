#include "box_shrink.h"

#include "ezedudu/error.h"

#include <algorithm>
#include <vector>

namespace ezedudu {
namespace {

// Channel sums of every block, added to as the rows come.
class BlockSums : public RowSink {
public:
    BlockSums(std::int64_t pictureWidth, std::int64_t pictureHeight, int blockSide, ConversionObserver* listener)
        : observer(listener),
          width(pictureWidth),
          factor(blockSide),
          columns((pictureWidth + blockSide - 1) / blockSide),
          rows((pictureHeight + blockSide - 1) / blockSide),
          sums(static_cast<std::size_t>(3 * columns * rows))
    {
    }

    bool TakeRow(std::int64_t y, const std::uint32_t* pixels) override
    {
        std::uint64_t* block = &sums[static_cast<std::size_t>(3 * columns * (y / factor))];
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
        return !observer || !observer->CancelRequested();
    }

    QImage Averages(std::int64_t pictureHeight) const
    {
        QImage image(int(columns), int(rows), QImage::Format_RGB32);
        if (image.isNull())
            throw Error(Error::Kind::PictureTooLarge, "not enough memory to resample the picture");
        for (std::int64_t by = 0; by < rows; ++by) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(by)));
            const std::int64_t blockHeight = std::min<std::int64_t>(factor, pictureHeight - by * factor);
            for (std::int64_t bx = 0; bx < columns; ++bx) {
                const std::int64_t blockWidth = std::min<std::int64_t>(factor, width - bx * factor);
                const auto count = std::uint64_t(blockWidth * blockHeight);
                const std::uint64_t* block = &sums[static_cast<std::size_t>(3 * (columns * by + bx))];
                line[bx] = qRgb(int(block[0] / count), int(block[1] / count), int(block[2] / count));
            }
        }
        return image;
    }

private:
    ConversionObserver* observer;
    std::int64_t width;
    std::int64_t factor;
    std::int64_t columns;
    std::int64_t rows;
    std::vector<std::uint64_t> sums; // red, green, blue for each block
};

} // namespace

std::optional<QImage> ShrinkByBlocks(const RowSource& picture, int factor, ConversionObserver* observer)
{
    BlockSums sums(picture.Width(), picture.Height(), factor, observer);
    if (!picture.ReadRows(0, picture.Height(), sums))
        return std::nullopt;
    return sums.Averages(picture.Height());
}

} // namespace ezedudu

#include "ezedudu/canvas.h"

#include <cassert>

namespace ezedudu {

Canvas::Canvas(const std::uint32_t* rows, std::int64_t pixelWidth, std::int64_t pixelHeight,
               std::ptrdiff_t rowStrideBytes)
    : firstRow(rows), width(pixelWidth), height(pixelHeight), strideBytes(rowStrideBytes)
{
    assert(width >= 0 && height >= 0);
    assert(width == 0 || height == 0 || firstRow != nullptr);
}

ColourValue Canvas::Point(std::int64_t x, std::int64_t y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return OutsidePicture;
    return ColourFromPixel(Row(y)[x]);
}

bool CanvasRows::ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const
{
    for (std::int64_t y = first; y < end; ++y)
        if (!sink.TakeRow(y, canvas.Row(y)))
            return false;
    return true;
}

} // namespace ezedudu

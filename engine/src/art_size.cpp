#include "ezedudu/art_size.h"

#include "ezedudu/pixel_limit.h"

#include <algorithm>
#include <cmath>

namespace ezedudu {
namespace {

std::int64_t AtLeastOne(double value)
{
    return std::max<std::int64_t>(1, std::llround(value));
}

} // namespace

ArtSize FitArt(std::int64_t width, std::int64_t height, std::optional<std::int64_t> columns,
               std::optional<std::int64_t> rows, double cellAspect)
{
    CheckHasPixels(width, height);
    const double shape = double(height) / (double(width) * cellAspect); // rows per column
    if (columns) {
        const ArtSize byColumns{*columns, AtLeastOne(double(*columns) * shape)};
        if (!rows || byColumns.rows <= *rows)
            return byColumns;
    }
    return {AtLeastOne(double(*rows) / shape), *rows};
}

} // namespace ezedudu

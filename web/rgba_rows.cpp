#include "rgba_rows.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace ezedudu {

RgbaRows::RgbaRows(std::string_view rgba, std::int64_t pixelWidth, std::int64_t pixelHeight, bool hasAlpha)
    : bytes(rgba), width(pixelWidth), height(pixelHeight), alpha(hasAlpha)
{
    if (width < 0 || height < 0 || std::uint64_t(width * height * 4) != bytes.size())
        throw std::invalid_argument(std::to_string(bytes.size()) + " bytes are not the pixels of a picture of " +
                                    std::to_string(width) + " x " + std::to_string(height));
}

bool RgbaRows::ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const
{
    std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
    for (std::int64_t y = first; y < end; ++y) {
        const auto* pixel = reinterpret_cast<const unsigned char*>(bytes.data()) + y * width * 4;
        for (std::uint32_t& word : row) {
            word = std::uint32_t(pixel[3]) << 24 | std::uint32_t(pixel[0]) << 16 | std::uint32_t(pixel[1]) << 8 |
                   pixel[2];
            pixel += 4;
        }
        if (!sink.TakeRow(y, row.data()))
            return false;
    }
    return true;
}

} // namespace ezedudu

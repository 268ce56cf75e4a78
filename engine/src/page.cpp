#include "ezedudu/page.h"

#include <algorithm>

namespace ezedudu {
namespace {

// Enough for an empty line and the longest closing line after art.
constexpr std::size_t TrailingRoom = 512;

} // namespace

void Page::Extend(std::int64_t columns, std::int64_t rows, std::size_t offset)
{
    if (rows == 0)
        return;
    if (!runs.empty() && runs.back().width == columns)
        runs.back().lines += rows;
    else
        runs.push_back({lineCount, rows, offset, columns});
    lineCount += rows;
    width = std::max(width, columns);
}

void Page::AddLine(std::string_view cells)
{
    const std::size_t offset = bytes.size();
    bytes += cells;
    bytes += LineEnd;
    Extend(std::int64_t(cells.size()), 1, offset);
}

CellBlock Page::AddBlankLines(std::int64_t columns, std::int64_t rows)
{
    const std::size_t offset = bytes.size();
    const std::size_t lineBytes = std::size_t(columns) + LineEnd.size();
    bytes.reserve(offset + lineBytes * std::size_t(rows) + TrailingRoom);
    for (std::int64_t row = 0; row < rows; ++row) {
        bytes.append(std::size_t(columns), ' ');
        bytes += LineEnd;
    }
    Extend(columns, rows, offset);
    return {bytes.data() + offset, std::ptrdiff_t(lineBytes)};
}

std::string_view Page::Line(std::int64_t index) const
{
    const auto run = std::prev(std::upper_bound(runs.begin(), runs.end(), index,
                                                [](std::int64_t line, const Run& r) { return line < r.firstLine; }));
    const std::size_t start = run->offset + std::size_t(index - run->firstLine) * (std::size_t(run->width) + LineEnd.size());
    return std::string_view(bytes).substr(start, std::size_t(run->width));
}

} // namespace ezedudu

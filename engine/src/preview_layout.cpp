#include "ezedudu/preview_layout.h"

#include "ezedudu/cell_ink.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

namespace ezedudu {
namespace {

struct ThemeColours {
    std::uint32_t paper;
    std::uint32_t ink;
};

ThemeColours ColoursOf(PreviewTheme theme)
{
    if (theme == PreviewTheme::Dark)
        return {0xFF000000, 0xFFAAAAAA};
    return {0xFFFFFFFF, 0xFF000000};
}

// Ink laid over paper, ink / FullInk of it, each channel rounded to nearest.
std::uint32_t Blend(const ThemeColours& colours, int ink)
{
    std::uint32_t blended = 0xFF000000;
    for (const int shift : {0, 8, 16}) {
        const std::uint32_t paper = (colours.paper >> shift) & 0xFF;
        const std::uint32_t full = (colours.ink >> shift) & 0xFF;
        blended |= ((paper * std::uint32_t(FullInk - ink) + full * std::uint32_t(ink) + FullInk / 2) / FullInk)
                   << shift;
    }
    return blended;
}

} // namespace

PreviewLayout::PreviewLayout(const Page& shown, double cellAspect, int width)
    : page(shown), cellWidth(width), cellHeight(std::max<std::int64_t>(1, std::llround(width * cellAspect)))
{
}

void PreviewLayout::Draw(PreviewTheme theme, std::span<std::uint32_t> pixels) const
{
    if (std::int64_t(pixels.size()) != Width() * Height())
        throw std::invalid_argument("a preview of " + std::to_string(Width()) + " x " + std::to_string(Height()) +
                                    " pixels cannot be drawn into " + std::to_string(pixels.size()));
    const ThemeColours colours = ColoursOf(theme);
    std::fill(pixels.begin(), pixels.end(), colours.paper);
    if (pixels.empty())
        return;
    const CellInk cellInk(cellWidth, int(cellHeight));
    // Each byte's cell, drawn when the text first uses it.
    std::array<std::vector<std::uint32_t>, 256> cells;
    const std::size_t width = std::size_t(Width());
    for (std::size_t row = 0; row < std::size_t(page.LineCount()); ++row) {
        const std::string_view line = page.Line(std::int64_t(row));
        for (std::size_t column = 0; column < line.size(); ++column) {
            const auto byte = static_cast<std::uint8_t>(line[column]);
            std::vector<std::uint32_t>& cell = cells[byte];
            if (cell.empty())
                for (const std::uint8_t ink : cellInk.Of(GlyphBitmapOf(byte)))
                    cell.push_back(Blend(colours, ink));
            std::uint32_t* const corner = pixels.data() + row * std::size_t(cellHeight) * width + column * cellWidth;
            for (std::int64_t y = 0; y < cellHeight; ++y)
                std::copy_n(cell.data() + y * cellWidth, cellWidth, corner + std::size_t(y) * width);
        }
    }
}

} // namespace ezedudu

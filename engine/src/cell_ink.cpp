#include "ezedudu/cell_ink.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace ezedudu {

CellInk::CellInk(int width, int height)
{
    if (width < 1 || height < 1)
        throw std::invalid_argument("a cell of " + std::to_string(width) + " x " + std::to_string(height) +
                                    " pixels cannot show a glyph");
    // Columns are picked only where none is dropped, rows while fewer than
    // half of a half's are dropped (see the class's comment).
    columns = TapsOfSide(width, GlyphBitmapWidth, GlyphBitmapWidth / 2);
    rows = TapsOfSide(height, GlyphBitmapHeight, GlyphBitmapHeight / 4 + 1);
}

// The weights of every pixel's taps add up to bitmapSide, so a pixel's ink
// (column weight times row weight over inked bitmap pixels) reaches FullInk.
CellInk::SideTaps CellInk::TapsOfSide(int pixels, int bitmapSide, int shortestPickingHalf)
{
    SideTaps taps(pixels);
    if (pixels == 1) {
        for (int position = 0; position < bitmapSide; ++position)
            taps[0].push_back({position, 1});
        return taps;
    }
    const std::int64_t bitmapHalf = bitmapSide / 2;
    const int split = pixels / 2;
    const struct {
        int firstPosition;
        int firstPixel;
        std::int64_t count;
    } halves[] = {{0, 0, split}, {int(bitmapHalf), split, pixels - split}};
    for (const auto& half : halves) {
        for (std::int64_t i = 0; i < half.count; ++i) {
            std::vector<Tap>& pixel = taps[static_cast<std::size_t>(half.firstPixel + i)];
            if (half.count >= shortestPickingHalf) {
                const std::int64_t centre = (2 * i + 1) * bitmapHalf / (2 * half.count);
                pixel.push_back({half.firstPosition + int(centre), bitmapSide});
                continue;
            }
            // Measured in 1 / (bitmapHalf x count) of the half: the pixel
            // spans [i x bitmapHalf, (i + 1) x bitmapHalf), bitmap position
            // p spans [p x count, (p + 1) x count).
            const std::int64_t start = i * bitmapHalf;
            const std::int64_t end = start + bitmapHalf;
            for (std::int64_t position = start / half.count; position * half.count < end; ++position) {
                const std::int64_t overlap =
                    std::min(end, (position + 1) * half.count) - std::max(start, position * half.count);
                pixel.push_back({half.firstPosition + int(position), int(2 * overlap)});
            }
        }
    }
    return taps;
}

std::vector<std::uint8_t> CellInk::Of(const GlyphBitmap& glyph) const
{
    std::vector<std::uint8_t> ink;
    ink.reserve(rows.size() * columns.size());
    for (const std::vector<Tap>& row : rows)
        for (const std::vector<Tap>& column : columns) {
            int covered = 0;
            for (const Tap& y : row)
                for (const Tap& x : column)
                    if (glyph[y.position] & (0x80 >> x.position))
                        covered += y.weight * x.weight;
            ink.push_back(std::uint8_t(covered));
        }
    return ink;
}

} // namespace ezedudu

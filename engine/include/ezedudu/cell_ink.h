#pragma once

#include "ezedudu/glyph_bitmaps.h"

#include <cstdint>
#include <vector>

namespace ezedudu {

// A cell pixel's ink is the share of it that the glyph covers, from 0
// (paper) to FullInk (solid ink).
inline constexpr int FullInk = GlyphBitmapWidth * GlyphBitmapHeight;

// Glyph bitmaps scaled to a viewer's cell of width x height pixels, in
// integers only, so that every platform draws the same pixels.
//
// Each side is cut at its middle pixel, side / 2: on an odd side the second
// half (the lower or right one) is the pixel longer. Each half of the bitmap
// is scaled onto its half of the cell on its own, so ink that fills half the
// bitmap fills exactly that half of the cell. A long enough half picks bitmap pixels: each cell
// pixel shows the one under its centre, and dot patterns stay sharp. A
// shorter half averages them: each cell pixel shows the share of ink under
// it, by area, so a glyph's tone survives as grey. Columns are picked in
// halves of 4 pixels or more (cells at least 8 wide): a shade's columns
// differ, and dropping one would change its tone. Rows are picked in halves
// of more than 4 rows: each row of a glyph of the art inks the same share as
// the others of its half, so dropping one keeps the tone, where averaging
// unlike rows would smear the dots into uneven stripes. A side one pixel
// long has no halves: its pixel averages the whole bitmap.
class CellInk {
public:
    // Throws std::invalid_argument for a side under one pixel.
    CellInk(int width, int height);

    // The ink of each pixel of the glyph's cell, row after row.
    std::vector<std::uint8_t> Of(const GlyphBitmap& glyph) const;

private:
    // A bitmap position (row or column) a cell pixel shows, and how much.
    struct Tap {
        int position;
        int weight;
    };
    using SideTaps = std::vector<std::vector<Tap>>;

    static SideTaps TapsOfSide(int pixels, int bitmapSide, int shortestPickingHalf);

    SideTaps columns;
    SideTaps rows;
};

} // namespace ezedudu

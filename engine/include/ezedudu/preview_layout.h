#pragma once

#include "ezedudu/conversion_options.h"
#include "ezedudu/page.h"

#include <cstdint>
#include <span>
#include <vector>

namespace ezedudu {

// A viewer's character cell is this many pixels wide.
inline constexpr int PreviewCellWidth = 8;

// The NFO file's page as a viewer shows it: every line in cells of cellWidth x max(1, round(cellWidth x
// cellAspect)) pixels, no margin, each byte drawn from its fixed glyph
// bitmap (GlyphBitmapOf scaled by CellInk). The same text gives the same
// pixels on every machine. Full blocks fill their cells, so neighbouring ones
// touch.
//
// Sizes are worked out in 64 bits, before anything is drawn: a tall cell
// times many lines passes what a picture side can hold, and the caller
// refuses what it cannot hold. The layout keeps a reference to the page,
// which must outlive it.
class PreviewLayout {
public:
    PreviewLayout(const Page& page, double cellAspect, int cellWidth = PreviewCellWidth);

    std::int64_t Width() const { return page.Width() * cellWidth; }
    std::int64_t Height() const { return page.LineCount() * cellHeight; }

    // Draws the preview into pixels, Width() x Height() of them, row after
    // row, as opaque 0xAARRGGBB: light theme, black ink on white; dark
    // theme, grey (0xAA) ink on black. Throws std::invalid_argument when
    // pixels does not hold exactly the preview.
    void Draw(PreviewTheme theme, std::span<std::uint32_t> pixels) const;

private:
    const Page& page;
    int cellWidth;
    std::int64_t cellHeight;
};

} // namespace ezedudu

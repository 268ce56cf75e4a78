#include "ezedudu/nfo_text.h"

#include <gtest/gtest.h>

namespace ezedudu {
namespace {

// Every byte but the line ends and the tab is a glyph, the pictures too.
TEST(NfoToUtf8, MapsEveryGlyphAndKeepsLineEnds)
{
    const std::string nfo = "\xDB\xB2\xB1\xB0 \r\n-x-\t\x10\x11\x01\xC9\xCD\xBB\x82";
    EXPECT_EQ(NfoToUtf8(nfo), "\u2588\u2593\u2592\u2591 \r\n-x-\t\u25BA\u25C4\u263A\u2554\u2550\u2557\u00E9");
}

TEST(MeasureArt, ReadsTheArtSizeBackFromTheText)
{
    // Zero-width art still has its (empty) lines; art without rows has none.
    for (const auto& [cols, rows] : {std::pair{120, 40}, {3, 2}, {0, 2}, {4, 0}, {0, 0}}) {
        const ArtSize art = MeasureArt(NfoFrame(cols, rows));
        EXPECT_EQ(art.columns, rows > 0 ? cols : 0) << cols << " x " << rows;
        EXPECT_EQ(art.rows, rows) << cols << " x " << rows;
    }
}

} // namespace
} // namespace ezedudu

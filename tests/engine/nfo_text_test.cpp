#include "ezedudu/nfo_text.h"

#include <gtest/gtest.h>

namespace ezedudu {
namespace {

TEST(NfoToUtf8, MapsTheShadeGlyphsAndKeepsAscii)
{
    const std::string nfo = "\xDB\xB2\xB1\xB0 \r\n-x-";
    EXPECT_EQ(NfoToUtf8(nfo), "\u2588\u2593\u2592\u2591 \r\n-x-");
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

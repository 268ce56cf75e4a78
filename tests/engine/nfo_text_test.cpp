#include "ezedudu/nfo_text.h"

#include <gtest/gtest.h>

namespace ezedudu {
namespace {

TEST(NfoPathFor, ReplacesTheExtensionBesideThePicture)
{
    const struct {
        const char* picture;
        const char* nfo;
    } cases[] = {
        {"/pics/cat.bmp", "/pics/cat.nfo"},
        {"/pics/CAT.BMP", "/pics/CAT.nfo"},
        {"/pics/cat.jpeg", "/pics/cat.nfo"},
        {"/pics/logo", "/pics/logo.nfo"}, // stays in its folder
        {"/pics/v1.2/logo", "/pics/v1.2/logo.nfo"},
        {"/pics/archive.tar.bmp", "/pics/archive.tar.nfo"},
        {"cat.bmp", "cat.nfo"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NfoPathFor(c.picture), std::filesystem::path(c.nfo)) << c.picture;
}

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

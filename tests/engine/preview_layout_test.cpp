#include "ezedudu/cell_ink.h"
#include "ezedudu/glyph_bitmaps.h"
#include "ezedudu/preview_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace ezedudu {
namespace {

std::vector<std::uint32_t> Draw(const PreviewLayout& layout, PreviewTheme theme)
{
    std::vector<std::uint32_t> pixels(std::size_t(layout.Width() * layout.Height()));
    layout.Draw(theme, pixels);
    return pixels;
}

// Each glyph of the art in a VGA cell of 8 x 16 pixels, as a rule for which
// pixels are ink. The shades are the VGA font's dot patterns covering a
// quarter, half and three quarters of the cell; its half blocks split the
// cell's rows at 7, not 8.
TEST(PreviewLayout, DrawsEachArtGlyphPixelForPixel)
{
    const struct {
        std::uint8_t cp437;
        const char* name;
        int inked; // pixels of 128
        std::function<bool(int x, int y)> isInk;
    } cases[] = {
        {' ', "space", 0, [](int, int) { return false; }},
        {176, "light shade", 32, [](int x, int y) { return x % 4 == (y % 2 ? 1 : 3); }},
        {177, "medium shade", 64, [](int x, int y) { return (x + y) % 2 == 1; }},
        {178, "dark shade", 96, [](int x, int y) { return x % 4 != (y % 2 ? 0 : 2); }},
        {219, "full block", 128, [](int, int) { return true; }},
        {223, "upper half", 56, [](int, int y) { return y < 7; }},
        {220, "lower half", 72, [](int, int y) { return y >= 7; }},
        {221, "left half", 64, [](int x, int) { return x < 4; }},
        {222, "right half", 64, [](int x, int) { return x >= 4; }},
    };
    const struct {
        PreviewTheme theme;
        std::uint32_t paper;
        std::uint32_t ink;
    } themes[] = {{PreviewTheme::Light, 0xFFFFFFFF, 0xFF000000}, {PreviewTheme::Dark, 0xFF000000, 0xFFAAAAAA}};
    for (const auto& c : cases) {
        const std::string text(1, char(c.cp437));
        const PreviewLayout layout(text, 2.0);
        ASSERT_EQ(layout.Width(), 8);
        ASSERT_EQ(layout.Height(), 16);
        for (const auto& t : themes) {
            const std::vector<std::uint32_t> pixels = Draw(layout, t.theme);
            int inked = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 8; ++x) {
                    const bool isInk = c.isInk(x, y);
                    inked += isInk;
                    ASSERT_EQ(pixels[y * 8 + x], isInk ? t.ink : t.paper) << c.name << " at " << x << ", " << y;
                }
            EXPECT_EQ(inked, c.inked) << c.name;
        }
    }
}

// The ink of a glyph's cell, a row of text per pixel row: '.' paper, '#'
// solid ink, '1' to '3' a quarter to three quarters of ink.
std::string InkRows(const GlyphBitmap& glyph, int width, int height)
{
    const std::vector<std::uint8_t> ink = CellInk(width, height).Of(glyph);
    std::string rows;
    for (int i = 0; i < width * height; ++i) {
        if (i > 0 && i % width == 0)
            rows += '/';
        const int quarters = ink[i] / (FullInk / 4);
        rows += ink[i] % (FullInk / 4) ? '?' : ".123#"[quarters];
    }
    return rows;
}

// Halves split an odd side at side / 2, the second half taking the extra
// pixel, with or without room for the whole bitmap. Cells smaller than the
// bitmap keep each glyph's share of ink as grey, and a side of one pixel
// cannot be halved. The VGA font splits its half blocks' rows at 7, so
// glyphs whose rows split at 8 show the rows' halves.
TEST(CellInk, ScalesGlyphsToAnyCell)
{
    GlyphBitmap upperRows{};
    std::fill(upperRows.begin(), upperRows.begin() + GlyphBitmapHeight / 2, 0xFF);
    GlyphBitmap lowerRows{};
    std::fill(lowerRows.begin() + GlyphBitmapHeight / 2, lowerRows.end(), 0xFF);
    const struct {
        const char* name;
        GlyphBitmap glyph;
        int width;
        int height;
        const char* ink;
    } cases[] = {
        {"upper rows", upperRows, 1, 15, "#/#/#/#/#/#/#/./././././././."},
        {"lower rows", lowerRows, 1, 15, "./././././././#/#/#/#/#/#/#/#"},
        {"upper rows", upperRows, 1, 17, "#/#/#/#/#/#/#/#/././././././././."},
        {"upper rows", upperRows, 2, 3, "##/../.."},
        {"lower rows", lowerRows, 2, 3, "../##/##"},
        {"upper rows", upperRows, 1, 2, "#/."},
        {"upper rows", upperRows, 1, 1, "2"},
        {"upper half", GlyphBitmapOf(223), 1, 15, "#/#/#/#/#/#/././././././././."},
        {"left half", GlyphBitmapOf(221), 3, 2, "#../#.."},
        {"right half", GlyphBitmapOf(222), 3, 2, ".##/.##"},
        {"left half", GlyphBitmapOf(221), 1, 2, "2/2"},
        {"full block", GlyphBitmapOf(219), 3, 5, "###/###/###/###/###"},
        {"space", GlyphBitmapOf(' '), 3, 5, ".../.../.../.../..."},
        {"light shade", GlyphBitmapOf(176), 4, 8, "1111/1111/1111/1111/1111/1111/1111/1111"},
        {"medium shade", GlyphBitmapOf(177), 2, 4, "22/22/22/22"},
        {"dark shade", GlyphBitmapOf(178), 1, 2, "3/3"},
        {"medium shade", GlyphBitmapOf(177), 1, 1, "2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InkRows(c.glyph, c.width, c.height), c.ink) << c.name << " in " << c.width << " x " << c.height;
}

// Cells 8 wide and 10 to 15 high, as other viewers' cell shapes give: each
// shade stays a pattern of whole dots, and every row keeps its share of ink.
TEST(CellInk, KeepsShadesSharpInShorterCells)
{
    const struct {
        std::uint8_t cp437;
        int dotsPerRow;
    } shades[] = {{176, 2}, {177, 4}, {178, 6}};
    for (int height = 10; height < 16; ++height)
        for (const auto& shade : shades) {
            const std::vector<std::uint8_t> ink = CellInk(8, height).Of(GlyphBitmapOf(shade.cp437));
            for (int y = 0; y < height; ++y) {
                int dots = 0;
                for (int x = 0; x < 8; ++x) {
                    const int pixel = ink[y * 8 + x];
                    ASSERT_TRUE(pixel == 0 || pixel == FullInk) << int(shade.cp437) << " in 8 x " << height;
                    dots += pixel == FullInk;
                }
                EXPECT_EQ(dots, shade.dotsPerRow) << int(shade.cp437) << " in 8 x " << height << ", row " << y;
            }
        }
}

// Grey is the ink's share of the way from paper to ink, rounded to nearest.
TEST(PreviewLayout, BlendsPartInkedPixelsIntoGrey)
{
    const PreviewLayout layout("\xB1\xB0", 1.0, 1); // medium and light shade in 1 x 1 cells
    EXPECT_EQ(Draw(layout, PreviewTheme::Light), (std::vector<std::uint32_t>{0xFF808080, 0xFFBFBFBF}));
    EXPECT_EQ(Draw(layout, PreviewTheme::Dark), (std::vector<std::uint32_t>{0xFF555555, 0xFF2B2B2B}));
}

// Lines of different lengths: the longest sets the width, the others end
// in paper; CR LF ends a line and draws nothing.
TEST(PreviewLayout, LaysTheLinesOutInCells)
{
    const PreviewLayout layout("\xDB\xDB\r\n\xDB", 1.0, 1);
    ASSERT_EQ(layout.Width(), 2);
    ASSERT_EQ(layout.Height(), 2);
    EXPECT_EQ(Draw(layout, PreviewTheme::Light),
              (std::vector<std::uint32_t>{0xFF000000, 0xFF000000, 0xFF000000, 0xFFFFFFFF}));
}

// The closing line and signatures are printable ASCII: each character has a
// shape of its own, as a broken regeneration of the font table would lose.
TEST(GlyphBitmapOf, GivesEveryPrintableCharacterItsOwnShape)
{
    std::set<GlyphBitmap> shapes;
    for (int byte = '!'; byte <= '~'; ++byte) {
        const GlyphBitmap& shape = GlyphBitmapOf(std::uint8_t(byte));
        EXPECT_NE(shape, GlyphBitmap{}) << char(byte) << " is blank";
        EXPECT_TRUE(shapes.insert(shape).second) << char(byte) << " looks like another character";
    }
    EXPECT_EQ(GlyphBitmapOf(' '), GlyphBitmap{});
}

} // namespace
} // namespace ezedudu

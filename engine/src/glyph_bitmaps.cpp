#include "ezedudu/glyph_bitmaps.h"

#include "ascii_glyph_bitmaps.h"

namespace ezedudu {
namespace {

// Rows alternating between two patterns, as the shades are drawn.
constexpr GlyphBitmap Alternating(std::uint8_t even, std::uint8_t odd)
{
    GlyphBitmap bitmap{};
    for (int row = 0; row < GlyphBitmapHeight; ++row)
        bitmap[row] = row % 2 ? odd : even;
    return bitmap;
}

// Solid ink in rows [first, end).
constexpr GlyphBitmap SolidRows(int first, int end)
{
    GlyphBitmap bitmap{};
    for (int row = first; row < end; ++row)
        bitmap[row] = 0xFF;
    return bitmap;
}

struct BlockGlyph {
    std::uint8_t cp437;
    GlyphBitmap bitmap;
};

// The shades are even dot patterns, so that each inks exactly its share of
// the cell: a quarter, half (a checkerboard) and three quarters.
constexpr BlockGlyph BlockGlyphs[] = {
    {176, Alternating(0x22, 0x88)},                             // light shade
    {177, Alternating(0x55, 0xAA)},                             // medium shade
    {178, Alternating(0xDD, 0x77)},                             // dark shade
    {219, SolidRows(0, GlyphBitmapHeight)},                     // full block
    {220, SolidRows(GlyphBitmapHeight / 2, GlyphBitmapHeight)}, // lower half
    {221, Alternating(0xF0, 0xF0)},                             // left half
    {222, Alternating(0x0F, 0x0F)},                             // right half
    {223, SolidRows(0, GlyphBitmapHeight / 2)},                 // upper half
};

constexpr std::uint8_t FirstAscii = ' ';
constexpr std::uint8_t LastAscii = '~';
static_assert(AsciiGlyphBitmaps.size() == LastAscii - FirstAscii + 1);

constexpr std::array<GlyphBitmap, 256> MakeBitmapTable()
{
    std::array<GlyphBitmap, 256> table{};
    for (int byte = 0; byte < 256; ++byte)
        table[byte] = AsciiGlyphBitmaps['?' - FirstAscii];
    for (int byte = FirstAscii; byte <= LastAscii; ++byte)
        table[byte] = AsciiGlyphBitmaps[byte - FirstAscii];
    for (const BlockGlyph& glyph : BlockGlyphs)
        table[glyph.cp437] = glyph.bitmap;
    return table;
}

constexpr std::array<GlyphBitmap, 256> BitmapTable = MakeBitmapTable();

} // namespace

const GlyphBitmap& GlyphBitmapOf(std::uint8_t cp437)
{
    return BitmapTable[cp437];
}

} // namespace ezedudu

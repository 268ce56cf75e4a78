#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace ezedudu {

// One glyph of the art: the grey levels from firstLevel up to the next band's
// firstLevel, the level the glyph stands for, its code-page-437 byte and the
// same glyph in UTF-8. Each band holds the levels nearest to its own, ties
// going to the lighter glyph.
struct GlyphBand {
    int firstLevel;
    int level;
    std::uint8_t cp437;
    std::string_view utf8;
};

// Darkest first: full block, dark, medium and light shade, then space.
inline constexpr std::array<GlyphBand, 5> GlyphBands = {{
    {0, 0, 219, "\u2588"},
    {30, 60, 178, "\u2593"},
    {90, 120, 177, "\u2592"},
    {150, 180, 176, "\u2591"},
    {210, 240, ' ', " "},
}};

// The half blocks that --glyphs blocks adds: ink fills one half of the
// cell, paper the other.
enum class InkHalf { Upper, Lower, Left, Right };

struct HalfBlock {
    InkHalf ink;
    std::uint8_t cp437;
    std::string_view utf8;
};

inline constexpr std::array<HalfBlock, 4> HalfBlocks = {{
    {InkHalf::Upper, 223, "\u2580"},
    {InkHalf::Lower, 220, "\u2584"},
    {InkHalf::Left, 221, "\u258C"},
    {InkHalf::Right, 222, "\u2590"},
}};

// The glyph of an art byte in UTF-8, or empty for a byte the art never holds.
std::string_view Utf8Of(std::uint8_t cp437);

// The output byte (code page 437) for a grey level.
std::uint8_t GlyphRamp(std::uint8_t greyLevel);

// The band whose glyph is this code-page-437 byte, or nullptr for any other
// byte.
const GlyphBand* GlyphBandOf(std::uint8_t cp437);

// GlyphRamp for every level at once, for the conversion's inner loop.
const std::array<std::uint8_t, 256>& GlyphTable();

} // namespace ezedudu

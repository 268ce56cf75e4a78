#pragma once

#include <array>
#include <cstdint>

namespace ezedudu {

// One glyph of the art: the grey levels from firstLevel up to the next band's
// firstLevel, the level the glyph stands for and its code-page-437 byte. Each
// band holds the levels nearest to its own, ties going to the lighter glyph.
struct GlyphBand {
    int firstLevel;
    int level;
    std::uint8_t cp437;
};

// Darkest first: full block, dark, medium and light shade, then space.
inline constexpr std::array<GlyphBand, 5> GlyphBands = {{
    {0, 0, 219},
    {30, 60, 178},
    {90, 120, 177},
    {150, 180, 176},
    {210, 240, ' '},
}};

// The half blocks that --glyphs blocks adds: ink fills one half of the
// cell, paper the other.
enum class InkHalf { Upper, Lower, Left, Right };

struct HalfBlock {
    InkHalf ink;
    std::uint8_t cp437;
};

inline constexpr std::array<HalfBlock, 4> HalfBlocks = {{
    {InkHalf::Upper, 223},
    {InkHalf::Lower, 220},
    {InkHalf::Left, 221},
    {InkHalf::Right, 222},
}};

// The output byte (code page 437) for a grey level.
std::uint8_t GlyphRamp(std::uint8_t greyLevel);

// The band whose glyph is this code-page-437 byte, or nullptr for any other
// byte.
const GlyphBand* GlyphBandOf(std::uint8_t cp437);

// The band whose level lies nearest level, which may fall outside 0-255
// (dithering moves it), ties to the lighter.
const GlyphBand& NearestShade(double level);

// GlyphRamp for every level at once, for the conversion's inner loop.
const std::array<std::uint8_t, 256>& GlyphTable();

} // namespace ezedudu

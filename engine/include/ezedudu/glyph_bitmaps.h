#pragma once

#include <array>
#include <cstdint>

namespace ezedudu {

// A glyph as a VGA text screen draws it: 16 rows of 8 pixels, top row first.
// In a row's byte the most significant bit is the leftmost pixel; a set bit
// is ink.
inline constexpr int GlyphBitmapWidth = 8;
inline constexpr int GlyphBitmapHeight = 16;
using GlyphBitmap = std::array<std::uint8_t, GlyphBitmapHeight>;

// The bitmap of a code-page-437 byte: space, the shades and the full and
// half blocks that art is made of, and printable ASCII for the closing line
// and signatures. Any other byte draws as '?'.
const GlyphBitmap& GlyphBitmapOf(std::uint8_t cp437);

} // namespace ezedudu

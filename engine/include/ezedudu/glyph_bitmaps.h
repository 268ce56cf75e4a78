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

// The bitmap of a code-page-437 byte in the IBM VGA font, the font NFO
// viewers draw with: every byte is a glyph, 1 to 31 and 127 the pictures
// (☺ ► ◄ ... ⌂), 0 and 255 blank. The half blocks are not split in the
// middle: ▀ inks the top 7 rows, ▄ the bottom 9.
const GlyphBitmap& GlyphBitmapOf(std::uint8_t cp437);

} // namespace ezedudu

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ezedudu {

// Code page 437, the character set NFO files are written in, as Unicode and
// back. Every byte is a glyph: 1 to 31 and 127 are the pictures a PC screen
// draws for them (☺ ☻ ♥ ... ► ◄ ... ⌂), and 0 is U+0000 so that every byte
// survives the trip there and back. Whether 9, 10 and 13 are a tab and line
// ends or the pictures ○ ◙ ♪ is the caller's decision: these functions only
// ever see glyphs.
char32_t Cp437ToUnicode(std::uint8_t byte);

// Every byte as its glyph in UTF-8 (16 is ►, 9 is ○), for messages that
// quote code-page-437 text.
std::string Cp437ToUtf8(std::string_view bytes);

// The byte whose glyph is exactly this code point. The control code points
// (U+0001 to U+001F and U+007F) have none: their bytes stand for pictures.
std::optional<std::uint8_t> UnicodeToCp437(char32_t codePoint);

// UnicodeToCp437, or else the byte whose glyph is plainly the nearest shape:
// heavy, rounded, dashed and mixed light/heavy box lines become single ones;
// an eighth block that is nearer a half or full block than anything else
// becomes that block; a quadrant block becomes the half block that differs
// from it in the fewest quadrants, an upper or lower half where two tie
// (▘ and ▝ give ▀, ▙ gives ▄; the diagonal ▚ and ▞ have none); and the
// Greek letters that share a glyph with one (β, μ, Ω) that byte. Nothing for
// anything else.
std::optional<std::uint8_t> NearestCp437(char32_t codePoint);

} // namespace ezedudu

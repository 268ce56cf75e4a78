#include "ezedudu/cp437.h"
#include "ezedudu/utf8.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

namespace ezedudu {
namespace {

// Every byte is a glyph of its own, and comes back from its code point.
TEST(Cp437, EveryByteRoundTripsThroughUnicode)
{
    std::set<char32_t> seen;
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t codePoint = Cp437ToUnicode(std::uint8_t(byte));
        EXPECT_TRUE(seen.insert(codePoint).second) << byte << " shares its code point";
        EXPECT_EQ(UnicodeToCp437(codePoint), std::optional<std::uint8_t>(byte)) << byte;
        EXPECT_EQ(NearestCp437(codePoint), std::optional<std::uint8_t>(byte)) << byte;
    }
}

// The glyphs as the IBM PC draws them, checked at the pictures, the edges of
// each run and the glyphs NFOs are made of.
TEST(Cp437, MapsBytesToTheirGlyphs)
{
    const struct {
        std::uint8_t byte;
        char32_t codePoint;
    } cases[] = {
        {0, U'\0'},    {1, U'☺'},   {2, U'☻'},   {9, U'○'},   {10, U'◙'},  {13, U'♪'},  {16, U'►'},
        {17, U'◄'},    {26, U'→'},  {27, U'←'},  {31, U'▼'},  {' ', U' '}, {'~', U'~'}, {127, U'⌂'},
        {128, U'Ç'},   {158, U'₧'}, {169, U'⌐'}, {176, U'░'}, {177, U'▒'}, {178, U'▓'}, {179, U'│'},
        {186, U'║'},   {201, U'╔'}, {206, U'╬'}, {219, U'█'}, {220, U'▄'}, {221, U'▌'}, {222, U'▐'},
        {223, U'▀'},   {224, U'α'}, {225, U'ß'}, {230, U'µ'}, {249, U'∙'}, {250, U'·'}, {254, U'■'},
        {255, U'\xA0'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cp437ToUnicode(c.byte), c.codePoint) << int(c.byte);
}

// Exact glyphs only for UnicodeToCp437; NearestCp437 also takes the shapes a
// viewer would plainly draw alike, and nothing fanciful.
TEST(Cp437, FindsTheNearestShape)
{
    const std::optional<std::uint8_t> none;
    const struct {
        char32_t codePoint;
        std::optional<std::uint8_t> exact;
        std::optional<std::uint8_t> nearest;
    } cases[] = {
        {U'A', 'A', 'A'},
        {U'\n', none, none}, // a control character, not the picture ◙
        {U'\x1B', none, none},
        {U'\x7F', none, none},
        {U'━', none, 0xC4},
        {U'┃', none, 0xB3},
        {U'┏', none, 0xDA},
        {U'┑', none, 0xBF},
        {U'┗', none, 0xC0},
        {U'┛', none, 0xD9},
        {U'┠', none, 0xC3},
        {U'┨', none, 0xB4},
        {U'┯', none, 0xC2},
        {U'┷', none, 0xC1},
        {U'╋', none, 0xC5},
        {U'┿', none, 0xC5},
        {U'╭', none, 0xDA},
        {U'╮', none, 0xBF},
        {U'╯', none, 0xD9},
        {U'╰', none, 0xC0},
        {U'┄', none, 0xC4},
        {U'╏', none, 0xB3},
        {U'╼', none, 0xC4},
        {U'╿', none, 0xB3},
        {U'▘', none, 0xDF},
        {U'▗', none, 0xDC},
        {U'▙', none, 0xDC},
        {U'▜', none, 0xDF},
        {U'▅', none, 0xDC},
        {U'▇', none, 0xDB},
        {U'▍', none, 0xDD},
        {U'β', none, 0xE1},
        {U'μ', none, 0xE6},
        {U'▚', none, none}, // a diagonal pair is as near every half block
        {U'▁', none, none}, // an eighth is nearer nothing than a half
        {U'▆', none, none}, // three quarters lie between a half and the full block
        {U'╴', none, none},
        {U'╱', none, none},
        {U'⠿', none, none},
        {U'😀', none, none},
        {U'ⓐ', none, none},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnicodeToCp437(c.codePoint), c.exact) << std::uint32_t(c.codePoint);
        EXPECT_EQ(NearestCp437(c.codePoint), c.nearest) << std::uint32_t(c.codePoint);
    }
}

// Well-formed text decodes whole and encodes back to the same bytes; the
// first fault is reported where its sequence starts.
TEST(Utf8, DecodesAndLocatesTheFirstFault)
{
    const std::optional<std::size_t> valid;
    const struct {
        const char* name;
        std::string bytes;
        std::u32string codePoints;
        std::optional<std::size_t> firstInvalidByte;
    } cases[] = {
        {"empty", "", U"", valid},
        {"ascii with NUL", std::string("a\0b", 3), std::u32string(U"a\0b", 3), valid},
        {"every length", "A\u00E9\u2588\U0001F600", U"A\u00E9\u2588\U0001F600", valid},
        {"the ends of the range", "\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF",
         U"\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF", valid},
        {"stray continuation", "ab\x80", U"ab", 2},
        {"cut short at the end", "a\xE2\x96", U"a", 1},
        {"cut short by ASCII", "\xE2\x96" "A", U"", 0},
        {"overlong slash", "x\xC0\xAF", U"x", 1},
        {"overlong three bytes", "\xE0\x80\xAF", U"", 0},
        {"overlong four bytes", "\xF0\x8F\xBF\xBF", U"", 0},
        {"surrogate", "ok\xED\xA0\x80", U"ok", 2},
        {"above U+10FFFF", "\xF4\x90\x80\x80", U"", 0},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", U"", 0},
        {"CP437 text", "\xDB\xDB\xB2", U"", 0},
        {"after a good character", "\u2588\xFF", U"\u2588", 3},
    };
    for (const auto& c : cases) {
        const Utf8Text text = DecodeUtf8(c.bytes);
        EXPECT_EQ(text.codePoints, c.codePoints) << c.name;
        EXPECT_EQ(text.firstInvalidByte, c.firstInvalidByte) << c.name;
        if (!c.firstInvalidByte) {
            std::string encoded;
            for (const char32_t codePoint : text.codePoints)
                AppendUtf8(encoded, codePoint);
            EXPECT_EQ(encoded, c.bytes) << c.name;
        }
    }
}

} // namespace
} // namespace ezedudu

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ezedudu {

// One character read from UTF-8: its code point and how many bytes it took;
// a length of 0 says the bytes there are not well-formed UTF-8 (a stray
// continuation byte, a sequence cut short, an overlong form, a surrogate or
// a code point above U+10FFFF).
struct Utf8Character {
    char32_t codePoint = 0;
    std::size_t length = 0;
};

// The character that starts at offset at, which must lie inside bytes.
Utf8Character DecodeUtf8Character(std::string_view bytes, std::size_t at);

// Bytes decoded as UTF-8: every code point when they are well-formed; else
// the code points before the first fault and the offset of the byte where
// the faulty sequence starts.
struct Utf8Text {
    std::u32string codePoints;
    std::optional<std::size_t> firstInvalidByte;
};

Utf8Text DecodeUtf8(std::string_view bytes);

// Appends the UTF-8 form of a code point (at most U+10FFFF, no surrogate).
void AppendUtf8(std::string& out, char32_t codePoint);

// Code points in UTF-8.
std::string EncodeUtf8(std::u32string_view text);

// A character for messages, in UTF-8 and by its code point: "'█' (U+2588)";
// a control character by its code point alone.
std::string DescribeCharacter(char32_t character);

} // namespace ezedudu

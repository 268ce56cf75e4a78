#include "ezedudu/utf8.h"

#include <cstdio>

namespace ezedudu {
namespace {

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

Utf8Character DecodeUtf8Character(std::string_view bytes, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80)
        return {lead, 1};
    // The sequence length, the bits the lead byte carries, and the least
    // code point that needs this many bytes (anything less is overlong).
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, least = 0x10000;
    } else {
        return {};
    }
    if (bytes.size() - at < length)
        return {};
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if (!IsContinuation(next))
            return {};
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    if (codePoint < least || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return {};
    return {codePoint, length};
}

Utf8Text DecodeUtf8(std::string_view bytes)
{
    Utf8Text text;
    text.codePoints.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const Utf8Character character = DecodeUtf8Character(bytes, at);
        if (character.length == 0) {
            text.firstInvalidByte = at;
            break;
        }
        text.codePoints += character.codePoint;
        at += character.length;
    }
    return text;
}

void AppendUtf8(std::string& out, char32_t codePoint)
{
    const auto put = [&out](char32_t bits) { out += static_cast<char>(bits); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | codePoint >> 6);
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | codePoint >> 12);
        put(0x80 | (codePoint >> 6 & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | codePoint >> 18);
        put(0x80 | (codePoint >> 12 & 0x3F));
        put(0x80 | (codePoint >> 6 & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

std::string EncodeUtf8(std::u32string_view text)
{
    std::string utf8;
    for (const char32_t character : text)
        AppendUtf8(utf8, character);
    return utf8;
}

std::string DescribeCharacter(char32_t character)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(character));
    std::string described;
    if (character >= 0x20 && character != 0x7F) {
        described += '\'';
        AppendUtf8(described, character);
        described += "' ";
    }
    return described.append("(").append(code).append(")");
}

} // namespace ezedudu

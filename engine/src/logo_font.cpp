// Reading FIGlet and TOIlet fonts: a header line, comment lines, the 102
// characters every font has (printable ASCII, then Ä Ö Ü ä ö ü ß), then any
// number of characters each introduced by a line holding its code.
#include "ezedudu/logo_font.h"

#include "ezedudu/error.h"
#include "ezedudu/utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>

namespace ezedudu {

namespace {

constexpr std::array<std::int32_t, 7> GermanCodes = {196, 214, 220, 228, 246, 252, 223};
constexpr int RequiredCount = 95 + int(GermanCodes.size());

std::int32_t RequiredCode(int index)
{
    return index < 95 ? 32 + index : GermanCodes[std::size_t(index - 95)];
}

bool IsBlank(char32_t c)
{
    return c == U' ' || c == U'\t' || c == U'\r' || c == U'\v' || c == U'\f';
}

// One UTF-8 character from the front of bytes, or the first byte alone as
// the Latin-1 character of its value when it does not start a well-formed one.
char32_t TakeCharacter(std::string_view& bytes)
{
    const Utf8Character character = DecodeUtf8Character(bytes, 0);
    if (character.length == 0) {
        const char32_t latin1 = static_cast<unsigned char>(bytes.front());
        bytes.remove_prefix(1);
        return latin1;
    }
    bytes.remove_prefix(character.length);
    return character.codePoint;
}

std::u32string Decode(std::string_view bytes)
{
    std::u32string text;
    while (!bytes.empty())
        text += TakeCharacter(bytes);
    return text;
}

std::string Quoted(std::string_view line)
{
    constexpr std::size_t shown = 40;
    std::string quoted = "\"";
    quoted.append(line.substr(0, shown));
    quoted.append(line.size() > shown ? "...\"" : "\"");
    return quoted;
}

// The font's lines one by one, counting them for messages.
class LineReader {
public:
    LineReader(std::string_view fontBytes, const std::string& fontName) : rest(fontBytes), name(fontName) {}

    bool AtEnd() const { return rest.empty(); }
    int Number() const { return number; }

    // The next line without its line end (LF, CR LF or CR).
    std::string_view Next(std::string_view expected)
    {
        if (rest.empty())
            Fail(number + 1, "expected " + std::string(expected) + ", found the end of the file");
        ++number;
        const std::size_t end = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, end);
        std::size_t skip = end == std::string_view::npos ? rest.size() : end + 1;
        if (end != std::string_view::npos && rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n')
            ++skip;
        rest.remove_prefix(skip);
        return line;
    }

    // Whether every line left holds only blanks.
    bool OnlyBlankLinesLeft() const
    {
        return std::all_of(rest.begin(), rest.end(), [](char c) { return IsBlank(char32_t(c)) || c == '\n'; });
    }

    [[noreturn]] void Fail(int line, const std::string& what) const
    {
        throw Error(Error::Kind::UnreadableFont, name + ":" + std::to_string(line) + ": " + what);
    }
    [[noreturn]] void Fail(const std::string& what) const { Fail(number, what); }

private:
    std::string_view rest;
    const std::string& name;
    int number = 0;
};

// Whitespace-separated integers of the header line, after the signature.
class HeaderFields {
public:
    HeaderFields(std::string_view fieldText, LineReader& headerReader) : text(fieldText), reader(headerReader) {}

    bool Empty()
    {
        SkipBlanks();
        return text.empty();
    }

    int Take(const char* what, int least, int most)
    {
        SkipBlanks();
        const std::string_view field = text.substr(0, text.find_first_of(" \t"));
        long long value = 0;
        const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (field.empty() || error != std::errc() || end != field.data() + field.size())
            reader.Fail(std::string("expected the ") + what + " (a whole number) in the header, found " +
                        (field.empty() ? "the end of the line" : Quoted(field)));
        if (value < least || value > most)
            reader.Fail(std::string("expected the ") + what + " from " + std::to_string(least) + " to " +
                        std::to_string(most) + ", found " + std::string(field));
        text.remove_prefix(field.size());
        return int(value);
    }

private:
    void SkipBlanks()
    {
        while (!text.empty() && IsBlank(char32_t(text.front())))
            text.remove_prefix(1);
    }

    std::string_view text;
    LineReader& reader;
};

// A code tag: decimal, octal after a 0, hexadecimal after 0x, each perhaps
// negative, then blanks and perhaps the character's name.
std::optional<std::int32_t> ParseCodeTag(std::string_view line)
{
    std::size_t at = 0;
    while (at < line.size() && IsBlank(char32_t(line[at])))
        ++at;
    const bool negative = at < line.size() && line[at] == '-';
    at += negative ? 1 : 0;
    int base = 10;
    if (line.substr(at, 2) == "0x" || line.substr(at, 2) == "0X")
        base = 16, at += 2;
    else if (line.substr(at, 1) == "0" && at + 1 < line.size() && line[at + 1] >= '0' && line[at + 1] <= '9')
        base = 8, at += 1;
    std::uint32_t magnitude = 0;
    const char* digits = line.data() + at;
    const auto [end, error] = std::from_chars(digits, line.data() + line.size(), magnitude, base);
    if (end == digits || error != std::errc() || (end != line.data() + line.size() && !IsBlank(char32_t(*end))))
        return std::nullopt;
    const std::int64_t code = negative ? -std::int64_t(magnitude) : std::int64_t(magnitude);
    if (code < std::numeric_limits<std::int32_t>::min() || code > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(code);
}

std::string Describe(std::int32_t code)
{
    if (code > 32 && code < 127)
        return "the character '" + std::string(1, char(code)) + "' (code " + std::to_string(code) + ")";
    return "the character with code " + std::to_string(code);
}

} // namespace

LogoFont LogoFont::Parse(std::string_view bytes, std::string name)
{
    LogoFont font;
    font.name = std::move(name);
    LineReader reader(bytes, font.name);

    if (bytes.substr(0, 4) == "PK\x03\x04")
        reader.Fail(1, "the font is zip-compressed; unpack it first (unzip -p FONT > FONT.flf)");
    std::string_view header = reader.Next("the header line");
    if (header.size() < 6 || (header.substr(0, 4) != "flf2" && header.substr(0, 4) != "tlf2"))
        reader.Fail("expected a FIGlet or TOIlet font, whose first line starts with \"flf2a\" or \"tlf2a\"");
    header.remove_prefix(5);
    font.hardblank = TakeCharacter(header);
    if (IsBlank(font.hardblank) || font.hardblank == 0)
        reader.Fail("expected a hardblank character after the signature, found a blank");

    HeaderFields fields(header, reader);
    font.height = fields.Take("height", 1, MaxHeight);
    fields.Take("baseline", std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    fields.Take("maximum line length", 0, std::numeric_limits<int>::max());
    const int oldLayout = fields.Take("old layout", -1, 63);
    const int commentLines = fields.Take("number of comment lines", 0, std::numeric_limits<int>::max());
    if (!fields.Empty())
        font.rightToLeft = fields.Take("print direction", 0, 1) == 1;
    int fullLayout = oldLayout < 0 ? 0 : oldLayout == 0 ? 64 : 128 | oldLayout;
    if (!fields.Empty())
        fullLayout = fields.Take("full layout", 0, 32767);
    if (!fields.Empty())
        fields.Take("number of code-tagged characters", 0, std::numeric_limits<int>::max());
    font.layout = (fullLayout & 128) ? Layout::Smushing : (fullLayout & 64) ? Layout::Fitting : Layout::FullWidth;
    font.smushRules = unsigned(fullLayout) & 63u;

    for (int i = 0; i < commentLines; ++i) {
        if (reader.AtEnd())
            reader.Fail(reader.Number() + 1, "expected " + std::to_string(commentLines - i) +
                                                 " more comment lines (as the header says), found the end of the file");
        reader.Next("");
    }

    // Reads one character's rows, each ending in one or more endmarks (its
    // last character after any trailing blanks), all of one width.
    const auto readCharacter = [&](std::int32_t code) {
        const std::size_t start = font.subCharacters.size();
        int width = -1;
        for (int row = 0; row < font.height; ++row) {
            if (reader.AtEnd())
                reader.Fail(reader.Number() + 1, "expected row " + std::to_string(row + 1) + " of " + Describe(code) +
                                                     ", found the end of the file");
            std::u32string line = Decode(reader.Next(""));
            while (!line.empty() && IsBlank(line.back()))
                line.pop_back();
            if (!line.empty())
                line.erase(line.find_last_not_of(line.back()) + 1);
            const int rowWidth = int(std::min<std::size_t>(line.size(), MaxCharacterWidth + 1));
            if (rowWidth > MaxCharacterWidth)
                reader.Fail(Describe(code) + " is wider than " + std::to_string(MaxCharacterWidth) + " columns");
            if (width >= 0 && rowWidth != width)
                reader.Fail("expected " + std::to_string(width) + " columns before the endmark in this row of " +
                            Describe(code) + ", as in its first row, found " + std::to_string(rowWidth));
            width = rowWidth;
            font.subCharacters += line;
        }
        font.characters.push_back({code, start, width});
    };

    for (int i = 0; i < RequiredCount; ++i)
        readCharacter(RequiredCode(i));
    while (!reader.AtEnd() && !reader.OnlyBlankLinesLeft()) {
        const std::string_view tag = reader.Next("a character code");
        const std::optional<std::int32_t> code = ParseCodeTag(tag);
        if (!code || *code == -1)
            reader.Fail("expected a character code (decimal, 0 octal or 0x hexadecimal, not -1) and its name, found " +
                        Quoted(tag));
        readCharacter(*code);
    }

    // Where a code comes twice, the later character counts.
    std::stable_sort(font.characters.begin(), font.characters.end(),
                     [](const Character& a, const Character& b) { return a.code < b.code; });
    const auto last = std::unique(font.characters.rbegin(), font.characters.rend(),
                                  [](const Character& a, const Character& b) { return a.code == b.code; });
    font.characters.erase(font.characters.begin(), last.base());
    return font;
}

const LogoFont::Character* LogoFont::Find(char32_t code) const
{
    const auto found = std::lower_bound(characters.begin(), characters.end(), std::int64_t(code),
                                        [](const Character& c, std::int64_t wanted) { return c.code < wanted; });
    return found != characters.end() && found->code == std::int64_t(code) ? &*found : nullptr;
}

std::u32string_view LogoFont::Row(const Character& character, int row) const
{
    return std::u32string_view(subCharacters).substr(character.start + std::size_t(row) * std::size_t(character.width),
                                                     std::size_t(character.width));
}

} // namespace ezedudu

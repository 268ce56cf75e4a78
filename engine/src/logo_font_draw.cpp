// Laying a font's characters side by side as FIGlet does: each new
// character moves towards the line until its sub-characters touch the line's
// (fitting), or one column further where the font's rules let the two
// touching sub-characters become one (smushing).
#include "ezedudu/logo_font.h"

#include "ezedudu/cp437.h"
#include "ezedudu/error.h"
#include "ezedudu/utf8.h"

#include <algorithm>
#include <optional>
#include <string>

namespace ezedudu {

namespace {

constexpr char32_t Blank = U' ';

// Smushing rule 3 ranks these families; the later family wins.
int HierarchyClass(char32_t c)
{
    switch (c) {
    case U'|': return 1;
    case U'/': case U'\\': return 2;
    case U'[': case U']': return 3;
    case U'{': case U'}': return 4;
    case U'(': case U')': return 5;
    case U'<': case U'>': return 6;
    default: return 0;
    }
}

std::string Utf8(std::u32string_view text)
{
    std::string bytes;
    for (const char32_t c : text)
        AppendUtf8(bytes, c);
    return bytes;
}

std::string CodePointName(char32_t c)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string name = "U+";
    for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4)
        name += digits[(c >> shift) & 0xF];
    return name;
}

// Bytes 1 to 31 are pictures in code page 437 (☺ ♥ ► ...), but viewers
// still act on these: NUL, bell, backspace, tab, line ends, form feed, the
// end-of-file mark and escape.
bool IsControlToViewers(std::uint8_t byte)
{
    switch (byte) {
    case 0: case 7: case 8: case 9: case 10: case 12: case 13: case 26: case 27: return true;
    default: return false;
    }
}

} // namespace

// The lines drawn so far, and the width of the character drawn last.
class LogoFont::Line {
public:
    explicit Line(const LogoFont& lineFont) : font(lineFont), rows(std::size_t(lineFont.height)) {}

    int Width() const { return int(rows[0].size()); }

    void Add(const Character& character)
    {
        const int overlap = Overlap(character);
        for (int row = 0; row < font.height; ++row) {
            const std::u32string_view glyph = font.Row(character, row);
            rows[std::size_t(row)] = font.rightToLeft ? Joined(glyph, rows[std::size_t(row)], overlap, character.width)
                                                      : Joined(rows[std::size_t(row)], glyph, overlap, character.width);
        }
        previousWidth = character.width;
    }

    std::vector<std::u32string> Finished() &&
    {
        for (std::u32string& row : rows)
            std::replace(row.begin(), row.end(), font.hardblank, Blank);
        return std::move(rows);
    }

private:
    // How many columns the new character may share with the line: the blanks
    // between them in the row where they come closest, plus one where the
    // sub-characters meeting there smush; never more than the character's width.
    int Overlap(const Character& character) const
    {
        if (font.layout == Layout::FullWidth)
            return 0;
        int overlap = character.width;
        for (int row = 0; row < font.height; ++row) {
            const std::u32string_view line = rows[std::size_t(row)];
            const std::u32string_view glyph = font.Row(character, row);
            const std::u32string_view left = font.rightToLeft ? glyph : line;
            const std::u32string_view right = font.rightToLeft ? line : glyph;
            const std::size_t leftInk = left.find_last_not_of(Blank);
            const std::size_t rightInk = right.find_first_not_of(Blank);
            int gap = int(left.size() - (leftInk == std::u32string_view::npos ? 0 : leftInk + 1)) +
                      int(rightInk == std::u32string_view::npos ? right.size() : rightInk);
            if (leftInk != std::u32string_view::npos && rightInk != std::u32string_view::npos &&
                Smushed(left[leftInk], right[rightInk], character.width))
                ++gap;
            overlap = std::min(overlap, gap);
        }
        return overlap;
    }

    // Left and right side by side, sharing `overlap` columns. Where the
    // overlap reaches past the start of left or the end of right (the first
    // character, drawn against nothing), the columns there are blank by
    // construction and are dropped.
    std::u32string Joined(std::u32string_view left, std::u32string_view right, int overlap, int width) const
    {
        const int shared = std::min<int>(overlap, int(left.size()));
        std::u32string joined(left.substr(0, left.size() - std::size_t(shared)));
        const int end = std::min<int>(overlap, int(right.size()));
        for (int k = overlap - shared; k < end; ++k) {
            const char32_t l = left[left.size() - std::size_t(overlap - k)];
            const char32_t r = right[std::size_t(k)];
            joined += l == Blank ? r : r == Blank ? l : Smushed(l, r, width).value_or(r);
        }
        if (std::size_t(overlap) < right.size())
            joined += right.substr(std::size_t(overlap));
        return joined;
    }

    // What two touching sub-characters become under the font's smushing, if
    // anything. Characters narrower than two columns only ever fit.
    std::optional<char32_t> Smushed(char32_t left, char32_t right, int width) const
    {
        const char32_t hardblank = font.hardblank;
        if (font.layout != Layout::Smushing || previousWidth < 2 || width < 2)
            return std::nullopt;
        const unsigned rules = font.smushRules;
        if (rules == 0) {
            // Universal smushing: the later character's sub-character shows,
            // except that a hardblank never covers a visible one.
            if (left == hardblank)
                return right;
            if (right == hardblank)
                return left;
            return font.rightToLeft ? left : right;
        }
        if ((rules & 32) && left == hardblank && right == hardblank)
            return left;
        if (left == hardblank || right == hardblank)
            return std::nullopt;
        if ((rules & 1) && left == right)
            return left;
        if (rules & 2) {
            if (left == U'_' && HierarchyClass(right) != 0)
                return right;
            if (right == U'_' && HierarchyClass(left) != 0)
                return left;
        }
        if (rules & 4) {
            const int leftClass = HierarchyClass(left);
            const int rightClass = HierarchyClass(right);
            if (leftClass != 0 && rightClass != 0 && leftClass != rightClass)
                return leftClass > rightClass ? left : right;
        }
        if (rules & 8) {
            const std::u32string pair{left, right};
            if (pair == U"[]" || pair == U"][" || pair == U"{}" || pair == U"}{" || pair == U"()" || pair == U")(")
                return U'|';
        }
        if (rules & 16) {
            if (left == U'/' && right == U'\\')
                return U'|';
            if (left == U'\\' && right == U'/')
                return U'Y';
            if (left == U'>' && right == U'<')
                return U'X';
        }
        return std::nullopt;
    }

    const LogoFont& font;
    std::vector<std::u32string> rows;
    int previousWidth = 0;
};

std::vector<std::u32string> LogoFont::Draw(std::u32string_view text, int maxWidth) const
{
    Line line(*this);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Character* character = Find(text[i]);
        if (character == nullptr)
            character = Find(0);
        if (character == nullptr)
            throw Error(Error::Kind::UndrawableText, name + ": the font has no character \"" + Utf8(text.substr(i, 1)) +
                                                         "\" (" + CodePointName(text[i]) + ")");
        line.Add(*character);
        if (line.Width() > maxWidth)
            throw Error(Error::Kind::UndrawableText,
                        name + ": \"" + Utf8(text) + "\" drawn in this font is wider than the " +
                            std::to_string(maxWidth) + " columns available (its first " + std::to_string(i + 1) +
                            " characters already take " + std::to_string(line.Width()) + ")");
    }
    return std::move(line).Finished();
}

std::vector<std::string> LogoFont::DrawCp437(std::u32string_view text, int maxWidth) const
{
    std::vector<std::string> lines;
    for (const std::u32string& row : Draw(text, maxWidth)) {
        std::string& line = lines.emplace_back();
        for (const char32_t c : row) {
            const std::optional<std::uint8_t> byte = NearestCp437(c);
            if (!byte || IsControlToViewers(*byte))
                throw Error(Error::Kind::UndrawableText,
                            name + ": the font draws \"" + Utf8(std::u32string(1, c)) + "\" (" + CodePointName(c) + "), " +
                                (byte ? "whose code page 437 byte a viewer takes for a control code"
                                      : "which code page 437 lacks, with no plainly nearest shape there"));
            line += char(*byte);
        }
    }
    return lines;
}

} // namespace ezedudu

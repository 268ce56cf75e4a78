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

// The lines drawn so far, and the width of the character drawn last. The
// rows grow at their end: for a right-to-left font they are held mirrored,
// with each new character mirrored too, and turned round when finished, so
// adding a character costs its own width whichever way the font runs.
class LogoFont::Line {
public:
    explicit Line(const LogoFont& lineFont)
        : font(lineFont), rows(std::size_t(lineFont.height)), glyph(std::size_t(lineFont.height))
    {
    }

    int Width() const { return int(rows[0].size()); }

    void Add(const Character& character)
    {
        for (int row = 0; row < font.height; ++row) {
            const std::u32string_view source = font.Row(character, row);
            glyph[std::size_t(row)].assign(source.begin(), source.end());
            if (font.rightToLeft)
                std::reverse(glyph[std::size_t(row)].begin(), glyph[std::size_t(row)].end());
        }
        const int overlap = Overlap(character.width);
        for (int row = 0; row < font.height; ++row)
            Join(rows[std::size_t(row)], glyph[std::size_t(row)], overlap, character.width);
        previousWidth = character.width;
    }

    std::vector<std::u32string> Finished() &&
    {
        for (std::u32string& row : rows) {
            std::replace(row.begin(), row.end(), font.hardblank, Blank);
            if (font.rightToLeft)
                std::reverse(row.begin(), row.end());
        }
        return std::move(rows);
    }

private:
    // How many columns the new character may share with the line: the blanks
    // between them in the row where they come closest, plus one where the
    // sub-characters meeting there smush; never more than the character's width.
    int Overlap(int width) const
    {
        if (font.layout == Layout::FullWidth)
            return 0;
        int overlap = width;
        for (int row = 0; row < font.height; ++row) {
            const std::u32string& line = rows[std::size_t(row)];
            const std::u32string& added = glyph[std::size_t(row)];
            const std::size_t lineInk = line.find_last_not_of(Blank);
            const std::size_t addedInk = added.find_first_not_of(Blank);
            int gap = int(line.size() - (lineInk == std::u32string::npos ? 0 : lineInk + 1)) +
                      int(addedInk == std::u32string::npos ? added.size() : addedInk);
            if (lineInk != std::u32string::npos && addedInk != std::u32string::npos &&
                Meeting(line[lineInk], added[addedInk], width))
                ++gap;
            overlap = std::min(overlap, gap);
        }
        return overlap;
    }

    // Appends the new character's row to the line's, sharing `overlap`
    // columns. Where the overlap reaches past the line's start (the first
    // character, drawn against nothing) the character's columns there are
    // blank by construction and are dropped.
    void Join(std::u32string& line, const std::u32string& added, int overlap, int width) const
    {
        const int shared = std::min<int>(overlap, int(line.size()));
        const std::size_t start = line.size() - std::size_t(shared);
        for (int k = overlap - shared; k < overlap; ++k) {
            char32_t& old = line[start + std::size_t(k - (overlap - shared))];
            const char32_t now = added[std::size_t(k)];
            old = old == Blank ? now : now == Blank ? old : Meeting(old, now, width).value_or(now);
        }
        line.append(added, std::size_t(overlap));
    }

    // What the line's sub-character and the new character's become where they
    // meet, in the font's own left-to-right order.
    std::optional<char32_t> Meeting(char32_t old, char32_t now, int width) const
    {
        return font.rightToLeft ? Smushed(now, old, width) : Smushed(old, now, width);
    }

    // What two touching sub-characters become under the font's smushing, if
    // anything. Characters narrower than two columns only ever fit.
    std::optional<char32_t> Smushed(char32_t left, char32_t right, int width) const
    {
        const char32_t hard = font.hardblank;
        if (font.layout != Layout::Smushing || previousWidth < 2 || width < 2)
            return std::nullopt;
        const unsigned rules = font.smushRules;
        if (rules == 0) {
            // Universal smushing: the later character's sub-character shows,
            // except that a hardblank never covers a visible one.
            if (left == hard)
                return right;
            if (right == hard)
                return left;
            return font.rightToLeft ? left : right;
        }
        if ((rules & 32) && left == hard && right == hard)
            return left;
        if (left == hard || right == hard)
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
    std::vector<std::u32string> glyph; // the character being added, mirrored for a right-to-left font
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
            throw Error(Error::Kind::UndrawableText, name + ": the font has no character " + DescribeCharacter(text[i]));
        line.Add(*character);
        if (line.Width() > maxWidth)
            throw Error(Error::Kind::UndrawableText,
                        name + ": \"" + EncodeUtf8(text) + "\" drawn in this font is wider than the " +
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
                            name + ": the font draws " + DescribeCharacter(c) + ", " +
                                (byte ? "whose code page 437 byte a viewer takes for a control code"
                                      : "which code page 437 lacks, with no plainly nearest shape there"));
            line += char(*byte);
        }
    }
    return lines;
}

} // namespace ezedudu

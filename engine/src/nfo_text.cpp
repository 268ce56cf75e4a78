#include "ezedudu/nfo_text.h"

#include "ezedudu/glyph_ramp.h"

#include <algorithm>

namespace ezedudu {

std::string NfoFrame(std::int64_t cols, std::int64_t rows)
{
    std::string text;
    text.reserve(static_cast<std::size_t>(NfoLineStart(cols, rows)) + 2 * LineEnd.size() + ClosingLine.size());
    for (std::int64_t row = 0; row < rows; ++row) {
        text.append(static_cast<std::size_t>(cols), ' ');
        text += LineEnd;
    }
    text += LineEnd;
    text += ClosingLine;
    text += LineEnd;
    return text;
}

ArtSize MeasureArt(std::string_view nfo)
{
    // The art's lines are all but the last two, the empty and the closing line.
    const auto lines = std::int64_t(std::count(nfo.begin(), nfo.end(), '\n'));
    const std::int64_t rows = std::max<std::int64_t>(0, lines - 2);
    return {rows > 0 ? std::int64_t(nfo.find(LineEnd)) : 0, rows};
}

std::string NfoToUtf8(std::string_view nfo)
{
    std::string utf8;
    utf8.reserve(nfo.size() * 3);
    for (const char byte : nfo) {
        if (const GlyphBand* glyph = GlyphBandOf(static_cast<std::uint8_t>(byte)))
            utf8 += glyph->utf8;
        else
            utf8 += byte;
    }
    return utf8;
}

} // namespace ezedudu

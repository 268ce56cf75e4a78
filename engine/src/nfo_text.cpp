#include "ezedudu/nfo_text.h"

#include "ezedudu/glyph_ramp.h"

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

std::filesystem::path NfoPathFor(const std::filesystem::path& picture)
{
    std::filesystem::path nfo = picture;
    nfo.replace_extension(".nfo");
    return nfo;
}

std::string NfoToUtf8(std::string_view nfo)
{
    std::string utf8;
    utf8.reserve(nfo.size() * 3);
    for (const char byte : nfo) {
        const GlyphBand* glyph = nullptr;
        for (const GlyphBand& band : GlyphBands)
            if (static_cast<unsigned char>(byte) == band.cp437)
                glyph = &band;
        if (glyph)
            utf8 += glyph->utf8;
        else
            utf8 += byte;
    }
    return utf8;
}

} // namespace ezedudu

#include "ezedudu/nfo_text.h"

#include "ezedudu/cp437.h"
#include "ezedudu/utf8.h"

#include <algorithm>
#include <vector>

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
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < nfo.size();) {
        const std::size_t end = std::min(nfo.find(LineEnd, start), nfo.size());
        lines.push_back(nfo.substr(start, end - start));
        start = end + LineEnd.size();
    }
    // An empty line before the last one sets the closing line apart.
    const bool closed = lines.size() >= 2 && lines[lines.size() - 2].empty();
    const std::size_t artLines = closed ? lines.size() - 2 : lines.size();
    std::size_t widest = 0;
    for (std::size_t line = 0; line < artLines; ++line)
        widest = std::max(widest, lines[line].size());
    return {std::int64_t(widest), std::int64_t(artLines)};
}

std::string NfoToUtf8(std::string_view nfo)
{
    std::string utf8;
    utf8.reserve(nfo.size() * 3);
    for (const char byte : nfo) {
        if (byte == '\r' || byte == '\n' || byte == '\t')
            utf8 += byte;
        else
            AppendUtf8(utf8, Cp437ToUnicode(static_cast<std::uint8_t>(byte)));
    }
    return utf8;
}

} // namespace ezedudu

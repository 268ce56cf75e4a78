#include "ezedudu/layout.h"

#include "ezedudu/nfo_text.h"

#include <algorithm>

namespace ezedudu {
namespace {

// Centring measures the line before trimming, so that every line of the art
// moves alike; a line trimmed to nothing gets no indent either.
void AppendLine(std::string& text, std::string_view line, const LayoutOptions& layout)
{
    const std::string_view kept = layout.trim ? line.substr(0, line.find_last_not_of(' ') + 1) : line;
    if (layout.center && !kept.empty())
        text.append(static_cast<std::size_t>(std::max<std::int64_t>(0, (*layout.center - std::int64_t(line.size())) / 2)),
                    ' ');
    text += kept;
    text += LineEnd;
}

} // namespace

std::string LayOut(std::string_view nfo, const LayoutOptions& layout)
{
    if (layout.ChangesNothing())
        return std::string(nfo);
    const ArtSize art = MeasureArt(nfo);
    std::string text;
    text.reserve(nfo.size());
    for (std::int64_t row = 0; row < art.rows; ++row)
        AppendLine(text, nfo.substr(static_cast<std::size_t>(NfoLineStart(art.columns, row)),
                                    static_cast<std::size_t>(art.columns)),
                   layout);
    if (!layout.signature)
        return text;
    text += LineEnd;
    // The closing line keeps its indent unless it is centred or replaced.
    const std::string_view closing = layout.signature == DefaultSignature && !layout.center
                                         ? ClosingLine
                                         : std::string_view(*layout.signature);
    AppendLine(text, closing, layout);
    return text;
}

} // namespace ezedudu

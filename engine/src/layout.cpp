#include "ezedudu/layout.h"

#include "ezedudu/nfo_text.h"

#include <algorithm>

namespace ezedudu {
namespace {

// Centring measures the line before trimming, so that every line of the art
// moves alike; a line trimmed to nothing gets no indent either.
void AddLine(Page& page, std::string_view line, const LayoutOptions& layout)
{
    const std::string_view kept = layout.trim ? line.substr(0, line.find_last_not_of(' ') + 1) : line;
    if (!layout.center || kept.empty())
        return page.AddLine(kept);
    std::string indented(static_cast<std::size_t>(std::max<std::int64_t>(0, (*layout.center - std::int64_t(line.size())) / 2)),
                         ' ');
    page.AddLine(indented += kept);
}

} // namespace

Page LayOut(Page art, const LayoutOptions& layout)
{
    Page page;
    if (layout.center || layout.trim) {
        for (std::int64_t line = 0; line < art.LineCount(); ++line)
            AddLine(page, art.Line(line), layout);
    } else {
        page = std::move(art); // the art's lines as they are, never copied
    }
    if (!layout.signature)
        return page;
    page.AddLine({});
    // The closing line keeps its indent unless it is centred or replaced.
    const std::string_view closing = layout.signature == DefaultSignature && !layout.center
                                         ? ClosingLine
                                         : std::string_view(*layout.signature);
    AddLine(page, closing, layout);
    return page;
}

} // namespace ezedudu

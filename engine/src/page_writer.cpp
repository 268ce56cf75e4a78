#include "ezedudu/page_writer.h"

#include "ezedudu/glyph_ramp.h"

namespace ezedudu {

std::string WritePage(Page page, TextEncoding encoding)
{
    if (encoding == TextEncoding::Cp437)
        return std::move(page).TakeCp437();
    // Cells never hold CR or LF, so those bytes are the line ends.
    const std::string_view cp437 = page.Cp437();
    std::string utf8;
    utf8.reserve(cp437.size() * 3);
    for (const char byte : cp437) {
        const std::string_view glyph = Utf8Of(static_cast<std::uint8_t>(byte));
        if (glyph.empty())
            utf8 += byte;
        else
            utf8 += glyph;
    }
    return utf8;
}

} // namespace ezedudu

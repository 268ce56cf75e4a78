#include "ezedudu/page_writer.h"

#include "ezedudu/cp437.h"
#include "ezedudu/utf8.h"

namespace ezedudu {

std::string WritePage(Page page, TextEncoding encoding)
{
    if (encoding == TextEncoding::Cp437)
        return std::move(page).TakeCp437();
    // Cells never hold CR or LF, so those bytes are the line ends; a tab
    // stays a tab, every other byte becomes its glyph (16 is ►).
    const std::string_view cp437 = page.Cp437();
    std::string utf8;
    utf8.reserve(cp437.size() * 3);
    for (const char byte : cp437) {
        if (byte == '\r' || byte == '\n' || byte == '\t')
            utf8 += byte;
        else
            AppendUtf8(utf8, Cp437ToUnicode(static_cast<std::uint8_t>(byte)));
    }
    return utf8;
}

} // namespace ezedudu

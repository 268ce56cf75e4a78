#include "reference_nfo.h"

#include "ezedudu/basMain.h"
#include "ezedudu/convert.h"
#include "ezedudu/glyph_ramp.h"
#include "ezedudu/layout.h"
#include "ezedudu/page_writer.h"

#include <cstdio>

namespace ezedudu {

std::optional<std::string> NfoOf(std::optional<Page> art)
{
    if (!art)
        return std::nullopt;
    return WritePage(LayOut(std::move(*art), {}), TextEncoding::Cp437);
}

Page PageOf(std::initializer_list<std::string_view> lines)
{
    Page page;
    for (const std::string_view line : lines)
        page.AddLine(line);
    return page;
}

std::string ReferenceNfo(const Canvas& canvas)
{
    std::string text;
    const std::int64_t cols = canvas.Width() / 2;
    const std::int64_t rows = canvas.Height() / 3;
    for (std::int64_t row = 0; row < rows; ++row) {
        for (std::int64_t col = 0; col < cols; ++col) {
            const ColourValue block = basMain::GetBlockColour(canvas, float(2 * col), float(3 * row), 2, 3);
            ColourTriple grey;
            basMain::SplitColour(grey, basMain::ToGreyColour(block));
            text += static_cast<char>(GlyphRamp(grey.red));
        }
        text += "\r\n";
    }
    return text + "\r\n" + std::string(27, ' ') + "-created with tavix's zor ezedudu-\r\n";
}

std::string Hex(const std::string& bytes)
{
    std::string hex;
    for (const char byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X ", static_cast<unsigned char>(byte));
        hex += pair;
    }
    return hex;
}

} // namespace ezedudu

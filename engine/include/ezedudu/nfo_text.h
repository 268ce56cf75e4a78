#pragma once

#include "ezedudu/art_size.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ezedudu {

// The last line of every NFO file, without its line end.
inline constexpr std::string_view ClosingLine = "                           -created with tavix's zor ezedudu-";

inline constexpr std::string_view LineEnd = "\r\n";

// An NFO file for art of cols x rows characters with every picture line still
// blank (spaces): rows lines of cols bytes, each ending in CR LF, an empty
// line, and the closing line with its CR LF. Its size is
// rows * (cols + 2) + 65 bytes.
std::string NfoFrame(std::int64_t cols, std::int64_t rows);

// Where picture line row starts in an NFO frame of cols columns.
constexpr std::int64_t NfoLineStart(std::int64_t cols, std::int64_t row)
{
    return row * (cols + std::int64_t(LineEnd.size()));
}

// The size of the art in an NFO file's text: its widest line and the
// number of its lines, which end where an empty line sets the closing line
// apart (or with the text, when there is none).
ArtSize MeasureArt(std::string_view nfo);

// The NFO bytes as UTF-8 for terminals and editors that do not speak code
// page 437: CR, LF and TAB stay line ends and tabs, every other byte becomes
// its glyph (so byte 16 is ►, not a control character).
std::string NfoToUtf8(std::string_view nfo);

} // namespace ezedudu

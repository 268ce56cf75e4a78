#pragma once

#include "ezedudu/page.h"

#include <cstdint>
#include <string_view>

namespace ezedudu {

// The last line of every NFO file, without its line end.
inline constexpr std::string_view ClosingLine = "                           -created with tavix's zor ezedudu-";

// Where art line row starts in a block of art lines cols cells wide
// (Page::AddBlankLines).
constexpr std::int64_t NfoLineStart(std::int64_t cols, std::int64_t row)
{
    return row * (cols + std::int64_t(LineEnd.size()));
}

} // namespace ezedudu

#pragma once

#include "ezedudu/page_layout.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ezedudu {

enum class CheckSeverity {
    Warning, // shows right, but is better changed
    Problem, // will not show as meant in an NFO viewer
};

// One thing found in a file, at a line and a column that count from 1; a
// column counts bytes, which a viewer shows as one character each.
struct CheckFinding {
    std::int64_t line;
    std::int64_t column;
    CheckSeverity severity;
    std::string message;

    bool operator==(const CheckFinding&) const = default;
};

// Whether a file will show in an NFO viewer as its author meant, in order
// of position. Problems: UTF-8 text (viewers read code page 437 and show
// mojibake), lines wider than the page, more lines than a DIZ may have,
// mixed line ends or CR alone, and the control bytes that viewers act on
// instead of showing their pictures: ESC, BEL, and a 0x1A that text follows.
// Warnings, each once with how often it occurs: LF alone as every line end,
// tabs, spaces at line ends. A SAUCE record at the end is not text; the
// pictures of bytes 1 to 31 (☺ ► ◄ ...) are text like any other.
std::vector<CheckFinding> CheckNfo(std::string_view file, const PageShape& page);

} // namespace ezedudu

#pragma once

#include "ezedudu/page.h"

#include <string>

namespace ezedudu {

enum class TextEncoding {
    Cp437, // one byte a cell, as NFO viewers read it
    Utf8,  // each cell's character in UTF-8, for terminals and editors without code page 437
};

// The page's file: every line's cells in the encoding, each line ending in
// CR LF. Move the page in to write code page 437 without a copy.
std::string WritePage(Page page, TextEncoding encoding);

} // namespace ezedudu

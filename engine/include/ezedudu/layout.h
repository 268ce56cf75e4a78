#pragma once

#include "ezedudu/page.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ezedudu {

// The closing line's words; the file's own closing line sets them 27 spaces
// in.
inline constexpr std::string_view DefaultSignature = "-created with tavix's zor ezedudu-";

// How the lines of an NFO file are laid out. The defaults give the file as
// it always was: the art as it is, an empty line, the closing line.
struct LayoutOptions {
    std::optional<std::int64_t> center {}; // centre every line within this many columns
    bool trim = false;                  // drop the spaces at the ends of lines
    // The closing line's text, or none: then the empty line before it goes too.
    std::optional<std::string> signature = std::string(DefaultSignature);
};

// The NFO file of the art's lines: each line laid out, then an empty line and
// the closing line, unless there is no signature.
Page LayOut(Page art, const LayoutOptions& layout);

} // namespace ezedudu

#pragma once

#include <span>
#include <string_view>

namespace ezedudu {

// The fonts compiled in from resources/fonts (written at build time by
// engine/cmake/embed_fonts.cmake): their names, sorted, and at the same
// index the text of each one's file.
extern const std::span<const std::string_view> BundledFontNameList;
extern const std::span<const std::string_view> BundledFontTextList;

} // namespace ezedudu

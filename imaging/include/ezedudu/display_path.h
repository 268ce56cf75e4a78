#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ezedudu {

// Text for a message on a terminal: control characters (C0, DEL, C1), the
// marks that reorder text (U+202A-U+202E, U+2066-U+2069) and bytes that are
// not UTF-8 are shown as \xNN escapes of their bytes, so a file name can
// neither move the cursor, recolour the terminal nor pass for another text.
std::string DisplayText(std::string_view text);

// A path, as every message shows it (DisplayText of its bytes).
std::string DisplayPath(const std::filesystem::path& path);

} // namespace ezedudu

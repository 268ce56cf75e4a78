#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ezedudu {

// Where a picture's NFO file goes: beside it, with the file name's extension
// replaced by ".nfo" (added when there is none). "logo.bmp" gives "logo.nfo",
// "logo" gives "logo.nfo" in the same folder.
std::filesystem::path NfoPathFor(const std::filesystem::path& picture);

// The NFO bytes as UTF-8 for terminals and editors that do not speak code
// page 437: the four shade glyphs become U+2588, U+2593, U+2592 and U+2591;
// ASCII passes through.
std::string NfoToUtf8(std::string_view nfo);

} // namespace ezedudu

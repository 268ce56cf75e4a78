#pragma once

#include <filesystem>
#include <string_view>

namespace ezedudu {

// Writes the NFO bytes to path all or nothing: they go to a temporary file in
// the same folder that replaces path only once complete, so a failed run
// leaves no partial file and any earlier file untouched.
// Throws Error (OutputFailed) naming the path and the reason.
void WriteNfoFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace ezedudu

#pragma once

#include <filesystem>
#include <string_view>

namespace ezedudu {

// Writes the NFO bytes to path all or nothing: they go to a temporary file in
// the same folder that replaces path only once complete, so a failed run
// leaves no partial file and any earlier file untouched.
// Throws Error (OutputFailed) naming the path and the reason.
void WriteNfoFile(const std::filesystem::path& path, std::string_view bytes);

// Whether the two paths name one file: through a link or another spelling
// of the same place, or the same place where no file exists yet.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Throws Error (Refused) when output is the picture itself, which writing
// the art or its preview there would destroy.
void RefuseToOverwrite(const std::filesystem::path& picture, const std::filesystem::path& output);

} // namespace ezedudu

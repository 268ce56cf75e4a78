#pragma once

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

class QSaveFile;

namespace ezedudu {

// Where a picture's NFO file goes: beside it, with the file name's extension
// replaced by ".nfo" (added when there is none). "logo.bmp" gives "logo.nfo",
// "logo" gives "logo.nfo" in the same folder.
std::filesystem::path NfoPathFor(const std::filesystem::path& picture);

// Whether the two paths name one file: through a link or another spelling
// of the same place, or the same place where no file exists yet.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Files that take their places together, all or none: each is written whole
// to a temporary file beside its place, and only once every one is complete
// do they replace their places. A failure before then leaves every earlier
// file as it was and no partial file behind.
class OutputFiles {
public:
    OutputFiles();
    ~OutputFiles();

    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // Writes the bytes meant for path. Throws Error (OutputFailed) naming the
    // path and the reason.
    void Add(const std::filesystem::path& path, std::string_view bytes);

    // Puts every file in its place. Throws as Add does.
    void Commit();

private:
    struct Pending;
    std::vector<std::unique_ptr<Pending>> pending;
};

// Writes the NFO bytes to path all or nothing (OutputFiles with one file).
void WriteNfoFile(const std::filesystem::path& path, std::string_view bytes);

// Throws Error (Refused) when output is the picture itself, which writing
// the art or its preview there would destroy.
void RefuseToOverwrite(const std::filesystem::path& picture, const std::filesystem::path& output);

} // namespace ezedudu

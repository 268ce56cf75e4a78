#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace ezedudu {

// Where a picture's NFO file goes: beside it, with the file name's extension
// replaced by ".nfo" (added when there is none). "logo.bmp" gives "logo.nfo",
// "logo" gives "logo.nfo" in the same folder.
std::filesystem::path NfoPathFor(const std::filesystem::path& picture);

// Whether the two paths name one file: through a link or another spelling
// of the same place, or the same place where no file exists yet.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Which file a path names: its device and inode.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
struct FileIdentityHash {
    std::size_t operator()(const FileIdentity& file) const noexcept;
};
// The identity of the file at path, through links; none when there is none.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path);

// Whether path is the regular file that standard input reads (a picture
// redirected in with "< FILE"), which writing there would destroy.
bool IsStandardInput(const std::filesystem::path& path);

// Files that take their places together, all or none. Each regular file is
// written whole, flushed to the disk and closed into a temporary file beside
// its place; Commit then renames them into their places, keeping every
// earlier file under a second name until the last is in place, so that a
// failure part way puts every earlier file back. An existing place that is
// not a regular file (a device, a FIFO) is written straight into, last, and
// never renamed over; what it took cannot be taken back.
//
// A link at a place is followed only where the kernel's protected_symlinks
// rule would follow it: when it belongs to this user or to the owner of its
// folder, or when its folder is not a shared one (sticky and world-writable,
// like /tmp). Any other is refused, so that nobody can aim another user's
// output at a file of theirs by planting a link where it will be written.
class OutputFiles {
public:
    OutputFiles();
    ~OutputFiles(); // removes the temporary files of an uncommitted set

    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // Writes the bytes meant for path. Throws Error (OutputFailed, or
    // Refused for a link it will not follow) naming the path and the reason.
    void Add(const std::filesystem::path& path, std::string_view bytes);

    // Puts every file in its place. Throws as Add does; then every file is
    // as it was before (a device keeps what it took).
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

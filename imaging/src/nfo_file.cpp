#include "ezedudu/nfo_file.h"

#include "ezedudu/display_path.h"
#include "ezedudu/error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <random>
#include <string>
#include <system_error>
#include <utility>

namespace ezedudu {
namespace {

// What a failed system call means, in words a newcomer understands.
std::string Reason(int error)
{
    switch (error) {
    case ENOSPC:
        return "no space left on the device";
    case EDQUOT:
        return "the disk quota is used up";
    case EFBIG:
        return "the file would be too large (over the file system's or the process's file-size limit)";
    case ENAMETOOLONG:
        return "the file name is too long for the file system";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EROFS:
        return "the file system is read-only";
    case ENOENT:
        return "no such folder";
    case ENOTDIR:
        return "a part of the path is not a folder";
    case EISDIR:
        return "it is a folder";
    case ELOOP:
        return "too many links in a row";
    case EIO:
        return "the device reported an input/output error";
    case EPIPE:
        return "the program reading from it has stopped";
    default:
        return std::generic_category().message(error);
    }
}

[[noreturn]] void Fail(const char* step, const std::filesystem::path& path, int error)
{
    throw Error(Error::Kind::OutputFailed,
                std::string("cannot ") + step + " " + DisplayPath(path) + ": " + Reason(error));
}

// An open file descriptor, closed on leaving. Close() reports what a close
// can report: some file systems tell a failed write only there.
class Descriptor {
public:
    explicit Descriptor(int opened) : fd(opened) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd; }
    // 0, or why closing failed.
    int Close() { return ::close(std::exchange(fd, -1)) == 0 ? 0 : errno; }

private:
    int fd;
};

// Writes every byte; returns 0, or why a write failed (a partial write is
// followed by the one that says why).
int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno != EINTR)
            return errno;
        if (written > 0)
            bytes.remove_prefix(std::size_t(written));
    }
    return 0;
}

// A name of ours for a file beside place, removed when this goes unless
// kept.
class TemporaryName {
public:
    TemporaryName() = default;
    explicit TemporaryName(std::filesystem::path name) : path(std::move(name)) {}
    ~TemporaryName()
    {
        if (!path.empty())
            ::unlink(path.c_str());
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(TemporaryName&& other) noexcept
    {
        std::swap(path, other.path);
        return *this;
    }

    const std::filesystem::path& Path() const { return path; }
    void Keep() { path.clear(); }

private:
    std::filesystem::path path;
};

// Tries names beside place, ".ezedudu-" and eight random letters and digits
// with ending, until make(name) is not refused with EEXIST; returns 0 and
// the name, or why make failed. Short names, so that they fit wherever
// place's own name fits.
std::pair<int, std::filesystem::path> MakeBeside(const std::filesystem::path& place, const char* ending,
                                                 const std::function<bool(const std::filesystem::path&)>& make)
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> letter(0, sizeof letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".ezedudu-";
        for (int i = 0; i < 8; ++i)
            name += letters[letter(random)];
        std::filesystem::path beside = place.parent_path() / (name + ending);
        if (make(beside))
            return {0, std::move(beside)};
        if (errno != EEXIST)
            return {errno, {}};
    }
    return {EEXIST, {}};
}

// Whether the kernel, under fs.protected_symlinks, would follow this link:
// one of another user in a sticky, world-writable folder only when the
// folder is that user's own. Throws Error (Refused) when it would not.
void RefuseAnothersLink(const std::filesystem::path& asked, const std::filesystem::path& link,
                        const struct stat& linkStatus)
{
    if (linkStatus.st_uid == ::geteuid())
        return;
    const std::filesystem::path folder = link.has_parent_path() ? link.parent_path() : ".";
    struct stat folderStatus {};
    if (::stat(folder.c_str(), &folderStatus) != 0)
        Fail("write", asked, errno);
    const bool shared = (folderStatus.st_mode & S_ISVTX) != 0 && (folderStatus.st_mode & S_IWOTH) != 0;
    if (shared && linkStatus.st_uid != folderStatus.st_uid)
        throw Error(Error::Kind::Refused, "refusing to write " + DisplayPath(asked) +
                                              ": it is a link another user made in a shared folder, which "
                                              "could aim the output at a file of yours; remove it or name "
                                              "another output");
}

// Where the bytes for asked go (asked itself, or where the links there lead
// where they may be followed) and what is there now.
struct Place {
    std::filesystem::path path;
    std::optional<struct stat> found;
};

Place Resolve(const std::filesystem::path& asked)
{
    constexpr int MaxLinks = 40; // as the kernel allows
    std::filesystem::path place = asked;
    for (int links = 0;; ++links) {
        struct stat status {};
        if (::lstat(place.c_str(), &status) != 0) {
            if (errno == ENOENT) // a new file, or a missing folder that creating it will report
                return {place, std::nullopt};
            Fail("write", asked, errno);
        }
        if (!S_ISLNK(status.st_mode))
            return {place, status};
        if (links == MaxLinks)
            Fail("write", asked, ELOOP);
        RefuseAnothersLink(asked, place, status);
        // A device or FIFO is opened through the link, as the kernel finds
        // it: /dev/stdout leads to "pipe:[...]", which is no path.
        struct stat reached {};
        if (::stat(place.c_str(), &reached) == 0 && !S_ISREG(reached.st_mode) && !S_ISDIR(reached.st_mode))
            return {place, reached};
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(place, error);
        if (error)
            Fail("write", asked, error.value());
        place = place.parent_path() / target; // an absolute target replaces the folder
    }
}

} // namespace

struct OutputFiles::Pending {
    std::filesystem::path asked;  // as the caller named it, for messages
    std::filesystem::path place;  // where it goes, links followed
    bool existed = false;
    bool writtenInto = false;     // a device or FIFO: bytes go straight in at the commit
    std::string bytes;            // those bytes
    TemporaryName staged;         // the complete file, until renamed into place
    TemporaryName earlier;        // a second name of the earlier file during the commit
    bool placed = false;

    void Stage(std::string_view content, const std::optional<struct stat>& found);
    void KeepEarlier();
    void PutInPlace();
    void WriteInto() const;
    void PutBack();
};

void OutputFiles::Pending::Stage(std::string_view content, const std::optional<struct stat>& found)
{
    int fd = -1;
    auto [error, name] = MakeBeside(place, ".tmp", [&fd](const std::filesystem::path& beside) {
        fd = ::open(beside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        return fd >= 0;
    });
    if (error != 0)
        Fail("create", asked, error);
    staged = TemporaryName(std::move(name));
    Descriptor file(fd);
    // A replaced file keeps its permissions; a new one gets the umask's.
    if (found && ::fchmod(file.Get(), found->st_mode & 07777) != 0)
        Fail("create", asked, errno);
    if (const int failed = WriteAll(file.Get(), content); failed != 0)
        Fail("write", asked, failed);
    // On the disk before the name moves, so that a crash leaves the earlier
    // file or the whole new one. EINVAL: a file system that cannot sync.
    if (::fdatasync(file.Get()) != 0 && errno != EINVAL)
        Fail("write", asked, errno);
    if (const int failed = file.Close(); failed != 0)
        Fail("write", asked, failed);
}

// Gives the earlier file a second name to put it back by. A hard link keeps
// the place filled meanwhile; where the file system has none, the earlier
// file moves aside until its replacement takes its place.
void OutputFiles::Pending::KeepEarlier()
{
    auto [error, name] = MakeBeside(place, ".old", [this](const std::filesystem::path& beside) {
        return ::link(place.c_str(), beside.c_str()) == 0 ||
               (errno != EEXIST && ::rename(place.c_str(), beside.c_str()) == 0);
    });
    if (error != 0)
        Fail("keep the earlier", asked, error);
    earlier = TemporaryName(std::move(name));
}

void OutputFiles::Pending::PutInPlace()
{
    if (::rename(staged.Path().c_str(), place.c_str()) != 0)
        Fail("save", asked, errno);
    staged.Keep();
    placed = true;
}

void OutputFiles::Pending::WriteInto() const
{
    Descriptor device(::open(place.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (device.Get() < 0)
        Fail("open", asked, errno);
    struct stat status {};
    if (::fstat(device.Get(), &status) != 0)
        Fail("write", asked, errno);
    if (S_ISREG(status.st_mode)) // swapped for a file, or a link to one, since Add
        throw Error(Error::Kind::OutputFailed, "cannot write " + DisplayPath(asked) + ": it changed meanwhile");
    if (const int failed = WriteAll(device.Get(), bytes); failed != 0)
        Fail("write", asked, failed);
    if (const int failed = device.Close(); failed != 0)
        Fail("write", asked, failed);
}

void OutputFiles::Pending::PutBack()
{
    // Where the second name is a hard link, this rename leaves both names
    // (POSIX: renaming a file onto itself does nothing) and earlier's
    // destructor removes the second.
    if (!earlier.Path().empty())
        ::rename(earlier.Path().c_str(), place.c_str());
    else if (placed && !existed)
        ::unlink(place.c_str());
}

std::filesystem::path NfoPathFor(const std::filesystem::path& picture)
{
    std::filesystem::path nfo = picture;
    nfo.replace_extension(".nfo");
    return nfo;
}

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    // Through links where they can be followed, as written where not.
    const auto resolved = [](const std::filesystem::path& path) {
        std::error_code failed;
        const std::filesystem::path full = std::filesystem::absolute(path, failed).lexically_normal();
        std::filesystem::path real = std::filesystem::weakly_canonical(full, failed);
        return failed ? full : real;
    };
    return resolved(a) == resolved(b);
}

std::size_t FileIdentityHash::operator()(const FileIdentity& file) const noexcept
{
    return std::hash<ino_t>()(file.inode) ^ (std::hash<dev_t>()(file.device) * 0x9E3779B97F4A7C15u);
}

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

bool IsStandardInput(const std::filesystem::path& path)
{
    struct stat input {};
    if (::fstat(STDIN_FILENO, &input) != 0 || !S_ISREG(input.st_mode))
        return false;
    return IdentityOf(path) == FileIdentity{input.st_dev, input.st_ino};
}

OutputFiles::OutputFiles() = default;
OutputFiles::~OutputFiles() = default;

void OutputFiles::Add(const std::filesystem::path& path, std::string_view bytes)
{
    if (path.empty())
        throw Error(Error::Kind::OutputFailed, "no output file named");
    const Place place = Resolve(path);
    auto file = std::make_unique<Pending>();
    file->asked = path;
    file->place = place.path;
    file->existed = place.found.has_value();
    for (const std::unique_ptr<Pending>& other : pending)
        if (IsSameFile(other->place, file->place))
            throw Error(Error::Kind::OutputFailed, "cannot write " + DisplayPath(path) + ": " +
                                                       DisplayPath(other->asked) + " is the same file");
    if (place.found && S_ISDIR(place.found->st_mode))
        Fail("write", path, EISDIR);
    if (place.found && !S_ISREG(place.found->st_mode)) {
        file->writtenInto = true;
        file->bytes.assign(bytes);
    } else {
        file->Stage(bytes, place.found);
    }
    pending.push_back(std::move(file));
}

void OutputFiles::Commit()
{
    try {
        if (pending.size() > 1)
            for (const std::unique_ptr<Pending>& file : pending)
                if (file->existed && !file->writtenInto)
                    file->KeepEarlier();
        // Renames first: they can be undone, what a device took cannot.
        for (const std::unique_ptr<Pending>& file : pending)
            if (!file->writtenInto)
                file->PutInPlace();
        for (const std::unique_ptr<Pending>& file : pending)
            if (file->writtenInto)
                file->WriteInto();
    } catch (...) {
        for (const std::unique_ptr<Pending>& file : pending)
            file->PutBack();
        pending.clear();
        throw;
    }
    pending.clear(); // and with them the earlier files' second names
}

void WriteNfoFile(const std::filesystem::path& path, std::string_view bytes)
{
    OutputFiles output;
    output.Add(path, bytes);
    output.Commit();
}

void RefuseToOverwrite(const std::filesystem::path& picture, const std::filesystem::path& output)
{
    if (IsSameFile(picture, output))
        throw Error(Error::Kind::Refused, "refusing to overwrite the picture with its own NFO text or preview; "
                                          "name another output");
}

} // namespace ezedudu

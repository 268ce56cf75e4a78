#include "ezedudu/nfo_file.h"

#include "ezedudu/error.h"
#include "ezedudu/qt_path.h"

#include <QSaveFile>

namespace ezedudu {

struct OutputFiles::Pending {
    explicit Pending(std::filesystem::path target) : path(std::move(target)), file(ToQString(path)) {}

    std::filesystem::path path;
    QSaveFile file;

    [[noreturn]] void Fail(const char* step) const
    {
        throw Error(Error::Kind::OutputFailed,
                    std::string("cannot ") + step + " " + path.string() + ": " + file.errorString().toStdString());
    }
};

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
        std::filesystem::path real = std::filesystem::weakly_canonical(path, failed);
        return failed ? std::filesystem::absolute(path, failed).lexically_normal() : real;
    };
    return resolved(a) == resolved(b);
}

OutputFiles::OutputFiles() = default;
OutputFiles::~OutputFiles() = default; // uncommitted files are removed with their QSaveFile

void OutputFiles::Add(const std::filesystem::path& path, std::string_view bytes)
{
    Pending& added = *pending.emplace_back(std::make_unique<Pending>(path));
    if (!added.file.open(QIODevice::WriteOnly))
        added.Fail("create");
    if (added.file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        added.Fail("write");
}

void OutputFiles::Commit()
{
    for (const std::unique_ptr<Pending>& file : pending)
        if (!file->file.commit())
            file->Fail("save");
    pending.clear();
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

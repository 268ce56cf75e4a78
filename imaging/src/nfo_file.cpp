#include "ezedudu/nfo_file.h"

#include "ezedudu/error.h"
#include "ezedudu/qt_path.h"

#include <QSaveFile>

namespace ezedudu {

void WriteNfoFile(const std::filesystem::path& path, std::string_view bytes)
{
    QSaveFile file(ToQString(path));
    const auto fail = [&](const char* step) {
        throw Error(Error::Kind::OutputFailed,
                    std::string("cannot ") + step + " " + path.string() + ": " + file.errorString().toStdString());
    };
    if (!file.open(QIODevice::WriteOnly))
        fail("create");
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        fail("write");
    if (!file.commit())
        fail("save");
}

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    return std::filesystem::absolute(a, error).lexically_normal() ==
           std::filesystem::absolute(b, error).lexically_normal();
}

void RefuseToOverwrite(const std::filesystem::path& picture, const std::filesystem::path& output)
{
    if (IsSameFile(picture, output))
        throw Error(Error::Kind::Refused, "refusing to overwrite the picture with its own NFO text or preview; "
                                          "name another output");
}

} // namespace ezedudu

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

} // namespace ezedudu

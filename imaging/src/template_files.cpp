#include "ezedudu/template_files.h"

#include "ezedudu/error.h"
#include "ezedudu/picture_loader.h"
#include "ezedudu/qt_path.h"

#include <QFile>

namespace ezedudu {
namespace {

// No real font comes near this; a larger file is not one.
constexpr std::int64_t MaxFontBytes = std::int64_t(16) << 20;
// A list of fields is text a person wrote.
constexpr std::int64_t MaxFieldsBytes = std::int64_t(4) << 20;

} // namespace

TemplateFiles::TemplateFiles(std::filesystem::path templateFolder) : folder(std::move(templateFolder)) {}

std::filesystem::path TemplateFiles::PathOf(const std::string& name)
{
    std::filesystem::path path = folder / ToPath(QString::fromStdString(name));
    read.push_back(path);
    return path;
}

std::shared_ptr<const RowSource> TemplateFiles::OpenPicture(const std::string& name, const ConversionOptions& options)
{
    return ezedudu::OpenPicture(PathOf(name), options);
}

std::string TemplateFiles::ReadFont(const std::string& name)
{
    const std::filesystem::path path = PathOf(name);
    // A FIFO would keep the composing waiting for a writer that never comes.
    std::error_code unknown;
    const std::filesystem::file_type type = std::filesystem::status(path, unknown).type();
    if (type != std::filesystem::file_type::regular && type != std::filesystem::file_type::not_found &&
        type != std::filesystem::file_type::none)
        throw Error(Error::Kind::Refused, path.string() + ": not a font but a folder, a FIFO or a device");
    try {
        return ReadTextFile(path, MaxFontBytes);
    } catch (const Error& error) {
        throw Error(error.GetKind(), path.string() + ": " + error.what());
    }
}

void ReadFieldsFile(const std::filesystem::path& file, TemplateFields& fields)
{
    // A byte order mark, which some editors put first, is not part of a name.
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    const std::string bytes = ReadTextFile(file, MaxFieldsBytes);
    std::int64_t number = 0;
    for (std::size_t start = bytes.starts_with(ByteOrderMark) ? ByteOrderMark.size() : 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0)
            throw FieldsError{file, number, "expected NAME=VALUE"};
        fields.insert_or_assign(line.substr(0, equals), line.substr(equals + 1));
    }
}

std::string ReadTextFile(const std::filesystem::path& path, std::int64_t maxBytes)
{
    QFile file(ToQString(path));
    if (!file.exists())
        throw Error(Error::Kind::MissingFile, "no such file");
    if (!file.open(QIODevice::ReadOnly))
        throw Error(Error::Kind::UnreadablePicture, file.errorString().toStdString());
    const QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw Error(Error::Kind::UnreadablePicture, file.errorString().toStdString());
    if (bytes.size() > maxBytes)
        throw Error(Error::Kind::Refused, "larger than " + std::to_string(maxBytes >> 20) +
                                              " MiB, more than such a file ever holds");
    return bytes.toStdString();
}

} // namespace ezedudu

#include "ezedudu/qt_path.h"

#include "ezedudu/utf8.h"

#include <string>
#include <string_view>

namespace ezedudu {
namespace {

constexpr char16_t StrayByteBase = 0xDC00; // a stray byte 0x80-0xFF travels as U+DC80-U+DCFF

[[maybe_unused]] QString DecodeName(std::string_view bytes)
{
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (std::size_t at = 0; at < bytes.size();) {
        if (const Utf8Character character = DecodeUtf8Character(bytes, at); character.length != 0) {
            text.append(QString::fromUcs4(&character.codePoint, 1));
            at += character.length;
        } else {
            text.append(QChar(char16_t(StrayByteBase + static_cast<unsigned char>(bytes[at]))));
            ++at;
        }
    }
    return text;
}

[[maybe_unused]] std::string EncodeName(const QString& text)
{
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at].unicode();
        if (unit >= StrayByteBase + 0x80 && unit <= StrayByteBase + 0xFF) {
            bytes += char(unit - StrayByteBase);
            continue;
        }
        const bool pair = QChar::isHighSurrogate(unit) && at + 1 < text.size() && text[at + 1].isLowSurrogate();
        bytes += (pair ? text.mid(at++, 2) : QString(QChar(unit))).toStdString();
    }
    return bytes;
}

} // namespace

QString ToQString(const std::filesystem::path& path)
{
#ifdef _WIN32
    return QString::fromStdU16String(path.u16string());
#else
    return DecodeName(path.native());
#endif
}

std::filesystem::path ToPath(const QString& text)
{
#ifdef _WIN32
    return std::filesystem::path(text.toStdU16String());
#else
    return std::filesystem::path(EncodeName(text));
#endif
}

QStringList ArgumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << ToQString(std::filesystem::path(argv[i]));
    return arguments;
}

} // namespace ezedudu

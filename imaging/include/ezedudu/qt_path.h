#pragma once

#include <QString>

#include <filesystem>

namespace ezedudu {

// Paths cross into Qt as UTF-16 so that no name is mangled on any platform.
inline QString ToQString(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

inline std::filesystem::path ToPath(const QString& text)
{
    return std::filesystem::path(text.toStdU16String());
}

} // namespace ezedudu

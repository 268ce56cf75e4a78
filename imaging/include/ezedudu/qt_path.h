#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>

namespace ezedudu {

// Paths cross into Qt as UTF-16. A POSIX file name may hold any bytes: each
// byte that is not part of well-formed UTF-8 travels as the lone surrogate
// U+DC80 to U+DCFF, so ToPath(ToQString(path)) gives back the very bytes.
// Qt itself cannot open such a name; only our own file code can.
QString ToQString(const std::filesystem::path& path);
std::filesystem::path ToPath(const QString& text);

// The program's command line decoded as ToQString decodes names, so that a
// file name that is not UTF-8 reaches the file system unchanged (Qt's own
// QCoreApplication::arguments() replaces its stray bytes).
QStringList ArgumentsOf(int argc, char* argv[]);

} // namespace ezedudu

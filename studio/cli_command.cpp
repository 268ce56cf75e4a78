#include "cli_command.h"

#include "ezedudu/option_table.h"

#include <QRegularExpression>
#include <QStringList>

namespace ezedudu {
namespace {

QString ShellQuoted(const QString& word)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=+-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    return "'" + QString(word).replace("'", "'\\''") + "'";
}

} // namespace

QString CliCommandFor(const ConversionOptions& options, const QString& picture)
{
    QStringList words{QStringLiteral("ezedudu-cli")};
    for (const std::string& word : ArgumentsFor(ArtSettings{options}, false))
        words << QString::fromStdString(word);
    words << (picture.isEmpty() ? QStringLiteral("PICTURE") : ShellQuoted(picture));
    return words.join(' ');
}

} // namespace ezedudu

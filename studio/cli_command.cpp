#include "cli_command.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

namespace ezedudu {
namespace {

QString Number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

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
    const ConversionOptions defaults;
    const ToneOptions& tone = options.art.tone;
    QStringList words{QStringLiteral("ezedudu-cli")};
    if (options.columns)
        words << "--columns" << QString::number(*options.columns);
    if (options.rows)
        words << "--rows" << QString::number(*options.rows);
    if (options.cellAspect != defaults.cellAspect)
        words << "--cell-aspect" << Number(options.cellAspect);
    if (tone.levelsAuto)
        words << "--levels" << "auto";
    if (tone.contrast != 0)
        words << "--contrast" << QString::number(tone.contrast);
    if (tone.brightness != 0)
        words << "--brightness" << QString::number(tone.brightness);
    if (tone.gamma != 1.0)
        words << "--gamma" << Number(tone.gamma);
    if (tone.invert)
        words << "--invert";
    if (options.art.dither == Dither::FloydSteinberg)
        words << "--dither" << "floyd-steinberg";
    else if (options.art.dither == Dither::Ordered)
        words << "--dither" << "ordered";
    if (options.maxPixels != defaults.maxPixels)
        words << "--max-megapixels" << QString::number(options.maxPixels / 1'000'000);
    words << (picture.isEmpty() ? QStringLiteral("PICTURE") : ShellQuoted(picture));
    return words.join(' ');
}

} // namespace ezedudu

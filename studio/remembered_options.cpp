#include "remembered_options.h"

#include <QSettings>

#include <algorithm>

namespace ezedudu {
namespace {

const QString NaturalSize = QStringLiteral("natural");

} // namespace

void RecallOptions(const QSettings& settings, ConversionOptions& options, PreviewTheme& theme)
{
    const QVariant columns = settings.value("art/columns", qlonglong(FittingColumns));
    if (columns.toString() == NaturalSize)
        options.columns.reset();
    else
        options.columns = std::clamp<std::int64_t>(columns.toLongLong(), 1, 1000);
    options.cellAspect = std::clamp(settings.value("art/cellAspect", DefaultCellAspect).toDouble(), 0.1, 10.0);
    ToneOptions& tone = options.art.tone;
    tone.levelsAuto = settings.value("art/levelsAuto", false).toBool();
    tone.contrast = std::clamp(settings.value("art/contrast", 0).toInt(), -100, 100);
    tone.brightness = std::clamp(settings.value("art/brightness", 0).toInt(), -255, 255);
    tone.gamma = std::clamp(settings.value("art/gamma", 1.0).toDouble(), 0.1, 5.0);
    tone.invert = settings.value("art/invert", false).toBool();
    options.art.dither = Dither(std::clamp(settings.value("art/dither", 0).toInt(), 0, int(Dither::Ordered)));
    theme = settings.value("preview/theme", 0).toInt() == int(PreviewTheme::Dark) ? PreviewTheme::Dark
                                                                                   : PreviewTheme::Light;
}

void RememberOptions(QSettings& settings, const ConversionOptions& options, PreviewTheme theme)
{
    settings.setValue("art/columns", options.columns ? QVariant(qlonglong(*options.columns)) : QVariant(NaturalSize));
    settings.setValue("art/cellAspect", options.cellAspect);
    settings.setValue("art/levelsAuto", options.art.tone.levelsAuto);
    settings.setValue("art/contrast", options.art.tone.contrast);
    settings.setValue("art/brightness", options.art.tone.brightness);
    settings.setValue("art/gamma", options.art.tone.gamma);
    settings.setValue("art/invert", options.art.tone.invert);
    settings.setValue("art/dither", int(options.art.dither));
    settings.setValue("preview/theme", int(theme));
}

} // namespace ezedudu

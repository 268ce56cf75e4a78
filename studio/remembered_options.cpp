#include "remembered_options.h"

#include "ezedudu/editor_defaults.h"
#include "ezedudu/option_table.h"
#include "ezedudu/qt_text.h"

#include <QSettings>

namespace ezedudu {

void RecallOptions(const QSettings& settings, ConversionOptions& options, PreviewTheme& theme)
{
    ArtSettings recalled = EditorDefaults();
    for (const OptionEntry& option : OptionTable()) {
        const QString key = QtText(option.settingsKey);
        OptionValue value;
        // A setting that no longer reads (edited by hand, or from another
        // version) leaves the default.
        if (settings.contains(key) &&
            ParseOptionValue(option, settings.value(key).toString().toStdString(), value).empty())
            option.set(recalled, value);
    }
    options = recalled.conversion;
    theme = recalled.theme;
}

void RememberOptions(QSettings& settings, const ConversionOptions& options, PreviewTheme theme)
{
    const ArtSettings remembered{options, theme};
    for (const OptionEntry& option : OptionTable())
        settings.setValue(QtText(option.settingsKey),
                          QString::fromStdString(FormatOptionValue(option, option.get(remembered))));
}

} // namespace ezedudu

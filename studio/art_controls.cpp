#include "art_controls.h"

#include "option_field.h"

#include "ezedudu/qt_text.h"

#include <QFormLayout>

namespace ezedudu {

ArtControls::ArtControls(QWidget* parent) : QWidget(parent)
{
    auto* form = new QFormLayout(this);
    for (const OptionEntry& option : OptionTable()) {
        auto* field = new OptionField(option, this);
        // A check box carries its own label.
        const bool labelled = option.control != OptionControl::CheckBox;
        form->addRow(labelled ? QtText(option.label) + ':'
                              : QString(),
                     field);
        connect(field, &OptionField::changed, this, &ArtControls::changed);
        fields.push_back(field);
    }
}

ArtSettings ArtControls::Settings() const
{
    ArtSettings settings;
    for (const OptionField* field : fields)
        field->Option().set(settings, field->Value());
    return settings;
}

ConversionOptions ArtControls::Options() const
{
    return Settings().conversion;
}

PreviewTheme ArtControls::Theme() const
{
    return Settings().theme;
}

void ArtControls::SetOptions(const ConversionOptions& options, PreviewTheme theme)
{
    const ArtSettings settings{options, theme};
    for (OptionField* field : fields)
        field->SetValue(field->Option().get(settings));
}

} // namespace ezedudu

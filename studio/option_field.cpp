#include "option_field.h"

#include "slider_field.h"

#include "ezedudu/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSpinBox>

#include <cmath>

namespace ezedudu {
OptionField::OptionField(const OptionEntry& entry, QWidget* parent) : QWidget(parent), option(entry)
{
    setObjectName(QtText(option.flag));
    setToolTip(QtText(option.help));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    switch (option.control) {
    case OptionControl::CheckBox:
        check = new QCheckBox(QtText(option.label), this);
        layout->addWidget(check);
        connect(check, &QCheckBox::toggled, this, &OptionField::changed);
        break;
    case OptionControl::Slider:
        slider = new SliderField(option.minimum, option.maximum, option.decimals, option.Default().value_or(0), this);
        layout->addWidget(slider);
        connect(slider, &SliderField::valueChanged, this, &OptionField::changed);
        break;
    case OptionControl::ComboBox:
        BuildList();
        break;
    case OptionControl::SpinBox:
        BuildNumber();
        break;
    }
    SetValue(option.Default());
}

void OptionField::BuildNumber()
{
    // A number counts once it is typed in full, not at every key.
    if (option.type == OptionType::Whole) {
        whole = new QSpinBox(this);
        const bool unsettable = !option.unsetName.empty();
        whole->setRange(int(option.minimum) - (unsettable ? 1 : 0), int(option.maximum));
        if (unsettable)
            whole->setSpecialValueText(QtText(option.unsetName));
        whole->setKeyboardTracking(false);
        layout()->addWidget(whole);
        connect(whole, &QSpinBox::valueChanged, this, &OptionField::changed);
        return;
    }
    decimal = new QDoubleSpinBox(this);
    decimal->setRange(option.minimum, option.maximum);
    decimal->setDecimals(option.decimals);
    decimal->setSingleStep(std::pow(10.0, -option.decimals) * 5);
    decimal->setKeyboardTracking(false);
    layout()->addWidget(decimal);
    connect(decimal, &QDoubleSpinBox::valueChanged, this, &OptionField::changed);
}

// Choices by name, or presets followed by "Custom" and a field for any
// other number.
void OptionField::BuildList()
{
    list = new QComboBox(this);
    layout()->addWidget(list);
    for (const OptionChoice& choice : option.choices)
        list->addItem(QtText(choice.label));
    if (!option.presets.empty()) {
        for (const OptionPreset& preset : option.presets)
            list->addItem(QtText(preset.label));
        list->addItem(tr("Custom"));
        BuildNumber();
    }
    connect(list, &QComboBox::currentIndexChanged, this, [this] {
        UpdateEnabling();
        emit changed();
    });
}

OptionValue OptionField::Value() const
{
    if (check)
        return check->isChecked() ? 1 : 0;
    if (slider)
        return slider->Value();
    if (list && option.presets.empty())
        return list->currentIndex();
    if (list && !CustomChosen())
        return option.presets[std::size_t(list->currentIndex())].value;
    if (decimal)
        return decimal->value();
    if (whole->value() < option.minimum)
        return std::nullopt;
    return whole->value();
}

void OptionField::SetValue(OptionValue value)
{
    // The parts' signals reach the outside only through this field's own.
    const QSignalBlocker quiet(this);
    if (check)
        check->setChecked(value.value_or(0) != 0);
    else if (slider)
        slider->SetValue(value.value_or(0));
    else if (list && option.presets.empty())
        list->setCurrentIndex(int(value.value_or(0)));
    if (list && !option.presets.empty()) {
        int index = int(option.presets.size()); // Custom
        for (std::size_t i = 0; i < option.presets.size(); ++i)
            if (value && std::abs(option.presets[i].value - *value) < 1e-9)
                index = int(i);
        list->setCurrentIndex(index);
    }
    if (decimal)
        decimal->setValue(value.value_or(option.minimum));
    if (whole)
        whole->setValue(value ? int(std::lround(*value)) : whole->minimum());
    UpdateEnabling();
}

bool OptionField::CustomChosen() const
{
    return list->currentIndex() == int(option.presets.size());
}

void OptionField::UpdateEnabling()
{
    if (list && decimal)
        decimal->setEnabled(CustomChosen());
}

} // namespace ezedudu

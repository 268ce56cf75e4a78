#include "option_field.h"

#include "slider_field.h"

#include "ezedudu/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
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
        slider = new SliderField(option.minimum, option.maximum, option.decimals, NumberOf(option.Default()), this);
        layout->addWidget(slider);
        connect(slider, &SliderField::valueChanged, this, &OptionField::changed);
        break;
    case OptionControl::ComboBox:
        BuildList();
        break;
    case OptionControl::LineEdit:
        line = new QLineEdit(this);
        line->setMaxLength(int(option.maximum));
        line->setPlaceholderText(QtText(option.unsetName));
        // Only printable ASCII reaches the file.
        line->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[ -~]*")), line));
        layout->addWidget(line);
        connect(line, &QLineEdit::editingFinished, this, &OptionField::changed);
        break;
    case OptionControl::SpinBox:
        BuildNumber();
        break;
    }
    SetValue(option.Default());
}

void OptionField::BuildNumber()
{
    // A whole number (a size, a limit) applies at every digit typed: each
    // number on the way is a valid setting, and a newer render cancels the
    // one it makes. A decimal counts once it is typed in full.
    if (option.type == OptionType::Whole) {
        whole = new QSpinBox(this);
        const bool unsettable = !option.unsetName.empty();
        whole->setRange(int(option.minimum) - (unsettable ? 1 : 0), int(option.maximum));
        if (unsettable)
            whole->setSpecialValueText(QtText(option.unsetName));
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
        return check->isChecked() ? 1.0 : 0.0;
    if (line) // left empty, the option is unset: no closing line
        return line->text().isEmpty() ? OptionValue() : OptionValue(line->text().toStdString());
    if (slider)
        return slider->Value();
    if (list && option.presets.empty())
        return double(list->currentIndex());
    if (list && !CustomChosen())
        return option.presets[std::size_t(list->currentIndex())].value;
    if (decimal)
        return decimal->value();
    if (whole->value() < option.minimum)
        return {};
    return double(whole->value());
}

void OptionField::SetValue(OptionValue value)
{
    // The parts' signals reach the outside only through this field's own.
    const QSignalBlocker quiet(this);
    if (check)
        check->setChecked(NumberOf(value) != 0);
    else if (line)
        line->setText(QtText(std::holds_alternative<std::string>(value) ? std::get<std::string>(value) : ""));
    else if (slider)
        slider->SetValue(NumberOf(value));
    else if (list && option.presets.empty())
        list->setCurrentIndex(int(NumberOf(value)));
    if (list && !option.presets.empty()) {
        int index = int(option.presets.size()); // Custom
        for (std::size_t i = 0; i < option.presets.size(); ++i)
            if (std::abs(option.presets[i].value - NumberOf(value)) < 1e-9)
                index = int(i);
        list->setCurrentIndex(index);
    }
    if (decimal)
        decimal->setValue(NumberOf(value));
    if (whole)
        whole->setValue(std::holds_alternative<double>(value) ? int(std::lround(NumberOf(value))) : whole->minimum());
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

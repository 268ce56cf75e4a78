#pragma once

#include "ezedudu/option_table.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace ezedudu {

class SliderField;

// The studio's control for one option of the option table, the kind the
// table names: a spin box (its lowest step reads "auto" where the option may
// be left unset), a slider with a number field, a list of choices or of
// presets with a field for other numbers, a check box, or a line of text
// (left empty, the option is unset).
class OptionField : public QWidget {
    Q_OBJECT

public:
    OptionField(const OptionEntry& option, QWidget* parent);

    const OptionEntry& Option() const { return option; }
    OptionValue Value() const;
    // Shows the value without announcing a change.
    void SetValue(OptionValue value);

signals:
    void changed();

private:
    void BuildNumber();
    void BuildList();
    void UpdateEnabling();
    bool CustomChosen() const;

    const OptionEntry& option;
    QSpinBox* whole = nullptr;
    QDoubleSpinBox* decimal = nullptr;
    SliderField* slider = nullptr;
    QComboBox* list = nullptr;
    QCheckBox* check = nullptr;
    QLineEdit* line = nullptr;
};

} // namespace ezedudu

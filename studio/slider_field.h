#pragma once

#include <QWidget>

class QDoubleSpinBox;
class QSlider;

namespace ezedudu {

// A slider with a number field beside it, kept in step: drag or type.
class SliderField : public QWidget {
    Q_OBJECT

public:
    SliderField(double minimum, double maximum, int decimals, double value, QWidget* parent);

    double Value() const;
    void SetValue(double value);

signals:
    void valueChanged(double value);

private:
    QSlider* slider;
    QDoubleSpinBox* field;
    double scale; // slider steps per unit
};

} // namespace ezedudu

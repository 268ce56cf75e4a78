#include "slider_field.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSlider>

#include <cmath>

namespace ezedudu {

SliderField::SliderField(double minimum, double maximum, int decimals, double value, QWidget* parent)
    : QWidget(parent),
      slider(new QSlider(Qt::Horizontal, this)),
      field(new QDoubleSpinBox(this)),
      scale(std::pow(10.0, decimals))
{
    slider->setRange(int(std::lround(minimum * scale)), int(std::lround(maximum * scale)));
    field->setRange(minimum, maximum);
    field->setDecimals(decimals);
    field->setSingleStep(1.0 / scale);
    field->setKeyboardTracking(false); // a typed number counts once it is complete
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider, 1);
    layout->addWidget(field);
    SetValue(value);

    connect(slider, &QSlider::valueChanged, this, [this](int position) {
        const QSignalBlocker quiet(field);
        field->setValue(position / scale);
        emit valueChanged(field->value());
    });
    connect(field, &QDoubleSpinBox::valueChanged, this, [this](double number) {
        const QSignalBlocker quiet(slider);
        slider->setValue(int(std::lround(number * scale)));
        emit valueChanged(number);
    });
}

double SliderField::Value() const
{
    return field->value();
}

void SliderField::SetValue(double value)
{
    const QSignalBlocker quietField(field);
    const QSignalBlocker quietSlider(slider);
    field->setValue(value);
    slider->setValue(int(std::lround(value * scale)));
}

} // namespace ezedudu

#pragma once

#include "ezedudu/conversion_job.h"
#include "ezedudu/preview.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace ezedudu {

class SliderField;

// The art's size, tone, dithering and the preview's theme, as controls.
// Every change of the user's is announced with changed().
class ArtControls : public QWidget {
    Q_OBJECT

public:
    explicit ArtControls(QWidget* parent);

    ConversionOptions Options() const;
    PreviewTheme Theme() const;
    // Shows the options without announcing a change.
    void SetOptions(const ConversionOptions& options, PreviewTheme theme);

signals:
    void changed();

private:
    void ShowCellAspect(double aspect);
    void UpdateEnabling();

    // Options the controls do not show (the pixel limit, rows) pass through.
    ConversionOptions shown;
    QCheckBox* naturalSize;
    QSpinBox* columns;
    QComboBox* cellAspect;
    QDoubleSpinBox* customAspect;
    QCheckBox* levelsAuto;
    SliderField* contrast;
    SliderField* brightness;
    SliderField* gamma;
    QCheckBox* invert;
    QComboBox* dither;
    QComboBox* theme;
};

} // namespace ezedudu

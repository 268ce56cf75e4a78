#include "art_controls.h"

#include "slider_field.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSignalBlocker>
#include <QSpinBox>

#include <cmath>

namespace ezedudu {
namespace {

// The cell shapes of common viewers; the last entry is the user's own.
struct AspectPreset {
    const char* name;
    double aspect;
};
constexpr AspectPreset AspectPresets[] = {
    {QT_TRANSLATE_NOOP("ArtControls", "8 \u00d7 16 VGA (2.0)"), 2.0},
    {QT_TRANSLATE_NOOP("ArtControls", "9 \u00d7 16 (1.78)"), 16.0 / 9.0},
    {QT_TRANSLATE_NOOP("ArtControls", "Plain 2 \u00d7 3 grid (1.5)"), 1.5},
};
constexpr int CustomAspect = int(std::size(AspectPresets));

} // namespace

ArtControls::ArtControls(QWidget* parent)
    : QWidget(parent),
      naturalSize(new QCheckBox(tr("Natural size (a character for every 2 \u00d7 3 pixels)"), this)),
      columns(new QSpinBox(this)),
      cellAspect(new QComboBox(this)),
      customAspect(new QDoubleSpinBox(this)),
      levelsAuto(new QCheckBox(tr("Stretch the levels automatically"), this)),
      contrast(new SliderField(-100, 100, 0, 0, this)),
      brightness(new SliderField(-255, 255, 0, 0, this)),
      gamma(new SliderField(0.1, 5.0, 2, 1.0, this)),
      invert(new QCheckBox(tr("Invert, for light-on-dark viewers"), this)),
      dither(new QComboBox(this)),
      theme(new QComboBox(this))
{
    naturalSize->setObjectName("naturalSize");
    columns->setObjectName("columns");
    columns->setRange(1, 1000);
    columns->setValue(int(FittingColumns));
    columns->setKeyboardTracking(false);
    cellAspect->setObjectName("cellAspect");
    for (const AspectPreset& preset : AspectPresets)
        cellAspect->addItem(tr(preset.name), preset.aspect);
    cellAspect->addItem(tr("Custom"));
    customAspect->setObjectName("customAspect");
    customAspect->setRange(0.1, 10.0);
    customAspect->setDecimals(2);
    customAspect->setSingleStep(0.05);
    customAspect->setValue(DefaultCellAspect);
    customAspect->setKeyboardTracking(false);
    levelsAuto->setObjectName("levelsAuto");
    contrast->setObjectName("contrast");
    brightness->setObjectName("brightness");
    gamma->setObjectName("gamma");
    invert->setObjectName("invert");
    dither->setObjectName("dither");
    dither->addItem(tr("None"), int(Dither::None));
    dither->addItem(tr("Floyd\u2013Steinberg"), int(Dither::FloydSteinberg));
    dither->addItem(tr("Ordered (4 \u00d7 4 Bayer)"), int(Dither::Ordered));
    theme->setObjectName("previewTheme");
    theme->addItem(tr("Dark on white"), int(PreviewTheme::Light));
    theme->addItem(tr("Light grey on black"), int(PreviewTheme::Dark));

    auto* form = new QFormLayout(this);
    form->addRow(tr("Columns:"), columns);
    form->addRow(QString(), naturalSize);
    form->addRow(tr("Viewer's cells:"), cellAspect);
    form->addRow(tr("Height \u00f7 width:"), customAspect);
    form->addRow(QString(), levelsAuto);
    form->addRow(tr("Contrast:"), contrast);
    form->addRow(tr("Brightness:"), brightness);
    form->addRow(tr("Gamma:"), gamma);
    form->addRow(QString(), invert);
    form->addRow(tr("Dithering:"), dither);
    form->addRow(tr("Preview:"), theme);
    UpdateEnabling();

    const auto announce = [this] {
        UpdateEnabling();
        emit changed();
    };
    connect(naturalSize, &QCheckBox::toggled, this, announce);
    connect(columns, &QSpinBox::valueChanged, this, announce);
    connect(cellAspect, &QComboBox::currentIndexChanged, this, announce);
    connect(customAspect, &QDoubleSpinBox::valueChanged, this, announce);
    connect(levelsAuto, &QCheckBox::toggled, this, announce);
    connect(invert, &QCheckBox::toggled, this, announce);
    for (SliderField* field : {contrast, brightness, gamma})
        connect(field, &SliderField::valueChanged, this, announce);
    for (QComboBox* box : {dither, theme})
        connect(box, &QComboBox::currentIndexChanged, this, announce);
}

ConversionOptions ArtControls::Options() const
{
    // Rows given on the command line stay a limit, as the pixel limit does.
    ConversionOptions options = shown;
    options.columns.reset();
    if (naturalSize->isChecked())
        options.rows.reset();
    else
        options.columns = columns->value();
    options.cellAspect = cellAspect->currentIndex() == CustomAspect ? customAspect->value()
                                                                     : cellAspect->currentData().toDouble();
    ToneOptions& tone = options.art.tone;
    tone.levelsAuto = levelsAuto->isChecked();
    tone.contrast = int(std::lround(contrast->Value()));
    tone.brightness = int(std::lround(brightness->Value()));
    tone.gamma = gamma->Value();
    tone.invert = invert->isChecked();
    options.art.dither = Dither(dither->currentData().toInt());
    return options;
}

PreviewTheme ArtControls::Theme() const
{
    return PreviewTheme(theme->currentData().toInt());
}

void ArtControls::SetOptions(const ConversionOptions& options, PreviewTheme previewTheme)
{
    const QSignalBlocker quiet(this);
    const QList<QWidget*> controls{naturalSize, columns, cellAspect, customAspect, levelsAuto, invert, dither, theme};
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QWidget* control : controls)
        blockers.push_back(std::make_unique<QSignalBlocker>(control));

    shown = options;
    naturalSize->setChecked(!options.columns);
    if (options.columns)
        columns->setValue(int(*options.columns));
    ShowCellAspect(options.cellAspect);
    levelsAuto->setChecked(options.art.tone.levelsAuto);
    contrast->SetValue(options.art.tone.contrast);
    brightness->SetValue(options.art.tone.brightness);
    gamma->SetValue(options.art.tone.gamma);
    invert->setChecked(options.art.tone.invert);
    dither->setCurrentIndex(dither->findData(int(options.art.dither)));
    theme->setCurrentIndex(theme->findData(int(previewTheme)));
    UpdateEnabling();
}

void ArtControls::ShowCellAspect(double aspect)
{
    int index = CustomAspect;
    for (int i = 0; i < CustomAspect; ++i)
        if (std::abs(AspectPresets[i].aspect - aspect) < 1e-9)
            index = i;
    cellAspect->setCurrentIndex(index);
    customAspect->setValue(aspect);
}

void ArtControls::UpdateEnabling()
{
    columns->setEnabled(!naturalSize->isChecked());
    customAspect->setEnabled(cellAspect->currentIndex() == CustomAspect);
}

} // namespace ezedudu

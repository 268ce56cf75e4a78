#include "preview_view.h"

#include <QLabel>
#include <QPixmap>
#include <QWheelEvent>

#include <algorithm>

namespace ezedudu {
namespace {

constexpr int MaxTimes = 8; // 800 %, and 1/8 the other way

double FactorOf(int step)
{
    return step >= 0 ? step + 1 : 1.0 / (1 - step);
}

int StepOf(int times)
{
    return std::clamp(times, 1, MaxTimes) - 1;
}

int ShrinkStepOf(int divisor)
{
    return 1 - std::clamp(divisor, 1, MaxTimes);
}

int CeilDivide(int numerator, int denominator)
{
    return (numerator + denominator - 1) / denominator;
}

} // namespace

PreviewView::PreviewView(QWidget* parent) : QScrollArea(parent), picture(new QLabel(this))
{
    setObjectName("preview");
    picture->setAlignment(Qt::AlignCenter);
    setWidget(picture);
    setWidgetResizable(false);
    setAlignment(Qt::AlignCenter);
    setBackgroundRole(QPalette::Dark);
}

void PreviewView::SetPreview(const QImage& image)
{
    preview = image;
    ShowZoomed();
}

void PreviewView::ZoomToFit()
{
    fitted = true;
    ShowZoomed();
}

void PreviewView::ZoomTo(int times)
{
    fitted = false;
    step = StepOf(times);
    ShowZoomed();
}

double PreviewView::Zoom() const
{
    return FactorOf(step);
}

void PreviewView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QScrollArea::wheelEvent(event);
        return;
    }
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) {
        fitted = false;
        step = std::clamp(step + steps, ShrinkStepOf(MaxTimes), StepOf(MaxTimes));
        ShowZoomed();
    }
    event->accept();
}

void PreviewView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (fitted)
        ShowZoomed();
}

// Counted in whole pixels, so that no rounding ever makes a factor larger
// than the room allows.
int PreviewView::FittingStep() const
{
    const QSize room = viewport()->size().expandedTo(QSize(1, 1));
    const int times = std::min(room.width() / preview.width(), room.height() / preview.height());
    if (times >= 1)
        return StepOf(times);
    return ShrinkStepOf(
        std::max(CeilDivide(preview.width(), room.width()), CeilDivide(preview.height(), room.height())));
}

void PreviewView::ShowZoomed()
{
    if (preview.isNull()) {
        picture->clear();
        return;
    }
    if (fitted)
        step = FittingStep();
    const QSize size = (QSizeF(preview.size()) * FactorOf(step)).toSize().expandedTo(QSize(1, 1));
    const Qt::TransformationMode mode = step >= 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
    picture->setPixmap(QPixmap::fromImage(preview.scaled(size, Qt::IgnoreAspectRatio, mode)));
    picture->resize(size);
}

} // namespace ezedudu

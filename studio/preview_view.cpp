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

// The preview at a whole step, worked out here rather than by QImage's
// scaling, which is neither an exact block average nor single-threaded:
// enlarged, each pixel is repeated times x times; reduced, each shrink x
// shrink block is averaged (smaller at the right and bottom edges).
QImage Zoomed(const QImage& preview, int step)
{
    const QImage source = preview.convertToFormat(QImage::Format_RGB32);
    const int times = step >= 0 ? step + 1 : 1;
    const int shrink = step >= 0 ? 1 : 1 - step;
    const int width = std::max(1, CeilDivide(source.width() * times, shrink));
    const int height = std::max(1, CeilDivide(source.height() * times, shrink));
    QImage zoomed(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(zoomed.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (shrink == 1) {
                line[x] = source.pixel(x / times, y / times);
                continue;
            }
            int red = 0, green = 0, blue = 0, count = 0;
            for (int sy = y * shrink; sy < std::min(source.height(), (y + 1) * shrink); ++sy)
                for (int sx = x * shrink; sx < std::min(source.width(), (x + 1) * shrink); ++sx) {
                    const QRgb pixel = source.pixel(sx, sy);
                    red += qRed(pixel);
                    green += qGreen(pixel);
                    blue += qBlue(pixel);
                    ++count;
                }
            line[x] = qRgb(red / count, green / count, blue / count);
        }
    }
    return zoomed;
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
    const QImage zoomed = Zoomed(preview, step);
    picture->setPixmap(QPixmap::fromImage(zoomed));
    picture->resize(zoomed.size());
}

} // namespace ezedudu

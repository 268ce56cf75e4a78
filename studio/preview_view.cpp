#include "preview_view.h"

#include <QLabel>
#include <QPixmap>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace ezedudu {
namespace {

constexpr double ZoomStep = 1.25;
constexpr double MinZoom = 0.1;
constexpr double MaxZoom = 8.0;

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

void PreviewView::ZoomTo(double zoom)
{
    fitted = false;
    factor = std::clamp(zoom, MinZoom, MaxZoom);
    ShowZoomed();
}

double PreviewView::Zoom() const
{
    return factor;
}

void PreviewView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QScrollArea::wheelEvent(event);
        return;
    }
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        ZoomTo(factor * std::pow(ZoomStep, steps));
    event->accept();
}

void PreviewView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (fitted)
        ShowZoomed();
}

void PreviewView::ShowZoomed()
{
    if (preview.isNull()) {
        picture->clear();
        return;
    }
    if (fitted) {
        const QSize room = viewport()->size();
        factor = std::min({double(room.width()) / preview.width(), double(room.height()) / preview.height(), MaxZoom});
        factor = std::max(factor, MinZoom);
    }
    const QSize size = (QSizeF(preview.size()) * factor).toSize().expandedTo(QSize(1, 1));
    // Blocks stay crisp when enlarged; reduced, they are averaged.
    const Qt::TransformationMode mode = factor >= 1 ? Qt::FastTransformation : Qt::SmoothTransformation;
    picture->setPixmap(QPixmap::fromImage(preview.scaled(size, Qt::IgnoreAspectRatio, mode)));
    picture->resize(size);
}

} // namespace ezedudu

#include "close_label.h"

#include <QMouseEvent>

namespace ezedudu {

CloseLabel::CloseLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
}

void CloseLabel::mousePressEvent(QMouseEvent* event)
{
    pressed = event->button() == Qt::LeftButton;
    event->accept(); // a press on the label never drags the window
}

// A click is a press and release on the label, as with a button.
void CloseLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

} // namespace ezedudu

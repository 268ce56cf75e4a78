#pragma once

#include <QLabel>

namespace ezedudu {

// A text label that reports a left click, as the window's "X" needs.
class CloseLabel : public QLabel {
    Q_OBJECT

public:
    CloseLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed = false;
};

} // namespace ezedudu

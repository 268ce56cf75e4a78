#pragma once

#include "ezedudu/canvas.h"

#include <QImage>
#include <QWidget>

namespace ezedudu {

// The window's hidden picture surface: it holds the chosen picture for the
// conversion to read and is never shown, whatever the picture's size.
class PictureCanvas : public QWidget {
    Q_OBJECT

public:
    explicit PictureCanvas(QWidget* parent);

    // Replaces the picture; throws ezedudu::Error when the file cannot be read.
    void Load(const QString& path);
    Canvas View() const;

private:
    QImage picture;
};

} // namespace ezedudu

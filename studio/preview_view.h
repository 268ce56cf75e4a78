#pragma once

#include <QImage>
#include <QScrollArea>

class QLabel;

namespace ezedudu {

// The art's preview, scrollable and zoomable: fitted to the view, or at a
// fixed factor; Ctrl + wheel zooms in steps.
class PreviewView : public QScrollArea {
    Q_OBJECT

public:
    explicit PreviewView(QWidget* parent);

    void SetPreview(const QImage& preview);
    void ZoomToFit();
    void ZoomTo(double factor);
    // The factor the preview is shown at now.
    double Zoom() const;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowZoomed();

    QLabel* picture;
    QImage preview;
    bool fitted = true;
    double factor = 1.0;
};

} // namespace ezedudu

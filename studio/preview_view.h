#pragma once

#include <QImage>
#include <QScrollArea>

class QLabel;

namespace ezedudu {

// The art's preview, scrollable and zoomable: fitted to the view, or at a
// chosen factor; Ctrl + wheel zooms a step at a time. Every factor is a whole
// ratio, so that every cell is drawn alike and shade patterns do not shimmer:
// 2 x to 8 x repeats each pixel, unsmoothed; 1/2 to 1/8 averages each block
// of pixels. Fitted, the preview takes the largest such factor that fits.
class PreviewView : public QScrollArea {
    Q_OBJECT

public:
    explicit PreviewView(QWidget* parent);

    void SetPreview(const QImage& preview);
    void ZoomToFit();
    // Shows the preview at times 100 %.
    void ZoomTo(int times);
    // The factor the preview is shown at now.
    double Zoom() const;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int FittingStep() const;
    void ShowZoomed();

    QLabel* picture;
    QImage preview;
    bool fitted = true;
    // The zoom counted in steps from 100 %: 1 is 200 %, 2 is 300 %; -1 is
    // 1/2, -2 is 1/3.
    int step = 0;
};

} // namespace ezedudu

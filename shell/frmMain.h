#pragma once

#include "platform_services.h"
#include "startup_request.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <optional>

class QProgressBar;

namespace ezedudu {

class CloseLabel;
class PictureCanvas;

// The program's only window: a frameless 400 x 100 panel showing the
// conversion's progress. Loading it runs the whole program: ask for a
// picture (unless the request names one), convert it beside itself, report
// "Finished", close.
class frmMain : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(PlatformServices& platform, StartupRequest request = {}, QWidget* parent = nullptr);
    ~frmMain() override;

    // The load handler: runs InPutter. True when an NFO file was written.
    bool Load();

    // The start-up sequence; every failure inside it ends the run quietly.
    void InPutter();
    bool FileExists(const QString& sFile);
    // Converts the loaded picture to OutputPath, then says "Finished" and
    // closes the window. Closing the window meanwhile cancels it.
    void ConvertNow();

    QString OutputPath;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PlatformServices& platform;
    StartupRequest request;
    QImage background;
    CloseLabel* Label1;
    QProgressBar* Progress;
    PictureCanvas* picProcess;
    OpenFileDialog cdlBrowse;

    bool converting = false;
    bool cancelRequested = false;
    bool written = false;
    // Set while the window follows the mouse itself, where the window system
    // cannot move it: the press position relative to the window.
    std::optional<QPoint> dragOffset;
};

} // namespace ezedudu

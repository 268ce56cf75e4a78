#pragma once

#include "live_renderer.h"

#include <QMainWindow>

#include <memory>
#include <string>

class QLabel;
class QMenu;
class QProgressBar;
class QSettings;

namespace ezedudu {

class ArtControls;
class PreviewView;

// The studio: the art as a viewer shows it, redrawn live as the controls
// beside it change. Saves exactly what ezedudu-cli writes with the same
// options, through the same conversion job and preview renderer.
class StudioWindow : public QMainWindow {
    Q_OBJECT

public:
    StudioWindow(QSettings& settings, const ConversionOptions& options, PreviewTheme theme,
                 QWidget* parent = nullptr);
    ~StudioWindow() override;

    // Each returns false, and says why in the window, when it fails; the art
    // shown and every file stay as they were.
    bool OpenFile(const QString& path);
    bool OpenImage(const QImage& image);
    bool SaveTo(const QString& path);
    bool ExportPreviewTo(const QString& path);

    // The art shown, as code-page-437 bytes; empty before the first render.
    const std::string& Art() const { return art; }
    QString CliCommand() const;

signals:
    // A render of the newest options is shown.
    void artShown();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void Open(std::shared_ptr<const RowSource> opened, const QString& path, const QString& name);
    void Render();
    void ShowArt(const std::string& nfo, const QImage& preview);
    void ShowProgress(int percent);
    void ShowError(const QString& text);
    void ShowMessage(const QString& text);
    void UpdateTitle();
    void RememberRecent(const QString& path);
    void FillRecentMenu();
    void AskToOpen();
    void AskToSave();
    void AskToExport();
    void Paste();
    QString DefaultOutput(const char* extension) const;

    QSettings& settings;
    ArtControls* controls;
    PreviewView* view;
    LiveRenderer renderer;
    QLabel* summary;
    QLabel* message;
    QProgressBar* progress;
    QMenu* recentMenu = nullptr;
    QList<QAction*> needArt;

    std::shared_ptr<const RowSource> picture;
    QString picturePath; // empty for a pasted picture
    QString pictureName;
    // The newest render asked for; only its art is ever shown.
    ConversionOptions requestedOptions;
    PreviewTheme requestedTheme = PreviewTheme::Light;
    // The art shown and the options it was made with.
    std::string art;
    ConversionOptions artOptions;
    PreviewTheme artTheme = PreviewTheme::Light;
};

} // namespace ezedudu

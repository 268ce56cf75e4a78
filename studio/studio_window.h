#pragma once

#include "live_renderer.h"

#include <QMainWindow>

#include <memory>
#include <optional>
#include <string>

class QLabel;
class QMenu;
class QProgressBar;
class QSettings;
class QTabWidget;

namespace ezedudu {

class ArtControls;
class ComposeView;
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

    // Opening is left to the renderer's thread: the picture replaces the
    // one shown, with its art, when artShown() is emitted; when artFailed()
    // is, the window says why and everything shown stays as it was.
    void OpenFile(const QString& path);
    void OpenImage(const QImage& image);
    // Each returns false, and says why in the window, when it fails; the art
    // shown and every file stay as they were. Neither ever writes onto the
    // picture shown.
    bool SaveTo(const QString& path);
    bool ExportPreviewTo(const QString& path);

    // The NFO file shown, as code-page-437 bytes; empty before the first render.
    std::string Art() const { return std::string(shown.nfo.page.Cp437()); }
    QString CliCommand() const;
    // Where Save (ending ".nfo") and Export ("-art.png") propose to write:
    // beside the picture and named after it, never the picture itself.
    QString DefaultOutput(const QString& ending) const;

    ComposeView* Composer() const { return compose; }
    // Shows the template file in the compose view; false, saying why, when
    // it cannot be read.
    bool OpenTemplate(const QString& path);
    // Starts a new template from a bundled example's text; its names are
    // found beside the example until it is saved elsewhere.
    void NewTemplateFrom(const QString& example);

signals:
    // A render of the newest options is shown.
    void artShown();
    // The newest render failed; message is what the window shows.
    void artFailed(const QString& message);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void Ask(Artwork art);
    // Remembers the controls' options and redraws the art with them.
    void ApplyOptions();
    // Shows the defaults; they are remembered once kept: at the next change
    // or when the window closes. Until then UndoReset brings back the
    // settings from before.
    void ResetToDefaults();
    void UndoReset();
    void Render();
    void ShowArt(const Artwork& art, const QImage& preview);
    void ShowFailure(const QString& reason);
    void ShowProgress(int percent);
    void ShowError(const QString& text);
    void ShowMessage(const QString& text);
    void UpdateTitle();
    // Throws Error (Refused) when output is the picture shown.
    void RefuseThePicture(const QString& output) const;
    void RememberRecent(const QString& path);
    void FillRecentMenu();
    void AskToOpen();
    void AskToSave();
    void AskToExport();
    void Paste();
    void BuildComposeMenus(QMenu* file, QMenu* edit);
    // True when the template has no unsaved changes, or the user lets them go.
    bool MayDiscardTemplate();
    void AskToOpenTemplate();
    void AskToSaveTemplate();
    void AskToSaveComposedNfo();
    void InsertArtIntoTemplate();

    QSettings& settings;
    ArtControls* controls;
    PreviewView* view;
    ComposeView* compose;
    QTabWidget* tabs;
    LiveRenderer renderer;
    QLabel* summary;
    QLabel* message;
    QProgressBar* progress;
    QMenu* recentMenu = nullptr;
    QList<QAction*> needArt;
    QAction* undoReset = nullptr;
    // The settings before Reset to Defaults, until the reset is kept.
    std::optional<ArtSettings> beforeReset;

    // What Save, Export, Copy and the title use: replaced only by a render
    // that succeeded.
    Artwork shown;
    // The newest render asked for; its picture is empty until the picture's
    // first art is shown.
    Artwork wanted;
};

} // namespace ezedudu

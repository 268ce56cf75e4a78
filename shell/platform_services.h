#pragma once

#include <QString>

#include <optional>

class QProgressBar;
class QWidget;

namespace ezedudu {

// The open-file dialog as the start-up sequence drives it: the caller sets
// the filter ("Description|*.pattern") and the title, shows it, then reads the
// chosen full path, which is empty after a cancel.
struct OpenFileDialog {
    QString Filter;
    QString DialogTitle;
    QString FileName;
};

// Message box styles: the icon shown beside a lone OK button.
enum class MessageStyle {
    Critical = 16,
    Information = 64,
};

// Everything the window's run asks of the desktop: dialogs, files, window
// lifetime, the progress bar and event processing. QtPlatformServices does it
// for real; tests script it.
class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // Modal; returns when the user dismisses it.
    virtual void ShowMessage(const QString& text, MessageStyle style, const QString& title) = 0;
    // Modal; sets dialog.FileName to the chosen or typed path, empty on cancel.
    virtual void ShowOpen(OpenFileDialog& dialog) = 0;
    // The file's length, or nothing for a missing file or a bad or empty name.
    virtual std::optional<qint64> FileLength(const QString& path) = 0;
    virtual void ShowWindow(QWidget& window) = 0;
    // Closing a window that is already closed does nothing.
    virtual void CloseWindow(QWidget& window) = 0;
    virtual void SetProgress(QProgressBar& bar, qint64 value, qint64 maximum) = 0;
    // Handles the window events queued so far (repaints, presses, clicks).
    virtual void ProcessPendingEvents() = 0;
};

} // namespace ezedudu

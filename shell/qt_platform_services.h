#pragma once

#include "platform_services.h"

namespace ezedudu {

// The platform services on Qt Widgets.
class QtPlatformServices : public PlatformServices {
public:
    void ShowMessage(const QString& text, MessageStyle style, const QString& title) override;
    void ShowOpen(OpenFileDialog& dialog) override;
    std::optional<qint64> FileLength(const QString& path) override;
    void ShowWindow(QWidget& window) override;
    void CloseWindow(QWidget& window) override;
    void SetProgress(QProgressBar& bar, qint64 value, qint64 maximum) override;
    void ProcessPendingEvents() override;
};

// "Bitmaps|*.bmp" in Qt's spelling, "Bitmaps (*.bmp)"; entries stay separated by ";;".
QString ToQtNameFilter(const QString& filter);

} // namespace ezedudu

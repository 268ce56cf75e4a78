#pragma once

#include "platform_services.h"

#include <QFileInfo>
#include <QProgressBar>
#include <QWidget>

#include <functional>
#include <vector>

// Platform services that answer from a script and record what the user
// would have seen, so the start-up sequence runs without a display or a
// modal box.
class ScriptedPlatform : public PlatformServices {
public:
    struct Message {
        QString text;
        MessageStyle style;
        QString title;
    };

    void ShowMessage(const QString& text, MessageStyle style, const QString& title) override
    {
        messages.push_back({text, style, title});
    }
    void ShowOpen(OpenFileDialog& dialog) override
    {
        dialogFilter = dialog.Filter;
        dialogTitle = dialog.DialogTitle;
        dialog.FileName = chosenFile;
    }
    std::optional<qint64> FileLength(const QString& path) override
    {
        const QFileInfo file(path);
        if (path.isEmpty() || !file.exists() || file.isDir())
            return std::nullopt;
        return file.size();
    }
    void ShowWindow(QWidget& window) override
    {
        window.show();
        shown = true;
    }
    void CloseWindow(QWidget& window) override
    {
        window.close();
        ++closes;
    }
    void SetProgress(QProgressBar& bar, qint64 value, qint64 maximum) override
    {
        bar.setMaximum(int(maximum));
        bar.setValue(int(value));
    }
    void ProcessPendingEvents() override
    {
        ++eventBreaks;
        if (duringConversion)
            duringConversion();
    }

    QString chosenFile;                   // what the user picks in the dialog
    std::function<void()> duringConversion; // what the user does while it runs

    QString dialogFilter;
    QString dialogTitle;
    std::vector<Message> messages;
    bool shown = false;
    int closes = 0;
    int eventBreaks = 0;
};

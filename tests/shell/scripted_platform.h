#pragma once

#include "qt_platform_services.h"

#include <QWidget>

#include <functional>
#include <vector>

namespace ezedudu {

// The real platform services, except that the dialog answers from a script,
// message boxes are recorded instead of shown, and the window's lifecycle is
// counted, so the start-up sequence runs without a modal box ever opening.
class ScriptedPlatform : public QtPlatformServices {
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
    void ShowWindow(QWidget& window) override
    {
        QtPlatformServices::ShowWindow(window);
        shown = true;
    }
    void CloseWindow(QWidget& window) override
    {
        QtPlatformServices::CloseWindow(window);
        ++closes;
    }
    void ProcessPendingEvents() override
    {
        QtPlatformServices::ProcessPendingEvents();
        ++eventBreaks;
        if (duringConversion)
            duringConversion();
    }

    QString chosenFile;                     // what the user picks in the dialog
    std::function<void()> duringConversion; // what the user does while it runs

    QString dialogFilter;
    QString dialogTitle;
    std::vector<Message> messages;
    bool shown = false;
    int closes = 0;
    int eventBreaks = 0;
};

} // namespace ezedudu

#pragma once

#include <QObject>

class QWidget;

namespace ezedudu {

// Lets a window's menu shortcuts work while a text field has the focus. A
// text field claims keys such as Ctrl+E (its line's end) before any shortcut
// sees them; for the shortcut of an enabled action of the window, the window
// wins. Keys without Ctrl, Alt or Meta, and the standard editing keys (cut,
// copy, paste, undo, redo, select all), stay the field's: they act on its
// text, as they do everywhere.
class MenuShortcutsFirst : public QObject {
public:
    // Watches the window's events until the window is gone.
    explicit MenuShortcutsFirst(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window;
};

} // namespace ezedudu

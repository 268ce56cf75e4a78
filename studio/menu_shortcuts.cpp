#include "menu_shortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

namespace ezedudu {
namespace {

constexpr QKeySequence::StandardKey EditingKeys[] = {QKeySequence::Cut,  QKeySequence::Copy, QKeySequence::Paste,
                                                    QKeySequence::Undo, QKeySequence::Redo, QKeySequence::SelectAll};

// Keys without Ctrl, Alt or Meta are typing.
bool IsFieldsKey(const QKeyEvent& key)
{
    return !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) ||
           std::any_of(std::begin(EditingKeys), std::end(EditingKeys),
                       [&](QKeySequence::StandardKey standard) { return key.matches(standard); });
}

} // namespace

MenuShortcutsFirst::MenuShortcutsFirst(QWidget* watchedWindow) : QObject(watchedWindow), window(watchedWindow)
{
    // The field's parents (a spin box around its line) are asked too, so
    // the application's filter is the one place that sees every one of them.
    qApp->installEventFilter(this);
}

bool MenuShortcutsFirst::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    const auto* target = qobject_cast<const QWidget*>(watched);
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (!target || target->window() != window || IsFieldsKey(*key))
        return false;
    const QKeySequence pressed(key->keyCombination());
    const QList<QAction*> actions = window->findChildren<QAction*>();
    const bool windowsOwn = std::any_of(actions.begin(), actions.end(), [&](const QAction* action) {
        return action->isEnabled() && action->shortcuts().contains(pressed);
    });
    if (!windowsOwn)
        return false;
    // Unclaimed, the key goes on to the window's shortcut.
    event->ignore();
    return true;
}

} // namespace ezedudu

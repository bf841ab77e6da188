#include "runtime/linux/XKeycodes.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

#include <string_view>

namespace runtime {
namespace {

// The US layout's digit and letter rows, each from its first X keycode.
constexpr std::pair<quint32, std::string_view> kUsRows[] = {
    {10, "1234567890"}, {24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};

int UsKeyAt(quint32 keycode) {
    for (const auto& [first, keys] : kUsRows)
        if (keycode >= first && keycode < first + keys.size())
            return keys[keycode - first];
    return 0;
}

bool IsPlainLetterOrDigit(int key) {
    return (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
}

} // namespace

UsKeyFallback::UsKeyFallback(QObject* parent) : QObject(parent) {}

bool UsKeyFallback::eventFilter(QObject* watched, QEvent* event) {
    // A key press reaches a widget only when no shortcut took it by the layout's symbol.
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || key->modifiers() != Qt::ControlModifier || IsPlainLetterOrDigit(key->key()))
        return false;
    const int usKey = UsKeyAt(key->nativeScanCode());
    if (!usKey)
        return false;
    const QKeySequence wanted(QKeyCombination(Qt::ControlModifier, Qt::Key(usKey)));
    for (const auto all = widget->window()->findChildren<QAction*>(); auto* action : all)
        if (action->isEnabled() && action->shortcut() == wanted) {
            action->trigger();
            return true;
        }
    return false;
}

} // namespace runtime

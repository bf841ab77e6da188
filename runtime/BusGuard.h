#pragma once

#include <QObject>

class QWidget;

namespace runtime {

// Stands in front of Qt's AT-SPI adaptor on the accessibility bus, so that no client can hang
// or crash the program through it: a call whose arguments do not match the method is refused,
// a value of the wrong type or not finite is refused, and a text range is cut to the text
// and measured up to its end, not one character past it.
// It also answers a slider's attributes with its value in words ("25 millimetres"), which
// screen readers speak in place of the bare number. It puts itself in place once Qt's bridge
// has registered, whenever an assistive tool turns accessibility on.
void GuardAccessibilityBus(QObject* parent);

// Has a screen reader speak `results` after a change, as the new description of whichever
// control of `window` has the focus, led by that control's own value or state. Orca presents
// such a change unasked, and nothing of a label that changes elsewhere. Changes in quick
// succession (a held key, a drag) are spoken once they stop, as the latest results only.
// Worth calling only while QAccessible::isActive(): nobody else hears it.
void Announce(QWidget* window, const QString& results);

} // namespace runtime

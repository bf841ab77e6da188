#pragma once

#include <QObject>

namespace runtime {

// Stands in front of Qt's AT-SPI adaptor on the accessibility bus, so that no client can hang
// or crash the program through it: a call whose arguments do not match the method is refused,
// a value of the wrong type or not finite is refused, and a text range is cut to the text
// and measured up to its end, not one character past it.
// It also answers a slider's attributes with its value in words ("25 millimetres"), which
// screen readers speak in place of the bare number. It puts itself in place once Qt's bridge
// has registered, whenever an assistive tool turns accessibility on.
void GuardAccessibilityBus(QObject* parent);

} // namespace runtime

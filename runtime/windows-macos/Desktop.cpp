#include "runtime/Desktop.h"

namespace runtime {

// Where a layout's key gives a character that names no shortcut (a Cyrillic letter, say),
// Qt's Windows plug-in already falls back to the key's virtual-key code, the US letter or digit
// in its place: no fallback of our own is needed. Its native scan codes are no X keycodes.
void InstallDesktopServices(QApplication&) {}

// UI Automation and NSAccessibility take Qt's accessibility as it is; Qt 6.4 carries no
// description change to either, so there is no channel for spoken results beyond the
// controls' own names, values and states, and the description that a screen reader reads
// when it asks.
void SendAnnouncement(QAccessibleInterface*, const QString&) {}

} // namespace runtime

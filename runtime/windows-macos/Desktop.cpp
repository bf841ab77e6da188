#include "runtime/Desktop.h"

#include <QAccessible>
#include <QString>
#include <QWidget>

namespace runtime {

// Where a layout's key gives a character that names no shortcut (a Cyrillic letter, say),
// Qt's Windows plug-in already falls back to the key's virtual-key code, the US letter or digit
// in its place: no fallback of our own is needed. Its native scan codes are no X keycodes.
void InstallDesktopServices(QApplication&) {}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
// Qt's plug-ins carry an announcement to the screen reader: UI Automation raises it as a
// notification, which Narrator and NVDA speak, and macOS as an announcement request. It goes
// at Qt's default politeness, which asks no screen reader to cut short what it is saying: the
// control's own new value or state comes first.
void SendAnnouncement(QAccessibleInterface* focus, const QString& text) {
    QAccessibleAnnouncementEvent event(focus, text);
    QAccessible::updateAccessibility(&event);
}
#else
// Qt before 6.8 carries no description change to UI Automation or NSAccessibility: the results
// go no further than the description that a screen reader reads when it asks.
void SendAnnouncement(QAccessibleInterface*, const QString&) {}
#endif

} // namespace runtime

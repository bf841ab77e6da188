#pragma once

class QAccessibleInterface;
class QApplication;
class QString;
class QWidget;

// What the desktop the program runs on adds to Qt's portable behaviour. Each build compiles
// one definition of these: runtime/linux/ under X11 or Wayland with the AT-SPI bus,
// runtime/windows-macos/ where Qt's own platform plug-in already does what is needed.
namespace runtime {

// Puts the desktop's own services in place, once the application object exists.
void InstallDesktopServices(QApplication& app);

// Tells a screen reader `text`, the new description of `focus`, the object that has the focus
// (a control, or the tab in focus on a tab bar): what it speaks after a change
// (runtime/accessibility/Announcer.h decides what and when).
void SendAnnouncement(QAccessibleInterface* focus, const QString& text);

} // namespace runtime

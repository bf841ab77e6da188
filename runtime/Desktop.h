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

// Tells a screen reader `text` from `focus`, the object that has the focus (a control, or the
// tab bar): what it speaks after a change (runtime/accessibility/Announcer.h decides what and
// when). AT-SPI hears it as the new description of the control, or of the tab in front; Qt's
// own Windows and macOS plug-ins, from Qt 6.8 on, as an announcement.
void SendAnnouncement(QAccessibleInterface* focus, const QString& text);

} // namespace runtime

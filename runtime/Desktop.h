#pragma once

class QApplication;
class QString;
class QWidget;

// What the desktop the program runs on adds to Qt's portable behaviour. Each build compiles
// one definition of these: runtime/linux/ under X11 or Wayland with the AT-SPI bus,
// runtime/windows-macos/ where Qt's own platform plug-in already does what is needed.
namespace runtime {

// Puts the desktop's own services in place, once the application object exists.
void InstallDesktopServices(QApplication& app);

// Has a screen reader speak `results` after a change, as the new description of whichever
// control of `window` has the focus, led by that control's own value or state. Changes in
// quick succession (a held key, a drag) are spoken once they stop, as the latest results
// only. Worth calling only while QAccessible::isActive(): nobody else hears it.
void Announce(QWidget* window, const QString& results);

} // namespace runtime

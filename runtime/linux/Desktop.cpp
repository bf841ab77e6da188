#include "runtime/Desktop.h"

#include "runtime/linux/AtSpiBus.h"
#include "runtime/linux/XKeycodes.h"

#include <QApplication>

namespace runtime {

void InstallDesktopServices(QApplication& app) {
    // Key events carry X keycodes, which name a key's place, only under X11 and Wayland; the
    // offscreen and minimal platforms have no keyboard layout to fall back from.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland")))
        app.installEventFilter(new UsKeyFallback(&app));
    GuardAccessibilityBus(&app);
}

} // namespace runtime

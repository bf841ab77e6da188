#include "runtime/Desktop.h"

namespace runtime {

// Qt's Windows and macOS plug-ins already match Ctrl and Cmd shortcuts by the key's place
// (its virtual-key code), whatever the layout, so no key fallback is needed.
void InstallDesktopServices(QApplication&) {}

// UI Automation and NSAccessibility take Qt's accessibility as it is; Qt 6.4 carries no
// description change to either, so there is no channel for spoken results beyond the
// controls' own names, values and states.
void Announce(QWidget*, const QString&) {}

} // namespace runtime

#pragma once

#include "runtime/Menu.h"

namespace menus {

// The program's one menu bar: File > Quit, Edit > Reset, Telescope > nine presets.
class MenuBar1 : public runtime::MenuBar {
public:
    MenuBar1();
};

} // namespace menus

// The shared menu bar, built on the first call; every later call returns the same object.
menus::MenuBar1& MenuBar1();

#pragma once

#include <array>

namespace menus {

// A stock telescope of the Telescope menu, in menu order; item i has the shortcut Cmd+(i+1).
struct Preset {
    const char* text;
    const char* name;
    double aperture;    // mm
    double focalLength; // mm
};

inline constexpr std::array<Preset, 9> kPresets{{
    {"76 mm Apochromat", "TV76Menu", 76, 480},
    {"80 mm Achromat", "EightyMenu", 80, 900},
    {"ETX 90 Maksutov", "ETXMenu", 90, 1250},
    {"102 mm Achromat", "OneOhTwoMenu", 102, 1000},
    {"114 mm Newt", "FirstscopeMenu", 114, 910},
    {"150 mm Newt (Wide)", "SixInchLongMenu", 150, 1200},
    {"150 mm Newt (Long)", "SixInchMenu", 150, 750},
    {"200 mm SCT", "LX90Menu", 200, 2000},
    {"235 mm SCT", "NineInchMenu", 235, 2350},
}};

} // namespace menus

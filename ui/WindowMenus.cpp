// The main window's menu commands: Reset and the nine telescope presets.
#include "menus/Presets.h"
#include "runtime/Controls.h"
#include "ui/Inputs.h"
#include "ui/Window1.h"

#include "runtime/accessibility/Announcer.h"

namespace ui {
namespace {

const menus::Preset& PresetNamed(std::string_view name) {
    for (const auto& preset : menus::kPresets)
        if (preset.name == name)
            return preset;
    throw runtime::NilObjectException(name);
}

} // namespace

void Window1::AddMenuHandlers() {
    using Command = bool (Window1::*)();
    const std::pair<const char*, Command> bindings[] = {
        {"ResetMenu", &Window1::ResetMenu_Action},
        {"TV76Menu", &Window1::TV76Menu_Action},
        {"LX90Menu", &Window1::LX90Menu_Action},
        {"ETXMenu", &Window1::ETXMenu_Action},
        {"FirstscopeMenu", &Window1::FirstscopeMenu_Action},
        {"SixInchMenu", &Window1::SixInchMenu_Action},
        {"SixInchLongMenu", &Window1::SixInchLongMenu_Action},
        {"NineInchMenu", &Window1::NineInchMenu_Action},
        {"OneOhTwoMenu", &Window1::OneOhTwoMenu_Action},
        {"EightyMenu", &Window1::EightyMenu_Action},
    };
    // A copy for the lambda: clang 14 cannot capture a structured binding.
    for (const auto& [name, bound] : bindings)
        AddMenuHandler(name, [this, command = bound] { return (this->*command)(); });
}

bool Window1::ResetMenu_Action() {
    DoOpenEvent();
    return false;
}

bool Window1::LoadPreset(const menus::Preset& preset) {
    Aperture = preset.aperture;
    Control<runtime::Slider>(kAperture.slider)
        .SetValue(static_cast<int>(Aperture - kAperture.offset));
    UpdateApertureValue();
    FocalLength = preset.focalLength;
    Control<runtime::Slider>(kFocalLength.slider)
        .SetValue(static_cast<int>(FocalLength - kFocalLength.offset));
    UpdateFocalLengthValue();
    PerformCalculations();
    PerformCalculations1();

    // A Barlow or reducer that is on stays in the light path, so that switching it off
    // later brings back this telescope's own focal length instead of halving it. A screen
    // reader hears first that it is still in, since the numbers it hears include it.
    const Optic* in = BarlowConstant != optics::kNormal ? &kBarlow
                      : RCConstant != optics::kNormal   ? &kReducer
                                                        : nullptr;
    if (in) {
        FocalLength = FocalLength * in->onFactor;
        ShowFocalLength(kOpticFocalLengthMask);
        PerformCalculations();
        PerformCalculations1();
    }
    announcer_->Later(in ? &Control<QWidget>(in->button) : nullptr);
    return false;
}

bool Window1::TV76Menu_Action() { return LoadPreset(PresetNamed("TV76Menu")); }
bool Window1::EightyMenu_Action() { return LoadPreset(PresetNamed("EightyMenu")); }
bool Window1::ETXMenu_Action() { return LoadPreset(PresetNamed("ETXMenu")); }
bool Window1::OneOhTwoMenu_Action() { return LoadPreset(PresetNamed("OneOhTwoMenu")); }
bool Window1::FirstscopeMenu_Action() { return LoadPreset(PresetNamed("FirstscopeMenu")); }
bool Window1::SixInchLongMenu_Action() { return LoadPreset(PresetNamed("SixInchLongMenu")); }
bool Window1::SixInchMenu_Action() { return LoadPreset(PresetNamed("SixInchMenu")); }
bool Window1::LX90Menu_Action() { return LoadPreset(PresetNamed("LX90Menu")); }
bool Window1::NineInchMenu_Action() { return LoadPreset(PresetNamed("NineInchMenu")); }

} // namespace ui

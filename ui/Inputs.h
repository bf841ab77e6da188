#pragma once

// The window's inputs and optics as data: the one place for their ranges, masks, factors and
// status texts, read by the handlers, the control table and the fitting of the layout.

#include "optics/Optics.h"

#include <map>
#include <set>
#include <string>

namespace ui {

// One input: its caption, its slider, the offset from slider units to the quantity, the
// property it feeds, its value label with mask and suffix, the slider's top end (its bottom
// is 0) and which eyepieces it changes.
struct Input {
    const char* caption;
    const char* slider;
    int offset;
    double optics::OpticsValues::*property;
    const char* label;
    const char* mask;
    const char* suffix;
    int top;
    bool eyepiece1;
    bool eyepiece2;
};

using optics::OpticsValues;
// clang-format off
inline constexpr Input kAperture{"StaticText4", "ApertureSlider", 50, &OpticsValues::Aperture, "ApertureText", "####", " mm", 350, true, true};
inline constexpr Input kFocalLength{"StaticText5", "FLSlider", 400, &OpticsValues::FocalLength, "FocalLengthText", "####", " mm", 2600, true, true};
inline constexpr Input kEFL{"StaticText11", "EFLSlider", 3, &OpticsValues::EFL, "EFLText", "##", " mm", 52, true, false};
inline constexpr Input kAFOV{"StaticText6", "AFOVSlider", 0, &OpticsValues::AFOV, "AFOVText", "###", "˚", 90, true, false};
inline constexpr Input kEFL1{"StaticText15", "EFLSlider1", 3, &OpticsValues::EFL1, "EFLText1", "##", " mm", 52, false, true};
inline constexpr Input kAFOV1{"StaticText7", "AFOVSlider1", 0, &OpticsValues::AFOV1, "AFOVText1", "###", "˚", 90, false, true};
// clang-format on
inline constexpr const Input* kInputs[] = {&kAperture, &kFocalLength, &kEFL,
                                           &kAFOV,     &kEFL1,        &kAFOV1};

// A Barlow or reducer: its button, its state word while on, its factor, the button it locks
// and the status text shown while it is on.
struct Optic {
    const char* button;
    const char* onWord;
    double onFactor;
    const char* otherButton;
    const char* status;
};

inline constexpr Optic kBarlow{"BarlowButton", "Barlow", optics::kBarlowOn, "RCButton", "Barlow"};
inline constexpr Optic kReducer{"RCButton", "RC", optics::kReducerOn, "BarlowButton", "R/C"};
inline constexpr const Optic* kOptics[] = {&kBarlow, &kReducer};
// The mask of the focal length while an optic goes in or out.
inline constexpr const char* kOpticFocalLengthMask = "###";

// The texts that a value label, read-out or the status line can show at the far ends of the
// inputs, keyed by label name, each with its digits written as 0: every width they can take.
using TextShapes = std::map<std::string, std::set<std::string>, std::less<>>;
TextShapes ReachableShapes();

} // namespace ui

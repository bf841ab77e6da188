#include "ui/Window1.h"

#include "menus/MenuBar1.h"
#include "runtime/Beep.h"
#include "runtime/Controls.h"
#include "runtime/Format.h"

#include <QApplication>
#include <QIcon>
#include <QLayout>

using runtime::Slider;
using runtime::StaticText;

namespace ui {

// One input: its slider, the offset from slider units to the quantity, the property it
// feeds, its label, the slider's top end and which eyepieces it changes.
struct Input {
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

namespace {

using optics::kBarlowOff;
using optics::kBarlowOn;
using optics::kNormal;
using optics::kReducerOff;
using optics::kReducerOn;

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const Input kAperture{
    "ApertureSlider", 50, &Window1::Aperture, "ApertureText", "####", " mm", 350, true, true};
const Input kFocalLength{
    "FLSlider", 400, &Window1::FocalLength, "FocalLengthText", "####", " mm", 2600, true, true};
const Input kEFL{"EFLSlider", 3, &Window1::EFL, "EFLText", "##", " mm", 52, true, false};
const Input kAFOV{"AFOVSlider", 0, &Window1::AFOV, "AFOVText", "###", "˚", 90, true, false};
const Input kEFL1{"EFLSlider1", 3, &Window1::EFL1, "EFLText1", "##", " mm", 52, false, true};
const Input kAFOV1{"AFOVSlider1", 0, &Window1::AFOV1, "AFOVText1", "###", "˚", 90, false, true};
const Input* const kInputs[] = {&kAperture, &kFocalLength, &kEFL, &kAFOV, &kEFL1, &kAFOV1};

} // namespace

Window1::Window1() {
    Layout();
    CreateControls();
    AddMenuHandlers();
    Open();
    show();
}

void Window1::Layout() {
    SetMenuBar(::MenuBar1());
    setWindowTitle(QStringLiteral("Miravane"));
    // The desktop entry's icon, drawn once as SVG and built into the program.
    setWindowIcon(QIcon(QStringLiteral(":/icons/org.miravane.Miravane.svg")));
    // Minimise and close, but no maximise or zoom: the layout is fixed.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    Content()->setFixedSize(737, 316);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Window1::CreateControls() {
    _CreateControls0();
    for (const Input* input : kInputs)
        Control<Slider>(input->slider).SetOffset(input->offset);
    // Tab follows reading order: the telescope, the page tabs, then the page in front from the
    // top. The controls were made in another order, and a hidden page's sliders are skipped.
    const char* const tabOrder[] = {"ApertureSlider", "FLSlider",  "EyepieceTabPanel",
                                    "AFOVSlider",     "EFLSlider", "AFOVSlider1",
                                    "EFLSlider1"};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(&Control<QWidget>(tabOrder[i - 1]), &Control<QWidget>(tabOrder[i]));
}

void Window1::Open() { DoOpenEvent(); }

void Window1::SetReadout(std::string_view label, const std::string& text) {
    Control<StaticText>(label).SetText(ToQString(text));
}

void Window1::PerformCalculations() { optics::PerformCalculations(*this, *this); }

void Window1::PerformCalculations1() { optics::PerformCalculations1(*this, *this); }

void Window1::UpdateInput(const Input& input) {
    this->*input.property =
        static_cast<double>(Control<Slider>(input.slider).Value() + input.offset);
    Control<StaticText>(input.label)
        .SetText(ToQString(runtime::Format(this->*input.property, input.mask) + input.suffix));
    // No Refresh here: each label and the slider repaint themselves as they change, and a
    // whole-window repaint for every report of a drag would cost more than all the rest.
    if (input.eyepiece1)
        PerformCalculations();
    if (input.eyepiece2)
        PerformCalculations1();
}

void Window1::StepInput(const Input& input, int bound, int step) {
    auto& slider = Control<Slider>(input.slider);
    const int value = slider.Value();
    if (value == bound) {
        MyAlert();
        return;
    }
    slider.SetValue(value + step);
    UpdateInput(input);
}

void Window1::UpdateApertureValue() { UpdateInput(kAperture); }
void Window1::UpdateFocalLengthValue() { UpdateInput(kFocalLength); }
void Window1::UpdateEFLValue() { UpdateInput(kEFL); }
void Window1::UpdateAFOV() { UpdateInput(kAFOV); }
void Window1::UpdateEFLValue1() { UpdateInput(kEFL1); }
void Window1::UpdateAFOV1() { UpdateInput(kAFOV1); }

void Window1::MyAlert() { runtime::Beep(); }

void Window1::ApertureSlider_ValueChanged() { UpdateApertureValue(); }
void Window1::FLSlider_ValueChanged() { UpdateFocalLengthValue(); }
void Window1::EFLSlider_ValueChanged() { UpdateEFLValue(); }
void Window1::AFOVSlider_ValueChanged() { UpdateAFOV(); }
void Window1::EFLSlider1_ValueChanged() { UpdateEFLValue1(); }
void Window1::AFOVSlider1_ValueChanged() { UpdateAFOV1(); }

void Window1::ApertureUpDownArrows_Down() { StepInput(kAperture, 0, -1); }
void Window1::ApertureUpDownArrows_Up() { StepInput(kAperture, kAperture.top, +1); }
void Window1::FLUpDownArrows_Down() { StepInput(kFocalLength, 0, -1); }
void Window1::FLUpDownArrows_Up() { StepInput(kFocalLength, kFocalLength.top, +1); }
void Window1::EFUpDownArrows_Down() { StepInput(kEFL, 0, -1); }
void Window1::EFUpDownArrows_Up() { StepInput(kEFL, kEFL.top, +1); }
void Window1::AFOVUpDownArrows_Down() { StepInput(kAFOV, 0, -1); }
void Window1::AFOVUpDownArrows_Up() { StepInput(kAFOV, kAFOV.top, +1); }
void Window1::EFUpDownArrows1_Down() { StepInput(kEFL1, 0, -1); }
void Window1::EFUpDownArrows1_Up() { StepInput(kEFL1, kEFL1.top, +1); }
void Window1::AFOVUpDownArrows1_Down() { StepInput(kAFOV1, 0, -1); }
void Window1::AFOVUpDownArrows1_Up() { StepInput(kAFOV1, kAFOV1.top, +1); }

void Window1::ShowFocalLength(const char* mask) {
    Control<StaticText>(kFocalLength.label)
        .SetText(ToQString(runtime::Format(FocalLength, mask) + kFocalLength.suffix));
}

void Window1::SetTelescopeEnabled(bool enabled, const char* otherButton) {
    // Disabled from the aperture down; enabled arrows first, as the toggles always did.
    const char* const disableOrder[] = {"ApertureSlider", "ApertureUpDownArrows", "FLSlider",
                                        "FLUpDownArrows", otherButton};
    const char* const enableOrder[] = {"ApertureUpDownArrows", "ApertureSlider", "FLSlider",
                                       "FLUpDownArrows", otherButton};
    for (const char* name : enabled ? enableOrder : disableOrder)
        Control<QWidget>(name).setEnabled(enabled);
}

void Window1::Toggle(std::string& state, const char* onWord, double onFactor, double offFactor,
                     const char* button, const char* otherButton, const char* statusText) {
    const bool switchOn = state == kNormal;
    FocalLength = FocalLength * (switchOn ? onFactor : offFactor);
    ShowFocalLength("###");
    PerformCalculations();
    PerformCalculations1();
    SetTelescopeEnabled(!switchOn, otherButton);
    state = switchOn ? onWord : kNormal;
    Control<runtime::BevelButton>(button).SetOn(switchOn);
    Control<StaticText>("StatusText").SetText(switchOn ? ToQString(statusText) : QString());
}

void Window1::BarlowButton_Action() {
    Toggle(BarlowConstant, "Barlow", kBarlowOn, kBarlowOff, "BarlowButton", "RCButton", "Barlow");
}

void Window1::RCButton_Action() {
    Toggle(RCConstant, "RC", kReducerOn, kReducerOff, "RCButton", "BarlowButton", "R/C");
}

void Window1::DoOpenEvent() {
    Aperture = 200;
    FocalLength = 2000;
    EFL = 25;
    AFOV = 50;
    EFL1 = 32;
    AFOV1 = 52;

    BarlowConstant = kNormal;
    RCConstant = kNormal;
    Control<StaticText>("StatusText").SetText(QString());
    SetTelescopeEnabled(true, "BarlowButton");
    Control<QWidget>("RCButton").setEnabled(true);
    for (const char* button : {"BarlowButton", "RCButton"})
        Control<runtime::BevelButton>(button).SetOn(false);

    for (const Input* input : kInputs)
        Control<Slider>(input->slider)
            .SetValue(static_cast<int>(this->*input->property) - input->offset);
    for (const Input* input : {&kAperture, &kFocalLength, &kEFL, &kEFL1, &kAFOV, &kAFOV1})
        UpdateInput(*input);

    PerformCalculations();
    PerformCalculations1();
    Refresh();
}

} // namespace ui

ui::Window1& Window1() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<ui::Window1*>(widget))
            return *window;
    return *new ui::Window1;
}

#include "ui/Window1.h"

#include "menus/MenuBar1.h"
#include "runtime/Beep.h"
#include "runtime/Controls.h"
#include "runtime/Format.h"
#include "runtime/Text.h"
#include "runtime/accessibility/Accessible.h"
#include "runtime/accessibility/Announcer.h"
#include "ui/Inputs.h"

#include <QApplication>
#include <QLayout>

using optics::kNormal;
using runtime::Slider;
using runtime::StaticText;
using runtime::ToQString;

namespace ui {

Window1::Window1() : announcer_(new runtime::Announcer(this, [this] { return SpokenResults(); })) {
    Layout();
    CreateControls();
    AddMenuHandlers();
    Open();
    show();
}

void Window1::Layout() {
    SetMenuBar(::MenuBar1());
    setWindowTitle(QStringLiteral("Miravane"));
    // Minimise and close, but no maximise or zoom: the layout is fixed.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    Content()->setFixedSize(kDesignSize);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Window1::CreateControls() {
    CreateControls0();
    // Tab follows reading order: the telescope, the page tabs, the page in front from the top,
    // then the optics. The controls were made in another order, and a hidden page's sliders
    // and a locked button are skipped.
    const char* const tabOrder[] = {"ApertureSlider", "FLSlider",     "EyepieceTabPanel",
                                    "AFOVSlider",     "EFLSlider",    "AFOVSlider1",
                                    "EFLSlider1",     "BarlowButton", "RCButton"};
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
    announcer_->Later();
}

QString Window1::SpokenResults() const {
    const QString page = Control<runtime::TabPanel>("EyepieceTabPanel").currentIndex()
                             ? QStringLiteral("1")
                             : QString();
    const auto shown = [&](const char* label, int skip) {
        return runtime::Spoken(
            Control<StaticText>((QLatin1String(label) + page).toStdString()).Text().mid(skip));
    };
    return QStringLiteral("Focal ratio %1. Eyepiece %2: magnification %3, true field %4, exit "
                          "pupil %5 millimetres")
        .arg(Control<StaticText>("FNumberText").Text().mid(4),
             page.isEmpty() ? QStringLiteral("1") : QStringLiteral("2"),
             shown("MagnificationText", 2), shown("TFOVText", 0), shown("ExitText", 0));
}

void Window1::StepInput(const Input& input, int bound, int step) {
    auto& slider = Control<Slider>(input.slider);
    const int value = slider.Value();
    if (value == bound) {
        MyAlert();
    } else {
        slider.SetValue(value + step);
        UpdateInput(input);
    }
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
    // Screen readers are told of the changes in this order: locked from the aperture down,
    // unlocked from the aperture's arrows.
    const char* const disableOrder[] = {"ApertureSlider", "ApertureUpDownArrows", "FLSlider",
                                        "FLUpDownArrows", otherButton};
    const char* const enableOrder[] = {"ApertureUpDownArrows", "ApertureSlider", "FLSlider",
                                       "FLUpDownArrows", otherButton};
    for (const char* name : enabled ? enableOrder : disableOrder)
        Control<QWidget>(name).setEnabled(enabled);
}

void Window1::Toggle(std::string& state, const Optic& optic) {
    const bool switchOn = state == kNormal;
    // Out again, the focal length is the slider's own whole value: undoing the factor by a
    // second multiplication could leave it a last bit off, and later results rounding the
    // other way.
    FocalLength = switchOn ? FocalLength * optic.onFactor
                           : Control<Slider>(kFocalLength.slider).Value() + kFocalLength.offset;
    ShowFocalLength(kOpticFocalLengthMask);
    PerformCalculations();
    PerformCalculations1();
    // A keyboard user whose control is about to be locked goes on from the button that locks
    // it, rather than wherever Qt would send the focus.
    auto& button = Control<runtime::BevelButton>(optic.button);
    if (QWidget* focus = QApplication::focusWidget();
        switchOn && focus &&
        (focus == &Control<QWidget>(kAperture.slider) ||
         focus == &Control<QWidget>(kFocalLength.slider) ||
         focus == &Control<QWidget>(optic.otherButton)))
        button.setFocus(Qt::OtherFocusReason);
    SetTelescopeEnabled(!switchOn, optic.otherButton);
    state = switchOn ? optic.onWord : kNormal;
    button.SetOn(switchOn);
    Control<StaticText>("StatusText").SetText(switchOn ? ToQString(optic.status) : QString());
    // Led by what changed, wherever the focus is: a click leaves it where it was.
    announcer_->Later(&button);
}

void Window1::BarlowButton_Action() { Toggle(BarlowConstant, kBarlow); }

void Window1::RCButton_Action() { Toggle(RCConstant, kReducer); }

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
    for (const Optic* optic : kOptics)
        Control<runtime::BevelButton>(optic->button).SetOn(false);

    for (const Input* input : kInputs)
        Control<Slider>(input->slider)
            .SetValue(static_cast<int>(this->*input->property) - input->offset);
    for (const Input* input : {&kAperture, &kFocalLength, &kEFL, &kEFL1, &kAFOV, &kAFOV1})
        UpdateInput(*input);
    Refresh();
}

} // namespace ui

ui::Window1& Window1() {
    for (const auto all = QApplication::topLevelWidgets(); auto* widget : all)
        if (auto* window = qobject_cast<ui::Window1*>(widget))
            return *window;
    return *new ui::Window1;
}

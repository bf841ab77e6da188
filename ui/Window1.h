#pragma once

// The calculator's one window.
//
// How an event reaches the read-outs: a control built from the table in ControlTable.cpp
// raises a Qt signal (a slider's ValueChanged, an arrow's Up or Down, a button's Action)
// that is connected to the handler named after the control and event. A slider handler
// runs its input's update method; an arrow handler first checks the range's end (beeping
// there) and then moves the slider and runs the same update. The update method derives the
// input value from the slider, writes the input's label and runs the optics calculations,
// which store their results in the window's OpticsValues and hand each read-out text back
// through SetReadout, which writes it into the label of that name. Each label and slider asks
// Qt to repaint itself as it changes, and Qt merges those requests until the next paint; only
// opening the window asks for a repaint of all of it. Menu commands arrive by item name
// through runtime::Window; their handlers (presets and Reset) live in WindowMenus.cpp and
// use the same update methods. ui/ uses menus/ (the menu bar and the preset table), never the
// other way round. The inputs' ranges, masks and the optics' factors are data in Inputs.h.
//
// Before the window is first shown, the layout grows by one factor until every label's widest
// reachable text fits in the font the desktop gives it. A label's new text also reaches
// screen readers as an accessibility event (runtime/Controls.cpp), only while one listens.

#include "optics/Optics.h"
#include "runtime/Window.h"

namespace runtime {
class Announcer;
}

namespace menus {
struct Preset;
}

namespace ui {

struct Input;
struct Optic;

class Window1 : public runtime::Window, public optics::OpticsValues, private optics::ReadoutSink {
    Q_OBJECT
public:
    // Builds the window, binds its menu commands and opens it with the start-up values.
    Window1();

    // The content size as designed, before the layout grows to fit the desktop's font.
    static constexpr QSize kDesignSize{737, 316};
    // How much the layout was scaled so that every text fits whole in the font it has: 1 when
    // the design fits, as it does in DejaVu Sans 9.
    double LayoutFactor() const { return layoutFactor_; }

    void PerformCalculations();
    void PerformCalculations1();

    void UpdateApertureValue();
    void UpdateFocalLengthValue();
    void UpdateEFLValue();
    void UpdateAFOV();
    void UpdateEFLValue1();
    void UpdateAFOV1();
    void MyAlert();
    void DoOpenEvent();

    void ApertureSlider_ValueChanged();
    void FLSlider_ValueChanged();
    void ApertureUpDownArrows_Down();
    void ApertureUpDownArrows_Up();
    void FLUpDownArrows_Down();
    void FLUpDownArrows_Up();
    void BarlowButton_Action();
    void RCButton_Action();
    void EFUpDownArrows_Down();
    void EFUpDownArrows_Up();
    void EFLSlider_ValueChanged();
    void AFOVSlider_ValueChanged();
    void AFOVUpDownArrows_Down();
    void AFOVUpDownArrows_Up();
    void EFUpDownArrows1_Down();
    void EFUpDownArrows1_Up();
    void EFLSlider1_ValueChanged();
    void AFOVSlider1_ValueChanged();
    void AFOVUpDownArrows1_Down();
    void AFOVUpDownArrows1_Up();

    bool ResetMenu_Action();
    bool TV76Menu_Action();
    bool EightyMenu_Action();
    bool ETXMenu_Action();
    bool OneOhTwoMenu_Action();
    bool FirstscopeMenu_Action();
    bool SixInchLongMenu_Action();
    bool SixInchMenu_Action();
    bool LX90Menu_Action();
    bool NineInchMenu_Action();

private:
    void Layout();
    void CreateControls();
    void CreateControls0();
    double FitFactor(std::map<std::string, int, std::less<>>& grownWidths) const;
    void PlaceControls(const std::map<std::string, int, std::less<>>& grownWidths);
    void AddMenuHandlers();
    void Open();

    void UpdateInput(const Input& input);
    void StepInput(const Input& input, int bound, int step);
    void Toggle(std::string& state, const Optic& optic);
    // The focal ratio and the front eyepiece's results as shown now, in words for a screen
    // reader.
    QString SpokenResults() const;
    void ShowFocalLength(const char* mask);
    void SetTelescopeEnabled(bool enabled, const char* otherButton);
    bool LoadPreset(const menus::Preset& preset);

    void SetReadout(std::string_view label, const std::string& text) override;

    double layoutFactor_ = 1;
    runtime::Announcer* announcer_;
};

} // namespace ui

// The main window: the existing one if there is one, else a new one, built and opened.
ui::Window1& Window1();

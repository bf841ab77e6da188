#include "ui/Window1.h"

#include "runtime/Controls.h"
#include "ui/Inputs.h"

#include <QStyleOptionButton>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <cmath>
#include <set>
#include <stdexcept>
#include <string>

namespace ui {
namespace {

enum class Kind { Placard, Slider, StaticText, UpDownArrows, BevelButton, TabPanel };
using Handler = void (Window1::*)();
using W = Window1;

struct Range {
    int minimum, value, maximum;
};

// One control as it is built. Rectangles are in content-area coordinates, also for children
// of the placard and the tab pages. `tab` is the page (0 or 1) of a tab-panel child.
struct ControlRow {
    Kind kind;
    const char* name;
    // What a screen reader calls the control; for arrows, the input whose halves step it.
    const char* accessible;
    const char* parent = nullptr;
    int tab = -1;
    QRect rect;
    const char* text = "";
    Qt::Alignment align = Qt::AlignLeft;
    Range range{};
    // Connected in this order: ValueChanged, Down, Up, Action.
    Handler valueChanged = nullptr, down = nullptr, up = nullptr, action = nullptr;
};

constexpr auto Right = Qt::AlignRight;
constexpr const char* Tab1Caption = "Eyepiece 1";
constexpr const char* Tab2Caption = "Eyepiece 2";

// clang-format off
const ControlRow kControls[] = {
    {Kind::Placard, "Placard1", "Telescope", nullptr, -1, {117, 14, 600, 78}},
    {Kind::Slider, "ApertureSlider", "Aperture", "Placard1", -1, {301, 31, 381, 16}, "", {}, {0, 150, kAperture.top}, &W::ApertureSlider_ValueChanged},
    {Kind::StaticText, "ApertureText", "Aperture value", "Placard1", -1, {220, 24, 83, 20}, "000 mm"},
    {Kind::StaticText, "StaticText4", "", "Placard1", -1, {132, 24, 82, 20}, "Aperture:", Right},
    {Kind::Slider, "FLSlider", "Focal length", "Placard1", -1, {301, 63, 381, 16}, "", {}, {0, 1600, kFocalLength.top}, &W::FLSlider_ValueChanged},
    {Kind::StaticText, "FocalLengthText", "Focal length value", "Placard1", -1, {220, 56, 83, 20}, "0000 mm"},
    {Kind::StaticText, "StaticText5", "", "Placard1", -1, {132, 56, 82, 20}, "Focal length:", Right},
    {Kind::UpDownArrows, "ApertureUpDownArrows", "Aperture", "Placard1", -1, {694, 25, 13, 23}, "", {}, {}, nullptr, &W::ApertureUpDownArrows_Down, &W::ApertureUpDownArrows_Up},
    {Kind::UpDownArrows, "FLUpDownArrows", "Focal length", "Placard1", -1, {694, 57, 13, 23}, "", {}, {}, nullptr, &W::FLUpDownArrows_Down, &W::FLUpDownArrows_Up},
    {Kind::StaticText, "StaticText1", "", nullptr, -1, {20, 14, 85, 20}, "Telescope"},
    {Kind::StaticText, "FNumberText", "Focal ratio", nullptr, -1, {20, 36, 85, 20}, "ƒ = "},
    {Kind::BevelButton, "BarlowButton", "Barlow lens", nullptr, -1, {521, 274, 92, 22}, "Barlow", {}, {}, nullptr, nullptr, nullptr, &W::BarlowButton_Action},
    {Kind::BevelButton, "RCButton", "Reducer/corrector", nullptr, -1, {625, 274, 92, 22}, "R/C", {}, {}, nullptr, nullptr, nullptr, &W::RCButton_Action},
    {Kind::StaticText, "StatusText", "Optic in the light path", nullptr, -1, {20, 56, 85, 20}, ""},
    {Kind::TabPanel, "EyepieceTabPanel", "Eyepieces", nullptr, -1, {117, 103, 600, 159}},
    {Kind::StaticText, "MagnificationText", "Eyepiece 1 magnification", "EyepieceTabPanel", 0, {248, 228, 57, 20}, "00"},
    {Kind::StaticText, "StaticText8", "", "EyepieceTabPanel", 0, {140, 228, 96, 20}, "Magnification:", Right},
    {Kind::StaticText, "TFOVText", "Eyepiece 1 true field of view", "EyepieceTabPanel", 0, {458, 228, 43, 20}, "00'"},
    {Kind::StaticText, "StaticText9", "", "EyepieceTabPanel", 0, {317, 228, 123, 20}, "True field of view:", Right},
    {Kind::StaticText, "ExitText", "Eyepiece 1 exit pupil", "EyepieceTabPanel", 0, {621, 228, 74, 20}, "00.00 mm"},
    {Kind::StaticText, "StaticText10", "", "EyepieceTabPanel", 0, {513, 228, 96, 20}, "Exit pupil:", Right},
    {Kind::StaticText, "StaticText6", "", "EyepieceTabPanel", 0, {126, 143, 82, 20}, "AFOV:", Right},
    {Kind::StaticText, "EFLText", "Eyepiece 1 focal length value", "EyepieceTabPanel", 0, {220, 175, 81, 20}, "00 mm"},
    {Kind::StaticText, "StaticText11", "", "EyepieceTabPanel", 0, {126, 175, 82, 20}, "Focal length:", Right},
    {Kind::StaticText, "AFOVText", "Eyepiece 1 apparent field value", "EyepieceTabPanel", 0, {220, 143, 83, 20}, "00˚"},
    {Kind::UpDownArrows, "EFUpDownArrows", "Eyepiece 1 focal length", "EyepieceTabPanel", 0, {694, 176, 13, 23}, "", {}, {}, nullptr, &W::EFUpDownArrows_Down, &W::EFUpDownArrows_Up},
    {Kind::Slider, "EFLSlider", "Eyepiece 1 focal length", "EyepieceTabPanel", 0, {301, 182, 381, 16}, "", {}, {0, 29, kEFL.top}, &W::EFLSlider_ValueChanged},
    {Kind::Slider, "AFOVSlider", "Eyepiece 1 apparent field", "EyepieceTabPanel", 0, {301, 150, 381, 16}, "", {}, {0, 52, kAFOV.top}, &W::AFOVSlider_ValueChanged},
    {Kind::UpDownArrows, "AFOVUpDownArrows", "Eyepiece 1 apparent field", "EyepieceTabPanel", 0, {694, 144, 13, 23}, "", {}, {}, nullptr, &W::AFOVUpDownArrows_Down, &W::AFOVUpDownArrows_Up},
    {Kind::StaticText, "MagnificationText1", "Eyepiece 2 magnification", "EyepieceTabPanel", 1, {248, 228, 57, 20}, "00"},
    {Kind::StaticText, "StaticText12", "", "EyepieceTabPanel", 1, {140, 228, 96, 20}, "Magnification:", Right},
    {Kind::StaticText, "TFOVText1", "Eyepiece 2 true field of view", "EyepieceTabPanel", 1, {458, 228, 43, 20}, "00'"},
    {Kind::StaticText, "StaticText13", "", "EyepieceTabPanel", 1, {317, 228, 123, 20}, "True field of view:", Right},
    {Kind::StaticText, "ExitText1", "Eyepiece 2 exit pupil", "EyepieceTabPanel", 1, {621, 228, 74, 20}, "00.00 mm"},
    {Kind::StaticText, "StaticText14", "", "EyepieceTabPanel", 1, {513, 228, 96, 20}, "Exit pupil:", Right},
    {Kind::StaticText, "StaticText7", "", "EyepieceTabPanel", 1, {126, 143, 82, 20}, "AFOV:", Right},
    {Kind::StaticText, "EFLText1", "Eyepiece 2 focal length value", "EyepieceTabPanel", 1, {220, 175, 81, 20}, "00 mm"},
    {Kind::StaticText, "StaticText15", "", "EyepieceTabPanel", 1, {126, 175, 82, 20}, "Focal length:", Right},
    {Kind::StaticText, "AFOVText1", "Eyepiece 2 apparent field value", "EyepieceTabPanel", 1, {220, 143, 83, 20}, "00˚"},
    {Kind::UpDownArrows, "EFUpDownArrows1", "Eyepiece 2 focal length", "EyepieceTabPanel", 1, {694, 176, 13, 23}, "", {}, {}, nullptr, &W::EFUpDownArrows1_Down, &W::EFUpDownArrows1_Up},
    {Kind::Slider, "EFLSlider1", "Eyepiece 2 focal length", "EyepieceTabPanel", 1, {301, 182, 381, 16}, "", {}, {0, 29, kEFL1.top}, &W::EFLSlider1_ValueChanged},
    {Kind::Slider, "AFOVSlider1", "Eyepiece 2 apparent field", "EyepieceTabPanel", 1, {301, 150, 381, 16}, "", {}, {0, 52, kAFOV1.top}, &W::AFOVSlider1_ValueChanged},
    {Kind::UpDownArrows, "AFOVUpDownArrows1", "Eyepiece 2 apparent field", "EyepieceTabPanel", 1, {694, 144, 13, 23}, "", {}, {}, nullptr, &W::AFOVUpDownArrows1_Down, &W::AFOVUpDownArrows1_Up},
};
// clang-format on

// Labels that may take the free room up to the left edge of the next label on their row,
// so that a long true field fits without a larger window.
const std::pair<const char*, const char*> kRoomUpTo[] = {{"TFOVText", "StaticText10"},
                                                         {"TFOVText1", "StaticText14"}};

const ControlRow& RowNamed(std::string_view name) {
    for (const ControlRow& row : kControls)
        if (row.name == name)
            return row;
    throw runtime::NilObjectException(name);
}

// The widget each row's control lives in, and where its origin lies in content coordinates.
// The tab panel's page origin is a style query, so it is read once a pass; parents come first
// in the table, so the panel has its place by then.
class Parents {
public:
    explicit Parents(const Window1& window) : window_(window) {}

    std::pair<QWidget*, QPoint> Of(const ControlRow& row) {
        QWidget* parent = row.parent ? &window_.Control<QWidget>(row.parent) : nullptr;
        auto* tabs = qobject_cast<runtime::TabPanel*>(parent);
        // A page off the tab panel, or a text on a control that shows none, would be read by
        // nothing: a slip in the table, caught at the first start.
        const bool showsText = row.kind == Kind::StaticText || row.kind == Kind::BevelButton;
        if ((!tabs && row.tab != -1) || (!showsText && *row.text))
            throw std::logic_error(std::string(row.name) + ": a page or text that nothing reads");
        if (!parent)
            return {window_.Content(), QPoint()};
        if (!tabs)
            return {parent, parent->pos()};
        if (tabs != panel_) {
            panel_ = tabs;
            pageOrigin_ = tabs->PageOrigin();
        }
        return {tabs->widget(row.tab), parent->pos() + pageOrigin_};
    }

private:
    const Window1& window_;
    const runtime::TabPanel* panel_ = nullptr;
    QPoint pageOrigin_;
};

// The font's widest digit: a read-out may show any digit where its longest text shows one.
QChar WidestDigit(const QFontMetrics& metrics) {
    QChar widest = u'0';
    for (char16_t digit = u'1'; digit <= u'9'; ++digit)
        if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(widest))
            widest = QChar(digit);
    return widest;
}

// A text's width with each of its digits as `digit`.
int WidthWithDigits(const QFontMetrics& metrics, QString text, QChar digit) {
    for (QChar& c : text)
        if (c.isDigit())
            c = digit;
    return metrics.horizontalAdvance(text);
}

// Whether `outer` holds every character of `inner` in the same order: then it is at least as
// wide in any font, as every glyph moves the pen on.
bool Contains(const QString& outer, const QString& inner) {
    auto at = outer.begin();
    for (const QChar c : inner) {
        at = std::find(at, outer.end(), c);
        if (at == outer.end())
            return false;
        ++at;
    }
    return true;
}

// For each label, the texts that may be its widest: its own and every shape it can show, less
// those that another of them contains. Measuring a text costs more than the rest of fitting.
std::map<std::string_view, std::vector<QString>> WidestCandidates() {
    const TextShapes reachable = ReachableShapes();
    std::map<std::string_view, std::vector<QString>> candidates;
    for (const ControlRow& row : kControls) {
        if (row.kind != Kind::StaticText)
            continue;
        std::set<QString> texts{QString::fromUtf8(row.text)};
        if (const auto shapes = reachable.find(row.name); shapes != reachable.end())
            for (const std::string& shape : shapes->second)
                texts.insert(QString::fromStdString(shape));
        auto& kept = candidates[row.name];
        for (const QString& text : texts)
            if (std::none_of(texts.begin(), texts.end(), [&text](const QString& other) {
                    return other != text && Contains(other, text);
                }))
                kept.push_back(text);
    }
    return candidates;
}

// Positions round down and sizes up: no control ends up smaller than factor times its design
// size, and a label that fits its room at the factor still ends before the next one.
QRect Scaled(const QRect& rect, double factor) {
    const auto down = [factor](int v) { return static_cast<int>(std::floor(v * factor)); };
    const auto up = [factor](int v) { return static_cast<int>(std::ceil(v * factor)); };
    return {down(rect.x()), down(rect.y()), up(rect.width()), up(rect.height())};
}

// The caption of each read-out, for screen readers; an input's caption is in its Input row.
const std::pair<const char*, const char*> kReadoutCaptions[] = {
    {"StaticText1", "FNumberText"},       {"StaticText1", "StatusText"},
    {"StaticText8", "MagnificationText"}, {"StaticText9", "TFOVText"},
    {"StaticText10", "ExitText"},         {"StaticText12", "MagnificationText1"},
    {"StaticText13", "TFOVText1"},        {"StaticText14", "ExitText1"},
};

} // namespace

void Window1::CreateControls0() {
    using namespace runtime;
    Parents parents(*this);
    for (const ControlRow& row : kControls) {
        const auto [parent, origin] = parents.Of(row);
        QWidget* control = nullptr;
        const QString text = QString::fromUtf8(row.text);
        const QString accessible = QString::fromUtf8(row.accessible);
        switch (row.kind) {
        case Kind::Placard:
            control = new Placard(parent);
            break;
        case Kind::Slider: {
            auto* slider = new Slider(parent);
            slider->setRange(row.range.minimum, row.range.maximum);
            slider->SetValue(row.range.value);
            slider->setSingleStep(1);
            slider->setPageStep(20);
            connect(slider, &Slider::ValueChanged, this, row.valueChanged);
            control = slider;
            break;
        }
        case Kind::StaticText: {
            auto* label = new StaticText(parent);
            label->SetText(text);
            label->setAlignment(row.align | Qt::AlignVCenter);
            control = label;
            break;
        }
        case Kind::UpDownArrows: {
            auto* arrows = new UpDownArrows(parent);
            connect(arrows, &UpDownArrows::Down, this, row.down);
            connect(arrows, &UpDownArrows::Up, this, row.up);
            // A screen reader meets each half on its own.
            arrows->setAccessibleName(accessible + QStringLiteral(" arrows"));
            arrows->UpButton()->setAccessibleName(accessible + QStringLiteral(" up"));
            arrows->DownButton()->setAccessibleName(accessible + QStringLiteral(" down"));
            control = arrows;
            break;
        }
        case Kind::BevelButton: {
            auto* button = new BevelButton(parent);
            button->setText(text);
            connect(button, &BevelButton::Action, this, row.action);
            control = button;
            break;
        }
        case Kind::TabPanel: {
            auto* tabs = new TabPanel(parent);
            for (const char* caption : {Tab1Caption, Tab2Caption}) {
                auto* page = new QWidget;
                page->setObjectName(QString::fromUtf8(caption));
                // Named once on its panel: Qt settles what a widget is to screen readers the
                // first time it tells them of it, and a page is one only on its panel.
                tabs->addTab(page, QString::fromUtf8(caption));
                page->setAccessibleName(QString::fromUtf8(caption));
            }
            control = tabs;
            break;
        }
        }
        if (control->accessibleName().isEmpty())
            control->setAccessibleName(accessible);
        RegisterControl(row.name, control);
        control->setGeometry(row.rect.translated(-origin));
    }

    // A caption names its control for screen readers: an input's slider and the label that
    // shows its value ("200 mm"), or a read-out. A slider tells them the quantity it sets.
    for (const Input* input : kInputs) {
        auto& caption = Control<StaticText>(input->caption);
        auto& label = Control<StaticText>(input->label);
        auto& slider = Control<Slider>(input->slider);
        caption.SetCaptionOf(&label);
        caption.SetCaptionOf(&slider);
        slider.SetValueLabel(&label);
        slider.SetOffset(input->offset);
    }
    for (const auto& [caption, readout] : kReadoutCaptions)
        Control<StaticText>(caption).SetCaptionOf(&Control<StaticText>(readout));

    // The controls now have the fonts the desktop gives them, so the layout can grow to fit.
    std::map<std::string, int, std::less<>> grownWidths;
    layoutFactor_ = FitFactor(grownWidths);
    PlaceControls(grownWidths);
}

double Window1::FitFactor(std::map<std::string, int, std::less<>>& grownWidths) const {
    // Derived from constants alone, so worked out once however many windows are built.
    static const auto candidates = WidestCandidates();
    // Nearly every control has the same font, and the eyepieces' twin labels the same texts:
    // each text is measured once a font.
    QFont measured;
    QChar widestDigit;
    std::map<QString, int> widths;
    double factor = 1;
    const auto need = [&factor](int needed, int designed) {
        factor = std::max(factor, static_cast<double>(needed) / designed);
    };
    for (const ControlRow& row : kControls) {
        const auto& control = Control<QWidget>(row.name);
        const QFontMetrics metrics = control.fontMetrics();
        if (widestDigit.isNull() || control.font() != measured) {
            measured = control.font();
            widestDigit = WidestDigit(metrics);
            widths.clear();
        }
        const auto width = [&](const QString& text) {
            auto known = widths.find(text);
            if (known == widths.end())
                known = widths.emplace(text, WidthWithDigits(metrics, text, widestDigit)).first;
            return known->second;
        };
        if (row.kind == Kind::StaticText) {
            int needed = 0;
            for (const QString& text : candidates.at(row.name))
                needed = std::max(needed, width(text));
            int room = row.rect.width();
            for (const auto& [label, next] : kRoomUpTo)
                if (row.name == std::string_view(label)) {
                    room = RowNamed(next).rect.left() - row.rect.left();
                    grownWidths[label] = needed;
                }
            need(needed, room);
            need(metrics.height(), row.rect.height());
        } else if (row.kind == Kind::BevelButton) {
            // The style's frame round the caption keeps its size while the button grows.
            const auto& button = static_cast<const QPushButton&>(control);
            QStyleOptionButton option;
            option.initFrom(&button);
            option.text = button.text();
            const QRect caption =
                button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
            need(width(button.text()) + row.rect.width() - caption.width(), row.rect.width());
            need(metrics.height() + row.rect.height() - caption.height(), row.rect.height());
        } else if (row.kind == Kind::TabPanel) {
            // The pages start below the tab bar, whose height follows the font; a page that
            // started below its first row would cut that row off.
            const QPoint origin = static_cast<const runtime::TabPanel&>(control).PageOrigin();
            int left = INT_MAX, top = INT_MAX;
            for (const ControlRow& child : kControls)
                if (child.parent && child.parent == std::string_view(row.name)) {
                    left = std::min(left, child.rect.left() - row.rect.left());
                    top = std::min(top, child.rect.top() - row.rect.top());
                }
            need(origin.x(), left);
            need(origin.y(), top);
        }
    }
    return factor;
}

void Window1::PlaceControls(const std::map<std::string, int, std::less<>>& grownWidths) {
    Parents parents(*this);
    for (const ControlRow& row : kControls) {
        QRect rect = Scaled(row.rect, layoutFactor_);
        if (const auto grown = grownWidths.find(row.name); grown != grownWidths.end())
            rect.setWidth(std::max(rect.width(), grown->second));
        // Parents come first in the table, so each child goes by its parent's new place.
        Control<QWidget>(row.name).setGeometry(rect.translated(-parents.Of(row).second));
    }
    const QRect content = Scaled(QRect(QPoint(), kDesignSize), layoutFactor_);
    Content()->setFixedSize(content.size());
}

} // namespace ui

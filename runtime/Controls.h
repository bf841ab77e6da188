#pragma once

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

class QToolButton;

// The six control kinds a window is built from, as thin layers over Qt widgets.
namespace runtime {

// Horizontal, tracking on. ValueChanged reports the user's moves (keyboard, mouse, drag,
// a screen reader's value); a value set by the program through SetValue is not reported,
// since every caller runs the matching update itself.
class Slider : public QSlider {
    Q_OBJECT
public:
    explicit Slider(QWidget* parent);
    int Value() const { return value(); }
    void SetValue(int value);
    // The quantity shown is the position plus this offset (aperture positions 0–350 show
    // 50–400 mm); screen readers get and set the quantity.
    void SetOffset(int offset) { offset_ = offset; }
    int Offset() const { return offset_; }
    // The label that shows this slider's value in words ("200 mm"); screen readers read its
    // text as the slider's value.
    void SetValueLabel(const QLabel* label) { valueLabel_ = label; }
    const QLabel* ValueLabel() const { return valueLabel_; }

Q_SIGNALS:
    void ValueChanged();

private:
    bool settingValue_ = false;
    int offset_ = 0;
    QPointer<const QLabel> valueLabel_;
};

// One line of plain text: no wrapping, no rich text, no size changes with its text. A label
// given an accessible name ("Eyepiece 1 exit pupil") keeps that name for screen readers and
// offers its text as accessible text, and tells them when the text changes.
class StaticText : public QLabel {
    Q_OBJECT
public:
    explicit StaticText(QWidget* parent);
    QString Text() const { return text(); }
    void SetText(const QString& text);
    // Makes this label the caption of `control`: screen readers read the control as labelled
    // by it, and this label as the label for it.
    void SetCaptionOf(QWidget* control) { captioned_.append(control); }
    const QList<QPointer<QWidget>>& CaptionedControls() const { return captioned_; }

private:
    QList<QPointer<QWidget>> captioned_;
};

// An up arrow above a down arrow; each click raises Up or Down once. Takes no focus.
class UpDownArrows : public QWidget {
    Q_OBJECT
public:
    explicit UpDownArrows(QWidget* parent);
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

Q_SIGNALS:
    void Up();
    void Down();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};

// A push button that Tab reaches (a click does not focus it) and that raises Action when
// clicked or pressed with Space. A button that switches
// something on and off says which through SetOn: screen readers read it as checked, and the
// button looks the same either way.
class BevelButton : public QPushButton {
    Q_OBJECT
public:
    explicit BevelButton(QWidget* parent);
    void SetOn(bool on);
    bool IsOn() const { return on_; }

Q_SIGNALS:
    void Action();

private:
    bool on_ = false;
};

// A plain framed panel that groups other controls.
class Placard : public QFrame {
    Q_OBJECT
public:
    explicit Placard(QWidget* parent);
};

class TabPanel : public QTabWidget {
    Q_OBJECT
public:
    explicit TabPanel(QWidget* parent);
    // Where the pages' top-left corner lies inside the panel at its current size. Computed
    // from the style, as QTabWidget lays out its pages only once it is shown.
    QPoint PageOrigin() const;
    // Whether `object` is the stack of pages inside a tab panel.
    static bool IsPageStack(const QObject* object);
};

} // namespace runtime

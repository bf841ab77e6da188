#pragma once

// Shared set-up for the tests that drive the real window: the offscreen platform, a beep
// counter, a guard against modal dialogs, and helpers that act as a user would.

#include "menus/MenuBar1.h"
#include "runtime/Beep.h"
#include "runtime/Controls.h"
#include "ui/Window1.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace uitest {

// Fails the running test if any modal dialog appears: the program has none, so one would
// be an error box or a hang in waiting.
class ModalDialogGuard : public QObject {
public:
    ModalDialogGuard() {
        timer_.setInterval(50);
        connect(&timer_, &QTimer::timeout, this, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                const QByteArray title = modal->windowTitle().toUtf8();
                modal->close();
                QFAIL(("unexpected modal dialog: " + title).constData());
            }
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

// Counts runtime::Beep() calls for as long as it lives.
class BeepCounter {
public:
    BeepCounter() {
        runtime::SetBeepObserver([this] { ++count_; });
    }
    ~BeepCounter() { runtime::SetBeepObserver({}); }
    int count() const { return count_; }

private:
    int count_ = 0;
};

// A freshly built and opened window, shown and active.
inline std::unique_ptr<ui::Window1> openWindow() {
    auto window = std::make_unique<ui::Window1>();
    window->activateWindow();
    // Shortcuts reach only the active window.
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("window not active");
    return window;
}

inline QString text(const ui::Window1& w, const char* label) {
    return w.Control<runtime::StaticText>(label).Text();
}

inline int value(const ui::Window1& w, const char* slider) {
    return w.Control<runtime::Slider>(slider).Value();
}

inline void clickArrow(ui::Window1& w, const char* arrows, bool up) {
    auto& pair = w.Control<runtime::UpDownArrows>(arrows);
    QTest::mouseClick(up ? pair.UpButton() : pair.DownButton(), Qt::LeftButton);
}

inline void clickButton(ui::Window1& w, const char* button) {
    QTest::mouseClick(&w.Control<runtime::BevelButton>(button), Qt::LeftButton);
}

// Everything a user can see change: every label's text, every slider's value, which
// controls are enabled and which tab is in front.
inline QStringList snapshot(const ui::Window1& w) {
    QStringList state;
    for (const auto* label : w.findChildren<runtime::StaticText*>())
        state << label->objectName() + QLatin1Char('=') + label->Text();
    for (const auto* slider : w.findChildren<runtime::Slider*>())
        state << slider->objectName() + QLatin1Char('=') + QString::number(slider->Value());
    for (const auto* control : w.Content()->findChildren<QWidget*>()) {
        const bool input = qobject_cast<const runtime::Slider*>(control) ||
                           qobject_cast<const runtime::UpDownArrows*>(control) ||
                           qobject_cast<const runtime::BevelButton*>(control);
        if (input && !control->isEnabled())
            state << control->objectName() + QStringLiteral(" disabled");
    }
    state << QStringLiteral("tab=%1").arg(
        w.Control<runtime::TabPanel>("EyepieceTabPanel").currentIndex());
    state.sort();
    return state;
}

// Sends a key to whatever has the focus in the window, through the shortcut map first.
inline void pressKeys(ui::Window1& w, QKeyCombination keys) {
    QTest::keyClick(&w, keys.key(), keys.keyboardModifiers());
}

// Moves a slider the way a user does with the keyboard: focus it, then press a key.
inline void sliderKey(ui::Window1& w, const char* slider, Qt::Key key) {
    auto& s = w.Control<runtime::Slider>(slider);
    s.setFocus(Qt::OtherFocusReason);
    QTest::keyClick(&s, key);
}

} // namespace uitest

// A test main for widget tests: forces the offscreen platform before Qt starts, unless the
// test's registration asks for a real X server (xcb).
#define MIRAVANE_UI_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char** argv) {                                                              \
        if (qgetenv("QT_QPA_PLATFORM") != "xcb")                                                   \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        uitest::ModalDialogGuard guard;                                                            \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

#pragma once

// Shared set-up for the tests that drive the real window: the offscreen platform, a beep
// counter, a guard against modal dialogs, and a user's actions and view of the window.

#include "runtime/Beep.h"
#include "runtime/Controls.h"
#include "ui/Window1.h"

#include <QApplication>
#include <QMap>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace uitest {

// Fails the running test if any modal dialog appears: the program has none, so one would
// be an error box or a hang in waiting.
struct ModalDialogGuard : QObject {
    ModalDialogGuard() {
        connect(&timer, &QTimer::timeout, this, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                const QByteArray title = modal->windowTitle().toUtf8();
                modal->close();
                QFAIL(("unexpected modal dialog: " + title).constData());
            }
        });
        timer.start(50);
    }
    QTimer timer;
};

// Counts runtime::Beep() calls for as long as it lives.
struct BeepCounter {
    BeepCounter() {
        runtime::SetBeepObserver([this] { ++beeps; });
    }
    ~BeepCounter() { runtime::SetBeepObserver({}); }
    int count() const { return beeps; }
    int beeps = 0;
};

// A freshly built and opened window, shown and active: shortcuts reach only the active one.
inline std::unique_ptr<ui::Window1> openWindow() {
    auto window = std::make_unique<ui::Window1>();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("window not active");
    return window;
}

inline QString text(const ui::Window1& w, const char* label) {
    return w.Control<runtime::StaticText>(label).Text();
}

// Everything a user can see, by name: each label's text, each slider's value, the inputs
// that are locked, the optic checked, the page in front and what has the keyboard focus.
inline QMap<QString, QString> snapshot(const ui::Window1& w) {
    QMap<QString, QString> state;
    for (const auto all = w.findChildren<runtime::StaticText*>(); const auto* label : all)
        state[label->objectName()] = label->Text();
    for (const auto all = w.findChildren<runtime::Slider*>(); const auto* slider : all)
        state[slider->objectName()] = QString::number(slider->Value());
    QStringList locked;
    for (const auto all = w.Content()->findChildren<QWidget*>(); const auto* control : all)
        if (!control->isEnabled() && (qobject_cast<const runtime::Slider*>(control) ||
                                      qobject_cast<const runtime::UpDownArrows*>(control) ||
                                      qobject_cast<const runtime::BevelButton*>(control)))
            locked << control->objectName();
    locked.sort();
    state[QStringLiteral("locked")] = locked.join(QLatin1Char(','));
    QStringList checked; // what a screen reader reads as checked
    for (const auto all = w.findChildren<runtime::BevelButton*>(); const auto* button : all)
        if (button->IsOn())
            checked << button->objectName();
    state[QStringLiteral("checked")] = checked.join(QLatin1Char(','));
    const auto& tabs = w.Control<runtime::TabPanel>("EyepieceTabPanel");
    state[QStringLiteral("page")] = tabs.tabText(tabs.currentIndex());
    const QWidget* focus = QApplication::focusWidget();
    state[QStringLiteral("focus")] = focus == tabs.tabBar() ? QStringLiteral("page tabs")
                                     : focus                ? focus->objectName()
                                                            : QString();
    return state;
}

// Plays one action as a user would: "Barlow" or "R/C" clicks that button, "up:NAME" or
// "down:NAME" a half of an arrow pair ("holdup:NAME" holds it down a while), "KEY:NAME" a key
// on that control with the focus, "page2" the second page's tab; anything else is a key
// sequence ("Ctrl+3") sent to whatever has the focus.
inline void play(ui::Window1& w, const QString& action) {
    const QString target = action.section(QLatin1Char(':'), 1);
    const QString verb = action.section(QLatin1Char(':'), 0, 0);
    if (action == QLatin1String("Barlow") || action == QLatin1String("R/C")) {
        const char* name = action == QLatin1String("R/C") ? "RCButton" : "BarlowButton";
        QTest::mouseClick(&w.Control<runtime::BevelButton>(name), Qt::LeftButton);
    } else if (action.startsWith(QLatin1String("page"))) {
        QTabBar* bar = w.Control<runtime::TabPanel>("EyepieceTabPanel").tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->tabRect(action.back().digitValue() - 1).center());
    } else if (const QString half = verb.startsWith(QLatin1String("hold")) ? verb.mid(4) : verb;
               half == QLatin1String("up") || half == QLatin1String("down")) {
        auto& arrows = w.Control<runtime::UpDownArrows>(target.toStdString());
        QToolButton* button = half == QLatin1String("up") ? arrows.UpButton() : arrows.DownButton();
        QTest::mousePress(button, Qt::LeftButton);
        if (half != verb) // held past the delay after which a repeating button repeats
            QTest::qWait(button->autoRepeatDelay() + 3 * button->autoRepeatInterval());
        QTest::mouseRelease(button, Qt::LeftButton);
    } else {
        QWidget* receiver = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
        if (!target.isEmpty()) {
            receiver = &w.Control<QWidget>(target.toStdString());
            receiver->setFocus(Qt::OtherFocusReason);
        }
        const QKeyCombination keys = QKeySequence::fromString(verb)[0];
        QTest::keyClick(receiver, keys.key(), keys.keyboardModifiers());
    }
}

// The offscreen platform, unless the test's registration asks for a real desktop (xcb, or
// windows under Wine). In a browser the page is the only platform there is.
inline void ChoosePlatform() {
#ifndef Q_OS_WASM
    if (const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        platform != "xcb" && platform != "windows")
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

} // namespace uitest

// A test main for widget tests: chooses the platform before Qt starts.
#define MIRAVANE_UI_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char** argv) {                                                              \
        uitest::ChoosePlatform();                                                                  \
        QApplication app(argc, argv);                                                              \
        uitest::ModalDialogGuard guard;                                                            \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

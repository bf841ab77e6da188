// Runs the program's real start-up, Main, and once the window is open does what its first
// argument says: quit (Ctrl+Q), close, fault (a handler meets a missing label), icon, twice,
// native-key (Ctrl with a Cyrillic letter whose native scan code is 16).
#include "app/Startup.h"
#include "runtime/Controls.h"
#include "ui/Window1.h"

#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdio>

namespace {

const char* g_action = "";

void ActOnceOpen() {
    QTimer::singleShot(0, qApp, [] {
        ui::Window1& window = ::Window1();
        const QByteArray action(g_action);
        if (action == "quit") {
            window.activateWindow();
            if (!QTest::qWaitForWindowActive(&window))
                std::fputs("window not active\n", stderr);
            QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        } else if (action == "close") {
            window.close();
        } else if (action == "fault") {
            delete &window.Control<runtime::StaticText>("FNumberText");
            auto& arrows = window.Control<runtime::UpDownArrows>("ApertureUpDownArrows");
            QTest::mouseClick(arrows.UpButton(), Qt::LeftButton);
        } else if (action == "icon") { // drawn by Qt's SVG plug-in, which may be missing
            std::printf("icon: %s\n", window.windowIcon().pixmap(32).isNull() ? "none" : "drawn");
            std::fflush(stdout);
            QCoreApplication::quit();
        } else if (action == "native-key") {
            // Scan code 16 is the key of Q on Windows and of 7 under X: only X's keycode may
            // fall back to the US key in its place, Ctrl+7.
            QKeyEvent press(QEvent::KeyPress, 0x0419, Qt::ControlModifier, 16, 0, 0,
                            QString(QChar(0x0439)));
            QApplication::sendEvent(&window, &press);
            std::printf("aperture: %s\n",
                        qPrintable(window.Control<runtime::StaticText>("ApertureText").Text()));
            std::fflush(stdout);
            QCoreApplication::quit();
        } else if (action == "twice") {
            std::printf("same window: %s\n", &::Window1() == &window ? "yes" : "no");
            std::fflush(stdout);
            QCoreApplication::quit();
        }
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(ActOnceOpen)

int main(int argc, char** argv) {
    // The action goes first so that everything after it reaches Main untouched.
    if (argc > 1) {
        g_action = argv[1];
        argv[1] = argv[0];
        --argc;
        ++argv;
    }
    return Main(argc, argv);
}

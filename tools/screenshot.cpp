// Renders the main window, as the program opens it, to one PNG per eyepiece tab.
// Usage: miravane-screenshot OUTPUT_PREFIX   (writes PREFIX-eyepiece1.png, PREFIX-eyepiece2.png)
// MIRAVANE_FONT="Cantarell,11" sets the application font first, as a desktop does. Prints the
// font, the layout's factor and the content size it got.
#include "app/Startup.h"
#include "runtime/Controls.h"
#include "ui/Window1.h"

#include <QFontInfo>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_PREFIX\n", argv[0]);
        return 2;
    }
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    auto app = NewAppInstance(argc, argv);
    if (const QString font = qEnvironmentVariable("MIRAVANE_FONT"); !font.isEmpty()) {
        QFont chosen;
        if (!chosen.fromString(font)) {
            std::fprintf(stderr, "MIRAVANE_FONT: not a font: %s\n", qPrintable(font));
            return 2;
        }
        QApplication::setFont(chosen);
    }
    ui::Window1& window = ::Window1();
    const QFontInfo font(window.Content()->font());
    std::printf("%s %d pt: layout factor %.4f, content %dx%d\n", qPrintable(font.family()),
                font.pointSize(), window.LayoutFactor(), window.Content()->width(),
                window.Content()->height());
    int failures = 0;
    // Grab once the window has been shown and painted by the event loop.
    QTimer::singleShot(200, &window, [&] {
        auto& tabs = window.Control<runtime::TabPanel>("EyepieceTabPanel");
        for (int tab = 0; tab < tabs.count(); ++tab) {
            tabs.setCurrentIndex(tab);
            const QString path = QStringLiteral("%1-eyepiece%2.png").arg(prefix).arg(tab + 1);
            if (!window.grab().save(path)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                ++failures;
            }
        }
        tabs.setCurrentIndex(0);
        QCoreApplication::quit();
    });
    QApplication::exec();
    delete &window;
    return failures == 0 ? 0 : 1;
}

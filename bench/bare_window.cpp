// A bare Qt window program: the floor tools/bench sets the program's peak memory against.
// With --menu-label the window has a menu bar and shows one line of text, which is what any
// window with words and menus pays for: the fonts, the text shaping and the menu widgets.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(737, 316);
    if (argc > 1 && std::strcmp(argv[1], "--menu-label") == 0) {
        window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("Quit"));
        window.setCentralWidget(new QLabel(QStringLiteral("Aperture: 200 mm")));
    }
    window.show();
    return QApplication::exec();
}

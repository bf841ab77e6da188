// A bare Qt window program: the floor tools/bench sets the program's peak memory against.
// With --label the window shows one line of text, which brings in the fonts and the text
// shaping that any window with words pays for.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(737, 316);
    if (argc > 1 && std::strcmp(argv[1], "--label") == 0)
        new QLabel(QStringLiteral("Aperture: 200 mm"), &window);
    window.show();
    return QApplication::exec();
}

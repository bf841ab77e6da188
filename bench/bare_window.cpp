// A bare Qt window program: the floor tools/bench sets the program's peak memory against.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(737, 316);
    window.show();
    return QApplication::exec();
}

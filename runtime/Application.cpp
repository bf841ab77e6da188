#include "runtime/Application.h"

#include "runtime/Desktop.h"

#include <QDir>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>

namespace runtime {
namespace {

QString Describe(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

bool HasScreen() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

// The program's icon, from every file the build put under :/icons: one SVG, or PNGs of several
// sizes where Qt has no SVG plug-in.
QIcon Icon() {
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const auto all = icons.entryList(QDir::Files); const QString& file : all)
        icon.addFile(icons.filePath(file));
    return icon;
}

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    InstallDesktopServices(*this);
    // Every window without an icon of its own shows the application's, drawn once a process
    // rather than once a window.
    setWindowIcon(Icon());
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        UnhandledError(std::current_exception());
        exit(FailureStatus);
        return true;
    }
}

void Application::UnhandledError(std::exception_ptr error) {
    const QString message = Describe(error);
    std::fprintf(stderr, "%s: unhandled error: %s\n",
                 qUtf8Printable(QCoreApplication::applicationName()), qUtf8Printable(message));
    std::fflush(stderr);
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) && HasScreen())
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(), message);
}

} // namespace runtime

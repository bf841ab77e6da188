#include "runtime/Application.h"

#include "runtime/BusGuard.h"
#include "runtime/UsKeys.h"

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

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    // Key events carry X keycodes, which name a key's place, only under X11 and Wayland.
    const QString platform = platformName();
    if (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland")))
        installEventFilter(new UsKeyFallback(this));
    GuardAccessibilityBus(this);
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

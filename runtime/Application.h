#pragma once

#include <QApplication>

#include <exception>

namespace runtime {

// The application object: the event loop and the guard that turns an error escaping an event
// handler into the unhandled-error routine.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    // Qt lets no exception cross its event loop, so handlers' errors are caught here.
    bool notify(QObject* receiver, QEvent* event) override;

    // Reports the error on stderr and, where there is a screen, in a message box.
    static void UnhandledError(std::exception_ptr error);
    // The program's icon, from every file the build put under :/icons: one SVG, or PNGs of
    // several sizes where Qt has no SVG plug-in.
    static QIcon Icon();
    // What the process exits with after the unhandled-error routine has run.
    static constexpr int FailureStatus = 1;
};

} // namespace runtime

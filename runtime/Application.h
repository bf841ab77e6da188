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
    // What the process exits with after the unhandled-error routine has run.
    static constexpr int FailureStatus = 1;
};

} // namespace runtime

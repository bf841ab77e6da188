#include "app/Startup.h"

#include "ui/Window1.h"

#include <vector>

std::unique_ptr<Miravane> NewAppInstance(int& argc, char** argv) {
    auto app = std::make_unique<Miravane>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Miravane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MIRAVANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.miravane.miravane"));
    return app;
}

void MakeDefaultView() { ::Window1(); }

int Main(int& argc, char** argv) {
    std::unique_ptr<Miravane> app;
    int status = 0;
    try {
        app = NewAppInstance(argc, argv);
        MakeDefaultView();
        status = QApplication::exec();
    } catch (...) {
        runtime::Application::UnhandledError(std::current_exception());
        status = runtime::Application::FailureStatus;
    }
    // Windows go before the application object that they need. Collected first: deleting a
    // window deletes its menus, which are top-level widgets too.
    if (app) {
        std::vector<ui::Window1*> windows;
        for (const auto all = QApplication::topLevelWidgets(); auto* widget : all)
            if (auto* window = qobject_cast<ui::Window1*>(widget))
                windows.push_back(window);
        for (ui::Window1* window : windows)
            delete window;
    }
    return status;
}

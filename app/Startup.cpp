#include "app/Startup.h"

#include "ui/Window1.h"

#include <vector>

// Qt's widgets are linked into the program: there are no add-on controls to bind by name.
void _InitPluginEntrypoints() {}

// The program opens no documents.
void _InitFileTypes() {}

std::unique_ptr<Miravane> _NewAppInstance(int& argc, char** argv) {
    auto app = std::make_unique<Miravane>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Miravane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MIRAVANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.miravane.Miravane"));
    return app;
}

// Every menu command belongs to the main window.
void _ApplicationAddMenuHandlers() {}

void _MakeDefaultView() { ::Window1(); }

int _Main(int& argc, char** argv) {
    std::unique_ptr<Miravane> app;
    int status = 0;
    try {
        _InitPluginEntrypoints();
        _InitFileTypes();
        app = _NewAppInstance(argc, argv);
        _ApplicationAddMenuHandlers();
        _MakeDefaultView();
        status = QApplication::exec();
    } catch (...) {
        runtime::Application::UnhandledError(std::current_exception());
        status = runtime::Application::FailureStatus;
    }
    // Windows go before the application object that they need. Collected first: deleting a
    // window deletes its menus, which are top-level widgets too.
    if (app) {
        std::vector<ui::Window1*> windows;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<ui::Window1*>(widget))
                windows.push_back(window);
        for (ui::Window1* window : windows)
            delete window;
    }
    return status;
}

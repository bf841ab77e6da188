#pragma once

#include "runtime/Application.h"

#include <memory>

// The application object. It adds nothing to the runtime's Application.
class Miravane : public runtime::Application {
    Q_OBJECT
public:
    using runtime::Application::Application;
};

std::unique_ptr<Miravane> NewAppInstance(int& argc, char** argv);
void MakeDefaultView();

// Starts the program and runs it until Quit or until its window is closed. Returns 0 then,
// and runtime::Application::FailureStatus after an unhandled error.
int Main(int& argc, char** argv);

// Desktop.h - the hook between the program and a desktop backend.
//
// With the Qt backend built, StartDesktop gives the windows real widgets and installs the
// desktop's services (message boxes, file dialogs, the event loop); without it the program
// runs on the headless services, which answer every question with its default.
#pragma once

#include <memory>

class TDesktop {
public:
    virtual ~TDesktop() = default;
};

std::unique_ptr<TDesktop> StartDesktop(int& argc, char** argv);

// main.cpp - the program's entry point.
#include "app/shell/Desktop.h"
#include "app/shell/Startup.h"
#include "platform/gui/Forms.h"

int main(int argc, char** argv)
{
    auto desktop = StartDesktop(argc, argv);
    CreateApplication();
    StartLibraries();
    try {
        RegisterProgramClasses();
        Application->Initialize();
        CreateForms();
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->ShowException(Exception(""));
    }
    DestroyApplication();
    ForgetForms();
    StopLibraries();
    desktop.reset();
    return 0;
}

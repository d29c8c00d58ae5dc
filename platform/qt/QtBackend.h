// QtBackend.h - the desktop backend: Qt widgets as peers, Qt dialogs as services.
//
// The program's main() decides once, before the application object exists:
//
//     int main(int argc, char** argv)
//     {
//         auto desktop = InstallQtBackendIfDisplay(argc, argv);  // nullptr: headless
//         CreateApplication();
//         ...                   // Application->CreateForm(...), Application->Run()
//         DestroyApplication(); // forms (and their peers) go before the backend
//     }
//
// A display is present when DISPLAY or WAYLAND_DISPLAY is set, or QT_QPA_PLATFORM
// names a platform (offscreen included, which tests and screenshots use). Without one
// the program runs on the headless services and no widget is ever created.
#pragma once

#include <memory>

class QApplication;
class QTranslator;
class TQtServices;
class TQtWidgetSet;
class TGuiServices;

class TQtBackend {
public:
    // Creates the QApplication (unless one exists), loads Qt's own Russian texts (file,
    // font, colour and print dialogs: "qtbase_ru" from Qt's translations folder) and
    // installs the Qt services and widget set. `argc` must outlive the backend, as Qt
    // keeps a reference to it.
    TQtBackend(int& argc, char** argv);
    // Removes the widget set and puts the previous services back.
    ~TQtBackend();
    TQtBackend(const TQtBackend&) = delete;
    TQtBackend& operator=(const TQtBackend&) = delete;

    QApplication& App() const { return *FApp; }
    TQtServices& Services() const { return *FServices; }

    static bool DisplayPresent();

private:
    std::unique_ptr<QApplication> FOwnedApp;
    QApplication* FApp = nullptr;
    std::unique_ptr<QTranslator> FTranslator;
    std::unique_ptr<TQtServices> FServices;
    std::unique_ptr<TQtWidgetSet> FWidgetSet;
    TGuiServices* FPreviousServices = nullptr;
};

// The backend when a display is present, else nullptr (the program stays headless).
std::unique_ptr<TQtBackend> InstallQtBackendIfDisplay(int& argc, char** argv);

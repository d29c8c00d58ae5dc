// gui_demo - shows a form with one of each control through the Qt backend.
//
//   gui_demo                        runs until the window is closed
//   gui_demo --screenshot file.png  shows the form, saves a picture of it, exits
//
// With no display it says so and exits 2; `xvfb-run -a gui_demo --screenshot x.png`
// or QT_QPA_PLATFORM=offscreen work anywhere.
#include "platform/qt/demo/DemoForm.h"

#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPeer.h"

#include "platform/gui/Forms.h"
#include "platform/rtl/Cp1251.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const char* screenshot = nullptr;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot") == 0)
            screenshot = argv[i + 1];

    auto desktop = InstallQtBackendIfDisplay(argc, argv);
    if (!desktop) {
        std::fprintf(stderr, "gui_demo: no display (set DISPLAY, or QT_QPA_PLATFORM=offscreen)\n");
        return 2;
    }
    RegisterGuiClasses();
    CreateApplication();
    int code = 0;
    try {
        Application->Initialize();
        Application->SetTitle("Склад");
        TForm* form = CreateDemoForm();
        if (!screenshot) {
            Application->Run();
        } else {
            form->Show();
            // Let the window map and paint before taking its picture.
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 500)
                QApplication::processEvents(QEventLoop::AllEvents, 50);
            QWidget* window = QtPeerOf(form)->Widget();
            if (!window->grab().save(QString::fromLocal8Bit(screenshot))) {
                std::fprintf(stderr, "gui_demo: cannot write %s\n", screenshot);
                code = 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gui_demo: %s\n", AnsiToUtf8(e.what()).c_str());
        code = 1;
    }
    DestroyApplication();
    return code;
}

#include "platform/qt/tests/QtTestApp.h"

#include <QApplication>

#include <cstdlib>

QApplication& QtTestApp()
{
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    return *app;
}

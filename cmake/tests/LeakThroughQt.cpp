// A program that leaks 400 bytes from our own function while Qt's event loop calls it
// (a timer's callback). Run by the sanitizer suite with the project's leak suppressions,
// LeakSanitizer must still report the leak: the suppressions name only allocations made
// inside Qt and fontconfig, not every allocation whose stack passes through them.
#include <QCoreApplication>
#include <QTimer>

namespace {

char* volatile gLost = nullptr;

__attribute__((noinline)) void LeakFromQtCallback()
{
    gLost = new char[400];
    gLost[0] = 1;
    gLost = nullptr;  // the only pointer to the block is gone
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTimer::singleShot(0, &app, [] {
        LeakFromQtCallback();
        QCoreApplication::quit();
    });
    return app.exec();
}

// QtTestApp.h - the one QApplication of the Qt test program, on the offscreen platform.
#pragma once

class QApplication;

// Creates the application on first use with QT_QPA_PLATFORM=offscreen, so the
// tests run on machines without a display.
QApplication& QtTestApp();

// QtGraphics.h - puts the Qt drawing, measuring and printing backends in place.
//
// InstallQtGraphics, called once a QGuiApplication exists (the program's start-up and
// the Qt test programs), makes the Qt font backend the default for measuring, makes every
// bitmap canvas paint through Qt, and installs the system printers. UninstallQtGraphics
// returns to the fake font, the software raster and no printers (before the application
// object goes).
#pragma once

class TQtFontBackend;
class TQtPrinterSystem;

void InstallQtGraphics();
void UninstallQtGraphics();
TQtFontBackend& QtFontBackend();

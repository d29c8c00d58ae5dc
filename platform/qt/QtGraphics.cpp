#include "platform/qt/QtGraphics.h"

#include "platform/graphics/Graphic.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtFontMetrics.h"
#include "platform/qt/QtPrinting.h"

TQtFontBackend& QtFontBackend()
{
    static TQtFontBackend backend;
    return backend;
}

namespace {
TQtPrinterSystem& QtPrinters()
{
    static TQtPrinterSystem printers;
    return printers;
}
}  // namespace

void InstallQtGraphics()
{
    SetDefaultFontBackend(&QtFontBackend());
    SetBitmapDeviceFactory(&TQtBitmapDevice::Create);
    SetPrinterSystem(&QtPrinters());
}

void UninstallQtGraphics()
{
    SetDefaultFontBackend(nullptr);
    SetBitmapDeviceFactory(nullptr);
    SetPrinterSystem(nullptr);
}

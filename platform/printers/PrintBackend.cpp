#include "platform/printers/PrintBackend.h"

#include "platform/printers/PrinterConsts.h"

#include <cmath>

namespace {

int Pixels(double mm, int dpi) { return int(std::nearbyint(mm * dpi / 25.4)); }

TNoPrinterSystem& NoPrinters()
{
    static TNoPrinterSystem none;
    return none;
}

TPrinterSystem* gSystem = nullptr;

}  // namespace

int TSheetGeometry::PageWidth() const { return Pixels(PaperWidth - LeftMargin - RightMargin, DPI.X); }
int TSheetGeometry::PageHeight() const { return Pixels(PaperHeight - TopMargin - BottomMargin, DPI.Y); }
int TSheetGeometry::PhysicalWidth() const { return Pixels(PaperWidth, DPI.X); }
int TSheetGeometry::PhysicalHeight() const { return Pixels(PaperHeight, DPI.Y); }

TSheetGeometry SheetFor(const TPageSetup& setup, TPoint dpi, double margin)
{
    TSheetGeometry g;
    double w = setup.PaperWidth, h = setup.PaperHeight;
    g.PaperCode = GetPaperDimensions(setup.PaperCode, w, h) ? setup.PaperCode : DMPAPER_USER;
    g.Orientation = setup.Orientation;
    g.PaperWidth = setup.Orientation == poLandscape ? h : w;
    g.PaperHeight = setup.Orientation == poLandscape ? w : h;
    g.LeftMargin = g.TopMargin = g.RightMargin = g.BottomMargin = margin;
    g.DPI = dpi;
    return g;
}

std::unique_ptr<TRawPrintJob> TPrintDevice::BeginRawDoc(const AnsiString&)
{
    throw EPrinter(printer_msg::kNoRawDocuments);
}

std::unique_ptr<TPrintDevice> TNoPrinterSystem::Open(const AnsiString&)
{
    throw EPrinter(printer_msg::kInvalidPrinter);
}

TPrinterSystem& PrinterSystem()
{
    return gSystem ? *gSystem : NoPrinters();
}

TPrinterSystem* SetPrinterSystem(TPrinterSystem* system)
{
    TPrinterSystem* old = gSystem;
    gSystem = system;
    return old;
}

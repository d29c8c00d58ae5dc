// PrintBackend.h - the print-job backend: printers, sheets, documents and pages.
//
// Everything that prints goes through three interfaces:
//   TPrinterSystem  the installed printers: their names, the default one, opening one;
//   TPrintDevice    one printer (or a file target): its papers and bins, the sheet it
//                   would print for a page setup, and starting a document;
//   TPrintJob       one document: per page a setup (paper, size, orientation, bin,
//                   copies, duplex), then BeginPage -> canvas -> EndPage; EndDoc or Abort.
// Backends: recording (RecordingPrinter.h, for tests), PDF files and the system's
// printers through Qt (platform/qt/QtPrinting.h). Without a platform backend the
// installed system has no printers at all, and every attempt to print says so.
//
// Units: lengths in millimetres, papers by the Windows paper code (DMPAPER_*; PaperTable.h),
// device resolution in pixels per inch. A page canvas has its origin at the corner of the
// printable area, as a printer's device context does; the geometry's margins say how far
// that corner lies from the paper's.
#pragma once

#include "platform/graphics/Canvas.h"
#include "platform/printers/PaperTable.h"
#include "platform/rtl/System.h"

#include <memory>
#include <vector>

SKLAD_ENUM(TPrinterOrientation, poPortrait, poLandscape)

// What one page asks of the printer.
struct TPageSetup {
    int PaperCode = DMPAPER_A4;
    double PaperWidth = 210, PaperHeight = 297;  // mm, portrait; used for DMPAPER_USER
    TPrinterOrientation Orientation = poPortrait;
    int Bin = DMBIN_AUTO;
    int Copies = 1;
    int Duplex = DMDUP_SIMPLEX;
    bool operator==(const TPageSetup&) const = default;
};

// The sheet a device prints for a setup.
struct TSheetGeometry {
    int PaperCode = DMPAPER_A4;
    TPrinterOrientation Orientation = poPortrait;
    double PaperWidth = 210, PaperHeight = 297;  // mm, as oriented
    double LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0;  // unprintable, mm
    TPoint DPI{600, 600};

    // The printable area in device pixels.
    int PageWidth() const;
    int PageHeight() const;
    // The whole sheet in device pixels.
    int PhysicalWidth() const;
    int PhysicalHeight() const;
};

// The sheet for a setup when the paper code is known (user sizes keep theirs), oriented,
// with equal margins: what virtual and file devices use.
TSheetGeometry SheetFor(const TPageSetup& setup, TPoint dpi, double margin);

struct TNamedCode {
    AnsiString Name;
    int Code = 0;
    bool operator==(const TNamedCode&) const = default;
};

class TPrintJob {
public:
    virtual ~TPrintJob() = default;
    // The setup of the next page (takes effect at BeginPage).
    virtual void SetPageSetup(const TPageSetup& setup) = 0;
    virtual TSheetGeometry Geometry() const = 0;
    // Starts a page and returns its canvas, valid until EndPage.
    virtual TCanvas& BeginPage() = 0;
    virtual void EndPage() = 0;
    // Finishes the document; a page still open is ended first.
    virtual void EndDoc() = 0;
    // Drops the document: nothing more is printed (what was spooled may be gone or not).
    virtual void Abort() = 0;
};

// A document of raw bytes for the printer's own language (dot-matrix output).
class TRawPrintJob {
public:
    virtual ~TRawPrintJob() = default;
    virtual void Write(const void* data, size_t size) = 0;
    virtual void EndDoc() = 0;
    virtual void Abort() = 0;
};

class TPrintDevice {
public:
    virtual ~TPrintDevice() = default;
    virtual AnsiString Name() const = 0;
    virtual AnsiString Port() const { return {}; }
    // Papers and bins the device offers, in its own order.
    virtual std::vector<TNamedCode> Papers() = 0;
    virtual std::vector<TNamedCode> Bins() = 0;
    virtual TPageSetup DefaultSetup() = 0;
    virtual TSheetGeometry Geometry(const TPageSetup& setup) = 0;
    // Starts a document; `fileName` non-empty sends it to that file instead.
    virtual std::unique_ptr<TPrintJob> BeginDoc(const AnsiString& title, const AnsiString& fileName,
                                                const TPageSetup& first) = 0;
    // EPrinter when the device takes no raw documents.
    virtual std::unique_ptr<TRawPrintJob> BeginRawDoc(const AnsiString& title);
    // Fonts the device has besides the screen's (name, font type bits: 4 = TrueType).
    virtual std::vector<TNamedCode> Fonts() { return {}; }
    // True for a device whose documents always go to a file (a PDF printer): the caller
    // asks the user for the file name before it starts a document.
    virtual bool WritesFiles() const { return false; }
    // The device's own settings dialog; true when the user changed `setup`.
    virtual bool PropertiesDialog(TPageSetup& setup) { (void)setup; return false; }
};

struct TPrinterInfo {
    AnsiString Name;
    AnsiString Port;
    bool IsDefault = false;
};

class TPrinterSystem {
public:
    virtual ~TPrinterSystem() = default;
    virtual std::vector<TPrinterInfo> Printers() = 0;
    // The default printer's name; empty when there is none.
    virtual AnsiString DefaultPrinter() = 0;
    // EPrinter "Printer selected is not valid" for a name that is not installed.
    virtual std::unique_ptr<TPrintDevice> Open(const AnsiString& name) = 0;
};

// A system without printers: what runs until a platform backend is installed.
class TNoPrinterSystem : public TPrinterSystem {
public:
    std::vector<TPrinterInfo> Printers() override { return {}; }
    AnsiString DefaultPrinter() override { return {}; }
    std::unique_ptr<TPrintDevice> Open(const AnsiString& name) override;
};

// The installed printer system (not owned; nullptr returns to the empty one).
TPrinterSystem& PrinterSystem();
TPrinterSystem* SetPrinterSystem(TPrinterSystem* system);

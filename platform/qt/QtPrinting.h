// QtPrinting.h - print backends over Qt: PDF files and the system's printers.
//
// TQtPdfDevice writes each document to a PDF file (QPdfWriter) at a fixed resolution;
// its sheets have no unprintable margins, and every page may have its own paper and
// orientation. TQtPrinterSystem lists the printers CUPS knows (QPrinterInfo) and opens
// each as a TQtPrinterDevice that prints through QPrinter; with a file name a document
// goes to that file as PDF. A machine without printers gives an empty list, no default
// and EPrinter "Printer selected is not valid" for any name. Raw documents are not
// offered by either.
//
// All of it needs a QGuiApplication. InstallQtGraphics (QtGraphics.h) installs the
// printer system.
#pragma once

#include "platform/printers/PrintBackend.h"

#include <QPageLayout>

class TQtPdfDevice : public TPrintDevice {
public:
    explicit TQtPdfDevice(int dpi = 600) : FDpi(dpi) {}
    AnsiString Name() const override { return "PDF"; }
    std::vector<TNamedCode> Papers() override;
    std::vector<TNamedCode> Bins() override { return {{"Auto", DMBIN_AUTO}}; }
    TPageSetup DefaultSetup() override { return TPageSetup{}; }
    TSheetGeometry Geometry(const TPageSetup& setup) override { return SheetFor(setup, {FDpi, FDpi}, 0); }
    // EPrinter when `fileName` is empty or the file cannot be written.
    std::unique_ptr<TPrintJob> BeginDoc(const AnsiString& title, const AnsiString& fileName,
                                        const TPageSetup& first) override;

private:
    int FDpi;
};

class TQtPrinterDevice : public TPrintDevice {
public:
    explicit TQtPrinterDevice(const AnsiString& name);
    AnsiString Name() const override { return FName; }
    std::vector<TNamedCode> Papers() override;
    std::vector<TNamedCode> Bins() override { return {{"Auto", DMBIN_AUTO}}; }
    TPageSetup DefaultSetup() override;
    TSheetGeometry Geometry(const TPageSetup& setup) override;
    std::unique_ptr<TPrintJob> BeginDoc(const AnsiString& title, const AnsiString& fileName,
                                        const TPageSetup& first) override;

private:
    AnsiString FName;
};

class TQtPrinterSystem : public TPrinterSystem {
public:
    std::vector<TPrinterInfo> Printers() override;
    AnsiString DefaultPrinter() override;
    std::unique_ptr<TPrintDevice> Open(const AnsiString& name) override;
};

// The Qt page layout for a setup (paper by its Windows code, or the user size).
QPageLayout PageLayoutFor(const TPageSetup& setup);

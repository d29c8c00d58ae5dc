// QtPrinting.h - print backends over Qt: PDF files and the system's printers.
//
// TQtPdfDevice writes each document to a PDF file (QPdfWriter) at a fixed resolution;
// its sheets have no unprintable margins, and every page may have its own paper and
// orientation. The file takes the whole document when EndDoc succeeds; a document that
// fails, is aborted or has no page leaves the file as it was. TQtPrinterSystem lists the printers CUPS knows (QPrinterInfo) and opens
// each as a TQtPrinterDevice that prints through QPrinter; with a file name a document
// goes to that file as PDF. A document for a queue is written whole first and then handed
// to CUPS by EndDoc, which raises EPrinter when the queue does not take it (removed,
// refusing jobs, the server gone), so a lost document is never reported as printed. After the queues the list always holds one more printer,
// kPdfPrinterName, that writes PDF files (as a desktop's built-in PDF printer does): it is
// never the default, and on a machine without queues it is the only printer. Any other
// name gives EPrinter "Printer selected is not valid". Raw documents are not offered.
//
// All of it needs a QGuiApplication. InstallQtGraphics (QtGraphics.h) installs the
// printer system.
#pragma once

#include "platform/printers/PrintBackend.h"

#include <QPageLayout>

#include <string>
#include <utility>
#include <vector>

class TQtPdfDevice : public TPrintDevice {
public:
    explicit TQtPdfDevice(int dpi = 600) : FDpi(dpi) {}
    AnsiString Name() const override { return "PDF"; }
    std::vector<TNamedCode> Papers() override;
    std::vector<TNamedCode> Bins() override { return {{"Auto", DMBIN_AUTO}}; }
    TPageSetup DefaultSetup() override { return TPageSetup{}; }
    TSheetGeometry Geometry(const TPageSetup& setup) override { return SheetFor(setup, {FDpi, FDpi}, 0); }
    bool WritesFiles() const override { return true; }
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

// The name of the PDF printer in the system's printer list.
extern const char* const kPdfPrinterName;

class TQtPrinterSystem : public TPrinterSystem {
public:
    std::vector<TPrinterInfo> Printers() override;
    AnsiString DefaultPrinter() override;
    std::unique_ptr<TPrintDevice> Open(const AnsiString& name) override;
};

// The Qt page layout for a setup (paper by its Windows code, or the user size).
QPageLayout PageLayoutFor(const TPageSetup& setup);

// The CUPS options (name, value) of a document handed to a queue: the sheet of its first
// page, the copies the driver makes and the duplex mode.
std::vector<std::pair<std::string, std::string>> QueueJobOptions(const TPageSetup& setup);

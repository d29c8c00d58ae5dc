// RecordingPrinter.h - printers that keep what they print: the backend for tests.
//
// A TRecordingPrinterSystem holds any number of made-up printers and one spool. Every
// document printed on them lands in the spool with its title, output file, pages (setup,
// sheet and the drawing calls on the fake font) and how it ended, so a test reads back
// exactly what a user would have got on paper:
//
//     TRecordingPrinterSystem printers({{"Office"}, {"Epson LX-300"}}, "Office");
//     TPrinterSystemScope use(printers);          // installed for this test only
//     ... print ...
//     EXPECT_EQ(printers.Spool().Documents.size(), 1u);
//     ExpectGolden("invoice", printers.Spool().Documents[0].Dump());
#pragma once

#include "platform/graphics/RecordingDevice.h"
#include "platform/printers/PrintBackend.h"

struct TRecordedPage {
    TPageSetup Setup;
    TSheetGeometry Sheet;
    TDrawRecords Records;
};

struct TRecordedDocument {
    AnsiString Printer, Title, FileName;
    std::vector<TRecordedPage> Pages;
    bool Raw = false;
    AnsiString RawBytes;
    bool Ended = false, Aborted = false;
    // "document", one "page" line per page followed by its drawing calls, then "end" or
    // "aborted" (or nothing while it is still open).
    AnsiString Dump() const;
};

struct TSpool {
    std::vector<TRecordedDocument> Documents;
};

struct TRecordingPrinterSpec {
    TRecordingPrinterSpec(AnsiString name = {}, AnsiString port = {}) : Name(std::move(name)), Port(std::move(port)) {}
    AnsiString Name;
    AnsiString Port;
    TPoint DPI{600, 600};
    double Margin = 5;  // unprintable, mm, on every side
    std::vector<TNamedCode> Papers;  // empty: every row of the paper table
    std::vector<TNamedCode> Bins{{"Auto", DMBIN_AUTO}, {"Manual", DMBIN_MANUAL}};
    bool AcceptsRaw = true;
    bool WritesFiles = false;  // a file printer: every document needs a file name
    std::vector<TNamedCode> Fonts;  // the device's own fonts
    TPageSetup Default;
};

class TRecordingPrintDevice : public TPrintDevice {
public:
    TRecordingPrintDevice(TRecordingPrinterSpec desc, TSpool& spool) : FSpec(std::move(desc)), FSpool(spool) {}
    AnsiString Name() const override { return FSpec.Name; }
    AnsiString Port() const override { return FSpec.Port; }
    std::vector<TNamedCode> Papers() override;
    std::vector<TNamedCode> Bins() override { return FSpec.Bins; }
    TPageSetup DefaultSetup() override { return FSpec.Default; }
    bool WritesFiles() const override { return FSpec.WritesFiles; }
    std::vector<TNamedCode> Fonts() override { return FSpec.Fonts; }
    TSheetGeometry Geometry(const TPageSetup& setup) override { return SheetFor(setup, FSpec.DPI, FSpec.Margin); }
    std::unique_ptr<TPrintJob> BeginDoc(const AnsiString& title, const AnsiString& fileName,
                                        const TPageSetup& first) override;
    std::unique_ptr<TRawPrintJob> BeginRawDoc(const AnsiString& title) override;

private:
    TRecordingPrinterSpec FSpec;
    TSpool& FSpool;
};

class TRecordingPrinterSystem : public TPrinterSystem {
public:
    explicit TRecordingPrinterSystem(std::vector<TRecordingPrinterSpec> printers = {}, AnsiString defaultName = {})
        : FPrinters(std::move(printers)), FDefault(std::move(defaultName))
    {
    }
    std::vector<TPrinterInfo> Printers() override;
    AnsiString DefaultPrinter() override { return FDefault; }
    std::unique_ptr<TPrintDevice> Open(const AnsiString& name) override;
    TSpool& Spool() { return FSpool; }

private:
    std::vector<TRecordingPrinterSpec> FPrinters;
    AnsiString FDefault;
    TSpool FSpool;
};

// Installs a printer system for the life of the scope, then puts the previous one back.
class TPrinterSystemScope {
public:
    explicit TPrinterSystemScope(TPrinterSystem& system) : FPrevious(SetPrinterSystem(&system)) {}
    ~TPrinterSystemScope() { SetPrinterSystem(FPrevious); }
    TPrinterSystemScope(const TPrinterSystemScope&) = delete;
    TPrinterSystemScope& operator=(const TPrinterSystemScope&) = delete;

private:
    TPrinterSystem* FPrevious;
};

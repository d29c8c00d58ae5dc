// Printers.h - TPrinter: the printer object of the class library, over the print backend.
//
// Printers lists the installed printers of PrinterSystem(); PrinterIndex chooses one
// (-1 = the default printer). The chosen printer gives the sheet's size in pixels and its
// resolution for the current Orientation and paper. BeginDoc / NewPage / EndDoc print a
// document whose pages are drawn on Canvas; Abort drops it.
//
// With no printer installed the list is empty, there is no default, and everything that
// needs a printer raises EPrinter "There is no default printer currently selected"
// instead of pretending to print. Changing the printer, the orientation or the paper
// while a document is printing raises "Printing in progress".
#pragma once

#include "platform/classes/Classes.h"
#include "platform/printers/PrintBackend.h"

class TPrinter : public TObject {
    SKLAD_CLASS_NOPUBLISH(TPrinter, TObject)
public:
    // `system` is read on every Refresh; nullptr uses the installed PrinterSystem().
    explicit TPrinter(TPrinterSystem* system = nullptr);
    ~TPrinter() override;

    // Reads the printer list again (the current printer stays chosen by name when it is
    // still installed, else the default becomes current).
    void Refresh();
    TStrings* GetPrinters();
    int GetPrinterIndex();
    // -1 chooses the default printer; an index outside the list raises EPrinter.
    void SetPrinterIndex(int value);
    // The current printer, or nullptr when there is none.
    TPrintDevice* Device();
    AnsiString PrinterName();

    TPrinterOrientation GetOrientation() const { return FSetup.Orientation; }
    void SetOrientation(TPrinterOrientation value);
    int GetPaper() const { return FSetup.PaperCode; }
    // A paper code; DMPAPER_USER takes `width` x `height` mm.
    void SetPaper(int code, double width = 0, double height = 0);
    const TPageSetup& GetPageSetup() const { return FSetup; }
    void SetPageSetup(const TPageSetup& setup);
    std::vector<TNamedCode> Papers();
    std::vector<TNamedCode> Bins();

    TSheetGeometry Sheet();
    int PageWidth() { return Sheet().PageWidth(); }
    int PageHeight() { return Sheet().PageHeight(); }
    TPoint DPI() { return Sheet().DPI; }

    AnsiString Title;
    AnsiString FileName;  // non-empty: the next document goes to this file

    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return FJob != nullptr; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }
    // The page's canvas; EPrinter "Printer is not currently printing" outside a document.
    TCanvas* GetCanvas();

private:
    TPrinterSystem& System() const;
    void CheckNotPrinting() const;
    TPrintDevice& RequireDevice();

    TPrinterSystem* FSystem;
    std::unique_ptr<TStringList> FPrinters;
    int FIndex = -1;
    std::unique_ptr<TPrintDevice> FDevice;
    TPageSetup FSetup;
    std::unique_ptr<TPrintJob> FJob;
    TCanvas* FCanvas = nullptr;
    bool FAborted = false;
    int FPageNumber = 0;
};

// The program's printer object, made on first use.
TPrinter* Printer();

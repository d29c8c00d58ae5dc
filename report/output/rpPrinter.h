// rpPrinter.h - the report library's printers: the list of installed printers, each with
// its papers, bins, sheet geometry and print jobs, over the print backend of
// platform/printers.
//
// rpPrinters() lists the printers of the installed PrinterSystem() in its order and makes
// the default one current. A printer object keeps its own page setup (paper, size,
// orientation, bin, copies, duplex; the device settings of the platform), changed by
// SetViewParams for layout and SetPrintParams page by page while a job runs; the sheet's
// size, margins and resolution are read back from the device after every change.
// Lengths are millimetres; resolutions pixels per inch.
//
// With no printer installed the list of names is empty, HasPhysicalPrinters is false and a
// virtual printer (600 dpi, the paper table, 5 mm margins) is current, so that pages can be
// laid out. It cannot print: starting a document on it raises EPrinter "There is no default
// printer currently selected" rather than running a job that prints nothing.
//
// Between BeginPage and EndPage the printer's Canvas draws on the page; outside a page it
// measures at the printer's resolution. The canvas keeps font sizes in points.
//
// Not here: printing prepared pages page by page (the engine's side), the print dialog
// (rpPrintDialog.h).
#pragma once

#include "platform/classes/Classes.h"
#include "platform/graphics/Canvas.h"
#include "platform/printers/PrintBackend.h"

#include <memory>
#include <vector>

using Extended = long double;

class TrpCustomPrinter;

// The canvas of a printer (not owned by anyone but its printer).
class TrpPrinterCanvas : public TCanvas {
    SKLAD_CLASS_NOPUBLISH(TrpPrinterCanvas, TCanvas)
public:
    explicit TrpPrinterCanvas(TrpCustomPrinter* printer);
    TrpCustomPrinter* GetPrinter() const { return FPrinter; }

private:
    TrpCustomPrinter* FPrinter;
};

class TrpCustomPrinter : public TObject {
    SKLAD_CLASS_NOPUBLISH(TrpCustomPrinter, TObject)
public:
    TrpCustomPrinter(const AnsiString& name, const AnsiString& port);
    ~TrpCustomPrinter() override;

    // Fills the device data once; a second call does nothing.
    virtual void Init() = 0;
    virtual void Abort() = 0;
    virtual void BeginDoc() = 0;
    virtual void BeginPage() = 0;
    virtual void BeginRAWDoc() = 0;
    virtual void EndDoc() = 0;
    virtual void EndPage() = 0;
    virtual void EndRAWDoc() = 0;
    virtual void WriteRAWDoc(const AnsiString& bytes) = 0;
    // The sheet for layout and the screen, without a job.
    virtual void SetViewParams(int paperSize, Extended paperWidth, Extended paperHeight,
                               TPrinterOrientation orientation) = 0;
    // The sheet, bin, copies and duplex mode of the next page of a running job.
    virtual void SetPrintParams(int paperSize, Extended paperWidth, Extended paperHeight,
                                TPrinterOrientation orientation, int bin, int copies, int duplex) = 0;
    // The device's own settings dialog; a bin chosen there overrides the pages' bins in
    // the next job.
    virtual void PropertiesDlg() = 0;
    // True when every document of this printer goes to a file (a PDF printer), so a print
    // command asks for the file name first.
    virtual bool WritesFiles() const { return false; }

    int BinIndex(int code) const;
    int PaperIndex(int code) const;
    // The code of the entry with this name; an unknown name gives entry 0's code.
    int BinNameToNumber(const AnsiString& name) const;
    int PaperNameToNumber(const AnsiString& name) const;
    const TStrings* GetBins() const { return FBins.get(); }
    const TStrings* GetPapers() const { return FPapers.get(); }
    int GetBinCode(int index) const { return FBinCodes.at(size_t(index)); }
    int GetPaperCode(int index) const { return FPaperCodes.at(size_t(index)); }

    TrpPrinterCanvas* GetCanvas() const { return FCanvas.get(); }

    // Fields of the printer, in the order of the platform's object.
    int Bin = -1;  // bin override for the next job; -1 none
    TPrinterOrientation DefOrientation = poPortrait;
    int DefPaper = 0;
    Extended DefPaperHeight = 0, DefPaperWidth = 0;
    TPoint DPI{0, 0};
    AnsiString FileName;  // "" = to the printer
    bool Initialized = false;
    AnsiString Name;
    int Paper = 0;
    Extended PaperHeight = 0, PaperWidth = 0;
    Extended LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0;
    TPrinterOrientation Orientation = poPortrait;
    AnsiString Port;
    bool Printing = false;
    AnsiString Title;

protected:
    void ClearLists();
    void AddBin(const AnsiString& name, int code);
    void AddPaper(const AnsiString& name, int code);
    // Takes the sheet's size, margins and resolution from a geometry.
    void ReadGeometry(const TSheetGeometry& g);
    // The canvas measures on an information device at DPI outside pages.
    void AttachInfoDevice();
    void AttachPageDevice(TCanvasDevice* device);

private:
    class TInfoDevice;
    std::unique_ptr<TStringList> FBins, FPapers;
    std::vector<int> FBinCodes, FPaperCodes;
    std::unique_ptr<TInfoDevice> FInfoDevice;
    std::unique_ptr<TrpPrinterCanvas> FCanvas;
};

// One installed printer of the print backend.
class TrpPrinter : public TrpCustomPrinter {
    SKLAD_CLASS_NOPUBLISH(TrpPrinter, TrpCustomPrinter)
public:
    TrpPrinter(const AnsiString& name, const AnsiString& port);
    ~TrpPrinter() override;

    void Init() override;
    void Abort() override;
    void BeginDoc() override;
    void BeginPage() override;
    void BeginRAWDoc() override;
    void EndDoc() override;
    void EndPage() override;
    void EndRAWDoc() override;
    void WriteRAWDoc(const AnsiString& bytes) override;
    void SetViewParams(int paperSize, Extended paperWidth, Extended paperHeight,
                       TPrinterOrientation orientation) override;
    void SetPrintParams(int paperSize, Extended paperWidth, Extended paperHeight, TPrinterOrientation orientation,
                        int bin, int copies, int duplex) override;
    void PropertiesDlg() override;

    // The kept device settings (what every page and job changes).
    const TPageSetup& DeviceSetup() const { return FSetup; }
    TPrintDevice* Device() const { return FDevice.get(); }
    bool WritesFiles() const override { return FDevice && FDevice->WritesFiles(); }

private:
    TPrintDevice& RequireDevice();
    std::unique_ptr<TPrintDevice> FDevice;
    TPageSetup FSetup;
    std::unique_ptr<TPrintJob> FJob;
    std::unique_ptr<TRawPrintJob> FRawJob;
    bool FInPage = false;
};

// Stands in for the printer list when no printer is installed.
class TrpVirtualPrinter : public TrpCustomPrinter {
    SKLAD_CLASS_NOPUBLISH(TrpVirtualPrinter, TrpCustomPrinter)
public:
    TrpVirtualPrinter(const AnsiString& name, const AnsiString& port);

    void Init() override;
    void Abort() override {}
    void BeginDoc() override;
    void BeginPage() override {}
    void BeginRAWDoc() override;
    void EndDoc() override {}
    void EndPage() override {}
    void EndRAWDoc() override {}
    void WriteRAWDoc(const AnsiString&) override {}
    void SetViewParams(int paperSize, Extended paperWidth, Extended paperHeight,
                       TPrinterOrientation orientation) override;
    void SetPrintParams(int paperSize, Extended paperWidth, Extended paperHeight, TPrinterOrientation orientation,
                        int bin, int copies, int duplex) override;
    void PropertiesDlg() override {}
};

class TrpPrinters : public TObject {
    SKLAD_CLASS_NOPUBLISH(TrpPrinters, TObject)
public:
    // Reads the installed printers of PrinterSystem() and makes the default one current.
    TrpPrinters();
    ~TrpPrinters() override;

    bool HasPhysicalPrinters() const { return FHasPhysicalPrinters; }
    // Names of the installed printers, in the system's order (the virtual printer is not
    // in it).
    TStrings* GetPrinters() const { return FPrinters.get(); }
    int Count() const { return int(FItems.size()); }
    // EListError for an index outside the list.
    TrpCustomPrinter* GetItem(int index) const;
    // Index of the first printer with this name (ignoring case), else -1.
    int IndexOf(const AnsiString& name) const;
    int GetPrinterIndex() const { return FPrinterIndex; }
    // Makes a printer current and initialises it; -1 leaves none current.
    void SetPrinterIndex(int index);
    // The current printer, or nullptr when none is.
    TrpCustomPrinter* GetCurrentPrinter() const;

private:
    bool FHasPhysicalPrinters = false;
    std::unique_ptr<TStringList> FPrinters;
    int FPrinterIndex = -1;
    std::vector<std::unique_ptr<TrpCustomPrinter>> FItems;
};

// The one printer list, made on first use.
TrpPrinters& rpPrinters();
// Frees the list (shutdown, or a test that installed another printer system); the next
// rpPrinters() reads the printers again.
void rpFreePrinters();

// Makes new report pages take their default paper, size and orientation from the current
// printer (start-up, once the printer list may be read). The paper table's sizes by code
// are rpGetPaperDimensions of report/model/rpPages.h. Also lets a report select the printer
// its PrintOptions name (TrpReport::SelectPrinter).
void rpInstallPrinterPaperQuery();

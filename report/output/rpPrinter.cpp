// rpPrinter.cpp - the report library's printer list and printer objects.
#include "report/output/rpPrinter.h"

#include "report/model/rpClass.h"
#include "report/model/rpPages.h"
#include "report/model/rpRes.h"

#include "platform/printers/PaperTable.h"
#include "platform/printers/PrinterConsts.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr const char* kNoRawJob = "No raw document has been started on printer \"%s\"";
constexpr const char* kNoJob = "No document has been started on printer \"%s\"";

// Margins of the virtual printer on every side, mm.
constexpr Extended kVirtualMargin = 5;

}  // namespace

// ---------------------------------------------------------------- canvas

SKLAD_DEFINE_CLASS(TrpPrinterCanvas)

TrpPrinterCanvas::TrpPrinterCanvas(TrpCustomPrinter* printer) : FPrinter(printer)
{
    // Text keeps its size in points on the device, whatever resolution a font was made at.
    SetKeepFontPoints(true);
}

// Measures at the printer's resolution outside pages (the platform's information context).
class TrpCustomPrinter::TInfoDevice : public TNullDevice {
public:
    int PixelsPerInchX() const override { return DPI.X > 0 ? DPI.X : kPixelsPerInch; }
    int PixelsPerInchY() const override { return DPI.Y > 0 ? DPI.Y : kPixelsPerInch; }
    bool IsPrinter() const override { return true; }
    TPoint DPI{0, 0};
};

// ---------------------------------------------------------------- TrpCustomPrinter

SKLAD_DEFINE_CLASS(TrpCustomPrinter)

TrpCustomPrinter::TrpCustomPrinter(const AnsiString& name, const AnsiString& port)
    : Name(name),
      Port(port),
      FBins(std::make_unique<TStringList>()),
      FPapers(std::make_unique<TStringList>()),
      FInfoDevice(std::make_unique<TInfoDevice>()),
      FCanvas(std::make_unique<TrpPrinterCanvas>(this))
{
    ClearLists();
    AttachInfoDevice();
}

TrpCustomPrinter::~TrpCustomPrinter()
{
    FCanvas->SetDevice(nullptr);
}

void TrpCustomPrinter::ClearLists()
{
    FBins->Clear();
    FBinCodes.clear();
    FPapers->Clear();
    FPaperCodes.clear();
    AddBin(rpResources().Get("prDefault"), DMBIN_AUTO);
    AddPaper(rpResources().Get("prCustom"), DMPAPER_USER);
}

void TrpCustomPrinter::AddBin(const AnsiString& name, int code)
{
    FBins->Add(name);
    FBinCodes.push_back(code);
}

void TrpCustomPrinter::AddPaper(const AnsiString& name, int code)
{
    FPapers->Add(name);
    FPaperCodes.push_back(code);
}

int TrpCustomPrinter::BinIndex(int code) const
{
    for (size_t k = 0; k < FBinCodes.size(); ++k)
        if (FBinCodes[k] == code)
            return int(k);
    return -1;
}

int TrpCustomPrinter::PaperIndex(int code) const
{
    for (size_t k = 0; k < FPaperCodes.size(); ++k)
        if (FPaperCodes[k] == code)
            return int(k);
    return -1;
}

int TrpCustomPrinter::BinNameToNumber(const AnsiString& name) const
{
    const int k = FBins->IndexOf(name);
    return FBinCodes[size_t(k < 0 ? 0 : k)];
}

int TrpCustomPrinter::PaperNameToNumber(const AnsiString& name) const
{
    const int k = FPapers->IndexOf(name);
    return FPaperCodes[size_t(k < 0 ? 0 : k)];
}

void TrpCustomPrinter::ReadGeometry(const TSheetGeometry& g)
{
    DPI = g.DPI;
    PaperWidth = g.PaperWidth;
    PaperHeight = g.PaperHeight;
    LeftMargin = g.LeftMargin;
    TopMargin = g.TopMargin;
    RightMargin = g.RightMargin;
    BottomMargin = g.BottomMargin;
    FInfoDevice->DPI = DPI;
}

void TrpCustomPrinter::AttachInfoDevice()
{
    FInfoDevice->DPI = DPI;
    FCanvas->SetDevice(FInfoDevice.get());
}

void TrpCustomPrinter::AttachPageDevice(TCanvasDevice* device)
{
    FCanvas->SetDevice(device ? device : FInfoDevice.get());
}

// ---------------------------------------------------------------- TrpPrinter

SKLAD_DEFINE_CLASS(TrpPrinter)

TrpPrinter::TrpPrinter(const AnsiString& name, const AnsiString& port) : TrpCustomPrinter(name, port) {}

TrpPrinter::~TrpPrinter()
{
    // Detach the canvas before the job that owns its page device goes.
    AttachPageDevice(nullptr);
    if (FJob) {
        try {
            FJob->Abort();
        } catch (...) {
        }
    }
}

TPrintDevice& TrpPrinter::RequireDevice()
{
    if (!FDevice)
        throw EPrinter(printer_msg::kInvalidPrinter);
    return *FDevice;
}

void TrpPrinter::Init()
{
    if (Initialized)
        return;
    // A printer that cannot be opened stays uninitialised with its constructed lists.
    try {
        FDevice = PrinterSystem().Open(Name);
    } catch (const EPrinter&) {
        FDevice.reset();
        return;
    }
    FSetup = FDevice->DefaultSetup();
    const TSheetGeometry g = FDevice->Geometry(FSetup);
    ReadGeometry(g);
    DefPaper = FSetup.PaperCode;
    DefPaperWidth = g.PaperWidth;
    DefPaperHeight = g.PaperHeight;
    DefOrientation = FSetup.Orientation;
    Paper = FSetup.PaperCode;
    Orientation = FSetup.Orientation;

    ClearLists();
    for (const TNamedCode& p : FDevice->Papers())
        if (p.Code != DMPAPER_USER)
            AddPaper(p.Name, p.Code);
    for (const TNamedCode& b : FDevice->Bins())
        if (b.Code != DMBIN_AUTO)
            AddBin(b.Name, b.Code);
    Initialized = true;
}

void TrpPrinter::SetViewParams(int paperSize, Extended paperWidth, Extended paperHeight,
                               TPrinterOrientation orientation)
{
    if (paperSize == DMPAPER_USER) {
        // The margins come from A4 in that orientation.
        SetViewParams(DMPAPER_A4, 0, 0, orientation);
        PaperWidth = paperWidth;
        PaperHeight = paperHeight;
    } else if (FDevice) {
        FSetup.PaperCode = paperSize;
        FSetup.Orientation = orientation;
        ReadGeometry(FDevice->Geometry(FSetup));
    }
    Paper = paperSize;
    Orientation = orientation;
}

void TrpPrinter::SetPrintParams(int paperSize, Extended paperWidth, Extended paperHeight,
                                TPrinterOrientation orientation, int bin, int copies, int duplex)
{
    // The kept settings change in place, so each change stays for later pages and jobs.
    FSetup.PaperCode = paperSize;
    if (paperSize == DMPAPER_USER) {
        // A page's size is as turned; the device setup holds the sheet upright.
        const bool turned = orientation == poLandscape;
        FSetup.PaperWidth = double(Round((turned ? paperHeight : paperWidth) * 10)) / 10;
        FSetup.PaperHeight = double(Round((turned ? paperWidth : paperHeight) * 10)) / 10;
    }
    FSetup.Orientation = orientation;
    FSetup.Copies = copies < 1 ? 1 : copies;
    FSetup.Bin = Bin != -1 ? Bin : bin;
    FSetup.Duplex = duplex;
    if (FJob)
        FJob->SetPageSetup(FSetup);
    if (FDevice)
        ReadGeometry(FJob ? FJob->Geometry() : FDevice->Geometry(FSetup));
    Paper = paperSize;
    Orientation = orientation;
}

void TrpPrinter::BeginDoc()
{
    TPrintDevice& device = RequireDevice();
    FJob = device.BeginDoc(Title, FileName, FSetup);
    Printing = true;
}

void TrpPrinter::BeginPage()
{
    if (!FJob)
        throw EPrinter(Format(kNoJob, {Name}));
    TCanvas& page = FJob->BeginPage();
    FInPage = true;
    ReadGeometry(FJob->Geometry());
    AttachPageDevice(page.GetDevice());
}

void TrpPrinter::EndPage()
{
    if (!FJob || !FInPage)
        return;
    AttachPageDevice(nullptr);
    FInPage = false;
    FJob->EndPage();
}

void TrpPrinter::EndDoc()
{
    AttachPageDevice(nullptr);
    FInPage = false;
    std::unique_ptr<TPrintJob> job = std::move(FJob);
    Printing = false;
    Bin = -1;
    if (job)
        job->EndDoc();
}

void TrpPrinter::Abort()
{
    AttachPageDevice(nullptr);
    FInPage = false;
    if (FJob) {
        std::unique_ptr<TPrintJob> job = std::move(FJob);
        job->Abort();
    }
    EndDoc();
}

void TrpPrinter::BeginRAWDoc()
{
    FRawJob = RequireDevice().BeginRawDoc(Title);
}

void TrpPrinter::WriteRAWDoc(const AnsiString& bytes)
{
    if (!FRawJob)
        throw EPrinter(Format(kNoRawJob, {Name}));
    FRawJob->Write(bytes.data(), bytes.size());
}

void TrpPrinter::EndRAWDoc()
{
    if (!FRawJob)
        return;
    std::unique_ptr<TRawPrintJob> job = std::move(FRawJob);
    job->EndDoc();
}

void TrpPrinter::PropertiesDlg()
{
    if (!FDevice)
        return;
    if (FDevice->PropertiesDialog(FSetup)) {
        Bin = FSetup.Bin;
        ReadGeometry(FDevice->Geometry(FSetup));
    }
}

// ---------------------------------------------------------------- TrpVirtualPrinter

SKLAD_DEFINE_CLASS(TrpVirtualPrinter)

TrpVirtualPrinter::TrpVirtualPrinter(const AnsiString& name, const AnsiString& port) : TrpCustomPrinter(name, port)
{
}

void TrpVirtualPrinter::Init()
{
    if (Initialized)
        return;
    DPI = {600, 600};
    DefPaper = DMPAPER_A4;
    DefOrientation = poPortrait;
    DefPaperWidth = 210;
    DefPaperHeight = 297;
    for (const TPaperInfo& row : PaperTable())
        AddPaper(row.Name, row.Code);
    Bin = -1;
    SetViewParams(DMPAPER_A4, 0, 0, poPortrait);
    Initialized = true;
}

void TrpVirtualPrinter::SetViewParams(int paperSize, Extended paperWidth, Extended paperHeight,
                                      TPrinterOrientation orientation)
{
    const TPaperInfo* row = paperSize == DMPAPER_USER ? nullptr : FindPaper(paperSize);
    if (row) {
        const Extended w = row->Width / 10.0L, h = row->Height / 10.0L;
        PaperWidth = orientation == poLandscape ? h : w;
        PaperHeight = orientation == poLandscape ? w : h;
        Paper = paperSize;
    } else {
        Paper = DMPAPER_USER;
        PaperWidth = paperWidth;
        PaperHeight = paperHeight;
    }
    Orientation = orientation;
    LeftMargin = TopMargin = RightMargin = BottomMargin = kVirtualMargin;
    AttachInfoDevice();
}

void TrpVirtualPrinter::SetPrintParams(int paperSize, Extended paperWidth, Extended paperHeight,
                                       TPrinterOrientation orientation, int bin, int, int)
{
    SetViewParams(paperSize, paperWidth, paperHeight, orientation);
    Bin = bin;
}

void TrpVirtualPrinter::BeginDoc()
{
    // Nothing can come out of it: say so instead of running a job that prints nothing.
    throw EPrinter(printer_msg::kNoDefaultPrinter);
}

void TrpVirtualPrinter::BeginRAWDoc()
{
    throw EPrinter(printer_msg::kNoDefaultPrinter);
}

// ---------------------------------------------------------------- TrpPrinters

SKLAD_DEFINE_CLASS(TrpPrinters)

TrpPrinters::TrpPrinters() : FPrinters(std::make_unique<TStringList>())
{
    TPrinterSystem& system = PrinterSystem();
    for (const TPrinterInfo& info : system.Printers()) {
        // A printer on several ports stands once for each of them, under the same name.
        std::vector<AnsiString> ports;
        size_t start = 0;
        while (true) {
            const size_t comma = info.Port.find(',', start);
            ports.push_back(Trim(info.Port.substr(start, comma == AnsiString::npos ? AnsiString::npos : comma - start)));
            if (comma == AnsiString::npos)
                break;
            start = comma + 1;
        }
        for (const AnsiString& port : ports) {
            FItems.push_back(std::make_unique<TrpPrinter>(info.Name, port));
            FPrinters->Add(info.Name);
        }
    }
    int index = 0;
    if (!FItems.empty()) {
        FHasPhysicalPrinters = true;
        AnsiString def = system.DefaultPrinter();
        const size_t comma = def.find(',');
        if (comma != AnsiString::npos)
            def.erase(comma);
        index = IndexOf(def);
        // No printer by the default's name: the first one is current rather than none.
        if (index < 0)
            index = 0;
    } else {
        FHasPhysicalPrinters = false;
        FItems.push_back(std::make_unique<TrpVirtualPrinter>(rpResources().Get("prVirtual"), ""));
    }
    SetPrinterIndex(index);
}

TrpPrinters::~TrpPrinters() = default;

TrpCustomPrinter* TrpPrinters::GetItem(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[size_t(index)].get();
}

int TrpPrinters::IndexOf(const AnsiString& name) const
{
    for (size_t k = 0; k < FItems.size(); ++k)
        if (AnsiSameText(FItems[k]->Name, name))
            return int(k);
    return -1;
}

void TrpPrinters::SetPrinterIndex(int index)
{
    if (index != -1)
        GetItem(index)->Init();
    FPrinterIndex = index;
}

TrpCustomPrinter* TrpPrinters::GetCurrentPrinter() const
{
    return FPrinterIndex >= 0 && FPrinterIndex < Count() ? FItems[size_t(FPrinterIndex)].get() : nullptr;
}

// ---------------------------------------------------------------- globals

namespace {
std::unique_ptr<TrpPrinters>& SharedPrinters()
{
    static std::unique_ptr<TrpPrinters> printers;
    return printers;
}
}  // namespace

TrpPrinters& rpPrinters()
{
    auto& p = SharedPrinters();
    if (!p)
        p = std::make_unique<TrpPrinters>();
    return *p;
}

void rpFreePrinters()
{
    SharedPrinters().reset();
}

void rpInstallPrinterPaperQuery()
{
    rpSetPrinterPaperQuery([](int& paperSize, Extended& width, Extended& height, TPrinterOrientation& orientation) {
        const TrpCustomPrinter* p = rpPrinters().GetCurrentPrinter();
        if (!p || !p->Initialized)
            return false;
        paperSize = p->DefPaper;
        width = p->DefPaperWidth;
        height = p->DefPaperHeight;
        orientation = p->DefOrientation;
        return true;
    });
    rpSetPrinterSelector([](const AnsiString& name) {
        const int index = rpPrinters().IndexOf(name);
        if (index >= 0)
            rpPrinters().SetPrinterIndex(index);
    });
}

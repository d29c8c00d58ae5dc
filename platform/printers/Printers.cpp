#include "platform/printers/Printers.h"

#include "platform/printers/PrinterConsts.h"
#include "platform/rtl/Cp1251.h"

SKLAD_DEFINE_ABSTRACT_CLASS(TPrinter)

TPrinter::TPrinter(TPrinterSystem* system) : FSystem(system), FPrinters(std::make_unique<TStringList>())
{
    Refresh();
}

TPrinter::~TPrinter()
{
    if (FJob) {
        try {
            FJob->Abort();
        } catch (...) {
        }
    }
}

TPrinterSystem& TPrinter::System() const
{
    return FSystem ? *FSystem : PrinterSystem();
}

void TPrinter::CheckNotPrinting() const
{
    if (FJob)
        throw EPrinter(printer_msg::kPrinting);
}

void TPrinter::Refresh()
{
    CheckNotPrinting();
    const AnsiString current = FDevice ? FDevice->Name() : AnsiString();
    FPrinters->Clear();
    for (const TPrinterInfo& p : System().Printers())
        FPrinters->Add(p.Name);
    FDevice.reset();
    FIndex = -1;
    if (!current.empty())
        for (int i = 0; i < FPrinters->GetCount(); ++i)
            if (AnsiSameText(FPrinters->Get(i), current)) {
                SetPrinterIndex(i);
                return;
            }
    if (FPrinters->GetCount() > 0)
        SetPrinterIndex(-1);
}

TStrings* TPrinter::GetPrinters()
{
    return FPrinters.get();
}

int TPrinter::GetPrinterIndex()
{
    return FIndex;
}

void TPrinter::SetPrinterIndex(int value)
{
    CheckNotPrinting();
    if (value == -1) {
        // The default printer; when the system names none (or one not in the list) the
        // first printer stands in, so that a machine with printers always has a current one.
        const AnsiString def = System().DefaultPrinter();
        value = FPrinters->GetCount() > 0 ? 0 : -1;
        for (int i = 0; i < FPrinters->GetCount(); ++i)
            if (AnsiSameText(FPrinters->Get(i), def)) {
                value = i;
                break;
            }
        if (value == -1) {
            FDevice.reset();
            FIndex = -1;
            return;
        }
    }
    if (value < 0 || value >= FPrinters->GetCount())
        throw EPrinter(printer_msg::kPrinterIndexError);
    std::unique_ptr<TPrintDevice> device = System().Open(FPrinters->Get(value));
    FSetup = device->DefaultSetup();
    FDevice = std::move(device);
    FIndex = value;
}

TPrintDevice* TPrinter::Device()
{
    return FDevice.get();
}

AnsiString TPrinter::PrinterName()
{
    return FDevice ? FDevice->Name() : AnsiString();
}

TPrintDevice& TPrinter::RequireDevice()
{
    if (!FDevice)
        throw EPrinter(printer_msg::kNoDefaultPrinter);
    return *FDevice;
}

void TPrinter::SetOrientation(TPrinterOrientation value)
{
    CheckNotPrinting();
    FSetup.Orientation = value;
}

void TPrinter::SetPaper(int code, double width, double height)
{
    CheckNotPrinting();
    FSetup.PaperCode = code;
    if (code == DMPAPER_USER) {
        FSetup.PaperWidth = width;
        FSetup.PaperHeight = height;
    } else {
        GetPaperDimensions(code, FSetup.PaperWidth, FSetup.PaperHeight);
    }
}

void TPrinter::SetPageSetup(const TPageSetup& setup)
{
    if (FJob) {
        // Between pages of a running document the next page may change its sheet.
        FSetup = setup;
        FJob->SetPageSetup(setup);
        return;
    }
    FSetup = setup;
}

std::vector<TNamedCode> TPrinter::Papers()
{
    return FDevice ? FDevice->Papers() : std::vector<TNamedCode>{};
}

std::vector<TNamedCode> TPrinter::Bins()
{
    return FDevice ? FDevice->Bins() : std::vector<TNamedCode>{};
}

TSheetGeometry TPrinter::Sheet()
{
    if (FJob)
        return FJob->Geometry();
    return RequireDevice().Geometry(FSetup);
}

void TPrinter::BeginDoc()
{
    CheckNotPrinting();
    TPrintDevice& device = RequireDevice();
    FAborted = false;
    FPageNumber = 0;
    FJob = device.BeginDoc(Title, FileName, FSetup);
    try {
        FCanvas = &FJob->BeginPage();
    } catch (...) {
        FJob->Abort();
        FJob.reset();
        throw;
    }
    FPageNumber = 1;
}

void TPrinter::NewPage()
{
    if (!FJob)
        throw EPrinter(printer_msg::kNotPrinting);
    FJob->EndPage();
    FCanvas = &FJob->BeginPage();
    ++FPageNumber;
}

void TPrinter::EndDoc()
{
    if (!FJob)
        throw EPrinter(printer_msg::kNotPrinting);
    std::unique_ptr<TPrintJob> job = std::move(FJob);
    FCanvas = nullptr;
    job->EndDoc();
}

void TPrinter::Abort()
{
    if (!FJob)
        throw EPrinter(printer_msg::kNotPrinting);
    std::unique_ptr<TPrintJob> job = std::move(FJob);
    FCanvas = nullptr;
    FAborted = true;
    job->Abort();
}

TCanvas* TPrinter::GetCanvas()
{
    if (!FJob || !FCanvas)
        throw EPrinter(printer_msg::kNotPrinting);
    return FCanvas;
}

TPrinter* Printer()
{
    static std::unique_ptr<TPrinter> printer = std::make_unique<TPrinter>();
    return printer.get();
}

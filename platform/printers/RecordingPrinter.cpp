#include "platform/printers/RecordingPrinter.h"

#include "platform/printers/PrinterConsts.h"
#include "platform/rtl/Cp1251.h"

#include <charconv>

namespace {

// Not printf: the record reads the same under any desktop's locale.
AnsiString Mm(double v)
{
    char buf[400];  // a fixed-notation double has at most 309 integer digits
    return AnsiString(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1).ptr);
}

class TRecordingJob : public TPrintJob {
public:
    TRecordingJob(TSpool& spool, size_t index, TPoint dpi, double margin, TPageSetup first)
        : FSpool(spool), FIndex(index), FDpi(dpi), FMargin(margin), FSetup(first)
    {
    }
    ~TRecordingJob() override { FCanvas.SetDevice(nullptr); }

    void SetPageSetup(const TPageSetup& setup) override { FSetup = setup; }
    TSheetGeometry Geometry() const override { return SheetFor(FSetup, FDpi, FMargin); }

    TCanvas& BeginPage() override
    {
        Check();
        if (FPage)
            EndPage();
        const TSheetGeometry sheet = Geometry();
        FPage = std::make_unique<TRecordingDevice>(&FakeFontBackend(), sheet.DPI.X, sheet.DPI.Y,
                                                   Rect(0, 0, sheet.PageWidth(), sheet.PageHeight()));
        FPage->SetPrinter(true);
        FCanvas.SetDevice(FPage.get());
        Doc().Pages.push_back(TRecordedPage{FSetup, sheet, {}});
        return FCanvas;
    }

    void EndPage() override
    {
        if (!FPage)
            return;
        FCanvas.SetDevice(nullptr);
        Doc().Pages.back().Records = FPage->TakeRecords();
        FPage.reset();
    }

    void EndDoc() override
    {
        Check();
        EndPage();
        Doc().Ended = true;
    }

    void Abort() override
    {
        if (Doc().Ended || Doc().Aborted)
            return;
        EndPage();
        Doc().Aborted = true;
    }

private:
    TRecordedDocument& Doc() { return FSpool.Documents[FIndex]; }
    void Check()
    {
        if (Doc().Ended || Doc().Aborted)
            throw EPrinter(printer_msg::kNotPrinting);
    }

    TSpool& FSpool;
    size_t FIndex;
    TPoint FDpi;
    double FMargin;
    TPageSetup FSetup;
    std::unique_ptr<TRecordingDevice> FPage;
    TCanvas FCanvas;
};

class TRecordingRawJob : public TRawPrintJob {
public:
    TRecordingRawJob(TSpool& spool, size_t index) : FSpool(spool), FIndex(index) {}
    void Write(const void* data, size_t size) override
    {
        if (Doc().Ended || Doc().Aborted)
            throw EPrinter(printer_msg::kNotPrinting);
        Doc().RawBytes.append(static_cast<const char*>(data), size);
    }
    void EndDoc() override { Doc().Ended = true; }
    void Abort() override
    {
        if (!Doc().Ended)
            Doc().Aborted = true;
    }

private:
    TRecordedDocument& Doc() { return FSpool.Documents[FIndex]; }
    TSpool& FSpool;
    size_t FIndex;
};

}  // namespace

AnsiString TRecordedDocument::Dump() const
{
    AnsiString out = "document \"" + Title + "\" on \"" + Printer + "\"";
    if (!FileName.empty())
        out += " to \"" + FileName + "\"";
    out += Raw ? " raw\n" : "\n";
    for (size_t i = 0; i < Pages.size(); ++i) {
        const TRecordedPage& p = Pages[i];
        out += "page " + std::to_string(i + 1) + " paper " + std::to_string(p.Sheet.PaperCode) +
               (p.Sheet.Orientation == poLandscape ? " landscape " : " portrait ") + Mm(p.Sheet.PaperWidth) + "x" +
               Mm(p.Sheet.PaperHeight) + " mm " + std::to_string(p.Sheet.DPI.X) + " dpi bin " +
               std::to_string(p.Setup.Bin) + " copies " + std::to_string(p.Setup.Copies) + " duplex " +
               std::to_string(p.Setup.Duplex) + "\n";
        out += DumpRecords(p.Records);
    }
    if (Raw)
        out += "bytes " + std::to_string(RawBytes.size()) + "\n";
    if (Ended)
        out += "end\n";
    else if (Aborted)
        out += "aborted\n";
    return out;
}

std::vector<TNamedCode> TRecordingPrintDevice::Papers()
{
    if (!FSpec.Papers.empty())
        return FSpec.Papers;
    std::vector<TNamedCode> papers;
    for (const TPaperInfo& p : PaperTable()) {
        AnsiString name = PaperName(p.Code);
        papers.push_back({name.empty() ? "Paper " + std::to_string(p.Code) : name, p.Code});
    }
    return papers;
}

std::unique_ptr<TPrintJob> TRecordingPrintDevice::BeginDoc(const AnsiString& title, const AnsiString& fileName,
                                                           const TPageSetup& first)
{
    TRecordedDocument doc;
    doc.Printer = FSpec.Name;
    doc.Title = title;
    doc.FileName = fileName;
    FSpool.Documents.push_back(std::move(doc));
    return std::make_unique<TRecordingJob>(FSpool, FSpool.Documents.size() - 1, FSpec.DPI, FSpec.Margin, first);
}

std::unique_ptr<TRawPrintJob> TRecordingPrintDevice::BeginRawDoc(const AnsiString& title)
{
    if (!FSpec.AcceptsRaw)
        return TPrintDevice::BeginRawDoc(title);
    TRecordedDocument doc;
    doc.Printer = FSpec.Name;
    doc.Title = title;
    doc.Raw = true;
    FSpool.Documents.push_back(std::move(doc));
    return std::make_unique<TRecordingRawJob>(FSpool, FSpool.Documents.size() - 1);
}

std::vector<TPrinterInfo> TRecordingPrinterSystem::Printers()
{
    std::vector<TPrinterInfo> list;
    for (const TRecordingPrinterSpec& p : FPrinters)
        list.push_back({p.Name, p.Port, p.Name == FDefault});
    return list;
}

std::unique_ptr<TPrintDevice> TRecordingPrinterSystem::Open(const AnsiString& name)
{
    for (const TRecordingPrinterSpec& p : FPrinters)
        if (AnsiSameText(p.Name, name))
            return std::make_unique<TRecordingPrintDevice>(p, FSpool);
    throw EPrinter(printer_msg::kInvalidPrinter);
}

#include "platform/qt/QtPrinting.h"

#include "platform/printers/PrinterConsts.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"
#include "platform/rtl/Cp1251.h"

#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

QPageLayout PageLayoutFor(const TPageSetup& setup)
{
    double w = setup.PaperWidth, h = setup.PaperHeight;
    GetPaperDimensions(setup.PaperCode, w, h);
    QPageSize size(QSizeF(w, h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    const QPageSize::PageSizeId id = QPageSize::id(setup.PaperCode);
    if (setup.PaperCode != DMPAPER_USER && id != QPageSize::Custom) {
        // A named size, when Qt's size agrees with the table to the millimetre.
        const QSizeF named = QPageSize(id).size(QPageSize::Millimeter);
        if (std::fabs(named.width() - w) < 1 && std::fabs(named.height() - h) < 1)
            size = QPageSize(id);
    }
    return QPageLayout(size, setup.Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

namespace {

// One document on a paged Qt device (a PDF writer or a printer). The device's page layout
// is set before each page; the painter begins with the first page.
class TQtPagedJob : public TPrintJob {
public:
    TQtPagedJob(std::unique_ptr<QPagedPaintDevice> device, QPrinter* printer, TPoint dpi, TPageSetup first,
                std::function<TSheetGeometry(const TPageSetup&)> geometry)
        : FDevice(std::move(device)), FPrinter(printer), FDpi(dpi), FSetup(first), FGeometry(std::move(geometry))
    {
    }

    ~TQtPagedJob() override
    {
        if (!FDone)
            Abort();
    }

    void SetPageSetup(const TPageSetup& setup) override { FSetup = setup; }
    TSheetGeometry Geometry() const override { return FGeometry(FSetup); }

    TCanvas& BeginPage() override
    {
        if (FDone)
            throw EPrinter(printer_msg::kNotPrinting);
        if (FInPage)
            EndPage();
        FCanvas.SetDevice(nullptr);
        FPageDevice.reset();
        QPageLayout layout = PageLayoutFor(FSetup);
        if (FPrinter) {
            FPrinter->setCopyCount(std::max(1, FSetup.Copies));
            FPrinter->setDuplex(FSetup.Duplex == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                                : FSetup.Duplex == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                                    : QPrinter::DuplexNone);
            layout.setMargins(FPrinter->pageLayout().margins());
        }
        FDevice->setPageLayout(layout);
        if (!FPainter.isActive()) {
            if (!FPainter.begin(FDevice.get()))
                throw EPrinter("Cannot start the document: the printer or file is not available");
        } else if (!FDevice->newPage()) {
            throw EPrinter("Cannot start a new page");
        }
        const TSheetGeometry sheet = Geometry();
        FPageDevice = std::make_unique<TQtPainterDevice>(&FPainter, FDpi.X, FDpi.Y,
                                                         Rect(0, 0, sheet.PageWidth(), sheet.PageHeight()), true);
        FCanvas.SetDevice(FPageDevice.get());
        FInPage = true;
        return FCanvas;
    }

    void EndPage() override
    {
        FInPage = false;
        FCanvas.SetDevice(nullptr);
        FPageDevice.reset();
    }

    void EndDoc() override
    {
        if (FDone)
            throw EPrinter(printer_msg::kNotPrinting);
        EndPage();
        FDone = true;
        if (FPainter.isActive() && !FPainter.end())
            throw EPrinter("The document could not be finished");
    }

    void Abort() override
    {
        if (FDone)
            return;
        EndPage();
        FDone = true;
        if (FPrinter)
            FPrinter->abort();
        if (FPainter.isActive())
            FPainter.end();
    }

private:
    std::unique_ptr<QPagedPaintDevice> FDevice;
    QPrinter* FPrinter;  // FDevice itself when printing on a printer
    TPoint FDpi;
    TPageSetup FSetup;
    std::function<TSheetGeometry(const TPageSetup&)> FGeometry;
    QPainter FPainter;
    std::unique_ptr<TQtPainterDevice> FPageDevice;
    TCanvas FCanvas;
    bool FInPage = false, FDone = false;
};

std::vector<TNamedCode> TablePapers()
{
    std::vector<TNamedCode> papers;
    for (const TPaperInfo& p : PaperTable()) {
        const QPageSize::PageSizeId id = QPageSize::id(p.Code);
        AnsiString name = id != QPageSize::Custom ? FromQString(QPageSize::name(id)) : PaperName(p.Code);
        papers.push_back({name.empty() ? "Paper " + std::to_string(p.Code) : name, p.Code});
    }
    return papers;
}

}  // namespace

// ---------------------------------------------------------------- PDF

std::vector<TNamedCode> TQtPdfDevice::Papers()
{
    return TablePapers();
}

std::unique_ptr<TPrintJob> TQtPdfDevice::BeginDoc(const AnsiString& title, const AnsiString& fileName,
                                                  const TPageSetup& first)
{
    if (fileName.empty())
        throw EPrinter(printer_msg::kNoOutputFile);
    const QString path = QString::fromUtf8(AnsiToUtf8(fileName).c_str());
    {
        // QPdfWriter says nothing when it cannot write: find out first.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            throw EPrinter("Cannot create file \"" + fileName + "\". " + FromQString(probe.errorString()));
    }
    auto writer = std::make_unique<QPdfWriter>(path);
    writer->setResolution(FDpi);
    writer->setTitle(ToQString(title));
    writer->setCreator("Korvel");
    const int dpi = FDpi;
    return std::make_unique<TQtPagedJob>(std::move(writer), nullptr, TPoint{dpi, dpi}, first,
                                         [dpi](const TPageSetup& s) { return SheetFor(s, {dpi, dpi}, 0); });
}

// ---------------------------------------------------------------- system printers

TQtPrinterDevice::TQtPrinterDevice(const AnsiString& name) : FName(name) {}

std::vector<TNamedCode> TQtPrinterDevice::Papers()
{
    std::vector<TNamedCode> papers;
    const QPrinterInfo info = QPrinterInfo::printerInfo(ToQString(FName));
    for (const QPageSize& size : info.supportedPageSizes()) {
        const int code = size.windowsId();
        if (code > 0 && code != DMPAPER_USER)
            papers.push_back({FromQString(size.name()), code});
    }
    return papers.empty() ? TablePapers() : papers;
}

TPageSetup TQtPrinterDevice::DefaultSetup()
{
    TPageSetup setup;
    const QPrinterInfo info = QPrinterInfo::printerInfo(ToQString(FName));
    const QPageSize size = info.defaultPageSize();
    if (size.isValid()) {
        const QSizeF mm = size.size(QPageSize::Millimeter);
        setup.PaperWidth = mm.width();
        setup.PaperHeight = mm.height();
        const int code = size.windowsId();
        setup.PaperCode = code > 0 && FindPaper(code) ? code : PaperCodeForSize(mm.width(), mm.height());
    }
    return setup;
}

TSheetGeometry TQtPrinterDevice::Geometry(const TPageSetup& setup)
{
    QPrinter printer(QPrinterInfo::printerInfo(ToQString(FName)), QPrinter::HighResolution);
    printer.setPageLayout(PageLayoutFor(setup));
    TSheetGeometry g = SheetFor(setup, {printer.resolution(), printer.resolution()}, 0);
    const QMarginsF m = printer.pageLayout().margins(QPageLayout::Millimeter);
    g.LeftMargin = m.left();
    g.TopMargin = m.top();
    g.RightMargin = m.right();
    g.BottomMargin = m.bottom();
    return g;
}

std::unique_ptr<TPrintJob> TQtPrinterDevice::BeginDoc(const AnsiString& title, const AnsiString& fileName,
                                                      const TPageSetup& first)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(ToQString(FName));
    if (info.isNull())
        throw EPrinter(printer_msg::kInvalidPrinter);
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName(ToQString(title));
    printer->setFullPage(false);
    if (!fileName.empty())
        printer->setOutputFileName(QString::fromUtf8(AnsiToUtf8(fileName).c_str()));
    QPrinter* raw = printer.get();
    const int dpi = printer->resolution();
    const AnsiString name = FName;  // the job may outlive this device object
    return std::make_unique<TQtPagedJob>(std::move(printer), raw, TPoint{dpi, dpi}, first,
                                         [name](const TPageSetup& s) { return TQtPrinterDevice(name).Geometry(s); });
}

const char* const kPdfPrinterName = "Печать в PDF";

std::vector<TPrinterInfo> TQtPrinterSystem::Printers()
{
    std::vector<TPrinterInfo> list;
    const QString def = QPrinterInfo::defaultPrinterName();
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        list.push_back({FromQString(name), {}, name == def});
    list.push_back({kPdfPrinterName, {}, false});
    return list;
}

AnsiString TQtPrinterSystem::DefaultPrinter()
{
    return FromQString(QPrinterInfo::defaultPrinterName());
}

std::unique_ptr<TPrintDevice> TQtPrinterSystem::Open(const AnsiString& name)
{
    // A queue of that very name comes first, as it does in the list.
    for (const QString& n : QPrinterInfo::availablePrinterNames())
        if (AnsiSameText(FromQString(n), name))
            return std::make_unique<TQtPrinterDevice>(FromQString(n));
    if (AnsiSameText(name, kPdfPrinterName))
        return std::make_unique<TQtPdfDevice>();
    throw EPrinter(printer_msg::kInvalidPrinter);
}

// rpPrintPages.cpp - printing prepared pages on the current report printer: one job,
// page by page with each page's paper, orientation, bin and duplex, copies collated by
// us or by the driver.
#include "report/output/rpPreviewPages.h"

#include "report/output/rpEngineModel.h"
#include "report/output/rpPrintDialog.h"
#include "report/output/rpPrinter.h"

#include "report/model/rpUtils.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

// Builds the pages of a print run, in the run's order, on a thread of its own: a page's
// objects are made from the store while the page before it is drawn, and the pages drawn
// go there to be freed. The store (its document, the parsed texts of the copies) is the
// printing thread's except while that thread draws a page or waits for one: only then may
// the builder touch it, so events and messages handled between pages never meet it.
class TrpPageBuilder {
public:
    TrpPageBuilder(TrpPreviewPages& Pages, std::vector<int> Order)
        : FPages(Pages), FOrder(std::move(Order)), FHeld(FStore), FThread([this] { Run(); })
    {
        FPages.FBuilder = this;
    }
    ~TrpPageBuilder()
    {
        FPages.FBuilder = nullptr;
        {
            std::lock_guard<std::mutex> lock(FLock);
            FStop = true;
        }
        FChanged.notify_all();
        if (FHeld.owns_lock())
            FHeld.unlock();
        FThread.join();
    }
    TrpPageBuilder(const TrpPageBuilder&) = delete;
    TrpPageBuilder& operator=(const TrpPageBuilder&) = delete;

    // The store is the builder's until Close (the printing thread only). Closing after a
    // page is drawn waits for the next page to be built, so that events after a page always
    // find it built (and a change they make to the store, Rewind, builds it again).
    void Open() { FHeld.unlock(); }
    void Close(bool AfterDrawing = false)
    {
        if (AfterDrawing) {
            std::unique_lock<std::mutex> lock(FLock);
            FChanged.wait(lock, [this] { return FStop || !CanBuild(); });
        }
        FHeld.lock();
    }

    // The next page of the order (nullptr when it could not be built); its problems are
    // added to Errors. A failure of the builder is raised here.
    std::unique_ptr<TrpReportPage> Take(TStrings& Errors)
    {
        TBuilt built;
        std::exception_ptr failure;
        Open();
        {
            std::unique_lock<std::mutex> lock(FLock);
            FChanged.wait(lock, [this] { return !FReady.empty() || FFailure; });
            if (!FReady.empty()) {
                built = std::move(FReady.front());
                FReady.pop_front();
                ++FTaken;
            } else {
                failure = FFailure;
            }
        }
        FChanged.notify_all();
        Close();
        if (failure)
            std::rethrow_exception(failure);
        for (int i = 0; i < built.Errors->Count(); ++i)
            Errors.Add(built.Errors->Strings(i));
        return std::move(built.Page);
    }

    // The store changed (between pages): the pages built ahead are built again.
    void Rewind()
    {
        {
            std::lock_guard<std::mutex> lock(FLock);
            for (TBuilt& b : FReady)
                FTrash.push_back(std::move(b.Page));
            FReady.clear();
            FNext = FTaken;
        }
        FChanged.notify_all();
    }

    void Dispose(std::unique_ptr<TrpReportPage> Page)
    {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FTrash.push_back(std::move(Page));
        }
        FChanged.notify_all();
    }

private:
    // One page built ahead bounds the memory and leaves the builder a whole page's drawing.
    static constexpr size_t kAhead = 1;

    struct TBuilt {
        std::unique_ptr<TrpReportPage> Page;
        std::unique_ptr<TStringList> Errors = std::make_unique<TStringList>();
    };

    void Run()
    {
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(FLock);
                FChanged.wait(lock, [this] { return FStop || !FTrash.empty() || CanBuild(); });
                if (FStop)
                    return;
            }
            // What to do is read again once the store is ours: it may have changed meanwhile.
            std::lock_guard<std::mutex> store(FStore);
            std::vector<std::unique_ptr<TrpReportPage>> trash;
            int index = -1;
            {
                std::lock_guard<std::mutex> lock(FLock);
                if (FStop)
                    return;
                trash.swap(FTrash);
                if (CanBuild())
                    index = FOrder[FNext];
            }
            trash.clear();
            if (index < 0)
                continue;
            TBuilt built;
            std::exception_ptr failure;
            try {
                TrpXMLItem* pages = FPages.PagesItem();
                if (index < pages->Count())
                    built.Page = FPages.BuildPage(pages->Items(index), index, *built.Errors);
                if (built.Page)
                    built.Page->AlignChildren();
            } catch (...) {
                failure = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> lock(FLock);
                if (failure) {
                    FFailure = failure;
                } else {
                    FReady.push_back(std::move(built));
                    ++FNext;
                }
            }
            FChanged.notify_all();
        }
    }

    bool CanBuild() const { return !FFailure && FNext < FOrder.size() && FReady.size() < kAhead; }

    TrpPreviewPages& FPages;
    const std::vector<int> FOrder;
    size_t FNext = 0;   // the position in FOrder built next
    size_t FTaken = 0;  // the positions taken
    std::mutex FStore;
    std::unique_lock<std::mutex> FHeld;  // the printing thread's hold on the store
    std::mutex FLock;
    std::condition_variable FChanged;
    std::deque<TBuilt> FReady;
    std::vector<std::unique_ptr<TrpReportPage>> FTrash;
    std::exception_ptr FFailure;
    bool FStop = false;
    std::thread FThread;  // last: it starts once the rest is made
};

bool TrpPreviewPages::Print()
{
    TrpPrintOptions* options = Report->GetPrintOptions();
    TrpPrintSettings settings;
    settings.Copies = options->Copies;
    settings.Collate = options->Collate;
    settings.PageNumbers = options->PageNumbers;
    settings.PrintPages = options->PrintPages;
    settings.Reverse = false;
    Report->SelectPrinter();
    if (!options->Printer.empty()) {
        const int i = rpPrinters().IndexOf(options->Printer);
        if (i >= 0 && i != rpPrinters().GetPrinterIndex())
            rpPrinters().SetPrinterIndex(i);
    }
    if (options->ShowDialog) {
        TrpPrintChoices choices;
        choices.Copies = settings.Copies;
        choices.Collate = settings.Collate;
        choices.PageNumbers = settings.PageNumbers;
        choices.PrintPages = static_cast<int>(settings.PrintPages);
        if (!rpExecutePrintDialog(choices, CurPreviewPage))
            return false;
        settings.Copies = choices.Copies;
        settings.Collate = choices.Collate;
        settings.PageNumbers = choices.PageNumbers;
        settings.PrintPages = static_cast<TrpPrintPages>(std::clamp(choices.PrintPages, 0, 2));
        settings.Reverse = choices.Reverse;
    }
    TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
    if (!printer)
        throw EPrinter("There is no default printer currently selected");
    // A file printer (PDF) writes where the user says; the name serves this job only, so
    // the next print command asks again. Cancelling the save dialog cancels the command.
    struct TJobFileName {
        TrpCustomPrinter* p = nullptr;
        ~TJobFileName()
        {
            if (p)
                p->FileName.clear();
        }
    } jobFile;
    if (printer->WritesFiles() && printer->FileName.empty()) {
        TSaveDialog dialog(Application);
        dialog.Filter = "PDF (*.pdf)|*.pdf";
        dialog.DefaultExt = "pdf";
        dialog.Options = TOpenOptions{ofHideReadOnly, ofOverwritePrompt, ofEnableSizing};
        if (!dialog.Execute())
            return false;
        AnsiString name = dialog.FileName;
        if (!SameText(ExtractFileExt(name), ".pdf"))
            name += ".pdf";
        printer->FileName = name;
        jobFile.p = printer;
    }
    if (Report->OnPrintReport)
        Report->OnPrintReport(Report);
    if (TrpCustomPreview* preview = Report->GetPreview())
        preview->Lock();
    struct After {
        TrpReport* r;
        ~After()
        {
            if (r->OnAfterPrintReport)
                r->OnAfterPrintReport(r);
        }
    } after{Report};
    PrintTo(*printer, settings);
    return true;
}

void TrpPreviewPages::PrintTo(TrpCustomPrinter& Printer, const TrpPrintSettings& Settings)
{
    // Sorted: each page asks whether it is chosen, and a long report has many pages.
    TStringList pageList;
    pageList.SetSorted(true);
    rpParsePageNumbers(Settings.PageNumbers, &pageList, GetCount());
    Report->SetTerminated(false);
    Report->InternalOnProgressStart(ptPrinting);
    struct Stop {
        TrpReport* r;
        bool& printing;
        ~Stop()
        {
            printing = false;
            r->InternalOnProgressStop(ptPrinting);
        }
    } stop{Report, FPrinting};
    FPrinting = true;
    const AnsiString name = Report->GetReportOptions()->Name;
    Printer.Title = !name.empty() ? name : Report->FileName;
    const int copies = std::max(Settings.Copies, 1);
    // A file keeps no driver copies: uncollated copies go into it page by page, as a printer
    // would have made them, so that the collate box never changes how many copies there are.
    const bool driverMakesCopies = !Printer.WritesFiles() && Printer.FileName.empty();
    const int driverCopies = Settings.Collate || !driverMakesCopies ? 1 : copies;
    const int pageCopies = Settings.Collate ? 1 : copies / driverCopies;
    // The pages in the order they print: each chosen page, once a copy when we collate.
    std::vector<int> order;
    const int count = GetCount();
    for (int c = 0; c < (Settings.Collate ? copies : 1); ++c)
        for (int k = 0; k < count; ++k) {
            const int i = Settings.Reverse ? count - 1 - k : k;
            if (PrintsPage(i, Settings, pageList))
                order.insert(order.end(), pageCopies, i);
        }
    std::unique_ptr<TrpPageBuilder> builder;
    if (order.size() > 1)
        builder = std::make_unique<TrpPageBuilder>(*this, order);
    bool started = false;
    try {
        for (const int i : order)
            if (!PrintPage(i, Printer, Settings, pageList, started, driverCopies))
                break;
        builder.reset();
    } catch (...) {
        builder.reset();
        if (started)
            Printer.Abort();
        throw;
    }
    if (started)
        Printer.EndDoc();
}

bool TrpPreviewPages::PrintsPage(int Index, const TrpPrintSettings& Settings, TStrings& PageList)
{
    const int number = Index + 1;
    if (Index >= GetCount())
        return false;
    if (PageList.Count() > 0 && PageList.IndexOf(IntToStr(number)) < 0)
        return false;
    if (Settings.PrintPages == ppOdd && number % 2 == 0)
        return false;
    if (Settings.PrintPages == ppEven && number % 2 == 1)
        return false;
    return true;
}

void TrpPreviewPages::ClearPageCache()
{
    FCache.clear();
    if (FBuilder)
        FBuilder->Rewind();
}

void TrpPreviewPages::DropCachedPages()
{
    if (!FBuilder) {
        ClearPageCache();
        return;
    }
    for (TCached& c : FCache)
        FBuilder->Dispose(std::move(c.Page));
    FCache.clear();
}

bool TrpPreviewPages::PrintPage(int Index, TrpCustomPrinter& Printer, const TrpPrintSettings& Settings,
                                TStrings& PageList, bool& Started, int DriverCopies)
{
    const int number = Index + 1;
    // A page built ahead is taken in its turn even when it is not printed, so that the
    // builder's order stays the run's.
    std::unique_ptr<TrpReportPage> built;
    if (FBuilder)
        built = FBuilder->Take(Report->Errors);
    if (!PrintsPage(Index, Settings, PageList)) {
        if (built)
            FBuilder->Dispose(std::move(built));
        return true;
    }
    if (Report->GetTerminated()) {
        if (built)
            FBuilder->Dispose(std::move(built));
        if (Started)
            Printer.Abort();
        Started = false;  // an aborted job has no end
        return false;
    }
    TrpReportPage* page = nullptr;
    if (FBuilder) {
        if (!built)
            return true;
        page = built.get();
        FCache.insert(FCache.begin(), TCached{Index, std::move(built)});
    } else {
        page = GetPage(Index);
    }
    if (!page)
        return true;
    // Copy what the job needs before the page cache may drop the page.
    const int paperSize = page->GetPaperSize();
    const Extended paperWidth = page->GetPaperWidth(), paperHeight = page->GetPaperHeight();
    const TPrinterOrientation orientation = page->GetOrientation();
    const int bin = Index == 0 ? page->Bin : page->BinOtherPages;
    const int duplex = static_cast<int>(page->Duplex) + 1;
    if (!Started)
        Printer.BeginDoc();
    Started = true;
    Printer.SetPrintParams(paperSize, paperWidth, paperHeight, orientation, bin, DriverCopies, duplex);
    const int count = GetCount();
    // While the page is drawn and sent the builder makes the next one.
    struct TWindow {
        TrpPageBuilder* b;
        bool drawing;
        TWindow(TrpPageBuilder* B, bool Drawing) : b(B), drawing(Drawing)
        {
            if (b)
                b->Open();
        }
        ~TWindow()
        {
            if (b)
                b->Close(drawing && std::uncaught_exceptions() == 0);
        }
    };
    {
        TWindow window(FBuilder, true);
        Printer.BeginPage();
        const Extended dpiX = Printer.DPI.X, dpiY = Printer.DPI.Y;
        DrawBuiltPage(page, Index, count, Printer.GetCanvas(), dpiX / 96, dpiY / 96,
                      -Printer.LeftMargin * dpiX / 25.4L, -Printer.TopMargin * dpiY / 25.4L);
    }
    Report->InternalOnProgress(ptPrinting, number);
    {
        TWindow window(FBuilder, false);
        Printer.EndPage();
    }
    if (Application)
        Application->ProcessMessages();
    DropCachedPages();
    return true;
}

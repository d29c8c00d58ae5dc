// A list report prepared and printed into a 300-dpi PDF file, as a stock list is printed:
// report title, page header, one data band of four memos per row, a page footer with the
// page's SUM and a summary, on A4. The argument is the number of rows (55 rows a page).
//   Prepare        PrepareReport alone
//   PrepareAndPdf  PrepareReport, then every page printed through the Qt PDF backend
//   BandObjects    PrepareReport of one band of 100 to 10,000 empty memos, ten a row, each
//                  row under the one before, so every memo hangs under the one above it
//   MemoBrackets   one memo's text of 100 to 10,000 bracketed expressions filled (GetData);
//                  the counter ns_per_bracket stays flat when filling is linear in the text
//   PrintChosenPages  the list report of 30,000 and 300,000 rows printed to the recording
//                  printer with every page chosen by number ("1-<last>")
//   TextTotal      a SUM over 20,000 and 200,000 rows of texts, as a footer joins them
//   ScriptIIF      the report's script growing a text over 20,000 and 200,000 steps and
//                  passing it to a routine that reads it through IIF: the time per step
//                  stays flat, as the routine lets go of the text when it returns
//   Anchors        1,000 to 100,000 anchors added, then the page of each asked for, as a
//                  report with a table of contents does (Engine.GetAnchorPage per row)
// PrepareWithPageNumbers counts records_peak, the most records of page-number texts the
// engine held at once (they go once their page can no longer move).
// Counters: pages, the PDF's size in MB, and peak_mb, the process's peak resident memory after
// the run (runs go smallest first, so each figure covers its own size and the smaller).
#include "platform/printers/PrintBackend.h"
#include "platform/printers/RecordingPrinter.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPrinting.h"
#include "platform/rtl/SysUtils.h"
#include "report/model/rpBands.h"
#include "report/model/rpClass.h"
#include "report/model/rpDBSet.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"
#include "report/model/rpReportClasses.h"
#include "report/output/rpAggregate.h"
#include "report/output/rpEngine.h"
#include "report/output/rpPreviewPages.h"
#include "report/output/rpPrinter.h"
#include "script/GlobalUnit.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

// Rows "N", "Name", "Price", "Sum" computed from the row number, so a million rows cost
// no memory before the report reads them.
class TListRows : public TrpUserDataSet {
    SKLAD_CLASS_NOPUBLISH(TListRows, TrpUserDataSet)
public:
    explicit TListRows(TComponent* AOwner) : TrpUserDataSet(AOwner) { RangeEnd = reCount; }
    void SetRowCount(int n) { RangeEndCount = n; }
    Variant GetValue(const AnsiString& Index) override
    {
        const int n = RecNo + 1;
        if (SameText(Index, "N"))
            return n;
        if (SameText(Index, "Name"))
            return AnsiString("Товар номер ") + IntToStr(n) + " (болт оцинкованный)";
        if (SameText(Index, "Price"))
            return 10.5 + n % 97;
        if (SameText(Index, "Sum"))
            return (n % 50) * (10.5 + n % 97);
        return Null();
    }
    AnsiString GetDisplayText(const AnsiString& Index) override { return VarToStr(GetValue(Index)); }
    void GetFieldList(TStrings* List) override
    {
        List->Clear();
        for (const char* f : {"N", "Name", "Price", "Sum"})
            List->Add(f);
    }
    int FieldsCount() override { return 4; }
};

SKLAD_DEFINE_CLASS(TListRows)

void Startup()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bench_report";
    static char* argv[] = {name, nullptr};
    static TQtBackend backend(argc, argv);
    ScriptEngineStartup();
    rpInitReportClasses();
    rpInstallOutputFactories();
    RegisterClass(TListRows::StaticClass());
}

class TPdfPrinterSystem : public TPrinterSystem {
public:
    std::vector<TPrinterInfo> Printers() override { return {{"PDF", "", true}}; }
    AnsiString DefaultPrinter() override { return "PDF"; }
    std::unique_ptr<TPrintDevice> Open(const AnsiString&) override { return std::make_unique<TQtPdfDevice>(300); }
};

// The list report over `rows` rows, A4 portrait, 10 mm margins.
class TListReport {
public:
    // PageNumbers: each row also prints its page number and is kept with a child band
    // that does too, so every page break takes a row and its child along to the next page.
    explicit TListReport(int rows, bool PageNumbers = false)
    {
        FReport = std::make_unique<TrpReport>(nullptr);
        FReport->SetName("ListReport");
        FReport->GetEngineOptions()->SilentMode = true;
        FReport->GetEngineOptions()->RestoreReport = false;
        FReport->GetPrintOptions()->ShowDialog = false;
        FReport->ShowProgress = false;
        FRows = std::make_unique<TListRows>(nullptr);
        FRows->SetName("Rows");
        FRows->SetUserName("Rows");
        FRows->SetRowCount(rows);
        FReport->GetDataSets()->Add(FRows.get());

        auto* page = new TrpReportPage(FReport.get());
        page->SetName("Page1");
        page->SetPaperWidth(210);
        page->SetPaperHeight(297);
        page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;

        auto* title = Band<TrpReportTitle>(page, "ReportTitle1", 0, 30);
        Memo(title, 0, 0, 700, 26, "Остатки товаров на складе")->GetFont()->SetSize(14);
        auto* header = Band<TrpPageHeader>(page, "PageHeader1", 40, 20);
        Memo(header, 0, 0, 60, 18, "№");
        Memo(header, 60, 0, 400, 18, "Наименование");
        Memo(header, 460, 0, 110, 18, "Цена");
        Memo(header, 570, 0, 120, 18, "Сумма");
        auto* master = Band<TrpMasterData>(page, "MasterData1", 70, 18);
        master->SetDataSet(FRows.get());
        Memo(master, 0, 0, 60, 18, "[Rows.\"N\"]");
        Memo(master, 60, 0, 400, 18, "[Rows.\"Name\"]");
        Memo(master, 460, 0, 110, 18, "[Rows.\"Price\"]");
        Memo(master, 570, 0, 120, 18, "[Rows.\"Sum\"]");
        if (PageNumbers) {
            Memo(master, 690, 0, 20, 18, "[Page#]");
            master->KeepChild = true;
            auto* child = Band<TrpChild>(page, "Child1", 95, 18);
            Memo(child, 0, 0, 690, 18, "[Rows.\"Name\"], стр. [IIF(<Page#> = 1, 'первая', <Page#>)]");
            master->SetChild(child);
        }
        auto* footer = Band<TrpPageFooter>(page, "PageFooter1", 200, 20);
        Memo(footer, 0, 0, 690, 18, "Итого на странице: [SUM(<Rows.\"Sum\">,MasterData1)]   Стр. [Page#]");
        auto* summary = Band<TrpReportSummary>(page, "ReportSummary1", 120, 20);
        Memo(summary, 0, 0, 690, 18, "Всего строк: [COUNT(MasterData1)]");
    }
    ~TListReport()
    {
        FReport.reset();
        FRows.reset();
    }

    TrpPreviewPages* Prepare()
    {
        if (!FReport->PrepareReport(true))
            std::abort();
        return dynamic_cast<TrpPreviewPages*>(FReport->GetPreviewPages());
    }

private:
    template <class B>
    static B* Band(TrpReportPage* page, const char* name, Extended top, Extended height)
    {
        auto* b = new B(page);
        b->SetName(name);
        b->SetBounds(0, top, 0, height);
        return b;
    }
    TrpMemoView* Memo(TrpComponent* parent, Extended left, Extended top, Extended width, Extended height,
                      const AnsiString& text)
    {
        auto* m = new TrpMemoView(parent);
        m->SetName("Memo" + IntToStr(++FMemos));
        m->SetBounds(left, top, width, height);
        m->SetText(text);
        return m;
    }

    std::unique_ptr<TrpReport> FReport;
    std::unique_ptr<TListRows> FRows;
    int FMemos = 0;
};

double PeakMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

void Prepare(benchmark::State& state)
{
    Startup();
    int pages = 0;
    for (auto _ : state) {
        TListReport report(static_cast<int>(state.range(0)));
        pages = report.Prepare()->GetCount();
    }
    state.counters["pages"] = pages;
    state.counters["peak_mb"] = PeakMb();
}

// Rows that print their page number and move on with their kept child at every page break.
void PrepareWithPageNumbers(benchmark::State& state)
{
    Startup();
    int pages = 0;
    size_t records = 0;
    for (auto _ : state) {
        TListReport report(static_cast<int>(state.range(0)), true);
        TrpPreviewPages* prepared = report.Prepare();
        pages = prepared->GetCount();
        if (auto* engine = dynamic_cast<TrpEngine*>(prepared->Engine))
            records = engine->PageTextRecordsPeak;
    }
    state.counters["pages"] = pages;
    state.counters["peak_mb"] = PeakMb();
    state.counters["records_peak"] = static_cast<double>(records);
    state.SetComplexityN(state.range(0));
}

void PrepareAndPdf(benchmark::State& state)
{
    Startup();
    TPdfPrinterSystem system;
    TPrinterSystemScope scope(system);
    rpFreePrinters();
    const std::string path = (std::filesystem::temp_directory_path() / ("bench-list-report-" + std::to_string(getpid()) + ".pdf")).string();
    int pages = 0;
    for (auto _ : state) {
        TListReport report(static_cast<int>(state.range(0)));
        TrpPreviewPages* prepared = report.Prepare();
        pages = prepared->GetCount();
        TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
        printer->FileName = path;
        prepared->PrintTo(*printer, TrpPrintSettings{});
        printer->FileName.clear();
    }
    rpFreePrinters();
    state.counters["pages"] = pages;
    state.counters["pdf_mb"] = std::filesystem::file_size(path) / 1048576.0;
    state.counters["peak_mb"] = PeakMb();
    if (!getenv("KEEP_PDF"))
        std::filesystem::remove(path);
}

// The list report printed to the recording printer with every page chosen by number
// ("1-<last>"), as a user prints a range: each page asks whether it is in the range.
void PrintChosenPages(benchmark::State& state)
{
    Startup();
    TRecordingPrinterSystem system{{TRecordingPrinterSpec("Office")}, "Office"};
    TPrinterSystemScope scope(system);
    rpFreePrinters();
    TListReport report(static_cast<int>(state.range(0)));
    TrpPreviewPages* prepared = report.Prepare();
    const int pages = prepared->GetCount();
    TrpPrintSettings settings;
    settings.PageNumbers = "1-" + IntToStr(pages);
    for (auto _ : state) {
        system.Spool().Documents.clear();
        prepared->PrintTo(*rpPrinters().GetCurrentPrinter(), settings);
        if (system.Spool().Documents.size() != 1 || int(system.Spool().Documents[0].Pages.size()) != pages)
            state.SkipWithError("pages went missing");
    }
    system.Spool().Documents.clear();
    rpFreePrinters();
    state.counters["pages"] = pages;
    state.SetComplexityN(pages);
}

// A template page of `memos` objects registered as the store's source page: each object gets
// its short name ("m1", "m2" ...) and its copy's text.
void RegisterSourcePage(benchmark::State& state)
{
    Startup();
    const int memos = static_cast<int>(state.range(0));
    TrpReport report(nullptr);
    auto* page = new TrpReportPage(&report);
    page->SetName("Page1");
    auto* band = new TrpReportTitle(page);
    band->SetName("ReportTitle1");
    band->SetBounds(0, 0, 0, 20);
    for (int i = 0; i < memos; ++i) {
        auto* m = new TrpMemoView(band);
        m->SetName("Memo" + IntToStr(i + 1));
        m->SetBounds(i % 100 * 7, 0, 7, 18);
    }
    auto* pages = dynamic_cast<TrpPreviewPages*>(report.GetPreviewPages());
    for (auto _ : state) {
        pages->Clear();
        pages->AddSourcePage(page);
    }
    state.SetComplexityN(memos);
}

// One report title of `objects` views, ten to a row, each row right under the one before:
// finding the view each one hangs under is the part that grows with the count. Memos one
// unit high, or lines at each row's height over one another sideways, level with each other.
void BandViews(benchmark::State& state, bool Lines)
{
    Startup();
    const int objects = static_cast<int>(state.range(0));
    TrpReport report(nullptr);
    report.GetEngineOptions()->SilentMode = true;
    report.GetEngineOptions()->RestoreReport = false;
    report.ShowProgress = false;
    auto* page = new TrpReportPage(&report);
    page->SetName("Page1");
    auto* band = new TrpReportTitle(page);
    band->SetName("ReportTitle1");
    band->SetBounds(0, 0, 0, objects / 10 + 1);
    for (int i = 0; i < objects; ++i) {
        TrpView* v = Lines ? static_cast<TrpView*>(new TrpLineView(band)) : new TrpMemoView(band);
        v->SetName((Lines ? "Line" : "Memo") + IntToStr(i + 1));
        if (Lines)
            v->SetBounds(i % 10 * 30, i / 10, 100, 0);
        else
            v->SetBounds(i % 10 * 70, i / 10, 70, 1);
    }
    for (auto _ : state)
        if (!report.PrepareReport(true))
            std::abort();
    state.SetComplexityN(objects);
}

void BandObjects(benchmark::State& state) { BandViews(state, false); }
void BandLines(benchmark::State& state) { BandViews(state, true); }

// One memo whose text holds `brackets` expressions "[v]" (a report variable, so each is
// answered without the compiler) between words, filled as the engine fills it per band.
void MemoBrackets(benchmark::State& state)
{
    Startup();
    const int brackets = static_cast<int>(state.range(0));
    TrpReport report(nullptr);
    report.GetVariables()->SetVariable("v", Variant(12345));
    auto* page = new TrpReportPage(&report);
    page->SetName("Page1");
    auto* band = new TrpReportTitle(page);
    band->SetName("ReportTitle1");
    auto* memo = new TrpMemoView(band);
    memo->SetName("Memo1");
    AnsiString text;
    for (int i = 0; i < brackets; ++i)
        text += "товар [v] шт. ";
    memo->SetText(text);
    if (!report.PrepareScript())
        std::abort();
    for (auto _ : state) {
        memo->BeforePrint();
        memo->GetData();
        benchmark::DoNotOptimize(memo->GetText());
        memo->AfterPrint();
    }
    state.SetComplexityN(brackets);
    state.counters["ns_per_bracket"] = benchmark::Counter(
        static_cast<double>(brackets) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Anchors(benchmark::State& state)
{
    Startup();
    const int n = static_cast<int>(state.range(0));
    TrpReport report(nullptr);
    auto* pages = dynamic_cast<TrpPreviewPages*>(report.GetPreviewPages());
    std::vector<AnsiString> texts;
    for (int i = 0; i < n; ++i)
        texts.push_back("Документ № " + IntToStr(i));
    for (auto _ : state) {
        pages->Clear();
        for (int i = 0; i < n; ++i) {
            pages->CurPage = i / 50;
            pages->AddAnchor(texts[static_cast<size_t>(i)]);
        }
        int64_t sum = 0;
        for (const AnsiString& t : texts)
            sum += pages->GetAnchorPage(t);
        if (sum != int64_t(n) + [&] { int64_t s = 0; for (int i = 0; i < n; ++i) s += i / 50; return s; }())
            state.SkipWithError("an anchor's page is wrong");
    }
    state.SetComplexityN(n);
}

// A footer's SUM over a text field, n rows each through a keep section as a footer's total
// takes them: the texts are joined, and the time per row stays flat.
void TextTotal(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<Variant> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(Variant("Болт М" + IntToStr(i % 100) + "; "));
    size_t length = 0;
    for (auto _ : state) {
        TrpAggregateItem item;
        item.Func = agSum;
        item.IsPageFooter = true;
        for (const Variant& v : rows) {
            ++item.Count;
            item.StartKeep();
            item.KeepValue = v;
            item.KeepCount = 0;
            item.EndKeep();
        }
        length = VarToStr(item.Value()).size();
    }
    if (length == 0)
        state.SkipWithError("the total lost its rows");
    state.SetComplexityN(n);
}

void ScriptIIF(benchmark::State& state)
{
    Startup();
    const int n = static_cast<int>(state.range(0));
    TrpReport report(nullptr);
    report.GetEngineOptions()->SilentMode = true;
    report.GetEngineOptions()->RestoreReport = false;
    report.ShowProgress = false;
    auto* page = new TrpReportPage(&report);
    page->SetName("Page1");
    report.GetScriptText()->SetText("var s: String; i, k: Integer;\r\n"
                                    "procedure Note(t: String); begin k := k + IIF(Length(t) > 0, 1, 0); end;\r\n"
                                    "begin s := ''; k := 0;\r\n  for i := 1 to " + IntToStr(n) +
                                    " do begin s := s + 'Болт М12; '; Note(s); end;\r\n  Set('k', k);\r\nend.");
    for (auto _ : state)
        if (!report.PrepareReport(true) || report.GetVariables()->GetVariable("k").AsInteger() != n)
            std::abort();
    state.SetComplexityN(n);
}

// SKLAD_BENCH_QUICK (the test run) prints a few pages instead.
const bool kRegistered = [] {
    const bool quick = getenv("SKLAD_BENCH_QUICK") != nullptr;
    benchmark::RegisterBenchmark("Prepare", Prepare)->Arg(quick ? 200 : 10000)->Unit(benchmark::kMillisecond);
    auto* numbered = benchmark::RegisterBenchmark("PrepareWithPageNumbers", PrepareWithPageNumbers);
    numbered->Unit(benchmark::kMillisecond);
    if (quick)
        numbered->Arg(200);
    else
        numbered->Arg(10000)->Arg(100000)->Arg(1000000)->Complexity();
    auto* pdf = benchmark::RegisterBenchmark("PrepareAndPdf", PrepareAndPdf)->Unit(benchmark::kMillisecond);
    if (quick)
        pdf->Arg(200);
    else
        pdf->Arg(10000)->Arg(100000);
    auto* chosen = benchmark::RegisterBenchmark("PrintChosenPages", PrintChosenPages)->Unit(benchmark::kMillisecond);
    if (quick)
        chosen->Arg(200);
    else
        chosen->Arg(30000)->Arg(300000)->Iterations(1);
    auto* source = benchmark::RegisterBenchmark("RegisterSourcePage", RegisterSourcePage)->Unit(benchmark::kMillisecond);
    if (quick)
        source->Arg(100);
    else
        source->RangeMultiplier(4)->Range(1000, 64000)->Complexity();
    for (auto* views : {benchmark::RegisterBenchmark("BandObjects", BandObjects),
             benchmark::RegisterBenchmark("BandLines", BandLines)}) {
        views->Unit(benchmark::kMillisecond);
        if (quick)
            views->Arg(100);
        else
            views->Arg(100)->Arg(1000)->Arg(10000)->Complexity();
    }
    auto* anchors = benchmark::RegisterBenchmark("Anchors", Anchors)->Unit(benchmark::kMillisecond);
    if (quick)
        anchors->Arg(100);
    else
        anchors->Arg(1000)->Arg(10000)->Arg(100000)->Complexity();
    auto* memo = benchmark::RegisterBenchmark("MemoBrackets", MemoBrackets)->Unit(benchmark::kMicrosecond);
    if (quick)
        memo->Arg(100);
    else
        memo->Arg(100)->Arg(1000)->Arg(10000)->Complexity();
    auto* texts = benchmark::RegisterBenchmark("TextTotal", TextTotal)->Unit(benchmark::kMillisecond);
    if (quick)
        texts->Arg(100);
    else
        texts->Arg(20000)->Arg(200000)->Complexity();
    auto* iif = benchmark::RegisterBenchmark("ScriptIIF", ScriptIIF)->Unit(benchmark::kMillisecond);
    if (quick)
        iif->Arg(100);
    else
        iif->Arg(20000)->Arg(200000)->Complexity();
    return true;
}();

}  // namespace

// Report object model benchmarks: loading and freeing templates of many objects.
//
// A template of N memo views (spread over bands of 100 memos each on one page) is loaded
// from its XML text and freed again, or built in code: bands and memos created and named
// as a program makes them (CreateUniqueName), or given names of their own (SetName). All
// must grow linearly with N.
#include "report/model/rpBands.h"
#include "report/model/rpClass.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"
#include "report/model/rpReportClasses.h"
#include "report/model/rpXML.h"

#include "script/GlobalUnit.h"

#include "platform/rtl/SysUtils.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

struct Startup {
    Startup()
    {
        ScriptEngineStartup();
        rpInitReportClasses();
    }
};

void Setup()
{
    static Startup once;
}

AnsiString TemplateText(int memos)
{
    AnsiString s = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TrpReport>\r\n<TrpReportPage Name=\"Page1\">\r\n";
    for (int b = 0; b * 100 < memos; ++b) {
        s += "<TrpMasterData Name=\"MasterData" + IntToStr(b + 1) + "\" Top=\"" + IntToStr(b * 20) + "\" Height=\"18\">\r\n";
        for (int i = b * 100; i < memos && i < (b + 1) * 100; ++i)
            s += "<TrpMemoView Name=\"Memo" + IntToStr(i + 1) + "\" Left=\"" + IntToStr(i % 100 * 7) +
                 "\" Width=\"7\" Height=\"18\" Text=\"[Line] x\"/>\r\n";
        s += "</TrpMasterData>\r\n";
    }
    s += "</TrpReportPage>\r\n</TrpReport>\r\n";
    return s;
}

std::unique_ptr<TrpReport> NewReport()
{
    auto r = std::make_unique<TrpReport>(nullptr);
    r->GetEngineOptions()->SilentMode = true;
    return r;
}

void BM_LoadReport(benchmark::State& state)
{
    Setup();
    const AnsiString text = TemplateText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto r = NewReport();
        TStringStream in(text);
        state.ResumeTiming();
        r->LoadFromStream(in);
        state.PauseTiming();
        if (!r->FindObject("Memo1") || r->Errors.Count() != 0)
            state.SkipWithError("the template did not load");
        r.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
// Sizes: a warehouse's largest template has some hundred objects; ten and a hundred times
// more than a thousand show the growth. SKLAD_BENCH_QUICK (the test run) takes the smallest.
void Sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(1000);
    if (!std::getenv("SKLAD_BENCH_QUICK"))
        b->Arg(10000)->Arg(100000);
    b->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}
BENCHMARK(BM_LoadReport)->Apply(Sizes);

void BM_FreeReport(benchmark::State& state)
{
    Setup();
    const AnsiString text = TemplateText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto r = NewReport();
        TStringStream in(text);
        r->LoadFromStream(in);
        state.ResumeTiming();
        r.reset();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FreeReport)->Apply(Sizes);

// Built in code: every object named as it is made.
void BuildInCode(benchmark::State& state, bool Unique)
{
    Setup();
    const int memos = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto r = NewReport();
        auto* page = new TrpReportPage(r.get());
        page->SetName("Page1");
        TrpBand* band = nullptr;
        for (int i = 0; i < memos; ++i) {
            if (i % 100 == 0) {
                band = new TrpMasterData(page);
                if (Unique)
                    band->CreateUniqueName();
                else
                    band->SetName("MasterData" + IntToStr(i / 100 + 1));
                band->SetBounds(0, i / 100 * 20, 0, 18);
            }
            auto* m = new TrpMemoView(band);
            if (Unique)
                m->CreateUniqueName();
            else
                m->SetName("Memo" + IntToStr(i + 1));
            m->SetBounds(i % 100 * 7, 0, 7, 18);
        }
        if (!r->FindObject("Memo" + IntToStr(memos)))
            state.SkipWithError("the last memo has another name");
        state.PauseTiming();
        r.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK_CAPTURE(BuildInCode, CreateUniqueName, true)->Apply(Sizes);
BENCHMARK_CAPTURE(BuildInCode, SetName, false)->Apply(Sizes);

// One band holding every memo, placed by AlignChildren as each page is prepared and built;
// a quarter of the memos share their Left with another.
void AlignChildren(benchmark::State& state)
{
    Setup();
    const int memos = static_cast<int>(state.range(0));
    auto r = NewReport();
    auto* page = new TrpReportPage(r.get());
    page->SetName("Page1");
    auto* band = new TrpMasterData(page);
    band->SetName("MasterData1");
    band->SetBounds(0, 0, 700, 18);
    for (int i = 0; i < memos; ++i) {
        auto* m = new TrpMemoView(band);
        m->SetBounds((i * 7919) % (memos * 3 / 4 + 1) * 0.25, 0, 7, 18);
    }
    for (auto _ : state)
        band->AlignChildren();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(AlignChildren)->Apply(Sizes);

// The XML store of prepared pages: an element of N children brought back from the swap file
// and sent out again (a page's objects), and a list of N elements emptied from its end (the
// pages of a first pass dropped). Both must grow linearly with N.
void BM_XMLSwapElementBack(benchmark::State& state)
{
    const int children = static_cast<int>(state.range(0));
    TrpXMLDocument doc;
    doc.Root()->Name = "pages";
    TrpXMLItem* page = doc.Root()->Add();
    page->Name = "page0";
    page->Unloadable = true;
    for (int i = 0; i < children; ++i) {
        TrpXMLItem* c = page->Add();
        c->Name = "m";
        c->SetProp("l", IntToStr(i));
    }
    doc.UnloadItem(page);
    for (auto _ : state) {
        doc.LoadItem(page);
        if (page->Count() != children)
            state.SkipWithError("the children did not come back");
        doc.UnloadItem(page);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_XMLSwapElementBack)->Apply(Sizes);

void BM_XMLDropFromTheEnd(benchmark::State& state)
{
    const int children = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        TrpXMLItem list;
        for (int i = 0; i < children; ++i)
            list.Add();
        state.ResumeTiming();
        while (list.Count() > 0)
            delete list.Items(list.Count() - 1);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_XMLDropFromTheEnd)->Apply(Sizes);

}  // namespace

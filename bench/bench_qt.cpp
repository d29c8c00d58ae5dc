// bench_qt.cpp - the Qt peers of list controls filled one item at a time, offscreen, as the
// goods card fills its lists of goods names (33,334 names on a warehouse of 100,000 goods)
// on every opening after the first, when its widgets exist.
//   ComboItems   a combo box cleared and given n items, one Add each
//   ListItems    the same for a list box
//   TreeNodes    a tree view given n nodes in one update, a group node over every 333, as
//                the preview lays out the outline of a prepared report (one entry a row)
//   TreeNodesOneByOne  the same tree given its nodes one at a time, outside an update, its
//                groups expanded as they come, as a script fills a tree
//   MemoLines    a memo cleared and given n lines, one Lines.Add each, as a script-built
//                dialog or the designer's text editor fills one
//   GridWalk     a shown data grid's dataset of n rows walked from the first to the last
//                record in code, as a document's total or the journal's sort walks its lines
//                (the view's one scroll to the last row waits for the event loop)
// The counter ns_per_item stays flat when each Add costs the same, however long the list.
#include "platform/db/DB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/qt/QtBackend.h"
#include "platform/rtl/SysUtils.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

TForm* ShownForm()
{
    static TForm* form = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "bench_qt";
        static char* argv[] = {name, nullptr};
        RegisterGuiClasses();
        static TQtBackend backend(argc, argv);
        CreateApplication();
        auto* f = new TForm(Application);
        f->Show();
        return f;
    }();
    return form;
}

template <class TList>
void FillOneByOne(benchmark::State& state)
{
    TForm* form = ShownForm();
    auto* control = new TList(form);
    control->SetParent(form);
    const int n = static_cast<int>(state.range(0));
    std::vector<AnsiString> names;
    for (int i = 0; i < n; ++i)
        names.push_back("Товар " + IntToStr(i));
    for (auto _ : state) {
        control->GetItems()->Clear();
        for (const AnsiString& s : names)
            control->GetItems()->Add(s);
    }
    if (control->GetItems()->Count() != n)
        state.SkipWithError("the list lost items");
    delete control;
    state.SetComplexityN(n);
    state.counters["ns_per_item"] = benchmark::Counter(
        static_cast<double>(n) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void TreeNodes(benchmark::State& state)
{
    TForm* form = ShownForm();
    auto* tree = new TTreeView(form);
    tree->SetParent(form);
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        TTreeNodes* nodes = tree->GetItems();
        nodes->BeginUpdate();
        nodes->Clear();
        TTreeNode* group = nullptr;
        for (int i = 0; i < n; ++i) {
            if (i % 333 == 0)
                group = nodes->AddChild(nullptr, "Группа " + IntToStr(i / 333));
            nodes->AddChild(group, "Строка " + IntToStr(i));
        }
        nodes->EndUpdate();
        tree->FullExpand();
    }
    if (tree->GetItems()->Count() != n + (n + 332) / 333)
        state.SkipWithError("the tree lost nodes");
    delete tree;
    state.SetComplexityN(n);
    state.counters["ns_per_item"] = benchmark::Counter(
        static_cast<double>(n) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void TreeNodesOneByOne(benchmark::State& state)
{
    TForm* form = ShownForm();
    auto* tree = new TTreeView(form);
    tree->SetParent(form);
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        TTreeNodes* nodes = tree->GetItems();
        nodes->Clear();
        TTreeNode* group = nullptr;
        for (int i = 0; i < n; ++i) {
            if (i % 333 == 0) {
                group = nodes->AddChild(nullptr, "Группа " + IntToStr(i / 333));
                group->Expand(false);
            }
            nodes->AddChild(group, "Строка " + IntToStr(i));
        }
    }
    if (tree->GetItems()->Count() != n + (n + 332) / 333)
        state.SkipWithError("the tree lost nodes");
    delete tree;
    state.SetComplexityN(n);
    state.counters["ns_per_item"] = benchmark::Counter(
        static_cast<double>(n) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void MemoLines(benchmark::State& state)
{
    TForm* form = ShownForm();
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    const int n = static_cast<int>(state.range(0));
    std::vector<AnsiString> lines;
    for (int i = 0; i < n; ++i)
        lines.push_back("Товар " + IntToStr(i) + "; 12,50 руб.");
    for (auto _ : state) {
        memo->GetLines()->Clear();
        for (const AnsiString& s : lines)
            memo->GetLines()->Add(s);
    }
    if (memo->GetLines()->Count() != n)
        state.SkipWithError("the memo lost lines");
    delete memo;
    state.SetComplexityN(n);
    state.counters["ns_per_item"] = benchmark::Counter(
        static_cast<double>(n) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// n rows of an id and a name, made in memory.
class TRows : public TDataSet {
public:
    explicit TRows(TComponent* owner) : TDataSet(owner) {}
    int Count = 0;

protected:
    void InternalOpen() override
    {
        FieldDefs().Add("ID", ftInteger);
        FieldDefs().Add("Name", ftString, 40);
        for (int i = 1; i <= Count; ++i) {
            Variant* cells = AppendRow();
            cells[0] = i;
            cells[1] = "Товар " + IntToStr(i);
        }
    }
};

void GridWalk(benchmark::State& state)
{
    TForm* form = ShownForm();
    form->SetBounds(0, 0, 800, 600);
    auto* grid = new TDBGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 780, 500);
    TRows rows(nullptr);
    rows.Count = static_cast<int>(state.range(0));
    TDataSource source(nullptr);
    source.SetDataSet(&rows);
    grid->SetDataSource(&source);
    rows.Open();
    int64_t sum = 0;
    for (auto _ : state) {
        sum = 0;
        for (rows.First(); !rows.Eof(); rows.Next())
            sum += rows.Fields().Fields(0)->AsLargeInt();
    }
    if (sum != int64_t(rows.Count) * (rows.Count + 1) / 2)
        state.SkipWithError("the walk missed rows");
    delete grid;
    state.SetComplexityN(state.range(0));
    state.counters["ns_per_item"] = benchmark::Counter(
        static_cast<double>(state.range(0)) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

const bool kRegistered = [] {
    const bool quick = getenv("SKLAD_BENCH_QUICK") != nullptr;
    for (auto* b : {benchmark::RegisterBenchmark("ComboItems", FillOneByOne<TComboBox>),
                    benchmark::RegisterBenchmark("ListItems", FillOneByOne<TListBox>),
                    benchmark::RegisterBenchmark("TreeNodes", TreeNodes),
                    benchmark::RegisterBenchmark("TreeNodesOneByOne", TreeNodesOneByOne),
                    benchmark::RegisterBenchmark("MemoLines", MemoLines),
                    benchmark::RegisterBenchmark("GridWalk", GridWalk)}) {
        b->Unit(benchmark::kMillisecond);
        if (quick)
            b->Arg(100);
        else
            b->Arg(1000)->Arg(10000)->Arg(100000)->Complexity();
    }
    return true;
}();

}  // namespace

// bench_components.cpp - making and freeing many components, in the platform
// alone and from a script: 2,000, 20,000 and 200,000 buttons owned by one form,
// each made, and in the script given an OnClick handler, then the form freed
// with them. The time per button (the inverse of items_per_second) must not
// grow with their number: creating and freeing are linear.
//
// A memo filled by a script, 2,000, 20,000 and 200,000 lines of Lines.Add: the time per
// line stays flat, as each add appends to the text instead of building it again.
//
// A tree view's rows over a chain of 3,000, 30,000 and 300,000 nodes one under another
// (a damaged table of groups): a click's hit test, a scroll and a node's rectangle. The
// time per node must not grow with the chain's depth either.
//
// A tree of 10,000 and 100,000 nodes, a group over every 333 as the groups tree of a large
// warehouse: TreeWalk goes from the first node to the last with GetNext and back with
// GetPrev; TreeDeleteChildren empties every group with DeleteChildren, then the top node.
// The time per node stays flat: each step costs the same however large the tree.
// TreeSiblings walks 10,000 and 100,000 groups side by side with GetNextSibling and back
// with GetPrevSibling after each has moved a place.
//
// With SKLAD_BENCH_QUICK set (the test run) only 2,000 buttons or nodes are made.
#include "script/GlobalUnit.h"
#include "script/Script.h"
#include "script/bindings/Bindings.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/testing/TestDriver.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

int Count(const benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    return std::getenv("SKLAD_BENCH_QUICK") && n > 2000 ? 2000 : n;
}

void BM_PlatformButtons(benchmark::State& state)
{
    const int n = Count(state);
    TTestDriver driver;
    for (auto _ : state) {
        auto form = std::make_unique<TForm>(nullptr);
        for (int i = 0; i < n; ++i) {
            auto* b = new TButton(form.get());
            b->SetParent(form.get());
        }
        form.reset();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

void BM_ScriptButtons(benchmark::State& state)
{
    const int n = Count(state);
    TTestDriver driver;
    ScriptEngineStartup();
    ScriptBindingsStartup();
    {
        TscScript script(nullptr);
        script.Parent = scGlobalUnit();
        script.SyntaxType = "PascalScript";
        script.Lines()->SetText("var f: TForm; b: TButton; i: Integer;\r\n"
                                "procedure Click(Sender: TObject);\r\nbegin\r\nend;\r\n"
                                "begin\r\n  f := TForm.Create(nil);\r\n"
                                "  for i := 1 to " + std::to_string(n) + " do begin\r\n"
                                "    b := TButton.Create(f);\r\n    b.Parent := f;\r\n    b.OnClick := 'Click';\r\n"
                                "  end;\r\n  f.Free;\r\nend.");
        if (!script.Compile()) {
            std::fprintf(stderr, "%s: %s\n", script.ErrorPos.c_str(), script.ErrorText.c_str());
            std::exit(1);
        }
        for (auto _ : state)
            driver.Run([&] { script.Execute(); });
    }
    ScriptBindingsShutdown();
    ScriptEngineShutdown();
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// A script's dialog memo filled one Lines.Add at a time, as a report script lists goods.
void BM_ScriptMemoLines(benchmark::State& state)
{
    const int n = Count(state);
    TTestDriver driver;
    ScriptEngineStartup();
    ScriptBindingsStartup();
    {
        TscScript script(nullptr);
        script.Parent = scGlobalUnit();
        script.SyntaxType = "PascalScript";
        script.Lines()->SetText("var f: TForm; m: TMemo; i: Integer;\r\n"
                                "begin\r\n  f := TForm.Create(nil);\r\n  m := TMemo.Create(f);\r\n  m.Parent := f;\r\n"
                                "  for i := 1 to " + std::to_string(n) + " do\r\n"
                                "    m.Lines.Add('Goods ' + IntToStr(i) + '; 12,50');\r\n"
                                "  if m.Lines.Count <> " + std::to_string(n) + " then RaiseException('lost lines');\r\n"
                                "  f.Free;\r\nend.");
        if (!script.Compile()) {
            std::fprintf(stderr, "%s: %s\n", script.ErrorPos.c_str(), script.ErrorText.c_str());
            std::exit(1);
        }
        for (auto _ : state)
            driver.Run([&] { script.Execute(); });
    }
    ScriptBindingsShutdown();
    ScriptEngineShutdown();
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

void BM_TreeChainRows(benchmark::State& state)
{
    const int n = Count(state);
    TTestDriver driver;
    auto form = std::make_unique<TForm>(nullptr);
    auto* tree = new TTreeView(form.get());
    tree->SetParent(form.get());
    TTreeNodes* items = tree->GetItems();
    items->BeginUpdate();
    TTreeNode* last = items->Add(nullptr, "0");
    for (int i = 1; i < n; ++i)
        last = items->AddChild(last, IntToStr(i));
    items->EndUpdate();
    tree->FullExpand();
    for (auto _ : state) {
        tree->UserScrolled(n);
        benchmark::DoNotOptimize(tree->GetNodeAt(5, 5));
        benchmark::DoNotOptimize(tree->NodeRect(last));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// n nodes under one top node: a group over every 333 nodes, the rest its children.
TTreeNode* FillGroups(TTreeNodes* items, int n)
{
    items->BeginUpdate();
    TTreeNode* top = items->Add(nullptr, "Склад");
    TTreeNode* group = nullptr;
    for (int i = 1; i < n; ++i) {
        if (!group || i % 333 == 0)
            group = items->AddChild(top, "Группа " + IntToStr(i));
        else
            items->AddChild(group, IntToStr(i));
    }
    items->EndUpdate();
    return top;
}

void BM_TreeWalk(benchmark::State& state)
{
    const int n = Count(state);
    TTestDriver driver;
    auto form = std::make_unique<TForm>(nullptr);
    auto* tree = new TTreeView(form.get());
    tree->SetParent(form.get());
    TTreeNodes* items = tree->GetItems();
    FillGroups(items, n);
    for (auto _ : state) {
        int steps = 0;
        TTreeNode* node = items->GetFirstNode();
        for (TTreeNode* next; (next = node->GetNext()) != nullptr; node = next)
            ++steps;
        for (; node; node = node->GetPrev())
            ++steps;
        if (steps != 2 * n - 1)
            state.SkipWithError("the walk missed nodes");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

void BM_TreeDeleteChildren(benchmark::State& state)
{
    const int n = Count(state);
    TTestDriver driver;
    auto form = std::make_unique<TForm>(nullptr);
    auto* tree = new TTreeView(form.get());
    tree->SetParent(form.get());
    TTreeNodes* items = tree->GetItems();
    for (auto _ : state) {
        state.PauseTiming();
        items->Clear();
        TTreeNode* top = FillGroups(items, n);
        state.ResumeTiming();
        for (TTreeNode* group = top->GetFirstChild(); group; group = group->GetNextSibling())
            group->DeleteChildren();
        top->DeleteChildren();
        if (items->Count() != 1)
            state.SkipWithError("nodes were left");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// n groups side by side under one top node, walked with GetNextSibling and back with
// GetPrevSibling.
void BM_TreeSiblings(benchmark::State& state)
{
    const int n = Count(state);
    TTestDriver driver;
    auto form = std::make_unique<TForm>(nullptr);
    auto* tree = new TTreeView(form.get());
    tree->SetParent(form.get());
    TTreeNodes* items = tree->GetItems();
    items->BeginUpdate();
    TTreeNode* top = items->Add(nullptr, "Склад");
    for (int i = 0; i < n; ++i)
        items->AddChild(top, "Группа " + IntToStr(i));
    items->EndUpdate();
    for (auto _ : state) {
        // The first group goes to the end: every other one moves up a place.
        state.PauseTiming();
        top->GetFirstChild()->Delete();
        items->AddChild(top, "Группа");
        state.ResumeTiming();
        int steps = 0;
        TTreeNode* node = top->GetFirstChild();
        for (TTreeNode* next; (next = node->GetNextSibling()) != nullptr; node = next)
            ++steps;
        for (; node; node = node->GetPrevSibling())
            ++steps;
        if (steps != 2 * n - 1)
            state.SkipWithError("the walk missed groups");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

BENCHMARK(BM_PlatformButtons)->Arg(2000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScriptButtons)->Arg(2000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScriptMemoLines)->Arg(2000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeChainRows)->Arg(3000)->Arg(30000)->Arg(300000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeWalk)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeDeleteChildren)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeSiblings)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

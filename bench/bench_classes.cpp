// Object model benchmarks: property access by name, layout loading, the binary codec, and a
// string list walked from its head (StringListHead: n lines each read and deleted at index 0,
// then put back one at a time at index 0, as a script takes a list apart and builds one in
// reverse; the counter ns_per_item stays flat when each step costs the same).
#include "platform/classes/ObjectText.h"
#include "platform/rtl/SysUtils.h"

#include <benchmark/benchmark.h>

SKLAD_ENUM(TBenchAlign, baNone, baTop, baBottom, baLeft, baRight, baClient)

class TBenchControl : public TComponent {
    SKLAD_CLASS(TBenchControl, TComponent)
public:
    explicit TBenchControl(TComponent* AOwner) : TComponent(AOwner) {}
    int FLeft = 0, FTop = 0, FWidth = 75, FHeight = 25;
    AnsiString FCaption;
    TBenchAlign FAlign = baNone;
    bool FVisible = true;
    double FRatio = 0;
    TNotifyEvent FOnClick;
    AnsiString GetCaption() const { return FCaption; }
    void SetCaption(const AnsiString& v) { FCaption = v; }
};
SKLAD_DEFINE_CLASS(TBenchControl)
void TBenchControl::Publish(TPropertyTable& t)
{
    t.Prop("Left", &TBenchControl::FLeft, &TBenchControl::FLeft);
    t.Prop("Top", &TBenchControl::FTop, &TBenchControl::FTop);
    t.Prop("Width", &TBenchControl::FWidth, &TBenchControl::FWidth).Default(75);
    t.Prop("Height", &TBenchControl::FHeight, &TBenchControl::FHeight).Default(25);
    t.Prop("Caption", &TBenchControl::GetCaption, &TBenchControl::SetCaption);
    t.Prop("Align", &TBenchControl::FAlign, &TBenchControl::FAlign).Default(baNone);
    t.Prop("Visible", &TBenchControl::FVisible, &TBenchControl::FVisible).Default(true);
    t.Prop("Ratio", &TBenchControl::FRatio, &TBenchControl::FRatio);
    t.Event("OnClick", &TBenchControl::FOnClick);
}

class TBenchForm : public TComponent {
    SKLAD_CLASS(TBenchForm, TComponent)
public:
    explicit TBenchForm(TComponent* AOwner) : TComponent(AOwner) {}
    void ControlClick(TObject*) {}
};
SKLAD_DEFINE_CLASS(TBenchForm)
void TBenchForm::Publish(TPropertyTable& t) { t.Method("ControlClick", &TBenchForm::ControlClick); }

namespace {

void Setup()
{
    RegisterClasses({TBenchControl::StaticClass(), TBenchForm::StaticClass()});
}

AnsiString LayoutText(int controls)
{
    AnsiString s = "object Form1: TBenchForm\r\n";
    for (int i = 0; i < controls; ++i) {
        s += "  object Control" + IntToStr(i) + ": TBenchControl\r\n";
        s += "    Left = " + IntToStr(i % 40 * 8) + "\r\n    Top = " + IntToStr(i / 40 * 24) + "\r\n";
        s += "    Width = 64\r\n    Caption = 'Кнопка " + IntToStr(i) + "'\r\n    Align = baLeft\r\n";
        s += "    Ratio = 1.5\r\n    OnClick = ControlClick\r\n  end\r\n";
    }
    return s + "end\r\n";
}

void BM_GetOrdPropByName(benchmark::State& state)
{
    Setup();
    TBenchControl c(nullptr);
    for (auto _ : state)
        benchmark::DoNotOptimize(GetOrdProp(&c, "Height"));
}
BENCHMARK(BM_GetOrdPropByName);

void BM_SetOrdPropByName(benchmark::State& state)
{
    TBenchControl c(nullptr);
    int64_t v = 0;
    for (auto _ : state)
        SetOrdProp(&c, "Width", ++v & 1023);
}
BENCHMARK(BM_SetOrdPropByName);

void BM_GetStrPropByName(benchmark::State& state)
{
    TBenchControl c(nullptr);
    c.FCaption = "Caption";
    for (auto _ : state)
        benchmark::DoNotOptimize(GetStrProp(&c, "caption"));
}
BENCHMARK(BM_GetStrPropByName);

void BM_SetStrPropThroughInfo(benchmark::State& state)
{
    TBenchControl c(nullptr);
    const TPropInfo* p = GetPropInfo(&c, "Caption");
    const AnsiString v = "Text";
    for (auto _ : state)
        SetStrProp(&c, p, v);
}
BENCHMARK(BM_SetStrPropThroughInfo);

void BM_LoadLayout200Controls(benchmark::State& state)
{
    Setup();
    const AnsiString text = LayoutText(200);
    for (auto _ : state) {
        TBenchForm form(nullptr);
        ReadComponentText(text, &form);
        benchmark::DoNotOptimize(form.ComponentCount());
    }
    state.SetLabel("200 controls, " + std::to_string(text.size()) + " bytes of text");
}
BENCHMARK(BM_LoadLayout200Controls)->Unit(benchmark::kMillisecond);

void BM_WriteBinary10000Components(benchmark::State& state)
{
    Setup();
    TBenchForm form(nullptr);
    ReadComponentText(LayoutText(10000), &form);
    for (auto _ : state) {
        TMemoryStream ms;
        WriteComponentToStream(ms, &form);
        benchmark::DoNotOptimize(ms.GetSize());
    }
}
BENCHMARK(BM_WriteBinary10000Components)->Unit(benchmark::kMillisecond);

void BM_ReadBinary10000Components(benchmark::State& state)
{
    Setup();
    TBenchForm source(nullptr);
    ReadComponentText(LayoutText(10000), &source);
    TMemoryStream ms;
    WriteComponentToStream(ms, &source);
    for (auto _ : state) {
        ms.SetPosition(0);
        TBenchForm form(nullptr);
        ReadRootComponentFromStream(ms, &form);
        benchmark::DoNotOptimize(form.ComponentCount());
    }
}
BENCHMARK(BM_ReadBinary10000Components)->Unit(benchmark::kMillisecond);

void BM_StringListHead(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    TStringList list;
    for (int i = 0; i < n; ++i)
        list.Add("Строка " + IntToStr(i));
    for (auto _ : state) {
        std::vector<AnsiString> taken;
        taken.reserve(size_t(n));
        while (list.Count() > 0) {
            taken.push_back(list[0]);
            list.Delete(0);
        }
        for (const AnsiString& s : taken)
            list.Insert(0, s);
    }
    // Each pass reverses the list.
    if (list.Count() != n || (list[0] != "Строка 0" && list[0] != "Строка " + IntToStr(n - 1)))
        state.SkipWithError("the list lost lines");
    state.SetComplexityN(n);
    state.counters["ns_per_item"] = benchmark::Counter(
        static_cast<double>(n) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StringListHead)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Complexity();

// A walk from the first line to the last, as the report engine reads a memo's lines: each
// read is answered from the leaf the one before found.
void BM_StringListWalk(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    TStringList list;
    for (int i = 0; i < n; ++i)
        list.Add("Строка " + IntToStr(i));
    size_t total = 0;
    for (auto _ : state) {
        for (int i = 0; i < n; ++i)
            total += list[i].size();
        benchmark::DoNotOptimize(total);
    }
    state.SetComplexityN(n);
    state.counters["ns_per_item"] = benchmark::Counter(
        static_cast<double>(n) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StringListWalk)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Complexity();

// A sorted list filled in random order, as a script collects names (SortedListRandomAdds: n
// adds, each at a random place, then one walk over the list); ns_per_item may grow as log n.
void BM_SortedListRandomAdds(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<AnsiString> names;
    names.reserve(size_t(n));
    uint32_t seed = 1;
    for (int i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        names.push_back("Товар " + IntToStr(int64_t(seed >> 4)));
    }
    for (auto _ : state) {
        TStringList list;
        list.SetDuplicates(dupAccept);
        list.SetSorted(true);
        for (const AnsiString& s : names)
            list.Add(s);
        size_t total = 0;
        for (int i = 0; i < list.Count(); ++i)
            total += list[i].size();
        benchmark::DoNotOptimize(total);
        if (list.Count() != n)
            state.SkipWithError("the list lost lines");
    }
    state.SetComplexityN(n);
    state.counters["ns_per_item"] = benchmark::Counter(
        static_cast<double>(n) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SortedListRandomAdds)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

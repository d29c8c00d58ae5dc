// Script engine speed: lexing, scope lookup, reading XML, host property access by name.
#include "script/GlobalUnit.h"
#include "script/Lexer.h"
#include "script/XmlDocument.h"

#include "platform/classes/Classes.h"
#include "platform/classes/Handles.h"

#include <benchmark/benchmark.h>

namespace {

// About 100 KB of PascalScript: declarations, strings, numbers, comments.
AnsiString MakeScript()
{
    AnsiString s = "program Report;\r\nvar i, total: Integer;\r\n";
    while (s.size() < 100 * 1024)
        s += "procedure Band1BeforePrint(Sender: TObject); { band }\r\nbegin\r\n"
             "  total := total + $1F * 2.5e2; // running sum\r\n"
             "  Memo1.Text := 'Итого: ' + IntToStr(total) + #13#10 + 'it''s';\r\n"
             "  if (i <= 10) and not Done then Inc(i);\r\nend;\r\n";
    return s + "begin end.";
}

void BM_LexPascal100K(benchmark::State& state)
{
    const AnsiString text = MakeScript();
    TscParser p;
    for (const char* w : {"begin", "end", "var", "procedure", "if", "then", "and", "not", "program"})
        p.AddKeyword(w);
    for (auto _ : state) {
        p.SetText(text);
        int tokens = 0;
        while (p.NextToken().Kind != TscTokenKind::End)
            ++tokens;
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LexPascal100K);

void BM_FindIn10000(benchmark::State& state)
{
    ScriptEngineStartup();
    {
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        std::vector<AnsiString> names;
        for (int i = 0; i < 10000; ++i) {
            names.push_back("Var" + std::to_string(i * 7919 % 10000));
            s.AddVariable(names.back(), "Integer", Variant(i));
        }
        size_t k = 0;
        for (auto _ : state) {
            benchmark::DoNotOptimize(s.Find(names[k]));
            benchmark::DoNotOptimize(s.Find("INTEGER")); // misses locally, found in the parent
            k = (k + 1) % names.size();
        }
    }
    ScriptEngineShutdown();
}
BENCHMARK(BM_FindIn10000);

// An XML document whose 100,000 leaves sit under a chain of n elements (as
// the intermediate program of a deeply nested script or of units using units
// does): reading it must cost the same per leaf at any depth.
void BM_ReadXmlLeavesAtDepth(benchmark::State& state)
{
    const int depth = static_cast<int>(state.range(0));
    AnsiString text = "<?xml version=\"1.0\"?>";
    for (int i = 0; i < depth; ++i)
        text += "<d>";
    for (int i = 0; i < 100000; ++i)
        text += "<n text=\"x\"/>";
    for (int i = 0; i < depth; ++i)
        text += "</d>";
    for (auto _ : state) {
        TscXMLDocument doc;
        TStringStream stream(text);
        doc.LoadFromStream(stream);
        benchmark::DoNotOptimize(doc.Root()->Count());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 100000);
}
BENCHMARK(BM_ReadXmlLeavesAtDepth)->Arg(1)->Arg(900)->Unit(benchmark::kMillisecond);

void BM_HostPropertyByName(benchmark::State& state)
{
    ScriptEngineStartup();
    {
        TComponent owner(nullptr);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        TscClassVariable* cls = s.AddClass(TComponent::StaticClass(), "");
        const Variant handle = ObjectToVariant(&owner);
        for (auto _ : state) {
            auto* tag = static_cast<TscCustomHelper*>(cls->Find("Tag"));
            tag->ParentValue = handle;
            tag->SetValue(tag->GetValue() + Variant(1));
        }
        benchmark::DoNotOptimize(owner.Tag());
    }
    ScriptEngineShutdown();
}
BENCHMARK(BM_HostPropertyByName);

// A report script of 1,000 lines: procedures with locals, loops, conditions,
// calls and string work, compiled from text to objects.
AnsiString MakeThousandLines()
{
    AnsiString s = "var total: Integer; names: String;\r\n";
    int lines = 1;
    for (int p = 0; lines < 990; ++p) {
        const std::string n = std::to_string(p);
        s += "procedure Band" + n + "(k: Integer);\r\n"
             "var i, j: Integer;\r\n"
             "begin\r\n"
             "  for i := 1 to k do\r\n"
             "  begin\r\n"
             "    j := i * 2 + k div 3;\r\n"
             "    if (j > 10) and (i <> k) then total := total + j else total := total - 1;\r\n"
             "    names := names + 'x';\r\n"
             "  end;\r\n"
             "end;\r\n";
        lines += 10;
    }
    return s + "begin\r\n  Band0(3);\r\nend.\r\n";
}

void BM_CompileThousandLines(benchmark::State& state)
{
    ScriptEngineStartup();
    {
        const AnsiString text = MakeThousandLines();
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        for (auto _ : state) {
            s.Clear();
            s.Lines()->SetText(text);
            if (!s.Compile())
                state.SkipWithError(s.ErrorText.c_str());
        }
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    }
    ScriptEngineShutdown();
}
BENCHMARK(BM_CompileThousandLines)->Unit(benchmark::kMillisecond);

// A report expression compiled once, as the expression cache does, and
// evaluated a million times.
void BM_EvaluateSmallExpression1e6(benchmark::State& state)
{
    ScriptEngineStartup();
    {
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.AddVariable("Price", "Extended", Variant(12.5));
        s.AddVariable("Qty", "Integer", Variant(3));
        s.Lines()->SetText("function _f1: Variant; begin Result := Price * Qty + (Qty - 1) * 2; end; begin end.");
        if (!s.Compile())
            state.SkipWithError(s.ErrorText.c_str());
        TscCustomVariable* f = s.Find("_f1");
        for (auto _ : state) {
            Variant sum = Variant(0.0);
            for (int i = 0; i < 1000000; ++i)
                sum = sum + f->GetValue();
            benchmark::DoNotOptimize(sum);
        }
    }
    ScriptEngineShutdown();
}
BENCHMARK(BM_EvaluateSmallExpression1e6)->Unit(benchmark::kMillisecond);

// Every element of an array held in a Variant written in a loop, then every element of an
// array parameter read in a loop, at two sizes: the time per element stays flat, because
// neither a write nor a read copies the whole array.
void BM_ArrayElementsInLoops(benchmark::State& state)
{
    const AnsiString high = IntToStr(static_cast<int>(state.range(0)) - 1);
    ScriptEngineStartup();
    {
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.Lines()->SetText("function Sum(x: array[0.." + high + "] of Integer): Integer;\r\n"
                           "var k: Integer;\r\n"
                           "begin\r\n"
                           "  Result := 0;\r\n"
                           "  for k := 0 to " + high + " do Result := Result + x[k];\r\n"
                           "end;\r\n"
                           "function Run: Integer;\r\n"
                           "var v: Variant; a: array[0.." + high + "] of Integer; i: Integer;\r\n"
                           "begin\r\n"
                           "  v := VarArrayCreate([0, " + high + "], varVariant);\r\n"
                           "  for i := 0 to " + high + " do v[i] := i mod 7;\r\n"
                           "  for i := 0 to " + high + " do a[i] := v[i];\r\n"
                           "  Result := Sum(a);\r\n"
                           "end;\r\n"
                           "begin end.");
        if (!s.Compile())
            state.SkipWithError(s.ErrorText.c_str());
        TscCustomVariable* run = s.Find("Run");
        for (auto _ : state)
            benchmark::DoNotOptimize(run->GetValue());
    }
    ScriptEngineShutdown();
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ArrayElementsInLoops)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The engine's XML model over user-sized documents: n elements side by side
// loaded and written again, and a chain n levels deep built, copied and freed.
// Both stay linear in n.
void BM_XmlFlatLoadSave(benchmark::State& state)
{
    AnsiString text = "<?xml version=\"1.0\"?><root>";
    for (int64_t i = 0; i < state.range(0); ++i)
        text += "<item name=\"x" + std::to_string(i) + "\" value=\"a &#34;b&#34; c\"/>";
    text += "</root>";
    for (auto _ : state) {
        TStringStream in(text);
        TscXMLDocument doc;
        doc.LoadFromStream(in);
        TStringStream out;
        doc.SaveToStream(out);
        benchmark::DoNotOptimize(out.DataString().size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_XmlFlatLoadSave)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_XmlDeepChain(benchmark::State& state)
{
    for (auto _ : state) {
        TscXMLItem root;
        TscXMLItem* x = &root;
        for (int64_t i = 0; i < state.range(0); ++i)
            x = x->Add();
        TscXMLItem copy;
        copy.Assign(&root);
        benchmark::DoNotOptimize(copy.Count());
    }
}
BENCHMARK(BM_XmlDeepChain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

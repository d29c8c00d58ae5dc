// Script engine speed: lexing, scope lookup, host property access by name.
#include "script/GlobalUnit.h"
#include "script/Lexer.h"

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

} // namespace

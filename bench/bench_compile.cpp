// bench_compile.cpp - compiling scripts of 1,000, 10,000 and 100,000 lines in
// each syntax. The time per line (the inverse of items_per_second) must not
// grow with the length of the text: compiling is linear.
//
// A generated script is one tenth declarations (a variable each) and nine
// tenths statements: assignments, ifs, calls of a built-in function, loops
// (in BasicScript, whose loops and else parts take lines of their own, ifs)
// and withs (not in C++Script, which has none).
//
// With SKLAD_BENCH_QUICK set (the test run) only the 1,000-line texts compile.
//
// BM_CompileNameList: one declaration of 1,000 to 100,000 names; BM_CompileWithList:
// one with list of as many objects; BM_CompileUsesList: one uses clause of as many units;
// BM_CompileUsesChain: 1,000 and 10,000 units, each using the next.
#include "script/GlobalUnit.h"
#include "script/Script.h"

#include "platform/classes/Classes.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

enum Syntax { kPascal, kCpp, kJScript, kBasic };

const char* const kLanguage[] = {"PascalScript", "C++Script", "JScript", "BasicScript"};

// One statement of kind k over the variables va and vb. Every fifth is a
// with (in the syntaxes that have one): each needs a hidden variable.
AnsiString Statement(Syntax syntax, int k, const AnsiString& va, const AnsiString& vb)
{
    if (k % 5 == 4) {
        switch (syntax) {
        case kPascal: return "  with o do " + va + " := " + vb + ";";
        case kJScript: return "  with (o) " + va + " = " + vb + ";";
        case kBasic: return "With o\r\n" + va + " = " + vb + "\r\nEnd With";
        case kCpp: break;
        }
    }
    switch (syntax) {
    case kPascal:
        switch (k % 4) {
        case 0: return "  " + va + " := " + vb + " + 1;";
        case 1: return "  if " + va + " > 3 then " + vb + " := " + va + " * 2 else " + vb + " := 0;";
        case 2: return "  s := IntToStr(" + va + ") + 'x';";
        default: return "  for i := 1 to 2 do " + va + " := " + va + " - i;";
        }
    case kCpp:
    case kJScript:
        switch (k % 4) {
        case 0: return "  " + va + " = " + vb + " + 1;";
        case 1: return "  if (" + va + " > 3) " + vb + " = " + va + " * 2; else " + vb + " = 0;";
        case 2: return "  s = IntToStr(" + va + ") + \"x\";";
        default: return "  for (i = 1; i <= 2; i++) " + va + " = " + va + " - i;";
        }
    case kBasic:
        switch (k % 4) {
        case 0: return va + " = " + vb + " + 1";
        case 1: return "If " + va + " > 3 Then " + vb + " = " + va + " * 2";
        case 2: return "s = IntToStr(" + va + ") & \"x\"";
        default: return "If " + va + " < 0 Then " + va + " = 0";
        }
    }
    return AnsiString();
}

AnsiString MakeScript(Syntax syntax, int lines)
{
    const int vars = lines / 10;
    AnsiString text;
    text.reserve(static_cast<size_t>(lines) * 48);
    auto name = [](int i) { return "v" + std::to_string(i * 7919 % 1000003); };
    auto add = [&](const AnsiString& line) { text += line + "\r\n"; };
    switch (syntax) {
    case kPascal: add("var i: Integer; s: String; o: Variant;"); break;
    case kCpp: add("int i; string s;"); break;
    case kJScript: add("var i, s, o;"); break;
    case kBasic: add("Dim i, s, o"); break;
    }
    for (int v = 0; v < vars; ++v) {
        switch (syntax) {
        case kPascal: add("var " + name(v) + ": Integer;"); break;
        case kCpp: add("int " + name(v) + ";"); break;
        case kJScript: add("var " + name(v) + ";"); break;
        case kBasic: add("Dim " + name(v)); break;
        }
    }
    if (syntax == kPascal)
        add("begin");
    if (syntax == kCpp)
        add("{");
    for (int k = vars; k < lines; ++k)
        add(Statement(syntax, k, name(k % vars), name((k * 31) % vars)));
    if (syntax == kPascal)
        add("end.");
    if (syntax == kCpp)
        add("}");
    return text;
}

void BM_Compile(benchmark::State& state, Syntax syntax)
{
    int lines = static_cast<int>(state.range(0));
    if (std::getenv("SKLAD_BENCH_QUICK") && lines > 1000)
        lines = 1000;
    ScriptEngineStartup();
    {
        const AnsiString text = MakeScript(syntax, lines);
        for (auto _ : state) {
            TscScript script(nullptr);
            script.Parent = scGlobalUnit();
            script.SyntaxType = kLanguage[syntax];
            script.Lines()->SetText(text);
            if (!script.Compile()) {
                // A generated text that does not compile is a fault of the engine: fail the run.
                std::fprintf(stderr, "%s: %s: %s\n", kLanguage[syntax], script.ErrorPos.c_str(),
                             script.ErrorText.c_str());
                std::exit(1);
            }
            benchmark::DoNotOptimize(script.MainStatement());
        }
        state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * lines);
    }
    ScriptEngineShutdown();
}

// One declaration naming n variables (var v0, v1, ...: Integer): the time per
// name must not grow with n, as it does when each name reads the whole list.
void BM_CompileNameList(benchmark::State& state)
{
    int names = static_cast<int>(state.range(0));
    if (std::getenv("SKLAD_BENCH_QUICK") && names > 1000)
        names = 1000;
    ScriptEngineStartup();
    {
        AnsiString text = "var v0";
        for (int i = 1; i < names; ++i)
            text += ", v" + std::to_string(i);
        text += ": Integer;\r\nbegin\r\nend.";
        for (auto _ : state) {
            TscScript script(nullptr);
            script.Parent = scGlobalUnit();
            script.Lines()->SetText(text);
            if (!script.Compile()) {
                std::fprintf(stderr, "%s: %s\n", script.ErrorPos.c_str(), script.ErrorText.c_str());
                std::exit(1);
            }
            benchmark::DoNotOptimize(script.MainStatement());
        }
        state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * names);
    }
    ScriptEngineShutdown();
}

BENCHMARK(BM_CompileNameList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One with list of n objects (with o, o, ..., o do): the time per object must
// not grow with n, as it does when each object looks through all before it.
void BM_CompileWithList(benchmark::State& state)
{
    int objects = static_cast<int>(state.range(0));
    if (std::getenv("SKLAD_BENCH_QUICK") && objects > 1000)
        objects = 1000;
    ScriptEngineStartup();
    {
        TComponent owner(nullptr);
        AnsiString text = "begin\r\n  with o";
        for (int i = 1; i < objects; ++i)
            text += ", o";
        text += " do Tag := Tag + 1;\r\nend.";
        for (auto _ : state) {
            TscScript script(nullptr);
            script.Parent = scGlobalUnit();
            script.AddClass(TComponent::StaticClass(), "");
            script.AddObject("o", &owner);
            script.Lines()->SetText(text);
            if (!script.Compile()) {
                std::fprintf(stderr, "%s: %s\n", script.ErrorPos.c_str(), script.ErrorText.c_str());
                std::exit(1);
            }
            benchmark::DoNotOptimize(script.MainStatement());
        }
        state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * objects);
    }
    ScriptEngineShutdown();
}

BENCHMARK(BM_CompileWithList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One uses clause naming n units (uses 'u0', 'u1', ...), each an empty program:
// the time per unit must not grow with n.
void BM_CompileUsesList(benchmark::State& state)
{
    int units = static_cast<int>(state.range(0));
    if (std::getenv("SKLAD_BENCH_QUICK") && units > 1000)
        units = 1000;
    ScriptEngineStartup();
    {
        AnsiString text = "uses 'u0'";
        for (int i = 1; i < units; ++i)
            text += ", 'u" + std::to_string(i) + "'";
        text += ";\r\nbegin\r\nend.";
        for (auto _ : state) {
            TscScript script(nullptr);
            script.Parent = scGlobalUnit();
            script.OnGetUnit = [](TscScript*, const AnsiString&, AnsiString& unit) { unit = "begin end."; };
            script.Lines()->SetText(text);
            if (!script.Compile()) {
                std::fprintf(stderr, "%s: %s\n", script.ErrorPos.c_str(), script.ErrorText.c_str());
                std::exit(1);
            }
            benchmark::DoNotOptimize(script.MainStatement());
        }
        state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * units);
    }
    ScriptEngineShutdown();
}

BENCHMARK(BM_CompileUsesList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A chain of n units, each using the next (u0 uses u1 uses ... u(n-1)), each declaring and
// setting a variable of its own: every unit's program is written into the next one's, so the time per
// unit must not grow with n.
void BM_CompileUsesChain(benchmark::State& state)
{
    int units = static_cast<int>(state.range(0));
    if (std::getenv("SKLAD_BENCH_QUICK") && units > 1000)
        units = 1000;
    ScriptEngineStartup();
    {
        std::vector<AnsiString> texts(static_cast<size_t>(units));
        for (int i = 0; i < units; ++i)
            texts[static_cast<size_t>(i)] =
                (i + 1 < units ? "uses 'u" + std::to_string(i + 1) + "';\r\n" : std::string()) + "var x" +
                std::to_string(i) + ": Integer;\r\nbegin\r\n  x" + std::to_string(i) + " := " + std::to_string(i) +
                ";\r\nend.";
        for (auto _ : state) {
            TscScript script(nullptr);
            script.Parent = scGlobalUnit();
            script.OnGetUnit = [&](TscScript*, const AnsiString& name, AnsiString& unit) {
                unit = texts[static_cast<size_t>(std::atoi(name.c_str() + 1))];
            };
            script.Lines()->SetText("uses 'u0';\r\nbegin\r\nend.");
            if (!script.Compile()) {
                std::fprintf(stderr, "%s: %s\n", script.ErrorPos.c_str(), script.ErrorText.c_str());
                std::exit(1);
            }
            benchmark::DoNotOptimize(script.MainStatement());
        }
        state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * units);
    }
    ScriptEngineShutdown();
}

BENCHMARK(BM_CompileUsesChain)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Compile, Pascal, kPascal)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Compile, Cpp, kCpp)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Compile, JScript, kJScript)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Compile, Basic, kBasic)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

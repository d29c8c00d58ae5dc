// bench_scripts.cpp - the script engine on whole programs, in its four syntaxes.
//
// Each workload is a function Run(n) kept as a script file per syntax in bench/scripts/
// (loop.pas, loop.cpp, loop.js, loop.vb ...); the benchmark compiles it once, calls Run
// and checks the answer on every iteration. The same programs written for Lua 5.4 and
// Python 3 sit beside them (*.lua, *.py) for bench/compare.sh.
//
//   loop     sum of i mod 7, i = 1..10,000,000
//   fib      fib(27) by plain recursion (635,621 calls)
//   float    5,000,000 steps of x := x * 0.999 + i / 3.0 - 1.1
//   string   appending IntToStr(i), i = 1..200,000, to one string
//   chain    s := s + ', ' + IntToStr(i), i = 1..200,000 (BasicScript s = s & ", " & i): a
//            chain of joins onto the target; also run at 20,000 (BM_chain/<syntax>/20k),
//            so that the time per step can be seen to stay flat
//   varappend  IntToStr(i), i = 1..200,000, appended through a routine's var parameter
//            (Add(s, IntToStr(i))); also run at 20,000 (BM_varappend/<syntax>/20k): the time
//            per step stays flat, as no call copies the text
//   byvalue  s := s + IntToStr(i) and the text so far passed by value to a routine (Look(s)),
//            i = 1..200,000; also run at 20,000 (BM_byvalue/<syntax>/20k), flat likewise
//   inner    byvalue through a routine with a routine declared inside it (PascalScript and
//            JScript only), at 200,000 and 20,000 (BM_inner/<syntax>/20k): flat likewise, as
//            the text is let go when the inner routine does not name it
//   method   1,000,000 calls of a host object's method (Counter.Add)
//   property 1,000,000 steps of Counter.Value := Counter.Value + i mod 10: a read and a
//            write of a host object's published property per step
//   scan     a text of 1,000,000 characters walked one at a time (Length, s[i], Copy(s, i, 1)
//            and Ord per step); also run at 100,000 (BM_scan/<syntax>/100k): the time per
//            step stays flat, as no step copies the text
//   vscan    a text of 1,000,000 characters held in a Variant, walked one at a time: each
//            character read by index (x[i]), each blank changed by index (x[i] := '_');
//            also run at 100,000 (BM_vscan/<syntax>/100k): the time per step stays flat,
//            as neither the read nor the write copies the text
//   grow     a text and an array grown one step at a time, i = 1..200,000: Insert('x' at the
//            text's end), SetLength(a, i) and a[i - 1] := i per step; also run at 20,000
//            (BM_grow/<syntax>/20k): the time per step stays flat, as the routines change
//            their var parameter where it lies
//   compare  a text of 10,000 characters compared with a one-letter text by = <> < > (== !=
//            < > in C++Script and JScript), 100,000 times each: the texts are compared where
//            they stand, not copied first, so a step costs the same however long the text
//   report   100,000 evaluations of a report's bracketed expression over dataset fields
//            (expressions of a report are PascalScript whatever its script language, so
//            this one has a single form: report.expr)
//
// With SKLAD_BENCH_QUICK set in the environment every size is cut down, so a test can run
// each program once in well under a second.
#include "report/model/rpClass.h"
#include "report/model/rpReportClasses.h"
#include "report/output/rpPreviewPages.h"
#include "script/GlobalUnit.h"
#include "script/Script.h"

#include "platform/classes/Classes.h"
#include "platform/db/DB.h"
#include "platform/rtl/Cp1251.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

// The host object of the method and property workloads (Value is Total, published).
class TBenchCounter : public TComponent {
    SKLAD_CLASS(TBenchCounter, TComponent)
public:
    using TComponent::TComponent;
    int Total = 0;
};
SKLAD_DEFINE_CLASS(TBenchCounter)
void TBenchCounter::Publish(TPropertyTable& t)
{
    t.Prop("Value", &TBenchCounter::Total, &TBenchCounter::Total);
}

namespace {

// Set when a program does not compile or gives a wrong answer: the run then fails.
bool gFailed = false;

void Fail(benchmark::State& state, const char* what, const std::string& why)
{
    gFailed = true;
    std::fprintf(stderr, "%s: %s\n", what, why.c_str());
    state.SkipWithError(why.c_str());
}

bool Quick()
{
    return std::getenv("SKLAD_BENCH_QUICK") != nullptr;
}

AnsiString ReadScript(const std::string& file)
{
    std::ifstream in(std::string(SKLAD_BENCH_SCRIPTS) + "/" + file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read bench/scripts/" + file);
    return Utf8ToAnsi(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
}

// ---------------------------------------------------------------- the workloads

struct Workload {
    const char* Name;
    int Size;       // n of the full run
    int QuickSize;  // n under SKLAD_BENCH_QUICK
    double (*Answer)(int n);
};

double LoopAnswer(int n)
{
    double s = 0;
    for (int i = 1; i <= n; ++i)
        s += i % 7;
    return s;
}

double FibAnswer(int n)
{
    double a = 0, b = 1;
    for (int i = 0; i < n; ++i) {
        const double c = a + b;
        a = b;
        b = c;
    }
    return a;
}

double FloatAnswer(int n)
{
    double x = 0.5;
    for (int i = 1; i <= n; ++i)
        x = x * 0.999 + i / 3.0 - 1.1;
    return x;
}

double StringAnswer(int n)
{
    double len = 0;
    for (int i = 1; i <= n; ++i)
        len += static_cast<double>(std::to_string(i).size());
    return len;
}

double ChainAnswer(int n)
{
    return StringAnswer(n) + 2.0 * n;
}

double ScanAnswer(int n)
{
    return n / 5;
}

double GrowAnswer(int n)
{
    return 2.0 * n;
}

double CompareAnswer(int n)
{
    return 2.0 * n;  // <> and < hold, = and > do not
}

double MethodAnswer(int n)
{
    double s = 0;
    for (int i = 1; i <= n; ++i)
        s += i % 10;
    return s;
}

constexpr Workload kWorkloads[] = {
    {"loop", 10000000, 1000, LoopAnswer},
    {"fib", 27, 10, FibAnswer},
    {"float", 5000000, 1000, FloatAnswer},
    {"string", 200000, 1000, StringAnswer},
    {"chain", 200000, 1000, ChainAnswer},
    {"method", 1000000, 1000, MethodAnswer},
    {"property", 1000000, 1000, MethodAnswer},
    {"scan", 1000000, 1000, ScanAnswer},
    {"varappend", 200000, 1000, StringAnswer},
    {"byvalue", 200000, 1000, StringAnswer},
    {"vscan", 1000000, 1000, ScanAnswer},
    {"grow", 200000, 1000, GrowAnswer},
    {"compare", 100000, 1000, CompareAnswer},
};

struct Syntax {
    const char* Ext;
    const char* Name;
};

constexpr Syntax kSyntaxes[] = {
    {"pas", "PascalScript"},
    {"cpp", "C++Script"},
    {"js", "JScript"},
    {"vb", "BasicScript"},
};

// byvalue through a routine with a routine declared inside it, in the syntaxes that declare
// routines inside routines.
constexpr Workload kInner = {"inner", 200000, 1000, StringAnswer};
constexpr Syntax kInnerSyntaxes[] = {
    {"pas", "PascalScript"},
    {"js", "JScript"},
};

void RegisterCounter(TscScript& s, TBenchCounter& counter)
{
    TscClassVariable* cls = s.AddClass(TBenchCounter::StaticClass(), "");
    cls->AddMethod("procedure Add(Value: Integer)", [](TObject* o, TClass, const AnsiString&, Variant& p) {
        static_cast<TBenchCounter*>(o)->Total += VarArrayGet(p, {0}).AsInteger();
        return Null();
    });
    cls->AddMethod("procedure Clear", [](TObject* o, TClass, const AnsiString&, Variant&) {
        static_cast<TBenchCounter*>(o)->Total = 0;
        return Null();
    });
    cls->AddProperty("Total", "Integer", [](TObject* o, TClass, const AnsiString&) {
        return Variant(static_cast<TBenchCounter*>(o)->Total);
    });
    s.AddObject("Counter", &counter);
}

bool SameAnswer(double want, const Variant& got)
{
    const double g = got.AsDouble();
    return g == want || std::fabs(g - want) <= 1e-9 * std::fabs(want);
}

void RunWorkload(benchmark::State& state, const Workload& w, const Syntax& syntax, int size = 0)
{
    const int n = Quick() ? w.QuickSize : size ? size : w.Size;
    const double want = w.Answer(n);
    ScriptEngineStartup();
    {
        TBenchCounter counter(nullptr);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        RegisterCounter(s, counter);
        s.SyntaxType = syntax.Name;
        s.Lines()->SetText(ReadScript(std::string(w.Name) + "." + syntax.Ext));
        if (!s.Compile()) {
            Fail(state, w.Name, s.ErrorPos + ": " + s.ErrorText);
        } else {
            const Variant args = VarArrayOf({Variant(n)});
            Variant got;
            for (auto _ : state) {
                got = s.CallFunction("Run", args);
                if (!SameAnswer(want, got)) {
                    Fail(state, w.Name, "wrong answer " + VarToStr(got));
                    break;
                }
            }
            state.counters["n"] = n;
            // time per step (per unit of n), to compare sizes
            state.counters["per_step"] =
                benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
        }
    }
    ScriptEngineShutdown();
}

// ---------------------------------------------------------------- the report workload

// Rows of (Price float, Qty integer) read from memory.
class TBenchRows : public TDataSet {
public:
    explicit TBenchRows(TComponent* AOwner, int rows) : TDataSet(AOwner), FRows(rows) {}

protected:
    void InternalOpen() override
    {
        FieldDefs().Clear();
        FieldDefs().Add("Price", ftFloat);
        FieldDefs().Add("Qty", ftInteger);
        for (int i = 0; i < FRows; ++i) {
            Variant* row = AppendRow();
            row[0] = Variant(10 + (i % 100) * 0.25);
            row[1] = Variant(i % 7 + 1);
        }
    }

private:
    int FRows;
};

void BM_report(benchmark::State& state)
{
    const int n = Quick() ? 1000 : 100000;
    const int rows = 1000;
    AnsiString expr = ReadScript("report.expr");
    while (!expr.empty() && (expr.back() == '\n' || expr.back() == '\r'))
        expr.pop_back();
    double want = 0;
    for (int k = 0; k < n; ++k) {
        const int i = k % rows;
        want += (10 + (i % 100) * 0.25) * (i % 7 + 1) + 1;
    }
    ScriptEngineStartup();
    rpInitReportClasses();
    rpInstallOutputFactories();
    {
        TComponent owner(nullptr);
        auto* mem = new TBenchRows(&owner, rows);
        mem->Open();
        auto* ds = new TrpDBDataset(&owner);
        ds->SetName("Goods");
        ds->SetDataSet(mem);
        auto* report = new TrpReport(&owner);
        report->GetEngineOptions()->SilentMode = true;
        report->GetDataSets()->Add(ds);
        if (!report->PrepareScript()) {
            Fail(state, "report", "the report's script does not compile");
        } else {
            for (auto _ : state) {
                double sum = 0;
                mem->First();
                for (int k = 0; k < n; ++k) {
                    if (mem->Eof())
                        mem->First();
                    sum += report->Calc(expr).AsDouble();
                    mem->Next();
                }
                if (std::fabs(sum - want) > 1e-9 * want) {
                    Fail(state, "report", "wrong answer " + std::to_string(sum));
                    break;
                }
            }
            state.counters["n"] = n;
        }
    }
    rpSetPreviewPagesFactory(nullptr);
    rpSetOutlineFactory(nullptr);
    rpSetEngineFactory(nullptr);
    rpDoneReportClasses();
    ScriptEngineShutdown();
}

const bool kRegistered = [] {
    for (const Workload& w : kWorkloads)
        for (const Syntax& s : kSyntaxes)
            benchmark::RegisterBenchmark((std::string("BM_") + w.Name + "/" + s.Ext).c_str(),
                                         [&w, &s](benchmark::State& st) { RunWorkload(st, w, s); })
                ->Unit(benchmark::kMillisecond);
    for (const Syntax& s : kSyntaxes)
        benchmark::RegisterBenchmark((std::string("BM_chain/") + s.Ext + "/20k").c_str(),
                                     [&s](benchmark::State& st) { RunWorkload(st, kWorkloads[4], s, 20000); })
            ->Unit(benchmark::kMillisecond);
    for (const Syntax& s : kSyntaxes)
        benchmark::RegisterBenchmark((std::string("BM_scan/") + s.Ext + "/100k").c_str(),
                                     [&s](benchmark::State& st) { RunWorkload(st, kWorkloads[7], s, 100000); })
            ->Unit(benchmark::kMillisecond);
    for (const Syntax& s : kSyntaxes)
        benchmark::RegisterBenchmark((std::string("BM_vscan/") + s.Ext + "/100k").c_str(),
                                     [&s](benchmark::State& st) { RunWorkload(st, kWorkloads[10], s, 100000); })
            ->Unit(benchmark::kMillisecond);
    for (int k : {8, 9, 11})
        for (const Syntax& s : kSyntaxes)
            benchmark::RegisterBenchmark((std::string("BM_") + kWorkloads[k].Name + "/" + s.Ext + "/20k").c_str(),
                                         [k, &s](benchmark::State& st) { RunWorkload(st, kWorkloads[k], s, 20000); })
                ->Unit(benchmark::kMillisecond);
    for (const Syntax& s : kInnerSyntaxes)
        for (int size : {20000, 200000})
            benchmark::RegisterBenchmark((std::string("BM_inner/") + s.Ext + (size == 20000 ? "/20k" : "")).c_str(),
                                         [size, &s](benchmark::State& st) { RunWorkload(st, kInner, s, size); })
                ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_report/pas", BM_report)->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return gFailed ? 1 : 0;
}

// Run-time library speed: the Variant operations report expressions evaluate all the
// time, and the number/text conversions behind every printed figure.
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

#include <benchmark/benchmark.h>

namespace {

void BM_VariantAddInteger(benchmark::State& state)
{
    Variant a = 1, b = 2;
    for (auto _ : state) {
        Variant r = a + b;
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_VariantAddInteger);

void BM_VariantAddDouble(benchmark::State& state)
{
    Variant a = 1.5, b = 2.25;
    for (auto _ : state) {
        Variant r = a + b;
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_VariantAddDouble);

void BM_VariantAddMixed(benchmark::State& state)
{
    Variant a = 1, b = 2.25;
    for (auto _ : state) {
        Variant r = VarAdd(a, b);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_VariantAddMixed);

void BM_VariantCompareInteger(benchmark::State& state)
{
    Variant a = 1, b = 2;
    for (auto _ : state) {
        bool r = a < b;
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_VariantCompareInteger);

void BM_VariantCompareDouble(benchmark::State& state)
{
    Variant a = 1.5, b = 2.5;
    for (auto _ : state) {
        bool r = a == b;
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_VariantCompareDouble);

void BM_VariantCompareString(benchmark::State& state)
{
    Variant a = "Наименование", b = "Наименьший";
    for (auto _ : state) {
        auto r = VarCompare(a, b);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_VariantCompareString);

void BM_VarToStrInteger(benchmark::State& state)
{
    Variant a = 123456;
    for (auto _ : state)
        benchmark::DoNotOptimize(VarToStr(a));
}
BENCHMARK(BM_VarToStrInteger);

void BM_VarToStrDouble(benchmark::State& state)
{
    Variant a = 1234.56;
    for (auto _ : state)
        benchmark::DoNotOptimize(VarToStr(a));
}
BENCHMARK(BM_VarToStrDouble);

void BM_VarToStrString(benchmark::State& state)
{
    Variant a = "Склад";
    for (auto _ : state)
        benchmark::DoNotOptimize(VarToStr(a));
}
BENCHMARK(BM_VarToStrString);

void BM_FloatToStr(benchmark::State& state)
{
    double v = 1234.5678;
    for (auto _ : state)
        benchmark::DoNotOptimize(FloatToStr(v));
}
BENCHMARK(BM_FloatToStr);

void BM_FormatInteger(benchmark::State& state)
{
    int n = 42;
    for (auto _ : state)
        benchmark::DoNotOptimize(Format("%d", {n}));
}
BENCHMARK(BM_FormatInteger);

void BM_StrToFloat(benchmark::State& state)
{
    const AnsiString text = "1234,5678";
    for (auto _ : state)
        benchmark::DoNotOptimize(StrToFloat(text));
}
BENCHMARK(BM_StrToFloat);

void BM_FormatFloatPicture(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatFloat("#,##0.00", 1234567.891));
}
BENCHMARK(BM_FormatFloatPicture);

}  // namespace

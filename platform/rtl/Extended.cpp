// The multiply and divide halves of Extended.h: the fused multiply-add forms are compiled for
// processors that have the instruction and chosen at the first call.
#include "platform/rtl/Extended.h"

namespace rtl_extended {

double MulLong(double a, double b)
{
    return static_cast<double>(static_cast<long double>(a) * static_cast<long double>(b));
}

double DivLong(double a, double b)
{
    return static_cast<double>(static_cast<long double>(a) / static_cast<long double>(b));
}

[[gnu::target("fma")]] double MulFma(double a, double b)
{
    return MulWithFma(a, b);
}

[[gnu::target("fma")]] double DivFma(double a, double b)
{
    return DivWithFma(a, b);
}

bool HasFma()
{
    static const bool fma = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("fma") != 0;
    }();
    return fma;
}

namespace {

void Choose()
{
    const bool fma = HasFma();
    Mul.store(fma ? MulFma : MulLong, std::memory_order_relaxed);
    Div.store(fma ? DivFma : DivLong, std::memory_order_relaxed);
}

double MulFirst(double a, double b)
{
    Choose();
    return Mul.load(std::memory_order_relaxed)(a, b);
}

double DivFirst(double a, double b)
{
    Choose();
    return Div.load(std::memory_order_relaxed)(a, b);
}

} // namespace

std::atomic<Binary> Mul{MulFirst}, Div{DivFirst};

} // namespace rtl_extended

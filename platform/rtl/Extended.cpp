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
    const double r = a * b;
    if (__builtin_fabs(r) >= kExactFloor && Decides(r, __builtin_fma(a, b, -r))) [[likely]]
        return r;
    return MulLong(a, b);
}

// The error of r = a / b is rem / b, rem = a - r * b being exact above the floor (no digit
// of it underflows). Rather than divide again, |rem| is compared with the limit times |b|: half
// an ulp of r less 2^-10 of it (r's binade, a power of two, scaled exactly), times |b|, a
// product rounded by at most 2^-53 of itself, which the margin absorbs. A power of two r is
// left out, the spacing below it being half as wide.
[[gnu::target("fma")]] double DivFma(double a, double b)
{
    const double r = a / b;
    const double binade = BinadeOf(r);
    if (binade >= kExactFloor && __builtin_fabs(a) >= kExactFloor && __builtin_fabs(r) != binade &&
        __builtin_fabs(__builtin_fma(-r, b, a)) <= binade * kLimitScale * __builtin_fabs(b)) [[likely]]
        return r;
    return DivLong(a, b);
}

bool HasFma()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("fma");
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

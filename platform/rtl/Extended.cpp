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
    if (Decides(r, __builtin_fma(a, b, -r))) [[likely]]
        return r;
    return MulLong(a, b);
}

// The exact value is r + rem / b, rem = a - r * b being exact where Decides lets r stand
// (the dividend away from the bottom of the range, so no digit of rem underflows). The
// error limit times |b| is rounded, by at most 2^-53 of itself: the limit's margin absorbs it.
[[gnu::target("fma")]] double DivFma(double a, double b)
{
    const double r = a / b;
    const uint64_t bits = std::bit_cast<uint64_t>(r) & kAbs;
    const uint64_t exponent = bits >> 52;
    const uint64_t aExponent = (std::bit_cast<uint64_t>(a) & kAbs) >> 52;
    if (exponent - kLowExponent < kHighExponent - kLowExponent && (bits & kMantissa) != 0 &&
        aExponent - kLowExponent < kHighExponent - kLowExponent) [[likely]] {
        const double rem = __builtin_fma(-r, b, a);
        const double limit = std::bit_cast<double>(ErrorLimitBits(exponent)) * __builtin_fabs(b);
        if (__builtin_fabs(rem) < limit)
            return r;
    }
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

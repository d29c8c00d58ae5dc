// Extended.h - floating arithmetic computed in long double and rounded once to double,
// done in double wherever that gives the very same bits.
//
// The Variant arithmetic computes every floating result but Double + Double in long double
// (64-bit mantissa) and rounds it to double once. That double rounding differs from rounding
// the exact result straight to double only when the exact result lies within half a 64-bit
// ulp (2^-11 of half a double ulp) of a midpoint between two doubles: the long double result
// then lands on the midpoint, and the tie goes to the even neighbour whichever side the exact
// value was on. So these functions compute r = a op b in double together with its exact error
// (Fast2Sum for + and -, a fused multiply-add for the error of * and the remainder of /). When
// the error is safely away from half the spacing of doubles next to r, the exact value is
// farther from the midpoint than any 64-bit rounding reaches, and r is the answer. Otherwise
// they compute in long double, as does the whole of * and / on a processor without fused
// multiply-add (checked once, at the first call); * and / also do below 2^-900, where the
// error of a product or the remainder of a quotient would no longer be exact.
//
// Callers pass values that double holds exactly (Integer, an Int64 within 2^53, Single,
// Double); the result is then bit for bit double(long double(a) op long double(b)),
// Inf, NaN, signed zeros and subnormal results included. Not here: the Variant rules that
// decide which computation an operation uses (Variant.h); Currency and Date operands, which
// are not doubles, keep the long double code.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

namespace rtl_extended {

// r = a op b rounded to double, err its exact error (the exact value is r + err): true when
// r is also what rounding the exact value to 64 bits and then to double gives. Adding the
// error, enlarged by 2^-9, leaves r unchanged only when |err| is below (1 - 2^-10) of half the
// spacing on its side of r (the double format itself knows where that spacing halves, at a
// power of two, and where results turn subnormal or overflow); the band where rounding to 64
// bits first could matter starts at (1 - 2^-11) of it. An Inf or NaN r gives a NaN error,
// which fails the test.
inline bool Decides(double r, double err)
{
    return r + err * (1 + 0x1p-9) == r;
}

// |r| with its mantissa cleared: the power of two that starts r's binade (0 for a zero or a
// subnormal r, Inf for Inf and NaN).
inline double BinadeOf(double r)
{
    return std::bit_cast<double>(std::bit_cast<uint64_t>(r) & 0x7ff0'0000'0000'0000ull);
}

// Half the spacing of doubles in the binade that starts at p, less 2^-10 of it, over p.
constexpr double kLimitScale = 0x1p-53 * (1 - 0x1p-10);

// Below this a product's error or a quotient's remainder may have lost digits.
constexpr double kExactFloor = 0x1p-900;

using Binary = double (*)(double, double);

// The long double computations: what the result must be.
double MulLong(double a, double b);
double DivLong(double a, double b);
// The fused multiply-add forms; call only where the processor has the instruction (HasFma).
double MulFma(double a, double b);
double DivFma(double a, double b);
// True when the processor has fused multiply-add (asked once).
bool HasFma();

// The bodies of MulFma and DivFma, for code compiled with [[gnu::target("fma")]] and run only
// where HasFma() holds: elsewhere __builtin_fma would become a slow library call.
[[gnu::always_inline]] inline double MulWithFma(double a, double b)
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
[[gnu::always_inline]] inline double DivWithFma(double a, double b)
{
    const double r = a / b;
    const double binade = BinadeOf(r);
    if (binade >= kExactFloor && __builtin_fabs(a) >= kExactFloor && __builtin_fabs(r) != binade &&
        __builtin_fabs(__builtin_fma(-r, b, a)) <= binade * kLimitScale * __builtin_fabs(b)) [[likely]]
        return r;
    return DivLong(a, b);
}

// The routines * and / go through; they start as a stub that picks the pair once.
extern std::atomic<Binary> Mul, Div;

// The error of r = a + c rounded to double: Fast2Sum, exact with the operand of the larger
// magnitude first (the order is picked without a branch; a NaN picks either, its error is NaN).
inline double SumError(double a, double c, double r)
{
    const bool aFirst = __builtin_fabs(a) >= __builtin_fabs(c);
    const double big = aFirst ? a : c, small = aFirst ? c : a;
    return small - (r - big);
}

} // namespace rtl_extended

// double(long double(a) + b)
inline double ExtendedAdd(double a, double b)
{
    const double r = a + b;
    if (rtl_extended::Decides(r, rtl_extended::SumError(a, b, r))) [[likely]]
        return r;
    return static_cast<double>(static_cast<long double>(a) + static_cast<long double>(b));
}

// double(long double(a) - b)
inline double ExtendedSub(double a, double b)
{
    const double r = a - b;
    if (rtl_extended::Decides(r, rtl_extended::SumError(a, -b, r))) [[likely]]
        return r;
    return static_cast<double>(static_cast<long double>(a) - static_cast<long double>(b));
}

// double(long double(a) * b)
inline double ExtendedMul(double a, double b)
{
    return rtl_extended::Mul.load(std::memory_order_relaxed)(a, b);
}

// double(long double(a) / b)
inline double ExtendedDiv(double a, double b)
{
    return rtl_extended::Div.load(std::memory_order_relaxed)(a, b);
}

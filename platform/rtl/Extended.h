// Extended.h - floating arithmetic computed in long double and rounded once to double,
// done in double wherever that gives the very same bits.
//
// The Variant arithmetic computes every floating result but Double + Double in long double
// (64-bit mantissa) and rounds it to double once. That double rounding differs from rounding
// the exact result straight to double only when the exact result lies within half a 64-bit
// ulp (2^-64 relative) of a midpoint between two doubles: the long double result then lands
// on the midpoint, and the tie goes to the even neighbour whichever side the exact value was
// on. So these functions compute r = a op b in double together with its exact error (TwoSum
// for + and -, a fused multiply-add for the error of * and the remainder of /). When that
// error is safely away from half an ulp of r, and r is a normal number inside the range
// where the error is exact and is not a power of two (where the ulp changes), r is the
// answer. Otherwise they compute in long double, as does the whole of * and / on a processor
// without fused multiply-add (checked once, at the first call).
//
// Callers pass values that double holds exactly (Integer, an Int64 within 2^53, Single,
// Double); the result is then bit for bit double(long double(a) op long double(b)),
// Inf, NaN, signed zeros and subnormal results included (they all take the long double
// computation). Not here: the Variant rules that decide which computation an operation uses
// (Variant.h); Currency and Date operands, which are not doubles, keep the long double code.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

namespace rtl_extended {

constexpr uint64_t kAbs = 0x7fff'ffff'ffff'ffffull;
constexpr uint64_t kMantissa = 0x000f'ffff'ffff'ffffull;
// Biased exponents of the results decided in double: far enough from the bottom that the
// error of a product or the remainder of a quotient is exact (no underflow), and from the
// top that nothing on the way overflows.
constexpr uint64_t kLowExponent = 128;  // |r| >= 2^-895
constexpr uint64_t kHighExponent = 1900; // |r| < 2^878

// The largest error that still decides r, for r with biased exponent `exponent`:
// half an ulp of r less 2^-10 of it, (2 - 2^-9) * 2^(e-54). The band between it and half an
// ulp is twice as wide as the 2^-12 ulp band where rounding to 64 bits first could matter.
inline uint64_t ErrorLimitBits(uint64_t exponent)
{
    return ((exponent - 54) << 52) | (0x1FFull << 43);
}

// True when r (a rounded double result whose exact value is r + err) is also what rounding
// the exact value to 64 bits and then to double gives.
inline bool Decides(double r, double err)
{
    const uint64_t bits = std::bit_cast<uint64_t>(r) & kAbs;
    const uint64_t exponent = bits >> 52;
    if (exponent - kLowExponent >= kHighExponent - kLowExponent || (bits & kMantissa) == 0)
        return false;
    // An error that overflowed on the way is Inf or NaN, whose bits exceed every limit.
    return (std::bit_cast<uint64_t>(err) & kAbs) < ErrorLimitBits(exponent);
}

using Binary = double (*)(double, double);

// The long double computations: what the result must be.
double MulLong(double a, double b);
double DivLong(double a, double b);
// The fused multiply-add forms; call only where the processor has the instruction (HasFma).
double MulFma(double a, double b);
double DivFma(double a, double b);
bool HasFma();

// The routines * and / go through; they start as a stub that picks the pair once.
extern std::atomic<Binary> Mul, Div;

} // namespace rtl_extended

// double(long double(a) + b)
inline double ExtendedAdd(double a, double b)
{
    const double r = a + b;
    const double bv = r - a, av = r - bv;
    const double err = (a - av) + (b - bv);
    if (rtl_extended::Decides(r, err)) [[likely]]
        return r;
    return static_cast<double>(static_cast<long double>(a) + static_cast<long double>(b));
}

// double(long double(a) - b)
inline double ExtendedSub(double a, double b)
{
    const double r = a - b;
    const double bv = a - r, av = r + bv;
    const double err = (a - av) - (b - bv);
    if (rtl_extended::Decides(r, err)) [[likely]]
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

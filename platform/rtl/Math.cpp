#include "platform/rtl/Math.h"

#include <cmath>

namespace {

void CheckFinite(long double x)
{
    if (std::isnan(x) || std::isinf(x))
        throw EInvalidOp("Invalid floating point operation");
}

int64_t ToInt64(long double r)
{
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (r >= 9223372036854775808.0L || r < -9223372036854775808.0L)
        throw EOverflow("Floating point overflow");
    return static_cast<int64_t>(r);
}

}  // namespace

int64_t Round(long double x)
{
    // llrintl rounds in the default mode too (halves to even) and is several times faster
    // than nearbyintl; it is exact wherever its result fits. NaN fails both comparisons.
    if (x > -9.0e18L && x < 9.0e18L) {
#if defined(__x86_64__) || defined(__i386__)
        // What llrintl does, without the call: the page engine rounds millions of positions.
        long long r;
        __asm__("fistpll %0" : "=m"(r) : "t"(x) : "st");
        return r;
#else
        return std::llrintl(x);
#endif
    }
    CheckFinite(x);
    return ToInt64(std::nearbyintl(x));  // default rounding mode: halves to even
}

int64_t Trunc(long double x)
{
    CheckFinite(x);
    return ToInt64(std::truncl(x));
}

double Int(double x) { return std::trunc(x); }
double Frac(double x) { return x - std::trunc(x); }

long double IntPower(long double base, int exponent)
{
    unsigned n = exponent < 0 ? 0u - unsigned(exponent) : unsigned(exponent);
    long double result = 1, b = base;
    while (n) {
        if (n & 1)
            result *= b;
        b *= b;
        n >>= 1;
    }
    return exponent < 0 ? 1 / result : result;
}

long double Power10(int n) { return IntPower(10.0L, n); }

double RoundTo(double value, int digit)
{
    if (std::isnan(value) || std::isinf(value))
        return value;
    long double factor = IntPower(10.0L, digit);
    long double scaled = static_cast<long double>(value) / factor;
    if (std::fabs(scaled) >= 9.2e18L)
        return value;  // already coarser than the digit asked for
    return static_cast<double>(std::nearbyintl(scaled) * factor);
}

double SimpleRoundTo(double value, int digit)
{
    if (std::isnan(value) || std::isinf(value))
        return value;
    long double factor = IntPower(10.0L, digit);
    long double scaled = static_cast<long double>(value) / factor;
    if (std::fabs(scaled) >= 9.2e18L)
        return value;
    // Halves away from zero on both sides of zero.
    long double r = scaled < 0 ? -std::floor(-scaled + 0.5L) : std::floor(scaled + 0.5L);
    return static_cast<double>(r * factor);
}

double Power(double base, double exponent)
{
    if (exponent == 0)
        return 1;
    if (base == 0 && exponent < 0)
        throw EZeroDivide("Floating point division by zero");
    double r = std::pow(base, exponent);
    if (std::isnan(r) && !std::isnan(base) && !std::isnan(exponent))
        throw EInvalidOp("Invalid floating point operation");
    return r;
}

bool IsNan(double x) { return std::isnan(x); }
bool IsInfinite(double x) { return std::isinf(x); }

bool SameValue(double a, double b, double epsilon)
{
    if (epsilon == 0) {
        double m = std::fmin(std::fabs(a), std::fabs(b)) * 1e-12;
        epsilon = m > 1e-12 ? m : 1e-12;
    }
    return std::fabs(a - b) <= epsilon;
}

// Extended arithmetic: every result must be the long double computation rounded to double,
// bit for bit, whichever way it was found (double with its exact error, fused multiply-add,
// long double).
#include "platform/rtl/Extended.h"

#include "platform/rtl/Variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kMin = std::numeric_limits<double>::min();        // smallest normal
const double kTiny = std::numeric_limits<double>::denorm_min();
const double kMax = std::numeric_limits<double>::max();

uint64_t Bits(double x)
{
    return std::bit_cast<uint64_t>(x);
}

// The rule itself, computed the way the general arithmetic always did.
double Reference(char op, double a, double b)
{
    const long double p = a, q = b;
    switch (op) {
    case '+': return static_cast<double>(p + q);
    case '-': return static_cast<double>(p - q);
    case '*': return static_cast<double>(p * q);
    default: return static_cast<double>(p / q);
    }
}

// Every way this build can compute op: the public function, and for * and / each of the
// pair it chooses from (the fused forms only where the processor has the instruction).
struct Way {
    const char* name;
    double (*fn)(double, double);
};

std::vector<Way> WaysOf(char op)
{
    static const bool fma = rtl_extended::HasFma();
    switch (op) {
    case '+': return {{"ExtendedAdd", ExtendedAdd}};
    case '-': return {{"ExtendedSub", ExtendedSub}};
    case '*': {
        std::vector<Way> w = {{"ExtendedMul", ExtendedMul}, {"MulLong", rtl_extended::MulLong}};
        if (fma)
            w.push_back({"MulFma", rtl_extended::MulFma});
        return w;
    }
    default: {
        std::vector<Way> w = {{"ExtendedDiv", ExtendedDiv}, {"DivLong", rtl_extended::DivLong}};
        if (fma)
            w.push_back({"DivFma", rtl_extended::DivFma});
        return w;
    }
    }
}

// Checks a op b every way; returns the number of mismatches (reported once each).
int Check(char op, double a, double b)
{
    const double want = Reference(op, a, b);
    int bad = 0;
    for (const Way& w : WaysOf(op)) {
        const double got = w.fn(a, b);
        if (Bits(got) != Bits(want)) {
            ADD_FAILURE() << w.name << "(" << std::hexfloat << a << ", " << b << ") = " << got << ", long double gives "
                          << want;
            ++bad;
        }
    }
    return bad;
}

struct PairCase {
    const char* why;
    double a, b;
};

// Ties, values next to midpoints, powers of two, the ends of the range and special values.
const PairCase kHardPairs[] = {
    {"exact tie rounds to even", 1.0, 0x1p-53},
    {"exact tie rounds to even, upwards", 1.0 + 0x1p-52, 0x1p-53},
    {"just above a tie: long double lands on it and rounds to even", 1.0, 0x1p-53 + 0x1p-70},
    {"just below a tie: long double lands on it", 1.0 + 0x1p-52, 0x1p-53 - 0x1p-72},
    {"just above a tie, within 2^-64 relative", 1.0, 0x1p-53 + 0x1p-64},
    {"near a tie, outside the 64-bit band", 1.0, 0x1p-53 + 0x1p-62},
    {"near a tie, at the edge of the margin", 1.0, 0x1p-53 - 0x1p-63},
    {"near a tie, just inside the margin", 1.0, 0x1p-53 - 0x1p-64 - 0x1p-66},
    {"result a power of two from below", 2.0 - 0x1p-52, 0x1p-53},
    {"result just below a power of two", 2.0, -0x1p-54 - 0x1p-75},
    {"result a power of two exactly", 0.5, 0.5},
    {"sum that cancels to zero", 0.1, -0.1},
    {"negative zero and zero", -0.0, 0.0},
    {"two negative zeros", -0.0, -0.0},
    {"zero and a number", 0.0, 3.5},
    {"smallest normals", kMin, kMin},
    {"subnormal and normal", kTiny, kMin},
    {"subnormals", kTiny * 3, kTiny * 5},
    {"tiny quotient into the subnormals", kMin, 3.0},
    {"tiny product into the subnormals", 0x1p-600, 0x1p-480 * 1.1},
    {"product near the bottom of the decided range", 0x1p-447 * 1.3, 0x1p-447 * 1.7},
    {"huge", kMax, 0.5},
    {"huge overflowing", kMax, kMax},
    {"huge with its neighbour", kMax, -std::nextafter(kMax, 0.0)},
    {"huge quotient", kMax, 0x1p-10},
    {"huge and tiny", kMax, kTiny},
    {"exactly at the overflow threshold", kMax, 0x1p970},
    {"just below the overflow threshold: long double rounds onto it", kMax, 0x1p970 - 0x1p918},
    {"below the overflow threshold, outside the 64-bit band", kMax, 0x1p970 - 0x1p962},
    {"product just below the overflow threshold", 0x1.fffffffffffffp511 + 0x1p460, 0x1p512},
    {"quotient onto a power of two from below", 1.0 - 0x1p-60, 1.0 - 0x1p-53},
    {"infinity", kInf, 1.0},
    {"infinities", kInf, -kInf},
    {"NaN", kNaN, 1.0},
    {"NaN on the right", 2.0, kNaN},
    {"zero and infinity", 0.0, kInf},
    {"zero by zero", 0.0, 0.0},
    {"number by zero", 1.0, -0.0},
    {"the float workload's factor", 0.5, 0.999},
    {"the float workload's constant", 1234.5678, 1.1},
    {"a third", 1.0, 3.0},
    {"integer above 2^53 as a double", 9007199254740993.0, 3.0},
    {"2^53 + 2", 9007199254740994.0, 1.0},
    {"products that are exact ties", 134217729.0, 134217727.0},
};

TEST(Extended, HardPairsGiveTheLongDoubleResult)
{
    int bad = 0;
    for (const PairCase& c : kHardPairs) {
        SCOPED_TRACE(c.why);
        for (const char op : {'+', '-', '*', '/'})
            for (const double sa : {1.0, -1.0})
                for (const double sb : {1.0, -1.0}) {
                    bad += Check(op, sa * c.a, sb * c.b);
                    bad += Check(op, sb * c.b, sa * c.a);
                }
    }
    EXPECT_EQ(bad, 0);
}

// Operand pairs whose exact result lies next to a midpoint between two doubles, at a distance
// of `offset` units in the 2^-(54+10) relative place, for all four operations: the cases where
// rounding to 64 bits first decides.
class NearMidpoints {
public:
    explicit NearMidpoints(uint64_t seed) : FRandom(seed) {}

    // a + b: b supplies half an ulp of a, plus or minus a few 2^-64-relative units.
    std::pair<double, double> Sum()
    {
        const double a = Mantissa() * std::ldexp(1.0, Exponent());
        int e;
        std::frexp(a, &e);
        const double half = std::ldexp(1.0, e - 54);
        const double b = half + static_cast<double>(Offset()) * std::ldexp(1.0, e - 54 - Spread());
        return {a, Sign() * b};
    }

    // a * b for integers a (40 bits, odd) and b (below 2^40) whose product's low bits put
    // it next to a midpoint: b = t / a modulo 2^40 for the wanted low bits t.
    std::pair<double, double> Product()
    {
        for (;;) {
            const uint64_t a = (FRandom() & ((uint64_t(1) << 40) - 1)) | (uint64_t(1) << 39) | 1;
            const int length = 79 + static_cast<int>(FRandom() & 1); // the product's bit length
            const int cut = length - 53;                               // bits below the double
            const uint64_t low = (uint64_t(1) << (cut - 1)) + static_cast<uint64_t>(Offset());
            const uint64_t t = (FRandom() << cut | (low & ((uint64_t(1) << cut) - 1))) & ((uint64_t(1) << 40) - 1);
            const uint64_t b = (t * Inverse(a)) & ((uint64_t(1) << 40) - 1);
            if (b == 0 || BitLength(static_cast<unsigned __int128>(a) * b) != length)
                continue;
            const int ea = Exponent() / 2, eb = Exponent() / 2;
            return {Sign() * std::ldexp(static_cast<double>(a), ea), Sign() * std::ldexp(static_cast<double>(b), eb)};
        }
    }

    // a / b with b odd (26 bits) and a = (b * m + c) / 2^27 for an odd m of 54 bits: the
    // quotient is m / 2^27, a midpoint between doubles, plus c / (b * 2^27).
    std::pair<double, double> Quotient()
    {
        for (;;) {
            const uint64_t b = (FRandom() & ((uint64_t(1) << 26) - 1)) | (uint64_t(1) << 25) | 1;
            int64_t c = Offset() | 1;
            const uint64_t mask27 = (uint64_t(1) << 27) - 1;
            // m = -c / b modulo 2^27, then lifted into [2^53, 2^54)
            const uint64_t m0 = (static_cast<uint64_t>(-c) * Inverse(b)) & mask27;
            const uint64_t m = (uint64_t(1) << 53) | (FRandom() & ((uint64_t(1) << 53) - 1) & ~mask27) | m0;
            const unsigned __int128 num = static_cast<unsigned __int128>(b) * m + static_cast<__int128>(c);
            if ((num & mask27) != 0)
                continue;
            const unsigned __int128 a = num >> 27;
            if (a >> 53)
                continue;
            const int ea = Exponent() / 2, eb = Exponent() / 2;
            return {Sign() * std::ldexp(static_cast<double>(static_cast<uint64_t>(a)), ea),
                    Sign() * std::ldexp(static_cast<double>(b), eb)};
        }
    }

private:
    static int BitLength(unsigned __int128 x)
    {
        const uint64_t high = static_cast<uint64_t>(x >> 64);
        return high ? 128 - __builtin_clzll(high) : 64 - __builtin_clzll(static_cast<uint64_t>(x));
    }
    // 1/a modulo 2^64 for odd a (Newton's iteration doubles the correct bits each step).
    static uint64_t Inverse(uint64_t a)
    {
        uint64_t x = a;
        for (int i = 0; i < 6; ++i)
            x *= 2 - a * x;
        return x;
    }
    double Mantissa() { return 1.0 + static_cast<double>(FRandom() >> 12) * 0x1p-52; }
    double Sign() { return FRandom() & 1 ? -1.0 : 1.0; }
    // Mostly ordinary magnitudes, sometimes the ends of the range.
    int Exponent()
    {
        const uint64_t r = FRandom();
        if (r % 8 == 0)
            return static_cast<int>(r >> 8 & 2047) - 1100;
        return static_cast<int>(r >> 8 & 127) - 64;
    }
    // 0 (the midpoint itself), a few units either way, or up to the margin and beyond.
    int64_t Offset()
    {
        const uint64_t r = FRandom();
        const int64_t span = int64_t(1) << (r % 19);
        return static_cast<int64_t>(r >> 20) % span * (r & (1 << 5) ? 1 : -1);
    }
    int Spread() { return 6 + static_cast<int>(FRandom() % 8); }

    std::mt19937_64 FRandom;
};

// Random bit patterns (any exponent, Inf and NaN among them), ordinary decimals, integers
// and values near one another.
class RandomPairs {
public:
    explicit RandomPairs(uint64_t seed) : FRandom(seed) {}
    std::pair<double, double> Next()
    {
        const double a = Value();
        switch (FRandom() % 4) {
        case 0: return {a, std::nextafter(a, FRandom() & 1 ? kInf : -kInf)}; // neighbours cancel
        default: return {a, Value()};
        }
    }

private:
    double Value()
    {
        const uint64_t r = FRandom();
        switch (r % 5) {
        case 0: return std::bit_cast<double>(FRandom());
        case 1: return static_cast<double>(static_cast<int32_t>(FRandom()));
        case 2: return static_cast<double>(static_cast<int64_t>(FRandom() >> (r >> 8 & 63))) / 1000.0;
        case 3: return std::ldexp(static_cast<double>(FRandom() >> 11), static_cast<int>(r >> 8 & 127) - 100);
        default: return static_cast<double>(static_cast<int64_t>(FRandom() % 200000) - 100000) / 100.0;
        }
    }
    std::mt19937_64 FRandom;
};

// SKLAD_EXTENDED_PAIRS raises the count for a long run by hand.
int PairCount(int normal)
{
    const char* env = std::getenv("SKLAD_EXTENDED_PAIRS");
    return env ? std::atoi(env) : normal;
}

TEST(Extended, OperandsNextToMidpointsGiveTheLongDoubleResult)
{
    NearMidpoints g(20261207);
    const int n = PairCount(200000);
    int bad = 0;
    for (int i = 0; i < n && bad < 10; ++i) {
        auto [sa, sb] = g.Sum();
        bad += Check('+', sa, sb) + Check('-', sa, -sb);
        auto [pa, pb] = g.Product();
        bad += Check('*', pa, pb);
        auto [qa, qb] = g.Quotient();
        bad += Check('/', qa, qb);
    }
    EXPECT_EQ(bad, 0);
}

TEST(Extended, RandomOperandsGiveTheLongDoubleResult)
{
    RandomPairs g(7);
    const int n = PairCount(200000);
    int bad = 0;
    for (int i = 0; i < n && bad < 10; ++i) {
        auto [a, b] = g.Next();
        for (const char op : {'+', '-', '*', '/'})
            bad += Check(op, a, b);
    }
    EXPECT_EQ(bad, 0);
}

// Through the Variant operators: operands double holds exactly take Extended.h, the others
// (Int64 beyond 2^53, Currency, Single with Single, Date) keep their long double code; each
// gives what the long double computation gives.
TEST(Extended, VariantOperatorsKeepTheirResults)
{
    const long long big = (1LL << 53) + 1;
    const auto D = [](double x) { return static_cast<long double>(x); };
    struct Case {
        const char* why;
        Variant a, b;
        long double p, q; // the operands as the long double computation sees them
    };
    const Case cases[] = {
        {"Double with Double", Variant(0.1), Variant(0.7), D(0.1), D(0.7)},
        {"Integer with Double", Variant(7), Variant(0.1), D(7.0), D(0.1)},
        {"Int64 within 2^53 with Double", Variant(static_cast<long long>(1LL << 53)), Variant(0.3), D(9007199254740992.0), D(0.3)},
        {"Int64 beyond 2^53 with Double", Variant(big), Variant(0.3), static_cast<long double>(big), D(0.3)},
        {"Int64 beyond 2^53 with Integer", Variant(big), Variant(3), static_cast<long double>(big), D(3.0)},
        {"near a tie", Variant(1.0), Variant(0x1p-53 + 0x1p-70), D(1.0), static_cast<long double>(0x1p-53 + 0x1p-70)},
        {"Single with Double", Variant(0.1f), Variant(0.3), static_cast<long double>(0.1f), D(0.3)},
        {"Currency with Double", Variant(Currency::FromScaled(12345)), Variant(0.3), D(12345.0) / D(10000.0), D(0.3)},
        {"string with Double", Variant("3"), Variant(0.1), D(3.0), D(0.1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Bits(VarSub(c.a, c.b).AsDouble()), Bits(static_cast<double>(c.p - c.q)));
        EXPECT_EQ(Bits(VarMul(c.a, c.b).AsDouble()), Bits(static_cast<double>(c.p * c.q)));
        EXPECT_EQ(Bits(VarDiv(c.a, c.b).AsDouble()), Bits(static_cast<double>(c.p / c.q)));
        if (c.a.VType() != varDouble || c.b.VType() != varDouble) { // Double + Double adds in double
            EXPECT_EQ(Bits((c.a + c.b).AsDouble()), Bits(static_cast<double>(c.p + c.q)));
        }
        EXPECT_EQ(VarType(VarDiv(c.a, c.b)), varDouble);
    }
}

} // namespace

// FastPaths.h - inline arithmetic and comparison for the value kinds scripts compute with
// most (Integer, Int64, Double), computing exactly as the general Variant operations do.
//
// Each Try* function handles its operands only when both are Integer, Int64 or Double and
// returns false otherwise (and for the cases it leaves to the general path: an integer
// overflow, a zero divisor), so the caller then calls the general operation. What they
// compute is the general rule, not an approximation of it:
//   - Double + Double is added in double, as the Variant's own inline addition does;
//   - every other floating result (- * / on Doubles, an Integer or Int64 with a Double, /
//     on integers) is computed in long double and rounded once to double, as the general
//     arithmetic does. The two precisions are kept as they were: unifying them would change
//     the last bit of stored results;
//   - Integer with Integer gives Integer, and with Int64 on either side Int64; a result
//     that overflows 64 bits goes to the general path (which gives a Double);
//   - div and mod of Integer and Int64 values (TryIntDivMod) give Int64 when either side is
//     one, else Integer; a zero divisor and -1 go to the general path;
//   - comparisons of integers are exact, anything with a Double compares in long double
//     (exact for these kinds); NaN is unordered, so only <> is true for it.
#pragma once

#include "platform/rtl/Variant.h"

namespace script_fast {

inline bool IsNum(TVarType t)
{
    return t == varInteger || t == varInt64 || t == varDouble;
}

inline bool IsInt(TVarType t)
{
    return t == varInteger || t == varInt64;
}

// div (mod when isMod) of two Integer or Int64 values as the general operation computes it:
// the result is Int64 when either side is, else Integer. A zero divisor and -1 (whose
// quotient may leave the range) go to the general path.
inline bool TryIntDivMod(bool isMod, const Variant& a, const Variant& b, Variant& r)
{
    const int64_t x = a.VType() == varInteger ? a.RawInteger() : a.RawInt64();
    const int64_t y = b.VType() == varInteger ? b.RawInteger() : b.RawInt64();
    if (y == 0 || y == -1)
        return false;
    const int64_t q = isMod ? x % y : x / y;
    if (a.VType() == varInt64 || b.VType() == varInt64)
        r = Variant(static_cast<long long>(q));
    else
        r = Variant(static_cast<int32_t>(q));
    return true;
}

inline long double AsLong(const Variant& v)
{
    switch (v.VType()) {
    case varInteger: return static_cast<long double>(v.RawInteger());
    case varInt64: return static_cast<long double>(v.RawInt64());
    default: return static_cast<long double>(v.RawDouble());
    }
}

inline int64_t AsInt(const Variant& v)
{
    return v.VType() == varInteger ? v.RawInteger() : v.RawInt64();
}

// The value of an Integer Variant without the general conversion.
inline int32_t ToInt32(const Variant& v)
{
    if (v.VType() == varInteger)
        return v.RawInteger();
    if (v.VType() == varInt64 && v.RawInt64() >= INT32_MIN && v.RawInt64() <= INT32_MAX)
        return static_cast<int32_t>(v.RawInt64());
    return v.AsInteger();
}

// + - * of two Integer-typed values: 32 bits that wrap, as the Integer type does.
inline int32_t WrapArith(char op, int32_t x, int32_t y)
{
    const uint32_t a = static_cast<uint32_t>(x), b = static_cast<uint32_t>(y);
    return static_cast<int32_t>(op == '+' ? a + b : op == '-' ? a - b : a * b);
}

// The value of a Boolean Variant without the general conversion (a Boolean Variant keeps
// the rest of its payload zero, so its integer view is 0 or 1).
inline bool ToBool(const Variant& v)
{
    return v.VType() == varBoolean ? v.RawInteger() != 0 : v.AsBoolean();
}

template <char Op>
inline long double Apply(long double p, long double q)
{
    if constexpr (Op == '+')
        return p + q;
    else if constexpr (Op == '-')
        return p - q;
    else if constexpr (Op == '*')
        return p * q;
    else
        return p / q;
}

// Op is '+', '-', '*' or '/'.
template <char Op>
[[gnu::always_inline]] inline bool TryArith(const Variant& a, const Variant& b, Variant& r)
{
    const TVarType ta = a.VType(), tb = b.VType();
    if (ta == varDouble && tb == varDouble) {
        if constexpr (Op == '+') {
            r = Variant(a.RawDouble() + b.RawDouble());
        } else {
            const long double q = b.RawDouble();
            if (Op == '/' && q == 0)
                return false; // the general path raises the right error
            r = Variant(static_cast<double>(Apply<Op>(static_cast<long double>(a.RawDouble()), q)));
        }
        return true;
    }
    if (!IsNum(ta) || !IsNum(tb))
        return false;
    if (Op == '/' || ta == varDouble || tb == varDouble) {
        const long double p = AsLong(a), q = AsLong(b);
        if (Op == '/' && q == 0)
            return false;
        r = Variant(static_cast<double>(Apply<Op>(p, q)));
        return true;
    }
    if constexpr (Op != '/') {
        const int64_t x = AsInt(a), y = AsInt(b);
        int64_t v;
        bool overflow;
        if constexpr (Op == '+')
            overflow = __builtin_add_overflow(x, y, &v);
        else if constexpr (Op == '-')
            overflow = __builtin_sub_overflow(x, y, &v);
        else
            overflow = __builtin_mul_overflow(x, y, &v);
        if (overflow)
            return false;
        if (ta == varInt64 || tb == varInt64 || v < INT32_MIN || v > INT32_MAX)
            r = Variant(static_cast<long long>(v));
        else
            r = Variant(static_cast<int32_t>(v));
    }
    return true;
}

inline bool TryArith(char op, const Variant& a, const Variant& b, Variant& r)
{
    switch (op) {
    case '+': return TryArith<'+'>(a, b, r);
    case '-': return TryArith<'-'>(a, b, r);
    case '*': return TryArith<'*'>(a, b, r);
    default: return TryArith<'/'>(a, b, r);
    }
}

enum class Cmp { Lt, Le, Gt, Ge, Eq, Ne };

[[gnu::always_inline]] inline bool TryCompare(Cmp c, const Variant& a, const Variant& b, bool& r)
{
    const TVarType ta = a.VType(), tb = b.VType();
    if (!IsNum(ta) || !IsNum(tb))
        return false;
    if (ta != varDouble && tb != varDouble) {
        const int64_t x = AsInt(a), y = AsInt(b);
        switch (c) {
        case Cmp::Lt: r = x < y; break;
        case Cmp::Le: r = x <= y; break;
        case Cmp::Gt: r = x > y; break;
        case Cmp::Ge: r = x >= y; break;
        case Cmp::Eq: r = x == y; break;
        case Cmp::Ne: r = x != y; break;
        }
        return true;
    }
    const long double x = AsLong(a), y = AsLong(b);
    switch (c) {
    case Cmp::Lt: r = x < y; break;
    case Cmp::Le: r = x <= y; break;
    case Cmp::Gt: r = x > y; break;
    case Cmp::Ge: r = x >= y; break;
    case Cmp::Eq: r = x == y; break;
    case Cmp::Ne: r = !(x == y); break;
    }
    return true;
}

} // namespace script_fast

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
//     the last bit of stored results. Operands that double holds exactly (all but an Int64
//     beyond 2^53) go through Extended.h, which gives that long double result in double
//     arithmetic where it can and computes in long double where it cannot;
//   - Integer with Integer gives Integer, and with Int64 on either side Int64; a result
//     that overflows 64 bits goes to the general path (which gives a Double);
//   - div and mod of Integer and Int64 values (TryIntDivMod) give Int64 when either side is
//     one, else Integer; a zero divisor and -1 go to the general path;
//   - comparisons of integers are exact, anything with a Double compares in long double
//     (exact for these kinds); NaN is unordered, so only <> is true for it.
//
// The functions are templates over the value type: Variant, or Num, the plain number the
// expression trees compute in between (Expression.h, number paths). One body serves both,
// so a value computed without a Variant is the one the Variant path gives.
#pragma once

#include "platform/rtl/Extended.h"
#include "platform/rtl/Variant.h"

#include <cmath>

namespace script_fast {

// A number (or a comparison's Boolean) held without a Variant: what the inline paths
// compute in between, so a tree of arithmetic over numbers makes no Variant until its
// result is stored. The accessors read as Variant's raw ones do.
struct Num {
    TVarType Type = varEmpty;
    int64_t L = 0; // Integer (sign-extended), Int64, Boolean (0 or 1)
    double D = 0;

    Num() = default;
    explicit Num(int32_t v) : Type(varInteger), L(v) {}
    explicit Num(long long v) : Type(varInt64), L(v) {}
    explicit Num(double v) : Type(varDouble), D(v) {}
    static Num Bool(bool v)
    {
        Num n;
        n.Type = varBoolean;
        n.L = v ? 1 : 0;
        return n;
    }
    TVarType VType() const { return Type; }
    int32_t RawInteger() const { return static_cast<int32_t>(L); }
    int64_t RawInt64() const { return L; }
    double RawDouble() const { return D; }
    Variant ToVariant() const
    {
        switch (Type) {
        case varInteger: return Variant(static_cast<int32_t>(L));
        case varInt64: return Variant(static_cast<long long>(L));
        case varDouble: return Variant(D);
        default: return Variant(L != 0);
        }
    }
    // An Integer, Int64 or Double value; false for any other kind.
    [[gnu::always_inline]] static bool From(const Variant& v, Num& n)
    {
        switch (v.VType()) {
        case varInteger: n.Type = varInteger; n.L = v.RawInteger(); return true;
        case varInt64: n.Type = varInt64; n.L = v.RawInt64(); return true;
        case varDouble: n.Type = varDouble; n.D = v.RawDouble(); return true;
        default: return false;
        }
    }
    // An Integer, or an Int64 inside 32 bits.
    static bool FromInt32(const Variant& v, int32_t& r)
    {
        if (v.VType() == varInteger) {
            r = v.RawInteger();
            return true;
        }
        if (v.VType() == varInt64 && v.RawInt64() >= INT32_MIN && v.RawInt64() <= INT32_MAX) {
            r = static_cast<int32_t>(v.RawInt64());
            return true;
        }
        return false;
    }
    // The value as ToInt32 gives it without the general conversion: false when that
    // conversion would be needed.
    bool ToInt32(int32_t& r) const
    {
        if (Type == varInteger || (Type == varInt64 && L >= INT32_MIN && L <= INT32_MAX)) {
            r = static_cast<int32_t>(L);
            return true;
        }
        return false;
    }
};

[[gnu::always_inline]] inline bool IsNum(TVarType t)
{
    return t == varInteger || t == varInt64 || t == varDouble;
}

[[gnu::always_inline]] inline bool IsInt(TVarType t)
{
    return t == varInteger || t == varInt64;
}

// div (mod when isMod) of two Integer or Int64 values (x and y their values, ta and tb their
// kinds) as the general operation computes it: the result is Int64 when either side is,
// else Integer. A zero divisor and -1 (whose quotient may leave the range) go to the general
// path. I is int64_t, or int32_t for values known to fit, which divide sooner to the same
// quotient.
template <class V, class I>
[[gnu::always_inline]] inline bool IntDivMod(bool isMod, TVarType ta, I x, TVarType tb, I y, V& r)
{
    if (y == 0 || y == -1)
        return false;
    const int64_t q = isMod ? x % y : x / y;
    if (ta == varInt64 || tb == varInt64)
        r = V(static_cast<long long>(q));
    else
        r = V(static_cast<int32_t>(q));
    return true;
}

// The same of two Integer or Int64 values.
template <class V>
inline bool TryIntDivMod(bool isMod, const V& a, const V& b, V& r)
{
    const int64_t x = a.VType() == varInteger ? a.RawInteger() : a.RawInt64();
    const int64_t y = b.VType() == varInteger ? b.RawInteger() : b.RawInt64();
    return IntDivMod(isMod, a.VType(), x, b.VType(), y, r);
}

template <class V>
[[gnu::always_inline]] inline long double AsLong(const V& v)
{
    switch (v.VType()) {
    case varInteger: return static_cast<long double>(v.RawInteger());
    case varInt64: return static_cast<long double>(v.RawInt64());
    default: return static_cast<long double>(v.RawDouble());
    }
}

template <class V>
[[gnu::always_inline]] inline int64_t AsInt(const V& v)
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

// The operand as a double when that holds it exactly: an Integer or a Double always, an
// Int64 within 2^53.
template <class V>
inline bool AsExactDouble(const V& v, double& d)
{
    switch (v.VType()) {
    case varInteger: d = v.RawInteger(); return true;
    case varInt64: {
        const int64_t x = v.RawInt64();
        d = static_cast<double>(x);
        return x >= -(int64_t(1) << 53) && x <= (int64_t(1) << 53);
    }
    default: d = v.RawDouble(); return true;
    }
}

// double(long double(p) Op q), for p and q that double holds exactly. Fma: the caller is
// compiled with [[gnu::target("fma")]] and runs only where the processor has it, so * and /
// use the instruction inline.
template <char Op, bool Fma = false>
[[gnu::always_inline]] inline double ApplyExtended(double p, double q)
{
    if constexpr (Op == '+')
        return ExtendedAdd(p, q);
    else if constexpr (Op == '-')
        return ExtendedSub(p, q);
    else if constexpr (Op == '*')
        return Fma ? rtl_extended::MulWithFma(p, q) : ExtendedMul(p, q);
    else
        return Fma ? rtl_extended::DivWithFma(p, q) : ExtendedDiv(p, q);
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

// + - * of two Integer or Int64 values (x and y their values, ta and tb their kinds): Int64
// when either is one or the result leaves 32 bits, else Integer; false on a 64-bit overflow.
template <char Op, class V>
[[gnu::always_inline]] inline bool TryIntArith(TVarType ta, int64_t x, TVarType tb, int64_t y, V& r)
{
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
        r = V(static_cast<long long>(v));
    else
        r = V(static_cast<int32_t>(v));
    return true;
}

// The operands of a floating operation as doubles, when double holds both exactly and
// Extended.h computes the operation: a Double with a Double, an Integer or an Int64 within
// 2^53, and under / two such integers as well. False for every other pair.
template <class V>
[[gnu::always_inline]] inline bool ExactInteger(const V& v, double& d)
{
    if (v.VType() == varInteger) {
        d = v.RawInteger();
        return true;
    }
    if (v.VType() == varInt64 && v.RawInt64() >= -(int64_t(1) << 53) && v.RawInt64() <= (int64_t(1) << 53)) {
        d = static_cast<double>(v.RawInt64());
        return true;
    }
    return false;
}

template <char Op, class A, class B>
[[gnu::always_inline]] inline bool ExactFloatOperands(const A& a, const B& b, double& x, double& y)
{
    const TVarType ta = a.VType(), tb = b.VType();
    if (ta == varDouble)
        x = a.RawDouble();
    else if ((tb != varDouble && Op != '/') || !ExactInteger(a, x))
        return false;
    if (tb == varDouble)
        y = b.RawDouble();
    else if (!ExactInteger(b, y))
        return false;
    return true;
}

// Op is '+', '-', '*' or '/'. V is Variant or Num: one body, so both compute alike. Fma as
// for ApplyExtended.
template <char Op, bool Fma = false, class A, class B, class V>
[[gnu::always_inline]] inline bool TryArith(const A& a, const B& b, V& r)
{
    const TVarType ta = a.VType(), tb = b.VType();
    // A result that leaves double's range goes to the general path, which raises the overflow.
    if (Op == '+' && ta == varDouble && tb == varDouble) {
        const double d = a.RawDouble() + b.RawDouble();
        if (!std::isfinite(d))
            return false;
        r = V(d);
        return true;
    }
    if (double x, y; ExactFloatOperands<Op>(a, b, x, y)) {
        if (Op == '/' && y == 0)
            return false; // the general path raises the right error
        const double d = ApplyExtended<Op, Fma>(x, y);
        if (!std::isfinite(d))
            return false;
        r = V(d);
        return true;
    }
    if (!IsNum(ta) || !IsNum(tb))
        return false;
    if (Op == '/' || ta == varDouble || tb == varDouble) {
        double x, y;
        if (AsExactDouble(a, x) && AsExactDouble(b, y)) {
            if (Op == '/' && y == 0)
                return false;
            const double d = ApplyExtended<Op, Fma>(x, y);
            if (!std::isfinite(d))
                return false;
            r = V(d);
            return true;
        }
        const long double p = AsLong(a), q = AsLong(b);
        if (Op == '/' && q == 0)
            return false;
        const double d = static_cast<double>(Apply<Op>(p, q));
        if (!std::isfinite(d))
            return false;
        r = V(d);
        return true;
    }
    if constexpr (Op != '/')
        return TryIntArith<Op>(ta, AsInt(a), tb, AsInt(b), r);
    return true;
}

template <class V>
[[gnu::always_inline]] inline bool TryArith(char op, const V& a, const V& b, V& r)
{
    switch (op) {
    case '+': return TryArith<'+'>(a, b, r);
    case '-': return TryArith<'-'>(a, b, r);
    case '*': return TryArith<'*'>(a, b, r);
    default: return TryArith<'/'>(a, b, r);
    }
}

enum class Cmp { Lt, Le, Gt, Ge, Eq, Ne };

[[gnu::always_inline]] inline bool CompareInts(Cmp c, int64_t x, int64_t y)
{
    switch (c) {
    case Cmp::Lt: return x < y;
    case Cmp::Le: return x <= y;
    case Cmp::Gt: return x > y;
    case Cmp::Ge: return x >= y;
    case Cmp::Eq: return x == y;
    default: return x != y;
    }
}

template <class V>
[[gnu::always_inline]] inline bool TryCompare(Cmp c, const V& a, const V& b, bool& r)
{
    const TVarType ta = a.VType(), tb = b.VType();
    if (IsInt(ta) && IsInt(tb)) {
        r = CompareInts(c, AsInt(a), AsInt(b));
        return true;
    }
    if (!IsNum(ta) || !IsNum(tb))
        return false;
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

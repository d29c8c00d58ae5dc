// Variant operators and comparison. The rules are in Variant.h; the order of the checks
// below is the order of the table there.
#include "platform/rtl/Variant.h"

#include "platform/rtl/Extended.h"
#include "platform/rtl/VariantImpl.h"

#include <cmath>

using namespace rtl_variant;

namespace {

enum class Kind { Int, Int64, Currency, Single, Double, Date };

enum class Op { Add, Sub, Mul };

bool IsOpaque(TVarType t)
{
    return (t & varArray) || t == varDispatch || t == varUnknown || t == varError;
}

// An operand reduced to a number: its kind and value in the matching field.
struct Num {
    Kind kind;
    int64_t i = 0;     // Int, Int64; Currency scaled by 10000
    long double f = 0;  // Single, Double, Date
};

Num ToNum(const Variant& v)
{
    const auto& d = VariantAccess::Data(v);
    Num n{Kind::Int};
    switch (v.VType()) {
    case varEmpty: break;
    case varBoolean: n.i = d.VBoolean ? -1 : 0; break;
    case varSmallint: n.i = d.VSmallint; break;
    case varInteger: n.i = d.VInteger; break;
    case varShortInt: n.i = d.VShortInt; break;
    case varByte: n.i = d.VByte; break;
    case varWord: n.i = d.VWord; break;
    case varLongWord: n.i = d.VLongWord; break;
    case varInt64: n.kind = Kind::Int64; n.i = d.VInt64; break;
    case varCurrency: n.kind = Kind::Currency; n.i = d.VCurrency; break;
    case varSingle: n.kind = Kind::Single; n.f = d.VSingle; break;
    case varDouble: n.kind = Kind::Double; n.f = d.VDouble; break;
    case varDate: n.kind = Kind::Date; n.f = d.VDate; break;
    case varString:
    case varOleStr: n.kind = Kind::Double; n.f = v.AsDouble(); break;
    default: InvalidOp();
    }
    return n;
}

long double AsFloat(const Num& n)
{
    switch (n.kind) {
    case Kind::Int:
    case Kind::Int64: return static_cast<long double>(n.i);
    case Kind::Currency: return static_cast<long double>(n.i) / 10000.0L;
    default: return n.f;
    }
}

// The value as a double when that holds it exactly: not Currency (a scaled integer), nor an
// Int64 beyond 2^53.
bool AsExactDouble(const Num& n, double& d)
{
    switch (n.kind) {
    case Kind::Int: d = static_cast<double>(n.i); return true;
    case Kind::Int64:
        d = static_cast<double>(n.i);
        return n.i >= -(int64_t(1) << 53) && n.i <= (int64_t(1) << 53);
    case Kind::Currency: return false;
    default: d = static_cast<double>(n.f); return true;
    }
}

Variant IntResult(int64_t r, bool wide)
{
    if (!wide && r >= INT32_MIN && r <= INT32_MAX)
        return Variant(int32_t(r));
    return Variant((long long)r);
}

// A floating result out of the range of its type, from operands within it, is an overflow, as
// on the Windows class library's Variant (its floating unit raises it); infinities and NaNs
// that came in go on as they are.
void CheckFloat(long double r, long double p, long double q)
{
    if (!std::isfinite(r) && std::isfinite(p) && std::isfinite(q))
        throw EOverflow("Floating point overflow");
}

Variant FloatResult(long double r, Kind kind)
{
    if (kind == Kind::Single)
        return Variant(float(r));
    if (kind == Kind::Date)
        return Variant(TDateTime(double(r)));
    return Variant(double(r));
}

Variant Arith(const Variant& a, const Variant& b, Op op)
{
    TVarType ta = a.VType(), tb = b.VType();
    if (IsOpaque(ta) || IsOpaque(tb))
        InvalidOp();
    if (ta == varNull || tb == varNull)
        return Variant::Null();
    if (op == Op::Add) {
        bool sa = VarIsStr(a), sb = VarIsStr(b);
        if ((sa && (sb || tb == varEmpty)) || (sb && ta == varEmpty))
            return Variant(VarToStr(a) + VarToStr(b));
    }
    Num x = ToNum(a), y = ToNum(b);
    // Dates: one date with a number moves the date; anything else is plain arithmetic.
    if (x.kind == Kind::Date || y.kind == Kind::Date) {
        long double p = AsFloat(x), q = AsFloat(y);
        bool oneDate = (x.kind == Kind::Date) != (y.kind == Kind::Date);
        long double r = op == Op::Add ? p + q : op == Op::Sub ? p - q : p * q;
        Kind k = (op != Op::Mul && oneDate && (op == Op::Add || x.kind == Kind::Date)) ? Kind::Date : Kind::Double;
        CheckFloat(double(r), p, q);
        return FloatResult(r, k);
    }
    if (x.kind == Kind::Single || x.kind == Kind::Double || y.kind == Kind::Single || y.kind == Kind::Double) {
        bool single = x.kind == Kind::Single && y.kind == Kind::Single;
        double dp, dq;
        if (!single && AsExactDouble(x, dp) && AsExactDouble(y, dq)) {
            const double r = op == Op::Add   ? ExtendedAdd(dp, dq)
                             : op == Op::Sub ? ExtendedSub(dp, dq)
                                             : ExtendedMul(dp, dq);
            CheckFloat(r, dp, dq);
            return Variant(r);
        }
        long double p = AsFloat(x), q = AsFloat(y);
        long double r = op == Op::Add ? p + q : op == Op::Sub ? p - q : p * q;
        CheckFloat(single ? static_cast<long double>(float(r)) : static_cast<long double>(double(r)), p, q);
        return FloatResult(single ? static_cast<long double>(float(r)) : static_cast<long double>(double(r)),
                           single ? Kind::Single : Kind::Double);
    }
    if (x.kind == Kind::Currency || y.kind == Kind::Currency) {
        // Scaled integers: a plain integer is scaled up first; products scale back down.
        __int128 p = x.kind == Kind::Currency ? __int128(x.i) : __int128(x.i) * 10000;
        __int128 q = y.kind == Kind::Currency ? __int128(y.i) : __int128(y.i) * 10000;
        __int128 r;
        if (op == Op::Add)
            r = p + q;
        else if (op == Op::Sub)
            r = p - q;
        else {
            __int128 prod = p * q;  // scaled by 10^8; round halves to even back to 10^4
            __int128 quo = prod / 10000, rem = prod % 10000;
            if (rem > 5000 || (rem == 5000 && (quo & 1)))
                ++quo;
            else if (rem < -5000 || (rem == -5000 && (quo & 1)))
                --quo;
            r = quo;
        }
        if (r > INT64_MAX || r < INT64_MIN)
            OverflowError(varCurrency, varCurrency);
        return Variant(Currency::FromScaled(int64_t(r)));
    }
    bool wide = x.kind == Kind::Int64 || y.kind == Kind::Int64;
    int64_t r;
    bool overflow = op == Op::Add   ? __builtin_add_overflow(x.i, y.i, &r)
                    : op == Op::Sub ? __builtin_sub_overflow(x.i, y.i, &r)
                                    : __builtin_mul_overflow(x.i, y.i, &r);
    if (overflow) {
        long double p = static_cast<long double>(x.i), q = static_cast<long double>(y.i);
        return Variant(double(op == Op::Add ? p + q : op == Op::Sub ? p - q : p * q));
    }
    return IntResult(r, wide);
}

// Both operands as 64-bit integers for div, mod and the bit operators.
void IntOperands(const Variant& a, const Variant& b, int64_t& x, int64_t& y, bool& wide)
{
    if (IsOpaque(a.VType()) || IsOpaque(b.VType()))
        InvalidOp();
    x = a.AsInt64();
    y = b.AsInt64();
    wide = a.VType() == varInt64 || b.VType() == varInt64 || x < INT32_MIN || x > INT32_MAX || y < INT32_MIN ||
           y > INT32_MAX;
}

enum class Logic { And, Or, Xor };

Variant LogicOp(const Variant& a, const Variant& b, Logic op)
{
    TVarType ta = a.VType(), tb = b.VType();
    if (IsOpaque(ta) || IsOpaque(tb))
        InvalidOp();
    if (ta == varNull || tb == varNull)
        return Variant::Null();
    bool la = ta == varBoolean, lb = tb == varBoolean;
    bool logical = (la && lb) || (la && (VarIsStr(b) || tb == varEmpty)) || (lb && (VarIsStr(a) || ta == varEmpty));
    if (logical && !(VarIsStr(a) && !la && [&] { int64_t t; return TryStrToInt64(*a.StrPtr(), t); }()) &&
        !(VarIsStr(b) && !lb && [&] { int64_t t; return TryStrToInt64(*b.StrPtr(), t); }())) {
        bool p = a.AsBoolean(), q = b.AsBoolean();
        return Variant(op == Logic::And ? (p && q) : op == Logic::Or ? (p || q) : (p != q));
    }
    int64_t x, y;
    bool wide;
    IntOperands(a, b, x, y, wide);
    int64_t r = op == Logic::And ? (x & y) : op == Logic::Or ? (x | y) : (x ^ y);
    return IntResult(r, wide);
}

}  // namespace

namespace detail {
Variant VarAddSlow(const Variant& a, const Variant& b) { return Arith(a, b, Op::Add); }
}  // namespace detail

Variant VarAdd(const Variant& a, const Variant& b) { return a + b; }
Variant VarSub(const Variant& a, const Variant& b) { return Arith(a, b, Op::Sub); }
Variant VarMul(const Variant& a, const Variant& b) { return Arith(a, b, Op::Mul); }

Variant VarDiv(const Variant& a, const Variant& b)
{
    TVarType ta = a.VType(), tb = b.VType();
    if (IsOpaque(ta) || IsOpaque(tb))
        InvalidOp();
    if (ta == varNull || tb == varNull)
        return Variant::Null();
    const Num x = ToNum(a), y = ToNum(b);
    long double p = AsFloat(x), q = AsFloat(y);
    if (q == 0) {
        if (p == 0 || std::isnan(p))
            throw EInvalidOp("Invalid floating point operation");
        throw EZeroDivide("Floating point division by zero");
    }
    double dp, dq;
    if (AsExactDouble(x, dp) && AsExactDouble(y, dq)) {
        const double r = ExtendedDiv(dp, dq);
        CheckFloat(r, dp, dq);
        return Variant(r);
    }
    CheckFloat(double(p / q), p, q);
    return Variant(double(p / q));
}

Variant VarIntDiv(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull()) {
        if (IsOpaque(a.VType()) || IsOpaque(b.VType()))
            InvalidOp();
        return Variant::Null();
    }
    int64_t x, y;
    bool wide;
    IntOperands(a, b, x, y, wide);
    if (y == 0)
        throw EDivByZero("Division by zero");
    if (x == INT64_MIN && y == -1)
        return Variant(-static_cast<double>(INT64_MIN));
    return IntResult(x / y, wide);
}

Variant VarMod(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull()) {
        if (IsOpaque(a.VType()) || IsOpaque(b.VType()))
            InvalidOp();
        return Variant::Null();
    }
    int64_t x, y;
    bool wide;
    IntOperands(a, b, x, y, wide);
    if (y == 0)
        throw EDivByZero("Division by zero");
    if (y == -1)
        return IntResult(0, wide);
    return IntResult(x % y, wide);
}

Variant VarAnd(const Variant& a, const Variant& b) { return LogicOp(a, b, Logic::And); }
Variant VarOr(const Variant& a, const Variant& b) { return LogicOp(a, b, Logic::Or); }
Variant VarXor(const Variant& a, const Variant& b) { return LogicOp(a, b, Logic::Xor); }

namespace {
Variant Shift(const Variant& a, const Variant& b, bool left)
{
    if (a.IsNull() || b.IsNull()) {
        if (IsOpaque(a.VType()) || IsOpaque(b.VType()))
            InvalidOp();
        return Variant::Null();
    }
    int64_t x, y;
    bool wide;
    IntOperands(a, b, x, y, wide);
    wide = a.VType() == varInt64 || x < INT32_MIN || x > INT32_MAX;
    if (wide) {
        unsigned n = unsigned(y) & 63;
        uint64_t u = uint64_t(x);
        return Variant((long long)(left ? u << n : u >> n));
    }
    unsigned n = unsigned(y) & 31;
    uint32_t u = uint32_t(int32_t(x));
    return Variant(int32_t(left ? u << n : u >> n));
}
}  // namespace

Variant VarShl(const Variant& a, const Variant& b) { return Shift(a, b, true); }
Variant VarShr(const Variant& a, const Variant& b) { return Shift(a, b, false); }

Variant VarNeg(const Variant& a)
{
    const auto& d = VariantAccess::Data(a);
    switch (a.VType()) {
    case varNull: return Variant::Null();
    case varEmpty: return Variant(0);
    case varSingle: return Variant(-d.VSingle);
    case varDouble: return Variant(-d.VDouble);
    case varDate: return Variant(TDateTime(-d.VDate));
    case varCurrency:
        if (d.VCurrency == INT64_MIN)
            OverflowError(varCurrency, varCurrency);
        return Variant(Currency::FromScaled(-d.VCurrency));
    case varInt64:
        if (d.VInt64 == INT64_MIN)
            return Variant(-static_cast<double>(d.VInt64));
        return Variant((long long)-d.VInt64);
    case varString:
    case varOleStr: return Variant(-a.AsDouble());
    default:
        if (VarIsOrdinal(a))
            return IntResult(-a.AsInt64(), false);
        InvalidOp();
    }
}

Variant VarNot(const Variant& a)
{
    const auto& d = VariantAccess::Data(a);
    switch (a.VType()) {
    case varNull: return Variant::Null();
    case varEmpty: return Variant(-1);
    case varBoolean: return Variant(!d.VBoolean);
    case varInt64: return Variant((long long)~d.VInt64);
    case varString:
    case varOleStr: {
        int64_t i;
        if (TryStrToInt64(*a.StrPtr(), i))
            return IntResult(~i, false);
        return Variant(!a.AsBoolean());
    }
    default:
        if (IsOpaque(a.VType()))
            InvalidOp();
        return IntResult(~a.AsInt64(), a.VType() == varLongWord);
    }
}

// ---------------------------------------------------------------- comparison

namespace {
template <class T>
TVariantRelationship Rel(T x, T y)
{
    return x < y ? vrLessThan : y < x ? vrGreaterThan : x == y ? vrEqual : vrNotEqual;
}
}  // namespace

namespace detail {
TVariantRelationship VarCompareSlow(const Variant& a, const Variant& b)
{
    TVarType ta = a.VType(), tb = b.VType();
    if (IsOpaque(ta) || IsOpaque(tb))
        InvalidOp();
    if (ta == varNull || tb == varNull)
        return ta == tb ? vrEqual : vrNotEqual;
    if (ta == varEmpty && tb == varEmpty)
        return vrEqual;
    bool sa = VarIsStr(a), sb = VarIsStr(b);
    if ((sa && (sb || tb == varEmpty)) || (sb && ta == varEmpty)) {
        // Compared where they stand: Empty is "", and no text is copied.
        const auto text = [](const Variant& v) {
            const AnsiString* p = v.StrPtr();
            return p ? std::string_view(*p) : std::string_view();
        };
        int r = AnsiCompareStr(text(a), text(b));
        return r < 0 ? vrLessThan : r > 0 ? vrGreaterThan : vrEqual;
    }
    if (ta == varBoolean && tb == varBoolean)  // False < True
        return Rel(int(VariantAccess::Data(a).VBoolean), int(VariantAccess::Data(b).VBoolean));
    // A string against a date is read as a date.
    if ((sa && tb == varDate) || (sb && ta == varDate))
        return Rel(a.AsDate().Val, b.AsDate().Val);
    Num x = ToNum(a), y = ToNum(b);
    bool intX = x.kind == Kind::Int || x.kind == Kind::Int64, intY = y.kind == Kind::Int || y.kind == Kind::Int64;
    if (intX && intY)
        return Rel(x.i, y.i);
    if ((intX || x.kind == Kind::Currency) && (intY || y.kind == Kind::Currency)) {
        __int128 p = x.kind == Kind::Currency ? __int128(x.i) : __int128(x.i) * 10000;
        __int128 q = y.kind == Kind::Currency ? __int128(y.i) : __int128(y.i) * 10000;
        return Rel(p, q);
    }
    return Rel(AsFloat(x), AsFloat(y));
}
}  // namespace detail

TVariantRelationship VarCompare(const Variant& a, const Variant& b)
{
    if (a.VType() == varInteger && b.VType() == varInteger)
        return Rel(a.RawInteger(), b.RawInteger());
    return detail::VarCompareSlow(a, b);
}

bool VarEq(const Variant& a, const Variant& b) { return VarCompare(a, b) == vrEqual; }
bool VarNe(const Variant& a, const Variant& b) { return VarCompare(a, b) != vrEqual; }
bool VarLt(const Variant& a, const Variant& b) { return VarCompare(a, b) == vrLessThan; }
bool VarGt(const Variant& a, const Variant& b) { return VarCompare(a, b) == vrGreaterThan; }

bool VarLe(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull())
        return false;
    TVariantRelationship r = VarCompare(a, b);
    return r == vrLessThan || r == vrEqual;
}

bool VarGe(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull())
        return false;
    TVariantRelationship r = VarCompare(a, b);
    return r == vrGreaterThan || r == vrEqual;
}


// Functions.cpp - see Functions.h.
#include "script/Functions.h"

#include "script/Automation.h"
#include "script/EngineGlobals.h"
#include "script/GlobalUnit.h"
#include "script/Messages.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <utility>
#include <vector>

namespace {

// ---------------------------------------------------------------- arguments

// The method item's argument array: element i counted from its lower bound.
// A missing element reads as Empty, so a host calling with too few arguments
// gets the conversion of Empty rather than a read past the array.
Variant Arg(const Variant& params, int i)
{
    if (!VarIsArray(params) || VarArrayDimCount(params) != 1)
        return i == 0 ? params : Variant();
    const int at = VarArrayLowBound(params, 1) + i;
    if (at > VarArrayHighBound(params, 1))
        return Variant();
    return VarArrayGet(params, {at});
}

void SetArg(Variant& params, int i, const Variant& value)
{
    if (!VarIsArray(params) || VarArrayDimCount(params) != 1)
        return;
    const int at = VarArrayLowBound(params, 1) + i;
    if (at <= VarArrayHighBound(params, 1))
        VarArrayPut(params, value, {at});
}

// A var parameter's element, to change where it lies; nullptr when the array has none.
Variant* ArgInPlace(Variant& params, int i)
{
    if (!VarIsArray(params) || VarArrayDimCount(params) != 1)
        return nullptr;
    const int at = VarArrayLowBound(params, 1) + i;
    if (at > VarArrayHighBound(params, 1))
        return nullptr;
    return &params.Elem(at);
}

// Applies change to the text of var parameter i: where it lies when no one else holds it
// (the engine hands a variable's text over to Delete, Insert and SetLength, so a loop of
// them over a long text copies nothing), else to a copy that is stored back.
template <class F>
void ChangeText(Variant& params, int i, F&& change)
{
    if (Variant* e = ArgInPlace(params, i))
        if (AnsiString* text = e->UnsharedStr()) {
            change(*text);
            return;
        }
    AnsiString s = Arg(params, i).AsString();
    change(s);
    SetArg(params, i, Variant(std::move(s)));
}

int ArgInt(const Variant& p, int i)
{
    return Arg(p, i).AsInteger();
}

double ArgFloat(const Variant& p, int i)
{
    return Arg(p, i).AsDouble();
}

AnsiString ArgStr(const Variant& p, int i)
{
    return Arg(p, i).AsString();
}

// A text argument read where it lies, for functions whose answer is short: Length,
// Copy, Pos and Ord of a long text called once per character would otherwise copy the
// whole text on every call. The view is valid while this lives.
class ArgText {
public:
    ArgText(const Variant& p, int i) : FArg(Arg(p, i))
    {
        if (::VarType(FArg) == varString) {
            FView = *FArg.StrPtr();
        } else {
            FOwn = FArg.AsString();
            FView = FOwn;
        }
    }
    operator std::string_view() const { return FView; }
    size_t size() const { return FView.size(); }
    bool empty() const { return FView.empty(); }
    char operator[](size_t i) const { return FView[i]; }

private:
    Variant FArg;
    AnsiString FOwn;
    std::string_view FView;
};

TDateTime ArgDate(const Variant& p, int i)
{
    return TDateTime(ArgFloat(p, i));
}

// A float rounded or truncated to the script's 32-bit Integer, range-checked
// like every other conversion to Integer.
Variant ToInteger(int64_t v)
{
    return Variant(Variant(static_cast<long long>(v)).AsInteger());
}

// ---------------------------------------------------------------- hooks

TscShowMessageHook gShowMessage;
uint32_t gRandSeed = 0;

double NextRandom()
{
    gRandSeed = gRandSeed * 0x08088405u + 1u;
    return static_cast<double>(gRandSeed) / 4294967296.0;
}

// ---------------------------------------------------------------- the routines

using TRoutine = Variant (*)(Variant& p);

struct TBuiltin {
    const char* Syntax;
    const char* Category;
    TRoutine Fn;
    // Changes its var parameter where it lies (TscMethodHelper::ChangesVarInPlace).
    bool InPlace = false;
};

Variant VarArrayCreateFn(Variant& p)
{
    const Variant bounds = Arg(p, 0);
    if (!VarIsArray(bounds) || VarArrayDimCount(bounds) != 1)
        scRaise(TscMessageId::SArrayBounds);
    const int lo = VarArrayLowBound(bounds, 1), hi = VarArrayHighBound(bounds, 1);
    const int count = hi - lo + 1;
    if (count < 2 || count > 6 || count % 2 != 0)
        scRaise(TscMessageId::SArrayBounds);
    std::vector<int> b;
    for (int i = lo; i <= hi; ++i)
        b.push_back(VarArrayGet(bounds, {i}).AsInteger());
    const int typ = ArgInt(p, 1);
    if (typ < 0 || typ > varTypeMask)
        throw EVariantArrayCreateError("Error creating variant or safe array");
    return VarArrayCreate(std::span<const int>(b), static_cast<TVarType>(typ));
}

// Moves the high bound of a's first dimension, the one Length counts, keeping
// every element that remains at its indexes. The platform's redim moves the last
// dimension, which is the same one only for a single dimension; a wider array is
// laid out anew.
void SetFirstHighBound(Variant& a, int high)
{
    const int dims = VarArrayDimCount(a);
    if (dims <= 1) {
        VarArrayRedim(a, high);
        return;
    }
    std::vector<int> bounds, low(static_cast<size_t>(dims)), top(static_cast<size_t>(dims));
    for (int d = 0; d < dims; ++d) {
        low[static_cast<size_t>(d)] = VarArrayLowBound(a, d + 1);
        top[static_cast<size_t>(d)] = VarArrayHighBound(a, d + 1);
        bounds.push_back(low[static_cast<size_t>(d)]);
        bounds.push_back(d == 0 ? high : top[static_cast<size_t>(d)]);
    }
    Variant r = VarArrayCreate(std::span<const int>(bounds), VarArrayElementType(a));
    top[0] = std::min(top[0], high);
    for (int d = 0; d < dims; ++d)
        if (top[static_cast<size_t>(d)] < low[static_cast<size_t>(d)]) {
            a = std::move(r); // nothing is kept
            return;
        }
    // Every index inside both arrays, the first dimension counting fastest.
    std::vector<int> at = low;
    for (;;) {
        r.Elem(std::span<const int>(at)) = std::as_const(a).Elem(std::span<const int>(at));
        int d = 0;
        while (d < dims && at[static_cast<size_t>(d)] == top[static_cast<size_t>(d)]) {
            at[static_cast<size_t>(d)] = low[static_cast<size_t>(d)];
            ++d;
        }
        if (d == dims)
            break;
        ++at[static_cast<size_t>(d)];
    }
    a = std::move(r);
}

Variant SetLengthFn(Variant& p)
{
    const TVarType type = VarType(Arg(p, 0));
    const int len = ArgInt(p, 1);
    if (type == varString || type == varOleStr) {
        scCheckStringLength(len);
        // A longer text is filled with blanks, never with whatever memory held.
        ChangeText(p, 0, [len](AnsiString& text) { text.resize(static_cast<size_t>(len < 0 ? 0 : len), ' '); });
    } else {
        // L - 1 without overflow: the smallest L leaves no bound to set.
        if (len == std::numeric_limits<int>::min())
            throw EVariantArrayCreateError("Error creating variant or safe array");
        // Where it lies: an array no one else holds grows without a copy of its elements.
        if (Variant* a = ArgInPlace(p, 0)) {
            SetFirstHighBound(*a, len - 1);
        } else {
            Variant s = Arg(p, 0);
            SetFirstHighBound(s, len - 1);
            SetArg(p, 0, s);
        }
    }
    return Variant();
}

template <class F>
Variant Valid(const Variant& p, F&& convert)
{
    try {
        convert(ArgStr(p, 0));
        return Variant(true);
    } catch (const Exception&) {
        return Variant(false);
    }
}

// ORDER: declaration texts and categories exactly as registered, category by
// category, each in its table's row order.
const TBuiltin kBuiltins[] = {
    // Conversions.
    {"function IntToStr(i: Integer): String", TFunctions::ctConv,
     [](Variant& p) { return Variant(IntToStr(ArgInt(p, 0))); }},
    {"function FloatToStr(e: Extended): String", TFunctions::ctConv,
     [](Variant& p) { return Variant(FloatToStr(ArgFloat(p, 0))); }},
    {"function DateToStr(e: Extended): String", TFunctions::ctConv,
     [](Variant& p) { return Variant(DateToStr(ArgDate(p, 0))); }},
    {"function TimeToStr(e: Extended): String", TFunctions::ctConv,
     [](Variant& p) { return Variant(TimeToStr(ArgDate(p, 0))); }},
    {"function DateTimeToStr(e: Extended): String", TFunctions::ctConv,
     [](Variant& p) { return Variant(DateTimeToStr(ArgDate(p, 0))); }},
    {"function VarToStr(v: Variant): String", TFunctions::ctConv,
     [](Variant& p) { return Variant(VarToStr(Arg(p, 0))); }},
    {"function StrToInt(s: String): Integer", TFunctions::ctConv,
     [](Variant& p) { return Variant(StrToInt(ArgStr(p, 0))); }},
    {"function StrToFloat(s: String): Extended", TFunctions::ctConv,
     [](Variant& p) { return Variant(StrToFloat(ArgStr(p, 0))); }},
    {"function StrToDate(s: String): Extended", TFunctions::ctConv,
     [](Variant& p) { return Variant(StrToDate(ArgStr(p, 0))); }},
    {"function StrToTime(s: String): Extended", TFunctions::ctConv,
     [](Variant& p) { return Variant(StrToTime(ArgStr(p, 0))); }},
    {"function StrToDateTime(s: String): Extended", TFunctions::ctConv,
     [](Variant& p) { return Variant(StrToDateTime(ArgStr(p, 0))); }},

    // Formatting.
    {"function Format(Fmt: String; Args: array): String", TFunctions::ctFormat,
     [](Variant& p) {
         const AnsiString fmt = ArgStr(p, 0);
         TVarRecArray args;
         VariantToVarRec(Arg(p, 1), args);
         AnsiString s = Format(fmt, args.Items, FormatSettings());
         scCheckStringLength(static_cast<int64_t>(s.size()));
         return Variant(std::move(s));
     }},
    {"function FormatFloat(Fmt: String; Value: Extended): String", TFunctions::ctFormat,
     [](Variant& p) { return Variant(FormatFloat(ArgStr(p, 0), ArgFloat(p, 1))); }},
    {"function FormatDateTime(Fmt: String; DateTime: TDateTime): String", TFunctions::ctFormat,
     [](Variant& p) { return Variant(FormatDateTime(ArgStr(p, 0), ArgDate(p, 1))); }},
    {"function FormatMaskText(EditMask: string; Value: string): string", TFunctions::ctFormat,
     [](Variant& p) { return Variant(FormatMaskText(ArgStr(p, 0), ArgStr(p, 1))); }},

    // Dates and times.
    {"function EncodeDate(Year, Month, Day: Word): TDateTime", TFunctions::ctDate,
     [](Variant& p) { return Variant(EncodeDate(ArgInt(p, 0), ArgInt(p, 1), ArgInt(p, 2))); }},
    {"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", TFunctions::ctDate,
     [](Variant& p) {
         int y, m, d;
         DecodeDate(ArgDate(p, 0), y, m, d);
         SetArg(p, 1, Variant(y));
         SetArg(p, 2, Variant(m));
         SetArg(p, 3, Variant(d));
         return Variant();
     }},
    {"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", TFunctions::ctDate,
     [](Variant& p) { return Variant(EncodeTime(ArgInt(p, 0), ArgInt(p, 1), ArgInt(p, 2), ArgInt(p, 3))); }},
    {"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", TFunctions::ctDate,
     [](Variant& p) {
         int h, n, s, ms;
         DecodeTime(ArgDate(p, 0), h, n, s, ms);
         SetArg(p, 1, Variant(h));
         SetArg(p, 2, Variant(n));
         SetArg(p, 3, Variant(s));
         SetArg(p, 4, Variant(ms));
         return Variant();
     }},
    {"function Date: TDateTime", TFunctions::ctDate, [](Variant&) { return Variant(Date()); }},
    {"function Time: TDateTime", TFunctions::ctDate, [](Variant&) { return Variant(Time()); }},
    {"function Now: TDateTime", TFunctions::ctDate, [](Variant&) { return Variant(Now()); }},
    {"function DayOfWeek(aDate: TDateTime): Integer", TFunctions::ctDate,
     [](Variant& p) { return Variant(DayOfWeek(ArgDate(p, 0))); }},
    {"function IsLeapYear(Year: Word): Boolean", TFunctions::ctDate,
     [](Variant& p) { return Variant(IsLeapYear(ArgInt(p, 0))); }},
    {"function DaysInMonth(nYear, nMonth: Integer): Integer", TFunctions::ctDate,
     [](Variant& p) { return Variant(DaysInMonth(ArgInt(p, 0), ArgInt(p, 1))); }},

    // Strings; positions count from 1.
    {"function Length(s: Variant): Integer", TFunctions::ctString,
     [](Variant& p) {
         const Variant s = Arg(p, 0);
         if (VarIsArray(s))
             return Variant(VarArrayHighBound(s, 1) - VarArrayLowBound(s, 1) + 1);
         return Variant(static_cast<int>(ArgText(p, 0).size()));
     }},
    {"function Copy(s: String; from, count: Integer): String", TFunctions::ctString,
     [](Variant& p) { return Variant(Copy(ArgText(p, 0), ArgInt(p, 1), ArgInt(p, 2))); }},
    {"function Pos(substr, s: String): Integer", TFunctions::ctString,
     [](Variant& p) { return Variant(Pos(ArgText(p, 0), ArgText(p, 1))); }},
    {"procedure Delete(var s: String; from, count: Integer)", TFunctions::ctString,
     [](Variant& p) {
         const int from = ArgInt(p, 1), count = ArgInt(p, 2);
         ChangeText(p, 0, [from, count](AnsiString& s) { Delete(s, from, count); });
         return Variant();
     },
     true},
    {"procedure Insert(s: String; var s2: String; pos: Integer)", TFunctions::ctString,
     [](Variant& p) {
         const AnsiString s = ArgStr(p, 0);
         const int pos = ArgInt(p, 2);
         ChangeText(p, 1, [&s, pos](AnsiString& s2) {
             scCheckStringLength(static_cast<int64_t>(s.size()) + static_cast<int64_t>(s2.size()));
             Insert(s, s2, pos);
         });
         return Variant();
     },
     true},
    {"function Uppercase(s: String): String", TFunctions::ctString,
     [](Variant& p) { return Variant(AnsiUpperCase(ArgStr(p, 0))); }},
    {"function Lowercase(s: String): String", TFunctions::ctString,
     [](Variant& p) { return Variant(AnsiLowerCase(ArgStr(p, 0))); }},
    {"function Trim(s: String): String", TFunctions::ctString,
     [](Variant& p) { return Variant(Trim(ArgStr(p, 0))); }},
    {"function NameCase(s: String): String", TFunctions::ctString,
     [](Variant& p) { return Variant(NameCase(ArgStr(p, 0))); }},
    {"function CompareText(s, s1: String): Integer", TFunctions::ctString,
     [](Variant& p) { return Variant(AnsiCompareText(ArgText(p, 0), ArgText(p, 1))); }},
    {"function Chr(i: Integer): Char", TFunctions::ctString,
     [](Variant& p) { return Variant(AnsiString(1, static_cast<char>(static_cast<unsigned>(ArgInt(p, 0)) & 0xFF))); }},
    {"function Ord(ch: Char): Integer", TFunctions::ctString,
     [](Variant& p) {
         const ArgText s(p, 0);
         return Variant(s.empty() ? 0 : static_cast<int>(static_cast<unsigned char>(s[0])));
     }},
    {"procedure SetLength(var S: Variant; L: Integer)", TFunctions::ctString, SetLengthFn, true},

    // Mathematics; arguments as float.
    {"function Round(e: Extended): Integer", TFunctions::ctMath,
     [](Variant& p) { return ToInteger(Round(ArgFloat(p, 0))); }},
    {"function Trunc(e: Extended): Integer", TFunctions::ctMath,
     [](Variant& p) { return ToInteger(Trunc(ArgFloat(p, 0))); }},
    {"function Int(e: Extended): Integer", TFunctions::ctMath, [](Variant& p) { return Variant(Int(ArgFloat(p, 0))); }},
    {"function Frac(X: Extended): Extended", TFunctions::ctMath,
     [](Variant& p) { return Variant(Frac(ArgFloat(p, 0))); }},
    {"function Sqrt(e: Extended): Extended", TFunctions::ctMath,
     [](Variant& p) { return Variant(std::sqrt(ArgFloat(p, 0))); }},
    {"function Abs(e: Extended): Extended", TFunctions::ctMath,
     [](Variant& p) { return Variant(std::fabs(ArgFloat(p, 0))); }},
    {"function Sin(e: Extended): Extended", TFunctions::ctMath,
     [](Variant& p) { return Variant(std::sin(ArgFloat(p, 0))); }},
    {"function Cos(e: Extended): Extended", TFunctions::ctMath,
     [](Variant& p) { return Variant(std::cos(ArgFloat(p, 0))); }},
    {"function ArcTan(X: Extended): Extended", TFunctions::ctMath,
     [](Variant& p) { return Variant(std::atan(ArgFloat(p, 0))); }},
    {"function Tan(X: Extended): Extended", TFunctions::ctMath,
     [](Variant& p) {
         const double x = ArgFloat(p, 0);
         return Variant(std::sin(x) / std::cos(x));
     }},
    {"function Exp(X: Extended): Extended", TFunctions::ctMath,
     [](Variant& p) { return Variant(std::exp(ArgFloat(p, 0))); }},
    {"function Ln(X: Extended): Extended", TFunctions::ctMath,
     [](Variant& p) { return Variant(std::log(ArgFloat(p, 0))); }},
    {"function Pi: Extended", TFunctions::ctMath, [](Variant&) { return Variant(std::numbers::pi); }},

    // The rest.
    {"procedure Inc(var i: Integer; incr: Integer = 1)", TFunctions::ctOther,
     [](Variant& p) {
         const Variant step = Arg(p, 1);
         SetArg(p, 0, Arg(p, 0) + (VarIsEmpty(step) ? Variant(1) : step));
         return Variant();
     }},
    {"procedure Dec(var i: Integer; decr: Integer = 1)", TFunctions::ctOther,
     [](Variant& p) {
         const Variant step = Arg(p, 1);
         SetArg(p, 0, VarSub(Arg(p, 0), VarIsEmpty(step) ? Variant(1) : step));
         return Variant();
     }},
    {"procedure RaiseException(Param: String)", TFunctions::ctOther,
     [](Variant& p) -> Variant { throw Exception(ArgStr(p, 0)); }},
    {"procedure ShowMessage(Msg: Variant)", TFunctions::ctOther,
     [](Variant& p) {
         const AnsiString text = ArgStr(p, 0);
         if (gShowMessage)
             gShowMessage(text);
         return Variant();
     }},
    {"procedure Randomize", TFunctions::ctOther,
     [](Variant&) {
         const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
         gRandSeed = static_cast<uint32_t>(ticks ^ (ticks >> 32));
         return Variant();
     }},
    {"function Random: Extended", TFunctions::ctOther, [](Variant&) { return Variant(NextRandom()); }},
    {"function ValidInt(cInt: String): Boolean", TFunctions::ctOther,
     [](Variant& p) { return Valid(p, [](const AnsiString& s) { StrToInt(s); }); }},
    {"function ValidFloat(cFlt: String): Boolean", TFunctions::ctOther,
     [](Variant& p) { return Valid(p, [](const AnsiString& s) { StrToFloat(s); }); }},
    {"function ValidDate(cDate: String): Boolean", TFunctions::ctOther,
     [](Variant& p) { return Valid(p, [](const AnsiString& s) { StrToDate(s); }); }},
    {"function CreateOleObject(ClassName: String): Variant", TFunctions::ctOther,
     [](Variant& p) { return scCreateOleObject(ArgStr(p, 0)); }},
    {"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", TFunctions::ctOther, VarArrayCreateFn},
    {"function VarType(V: Variant): Integer", TFunctions::ctOther,
     [](Variant& p) { return Variant(static_cast<int>(VarType(Arg(p, 0)))); }},
};
static_assert(std::size(kBuiltins) == 63, "the library has 63 routines");

struct TConstant {
    const char* Name;
    int Value;
};

// ORDER: down the first pair of columns of the type-code table, then the second.
const TConstant kConstants[] = {
    {"varEmpty", varEmpty},       {"varNull", varNull},         {"varSmallint", varSmallint},
    {"varInteger", varInteger},   {"varSingle", varSingle},     {"varDouble", varDouble},
    {"varCurrency", varCurrency}, {"varDate", varDate},         {"varOleStr", varOleStr},
    {"varDispatch", varDispatch}, {"varError", varError},       {"varBoolean", varBoolean},
    {"varVariant", varVariant},   {"varUnknown", varUnknown},   {"varShortInt", varShortInt},
    {"varByte", varByte},         {"varWord", varWord},         {"varLongWord", varLongWord},
    {"varInt64", varInt64},       {"varStrArg", 0x48},          {"varString", varString},
    {"varAny", 0x101},            {"varTypeMask", varTypeMask}, {"varArray", varArray},
    {"varByRef", varByRef},
};
static_assert(std::size(kConstants) == 25, "the library has 25 constants");

} // namespace

// ---------------------------------------------------------------- registrar

TFunctions::TFunctions()
{
    TscScript* unit = scGlobalUnit();
    if (!unit)
        return;
    struct RestoreOwner {
        TscScript* unit;
        const TObject* saved;
        ~RestoreOwner() { unit->RegisteringOwner = saved; }
    } restore{unit, unit->RegisteringOwner};
    unit->RegisteringOwner = this;
    for (const TBuiltin& b : kBuiltins) {
        const TRoutine fn = b.Fn;
        TscMethodHelper* m = unit->AddMethod(
            b.Syntax, [fn](TObject*, TClass, const AnsiString&, Variant& params) { return fn(params); },
            b.Category);
        if (m)
            m->ChangesVarInPlace = b.InPlace;
    }
    for (const TConstant& c : kConstants)
        unit->AddConst(c.Name, "Integer", Variant(c.Value));
}

TFunctions::~TFunctions()
{
    if (GlobalUnitDestroyed())
        return;
    if (TscScript* unit = scGlobalUnit())
        unit->RemoveItems(this);
}

// The registrar is held by the engine's one owner of globals (EngineGlobals.h), which
// frees it before the global unit it registered into.
void scFunctionsStartup()
{
    auto& g = script_detail::EngineGlobals();
    if (g.FunctionsUsers++ == 0)
        g.Functions = std::make_unique<TFunctions>();
}

void scFunctionsShutdown()
{
    auto& g = script_detail::EngineGlobals();
    if (g.FunctionsUsers > 0 && --g.FunctionsUsers == 0)
        g.Functions.reset();
}

void scSetShowMessageHook(TscShowMessageHook hook)
{
    gShowMessage = std::move(hook);
}

void scSetRandSeed(uint32_t seed)
{
    gRandSeed = seed;
}

AnsiString NameCase(std::string_view s)
{
    AnsiString r = AnsiLowerCase(s);
    for (size_t i = 0; i < r.size(); ++i)
        if (i == 0 || s[i - 1] == ' ')
            r[i] = static_cast<char>(cp1251::ToUpper(static_cast<unsigned char>(r[i])));
    return r;
}

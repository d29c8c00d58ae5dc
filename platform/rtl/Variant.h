// Variant.h - the tagged value of dataset fields, script values, report expressions and
// variables, with the conversion and operator rules of the platform's own Variant.
//
// Layout: 16 bytes, a type code and a union. Scalars never allocate. Strings are shared,
// reference-counted and immutable (copying a string Variant bumps a count). Arrays are
// values: a copy shares the elements until one side writes (copy on write). Dispatch
// pointers are reference-counted interfaces (IVariantDispatch). Reference counts are not
// atomic: the program has one thread.
//
// Objects: the object model stores objects as checked 32-bit handles and they travel here as
// varInteger (nil is 0). There is no separate object type code.
//
// Type codes (VarType): varEmpty 0, varNull 1, varSmallint 2, varInteger 3, varSingle 4,
// varDouble 5, varCurrency 6, varDate 7, varOleStr 8, varDispatch 9, varError 10,
// varBoolean 11, varVariant 12, varUnknown 13, varShortInt 16, varByte 17, varWord 18,
// varLongWord 19, varInt64 20, varString 256; varArray 0x2000 is or-ed with the element type.
// varOleStr is accepted by VarAsType and treated as varString. varByRef is defined for
// callers that test for it; no Variant made here carries it.
//
// Conversions (AsXxx, VarAsType):
//   from        to integer kinds         to double           to string               to boolean
//   Empty       0                        0                   ""                      False
//   Null        EVariantTypeCastError    same                "" (VarToStr)/raise(As)  raise
//   Boolean     True = -1, False = 0     -1 / 0              "True" / "False"        itself
//   integers    range-checked            exact               decimal                 <> 0
//   Single/Double/Currency  Round (halves to even), range-checked   FloatToStr/CurrToStr   <> 0
//   Date        as double                day number          DateTimeToStr           <> 0
//   String      StrToInt64, else StrToFloat rounded   StrToFloat   itself   "True"/"False"/number
//   Dispatch    EVariantTypeCastError everywhere
//   Array       EVariantTypeCastError everywhere
//   A string that is not a number raises EVariantTypeCastError ("Could not convert variant of
//   type (String) into type (Double)"); a value out of range raises EVariantOverflowError.
//   Text conversions use FormatSettings() unless the overload takes settings.
//
// Binary operators + - * / div mod and or xor shl shr (VarAdd ... VarShr and C++ operators):
//   - Null on either side (of a defined pair) gives Null. Empty acts as 0 (as "" for + with a string).
//   - String + String joins. String with any other operand: the string is converted to a
//     number (Double; Boolean for and/or/xor with a Boolean) and the operation goes on.
//   - Boolean with Boolean: and/or/xor/not logical, result Boolean; arithmetic takes True as -1
//     and gives Integer.
//   - Integer kinds (shortint .. longword, int64, Boolean in arithmetic) promote to Integer;
//     a result that leaves 32 bits becomes Int64; int64 arithmetic that overflows becomes Double.
//     Int64 with any integer kind works in Int64.
//   - Any Single or Double operand makes the result Double (Single only when both are Single).
//   - Currency with an integer or Currency stays Currency (overflow: EVariantOverflowError);
//     Currency with Single/Double gives Double.
//   - Date +/- number gives Date; Date - Date gives Double (days); other operations on dates
//     work on the day number and give Double.
//   - "/" always gives Double (Currency / Currency too); x / 0 raises EZeroDivide, 0 / 0 EInvalidOp.
//   - A floating result beyond its type's range (from finite operands) raises EOverflow.
//   - div, mod, and, or, xor, shl, shr take integers: floats are first rounded to Int64 (halves
//     to even), strings converted; div and mod truncate toward zero (mod has the dividend's
//     sign); a zero divisor raises EDivByZero. Result Integer when both operands and the
//     result fit 32 bits and neither is Int64, else Int64.
//   - shl/shr work on 32 bits for Integer-sized operands, 64 for Int64; the count is taken mod
//     the width; shr is a logical shift.
//   - Arrays and dispatch values in any operator raise EVariantInvalidOpError.
// Unary: VarNeg (Null -> Null, Empty -> 0 Integer, Boolean -> Integer, string -> Double,
//   -MinInt -> Int64); VarNot (Boolean logical, integers bitwise, Null -> Null, Empty -> -1).
//
// Comparison (VarCompare -> vrLessThan / vrEqual / vrGreaterThan / vrNotEqual):
//   - Null = Null is vrEqual; Null with anything else is vrNotEqual (so = is False, <> True,
//     and < > <= >= are all False).
//   - Empty compares as 0 with numbers and as "" with strings; Empty = Empty.
//   - String with String: AnsiCompareStr (Russian order, case-sensitive).
//   - String with number: the string is converted (raising on bad text) and numbers compared.
//   - Boolean with Boolean: False < True. Boolean with a number: True is -1, False 0.
//   - String with Date: the string is read as a date (or a day number).
//   - Numbers (integer kinds, floats, currency, date) compare by value; integers and
//     currency exactly, the rest in long double. NaN is vrNotEqual to everything.
//   - Arrays and dispatch values: raise EVariantInvalidOpError.
#pragma once

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <type_traits>
#include <vector>

SKLAD_EXCEPTION(EVariantTypeCastError, EVariantError)
SKLAD_EXCEPTION(EVariantOverflowError, EVariantError)
SKLAD_EXCEPTION(EVariantInvalidOpError, EVariantError)
SKLAD_EXCEPTION(EVariantBadIndexError, EVariantError)
SKLAD_EXCEPTION(EVariantArrayCreateError, EVariantError)
SKLAD_EXCEPTION(EVariantNotAnArrayError, EVariantError)
SKLAD_EXCEPTION(EVariantDispatchError, EVariantError)

using TVarType = uint16_t;
enum : TVarType {
    varEmpty = 0x0000, varNull = 0x0001, varSmallint = 0x0002, varInteger = 0x0003,
    varSingle = 0x0004, varDouble = 0x0005, varCurrency = 0x0006, varDate = 0x0007,
    varOleStr = 0x0008, varDispatch = 0x0009, varError = 0x000A, varBoolean = 0x000B,
    varVariant = 0x000C, varUnknown = 0x000D, varShortInt = 0x0010, varByte = 0x0011,
    varWord = 0x0012, varLongWord = 0x0013, varInt64 = 0x0014, varString = 0x0100,
    varTypeMask = 0x0FFF, varArray = 0x2000, varByRef = 0x4000
};

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

// Invoke flags of a late-bound call.
enum : uint16_t { DISPATCH_METHOD = 1, DISPATCH_PROPERTYGET = 2, DISPATCH_PROPERTYPUT = 4 };
constexpr int32_t DISPID_UNKNOWN = -1;
constexpr int32_t DISPID_PROPERTYPUT = -3;

class Variant;

// A late-bound object: scripts call members by name. Implementations count their own
// references; Release() frees the object when the count reaches zero.
class IVariantDispatch {
public:
    virtual void AddRef() = 0;
    virtual void Release() = 0;
    // Member number of a name (compared without regard to case), DISPID_UNKNOWN when none.
    virtual int32_t GetIDOfName(const AnsiString& name) = 0;
    // Calls member `dispId`; args in declaration order (a property put passes the new value last).
    virtual Variant Invoke(int32_t dispId, uint16_t flags, std::span<const Variant> args) = 0;

protected:
    virtual ~IVariantDispatch() = default;
};

// A ready reference count for IVariantDispatch implementations created with new.
class TVariantDispatchBase : public IVariantDispatch {
public:
    void AddRef() override { ++FRefCount; }
    void Release() override { if (--FRefCount == 0) delete this; }
    int RefCount() const { return FRefCount; }

private:
    int FRefCount = 0;
};

namespace detail {
// A string Variant's shared text (see VariantImpl.h for how records are made and freed).
struct VarStrRep {
    int Refs = 1;
    AnsiString Text;
};
struct VarArrayRep;
// Gives a string record whose count reached zero back (see VariantImpl.h).
void FreeStrRep(VarStrRep* rep) noexcept;
Variant VarAddSlow(const Variant& a, const Variant& b);
}  // namespace detail

Variant VarSub(const Variant& a, const Variant& b);
Variant VarMul(const Variant& a, const Variant& b);
Variant VarDiv(const Variant& a, const Variant& b);
Variant VarMod(const Variant& a, const Variant& b);
Variant VarAnd(const Variant& a, const Variant& b);
Variant VarOr(const Variant& a, const Variant& b);
Variant VarXor(const Variant& a, const Variant& b);
Variant VarShl(const Variant& a, const Variant& b);
Variant VarShr(const Variant& a, const Variant& b);
Variant VarNeg(const Variant& a);
Variant VarNot(const Variant& a);
bool VarEq(const Variant& a, const Variant& b);
bool VarLt(const Variant& a, const Variant& b);
bool VarLe(const Variant& a, const Variant& b);
bool VarGt(const Variant& a, const Variant& b);
bool VarGe(const Variant& a, const Variant& b);

class Variant {
public:
    Variant() noexcept : FType(varEmpty) { FData.VInt64 = 0; }
    Variant(const Variant& v) { if (v.IsSimple()) { FType = v.FType; FData = v.FData; } else CopyFrom(v); }
    Variant(Variant&& v) noexcept : FType(v.FType), FData(v.FData) { v.FType = varEmpty; }
    // A string's count is dropped inline: most strings die shared or go back to the free records.
    ~Variant()
    {
        if (FType == varString) {
            if (--FData.VString->Refs == 0)
                detail::FreeStrRep(FData.VString);
        } else if (!IsSimple()) {
            ReleaseData();
        }
    }
    // Inline for values that own nothing (every scalar); the rest share or release out of line.
    Variant& operator=(const Variant& v)
    {
        if (IsSimple() && v.IsSimple()) {
            FType = v.FType;
            FData = v.FData;
            return *this;
        }
        return AssignSlow(v);
    }
    Variant& operator=(Variant&& v) noexcept
    {
        if (this == &v)
            return *this;
        if (!IsSimple())
            ReleaseData();
        FType = v.FType;
        FData = v.FData;
        v.FType = varEmpty;
        return *this;
    }

    // The small kinds fill the whole payload in one store (the value zero-extended, as the
    // union holds it): a copy read soon after then comes straight from that store.
    Variant(bool v) noexcept : FType(varBoolean) { FData.VInt64 = v ? 1 : 0; }
    Variant(char v);  // a one-character string
    Variant(signed char v) noexcept : FType(varShortInt) { FData.VInt64 = static_cast<uint8_t>(v); }
    Variant(unsigned char v) noexcept : FType(varByte) { FData.VInt64 = v; }
    Variant(short v) noexcept : FType(varSmallint) { FData.VInt64 = static_cast<uint16_t>(v); }
    Variant(unsigned short v) noexcept : FType(varWord) { FData.VInt64 = v; }
    Variant(int v) noexcept : FType(varInteger) { FData.VInt64 = static_cast<uint32_t>(v); }
    Variant(unsigned v) noexcept : FType(varLongWord) { FData.VInt64 = v; }
    Variant(long v) noexcept : FType(varInt64) { FData.VInt64 = v; }
    Variant(long long v) noexcept : FType(varInt64) { FData.VInt64 = v; }
    Variant(unsigned long v);       // varInt64; EVariantOverflowError above INT64_MAX
    Variant(unsigned long long v);  // likewise
    Variant(float v) noexcept : FType(varSingle) { FData.VInt64 = 0; FData.VSingle = v; }
    Variant(double v) noexcept : FType(varDouble) { FData.VDouble = v; }
    Variant(long double v) noexcept : FType(varDouble) { FData.VDouble = double(v); }
    Variant(Currency v) noexcept : FType(varCurrency) { FData.VCurrency = v.Val; }
    Variant(TDateTime v) noexcept : FType(varDate) { FData.VDate = v.Val; }
    Variant(const char* v);
    Variant(std::string_view v);
    Variant(const AnsiString& v);
    Variant(AnsiString&& v);  // takes the text over: one allocation fewer per cell read
    Variant(IVariantDispatch* v);  // takes a reference (AddRef); nullptr gives varDispatch nil
    template <class T>
        requires std::is_base_of_v<IVariantDispatch, T>
    Variant(T* v) : Variant(static_cast<IVariantDispatch*>(v)) {}
    template <class T>
        requires(!std::is_base_of_v<IVariantDispatch, T> && !std::is_same_v<std::remove_cv_t<T>, char>)
    Variant(T*) = delete;  // no raw pointers: objects travel as handles
    Variant(std::nullptr_t) = delete;

    static Variant Null() noexcept { Variant v; v.FType = varNull; return v; }
    static Variant Unassigned() noexcept { return Variant(); }
    static Variant Error(int32_t code) noexcept { Variant v; v.FType = varError; v.FData.VError = code; return v; }

    TVarType VType() const noexcept { return FType; }
    bool IsEmpty() const noexcept { return FType == varEmpty; }
    bool IsNull() const noexcept { return FType == varNull; }
    bool IsArray() const noexcept { return (FType & varArray) != 0; }
    void Clear() noexcept;

    // Conversions by the table above; they raise, never return garbage.
    int32_t AsInteger() const;
    int64_t AsInt64() const;
    double AsDouble() const;
    Currency AsCurrency() const;
    TDateTime AsDate() const;
    bool AsBoolean() const;
    AnsiString AsString() const;  // Null raises; use VarToStr for "" on Null
    AnsiString AsString(const TFormatSettings& fs) const;
    IVariantDispatch* AsDispatch() const;  // no reference taken; EVariantTypeCastError if not varDispatch

    // Direct access to a string Variant's text (nullptr when not varString).
    const AnsiString* StrPtr() const noexcept
    {
        return FType == varString || FType == varOleStr ? &FData.VString->Text : nullptr;
    }
    // Appends text in place to a string Variant whose text no other Variant shares (what
    // v = v + text gives, without copying v); false, and nothing changed, otherwise.
    bool AppendUnshared(std::string_view text);
    // The text of a string Variant that no other Variant shares, to change in place;
    // nullptr otherwise.
    AnsiString* UnsharedStr() noexcept;

    // Array elements in place: one index per dimension. The array is made unique first
    // (copy on write), so the reference is valid until this Variant is next copied or changed.
    Variant& Elem(int i);
    Variant& Elem(int i, int j);
    Variant& Elem(int i, int j, int k);
    Variant& Elem(std::span<const int> indices);
    const Variant& Elem(std::span<const int> indices) const;

    // Raw payload for the fast paths (valid only for the matching VType).
    int32_t RawInteger() const noexcept { return FData.VInteger; }
    double RawDouble() const noexcept { return FData.VDouble; }
    int64_t RawInt64() const noexcept { return FData.VInt64; }

    friend bool IdenticalValues(const Variant& a, const Variant& b);

    // C++ operators, as hidden friends: they apply only when one side is a Variant, so
    // TDateTime + TDateTime or Currency < Currency keep their own meaning.
    // Fast paths: two Integers or two Doubles stay inline.
    friend Variant operator+(const Variant& a, const Variant& b)
    {
        if (a.FType == varInteger && b.FType == varInteger) {
            int32_t r;
            if (!__builtin_add_overflow(a.FData.VInteger, b.FData.VInteger, &r))
                return Variant(r);
        } else if (a.FType == varDouble && b.FType == varDouble) {
            const double r = a.FData.VDouble + b.FData.VDouble;
            if (r - r == 0)  // finite; else the general path decides on the overflow
                return Variant(r);
        }
        return detail::VarAddSlow(a, b);
    }
    friend Variant operator-(const Variant& a, const Variant& b) { return VarSub(a, b); }
    friend Variant operator*(const Variant& a, const Variant& b) { return VarMul(a, b); }
    friend Variant operator/(const Variant& a, const Variant& b) { return VarDiv(a, b); }
    friend Variant operator%(const Variant& a, const Variant& b) { return VarMod(a, b); }
    friend Variant operator&(const Variant& a, const Variant& b) { return VarAnd(a, b); }
    friend Variant operator|(const Variant& a, const Variant& b) { return VarOr(a, b); }
    friend Variant operator^(const Variant& a, const Variant& b) { return VarXor(a, b); }
    friend Variant operator<<(const Variant& a, const Variant& b) { return VarShl(a, b); }
    friend Variant operator>>(const Variant& a, const Variant& b) { return VarShr(a, b); }
    friend Variant operator-(const Variant& a) { return VarNeg(a); }
    friend Variant operator!(const Variant& a) { return VarNot(a); }
    friend Variant operator~(const Variant& a) { return VarNot(a); }
    friend Variant& operator+=(Variant& a, const Variant& b) { return a = a + b; }
    friend Variant& operator-=(Variant& a, const Variant& b) { return a = VarSub(a, b); }
    friend Variant& operator*=(Variant& a, const Variant& b) { return a = VarMul(a, b); }
    friend Variant& operator/=(Variant& a, const Variant& b) { return a = VarDiv(a, b); }
    friend bool operator==(const Variant& a, const Variant& b)
    {
        if (a.FType == varInteger && b.FType == varInteger)
            return a.FData.VInteger == b.FData.VInteger;
        if (a.FType == varDouble && b.FType == varDouble)
            return a.FData.VDouble == b.FData.VDouble;
        return VarEq(a, b);
    }
    friend bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }
    friend bool operator<(const Variant& a, const Variant& b)
    {
        if (a.FType == varInteger && b.FType == varInteger)
            return a.FData.VInteger < b.FData.VInteger;
        if (a.FType == varDouble && b.FType == varDouble)
            return a.FData.VDouble < b.FData.VDouble;
        return VarLt(a, b);
    }
    friend bool operator<=(const Variant& a, const Variant& b) { return VarLe(a, b); }
    friend bool operator>(const Variant& a, const Variant& b) { return VarGt(a, b); }
    friend bool operator>=(const Variant& a, const Variant& b) { return VarGe(a, b); }

private:
    friend class VariantAccess;
    // Owns nothing: not a string, dispatch, unknown or array. The small codes are looked up
    // in one mask, so the usual kinds cost one test.
    bool IsSimple() const noexcept {
        constexpr uint64_t kOwning = (1ull << varOleStr) | (1ull << varDispatch) | (1ull << varUnknown);
        if (FType < 64)
            return ((kOwning >> FType) & 1) == 0;
        return FType != varString && (FType & varArray) == 0;
    }
    friend bool VarArrayListElems(Variant& a, int count, std::span<Variant>& elems);
    void CopyFrom(const Variant& v);
    Variant& AssignSlow(const Variant& v);
    void ReleaseData() noexcept;

    TVarType FType;
    union Data {
        int16_t VSmallint;
        int32_t VInteger;
        float VSingle;
        double VDouble;
        int64_t VCurrency;
        double VDate;
        int32_t VError;
        bool VBoolean;
        int8_t VShortInt;
        uint8_t VByte;
        uint16_t VWord;
        uint32_t VLongWord;
        int64_t VInt64;
        detail::VarStrRep* VString;
        IVariantDispatch* VDispatch;
        detail::VarArrayRep* VArray;
    } FData;
};
static_assert(sizeof(Variant) == 16, "Variant stays a small value");

namespace detail {
// An array Variant's elements, stored with the first index varying fastest (so changing the
// last bound keeps every remaining element in place). Shared by copies until one writes.
struct VarArrayRep {
    int Refs = 1;
    TVarType ElemType = varVariant;
    int Dims = 0;
    int Low[3] = {};
    int High[3] = {};
    std::vector<Variant> Items;
};
// Makes a's array its own (copy on write) and returns it.
VarArrayRep* UnshareArray(Variant& a);
}  // namespace detail
static_assert(std::endian::native == std::endian::little, "the small kinds are stored zero-extended in the payload");

inline Variant Null() { return Variant::Null(); }
inline Variant Unassigned() { return Variant::Unassigned(); }
// The "parameter not given" marker of late-bound calls (varError, DISP_E_PARAMNOTFOUND).
Variant EmptyParam();

inline TVarType VarType(const Variant& v) { return v.VType(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline bool VarIsArray(const Variant& v) { return v.IsArray(); }
bool VarIsClear(const Variant& v);  // Empty, or a dispatch nil
bool VarIsNumeric(const Variant& v);  // integer kinds, Boolean, floats, currency (not date)
bool VarIsOrdinal(const Variant& v);  // integer kinds and Boolean
bool VarIsFloat(const Variant& v);    // Single, Double, Currency, Date
bool VarIsStr(const Variant& v);      // varString, varOleStr
bool VarIsType(const Variant& v, TVarType t);
AnsiString VarTypeAsText(TVarType t);  // "Integer", "String", "Array of Variant", ...

// A string Variant of UTF-8 text, converted to CP1251 by the rules of Utf8ToAnsi straight
// into the Variant's own string.
Variant VarFromUtf8(std::string_view utf8);
AnsiString VarToStr(const Variant& v);  // "" for Null
AnsiString VarToStr(const Variant& v, const TFormatSettings& fs);
AnsiString VarToStrDef(const Variant& v, const AnsiString& def);  // def for Null and Empty
TDateTime VarToDateTime(const Variant& v);
Variant VarAsType(const Variant& v, TVarType t);
Variant VarAsType(const Variant& v, TVarType t, const TFormatSettings& fs);
void VarCast(Variant& dest, const Variant& source, TVarType t);
void VarClear(Variant& v);
Variant VarFromDateTime(TDateTime d);

Variant VarAdd(const Variant& a, const Variant& b);
Variant VarSub(const Variant& a, const Variant& b);
Variant VarMul(const Variant& a, const Variant& b);
Variant VarDiv(const Variant& a, const Variant& b);
Variant VarIntDiv(const Variant& a, const Variant& b);
Variant VarMod(const Variant& a, const Variant& b);
Variant VarAnd(const Variant& a, const Variant& b);
Variant VarOr(const Variant& a, const Variant& b);
Variant VarXor(const Variant& a, const Variant& b);
Variant VarShl(const Variant& a, const Variant& b);
Variant VarShr(const Variant& a, const Variant& b);
Variant VarNeg(const Variant& a);
Variant VarNot(const Variant& a);
TVariantRelationship VarCompare(const Variant& a, const Variant& b);
// Comparison with the operator rules: Null = Null is True, Null with anything else is not
// equal, and every ordering involving Null is False.
bool VarEq(const Variant& a, const Variant& b);
bool VarNe(const Variant& a, const Variant& b);
bool VarLt(const Variant& a, const Variant& b);
bool VarLe(const Variant& a, const Variant& b);
bool VarGt(const Variant& a, const Variant& b);
bool VarGe(const Variant& a, const Variant& b);
// Same type code and same value (strings byte for byte, arrays element by element); what
// tests use to check both the type and the value of a result.
bool IdenticalValues(const Variant& a, const Variant& b);

// ---------------------------------------------------------------- arrays
// Bounds come in pairs, low then high, one pair per dimension (1 to 3 dimensions); the element
// type is varVariant or a scalar code (elements are then converted to it when stored).
Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType);
Variant VarArrayCreate(std::span<const int> bounds, TVarType elementType);
Variant VarArrayOf(std::initializer_list<Variant> values);  // 0-based, varVariant
Variant VarArrayOf(std::span<const Variant> values);
int VarArrayDimCount(const Variant& a);                     // 0 for a non-array
int VarArrayLowBound(const Variant& a, int dim);             // dim counts from 1
int VarArrayHighBound(const Variant& a, int dim);
// Changes the high bound of the last dimension, keeping the elements that remain.
void VarArrayRedim(Variant& a, int highBound);
Variant VarArrayGet(const Variant& a, std::initializer_list<int> indices);
Variant VarArrayGet(const Variant& a, std::span<const int> indices);
void VarArrayPut(Variant& a, const Variant& value, std::initializer_list<int> indices);
void VarArrayPut(Variant& a, const Variant& value, std::span<const int> indices);
TVarType VarArrayElementType(const Variant& a);
// True when a is a one-dimensional array of Variants indexed 0..count-1: the shape of an
// argument list, tested in one call.
bool VarArrayIsList(const Variant& a, int count);
// The elements of such a list, made unique first (copy on write) so that they can be
// changed in place: the span is good until a is next copied or changed. false, and a
// untouched, when a is not a list of count Variants. Inline: a host call tests its argument
// array with it before and after the call; only the copy is out of line.
inline bool VarArrayListElems(Variant& a, int count, std::span<Variant>& elems)
{
    if (!a.IsArray())
        return false;
    detail::VarArrayRep* r = a.FData.VArray;
    if (r->Dims != 1 || r->Low[0] != 0 || r->High[0] != count - 1 || r->ElemType != varVariant)
        return false;
    if (r->Refs > 1) [[unlikely]]
        r = detail::UnshareArray(a);
    elems = std::span<Variant>(r->Items.data(), r->Items.size());
    return true;
}

// ---------------------------------------------------------------- late binding
// Calls a member by name: looks the name up, raises EVariantDispatchError
// "Unknown name '%s'" (or "Variant does not reference an automation object") when it fails.
Variant DispatchInvoke(const Variant& object, const AnsiString& name, uint16_t flags,
                       std::span<const Variant> args);

// Variant - construction, copying and conversions. The rules are in Variant.h.
#include "platform/rtl/Variant.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/VariantImpl.h"

#include <cmath>
#include <cstring>

using detail::VarArrayRep;
using detail::VarStrRep;

namespace rtl_variant {

[[noreturn]] void CastError(TVarType from, TVarType to)
{
    throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeAsText(from) + ") into type (" +
                                VarTypeAsText(to) + ")");
}

[[noreturn]] void OverflowError(TVarType from, TVarType to)
{
    throw EVariantOverflowError("Overflow while converting variant of type (" + VarTypeAsText(from) +
                                ") into type (" + VarTypeAsText(to) + ")");
}

[[noreturn]] void InvalidOp() { throw EVariantInvalidOpError("Invalid variant operation"); }

bool IsIntType(TVarType t)
{
    switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
        return true;
    default:
        return false;
    }
}

}  // namespace rtl_variant

using namespace rtl_variant;

// ---------------------------------------------------------------- life cycle

namespace {

// At most this many free string records wait per thread, each with a buffer of at most
// kKeptCapacity bytes; the rest go back to the heap.
constexpr int kFreeStrRecords = 4096;
constexpr size_t kKeptCapacity = 256;

struct TFreeStrRecords {
    VarStrRep* Items[kFreeStrRecords];
    int Count = 0;
    bool Closed = false;
    ~TFreeStrRecords()
    {
        while (Count > 0)
            delete Items[--Count];
        Closed = true;  // records freed later (static Variants) go to the heap
    }
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPoolStrRecords = false;  // let the sanitizer see every record and buffer freed
#else
constexpr bool kPoolStrRecords = true;
#endif

thread_local TFreeStrRecords tFreeStrRecords;

}  // namespace

namespace {
// A free record with Refs 1 and its text as it was left (its bytes are there to be written
// over), or nullptr.
inline VarStrRep* PopFreeStrRep() noexcept
{
    TFreeStrRecords& f = tFreeStrRecords;
    if (!kPoolStrRecords || f.Count == 0)
        return nullptr;
    VarStrRep* r = f.Items[--f.Count];
    r->Refs = 1;
    return r;
}
}  // namespace

VarStrRep* detail::NewStrRep()
{
    if (VarStrRep* r = PopFreeStrRep()) {
        r->Text.clear();
        return r;
    }
    return new VarStrRep;
}

void detail::FreeStrRep(VarStrRep* rep) noexcept
{
    // The text keeps its length: a record taken again is cleared, or written over.
    TFreeStrRecords& f = tFreeStrRecords;
    if (kPoolStrRecords && !f.Closed && f.Count < kFreeStrRecords && rep->Text.capacity() <= kKeptCapacity) {
        f.Items[f.Count++] = rep;
        return;
    }
    delete rep;
}

namespace {
// A new record whose text `fill` writes; the record goes back if writing raises.
template <class F>
VarStrRep* NewStrWith(F&& fill)
{
    VarStrRep* r = detail::NewStrRep();
    try {
        fill(r->Text);
    } catch (...) {
        detail::FreeStrRep(r);
        throw;
    }
    return r;
}

VarStrRep* NewStr(std::string_view s)
{
    return NewStrWith([&](AnsiString& t) { t.assign(s.data(), s.size()); });
}
}  // namespace

Variant::Variant(char v) : FType(varString) { FData.VString = NewStr(std::string_view(&v, 1)); }
Variant::Variant(const char* v) : FType(varString) { FData.VString = NewStr(v ? std::string_view(v) : std::string_view()); }
Variant::Variant(std::string_view v) : FType(varString) { FData.VString = NewStr(v); }
Variant::Variant(const AnsiString& v) : FType(varString) { FData.VString = NewStr(v); }
Variant::Variant(AnsiString&& v) : FType(varString)
{
    // A text on the heap is taken over; a short one is copied into the record's own buffer.
    FData.VString = NewStrWith([&](AnsiString& t) {
        if (v.size() <= t.capacity())
            t.assign(v);
        else
            t = std::move(v);
    });
}

Variant VarFromUtf8(std::string_view utf8)
{
    // Every CP1251 byte takes at least one UTF-8 byte: the text is converted over the bytes
    // a reused record already holds, which grow (zeroed) only by what they lack.
    VarStrRep* r = PopFreeStrRep();
    if (!r)
        r = new VarStrRep;
    AnsiString& t = r->Text;
    if (t.size() < utf8.size()) {
        try {
            t.resize(utf8.size());
        } catch (...) {
            detail::FreeStrRep(r);
            throw;
        }
    }
    t.resize(Utf8ToAnsiInto(utf8, t.data()));
    return VariantAccess::MakeStr(r);
}

Variant::Variant(unsigned long v) : FType(varInt64)
{
    if (v > 0x7FFFFFFFFFFFFFFFul)
        OverflowError(varInt64, varInt64);
    FData.VInt64 = int64_t(v);
}

Variant::Variant(unsigned long long v) : FType(varInt64)
{
    if (v > 0x7FFFFFFFFFFFFFFFull)
        OverflowError(varInt64, varInt64);
    FData.VInt64 = int64_t(v);
}

Variant::Variant(IVariantDispatch* v) : FType(varDispatch)
{
    FData.VInt64 = 0;
    FData.VDispatch = v;
    if (v)
        v->AddRef();
}

void Variant::CopyFrom(const Variant& v)
{
    FType = v.FType;
    FData = v.FData;
    if (FType == varString || FType == varOleStr)
        ++FData.VString->Refs;
    else if (FType == varDispatch || FType == varUnknown) {
        if (FData.VDispatch)
            FData.VDispatch->AddRef();
    } else if (FType & varArray)
        ++FData.VArray->Refs;
}

void Variant::ReleaseData() noexcept
{
    if (FType == varString || FType == varOleStr) {
        if (--FData.VString->Refs == 0)
            detail::FreeStrRep(FData.VString);
    } else if (FType == varDispatch || FType == varUnknown) {
        if (FData.VDispatch)
            FData.VDispatch->Release();
    } else if (FType & varArray) {
        if (--FData.VArray->Refs == 0)
            delete FData.VArray;
    }
    FType = varEmpty;
}

Variant& Variant::AssignSlow(const Variant& v)
{
    if (this == &v)
        return *this;
    Variant tmp(v);
    std::swap(FType, tmp.FType);
    std::swap(FData, tmp.FData);
    return *this;
}

void Variant::Clear() noexcept
{
    if (!IsSimple())
        ReleaseData();
    FType = varEmpty;
    FData.VInt64 = 0;
}

bool Variant::AppendUnshared(std::string_view text)
{
    if (FType != varString || FData.VString->Refs != 1)
        return false;
    FData.VString->Text.append(text);
    return true;
}

AnsiString* Variant::UnsharedStr() noexcept
{
    return FType == varString && FData.VString->Refs == 1 ? &FData.VString->Text : nullptr;
}

Variant EmptyParam() { return Variant::Error(int32_t(0x80020004u)); }

// ---------------------------------------------------------------- type tests

bool VarIsClear(const Variant& v)
{
    return v.IsEmpty() || (v.VType() == varDispatch && VariantAccess::Data(v).VDispatch == nullptr);
}

bool VarIsOrdinal(const Variant& v) { return IsIntType(v.VType()) || v.VType() == varBoolean; }

bool VarIsFloat(const Variant& v)
{
    TVarType t = v.VType();
    return t == varSingle || t == varDouble || t == varCurrency || t == varDate;
}

bool VarIsNumeric(const Variant& v)
{
    TVarType t = v.VType();
    return VarIsOrdinal(v) || t == varSingle || t == varDouble || t == varCurrency;
}

bool VarIsStr(const Variant& v) { return v.VType() == varString || v.VType() == varOleStr; }

bool VarIsType(const Variant& v, TVarType t) { return v.VType() == t; }

AnsiString VarTypeAsText(TVarType t)
{
    AnsiString base;
    switch (t & varTypeMask) {
    case varEmpty: base = "Empty"; break;
    case varNull: base = "Null"; break;
    case varSmallint: base = "Smallint"; break;
    case varInteger: base = "Integer"; break;
    case varSingle: base = "Single"; break;
    case varDouble: base = "Double"; break;
    case varCurrency: base = "Currency"; break;
    case varDate: base = "Date"; break;
    case varOleStr: base = "OleStr"; break;
    case varDispatch: base = "Dispatch"; break;
    case varError: base = "Error"; break;
    case varBoolean: base = "Boolean"; break;
    case varVariant: base = "Variant"; break;
    case varUnknown: base = "Unknown"; break;
    case varShortInt: base = "ShortInt"; break;
    case varByte: base = "Byte"; break;
    case varWord: base = "Word"; break;
    case varLongWord: base = "LongWord"; break;
    case varInt64: base = "Int64"; break;
    case varString: base = "String"; break;
    default: base = "$" + IntToHex(t & varTypeMask, 4); break;
    }
    if (t & varArray)
        return "Array of " + base;
    return base;
}

// ---------------------------------------------------------------- conversions

namespace {

// Rounds a float to Int64 (halves to even), or reports overflow for `to`.
int64_t FloatToInt64(long double d, TVarType from, TVarType to)
{
    if (std::isnan(d) || !(d > -9223372036854775809.0L && d < 9223372036854775808.0L))
        OverflowError(from, to);
    long double r = std::nearbyintl(d);
    if (r >= 9223372036854775808.0L)
        OverflowError(from, to);
    return static_cast<int64_t>(r);
}

int64_t CurrencyToInt64(int64_t scaled)
{
    int64_t q = scaled / 10000, r = scaled % 10000;
    if (r > 5000 || (r == 5000 && (q & 1)))
        ++q;
    else if (r < -5000 || (r == -5000 && (q & 1)))
        --q;
    return q;
}

int64_t StrToInt64ForVariant(const AnsiString& s, TVarType to, const TFormatSettings& fs)
{
    int64_t i;
    if (TryStrToInt64(s, i))
        return i;
    double d;
    if (TryStrToFloat(s, d, fs))
        return FloatToInt64(d, varString, to);
    CastError(varString, to);
}

int64_t ToInt64(const Variant& v, TVarType to, const TFormatSettings& fs)
{
    const auto& d = VariantAccess::Data(v);
    switch (v.VType()) {
    case varEmpty: return 0;
    case varSmallint: return d.VSmallint;
    case varInteger: return d.VInteger;
    case varShortInt: return d.VShortInt;
    case varByte: return d.VByte;
    case varWord: return d.VWord;
    case varLongWord: return d.VLongWord;
    case varInt64: return d.VInt64;
    case varBoolean: return d.VBoolean ? -1 : 0;
    case varSingle: return FloatToInt64(d.VSingle, v.VType(), to);
    case varDouble: return FloatToInt64(d.VDouble, v.VType(), to);
    case varDate: return FloatToInt64(d.VDate, v.VType(), to);
    case varCurrency: return CurrencyToInt64(d.VCurrency);
    case varString:
    case varOleStr: return StrToInt64ForVariant(VariantAccess::Str(v)->Text, to, fs);
    default: CastError(v.VType(), to);
    }
}

double ToDouble(const Variant& v, TVarType to, const TFormatSettings& fs)
{
    const auto& d = VariantAccess::Data(v);
    switch (v.VType()) {
    case varEmpty: return 0;
    case varSmallint: return d.VSmallint;
    case varInteger: return d.VInteger;
    case varShortInt: return d.VShortInt;
    case varByte: return d.VByte;
    case varWord: return d.VWord;
    case varLongWord: return d.VLongWord;
    case varInt64: return double(d.VInt64);
    case varBoolean: return d.VBoolean ? -1 : 0;
    case varSingle: return d.VSingle;
    case varDouble: return d.VDouble;
    case varDate: return d.VDate;
    case varCurrency: return double(d.VCurrency) / 10000.0;
    case varString:
    case varOleStr: {
        double r;
        if (TryStrToFloat(VariantAccess::Str(v)->Text, r, fs))
            return r;
        CastError(varString, to);
    }
    default: CastError(v.VType(), to);
    }
}

int64_t RangeChecked(int64_t x, int64_t lo, int64_t hi, TVarType from, TVarType to)
{
    if (x < lo || x > hi)
        OverflowError(from, to);
    return x;
}

}  // namespace

// The accessors answer the commonest types first, without the general conversion.
int64_t Variant::AsInt64() const
{
    if (FType == varInteger)
        return FData.VInteger;
    if (FType == varInt64)
        return FData.VInt64;
    return ToInt64(*this, varInt64, FormatSettings());
}

int32_t Variant::AsInteger() const
{
    if (FType == varInteger)
        return FData.VInteger;
    // An Int64 inside 32 bits (literals and sums of scripts are Int64), without the general
    // conversion; outside, it raises the overflow below.
    if (FType == varInt64 && FData.VInt64 >= INT32_MIN && FData.VInt64 <= INT32_MAX)
        return int32_t(FData.VInt64);
    return int32_t(RangeChecked(ToInt64(*this, varInteger, FormatSettings()), INT32_MIN, INT32_MAX, FType, varInteger));
}

double Variant::AsDouble() const
{
    if (FType == varDouble)
        return FData.VDouble;
    if (FType == varInteger)
        return FData.VInteger;
    return ToDouble(*this, varDouble, FormatSettings());
}

Currency Variant::AsCurrency() const
{
    if (FType == varCurrency)
        return Currency::FromScaled(FData.VCurrency);
    if (IsIntType(FType) || FType == varBoolean || FType == varEmpty) {
        int64_t i = ToInt64(*this, varCurrency, FormatSettings());
        if (i > 922337203685477 || i < -922337203685477)
            OverflowError(FType, varCurrency);
        return Currency::FromScaled(i * 10000);
    }
    double d = ToDouble(*this, varCurrency, FormatSettings());
    if (!(std::fabs(d) < 922337203685477.0))
        OverflowError(FType, varCurrency);
    return Currency(d);
}

TDateTime Variant::AsDate() const
{
    if (FType == varString || FType == varOleStr) {
        TDateTime dt;
        if (TryStrToDateTime(FData.VString->Text, dt, FormatSettings()))
            return dt;
    }
    double d = ToDouble(*this, varDate, FormatSettings());
    if (!(std::fabs(d) <= 2958466.0))
        OverflowError(FType, varDate);
    return TDateTime(d);
}

bool Variant::AsBoolean() const
{
    switch (FType) {
    case varBoolean: return FData.VBoolean;
    case varString:
    case varOleStr: {
        bool b;
        if (TryStrToBool(FData.VString->Text, b))
            return b;
        CastError(varString, varBoolean);
    }
    case varEmpty: return false;
    default:
        if (IsIntType(FType))
            return ToInt64(*this, varBoolean, FormatSettings()) != 0;
        return ToDouble(*this, varBoolean, FormatSettings()) != 0;
    }
}

AnsiString Variant::AsString(const TFormatSettings& fs) const
{
    switch (FType) {
    case varEmpty: return AnsiString();
    case varNull: CastError(varNull, varString);
    case varBoolean: return FData.VBoolean ? "True" : "False";
    case varSingle: return FloatToStr(double(FData.VSingle), fs);
    case varDouble: return FloatToStr(FData.VDouble, fs);
    case varCurrency: return CurrToStr(Currency::FromScaled(FData.VCurrency), fs);
    case varDate: return DateTimeToStr(TDateTime(FData.VDate), fs);
    case varString:
    case varOleStr: return FData.VString->Text;
    default:
        if (IsIntType(FType))
            return IntToStr(ToInt64(*this, varString, fs));
        CastError(FType, varString);
    }
}

AnsiString Variant::AsString() const { return AsString(FormatSettings()); }

IVariantDispatch* Variant::AsDispatch() const
{
    if (FType != varDispatch)
        CastError(FType, varDispatch);
    return FData.VDispatch;
}

AnsiString VarToStr(const Variant& v, const TFormatSettings& fs)
{
    if (v.IsNull())
        return AnsiString();
    return v.AsString(fs);
}

AnsiString VarToStr(const Variant& v)
{
    if (const AnsiString* s = v.StrPtr())
        return *s;
    return VarToStr(v, FormatSettings());
}

AnsiString VarToStrDef(const Variant& v, const AnsiString& def)
{
    if (v.IsNull() || v.IsEmpty())
        return def;
    return VarToStr(v);
}

TDateTime VarToDateTime(const Variant& v) { return v.AsDate(); }
Variant VarFromDateTime(TDateTime d) { return Variant(d); }
void VarClear(Variant& v) { v.Clear(); }

Variant VarAsType(const Variant& v, TVarType t, const TFormatSettings& fs)
{
    TVarType from = v.VType();
    if (t == from || t == varVariant)
        return v;
    if (t == varOleStr)
        t = varString;
    if (t == varString && from == varOleStr)
        return v;
    if (t & varArray)
        CastError(from, t);
    if (t == varEmpty)
        return Variant();
    if (t == varNull)
        return Variant::Null();
    if (from == varNull || (from & varArray) || from == varDispatch || from == varUnknown || from == varError)
        CastError(from, t);
    switch (t) {
    case varSmallint: return Variant(short(RangeChecked(ToInt64(v, t, fs), INT16_MIN, INT16_MAX, from, t)));
    case varInteger: return Variant(int(RangeChecked(ToInt64(v, t, fs), INT32_MIN, INT32_MAX, from, t)));
    case varShortInt: return Variant((signed char)(RangeChecked(ToInt64(v, t, fs), INT8_MIN, INT8_MAX, from, t)));
    case varByte: return Variant((unsigned char)(RangeChecked(ToInt64(v, t, fs), 0, UINT8_MAX, from, t)));
    case varWord: return Variant((unsigned short)(RangeChecked(ToInt64(v, t, fs), 0, UINT16_MAX, from, t)));
    case varLongWord: return Variant(unsigned(RangeChecked(ToInt64(v, t, fs), 0, UINT32_MAX, from, t)));
    case varInt64: return Variant((long long)ToInt64(v, t, fs));
    case varSingle: {
        double d = ToDouble(v, t, fs);
        if (std::isfinite(d) && std::fabs(d) > 3.4028234663852886e38)
            OverflowError(from, t);
        return Variant(float(d));
    }
    case varDouble: return Variant(ToDouble(v, t, fs));
    case varCurrency: return Variant(v.AsCurrency());
    case varDate: {
        if (VarIsStr(v)) {
            TDateTime dt;
            if (TryStrToDateTime(*v.StrPtr(), dt, fs))
                return Variant(dt);
        }
        double d = ToDouble(v, t, fs);
        if (!(std::fabs(d) <= 2958466.0))
            OverflowError(from, t);
        return Variant(TDateTime(d));
    }
    case varBoolean: return Variant(v.AsBoolean());
    case varString: return Variant(v.AsString(fs));
    default: CastError(from, t);
    }
}

Variant VarAsType(const Variant& v, TVarType t) { return VarAsType(v, t, FormatSettings()); }
void VarCast(Variant& dest, const Variant& source, TVarType t) { dest = VarAsType(source, t); }

bool IdenticalValues(const Variant& a, const Variant& b)
{
    if (a.VType() != b.VType())
        return false;
    const auto& x = VariantAccess::Data(a);
    const auto& y = VariantAccess::Data(b);
    switch (a.VType()) {
    case varEmpty:
    case varNull: return true;
    case varSmallint: return x.VSmallint == y.VSmallint;
    case varInteger: return x.VInteger == y.VInteger;
    case varShortInt: return x.VShortInt == y.VShortInt;
    case varByte: return x.VByte == y.VByte;
    case varWord: return x.VWord == y.VWord;
    case varLongWord: return x.VLongWord == y.VLongWord;
    case varInt64:
    case varCurrency: return x.VInt64 == y.VInt64;
    case varError: return x.VError == y.VError;
    case varBoolean: return x.VBoolean == y.VBoolean;
    case varSingle: return x.VSingle == y.VSingle || (std::isnan(x.VSingle) && std::isnan(y.VSingle));
    case varDouble:
    case varDate: return x.VDouble == y.VDouble || (std::isnan(x.VDouble) && std::isnan(y.VDouble));
    case varString:
    case varOleStr: return x.VString->Text == y.VString->Text;
    case varDispatch:
    case varUnknown: return x.VDispatch == y.VDispatch;
    default: break;
    }
    if (a.IsArray()) {
        const VarArrayRep* p = x.VArray;
        const VarArrayRep* q = y.VArray;
        if (p->Dims != q->Dims || p->ElemType != q->ElemType || p->Items.size() != q->Items.size())
            return false;
        for (int d = 0; d < p->Dims; ++d)
            if (p->Low[d] != q->Low[d] || p->High[d] != q->High[d])
                return false;
        for (size_t i = 0; i < p->Items.size(); ++i)
            if (!IdenticalValues(p->Items[i], q->Items[i]))
                return false;
        return true;
    }
    return false;
}

// Streaming.cpp - the binary component-stream codec: TWriter and TReader.
#include "platform/classes/Streaming.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

SKLAD_DEFINE_ABSTRACT_CLASS(TFiler)
SKLAD_DEFINE_ABSTRACT_CLASS(TWriter)
SKLAD_DEFINE_ABSTRACT_CLASS(TReader)

namespace {
constexpr char kSignature[4] = {'T', 'P', 'F', '0'};

const char* ValueTypeName(int t)
{
    static const char* const names[] = {
        "end of list", "list", "8-bit integer", "16-bit integer", "32-bit integer", "extended float",
        "string", "identifier", "False", "True", "binary data", "set", "long string", "nil",
        "collection", "single float", "currency", "date", "wide string", "64-bit integer", "UTF-8 string"};
    return t >= 0 && t <= kMaxValueType ? names[t] : "an unknown value type";
}

AnsiString ValueTypeText(int t)
{
    if (t < 0)
        return "end of data";
    if (t > kMaxValueType)
        return Format(msg::kBadValueType, {t});
    return ValueTypeName(t);
}

struct IntConsts {
    std::vector<std::pair<AnsiString, int>> Map;
};

std::map<AnsiString, IntConsts>& IntConstTables()
{
    static std::map<AnsiString, IntConsts> m;
    return m;
}

AnsiString Key(std::string_view typeName) { return UpperCase(typeName); }

}  // namespace

EComponentStreamError::EComponentStreamError(int64_t offset, AnsiString detail)
    : EReadError(Format(msg::kStreamAt, {IntToStr(offset), detail})), FOffset(offset), FDetail(std::move(detail))
{
}

// ---------------------------------------------------------------- integer identifiers

void RegisterIntegerConsts(std::string_view typeName, std::vector<std::pair<AnsiString, int>> map)
{
    IntConstTables()[Key(typeName)].Map = std::move(map);
}

bool IdentToInt(std::string_view typeName, std::string_view ident, int& value)
{
    auto it = IntConstTables().find(Key(typeName));
    if (it == IntConstTables().end())
        return false;
    for (const auto& [name, v] : it->second.Map)
        if (SameText(name, ident)) {
            value = v;
            return true;
        }
    return false;
}

bool IntToIdent(std::string_view typeName, int value, AnsiString& ident)
{
    auto it = IntConstTables().find(Key(typeName));
    if (it == IntConstTables().end())
        return false;
    for (const auto& [name, v] : it->second.Map)
        if (v == value) {
            ident = name;
            return true;
        }
    return false;
}

// ---------------------------------------------------------------- 80-bit floats

void DoubleToExtended(long double value, unsigned char out[10])
{
    if constexpr (std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= 10) {
        std::memcpy(out, &value, 10);  // x87 format, little-endian
    } else {
        const double d = static_cast<double>(value);
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        const uint16_t sign = static_cast<uint16_t>((bits >> 63) << 15);
        const int e = static_cast<int>((bits >> 52) & 0x7FF);
        uint64_t m = bits & ((uint64_t(1) << 52) - 1);
        uint16_t exp = 0;
        uint64_t mant = 0;
        if (e == 0 && m == 0) {
        } else if (e == 0x7FF) {
            exp = 0x7FFF;
            mant = (uint64_t(1) << 63) | (m << 11);
        } else if (e == 0) {
            int p = 63 - __builtin_clzll(m);
            mant = m << (63 - p);
            exp = static_cast<uint16_t>(p - 1074 + 16383);
        } else {
            exp = static_cast<uint16_t>(e - 1023 + 16383);
            mant = (uint64_t(1) << 63) | (m << 11);
        }
        std::memcpy(out, &mant, 8);
        const uint16_t se = static_cast<uint16_t>(sign | exp);
        std::memcpy(out + 8, &se, 2);
    }
}

long double ExtendedToDouble(const unsigned char in[10])
{
    uint64_t mant;
    uint16_t se;
    std::memcpy(&mant, in, 8);
    std::memcpy(&se, in + 8, 2);
    const bool neg = (se & 0x8000) != 0;
    const int exp = se & 0x7FFF;
    long double r;
    if (exp == 0x7FFF) {
        r = (mant << 1) ? std::numeric_limits<long double>::quiet_NaN() : std::numeric_limits<long double>::infinity();
    } else if (mant == 0) {
        r = 0;
    } else {
        r = std::ldexp(static_cast<long double>(mant), exp - 16383 - 63);
    }
    return neg ? -r : r;
}

// ---------------------------------------------------------------- TWriter

void TWriter::DefineProperty(const AnsiString& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData)
{
    if (HasData && WriteData) {
        WritePropName(Name);
        WriteData(*this);
    }
}

void TWriter::DefineBinaryProperty(const AnsiString& Name, const TStreamProc&, const TStreamProc& WriteData, bool HasData)
{
    if (HasData && WriteData) {
        WritePropName(Name);
        WriteBinary(WriteData);
    }
}

void TWriter::WriteSignature() { WriteBuffer(kSignature, 4); }

void TWriter::WriteRootComponent(TComponent* Root)
{
    FRoot = Root;
    FLookupRoot = Root;
    WriteSignature();
    WriteComponent(Root);
}

void TWriter::WriteComponent(TComponent* Component)
{
    if (++FDepth > TReader::kMaxDepth) {
        --FDepth;
        throw EWriteError(Format(msg::kTooDeep, {TReader::kMaxDepth}));
    }
    Component->SetComponentState(csWriting, true);
    TScopeExit cleanup([&] { Component->SetComponentState(csWriting, false); --FDepth; });
    WriteComponentData(Component);
}

void TWriter::WriteComponentData(TComponent* Instance)
{
    WriteStr(Instance->ClassName());
    WriteStr(Instance->Name());
    const AnsiString savedPath = FPropPath;
    FPropPath.clear();
    WriteProperties(Instance);
    FPropPath = savedPath;
    WriteListEnd();
    Instance->WriteState(this);
    TComponent* root = FRoot ? FRoot : Instance;
    Instance->GetChildren([this](TComponent* child) { WriteComponent(child); }, root);
    WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* Instance)
{
    for (const TPropInfo* p : Instance->ClassType()->Properties()) {
        if (!p->Readable || !IsStoredProp(Instance, p))
            continue;
        if (!p->Writable && p->Kind() != tkClass)
            continue;
        WriteProperty(Instance, p);
    }
    Instance->DefineProperties(this);
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo* Prop)
{
    const TTypeInfo* type = Prop->PropType;
    switch (type->Kind) {
    case tkInteger: case tkChar: case tkWChar: case tkEnumeration: case tkSet: case tkInt64: {
        if (IsDefaultPropValue(Instance, Prop))
            return;
        const int64_t v = GetOrdProp(Instance, Prop);
        WritePropName(Prop->Name);
        AnsiString ident;
        if (type->Kind == tkInteger && IntToIdent(type->Name, static_cast<int>(v), ident))
            WriteIdent(ident);
        else if (type->Kind == tkChar || type->Kind == tkWChar)
            WriteChar(static_cast<char>(v));
        else if (type->Kind == tkEnumeration)
            WriteIdent(GetEnumName(type, static_cast<int>(v)));
        else if (type->Kind == tkSet)
            WriteSet(type, static_cast<uint32_t>(v));
        else
            WriteInteger(v);
        return;
    }
    case tkFloat: {
        const long double v = GetFloatProp(Instance, Prop);
        if (v == 0)
            return;
        WritePropName(Prop->Name);
        if (type->FloatType == ftSingle)
            WriteSingle(static_cast<float>(v));
        else if (type->FloatType == ftCurr)
            WriteCurrency(Currency(static_cast<double>(v)));
        else if (SameText(type->Name, "TDateTime") || SameText(type->Name, "TDate") || SameText(type->Name, "TTime"))
            WriteDate(TDateTime(static_cast<double>(v)));
        else
            WriteFloat(v);
        return;
    }
    case tkString: case tkLString: case tkWString: {
        AnsiString s = GetStrProp(Instance, Prop);
        if (s.empty())
            return;
        WritePropName(Prop->Name);
        WriteString(s);
        return;
    }
    case tkVariant: {
        Variant v = GetVariantProp(Instance, Prop);
        if (v.IsEmpty())
            return;
        WritePropName(Prop->Name);
        WriteVariant(v);
        return;
    }
    case tkMethod: {
        TMethod m = GetMethodProp(Instance, Prop);
        // Only handlers that are published methods of the root can be named in a stream.
        if (!m.Assigned() || m.Name().empty() || m.Data() != LookupRoot())
            return;
        WritePropName(Prop->Name);
        WriteIdent(m.Name());
        return;
    }
    case tkClass: {
        TObject* obj = GetObjectProp(Instance, Prop);
        if (!obj)
            return;
        if (auto* comp = dynamic_cast<TComponent*>(obj)) {
            AnsiString name;
            TComponent* root = LookupRoot();
            if (comp == root)
                name = comp->Name();
            else if (comp->Owner() == root)
                name = comp->Name();
            else if (comp->Owner() && !comp->Owner()->Name().empty() && !comp->Name().empty())
                name = comp->Owner()->Name() + "." + comp->Name();
            if (name.empty() || comp->Name().empty())
                return;
            WritePropName(Prop->Name);
            WriteIdent(name);
            return;
        }
        if (auto* coll = dynamic_cast<TCollection*>(obj)) {
            WritePropName(Prop->Name);
            WriteCollection(coll);
            return;
        }
        if (auto* pers = dynamic_cast<TPersistent*>(obj)) {
            const AnsiString saved = FPropPath;
            FPropPath += Prop->Name + ".";
            TScopeExit cleanup([&] { FPropPath = saved; });
            WriteProperties(pers);
        }
        return;
    }
    default:
        return;
    }
}

void TWriter::WriteValue(TValueType Value)
{
    const auto b = static_cast<uint8_t>(Value);
    WriteBuffer(&b, 1);
}

void TWriter::WriteStr(const AnsiString& Value)
{
    const size_t n = std::min<size_t>(Value.size(), 255);
    const auto len = static_cast<uint8_t>(n);
    WriteBuffer(&len, 1);
    WriteBuffer(Value.data(), n);
}

void TWriter::WritePropName(const AnsiString& Name) { WriteStr(FPropPath + Name); }

void TWriter::WriteInteger(int64_t Value)
{
    if (Value >= INT8_MIN && Value <= INT8_MAX) {
        WriteValue(vaInt8);
        const auto v = static_cast<int8_t>(Value);
        WriteBuffer(&v, 1);
    } else if (Value >= INT16_MIN && Value <= INT16_MAX) {
        WriteValue(vaInt16);
        const auto v = static_cast<int16_t>(Value);
        WriteBuffer(&v, 2);
    } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
        WriteValue(vaInt32);
        const auto v = static_cast<int32_t>(Value);
        WriteBuffer(&v, 4);
    } else {
        WriteValue(vaInt64);
        WriteBuffer(&Value, 8);
    }
}

void TWriter::WriteChar(char Value) { WriteString(AnsiString(1, Value)); }

void TWriter::WriteFloat(long double Value)
{
    unsigned char b[10];
    DoubleToExtended(Value, b);
    WriteValue(vaExtended);
    WriteBuffer(b, 10);
}

void TWriter::WriteSingle(float Value)
{
    WriteValue(vaSingle);
    WriteBuffer(&Value, 4);
}

void TWriter::WriteCurrency(Currency Value)
{
    WriteValue(vaCurrency);
    WriteBuffer(&Value.Val, 8);
}

void TWriter::WriteDate(TDateTime Value)
{
    WriteValue(vaDate);
    WriteBuffer(&Value.Val, 8);
}

void TWriter::WriteString(const AnsiString& Value)
{
    if (Value.size() <= 255) {
        WriteValue(vaString);
        WriteStr(Value);
    } else {
        WriteValue(vaLString);
        const auto n = static_cast<uint32_t>(Value.size());
        WriteBuffer(&n, 4);
        WriteBuffer(Value.data(), Value.size());
    }
}

void TWriter::WriteUTF8Str(const AnsiString& Value)
{
    const AnsiString u = AnsiToUtf8(Value);
    WriteValue(vaUTF8String);
    const auto n = static_cast<uint32_t>(u.size());
    WriteBuffer(&n, 4);
    WriteBuffer(u.data(), u.size());
}

void TWriter::WriteIdent(const AnsiString& Ident)
{
    if (SameText(Ident, "False"))
        WriteValue(vaFalse);
    else if (SameText(Ident, "True"))
        WriteValue(vaTrue);
    else if (SameText(Ident, "nil"))
        WriteValue(vaNil);
    else if (SameText(Ident, "Null"))
        WriteValue(vaNull);
    else {
        WriteValue(vaIdent);
        WriteStr(Ident);
    }
}

void TWriter::WriteSet(const TTypeInfo* SetType, uint32_t Value)
{
    WriteValue(vaSet);
    for (int i = 0; i < 32; ++i)
        if (Value & (uint32_t(1) << i))
            WriteStr(GetEnumName(SetType ? SetType->CompType : nullptr, i));
    WriteStr(AnsiString());
}

void TWriter::WriteCollection(TCollection* Value)
{
    WriteValue(vaCollection);
    if (Value) {
        const AnsiString saved = FPropPath;
        FPropPath.clear();
        TScopeExit cleanup([&] { FPropPath = saved; });
        for (int i = 0; i < Value->Count(); ++i) {
            WriteListBegin();
            WriteProperties(Value->Items(i));
            WriteListEnd();
        }
    }
    WriteListEnd();
}

void TWriter::WriteBinary(const TStreamProc& WriteData)
{
    TMemoryStream ms;
    WriteData(ms);
    WriteValue(vaBinary);
    const auto n = static_cast<uint32_t>(ms.GetSize());
    WriteBuffer(&n, 4);
    WriteBuffer(ms.Memory(), n);
}

void TWriter::WriteVariant(const Variant& Value)
{
    switch (Value.VType()) {
    case varEmpty: WriteValue(vaNil); return;
    case varNull: WriteValue(vaNull); return;
    case varString: case varOleStr: WriteString(Value.AsString()); return;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord: case varInt64:
        WriteInteger(Value.AsInt64());
        return;
    case varSingle: WriteSingle(static_cast<float>(Value.AsDouble())); return;
    case varDouble: WriteFloat(Value.AsDouble()); return;
    case varCurrency: WriteCurrency(Value.AsCurrency()); return;
    case varDate: WriteDate(Value.AsDate()); return;
    case varBoolean: WriteBoolean(Value.AsBoolean()); return;
    default: throw EWriteError(Format(msg::kBadVariantType, {VarTypeAsText(Value.VType())}));
    }
}

// ---------------------------------------------------------------- TReader

TReader::TReader(TStream& Stream) : TFiler(Stream) {}
TReader::~TReader() = default;

void TReader::Fail(const AnsiString& what) const { throw EComponentStreamError(FItemOffset, what); }

void TReader::Expected(const char* what, TValueType got) const
{
    Fail(Format(msg::kValueExpected, {what, ValueTypeText(got)}));
}

void TReader::ReadBytes(void* buffer, int64_t count)
{
    if (count <= 0)
        return;
    const int64_t left = FStream.GetSize() - FStream.GetPosition();
    if (count > left)
        Fail(Format(msg::kLengthTooLong, {IntToStr(count), IntToStr(left < 0 ? 0 : left)}));
    FStream.ReadBuffer(buffer, count);
}

uint32_t TReader::ReadLength()
{
    uint32_t n;
    ReadBytes(&n, 4);
    const int64_t left = FStream.GetSize() - FStream.GetPosition();
    if (static_cast<int64_t>(n) > left)
        Fail(Format(msg::kLengthTooLong, {UIntToStr(n), IntToStr(left)}));
    return n;
}

void TReader::ReadSignature()
{
    char sig[4];
    FItemOffset = FStream.GetPosition();
    if (FStream.GetSize() - FItemOffset < 4)
        Fail(msg::kInvalidSignature);
    FStream.ReadBuffer(sig, 4);
    if (std::memcmp(sig, kSignature, 4) != 0)
        Fail(msg::kInvalidSignature);
}

TValueType TReader::ReadValue()
{
    uint8_t b;
    if (FStream.GetPosition() >= FStream.GetSize())
        Fail(Format(msg::kValueExpected, {"a value", "end of data"}));
    FStream.ReadBuffer(&b, 1);
    if (b > kMaxValueType)
        Fail(Format(msg::kBadValueType, {static_cast<int>(b)}));
    return static_cast<TValueType>(b);
}

TValueType TReader::NextValue()
{
    TValueType v = ReadValue();
    FStream.Seek(-1, soCurrent);
    return v;
}

bool TReader::EndOfList()
{
    // A raw peek: a component may start with a flags byte that is no value type.
    if (FStream.GetPosition() >= FStream.GetSize())
        Fail(Format(msg::kValueExpected, {"end of list", "end of data"}));
    uint8_t b;
    FStream.ReadBuffer(&b, 1);
    FStream.Seek(-1, soCurrent);
    return b == vaNull;
}

void TReader::ReadListBegin()
{
    TValueType v = ReadValue();
    if (v != vaList)
        Expected("list", v);
}

void TReader::ReadListEnd()
{
    TValueType v = ReadValue();
    if (v != vaNull)
        Expected("end of list", v);
}

AnsiString TReader::ReadStr()
{
    uint8_t len;
    ReadBytes(&len, 1);
    AnsiString s(len, '\0');
    ReadBytes(s.data(), len);
    return s;
}

int64_t TReader::ReadInt64()
{
    TValueType v = ReadValue();
    switch (v) {
    case vaInt8: { int8_t x; ReadBytes(&x, 1); return x; }
    case vaInt16: { int16_t x; ReadBytes(&x, 2); return x; }
    case vaInt32: { int32_t x; ReadBytes(&x, 4); return x; }
    case vaInt64: { int64_t x; ReadBytes(&x, 8); return x; }
    default: Expected("integer", v);
    }
}

int32_t TReader::ReadInteger()
{
    const int64_t v = ReadInt64();
    if (v < INT32_MIN || v > INT32_MAX)
        Fail(Format(msg::kValueExpected, {"32-bit integer", IntToStr(v)}));
    return static_cast<int32_t>(v);
}

bool TReader::ReadBoolean()
{
    TValueType v = ReadValue();
    if (v == vaTrue)
        return true;
    if (v == vaFalse)
        return false;
    Expected("boolean", v);
}

char TReader::ReadChar()
{
    TValueType v = NextValue();
    if (v == vaInt8 || v == vaInt16 || v == vaInt32) {
        const int32_t c = ReadInteger();
        if (c < 0 || c > 255)
            Fail(Format(msg::kValueExpected, {"character", IntToStr(c)}));
        return static_cast<char>(c);
    }
    AnsiString s = ReadString();
    if (s.size() != 1)
        Fail(Format(msg::kValueExpected, {"one character", "a string of " + IntToStr(static_cast<int64_t>(s.size()))}));
    return s[0];
}

long double TReader::ReadFloat()
{
    TValueType v = NextValue();
    switch (v) {
    case vaExtended: {
        ReadValue();
        unsigned char b[10];
        ReadBytes(b, 10);
        return ExtendedToDouble(b);
    }
    case vaSingle: return ReadSingle();
    case vaCurrency: return ReadCurrency().ToDouble();
    case vaDate: return ReadDate().Val;
    case vaInt8: case vaInt16: case vaInt32: case vaInt64: return static_cast<long double>(ReadInt64());
    default: ReadValue(); Expected("floating-point number", v);
    }
}

float TReader::ReadSingle()
{
    TValueType v = ReadValue();
    if (v != vaSingle)
        Expected("single float", v);
    float f;
    ReadBytes(&f, 4);
    return f;
}

Currency TReader::ReadCurrency()
{
    TValueType v = ReadValue();
    if (v != vaCurrency)
        Expected("currency", v);
    int64_t x;
    ReadBytes(&x, 8);
    return Currency::FromScaled(x);
}

TDateTime TReader::ReadDate()
{
    TValueType v = ReadValue();
    if (v != vaDate)
        Expected("date", v);
    double d;
    ReadBytes(&d, 8);
    return TDateTime(d);
}

namespace {
AnsiString Utf16ToAnsi(const std::vector<uint16_t>& w)
{
    AnsiString utf8;
    for (size_t i = 0; i < w.size(); ++i) {
        char32_t cp = w[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        }
        int b = cp1251::FromUnicode(cp);
        utf8 += b < 0 ? '?' : static_cast<char>(b);
    }
    return utf8;
}
}  // namespace

AnsiString TReader::ReadString()
{
    TValueType v = ReadValue();
    switch (v) {
    case vaString: return ReadStr();
    case vaLString: {
        const uint32_t n = ReadLength();
        AnsiString s(n, '\0');
        ReadBytes(s.data(), n);
        return s;
    }
    case vaUTF8String: {
        const uint32_t n = ReadLength();
        AnsiString s(n, '\0');
        ReadBytes(s.data(), n);
        return Utf8ToAnsi(s);
    }
    case vaWString: {
        uint32_t n;
        ReadBytes(&n, 4);
        const int64_t left = FStream.GetSize() - FStream.GetPosition();
        if (static_cast<int64_t>(n) * 2 > left)
            Fail(Format(msg::kLengthTooLong, {IntToStr(static_cast<int64_t>(n) * 2), IntToStr(left)}));
        std::vector<uint16_t> w(n);
        ReadBytes(w.data(), static_cast<int64_t>(n) * 2);
        return Utf16ToAnsi(w);
    }
    default: Expected("string", v);
    }
}

AnsiString TReader::ReadIdent()
{
    TValueType v = ReadValue();
    switch (v) {
    case vaIdent: return ReadStr();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    case vaNull: return "Null";
    default: Expected("identifier", v);
    }
}

uint32_t TReader::ReadSet(const TTypeInfo* SetType)
{
    TValueType v = ReadValue();
    if (v != vaSet)
        Expected("set", v);
    uint32_t bits = 0;
    // Each name consumes at least its length byte, so this ends with the data.
    for (;;) {
        AnsiString name = ReadStr();
        if (name.empty())
            break;
        int e = GetEnumValue(SetType ? SetType->CompType : nullptr, name);
        if (e < 0 || e > 31)
            Fail(Format(msg::kInvalidPropertyElement, {name}));
        bits |= uint32_t(1) << e;
    }
    return bits;
}

void TReader::ReadBinary(TMemoryStream& Into)
{
    TValueType v = ReadValue();
    if (v != vaBinary)
        Expected("binary data", v);
    const uint32_t n = ReadLength();
    Into.Clear();
    Into.SetSize(n);
    ReadBytes(Into.Memory(), n);
    Into.SetPosition(0);
}

Variant TReader::ReadVariant()
{
    TValueType v = NextValue();
    switch (v) {
    case vaNil: ReadValue(); return Variant();
    case vaNull: ReadValue(); return Variant::Null();
    case vaInt8: case vaInt16: case vaInt32: return Variant(ReadInteger());
    case vaInt64: return Variant(static_cast<long long>(ReadInt64()));
    case vaExtended: return Variant(static_cast<double>(ReadFloat()));
    case vaSingle: return Variant(ReadSingle());
    case vaCurrency: return Variant(ReadCurrency());
    case vaDate: return Variant(ReadDate());
    case vaString: case vaLString: case vaWString: case vaUTF8String: return Variant(ReadString());
    case vaFalse: case vaTrue: return Variant(ReadBoolean());
    default: ReadValue(); Expected("variant value", v);
    }
}

void TReader::SkipValue()
{
    if (++FDepth > kMaxDepth) {
        --FDepth;
        Fail(Format(msg::kTooDeep, {kMaxDepth}));
    }
    TValueType v = ReadValue();
    switch (v) {
    case vaNull: case vaFalse: case vaTrue: case vaNil: break;
    case vaList:
        while (!EndOfList())
            SkipValue();
        ReadListEnd();
        break;
    case vaInt8: { char b[1]; ReadBytes(b, 1); } break;
    case vaInt16: { char b[2]; ReadBytes(b, 2); } break;
    case vaInt32: case vaSingle: { char b[4]; ReadBytes(b, 4); } break;
    case vaInt64: case vaCurrency: case vaDate: { char b[8]; ReadBytes(b, 8); } break;
    case vaExtended: { char b[10]; ReadBytes(b, 10); } break;
    case vaString: case vaIdent: ReadStr(); break;
    case vaBinary: case vaLString: case vaUTF8String: FStream.Seek(ReadLength(), soCurrent); break;
    case vaWString: {
        uint32_t n;
        ReadBytes(&n, 4);
        const int64_t left = FStream.GetSize() - FStream.GetPosition();
        if (static_cast<int64_t>(n) * 2 > left)
            Fail(Format(msg::kLengthTooLong, {IntToStr(static_cast<int64_t>(n) * 2), IntToStr(left)}));
        FStream.Seek(static_cast<int64_t>(n) * 2, soCurrent);
        break;
    }
    case vaSet:
        while (!ReadStr().empty()) {
        }
        break;
    case vaCollection:
        while (!EndOfList()) {
            TValueType t = NextValue();
            if (t == vaInt8 || t == vaInt16 || t == vaInt32)
                ReadInteger();
            ReadListBegin();
            while (!EndOfList()) {
                ReadStr();
                SkipValue();
            }
            ReadListEnd();
        }
        ReadListEnd();
        break;
    }
    --FDepth;
}

void TReader::DefineProperty(const AnsiString& Name, const TReaderProc& ReadData, const TWriterProc&, bool)
{
    FDefined.push_back(DefinedProp{Name, ReadData, nullptr, false});
}

void TReader::DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData, const TStreamProc&, bool)
{
    FDefined.push_back(DefinedProp{Name, nullptr, ReadData, true});
}

void TReader::ReadCollection(TCollection* Collection)
{
    if (++FDepth > kMaxDepth) {
        --FDepth;
        Fail(Format(msg::kTooDeep, {kMaxDepth}));
    }
    Collection->BeginUpdate();
    TScopeExit cleanup([&] { Collection->EndUpdate(); --FDepth; });
    Collection->Clear();
    while (!EndOfList()) {
        TValueType t = NextValue();
        if (t == vaInt8 || t == vaInt16 || t == vaInt32)
            ReadInteger();  // an order value; items are kept in stream order
        ReadListBegin();
        TCollectionItem* item = Collection->Add();
        while (!EndOfList())
            ReadProperty(item);
        ReadListEnd();
    }
    ReadListEnd();
}

void TReader::ReadProperty(TPersistent* Instance)
{
    FItemOffset = FStream.GetPosition();
    const int64_t itemOffset = FItemOffset;
    const AnsiString fullName = ReadStr();
    if (fullName.empty())
        Fail(Format(msg::kValueExpected, {"property name", "an empty name"}));
    FPropName = fullName;
    TPersistent* obj = Instance;
    AnsiString rest = fullName;
    auto ownerName = [&]() {
        if (auto* c = dynamic_cast<TComponent*>(Instance))
            return c->Name().empty() ? c->ClassName() : c->Name();
        return Instance->ClassName();
    };
    try {
        // Dotted names walk through object properties: "Font.Style", "Items.Strings".
        for (size_t dot = rest.find('.'); dot != AnsiString::npos; dot = rest.find('.')) {
            const AnsiString part = rest.substr(0, dot);
            const TPropInfo* p = GetPropInfo(obj, part);
            TPersistent* next = nullptr;
            if (p && p->Kind() == tkClass)
                next = dynamic_cast<TPersistent*>(GetObjectProp(obj, p));
            if (!next)
                Fail(Format(msg::kUnknownProperty, {ownerName(), fullName, part}));
            obj = next;
            rest = rest.substr(dot + 1);
        }
        if (const TPropInfo* p = GetPropInfo(obj, rest)) {
            ReadPropValue(obj, p);
            return;
        }
        // Properties the object stores itself.
        FDefined.clear();
        obj->DefineProperties(this);
        std::vector<DefinedProp> defined;
        defined.swap(FDefined);
        for (const DefinedProp& d : defined) {
            if (!SameText(d.Name, rest))
                continue;
            if (d.Binary) {
                TMemoryStream ms;
                ReadBinary(ms);
                if (d.ReadBin)
                    d.ReadBin(ms);
            } else if (d.Read) {
                d.Read(*this);
            } else {
                SkipValue();
            }
            return;
        }
        bool handled = false;
        if (OnPropertyNotFound)
            OnPropertyNotFound(*this, obj, fullName, handled);
        if (handled) {
            SkipValue();
            return;
        }
        Fail(Format(msg::kUnknownProperty, {ownerName(), fullName, rest}));
    } catch (const EComponentStreamError& e) {
        if (e.Detail().rfind("Error reading ", 0) == 0)
            throw;
        throw EComponentStreamError(e.Offset(), Format(msg::kPropertyValue, {ownerName(), fullName, e.Detail()}));
    } catch (const Exception& e) {
        throw EComponentStreamError(itemOffset, Format(msg::kPropertyValue, {ownerName(), fullName, e.Message()}));
    }
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo* Prop)
{
    const TTypeInfo* type = Prop->PropType;
    if (!Prop->Writable && type->Kind != tkClass)
        Fail(Format(msg::kPropertyReadOnly, {Prop->Name}));
    switch (type->Kind) {
    case tkInteger: {
        int64_t v;
        if (NextValue() == vaIdent) {
            const AnsiString ident = ReadIdent();
            int iv;
            if (!IdentToInt(type->Name, ident, iv))
                Fail(Format(msg::kValueExpected, {"integer", "'" + ident + "'"}));
            v = iv;
        } else {
            v = ReadInt64();
        }
        const bool isUnsigned = type == TypeInfoCardinal() || SameText(type->Name, "Cardinal") ||
                                SameText(type->Name, "LongWord") || SameText(type->Name, "DWORD");
        const int64_t lo = isUnsigned ? 0 : (type->MinValue < type->MaxValue ? type->MinValue : INT32_MIN);
        const int64_t hi = isUnsigned ? int64_t(UINT32_MAX) : (type->MinValue < type->MaxValue ? type->MaxValue : INT32_MAX);
        if (v < lo || v > hi)
            Fail(Format(msg::kValueExpected, {"integer in range", IntToStr(v)}));
        SetOrdProp(Instance, Prop, v);
        return;
    }
    case tkInt64: SetOrdProp(Instance, Prop, ReadInt64()); return;
    case tkChar: case tkWChar: SetOrdProp(Instance, Prop, static_cast<unsigned char>(ReadChar())); return;
    case tkEnumeration: {
        const AnsiString ident = ReadIdent();
        const int v = GetEnumValue(type, ident);
        if (v < 0)
            Fail(Format(msg::kValueExpected, {("a value of " + type->Name).c_str(), "'" + ident + "'"}));
        SetOrdProp(Instance, Prop, v);
        return;
    }
    case tkSet: SetOrdProp(Instance, Prop, ReadSet(type)); return;
    case tkFloat: SetFloatProp(Instance, Prop, ReadFloat()); return;
    case tkString: case tkLString: case tkWString: SetStrProp(Instance, Prop, ReadString()); return;
    case tkVariant: SetVariantProp(Instance, Prop, ReadVariant()); return;
    case tkMethod: {
        if (NextValue() == vaNil) {
            ReadValue();
            SetMethodProp(Instance, Prop, TMethod());
            return;
        }
        const AnsiString name = ReadIdent();
        TMethod m = OnFindMethod ? OnFindMethod(*this, name, Prop) : FindPublishedMethod(FRoot, name);
        if (!m.Assigned())
            Fail(Format(msg::kMethodNotFound, {name, FRoot ? FRoot->ClassName() : AnsiString("nil")}));
        SetMethodProp(Instance, Prop, m);
        return;
    }
    case tkClass: {
        TValueType v = NextValue();
        if (v == vaNil) {
            ReadValue();
            if (Prop->Writable)
                SetObjectProp(Instance, Prop, nullptr);
            return;
        }
        if (v == vaCollection) {
            ReadValue();
            auto* coll = dynamic_cast<TCollection*>(GetObjectProp(Instance, Prop));
            if (!coll)
                Fail(Format(msg::kNotPersistent, {Prop->Name}));
            ReadCollection(coll);
            return;
        }
        if (v == vaIdent) {
            if (!Prop->Writable || !Prop->PropType->ClassType ||
                !Prop->PropType->ClassType->InheritsFrom(TComponent::StaticClass()))
                Fail(Format(msg::kNotPersistent, {Prop->Name}));
            FFixups.push_back(Fixup{Instance, Prop, ReadIdent(), FRoot, FItemOffset});
            return;
        }
        ReadValue();
        Expected("component reference or collection", v);
    }
    default: Fail(Format(msg::kInvalidPropertyType, {Prop->Name, type->Name}));
    }
}

TComponent* TReader::ReadComponent(TComponent* Component, TComponent* Owner, TComponent* Parent)
{
    if (++FDepth > kMaxDepth) {
        --FDepth;
        Fail(Format(msg::kTooDeep, {kMaxDepth}));
    }
    FItemOffset = FStream.GetPosition();
    const int64_t headerOffset = FItemOffset;
    // Optional prefix of inherited/inline/child-position flags.
    uint8_t first;
    ReadBytes(&first, 1);
    if ((first & 0xF0) == 0xF0) {
        if (first & 0x02)
            ReadInteger();  // child position: order is kept as read
    } else {
        FStream.Seek(-1, soCurrent);
    }
    const AnsiString className = ReadStr();
    const AnsiString name = ReadStr();
    if (className.empty())
        Fail(Format(msg::kValueExpected, {"class name", "an empty name"}));
    try {
        if (Component) {
            if (!SameText(Component->ClassName(), className))
                Fail(Format(msg::kRootClassMismatch, {className, Component->ClassName()}));
        } else {
            TClass cls = FindClass(className);
            if (!cls->InheritsFrom(TComponent::StaticClass()))
                Fail(Format(msg::kCannotCreate, {className}));
            if (Owner)
                Component = cls->CreateComponent(*Owner);
            else {
                auto made = cls->CreateComponent(nullptr);
                Component = made.release();  // held in FCreated until the read completes
            }
            FCreated.push_back(Component);
        }
        Component->SetComponentState(csLoading, true);
        Component->SetComponentState(csReading, true);
        FLoaded.push_back(Component);
        if (Component != FRoot || Component->Name().empty())
            if (!name.empty() && Component->Name() != name)
                Component->SetName(name);
        if (Parent && Parent != Component)
            Component->SetParentComponent(Parent);
        Component->ReadState(this);
    } catch (const EComponentStreamError&) {
        throw;
    } catch (const Exception& e) {
        throw EComponentStreamError(headerOffset, e.Message());
    }
    while (!EndOfList())
        ReadProperty(Component);
    ReadListEnd();
    TComponent* childOwner = Component->GetChildOwner();
    if (!childOwner)
        childOwner = FRoot ? FRoot : Component;
    TComponent* childParent = Component->GetChildParent();
    while (!EndOfList())
        ReadComponent(nullptr, childOwner, childParent);
    ReadListEnd();
    --FDepth;
    return Component;
}

void TReader::FixupReferences()
{
    // Resolve every name first, so a missing one changes nothing.
    std::vector<TComponent*> targets;
    targets.reserve(FFixups.size());
    for (const Fixup& f : FFixups) {
        TComponent* found = nullptr;
        const size_t dot = f.Name.find('.');
        if (dot == AnsiString::npos) {
            if (f.Root && SameText(f.Root->Name(), f.Name))
                found = f.Root;
            else if (f.Root)
                found = f.Root->FindComponent(f.Name);
        } else {
            const AnsiString owner = f.Name.substr(0, dot);
            TComponent* form = (f.Root && SameText(f.Root->Name(), owner)) ? f.Root : FindGlobalComponent(owner);
            if (form)
                found = form->FindComponent(f.Name.substr(dot + 1));
        }
        if (!found) {
            AnsiString who = f.Instance->GetNamePath();
            throw EComponentStreamError(f.Offset, Format(msg::kReferenceNotFound, {who, f.Prop->Name, f.Name}));
        }
        targets.push_back(found);
    }
    for (size_t i = 0; i < FFixups.size(); ++i) {
        try {
            SetObjectProp(FFixups[i].Instance, FFixups[i].Prop, targets[i]);
        } catch (const Exception& e) {
            throw EComponentStreamError(FFixups[i].Offset, Format(msg::kPropertyValue,
                {FFixups[i].Instance->GetNamePath(), FFixups[i].Prop->Name, e.Message()}));
        }
    }
    FFixups.clear();
}

void TReader::Cleanup(bool failed)
{
    for (TComponent* c : FLoaded) {
        c->SetComponentState(csReading, false);
        if (failed)
            c->SetComponentState(csLoading, false);
    }
    if (failed) {
        // Later components first: a component made inside another goes before its owner.
        for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it)
            delete *it;
    }
    FCreated.clear();
    FLoaded.clear();
    FFixups.clear();
}

void TReader::ReadRootComponent(TComponent* Root)
{
    FRoot = Root;
    FLookupRoot = Root;
    FDepth = 0;
    TScopeFail cleanup([&] { Cleanup(true); });
    ReadSignature();
    ReadComponent(Root, Root->Owner(), nullptr);
    FixupReferences();
    std::vector<TComponent*> loaded(FLoaded);
    Cleanup(false);
    for (TComponent* c : loaded)
        c->Loaded();
    for (TComponent* c : loaded)
        c->SetComponentState(csLoading, false);
}

std::unique_ptr<TComponent> TReader::ReadComponentNoOwner()
{
    FDepth = 0;
    std::unique_ptr<TComponent> root;
    {
        TScopeFail cleanup([&] { Cleanup(true); });
        const int64_t origin = FStream.GetPosition();
        ReadSignature();
        // Peek at the class to create the root first, so children can be owned by it.
        const int64_t start = FStream.GetPosition();
        FItemOffset = start;
        uint8_t first;
        ReadBytes(&first, 1);
        if ((first & 0xF0) == 0xF0) {
            if (first & 0x02)
                ReadInteger();
        } else {
            FStream.Seek(-1, soCurrent);
        }
        const AnsiString className = ReadStr();
        FStream.SetPosition(origin);
        TClass cls;
        try {
            cls = FindClass(className);
        } catch (const Exception& e) {
            throw EComponentStreamError(start, e.Message());
        }
        if (!cls->InheritsFrom(TComponent::StaticClass()))
            throw EComponentStreamError(start, Format(msg::kCannotCreate, {className}));
        root = cls->CreateComponent(nullptr);
    }
    ReadRootComponent(root.get());  // cleans up its own children on failure; root goes with `root`
    return root;
}

TComponent* TReader::ReadComponentOwned(TComponent& Owner)
{
    auto c = ReadComponentNoOwner();
    TComponent* raw = c.get();
    Owner.InsertComponent(raw);
    c.release();  // owned by Owner now
    return raw;
}

void WriteComponentToStream(TStream& Stream, TComponent* Root)
{
    TWriter w(Stream);
    w.WriteRootComponent(Root);
}

void ReadRootComponentFromStream(TStream& Stream, TComponent* Root)
{
    TReader r(Stream);
    r.ReadRootComponent(Root);
}

std::unique_ptr<TComponent> ReadComponentFromStream(TStream& Stream)
{
    TReader r(Stream);
    return r.ReadComponentNoOwner();
}

// TypInfo.cpp - the object root, metaclasses, the class registry and property access.
#include "platform/classes/TypInfo.h"

#include "platform/classes/Classes.h"
#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Handles.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

#include <algorithm>
#include <map>

// ---------------------------------------------------------------- type information

namespace {

TTypeInfo Simple(TTypeKind kind, const char* name)
{
    TTypeInfo t;
    t.Kind = kind;
    t.Name = name;
    return t;
}

TTypeInfo Float(const char* name, TFloatType ft)
{
    TTypeInfo t = Simple(tkFloat, name);
    t.FloatType = ft;
    return t;
}

}  // namespace

const TTypeInfo* TypeInfoInteger() { static const TTypeInfo t = [] { auto t = Simple(tkInteger, "Integer"); t.MinValue = INT32_MIN; t.MaxValue = INT32_MAX; return t; }(); return &t; }
const TTypeInfo* TypeInfoCardinal() { static const TTypeInfo t = Simple(tkInteger, "Cardinal"); return &t; }
const TTypeInfo* TypeInfoByte() { static const TTypeInfo t = [] { auto t = Simple(tkInteger, "Byte"); t.MaxValue = 255; return t; }(); return &t; }
const TTypeInfo* TypeInfoWord() { static const TTypeInfo t = [] { auto t = Simple(tkInteger, "Word"); t.MaxValue = 65535; return t; }(); return &t; }
const TTypeInfo* TypeInfoInt64() { static const TTypeInfo t = Simple(tkInt64, "Int64"); return &t; }
const TTypeInfo* TypeInfoChar() { static const TTypeInfo t = [] { auto t = Simple(tkChar, "Char"); t.MaxValue = 255; return t; }(); return &t; }
const TTypeInfo* TypeInfoBoolean() { static const TTypeInfo t = TTypeInfo::MakeEnum("Boolean", "False, True"); return &t; }
const TTypeInfo* TypeInfoSingle() { static const TTypeInfo t = Float("Single", ftSingle); return &t; }
const TTypeInfo* TypeInfoDouble() { static const TTypeInfo t = Float("Double", ftDouble); return &t; }
const TTypeInfo* TypeInfoExtended() { static const TTypeInfo t = Float("Extended", ftExtended); return &t; }
const TTypeInfo* TypeInfoDateTime() { static const TTypeInfo t = Float("TDateTime", ftDouble); return &t; }
const TTypeInfo* TypeInfoCurrency() { static const TTypeInfo t = Float("Currency", ftCurr); return &t; }
const TTypeInfo* TypeInfoString() { static const TTypeInfo t = Simple(tkLString, "String"); return &t; }
const TTypeInfo* TypeInfoVariant() { static const TTypeInfo t = Simple(tkVariant, "Variant"); return &t; }

namespace {
// Interned type descriptions, keyed by identity of the description they were made from.
template <class Key>
std::map<Key, std::unique_ptr<TTypeInfo>>& Interned()
{
    static std::map<Key, std::unique_ptr<TTypeInfo>> m;
    return m;
}
}  // namespace

const TTypeInfo* TypeInfoClass(TClass cls)
{
    auto& m = Interned<TClass>();
    auto& slot = m[cls];
    if (!slot) {
        slot = std::make_unique<TTypeInfo>(Simple(tkClass, cls ? cls->ClassName().c_str() : "TObject"));
        slot->ClassType = cls;
    }
    return slot.get();
}

const TTypeInfo* TTypeInfo::Renamed(const TTypeInfo* base, std::string_view name)
{
    if (base->Name == name)
        return base;
    auto& m = Interned<std::pair<const TTypeInfo*, AnsiString>>();
    auto& slot = m[{base, AnsiString(name)}];
    if (!slot) {
        slot = std::make_unique<TTypeInfo>(*base);
        slot->Name = AnsiString(name);
    }
    return slot.get();
}

TTypeInfo TTypeInfo::MakeEnum(std::string_view name, std::string_view list)
{
    TTypeInfo t = Simple(tkEnumeration, "");
    t.Name = AnsiString(name);
    size_t i = 0;
    while (i <= list.size()) {
        size_t j = list.find(',', i);
        if (j == std::string_view::npos)
            j = list.size();
        AnsiString item = Trim(list.substr(i, j - i));
        if (!item.empty())
            t.EnumNames.push_back(item);
        i = j + 1;
    }
    t.MinValue = 0;
    t.MaxValue = static_cast<int>(t.EnumNames.size()) - 1;
    return t;
}

TTypeInfo TTypeInfo::MakeSet(std::string_view name, const TTypeInfo* elements)
{
    TTypeInfo t = Simple(tkSet, "");
    t.Name = AnsiString(name);
    t.CompType = elements;
    return t;
}

TTypeInfo MakeMethodTypeInfo(std::string_view name, const std::type_info& signature)
{
    TTypeInfo t = Simple(tkMethod, "");
    t.Name = AnsiString(name);
    t.Signature = &signature;
    return t;
}

const TTypeInfo* classes_detail::MethodTypeInfo(const std::type_info& signature)
{
    auto& m = Interned<std::type_index>();
    auto& slot = m[std::type_index(signature)];
    if (!slot)
        slot = std::make_unique<TTypeInfo>(MakeMethodTypeInfo("", signature));
    return slot.get();
}

AnsiString GetEnumName(const TTypeInfo* info, int value)
{
    if (!info || info->Kind != tkEnumeration || value < 0 || value >= static_cast<int>(info->EnumNames.size()))
        return {};
    return info->EnumNames[static_cast<size_t>(value)];
}

int GetEnumValue(const TTypeInfo* info, std::string_view name)
{
    if (!info || info->Kind != tkEnumeration)
        return -1;
    for (size_t i = 0; i < info->EnumNames.size(); ++i)
        if (SameText(info->EnumNames[i], name))
            return static_cast<int>(i);
    return -1;
}

AnsiString SetToString(const TTypeInfo* setInfo, uint32_t value, bool brackets)
{
    AnsiString s;
    const TTypeInfo* e = setInfo ? setInfo->CompType : nullptr;
    for (int i = 0; i < 32; ++i) {
        if (!(value & (uint32_t(1) << i)))
            continue;
        if (!s.empty())
            s += ',';
        AnsiString n = GetEnumName(e, i);
        s += n.empty() ? IntToStr(i) : n;
    }
    return brackets ? "[" + s + "]" : s;
}

uint32_t StringToSet(const TTypeInfo* setInfo, std::string_view text)
{
    AnsiString t = Trim(text);
    if (!t.empty() && t.front() == '[')
        t.erase(0, 1);
    if (!t.empty() && t.back() == ']')
        t.pop_back();
    uint32_t bits = 0;
    size_t i = 0;
    while (i <= t.size()) {
        size_t j = t.find(',', i);
        if (j == AnsiString::npos)
            j = t.size();
        AnsiString name = Trim(std::string_view(t).substr(i, j - i));
        if (!name.empty()) {
            int v = GetEnumValue(setInfo ? setInfo->CompType : nullptr, name);
            if (v < 0 || v > 31)
                throw EPropertyError(Format(msg::kInvalidPropertyElement, {name}));
            bits |= uint32_t(1) << v;
        }
        i = j + 1;
    }
    return bits;
}

// ---------------------------------------------------------------- closures

void TMethod::SetName(AnsiString name)
{
    TBlock* own = FBlock ? FBlock->Clone() : new TBlock(&typeid(void), CodeBytes{}, {}, false);
    own->Name = std::move(name);
    Release(FBlock);
    FBlock = own;
}

const AnsiString& TMethod::EmptyName()
{
    static const AnsiString empty;
    return empty;
}

const TMethod::CodeBytes& TMethod::NoCode()
{
    static const CodeBytes none{};
    return none;
}

TMethod::CodeBytes TMethod::NewCode()
{
    static uint64_t counter = 0;
    ++counter;
    CodeBytes b{};
    b[0] = 0xFF;  // member pointers never start with an all-ones byte followed by our tag
    b[15] = 0xC1;
    std::memcpy(b.data() + 4, &counter, sizeof(counter));
    return b;
}

AnsiString PublishedMethodName(const TObject* data, const std::type_info& signature, const TMethod::CodeBytes& code)
{
    if (!data)
        return {};
    if (const TPublishedMethod* m = data->ClassType()->Table().FindMethodByCode(signature, code))
        return m->Name;
    return {};
}

void RaiseEventSignatureMismatch(const std::type_info& expected, const TMethod& got)
{
    (void)expected;
    throw EPropertyError(Format(msg::kEventSignature, {got.Name().empty() ? AnsiString("(anonymous)") : got.Name()}));
}

// ---------------------------------------------------------------- TObject

TObject::TObject()
{
    THandleTable::Born(this);
}

TObject::~TObject()
{
    if (FHandle)
        THandleTable::Forget(this);
    else
        THandleTable::Died(this, 0);
}

TClass TObject::StaticClass()
{
    static const TMetaClass meta("TObject", nullptr, &TObject::Publish, TMetaClass::FactoryKind::Plain,
                                 [](void*) -> TObject* { return new TObject(); });
    return &meta;
}

TClass TObject::ClassType() const { return StaticClass(); }
const AnsiString& TObject::ClassName() const { return ClassType()->ClassName(); }
TClass TObject::ClassParent() const { return ClassType()->ClassParent(); }
bool TObject::InheritsFrom(TClass cls) const { return ClassType()->InheritsFrom(cls); }
uint32_t TObject::ObjectHandle() const { return HandleOf(this); }

// ---------------------------------------------------------------- TMetaClass

TMetaClass::TMetaClass(const char* name, TClass parent, void (*publish)(TPropertyTable&), FactoryKind kind,
                       Factory factory)
    : FName(name), FParent(parent), FPublish(publish), FKind(kind), FFactory(factory)
{
}

TMetaClass::~TMetaClass() = default;

bool TMetaClass::InheritsFrom(TClass cls) const
{
    for (TClass c = this; c; c = c->FParent)
        if (c == cls)
            return true;
    return false;
}

void TMetaClass::Build() const
{
    auto table = std::make_unique<TPropertyTable>(this);
    if (FParent)
        table->InheritFrom(FParent->Table());
    // A class without a Publish of its own inherits the parent's function; running it
    // again would only replace the same lines in place, which is harmless.
    if (FPublish)
        FPublish(*table);
    FTable = std::move(table);
}

const TPropertyTable& TMetaClass::Table() const
{
    if (!FTable)
        Build();
    return *FTable;
}

const std::vector<const TPropInfo*>& TMetaClass::Properties() const { return Table().Properties(); }
const TPropInfo* TMetaClass::FindProperty(std::string_view name) const { return Table().FindProperty(name); }

std::unique_ptr<TObject> TMetaClass::NewInstance() const
{
    switch (FKind) {
    case FactoryKind::Plain: return std::unique_ptr<TObject>(FFactory(nullptr));
    case FactoryKind::Component: return std::unique_ptr<TObject>(FFactory(nullptr));
    default: break;
    }
    throw EComponentError(Format(msg::kCannotCreate, {FName}));
}

TComponent* TMetaClass::CreateComponent(TComponent& owner) const
{
    if (FKind != FactoryKind::Component)
        throw EComponentError(Format(msg::kCannotCreate, {FName}));
    // The constructor inserts the new component into its owner, which owns it from here on.
    return static_cast<TComponent*>(FFactory(&owner));
}

std::unique_ptr<TComponent> TMetaClass::CreateComponent(std::nullptr_t) const
{
    if (FKind != FactoryKind::Component)
        throw EComponentError(Format(msg::kCannotCreate, {FName}));
    return std::unique_ptr<TComponent>(static_cast<TComponent*>(FFactory(nullptr)));
}

TCollectionItem* TMetaClass::CreateItem(TCollection& collection) const
{
    if (FKind != FactoryKind::CollectionItem)
        throw EComponentError(Format(msg::kCannotCreate, {FName}));
    return static_cast<TCollectionItem*>(FFactory(&collection));
}

// ---------------------------------------------------------------- class registry

namespace {
// Registered classes in order, and by name with ASCII letters folded as SameText does:
// reading a prepared page looks a class up by name for every object.
struct Registry {
    std::vector<TClass> Order;
    std::unordered_map<std::string, TClass> ByName;
};

std::string FoldedClassName(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return key;
}

Registry& Reg()
{
    static Registry r;
    return r;
}
}  // namespace

void RegisterClass(TClass cls)
{
    if (!cls)
        return;
    if (TClass existing = GetClass(cls->ClassName())) {
        if (existing == cls)
            return;
        throw EComponentError(Format(msg::kDuplicateClass, {cls->ClassName()}));
    }
    Reg().Order.push_back(cls);
    Reg().ByName.emplace(FoldedClassName(cls->ClassName()), cls);
}

void RegisterClasses(std::initializer_list<TClass> classes)
{
    for (TClass c : classes)
        RegisterClass(c);
}

void UnRegisterClass(TClass cls)
{
    auto& v = Reg().Order;
    v.erase(std::remove(v.begin(), v.end(), cls), v.end());
    auto& byName = Reg().ByName;
    const auto it = byName.find(FoldedClassName(cls->ClassName()));
    if (it != byName.end() && it->second == cls)
        byName.erase(it);
}

TClass GetClass(std::string_view name)
{
    const auto& byName = Reg().ByName;
    const auto it = byName.find(FoldedClassName(name));
    return it != byName.end() ? it->second : nullptr;
}

TClass FindClass(std::string_view name)
{
    if (TClass c = GetClass(name))
        return c;
    throw EClassNotFound(Format(msg::kClassNotFound, {AnsiString(name)}));
}

std::vector<TClass> RegisteredClasses() { return Reg().Order; }

// ---------------------------------------------------------------- TPropertyTable

void TPropertyTable::InheritFrom(const TPropertyTable& parent)
{
    FProps = parent.FProps;  // shared: the parent's descriptions serve the child unchanged
    FView = parent.FView;
    FByName = parent.FByName;
    for (const auto& m : parent.FMethods)
        FMethods.push_back(std::make_unique<TPublishedMethod>(*m));
}

TPropInfo& TPropertyTable::Slot(std::string_view name)
{
    auto p = std::make_shared<TPropInfo>();
    p->Name = AnsiString(name);
    p->Declarer = FOwner;
    for (size_t i = 0; i < FProps.size(); ++i) {
        if (SameText(FProps[i]->Name, name)) {
            p->NameIndex = static_cast<int>(i);
            FProps[i] = p;
            FView[i] = p.get();
            FByName[std::string(name)] = p.get();
            return *p;
        }
    }
    p->NameIndex = static_cast<int>(FProps.size());
    FProps.push_back(p);
    FView.push_back(p.get());
    FByName[std::string(name)] = p.get();
    return *p;
}

size_t TPropertyTable::TFoldedHash::operator()(std::string_view s) const noexcept
{
    size_t h = 14695981039346656037ull;
    for (unsigned char c : s)
        h = (h ^ (c >= 'A' && c <= 'Z' ? c + 32u : c)) * 1099511628211ull;
    return h;
}

bool TPropertyTable::TFoldedEqual::operator()(std::string_view a, std::string_view b) const noexcept
{
    return SameText(a, b);
}

const TPropInfo* TPropertyTable::FindProperty(std::string_view name) const
{
    const auto it = FByName.find(name);
    return it != FByName.end() ? it->second : nullptr;
}

const TPublishedMethod* TPropertyTable::FindMethod(std::string_view name) const
{
    // Later lines (descendants) win over earlier ones of the same name.
    for (auto it = FMethods.rbegin(); it != FMethods.rend(); ++it)
        if (SameText((*it)->Name, name))
            return it->get();
    return nullptr;
}

const TPublishedMethod* TPropertyTable::FindMethodByCode(const std::type_info& sig, const TMethod::CodeBytes& code) const
{
    for (auto it = FMethods.rbegin(); it != FMethods.rend(); ++it)
        if ((*it)->Code == code && *(*it)->Signature == sig)
            return it->get();
    return nullptr;
}

// ---------------------------------------------------------------- property access

namespace {

[[noreturn]] void NoProperty(const TObject* obj, std::string_view name)
{
    throw EPropertyError(Format(msg::kPropertyNotFound, {AnsiString(name), obj ? obj->ClassName() : AnsiString("nil")}));
}

[[noreturn]] void WrongKind(const TPropInfo* prop)
{
    throw EPropertyError(Format(msg::kInvalidPropertyType, {prop->Name, prop->PropType->Name}));
}

[[noreturn]] void ReadOnly(const TPropInfo* prop)
{
    throw EPropertyError(Format(msg::kPropertyReadOnly, {prop->Name}));
}

const TPropInfo* Need(const TObject* obj, std::string_view name)
{
    if (!obj)
        throw EPropertyError(Format(msg::kPropertyOfNil, {AnsiString(name)}));
    if (const TPropInfo* p = obj->ClassType()->FindProperty(name))
        return p;
    NoProperty(obj, name);
}

template <class F>
void CheckWrite(const TPropInfo* prop, const F& setter)
{
    if (!prop->Writable)
        ReadOnly(prop);
    if (!setter)
        WrongKind(prop);
}

void CheckObj(const TObject* obj)
{
    if (!obj)
        throw EPropertyError(msg::kPropertyOfNilObject);
}

}  // namespace

void classes_detail::RaiseObjectClassMismatch(const TPropInfo& prop, const TObject* value)
{
    throw EPropertyError(Format(msg::kObjectClassMismatch,
                                {prop.Name, prop.PropType->Name, value ? value->ClassName() : AnsiString("nil")}));
}

const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name)
{
    return obj ? obj->ClassType()->FindProperty(name) : nullptr;
}

const TPropInfo* GetPropInfo(TClass cls, std::string_view name) { return cls ? cls->FindProperty(name) : nullptr; }

std::vector<const TPropInfo*> GetPropList(TClass cls, TTypeKinds kinds)
{
    std::vector<const TPropInfo*> out;
    if (!cls)
        return out;
    for (const TPropInfo* p : cls->Properties())
        if (kinds & KindBit(p->Kind()))
            out.push_back(p);
    std::stable_sort(out.begin(), out.end(),
                     [](const TPropInfo* a, const TPropInfo* b) { return CompareText(a->Name, b->Name) < 0; });
    return out;
}

std::vector<const TPropInfo*> GetPropList(const TObject* obj, TTypeKinds kinds)
{
    return GetPropList(obj ? obj->ClassType() : nullptr, kinds);
}

bool IsPublishedProp(const TObject* obj, std::string_view name) { return GetPropInfo(obj, name) != nullptr; }

bool PropIsType(const TObject* obj, std::string_view name, TTypeKind kind)
{
    const TPropInfo* p = GetPropInfo(obj, name);
    return p && p->Kind() == kind;
}

void classes_detail::GetOrdPropFailed(const TObject* obj, const TPropInfo* prop)
{
    CheckObj(obj);
    WrongKind(prop);
}

void classes_detail::SetOrdPropChecked(TObject* obj, const TPropInfo* prop, int64_t value)
{
    CheckObj(obj);
    CheckWrite(prop, prop->SetOrd);
    if (prop->Kind() == tkEnumeration && (value < prop->PropType->MinValue || value > prop->PropType->MaxValue))
        throw EPropertyError(Format(msg::kEnumOutOfRange, {prop->Name, IntToStr(value)}));
    prop->SetOrd(*obj, value);
}

long double GetFloatProp(const TObject* obj, const TPropInfo* prop)
{
    CheckObj(obj);
    if (!prop->GetFloat)
        WrongKind(prop);
    return prop->GetFloat(*obj);
}

void SetFloatProp(TObject* obj, const TPropInfo* prop, long double value)
{
    CheckObj(obj);
    CheckWrite(prop, prop->SetFloat);
    prop->SetFloat(*obj, value);
}

AnsiString GetStrProp(const TObject* obj, const TPropInfo* prop)
{
    CheckObj(obj);
    if (!prop->GetStr)
        WrongKind(prop);
    return prop->GetStr(*obj);
}

void SetStrProp(TObject* obj, const TPropInfo* prop, const AnsiString& value)
{
    CheckObj(obj);
    CheckWrite(prop, prop->SetStr);
    prop->SetStr(*obj, value);
}

Variant GetVariantProp(const TObject* obj, const TPropInfo* prop)
{
    CheckObj(obj);
    if (!prop->GetVar)
        WrongKind(prop);
    return prop->GetVar(*obj);
}

void SetVariantProp(TObject* obj, const TPropInfo* prop, const Variant& value)
{
    CheckObj(obj);
    CheckWrite(prop, prop->SetVar);
    prop->SetVar(*obj, value);
}

TObject* GetObjectProp(const TObject* obj, const TPropInfo* prop)
{
    CheckObj(obj);
    if (!prop->GetObj)
        WrongKind(prop);
    return prop->GetObj(*obj);
}

void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value)
{
    CheckObj(obj);
    CheckWrite(prop, prop->SetObj);
    if (value && !value->InheritsFrom(prop->PropType->ClassType))
        classes_detail::RaiseObjectClassMismatch(*prop, value);
    prop->SetObj(*obj, value);
}

TMethod GetMethodProp(const TObject* obj, const TPropInfo* prop)
{
    CheckObj(obj);
    if (!prop->GetMeth)
        WrongKind(prop);
    return prop->GetMeth(*obj);
}

void SetMethodProp(TObject* obj, const TPropInfo* prop, const TMethod& value)
{
    CheckObj(obj);
    CheckWrite(prop, prop->SetMeth);
    prop->SetMeth(*obj, value);
}

int64_t GetOrdProp(const TObject* obj, std::string_view name) { return GetOrdProp(obj, Need(obj, name)); }
void SetOrdProp(TObject* obj, std::string_view name, int64_t value) { SetOrdProp(obj, Need(obj, name), value); }
long double GetFloatProp(const TObject* obj, std::string_view name) { return GetFloatProp(obj, Need(obj, name)); }
void SetFloatProp(TObject* obj, std::string_view name, long double value) { SetFloatProp(obj, Need(obj, name), value); }
AnsiString GetStrProp(const TObject* obj, std::string_view name) { return GetStrProp(obj, Need(obj, name)); }
void SetStrProp(TObject* obj, std::string_view name, const AnsiString& value) { SetStrProp(obj, Need(obj, name), value); }
Variant GetVariantProp(const TObject* obj, std::string_view name) { return GetVariantProp(obj, Need(obj, name)); }
void SetVariantProp(TObject* obj, std::string_view name, const Variant& value) { SetVariantProp(obj, Need(obj, name), value); }
TObject* GetObjectProp(const TObject* obj, std::string_view name) { return GetObjectProp(obj, Need(obj, name)); }
void SetObjectProp(TObject* obj, std::string_view name, TObject* value) { SetObjectProp(obj, Need(obj, name), value); }
TMethod GetMethodProp(const TObject* obj, std::string_view name) { return GetMethodProp(obj, Need(obj, name)); }
void SetMethodProp(TObject* obj, std::string_view name, const TMethod& value) { SetMethodProp(obj, Need(obj, name), value); }

AnsiString GetEnumProp(const TObject* obj, std::string_view name)
{
    const TPropInfo* p = Need(obj, name);
    if (p->Kind() != tkEnumeration)
        WrongKind(p);
    return GetEnumName(p->PropType, static_cast<int>(GetOrdProp(obj, p)));
}

void SetEnumProp(TObject* obj, std::string_view name, std::string_view value)
{
    const TPropInfo* p = Need(obj, name);
    if (p->Kind() != tkEnumeration)
        WrongKind(p);
    int v = GetEnumValue(p->PropType, value);
    if (v < 0)
        throw EPropertyError(Format(msg::kInvalidPropertyElement, {AnsiString(value)}));
    SetOrdProp(obj, p, v);
}

AnsiString GetSetProp(const TObject* obj, std::string_view name, bool brackets)
{
    const TPropInfo* p = Need(obj, name);
    if (p->Kind() != tkSet)
        WrongKind(p);
    return SetToString(p->PropType, static_cast<uint32_t>(GetOrdProp(obj, p)), brackets);
}

void SetSetProp(TObject* obj, std::string_view name, std::string_view value)
{
    const TPropInfo* p = Need(obj, name);
    if (p->Kind() != tkSet)
        WrongKind(p);
    SetOrdProp(obj, p, StringToSet(p->PropType, value));
}

Variant GetPropValue(const TObject* obj, const TPropInfo* prop)
{
    switch (prop->Kind()) {
    case tkEnumeration:
        if (prop->PropType == TypeInfoBoolean() || SameText(prop->PropType->Name, "Boolean"))
            return Variant(GetOrdProp(obj, prop) != 0);
        return Variant(static_cast<int>(GetOrdProp(obj, prop)));
    case tkInteger: case tkChar: case tkWChar: case tkSet: {
        int64_t v = GetOrdProp(obj, prop);
        if (v >= INT32_MIN && v <= INT32_MAX)
            return Variant(static_cast<int>(v));
        return Variant(static_cast<long long>(v));
    }
    case tkInt64: return Variant(static_cast<long long>(GetOrdProp(obj, prop)));
    case tkFloat:
        if (prop->PropType == TypeInfoDateTime())
            return Variant(TDateTime(static_cast<double>(GetFloatProp(obj, prop))));
        return Variant(static_cast<double>(GetFloatProp(obj, prop)));
    case tkString: case tkLString: case tkWString: return Variant(GetStrProp(obj, prop));
    case tkVariant: return GetVariantProp(obj, prop);
    case tkClass: return ObjectToVariant(GetObjectProp(obj, prop));
    case tkMethod: return Variant(GetMethodProp(obj, prop).Name());
    default: WrongKind(prop);
    }
}

void SetPropValue(TObject* obj, const TPropInfo* prop, const Variant& value)
{
    switch (prop->Kind()) {
    case tkEnumeration:
        if (VarIsStr(value)) {
            int v = GetEnumValue(prop->PropType, value.AsString());
            if (v < 0)
                v = StrToInt(value.AsString());
            SetOrdProp(obj, prop, v);
        } else if (value.VType() == varBoolean) {
            SetOrdProp(obj, prop, value.AsBoolean() ? 1 : 0);
        } else {
            SetOrdProp(obj, prop, value.AsInt64());
        }
        return;
    case tkSet:
        if (VarIsStr(value))
            SetOrdProp(obj, prop, StringToSet(prop->PropType, value.AsString()));
        else
            SetOrdProp(obj, prop, value.AsInt64());
        return;
    case tkChar: case tkWChar:
        if (VarIsStr(value)) {
            AnsiString s = value.AsString();
            SetOrdProp(obj, prop, s.empty() ? 0 : static_cast<unsigned char>(s[0]));
        } else {
            SetOrdProp(obj, prop, value.AsInt64());
        }
        return;
    case tkInteger: case tkInt64: SetOrdProp(obj, prop, value.AsInt64()); return;
    case tkFloat: SetFloatProp(obj, prop, value.AsDouble()); return;
    case tkString: case tkLString: case tkWString: SetStrProp(obj, prop, VarToStr(value)); return;
    case tkVariant: SetVariantProp(obj, prop, value); return;
    case tkClass: SetObjectProp(obj, prop, VariantToObject(value, prop->PropType->ClassType)); return;
    case tkMethod: {
        AnsiString name = VarToStr(value);
        if (name.empty() || name == "0") {
            SetMethodProp(obj, prop, TMethod());
            return;
        }
        throw EPropertyError(Format(msg::kEventFromValue, {prop->Name}));
    }
    default: WrongKind(prop);
    }
}

bool IsStoredProp(const TObject* obj, const TPropInfo* prop)
{
    switch (prop->StoredMode) {
    case TPropInfo::StoredKind::Always: return true;
    case TPropInfo::StoredKind::Never: return false;
    case TPropInfo::StoredKind::Predicate: return prop->StoredFn ? prop->StoredFn(*obj) : true;
    }
    return true;
}

bool IsDefaultPropValue(const TObject* obj, const TPropInfo* prop)
{
    switch (prop->Kind()) {
    case tkInteger: case tkChar: case tkWChar: case tkEnumeration: case tkSet: case tkInt64:
        return prop->HasDefault && GetOrdProp(obj, prop) == prop->DefaultValue;
    case tkFloat: return GetFloatProp(obj, prop) == 0;
    case tkString: case tkLString: case tkWString: return GetStrProp(obj, prop).empty();
    case tkVariant: return GetVariantProp(obj, prop).IsEmpty();
    case tkClass: return GetObjectProp(obj, prop) == nullptr;
    case tkMethod: return !GetMethodProp(obj, prop).Assigned();
    default: return true;
    }
}

TMethod FindPublishedMethod(TObject* obj, std::string_view name)
{
    if (!obj)
        return {};
    if (const TPublishedMethod* m = obj->ClassType()->Table().FindMethod(name))
        return m->Bind(obj);
    return {};
}

bool HasPublishedMethod(TClass cls, std::string_view name) { return cls && cls->Table().FindMethod(name) != nullptr; }

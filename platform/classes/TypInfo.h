// TypInfo.h - the object root, the class registry, published properties and events.
//
// One reflection mechanism serves the script bindings, the report serializer, the window
// layouts and window localisation. Every consumer reads the same table.
//
// Declaring a class (header):
//
//     class TButton : public TControl {
//         SKLAD_CLASS(TButton, TControl)       // ClassType(), StaticClass(), Publish()
//     public:
//         explicit TButton(TComponent* AOwner);
//         AnsiString GetCaption() const;
//         void SetCaption(const AnsiString& value);
//         bool GetDefault() const { return FDefault; }
//         void SetDefault(bool value);
//         TNotifyEvent FOnClick;
//     };
//
// and its published properties, one line each, in declaration order (source file). The
// ancestors' properties come first automatically; a line naming an inherited property
// replaces it in place (to change its default, for example):
//
//     SKLAD_DEFINE_CLASS(TButton)
//     void TButton::Publish(TPropertyTable& t)
//     {
//         t.Prop("Caption", &TButton::GetCaption, &TButton::SetCaption);
//         t.Prop("Default", &TButton::GetDefault, &TButton::SetDefault).Default(false);
//         t.Prop("Color",   &TButton::GetColor, &TButton::SetColor).Default(clBtnFace).Type("TColor");
//         t.Prop("Font",    &TButton::GetFont, &TButton::SetFont).Stored(&TButton::IsFontStored);
//         t.Event("OnClick", &TButton::FOnClick);
//     }
//
// The property kind follows the C++ type of the getter: int / int64_t / char / bool /
// an enumeration declared with SKLAD_ENUM / TSet<E> declared with SKLAD_SET / float,
// double, long double / AnsiString / Variant / a pointer to a TObject descendant / a
// TEvent<...> field. A getter or setter is a member function or a data member pointer; a
// property without a setter is read-only. `.Default(v)` is for ordinal kinds only; a
// property without one is always stored ("nodefault").
//
// A form publishes its event handlers by name, so a layout can say OnClick = Button1Click:
//
//     t.Method("Button1Click", &TForm1::Button1Click);
//
// Creation by class name: SKLAD_DEFINE_CLASS picks the factory from the constructors the
// class has: (TComponent* AOwner) for components, (TCollection*) for collection items,
// () for plain objects; a class with none of them is abstract for the registry. A class is
// found by name only after an explicit RegisterClass / RegisterClasses call from its
// layer's start-up function (no static-initialiser order is relied on).
//
// Events are closures (TEvent<void(TObject*)> and friends) bound to an object and a code
// identity, so two bindings of the same method to the same object compare equal and a
// handler can be removed. A binding made from a published method remembers its name, and
// so does a binding made in code to a method the class publishes; writers use that name.
//
// Not here: object handles (Handles.h), streaming (Streaming.h, ObjectText.h).
#pragma once

#include "platform/classes/Forward.h"
#include "platform/rtl/System.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <utility>
#include <unordered_map>
#include <vector>

// ---------------------------------------------------------------- type information

enum TTypeKind {
    tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
    tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray
};
using TTypeKinds = uint32_t;  // bit (1 << kind)
constexpr TTypeKinds KindBit(TTypeKind k) { return TTypeKinds(1) << k; }
constexpr TTypeKinds tkAny = 0xFFFFFFFFu;
constexpr TTypeKinds tkOrdinal = KindBit(tkInteger) | KindBit(tkChar) | KindBit(tkEnumeration) |
                                 KindBit(tkSet) | KindBit(tkWChar) | KindBit(tkInt64);
constexpr TTypeKinds tkStrings = KindBit(tkString) | KindBit(tkLString) | KindBit(tkWString);
constexpr TTypeKinds tkProperties = tkAny & ~KindBit(tkMethod);
constexpr TTypeKinds tkMethods = KindBit(tkMethod);

enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// Describes one type a property can have. Instances live for the whole process.
struct TTypeInfo {
    TTypeKind Kind = tkUnknown;
    AnsiString Name;                       // "Integer", "TColor", "TAlign", "TFontStyles", "TFont", "TNotifyEvent"
    std::vector<AnsiString> EnumNames;     // tkEnumeration: identifiers in ordinal order
    int MinValue = 0, MaxValue = 0;        // tkEnumeration: 0..n-1; tkInteger/tkChar: range
    const TTypeInfo* CompType = nullptr;   // tkSet: the element enumeration
    TFloatType FloatType = ftDouble;       // tkFloat
    TClass ClassType = nullptr;            // tkClass
    const std::type_info* Signature = nullptr;  // tkMethod: the closure's C++ signature

    // A type with the same shape and another name ("TColor" for an Integer); interned, so
    // two calls with equal arguments return the same pointer.
    static const TTypeInfo* Renamed(const TTypeInfo* base, std::string_view name);
    // Builds an enumeration from "a, b, c" (the text of SKLAD_ENUM's list).
    static TTypeInfo MakeEnum(std::string_view name, std::string_view commaList);
    static TTypeInfo MakeSet(std::string_view name, const TTypeInfo* elements);
};

// Built-in types.
const TTypeInfo* TypeInfoInteger();   // "Integer"
const TTypeInfo* TypeInfoCardinal();  // "Cardinal"
const TTypeInfo* TypeInfoByte();      // "Byte"
const TTypeInfo* TypeInfoWord();      // "Word"
const TTypeInfo* TypeInfoInt64();     // "Int64"
const TTypeInfo* TypeInfoChar();      // "Char"
const TTypeInfo* TypeInfoBoolean();   // "Boolean", enumeration False, True
const TTypeInfo* TypeInfoSingle();    // "Single"
const TTypeInfo* TypeInfoDouble();    // "Double"
const TTypeInfo* TypeInfoExtended();  // "Extended"
const TTypeInfo* TypeInfoDateTime();  // "TDateTime" (double)
const TTypeInfo* TypeInfoCurrency();  // "Currency"
const TTypeInfo* TypeInfoString();    // "String" (tkLString)
const TTypeInfo* TypeInfoVariant();   // "Variant"
const TTypeInfo* TypeInfoClass(TClass cls);  // tkClass named after the class

// Type information of a C++ type; specialised by SKLAD_ENUM, SKLAD_SET and SKLAD_EVENT_TYPE.
template <class T> struct TTypeInfoOf;

// A Pascal-style set of up to 32 members of enumeration E; bit i is member i.
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> members) { for (E e : members) FBits |= Bit(e); }
    static constexpr TSet FromBits(uint32_t bits) { TSet s; s.FBits = bits; return s; }
    constexpr uint32_t Bits() const { return FBits; }
    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E e) { FBits |= Bit(e); return *this; }
    constexpr TSet& Exclude(E e) { FBits &= ~Bit(e); return *this; }
    constexpr TSet& operator<<(E e) { return Include(e); }
    constexpr TSet& operator>>(E e) { return Exclude(e); }
    friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.FBits | b.FBits); }
    friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.FBits & ~b.FBits); }
    friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.FBits & b.FBits); }
    friend constexpr bool operator==(TSet a, TSet b) { return a.FBits == b.FBits; }

private:
    static constexpr uint32_t Bit(E e) { return uint32_t(1) << unsigned(e); }
    uint32_t FBits = 0;
};

// Declares a plain enumeration (values 0, 1, 2 ...) together with its type information.
// Use at namespace scope:  SKLAD_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
#define SKLAD_ENUM(Name, ...)               \
    enum Name { __VA_ARGS__ };              \
    SKLAD_ENUM_INFO(Name, __VA_ARGS__)

// Type information for an enumeration declared elsewhere; the list must name every value
// from 0 upwards in order.
#define SKLAD_ENUM_INFO(Name, ...)                                                  \
    template <> struct TTypeInfoOf<Name> {                                          \
        static const TTypeInfo* Get()                                               \
        {                                                                           \
            static const TTypeInfo info = TTypeInfo::MakeEnum(#Name, #__VA_ARGS__); \
            return &info;                                                           \
        }                                                                           \
    };

// Type information for a set:  using TFontStyles = TSet<TFontStyle>; SKLAD_SET(TFontStyles, TFontStyle)
#define SKLAD_SET(Name, Element)                                                                   \
    template <> struct TTypeInfoOf<TSet<Element>> {                                                \
        static const TTypeInfo* Get()                                                              \
        {                                                                                          \
            static const TTypeInfo info = TTypeInfo::MakeSet(#Name, TTypeInfoOf<Element>::Get()); \
            return &info;                                                                          \
        }                                                                                          \
    };

// Names a closure type:  using TCloseEvent = TEvent<void(TObject*, TCloseAction&)>; SKLAD_EVENT_TYPE(TCloseEvent)
// Two names for one signature cannot both be declared; give the second with .Type("...").
#define SKLAD_EVENT_TYPE(Name)                                                        \
    template <> struct TTypeInfoOf<Name> {                                            \
        static const TTypeInfo* Get()                                                 \
        {                                                                             \
            static const TTypeInfo info = MakeMethodTypeInfo(#Name, typeid(Name::Signature)); \
            return &info;                                                             \
        }                                                                             \
    };

TTypeInfo MakeMethodTypeInfo(std::string_view name, const std::type_info& signature);

// Enumeration and set texts.
AnsiString GetEnumName(const TTypeInfo* info, int value);  // "" outside the range
int GetEnumValue(const TTypeInfo* info, std::string_view name);  // ignores case; -1 when unknown
// "[fsBold,fsItalic]" (brackets optional); raises EPropertyError on an unknown member name.
AnsiString SetToString(const TTypeInfo* setInfo, uint32_t value, bool brackets = true);
uint32_t StringToSet(const TTypeInfo* setInfo, std::string_view text);

// ---------------------------------------------------------------- closures

// A type-erased handler: the object it belongs to and one shared, immutable block with
// the identity of its code, the name of the published method it came from (if any) and
// the callable itself. Copies share the block, so an event is two pointers wide and an
// unassigned one owns nothing: a control carries a dozen of them.
class TMethod {
public:
    using CodeBytes = std::array<unsigned char, 16>;

    TMethod() = default;
    TMethod(const TMethod& other) noexcept : FData(other.FData), FBlock(other.FBlock) { Retain(FBlock); }
    TMethod(TMethod&& other) noexcept
        : FData(std::exchange(other.FData, nullptr)), FBlock(std::exchange(other.FBlock, nullptr)) {}
    TMethod& operator=(const TMethod& other) noexcept
    {
        Retain(other.FBlock);  // first: other may be *this
        Release(FBlock);
        FData = other.FData;
        FBlock = other.FBlock;
        return *this;
    }
    TMethod& operator=(TMethod&& other) noexcept
    {
        if (this != &other) {
            Release(FBlock);
            FData = std::exchange(other.FData, nullptr);
            FBlock = std::exchange(other.FBlock, nullptr);
        }
        return *this;
    }
    ~TMethod() { Release(FBlock); }

    bool Assigned() const { return FBlock && FBlock->Callable; }
    TObject* Data() const { return FData; }
    const AnsiString& Name() const { return FBlock ? FBlock->Name : EmptyName(); }
    // The block is shared: renaming gives this handler a block of its own.
    void SetName(AnsiString name);
    const std::type_info* Signature() const { return FBlock ? FBlock->Signature : &typeid(void); }
    const CodeBytes& Code() const { return FBlock ? FBlock->Code : NoCode(); }
    void Clear() { *this = TMethod(); }

    // Equal when both are unassigned, or both are bound to the same object and code.
    friend bool operator==(const TMethod& a, const TMethod& b)
    {
        if (!a.Assigned() || !b.Assigned())
            return a.Assigned() == b.Assigned();
        if (a.FData != b.FData)
            return false;
        return a.FBlock == b.FBlock ||
               (a.FBlock->Code == b.FBlock->Code && *a.FBlock->Signature == *b.FBlock->Signature);
    }

    // Makes a handler from a callable of signature Sig. `code` identifies the code; pass
    // NewCode() for a one-off callable.
    template <class Sig, class F>
    static TMethod Make(TObject* data, const CodeBytes& code, F&& fn, AnsiString name = {})
    {
        TMethod m;
        m.FData = data;
        m.FBlock = new TBlockOf<Sig>(code, std::move(name), std::forward<F>(fn));
        return m;
    }
    static CodeBytes NewCode();  // a code identity no other callable has

    template <class Sig>
    const std::function<Sig>* Function() const
    {
        if (!Assigned() || *FBlock->Signature != typeid(Sig))
            return nullptr;
        return &static_cast<const TBlockOf<Sig>*>(FBlock)->Fn;
    }

private:
    // Counted by the handlers that share it; never changed once made.
    struct TBlock {
        TBlock(const std::type_info* signature, const CodeBytes& code, AnsiString name, bool callable)
            : Signature(signature), Code(code), Name(std::move(name)), Callable(callable) {}
        TBlock(const TBlock& other)
            : Signature(other.Signature), Code(other.Code), Name(other.Name), Callable(other.Callable) {}
        virtual ~TBlock() = default;
        virtual TBlock* Clone() const { return new TBlock(*this); }
        mutable std::atomic<uint32_t> Refs{1};
        const std::type_info* const Signature;
        const CodeBytes Code;
        AnsiString Name;  // set only while the block is not yet shared
        const bool Callable;
    };
    template <class Sig>
    struct TBlockOf final : TBlock {
        template <class F>
        TBlockOf(const CodeBytes& code, AnsiString name, F&& fn)
            : TBlock(&typeid(Sig), code, std::move(name), true), Fn(std::forward<F>(fn)) {}
        TBlock* Clone() const override { return new TBlockOf(*this); }
        std::function<Sig> Fn;
    };
    static void Retain(const TBlock* b) noexcept
    {
        if (b)
            b->Refs.fetch_add(1, std::memory_order_relaxed);
    }
    static void Release(const TBlock* b) noexcept
    {
        if (b && b->Refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete b;
    }
    static const AnsiString& EmptyName();
    static const CodeBytes& NoCode();

    TObject* FData = nullptr;
    const TBlock* FBlock = nullptr;
};

// The name a class publishes for the method with this code, or "" (see TPropertyTable::Method).
AnsiString PublishedMethodName(const TObject* data, const std::type_info& signature,
                               const TMethod::CodeBytes& code);

template <class MemberPtr>
TMethod::CodeBytes MemberCode(MemberPtr p)
{
    static_assert(sizeof(MemberPtr) <= sizeof(TMethod::CodeBytes), "member pointer too large");
    TMethod::CodeBytes bytes{};
    std::memcpy(bytes.data(), &p, sizeof(p));
    return bytes;
}

// An event of signature R(A...). Calling an unassigned event does nothing and returns R{}.
template <class R, class... A>
class TEvent<R(A...)> {
public:
    using Signature = R(A...);
    using Function = std::function<R(A...)>;

    TEvent() = default;
    TEvent(std::nullptr_t) {}
    // Binds a method of an object:  Button1->OnClick = TNotifyEvent(this, &TForm1::Button1Click);
    template <class T, class C>
    TEvent(T* object, R (C::*method)(A...))
    {
        static_assert(std::is_base_of_v<C, T> && std::is_base_of_v<TObject, T>);
        C* target = object;
        const auto code = MemberCode(method);
        FMethod = TMethod::Make<Signature>(object, code,
            [target, method](A... args) -> R { return (target->*method)(std::forward<A>(args)...); },
            PublishedMethodName(object, typeid(Signature), code));
    }
    // A one-off handler (a lambda); `data` is the object it belongs to, if any.
    template <class F>
    static TEvent Lambda(F&& fn, TObject* data = nullptr, AnsiString name = {})
    {
        TEvent e;
        e.FMethod = TMethod::Make<Signature>(data, TMethod::NewCode(), std::forward<F>(fn), std::move(name));
        return e;
    }
    // From a type-erased handler; raises EPropertyError when the signatures differ.
    static TEvent FromMethod(const TMethod& m)
    {
        TEvent e;
        e.SetMethod(m);
        return e;
    }

    explicit operator bool() const { return FMethod.Assigned(); }
    bool Assigned() const { return FMethod.Assigned(); }
    // The handler may set this event to nothing or to another handler, or free the object
    // that holds the event, while it runs: the copy keeps the running callable (and what
    // it captured) alive until it returns, and nothing here touches *this after the call.
    R operator()(A... args) const
    {
        if (!FMethod.Assigned()) {
            if constexpr (!std::is_void_v<R>)
                return R{};
            else
                return;
        }
        const TMethod running = FMethod;
        if (const auto* fn = running.template Function<Signature>())
            return (*fn)(std::forward<A>(args)...);
        if constexpr (!std::is_void_v<R>)
            return R{};
    }
    const TMethod& Method() const { return FMethod; }
    void SetMethod(const TMethod& m);
    const AnsiString& Name() const { return FMethod.Name(); }
    void Clear() { FMethod.Clear(); }
    friend bool operator==(const TEvent& a, const TEvent& b) { return a.FMethod == b.FMethod; }

private:
    TMethod FMethod;
};

[[noreturn]] void RaiseEventSignatureMismatch(const std::type_info& expected, const TMethod& got);

template <class R, class... A>
void TEvent<R(A...)>::SetMethod(const TMethod& m)
{
    if (m.Assigned() && *m.Signature() != typeid(Signature))
        RaiseEventSignatureMismatch(typeid(Signature), m);
    FMethod = m;
}

// The signatures the platform uses; later layers add theirs the same way.
using TNotifyEvent = TEvent<void(TObject* Sender)>;
SKLAD_EVENT_TYPE(TNotifyEvent)

// ---------------------------------------------------------------- objects and classes

// The root of every class. Not copyable: objects have identity (handles, owners).
class TObject {
public:
    TObject();
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    static TClass StaticClass();
    static void Publish(TPropertyTable&) {}
    virtual TClass ClassType() const;
    const AnsiString& ClassName() const;
    TClass ClassParent() const;
    bool InheritsFrom(TClass cls) const;
    // Handle of this object (assigned on first use; see Handles.h).
    uint32_t ObjectHandle() const;

private:
    friend class THandleTable;
    mutable uint32_t FHandle = 0;
};

// The run-time class: name, parent, published properties and methods, factory.
class TMetaClass;

// obj as a T, answered by the class records, as dynamic_cast answers it but without its
// search through the C++ type records (hot loops over report objects). T must declare its
// own class record (SKLAD_CLASS), or its parent's would answer for it.
template <class T, class O>
T* ObjectAs(O* obj);

class TMetaClass {
public:
    using Factory = TObject* (*)(void* arg);
    enum class FactoryKind { None, Plain, Component, CollectionItem };

    TMetaClass(const char* name, TClass parent, void (*publish)(TPropertyTable&),
               FactoryKind kind, Factory factory);
    ~TMetaClass();
    TMetaClass(const TMetaClass&) = delete;
    TMetaClass& operator=(const TMetaClass&) = delete;

    const AnsiString& ClassName() const { return FName; }
    TClass ClassParent() const { return FParent; }
    bool InheritsFrom(TClass cls) const;
    bool IsAbstract() const { return FKind == FactoryKind::None; }
    FactoryKind Kind() const { return FKind; }

    // Published properties, ancestors first, in declaration order.
    const std::vector<const TPropInfo*>& Properties() const;
    const TPropInfo* FindProperty(std::string_view name) const;  // ignores case
    // Published methods of this class and its ancestors.
    const TPropertyTable& Table() const;

    // Virtual constructors. A component made with an owner belongs to it; without one the
    // caller holds it. EClassNotFound-style errors (EComponentError) for abstract classes
    // or a class of another kind.
    std::unique_ptr<TObject> NewInstance() const;                  // plain object or ownerless component
    TComponent* CreateComponent(TComponent& owner) const;          // owned by `owner`
    std::unique_ptr<TComponent> CreateComponent(std::nullptr_t) const;
    TCollectionItem* CreateItem(TCollection& collection) const;    // owned by the collection

private:
    void Build() const;
    AnsiString FName;
    TClass FParent;
    void (*FPublish)(TPropertyTable&);
    FactoryKind FKind;
    Factory FFactory;
    mutable std::unique_ptr<TPropertyTable> FTable;  // built on first use
};

template <class T, class O>
T* ObjectAs(O* obj)
{
    return obj && obj->ClassType()->InheritsFrom(T::StaticClass()) ? static_cast<T*>(obj) : nullptr;
}

// Declares the reflection members inside a class body. Leaves the access at public.
#define SKLAD_CLASS(Name, Parent)                                            \
public:                                                                      \
    using inherited = Parent;                                                \
    static TClass StaticClass();                                             \
    TClass ClassType() const override { return Name::StaticClass(); }        \
    static void Publish(TPropertyTable& t);                                  \
                                                                             \
public:

// Same for a class template or a class that publishes nothing of its own.
#define SKLAD_CLASS_NOPUBLISH(Name, Parent)                                  \
public:                                                                      \
    using inherited = Parent;                                                \
    static TClass StaticClass();                                             \
    TClass ClassType() const override { return Name::StaticClass(); }        \
    static void Publish(TPropertyTable&) {}                                  \
                                                                             \
public:

namespace classes_detail {
template <class T>
TObject* PlainFactory(void*) { return new T(); }
template <class T>
TObject* ComponentFactory(void* owner) { return new T(static_cast<TComponent*>(owner)); }
template <class T>
TObject* ItemFactory(void* coll) { return new T(static_cast<TCollection*>(coll)); }

template <class T>
TMetaClass MakeMetaClass(const char* name, bool forceAbstract)
{
    using K = TMetaClass::FactoryKind;
    if constexpr (std::is_abstract_v<T>) {
        return TMetaClass(name, T::inherited::StaticClass(), &T::Publish, K::None, nullptr);
    } else {
        if (forceAbstract)
            return TMetaClass(name, T::inherited::StaticClass(), &T::Publish, K::None, nullptr);
        if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_constructible_v<T, TCollection*>)
            return TMetaClass(name, T::inherited::StaticClass(), &T::Publish, K::Component, &ComponentFactory<T>);
        else if constexpr (std::is_constructible_v<T, TCollection*>)
            return TMetaClass(name, T::inherited::StaticClass(), &T::Publish, K::CollectionItem, &ItemFactory<T>);
        else if constexpr (std::is_default_constructible_v<T>)
            return TMetaClass(name, T::inherited::StaticClass(), &T::Publish, K::Plain, &PlainFactory<T>);
        else
            return TMetaClass(name, T::inherited::StaticClass(), &T::Publish, K::None, nullptr);
    }
}
}  // namespace classes_detail

// Defines StaticClass() of a class declared with SKLAD_CLASS (in one source file).
#define SKLAD_DEFINE_CLASS(Name)                                                             \
    TClass Name::StaticClass()                                                               \
    {                                                                                        \
        static const TMetaClass meta = classes_detail::MakeMetaClass<Name>(#Name, false);    \
        return &meta;                                                                        \
    }
// The same for a class that must not be created by name although it has a constructor.
#define SKLAD_DEFINE_ABSTRACT_CLASS(Name)                                                    \
    TClass Name::StaticClass()                                                               \
    {                                                                                        \
        static const TMetaClass meta = classes_detail::MakeMetaClass<Name>(#Name, true);     \
        return &meta;                                                                        \
    }

// ---------------------------------------------------------------- class registry

// Registration by name; names are compared ignoring case. Registering a class twice is
// harmless; registering a different class under a taken name raises EComponentError.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
TClass GetClass(std::string_view name);   // nullptr when not registered
TClass FindClass(std::string_view name);  // EClassNotFound "Class %s not found"
std::vector<TClass> RegisteredClasses();  // in registration order

// ---------------------------------------------------------------- published properties

// One published property. Created by TPropertyTable; lives as long as its class.
struct TPropInfo {
    enum class StoredKind { Always, Never, Predicate };

    AnsiString Name;
    const TTypeInfo* PropType = nullptr;
    TClass Declarer = nullptr;  // the class whose Publish declared it
    int NameIndex = 0;          // position in the class's list

    bool HasDefault = false;    // ordinal kinds only; without a default it is always stored
    int64_t DefaultValue = 0;
    StoredKind StoredMode = StoredKind::Always;
    std::function<bool(const TObject&)> StoredFn;

    // Accessors; which are set depends on the kind. Readable/Writable tell what exists.
    std::function<int64_t(const TObject&)> GetOrd;
    std::function<void(TObject&, int64_t)> SetOrd;
    std::function<long double(const TObject&)> GetFloat;
    std::function<void(TObject&, long double)> SetFloat;
    std::function<AnsiString(const TObject&)> GetStr;
    std::function<void(TObject&, const AnsiString&)> SetStr;
    std::function<Variant(const TObject&)> GetVar;
    std::function<void(TObject&, const Variant&)> SetVar;
    std::function<TObject*(const TObject&)> GetObj;
    std::function<void(TObject&, TObject*)> SetObj;
    std::function<TMethod(const TObject&)> GetMeth;
    std::function<void(TObject&, const TMethod&)> SetMeth;
    bool Readable = false;
    bool Writable = false;
    // An Integer or Int64 property read and written as one data member (Prop("Width", &T::FWidth,
    // &T::FWidth)): where that member lies in an object, and its size (4 or 8; 0 for any other
    // property). Reading or writing it there is what GetOrd and SetOrd do, so a caller that
    // keeps an object may keep the address instead of calling them.
    std::function<void*(TObject&)> OrdField;
    uint8_t OrdFieldSize = 0;

    TTypeKind Kind() const { return PropType->Kind; }

    // Fluent modifiers used in Publish().
    template <class V>
    TPropInfo& Default(V value);
    TPropInfo& NoDefault() { HasDefault = false; return *this; }
    // A constant stored flag, or a predicate of the object ("stored IsFontStored").
    TPropInfo& Stored(bool stored)
    {
        StoredMode = stored ? StoredKind::Always : StoredKind::Never;
        StoredFn = nullptr;
        return *this;
    }
    template <class T>
    TPropInfo& Stored(bool (T::*pred)() const)
    {
        StoredMode = StoredKind::Predicate;
        StoredFn = [pred](const TObject& o) { return (static_cast<const T&>(o).*pred)(); };
        return *this;
    }
    TPropInfo& Type(std::string_view typeName) { PropType = TTypeInfo::Renamed(PropType, typeName); return *this; }
};

namespace classes_detail {
template <class V> int64_t OrdOf(V v)
{
    if constexpr (std::is_same_v<V, bool>) return v ? 1 : 0;
    else if constexpr (std::is_same_v<V, char>) return static_cast<unsigned char>(v);
    else if constexpr (std::is_enum_v<V>) return static_cast<int64_t>(v);
    else if constexpr (std::is_integral_v<V>) return static_cast<int64_t>(v);
    else return static_cast<int64_t>(v.Bits());  // TSet
}
}  // namespace classes_detail

template <class V>
TPropInfo& TPropInfo::Default(V value)
{
    HasDefault = true;
    DefaultValue = classes_detail::OrdOf(value);
    return *this;
}

// A published method: a handler a layout or a script can bind by name.
struct TPublishedMethod {
    AnsiString Name;
    const std::type_info* Signature = nullptr;
    TMethod::CodeBytes Code{};
    std::function<TMethod(TObject*)> Bind;  // makes the closure for an instance
};

// The table a class fills in its Publish(); the class's own lines follow its ancestors'.
class TPropertyTable {
public:
    explicit TPropertyTable(TClass owner) : FOwner(owner) {}

    // A property; the kind follows the getter's value type (see the file header).
    template <class G, class S = std::nullptr_t>
    TPropInfo& Prop(std::string_view name, G get, S set = nullptr);
    // An event: a TEvent<...> data member.
    template <class T, class Sig>
    TPropInfo& Event(std::string_view name, TEvent<Sig> T::*field) { return Prop(name, field, field); }
    // A published handler method.
    template <class T, class R, class... A>
    void Method(std::string_view name, R (T::*method)(A...));

    const std::vector<const TPropInfo*>& Properties() const { return FView; }
    const TPropInfo* FindProperty(std::string_view name) const;
    const TPublishedMethod* FindMethod(std::string_view name) const;
    const TPublishedMethod* FindMethodByCode(const std::type_info& sig, const TMethod::CodeBytes& code) const;
    const std::vector<std::unique_ptr<TPublishedMethod>>& Methods() const { return FMethods; }
    TClass Owner() const { return FOwner; }

    void InheritFrom(const TPropertyTable& parent);

private:
    TPropInfo& Slot(std::string_view name);  // new at the end, or the inherited one replaced in place
    // Names compared as SameText does (ASCII letters folded), looked up without a copy.
    struct TFoldedHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const noexcept;
    };
    struct TFoldedEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    TClass FOwner;
    std::vector<std::shared_ptr<TPropInfo>> FProps;
    std::vector<const TPropInfo*> FView;
    // FView by name: readers look properties up by name for every object they build.
    std::unordered_map<std::string, const TPropInfo*, TFoldedHash, TFoldedEqual> FByName;
    std::vector<std::unique_ptr<TPublishedMethod>> FMethods;
};

// ---------------------------------------------------------------- property access by name

// Lookups ignore case. The *Prop functions taking a name raise EPropertyError
// "Property %s does not exist" when the class has no such property; those taking a
// TPropInfo trust it belongs to the object's class. A kind mismatch raises EPropertyError
// "Invalid property type: %s"; writing a read-only property raises "Property %s is read-only".
const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name);
const TPropInfo* GetPropInfo(TClass cls, std::string_view name);
// Properties of the given kinds, sorted by name (CompareText).
std::vector<const TPropInfo*> GetPropList(TClass cls, TTypeKinds kinds = tkAny);
std::vector<const TPropInfo*> GetPropList(const TObject* obj, TTypeKinds kinds = tkAny);
bool IsPublishedProp(const TObject* obj, std::string_view name);
bool PropIsType(const TObject* obj, std::string_view name, TTypeKind kind);

int64_t GetOrdProp(const TObject* obj, const TPropInfo* prop);  // integer, char, enum, set, int64, Boolean
void SetOrdProp(TObject* obj, const TPropInfo* prop, int64_t value);
long double GetFloatProp(const TObject* obj, const TPropInfo* prop);
void SetFloatProp(TObject* obj, const TPropInfo* prop, long double value);
AnsiString GetStrProp(const TObject* obj, const TPropInfo* prop);
void SetStrProp(TObject* obj, const TPropInfo* prop, const AnsiString& value);
Variant GetVariantProp(const TObject* obj, const TPropInfo* prop);
void SetVariantProp(TObject* obj, const TPropInfo* prop, const Variant& value);
TObject* GetObjectProp(const TObject* obj, const TPropInfo* prop);
// Raises EPropertyError when value is not of the property's class.
void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value);
TMethod GetMethodProp(const TObject* obj, const TPropInfo* prop);
// Raises EPropertyError when the handler's signature differs from the event's.
void SetMethodProp(TObject* obj, const TPropInfo* prop, const TMethod& value);

// Ordinal access is the commonest (scripts reading and writing Integer properties in loops):
// the accessor is called in place, and the checks that fail raise out of line.
namespace classes_detail {
[[noreturn]] void GetOrdPropFailed(const TObject* obj, const TPropInfo* prop);
void SetOrdPropChecked(TObject* obj, const TPropInfo* prop, int64_t value);
}  // namespace classes_detail

inline int64_t GetOrdProp(const TObject* obj, const TPropInfo* prop)
{
    if (!obj || !prop->GetOrd) [[unlikely]]
        classes_detail::GetOrdPropFailed(obj, prop);
    return prop->GetOrd(*obj);
}

// An enumeration's range is checked out of line, with the other failures.
inline void SetOrdProp(TObject* obj, const TPropInfo* prop, int64_t value)
{
    if (!obj || !prop->Writable || !prop->SetOrd || prop->Kind() == tkEnumeration) [[unlikely]]
        return classes_detail::SetOrdPropChecked(obj, prop, value);
    prop->SetOrd(*obj, value);
}

int64_t GetOrdProp(const TObject* obj, std::string_view name);
void SetOrdProp(TObject* obj, std::string_view name, int64_t value);
long double GetFloatProp(const TObject* obj, std::string_view name);
void SetFloatProp(TObject* obj, std::string_view name, long double value);
AnsiString GetStrProp(const TObject* obj, std::string_view name);
void SetStrProp(TObject* obj, std::string_view name, const AnsiString& value);
Variant GetVariantProp(const TObject* obj, std::string_view name);
void SetVariantProp(TObject* obj, std::string_view name, const Variant& value);
TObject* GetObjectProp(const TObject* obj, std::string_view name);
void SetObjectProp(TObject* obj, std::string_view name, TObject* value);
TMethod GetMethodProp(const TObject* obj, std::string_view name);
void SetMethodProp(TObject* obj, std::string_view name, const TMethod& value);
AnsiString GetEnumProp(const TObject* obj, std::string_view name);       // the identifier
void SetEnumProp(TObject* obj, std::string_view name, std::string_view value);
AnsiString GetSetProp(const TObject* obj, std::string_view name, bool brackets = false);
void SetSetProp(TObject* obj, std::string_view name, std::string_view value);

// Any kind as a Variant: ordinals as integers (Boolean as a Boolean), floats as doubles,
// strings, Variants, objects as handles (Handles.h), events as their method name.
Variant GetPropValue(const TObject* obj, const TPropInfo* prop);
// Converts a Variant to the property's kind (an enumeration also from its identifier, an
// object from a handle); raises EPropertyError or the Variant's conversion error.
void SetPropValue(TObject* obj, const TPropInfo* prop, const Variant& value);

// The stored test of a property for this object (constant or predicate).
bool IsStoredProp(const TObject* obj, const TPropInfo* prop);
// True when the value equals the property's default: ordinals with a default equal to it,
// floats equal to 0, empty strings, empty Variants, nil objects, unassigned events.
// Ordinals without a default are never at their default.
bool IsDefaultPropValue(const TObject* obj, const TPropInfo* prop);

// Published methods of an object's class, by name (ignores case); an unassigned TMethod
// when there is none. The closure is bound to `obj`.
TMethod FindPublishedMethod(TObject* obj, std::string_view name);
bool HasPublishedMethod(TClass cls, std::string_view name);

#include "platform/classes/TypInfoImpl.h"

// TypInfoImpl.h - template parts of TypInfo.h: how a getter's C++ type becomes a property
// kind and how its accessors are wrapped. Included at the end of TypInfo.h only.
#pragma once

#include "platform/rtl/SysUtils.h"

namespace classes_detail {

template <class T> struct IsTSet : std::false_type {};
template <class E> struct IsTSet<TSet<E>> : std::true_type { using Element = E; };
template <class T> struct IsTEvent : std::false_type {};
template <class Sig> struct IsTEvent<TEvent<Sig>> : std::true_type { using Signature = Sig; };

template <class T>
concept HasTypeInfo = requires { TTypeInfoOf<T>::Get(); };

template <class M> struct MemberOf;
template <class C, class V> struct MemberOf<V C::*> { using Class = C; };

const TTypeInfo* MethodTypeInfo(const std::type_info& signature);  // interned, unnamed
[[noreturn]] void RaiseObjectClassMismatch(const TPropInfo& prop, const TObject* value);

template <class C, class G>
decltype(auto) CallGet(G get, const TObject& o)
{
    C& obj = const_cast<C&>(static_cast<const C&>(o));
    return std::invoke(get, obj);
}

template <class C, class S, class V>
void CallSet(S set, TObject& o, V&& value)
{
    C& obj = static_cast<C&>(o);
    if constexpr (std::is_member_object_pointer_v<S>)
        obj.*set = std::forward<V>(value);
    else
        std::invoke(set, obj, std::forward<V>(value));
}

}  // namespace classes_detail

template <class G, class S>
TPropInfo& TPropertyTable::Prop(std::string_view name, G get, S set)
{
    using namespace classes_detail;
    using C = typename MemberOf<G>::Class;
    static_assert(std::is_base_of_v<TObject, C>, "a published property belongs to a TObject descendant");
    using V = std::decay_t<decltype(std::invoke(get, std::declval<C&>()))>;
    constexpr bool hasSet = !std::is_same_v<S, std::nullptr_t>;
    using SC = std::conditional_t<hasSet, typename MemberOf<std::conditional_t<hasSet, S, int C::*>>::Class, C>;

    TPropInfo& p = Slot(name);
    p.Readable = true;
    p.Writable = hasSet;

    if constexpr (std::is_same_v<V, bool> || std::is_same_v<V, char> || std::is_enum_v<V> ||
                  std::is_integral_v<V> || IsTSet<V>::value) {
        if constexpr (std::is_same_v<V, bool>) p.PropType = TypeInfoBoolean();
        else if constexpr (std::is_same_v<V, char>) p.PropType = TypeInfoChar();
        else if constexpr (std::is_enum_v<V>) {
            static_assert(HasTypeInfo<V>, "declare the enumeration with SKLAD_ENUM or SKLAD_ENUM_INFO");
            p.PropType = TTypeInfoOf<V>::Get();
        } else if constexpr (IsTSet<V>::value) {
            static_assert(HasTypeInfo<V>, "declare the set with SKLAD_SET");
            p.PropType = TTypeInfoOf<V>::Get();
        } else if constexpr (std::is_same_v<V, int64_t> || std::is_same_v<V, uint64_t>) p.PropType = TypeInfoInt64();
        else if constexpr (std::is_same_v<V, uint32_t>) p.PropType = TypeInfoCardinal();
        else if constexpr (std::is_same_v<V, uint16_t>) p.PropType = TypeInfoWord();
        else if constexpr (std::is_same_v<V, uint8_t>) p.PropType = TypeInfoByte();
        else p.PropType = TypeInfoInteger();
        p.GetOrd = [get](const TObject& o) -> int64_t { return OrdOf<V>(CallGet<C>(get, o)); };
        if constexpr (std::is_member_object_pointer_v<G> && std::is_same_v<G, S> &&
                      (std::is_same_v<V, int32_t> || std::is_same_v<V, int64_t>)) {
            if (get == set) {
                p.OrdField = [get](TObject& o) -> void* { return &(static_cast<C&>(o).*get); };
                p.OrdFieldSize = sizeof(V);
            }
        }
        if constexpr (hasSet) {
            p.SetOrd = [set](TObject& o, int64_t v) {
                if constexpr (std::is_same_v<V, bool>) CallSet<SC>(set, o, v != 0);
                else if constexpr (std::is_same_v<V, char>) CallSet<SC>(set, o, static_cast<char>(v));
                else if constexpr (IsTSet<V>::value) CallSet<SC>(set, o, V::FromBits(static_cast<uint32_t>(v)));
                else CallSet<SC>(set, o, static_cast<V>(v));
            };
        }
    } else if constexpr (std::is_floating_point_v<V> || std::is_same_v<V, TDateTime> || std::is_same_v<V, Currency>) {
        if constexpr (std::is_same_v<V, float>) p.PropType = TypeInfoSingle();
        else if constexpr (std::is_same_v<V, double>) p.PropType = TypeInfoDouble();
        else if constexpr (std::is_same_v<V, TDateTime>) p.PropType = TypeInfoDateTime();
        else if constexpr (std::is_same_v<V, Currency>) p.PropType = TypeInfoCurrency();
        else p.PropType = TypeInfoExtended();
        p.GetFloat = [get](const TObject& o) -> long double {
            if constexpr (std::is_same_v<V, Currency>) return CallGet<C>(get, o).ToDouble();
            else return static_cast<long double>(static_cast<double>(CallGet<C>(get, o)));
        };
        if constexpr (std::is_floating_point_v<V>)
            p.GetFloat = [get](const TObject& o) -> long double { return static_cast<long double>(CallGet<C>(get, o)); };
        if constexpr (hasSet) {
            p.SetFloat = [set](TObject& o, long double v) {
                if constexpr (std::is_same_v<V, Currency>) CallSet<SC>(set, o, Currency(static_cast<double>(v)));
                else if constexpr (std::is_same_v<V, TDateTime>) CallSet<SC>(set, o, TDateTime(static_cast<double>(v)));
                else CallSet<SC>(set, o, static_cast<V>(v));
            };
        }
    } else if constexpr (std::is_same_v<V, AnsiString>) {
        p.PropType = TypeInfoString();
        p.GetStr = [get](const TObject& o) -> AnsiString { return CallGet<C>(get, o); };
        if constexpr (hasSet)
            p.SetStr = [set](TObject& o, const AnsiString& v) { CallSet<SC>(set, o, v); };
    } else if constexpr (std::is_same_v<V, Variant>) {
        p.PropType = TypeInfoVariant();
        p.GetVar = [get](const TObject& o) -> V { return CallGet<C>(get, o); };
        if constexpr (hasSet)
            p.SetVar = [set](TObject& o, const V& v) { CallSet<SC>(set, o, v); };
    } else if constexpr (std::is_pointer_v<V>) {
        using O = std::remove_pointer_t<V>;
        static_assert(std::is_base_of_v<TObject, O>, "a class property holds a TObject descendant");
        p.PropType = TypeInfoClass(O::StaticClass());
        p.GetObj = [get](const TObject& o) -> TObject* { return CallGet<C>(get, o); };
        if constexpr (hasSet) {
            const TPropInfo* self = &p;
            p.SetObj = [set, self](TObject& o, TObject* v) {
                O* typed = dynamic_cast<O*>(v);
                if (v && !typed)
                    RaiseObjectClassMismatch(*self, v);
                CallSet<SC>(set, o, typed);
            };
        }
    } else if constexpr (IsTEvent<V>::value) {
        if constexpr (HasTypeInfo<V>) p.PropType = TTypeInfoOf<V>::Get();
        else p.PropType = MethodTypeInfo(typeid(typename V::Signature));
        p.GetMeth = [get](const TObject& o) -> TMethod { return CallGet<C>(get, o).Method(); };
        if constexpr (hasSet) {
            p.SetMeth = [get](TObject& o, const TMethod& m) {
                // Events are data members: write through the same member.
                C& obj = static_cast<C&>(o);
                if constexpr (std::is_member_object_pointer_v<G>) (obj.*get).SetMethod(m);
                else static_assert(std::is_member_object_pointer_v<G>, "an event is a TEvent data member");
            };
        }
    } else {
        static_assert(sizeof(V) == 0, "unsupported published property type");
    }
    return p;
}

template <class T, class R, class... A>
void TPropertyTable::Method(std::string_view name, R (T::*method)(A...))
{
    using Sig = R(A...);
    auto m = std::make_unique<TPublishedMethod>();
    m->Name = AnsiString(name);
    m->Signature = &typeid(Sig);
    m->Code = MemberCode(method);
    const AnsiString methodName(name);
    const auto code = m->Code;
    m->Bind = [method, methodName, code](TObject* obj) {
        T* target = static_cast<T*>(obj);
        return TMethod::Make<Sig>(obj, code,
            [target, method](A... args) -> R { return (target->*method)(std::forward<A>(args)...); },
            methodName);
    };
    FMethods.push_back(std::move(m));
}

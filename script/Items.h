// Items.h - everything a script can name.
//
// A variable, constant, type entry, parameter, script procedure, member of a
// host class (property, method, event, owned component) and the host class
// itself all share TscCustomVariable, whose GetValue/SetValue are the whole
// run-time protocol: reading a name is GetValue, assigning is SetValue,
// calling a function is setting its parameters and reading its value.
//
// Objects: a member applied to an object receives the value of the step
// before it (ParentValue). That value must be a live handle of an object of the
// member's class; nil, a destroyed object, a number that was never a handle or
// an object of another class raises EScriptError (SNilObject, SInvalidObject,
// SNotAnObject) before anything is touched. Host callbacks therefore always get
// a live object of the class they registered the member on.
//
// Host calls are cheap to repeat. A member remembers the object its last call resolved,
// with the handle and the count of handle deaths at that moment (Handles.h): the same
// handle while no object with a handle has died since is the same live object of the
// class already checked, so a loop over one object resolves it once. A published
// property finds its property record once per class of object and keeps the object and
// the record together, checked in one test (Ready); an Integer read and an Integer or
// Int64 write take a short path of their own (and a designator Obj.Prop keeps what the
// member found, Designator.h). A member makes its
// upper-cased name once, and a method fills the argument array kept from its last call in
// place (Items.cpp, TKeptParams) rather than making one per call.
//
// Ownership: a script's table owns its items, an item its parameters, a class
// its members, a procedure its local script. RefItem, ParentRef, Script and
// ClassRef are never owned.
#pragma once

#include "script/TypeRules.h"

#include "platform/classes/Handles.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Variant.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

class TscScript;
class TscCustomEvent;
class TComponent;

// Host callbacks. Names arrive upper-cased. Instance is nullptr for global
// functions and class-level calls.
using TscGetValueEvent = std::function<Variant(TObject* Instance, TClass ClassType, const AnsiString& PropName)>;
using TscSetValueEvent =
    std::function<void(TObject* Instance, TClass ClassType, const AnsiString& PropName, const Variant& Value)>;
using TscCallMethodEvent =
    std::function<Variant(TObject* Instance, TClass ClassType, const AnsiString& MethodName, Variant& Params)>;
// Makes the adapter that lets a script procedure handle an event of Instance.
using TscEventClass = std::function<std::unique_ptr<TscCustomEvent>(TObject* Instance, class TscProcVariable* Handler)>;

// An owned list of objects; the base of items and statements.
class TscItemList : public TObject {
public:
    TscItemList() = default;
    ~TscItemList() override;
    virtual void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    void Add(std::unique_ptr<TObject> item);
    // Unlinks without freeing; the caller owns it afterwards.
    std::unique_ptr<TObject> Remove(TObject* item);
    TObject* Get(int i) const { return FItems[i].get(); }

private:
    std::vector<std::unique_ptr<TObject>> FItems;
};

class TscParamItem;

class TscCustomVariable : public TscItemList {
public:
    TscCustomVariable(const AnsiString& name, TscVarType varType, const AnsiString& typeName);

    const TObject* RegisteredBy = nullptr; // identity only, never dereferenced
    bool IsMacro = false;
    bool ReadOnly = false;
    AnsiString Name;
    bool NeedResult = true;
    TscCustomVariable* RefItem = nullptr;
    TscVarType VarType;
    AnsiString TypeName;
    Variant Value = Null();

    virtual void SetValue(const Variant& value);
    virtual Variant GetValue();

    // Parameters are the item's own list.
    int ParamCount() const { return Count(); }
    TscParamItem* GetParam(int i) const;
    void AddParam(std::unique_ptr<TscParamItem> param);
    Variant* GetPValue() { return &Value; }
    AnsiString GetFullTypeName() const;
    int GetNumberOfRequiredParams() const;
};

// Stores value into target as a variable of varType holds it: an Integer
// given to a Double becomes a floating value, and anything given to a String or
// Char becomes its text, as a String variable keeps it (a number passed through a
// Variant then joins with + as text instead of being summed). Every other target
// takes the value as it is.
void StoreAsFloat(Variant& target, const Variant& value);
void StoreAsText(Variant& target, const Variant& value);
// A plain variable or parameter of this type keeps what it is given, as it stands; a
// Double or a text one converts it (fast stores into one go through its SetValue).
inline bool KeepsAsGiven(TscVarType varType)
{
    return varType != fvtFloat && varType != fvtString && varType != fvtChar;
}
inline bool TakesText(TscVarType varType, const Variant& value)
{
    return (varType == fvtString || varType == fvtChar) && value.VType() != varString;
}
inline void StoreAsDeclared(Variant& target, TscVarType varType, const Variant& value)
{
    if (varType == fvtFloat)
        StoreAsFloat(target, value);
    else if (TakesText(varType, value)) [[unlikely]]
        StoreAsText(target, value);
    else
        target = value;
}
// The same, taking over a value that is not needed afterwards (no copy of a text).
inline void StoreAsDeclared(Variant& target, TscVarType varType, Variant&& value)
{
    if (varType == fvtFloat)
        StoreAsFloat(target, value);
    else if (TakesText(varType, value)) [[unlikely]]
        StoreAsText(target, value);
    else
        target = std::move(value);
}

// A script or host variable; a value stored into it takes its declared type.
class TscVariable : public TscCustomVariable {
public:
    using TscCustomVariable::TscCustomVariable;
    void SetValue(const Variant& value) override;
};

class TscTypeVariable : public TscCustomVariable {
public:
    using TscCustomVariable::TscCustomVariable;
};

// A String or Char variable. Its text is a string Variant shared with every value read
// from it, so reading a long text (Length(s), Copy(s, i, 1), t := s) costs no copy of it;
// a change in place copies it first only while a value read from it still shares it.
//
// Lending: given to a var parameter of a script routine, the variable lends its text to the
// parameter for the call (Lend, made by the call; Designator.cpp). The two still share one
// text, and the variable's own value is its first LentLength bytes: the parameter may append
// to the text in place (AppendLent), which the variable does not see. The first read, change
// or store of the variable ends the loan (EndLoan): the text is cut back to its own bytes
// (copied only while the parameter still holds it). So Add(s, t) appending to its var
// parameter costs no copy of s per call, while s itself reads as it did before the call, as
// the call's failure leaves it, and as the write back at the call's end sets it.
// Invariant: while lent, nothing changes the shared text but appends, since no other change
// in place happens to a text the variable shares (Variant::AppendUnshared, UnsharedStr).
class TscStringVariable : public TscVariable {
public:
    using TscVariable::TscVariable;
    const AnsiString& Text() const
    {
        EndLoan();
        return *FText.StrPtr();
    }
    AnsiString& MutableText();
    void SetValue(const Variant& value) override;
    // Lets go of the text for a call that changes taker, a var parameter just given this
    // variable's value, where it lies (TscMethodHelper::ChangesVarInPlace): the variable
    // reads empty until the call's write back; false, with nothing changed, when taker does
    // not hold the variable's text.
    bool HandOver(const Variant& taker);
    Variant GetValue() override
    {
        EndLoan();
        return FText;
    }

    // Lends the text to borrowed, a var parameter just given this variable's value; false,
    // with nothing lent, when borrowed does not hold the variable's text.
    bool Lend(const Variant& borrowed);
    // Appends tail in place to borrowed when it and this variable alone share the lent text;
    // false, with nothing changed, otherwise.
    bool AppendLent(Variant& borrowed, std::string_view tail);
    void EndLoan() const
    {
        if (FLentLength != kNotLent) [[unlikely]]
            TakeBackText();
    }

private:
    static constexpr size_t kNotLent = static_cast<size_t>(-1);
    void TakeBackText() const;
    // Mutable: ending a loan changes how the text is held, never the value read.
    mutable Variant FText = Variant(AnsiString());  // always varString
    mutable size_t FLentLength = kNotLent;
};

class TscParamItem final : public TscCustomVariable {
public:
    TscParamItem(const AnsiString& name, TscVarType varType, const AnsiString& typeName, bool isOptional,
                 bool isVarParam);
    Variant DefValue = Null();
    bool IsOptional;
    bool IsVarParam;
    // A parameter of a script procedure converts what it is given to its
    // declared type, as a variable does; a host function's parameter keeps the
    // value as passed.
    bool TakesDeclaredType = false;
    // A routine declared inside this parameter's routine may read it after the call has
    // returned: it names the parameter, or it has been hooked up to an event (it runs when
    // the event comes, and a host may evaluate any name of its scope then). It reads the
    // value the last call left, so that value is kept (LetGoOfParameters).
    bool ReadAfterCall = false;
    void SetValue(const Variant& value) override;
    // SetValue of a value that is not needed afterwards: an argument passed to a call.
    void Pass(Variant&& value)
    {
        if (ReadOnly)
            return;
        if (TakesDeclaredType)
            StoreAsDeclared(Value, VarType, std::move(value));
        else
            Value = std::move(value);
    }
    // A var parameter's String variable argument while the call runs (see TscStringVariable).
    TscStringVariable* Lender = nullptr;
    // Appends tail to a text Value in place when no other value shares it, or only the
    // variable that lent it; false, with nothing changed, otherwise.
    bool AppendInPlace(std::string_view tail)
    {
        return Value.AppendUnshared(tail) || (Lender && Lender->AppendLent(Value, tail));
    }
};

inline TscParamItem* TscCustomVariable::GetParam(int i) const
{
    return static_cast<TscParamItem*>(Get(i));
}

// A script procedure or function. Its body and locals live in LocalScript.
//
// Locals and parameters stay in their items, where hosts read and write them by
// name while the routine runs; a recursive call therefore saves the caller's
// values aside (Frame lists what to save) and puts them back when it ends.
class TscProcVariable final : public TscCustomVariable {
public:
    TscProcVariable(const AnsiString& name, TscVarType varType, const AnsiString& typeName,
                    TscScript* parentScript, bool isFunc);
    ~TscProcVariable() override;

    bool Executing = false;
    bool IsFunc;
    TscScript* LocalScript() const { return FLocalScript.get(); }

    // What a recursive call of the procedure saves and puts back: the variables and
    // parameters of LocalScript in table order, found once (again when the table
    // changes). Values are kept in the item's Value, Strings as the item's text.
    // Nested: a routine is declared inside this one, and may read its parameters by name
    // whenever it runs.
    struct FrameLayout {
        std::vector<TscCustomVariable*> Values;
        std::vector<TscStringVariable*> Strings;
        bool Nested = false;
    };
    // (Defined in Script.h, where the size of the local table is known.)
    inline const FrameLayout& Frame();

    // Adds a parameter to the list and, by name, to the local table.
    void AddProcParam(std::unique_ptr<TscParamItem> param);
    // Calls the procedure with the parameters as they stand.
    Variant GetValue() override { return Call(); }
    Variant Call();
    // Call's body, inline for the call path of a designator (defined in Script.h): the
    // depth checks (SCallTooDeep), Executing, the routine's scope as its main script's
    // CurrentScope, its flags cleared before the body and after, however it ends.
    inline Variant CallInPlace();
    // The first script up LocalScript's parents that is a main script (nullptr when none),
    // found again only after a link of the scope tree has changed (TscScopeLink). (Defined
    // in Script.h.)
    inline TscScript* MainScript();

    // Compact calls (CompactCall.h): a routine whose body is number code only runs its
    // calls through a shorter path, found on its first call, once the whole program is
    // resolved. True when this call may take it: the routine is such a one and no run-line
    // hook is set anywhere.
    // (Defined in Script.h.)
    inline bool RunsCompact();
    const class TscCompactBody* CompactBody() const { return FCompactBody.get(); }
    // The value a call gives once the body has run, as CallInPlace gives it.
    Variant ResultValue()
    {
        if (!IsFunc || !RefItem)
            return Null();
        return RefItem == FResult ? FResult->Value : RefItem->GetValue();
    }
    // Raises SCallTooDeep when another call would pass the depth limit or the stack's end.
    [[gnu::always_inline]] inline void CheckCallDepth() const;

private:
    friend class TscCompactBody;
    enum class CompactState : uint8_t { Unknown, Looking, Compact, General };
    void FindCompactBody();
    CompactState FCompactState = CompactState::Unknown;
    std::unique_ptr<class TscCompactBody> FCompactBody;
    void MakeFrame();
    TscScript* FindMainScript();
    [[noreturn]] void RaiseCallTooDeep() const;

    std::unique_ptr<TscScript> FLocalScript;
    TscCustomVariable* FResult = nullptr; // the Result variable made with the function
    FrameLayout FFrame;
    int FFrameTableSize = -1; // LocalScript's item count when FFrame was made
    TscScript* FMain = nullptr;
    uint64_t FMainVersion = 0; // script_detail::gScopeVersion when FMain was found
};

// What TscProcVariable::Call keeps around the body of a call, held by a host that
// evaluates a routine's body its own way (a report's one-line expression functions): the
// depth limit (SCallTooDeep, raised by the constructor), Executing, the routine's scope as
// its main script's CurrentScope, and its flags cleared before the body and after.
class TscCallFrame {
public:
    explicit TscCallFrame(TscProcVariable* proc);
    ~TscCallFrame();
    TscCallFrame(const TscCallFrame&) = delete;
    TscCallFrame& operator=(const TscCallFrame&) = delete;

private:
    TscProcVariable* FProc;
    TscScript* FMain = nullptr;
    TscScript* FSavedScope = nullptr;
    uint64_t FMainSerial = 0;
    uint64_t FDeaths = 0; // script_detail::gScriptDeaths when FMain was found
    bool FWasExecuting;
};

namespace script_detail {
// Nested script calls allowed before a runaway recursion is stopped; the
// stack a script runs on has room for them (Stack.h), and a shorter stack
// stops them earlier with the same error.
inline constexpr int kMaxCallDepth = 150000;
extern int gCallDepth;
} // namespace script_detail

class TscCustomExpression : public TscCustomVariable {
public:
    using TscCustomVariable::TscCustomVariable;
};

// A member that needs the value it is applied to.
class TscCustomHelper : public TscCustomVariable {
public:
    using TscCustomVariable::TscCustomVariable;
    TscCustomVariable* ParentRef = nullptr;
    Variant ParentValue = Null();
    TscScript* Script = nullptr;

    static bool SameBytes(const AnsiString& a, const AnsiString& b);

protected:
    // The name upper-cased as host callbacks receive it, made again only when Name changes;
    // with an accessor (".GET" or ".SET") the name an indexed property's host receives.
    const AnsiString& UpperName()
    {
        if (!FUpperMade || !SameBytes(FUpperOf, Name))
            MakeUpperName();
        return FUpperName;
    }
    const AnsiString& UpperName(const char* accessor)
    {
        UpperName();
        return accessor[1] == 'G' ? FUpperGet : FUpperSet;
    }
    // The object behind ParentValue, checked against cls as ResolveInstance does (Name in
    // the errors). The object found is remembered with its handle: the next call on the
    // same handle takes it again while no object with a handle has died since (Handles.h),
    // which is the same object, alive and of the class checked.
    TObject* Instance(TClass cls, bool allowNone)
    {
        if (FInstanceObject && ParentValue.VType() == varInteger && ParentValue.RawInteger() == FInstanceHandle &&
            cls == FInstanceClass && HandleDeaths() == FInstanceDeaths)
            return FInstanceObject;
        return ResolveInstanceAgain(cls, allowNone);
    }

private:
    void MakeUpperName();
    TObject* ResolveInstanceAgain(TClass cls, bool allowNone);
    AnsiString FUpperName, FUpperOf, FUpperGet, FUpperSet;
    bool FUpperMade = false;
    int32_t FInstanceHandle = 0;
    TClass FInstanceClass = nullptr;
    TObject* FInstanceObject = nullptr;
    uint64_t FInstanceDeaths = 0;
};

// Equal texts: names are short, and this runs on every host call, so no call of memcmp.
// Eight bytes at a time, the last eight overlapping the ones before; a name of four to
// eight bytes is its first four and its last four, a shorter one its first, middle and last byte.
inline bool TscCustomHelper::SameBytes(const AnsiString& a, const AnsiString& b)
{
    const size_t n = a.size();
    if (n != b.size())
        return false;
    const char* x = a.data();
    const char* y = b.data();
    const auto same8 = [&](size_t i) {
        uint64_t p, q;
        std::memcpy(&p, x + i, 8);
        std::memcpy(&q, y + i, 8);
        return p == q;
    };
    const auto same4 = [&](size_t i) {
        uint32_t p, q;
        std::memcpy(&p, x + i, 4);
        std::memcpy(&q, y + i, 4);
        return p == q;
    };
    if (n >= 8) {
        for (size_t i = 0; i + 8 < n; i += 8)
            if (!same8(i))
                return false;
        return same8(n - 8);
    }
    if (n >= 4)
        return same4(0) && same4(n - 4);
    // Up to three bytes: the first, the middle and the last are all of them.
    return n == 0 || (x[0] == y[0] && x[n / 2] == y[n / 2] && x[n - 1] == y[n - 1]);
}

class TscPropertyHelper : public TscCustomHelper {
public:
    using TscCustomHelper::TscCustomHelper;
    TClass ClassRef = nullptr;
    bool IsPublished = false;
    TscGetValueEvent OnGetValue;
    TscSetValueEvent OnSetValue;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
    // GetValue's value when it is an Integer, enumeration or set of a published property
    // found by the last call (Ready); false, with nothing read, otherwise.
    bool ReadInteger(int32_t& r)
    {
        TObject* obj;
        const TPropInfo* p;
        if (!Ready(obj, p) || !p->Readable || VarType == fvtBool)
            return false;
        const TTypeKind kind = p->Kind();
        if (kind != tkInteger && kind != tkEnumeration && kind != tkSet)
            return false;
        r = static_cast<int>(GetOrdProp(obj, p));
        return true;
    }

    // SetValue of an Integer or Int64 v for a published Integer or Int64 property found by
    // the last call (Ready); false, with nothing written, otherwise.
    bool WriteInteger(int64_t v)
    {
        TObject* obj;
        const TPropInfo* p;
        if (ReadOnly || !Ready(obj, p) || !p->Writable || VarType == fvtBool)
            return false;
        const TTypeKind kind = p->Kind();
        if (kind != tkInteger && kind != tkInt64)
            return false;
        if (kind == tkInteger && (v < INT32_MIN || v > INT32_MAX))
            return false;  // SetValue raises the Variant's overflow
        SetOrdProp(obj, p, v);
        return true;
    }

    // The object and the published property record the last call found, while they stand
    // (Ready); false otherwise.
    bool Found(TObject*& obj, const TPropInfo*& p) const { return Ready(obj, p); }
    int32_t FoundHandle() const { return FReadyHandle; }
    uint64_t FoundDeaths() const { return FReadyDeaths; }

private:
    // The published property Name of obj's class, found by name once per class (a class's
    // properties are fixed once it is built). The same object as last time, while no object
    // with a handle has died, is of the same class: it is not asked for its class again.
    const TPropInfo* PropInfoOf(const TObject* obj)
    {
        if (obj == FPropObject && HandleDeaths() == FPropDeaths && SameBytes(FPropOf, Name))
            return FPropInfo;
        return FindPropInfo(obj);
    }
    const TPropInfo* FindPropInfo(const TObject* obj);
    // The object and the published property record of the last call, in one test: the same
    // handle while no object with a handle has died since is the same live object of the
    // class checked, and with the same class and name it has the same property.
    [[gnu::always_inline]] bool Ready(TObject*& obj, const TPropInfo*& p) const
    {
        if (!FReadyProp || !IsPublished || ParentValue.VType() != varInteger ||
            ParentValue.RawInteger() != FReadyHandle || HandleDeaths() != FReadyDeaths || ClassRef != FReadyClass ||
            !SameBytes(FPropOf, Name))
            return false;
        obj = FReadyObject;
        p = FReadyProp;
        return true;
    }
    // Instance and PropInfoOf as every call without Ready takes them, remembered for Ready.
    TObject* Resolve(const TPropInfo*& p);
    // GetValue and SetValue of every kind, the object and its property record found.
    [[gnu::noinline]] Variant ReadValue(TObject* obj, const TPropInfo* p);
    [[gnu::noinline]] void WriteValue(TObject* obj, const TPropInfo* p, const Variant& value);
    TClass FPropClass = nullptr;
    AnsiString FPropOf;
    const TPropInfo* FPropInfo = nullptr;
    const TObject* FPropObject = nullptr;
    uint64_t FPropDeaths = 0;
    int32_t FReadyHandle = 0;
    uint64_t FReadyDeaths = 0;
    TClass FReadyClass = nullptr;
    TObject* FReadyObject = nullptr;
    const TPropInfo* FReadyProp = nullptr;
};

class TscMethodHelper : public TscCustomHelper {
public:
    // Parses the declaration (ParseMethodSyntax) against script.
    TscMethodHelper(const AnsiString& syntax, TscCallMethodEvent callEvent, const TscScript* script);
    AnsiString Category;
    TClass ClassRef = nullptr;
    AnsiString Description;
    bool IsIndexMethod = false;
    // A class method may be called on the class itself (TFoo.Version); the
    // host then receives no instance.
    bool IsClassMethod = false;
    TscCallMethodEvent OnCall;
    // The host changes its var parameters where they lie in the argument array (Delete,
    // Insert, SetLength): a variable given to one lets go of its text or array for the call
    // (Designator.cpp), and the value goes into the array whole, so that the host holds it
    // alone and a change at its end copies nothing.
    bool ChangesVarInPlace = false;
    // Optional, for a function outside any class: a call whose arguments are all
    // constants is offered to the host once, when it is compiled. An item returned
    // stands for the call from then on and must read as the call would, each time it
    // runs; nullptr keeps the call.
    std::function<std::unique_ptr<TscCustomVariable>(const std::vector<Variant>& args)> OnBind;
    AnsiString Syntax;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;

private:
    Variant Construct(class TscClassVariable* cls, Variant& params);
    [[gnu::noinline]] Variant CallChangingVarsInPlace(TObject* obj, const AnsiString& name, Variant& params);
    // The argument arrays of the last call and of the last indexed write, for the next one.
    Variant FParams, FSetParams;
};

class TscComponentHelper : public TscCustomHelper {
public:
    explicit TscComponentHelper(TComponent* component);
    // Held as a handle: a component destroyed later reads as a stale object,
    // never as freed memory.
    uint32_t ComponentHandle;
    Variant GetValue() override;
};

class TscEventHelper : public TscCustomHelper {
public:
    TscEventHelper(const AnsiString& name, TscEventClass eventClass);
    TClass ClassRef = nullptr;
    TscEventClass EventClass;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

// A host class. Its one optional parameter lets the class name be used like a
// cast: TFoo(x) gives x unchanged. Read without an argument it gives Null:
// objects are made only by a constructor member, through the class registry.
class TscClassVariable : public TscCustomVariable {
public:
    TscClassVariable(TClass classRef, const AnsiString& ancestorName);

    AnsiString Ancestor;
    TClass ClassRef;
    TscCustomVariable* DefProperty = nullptr;
    TscScript* Script = nullptr;

    TscMethodHelper* AddConstructor(const AnsiString& syntax, TscCallMethodEvent callEvent);
    TscMethodHelper* AddMethod(const AnsiString& syntax, TscCallMethodEvent callEvent);
    // A method that may also be called without an object, on the class name.
    TscMethodHelper* AddClassMethod(const AnsiString& syntax, TscCallMethodEvent callEvent);
    TscEventHelper* AddEvent(const AnsiString& name, TscEventClass eventClass);
    TscPropertyHelper* AddProperty(const AnsiString& name, const AnsiString& typeName, TscGetValueEvent getEvent,
                                   TscSetValueEvent setEvent = nullptr);
    TscMethodHelper* AddIndexProperty(const AnsiString& name, const AnsiString& params, const AnsiString& typeName,
                                      TscCallMethodEvent callEvent, bool readOnly = false);
    TscMethodHelper* AddDefaultProperty(const AnsiString& name, const AnsiString& params,
                                        const AnsiString& typeName, TscCallMethodEvent callEvent,
                                        bool readOnly = false);
    TscComponentHelper* AddComponent(TComponent* component);
    void AddPublishedProperties(TClass classRef);

    // Own members first, then up the ancestor chain; nullptr when none.
    TscCustomVariable* Find(const AnsiString& name) const;
    TscCustomVariable* GetMembers(int i) const;
    int GetMembersCount() const { return FMembers.Count(); }

    Variant GetValue() override;

private:
    template <class T>
    T* Append(std::unique_ptr<T> member);
    TscItemList FMembers;
};

namespace script_detail {
// The object behind a member's ParentValue, checked against cls. Null and
// Empty give nullptr when allowNone, else SNilObject like nil does.
TObject* ResolveInstance(const Variant& value, TClass cls, bool allowNone, const AnsiString& member);
// Called in a catch block around a host callback: the exception now unwinding
// is the host's own and leaves the engine as raised (see TscStatement::Execute).
void NoteHostException();
// Refuses to join two strings past the length cap (scCheckStringLength).
void CheckJoin(const Variant& a, const Variant& b);
// A text a host member gives (a loaded line, a property) is a script string
// like any other: refused past the cap.
const Variant& CheckHostText(const Variant& v);
// Character at (0-based, inside the text) of the text held, read from ref, becomes ch in
// place when ref is a plain variable or parameter that alone holds that text once held lets
// go of it: a loop that changes the characters of a long Variant text one by one must not
// copy the whole text each time. False, with nothing changed, when that cannot be done.
bool SetCharInPlace(TscCustomVariable* ref, Variant& held, size_t at, char ch);
// Runs a host callback; an exception it raises is noted as the host's own.
template <class F>
decltype(auto) CallHost(F&& call)
{
    try {
        return call();
    } catch (...) {
        NoteHostException();
        throw;
    }
}
} // namespace script_detail

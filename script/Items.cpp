// Items.cpp - see Items.h.
#include "script/Items.h"

#include "script/CompactCall.h"
#include "script/GlobalUnit.h"
#include "script/Messages.h"
#include "script/Stack.h"
#include "script/Script.h"

#include "platform/classes/Classes.h"
#include "platform/classes/Handles.h"
#include "platform/rtl/Cp1251.h"

#include <algorithm>
#include <climits>
#include <typeinfo>
#include <utility>

namespace {

using script_detail::gCallDepth;
using script_detail::kMaxCallDepth;

// A Variant array 0..count-1 of Variants (an empty array when count is 0).
Variant MakeParams(int count)
{
    return VarArrayCreate({0, count - 1}, varVariant);
}

// The argument array of a host call. The array of the last call (kept) is used again when
// the host left it of the shape it was made with, else a new one is made; either way Elems
// are its elements, unshared, to fill in place. When the call is over the array goes back
// into kept with its texts, objects and arrays let go first, so that the kept array
// prolongs the life of nothing (a text passed in stays unshared and can grow in place); a
// host that kept a copy of the array keeps its own values (copied on write).
struct TKeptParams {
    // Inline in the call, as are both tests of the array (VarArrayListElems): a host call
    // pays no calls of its own for its argument array.
    [[gnu::always_inline]] TKeptParams(Variant& kept, int count) : Kept(kept), Count(count), Array(std::move(kept))
    {
        if (!VarArrayListElems(Array, count, Elems)) {
            Array = MakeParams(count);
            VarArrayListElems(Array, count, Elems);
        }
    }
    TKeptParams(const TKeptParams&) = delete;
    TKeptParams& operator=(const TKeptParams&) = delete;
    [[gnu::always_inline]] ~TKeptParams()
    {
        try {
            // The host may have changed or replaced the array: look again.
            std::span<Variant> elems;
            if (!VarArrayListElems(Array, Count, elems))
                return;
            for (Variant& v : elems) {
                const TVarType t = v.VType();
                if (t == varString || t == varOleStr || t == varDispatch || t == varUnknown || (t & varArray))
                    v = Variant();
            }
            Kept = std::move(Array);
        } catch (...) {
            // not kept: the next call makes a new array
        }
    }
    Variant& Kept;
    const int Count;
    Variant Array;
    std::span<Variant> Elems;
};

bool HasVarParams(const TscCustomVariable* item)
{
    for (int i = 0; i < item->ParamCount(); ++i)
        if (item->GetParam(i)->IsVarParam)
            return true;
    return false;
}

// Copies back what the host wrote into var parameters, never past the array it returned.
void WriteBackVarParams(TscCustomVariable* item, const Variant& params)
{
    bool any = false;
    for (int i = 0; i < item->ParamCount() && !any; ++i)
        any = item->GetParam(i)->IsVarParam;
    if (!any || !VarIsArray(params) || VarArrayDimCount(params) != 1)
        return;
    const int lo = VarArrayLowBound(params, 1), hi = VarArrayHighBound(params, 1);
    for (int i = 0; i < item->ParamCount(); ++i)
        if (item->GetParam(i)->IsVarParam && lo + i <= hi)
            item->GetParam(i)->SetValue(VarArrayGet(params, {lo + i}));
}

} // namespace

bool script_detail::SetCharInPlace(TscCustomVariable* ref, Variant& held, size_t at, char ch)
{
    // Only items whose Value is what they hold, and that store a text as it comes.
    const std::type_info& kind = typeid(*ref);
    if (ref->ReadOnly || (kind != typeid(TscVariable) && kind != typeid(TscParamItem)))
        return false;
    const AnsiString* text = held.StrPtr();
    if (!text || ref->Value.StrPtr() != text || at >= text->size())
        return false;
    held = Variant();
    if (AnsiString* alone = ref->Value.UnsharedStr()) {
        (*alone)[at] = ch;
        return true;
    }
    held = ref->Value; // the same text, shared with someone else: the caller changes a copy
    return false;
}

TObject* script_detail::ResolveInstance(const Variant& value, TClass cls, bool allowNone, const AnsiString& member)
{
    // The usual case first: the Integer handle of a live object of the class. Anything
    // else takes the full checks below, which give each fault its own error.
    if (value.VType() == varInteger && value.RawInteger() > 0)
        if (TObject* obj = LiveObjectOf(static_cast<uint32_t>(value.RawInteger())))
            if (!cls || obj->InheritsFrom(cls))
                return obj;
    if (VarIsNull(value) || VarIsEmpty(value)) {
        if (allowNone)
            return nullptr;
        scRaise(TscMessageId::SNilObject, member);
    }
    if (!VarIsOrdinal(value) || VarType(value) == varBoolean)
        scRaise(TscMessageId::SNotAnObject, member);
    const int64_t handle = value.AsInt64();
    if (handle == 0)
        scRaise(TscMessageId::SNilObject, member);
    if (handle < 0 || handle > INT32_MAX)
        scRaise(TscMessageId::SInvalidObject, member);
    TObject* obj;
    try {
        obj = ResolveHandle(static_cast<uint32_t>(handle));
    } catch (const EInvalidHandle&) {
        scRaise(TscMessageId::SInvalidObject, member);
    }
    if (cls && !obj->InheritsFrom(cls))
        scRaise(TscMessageId::SWrongClass, obj->ClassName() + " / " + cls->ClassName() + " (" + member + ")");
    return obj;
}

void script_detail::CheckJoin(const Variant& a, const Variant& b)
{
    const AnsiString* x = a.StrPtr();
    const AnsiString* y = b.StrPtr();
    if (x && y)
        scCheckStringLength(static_cast<int64_t>(x->size()) + static_cast<int64_t>(y->size()));
}

const Variant& script_detail::CheckHostText(const Variant& v)
{
    if (const AnsiString* s = v.StrPtr())
        scCheckStringLength(static_cast<int64_t>(s->size()));
    return v;
}

// ---------------------------------------------------------------- TscItemList

TscItemList::~TscItemList()
{
    TscItemList::Clear();
}

void TscItemList::Clear()
{
    // Moved out first, so a destructor that looks at this list finds it empty.
    auto items = std::move(FItems);
    FItems.clear();
    items.clear();
}

void TscItemList::Add(std::unique_ptr<TObject> item)
{
    FItems.push_back(std::move(item));
}

std::unique_ptr<TObject> TscItemList::Remove(TObject* item)
{
    const auto it = std::find_if(FItems.begin(), FItems.end(), [item](const auto& p) { return p.get() == item; });
    if (it == FItems.end())
        return nullptr;
    std::unique_ptr<TObject> owned = std::move(*it);
    FItems.erase(it);
    return owned;
}

// ---------------------------------------------------------------- TscCustomVariable

TscCustomVariable::TscCustomVariable(const AnsiString& name, TscVarType varType, const AnsiString& typeName)
    : Name(name), VarType(varType), TypeName(typeName)
{
}

void TscCustomVariable::SetValue(const Variant& value)
{
    if (!ReadOnly)
        Value = value;
}

Variant TscCustomVariable::GetValue()
{
    return Value;
}

void TscCustomVariable::AddParam(std::unique_ptr<TscParamItem> param)
{
    Add(std::move(param));
}

AnsiString TscCustomVariable::GetFullTypeName() const
{
    switch (VarType) {
    case fvtInt: return "Integer";
    case fvtBool: return "Boolean";
    case fvtFloat: return "Extended";
    case fvtChar: return "Char";
    case fvtString: return "String";
    case fvtClass: return "Class " + TypeName;
    case fvtArray: return "Array";
    case fvtEnum: return TypeName;
    case fvtVariant:
    case fvtConstructor: return "Variant";
    }
    return "Variant";
}

int TscCustomVariable::GetNumberOfRequiredParams() const
{
    int n = 0;
    for (int i = 0; i < ParamCount(); ++i)
        if (!GetParam(i)->IsOptional)
            ++n;
    return n;
}

// ---------------------------------------------------------------- simple items

// A value as a Double variable holds it: an Integer stored into one becomes a
// floating value, so Format('%f') and "/" read it as one.
void StoreAsFloat(Variant& target, const Variant& value)
{
    const TVarType t = value.VType();
    if (t != varDouble && t != varBoolean && VarIsOrdinal(value))
        target = Variant(value.AsDouble());
    else
        target = value;
}

void StoreAsText(Variant& target, const Variant& value)
{
    Variant text(VarToStr(value)); // a failed conversion changes nothing
    target = std::move(text);
}

void TscVariable::SetValue(const Variant& value)
{
    if (!ReadOnly)
        StoreAsDeclared(Value, VarType, value);
}

void TscStringVariable::SetValue(const Variant& value)
{
    // A new value ends a loan without taking anything back.
    FLentLength = kNotLent;
    if (::VarType(value) == varString)
        FText = value;
    else
        FText = Variant(VarToStr(value));
}

AnsiString& TscStringVariable::MutableText()
{
    EndLoan();
    if (AnsiString* text = FText.UnsharedStr())
        return *text;
    FText = Variant(AnsiString(*FText.StrPtr()));
    return *FText.UnsharedStr();
}

bool TscStringVariable::Lend(const Variant& borrowed)
{
    EndLoan();
    if (borrowed.StrPtr() != FText.StrPtr())
        return false;
    FLentLength = FText.StrPtr()->size();
    return true;
}

bool TscStringVariable::HandOver(const Variant& taker)
{
    EndLoan();
    if (taker.StrPtr() != FText.StrPtr())
        return false;
    FText = Variant(AnsiString());
    return true;
}

bool TscStringVariable::AppendLent(Variant& borrowed, std::string_view tail)
{
    if (FLentLength == kNotLent || borrowed.StrPtr() != FText.StrPtr())
        return false;
    // This variable lets go of the text for a moment: borrowed then holds it alone exactly
    // when no one else shares it, and appends in place. Taken again however that ends.
    struct Retake {
        Variant& text;
        const Variant& borrowed;
        ~Retake() { text = borrowed; }
    } retake{FText, borrowed};
    FText = Variant();
    return borrowed.AppendUnshared(tail);
}

void TscStringVariable::TakeBackText() const
{
    const size_t own = FLentLength;
    FLentLength = kNotLent;
    const AnsiString& text = *FText.StrPtr();
    if (text.size() == own)
        return; // nothing was appended: the text is still all this variable's
    if (AnsiString* alone = FText.UnsharedStr())
        alone->resize(own);
    else
        FText = Variant(AnsiString(text, 0, own));
}

TscParamItem::TscParamItem(const AnsiString& name, TscVarType varType, const AnsiString& typeName,
                           bool isOptional, bool isVarParam)
    : TscCustomVariable(name, varType, typeName), IsOptional(isOptional), IsVarParam(isVarParam)
{
}

void TscParamItem::SetValue(const Variant& value)
{
    if (ReadOnly)
        return;
    if (TakesDeclaredType)
        StoreAsDeclared(Value, VarType, value);
    else
        Value = value;
}

// ---------------------------------------------------------------- TscProcVariable

TscProcVariable::TscProcVariable(const AnsiString& name, TscVarType varType, const AnsiString& typeName,
                                 TscScript* parentScript, bool isFunc)
    : TscCustomVariable(name, varType, typeName), IsFunc(isFunc), FLocalScript(std::make_unique<TscScript>(nullptr))
{
    ReadOnly = true;
    FLocalScript->Parent = parentScript;
    if (isFunc)
        RefItem = FResult = FLocalScript->Add("Result", std::make_unique<TscVariable>("Result", varType, typeName));
}

TscProcVariable::~TscProcVariable()
{
    // The parameters belong to the parameter list; the local table only names them.
    for (int i = 0; i < ParamCount(); ++i) {
        std::unique_ptr<TscCustomVariable> none = FLocalScript->Remove(GetParam(i)); // a link owns nothing
    }
}

TscScript* TscProcVariable::FindMainScript()
{
    // Parent chains are short; a longer one is a loop someone made by mistake.
    constexpr int kMaxScopeDepth = 4096;
    TscScript* main = FLocalScript.get();
    for (int depth = 0; main && !main->IsMainScript; main = main->Parent)
        if (++depth > kMaxScopeDepth) {
            main = nullptr;
            break;
        }
    FMain = main;
    FMainVersion = script_detail::gScopeVersion;
    return main;
}

void TscProcVariable::MakeFrame()
{
    FFrame.Values.clear();
    FFrame.Strings.clear();
    FFrame.Nested = false;
    for (int i = 0; i < FLocalScript->Count(); ++i) {
        TscCustomVariable* item = FLocalScript->GetItem(i);
        if (auto* s = dynamic_cast<TscStringVariable*>(item))
            FFrame.Strings.push_back(s);
        else if (dynamic_cast<TscVariable*>(item) || dynamic_cast<TscParamItem*>(item))
            FFrame.Values.push_back(item);
        else if (dynamic_cast<TscProcVariable*>(item))
            FFrame.Nested = true;
    }
    FFrameTableSize = FLocalScript->Count();
}

void TscProcVariable::AddProcParam(std::unique_ptr<TscParamItem> param)
{
    TscParamItem* p = param.get();
    AddParam(std::move(param));
    FLocalScript->AddLink(p->Name, p);
}

int script_detail::gCallDepth = 0;

Variant TscProcVariable::Call()
{
    return CallInPlace();
}

void TscProcVariable::RaiseCallTooDeep() const
{
    scRaise(TscMessageId::SCallTooDeep, Name);
}

// In step with TscProcVariable::CallInPlace (Script.h).
TscCallFrame::TscCallFrame(TscProcVariable* proc) : FProc(proc), FWasExecuting(proc->Executing)
{
    if (gCallDepth >= kMaxCallDepth || scStackNearEnd())
        scRaise(TscMessageId::SCallTooDeep, proc->Name);
    proc->Executing = true;
    ++gCallDepth;
    FMain = proc->MainScript();
    if (FMain) {
        FSavedScope = FMain->CurrentScope;
        FMainSerial = FMain->Serial();
        FDeaths = script_detail::gScriptDeaths;
        FMain->CurrentScope = proc->LocalScript();
    }
    proc->LocalScript()->BreakRequested = false;
    proc->LocalScript()->ContinueRequested = false;
    proc->LocalScript()->ExitRequested = false;
    proc->LocalScript()->Terminated = false;
}

TscCallFrame::~TscCallFrame()
{
    FProc->LocalScript()->BreakRequested = false;
    FProc->LocalScript()->ContinueRequested = false;
    FProc->LocalScript()->ExitRequested = false;
    FProc->LocalScript()->Terminated = false;
    if (FMain && (FDeaths == script_detail::gScriptDeaths || script_detail::ScriptAlive(FMain, FMainSerial)))
        FMain->CurrentScope = FSavedScope;
    FProc->Executing = FWasExecuting;
    --gCallDepth;
}

// ---------------------------------------------------------------- helpers

void TscCustomHelper::MakeUpperName()
{
    FUpperOf = Name;
    FUpperName = AnsiUpperCase(Name);
    FUpperGet = FUpperName + ".GET";
    FUpperSet = FUpperName + ".SET";
    FUpperMade = true;
}

TObject* TscCustomHelper::ResolveInstanceAgain(TClass cls, bool allowNone)
{
    TObject* obj = script_detail::ResolveInstance(ParentValue, cls, allowNone, Name);
    FInstanceObject = nullptr;
    if (obj && ParentValue.VType() == varInteger) {
        FInstanceHandle = ParentValue.RawInteger();
        FInstanceClass = cls;
        FInstanceDeaths = HandleDeaths();
        FInstanceObject = obj;
    }
    return obj;
}

// ---------------------------------------------------------------- TscPropertyHelper

const TPropInfo* TscPropertyHelper::FindPropInfo(const TObject* obj)
{
    const TClass c = obj->ClassType();
    if (c != FPropClass || !SameBytes(FPropOf, Name)) {
        FPropInfo = GetPropInfo(obj, Name);
        FPropClass = c;
        FPropOf = Name;
    }
    // obj came from a handle: another object at its address means a death in between.
    FPropObject = obj;
    FPropDeaths = HandleDeaths();
    return FPropInfo;
}

TObject* TscPropertyHelper::Resolve(const TPropInfo*& p)
{
    TObject* obj = Instance(ClassRef, false);
    p = nullptr;
    FReadyProp = nullptr;
    if (!IsPublished)
        return obj;
    p = PropInfoOf(obj);
    if (p && obj && ParentValue.VType() == varInteger) {
        FReadyHandle = ParentValue.RawInteger();
        FReadyDeaths = HandleDeaths();
        FReadyClass = ClassRef;
        FReadyObject = obj;
        FReadyProp = p;
    }
    return obj;
}

Variant TscPropertyHelper::GetValue()
{
    TObject* obj;
    const TPropInfo* p;
    const bool ready = Ready(obj, p);
    // The commonest read, an Integer, enumeration or set, on its own short path.
    if (ready && p->Readable && VarType != fvtBool) {
        const TTypeKind kind = p->Kind();
        if (kind == tkInteger || kind == tkEnumeration || kind == tkSet)
            return Variant(static_cast<int>(GetOrdProp(obj, p)));
    }
    if (!ready)
        obj = Resolve(p);
    return ReadValue(obj, p);
}

Variant TscPropertyHelper::ReadValue(TObject* obj, const TPropInfo* p)
{
    Variant r = Null();
    if (IsPublished) {
        if (p && p->Readable) {
            switch (p->Kind()) {
            case tkInteger:
            case tkEnumeration:
            case tkSet:
                r = Variant(static_cast<int>(GetOrdProp(obj, p)));
                break;
            case tkInt64:
                r = Variant(static_cast<long long>(GetOrdProp(obj, p)));
                break;
            case tkClass:
                r = ObjectToVariant(GetObjectProp(obj, p));
                break;
            case tkFloat:
                r = Variant(static_cast<double>(GetFloatProp(obj, p)));
                break;
            case tkString:
            case tkLString:
            case tkWString:
                r = Variant(GetStrProp(obj, p));
                break;
            case tkChar:
            case tkWChar:
                r = Variant(AnsiString(1, static_cast<char>(GetOrdProp(obj, p))));
                break;
            case tkVariant:
                r = GetVariantProp(obj, p);
                break;
            default:
                break;
            }
        }
    } else if (OnGetValue) {
        r = script_detail::CallHost([&] { return OnGetValue(obj, ClassRef, UpperName()); });
    }
    if (VarType == fvtBool)
        r = Variant(!(VarIsNull(r) || VarIsEmpty(r) || r == Variant(0)));
    script_detail::CheckHostText(r);
    return r;
}

void TscPropertyHelper::SetValue(const Variant& value)
{
    if (ReadOnly)
        return;
    TObject* obj;
    const TPropInfo* p;
    const bool ready = Ready(obj, p);
    // The commonest write, an Integer or Int64 given to an Integer or Int64 property.
    if (ready && p->Writable && VarType != fvtBool && (p->Kind() == tkInteger || p->Kind() == tkInt64)) {
        if (value.VType() == varInteger)
            return SetOrdProp(obj, p, value.RawInteger());
        if (value.VType() == varInt64 && p->Kind() == tkInt64)
            return SetOrdProp(obj, p, value.RawInt64());
    }
    if (!ready)
        obj = Resolve(p);
    WriteValue(obj, p, value);
}

void TscPropertyHelper::WriteValue(TObject* obj, const TPropInfo* p, const Variant& value)
{
    if (!IsPublished) {
        // A set constructor the compiler could not see the target of (late binding).
        const bool toMask = VarIsArray(value) && (VarType == fvtEnum || VarType == fvtInt);
        if (OnSetValue)
            script_detail::CallHost([&] {
                OnSetValue(obj, ClassRef, UpperName(), toMask ? Variant(scSetToMask(value)) : value);
            });
        return;
    }
    if (!p || !p->Writable)
        return;
    switch (p->Kind()) {
    case tkInteger:
    case tkEnumeration:
    case tkSet:
    case tkInt64:
        if (VarType == fvtBool)
            SetOrdProp(obj, p, value.AsBoolean() ? 1 : 0);
        else
            // An Integer property takes only what 32 bits hold: a wider value raises the
            // Variant's overflow rather than being cut to its low bits.
            SetOrdProp(obj, p,
                       p->Kind() == tkSet            ? scSetToMask(value)
                       : p->Kind() == tkInt64        ? value.AsInt64()
                       : value.VType() == varInteger ? value.RawInteger()
                       : p->PropType == TypeInfoCardinal() ? VarAsType(value, varLongWord).AsInt64()
                                                     : value.AsInteger());
        break;
    case tkClass:
        SetObjectProp(obj, p,
                      script_detail::ResolveInstance(VarIsOrdinal(value) && value.AsInt64() == 0 ? Null() : value,
                                                     p->PropType->ClassType, true, Name));
        break;
    case tkFloat:
        SetFloatProp(obj, p, value.AsDouble());
        break;
    case tkString:
    case tkLString:
    case tkWString:
        SetStrProp(obj, p, VarToStr(value));
        break;
    case tkChar:
    case tkWChar: {
        const AnsiString text = VarToStr(value);
        SetOrdProp(obj, p, text.empty() ? 0 : static_cast<unsigned char>(text[0]));
        break;
    }
    case tkVariant:
        SetVariantProp(obj, p, value);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- TscMethodHelper

TscMethodHelper::TscMethodHelper(const AnsiString& syntax, TscCallMethodEvent callEvent, const TscScript* script)
    : TscCustomHelper(AnsiString(), fvtVariant, AnsiString()), OnCall(std::move(callEvent)), Syntax(syntax)
{
    std::unique_ptr<TscCustomVariable> parsed = ParseMethodSyntax(syntax, script);
    Name = parsed->Name;
    VarType = parsed->VarType;
    TypeName = parsed->TypeName;
    IsMacro = parsed->IsMacro;
    while (parsed->ParamCount() > 0) {
        std::unique_ptr<TObject> p = parsed->Remove(parsed->GetParam(0));
        AddParam(std::unique_ptr<TscParamItem>(static_cast<TscParamItem*>(p.release())));
    }
    ReadOnly = true;
}

Variant TscMethodHelper::GetValue()
{
    if (!OnCall)
        return Variant(0);
    const int count = ParamCount();
    TKeptParams params(FParams, count);
    for (int i = 0; i < count; ++i) {
        TscParamItem* p = GetParam(i);
        if (ChangesVarInPlace && p->IsVarParam)
            params.Elems[static_cast<size_t>(i)] = std::move(p->Value); // back after the call
        else
            params.Elems[static_cast<size_t>(i)] = p->Value;
    }

    if (VarType == fvtConstructor && (VarIsNull(ParentValue) || VarIsEmpty(ParentValue)))
        if (auto* cls = dynamic_cast<TscClassVariable*>(ParentRef))
            return Construct(cls, params.Array);

    // Members of a class need a live object of it; global functions get none,
    // and so does a class method called on the class name.
    TObject* obj =
        ClassRef ? Instance(ClassRef, IsClassMethod) : nullptr;
    const AnsiString& name = IsIndexMethod ? UpperName(".GET") : UpperName();
    // The host's value is made straight into r, without a move from a temporary.
    Variant r = ChangesVarInPlace ? CallChangingVarsInPlace(obj, name, params.Array)
                                  : script_detail::CallHost([&] { return OnCall(obj, ClassRef, name, params.Array); });
    if (HasVarParams(this))
        WriteBackVarParams(this, params.Array);
    script_detail::CheckHostText(r);
    return r;
}

Variant TscMethodHelper::CallChangingVarsInPlace(TObject* obj, const AnsiString& name, Variant& params)
{
    try {
        return script_detail::CallHost([&] { return OnCall(obj, ClassRef, name, params); });
    } catch (...) {
        WriteBackVarParams(this, params); // what was handed over, for the variable
        throw;
    }
}

Variant TscMethodHelper::Construct(TscClassVariable* cls, Variant& params)
{
    const TClass c = cls->ClassRef;
    if (!c || c->IsAbstract() || c->Kind() == TMetaClass::FactoryKind::CollectionItem)
        scRaise(TscMessageId::SAbstractClass, cls->Name);
    // The object is made whole by the class registry; the host's constructor
    // member then finishes it (an owner, a file name ...).
    std::unique_ptr<TObject> obj = c->NewInstance();
    script_detail::CallHost([&] { return OnCall(obj.get(), ClassRef, UpperName(), params); });
    WriteBackVarParams(this, params);
    // From here the object lives until the script frees it, or its owner does.
    return ObjectToVariant(obj.release());
}

void TscMethodHelper::SetValue(const Variant& value)
{
    if (!OnCall || !IsIndexMethod)
        return;
    TObject* obj = ClassRef ? Instance(ClassRef, false) : nullptr;
    const int count = ParamCount();
    TKeptParams params(FSetParams, count + 1);
    for (int i = 0; i < count; ++i)
        params.Elems[static_cast<size_t>(i)] = GetParam(i)->Value;
    params.Elems[static_cast<size_t>(count)] = value;
    const AnsiString& name = UpperName(".SET");
    script_detail::CallHost([&] { return OnCall(obj, ClassRef, name, params.Array); });
}

// ---------------------------------------------------------------- components and events

TscComponentHelper::TscComponentHelper(TComponent* component)
    : TscCustomHelper(component->Name(), fvtClass, component->ClassName()),
      ComponentHandle(HandleOf(component))
{
}

Variant TscComponentHelper::GetValue()
{
    return Variant(static_cast<int>(ComponentHandle));
}

TscEventHelper::TscEventHelper(const AnsiString& name, TscEventClass eventClass)
    : TscCustomHelper(name, fvtString, AnsiString()), EventClass(std::move(eventClass))
{
}

namespace {

// A handler declared inside routines runs whenever its event comes, long after their calls
// have returned, and may read their parameters then: by name, or through a host evaluating
// a name in its scope. Their values stay from now on (TscParamItem::ReadAfterCall). The walk
// ends at the program, whose table holds no parameters.
void KeepParametersAround(const TscProcVariable* handler)
{
    constexpr int kMaxScopeDepth = 4096;
    const TscScript* global = scGlobalUnit();
    int depth = 0;
    for (TscScript* s = handler->LocalScript()->Parent; s && !s->IsMainScript && s != global && depth < kMaxScopeDepth;
         s = s->Parent, ++depth)
        for (int i = 0; i < s->Count(); ++i)
            if (auto* p = dynamic_cast<TscParamItem*>(s->GetItem(i)))
                p->ReadAfterCall = true;
}

} // namespace

Variant TscEventHelper::GetValue()
{
    return Variant(AnsiString());
}

void TscEventHelper::SetValue(const Variant& value)
{
    TObject* obj = Instance(ClassRef, false);
    const TPropInfo* prop = GetPropInfo(obj, Name);
    if (!prop || prop->Kind() != tkMethod)
        return;
    const AnsiString text = VarToStr(value);
    if (text == "0") {
        SetMethodProp(obj, prop, TMethod());
        return;
    }
    auto* handler = dynamic_cast<TscProcVariable*>(Script ? Script->Find(text) : nullptr);
    if (!handler || !EventClass)
        scRaise(TscMessageId::SEventError);
    KeepParametersAround(handler);
    std::unique_ptr<TscCustomEvent> adapter = EventClass(obj, handler);
    const TMethod method = adapter->GetMethod();
    TscEventList* list = scEventList();
    if (!list)
        scRaise(TscMessageId::SEventError);
    list->Add(std::move(adapter));
    SetMethodProp(obj, prop, method);
}

// ---------------------------------------------------------------- TscClassVariable

TscClassVariable::TscClassVariable(TClass classRef, const AnsiString& ancestorName)
    : TscCustomVariable(classRef ? classRef->ClassName() : AnsiString(), fvtClass,
                        classRef ? classRef->ClassName() : AnsiString()),
      Ancestor(ancestorName), ClassRef(classRef)
{
    AddPublishedProperties(classRef);
    AddParam(std::make_unique<TscParamItem>(AnsiString(), fvtVariant, AnsiString(), true, false));
}

template <class T>
T* TscClassVariable::Append(std::unique_ptr<T> member)
{
    T* raw = member.get();
    FMembers.Add(std::move(member));
    return raw;
}

TscMethodHelper* TscClassVariable::AddConstructor(const AnsiString& syntax, TscCallMethodEvent callEvent)
{
    const auto blank = syntax.find(' ');
    const AnsiString rest = blank == AnsiString::npos ? AnsiString(" ") + syntax : syntax.substr(blank);
    TscMethodHelper* m = AddMethod("function" + rest + ": Constructor", std::move(callEvent));
    m->VarType = fvtConstructor; // even where the type name Constructor is not in scope
    return m;
}

TscMethodHelper* TscClassVariable::AddMethod(const AnsiString& syntax, TscCallMethodEvent callEvent)
{
    auto m = std::make_unique<TscMethodHelper>(syntax, std::move(callEvent), Script);
    m->ClassRef = ClassRef;
    return Append(std::move(m));
}

TscMethodHelper* TscClassVariable::AddClassMethod(const AnsiString& syntax, TscCallMethodEvent callEvent)
{
    TscMethodHelper* m = AddMethod(syntax, std::move(callEvent));
    if (m)
        m->IsClassMethod = true;
    return m;
}

TscEventHelper* TscClassVariable::AddEvent(const AnsiString& name, TscEventClass eventClass)
{
    auto e = std::make_unique<TscEventHelper>(name, std::move(eventClass));
    e->ClassRef = ClassRef;
    return Append(std::move(e));
}

TscPropertyHelper* TscClassVariable::AddProperty(const AnsiString& name, const AnsiString& typeName,
                                                 TscGetValueEvent getEvent, TscSetValueEvent setEvent)
{
    auto p = std::make_unique<TscPropertyHelper>(name, StrToVarType(typeName, Script), typeName);
    p->ClassRef = ClassRef;
    p->ReadOnly = !setEvent;
    p->OnGetValue = std::move(getEvent);
    p->OnSetValue = std::move(setEvent);
    return Append(std::move(p));
}

TscMethodHelper* TscClassVariable::AddIndexProperty(const AnsiString& name, const AnsiString& params,
                                                    const AnsiString& typeName, TscCallMethodEvent callEvent,
                                                    bool readOnly)
{
    AnsiString list;
    int i = 0;
    size_t start = 0;
    while (start <= params.size()) {
        const auto comma = params.find(',', start);
        const AnsiString type = Trim(params.substr(start, comma == AnsiString::npos ? AnsiString::npos : comma - start));
        if (!type.empty())
            list += "p" + std::to_string(i++) + ": " + type + "; ";
        if (comma == AnsiString::npos)
            break;
        start = comma + 1;
    }
    if (!list.empty())
        list.resize(list.size() - 2);
    TscMethodHelper* m = AddMethod("function " + name + "(" + list + "): " + typeName, std::move(callEvent));
    m->ReadOnly = readOnly;
    m->IsIndexMethod = true;
    return m;
}

TscMethodHelper* TscClassVariable::AddDefaultProperty(const AnsiString& name, const AnsiString& params,
                                                      const AnsiString& typeName, TscCallMethodEvent callEvent,
                                                      bool readOnly)
{
    TscMethodHelper* m = AddIndexProperty(name, params, typeName, std::move(callEvent), readOnly);
    DefProperty = m;
    return m;
}

TscComponentHelper* TscClassVariable::AddComponent(TComponent* component)
{
    return Append(std::make_unique<TscComponentHelper>(component));
}

void TscClassVariable::AddPublishedProperties(TClass classRef)
{
    if (!classRef)
        return;
    for (const TPropInfo* p : GetPropList(classRef, tkProperties)) {
        TscVarType t = fvtVariant;
        AnsiString typeName = p->PropType->Name;
        switch (p->Kind()) {
        case tkInteger:
            t = fvtInt;
            break;
        case tkInt64:
            // Computed in 64 bits, as the same property read late-bound is.
            t = fvtVariant;
            break;
        case tkEnumeration:
            t = AnsiSameText(typeName, "Boolean") ? fvtBool : fvtEnum;
            break;
        case tkSet:
            t = fvtEnum;
            break;
        case tkFloat:
            t = fvtFloat;
            break;
        case tkChar:
        case tkWChar:
            t = fvtChar;
            break;
        case tkString:
        case tkLString:
        case tkWString:
            t = fvtString;
            break;
        case tkClass:
            t = fvtClass;
            if (p->PropType->ClassType)
                typeName = p->PropType->ClassType->ClassName();
            break;
        default:
            t = fvtVariant;
            break;
        }
        auto helper = std::make_unique<TscPropertyHelper>(p->Name, t, typeName);
        helper->IsPublished = true;
        helper->ClassRef = classRef;
        helper->ReadOnly = !p->Writable;
        Append(std::move(helper));
    }
}

TscCustomVariable* TscClassVariable::Find(const AnsiString& name) const
{
    const TscClassVariable* cls = this;
    // The ancestor chain is made of names; a loop in it must not hang the lookup.
    for (int depth = 0; cls && depth < 256; ++depth) {
        for (int i = 0; i < cls->FMembers.Count(); ++i) {
            auto* m = static_cast<TscCustomVariable*>(cls->FMembers.Get(i));
            if (AnsiSameText(m->Name, name))
                return m;
        }
        if (cls->Ancestor.empty() || !cls->Script)
            return nullptr;
        cls = cls->Script->FindClass(cls->Ancestor);
    }
    return nullptr;
}

TscCustomVariable* TscClassVariable::GetMembers(int i) const
{
    return static_cast<TscCustomVariable*>(FMembers.Get(i));
}

Variant TscClassVariable::GetValue()
{
    TscParamItem* p = GetParam(0);
    Variant r = p->Value;
    p->Value = Null();
    return r;
}

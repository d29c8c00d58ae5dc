// BindingsCommon.cpp - see BindingsCommon.h.
#include "script/bindings/BindingsCommon.h"

#include "script/Messages.h"
#include "script/XmlDocument.h"

#include "platform/gui/Forms.h"
#include "platform/rtl/FlatMap.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <vector>

namespace script_bindings {

namespace {

// Handles of the objects scripts constructed, in one sorted array: handles rise in
// the order objects get them, so a new one goes at the end and the array is also the
// order they were made. One a script freed keeps its place, marked, until a sweep.
constexpr uint32_t kFreedMark = 0x80000000u; // handles stay below it
std::vector<uint32_t> gScriptMade;
size_t gScriptMadeSweepAt = 1024;
std::vector<std::unique_ptr<TComponent>> gPendingFrees;    // taken away, destroyed from the event loop
bool gFlushPosted = false;
int gEventDepth = 0;

// The place of handle h in gScriptMade, or nullptr.
uint32_t* ScriptMadeEntry(uint32_t h)
{
    if (!h)
        return nullptr;
    const auto it = std::lower_bound(gScriptMade.begin(), gScriptMade.end(), h,
                                     [](uint32_t entry, uint32_t key) { return (entry & ~kFreedMark) < key; });
    return it != gScriptMade.end() && (*it & ~kFreedMark) == h ? &*it : nullptr;
}

bool IsNilValue(const Variant& v)
{
    return VarIsNull(v) || VarIsEmpty(v) || (VarIsOrdinal(v) && VarType(v) != varBoolean && v.AsInt64() == 0);
}

// Releases the adapters bound to a component and to everything it owns.
void FreeEventsOf(TObject* obj)
{
    TscEventList* list = scEventList();
    if (!list)
        return;
    if (list->Count() == 0)
        return;
    list->FreeObjectEvents(obj);
    // Last made first: their adapters are the newest, so the list shrinks from its end.
    if (auto* c = dynamic_cast<TComponent*>(obj))
        for (int i = c->ComponentCount(); i-- > 0;)
            FreeEventsOf(c->Components(i));
}

bool MayFree(TObject* obj)
{
    if (Application && (obj == Application || obj == Screen))
        return false;
    if (IsScriptMade(obj))
        return true;
    if (auto* c = dynamic_cast<TComponent*>(obj))
        return c->Owner() != nullptr;
    if (dynamic_cast<TCollectionItem*>(obj))
        return true; // its destructor leaves the collection
    if (auto* x = dynamic_cast<TscXMLItem*>(obj))
        return x->Parent() != nullptr; // leaves its parent; a root belongs to its document
    return false;
}

void PostFlush()
{
    if (gFlushPosted || !Application)
        return;
    gFlushPosted = true;
    Application->PostCall([] {
        gFlushPosted = false;
        FlushPendingFrees();
    });
}

} // namespace

// ---------------------------------------------------------------- arguments

Variant Arg(const Variant& params, int i)
{
    if (!VarIsArray(params))
        return Null();
    const int lo = VarArrayLowBound(params, 1), hi = VarArrayHighBound(params, 1);
    if (lo + i > hi)
        return Null();
    return VarArrayGet(params, {lo + i});
}

void SetArg(Variant& params, int i, const Variant& value)
{
    if (!VarIsArray(params))
        return;
    const int lo = VarArrayLowBound(params, 1), hi = VarArrayHighBound(params, 1);
    if (lo + i <= hi)
        VarArrayPut(params, value, {lo + i});
}

int IntArg(const Variant& params, int i)
{
    return Arg(params, i).AsInteger();
}

int64_t Int64Arg(const Variant& params, int i)
{
    return Arg(params, i).AsInt64();
}

bool BoolArg(const Variant& params, int i)
{
    return Arg(params, i).AsBoolean();
}

AnsiString StrArg(const Variant& params, int i)
{
    return VarToStr(Arg(params, i));
}

int64_t SetArg(const Variant& params, int i)
{
    const Variant v = Arg(params, i);
    if (!VarIsArray(v))
        return v.AsInt64();
    int64_t bits = 0;
    for (int k = VarArrayLowBound(v, 1); k <= VarArrayHighBound(v, 1); ++k)
        bits |= VarArrayGet(v, {k}).AsInt64();
    return bits;
}

TObject* ObjValue(const Variant& value, TClass cls, const AnsiString& what, bool allowNil)
{
    if (allowNil && IsNilValue(value))
        return nullptr;
    return script_detail::ResolveInstance(value, cls, false, what);
}

TObject* ObjArg(const Variant& params, int i, TClass cls, const AnsiString& what, bool allowNil)
{
    return ObjValue(Arg(params, i), cls, what, allowNil);
}

Variant ObjOut(const TObject* obj)
{
    return ObjectToVariant(obj);
}

void RememberStored(const TObject* obj)
{
    TraceAddress(obj);
}

Variant StoredObject(const TObject* obj)
{
    if (!obj)
        return Variant(0);
    // A stored object that died since: the script gets a clean error on use. Once
    // another object is born at its address, the pointer names that one.
    if (const uint32_t dead = DeadHandleAt(obj))
        return Variant(static_cast<int>(dead));
    return ObjectToVariant(obj);
}

// ---------------------------------------------------------------- lifetime

void MarkScriptMade(TObject* obj)
{
    // Objects freed with their owner leave dead handles behind, and freed ones
    // their marks: drop both whenever the array has doubled since the last sweep,
    // so it stays as large as what is alive.
    if (gScriptMade.size() >= gScriptMadeSweepAt) {
        std::erase_if(gScriptMade, [](uint32_t h) { return (h & kFreedMark) || !IsLiveHandle(h); });
        gScriptMadeSweepAt = std::max<size_t>(1024, 2 * gScriptMade.size());
    }
    const uint32_t h = HandleOf(obj);
    if (uint32_t* entry = ScriptMadeEntry(h)) {
        *entry = h;
        return;
    }
    // A fresh handle is the highest yet; anything else keeps the order.
    const auto at = std::lower_bound(gScriptMade.begin(), gScriptMade.end(), h,
                                     [](uint32_t entry, uint32_t key) { return (entry & ~kFreedMark) < key; });
    gScriptMade.insert(at, h);
}

bool TakeIfFresh(TObject* obj)
{
    // An object that has no handle yet was never handed out: it is new.
    const bool fresh = obj && ExistingHandleOf(obj) == 0;
    if (fresh)
        MarkScriptMade(obj);
    return fresh;
}

bool IsScriptMade(const TObject* obj)
{
    const uint32_t* entry = ScriptMadeEntry(ExistingHandleOf(obj));
    return entry && !(*entry & kFreedMark);
}

void FreeObject(TObject* obj)
{
    if (!obj)
        return;
    if (!MayFree(obj))
        throw EInvalidOperation(Format(kNotOwned, {obj->ClassName()}));
    FreeEventsOf(obj);
    if (uint32_t* entry = ScriptMadeEntry(ExistingHandleOf(obj)))
        *entry |= kFreedMark;
    // Its address trace stays: a list may still hold the pointer, and must give back
    // the dead handle, not look at freed memory.

    auto* control = dynamic_cast<TControl*>(obj);
    if (control && gEventDepth > 0) {
        // Code of the control (or of a control on the form) may be on the stack under
        // the running handler: take it away now, destroy it when the loop is back.
        THandleTable::Forget(obj);
        if (auto* form = dynamic_cast<TCustomForm*>(control); form && Application) {
            if (form->GetVisible())
                form->Hide();
            form->Release();
            return;
        }
        control->SetParent(nullptr);
        if (TComponent* owner = control->Owner())
            owner->RemoveComponent(control);
        gPendingFrees.emplace_back(control);
        PostFlush();
        return;
    }
    delete obj;
}

void FlushPendingFrees()
{
    auto pending = std::move(gPendingFrees);
    gPendingFrees.clear();
    while (!pending.empty())
        pending.pop_back(); // last taken away, first destroyed
}

void FreeScriptOrphans()
{
    FlushPendingFrees();
    const std::vector<uint32_t> order = gScriptMade;
    // Last made, first freed; what has an owner now goes with its owner.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const uint32_t* entry = ScriptMadeEntry(*it & ~kFreedMark);
        if (!entry || (*entry & kFreedMark) || !IsLiveHandle(*entry))
            continue;
        TObject* obj = ResolveHandle(*entry);
        if (auto* c = dynamic_cast<TComponent*>(obj); c && c->Owner())
            continue;
        if (auto* x = dynamic_cast<TscXMLItem*>(obj); x && x->Parent())
            continue;
        FreeEventsOf(obj);
        delete obj;
    }
    gScriptMade.clear();
    gScriptMadeSweepAt = 1024;
    ClearAddressTraces();
}

int EventDepth()
{
    return gEventDepth;
}

TDispatchScope::TDispatchScope()
{
    ++gEventDepth;
}

TDispatchScope::~TDispatchScope()
{
    --gEventDepth;
}

// ---------------------------------------------------------------- registrars

TBindingRegistrar::~TBindingRegistrar()
{
    if (TscScript* unit = GlobalUnitDestroyed() ? nullptr : scGlobalUnit())
        unit->RemoveItems(this);
}

TscClassVariable& TBindingRegistrar::Class(TscScript& unit, TClass cls, const AnsiString& ancestor)
{
    TscClassVariable* c = unit.AddClass(cls, ancestor);
    if (!c)
        throw EInvalidOperation("Class " + cls->ClassName() + " is registered twice in the script bindings");
    return *c;
}

} // namespace script_bindings

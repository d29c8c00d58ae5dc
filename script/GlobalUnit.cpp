// GlobalUnit.cpp - see GlobalUnit.h.
#include "script/GlobalUnit.h"

#include "script/EngineGlobals.h"
#include "script/Functions.h"
#include "script/Grammars.h"
#include "script/ILParser.h"
#include "script/Messages.h"

#include "platform/classes/Handles.h"

#include <utility>

namespace {

// A plain flag, outside the owner: it stays readable while other files' statics are freed.
bool gGlobalUnitDestroyed = false;

void FillGlobalUnit(TscScript& u)
{
    struct TypeEntry {
        const char* name;
        TscVarType type;
    };
    static const TypeEntry kTypes[] = {
        {"Byte", fvtInt},       {"Word", fvtInt},       {"Integer", fvtInt},   {"Longint", fvtInt},
        {"Cardinal", fvtInt},   {"TColor", fvtInt},     {"Boolean", fvtBool},  {"Real", fvtFloat},
        {"Single", fvtFloat},   {"Double", fvtFloat},   {"Extended", fvtFloat}, {"Currency", fvtFloat},
        {"TDate", fvtFloat},    {"TTime", fvtFloat},    {"TDateTime", fvtFloat}, {"Char", fvtChar},
        {"String", fvtString},  {"Variant", fvtVariant}, {"Pointer", fvtVariant}, {"Array", fvtArray},
        {"Constructor", fvtConstructor},
        // A 64-bit whole number (a stream's Size and Position, an Int64 member): held and
        // computed as a Variant, which keeps all 64 bits, where Integer arithmetic stops at 32.
        {"Int64", fvtVariant},
    };
    for (const TypeEntry& t : kTypes)
        u.AddType(t.name, t.type);
    u.AddConst("True", "Boolean", Variant(true));
    u.AddConst("False", "Boolean", Variant(false));
    u.AddConst("nil", "Variant", Variant(0));
    u.AddConst("Null", "Variant", Null());
}

} // namespace

// ---------------------------------------------------------------- helpers

TscArrayHelper::TscArrayHelper(const AnsiString& name, int dimCount, TscVarType varType, const AnsiString& typeName)
    : TscCustomHelper(name, varType, typeName), FDimCount(dimCount)
{
    const int count = dimCount == -1 ? 3 : dimCount;
    for (int i = 0; i < count; ++i)
        AddParam(std::make_unique<TscParamItem>(AnsiString(), fvtInt, "Integer", dimCount == -1 && i > 0, false));
}

namespace {

// The indexes of helper, checked against array's bounds; false when the helper does not
// index this array (not an array, or more than three dimensions). A declared array's
// helper has one index per declared dimension: given an array of another shape (the
// variable was assigned one), its indexes do not name one element, and using some of
// them, or none, would read or write the wrong element, or drop the write unseen.
bool ElementIndexes(const TscCustomVariable* helper, int declaredDims, const Variant& array, int (&index)[3],
                    int& dims)
{
    if (!VarIsArray(array))
        return false;
    dims = VarArrayDimCount(array);
    if (dims < 1 || dims > 3)
        return false;
    if (declaredDims != -1 && declaredDims != dims)
        scRaise(declaredDims < dims ? TscMessageId::SNotEnoughParams : TscMessageId::STooManyParams);
    for (int d = 0; d < dims; ++d) {
        index[d] = helper->GetParam(d)->Value.AsInteger();
        const int lo = VarArrayLowBound(array, d + 1), hi = VarArrayHighBound(array, d + 1);
        if (index[d] < lo || index[d] > hi)
            scRaiseIndex(TscMessageId::SArrayIndex, index[d], lo, hi);
    }
    return true;
}

} // namespace

Variant TscArrayHelper::GetValue()
{
    // Read without writing access: an array shared with another holder is not copied
    // for a read.
    const Variant* array = ParentRef ? ParentRef->GetPValue() : nullptr;
    int index[3], dims;
    if (!array || !ElementIndexes(this, FDimCount, *array, index, dims))
        return Null();
    return array->Elem(std::span<const int>(index, static_cast<size_t>(dims)));
}

void TscArrayHelper::SetValue(const Variant& value)
{
    // The array as the step before read it goes first: a second holder would make the
    // write copy the whole array.
    ParentValue = Variant();
    Variant* array = ParentRef ? ParentRef->GetPValue() : nullptr;
    int index[3], dims;
    // A declared array variable that holds no array reads Null, but a write into it
    // would be lost without a word.
    if (FDimCount != -1 && (!array || !VarIsArray(*array)))
        scRaise(TscMessageId::SArrayRequired);
    if (!array || !ElementIndexes(this, FDimCount, *array, index, dims))
        return;
    // An element takes the array's element type, as a variable of it would; an
    // array made with an element type of its own (VarArrayCreate) holds only
    // values of that type, converted before anything is stored.
    const TVarType typed = static_cast<TVarType>(array->VType() & varTypeMask);
    const std::span<const int> at(index, static_cast<size_t>(dims));
    if (typed != varVariant) {
        Variant converted = VarAsType(value, typed); // a failed conversion changes nothing
        array->Elem(at) = std::move(converted);
    } else {
        StoreAsDeclared(array->Elem(at), VarType, value);
    }
}

TscStringHelper::TscStringHelper() : TscCustomHelper("__StringHelper", fvtChar, AnsiString())
{
    AddParam(std::make_unique<TscParamItem>(AnsiString(), fvtInt, "Integer", false, false));
}

namespace {

int CheckedStringIndex(const TscCustomVariable* helper, std::string_view s)
{
    const int64_t i = helper->GetParam(0)->Value.AsInt64();
    if (i < 1 || i > static_cast<int64_t>(s.size()))
        scRaiseIndex(TscMessageId::SStringIndex, i, 1, static_cast<int64_t>(s.size()));
    return static_cast<int>(i);
}

} // namespace

Variant TscStringHelper::GetValue()
{
    // A text is read where it lies: a loop over the characters of a long text must not
    // copy the whole text for each one.
    if (const AnsiString* text = ParentValue.StrPtr())
        return Variant(AnsiString(1, (*text)[static_cast<size_t>(CheckedStringIndex(this, *text) - 1)]));
    const AnsiString s = VarToStr(ParentValue);
    return Variant(AnsiString(1, s[static_cast<size_t>(CheckedStringIndex(this, s) - 1)]));
}

void TscStringHelper::SetValue(const Variant& value)
{
    const AnsiString text = VarToStr(value);
    const char ch = text.empty() ? '\0' : text[0];
    if (const AnsiString* held = ParentValue.StrPtr()) {
        const auto at = static_cast<size_t>(CheckedStringIndex(this, *held) - 1);
        if (ParentRef && script_detail::SetCharInPlace(ParentRef, ParentValue, at, ch))
            return;
    }
    AnsiString s = VarToStr(ParentValue);
    const int i = CheckedStringIndex(this, s);
    s[static_cast<size_t>(i) - 1] = ch;
    if (ParentRef)
        ParentRef->SetValue(Variant(std::move(s)));
}

// ---------------------------------------------------------------- events

void TscCustomEvent::CallHandler(std::span<const TVarRec> params)
{
    if (!Handler || Handler->Executing)
        return; // an event raised by its own handler is ignored
    const size_t n = std::min(params.size(), static_cast<size_t>(Handler->ParamCount()));
    for (size_t i = 0; i < n; ++i)
        Handler->GetParam(static_cast<int>(i))->SetValue(VarRecToVariant(params[i]));
    Handler->GetValue();
}

TscEventList::~TscEventList()
{
    Clear();
}

uint32_t& TscEventList::NewestOf(uint32_t instance)
{
    return instance ? FNewest[instance] : FNewestOfNone;
}

void TscEventList::Add(std::unique_ptr<TObject> adapter)
{
    const auto* event = dynamic_cast<const TscCustomEvent*>(adapter.get());
    const uint32_t instance = event ? HandleOf(event->Instance) : 0;
    FEntries.push_back({std::move(adapter), instance, 0});
    uint32_t& newest = NewestOf(instance);
    FEntries.back().Older = newest;
    newest = static_cast<uint32_t>(FEntries.size());
    ++FLive;
}

TObject* TscEventList::Get(int i) const
{
    if (i < 0 || i >= FLive)
        return nullptr;
    for (const TEntry& e : FEntries)
        if (e.Adapter && i-- == 0)
            return e.Adapter.get();
    return nullptr;
}

void TscEventList::FreeObjectEvents(const TObject* instance)
{
    uint32_t next = 0;
    if (instance) {
        const uint32_t h = ExistingHandleOf(instance);
        const uint32_t* newest = FNewest.Find(h);
        if (!newest)
            return;
        next = *newest;
        FNewest.Erase(h);
    } else {
        next = std::exchange(FNewestOfNone, 0);
    }
    // Unlinked first, destroyed after: nothing a destructor does sees a half-changed
    // list. Most objects have one handler, which needs no list of its own.
    std::unique_ptr<TObject> newestGoing;
    std::vector<std::unique_ptr<TObject>> olderGoing;
    for (; next; next = FEntries[next - 1].Older) {
        std::unique_ptr<TObject>& a = FEntries[next - 1].Adapter;
        if (!a)
            continue;
        if (!newestGoing)
            newestGoing = std::move(a);
        else
            olderGoing.push_back(std::move(a));
        --FLive;
    }
    // Objects usually go in the reverse order they got handlers: their records
    // are the last ones, and the array shrinks from its end.
    while (!FEntries.empty() && !FEntries.back().Adapter)
        FEntries.pop_back();
    if (FEntries.size() > 64 && static_cast<size_t>(FLive) * 2 < FEntries.size())
        Compact();
    newestGoing.reset(); // last made, first freed
    for (std::unique_ptr<TObject>& a : olderGoing)
        a.reset();
}

void TscEventList::Compact()
{
    std::erase_if(FEntries, [](const TEntry& e) { return !e.Adapter; });
    FNewest.Clear();
    FNewestOfNone = 0;
    for (uint32_t i = 0; i < FEntries.size(); ++i) {
        uint32_t& newest = NewestOf(FEntries[i].Instance);
        FEntries[i].Older = newest;
        newest = i + 1;
    }
}

void TscEventList::Clear()
{
    auto entries = std::move(FEntries);
    FEntries.clear();
    FNewest.Clear();
    FNewestOfNone = 0;
    FLive = 0;
    // Last made, first freed.
    while (!entries.empty())
        entries.pop_back();
}

// ---------------------------------------------------------------- singletons

script_detail::TEngineGlobals::TEngineGlobals()
{
    // The language list is a static of its own file: made before this owner, it is
    // freed after it, so Teardown may still reset it at exit.
    CreateLanguageList();
}

script_detail::TEngineGlobals::~TEngineGlobals()
{
    Teardown();
}

void script_detail::TEngineGlobals::Teardown()
{
    FunctionsUsers = 0;
    Functions.reset();
    EventList.reset();
    GlobalUnit.reset();
    DestroyLanguageList();
    gGlobalUnitDestroyed = true;
}

script_detail::TEngineGlobals& script_detail::EngineGlobals()
{
    static TEngineGlobals globals;
    return globals;
}

TscScript* scGlobalUnit()
{
    if (gGlobalUnitDestroyed)
        return nullptr;
    auto& g = script_detail::EngineGlobals();
    if (!g.GlobalUnit) {
        g.GlobalUnit = std::make_unique<TscScript>(nullptr);
        FillGlobalUnit(*g.GlobalUnit);
    }
    return g.GlobalUnit.get();
}

TscEventList* scEventList()
{
    if (gGlobalUnitDestroyed)
        return nullptr;
    auto& g = script_detail::EngineGlobals();
    if (!g.EventList)
        g.EventList = std::make_unique<TscEventList>();
    return g.EventList.get();
}

bool GlobalUnitDestroyed()
{
    return gGlobalUnitDestroyed;
}

void ScriptEngineStartup()
{
    gGlobalUnitDestroyed = false;
    script_detail::CreateLanguageList();
    scGlobalUnit();
    scEventList();
    // The four languages and the compiler that reads them.
    scRegisterGrammars();
    scInstallCompiler();
    // The built-in functions come after the grammars and before the class bindings.
    scFunctionsStartup();
}

void ScriptEngineShutdown()
{
    // In reverse, in the order EngineGlobals.h writes down.
    script_detail::EngineGlobals().Teardown();
}

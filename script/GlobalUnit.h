// GlobalUnit.h - array and string helpers, script events, and the global unit.
//
// scGlobalUnit is the root scope of every host script: built-in types and
// constants, and whatever the function library and the class bindings register
// into it. It and the list of event adapters exist between ScriptEngineStartup
// and ScriptEngineShutdown, which main() and test fixtures call explicitly;
// nothing depends on static initialisation order. After shutdown scGlobalUnit
// returns nullptr until the next start-up. One owner holds these objects and frees
// them in a written-down order (EngineGlobals.h), also at exit without a shutdown.
//
// Indexes are checked: a string index outside 1..length or an array index
// outside the array's bounds raises EScriptError (SStringIndex, SArrayIndex).
#pragma once

#include "script/Script.h"

#include "platform/rtl/FlatMap.h"
#include "platform/rtl/SysUtils.h"

#include <map>
#include <span>
#include <unordered_map>
#include <vector>

// Element accessor of Variant arrays (1 to 3 dimensions); the array is the
// stored value of ParentRef, read and written in place: a read never copies
// the array, and a write copies it only when another variable shares it.
class TscArrayHelper : public TscCustomHelper {
public:
    // dimCount -1: one required and two optional Integer indexes.
    TscArrayHelper(const AnsiString& name, int dimCount, TscVarType varType, const AnsiString& typeName);
    Variant GetValue() override;
    void SetValue(const Variant& value) override;

private:
    int FDimCount; // -1 for the helper that indexes any Variant array
};

// Character accessor of strings that are not plain string variables; a write
// stores the whole changed string back into ParentRef.
class TscStringHelper : public TscCustomHelper {
public:
    TscStringHelper();
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

// Base of the adapters that let a script procedure handle a host event.
class TscCustomEvent : public TObject {
public:
    TscCustomEvent(TObject* instance, TscProcVariable* handler) : Handler(handler), Instance(instance) {}
    TscProcVariable* Handler;
    TObject* Instance;
    // The closure to install in the event property.
    virtual TMethod GetMethod() = 0;
    // Sets the handler's parameters from params (as many as both have) and runs
    // it; does nothing while the handler is already running.
    void CallHandler(std::span<const TVarRec> params);
};

// The adapters of every script handler installed in a host event, in the
// order they were made, found by the object they belong to: freeing an
// object (or a form with thousands of controls) drops its adapters without
// walking everyone else's. One record per adapter in one array, chained per
// object by index: installing a handler costs the adapter and nothing else.
class TscEventList : public TObject {
public:
    TscEventList() = default;
    ~TscEventList() override;
    TscEventList(const TscEventList&) = delete;
    TscEventList& operator=(const TscEventList&) = delete;

    void Add(std::unique_ptr<TObject> adapter);
    int Count() const { return FLive; }
    TObject* Get(int i) const; // in the order added
    void FreeObjectEvents(const TObject* instance);
    void Clear();

private:
    struct TEntry {
        std::unique_ptr<TObject> Adapter; // empty once freed
        uint32_t Instance;                // the object's handle, 0 for none
        uint32_t Older;                   // 1 + index of the object's previous adapter; 0 at its first
    };
    uint32_t& NewestOf(uint32_t instance);
    void Compact();

    // Objects are known by handle: handles are never reused, and those of objects made
    // one after another are neighbours in the table.
    std::vector<TEntry> FEntries;          // in the order added
    TFlatMap<uint32_t, uint32_t> FNewest;  // object's handle -> 1 + index of its newest adapter
    uint32_t FNewestOfNone = 0;            // adapters that belong to no object
    int FLive = 0;
};

// The singletons; nullptr outside start-up .. shutdown.
TscScript* scGlobalUnit();
TscEventList* scEventList();
bool GlobalUnitDestroyed();

// Engine start-up and shutdown, in the order DESIGN.md gives. Start-up creates
// the language list, the global unit with its built-in items and the event
// list; shutdown frees them (with everything still registered) in reverse.
void ScriptEngineStartup();
void ScriptEngineShutdown();

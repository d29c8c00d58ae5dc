// EngineGlobals.h - the one owner of the script engine's process-wide objects (engine use only).
//
// The global unit, the event adapters, the built-in function registrar and the language
// list live here, in one object, so the order they are freed in is written down once
// instead of following the link order of static destructors in different files.
// ScriptEngineShutdown tears them down; a program that returns from main() without it
// gets the same teardown from the owner's destructor:
//   1. the function registrar: it takes its items out of the global unit;
//   2. the event adapters: they name procedures of scripts, so they go while every
//      unit is still whole;
//   3. the global unit, with whatever is still registered in it;
//   4. the language list (grammar texts only, read by nothing above).
#pragma once

#include <memory>

class TscScript;
class TscEventList;
class TFunctions;

namespace script_detail {

struct TEngineGlobals {
    TEngineGlobals();
    ~TEngineGlobals();
    TEngineGlobals(const TEngineGlobals&) = delete;
    TEngineGlobals& operator=(const TEngineGlobals&) = delete;

    // Frees everything in the order above; safe to call again.
    void Teardown();

    std::unique_ptr<TscScript> GlobalUnit;
    std::unique_ptr<TscEventList> EventList;
    std::unique_ptr<TFunctions> Functions;
    int FunctionsUsers = 0;  // scFunctionsStartup / scFunctionsShutdown calls still open
};

TEngineGlobals& EngineGlobals();

} // namespace script_detail

// EngineFixture.h - start-up and shutdown of the engine around each test, and
// the small pieces the item tests build programs from without a compiler.
#pragma once

#include "script/GlobalUnit.h"
#include "script/Messages.h"

#include <gtest/gtest.h>

#include <functional>

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { ScriptEngineStartup(); }
    void TearDown() override { ScriptEngineShutdown(); }
};

// A statement that runs a C++ function: stands in for compiled statements.
class TCallbackStmt : public TscStatement {
public:
    TCallbackStmt(TscScript* script, std::function<void()> fn)
        : TscStatement(script, AnsiString(), "1:1"), FFn(std::move(fn))
    {
    }
    void Execute() override { FFn(); }

private:
    std::function<void()> FFn;
};

// Adds a procedure with the given parameter names whose body is fn; returns it.
inline TscProcVariable* AddProc(TscScript& script, const AnsiString& name, std::vector<AnsiString> params,
                                std::function<void(TscProcVariable*)> body, bool isFunc = false,
                                std::vector<bool> varParams = {})
{
    auto proc = std::make_unique<TscProcVariable>(name, isFunc ? fvtVariant : fvtClass, AnsiString(), &script, isFunc);
    TscProcVariable* p = proc.get();
    for (size_t i = 0; i < params.size(); ++i)
        p->AddProcParam(std::make_unique<TscParamItem>(params[i], fvtVariant, "Variant", false,
                                                       i < varParams.size() && varParams[i]));
    p->LocalScript()->MainStatement()->Add(
        std::make_unique<TCallbackStmt>(p->LocalScript(), [p, body] { body(p); }));
    script.Add(name, std::move(proc));
    return p;
}

// Runs f and returns the id of the EScriptError it raised; fails when it raises none.
template <class F>
TscMessageId ScriptErrorOf(F&& f)
{
    try {
        f();
    } catch (const EScriptError& e) {
        return e.Id();
    }
    ADD_FAILURE() << "no EScriptError raised";
    return TscMessageId::SCompilerMissing;
}

// BindingsFixture.h - the engine with the class bindings, under the gui's test
// driver: a Print procedure collects output, the driver answers modal forms,
// message boxes and prompts, and a host collection ("Panels", three items) is
// there for the collection members, which scripts cannot create.
#pragma once

#include "script/bindings/Bindings.h"
#include "script/GlobalUnit.h"
#include "script/Messages.h"

#include "platform/classes/Classes.h"
#include "platform/gui/testing/TestDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

class BindingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Driver = std::make_unique<TTestDriver>();
        ScriptEngineStartup();
        ScriptBindingsStartup();
        Panels = std::make_unique<TCollection>(TCollectionItem::StaticClass());
        for (int i = 0; i < 3; ++i)
            Panels->Add();
        S = std::make_unique<TscScript>(nullptr);
        S->Parent = scGlobalUnit();
    }
    void TearDown() override
    {
        S.reset();
        ScriptBindingsShutdown();
        ScriptEngineShutdown();
        Panels.reset();
        Driver.reset();
    }

    void RegisterHost(TscScript& s)
    {
        s.AddMethod("procedure Print(Value: Variant)", [this](TObject*, TClass, const AnsiString&, Variant& p) {
            Output.push_back(VarToStr(VarArrayGet(p, {0})));
            return Null();
        });
        s.AddObject("Panels", Panels.get());
    }

    bool Compile(const AnsiString& language, const AnsiString& text)
    {
        S->Clear();
        RegisterHost(*S);
        S->SyntaxType = language;
        S->Lines()->SetText(text);
        return S->Compile();
    }

    // Runs the compiled script as the event loop would; the run-time error that
    // left it, as "line N: message", or "".
    AnsiString Execute()
    {
        AnsiString error;
        Driver->Run([&] {
            try {
                S->Execute();
            } catch (const EScriptRunError& e) {
                error = "line " + std::to_string(e.Line()) + ": " + e.Message();
            } catch (const Exception& e) {
                // A host callback's own exception leaves as raised; the script knows where.
                error = "line " + std::to_string(std::atoi(S->RunErrorPos.c_str())) + ": " + e.Message();
            }
        });
        return error;
    }

    // Compiles and runs; the output lines, then "error ..." when one left the script.
    std::vector<AnsiString> Run(const AnsiString& language, const AnsiString& text)
    {
        Output.clear();
        if (!Compile(language, text))
            return {"compile error " + S->ErrorPos + ": " + S->ErrorText};
        const AnsiString error = Execute();
        if (!error.empty())
            Output.push_back("error " + error);
        return Output;
    }

    std::unique_ptr<TTestDriver> Driver;
    std::unique_ptr<TCollection> Panels;
    std::unique_ptr<TscScript> S;
    std::vector<AnsiString> Output;
};

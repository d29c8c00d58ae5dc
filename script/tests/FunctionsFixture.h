// FunctionsFixture.h - calls built-in routines the way a compiled designator does.
//
// A host script hangs under scGlobalUnit; a routine is found through its scope
// chain, its parameters are set from the arguments (missing optional ones get
// their default values), and its value is read. Var parameters are read back
// from the parameter items afterwards, as the designator copies them to the
// caller's variables.
#pragma once

#include "script/Functions.h"
#include "script/tests/EngineFixture.h"

#include "platform/rtl/SysUtils.h"

#include <memory>
#include <vector>

class FunctionsTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        FSaved = FormatSettings();
        S = std::make_unique<TscScript>(nullptr);
        S->Parent = scGlobalUnit();
    }
    void TearDown() override
    {
        S.reset();
        SetFormatSettings(FSaved);
        EngineTest::TearDown();
    }

    TscMethodHelper* Routine(const AnsiString& name)
    {
        auto* m = dynamic_cast<TscMethodHelper*>(S->Find(name));
        EXPECT_NE(m, nullptr) << name << " is not a registered routine";
        return m;
    }

    // Calls name with args; out receives every parameter's value afterwards.
    Variant Call(const AnsiString& name, const std::vector<Variant>& args, std::vector<Variant>* out = nullptr)
    {
        TscMethodHelper* m = Routine(name);
        if (!m)
            return Variant();
        m->ParentValue = Null();
        for (int i = 0; i < m->ParamCount(); ++i) {
            TscParamItem* p = m->GetParam(i);
            if (static_cast<size_t>(i) < args.size())
                p->SetValue(args[static_cast<size_t>(i)]);
            else
                p->SetValue(p->DefValue);
        }
        Variant r = m->GetValue();
        if (out) {
            out->clear();
            for (int i = 0; i < m->ParamCount(); ++i)
                out->push_back(m->GetParam(i)->GetValue());
        }
        return r;
    }

    std::unique_ptr<TscScript> S;

private:
    TFormatSettings FSaved;
};

// The class name of the exception f raises, or "" when it raises none.
template <class F>
std::string ExceptionClassOf(F&& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.ClassName();
    }
    return "";
}

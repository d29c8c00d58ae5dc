// TscScript: the item table, registration, calls, termination, code lines and
// the global unit's life.
#include "script/tests/EngineFixture.h"
#include "script/Functions.h"
#include "script/ILParser.h"

#include "platform/classes/Handles.h"

namespace {

int gFreed = 0;

class TCountedVariable : public TscVariable {
public:
    using TscVariable::TscVariable;
    ~TCountedVariable() override { ++gFreed; }
};

class ScriptTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        S = std::make_unique<TscScript>(nullptr);
        S->Parent = scGlobalUnit();
    }
    void TearDown() override
    {
        S.reset();
        EngineTest::TearDown();
    }
    std::unique_ptr<TscScript> S;
};

} // namespace

TEST_F(ScriptTest, NewScriptHoldsTheHelperItems)
{
    EXPECT_EQ(S->Count(), 2);
    EXPECT_NE(dynamic_cast<TscStringHelper*>(S->FindLocal("__StringHelper")), nullptr);
    auto* array = dynamic_cast<TscArrayHelper*>(S->FindLocal("__ArrayHelper"));
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->ParamCount(), 3);
    EXPECT_EQ(array->GetNumberOfRequiredParams(), 1);
    EXPECT_EQ(S->SyntaxType, "PascalScript");
}

TEST_F(ScriptTest, DuplicateNameKeepsTheFirstAndFreesTheRejected)
{
    gFreed = 0;
    TscCustomVariable* first = S->Add("x", std::make_unique<TCountedVariable>("x", fvtInt, "Integer"));
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(S->Add("X", std::make_unique<TCountedVariable>("X", fvtInt, "Integer")), nullptr);
    EXPECT_EQ(gFreed, 1);
    EXPECT_EQ(S->FindLocal("x"), first);
    S->Clear();
    EXPECT_EQ(gFreed, 2);
}

TEST_F(ScriptTest, RegistrationRules)
{
    TscCustomVariable* x = S->AddVariable("x", "Integer", Variant(1));
    EXPECT_EQ(S->AddVariable("X", "String", Variant(2)), x); // existing item, value kept
    EXPECT_EQ(x->Value, Variant(1));
    EXPECT_EQ(x->VarType, fvtInt);
    EXPECT_EQ(S->Find("REPORT"), nullptr);
    S->AddVariable("Report", "Variant", Null());
    EXPECT_EQ(S->Find("REPORT"), S->Find("report"));
    TscCustomVariable* c = S->AddConst("Pi2", "Double", Variant(6.28));
    EXPECT_TRUE(c->ReadOnly);
    c->SetValue(Variant(1));
    EXPECT_EQ(c->Value, Variant(6.28));
    EXPECT_EQ(S->AddConst("Integer", "Integer", Variant(5)), scGlobalUnit()->Find("Integer")); // parent scope counts
    EXPECT_EQ(S->FindLocal("Integer"), nullptr);
    EXPECT_NE(S->Find("true"), nullptr);
    EXPECT_EQ(S->Find("TRUE"), scGlobalUnit()->FindLocal("True"));
}

TEST_F(ScriptTest, VariablesByName)
{
    EXPECT_TRUE(VarIsNull(S->GetVariables("n")));
    S->SetVariables("n", Variant(5));
    TscCustomVariable* n = S->FindLocal("n");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->VarType, fvtVariant);
    S->SetVariables("N", Variant(6));
    EXPECT_EQ(S->GetVariables("n"), Variant(6));
}

TEST_F(ScriptTest, EnumerationsAndSets)
{
    S->AddEnum("TAlign", "alNone, alTop,alBottom ");
    S->AddEnumSet("TFontStyles", "fsBold, fsItalic, fsUnderline");
    struct Case { const char* name; int value; const char* type; };
    const Case cases[] = {{"alNone", 0, "TAlign"},  {"alTop", 1, "TAlign"},        {"alBottom", 2, "TAlign"},
                          {"fsBold", 1, "TFontStyles"}, {"fsItalic", 2, "TFontStyles"}, {"fsUnderline", 4, "TFontStyles"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TscCustomVariable* v = S->FindLocal(c.name);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->Value, Variant(c.value));
        EXPECT_EQ(v->VarType, fvtEnum);
        EXPECT_EQ(v->TypeName, c.type);
        EXPECT_TRUE(v->ReadOnly);
    }
    EXPECT_EQ(S->FindLocal("TAlign")->VarType, fvtEnum);
}

TEST_F(ScriptTest, ObjectsAndClasses)
{
    TComponent owner(nullptr);
    TscCustomVariable* v = S->AddObject("Owner1", &owner);
    EXPECT_EQ(v->VarType, fvtClass);
    EXPECT_EQ(v->TypeName, "TComponent");
    EXPECT_EQ(v->Value, ObjectToVariant(&owner));
    TscClassVariable* cls = S->AddClass(TComponent::StaticClass(), "TPersistent");
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls->Script, S.get());
    EXPECT_EQ(S->AddClass(TComponent::StaticClass(), "TPersistent"), nullptr); // known already
    EXPECT_EQ(S->FindClass("tcomponent"), cls);
    EXPECT_EQ(S->FindClass("Owner1"), nullptr);
    EXPECT_NE(cls->Find("Name"), nullptr); // published by the platform class
    EXPECT_NE(cls->Find("Tag"), nullptr);
}

TEST_F(ScriptTest, HostFunctions)
{
    std::vector<std::string> calls;
    TscMethodHelper* get = S->AddMethod("function Get(Name: String): Variant",
                                        [&](TObject* i, TClass c, const AnsiString& n, Variant& p) {
                                            calls.push_back(n + (i || c ? " with object" : "") + " " +
                                                            VarToStr(VarArrayGet(p, {0})));
                                            return Variant(42);
                                        });
    ASSERT_NE(get, nullptr);
    EXPECT_EQ(get->Description, "Get");
    get->GetParam(0)->SetValue(Variant("x"));
    EXPECT_EQ(get->GetValue(), Variant(42));
    EXPECT_EQ(calls, (std::vector<std::string>{"GET x"}));
    TscMethodHelper* sum = S->AddMethod("macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                                        nullptr, "Aggregates", "Sum of a column");
    EXPECT_TRUE(sum->IsMacro);
    EXPECT_EQ(sum->Category, "Aggregates");
    EXPECT_EQ(sum->GetNumberOfRequiredParams(), 1);
    EXPECT_EQ(sum->GetValue(), Variant(0)); // no event: 0
    TscMethodHelper* set = S->AddMethod("procedure Set(Name: String; Value: Variant)", nullptr);
    EXPECT_EQ(set->VarType, fvtClass);
    EXPECT_EQ(set->GetFullTypeName(), "Class ");
}

TEST_F(ScriptTest, CallFunctionPassesOnlyWhatBothSidesHave)
{
    std::vector<Variant> seen;
    TscProcVariable* p = AddProc(*S, "P", {"a", "b"}, [&](TscProcVariable* self) {
        seen = {self->GetParam(0)->Value, self->GetParam(1)->Value};
        self->GetParam(0)->SetValue(Variant(10));
        self->GetParam(1)->SetValue(Variant(20));
    });
    struct Case { const char* why; Variant args; Variant a, b; };
    const Case cases[] = {
        {"exact", VarArrayOf({Variant(1), Variant(2)}), Variant(1), Variant(2)},
        {"more values than parameters", VarArrayOf({Variant(3), Variant(4), Variant(5)}), Variant(3), Variant(4)},
        {"fewer values: the rest keep their values", VarArrayOf({Variant(6)}), Variant(6), Variant(20)},
        {"not an array: nothing passed", Variant(7), Variant(10), Variant(20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_TRUE(VarIsNull(S->CallFunction("p", c.args)));
        EXPECT_EQ(seen[0], c.a);
        EXPECT_EQ(seen[1], c.b);
    }
    Variant one = VarArrayOf({Variant(1)});
    S->CallFunction1("P", one);
    EXPECT_EQ(VarArrayHighBound(one, 1), 0); // nothing written past the given value
    EXPECT_EQ(VarArrayGet(one, {0}), Variant(10));
    Variant three = VarArrayOf({Variant(1), Variant(2), Variant(3)});
    S->CallFunction1("P", three);
    EXPECT_EQ(VarArrayGet(three, {1}), Variant(20));
    EXPECT_EQ(VarArrayGet(three, {2}), Variant(3));
    EXPECT_TRUE(VarIsNull(S->CallFunction("Nope", Null())));
    EXPECT_FALSE(p->Executing);
}

TEST_F(ScriptTest, FunctionsKeepTheirLocalsBetweenCalls)
{
    int n = 0;
    TscProcVariable* f = AddProc(*S, "F", {}, [&](TscProcVariable* self) {
        if (n++ == 0)
            self->RefItem->SetValue(Variant("first"));
    }, true);
    EXPECT_EQ(S->CallFunction("F", Null()), Variant("first"));
    EXPECT_EQ(S->CallFunction("F", Null()), Variant("first")); // Result not reset
    EXPECT_EQ(f->LocalScript()->Parent, S.get());
}

// A routine remembers which script is its main one; every change of the scope tree between
// two calls is seen by the next call, whichever link changed.
TEST_F(ScriptTest, ARunningRoutineIsTheScopeOfTheMainScriptAsTheTreeStandsNow)
{
    auto outer = std::make_unique<TscScript>(nullptr);
    outer->Parent = scGlobalUnit();
    TscScript* scopeOfS = nullptr;
    TscScript* scopeOfOuter = nullptr;
    TscProcVariable* f = AddProc(*S, "F", {}, [&](TscProcVariable*) {
        scopeOfS = S->CurrentScope;
        scopeOfOuter = outer ? outer->CurrentScope : nullptr;
    });
    TscScript* const local = f->LocalScript();
    struct Step {
        const char* change;
        std::function<void()> apply;
        bool sSeesIt, outerSeesIt;
    };
    const Step steps[] = {
        {"S is the main script", [&] { S->IsMainScript = true; }, true, false},
        {"S hangs under a main script",
         [&] {
             S->IsMainScript = false;
             S->Parent = outer.get();
             outer->IsMainScript = true;
         },
         false, true},
        {"S is main again below it", [&] { S->IsMainScript = true; }, true, false},
        {"no main script at all",
         [&] {
             S->IsMainScript = false;
             outer->IsMainScript = false;
         },
         false, false},
        {"the routine's scope moves under the outer main",
         [&] {
             outer->IsMainScript = true;
             local->Parent = outer.get();
         },
         false, true},
        {"the outer script is gone",
         [&] {
             local->Parent = S.get();
             S->Parent = scGlobalUnit();
             outer.reset();
         },
         false, false},
        {"and S is main", [&] { S->IsMainScript = true; }, true, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.change);
        step.apply();
        for (int call = 0; call < 2; ++call) { // the second call takes what the first found
            scopeOfS = scopeOfOuter = nullptr;
            S->CallFunction("F", Null());
            EXPECT_EQ(scopeOfS == local, step.sSeesIt);
            EXPECT_EQ(scopeOfOuter == local, step.outerSeesIt);
            EXPECT_EQ(S->CurrentScope, nullptr);
        }
    }
}

TEST_F(ScriptTest, RunawayRecursionStopsWithAnError)
{
    TscProcVariable* r = nullptr;
    r = AddProc(*S, "R", {}, [&](TscProcVariable* self) { self->GetValue(); });
    EXPECT_EQ(ScriptErrorOf([&] { S->CallFunction("R", Null()); }), TscMessageId::SCallTooDeep);
    EXPECT_FALSE(r->Executing);
}

TEST_F(ScriptTest, TerminateStopsAtTheNextStatement)
{
    std::vector<std::string> ran;
    bool stop = true;
    TscProcVariable* b = AddProc(*S, "B", {}, [&](TscProcVariable*) {
        ran.push_back("B1");
        if (stop)
            S->Terminate(); // a host callback asks to stop
    });
    b->LocalScript()->MainStatement()->Add(
        std::make_unique<TCallbackStmt>(b->LocalScript(), [&] { ran.push_back("B2"); }));
    S->MainStatement()->Add(std::make_unique<TCallbackStmt>(S.get(), [&] { S->CallFunction("B", Null()); }));
    S->MainStatement()->Add(std::make_unique<TCallbackStmt>(S.get(), [&] { ran.push_back("main2"); }));
    S->Execute();
    EXPECT_EQ(ran, (std::vector<std::string>{"B1"}));
    EXPECT_FALSE(S->Terminated); // reset when Execute returns
    ran.clear();
    stop = false;
    S->CallFunction("B", Null()); // a procedure called afterwards runs to its end
    EXPECT_EQ(ran, (std::vector<std::string>{"B1", "B2"}));
}

TEST_F(ScriptTest, ExecuteResetsFlagsAlsoWhenAnExceptionPasses)
{
    S->MainStatement()->Add(std::make_unique<TCallbackStmt>(S.get(), [&] {
        S->ExitRequested = true;
        throw Exception("boom");
    }));
    EXPECT_THROW(S->Execute(), Exception);
    EXPECT_FALSE(S->ExitRequested);
    EXPECT_TRUE(S->IsMainScript);
}

TEST_F(ScriptTest, RunLineGoesToTheNearestHandler)
{
    std::vector<std::string> seen;
    S->OnRunLine = [&](TscScript* sender, const AnsiString& unit, const AnsiString& pos) {
        seen.push_back((sender == S.get() ? "S " : "other ") + unit + "@" + pos);
    };
    TscScript child(nullptr);
    child.Parent = S.get();
    child.RunLine("", "3:1");
    S->RunLine("Unit1", "4:2");
    EXPECT_EQ(seen, (std::vector<std::string>{"other @3:1", "S Unit1@4:2"}));
}

TEST_F(ScriptTest, CodeLines)
{
    S->AddCodeLine("", "12:5");
    S->AddCodeLine("", "12:9");
    S->AddCodeLine("", "14:1");
    S->AddCodeLine("Unit2", "1:1");
    EXPECT_EQ(S->CodeLines()->Strings(0), "=12,14,");
    EXPECT_EQ(S->CodeLines()->Strings(1), "Unit2=1,");
    EXPECT_TRUE(S->IsExecutableLine(12));
    EXPECT_FALSE(S->IsExecutableLine(13));
    EXPECT_FALSE(S->IsExecutableLine(1));
    EXPECT_TRUE(S->IsExecutableLine(1, "unit2"));
    S->ClearItems(nullptr);
    EXPECT_EQ(S->CodeLines()->Count(), 0);
}

TEST_F(ScriptTest, ClearItemsKeepsUnownedItems)
{
    int owner = 0;
    TObject report;
    S->RegisteringOwner = &report;
    S->AddVariable("Value", "Variant", Null());
    S->RegisteringOwner = nullptr;
    S->AddVariable("Mine", "Variant", Variant(owner));
    S->MainStatement()->Add(std::make_unique<TCallbackStmt>(S.get(), [] {}));
    S->ClearItems(&report);
    EXPECT_EQ(S->FindLocal("Value"), nullptr);
    EXPECT_NE(S->FindLocal("Mine"), nullptr);
    EXPECT_EQ(S->MainStatement()->Count(), 0);
    S->Clear();
    EXPECT_EQ(S->Count(), 0);
    EXPECT_NE(S->Find("__StringHelper"), nullptr); // still found through the root
}

TEST_F(ScriptTest, CompileWithoutCompilerFailsCleanly)
{
    scSetCompilerHooks({}); // as before the compiler is installed
    EXPECT_FALSE(S->Compile());
    EXPECT_FALSE(S->ErrorText.empty());
    EXPECT_EQ(S->Evaluate("1 +"), Variant(S->ErrorText));
    S->SyntaxType = "Klingon";
    EXPECT_EQ(ScriptErrorOf([&] { S->Compile(); }), TscMessageId::SLangNotFound);
    scInstallCompiler();
}

TEST_F(ScriptTest, StringAndArrayIndexesAreChecked)
{
    TscCustomVariable* s = S->AddVariable("s", "String", Variant("abc"));
    auto* sh = static_cast<TscStringHelper*>(S->Find("__StringHelper"));
    sh->ParentRef = s;
    sh->ParentValue = Variant("abc");
    sh->GetParam(0)->SetValue(Variant(2));
    EXPECT_EQ(sh->GetValue(), Variant("b"));
    sh->SetValue(Variant("X"));
    EXPECT_EQ(s->Value, Variant("aXc"));
    for (int bad : {0, 4, -1}) {
        SCOPED_TRACE(bad);
        sh->GetParam(0)->SetValue(Variant(bad));
        EXPECT_EQ(ScriptErrorOf([&] { sh->GetValue(); }), TscMessageId::SStringIndex);
        EXPECT_EQ(ScriptErrorOf([&] { sh->SetValue(Variant("Y")); }), TscMessageId::SStringIndex);
    }
    sh->ParentValue = Variant("");
    sh->GetParam(0)->SetValue(Variant(1));
    EXPECT_EQ(ScriptErrorOf([&] { sh->GetValue(); }), TscMessageId::SStringIndex);

    TscCustomVariable* a = S->AddVariable("a", "Array", VarArrayCreate({0, 2, 0, 3}, varVariant));
    TscArrayHelper helper("a", 2, fvtVariant, "");
    helper.ParentRef = a;
    helper.GetParam(0)->SetValue(Variant(1));
    helper.GetParam(1)->SetValue(Variant(2));
    helper.SetValue(Variant(5));
    EXPECT_EQ(helper.GetValue(), Variant(5));
    EXPECT_EQ(VarArrayGet(a->Value, {1, 2}), Variant(5)); // written in place
    struct Case { int i, j; };
    for (const Case c : {Case{3, 0}, Case{0, 4}, Case{-1, 0}}) {
        SCOPED_TRACE(c.i * 10 + c.j);
        helper.GetParam(0)->SetValue(Variant(c.i));
        helper.GetParam(1)->SetValue(Variant(c.j));
        EXPECT_EQ(ScriptErrorOf([&] { helper.GetValue(); }), TscMessageId::SArrayIndex);
        EXPECT_EQ(ScriptErrorOf([&] { helper.SetValue(Variant(1)); }), TscMessageId::SArrayIndex);
    }
    a->Value = Variant(3); // not an array: reads Null, ignores writes
    EXPECT_TRUE(VarIsNull(helper.GetValue()));
}

TEST(GlobalUnitLife, StartupAndShutdownTwice)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ScriptEngineStartup();
        TscScript* u = scGlobalUnit();
        ASSERT_NE(u, nullptr);
        EXPECT_FALSE(GlobalUnitDestroyed());
        EXPECT_EQ(u->Find("Integer")->VarType, fvtInt);
        EXPECT_EQ(u->Find("TDateTime")->VarType, fvtFloat);
        EXPECT_EQ(u->Find("Constructor")->VarType, fvtConstructor);
        EXPECT_EQ(u->Find("nil")->Value, Variant(0));
        EXPECT_TRUE(VarIsNull(u->Find("Null")->Value));
        EXPECT_EQ(u->Find("False")->Value, Variant(false));
        u->AddClass(TComponent::StaticClass(), "");
        scRegisterLanguage("PascalScript", "<language/>");
        ScriptEngineShutdown();
        EXPECT_EQ(scGlobalUnit(), nullptr); // not recreated after shutdown
        EXPECT_EQ(scEventList(), nullptr);
        EXPECT_TRUE(GlobalUnitDestroyed());
    }
}

// A program that starts the engine and leaves through exit() without stopping it: the
// engine's globals are freed in their written-down order (the built-in functions before
// the global unit they registered into), not in the link order of their files. Under
// the sanitizers the child dies on a read of freed memory if the order is wrong.
TEST(GlobalUnitLife, ExitWithoutShutdownFreesInOrder)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char* name;
        void (*run)();
    } cases[] = {
        {"engine only", [] { ScriptEngineStartup(); }},
        {"started twice, stopped once", [] {
             ScriptEngineStartup();
             ScriptEngineShutdown();
             ScriptEngineStartup();
         }},
        {"second functions user left open", [] {
             ScriptEngineStartup();
             scFunctionsStartup();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(
            {
                c.run();
                std::exit(0);
            },
            ::testing::ExitedWithCode(0), "");
    }
}

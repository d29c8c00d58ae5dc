// NameBindingTest.cpp - names a report reads (fields, system values, variables, script
// items) are looked up once and kept; every change of what a name stands for must show in
// the next read, by each route a name is read: the name as an expression, bracketed in a
// compiled expression, bracketed in the report's script in each syntax.
#include "report/model/tests/ReportFixture.h"

#include "script/Items.h"
#include "script/Script.h"

namespace {

bool SameValue(const Variant& a, const Variant& b)
{
    if (VarIsNull(a) || VarIsNull(b))
        return VarIsNull(a) == VarIsNull(b);
    return VarToStr(a) == VarToStr(b);
}

class NameBindingTest : public ReportTest {
protected:
    // A report with a script variable Total (5) and a function F reading <name>.
    void Make(const AnsiString& name)
    {
        R = MakeReport();
        R->GetScriptText()->SetText("var Total: Variant;\r\n"
                                    "function F: Variant; begin Result := <" + name + "> end;\r\n"
                                    "begin end.");
        ASSERT_TRUE(R->PrepareScript()) << R->GetScript()->ErrorText.c_str();
        R->GetScript()->SetVariables("Total", Variant(5));
        Engine(R)->CurLine = 2;
        R->GetEngineOptions()->ConvertNulls = false;
    }
    TrpDBDataset* Sklad(double sum)
    {
        auto* ds = AddDataSet(R, "Sklad", {{Variant(1), Variant("a"), Variant(sum), Variant(true)},
                                           {Variant(2), Null(), Null(), Null()}});
        ds->First();
        return ds;
    }
    // The name read by every route, each read twice so the second one uses what was kept.
    void ExpectEverywhere(const AnsiString& name, const Variant& want, const char* when)
    {
        const std::pair<const char*, std::function<Variant()>> routes[] = {
            {"the name", [&] { return R->Calc(name); }},
            {"bracketed in an expression", [&] { return R->Calc("<" + name + ">"); }},
            {"bracketed in the script", [&] { return R->GetScript()->CallFunction("F", Null()); }},
        };
        for (const auto& [route, read] : routes)
            for (int pass = 0; pass < 2; ++pass) {
                const Variant got = read();
                EXPECT_TRUE(SameValue(got, want)) << when << ", " << route << ": got '" << VarToStr(got)
                                                  << "', want '" << VarToStr(want) << "'";
            }
    }
    TrpReport* R = nullptr;
};

}  // namespace

TEST_F(NameBindingTest, EveryChangeOfWhatANameStandsForShowsInTheNextRead)
{
    const AnsiString field = "Sklad.\"Сумма\"";
    struct Case {
        const char* why;
        AnsiString name;
        std::function<void()> setup;
        Variant before;
        std::function<void()> change;
        Variant after;
    };
    auto variable = [this](const char* name, const Variant& v) {
        return [=, this] { R->GetVariables()->SetVariable(name, v); };
    };
    auto nothing = [] {};
    TrpDBDataset* ds = nullptr;
    const Case cases[] = {
        {"a report variable made later hides the script's variable", "Total", nothing, Variant(5),
         variable("Total", Variant(7)), Variant(7)},
        {"the report variable deleted lets the script's variable show", "Total", variable("Total", Variant(7)),
         Variant(7), [this] { R->GetVariables()->DeleteVariable("Total"); }, Variant(5)},
        {"the report variable renamed away", "Total", variable("Total", Variant(7)), Variant(7),
         [this] {
             TrpVariables* v = R->GetVariables();
             v->Items(v->IndexOf("Total"))->SetName("Other");
         },
         Variant(5)},
        {"a namesake moved in front of the variable", "Total",
         [this] {
             R->GetVariables()->SetVariable("A", Variant(1));
             R->GetVariables()->SetVariable("Total", Variant(7));
             TrpVariable* v = R->GetVariables()->Add();
             v->SetName("TOTAL");
             v->SetValue(Variant(8));
         },
         Variant(7), [this] { R->GetVariables()->Items(2)->SetIndex(0); }, Variant(8)},
        {"a variable whose text is an expression changed to another", "Total", variable("Total", Variant("1 + 1")),
         Variant(2), variable("Total", Variant("2 * 3")), Variant(6)},
        {"a system value takes the name", "Total", variable("Total", Variant(7)), Variant(7),
         [this] { R->SysVariables.Put(6, "Total"); }, Variant(2)},
        {"the system value gives the name back", "Total",
         [this] {
             R->GetVariables()->SetVariable("Total", Variant(7));
             R->SysVariables.Put(6, "Total");
         },
         Variant(2), [this] { R->SysVariables.Put(6, "Line"); }, Variant(7)},
        {"a dataset of that name added: its field hides a variable named like it", field,
         variable("Sklad.\"Сумма\"", Variant(7)), Variant(7), [this] { Sklad(12.5); },
         Variant(12.5)},
        {"the dataset freed lets the variable show", field,
         [&] {
             R->GetVariables()->SetVariable("Sklad.\"Сумма\"", Variant(7));
             ds = Sklad(12.5);
         },
         Variant(12.5), [&] { delete ds; }, Variant(7)},
        {"the dataset given another table", field, [&] { ds = Sklad(12.5); }, Variant(12.5),
         [&] {
             auto* mem = new TMemDataSet(Owner.get());
             mem->Rows = {{Variant(9), Variant("z"), Variant(99.0), Variant(false)}};
             mem->Open();
             ds->SetDataSet(mem);
             ds->First();
         },
         Variant(99.0)},
        {"the dataset closed, then moved to its second row", field,
         [&] { ds = Sklad(12.5); }, Variant(12.5),
         [&] {
             ds->Close();
             ds->Open();
             ds->First();
             ds->Next();
         },
         Null()},
        {"a Null field once Nulls are converted", field,
         [&] {
             ds = Sklad(12.5);
             ds->Next();
         },
         Null(), [this] { R->GetEngineOptions()->ConvertNulls = true; }, Variant(0)},
        {"OnGetValue set later answers before the variable", "Total", variable("Total", Variant(7)), Variant(7),
         [this] {
             R->OnGetValue = TrpGetValueEvent::Lambda([](const AnsiString& name, Variant& v) {
                 if (name == "Total")
                     v = Variant(9);
             });
         },
         Variant(9)},
        {"OnGetValue makes the variable and answers nothing: the variable is read", "Total", nothing, Variant(5),
         [this] {
             TrpReport* r = R;
             R->OnGetValue = TrpGetValueEvent::Lambda([r](const AnsiString& name, Variant&) {
                 if (name == "Total" && r->GetVariables()->IndexOf("Total") < 0)
                     r->GetVariables()->SetVariable("Total", Variant(8));
             });
         },
         Variant(8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Make(c.name);
        c.setup();
        ExpectEverywhere(c.name, c.before, "before");
        c.change();
        ExpectEverywhere(c.name, c.after, "after");
        EXPECT_EQ(R->Errors.Count(), 0) << R->Errors.GetText();
        R = nullptr;
        Owner = std::make_unique<TComponent>(nullptr);  // the report and its datasets go
    }
}

// A name in brackets is bound when the script is compiled, in every syntax; the bound read
// gives what Get with the same name computed at run time gives, errors included.
TEST_F(NameBindingTest, BracketedNamesReadAlikeInEverySyntax)
{
    struct Syntax {
        const char* language;
        const char* script;
    };
    const Syntax syntaxes[] = {
        {"PascalScript",
         "var N: Variant;\r\n"
         "function F: Variant; begin Result := <Sklad.\"Сумма\"> * 2 end;\r\n"
         "function G: Variant; begin Result := Get(N) * 2 end;\r\n"
         "function U: Variant; begin Result := <Nope> end;\r\n"
         "begin end."},
        {"C++Script",
         "Variant N;\r\n"
         "Variant F() { return <Sklad.\"Сумма\"> * 2; }\r\n"
         "Variant G() { return Get(N) * 2; }\r\n"
         "Variant U() { return <Nope>; }\r\n"
         "{ }"},
        {"JScript",
         "var N;\r\n"
         "function F() { return <Sklad.\"Сумма\"> * 2; }\r\n"
         "function G() { return Get(N) * 2; }\r\n"
         "function U() { return <Nope>; }\r\n"},
        {"BasicScript",
         "Dim N\r\n"
         "Function F\r\n  Return <Sklad.\"Сумма\"> * 2\r\nEnd Function\r\n"
         "Function G\r\n  Return Get(N) * 2\r\nEnd Function\r\n"
         "Function U\r\n  Return <Nope>\r\nEnd Function\r\n"},
    };
    for (const Syntax& s : syntaxes) {
        SCOPED_TRACE(s.language);
        R = MakeReport();
        TrpDBDataset* ds = Sklad(12.5);
        R->ScriptLanguage = s.language;
        R->GetScriptText()->SetText(s.script);
        ASSERT_TRUE(R->PrepareScript()) << R->GetScript()->ErrorText.c_str() << " at " << R->GetScript()->ErrorPos.c_str();
        TscScript* script = R->GetScript();
        script->SetVariables("N", Variant("Sklad.\"Сумма\""));
        for (int row = 0; row < 2; ++row) {
            SCOPED_TRACE(row);
            EXPECT_TRUE(SameValue(script->CallFunction("F", Null()), script->CallFunction("G", Null())));
            ds->Next();
        }
        ds->First();
        EXPECT_EQ(script->CallFunction("F", Null()).AsDouble(), 25.0);
        EXPECT_EQ(R->Errors.Count(), 0) << R->Errors.GetText();
        EXPECT_TRUE(VarIsNull(script->CallFunction("U", Null())));
        ASSERT_EQ(R->Errors.Count(), 1);
        EXPECT_EQ(R->Errors[0], "Неизвестная переменная или поле БД: Nope");
        R = nullptr;
        Owner = std::make_unique<TComponent>(nullptr);
    }
}

// The compiler offers a host function's constant calls to its host once; calls with a
// computed argument, and calls of functions without a binder, stay calls.
TEST_F(NameBindingTest, OnlyConstantCallsAreOfferedForBinding)
{
    TscScript script(nullptr);
    script.Parent = scGlobalUnit();
    int calls = 0, binds = 0;
    TscMethodHelper* get = script.AddMethod("function Twice(X: Variant): Variant",
                                            [&](TObject*, TClass, const AnsiString&, Variant& p) {
                                                ++calls;
                                                return Variant(VarArrayGet(p, {0}).AsInteger() * 2);
                                            });
    struct Bound : TscCustomVariable {
        Bound(int v, int& reads) : TscCustomVariable(AnsiString(), fvtVariant, "Variant"), V(v), Reads(reads) {}
        Variant GetValue() override
        {
            ++Reads;
            return Variant(V);
        }
        int V;
        int& Reads;
    };
    int reads = 0;
    get->OnBind = [&](const std::vector<Variant>& args) -> std::unique_ptr<TscCustomVariable> {
        ++binds;
        const int x = args.at(0).AsInteger();
        if (x == 0)
            return nullptr;  // the host declines: the call stays
        return std::make_unique<Bound>(x * 2, reads);
    };
    script.Lines()->SetText("var i, s: Integer;\r\n"
                            "begin\r\n"
                            "  s := 0;\r\n"
                            "  for i := 1 to 3 do\r\n"
                            "    s := s + Twice(10) + Twice(i) + Twice(0) + Twice(-1);\r\n"
                            "  Twice(4);\r\n"
                            "end.");
    ASSERT_TRUE(script.Compile()) << script.ErrorText.c_str();
    EXPECT_EQ(binds, 2) << "Twice(10) and Twice(0) are offered, once each; Twice(i) and Twice(-1) are not";
    script.Execute();
    EXPECT_EQ(script.GetVariables("s").AsInteger(), 3 * (20 - 2) + 2 * (1 + 2 + 3));
    EXPECT_EQ(reads, 3) << "the bound item is read on every pass";
    EXPECT_EQ(calls, 3 * 3 + 1) << "Twice(i), the declined Twice(0), Twice(-1) and the statement stay calls";
}

// ExpressionTest.cpp - expressions of a report: plain names without compiling, the
// compiled-expression cache, macrofunctions, errors that name object and expression,
// memo texts filled from fields and expressions with their formats, and the report
// script reading memos and dataset fields.
#include "report/model/tests/ReportFixture.h"

#include "script/Items.h"

#include <bit>
#include <random>

namespace {

class ExpressionTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        R = MakeReport();
        DS = AddDataSet(R, "rpDBDataset2",
                        {{Variant(1), Variant("Гвозди"), Variant(12.5), Variant(true)},
                         {Variant(2), Null(), Null(), Null()}});
        Page = AddPage(R);
        Band = Add<TrpMasterData>(Page, "MasterData1");
        Band->SetDataSet(DS);
        Memo = Add<TrpMemoView>(Band, "Memo1");
        ASSERT_TRUE(R->PrepareScript()) << R->GetScript()->ErrorText.c_str();
    }
    // The memo's text after GetData of a template text.
    AnsiString Fill(const AnsiString& text)
    {
        Memo->SetText(text);
        Memo->BeforePrint();
        Memo->GetData();
        AnsiString out = Memo->GetText();
        if (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0)
            out.erase(out.size() - 2);
        Memo->AfterPrint();
        return out;
    }
    TrpReport* R = nullptr;
    TrpDBDataset* DS = nullptr;
    TrpReportPage* Page = nullptr;
    TrpMasterData* Band = nullptr;
    TrpMemoView* Memo = nullptr;
};

}  // namespace

TEST_F(ExpressionTest, PlainNamesResolveWithoutCompiling)
{
    R->GetVariables()->SetVariable("sum", Variant("2 + 3"));
    R->GetVariables()->SetVariable("seven", Variant(7));
    R->GetVariables()->SetVariable("itog", Variant("'готово'"));
    EXPECT_EQ(R->Calc("rpDBDataset2.\"Сумма\"").AsDouble(), 12.5);
    EXPECT_EQ(R->Calc("seven").AsInteger(), 7);
    EXPECT_EQ(R->GetExpressionCache()->Count(), 0) << "names reach no compiler";
    EXPECT_EQ(R->Calc("sum").AsInteger(), 5);
    EXPECT_EQ(VarToStr(R->Calc("itog")), "готово");
}

TEST_F(ExpressionTest, SystemValuesComeFromTheEngineAndThePages)
{
    Pages(R)->CurPage = 4;
    Pages(R)->FirstPage = 3;
    Engine(R)->TotalPages = 7;
    Engine(R)->CurLine = 2;
    Engine(R)->CurLineThrough = 9;
    struct Case {
        const char* name;
        int value;
    };
    const Case cases[] = {{"Page", 2}, {"Page#", 5}, {"TotalPages", 4}, {"TotalPages#", 7}, {"Line", 2}, {"LINE#", 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(R->Calc(c.name).AsInteger(), c.value);
    }
}

TEST_F(ExpressionTest, NullFieldsFollowConvertNulls)
{
    DS->First();
    DS->Next();
    R->GetEngineOptions()->ConvertNulls = true;
    EXPECT_EQ(R->Calc("rpDBDataset2.\"Сумма\"").AsDouble(), 0);
    EXPECT_EQ(VarToStr(R->Calc("rpDBDataset2.\"Name\"")), "");
    EXPECT_TRUE(VarIsStr(R->Calc("rpDBDataset2.\"Name\"")));
    EXPECT_EQ(R->Calc("rpDBDataset2.\"Flag\"").AsBoolean(), false);
    R->GetEngineOptions()->ConvertNulls = false;
    EXPECT_TRUE(VarIsNull(R->Calc("rpDBDataset2.\"Сумма\"")));
}

TEST_F(ExpressionTest, EachDistinctTextCompilesOnce)
{
    EXPECT_EQ(R->Calc("1 + 1").AsInteger(), 2);
    EXPECT_EQ(R->Calc("2 * 3").AsInteger(), 6);
    EXPECT_EQ(R->GetExpressionCache()->Count(), 2);
    EXPECT_NE(R->GetExpressionCache()->GetScript()->FindLocal("_f0"), nullptr);
    EXPECT_NE(R->GetExpressionCache()->GetScript()->FindLocal("_f1"), nullptr);
    EXPECT_EQ(R->Calc("1 + 1").AsInteger(), 2);
    EXPECT_EQ(R->GetExpressionCache()->Count(), 2);
}

// Texts that differ only in case are different expressions: each keeps its own result,
// whichever is evaluated first.
TEST_F(ExpressionTest, TextsThatDifferOnlyInCaseKeepTheirOwnResults)
{
    const struct {
        const char* first;
        const char* second;
        const char* secondGives;
    } cases[] = {
        {"'A'", "'a'", "a"},
        {"'Итого'", "'ИТОГО'", "ИТОГО"},
        {"UpperCase('x') + 'y'", "UpperCase('x') + 'Y'", "XY"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        R->Calc(c.first);
        EXPECT_EQ(VarToStr(R->Calc(c.second)), c.secondGives);
        EXPECT_NE(VarToStr(R->Calc(c.first)), c.secondGives);
    }
}

TEST_F(ExpressionTest, ExpressionsSeeFieldsInAngleBrackets)
{
    EXPECT_EQ(R->Calc("<rpDBDataset2.\"Сумма\"> * 2").AsDouble(), 25.0);
    EXPECT_EQ(R->Calc("StrToFloat('1,5') + 1").AsDouble(), 2.5);
}

TEST_F(ExpressionTest, IIFEvaluatesOnlyTheChosenBranch)
{
    EXPECT_EQ(R->Calc("IIF(1 > 2, 1 div 0, 10)").AsInteger(), 10);
    EXPECT_EQ(VarToStr(R->Calc("IIF(<rpDBDataset2.\"ID\"> = 1, 'one', 1 div 0)")), "one");
}

TEST_F(ExpressionTest, AggregatesAreParsedAndLeftToTheEngine)
{
    EXPECT_EQ(R->Calc("SUM(StrToFloat(<rpDBDataset2.\"Сумма\">),MasterData1)").AsInteger(), 42);
    EXPECT_EQ(R->Calc("COUNT(MasterData1, 1)").AsInteger(), 42);
    EXPECT_EQ(R->Calc("MAX(<rpDBDataset2.\"ID\">)").AsInteger(), 42);
    EXPECT_EQ(Engine(R)->Aggregates,
              (std::vector<AnsiString>{"SUM|StrToFloat(<rpDBDataset2.\"Сумма\">)|MasterData1|0",
                                       "COUNT||MasterData1|1", "MAX|<rpDBDataset2.\"ID\">|-|0"}));
}

TEST_F(ExpressionTest, GetOfAnAggregateTextIsCalculated)
{
    Variant p = VarArrayOf({Variant("SUM(1, MasterData1)")});
    EXPECT_EQ(R->GetScriptValue(nullptr, nullptr, "GET", p).AsInteger(), 42);
    EXPECT_EQ(R->Errors.Count(), 0);
}

TEST_F(ExpressionTest, UnknownNameThroughGetIsOneLineAndNull)
{
    EXPECT_TRUE(VarIsNull(R->Calc("<NoSuchThing>")));
    ASSERT_EQ(R->Errors.Count(), 1);
    EXPECT_EQ(R->Errors[0], "Неизвестная переменная или поле БД: NoSuchThing");
}

TEST_F(ExpressionTest, CompileErrorNamesTheObjectAndTheExpression)
{
    R->CurObject = "Memo1";
    try {
        R->Calc("1 +* 2");
        FAIL() << "no error raised";
    } catch (const Exception& e) {
        EXPECT_EQ(AnsiString(e.what()).rfind("Memo1: Ошибка в выражении '1 +* 2': ", 0), 0u) << e.what();
    }
    ASSERT_EQ(R->Errors.Count(), 1);
    EXPECT_EQ(R->Errors[0].rfind("Memo1: Ошибка в выражении '1 +* 2'", 0), 0u);
    EXPECT_EQ(R->GetExpressionCache()->Count(), 0) << "nothing cached";
    EXPECT_EQ(R->Calc("3 + 4").AsInteger(), 7) << "the next expression takes the freed number";
}

TEST_F(ExpressionTest, RunTimeErrorNamesTheObjectAndTheExpression)
{
    R->CurObject = "Memo1";
    EXPECT_THROW(R->Calc("1 div 0"), Exception);
    ASSERT_EQ(R->Errors.Count(), 1);
    EXPECT_EQ(R->Errors[0].rfind("Memo1: Ошибка в выражении '1 div 0': ", 0), 0u) << R->Errors[0];
}

TEST_F(ExpressionTest, VariablesReferringToThemselvesAreAnErrorNotARecursion)
{
    R->GetVariables()->SetVariable("a", Variant("b + 1"));
    R->GetVariables()->SetVariable("b", Variant("a + 1"));
    R->GetVariables()->SetVariable("self", Variant("self"));
    EXPECT_THROW(R->Calc("a"), Exception);
    EXPECT_THROW(R->Calc("self"), Exception);
    bool found = false;
    for (int i = 0; i < R->Errors.Count(); ++i)
        found = found || R->Errors[i].find("refers back to itself") != AnsiString::npos;
    EXPECT_TRUE(found);
    R->GetVariables()->SetVariable("ok", Variant("2"));
    EXPECT_EQ(R->Calc("ok").AsInteger(), 2) << "the report still evaluates afterwards";
}

TEST_F(ExpressionTest, UserFunctionsReachTheProgram)
{
    R->OnUserFunction = TrpUserFunctionEvent::Lambda([](const AnsiString& name, Variant& params) {
        return Variant(name + ":" + VarToStr(VarArrayGet(params, {0})));
    });
    R->AddFunction("function Greet(Who: String): String");
    ASSERT_TRUE(R->PrepareScript());
    EXPECT_EQ(VarToStr(R->Calc("Greet('мир')")), "GREET:мир");
}

TEST_F(ExpressionTest, OnGetValueAnswersNamesItKnows)
{
    R->OnGetValue = TrpGetValueEvent::Lambda([](const AnsiString& name, Variant& v) {
        if (name == "Фирма")
            v = Variant("Склад №1");
    });
    EXPECT_EQ(VarToStr(R->Calc("Фирма")), "Склад №1");
}

TEST_F(ExpressionTest, MemoTexts)
{
    R->GetVariables()->SetVariable("itog", Variant("'итого'"));
    R->GetVariables()->SetVariable("zero", Variant(0));
    struct Case {
        const char* why;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"a text without brackets is left alone", "Накладная", "Накладная"},
        {"a dataset field", "[rpDBDataset2.\"Name\"]", "Гвозди"},
        {"a variable", "Всего: [itog]", "Всего: итого"},
        {"two expressions, inserted text not scanned again", "[1+1] и ['[2]']", "2 и [2]"},
        {"numeric format with a comma", "[12.5 #N0,00]", "12,50"},
        {"numeric format with a point", "[12.5 #N0.00]", "12.50"},
        {"date format", "[EncodeDate(2006, 12, 31) #Ddd.mm.yyyy]", "31.12.2006"},
        {"boolean format, true", "[1 = 1 #BДа,Нет]", "Да"},
        {"boolean format, false", "[1 = 2 #BДа,Нет]", "Нет"},
        {"the page total stays a marker", "[TotalPages#] стр.", "[TotalPages#] стр."},
        {"an unclosed bracket is left as typed", "[1+1", "[1+1"},
        {"system value", "[Page#]", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Fill(c.text), c.expected);
    }
    EXPECT_EQ(Memo->GetText(), "[Page#]\r\n") << "AfterPrint puts the template back";
}

// A date-time printed without a format: a time of day (no date part, as the system value
// Time) prints as the time alone, not after "30.12.1899"; a date without a time as the
// date alone; a format the template gives prints as it says.
TEST_F(ExpressionTest, ATimeOfDayPrintsWithoutTheZeroDate)
{
    Engine(R)->StartDate = EncodeDate(2026, 12, 7);
    Engine(R)->StartTime = EncodeTime(17, 2, 39, 0);
    R->GetVariables()->SetVariable("at", Variant(EncodeDate(2026, 12, 7) + EncodeTime(17, 2, 39, 0)));
    R->GetVariables()->SetVariable("midnight", Variant(TDateTime(0)));
    struct Case {
        const char* why;
        const char* text;
        TrpFormatKind displayKind;
        const char* expected;
    };
    const Case cases[] = {
        {"the system value Time", "[Time]", fkText, "17:02:39"},
        {"the system value Date", "[Date]", fkText, "07.12.2026"},
        {"a time from a script function", "[EncodeTime(8, 5, 0, 0)]", fkText, "08:05:00"},
        {"midnight with no date", "[midnight]", fkText, "00:00:00"},
        {"a date and a time", "[at]", fkText, "07.12.2026 17:02:39"},
        {"an inline date format is kept", "[Time #Ddd.mm.yyyy hh:nn]", fkText, "30.12.1899 17:02"},
        {"a display format is kept", "[Time]", fkDateTime, "30.12.1899"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Memo->GetDisplayFormat()->Kind = c.displayKind;
        Memo->GetDisplayFormat()->FormatStr = c.displayKind == fkDateTime ? "dd.mm.yyyy" : "";
        EXPECT_EQ(Fill(c.text), c.expected);
    }
}

// A memo showing a field of a user dataset prints its value as a memo with an expression
// does: a time of day as the time alone, a date as the date.
TEST_F(ExpressionTest, AUserDataSetFieldPrintsATimeOfDayWithoutTheZeroDate)
{
    auto* user = new TrpUserDataSet(R);
    user->GetFields()->SetText("T\r\nD\r\nA\r\nN\r\n");
    user->OnGetValue = TrpGetValueEvent::Lambda([](const AnsiString& name, Variant& v) {
        if (name == "T")
            v = Variant(EncodeTime(17, 2, 39, 0));
        else if (name == "D")
            v = Variant(EncodeDate(2026, 12, 7));
        else if (name == "A")
            v = Variant(EncodeDate(2026, 12, 7) + EncodeTime(17, 2, 39, 0));
        else
            v = Variant(12.5);
    });
    struct Case {
        const char* field;
        const char* expected;
    };
    const Case cases[] = {
        {"T", "17:02:39"}, {"D", "07.12.2026"}, {"A", "07.12.2026 17:02:39"}, {"N", "12,5"}};
    Memo->SetDataSet(user);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        Memo->SetDataField(c.field);
        EXPECT_EQ(Fill(""), c.expected);
    }
    Memo->SetDataSet(nullptr);
}

TEST_F(ExpressionTest, MemoWithoutExpressionsKeepsBrackets)
{
    Memo->AllowExpressions = false;
    EXPECT_EQ(Fill("[1+1]"), "[1+1]");
}

TEST_F(ExpressionTest, HideZerosEmptiesNumbersNotTexts)
{
    Memo->HideZeros = true;
    EXPECT_EQ(Fill("[0]"), "");
    EXPECT_EQ(Fill("[0.0]"), "");
    EXPECT_EQ(Fill("['0']"), "0");
    EXPECT_EQ(Fill("[5]"), "5");
}

TEST_F(ExpressionTest, NullPrintsNothingInEveryFormat)
{
    EXPECT_EQ(Fill("[Null #BДа,Нет]"), "");
    EXPECT_EQ(Fill("[Null #N0.00]"), "");
}

TEST_F(ExpressionTest, SuppressRepeatedPrintsEqualTextsOnce)
{
    Memo->SuppressRepeated = true;
    EXPECT_EQ(Fill("[1]"), "1");
    EXPECT_EQ(Fill("[1]"), "");
    EXPECT_EQ(Fill("[2]"), "2");
}

TEST_F(ExpressionTest, DataFieldMemoShowsTheFieldAndItsValue)
{
    Memo->SetDataSet(DS);
    Memo->SetDataField("Сумма");
    Memo->BeforePrint();
    Memo->GetData();
    EXPECT_EQ(Memo->Value.AsDouble(), 12.5);
    EXPECT_EQ(R->GetLocalValue().AsDouble(), 12.5);
    Memo->GetDisplayFormat()->Kind = fkNumeric;
    Memo->GetDisplayFormat()->FormatStr = "#0.000";
    Memo->GetData();
    EXPECT_EQ(Memo->GetText(), "12,500\r\n");
}

TEST_F(ExpressionTest, HighlightFollowsItsCondition)
{
    Memo->GetHighlight()->Condition = "Value > 10";
    EXPECT_EQ(Fill("[rpDBDataset2.\"Сумма\"]"), "12,5");
    EXPECT_TRUE(Memo->GetHighlight()->Active);
    EXPECT_EQ(Fill("[3]"), "3");
    EXPECT_FALSE(Memo->GetHighlight()->Active);
}

TEST_F(ExpressionTest, TotalPagesIsReplacedWhenDrawn)
{
    Memo->SetText("стр. [Page#] из [TOTALPAGES#]");
    Memo->PageTotal = 12;
    Memo->ExtractTotalPages();
    EXPECT_EQ(Memo->GetText(), "стр. [Page#] из 12\r\n");
}

TEST_F(ExpressionTest, EveryTotalPagesMarkerIsReplaced)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"[TotalPages#] / [totalpages#]", "7 / 7\r\n"},
        {"из [TotalPages#], всего [TOTALPAGES#] л. [TotalPages#]", "из 7, всего 7 л. 7\r\n"},
        {"[TotalPages#][TotalPages#]", "77\r\n"},
        {"[TotalPages]", "[TotalPages]\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Memo->SetText(c.text);
        Memo->PageTotal = 7;
        Memo->ExtractTotalPages();
        EXPECT_EQ(Memo->GetText(), c.expected);
    }
}

TEST_F(ExpressionTest, TagStrIsExpandedDuringOutputOnly)
{
    Memo->TagStr = "итог [1+1]";
    Memo->BeforePrint();
    Memo->GetData();
    EXPECT_EQ(Memo->TagStr, "итог 2");
    Memo->AfterPrint();
    EXPECT_EQ(Memo->TagStr, "итог [1+1]");
}

TEST_F(ExpressionTest, PascalScriptReadsAMemoAndADatasetField)
{
    Memo->SetText("Шапка");
    R->GetVariables()->SetVariable("result", Variant(0));
    R->GetScriptText()->SetText(
        "begin\r\n"
        "  Set('result', Memo1.Text + '|' + VarToStr(<rpDBDataset2.\"Name\">) + '|' +\r\n"
        "      VarToStr(MasterData1.Objects[0] = Memo1));\r\n"
        "  Memo1.Text := 'из скрипта';\r\n"
        "end.");
    Engine(R)->RunBody = [&](TFakeEngine&) { return true; };
    ASSERT_TRUE(R->PrepareReport()) << R->Errors.GetText();
    const AnsiString got = VarToStr(R->GetVariables()->GetVariable("result"));
    EXPECT_EQ(got, "Шапка\r\n|Гвозди|True");
    EXPECT_EQ(Memo->GetText(), "из скрипта\r\n");
}

// A routine of the report's script given a growing text lets go of it when the call returns,
// so the caller's next append copies nothing, also when it reads the text through IIF, whose
// arguments are evaluated in the routine's scope while the call runs. A routine declared
// inside it that names the text may run later: there the text is kept.
TEST_F(ExpressionTest, ARoutineReadingItsTextThroughIIFLetsGoOfItAfterTheCall)
{
    struct Case {
        const char* why;
        const char* routine; // Note(t: String), called with 'x', 'xx', 'xxx'
        bool kept;
    };
    const Case cases[] = {
        {"in the condition", "procedure Note(t: String); begin Memo1.Text := IIF(t = '', '-', 'some'); end;", false},
        {"in the branch taken", "procedure Note(t: String); begin Memo1.Text := IIF(t <> '', t, '-'); end;", false},
        {"in a routine declared inside",
         "procedure Note(t: String);\r\n  procedure Put; begin Memo1.Text := IIF(t <> '', t, '-'); end;\r\n"
         "begin Put; end;",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        R->GetScriptText()->SetText(AnsiString("var s: String; i: Integer;\r\n") + c.routine +
                                    "\r\nbegin s := ''; for i := 1 to 3 do begin s := s + 'x'; Note(s); end; end.");
        Engine(R)->RunBody = [&](TFakeEngine&) { return true; };
        ASSERT_TRUE(R->PrepareReport()) << R->Errors.GetText();
        EXPECT_EQ(Memo->GetText(), std::string(c.why) == "in the condition" ? "some\r\n" : "xxx\r\n");
        const auto* note = dynamic_cast<TscProcVariable*>(R->GetScript()->FindLocal("Note"));
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(VarToStr(note->GetParam(0)->Value), c.kept ? "xxx" : "");
    }
}

// IIF reads its arguments in the scope of the routine that calls it: the same argument text in
// two routines, or in the main program and a routine, reads each one's own names.
TEST_F(ExpressionTest, IIFInTwoRoutinesReadsEachOnesOwnNames)
{
    struct Case {
        const char* why;
        const char* script;
        const char* memo;
    };
    const Case cases[] = {
        {"a parameter of the same name, in the branch taken",
         "var r: String;\r\n"
         "procedure A(t: String); begin r := r + IIF(t <> '', t + '.', '-'); end;\r\n"
         "procedure B(t: String); begin r := r + IIF(t <> '', t + '.', '-'); end;\r\n"
         "begin r := ''; A('a'); B('b'); A('c'); Memo1.Text := r; end.",
         "a.b.c."},
        {"a parameter of the same name, in the condition",
         "var r: String;\r\n"
         "procedure A(t: String); begin r := r + IIF(t = 'b', 'B', 'x'); end;\r\n"
         "procedure B(t: String); begin r := r + IIF(t = 'b', 'B', 'x'); end;\r\n"
         "begin r := ''; A('a'); B('b'); Memo1.Text := r; end.",
         "xB"},
        {"a local of a routine and a global of the same name",
         "var n: Integer; r: String;\r\n"
         "procedure A; var n: Integer; begin n := 2; r := r + VarToStr(IIF(n > 1, n * 10, 0)); end;\r\n"
         "begin n := 5; r := VarToStr(IIF(n > 1, n * 10, 0)); A; Memo1.Text := r; end.",
         "5020"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        R->GetScriptText()->SetText(c.script);
        Engine(R)->RunBody = [&](TFakeEngine&) { return true; };
        ASSERT_TRUE(R->PrepareReport()) << R->Errors.GetText();
        EXPECT_EQ(Memo->GetText(), AnsiString(c.memo) + "\r\n");
    }
}

TEST_F(ExpressionTest, ScriptSeesEnumerationsConstantsAndDateFunctions)
{
    EXPECT_EQ(R->Calc("skDiagonal1").AsInteger(), static_cast<int>(skDiagonal1));
    EXPECT_EQ(R->Calc("pbPrint + pbZoom").AsInteger(), static_cast<int>(TrpPreviewButtons{pbPrint, pbZoom}.Bits()));
    EXPECT_EQ(R->Calc("clTransparent").AsInteger(), static_cast<int>(clNone));
    EXPECT_EQ(R->Calc("DayOf(EncodeDate(2006, 12, 31))").AsInteger(), 31);
    EXPECT_EQ(R->Calc("MonthOf(EncodeDate(2006, 12, 31))").AsInteger(), 12);
    EXPECT_EQ(R->Calc("YearOf(EncodeDate(2006, 12, 31))").AsInteger(), 2006);
}

TEST_F(ExpressionTest, ScriptUsesReportObjectsThroughCheckedHandles)
{
    R->GetScriptText()->SetText(
        "begin\r\n"
        "  Report.Variables['v'] := 11;\r\n"
        "  Set('free', Engine.FreeSpace);\r\n"
        "  Memo1.Parent := Page1;\r\n"
        "end.");
    ASSERT_TRUE(R->PrepareReport()) << (R->Errors.Count() ? R->Errors[0].c_str() : "");
    EXPECT_EQ(R->GetVariables()->GetVariable("v").AsInteger(), 11);
    EXPECT_EQ(R->GetVariables()->GetVariable("free").AsDouble(), 123.5);
    EXPECT_EQ(Memo->Parent(), Page);
}

TEST_F(ExpressionTest, ScriptCannotClearTheReportItIsBuilding)
{
    R->GetScriptText()->SetText("begin\r\n  Page1.Clear;\r\nend.");
    EXPECT_FALSE(R->PrepareReport());
    EXPECT_NE(R->FindObject("Memo1"), nullptr) << "the objects survive";
    ASSERT_GE(R->Errors.Count(), 1);
    EXPECT_NE(R->Errors[0].find("while the report is being built"), AnsiString::npos) << R->Errors[0];
}

TEST_F(ExpressionTest, DeepVariableChainsEndInAnErrorNotAStackOverflow)
{
    for (int i = 0; i < 200; ++i)
        R->GetVariables()->SetVariable("v" + IntToStr(i), Variant("v" + IntToStr(i + 1)));
    R->GetVariables()->SetVariable("v200", Variant(1));
    EXPECT_THROW(R->Calc("v0"), Exception);
    bool found = false;
    for (int i = 0; i < R->Errors.Count(); ++i)
        found = found || R->Errors[i].find("nested deeper than") != AnsiString::npos;
    EXPECT_TRUE(found) << R->Errors.GetText();
    EXPECT_EQ(R->Calc("v150").AsInteger(), 1) << "a chain within the limit still works";
}

TEST_F(ExpressionTest, AFreedObjectIsAStaleHandleNotADanglingPointer)
{
    EXPECT_EQ(VarToStr(R->Calc("Memo1.Name")), "Memo1");
    delete Memo;
    Memo = nullptr;
    R->CurObject = "Memo2";
    EXPECT_THROW(R->Calc("Memo1.Name + ''"), Exception);
    ASSERT_EQ(R->Errors.Count(), 1);
    EXPECT_EQ(R->Errors[0].rfind("Memo2: Ошибка в выражении 'Memo1.Name + ''': ", 0), 0u) << R->Errors[0];
}

// A dataset field read by name is remembered per text; every change of what the name
// stands for must be seen by the next read, and a freed dataset never read again.
TEST_F(ExpressionTest, FieldNamesFollowEveryChangeOfTheDatasets)
{
    struct Case {
        const char* why;
        std::function<void(TrpDBDataset* first, TrpDBDataset* second)> change;
        bool freesFirst = false;
    };
    const Case cases[] = {
        {"the first one renamed away", [](TrpDBDataset* first, TrpDBDataset*) { first->SetUserName("Прочее"); }},
        {"the first one renamed with its component name",
         [](TrpDBDataset* first, TrpDBDataset*) { first->SetName("Renamed"); }},
        {"the first one freed", [](TrpDBDataset* first, TrpDBDataset*) { delete first; }, true},
        {"the list entry given the second one",
         [this](TrpDBDataset*, TrpDBDataset* second) { R->GetDataSets()->Items(0)->SetDataSet(second); }},
        {"the second one moved to the front",
         [this](TrpDBDataset*, TrpDBDataset*) { R->GetDataSets()->Items(1)->SetIndex(0); }},
        {"the first one's entry removed", [this](TrpDBDataset*, TrpDBDataset*) { R->GetDataSets()->Delete(0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        R->GetDataSets()->Clear();
        // The first one's user name follows its component name; the second takes the same
        // name, and the first in the list answers to it.
        auto* first = AddDataSet(R, "Sklad", {{Variant(1), Variant("a"), Variant(12.5), Variant(true)}});
        auto* second = AddDataSet(R, "Second", {{Variant(2), Variant("b"), Variant(99.0), Variant(false)}});
        second->SetUserName("Sklad");
        first->First();
        second->First();
        EXPECT_EQ(R->Calc("Sklad.\"Сумма\"").AsDouble(), 12.5);
        c.change(first, second);
        EXPECT_EQ(R->Calc("Sklad.\"Сумма\"").AsDouble(), 99.0);
        delete second;
        if (!c.freesFirst)
            delete first;
    }
}

// Arithmetic over bracketed fields reads the fields where they lie only while the names they
// were found under still stand: after each change of the datasets the same text reads the
// dataset the name now means, with a run-line hook and without.
TEST_F(ExpressionTest, FieldArithmeticFollowsEveryChangeOfTheDatasets)
{
    struct Case {
        const char* why;
        std::function<void(TrpDBDataset* first, TrpDBDataset* second)> change;
        bool freesFirst = false;
    };
    const Case cases[] = {
        {"the first one renamed away", [](TrpDBDataset* first, TrpDBDataset*) { first->SetUserName("Other"); }},
        {"the first one freed", [](TrpDBDataset* first, TrpDBDataset*) { delete first; }, true},
        {"the list entry given the second one",
         [this](TrpDBDataset*, TrpDBDataset* second) { R->GetDataSets()->Items(0)->SetDataSet(second); }},
        {"the second one moved to the front",
         [this](TrpDBDataset*, TrpDBDataset*) { R->GetDataSets()->Items(1)->SetIndex(0); }},
    };
    const char* const texts[] = {"<Sklad.\"Сумма\"> * 2 + 1", "<Sklad.\"ID\"> + <Sklad.\"Сумма\"> / 4"};
    const double before[] = {26, 4.125}, after[] = {199, 26.75};
    for (const bool hooked : {false, true})
        for (const Case& c : cases)
            for (int t = 0; t < 2; ++t) {
                SCOPED_TRACE(std::string(c.why) + ": " + texts[t] + (hooked ? ", hooked" : ""));
                std::unique_ptr<TscScript> hook;
                if (hooked) {
                    hook = std::make_unique<TscScript>(nullptr);
                    hook->OnRunLine = [](TscScript*, const AnsiString&, const AnsiString&) {};
                }
                R->GetDataSets()->Clear();
                auto* first = AddDataSet(R, "Sklad", {{Variant(1), Variant("a"), Variant(12.5), Variant(true)}});
                auto* second = AddDataSet(R, "Second", {{Variant(2), Variant("b"), Variant(99.0), Variant(false)}});
                second->SetUserName("Sklad");
                first->First();
                second->First();
                ASSERT_TRUE(R->PrepareScript()) << R->GetScript()->ErrorText.c_str();
                for (int k = 0; k < 2; ++k)
                    EXPECT_EQ(R->Calc(texts[t]).AsDouble(), before[t]);
                c.change(first, second);
                for (int k = 0; k < 2; ++k)
                    EXPECT_EQ(R->Calc(texts[t]).AsDouble(), after[t]);
                delete second;
                if (!c.freesFirst)
                    delete first;
            }
}

// While a text for another page is recorded, arithmetic over bracketed fields reads them as
// the recording sees them, so the text made again later gives the recorded row's values,
// whichever row is current then; with a run-line hook and without.
TEST_F(ExpressionTest, FieldArithmeticMadeAgainGivesTheRecordedRow)
{
    auto* ds = AddDataSet(R, "Sklad", {{Variant(1), Variant("a"), Variant(12.5), Variant(true)},
                                       {Variant(2), Variant("b"), Variant(99.0), Variant(false)}});
    ASSERT_TRUE(R->PrepareScript()) << R->GetScript()->ErrorText.c_str();
    const char* const texts[] = {"<Sklad.\"Сумма\"> * 2 + 1", "<Sklad.\"ID\"> + <Sklad.\"Сумма\"> / 4"};
    for (const bool hooked : {false, true})
        for (const char* text : texts) {
            SCOPED_TRACE(std::string(text) + (hooked ? ", hooked" : ""));
            std::unique_ptr<TscScript> hook;
            if (hooked) {
                hook = std::make_unique<TscScript>(nullptr);
                hook->OnRunLine = [](TscScript*, const AnsiString&, const AnsiString&) {};
            }
            ds->First();
            const double first = R->Calc(text).AsDouble();
            TrpReport::TPageTextLog log;
            R->PageTextLog = &log;
            const double recorded = R->Calc(text).AsDouble();
            ds->Next();
            log.Replay = true;
            log.Next = 0;
            const double replayed = R->Calc(text).AsDouble();
            R->PageTextLog = nullptr;
            EXPECT_EQ(recorded, first);
            EXPECT_EQ(replayed, first);
            EXPECT_NE(R->Calc(text).AsDouble(), first) << "the second row";
        }
}

// A compiled expression is evaluated without running its function's body as a statement
// list while no host follows the lines, and as a call while one does. Both must give the
// same value of the same type, and the same error with the same text and position.
TEST_F(ExpressionTest, ExpressionsEvaluateAlikeWithALineHookAndWithout)
{
    R->GetScriptText()->SetText("function Deep(N: Integer): Integer; begin Result := Deep(N + 1) end;\r\n"
                                "begin end.");
    R->OnUserFunction = TrpUserFunctionEvent::Lambda([this](const AnsiString& name, Variant& params) -> Variant {
        if (name == "BOOM")
            throw Exception("склад закрыт");
        if (name == "SCOPE") {
            const TscScript* s = R->GetScript()->CurrentScope;
            return Variant(AnsiString(!s ? "none" : s == R->GetScript() ? "report" : "other"));
        }
        // STOP: a host stops the expression's script, then answers or fails.
        R->GetExpressionCache()->GetScript()->Terminate();
        if (VarArrayGet(params, {0}).AsInteger() < 0)
            throw Exception("остановлено");
        return VarArrayGet(params, {0});
    });
    R->AddFunction("function Boom(X: Integer): Integer");
    R->AddFunction("function Scope: String");
    R->AddFunction("function Stop(X: Integer): Integer");
    ASSERT_TRUE(R->PrepareScript()) << R->GetScript()->ErrorText.c_str();
    auto* mem = static_cast<TMemDataSet*>(DS->GetDataSet());

    struct Case {
        const char* text;
        std::function<void()> before;  // puts the data as the case needs it
    };
    const auto row = [this](int n) {
        return [this, n] {
            DS->First();
            for (int i = 1; i < n; ++i)
                DS->Next();
        };
    };
    const auto nulls = [this, row](bool convert) {
        return [this, row, convert] {
            row(2)();
            R->GetEngineOptions()->ConvertNulls = convert;
        };
    };
    const Case cases[] = {
        {"<rpDBDataset2.\"Сумма\"> * <rpDBDataset2.\"ID\"> + 1", row(1)},
        {"<rpDBDataset2.\"Сумма\"> * 2", nulls(true)},
        {"<rpDBDataset2.\"Сумма\"> * 2", nulls(false)},
        {"<rpDBDataset2.\"Name\"> + '!'", nulls(true)},
        {"<rpDBDataset2.\"Flag\">", nulls(true)},
        {"'<' + <rpDBDataset2.\"Name\"> + '>'", row(1)},
        {"2147483647 + <rpDBDataset2.\"ID\">", row(1)},
        {"9223372036854775807 - <rpDBDataset2.\"ID\">", row(1)},
        {"1 / 3 + <rpDBDataset2.\"ID\">", row(1)},
        {"Null", row(1)},
        {"<rpDBDataset2.\"ID\"> div 0", row(1)},
        {"'a' * <rpDBDataset2.\"ID\">", row(1)},
        {"'a' + <rpDBDataset2.\"Name\">", [mem] { mem->Close(); }},
        {"Boom(1) + 1", row(1)},
        {"IIF(<rpDBDataset2.\"ID\"> > 1, 'big', 1 div 0)", row(1)},
        {"IIF(<rpDBDataset2.\"ID\"> > 1, 'big', 'small')", row(2)},
        {"Stop(5) + 1", row(1)},
        {"Stop(-1) + 1", row(1)},
        {"Scope", row(1)},
        {"Deep(0)", row(1)},
    };
    struct Outcome {
        AnsiString value, type, error, errorLine, pos, unit, mainPos;
    };
    TscScript* const exprScript = R->GetExpressionCache()->GetScript();
    const auto evaluate = [&](const Case& c) {
        if (!mem->Active())
            mem->Open();
        R->GetEngineOptions()->ConvertNulls = true;
        c.before();
        R->Errors.Clear();
        exprScript->RunErrorPos = exprScript->RunErrorUnit = R->GetScript()->RunErrorPos = "-";
        Outcome o;
        try {
            const Variant v = R->Calc(c.text);
            o.value = VarToStr(v);
            o.type = IntToStr(VarType(v));
        } catch (const std::exception& e) {
            o.error = e.what();
        }
        o.errorLine = R->Errors.GetText();
        o.pos = exprScript->RunErrorPos;
        o.unit = exprScript->RunErrorUnit;
        o.mainPos = R->GetScript()->RunErrorPos;
        return o;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Outcome direct = evaluate(c);
        Outcome called;
        {
            TscScript hooked(nullptr);
            hooked.OnRunLine = [](TscScript*, const AnsiString&, const AnsiString&) {};
            called = evaluate(c);
        }
        Outcome again = evaluate(c);
        for (const Outcome* o : {&std::as_const(called), &std::as_const(again)}) {
            EXPECT_EQ(direct.value, o->value);
            EXPECT_EQ(direct.type, o->type);
            EXPECT_EQ(direct.error, o->error);
            EXPECT_EQ(direct.errorLine, o->errorLine);
            EXPECT_EQ(direct.pos, o->pos);
            EXPECT_EQ(direct.unit, o->unit);
            EXPECT_EQ(direct.mainPos, o->mainPos);
        }
    }
    EXPECT_EQ(VarToStr(R->Calc("Scope")), "none") << "an expression leaves the report's scope as it is";
    EXPECT_EQ(R->Calc("Stop(7) + 1").AsInteger(), 8) << "a stopped script still gives the value";
}

// Bracketed fields under + - * / are read as numbers where they lie; a call of Get with a
// name it must compute reads them the general way. Every kind a field's cell may hold, paired
// with every other, gives the same value of the same type (bit for bit), or the same error,
// by both routes, with a line hook set and without; so do a closed dataset and a missing field.
TEST_F(ExpressionTest, BracketedFieldsComputeAsTheGeneralReadOfThem)
{
    const Variant kinds[] = {
        Variant(7),                                  // Integer
        Variant(-3),                                 // Integer below zero
        Variant(5000000000LL),                       // Largeint
        Variant(static_cast<long long>(1LL << 60)),  // Largeint past 2^53
        Variant(12.5),                               // Float
        Variant(0.1),                                // Float double holds inexactly
        Variant(0.0),                                // Float zero: a divisor
        Variant(Currency::FromScaled(123456)),       // Currency, BCD
        Variant("3"),                                // String
        Variant(TDateTime(45000.25)),                // Date
        Variant(true),                               // Boolean
        Null(),                                      // Null
    };
    std::vector<TMemDataSet::Row> rows;
    for (const Variant& a : kinds)
        for (const Variant& b : kinds)
            rows.push_back({a, Variant("x"), b, Variant(true)});
    auto* ds = AddDataSet(R, "Kinds", rows);
    auto* mem = static_cast<TMemDataSet*>(ds->GetDataSet());
    ASSERT_TRUE(R->PrepareScript()) << R->GetScript()->ErrorText.c_str();

    // A and B stand for the two fields: bracketed, or read by a Get of a computed name.
    const char* const shapes[] = {
        "A * B", "A + B", "A - B", "A / B", "A * B + 1", "A * B - 0.5", "A + B * 2",
        "(A - B) / A", "A * B * A + B", "1 + A * B", "A * N", "N + A",
    };
    const auto text = [](AnsiString shape, bool bracketed) {
        const std::pair<const char*, const char*> names[] = {{"A", "ID"}, {"B", "Сумма"}, {"N", "Nope"}};
        AnsiString out;
        for (char ch : shape) {
            const auto* n = std::find_if(std::begin(names), std::end(names),
                                         [ch](const auto& p) { return p.first[0] == ch; });
            if (n == std::end(names)) {
                out += ch;
                continue;
            }
            out += bracketed ? "<Kinds.\"" + AnsiString(n->second) + "\">"
                             : "Get('Kinds.' + '\"" + AnsiString(n->second) + "\"')";
        }
        return out;
    };
    struct Outcome {
        TVarType type = varEmpty;
        AnsiString value, error;
        bool operator==(const Outcome&) const = default;
    };
    const auto evaluate = [&](const AnsiString& expr) {
        Outcome o;
        R->Errors.Clear();
        try {
            const Variant v = R->Calc(expr);
            o.type = VarType(v);
            o.value = o.type == varDouble ? IntToStr(std::bit_cast<int64_t>(v.RawDouble())) : VarToStr(v);
        } catch (const std::exception& e) {
            const AnsiString what = e.what(), mark = "': ";
            o.error = what.substr(what.find(mark) + mark.size()); // the detail, not the text
        }
        return o;
    };
    struct State {
        const char* why;
        bool convertNulls, closed;
    };
    const State states[] = {
        {"Nulls as Null", false, false}, {"Nulls as their type's empty value", true, false},
        {"the dataset closed", false, true}};
    for (const bool hooked : {false, true}) {
        std::unique_ptr<TscScript> hook;
        if (hooked) {
            hook = std::make_unique<TscScript>(nullptr);
            hook->OnRunLine = [](TscScript*, const AnsiString&, const AnsiString&) {};
        }
        for (const State& st : states) {
            R->GetEngineOptions()->ConvertNulls = st.convertNulls;
            if (!mem->Active())
                mem->Open();
            ds->First();
            if (st.closed)
                mem->Close();
            for (size_t row = 0; row < rows.size(); ++row) {
                for (const char* shape : shapes) {
                    SCOPED_TRACE(std::string(st.why) + (hooked ? ", hooked, " : ", ") + "row " +
                                 std::to_string(row) + ": " + shape);
                    const Outcome fast = evaluate(text(shape, true));
                    const Outcome general = evaluate(text(shape, false));
                    EXPECT_EQ(fast.type, general.type);
                    EXPECT_EQ(fast.value, general.value);
                    EXPECT_EQ(fast.error, general.error);
                }
                if (st.closed)
                    break;
                ds->Next();
            }
        }
    }
    R->GetEngineOptions()->ConvertNulls = true;
    if (!mem->Active())
        mem->Open();
    ds->First();
    EXPECT_EQ(R->Calc(text("A * B + 1", true)).AsDouble(), 7 * 7 + 1) << "a pair of Integers";
}

// An expression of numbers over bracketed fields is computed without its call's frame only
// where the call could be made: at the depth limit it fails as the call does, with a line hook
// set or not, for each operator; within the limit it gives the call's value.
TEST_F(ExpressionTest, FieldArithmeticAtTheCallDepthLimitFailsAsTheCall)
{
    ASSERT_TRUE(R->PrepareScript()) << R->GetScript()->ErrorText.c_str();
    const char* const texts[] = {
        "<rpDBDataset2.\"Сумма\"> * <rpDBDataset2.\"ID\"> + 1", "<rpDBDataset2.\"ID\"> - 2",
        "<rpDBDataset2.\"Сумма\"> / 4", "<rpDBDataset2.\"ID\"> * 3",
    };
    const auto evaluate = [this](const char* text) {
        R->Errors.Clear();
        try {
            return VarToStr(R->Calc(text));
        } catch (const std::exception& e) {
            return "error: " + AnsiString(e.what());
        }
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        DS->First();
        const AnsiString within = evaluate(text);
        EXPECT_EQ(within.rfind("error", 0), AnsiString::npos) << within;
        for (const bool hooked : {false, true}) {
            std::unique_ptr<TscScript> hook;
            if (hooked) {
                hook = std::make_unique<TscScript>(nullptr);
                hook->OnRunLine = [](TscScript*, const AnsiString&, const AnsiString&) {};
            }
            const int depth = std::exchange(script_detail::gCallDepth, script_detail::kMaxCallDepth);
            const AnsiString atLimit = evaluate(text);
            script_detail::gCallDepth = depth;
            EXPECT_EQ(atLimit.rfind("error: ", 0), 0u) << atLimit;
            EXPECT_EQ(evaluate(text), within);
        }
    }
}

// A text that named nothing is taken as an expression without the lookups while nothing
// they depend on moves; whatever gives it a meaning as a name shows in the next read.
TEST_F(ExpressionTest, AnExpressionTextThatLaterNamesSomethingReadsAsTheName)
{
    struct Case {
        const char* text;
        std::function<void(const AnsiString& text)> change;
        Variant want;
    };
    Engine(R)->CurLine = 42;
    const Case cases[] = {
        {"1 + 1", [this](const AnsiString& t) { R->GetVariables()->SetVariable(t, Variant(7)); }, Variant(7)},
        {"2 + 2",
         [this](const AnsiString& t) {
             R->OnGetValue = TrpGetValueEvent::Lambda([t](const AnsiString& name, Variant& v) {
                 if (name == t)
                     v = Variant(9);
             });
         },
         Variant(9)},
        {"3 + 3", [this](const AnsiString& t) { R->SysVariables.Put(6, t); }, Variant(42)},
        {"4 + 4", [this](const AnsiString&) { ASSERT_TRUE(R->PrepareScript()); }, Variant(8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const int sum = c.text[0] - '0';
        for (int pass = 0; pass < 2; ++pass)
            EXPECT_EQ(R->Calc(c.text).AsInteger(), 2 * sum);
        EXPECT_EQ(R->Calc("0").AsInteger(), 0) << "another text between";
        c.change(c.text);
        for (int pass = 0; pass < 2; ++pass)
            EXPECT_EQ(R->Calc(c.text).AsInteger(), c.want.AsInteger());
        R->OnGetValue = nullptr;
    }
}

namespace {

// The way the filling was first written: each bracket deleted and its value inserted in
// the same string, the scan going on after the value. Slow (the text is moved once per
// bracket) but plainly right; the real filling must agree with it on every text.
AnsiString FillOneStringAtATime(TrpMemoView* Memo, AnsiString s, const AnsiString& open, const AnsiString& close)
{
    size_t from = 0;
    for (;;) {
        const size_t at = s.find(open, from);
        if (at == AnsiString::npos)
            break;
        int i = static_cast<int>(at) + 1, j = i;
        const AnsiString expr = rpGetBrackedVariable(s, open, close, i, j);
        if (i == j || j < static_cast<int>(close.size()) ||
            s.compare(static_cast<size_t>(j) - close.size(), close.size(), close) != 0)
            break;
        s.erase(static_cast<size_t>(i - 1), static_cast<size_t>(j - i + 1));
        const AnsiString value = Memo->CalcAndFormat(expr);
        s.insert(static_cast<size_t>(i - 1), value);
        from = static_cast<size_t>(i - 1) + value.size();
    }
    return s;
}

// A text of pieces: whole expressions, formats, values holding brackets, nesting, strings
// with delimiters inside, lone delimiters and quotes; some of it then damaged byte by byte.
AnsiString RandomMemoText(std::mt19937& rnd, const AnsiString& open, const AnsiString& close)
{
    const std::vector<AnsiString> pieces = {
        "Склад ", " ", "итого: ", open + "1+1" + close, open + "itog" + close, open + "'[2]'" + close,
        open + "12.5 #N0.00" + close, open + "1 = 1 #BДа,Нет" + close, open + "'a" + close + "b'" + close,
        open + "\"x" + open + "\"" + close, open + "IIF(1 > 0, 'да', 'нет')" + close, open + "TotalPages#" + close,
        open + open + "1" + close + close, open + "zero" + close, open, close, "'", "\"", "ё", open + "seven" + close};
    AnsiString s;
    const int count = static_cast<int>(rnd() % 12);
    for (int k = 0; k < count; ++k)
        s += pieces[rnd() % pieces.size()];
    if (!s.empty() && rnd() % 3 == 0) {
        const char damage[] = {'[', ']', '\'', '"', '<', '>', 'x', ' '};
        for (int d = static_cast<int>(rnd() % 3); d >= 0; --d) {
            const size_t at = rnd() % s.size();
            if (rnd() % 2)
                s.erase(at, 1);
            else
                s.insert(at, 1, damage[rnd() % sizeof damage]);
            if (s.empty())
                break;
        }
    }
    return s;
}

}  // namespace

TEST_F(ExpressionTest, FillingAgreesWithTheOneStringAtATimeFilling)
{
    R->GetVariables()->SetVariable("itog", Variant("'итого'"));
    R->GetVariables()->SetVariable("zero", Variant(0));
    R->GetVariables()->SetVariable("seven", Variant(7));
    struct Case {
        const char* delimiters;
        const char* open;
        const char* close;
    };
    const Case cases[] = {{"[,]", "[", "]"}, {"<<,>>", "<<", ">>"}, {"{,}", "{", "}"}};
    std::mt19937 rnd(20261207);
    int filled = 0, failed = 0;
    for (const Case& c : cases) {
        Memo->ExpressionDelimiters = c.delimiters;
        for (int n = 0; n < 250; ++n) {
            const AnsiString text = RandomMemoText(rnd, c.open, c.close);
            SCOPED_TRACE(AnsiString(c.delimiters) + " | " + text);
            AnsiString expected, expectedError, actual, actualError;
            R->Errors.Clear();
            try {
                // The memo's own text, as GetData reads it: lines end in CR LF.
                Memo->SetText(text);
                expected = FillOneStringAtATime(Memo, Memo->GetText(), c.open, c.close);
                if (expected.size() >= 2 && expected.compare(expected.size() - 2, 2, "\r\n") == 0)
                    expected.erase(expected.size() - 2);
            } catch (const std::exception& e) {
                expectedError = e.what();
            }
            const AnsiString expectedLines = R->Errors.Text();
            R->Errors.Clear();
            try {
                actual = Fill(text);
            } catch (const std::exception& e) {
                actualError = e.what();
                Memo->AfterPrint();
            }
            EXPECT_EQ(actualError, expectedError);
            EXPECT_EQ(R->Errors.Text(), expectedLines);
            if (expectedError.empty()) {
                EXPECT_EQ(actual, expected);
                ++filled;
            } else {
                ++failed;
            }
        }
    }
    EXPECT_GT(filled, 300) << "most texts fill";
    EXPECT_GT(failed, 10) << "and some end in an expression error";
}

TEST_F(ExpressionTest, ManyBracketsAndMarkersInOneText)
{
    // Thousands of brackets, page-total markers and tag expressions in one text: every one
    // filled, in order, and none of the values scanned again.
    AnsiString text, expected, tag, tagExpected, markers, shown, extracted;
    for (int k = 0; k < 3000; ++k) {
        text += "[" + IntToStr(k) + "]['[x]'],";
        expected += IntToStr(k) + "[x],";
        tag += "[" + IntToStr(k) + "+1] ";
        tagExpected += IntToStr(k + 1) + " ";
        const AnsiString marker = k % 2 ? "[TotalPages#]" : "[totalpages#]";
        markers += marker + "|[TotalPages]";
        shown += marker + "|9";
        extracted += "9|[TotalPages]";
    }
    EXPECT_EQ(Fill(text), expected);
    Memo->TagStr = tag;
    Memo->BeforePrint();
    Memo->GetData();
    EXPECT_EQ(Memo->TagStr, tagExpected);
    Memo->AfterPrint();
    Memo->SetText(markers);
    Memo->PageTotal = 9;
    EXPECT_EQ(Memo->GetComponentText(), shown + "\r\n");
    Memo->ExtractTotalPages();
    EXPECT_EQ(Memo->GetText(), extracted + "\r\n");
}

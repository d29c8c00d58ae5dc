// Report scripts driving the real engine and outline: a page built by script, outline
// entries added from band events, the object lists a script walks and moves objects
// between; each in the four script syntaxes.
#include "report/output/tests/EngineTestSupport.h"

#include "report/output/rpOutline.h"

#include "report/model/rpRes.h"
#include "report/model/rpXML.h"

#include "platform/rtl/SysUtils.h"

namespace {

struct TSyntaxCase {
    const char* language;
    const char* script;
};

AnsiString Texts(TrpPreviewPages* Pages)
{
    AnsiString out;
    for (int i = 0; i < Pages->GetCount(); ++i) {
        out += "|";
        for (const AnsiString& s : PageTexts(Pages, i))
            out += s + ";";
    }
    return out;
}

// The outline as "text@page" entries, nesting in brackets.
AnsiString OutlineDump(TrpXMLItem* Item)
{
    AnsiString out;
    for (int i = 0; i < Item->Count(); ++i) {
        TrpXMLItem* e = Item->Items(i);
        out += e->Prop("text") + "@" + e->Prop("page");
        if (e->Count() > 0)
            out += "[" + OutlineDump(e) + "]";
        out += ";";
    }
    return out;
}

AnsiString OutlineDump(TrpPreviewPages* Pages)
{
    auto* outline = dynamic_cast<TrpOutline*>(Pages->Outline());
    return outline ? OutlineDump(outline->Root()) : AnsiString("no outline");
}

void SetScript(TTestReport& T, const TSyntaxCase& C)
{
    T.Report()->ScriptLanguage = C.language;
    T.Report()->GetScriptText()->SetText(C.script);
}

// A page built by its OnManualBuild procedure: a band shown, a new page, the band again
// while there is room; the band's event adds an outline entry each time.
TEST(EngineScript, PageBuiltByScriptThroughEngineAndOutline)
{
    const TSyntaxCase cases[] = {
        {"PascalScript",
         "procedure Build;\n"
         "begin\n"
         "  Engine.ShowBand(Row1);\n"
         "  Engine.NewPage;\n"
         "  if Engine.FreeSpace > 100 then Engine.ShowBand(Row1);\n"
         "  Note.Text := 'free ' + IntToStr(Round(Engine.FreeSpace));\n"
         "  Engine.ShowBand(Row1);\n"
         "end;\n"
         "procedure RowEvent;\n"
         "begin\n"
         "  Outline.AddItem('x');\n"
         "  Outline.LevelUp;\n"
         "end;\n"
         "begin end."},
        {"C++Script",
         "void Build() {\n"
         "  Engine.ShowBand(Row1);\n"
         "  Engine.NewPage();\n"
         "  if (Engine.FreeSpace() > 100) Engine.ShowBand(Row1);\n"
         "  Note.Text = \"free \" + IntToStr(Round(Engine.FreeSpace()));\n"
         "  Engine.ShowBand(Row1);\n"
         "}\n"
         "void RowEvent() {\n"
         "  Outline.AddItem(\"x\");\n"
         "  Outline.LevelUp();\n"
         "}\n"
         "{ }"},
        {"JScript",
         "function Build() {\n"
         "  Engine.ShowBand(Row1);\n"
         "  Engine.NewPage();\n"
         "  if (Engine.FreeSpace() > 100) Engine.ShowBand(Row1);\n"
         "  Note.Text = \"free \" + IntToStr(Round(Engine.FreeSpace()));\n"
         "  Engine.ShowBand(Row1);\n"
         "}\n"
         "function RowEvent() {\n"
         "  Outline.AddItem(\"x\");\n"
         "  Outline.LevelUp();\n"
         "}\n"},
        {"BasicScript",
         "Sub Build\n"
         "  Engine.ShowBand(Row1)\n"
         "  Engine.NewPage\n"
         "  If Engine.FreeSpace > 100 Then Engine.ShowBand(Row1)\n"
         "  Note.Text = \"free \" & IntToStr(Round(Engine.FreeSpace))\n"
         "  Engine.ShowBand(Row1)\n"
         "End Sub\n"
         "Sub RowEvent\n"
         "  Outline.AddItem(\"x\")\n"
         "  Outline.LevelUp\n"
         "End Sub\n"},
    };
    for (const TSyntaxCase& c : cases) {
        SCOPED_TRACE(c.language);
        TTestReport t;
        SetScript(t, c);
        t.Page()->OnManualBuild = "Build";
        auto* row = t.Band<TrpChild>(10, 20);
        row->SetName("Row1");
        row->OnBeforePrint = "RowEvent";
        t.Memo(row, 0, 0, 100, 20, "Row");
        t.Memo(row, 100, 0, 100, 20, "")->SetName("Note");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(t.Errors(), "");
        // 189 units inside the page; two rows of 20 on the second page leave 169.
        EXPECT_EQ(Texts(t.Pages()), "|Row;;|Row;;Row;free 169;");
        EXPECT_EQ(OutlineDump(t.Pages()), "x@0;x@1;x@1;");
    }
}

// A band shown from a band's own event runs the same handler again before the outer call
// ends; the outer call goes on with its own Sender and locals.
TEST(EngineScript, AHandlerEnteredAgainByTheBandItShowsKeepsItsSender)
{
    const TSyntaxCase cases[] = {
        {"PascalScript",
         "procedure Build;\nbegin\n  Engine.ShowBand(Row1);\nend;\n"
         "procedure RowEvent(Sender: TrpComponent);\nvar s: String;\nbegin\n  s := Sender.Name;\n"
         "  if s = 'Row1' then Engine.ShowBand(Row2);\n  Note.Text := s + '/' + Sender.Name;\nend;\n"
         "begin end."},
        {"C++Script",
         "void Build() {\n  Engine.ShowBand(Row1);\n}\n"
         "void RowEvent(TrpComponent Sender) {\n  string s;\n  s = Sender.Name;\n"
         "  if (s == \"Row1\") Engine.ShowBand(Row2);\n  Note.Text = s + \"/\" + Sender.Name;\n}\n"
         "{ }"},
        {"JScript",
         "function Build() {\n  Engine.ShowBand(Row1);\n}\n"
         "function RowEvent(Sender) {\n  var s = Sender.Name;\n"
         "  if (s == \"Row1\") Engine.ShowBand(Row2);\n  Note.Text = s + \"/\" + Sender.Name;\n}\n"},
        {"BasicScript",
         "Sub Build\n  Engine.ShowBand(Row1)\nEnd Sub\n"
         "Sub RowEvent(Sender)\n  Dim s\n  s = Sender.Name\n"
         "  If s = \"Row1\" Then Engine.ShowBand(Row2)\n  Note.Text = s & \"/\" & Sender.Name\nEnd Sub\n"},
    };
    for (const TSyntaxCase& c : cases) {
        SCOPED_TRACE(c.language);
        TTestReport t;
        SetScript(t, c);
        t.Page()->OnManualBuild = "Build";
        auto* row1 = t.Band<TrpChild>(10, 20);
        row1->SetName("Row1");
        row1->OnBeforePrint = "RowEvent";
        t.Memo(row1, 0, 0, 100, 20, "")->SetName("Note");
        auto* row2 = t.Band<TrpChild>(40, 20);
        row2->SetName("Row2");
        row2->OnBeforePrint = "RowEvent";
        t.Memo(row2, 0, 0, 100, 20, "second");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), "|second;Row1/Row1;");
    }
}

// Objects and AllObjects are lists a script counts and searches; setting Parent moves an
// object into the new parent's list.
TEST(EngineScript, ObjectListsAndParent)
{
    const TSyntaxCase cases[] = {
        {"PascalScript",
         "procedure TitleEvent;\n"
         "begin\n"
         "  Memo1.Text := IntToStr(Title1.Objects.Count) + ' ' + IntToStr(Title1.Objects.IndexOf(Memo2)) + ' ' +\n"
         "    IntToStr(TList(Report.AllObjects).Count) + ' ' + IntToStr(Report.AllObjects.IndexOf(Title1));\n"
         "end;\n"
         "begin\n"
         "  Memo3.Parent := Title1;\n"
         "end."},
        {"C++Script",
         "void TitleEvent() {\n"
         "  Memo1.Text = IntToStr(Title1.Objects.Count) + \" \" + IntToStr(Title1.Objects.IndexOf(Memo2)) + \" \" +\n"
         "    IntToStr(Report.AllObjects.Count) + \" \" + IntToStr(Report.AllObjects.IndexOf(Title1));\n"
         "}\n"
         "{\n"
         "  Memo3.Parent = Title1;\n"
         "}"},
        {"JScript",
         "function TitleEvent() {\n"
         "  Memo1.Text = IntToStr(Title1.Objects.Count) + \" \" + IntToStr(Title1.Objects.IndexOf(Memo2)) + \" \" +\n"
         "    IntToStr(Report.AllObjects.Count) + \" \" + IntToStr(Report.AllObjects.IndexOf(Title1));\n"
         "}\n"
         "Memo3.Parent = Title1;\n"},
        {"BasicScript",
         "Sub TitleEvent\n"
         "  Memo1.Text = IntToStr(Title1.Objects.Count) & \" \" & IntToStr(Title1.Objects.IndexOf(Memo2)) & \" \" & "
         "IntToStr(Report.AllObjects.Count) & \" \" & IntToStr(Report.AllObjects.IndexOf(Title1))\n"
         "End Sub\n"
         "Memo3.Parent = Title1\n"},
    };
    for (const TSyntaxCase& c : cases) {
        SCOPED_TRACE(c.language);
        TTestReport t;
        SetScript(t, c);
        auto* title = t.Band<TrpReportTitle>(0, 60);
        title->SetName("Title1");
        title->OnBeforePrint = "TitleEvent";
        t.Memo(title, 0, 0, 200, 20, "")->SetName("Memo1");
        t.Memo(title, 0, 20, 200, 20, "second")->SetName("Memo2");
        auto* other = t.Band<TrpPageFooter>(100, 40);
        t.Memo(other, 0, 20, 200, 20, "moved")->SetName("Memo3");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(t.Errors(), "");
        // Report: Page1, Title1 with Memo1, Memo2 and the moved Memo3, the footer.
        EXPECT_EQ(PageTexts(t.Pages(), 0).front(), "3 1 6 1");
        ASSERT_EQ(title->ObjectCount(), 3);
        EXPECT_EQ(title->Object(2)->Name(), "Memo3");
    }
}

// The engine used by the report's main block, before any page exists and on a template
// reloaded after the previous run, does nothing: there is no page to put anything on.
TEST(EngineScript, EngineOutsideARunDoesNothing)
{
    const TSyntaxCase cases[] = {
        {"PascalScript", "begin\n  Engine.NewPage;\n  Engine.NewColumn;\n  Engine.ShowBand(Row1);\nend."},
        {"C++Script", "{\n  Engine.NewPage();\n  Engine.NewColumn();\n  Engine.ShowBand(Row1);\n}"},
        {"JScript", "Engine.NewPage();\nEngine.NewColumn();\nEngine.ShowBand(Row1);\n"},
        {"BasicScript", "Engine.NewPage\nEngine.NewColumn\nEngine.ShowBand(Row1)\n"},
    };
    for (const TSyntaxCase& c : cases) {
        SCOPED_TRACE(c.language);
        TTestReport t;
        t.Report()->GetEngineOptions()->RestoreReport = true;
        SetScript(t, c);
        auto* row = t.Band<TrpMasterData>(10, 20);
        row->SetName("Row1");
        row->SetRowCount(1);
        t.Memo(row, 0, 0, 100, 20, "row");
        t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 100, 15, "foot");
        for (int run = 1; run <= 2; ++run) {
            ASSERT_TRUE(t.Prepare()) << t.Errors();
            EXPECT_EQ(Texts(t.Pages()), "|row;foot;");
        }
    }
}

// A table of contents: the title asks for the pages of rows that the first of two passes
// anchored, by texts in another case; the rows anchor themselves by name.
TEST(EngineScript, AnchorsOfTheFirstPassGiveTheTitleItsPages)
{
    const TSyntaxCase cases[] = {
        {"PascalScript",
         "procedure TitleEvent;\nbegin\n"
         "  Toc.Text := 'p' + IntToStr(Engine.GetAnchorPage('ITEM 12')) + ' p' + IntToStr(Engine.GetAnchorPage('item 20')) +\n"
         "    ' p' + IntToStr(Engine.GetAnchorPage('Item 99'));\nend;\n"
         "procedure RowEvent;\nbegin\n  Engine.AddAnchor(<D.\"Name\">);\nend;\nbegin end."},
        {"C++Script",
         "void TitleEvent() {\n"
         "  Toc.Text = \"p\" + IntToStr(Engine.GetAnchorPage(\"ITEM 12\")) + \" p\" + IntToStr(Engine.GetAnchorPage(\"item 20\")) +\n"
         "    \" p\" + IntToStr(Engine.GetAnchorPage(\"Item 99\"));\n}\n"
         "void RowEvent() {\n  Engine.AddAnchor(<D.\"Name\">);\n}\n{ }"},
        {"JScript",
         "function TitleEvent() {\n"
         "  Toc.Text = \"p\" + IntToStr(Engine.GetAnchorPage(\"ITEM 12\")) + \" p\" + IntToStr(Engine.GetAnchorPage(\"item 20\")) +\n"
         "    \" p\" + IntToStr(Engine.GetAnchorPage(\"Item 99\"));\n}\n"
         "function RowEvent() {\n  Engine.AddAnchor(<D.\"Name\">);\n}\n"},
        {"BasicScript",
         "Sub TitleEvent\n"
         "  Toc.Text = \"p\" & IntToStr(Engine.GetAnchorPage(\"ITEM 12\")) & \" p\" & IntToStr(Engine.GetAnchorPage(\"item 20\")) & "
         "\" p\" & IntToStr(Engine.GetAnchorPage(\"Item 99\"))\nEnd Sub\n"
         "Sub RowEvent\n  Engine.AddAnchor(<D.\"Name\">)\nEnd Sub\n"},
    };
    for (const TSyntaxCase& c : cases) {
        SCOPED_TRACE(c.language);
        TTestReport t;
        SetScript(t, c);
        t.Report()->GetEngineOptions()->DoublePass = true;
        auto* title = t.Band<TrpReportTitle>(0, 20);
        title->OnBeforePrint = "TitleEvent";
        t.Memo(title, 0, 0, 300, 20, "")->SetName("Toc");
        auto* row = t.Band<TrpMasterData>(30, 20);
        row->SetDataSet(t.DataSet("D", NumberedRows(20)));
        row->OnBeforePrint = "RowEvent";
        t.Memo(row, 0, 0, 100, 20, "[D.\"Name\"]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_EQ(t.Pages()->GetCount(), 3);
        EXPECT_EQ(PageTexts(t.Pages(), 1)[3], "Item 12");
        EXPECT_EQ(PageTexts(t.Pages(), 2)[2], "Item 20");
        EXPECT_EQ(PageTexts(t.Pages(), 0).front(), "p2 p3 p1") << "a text never anchored gives page 1";
    }
}

// A data set walked by script, its fields read by name, and report variables and
// expressions set and read back.
TEST(EngineScript, DataSetWalkedAndVariablesSetByScript)
{
    const TSyntaxCase cases[] = {
        {"PascalScript",
         "procedure E;\nvar ds: TrpDataSet; s: String;\nbegin\n  ds := Report.GetDataset('Rows');\n  ds.First;\n"
         "  while not ds.Eof do begin\n    s := s + IntToStr(ds.RecNo) + '=' + ds.DisplayText['Name'] + ',';\n    ds.Next;\n  end;\n"
         "  Memo1.Text := s + IntToStr(ds.FieldsCount) + VarToStr(ds.HasField('Sum')) + VarToStr(ds.Value['Sum']);\n"
         "  Report.Variables['w'] := 'x' + 'y';\n"
         "  Memo2.Text := VarToStr(Report.Variables['w']) + VarToStr(Report.Calc('2*3'));\nend;\nbegin end."},
        {"C++Script",
         "void E() {\n  TrpDataSet ds; string s;\n  ds = Report.GetDataset(\"Rows\");\n  ds.First();\n"
         "  while (!ds.Eof()) { s = s + IntToStr(ds.RecNo) + \"=\" + ds.DisplayText[\"Name\"] + \",\"; ds.Next(); }\n"
         "  Memo1.Text = s + IntToStr(ds.FieldsCount()) + VarToStr(ds.HasField(\"Sum\")) + VarToStr(ds.Value[\"Sum\"]);\n"
         "  Report.Variables[\"w\"] = \"x\" + \"y\";\n"
         "  Memo2.Text = VarToStr(Report.Variables[\"w\"]) + VarToStr(Report.Calc(\"2*3\"));\n}\n{ }"},
        {"JScript",
         "function E() {\n  var ds = Report.GetDataset(\"Rows\"); var s = \"\";\n  ds.First();\n"
         "  while (!ds.Eof()) { s = s + IntToStr(ds.RecNo) + \"=\" + ds.DisplayText[\"Name\"] + \",\"; ds.Next(); }\n"
         "  Memo1.Text = s + IntToStr(ds.FieldsCount()) + VarToStr(ds.HasField(\"Sum\")) + VarToStr(ds.Value[\"Sum\"]);\n"
         "  Report.Variables[\"w\"] = \"x\" + \"y\";\n"
         "  Memo2.Text = VarToStr(Report.Variables[\"w\"]) + VarToStr(Report.Calc(\"2*3\"));\n}\n"},
        {"BasicScript",
         "Sub E\n  Dim ds, s\n  s = \"\"\n  ds = Report.GetDataset(\"Rows\")\n  ds.First\n"
         "  While Not ds.Eof\n    s = s & IntToStr(ds.RecNo) & \"=\" & ds.DisplayText(\"Name\") & \",\"\n    ds.Next\n  Wend\n"
         "  Memo1.Text = s & IntToStr(ds.FieldsCount) & VarToStr(ds.HasField(\"Sum\")) & VarToStr(ds.Value(\"Sum\"))\n"
         "  Report.Variables[\"w\"] = \"x\" & \"y\"\n"
         "  Memo2.Text = VarToStr(Report.Variables[\"w\"]) & VarToStr(Report.Calc(\"2*3\"))\nEnd Sub\n"},
    };
    for (const TSyntaxCase& c : cases) {
        SCOPED_TRACE(c.language);
        TTestReport t;
        SetScript(t, c);
        t.DataSet("Rows", NumberedRows(3));
        auto* title = t.Band<TrpReportTitle>(0, 40);
        title->OnBeforePrint = "E";
        t.Memo(title, 0, 0, 300, 20, "")->SetName("Memo1");
        t.Memo(title, 0, 20, 300, 20, "")->SetName("Memo2");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), "|0=Item 1,1=Item 2,2=Item 3,4True30;xy6;");
        EXPECT_EQ(VarToStr(t.Report()->GetVariables()->GetVariable("w")), "xy");
    }
}

// A report object saved into a memory stream the script made is held to the stream's cap
// like every other write from a script: refused before the memory is asked for, at a
// position just short of the cap and at one so far out that the end overflows.
TEST(EngineScript, AnObjectSavedIntoAScriptsMemoryStreamIsHeldToTheCap)
{
    for (const char* half : {"134217728", "9.2e18"}) {
        SCOPED_TRACE(half);
        TTestReport t;
        t.Report()->ScriptLanguage = "PascalScript";
        t.Report()->GetScriptText()->SetText(
            AnsiString("var m: TMemoryStream; v: Variant;\nbegin\n  m := TMemoryStream.Create;\n  v := ") + half +
            ";\n  m.Seek(v, soFromBeginning);\n  m.Seek(v, soFromCurrent);\n  Note.SaveToStream(m);\nend.");
        t.Memo(t.Band<TrpReportTitle>(0, 40), 0, 0, 300, 20, "")->SetName("Note");
        EXPECT_FALSE(t.Prepare());
        EXPECT_NE(t.Errors().find("Поток в памяти слишком большой"), AnsiString::npos) << t.Errors();
    }
}

}  // namespace

// A dataset field written without angle brackets inside an expression is no field: the text
// is compiled, and its error names the memo. Read as the field 'Sum" * ' it printed 0.
TEST(EngineScript, FieldInsideAnExpressionPrintsItsValueOrAnError)
{
    const TSyntaxCase syntaxes[] = {
        {"PascalScript", "begin end."}, {"C++Script", "{}"}, {"JScript", ""}, {"BasicScript", ""}};
    struct Case {
        const char* expr;
        const char* printed;  // nullptr: the run stops with an error of this memo
    };
    const Case cases[] = {
        {"D.\"Sum\"", "10"},
        {"<D.\"Sum\">", "10"},
        {"<D.\"Sum\"> * 2", "20"},
        {"2 * <D.\"Sum\">", "20"},
        {"<D.\"Sum\"> + <D.\"Sum\">", "20"},
        {"D.\"Sum\" * 2", nullptr},
        {"D.\"Sum\" - 1", nullptr},
        {"2 * D.\"Sum\"", nullptr},
        {"D.\"Sum\" + D.\"Sum\"", nullptr},
        {"D.\"Sum\" ", nullptr},
        {"SUM(D.\"Sum\" * 2)", nullptr},
    };
    for (const TSyntaxCase& syntax : syntaxes)
        for (const Case& c : cases) {
            SCOPED_TRACE(AnsiString(syntax.language) + " [" + c.expr + "]");
            TTestReport t;
            SetScript(t, syntax);
            auto* band = t.Band<TrpMasterData>(5, 10);
            band->SetDataSet(t.DataSet("D", {{{"Sum", Variant(10)}}}));
            TrpMemoView* memo = t.Memo(band, 0, 0, 200, 10, AnsiString("[") + c.expr + "]");
            const bool built = t.Prepare();
            if (c.printed) {
                ASSERT_TRUE(built) << t.Errors();
                EXPECT_EQ(Texts(t.Pages()), AnsiString("|") + c.printed + ";");
            } else {
                EXPECT_FALSE(built);
                EXPECT_NE(t.Errors().find(memo->Name() + ": " + rpResources().Get("clExprError") + " '" + c.expr + "'"),
                          AnsiString::npos)
                    << t.Errors();
            }
        }
    // Through "Get" such a text names nothing: an unknown name, never a figure.
    TTestReport t;
    auto* band = t.Band<TrpMasterData>(5, 10);
    band->SetDataSet(t.DataSet("D", {{{"Sum", Variant(10)}}}));
    t.Memo(band, 0, 0, 200, 10, "[<D.\"Sum\" * 2>]");
    t.Prepare();
    EXPECT_EQ(Texts(t.Pages()), "|;");
    EXPECT_NE(t.Errors().find(rpResources().Get("clUnknownVar") + " D.\"Sum\" * 2"), AnsiString::npos);
}

// A value with no text (an array) stops the run with an error that names the object and the
// expression, wherever it is printed.
TEST(EngineScript, ValueWithoutTextNamesItsObject)
{
    enum class Where { Memo, MemoFormatted, MemoHideZeros, Url, Tag, BandOutline, PageOutline };
    const Where places[] = {Where::Memo,        Where::MemoFormatted, Where::MemoHideZeros, Where::Url,
                            Where::Tag,         Where::BandOutline,   Where::PageOutline};
    for (Where w : places) {
        SCOPED_TRACE(static_cast<int>(w));
        TTestReport t;
        auto* band = t.Band<TrpMasterData>(5, 10);
        band->SetDataSet(t.DataSet("D", NumberedRows(1)));
        TrpMemoView* memo = t.Memo(band, 0, 0, 200, 10, w == Where::MemoFormatted ? "[[1] #N0.00]" : "[[1]]");
        memo->HideZeros = w == Where::MemoHideZeros;
        TrpComponent* named = memo;
        if (w == Where::Url || w == Where::Tag) {
            memo->SetText("x");
            (w == Where::Url ? memo->URL : memo->TagStr) = "[[1]]";
        }
        if (w == Where::BandOutline || w == Where::PageOutline) {
            memo->SetText("x");
            if (w == Where::BandOutline)
                band->OutlineText = "[1]";
            else
                t.Page()->OutlineText = "[1]";
            named = w == Where::BandOutline ? static_cast<TrpComponent*>(band) : t.Page();
        }
        EXPECT_FALSE(t.Prepare());
        EXPECT_NE(t.Errors().find(named->Name() + ": " + rpResources().Get("clExprError") + " '[1]'"),
                  AnsiString::npos)
            << t.Errors();
    }
}

// Names that stay whole dataset fields: blanks, Cyrillic letters and quotes in the field,
// dots and blanks in the dataset's name; written in a memo, through "Get" or as a variable.
TEST(EngineScript, FieldNamesOfEveryShapeReadAsTheirField)
{
    struct Case {
        const char* dataset;
        const char* field;
        const char* memo;  // V is a variable holding the field's name
        const char* printed;
    };
    const Case cases[] = {
        {"D", "Цена с НДС", "[D.\"Цена с НДС\"]", "7"},
        {"D", "Цена с НДС", "[<D.\"Цена с НДС\"> * 2]", "14"},
        {"D", "F ", "[D.\"F \"]", "7"},
        {"My.DS", "F", "[My.DS.\"F\"]", "7"},
        {"My.DS", "F", "[<My.DS.\"F\">]", "7"},
        {"My DS", "F", "[My DS.\"F\"]", "7"},
        {"My DS", "Ц Ф", "[V]", "7"},
        {"D", "A\"B", "[V]", "7"},
        {"D", "A\"B", "[<V> * 2]", "14"},
        {"D", "Цена \"с НДС\"", "[V]", "7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(AnsiString(c.dataset) + " " + c.memo);
        TTestReport t;
        auto* band = t.Band<TrpMasterData>(5, 10);
        TRowsDataSet* ds = t.DataSet("DS1", {{{c.field, Variant(7)}}});
        ds->SetUserName(c.dataset);
        band->SetDataSet(ds);
        t.Report()->GetVariables()->SetVariable("V", AnsiString(c.dataset) + ".\"" + c.field + "\"");
        t.Memo(band, 0, 0, 200, 10, c.memo);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), AnsiString("|") + c.printed + ";");
    }
}

// Report scripts that reach the drawing classes and the report's own values, run through a
// report built by the real engine, in the four script syntaxes.
#include "report/output/tests/EngineTestSupport.h"

#include "report/model/rpRes.h"

#include "platform/rtl/SysUtils.h"

namespace {

struct TSyntax {
    const char* language;
    // The script: %s stands for the statement that sets the font.
    const char* script;
};

// A font of any size a script may ask for measures a text as a positive width and height
// on a bitmap's canvas and on a memo of the report: the sizes are held within what can be
// measured, instead of wrapping round into negative widths.
TEST(ReportScript, AFontOfAnySizeMeasuresAsAPositiveExtent)
{
    const TSyntax syntaxes[] = {
        {"PascalScript",
         "var b: TBitmap;\nbegin\n  b := TBitmap.Create;\n  b.Width := 20;\n  b.Height := 20;\n"
         "  b.Canvas.Font.%s;\n  Memo1.Font.%s;\n  b.Canvas.TextOut(0, 0, 'Wide');\n"
         "  Memo1.Text := IntToStr(b.Canvas.TextWidth('Wide')) + ' ' + IntToStr(b.Canvas.TextHeight('Wide'));\n"
         "  b.Free;\nend."},
        {"C++Script",
         "{\n  TBitmap b = TBitmap.Create();\n  b.Width = 20;\n  b.Height = 20;\n"
         "  b.Canvas.Font.%s;\n  Memo1.Font.%s;\n  b.Canvas.TextOut(0, 0, \"Wide\");\n"
         "  Memo1.Text = IntToStr(b.Canvas.TextWidth(\"Wide\")) + \" \" + IntToStr(b.Canvas.TextHeight(\"Wide\"));\n"
         "  b.Free();\n}"},
        {"JScript",
         "var b = TBitmap.Create();\nb.Width = 20;\nb.Height = 20;\n"
         "b.Canvas.Font.%s;\nMemo1.Font.%s;\nb.Canvas.TextOut(0, 0, \"Wide\");\n"
         "Memo1.Text = IntToStr(b.Canvas.TextWidth(\"Wide\")) + \" \" + IntToStr(b.Canvas.TextHeight(\"Wide\"));\n"
         "b.Free();\n"},
        {"BasicScript",
         "Dim b\nb = TBitmap.Create\nb.Width = 20\nb.Height = 20\n"
         "b.Canvas.Font.%s\nMemo1.Font.%s\nb.Canvas.TextOut(0, 0, \"Wide\")\n"
         "Memo1.Text = IntToStr(b.Canvas.TextWidth(\"Wide\")) & \" \" & IntToStr(b.Canvas.TextHeight(\"Wide\"))\n"
         "b.Free\n"},
    };
    const char* const settings[] = {"Size := 2000000000", "Size := -2000000000", "Height := -2147483647",
                                    "Height := 2147483647", "Size := 100000"};
    for (const TSyntax& s : syntaxes)
        for (const char* setting : settings) {
            AnsiString set = setting;
            if (AnsiString(s.language) != "PascalScript")
                set = StringReplace(set, ":=", "=", {});
            SCOPED_TRACE(AnsiString(s.language) + " " + set);
            TTestReport t;
            t.Report()->ScriptLanguage = s.language;
            t.Report()->GetScriptText()->SetText(Format(s.script, {set, set}));
            TrpMemoView* memo = t.Memo(t.Band<TrpReportTitle>(0, 40), 0, 0, 300, 20, "");
            memo->SetName("Memo1");
            ASSERT_TRUE(t.Prepare()) << t.Errors();
            const std::vector<AnsiString> texts = PageTexts(t.Pages(), 0);
            ASSERT_EQ(texts.size(), 1u);
            const size_t blank = texts[0].find(' ');
            ASSERT_NE(blank, AnsiString::npos) << texts[0];
            const int width = StrToInt(Trim(texts[0].substr(0, blank)));
            const int height = StrToInt(Trim(texts[0].substr(blank + 1)));
            EXPECT_GT(width, 0) << texts[0];
            EXPECT_GT(height, 0) << texts[0];
            EXPECT_LT(width, 1000000) << texts[0];
            EXPECT_LT(height, 100000) << texts[0];
            const int memoHeight = memo->GetFont()->GetHeight();
            EXPECT_LE(std::abs(memoHeight), 32767);
            EXPECT_NE(memoHeight, 0);
        }
}

// A report prepared after the pages of an earlier run (ClearLastReport false) counts its own
// pages: Page from 1, Page# through the whole set, TotalPages its own total when a first
// pass found it and 0 when there was none, never a count below zero.
TEST(ReportScript, AReportAppendedToEarlierPagesCountsItsOwnPages)
{
    struct TCase {
        bool doublePass;
        const char* footer;
        const char* pages;  // the footer of each of the six pages
    } const cases[] = {
        {false, "[Page]", "1;2;3;1;2;3;"},
        {false, "[Page#]", "1;2;3;4;5;6;"},
        {false, "[TotalPages]", "0;0;0;0;0;0;"},
        {false, "[<TotalPages> + 1]", "1;1;1;1;1;1;"},
        {true, "[Page]", "1;2;3;1;2;3;"},
        {true, "[TotalPages]", "3;3;3;3;3;3;"},
        {true, "[TotalPages#]", "[TotalPages#];[TotalPages#];[TotalPages#];[TotalPages#];[TotalPages#];[TotalPages#];"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(AnsiString(c.footer) + (c.doublePass ? " two passes" : " one pass"));
        TTestReport t;
        auto* rows = t.Band<TrpMasterData>(30, 10);
        rows->SetDataSet(t.DataSet("D", NumberedRows(40)));
        t.Memo(rows, 0, 0, 300, 10, "[D.\"N\"]");
        t.Memo(t.Band<TrpPageFooter>(150, 10), 0, 0, 300, 10, c.footer);
        t.Report()->GetEngineOptions()->DoublePass = c.doublePass;
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_TRUE(t.Report()->PrepareReport(false)) << t.Errors();
        ASSERT_EQ(t.Pages()->GetCount(), 6);
        AnsiString footers;
        for (int i = 0; i < 6; ++i)
            footers += PageTexts(t.Pages(), i).back() + ";";
        EXPECT_EQ(footers, c.pages);
    }
}

}  // namespace

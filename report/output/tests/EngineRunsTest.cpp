// Runs after runs: pages appended to earlier ones, templates run again without being
// reloaded, and data that never ends.
#include "report/output/tests/EngineTestSupport.h"

#include "report/output/rpOutline.h"

#include "platform/rtl/SysUtils.h"

namespace {

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

// Every outline entry as "text@page", depth first.
void OutlineEntries(TrpXMLItem* Item, std::vector<AnsiString>& Out)
{
    for (int i = 0; i < Item->Count(); ++i) {
        TrpXMLItem* e = Item->Items(i);
        Out.push_back(e->Prop("text") + "@" + e->Prop("page"));
        OutlineEntries(e, Out);
    }
}

std::vector<AnsiString> OutlineEntries(TrpPreviewPages* Pages)
{
    std::vector<AnsiString> out;
    OutlineEntries(Pages->GetOutline()->Root(), out);
    return out;
}

// A run appended to the pages of an earlier one keeps one outline entry per page and row,
// in one pass or two.
TEST(EngineRuns, AppendedRunKeepsOneOutlineEntryPerRow)
{
    for (bool doublePass : {false, true}) {
        SCOPED_TRACE(doublePass ? "two passes" : "one pass");
        TTestReport t;
        t.Report()->GetEngineOptions()->DoublePass = doublePass;
        t.Page()->OutlineText = "'Page'";
        auto* band = t.Band<TrpMasterData>(10, 100);
        band->SetDataSet(t.DataSet("Data", NumberedRows(3)));
        band->OutlineText = "<Data.\"Name\">";
        t.Memo(band, 0, 0, 100, 20, "[Data.\"Name\"]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_TRUE(t.Report()->PrepareReport(false)) << t.Errors();
        ASSERT_EQ(t.Pages()->GetCount(), 6);
        EXPECT_EQ(OutlineEntries(t.Pages()),
                  (std::vector<AnsiString>{"Page@0", "Item 1@0", "Page@1", "Item 2@1", "Page@2", "Item 3@2",
                                           "Page@3", "Item 1@3", "Page@4", "Item 2@4", "Page@5", "Item 3@5"}));
    }
}

// A template with vertical bands gives the same pages on every run, also when the template
// is not reloaded between runs, and is the same after a run as before it. The row's own
// memo beside the vertical band takes its data like any other.
TEST(EngineRuns, VerticalBandsOnEveryRunWithoutRestore)
{
    TTestReport t;
    ASSERT_FALSE(t.Report()->GetEngineOptions()->RestoreReport);
    auto* row = t.Band<TrpMasterData>(10, 20);
    row->SetRowCount(1);
    t.Memo(row, 0, 0, 50, 20, "[V.\"N\"]");
    t.Memo(row, 200, 0, 50, 20, "row [Line]");
    auto* vband = t.Band<TrpMasterData>(0, 0);
    vband->Vertical = true;
    vband->SetBounds(0, 0, 50, 100);
    vband->SetDataSet(t.DataSet("V", NumberedRows(3)));
    t.Page()->AlignChildren();  // bands take the page's width, as in the designer
    AnsiString before;
    {
        TStringStream s;
        t.Report()->SaveToStream(s);
        before = s.DataString();
    }
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE("run " + IntToStr(run));
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), "|row 1;1;2;3;");
        TStringStream s;
        t.Report()->SaveToStream(s);
        EXPECT_EQ(s.DataString(), before);
    }
}

}  // namespace

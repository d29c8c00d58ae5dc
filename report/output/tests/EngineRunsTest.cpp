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

// A highlight condition must give a Boolean; any other value is an error of the memo's
// expression, named in the report's errors like every other.
TEST(EngineRuns, HighlightConditionThatIsNoBoolean)
{
    struct Case {
        const char* why;
        const char* condition;
        bool built;
    };
    const Case cases[] = {
        {"a Boolean condition", "<Data.\"N\"> > 1", true},
        {"Null counts as false", "Null", true},
        {"a text is no Boolean", "'abc'", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        auto* band = t.Band<TrpMasterData>(10, 20);
        band->SetDataSet(t.DataSet("Data", NumberedRows(2)));
        TrpMemoView* memo = t.Memo(band, 0, 0, 100, 20, "[Data.\"N\"]");
        memo->SetName("Amount");
        memo->GetHighlight()->Condition = c.condition;
        EXPECT_EQ(t.Prepare(), c.built) << t.Errors();
        if (c.built) {
            EXPECT_EQ(t.Errors(), "");
        } else {
            ASSERT_EQ(t.Report()->Errors.Count(), 1) << t.Errors();
            EXPECT_EQ(t.Report()->Errors[0].substr(0, 7), "Amount:");
            EXPECT_NE(t.Report()->Errors[0].find("'abc'"), AnsiString::npos) << t.Errors();
        }
    }
}

// A dataset that never reaches its end, walked by a band whose row limit restarts at every
// group break, stops the run with an error instead of building forever.
TEST(EngineRuns, DataSetWithoutEndStopsAtTheRowLimit)
{
    struct Restore {
        int kept = TrpEngine::MaxRowsPerBand;
        ~Restore() { TrpEngine::MaxRowsPerBand = kept; }
    } restore;
    TrpEngine::MaxRowsPerBand = 1000;
    TTestReport t;
    TRowsDataSet* data = t.DataSet("D", NumberedRows(3));
    data->RangeEnd = reLast;  // no end of its own
    auto* gh = t.Band<TrpGroupHeader>(0, 10);
    gh->Condition = "Line#";  // from the third row on, a new group on every row
    gh->SetVisible(false);
    auto* band = t.Band<TrpMasterData>(20, 10);
    band->SetName("Endless");
    band->SetDataSet(data);
    band->SetRowCount(3);
    band->SetVisible(false);
    EXPECT_FALSE(t.Prepare());
    EXPECT_NE(t.Errors().find("Band Endless: more than 1000 rows"), AnsiString::npos) << t.Errors();
}

// What a run learns of the template (here which object hangs under which) is learnt again
// on the next run: an object moved away between runs no longer moves with the one it was
// under.
TEST(EngineRuns, SecondRunSeesTheTemplateAsItIsThen)
{
    TTestReport t;
    auto* band = t.Band<TrpMasterData>(10, 40);
    band->SetRowCount(1);
    band->Stretched = true;
    TrpMemoView* tall = t.Memo(band, 0, 0, 100, 20, "1\r\n2\r\n3\r\n4");
    tall->StretchMode = smActualHeight;
    TrpMemoView* below = t.Memo(band, 0, 20, 100, 20, "below");
    auto topOfBelow = [&] {
        for (TrpComponent* c : t.Pages()->GetPage(0)->GetAllObjects())
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(c); m && TrimRight(m->GetText()) == "below")
                return FormatFloat("0", static_cast<double>(m->GetTop()));
        return AnsiString("missing");
    };
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_NE(topOfBelow(), "20") << "under the growing memo it moves down";
    below->SetLeft(200);
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(topOfBelow(), "20") << "beside it, it stays";
}

}  // namespace

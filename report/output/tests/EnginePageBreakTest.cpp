// EnginePageBreakTest.cpp - where bands land on prepared pages: below the report title and
// with the extra character row of dot-matrix memos with a bottom frame.
#include "report/output/tests/EngineTestSupport.h"

#include "report/model/rpDMPClass.h"

#include "platform/rtl/SysUtils.h"

namespace {

// "text@top" (or "text@left,top") of every memo on a page, measured on the page.
AnsiString Placed(TrpPreviewPages* Pages, bool WithLeft = false)
{
    AnsiString out;
    for (int i = 0; i < Pages->GetCount(); ++i) {
        out += "|";
        TrpReportPage* page = Pages->GetPage(i);
        if (!page)
            continue;
        for (TrpComponent* c : page->GetAllObjects())
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(c)) {
                const TrpComponent* band = m->GetParent();
                const Extended top = m->GetTop() + (band ? band->GetTop() : 0);
                out += TrimRight(m->GetText()) + "@";
                if (WithLeft)
                    out += IntToStr(static_cast<int>(m->GetLeft() + (band ? band->GetLeft() : 0) + 0.5L)) + ",";
                out += IntToStr(static_cast<int>(top + 0.5L)) + ";";
            }
    }
    return out;
}

}  // namespace

// The title's page is not a fresh page: a band that does not fit below the title moves to
// the next page (which has no title) instead of overflowing the page footer; on that page a
// band taller than the page is placed, overflowing, without asking for more pages.
TEST(EnginePageBreak, BandThatDoesNotFitBelowTheTitleMovesToTheNextPage)
{
    struct TCase {
        const char* Name;
        Extended BandHeight;
        bool PageHeader;
        const char* Expected;
    };
    // Inside height 189; footer 15 at 174.
    const TCase cases[] = {
        {"fits", 60, false, "|T@0;R@100;F@174;"},
        {"does not fit", 80, false, "|T@0;F@174;|R@0;F@174;"},
        {"taller than a page", 400, false, "|T@0;F@174;|R@0;F@174;"},
        {"does not fit, with a page header", 70, true, "|T@0;H@100;F@174;|H@0;R@15;F@174;"},
    };
    // With two page columns the second column below the title has no more room than the first.
    const TCase columnCases[] = {
        {"two columns, fits", 60, false, "|T@0,0;R@0,100;R@170,100;F@0,174;"},
        {"two columns, does not fit", 80, false, "|T@0,0;F@0,174;|R@0,0;R@0,80;F@0,174;"},
        {"two columns, taller than a page", 400, false, "|T@0,0;F@0,174;|R@0,0;R@170,0;F@0,174;"},
    };
    for (const TCase& c : columnCases) {
        SCOPED_TRACE(c.Name);
        TTestReport t;
        t.Page()->SetColumns(2);
        t.Page()->GetColumnPositions()->Clear();
        t.Page()->GetColumnPositions()->Add("0");
        t.Page()->GetColumnPositions()->Add("45");
        t.Memo(t.Band<TrpReportTitle>(0, 100), 0, 0, 100, 20, "T");
        auto* band = t.Band<TrpMasterData>(130, c.BandHeight);
        band->SetRowCount(2);
        t.Memo(band, 0, 0, 100, 20, "R");
        t.Memo(t.Band<TrpPageFooter>(600, 15), 0, 0, 100, 15, "F");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Placed(t.Pages(), true), c.Expected);
    }
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestReport t;
        t.Memo(t.Band<TrpReportTitle>(0, 100), 0, 0, 100, 20, "T");
        if (c.PageHeader)
            t.Memo(t.Band<TrpPageHeader>(110, 15), 0, 0, 100, 15, "H");
        auto* band = t.Band<TrpMasterData>(130, c.BandHeight);
        band->SetRowCount(1);
        t.Memo(band, 0, 0, 100, 20, "R");
        t.Memo(t.Band<TrpPageFooter>(600, 15), 0, 0, 100, 15, "F");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Placed(t.Pages()), c.Expected);
    }
}

// A dot-matrix memo with a bottom frame draws that frame on the character row below its text:
// a stretched band grows by that row, and a memo stretched to the band's height leaves it free.
TEST(EnginePageBreak, DotMatrixBottomFrameTakesOneMoreRow)
{
    struct TCase {
        const char* Name;
        bool BottomFrame;
        const char* Expected;
    };
    const TCase cases[] = {
        {"bottom frame", true, "|1@0;2@34;"},
        {"no bottom frame", false, "|1@0;2@17;"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestReport t;
        auto* band = t.Band<TrpMasterData>(0, 17);
        band->SetRowCount(2);
        band->Stretched = true;
        auto* m = new TrpDMPMemoView(band);
        m->SetParent(band);
        m->SetBounds(0, 0, 96, 17);
        m->SetText("[Line]");
        m->StretchMode = smActualHeight;
        if (c.BottomFrame)
            m->GetFrame()->Typ = TrpFrameTypes{ftBottom};
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Placed(t.Pages()), c.Expected);
    }
    // A memo stretched to the band's full height stops one row short of it.
    TTestReport t;
    auto* band = t.Band<TrpMasterData>(0, 51);
    band->SetRowCount(1);
    band->Stretched = true;
    t.Memo(band, 96, 0, 96, 51, "tall");
    auto* m = new TrpDMPMemoView(band);
    m->SetParent(band);
    m->SetBounds(0, 0, 96, 17);
    m->SetText("x");
    m->StretchMode = smMaxHeight;
    m->GetFrame()->Typ = TrpFrameTypes{ftBottom};
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    TrpReportPage* page = t.Pages()->GetPage(0);
    ASSERT_TRUE(page);
    Extended height = -1;
    for (TrpComponent* c : page->GetAllObjects())
        if (auto* d = dynamic_cast<TrpDMPMemoView*>(c))
            height = d->GetHeight();
    EXPECT_NEAR(static_cast<double>(height), 34.0, 0.001);
}

// A kept block that does not fit below the title moves whole to the next page with its
// outline entries; on a page without a title the first block stays where it is.
TEST(EnginePageBreak, KeptBlockBelowTheTitleMovesWhole)
{
    struct TCase {
        const char* Name;
        Extended TitleHeight;
        const char* Expected;
    };
    const TCase cases[] = {
        {"no title", 0, "|M1@0;D1@40;D2@60;M2@80;D1@120;D2@140;F@174;|M3@0;D1@40;D2@60;F@174;"},
        {"title", 100, "|T@0;F@174;|M1@0;D1@40;D2@60;M2@80;D1@120;D2@140;F@174;|M3@0;D1@40;D2@60;F@174;"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestReport t;
        if (c.TitleHeight > 0)
            t.Memo(t.Band<TrpReportTitle>(0, c.TitleHeight), 0, 0, 100, 20, "T");
        auto* master = t.Band<TrpMasterData>(110, 40);
        master->SetDataSet(t.DataSet("M", NumberedRows(3)));
        master->KeepTogether = true;
        master->OutlineText = "'M' + IntToStr(<M.\"N\">)";
        t.Memo(master, 0, 0, 100, 40, "M[M.\"N\"]");
        auto* detail = t.Band<TrpDetailData>(160, 20);
        detail->SetDataSet(t.DataSet("D", NumberedRows(2)));
        t.Memo(detail, 10, 0, 100, 20, "D[D.\"N\"]");
        t.Memo(t.Band<TrpPageFooter>(600, 15), 0, 0, 100, 15, "F");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Placed(t.Pages()), c.Expected);
        TrpCustomOutline* o = t.Pages()->Outline();
        o->LevelRoot();
        ASSERT_EQ(o->GetCount(), 3);
        AnsiString text;
        int page = -1, top = -1;
        o->GetItem(0, text, page, top);
        EXPECT_EQ(text, "M1");
        EXPECT_EQ(page, c.TitleHeight > 0 ? 1 : 0);
        EXPECT_EQ(top, 0);
    }
}

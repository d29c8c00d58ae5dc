// Pages in several columns: rows of vertical bands wider than their column go on over the
// following pages in that column, and every page and column they land on ends with its
// footers and totals; a row moving to another column is laid out for that column.
#include "report/output/tests/EngineTestSupport.h"

#include "report/output/rpOutline.h"

#include "report/model/rpXML.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr Extended kMM = 3.77953L;

// Per page and page column: its rows ("R1-R7"), the number of its vertical cells and its
// footer texts ("CF ..."), then the page's own texts ("PH", "OV", "PF ..."). A memo that
// reaches past its column's right edge (the next column's left, or the page's right) or
// lies left of the column's own edge is marked "!".
AnsiString ColumnPages(TrpPreviewPages* Pages, const std::vector<Extended>& Lefts, Extended PageWidth)
{
    AnsiString out;
    for (int i = 0; i < Pages->GetCount(); ++i) {
        TrpReportPage* page = Pages->GetPage(i);
        if (!page)
            continue;
        struct Column {
            AnsiString first, last, footers, faults;
            int cells = 0;
        };
        std::vector<Column> columns(Lefts.size());
        AnsiString own;
        for (TrpComponent* c : page->GetAllObjects()) {
            auto* m = dynamic_cast<TrpCustomMemoView*>(c);
            if (!m)
                continue;
            const AnsiString s = TrimRight(m->GetText());
            const TrpComponent* band = m->GetParent();
            const Extended x = m->GetLeft() + (band ? band->GetLeft() : 0);
            if (s.rfind("PH", 0) == 0 || s.rfind("PF", 0) == 0 || s == "OV") {
                own += " " + s;
                continue;
            }
            size_t k = 0;
            while (k + 1 < Lefts.size() && x >= Lefts[k + 1] - 0.01L)
                ++k;
            Column& col = columns[k];
            const Extended right = k + 1 < Lefts.size() ? Lefts[k + 1] : PageWidth;
            if (x + m->GetWidth() > right + 0.01L || x < Lefts[k] - 0.01L)
                col.faults = "!";
            if (s.rfind("R", 0) == 0)
                (col.first.empty() ? col.first : col.last) = s;
            else if (s.find(':') != AnsiString::npos)
                ++col.cells;
            else
                col.footers += " " + s;
        }
        out += "|";
        for (size_t k = 0; k < columns.size(); ++k) {
            const Column& col = columns[k];
            if (col.first.empty() && col.cells == 0 && col.footers.empty())
                continue;
            out += "c" + IntToStr(static_cast<int>(k) + 1) + col.faults + " " + col.first +
                   (col.last.empty() ? "" : "-" + col.last) + " " + IntToStr(col.cells) + col.footers + "; ";
        }
        out += Trim(own);
    }
    return out;
}

// Two page columns at 0 and PositionMM (one column for 0); rows "R1".."R<rows>" of 20 units whose own text is
// 30 wide, with vertical columns of 40 from 30 on.
struct TColumnsTemplate {
    TrpDataBand* Row = nullptr;
    TrpMasterData* VBand = nullptr;
    std::vector<Extended> Lefts;
    Extended PageWidth = 0;

    void Build(TTestReport& t, int Rows, int VColumns, Extended PositionMM = 45)
    {
        Lefts = {0};
        if (PositionMM > 0) {
            t.Page()->SetColumns(2);
            t.Page()->GetColumnPositions()->Clear();
            t.Page()->GetColumnPositions()->Add("0");
            t.Page()->GetColumnPositions()->Add(FloatToStr(static_cast<double>(PositionMM)));
            Lefts.push_back(PositionMM * kMM);
        }
        PageWidth = 90 * kMM;
        t.Memo(t.Band<TrpPageHeader>(0, 15), 0, 0, 40, 15, "PH");
        Row = t.Band<TrpMasterData>(20, 20);
        Row->SetName("Row");
        Row->SetDataSet(t.DataSet("H", NumberedRows(Rows)));
        t.Memo(Row, 0, 0, 30, 20, "R[H.\"N\"]");
        t.Memo(Row, 30, 0, 40, 20, "[H.\"N\"]:[V.\"N\"]");
        VBand = t.Band<TrpMasterData>(0, 0);
        VBand->Vertical = true;
        VBand->SetBounds(30, 0, 40, 100);
        VBand->SetDataSet(t.DataSet("V", NumberedRows(VColumns)));
    }
};

// A row printed in parts on a page of columns: the column footer of every column closes
// that column on the row's page and on each page its parts went on over, at the column's
// place and with the column's totals; the page footer ends all those pages with the page's.
TEST(EnginePageColumns, RowsInPartsTotalEveryPageAndColumn)
{
    struct Case {
        const char* why;
        int vcolumns;  // 3 fit a column, 7 take two parts, 8 three
        const char* columnFooter;
        const char* pageFooter;
        const char* expected;
        bool onFirst = true, onLast = true, overlay = false;
    };
    const char* cf = "CF [SUM(<H.\"Sum\">,Row)]";
    const char* pf = "PF [Page#] [SUM(<H.\"Sum\">,Row)]";
    const Case cases[] = {
        {"rows in one part", 3, cf, pf, "|c1 R1-R7 21 CF 280; c2 R8-R9 6 CF 170; PH PF 1 450"},
        {"rows in two parts", 7, cf, pf,
         "|c1 R1-R7 21 CF 280; c2 R8-R9 6 CF 170; PH PF 1 450"
         "|c1  28 CF 280; c2  8 CF 170; PH PF 2 450"},
        {"rows in three parts", 8, cf, pf,
         "|c1 R1-R7 21 CF 280; c2 R8-R9 6 CF 170; PH PF 1 450"
         "|c1  28 CF 280; c2  8 CF 170; PH PF 2 450"
         "|c1  7 CF 280; c2  2 CF 170; PH PF 3 450"},
        {"a running column total", 7, "CF [SUM(<H.\"Sum\">,Row,2)]", pf,
         "|c1 R1-R7 21 CF 280; c2 R8-R9 6 CF 450; PH PF 1 450"
         "|c1  28 CF 280; c2  8 CF 450; PH PF 2 450"},
        {"a count", 8, "CF [COUNT(Row)]", "PF [COUNT(Row)]",
         "|c1 R1-R7 21 CF 7; c2 R8-R9 6 CF 2; PH PF 9"
         "|c1  28 CF 7; c2  8 CF 2; PH PF 9"
         "|c1  7 CF 7; c2  2 CF 2; PH PF 9"},
        {"column footers alone", 7, cf, nullptr,
         "|c1 R1-R7 21 CF 280; c2 R8-R9 6 CF 170; PH"
         "|c1  28 CF 280; c2  8 CF 170; PH"},
        {"page footer alone", 7, nullptr, pf,
         "|c1 R1-R7 21; c2 R8-R9 6; PH PF 1 450"
         "|c1  28; c2  8; PH PF 2 450"},
        {"page footer not on the first page", 7, cf, pf,
         "|c1 R1-R7 21 CF 280; c2 R8-R9 6 CF 170; PH"
         "|c1  28 CF 280; c2  8 CF 170; PH PF 2 450",
         false, true},
        {"page footer not on the last page, which is the last part's", 7, cf, pf,
         "|c1 R1-R7 21 CF 280; c2 R8-R9 6 CF 170; PH PF 1 450"
         "|c1  28 CF 280; c2  8 CF 170; PH",
         true, false},
        {"an overlay once on every page", 8, cf, "PF [Page#]",
         "|c1 R1-R7 21 CF 280; c2 R8-R9 6 CF 170; OV PH PF 1"
         "|c1  28 CF 280; c2  8 CF 170; OV PH PF 2"
         "|c1  7 CF 280; c2  2 CF 170; OV PH PF 3",
         true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        TColumnsTemplate tpl;
        tpl.Build(t, 9, c.vcolumns);
        if (c.columnFooter)
            t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, c.columnFooter);
        if (c.pageFooter) {
            auto* pfBand = t.Band<TrpPageFooter>(150, 15);
            pfBand->PrintOnFirstPage = c.onFirst;
            pfBand->PrintOnLastPage = c.onLast;
            t.Memo(pfBand, 0, 0, 40, 15, c.pageFooter);
        }
        if (c.overlay)
            t.Memo(t.Band<TrpOverlay>(170, 15), 300, 170, 30, 15, "OV");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(ColumnPages(t.Pages(), tpl.Lefts, tpl.PageWidth), c.expected);
    }
}

// A row that does not fit moves to the next column (or page) before its vertical columns
// are placed: they are laid out for the place it moves to, and its column totals count
// once, in the footers of that place, not of the one it left.
TEST(EnginePageColumns, RowMovingOnIsLaidOutWhereItLands)
{
    struct Case {
        const char* why;
        Extended positionMM;  // the second column's left, 0 for one column
        const char* expected;
    };
    const Case cases[] = {
        {"into a narrower column: more parts", 60,
         "|c1 R1-R7 28 CF 280 c280 c280 c280 c280; c2 R8-R9 4 CF 170 c170 c170; PH"
         "|c1  14 CF 280 c280 c280; c2  4 CF 170 c170 c170; PH"
         "|c2  4 CF 170 c170 c170; PH"},
        {"into a wider column: fewer parts", 30,
         "|c1 R1-R7 14 CF 280 c280 c280; c2 R8-R9 8 CF 170 c170 c170 c170 c170; PH"
         "|c1  14 CF 280 c280 c280; c2  4 CF 170 c170 c170; PH"
         "|c1  14 CF 280 c280 c280; PH"},
        {"onto the next page", 0,
         "|c1 R1-R7 42 CF 280 c280 c280 c280 c280 c280 c280; PH"
         "|c1 R8-R9 12 CF 170 c170 c170 c170 c170 c170 c170; PH"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        TColumnsTemplate tpl;
        tpl.Build(t, 9, 6, c.positionMM);
        auto* footer = t.Band<TrpColumnFooter>(130, 15);
        t.Memo(footer, 0, 0, 30, 15, "CF [SUM(<H.\"Sum\">,Row)]");
        t.Memo(footer, 30, 0, 40, 15, "c[SUM(<H.\"Sum\">,Row)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(ColumnPages(t.Pages(), tpl.Lefts, tpl.PageWidth), c.expected);
    }
}

// A row moving on to a narrower column wraps there, where it did not before: the vertical
// header marked to reprint repeats after the new wrap, and the column totals of the cells
// after it (which depend on the vertical row) land in the right footer cells.
TEST(EnginePageColumns, RowMovingOnRepeatsItsHeadersAtItsNewWraps)
{
    struct Case {
        const char* why;
        bool reprint;
        const char* expected;
    };
    const Case cases[] = {
        {"the header repeats", true,
         "|c1 R1-R7 49 CF 280 c287 c294 c301 c308 c315 c322; c2 R8-R9 8 CF 170 c172 c174 c176; PH"
         "|c2  8 CF 170 c178 c180 c182; PH"},
        {"the header does not", false,
         "|c1 R1-R7 49 CF 280 c287 c294 c301 c308 c315 c322; c2 R8-R9 8 CF 170 c172 c174 c176; PH"
         "|c2  6 CF 170 c178 c180 c182; PH"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Page()->SetColumns(2);
        t.Page()->GetColumnPositions()->Clear();
        t.Page()->GetColumnPositions()->Add("0");
        t.Page()->GetColumnPositions()->Add("60");
        t.Memo(t.Band<TrpPageHeader>(0, 15), 0, 0, 40, 15, "PH");
        auto* row = t.Band<TrpMasterData>(20, 20);
        row->SetName("Row");
        row->SetDataSet(t.DataSet("H", NumberedRows(9)));
        t.Memo(row, 0, 0, 30, 20, "R[H.\"N\"]");
        t.Memo(row, 30, 0, 20, 20, "h:[H.\"N\"]");
        t.Memo(row, 50, 0, 20, 20, "[H.\"N\"]:[V.\"N\"]");
        auto* vheader = t.Band<TrpHeader>(0, 0);
        vheader->Vertical = true;
        vheader->ReprintOnNewPage = c.reprint;
        vheader->SetBounds(30, 0, 20, 100);
        auto* vband = t.Band<TrpMasterData>(0, 0);
        vband->Vertical = true;
        vband->SetBounds(50, 0, 20, 100);
        vband->SetDataSet(t.DataSet("V", NumberedRows(6)));
        auto* footer = t.Band<TrpColumnFooter>(130, 15);
        t.Memo(footer, 0, 0, 30, 15, "CF [SUM(<H.\"Sum\">,Row)]");
        t.Memo(footer, 50, 0, 20, 15, "c[SUM(<H.\"Sum\"> + <V.\"N\">,Row)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(ColumnPages(t.Pages(), {0, 60 * kMM}, 90 * kMM), c.expected);
    }
}

// The pages a column's rows go on over begin that column with its headers, as the row's own
// page does: the column header and the data headers that reprint, at the column's place.
TEST(EnginePageColumns, RowsInPartsReprintTheirColumnsHeaders)
{
    struct Case {
        const char* why;
        bool dataHeader;
        const char* expected;
    };
    const Case cases[] = {
        {"the column header", false,
         "|c1 R1-R7 21 CH CF 280; c2 R8-R9 6 CH CF 170; PH"
         "|c1  28 CH CF 280; c2  8 CH CF 170; PH"},
        {"and a data header that reprints", true,
         "|c1 R1-R6 18 CH DH CF 210; c2 R7-R9 9 CH DH CF 240; PH"
         "|c1  24 CH DH CF 210; c2  12 CH DH CF 240; PH"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        TColumnsTemplate tpl;
        tpl.Build(t, 9, 7);
        t.Memo(t.Band<TrpColumnHeader>(16, 15), 0, 0, 30, 15, "CH");
        if (c.dataHeader) {
            auto* h = t.Band<TrpHeader>(18, 15);
            h->ReprintOnNewPage = true;
            t.Memo(h, 0, 0, 30, 15, "DH");
        }
        t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF [SUM(<H.\"Sum\">,Row)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(ColumnPages(t.Pages(), tpl.Lefts, tpl.PageWidth), c.expected);
    }
}

// A band of two columns whose rows are wide: each row wraps at its band column's right edge
// and goes on over the next page in that column; a row of columns that does not fit moves
// to the next page before its parts are placed, and its totals count there.
TEST(EnginePageColumns, BandOfColumnsWithWideRows)
{
    struct Case {
        const char* why;
        int vcolumns;
        const char* expected;
    };
    const Case cases[] = {
        {"rows in one part", 3,
         "|c1 R1-R13 21 CF 1050; c2 R2-R14 21; PH PF 1 1050|c1 R15-R17 6 CF 660; c2 R16-R18 6; PH PF 2 660"},
        {"rows in two parts", 7,
         "|c1 R1-R13 21 CF 1050; c2 R2-R14 21; PH PF 1 1050|c1  28 CF 1050; c2  28; PH PF 2 1050"
         "|c1 R15-R17 6 CF 660; c2 R16-R18 6; PH PF 3 660|c1  8 CF 660; c2  8; PH PF 4 660"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        TColumnsTemplate tpl;
        tpl.Build(t, 18, c.vcolumns, 0);
        tpl.Row->Columns = 2;
        tpl.Row->ColumnWidth = 170;
        t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF [SUM(<H.\"Sum\">,Row)]");
        t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 40, 15, "PF [Page#] [SUM(<H.\"Sum\">,Row)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(ColumnPages(t.Pages(), {0, 170}, tpl.PageWidth), c.expected);
    }
}

// A row of band columns that does not fit below the rows above it moves on to the next page
// or page column; its rows count in the footers of the place it lands on, not of the one
// it left.
TEST(EnginePageColumns, RowOfBandColumnsMovingOnTakesItsTotals)
{
    struct Case {
        const char* why;
        bool pageColumns;
        const char* pageFooter;
        const char* expected;
    };
    const char* pf = "PF [Page#] [SUM(<H.\"Sum\">,Row)] [COUNT(Row)]";
    const Case cases[] = {
        {"to the next page", false, pf,
         "|c1 R1-R14 0 CF 1050; PH PF 1 1050 14|c1 R15-R18 0 CF 660; PH PF 2 660 4"},
        {"a running total", false, "PF [SUM(<H.\"Sum\">,Row,2)]",
         "|c1 R1-R14 0 CF 1050; PH PF 1050|c1 R15-R18 0 CF 660; PH PF 1710"},
        {"to the next page column", true, pf, "|c1 R1-R14 0 CF 1050; c2 R15-R18 0 CF 660; PH PF 1 1710 18"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        std::vector<Extended> lefts{0};
        if (c.pageColumns) {
            t.Page()->SetColumns(2);
            t.Page()->GetColumnPositions()->Clear();
            t.Page()->GetColumnPositions()->Add("0");
            t.Page()->GetColumnPositions()->Add("45");
            lefts.push_back(45 * kMM);
        }
        t.Memo(t.Band<TrpPageHeader>(0, 15), 0, 0, 40, 15, "PH");
        auto* row = t.Band<TrpMasterData>(20, 20);
        row->SetName("Row");
        row->Columns = 2;
        row->ColumnWidth = 80;
        row->SetDataSet(t.DataSet("H", NumberedRows(18)));
        t.Memo(row, 0, 0, 30, 20, "R[H.\"N\"]");
        t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF [SUM(<H.\"Sum\">,Row)]");
        t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 40, 15, c.pageFooter);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(ColumnPages(t.Pages(), lefts, 90 * kMM), c.expected);
    }
}

// Every outline entry as "text@page:top", sub-entries in brackets.
AnsiString OutlineOf(TrpXMLItem* Item)
{
    AnsiString out;
    for (int i = 0; i < Item->Count(); ++i) {
        TrpXMLItem* e = Item->Items(i);
        out += " " + e->Prop("text") + "@" + e->Prop("page") + ":" + e->Prop("top");
        if (e->Count() > 0)
            out += " [" + OutlineOf(e) + " ]";
    }
    return out;
}

// Kept groups of rows: one that moves to the next page takes its totals into the column
// footer there (not only the page footer's), and its rows' outline entries stay under the
// group's; one that breaks into the next page column stays, and its rows count in the
// column they lie in.
TEST(EnginePageColumns, KeptGroupsCountWhereTheyLie)
{
    struct Case {
        const char* why;
        bool pageColumns;
        const char* expected;
        const char* outline;
    };
    const Case cases[] = {
        {"one column: every group moves whole", false,
         "|c1 R1-R4 12 GG1 CF 100; PH PF 1 100|c1 R5-R8 12 GG2 CF 260; PH PF 2 260|c1 R9-R12 12 GG3 CF 420; PH PF 3 420",
         " P@0:0 [ G1@0:15 [ R1@0:30 R2@0:50 R3@0:70 R4@0:90 ] ] P@1:0 [ G2@1:15 [ R5@1:30 R6@1:50 R7@1:70 R8@1:90 ] ]"
         " P@2:0 [ G3@2:15 [ R9@2:30 R10@2:50 R11@2:70 R12@2:90 ] ]"},
        {"two columns: a group goes on into the next column, the last moves to a new page", true,
         "|c1 R1-R5 15 GG1 GG2 CF 150; c2 R6-R8 9 CF 210; PH PF 1 360|c1 R9-R12 12 GG3 CF 420; PH PF 2 420",
         " P@0:0 [ G1@0:15 [ R1@0:30 R2@0:50 R3@0:70 R4@0:90 ] G2@0:110 [ R5@0:125 R6@0:15 R7@0:35 R8@0:55 ] ]"
         " P@1:0 [ G3@1:15 [ R9@1:30 R10@1:50 R11@1:70 R12@1:90 ] ]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        std::vector<Extended> lefts{0};
        if (c.pageColumns) {
            t.Page()->SetColumns(2);
            t.Page()->GetColumnPositions()->Clear();
            t.Page()->GetColumnPositions()->Add("0");
            t.Page()->GetColumnPositions()->Add("45");
            lefts.push_back(45 * kMM);
        }
        t.Page()->OutlineText = "'P'";
        t.Memo(t.Band<TrpPageHeader>(0, 15), 0, 0, 40, 15, "PH");
        auto* g = t.Band<TrpGroupHeader>(18, 15);
        g->Condition = "<H.\"Group\">";
        g->KeepTogether = true;
        g->OutlineText = "<H.\"Group\">";
        t.Memo(g, 0, 0, 30, 15, "G[H.\"Group\"]");
        auto* row = t.Band<TrpMasterData>(40, 20);
        row->SetName("Row");
        row->OutlineText = "'R' + IntToStr(<H.\"N\">)";
        row->SetDataSet(t.DataSet("H", NumberedRows(12, 4)));
        t.Memo(row, 0, 0, 30, 20, "R[H.\"N\"]");
        t.Memo(row, 30, 0, 40, 20, "[H.\"N\"]:[V.\"N\"]");
        auto* vband = t.Band<TrpMasterData>(0, 0);
        vband->Vertical = true;
        vband->SetBounds(30, 0, 40, 100);
        vband->SetDataSet(t.DataSet("V", NumberedRows(3)));
        t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF [SUM(<H.\"Sum\">,Row)]");
        t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 40, 15, "PF [Page#] [SUM(<H.\"Sum\">,Row)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(ColumnPages(t.Pages(), lefts, 90 * kMM), c.expected);
        EXPECT_EQ(OutlineOf(t.Pages()->GetOutline()->Root()), c.outline);
    }
}

// A kept group in a subreport beside a band: a page break takes the group to the next page
// at the subreport's place, not to the page's left edge over the band it is beside. Texts
// are listed per page as "text@x".
TEST(EnginePageColumns, KeptBlockInASubreportKeepsItsPlace)
{
    struct Case {
        const char* why;
        Extended left;  // the subreport's
        const char* expected;
    };
    const Case cases[] = {
        {"far right", 120,
         "|G1@120 Row1@0 1@120 2@120 3@120 4@120 5@120 PF |G2@120 6@120 7@120 8@120 9@120 10@120 PF "
         "|G3@120 11@120 12@120 PF "},
        {"just beside the band", 45,
         "|G1@45 Row1@0 1@45 2@45 3@45 4@45 5@45 PF |G2@45 6@45 7@45 8@45 9@45 10@45 PF |G3@45 11@45 12@45 PF "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        TrpReportPage* subPage = t.AddPage();
        auto* g = t.Band<TrpGroupHeader>(0, 10, subPage);
        g->Condition = "<S.\"Group\">";
        g->KeepTogether = true;
        t.Memo(g, 0, 0, 30, 10, "[S.\"Group\"]");
        auto* rows = t.Band<TrpMasterData>(12, 25, subPage);
        rows->SetDataSet(t.DataSet("S", NumberedRows(12, 5)));
        t.Memo(rows, 0, 0, 30, 25, "[S.\"N\"]");
        auto* band = t.Band<TrpMasterData>(10, 30);
        band->SetRowCount(1);
        t.Memo(band, 0, 0, 30, 15, "Row[Line]");
        auto* sub = new TrpSubreport(band);
        sub->SetName("Sub1");
        sub->SetBounds(c.left, 0, 40, 15);
        sub->SetSubPage(subPage);
        t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 40, 15, "PF");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        AnsiString out;
        for (int p = 0; p < t.Pages()->GetCount(); ++p) {
            std::vector<std::pair<Extended, AnsiString>> texts;
            for (TrpComponent* o : t.Pages()->GetPage(p)->GetAllObjects())
                if (auto* m = dynamic_cast<TrpCustomMemoView*>(o)) {
                    const AnsiString s = TrimRight(m->GetText());
                    const Extended x = m->GetLeft() + m->GetParent()->GetLeft();
                    texts.emplace_back(m->GetTop() + m->GetParent()->GetTop(),
                                       s == "PF" ? s : s + "@" + FormatFloat("0.#", static_cast<double>(x)));
                }
            std::sort(texts.begin(), texts.end());
            out += "|";
            for (const auto& [y, s] : texts)
                out += s + " ";
        }
        EXPECT_EQ(out, c.expected);
    }
}

// A band split over pages or page columns: an object that fits whole in a part prints its
// text as in a band that is not split, also when its box is lower than a line of it (the
// text was lost, left for a part that never came); a text split over parts loses no line.
// Texts are listed per page and page column, an empty one as "-".
TEST(EnginePageColumns, SplitBandLosesNoText)
{
    struct Case {
        const char* why;
        bool pageColumns;
        const char* expected;
    };
    const Case cases[] = {
        {"pages", false,
         "|r1 a u1 r2 a b c d u2 r3 a u3 r4 |a b c d u4 r5 a u5 r6 a b c |d u6 r7 a u7 r8 a b c d u8 |"},
        {"page columns", true,
         "|r1 a u1 r2 a b c d u2 r3 a u3 r4 # a b c d u4 r5 a u5 r6 a b c |d u6 r7 a u7 r8 a b c d u8 |"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        Extended split = 0;
        if (c.pageColumns) {
            t.Page()->SetColumns(2);
            t.Page()->GetColumnPositions()->Clear();
            t.Page()->GetColumnPositions()->Add("0");
            t.Page()->GetColumnPositions()->Add("45");
            split = 45 * kMM;
        }
        std::vector<std::map<AnsiString, Variant>> data = NumberedRows(8);
        for (auto& r : data)
            r["Text"] = r["N"].AsInteger() % 2 ? AnsiString("a") : AnsiString("a\r\nb\r\nc\r\nd");
        auto* m = t.Band<TrpMasterData>(20, 40);
        m->SetDataSet(t.DataSet("D", data));
        m->Stretched = true;
        m->AllowSplit = true;
        t.Memo(m, 0, 0, 30, 10, "r[D.\"N\"]");  // lower than its line
        t.Memo(m, 0, 10, 40, 14, "[D.\"Text\"]")->StretchMode = smActualHeight;
        t.Memo(m, 0, 24, 40, 12, "u[D.\"N\"]");
        t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 100, 15, "PF");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        AnsiString out = "|";
        for (int p = 0; p < t.Pages()->GetCount(); ++p) {
            std::vector<std::tuple<int, Extended, AnsiString>> texts;
            for (TrpComponent* o : t.Pages()->GetPage(p)->GetAllObjects())
                if (auto* memo = dynamic_cast<TrpCustomMemoView*>(o)) {
                    const Extended x = memo->GetLeft() + memo->GetParent()->GetLeft();
                    const AnsiString s = TrimRight(memo->GetText());
                    if (s != "PF")
                        texts.emplace_back(split > 0 && x >= split - 0.01L ? 1 : 0,
                                           memo->GetTop() + memo->GetParent()->GetTop(),
                                           s.empty() ? AnsiString("-") : StringReplace(s, "\r\n", " ", rfReplaceAll));
                }
            std::sort(texts.begin(), texts.end());
            for (size_t i = 0; i < texts.size(); ++i)
                out += (i > 0 && std::get<0>(texts[i]) != std::get<0>(texts[i - 1]) ? "# " : "") +
                       std::get<2>(texts[i]) + " ";
            out += "|";
        }
        EXPECT_EQ(out, c.expected);
    }
}

// An object of a split band placed whole after a part of it was tried prints all its text
// left: a box lower than one line tried at the foot of a page (nothing fitted there), a box
// lower than its text whose first line went in a part, a line taller than a whole part.
// Their text, or its tail, was dropped: the part tried had taken it all for a part that
// never came. The pages' texts are listed, lines joined by blanks.
TEST(EnginePageColumns, SplitObjectPlacedAfterATryPrintsAllItHasLeft)
{
    struct Case {
        const char* why;
        Extended headerHeight, bandHeight, memoHeight;
        int fontSize, rows;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"a box lower than its line, nothing fitted at the page foot", 0, 26, 10, 10, 8, "r[D.\"N\"]",
         "|r1;r2;r3;r4;r5;r6;r7;|r8;|"},
        {"a box lower than its text, one line went in a part", 20, 30, 20, 10, 6, "x[D.\"N\"]\r\ny[D.\"N\"]",
         "|x1 y1;x2 y2;x3 y3;x4 y4;x5 y5;x6;|y6;|"},
        {"a line taller than a whole part", 0, 300, 300, 200, 1, "W", "||W;|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        if (c.headerHeight > 0)
            t.Band<TrpPageHeader>(0, c.headerHeight);
        auto* m = t.Band<TrpMasterData>(c.headerHeight + 5, c.bandHeight);
        m->SetDataSet(t.DataSet("D", NumberedRows(c.rows)));
        m->AllowSplit = true;
        TrpMemoView* memo = t.Memo(m, 0, 0, 45, c.memoHeight, c.text);
        memo->GetFont()->SetSize(c.fontSize);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        AnsiString out = "|";
        for (int p = 0; p < t.Pages()->GetCount(); ++p) {
            for (const AnsiString& text : PageTexts(t.Pages(), p))
                if (!text.empty())
                    out += StringReplace(text, "\r\n", " ", rfReplaceAll) + ";";
            out += "|";
        }
        EXPECT_EQ(out, c.expected);
    }
}

// A split band of which nothing fits at the foot of a page leaves no empty part there, and
// its outline entry points where it begins to print, on the next page: it pointed at the
// empty part. Rows of 26 on a page of 189: the eighth has 7 left, lower than a line.
TEST(EnginePageColumns, SplitBandThatBeginsOnTheNextPageLeavesNothingBehind)
{
    for (bool split : {false, true}) {
        SCOPED_TRACE(split ? "split" : "not split");
        TTestReport t;
        auto* m = t.Band<TrpMasterData>(5, 26);
        m->SetDataSet(t.DataSet("D", NumberedRows(8)));
        m->AllowSplit = split;
        m->OutlineText = "'M' + IntToStr(<D.\"N\">)";
        t.Memo(m, 0, 0, 45, 20, "r[D.\"N\"]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_EQ(t.Pages()->GetCount(), 2);
        EXPECT_EQ(t.Pages()->GetPage(0)->Objects().size(), 7u) << "the first page holds the seven rows only";
        auto* outline = dynamic_cast<TrpOutline*>(t.Pages()->Outline());
        ASSERT_NE(outline, nullptr);
        TrpXMLItem* root = outline->Root();
        ASSERT_EQ(root->Count(), 8);
        EXPECT_EQ(root->Items(7)->Prop("text"), "M8");
        EXPECT_EQ(root->Items(7)->Prop("page"), "1");
        EXPECT_EQ(root->Items(7)->Prop("top"), "0");
    }
}

}  // namespace

// Totals recounted: every total printed equals the rows it covers.
#include "report/output/tests/EngineTestSupport.h"

#include "report/output/rpEngineRun.h"

#include "report/model/rpOptions.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace {

// The text of every memo whose text starts with Prefix, in page order.
std::vector<AnsiString> TextsStarting(TrpPreviewPages* Pages, const AnsiString& Prefix)
{
    std::vector<AnsiString> out;
    for (int p = 0; p < Pages->GetCount(); ++p)
        for (const AnsiString& s : PageTexts(Pages, p))
            if (s.rfind(Prefix, 0) == 0)
                out.push_back(TrimRight(s));
    return out;
}

// A cross table of rows H (N = 1..5) and vertical columns V: the corner cell, under the
// vertical footer, of a footer, a summary or a page footer totals the rows of H.
TEST(AggregatesRecount, CornerCellUnderVerticalFooter)
{
    struct Case {
        const char* why;
        int band;  // 0 the rows' footer, 1 the summary, 2 the page footer
        int columns;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"footer, sum", 0, 3, "X[SUM(<H.\"N\">,Row)]", "X15"},
        {"footer, count", 0, 3, "X[COUNT(Row)]", "X5"},
        {"summary, sum", 1, 3, "X[SUM(<H.\"N\">,Row)]", "X15"},
        {"summary, max", 1, 3, "X[MAX(<H.\"N\">,Row)]", "X5"},
        {"page footer, sum", 2, 3, "X[SUM(<H.\"N\">,Row)]", "X15"},
        {"summary, columns in two parts", 1, 9, "X[SUM(<H.\"N\">,Row)]", "X15"},
        {"footer, columns in two parts", 0, 9, "X[AVG(<H.\"N\">,Row)]", "X3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        auto* row = t.Band<TrpMasterData>(20, 20);
        row->SetName("Row");
        row->SetDataSet(t.DataSet("H", NumberedRows(5)));
        t.Memo(row, 0, 0, 30, 20, "R[H.\"N\"]");
        t.Memo(row, 30, 0, 40, 20, "C[<H.\"N\"> * <V.\"N\">]");
        t.Memo(row, 75, 0, 40, 20, "V[SUM(<H.\"N\"> * <V.\"N\">,VBand)]");
        auto* vband = t.Band<TrpMasterData>(0, 0);
        vband->SetName("VBand");
        vband->Vertical = true;
        vband->SetBounds(30, 0, 40, 100);
        vband->SetDataSet(t.DataSet("V", NumberedRows(c.columns)));
        auto* vfooter = t.Band<TrpFooter>(0, 0);
        vfooter->Vertical = true;
        vfooter->SetBounds(75, 0, 40, 100);
        TrpBand* band = c.band == 0   ? static_cast<TrpBand*>(t.Band<TrpFooter>(50, 20))
                        : c.band == 1 ? static_cast<TrpBand*>(t.Band<TrpReportSummary>(80, 20))
                                      : static_cast<TrpBand*>(t.Band<TrpPageFooter>(150, 20));
        t.Memo(band, 30, 0, 40, 20, "c[SUM(<H.\"N\"> * <V.\"N\">,Row)]");
        t.Memo(band, 75, 0, 40, 20, c.text);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(TextsStarting(t.Pages(), "X"), std::vector<AnsiString>{c.expected});
        // The rows' own vertical footer still totals each row over its columns.
        const int n = c.columns * (c.columns + 1) / 2;
        EXPECT_EQ(TextsStarting(t.Pages(), "V"),
                  (std::vector<AnsiString>{"V" + IntToStr(n), "V" + IntToStr(2 * n), "V" + IntToStr(3 * n),
                                           "V" + IntToStr(4 * n), "V" + IntToStr(5 * n)}));
        // A column's cell below it totals that column: 15 times the column's number.
        std::vector<AnsiString> columns;
        for (int k = 1; k <= c.columns; ++k)
            columns.push_back("c" + IntToStr(15 * k));
        EXPECT_EQ(TextsStarting(t.Pages(), "c"), columns);
    }
}

}  // namespace

namespace {

// Rows "r<Sum>" and a page footer "PF<sum> <count> <max>": the footer of every page must
// equal a recount of the rows printed on that page.
void ExpectPageFootersRecount(TrpPreviewPages* Pages)
{
    for (int p = 0; p < Pages->GetCount(); ++p) {
        int sum = 0, count = 0, max = 0;
        AnsiString footer;
        for (const AnsiString& s : PageTexts(Pages, p)) {
            if (s.rfind("r", 0) == 0) {
                const int v = StrToInt(s.substr(1));
                sum += v;
                ++count;
                max = std::max(max, v);
            } else if (s.rfind("PF", 0) == 0) {
                footer = TrimRight(s);
            }
        }
        const AnsiString expected = count == 0 ? AnsiString("PF 0") : "PF" + IntToStr(sum) + " " +
                                                                          IntToStr(count) + " " + IntToStr(max);
        EXPECT_EQ(footer, expected) << "page " << p + 1;
    }
}

// A footer kept with the last row takes that row on to the next page: the row counts
// in the page footer of the page it prints on, not of the one it left.
TEST(AggregatesRecount, LastRowMovedWithItsFooter)
{
    struct Case {
        const char* why;
        int rows;
        bool group, keepGroup;
        bool keepRows = false;  // each row kept with its details
    };
    const Case cases[] = {
        {"the last row moves with the footer", 6, false, false},
        {"the footer fits: nothing moves", 5, false, false},
        {"the last row starts a new page itself", 7, false, false},
        {"two pages of rows, then the last moves", 13, false, false},
        {"in groups: each group's last row moves with the footer", 6, true, false},
        {"in kept groups", 6, true, true},
        {"rows kept with their details", 3, false, false, true},
        {"rows kept with their details, three pages", 5, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        if (c.group) {
            auto* gh = t.Band<TrpGroupHeader>(0, 10);
            gh->Condition = "D.\"Group\"";
            gh->KeepTogether = c.keepGroup;
            t.Memo(t.Band<TrpGroupFooter>(60, 10), 0, 0, 100, 10, "g");
        }
        auto* m = t.Band<TrpMasterData>(20, 25);
        m->SetName("Master");
        m->KeepFooter = true;
        m->KeepTogether = c.keepRows;
        m->SetDataSet(t.DataSet("D", NumberedRows(c.rows, 4)));
        t.Memo(m, 0, 0, 100, 25, "r[D.\"Sum\"]");
        if (c.keepRows) {
            auto* d = t.Band<TrpDetailData>(30, 15);
            d->SetDataSet(t.DataSet("S", NumberedRows(2)));
            t.Memo(d, 0, 0, 100, 15, "d[S.\"N\"]");
        }
        t.Memo(t.Band<TrpFooter>(50, 30), 0, 0, 100, 30, "F[SUM(<D.\"Sum\">,Master)]");
        t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 100, 15,
               "PF[SUM(<D.\"Sum\">,Master)] [COUNT(Master)] [MAX(<D.\"Sum\">,Master)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ExpectPageFootersRecount(t.Pages());
        // The band's own footer still totals every row.
        if (!c.keepRows) {
            EXPECT_EQ(TextsStarting(t.Pages(), "F"), std::vector<AnsiString>{"F" + IntToStr(5 * c.rows * (c.rows + 1))});
        }
    }
}

}  // namespace

namespace {

// Rows "r<Sum>", page footers "PF<sum> <count>" and "RT<running sum>", column footers
// "CF<sum> <count>": each must equal a recount of the rows printed above it, on its page
// or in its page column (split at Split, 0 for one), every row counted once.
void ExpectFootersRecount(TrpPreviewPages* Pages, Extended Split, int Rows)
{
    int running = 0, seen = 0;
    for (int p = 0; p < Pages->GetCount(); ++p) {
        TrpReportPage* page = Pages->GetPage(p);
        ASSERT_NE(page, nullptr);
        int sum[2] = {0, 0}, count[2] = {0, 0};
        std::vector<std::pair<int, AnsiString>> footers;
        AnsiString pf, rt;
        for (TrpComponent* c : page->GetAllObjects()) {
            auto* m = dynamic_cast<TrpCustomMemoView*>(c);
            if (!m)
                continue;
            const AnsiString s = TrimRight(m->GetText());
            const TrpComponent* band = m->GetParent();
            const int k = Split > 0 && m->GetLeft() + (band ? band->GetLeft() : 0) >= Split - 0.01L ? 1 : 0;
            if (s.rfind("r", 0) == 0) {
                sum[k] += StrToInt(s.substr(1));
                ++count[k];
            } else if (s.rfind("CF", 0) == 0) {
                footers.emplace_back(k, s);
            } else if (s.rfind("PF", 0) == 0) {
                pf = s;
            } else if (s.rfind("RT", 0) == 0) {
                rt = s;
            }
        }
        for (const auto& [k, s] : footers)
            EXPECT_EQ(s, "CF" + (count[k] ? IntToStr(sum[k]) : AnsiString()) + " " + IntToStr(count[k]))
                << "page " << p + 1 << " column " << k + 1;
        const int n = count[0] + count[1], total = sum[0] + sum[1];
        seen += n;
        running += total;
        EXPECT_EQ(pf, "PF" + (n ? IntToStr(total) : AnsiString()) + " " + IntToStr(n)) << "page " << p + 1;
        EXPECT_EQ(rt, "RT" + (running ? IntToStr(running) : AnsiString())) << "page " << p + 1;
    }
    EXPECT_EQ(seen, Rows);
}

// A band printed in columns with its footer kept: the records that move on with the footer
// count in the footers of the page (or page column) they print on, not of the one they left.
TEST(AggregatesRecount, RecordsInColumnsMovedWithTheirFooter)
{
    struct Case {
        int columns;
        int rows;
        bool pageColumns;
    };
    const Case cases[] = {
        {1, 10, false}, {1, 11, false}, {1, 12, false}, {1, 21, false},
        {2, 10, false}, {2, 11, false}, {2, 12, false}, {2, 21, false},
        {3, 10, false}, {3, 11, false}, {3, 12, false}, {3, 21, false},
        {2, 31, false}, {3, 16, false}, {3, 17, false}, {3, 18, false}, {3, 31, false},
        {1, 11, true},  {2, 11, true},  {2, 21, true},  {2, 22, true},  {3, 12, true},
        {3, 21, true},  {3, 31, true},  {3, 32, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(IntToStr(c.columns) + " columns, " + IntToStr(c.rows) + " rows" +
                     (c.pageColumns ? ", page columns" : ""));
        TTestReport t;
        Extended split = 0;
        if (c.pageColumns) {
            t.Page()->SetColumns(2);
            t.Page()->GetColumnPositions()->Clear();
            t.Page()->GetColumnPositions()->Add("0");
            t.Page()->GetColumnPositions()->Add("45");
            split = 45 * rpengine::kUnitsPerMM;
        }
        auto* m = t.Band<TrpMasterData>(20, 25);
        m->SetName("Master");
        m->KeepFooter = true;
        m->Columns = c.columns;
        m->ColumnWidth = 40;
        m->SetDataSet(t.DataSet("D", NumberedRows(c.rows)));
        t.Memo(m, 0, 0, 30, 25, "r[D.\"Sum\"]");
        t.Memo(t.Band<TrpFooter>(50, 30), 0, 0, 100, 30, "F[SUM(<D.\"Sum\">,Master)] [COUNT(Master)]");
        if (c.pageColumns)
            t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF[SUM(<D.\"Sum\">,Master)] [COUNT(Master)]");
        auto* pf = t.Band<TrpPageFooter>(150, 15);
        t.Memo(pf, 0, 0, 60, 15, "PF[SUM(<D.\"Sum\">,Master)] [COUNT(Master)]");
        t.Memo(pf, 60, 0, 40, 15, "RT[SUM(<D.\"Sum\">,Master,2)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ExpectFootersRecount(t.Pages(), split, c.rows);
        EXPECT_EQ(TextsStarting(t.Pages(), "F"),
                  std::vector<AnsiString>{"F" + IntToStr(5 * c.rows * (c.rows + 1)) + " " + IntToStr(c.rows)});
    }
}

// A band in columns with its footer kept, in groups kept together: the row of columns that
// a group change closes stays where it is, and counts there. It was counted with the next
// group's kept block and moved on with it to the next page's footers.
TEST(AggregatesRecount, RowOfColumnsClosedByAGroupCountsWhereItStays)
{
    struct Case {
        int columns, rows, groupSize;
        bool pageColumns;
    };
    const Case cases[] = {
        {2, 12, 3, false}, {3, 12, 2, false}, {3, 19, 2, false}, {3, 20, 5, false},
        {2, 12, 3, true},  {3, 19, 2, true},  {3, 31, 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(IntToStr(c.columns) + " columns, " + IntToStr(c.rows) + " rows in groups of " +
                     IntToStr(c.groupSize) + (c.pageColumns ? ", page columns" : ""));
        TTestReport t;
        Extended split = 0;
        if (c.pageColumns) {
            t.Page()->SetColumns(2);
            t.Page()->GetColumnPositions()->Clear();
            t.Page()->GetColumnPositions()->Add("0");
            t.Page()->GetColumnPositions()->Add("45");
            split = 45 * rpengine::kUnitsPerMM;
        }
        auto* gh = t.Band<TrpGroupHeader>(0, 10);
        gh->Condition = "D.\"Group\"";
        gh->KeepTogether = true;
        auto* m = t.Band<TrpMasterData>(20, 27);
        m->SetName("Master");
        m->KeepFooter = true;
        m->Columns = c.columns;
        m->ColumnWidth = 40;
        m->SetDataSet(t.DataSet("D", NumberedRows(c.rows, c.groupSize)));
        t.Memo(m, 0, 0, 30, 25, "r[D.\"Sum\"]");
        t.Memo(t.Band<TrpFooter>(50, 10), 0, 0, 100, 10, "F[SUM(<D.\"Sum\">,Master)] [COUNT(Master)]");
        t.Band<TrpGroupFooter>(65, 10);
        if (c.pageColumns)
            t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF[SUM(<D.\"Sum\">,Master)] [COUNT(Master)]");
        auto* pf = t.Band<TrpPageFooter>(150, 15);
        t.Memo(pf, 0, 0, 60, 15, "PF[SUM(<D.\"Sum\">,Master)] [COUNT(Master)]");
        t.Memo(pf, 60, 0, 40, 15, "RT[SUM(<D.\"Sum\">,Master,2)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ExpectFootersRecount(t.Pages(), split, c.rows);
    }
}

// Records split over pages: each counts in the footers of the page (or page column) its
// first part prints on, beside its figure, not where its last part lands. Records "r<Sum>"
// whose text runs over Lines lines below the figure; master or detail, kept footer or not.
TEST(AggregatesRecount, SplitRecordCountsWhereItBegins)
{
    struct Case {
        const char* why;
        bool detail, keepFooter, pageColumns;
        int rows, lines;
    };
    const Case cases[] = {
        {"master, over two pages", false, false, false, 5, 14},
        {"master, over four pages", false, false, false, 5, 40},
        {"master, footer kept with the last row", false, true, false, 6, 14},
        {"master, page columns", false, false, true, 11, 14},
        {"detail, over two pages", true, false, false, 5, 14},
        {"detail, page columns", true, false, true, 11, 20},
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
            split = 45 * rpengine::kUnitsPerMM;
        }
        std::vector<std::map<AnsiString, Variant>> rows = NumberedRows(c.rows);
        for (auto& row : rows) {
            AnsiString text = "x";
            for (int k = 0; k < (row["N"].AsInteger() % 2 ? c.lines : 1); ++k)
                text += "\nline";
            row["Name"] = text;
        }
        TrpDataBand* band = nullptr;
        if (c.detail) {
            auto* m = t.Band<TrpMasterData>(10, 10);
            m->SetDataSet(t.DataSet("M", NumberedRows(1)));
            band = t.Band<TrpDetailData>(30, 40);
        } else {
            band = t.Band<TrpMasterData>(30, 40);
        }
        band->SetName("Rows");
        band->AllowSplit = true;
        band->KeepFooter = c.keepFooter;
        band->SetDataSet(t.DataSet("D", rows));
        t.Memo(band, 0, 0, 50, 20, "r[D.\"Sum\"]");
        t.Memo(band, 0, 20, 30, 20, "[D.\"Name\"]")->StretchMode = smActualHeight;
        if (c.keepFooter)
            t.Memo(t.Band<TrpFooter>(80, 30), 0, 0, 100, 30, "F[SUM(<D.\"Sum\">,Rows)] [COUNT(Rows)]");
        if (c.pageColumns)
            t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF[SUM(<D.\"Sum\">,Rows)] [COUNT(Rows)]");
        auto* pf = t.Band<TrpPageFooter>(150, 15);
        t.Memo(pf, 0, 0, 60, 15, "PF[SUM(<D.\"Sum\">,Rows)] [COUNT(Rows)]");
        t.Memo(pf, 60, 0, 40, 15, "RT[SUM(<D.\"Sum\">,Rows,2)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ExpectFootersRecount(t.Pages(), split, c.rows);
        EXPECT_GT(t.Pages()->GetCount(), 1);
    }
}

// Records that grow (a stretched band) and split over pages, in the shapes a record takes:
// a child band after it, kept together, kept with its child, in a group kept together or
// reprinted on new pages, the last one kept with the footer, in a two-pass report. Each
// counts in the footers of the page (or page column) its first part prints on.
TEST(AggregatesRecount, GrownRecordSplitCountsWhereItBegins)
{
    enum Shape { Plain, Child, KeptTogether, KeptChild, KeptGroup, ReprintedGroup, KeptFooter };
    struct Case {
        const char* why;
        Shape shape;
        int rows, lines;
        bool pageColumns, twoPasses;
    };
    const Case cases[] = {
        {"plain, over three pages", Plain, 5, 40, false, false},
        {"with a child band", Child, 5, 30, false, false},
        {"kept together", KeptTogether, 5, 14, false, false},
        {"kept with its child", KeptChild, 5, 14, false, false},
        {"in a group kept together", KeptGroup, 6, 14, false, false},
        {"in a group reprinted on new pages", ReprintedGroup, 6, 14, false, false},
        {"the last one kept with the footer", KeptFooter, 5, 40, false, false},
        {"the last one kept with the footer, two passes", KeptFooter, 5, 14, false, true},
        {"with a child band, page columns", Child, 11, 14, true, false},
        {"kept together, page columns", KeptTogether, 11, 14, true, false},
        {"in a group kept together, page columns", KeptGroup, 11, 14, true, false},
        {"the last one kept with the footer, page columns", KeptFooter, 7, 30, true, false},
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
            split = 45 * rpengine::kUnitsPerMM;
        }
        t.Report()->GetEngineOptions()->DoublePass = c.twoPasses;
        std::vector<std::map<AnsiString, Variant>> rows = NumberedRows(c.rows);
        for (auto& row : rows) {
            AnsiString text = "x";
            for (int k = 0; k < (row["N"].AsInteger() % 2 ? c.lines : 1); ++k)
                text += "\nline";
            row["Name"] = text;
            row["G"] = row["N"].AsInteger() / 2;
        }
        if (c.shape == KeptGroup || c.shape == ReprintedGroup) {
            auto* g = t.Band<TrpGroupHeader>(20, 10);
            g->Condition = "<D.\"G\">";
            g->KeepTogether = c.shape == KeptGroup;
            g->ReprintOnNewPage = c.shape == ReprintedGroup;
            t.Memo(g, 0, 0, 50, 10, "g[D.\"G\"]");
            t.Memo(t.Band<TrpGroupFooter>(90, 10), 0, 0, 50, 10, "gf");
        }
        auto* band = t.Band<TrpMasterData>(30, 40);
        band->SetName("Rows");
        band->AllowSplit = true;
        band->Stretched = true;
        band->KeepTogether = c.shape == KeptTogether;
        band->KeepChild = c.shape == KeptChild;
        band->KeepFooter = c.shape == KeptFooter;
        band->SetDataSet(t.DataSet("D", rows));
        t.Memo(band, 0, 0, 50, 20, "r[D.\"Sum\"]");
        t.Memo(band, 0, 20, 30, 20, "[D.\"Name\"]")->StretchMode = smActualHeight;
        if (c.shape == Child || c.shape == KeptChild) {
            auto* child = t.Band<TrpChild>(75, 10);
            t.Memo(child, 0, 0, 30, 10, "child");
            band->SetChild(child);
        }
        if (c.shape == KeptFooter)
            t.Memo(t.Band<TrpFooter>(100, 20), 0, 0, 100, 20, "F[SUM(<D.\"Sum\">,Rows)] [COUNT(Rows)]");
        if (c.pageColumns)
            t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF[SUM(<D.\"Sum\">,Rows)] [COUNT(Rows)]");
        auto* pf = t.Band<TrpPageFooter>(150, 15);
        t.Memo(pf, 0, 0, 60, 15, "PF[SUM(<D.\"Sum\">,Rows)] [COUNT(Rows)]");
        t.Memo(pf, 60, 0, 40, 15, "RT[SUM(<D.\"Sum\">,Rows,2)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ExpectFootersRecount(t.Pages(), split, c.rows);
        EXPECT_GT(t.Pages()->GetCount(), 2);
    }
}

// A kept footer that does not fit below the last row, where that row began a page of its
// own (taking the footer along would gain nothing): the footer goes on alone, and the row
// counts on the page it prints on. It was counted with the footer on the page after.
TEST(AggregatesRecount, LastRowLeftBehindByItsFooterCountsWhereItPrints)
{
    struct Case {
        int columns, rows;
    };
    const Case cases[] = {{1, 2}, {1, 3}, {2, 3}, {2, 4}, {3, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(IntToStr(c.columns) + " columns, " + IntToStr(c.rows) + " rows");
        TTestReport t;
        auto* m = t.Band<TrpMasterData>(20, 140);
        m->SetName("Master");
        m->KeepFooter = true;
        m->Columns = c.columns;
        m->ColumnWidth = 30;
        m->SetDataSet(t.DataSet("D", NumberedRows(c.rows)));
        t.Memo(m, 0, 0, 25, 25, "r[D.\"Sum\"]");
        t.Memo(t.Band<TrpFooter>(170, 40), 0, 0, 100, 30, "F[SUM(<D.\"Sum\">,Master)] [COUNT(Master)]");
        auto* pf = t.Band<TrpPageFooter>(250, 15);
        t.Memo(pf, 0, 0, 60, 15, "PF[SUM(<D.\"Sum\">,Master)] [COUNT(Master)]");
        t.Memo(pf, 60, 0, 40, 15, "RT[SUM(<D.\"Sum\">,Master,2)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ExpectFootersRecount(t.Pages(), 0, c.rows);
        EXPECT_EQ(TextsStarting(t.Pages(), "F"),
                  std::vector<AnsiString>{"F" + IntToStr(5 * c.rows * (c.rows + 1)) + " " + IntToStr(c.rows)});
    }
}

}  // namespace

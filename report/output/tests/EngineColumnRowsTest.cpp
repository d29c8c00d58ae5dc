// Rows of band columns move as one: a row that goes on to the next page with a kept footer
// takes every record beside it along, each in its own column, and the page and column
// totals count each record where it is printed.
#include "report/output/tests/EngineTestSupport.h"

#include "report/output/rpOutline.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

constexpr Extended kMM = 3.77953L;

struct TPlaced {
    int Column;  // page column
    Extended Top, Left;
    AnsiString Text;
};

constexpr Extended ColumnWidth = 40;

bool IsRecord(const AnsiString& S) { return !S.empty() && S[0] >= '0' && S[0] <= '9'; }

// Records "r<N>" print as N, followed by "@<band column>" when that is not their place in
// their row; rows of band columns are joined by blanks, rows below one
// another by "/", page columns by " | " and pages by "; ". Footers "F", "G" show whole.
// Page and column footers ("PF<sum> <count>", "CF<sum> <count>") must equal a recount of
// the records printed on their page or page column, each record once.
AnsiString RowsLayout(TrpPreviewPages* Pages, Extended Split, int Records)
{
    AnsiString out;
    int seen = 0;
    for (int p = 0; p < Pages->GetCount(); ++p) {
        TrpReportPage* page = Pages->GetPage(p);
        if (!page)
            continue;
        std::vector<TPlaced> placed;
        int sum[2] = {0, 0}, count[2] = {0, 0};
        std::vector<std::pair<int, AnsiString>> columnFooters;
        AnsiString pageFooter;
        for (TrpComponent* c : page->GetAllObjects()) {
            auto* m = dynamic_cast<TrpCustomMemoView*>(c);
            if (!m)
                continue;
            AnsiString s = TrimRight(m->GetText());
            s = s.substr(0, s.find('\r'));
            const TrpComponent* band = m->GetParent();
            const Extended x = m->GetLeft() + (band ? band->GetLeft() : 0);
            const Extended y = m->GetTop() + (band ? band->GetTop() : 0);
            const int k = Split > 0 && x >= Split - 0.01L ? 1 : 0;
            if (s.rfind("r", 0) == 0) {
                sum[k] += StrToInt(s.substr(1));
                ++count[k];
                placed.push_back({k, y, x, s.substr(1)});
            } else if (s.rfind("CF", 0) == 0) {
                columnFooters.emplace_back(k, s);
            } else if (s.rfind("PF", 0) == 0) {
                pageFooter = s;
            } else {
                placed.push_back({k, y, x, s});
            }
        }
        for (const auto& [k, s] : columnFooters)
            EXPECT_EQ(s, "CF" + (count[k] ? IntToStr(sum[k]) : AnsiString()) + " " + IntToStr(count[k]))
                << "page " << p + 1 << " column " << k + 1;
        const int n = count[0] + count[1];
        seen += n;
        EXPECT_EQ(pageFooter, "PF" + (n ? IntToStr(sum[0] + sum[1]) : AnsiString()) + " " + IntToStr(n))
            << "page " << p + 1;
        std::sort(placed.begin(), placed.end(), [](const TPlaced& a, const TPlaced& b) {
            return std::tie(a.Column, a.Top, a.Left) < std::tie(b.Column, b.Top, b.Left);
        });
        if (!out.empty())
            out += "; ";
        int inRow = 0;
        for (size_t i = 0; i < placed.size(); ++i) {
            if (i > 0) {
                const TPlaced& prev = placed[i - 1];
                const AnsiString gap = prev.Column != placed[i].Column    ? " | "
                                       : placed[i].Top > prev.Top + 0.01L ? "/"
                                                                          : " ";
                inRow = gap == " " ? inRow : 0;
                out += gap;
            }
            out += placed[i].Text;
            // A record that is not in the band column its place in the row calls for.
            const Extended left = placed[i].Left - (placed[i].Column ? Split : 0);
            const int bandColumn = static_cast<int>(left / ColumnWidth + 0.5L) + 1;
            ++inRow;
            if (IsRecord(placed[i].Text) && bandColumn != inRow)
                out += "@" + IntToStr(bandColumn);
        }
    }
    EXPECT_EQ(seen, Records);
    return out;
}

// Two page columns, the second at 45 mm, with a column footer of the master's totals when
// asked; gives where the second column begins.
Extended UsePageColumns(TTestReport& t, bool columnFooter)
{
    t.Page()->SetColumns(2);
    t.Page()->GetColumnPositions()->Clear();
    t.Page()->GetColumnPositions()->Add("0");
    t.Page()->GetColumnPositions()->Add("45");
    if (columnFooter)
        t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 40, 15, "CF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
    return 45 * kMM;
}

// The band of columns the tests lay out: "Master", Columns band columns of ColumnWidth over
// Data (named "D"), each record printing "r<N>" in a memo MemoWidth wide, as tall as the band.
TrpMasterData* ColumnsBand(TTestReport& t, Extended Top, Extended Height, int Columns, TrpDataSet* Data,
                           Extended MemoWidth)
{
    auto* m = t.Band<TrpMasterData>(Top, Height);
    m->SetName("Master");
    m->Columns = Columns;
    m->ColumnWidth = ColumnWidth;
    m->SetDataSet(Data);
    t.Memo(m, 0, 0, MemoWidth, Height, "r[D.\"N\"]");
    return m;
}

// A child band under Band's records, printing "c<N>".
void RecordChild(TTestReport& t, TrpBand* Band, Extended Top, Extended Height, Extended MemoWidth)
{
    auto* child = t.Band<TrpChild>(Top, Height);
    t.Memo(child, 0, 0, MemoWidth, Height, "c[D.\"N\"]");
    Band->SetChild(child);
}

// Groups over D's "Group": a header 10 high printing "g" and a footer 10 high printing "G".
TrpGroupHeader* GroupBands(TTestReport& t, Extended HeaderTop, Extended FooterTop)
{
    auto* gh = t.Band<TrpGroupHeader>(HeaderTop, 10);
    gh->Condition = "D.\"Group\"";
    t.Memo(gh, 0, 0, 30, 10, "g");
    t.Memo(t.Band<TrpGroupFooter>(FooterTop, 10), 0, 0, 30, 10, "G");
    return gh;
}

// The master's footer, "F<sum> <count>".
void MasterFooter(TTestReport& t, Extended Top, Extended Height, Extended MemoWidth)
{
    t.Memo(t.Band<TrpFooter>(Top, Height), 0, 0, MemoWidth, Height, "F[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
}

AnsiString Overprints(TrpPreviewPages* Pages, Extended FooterTop);
AnsiString ChildrenOffTheirRecords(TrpPreviewPages* Pages);
AnsiString EntriesOffTheirRecords(TrpPreviewPages* Pages, const AnsiString& Stems);

// What a layout is checked for besides its rows.
enum TRowChecks {
    rcOverprints = 1,  // nothing printed over anything else or below the page footer's top
    rcChildren = 2,    // every child band right under its record
    rcEntries = 4,     // every record's outline entry pointing at it
};

// With the page footer of the master's totals ("PF<sum> <count>"), the report prepares and
// lays out its Records records as Expected, and passes the Checks.
void ExpectRows(TTestReport& t, Extended Split, int Records, const char* Expected, int Checks = 0)
{
    t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 100, 15, "PF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(RowsLayout(t.Pages(), Split, Records), Expected);
    if (Checks & rcOverprints) {
        EXPECT_EQ(Overprints(t.Pages(), 174), "");
    }
    if (Checks & rcChildren) {
        EXPECT_EQ(ChildrenOffTheirRecords(t.Pages()), "");
    }
    if (Checks & rcEntries) {
        EXPECT_EQ(EntriesOffTheirRecords(t.Pages(), "r"), "");
    }
}

// A band of columns whose footer keeps with its data: when the footer does not fit, the
// last row of columns goes on with it, whole, each record in its column; a record never
// stays alone where its row-mates were.
TEST(EngineColumnRows, KeptFooterTakesTheWholeLastRow)
{
    struct Case {
        const char* why;
        int columns, records;
        int groupSize;      // 0: no groups
        bool pageColumns;   // two page columns with a column footer
        const char* expected;
    };
    const Case cases[] = {
        {"one column: the last record moves", 1, 6, 0, false, "1/2/3/4/5; 6/F21 6"},
        {"two columns, the row full", 2, 12, 0, false, "1 2/3 4/5 6/7 8/9 10; 11 12/F78 12"},
        {"two columns, the row partly filled", 2, 11, 0, false, "1 2/3 4/5 6/7 8/9 10; 11/F66 11"},
        {"three columns, the row full", 3, 18, 0, false,
         "1 2 3/4 5 6/7 8 9/10 11 12/13 14 15; 16 17 18/F171 18"},
        {"three columns, two of the row", 3, 17, 0, false,
         "1 2 3/4 5 6/7 8 9/10 11 12/13 14 15; 16 17/F153 17"},
        {"the footer fits: nothing moves", 2, 10, 0, false, "1 2/3 4/5 6/7 8/9 10/F55 10"},
        {"two pages of rows, then the last row moves", 2, 24, 0, false,
         "1 2/3 4/5 6/7 8/9 10/11 12; 13 14/15 16/17 18/19 20/21 22; 23 24/F300 24"},
        {"with a group footer, the row full", 2, 10, 4, false, "1 2/3 4/G/5 6/7 8/G; 9 10/G/F55 10"},
        {"with a group footer, the row partly filled", 2, 9, 4, false, "1 2/3 4/G/5 6/7 8/G; 9/G/F45 9"},
        {"three columns with a group footer", 3, 15, 6, false,
         "1 2 3/4 5 6/G/7 8 9/10 11 12/G; 13 14 15/G/F120 15"},
        {"three columns with a group footer, two of the row", 3, 14, 6, false,
         "1 2 3/4 5 6/G/7 8 9/10 11 12/G; 13 14/G/F105 14"},
        {"page columns with a column footer", 2, 24, 0, true,
         "1 2/3 4/5 6/7 8/9 10/11 12 | 13 14/15 16/17 18/19 20/21 22; 23 24/F300 24"},
        {"page columns, the row partly filled", 3, 35, 0, true,
         "1 2 3/4 5 6/7 8 9/10 11 12/13 14 15/16 17 18 | 19 20 21/22 23 24/25 26 27/28 29 30/31 32 33; "
         "34 35/F630 35"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const Extended split = c.pageColumns ? UsePageColumns(t, true) : 0;
        if (c.groupSize) {
            auto* gh = t.Band<TrpGroupHeader>(0, 0);
            gh->Condition = "D.\"Group\"";
            t.Memo(t.Band<TrpGroupFooter>(60, 10), 0, 0, 30, 10, "G");
        }
        auto* m = ColumnsBand(t, 20, 25, c.columns, t.DataSet("D", NumberedRows(c.records, c.groupSize)), 30);
        m->KeepFooter = true;
        MasterFooter(t, 50, 30, 100);
        ExpectRows(t, split, c.records, c.expected);
    }
}

// A header kept with the first row of a band of columns goes on with that whole row when
// the row does not fit below it, rather than staying alone at the foot of the page.
TEST(EngineColumnRows, KeptHeaderGoesWithTheWholeFirstRow)
{
    struct Case {
        const char* why;
        int columns, before, records;
        const char* expected;
        bool pageColumns = false;
    };
    const Case cases[] = {
        {"two columns", 2, 6, 4, "a/a/a/a/a/a; H/1 2/3 4/F10 4"},
        {"into the next page column", 2, 6, 4, "a/a/a/a/a/a | H/1 2/3 4/F10 4", true},
        {"three columns, the row partly filled", 3, 6, 2, "a/a/a/a/a/a; H/1 2/F3 2"},
        {"one column", 1, 6, 2, "a/a/a/a/a/a; H/1/2/F3 2"},
        {"the row fits: nothing moves", 2, 5, 2, "a/a/a/a/a/H/1 2; F3 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        if (c.pageColumns)
            UsePageColumns(t, false);
        auto* above = t.Band<TrpMasterData>(5, 25);
        above->SetDataSet(t.DataSet("A", NumberedRows(c.before)));
        t.Memo(above, 0, 0, 30, 25, "a");
        t.Memo(t.Band<TrpHeader>(10, 20), 0, 0, 30, 20, "H");
        auto* m = ColumnsBand(t, 40, 25, c.columns, t.DataSet("D", NumberedRows(c.records)), 30);
        m->KeepHeader = true;
        MasterFooter(t, 70, 30, 100);
        ExpectRows(t, c.pageColumns ? 45 * kMM : 0, c.records, c.expected);
    }
}

// Records each kept together with what belongs to them, in a band of columns: a row of
// columns that does not fit moves on whole, each record in its column.
TEST(EngineColumnRows, RecordsKeptTogetherMoveOnAsAWholeRow)
{
    struct Case {
        const char* why;
        int columns, records;
        const char* expected;
        bool pageColumns = false;
    };
    const Case cases[] = {
        {"two columns", 2, 14, "1 2/3 4/5 6/7 8/9 10/11 12; 13 14"},
        {"three columns, the row partly filled", 3, 20, "1 2 3/4 5 6/7 8 9/10 11 12/13 14 15/16 17 18; 19 20"},
        {"one column", 1, 8, "1/2/3/4/5/6; 7/8"},
        {"page columns", 2, 26, "1 2/3 4/5 6/7 8/9 10/11 12 | 13 14/15 16/17 18/19 20/21 22/23 24; 25 26", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        if (c.pageColumns)
            UsePageColumns(t, false);
        auto* m = ColumnsBand(t, 20, 25, c.columns, t.DataSet("D", NumberedRows(c.records)), 30);
        m->KeepTogether = true;
        ExpectRows(t, c.pageColumns ? 45 * kMM : 0, c.records, c.expected);
    }
}

// Rows of a band of columns with vertical cells: per page and page column, rows "R<N>"
// followed by their cells' span ("3:1-3"; on pages a row goes on over, the span alone),
// rows side by side joined by blanks, rows below one another by "/" and page columns by
// " # "; then the footers.
// A row whose part lies at another height than the row itself, or two texts printed over
// one another, are marked "!".
AnsiString PartsLayout(TrpPreviewPages* Pages, Extended Split)
{
    struct TText {
        int Column;
        Extended Left, Top, Width, Height;
        AnsiString Text;
    };
    AnsiString out;
    std::map<int, Extended> rowTop;
    for (int p = 0; p < Pages->GetCount(); ++p) {
        TrpReportPage* page = Pages->GetPage(p);
        if (!page)
            continue;
        std::vector<TText> texts;
        AnsiString footers;
        for (TrpComponent* c : page->GetAllObjects()) {
            auto* m = dynamic_cast<TrpCustomMemoView*>(c);
            if (!m)
                continue;
            AnsiString s = TrimRight(m->GetText());
            s = s.substr(0, s.find('\r'));
            const TrpComponent* band = m->GetParent();
            const Extended x = m->GetLeft() + (band ? band->GetLeft() : 0);
            const Extended y = m->GetTop() + (band ? band->GetTop() : 0);
            if (s.rfind("PF", 0) == 0 || s.rfind("CF", 0) == 0 || s.rfind("PH", 0) == 0 ||
                s.rfind("A", 0) == 0 || s.rfind("F", 0) == 0) {
                footers += " " + s;
                continue;
            }
            texts.push_back({Split > 0 && x >= Split - 0.01L ? 1 : 0, x, y, m->GetWidth(), m->GetHeight(), s});
        }
        bool overlap = false;
        for (size_t i = 0; i < texts.size(); ++i)
            for (size_t j = i + 1; j < texts.size(); ++j) {
                const TText& a = texts[i];
                const TText& b = texts[j];
                if (a.Left < b.Left + b.Width - 0.01L && b.Left < a.Left + a.Width - 0.01L &&
                    a.Top < b.Top + b.Height - 0.01L && b.Top < a.Top + a.Height - 0.01L)
                    overlap = true;
            }
        std::sort(texts.begin(), texts.end(), [](const TText& a, const TText& b) {
            return std::tie(a.Column, a.Top, a.Left) < std::tie(b.Column, b.Top, b.Left);
        });
        out += "|";
        // Consecutive texts of one row in one page column make one group.
        struct TGroup {
            int Row, Column, First = 0, Last = 0;
            Extended Top;
            bool Own = false;
        };
        std::vector<TGroup> groups;
        for (const TText& t : texts) {
            const bool own = t.Text.rfind("R", 0) == 0;
            const size_t colon = t.Text.find(':');
            const int row = StrToInt(own ? t.Text.substr(1) : t.Text.substr(0, colon));
            if (groups.empty() || groups.back().Row != row || groups.back().Column != t.Column)
                groups.push_back({row, t.Column, 0, 0, t.Top});
            TGroup& g = groups.back();
            if (own) {
                g.Own = true;
                continue;
            }
            const int v = StrToInt(t.Text.substr(colon + 1));
            g.First = g.First ? std::min(g.First, v) : v;
            g.Last = std::max(g.Last, v);
        }
        for (size_t i = 0; i < groups.size(); ++i) {
            const TGroup& g = groups[i];
            if (i > 0)
                out += g.Column != groups[i - 1].Column ? " # " : g.Top > groups[i - 1].Top + 0.01L ? "/" : " ";
            if (g.Own)
                out += "R" + IntToStr(g.Row) + (g.First ? " " : "");
            if (g.First)
                out += IntToStr(g.Row) + ":" + IntToStr(g.First) + (g.Last > g.First ? "-" + IntToStr(g.Last) : "");
            auto [at, added] = rowTop.try_emplace(g.Row, g.Top);
            if (!added && std::fabs(static_cast<double>(at->second - g.Top)) > 0.01)
                out += "!";
        }
        out += ";" + footers + (overlap ? " !overlap" : "");
    }
    return out;
}

// A row of columns with vertical cells: "R<N>" 20 high (taller for the tall records)
// and cells of 40 from 30 on, in band columns of ColumnWidthOfParts.
constexpr Extended ColumnWidthOfParts = 170;

// A row of a band of columns whose later column is too tall for the page moves on to the
// next page or page column whole; the further parts of every column of it follow on the
// pages after the one it lands on, beside one another at its new height, over no other
// row's parts; the totals count every record where it is printed.
TEST(EngineColumnRows, RowMovingOnTakesItsFurtherParts)
{
    struct Case {
        const char* why;
        int rows, vcolumns;
        std::vector<int> tall;  // the records printed tall
        int tallLines;
        bool pageColumns;
        const char* expected;
        int before = 0;  // rows of another band above
        int columns = 2;
        bool keepFooter = false;
    };
    const Case cases[] = {
        {"the second column too tall: the row moves on with its parts", 10, 7, {8}, 7, false,
         "|R1 1:1-3 R2 2:1-3/R3 3:1-3 R4 4:1-3/R5 5:1-3 R6 6:1-3; PH PF21 6"
         "|1:4-7 2:4-7/3:4-7 4:4-7/5:4-7 6:4-7; PH PF21 6"
         "|R7 7:1-3 R8 8:1-3/R9 9:1-3 R10 10:1-3; PH PF34 4"
         "|7:4-7 8:4-7/9:4-7 10:4-7; PH PF34 4"},
        {"the first column too tall", 10, 7, {7}, 7, false,
         "|R1 1:1-3 R2 2:1-3/R3 3:1-3 R4 4:1-3/R5 5:1-3 R6 6:1-3; PH PF21 6"
         "|1:4-7 2:4-7/3:4-7 4:4-7/5:4-7 6:4-7; PH PF21 6"
         "|R7 7:1-3 R8 8:1-3/R9 9:1-3 R10 10:1-3; PH PF34 4"
         "|7:4-7 8:4-7/9:4-7 10:4-7; PH PF34 4"},
        {"taller than a whole page", 6, 7, {4}, 12, false,
         "|R1 1:1-3 R2 2:1-3; PH PF3 2"
         "|1:4-7 2:4-7; PH PF3 2"
         "|R3 3:1-3 R4 4:1-3; PH PF7 2"
         "|3:4-7 4:4-7; PH PF7 2"
         "|R5 5:1-3 R6 6:1-3; PH PF11 2"
         "|5:4-7 6:4-7; PH PF11 2"},
        {"three parts", 10, 11, {8}, 7, false,
         "|R1 1:1-3 R2 2:1-3/R3 3:1-3 R4 4:1-3/R5 5:1-3 R6 6:1-3; PH PF21 6"
         "|1:4-7 2:4-7/3:4-7 4:4-7/5:4-7 6:4-7; PH PF21 6"
         "|1:8-11 2:8-11/3:8-11 4:8-11/5:8-11 6:8-11; PH PF21 6"
         "|R7 7:1-3 R8 8:1-3/R9 9:1-3 R10 10:1-3; PH PF34 4"
         "|7:4-7 8:4-7/9:4-7 10:4-7; PH PF34 4"
         "|7:8-11 8:8-11/9:8-11 10:8-11; PH PF34 4"},
        {"rows in one part move as before", 10, 3, {8}, 7, false,
         "|R1 1:1-3 R2 2:1-3/R3 3:1-3 R4 4:1-3/R5 5:1-3 R6 6:1-3; PH PF21 6"
         "|R7 7:1-3 R8 8:1-3/R9 9:1-3 R10 10:1-3; PH PF34 4"},
        {"into the next page column", 10, 7, {8}, 7, true,
         "|R1 1:1 R2 2:1/R3 3:1 R4 4:1/R5 5:1 R6 6:1 # R7 7:1 R8 8:1/R9 9:1 R10 10:1; PH CF21 CF34 PF55 10"
         "|1:2-3 2:2-3/3:2-3 4:2-3/5:2-3 6:2-3 # 7:2-3 8:2-3/9:2-3 10:2-3; PH CF21 CF34 PF55 10"
         "|1:4-5 2:4-5/3:4-5 4:4-5/5:4-5 6:4-5 # 7:4-5 8:4-5/9:4-5 10:4-5; PH CF21 CF34 PF55 10"
         "|1:6-7 2:6-7/3:6-7 4:6-7/5:6-7 6:6-7 # 7:6-7 8:6-7/9:6-7 10:6-7; PH CF21 CF34 PF55 10"},
        {"the pages made for the parts of a row that moves on go with it", 4, 7, {2}, 4, false,
         "|; PH A1 A2 A3 A4 A5 A6 PF 0"
         "|R1 1:1-3 R2 2:1-3/R3 3:1-3 R4 4:1-3; PH PF10 4"
         "|1:4-7 2:4-7/3:4-7 4:4-7; PH PF10 4",
         6},
        {"and in the next page column", 4, 7, {2}, 4, true,
         "|R1 1:1 R2 2:1/R3 3:1 R4 4:1; PH A1 A2 A3 A4 A5 A6 CF CF10 PF10 4"
         "|1:2-3 2:2-3/3:2-3 4:2-3; PH CF10 PF10 4"
         "|1:4-5 2:4-5/3:4-5 4:4-5; PH CF10 PF10 4"
         "|1:6-7 2:6-7/3:6-7 4:6-7; PH CF10 PF10 4",
         6},
        {"a kept footer does not take a row in parts away from its parts", 14, 7, {}, 0, false,
         "|R1 1:1-3 R2 2:1-3/R3 3:1-3 R4 4:1-3/R5 5:1-3 R6 6:1-3/R7 7:1-3 R8 8:1-3/R9 9:1-3 R10 10:1-3"
         "/R11 11:1-3 R12 12:1-3/R13 13:1-3 R14 14:1-3; PH PF105 14"
         "|1:4-7 2:4-7/3:4-7 4:4-7/5:4-7 6:4-7/7:4-7 8:4-7/9:4-7 10:4-7/11:4-7 12:4-7/13:4-7 14:4-7; PH PF105 14"
         "|; PH F105 PF 0",
         0, 2, true},
        {"nor in one column", 7, 10, {}, 0, false,
         "|R1 1:1-7/R2 2:1-7/R3 3:1-7/R4 4:1-7/R5 5:1-7/R6 6:1-7/R7 7:1-7; PH PF28 7"
         "|1:8-10/2:8-10/3:8-10/4:8-10/5:8-10/6:8-10/7:8-10; PH PF28 7"
         "|; PH F28 PF 0",
         0, 1, true},
        {"a kept footer takes a row in one part along", 14, 3, {}, 0, false,
         "|R1 1:1-3 R2 2:1-3/R3 3:1-3 R4 4:1-3/R5 5:1-3 R6 6:1-3/R7 7:1-3 R8 8:1-3/R9 9:1-3 R10 10:1-3"
         "/R11 11:1-3 R12 12:1-3; PH PF78 12"
         "|R13 13:1-3 R14 14:1-3; PH F105 PF27 2",
         0, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const Extended split = c.pageColumns ? UsePageColumns(t, false) : 0;
        t.Page()->OutlineText = "Page";
        t.Memo(t.Band<TrpPageHeader>(0, 15), 0, 0, 40, 15, "PH");
        if (c.before) {
            auto* above = t.Band<TrpMasterData>(16, 20);
            above->SetDataSet(t.DataSet("A", NumberedRows(c.before)));
            t.Memo(above, 0, 0, 30, 20, "A[A.\"N\"]");
        }
        auto* row = t.Band<TrpMasterData>(20, 20);
        row->SetName("Row");
        row->Columns = c.columns;
        row->KeepFooter = c.keepFooter;
        row->ColumnWidth = c.pageColumns ? 85 : ColumnWidthOfParts;
        row->Stretched = true;
        std::vector<std::map<AnsiString, Variant>> data = NumberedRows(c.rows);
        for (auto& r : data) {
            AnsiString text = "R" + IntToStr(r["N"].AsInteger());
            if (std::find(c.tall.begin(), c.tall.end(), r["N"].AsInteger()) != c.tall.end())
                for (int k = 1; k < c.tallLines; ++k)
                    text += "\r\n.";
            r["Text"] = text;
        }
        row->SetDataSet(t.DataSet("H", data));
        auto* own = t.Memo(row, 0, 0, 30, 20, "[H.\"Text\"]");
        own->StretchMode = smActualHeight;
        t.Memo(row, 30, 0, 40, 20, "[H.\"N\"]:[V.\"N\"]");
        auto* vband = t.Band<TrpMasterData>(0, 0);
        vband->Vertical = true;
        vband->SetBounds(30, 0, 40, 100);
        vband->SetDataSet(t.DataSet("V", NumberedRows(c.vcolumns)));
        if (c.pageColumns)
            t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF[SUM(<H.\"N\">,Row)]");
        if (c.keepFooter)
            t.Memo(t.Band<TrpFooter>(60, 40), 0, 0, 100, 40, "F[SUM(<H.\"N\">,Row)]");
        t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 100, 15, "PF[SUM(<H.\"N\">,Row)] [COUNT(Row)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(PartsLayout(t.Pages(), split), c.expected);
        // One outline entry per page, none for a page that went.
        AnsiString entries, pages;
        TrpXMLItem* root = t.Pages()->GetOutline()->Root();
        for (int i = 0; i < root->Count(); ++i)
            entries += " " + root->Items(i)->Prop("page");
        for (int i = 0; i < t.Pages()->GetCount(); ++i)
            pages += " " + IntToStr(i);
        EXPECT_EQ(entries, pages);
    }
}

// Texts printed over one another, or below the page footer's top, on any page.
AnsiString Overprints(TrpPreviewPages* Pages, Extended FooterTop)
{
    struct TText {
        Extended Left, Top, Width, Height;
        AnsiString Text;
    };
    AnsiString out;
    for (int p = 0; p < Pages->GetCount(); ++p) {
        TrpReportPage* page = Pages->GetPage(p);
        if (!page)
            continue;
        std::vector<TText> texts;
        for (TrpComponent* c : page->GetAllObjects()) {
            auto* m = dynamic_cast<TrpCustomMemoView*>(c);
            if (!m)
                continue;
            const TrpComponent* band = m->GetParent();
            const Extended x = m->GetLeft() + (band ? band->GetLeft() : 0);
            const Extended y = m->GetTop() + (band ? band->GetTop() : 0);
            const AnsiString s = TrimRight(m->GetText());
            texts.push_back({x, y, m->GetWidth(), m->GetHeight(), s.substr(0, s.find('\r'))});
        }
        for (size_t i = 0; i < texts.size(); ++i) {
            const TText& a = texts[i];
            if (a.Text.rfind("PF", 0) != 0 && a.Text.rfind("CF", 0) != 0 && a.Top + a.Height > FooterTop + 0.01L)
                out += " p" + IntToStr(p + 1) + ":" + a.Text + "@foot";
            for (size_t j = i + 1; j < texts.size(); ++j) {
                const TText& b = texts[j];
                if (a.Left < b.Left + b.Width - 0.01L && b.Left < a.Left + a.Width - 0.01L &&
                    a.Top < b.Top + b.Height - 0.01L && b.Top < a.Top + a.Height - 0.01L)
                    out += " p" + IntToStr(p + 1) + ":" + a.Text + "/" + b.Text;
            }
        }
    }
    return out;
}

// Child bands "c<N>" that do not lie right under their record "r<N>", and children of
// those, "e<N>", that do not lie right under their "c<N>": on another page, at another
// left, or not at its bottom.
AnsiString ChildrenOffTheirRecords(TrpPreviewPages* Pages)
{
    struct TAt {
        int Page;
        Extended Left, Top, Bottom;
    };
    std::map<char, std::map<AnsiString, TAt>> placed;  // by the text's first letter
    for (int p = 0; p < Pages->GetCount(); ++p) {
        TrpReportPage* page = Pages->GetPage(p);
        if (!page)
            continue;
        for (TrpComponent* c : page->GetAllObjects()) {
            auto* m = dynamic_cast<TrpCustomMemoView*>(c);
            if (!m)
                continue;
            AnsiString s = TrimRight(m->GetText());
            s = s.substr(0, s.find('\r'));
            const TrpComponent* band = m->GetParent();
            const Extended x = m->GetLeft() + (band ? band->GetLeft() : 0);
            const Extended y = m->GetTop() + (band ? band->GetTop() : 0);
            if (!s.empty())
                placed[s[0]][s.substr(1)] = {p, x, y, y + m->GetHeight()};
        }
    }
    AnsiString out;
    for (const auto& [under, over] : {std::pair{'c', 'r'}, std::pair{'e', 'c'}})
        for (const auto& [n, c] : placed[under]) {
            auto r = placed[over].find(n);
            if (r == placed[over].end() || r->second.Page != c.Page ||
                std::fabs(double(r->second.Left - c.Left)) > 0.01 || std::fabs(double(r->second.Bottom - c.Top)) > 0.01)
                out += AnsiString(" ") + under + n;
        }
    return out;
}

// Rows of band columns under groups whose footers and headers are both kept, beside page
// columns, and at the edges of the data: every record printed once, in its place, and each
// page's footer counting exactly what it prints.
TEST(EngineColumnRows, KeptHeaderAndFooterWithGroupsAndPageColumns)
{
    struct Case {
        const char* why;
        int columns, records, groupSize;
        bool pageColumns, keepHeader, keepFooter, keepTogether;
        const char* expected;
        bool child = false;  // each record with a child band "c<N>" under it
    };
    const Case cases[] = {
        {"no records", 3, 0, 0, true, true, true, false, ""},
        {"one record", 3, 1, 0, true, true, true, false, "H/1/F1 1"},
        {"four columns, page columns, header and footer kept", 4, 30, 0, true, true, true, false,
            "H/1 2 3 4/5 6 7 8/9 10 11 12/13 14 15 16/17 18 19 20 | 21 22 23 24/25 26 27 28/29 30/F465 30"},
        {"three columns, groups, header and footer kept", 3, 25, 4, false, true, true, false,
            "H/g/1 2 3/4/G/g/5 6 7/8/G/g; 9 10 11/12/G/g/13 14 15/16/G/g/17 18 19; 20/G/g/21 22 23/24/G; g/25/G/F325 "
            "25"},
        {"two columns, groups, page columns, all kept", 2, 30, 3, true, true, true, true,
            "H/g/1 2/3/G/g/4 5/6 | G/g/7 8/9/G/g/10 11/12/G; g/13 14/15/G/g/16 17/18/G/g | 19 20/21/G/g/22 23/24/G/g; "
            "25 26/27/G/g/28 29/30/G | F465 30"},
        {"three columns, page columns, kept together", 3, 40, 5, true, false, true, true,
            "H/g/1 2 3/4 5/G/g/6 7 8/9 10 | G/g/11 12 13/14 15/G/g/16 17 18/19 20/G; g/21 22 23/24 25/G/g/26 27 28/29 "
            "30/G/g | "
            "31 32 33/34 35/G/g/36 37 38; 39 40/G/F820 40"},
        {"three columns, groups, header and footer kept, with children", 3, 25, 4, false, true, true, false,
            "H/g/1 2 3/c1 c2 c3/4/c4/G/g/5 6 7/c5 c6 c7; 8/c8/G/g/9 10 11/c9 c10 c11/12/c12/G/g; 13 14 15/c13 c14 c15/"
            "16/c16/G/g/17 18 19/c17 c18 c19/20/c20/G; g/21 22 23/c21 c22 c23/24/c24/G; g/25/c25/G/F325 25",
            true},
        {"two columns, groups, page columns, all kept, with children", 2, 30, 3, true, true, true, true,
            "H/g/1 2/c1 c2/3/c3/G/g/4 5/c4 c5 | 6/c6/G/g/7 8/c7 c8/9/c9/G/g; 10 11/c10 c11/12/c12/G/g/13 14/c13 c14 | "
            "15/c15/G/g/16 17/c16 c17/18/c18/G/g; 19 20/c19 c20/21/c21/G/g/22 23/c22 c23 | 24/c24/G/g/25 26/c25 c26/"
            "27/c27/G/g; 28 29/c28 c29/30/c30/G/F465 30",
            true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const Extended split = c.pageColumns ? UsePageColumns(t, true) : 0;
        t.Memo(t.Band<TrpHeader>(10, 20), 0, 0, 30, 20, "H");
        if (c.groupSize)
            GroupBands(t, 15, 60);
        auto* m = ColumnsBand(t, 20, 25, c.columns, t.DataSet("D", NumberedRows(c.records, c.groupSize)), 9);
        m->KeepFooter = c.keepFooter;
        m->KeepHeader = c.keepHeader;
        m->KeepTogether = c.keepTogether;
        if (c.child)
            RecordChild(t, m, 47, 10, 9);
        MasterFooter(t, 50, 30, 40);
        ExpectRows(t, split, c.records, c.expected, rcOverprints | rcChildren);
    }
}

// A group kept together over rows of band columns: a row that does not fit on a page with
// page columns goes on to the next page column (the page break alone moves the kept block),
// never below the column's foot over its footers.
TEST(EngineColumnRows, KeptGroupRowGoesToTheNextPageColumn)
{
    struct Case {
        const char* why;
        int columns, records, groupSize;
        bool pageColumns;
        const char* expected;
    };
    const Case cases[] = {
        {"page columns", 2, 20, 5, true,
            "g/1 2/3 4/5/G/g/6 7/8 9 | 10/G/g/11 12/13 14/15/G; g/16 17/18 19/20/G/F210 20"},
        {"one page column: the page break takes the group", 2, 20, 5, false,
            "g/1 2/3 4/5/G; g/6 7/8 9/10/G; g/11 12/13 14/15/G; g/16 17/18 19/20/G/F210 20"},
        {"three columns", 3, 20, 7, false, "g/1 2 3/4 5 6/7/G; g/8 9 10/11 12 13/14/G/g/15 16 17/18 19 20/G; F210 20"},
        {"three columns, page columns", 3, 30, 7, true,
            "g/1 2 3/4 5 6/7/G/g/8 9 10/11 12 13 | 14/G/g/15 16 17/18 19 20/21/G; g/22 23 24/25 26 27/28/G/g/29 30/G | "
            "F465 30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const Extended split = c.pageColumns ? UsePageColumns(t, true) : 0;
        auto* gh = GroupBands(t, 15, 60);
        gh->KeepTogether = true;
        ColumnsBand(t, 20, 25, c.columns, t.DataSet("D", NumberedRows(c.records, c.groupSize)), 9);
        MasterFooter(t, 70, 30, 40);
        ExpectRows(t, split, c.records, c.expected, rcOverprints);
    }
}

// A record of a band of columns with a child band: the child prints under its own record,
// in that record's column, and the row of columns is as tall as its tallest record with
// its child; a row that moves on takes the children along.
TEST(EngineColumnRows, ChildPrintsUnderItsRecordInItsColumn)
{
    struct Case {
        const char* why;
        int columns, records;
        std::vector<int> tall;  // records whose child is three lines high
        int groupSize;          // 0: no groups
        bool keepGroup, pageColumns, keepFooter;
        const char* expected;
        bool keepChild = false, grandchild = false;
        Extended gap = 0;  // between band columns
    };
    const Case cases[] = {
        {"two columns", 2, 6, {}, 0, false, false, false, "1 2/c1 c2/3 4/c3 c4/5 6/c5 c6/F21 6"},
        {"three columns, a tall child in the middle", 3, 9, {5}, 0, false, false, false,
            "1 2 3/c1 c2 c3/4 5 6/c4 c5 c6/7 8 9/c7 c8 c9/F45 9"},
        {"rows going on to the next page", 2, 12, {3, 8}, 0, false, false, false,
            "1 2/c1 c2/3 4/c3 c4/5 6/c5 c6; 7 8/c7 c8/9 10/c9 c10/11 12/c11 c12/F78 12"},
        {"the child kept with its record", 2, 12, {3, 8}, 0, false, false, false,
            "1 2/c1 c2/3 4/c3 c4/5 6/c5 c6; 7 8/c7 c8/9 10/c9 c10/11 12/c11 c12/F78 12", true},
        {"three columns with gaps between them", 3, 9, {5}, 0, false, false, false,
            "1 2 3/c1 c2 c3/4 5 6/c4 c5 c6/7 8 9/c7 c8 c9/F45 9", false, false, 5},
        {"a child of the child", 2, 8, {3}, 0, false, false, false,
            "1 2/c1 c2/e1 e2/3 4/c3 c4/e4/e3/5 6/c5 c6/e5 e6; 7 8/c7 c8/e7 e8/F36 8", false, true},
        {"page columns", 2, 20, {2, 11}, 0, false, true, false,
            "1 2/c1 c2/3 4/c3 c4/5 6/c5 c6 | 7 8/c7 c8/9 10/c9 c10/11 12/c11 c12; "
            "13 14/c13 c14/15 16/c15 c16/17 18/c17 c18/19 20/c19 c20 | F210 20"},
        {"kept groups", 2, 12, {4}, 5, true, false, false,
            "g/1 2/c1 c2/3 4/c3 c4/5/c5/G; g/6 7/c6 c7/8 9/c8 c9/10/c10/G; g/11 12/c11 c12/G/F78 12"},
        {"kept groups and page columns", 3, 24, {7}, 7, true, true, false,
            "g/1 2 3/c1 c2 c3/4 5 6/c4 c5 c6/7/c7 | G/g/8 9 10/c8 c9 c10/11 12 13/c11 c12 c13/14/c14/G; "
            "g/15 16 17/c15 c16 c17/18 19 20/c18 c19 c20/21/c21/G/g | 22 23 24/c22 c23 c24/G/F300 24"},
        {"a kept footer takes the last row", 2, 10, {9}, 0, false, false, true,
            "1 2/c1 c2/3 4/c3 c4/5 6/c5 c6/7 8/c7 c8; 9 10/c9 c10/F55 10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const Extended split = c.pageColumns ? UsePageColumns(t, true) : 0;
        if (c.groupSize) {
            auto* gh = GroupBands(t, 10, 70);
            gh->KeepTogether = c.keepGroup;
        }
        std::vector<std::map<AnsiString, Variant>> data = NumberedRows(c.records, c.groupSize);
        for (auto& r : data) {
            const int n = r["N"].AsInteger();
            r["Child"] = "c" + IntToStr(n) +
                         (std::find(c.tall.begin(), c.tall.end(), n) != c.tall.end() ? "\r\n.\r\n." : "");
        }
        auto* m = ColumnsBand(t, 20, 20, c.columns, t.DataSet("D", data), 30);
        m->KeepFooter = c.keepFooter;
        m->KeepChild = c.keepChild;
        m->ColumnGap = c.gap;
        auto* child = t.Band<TrpChild>(45, 10);
        child->Stretched = true;
        t.Memo(child, 0, 0, 30, 10, "[D.\"Child\"]")->StretchMode = smActualHeight;
        m->SetChild(child);
        if (c.grandchild) {
            auto* next = t.Band<TrpChild>(60, 8);
            t.Memo(next, 0, 0, 30, 8, "e[D.\"N\"]");
            child->SetChild(next);
        }
        MasterFooter(t, 90, 20, 40);
        ExpectRows(t, split, c.records, c.expected, rcOverprints | rcChildren);
    }
}

// Outline entries "r<N>" that do not point where their record "r<N>" is printed: its page
// and its top, as "r<N>@page:top" of the entry and then of the record. Stems names the
// first letters of the texts checked so.
AnsiString EntriesOffTheirRecords(TrpPreviewPages* Pages, const AnsiString& Stems = "r")
{
    const auto checked = [&Stems](const AnsiString& S) { return !S.empty() && Stems.find(S[0]) != AnsiString::npos; };
    std::map<AnsiString, std::pair<int, int>> records;
    for (int p = 0; p < Pages->GetCount(); ++p) {
        TrpReportPage* page = Pages->GetPage(p);
        if (!page)
            continue;
        for (TrpComponent* c : page->GetAllObjects())
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(c); m && checked(m->GetText())) {
                const TrpComponent* band = m->GetParent();
                const Extended y = m->GetTop() + (band ? band->GetTop() : 0);
                records[TrimRight(m->GetText())] = {p, static_cast<int>(std::lround(static_cast<double>(y)))};
            }
    }
    AnsiString out;
    std::vector<TrpXMLItem*> entries{Pages->GetOutline()->Root()};
    for (size_t i = 0; i < entries.size(); ++i) {
        TrpXMLItem* e = entries[i];
        for (int k = 0; k < e->Count(); ++k)
            entries.push_back(e->Items(k));
        if (i == 0 || !checked(e->Prop("text")))
            continue;
        const AnsiString at = e->Prop("page") + ":" + e->Prop("top");
        auto r = records.find(e->Prop("text"));
        const AnsiString want =
            r == records.end() ? AnsiString("none") : IntToStr(r->second.first) + ":" + IntToStr(r->second.second);
        if (at != want)
            out += " " + e->Prop("text") + "@" + at + "/" + want;
        if (r != records.end())
            records.erase(r);
    }
    for (const auto& [text, at] : records)
        out += " " + text + "@none";
    return out;
}

// Each record's outline entry points where the record is printed, also when its row of
// columns goes on to another page or page column after the entry was made, alone, with a
// kept footer or header, or in a kept block.
TEST(EngineColumnRows, OutlineEntriesGoWhereTheirRecordsGo)
{
    struct Case {
        const char* why;
        int columns, records;
        bool pageColumns, keepFooter, keepHeader, keepTogether;
        int groupSize;
        const char* expected;
        bool groupEntries = true;  // the group header makes an entry of its own
    };
    const Case cases[] = {
        {"two columns", 2, 14, false, false, false, false, 0, "1 2/3 4/5 6/7 8/9 10/11 12; 13 14/F105 14"},
        {"three columns", 3, 20, false, false, false, false, 0,
            "1 2 3/4 5 6/7 8 9/10 11 12/13 14 15/16 17 18; 19 20/F210 20"},
        {"page columns", 2, 26, true, false, false, false, 0,
            "1 2/3 4/5 6/7 8/9 10/11 12 | 13 14/15 16/17 18/19 20/21 22/23 24; 25 26/F351 26"},
        {"a kept footer, one column", 1, 6, false, true, false, false, 0, "1/2/3/4/5; 6/F21 6"},
        {"a kept footer, two columns", 2, 12, false, true, false, false, 0, "1 2/3 4/5 6/7 8/9 10; 11 12/F78 12"},
        {"a kept header, two columns", 2, 4, false, false, true, false, 0, "a/a/a/a/a/a; H/1 2/3 4/F10 4"},
        {"kept together, three columns", 3, 20, false, false, false, true, 0,
            "1 2 3/4 5 6/7 8 9/10 11 12/13 14 15/16 17 18; 19 20/F210 20"},
        {"groups", 2, 20, false, false, false, false, 5,
            "g/1 2/3 4/5/G/g/6 7/8 9; 10/G/g/11 12/13 14/15/G/g/16 17; 18 19/20/G/F210 20"},
        {"kept groups: the page break takes the group with the row", 2, 20, false, false, false, true, 5,
            "g/1 2/3 4/5/G; g/6 7/8 9/10/G; g/11 12/13 14/15/G; g/16 17/18 19/20/G/F210 20"},
        {"kept groups, page columns", 3, 30, true, false, false, true, 7,
            "g/1 2 3/4 5 6/7/G/g/8 9 10/11 12 13 | 14/G/g/15 16 17/18 19 20/21/G; g/22 23 24/25 26 27/28/G/g/29 30/G | "
            "F465 30"},
        {"kept groups without entries of their own, one column", 1, 12, false, false, false, true, 4,
            "g/1/2/3/4/G; g/5/6/7/8/G; g/9/10/11/12/G/F78 12", false},
        {"kept groups without entries of their own, two columns", 2, 20, false, false, false, true, 5,
            "g/1 2/3 4/5/G; g/6 7/8 9/10/G; g/11 12/13 14/15/G; g/16 17/18 19/20/G/F210 20", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const Extended split = c.pageColumns ? UsePageColumns(t, true) : 0;
        t.Page()->OutlineText = "'P'";
        if (c.keepHeader) {
            auto* above = t.Band<TrpMasterData>(5, 25);
            above->SetDataSet(t.DataSet("A", NumberedRows(6)));
            t.Memo(above, 0, 0, 30, 25, "a");
            t.Memo(t.Band<TrpHeader>(10, 20), 0, 0, 30, 20, "H");
        }
        if (c.groupSize) {
            auto* gh = GroupBands(t, 15, 60);
            gh->KeepTogether = c.keepTogether;
            gh->OutlineText = c.groupEntries ? "D.\"Group\"" : "";
        }
        auto* m = ColumnsBand(t, 20, 25, c.columns, t.DataSet("D", NumberedRows(c.records, c.groupSize)), 30);
        m->KeepFooter = c.keepFooter;
        m->KeepHeader = c.keepHeader;
        m->KeepTogether = c.keepTogether && !c.groupSize;
        m->OutlineText = "'r' + IntToStr(<D.\"N\">)";
        MasterFooter(t, 70, 30, 40);
        ExpectRows(t, split, c.records, c.expected, rcEntries);
    }
}

// Each record's and group's outline entry points at its own top on its own page, also when
// its child band, or the text it grows by, took more room below it, and when the child did
// not fit and went on to the next page, alone or taking its record along.
TEST(EngineColumnRows, OutlineEntriesPointAtTheirBandsTop)
{
    struct Case {
        const char* why;
        int columns, records;
        const char* expected;
        bool child = false, keepChild = false, grows = false, groupChild = false;
    };
    const Case cases[] = {
        {"a child under each record", 1, 7, "1/c1/2/c2/3/c3/4/c4/5/c5/6; c6/7/c7", true},
        {"a child kept with its record", 1, 7, "1/c1/2/c2/3/c3/4/c4/5/c5; 6/c6/7/c7", true, true},
        {"two columns with children", 2, 14,
            "1 2/c1 c2/3 4/c3 c4/5 6/c5 c6/7 8/c7 c8/9 10/c9 c10; 11 12/c11 c12/13 14/c13 c14", true},
        {"records that grow", 1, 7, "1/./2/./3/.; 4/./5/./6/.; 7/.", false, false, true},
        {"two columns of records that grow", 2, 10, "1 2/. ./3 4/. .; 5 6/. ./7 8/. .; 9 10/. .", false, false,
            true},
        {"groups with a child under their header", 1, 9, "gG1/h/1/2/3/gG2/h/4/5/6; gG3/h/7/8/9", false, false,
            false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Page()->OutlineText = "'P'";
        std::vector<std::map<AnsiString, Variant>> data = NumberedRows(c.records, c.groupChild ? 3 : 0);
        for (auto& r : data)
            r["Text"] = r["N"].AsInteger() % 2 ? AnsiString(".") : AnsiString(".\r\n.\r\n.");
        if (c.groupChild) {
            auto* gh = t.Band<TrpGroupHeader>(10, 10);
            gh->Condition = "D.\"Group\"";
            gh->OutlineText = "'g' + <D.\"Group\">";
            t.Memo(gh, 0, 0, 30, 10, "g[D.\"Group\"]");
            auto* child = t.Band<TrpChild>(14, 15);
            t.Memo(child, 0, 0, 30, 15, "h");
            gh->SetChild(child);
        }
        auto* m = ColumnsBand(t, 20, 20, c.columns, t.DataSet("D", data), 30);
        m->KeepChild = c.keepChild;
        m->Stretched = c.grows;
        m->OutlineText = "'r' + IntToStr(<D.\"N\">)";
        if (c.grows)
            t.Memo(m, 0, 20, 30, 10, "[D.\"Text\"]")->StretchMode = smActualHeight;
        if (c.child)
            RecordChild(t, m, 45, 10, 30);
        ExpectRows(t, 0, c.records, c.expected);
        EXPECT_EQ(EntriesOffTheirRecords(t.Pages(), "rg"), "");
    }
}

// A record of a band of columns with details "d<N>.<k>" (N % 3 of them): the record's
// column is closed before its details show, so a record whose details print ends its row,
// the details follow below the whole row from the page column's left, and the next record
// begins a row of its own; a record without details leaves the row open. A footer after
// each record ends the row likewise. Nothing prints
// over anything else, each footer counts what is printed above it, and each record's
// outline entry points at it.
TEST(EngineColumnRows, DetailsFollowTheWholeRow)
{
    struct Case {
        const char* why;
        int columns, records;
        bool printIfDetailEmpty;
        const char* expected;
        int groupSize = 0;
        bool pageColumns = false, keepFooter = false, keepTogether = false, child = false, footerAfterEach = false;
    };
    const Case cases[] = {
        {"two columns, records without details skipped", 2, 8, false,
            "1/d1.1/2/d2.1/d2.2/4/d4.1/5/d5.1/d5.2/7; d7.1/8/d8.1/d8.2/F27 6"},
        {"two columns, records without details beside the next", 2, 8, true,
            "1/d1.1/2/d2.1/d2.2/3 4/d4.1/5/d5.1/d5.2/6 7; d7.1/8/d8.1/d8.2/F36 8"},
        {"three columns", 3, 9, true, "1/d1.1/2/d2.1/d2.2/3 4/d4.1/5/d5.1/d5.2/6 7; d7.1/8/d8.1/d8.2/9/F45 9"},
        {"page columns", 2, 16, true,
            "1/d1.1/2/d2.1/d2.2/3 4/d4.1/5/d5.1/d5.2 | 6 7/d7.1/8/d8.1/d8.2/9 10/d10.1/11/d11.1/d11.2; "
            "12 13/d13.1/14/d14.1/d14.2/15 16/d16.1/F136 16",
            0, true},
        {"groups", 2, 10, true, "g/1/d1.1/2/d2.1/d2.2/3 4/d4.1/G/g/5/d5.1; d5.2/6 7/d7.1/8/d8.1/d8.2/G/g/9 10/d10.1/G/F55 10",
            4},
        {"a kept footer takes the last row with its details", 2, 13, true,
            "1/d1.1/2/d2.1/d2.2/3 4/d4.1/5/d5.1/d5.2/6 7; d7.1/8/d8.1/d8.2/9 10/d10.1/11/d11.1/d11.2; "
            "12 13/d13.1/F91 13",
            0, false, true},
        {"three columns, a kept footer", 3, 13, true,
            "1/d1.1/2/d2.1/d2.2/3 4/d4.1/5/d5.1/d5.2/6 7; d7.1/8/d8.1/d8.2/9 10/d10.1/11/d11.1/d11.2; "
            "12 13/d13.1/F91 13",
            0, false, true},
        {"a footer after each record", 2, 8, true,
            "1/d1.1/F1 1/2/d2.1/d2.2/F2 1/3/F3 1; 4/d4.1/F4 1/5/d5.1/d5.2/F5 1/6/F6 1; 7/d7.1/F7 1/8/d8.1/d8.2/F8 1", 0,
            false, false, false, false, true},
        {"each row kept together with its details", 2, 8, true,
            "1/d1.1/2/d2.1/d2.2/3 4/d4.1/5/d5.1/d5.2; 6 7/d7.1/8/d8.1/d8.2/F36 8", 0, false, false, true},
        {"children under their records, details under the row", 3, 6, true,
            "1/c1/d1.1/2/c2/d2.1/d2.2/3 4/c3 c4/d4.1/5/c5; d5.1/d5.2/6/c6/F21 6", 0, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const Extended split = c.pageColumns ? UsePageColumns(t, true) : 0;
        t.Page()->OutlineText = "'P'";
        if (c.groupSize)
            GroupBands(t, 10, 100);
        TRowsDataSet* master = t.DataSet("D", NumberedRows(c.records, c.groupSize));
        auto* m = ColumnsBand(t, 20, 20, c.columns, master, 30);
        m->PrintIfDetailEmpty = c.printIfDetailEmpty;
        m->KeepFooter = c.keepFooter;
        m->KeepTogether = c.keepTogether;
        m->FooterAfterEach = c.footerAfterEach;
        m->OutlineText = "'r' + IntToStr(<D.\"N\">)";
        if (c.child)
            RecordChild(t, m, 42, 10, 30);
        TRowsDataSet* lines = t.DataSet("L", {});
        // Each record's own lines, read when the details begin.
        lines->OnFirst = TNotifyEvent::Lambda([lines, master](TObject*) {
            std::vector<std::map<AnsiString, Variant>> rows;
            for (int k = 1; k <= master->GetValue("N").AsInteger() % 3; ++k)
                rows.push_back({{"K", k}});
            lines->SetRows(rows);
        });
        auto* d = t.Band<TrpDetailData>(60, 12);
        d->SetDataSet(lines);
        t.Memo(d, 10, 0, 30, 12, "d[D.\"N\"].[L.\"K\"]");
        MasterFooter(t, 50, 20, 40);
        const int shown = c.printIfDetailEmpty ? c.records : c.records - c.records / 3;
        ExpectRows(t, split, shown, c.expected, rcOverprints | rcEntries | (c.child ? rcChildren : 0));
    }
}

// A row of columns whose first record prints nothing (its band hidden for that record)
// moves on with its other records each in its own band column, not shifted into the
// first. A record alone at the start of its row is marked with its column ("14@2").
TEST(EngineColumnRows, RowWhoseFirstRecordIsHiddenMovesOnInItsColumns)
{
    struct Case {
        const char* why;
        int columns, hidden;
        bool keepFooter, pageColumns;
        const char* expected;
    };
    const Case cases[] = {
        {"two columns", 2, 13, false, false, "1 2/3 4/5 6/7 8/9 10/11 12; 14@2/15 16/F123 15"},
        {"with a kept footer", 2, 13, true, false, "1 2/3 4/5 6/7 8/9 10/11 12; 14@2/15 16/F123 15"},
        {"into the next page column", 2, 13, false, true, "1 2/3 4/5 6/7 8/9 10/11 12 | 14@2/15 16/F123 15"},
        {"three columns, the second hidden", 3, 14, true, false,
            "1 2 3/4 5 6/7 8 9/10 11 12/13 15@3; 16/F122 15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const Extended split = c.pageColumns ? UsePageColumns(t, true) : 0;
        TRowsDataSet* data = t.DataSet("D", NumberedRows(16));
        auto* m = ColumnsBand(t, 20, 25, c.columns, data, 30);
        m->KeepFooter = c.keepFooter;
        t.Report()->OnBeforePrint = TrpBeforePrintEvent::Lambda([&](TrpReportComponent* Sender) {
            if (Sender == m)
                m->SetVisible(data->GetValue("N").AsInteger() != c.hidden);
        });
        MasterFooter(t, 50, 30, 40);
        ExpectRows(t, split, 15, c.expected, rcOverprints);
    }
}

// A record of a band of columns with a subreport beside it ("s<N>.<k>", to its right):
// the subreport prints in the record's own column, not at the first column's place over
// the subreports of the records beside it; what they print is part of the row, which goes
// on to the next page or page column whole when it does not fit. (A record after a
// subreport's text in its row shows its band column, "2@2".)
TEST(EngineColumnRows, SubreportPrintsInItsRecordsColumn)
{
    struct Case {
        const char* why;
        int columns, records;
        Extended gap;
        const char* expected;
        bool pageColumns = false;
    };
    const Case cases[] = {
        {"two columns", 2, 4, 0, "1 s1.1 2@2 s2.1/s1.2 s2.2/3 s3.1 4@2 s4.1/s3.2 s4.2"},
        {"three columns with gaps", 3, 5, 3, "1 s1.1 2@2 s2.1 3@3 s3.1/s1.2 s2.2 s3.2/4 s4.1 5@2 s5.1/s4.2 s5.2"},
        {"rows on two pages", 2, 12, 0,
            "1 s1.1 2@2 s2.1/s1.2 s2.2/3 s3.1 4@2 s4.1/s3.2 s4.2/5 s5.1 6@2 s6.1/s5.2 s6.2/7 s7.1 8@2 s8.1/"
            "s7.2 s8.2/9 s9.1 10@2 s10.1/s9.2 s10.2; 11 s11.1 12@2 s12.1/s11.2 s12.2"},
        {"page columns", 2, 12, 0,
            "1 s1.1 2@2 s2.1/s1.2 s2.2/3 s3.1 4@2 s4.1/s3.2 s4.2/5 s5.1 6@2 s6.1/s5.2 s6.2/7 s7.1 8@2 s8.1/"
            "s7.2 s8.2/9 s9.1 10@2 s10.1/s9.2 s10.2 | 11 s11.1 12@2 s12.1/s11.2 s12.2",
            true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const Extended split = c.pageColumns ? UsePageColumns(t, true) : 0;
        TrpReportPage* subPage = t.AddPage();
        auto* lines = t.Band<TrpMasterData>(0, 12, subPage);
        lines->SetRowCount(2);
        t.Memo(lines, 0, 0, 9, 12, "s[D.\"N\"].[Line]");
        auto* m = ColumnsBand(t, 20, 30, c.columns, t.DataSet("D", NumberedRows(c.records)), 9);
        m->ColumnGap = c.gap;
        auto* sub = new TrpSubreport(m);
        sub->SetName("Sub1");
        sub->SetBounds(12, 0, 9, 12);
        sub->SetSubPage(subPage);
        ExpectRows(t, split, c.records, c.expected, rcOverprints);
    }
}

// Groups kept together that are taller than the room a page has for them, with details
// "d<N>.<k>" and children "c<N>": the page break takes a group along once and it breaks
// there as usual. The band or row that asked for the break goes on to the next column or
// page when the group left no room below it (it printed over the footers), and a group
// that went on into the next page column stays where it is (the break took both of its
// columns to the new page's top, above the page). Nothing prints over anything else, each
// footer counts what is printed above it, and each entry points at its record.
TEST(EngineColumnRows, KeptGroupsTallerThanTheirRoomBreakCleanly)
{
    struct Case {
        const char* why;
        int columns, records;
        bool pageColumns, child;
        const char* expected;
    };
    const Case cases[] = {
        {"one column, page columns", 1, 23, true, false,
            "PH/H/g/1/d1.1/2/d2.1/d2.2/3/4/d4.1 | 5/d5.1/d5.2/G; PH/g/6/7/d7.1/8/d8.1/d8.2/9/10/d10.1 | G; "
            "PH/g/11/d11.1/d11.2/12/13/d13.1/14/d14.1/d14.2 | 15/G; PH/g/16/d16.1/17/d17.1/d17.2/18/19/d19.1/20 | "
            "d20.1/d20.2/G/g/21/22/d22.1/23/d23.1/d23.2/G"},
        {"two columns with children", 2, 9, false, true,
            "PH/H; PH/g/1/c1/d1.1/2/c2/d2.1/d2.2/3 4/c3 c4/d4.1; PH/5/c5/d5.1/d5.2/G; "
            "PH/g/6 7/c6 c7/d7.1/8/c8/d8.1/d8.2/9/c9/G"},
        {"three columns with children", 3, 9, false, true,
            "PH/H; PH/g/1/c1/d1.1/2/c2/d2.1/d2.2/3 4/c3 c4/d4.1; PH/5/c5/d5.1/d5.2/G; "
            "PH/g/6 7/c6 c7/d7.1/8/c8/d8.1/d8.2/9/c9/G"},
        {"two columns with children, page columns", 2, 23, true, true,
            "PH/H/g/1/c1/d1.1/2/c2/d2.1/d2.2/3 4/c3 c4 | d4.1/5/c5/d5.1/d5.2/G; "
            "PH/g/6 7/c6 c7/d7.1/8/c8/d8.1/d8.2/9 10/c9 c10/d10.1/G | g/11/c11/d11.1/d11.2/12 13/c12 c13/d13.1/14/"
            "c14/d14.1/d14.2; PH/15/c15/G/g/16/c16/d16.1/17/c17/d17.1/d17.2 | 18 19/c18 c19/d19.1/20/c20/d20.1/"
            "d20.2/G; PH/g/21 22/c21 c22/d22.1/23/c23/d23.1/d23.2/G"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const Extended split = c.pageColumns ? UsePageColumns(t, true) : 0;
        t.Page()->OutlineText = "'P'";
        t.Memo(t.Band<TrpPageHeader>(0, 12), 0, 0, 30, 12, "PH");
        t.Memo(t.Band<TrpHeader>(5, 14), 0, 0, 30, 14, "H");
        auto* gh = t.Band<TrpGroupHeader>(10, 10);
        gh->Condition = "D.\"Group\"";
        gh->KeepTogether = true;
        t.Memo(gh, 0, 0, 30, 10, "g");
        TRowsDataSet* master = t.DataSet("D", NumberedRows(c.records, 5));
        auto* m = ColumnsBand(t, 20, 18, c.columns, master, 9);
        m->PrintIfDetailEmpty = true;
        m->OutlineText = "'r' + IntToStr(<D.\"N\">)";
        if (c.child)
            RecordChild(t, m, 40, 9, 9);
        t.Memo(t.Band<TrpGroupFooter>(50, 9), 0, 0, 30, 9, "G");
        TRowsDataSet* lines = t.DataSet("L", {});
        lines->OnFirst = TNotifyEvent::Lambda([lines, master](TObject*) {
            std::vector<std::map<AnsiString, Variant>> rows;
            for (int k = 1; k <= master->GetValue("N").AsInteger() % 3; ++k)
                rows.push_back({{"K", k}});
            lines->SetRows(rows);
        });
        auto* d = t.Band<TrpDetailData>(60, 11);
        d->SetDataSet(lines);
        t.Memo(d, 22, 0, 15, 11, "d[D.\"N\"].[L.\"K\"]");
        ExpectRows(t, split, c.records, c.expected, rcOverprints | rcEntries);
    }
}

// A record kept with its child at the foot of a page column: the record stays in the
// column and its child goes on to the next (a page column takes no kept block), and the
// column's footer counts the record, also while a kept footer holds the last record back.
TEST(EngineColumnRows, RecordKeptWithItsChildCountsInItsPageColumn)
{
    struct Case {
        const char* why;
        bool keepFooter;
        const char* expected;
    };
    const Case cases[] = {
        {"a kept footer", true, "1/c1/2/c2/3/c3/4/c4/5 | c5/6/c6/7/c7/8/c8/9/c9; 10/c10/11/c11/12/c12/F78 12"},
        {"no kept footer", false, "1/c1/2/c2/3/c3/4/c4/5 | c5/6/c6/7/c7/8/c8/9/c9; 10/c10/11/c11/12/c12/F78 12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const Extended split = UsePageColumns(t, true);
        auto* m = t.Band<TrpMasterData>(20, 20);
        m->SetName("Master");
        m->KeepChild = true;
        m->KeepFooter = c.keepFooter;
        m->SetDataSet(t.DataSet("D", NumberedRows(12)));
        t.Memo(m, 0, 0, 30, 20, "r[D.\"N\"]");
        RecordChild(t, m, 42, 14, 30);
        MasterFooter(t, 60, 16, 40);
        ExpectRows(t, split, 12, c.expected, rcOverprints);
    }
}

// A row of band columns closed by a group change, or by the end of the data, that takes
// the page on: the group header reprinted at the top of the new page shows the group of
// the row below it. It showed the record the walk had reached, the next group's (or the
// one past the range's end).
TEST(EngineColumnRows, HeaderReprintedByARowClosingShowsItsOwnGroup)
{
    struct Case {
        const char* why;
        int rows, groupSize;
        const char* expected;
    };
    const Case cases[] = {
        {"a group change closes the row", 6, 1, "|GHG1;r1;GHG2;r2;GHG3;r3;GHG4;|GHG4;r4;GHG5;r5;GHG6;r6;"},
        {"the end of the data closes the row", 3, 2, "|GHG1;r1;r2;GHG2;|GHG2;r3;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        // One record more than the range takes: at its end the walk stands on it.
        std::vector<std::map<AnsiString, Variant>> rows = NumberedRows(c.rows + 1, c.groupSize);
        rows.back()["Group"] = AnsiString("X");
        TRowsDataSet* data = t.DataSet("D", rows);
        data->RangeEndCount = c.rows;
        auto* gh = t.Band<TrpGroupHeader>(0, 10);
        gh->Condition = "D.\"Group\"";
        gh->ReprintOnNewPage = true;
        t.Memo(gh, 0, 0, 40, 10, "GH[D.\"Group\"]");
        auto* m = t.Band<TrpMasterData>(20, c.groupSize == 1 ? 36 : 100);
        m->SetDataSet(data);
        m->Columns = 2;
        m->ColumnWidth = 40;
        t.Memo(m, 0, 0, 30, 10, "r[D.\"N\"]");
        t.Band<TrpGroupFooter>(100, 10);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        AnsiString out;
        for (int p = 0; p < t.Pages()->GetCount(); ++p) {
            out += "|";
            for (const AnsiString& text : PageTexts(t.Pages(), p))
                out += text + ";";
        }
        EXPECT_EQ(out, c.expected);
    }
}


// Page columns at Lefts: each page as its columns' texts joined by " | ", each column's
// texts top to bottom joined by "/", pages by "; "; records "r<N>" print as N. Every
// column footer ("CF<sum> <count>") and page footer ("PF<sum> <count>") must equal a
// recount of the records printed above it, and every record must print once.
AnsiString PageColumnsLayout(TrpPreviewPages* Pages, const std::vector<Extended>& Lefts, int Records)
{
    AnsiString out;
    std::map<int, int> printed;
    for (int p = 0; p < Pages->GetCount(); ++p) {
        TrpReportPage* page = Pages->GetPage(p);
        if (!page)
            continue;
        std::vector<TPlaced> placed;
        std::vector<int> sum(Lefts.size()), count(Lefts.size());
        std::vector<std::pair<size_t, AnsiString>> columnFooters;
        AnsiString pageFooter;
        for (TrpComponent* c : page->GetAllObjects()) {
            auto* m = dynamic_cast<TrpCustomMemoView*>(c);
            if (!m)
                continue;
            const AnsiString s = TrimRight(m->GetText());
            const TrpComponent* band = m->GetParent();
            const Extended x = m->GetLeft() + (band ? band->GetLeft() : 0);
            const Extended y = m->GetTop() + (band ? band->GetTop() : 0);
            size_t k = 0;
            while (k + 1 < Lefts.size() && x >= Lefts[k + 1] - 0.01L)
                ++k;
            if (s.rfind("r", 0) == 0) {
                const int n = StrToInt(s.substr(1));
                sum[k] += n;
                ++count[k];
                ++printed[n];
                placed.push_back({static_cast<int>(k), y, x, s.substr(1)});
            } else if (s.rfind("CF", 0) == 0) {
                columnFooters.emplace_back(k, s);
            } else if (s.rfind("PF", 0) == 0) {
                pageFooter = s;
            } else {
                placed.push_back({static_cast<int>(k), y, x, s});
            }
        }
        int n = 0, total = 0;
        for (size_t k = 0; k < Lefts.size(); ++k) {
            n += count[k];
            total += sum[k];
        }
        for (const auto& [k, s] : columnFooters)
            EXPECT_EQ(s, "CF" + (count[k] ? IntToStr(sum[k]) : AnsiString()) + " " + IntToStr(count[k]))
                << "page " << p + 1 << " column " << k + 1;
        EXPECT_EQ(pageFooter, "PF" + (n ? IntToStr(total) : AnsiString()) + " " + IntToStr(n)) << "page " << p + 1;
        std::sort(placed.begin(), placed.end(), [](const TPlaced& a, const TPlaced& b) {
            return std::tie(a.Column, a.Top, a.Left) < std::tie(b.Column, b.Top, b.Left);
        });
        if (!out.empty())
            out += "; ";
        for (size_t i = 0; i < placed.size(); ++i) {
            if (i > 0)
                out += placed[i - 1].Column != placed[i].Column ? " | " : "/";
            out += placed[i].Text;
        }
    }
    for (int r = 1; r <= Records; ++r)
        EXPECT_EQ(printed[r], 1) << "record " << r;
    EXPECT_EQ(static_cast<int>(printed.size()), Records);
    return out;
}

// Records in one, two or three page columns under a header reprinted at the top of every
// page and column (or only once), with a footer kept with the last record (or not). Below
// the title six records fill a column of the first page; the tall footer does not fit
// under a record that moved on to the top of the last column, and takes it along to the
// next page. The kept footer takes a record along only to a new page, never into the next
// column. Wherever the last record goes the header prints once above it, and the column
// and page footers count each record where it lies. A record moved on to the last column
// used to take that column's foot and its reprinted header along: the header printed twice
// on the next page and the record counted on the page it left.
TEST(EngineColumnRows, KeptFooterUnderReprintedHeadersInPageColumns)
{
    struct Case {
        int columns, records;
        bool keepFooter, reprint;
        const char* expected;
    };
    const Case cases[] = {
        {1, 6, false, false, "T/H/1/2/3/4/5/6; F21 6"},
        {1, 6, false, true, "T/H/1/2/3/4/5/6; H/F21 6"},
        {1, 6, true, false, "T/H/1/2/3/4/5; 6/F21 6"},
        {1, 6, true, true, "T/H/1/2/3/4/5; H/6/F21 6"},
        {1, 7, false, false, "T/H/1/2/3/4/5/6; 7/F28 7"},
        {1, 7, false, true, "T/H/1/2/3/4/5/6; H/7/F28 7"},
        {1, 7, true, false, "T/H/1/2/3/4/5/6; 7/F28 7"},
        {1, 7, true, true, "T/H/1/2/3/4/5/6; H/7/F28 7"},
        {2, 6, false, false, "T/H/1/2/3/4/5/6 | F21 6"},
        {2, 6, false, true, "T/H/1/2/3/4/5/6 | H/F21 6"},
        {2, 6, true, false, "T/H/1/2/3/4/5/6 | F21 6"},
        {2, 6, true, true, "T/H/1/2/3/4/5/6 | H/F21 6"},
        {2, 7, false, false, "T/H/1/2/3/4/5/6 | 7/F28 7"},
        {2, 7, false, true, "T/H/1/2/3/4/5/6 | H/7; H/F28 7"},
        {2, 7, true, false, "T/H/1/2/3/4/5/6 | 7/F28 7"},
        {2, 7, true, true, "T/H/1/2/3/4/5/6 | H; H/7/F28 7"},
        {2, 12, false, false, "T/H/1/2/3/4/5/6 | 7/8/9/10/11/12; F78 12"},
        {2, 12, false, true, "T/H/1/2/3/4/5/6 | H/7/8/9/10/11/12; H/F78 12"},
        {2, 12, true, false, "T/H/1/2/3/4/5/6 | 7/8/9/10/11; 12/F78 12"},
        {2, 12, true, true, "T/H/1/2/3/4/5/6 | H/7/8/9/10/11; H/12/F78 12"},
        {2, 13, false, false, "T/H/1/2/3/4/5/6 | 7/8/9/10/11/12; 13/F91 13"},
        {2, 13, false, true, "T/H/1/2/3/4/5/6 | H/7/8/9/10/11/12; H/13/F91 13"},
        {2, 13, true, false, "T/H/1/2/3/4/5/6 | 7/8/9/10/11/12; 13/F91 13"},
        {2, 13, true, true, "T/H/1/2/3/4/5/6 | H/7/8/9/10/11/12; H/13/F91 13"},
        {3, 6, false, false, "T/H/1/2/3/4/5/6 | F21 6"},
        {3, 6, false, true, "T/H/1/2/3/4/5/6 | H/F21 6"},
        {3, 6, true, false, "T/H/1/2/3/4/5/6 | F21 6"},
        {3, 6, true, true, "T/H/1/2/3/4/5/6 | H/F21 6"},
        {3, 7, false, false, "T/H/1/2/3/4/5/6 | 7/F28 7"},
        {3, 7, false, true, "T/H/1/2/3/4/5/6 | H/7 | H/F28 7"},
        {3, 7, true, false, "T/H/1/2/3/4/5/6 | 7/F28 7"},
        {3, 7, true, true, "T/H/1/2/3/4/5/6 | H/7 | H/F28 7"},
        {3, 18, false, false, "T/H/1/2/3/4/5/6 | 7/8/9/10/11/12 | 13/14/15/16/17/18; F171 18"},
        {3, 18, false, true, "T/H/1/2/3/4/5/6 | H/7/8/9/10/11/12 | H/13/14/15/16/17/18; H/F171 18"},
        {3, 18, true, false, "T/H/1/2/3/4/5/6 | 7/8/9/10/11/12 | 13/14/15/16/17; 18/F171 18"},
        {3, 18, true, true, "T/H/1/2/3/4/5/6 | H/7/8/9/10/11/12 | H/13/14/15/16/17; H/18/F171 18"},
        {3, 19, false, false, "T/H/1/2/3/4/5/6 | 7/8/9/10/11/12 | 13/14/15/16/17/18; 19/F190 19"},
        {3, 19, false, true, "T/H/1/2/3/4/5/6 | H/7/8/9/10/11/12 | H/13/14/15/16/17/18; H/19/F190 19"},
        {3, 19, true, false, "T/H/1/2/3/4/5/6 | 7/8/9/10/11/12 | 13/14/15/16/17/18; 19/F190 19"},
        {3, 19, true, true, "T/H/1/2/3/4/5/6 | H/7/8/9/10/11/12 | H/13/14/15/16/17/18; H/19/F190 19"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Format("%d page columns, %d records%s%s",
                            {c.columns, c.records, c.keepFooter ? ", kept footer" : "",
                             c.reprint ? ", reprinted header" : ""}));
        TTestReport t;
        std::vector<Extended> lefts;
        t.Page()->SetColumns(c.columns);
        t.Page()->GetColumnPositions()->Clear();
        for (int k = 0; k < c.columns; ++k) {
            t.Page()->GetColumnPositions()->Add(IntToStr(30 * k));
            lefts.push_back(30 * k * kMM);
        }
        t.Memo(t.Band<TrpReportTitle>(0, 36), 0, 0, 30, 36, "T");
        auto* h = t.Band<TrpHeader>(10, 15);
        h->ReprintOnNewPage = c.reprint;
        t.Memo(h, 0, 0, 30, 15, "H");
        auto* m = t.Band<TrpMasterData>(30, 18);
        m->SetName("Master");
        m->SetDataSet(t.DataSet("D", NumberedRows(c.records)));
        m->KeepFooter = c.keepFooter;
        t.Memo(m, 0, 0, 30, 18, "r[D.\"N\"]");
        MasterFooter(t, 50, 100, 30);
        t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
        t.Memo(t.Band<TrpPageFooter>(150, 14), 0, 0, 30, 14, "PF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(PageColumnsLayout(t.Pages(), lefts, c.records), c.expected);
    }
}

// A kept footer whose last record stays in the page column before, while what follows it
// (its details, the group footer) went on into the next column: the block lies in two
// columns and cannot move whole, so the footer breaks to the next page alone. It took the
// column's foot and the headers reprinted over the next column along.
TEST(EngineColumnRows, KeptFooterReachingBackIntoTheColumnBeforeBreaksAlone)
{
    struct Case {
        const char* why;
        int records, details, groupSize;
        const char* expected;
    };
    const Case cases[] = {
        {"the last record's details go on", 2, 2, 0, "T/H/1/d/d/2/d | H/d; H/F3 2"},
        {"the group footer goes on", 5, 0, 5, "T/H/g/1/2/3/4/5 | H/G; H/F15 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Page()->SetColumns(2);
        t.Page()->GetColumnPositions()->Clear();
        t.Page()->GetColumnPositions()->Add("0");
        t.Page()->GetColumnPositions()->Add("30");
        t.Memo(t.Band<TrpReportTitle>(0, 40), 0, 0, 30, 40, "T");
        auto* h = t.Band<TrpHeader>(10, 15);
        h->ReprintOnNewPage = true;
        t.Memo(h, 0, 0, 30, 15, "H");
        if (c.groupSize)
            GroupBands(t, 20, 80);
        auto* m = t.Band<TrpMasterData>(30, 18);
        m->SetName("Master");
        m->SetDataSet(t.DataSet("D", NumberedRows(c.records, c.groupSize)));
        m->KeepFooter = true;
        t.Memo(m, 0, 0, 30, 18, "r[D.\"N\"]");
        MasterFooter(t, 40, 100, 30);
        if (c.details) {
            auto* d = t.Band<TrpDetailData>(60, 18);
            d->SetRowCount(c.details);
            t.Memo(d, 0, 0, 30, 18, "d");
        }
        t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
        t.Memo(t.Band<TrpPageFooter>(150, 14), 0, 0, 30, 14, "PF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(PageColumnsLayout(t.Pages(), {0, 30 * kMM}, c.records), c.expected);
    }
}


// Groups over records with a footer kept with the last record, in one to three page columns
// and a band of one column (Columns 0, as a new band has, or 1). The footer's block takes
// the last record and its group footer along, never the records before it, and the column
// and page footers count each record where it prints. A group change used to leave a band
// of Columns 0 at column 0: the block then began at the last record before the first group
// change and took the records since along without their totals. A last record that began
// its group takes the group's header along: the header is never left alone at the foot.
TEST(EngineColumnRows, KeptFooterAfterGroupsTakesOnlyTheLastRecordAlong)
{
    struct Case {
        int pageColumns, bandColumns, records, groupSize;
        bool reprint;
        const char* expected;
    };
    const Case cases[] = {
        {1, 0, 3, 2, false, "T/H/g/1/2/G; g/3/G/F6 3"},
        {1, 1, 3, 2, false, "T/H/g/1/2/G; g/3/G/F6 3"},
        {1, 0, 3, 2, true, "T/H/g/1/2/G; H/g/3/G/F6 3"},
        {2, 0, 7, 3, false, "T/H/g/1/2/3/G/g/4 | 5/6/G; g/7/G/F28 7"},
        {2, 1, 7, 3, false, "T/H/g/1/2/3/G/g/4 | 5/6/G; g/7/G/F28 7"},
        {2, 0, 7, 3, true, "T/H/g/1/2/3/G/g/4 | H/g/5/6/G; H/g/7/G/F28 7"},
        {3, 0, 10, 3, true, "T/H/g/1/2/3/G/g/4 | H/g/5/6/G/g/7/8 | H/g/9/G; H/g/10/G/F55 10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Format("%d page columns, band columns %d, %d records%s",
                            {c.pageColumns, c.bandColumns, c.records, c.reprint ? ", reprinted headers" : ""}));
        TTestReport t;
        std::vector<Extended> lefts;
        t.Page()->SetColumns(c.pageColumns);
        t.Page()->GetColumnPositions()->Clear();
        for (int k = 0; k < c.pageColumns; ++k) {
            t.Page()->GetColumnPositions()->Add(IntToStr(30 * k));
            lefts.push_back(30 * k * kMM);
        }
        t.Memo(t.Band<TrpReportTitle>(0, 36), 0, 0, 30, 36, "T");
        auto* h = t.Band<TrpHeader>(10, 15);
        h->ReprintOnNewPage = c.reprint;
        t.Memo(h, 0, 0, 30, 15, "H");
        GroupBands(t, 20, 80)->ReprintOnNewPage = c.reprint;
        auto* m = t.Band<TrpMasterData>(30, 18);
        m->SetName("Master");
        m->Columns = c.bandColumns;
        m->SetDataSet(t.DataSet("D", NumberedRows(c.records, c.groupSize)));
        m->KeepFooter = true;
        t.Memo(m, 0, 0, 30, 18, "r[D.\"N\"]");
        MasterFooter(t, 100, 100, 30);
        t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
        t.Memo(t.Band<TrpPageFooter>(150, 14), 0, 0, 30, 14, "PF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(PageColumnsLayout(t.Pages(), lefts, c.records), c.expected);
    }
}

// A record split at the foot of a page column: the column's footer prints below the part
// left there, not over it, in one page column or several.
TEST(EngineColumnRows, ColumnFooterPrintsBelowTheSplitRecord)
{
    for (int columns : {1, 2}) {
        SCOPED_TRACE(Format("%d page columns", {columns}));
        TTestReport t;
        t.Page()->SetColumns(columns);
        t.Page()->GetColumnPositions()->Clear();
        for (int k = 0; k < columns; ++k)
            t.Page()->GetColumnPositions()->Add(IntToStr(45 * k));
        t.Memo(t.Band<TrpReportTitle>(0, 14), 0, 0, 30, 14, "T");
        auto* m = t.Band<TrpMasterData>(30, 18);
        m->SetName("Master");
        m->AllowSplit = true;
        m->SetDataSet(t.DataSet("D", NumberedRows(12)));
        t.Memo(m, 0, 0, 30, 18, "r[D.\"N\"]");
        t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        // Below the title eight records fill 158 of the 174 above the column footer: the
        // ninth is split there.
        EXPECT_EQ(Overprints(t.Pages(), 1000), "");
        bool split = false;
        for (TrpComponent* c : t.Pages()->GetPage(0)->GetAllObjects())
            if (auto* b = dynamic_cast<TrpMasterData*>(c); b && b->GetHeight() < 17.99L)
                split = true;
        EXPECT_TRUE(split);
    }
}


// A record with a subreport beside it that moved on to the next page column: the footer
// kept with it takes it (and what its subreport printed) along to the next page, as it does
// a record without one. The subreport's own walk used to clear the record's "moved on"
// mark, and the footer went on alone.
TEST(EngineColumnRows, KeptFooterTakesAMovedRecordWithItsSubreportAlong)
{
    struct Case {
        int columns, records;
        bool subreport;
        const char* expected;
    };
    const Case cases[] = {
        {2, 7, false, "T/H/1/2/3/4/5/6 | H; H/7/F28 7"},
        {2, 7, true, "T/H/1/s1/2/s2/3/s3/4/s4/5/s5/6/s6 | H; H/7/s7/F28 7"},
        {3, 13, false, "T/H/1/2/3/4/5/6 | H/7/8/9/10/11/12 | H; H/13/F91 13"},
        {3, 13, true,
         "T/H/1/s1/2/s2/3/s3/4/s4/5/s5/6/s6 | H/7/s7/8/s8/9/s9/10/s10/11/s11/12/s12 | H; H/13/s13/F91 13"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Format("%d page columns, %d records%s", {c.columns, c.records, c.subreport ? ", subreport" : ""}));
        TTestReport t;
        std::vector<Extended> lefts;
        t.Page()->SetColumns(c.columns);
        t.Page()->GetColumnPositions()->Clear();
        for (int k = 0; k < c.columns; ++k) {
            t.Page()->GetColumnPositions()->Add(IntToStr(30 * k));
            lefts.push_back(30 * k * kMM);
        }
        t.Memo(t.Band<TrpReportTitle>(0, 36), 0, 0, 30, 36, "T");
        auto* h = t.Band<TrpHeader>(10, 15);
        h->ReprintOnNewPage = true;
        t.Memo(h, 0, 0, 30, 15, "H");
        auto* m = t.Band<TrpMasterData>(30, 18);
        m->SetName("Master");
        m->SetDataSet(t.DataSet("D", NumberedRows(c.records)));
        m->KeepFooter = true;
        t.Memo(m, 0, 0, 30, 18, "r[D.\"N\"]");
        if (c.subreport) {
            TrpReportPage* subPage = t.AddPage();
            auto* lines = t.Band<TrpMasterData>(0, 12, subPage);
            lines->SetRowCount(1);
            t.Memo(lines, 0, 0, 9, 12, "s[D.\"N\"]");
            auto* sub = new TrpSubreport(m);
            sub->SetName("Sub1");
            sub->SetBounds(32, 0, 9, 12);
            sub->SetSubPage(subPage);
        }
        MasterFooter(t, 50, 100, 30);
        t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 30, 15, "CF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
        t.Memo(t.Band<TrpPageFooter>(150, 14), 0, 0, 30, 14, "PF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(PageColumnsLayout(t.Pages(), lefts, c.records), c.expected);
    }
}

}  // namespace

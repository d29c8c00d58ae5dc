// Rows of band columns move as one: a row that goes on to the next page with a kept footer
// takes every record beside it along, each in its own column, and the page and column
// totals count each record where it is printed.
#include "report/output/tests/EngineTestSupport.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
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
            const AnsiString s = TrimRight(m->GetText());
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
        Extended split = 0;
        if (c.pageColumns) {
            t.Page()->SetColumns(2);
            t.Page()->GetColumnPositions()->Clear();
            t.Page()->GetColumnPositions()->Add("0");
            t.Page()->GetColumnPositions()->Add("45");
            split = 45 * kMM;
            t.Memo(t.Band<TrpColumnFooter>(130, 15), 0, 0, 40, 15, "CF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
        }
        if (c.groupSize) {
            auto* gh = t.Band<TrpGroupHeader>(0, 0);
            gh->Condition = "D.\"Group\"";
            t.Memo(t.Band<TrpGroupFooter>(60, 10), 0, 0, 30, 10, "G");
        }
        auto* m = t.Band<TrpMasterData>(20, 25);
        m->SetName("Master");
        m->KeepFooter = true;
        m->Columns = c.columns;
        m->ColumnWidth = ColumnWidth;
        m->SetDataSet(t.DataSet("D", NumberedRows(c.records, c.groupSize)));
        t.Memo(m, 0, 0, 30, 25, "r[D.\"N\"]");
        t.Memo(t.Band<TrpFooter>(50, 30), 0, 0, 100, 30, "F[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
        t.Memo(t.Band<TrpPageFooter>(150, 15), 0, 0, 100, 15, "PF[SUM(<D.\"N\">,Master)] [COUNT(Master)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(RowsLayout(t.Pages(), split, c.records), c.expected);
    }
}

}  // namespace

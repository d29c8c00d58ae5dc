// Totals recounted: every total printed equals the rows it covers.
#include "report/output/tests/EngineTestSupport.h"

#include "platform/rtl/SysUtils.h"

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

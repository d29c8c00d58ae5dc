// Inline number formats written after an expression (" #N" and a picture): the last ",",
// "-" or "." of the picture is the decimal separator, and the ones before it separate the
// thousands, each printed as written.
#include "report/model/tests/ReportFixture.h"

namespace {

class InlineFormat : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        R = MakeReport();
        Memo = Add<TrpMemoView>(Add<TrpReportTitle>(AddPage(R), "ReportTitle1"), "Memo1");
        ASSERT_TRUE(R->PrepareScript());
    }
    AnsiString Fill(const AnsiString& text)
    {
        Memo->SetText(text);
        Memo->BeforePrint();
        Memo->GetData();
        const AnsiString out = TrimRight(Memo->GetText());
        Memo->AfterPrint();
        return out;
    }
    TrpReport* R = nullptr;
    TrpMemoView* Memo = nullptr;
};

TEST_F(InlineFormat, PicturesPrintTheirNumbers)
{
    const struct {
        const char* Text;
        const char* Printed;
    } cases[] = {
        // thousands and decimals
        {"[1234.5 #N#,##0.00]", "1,234.50"},
        {"[1234567.891 #N#,##0.00]", "1,234,567.89"},
        {"[-1234.5 #N#,##0.00]", "-1,234.50"},
        {"[12.5 #N#,##0.00]", "12.50"},
        {"[0 #N#,##0.00]", "0.00"},
        {"[1234.5 #N#.##0,00]", "1.234,50"},
        {"[1234.5 #N#-##0.00]", "1-234.50"},
        {"[1234567.5 #N#,###,##0.0]", "1,234,567.5"},
        {"[1234.5 #N#,##0.00 руб]", "1,234.50 руб"},
        // one separator: it is the decimal one, as before
        {"[12.5 #N0,00]", "12,50"},
        {"[12.5 #N0.00]", "12.50"},
        {"[1234.5 #N0.00]", "1234.50"},
        {"[1234.5 #N#0,0]", "1234,5"},
        {"[1234.5 #N0-00]", "1234-50"},
        {"[1234.4 #N#]", "1234"},
        // format strings: every separator a point, the last one printed
        {"[3.14159 #N%2.2f]", "3.14"},
        {"[3.14159 #N%5,2f]", " 3,14"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fill(c.Text), c.Printed) << c.Text;
}

}  // namespace

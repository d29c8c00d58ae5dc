// The report builder: report kinds, the goods marked for a report (alone, all, a group, a
// supplier's, an order's), the period of the turnover sheet, and what "Печать" loads into the
// report queries and gives the template.
#include "app/documents/tests/PrintFixture.h"

#include "app/documents/Printing.h"
#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/documents/Unit9.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit5.h"
#include "platform/db/ADODB.h"
#include "platform/db/DbFaults.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"
#include "report/model/rpClass.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"
#include "report/output/rpPreviewPages.h"

#include <algorithm>

namespace {

class ReportBuilderTest : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        StartOnWarehouse();
        SeedGoodsAndRequests();
    }

    std::vector<int64_t> Marked()
    {
        std::vector<int64_t> ids;
        for (int64_t id : {bolt, screw, paint, nut})
            if (w->Scalar("Select V From Products Where ID=:i", {id}).AsString() == "V")
                ids.push_back(id);
        return ids;
    }

    static std::vector<AnsiString> Shown() { return Column(Form1->ADOQuery15, "Наименование"); }

    // The grid row of a product shown.
    static int RowOf(const AnsiString& name)
    {
        const std::vector<AnsiString> names = Shown();
        return int(std::find(names.begin(), names.end(), name) - names.begin());
    }

    static std::vector<AnsiString> Sorted(std::vector<AnsiString> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }

    using PrintTest::Shown;
};

TEST_F(ReportBuilderTest, OpensOnTheStockStateWithNothingMarkedAndTheFilterListsFilled)
{
    w->Exec("Update Products Set V='V'");
    w->Exec("Update ColumnSize Set \"0\"=51, \"1\"=152, \"2\"=53, \"3\"=54, \"4\"=55, \"5\"=56, \"6\"=27 Where ID=9");
    InBuilder([&] {
        EXPECT_TRUE(Form9->RadioButton1->GetChecked());
        EXPECT_FALSE(Form9->GroupBox1->GetVisible());
        EXPECT_FALSE(Form9->GroupBox3->GetVisible());
        EXPECT_FALSE(Form9->MonthCalendar1->GetVisible() || Form9->MonthCalendar2->GetVisible());
        for (TButton* b : {Form9->Button4, Form9->Button6, Form9->Button7})
            EXPECT_TRUE(b->GetEnabled()) << b->Name();
        EXPECT_EQ(Marked(), std::vector<int64_t>{});
        EXPECT_EQ(Form1->ADOQuery15->RecordCount(), 4) << "the whole catalogue";
        std::vector<AnsiString> suppliers;
        for (int i = 0; i < Form9->ComboBox1->GetItems()->Count(); ++i)
            suppliers.push_back(Form9->ComboBox1->GetItems()->Strings(i));
        EXPECT_EQ(suppliers, (std::vector<AnsiString>{"Рога", "О'Нил", "Колор"}));
        ASSERT_GE(Form9->ComboBox2->GetItems()->Count(), 3);
        EXPECT_EQ(Form9->ComboBox2->GetItems()->Strings(0), "7");
        EXPECT_EQ(Form9->ComboBox2->GetItems()->Strings(2), "9");
        std::vector<int> widths;
        for (int i = 0; i < 7; ++i)
            widths.push_back(Form9->DBGrid1->GetColumns()->Items(i)->GetWidth());
        EXPECT_EQ(widths, (std::vector<int>{51, 152, 53, 54, 55, 56, 27})) << "widths of table ColumnSize, ID 9";
    });
}

TEST_F(ReportBuilderTest, MarksOneProductAllGoodsOrTheGroupShown)
{
    InBuilder([&] {
        d->ChooseNode(Form9->TreeView1, "Крепёж");
        EXPECT_EQ(Sorted(Shown()), (std::vector<AnsiString>{"Болт", "Винт"})) << "the group and its subgroup";

        d->DoubleClickRow(Form9->DBGrid1, RowOf("Болт"));
        EXPECT_EQ(Marked(), std::vector<int64_t>{bolt});
        EXPECT_EQ(Form1->ADOQuery15->FieldByName("Наименование")->AsString(), "Болт") << "the row stays current";
        EXPECT_EQ(Form1->ADOQuery15->FieldByName("V")->AsString(), "V") << "the grid shows the mark at once";
        d->DoubleClickRow(Form9->DBGrid1, RowOf("Болт"));
        EXPECT_EQ(Marked(), std::vector<int64_t>{}) << "a second double click unmarks";

        // A product whose mark is empty rather than a blank is unmarked: one click marks it.
        w->Exec("Update Products Set V='' Where ID=:i", {screw});
        Form1->ADOQuery15->Requery();
        d->DoubleClickRow(Form9->DBGrid1, RowOf("Винт"));
        EXPECT_EQ(Marked(), std::vector<int64_t>{screw});

        d->Click(Form9->Button6);
        EXPECT_EQ(Marked(), std::vector<int64_t>{});
        d->Click(Form9->Button7);
        EXPECT_EQ(Marked(), (std::vector<int64_t>{bolt, screw})) << "only the goods shown";
        d->Click(Form9->Button4);
        EXPECT_EQ(Marked(), (std::vector<int64_t>{bolt, screw, paint, nut})) << "also goods of other groups";

        d->ChooseNode(Form9->TreeView1, "Винты");
        EXPECT_EQ(Shown(), std::vector<AnsiString>{"Винт"});
        d->ChooseNode(Form9->TreeView1, "Склад");
        EXPECT_EQ(Shown().size(), 4u) << "the top group shows every product";
    });
}

TEST_F(ReportBuilderTest, GroupNamesWithQuotesSelectTheirGoods)
{
    const int g = w->AddGroup("Д'Артаньян", w->RootGroupId());
    (void)g;
    w->AddProduct(Product("Шпага", "Д'Артаньян", 1, 1));
    InBuilder([&] {
        d->ChooseNode(Form9->TreeView1, "Д'Артаньян");
        EXPECT_EQ(Shown(), std::vector<AnsiString>{"Шпага"});
        EXPECT_TRUE(d->Errors().empty());
    });
}

TEST_F(ReportBuilderTest, SupplierAndOrderFiltersMarkTheirGoodsAndCombine)
{
    InBuilder([&] {
        w->Exec("Update Products Set V='V'");
        d->Choose(Form9->RadioButton3);
        EXPECT_EQ(Marked(), std::vector<int64_t>{}) << "the purchase request starts from nothing marked";
        for (TButton* b : {Form9->Button4, Form9->Button6, Form9->Button7})
            EXPECT_FALSE(b->GetEnabled()) << b->Name();
        EXPECT_TRUE(Form9->GroupBox3->GetVisible());
        EXPECT_FALSE(Form9->GroupBox1->GetVisible());
        EXPECT_FALSE(Form9->ComboBox1->GetVisible());

        d->Tick(Form9->CheckBox1);
        EXPECT_TRUE(Form9->ComboBox1->GetVisible());
        d->Select(Form9->ComboBox1, "О'Нил");
        EXPECT_EQ(Marked(), std::vector<int64_t>{screw}) << "a supplier with a quote in the name";
        EXPECT_EQ(Shown(), std::vector<AnsiString>{"Винт"});

        d->Tick(Form9->CheckBox2);
        d->Select(Form9->ComboBox2, "7");
        EXPECT_EQ(Marked(), (std::vector<int64_t>{bolt, screw})) << "the order's goods are added to the supplier's";
        EXPECT_EQ(w->Scalar("Select O From Products Where ID=:i", {bolt}).AsString(), "7");
        EXPECT_EQ(w->Scalar("Select O From Products Where ID=:i", {paint}).AsString(), "-");
        EXPECT_EQ(Sorted(Shown()), (std::vector<AnsiString>{"Болт", "Винт"}));

        d->Tick(Form9->CheckBox2, false);
        EXPECT_FALSE(Form9->ComboBox2->GetVisible());
        EXPECT_EQ(Marked(), std::vector<int64_t>{}) << "clearing the order unmarks its goods";
        d->Select(Form9->ComboBox1, "Рога");
        EXPECT_EQ(Marked(), std::vector<int64_t>{bolt});
        d->Tick(Form9->CheckBox1, false);
        EXPECT_EQ(Marked(), std::vector<int64_t>{}) << "clearing the supplier unmarks its goods";

        d->Tick(Form9->CheckBox2);
        w->Exec("Update Products Set V='V' Where ID=:i", {paint});
        d->Select(Form9->ComboBox2, "7");
        EXPECT_EQ(Marked(), (std::vector<int64_t>{bolt, screw})) << "without the supplier filter only the order's goods";
    });
}

TEST_F(ReportBuilderTest, MarkingAnOrderLandsWholeOrNotAtAll)
{
    InBuilder([&] {
        d->Choose(Form9->RadioButton3);
        d->Tick(Form9->CheckBox2);
        w->Exec("Update Products Set V='V', O='5' Where ID=:i", {paint});
        const std::string before = w->Snapshot();
        int failAt = 1;
        for (; failAt < 50; ++failAt) {
            SCOPED_TRACE("failure injected at statement " + std::to_string(failAt));
            DbFaults::FailStatement(failAt);
            d->Select(Form9->ComboBox2, "7");
            DbFaults::Clear();
            const bool landed = w->Snapshot() != before;
            const std::vector<AnsiString> errors = d->TakeErrors();
            if (landed)
                break;
            EXPECT_FALSE(errors.empty()) << "the user was told";
        }
        EXPECT_GT(failAt, 3) << "unmark, clear the orders, mark: each step was broken once";
        EXPECT_EQ(Marked(), (std::vector<int64_t>{bolt, screw}));
        EXPECT_EQ(w->Scalar("Select O From Products Where ID=:i", {paint}).AsString(), "-");
    });
}

TEST_F(ReportBuilderTest, AnOrderWithoutGoodsMarksNothing)
{
    AddOrder("10", "Не выдавался", 0);
    InBuilder([&] {
        d->Choose(Form9->RadioButton3);
        d->Tick(Form9->CheckBox2);
        d->Select(Form9->ComboBox2, "10");
        EXPECT_EQ(Marked(), std::vector<int64_t>{});
        EXPECT_EQ(Form1->ADOQuery15->RecordCount(), 0);
        d->Tick(Form9->CheckBox2, false);
        EXPECT_EQ(Marked(), std::vector<int64_t>{});
    });
}

TEST_F(ReportBuilderTest, WholePeriodRunsFromTheEarliestToTheLatestDocument)
{
    struct Case {
        const char* why;
        std::vector<TDateTime> receipts, issues;
        const char *from, *to;
        std::vector<TDateTime> acts = {};
    };
    const Case cases[] = {
        {"stored out of order", {Day(2027, 2, 10), Day(2027, 2, 1)}, {Day(2027, 2, 20), Day(2027, 2, 5)}, "01.02.2027",
         "20.02.2027"},
        {"receipts only", {Day(2027, 3, 4, 15)}, {}, "04.03.2027", "04.03.2027"},
        {"issue invoices only", {}, {Day(2027, 3, 9), Day(2027, 3, 2)}, "02.03.2027", "09.03.2027"},
        {"no documents: today", {}, {}, "15.04.2027", "15.04.2027"},
        {"a write-off act after the last receipt and issue", {Day(2027, 2, 1)}, {Day(2027, 2, 5)}, "01.02.2027",
         "28.02.2027", {Day(2027, 2, 28, 16)}},
        {"write-off acts only", {}, {}, "03.03.2027", "06.03.2027", {Day(2027, 3, 6), Day(2027, 3, 3)}},
    };
    d->SetNow(Day(2027, 4, 15, 10));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        w->Exec("Delete From Documents");
        w->Exec("Delete From Otpusk");
        w->Exec("Delete From Akt");
        for (TDateTime t : c.receipts)
            AddReceipt(t);
        for (TDateTime t : c.issues)
            AddIssue(t);
        for (TDateTime t : c.acts)
            AddAct(t);
        InBuilder([&] {
            d->Choose(Form9->RadioButton2);
            EXPECT_TRUE(Form9->GroupBox1->GetVisible());
            EXPECT_FALSE(Form9->GroupBox3->GetVisible());
            EXPECT_TRUE(Form9->RadioButton4->GetChecked());
            EXPECT_EQ(Form9->Edit1->GetText(), c.from);
            EXPECT_EQ(Form9->Edit2->GetText(), c.to);
        });
    }
}

TEST_F(ReportBuilderTest, AnEndBeforeTheStartIsRefused)
{
    InBuilder([&] {
        d->Choose(Form9->RadioButton2);
        d->Choose(Form9->RadioButton5);
        EXPECT_TRUE(Form9->MonthCalendar1->GetVisible() && Form9->MonthCalendar2->GetVisible());
        d->PickDate(Form9->MonthCalendar1, Day(2027, 2, 10));
        EXPECT_EQ(Form9->Edit1->GetText(), "10.02.2027");
        const AnsiString end = Form9->Edit2->GetText();
        d->PickDate(Form9->MonthCalendar2, Day(2027, 2, 9));
        EXPECT_EQ(d->MessageTexts().back(), "Неверная дата");
        EXPECT_EQ(Form9->Edit2->GetText(), end);
        d->PickDate(Form9->MonthCalendar2, Day(2027, 2, 10));
        EXPECT_EQ(Form9->Edit2->GetText(), "10.02.2027") << "the same day is accepted";

        // The start moved after the end: printing refuses the period.
        d->PickDate(Form9->MonthCalendar1, Day(2027, 2, 11));
        d->ClearMessages();
        d->Click(Form9->Button2);
        EXPECT_EQ(d->MessageTexts(), std::vector<AnsiString>{DocumentMessage(TDocumentMessage::BadRange)});
        EXPECT_TRUE(PreparedTexts(Shown(TReportFamily::Turnover)).empty()) << "no report";

        EXPECT_FALSE(Form9->MonthCalendar1->GetVisible()) << "printing hides the calendars";
        d->Click(Form9->Button1);
        EXPECT_TRUE(Form9->MonthCalendar1->GetVisible()) << "the calendar button shows a hidden calendar";
        d->Click(Form9->Button1);
        EXPECT_FALSE(Form9->MonthCalendar1->GetVisible()) << "and hides a shown one";
        d->Click(Form9->Button5);
        EXPECT_TRUE(Form9->MonthCalendar2->GetVisible());
        d->Click(Form9->TreeView1);
        EXPECT_FALSE(Form9->MonthCalendar1->GetVisible() || Form9->MonthCalendar2->GetVisible());
    });
}

// ---------------------------------------------------------------- printing

struct StockCase {
    const char* why;
    TRadioButton* TForm9::*kind;
    TReportFamily family;
    std::vector<AnsiString> names, free, out, reserve;
};

TEST_F(ReportBuilderTest, StockReportsLoadTheMarkedGoodsWithTheirFigures)
{
    // What went out, archived documents included: Болт 1 + 2, Эмаль 2.
    AddLineOf("StructureOtpusk", AddIssue(Day(2027, 2, 5)), bolt, 1);
    AddLineOf("StructureOtpusk", AddIssue(Day(2026, 2, 5), 1), bolt, 2, 1);
    AddLineOf("StructureAkt", AddAct(Day(2027, 2, 6)), paint, 2);
    const StockCase cases[] = {
        {"stock state: every marked product", &TForm9::RadioButton1, TReportFamily::StockState,
         {"Болт", "Винт", "Гайка", "Эмаль"}, {"6", "-4", "0", "50"}, {"3", "0", "0", "2"}, {"4", "5", "0", "0"}},
        {"shortage: below the minimum after the reserve", &TForm9::RadioButton7, TReportFamily::Shortage,
         {"Винт"}, {"-4"}, {"0"}, {"5"}},
        {"surplus: above the maximum after the reserve", &TForm9::RadioButton8, TReportFamily::Surplus,
         {"Эмаль"}, {"50"}, {"2"}, {"0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        InBuilder([&] {
            d->Choose(Form9->*c.kind);
            d->Click(Form9->Button4);
            Print([&] { d->Click(Form9->Button2); });
            TADOQuery* rows = Form1->ADOQuery7;
            EXPECT_EQ(Column(rows, "Наименование"), c.names);
            EXPECT_EQ(Column(rows, "O"), c.free);
            EXPECT_EQ(Column(rows, "R"), c.out);
            EXPECT_EQ(Column(rows, "Не_выдано"), c.reserve);
            TrpReport* report = Shown(c.family);
            ASSERT_NE(report, nullptr);
            EXPECT_EQ(Variable(report, "itog"), "'Склад'");
            EXPECT_TRUE(HasText(report, c.names.front())) << "the prepared pages list the goods";
            EXPECT_TRUE(HasText(report, "Склад Склад"));
        });
    }
}

// A product whose free stock (stock less the reserve) is exactly at its minimum or maximum is
// neither short nor in surplus nor to be bought, also when its figures have no exact binary
// form (0.3 - 0.1 is 0.19999999999999998 in doubles).
TEST_F(ReportBuilderTest, GoodsExactlyAtTheirLimitsAreNotListed)
{
    struct TCase {
        const char* why;
        double stock, minimum, maximum, reserve;
    } const cases[] = {
        {"free stock at the minimum", 0.3, 0.2, 5, 0.1},
        {"free stock at the maximum", 0.8, 0, 0.7, 0.1},
        {"free stock at both", 1.3, 1.2, 1.2, 0.1},
    };
    struct TReport {
        const char* why;
        TRadioButton* TForm9::*kind;
    } const reports[] = {
        {"shortage", &TForm9::RadioButton7},
        {"surplus", &TForm9::RadioButton8},
        {"purchase request", &TForm9::RadioButton3},
    };
    for (const TCase& c : cases) {
        w->Exec("Update Products Set Количество=:q,Минимум=:mn,Максимум=:mx Where ID=:id",
                {c.stock, c.minimum, c.maximum, bolt});
        w->Exec("Update StructureApplication Set Количество=:r,Отпущено=0 Where IDТовара=:id", {c.reserve, bolt});
        for (const TReport& r : reports) {
            SCOPED_TRACE(std::string(c.why) + ", " + r.why);
            InBuilder([&] {
                d->Choose(Form9->*r.kind);
                w->Exec("Update Products Set V='V'");
                Print([&] { d->Click(Form9->Button2); });
                const std::vector<AnsiString> names = Column(Form1->ADOQuery7, "Наименование");
                EXPECT_EQ(std::count(names.begin(), names.end(), "Болт"), 0);
            });
        }
    }
}

// The surplus report lists what the goods card shows "В избытке" for: free stock above the
// maximum, a maximum of 0 included, unless the goods are short of their minimum too.
TEST_F(ReportBuilderTest, SurplusListsWhatTheGoodsCardShowsInSurplus)
{
    struct TCase {
        const char* why;
        double stock, minimum, maximum, reserve;
        bool listed;
    } const cases[] = {
        {"above the maximum", 10, 2, 8, 0, true},
        {"no maximum set (0)", 3, 0, 0, 0, true},
        {"no maximum set, all reserved", 3, 0, 0, 3, false},
        {"above the maximum before the reserve only", 10, 0, 8, 2, false},
        {"above the maximum but short of a larger minimum", 7, 10, 5, 0, false},
        {"nothing in stock", 0, 0, 0, 0, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        w->Exec("Update Products Set Количество=:q,Минимум=:mn,Максимум=:mx Where ID=:id",
                {c.stock, c.minimum, c.maximum, bolt});
        w->Exec("Update StructureApplication Set Количество=:r,Отпущено=0 Where IDТовара=:id", {c.reserve, bolt});
        InBuilder([&] {
            d->Choose(Form9->RadioButton8);
            w->Exec("Update Products Set V='V'");
            Print([&] { d->Click(Form9->Button2); });
            const std::vector<AnsiString> names = Column(Form1->ADOQuery7, "Наименование");
            EXPECT_EQ(std::count(names.begin(), names.end(), "Болт"), c.listed ? 1 : 0);
        });
    }
}

// The differences the shortage and surplus reports print are held to the cent, as the goods
// card shows them: 10,3 over a maximum of 10,2 is 0,1, not the 0,100000000000001 of binary
// arithmetic.
TEST_F(ReportBuilderTest, PrintedDifferencesAreToTheCent)
{
    char sep = FormatSettings().DecimalSeparator;
    auto figure = [&sep](const char* text) {
        AnsiString s = text;
        std::replace(s.begin(), s.end(), '.', sep);
        return s;
    };
    struct TCase {
        const char* why;
        TRadioButton* TForm9::*kind;
        TReportFamily family;
        double stock, minimum, maximum, reserve;
        std::vector<const char*> printed;  // the difference columns' cells of Болт's row
    } const cases[] = {
        {"surplus", &TForm9::RadioButton8, TReportFamily::Surplus, 10.3, 0, 10.2, 0, {"0.1"}},
        {"surplus after a reserve", &TForm9::RadioButton8, TReportFamily::Surplus, 0.3, 0, 0.19, 0.1, {"0.01"}},
        {"shortage, and what is missing to the maximum", &TForm9::RadioButton7, TReportFamily::Shortage, 0.1, 0.3,
         0.4, 0.1, {"0.3", "0.4"}},
        {"shortage to zero to the maximum", &TForm9::RadioButton7, TReportFamily::Shortage, 0.3, 0.5, 0.2, 0.1,
         {"0.3", "0"}},
        {"shortage with the maximum already passed", &TForm9::RadioButton7, TReportFamily::Shortage, 0.1, 0.3, 0.05,
         0, {"0.2", "-0.05"}},
        {"shortage, the maximum reached but for binary noise below zero", &TForm9::RadioButton7,
         TReportFamily::Shortage, 0.8, 1, 0.7, 0.1, {"0.3", "0"}},
        {"surplus of a thousand million", &TForm9::RadioButton8, TReportFamily::Surplus, 1e9 + 0.3, 0, 0.2, 0,
         {"1000000000.1"}},
        {"surplus of a thousand million million", &TForm9::RadioButton8, TReportFamily::Surplus, 1e15, 0, 0.2, 0,
         {"999999999999999.75"}},
        {"surplus past the places a picture holds", &TForm9::RadioButton8, TReportFamily::Surplus, 1e20, 0, 0, 0,
         {"1E20"}},
    };
    // Under the desktop's settings and under English ones: the separator is the process's.
    const TFormatSettings desktop = FormatSettings();
    for (const TFormatSettings& settings : {desktop, EnglishFormatSettings()})
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        SetFormatSettings(settings);
        sep = settings.DecimalSeparator;
        SCOPED_TRACE(AnsiString("separator ") + sep);
        w->Exec("Update Products Set Количество=:q,Минимум=:mn,Максимум=:mx Where ID=:id",
                {c.stock, c.minimum, c.maximum, bolt});
        w->Exec("Update StructureApplication Set Количество=:r,Отпущено=0 Where IDТовара=:id", {c.reserve, bolt});
        InBuilder([&] {
            d->Choose(Form9->*c.kind);
            w->Exec("Update Products Set V=Case When ID=:id Then 'V' Else ' ' End", {bolt});
            Print([&] { d->Click(Form9->Button2); });
            TrpReport* report = Shown(c.family);
            ASSERT_NE(report, nullptr);
            const std::vector<AnsiString> texts = PreparedTexts(report);
            for (const AnsiString& t : texts) {
                // No binary noise after the separator, and no minus on a zero.
                const size_t point = t.find(sep);
                if (point != AnsiString::npos) {
                    EXPECT_EQ(t.find("00000", point), AnsiString::npos) << t;
                    EXPECT_EQ(t.find("99999", point), AnsiString::npos) << t;
                }
                EXPECT_NE(t, "-0");
            }
            for (const char* p : c.printed)
                EXPECT_NE(std::find(texts.begin(), texts.end(), figure(p)), texts.end()) << p << " in " << [&] { AnsiString all; for (const AnsiString& t : texts) all += "|" + t; return all; }();
        });
    }
    SetFormatSettings(desktop);
}

TEST_F(ReportBuilderTest, UnmarkedGoodsAreLeftOut)
{
    InBuilder([&] {
        d->DoubleClickRow(Form9->DBGrid1, RowOf("Болт"));
        Print([&] { d->Click(Form9->Button2); });
        EXPECT_EQ(Column(Form1->ADOQuery7, "Наименование"), std::vector<AnsiString>{"Болт"});
    });
}

TEST_F(ReportBuilderTest, TurnoverShowsTheStockAtTheEndAndThePeriodsReserve)
{
    w->Exec("Update Owner Set Название='ООО Склад', ИНН='7701'");
    // Movements within the period change nothing; those after its last day are taken back.
    AddLineOf("StructureDocuments", AddReceipt(Day(2027, 2, 10)), bolt, 2);
    AddLineOf("StructureDocuments", AddReceipt(Day(2027, 3, 1)), bolt, 5);
    AddLineOf("StructureOtpusk", AddIssue(Day(2027, 2, 25), 1), bolt, 2, 1);  // archived, still history
    AddLineOf("StructureOtpusk", AddIssue(Day(2027, 2, 20, 17)), screw, 1);     // late on the last day
    AddLineOf("StructureAkt", AddAct(Day(2027, 2, 21)), paint, 4);
    // A request made within the period, part issued; order 7 was made before it.
    const int64_t r = w->Exec("Insert Into Application (Дата_создания,Отпуск_товара,№_заказа) Values (:a,:b,'12')",
                              {Day(2027, 2, 12), "Частично выдан"});
    AddRequestLine(r, nut, 3, 1);
    InBuilder([&] {
        d->Choose(Form9->RadioButton2);
        d->Choose(Form9->RadioButton5);
        d->PickDate(Form9->MonthCalendar1, Day(2027, 2, 1));
        d->PickDate(Form9->MonthCalendar2, Day(2027, 2, 20));
        d->Click(Form9->Button4);
        Print([&] { d->Click(Form9->Button2); });
        TADOQuery* rows = Form1->ADOQuery7;
        EXPECT_EQ(Column(rows, "Наименование"), (std::vector<AnsiString>{"Болт", "Винт", "Гайка", "Эмаль"}));
        EXPECT_EQ(Column(rows, "O"), (std::vector<AnsiString>{"7", "1", "0", "54"})) << "stock at the end of 20.02";
        EXPECT_EQ(Column(rows, "Не_выдано"), (std::vector<AnsiString>{"0", "0", "2", "0"})) << "the period's requests";
        EXPECT_EQ(Column(Form1->ADOQuery8, "Название"), std::vector<AnsiString>{"ООО Склад"});
        TrpReport* report = Shown(TReportFamily::Turnover);
        ASSERT_NE(report, nullptr);
        EXPECT_EQ(Variable(report, "a"), "'01.02.2027'");
        EXPECT_EQ(Variable(report, "b"), "'20.02.2027'");
        EXPECT_EQ(Variable(report, "c"), "'Склад'");
        EXPECT_TRUE(HasText(report, "С 01.02.2027 по 20.02.2027"));
        EXPECT_TRUE(HasText(report, "ООО Склад"));
    });
}

// A request line an older file left without its issued figure (Null) waits for its whole
// quantity, by every route that counts what requests wait for: the goods card's reserve, the
// stock reports and the issue invoice built from the request. The card and the reports took
// such a line for nothing reserved, while the invoice offered all of it.
TEST_F(ReportBuilderTest, ARequestLineWithoutItsIssuedFigureWaitsForItAll)
{
    w->Exec("Update StructureApplication Set Отпущено=Null Where IDТовара=:p", {bolt});
    w->Exec("Update Products Set Минимум=12 Where ID=:p", {bolt});
    const TCardFigures card = CardFigures(bolt);
    EXPECT_EQ(card.Reserved, "4") << "reserved";
    EXPECT_EQ(card.Shortage, "6") << "short: 12 - (10 - 4)";
    const struct {
        const char* why;
        TRadioButton* TForm9::*kind;
        const char* column;
        const char* figure;
    } reports[] = {
        {"stock state: what requests wait for", &TForm9::RadioButton1, "Не_выдано", "4"},
        {"shortage: what requests wait for", &TForm9::RadioButton7, "Не_выдано", "4"},
        {"purchase request: the minimum and the reserve less the stock", &TForm9::RadioButton3, "Не_выдано", "6"},
    };
    for (const auto& r : reports) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(BuilderFigure(r.kind, "Болт", r.column), r.figure);
    }
    // The order state of request 7 prints it as nothing issued yet; the issue invoice from it
    // offers the same 4.
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        int at = 0;
        for (const AnsiString& id : Column(Form1->ADOQuery6, "ID"))
            if (id == IntToStr(order7))
                break;
            else
                ++at;
        d->ClickRow(Form4->DBGrid1, at);
        Print([&] { d->Click(Form4->Button6); });
        EXPECT_EQ(Column(Form1->ADOQuery8, "Отпущено"), (std::vector<AnsiString>{"0", "1"}));
        d->ExpectModal(Form3, [&] {
            EXPECT_EQ(w->Scalar("Select Количество From TempStructureOtpusk Where IDТовара=:p", {bolt}).AsDouble(), 4);
            d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
            d->Click(Form3->Button6);
        });
        d->Click(Form4->Button3);
    });
}

// Goods an older file left without a stock figure (Null) hold none: short of their minimum on
// the card, on the shortage report and on the purchase request alike. The reports passed them by.
TEST_F(ReportBuilderTest, GoodsWithoutAStockFigureAreShortOfTheirMinimumEverywhere)
{
    w->Exec("Update Products Set Количество=Null,Минимум=3 Where ID=:p", {nut});
    // The first row's price Null too: a figure column keeps its fractions after it.
    w->Exec("Update Products Set Цена=Null Where ID=:p", {bolt});
    w->Exec("Update Products Set Цена=2.5 Where ID=:p", {screw});
    EXPECT_EQ(CardFigures(nut).Shortage, "3") << "short";
    // "Меньше минимума" of the line picker lists it.
    d->ExpectModal(Form3, [&] {
        d->Type(Form3->Edit2, "Брак");
        d->ExpectModal(Form2, [&] {
            d->Click(Form2->Button4);
            const std::vector<AnsiString> names = Column(Form1->ADOQuery5, "Наименование");
            EXPECT_NE(std::find(names.begin(), names.end(), "Гайка"), names.end());
            d->Click(Form2->Button6);
        });
        d->Click(Form3->Button1);
        d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
        d->Click(Form3->Button6);
    });
    d->Run([] { Form1->Button9Click(nullptr); });
    const struct {
        const char* why;
        TRadioButton* TForm9::*kind;
        const char* column;
        const char* figure;
    } reports[] = {
        {"stock state", &TForm9::RadioButton1, "Количество", "0"},
        {"shortage", &TForm9::RadioButton7, "Минимум", "3"},
        {"purchase request", &TForm9::RadioButton3, "Не_выдано", "3"},
    };
    for (const auto& r : reports) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(BuilderFigure(r.kind, "Гайка", r.column), r.figure);
        if (r.kind == &TForm9::RadioButton1)
            EXPECT_EQ(Column(Form1->ADOQuery7, "Цена"), (std::vector<AnsiString>{"0", "2,5", "1", "100"}));
    }
}

// A group renamed with goods in it: its goods follow the name, are picked under it, take a
// receipt and a write-off, and the main grid, the card and the stock report of the group show
// the figure the warehouse holds.
TEST_F(ReportBuilderTest, GoodsOfARenamedGroupArePostedAndReportedUnderItsNewName)
{
    const AnsiString renamed = "Винты 'М', \"оцинк.\"";
    d->Run([this] { Form1->OpenDatabase(w->Path()); });  // the groups seeded since the start
    d->ChooseNode(Form1->TreeView1, "Винты");
    d->ExpectModal(Form5, [&] {
        d->Type(Form5->Edit1, renamed);
        d->Click(Form5->Button1);
        EXPECT_FALSE(d->IsShowing(Form5));
    });
    d->Run([&] { d->Menu(Form1->N10); });
    EXPECT_EQ(w->Scalar("Select Группа From Products Where ID=:p", {screw}).AsString(), renamed);

    // A receipt of 2.5 and a write-off of 0.75, the screw picked by its new group's name.
    const auto pick = [&](const char* quantity, TButton* TForm2::*ok) {
        d->ExpectModal(Form2, [&] {
            d->Select(Form2->ComboBox7, renamed);
            ASSERT_EQ(Form1->ADOQuery5->RecordCount(), 1);
            d->ClickRow(Form2->DBGrid1, 0);
            d->Type(Form2->ComboBox6, quantity);
            d->Click(Form2->*ok);
            EXPECT_FALSE(d->IsShowing(Form2));
        });
        d->Click(Form3->Button1);
    };
    d->ExpectModal(Form3, [&] {
        d->Select(Form3->ComboBox1, 0);
        d->Type(Form3->ComboBox2, "О'Нил");
        d->Type(Form3->ComboBox3, "Иванов");
        d->Select(Form3->ComboBox4, 0);
        pick("2,5", &TForm2::Button7);
        d->Click(Form3->Button4);
        EXPECT_FALSE(d->IsShowing(Form3));
    });
    d->Run([&] { d->Click(Form1->Button5); });
    w->SetPassword("1");
    d->ExpectModal(Form3, [&] {
        d->Type(Form3->Edit2, "Брак");
        pick("0,75", &TForm2::Button3);
        d->ExpectModal(Form5, [&] {
            d->Type(Form5->Edit1, "1");
            d->Click(Form5->Button1);
        });
        d->Click(Form3->Button4);
        EXPECT_FALSE(d->IsShowing(Form3));
    });
    d->Run([] { Form1->Button9Click(nullptr); });
    EXPECT_EQ(w->Scalar("Select Количество From Products Where ID=:p", {screw}).AsDouble(), 2.75);

    // The renamed node lists the screw with that stock; its card and the group's report agree.
    d->ChooseNode(Form1->TreeView1, renamed);
    EXPECT_EQ(Column(Form1->ADOQuery1, "Количество"), std::vector<AnsiString>{"2,75"});
    d->ExpectModal(Form2, [&] {
        EXPECT_EQ(Form2->Edit7->GetText(), "2,75");
        EXPECT_EQ(Form2->Edit5->GetText(), "6,25") << "short: 4 - (2.75 - 5 reserved)";
        d->Click(Form2->Button6);
    });
    d->Run([&] { d->Click(Form1->Button3); });
    InBuilder([&] {
        d->Choose(Form9->RadioButton1);
        d->ChooseNode(Form9->TreeView1, renamed);
        d->Click(Form9->Button6);
        d->Click(Form9->Button7);  // the goods shown
        Print([&] { d->Click(Form9->Button2); });
        EXPECT_EQ(Column(Form1->ADOQuery7, "Наименование"), std::vector<AnsiString>{"Винт"});
        EXPECT_EQ(Column(Form1->ADOQuery7, "Количество"), std::vector<AnsiString>{"2,75"});
        EXPECT_EQ(Column(Form1->ADOQuery7, "R"), std::vector<AnsiString>{"0,75"});
    });
}

struct PurchaseCase {
    const char* why;
    const char* supplier;  // nullptr: filter not ticked
    const char* order;
    TReportFamily family;
    const char* summa;
    std::vector<AnsiString> names, quantities;
};

TEST_F(ReportBuilderTest, PurchaseRequestsByFilter)
{
    const PurchaseCase cases[] = {
        {"no filter: the marked goods to buy", nullptr, nullptr, TReportFamily::Purchase, "''", {"Винт"}, {"8"}},
        {"by supplier, named with a quote", "О'Нил", nullptr, TReportFamily::PurchaseBySupplier, "'О''Нил'",
         {"Винт"}, {"8"}},
        {"by order: what the order still waits for, by supplier", nullptr, "7", TReportFamily::PurchaseByOrder, "'7'",
         {"Винт", "Болт"}, {"5", "4"}},
        {"both filters: the plain request lists both", "Колор", "7", TReportFamily::Purchase, "''", {"Винт"}, {"8"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        InBuilder([&] {
            d->Choose(Form9->RadioButton3);
            if (c.supplier) {
                d->Tick(Form9->CheckBox1);
                d->Select(Form9->ComboBox1, c.supplier);
            }
            if (c.order) {
                d->Tick(Form9->CheckBox2);
                d->Select(Form9->ComboBox2, c.order);
            }
            if (!c.supplier && !c.order)
                w->Exec("Update Products Set V='V'");
            Print([&] { d->Click(Form9->Button2); });
            EXPECT_EQ(Column(Form1->ADOQuery7, "Наименование"), c.names);
            EXPECT_EQ(Column(Form1->ADOQuery7, "Не_выдано"), c.quantities);
            TrpReport* report = Shown(c.family);
            ASSERT_NE(report, nullptr);
            EXPECT_EQ(Variable(report, "Summa"), c.summa);
            EXPECT_TRUE(HasText(report, c.names.front()));
        });
    }
}

TEST_F(ReportBuilderTest, TheVariantFollowsTableName)
{
    struct Case {
        const char* why;
        int colour, sizes;
        TTemplateVariant variant;
    };
    const Case cases[] = {
        {"both columns", 1, 1, TTemplateVariant::Base},
        {"neither", 0, 0, TTemplateVariant::First},
        {"sizes only", 0, 1, TTemplateVariant::Second},
        {"colour only", 1, 0, TTemplateVariant::Third},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        w->Exec("Update Name Set Цвет=:c, Размеры=:s", {c.colour, c.sizes});
        InBuilder([&] {
            d->Click(Form9->Button4);
            Print([&] { d->Click(Form9->Button2); });
        });
        const int shown = TemplateNumber(TReportFamily::StockState, c.variant);
        for (TTemplateVariant v : {TTemplateVariant::Base, TTemplateVariant::First, TTemplateVariant::Second,
                                   TTemplateVariant::Third}) {
            const int n = TemplateNumber(TReportFamily::StockState, v);
            EXPECT_EQ(!PreparedTexts(Form1->rpReport(n)).empty(), n == shown) << "rpReport" << n;
        }
        for (TTemplateVariant v : {TTemplateVariant::Base, TTemplateVariant::First, TTemplateVariant::Second,
                                   TTemplateVariant::Third})
            Form1->rpReport(TemplateNumber(TReportFamily::StockState, v))->GetPreviewPages()->Clear();
    }
}

TEST_F(ReportBuilderTest, NoTemplateForTheFlagsIsTold)
{
    w->Exec("Delete From Name");
    InBuilder([&] {
        d->Click(Form9->Button4);
        d->ClearMessages();
        d->Click(Form9->Button2);
        EXPECT_EQ(d->MessageTexts(), std::vector<AnsiString>{PrintMessage(TPrintMessage::NoTemplate)});
    });
}

// The stock state over many goods whose sums have no exact binary form (0.35 x 1.5, 0.1):
// each row prints its sum as computed, and every page's running total under "Итого :" is the
// decimal sum of the row sums printed so far, without float noise ("50,8249999999999").
TEST_F(ReportBuilderTest, StockStateTotalsAreTheDecimalSumsOfTheirRows)
{
    struct Case {
        const char* why;
        std::vector<std::pair<double, double>> pattern;  // price and quantity, repeated
        int goods;
    };
    const Case cases[] = {
        {"0.35 x 1.5 on every line", {{0.35, 1.5}}, 97},
        {"large and small figures mixed", {{1234.56, 1}, {0.1, 1}, {0.35, 1.5}}, 90},
    };
    // A printed figure in thousandths ("1234,56" -> 1234560); -1 for noise past three decimals.
    auto thousandths = [](const AnsiString& text) -> int64_t {
        const size_t sep = text.find(',');
        const AnsiString fraction = sep == AnsiString::npos ? AnsiString() : text.substr(sep + 1);
        if (fraction.size() > 3)
            return -1;
        return std::stoll(std::string(text.substr(0, sep))) * 1000 +
               (fraction.empty() ? 0 : std::stoll(std::string(fraction + AnsiString(3 - fraction.size(), '0'))));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        w->Exec("Delete From Products");
        for (int i = 0; i < c.goods; ++i) {
            const auto& [price, quantity] = c.pattern[i % c.pattern.size()];
            w->AddProduct(Product(AnsiString("Товар ") + std::to_string(1000 + i), "Склад", quantity, price));
        }
        InBuilder([&] {
            d->Choose(Form9->RadioButton1);
            d->Click(Form9->Button4);
            Print([&] { d->Click(Form9->Button2); });
        });
        TrpReport* report = Shown(TReportFamily::StockState);
        ASSERT_NE(report, nullptr);
        // The template's row sum and total memos, by their texts.
        AnsiString rowMemo, totalMemo;
        for (TrpComponent* o : report->GetPages(0)->GetAllObjects())
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(o)) {
                const AnsiString text = m->GetMemo()->GetText();
                if (text.find("SUM(") != AnsiString::npos)
                    totalMemo = m->GetName();
                else if (TrimRight(text) == "[rpDBDataset1.\"Сумма\"]")
                    rowMemo = m->GetName();
            }
        ASSERT_FALSE(rowMemo.empty() || totalMemo.empty());
        auto* pages = dynamic_cast<TrpPreviewPages*>(report->GetPreviewPages());
        ASSERT_NE(pages, nullptr);
        ASSERT_GT(pages->GetCount(), 2);
        int64_t running = 0;
        int rows = 0, totals = 0;
        for (int p = 0; p < pages->GetCount(); ++p)
            for (TrpComponent* o : pages->GetPage(p)->GetAllObjects()) {
                auto* m = dynamic_cast<TrpCustomMemoView*>(o);
                if (!m)
                    continue;
                const AnsiString source = pages->Dictionary().GetSourceName(m->GetName());
                const AnsiString text = TrimRight(m->GetText());
                SCOPED_TRACE("page " + std::to_string(p + 1) + ": " + std::string(text));
                auto is = [&](const AnsiString& name) { return m->GetName() == name || source.ends_with("." + name); };
                if (is(rowMemo)) {
                    const int64_t row = thousandths(text);
                    ASSERT_GE(row, 0);
                    running += row;
                    ++rows;
                } else if (is(totalMemo)) {
                    EXPECT_EQ(text, FloatToStr(double(running) / 1000));
                    ++totals;
                }
            }
        EXPECT_EQ(rows, c.goods);
        EXPECT_EQ(totals, pages->GetCount()) << "the column footer prints on every page";
    }
}

}  // namespace

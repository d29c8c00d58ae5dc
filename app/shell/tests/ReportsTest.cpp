// The main window's templates: families and variants, fixed texts for report variables,
// loading the built-in templates, and the before-print hook.
#include "app/documents/Reports.h"
#include "app/shell/Unit1.h"
#include "app/shell/tests/ShellFixture.h"

#include "report/model/rpClass.h"
#include "report/model/rpDBSet.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"

#include "platform/db/ADODB.h"

namespace {

TEST(TemplateVariant, OnlyTheFourPairsChooseAVariant)
{
    struct Case {
        const char* why;
        int colour, sizes;
        std::optional<TTemplateVariant> expected;
    };
    const Case cases[] = {
        {"both columns: base", 1, 1, TTemplateVariant::Base},
        {"neither: first", 0, 0, TTemplateVariant::First},
        {"sizes only: second", 0, 1, TTemplateVariant::Second},
        {"colour only: third", 1, 0, TTemplateVariant::Third},
        {"colour 2 is no flag", 2, 1, std::nullopt},
        {"sizes -1 is no flag", 1, -1, std::nullopt},
        {"true as -1 is no flag either", -1, -1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(TemplateVariant(c.colour, c.sizes), c.expected);
    }
}

TEST(TemplateVariant, NumbersOfFamiliesAndVariants)
{
    struct Case {
        const char* why;
        TReportFamily family;
        int base, first, second, third;
    };
    const Case cases[] = {
        {"receipt invoice", TReportFamily::ReceiptInvoice, 1, 18, 19, 20},
        {"issue invoice", TReportFamily::IssueInvoice, 2, 21, 22, 23},
        {"stock state", TReportFamily::StockState, 5, 30, 31, 32},
        {"shortage", TReportFamily::Shortage, 6, 33, 34, 35},
        {"purchase request", TReportFamily::Purchase, 12, 51, 52, 53},
        {"order state", TReportFamily::OrderState, 13, 54, 55, 56},
        {"a list has one template for every variant", TReportFamily::RequestsList, 16, 16, 16, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(TemplateNumber(c.family, TTemplateVariant::Base), c.base);
        EXPECT_EQ(TemplateNumber(c.family, TTemplateVariant::First), c.first);
        EXPECT_EQ(TemplateNumber(c.family, TTemplateVariant::Second), c.second);
        EXPECT_EQ(TemplateNumber(c.family, TTemplateVariant::Third), c.third);
        EXPECT_EQ(ChooseTemplateNumber(c.family, 1, 0), c.third);
        EXPECT_EQ(ChooseTemplateNumber(c.family, 2, 0), FamilyHasVariants(c.family) ? 0 : c.base);
    }
    // Every number 1 .. 56 belongs to exactly one family and variant, and back.
    for (int n = 1; n <= kReportTemplateCount; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(TemplateNumber(FamilyOfTemplate(n), VariantOfTemplate(n)), n);
    }
    EXPECT_THROW(FamilyOfTemplate(0), EListError);
    EXPECT_THROW(FamilyOfTemplate(57), EListError);
}

TEST(ReportText, FixedTextsAreQuotedLiterals)
{
    struct Case {
        const char* why;
        AnsiString text, literal;
    };
    const Case cases[] = {
        {"plain", "Склад", "'Склад'"},
        {"empty", "", "''"},
        {"a quote inside is doubled, not the end of the text", "О'Нил", "'О''Нил'"},
        {"brackets stay text", "[Page#]", "'[Page#]'"},
        {"line breaks become character codes", "Склад\r\nСевер", "'Склад'#13#10'Север'"},
        {"a text of control characters alone", std::string("\0\t", 2), "#0#9"},
        {"a control character after a quote", "О'\x1f", "'О'''#31"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ReportTextLiteral(c.text), c.literal);
    }
}

class ReportsTest : public ShellTest {};

TEST_F(ReportsTest, TheMainWindowOwnsTheTemplatesAndBridges)
{
    StartOnWarehouse();
    for (int n = 1; n <= kReportTemplateCount; ++n) {
        SCOPED_TRACE(n);
        TrpReport* r = Form1->rpReport(n);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->Name(), "rpReport" + IntToStr(n));
        EXPECT_EQ(Form1->FindComponent("rpReport" + IntToStr(n)), r);
        EXPECT_EQ(r->GetPagesCount(), 1);
        EXPECT_EQ(r->OnBeforePrint.Name(), "rpReport1BeforePrint");
        EXPECT_EQ(r->GetVariables()->Items(0)->GetName(), " itogo");
    }
    EXPECT_THROW(Form1->rpReport(57), EListError);
    struct Bridge {
        TrpDBDataset* TForm1::*field;
        const char* name;
        TADOQuery* TForm1::*query;
    };
    const Bridge bridges[] = {
        {&TForm1::rpDBDataset1, "rpDBDataset1", &TForm1::ADOQuery7},
        {&TForm1::rpDBDataset2, "rpDBDataset2", &TForm1::ADOQuery8},
        {&TForm1::rpDBDataset3, "rpDBDataset3", &TForm1::ADOQuery14},
        {&TForm1::rpDBDataset4, "rpDBDataset4", &TForm1::ADOQuery2},
        {&TForm1::rpDBDataset5, "rpDBDataset5", &TForm1::ADOQuery6},
    };
    for (const Bridge& b : bridges) {
        SCOPED_TRACE(b.name);
        TrpDBDataset* ds = Form1->*b.field;
        ASSERT_NE(ds, nullptr);
        EXPECT_EQ(ds->Name(), b.name);
        EXPECT_EQ(ds->GetUserName(), b.name);
        EXPECT_EQ(ds->GetDataSet(), Form1->*b.query);
        EXPECT_FALSE(ds->CloseDataSource);
    }
    // The order state's lines are read through the second bridge of this window.
    auto* page = dynamic_cast<TrpReportPage*>(Form1->rpReport(13)->GetPages(0));
    auto* master = dynamic_cast<TrpDataBand*>(page->FindBand(TrpMasterData::StaticClass()));
    EXPECT_EQ(master->GetDataSet(), Form1->rpDBDataset2);
}

TEST_F(ReportsTest, SetReportTextNamesTheMissingVariable)
{
    StartOnWarehouse();
    TrpReport* r = Form1->rpReport(13);
    SetReportText(r, "itog", "Склад 'Север'");
    EXPECT_EQ(r->GetVariables()->GetVariable("itog"), Variant("'Склад ''Север'''"));
    EXPECT_EQ(r->Calc("itog"), Variant("Склад 'Север'")) << "the report reads the text back as typed";
    try {
        SetReportText(r, "Summa", "1");
        ADD_FAILURE() << "no error for a variable the template lacks";
    } catch (const EListError& e) {
        EXPECT_NE(e.Message().find("Summa"), AnsiString::npos) << e.Message();
    }
}

TEST_F(ReportsTest, ChooseTemplateFollowsTableNameAndLeavesTheWorkQueriesAlone)
{
    StartOnWarehouse();
    Form1->ADOQuery3->Close();
    struct Case {
        const char* why;
        int colour, sizes;
        int number;
    };
    const Case cases[] = {
        {"base", 1, 1, 5}, {"first", 0, 0, 30}, {"second", 0, 1, 31}, {"third", 1, 0, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        w->Exec("Update Name Set Цвет=:c, Размеры=:s", {c.colour, c.sizes});
        EXPECT_EQ(Form1->ChooseTemplate(TReportFamily::StockState), Form1->rpReport(c.number));
        EXPECT_EQ(Form1->ChooseTemplate(TReportFamily::WriteOffActsList), Form1->rpReport(17));
    }
    EXPECT_FALSE(Form1->ADOQuery3->Active());
}

TEST_F(ReportsTest, DamagedTemplatesAreRefusedWithTheirName)
{
    StartOnWarehouse();
    struct Case {
        const char* why;
        std::string xml;
        const char* told;
    };
    const Case cases[] = {
        {"not XML at all", "это не отчет", "Шаблон отчета Probe не прочитан"},
        {"cut off in the middle", std::string(TemplateXmlUtf8(13)).substr(0, 700), "Шаблон отчета Probe не прочитан"},
        {"an unknown object", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TrpReport><TNoSuchView Name=\"X\"/></TrpReport>",
         "Шаблон отчета Probe прочитан с ошибками"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpReport probe(Form1);
        probe.SetName("Probe");
        try {
            LoadReportTemplate(&probe, c.xml);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message().find(c.told), 0u) << e.Message();
        }
        EXPECT_FALSE(probe.GetEngineOptions()->SilentMode) << "the load's own setting is put back";
    }
    EXPECT_THROW(TemplateXmlUtf8(99), EFOpenError);
}

TEST_F(ReportsTest, BeforePrintGivesMemosCyrillicAndTheLandscapeReportsA4)
{
    StartOnWarehouse();
    struct Case {
        const char* why;
        const char* name;
        TFontCharset after;
    };
    const Case cases[] = {
        {"a memo of the templates", "Memo7", 204},
        {"any name with a capital M", "Mark", 204},
        {"a lower-case m is left alone", "memo7", 0},
        {"other objects are left alone", "Line1", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpMemoView view(nullptr);
        view.SetName(c.name);
        view.GetFont()->SetCharset(0);
        Form1->rpReport1BeforePrint(&view);
        EXPECT_EQ(view.GetFont()->GetCharset(), c.after);
    }
    for (int n = 1; n <= kReportTemplateCount; ++n) {
        SCOPED_TRACE(n);
        const TReportFamily f = FamilyOfTemplate(n);
        const bool a4 = f == TReportFamily::StockState || f == TReportFamily::Shortage || f == TReportFamily::OrderState;
        auto* page = dynamic_cast<TrpReportPage*>(Form1->rpReport(n)->GetPages(0));
        EXPECT_EQ(page->GetPaperSize(), a4 ? 9 : 256);
        // A4 keeps the template's orientation: the landscape sheets stay 297 wide.
        if (f == TReportFamily::OrderState || f == TReportFamily::StockState) {
            EXPECT_EQ(page->GetPaperWidth(), 297);
        }
    }
}

}  // namespace

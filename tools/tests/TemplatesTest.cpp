// The committed templates against their builder, and what each template must hold.
#include "tools/TemplateBuilder.h"

#include "app/documents/Reports.h"

#include "report/model/rpBands.h"
#include "report/model/rpClass.h"
#include "report/model/rpMemo.h"
#include "report/model/rpModel.h"
#include "report/model/rpPages.h"
#include "report/model/rpReportClasses.h"
#include "script/GlobalUnit.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

class Templates : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ScriptEngineStartup();
        rpInitModel();
        rpInitReportClasses();
    }
    static void TearDownTestSuite()
    {
        rpDoneReportClasses();
        ScriptEngineShutdown();
    }
    TTemplateOwner owner;
};

std::string FileName(int n) { return std::string(SKLAD_TEMPLATES_DIR) + "/rpReport" + std::to_string(n) + ".xml"; }

AnsiString ReadFile(int n)
{
    std::ifstream in(FileName(n), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

AnsiString AllMemoText(TrpReport* report)
{
    AnsiString all;
    for (TrpComponent* c : report->GetAllObjects())
        if (auto* m = dynamic_cast<TrpMemoView*>(c))
            all += m->GetText() + "\n";
    return all;
}

bool Has(const AnsiString& text, const AnsiString& part) { return text.find(part) != AnsiString::npos; }

}  // namespace

TEST_F(Templates, CommittedFilesAreWhatTheBuilderMakes)
{
    for (int n = 1; n <= kReportTemplateCount; ++n) {
        SCOPED_TRACE("rpReport" + std::to_string(n));
        const AnsiString built = TemplateFileText(n, owner);
        const AnsiString stored = ReadFile(n);
        if (built != stored) {
            std::ofstream(FileName(n) + ".FAILED", std::ios::binary) << built;
            ADD_FAILURE() << "app/forms/templates/rpReport" << n
                          << ".xml differs from the builder; run make_templates and commit (new text beside it as .FAILED)";
        }
    }
}

TEST_F(Templates, EachFileLoadsWithoutErrorsAndSavesTheSame)
{
    for (int n = 1; n <= kReportTemplateCount; ++n) {
        SCOPED_TRACE("rpReport" + std::to_string(n));
        TrpReport report(owner.Root());
        report.SetName("Loaded");
        report.GetEngineOptions()->SilentMode = true;
        TStringStream in(Utf8ToAnsi(ReadFile(n)));
        report.LoadFromStream(in);
        EXPECT_EQ(report.Errors.Count(), 0) << report.Errors.GetText();
        ASSERT_EQ(report.GetPagesCount(), 1);
        auto* page = dynamic_cast<TrpReportPage*>(report.GetPages(0));
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->GetPaperSize(), 256);
        EXPECT_EQ(page->LeftMargin, 10);
        EXPECT_EQ(page->BottomMargin, 10);
        const TReportFamily family = FamilyOfTemplate(n);
        const bool landscape = family == TReportFamily::StockState || family == TReportFamily::OrderState;
        EXPECT_EQ(page->GetOrientation(), landscape ? poLandscape : poPortrait);
        EXPECT_EQ(page->GetPaperWidth(), landscape ? 297 : 210);
        EXPECT_EQ(page->GetPaperHeight(), landscape ? 210 : 297);
        EXPECT_EQ(report.ScriptLanguage, "PascalScript");
        EXPECT_EQ(report.GetPrintOptions()->Printer, "Default");
        EXPECT_EQ(report.GetVariables()->Items(0)->GetName(), " itogo");
        EXPECT_NE(page->FindBand(TrpPageFooter::StaticClass()), nullptr);
        EXPECT_NE(page->FindBand(TrpColumnHeader::StaticClass()), nullptr);
        auto* master = dynamic_cast<TrpDataBand*>(page->FindBand(TrpMasterData::StaticClass()));
        ASSERT_NE(master, nullptr);
        EXPECT_EQ(master->Name(), "MasterData1");
        EXPECT_NE(master->GetDataSet(), nullptr) << "the master band lost its bridge";
        // Loaded and saved again, the text is the same.
        TStringStream again;
        report.GetEngineOptions()->SilentMode = false;
        report.SaveToStream(again);
        EXPECT_EQ(AnsiToUtf8(again.DataString()), ReadFile(n));
    }
}

TEST_F(Templates, VariantsPrintColourAndSizesAsTheFlagsSay)
{
    struct Case {
        const char* why;
        TTemplateVariant variant;
        bool sizes, colour;
    };
    const Case cases[] = {
        {"base prints both", TTemplateVariant::Base, true, true},
        {"first prints neither", TTemplateVariant::First, false, false},
        {"second prints sizes only", TTemplateVariant::Second, true, false},
        {"third prints colour only", TTemplateVariant::Third, false, true},
    };
    for (int f = 0; f < 13; ++f)
        for (const Case& c : cases) {
            const int n = TemplateNumber(static_cast<TReportFamily>(f), c.variant);
            SCOPED_TRACE(std::string(c.why) + ", rpReport" + std::to_string(n));
            std::unique_ptr<TrpReport> r(BuildTemplate(n, owner));
            const AnsiString text = AllMemoText(r.get());
            EXPECT_EQ(Has(text, "\"Размеры\"]"), c.sizes);
            EXPECT_EQ(Has(text, "\"Цвет\"]"), c.colour);
            EXPECT_TRUE(Has(text, "[Line#]"));
            EXPECT_TRUE(Has(text, "[Page#]") && Has(text, "[TotalPages#]"));
        }
}

TEST_F(Templates, TitlesAndVariablesOfEachFamily)
{
    struct Case {
        TReportFamily family;
        const char* title;
        std::vector<const char*> variables;
    };
    const Case cases[] = {
        {TReportFamily::ReceiptInvoice, "ПРИХОДНАЯ   НАКЛАДНАЯ  № [rpDBDataset1.\"№_заказа\"]", {"Summa"}},
        {TReportFamily::IssueInvoice, "РАСХОДНАЯ   НАКЛАДНАЯ  № [rpDBDataset1.\"№_заказа\"]", {"itog", "Summa"}},
        {TReportFamily::SalesReceipt, "ТОВАРНЫЙ ЧЕК  № [rpDBDataset1.\"№_заказа\"] ОТ [rpDBDataset1.\"Дата\"] г.",
         {"itog", "Summa"}},
        {TReportFamily::Turnover, "ОБОРОТНАЯ ВЕДОМОСТЬ", {"a", "b", "c"}},
        {TReportFamily::StockState, "ОТЧЕТ О СОСТОЯНИИ ТОВАРА НА СКЛАДЕ НА [Date]", {"itog"}},
        {TReportFamily::Shortage, "ДЕФИЦИТ ТОВАРА НА [Date]", {"itog"}},
        {TReportFamily::Surplus, "ИЗБЫТОК ТОВАРА НА [Date]", {"itog"}},
        {TReportFamily::OrderRequest, "ЗАЯВКА НА ЗАКАЗ № [rpDBDataSet1.\"№_заказа\"] ОТ [rpDBDataset1.\"Дата_создания\"]",
         {"itog"}},
        {TReportFamily::WriteOffAct, "АКТ О СПИСАНИИ  ОТ [rpDBDataset1.\"Дата_создания\"]", {"itog"}},
        {TReportFamily::PurchaseBySupplier, "Поставщик [Summa]", {"Summa"}},
        {TReportFamily::PurchaseByOrder, "Заказ № [Summa]", {"Summa"}},
        {TReportFamily::Purchase, "ЗАЯВКА НА ПРИОБРЕТЕНИЕ ТОВАРА НА [Date]", {"Summa"}},
        {TReportFamily::OrderState,
         "СОСТОЯНИЕ ЗАКАЗА № [rpDBDataSet1.\"№_заказа\"] ОТ [rpDBDataset1.\"Дата_создания\"]", {"itog"}},
        {TReportFamily::ReceiptsList, "СПИСОК ПРИХОДНЫХ ДОКУМЕНТОВ НА [Date]", {"Summa"}},
        {TReportFamily::IssueInvoicesList, "СПИСОК НАКЛАДНЫХ НА ОТПУСК НА [Date]", {"Summa"}},
        {TReportFamily::RequestsList, "СПИСОК ЗАЯВОК  НА [Date]", {"Summa"}},
        {TReportFamily::WriteOffActsList, "СПИСОК АКТОВ НА СПИСАНИЕ НА [Date]", {"Summa"}},
    };
    for (const Case& c : cases)
        for (auto v : {TTemplateVariant::Base, TTemplateVariant::First, TTemplateVariant::Second,
                       TTemplateVariant::Third}) {
            const int n = TemplateNumber(c.family, v);
            SCOPED_TRACE("rpReport" + std::to_string(n));
            std::unique_ptr<TrpReport> r(BuildTemplate(n, owner));
            EXPECT_TRUE(Has(AllMemoText(r.get()), c.title));
            TrpVariables* vars = r->GetVariables();
            ASSERT_EQ(vars->Count(), static_cast<int>(c.variables.size()) + 1);
            for (size_t i = 0; i < c.variables.size(); ++i)
                EXPECT_EQ(vars->Items(static_cast<int>(i) + 1)->GetName(), c.variables[i]);
        }
}

TEST_F(Templates, OrderStateMemosStandInTheProgramsOrder)
{
    std::unique_ptr<TrpReport> r(BuildTemplate(13, owner));
    std::vector<AnsiString> texts;
    for (TrpComponent* c : r->GetAllObjects())
        if (auto* m = dynamic_cast<TrpMemoView*>(c))
            texts.push_back(m->GetText());
    const std::vector<AnsiString> expected = {
        "[Page#]", "из", "[TotalPages#]",
        "Артикул", "Наименование товара", "Ед. изм.", "Цена", "Кол-во", "Сумма", "Склад [itog]",
        "Дата сдачи [rpDBDataset1.\"Дата_сдачи\"]",
        "СОСТОЯНИЕ ЗАКАЗА № [rpDBDataSet1.\"№_заказа\"] ОТ [rpDBDataset1.\"Дата_создания\"]",
        "Получатель: [rpDBDataSet1.\"Получатель\"]", "Через кого: [rpDBDataSet1.\"Через_кого\"]", "№ п.п.", "Отпущено",
        "Требуется",
        "[rpDBDataset2.\"№\"]", "[rpDBDataset2.\"Наименование\"]", "[rpDBDataset2.\"Единица_измерения\"]",
        "[rpDBDataset2.\"Цена\"]", "[rpDBDataset2.\"Количество\"]", "[rpDBDataset2.\"Сумма\"]",
        "[rpDBDataset2.\"Размеры\"]", "[rpDBDataset2.\"Цвет\"]", "[Line#]", "[rpDBDataset2.\"Отпущено\"]",
        // What the line still needs comes from the query, so a line issued beyond its quantity
        // prints 0 rather than a negative need.
        "[rpDBDataset2.\"Требуется\"]",
        "Итого : ", "[SUM(StrToFloat(<rpDBDataset2.\"Сумма\">),MasterData1,2)]", "Состояние заказа на", "[Date]"};
    ASSERT_EQ(texts.size(), expected.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(TrimRight(texts[i]), TrimRight(expected[i]));
    }
    // Every memo is named Memo<n>: the before-print hook knows them by the capital M.
    for (TrpComponent* c : r->GetAllObjects()) {
        if (dynamic_cast<TrpMemoView*>(c)) {
            EXPECT_EQ(c->Name().substr(0, 4), "Memo");
        }
    }
}

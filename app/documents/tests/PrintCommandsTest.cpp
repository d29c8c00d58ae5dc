// "Печать" of the document window (each kind of document with its family's template) and of
// the journal (the list as shown), and the rows they load into the report queries.
#include "app/documents/tests/PrintFixture.h"

#include "app/documents/Printing.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/shell/Unit1.h"
#include "platform/db/ADODB.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/testing/DecimalCommaLocale.h"
#include "report/model/rpClass.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"

#include <tuple>

namespace {

class PrintCommandsTest : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        StartOnWarehouse();
        SeedGoodsAndRequests();
        w->Exec("Update Owner Set Название='ООО Склад', Адрес='Москва', ИНН='7701'");
    }

    // Opens the journal's view, selects `row` and views it; `script` runs in the viewer.
    void InViewer(TRadioButton* TForm4::*view, int row, const std::function<void()>& script)
    {
        InJournal([&] {
            d->Choose(Form4->*view);
            d->ExpectModal(Form3, [&] {
                script();
                if (d->IsShowing(Form3))
                    d->Click(Form3->Button6);
            });
            d->DoubleClickRow(Form4->DBGrid1, row);
        });
    }

    int64_t AddLine(const char* table, int64_t document, int64_t product, double quantity, double sum, double vatSum = -1)
    {
        const AnsiString t = table;
        if (t == "StructureDocuments" || t == "StructureOtpusk")
            return w->Exec("Insert Into " + t + " (IDДокумента,IDТовара,Количество,Сумма,Ставка,Сумма_с_НДС) "
                           "Values (:a,:b,:c,:d,:e,:f)",
                           {document, product, quantity, sum, vatSum < 0 ? 0 : 18, vatSum < 0 ? sum : vatSum});
        return w->Exec("Insert Into " + t + " (IDДокумента,IDТовара,Количество,Сумма) Values (:a,:b,:c,:d)",
                       {document, product, quantity, sum});
    }
};

struct DocumentCase {
    const char* why;
    TRadioButton* TForm4::*view;
    TReportFamily family;
    std::vector<AnsiString> names, prices;
    const char* summa;  // nullptr: the template has no Summa
    bool itog;
    const char* printed;  // a text the prepared pages must show
};

TEST_F(PrintCommandsTest, TheViewerPrintsEachKindWithItsFamily)
{
    // A receipt invoice whose screw was bought at 3.50 while the catalogue now says 3.
    const int64_t invoice = AddReceipt(Day(2027, 2, 1), 0, "П-15");
    AddLine("StructureDocuments", invoice, bolt, 3, 6);
    AddLine("StructureDocuments", invoice, screw, 2, 7);
    // A sales receipt ("Копия чека").
    const int64_t cheque = AddReceipt(Day(2027, 2, 2), 0, "Ч-3");
    w->Exec("Update Documents Set Тип_документа='Копия чека' Where ID=:i", {cheque});
    AddLine("StructureDocuments", cheque, paint, 1, 100.5);
    // An issue invoice with VAT.
    const int64_t issue = AddIssue(Day(2027, 2, 3));
    AddLine("StructureOtpusk", issue, bolt, 50, 100, 118);
    // A write-off act.
    const int64_t act = AddAct(Day(2027, 2, 4), 0, "Брак");
    AddLine("StructureAkt", act, paint, 2, 200);

    const DocumentCase cases[] = {
        {"receipt invoice: the total in words", &TForm4::RadioButton7, TReportFamily::ReceiptInvoice,
         {"Болт", "Винт"}, {"2", "3,5"}, "'Тринадцать рублей 00 копеек'", false, "Тринадцать рублей 00 копеек"},
        {"sales receipt: the buyer and the total in words", &TForm4::RadioButton7, TReportFamily::SalesReceipt,
         {"Эмаль"}, {"100,5"}, "'Сто рублей 50 копеек'", true, "ООО Склад"},
        {"issue invoice: the total with VAT in words", &TForm4::RadioButton8, TReportFamily::IssueInvoice,
         {"Болт"}, {"2"}, "'Сто восемнадцать рублей 00 копеек'", true, "Сто восемнадцать рублей 00 копеек"},
        {"order request", &TForm4::RadioButton9, TReportFamily::OrderRequest, {"Болт", "Винт"}, {"2", "3"}, nullptr,
         true, "Склад Склад"},
        {"write-off act", &TForm4::RadioButton10, TReportFamily::WriteOffAct, {"Эмаль"}, {"100"}, nullptr, true,
         "Брак"},
    };
    int receiptRow = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const bool receipt = c.view == &TForm4::RadioButton7;
        InViewer(c.view, receipt ? receiptRow++ : 0, [&] {
            Print([&] { d->Click(Form3->Button8); });
            EXPECT_EQ(Column(Form1->ADOQuery8, "Наименование"), c.names);
            EXPECT_EQ(Column(Form1->ADOQuery8, "Цена"), c.prices) << "the price of the line, from its sum";
            EXPECT_EQ(Column(Form1->ADOQuery14, "Название"), std::vector<AnsiString>{"ООО Склад"});
            EXPECT_EQ(Form1->ADOQuery7->RecordCount(), 1);
            if (c.family == TReportFamily::SalesReceipt) {
                EXPECT_EQ(Column(Form1->ADOQuery2, "Название"), std::vector<AnsiString>{"ООО Склад"}) << "the buyer";
            }
        });
        TrpReport* report = Shown(c.family);
        ASSERT_NE(report, nullptr);
        if (c.summa) {
            EXPECT_EQ(Variable(report, "Summa"), c.summa);
        }
        if (c.itog) {
            EXPECT_EQ(Variable(report, "itog"), "'Склад'");
        }
        EXPECT_TRUE(HasText(report, c.printed)) << "prepared pages";
        EXPECT_TRUE(HasText(report, c.names.front()));
    }
    EXPECT_TRUE(d->Errors().empty());
}

// A line's printed price is the one the viewer shows while the goods' price still gives the
// line's sum: a sum rounded to kopecks gives no price back (0.5 at 0.05 is 0.02, which divided
// by 0.5 printed 0,04; 3 at 0.125 is 0.38, which printed 0,13).
TEST_F(PrintCommandsTest, EachKindPrintsTheLinePricesItsViewerShows)
{
    const int64_t washer = w->AddProduct(Product("Шайба", "Склад", 100, 0.05));
    const int64_t pin = w->AddProduct(Product("Шплинт", "Склад", 100, 0.125));
    const auto seed = [&](const char* table, int64_t document) {
        for (const auto& [product, quantity, price] : {std::tuple{washer, 0.5, 0.05}, std::tuple{pin, 3.0, 0.125}}) {
            const double sum = LineSum(quantity, price);
            AddLine(table, document, product, quantity, sum, LineVatSum(18, sum));
        }
        return document;
    };
    struct TCase {
        const char* why;
        TRadioButton* TForm4::*view;
        int64_t id;
    } const cases[] = {
        {"receipt invoice", &TForm4::RadioButton7, seed("StructureDocuments", AddReceipt(Day(2027, 2, 1)))},
        {"issue invoice", &TForm4::RadioButton8, seed("StructureOtpusk", AddIssue(Day(2027, 2, 3)))},
        {"order request", &TForm4::RadioButton9,
         seed("StructureApplication", AddRequest(Day(2027, 2, 2), Day(2027, 2, 9), "Не выдавался"))},
        {"write-off act", &TForm4::RadioButton10, seed("StructureAkt", AddAct(Day(2027, 2, 4)))},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        InJournal([&] {
            d->Choose(Form4->*c.view);
            int row = 0;
            for (const AnsiString& id : Column(Form1->ADOQuery6, "ID"))
                if (id == IntToStr(c.id))
                    break;
                else
                    ++row;
            d->ExpectModal(Form3, [&] {
                const std::vector<AnsiString> shown = Column(Form1->ADOQuery4, "Цена");
                EXPECT_EQ(shown, (std::vector<AnsiString>{"0,05", "0,125"}));
                Print([&] { d->Click(Form3->Button8); });
                EXPECT_EQ(Column(Form1->ADOQuery8, "Цена"), shown);
                d->Click(Form3->Button6);
            });
            d->DoubleClickRow(Form4->DBGrid1, row);
        });
    }
}

// The largest figures the goods card takes (a million million at a million million) print
// with their total in digits: counting that total in kopecks overflowed, and the print failed.
TEST_F(PrintCommandsTest, AReceiptOfTheLargestFiguresPrintsItsTotalInDigits)
{
    const int64_t invoice = AddReceipt(Day(2027, 2, 1), 0, "П-16");
    AddLine("StructureDocuments", invoice, bolt, 1e12, LineSum(1e12, 1e12));
    InViewer(&TForm4::RadioButton7, 0, [&] { Print([&] { d->Click(Form3->Button8); }); });
    TrpReport* report = Shown(TReportFamily::ReceiptInvoice);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(Variable(report, "Summa"), "'1000000000000000000000000 рублей 00 копеек'");
    EXPECT_TRUE(d->Errors().empty());
}

TEST_F(PrintCommandsTest, AReceiptPrintsItsDateAsText)
{
    const int64_t invoice = AddReceipt(Day(2027, 2, 1, 13, 30), 0, "П-15");
    AddLine("StructureDocuments", invoice, bolt, 1, 2);
    const TDocumentPrint p = LoadDocumentForPrint(MainReportQueries(), DocumentKind::Receipt, invoice);
    EXPECT_EQ(p.Family, TReportFamily::ReceiptInvoice);
    EXPECT_DOUBLE_EQ(p.Total, 2);
    EXPECT_EQ(Form1->ADOQuery7->FieldByName("Дата")->AsString(), "01.02.2027");
    EXPECT_EQ(Form1->ADOQuery7->FieldByName("№_заказа")->AsString(), "П-15");
}

TEST_F(PrintCommandsTest, ALineWhoseProductWasDeletedStillPrints)
{
    const int64_t act = AddAct(Day(2027, 2, 4), 0, "Брак");
    AddLine("StructureAkt", act, paint, 2, 200);
    AddLine("StructureAkt", act, nut, 3, 3);
    w->Exec("Delete From Products Where ID=:i", {nut});
    const TDocumentPrint p = LoadDocumentForPrint(MainReportQueries(), DocumentKind::Act, act);
    EXPECT_EQ(Form1->ADOQuery8->RecordCount(), 2);
    EXPECT_EQ(Column(Form1->ADOQuery8, "Цена"), (std::vector<AnsiString>{"100", "1"}));
    EXPECT_DOUBLE_EQ(p.Total, 203);
}

TEST_F(PrintCommandsTest, TheLastPageTotalsTheWholeDocument)
{
    // Enough lines for two pages: "Итого" on the last page is the document's total, as the
    // amount in words is, not the sum of the last page's lines.
    const int64_t act = AddAct(Day(2027, 2, 4), 0, "Брак");
    const int lines = 80;
    for (int i = 0; i < lines; ++i)
        AddLine("StructureAkt", act, paint, 1, 100);
    InViewer(&TForm4::RadioButton10, 0, [&] { Print([&] { d->Click(Form3->Button8); }); });
    TrpReport* report = Shown(TReportFamily::WriteOffAct);
    ASSERT_NE(report, nullptr);
    TrpCustomPreviewPages* pages = report->GetPreviewPages();
    ASSERT_GE(pages->GetCount(), 2) << "the act must run over more than one page";
    std::vector<AnsiString> lastPage;
    if (TrpReportPage* page = pages->GetPage(pages->GetCount() - 1))
        for (TrpComponent* c : page->GetAllObjects())
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(c))
                lastPage.push_back(TrimRight(m->GetText()));
    EXPECT_NE(std::find(lastPage.begin(), lastPage.end(), IntToStr(lines * 100)), lastPage.end())
        << "the whole total on the last page";
}

TEST_F(PrintCommandsTest, TotalsAreRoundedToKopecks)
{
    const int64_t r = AddOrder("11", "Не выдавался", 0);
    for (double sum : {0.1, 0.2, 0.005, 1000000.004})
        AddRequestLine(r, bolt, 1, 0, sum);
    // Each line counts as the window counts it: 0.005 as nothing, 1000000.004 as 1000000.
    const TDocumentPrint p = LoadDocumentForPrint(MainReportQueries(), DocumentKind::Request, r);
    EXPECT_DOUBLE_EQ(p.Total, 1000000.30);
    EXPECT_EQ(AmountInWords(p.Total), "Один миллион рублей 30 копеек");
}

// A line sum too large to count in kopecks prints as it is stored, also under a desktop's
// decimal comma.
TEST_F(PrintCommandsTest, AHugeLineSumPrintsAsStored)
{
    TDecimalCommaLocale comma;
    if (!comma.On())
        GTEST_SKIP() << "no decimal-comma locale";
    const struct {
        double sum;
        const char* why;
    } cases[] = {
        {1.5e15, "hundredths with a fraction digit"},
        {-2.25e16, "negative"},
        {1.2345678901234567e29, "many digits"},
        {-1e30, "the largest a line holds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const int64_t r = AddOrder("13", "Не выдавался", 0);
        AddRequestLine(r, bolt, 1, 0, c.sum);
        const TReportQueries q = MainReportQueries();
        const TDocumentPrint p = LoadDocumentForPrint(q, DocumentKind::Request, r);
        ASSERT_FALSE(q.Lines->Eof());
        EXPECT_DOUBLE_EQ(q.Lines->FieldByName("Сумма")->AsFloat(), c.sum);
        EXPECT_DOUBLE_EQ(p.Total, c.sum);
    }
}

TEST_F(PrintCommandsTest, ADocumentGoneBeforePrintingIsTold)
{
    const int64_t act = AddAct(Day(2027, 2, 4), 0, "Брак");
    AddLine("StructureAkt", act, paint, 2, 200);
    InViewer(&TForm4::RadioButton10, 0, [&] {
        w->Exec("Delete From Akt Where ID=:i", {act});
        d->ClearMessages();
        d->Click(Form3->Button8);
        EXPECT_EQ(d->MessageTexts(), std::vector<AnsiString>{PrintMessage(TPrintMessage::DocumentGone)});
    });
    EXPECT_TRUE(PreparedTexts(Shown(TReportFamily::WriteOffAct)).empty());
}

struct ListCase {
    const char* why;
    TRadioButton* TForm4::*view;
    TReportFamily family;
    const char* printed;
};

TEST_F(PrintCommandsTest, TheJournalPrintsTheListAsShown)
{
    AddReceipt(Day(2027, 2, 1), 0, "П-15");
    AddReceipt(Day(2027, 2, 2), 0, "П-16");
    AddReceipt(Day(2027, 2, 3), 1, "П-архив");
    AddIssue(Day(2027, 2, 3));
    AddAct(Day(2027, 2, 4), 0, "Бой стекла");
    const ListCase cases[] = {
        {"receipts", &TForm4::RadioButton7, TReportFamily::ReceiptsList, "П-16"},
        {"issue invoices", &TForm4::RadioButton8, TReportFamily::IssueInvoicesList, "Получатель"},
        {"requests", &TForm4::RadioButton9, TReportFamily::RequestsList, "Не выдавался"},
        {"write-off acts", &TForm4::RadioButton10, TReportFamily::WriteOffActsList, "Бой стекла"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        InJournal([&] {
            d->Choose(Form4->*c.view);
            const int listed = Form1->ADOQuery6->RecordCount();
            if (listed > 1)
                d->ClickRow(Form4->DBGrid1, 1);
            const int selected = Form1->ADOQuery6->RecNo();
            Print([&] { d->Click(Form4->Button9); });
            EXPECT_EQ(Form1->ADOQuery6->RecNo(), selected) << "the selected row stays";
            EXPECT_EQ(Form1->ADOQuery6->RecordCount(), listed);
        });
        TrpReport* report = Shown(c.family);
        ASSERT_NE(report, nullptr);
        EXPECT_TRUE(HasText(report, c.printed));
        EXPECT_FALSE(HasText(report, "П-архив")) << "only the listed documents";
    }
}

// A status wider than its cell wraps onto a second line: the row grows so that both lines
// print, and every cell of the row keeps the row's height (the frames stay one table).
TEST_F(PrintCommandsTest, ALongTextGrowsItsRowInsteadOfBeingCutOff)
{
    AddOrder("12", "Частично выдан", 0);
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        Print([&] { d->Click(Form4->Button9); });
    });
    TrpReport* report = Shown(TReportFamily::RequestsList);
    ASSERT_NE(report, nullptr);
    TrpCustomPreviewPages* pages = report->GetPreviewPages();
    ASSERT_GT(pages->GetCount(), 0);
    std::vector<TrpCustomMemoView*> memos;
    for (TrpComponent* c : pages->GetPage(0)->GetAllObjects())
        if (auto* m = dynamic_cast<TrpCustomMemoView*>(c))
            memos.push_back(m);
    TrpCustomMemoView* status = nullptr;
    for (TrpCustomMemoView* m : memos)
        if (TrimRight(m->GetText()) == "Частично выдан")
            status = m;
    ASSERT_NE(status, nullptr);
    const Extended designed = 20;  // one line of the list's row
    EXPECT_GT(status->GetHeight(), designed + 8) << "the wrapped status needs a second line";
    for (TrpCustomMemoView* m : memos)
        if (m->GetTop() == status->GetTop() && m->GetParent() == status->GetParent()) {
            SCOPED_TRACE(m->GetText());
            EXPECT_EQ(m->GetHeight(), status->GetHeight());
        }
}

TEST_F(PrintCommandsTest, TheStockQueriesBindEveryValue)
{
    // A text with quotes and a colon in an order number changes nothing but the rows found.
    AddRequestLine(AddOrder("7' Or '1'='1", "Не выдавался", 0), nut, 3, 0);
    w->Exec("Update Products Set V='V'");
    LoadPurchaseRows(Form1->ADOQuery7, TPurchaseKind::ByOrder, "7' Or '1'='1");
    EXPECT_EQ(Column(Form1->ADOQuery7, "Наименование"), std::vector<AnsiString>{"Гайка"});
    LoadPurchaseRows(Form1->ADOQuery7, TPurchaseKind::ByOrder, ":order");
    EXPECT_TRUE(Form1->ADOQuery7->IsEmpty());
}

}  // namespace

namespace {

// A line stored with a sum that is not whole kopecks (2.005, from an older program or a
// file): the window counts it as 2.01, and so do its line in the window, the printed line, the
// printed total and the total in words, whichever document prints it and whether its row was reached by the mouse
// or by the keys.
TEST_F(PrintCommandsTest, ASumThatIsNotWholeKopecksPrintsAsTheWindowCountsIt)
{
    const int64_t receipt = AddReceipt(Day(2027, 2, 1), 0, "П-15");
    AddLine("StructureDocuments", receipt, paint, 1, 10);
    AddLine("StructureDocuments", receipt, bolt, 1, 2.005);
    const int64_t issue = AddIssue(Day(2027, 2, 3));
    AddLine("StructureOtpusk", issue, paint, 1, 10, 10);
    AddLine("StructureOtpusk", issue, bolt, 1, 2.005, 2.005);
    const int64_t request = AddOrder("12", "Не выдавался", 0);  // the third request listed
    AddRequestLine(request, paint, 1, 0, 10);
    AddRequestLine(request, bolt, 1, 0, 2.005);
    const int64_t act = AddAct(Day(2027, 2, 4), 0, "Брак");
    AddLine("StructureAkt", act, paint, 1, 10);
    AddLine("StructureAkt", act, bolt, 1, 2.005);

    const AnsiString words = "'" + AmountInWords(12.01) + "'";
    const struct {
        const char* why;
        TRadioButton* TForm4::*view;
        int row;
        TReportFamily family;
        const char* summa;  // nullptr: the template has no Summa
    } cases[] = {
        {"receipt invoice", &TForm4::RadioButton7, 0, TReportFamily::ReceiptInvoice, words.c_str()},
        {"issue invoice", &TForm4::RadioButton8, 0, TReportFamily::IssueInvoice, words.c_str()},
        {"order request", &TForm4::RadioButton9, 2, TReportFamily::OrderRequest, nullptr},
        {"order state", &TForm4::RadioButton9, 2, TReportFamily::OrderState, nullptr},
        {"write-off act", &TForm4::RadioButton10, 0, TReportFamily::WriteOffAct, nullptr},
    };
    for (const auto& c : cases)
        for (const bool keys : {false, true}) {
            SCOPED_TRACE(std::string(c.why) + (keys ? ", row reached by the keys" : ", row clicked"));
            AnsiString shown;
            InJournal([&] {
                d->Choose(Form4->*c.view);
                if (keys) {
                    d->Key(Form4->DBGrid1, VK_HOME);
                    for (int i = 0; i < c.row; ++i)
                        d->Key(Form4->DBGrid1, VK_DOWN);
                } else {
                    d->ClickRow(Form4->DBGrid1, c.row);
                }
                d->ExpectModal(Form3, [&] {
                    shown = Form3->Label4->GetCaption();
                    EXPECT_EQ(Column(Form1->ADOQuery4, "Сумма"), (std::vector<AnsiString>{"10", "2,01"}))
                        << "the window's lines";
                    if (c.family != TReportFamily::OrderState)
                        Print([&] { d->Click(Form3->Button8); });
                    d->Click(Form3->Button6);
                });
                d->Click(Form4->Button2);
                if (c.family == TReportFamily::OrderState)
                    Print([&] { d->Click(Form4->Button6); });
            });
            EXPECT_EQ(shown, "Итого на сумму 12,01");
            TrpReport* report = Shown(c.family);
            ASSERT_NE(report, nullptr);
            const std::vector<AnsiString> texts = PreparedTexts(report);
            EXPECT_NE(std::find(texts.begin(), texts.end(), "2,01"), texts.end()) << "the line";
            EXPECT_NE(std::find(texts.begin(), texts.end(), "12,01"), texts.end()) << "the total";
            EXPECT_EQ(std::find(texts.begin(), texts.end(), "2,005"), texts.end());
            EXPECT_EQ(std::find(texts.begin(), texts.end(), "12,005"), texts.end());
            if (c.summa) {
                EXPECT_EQ(Variable(report, "Summa"), c.summa);
            }
        }
    EXPECT_TRUE(d->Errors().empty());
}

}  // namespace

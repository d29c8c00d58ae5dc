// The journal: views and filters, urgency and lateness, sorting by a column, and the
// document commands (view, issue invoice, edit request, archive), each write all or nothing.
#include "app/documents/tests/DocumentFixture.h"

#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/documents/Unit8.h"
#include "app/shell/Unit1.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

namespace {

int Listed() { return Form1->ADOQuery6->RecordCount(); }

std::vector<int64_t> ListedIds()
{
    std::vector<int64_t> ids;
    TADOQuery* q = Form1->ADOQuery6;
    for (q->First(); !q->Eof(); q->Next())
        ids.push_back(q->FieldByName("ID")->AsLargeInt());
    q->First();
    return ids;
}

std::vector<int> ShownColumns()
{
    std::vector<int> out;
    for (int i = 0; i <= 12; ++i)
        if (Form4->DBGrid1->GetColumns()->Items(i)->GetVisible())
            out.push_back(i);
    return out;
}

class JournalTest : public DocumentTest {
protected:
    void SeedOneOfEach()
    {
        product = w->AddProduct(Product("Болт", "Склад", 10, 2));
        other = w->AddProduct(Product("Гайка", "Склад", 10, 1));
        const TDateTime day = Day(2027, 1, 10);
        for (int archived : {0, 1}) {
            AddLineOf("StructureDocuments", AddReceipt(day, archived), product, 1, archived);
            AddLineOf("StructureOtpusk", AddIssue(day, archived), product, 1, archived);
            AddLineOf("StructureAkt", AddAct(day, archived), product, 1, archived);
            AddRequestLine(AddRequest(day, day, "Выдан", archived), product, 1, 1);
        }
        w->Exec("Update StructureApplication Set Архив=1 Where IDДокумента In (Select ID From Application Where Архив=1)");
        // A working receipt of the other product only.
        AddLineOf("StructureDocuments", AddReceipt(day), other, 1);
    }
    int64_t product = 0, other = 0;
};

struct ViewCase {
    const char* why;
    TRadioButton* TForm4::*view;
    int working, archived, ofProduct;
    std::vector<int> columns;
};

TEST_F(JournalTest, EachViewListsItsKindWorkingArchivedOrOfOneProduct)
{
    StartOnWarehouse();
    SeedOneOfEach();
    const ViewCase cases[] = {
        {"receipts", &TForm4::RadioButton7, 2, 1, 1, {1, 2, 3, 6, 7, 12}},
        {"issue invoices", &TForm4::RadioButton8, 1, 1, 1, {1, 5, 7, 11, 12}},
        {"order requests", &TForm4::RadioButton9, 1, 1, 1, {1, 4, 5, 7, 8, 11, 12}},
        {"write-off acts", &TForm4::RadioButton10, 1, 1, 1, {1, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        InJournal([&] {
            d->Choose(Form4->*c.view);
            EXPECT_EQ(Listed(), c.working);
            EXPECT_EQ(ShownColumns(), c.columns);
        });
        Form4->ProductFilter = IntToStr(product);
        d->ExpectModal(Form4, [&] {
            d->Choose(Form4->*c.view);
            EXPECT_EQ(Listed(), c.ofProduct);
            d->Click(Form4->Button8);
        });
        d->Run([] {
            Form4->RadioButton7Click(nullptr);
            Form4->ShowModal();
        });
        Form4->ProductFilter.clear();
        d->ExpectModal(Form4, [&] {
            EXPECT_EQ(Form4->GetCaption(), "Работа с документами - Архив");
            EXPECT_EQ(Form4->Button5->GetCaption(), "Извлечь из архива");
            d->Choose(Form4->*c.view);
            EXPECT_EQ(Listed(), c.archived);
            EXPECT_FALSE(Form4->GroupBox1->GetEnabled()) << "request filters are out of reach in the archive";
            EXPECT_FALSE(Form4->Button1->GetEnabled());
            d->Click(Form4->Button8);
        });
        d->Run([&] { d->Menu(Form1->N18); });
        EXPECT_EQ(Form1->WorkingMode, 1) << "closing the journal returns to the working view";
    }
}

TEST_F(JournalTest, RequestFiltersListByStateAndSetTheCommands)
{
    StartOnWarehouse();
    const TDateTime day = Day(2027, 1, 10);
    AddRequest(day, day, "Выдан");
    AddRequest(day, day, "Не выдавался");
    AddRequest(day, day, "Не выдавался");
    AddRequest(day, day, "Частично выдан");
    AddRequest(day, day, "Выдан", 1);
    struct Case {
        const char* why;
        TRadioButton* TForm4::*filter;
        int listed;
        bool issue, edit;
    };
    const Case cases[] = {
        {"done", &TForm4::RadioButton2, 1, false, false},
        {"not done", &TForm4::RadioButton3, 2, true, true},
        {"partly done", &TForm4::RadioButton4, 1, true, false},
        {"all", &TForm4::RadioButton1, 4, true, true},
    };
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        EXPECT_TRUE(Form4->RadioButton1->GetChecked());
        EXPECT_EQ(Listed(), 4);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.why);
            d->Choose(Form4->*c.filter);
            EXPECT_EQ(Listed(), c.listed);
            EXPECT_EQ(Form4->Button3->GetEnabled(), c.issue);
            EXPECT_EQ(Form4->Button4->GetEnabled(), c.edit);
        }
    });
}

TEST_F(JournalTest, LatenessListsRequestsDueTodayOrEarlierMostOverdueFirst)
{
    StartOnWarehouse();
    d->SetNow(Day(2027, 3, 10, 12));
    const int64_t lastWeek = AddRequest(Day(2027, 3, 1), Day(2027, 3, 3), "Не выдавался");
    const int64_t laterToday = AddRequest(Day(2027, 3, 1), Day(2027, 3, 10, 18), "Частично выдан");
    const int64_t tomorrow = AddRequest(Day(2027, 3, 1), Day(2027, 3, 11), "Не выдавался");
    AddRequest(Day(2027, 3, 1), Day(2027, 3, 2), "Выдан");
    const int64_t archivedLate = AddRequest(Day(2027, 3, 1), Day(2027, 3, 9), "Не выдавался", 1);
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->Choose(Form4->RadioButton6);
        EXPECT_EQ(ListedIds(), (std::vector<int64_t>{lastWeek, laterToday}));
        d->Choose(Form4->RadioButton5);
        // Urgency: furthest from the due moment on either side first; archived requests keep
        // whatever Sort they had (0), so they come last.
        EXPECT_EQ(ListedIds(), (std::vector<int64_t>{lastWeek, tomorrow, laterToday, archivedLate}));
    });
    EXPECT_EQ(w->Scalar("Select Sort From Application Where ID=:i", {lastWeek}).AsInteger(), 7 * 1440 + 12 * 60);
}

TEST_F(JournalTest, ListingAgainWithinTheMinuteWritesNoFigureThatStayedTheSame)
{
    StartOnWarehouse();
    d->SetNow(Day(2027, 3, 10, 12));
    constexpr int kRequests = 40;
    for (int i = 0; i < kRequests; ++i)
        AddRequest(Day(2027, 3, 1), Day(2027, 3, 1 + i % 20), "Не выдавался");
    struct TCase {
        const char* Name;
        TRadioButton* TForm4::*View;
    };
    const TCase cases[] = {{"urgency", &TForm4::RadioButton5}, {"lateness", &TForm4::RadioButton6}};
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        for (const TCase& c : cases) {
            SCOPED_TRACE(c.Name);
            d->Choose(Form4->RadioButton9);
            DbFaults::ResetCount();
            d->Choose(Form4->*c.View);
            const int first = DbFaults::Count();
            const std::vector<int64_t> listed = ListedIds();
            d->Choose(Form4->RadioButton9);
            DbFaults::ResetCount();
            d->Choose(Form4->*c.View);
            EXPECT_LE(DbFaults::Count(), first - kRequests / 2) << "the second listing rewrote the figures";
            EXPECT_EQ(ListedIds(), listed);
        }
    });
}

TEST_F(JournalTest, TitleClickListsEachDocumentOnceInColumnOrder)
{
    StartOnWarehouse();
    const int64_t p = w->AddProduct(Product("Болт", "Склад", 10, 2));
    const int64_t a = AddReceipt(Day(2027, 1, 10), 0, "Б-2");
    const int64_t b = AddReceipt(Day(2027, 1, 11), 0, "А-1");
    AddLineOf("StructureDocuments", a, p, 1);
    AddLineOf("StructureDocuments", a, p, 2);  // the same product twice on one receipt
    AddLineOf("StructureDocuments", b, p, 1);
    Form4->ProductFilter = IntToStr(p);
    d->ExpectModal(Form4, [&] {
        EXPECT_EQ(Listed(), 3);
        d->ClickTitle(Form4->DBGrid1, 5);  // visible column 5: "№_заказа"
        EXPECT_EQ(Form4->SortColumn, "№_заказа");
        EXPECT_EQ(ListedIds(), (std::vector<int64_t>{b, a}));
        d->Click(Form4->Button8);
    });
    d->Run([] {
        Form4->RadioButton7Click(nullptr);
        Form4->ShowModal();
    });
    Form4->ProductFilter.clear();
}

TEST_F(JournalTest, ViewShowsTheDocumentReadOnlyAndClosesWithoutAsking)
{
    StartOnWarehouse();
    const int64_t p = w->AddProduct(Product("Болт", "Склад", 10, 2));
    const int64_t r = AddRequest(Day(2027, 2, 3), Day(2027, 2, 9), "Частично выдан");
    AddRequestLine(r, p, 5, 2, 10);
    AddRequestLine(r, p, 1, 0, 2.005);
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ExpectModal(Form3, [&] {
            EXPECT_EQ(Form3->GetCaption(), "Заявка на заказ от03.02.2027");
            EXPECT_EQ(Form3->Mode(), TDocumentMode::View);
            EXPECT_FALSE(Form3->Button1->GetEnabled() || Form3->Button2->GetEnabled() || Form3->Button3->GetEnabled());
            EXPECT_TRUE(Form3->Button8->GetVisible());
            EXPECT_FALSE(Form3->Button4->GetVisible());
            EXPECT_TRUE(Form3->DBGrid1->GetColumns()->Items(10)->GetVisible()) << "issued so far";
            EXPECT_DOUBLE_EQ(Form3->DateTimePicker2->GetDateTime(), double(Day(2027, 2, 9)));
            EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму 12,01");
            EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 2);
            d->Click(Form3->Button6);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->DoubleClickRow(Form4->DBGrid1, 0, 0);
    });
    EXPECT_EQ(d->ModalNames(), (std::vector<AnsiString>{"Form4", "Form3"}));
}

class IssueTest : public JournalTest {
protected:
    void SetUp() override
    {
        JournalTest::SetUp();
        StartOnWarehouse();
        none = w->AddProduct(Product("Пусто", "Склад", 0, 5));
        short_ = w->AddProduct(Product("Мало", "Склад", 3, 10));
        plenty = w->AddProduct(Product("Много", "Склад", 10, 2.5));
        request = AddRequest(Day(2027, 2, 3), Day(2027, 2, 9), "Не выдавался");
        AddRequestLine(request, none, 2, 0);
        AddRequestLine(request, short_, 5, 0);
        AddRequestLine(request, plenty, 4, 0);
    }
    // The issue command on the only request, with `script` inside the document window.
    void Issue(const std::function<void()>& script)
    {
        InJournal([&] {
            d->Choose(Form4->RadioButton9);
            d->ExpectModal(Form3, script);
            d->Click(Form4->Button3);
        });
    }
    int64_t none = 0, short_ = 0, plenty = 0, request = 0;
};

TEST_F(IssueTest, LinesAreTheOutstandingNeedCappedByStock)
{
    d->SetNow(Day(2027, 2, 10, 9));
    Issue([&] {
        EXPECT_EQ(Form3->GetCaption(),
                  "Накладная на отпуск товара со склада на 10.02.2027 по заявке на заказ от 03.02.2027");
        EXPECT_EQ(Form3->Mode(), TDocumentMode::NewIssue);
        EXPECT_FALSE(Form3->Button1->GetEnabled());
        EXPECT_FALSE(Form3->CheckBox1->GetChecked());
        EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 2) << "goods without stock are left out";
        EXPECT_DOUBLE_EQ(w->Scalar("Select Количество From TempStructureOtpusk Where IDТовара=:p", {short_}).AsDouble(), 3);
        EXPECT_DOUBLE_EQ(w->Scalar("Select Макс From TempStructureOtpusk Where IDТовара=:p", {short_}).AsDouble(), 3);
        EXPECT_DOUBLE_EQ(w->Scalar("Select Ставка From TempStructureOtpusk Where IDТовара=:p", {plenty}).AsDouble(), 0);
        EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму 40");

        // VAT on: every line carries the rate; off: back to the plain sums.
        d->Tick(Form3->CheckBox1, true);
        EXPECT_DOUBLE_EQ(w->Scalar("Select Ставка From TempStructureOtpusk Where IDТовара=:p", {short_}).AsDouble(), 18);
        EXPECT_DOUBLE_EQ(w->Scalar("Select Сумма_с_НДС From TempStructureOtpusk Where IDТовара=:p", {short_}).AsDouble(), 35.4);
        EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму 47,2");
        d->Tick(Form3->CheckBox1, false);
        EXPECT_DOUBLE_EQ(w->Scalar("Select Сумма_с_НДС From TempStructureOtpusk Where IDТовара=:p", {short_}).AsDouble(), 30);
        d->Click(Form3->Button4);
        EXPECT_FALSE(d->IsShowing(Form3));
    });
    EXPECT_EQ(w->Scalar("Select Отпуск_товара From Application").AsString(), "Частично выдан");
    EXPECT_EQ(w->Scalar("Select IDЗаявки From Otpusk").AsInt64(), request);
    EXPECT_DOUBLE_EQ(w->Scalar("Select Количество From Products Where ID=:p", {short_}).AsDouble(), 0);
    EXPECT_DOUBLE_EQ(w->Scalar("Select Количество From Products Where ID=:p", {plenty}).AsDouble(), 6);
    EXPECT_DOUBLE_EQ(w->Scalar("Select Отпущено From StructureApplication Where IDТовара=:p", {short_}).AsDouble(), 3);
    EXPECT_DOUBLE_EQ(w->Scalar("Select Отпущено From StructureApplication Where IDТовара=:p", {plenty}).AsDouble(), 4);
    EXPECT_EQ(w->Scalar("Select Count(*) From StructureOtpusk").AsInteger(), 2);

    // Restocked, the rest is issued and the request is done; no further invoice is made.
    w->Exec("Update Products Set Количество=10");
    Issue([&] {
        EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 3);
        d->Click(Form3->Button4);
    });
    EXPECT_EQ(w->Scalar("Select Отпуск_товара From Application").AsString(), "Выдан");
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->Click(Form4->Button5);  // archive the issued request
        EXPECT_TRUE(Form4->RadioButton1->GetChecked());
        EXPECT_EQ(Listed(), 0);
    });
    EXPECT_EQ(w->Scalar("Select Count(*) From StructureApplication Where Архив=1").AsInteger(), 3);
}

TEST_F(IssueTest, SavingTheInvoiceIsAllOrNothingUnderFaults)
{
    Issue([&] {
        EveryStepFails([&] { d->Click(Form3->Button4); }, "Документ не сохранен.");
    });
    EXPECT_EQ(w->Scalar("Select Count(*) From Otpusk").AsInteger(), 1);
}

// Large quantities keep their cents from the request to the invoice: the whole need, or the
// whole stock, is issued to the cent and the stock comes out exact.
TEST_F(IssueTest, LargeQuantitiesAreIssuedToTheCent)
{
    struct Case {
        const char* why;
        double need, issuedBefore, stock;
        double issued, stockAfter;
        const char* state;
    };
    const Case cases[] = {
        {"the whole stock meets the whole need", 200000.01, 0, 200000.01, 200000.01, 0, "Выдан"},
        {"the need from plenty of stock", 300000.07, 0, 1000000, 300000.07, 699999.93, "Выдан"},
        {"the rest after a part issued", 1234567.89, 0.89, 5000000, 1234567.89, 3765433, "Выдан"},
        {"the stock is less than the need", 500000, 0, 262144.03, 262144.03, 0, "Частично выдан"},
        {"small figures", 5, 1.5, 2.33, 3.83, 0, "Частично выдан"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        w->Exec("Delete From Application");
        w->Exec("Delete From StructureApplication");
        w->Exec("Update Products Set Количество=:q Where ID=:p", {c.stock, plenty});
        request = AddRequest(Day(2027, 2, 3), Day(2027, 2, 9), "Частично выдан");
        AddRequestLine(request, plenty, c.need, c.issuedBefore);
        Issue([&] { d->Click(Form3->Button4); EXPECT_FALSE(d->IsShowing(Form3)); });
        EXPECT_EQ(w->Scalar("Select Отпуск_товара From Application").AsString(), c.state);
        EXPECT_DOUBLE_EQ(w->Scalar("Select Отпущено From StructureApplication").AsDouble(), c.issued);
        EXPECT_DOUBLE_EQ(w->Scalar("Select Количество From Products Where ID=:p", {plenty}).AsDouble(), c.stockAfter);
    }
}

TEST_F(IssueTest, AnInvoiceWithNothingToIssueIsRefused)
{
    Issue([&] {
        w->Exec("Update TempStructureOtpusk Set Количество=0");
        const std::string before = w->Snapshot();
        d->Click(Form3->Button4);
        EXPECT_EQ(d->MessageTexts().back(), "Документ не сохранен.\nВ накладной нет товара к отпуску.");
        EXPECT_EQ(w->Snapshot(), before);
        d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
        d->Click(Form3->Button6);
    });
}

TEST_F(IssueTest, EditingIsRefusedOnceIssuedAndReplacesTheRequestOtherwise)
{
    Issue([&] {
        d->Click(Form3->Button4);
    });
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->Click(Form4->Button4);
        EXPECT_EQ(d->MessageTexts().back(), "Нельзя изменить заявку так как она уже использовалась");
    });

    const int64_t p = w->AddProduct(Product("Шайба", "Склад", 1, 0.5));
    const int64_t fresh = AddRequest(Day(2027, 2, 4), Day(2027, 2, 9), "Не выдавался", 0, "Цех");
    AddRequestLine(fresh, p, 2, 0, 1);
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->Choose(Form4->RadioButton3);
        ASSERT_EQ(Listed(), 1);
        d->ExpectModal(Form3, [&] {
            EXPECT_EQ(Form3->Mode(), TDocumentMode::EditRequest);
            EXPECT_TRUE(Form3->Button7->GetVisible());
            EXPECT_FALSE(Form3->Button4->GetVisible());
            EXPECT_EQ(Form3->ComboBox2->GetText(), "Цех");
            EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 1);
            EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму 1");
            d->Type(Form3->ComboBox2, "Цех 'Б'");
            AddLine(Product("Шайба", "Склад", 1, 0.5), 6);
            d->Click(Form3->Button7);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Click(Form4->Button4);
    });
    EXPECT_EQ(w->Scalar("Select Получатель From Application Where ID=:i", {fresh}).AsString(), "Цех 'Б'");
    EXPECT_EQ(w->Scalar("Select Count(*) From StructureApplication Where IDДокумента=:i", {fresh}).AsInteger(), 2);
    EXPECT_DOUBLE_EQ(w->Scalar("Select Sum(Количество) From StructureApplication Where IDДокумента=:i", {fresh}).AsDouble(), 8);
}

// A request opened for editing and saved keeps the sums of the lines it did not change.
// The issue and archive commands act on the request highlighted in the list, however the list
// was sorted or filtered and whether the row was clicked or reached by the keys.
TEST_F(JournalTest, IssueAndArchiveActOnTheRowHighlightedAfterASortOrAFilter)
{
    StartOnWarehouse();
    const TDateTime day = DateOf(Now()) - 30.0;  // every request is overdue
    // Requests that every route passes by: other recipients, other due dates.
    for (const char* recipient : {"Яковлев", "Андреев", "Петров"}) {
        const int64_t p = w->AddProduct(Product(AnsiString("Товар ") + recipient, "Склад", 10, 1));
        AddRequestLine(AddRequest(day, day + 3.0, "Не выдавался", 0, recipient), p, 1, 0);
    }
    TDBGrid* const grid = Form4->DBGrid1;
    // The row of `id` in the list as it stands (0-based), read without moving the cursor.
    const auto rowOf = [](int64_t id) {
        TADOQuery* q = Form1->ADOQuery6;
        const int column = q->FieldByName("ID")->Index();
        for (int r = 1; r <= q->RecordCount(); ++r)
            if (q->RowValue(r, column).AsInt64() == id)
                return r - 1;
        return -1;
    };
    const auto byKeys = [&](int row) {
        d->Key(grid, VK_HOME);
        for (int i = 0; i < row; ++i)
            d->Key(grid, VK_DOWN);
    };
    // The lists that hold the request before it is issued, and after (the urgency, lateness
    // and "not issued" lists leave issued requests out: "Выполненные заявки" lists them).
    const auto byRecipient = [&] { d->ClickTitle(grid, 2); };
    const auto issuedByDueDate = [&] {
        d->Choose(Form4->RadioButton2);
        d->ClickTitle(grid, 1);
    };
    const struct {
        const char* why;
        std::function<void()> before, after;
        bool keys;
    } routes[] = {
        {"sorted by recipient, clicked", byRecipient, byRecipient, false},
        {"sorted by recipient, by the keys", byRecipient, byRecipient, true},
        {"not issued, sorted by due date, by the keys",
         [&] {
             d->Choose(Form4->RadioButton3);
             d->ClickTitle(grid, 1);
         },
         issuedByDueDate, true},
        {"by urgency, clicked", [&] { d->Choose(Form4->RadioButton5); }, issuedByDueDate, false},
        {"overdue, by the keys", [&] { d->Choose(Form4->RadioButton6); }, issuedByDueDate, true},
    };
    int n = 0;
    for (const auto& r : routes) {
        SCOPED_TRACE(r.why);
        // This route's own request: a recipient between the others, due well before them.
        const AnsiString recipient = "Клименко " + IntToStr(++n);
        const int64_t product = w->AddProduct(Product("Цель " + IntToStr(n), "Склад", 10, 2));
        const int64_t target = AddRequest(day, day - double(n), "Не выдавался", 0, recipient);
        AddRequestLine(target, product, 4, 0);
        const auto select = [&](const std::function<void()>& list) {
            d->Choose(Form4->RadioButton9);
            list();
            const int row = rowOf(target);
            ASSERT_GE(row, 0);
            if (r.keys)
                byKeys(row);
            else
                d->ClickRow(grid, row);
        };
        InJournal([&] {
            select(r.before);
            d->ExpectModal(Form3, [&] { d->Click(Form3->Button4); });
            d->Click(Form4->Button3);
            select(r.after);
            d->Click(Form4->Button5);
        });
        EXPECT_EQ(w->Scalar("Select IDЗаявки From Otpusk Order By ID Desc Limit 1").AsInt64(), target);
        EXPECT_EQ(w->Scalar("Select Количество From Products Where ID=:p", {product}).AsDouble(), 6);
        EXPECT_EQ(VarToStr(w->Scalar("Select Отпуск_товара From Application Where ID=:r", {target})), "Выдан");
        EXPECT_EQ(w->Scalar("Select Count(*) From Otpusk").AsInteger(), n) << "one invoice for each route";
        EXPECT_EQ(w->Scalar("Select Group_Concat(ID) From Application Where Архив=1").AsInt64(), target)
            << "the issued request alone went to the archive";
        w->Exec("Update Application Set Архив=0");
        w->Exec("Update Application Set Отпуск_товара='Выдан' Where ID=:r", {target});
    }
    EXPECT_TRUE(d->Errors().empty());
    EXPECT_TRUE(d->MessageTexts().empty());
}

TEST_F(JournalTest, EditingARequestKeepsTheSumsOfItsLines)
{
    StartOnWarehouse();
    const int64_t p = w->AddProduct(Product("Кабель", "Склад", 0, 1));
    const double sums[] = {12.5, 0.1, 200000.01, 1234567.89, 98765432.1};
    const int64_t request = AddRequest(Day(2027, 2, 4), Day(2027, 2, 9), "Не выдавался", 0, "Цех");
    for (double sum : sums)
        AddRequestLine(request, p, 1, 0, sum);
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ExpectModal(Form3, [&] {
            EXPECT_EQ(Form3->Mode(), TDocumentMode::EditRequest);
            EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму 100200012,6");
            d->Click(Form3->Button7);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Click(Form4->Button4);
    });
    std::vector<double> stored;
    for (int i = 0; i < int(std::size(sums)); ++i)
        stored.push_back(w->Scalar("Select Сумма From StructureApplication Order By rowid Limit 1 Offset :i", {i}).AsDouble());
    EXPECT_EQ(stored, std::vector<double>(std::begin(sums), std::end(sums)));
}

// A line stored at 2.005 (an older program's figure) is edited as the viewer shows it, 2.01,
// and saved so: the line, the total and the stored request say the same.
TEST_F(JournalTest, EditingARequestTakesEachLineAsItsTotalCountsIt)
{
    StartOnWarehouse();
    const int64_t p = w->AddProduct(Product("Кабель", "Склад", 0, 1));
    const int64_t request = AddRequest(Day(2027, 2, 4), Day(2027, 2, 9), "Не выдавался", 0, "Цех");
    AddRequestLine(request, p, 1, 0, 10);
    AddRequestLine(request, p, 1, 0, 2.005);
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ExpectModal(Form3, [&] {
            std::vector<AnsiString> shown;
            for (TADOQuery* q = Form1->ADOQuery4; !q->Eof(); q->Next())
                shown.push_back(q->FieldByName("Сумма")->AsString());
            EXPECT_EQ(shown, (std::vector<AnsiString>{"10", "2,01"}));
            EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму 12,01");
            d->Click(Form3->Button7);
        });
        d->Key(Form4->DBGrid1, VK_HOME);
        d->Click(Form4->Button4);
    });
    EXPECT_EQ(w->Scalar("Select Group_Concat(Сумма, ' ') From StructureApplication").AsString(), "10.0 2.01");
}

TEST_F(JournalTest, ArchivingAskedOfARequestStillInUseIsRefused)
{
    StartOnWarehouse();
    AddRequest(Day(2027, 1, 1), Day(2027, 1, 2), "Частично выдан");
    const std::string before = w->Snapshot();
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->Click(Form4->Button5);
        EXPECT_EQ(d->MessageTexts().back(), "Нельзя добавлять в архив документы которые будут использоваться в дальнейшем");
    });
    EXPECT_EQ(w->Snapshot(), before);
}

TEST_F(JournalTest, ArchivingAndRestoringMoveHeaderAndLinesTogether)
{
    StartOnWarehouse();
    SeedOneOfEach();
    InJournal([&] {
        d->Choose(Form4->RadioButton10);
        ASSERT_EQ(Listed(), 1);
        EveryStepFails([&] { d->Click(Form4->Button5); }, "Документы не перенесены.");
    });
    EXPECT_EQ(w->Scalar("Select Count(*) From Akt Where Архив=0").AsInteger(), 0);
    EXPECT_EQ(w->Scalar("Select Count(*) From StructureAkt Where Архив=0").AsInteger(), 0);
    d->ExpectModal(Form4, [&] {
        d->Choose(Form4->RadioButton10);
        EXPECT_EQ(Listed(), 2);
        d->Click(Form4->Button5);  // restore needs no state
        EXPECT_EQ(Listed(), 1);
        d->Click(Form4->Button8);
    });
    d->Run([&] { d->Menu(Form1->N18); });
    EXPECT_EQ(w->Scalar("Select Count(*) From StructureAkt Where Архив=0").AsInteger(), 1);
}

TEST_F(JournalTest, ArchiveDialogMovesFinishedDocumentsOfTheRangeOnly)
{
    StartOnWarehouse();
    const int64_t p = w->AddProduct(Product("Болт", "Склад", 10, 2));
    d->SetNow(Day(2027, 6, 30, 15));
    const int64_t before = AddReceipt(Day(2027, 5, 31, 23, 59));
    const int64_t first = AddReceipt(Day(2027, 6, 1, 8));
    const int64_t last = AddAct(Day(2027, 6, 15, 23, 59));
    const int64_t issued = AddRequest(Day(2027, 6, 2), Day(2027, 6, 3), "Выдан");
    const int64_t partly = AddRequest(Day(2027, 6, 2), Day(2027, 6, 3), "Частично выдан");
    const int64_t after = AddIssue(Day(2027, 6, 16));
    AddLineOf("StructureDocuments", first, p, 1);
    AddLineOf("StructureAkt", last, p, 1);
    AddRequestLine(issued, p, 1, 1);
    AddRequestLine(partly, p, 1, 0);
    const auto archived = [&](const char* table, int64_t id) {
        return w->Scalar(AnsiString("Select Архив From ") + table + " Where ID=:i", {id}).AsInteger() == 1;
    };
    d->ExpectModal(Form8, [&] {
        EXPECT_DOUBLE_EQ(Form8->Date1->GetDate(), double(Day(2027, 6, 30)));
        d->PickDate(Form8->Date1, Day(2027, 6, 15));
        d->PickDate(Form8->Date2, Day(2027, 6, 1));
        d->Click(Form8->Button2);
        EXPECT_EQ(d->MessageTexts().back(), "Начало периода позже его конца.");
        d->PickDate(Form8->Date1, Day(2027, 6, 1));
        d->PickDate(Form8->Date2, Day(2027, 6, 15));
        EveryStepFails([&] { d->Click(Form8->Button2); }, "Документы не перенесены.");
        EXPECT_EQ(d->MessageTexts().back(), "В архив перенесено документов: 3");
    });
    d->Run([&] { d->Menu(Form1->N17); });
    EXPECT_FALSE(archived("Documents", before));
    EXPECT_TRUE(archived("Documents", first));
    EXPECT_TRUE(archived("Akt", last));
    EXPECT_TRUE(archived("Application", issued));
    EXPECT_FALSE(archived("Application", partly));
    EXPECT_FALSE(archived("Otpusk", after));
    EXPECT_EQ(w->Scalar("Select Count(*) From StructureApplication Where Архив=1").AsInteger(), 1);

    // Shown again on the same day, both pickers are back on today.
    d->ExpectModal(Form8, [&] {
        EXPECT_DOUBLE_EQ(Form8->Date1->GetDate(), double(Day(2027, 6, 30)));
        EXPECT_DOUBLE_EQ(Form8->Date2->GetDate(), double(Day(2027, 6, 30)));
        d->Click(Form8->Button3);
    });
    d->Run([&] { d->Menu(Form1->N17); });
}

TEST_F(JournalTest, CalendarFillsTheDateItWasOpenedFor)
{
    StartOnWarehouse();
    d->Run([] {
        Form4->RadioButton12Click(nullptr);
        Form4->Button7Click(nullptr);
    });
    EXPECT_TRUE(Form4->Button10->GetEnabled());
    EXPECT_TRUE(Form4->MonthCalendar1->GetVisible());
    EXPECT_EQ(Form4->MonthCalendar1->GetLeft(), 274);
    d->Run([] {
        Form4->MonthCalendar1->SetDate(Day(2027, 7, 1));
        Form4->MonthCalendar1Click(nullptr);
        Form4->Button7Click(nullptr);  // the same button again hides it
    });
    EXPECT_EQ(Form4->Edit1->GetText(), "01.07.2027");
    EXPECT_FALSE(Form4->MonthCalendar1->GetVisible());
    d->Run([] {
        Form4->Button10Click(nullptr);
        Form4->MonthCalendar1->SetDate(Day(2027, 7, 9));
        Form4->MonthCalendar1Click(nullptr);
    });
    EXPECT_TRUE(Form4->MonthCalendar1->GetVisible());
    EXPECT_EQ(Form4->Edit2->GetText(), "09.07.2027");
    EXPECT_EQ(Form4->Edit1->GetText(), "01.07.2027");
}

TEST_F(JournalTest, NewDocumentFromTheJournalIsListedOnceSaved)
{
    StartOnWarehouse();
    const TProductSeed bolt = Product("Болт", "Склад", 10, 2);
    w->AddProduct(bolt);
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        EXPECT_EQ(Listed(), 0);
        d->ExpectModal(Form3, [&] {
            EXPECT_EQ(Form3->Mode(), TDocumentMode::NewRequest);
            d->Type(Form3->ComboBox2, "Цех");
            d->Type(Form3->ComboBox3, "Курьер");
            d->Type(Form3->ComboBox5, "Иванов");
            d->Type(Form3->ComboBox6, "1");
            AddLine(bolt, 1);
            d->Click(Form3->Button4);
        });
        d->Click(Form4->Button1);
        EXPECT_EQ(Listed(), 1);
        d->Choose(Form4->RadioButton8);
        EXPECT_FALSE(Form4->Button1->GetEnabled()) << "issue invoices come from requests only";
    });
}

// The journal of one product's documents is opened from the goods card, in the working view:
// its archive command says what it does there, whatever view the journal was last shown in.
TEST_F(JournalTest, TheArchiveCommandOfAProductsDocumentsSaysWhatItDoes)
{
    StartOnWarehouse();
    const int64_t bolt = w->AddProduct(Product("Болт", "Склад", 10, 2));
    const int64_t receipt = AddReceipt(Day(2027, 1, 10));
    AddLineOf("StructureDocuments", receipt, bolt, 1);
    struct Case {
        const char* why;
        TMenuItem* TForm1::*before;  // the journal shown first
    };
    const Case cases[] = {
        {"after the working journal", &TForm1::N25},
        {"after the archive", &TForm1::N18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        d->ExpectModal(Form4, [&] { d->Click(Form4->Button8); });
        d->Run([&] { d->Menu(Form1->*c.before); });
        ASSERT_EQ(Form1->WorkingMode, 1);
        d->ExpectModal(Form2, [&] {
            d->ExpectModal(Form4, [&] {
                EXPECT_EQ(Form4->Button5->GetCaption(), "Добавить в архив");
                EXPECT_EQ(Form4->Button5->GetHint(), "Добавляет выделенный документ в архив");
                d->Click(Form4->Button8);
            });
            d->Click(Form2->Button1);
            d->CloseForm(Form2);
        });
        d->Run([&] { d->Click(Form1->Button3); });
        EXPECT_EQ(d->ModalNames().back(), "Form4");
    }
}

}  // namespace

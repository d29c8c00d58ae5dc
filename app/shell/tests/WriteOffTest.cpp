// Posting a write-off act: the password, the act and its lines, the lowered stock, all or nothing.
#include "app/shell/tests/ShellFixture.h"

#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit5.h"
#include "app/documents/WriteOff.h"
#include "platform/db/DbFaults.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"

namespace {

class WriteOffTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        d->SetNow(EncodeDate(2024, 3, 20) + 0.5);
    }
    // A new warehouse and program for the next row of a table.
    void Fresh()
    {
        TearDown();
        SetUp();
    }
    int AddProduct(const AnsiString& name, const AnsiString& group, double stock, double price = 0)
    {
        return w->AddProduct(Product(name, group, stock, price));
    }
    // A line of the act as the goods card writes it: the product described by value.
    void AddLine(const AnsiString& name, const AnsiString& group, double quantity, double price = 0,
                 const AnsiString& unit = "шт")
    {
        w->Exec("Insert Into TempStructureDocuments (Наименование,Марка,Цвет,Размеры,Единица_измерения,Группа,"
                "Цена,Количество) Values (:n,'','','',:u,:g,:p,:q)",
                {name, unit, group, price, quantity});
    }
    // The act's OK with `password` typed; `stillOpen` tells whether the dialog stayed.
    TWriteOffOutcome Post(const AnsiString& password, bool* stillOpen = nullptr)
    {
        TWriteOffOutcome outcome = TWriteOffOutcome::NotPosted;
        d->ExpectModal(Form5, [&] {
            EXPECT_EQ(Form5->GetCaption(), "Введите пароль на списание");
            EXPECT_FALSE(Form5->ComboBox1->GetVisible());
            EXPECT_EQ(Form5->Edit1->GetText(), "");
            d->Type(Form5->Edit1, password);
            d->Click(Form5->Button1);
            const bool open = d->IsShowing(Form5);
            if (stillOpen)
                *stillOpen = open;
            if (open)
                d->CloseForm(Form5);
        });
        d->Run([&] { outcome = ConfirmWriteOff({.Reason = "Бой 'при' разгрузке", .Date = EncodeDate(2024, 3, 15)}); });
        return outcome;
    }
    double Stock(int product) { return w->Scalar("Select Количество From Products Where ID=:id", {product}).AsDouble(); }
    int Count(const char* table) { return w->Scalar(AnsiString("Select Count(*) From ") + table).AsInteger(); }
};

TEST_F(WriteOffTest, OneLineLowersTheStockAndWritesTheActWithItsLine)
{
    const int bolt = AddProduct("Болт", "Склад", 10, 2.5);
    AddLine("Болт", "Склад", 4, 2.5);
    StartOnWarehouse();
    bool open = true;
    EXPECT_EQ(Post("1", &open), TWriteOffOutcome::Posted);
    EXPECT_FALSE(open);
    EXPECT_EQ(Stock(bolt), 6);
    ASSERT_EQ(Count("Akt"), 1);
    const int act = w->Scalar("Select ID From Akt").AsInteger();
    EXPECT_EQ(w->Scalar("Select Причина From Akt").AsString(), "Бой 'при' разгрузке");
    EXPECT_EQ(w->Scalar("Select Дата From Akt").AsDouble(), EncodeDate(2024, 3, 15).Val);
    EXPECT_EQ(w->Scalar("Select Дата_создания From Akt").AsDouble(), EncodeDate(2024, 3, 20).Val);
    EXPECT_EQ(w->Scalar("Select Архив From Akt").AsInteger(), 0);
    EXPECT_EQ(w->Scalar("Select IDДокумента From StructureAkt").AsInteger(), act);
    EXPECT_EQ(w->Scalar("Select IDТовара From StructureAkt").AsInteger(), bolt);
    EXPECT_EQ(w->Scalar("Select Количество From StructureAkt").AsDouble(), 4);
    EXPECT_EQ(w->Scalar("Select Сумма From StructureAkt").AsDouble(), 10);
    EXPECT_EQ(Count("TempStructureDocuments"), 0) << "the scratch lines go with the posting";
    EXPECT_EQ(Form1->ADOQuery1->FieldByName("Количество")->AsFloat(), 6) << "the grid shows the new stock";
}

TEST_F(WriteOffTest, TheLinesCarryTheIdOfTheActJustWritten)
{
    // Older acts (one of them archived) come before; the new lines name the new act.
    w->Exec("Insert Into Akt (Причина, Архив) Values ('старый', 1)");
    w->Exec("Insert Into Akt (Причина) Values ('ещё')");
    AddProduct("Болт", "Склад", 10);
    AddLine("Болт", "Склад", 1);
    StartOnWarehouse();
    EXPECT_EQ(Post("1"), TWriteOffOutcome::Posted);
    EXPECT_EQ(w->Scalar("Select IDДокумента From StructureAkt").AsInteger(),
              w->Scalar("Select Max(ID) From Akt").AsInteger());
}

TEST_F(WriteOffTest, TwoLinesOfOneProductLowerItByBoth)
{
    const int bolt = AddProduct("Болт", "Склад", 10, 1);
    AddLine("Болт", "Склад", 3, 1);
    AddLine("Болт", "Склад", 4, 1);
    StartOnWarehouse();
    EXPECT_EQ(Post("1"), TWriteOffOutcome::Posted);
    EXPECT_EQ(Stock(bolt), 3);
    EXPECT_EQ(Count("StructureAkt"), 2);
}

struct FigureCase {
    const char* why;
    double stock, quantity, price;
    double newStock, lineQuantity, sum;
};

// Quantities and sums are kept to the cent, never through single precision.
const FigureCase kFigures[] = {
    {"a tenth stays a tenth", 1, 0.1, 3, 0.9, 0.1, 0.3},
    {"fractions subtract to the cent; 2.585 goes to the even cent", 5.55, 2.35, 1.1, 3.2, 2.35, 2.58},
    {"the sum is rounded to the cent", 10, 3, 0.333, 7, 3, 1},
    {"a quantity typed with more digits is taken to the cent", 10, 1.234, 2, 8.77, 1.23, 2.46},
    {"the whole stock may go", 7.5, 7.5, 2, 0, 7.5, 15},
    {"more than the stock leaves a negative stock", 3, 4, 1, -1, 4, 4},
    {"an empty stock goes below zero", 0, 2.5, 2, -2.5, 2.5, 5},
};

TEST_F(WriteOffTest, FiguresAreRoundedToTheCent)
{
    for (const auto& c : kFigures) {
        SCOPED_TRACE(c.why);
        Fresh();
        const int p = AddProduct("Шуруп", "Склад", c.stock, c.price);
        AddLine("Шуруп", "Склад", c.quantity, c.price);
        StartOnWarehouse();
        EXPECT_EQ(Post("1"), TWriteOffOutcome::Posted);
        EXPECT_EQ(Stock(p), c.newStock);
        EXPECT_EQ(w->Scalar("Select Количество From StructureAkt").AsDouble(), c.lineQuantity);
        EXPECT_EQ(w->Scalar("Select Сумма From StructureAkt").AsDouble(), c.sum);
    }
}

TEST_F(WriteOffTest, AnActWithoutLinesStillWritesItsHeaderAndCloses)
{
    StartOnWarehouse();
    bool open = true;
    EXPECT_EQ(Post("1", &open), TWriteOffOutcome::Posted);
    EXPECT_FALSE(open);
    EXPECT_EQ(Count("Akt"), 1);
    EXPECT_EQ(Count("StructureAkt"), 0);
}

struct RefusalCase {
    const char* why;
    const char* password;  // the warehouse's password is "1"
    double stock;
    double firstQuantity, secondQuantity;  // second 0: one line only
    const char* lineGroup;                 // the product lies in "Склад"
    const char* messageStart;
};

const RefusalCase kRefusals[] = {
    {"a wrong password", "2", 10, 4, 0, "Склад", "Неверный пароль,проверьте раскладку клавиатуры"},
    {"a trailing blank makes another password", "1 ", 10, 4, 0, "Склад", "Неверный пароль,проверьте раскладку клавиатуры"},
    {"a line whose product is gone", "1", 10, 4, 0, "Другая", "Акт не списан: товар \"Болт\""},
    {"a line of no quantity", "1", 10, 0, 0, "Склад", "Акт не списан: количество товара \"Болт\""},
    {"a negative line would raise the stock", "1", 10, -2, 0, "Склад", "Акт не списан: количество товара"},
};

TEST_F(WriteOffTest, ARefusedActWritesNothingAndKeepsTheDialogOpen)
{
    for (const auto& c : kRefusals) {
        SCOPED_TRACE(c.why);
        Fresh();
        AddProduct("Болт", "Склад", c.stock, 2);
        AddLine("Болт", c.lineGroup, c.firstQuantity, 2);
        if (c.secondQuantity != 0)
            AddLine("Болт", c.lineGroup, c.secondQuantity, 2);
        StartOnWarehouse();
        const std::string before = w->Snapshot();
        bool open = false;
        EXPECT_EQ(Post(c.password, &open), TWriteOffOutcome::NotPosted);
        EXPECT_TRUE(open);
        EXPECT_EQ(w->Snapshot(), before);
        ASSERT_FALSE(d->MessageTexts().empty());
        EXPECT_EQ(d->MessageTexts().back().substr(0, std::string_view(c.messageStart).size()), c.messageStart);
    }
}

TEST_F(WriteOffTest, AnEmptyStoredPasswordPostsNothing)
{
    // (An empty Passwords table cannot reach here: the main window asks for a password first.)
    AddProduct("Болт", "Склад", 10);
    AddLine("Болт", "Склад", 1);
    StartOnWarehouse();
    w->Exec("Update Passwords Set Пароль=''");
    const std::string before = w->Snapshot();
    bool open = false;
    EXPECT_EQ(Post("1", &open), TWriteOffOutcome::NotPosted);
    EXPECT_TRUE(open);
    EXPECT_EQ(w->Snapshot(), before);
    EXPECT_EQ(d->MessageTexts().back(), "Неверный пароль,проверьте раскладку клавиатуры");
}

TEST_F(WriteOffTest, ThePasswordIsMaskedOnlyForTheWriteOff)
{
    StartOnWarehouse();
    d->ExpectModal(Form5, [&] {
        EXPECT_NE(Form5->Edit1->GetPasswordChar(), 0);
        d->CloseForm(Form5);
    });
    d->Run([] { ConfirmWriteOff({}); });
    EXPECT_EQ(Form5->Edit1->GetPasswordChar(), 0);
}

TEST_F(WriteOffTest, APostingBrokenAtAnyStatementLeavesTheWarehouseAsItWas)
{
    const int bolt = AddProduct("Болт", "Склад", 10, 2);
    const int nut = AddProduct("Гайка 'М6'", "Склад", 5, 0.5);
    AddLine("Болт", "Склад", 4, 2);
    AddLine("Гайка 'М6'", "Склад", 5, 0.5);
    AddLine("Болт", "Склад", 1, 2);
    StartOnWarehouse();
    const std::string before = w->Snapshot();
    for (int failAt = 1;; ++failAt) {
        SCOPED_TRACE("failure injected at statement " + std::to_string(failAt));
        ASSERT_LT(failAt, 40);
        d->ClearMessages();
        bool open = false;
        d->ExpectModal(Form5, [&] {
            d->Type(Form5->Edit1, "1");
            DbFaults::FailStatement(failAt);
            d->Click(Form5->Button1);
            DbFaults::Clear();
            open = d->IsShowing(Form5);
            if (open)
                d->CloseForm(Form5);
        });
        TWriteOffOutcome outcome = TWriteOffOutcome::NotPosted;
        d->Run([&] { outcome = ConfirmWriteOff({.Reason = "бой", .Date = EncodeDate(2024, 3, 15)}); });
        const std::vector<AnsiString> errors = d->TakeErrors();
        if (outcome == TWriteOffOutcome::Posted) {
            // The first run that reaches the commit; whatever failed after it (reloading the
            // grid) failed loudly, and the posting is whole.
            EXPECT_EQ(Stock(bolt), 5);
            EXPECT_EQ(Stock(nut), 0);
            EXPECT_EQ(Count("StructureAkt"), 3);
            EXPECT_EQ(Count("TempStructureDocuments"), 0);
            break;
        }
        EXPECT_TRUE(open);
        EXPECT_EQ(w->Snapshot(), before);
        EXPECT_FALSE(d->MessageTexts().empty() && errors.empty()) << "the user is told";
    }
}

}  // namespace

namespace {

// The whole road of an act: the main window's command, the document window, the line picker,
// the act's OK and the password.
TEST_F(WriteOffTest, AnActEnteredInTheDocumentWindowIsPostedThroughThePasswordDialog)
{
    const int nut = AddProduct("Гайка 'М6'", "Склад", 12, 0.5);
    StartOnWarehouse();
    d->ExpectModal(Form3, [&] {
        d->Type(Form3->Edit2, "Брак");
        d->ExpectModal(Form2, [&] {
            EXPECT_EQ(Form2->GetCaption(), "Добавление товара в документ");
            d->Select(Form2->ComboBox1, "Гайка 'М6'");
            d->ClickRow(Form2->DBGrid1, 0);
            d->Type(Form2->ComboBox6, "2,5");
            d->Click(Form2->Button3);
            EXPECT_FALSE(d->IsShowing(Form2));
        });
        d->Click(Form3->Button1);
        EXPECT_EQ(Count("TempStructureDocuments"), 1);
        d->ExpectModal(Form5, [&] {
            d->Type(Form5->Edit1, "1");
            d->Click(Form5->Button1);
        });
        d->Click(Form3->Button4);
        EXPECT_FALSE(d->IsShowing(Form3)) << "the posting closes the document window";
    });
    d->Run([] { Form1->Button9Click(nullptr); });
    EXPECT_EQ(Stock(nut), 9.5);
    EXPECT_EQ(w->Scalar("Select Причина From Akt").AsString(), "Брак");
    EXPECT_EQ(w->Scalar("Select Сумма From StructureAkt").AsDouble(), 1.25);
    EXPECT_EQ(Count("TempStructureDocuments"), 0);
}

}  // namespace

// Every document kind entered, corrected and saved through the windows, reaching lines by the
// keyboard and the mouse, on goods that differ only in their article and hold fractional
// stock; the tables are read afterwards.
#include "app/documents/tests/DocumentFixture.h"

#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/shell/Unit1.h"
#include "app/documents/Statements.h"
#include "app/shell/Unit5.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"

namespace {

class DocumentRoutesTest : public DocumentTest {
protected:
    void SeedGoods(double stockA, double stockB, double stockNut)
    {
        TProductSeed a = Product("Болт", "Склад", stockA, 2);
        a.Article = "A-1";
        TProductSeed b = a;
        b.Article = "B-1";
        b.Quantity = stockB;
        boltA = w->AddProduct(a);
        boltB = w->AddProduct(b);
        TProductSeed n = Product("Гайка", "Склад", stockNut, 0.5);
        n.Article = "N-1";
        nut = w->AddProduct(n);
    }
    double Stock(int64_t product)
    {
        return w->Scalar("Select Количество From Products Where ID=:id", {product}).AsDouble();
    }
    // "Добавить": the goods of this article clicked in the picker's grid, with a quantity.
    void Add(const char* article, const char* quantity, TButton* TForm2::*ok = &TForm2::Button7)
    {
        d->ExpectModal(Form2, [&] {
            d->Select(Form2->Art, article);
            ASSERT_EQ(Form1->ADOQuery5->RecordCount(), 1);
            d->ClickRow(Form2->DBGrid1, 0);
            d->Type(Form2->ComboBox6, quantity);
            d->Click(Form2->*ok);
            EXPECT_FALSE(d->IsShowing(Form2));
        });
        d->Click(Form3->Button1);
    }
    // "Изменить" on the current line, a new quantity typed, OK (or the card's "Отмена").
    void Change(const char* quantity, TButton* TForm2::*ok = &TForm2::Button7)
    {
        d->ExpectModal(Form2, [&] {
            d->Type(Form2->ComboBox6, quantity);
            d->Click(Form2->*ok);
            EXPECT_FALSE(d->IsShowing(Form2));
        });
        d->Click(Form3->Button3);
    }
    std::vector<double> TempQuantities(const char* table = "TempStructureDocuments")
    {
        std::vector<double> out;
        OpenSql(Form1->ADOQuery2, AnsiString("Select Количество From ") + table + " Order By ID");
        for (Form1->ADOQuery2->First(); !Form1->ADOQuery2->Eof(); Form1->ADOQuery2->Next())
            out.push_back(Form1->ADOQuery2->Fields().Fields(0)->AsFloat());
        return out;
    }
    std::vector<std::pair<int64_t, double>> Lines(const char* table)
    {
        std::vector<std::pair<int64_t, double>> out;
        OpenSql(Form1->ADOQuery2, AnsiString("Select IDТовара,Количество From ") + table + " Order By rowid");
        for (Form1->ADOQuery2->First(); !Form1->ADOQuery2->Eof(); Form1->ADOQuery2->Next())
            out.emplace_back(Form1->ADOQuery2->Fields().Fields(0)->AsLargeInt(),
                             Form1->ADOQuery2->Fields().Fields(1)->AsFloat());
        return out;
    }
    int64_t boltA = 0, boltB = 0, nut = 0;
};

using TLines = std::vector<std::pair<int64_t, double>>;

TEST_F(DocumentRoutesTest, AReceiptCorrectedByTheKeysCreditsEachPickedProduct)
{
    SeedGoods(2.5, 1.25, 0.33);
    StartOnWarehouse();
    TDBGrid* g = Form3->DBGrid1;
    const TShiftState ctrl = TShiftState() << ssCtrl;
    d->ExpectModal(Form3, [&] {
        d->Select(Form3->ComboBox1, 0);
        d->Type(Form3->ComboBox2, "Поставщик");
        d->Type(Form3->ComboBox3, "Иванов");
        d->Select(Form3->ComboBox4, 0);
        Add("A-1", "0,5");
        Add("B-1", "1,75");
        Add("N-1", "3");
        // The picker cancelled: no line.
        d->ExpectModal(Form2, [&] {
            d->Select(Form2->Art, "A-1");
            d->ClickRow(Form2->DBGrid1, 0);
            d->Type(Form2->ComboBox6, "9");
            d->Click(Form2->Button6);
        });
        d->Click(Form3->Button1);
        EXPECT_EQ(TempQuantities(), (std::vector<double>{0.5, 1.75, 3}));

        d->Key(g, VK_HOME, ctrl);
        d->Key(g, VK_DOWN);
        Change("2,25");  // B's line
        d->Key(g, VK_END, ctrl);
        Change("7", &TForm2::Button6);  // cancelled: unchanged
        d->Key(g, VK_NEXT);
        d->Click(Form3->Button2);  // the nut's line goes
        EXPECT_EQ(TempQuantities(), (std::vector<double>{0.5, 2.25}));
        d->Key(g, VK_UP);
        d->Key(g, VK_UP);
        d->Key(g, VK_UP);
        Change("1,5");  // A's line
        EXPECT_EQ(TempQuantities(), (std::vector<double>{1.5, 2.25}));
        // "Отмена" answered "Нет": the entry stays.
        d->ExpectModal(Form11, [&] { d->Click(Form11->Button2); });
        d->Click(Form3->Button6);
        EXPECT_TRUE(d->IsShowing(Form3));
        d->Click(Form3->Button4);
        EXPECT_FALSE(d->IsShowing(Form3));
    });
    d->Run([] { Form1->Button5Click(nullptr); });
    EXPECT_EQ(Stock(boltA), 4);
    EXPECT_EQ(Stock(boltB), 3.5);
    EXPECT_EQ(Stock(nut), 0.33);
    EXPECT_EQ(Lines("StructureDocuments"), (TLines{{boltA, 1.5}, {boltB, 2.25}}));
}

TEST_F(DocumentRoutesTest, ARequestEditedTwiceThenIssuedBeyondStock)
{
    SeedGoods(2.5, 1.25, 0.33);
    StartOnWarehouse();
    TDBGrid* g = Form3->DBGrid1;
    d->ExpectModal(Form3, [&] {
        for (TComboBox* box : {Form3->ComboBox2, Form3->ComboBox3, Form3->ComboBox5, Form3->ComboBox6})
            d->Type(box, "Заказ");
        Add("B-1", "5");
        Add("A-1", "1");
        d->Click(Form3->Button4);
        EXPECT_FALSE(d->IsShowing(Form3));
    });
    d->Run([] { Form1->Button6Click(nullptr); });
    EXPECT_EQ(Lines("StructureApplication"), (TLines{{boltB, 5}, {boltA, 1}}));

    // Edited: the second line lowered by the keys, a nut added, the first removed by the mouse.
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ExpectModal(Form3, [&] {
            d->Key(g, VK_DOWN);
            d->Key(g, VK_DOWN);
            Change("0,75");
            Add("N-1", "0,33");
            d->ClickRow(g, 0);
            d->Click(Form3->Button2);
            d->Click(Form3->Button7);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Click(Form4->Button4);
    });
    EXPECT_EQ(Lines("StructureApplication"), (TLines{{boltA, 0.75}, {nut, 0.33}}));
    // Reopened and saved unchanged, twice.
    for (int i = 0; i < 2; ++i)
        InJournal([&] {
            d->Choose(Form4->RadioButton9);
            d->ExpectModal(Form3, [&] {
                d->Click(Form3->Button7);
                EXPECT_FALSE(d->IsShowing(Form3));
            });
            d->Click(Form4->Button4);
        });
    EXPECT_EQ(Lines("StructureApplication"), (TLines{{boltA, 0.75}, {nut, 0.33}}));

    // Add B again asking more than its stock, then issue.
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ExpectModal(Form3, [&] {
            Add("B-1", "4");
            d->Click(Form3->Button7);
        });
        d->Click(Form4->Button4);
    });
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ExpectModal(Form3, [&] {
            EXPECT_EQ(TempQuantities("TempStructureOtpusk"), (std::vector<double>{0.75, 0.33, 1.25}));
            d->Key(g, VK_END, TShiftState() << ssCtrl);
            // Above the most: refused, the card stays; then cancelled.
            d->ExpectModal(Form2, [&] {
                d->Type(Form2->ComboBox6, "4");
                d->Click(Form2->Button2);
                EXPECT_TRUE(d->IsShowing(Form2));
                d->Click(Form2->Button6);
            });
            d->Click(Form3->Button3);
            d->ClickRow(g, 0);
            Change("0,5", &TForm2::Button2);
            EXPECT_EQ(TempQuantities("TempStructureOtpusk"), (std::vector<double>{0.5, 0.33, 1.25}));
            d->Click(Form3->Button4);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Click(Form4->Button3);
    });
    EXPECT_EQ(Stock(boltA), 2);
    EXPECT_EQ(Stock(boltB), 0);
    EXPECT_EQ(Stock(nut), 0);
    EXPECT_EQ(Lines("StructureOtpusk"), (TLines{{boltA, 0.5}, {nut, 0.33}, {boltB, 1.25}}));
    OpenSql(Form1->ADOQuery2, "Select Отпущено From StructureApplication Order By rowid");
    std::vector<double> issued;
    for (Form1->ADOQuery2->First(); !Form1->ADOQuery2->Eof(); Form1->ADOQuery2->Next())
        issued.push_back(Form1->ADOQuery2->Fields().Fields(0)->AsFloat());
    EXPECT_EQ(issued, (std::vector<double>{0.5, 0.33, 1.25}));
    EXPECT_EQ(w->Scalar("Select Отпуск_товара From Application").AsString(), "Частично выдан");
}

TEST_F(DocumentRoutesTest, ANewActAfterViewingOneTakesItsOwnReason)
{
    SeedGoods(2.5, 1.25, 0.33);
    const int64_t old = AddAct(Day(2026, 1, 5), 0, "Старая");
    AddLineOf("StructureAkt", old, boltA, 1);
    StartOnWarehouse();
    InJournal([&] {
        d->Choose(Form4->RadioButton10);
        d->ExpectModal(Form3, [&] { d->Click(Form3->Button6); });
        d->Click(Form4->Button2);
    });
    d->ExpectModal(Form3, [&] {
        d->Type(Form3->Edit2, "Бой");
        Add("B-1", "0,25", &TForm2::Button3);
        // The password cancelled: nothing posted, the window stays.
        d->ExpectModal(Form5, [&] { d->CloseForm(Form5); });
        d->Click(Form3->Button4);
        EXPECT_TRUE(d->IsShowing(Form3));
        d->Key(Form3->DBGrid1, VK_DOWN);
        Change("0,5", &TForm2::Button2);
        d->ExpectModal(Form5, [&] {
            d->Type(Form5->Edit1, "1");
            d->Click(Form5->Button1);
        });
        d->Click(Form3->Button4);
        EXPECT_FALSE(d->IsShowing(Form3));
    });
    d->Run([] { Form1->Button9Click(nullptr); });
    EXPECT_EQ(Stock(boltB), 0.75);
    EXPECT_EQ(Stock(boltA), 2.5);
    EXPECT_EQ(w->Scalar("Select Причина From Akt Order By ID Desc").AsString(), "Бой");
}

TEST_F(DocumentRoutesTest, TheLineEditorTakesAQuantityAfterAGoodsCardWasViewed)
{
    // Goods in use open their card for prices only, the describing boxes and ComboBox6
    // disabled; the line editor that follows must still take a quantity.
    SeedGoods(2.5, 1.25, 0.33);
    const int64_t request = AddRequest(Day(2026, 1, 5), Day(2026, 1, 9), "Не выдавался");
    AddRequestLine(request, boltB, 1, 0, 2);
    StartOnWarehouse();
    ShowMain();
    const auto viewCard = [&] {
        d->ExpectModal(Form2, [&] { d->Click(Form2->Button6); });
        d->Click(Form1->Button3);  // "Просмотр"
    };
    viewCard();
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ExpectModal(Form3, [&] {
            Change("0,75");
            d->Click(Form3->Button7);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Click(Form4->Button4);  // edit the request
    });
    EXPECT_EQ(Lines("StructureApplication"), (TLines{{boltB, 0.75}}));
    viewCard();
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ExpectModal(Form3, [&] {
            Change("0,5", &TForm2::Button2);
            d->Click(Form3->Button4);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Click(Form4->Button3);  // issue
    });
    EXPECT_EQ(Stock(boltB), 0.75);
    EXPECT_EQ(Lines("StructureOtpusk"), (TLines{{boltB, 0.5}}));
}

TEST_F(DocumentRoutesTest, AnIssueLineGetsOneVatSumWhicheverComesFirst)
{
    // One line of one unit at 18 %: its VAT sum is the exact product rounded to the even cent,
    // whether "НДС" is ticked before or after the line is changed.
    struct TCase {
        const char* why;
        double price, withVat;
    } const cases[] = {
        {"0.295 is a half: the even cent (a computation in doubles gives 0.29)", 0.25, 0.3},
        {"38667.0542 is no half (a single-precision sum gave 38667.06)", 32768.69, 38667.05},
        {"38668.3758 (a single-precision sum gave 38668.37)", 32769.81, 38668.38},
    };
    StartOnWarehouse();
    Form1->VatRate = 18;
    for (const TCase& c : cases) {
        const int64_t screw = w->AddProduct(Product("Шуруп", "Склад", 10, c.price));
        const int64_t request = AddRequest(Day(2026, 1, 5), Day(2026, 1, 9), "Не выдавался");
        AddRequestLine(request, screw, 5, 0, 5 * c.price);
        for (const bool tickFirst : {true, false}) {
            SCOPED_TRACE(std::string(c.why) + (tickFirst ? ", НДС ticked, then the line changed"
                                                         : ", the line changed, then НДС ticked"));
            InJournal([&] {
                d->Choose(Form4->RadioButton9);
                d->ExpectModal(Form3, [&] {
                    if (tickFirst)
                        d->Tick(Form3->CheckBox1);
                    d->ClickRow(Form3->DBGrid1, 0);
                    Change("1", &TForm2::Button2);
                    if (!tickFirst)
                        d->Tick(Form3->CheckBox1);
                    EXPECT_EQ(w->Scalar("Select Сумма From TempStructureOtpusk").AsDouble(), c.price);
                    EXPECT_EQ(w->Scalar("Select Сумма_с_НДС From TempStructureOtpusk").AsDouble(), c.withVat);
                    EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму " + FloatToStr(c.withVat));
                    d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                    d->Click(Form3->Button6);
                });
                d->Click(Form4->Button3);
            });
        }
        for (const char* table : {"StructureApplication", "Application", "Products"})
            w->Exec(AnsiString("Delete From ") + table);
    }
}

TEST_F(DocumentRoutesTest, OkPressedTwiceWritesOnce)
{
    // Two clicks reach the window before its loop turns, as a double click on OK queued behind
    // a slow save does on the desktop: the second finds the window closing and does nothing.
    const auto twice = [](TButton* ok) {
        ok->UserClicked();
        ok->UserClicked();
    };
    const auto addTwice = [&](const char* article, const char* quantity, TButton* TForm2::*ok) {
        d->ExpectModal(Form2, [&] {
            d->Select(Form2->Art, article);
            d->ClickRow(Form2->DBGrid1, 0);
            d->Type(Form2->ComboBox6, quantity);
            twice(Form2->*ok);
        });
        d->Click(Form3->Button1);
    };
    SeedGoods(5, 5, 5);
    StartOnWarehouse();
    d->ExpectModal(Form3, [&] {
        d->Select(Form3->ComboBox1, 0);
        for (TComboBox* box : {Form3->ComboBox2, Form3->ComboBox3})
            d->Type(box, "Поставщик");
        d->Select(Form3->ComboBox4, 0);
        addTwice("A-1", "1", &TForm2::Button7);
        twice(Form3->Button4);
    });
    d->Run([] { Form1->Button5Click(nullptr); });
    d->ExpectModal(Form3, [&] {
        for (TComboBox* box : {Form3->ComboBox2, Form3->ComboBox3, Form3->ComboBox5, Form3->ComboBox6})
            d->Type(box, "Заказ");
        addTwice("B-1", "2", &TForm2::Button7);
        twice(Form3->Button4);
    });
    d->Run([] { Form1->Button6Click(nullptr); });
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ExpectModal(Form3, [&] { twice(Form3->Button4); });
        d->Click(Form4->Button3);
    });
    d->ExpectModal(Form3, [&] {
        d->Type(Form3->Edit2, "Бой");
        addTwice("N-1", "1", &TForm2::Button3);
        d->ExpectModal(Form5, [&] {
            d->Type(Form5->Edit1, "1");
            twice(Form5->Button1);
        });
        d->Click(Form3->Button4);
    });
    d->Run([] { Form1->Button9Click(nullptr); });
    d->ChooseNode(Form1->TreeView1, "Склад");
    d->ExpectModal(Form2, [&] {
        d->Type(Form2->ComboBox1, "Шайба");
        twice(Form2->Button7);
    });
    d->Run([&] { d->Click(Form1->Button2); });  // a new goods card

    EXPECT_EQ(w->Scalar("Select Count(*) From Products Where Наименование='Шайба'").AsInt64(), 1);
    for (const char* table : {"Documents", "Application", "Otpusk", "Akt", "StructureDocuments",
                              "StructureApplication", "StructureOtpusk", "StructureAkt"}) {
        SCOPED_TRACE(table);
        EXPECT_EQ(w->Scalar(AnsiString("Select Count(*) From ") + table).AsInt64(), 1);
    }
    EXPECT_EQ(Stock(boltA), 6);
    EXPECT_EQ(Stock(boltB), 3);
    EXPECT_EQ(Stock(nut), 4);
    EXPECT_EQ(w->Scalar("Select Отпущено From StructureApplication").AsDouble(), 2);
}

TEST_F(DocumentRoutesTest, TheLineEditorOpensOnTheQuantitySelected)
{
    // "Изменить" of every kind: the keys go to the quantity, and the figure typed replaces it.
    SeedGoods(5, 5, 5);
    const int64_t request = AddRequest(Day(2026, 1, 5), Day(2026, 1, 9), "Не выдавался");
    AddRequestLine(request, boltB, 2, 0, 4);
    StartOnWarehouse();
    const auto typeOverQuantity = [&](const char* table) {
        d->ExpectModal(Form2, [&] {
            EXPECT_EQ(Form2->GetActiveControl(), Form2->ComboBox6);
            d->Press(Form2->ComboBox6, "3");
            d->Click(Form2->Button7->GetVisible() ? Form2->Button7 : Form2->Button2);
        });
        d->Click(Form3->Button3);
        EXPECT_EQ(w->Scalar(AnsiString("Select Количество From ") + table).AsDouble(), 3) << table;
        d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
        d->Click(Form3->Button6);
    };
    struct TCase {
        const char* why;
        std::function<void()> open;
        const char* table;
    } const cases[] = {
        {"a receipt line", [] { Form1->Button5Click(nullptr); }, "TempStructureDocuments"},
        {"a request line", [] { Form1->Button6Click(nullptr); }, "TempStructureDocuments"},
        {"a write-off line", [] { Form1->Button9Click(nullptr); }, "TempStructureDocuments"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        d->ExpectModal(Form3, [&] {
            AddLine(Product("Болт", "Склад", 5, 2), 1);
            Form3->ShowLines();
            typeOverQuantity(c.table);
        });
        d->Run(c.open);
    }
    SCOPED_TRACE("an issue line");
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ExpectModal(Form3, [&] {
            // The most on this line is 2: typed over, 3 is refused and 1 stays 1 digit long.
            d->ExpectModal(Form2, [&] {
                EXPECT_EQ(Form2->GetActiveControl(), Form2->ComboBox6);
                d->Press(Form2->ComboBox6, "1");
                d->Click(Form2->Button2);
            });
            d->Click(Form3->Button3);
            EXPECT_EQ(w->Scalar("Select Количество From TempStructureOtpusk").AsDouble(), 1);
            d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
            d->Click(Form3->Button6);
        });
        d->Click(Form4->Button3);
    });
}

TEST_F(DocumentRoutesTest, AStatementFailingUnderThePickersOkWritesTheLineOnce)
{
    // Each statement of the picker's OK fails in turn; the user, told, presses OK again while
    // the card is still open. The line is in the document once, whichever step failed.
    SeedGoods(5, 5, 5);
    StartOnWarehouse();
    struct TCase {
        const char* why;
        void (TForm1::*open)(TObject*);
        TButton* TForm2::*ok;
    } const cases[] = {
        {"a receipt line", &TForm1::Button5Click, &TForm2::Button7},
        {"a write-off line", &TForm1::Button9Click, &TForm2::Button3},
    };
    for (const TCase& c : cases)
        for (int failAt = 1; failAt <= 3; ++failAt) {
            SCOPED_TRACE(std::string(c.why) + ", statement " + std::to_string(failAt) + " failing");
            d->ExpectModal(Form3, [&] {
                if (Form3->Mode() == TDocumentMode::NewReceipt) {
                    d->Select(Form3->ComboBox1, 0);
                    for (TComboBox* box : {Form3->ComboBox2, Form3->ComboBox3})
                        d->Type(box, "Поставщик");
                    d->Select(Form3->ComboBox4, 0);
                }
                d->ExpectModal(Form2, [&] {
                    d->Select(Form2->Art, "N-1");
                    d->ClickRow(Form2->DBGrid1, 0);
                    d->Type(Form2->ComboBox6, "2");
                    DbFaults::FailStatement(failAt);
                    d->Click(Form2->*c.ok);
                    DbFaults::Clear();
                    d->TakeErrors();
                    if (d->IsShowing(Form2))
                        d->Click(Form2->*c.ok);
                });
                d->Click(Form3->Button1);
                d->TakeErrors();
                EXPECT_EQ(TempQuantities(), (std::vector<double>{2}));
                EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму 1");
                d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                d->Click(Form3->Button6);
            });
            d->Run([&] { (Form1->*c.open)(nullptr); });
        }
}

TEST_F(DocumentRoutesTest, VatThatCouldNotBeWrittenLeavesTheBoxAndTheRateAsTheLinesAre)
{
    // "НДС" ticked while each statement of the rewrite fails in turn: the user is told, the
    // box is unticked again and a line changed afterwards takes no VAT, as the others.
    SeedGoods(5, 5, 5);
    const int64_t request = AddRequest(Day(2026, 1, 5), Day(2026, 1, 9), "Не выдавался");
    AddRequestLine(request, boltA, 2, 0, 4);
    StartOnWarehouse();
    Form1->VatRate = 18;
    for (int failAt = 1; failAt <= 3; ++failAt) {
        SCOPED_TRACE("statement " + std::to_string(failAt) + " failing");
        InJournal([&] {
            d->Choose(Form4->RadioButton9);
            d->ExpectModal(Form3, [&] {
                DbFaults::FailStatement(failAt);
                d->Click(Form3->CheckBox1);
                DbFaults::Clear();
                EXPECT_EQ(d->TakeErrors().size(), 1u);
                EXPECT_FALSE(Form3->CheckBox1->GetChecked());
                EXPECT_EQ(Form1->DocVatRate, 0);
                Change("1", &TForm2::Button2);
                EXPECT_EQ(w->Scalar("Select Ставка From TempStructureOtpusk").AsDouble(), 0);
                d->Tick(Form3->CheckBox1);
                EXPECT_EQ(w->Scalar("Select Сумма_с_НДС From TempStructureOtpusk").AsDouble(), 2.36);
                d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                d->Click(Form3->Button6);
            });
            d->Click(Form4->Button3);
        });
    }
}

TEST_F(DocumentRoutesTest, WhicheverStepOfVatFailsTheBoxTheRateAndTheLinesAgree)
{
    // "НДС" of an issue invoice ticked while one step fails, the 1st, 2nd, 3rd... until none
    // does: the box, the document's rate and the rate on every line tell the same story, also
    // when the step that fails comes after the lines were written (reading them back).
    SeedGoods(5, 5, 5);
    const int64_t request = AddRequest(Day(2026, 1, 5), Day(2026, 1, 9), "Не выдавался");
    AddRequestLine(request, boltA, 2, 0, 4);
    StartOnWarehouse();
    Form1->VatRate = 18;
    bool done = false;
    for (int failAt = 1; !done && failAt < 20; ++failAt) {
        SCOPED_TRACE("statement " + std::to_string(failAt) + " failing");
        InJournal([&] {
            d->Choose(Form4->RadioButton9);
            d->ExpectModal(Form3, [&] {
                DbFaults::FailStatement(failAt);
                d->Click(Form3->CheckBox1);
                DbFaults::Clear();
                done = d->TakeErrors().empty();
                const int rate = Form3->CheckBox1->GetChecked() ? 18 : 0;
                EXPECT_EQ(Form1->DocVatRate, rate);
                EXPECT_EQ(w->Scalar("Select Count(*) From TempStructureOtpusk Where Ставка<>:r", {rate}).AsInt64(), 0)
                    << "lines whose rate is not the box's " << rate;
                d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                d->Click(Form3->Button6);
            });
            d->Click(Form4->Button3);
        });
    }
    EXPECT_TRUE(done);
}

}  // namespace

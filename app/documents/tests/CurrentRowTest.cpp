// A row reached by the keyboard is a row: Down past the last row, Ctrl+End and Ctrl+PageDown
// leave the last row current (with the end-of-data flag set), and every window command that
// acts on "the current row" acts on it. A click on a row makes it current again, flag cleared.
#include "app/documents/tests/DocumentFixture.h"

#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit9.h"
#include "app/shell/Unit1.h"
#include "platform/db/ADODB.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"

namespace {

// One way of reaching the last row of a grid of at least two rows.
struct TReach {
    const char* Name;
    std::function<void(TTestDriver&, TDBGrid*)> Go;
};

std::vector<TReach> WaysToTheLastRow(int rows)
{
    return {
        {"Down past the end",
         [rows](TTestDriver& d, TDBGrid* g) {
             for (int i = 0; i <= rows; ++i)
                 d.Key(g, VK_DOWN);
         }},
        {"Ctrl+End", [](TTestDriver& d, TDBGrid* g) { d.Key(g, VK_END, TShiftState() << ssCtrl); }},
        {"Ctrl+PageDown", [](TTestDriver& d, TDBGrid* g) { d.Key(g, VK_NEXT, TShiftState() << ssCtrl); }},
        {"Down past the end, then a click on the last row",
         [rows](TTestDriver& d, TDBGrid* g) {
             for (int i = 0; i <= rows; ++i)
                 d.Key(g, VK_DOWN);
             d.ClickRow(g, rows - 1);
         }},
    };
}

class CurrentRowTest : public DocumentTest {
protected:
    double Stock(int64_t product)
    {
        return w->Scalar("Select Количество From Products Where ID=:id", {product}).AsDouble();
    }
    void Abandon()
    {
        d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
        d->Click(Form3->Button6);
    }
};

TEST_F(CurrentRowTest, ChangeAndRemoveActOnTheLastLineReachedByKeyOrMouse)
{
    StartOnWarehouse();
    const TProductSeed bolt = Product("Болт", "Склад", 10, 2.5);
    w->AddProduct(bolt);
    for (const TReach& reach : WaysToTheLastRow(2)) {
        SCOPED_TRACE(reach.Name);
        d->ExpectModal(Form3, [&] {
            AddLine(bolt, 1);
            AddLine(bolt, 2);
            Form3->ShowLines();
            reach.Go(*d, Form3->DBGrid1);
            AnsiString edited;
            d->ExpectModal(Form2, [&] {
                edited = Form2->ComboBox6->GetText();
                d->Click(Form2->Button6);
            });
            d->Click(Form3->Button3);  // "Изменить"
            EXPECT_EQ(edited, "2") << "the editor shows the last line";

            reach.Go(*d, Form3->DBGrid1);
            d->Click(Form3->Button2);  // "Удалить"
            EXPECT_EQ(w->Scalar("Select Count(*) From TempStructureDocuments").AsInteger(), 1);
            EXPECT_EQ(w->Scalar("Select Количество From TempStructureDocuments").AsDouble(), 1)
                << "the last line went, the first stayed";
            Abandon();
        });
        d->Run([&] { d->Click(Form1->Button5); });
    }
}

TEST_F(CurrentRowTest, APickerRowClickedAfterTheKeysCreditsThatProduct)
{
    // Two bolts that differ only in supplier and article: the describing columns cannot tell
    // them apart, only the row the user clicked can.
    TProductSeed a = Product("Болт", "Склад", 0, 2);
    a.Article = "A-1";
    a.Supplier = "Альфа";
    TProductSeed b = a;
    b.Article = "B-1";
    b.Supplier = "Бета";
    const int64_t boltA = w->AddProduct(a);
    const int64_t boltB = w->AddProduct(b);
    StartOnWarehouse();

    struct TCase {
        const char* Name;
        std::function<void()> Pick;  // on the picker's grid, rows in id order
        int64_t Credited;
    };
    TDBGrid* const g = Form2->DBGrid1;
    const TShiftState ctrl = TShiftState() << ssCtrl;
    const TCase cases[] = {
        {"click 0, Down, Down, click 1",
         [&] { d->ClickRow(g, 0), d->Key(g, VK_DOWN), d->Key(g, VK_DOWN), d->ClickRow(g, 1); }, boltB},
        {"click 1, Down, click 1", [&] { d->ClickRow(g, 1), d->Key(g, VK_DOWN), d->ClickRow(g, 1); }, boltB},
        {"Ctrl+End, click 1", [&] { d->Key(g, VK_END, ctrl), d->ClickRow(g, 1); }, boltB},
        {"click 1, Up, Up, click 0", [&] { d->ClickRow(g, 1), d->Key(g, VK_UP), d->Key(g, VK_UP), d->ClickRow(g, 0); },
         boltA},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const double beforeA = Stock(boltA), beforeB = Stock(boltB);
        d->ExpectModal(Form3, [&] {
            d->Select(Form3->ComboBox1, 0);
            d->Type(Form3->ComboBox2, "Бета");
            d->Type(Form3->ComboBox3, "Иванов");
            d->Select(Form3->ComboBox4, 0);
            d->ExpectModal(Form2, [&] {
                d->Select(Form2->ComboBox1, "Болт");
                ASSERT_EQ(Form1->ADOQuery5->RecordCount(), 2);
                c.Pick();
                EXPECT_EQ(Form2->Art->GetText(), c.Credited == boltA ? "A-1" : "B-1") << "the card shows the row clicked";
                d->Type(Form2->ComboBox6, "4");
                d->Click(Form2->Button7);
            });
            d->Click(Form3->Button1);
            d->Click(Form3->Button4);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Run([&] { d->Click(Form1->Button5); });
        const int64_t other = c.Credited == boltA ? boltB : boltA;
        EXPECT_EQ(Stock(c.Credited) - (c.Credited == boltA ? beforeA : beforeB), 4);
        EXPECT_EQ(Stock(other), other == boltA ? beforeA : beforeB);
    }
}

TEST_F(CurrentRowTest, ThePickerWritesTheLineForTheRowHighlightedAtOk)
{
    // Three bolts that differ only in article, supplier and price. Whatever route reaches a
    // row of the picker's grid, the card shows that row and OK writes the line for it, with
    // its own price, not for a row clicked before.
    struct TBolt {
        const char* Article;
        const char* Supplier;
        double Price;
    };
    const TBolt bolts[] = {{"A-1", "Альфа", 2}, {"B-1", "Бета", 3}, {"C-1", "Гамма", 5}};
    std::vector<int64_t> ids;
    for (const TBolt& b : bolts) {
        TProductSeed p = Product("Болт", "Склад", 0, b.Price);
        p.Article = b.Article;
        p.Supplier = b.Supplier;
        ids.push_back(w->AddProduct(p));
    }
    // B and C are below their minimum; A above its maximum.
    w->Exec("Update Products Set Минимум=1 Where №<>'A-1'");
    w->Exec("Update Products Set Количество=5,Максимум=1 Where №='A-1'");
    StartOnWarehouse();

    TDBGrid* const g = Form2->DBGrid1;
    const TShiftState ctrl = TShiftState() << ssCtrl;
    struct TCase {
        const char* Name;
        std::function<void()> Reach;  // rows in id order: A, B, C
        int Row;                      // the row highlighted at OK
    };
    const TCase cases[] = {
        {"click 2", [&] { d->ClickRow(g, 2); }, 2},
        {"click 0, Down", [&] { d->ClickRow(g, 0), d->Key(g, VK_DOWN); }, 1},
        {"click 0, Down, Down, Up", [&] { d->ClickRow(g, 0), d->Key(g, VK_DOWN), d->Key(g, VK_DOWN), d->Key(g, VK_UP); }, 1},
        {"click 0, Down past the end", [&] { d->ClickRow(g, 0); for (int i = 0; i < 4; ++i) d->Key(g, VK_DOWN); }, 2},
        {"click 2, Up", [&] { d->ClickRow(g, 2), d->Key(g, VK_UP); }, 1},
        {"click 0, Ctrl+End", [&] { d->ClickRow(g, 0), d->Key(g, VK_END, ctrl); }, 2},
        {"click 0, End", [&] { d->ClickRow(g, 0), d->Key(g, VK_END); }, 2},
        {"click 2, Home", [&] { d->ClickRow(g, 2), d->Key(g, VK_HOME); }, 0},
        {"click 2, Ctrl+Home", [&] { d->ClickRow(g, 2), d->Key(g, VK_HOME, ctrl); }, 0},
        {"click 0, Page Down", [&] { d->ClickRow(g, 0), d->Key(g, VK_NEXT); }, 2},
        {"click 2, Page Up", [&] { d->ClickRow(g, 2), d->Key(g, VK_PRIOR); }, 0},
        {"click 0, Ctrl+Page Down", [&] { d->ClickRow(g, 0), d->Key(g, VK_NEXT, ctrl); }, 2},
        {"double-click 1", [&] { d->DoubleClickRow(g, 1); }, 1},
        {"click 0, double-click 2", [&] { d->ClickRow(g, 0), d->DoubleClickRow(g, 2); }, 2},
        {"Down, Down with no click", [&] { d->Key(g, VK_DOWN), d->Key(g, VK_DOWN); }, 2},
        {"click 1, Enter", [&] { d->ClickRow(g, 1), d->Key(g, VK_RETURN); }, 1},
        {"click 0, Down, click 0", [&] { d->ClickRow(g, 0), d->Key(g, VK_DOWN), d->ClickRow(g, 0); }, 0},
        {"click 0, \"Меньше минимума\"", [&] { d->ClickRow(g, 0), d->Click(Form2->Button4); }, 1},
        {"click 2, \"Больше максимума\"", [&] { d->ClickRow(g, 2), d->Click(Form2->Button5); }, 0},
        {"\"Меньше минимума\", Down", [&] { d->Click(Form2->Button4), d->Key(g, VK_DOWN); }, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        d->ExpectModal(Form3, [&] {
            d->Select(Form3->ComboBox1, 0);
            d->Type(Form3->ComboBox2, "Бета");
            d->Type(Form3->ComboBox3, "Иванов");
            d->Select(Form3->ComboBox4, 0);
            d->ExpectModal(Form2, [&] {
                d->Select(Form2->ComboBox1, "Болт");
                ASSERT_EQ(Form1->ADOQuery5->RecordCount(), 3);
                c.Reach();
                EXPECT_EQ(Form2->Art->GetText(), bolts[c.Row].Article) << "the card shows the row highlighted";
                d->Type(Form2->ComboBox6, "4");
                d->Click(Form2->Button7);
            });
            d->Click(Form3->Button1);
            EXPECT_EQ(w->Scalar("Select IDТовара From TempStructureDocuments").AsInt64(), ids[size_t(c.Row)]);
            EXPECT_EQ(w->Scalar("Select Цена From TempStructureDocuments").AsDouble(), bolts[c.Row].Price);
            EXPECT_EQ(w->Scalar("Select Сумма From TempStructureDocuments").AsDouble(), 4 * bolts[c.Row].Price);
            Abandon();
        });
        d->Run([&] { d->Click(Form1->Button5); });
    }
}

TEST_F(CurrentRowTest, TheBuilderMarksTheLastRowReachedByTheKeys)
{
    w->AddProduct(Product("Болт", "Склад", 1, 2));
    w->AddProduct(Product("Винт", "Склад", 1, 3));
    StartOnWarehouse();
    for (const TReach& reach : WaysToTheLastRow(2)) {
        SCOPED_TRACE(reach.Name);
        w->Exec("Update Products Set V=' '");
        d->ExpectModal(Form9, [&] {
            TADOQuery* goods = Form1->ADOQuery15;
            ASSERT_EQ(goods->RecordCount(), 2);
            reach.Go(*d, Form9->DBGrid1);
            const AnsiString last = goods->FieldByName("Наименование")->AsString();
            const auto mark = [&] { return w->Scalar("Select V From Products Where Наименование=:n", {last}).AsString(); };
            d->Run([&] { d->DoubleClick(Form9->DBGrid1); });  // the grid's double click on its current row
            EXPECT_EQ(mark(), "V");
            reach.Go(*d, Form9->DBGrid1);
            d->DoubleClickRow(Form9->DBGrid1, 1);  // the mouse on that same row unmarks it
            EXPECT_EQ(mark(), " ");
            d->Click(Form9->Button3);
        });
        d->Run([&] { d->Menu(Form1->N21); });
    }
}

TEST_F(CurrentRowTest, TheMainGridOpensTheCardOfTheLastRowReachedByTheKeys)
{
    w->AddProduct(Product("Болт", "Склад", 1, 2));
    w->AddProduct(Product("Винт", "Склад", 1, 3));
    StartOnWarehouse();
    ShowMain();
    for (const TReach& reach : WaysToTheLastRow(2)) {
        SCOPED_TRACE(reach.Name);
        for (const int how : {0, 1, 2}) {
            ASSERT_EQ(Form1->ADOQuery1->RecordCount(), 2);
            reach.Go(*d, Form1->DBGrid1);
            const AnsiString last = Form1->ADOQuery1->FieldByName("Наименование")->AsString();
            AnsiString shown;
            d->ExpectModal(Form2, [&] {
                shown = Form2->ComboBox1->GetText();
                d->Click(Form2->Button6);
            });
            if (how == 0)
                d->Click(Form1->Button3);  // "Просмотр"
            else if (how == 1)
                d->Run([&] { d->DoubleClick(Form1->DBGrid1); });
            else
                d->DoubleClickRow(Form1->DBGrid1, 1);
            EXPECT_EQ(shown, last);
        }
    }
}

}  // namespace

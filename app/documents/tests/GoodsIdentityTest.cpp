// A document line keeps the goods it was picked for through every correction, whatever the
// goods' describing texts hold: case, blanks around them, look-alike letters, quotes, commas,
// very long texts, empty texts and the Nulls an import or an older file leaves. Each kind of
// document is entered, its line changed by the mouse or the keys, and saved; the stock of the
// goods and of their twin (the same texts but for that one difference) is read afterwards.
#include "app/documents/tests/DocumentFixture.h"

#include "app/documents/WriteOff.h"

#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit5.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"

namespace {

// The goods a line is for and their twin. `nulls`: the goods' brand, colour and sizes are
// Null, as an import or an older file leaves them.
struct TIdentityCase {
    const char* why;
    const char* name;
    const char* twinName;
    bool nulls = false;
};

const AnsiString kLongName = AnsiString(300, '\xC6') + "болт";  // 300 × Ж

const TIdentityCase kCases[] = {
    {"brand, colour and sizes stored as Null", "Болт", "Болт М8", true},
    {"a name that differs only in Cyrillic case", "БОЛТ", "болт"},
    {"a name that differs only in Latin case", "BOLT", "bolt"},
    {"a Latin o among Cyrillic letters", "Бoлт", "Болт"},
    {"a blank after the name", "Болт ", "Болт"},
    {"a blank before the name", " Болт", "Болт"},
    {"apostrophes", "Болт 'М8'", "Болт М8"},
    {"double quotes", "Болт \"М8\"", "Болт М8"},
    {"commas and semicolons", "Болт, М8; оцинк.", "Болт М8"},
    {"a name of 304 letters", kLongName.c_str(), "Болт"},
};

class GoodsIdentityTest : public DocumentTest {
protected:
    // The goods (stock 10) and their twin (stock 20), each with an article of its own.
    void Seed(const TIdentityCase& c)
    {
        TProductSeed goods = Product(c.name, "Склад", 10, 2);
        goods.Article = "G-1";
        goods.Brand = "Марка";
        goods.Colour = "Серый";
        goods.Sizes = "8";
        TProductSeed twin = goods;
        twin.Name = c.twinName;
        twin.Article = "T-1";
        twin.Quantity = 20;
        this->goods = w->AddProduct(goods);
        this->twin = w->AddProduct(twin);
        if (c.nulls)
            w->Exec("Update Products Set Марка=Null,Цвет=Null,Размеры=Null Where ID=:id", {this->goods});
    }
    double Stock(int64_t product)
    {
        return w->Scalar("Select Количество From Products Where ID=:id", {product}).AsDouble();
    }
    int64_t Count(const char* table) { return w->Scalar(AnsiString("Select Count(*) From ") + table).AsInt64(); }
    // "Добавить": the goods picked by their article in the picker's grid.
    void Add(const char* quantity, TButton* TForm2::*ok)
    {
        d->ExpectModal(Form2, [&] {
            d->Select(Form2->Art, "G-1");
            ASSERT_EQ(Form1->ADOQuery5->RecordCount(), 1);
            d->ClickRow(Form2->DBGrid1, 0);
            d->Type(Form2->ComboBox6, quantity);
            d->Click(Form2->*ok);
            EXPECT_FALSE(d->IsShowing(Form2));
        });
        d->Click(Form3->Button1);
    }
    // The line editor over the current line, reached by "Изменить" or a double click on it.
    void Change(const char* quantity, TButton* TForm2::*ok, bool byDoubleClick)
    {
        d->ExpectModal(Form2, [&] {
            d->Type(Form2->ComboBox6, quantity);
            d->Click(Form2->*ok);
            EXPECT_FALSE(d->IsShowing(Form2));
        });
        if (byDoubleClick)
            d->DoubleClickRow(Form3->DBGrid1, 0);
        else
            d->Click(Form3->Button3);
    }
    int64_t goods = 0, twin = 0;
};

TEST_F(GoodsIdentityTest, AReceiptLineChangedByEitherRouteCreditsItsGoods)
{
    StartOnWarehouse();
    for (const TIdentityCase& c : kCases)
        for (const bool byDoubleClick : {false, true}) {
            SCOPED_TRACE(AnsiString(c.why) + (byDoubleClick ? ", changed by a double click" : ", changed by \"Изменить\""));
            w->Exec("Delete From StructureDocuments");
            w->Exec("Delete From Products");
            Seed(c);
            d->ExpectModal(Form3, [&] {
                d->Select(Form3->ComboBox1, 0);
                d->Type(Form3->ComboBox2, "Поставщик");
                d->Type(Form3->ComboBox3, "Иванов");
                d->Select(Form3->ComboBox4, 0);
                Add("3", &TForm2::Button7);
                Change("4,5", &TForm2::Button7, byDoubleClick);
                d->Click(Form3->Button4);
                if (d->IsShowing(Form3)) {
                    ADD_FAILURE() << "not saved: " << (d->MessageTexts().empty() ? "" : d->MessageTexts().back());
                    d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                    d->Click(Form3->Button6);
                }
            });
            d->Run([&] { d->Click(Form1->Button5); });
            EXPECT_EQ(Stock(goods), 14.5);
            EXPECT_EQ(Stock(twin), 20);
            EXPECT_EQ(Count("Products"), 2) << "no goods were added";
        }
}

TEST_F(GoodsIdentityTest, AWriteOffLineChangedInTheEditorLowersItsGoods)
{
    StartOnWarehouse();
    for (const TIdentityCase& c : kCases) {
        SCOPED_TRACE(c.why);
        w->Exec("Delete From StructureAkt");
        w->Exec("Delete From Products");
        Seed(c);
        d->ExpectModal(Form3, [&] {
            d->Type(Form3->Edit2, "Брак");
            Add("3", &TForm2::Button3);
            Change("2,5", &TForm2::Button2, false);
            d->ExpectModal(Form5, [&] {
                d->Type(Form5->Edit1, "1");
                d->Click(Form5->Button1);
                if (d->IsShowing(Form5)) {
                    ADD_FAILURE() << "not posted: " << (d->MessageTexts().empty() ? "" : d->MessageTexts().back());
                    Form5->Close();
                }
            });
            d->Click(Form3->Button4);
            if (d->IsShowing(Form3)) {
                d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                d->Click(Form3->Button6);
            }
        });
        d->Run([] { Form1->Button9Click(nullptr); });
        EXPECT_EQ(Stock(goods), 7.5);
        EXPECT_EQ(Stock(twin), 20);
    }
}

TEST_F(GoodsIdentityTest, ARequestEditedInTheJournalIsIssuedFromItsGoods)
{
    StartOnWarehouse();
    for (const TIdentityCase& c : kCases) {
        SCOPED_TRACE(c.why);
        for (const char* table : {"StructureApplication", "Application", "StructureOtpusk", "Otpusk"})
            w->Exec(AnsiString("Delete From ") + table);
        w->Exec("Delete From Products");
        Seed(c);
        d->ExpectModal(Form3, [&] {
            for (TComboBox* box : {Form3->ComboBox2, Form3->ComboBox3, Form3->ComboBox5, Form3->ComboBox6})
                d->Type(box, "Заказ");
            Add("3", &TForm2::Button7);
            Change("4", &TForm2::Button7, true);
            d->Click(Form3->Button4);
            if (d->IsShowing(Form3)) {
                ADD_FAILURE() << "not saved: " << (d->MessageTexts().empty() ? "" : d->MessageTexts().back());
                d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                d->Click(Form3->Button6);
            }
        });
        d->Run([&] { d->Click(Form1->Button6); });
        ASSERT_EQ(Count("StructureApplication"), 1);

        // "Изменить" in the journal, the quantity changed once more, saved; then issued.
        InJournal([&] {
            d->Choose(Form4->RadioButton9);
            d->ExpectModal(Form3, [&] {
                Change("6", &TForm2::Button7, false);
                d->Click(Form3->Button7);
                if (d->IsShowing(Form3)) {
                    ADD_FAILURE() << "not saved: " << (d->MessageTexts().empty() ? "" : d->MessageTexts().back());
                    d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                    d->Click(Form3->Button6);
                }
            });
            d->Click(Form4->Button4);
            d->ExpectModal(Form3, [&] { d->Click(Form3->Button4); });
            d->Click(Form4->Button3);
        });
        EXPECT_EQ(w->Scalar("Select IDТовара From StructureApplication").AsInt64(), goods);
        EXPECT_EQ(w->Scalar("Select Количество From StructureApplication").AsDouble(), 6);
        EXPECT_EQ(Stock(goods), 4);
        EXPECT_EQ(Stock(twin), 20);
    }
}

// Goods typed into the picker's boxes rather than clicked in its grid are the card spelt as
// typed: БОЛТ and болт are two cards, and the grid's first row (БОЛТ) got the line for болт.
TEST_F(GoodsIdentityTest, GoodsTypedIntoThePickerAreTheCardSpeltSo)
{
    StartOnWarehouse();
    for (const TIdentityCase& c : kCases)
        for (const bool typeTwin : {false, true}) {
            SCOPED_TRACE(AnsiString(c.why) + (typeTwin ? ", the twin typed" : ", the goods typed"));
            w->Exec("Delete From StructureDocuments");
            w->Exec("Delete From Products");
            Seed(c);
            d->ExpectModal(Form3, [&] {
                d->Select(Form3->ComboBox1, 0);
                d->Type(Form3->ComboBox2, "Поставщик");
                d->Type(Form3->ComboBox3, "Иванов");
                d->Select(Form3->ComboBox4, 0);
                d->ExpectModal(Form2, [&] {
                    d->Type(Form2->ComboBox1, typeTwin ? c.twinName : c.name);
                    if (typeTwin || !c.nulls) {
                        d->Type(Form2->ComboBox2, "Марка");
                        d->Type(Form2->ComboBox3, "Серый");
                        d->Type(Form2->ComboBox4, "8");
                    }
                    d->Type(Form2->ComboBox5, "шт");
                    d->Type(Form2->ComboBox7, "Склад");
                    d->Type(Form2->ComboBox6, "1");
                    d->Click(Form2->Button7);
                    EXPECT_FALSE(d->IsShowing(Form2));
                });
                d->Click(Form3->Button1);
                d->Click(Form3->Button4);
                EXPECT_FALSE(d->IsShowing(Form3));
            });
            d->Run([&] { d->Click(Form1->Button5); });
            EXPECT_EQ(Stock(goods), typeTwin ? 10 : 11);
            EXPECT_EQ(Stock(twin), typeTwin ? 21 : 20);
        }
}

// A receipt line whose name is retyped in the line editor as its twin's goes to the twin,
// also when the two differ only in case; the line's own goods were kept while they matched
// case aside.
TEST_F(GoodsIdentityTest, ALineRetypedAsItsTwinGoesToTheTwin)
{
    StartOnWarehouse();
    for (const TIdentityCase& c : kCases) {
        if (c.nulls)
            continue;
        SCOPED_TRACE(c.why);
        w->Exec("Delete From StructureDocuments");
        w->Exec("Delete From Products");
        Seed(c);
        d->ExpectModal(Form3, [&] {
            d->Select(Form3->ComboBox1, 0);
            d->Type(Form3->ComboBox2, "Поставщик");
            d->Type(Form3->ComboBox3, "Иванов");
            d->Select(Form3->ComboBox4, 0);
            Add("3", &TForm2::Button7);
            d->ExpectModal(Form2, [&] {
                d->Type(Form2->ComboBox1, c.twinName);
                d->Click(Form2->Button7);
                EXPECT_FALSE(d->IsShowing(Form2));
            });
            d->Click(Form3->Button3);
            d->Click(Form3->Button4);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Run([&] { d->Click(Form1->Button5); });
        EXPECT_EQ(Stock(goods), 10);
        EXPECT_EQ(Stock(twin), 23);
    }
}

// A write-off line that names its goods by value only (as the posting finds them) lowers the
// goods spelt as the line has them, not the first that equals them case aside.
TEST_F(GoodsIdentityTest, AWriteOffLineByValueLowersTheGoodsSpeltSo)
{
    StartOnWarehouse();
    for (const TIdentityCase& c : kCases) {
        if (c.nulls)
            continue;
        for (const bool twinLine : {false, true}) {
            SCOPED_TRACE(AnsiString(c.why) + (twinLine ? ", the twin's line" : ", the goods' line"));
            w->Exec("Delete From Products");
            Seed(c);
            w->Exec("Insert Into TempStructureDocuments (Наименование,Марка,Цвет,Размеры,Единица_измерения,Группа,"
                    "Цена,Количество) Values (:n,'Марка','Серый','8','шт','Склад',2,4)",
                    {twinLine ? c.twinName : c.name});
            d->ExpectModal(Form5, [&] {
                d->Type(Form5->Edit1, "1");
                d->Click(Form5->Button1);
                EXPECT_FALSE(d->IsShowing(Form5));
            });
            d->Run([&] { ConfirmWriteOff({.Reason = "Бой"}); });
            EXPECT_EQ(Stock(goods), twinLine ? 10 : 6);
            EXPECT_EQ(Stock(twin), twinLine ? 16 : 20);
        }
    }
}

}  // namespace

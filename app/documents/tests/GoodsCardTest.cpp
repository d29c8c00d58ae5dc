// The goods card: the main window's viewer and its figures, storing a card, the line picker's
// filters and its OK.
#include "app/shell/tests/ShellFixture.h"

#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit11.h"
#include "app/documents/Unit4.h"
#include "app/shell/Unit1.h"
#include "app/documents/Unit6.h"
#include "platform/db/DbFaults.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

namespace {

AnsiString GoodsNames(TADOQuery* q)
{
    AnsiString s;
    if (!q->Active())
        return "(closed)";
    for (q->First(); !q->Eof(); q->Next())
        s += (s.empty() ? "" : " ") + q->FieldByName("Наименование")->AsString();
    return s;
}

class GoodsCardTest : public ShellTest {
protected:
    void Fresh()
    {
        TearDown();
        SetUp();
    }
    // Opens the viewer on the only product of the warehouse and runs `script` in the card.
    void View(const std::function<void()>& script)
    {
        d->ExpectModal(Form2, script);
        d->Run([&] { d->Click(Form1->Button3); });
    }
    // Shows the card as the line picker of a new receipt, as a user opens it: "Приход", the
    // header filled, "Добавить". `inWindow` runs in the document window before "Добавить".
    // The receipt is abandoned afterwards; the lines written stay in the scratch table.
    void Pick(const std::function<void()>& script, const std::function<void()>& inWindow = {})
    {
        d->ExpectModal(Form3, [&] {
            d->Select(Form3->ComboBox1, 0);
            d->Type(Form3->ComboBox2, "ООО Поставщик");
            d->Type(Form3->ComboBox3, "Иванов");
            d->Select(Form3->ComboBox4, 0);
            if (inWindow)
                inWindow();
            d->ExpectModal(Form2, script);
            d->Click(Form3->Button1);
            d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
            d->Click(Form3->Button6);
        });
        d->Run([&] { d->Click(Form1->Button5); });
    }
};

TEST_F(GoodsCardTest, TheCardListsComeFromOneReadOfTheGoods)
{
    for (int i = 0; i < 30; ++i) {
        TProductSeed p = Product("Болт " + IntToStr(i % 7), "Склад", 1, 2);
        p.Article = "A-" + IntToStr(i);
        p.Brand = "М" + IntToStr(i % 3);
        p.Colour = i % 2 ? "красный" : "Красный";  // case makes a value of its own
        p.Sizes = IntToStr(i % 5);
        p.Unit = i % 2 ? "шт" : "кг";
        w->AddProduct(p);
    }
    StartOnWarehouse();
    DbFaults::ResetCount();
    d->Run([] { Form2->FillLists(); });
    EXPECT_EQ(DbFaults::Count(), 2) << "the goods once, the suppliers once";
    struct TList {
        TComboBox* Box;
        int Count;
    };
    const TList lists[] = {{Form2->Art, 30}, {Form2->ComboBox1, 7}, {Form2->ComboBox2, 3},
                           {Form2->ComboBox3, 2}, {Form2->ComboBox4, 5}, {Form2->ComboBox5, 2}};
    for (const TList& l : lists) {
        SCOPED_TRACE(l.Box->Name());
        EXPECT_EQ(l.Box->GetItems()->Count(), l.Count);
        EXPECT_EQ(l.Box->GetText(), "");
    }
}

// ---------------------------------------------------------------- the viewer

struct ModeCase {
    const char* why;
    double stock;
    const char* usedIn;  // a line table naming the product, or ""
    bool archived;
    const char* caption;
};

const ModeCase kModes[] = {
    {"a new product may be changed in full", 0, "", false, "Изменение карточки учета товара"},
    {"stock on hand", 3, "", false, "Просмотр карточки учета товара"},
    {"an archived receipt line counts too", 0, "StructureDocuments", true, "Просмотр карточки учета товара"},
    {"a request line", 0, "StructureApplication", false, "Просмотр карточки учета товара"},
    {"an issue line", 0, "StructureOtpusk", false, "Просмотр карточки учета товара"},
    {"write-off lines are not looked at", 0, "StructureAkt", false, "Изменение карточки учета товара"},
};

TEST_F(GoodsCardTest, TheViewerLetsOnlyUnusedProductsChangeInFull)
{
    for (const auto& c : kModes) {
        SCOPED_TRACE(c.why);
        Fresh();
        const int p = w->AddProduct(Product("Болт", "Склад", c.stock, 2));
        if (*c.usedIn)
            w->Exec(AnsiString("Insert Into ") + c.usedIn + " (IDДокумента, IDТовара, Количество, Архив) Values (1, :p, 1, :a)",
                    {p, c.archived ? 1 : 0});
        StartOnWarehouse();
        const bool full = std::string_view(c.caption) == "Изменение карточки учета товара";
        View([&] {
            EXPECT_EQ(Form2->GetCaption(), c.caption);
            EXPECT_EQ(Form2->GetWidth(), 474);
            EXPECT_EQ(Form2->ComboBox1->GetEnabled(), full);
            EXPECT_EQ(Form2->ComboBox7->GetEnabled(), full);
            EXPECT_TRUE(Form2->Edit1->GetEnabled());
            EXPECT_EQ(Form2->Button1->GetVisible(), !full);
            EXPECT_TRUE(Form2->Button7->GetVisible());
            EXPECT_FALSE(Form2->Button2->GetVisible());
            EXPECT_FALSE(Form2->Button3->GetVisible());
            EXPECT_FALSE(Form2->DBGrid1->GetVisible());
            EXPECT_EQ(Form2->Label6->GetCaption(), "Поставщик");
            EXPECT_EQ(Form2->ComboBox1->GetText(), "Болт");
            d->Click(Form2->Button6);
        });
        EXPECT_EQ(Form2->GroupBox1->GetCaption(), "Область заполнения");
    }
}

struct FiguresCase {
    const char* why;
    double stock, minimum, maximum, price;
    std::vector<std::pair<double, double>> requestLines;  // quantity, issued
    const char* value;
    const char* reserved;
    const char* surplus;
    const char* shortage;
};

const FiguresCase kTodayFigures[] = {
    {"above the maximum", 10, 2, 8, 1, {}, "10", "0", "2", "0"},
    {"reserve pushes below the minimum", 10, 2, 20, 1, {{9, 0}}, "10", "9", "0", "1"},
    {"fully issued request lines reserve nothing", 10, 2, 20, 1, {{5, 5}, {4, 1}}, "10", "3", "0", "0"},
    {"a maximum under the minimum: the shortage wins", 5, 8, 1, 1, {}, "5", "0", "0", "3"},
    {"the value is to the cent", 3, 0, 10, 0.1, {}, "0,3", "0", "0", "0"},
    {"the value is not rounded to the cent", 1.5, 0, 10, 0.333, {}, "0,4995", "0", "0", "0"},
    {"fractional reserve to the cent", 1, 0, 10, 2.5, {{0.3, 0.1}, {0.2, 0.1}}, "2,5", "0,3", "0", "0"},
    // 0.3 - 0.1 is 0.19999999999999998 in doubles: the free stock is still at the minimum.
    {"free stock exactly at the minimum is no shortage", 0.3, 0.2, 0, 1, {{0.1, 0}}, "0,3", "0,1", "0,2", "0"},
    {"free stock exactly at the maximum is no surplus", 0.8, 0.7, 0.7, 1, {{0.1, 0}}, "0,8", "0,1", "0", "0"},
};

TEST_F(GoodsCardTest, TodaysFiguresOfTheCard)
{
    for (const auto& c : kTodayFigures) {
        SCOPED_TRACE(c.why);
        Fresh();
        TProductSeed seed = Product("Болт", "Склад", c.stock, c.price);
        seed.Minimum = c.minimum;
        seed.Maximum = c.maximum;
        const int p = w->AddProduct(seed);
        for (const auto& [quantity, issued] : c.requestLines)
            w->Exec("Insert Into StructureApplication (IDДокумента, IDТовара, Количество, Отпущено) Values (1, :p, :q, :i)",
                    {p, quantity, issued});
        StartOnWarehouse();
        View([&] {
            EXPECT_EQ(Form2->Edit7->GetText(), FloatToStr(c.stock));
            EXPECT_EQ(Form2->Edit9->GetText(), c.value);
            EXPECT_EQ(Form2->Edit6->GetText(), c.reserved);
            EXPECT_EQ(Form2->Edit4->GetText(), c.surplus);
            EXPECT_EQ(Form2->Edit5->GetText(), c.shortage);
            d->Click(Form2->Button6);
        });
    }
}

TEST_F(GoodsCardTest, NoProductUnderTheCursorShowsNoCard)
{
    w->AddGroup("Пустая", w->RootGroupId());
    StartOnWarehouse();
    d->ChooseNode(Form1->TreeView1, "Пустая");
    d->Run([&] { d->Click(Form1->Button3); });
    EXPECT_TRUE(d->Modals().empty());
}

// ---------------------------------------------------------------- storing the card

TEST_F(GoodsCardTest, AProductInUseChangesOnlyItsPriceAndLimits)
{
    const int p = w->AddProduct(Product("Болт", "Склад", 5, 2));
    StartOnWarehouse();
    View([&] {
        d->Type(Form2->Edit1, "12,5р");
        d->Click(Form2->Button7);
        EXPECT_EQ(d->MessageTexts().back(), "Поле \"Цена\" должно быть числом, не меньшим нуля");
        EXPECT_TRUE(d->IsShowing(Form2));
        EXPECT_EQ(Form2->Edit1->GetText(), "12,5р");
        d->Type(Form2->Edit1, "1e308");
        d->Click(Form2->Button7);
        EXPECT_EQ(d->MessageTexts().back(), "Поле \"Цена\" должно быть числом, не меньшим нуля");
        EXPECT_TRUE(d->IsShowing(Form2));
        d->Type(Form2->Edit3, "-1");
        d->Type(Form2->Edit1, "12,5");
        d->Click(Form2->Button7);
        EXPECT_EQ(d->MessageTexts().back(), "Поле \"Максимум на складе\" должно быть числом, не меньшим нуля");
        d->Type(Form2->Edit3, "40");
        d->Type(Form2->Edit2, "4");
        d->Click(Form2->Button7);
        EXPECT_FALSE(d->IsShowing(Form2));
    });
    EXPECT_EQ(w->Scalar("Select Цена From Products Where ID=:id", {p}).AsDouble(), 12.5);
    EXPECT_EQ(w->Scalar("Select Минимум From Products Where ID=:id", {p}).AsDouble(), 4);
    EXPECT_EQ(w->Scalar("Select Максимум From Products Where ID=:id", {p}).AsDouble(), 40);
    EXPECT_EQ(w->Scalar("Select Количество From Products Where ID=:id", {p}).AsDouble(), 5) << "stock is not a card field";
    EXPECT_EQ(Form1->ADOQuery1->FieldByName("Цена")->AsFloat(), 12.5) << "the grid shows the new price";
}

TEST_F(GoodsCardTest, APriceTabbedIntoIsTypedOverAClickedOneIsAddedTo)
{
    struct Case {
        const char* why;
        bool click;
        double stored;
    };
    const Case kCases[] = {
        {"Shift+Tab from the minimum selects the price", false, 12.5},
        {"a click puts the caret after the price", true, 212.5},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Fresh();
        const int p = w->AddProduct(Product("Болт", "Склад", 5, 2));
        StartOnWarehouse();
        View([&] {
            TEdit* price = Form2->Edit1;
            ASSERT_EQ(price->GetText(), "2");
            if (c.click) {
                price->UserFocused();
                const TPoint at = price->ClientToScreen({price->GetWidth() - 2, 4});
                d->PointerDown(at);
                d->PointerUp(at);
            } else {
                d->Key(Form2->Edit2, VK_TAB, TShiftState{ssShift});
            }
            ASSERT_EQ(Form2->GetActiveControl(), price);
            d->Press(price, "12,5");
            d->Click(Form2->Button7);
            EXPECT_FALSE(d->IsShowing(Form2));
        });
        EXPECT_EQ(w->Scalar("Select Цена From Products Where ID=:id", {p}).AsDouble(), c.stored);
    }
}

TEST_F(GoodsCardTest, AnUnusedProductIsChangedInFull)
{
    w->AddGroup("Крепёж", w->RootGroupId());
    const int p = w->AddProduct(Product("Болт", "Склад", 0, 2));
    StartOnWarehouse();
    View([&] {
        d->Type(Form2->ComboBox1, "Болт 'М8'");
        d->Type(Form2->ComboBox7, "Крепёж");
        d->Click(Form2->Button7);
    });
    EXPECT_EQ(w->Scalar("Select Наименование From Products Where ID=:id", {p}).AsString(), "Болт 'М8'");
    EXPECT_EQ(w->Scalar("Select Группа From Products Where ID=:id", {p}).AsString(), "Крепёж");
}

TEST_F(GoodsCardTest, ANewCardGoesIntoTheSelectedGroup)
{
    w->AddGroup("Крепёж", w->RootGroupId());
    StartOnWarehouse();
    d->ChooseNode(Form1->TreeView1, "Крепёж");
    d->ExpectModal(Form2, [&] {
        EXPECT_EQ(Form2->ComboBox7->GetText(), "Крепёж");
        d->Click(Form2->Button7);
        EXPECT_EQ(d->MessageTexts().back(), "Заполните наименование и группу товара");
        d->Type(Form2->ComboBox1, "Шайба");
        d->Type(Form2->Edit1, "0,75");
        d->Click(Form2->Button7);
    });
    d->Run([&] { d->Click(Form1->Button2); });
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "Шайба");
    EXPECT_EQ(w->Scalar("Select Цена From Products Where Наименование='Шайба'").AsDouble(), 0.75);
    EXPECT_EQ(w->Scalar("Select Количество From Products Where Наименование='Шайба'").AsDouble(), 0);
}

// A card stores its product only into a group without subgroups, whether the group is
// picked from the list or typed, for a new card and for one changed in full.
TEST_F(GoodsCardTest, ACardTakesOnlyAGroupWithoutSubgroups)
{
    const struct {
        const char* why;
        const char* typed;
        const char* stored;  // nullptr: refused, nothing written
    } cases[] = {
        {"a group without subgroups", "Болты", "Болты"},
        {"the same in other letters' case takes the list's spelling", "БОЛТЫ", "Болты"},
        {"a group above others", "Крепёж", nullptr},
        {"the top-level group above everything", "Склад", nullptr},
        {"a name no group has", "Шурупы", nullptr},
    };
    for (bool newCard : {true, false})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.why) + (newCard ? ", a new card" : ", a card changed in full"));
            Fresh();
            w->AddGroup("Болты", w->AddGroup("Крепёж", w->RootGroupId()));
            if (!newCard)
                w->AddProduct(Product("Шайба", "Болты", 0, 1));
            StartOnWarehouse();
            const std::string before = w->Snapshot();
            d->ExpectModal(Form2, [&] {
                d->Type(Form2->ComboBox1, "Шайба");
                d->Type(Form2->ComboBox7, c.typed);
                d->Click(Form2->Button7);
                EXPECT_EQ(d->IsShowing(Form2), c.stored == nullptr);
                if (c.stored)
                    return;
                EXPECT_EQ(d->MessageTexts().back(), "Выберите группу из списка");
                d->Click(Form2->Button6);
            });
            d->Run([&] { d->Click(newCard ? Form1->Button2 : Form1->Button3); });
            if (c.stored)
                EXPECT_EQ(w->Scalar("Select Группа From Products Where Наименование='Шайба'").AsString(), c.stored);
            else
                EXPECT_EQ(w->Snapshot(), before);
        }
}

TEST_F(GoodsCardTest, OnlyACardNothingRefersToIsDeleted)
{
    const int used = w->AddProduct(Product("Болт", "Склад", 0, 2));
    w->AddProduct(Product("Шайба", "Склад", 0, 2));
    w->Exec("Insert Into StructureAkt (IDДокумента, IDТовара, Количество) Values (1, :p, 1)", {used});
    StartOnWarehouse();
    d->ClickRow(Form1->DBGrid1, 0);
    d->AnswerMessage("Вы действительно хотите удалить?", mrYes);
    d->Run([&] { d->Click(Form1->Button4); });
    EXPECT_EQ(d->MessageTexts().back(), "Невозможно удалить - товар есть на складе или в документах");
    d->ClickRow(Form1->DBGrid1, 1);
    d->AnswerMessage("Вы действительно хотите удалить?", mrYes);
    d->Run([&] { d->Click(Form1->Button4); });
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "Болт");
}

TEST_F(GoodsCardTest, ACardIsKeptWhenTheWarehouseHoldsStockTheGridHasNotShownYet)
{
    // The grid read the card at no stock; another program then put goods on it
    // (the stock column set, no document line). The warehouse's figure decides.
    const struct {
        const char* why;
        const char* stock;
        bool deleted;
    } cases[] = {
        {"stock put on since the grid was read", "3", false},
        {"a fraction", "0.001", false},
        {"taken below zero", "-1", false},
        {"still none", "0", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Fresh();
        w->AddProduct(Product("Шайба", "Склад", 0, 2));
        StartOnWarehouse();
        d->ClickRow(Form1->DBGrid1, 0);
        w->Exec(std::string("Update Products Set Количество=") + c.stock);
        d->AnswerMessage("Вы действительно хотите удалить?", mrYes);
        d->Run([&] { d->Click(Form1->Button4); });
        EXPECT_EQ(w->Scalar("Select Count(*) From Products").AsInteger(), c.deleted ? 0 : 1);
        if (!c.deleted)
            EXPECT_EQ(d->MessageTexts().back(), "Невозможно удалить - товар есть на складе или в документах");
    }
}

TEST_F(GoodsCardTest, ACardOpensForChangeWholeOnlyWhenTheWarehouseHoldsNoStock)
{
    // As above: the grid read the card at no stock, another program then put goods on it.
    const struct {
        const char* stock;
        TCardMode mode;
    } cases[] = {{"3", TCardMode::PricesOnly}, {"0.001", TCardMode::PricesOnly}, {"0", TCardMode::FullEdit}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stock);
        Fresh();
        w->AddProduct(Product("Шайба", "Склад", 0, 2));
        StartOnWarehouse();
        d->ClickRow(Form1->DBGrid1, 0);
        w->Exec(std::string("Update Products Set Количество=") + c.stock);
        View([&] {
            EXPECT_EQ(Form2->CardMode, c.mode);
            d->Click(Form2->Button6);
        });
    }
}

// ---------------------------------------------------------------- the line picker

class PickerTest : public GoodsCardTest {
protected:
    void Seed()
    {
        const int root = w->RootGroupId();
        w->AddGroup("Крепёж", root);
        w->AddGroup("Краски", root);
        TProductSeed a = Product("Болт", "Крепёж", 5, 2);
        a.Brand = "М8";
        a.Minimum = 5;
        a.Maximum = 10;
        w->AddProduct(a);
        TProductSeed b = Product("Болт", "Крепёж", 1, 3);
        b.Brand = "М10";
        b.Minimum = 4;
        b.Maximum = 10;
        w->AddProduct(b);
        TProductSeed c = Product("Эмаль 'Люкс'", "Краски", 9, 100);
        c.Maximum = 8;
        w->AddProduct(c);
    }
};

TEST_F(PickerTest, ChoosingANameEmptiesTheOtherBoxesAndListsThatName)
{
    Seed();
    StartOnWarehouse();
    Pick([&] {
        d->Type(Form2->Art, "A1");
        d->Type(Form2->ComboBox4, "10x20");
        d->Type(Form2->ComboBox2, "М10");
        d->Type(Form2->ComboBox6, "3");
        d->Type(Form2->Edit1, "7");
        d->Select(Form2->ComboBox1, "Болт");
        for (TComboBox* box : {Form2->ComboBox2, Form2->ComboBox3, Form2->ComboBox5, Form2->ComboBox6, Form2->ComboBox7})
            EXPECT_EQ(box->GetText(), "");
        EXPECT_EQ(Form2->Edit1->GetText(), "");
        EXPECT_EQ(Form2->Art->GetText(), "A1");
        EXPECT_EQ(Form2->ComboBox4->GetText(), "10x20");
        EXPECT_EQ(GoodsNames(Form1->ADOQuery5), "Болт Болт");
        d->Click(Form2->Button6);
    });
}

TEST_F(PickerTest, TheQuantityBoxIsNoSupplierFilterAndQuotesFilterSafely)
{
    Seed();
    StartOnWarehouse();
    Pick([&] {
        d->Type(Form2->ComboBox6, "2");
        d->Key(Form2->ComboBox1, 'A');  // typing into an empty box: completion, not a choice
        d->Select(Form2->ComboBox1, "Эмаль 'Люкс'");
        EXPECT_EQ(Form2->ComboBox6->GetText(), "2") << "a completed value does not wipe the boxes";
        EXPECT_EQ(GoodsNames(Form1->ADOQuery5), "Эмаль 'Люкс'");
        d->Click(Form2->Button6);
    });
}

TEST_F(PickerTest, AGridRowFillsTheCardAndLocksItsPriceUntilAFilterIsChosen)
{
    Seed();
    StartOnWarehouse();
    Pick([&] {
        d->Select(Form2->ComboBox7, "Крепёж");
        d->ClickRow(Form2->DBGrid1, 1);
        EXPECT_EQ(Form2->ComboBox2->GetText(), "М10");
        EXPECT_EQ(Form2->Edit1->GetText(), "3");
        EXPECT_FALSE(Form2->Edit1->GetEnabled());
        EXPECT_FALSE(Form2->Edit3->GetEnabled());
        d->Select(Form2->ComboBox2, "М8");
        EXPECT_TRUE(Form2->Edit1->GetEnabled());
        d->Click(Form2->Button6);
    });
}

TEST_F(PickerTest, StockListsCompareStockWithTheLimits)
{
    Seed();
    w->AddProduct([] { TProductSeed s = Product("Гайка", "Крепёж", 4, 1); s.Minimum = 4; s.Maximum = 4; return s; }());
    StartOnWarehouse();
    Pick([&] {
        d->Click(Form2->Button4);
        EXPECT_EQ(GoodsNames(Form1->ADOQuery5), "Болт") << "equal values are in neither list";
        d->Click(Form2->Button5);
        EXPECT_EQ(GoodsNames(Form1->ADOQuery5), "Эмаль 'Люкс'");
        d->Click(Form2->Button6);
    });
}

// A describing text an older file or an import left Null is the empty text the boxes show:
// choosing or typing the empty text lists those goods with the goods whose text is empty.
TEST_F(PickerTest, AnEmptyBoxListsTheGoodsWhoseTextIsNullToo)
{
    const struct {
        const char* why;
        TComboBox* TForm2::*box;
        const char* column;
        bool mouse;
    } cases[] = {
        {"brand chosen from the list", &TForm2::ComboBox2, "Марка", true},
        {"brand cleared by the keys", &TForm2::ComboBox2, "Марка", false},
        {"colour chosen from the list", &TForm2::ComboBox3, "Цвет", true},
        {"colour cleared by the keys", &TForm2::ComboBox3, "Цвет", false},
        {"unit cleared by the keys", &TForm2::ComboBox5, "Единица_измерения", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Fresh();
        TProductSeed marked = Product("Гвоздь", "Склад", 5, 1);
        marked.Brand = marked.Colour = marked.Unit = "М8";
        w->AddProduct(marked);
        TProductSeed empty = Product("Шуруп", "Склад", 5, 1);
        empty.Unit = "";
        w->AddProduct(empty);
        w->AddProduct(Product("Винт", "Склад", 5, 1));
        w->Exec(AnsiString("Update Products Set ") + c.column + "=Null Where Наименование='Винт'");
        StartOnWarehouse();
        Pick([&] {
            TComboBox* box = Form2->*c.box;
            if (c.mouse) {
                d->Select(box, "");
            } else {
                // A letter no goods have, taken back: the box is empty again.
                d->Press(box, "Ж");
                ASSERT_EQ(GoodsNames(Form1->ADOQuery5), "");
                d->Key(box, VK_BACK);
                ASSERT_EQ(box->GetText(), "");
            }
            EXPECT_EQ(GoodsNames(Form1->ADOQuery5), "Шуруп Винт");
            d->Click(Form2->Button6);
        });
    }
}

TEST_F(PickerTest, InTheCardRoleTypingFiltersNothing)
{
    Seed();
    w->Exec("Update Products Set Количество=0 Where Наименование=:n", {"Эмаль 'Люкс'"});  // changeable in full
    StartOnWarehouse();
    Form1->ADOQuery5->Close();
    d->ChooseNode(Form1->TreeView1, "Краски");
    d->ExpectModal(Form2, [&] {
        d->Type(Form2->ComboBox1, "Болт");
        EXPECT_FALSE(Form1->ADOQuery5->Active());
        d->Click(Form2->Button6);
    });
    d->Run([&] { d->Click(Form1->Button3); });
}

struct QuantityCase {
    const char* why;
    const char* typed;
    bool accepted;
};

const QuantityCase kQuantities[] = {
    {"empty", "", false},
    {"words", "три", false},
    {"zero", "0", false},
    {"negative", "-1", false},
    {"so large that its sum is infinite", "1e308", false},
    {"above a million millions", "1000000000001", false},
    {"a decimal comma", "1,5", true},
};

TEST_F(PickerTest, ThePickersOkWritesALineWithItsSumsAndRefusesBadQuantities)
{
    Seed();
    StartOnWarehouse();
    Pick([&] {
        d->Select(Form2->ComboBox1, "Эмаль 'Люкс'");
        d->ClickRow(Form2->DBGrid1, 0);
        for (const auto& c : kQuantities) {
            SCOPED_TRACE(c.why);
            d->Type(Form2->ComboBox6, c.typed);
            d->Click(Form2->Button7);
            EXPECT_EQ(d->IsShowing(Form2), !c.accepted);
            if (!c.accepted) {
                EXPECT_EQ(d->MessageTexts().back(), "Количество должно быть числом больше нуля");
            }
        }
    }, [] { Form1->DocVatRate = 18; });
    EXPECT_EQ(w->Scalar("Select Count(*) From TempStructureDocuments").AsInteger(), 1);
    EXPECT_EQ(w->Scalar("Select Наименование From TempStructureDocuments").AsString(), "Эмаль 'Люкс'");
    EXPECT_EQ(w->Scalar("Select Группа From TempStructureDocuments").AsString(), "Краски");
    EXPECT_EQ(w->Scalar("Select Имя_поставщика From TempStructureDocuments").AsString(), "ООО Поставщик");
    EXPECT_EQ(w->Scalar("Select Количество From TempStructureDocuments").AsDouble(), 1.5);
    EXPECT_EQ(w->Scalar("Select Сумма From TempStructureDocuments").AsDouble(), 150);
    EXPECT_EQ(w->Scalar("Select Ставка From TempStructureDocuments").AsDouble(), 18);
    EXPECT_EQ(w->Scalar("Select Сумма_с_НДС From TempStructureDocuments").AsDouble(), 177);
}

}  // namespace

namespace {

// ---------------------------------------------------------------- the line editor

class LineEditorTest : public GoodsCardTest {
protected:
    // Opens the line editor on the document window's current line, as its "Изменить" does.
    void Edit(const std::function<void()>& script)
    {
        d->ExpectModal(Form2, script);
        d->Run([] { Form3->Button3Click(nullptr); });
    }
};

TEST_F(LineEditorTest, AnActLineTakesItsNewQuantityAndSums)
{
    w->AddProduct(Product("Болт", "Склад", 10, 2.5));
    w->Exec("Insert Into TempStructureDocuments (Наименование, Единица_измерения, Группа, Цена, Количество, Сумма) "
            "Values ('Болт', 'шт', 'Склад', 2.5, 1, 2.5)");
    StartOnWarehouse();
    d->Run([] {
        Form3->SetMode(TDocumentMode::NewAct, DocumentKind::Act);
        Form1->DocVatRate = 0;
        Form1->ADOQuery4->OpenSql("Select * From TempStructureDocuments");
    });
    Edit([&] {
        // The editor shows the line's goods, locked; only the quantity is typed.
        EXPECT_EQ(Form2->ComboBox1->GetText(), "Болт");
        d->Type(Form2->ComboBox6, "3,333");
        d->Click(Form2->Button2);
        EXPECT_FALSE(d->IsShowing(Form2));
    });
    EXPECT_EQ(w->Scalar("Select Количество From TempStructureDocuments").AsDouble(), 3.33);
    // 3.33 x 2.5 = 8.325: the half goes to the even cent.
    EXPECT_EQ(w->Scalar("Select Сумма From TempStructureDocuments").AsDouble(), 8.32);
    EXPECT_EQ(w->Scalar("Select Сумма_с_НДС From TempStructureDocuments").AsDouble(), 8.32);
    EXPECT_EQ(w->Scalar("Select Count(*) From TempStructureDocuments").AsInteger(), 1);
}

TEST_F(LineEditorTest, AQuantityTabbedIntoIsTypedOverAClickedOneIsAddedTo)
{
    // From the OK button, Tab (or Shift+Tab) as often as it takes to reach the box.
    auto TabTo = [&](TWinControl* target, TShiftState shift) {
        TWinControl* at = Form2->Button2;
        for (int i = 0; i < 30 && Form2->GetActiveControl() != target; ++i) {
            d->Key(at, VK_TAB, shift);
            at = Form2->GetActiveControl();
        }
    };
    struct Case {
        const char* why;
        std::function<void()> focus;
        double stored;
    };
    const Case kCases[] = {
        {"Tab from the OK button comes round to it", [&] { TabTo(Form2->ComboBox6, {}); }, 3},
        {"Shift+Tab from the OK button", [&] { TabTo(Form2->ComboBox6, TShiftState{ssShift}); }, 3},
        {"a click puts the caret after the quantity",
         [&] {
             TComboBox* quantity = Form2->ComboBox6;
             quantity->UserFocused();
             const TPoint at = quantity->ClientToScreen({quantity->GetWidth() - 24, 4});
             d->PointerDown(at);
             d->PointerUp(at);
         },
         13},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Fresh();
        w->AddProduct(Product("Болт", "Склад", 20, 2.5));
        w->Exec("Insert Into TempStructureDocuments (Наименование, Единица_измерения, Группа, Цена, Количество, Сумма) "
                "Values ('Болт', 'шт', 'Склад', 2.5, 1, 2.5)");
        StartOnWarehouse();
        d->Run([] {
            Form3->SetMode(TDocumentMode::NewAct, DocumentKind::Act);
            Form1->DocVatRate = 0;
            Form1->ADOQuery4->OpenSql("Select * From TempStructureDocuments");
        });
        Edit([&] {
            ASSERT_EQ(Form2->ComboBox6->GetText(), "1");
            c.focus();
            ASSERT_EQ(Form2->GetActiveControl(), Form2->ComboBox6);
            d->Press(Form2->ComboBox6, "3");
            d->Click(Form2->Button2);
            EXPECT_FALSE(d->IsShowing(Form2));
        });
        EXPECT_EQ(w->Scalar("Select Количество From TempStructureDocuments").AsDouble(), c.stored);
        EXPECT_EQ(w->Scalar("Select Сумма From TempStructureDocuments").AsDouble(), c.stored * 2.5);
    }
}

TEST_F(LineEditorTest, AnIssueLineIsHeldToWhatTheRequestStillWaitsFor)
{
    const int p = w->AddProduct(Product("Болт", "Склад", 10, 4));
    w->Exec("Insert Into TempStructureOtpusk (IDТовара, Количество, Макс, Сумма, Ставка, Сумма_с_НДС) "
            "Values (:p, 5, 5, 20, 18, 23.6)", {p});
    StartOnWarehouse();
    d->Run([] {
        Form3->SetMode(TDocumentMode::NewIssue, DocumentKind::Issue, 1);
        Form1->DocVatRate = 18;
        Form3->ShowLines();  // the window's own statement for the lines of an invoice
    });
    Edit([&] {
        d->Type(Form2->ComboBox6, "6");
        d->Click(Form2->Button2);
        EXPECT_EQ(d->MessageTexts().back(), "Количество не может быть больше 5");
        EXPECT_TRUE(d->IsShowing(Form2));
        d->Type(Form2->ComboBox6, "2");
        d->Click(Form2->Button2);
        EXPECT_FALSE(d->IsShowing(Form2));
    });
    EXPECT_EQ(w->Scalar("Select Количество From TempStructureOtpusk").AsDouble(), 2);
    EXPECT_EQ(w->Scalar("Select Сумма From TempStructureOtpusk").AsDouble(), 8);
    EXPECT_EQ(w->Scalar("Select Сумма_с_НДС From TempStructureOtpusk").AsDouble(), 9.44);
    EXPECT_EQ(Form1->ADOQuery4->FieldByName("Количество")->AsFloat(), 2) << "the lines are shown again";
}

}  // namespace

namespace {

// ---------------------------------------------------------------- supplier and documents

TEST_F(GoodsCardTest, TheSupplierButtonOpensKnownOrNewSupplierDetails)
{
    TProductSeed seed = Product("Болт", "Склад", 1, 2);
    seed.Supplier = "ООО 'Крепёж'";
    w->AddProduct(seed);
    w->AddSupplier("ООО 'Крепёж'");
    w->Exec("Update P Set Адрес='Тула' Where Название=:n", {"ООО 'Крепёж'"});
    StartOnWarehouse();
    View([&] {
        EXPECT_EQ(Form2->ComboBox6->GetText(), "ООО 'Крепёж'");
        d->ExpectModal(Form6, [&] {
            EXPECT_EQ(Form6->GetCaption(), "Информация о поставщике ");
            EXPECT_EQ(Form6->Edit[0]->GetText(), "ООО 'Крепёж'");
            EXPECT_EQ(Form6->Edit[1]->GetText(), "Тула");
            d->CloseForm(Form6);
        });
        d->Click(Form2->Button9);
        Form2->ComboBox6->SetEnabled(true);  // as for a card still changeable in full
        d->Type(Form2->ComboBox6, "Новый поставщик");
        d->ExpectModal(Form6, [&] {
            EXPECT_EQ(Form6->GetCaption(), "Информация о новом поставщике ");
            EXPECT_EQ(Form6->Edit[0]->GetText(), "Новый поставщик");
            EXPECT_EQ(Form6->Edit[1]->GetText(), "");
            d->CloseForm(Form6);
        });
        d->Click(Form2->Button9);
        d->Type(Form2->ComboBox6, "");
        d->Click(Form2->Button9);
        EXPECT_EQ(d->MessageTexts().back(), "Введите название поставщика");
        d->Click(Form2->Button6);
    });
}

TEST_F(GoodsCardTest, SupplierDetailsAreNotStoredWithoutAName)
{
    TProductSeed seed = Product("Болт", "Склад", 1, 2);
    seed.Supplier = "ООО Крепёж";
    w->AddProduct(seed);
    w->AddSupplier("ООО Крепёж");
    StartOnWarehouse();
    struct Case {
        const char* why;
        const char* supplier;  // typed in the card before "->"
        const char* name;      // the name box of the details dialog at OK
    } const cases[] = {
        {"a known supplier whose name was wiped", "ООО Крепёж", ""},
        {"a known supplier renamed to blanks", "ООО Крепёж", "   "},
        {"a new supplier whose name was wiped", "Новый поставщик", ""},
    };
    View([&] {
        Form2->ComboBox6->SetEnabled(true);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.why);
            d->Type(Form2->ComboBox6, c.supplier);
            d->ExpectModal(Form6, [&] {
                d->Type(Form6->Edit[1], "Тула");
                d->Type(Form6->Edit[0], c.name);
                d->Click(Form6->Button1);
                EXPECT_EQ(d->MessageTexts().back(), "Введите название поставщика");
                EXPECT_TRUE(d->IsShowing(Form6)) << "the dialog waits for a name";
                d->CloseForm(Form6);
            });
            d->Click(Form2->Button9);
        }
        d->Click(Form2->Button6);
    });
    EXPECT_EQ(w->Scalar("Select Count(*) From P").AsInteger(), 1);
    EXPECT_EQ(w->Scalar("Select Count(*) From P Where Название='ООО Крепёж' And Адрес=''").AsInteger(), 1);
}

TEST_F(GoodsCardTest, RenamingASupplierCarriesTheNameToItsGoods)
{
    TProductSeed bolt = Product("Болт", "Склад", 1, 2);
    bolt.Supplier = "ООО Крепёж";
    w->AddProduct(bolt);
    TProductSeed nut = Product("Гайка", "Склад", 1, 2);
    nut.Supplier = "ООО Крепёж";
    w->AddProduct(nut);
    w->AddSupplier("ООО Крепёж");
    w->AddSupplier("ООО Метиз");
    StartOnWarehouse();
    View([&] {
        Form2->ComboBox6->SetEnabled(true);
        // Taking another supplier's name would merge the two: refused, the dialog stays.
        d->Type(Form2->ComboBox6, "ООО Крепёж");
        d->ExpectModal(Form6, [&] {
            d->Type(Form6->Edit[0], "ооо метиз");
            d->Click(Form6->Button1);
            EXPECT_EQ(d->MessageTexts().back(), "Поставщик с таким названием уже есть");
            EXPECT_TRUE(d->IsShowing(Form6));
            // A new name of its own goes through, to the supplier and its goods.
            d->Type(Form6->Edit[0], "ООО Крепёж и Ко");
            d->Click(Form6->Button1);
        });
        d->Click(Form2->Button9);
        EXPECT_EQ(Form2->ComboBox6->GetText(), "ООО Крепёж и Ко") << "the card shows the new name";
        d->Click(Form2->Button6);
    });
    EXPECT_EQ(w->Scalar("Select Count(*) From P").AsInteger(), 2);
    EXPECT_EQ(w->Scalar("Select Count(*) From P Where Название='ООО Крепёж и Ко'").AsInteger(), 1);
    EXPECT_EQ(w->Scalar("Select Count(*) From Products Where Имя_поставщика='ООО Крепёж и Ко'").AsInteger(), 2);
    EXPECT_EQ(w->Scalar("Select Count(*) From Products Where Имя_поставщика='ООО Крепёж'").AsInteger(), 0);
}

TEST_F(GoodsCardTest, DocumentsOfThisProductOpenTheJournalOnIt)
{
    TProductSeed seed = Product("Болт", "Склад", 1, 2);
    seed.Brand = "М8";
    seed.Colour = "серый";
    const int p = w->AddProduct(seed);
    StartOnWarehouse();
    View([&] {
        d->ExpectModal(Form4, [&] {
            EXPECT_EQ(Form4->GetCaption(), "Работа с документами товара  Болт М8 серый");
            EXPECT_FALSE(Form4->GroupBox1->GetEnabled());
            EXPECT_TRUE(Form4->RadioButton7->GetChecked());
            d->CloseForm(Form4);
        });
        d->Click(Form2->Button1);
        d->Click(Form2->Button6);
    });
    EXPECT_EQ(Form4->ProductFilter, IntToStr(int64_t(p)));
}

}  // namespace

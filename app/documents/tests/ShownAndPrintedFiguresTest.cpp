// One figure, one value: what the goods card shows and what the reports print of the same
// product or document line agree, and both agree with the figure worked out here from the rows
// seeded. Reports run through the real engine to prepared pages and are read back from them.
#include "app/documents/tests/PrintFixture.h"

#include "app/documents/Import.h"
#include "app/documents/Unit11.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/documents/Unit9.h"
#include "app/shell/Unit1.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"
#include "report/model/rpClass.h"

#include <cmath>
#include <fstream>
#include <optional>

namespace {

const char* const kArticle = "[rpDBDataset1.\"№\"]";
const char* const kReserveCell = "[rpDBDataset1.\"Не_выдано\"]";
const char* const kShortageCell =
    "[(StrToFloat(<rpDBDataset1.\"Минимум\">)-StrToFloat(<rpDBDataset1.\"Количество\">))+"
    "StrToFloat(<rpDBDataset1.\"Не_выдано\">)]";
const char* const kSurplusCell =
    "[StrToFloat(<rpDBDataset1.\"Количество\">)-StrToFloat(<rpDBDataset1.\"Максимум\">)-"
    "StrToFloat(<rpDBDataset1.\"Не_выдано\">)]";

class ShownAndPrintedFiguresTest : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        StartOnWarehouse();
    }
    // A product of the root group, article "A-1".
    int64_t AddGoods(double stock, double minimum, double maximum, double price = 2)
    {
        TProductSeed p = Product("Шплинт", "Склад", stock, price);
        p.Minimum = minimum;
        p.Maximum = maximum;
        p.Article = "A-1";
        return w->AddProduct(p);
    }
    // The report of `kind` printed from the builder over every product: the text of `cell` in
    // the row of article A-1 on its prepared pages.
    AnsiString Printed(TRadioButton* TForm9::*kind, TReportFamily family, const char* cell)
    {
        InBuilder([&] {
            d->Choose(Form9->*kind);
            w->Exec("Update Products Set V='V'");
            Print([&] { d->Click(Form9->Button2); });
        });
        TrpReport* report = Shown(family);
        return report ? PrintedCell(report, kArticle, "A-1", cell) : AnsiString("(no report)");
    }
};

// What requests still wait for is one figure: the card's "В резерве" and the "Не выдано" of the
// stock state, the shortage and the purchase request count the same request lines, archived
// or not, whatever their state. The reports left out archived requests and requests whose
// state was Null, which the card counted.
TEST_F(ShownAndPrintedFiguresTest, TheReserveIsOneFigureOnTheCardAndOnEveryReport)
{
    struct TCase {
        const char* why;
        std::optional<const char*> state;  // Отпуск_товара; nullopt: Null
        int archived;
        std::optional<double> quantity, issued;  // nullopt: Null
    } const cases[] = {
        {"a working request, part issued", "Частично выдан", 0, 4, 1},
        {"an archived request, not issued", "Не выдавался", 1, 4, 0},
        {"a request whose state is Null", std::nullopt, 0, 4, 0},
        {"an archived request whose state is Null", std::nullopt, 1, 2.5, 0.5},
        {"an issued request with a line still short", "Выдан", 0, 3, 1},
        {"a line issued in full", "Выдан", 1, 4, 4},
        {"a line issued beyond its quantity", "Частично выдан", 0, 4, 5},
        {"a line whose issued figure is Null", "Не выдавался", 0, 1.25, std::nullopt},
        {"a line whose quantity is Null", "Не выдавался", 0, std::nullopt, 0},
    };
    // Stock 10, minimum 12: the shortage and the quantity to buy are 2 + the reserve.
    const int64_t goods = AddGoods(10, 12, 30);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        w->Exec("Delete From Application");
        w->Exec("Delete From StructureApplication");
        const int64_t request = w->Exec(
            "Insert Into Application (Дата_создания,Дата_сдачи,Получатель,Через_кого,Отпуск_товара,Заказчик,"
            "№_заказа,Архив) Values (:a,:b,'Получатель','Курьер',:s,'Заказчик','1',:r)",
            {Day(2027, 1, 10), Day(2027, 1, 20), c.state ? Variant(*c.state) : Null(), c.archived});
        w->Exec("Insert Into StructureApplication (IDДокумента,IDТовара,Количество,Сумма,Отпущено,Архив) "
                "Values (:d,:p,:q,0,:o,:r)",
                {request, goods, c.quantity ? Variant(*c.quantity) : Null(), c.issued ? Variant(*c.issued) : Null(),
                 c.archived});
        // Worked out here: the quantity less the issued, when it is more (Null counts as 0).
        const double q = c.quantity.value_or(0), o = c.issued.value_or(0);
        const double reserve = q > o ? q - o : 0;
        const AnsiString reserved = FloatToStr(reserve), missing = FloatToStr(2 + reserve);

        const TCardFigures card = CardFigures(goods);
        EXPECT_EQ(card.Reserved, reserved) << "the card";
        EXPECT_EQ(card.Shortage, missing) << "the card";
        EXPECT_EQ(Printed(&TForm9::RadioButton1, TReportFamily::StockState, kReserveCell), reserved) << "stock state";
        EXPECT_EQ(Printed(&TForm9::RadioButton7, TReportFamily::Shortage, kReserveCell), reserved) << "shortage";
        EXPECT_EQ(Printed(&TForm9::RadioButton7, TReportFamily::Shortage, kShortageCell), missing) << "shortage";
        EXPECT_EQ(Printed(&TForm9::RadioButton3, TReportFamily::Purchase, kReserveCell), missing) << "to buy";
    }
}

// A figure half a cent from two cents rounds to the even cent on the card and on paper alike:
// a minimum of 0.125 is short 0.12 on both. The reports rounded halves away from zero (0,13),
// by the picture of their difference cells and by SQL's Round.
TEST_F(ShownAndPrintedFiguresTest, HalfCentTiesRoundAlikeOnTheCardAndOnPaper)
{
    struct TCase {
        const char* why;
        double stock, minimum, maximum, reserve;
        const char *reserved, *surplus, *shortage;  // as the card shows them and the reports print them
    } const cases[] = {
        {"a minimum half a cent above 12 cents", 0, 0.125, 0, 0, "0", "0", "0.12"},
        {"a minimum half a cent below 63 cents", 0, 0.625, 0, 0, "0", "0", "0.62"},
        {"a stock half a cent above the maximum", 10.125, 0, 10, 0, "0", "0.12", "0"},
        {"a reserve of half a cent above 12 cents", 5, 5, 5, 0.125, "0.12", "0", "0.12"},
    };
    const TFormatSettings desktop = FormatSettings();
    for (const TFormatSettings& settings : {desktop, EnglishFormatSettings()})
        for (const TCase& c : cases) {
            SCOPED_TRACE(AnsiString(c.why) + ", separator " + settings.DecimalSeparator);
            SetFormatSettings(settings);
            const auto figure = [&](const char* text) {
                AnsiString s = text;
                std::replace(s.begin(), s.end(), '.', settings.DecimalSeparator);
                return s;
            };
            w->Exec("Delete From Products");
            w->Exec("Delete From StructureApplication");
            const int64_t goods = AddGoods(c.stock, c.minimum, c.maximum);
            if (c.reserve > 0)
                AddRequestLine(AddRequest(Day(2027, 1, 10), Day(2027, 1, 20), "Не выдавался"), goods, c.reserve, 0);

            const TCardFigures card = CardFigures(goods);
            EXPECT_EQ(card.Reserved, figure(c.reserved));
            EXPECT_EQ(card.Surplus, figure(c.surplus));
            EXPECT_EQ(card.Shortage, figure(c.shortage));
            EXPECT_EQ(Printed(&TForm9::RadioButton1, TReportFamily::StockState, kReserveCell), figure(c.reserved));
            if (std::string_view(c.shortage) != "0") {
                EXPECT_EQ(Printed(&TForm9::RadioButton7, TReportFamily::Shortage, kShortageCell), figure(c.shortage));
                EXPECT_EQ(Printed(&TForm9::RadioButton3, TReportFamily::Purchase, kReserveCell), figure(c.shortage));
            }
            if (std::string_view(c.surplus) != "0")
                EXPECT_EQ(Printed(&TForm9::RadioButton8, TReportFamily::Surplus, kSurplusCell), figure(c.surplus));
        }
    SetFormatSettings(desktop);
}

// A request line shows one price and is never dropped: on the order-state report, in the
// request's viewer and on the printed request alike, the price the line was made at once the
// catalogue price changed (its sum over its quantity, to the even kopeck), and a line whose
// goods were deleted since is listed with its sum. The order state and the viewer showed the
// catalogue's new price and left such lines out, so their lines no longer added up to the
// request's total; the printed request rounded a half kopeck up.
TEST_F(ShownAndPrintedFiguresTest, ARequestLineShowsOnePriceAndIsNeverDropped)
{
    TProductSeed a = Product("Болт", "Склад", 50, 2), b = Product("Винт", "Склад", 50, 5),
                 c = Product("Штифт", "Склад", 50, 4), e = Product("Шайба", "Склад", 50, 0.1);
    a.Article = "A-1";
    b.Article = "A-2";
    c.Article = "A-3";
    e.Article = "A-4";
    const int64_t boltId = w->AddProduct(a), screwId = w->AddProduct(b), pinId = w->AddProduct(c),
                  washerId = w->AddProduct(e);
    const int64_t request = AddRequest(Day(2027, 3, 5), Day(2027, 3, 20), "Не выдавался");
    AddRequestLine(request, boltId, 10, 0, 20);  // at the catalogue's price
    AddRequestLine(request, screwId, 6, 0, 18);  // made at 3, the catalogue says 5 now
    AddRequestLine(request, pinId, 2, 0, 7.5);   // its goods deleted since
    AddRequestLine(request, boltId, 0, 0, 0);    // an older file left without its quantity
    AddRequestLine(request, washerId, 2, 0, 0.25);  // made at half a cent above 12 kopecks
    w->Exec("Update StructureApplication Set Количество=Null Where Сумма=0");
    w->Exec("Delete From Products Where ID=:p", {pinId});
    // Worked out here from the lines: 20 + 18 + 7.5 + 0 + 0.25; the prices 2, 18 / 6, 7.5 / 2,
    // the catalogue's for the line of no quantity, and 0.25 / 2 to the even kopeck.
    const std::vector<AnsiString> prices = {"2", "3", "3,75", "2", "0,12"};
    const AnsiString total = "45,75";

    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        ASSERT_EQ(Form1->ADOQuery6->RecordCount(), 1);
        d->ClickRow(Form4->DBGrid1, 0);
        Print([&] { d->Click(Form4->Button6); });
        TrpReport* orderState = Shown(TReportFamily::OrderState);
        ASSERT_NE(orderState, nullptr);
        EXPECT_EQ(Column(Form1->ADOQuery8, "Цена"), prices) << "the order state's lines";
        const char* const key = "[rpDBDataset2.\"№\"]";
        const char* const price = "[rpDBDataset2.\"Цена\"]";
        EXPECT_EQ(PrintedCell(orderState, key, "A-1", price), "2");
        EXPECT_EQ(PrintedCell(orderState, key, "A-2", price), "3");
        EXPECT_EQ(PrintedCell(orderState, key, "A-4", price), "0,12");
        EXPECT_TRUE(HasText(orderState, "7,5")) << "the deleted goods' line";
        EXPECT_TRUE(HasText(orderState, total)) << "the total of the lines printed";
        EXPECT_EQ(Column(Form1->ADOQuery8, "Количество"), (std::vector<AnsiString>{"10", "6", "2", "0", "2"}));
        EXPECT_TRUE(d->Errors().empty() && d->MessageTexts().empty()) << "every line's figures print";

        d->ExpectModal(Form3, [&] {
            EXPECT_EQ(Column(Form1->ADOQuery4, "Цена"), prices) << "the viewer";
            EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму " + total);
            Print([&] { d->Click(Form3->Button8); });
            EXPECT_EQ(Column(Form1->ADOQuery8, "Цена"), prices) << "the printed request";
            d->Click(Form3->Button6);
        });
        d->Click(Form4->Button2);
    });
}

// A request opened to be changed shows each line at the price the viewer and the printed
// request show, the one its sum was made at, and saved unchanged keeps its sums. The window
// showed the catalogue's price of today beside the line's own sum (6 at 5 for a sum of 18).
TEST_F(ShownAndPrintedFiguresTest, ARequestBeingChangedShowsItsLinesAtTheViewersPrices)
{
    TProductSeed a = Product("Болт", "Склад", 50, 2), b = Product("Винт", "Склад", 50, 5),
                 c = Product("Штифт", "Склад", 50, 0.35);
    const int64_t boltId = w->AddProduct(a), screwId = w->AddProduct(b), pinId = w->AddProduct(c);
    const int64_t request = AddRequest(Day(2027, 3, 5), Day(2027, 3, 20), "Не выдавался");
    AddRequestLine(request, boltId, 10, 0, 20);      // at the catalogue's price
    AddRequestLine(request, screwId, 6, 0, 18);      // made at 3, the catalogue says 5 now
    AddRequestLine(request, pinId, 3, 0, 10);        // 10 / 3 to the kopeck
    AddRequestLine(request, pinId, 0.5, 0, 0.18);    // 0.5 at 0.35 is 0.175, the even kopeck 0.18
    // Worked out here from the lines.
    const std::vector<AnsiString> prices = {"2", "3", "3,33", "0,35"};
    const std::vector<AnsiString> sums = {"20", "18", "10", "0,18"};

    std::vector<AnsiString> viewed, edited, editedSums;
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ClickRow(Form4->DBGrid1, 0);
        d->ExpectModal(Form3, [&] {
            viewed = Column(Form1->ADOQuery4, "Цена");
            d->Click(Form3->Button6);
        });
        d->Click(Form4->Button2);
    });
    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ClickRow(Form4->DBGrid1, 0);
        d->ExpectModal(Form3, [&] {
            EXPECT_EQ(Form3->Mode(), TDocumentMode::EditRequest);
            edited = Column(Form1->ADOQuery4, "Цена");
            editedSums = Column(Form1->ADOQuery4, "Сумма");
            EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму 48,18");
            d->Click(Form3->Button7);
        });
        d->Click(Form4->Button4);
    });
    EXPECT_EQ(viewed, prices) << "the viewer";
    EXPECT_EQ(edited, prices) << "the request being changed";
    EXPECT_EQ(editedSums, sums);
    EXPECT_DOUBLE_EQ(w->Scalar("Select Sum(Сумма) From StructureApplication").AsDouble(), 48.18) << "saved unchanged";
}

// A request holding a line whose goods were deleted since is changed with that line in view,
// and saving it does not drop the line unseen: the save is refused and the request keeps every
// line and its total. The window loaded only the lines whose goods were still there, and
// saving it deleted the others with their sums.
TEST_F(ShownAndPrintedFiguresTest, ARequestBeingChangedKeepsTheLinesOfDeletedGoods)
{
    const int64_t boltId = w->AddProduct(Product("Болт", "Склад", 50, 2)),
                  pinId = w->AddProduct(Product("Штифт", "Склад", 50, 4));
    const int64_t request = AddRequest(Day(2027, 3, 5), Day(2027, 3, 20), "Не выдавался");
    AddRequestLine(request, boltId, 10, 0, 20);
    AddRequestLine(request, pinId, 2, 0, 7.5);
    w->Exec("Delete From Products Where ID=:p", {pinId});

    InJournal([&] {
        d->Choose(Form4->RadioButton9);
        d->ClickRow(Form4->DBGrid1, 0);
        d->ExpectModal(Form3, [&] {
            EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 2) << "both lines in view";
            EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму 27,5");
            d->Click(Form3->Button7);
            EXPECT_FALSE(d->MessageTexts().empty()) << "the save is refused";
            ASSERT_TRUE(d->IsShowing(Form3)) << "the window stays with the lines";
            d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
            d->Click(Form3->Button6);
        });
        d->Click(Form4->Button4);
    });
    EXPECT_EQ(w->Scalar("Select Count(*) From StructureApplication Where IDДокумента=:r", {request}).AsInteger(), 2);
    EXPECT_DOUBLE_EQ(w->Scalar("Select Sum(Сумма) From StructureApplication").AsDouble(), 27.5);
}

// The quantities and prices of an order-request file are the decimals their writer meant:
// single precision's binary noise reached the lines (a maximum of 0.100000001490116) and the
// cents of a price (1234.565 was taken as 1234.56494 and rounded down).
TEST_F(ShownAndPrintedFiguresTest, ImportedFiguresAreTheDecimalsOfTheFile)
{
    struct TCase {
        const char* why;
        float quantity, price;
        double maximum, cents, sum;  // worked out from the decimals written
    } const cases[] = {
        {"a tenth", 0.1f, 33.333f, 0.1, 33.33, 3.33},
        {"a quantity past single precision's cents", 131072.03f, 1, 131072.03, 1, 131072.03},
        {"a price whose single lies under its half cent", 2, 1234.565f, 2, 1234.57, 2469.14},
    };
    w->AddProduct(Product("Болт", "Склад", 10, 1));
    // Both routes read a file: the main window's menu item, and "Импорт" of a request being entered.
    const struct {
        const char* why;
        bool button;
    } routes[] = {{"menu", false}, {"the window's button", true}};
    for (const auto& route : routes)
        for (const TCase& c : cases) {
            SCOPED_TRACE(AnsiString(c.why) + ", " + route.why);
            OrderRequestFile f;
            f.Magic = OrderRequestFile::kMagic;
            f.Customer = "Иванов";
            f.DocumentNumber = "З-1";
            f.DueDate = "15.03.2027";
            f.Records.push_back({"", "Болт", c.quantity, "шт", c.price});
            const std::vector<uint8_t> bytes = WriteOrderRequest(f);
            const AnsiString path = w->Dir() + "order.sklad";
            std::ofstream(PathToSystem(path), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
            const auto line = [&](const char* column) {
                return FloatToStr(
                    w->Scalar(AnsiString("Select ") + column + " From TempStructureDocuments").AsDouble());
            };
            d->ExpectModal(Form3, [&] {
                if (route.button) {
                    d->AnswerFileDialog(path);
                    d->AnswerMessage("Заносить несуществующие товары на склад?", mrNo);
                    d->Click(Form3->ImportBtn);
                }
                ASSERT_EQ(Form1->ADOQuery4->RecordCount(), 1);
                EXPECT_EQ(line("Количество"), FloatToStr(c.maximum));
                EXPECT_EQ(line("Максимум"), FloatToStr(c.maximum));
                EXPECT_EQ(line("Цена"), FloatToStr(c.cents));
                EXPECT_EQ(line("Сумма"), FloatToStr(c.sum));
                d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                d->Click(Form3->Button6);
            });
            if (route.button) {
                d->Run([&] { d->Click(Form1->Button6); });
            } else {
                d->AnswerFileDialog(path);
                d->AnswerMessage("Заносить несуществующие товары на склад?", mrNo);
                d->Run([] { Form1->N1Click(nullptr); });
            }
        }
}

// Money on the stock sheets is whole kopecks: each row's price times its quantity to the even
// kopeck, as a document line's sum is made, and each total the sum of the rows printed above
// it. The sheets printed the product as computed (0,525 for 1,5 at 0,35) and totalled the
// unrounded products, so two such rows printed beside a total of 1,05.
TEST_F(ShownAndPrintedFiguresTest, SheetMoneyIsWholeKopecksAndTotalsAddUpThePrintedRows)
{
    struct TCase {
        const char* why;
        double price, figure;  // every quantity of the row: stock, reserve, need
        const char *row, *total;
    } const cases[] = {
        {"half a kopeck goes to the even kopeck", 0.35, 1.5, "0,52", "1,04"},
        {"3,33 x 2,5 is 8,325 exactly", 3.33, 2.5, "8,32", "16,64"},
        {"a third decimal above the half", 10.05, 0.33, "3,32", "6,64"},
        {"whole kopecks stay as they are", 2, 3, "6", "12"},
    };
    const struct {
        const char* sheet;
        TRadioButton* TForm9::*kind;
        TReportFamily family;
        const char *key, *cell, *total;
    } sheets[] = {
        {"stock state", &TForm9::RadioButton1, TReportFamily::StockState, "[rpDBDataset1.\"Наименование\"]",
         "[rpDBDataset1.\"Сумма\"]", "[SUM(StrToFloat(<rpDBDataset1.\"Сумма\">),MasterData1,2)]"},
        {"turnover, the stock left", &TForm9::RadioButton2, TReportFamily::Turnover, "[rpDBDataset1.\"Наименование\"]",
         "[rpDBDataset1.\"Сумма_O\"]", "[SUM(StrToFloat(<rpDBDataset1.\"Сумма_O\">),MasterData1,2)]"},
        {"turnover, the reserve", &TForm9::RadioButton2, TReportFamily::Turnover, "[rpDBDataset1.\"Наименование\"]",
         "[rpDBDataset1.\"Сумма_Не_выдано\"]",
         "[SUM(StrToFloat(<rpDBDataset1.\"Сумма_Не_выдано\">),MasterData1,2)]"},
        {"purchase request", &TForm9::RadioButton3, TReportFamily::Purchase, "[rpDBDataset1.\"Наименование\"]",
         "[rpDBDataset1.\"Сумма\"]", "[SUM(StrToFloat(<rpDBDataset1.\"Сумма\">),MasterData1,2)]"},
    };
    d->SetNow(Day(2027, 3, 10, 12));  // the requests fall within the turnover's whole period
    for (const TCase& c : cases) {
        w->Exec("Delete From Products");
        w->Exec("Delete From Application");
        w->Exec("Delete From StructureApplication");
        // Two goods alike: free stock 0 against a minimum of the figure, so the need is the
        // figure too.
        for (const char* name : {"Шплинт 1", "Шплинт 2"}) {
            TProductSeed p = Product(name, "Склад", c.figure, c.price);
            p.Minimum = c.figure;
            AddRequestLine(AddRequest(Day(2027, 3, 10), Day(2027, 3, 20), "Не выдавался"), w->AddProduct(p), c.figure, 0);
        }
        for (const auto& sheet : sheets) {
            SCOPED_TRACE(AnsiString(c.why) + ", " + sheet.sheet);
            InBuilder([&] {
                d->Choose(Form9->*sheet.kind);
                w->Exec("Update Products Set V='V'");
                Print([&] { d->Click(Form9->Button2); });
            });
            TrpReport* report = Shown(sheet.family);
            ASSERT_NE(report, nullptr);
            EXPECT_EQ(PrintedCell(report, sheet.key, "Шплинт 1", sheet.cell), c.row);
            EXPECT_EQ(PrintedCell(report, sheet.key, "Шплинт 2", sheet.cell), c.row);
            // The footer band carries the total alone: key it by the total itself.
            EXPECT_EQ(PrintedCell(report, sheet.total, c.total, sheet.total), c.total);
        }
    }
}

}  // namespace

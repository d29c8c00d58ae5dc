// A long walk through the windows: receipts, requests (entered and imported), issue invoices,
// write-off acts, the goods card's price and limits, request editing, new and deleted goods
// and the archive, each reached by the mouse or by the keyboard, in an order drawn from a
// fixed seed, over days that pass now and then. Beside the program the test keeps its own
// account of every product's stock, its movements by day, reserve and money, and after every
// step compares it with every figure the user can see: the goods grid, the goods card, a
// request's order state, and the rows and totals of the stock-state sheet and of the turnover
// sheet over the whole period or a period of days chosen on its calendars.
#include "app/documents/tests/PrintFixture.h"

#include "app/documents/Import.h"
#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/documents/Unit8.h"
#include "app/documents/Unit9.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit5.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"
#include "report/model/rpClass.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"
#include "report/output/rpPreviewPages.h"

#include <climits>
#include <fstream>
#include <map>

namespace {

using TCents = int64_t;  // figures in hundredths

AnsiString Figure(TCents c) { return FloatToStr(double(c) / 100.0); }

// The exact decimal product of two figures in hundredths, rounded to the cent, halves to even.
TCents MoneyOf(TCents quantity, TCents price)
{
    const __int128 p = static_cast<__int128>(quantity) * price;  // ten-thousandths
    const __int128 a = p < 0 ? -p : p;
    TCents cents = TCents(a / 100);
    const int64_t rest = int64_t(a % 100);
    if (rest > 50 || (rest == 50 && cents % 2 != 0))
        ++cents;
    return p < 0 ? -cents : cents;
}

// The unrounded value of a stock, as text: the goods card shows it as it is.
AnsiString ExactValue(TCents quantity, TCents price)
{
    return FloatToStr(double(quantity) * double(price) / 10000.0);
}

struct TGoods {
    int64_t Id = 0;
    AnsiString Name, Article;
    TCents Stock = 0, Price = 0, Minimum = 0, Maximum = 0;
    TCents Out = 0;                                // issued and written off, ever
    std::vector<std::pair<int, TCents>> Moves;     // day of the walk, change of the stock
    bool Used = false;  // named by a document line
    bool Gone = false;
};

struct TRequestLine {
    size_t Goods;
    TCents Quantity, Issued = 0, Sum;
};

struct TRequest {
    AnsiString Recipient;  // unique: finds the request in the journal
    int Day = 0;           // of the walk, the day it was made
    std::vector<TRequestLine> Lines;
    bool Archived = false;
    bool Issued() const
    {
        for (const TRequestLine& l : Lines)
            if (l.Issued < l.Quantity)
                return false;
        return true;
    }
    bool Started() const
    {
        for (const TRequestLine& l : Lines)
            if (l.Issued > 0)
                return true;
        return false;
    }
};

// A small generator of our own: the same walk on every library.
struct TDraw {
    uint64_t State;
    uint32_t Next()
    {
        State = State * 6364136223846793005ULL + 1442695040888963407ULL;
        return uint32_t(State >> 33);
    }
    int Below(int n) { return int(Next() % uint32_t(n)); }
    bool Keys() { return Below(2) == 1; }
};

class StockWalkTest : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        d->SetNow(Day(2027, 3, 10, 12));
        const struct {
            const char* name;
            TCents stock, price, min, max;
        } seed[] = {
            {"Болт", 1000, 35, 500, 2000},
            {"Винт", 125, 1005, 200, 0},
            {"Эмаль", 5000, 10050, 0, 3000},
            {"Шайба", 33, 7, 100, 100},
        };
        for (const auto& s : seed) {
            TGoods g;
            g.Name = s.name;
            g.Article = "A-" + AnsiString(s.name);
            g.Stock = s.stock;
            g.Price = s.price;
            g.Minimum = s.min;
            g.Maximum = s.max;
            TProductSeed p = Product(g.Name, "Склад", double(g.Stock) / 100, double(g.Price) / 100);
            p.Article = g.Article;
            p.Minimum = double(g.Minimum) / 100;
            p.Maximum = double(g.Maximum) / 100;
            g.Id = w->AddProduct(p);
            goods.push_back(g);
        }
        StartOnWarehouse();
    }

    // ------------------------------------------------------------ drawing

    TCents Quantity() { return draw.Below(4) == 0 ? 100 * (1 + draw.Below(6)) : 1 + draw.Below(450); }
    std::vector<size_t> Present()
    {
        std::vector<size_t> out;
        for (size_t i = 0; i < goods.size(); ++i)
            if (!goods[i].Gone)
                out.push_back(i);
        return out;
    }
    size_t AnyGoods()
    {
        const std::vector<size_t> present = Present();
        return present[size_t(draw.Below(int(present.size())))];
    }
    // What the requests made from day `from` to day `to` still wait for of `g`.
    TCents Reserve(size_t g, int from = 0, int to = INT_MAX) const
    {
        TCents r = 0;
        for (const TRequest& q : requests)
            if (q.Day >= from && q.Day <= to)
                for (const TRequestLine& l : q.Lines)
                    if (l.Goods == g && l.Quantity > l.Issued)
                        r += l.Quantity - l.Issued;
        return r;
    }
    // The stock of `g` at the end of day `day`.
    TCents StockAfter(size_t g, int day) const
    {
        TCents s = goods[g].Stock;
        for (const auto& [when, change] : goods[g].Moves)
            if (when > day)
                s -= change;
        return s;
    }
    // A movement of stock by a document of today.
    void Move(size_t g, TCents change)
    {
        goods[g].Stock += change;
        if (change < 0)
            goods[g].Out -= change;
        goods[g].Moves.emplace_back(today, change);
        firstMove = std::min(firstMove, today);
        lastMove = std::max(lastMove, today);
    }
    static TDateTime DayOfWalk(int day) { return TDateTime(Day(2027, 3, 10, 12).Val + day); }

    // ------------------------------------------------------------ small routes

    void Press(TButton* button, bool keys)
    {
        if (keys)
            d->Key(button, VK_RETURN);
        else
            d->Click(button);
    }
    // The row of `g` in the main grid (root selected: every product), -1 when not listed.
    int GridRow(size_t g)
    {
        TADOQuery* q = Form1->ADOQuery1;
        const int id = q->FieldByName("ID")->Index();
        for (int r = 1; r <= q->RecordCount(); ++r)
            if (q->RowValue(r, id).AsInt64() == goods[g].Id)
                return r - 1;
        return -1;
    }
    void ReachRow(TDBGrid* grid, int row, bool keys)
    {
        if (!keys)
            return d->ClickRow(grid, row);
        d->Key(grid, VK_HOME, TShiftState() << ssCtrl);
        for (int i = 0; i < row; ++i)
            d->Key(grid, VK_DOWN);
    }
    // "Добавить" in the document window: the goods picked by article, a quantity, the OK.
    void PickLine(size_t g, TCents quantity, TButton* TForm2::*ok, bool keys)
    {
        d->ExpectModal(Form2, [&] {
            d->Select(Form2->Art, goods[g].Article);
            ASSERT_EQ(Form1->ADOQuery5->RecordCount(), 1);
            d->ClickRow(Form2->DBGrid1, 0);
            d->Type(Form2->ComboBox6, Figure(quantity));
            Press(Form2->*ok, keys);
            EXPECT_FALSE(d->IsShowing(Form2));
        });
        Press(Form3->Button1, keys);
    }
    // The journal's request view with the request of `r` highlighted, `script` run then.
    void AtRequest(size_t r, bool keys, const std::function<void()>& script)
    {
        InJournal([&] {
            d->Choose(Form4->RadioButton9);
            TADOQuery* q = Form1->ADOQuery6;
            int row = -1;
            for (int i = 1; i <= q->RecordCount(); ++i)
                if (q->RowDisplayText(i, q->FieldByName("Получатель")->Index()) == requests[r].Recipient)
                    row = i - 1;
            ASSERT_GE(row, 0) << requests[r].Recipient << " is not listed";
            ReachRow(Form4->DBGrid1, row, keys);
            script();
        });
    }
    std::vector<size_t> Requests(const std::function<bool(const TRequest&)>& which)
    {
        std::vector<size_t> out;
        for (size_t i = 0; i < requests.size(); ++i)
            if (!requests[i].Archived && which(requests[i]))
                out.push_back(i);
        return out;
    }

    // ------------------------------------------------------------ the steps

    void Receipt(bool keys)
    {
        const size_t g = AnyGoods();
        const TCents q = Quantity();
        step = "receipt of " + Figure(q) + " " + goods[g].Name;
        d->ExpectModal(Form3, [&] {
            d->Select(Form3->ComboBox1, 0);
            d->Type(Form3->ComboBox2, "Поставщик");
            d->Type(Form3->ComboBox3, "Иванов");
            d->Select(Form3->ComboBox4, 0);
            PickLine(g, q, &TForm2::Button7, keys);
            Press(Form3->Button4, keys);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Run([&] { keys ? d->Key(Form1->Button5, VK_RETURN) : d->Menu(Form1->N6); });
        Move(g, q);
        goods[g].Used = true;
    }

    void NewRequest(bool keys)
    {
        TRequest r;
        r.Recipient = "Цех " + IntToStr(int(requests.size()) + 1);
        r.Day = today;
        const int lines = 1 + draw.Below(2);
        for (int i = 0; i < lines; ++i) {
            const size_t g = AnyGoods();
            const TCents q = Quantity();
            r.Lines.push_back({g, q, 0, MoneyOf(q, goods[g].Price)});
        }
        step = "request " + r.Recipient;
        d->ExpectModal(Form3, [&] {
            d->Type(Form3->ComboBox2, r.Recipient);
            d->Type(Form3->ComboBox3, "Курьер");
            d->Type(Form3->ComboBox5, "Заказчик");
            d->Type(Form3->ComboBox6, IntToStr(int(requests.size()) + 100));
            for (const TRequestLine& l : r.Lines)
                PickLine(l.Goods, l.Quantity, &TForm2::Button7, keys);
            Press(Form3->Button4, keys);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Run([&] { keys ? d->Key(Form1->Button6, VK_RETURN) : d->Click(Form1->Button6); });
        for (const TRequestLine& l : r.Lines)
            goods[l.Goods].Used = true;
        requests.push_back(r);
    }

    void ImportRequest(bool keys)
    {
        const size_t g = AnyGoods();
        // Any cents: a file's single holds each such figure as its nearest, which the import
        // reads back as the decimal that was written.
        const TCents q = Quantity();
        const TCents price = 1 + draw.Below(20000);
        TRequest r;
        r.Recipient = "Цех " + IntToStr(int(requests.size()) + 1);
        r.Day = today;
        r.Lines.push_back({g, q, 0, MoneyOf(q, price)});
        step = "imported request " + r.Recipient + " of " + Figure(q) + " " + goods[g].Name;
        OrderRequestFile f;
        f.Magic = OrderRequestFile::kMagic;
        f.Customer = "Заказчик";
        f.DocumentNumber = "И-" + IntToStr(int(requests.size()));
        f.DueDate = "15.03.2027";
        f.Records.push_back({"", goods[g].Name, float(double(q) / 100), "шт", float(double(price) / 100)});
        const std::vector<uint8_t> bytes = WriteOrderRequest(f);
        const AnsiString path = w->Dir() + "order.sklad";
        std::ofstream(PathToSystem(path), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        d->ExpectModal(Form3, [&] {
            d->Type(Form3->ComboBox2, r.Recipient);
            d->Type(Form3->ComboBox3, "Курьер");
            d->AnswerFileDialog(path);
            d->AnswerMessage("Заносить несуществующие товары на склад?", mrNo);
            Press(Form3->ImportBtn, keys);
            EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 1);
            Press(Form3->Button4, keys);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Run([&] { keys ? d->Key(Form1->Button6, VK_RETURN) : d->Menu(Form1->N8); });
        goods[g].Used = true;
        requests.push_back(r);
    }

    void Issue(bool keys)
    {
        const std::vector<size_t> open = Requests([](const TRequest& r) { return !r.Issued(); });
        if (open.empty())
            return Receipt(keys);
        const size_t r = open[size_t(draw.Below(int(open.size())))];
        step = "issue invoice for " + requests[r].Recipient;
        // What the invoice takes: each line its need, as far as the stock that the lines
        // before it left goes.
        std::map<size_t, TCents> left;
        std::vector<TCents> take;
        TCents total = 0;
        for (const TRequestLine& l : requests[r].Lines) {
            const TCents stock = left.try_emplace(l.Goods, goods[l.Goods].Stock).first->second;
            const TCents t = stock > 0 ? std::min(l.Quantity - l.Issued, stock) : 0;
            left[l.Goods] = stock - t;
            take.push_back(t);
            total += t;
        }
        AtRequest(r, keys, [&] {
            d->ExpectModal(Form3, [&] {
                Press(Form3->Button4, keys);
                if (total == 0) {
                    EXPECT_TRUE(d->IsShowing(Form3)) << "an invoice of nothing is refused";
                    d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                    d->Click(Form3->Button6);
                }
                EXPECT_FALSE(d->IsShowing(Form3));
            });
            Press(Form4->Button3, keys);
        });
        for (size_t i = 0; i < take.size(); ++i) {
            requests[r].Lines[i].Issued += take[i];
            if (take[i] != 0)
                Move(requests[r].Lines[i].Goods, -take[i]);
        }
    }

    void WriteOff(bool keys)
    {
        const size_t g = AnyGoods();
        const TCents q = Quantity();
        step = "write-off of " + Figure(q) + " " + goods[g].Name;
        d->ExpectModal(Form3, [&] {
            d->Type(Form3->Edit2, "Бой");
            PickLine(g, q, &TForm2::Button3, keys);
            d->ExpectModal(Form5, [&] {
                d->Type(Form5->Edit1, "1");
                Press(Form5->Button1, keys);
            });
            Press(Form3->Button4, keys);
            EXPECT_FALSE(d->IsShowing(Form3));
        });
        d->Run([&] { d->Menu(Form1->N12); });
        Move(g, -q);
        goods[g].Used = true;
    }

    // The goods card: its figures checked, then a new price and limits stored.
    void Card(bool keys)
    {
        const size_t g = AnyGoods();
        TGoods& p = goods[g];
        const TCents price = 1 + draw.Below(20000), minimum = draw.Below(3000), maximum = draw.Below(6000);
        step = "card of " + p.Name + ": price " + Figure(price) + ", limits " + Figure(minimum) + ".." +
               Figure(maximum);
        const int row = GridRow(g);
        ASSERT_GE(row, 0);
        d->ExpectModal(Form2, [&] {
            ExpectCard(g);
            d->Type(Form2->Edit1, Figure(price));
            d->Type(Form2->Edit2, Figure(minimum));
            d->Type(Form2->Edit3, Figure(maximum));
            Press(Form2->Button7, keys);
            EXPECT_FALSE(d->IsShowing(Form2));
        });
        d->Run([&] {
            if (keys) {
                ReachRow(Form1->DBGrid1, row, true);
                d->Key(Form1->Button3, VK_RETURN);
            } else {
                d->DoubleClickRow(Form1->DBGrid1, row);
            }
        });
        p.Price = price;
        p.Minimum = minimum;
        p.Maximum = maximum;
    }

    void EditRequest(bool keys)
    {
        const std::vector<size_t> fresh = Requests([](const TRequest& r) { return !r.Started(); });
        if (fresh.empty())
            return NewRequest(keys);
        const size_t r = fresh[size_t(draw.Below(int(fresh.size())))];
        TRequest& q = requests[r];
        const size_t line = size_t(draw.Below(int(q.Lines.size())));
        const TCents quantity = Quantity();
        step = "request " + q.Recipient + ", line " + IntToStr(int(line) + 1) + " changed to " + Figure(quantity);
        // The line keeps the price it was made at: its sum over its quantity, to the cent.
        const TCents price = TCents(RoundTo(double(q.Lines[line].Sum) / double(q.Lines[line].Quantity), -2) * 100 + 0.5);
        AtRequest(r, keys, [&] {
            d->ExpectModal(Form3, [&] {
                ReachRow(Form3->DBGrid1, int(line), keys);
                d->ExpectModal(Form2, [&] {
                    d->Type(Form2->ComboBox6, Figure(quantity));
                    Press(Form2->Button7, keys);
                });
                Press(Form3->Button3, keys);
                Press(Form3->Button7, keys);
                EXPECT_FALSE(d->IsShowing(Form3));
            });
            Press(Form4->Button4, keys);
        });
        q.Lines[line].Quantity = quantity;
        q.Lines[line].Sum = MoneyOf(quantity, price);
    }

    void NewGoods(bool keys)
    {
        TGoods g;
        g.Name = "Товар " + IntToStr(int(goods.size()) + 1);
        g.Article = "N-" + IntToStr(int(goods.size()) + 1);
        g.Price = 1 + draw.Below(9999);
        step = "new goods " + g.Name;
        d->ExpectModal(Form2, [&] {
            d->Type(Form2->ComboBox1, g.Name);
            d->Type(Form2->Art, g.Article);
            d->Type(Form2->ComboBox5, "шт");
            d->Select(Form2->ComboBox7, "Склад");
            d->Type(Form2->Edit1, Figure(g.Price));
            Press(Form2->Button7, keys);
            EXPECT_FALSE(d->IsShowing(Form2));
        });
        d->Run([&] { Press(Form1->Button2, keys); });
        g.Id = w->Scalar("Select Max(ID) From Products").AsInt64();
        goods.push_back(g);
    }

    void DeleteGoods(bool keys)
    {
        const size_t g = AnyGoods();
        step = "delete " + goods[g].Name;
        const int row = GridRow(g);
        ASSERT_GE(row, 0);
        ReachRow(Form1->DBGrid1, row, keys);
        d->ClearMessages();
        d->AnswerMessage("Вы действительно хотите удалить?", mrYes);
        d->Run([&] { Press(Form1->Button4, keys); });
        const bool refused = goods[g].Used || goods[g].Stock != 0;
        const std::vector<AnsiString> told = d->MessageTexts();
        std::vector<AnsiString> expected = {"Вы действительно хотите удалить?"};
        if (refused)
            expected.push_back("Невозможно удалить - товар есть на складе или в документах");
        EXPECT_EQ(told, expected);
        goods[g].Gone = !refused;
    }

    void Archive(bool keys)
    {
        const std::vector<size_t> done = Requests([](const TRequest& r) { return r.Issued(); });
        if (done.empty())
            return Issue(keys);
        if (keys) {
            // "Экспорт в архив" by its shortcut over days picked back from today: every
            // finished document of those days goes, the requests issued in full among them;
            // requests still waiting for goods stay in the working list.
            const int from = draw.Below(today + 1), to = from + draw.Below(today - from + 1);
            step = "archive of the finished documents of days " + std::to_string(from) + " to " + std::to_string(to);
            d->ExpectModal(Form8, [&] {
                d->PickDate(Form8->Date1, DayOfWalk(from));
                d->PickDate(Form8->Date2, DayOfWalk(to));
                d->Key(Form8->Button2, VK_RETURN);
            });
            d->Run([&] { d->Key(Form1->DBGrid1, VK_DELETE, TShiftState() << ssCtrl); });
            for (TRequest& r : requests)
                if (r.Day >= from && r.Day <= to && r.Issued())
                    r.Archived = true;
            return;
        }
        const size_t r = done[size_t(draw.Below(int(done.size())))];
        step = "archive " + requests[r].Recipient;
        AtRequest(r, keys, [&] { Press(Form4->Button5, keys); });
        requests[r].Archived = true;
    }

    // ------------------------------------------------------------ what the user sees

    void ExpectCard(size_t g)
    {
        const TGoods& p = goods[g];
        const TCents reserve = Reserve(g), free = p.Stock - reserve;
        TCents surplus = std::max<TCents>(0, free - p.Maximum), shortage = std::max<TCents>(0, p.Minimum - free);
        if (shortage > 0)
            surplus = 0;
        EXPECT_EQ(Form2->Edit7->GetText(), Figure(p.Stock)) << "card: В наличии";
        EXPECT_EQ(Form2->Edit9->GetText(), ExactValue(p.Stock, p.Price)) << "card: Сумма";
        EXPECT_EQ(Form2->Edit6->GetText(), Figure(reserve)) << "card: В резерве";
        EXPECT_EQ(Form2->Edit4->GetText(), Figure(surplus)) << "card: В избытке";
        EXPECT_EQ(Form2->Edit5->GetText(), Figure(shortage)) << "card: В дефиците";
    }

    // The grid's cells as it draws them, by the visible column of `field`.
    static AnsiString GridCell(TDBGrid* grid, int row, const char* field)
    {
        for (TColumn* c : grid->VisibleColumns())
            if (c->GetFieldName() == field)
                return grid->CellText(row, c);
        return AnsiString("(no column ") + field + ")";
    }

    void ExpectGrid()
    {
        EXPECT_EQ(Form1->DBGrid1->RowCount(), int(Present().size())) << "grid rows";
        for (size_t g : Present()) {
            const int row = GridRow(g);
            if (row < 0) {
                ADD_FAILURE() << goods[g].Name << " is not in the grid";
                continue;
            }
            EXPECT_EQ(GridCell(Form1->DBGrid1, row, "Количество"), Figure(goods[g].Stock))
                << "grid: stock of " << goods[g].Name;
            EXPECT_EQ(GridCell(Form1->DBGrid1, row, "Цена"), Figure(goods[g].Price)) << "grid: price of " << goods[g].Name;
        }
    }

    // The printed bands of a report: for each band, the text each template memo printed in it.
    static std::vector<std::map<AnsiString, AnsiString>> Bands(TrpReport* report)
    {
        std::map<AnsiString, AnsiString> templateText;  // memo name -> its template text
        for (TrpComponent* o : report->GetPages(0)->GetAllObjects())
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(o))
                templateText[m->GetName()] = TrimRight(m->GetMemo()->GetText());
        std::vector<std::map<AnsiString, AnsiString>> out;
        auto* pages = dynamic_cast<TrpPreviewPages*>(report->GetPreviewPages());
        if (!pages)
            return out;
        for (int p = 0; p < pages->GetCount(); ++p) {
            std::map<TrpComponent*, std::map<AnsiString, AnsiString>> bands;
            std::vector<TrpComponent*> order;
            for (TrpComponent* o : pages->GetPage(p)->GetAllObjects())
                if (auto* m = dynamic_cast<TrpCustomMemoView*>(o)) {
                    AnsiString source = pages->Dictionary().GetSourceName(m->GetName());
                    if (const size_t dot = source.rfind('.'); dot != AnsiString::npos)
                        source = source.substr(dot + 1);
                    const auto t = templateText.find(templateText.count(m->GetName()) ? m->GetName() : source);
                    if (t == templateText.end())
                        continue;
                    if (!bands.count(m->GetParent()))
                        order.push_back(m->GetParent());
                    bands[m->GetParent()][t->second] = TrimRight(m->GetText());
                }
            for (TrpComponent* b : order)
                out.push_back(bands[b]);
        }
        return out;
    }
    // The band whose `key` memo printed `text`; null when none.
    static const std::map<AnsiString, AnsiString>* Row(const std::vector<std::map<AnsiString, AnsiString>>& bands,
                                                       const AnsiString& key, const AnsiString& text)
    {
        for (const auto& b : bands)
            if (b.count(key) && b.at(key) == text)
                return &b;
        return nullptr;
    }
    // The last text a memo printed (a running total's last page).
    static AnsiString Last(const std::vector<std::map<AnsiString, AnsiString>>& bands, const AnsiString& memo)
    {
        AnsiString out = "(not printed)";
        for (const auto& b : bands)
            if (b.count(memo))
                out = b.at(memo);
        return out;
    }
    static AnsiString Cell(const std::map<AnsiString, AnsiString>* row, const AnsiString& memo)
    {
        if (!row)
            return "(no row)";
        return row->count(memo) ? row->at(memo) : AnsiString("(no cell " + memo + ")");
    }

    // A sheet over every product; `period`, when given, picks its days on the calendars.
    std::vector<std::map<AnsiString, AnsiString>> Sheet(TRadioButton* TForm9::*kind, TReportFamily family,
                                                        const std::pair<int, int>* period = nullptr)
    {
        InBuilder([&] {
            d->Choose(Form9->*kind);
            if (period) {
                d->Choose(Form9->RadioButton5);
                d->PickDate(Form9->MonthCalendar1, DayOfWalk(period->first));
                d->PickDate(Form9->MonthCalendar2, DayOfWalk(period->second));
            }
            d->Click(Form9->Button4);  // every product
            Print([&] { d->Click(Form9->Button2); });
        });
        TrpReport* report = Shown(family);
        return report ? Bands(report) : std::vector<std::map<AnsiString, AnsiString>>{};
    }

    void ExpectSheets()
    {
        const AnsiString article = "[rpDBDataset1.\"№\"]", name = "[rpDBDataset1.\"Наименование\"]",
                         stock = "[rpDBDataset1.\"Количество\"]", reserved = "[rpDBDataset1.\"Не_выдано\"]",
                         left = "[rpDBDataset1.\"O\"]", price = "[rpDBDataset1.\"Цена\"]",
                         out = "[rpDBDataset1.\"R\"]", minimum = "[rpDBDataset1.\"Минимум\"]",
                         maximum = "[rpDBDataset1.\"Максимум\"]";
        const std::vector<std::map<AnsiString, AnsiString>> state =
            Sheet(&TForm9::RadioButton1, TReportFamily::StockState);
        // The turnover over the whole period (the days of the first and the last document that
        // moved stock; none: today) or over days picked on the calendars.
        std::pair<int, int> period = firstMove > lastMove ? std::make_pair(today, today)
                                                          : std::make_pair(firstMove, lastMove);
        const bool picked = draw.Below(2) == 1;
        if (picked) {
            period.first = draw.Below(today + 1);
            period.second = period.first + draw.Below(today - period.first + 1);
        }
        SCOPED_TRACE("turnover from day " + std::to_string(period.first) + " to day " + std::to_string(period.second));
        const std::vector<std::map<AnsiString, AnsiString>> turnover =
            Sheet(&TForm9::RadioButton2, TReportFamily::Turnover, picked ? &period : nullptr);
        EXPECT_EQ(Last(turnover, "С [a] по [b]"),
                  "С " + DateToStr(DayOfWalk(period.first)) + " по " + DateToStr(DayOfWalk(period.second)));
        TCents value = 0, reserveValue = 0, leftValue = 0;
        for (size_t g : Present()) {
            const TGoods& p = goods[g];
            const TCents reserve = Reserve(g);
            SCOPED_TRACE(p.Name);
            const auto* s = Row(state, article, p.Article);
            EXPECT_EQ(Cell(s, stock), Figure(p.Stock)) << "stock state";
            EXPECT_EQ(Cell(s, reserved), Figure(reserve)) << "stock state";
            EXPECT_EQ(Cell(s, left), Figure(p.Stock - reserve)) << "stock state";
            EXPECT_EQ(Cell(s, kStockValue), Figure(MoneyOf(p.Stock, p.Price))) << "stock state";
            EXPECT_EQ(Cell(s, out), Figure(p.Out)) << "stock state";
            EXPECT_EQ(Cell(s, price), Figure(p.Price)) << "stock state";
            EXPECT_EQ(Cell(s, minimum), Figure(p.Minimum)) << "stock state";
            EXPECT_EQ(Cell(s, maximum), Figure(p.Maximum)) << "stock state";
            value += MoneyOf(p.Stock, p.Price);
            const auto* t = Row(turnover, name, p.Name);
            const TCents atEnd = StockAfter(g, period.second),
                         waiting = Reserve(g, period.first, period.second);
            EXPECT_EQ(Cell(t, left), Figure(atEnd)) << "turnover";
            EXPECT_EQ(Cell(t, reserved), Figure(waiting)) << "turnover";
            EXPECT_EQ(Cell(t, price), Figure(p.Price)) << "turnover";
            EXPECT_EQ(Cell(t, kTurnoverLeftValue), Figure(MoneyOf(atEnd, p.Price))) << "turnover";
            EXPECT_EQ(Cell(t, kTurnoverReserveValue), Figure(MoneyOf(waiting, p.Price))) << "turnover";
            reserveValue += MoneyOf(waiting, p.Price);
            leftValue += MoneyOf(atEnd, p.Price);
        }
        EXPECT_EQ(Last(state, kStockTotal), Figure(value)) << "stock state: total";
        EXPECT_EQ(Last(turnover, kTurnoverLeftTotal), Figure(leftValue)) << "turnover: total";
        EXPECT_EQ(Last(turnover, kTurnoverReserveTotal), Figure(reserveValue)) << "turnover: total";
    }

    void ExpectOrderState(size_t r)
    {
        const TRequest& q = requests[r];
        SCOPED_TRACE("order state of " + q.Recipient);
        const bool keys = draw.Keys();
        AtRequest(r, keys, [&] { Print([&] { Press(Form4->Button6, keys); }); });
        TrpReport* report = Shown(TReportFamily::OrderState);
        ASSERT_NE(report, nullptr);
        const std::vector<std::map<AnsiString, AnsiString>> bands = Bands(report);
        TCents total = 0;
        int line = 0;
        for (const TRequestLine& l : q.Lines) {
            const auto* row = Row(bands, "[Line#]", IntToStr(++line));
            EXPECT_EQ(Cell(row, "[rpDBDataset2.\"Наименование\"]"), goods[l.Goods].Name);
            EXPECT_EQ(Cell(row, "[rpDBDataset2.\"Количество\"]"), Figure(l.Quantity));
            EXPECT_EQ(Cell(row, "[rpDBDataset2.\"Отпущено\"]"), Figure(l.Issued));
            EXPECT_EQ(Cell(row, kStillNeeded), Figure(std::max<TCents>(0, l.Quantity - l.Issued)));
            EXPECT_EQ(Cell(row, "[rpDBDataset2.\"Сумма\"]"), Figure(l.Sum));
            total += l.Sum;
        }
        EXPECT_EQ(Last(bands, "[SUM(StrToFloat(<rpDBDataset2.\"Сумма\">),MasterData1,2)]"), Figure(total));
    }

    void ExpectAll(bool withSheets)
    {
        ExpectGrid();
        // One card and one request after each step keep the walk quick; over the walk every
        // product and request comes round.
        const size_t g = AnyGoods();
        d->ExpectModal(Form2, [&] {
            ExpectCard(g);
            d->Click(Form2->Button6);
        });
        d->Run([&] { d->DoubleClickRow(Form1->DBGrid1, GridRow(g)); });
        if (!requests.empty()) {
            const std::vector<size_t> listed = Requests([](const TRequest&) { return true; });
            if (!listed.empty())
                ExpectOrderState(listed[size_t(draw.Below(int(listed.size())))]);
        }
        if (withSheets)
            ExpectSheets();
    }

    void Walk(uint64_t seed, int steps)
    {
        if (HasFailure())
            return;
        draw.State = seed;
        using TStep = void (StockWalkTest::*)(bool);
        const TStep kinds[] = {&StockWalkTest::Receipt,     &StockWalkTest::Receipt,       &StockWalkTest::NewRequest,
                               &StockWalkTest::Issue,       &StockWalkTest::Issue,         &StockWalkTest::WriteOff,
                               &StockWalkTest::Card,        &StockWalkTest::EditRequest,   &StockWalkTest::NewGoods,
                               &StockWalkTest::DeleteGoods, &StockWalkTest::Archive,       &StockWalkTest::ImportRequest};
        for (int i = 0; i < steps; ++i) {
            const int kind = draw.Below(int(std::size(kinds)));
            const TStep s = kinds[kind];
            const bool keys = draw.Keys();
            ++drawn[{kind, keys}];
            SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(i + 1));
            (this->*s)(keys);
            // The sheets take longest to print: every third step and the last.
            ExpectAll(i % 3 == 2 || i + 1 == steps);
            // Now and then the day ends: the next steps are dated the day after.
            if (draw.Below(5) == 0)
                d->SetNow(DayOfWalk(++today));
            if (HasFailure()) {
                ADD_FAILURE() << "at " << step << (keys ? " (keyboard)" : " (mouse)");
                return;
            }
        }
    }

    static constexpr const char* kStockValue = "[rpDBDataset1.\"Сумма\"]";
    static constexpr const char* kStockTotal = "[SUM(StrToFloat(<rpDBDataset1.\"Сумма\">),MasterData1,2)]";
    static constexpr const char* kTurnoverLeftValue = "[rpDBDataset1.\"Сумма_O\"]";
    static constexpr const char* kTurnoverLeftTotal = "[SUM(StrToFloat(<rpDBDataset1.\"Сумма_O\">),MasterData1,2)]";
    static constexpr const char* kTurnoverReserveValue = "[rpDBDataset1.\"Сумма_Не_выдано\"]";
    static constexpr const char* kTurnoverReserveTotal =
        "[SUM(StrToFloat(<rpDBDataset1.\"Сумма_Не_выдано\">),MasterData1,2)]";
    static constexpr const char* kStillNeeded = "[rpDBDataset2.\"Требуется\"]";

    std::map<std::pair<int, bool>, int> drawn;  // step kind and keyboard: how often drawn
    std::vector<TGoods> goods;
    std::vector<TRequest> requests;
    TDraw draw{1};
    AnsiString step;
    int today = 0;                                 // day of the walk; 0 is 10.03.2027
    int firstMove = INT_MAX, lastMove = INT_MIN;   // days of the first and last stock document
};

TEST_F(StockWalkTest, EveryFigureShownFollowsTheDocumentsOfARandomWalk)
{
    for (const uint64_t seed : {20261208u, 7u, 1991u})
        Walk(seed, 60);
    // Every route was walked both ways.
    for (int kind = 0; kind < 12; ++kind)
        for (const bool keys : {false, true})
            EXPECT_GT(drawn[std::make_pair(kind, keys)], 0) << "step kind " << kind << (keys ? " by the keyboard" : " by the mouse");
}

}  // namespace

#include "tools/TemplateBuilder.h"

#include "report/model/rpBands.h"
#include "report/model/rpClass.h"
#include "report/model/rpDBSet.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <functional>
#include <vector>

namespace {

// ---------------------------------------------------------------- layout constants

constexpr int kPortraitWidth = 718;    // 190 mm of printable width
constexpr int kLandscapeWidth = 1046;  // 277 mm
constexpr int kTitleHeight = 24;
constexpr int kLineHeight = 19;
constexpr int kColumnTitleHeight = 34;
constexpr int kRowHeight = 20;
constexpr int kLineNoWidth = 38;  // "№ п.п."
// A fixed creation date, so that the files are the same however often they are built.
constexpr double kTemplateDate = 45658;  // 01.01.2025

AnsiString Field(const char* ds, const char* field) { return AnsiString("[") + ds + ".\"" + field + "\"]"; }
AnsiString Ref(const char* ds, const char* field) { return AnsiString("<") + ds + ".\"" + field + "\">"; }
AnsiString Num(const char* ds, const char* field) { return "StrToFloat(" + Ref(ds, field) + ")"; }
// Money of the stock sheets (a price times a quantity) comes from the query rounded to the
// kopeck, so that each printed row is a whole sum and the total is the sum of the rows printed.
//
// Totals are running totals (flag 2): a footer that reset after every page would print only
// the last page's lines as "Итого" of a document of several pages, disagreeing with the
// amount in words, which covers the whole document.
AnsiString Sum(const AnsiString& expr) { return "[SUM(" + expr + ",MasterData1,2)]"; }

// ---------------------------------------------------------------- families

enum class TColKind { Plain, Name, Sizes, Colour };

struct TColumn {
    AnsiString Title;  // empty: printed under the name column's title
    AnsiString Text;   // the cell's memo text
    int Width;         // 0 for the name column, which takes the rest
    TColKind Kind = TColKind::Plain;
    TrpHAlign Align = haRight;
    AnsiString Picture;  // a numeric picture for the cell's value; empty: as computed
};

struct TTotal {
    int Column;  // index into the family's columns
    AnsiString Text;
};

struct TBuild;
using TFooterFn = std::function<void(TBuild&, int& y)>;

struct TFamily {
    int Base;
    bool Landscape;
    const char* Lines;                 // the master band's dataset
    std::vector<AnsiString> Titles;    // centred; the first one large
    std::vector<AnsiString> Info;      // left-aligned lines under the titles
    std::vector<TColumn> Columns;
    std::vector<TTotal> Totals;        // an "Итого :" row in the column footer
    TFooterFn Footer;                  // further column-footer lines
    std::vector<const char*> Variables;
};

TColumn LineNo() { return {"№ п.п.", "[Line#]", kLineNoWidth, TColKind::Plain, haCenter}; }
TColumn Article(const char* ds) { return {"Артикул", Field(ds, "№"), 60, TColKind::Plain, haLeft}; }
TColumn Name(const char* ds) { return {"Наименование товара", Field(ds, "Наименование"), 0, TColKind::Name, haLeft}; }
TColumn Sizes(const char* ds) { return {"", Field(ds, "Размеры"), 64, TColKind::Sizes, haLeft}; }
TColumn Colour(const char* ds) { return {"", Field(ds, "Цвет"), 64, TColKind::Colour, haLeft}; }
TColumn Unit(const char* ds) { return {"Ед. изм.", Field(ds, "Единица_измерения"), 50, TColKind::Plain, haCenter}; }
TColumn Col(const char* title, const AnsiString& text, int width, TrpHAlign align = haRight)
{
    return {title, text, width, TColKind::Plain, align};
}

// A difference of two stock figures held to the cent: 10,3 - 10,2 prints 0,1 as the goods card
// shows it, not the 0,100000000000001 of binary arithmetic.
TColumn Difference(const char* title, const AnsiString& text, int width)
{
    TColumn c = Col(title, text, width);
    c.Picture = "0.##";
    return c;
}

// ---------------------------------------------------------------- building

struct TBuild {
    TrpReport* Report = nullptr;
    TrpReportPage* Page = nullptr;
    int Width = kPortraitWidth;
    int MemoCount = 0;
    TrpBand* Band = nullptr;

    TrpMemoView* Memo(int x, int y, int w, int h, const AnsiString& text, TrpHAlign align = haLeft, int size = 10,
                      bool bold = false, bool framed = false)
    {
        auto* m = new TrpMemoView(Band);
        m->SetName("Memo" + IntToStr(++MemoCount));
        m->SetBounds(x, y, w, h);
        m->SetText(text);
        TFont font;
        font.SetName("Arial");
        font.SetSize(size);
        font.SetCharset(204);
        if (bold)
            font.SetStyle(TFontStyles{fsBold});
        m->SetFont(&font);
        m->HAlign = align;
        m->VAlign = vaCenter;
        if (framed)
            m->GetFrame()->Typ = TrpFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
        return m;
    }

    template <class B>
    B* NewBand(const char* name, int top, int height)
    {
        auto* b = new B(Page);
        b->SetName(name);
        b->SetBounds(0, top, Width, height);
        Band = b;
        return b;
    }

    // "[Page#]" "из" "[TotalPages#]" at the right of the page footer.
    void PageFooter(int top)
    {
        NewBand<TrpPageFooter>("PageFooter1", top, 22);
        const int x = Width - 130;
        Memo(x, 2, 50, 18, "[Page#]", haRight, 9);
        Memo(x + 50, 2, 30, 18, "из", haCenter, 9);
        Memo(x + 80, 2, 50, 18, "[TotalPages#]", haLeft, 9);
    }

    // A caption and a line to write on: "Принял ______".
    void Signature(int x, int y, int w, const char* caption)
    {
        auto* m = Memo(x, y, w, kLineHeight, caption, haLeft, 9);
        (void)m;
        auto* line = Memo(x + 80, y, w - 90, kLineHeight, "", haLeft, 9);
        line->GetFrame()->Typ = TrpFrameTypes{ftBottom};
    }
};

// Widths of the columns this variant prints (0 for those it leaves out); the name column
// takes what the others leave of the page width.
std::vector<int> ColumnWidths(const std::vector<TColumn>& cols, int pageWidth, bool sizes, bool colour)
{
    std::vector<int> w;
    int used = 0;
    for (const TColumn& c : cols) {
        const bool shown = (c.Kind != TColKind::Sizes || sizes) && (c.Kind != TColKind::Colour || colour);
        w.push_back(shown ? c.Width : 0);
        used += w.back();
    }
    for (size_t i = 0; i < cols.size(); ++i)
        if (cols[i].Kind == TColKind::Name)
            w[i] = pageWidth - used;
    return w;
}

std::vector<int> ColumnLefts(const std::vector<int>& widths)
{
    std::vector<int> x;
    int at = 0;
    for (int w : widths) {
        x.push_back(at);
        at += w;
    }
    return x;
}

// The title of the name column spans the sizes and colour columns that follow it.
int TitleWidth(const std::vector<TColumn>& cols, const std::vector<int>& widths, size_t i)
{
    int w = widths[i];
    if (cols[i].Kind == TColKind::Name)
        for (size_t j = i + 1; j < cols.size() && (cols[j].Kind == TColKind::Sizes || cols[j].Kind == TColKind::Colour);
             ++j)
            w += widths[j];
    return w;
}

void BuildFamily(TBuild& b, const TFamily& f, bool sizes, bool colour)
{
    const auto widths = ColumnWidths(f.Columns, b.Width, sizes, colour);
    const auto lefts = ColumnLefts(widths);

    b.PageFooter(0);

    // Column header: the title block, then the column titles.
    int y = 0;
    auto* header = b.NewBand<TrpColumnHeader>("ColumnHeader1", 40, 0);
    for (size_t i = 0; i < f.Titles.size(); ++i) {
        const int h = i == 0 ? kTitleHeight : kLineHeight + 1;
        b.Memo(0, y, b.Width, h, f.Titles[i], haCenter, i == 0 ? 12 : 10, true);
        y += h;
    }
    y += 4;
    for (const AnsiString& line : f.Info) {
        b.Memo(0, y, b.Width, kLineHeight, line, haLeft, 10);
        y += kLineHeight;
    }
    y += 6;
    for (size_t i = 0; i < f.Columns.size(); ++i)
        if (widths[i] > 0 && !f.Columns[i].Title.empty())
            b.Memo(lefts[i], y, TitleWidth(f.Columns, widths, i), kColumnTitleHeight, f.Columns[i].Title, haCenter, 9,
                   true, true);
    y += kColumnTitleHeight;
    header->SetHeight(y);

    // One row per line of the dataset.
    const int masterTop = 60 + y;
    auto* master = b.NewBand<TrpMasterData>("MasterData1", masterTop, kRowHeight);
    master->SetDataSet(dynamic_cast<TrpDataSet*>(b.Report->Owner()->FindComponent(f.Lines)));
    master->SetRowCount(0);
    // A text wider than its cell wraps; the whole row grows with it, so nothing is cut off and
    // the cells of a row keep one height.
    master->Stretched = true;
    for (size_t i = 0; i < f.Columns.size(); ++i)
        if (widths[i] > 0) {
            TrpMemoView* cell =
                b.Memo(lefts[i], 0, widths[i], kRowHeight, f.Columns[i].Text, f.Columns[i].Align, 9, false, true);
            cell->StretchMode = smMaxHeight;
            if (!f.Columns[i].Picture.empty()) {
                cell->GetDisplayFormat()->Kind = fkNumeric;
                cell->GetDisplayFormat()->FormatStr = f.Columns[i].Picture;
            }
        }

    if (f.Totals.empty() && !f.Footer)
        return;
    auto* footer = b.NewBand<TrpColumnFooter>("ColumnFooter1", masterTop + kRowHeight + 20, 0);
    y = 0;
    if (!f.Totals.empty()) {
        const int first = lefts[static_cast<size_t>(f.Totals.front().Column)];
        b.Memo(0, y, first, kRowHeight, "Итого : ", haRight, 9, true);
        for (const TTotal& t : f.Totals)
            b.Memo(lefts[static_cast<size_t>(t.Column)], y, widths[static_cast<size_t>(t.Column)], kRowHeight, t.Text,
                   haRight, 9, true, true);
        y += kRowHeight + 8;
    }
    if (f.Footer)
        f.Footer(b, y);
    footer->SetHeight(y + 4);
}

// "<label> [Summa]" with "(прописью)" under the text: the total in words.
TFooterFn InWords(const char* label, std::vector<const char*> signatures, const char* store = nullptr)
{
    return [=](TBuild& b, int& y) {
        b.Memo(0, y, 220, kLineHeight, label, haLeft, 10);
        auto* words = b.Memo(220, y, b.Width - 220, kLineHeight, "[Summa]", haLeft, 10);
        words->GetFrame()->Typ = TrpFrameTypes{ftBottom};
        y += kLineHeight;
        b.Memo(220, y, b.Width - 220, 14, "(прописью)", haCenter, 7);
        y += 22;
        if (store) {
            b.Memo(0, y, b.Width, kLineHeight, store, haLeft, 10);
            y += kLineHeight + 8;
        }
        const int w = signatures.empty() ? 0 : b.Width / static_cast<int>(signatures.size());
        for (size_t i = 0; i < signatures.size(); ++i)
            b.Signature(static_cast<int>(i) * w, y, w - 10, signatures[i]);
        if (!signatures.empty())
            y += kLineHeight + 6;
    };
}

std::vector<TFamily> Families()
{
    const char* D1 = "rpDBDataset1";
    const char* D2 = "rpDBDataset2";
    const char* D5 = "rpDBDataset5";
    std::vector<TFamily> f;

    // 1 receipt invoice
    f.push_back({1, false, D2,
                 {"ПРИХОДНАЯ   НАКЛАДНАЯ  № [rpDBDataset1.\"№_заказа\"]", "От  [rpDBDataset1.\"Дата\"] г."},
                 {"[rpDBDataset3.\"Название\"]", "ИНН: [rpDBDataset3.\"ИНН\"]"},
                 {LineNo(), Name(D2), Sizes(D2), Colour(D2), Unit(D2), Col("Цена", Field(D2, "Цена"), 70),
                  Col("Кол-во", Field(D2, "Количество"), 60), Col("Сумма", Field(D2, "Сумма"), 80)},
                 {{7, Sum(Num(D2, "Сумма"))}},
                 InWords("Принято ценностей на сумму:", {"Принял", "Сдал"}),
                 {"Summa"}});
    // 2 issue invoice
    f.push_back({2, false, D2,
                 {"РАСХОДНАЯ   НАКЛАДНАЯ  № [rpDBDataset1.\"№_заказа\"]", "От  [rpDBDataset1.\"Дата_создания\"] г."},
                 {"[rpDBDataset3.\"Название\"]", "ИНН: [rpDBDataset3.\"ИНН\"]"},
                 {LineNo(), Name(D2), Sizes(D2), Colour(D2), Unit(D2), Col("Цена", Field(D2, "Цена"), 70),
                  Col("Кол-во", Field(D2, "Количество"), 60), Col("Сумма с НДС", Field(D2, "Сумма_с_НДС"), 80)},
                 {{7, Sum(Num(D2, "Сумма_с_НДС"))}},
                 InWords("Отпущено ценностей на сумму:", {}, "Склад [itog]"),
                 {"itog", "Summa"}});
    // 3 sales receipt
    f.push_back({3, false, D2,
                 {"ТОВАРНЫЙ ЧЕК  № [rpDBDataset1.\"№_заказа\"] ОТ [rpDBDataset1.\"Дата\"] г."},
                 {"[rpDBDataset3.\"Название\"]", "[rpDBDataset3.\"Адрес\"]"},
                 {LineNo(), Name(D2), Sizes(D2), Colour(D2), Unit(D2), Col("Цена", Field(D2, "Цена"), 70),
                  Col("Кол-во", Field(D2, "Количество"), 60), Col("Сумма", Field(D2, "Сумма"), 80)},
                 {{7, Sum(Num(D2, "Сумма"))}},
                 [](TBuild& b, int& y) {
                     b.Memo(0, y, 200, kLineHeight, "Всего наименований :", haLeft, 10);
                     b.Memo(200, y, 80, kLineHeight, "[MAX(<Line#>)]", haLeft, 10);
                     y += kLineHeight;
                     b.Memo(0, y, 200, kLineHeight, "Сумма :", haLeft, 10);
                     auto* words = b.Memo(200, y, b.Width - 200, kLineHeight, "[Summa]", haLeft, 10);
                     words->GetFrame()->Typ = TrpFrameTypes{ftBottom};
                     y += kLineHeight + 10;
                     const int w = b.Width / 3;
                     b.Signature(0, y, w - 10, "Оформил");
                     b.Signature(w, y, w - 10, "Отпустил");
                     b.Signature(2 * w, y, w - 10, "Получил");
                     y += kLineHeight + 6;
                 },
                 {"itog", "Summa"}});
    // The buyer goes into the info block of the sales receipt as a label and its value.
    // (Added below, because it is two memos on one line.)

    // 4 turnover
    f.push_back({4, false, D1,
                 {"ОБОРОТНАЯ ВЕДОМОСТЬ", "Склад [c]", "С [a] по [b]"},
                 {"[rpDBDataset2.\"Название\"]", "ИНН: [rpDBDataset2.\"ИНН\"]"},
                 {LineNo(), Name(D1), Sizes(D1), Colour(D1), Unit(D1), Col("Цена", Field(D1, "Цена"), 60),
                  Col("Не выдано", Field(D1, "Не_выдано"), 56), Col("Сумма", Field(D1, "Сумма_Не_выдано"), 70),
                  Col("Остаток", Field(D1, "O"), 56), Col("Сумма", Field(D1, "Сумма_O"), 70)},
                 {{7, Sum(Num(D1, "Сумма_Не_выдано"))}, {9, Sum(Num(D1, "Сумма_O"))}},
                 nullptr,
                 {"a", "b", "c"}});
    // 5 stock state (landscape)
    f.push_back({5, true, D1,
                 {"ОТЧЕТ О СОСТОЯНИИ ТОВАРА НА СКЛАДЕ НА [Date]", "Склад [itog]"},
                 {},
                 {LineNo(), Article(D1), Name(D1), Sizes(D1), Colour(D1), Unit(D1), Col("Цена", Field(D1, "Цена"), 64),
                  Col("Кол-во", Field(D1, "Количество"), 56), Col("Сумма", Field(D1, "Сумма"), 80),
                  Col("Минимум", Field(D1, "Минимум"), 66), Col("Максимум", Field(D1, "Максимум"), 66),
                  Col("Не выдано", Field(D1, "Не_выдано"), 60), Col("Остаток", Field(D1, "O"), 60),
                  Col("Расход", Field(D1, "R"), 60)},
                 {{8, Sum(Num(D1, "Сумма"))}},
                 nullptr,
                 {"itog"}});
    // 6 shortage
    f.push_back({6, false, D1,
                 {"ДЕФИЦИТ ТОВАРА НА [Date]", "Склад [itog]"},
                 {},
                 {LineNo(), Article(D1), Name(D1), Sizes(D1), Colour(D1), Unit(D1), Col("Цена", Field(D1, "Цена"), 52),
                  Col("Кол-во", Field(D1, "Количество"), 44), Col("Мин.", Field(D1, "Минимум"), 40),
                  Col("Макс.", Field(D1, "Максимум"), 40), Col("Не выдано", Field(D1, "Не_выдано"), 54),
                  Difference("Дефицит", "[(" + Num(D1, "Минимум") + "-" + Num(D1, "Количество") + ")+" + Num(D1, "Не_выдано") + "]",
                      58),
                  Difference("До макс.", "[(" + Num(D1, "Максимум") + "+" + Num(D1, "Не_выдано") + ")-" + Num(D1, "Количество") +
                                      "]",
                      52)},
                 {},
                 nullptr,
                 {"itog"}});
    // 7 surplus
    f.push_back({7, false, D1,
                 {"ИЗБЫТОК ТОВАРА НА [Date]", "Склад [itog]"},
                 {},
                 {LineNo(), Article(D1), Name(D1), Sizes(D1), Colour(D1), Unit(D1), Col("Цена", Field(D1, "Цена"), 56),
                  Col("Кол-во", Field(D1, "Количество"), 50), Col("Макс.", Field(D1, "Максимум"), 46),
                  Col("Не выдано", Field(D1, "Не_выдано"), 54),
                  Difference("Избыток", "[" + Num(D1, "Количество") + "-" + Num(D1, "Максимум") + "-" + Num(D1, "Не_выдано") + "]",
                      56)},
                 {},
                 nullptr,
                 {"itog"}});
    // 8 order request
    f.push_back({8, false, D2,
                 {"ЗАЯВКА НА ЗАКАЗ № [rpDBDataSet1.\"№_заказа\"] ОТ [rpDBDataset1.\"Дата_создания\"]", "Склад [itog]"},
                 {"Дата сдачи: [rpDBDataset1.\"Дата_сдачи\"]", "Получатель: [rpDBDataset1.\"Получатель\"]",
                  "Через кого: [rpDBDataset1.\"Через_кого\"]"},
                 {LineNo(), Article(D2), Name(D2), Sizes(D2), Colour(D2), Unit(D2), Col("Цена", Field(D2, "Цена"), 66),
                  Col("Кол-во", Field(D2, "Количество"), 56), Col("Сумма", Field(D2, "Сумма"), 76)},
                 {{8, Sum(Num(D2, "Сумма"))}},
                 nullptr,
                 {"itog"}});
    // 9 write-off act
    f.push_back({9, false, D2,
                 {"АКТ О СПИСАНИИ  ОТ [rpDBDataset1.\"Дата_создания\"]", "[itog]"},
                 {"Причина: [rpDBDataset1.\"Причина\"]"},
                 {LineNo(), Article(D2), Name(D2), Sizes(D2), Colour(D2), Unit(D2), Col("Цена", Field(D2, "Цена"), 66),
                  Col("Кол-во", Field(D2, "Количество"), 56), Col("Сумма", Field(D2, "Сумма"), 76)},
                 {{8, Sum(Num(D2, "Сумма"))}},
                 nullptr,
                 {"itog"}});
    // 10 .. 12 purchase requests: by supplier, by order, plain
    const auto purchase = [&](int base, std::vector<AnsiString> titles, bool supplier) {
        std::vector<TColumn> cols = {LineNo(), Article(D1), Name(D1), Sizes(D1), Colour(D1), Unit(D1)};
        if (supplier)
            cols.push_back(Col("Поставщик", Field(D1, "Имя_поставщика"), 110, haLeft));
        cols.push_back(Col("Цена", Field(D1, "Цена"), 62));
        cols.push_back(Col("Кол-во", Field(D1, "Не_выдано"), 56));
        cols.push_back(Col("Сумма", Field(D1, "Сумма"), 76));
        const int last = static_cast<int>(cols.size()) - 1;
        f.push_back({base, false, D1, std::move(titles), {}, cols, {{last, Sum(Num(D1, "Сумма"))}}, nullptr,
                     {"Summa"}});
    };
    purchase(10, {"ЗАЯВКА НА ПРИОБРЕТЕНИЕ ТОВАРА НА [Date]", "Поставщик [Summa]"}, false);
    purchase(11, {"ЗАЯВКА НА ПРИОБРЕТЕНИЕ ТОВАРА НА [Date]", "Заказ № [Summa]"}, true);
    purchase(12, {"ЗАЯВКА НА ПРИОБРЕТЕНИЕ ТОВАРА НА [Date]"}, true);
    // 13: the order state is built by BuildOrderState.
    f.push_back({13, true, D2, {}, {}, {}, {}, nullptr, {"itog"}});
    // 14 .. 17 the journal's lists
    const auto list = [&](int base, const char* title, std::vector<TColumn> cols) {
        cols.insert(cols.begin(), LineNo());
        f.push_back({base, false, D5, {title}, {}, std::move(cols), {}, nullptr, {"Summa"}});
    };
    const auto date = Col("Дата", Field(D5, "Дата_создания"), 76, haCenter);
    list(14, "СПИСОК ПРИХОДНЫХ ДОКУМЕНТОВ НА [Date]",
         {date, Col("Тип документа", Field(D5, "Тип_документа"), 110, haLeft),
          Col("Вид оплаты", Field(D5, "Вид_оплаты"), 90, haLeft),
          {"Поставщик", Field(D5, "Имя_поставщика"), 0, TColKind::Name, haLeft},
          Col("Через кого", Field(D5, "Через_кого"), 120, haLeft), Col("№ заказа", Field(D5, "№_заказа"), 70, haLeft)});
    list(15, "СПИСОК НАКЛАДНЫХ НА ОТПУСК НА [Date]",
         {date, {"Получатель", Field(D5, "Получатель"), 0, TColKind::Name, haLeft},
          Col("Заказчик", Field(D5, "Заказчик"), 160, haLeft), Col("№ заказа", Field(D5, "№_заказа"), 70, haLeft),
          Col("Через кого", Field(D5, "Через_кого"), 140, haLeft)});
    list(16, "СПИСОК ЗАЯВОК  НА [Date]",
         {date, {"Получатель", Field(D5, "Получатель"), 0, TColKind::Name, haLeft},
          Col("Заказчик", Field(D5, "Заказчик"), 110, haLeft), Col("№ заказа", Field(D5, "№_заказа"), 60, haLeft),
          Col("Через кого", Field(D5, "Через_кого"), 100, haLeft),
          Col("Дата сдачи", Field(D5, "Дата_сдачи"), 70, haCenter),
          Col("Отпуск товара", Field(D5, "Отпуск_товара"), 90, haLeft)});
    list(17, "СПИСОК АКТОВ НА СПИСАНИЕ НА [Date]",
         {date, {"Причина", Field(D5, "Причина"), 0, TColKind::Name, haLeft}});
    return f;
}

// The order-state report: its memos stand in the order of the program's own template.
void BuildOrderState(TBuild& b, bool sizes, bool colour)
{
    const char* D2 = "rpDBDataset2";
    enum { LineNoC, ArticleC, NameC, SizesC, ColourC, UnitC, PriceC, QtyC, SumC, IssuedC, NeededC };
    const std::vector<TColumn> cols = {
        LineNo(), Article(D2), Name(D2), Sizes(D2), Colour(D2), Unit(D2), Col("Цена", Field(D2, "Цена"), 70),
        Col("Кол-во", Field(D2, "Количество"), 60), Col("Сумма", Field(D2, "Сумма"), 80),
        Col("Отпущено", Field(D2, "Отпущено"), 70),
        Col("Требуется", Field(D2, "Требуется"), 70)};
    const auto w = ColumnWidths(cols, b.Width, sizes, colour);
    const auto x = ColumnLefts(w);
    const auto cell = [&](int c, int y, int h, const AnsiString& text, TrpHAlign align, int size, bool bold) {
        b.Memo(x[c], y, c == NameC ? TitleWidth(cols, w, c) : w[c], h, text, align, size, bold, true);
    };

    b.PageFooter(0);

    auto* header = b.NewBand<TrpColumnHeader>("ColumnHeader1", 40, 0);
    const int titles = 4 + kTitleHeight + kLineHeight + 3 * kLineHeight + 10;
    for (int c : {ArticleC, NameC, UnitC, PriceC, QtyC, SumC})
        cell(c, titles, kColumnTitleHeight, cols[static_cast<size_t>(c)].Title, haCenter, 9, true);
    b.Memo(0, kTitleHeight, b.Width, kLineHeight + 1, "Склад [itog]", haCenter, 10, true);
    b.Memo(0, kTitleHeight + kLineHeight + 4 + 2 * kLineHeight, b.Width, kLineHeight,
           "Дата сдачи [rpDBDataset1.\"Дата_сдачи\"]", haLeft, 10);
    b.Memo(0, 0, b.Width, kTitleHeight,
           "СОСТОЯНИЕ ЗАКАЗА № [rpDBDataSet1.\"№_заказа\"] ОТ [rpDBDataset1.\"Дата_создания\"]", haCenter, 12, true);
    b.Memo(0, kTitleHeight + kLineHeight + 4, b.Width, kLineHeight, "Получатель: [rpDBDataSet1.\"Получатель\"]", haLeft,
           10);
    b.Memo(0, kTitleHeight + kLineHeight + 4 + kLineHeight, b.Width, kLineHeight,
           "Через кого: [rpDBDataSet1.\"Через_кого\"]", haLeft, 10);
    for (int c : {LineNoC, IssuedC, NeededC})
        cell(c, titles, kColumnTitleHeight, cols[static_cast<size_t>(c)].Title, haCenter, 9, true);
    header->SetHeight(titles + kColumnTitleHeight);

    const int masterTop = 60 + titles + kColumnTitleHeight;
    auto* master = b.NewBand<TrpMasterData>("MasterData1", masterTop, kRowHeight);
    master->SetDataSet(dynamic_cast<TrpDataSet*>(b.Report->Owner()->FindComponent(D2)));
    master->SetRowCount(0);
    master->Stretched = true;
    for (int c : {ArticleC, NameC, UnitC, PriceC, QtyC, SumC, SizesC, ColourC, LineNoC, IssuedC, NeededC})
        if (w[static_cast<size_t>(c)] > 0)
            b.Memo(x[c], 0, w[c], kRowHeight, cols[static_cast<size_t>(c)].Text, cols[static_cast<size_t>(c)].Align, 9,
                   false, true)
                ->StretchMode = smMaxHeight;

    auto* footer = b.NewBand<TrpColumnFooter>("ColumnFooter1", masterTop + kRowHeight + 20, 0);
    b.Memo(0, 0, x[SumC], kRowHeight, "Итого : ", haRight, 9, true);
    b.Memo(x[SumC], 0, w[SumC], kRowHeight, Sum(Num(D2, "Сумма")), haRight, 9, true, true);
    b.Memo(0, kRowHeight + 8, 160, kLineHeight, "Состояние заказа на", haLeft, 10);
    b.Memo(160, kRowHeight + 8, 120, kLineHeight, "[Date]", haLeft, 10);
    footer->SetHeight(kRowHeight + 8 + kLineHeight + 4);
}

// Family index and variant of template n: which columns it prints.
void VariantOf(int n, int& family, bool& sizes, bool& colour)
{
    if (n <= 17) {
        family = n - 1;
        sizes = colour = true;
        return;
    }
    family = (n - 18) / 3;
    switch ((n - 18) % 3) {
    case 0: sizes = false; colour = false; break;  // first: neither
    case 1: sizes = true; colour = false; break;   // second: sizes only
    default: sizes = false; colour = true; break;  // third: colour only
    }
}

void AddUsedDatasets(TrpReport* report)
{
    AnsiString all;
    for (TrpComponent* c : report->GetAllObjects())
        if (auto* m = dynamic_cast<TrpMemoView*>(c))
            all += AnsiUpperCase(m->GetText());
    for (int i = 1; i <= 5; ++i) {
        const AnsiString name = "rpDBDataset" + IntToStr(i);
        if (all.find(AnsiUpperCase(name) + ".") == AnsiString::npos)
            continue;
        report->GetDataSets()->Add(dynamic_cast<TrpDataSet*>(report->Owner()->FindComponent(name)));
    }
}

}  // namespace

TTemplateOwner::TTemplateOwner() : FRoot(std::make_unique<TComponent>(nullptr))
{
    FRoot->SetName("Form1");
    for (int i = 1; i <= 5; ++i) {
        auto* ds = new TrpDBDataset(FRoot.get());
        ds->SetName("rpDBDataset" + IntToStr(i));
        ds->CloseDataSource = false;
    }
}

TTemplateOwner::~TTemplateOwner() = default;

TrpReport* BuildTemplate(int n, TTemplateOwner& Owner)
{
    if (n < 1 || n > 56)
        throw EListError(Format("Шаблона отчета %d нет (1 .. 56)", {n}));
    int family = 0;
    bool sizes = true, colour = true;
    VariantOf(n, family, sizes, colour);
    static const std::vector<TFamily> families = Families();
    const TFamily& f = families[static_cast<size_t>(family)];

    auto* report = new TrpReport(Owner.Root());
    report->SetName("rpReport" + IntToStr(n));
    report->ScriptLanguage = "PascalScript";
    report->GetScriptText()->SetText("begin\r\n\r\nend.");
    report->IniFile = "\\Software\\Report Library";
    report->DotMatrixReport = false;
    report->GetPreviewOptions()->Buttons = TrpPreviewButtons::FromBits(kAllPreviewButtons);
    report->GetPreviewOptions()->Zoom = 1;
    report->GetPrintOptions()->Printer = "Default";
    report->GetReportOptions()->CreateDate = TDateTime(kTemplateDate);
    report->GetReportOptions()->LastChange = TDateTime(kTemplateDate);

    TrpVariables* vars = report->GetVariables();
    vars->Add()->SetName(" itogo");
    for (const char* v : f.Variables)
        vars->Add()->SetName(v);

    TBuild b;
    b.Report = report;
    b.Page = new TrpReportPage(report);
    b.Page->SetName("Page1");
    if (f.Landscape)
        b.Page->SetOrientation(poLandscape);
    b.Page->SetPaperWidth(f.Landscape ? 297 : 210);
    b.Page->SetPaperHeight(f.Landscape ? 210 : 297);
    b.Page->SetPaperSize(256);
    b.Page->LeftMargin = b.Page->RightMargin = b.Page->TopMargin = b.Page->BottomMargin = 10;
    b.Width = f.Landscape ? kLandscapeWidth : kPortraitWidth;

    if (f.Base == 13) {
        BuildOrderState(b, sizes, colour);
    } else {
        TFamily variant = f;
        if (f.Base == 3) {
            // The sales receipt names its buyer under the seller's details.
            variant.Info.push_back("Покупатель: [rpDBDataset4.\"Название\"]");
        }
        BuildFamily(b, variant, sizes, colour);
    }
    AddUsedDatasets(report);
    return report;
}

AnsiString TemplateFileText(int n, TTemplateOwner& Owner)
{
    std::unique_ptr<TrpReport> report(BuildTemplate(n, Owner));
    TStringStream out;
    report->SaveToStream(out);
    return AnsiToUtf8(out.DataString());
}

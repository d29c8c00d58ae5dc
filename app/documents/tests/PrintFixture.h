// PrintFixture.h - a warehouse with goods, requests and documents for the print commands, and
// what a shown report left behind: its variables and the texts of its prepared pages.
//
// Groups: Склад > Крепёж > Винты, Склад > Краски. Goods (name, group, stock, price, min, max,
// supplier):
//   Болт   Крепёж  10   2    5   8  Рога
//   Винт   Винты    1   3    4  20  О'Нил
//   Эмаль  Краски  50 100    0  20  Колор
//   Гайка  Склад    0   1    0   0  (none)
// Requests: order "7" (working, not issued): Болт 4, Винт 6 of which 1 issued; order "8"
// (working, issued): Эмаль 5 of 5; order "9" (archived, issued): Эмаль 100 of 100. So the
// reserve is Болт 4, Винт 5, the others 0.
#pragma once

#include "app/documents/tests/DocumentFixture.h"

#include "app/documents/Reports.h"

#include <vector>

class TForm9;
class TRadioButton;
class TrpReport;

class PrintTest : public DocumentTest {
protected:
    void SeedGoodsAndRequests();
    int64_t AddOrder(const AnsiString& number, const AnsiString& state, int archived);

    // The template a command showed: the family's template for the flags of table Name.
    TrpReport* Shown(TReportFamily family);
    // Texts of the memos on every prepared page of a report, in page order.
    static std::vector<AnsiString> PreparedTexts(TrpReport* report);
    static bool HasText(TrpReport* report, const AnsiString& text);
    static AnsiString Variable(TrpReport* report, const char* name);
    // Runs a print command; the report's preview window, where the program has one, is
    // answered by letting the report build and closing it.
    void Print(const std::function<void()>& command);
    // The values of one column of a query's rows, as texts, from the first row.
    static std::vector<AnsiString> Column(TADOQuery* q, const char* field);

    // The report builder opened from the main window's "Сформировать отчет", with `script` inside.
    void InBuilder(const std::function<void()>& script);
    // The report of `kind` printed from the builder over every product: `column` of the row of
    // the goods named `name` in the rows it printed, as text; "(not listed)" when none.
    AnsiString BuilderFigure(TRadioButton* TForm9::*kind, const AnsiString& name, const char* column);
    // On the prepared pages of `report`: the text printed by the template memo whose text is
    // `cell`, in the band whose memo `key` printed `keyText`; "(no row)" when there is none.
    static AnsiString PrintedCell(TrpReport* report, const AnsiString& key, const AnsiString& keyText,
                                  const AnsiString& cell);
    // The goods card's "Данные на сегодня" of a product, opened by "Просмотр" on its row of the
    // main grid: В наличии, Сумма, В резерве, В избытке, В дефиците.
    struct TCardFigures {
        AnsiString Stock, Value, Reserved, Surplus, Shortage;
    };
    TCardFigures CardFigures(int64_t product);

    int64_t bolt = 0, screw = 0, paint = 0, nut = 0;
    int64_t order7 = 0;
};

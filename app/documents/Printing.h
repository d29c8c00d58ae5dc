// Printing.h - what the printed documents and the stock reports read.
//
// Every template reads the main window's report queries through its dataset bridges:
// ADOQuery7 (rpDBDataset1: a document's header, or the rows of a stock report), ADOQuery8
// (rpDBDataset2: a document's lines joined with Products; the company on the turnover sheet),
// ADOQuery14 (rpDBDataset3: the own company), ADOQuery2 (rpDBDataset4: the buyer on a sales
// receipt). The functions here fill them with bound statements; the windows choose the
// template and give it its variables.
//
// Figures the templates print under fixed names (their column titles in brackets):
//   Не_выдано  ("Не выдано") the reserve of a product as the goods card shows it
//              (ReserveSql): what order requests, archived or not, whatever their state, still
//              wait for (ordered less issued, per line, lines issued in full left out). On the
//              turnover sheet: the reserve of the requests made within the period. On a
//              purchase request: the quantity to buy.
//   O          ("Остаток") stock state: the free stock, Количество - Не_выдано. Turnover: the
//              stock at the end of the period's last day (today's stock less what came in
//              after it, plus what went out after it).
//   R          ("Расход") stock state: everything that went out, by issue invoices and
//              write-off acts.
//   Дата       a receipt's date as the locale's date text.
// The quantity to buy on a purchase request is Минимум + reserve - Количество; on one by
// order it is what the order's requests still wait for. Goods with nothing to buy,
// no shortage or no surplus are left out of those lists; a maximum of 0 means "no maximum".
// Archived documents count like working ones in every movement: they are history too.
//
// Money is rounded to kopecks with RoundTo(x, -2), and the stock figures of a report row
// (stock, minimum, maximum, reserve, free stock, what went out) to the cent the same way, in
// the statement (SQL RoundTo), so that they and the differences printed of them are the ones
// the goods card shows, halves to the even cent alike. A document's line prints the price it was
// sold or bought at (its sum over its quantity), so price × quantity matches the sum even after
// the catalogue price changed.
#pragma once

#include "app/documents/Documents.h"
#include "app/documents/Reports.h"

#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>

class TADOQuery;

// ---------------------------------------------------------------- amount in words

// "Одна тысяча двести тридцать четыре рубля 56 копеек": the amount rounded to kopecks, the
// roubles in words (thousands feminine), the kopecks as two digits, every noun in the form
// its number asks for, the first letter capital. Negative amounts begin with "Минус";
// amounts of a thousand trillion roubles and more are written in digits.
AnsiString AmountInWords(double amount);

// ---------------------------------------------------------------- messages we add

#define SKLAD_PRINT_MESSAGES(X)                                                                   \
    X(DocumentGone, "Документ не найден: он удален или перенесен в архив другим пользователем.") \
    X(NoTemplate,   "Нет шаблона для настроек графы \"Наименование\" (таблица Name).")          \
    X(NoPeriod,     "Неверно задан период отчета: \"%s\" - \"%s\".")                            \
    X(NotPrinted,   "Документ не напечатан.\n%s")

enum class TPrintMessage {
#define X(id, text) id,
    SKLAD_PRINT_MESSAGES(X)
#undef X
};

AnsiString PrintMessage(TPrintMessage id, std::initializer_list<std::string_view> args = {});

// ---------------------------------------------------------------- the report queries

struct TReportQueries {
    TADOQuery* Header = nullptr;   // ADOQuery7
    TADOQuery* Lines = nullptr;    // ADOQuery8
    TADOQuery* Company = nullptr;  // ADOQuery14
    TADOQuery* Buyer = nullptr;    // ADOQuery2
};

// The main window's four.
TReportQueries MainReportQueries();

// ---------------------------------------------------------------- documents

struct TDocumentPrint {
    TReportFamily Family = TReportFamily::ReceiptInvoice;
    double Total = 0;  // of the lines' Сумма, or Сумма_с_НДС on an issue invoice; in kopecks
};

// Loads a saved document into the report queries: the header row, its lines in the order
// they were entered, the own company, and for a sales receipt the buyer (the own company: a
// receipt records goods the warehouse bought). A receipt of type "Копия чека" prints as the
// sales receipt, any other as the receipt invoice. Raises EDocumentError when the document
// is gone.
TDocumentPrint LoadDocumentForPrint(const TReportQueries& q, DocumentKind kind, int64_t id);

// A printed document line shows its sum (and sum with VAT) as the document's total counts it
// (CountedFigure), so that the lines, the printed total, the total in words and the window's
// total agree even for a stored sum that is not whole kopecks. A statement over a lines table
// L begins with kCountedSumsHead, takes its lines with CountedLinesFrom(L) (" From ...", to
// which joins and a Where follow) and reads C.Сумма and C.Сумма_с_НДС, and C.Цена: the goods'
// price while the line's quantity at it still gives the line's sum, else Null; its parameter
// :sums is CountedSums of the document (read on `work`).
extern const char* const kCountedSumsHead;
// The price a line of a lines table L shows, on screen and on paper alike: the goods' price
// while the line's quantity at it still gives the line's sum, else the price the sum was made at
// (its sum over its quantity, to the kopeck); the goods' price for a line of no quantity. An
// expression over C (kCountedSumsHead), L and Products.
AnsiString LinePriceSql(const char* lines);
AnsiString CountedLinesFrom(const char* lines);
AnsiString CountedSums(TADOQuery* work, const char* lines, int64_t id);

// The family of a document kind (Тип_документа matters for receipts only).
TReportFamily DocumentFamily(DocumentKind kind, const AnsiString& receiptType);

// ---------------------------------------------------------------- stock reports

enum class TStockReport { StockState, Shortage, Surplus };

// One row per marked product (V = "V"), by name.
void LoadStockRows(TADOQuery* rows, TStockReport kind);
// One row per marked product for the period from `from` to `to` (whole days, both
// included): its stock at the end (O) and the reserve of the period's requests (Не_выдано);
// the own company into `company`.
void LoadTurnoverRows(TADOQuery* rows, TADOQuery* company, TDateTime from, TDateTime to);

enum class TPurchaseKind { Plain, BySupplier, ByOrder };

// The marked goods to buy, by supplier and name; `order` for ByOrder.
void LoadPurchaseRows(TADOQuery* rows, TPurchaseKind kind, const AnsiString& order = {});

// ---------------------------------------------------------------- showing

using TReportTexts = std::initializer_list<std::pair<const char*, AnsiString>>;

// The warehouse's name: the text of the first node of the main window's groups tree.
AnsiString WarehouseName();

// Chooses the family's template by table Name, gives the named variables their fixed texts
// and shows the report (the last one cleared). When the flags choose no template the user is
// told and false returned.
bool ShowFamilyReport(TReportFamily family, TReportTexts texts);

// ---------------------------------------------------------------- print commands

// The document window's "Печать": the saved document `id` of `kind` with its family's
// template; the invoices and the sales receipt get the total in words (Summa), all but the
// receipt invoice the warehouse's name (itog). A document that is gone is told, not printed.
void PrintDocument(DocumentKind kind, int64_t id);

// The journal's "Печать": the list as it stands in ADOQuery6 (its view, filter and order)
// with the list template of the kind; the selected row stays selected.
void PrintJournalList(DocumentKind kind);

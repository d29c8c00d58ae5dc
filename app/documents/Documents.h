// Documents.h - the document model: the four kinds of stock documents, request states,
// money figures, and the writes that save, issue and archive documents.
//
// Kinds. Each kind has a header table, a lines table and a scratch table in which its lines
// live while the document window holds them (DocumentTables). Every header and line row has
// Архив: 0 working, 1 archived.
//
// Figures. Money and quantities are rounded to cents with RoundTo(x, -2) (halves to the even
// neighbour). A line's sum (LineSum) and its sum with VAT (LineVatSum) are the exact decimal
// products of the figures the user sees, rounded once: a single-precision working figure
// would put the VAT of a sum of 32768.69 at 18 % a kopeck off (38667.06 for 38667.0542).
// A document's total adds its lines' cents in extended precision (LinesTotal), so that 35
// lines of 1234.56 come to 43209.60 in the window and in the viewer, as they do on paper.
// The older single-precision rule (WorkingFigure, VatSum) still decides how a stored figure
// that is not whole cents, such as 10.005, counts in a total.
//
// Writes. Every operation that writes document rows runs in one transaction (BEGIN
// IMMEDIATE) on the main window's connection: all of it lands or none of it does. They
// throw EDocumentError (a message for the user) when the document cannot be written as it
// stands, and let the layer's EDbError through when the database refuses a statement; the
// window catches both and tells the user. Every value is bound.
//
// Not here: which window shows what (Unit3, Unit4), the write-off posting (app/documents/WriteOff.h).
#pragma once

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

#include <cstdint>
#include <string_view>
#include <initializer_list>
#include <vector>

class TADOQuery;
class TADOConnection;
class TComboBox;

// ---------------------------------------------------------------- kinds and states

enum class DocumentKind { Receipt, Request, Issue, Act };

struct TDocumentTables {
    const char* Header;  // "Documents"
    const char* Lines;   // "StructureDocuments"
    const char* Temp;    // "TempStructureDocuments"
};

const TDocumentTables& DocumentTables(DocumentKind kind);

// The columns of a kind's header table, for statements that name a column taken from a grid.
const std::vector<AnsiString>& HeaderColumns(DocumentKind kind);
bool IsHeaderColumn(DocumentKind kind, std::string_view column);

// grep ORDER: kRequestStateText
enum class RequestState { NotIssued, PartlyIssued, Issued };

const char* RequestStateText(RequestState state);  // "Не выдавался", "Частично выдан", "Выдан"

// ---------------------------------------------------------------- figures

// RoundTo(x, -2) of a value formed in extended precision: x / 10^-2 rounded to the nearest
// integer (ties to even), multiplied back.
double RoundCents(long double x);
// The sum of a document line: quantity × price of the figures as the user sees them (15
// significant digits), multiplied exactly and rounded to the cent, halves to the even cent.
// Every route that writes a line (picked, changed, built from a request, imported, posted)
// uses it, so one quantity of one product has one sum.
double LineSum(double quantity, double price);
// The sum with VAT of a line sum that carries `rate` percent: sum × (100 + rate) / 100,
// exactly, rounded to the even cent. The one VAT rule of document lines.
double LineVatSum(int rate, double sum);
// The sum with VAT of a figure as the program once formed it: rate × sum × 0.01 + sum in
// extended precision, rounded to the cent.
double VatSum(int rate, long double sum);
// A working figure of document lines (a line sum, a running total) as the program holds it:
// in single precision, which decides how a sum such as 10.005 rounds; from 131,072 up a
// single no longer holds cents, so there the figure keeps its double value.
double WorkingFigure(double x);
// A stored line figure as a document's total counts it: its working figure to the cent (a
// sum of 2.005 is the single 2.0050001, so 2.01). The printed lines take the same figure.
double CountedFigure(double stored);
// What order requests still wait for of one product, as one SQL expression over
// StructureApplication: for every request line of the product whose quantity is above what was
// issued (a figure left Null counts as 0), the quantity less the issued, added up and rounded
// to the cent by RoundTo; 0 when there is none. Every request counts, archived or not, whatever
// its state: a line of an archived or issued request that still lacks goods waits for them all
// the same. `product` is the SQL text of the product's ID (":id", "Products.ID"); `requests`,
// when given, a further condition on Application (the line's request) such as a period or an
// order. The goods card, the stock reports and the purchase requests all count the reserve by it.
AnsiString ReserveSql(const AnsiString& product, const AnsiString& requests = {});

// "Итого на сумму " + the rounded total.
AnsiString TotalCaption(double total);
// The total of a column over the rows of a query: each row's value as a working figure to
// the cent (Null counts as 0), added up; the cursor is left on the first row.
double LinesTotal(TADOQuery* q, const char* field);

// ---------------------------------------------------------------- messages we add

#define SKLAD_DOCUMENT_MESSAGES(X)                                                                \
    X(NotSaved,        "Документ не сохранен.\n%s")                                              \
    X(NotIssued,       "Накладная на отпуск не сформирована.\n%s")                                \
    X(NotArchived,     "Документы не перенесены.\n%s")                                           \
    X(UnknownProduct,  "Товара \"%s\" (%s, %s, %s, %s, группа %s) больше нет на складе.")         \
    X(NoLines,         "В документе нет ни одной строки.")                                        \
    X(NothingToIssue,  "В накладной нет товара к отпуску.")                                       \
    X(AboveMax,        "Товара \"%s\" можно отпустить не больше %s.")                                \
    X(AboveStock,      "Товара \"%s\" на складе %s, а в накладной %s.")                             \
    X(BadQuantity,     "Количество товара \"%s\" должно быть больше нуля.")                         \
    X(RequestChanged,  "Заявка уже изменена или удалена.")                                        \
    X(RequestUsed,     "Нельзя изменить заявку так как она уже использовалась")                   \
    X(ArchivedCount,   "В архив перенесено документов: %s")                                       \
    X(BadRange,        "Начало периода позже его конца.")                                         \
    X(ImportNotLoaded, "Заявка из файла не загружена.\n%s")

enum class TDocumentMessage {
#define X(id, text) id,
    SKLAD_DOCUMENT_MESSAGES(X)
#undef X
};

AnsiString DocumentMessage(TDocumentMessage id, std::initializer_list<std::string_view> args = {});

// A document that cannot be written as it stands; what() is the text for the user.
SKLAD_EXCEPTION(EDocumentError, Exception)

// ---------------------------------------------------------------- line products

// The Products.ID of the current row of a TempStructureDocuments query, or 0 when there is
// none: the line's own IDТовара when it carries one (0 when that product is gone), else the
// product whose six describing columns (Наименование, Марка, Цвет, Размеры, Единица_измерения,
// Группа) are the line's letter for letter, else the first, by ID, that equals them case
// aside. Runs its select on `work`.
int64_t LineProduct(TADOQuery* work, TADOQuery* line);

// The condition on Products that finds goods by the six describing columns, bound as :n
// (Наименование), :b, :c, :s, :u and :g. A column left Null (by an import or an older file)
// describes the goods as the empty text the windows show for it.
extern const char* const kDescribedGoods;

// ---------------------------------------------------------------- distinct-value lists

// The values of a column as the program's exclusion fill lists them: each distinct value
// once (compared without regard to case), in order of first occurrence, Null rows dropped;
// and one empty item at the end when the table is empty or its last new value occurs in
// more than one row (the lists' users pick that item to mean "none").
std::vector<AnsiString> DistinctByExclusion(const std::vector<Variant>& column);
// Empties the combo box and fills it with DistinctByExclusion of Table.Column, read in table
// order with one statement on `query`.
void FillDistinct(TADOQuery* query, TComboBox* combo, const char* table, const char* column);

// A column of Products (letters' case aside): the only names a list or a sort may put into SQL.
bool IsProductColumn(const AnsiString& name);

// A list box and the column of Products it lists.
struct TProductList {
    TComboBox* Combo;
    const char* Column;
};
// Empties each box and lists its column's values, each once, from one read of Products on
// `query`; a box whose column is not one of Products stays empty.
void FillProductLists(TADOQuery* query, std::initializer_list<TProductList> lists);

// ---------------------------------------------------------------- saving documents

struct TReceiptHeader {
    TDateTime Created = 0;
    AnsiString Number, Type, Payment, Supplier, Through;
};

struct TRequestHeader {
    TDateTime Created = 0, Due = 0;
    AnsiString Recipient, Through, Customer, Number;
};

struct TIssueHeader {
    TDateTime Created = 0;
    AnsiString Recipient, Through, Customer, Number;
    int64_t RequestId = 0;
};

// Each returns the new header's ID. The lines come from the kind's scratch table; a line
// whose product is gone, a quantity not above zero (issue: zero lines are skipped) or above
// its cap refuses the whole document.
int64_t SaveReceipt(TADOQuery* work, TADOQuery* lines, const TReceiptHeader& header);
int64_t SaveRequest(TADOQuery* work, TADOQuery* lines, const TRequestHeader& header);
int64_t SaveIssue(TADOQuery* work, TADOQuery* lines, const TIssueHeader& header);
// Replaces the header values and lines of a request that is still "Не выдавался".
void ReplaceRequest(TADOQuery* work, TADOQuery* lines, int64_t requestId, const TRequestHeader& header);

// Builds the lines of an issue invoice from a request into TempStructureOtpusk (emptied
// first): the outstanding quantity of each line, capped by what the product's stock has left
// after the lines before it, so that the lines of one product together take at most its
// stock; lines whose product has nothing left are left out. Returns the number of lines
// written. SaveIssue checks the totals again against the stock read in its transaction.
int BuildIssueLines(TADOQuery* work, TADOQuery* lines, int64_t requestId, int vatRate);

// Copies a request's lines into TempStructureDocuments (emptied first) for editing.
void LoadRequestForEdit(TADOQuery* work, TADOQuery* lines, int64_t requestId);

// ---------------------------------------------------------------- archive

// Sets Архив of the documents and of all their lines.
void SetArchived(TADOQuery* work, DocumentKind kind, const std::vector<int64_t>& ids, bool archived);
// Archives every working document created from `from` to `to` (whole days, both included),
// except order requests that are not "Выдан". Returns how many documents moved.
int ArchiveRange(TADOQuery* work, TDateTime from, TDateTime to);

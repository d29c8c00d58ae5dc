#include "app/documents/Printing.h"

#include "app/documents/Statements.h"
#include "app/shell/ShellMessages.h"
#include "app/shell/DataModule.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/Math.h"
#include "report/model/rpClass.h"

#include <algorithm>
#include <cmath>
#include <charconv>
#include <string_view>

// ---------------------------------------------------------------- amount in words

namespace {

// Index 0 masculine (рубль, миллион ...), 1 feminine (тысяча).
const char* const kOnes[2][10] = {
    {"", "один", "два", "три", "четыре", "пять", "шесть", "семь", "восемь", "девять"},
    {"", "одна", "две", "три", "четыре", "пять", "шесть", "семь", "восемь", "девять"},
};
const char* const kTeens[10] = {"десять",     "одиннадцать", "двенадцать",  "тринадцать",   "четырнадцать",
                                "пятнадцать", "шестнадцать", "семнадцать", "восемнадцать", "девятнадцать"};
const char* const kTens[10] = {"",          "",           "двадцать",  "тридцать",    "сорок",
                               "пятьдесят", "шестьдесят", "семьдесят", "восемьдесят", "девяносто"};
const char* const kHundreds[10] = {"",        "сто",      "двести",   "триста",    "четыреста",
                                   "пятьсот", "шестьсот", "семьсот", "восемьсот", "девятьсот"};

struct TNoun {
    bool Feminine;
    const char* Forms[3];  // for 1, for 2-4, for 5-20 and 0
};

// Thousand groups from the lowest: units, thousands, millions, billions, trillions.
const TNoun kScales[] = {
    {false, {"", "", ""}},
    {true, {"тысяча", "тысячи", "тысяч"}},
    {false, {"миллион", "миллиона", "миллионов"}},
    {false, {"миллиард", "миллиарда", "миллиардов"}},
    {false, {"триллион", "триллиона", "триллионов"}},
};
const TNoun kRouble = {false, {"рубль", "рубля", "рублей"}};
const TNoun kKopeck = {true, {"копейка", "копейки", "копеек"}};

// 1 рубль, 2 рубля, 5 рублей, 11 рублей, 21 рубль, 112 рублей.
int PluralForm(int64_t n)
{
    const int64_t lastTwo = n % 100;
    if (lastTwo >= 11 && lastTwo <= 14)
        return 2;
    switch (n % 10) {
    case 1: return 0;
    case 2:
    case 3:
    case 4: return 1;
    default: return 2;
    }
}

void Append(AnsiString& out, const char* word)
{
    if (!*word)
        return;
    if (!out.empty())
        out += ' ';
    out += word;
}

// One group of three digits (1 .. 999) in words.
void TripleInWords(AnsiString& out, int n, bool feminine)
{
    Append(out, kHundreds[n / 100]);
    const int rest = n % 100;
    if (rest >= 10 && rest < 20) {
        Append(out, kTeens[rest - 10]);
        return;
    }
    Append(out, kTens[rest / 10]);
    Append(out, kOnes[feminine ? 1 : 0][rest % 10]);
}

constexpr int64_t kWordsLimit = 1000000000000000LL;  // a thousand trillion

// Roubles from a thousand trillion up, in digits: the amount's 15 significant digits and the
// zeros after them ("1E24" is 1 and 24 zeros). No kopecks are held at that size, and the
// amount is beyond what a count of kopecks in 64 bits holds.
AnsiString LargeRoublesInDigits(double roubles)
{
    char text[40];
    const char* end = std::to_chars(text, text + sizeof text, roubles, std::chars_format::scientific, 14).ptr;
    const std::string_view t(text, static_cast<size_t>(end - text));  // "d.ddddddddddddddde+XX"
    const size_t e = t.find('e');
    int exponent = 0;
    std::from_chars(t.data() + e + (t[e + 1] == '+' ? 2 : 1), end, exponent);
    AnsiString digits(1, t[0]);
    digits += t.substr(2, e - 2);
    digits.resize(static_cast<size_t>(exponent) + 1, '0');  // exponent >= 15 > 14 digits after the point
    return digits;
}

}  // namespace

AnsiString AmountInWords(double amount)
{
    if (!std::isfinite(amount))
        return FloatToStr(amount);
    if (std::fabs(amount) >= double(kWordsLimit)) {
        AnsiString words;
        if (amount < 0)
            Append(words, "минус");
        const AnsiString digits = LargeRoublesInDigits(std::fabs(amount));
        Append(words, digits.c_str());
        Append(words, kRouble.Forms[PluralForm(std::stoi(std::string(digits.substr(digits.size() - 2))))]);
        Append(words, "00");
        Append(words, kKopeck.Forms[PluralForm(0)]);
        return AnsiUpperCase(words.substr(0, 1)) + words.substr(1);
    }
    const int64_t totalKopecks = Round(static_cast<long double>(RoundTo(std::fabs(amount), -2)) * 100.0L);
    const bool negative = amount < 0 && totalKopecks != 0;
    const int64_t roubles = totalKopecks / 100;
    const int kopecks = int(totalKopecks % 100);

    AnsiString words;
    if (negative)
        Append(words, "минус");
    if (roubles >= kWordsLimit) {
        Append(words, IntToStr(roubles).c_str());
    } else if (roubles == 0) {
        Append(words, "ноль");
    } else {
        int64_t rest = roubles;
        int groups[5] = {};
        for (int i = 0; i < 5; ++i, rest /= 1000)
            groups[i] = int(rest % 1000);
        for (int i = 4; i >= 0; --i) {
            if (groups[i] == 0)
                continue;
            // The units group takes the rouble's gender; the others their own.
            TripleInWords(words, groups[i], i == 0 ? kRouble.Feminine : kScales[i].Feminine);
            if (i > 0)
                Append(words, kScales[i].Forms[PluralForm(groups[i])]);
        }
    }
    Append(words, kRouble.Forms[PluralForm(roubles)]);
    const char digits[3] = {char('0' + kopecks / 10), char('0' + kopecks % 10), 0};
    Append(words, digits);
    Append(words, kKopeck.Forms[PluralForm(kopecks)]);
    return AnsiUpperCase(words.substr(0, 1)) + words.substr(1);
}

// ---------------------------------------------------------------- messages

namespace {

const char* const kPrintMessageTexts[] = {
#define X(id, text) text,
    SKLAD_PRINT_MESSAGES(X)
#undef X
};

}  // namespace

AnsiString PrintMessage(TPrintMessage id, std::initializer_list<std::string_view> args)
{
    return FillMessage(kPrintMessageTexts[static_cast<int>(id)], args);
}

// ---------------------------------------------------------------- documents

TReportQueries MainReportQueries()
{
    return {WarehouseData->ADOQuery7, WarehouseData->ADOQuery8, WarehouseData->ADOQuery14, WarehouseData->ADOQuery2};
}

TReportFamily DocumentFamily(DocumentKind kind, const AnsiString& receiptType)
{
    switch (kind) {
    case DocumentKind::Receipt:
        return AnsiSameText(receiptType, "Копия чека") ? TReportFamily::SalesReceipt : TReportFamily::ReceiptInvoice;
    case DocumentKind::Issue: return TReportFamily::IssueInvoice;
    case DocumentKind::Request: return TReportFamily::OrderRequest;
    case DocumentKind::Act: return TReportFamily::WriteOffAct;
    }
    return TReportFamily::ReceiptInvoice;
}

namespace {

// The product columns a document line prints. Its price is the goods' price while that still
// gives the line's sum, else the price the sum was made at (the catalogue changed since).
AnsiString LinesStatement(const char* lines, bool withVat)
{
    const AnsiString l = lines;
    AnsiString sql = AnsiString(kCountedSumsHead) +
        "Select Products.ID,Products.№,Products.Наименование,Products.Марка,Products.Цвет,Products.Размеры,"
        "Products.Единица_измерения,Products.Группа," +
        LinePriceSql(lines) + " As Цена," +
        l + ".Количество,C.Сумма As Сумма";
    if (withVat)
        sql += "," + l + ".Ставка,C.Сумма_с_НДС As Сумма_с_НДС";
    // A line whose product was deleted since still prints, with its quantity and sum.
    return sql + CountedLinesFrom(lines) + " Left Join Products On (" + l + ".IDТовара=Products.ID) Where " + l +
           ".IDДокумента=:id Order By " + l + ".rowid";
}

double SumOf(TADOQuery* q, const char* field)
{
    long double total = 0;
    for (q->First(); !q->Eof(); q->Next())
        if (TField* f = q->FindField(field); f && !f->IsNull())
            total += f->AsFloat();
    q->First();
    return RoundTo(double(total), -2);
}

// A figure in hundredths as a JSON number: its shortest digits as a whole number with the
// exponent raised by two ("15e16" for 1.5e15). Neither printf nor a decimal point: under the
// desktop's decimal comma printf writes "1,5e+17", two elements of the array, and SQLite's
// JSON may read a point by the C library's locale.
AnsiString Hundredths(double x)
{
    char buf[32];  // "-d.dddddddddddddddde-308"
    const char* end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific).ptr;
    const std::string_view text(buf, static_cast<size_t>(end - buf));
    const size_t e = text.find('e');
    const size_t point = text.find('.');
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), end, exponent);
    AnsiString digits(text.substr(0, std::min(point, e)));
    if (point < e) {
        digits += text.substr(point + 1, e - point - 1);
        exponent -= static_cast<int>(e - point - 1);
    }
    return digits + "e" + IntToStr(exponent + 2);
}

// A line figure as a total counts it, in kopecks, as a JSON number; null stays null. A figure
// too large to hold kopecks goes as it is, in hundredths.
void AppendKopecks(AnsiString& json, TField* f)
{
    if (!f || f->IsNull()) {
        json += "null";
        return;
    }
    const double x = f->AsFloat();
    if (!std::isfinite(x))
        json += "null";
    else if (std::fabs(x) < 1e15)
        json += IntToStr(std::llround(CountedFigure(x) * 100.0));
    else
        json += Hundredths(x);
}

// The goods' price, in hundredths, when the line's quantity at that price gives the line's sum
// to the kopeck (LineSum); else null. A sum rounded to kopecks cannot give the price back: 0.5
// at 0.05 is 0.02, and 0.02 / 0.5 would print 0.04.
void AppendPrice(AnsiString& json, TField* sum, TField* quantity, TField* price)
{
    if (sum->IsNull() || quantity->IsNull() || price->IsNull()) {
        json += "null";
        return;
    }
    const double s = CountedFigure(sum->AsFloat()), p = price->AsFloat(),
                 made = LineSum(quantity->AsFloat(), p);
    if (std::isfinite(p) && std::fabs(s) < 1e15 && std::fabs(made) < 1e15 &&
        std::llround(made * 100.0) == std::llround(s * 100.0))
        json += Hundredths(p);
    else
        json += "null";
}

}  // namespace

AnsiString LinePriceSql(const char* lines)
{
    const AnsiString l = lines;
    return "Coalesce(C.Цена,Case When " + l + ".Количество<>0 Then RoundTo(C.Сумма/" + l +
           ".Количество,-2) Else Products.Цена End)";
}

const char* const kCountedSumsHead =
    "With C As Materialized (Select json_extract(value,'$[0]') As RID,json_extract(value,'$[1]')/100.0 As Сумма,"
    "json_extract(value,'$[2]')/100.0 As Сумма_с_НДС,json_extract(value,'$[3]')/100.0 As Цена "
    "From json_each(:sums)) ";

AnsiString CountedLinesFrom(const char* lines)
{
    // The figures lead and each finds its line by rowid: one look-up a line, however many.
    const AnsiString l = lines;
    return " From C Cross Join " + l + " On (" + l + ".rowid=C.RID)";
}

AnsiString CountedSums(TADOQuery* work, const char* lines, int64_t id)
{
    const AnsiString l = lines;
    const bool withVat = l == "StructureDocuments" || l == "StructureOtpusk";
    OpenSql(work,
            "Select rowid As RID,Сумма" + AnsiString(withVat ? ",Сумма_с_НДС" : "") +
                ",Количество,(Select Цена From Products Where Products.ID=" + l + ".IDТовара) As Цена From " + l +
                " Where IDДокумента=:id Order By rowid",
            {{"id", id}});
    AnsiString json = "[";
    for (work->First(); !work->Eof(); work->Next()) {
        if (json.size() > 1)
            json += ',';
        json += "[" + work->FieldByName("RID")->AsString() + ",";
        TField* sum = work->FieldByName("Сумма");
        AppendKopecks(json, sum);
        json += ",";
        AppendKopecks(json, work->FindField("Сумма_с_НДС"));
        json += ",";
        AppendPrice(json, sum, work->FieldByName("Количество"), work->FieldByName("Цена"));
        json += "]";
    }
    work->Close();
    return json + "]";
}

TDocumentPrint LoadDocumentForPrint(const TReportQueries& q, DocumentKind kind, int64_t id)
{
    const TDocumentTables& tables = DocumentTables(kind);
    OpenSql(q.Header, AnsiString("Select * From ") + tables.Header + " Where ID=:id", {{"id", id}});
    if (q.Header->IsEmpty())
        throw EDocumentError(PrintMessage(TPrintMessage::DocumentGone));
    TDocumentPrint out;
    if (kind == DocumentKind::Receipt) {
        TField* created = q.Header->FieldByName("Дата_создания");
        const AnsiString date = created->IsNull() ? AnsiString() : DateToStr(created->AsDateTime());
        out.Family = DocumentFamily(kind, q.Header->FieldByName("Тип_документа")->AsString());
        // The templates print the receipt's date as "Дата", as text.
        OpenSql(q.Header, "Select Documents.*,:date As Дата From Documents Where ID=:id", {{"date", date}, {"id", id}});
    } else {
        out.Family = DocumentFamily(kind, {});
    }
    const bool withVat = kind == DocumentKind::Receipt || kind == DocumentKind::Issue;
    const AnsiString sums = CountedSums(q.Lines, tables.Lines, id);
    OpenSql(q.Lines, LinesStatement(tables.Lines, withVat), {{"id", id}, {"sums", sums}});
    out.Total = SumOf(q.Lines, kind == DocumentKind::Issue ? "Сумма_с_НДС" : "Сумма");
    OpenSql(q.Company, "Select * From Owner");
    if (out.Family == TReportFamily::SalesReceipt)
        OpenSql(q.Buyer, "Select Название From Owner");
    return out;
}

// ---------------------------------------------------------------- stock reports

namespace {

// The product columns of a stock report row (Products has its own O, which the reports
// replace by a figure). A figure an older file left Null is 0, as the goods card and the
// documents take it, so that goods without a stock figure are short of their minimum here too.
// The stock and its limits are figures to the cent, rounded as the goods card rounds them, so
// that a difference the report prints of them is the one the card shows.
const char* const kProductColumns =
    "Products.ID,Products.№,Products.Наименование,Products.Марка,Products.Цвет,Products.Размеры,"
    "Products.Единица_измерения,Products.Имя_поставщика,Coalesce(Products.Цена,0.0) As Цена,"
    "RoundTo(Coalesce(Products.Минимум,0.0),-2) As Минимум,RoundTo(Coalesce(Products.Максимум,0.0),-2) As Максимум,"
    "Products.Группа,RoundTo(Coalesce(Products.Количество,0.0),-2) As Количество";

// Quantities of one kind of document line, all of them or those dated `condition`
// (" >= :from" ...) by their header's creation day.
AnsiString Moved(const char* header, const char* lines, const char* condition = nullptr)
{
    const AnsiString h = header, l = lines;
    AnsiString sql = "(Select RoundTo(Coalesce(Sum(" + l + ".Количество),0.0),-2) From " + l + " Inner Join " + h + " On (" + h +
                     ".ID=" + l + ".IDДокумента) Where (" + l + ".IDТовара=Products.ID)";
    if (condition)
        sql += AnsiString(" And (") + h + ".Дата_создания" + condition + ")";
    return sql + ")";
}

// What went out of the warehouse, by issue invoices and write-off acts.
AnsiString MovedOut(const char* condition = nullptr)
{
    return Moved("Otpusk", "StructureOtpusk", condition) + "+" + Moved("Akt", "StructureAkt", condition);
}

// The reserve of the requests made within [from, to).
AnsiString PeriodReserve()
{
    return ReserveSql("Products.ID", "(Application.Дата_создания>=:from) And (Application.Дата_создания<:to)");
}

// Each row's money, price times a quantity column, by the line-sum rule (the exact product
// rounded to the even kopeck), as JSON by the row's ID: [[id,kopecks...],...]. The sheets print
// these and add them up, so a row never shows a third decimal and the total is the sum of the
// rows printed.
AnsiString RowMoney(TADOQuery* rows, std::initializer_list<const char*> quantities)
{
    AnsiString json = "[";
    for (rows->First(); !rows->Eof(); rows->Next()) {
        if (json.size() > 1)
            json += ',';
        json += "[" + rows->FieldByName("ID")->AsString();
        const double price = rows->FieldByName("Цена")->AsFloat();
        for (const char* quantity : quantities) {
            const double money = LineSum(rows->FieldByName(quantity)->AsFloat(), price);
            json += ",";
            if (!std::isfinite(money))
                json += "null";
            else if (std::fabs(money) < 1e15)
                json += IntToStr(std::llround(money * 100.0));
            else
                json += Hundredths(money);
        }
        json += "]";
    }
    return json + "]";
}

// `select` (rows of Products with its ID and Цена) once more, with the money of RowMoney
// (parameter :money) beside each row under `names`, in the order `order` gives over the
// columns (alias Z). The money leads and each row is found by its product's ID, one look-up a
// row: a join the other way round compared every row with every figure.
AnsiString WithMoney(const AnsiString& select, std::initializer_list<const char*> names, const AnsiString& order)
{
    AnsiString head = "With M As Materialized (Select json_extract(value,'$[0]') As MID";
    AnsiString columns;
    int i = 0;
    for (const char* name : names) {
        ++i;
        head += ",json_extract(value,'$[" + IntToStr(i) + "]')/100.0 As S" + IntToStr(i);
        columns += ",M.S" + IntToStr(i) + " As " + name;
    }
    return head + " From json_each(:money)) Select Z.*" + columns + " From M Cross Join (" + select +
           ") As Z On (Z.ID=M.MID) Order By " + order;
}

}  // namespace

void LoadStockRows(TADOQuery* rows, TStockReport kind)
{
    AnsiString where;
    switch (kind) {
    case TStockReport::StockState: break;
    // Compared to the cent: a free stock of 0.3 - 0.1 is at its minimum of 0.2, not 3E-17 under it.
    case TStockReport::Shortage: where = " Where RoundTo((T.Минимум-T.Количество)+T.Не_выдано,-2)>0"; break;
    // In surplus as the goods card counts it: free stock above the maximum (a maximum of 0
    // included), unless the same goods are short of their minimum, where shortage wins.
    case TStockReport::Surplus:
        where = " Where (RoundTo(T.Количество-T.Максимум-T.Не_выдано,-2)>0) And "
                "(RoundTo((T.Минимум-T.Количество)+T.Не_выдано,-2)<=0)";
        break;
    }
    const AnsiString select = AnsiString("Select T.*,RoundTo(T.Количество-T.Не_выдано,-2) As O From (Select ") +
                              kProductColumns + "," + ReserveSql("Products.ID") + " As Не_выдано,RoundTo(" + MovedOut() +
                              ",-2) As R From Products Where V='V') As T" + where;
    OpenSql(rows, select);
    const AnsiString money = RowMoney(rows, {"Количество"});
    OpenSql(rows, WithMoney(select, {"Сумма"}, "Z.Наименование,Z.ID"), {{"money", money}});
}

void LoadTurnoverRows(TADOQuery* rows, TADOQuery* company, TDateTime from, TDateTime to)
{
    const TDateTime first = DateOf(from), afterLast = TDateTime(DateOf(to).Val + 1);
    const AnsiString select = AnsiString("Select ") + kProductColumns + ",RoundTo(Coalesce(Products.Количество,0.0)-" +
                              Moved("Documents", "StructureDocuments", ">=:to") + "+" + MovedOut(">=:to") + ",-2) As O," +
                              PeriodReserve() + " As Не_выдано From Products Where V='V'";
    OpenSql(rows, select, {{"from", first}, {"to", afterLast}});
    const AnsiString money = RowMoney(rows, {"Не_выдано", "O"});
    OpenSql(rows, WithMoney(select, {"Сумма_Не_выдано", "Сумма_O"}, "Z.Наименование,Z.ID"),
            {{"money", money}, {"from", first}, {"to", afterLast}});
    OpenSql(company, "Select * From Owner");
}

void LoadPurchaseRows(TADOQuery* rows, TPurchaseKind kind, const AnsiString& order)
{
    // The quantity to buy, to the cent.
    const AnsiString need =
        kind == TPurchaseKind::ByOrder
            ? ReserveSql("Products.ID", "Application.№_заказа=:order")
            : "RoundTo(Max(RoundTo(Coalesce(Products.Минимум,0.0),-2)+" + ReserveSql("Products.ID") +
                  "-RoundTo(Coalesce(Products.Количество,0.0),-2),0),-2)";
    const AnsiString select = AnsiString("Select T.* From (Select ") + kProductColumns + "," + need +
                              " As Не_выдано From Products Where V='V') As T Where T.Не_выдано>0";
    OpenSql(rows, select, {{"order", order}});
    const AnsiString money = RowMoney(rows, {"Не_выдано"});
    OpenSql(rows, WithMoney(select, {"Сумма"}, "Z.Имя_поставщика,Z.Наименование,Z.ID"),
            {{"order", order}, {"money", money}});
}

// ---------------------------------------------------------------- showing

AnsiString WarehouseName()
{
    return WarehouseData->TopGroupName();
}

bool ShowFamilyReport(TReportFamily family, TReportTexts texts)
{
    TrpReport* report = WarehouseData->ChooseTemplate(family);
    if (!report) {
        ShowMessage(PrintMessage(TPrintMessage::NoTemplate));
        return false;
    }
    for (const auto& [name, text] : texts)
        SetReportText(report, name, text);
    report->ShowReport(true);
    return true;
}

// ---------------------------------------------------------------- print commands

void PrintDocument(DocumentKind kind, int64_t id)
{
    TDocumentPrint p;
    try {
        p = LoadDocumentForPrint(MainReportQueries(), kind, id);
    } catch (const EDocumentError& e) {
        ShowMessage(e.what());
        return;
    }
    const AnsiString words = AmountInWords(p.Total);
    switch (p.Family) {
    case TReportFamily::ReceiptInvoice: ShowFamilyReport(p.Family, {{"Summa", words}}); return;
    case TReportFamily::IssueInvoice:
    case TReportFamily::SalesReceipt: ShowFamilyReport(p.Family, {{"itog", WarehouseName()}, {"Summa", words}}); return;
    default: ShowFamilyReport(p.Family, {{"itog", WarehouseName()}}); return;
    }
}

void PrintJournalList(DocumentKind kind)
{
    TReportFamily family = TReportFamily::ReceiptsList;
    switch (kind) {
    case DocumentKind::Receipt: family = TReportFamily::ReceiptsList; break;
    case DocumentKind::Issue: family = TReportFamily::IssueInvoicesList; break;
    case DocumentKind::Request: family = TReportFamily::RequestsList; break;
    case DocumentKind::Act: family = TReportFamily::WriteOffActsList; break;
    }
    TADOQuery* list = WarehouseData->ADOQuery6;
    if (!list->Active())
        return;
    // The report walks the list to its end and closes it when it is done with it; the journal
    // gets its list back, on its own statement, with the row that was selected.
    const int row = list->RecNo();
    ShowFamilyReport(family, {{"Summa", ""}});
    if (!list->Active())
        list->Open();
    // Off its end first: a list left past its last row reports that row's number still, and
    // moving to the number it already has would leave it past the end.
    list->First();
    if (row > 1 && !list->IsEmpty())
        list->SetRecNo(std::min(row, list->RecordCount()));
}

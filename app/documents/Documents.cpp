#include "app/documents/Documents.h"

#include "app/documents/Printing.h"
#include "app/documents/Statements.h"
#include "app/shell/ShellMessages.h"
#include "platform/db/ADODB.h"
#include "platform/db/Sqlite.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/Math.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <string_view>
#include <unordered_set>
#include <unordered_map>

namespace {

// grep ORDER: DocumentKind
const TDocumentTables kTables[] = {
    {"Documents", "StructureDocuments", "TempStructureDocuments"},
    {"Application", "StructureApplication", "TempStructureDocuments"},
    {"Otpusk", "StructureOtpusk", "TempStructureOtpusk"},
    {"Akt", "StructureAkt", "TempStructureDocuments"},
};

// grep ORDER: RequestState
const char* const kRequestStateText[] = {"Не выдавался", "Частично выдан", "Выдан"};

constexpr std::string_view kMessageTexts[] = {
#define X(id, text) text,
    SKLAD_DOCUMENT_MESSAGES(X)
#undef X
};

// A column of a join is named Table.Column only when another table's column has the same
// name; either form finds it.
TField* Field(TADOQuery* q, std::string_view name)
{
    if (TField* f = q->FindField(name))
        return f;
    if (const size_t dot = name.find('.'); dot != std::string_view::npos)
        if (TField* f = q->FindField(name.substr(dot + 1)))
            return f;
    return q->FieldByName(name);  // raises, naming the field
}

// A value of a line that is compared or summed: the cell as a number, Null as 0.
double Num(TADOQuery* q, const char* field)
{
    TField* f = Field(q, field);
    return f->IsNull() ? 0.0 : f->AsFloat();
}

AnsiString Text(TADOQuery* q, const char* field)
{
    return Field(q, field)->AsString();
}

// The product of a scratch line, or the refusal that names the line.
int64_t FindLineProduct(TADOQuery* work, TADOQuery* line)
{
    if (const int64_t id = LineProduct(work, line))
        return id;
    throw EDocumentError(DocumentMessage(TDocumentMessage::UnknownProduct,
                                         {Text(line, "Наименование"), Text(line, "Марка"), Text(line, "Цвет"),
                                          Text(line, "Размеры"), Text(line, "Единица_измерения"),
                                          Text(line, "Группа")}));
}

double Stock(TADOQuery* work, int64_t productId)
{
    OpenSql(work, "Select Количество From Products Where ID=:id", {{"id", productId}});
    return work->IsEmpty() ? 0.0 : Num(work, "Количество");
}

void SetStock(TADOQuery* work, int64_t productId, double stock)
{
    ExecSql(work, "Update Products Set Количество=:q Where ID=:id", {{"q", RoundTo(stock, -2)}, {"id", productId}});
}

struct TLineFigures {
    int64_t Product;
    double Quantity, Sum, Rate, SumVat;
    int64_t RequestLine = 0;  // an issue line: the request line it is issued against (0: none known)
};

// Reads the scratch lines of a receipt or request: every line must name a product and carry
// a quantity above zero, or the document is refused before anything is written.
std::vector<TLineFigures> ReadDescribedLines(TADOQuery* work, TADOQuery* lines)
{
    OpenSql(lines, "Select * From TempStructureDocuments Order By ID");
    if (lines->IsEmpty())
        throw EDocumentError(DocumentMessage(TDocumentMessage::NoLines));
    std::vector<TLineFigures> out;
    for (lines->First(); !lines->Eof(); lines->Next()) {
        const double q = RoundTo(Num(lines, "Количество"), -2);
        if (!(q > 0))
            throw EDocumentError(DocumentMessage(TDocumentMessage::BadQuantity, {Text(lines, "Наименование")}));
        out.push_back({FindLineProduct(work, lines), q, Num(lines, "Сумма"), Num(lines, "Ставка"),
                       Num(lines, "Сумма_с_НДС")});
    }
    return out;
}

void InsertRequestLines(TADOQuery* work, int64_t id, const std::vector<TLineFigures>& lines)
{
    for (const TLineFigures& l : lines)
        ExecSql(work,
                "Insert Into StructureApplication (IDДокумента,IDТовара,Количество,Сумма,Отпущено,Архив) "
                "Values (:d,:p,:q,:s,0,0)",
                {{"d", id}, {"p", l.Product}, {"q", l.Quantity}, {"s", l.Sum}});
}

RequestState ReadRequestState(TADOQuery* work, int64_t requestId, bool& found)
{
    OpenSql(work, "Select Отпуск_товара From Application Where ID=:id", {{"id", requestId}});
    found = !work->IsEmpty();
    const AnsiString s = found ? Text(work, "Отпуск_товара") : AnsiString();
    for (int i = 0; i < 3; ++i)
        if (AnsiSameText(s, kRequestStateText[i]))
            return static_cast<RequestState>(i);
    return RequestState::NotIssued;
}

}  // namespace

// ---------------------------------------------------------------- line products

// Coalesce drops the column's collation: the parameter carries it, so case still does not count.
const char* const kDescribedGoods =
    "(Наименование=:n) And (Coalesce(Марка,'')=:b Collate RUNOCASE) And (Coalesce(Цвет,'')=:c Collate RUNOCASE) "
    "And (Coalesce(Размеры,'')=:s Collate RUNOCASE) And (Coalesce(Единица_измерения,'')=:u Collate RUNOCASE) "
    "And (Coalesce(Группа,'')=:g Collate RUNOCASE)";

int64_t LineProduct(TADOQuery* work, TADOQuery* line)
{
    // The product the user picked: two goods may share all six describing columns (one bolt
    // from two suppliers), so a line that carries its product's id keeps exactly that one.
    if (TField* picked = line->FindField("IDТовара"); picked && !picked->IsNull()) {
        const int64_t id = picked->AsLargeInt();
        OpenSql(work, "Select ID From Products Where ID=:id", {{"id", id}});
        return work->IsEmpty() ? 0 : id;
    }
    const char* const columns[] = {"Наименование", "Марка", "Цвет", "Размеры", "Единица_измерения", "Группа"};
    AnsiString values[6];
    for (int i = 0; i < 6; ++i)
        values[i] = Text(line, columns[i]);
    OpenSql(work,
            AnsiString("Select ID,Наименование,Марка,Цвет,Размеры,Единица_измерения,Группа From Products Where ") +
                kDescribedGoods + " Order By ID",
            {{"n", values[0]}, {"b", values[1]}, {"c", values[2]}, {"s", values[3]}, {"u", values[4]},
             {"g", values[5]}});
    if (work->IsEmpty())
        return 0;
    // The goods spelt as the line has them (БОЛТ and болт are two cards), else the first.
    for (work->First(); !work->Eof(); work->Next()) {
        bool spelt = true;
        for (int i = 0; i < 6 && spelt; ++i)
            spelt = Text(work, columns[i]) == values[i];
        if (spelt)
            return work->FieldByName("ID")->AsLargeInt();
    }
    work->First();
    return work->FieldByName("ID")->AsLargeInt();
}

// ---------------------------------------------------------------- kinds and states

const TDocumentTables& DocumentTables(DocumentKind kind)
{
    return kTables[static_cast<int>(kind)];
}

const std::vector<AnsiString>& HeaderColumns(DocumentKind kind)
{
    static const std::vector<AnsiString> kColumns[] = {
        {"ID", "Дата_создания", "№_заказа", "Тип_документа", "Вид_оплаты", "Имя_поставщика", "Через_кого", "Архив"},
        {"ID", "Дата_создания", "Дата_сдачи", "Получатель", "Через_кого", "Отпуск_товара", "Заказчик", "№_заказа",
         "Sort", "Архив"},
        {"ID", "Дата_создания", "Получатель", "Через_кого", "Заказчик", "№_заказа", "IDЗаявки", "Архив"},
        {"ID", "Дата_создания", "Причина", "Дата", "Архив"},
    };
    return kColumns[static_cast<int>(kind)];
}

bool IsHeaderColumn(DocumentKind kind, std::string_view column)
{
    for (const AnsiString& c : HeaderColumns(kind))
        if (AnsiSameText(c, column))
            return true;
    return false;
}

const char* RequestStateText(RequestState state)
{
    return kRequestStateText[static_cast<int>(state)];
}

// ---------------------------------------------------------------- figures

double RoundCents(long double x)
{
    if (std::isnan(x) || std::isinf(x))
        return static_cast<double>(x);
    const long double factor = IntPower(10.0L, -2);
    const long double scaled = x / factor;
    if (std::fabs(scaled) >= 9.2e18L)
        return static_cast<double>(x);
    return static_cast<double>(std::nearbyintl(scaled) * factor);
}

namespace {

// A figure as the decimal the user typed and sees: its 15 significant digits (FloatToStr's),
// digits × 10^exponent, trailing zeros dropped.
struct TDecimal {
    int64_t Digits = 0;
    int Exponent = 0;
};

TDecimal ToDecimal(double x)
{
    // Not printf: under Qt the C library takes the desktop's locale, whose decimal comma
    // would be read as a digit here.
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text - 1, x, std::chars_format::scientific, 14).ptr;
    *end = 0;  // "-d.dddddddddddddde+XX"
    TDecimal d;
    const char* p = text;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    int fraction = 0;  // digits after the point
    bool point = false;
    for (; *p && *p != 'e'; ++p) {
        if (*p == '.') {
            point = true;
            continue;
        }
        d.Digits = d.Digits * 10 + (*p - '0');
        fraction += point;
    }
    d.Exponent = (*p ? std::atoi(p + 1) : 0) - fraction;
    for (; d.Digits != 0 && d.Digits % 10 == 0; d.Digits /= 10)
        ++d.Exponent;
    if (negative)
        d.Digits = -d.Digits;
    return d;
}

}  // namespace

double LineSum(double quantity, double price)
{
    // The product of the two decimals, exactly, rounded to the cent with halves to the even
    // neighbour: 3.33 × 2.5 = 8.325 is 8.32 and 2.5 × 0.026 = 0.065 is 0.06, where a product
    // formed in binary lands just above or below the half depending on the figures.
    const long double binary = static_cast<long double>(quantity) * price;
    if (!std::isfinite(quantity) || !std::isfinite(price) || std::fabs(binary) >= 1e15L)
        return RoundCents(binary);
    const TDecimal q = ToDecimal(quantity), p = ToDecimal(price);
    __int128 digits = static_cast<__int128>(q.Digits) * p.Digits;  // below 10^30
    const int shift = -2 - (q.Exponent + p.Exponent);              // places below the cent
    if (shift <= 0)
        return RoundCents(binary);  // whole cents already
    if (shift > 32)
        return 0;  // below 10^-2 by far more than a half
    __int128 scale = 1;
    for (int i = 0; i < shift; ++i)
        scale *= 10;
    __int128 cents = digits / scale;
    const __int128 rest = (digits < 0 ? -digits : digits) % scale, half = scale / 2;
    if (rest > half || (rest == half && cents % 2 != 0))
        cents += digits < 0 ? -1 : 1;
    return static_cast<double>(static_cast<int64_t>(cents)) / 100.0;
}

double LineVatSum(int rate, double sum)
{
    return LineSum(sum, (100.0 + rate) / 100.0);
}

double VatSum(int rate, long double sum)
{
    return RoundCents(rate * sum * 0.01L + sum);
}

double WorkingFigure(double x)
{
    constexpr double kSingleHoldsCentsBelow = 131072.0;  // 2^17: a single's step is 1/64 there
    return std::fabs(x) < kSingleHoldsCentsBelow ? static_cast<double>(static_cast<float>(x)) : x;
}

double CountedFigure(double stored)
{
    return RoundCents(WorkingFigure(stored));
}

AnsiString ReserveSql(const AnsiString& product, const AnsiString& requests)
{
    AnsiString sql =
        "(Select RoundTo(Coalesce(Sum(Coalesce(L.Количество,0.0)-Coalesce(L.Отпущено,0.0)),0.0),-2) "
        "From StructureApplication As L";
    if (!requests.empty())
        sql += " Inner Join Application On (Application.ID=L.IDДокумента)";
    sql += " Where (L.IDТовара=" + product + ") And (Coalesce(L.Количество,0.0)>Coalesce(L.Отпущено,0.0))";
    if (!requests.empty())
        sql += " And (" + requests + ")";
    return sql + ")";
}

AnsiString TotalCaption(double total)
{
    return "Итого на сумму " + FloatToStr(RoundTo(total, -2));
}

double LinesTotal(TADOQuery* q, const char* field)
{
    // Each line counts as its working figure to the cent (a sum of 2.005 is the single
    // 2.0050001, so 2.01), and the cents are added in extended precision: a single running
    // sum would drift by a cent within a few dozen lines of thousands.
    long double total = 0;
    for (q->First(); !q->Eof(); q->Next())
        if (TField* f = q->FindField(field); f && !f->IsNull())
            total += CountedFigure(f->AsFloat());
    q->First();
    return RoundCents(total);
}

AnsiString DocumentMessage(TDocumentMessage id, std::initializer_list<std::string_view> args)
{
    return FillMessage(kMessageTexts[static_cast<int>(id)], args);
}

// ---------------------------------------------------------------- distinct-value lists

std::vector<AnsiString> DistinctByExclusion(const std::vector<Variant>& column)
{
    // The fill queried the table again and again, each time excluding every value found so
    // far ("Col <> value": Null rows drop out, case is ignored), added the first row of each
    // answer and stopped when an answer had at most one row. Pass i therefore adds the i-th
    // new value in order of first occurrence and goes on while the rows of that value and of
    // all later new values number more than one. One pass over the column gives the same.
    std::vector<AnsiString> items;
    if (column.empty()) {
        items.emplace_back();
        return items;
    }
    const auto text = [](const Variant& v) { return v.IsNull() || v.IsEmpty() ? AnsiString() : v.AsString(); };
    // Two texts are the same value when AnsiSameText says so: equal collation weights.
    const auto key = [](const AnsiString& s) {
        std::string k;
        k.reserve(s.size() * 2);
        for (unsigned char c : s) {
            const uint16_t w = cp1251::SortWeight(c);
            k.push_back(static_cast<char>(w >> 8));
            k.push_back(static_cast<char>(w & 0xFF));
        }
        return k;
    };
    const AnsiString first = text(column.front());
    const std::string firstKey = key(first);
    struct TValue {
        AnsiString Text;  // as its first row has it
        size_t Rows;
    };
    std::vector<TValue> values;  // the new values after the first, in order of first occurrence
    std::unordered_map<std::string, size_t> index;
    for (const Variant& v : column) {
        if (v.IsNull() || v.IsEmpty())
            continue;
        const AnsiString s = v.AsString();
        std::string k = key(s);
        if (k == firstKey)
            continue;
        const auto [it, added] = index.try_emplace(std::move(k), values.size());
        if (added)
            values.push_back({s, 0});
        ++values[it->second].Rows;
    }
    // Rows still in the answer of each pass: the rows of this value and of every later one.
    std::vector<size_t> rowsFrom(values.size() + 1, 0);
    for (size_t i = values.size(); i-- > 0;)
        rowsFrom[i] = rowsFrom[i + 1] + values[i].Rows;
    items.push_back(first);
    for (size_t i = 0;; ++i) {
        items.push_back(i < values.size() ? values[i].Text : AnsiString());
        if (rowsFrom[std::min(i, values.size())] <= 1)
            break;
    }
    return items;
}

void FillDistinct(TADOQuery* query, TComboBox* combo, const char* table, const char* column)
{
    combo->SetText("");
    combo->GetItems()->Clear();
    OpenSql(query, AnsiString("Select ") + QuoteName(column) + " From " + table + " Order By rowid");
    std::vector<Variant> values;
    values.reserve(query->RecordCount());
    for (query->First(); !query->Eof(); query->Next())
        values.push_back(query->Fields().Fields(0)->Value());
    TStringList items;
    for (const AnsiString& s : DistinctByExclusion(values))
        items.Add(s);
    combo->GetItems()->AddStrings(items);
}

namespace {

// The columns of Products, the only names a list or a sort may put into SQL.
const char* const kProductColumns[] = {
    "ID", "№", "Наименование", "Марка", "Цвет", "Размеры", "Единица_измерения", "Имя_поставщика", "Цена",
    "Минимум", "Максимум", "Группа", "Количество", "ПоставщикОстатка", "КоличествоОстатка", "V", "O",
};


// The distinct texts of one column (exact bytes, as stored), each once, in the order read:
// an open-addressing table of indexes into one buffer, no allocation per row.
class TDistinctTexts {
public:
    void Add(std::string_view text)
    {
        if ((FSpans.size() + 1) * 2 > FSlots.size())
            Grow();
        const size_t mask = FSlots.size() - 1;
        const size_t hash = std::hash<std::string_view>{}(text);
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            TSlot& slot = FSlots[at];
            if (slot.Index == 0) {
                FSpans.push_back({FBytes.size(), text.size(), hash});
                FBytes.append(text);
                slot = {hash, FSpans.size()};
                return;
            }
            if (slot.Hash == hash && (*this)[slot.Index - 1] == text)
                return;
        }
    }
    size_t Count() const { return FSpans.size(); }
    std::string_view operator[](size_t i) const { return {FBytes.data() + FSpans[i].Begin, FSpans[i].Length}; }

private:
    struct TSpan {
        size_t Begin, Length, Hash;
    };
    struct TSlot {
        size_t Hash = 0;
        size_t Index = 0;  // 0: free, else the index in FSpans + 1
    };
    void Grow()
    {
        FSlots.assign(std::max<size_t>(1024, FSlots.size() * 2), TSlot{});
        const size_t mask = FSlots.size() - 1;
        for (size_t i = 0; i < FSpans.size(); ++i) {
            size_t at = FSpans[i].Hash & mask;
            while (FSlots[at].Index != 0)
                at = (at + 1) & mask;
            FSlots[at] = {FSpans[i].Hash, i + 1};
        }
    }

    std::string FBytes;
    std::vector<TSpan> FSpans;
    std::vector<TSlot> FSlots;
};

// The order in which a sorted list without regard to case holds `texts`: Russian
// alphabetical, case aside, texts equal but for case in the order given. Each text becomes a
// key of its letters' ranks (a letter's place among the distinct sort weights, one byte), so
// that comparing two keys byte by byte compares the texts as the list does.
std::vector<size_t> AlphabeticalOrder(const std::deque<AnsiString>& texts)
{
    static const std::array<unsigned char, 256> rank = [] {
        std::array<uint16_t, 256> weights{};
        for (int c = 0; c < 256; ++c)
            weights[size_t(c)] = cp1251::SortWeight(static_cast<unsigned char>(c));
        std::array<uint16_t, 256> sorted = weights;
        std::sort(sorted.begin(), sorted.end());
        const auto distinctEnd = std::unique(sorted.begin(), sorted.end());
        std::array<unsigned char, 256> r{};
        for (size_t c = 0; c < 256; ++c)
            r[c] = static_cast<unsigned char>(std::lower_bound(sorted.begin(), distinctEnd, weights[c]) - sorted.begin());
        return r;
    }();
    struct TKey {
        uint64_t Head;  // the first eight bytes of the key, high byte first, zeros after its end
        size_t Begin, Length, Index;
    };
    std::string keys;
    std::vector<TKey> order;
    order.reserve(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        const AnsiString& t = texts[i];
        uint64_t head = 0;
        for (size_t k = 0; k < 8; ++k)
            head = (head << 8) | (k < t.size() ? rank[static_cast<unsigned char>(t[k])] : 0);
        order.push_back({head, keys.size(), t.size(), i});
        for (unsigned char c : t)
            keys.push_back(static_cast<char>(rank[c]));
    }
    const char* base = keys.data();
    std::sort(order.begin(), order.end(), [base](const TKey& a, const TKey& b) {
        if (a.Head != b.Head)
            return a.Head < b.Head;
        const size_t n = std::min(a.Length, b.Length);
        if (n > 8)
            if (int c = std::memcmp(base + a.Begin + 8, base + b.Begin + 8, n - 8))
                return c < 0;
        return a.Length != b.Length ? a.Length < b.Length : a.Index < b.Index;
    });
    std::vector<size_t> result;
    result.reserve(order.size());
    for (const TKey& k : order)
        result.push_back(k.Index);
    return result;
}

}  // namespace

bool IsProductColumn(const AnsiString& name)
{
    for (const char* c : kProductColumns)
        if (AnsiSameText(name, c))
            return true;
    return false;
}

void FillProductLists(TADOQuery* query, std::initializer_list<TProductList> lists)
{
    // One read of the goods for all the lists: each list takes its column's values, each once.
    // The rows are read as they come rather than opened as a dataset: of 100,000 goods only
    // the distinct texts are kept, and only those are turned into program text.
    AnsiString select;
    std::vector<TComboBox*> boxes;
    for (const TProductList& l : lists) {
        l.Combo->GetItems()->Clear();
        l.Combo->SetText("");
        if (IsProductColumn(l.Column)) {
            select += (select.empty() ? "" : ",") + QuoteName(l.Column);
            boxes.push_back(l.Combo);
        }
    }
    if (select.empty())
        return;
    query->Close();
    std::vector<TDistinctTexts> texts(boxes.size());
    query->Connection()->ReadRows("Select " + select + " From Products", [&](const sqlite::Statement& row) {
        for (size_t c = 0; c < texts.size(); ++c)
            texts[c].Add(row.ColumnUtf8(int(c)));
    });
    for (size_t c = 0; c < texts.size(); ++c) {
        std::deque<AnsiString> read;
        for (size_t i = 0; i < texts[c].Count(); ++i)
            read.push_back(Utf8ToAnsi(texts[c][i]));
        texts[c] = {};
        TStringList values;
        auto* items = dynamic_cast<TStringList*>(boxes[c]->GetItems());
        if (items && items->GetSorted() && !items->GetCaseSensitive()) {
            // The list's own order, found once here by comparing weight keys, so that the
            // list takes the texts as they come instead of comparing them letter by letter.
            for (size_t i : AlphabeticalOrder(read))
                values.Add(std::move(read[i]));
        } else {
            for (AnsiString& t : read)
                values.Add(std::move(t));
        }
        boxes[c]->GetItems()->AddStrings(values);
    }
}

// ---------------------------------------------------------------- saving documents

int64_t SaveReceipt(TADOQuery* work, TADOQuery* lines, const TReceiptHeader& h)
{
    int64_t id = 0;
    InTransaction(work->Connection(), [&] {
        const std::vector<TLineFigures> figures = ReadDescribedLines(work, lines);
        ExecSql(work,
                "Insert Into Documents (Дата_создания,№_заказа,Тип_документа,Вид_оплаты,Имя_поставщика,Через_кого,Архив) "
                "Values (:d,:n,:t,:p,:s,:w,0)",
                {{"d", h.Created}, {"n", h.Number}, {"t", h.Type}, {"p", h.Payment}, {"s", h.Supplier},
                 {"w", h.Through}});
        id = work->LastInsertId();
        for (const TLineFigures& l : figures) {
            ExecSql(work,
                    "Insert Into StructureDocuments (IDДокумента,IDТовара,Количество,Сумма,Ставка,Сумма_с_НДС,Архив) "
                    "Values (:d,:p,:q,:s,:r,:v,0)",
                    {{"d", id}, {"p", l.Product}, {"q", l.Quantity}, {"s", l.Sum}, {"r", l.Rate}, {"v", l.SumVat}});
            SetStock(work, l.Product, Stock(work, l.Product) + l.Quantity);
        }
    });
    return id;
}

int64_t SaveRequest(TADOQuery* work, TADOQuery* lines, const TRequestHeader& h)
{
    int64_t id = 0;
    InTransaction(work->Connection(), [&] {
        const std::vector<TLineFigures> figures = ReadDescribedLines(work, lines);
        ExecSql(work,
                "Insert Into Application (Дата_создания,Дата_сдачи,Получатель,Через_кого,Заказчик,№_заказа,"
                "Отпуск_товара,Sort,Архив) Values (:d,:due,:r,:w,:c,:n,:st,0,0)",
                {{"d", h.Created}, {"due", h.Due}, {"r", h.Recipient}, {"w", h.Through}, {"c", h.Customer},
                 {"n", h.Number}, {"st", RequestStateText(RequestState::NotIssued)}});
        id = work->LastInsertId();
        InsertRequestLines(work, id, figures);
    });
    return id;
}

void ReplaceRequest(TADOQuery* work, TADOQuery* lines, int64_t requestId, const TRequestHeader& h)
{
    InTransaction(work->Connection(), [&] {
        bool found = false;
        const RequestState state = ReadRequestState(work, requestId, found);
        if (!found)
            throw EDocumentError(DocumentMessage(TDocumentMessage::RequestChanged));
        if (state != RequestState::NotIssued)
            throw EDocumentError(DocumentMessage(TDocumentMessage::RequestUsed));
        const std::vector<TLineFigures> figures = ReadDescribedLines(work, lines);
        ExecSql(work,
                "Update Application Set Дата_сдачи=:due,Получатель=:r,Через_кого=:w,Заказчик=:c,№_заказа=:n "
                "Where ID=:id",
                {{"due", h.Due}, {"r", h.Recipient}, {"w", h.Through}, {"c", h.Customer}, {"n", h.Number},
                 {"id", requestId}});
        ExecSql(work, "Delete From StructureApplication Where IDДокумента=:id", {{"id", requestId}});
        InsertRequestLines(work, requestId, figures);
    });
}

int64_t SaveIssue(TADOQuery* work, TADOQuery* lines, const TIssueHeader& h)
{
    int64_t id = 0;
    InTransaction(work->Connection(), [&] {
        bool found = false;
        const RequestState state = ReadRequestState(work, h.RequestId, found);
        if (!found || state == RequestState::Issued)
            throw EDocumentError(DocumentMessage(TDocumentMessage::RequestChanged));

        OpenSql(lines,
                "Select TempStructureOtpusk.IDТовара,TempStructureOtpusk.Количество,TempStructureOtpusk.Макс,"
                "TempStructureOtpusk.Сумма,TempStructureOtpusk.Ставка,TempStructureOtpusk.Сумма_с_НДС,"
                "TempStructureOtpusk.IDСтрокиЗаявки,Products.Наименование,Products.Количество As Stock "
                "From TempStructureOtpusk "
                "Left Join Products On (TempStructureOtpusk.IDТовара=Products.ID) Order By TempStructureOtpusk.ID");
        std::vector<TLineFigures> figures;
        for (lines->First(); !lines->Eof(); lines->Next()) {
            const AnsiString name = Text(lines, "Наименование");
            const double q = RoundTo(Num(lines, "TempStructureOtpusk.Количество"), -2);
            if (q == 0)
                continue;  // a line with nothing left to issue
            if (q < 0)
                throw EDocumentError(DocumentMessage(TDocumentMessage::BadQuantity, {name}));
            const double most = RoundTo(Num(lines, "Макс"), -2);
            if (q > most)
                throw EDocumentError(DocumentMessage(TDocumentMessage::AboveMax, {name, FloatToStr(most)}));
            if (lines->FieldByName("Stock")->IsNull())
                throw EDocumentError(DocumentMessage(TDocumentMessage::UnknownProduct, {name, "", "", "", "", ""}));
            TField* requestLine = lines->FieldByName("IDСтрокиЗаявки");
            figures.push_back({lines->FieldByName("IDТовара")->AsLargeInt(), q, Num(lines, "Сумма"),
                               Num(lines, "Ставка"), Num(lines, "Сумма_с_НДС"),
                               requestLine->IsNull() ? 0 : requestLine->AsLargeInt()});
        }
        if (figures.empty())
            throw EDocumentError(DocumentMessage(TDocumentMessage::NothingToIssue));

        // Each request line gives no more than it still needs as it stands now: the caps of
        // the scratch lines were taken when the invoice was made, and another program on the
        // same file may have issued against the request, or changed it, since.
        struct TRequestLineTotal {
            int64_t Line, Product;
            double Quantity;
        };
        std::vector<TRequestLineTotal> perLine;
        std::unordered_map<int64_t, size_t> lineAt;
        for (const TLineFigures& l : figures) {
            if (l.RequestLine == 0)
                continue;
            const auto [it, added] = lineAt.try_emplace(l.RequestLine, perLine.size());
            if (added)
                perLine.push_back({l.RequestLine, l.Product, l.Quantity});
            else
                perLine[it->second].Quantity = RoundTo(perLine[it->second].Quantity + l.Quantity, -2);
        }
        for (const TRequestLineTotal& t : perLine) {
            OpenSql(work,
                    "Select Products.Наименование,StructureApplication.Количество,StructureApplication.Отпущено "
                    "From StructureApplication Left Join Products On (StructureApplication.IDТовара=Products.ID) "
                    "Where (StructureApplication.rowid=:rid) And (StructureApplication.IDДокумента=:r) "
                    "And (StructureApplication.IDТовара=:p)",
                    {{"rid", t.Line}, {"r", h.RequestId}, {"p", t.Product}});
            if (work->IsEmpty())
                throw EDocumentError(DocumentMessage(TDocumentMessage::RequestChanged));
            const double need = std::max(0.0, RoundTo(Num(work, "Количество") - Num(work, "Отпущено"), -2));
            if (t.Quantity > need)
                throw EDocumentError(
                    DocumentMessage(TDocumentMessage::AboveMax, {Text(work, "Наименование"), FloatToStr(need)}));
        }

        // Each product's lines together take no more than its stock as it stands now.
        // In the order the products first appear, so the first one short is the one named.
        std::vector<std::pair<int64_t, double>> totals;
        std::unordered_map<int64_t, size_t> at;
        for (const TLineFigures& l : figures) {
            const auto [it, added] = at.try_emplace(l.Product, totals.size());
            if (added)
                totals.emplace_back(l.Product, l.Quantity);
            else
                totals[it->second].second = RoundTo(totals[it->second].second + l.Quantity, -2);
        }
        for (const auto& [product, total] : totals) {
            OpenSql(work, "Select Наименование,Количество From Products Where ID=:id", {{"id", product}});
            const double stock = RoundTo(Num(work, "Количество"), -2);
            if (total > stock)
                throw EDocumentError(DocumentMessage(TDocumentMessage::AboveStock,
                                                     {Text(work, "Наименование"), FloatToStr(stock), FloatToStr(total)}));
        }

        ExecSql(work,
                "Insert Into Otpusk (Дата_создания,Получатель,Через_кого,Заказчик,№_заказа,IDЗаявки,Архив) "
                "Values (:d,:r,:w,:c,:n,:req,0)",
                {{"d", h.Created}, {"r", h.Recipient}, {"w", h.Through}, {"c", h.Customer}, {"n", h.Number},
                 {"req", h.RequestId}});
        id = work->LastInsertId();
        for (const TLineFigures& l : figures) {
            ExecSql(work,
                    "Insert Into StructureOtpusk (IDДокумента,IDТовара,Количество,Сумма,Ставка,Сумма_с_НДС,Архив) "
                    "Values (:d,:p,:q,:s,:r,:v,0)",
                    {{"d", id}, {"p", l.Product}, {"q", l.Quantity}, {"s", l.Sum}, {"r", l.Rate}, {"v", l.SumVat}});
            SetStock(work, l.Product, Stock(work, l.Product) - l.Quantity);

            // The issued quantity goes to the request line it was issued against.
            if (l.RequestLine != 0) {
                OpenSql(work,
                        "Select Отпущено From StructureApplication Where (rowid=:rid) And (IDДокумента=:r) "
                        "And (IDТовара=:p)",
                        {{"rid", l.RequestLine}, {"r", h.RequestId}, {"p", l.Product}});
                if (!work->IsEmpty()) {
                    const double issued = RoundTo(Num(work, "Отпущено") + l.Quantity, -2);
                    ExecSql(work, "Update StructureApplication Set Отпущено=:o Where rowid=:rid",
                            {{"o", issued}, {"rid", l.RequestLine}});
                    continue;
                }
            }
            // A line that names none: to the request's lines of this product, in their order,
            // each taking what it still needs; the last one takes any rest.
            OpenSql(work,
                    "Select rowid As RID,Количество,Отпущено From StructureApplication "
                    "Where (IDДокумента=:r) And (IDТовара=:p) Order By rowid",
                    {{"r", h.RequestId}, {"p", l.Product}});
            std::vector<std::pair<int64_t, double>> updates;
            double left = l.Quantity;
            for (work->First(); !work->Eof() && left > 0; work->Next()) {
                const double issued = Num(work, "Отпущено");
                const double need = std::max(0.0, Num(work, "Количество") - issued);
                const bool last = work->RecNo() == work->RecordCount();
                const double add = last ? left : std::min(need, left);
                left -= add;
                updates.emplace_back(work->FieldByName("RID")->AsLargeInt(), RoundTo(issued + add, -2));
            }
            for (const auto& [rid, issued] : updates)
                ExecSql(work, "Update StructureApplication Set Отпущено=:o Where rowid=:rid",
                        {{"o", issued}, {"rid", rid}});
        }

        OpenSql(work, "Select Количество,Отпущено From StructureApplication Where IDДокумента=:r",
                {{"r", h.RequestId}});
        bool all = true;
        for (work->First(); !work->Eof(); work->Next())
            if (RoundTo(Num(work, "Отпущено"), -2) < RoundTo(Num(work, "Количество"), -2))
                all = false;
        ExecSql(work, "Update Application Set Отпуск_товара=:s Where ID=:id",
                {{"s", RequestStateText(all ? RequestState::Issued : RequestState::PartlyIssued)},
                 {"id", h.RequestId}});
    });
    return id;
}

int BuildIssueLines(TADOQuery* work, TADOQuery* lines, int64_t requestId, int vatRate)
{
    int written = 0;
    InTransaction(work->Connection(), [&] {
        ExecSql(work, "Delete From TempStructureDocuments");
        ExecSql(work, "Delete From TempStructureOtpusk");
        OpenSql(lines,
                "Select Products.Цена,Products.Количество As Stock,StructureApplication.Количество,"
                "StructureApplication.Отпущено,StructureApplication.IDТовара,StructureApplication.rowid As RID "
                "From StructureApplication Inner Join Products On (StructureApplication.IDТовара=Products.ID) "
                "Where StructureApplication.IDДокумента=:r Order By StructureApplication.rowid",
                {{"r", requestId}});
        // What is left of each product's stock after the lines before: a request may name one
        // product on several lines, and together they take no more than the stock.
        std::unordered_map<int64_t, double> left;
        for (lines->First(); !lines->Eof(); lines->Next()) {
            // The outstanding need, to the cent; a line issued beyond its quantity needs nothing.
            // Held in double: single precision loses the cents of quantities from 131072 up.
            double q = RoundTo(Num(lines, "Количество") - Num(lines, "Отпущено"), -2);
            if (q < 0)
                q = 0;
            const int64_t product = lines->FieldByName("IDТовара")->AsLargeInt();
            const double stock = left.try_emplace(product, RoundTo(Num(lines, "Stock"), -2)).first->second;
            if (!(stock > 0))
                continue;
            if (stock < q)
                q = stock;
            left[product] = RoundTo(stock - q, -2);
            const double sum = LineSum(q, Num(lines, "Цена"));
            ExecSql(work,
                    "Insert Into TempStructureOtpusk (IDТовара,Количество,Макс,Сумма,Ставка,Сумма_с_НДС,IDСтрокиЗаявки) "
                    "Values (:p,:q,:m,:s,:r,:v,:line)",
                    {{"p", product}, {"q", q}, {"line", lines->FieldByName("RID")->AsLargeInt()},
                     {"m", q}, {"s", sum}, {"r", vatRate},
                     {"v", LineVatSum(vatRate, sum)}});
            ++written;
        }
    });
    return written;
}

void LoadRequestForEdit(TADOQuery* work, TADOQuery* lines, int64_t requestId)
{
    InTransaction(work->Connection(), [&] {
        ExecSql(work, "Delete From TempStructureDocuments");
        ExecSql(work, "Delete From TempStructureOtpusk");
        // Each line's price as the viewer and the printed request show it (LinePriceSql): the
        // price its sum was made at, not the catalogue's price of today beside that sum.
        const AnsiString sums = CountedSums(lines, "StructureApplication", requestId);
        OpenSql(lines,
                AnsiString(kCountedSumsHead) +
                    "Select Products.Наименование,Products.Марка,Products.Цвет,Products.Размеры,"
                    "Products.Единица_измерения,Products.Группа," + LinePriceSql("StructureApplication") +
                    " As Цена,Products.Минимум,Products.Максимум,"
                    "StructureApplication.Количество,C.Сумма As Сумма,StructureApplication.IDТовара" +
                    CountedLinesFrom("StructureApplication") +
                    // Every line, its goods deleted since or not: saving puts back only the lines
                    // loaded here, and such a line is refused by name there, never dropped unseen.
                    " Left Join Products On (StructureApplication.IDТовара=Products.ID) "
                    "Where StructureApplication.IDДокумента=:r Order By StructureApplication.rowid",
                {{"r", requestId}, {"sums", sums}});
        for (lines->First(); !lines->Eof(); lines->Next()) {
            // The stored sum as the request's total counts it (2.005 is 2.01), as the viewer
            // shows it; whole kopecks stay as they are, at any size.
            const double sum = Num(lines, "Сумма");
            ExecSql(work,
                    "Insert Into TempStructureDocuments (Наименование,Марка,Цвет,Размеры,Единица_измерения,Группа,"
                    "Количество,Цена,Минимум,Максимум,Сумма,Сумма_с_НДС,IDТовара) "
                    "Values (:n,:b,:c,:s,:u,:g,:q,:p,:mn,:mx,:sum,:sum,:id)",
                    {{"n", Text(lines, "Наименование")}, {"b", Text(lines, "Марка")}, {"c", Text(lines, "Цвет")},
                     {"s", Text(lines, "Размеры")}, {"u", Text(lines, "Единица_измерения")},
                     {"g", Text(lines, "Группа")}, {"q", Num(lines, "StructureApplication.Количество")},
                     {"p", Num(lines, "Цена")}, {"mn", Num(lines, "Минимум")}, {"mx", Num(lines, "Максимум")},
                     {"sum", sum}, {"id", lines->FieldByName("IDТовара")->AsLargeInt()}});
        }
    });
}

// ---------------------------------------------------------------- archive

void SetArchived(TADOQuery* work, DocumentKind kind, const std::vector<int64_t>& ids, bool archived)
{
    if (ids.empty())
        return;
    const TDocumentTables& t = DocumentTables(kind);
    const std::vector<Variant> idValues(ids.begin(), ids.end());
    // The ids go in as one bound list, however many there are.
    const auto run = [&](const AnsiString& sql) {
        work->Close();
        work->SQL()->Clear();
        work->SQL()->Add(sql);
        work->Parameters()->ParamByName("a")->Value = archived ? 1 : 0;
        work->Parameters()->ParamByName("ids")->SetList(idValues);
        work->ExecSQL();
    };
    InTransaction(work->Connection(), [&] {
        run(AnsiString("Update ") + t.Header + " Set Архив=:a Where ID In (:ids)");
        run(AnsiString("Update ") + t.Lines + " Set Архив=:a Where IDДокумента In (:ids)");
    });
}

int ArchiveRange(TADOQuery* work, TDateTime from, TDateTime to)
{
    const TDateTime first = DateOf(from), end = DateOf(to) + 1.0;
    int moved = 0;
    InTransaction(work->Connection(), [&] {
        for (DocumentKind kind : {DocumentKind::Receipt, DocumentKind::Issue, DocumentKind::Request, DocumentKind::Act}) {
            const TDocumentTables& t = DocumentTables(kind);
            AnsiString sql = AnsiString("Select ID From ") + t.Header +
                             " Where (Архив<>1) And (Дата_создания>=:f) And (Дата_создания<:e)";
            // Requests still to be issued stay in the working list.
            if (kind == DocumentKind::Request)
                sql += " And (Отпуск_товара=:issued)";
            OpenSql(work, sql, {{"f", first}, {"e", end}, {"issued", RequestStateText(RequestState::Issued)}});
            std::vector<int64_t> ids;
            for (work->First(); !work->Eof(); work->Next())
                ids.push_back(work->FieldByName("ID")->AsLargeInt());
            SetArchived(work, kind, ids, true);
            moved += static_cast<int>(ids.size());
        }
    });
    return moved;
}

#include "app/documents/Unit2.h"

#include "app/documents/Documents.h"
#include "app/documents/GridWidths.h"
#include "app/shell/CatalogueMessages.h"
#include "app/shell/Layouts.h"
#include "app/documents/Statements.h"
#include "app/shell/DataModule.h"
#include "app/documents/Unit6.h"
#include "platform/db/ADODB.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/ScopeExit.h"

#include <vector>

TForm2* Form2 = nullptr;

namespace {

// The second card of LineCard, made the first time Form2 is busy; owned by Form2.
TForm2* gLineCard = nullptr;

constexpr const char* kQuantityLabel = "Количество";
// Prices and quantities a user types stay below a million millions, so that every sum of
// them, with VAT, over any number of lines stays a finite number.
constexpr double kLargestTypedNumber = 1e12;

// The VAT rule of document lines, the same as the document window's "НДС".
double WithVat(int rate, double sum)
{
    return LineVatSum(rate, sum);
}

}  // namespace

SKLAD_DEFINE_CLASS(TForm2)

void TForm2::Publish(TPropertyTable& t)
{
    t.Method("ArtChange", &TForm2::ArtChange);
    t.Method("ComboBox1Change", &TForm2::ComboBox1Change);
    t.Method("ComboBox2Change", &TForm2::ComboBox2Change);
    t.Method("ComboBox3Change", &TForm2::ComboBox3Change);
    t.Method("ComboBox5Change", &TForm2::ComboBox5Change);
    t.Method("ComboBox7Change", &TForm2::ComboBox7Change);
    t.Method("ComboBox6Change", &TForm2::ComboBox6Change);
    t.Method("ComboBox1Select", &TForm2::ComboBox1Select);
    t.Method("ComboBox2Select", &TForm2::ComboBox2Select);
    t.Method("ComboBox3Select", &TForm2::ComboBox3Select);
    t.Method("ComboBox5Select", &TForm2::ComboBox5Select);
    t.Method("ComboBox7Select", &TForm2::ComboBox7Select);
    t.Method("DBGrid1CellClick", &TForm2::DBGrid1CellClick);
    t.Method("Button1Click", &TForm2::Button1Click);
    t.Method("Button2Click", &TForm2::Button2Click);
    t.Method("Button3Click", &TForm2::Button3Click);
    t.Method("Button4Click", &TForm2::Button4Click);
    t.Method("Button5Click", &TForm2::Button5Click);
    t.Method("Button6Click", &TForm2::Button6Click);
    t.Method("Button7Click", &TForm2::Button7Click);
    t.Method("Button9Click", &TForm2::Button9Click);
    t.Method("FormShow", &TForm2::FormShow);
    t.Method("ComboBox1KeyDown", &TForm2::ComboBox1KeyDown);
}

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit2"));
    SKLAD_BIND(Art);
    SKLAD_BIND(ComboBox1);
    SKLAD_BIND(ComboBox2);
    SKLAD_BIND(ComboBox3);
    SKLAD_BIND(ComboBox4);
    SKLAD_BIND(ComboBox5);
    SKLAD_BIND(ComboBox6);
    SKLAD_BIND(ComboBox7);
    SKLAD_BIND(Edit1);
    SKLAD_BIND(Edit2);
    SKLAD_BIND(Edit3);
    SKLAD_BIND(Edit4);
    SKLAD_BIND(Edit5);
    SKLAD_BIND(Edit6);
    SKLAD_BIND(Edit7);
    SKLAD_BIND(Edit9);
    SKLAD_BIND(Label6);
    SKLAD_BIND(GroupBox1);
    SKLAD_BIND(GroupBox2);
    SKLAD_BIND(DBGrid1);
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
    SKLAD_BIND(Button3);
    SKLAD_BIND(Button4);
    SKLAD_BIND(Button5);
    SKLAD_BIND(Button6);
    SKLAD_BIND(Button7);
    SKLAD_BIND(Button9);
    DBGrid1->SetDataSource(WarehouseData->DataSource3);
    // The card follows the goods grid: see GoodsRowReached. Either card may be the picker.
    WarehouseData->ADOQuery5->AfterScroll = TDataSetNotifyEvent::Lambda([](TDataSet*) {
        for (TForm2* card : {Form2, gLineCard})
            if (card)
                card->GoodsRowReached();
    });
}

TForm2::~TForm2()
{
    if (gLineCard == this)
        gLineCard = nullptr;
}

TForm2* LineCard()
{
    if (!Form2->GetVisible())
        return Form2;
    if (!gLineCard)
        gLineCard = new TForm2(Form2);
    // Its grid takes the saved widths, as Form2's does on its first showing.
    gLineCard->FirstShow = 1;
    return gLineCard;
}

bool ReadTodaysFigures(TADOQuery* work, int64_t productId, TProductCard& card)
{
    // Reserved: what open requests still wait for, by the one rule the stock reports print too.
    OpenSql(work,
            "Select Количество,Цена,Минимум,Максимум," + ReserveSql(":id") + " As R From Products Where ID=:id",
            {{"id", productId}});
    if (work->IsEmpty())
        return false;
    // Figures to the cent, as the stock reports print them: a difference of them is then one
    // the card and a report round alike.
    const double stock = RoundTo(work->FieldByName("Количество")->AsFloat(), -2);
    const double price = work->FieldByName("Цена")->AsFloat();
    const double maximum = RoundTo(work->FieldByName("Максимум")->AsFloat(), -2);
    const double minimum = RoundTo(work->FieldByName("Минимум")->AsFloat(), -2);
    const double reserved = work->FieldByName("R")->AsFloat();
    // Compared to the cent: 0.3 - 0.1 is 0.19999999999999998 in doubles, and a free stock at
    // its minimum of 0.2 is no shortage.
    double surplus = 0, shortage = 0;
    if (const double above = RoundTo(stock - reserved - maximum, -2); above > 0)
        surplus = above;
    // Below the minimum wins over above the maximum (a maximum under the minimum).
    if (const double below = RoundTo(minimum - (stock - reserved), -2); below > 0) {
        shortage = below;
        surplus = 0;
    }
    card.Stock = FloatToStr(stock);
    // The value of the stock as it is, not rounded to cents.
    card.Value = stock * price;
    card.Reserved = reserved;
    card.Surplus = surplus;
    card.Shortage = shortage;
    return true;
}

void TForm2::Activate()
{
    TForm::Activate();
    if (Role() != TCardRole::Card || CardMode == TCardMode::NewCard || CardProductId == 0)
        return;
    TProductCard figures;
    if (ReadTodaysFigures(WarehouseData->ADOQuery2, CardProductId, figures))
        ShowFigures(figures);
}

void TForm2::ShowFigures(const TProductCard& p)
{
    Edit7->SetText(p.Stock);
    Edit9->SetText(FloatToStr(p.Value));
    Edit4->SetText(FloatToStr(p.Surplus));
    Edit5->SetText(FloatToStr(p.Shortage));
    Edit6->SetText(FloatToStr(p.Reserved));
}

void TForm2::GoodsRowReached()
{
    // A row the user reaches in the picker's grid by any route (a click, Up/Down, Page
    // Up/Down, Home/End, Ctrl+Home/End, a row chosen in the view) is picked as a click picks
    // it: the row highlighted is the one the card shows, and the one the line is written
    // for, with its own price. Reading a new list of goods picks nothing.
    if (FReadingGoods || Role() != TCardRole::Picker || !GetVisible())
        return;
    DBGrid1CellClick(nullptr);
}

void TForm2::OpenGoods(const AnsiString& sql, const std::vector<Variant>& values)
{
    TADOQuery* q = WarehouseData->ADOQuery5;
    FReadingGoods = true;
    TScopeExit done([this] { FReadingGoods = false; });
    q->Close();
    q->SQL()->Clear();
    q->SQL()->Add(sql);
    for (size_t i = 0; i < values.size(); ++i)
        q->Parameters()->ParamByName("v" + IntToStr(int64_t(i)))->Value = values[i];
    q->Open();
}

void TForm2::SetRole(TCardRole role)
{
    FRole = role;
    switch (role) {
    case TCardRole::Card: SetWidth(474); break;
    case TCardRole::Picker: SetWidth(800); break;
    case TCardRole::Editor: SetWidth(248); break;
    case TCardRole::Other: break;
    }
}

// ---------------------------------------------------------------- filtering

void TForm2::Filter(TObject* sender, TComboBox* own, const char* column, TFurther further)
{
    const TCardRole role = Role();
    if (role != TCardRole::Picker && role != TCardRole::Editor)
        return;
    // The condition keeps the program's shape; the values are bound (:v0, :v1 ...). A text an
    // older file or an import left Null is the empty text the boxes show, as the lines find
    // their goods (kDescribedGoods); Coalesce drops the column's collation, the value carries it.
    const auto equals = [](const char* name, size_t n) {
        return "(Coalesce(" + QuoteName(name) + ",'')=:v" + IntToStr(int64_t(n)) + " Collate RUNOCASE)";
    };
    std::vector<Variant> values{own->GetText()};
    WorkText = " Where " + equals(column, 0);
    for (const auto& [box, name] : further) {
        if (box->GetText().empty())
            continue;
        // In these roles ComboBox6 holds the line's quantity, not a supplier.
        if (box == ComboBox6 && Label6->GetCaption() == kQuantityLabel)
            continue;
        WorkText += " and " + equals(name, values.size());
        values.push_back(box->GetText());
    }
    OpenGoods("Select * From Products" + WorkText, values);
    if (WarehouseData->ADOQuery5->IsEmpty() && sender)
        own->SetDroppedDown(false);
    for (TEdit* e : {Edit1, Edit2, Edit3})
        e->SetEnabled(true);
}

void TForm2::ComboBox1Change(TObject* Sender)
{
    Filter(Sender, ComboBox1, "Наименование",
           {{ComboBox2, "Марка"}, {ComboBox3, "Цвет"}, {ComboBox5, "Единица_измерения"},
            {ComboBox6, "Имя_поставщика"}, {ComboBox7, "Группа"}});
}

void TForm2::ComboBox2Change(TObject* Sender)
{
    Filter(Sender, ComboBox2, "Марка",
           {{ComboBox1, "Наименование"}, {ComboBox3, "Цвет"}, {ComboBox5, "Единица_измерения"},
            {ComboBox6, "Имя_поставщика"}, {ComboBox7, "Группа"}});
}

void TForm2::ComboBox3Change(TObject* Sender)
{
    Filter(Sender, ComboBox3, "Цвет",
           {{ComboBox2, "Марка"}, {ComboBox1, "Наименование"}, {ComboBox5, "Единица_измерения"},
            {ComboBox6, "Имя_поставщика"}, {ComboBox7, "Группа"}});
}

void TForm2::ComboBox5Change(TObject* Sender)
{
    Filter(Sender, ComboBox5, "Единица_измерения",
           {{ComboBox2, "Марка"}, {ComboBox3, "Цвет"}, {ComboBox1, "Наименование"},
            {ComboBox6, "Имя_поставщика"}, {ComboBox7, "Группа"}});
}

void TForm2::ComboBox7Change(TObject* Sender)
{
    Filter(Sender, ComboBox7, "Группа",
           {{ComboBox2, "Марка"}, {ComboBox3, "Цвет"}, {ComboBox5, "Единица_измерения"},
            {ComboBox6, "Имя_поставщика"}, {ComboBox1, "Наименование"}});
}

void TForm2::ArtChange(TObject* Sender)
{
    Filter(Sender, Art, "№",
           {{ComboBox2, "Марка"}, {ComboBox3, "Цвет"}, {ComboBox5, "Единица_измерения"},
            {ComboBox6, "Имя_поставщика"}, {ComboBox1, "Наименование"}, {ComboBox7, "Группа"}});
}

void TForm2::ComboBox6Change(TObject*)
{
    ComboBox6->SetAutoDropDown(Label6->GetCaption() != kQuantityLabel);
}

void TForm2::ClearOtherCombos(TComboBox* box)
{
    for (TComboBox* other : {ComboBox1, ComboBox2, ComboBox3, ComboBox5, ComboBox6, ComboBox7})
        if (other != box)
            other->SetText("");
    for (TEdit* e : {Edit1, Edit2, Edit3})
        e->SetText("");
}

void TForm2::SelectFrom(TComboBox* box, void (TForm2::*change)(TObject*))
{
    // A value completed while typing leaves the other boxes alone.
    if (ComboKeyFlag)
        return;
    box->SetAutoComplete(false);
    const TCardRole role = Role();
    if (role == TCardRole::Picker || role == TCardRole::Editor) {
        ClearOtherCombos(box);
        (this->*change)(nullptr);
    }
}

void TForm2::ComboBox1Select(TObject* Sender)
{
    if (Sender == Art)
        SelectFrom(Art, &TForm2::ArtChange);
    else
        SelectFrom(ComboBox1, &TForm2::ComboBox1Change);
}

void TForm2::ComboBox2Select(TObject*) { SelectFrom(ComboBox2, &TForm2::ComboBox2Change); }
void TForm2::ComboBox3Select(TObject*) { SelectFrom(ComboBox3, &TForm2::ComboBox3Change); }
void TForm2::ComboBox5Select(TObject*) { SelectFrom(ComboBox5, &TForm2::ComboBox5Change); }
void TForm2::ComboBox7Select(TObject*) { SelectFrom(ComboBox7, &TForm2::ComboBox7Change); }

void TForm2::ComboBox1KeyDown(TObject* Sender, uint16_t&, TShiftState)
{
    auto* box = dynamic_cast<TComboBox*>(Sender);
    if (!box)
        return;
    if (box->GetText().empty()) {
        box->SetAutoComplete(true);
        ComboKeyFlag = 1;
    } else {
        ComboKeyFlag = 0;
    }
}

void TForm2::DBGrid1CellClick(TColumn*)
{
    TADOQuery* q = WarehouseData->ADOQuery5;
    if (!HasCurrentRow(q))
        return;
    const auto text = [q](const char* column) { return q->FieldByName(column)->AsString(); };
    Art->SetText(text("№"));
    ComboBox1->SetText(text("Наименование"));
    ComboBox2->SetText(text("Марка"));
    ComboBox3->SetText(text("Цвет"));
    ComboBox4->SetText(text("Размеры"));
    ComboBox5->SetText(text("Единица_измерения"));
    Edit1->SetText(text("Цена"));
    Edit2->SetText(text("Минимум"));
    Edit3->SetText(text("Максимум"));
    ComboBox7->SetText(text("Группа"));
    // A picked product keeps its price and limits.
    for (TEdit* e : {Edit1, Edit2, Edit3})
        e->SetEnabled(false);
}

// A stock list is a list to pick from, not a filter of the card: the card follows the row
// it highlights, as after a move in the grid.
void TForm2::Button4Click(TObject*)
{
    // A figure an older file left Null is 0, as the card's shortage and the reports take it.
    OpenGoods("Select * From Products Where Coalesce(Количество,0)<Coalesce(Минимум,0)");
    GoodsRowReached();
}

void TForm2::Button5Click(TObject*)
{
    OpenGoods("Select * From Products Where Coalesce(Количество,0)>Coalesce(Максимум,0)");
    GoodsRowReached();
}

// ---------------------------------------------------------------- showing

int TForm2::DropDownRows(TComboBox* box) const
{
    return (GetHeight() - (box->GetTop() + box->GetHeight())) / 14;
}

void TForm2::FormShow(TObject*)
{
    ComboBox6->SetAutoDropDown(Label6->GetCaption() != kQuantityLabel);
    for (TComboBox* box : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6, ComboBox7})
        box->SetDropDownCount(DropDownRows(box));
    if (FirstShow) {
        LoadGridWidths(*this, WarehouseData->ADOQuery3);
        FirstShow = 0;
    }
}

// ---------------------------------------------------------------- supplier and documents

void TForm2::Button9Click(TObject*)
{
    const AnsiString name = ComboBox6->GetText();
    if (name.empty()) {
        ShowMessage("Введите название поставщика");
        return;
    }
    TADOQuery* q = WarehouseData->ADOQuery2;
    OpenSql(q, "Select * From P Where Название=:name", {{"name", name}});
    Form6->ShowSupplier(q, name, q->IsEmpty() ? AnsiString() : q->FieldByName("Название")->AsString());
    // A renamed supplier: the card shows the name its goods now carry.
    if (Form6->Mode() == TDetailsMode::Supplier && !Form6->SupplierName().empty() &&
        Form6->SupplierName() != ComboBox6->GetText())
        ComboBox6->SetText(Form6->SupplierName());
}

void TForm2::Button1Click(TObject*)
{
    // The card's own product: the main grid under the card may have been listed anew (a
    // write-off posted from the journal), its cursor on another product.
    TADOQuery* goods = WarehouseData->ADOQuery1;
    const AnsiString id = CardProductId != 0   ? IntToStr(CardProductId)
                          : HasCurrentRow(goods) ? goods->FieldByName("ID")->AsString()
                                                 : AnsiString();
    if (OnShowDocuments)
        OnShowDocuments(id, ComboBox1->GetText() + " " + ComboBox2->GetText() + " " + ComboBox3->GetText());
}

void TForm2::Button6Click(TObject*)
{
    Close();
}

// ---------------------------------------------------------------- OK commands

bool TForm2::ReadNumber(TEdit* edit, const char* caption, double& value)
{
    const AnsiString text = Trim(edit->GetText());
    if (text.empty()) {
        value = 0;
        return true;
    }
    if (TryStrToFloat(text, value) && value >= 0 && value <= kLargestTypedNumber)
        return true;
    ShowMessage(CatalogueMessage(TCatalogueMessage::BadNumber, {caption}));
    return false;
}

bool TForm2::ReadQuantity(double& value)
{
    if (TryStrToFloat(Trim(ComboBox6->GetText()), value) && RoundTo(value, -2) > 0 && value <= kLargestTypedNumber) {
        value = RoundTo(value, -2);
        return true;
    }
    ShowMessage(CatalogueMessage(TCatalogueMessage::BadQuantity));
    return false;
}

void TForm2::LinesWritten()
{
    // The line is written: the card closes before the lines are read again, so that a read
    // that fails (the user is told) cannot leave the card open for an OK that writes it twice.
    Close();
    // The document window shows its lines with its own statement and recomputes its total.
    TADOQuery* lines = WarehouseData->ADOQuery4;
    if (!lines->SQL()->GetText().empty()) {
        lines->Close();
        lines->Open();
    }
}

int64_t TForm2::LineProductId(int64_t current)
{
    const AnsiString values[] = {ComboBox1->GetText(), ComboBox2->GetText(), ComboBox3->GetText(),
                                 ComboBox4->GetText(), ComboBox5->GetText(), ComboBox7->GetText()};
    const char* const columns[] = {"Наименование", "Марка", "Цвет", "Размеры", "Единица_измерения", "Группа"};
    const bool picking = Role() == TCardRole::Picker;
    const AnsiString article = picking ? Art->GetText() : AnsiString();
    // Whether a row holds the goods the boxes show: letter for letter (`exact`), or as the
    // database compares them, case aside.
    const auto describes = [&](TADOQuery* q, bool exact) {
        for (int i = 0; i < 6; ++i) {
            const AnsiString stored = q->FieldByName(columns[i])->AsString();
            if (exact ? stored != values[i] : !AnsiSameText(stored, values[i]))
                return false;
        }
        return article.empty() || AnsiSameText(q->FieldByName("№")->AsString(), article);
    };
    // The row the user picked in the goods grid: picking it fills the boxes with its texts.
    TADOQuery* grid = WarehouseData->ADOQuery5;
    const bool gridRow = picking && HasCurrentRow(grid) && grid->FindField("ID");
    if (gridRow && describes(grid, true))
        return grid->FieldByName("ID")->AsLargeInt();
    // Otherwise the goods the boxes describe: the line's own product while it is spelt as
    // shown, then the one with the article shown, then the goods spelt as typed (БОЛТ and
    // болт are two cards), then the line's own product case aside, then the row the grid was
    // narrowed to, then the first.
    TADOQuery* q = WarehouseData->ADOQuery2;
    OpenSql(q, AnsiString("Select ID,№,Наименование,Марка,Цвет,Размеры,Единица_измерения,Группа From Products Where ") +
                   kDescribedGoods + " Order By ID",
            {{"n", values[0]}, {"b", values[1]}, {"c", values[2]}, {"s", values[3]}, {"u", values[4]},
             {"g", values[5]}});
    if (q->IsEmpty())
        return 0;
    int64_t withArticle = 0, spelt = 0;
    bool currentFits = false;
    for (q->First(); !q->Eof(); q->Next()) {
        const int64_t id = q->FieldByName("ID")->AsLargeInt();
        const bool exact = describes(q, true);
        if (id == current) {
            if (exact)
                return id;
            currentFits = true;
        }
        if (withArticle == 0 && !article.empty() && AnsiSameText(q->FieldByName("№")->AsString(), article))
            withArticle = id;
        if (spelt == 0 && exact)
            spelt = id;
    }
    if (withArticle)
        return withArticle;
    if (spelt)
        return spelt;
    if (currentFits)
        return current;
    if (gridRow && describes(grid, false))
        return grid->FieldByName("ID")->AsLargeInt();
    q->First();
    return q->FieldByName("ID")->AsLargeInt();
}

void TForm2::WriteDocumentLine(bool add)
{
    double quantity = 0, price = 0, minimum = 0, maximum = 0;
    if (!ReadQuantity(quantity) || !ReadNumber(Edit1, "Цена", price) || !ReadNumber(Edit2, "Минимум на складе", minimum) ||
        !ReadNumber(Edit3, "Максимум на складе", maximum))
        return;
    if (ComboBox1->GetText().empty() || ComboBox7->GetText().empty()) {
        ShowMessage(CatalogueMessage(TCatalogueMessage::CardFieldsMissing));
        return;
    }
    int64_t lineId = 0, lineProduct = 0;
    if (!add) {
        TADOQuery* lines = WarehouseData->ADOQuery4;
        if (!HasCurrentRow(lines) || !lines->FindField("ID")) {
            Close();
            return;
        }
        lineId = lines->FieldByName("ID")->AsLargeInt();
        if (TField* f = lines->FindField("IDТовара"); f && !f->IsNull())
            lineProduct = f->AsLargeInt();
    }
    const int64_t product = LineProductId(lineProduct);
    const int rate = WarehouseData->DocVatRate;
    const double sum = LineSum(quantity, price);
    const TSqlParams values = {
        {"name", ComboBox1->GetText()},  {"brand", ComboBox2->GetText()}, {"colour", ComboBox3->GetText()},
        {"sizes", ComboBox4->GetText()}, {"unit", ComboBox5->GetText()},  {"group", ComboBox7->GetText()},
        {"price", price},                {"min", minimum},                {"max", maximum},
        {"q", quantity},                 {"supplier", FParty},
        {"sum", sum},                    {"rate", rate},                  {"vat", WithVat(rate, sum)},
        {"id", lineId},                  {"product", product ? Variant(product) : Null()},
    };
    if (add)
        ExecSql(WarehouseData->ADOQuery2,
                "Insert Into TempStructureDocuments (Наименование,Марка,Цвет,Размеры,Единица_измерения,Группа,Цена,"
                "Минимум,Максимум,Количество,Имя_поставщика,Сумма,Ставка,Сумма_с_НДС,IDТовара) Values (:name,:brand,"
                ":colour,:sizes,:unit,:group,:price,:min,:max,:q,:supplier,:sum,:rate,:vat,:product)",
                values);
    else
        ExecSql(WarehouseData->ADOQuery2,
                "Update TempStructureDocuments Set Наименование=:name,Марка=:brand,Цвет=:colour,Размеры=:sizes,"
                "Единица_измерения=:unit,Группа=:group,Цена=:price,Минимум=:min,Максимум=:max,Количество=:q,"
                "Имя_поставщика=:supplier,Сумма=:sum,Ставка=:rate,Сумма_с_НДС=:vat,IDТовара=:product Where ID=:id",
                values);
    LinesWritten();
}

void TForm2::ChangeIssueLine()
{
    TADOQuery* lines = WarehouseData->ADOQuery4;
    if (!HasCurrentRow(lines) || !lines->FindField("ID")) {
        Close();
        return;
    }
    double quantity = 0;
    if (!ReadQuantity(quantity))
        return;
    // The line under the cursor, by its own row: a request may name one product on several
    // lines, each with its own cap.
    const int64_t line = lines->FieldByName("ID")->AsLargeInt();
    TADOQuery* q = WarehouseData->ADOQuery2;
    OpenSql(q,
            "Select TempStructureOtpusk.Макс,Products.Цена From TempStructureOtpusk Left Join Products "
            "On (TempStructureOtpusk.IDТовара=Products.ID) Where TempStructureOtpusk.ID=:id",
            {{"id", line}});
    if (q->IsEmpty()) {
        Close();
        return;
    }
    const double most = RoundTo(q->FieldByName("Макс")->AsFloat(), -2);
    if (quantity > most) {
        ShowMessage(CatalogueMessage(TCatalogueMessage::QuantityAboveMax, {FloatToStr(most)}));
        return;
    }
    TField* priceField = q->FieldByName("Цена");
    const double price = priceField->IsNull() ? 0 : priceField->AsFloat();
    const int rate = WarehouseData->DocVatRate;
    const double sum = LineSum(quantity, price);
    ExecSql(q, "Update TempStructureOtpusk Set Количество=:q,Сумма=:sum,Ставка=:rate,Сумма_с_НДС=:vat Where ID=:id",
            {{"q", quantity}, {"sum", sum}, {"rate", rate}, {"vat", WithVat(rate, sum)}, {"id", line}});
    LinesWritten();
}

void TForm2::StoreCard()
{
    double price = 0, minimum = 0, maximum = 0;
    if (!ReadNumber(Edit1, "Цена", price) || !ReadNumber(Edit2, "Минимум на складе", minimum) ||
        !ReadNumber(Edit3, "Максимум на складе", maximum))
        return;
    TADOQuery* q = WarehouseData->ADOQuery2;
    try {
        if (CardMode == TCardMode::PricesOnly) {
            if (Art->GetEnabled())
                ExecSql(q, "Update Products Set №=:art,Цена=:price,Минимум=:min,Максимум=:max Where ID=:id",
                        {{"art", Art->GetText()}, {"price", price}, {"min", minimum}, {"max", maximum},
                         {"id", CardProductId}});
            else
                ExecSql(q, "Update Products Set Цена=:price,Минимум=:min,Максимум=:max Where ID=:id",
                        {{"price", price}, {"min", minimum}, {"max", maximum}, {"id", CardProductId}});
        } else {
            if (ComboBox1->GetText().empty() || ComboBox7->GetText().empty()) {
                ShowMessage(CatalogueMessage(TCatalogueMessage::CardFieldsMissing));
                return;
            }
            // Goods sit only in groups without subgroups: the group is one the list offers,
            // as the list spells it, never a group above others or a name typed at will.
            AnsiString group;
            for (const AnsiString& g : WarehouseData->GoodsGroupNames())
                if (AnsiSameText(g, ComboBox7->GetText())) {
                    group = g;
                    break;
                }
            if (group.empty()) {
                ShowMessage("Выберите группу из списка");
                return;
            }
            const TSqlParams values = {
                {"art", Art->GetText()},         {"name", ComboBox1->GetText()},  {"brand", ComboBox2->GetText()},
                {"colour", ComboBox3->GetText()}, {"sizes", ComboBox4->GetText()}, {"unit", ComboBox5->GetText()},
                {"supplier", ComboBox6->GetText()}, {"price", price},              {"min", minimum},
                {"max", maximum},                {"group", group},                {"id", CardProductId},
            };
            if (CardMode == TCardMode::NewCard)
                ExecSql(q,
                        "Insert Into Products (№,Наименование,Марка,Цвет,Размеры,Единица_измерения,Имя_поставщика,"
                        "Цена,Минимум,Максимум,Группа,Количество) Values (:art,:name,:brand,:colour,:sizes,:unit,"
                        ":supplier,:price,:min,:max,:group,0)",
                        values);
            else
                ExecSql(q,
                        "Update Products Set №=:art,Наименование=:name,Марка=:brand,Цвет=:colour,Размеры=:sizes,"
                        "Единица_измерения=:unit,Имя_поставщика=:supplier,Цена=:price,Минимум=:min,Максимум=:max,"
                        "Группа=:group Where ID=:id",
                        values);
        }
    } catch (const std::exception& e) {
        ShowMessage(CatalogueMessage(TCatalogueMessage::CardNotSaved, {e.what()}));
        return;
    }
    Close();
    WarehouseData->RefreshGoodsGrid();
}

void TForm2::Button7Click(TObject*)
{
    switch (Role()) {
    case TCardRole::Card: StoreCard(); break;
    case TCardRole::Picker: WriteDocumentLine(true); break;
    case TCardRole::Editor: WriteDocumentLine(false); break;
    case TCardRole::Other: break;
    }
}

void TForm2::Button3Click(TObject*)
{
    // A write-off line: the product must be one the warehouse holds, picked from the grid or
    // the lists; the posting checks it again.
    WriteDocumentLine(true);
}

void TForm2::Button2Click(TObject*)
{
    if (FLineEdit == TLineEdit::IssueQuantity)
        ChangeIssueLine();
    else
        WriteDocumentLine(false);
}

// ---------------------------------------------------------------- openers

void TForm2::FillLists()
{
    Edit1->SetText("");
    Edit2->SetText("");
    Edit3->SetText("");
    FillProductLists(WarehouseData->ADOQuery2, {{Art, "№"},
                                        {ComboBox1, "Наименование"},
                                        {ComboBox2, "Марка"},
                                        {ComboBox3, "Цвет"},
                                        {ComboBox4, "Размеры"},
                                        {ComboBox5, "Единица_измерения"}});
    // The sorted lists take their names in one AddStrings, the same list as one Add each,
    // which would insert each name in the middle: square in the number of names.
    ComboBox6->SetText("");
    ComboBox6->GetItems()->Clear();
    TADOQuery* q = WarehouseData->ADOQuery2;
    OpenSql(q, "Select * From P");
    TStringList suppliers;
    for (q->First(); !q->Eof(); q->Next())
        suppliers.Add(q->FieldByName("Название")->AsString());
    ComboBox6->GetItems()->AddStrings(suppliers);
    ComboBox7->GetItems()->Clear();
    ComboBox7->SetText("");
    TStringList groups;
    for (const AnsiString& group : WarehouseData->GoodsGroupNames())
        groups.Add(group);
    ComboBox7->GetItems()->AddStrings(groups);
}

void TForm2::EnableDescribingFields(bool enabled)
{
    for (TComboBox* box : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6, ComboBox7})
        box->SetEnabled(enabled);
}

void TForm2::ShowCardRole()
{
    SetRole(TCardRole::Card);
    Button4->SetVisible(false);
    Button5->SetVisible(false);
    DBGrid1->SetVisible(false);
    Label6->SetCaption("Поставщик");
    Button9->SetVisible(true);
    ComboBox6->SetWidth(169);
    Button2->SetVisible(false);
    ShowModal();
    GroupBox1->SetCaption("Область заполнения");
}

void TForm2::ShowProduct(TCardMode mode, const TProductCard& p)
{
    CardProductId = p.Id;
    if (mode == TCardMode::FullEdit) {
        FillLists();
        for (TEdit* e : {Edit1, Edit2, Edit3})
            e->SetEnabled(true);
        EnableDescribingFields(true);
        Art->SetEnabled(true);
        Button1->SetVisible(false);
        Button3->SetVisible(false);
        Button7->SetVisible(true);
        SetCaption("Изменение карточки учета товара");
    } else {
        Button1->SetVisible(true);
        Button7->SetVisible(true);
        Button3->SetVisible(false);
        for (TEdit* e : {Edit1, Edit2, Edit3})
            e->SetEnabled(true);
        EnableDescribingFields(false);
        SetCaption("Просмотр карточки учета товара");
    }
    CardMode = mode;
    Button2->SetVisible(false);

    ComboBox1->SetText(p.Name);
    Art->SetText(p.Article);
    ComboBox2->SetText(p.Brand);
    ComboBox3->SetText(p.Colour);
    ComboBox4->SetText(p.Sizes);
    ComboBox5->SetText(p.Unit);
    ComboBox6->SetText(p.Supplier);
    Edit1->SetText(p.Price);
    Edit2->SetText(p.Minimum);
    Edit3->SetText(p.Maximum);
    ComboBox7->SetText(p.Group);
    ShowFigures(p);
    ShowCardRole();
}

void TForm2::ShowNewCard(const AnsiString& group)
{
    FillLists();
    if (!group.empty())
        ComboBox7->SetText(group);
    for (TComboBox* box : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6})
        box->SetText("");
    Art->SetText("");
    for (TEdit* e : {Edit1, Edit2, Edit3})
        e->SetEnabled(true);
    EnableDescribingFields(true);
    Art->SetEnabled(true);
    for (TEdit* e : {Edit4, Edit5, Edit6, Edit7, Edit9})
        e->SetText("0");
    Button1->SetVisible(false);
    Button3->SetVisible(false);
    Button7->SetVisible(true);
    SetCaption("Новая карточка учета товара");
    CardMode = TCardMode::NewCard;
    CardProductId = 0;
    ShowCardRole();
}

void TForm2::PrepareLineCard(bool forAdding)
{
    ComboBox6->SetText("");
    Label6->SetCaption(kQuantityLabel);
    Button9->SetVisible(false);
    ComboBox6->SetWidth(193);
    SetCaption(forAdding ? "Добавление товара в документ" : "Изменение товара в документе");
}

void TForm2::ShowAsPicker(bool act, const AnsiString& party)
{
    FParty = party;
    for (TWinControl* c : std::initializer_list<TWinControl*>{Edit1, Edit2, Edit3, ComboBox1, ComboBox2, ComboBox3,
                                                              ComboBox4, ComboBox5, ComboBox6, ComboBox7})
        c->SetEnabled(true);
    Button3->SetVisible(act);
    Button2->SetVisible(false);
    Button1->SetVisible(false);
    Button7->SetVisible(!act);
    FillLists();
    PrepareLineCard(true);
    DBGrid1->SetVisible(true);
    SetRole(TCardRole::Picker);
    Button4->SetVisible(true);
    Button5->SetVisible(true);
    // The list keeps the query of its last showing; its stock figures must be today's.
    if (WarehouseData->ADOQuery5->Active())
        WarehouseData->ADOQuery5->Requery();
    ShowModal();
}

void TForm2::ShowAsEditor(TADOQuery* line, TLineEdit edit, const AnsiString& party)
{
    FParty = party;
    FLineEdit = edit;
    const auto text = [line](const char* name) {
        TField* f = line->FindField(name);
        return f ? f->AsString() : AnsiString();
    };
    TWinControl* const nine[] = {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5,
                                 ComboBox7, Edit1,     Edit2,     Edit3};
    if (edit == TLineEdit::Whole) {
        for (TWinControl* c : nine)
            c->SetEnabled(true);
        FillLists();
    } else {
        // A request keeps the goods it names; an issue line or an act line changes its quantity only.
        for (TWinControl* c : nine)
            c->SetEnabled(false);
    }
    const bool described = edit == TLineEdit::Whole || edit == TLineEdit::RequestQuantity;
    // The quantity box is what this editor is for, whatever card was shown before it.
    ComboBox6->SetEnabled(true);
    Button7->SetVisible(described);
    Button2->SetVisible(!described);
    Button1->SetVisible(false);
    Button3->SetVisible(false);
    PrepareLineCard(false);
    ComboBox1->SetText(text("Наименование"));
    ComboBox2->SetText(text("Марка"));
    ComboBox3->SetText(text("Цвет"));
    ComboBox4->SetText(text("Размеры"));
    ComboBox5->SetText(text("Единица_измерения"));
    Edit1->SetText(text("Цена"));
    Edit2->SetText(text("Минимум"));
    Edit3->SetText(text("Максимум"));
    ComboBox7->SetText(text("Группа"));
    ComboBox6->SetText(text("Количество"));
    SetRole(TCardRole::Editor);
    Button4->SetVisible(false);
    Button5->SetVisible(false);
    // The editor opens on the quantity, selected, so that the figure typed replaces it.
    SetActiveControl(ComboBox6);
    ShowModal();
    Button2->SetVisible(false);
    Button1->SetVisible(false);
    Button7->SetVisible(true);
    Button3->SetVisible(false);
}

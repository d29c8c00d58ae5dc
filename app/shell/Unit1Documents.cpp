// Unit1Documents.cpp - the main window's new-document commands and the order-request import.
//
// Each command empties the scratch line tables, fills the document window's lists from
// earlier documents, arranges its controls for one kind of document, sets its mode and shows
// it. The import reads a .sklad file completely and checks it before anything is changed;
// the goods, the group "Импорт" and the lines it adds are written in one transaction.
#include "app/shell/Unit1.h"

#include "app/documents/Documents.h"
#include "app/documents/Import.h"
#include "app/documents/Unit3.h"
#include "app/shell/ShellDb.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Math.h"

namespace {

void HideExtraLineColumns()
{
    for (int i = 8; i <= 10; ++i)
        Form3->DBGrid1->GetColumns()->Items(i)->SetVisible(false);
}

void ShowAll(std::initializer_list<TControl*> controls, bool visible)
{
    for (TControl* c : controls)
        c->SetVisible(visible);
}

void Enable(std::initializer_list<TControl*> controls, bool enabled)
{
    for (TControl* c : controls)
        c->SetEnabled(enabled);
}

TTreeNode* FindNode(TTreeView* tree, const AnsiString& text)
{
    for (int i = 0; i < tree->GetItems()->Count(); ++i)
        if (tree->GetItems()->Item(i)->GetText() == text)
            return tree->GetItems()->Item(i);
    return nullptr;
}

}  // namespace

void TForm1::Button5Click(TObject*)
{
    TForm3* f = Form3;
    f->SetMode(TDocumentMode::NewReceipt, DocumentKind::Receipt);
    f->ComboBox2->SetText("");
    f->ComboBox2->GetItems()->Clear();
    OpenSql(ADOQuery2, "Select Название From P Order By rowid");
    for (ADOQuery2->First(); !ADOQuery2->Eof(); ADOQuery2->Next())
        f->ComboBox2->GetItems()->Add(ADOQuery2->FieldByName("Название")->AsString());
    FillDistinct(ADOQuery2, f->ComboBox3, "Documents", "Через_кого");
    ClearTempDocumentTables();
    DocVatRate = 0;
    f->Edit3->SetText("");

    Enable({f->ComboBox2, f->ComboBox3, f->ComboBox1, f->ComboBox4}, true);
    f->CheckBox1->SetVisible(true);
    f->CheckBox1->SetEnabled(false);
    Enable({f->Button1, f->Button2, f->Button3}, true);
    f->Button4->SetVisible(true);
    ShowAll({f->DateTimePicker2, f->Button7, f->Button8}, false);
    f->Button9->SetVisible(true);
    f->GroupBox3->SetVisible(false);
    f->GroupBox3->SetEnabled(true);
    f->GroupBox1->SetWidth(777);
    f->Label4->SetCaption("Итого на сумму");
    // A type chosen for an earlier receipt is still there: its number box shows at once.
    if (f->ComboBox1->GetItemIndex() == 0) {
        f->Label9->SetCaption("Приходная накладная №");
        f->GroupBox3->SetVisible(true);
    } else if (f->ComboBox1->GetItemIndex() == 1) {
        f->Label9->SetCaption("                   Копия чека №");
        f->GroupBox3->SetVisible(true);
    }
    HideExtraLineColumns();
    f->SetCaption("Приход товара");
    f->Label2->SetCaption("Поставщик");
    ShowAll({f->Label5, f->Edit2}, false);
    ShowAll({f->Label1, f->Label2, f->Label3, f->Label8, f->ComboBox1}, true);
    ShowAll({f->ComboBox5, f->ComboBox6}, false);
    ShowAll({f->ComboBox4, f->ComboBox2, f->ComboBox3}, true);
    f->GroupBox1->SetVisible(true);
    f->GroupBox1->SetEnabled(true);
    f->GroupBox2->SetVisible(false);
    f->CheckBox1->SetChecked(false);
    f->GroupBox1->SetCaption("Данные о документе");
    f->ImportBtn->SetVisible(false);
    f->ShowLines();
    f->UpdateTotal();
    f->ShowModal();
}

void TForm1::PrepareOrderRequestForm()
{
    TForm3* f = Form3;
    f->SetMode(TDocumentMode::NewRequest, DocumentKind::Request);
    FillDistinct(ADOQuery2, f->ComboBox2, "Application", "Получатель");
    FillDistinct(ADOQuery2, f->ComboBox3, "Application", "Через_кого");
    FillDistinct(ADOQuery2, f->ComboBox5, "Application", "Заказчик");
    FillDistinct(ADOQuery2, f->ComboBox6, "Application", "№_заказа");
    ClearTempDocumentTables();
    // A request carries no VAT: its lines' sums are their sums, whatever an earlier invoice set.
    DocVatRate = 0;

    ShowAll({f->ComboBox2, f->ComboBox3}, true);
    Enable({f->ComboBox2, f->ComboBox3, f->CheckBox1, f->Button1, f->Button2, f->Button3}, true);
    ShowAll({f->Button4, f->DateTimePicker1, f->DateTimePicker2}, true);
    ShowAll({f->Button7, f->Button9}, false);
    ShowAll({f->ComboBox5, f->ComboBox6}, true);
    Enable({f->ComboBox5, f->ComboBox6}, true);
    f->Edit2->SetVisible(false);
    f->GroupBox2->SetVisible(true);
    f->GroupBox1->SetWidth(777);
    HideExtraLineColumns();
    f->GroupBox3->SetVisible(false);
    f->Label4->SetCaption("Итого на сумму");
    f->SetCaption("Заявка на заказ на " + DateToStr(Date()));
    f->Label2->SetCaption("Получатель");
    f->Label5->SetVisible(true);
    ShowAll({f->Label1, f->Label8, f->ComboBox1, f->ComboBox4, f->CheckBox1, f->Button8}, false);
    ShowAll({f->Label2, f->Label3}, true);
    f->GroupBox1->SetCaption("Данные о документе");
    f->GroupBox1->SetVisible(true);
    f->GroupBox1->SetEnabled(true);
    f->ShowLines();
    f->UpdateTotal();
}

void TForm1::Button6Click(TObject*)
{
    PrepareOrderRequestForm();
    Form3->ImportBtn->SetVisible(true);
    Form3->ShowModal();
}

void TForm1::Button9Click(TObject*)
{
    TForm3* f = Form3;
    f->SetMode(TDocumentMode::NewAct, DocumentKind::Act);
    f->ComboBox2->SetEnabled(false);
    Enable({f->ComboBox3, f->CheckBox1, f->Button1, f->Button2, f->Button3}, true);
    f->Button4->SetVisible(true);
    ShowAll({f->DateTimePicker2, f->Button7, f->Button8, f->Button9, f->GroupBox3, f->ImportBtn}, false);
    HideExtraLineColumns();
    f->SetCaption("Списание по акту на " + DateToStr(Date()));
    f->Label2->SetCaption("Получатель");
    f->Label4->SetCaption("Итого на сумму");
    ShowAll({f->Label5, f->Label1, f->Label2, f->Label3, f->Label8, f->ComboBox1}, false);
    // The reason box belongs to this act: the viewer of an earlier act left it disabled and filled.
    f->Edit2->SetVisible(true);
    f->Edit2->SetEnabled(true);
    f->Edit2->SetText("");
    ShowAll({f->GroupBox2, f->ComboBox2, f->ComboBox3, f->ComboBox4, f->CheckBox1, f->ComboBox5, f->ComboBox6}, false);
    f->GroupBox1->SetWidth(777);
    f->GroupBox1->SetCaption("Причина списания");
    ClearTempDocumentTables();
    // An act carries no VAT: its total is the sum of its lines as they are posted.
    DocVatRate = 0;
    f->ShowLines();
    f->UpdateTotal();
    f->ShowModal();
}

// ---------------------------------------------------------------- order-request import

void TForm1::N1Click(TObject*)
{
    OpenDialog->Filter = "(*.sklad)|*.sklad";
    if (!OpenDialog->Execute())
        return;
    ImportOrderRequest(OpenDialog->FileName, TImportTarget::NewRequest);
}

bool TForm1::ImportOrderRequest(const AnsiString& path, TImportTarget target)
{
    // The whole file is read and checked first: a damaged one changes nothing.
    std::vector<uint8_t> bytes;
    OrderRequestFile file;
    TImportRead read{TImportStatus::NotRequest, {}};
    if (ReadImportFile(path, bytes))
        read = ReadOrderRequest(bytes.data(), bytes.size(), file);
    if (read.Status == TImportStatus::Empty)
        return false;
    if (read.Status != TImportStatus::Ok) {
        ShowMessage(ImportStatusText(read, path));
        return false;
    }

    CreateMissingGoods = Application->MessageBox("Заносить несуществующие товары на склад?", "Внимание!", MB_YESNO) == IDYES;

    TForm3* f = Form3;
    const bool intoWindow = target == TImportTarget::EnteredRequest;
    if (!intoWindow)
        PrepareOrderRequestForm();
    // A header the user has already typed stays; empty boxes take the file's.
    const bool takeHeader = !intoWindow || (f->ComboBox5->GetText().empty() && f->ComboBox6->GetText().empty());
    if (takeHeader) {
        f->ComboBox5->SetText(file.Customer);
        f->ComboBox6->SetText(file.DocumentNumber);
        f->DateTimePicker2->SetDateTime(file.Due);
        f->KeepGivenDates();
    }
    if (!intoWindow || f->ComboBox2->GetText().empty())
        f->ComboBox2->SetText("-");
    if (!intoWindow || f->ComboBox3->GetText().empty())
        f->ComboBox3->SetText("-");

    bool groupAdded = false;
    AnsiString parentName;
    try {
        InTransaction(ADOConnection1, [&] {
            TADOQuery* q = ImportQuery;
            if (CreateMissingGoods) {
                OpenSql(q, "Select ID From Groups Where NameGroup=:n", {{"n", "Импорт"}});
                if (q->IsEmpty()) {
                    OpenSql(q, "Select * From Groups Where IDName=0 Order By ID");
                    const int64_t root = q->IsEmpty() ? 0 : q->FieldByName("ID")->AsLargeInt();
                    parentName = q->IsEmpty() ? AnsiString() : q->FieldByName("NameGroup")->AsString();
                    ExecSql(q, "Insert Into Groups (NameGroup,IDName) Values (:n,:p)", {{"n", "Импорт"}, {"p", root}});
                    groupAdded = true;
                }
            }
            for (const OrderRequestRecord& r : file.Records) {
                const float quantity = static_cast<float>(RoundTo(r.Quantity, -2));
                const float price = static_cast<float>(RoundTo(r.Price, -2));
                const double sum = RoundCents(static_cast<long double>(quantity) * price);
                // The goods of that name with exactly this unit; another unit is other goods.
                AnsiString brand, colour, sizes, group;
                int64_t product = 0;
                bool known = false;
                OpenSql(q, "Select * From Products Where Наименование=:n Order By ID", {{"n", r.ItemName}});
                for (q->First(); !q->Eof(); q->Next())
                    if (q->FieldByName("Единица_измерения")->AsString() == r.UnitName) {
                        brand = q->FieldByName("Марка")->AsString();
                        colour = q->FieldByName("Цвет")->AsString();
                        sizes = q->FieldByName("Размеры")->AsString();
                        group = q->FieldByName("Группа")->AsString();
                        product = q->FieldByName("ID")->AsLargeInt();
                        known = true;
                        break;
                    }
                if (!known) {
                    if (!CreateMissingGoods)
                        continue;
                    brand = "-";
                    colour = "-";
                    sizes = "0";
                    group = "Импорт";
                    ExecSql(q,
                            "INSERT INTO Products (Наименование,Марка,Цвет,Размеры,Единица_измерения,Имя_поставщика,"
                            "Цена,Минимум,Максимум,Группа,Количество,ПоставщикОстатка,КоличествоОстатка) "
                            "VALUES (:n,:b,:c,:s,:u,:sup,:p,1,1,:g,0,'-',0)",
                            {{"n", r.ItemName}, {"b", brand}, {"c", colour}, {"s", sizes}, {"u", r.UnitName},
                             {"sup", file.Customer}, {"p", RoundTo(price, -2)}, {"g", group}});
                    product = q->LastInsertId();
                }
                ExecSql(f->ImportQuery,
                        "INSERT INTO TempStructureDocuments\n(Наименование,Марка,Цвет,Размеры,Единица_измерения,"
                        "Имя_поставщика,Цена,Минимум,Максимум,Группа,Количество,Сумма,Ставка,Сумма_с_НДС,IDТовара) "
                        "VALUES (:n,:b,:c,:s,:u,:sup,:p,1,:mx,:g,:q,:sum,0,:sum,:id)",
                        {{"n", r.ItemName}, {"b", brand}, {"c", colour}, {"s", sizes}, {"u", r.UnitName},
                         {"sup", file.Customer}, {"p", RoundTo(price, -2)}, {"mx", static_cast<double>(quantity)},
                         {"g", group}, {"q", RoundTo(quantity, -2)}, {"sum", sum}, {"id", product}});
            }
        });
    } catch (const std::exception& e) {
        ShowMessage(DocumentMessage(TDocumentMessage::ImportNotLoaded, {e.what()}));
        f->ShowLines();
        f->UpdateTotal();
        return false;
    }
    if (groupAdded) {
        TTreeNode* parent = FindNode(TreeView1, parentName);
        if (parent)
            TreeView1->GetItems()->AddChild(parent, "Импорт");
        else
            TreeView1->GetItems()->Add(nullptr, "Импорт");
    }
    f->ShowLines();
    f->UpdateTotal();
    if (!intoWindow)
        f->ShowModal();
    return true;
}

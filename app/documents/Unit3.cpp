#include "app/documents/Unit3.h"

#include "app/documents/Printing.h"
#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/documents/GridWidths.h"
#include "app/documents/Statements.h"
#include "app/documents/Unit6.h"
#include "app/documents/WriteOff.h"
#include "app/shell/Layouts.h"
#include "app/shell/DataModule.h"
#include "app/shell/ShellMessages.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/ScopeExit.h"

TForm3* Form3 = nullptr;

SKLAD_DEFINE_CLASS(TForm3)

void TForm3::Publish(TPropertyTable& t)
{
    t.Method("Button1Click", &TForm3::Button1Click);
    t.Method("Button2Click", &TForm3::Button2Click);
    t.Method("Button3Click", &TForm3::Button3Click);
    t.Method("Button4Click", &TForm3::Button4Click);
    t.Method("Button6Click", &TForm3::Button6Click);
    t.Method("Button7Click", &TForm3::Button7Click);
    t.Method("Button8Click", &TForm3::Button8Click);
    t.Method("Button9Click", &TForm3::Button9Click);
    t.Method("ImportBtnClick", &TForm3::ImportBtnClick);
    t.Method("CheckBox1Click", &TForm3::CheckBox1Click);
    t.Method("ComboBox1Select", &TForm3::ComboBox1Select);
    t.Method("ComboBox2Change", &TForm3::ComboBox2Change);
    t.Method("DBGrid1DblClick", &TForm3::DBGrid1DblClick);
    t.Method("FormShow", &TForm3::FormShow);
}

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit3"));
    SKLAD_BIND(GroupBox1);
    SKLAD_BIND(GroupBox2);
    SKLAD_BIND(GroupBox3);
    SKLAD_BIND(ComboBox1);
    SKLAD_BIND(ComboBox2);
    SKLAD_BIND(ComboBox3);
    SKLAD_BIND(ComboBox4);
    SKLAD_BIND(ComboBox5);
    SKLAD_BIND(ComboBox6);
    SKLAD_BIND(Label1);
    SKLAD_BIND(Label2);
    SKLAD_BIND(Label3);
    SKLAD_BIND(Label4);
    SKLAD_BIND(Label5);
    SKLAD_BIND(Label6);
    SKLAD_BIND(Label7);
    SKLAD_BIND(Label8);
    SKLAD_BIND(Label9);
    SKLAD_BIND(Label10);
    SKLAD_BIND(Edit2);
    SKLAD_BIND(Edit3);
    SKLAD_BIND(DateTimePicker1);
    SKLAD_BIND(DateTimePicker2);
    SKLAD_BIND(CheckBox1);
    SKLAD_BIND(DBGrid1);
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
    SKLAD_BIND(Button3);
    SKLAD_BIND(Button4);
    SKLAD_BIND(Button6);
    SKLAD_BIND(Button7);
    SKLAD_BIND(Button8);
    SKLAD_BIND(Button9);
    SKLAD_BIND(ImportBtn);
    SKLAD_BIND(Import);
    SKLAD_BIND(ImportQuery);
    DBGrid1->SetDataSource(WarehouseData->DataSource2);
    ImportQuery->SetConnection(WarehouseData->ADOConnection1);
}

// ---------------------------------------------------------------- mode and lines

void TForm3::SetMode(TDocumentMode mode, DocumentKind kind, int64_t requestId)
{
    FMode = mode;
    FKind = kind;
    FRequestId = requestId;
    FDatesGiven = false;
}

namespace {

// The lines of an issue invoice are pointers to products; the grid shows them joined.
const char* const kIssueLinesSql =
    "Select Products.Наименование,Products.Марка,Products.Цвет,Products.Размеры,Products.Единица_измерения,"
    "Products.Группа,Products.Цена,Products.Минимум,Products.Максимум,TempStructureOtpusk.Количество,"
    "TempStructureOtpusk.Макс,TempStructureOtpusk.Сумма,TempStructureOtpusk.Ставка,TempStructureOtpusk.Сумма_с_НДС,"
    "TempStructureOtpusk.IDТовара,TempStructureOtpusk.ID From TempStructureOtpusk "
    "Inner Join Products On (TempStructureOtpusk.IDТовара=Products.ID) Order By TempStructureOtpusk.ID";

AnsiString FieldText(TADOQuery* q, const char* name)
{
    TField* f = q->FindField(name);
    return f ? f->AsString() : AnsiString();
}

}  // namespace

void TForm3::ShowLines()
{
    if (FMode == TDocumentMode::NewIssue)
        OpenSql(WarehouseData->ADOQuery4, kIssueLinesSql);
    else
        OpenSql(WarehouseData->ADOQuery4, "Select * From TempStructureDocuments Order By ID");
}

void TForm3::UpdateTotal()
{
    OpenSql(WarehouseData->ADOQuery2, FMode == TDocumentMode::NewIssue ? "Select Сумма_с_НДС From TempStructureOtpusk"
                                                               : "Select Сумма_с_НДС From TempStructureDocuments");
    DocTotal = LinesTotal(WarehouseData->ADOQuery2, "Сумма_с_НДС");
    Label4->SetCaption(TotalCaption(DocTotal));
}

// ---------------------------------------------------------------- lines

bool TForm3::HeaderComplete() const
{
    const auto filled = [](std::initializer_list<TComboBox*> boxes) {
        for (TComboBox* b : boxes)
            if (b->GetText().empty())
                return false;
        return true;
    };
    switch (FMode) {
    case TDocumentMode::NewRequest:
    case TDocumentMode::EditRequest: return filled({ComboBox2, ComboBox3, ComboBox5, ComboBox6});
    case TDocumentMode::NewReceipt: return filled({ComboBox1, ComboBox2, ComboBox3, ComboBox4});
    default: return true;
    }
}

AnsiString TForm3::Party() const
{
    return ComboBox2->GetText();
}

void TForm3::Button1Click(TObject*)
{
    if (!Editing() || !Button1->GetEnabled())
        return;
    const bool act = FMode == TDocumentMode::NewAct;
    if (!act && !HeaderComplete()) {
        ShowMessage("Заполнены не все данные о документе");
        return;
    }
    LineCard()->ShowAsPicker(act, Party());
    ShowLines();
    UpdateTotal();
}

void TForm3::Button3Click(TObject*)
{
    TADOQuery* lines = WarehouseData->ADOQuery4;
    if (!Editing() || !HasCurrentRow(lines))
        return;
    const int at = lines->RecNo();
    TLineEdit edit = TLineEdit::ActQuantity;
    if (FMode == TDocumentMode::NewReceipt)
        edit = TLineEdit::Whole;
    else if (FMode == TDocumentMode::NewRequest || FMode == TDocumentMode::EditRequest)
        edit = TLineEdit::RequestQuantity;
    else if (FMode == TDocumentMode::NewIssue)
        edit = TLineEdit::IssueQuantity;
    LineCard()->ShowAsEditor(lines, edit, Party());
    ShowLines();
    if (at >= 1 && at <= lines->RecordCount())
        lines->SetRecNo(at);
    UpdateTotal();
}

void TForm3::Button2Click(TObject*)
{
    TADOQuery* lines = WarehouseData->ADOQuery4;
    if (!Editing() || !HasCurrentRow(lines))
        return;
    // The line under the cursor goes, and only that one (by its own id).
    const int64_t id = lines->FieldByName("ID")->AsLargeInt();
    if (FMode == TDocumentMode::NewIssue)
        ExecSql(WarehouseData->ADOQuery2, "Delete From TempStructureOtpusk Where ID=:id", {{"id", id}});
    else
        ExecSql(WarehouseData->ADOQuery2, "Delete From TempStructureDocuments Where ID=:id", {{"id", id}});
    ShowLines();
    UpdateTotal();
}

void TForm3::DBGrid1DblClick(TObject*)
{
    if (!Editing() || !ComboBox2->GetEnabled())
        return;
    OpenSql(WarehouseData->ADOQuery2, "Select ID From TempStructureDocuments");
    if (WarehouseData->ADOQuery2->IsEmpty())
        Button1Click(nullptr);
    else
        Button3Click(nullptr);
}

void TForm3::CheckBox1Click(TObject*)
{
    if (FRestoringVat)
        return;
    const int rate = CheckBox1->GetChecked() ? WarehouseData->VatRate : 0;
    if (!Editing()) {
        WarehouseData->DocVatRate = rate;
        return;
    }
    const char* table = FMode == TDocumentMode::NewIssue ? "TempStructureOtpusk" : "TempStructureDocuments";
    TADOQuery* q = WarehouseData->ADOQuery2;
    // Every line gets the document's rate and its VAT sum by the one rule. When the lines
    // cannot be written the document keeps the rate they carry, and the box shows it again:
    // lines added afterwards must not take a rate the others do not have.
    TScopeFail restore([&] {
        FRestoringVat = true;
        TScopeExit done([&] { FRestoringVat = false; });
        CheckBox1->SetChecked(!CheckBox1->GetChecked());
    });
    InTransaction(WarehouseData->ADOConnection1, [&] {
        OpenSql(q, AnsiString("Select ID,Сумма From ") + table + " Where (Ставка Is Null) Or (Ставка<>:r)",
                {{"r", rate}});
        std::vector<std::pair<int64_t, double>> updates;
        for (q->First(); !q->Eof(); q->Next()) {
            TField* sum = q->FieldByName("Сумма");
            DocTotal = sum->IsNull() ? 0.0 : sum->AsFloat();
            updates.emplace_back(q->FieldByName("ID")->AsLargeInt(), LineVatSum(rate, DocTotal));
        }
        for (const auto& [id, v] : updates)
            ExecSql(q, AnsiString("Update ") + table + " Set Ставка=:r,Сумма_с_НДС=:v Where ID=:id",
                    {{"r", rate}, {"v", v}, {"id", id}});
    });
    // The lines carry the new rate now: a failure in reading them back leaves the box as it is.
    restore.Release();
    WarehouseData->DocVatRate = rate;
    ShowLines();
    UpdateTotal();
}

void TForm3::ComboBox2Change(TObject*)
{
    if (!Editing() || FMode == TDocumentMode::NewIssue)
        return;
    const AnsiString text = ComboBox2->GetText();
    Form2->WorkText = text;
    // Every line carries the header's supplier or recipient, also lines entered before it.
    ExecSql(WarehouseData->ADOQuery4,
            "Update TempStructureDocuments Set Имя_поставщика=:t Where (Имя_поставщика Is Null) Or (Имя_поставщика<>:t)",
            {{"t", text}});
    ShowLines();
}

void TForm3::ComboBox1Select(TObject*)
{
    GroupBox3->SetVisible(false);
    if (ComboBox1->GetItemIndex() == 0)
        Label9->SetCaption("Приходная накладная №");
    else if (ComboBox1->GetItemIndex() == 1)
        Label9->SetCaption("                   Копия чека №");
    GroupBox3->SetVisible(true);
}

void TForm3::Button9Click(TObject*)
{
    const AnsiString name = ComboBox2->GetText();
    if (name.empty()) {
        ShowMessage("Введите название поставщика");
        return;
    }
    OpenSql(WarehouseData->ADOQuery2, "Select * From P Where Название=:n", {{"n", name}});
    Form6->ShowSupplier(WarehouseData->ADOQuery2, name, name, TSupplierCaption::DocumentWindow);
}

void TForm3::FormShow(TObject*)
{
    for (TComboBox* c : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6})
        c->SetDropDownCount(Max(1, c->GetItems()->Count()));
    if (!FDatesGiven) {
        DateTimePicker1->SetDateTime(Date());
        DateTimePicker2->SetDateTime(Date());
    }
    FDatesGiven = false;
    ImportQuery->SetConnection(WarehouseData->ImportQuery->Connection());
    if (FirstShow) {
        LoadGridWidths(*this, WarehouseData->ADOQuery3);
        FirstShow = 0;
    }
}

// ---------------------------------------------------------------- save, print, import

void TForm3::Button6Click(TObject*)
{
    // Leaving an entry asks first; a document only viewed closes at once.
    if (!(Button1->GetEnabled() || Button2->GetEnabled() || Button3->GetEnabled()) || Form11->AskAbandon())
        Close();
}

void TForm3::Save(const std::function<void()>& write)
{
    try {
        write();
    } catch (const std::exception& e) {
        ShowMessage(DocumentMessage(TDocumentMessage::NotSaved, {e.what()}));
        return;
    }
    Close();
    // Stock changed: the goods grid shows it at once, on the same product even when its
    // order changed (a grid that cannot be read again is emptied and the user told).
    WarehouseData->ReloadGoods();
}

void TForm3::Button4Click(TObject*)
{
    TADOQuery* work = WarehouseData->ADOQuery2;
    TADOQuery* lines = WarehouseData->ADOQuery3;
    switch (FMode) {
    case TDocumentMode::NewAct:
        // The input dialog asks for the password and posts the act; it closes this window.
        ConfirmWriteOff({.Reason = Edit2->GetText(), .Date = DateOf(DateTimePicker1->GetDateTime())});
        return;
    case TDocumentMode::NewReceipt:
        if (!HeaderComplete()) {
            ShowMessage("Заполнены не все данные о документе");
            return;
        }
        Save([&] {
            SaveReceipt(work, lines,
                        {.Created = DateOf(DateTimePicker1->GetDateTime()), .Number = Edit3->GetText(),
                         .Type = ComboBox1->GetText(), .Payment = ComboBox4->GetText(),
                         .Supplier = ComboBox2->GetText(), .Through = ComboBox3->GetText()});
        });
        return;
    case TDocumentMode::NewRequest:
        if (!HeaderComplete()) {
            ShowMessage("Заполнены не все данные о документе");
            return;
        }
        Save([&] {
            SaveRequest(work, lines,
                        {.Created = Date(), .Due = DateTimePicker2->GetDateTime(), .Recipient = ComboBox2->GetText(),
                         .Through = ComboBox3->GetText(), .Customer = ComboBox5->GetText(),
                         .Number = ComboBox6->GetText()});
        });
        return;
    case TDocumentMode::NewIssue:
        Save([&] {
            SaveIssue(work, lines,
                      {.Created = Date(), .Recipient = ComboBox2->GetText(), .Through = ComboBox3->GetText(),
                       .Customer = ComboBox5->GetText(), .Number = ComboBox6->GetText(), .RequestId = FRequestId});
        });
        return;
    case TDocumentMode::EditRequest:
    case TDocumentMode::View: return;
    }
}

void TForm3::Button7Click(TObject*)
{
    if (FMode != TDocumentMode::EditRequest)
        return;
    if (!HeaderComplete()) {
        ShowMessage("Заполнены не все данные о документе");
        return;
    }
    Save([&] {
        ReplaceRequest(WarehouseData->ADOQuery2, WarehouseData->ADOQuery3, FRequestId,
                       {.Due = DateTimePicker2->GetDateTime(), .Recipient = ComboBox2->GetText(),
                        .Through = ComboBox3->GetText(), .Customer = ComboBox5->GetText(),
                        .Number = ComboBox6->GetText()});
    });
}

void TForm3::Button8Click(TObject*)
{
    // Only a saved document is printed: the viewer shows the journal's selected row, which
    // stays selected while this window is open.
    TADOQuery* row = WarehouseData->ADOQuery6;
    if (FMode != TDocumentMode::View || !HasCurrentRow(row))
        return;
    PrintDocument(FKind, row->FieldByName("ID")->AsLargeInt());
}

void TForm3::ImportBtnClick(TObject*)
{
    if (FMode != TDocumentMode::NewRequest || !Import->Execute())
        return;
    WarehouseData->ImportOrderRequest(Import->FileName, TImportTarget::EnteredRequest);
}

// ---------------------------------------------------------------- openers

namespace {

void ShowAll(std::initializer_list<TControl*> controls, bool visible)
{
    for (TControl* c : controls)
        c->SetVisible(visible);
}

void EnableAll(std::initializer_list<TControl*> controls, bool enabled)
{
    for (TControl* c : controls)
        c->SetEnabled(enabled);
}

AnsiString DateText(TADOQuery* q, const char* field)
{
    TField* f = q->FindField(field);
    return f && !f->IsNull() ? DateToStr(f->AsDateTime()) : AnsiString();
}

// The saved header row of a document, on the main window's work query.
TADOQuery* OpenHeader(DocumentKind kind, int64_t id)
{
    TADOQuery* row = WarehouseData->ADOQuery2;
    OpenSql(row, AnsiString("Select * From ") + DocumentTables(kind).Header + " Where ID=:id", {{"id", id}});
    return row;
}

}  // namespace

void TForm3::ShowLineColumns(bool rate, bool vat, bool issued)
{
    DBGrid1->GetColumns()->Items(8)->SetVisible(rate);
    DBGrid1->GetColumns()->Items(9)->SetVisible(vat);
    DBGrid1->GetColumns()->Items(10)->SetVisible(issued);
}

void TForm3::FollowJournalView(DocumentKind kind, bool lineRate, bool lineVat)
{
    ShowLineColumns(lineRate, lineVat, false);
    if (kind == DocumentKind::Request)
        GroupBox1->SetWidth(777);
}

bool TForm3::BeginLines()
{
    if (WarehouseData->HoldScratchLines())
        return true;
    ShowMessage(ShellMessage(TShellMessage::LinesBusy));
    return false;
}

void TForm3::DoHide()
{
    TForm::DoHide();
    WarehouseData->ReleaseScratchLines();
}

void TForm3::StartNew(DocumentKind kind)
{
    if (!BeginLines())
        return;
    // The lines are given up when the document is over, and when it could not be begun.
    TScopeExit giveUp([] { WarehouseData->ReleaseScratchLines(); });
    PrepareNew(kind);
    // Only a request being entered takes an import file.
    ImportBtn->SetVisible(kind == DocumentKind::Request);
    ShowModal();
}

void TForm3::PrepareNew(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::Receipt: PrepareReceipt(); break;
    case DocumentKind::Request: PrepareRequest(); break;
    case DocumentKind::Act: PrepareAct(); break;
    case DocumentKind::Issue: break;  // made from a request only: StartIssue
    }
    ShowLines();
    UpdateTotal();
}

void TForm3::PrepareReceipt()
{
    TADOQuery* work = WarehouseData->ADOQuery2;
    SetMode(TDocumentMode::NewReceipt, DocumentKind::Receipt);
    ComboBox2->SetText("");
    ComboBox2->GetItems()->Clear();
    OpenSql(work, "Select Название From P Order By rowid");
    for (work->First(); !work->Eof(); work->Next())
        ComboBox2->GetItems()->Add(work->FieldByName("Название")->AsString());
    FillDistinct(work, ComboBox3, "Documents", "Через_кого");
    WarehouseData->ClearTempDocumentTables();
    WarehouseData->DocVatRate = 0;
    Edit3->SetText("");

    EnableAll({ComboBox2, ComboBox3, ComboBox1, ComboBox4}, true);
    CheckBox1->SetVisible(true);
    CheckBox1->SetEnabled(false);
    EnableAll({Button1, Button2, Button3}, true);
    Button4->SetVisible(true);
    ShowAll({DateTimePicker2, Button7, Button8}, false);
    Button9->SetVisible(true);
    GroupBox3->SetVisible(false);
    GroupBox3->SetEnabled(true);
    GroupBox1->SetWidth(777);
    Label4->SetCaption("Итого на сумму");
    // A type chosen for an earlier receipt is still there: its number box shows at once.
    if (ComboBox1->GetItemIndex() == 0) {
        Label9->SetCaption("Приходная накладная №");
        GroupBox3->SetVisible(true);
    } else if (ComboBox1->GetItemIndex() == 1) {
        Label9->SetCaption("                   Копия чека №");
        GroupBox3->SetVisible(true);
    }
    ShowLineColumns(false, false, false);
    SetCaption("Приход товара");
    Label2->SetCaption("Поставщик");
    ShowAll({Label5, Edit2}, false);
    ShowAll({Label1, Label2, Label3, Label8, ComboBox1}, true);
    ShowAll({ComboBox5, ComboBox6}, false);
    ShowAll({ComboBox4, ComboBox2, ComboBox3}, true);
    GroupBox1->SetVisible(true);
    GroupBox1->SetEnabled(true);
    GroupBox2->SetVisible(false);
    CheckBox1->SetChecked(false);
    GroupBox1->SetCaption("Данные о документе");
}

void TForm3::PrepareRequest()
{
    TADOQuery* work = WarehouseData->ADOQuery2;
    SetMode(TDocumentMode::NewRequest, DocumentKind::Request);
    FillDistinct(work, ComboBox2, "Application", "Получатель");
    FillDistinct(work, ComboBox3, "Application", "Через_кого");
    FillDistinct(work, ComboBox5, "Application", "Заказчик");
    FillDistinct(work, ComboBox6, "Application", "№_заказа");
    WarehouseData->ClearTempDocumentTables();
    // A request carries no VAT: its lines' sums are their sums, whatever an earlier invoice set.
    WarehouseData->DocVatRate = 0;

    ShowAll({ComboBox2, ComboBox3}, true);
    EnableAll({ComboBox2, ComboBox3, CheckBox1, Button1, Button2, Button3}, true);
    ShowAll({Button4, DateTimePicker1, DateTimePicker2}, true);
    ShowAll({Button7, Button9}, false);
    ShowAll({ComboBox5, ComboBox6}, true);
    EnableAll({ComboBox5, ComboBox6}, true);
    Edit2->SetVisible(false);
    GroupBox2->SetVisible(true);
    GroupBox1->SetWidth(777);
    ShowLineColumns(false, false, false);
    GroupBox3->SetVisible(false);
    Label4->SetCaption("Итого на сумму");
    SetCaption("Заявка на заказ на " + DateToStr(Date()));
    Label2->SetCaption("Получатель");
    Label5->SetVisible(true);
    ShowAll({Label1, Label8, ComboBox1, ComboBox4, CheckBox1, Button8}, false);
    ShowAll({Label2, Label3}, true);
    GroupBox1->SetCaption("Данные о документе");
    GroupBox1->SetVisible(true);
    GroupBox1->SetEnabled(true);
}

void TForm3::PrepareAct()
{
    SetMode(TDocumentMode::NewAct, DocumentKind::Act);
    ComboBox2->SetEnabled(false);
    EnableAll({ComboBox3, CheckBox1, Button1, Button2, Button3}, true);
    Button4->SetVisible(true);
    ShowAll({DateTimePicker2, Button7, Button8, Button9, GroupBox3, ImportBtn}, false);
    ShowLineColumns(false, false, false);
    SetCaption("Списание по акту на " + DateToStr(Date()));
    Label2->SetCaption("Получатель");
    Label4->SetCaption("Итого на сумму");
    ShowAll({Label5, Label1, Label2, Label3, Label8, ComboBox1}, false);
    // The reason box belongs to this act: the viewer of an earlier act left it disabled and filled.
    Edit2->SetVisible(true);
    Edit2->SetEnabled(true);
    Edit2->SetText("");
    ShowAll({GroupBox2, ComboBox2, ComboBox3, ComboBox4, CheckBox1, ComboBox5, ComboBox6}, false);
    GroupBox1->SetWidth(777);
    GroupBox1->SetCaption("Причина списания");
    WarehouseData->ClearTempDocumentTables();
    // An act carries no VAT: its total is the sum of its lines as they are posted.
    WarehouseData->DocVatRate = 0;
}

void TForm3::TakeImportHeader(const AnsiString& customer, const AnsiString& number, TDateTime due, bool intoWindow)
{
    // A header the user has already typed stays; empty boxes take the file's.
    const bool takeHeader = !intoWindow || (ComboBox5->GetText().empty() && ComboBox6->GetText().empty());
    if (takeHeader) {
        ComboBox5->SetText(customer);
        ComboBox6->SetText(number);
        DateTimePicker2->SetDateTime(due);
        KeepGivenDates();
    }
    if (!intoWindow || ComboBox2->GetText().empty())
        ComboBox2->SetText("-");
    if (!intoWindow || ComboBox3->GetText().empty())
        ComboBox3->SetText("-");
}

void TForm3::ShowDocument(DocumentKind kind, int64_t id)
{
    TADOQuery* row = OpenHeader(kind, id);
    TADOQuery* lines = WarehouseData->ADOQuery4;
    const char* totalField = "Сумма";
    SetMode(TDocumentMode::View, kind);
    switch (kind) {
    case DocumentKind::Request:
        ComboBox2->SetText(FieldText(row, "Получатель"));
        ComboBox3->SetText(FieldText(row, "Через_кого"));
        ComboBox5->SetText(FieldText(row, "Заказчик"));
        ComboBox6->SetText(FieldText(row, "№_заказа"));
        if (TField* due = row->FindField("Дата_сдачи"); due && !due->IsNull())
            DateTimePicker2->SetDateTime(due->AsDateTime());
        KeepGivenDates();
        Label2->SetCaption("Получатель");
        SetCaption("Заявка на заказ от" + DateText(row, "Дата_создания"));
        OpenSql(lines,
                AnsiString(kCountedSumsHead) +
                    "Select Products.Наименование,Products.Марка,Products.Цвет,Products.Размеры,"
                    "Products.Единица_измерения,Products.Группа," + LinePriceSql("StructureApplication") +
                    " As Цена,StructureApplication.Количество,"
                    "C.Сумма As Сумма,Coalesce(StructureApplication.Отпущено,0.0) As Отпущено" + CountedLinesFrom("StructureApplication") +
                    " Left Join Products On (StructureApplication.IDТовара=Products.ID) Where IDДокумента=:id "
                    "Order By StructureApplication.rowid",
                {{"id", id}, {"sums", CountedSums(lines, "StructureApplication", id)}});
        ShowAll({Label2, Label3, Label5, ComboBox2, ComboBox3, ComboBox5, ComboBox6, GroupBox2}, true);
        ShowAll({Label1, Label8, ComboBox4, CheckBox1, Edit2, GroupBox3, Button7, DateTimePicker2}, false);
        EnableAll({ComboBox2, ComboBox3, ComboBox5, ComboBox6}, false);
        ShowLineColumns(false, false, true);
        GroupBox1->SetCaption("Данные о документе");
        GroupBox1->SetWidth(777);
        break;
    case DocumentKind::Issue:
        totalField = "Сумма_с_НДС";
        ComboBox2->SetText(FieldText(row, "Получатель"));
        ComboBox3->SetText(FieldText(row, "Через_кого"));
        ComboBox5->SetText(FieldText(row, "Заказчик"));
        ComboBox6->SetText(FieldText(row, "№_заказа"));
        Label2->SetCaption("Получатель");
        SetCaption("Накладная на отпуск товара со склада от " + DateText(row, "Дата_создания"));
        OpenSql(lines,
                AnsiString(kCountedSumsHead) +
                    "Select Products.Наименование,Products.Марка,Products.Цвет,Products.Размеры,"
                    "Products.Единица_измерения,Products.Группа," + LinePriceSql("StructureOtpusk") +
                    " As Цена,StructureOtpusk.Количество,"
                    "C.Сумма As Сумма,StructureOtpusk.Ставка,C.Сумма_с_НДС As Сумма_с_НДС" +
                    CountedLinesFrom("StructureOtpusk") +
                    " Left Join Products On (StructureOtpusk.IDТовара=Products.ID) "
                    "Where StructureOtpusk.IDДокумента=:id Order By StructureOtpusk.rowid",
                {{"id", id}, {"sums", CountedSums(lines, "StructureOtpusk", id)}});
        ShowAll({Label2, Label3, ComboBox2, ComboBox3, ComboBox5, ComboBox6, GroupBox2}, true);
        ShowAll({Label5, DateTimePicker2, Edit2, Label1, Label8, ComboBox1, ComboBox4, CheckBox1, GroupBox3}, false);
        EnableAll({ComboBox2, ComboBox3, ComboBox5, ComboBox6}, false);
        ShowLineColumns(true, true, false);
        GroupBox1->SetCaption("Данные о документе");
        GroupBox1->SetWidth(369);
        break;
    case DocumentKind::Receipt: {
        totalField = "Сумма_с_НДС";
        Edit3->SetText(FieldText(row, "№_заказа"));
        if (TField* created = row->FindField("Дата_создания"); created && !created->IsNull())
            DateTimePicker1->SetDateTime(created->AsDateTime());
        KeepGivenDates();
        const bool invoice = FieldText(row, "Тип_документа") == "Накладная";
        ComboBox1->SetItemIndex(invoice ? 0 : 1);
        Label9->SetCaption(invoice ? "Приходная накладная №" : "                   Копия чека №");
        ComboBox2->SetText(FieldText(row, "Имя_поставщика"));
        const AnsiString payment = FieldText(row, "Вид_оплаты");
        ComboBox4->SetItemIndex(payment == "Наличный расчет" ? 0 : payment == "Безналичный расчет" ? 1 : -1);
        ComboBox3->SetText(FieldText(row, "Через_кого"));
        Label2->SetCaption("Поставщик");
        SetCaption("Приход товара");
        OpenSql(lines,
                AnsiString(kCountedSumsHead) +
                    "Select Products.Наименование,Products.Марка,Products.Цвет,Products.Размеры,"
                    "Products.Единица_измерения,Products.Группа," + LinePriceSql("StructureDocuments") +
                    " As Цена,StructureDocuments.Количество,"
                    "C.Сумма As Сумма,StructureDocuments.Ставка,C.Сумма_с_НДС As Сумма_с_НДС" +
                    CountedLinesFrom("StructureDocuments") +
                    " Left Join Products On (StructureDocuments.IDТовара=Products.ID) "
                    "Where StructureDocuments.IDДокумента=:id Order By StructureDocuments.rowid",
                {{"id", id}, {"sums", CountedSums(lines, "StructureDocuments", id)}});
        ShowAll({Label1, Label8, ComboBox1, ComboBox4, GroupBox3, Label2, Label3, ComboBox2, ComboBox3}, true);
        GroupBox3->SetEnabled(false);
        ShowAll({Label5, DateTimePicker2, Edit2, GroupBox2, CheckBox1, ComboBox5, ComboBox6}, false);
        EnableAll({ComboBox1, ComboBox2, ComboBox3, ComboBox4}, false);
        ShowLineColumns(false, false, false);
        GroupBox1->SetCaption("Данные о документе");
        GroupBox1->SetWidth(777);
        break;
    }
    case DocumentKind::Act:
        GroupBox1->SetCaption("Причина списания");
        Edit2->SetText(FieldText(row, "Причина"));
        SetCaption("Списание по акту  от" + DateText(row, "Дата_создания"));
        OpenSql(lines,
                AnsiString(kCountedSumsHead) +
                    "Select Products.Наименование,Products.Марка,Products.Цвет,Products.Размеры,"
                    "Products.Единица_измерения,Products.Группа," + LinePriceSql("StructureAkt") +
                    " As Цена,StructureAkt.Количество,"
                    "C.Сумма As Сумма" + CountedLinesFrom("StructureAkt") +
                    " Left Join Products On (StructureAkt.IDТовара=Products.ID) Where StructureAkt.IDДокумента=:id "
                    "Order By StructureAkt.rowid",
                {{"id", id}, {"sums", CountedSums(lines, "StructureAkt", id)}});
        Edit2->SetVisible(true);
        Edit2->SetEnabled(false);
        ShowAll({Label1, Label2, Label3, Label5, Label8, ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5,
                 ComboBox6, CheckBox1, GroupBox2, GroupBox3, DateTimePicker2},
                false);
        ShowLineColumns(false, false, false);
        GroupBox1->SetWidth(777);
        break;
    }
    DocTotal = LinesTotal(lines, totalField);
    Label4->SetCaption(TotalCaption(DocTotal));
    EnableAll({Button1, Button2, Button3}, false);
    ShowAll({Button4, Button9, ImportBtn}, false);
    Button8->SetVisible(true);
    ShowModal();
}

bool TForm3::StartIssue(int64_t requestId)
{
    TADOQuery* row = OpenHeader(DocumentKind::Request, requestId);
    // The request's values are read before its lines reuse the query.
    const AnsiString recipient = FieldText(row, "Получатель"), through = FieldText(row, "Через_кого"),
                     customer = FieldText(row, "Заказчик"), number = FieldText(row, "№_заказа"),
                     created = DateText(row, "Дата_создания");
    if (!BeginLines())
        return false;
    // The lines are given up when the document is over, and when it could not be begun.
    TScopeExit giveUp([] { WarehouseData->ReleaseScratchLines(); });
    SetMode(TDocumentMode::NewIssue, DocumentKind::Issue, requestId);
    // The invoice starts without VAT, its lines too: "НДС" is unticked.
    WarehouseData->DocVatRate = 0;
    try {
        BuildIssueLines(WarehouseData->ADOQuery3, WarehouseData->ADOQuery2, requestId, WarehouseData->DocVatRate);
    } catch (const std::exception& e) {
        ShowMessage(DocumentMessage(TDocumentMessage::NotIssued, {e.what()}));
        return false;
    }
    ComboBox2->SetText(recipient);
    ComboBox3->SetText(through);
    ComboBox5->SetText(customer);
    ComboBox6->SetText(number);
    Edit2->SetVisible(false);
    Label4->SetCaption("Итого на сумму");
    ShowLineColumns(true, true, false);
    SetCaption("Накладная на отпуск товара со склада на " + DateToStr(Date()) + " по заявке на заказ от " + created);
    Label2->SetCaption("Получатель");
    ShowAll({Label2, Label3, ComboBox2, ComboBox3, CheckBox1, GroupBox2, ComboBox5, ComboBox6, Button4}, true);
    EnableAll({ComboBox2, ComboBox3, ComboBox5, ComboBox6}, false);
    CheckBox1->SetEnabled(true);
    CheckBox1->SetChecked(false);
    ShowAll({Label1, Label5, Label8, ComboBox1, ComboBox4, GroupBox3, DateTimePicker2, Button7, Button8, Button9,
             ImportBtn},
            false);
    Button1->SetEnabled(false);
    EnableAll({Button2, Button3}, true);
    GroupBox1->SetCaption("Данные о документе");
    GroupBox1->SetWidth(369);
    ShowLines();
    UpdateTotal();
    ShowModal();
    return true;
}

bool TForm3::EditRequest(int64_t requestId)
{
    if (!BeginLines())
        return false;
    // The lines are given up when the document is over, and when it could not be begun.
    TScopeExit giveUp([] { WarehouseData->ReleaseScratchLines(); });
    TADOQuery* row = OpenHeader(DocumentKind::Request, requestId);
    // The row's values are read before the lists reuse the query.
    const AnsiString recipient = FieldText(row, "Получатель"), customer = FieldText(row, "Заказчик"),
                     number = FieldText(row, "№_заказа"), through = FieldText(row, "Через_кого"),
                     created = DateText(row, "Дата_создания");
    TField* dueField = row->FindField("Дата_сдачи");
    const bool hasDue = dueField && !dueField->IsNull();
    const TDateTime due = hasDue ? dueField->AsDateTime() : Date();

    TADOQuery* work = WarehouseData->ADOQuery2;
    FillDistinct(work, ComboBox2, "Application", "Получатель");
    FillDistinct(work, ComboBox3, "Application", "Через_кого");
    FillDistinct(work, ComboBox5, "Application", "Заказчик");
    FillDistinct(work, ComboBox6, "Application", "№_заказа");

    SetMode(TDocumentMode::EditRequest, DocumentKind::Request, requestId);
    WarehouseData->DocVatRate = 0;  // a request carries no VAT
    ShowAll({ComboBox2, ComboBox3, ComboBox5, ComboBox6}, true);
    EnableAll({ComboBox2, ComboBox3, ComboBox5, ComboBox6}, true);
    Label2->SetCaption("Получатель");
    ShowAll({Label2, Label3, Label5, DateTimePicker2, GroupBox2, Button7}, true);
    ShowAll({Label1, Label8, ComboBox1, ComboBox4, CheckBox1, Edit2, GroupBox3, Button4, Button8, Button9, ImportBtn},
            false);
    EnableAll({Button1, Button2, Button3}, true);
    ShowLineColumns(false, false, false);
    GroupBox1->SetCaption("Данные о документе");

    ComboBox2->SetText(recipient);
    ComboBox5->SetText(customer);
    ComboBox6->SetText(number);
    ComboBox3->SetText(through);
    DateTimePicker2->SetDateTime(due);
    KeepGivenDates();
    SetCaption("Заявка на заказ " + created);
    try {
        LoadRequestForEdit(WarehouseData->ADOQuery3, WarehouseData->ADOQuery2, requestId);
    } catch (const std::exception& e) {
        ShowMessage(DocumentMessage(TDocumentMessage::NotSaved, {e.what()}));
        return false;
    }
    ShowLines();
    UpdateTotal();
    ShowModal();
    return true;
}

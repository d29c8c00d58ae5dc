#include "app/documents/Unit3.h"

#include "app/documents/Printing.h"
#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/shell/GridWidths.h"
#include "app/shell/ShellDb.h"
#include "app/shell/Unit6.h"
#include "app/shell/WriteOff.h"
#include "app/shell/Layouts.h"
#include "app/shell/Unit1.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Math.h"

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
    DBGrid1->SetDataSource(Form1->DataSource2);
    ImportQuery->SetConnection(Form1->ADOConnection1);
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
        OpenSql(Form1->ADOQuery4, kIssueLinesSql);
    else
        OpenSql(Form1->ADOQuery4, "Select * From TempStructureDocuments Order By ID");
}

void TForm3::UpdateTotal()
{
    DocTotal = 0;
    OpenSql(Form1->ADOQuery2, FMode == TDocumentMode::NewIssue ? "Select Сумма_с_НДС From TempStructureOtpusk"
                                                               : "Select Сумма_с_НДС From TempStructureDocuments");
    for (Form1->ADOQuery2->First(); !Form1->ADOQuery2->Eof(); Form1->ADOQuery2->Next()) {
        TField* f = Form1->ADOQuery2->FieldByName("Сумма_с_НДС");
        DocTotal = static_cast<float>(DocTotal + (f->IsNull() ? 0.0 : f->AsFloat()));
    }
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

void TForm3::PrepareCard(bool forAdding)
{
    Form2->ComboBox6->SetText("");
    Form2->Label6->SetCaption("Количество");
    Form2->Button9->SetVisible(false);
    Form2->ComboBox6->SetWidth(193);
    Form2->SetCaption(forAdding ? "Добавление товара в документ" : "Изменение товара в документе");
}

void TForm3::Button1Click(TObject*)
{
    if (!Editing() || !Button1->GetEnabled())
        return;
    for (TWinControl* c : std::initializer_list<TWinControl*>{
             Form2->Edit1, Form2->Edit2, Form2->Edit3, Form2->ComboBox1, Form2->ComboBox2, Form2->ComboBox3,
             Form2->ComboBox4, Form2->ComboBox5, Form2->ComboBox6, Form2->ComboBox7})
        c->SetEnabled(true);
    const bool act = FMode == TDocumentMode::NewAct;
    Form2->Button3->SetVisible(act);
    Form2->Button2->SetVisible(false);
    Form2->Button1->SetVisible(false);
    Form2->Button7->SetVisible(!act);
    if (!act && !HeaderComplete()) {
        ShowMessage("Заполнены не все данные о документе");
        return;
    }
    Form1->FillGoodsCardCombos();
    PrepareCard(true);
    Form2->DBGrid1->SetVisible(true);
    Form2->SetRole(TCardRole::Picker);
    Form2->Button4->SetVisible(true);
    Form2->Button5->SetVisible(true);
    // The list keeps the query of its last showing; its stock figures must be today's.
    if (Form1->ADOQuery5->Active())
        Form1->ADOQuery5->Requery();
    Form2->ShowModal();
    ShowLines();
    UpdateTotal();
}

void TForm3::Button3Click(TObject*)
{
    TADOQuery* lines = Form1->ADOQuery4;
    if (!Editing() || !HasCurrentRow(lines))
        return;
    const int at = lines->RecNo();
    TWinControl* const nine[] = {Form2->ComboBox1, Form2->ComboBox2, Form2->ComboBox3, Form2->ComboBox4,
                                 Form2->ComboBox5, Form2->ComboBox7, Form2->Edit1,     Form2->Edit2,
                                 Form2->Edit3};
    const bool described = FMode == TDocumentMode::NewReceipt || FMode == TDocumentMode::NewRequest ||
                           FMode == TDocumentMode::EditRequest;
    if (FMode == TDocumentMode::NewReceipt) {
        for (TWinControl* c : nine)
            c->SetEnabled(true);
        Form1->FillGoodsCardCombos();
    } else {
        // A request keeps the goods it names; an issue line or an act line changes its quantity only.
        for (TWinControl* c : nine)
            c->SetEnabled(false);
    }
    // The quantity box is what this editor is for, whatever card was shown before it.
    Form2->ComboBox6->SetEnabled(true);
    Form2->Button7->SetVisible(described);
    Form2->Button2->SetVisible(!described);
    Form2->Button1->SetVisible(false);
    Form2->Button3->SetVisible(false);
    PrepareCard(false);
    Form2->ComboBox1->SetText(FieldText(lines, "Наименование"));
    Form2->ComboBox2->SetText(FieldText(lines, "Марка"));
    Form2->ComboBox3->SetText(FieldText(lines, "Цвет"));
    Form2->ComboBox4->SetText(FieldText(lines, "Размеры"));
    Form2->ComboBox5->SetText(FieldText(lines, "Единица_измерения"));
    Form2->Edit1->SetText(FieldText(lines, "Цена"));
    Form2->Edit2->SetText(FieldText(lines, "Минимум"));
    Form2->Edit3->SetText(FieldText(lines, "Максимум"));
    Form2->ComboBox7->SetText(FieldText(lines, "Группа"));
    Form2->ComboBox6->SetText(FieldText(lines, "Количество"));
    Form2->SetRole(TCardRole::Editor);
    Form2->Button4->SetVisible(false);
    Form2->Button5->SetVisible(false);
    Form2->ShowModal();
    Form2->Button2->SetVisible(false);
    Form2->Button1->SetVisible(false);
    Form2->Button7->SetVisible(true);
    Form2->Button3->SetVisible(false);
    ShowLines();
    if (at >= 1 && at <= lines->RecordCount())
        lines->SetRecNo(at);
    UpdateTotal();
}

void TForm3::Button2Click(TObject*)
{
    TADOQuery* lines = Form1->ADOQuery4;
    if (!Editing() || !HasCurrentRow(lines))
        return;
    // The line under the cursor goes, and only that one (by its own id).
    const int64_t id = lines->FieldByName("ID")->AsLargeInt();
    if (FMode == TDocumentMode::NewIssue)
        ExecSql(Form1->ADOQuery2, "Delete From TempStructureOtpusk Where ID=:id", {{"id", id}});
    else
        ExecSql(Form1->ADOQuery2, "Delete From TempStructureDocuments Where ID=:id", {{"id", id}});
    ShowLines();
    UpdateTotal();
}

void TForm3::DBGrid1DblClick(TObject*)
{
    if (!Editing() || !ComboBox2->GetEnabled())
        return;
    OpenSql(Form1->ADOQuery2, "Select ID From TempStructureDocuments");
    if (Form1->ADOQuery2->IsEmpty())
        Button1Click(nullptr);
    else
        Button3Click(nullptr);
}

void TForm3::CheckBox1Click(TObject*)
{
    Form1->DocVatRate = CheckBox1->GetChecked() ? Form1->VatRate : 0;
    if (!Editing())
        return;
    const int rate = Form1->DocVatRate;
    const char* table = FMode == TDocumentMode::NewIssue ? "TempStructureOtpusk" : "TempStructureDocuments";
    TADOQuery* q = Form1->ADOQuery2;
    // Every line gets the document's rate; its VAT sum comes from its single-precision sum.
    InTransaction(Form1->ADOConnection1, [&] {
        OpenSql(q, AnsiString("Select ID,Сумма From ") + table + " Where (Ставка Is Null) Or (Ставка<>:r)",
                {{"r", rate}});
        std::vector<std::pair<int64_t, double>> updates;
        for (q->First(); !q->Eof(); q->Next()) {
            TField* sum = q->FieldByName("Сумма");
            DocTotal = static_cast<float>(sum->IsNull() ? 0.0 : sum->AsFloat());
            updates.emplace_back(q->FieldByName("ID")->AsLargeInt(), VatSum(rate, DocTotal));
        }
        for (const auto& [id, v] : updates)
            ExecSql(q, AnsiString("Update ") + table + " Set Ставка=:r,Сумма_с_НДС=:v Where ID=:id",
                    {{"r", rate}, {"v", v}, {"id", id}});
    });
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
    ExecSql(Form1->ADOQuery4,
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
    OpenSql(Form1->ADOQuery2, "Select * From P Where Название=:n", {{"n", name}});
    if (Form1->ADOQuery2->IsEmpty()) {
        for (TEdit* e : Form6->Edit)
            e->SetText("");
        Form6->Edit[0]->SetText(name);
        Form6->SetMode(TDetailsMode::NewSupplier);
        Form6->SetCaption("Информация о новом поставщике");
    } else {
        Form6->FillFrom(Form1->ADOQuery2);
        Form6->Edit[0]->SetText(name);
        Form6->SetMode(TDetailsMode::Supplier, name);
        Form6->SetCaption("Информация о поставщике");
    }
    // The document window's own captions, without the trailing blank of the goods card's.
    Form6->ShowModal();
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
    ImportQuery->SetConnection(Form1->ImportQuery->Connection());
    if (FirstShow) {
        LoadGridWidths(*this, Form1->ADOQuery3);
        FirstShow = 0;
    }
}

// ---------------------------------------------------------------- save, print, import

void TForm3::Button6Click(TObject*)
{
    // Leaving an entry asks first; a document only viewed closes at once.
    if (Button1->GetEnabled() || Button2->GetEnabled() || Button3->GetEnabled())
        Form11->ShowModal();
    else
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
    // Stock changed: the goods grid shows it at once. The document is saved whatever
    // happens here; a grid that cannot be read again shows its old figures until reloaded.
    try {
        if (Form1->ADOQuery1->Active())
            Form1->ADOQuery1->Refresh();
    } catch (const std::exception&) {
    }
}

void TForm3::Button4Click(TObject*)
{
    TADOQuery* work = Form1->ADOQuery2;
    TADOQuery* lines = Form1->ADOQuery3;
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
        ReplaceRequest(Form1->ADOQuery2, Form1->ADOQuery3, FRequestId,
                       {.Due = DateTimePicker2->GetDateTime(), .Recipient = ComboBox2->GetText(),
                        .Through = ComboBox3->GetText(), .Customer = ComboBox5->GetText(),
                        .Number = ComboBox6->GetText()});
    });
}

void TForm3::Button8Click(TObject*)
{
    // Only a saved document is printed: the viewer shows the journal's selected row, which
    // stays selected while this window is open.
    TADOQuery* row = Form1->ADOQuery6;
    if (FMode != TDocumentMode::View || !HasCurrentRow(row))
        return;
    PrintDocument(FKind, row->FieldByName("ID")->AsLargeInt());
}

void TForm3::ImportBtnClick(TObject*)
{
    if (FMode != TDocumentMode::NewRequest || !Import->Execute())
        return;
    Form1->ImportOrderRequest(Import->FileName, TImportTarget::EnteredRequest);
}

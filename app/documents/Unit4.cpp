#include "app/documents/Unit4.h"

#include "app/documents/Printing.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/GridWidths.h"
#include "app/shell/Layouts.h"
#include "app/documents/Statements.h"
#include "app/shell/DataModule.h"
#include "app/shell/ShellMessages.h"
#include "platform/db/ADODB.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/gui/Dialogs.h"
#include "platform/rtl/Math.h"

#include <cmath>
#include <unordered_set>
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"
#include "app/documents/Reports.h"
#include "report/model/rpClass.h"

TForm4* Form4 = nullptr;

SKLAD_DEFINE_CLASS(TForm4)

void TForm4::Publish(TPropertyTable& t)
{
    t.Method("RadioButton1Click", &TForm4::RadioButton1Click);
    t.Method("RadioButton2Click", &TForm4::RadioButton2Click);
    t.Method("RadioButton3Click", &TForm4::RadioButton3Click);
    t.Method("RadioButton4Click", &TForm4::RadioButton4Click);
    t.Method("RadioButton5Click", &TForm4::RadioButton5Click);
    t.Method("RadioButton6Click", &TForm4::RadioButton6Click);
    t.Method("RadioButton7Click", &TForm4::RadioButton7Click);
    t.Method("RadioButton8Click", &TForm4::RadioButton8Click);
    t.Method("RadioButton9Click", &TForm4::RadioButton9Click);
    t.Method("RadioButton10Click", &TForm4::RadioButton10Click);
    t.Method("RadioButton11Click", &TForm4::RadioButton11Click);
    t.Method("RadioButton12Click", &TForm4::RadioButton12Click);
    t.Method("Button1Click", &TForm4::Button1Click);
    t.Method("Button2Click", &TForm4::Button2Click);
    t.Method("Button3Click", &TForm4::Button3Click);
    t.Method("Button4Click", &TForm4::Button4Click);
    t.Method("Button5Click", &TForm4::Button5Click);
    t.Method("Button6Click", &TForm4::Button6Click);
    t.Method("Button7Click", &TForm4::Button7Click);
    t.Method("Button8Click", &TForm4::Button8Click);
    t.Method("Button9Click", &TForm4::Button9Click);
    t.Method("Button10Click", &TForm4::Button10Click);
    t.Method("MonthCalendar1Click", &TForm4::MonthCalendar1Click);
    t.Method("DBGrid1DblClick", &TForm4::DBGrid1DblClick);
    t.Method("FormShow", &TForm4::FormShow);
    t.Method("FormClose", &TForm4::FormClose);
    t.Method("DBGrid1TitleClick", &TForm4::DBGrid1TitleClick);
}

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit4"));
    SKLAD_BIND(GroupBox1);
    SKLAD_BIND(GroupBox2);
    SKLAD_BIND(GroupBox3);
    SKLAD_BIND(RadioButton1);
    SKLAD_BIND(RadioButton2);
    SKLAD_BIND(RadioButton3);
    SKLAD_BIND(RadioButton4);
    SKLAD_BIND(RadioButton5);
    SKLAD_BIND(RadioButton6);
    SKLAD_BIND(RadioButton7);
    SKLAD_BIND(RadioButton8);
    SKLAD_BIND(RadioButton9);
    SKLAD_BIND(RadioButton10);
    SKLAD_BIND(RadioButton11);
    SKLAD_BIND(RadioButton12);
    SKLAD_BIND(Edit1);
    SKLAD_BIND(Edit2);
    SKLAD_BIND(MonthCalendar1);
    SKLAD_BIND(DBGrid1);
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
    SKLAD_BIND(Button3);
    SKLAD_BIND(Button4);
    SKLAD_BIND(Button5);
    SKLAD_BIND(Button6);
    SKLAD_BIND(Button7);
    SKLAD_BIND(Button8);
    SKLAD_BIND(Button9);
    SKLAD_BIND(Button10);
    DBGrid1->SetDataSource(WarehouseData->DataSource4);
}

namespace {

// The head of a request list filtered by product: the request's own columns only, so the
// grid shows the same fields as the plain list.
const char* const kRequestJoin =
    "Select Application.ID,Application.Дата_создания,Application.Дата_сдачи,Application.Получатель,"
    "Application.Через_кого,Application.Отпуск_товара,Application.Заказчик,Application.№_заказа "
    "From Application Inner Join StructureApplication On (Application.ID=StructureApplication.IDДокумента) "
    "Where (StructureApplication.IDТовара=:p)";

const char* const kIssued = "Выдан";

void EnableAll(std::initializer_list<TControl*> controls, bool enabled)
{
    for (TControl* c : controls)
        c->SetEnabled(enabled);
}

AnsiString Text(TADOQuery* q, const char* field)
{
    TField* f = q->FindField(field);
    return f ? f->AsString() : AnsiString();
}

}  // namespace

DocumentKind TForm4::SelectedKind() const
{
    if (RadioButton9->GetChecked())
        return DocumentKind::Request;
    if (RadioButton8->GetChecked())
        return DocumentKind::Issue;
    if (RadioButton10->GetChecked())
        return DocumentKind::Act;
    return DocumentKind::Receipt;
}

bool TForm4::ProductFiltered() const
{
    return !ProductFilter.empty();
}

int64_t TForm4::FilteredProduct() const
{
    // The filter is a product's id as text; anything else matches no document.
    int64_t id = 0;
    return TryStrToInt64(ProductFilter, id) ? id : -1;
}

bool TForm4::HasSelection() const
{
    TADOQuery* q = WarehouseData->ADOQuery6;
    return q->Active() && !q->IsEmpty() && !q->Eof();
}

void TForm4::LoadList(const AnsiString& sql, TSqlListParams params)
{
    TADOQuery* q = WarehouseData->ADOQuery6;
    q->Close();
    q->SQL()->Clear();
    q->SQL()->Add(sql);
    if (TParameter* p = q->Parameters()->FindParam("p"))
        p->Value = FilteredProduct();
    for (const auto& [name, value] : params)
        if (TParameter* p = q->Parameters()->FindParam(name))
            p->Value = value;
    q->Open();
}

void TForm4::ShowColumns(const std::vector<int>& visible)
{
    TDBGridColumns* columns = DBGrid1->GetColumns();
    columns->Items(0)->SetVisible(false);
    columns->Items(1)->SetVisible(true);
    for (int i = 2; i <= 12; ++i)
        columns->Items(i)->SetVisible(false);
    for (int i : visible)
        columns->Items(i)->SetVisible(true);
}

// ---------------------------------------------------------------- views

namespace {

// One row per document kind: what the list shows and which commands it offers.
struct TJournalView {
    DocumentKind Kind;
    std::vector<int> Columns;            // shown besides column 1
    const char* NumberCaption;           // title of column 12
    bool LineRate, LineVat;              // columns 8 and 9 of the lines grid
    bool NewDocument;                    // "Button1" in the working view
};

// grep ORDER: DocumentKind
const TJournalView kJournalViews[] = {
    {DocumentKind::Receipt, {2, 3, 6, 7, 12}, "№", false, false, true},
    {DocumentKind::Issue, {5, 7, 11, 12}, "№ заказа", true, true, false},
    {DocumentKind::Request, {4, 5, 7, 8, 11, 12}, "№ заказа", false, false, true},
    {DocumentKind::Act, {10}, "№ заказа", false, false, true},
};

const TJournalView& JournalView(DocumentKind kind)
{
    for (const TJournalView& v : kJournalViews)
        if (v.Kind == kind)
            return v;
    return kJournalViews[0];
}

}  // namespace

void TForm4::ShowView(DocumentKind kind)
{
    const TJournalView& view = JournalView(kind);
    const bool working = WarehouseData->WorkingMode != wmArchive;
    ShowColumns(view.Columns);
    DBGrid1->GetColumns()->Items(12)->GetTitle()->SetCaption(view.NumberCaption);
    Form3->FollowJournalView(kind, view.LineRate, view.LineVat);
    const TDocumentTables& t = DocumentTables(kind);
    if (kind == DocumentKind::Request) {
        EnableAll({Button3, GroupBox1, RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5,
                    RadioButton6, Button1, Button4},
                   working);
        EnableAll({Button2, Button5, Button6}, true);
        RadioButton1->SetChecked(true);  // runs the "Все заявки" filter when it was not the one
        if (!working)
            LoadList("Select * From Application Where Архив=1");
        else if (ProductFiltered())
            LoadList(AnsiString(kRequestJoin) + " And (StructureApplication.Архив<>1)");
        else
            LoadList("Select * From Application Where Архив<>1");
        if (!WarehouseData->WorkingCommandsEnabled())
            Button3->SetEnabled(false);
        return;
    }
    EnableAll({GroupBox1, RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5, RadioButton6,
                Button3, Button4, Button6},
               false);
    Button1->SetEnabled(view.NewDocument && working);
    EnableAll({Button2, Button5}, true);
    // Table names come from the kinds' own list, never from input.
    const AnsiString header = t.Header, lines = t.Lines;
    if (!working)
        LoadList("Select * From " + header + " Where Архив=1");
    else if (ProductFiltered())
        LoadList("Select * From " + header + " Inner Join " + lines + " On (" + header + ".ID=" + lines +
                 ".IDДокумента) Where (" + lines + ".IDТовара=:p) And (" + lines + ".Архив<>1)");
    else
        LoadList("Select * From " + header + " Where Архив<>1");
}

void TForm4::RadioButton7Click(TObject*) { ShowView(DocumentKind::Receipt); }
void TForm4::RadioButton8Click(TObject*) { ShowView(DocumentKind::Issue); }
void TForm4::RadioButton9Click(TObject*) { ShowView(DocumentKind::Request); }
void TForm4::RadioButton10Click(TObject*) { ShowView(DocumentKind::Act); }

void TForm4::ReloadView(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::Receipt: RadioButton7Click(nullptr); break;
    case DocumentKind::Issue: RadioButton8Click(nullptr); break;
    case DocumentKind::Request: RadioButton9Click(nullptr); break;
    case DocumentKind::Act: RadioButton10Click(nullptr); break;
    }
}

// ---------------------------------------------------------------- request filters

void TForm4::FilterEnd()
{
    if (!WarehouseData->WorkingCommandsEnabled())
        Button3->SetEnabled(false);
    if (WarehouseData->WorkingMode == wmArchive)
        EnableAll({Button3, Button1, Button4}, false);
}

void TForm4::RequestFilter(bool issueOn, bool editOn, const char* state)
{
    Button3->SetEnabled(issueOn);
    Button4->SetEnabled(editOn);
    if (ProductFiltered())
        LoadList(AnsiString(kRequestJoin) + (state ? " And (Отпуск_товара=:s)" : "") +
                     " And (StructureApplication.Архив<>1)",
                 {{"s", state ? Variant(state) : Variant()}});
    else
        LoadList(AnsiString("Select * From Application Where ") + (state ? "(Отпуск_товара=:s) And " : "") +
                     "(Архив<>1)",
                 {{"s", state ? Variant(state) : Variant()}});
    FilterEnd();
}

void TForm4::RadioButton1Click(TObject*) { RequestFilter(true, true, nullptr); }
void TForm4::RadioButton2Click(TObject*) { RequestFilter(false, false, RequestStateText(RequestState::Issued)); }
void TForm4::RadioButton3Click(TObject*) { RequestFilter(true, true, RequestStateText(RequestState::NotIssued)); }
void TForm4::RadioButton4Click(TObject*) { RequestFilter(true, false, RequestStateText(RequestState::PartlyIssued)); }

void TForm4::StoreSort(bool lateOnly)
{
    TADOQuery* scan = WarehouseData->ADOQuery2;
    const TDateTime today = Now();
    std::vector<std::pair<int64_t, int64_t>> sorts;
    OpenSql(scan, "Select ID,Дата_сдачи,Sort From Application Where (Отпуск_товара<>:s) And (Архив<>1)",
            {{"s", kIssued}});
    for (scan->First(); !scan->Eof(); scan->Next()) {
        TField* due = scan->FieldByName("Дата_сдачи");
        int64_t n = 0;
        // A request without a due date is neither urgent nor late.
        if (!due->IsNull()) {
            const TDateTime d = due->AsDateTime();
            if (!lateOnly || std::floor(double(d)) <= std::floor(double(today)))
                n = Trunc(std::fabs(double(d) - double(today)) * 1440.0L);
        }
        // Only a figure that changed is written: listing again within the minute writes nothing.
        TField* stored = scan->FieldByName("Sort");
        if (stored->IsNull() || stored->AsLargeInt() != n)
            sorts.emplace_back(scan->FieldByName("ID")->AsLargeInt(), n);
    }
    if (sorts.empty())
        return;
    InTransaction(WarehouseData->ADOConnection1, [&] {
        for (const auto& [id, n] : sorts)
            ExecSql(WarehouseData->ADOQuery3, "Update Application Set Sort=:n Where ID=:id", {{"n", n}, {"id", id}});
    });
}

void TForm4::RadioButton5Click(TObject*)
{
    EnableAll({Button4, Button3}, true);
    StoreSort(false);
    if (ProductFiltered())
        LoadList(AnsiString(kRequestJoin) + " And (Отпуск_товара<>:s) Order By Sort Desc", {{"s", kIssued}});
    else
        LoadList("Select * From Application Where (Отпуск_товара<>:s) Order By Sort Desc", {{"s", kIssued}});
    FilterEnd();
}

void TForm4::RadioButton6Click(TObject*)
{
    EnableAll({Button4, Button3}, true);
    StoreSort(true);
    if (ProductFiltered())
        LoadList(AnsiString(kRequestJoin) + " And (Отпуск_товара<>:s) And (Sort<>0) Order By Sort Desc",
                 {{"s", kIssued}});
    else
        LoadList("Select * From Application Where (Отпуск_товара<>:s) And (Sort<>0) Order By Sort Desc",
                 {{"s", kIssued}});
    FilterEnd();
}

// ---------------------------------------------------------------- sorting by a column

void TForm4::DBGrid1TitleClick(TColumn* Column)
{
    TADOQuery* q = WarehouseData->ADOQuery6;
    if (!q->Active())
        return;
    q->Refresh();
    if (q->IsEmpty() || !Column)
        return;
    // The same documents, each once, as a plain list of their ids ordered by the column.
    std::vector<Variant> ids;
    std::unordered_set<int64_t> seen;
    seen.reserve(static_cast<size_t>(q->RecordCount()));
    TField* idField = q->FieldByName("ID");
    for (q->First(); !q->Eof(); q->Next()) {
        const int64_t id = idField->AsLargeInt();
        if (seen.insert(id).second)
            ids.emplace_back(id);
    }
    const DocumentKind kind = SelectedKind();
    SortColumn = Column->GetFieldName();
    AnsiString sql = AnsiString("Select * From ") + DocumentTables(kind).Header + " Where ID In (:ids)";
    // Only a column of the table may name the order.
    if (IsHeaderColumn(kind, SortColumn))
        sql += " Order By " + QuoteName(SortColumn) + " Asc";
    q->Close();
    q->SQL()->Clear();
    q->SQL()->Add(sql);
    q->Parameters()->ParamByName("ids")->SetList(ids);
    q->Open();
}

// ---------------------------------------------------------------- show, dates, new document

void TForm4::ShowArchiveCommand()
{
    // "Button5" archives in the working view and restores in the archive (Button5Click).
    if (WarehouseData->WorkingMode != wmArchive) {
        Button5->SetCaption("Добавить в архив");
        Button5->SetHint("Добавляет выделенный документ в архив");
    } else {
        Button5->SetCaption("Извлечь из архива");
        Button5->SetHint("Восстанавливает выделенный документ из архива");
    }
}

void TForm4::ShowJournal()
{
    ProductFilter.clear();
    GroupBox1->SetEnabled(false);
    GroupBox1->SetVisible(true);
    SetCaption(WarehouseData->WorkingMode == wmWorking ? "Работа с документами" : "Работа с документами - Архив");
    ShowArchiveCommand();
    RadioButton7Click(nullptr);
    RadioButton7->SetChecked(true);
    RadioButton11Click(nullptr);
    RadioButton11->SetChecked(true);
    ShowModal();
}

void TForm4::ShowProductDocuments(const AnsiString& productId, const AnsiString& product)
{
    if (!productId.empty())
        ProductFilter = productId;
    GroupBox1->SetEnabled(false);
    SetCaption("Работа с документами товара  " + product);
    // The journal may last have been shown on the archive: the command must not go on
    // offering to restore while it moves documents into the archive.
    ShowArchiveCommand();
    RadioButton7Click(nullptr);
    RadioButton7->SetChecked(true);
    ShowModal();
}

void TForm4::FormShow(TObject*)
{
    MonthCalendar1->SetVisible(false);
    if (!FirstShow)
        return;
    LoadGridWidths(*this, WarehouseData->ADOQuery3);
    FirstShow = 0;
}

void TForm4::Button1Click(TObject*)
{
    const DocumentKind kind = SelectedKind();
    switch (kind) {
    case DocumentKind::Receipt:
    case DocumentKind::Request:
    case DocumentKind::Act: Form3->StartNew(kind); break;
    case DocumentKind::Issue: return;  // issue invoices are made from requests only
    }
    // The new document, if saved, is listed at once.
    ReloadView(kind);
}

// The calendar drops under the date box it fills: its left edge tells which one it serves.
constexpr int kCalendarUnderDate1 = 274;  // under Edit1, the period's first day
constexpr int kCalendarUnderDate2 = 394;  // under Edit2, its last day

void TForm4::ToggleCalendar(int left)
{
    if (MonthCalendar1->GetLeft() == left)
        MonthCalendar1->SetVisible(!MonthCalendar1->GetVisible());
    else
        MonthCalendar1->SetVisible(true);
    MonthCalendar1->SetLeft(left);
}

void TForm4::Button7Click(TObject*)
{
    ToggleCalendar(kCalendarUnderDate1);
}

void TForm4::Button10Click(TObject*)
{
    ToggleCalendar(kCalendarUnderDate2);
}

void TForm4::MonthCalendar1Click(TObject*)
{
    const AnsiString text = DateToStr(MonthCalendar1->GetDate());
    if (MonthCalendar1->GetLeft() == kCalendarUnderDate1)
        Edit1->SetText(text);
    else
        Edit2->SetText(text);
}

void TForm4::RadioButton11Click(TObject*)
{
}

void TForm4::RadioButton12Click(TObject*)
{
    EnableAll({Button7, Button10}, true);
}

// ---------------------------------------------------------------- document commands

void TForm4::DBGrid1DblClick(TObject* Sender)
{
    Button2Click(Sender);
}

void TForm4::Button2Click(TObject*)
{
    if (!HasSelection())
        return;
    Form3->ShowDocument(SelectedKind(), WarehouseData->ADOQuery6->FieldByName("ID")->AsLargeInt());
}

void TForm4::Button3Click(TObject*)
{
    if (!HasSelection() || SelectedKind() != DocumentKind::Request || WarehouseData->WorkingMode == wmArchive)
        return;
    TADOQuery* row = WarehouseData->ADOQuery6;
    if (Text(row, "Отпуск_товара") == kIssued)
        return;
    if (Form3->StartIssue(row->FieldByName("ID")->AsLargeInt()))
        ReloadView(DocumentKind::Request);
}

void TForm4::Button4Click(TObject*)
{
    // Lines another program is entering are not this program's to empty.
    if (!WarehouseData->HoldScratchLines()) {
        ShowMessage(ShellMessage(TShellMessage::LinesBusy));
        return;
    }
    // Given up however this ends: refused, failed, or the request's window closed.
    TScopeExit giveUp([] { WarehouseData->ReleaseScratchLines(); });
    WarehouseData->ClearTempDocumentTables();
    if (SelectedKind() != DocumentKind::Request || !HasSelection() || WarehouseData->WorkingMode == wmArchive)
        return;
    TADOQuery* row = WarehouseData->ADOQuery6;
    if (Text(row, "Отпуск_товара") != RequestStateText(RequestState::NotIssued)) {
        MessageDlg(DocumentMessage(TDocumentMessage::RequestUsed), mtInformation, TMsgDlgButtons{mbOK});
        return;
    }
    if (Form3->EditRequest(row->FieldByName("ID")->AsLargeInt()))
        ReloadView(DocumentKind::Request);
}

void TForm4::Button5Click(TObject*)
{
    if (!HasSelection())
        return;
    TADOQuery* row = WarehouseData->ADOQuery6;
    const DocumentKind kind = SelectedKind();
    const int64_t id = row->FieldByName("ID")->AsLargeInt();
    const bool archiving = WarehouseData->WorkingMode != wmArchive;
    if (archiving && kind == DocumentKind::Request && Text(row, "Отпуск_товара") != kIssued) {
        ShowMessage("Нельзя добавлять в архив документы которые будут использоваться в дальнейшем");
        return;
    }
    try {
        SetArchived(WarehouseData->ADOQuery3, kind, {id}, archiving);
    } catch (const std::exception& e) {
        ShowMessage(DocumentMessage(TDocumentMessage::NotArchived, {e.what()}));
        return;
    }
    if (kind == DocumentKind::Request && archiving)
        RadioButton1Click(nullptr);
    else
        ReloadView(kind);
}

void TForm4::Button6Click(TObject*)
{
    if (!HasSelection())
        return;
    const int64_t id = WarehouseData->ADOQuery6->FieldByName("ID")->AsLargeInt();
    OpenSql(WarehouseData->ADOQuery7, "Select * From Application Where ID=:id", {{"id", id}});
    // Each line's sum as the request's total counts it, and its price, as on the request itself;
    // a line whose goods were deleted since still prints, so that the lines add up to the total.
    const AnsiString sums = CountedSums(WarehouseData->ADOQuery8, "StructureApplication", id);
    OpenSql(WarehouseData->ADOQuery8,
            AnsiString(kCountedSumsHead) +
                "Select Products.Наименование,Products.Цвет,Products.Размеры," +
                LinePriceSql("StructureApplication") +
                " As Цена,Products.№,Products.Единица_измерения,Coalesce(StructureApplication.Количество,0.0) As Количество,"
                "C.Сумма As Сумма,"
                "Coalesce(StructureApplication.Отпущено,0.0) As Отпущено,"
                // What the line still needs, as the next invoice would issue it: a line issued
                // beyond its quantity needs nothing, not a negative amount.
                "RoundTo(Max(Coalesce(StructureApplication.Количество,0.0)-Coalesce(StructureApplication.Отпущено,0.0),"
                "0.0),-2) As Требуется" + CountedLinesFrom("StructureApplication") +
                " Left Join Products On (StructureApplication.IDТовара=Products.ID) Where IDДокумента=:id "
                "Order By StructureApplication.rowid",
            {{"id", id}, {"sums", sums}});
    // Flags of table Name other than 0 and 1 choose no template: nothing is shown.
    TrpReport* report = WarehouseData->ChooseTemplate(TReportFamily::OrderState);
    if (!report)
        return;
    SetReportText(report, "itog", WarehouseData->TopGroupName());
    report->ShowReport(true);
}

void TForm4::Button8Click(TObject*)
{
    Close();
}

void TForm4::Button9Click(TObject*)
{
    PrintJournalList(SelectedKind());
}

void TForm4::FormClose(TObject*, TCloseAction&)
{
    WarehouseData->JournalClosed();
}

#include "app/documents/Unit9.h"

#include "app/documents/Printing.h"
#include "app/documents/Unit2.h"
#include "app/documents/GridWidths.h"
#include "app/documents/GroupTree.h"
#include "app/shell/Layouts.h"
#include "app/documents/Statements.h"
#include "app/shell/DataModule.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"

#include <algorithm>

TForm9* Form9 = nullptr;

SKLAD_DEFINE_CLASS(TForm9)

void TForm9::Publish(TPropertyTable& t)
{
    t.Method("RadioButton1Click", &TForm9::RadioButton1Click);
    t.Method("RadioButton2Click", &TForm9::RadioButton2Click);
    t.Method("RadioButton3Click", &TForm9::RadioButton3Click);
    t.Method("RadioButton4Click", &TForm9::RadioButton4Click);
    t.Method("RadioButton5Click", &TForm9::RadioButton5Click);
    t.Method("RadioButton7Click", &TForm9::RadioButton7Click);
    t.Method("RadioButton8Click", &TForm9::RadioButton8Click);
    t.Method("Button1Click", &TForm9::Button1Click);
    t.Method("Button2Click", &TForm9::Button2Click);
    t.Method("Button3Click", &TForm9::Button3Click);
    t.Method("Button4Click", &TForm9::Button4Click);
    t.Method("Button5Click", &TForm9::Button5Click);
    t.Method("Button6Click", &TForm9::Button6Click);
    t.Method("Button7Click", &TForm9::Button7Click);
    t.Method("MonthCalendar1Click", &TForm9::MonthCalendar1Click);
    t.Method("MonthCalendar2Click", &TForm9::MonthCalendar2Click);
    t.Method("TreeView1Click", &TForm9::TreeView1Click);
    t.Method("FormClick", &TForm9::FormClick);
    t.Method("DBGrid1CellClick", &TForm9::DBGrid1CellClick);
    t.Method("DBGrid1DblClick", &TForm9::DBGrid1DblClick);
    t.Method("GroupBox1Click", &TForm9::GroupBox1Click);
    t.Method("GroupBox2Click", &TForm9::GroupBox2Click);
    t.Method("CheckBox1Click", &TForm9::CheckBox1Click);
    t.Method("CheckBox2Click", &TForm9::CheckBox2Click);
    t.Method("ComboBox1Select", &TForm9::ComboBox1Select);
    t.Method("ComboBox2Select", &TForm9::ComboBox2Select);
    t.Method("FormShow", &TForm9::FormShow);
    t.Method("TreeView1Change", &TForm9::TreeView1Change);
    t.Method("DBGrid1TitleClick", &TForm9::DBGrid1TitleClick);
}

TForm9::TForm9(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit9"));
    SKLAD_BIND(GroupBox1);
    SKLAD_BIND(GroupBox2);
    SKLAD_BIND(GroupBox3);
    SKLAD_BIND(RadioButton1);
    SKLAD_BIND(RadioButton2);
    SKLAD_BIND(RadioButton3);
    SKLAD_BIND(RadioButton4);
    SKLAD_BIND(RadioButton5);
    SKLAD_BIND(RadioButton7);
    SKLAD_BIND(RadioButton8);
    SKLAD_BIND(Edit1);
    SKLAD_BIND(Edit2);
    SKLAD_BIND(MonthCalendar1);
    SKLAD_BIND(MonthCalendar2);
    SKLAD_BIND(TreeView1);
    SKLAD_BIND(DBGrid1);
    SKLAD_BIND(CheckBox1);
    SKLAD_BIND(CheckBox2);
    SKLAD_BIND(ComboBox1);
    SKLAD_BIND(ComboBox2);
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
    SKLAD_BIND(Button3);
    SKLAD_BIND(Button4);
    SKLAD_BIND(Button5);
    SKLAD_BIND(Button6);
    SKLAD_BIND(Button7);
    DBGrid1->SetDataSource(WarehouseData->DataSource5);
}


namespace {

TADOQuery* Goods() { return WarehouseData->ADOQuery15; }

// The goods list reads what its grid shows and what marking needs (ID, V), not every
// column: on 100,000 goods the other ten columns would double the time the window opens.
const char* const kGoodsSelect = "Select ID,№,Наименование,Цвет,Единица_измерения,Количество,Группа,V From Products";
TADOQuery* Work() { return WarehouseData->ADOQuery2; }

// Runs the goods query again, keeping the row the user stood on where it still exists.
void Reread()
{
    TADOQuery* q = Goods();
    if (!q->Active())
        return;
    const int row = q->RecNo();
    q->Requery();
    if (row > 0 && !q->IsEmpty())
        q->SetRecNo(std::min(row, q->RecordCount()));
}

// The goods of an order: what its requests (working or not) hold.
const char* const kOrderGoods =
    "Select StructureApplication.IDТовара From Application Inner Join StructureApplication On "
    "(Application.ID=StructureApplication.IDДокумента) Where Application.№_заказа=:order";

void ShowOrderGoods(const AnsiString& order)
{
    OpenSql(Goods(), AnsiString(kGoodsSelect) + " Where ID In (" + kOrderGoods + ")", {{"order", order}});
}

// Day of a date edit; false when its text is no date.
bool EditDate(TEdit* edit, TDateTime& day)
{
    if (!TryStrToDate(edit->GetText(), day))
        return false;
    day = DateOf(day);
    return true;
}

}  // namespace

TForm9::TReportKind TForm9::ReportKind() const
{
    if (RadioButton2->GetChecked())
        return TReportKind::Turnover;
    if (RadioButton7->GetChecked())
        return TReportKind::Shortage;
    if (RadioButton8->GetChecked())
        return TReportKind::Surplus;
    if (RadioButton3->GetChecked())
        return TReportKind::Purchase;
    return TReportKind::StockState;
}

// ---------------------------------------------------------------- report kind

void TForm9::StockKindChosen()
{
    for (TButton* b : {Button4, Button6, Button7})
        b->SetEnabled(true);
    GroupBox1->SetVisible(false);
    GroupBox3->SetVisible(false);
}

void TForm9::RadioButton1Click(TObject*)
{
    StockKindChosen();
    HideCalendars();
}

void TForm9::RadioButton7Click(TObject*) { StockKindChosen(); }

void TForm9::RadioButton8Click(TObject*) { StockKindChosen(); }

void TForm9::RadioButton2Click(TObject*)
{
    for (TButton* b : {Button4, Button6, Button7})
        b->SetEnabled(true);
    GroupBox1->SetVisible(true);
    GroupBox3->SetVisible(false);
    // The whole period is worked out afresh each time: documents may have come since the
    // last time "За весь период" was chosen.
    if (RadioButton4->GetChecked())
        RadioButton4Click(RadioButton4);
    else
        RadioButton4->SetChecked(true);
}

void TForm9::RadioButton3Click(TObject*)
{
    for (TButton* b : {Button4, Button6, Button7})
        b->SetEnabled(false);
    ExecSql(Work(), "Update Products Set V=' '");
    Reread();
    CheckBox1->SetChecked(false);
    ComboBox1->SetItemIndex(-1);
    ComboBox1->SetText("");
    ComboBox1->SetVisible(false);
    CheckBox2->SetChecked(false);
    ComboBox2->SetItemIndex(-1);
    ComboBox2->SetText("");
    ComboBox2->SetVisible(false);
    GroupBox1->SetVisible(false);
    GroupBox3->SetVisible(true);
    RadioButton3->SetChecked(true);
}

// ---------------------------------------------------------------- period

void TForm9::RadioButton4Click(TObject*)
{
    // The earliest and the latest day of any document that moved stock (receipts, issue
    // invoices and write-off acts: a sheet "for the whole period" that left out a later
    // write-off would end on a stock the warehouse no longer has), whatever the order the
    // rows were stored in; no documents at all: today to today.
    OpenSql(Work(),
            "Select Min(D) As Первая,Max(D) As Последняя From (Select Дата_создания As D From Documents "
            "Union All Select Дата_создания From Otpusk Union All Select Дата_создания From Akt) "
            "Where D Is Not Null");
    TField* first = Work()->FindField("Первая");
    TField* last = Work()->FindField("Последняя");
    const bool any = first && last && !first->IsNull() && !last->IsNull();
    const TDateTime today = Date();
    Edit1->SetText(DateToStr(any ? DateOf(TDateTime(first->AsFloat())) : today));
    Edit2->SetText(DateToStr(any ? DateOf(TDateTime(last->AsFloat())) : today));
}

void TForm9::RadioButton5Click(TObject*)
{
    MonthCalendar1->SetVisible(true);
    MonthCalendar2->SetVisible(true);
}

void TForm9::Button1Click(TObject*)
{
    MonthCalendar1->SetVisible(!MonthCalendar1->GetVisible());
}

void TForm9::Button5Click(TObject*)
{
    MonthCalendar2->SetVisible(!MonthCalendar2->GetVisible());
}

void TForm9::MonthCalendar1Click(TObject*)
{
    Edit1->SetText(DateToStr(DateOf(MonthCalendar1->GetDate())));
}

void TForm9::MonthCalendar2Click(TObject*)
{
    // The end is checked against the start the period has now (Edit1), which may have come
    // from the whole-period rule rather than from the first calendar.
    TDateTime start;
    if (!EditDate(Edit1, start))
        start = DateOf(MonthCalendar1->GetDate());
    const TDateTime end = DateOf(MonthCalendar2->GetDate());
    if (end < start) {
        ShowMessage("Неверная дата");
        return;
    }
    Edit2->SetText(DateToStr(end));
}

void TForm9::HideCalendars()
{
    MonthCalendar1->SetVisible(false);
    MonthCalendar2->SetVisible(false);
}

void TForm9::TreeView1Click(TObject*) { HideCalendars(); }
void TForm9::FormClick(TObject*) { HideCalendars(); }
void TForm9::DBGrid1CellClick(TColumn*) { HideCalendars(); }
void TForm9::DBGrid1TitleClick(TColumn*) { HideCalendars(); }
void TForm9::GroupBox1Click(TObject*) { HideCalendars(); }
void TForm9::GroupBox2Click(TObject*) { HideCalendars(); }

// ---------------------------------------------------------------- goods of a group

void TForm9::TreeView1Change(TObject*, TTreeNode*)
{
    TTreeNode* node = TreeView1->GetSelected();
    if (!node || !WarehouseData->DatabaseOpen())
        return;
    if (node->Level() == 0) {
        OpenSql(Goods(), kGoodsSelect);
        return;
    }
    // The group and every group below it, found from one read of Groups.
    OpenSql(Work(), "Select ID,NameGroup,IDName From Groups");
    std::vector<TGroupRow> rows;
    for (Work()->First(); !Work()->Eof(); Work()->Next()) {
        TField* parent = Work()->FieldByName("IDName");
        rows.push_back({Work()->FieldByName("ID")->AsLargeInt(), Work()->FieldByName("NameGroup")->AsString(),
                        parent->IsNull() ? 0 : parent->AsLargeInt()});
    }
    std::vector<AnsiString> names;
    for (size_t i : CollectSubtree(rows, node->GetText()))
        names.push_back(rows[i].Name);
    if (names.empty())
        names.push_back(node->GetText());
    OpenSql(Goods(), AnsiString(kGoodsSelect) + " Where Группа In (:groups)", {{"groups", names}});
}

// ---------------------------------------------------------------- marking

void TForm9::DBGrid1DblClick(TObject*)
{
    TADOQuery* q = Goods();
    if (!HasCurrentRow(q))
        return;
    // Anything but "V" (a blank, an empty text, Null) counts as unmarked, so one double
    // click always marks an unmarked product.
    const bool marked = q->FieldByName("V")->AsString() == "V";
    ExecSql(Work(), "Update Products Set V=:v Where ID=:id",
            {{"v", marked ? " " : "V"}, {"id", q->FieldByName("ID")->AsLargeInt()}});
    Reread();
}

void TForm9::Button4Click(TObject*)
{
    ExecSql(Work(), "Update Products Set V='V'");
    Reread();
}

void TForm9::Button6Click(TObject*)
{
    ExecSql(Work(), "Update Products Set V=' '");
    Reread();
}

void TForm9::Button7Click(TObject*)
{
    HideCalendars();
    TADOQuery* q = Goods();
    if (!q->Active() || q->IsEmpty())
        return;
    std::vector<AnsiString> ids;
    for (q->First(); !q->Eof(); q->Next())
        ids.push_back(IntToStr(q->FieldByName("ID")->AsLargeInt()));
    q->First();
    InTransaction(WarehouseData->ADOConnection1,
                  [&] { ExecSql(Work(), "Update Products Set V='V' Where ID In (:ids)", {{"ids", ids}}); });
    Reread();
}

// ---------------------------------------------------------------- purchase-request filters

void TForm9::CheckBox1Click(TObject*)
{
    if (CheckBox1->GetChecked()) {
        ComboBox1->SetVisible(true);
        return;
    }
    ComboBox1->SetVisible(false);
    const AnsiString supplier = ComboBox1->GetText();
    if (supplier.empty())
        return;  // no supplier was chosen, so none of the marks is the filter's
    ExecSql(Work(), "Update Products Set V=' ' Where Имя_поставщика=:s", {{"s", supplier}});
    Reread();
}

void TForm9::ComboBox1Select(TObject*)
{
    const AnsiString supplier = ComboBox1->GetText();
    InTransaction(WarehouseData->ADOConnection1, [&] {
        if (!CheckBox2->GetChecked())
            ExecSql(Work(), "Update Products Set V=' '");
        ExecSql(Work(), "Update Products Set V='V' Where Имя_поставщика=:s", {{"s", supplier}});
    });
    OpenSql(Goods(), AnsiString(kGoodsSelect) + " Where Имя_поставщика=:s", {{"s", supplier}});
}

void TForm9::ComboBox2Select(TObject*)
{
    const AnsiString order = ComboBox2->GetText();
    if (order.empty())
        return;
    // An order without goods marks nothing (and lists nothing), rather than everything.
    InTransaction(WarehouseData->ADOConnection1, [&] {
        if (!CheckBox1->GetChecked())
            ExecSql(Work(), "Update Products Set V=' '");
        ExecSql(Work(), "Update Products Set O='-'");
        ExecSql(Work(), AnsiString("Update Products Set V='V',O=:order Where ID In (") + kOrderGoods + ")",
                {{"order", order}});
    });
    ShowOrderGoods(order);
}

void TForm9::CheckBox2Click(TObject*)
{
    if (CheckBox2->GetChecked()) {
        ComboBox2->SetVisible(true);
        return;
    }
    ComboBox2->SetVisible(false);
    const AnsiString order = ComboBox2->GetText();
    if (order.empty())
        return;
    ShowOrderGoods(order);
    ExecSql(Work(), AnsiString("Update Products Set V=' ' Where ID In (") + kOrderGoods + ")", {{"order", order}});
    Reread();
}

// ---------------------------------------------------------------- showing and printing

void TForm9::ShowBuilder()
{
    WarehouseData->BuildGroupsTree(TreeView1, false);
    // No goods stay marked; a warehouse with none marked is not written to.
    ExecSql(WarehouseData->ADOQuery2, "Update Products Set V=' ' Where (V Is Null) Or (V<>' ')");
    // Selecting the top-level group lists all goods; read them once, not again for the tree.
    if (TreeView1->GetItems()->Count() > 0)
        TreeView1->SetSelected(TreeView1->GetItems()->GetFirstNode());
    else
        OpenSql(WarehouseData->ADOQuery15, "Select * From Products");
    ShowModal();
}

void TForm9::FormShow(TObject*)
{
    // The state every opening starts from: the stock-state report, no calendars, the
    // filter lists filled afresh, nothing marked.
    HideCalendars();
    RadioButton1Click(RadioButton1);
    RadioButton1->SetChecked(true);
    ComboBox1->GetItems()->Clear();
    OpenSql(Work(), "Select Название From P");
    for (Work()->First(); !Work()->Eof(); Work()->Next())
        ComboBox1->GetItems()->Add(Work()->FieldByName("Название")->AsString());
    FillDistinct(Work(), ComboBox2, "Application", "№_заказа");
    // The marks were cleared by the opener (the main window's report command) just before the
    // goods were read: another pass over every product here would find nothing to clear.

    if (FirstShow == 0)
        return;
    LoadGridWidths(*this, WarehouseData->ADOQuery3);
    FirstShow = 0;
}

void TForm9::Button2Click(TObject*)
{
    HideCalendars();
    const TReportQueries q = MainReportQueries();
    const AnsiString warehouse = WarehouseName();
    switch (ReportKind()) {
    case TReportKind::StockState:
        LoadStockRows(q.Header, TStockReport::StockState);
        ShowFamilyReport(TReportFamily::StockState, {{"itog", warehouse}});
        return;
    case TReportKind::Shortage:
        LoadStockRows(q.Header, TStockReport::Shortage);
        ShowFamilyReport(TReportFamily::Shortage, {{"itog", warehouse}});
        return;
    case TReportKind::Surplus:
        LoadStockRows(q.Header, TStockReport::Surplus);
        ShowFamilyReport(TReportFamily::Surplus, {{"itog", warehouse}});
        return;
    case TReportKind::Turnover: {
        TDateTime from, to;
        if (!EditDate(Edit1, from) || !EditDate(Edit2, to)) {
            ShowMessage(PrintMessage(TPrintMessage::NoPeriod, {Edit1->GetText(), Edit2->GetText()}));
            return;
        }
        if (from > to) {
            ShowMessage(DocumentMessage(TDocumentMessage::BadRange));
            return;
        }
        LoadTurnoverRows(q.Header, q.Lines, from, to);
        ShowFamilyReport(TReportFamily::Turnover, {{"a", Edit1->GetText()}, {"b", Edit2->GetText()}, {"c", warehouse}});
        return;
    }
    case TReportKind::Purchase: {
        // Both filters together mark goods of a supplier and of an order: the plain request
        // (which prints each product's supplier) is the one that describes that list.
        const AnsiString supplier = CheckBox1->GetChecked() ? ComboBox1->GetText() : AnsiString();
        const AnsiString order = CheckBox2->GetChecked() ? ComboBox2->GetText() : AnsiString();
        if (!supplier.empty() && order.empty()) {
            LoadPurchaseRows(q.Header, TPurchaseKind::BySupplier);
            ShowFamilyReport(TReportFamily::PurchaseBySupplier, {{"Summa", supplier}});
        } else if (!order.empty() && supplier.empty()) {
            LoadPurchaseRows(q.Header, TPurchaseKind::ByOrder, order);
            ShowFamilyReport(TReportFamily::PurchaseByOrder, {{"Summa", order}});
        } else {
            LoadPurchaseRows(q.Header, TPurchaseKind::Plain);
            ShowFamilyReport(TReportFamily::Purchase, {{"Summa", ""}});
        }
        return;
    }
    }
}

void TForm9::Button3Click(TObject*)
{
    Close();
}

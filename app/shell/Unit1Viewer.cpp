// Unit1Viewer.cpp - the main window's goods cards: view ("Просмотр"), add and delete.
//
// The viewer opens the goods card on the product under the grid's cursor. A product that no
// receipt, request or issue names and that has no stock may still be changed in full; any
// other keeps its describing fields and lets only its price and stock limits change. The
// figures "Данные на сегодня" are computed here: stock, its value, reserved on open requests,
// surplus over the maximum and shortage under the minimum, to the cent.
#include "app/shell/Unit1.h"

#include "app/documents/Unit2.h"
#include "app/shell/ShellDb.h"
#include "app/shell/Unit5.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Math.h"

namespace {

// Lays the card out for its card role (width 474, no goods grid, the supplier box).
void ArrangeCardRole()
{
    Form2->SetRole(TCardRole::Card);
    Form2->Button4->SetVisible(false);
    Form2->Button5->SetVisible(false);
    Form2->DBGrid1->SetVisible(false);
    Form2->Label6->SetCaption("Поставщик");
    Form2->Button9->SetVisible(true);
    Form2->ComboBox6->SetWidth(169);
    Form2->Button2->SetVisible(false);
}

void EnableDescribingFields(bool enabled)
{
    for (TComboBox* box : {Form2->ComboBox1, Form2->ComboBox2, Form2->ComboBox3, Form2->ComboBox4,
                           Form2->ComboBox5, Form2->ComboBox6, Form2->ComboBox7})
        box->SetEnabled(enabled);
}

}  // namespace

void TForm1::Button3Click(TObject*)
{
    if (!HasCurrentRow(ADOQuery1))
        return;
    const int64_t id = ADOQuery1->FieldByName("ID")->AsLargeInt();
    OpenSql(ADOQuery2, "Select * From StructureDocuments Where IDТовара=:id", {{"id", id}});
    OpenSql(ADOQuery3, "Select * From StructureApplication Where IDТовара=:id", {{"id", id}});
    OpenSql(ADOQuery4, "Select * From StructureOtpusk Where IDТовара=:id", {{"id", id}});
    const double stock = ADOQuery1->FieldByName("Количество")->AsFloat();
    const bool unused = stock == 0 && ADOQuery2->IsEmpty() && ADOQuery3->IsEmpty() && ADOQuery4->IsEmpty();

    Form2->CardProductId = id;
    if (unused) {
        FillGoodsCardCombos();
        for (TEdit* e : {Form2->Edit1, Form2->Edit2, Form2->Edit3})
            e->SetEnabled(true);
        EnableDescribingFields(true);
        Form2->Art->SetEnabled(true);
        Form2->Button1->SetVisible(false);
        Form2->Button3->SetVisible(false);
        Form2->Button7->SetVisible(true);
        Form2->SetCaption("Изменение карточки учета товара");
        Form2->CardMode = TCardMode::FullEdit;
    } else {
        Form2->Button1->SetVisible(true);
        Form2->Button7->SetVisible(true);
        Form2->Button3->SetVisible(false);
        for (TEdit* e : {Form2->Edit1, Form2->Edit2, Form2->Edit3})
            e->SetEnabled(true);
        EnableDescribingFields(false);
        Form2->SetCaption("Просмотр карточки учета товара");
        Form2->CardMode = TCardMode::PricesOnly;
    }
    Form2->Button2->SetVisible(false);

    const auto text = [this](const char* column) { return ADOQuery1->FieldByName(column)->AsString(); };
    Form2->ComboBox1->SetText(text("Наименование"));
    Form2->Art->SetText(text("№"));
    Form2->ComboBox2->SetText(text("Марка"));
    Form2->ComboBox3->SetText(text("Цвет"));
    Form2->ComboBox4->SetText(text("Размеры"));
    Form2->ComboBox5->SetText(text("Единица_измерения"));
    Form2->ComboBox6->SetText(text("Имя_поставщика"));
    Form2->Edit1->SetText(text("Цена"));
    Form2->Edit2->SetText(text("Минимум"));
    Form2->Edit3->SetText(text("Максимум"));
    Form2->ComboBox7->SetText(text("Группа"));
    Form2->Edit7->SetText(text("Количество"));

    // Данные на сегодня.
    const double price = ADOQuery1->FieldByName("Цена")->AsFloat();
    const double maximum = ADOQuery1->FieldByName("Максимум")->AsFloat();
    const double minimum = ADOQuery1->FieldByName("Минимум")->AsFloat();
    // The value of the stock as it is, not rounded to cents.
    Form2->Edit9->SetText(FloatToStr(stock * price));
    // Reserved: what open requests still wait for, archived ones included.
    double reserved = 0;
    OpenSql(ADOQuery2, "Select * From StructureApplication Where (IDТовара=:id) And (Количество>Отпущено)", {{"id", id}});
    for (ADOQuery2->First(); !ADOQuery2->Eof(); ADOQuery2->Next())
        reserved += ADOQuery2->FieldByName("Количество")->AsFloat() - ADOQuery2->FieldByName("Отпущено")->AsFloat();
    reserved = RoundTo(reserved, -2);
    double surplus = 0, shortage = 0;
    if ((maximum + reserved) - stock < 0)
        surplus = RoundTo(stock - reserved - maximum, -2);
    // Below the minimum wins over above the maximum (a maximum under the minimum).
    if ((stock - reserved) - minimum < 0) {
        shortage = RoundTo(minimum - (stock - reserved), -2);
        surplus = 0;
    }
    Form2->Edit4->SetText(FloatToStr(surplus));
    Form2->Edit5->SetText(FloatToStr(shortage));
    Form2->Edit6->SetText(FloatToStr(reserved));

    ArrangeCardRole();
    Form2->ShowModal();
    Form2->GroupBox1->SetCaption("Область заполнения");
}

void TForm1::Button2Click(TObject*)
{
    // A new goods card, in the selected group when it holds goods rather than subgroups.
    if (WorkingMode == wmArchive)
        return;
    FillGoodsCardCombos();
    TTreeNode* node = TreeView1->GetSelected();
    if (node && !node->HasChildren())
        Form2->ComboBox7->SetText(node->GetText());
    for (TComboBox* box : {Form2->ComboBox1, Form2->ComboBox2, Form2->ComboBox3, Form2->ComboBox4, Form2->ComboBox5,
                           Form2->ComboBox6})
        box->SetText("");
    Form2->Art->SetText("");
    for (TEdit* e : {Form2->Edit1, Form2->Edit2, Form2->Edit3})
        e->SetEnabled(true);
    EnableDescribingFields(true);
    Form2->Art->SetEnabled(true);
    for (TEdit* e : {Form2->Edit4, Form2->Edit5, Form2->Edit6, Form2->Edit7, Form2->Edit9})
        e->SetText("0");
    Form2->Button1->SetVisible(false);
    Form2->Button3->SetVisible(false);
    Form2->Button7->SetVisible(true);
    Form2->SetCaption("Новая карточка учета товара");
    Form2->CardMode = TCardMode::NewCard;
    Form2->CardProductId = 0;
    ArrangeCardRole();
    Form2->ShowModal();
    Form2->GroupBox1->SetCaption("Область заполнения");
}

void TForm1::Button4Click(TObject*)
{
    // Only a card that nothing refers to goes: no stock and no line of any document.
    if (WorkingMode == wmArchive || !HasCurrentRow(ADOQuery1))
        return;
    const int64_t id = ADOQuery1->FieldByName("ID")->AsLargeInt();
    if (Application->MessageBox("Вы действительно хотите удалить?", "Внимание!", MB_YESNO) != IDYES)
        return;
    OpenSql(ADOQuery2,
            "Select (Select Count(*) From StructureDocuments Where IDТовара=:id) + "
            "(Select Count(*) From StructureApplication Where IDТовара=:id) + "
            "(Select Count(*) From StructureOtpusk Where IDТовара=:id) + "
            "(Select Count(*) From StructureAkt Where IDТовара=:id) As N",
            {{"id", id}});
    const bool used = ADOQuery2->FieldByName("N")->AsInteger() > 0;
    if (used || ADOQuery1->FieldByName("Количество")->AsFloat() != 0) {
        ShowMessage("Невозможно удалить - товар есть на складе или в документах");
        return;
    }
    ExecSql(ADOQuery2, "Delete * From Products Where ID=:id", {{"id", id}});
    RefreshGoodsGrid();
}

// Unit1Viewer.cpp - the main window's goods cards: view ("Просмотр"), add and delete.
//
// The viewer opens the goods card on the product under the grid's cursor. A product that no
// receipt, request or issue names and that has no stock may still be changed in full; any
// other keeps its describing fields and lets only its price and stock limits change. The
// figures "Данные на сегодня" (stock, its value, reserved on open requests, surplus over the
// maximum and shortage under the minimum, to the cent) are the card's ReadTodaysFigures, which
// the card runs again whenever it is active again.
#include "app/shell/Unit1.h"

#include "app/documents/Unit2.h"
#include "app/documents/Statements.h"
#include "app/shell/Unit5.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"

void TForm1::Button3Click(TObject*)
{
    if (!HasCurrentRow(ADOQuery1))
        return;
    const int64_t id = ADOQuery1->FieldByName("ID")->AsLargeInt();
    // Whether the card is still free to change whole goes by the stock the warehouse holds
    // now, not by the figure the grid last read.
    OpenSql(ADOQuery2, "Select Количество From Products Where ID=:id", {{"id", id}});
    const double stock = ADOQuery2->IsEmpty() ? 0 : ADOQuery2->FieldByName("Количество")->AsFloat();
    OpenSql(ADOQuery2, "Select * From StructureDocuments Where IDТовара=:id", {{"id", id}});
    OpenSql(ADOQuery3, "Select * From StructureApplication Where IDТовара=:id", {{"id", id}});
    OpenSql(ADOQuery4, "Select * From StructureOtpusk Where IDТовара=:id", {{"id", id}});
    const bool unused = stock == 0 && ADOQuery2->IsEmpty() && ADOQuery3->IsEmpty() && ADOQuery4->IsEmpty();

    const auto text = [this](const char* column) { return ADOQuery1->FieldByName(column)->AsString(); };
    TProductCard card;
    card.Id = id;
    card.Name = text("Наименование");
    card.Article = text("№");
    card.Brand = text("Марка");
    card.Colour = text("Цвет");
    card.Sizes = text("Размеры");
    card.Unit = text("Единица_измерения");
    card.Supplier = text("Имя_поставщика");
    card.Price = text("Цена");
    card.Minimum = text("Минимум");
    card.Maximum = text("Максимум");
    card.Group = text("Группа");
    card.Stock = text("Количество");

    // Данные на сегодня, as the warehouse holds them; the card reads them again whenever it
    // is active again.
    ReadTodaysFigures(ADOQuery2, id, card);
    Form2->ShowProduct(unused ? TCardMode::FullEdit : TCardMode::PricesOnly, card);
}

void TForm1::Button2Click(TObject*)
{
    // A new goods card, in the selected group when it holds goods rather than subgroups.
    if (WorkingMode == wmArchive)
        return;
    TTreeNode* node = TreeView1->GetSelected();
    Form2->ShowNewCard(node && !node->HasChildren() ? node->GetText() : AnsiString());
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
            "(Select Count(*) From StructureAkt Where IDТовара=:id) As N, "
            "(Select Количество From Products Where ID=:id) As Q",
            {{"id", id}});
    // The stock as the warehouse holds it now, not as the grid last read it: another
    // window or program may have changed it since.
    const bool used = ADOQuery2->FieldByName("N")->AsInteger() > 0;
    if (used || ADOQuery2->FieldByName("Q")->AsFloat() != 0) {
        ShowMessage("Невозможно удалить - товар есть на складе или в документах");
        return;
    }
    ExecSql(ADOQuery2, "Delete * From Products Where ID=:id", {{"id", id}});
    Form1->RefreshGoodsGrid();
}

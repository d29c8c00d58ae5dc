// Unit1Documents.cpp - the main window's new-document commands and the order-request import.
//
// Each command asks the document window to start a new document of its kind; the window
// empties the scratch line tables, fills its lists and arranges itself. The import reads a .sklad file completely and checks it before anything is changed;
// the goods, the group "Импорт" and the lines it adds are written in one transaction.
#include "app/shell/Unit1.h"

#include "app/documents/Documents.h"
#include "app/documents/Import.h"
#include "app/documents/Unit3.h"
#include "app/documents/Statements.h"
#include "app/shell/ShellMessages.h"
#include "platform/db/ADODB.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Math.h"

namespace {

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
    Form3->StartNew(DocumentKind::Receipt);
}

void TForm1::Button6Click(TObject*)
{
    Form3->StartNew(DocumentKind::Request);
}

void TForm1::Button9Click(TObject*)
{
    Form3->StartNew(DocumentKind::Act);
}

// ---------------------------------------------------------------- order-request import

void TForm1::PrepareOrderRequestForm()
{
    Form3->PrepareNew(DocumentKind::Request);
}

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

    TForm3* f = Form3;
    const bool intoWindow = target == TImportTarget::EnteredRequest;
    // A new request takes the scratch lines, which another program may be using.
    if (!intoWindow && !HoldScratchLines()) {
        ShowMessage(ShellMessage(TShellMessage::LinesBusy));
        return false;
    }
    // A new request's lines are given up when its window closes, or when it could not be begun.
    TScopeExit giveUp([this, intoWindow] {
        if (!intoWindow)
            ReleaseScratchLines();
    });

    CreateMissingGoods = Application->MessageBox("Заносить несуществующие товары на склад?", "Внимание!", MB_YESNO) == IDYES;

    if (!intoWindow)
        PrepareOrderRequestForm();
    f->TakeImportHeader(file.Customer, file.DocumentNumber, file.Due, intoWindow);

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
                // The figures as the file's writer meant them, to the cent; held in double,
                // where single precision would put its noise back (0.1 as 0.100000001490116).
                const double quantity = RoundTo(ExactFigure(r.Quantity), -2);
                const double price = RoundTo(ExactFigure(r.Price), -2);
                // The sum of the figures the line stores, as any other route would make it.
                const double sum = LineSum(quantity, price);
                // The goods of that name with exactly this unit; another unit is other goods.
                // Of names equal case aside, the one spelt as the file spells it (БОЛТ and болт
                // are two cards), else the first.
                AnsiString brand, colour, sizes, group;
                int64_t product = 0;
                bool known = false;
                OpenSql(q, "Select * From Products Where Наименование=:n Order By ID", {{"n", r.ItemName}});
                int found = 0;
                for (q->First(); !q->Eof(); q->Next())
                    if (q->FieldByName("Единица_измерения")->AsString() == r.UnitName) {
                        if (found == 0)
                            found = q->RecNo();
                        if (q->FieldByName("Наименование")->AsString() == r.ItemName) {
                            found = q->RecNo();
                            break;
                        }
                    }
                if (found != 0) {
                    q->SetRecNo(found);
                    brand = q->FieldByName("Марка")->AsString();
                    colour = q->FieldByName("Цвет")->AsString();
                    sizes = q->FieldByName("Размеры")->AsString();
                    group = q->FieldByName("Группа")->AsString();
                    product = q->FieldByName("ID")->AsLargeInt();
                    known = true;
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
                             {"sup", file.Customer}, {"p", price}, {"g", group}});
                    product = q->LastInsertId();
                }
                ExecSql(q,
                        "INSERT INTO TempStructureDocuments\n(Наименование,Марка,Цвет,Размеры,Единица_измерения,"
                        "Имя_поставщика,Цена,Минимум,Максимум,Группа,Количество,Сумма,Ставка,Сумма_с_НДС,IDТовара) "
                        "VALUES (:n,:b,:c,:s,:u,:sup,:p,1,:mx,:g,:q,:sum,0,:sum,:id)",
                        {{"n", r.ItemName}, {"b", brand}, {"c", colour}, {"s", sizes}, {"u", r.UnitName},
                         {"sup", file.Customer}, {"p", price}, {"mx", quantity}, {"g", group}, {"q", quantity},
                         {"sum", sum}, {"id", product}});
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

// Unit1Tree.cpp - the main window's groups tree and goods grid.
#include "app/shell/Unit1.h"

#include "app/documents/Documents.h"
#include "app/documents/Unit2.h"
#include "app/documents/Statements.h"
#include "app/shell/ShellMessages.h"
#include "app/shell/Unit5.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/ScopeExit.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

std::vector<TGroupRow> TForm1::ReadGroups()
{
    OpenSql(ADOQuery2, "Select ID, NameGroup, IDName From Groups");
    std::vector<TGroupRow> rows;
    rows.reserve(size_t(ADOQuery2->RecordCount()));
    TField* id = ADOQuery2->FieldByName("ID");
    TField* name = ADOQuery2->FieldByName("NameGroup");
    TField* parent = ADOQuery2->FieldByName("IDName");
    for (ADOQuery2->First(); !ADOQuery2->Eof(); ADOQuery2->Next())
        rows.push_back({id->AsLargeInt(), name->AsString(), parent->IsNull() ? 0 : parent->AsLargeInt()});
    return rows;
}

void TForm1::BuildGroupsTree(TTreeView* tree, bool reportLeftOut)
{
    tree->GetItems()->BeginUpdate();
    tree->GetItems()->Clear();
    const std::vector<TGroupRow> rows = ReadGroups();
    const TGroupTree groups = BuildGroupTree(rows);
    std::vector<TTreeNode*> path;  // the last node added at each depth
    for (const TGroupNode& n : groups.Nodes) {
        path.resize(size_t(n.Depth));
        TTreeNode* parent = n.Depth == 0 ? nullptr : path.back();
        TTreeNode* node = parent ? tree->GetItems()->AddChild(parent, rows[n.Row].Name)
                                 : tree->GetItems()->Add(nullptr, rows[n.Row].Name);
        path.push_back(node);
    }
    tree->FullExpand();
    tree->GetItems()->EndUpdate();
    if (reportLeftOut && !groups.LeftOut.empty()) {
        AnsiString names;
        for (size_t i = 0; i < groups.LeftOut.size() && i < 10; ++i)
            names += (i ? ", " : "") + rows[groups.LeftOut[i]].Name;
        if (groups.LeftOut.size() > 10)
            names += ", ...";
        ShowMessage(ShellMessage(TShellMessage::GroupsLeftOut, {IntToStr(int64_t(groups.LeftOut.size())) + ": " + names}));
    }
}

std::vector<AnsiString> TForm1::CollectSubgroups()
{
    return CollectSubgroups(TreeView1->GetSelected());
}

std::vector<AnsiString> TForm1::CollectSubgroups(TTreeNode* node)
{
    std::vector<AnsiString> names;
    if (!node)
        return names;
    const std::vector<TGroupRow> rows = ReadGroups();
    for (size_t i : CollectSubtree(rows, node->GetText()))
        names.push_back(rows[i].Name);
    if (names.empty())
        names.push_back(node->GetText());  // a node whose row is gone still names its own goods
    return names;
}

void TForm1::ShowGoods(const std::vector<AnsiString>* groups, const AnsiString& orderBy)
{
    FShowAll = groups == nullptr;
    if (groups)
        FShownGroups = *groups;
    FShownOrder = orderBy;
    const AnsiString order = orderBy.empty() ? AnsiString() : " Order By " + QuoteName(orderBy) + " Asc";
    if (FShowAll)
        OpenSql(ADOQuery1, "Select * From Products" + order);
    else
        OpenSql(ADOQuery1, "Select * From Products Where Группа In (:groups)" + order, {{"groups", FShownGroups}});
    FGoodsVersion = ADOConnection1->DataVersion();
}

void TForm1::ReloadGoods()
{
    GoodsChanged([this] { ReadGoodsAgain(); });
}

void TForm1::ReadGoodsAgain()
{
    TTreeNode* node = TreeView1->GetSelected();
    // A grid whose last reading failed is closed: it is read again all the same.
    if (!node || !DatabaseOpen())
        return;
    const int row = ADOQuery1->RecNo();
    const int64_t id = HasCurrentRow(ADOQuery1) ? ADOQuery1->FieldByName("ID")->AsLargeInt() : 0;
    // The group's subgroups are collected again: a group renamed meanwhile lists its goods
    // under the name they carry now.
    const AnsiString order = FShownOrder;
    if (node == TreeView1->GetItems()->GetFirstNode())
        ShowGoods(nullptr, order);
    else {
        const std::vector<AnsiString> groups = CollectSubgroups();
        ShowGoods(&groups, order);
    }
    const int rows = ADOQuery1->RecordCount();
    if (rows == 0)
        return;
    int target = std::min(std::max(row, 1), rows);
    if (id != 0) {
        const int idColumn = ADOQuery1->FieldByName("ID")->Index();
        for (int r = 1; r <= rows; ++r)
            if (ADOQuery1->RowValue(r, idColumn).AsInt64() == id) {
                target = r;
                break;
            }
    }
    ADOQuery1->SetRecNo(target);
}

void TForm1::TreeView1Change(TObject*, TTreeNode* Node)
{
    if (!Node || !DatabaseOpen())
        return;
    // The tree already shows the new group: when its goods cannot be read, the grid must
    // not go on showing the figures of the group selected before as if they were its own.
    // It is emptied; the error itself goes to the user as any database error does.
    TScopeFail empty([this] { ADOQuery1->Close(); });
    if (Node == TreeView1->GetItems()->GetFirstNode()) {
        ShowGoods(nullptr);
        return;
    }
    const std::vector<AnsiString> groups = CollectSubgroups();
    ShowGoods(&groups);
}

void TForm1::TreeView1MouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    if (Button != mbRight)
        return;
    TTreeNode* node = TreeView1->GetNodeAt(X, Y);
    if (!node)
        return;
    if (node == TreeView1->GetSelected())
        TreeView1Change(TreeView1, node);  // the popup commands act on fresh goods
    else
        TreeView1->SetSelected(node);
}

void TForm1::DBGrid1TitleClick(TColumn* Column)
{
    if (!Column || !ADOQuery1->Active() || ADOQuery1->IsEmpty())
        return;
    const AnsiString field = Column->GetFieldName();
    if (!IsProductColumn(field))
        return;
    Form2->WorkText = field;
    // The same goods, in the order of the column (numbers sort as numbers: the columns
    // hold numbers, not texts).
    if (FShowAll)
        ShowGoods(nullptr, field);
    else {
        const std::vector<AnsiString> groups = FShownGroups;
        ShowGoods(&groups, field);
    }
    ADOQuery1->First();
}

void TForm1::DBGrid1DblClick(TObject* Sender)
{
    if (HasCurrentRow(ADOQuery1) && WorkingMode == wmWorking)
        Button3Click(Sender);
}

// ---------------------------------------------------------------- popup commands

void TForm1::N2Click(TObject*)
{
    if (WorkingMode != wmWorking)
        return;
    TTreeNode* node = TreeView1->GetSelected();
    if (!node)
        return;
    // The goods are counted afresh, not taken from the grid: a grid that could not be read
    // is empty, and a leaf holding goods must not get a subgroup because of that.
    if (!node->HasChildren() && CountGoodsOf(node) > 0) {
        ShowMessage("Нельзя добавить подгруппу т.к. в группе содержится товар");
        return;
    }
    Form5->Ask(TInputJob::AddSubgroup);
}

void TForm1::N10Click(TObject*)
{
    if (WorkingMode != wmWorking)
        return;
    TTreeNode* node = TreeView1->GetSelected();
    if (!node)
        return;
    Form5->Ask(TInputJob::Rename, node->GetText());
}

void TForm1::N3Click(TObject*)
{
    if (Application->MessageBox("Вы действительно хотите удалить?", "Внимание!", MB_YESNO) != IDYES)
        return;
    if (WorkingMode == wmArchive)
        return;
    TTreeNode* node = TreeView1->GetSelected();
    if (!node)
        return;
    if (node == TreeView1->GetItems()->GetFirstNode()) {
        ShowMessage("Невозможно удалить корневую группу");
        return;
    }
    DeleteSelectedGroup();
}

int64_t TForm1::CountGoodsOf(TTreeNode* node)
{
    // The goods the grid lists for the node: all of them for the top-level group (also those
    // whose group does not exist), else those of the group and every group below it.
    if (node == TreeView1->GetItems()->GetFirstNode())
        OpenSql(ADOQuery2, "Select Count(*) As N From Products");
    else {
        std::vector<AnsiString> names = CollectSubgroups(node);
        OpenSql(ADOQuery2, "Select Count(*) As N From Products Where Группа In (:groups)", {{"groups", names}});
    }
    const int64_t n = ADOQuery2->FieldByName("N")->AsLargeInt();
    ADOQuery2->Close();
    return n;
}

void TForm1::DeleteSelectedGroup()
{
    TTreeNode* node = TreeView1->GetSelected();
    // Goods anywhere below refuse the delete; counted afresh, not taken from the grid.
    if (CountGoodsOf(node) > 0) {
        ShowMessage("Невозможно удалить - в подгруппах существует товар");
        return;
    }
    const std::vector<TGroupRow> rows = ReadGroups();
    std::vector<AnsiString> ids;
    for (size_t i : CollectSubtree(rows, node->GetText()))
        ids.push_back(IntToStr(rows[i].ID));
    if (!ids.empty())
        ExecSql(ADOQuery2, "Delete * From Groups Where ID In (:ids)", {{"ids", ids}});
    node->Delete();
}

void TForm1::SpeedButton2Click(TObject* Sender) { N2Click(Sender); }
void TForm1::SpeedButton3Click(TObject* Sender) { N3Click(Sender); }
void TForm1::SpeedButton1Click(TObject* Sender) { N10Click(Sender); }

// ---------------------------------------------------------------- goods card lists

AnsiString TForm1::TopGroupName() const
{
    TTreeNode* root = TreeView1->GetItems()->GetFirstNode();
    return root ? root->GetText() : AnsiString();
}

TTreeNode* TForm1::SelectedGroup() const
{
    return TreeView1->GetSelected();
}

void TForm1::AddGroupNode(TTreeNode* parent, const AnsiString& name)
{
    TreeView1->GetItems()->AddChildFirst(parent, name);
    parent->Expand(false);
    // The new node follows its parent in display order; selecting it shows its (no) goods.
    GoodsChanged([&] { TreeView1->GetItems()->Item(parent->AbsoluteIndex() + 1)->SetSelected(true); });
}

void TForm1::RenameGroupNode(TTreeNode* node, const AnsiString& name)
{
    node->SetText(name);
    // A leaf's grid shows its goods under their new group name.
    if (!node->HasChildren())
        GoodsChanged([&] { TreeView1Change(TreeView1, node); });
}

void TForm1::SelectTopGroup()
{
    if (TTreeNode* first = TreeView1->GetItems()->GetFirstNode())
        first->SetSelected(true);
}

void TForm1::RefreshGoodsGrid()
{
    GoodsChanged([this] {
        TTreeNode* node = TreeView1->GetSelected();
        if (!node)
            return;
        const int k = node->AbsoluteIndex();
        TreeView1->GetItems()->Item(k)->SetSelected(false);
        TreeView1->GetItems()->Item(k)->SetSelected(true);
    });
}

void TForm1::GoodsChanged(const std::function<void()>& read)
{
    // The change itself has landed: a grid that cannot be read now must neither show the
    // figures from before nor pass for the warehouse's. It is emptied, the user is told, and
    // the next activation reads it again (the file's version still differs from the grid's).
    try {
        read();
    } catch (const std::exception& e) {
        ADOQuery1->Close();
        ShowMessage(ShellMessage(TShellMessage::GoodsNotRead, {e.what()}));
    }
}

std::vector<AnsiString> TForm1::GoodsGroupNames() const
{
    // Goods sit in groups without subgroups.
    std::vector<AnsiString> names;
    for (int i = 0; i < TreeView1->GetItems()->Count(); ++i) {
        TTreeNode* node = TreeView1->GetItems()->Item(i);
        if (!node->HasChildren())
            names.push_back(node->GetText());
    }
    return names;
}

// Unit1Tree.cpp - the main window's groups tree and goods grid.
#include "app/shell/Unit1.h"

#include "app/documents/Unit2.h"
#include "app/shell/ShellDb.h"
#include "app/shell/ShellMessages.h"
#include "app/shell/Unit5.h"
#include "platform/db/ADODB.h"
#include "platform/db/Sqlite.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Cp1251.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <memory>
#include <string_view>
#include <unordered_set>

namespace {

// The Products columns a title click may sort by; anything else is not put into SQL.
const char* const kProductColumns[] = {
    "ID", "№", "Наименование", "Марка", "Цвет", "Размеры", "Единица_измерения", "Имя_поставщика", "Цена",
    "Минимум", "Максимум", "Группа", "Количество", "ПоставщикОстатка", "КоличествоОстатка", "V", "O",
};

bool IsProductColumn(const AnsiString& name)
{
    for (const char* c : kProductColumns)
        if (AnsiSameText(name, c))
            return true;
    return false;
}

// The distinct texts of one column (exact bytes, as stored), each once, in the order read:
// an open-addressing table of indexes into one buffer, no allocation per row.
class TDistinctTexts {
public:
    void Add(std::string_view text)
    {
        if ((FSpans.size() + 1) * 2 > FSlots.size())
            Grow();
        const size_t mask = FSlots.size() - 1;
        const size_t hash = std::hash<std::string_view>{}(text);
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            TSlot& slot = FSlots[at];
            if (slot.Index == 0) {
                FSpans.push_back({FBytes.size(), text.size(), hash});
                FBytes.append(text);
                slot = {hash, FSpans.size()};
                return;
            }
            if (slot.Hash == hash && (*this)[slot.Index - 1] == text)
                return;
        }
    }
    size_t Count() const { return FSpans.size(); }
    std::string_view operator[](size_t i) const { return {FBytes.data() + FSpans[i].Begin, FSpans[i].Length}; }

private:
    struct TSpan {
        size_t Begin, Length, Hash;
    };
    struct TSlot {
        size_t Hash = 0;
        size_t Index = 0;  // 0: free, else the index in FSpans + 1
    };
    void Grow()
    {
        FSlots.assign(std::max<size_t>(1024, FSlots.size() * 2), TSlot{});
        const size_t mask = FSlots.size() - 1;
        for (size_t i = 0; i < FSpans.size(); ++i) {
            size_t at = FSpans[i].Hash & mask;
            while (FSlots[at].Index != 0)
                at = (at + 1) & mask;
            FSlots[at] = {FSpans[i].Hash, i + 1};
        }
    }

    std::string FBytes;
    std::vector<TSpan> FSpans;
    std::vector<TSlot> FSlots;
};

// The order in which a sorted list without regard to case holds `texts`: Russian
// alphabetical, case aside, texts equal but for case in the order given. Each text becomes a
// key of its letters' ranks (a letter's place among the distinct sort weights, one byte), so
// that comparing two keys byte by byte compares the texts as the list does.
std::vector<size_t> AlphabeticalOrder(const std::deque<AnsiString>& texts)
{
    static const std::array<unsigned char, 256> rank = [] {
        std::array<uint16_t, 256> weights{};
        for (int c = 0; c < 256; ++c)
            weights[size_t(c)] = cp1251::SortWeight(static_cast<unsigned char>(c));
        std::array<uint16_t, 256> sorted = weights;
        std::sort(sorted.begin(), sorted.end());
        const auto distinctEnd = std::unique(sorted.begin(), sorted.end());
        std::array<unsigned char, 256> r{};
        for (size_t c = 0; c < 256; ++c)
            r[c] = static_cast<unsigned char>(std::lower_bound(sorted.begin(), distinctEnd, weights[c]) - sorted.begin());
        return r;
    }();
    struct TKey {
        uint64_t Head;  // the first eight bytes of the key, high byte first, zeros after its end
        size_t Begin, Length, Index;
    };
    std::string keys;
    std::vector<TKey> order;
    order.reserve(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        const AnsiString& t = texts[i];
        uint64_t head = 0;
        for (size_t k = 0; k < 8; ++k)
            head = (head << 8) | (k < t.size() ? rank[static_cast<unsigned char>(t[k])] : 0);
        order.push_back({head, keys.size(), t.size(), i});
        for (unsigned char c : t)
            keys.push_back(static_cast<char>(rank[c]));
    }
    const char* base = keys.data();
    std::sort(order.begin(), order.end(), [base](const TKey& a, const TKey& b) {
        if (a.Head != b.Head)
            return a.Head < b.Head;
        const size_t n = std::min(a.Length, b.Length);
        if (n > 8)
            if (int c = std::memcmp(base + a.Begin + 8, base + b.Begin + 8, n - 8))
                return c < 0;
        return a.Length != b.Length ? a.Length < b.Length : a.Index < b.Index;
    });
    std::vector<size_t> result;
    result.reserve(order.size());
    for (const TKey& k : order)
        result.push_back(k.Index);
    return result;
}

}  // namespace

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
    std::vector<AnsiString> names;
    TTreeNode* node = TreeView1->GetSelected();
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
    const AnsiString order = orderBy.empty() ? AnsiString() : " Order By " + QuoteName(orderBy) + " Asc";
    if (FShowAll)
        OpenSql(ADOQuery1, "Select * From Products" + order);
    else
        OpenSql(ADOQuery1, "Select * From Products Where Группа In (:groups)" + order, {{"groups", FShownGroups}});
}

void TForm1::TreeView1Change(TObject*, TTreeNode* Node)
{
    if (!Node || !DatabaseOpen())
        return;
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
    const bool noGoods = !ADOQuery1->Active() || ADOQuery1->IsEmpty();
    if (!noGoods && !node->HasChildren()) {
        ShowMessage("Нельзя добавить подгруппу т.к. в группе содержится товар");
        return;
    }
    Form5->Edit1->SetPasswordChar(0);
    Form5->ComboBox1->SetVisible(false);
    Form5->Edit1->SetText("");
    Form5->SetJob(TInputJob::AddSubgroup);
    Form5->ShowModal();
}

void TForm1::N10Click(TObject*)
{
    if (WorkingMode != wmWorking)
        return;
    TTreeNode* node = TreeView1->GetSelected();
    if (!node)
        return;
    Form5->Edit1->SetPasswordChar(0);
    Form5->Edit1->SetText(node->GetText());
    Form5->SetJob(TInputJob::Rename);
    Form5->ComboBox1->SetVisible(false);
    Form5->ShowModal();
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

void TForm1::DeleteSelectedGroup()
{
    TTreeNode* node = TreeView1->GetSelected();
    const std::vector<TGroupRow> rows = ReadGroups();
    const std::vector<size_t> subtree = CollectSubtree(rows, node->GetText());
    std::vector<AnsiString> names;
    std::vector<AnsiString> ids;
    for (size_t i : subtree) {
        names.push_back(rows[i].Name);
        ids.push_back(IntToStr(rows[i].ID));
    }
    if (names.empty())
        names.push_back(node->GetText());
    // Goods anywhere below refuse the delete; counted afresh, not taken from the grid.
    OpenSql(ADOQuery2, "Select Count(*) As N From Products Where Группа In (:groups)", {{"groups", names}});
    if (ADOQuery2->FieldByName("N")->AsInteger() > 0) {
        ShowMessage("Невозможно удалить - в подгруппах существует товар");
        return;
    }
    if (!ids.empty())
        ExecSql(ADOQuery2, "Delete * From Groups Where ID In (:ids)", {{"ids", ids}});
    node->Delete();
}

void TForm1::SpeedButton2Click(TObject* Sender) { N2Click(Sender); }
void TForm1::SpeedButton3Click(TObject* Sender) { N3Click(Sender); }
void TForm1::SpeedButton1Click(TObject* Sender) { N10Click(Sender); }

// ---------------------------------------------------------------- goods card lists

void TForm1::FillComboFromProductsColumn(TComboBox* combo, const AnsiString& column)
{
    FillCombosFromProducts({{combo, column.c_str()}});
}

void TForm1::FillCombosFromProducts(std::initializer_list<TProductsColumnCombo> combos)
{
    // One read of the goods for all the lists: each list takes its column's values, each once.
    // The rows are read as they come rather than opened as a dataset: of 100,000 goods only
    // the distinct texts are kept, and only those are turned into program text.
    AnsiString select;
    std::vector<TComboBox*> boxes;
    for (const TProductsColumnCombo& c : combos) {
        c.Combo->GetItems()->Clear();
        c.Combo->SetText("");
        if (IsProductColumn(c.Column)) {
            select += (select.empty() ? "" : ",") + QuoteName(c.Column);
            boxes.push_back(c.Combo);
        }
    }
    if (select.empty())
        return;
    std::vector<TDistinctTexts> lists(boxes.size());
    ADOConnection1->ReadRows("Select " + select + " From Products", [&](const sqlite::Statement& row) {
        for (size_t c = 0; c < lists.size(); ++c)
            lists[c].Add(row.ColumnUtf8(int(c)));
    });
    for (size_t c = 0; c < lists.size(); ++c) {
        std::deque<AnsiString> texts;
        for (size_t i = 0; i < lists[c].Count(); ++i)
            texts.push_back(Utf8ToAnsi(lists[c][i]));
        lists[c] = {};
        TStringList values;
        auto* items = dynamic_cast<TStringList*>(boxes[c]->GetItems());
        if (items && items->GetSorted() && !items->GetCaseSensitive()) {
            // The list's own order, found once here by comparing weight keys, so that the
            // list takes the texts as they come instead of comparing them letter by letter.
            for (size_t i : AlphabeticalOrder(texts))
                values.Add(std::move(texts[i]));
        } else {
            for (AnsiString& t : texts)
                values.Add(std::move(t));
        }
        boxes[c]->GetItems()->AddStrings(values);
    }
}

void TForm1::FillGoodsCardCombos()
{
    Form2->Edit1->SetText("");
    Form2->Edit2->SetText("");
    Form2->Edit3->SetText("");
    FillCombosFromProducts({{Form2->Art, "№"},
                            {Form2->ComboBox1, "Наименование"},
                            {Form2->ComboBox2, "Марка"},
                            {Form2->ComboBox3, "Цвет"},
                            {Form2->ComboBox4, "Размеры"},
                            {Form2->ComboBox5, "Единица_измерения"}});
    Form2->ComboBox6->SetText("");
    Form2->ComboBox6->GetItems()->Clear();
    OpenSql(ADOQuery2, "Select * From P");
    for (ADOQuery2->First(); !ADOQuery2->Eof(); ADOQuery2->Next())
        Form2->ComboBox6->GetItems()->Add(ADOQuery2->FieldByName("Название")->AsString());
    Form2->ComboBox7->GetItems()->Clear();
    Form2->ComboBox7->SetText("");
    for (int i = 0; i < TreeView1->GetItems()->Count(); ++i) {
        TTreeNode* node = TreeView1->GetItems()->Item(i);
        if (!node->HasChildren())
            Form2->ComboBox7->GetItems()->Add(node->GetText());
    }
}

// The groups tree and the goods grid of the main window.
#include "app/shell/tests/ShellFixture.h"

#include "app/documents/Statements.h"
#include "app/documents/Unit2.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit10.h"
#include "app/shell/Unit12.h"
#include "app/shell/Unit5.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"
#include "platform/db/DbFaults.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

AnsiString TreeShape(TTreeView* tree)
{
    AnsiString s;
    for (int i = 0; i < tree->GetItems()->Count(); ++i) {
        TTreeNode* n = tree->GetItems()->Item(i);
        int depth = 0;
        for (TTreeNode* p = n->GetParent(); p; p = p->GetParent())
            ++depth;
        s += (i ? " " : "") + n->GetText() + ":" + std::to_string(depth);
    }
    return s;
}

AnsiString GoodsNames(TADOQuery* q)
{
    AnsiString s;
    for (q->First(); !q->Eof(); q->Next())
        s += (s.empty() ? "" : " ") + q->FieldByName("Наименование")->AsString();
    return s;
}

class TreeTest : public ShellTest {
protected:
    // Склад
    //   Краски       (inserted first, holds no goods itself)
    //     Эмали
    //       Алкидные
    //   Крепёж
    void Seed()
    {
        const int root = w->RootGroupId();
        const int paints = w->AddGroup("Краски", root);
        const int enamels = w->AddGroup("Эмали", paints);
        w->AddGroup("Алкидные", enamels);
        w->AddGroup("Крепёж", root);
        w->AddProduct(Product("ПФ-115", "Алкидные", 5, 410));
        w->AddProduct(Product("НЦ-132", "Эмали", 1, 90));
        w->AddProduct(Product("Болт", "Крепёж", 7, 1000.5));
        w->AddProduct(Product("Потерянный", "Нет такой группы", 1, 5));
    }
    void Select(const AnsiString& text) { d->ChooseNode(Form1->TreeView1, text); }
};

TEST_F(TreeTest, TheTreeShowsGroupsDepthFirstInTableOrder)
{
    Seed();
    StartOnWarehouse();
    EXPECT_EQ(TreeShape(Form1->TreeView1), "Склад:0 Краски:1 Эмали:2 Алкидные:3 Крепёж:1");
    EXPECT_TRUE(Form1->DBGrid1->GetVisible());
    EXPECT_EQ(Form1->TreeView1->GetSelected(), Form1->TreeView1->GetItems()->GetFirstNode());
}

struct ListingCase {
    const char* why;
    const char* group;
    const char* goods;
};

const ListingCase kListings[] = {
    {"the top-level group lists every product, also one whose group does not exist", "Склад",
     "ПФ-115 НЦ-132 Болт Потерянный"},
    {"three levels below a group are listed", "Краски", "ПФ-115 НЦ-132"},
    {"a middle group lists itself and below", "Эмали", "ПФ-115 НЦ-132"},
    {"a leaf lists its own goods", "Алкидные", "ПФ-115"},
    {"a sibling branch is not mixed in", "Крепёж", "Болт"},
};

TEST_F(TreeTest, SelectingAGroupListsTheGoodsOfItsWholeSubtree)
{
    Seed();
    StartOnWarehouse();
    for (const auto& c : kListings) {
        SCOPED_TRACE(c.why);
        Select(c.group);
        EXPECT_EQ(GoodsNames(Form1->ADOQuery1), c.goods);
    }
}

TEST_F(TreeTest, TitleClickSortsAscendingAndPricesAsNumbers)
{
    Seed();
    StartOnWarehouse();
    d->ClickTitle(Form1->DBGrid1, 5);  // Цена
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "Потерянный НЦ-132 ПФ-115 Болт");
    d->ClickTitle(Form1->DBGrid1, 5);
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "Потерянный НЦ-132 ПФ-115 Болт") << "ascending again";
    Select("Краски");
    d->ClickTitle(Form1->DBGrid1, 1);  // Наименование
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "НЦ-132 ПФ-115") << "the same goods, sorted";
}

TEST_F(TreeTest, DeleteRefusesTheRootAndGroupsWithGoodsBelow)
{
    Seed();
    StartOnWarehouse();
    struct Refusal { const char* why; const char* group; const char* message; };
    const Refusal refusals[] = {
        {"the top-level group", "Склад", "Невозможно удалить корневую группу"},
        {"goods two levels down", "Краски", "Невозможно удалить - в подгруппах существует товар"},
        {"goods in the group itself", "Крепёж", "Невозможно удалить - в подгруппах существует товар"},
    };
    const std::string before = w->Snapshot();
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.why);
        Select(r.group);
        d->ClearMessages();
        d->AnswerMessage("Вы действительно хотите удалить?", mrYes);
        d->Run([&] { d->Menu(Form1->N3); });
        EXPECT_EQ(d->MessageTexts(), (std::vector<AnsiString>{"Вы действительно хотите удалить?", r.message}));
        EXPECT_EQ(w->Snapshot(), before);
    }
}

TEST_F(TreeTest, DeleteRemovesAnEmptySubtreeFromTableAndTree)
{
    Seed();
    w->Exec("Delete From Products Where Группа In ('Эмали','Алкидные')");
    StartOnWarehouse();
    Select("Краски");
    d->AnswerMessage("Вы действительно хотите удалить?", mrYes);
    d->Run([&] { d->Menu(Form1->N3); });
    EXPECT_EQ(TreeShape(Form1->TreeView1), "Склад:0 Крепёж:1");
    EXPECT_EQ(w->Scalar("Select Count(*) From Groups").AsInteger(), 2);
}

TEST_F(TreeTest, AnswerNoToDeleteChangesNothing)
{
    Seed();
    StartOnWarehouse();
    Select("Алкидные");
    w->Exec("Delete From Products");
    const std::string before = w->Snapshot();
    d->AnswerMessage("Вы действительно хотите удалить?", mrNo);
    d->Run([&] { d->Menu(Form1->N3); });
    EXPECT_EQ(w->Snapshot(), before);
}

TEST_F(TreeTest, AnApostropheInAGroupNameWorksEverywhere)
{
    const int g = w->AddGroup("Д'Артаньян", w->RootGroupId());
    w->AddGroup("Под 'кавычками'", g);
    w->AddProduct(Product("Шпага", "Под 'кавычками'", 1));
    StartOnWarehouse();
    Select("Д'Артаньян");
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "Шпага");
    d->ClickTitle(Form1->DBGrid1, 1);
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "Шпага");
    w->Exec("Delete From Products");
    d->AnswerMessage("Вы действительно хотите удалить?", mrYes);
    d->Run([&] { d->Menu(Form1->N3); });
    EXPECT_EQ(w->Scalar("Select Count(*) From Groups").AsInteger(), 1);
    EXPECT_TRUE(d->Errors().empty());
}

TEST_F(TreeTest, FifteenHundredGroupsBuildAndList)
{
    int parent = w->RootGroupId();
    for (int i = 0; i < 1500; ++i) {
        const int id = w->AddGroup("Группа " + std::to_string(i), i % 3 == 0 ? w->RootGroupId() : parent);
        parent = id;
    }
    w->AddProduct(Product("Последний", "Группа 1499", 1));
    StartOnWarehouse();
    EXPECT_EQ(Form1->TreeView1->GetItems()->Count(), 1501);
    Select("Группа 1497");
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "Последний");
}

TEST_F(TreeTest, UnreachableGroupsAreLeftOutAndReportedOnce)
{
    Seed();
    w->Exec("Insert Into Groups (NameGroup, IDName) Values ('Сирота', 9999)");
    w->Exec("Insert Into Groups (NameGroup, IDName) Values ('Второй склад', 0)");
    StartOnWarehouse();
    EXPECT_EQ(TreeShape(Form1->TreeView1), "Склад:0 Краски:1 Эмали:2 Алкидные:3 Крепёж:1");
    ASSERT_EQ(d->MessageTexts().size(), 1u);
    EXPECT_NE(d->MessageTexts()[0].find("Сирота"), AnsiString::npos);
}

TEST_F(TreeTest, AddSubgroupIsRefusedOnALeafWithGoodsAndAllowedAboveSubgroups)
{
    Seed();
    StartOnWarehouse();
    Select("Алкидные");
    d->Run([&] { d->Menu(Form1->N2); });
    EXPECT_EQ(d->MessageTexts(), (std::vector<AnsiString>{"Нельзя добавить подгруппу т.к. в группе содержится товар"}));
    Select("Эмали");
    d->ExpectModal(Form5, [&] {
        EXPECT_EQ(Form5->GetCaption(), "Добавить подгруппу");
        EXPECT_EQ(Form5->Job(), TInputJob::AddSubgroup);
        EXPECT_FALSE(Form5->ComboBox1->GetVisible());
        d->CloseForm(Form5);
    });
    d->Run([&] { d->Menu(Form1->N2); });
    d->ExpectModal(Form5, [&] {
        EXPECT_EQ(Form5->Job(), TInputJob::Rename);
        EXPECT_EQ(Form5->Edit1->GetText(), "Эмали");
        d->CloseForm(Form5);
    });
    d->Run([&] { d->Click(Form1->SpeedButton1); });
    EXPECT_EQ(d->ModalNames(), (std::vector<AnsiString>{"Form5", "Form5"}));
}

// The tree shows the new group at once; when its goods cannot be read (a disk error, a lock),
// the grid is emptied instead of going on with the figures of the group selected before, the
// error reaches the user, and the commands that look at a group's goods count them afresh: a
// leaf that holds goods gets no subgroup even though its grid is empty.
TEST_F(TreeTest, AGroupWhoseGoodsCannotBeReadShowsNoFiguresOfAnother)
{
    Seed();
    StartOnWarehouse();
    TTreeView* tree = Form1->TreeView1;
    const auto node = [&](const char* text) {
        for (TTreeNode* n : tree->GetItems()->List())
            if (n->GetText() == text)
                return n;
        return static_cast<TTreeNode*>(nullptr);
    };
    const struct {
        const char* why;
        const char* from;  // selected first, its goods read
        const char* to;
        int failing;  // the statement of the selection that fails
        std::function<void()> select;
    } routes[] = {
        {"a click, the groups' read failing", "Склад", "Крепёж", 1, [&] { Select("Крепёж"); }},
        {"a click, the goods' read failing", "Склад", "Крепёж", 2, [&] { Select("Крепёж"); }},
        {"a click on the top-level group", "Крепёж", "Склад", 1, [&] { Select("Склад"); }},
        {"a right click on another group", "Склад", "Алкидные", 1,
         [&] { d->RightClickNode(tree, node("Алкидные")); }},
        {"a right click on the selected group", "Алкидные", "Алкидные", 1,
         [&] { d->RightClickNode(tree, node("Алкидные")); }},
    };
    for (const auto& r : routes) {
        SCOPED_TRACE(r.why);
        Select(AnsiString(r.from) == "Эмали" ? "Крепёж" : "Эмали");  // away, so that `from` is read
        Select(r.from);
        ASSERT_TRUE(HasCurrentRow(Form1->ADOQuery1));
        DbFaults::FailStatement(r.failing);
        r.select();
        DbFaults::Clear();
        EXPECT_EQ(tree->GetSelected(), node(r.to));
        EXPECT_FALSE(Form1->ADOQuery1->Active()) << "no figures of another group";
        EXPECT_EQ(d->TakeErrors().size(), 1u);
        if (r.to != AnsiString("Склад")) {
            d->ClearMessages();
            d->Run([&] { d->Menu(Form1->N2); });
            EXPECT_EQ(d->MessageTexts(), (std::vector<AnsiString>{"Нельзя добавить подгруппу т.к. в группе содержится товар"}));
            EXPECT_EQ(d->ModalNames().size(), 0u);
        }
    }
}

// Whatever step of a command that changes the selected group fails, the grid lists the
// selected group's goods as the warehouse holds them, or nothing: never another group's;
// and the next return to the window lists them.
TEST_F(TreeTest, EveryCommandThatMovesTheSelectionShowsItsGoodsOrNone)
{
    Seed();
    StartOnWarehouse();
    TTreeView* tree = Form1->TreeView1;
    const auto sorted = [](std::vector<AnsiString> v) { std::sort(v.begin(), v.end()); return v; };
    const auto shown = [&] {
        std::vector<AnsiString> names;
        TADOQuery* q = Form1->ADOQuery1;
        for (q->First(); !q->Eof(); q->Next())
            names.push_back(q->FieldByName("Наименование")->AsString());
        return sorted(names);
    };
    const auto held = [&] {
        TTreeNode* node = tree->GetSelected();
        if (node == tree->GetItems()->GetFirstNode())
            OpenSql(Form1->ADOQuery5, "Select Наименование From Products");
        else
            OpenSql(Form1->ADOQuery5, "Select Наименование From Products Where Группа In (:groups)",
                    {{"groups", Form1->CollectSubgroups()}});
        std::vector<AnsiString> names;
        for (Form1->ADOQuery5->First(); !Form1->ADOQuery5->Eof(); Form1->ADOQuery5->Next())
            names.push_back(Form1->ADOQuery5->FieldByName("Наименование")->AsString());
        return sorted(names);
    };
    int made = 0;
    const auto addUnder = [&](const char* parent) {
        Select(parent);
        const AnsiString name = "Новая " + IntToStr(++made);
        d->ExpectModal(Form5, [&] {
            Form5->Edit1->SetText(name);
            d->Click(Form5->Button1);
            if (Form5->GetVisible())
                Form5->SetModalResult(mrCancel);
        });
        d->Run([&] { d->Menu(Form1->N2); });
        return name;
    };
    const struct {
        const char* why;
        std::function<void()> prepare;  // runs without faults
        std::function<void()> route;
    } routes[] = {
        {"a click", [&] { Select("Склад"); }, [&] { Select("Крепёж"); }},
        {"a right click", [&] { Select("Склад"); },
         [&] { for (TTreeNode* n : tree->GetItems()->List()) if (n->GetText() == "Эмали") d->RightClickNode(tree, n); }},
        {"a subgroup added", [&] { Select("Крепёж"); }, [&] { addUnder("Краски"); }},
        {"the selected group deleted", [&] { Select(addUnder("Краски")); },
         [&] {
             d->AnswerMessage("Вы действительно хотите удалить?", mrYes);
             d->Run([&] { d->Menu(Form1->N3); });
         }},
        {"a leaf renamed",
         [&] {
             for (TTreeNode* n : tree->GetItems()->List())
                 if (n->GetText() == "Алкидные" || n->GetText() == "Масляные")
                     Select(n->GetText());
         },
         [&] {
             d->ExpectModal(Form5, [&] {
                 Form5->Edit1->SetText(tree->GetSelected()->GetText() == "Алкидные" ? "Масляные" : "Алкидные");
                 d->Click(Form5->Button1);
                 if (Form5->GetVisible())
                     Form5->SetModalResult(mrCancel);
             });
             d->Run([&] { d->Menu(Form1->N10); });
         }},
        {"goods saved by another window", [&] { Select("Эмали"); }, [&] { Form1->RefreshGoodsGrid(); }},
    };
    for (const auto& r : routes) {
        for (int failAt = 1; failAt < 40; ++failAt) {
            SCOPED_TRACE(std::string(r.why) + ", statement " + std::to_string(failAt));
            r.prepare();
            d->TakeErrors();
            d->ClearMessages();
            DbFaults::FailStatement(failAt);
            r.route();
            const bool failed = DbFaults::Count() >= failAt;
            DbFaults::Clear();
            d->TakeErrors();
            d->ClearMessages();
            if (Form1->ADOQuery1->Active())
                EXPECT_EQ(shown(), held());
            // The next return to the window (a dialog closed) reads a grid a failure emptied.
            d->ExpectModal(Form5, [&] { Form5->SetModalResult(mrCancel); });
            d->Run([&] { d->Menu(Form1->N10); });
            EXPECT_TRUE(Form1->ADOQuery1->Active());
            if (Form1->ADOQuery1->Active())
                EXPECT_EQ(shown(), held());
            if (!failed)
                break;
        }
    }
}

TEST_F(TreeTest, TheGoodsCardGroupListOffersOnlyGroupsWithoutSubgroups)
{
    Seed();
    w->AddProduct(Product("ПФ-115", "Крепёж", 2, 400));
    StartOnWarehouse();
    d->Run([] { Form2->FillLists(); });
    TStrings* groups = Form2->ComboBox7->GetItems();
    ASSERT_EQ(groups->Count(), 2);
    EXPECT_EQ(groups->Strings(0), "Алкидные");
    EXPECT_EQ(groups->Strings(1), "Крепёж");
    EXPECT_EQ(Form2->ComboBox1->GetItems()->Count(), 4) << "each name once";
}

TEST_F(TreeTest, TheGoodsCardSortedListsHoldWhatOneAddEachWouldGive)
{
    // Group and supplier lists long enough to be taken in one go, with repeats and names
    // equal but for case: the same lists, in the same order, as adding each name in turn to
    // a list sorted as the box's own.
    std::vector<AnsiString> groups, suppliers;
    for (int i = 0; i < 40; ++i) {
        groups.push_back((i % 4 == 1 ? "ГРУППА " : "Группа ") + IntToStr(int64_t(i * 7 % 13)));
        suppliers.push_back((i % 3 == 0 ? "ооо " : "ООО ") + IntToStr(int64_t(i * 5 % 17)));
    }
    for (const AnsiString& g : groups)
        w->AddGroup(g, w->RootGroupId());
    for (const AnsiString& s : suppliers)
        w->Exec("Insert Into P (Название) Values (:n)", {s});
    StartOnWarehouse();
    d->Run([] { Form2->FillLists(); });

    struct Case {
        const char* why;
        TComboBox* box;
        std::vector<AnsiString> added;
    };
    std::vector<AnsiString> leaves;
    for (const AnsiString& g : Form1->GoodsGroupNames())
        leaves.push_back(g);
    const Case kCases[] = {{"groups", Form2->ComboBox7, leaves}, {"suppliers", Form2->ComboBox6, suppliers}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        TStrings* items = c.box->GetItems();
        auto* own = dynamic_cast<TStringList*>(items);
        ASSERT_NE(own, nullptr);
        ASSERT_TRUE(own->GetSorted());
        TStringList expected;
        expected.SetCaseSensitive(own->GetCaseSensitive());
        expected.SetDuplicates(own->GetDuplicates());
        expected.SetSorted(true);
        for (const AnsiString& s : c.added)
            expected.Add(s);
        ASSERT_EQ(items->Count(), expected.Count());
        for (int i = 0; i < expected.Count(); ++i)
            EXPECT_EQ(items->Strings(i), expected.Strings(i)) << i;
    }
}

TEST_F(TreeTest, TheGoodsCardListsKeepNamesThatDifferOnlyInCase)
{
    // The lists are sorted; a value is left out only when exactly the same text is there.
    for (const char* name : {"болт", "Болт", "болт", "БОЛТ", "Анкер"})
        w->AddProduct(Product(name, "Склад", 1, 1));
    StartOnWarehouse();
    d->Run([] { Form2->FillLists(); });
    TStrings* names = Form2->ComboBox1->GetItems();
    ASSERT_EQ(names->Count(), 4);
    EXPECT_EQ(names->Strings(0), "Анкер");
    for (const char* name : {"болт", "Болт", "БОЛТ"})
        EXPECT_GE(names->IndexOf(name), 1) << name;
    std::vector<AnsiString> listed;
    for (int i = 1; i < 4; ++i)
        listed.push_back(names->Strings(i));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<AnsiString>{"БОЛТ", "Болт", "болт"}));
}

TEST_F(TreeTest, TheGoodsCardListsHoldWhatAddingEachStoredValueGives)
{
    // The lists are filled from one read and put in order in one go; what they hold must be
    // what adding each stored value once to the sorted list gives: case variants, Ё and Е,
    // digits, Latin letters, empty and Null texts, a value repeated, in stored order.
    const char* const values[] = {"болт", "Болт", "БОЛТ", "ёж", "еж", "Ёж", "", "10", "9", "b", "A",
                                  "болт", "Анкер", "zz", "ZZ", "Ё", "Е", "я", "а-1", "а-10", "а-2"};
    int nullBrand = 0;
    for (const char* v : values) {
        TProductSeed p;
        p.Article = v, p.Name = v, p.Brand = v, p.Colour = v, p.Sizes = v, p.Unit = v;
        const int id = w->AddProduct(p);
        if (AnsiString(v) == "ZZ")
            nullBrand = id;
    }
    w->Exec("Update Products Set Марка=Null Where ID=:id", {nullBrand});
    StartOnWarehouse();
    d->Run([] { Form2->FillLists(); });
    const std::pair<TComboBox*, const char*> lists[] = {
        {Form2->Art, "№"},     {Form2->ComboBox1, "Наименование"}, {Form2->ComboBox2, "Марка"},
        {Form2->ComboBox3, "Цвет"}, {Form2->ComboBox4, "Размеры"},  {Form2->ComboBox5, "Единица_измерения"},
    };
    for (const auto& [box, column] : lists) {
        SCOPED_TRACE(column);
        TStringList expected;
        expected.SetDuplicates(dupAccept);
        expected.SetSorted(true);
        std::vector<AnsiString> seen;
        for (const char* v : values) {
            const AnsiString text = AnsiString(column) == "Марка" && AnsiString(v) == "ZZ" ? AnsiString() : AnsiString(v);
            if (std::find(seen.begin(), seen.end(), text) != seen.end())
                continue;
            seen.push_back(text);
            expected.Add(text);
        }
        TStrings* items = box->GetItems();
        ASSERT_EQ(items->Count(), expected.Count());
        for (int i = 0; i < expected.Count(); ++i)
            EXPECT_EQ(items->Strings(i), expected[i]) << i;
    }
}

// The main window is activated after every dialog. Its goods are read again only when the
// warehouse changed meanwhile, through this program or another: a large warehouse takes a
// while to read, and a dialog that changed nothing must not make the user wait for it. Either
// way the grid keeps its group, its order and the product under the cursor.
TEST_F(TreeTest, ActivationReadsTheGoodsAgainOnlyWhenTheWarehouseChanged)
{
    Seed();
    StartOnWarehouse();
    Select("Краски");
    d->ClickTitle(Form1->DBGrid1, 5);  // Цена: НЦ-132 ПФ-115
    TADOQuery* q = Form1->ADOQuery1;
    const auto aboutBox = [&](const std::function<void()>& meanwhile) {
        d->ExpectModal(Form10, [&] {
            meanwhile();
            d->Click(Form10->Button1);
        });
        d->Menu(Form1->N24);
    };
    const auto nameColumn = [&](TButton* TForm12::*button) {
        d->ExpectModal(Form12, [&] { d->Click(Form12->*button); });
        d->Menu(Form1->N26);
    };
    const struct {
        const char* why;
        bool readAgain;
        const char* goods;  // as listed afterwards
        std::function<void()> route;
    } routes[] = {
        {"the about box", false, "НЦ-132 ПФ-115", [&] { aboutBox([] {}); }},
        {"the name-column dialog cancelled", false, "НЦ-132 ПФ-115", [&] { nameColumn(&TForm12::Button2); }},
        {"the name-column dialog stored (a write, if not of goods)", true, "НЦ-132 ПФ-115",
         [&] { nameColumn(&TForm12::Button1); }},
        {"another program changed a price meanwhile", true, "ПФ-115 НЦ-132",
         [&] { aboutBox([&] { w->Exec("Update Products Set Цена=500 Where Наименование='НЦ-132'"); }); }},
        {"another program added a product meanwhile", true, "Грунт ПФ-115 НЦ-132",
         [&] { aboutBox([&] { w->AddProduct(Product("Грунт", "Эмали", 2, 60)); }); }},
    };
    for (const auto& r : routes) {
        SCOPED_TRACE(r.why);
        d->ClickRow(Form1->DBGrid1, 1);
        const AnsiString product = q->FieldByName("Наименование")->AsString();
        const uint64_t opening = q->GetBookmark().Generation;
        r.route();
        EXPECT_EQ(q->GetBookmark().Generation != opening, r.readAgain);
        ASSERT_FALSE(q->Eof());
        EXPECT_EQ(q->FieldByName("Наименование")->AsString(), product) << "the cursor stays on its product";
        EXPECT_EQ(GoodsNames(q), r.goods) << "the group and the order stay";
    }
}

}  // namespace

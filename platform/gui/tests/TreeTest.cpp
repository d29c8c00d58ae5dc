// The tree view: node order, absolute indexes, hit tests, selection.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Menus.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::vector<AnsiString> Texts(TTreeView* tree)
{
    std::vector<AnsiString> texts;
    for (TTreeNode* n : tree->GetItems()->List())
        texts.push_back(AnsiString(size_t(n->Level()) * 2, ' ') + n->GetText());
    return texts;
}

struct TreeFixture : GuiTest {
    TLogForm* Form = NewForm("Main");
    TTreeView* Tree = new TTreeView(Form);
    std::vector<AnsiString> Changes;

    TreeFixture()
    {
        Tree->SetParent(Form);
        Tree->SetBounds(0, 0, 200, 300);
        Tree->OnChange = TTVChangedEvent::Lambda(
            [this](TObject*, TTreeNode* n) { Changes.push_back(n ? n->GetText() : AnsiString("-")); });
        // The groups tree as the program builds it: walk by absolute index, add children last.
        TTreeNodes* items = Tree->GetItems();
        items->Add(nullptr, "Склад");
        const std::vector<std::pair<AnsiString, AnsiString>> groups = {
            {"Склад", "Обувь"}, {"Склад", "Одежда"}, {"Обувь", "Сапоги"}, {"Одежда", "Куртки"}};
        for (int index = 0; index < items->Count(); ++index) {
            TTreeNode* node = items->Item(index);
            for (const auto& [parent, child] : groups)
                if (parent == node->GetText())
                    items->AddChild(node, child);
        }
        Tree->FullExpand();
    }
};

using TreeTest = TreeFixture;

TEST_F(TreeTest, ChildrenFollowTheirParentInDisplayOrder)
{
    EXPECT_EQ(Texts(Tree), (std::vector<AnsiString>{"Склад", "  Обувь", "    Сапоги", "  Одежда", "    Куртки"}));
    TTreeNode* shoes = Tree->GetItems()->Item(1);
    EXPECT_EQ(shoes->AbsoluteIndex(), 1);
    EXPECT_EQ(Tree->GetItems()->Item(4)->GetText(), "Куртки");
    EXPECT_EQ(Tree->GetItems()->Item(5), nullptr);

    // A new subgroup goes first under its parent; the node after the parent is the new one.
    TTreeNode* added = Tree->GetItems()->AddChildFirst(shoes, "Туфли");
    EXPECT_EQ(Tree->GetItems()->Item(shoes->AbsoluteIndex() + 1), added);
    EXPECT_EQ(shoes->Item(1)->GetText(), "Сапоги");
}

// A chain of nodes far deeper than any call stack holds (as a damaged table of groups makes
// it) is laid out, copied and deleted like any tree.
TEST_F(TreeTest, AChainOfHalfAMillionNodesIsLaidOutCopiedAndDeleted)
{
    constexpr int depth = 500000;
    TTreeNodes* items = Tree->GetItems();
    items->BeginUpdate();
    TTreeNode* top = items->AddChild(items->Item(2), "0");  // under "Сапоги"
    TTreeNode* last = top;
    for (int i = 1; i < depth; ++i)
        last = items->AddChild(last, IntToStr(i));
    items->AddChild(items->Item(1), "после");  // after the chain under "Обувь"
    items->EndUpdate();
    ASSERT_EQ(items->Count(), 5 + depth + 1);
    EXPECT_EQ(items->Item(3), top);
    EXPECT_EQ(items->Item(2 + depth), last);
    EXPECT_EQ(items->Item(3 + depth)->GetText(), "после");

    auto* copy = new TTreeView(Form);
    copy->GetItems()->Assign(items);
    ASSERT_EQ(copy->GetItems()->Count(), items->Count());
    EXPECT_EQ(copy->GetItems()->Item(2 + depth)->GetText(), IntToStr(depth - 1));
    EXPECT_EQ(copy->GetItems()->Item(2 + depth)->GetParent()->GetText(), IntToStr(depth - 2));
    EXPECT_EQ(copy->GetItems()->Item(3 + depth)->GetText(), "после");

    Tree->SetSelected(last);
    top->Delete();
    EXPECT_EQ(Texts(Tree), (std::vector<AnsiString>{"Склад", "  Обувь", "    Сапоги", "    после", "  Одежда", "    Куртки"}));
    EXPECT_EQ(Tree->GetSelected()->GetText(), "Сапоги");
}

// The display order is laid out again on the first read after a change, whichever
// change it was and whether or not the tree was read in between.
TEST_F(TreeTest, DisplayOrderFollowsEveryChange)
{
    TTreeNodes* items = Tree->GetItems();
    const auto node = [&](const char* text) {
        for (TTreeNode* n : items->List())
            if (n->GetText() == text)
                return n;
        return static_cast<TTreeNode*>(nullptr);
    };
    struct Step {
        const char* why;
        std::function<void()> change;
        std::vector<AnsiString> order;
    };
    const Step kSteps[] = {
        {"a last child of a nested node", [&] { items->AddChild(node("Сапоги"), "Зимние"); },
         {"Склад", "  Обувь", "    Сапоги", "      Зимние", "  Одежда", "    Куртки"}},
        {"a sibling before a node", [&] { items->Insert(node("Одежда"), "Головные уборы"); },
         {"Склад", "  Обувь", "    Сапоги", "      Зимние", "  Головные уборы", "  Одежда", "    Куртки"}},
        {"a first child before the others", [&] { items->AddChildFirst(node("Склад"), "Новое"); },
         {"Склад", "  Новое", "  Обувь", "    Сапоги", "      Зимние", "  Головные уборы", "  Одежда", "    Куртки"}},
        {"the first child deleted", [&] { items->Delete(node("Новое")); },
         {"Склад", "  Обувь", "    Сапоги", "      Зимние", "  Головные уборы", "  Одежда", "    Куртки"}},
        {"a subtree deleted", [&] { items->Delete(node("Обувь")); },
         {"Склад", "  Головные уборы", "  Одежда", "    Куртки"}},
        {"a new last top-level node", [&] { items->Add(node("Склад"), "Архив"); },
         {"Склад", "  Головные уборы", "  Одежда", "    Куртки", "Архив"}},
        {"the children of a node deleted",
         [&] {
             items->AddChild(node("Архив"), "2023");
             items->AddChild(node("2023"), "Март");
             node("Архив")->DeleteChildren();
         },
         {"Склад", "  Головные уборы", "  Одежда", "    Куртки", "Архив"}},
        {"many added in one update, unread until its end",
         [&] {
             items->BeginUpdate();
             TTreeNode* archive = node("Архив");
             for (const char* t : {"2024", "2025"})
                 items->AddChild(archive, t);
             items->AddChildFirst(nullptr, "Входящие");
             items->EndUpdate();
         },
         {"Входящие", "Склад", "  Головные уборы", "  Одежда", "    Куртки", "Архив", "  2024", "  2025"}},
        {"cleared", [&] { items->Clear(); }, {}},
        {"filled again", [&] { items->AddChild(items->Add(nullptr, "Склад"), "Обувь"); }, {"Склад", "  Обувь"}},
    };
    for (const Step& step : kSteps) {
        SCOPED_TRACE(step.why);
        step.change();
        EXPECT_EQ(items->Count(), int(step.order.size()));
        EXPECT_EQ(Texts(Tree), step.order);
        for (int i = 0; i < items->Count(); ++i) {
            TTreeNode* n = items->Item(i);
            EXPECT_EQ(n->AbsoluteIndex(), i);
            EXPECT_EQ(n->GetNext(), items->Item(i + 1));
            EXPECT_EQ(n->GetPrev(), items->Item(i - 1));
            // Its place among its siblings, and its neighbours there, after the change.
            int place = 0;
            for (int j = 0; j < i; ++j)
                place += items->Item(j)->GetParent() == n->GetParent();
            EXPECT_EQ(n->Index(), place) << n->GetText().c_str();
            if (TTreeNode* next = n->GetNextSibling()) {
                EXPECT_EQ(next->GetParent(), n->GetParent());
                EXPECT_EQ(next->Index(), place + 1);
                EXPECT_EQ(next->GetPrevSibling(), n);
            }
            if (n->GetParent())
                EXPECT_EQ(n->GetParent()->Item(place), n);
        }
        EXPECT_EQ(items->GetFirstNode(), items->Item(0));
    }
}

TEST_F(TreeTest, NodeAtAPointAndTheRightButton)
{
    Form->Show();
    TTreeNode* boots = Tree->GetItems()->Item(2);
    const TRect r = Tree->NodeRect(boots);
    EXPECT_EQ(Tree->GetNodeAt(r.Left + 1, r.Top + 1), boots);
    EXPECT_EQ(Tree->GetNodeAt(5, 299), nullptr) << "empty space below the nodes";

    // The main window selects the node under the right button.
    Tree->OnMouseDown = TMouseEvent::Lambda([this](TObject*, TMouseButton b, TShiftState, int x, int y) {
        if (b == mbRight)
            if (TTreeNode* n = Tree->GetNodeAt(x, y))
                Tree->SetSelected(n);
    });
    auto* popup = new TPopupMenu(Form);
    Tree->SetPopupMenu(popup);
    int popped = 0;
    popup->OnPopup = TNotifyEvent::Lambda([&](TObject*) { ++popped; });
    D.RightClickNode(Tree, boots);
    EXPECT_EQ(Tree->GetSelected(), boots);
    EXPECT_EQ(popped, 1);
    D.RightClick(Tree, 5, 299);
    EXPECT_EQ(Tree->GetSelected(), boots) << "a right click beside the nodes keeps the selection";
    EXPECT_EQ(Changes, (std::vector<AnsiString>{"Сапоги"}));
}

TEST_F(TreeTest, ChoosingANodeSelectsAndFiresOnce)
{
    Form->Show();
    D.ChooseNode(Tree, "Одежда");
    D.ChooseNode(Tree, "Одежда");
    EXPECT_EQ(Changes, (std::vector<AnsiString>{"Одежда"}));
    int data = 7;
    Tree->GetSelected()->SetData(&data);
    EXPECT_EQ(Tree->GetItems()->Item(3)->GetData(), &data);
}

TEST_F(TreeTest, DeletingTheSelectedSubtreeMovesTheSelection)
{
    TTreeNode* shoes = Tree->GetItems()->Item(1);
    Tree->SetSelected(shoes->Item(0));  // Сапоги
    Changes.clear();
    shoes->Delete();
    EXPECT_EQ(Texts(Tree), (std::vector<AnsiString>{"Склад", "  Одежда", "    Куртки"}));
    EXPECT_EQ(Tree->GetSelected()->GetText(), "Одежда") << "the next sibling of the deleted node";
    EXPECT_EQ(Changes, (std::vector<AnsiString>{"Одежда"}));
    Tree->GetItems()->Clear();
    EXPECT_EQ(Tree->GetSelected(), nullptr);
    EXPECT_EQ(Changes.back(), "-");
}

// Deleting a node's children leaves a selection from below on the node itself, told once;
// a selection elsewhere stays, untold.
TEST_F(TreeTest, DeletingTheChildrenMovesASelectionFromBelowToTheNode)
{
    const struct {
        const char* why;
        int selected;  // absolute index before the deletion
        std::vector<AnsiString> changes;
        const char* after;
    } cases[] = {
        {"a first child", 1, {"Склад"}, "Склад"},
        {"the last child", 3, {"Склад"}, "Склад"},
        {"a grandchild under the last child", 4, {"Склад"}, "Склад"},
        {"the node itself", 0, {}, "Склад"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TTreeNodes* items = Tree->GetItems();
        items->Clear();
        TTreeNode* top = items->Add(nullptr, "Склад");
        items->AddChild(items->AddChild(top, "Обувь"), "Сапоги");
        items->AddChild(items->AddChild(top, "Одежда"), "Куртки");
        Tree->SetSelected(items->Item(c.selected));
        Changes.clear();
        top->DeleteChildren();
        EXPECT_EQ(Texts(Tree), std::vector<AnsiString>{"Склад"});
        EXPECT_EQ(Changes, c.changes);
        ASSERT_NE(Tree->GetSelected(), nullptr);
        EXPECT_EQ(Tree->GetSelected()->GetText(), c.after);
    }
    // Another top-level node keeps its selection.
    TTreeNodes* items = Tree->GetItems();
    TTreeNode* other = items->Add(nullptr, "Архив");
    items->AddChild(items->Item(0), "Обувь");
    Tree->SetSelected(other);
    Changes.clear();
    items->Item(0)->DeleteChildren();
    EXPECT_EQ(Tree->GetSelected(), other);
    EXPECT_TRUE(Changes.empty());
}

TEST_F(TreeTest, OnChangingCanRefuse)
{
    Tree->OnChanging = TTVChangingEvent::Lambda([](TObject*, TTreeNode* n, bool& allow) {
        allow = n && n->GetText() != "Куртки";
    });
    Tree->SetSelected(Tree->GetItems()->Item(4));
    EXPECT_EQ(Tree->GetSelected(), nullptr);
    Tree->SetSelected(Tree->GetItems()->Item(3));
    EXPECT_EQ(Tree->GetSelected()->GetText(), "Одежда");
}

TEST_F(TreeTest, HitTestsFollowTheReportedScrolling)
{
    // Rows of 16 pixels: Склад, Обувь, Сапоги, Одежда, Куртки.
    struct Case {
        const char* why;
        int top;
        int y;
        const char* expected;  // nullptr: no node there
    };
    const Case kCases[] = {
        {"unscrolled, first row", 0, 3, "Склад"},
        {"unscrolled, third row", 0, 35, "Сапоги"},
        {"scrolled by two, the top row is the third node", 2, 3, "Сапоги"},
        {"scrolled by two, the second row", 2, 20, "Одежда"},
        {"scrolled by two, below the last node", 2, 50, nullptr},
        {"a top beyond the rows is kept at the last row", 99, 3, "Куртки"},
        {"a negative top is kept at the first row", -4, 3, "Склад"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_TRUE(Tree->UserScrolled(c.top));
        TTreeNode* hit = Tree->GetNodeAt(30, c.y);
        EXPECT_EQ(hit ? hit->GetText() : AnsiString("-"), AnsiString(c.expected ? c.expected : "-"));
        if (c.y < 16) {
            EXPECT_EQ(Tree->TopItem(), hit) << "the top row's node is TopItem";
        }
        if (hit) {
            EXPECT_EQ(Tree->NodeRect(hit).Top, c.y / 16 * 16) << "NodeRect agrees with the hit test";
        }
    }

    // Collapsing hides rows; the view reports its new top and the hit test follows.
    Tree->UserScrolled(3);
    Tree->GetItems()->Item(1)->Collapse(false);  // Обувь: Сапоги is hidden
    Tree->UserScrolled(2);
    EXPECT_EQ(Tree->GetNodeAt(30, 3)->GetText(), "Одежда");
}

// Rows are the nodes whose parents are all expanded: an expanded node under a collapsed
// one is hidden with it, and comes back with it.
TEST_F(TreeTest, RowsSkipEverythingUnderACollapsedNode)
{
    TTreeNodes* items = Tree->GetItems();
    TTreeNode* boots = items->Item(2);
    items->AddChild(boots, "Резиновые")->Expand(false);
    const struct {
        const char* why;
        const char* collapsed;  // nullptr: all expanded
        std::vector<const char*> rows;
    } cases[] = {
        {"all expanded", nullptr, {"Склад", "Обувь", "Сапоги", "Резиновые", "Одежда", "Куртки"}},
        {"a grandparent collapsed hides an expanded parent's child", "Обувь", {"Склад", "Обувь", "Одежда", "Куртки"}},
        {"the top collapsed", "Склад", {"Склад"}},
        {"a leaf's flag hides nothing", "Куртки", {"Склад", "Обувь", "Сапоги", "Резиновые", "Одежда", "Куртки"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Tree->FullExpand();
        if (c.collapsed)
            for (TTreeNode* n : items->List())
                if (n->GetText() == c.collapsed)
                    n->Collapse(false);
        Tree->UserScrolled(0);
        std::vector<AnsiString> rows, expected(c.rows.begin(), c.rows.end());
        for (int y = 3; TTreeNode* n = Tree->GetNodeAt(30, y); y += 16) {
            rows.push_back(n->GetText());
            EXPECT_EQ(Tree->NodeRect(n).Top, y - 3);
        }
        EXPECT_EQ(rows, expected);
        Tree->UserScrolled(99);
        EXPECT_EQ(Tree->TopItem()->GetText(), AnsiString(c.rows.back())) << "scrolled to the last row";
    }
}

// A chain of groups as deep as a damaged table makes it: expanding and collapsing it whole,
// hit tests and scrolling all reach its last node.
TEST_F(TreeTest, AChainDeeperThanTheCallStackExpandsCollapsesAndIsHit)
{
    constexpr int depth = 300000;
    TTreeNodes* items = Tree->GetItems();
    items->BeginUpdate();
    TTreeNode* top = items->AddChild(items->Item(4), "0");  // under "Куртки"
    TTreeNode* last = top;
    for (int i = 1; i < depth; ++i)
        last = items->AddChild(last, IntToStr(i));
    items->EndUpdate();
    top->Expand(true);
    EXPECT_TRUE(last->GetParent()->GetExpanded());
    Tree->UserScrolled(INT32_MAX);
    EXPECT_EQ(Tree->TopItem(), last);
    EXPECT_EQ(Tree->GetNodeAt(30, 3), last);
    EXPECT_EQ(Tree->NodeRect(last).Top, 0);
    EXPECT_EQ(Tree->NodeRect(last).Left, (depth + 2) * Tree->GetIndent());
    top->Collapse(true);
    EXPECT_FALSE(last->GetParent()->GetExpanded());
    Tree->UserScrolled(INT32_MAX);
    EXPECT_EQ(Tree->TopItem(), top) << "the chain's first node is the last row";
    EXPECT_EQ(Tree->NodeRect(last), TRect{});
}

TEST_F(TreeTest, ScrollingIsTakenEvenFromABlockedForm)
{
    TLogForm* dialog = NewForm("Dialog");
    D.ExpectModal(dialog, [&] {
        EXPECT_FALSE(Tree->UserSelectedNode(Tree->GetItems()->Item(1))) << "input is blocked";
        EXPECT_TRUE(Tree->UserScrolled(1)) << "but the view's position is a fact, not input";
        dialog->SetModalResult(mrOk);
    });
    Form->Show();
    D.Run([&] { dialog->ShowModal(); });
    EXPECT_EQ(Tree->TopIndex(), 1);
}

}  // namespace

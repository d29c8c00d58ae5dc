// The groups tree and the goods grid on the desktop (Qt offscreen): whichever way the user
// moves through the groups, with the mouse or the keys the tree view itself handles (arrows,
// Home and End, the page keys, a node closed and opened, a letter typed), the goods listed
// are those of the selected group and its subgroups as the warehouse holds them.
#include "app/shell/tests/ShellFixture.h"

#include "app/shell/Unit1.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtProbe.h"
#include "platform/qt/QtServices.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {

class TreeQtTest : public ShellTest {
protected:
    void SetUp() override
    {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "test_shell_qt";
        static char* argv[] = {name, nullptr};
        FBackend = std::make_unique<TQtBackend>(argc, argv);  // before the driver: its widgets stay
        ShellTest::SetUp();
    }
    void TearDown() override
    {
        ShellTest::TearDown();
        FBackend.reset();
    }

    // Склад
    //   Краски
    //     Эмали
    //       Алкидные
    //   Крепёж
    //   Zinc
    void Seed()
    {
        const int root = w->RootGroupId();
        const int paints = w->AddGroup("Краски", root);
        const int enamels = w->AddGroup("Эмали", paints);
        w->AddGroup("Алкидные", enamels);
        w->AddGroup("Крепёж", root);
        w->AddGroup("Zinc", root);
        w->AddProduct(Product("ПФ-115", "Алкидные", 5, 410));
        w->AddProduct(Product("НЦ-132", "Эмали", 1, 90));
        w->AddProduct(Product("Болт", "Крепёж", 7, 1000.5));
        w->AddProduct(Product("Анод", "Zinc", 3, 12));
        w->AddProduct(Product("Потерянный", "Нет такой группы", 2, 5));
    }
    // The goods of a group and every group below it, ids and stock, from the warehouse file.
    AnsiString Stored(const AnsiString& group)
    {
        TADOQuery q(nullptr);
        q.SetConnection(&w->Connection());
        if (group == "Склад")
            q.GetSQL()->SetText("Select ID, Количество From Products Order By ID");
        else {
            q.GetSQL()->SetText(
                "With Recursive below(id) As (Select ID From Groups Where NameGroup=:g "
                "Union Select Groups.ID From Groups Join below On Groups.IDName=below.id) "
                "Select ID, Количество From Products "
                "Where Группа In (Select NameGroup From Groups Where ID In (Select id From below)) Order By ID");
            q.Parameters()->ParamByName("g")->Value = group;
        }
        q.Open();
        AnsiString out;
        for (; !q.Eof(); q.Next())
            out += q.FieldByName("ID")->AsString() + "=" + q.FieldByName("Количество")->AsString() + " ";
        return out;
    }
    // What the grid lists, in the same form.
    AnsiString Listed()
    {
        TADOQuery* q = Form1->ADOQuery1;
        if (!q->Active())
            return "(closed)";
        std::vector<std::pair<int64_t, AnsiString>> rows;
        const int id = q->FieldByName("ID")->Index(), quantity = q->FieldByName("Количество")->Index();
        for (int r = 1; r <= q->RecordCount(); ++r)
            rows.push_back({q->RowValue(r, id).AsInt64(), q->RowDisplayText(r, quantity)});
        std::sort(rows.begin(), rows.end());
        AnsiString out;
        for (const auto& [i, text] : rows)
            out += IntToStr(i) + "=" + text + " ";
        return out;
    }
    void ClickNode(const AnsiString& text)
    {
        TTreeView* tree = Form1->TreeView1;
        for (TTreeNode* n : tree->GetItems()->List())
            if (n->GetText() == text) {
                const TRect shown = QtWidgetOnScreen(tree);
                const TRect row = tree->NodeRect(n);
                // The node's row, measured from inside the view's frame, right of its text
                // (left of it lies the button that opens and closes the node).
                const TPoint at{shown.Left + shown.Width() * 2 / 3, shown.Top + 2 + row.Top + row.Height() / 2};
                QtPointer(TQtMouseAction::Press, at);
                QtPointer(TQtMouseAction::Release, at);
                Pump();
                return;
            }
        ADD_FAILURE() << "no node";
    }
    // Lets the desktop's widgets deliver what the input above set off.
    void Pump() { FBackend->Services().ProcessNativeEvents(); }
    void Key(Word key)
    {
        ASSERT_TRUE(QtKey(key));
        Pump();
    }

private:
    std::unique_ptr<TQtBackend> FBackend;
};

TEST_F(TreeQtTest, EveryWayThroughTheGroupsListsTheSelectedGroupsGoods)
{
    Seed();
    StartOnWarehouse();
    Pump();
    TTreeView* tree = Form1->TreeView1;
    const struct {
        const char* why;
        std::function<void()> act;
        const char* selected;
    } routes[] = {
        {"a click on a group three levels above its goods", [&] { ClickNode("Краски"); }, "Краски"},
        {"a click on a leaf", [&] { ClickNode("Крепёж"); }, "Крепёж"},
        {"Home", [&] { Key(VK_HOME); }, "Склад"},
        {"Down", [&] { Key(VK_DOWN); }, "Краски"},
        {"Down again, into the subgroups", [&] { Key(VK_DOWN); }, "Эмали"},
        {"End", [&] { Key(VK_END); }, "Zinc"},
        {"Up", [&] { Key(VK_UP); }, "Крепёж"},
        {"Page Up", [&] { Key(VK_PRIOR); }, "Склад"},
        {"Page Down", [&] { Key(VK_NEXT); }, "Zinc"},
        {"a letter typed", [&] { ClickNode("Краски"); Key('Z'); }, "Zinc"},
        {"Left on a closed node's child goes to its parent",
         [&] {
             ClickNode("Эмали");
             Key(VK_LEFT);  // closes Эмали
             Key(VK_LEFT);  // to Краски
         },
         "Краски"},
        {"Right opens, Right again steps into the first subgroup",
         [&] {
             ClickNode("Эмали");
             Key(VK_RIGHT);
             Key(VK_RIGHT);
         },
         "Алкидные"},
        {"a click on the top-level group", [&] { ClickNode("Склад"); }, "Склад"},
    };
    for (const auto& r : routes) {
        SCOPED_TRACE(r.why);
        r.act();
        ASSERT_NE(tree->GetSelected(), nullptr);
        EXPECT_EQ(tree->GetSelected()->GetText(), r.selected);
        EXPECT_EQ(Listed(), Stored(r.selected));
    }
}

}  // namespace

// The data grid over a data source: columns, missing fields, row and title clicks,
// drawing without moving the dataset, keyboard navigation, and popup menus by mouse and
// keyboard on the grid and its neighbours.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TMemDataSet : public TDataSet {
public:
    explicit TMemDataSet(TComponent* owner) : TDataSet(owner) {}
    std::vector<std::pair<AnsiString, TFieldType>> Columns;
    std::vector<std::vector<Variant>> Rows;

protected:
    void InternalOpen() override
    {
        for (const auto& [name, type] : Columns)
            FieldDefs().Add(name, type, type == ftString ? 40 : 0);
        for (const auto& row : Rows) {
            Variant* cells = AppendRow();
            for (size_t c = 0; c < row.size(); ++c)
                cells[c] = row[c];
        }
    }
};

struct GridFixture : GuiTest {
    TLogForm* Form = NewForm("Main");
    TMemDataSet* Query = new TMemDataSet(Form);
    TDataSource* Source = new TDataSource(Form);
    TDBGrid* Grid = new TDBGrid(Form);

    GridFixture()
    {
        Query->Columns = {{"ID", ftInteger}, {"Наименование", ftString}, {"Группа", ftString}};
        Query->Rows = {{1, "Сапоги", "Обувь"}, {2, "Куртка", "Одежда"}, {3, "Туфли", "Обувь"}};
        Source->SetDataSet(Query);
        Grid->SetParent(Form);
        Grid->SetDataSource(Source);
        Grid->SetOptions(TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                                        dgRowSelect, dgAlwaysShowSelection});
    }
};

using GridTest = GridFixture;

TEST_F(GridTest, WithoutPersistentColumnsEveryFieldShows)
{
    EXPECT_TRUE(Grid->VisibleColumns().empty()) << "closed dataset: no columns";
    Query->Open();
    const auto columns = Grid->VisibleColumns();
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[1]->GetTitle()->GetCaption(), "Наименование");
    EXPECT_EQ(Grid->RowCount(), 3);
    EXPECT_EQ(Grid->CellText(2, columns[1]), "Туфли");
    EXPECT_EQ(Query->RecNo(), 1) << "reading a cell does not move the current row";
}

TEST_F(GridTest, PersistentColumnsWithAMissingFieldShowBlank)
{
    TColumn* name = Grid->GetColumns()->Add();
    name->SetFieldName("Наименование");
    name->GetTitle()->SetCaption("Товар");
    name->SetWidth(182);
    TColumn* missing = Grid->GetColumns()->Add();
    missing->SetFieldName("Цвет");
    TColumn* hidden = Grid->GetColumns()->Add();
    hidden->SetFieldName("ID");
    hidden->SetVisible(false);
    Query->Open();
    const auto columns = Grid->VisibleColumns();
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0]->GetTitle()->GetCaption(), "Товар");
    EXPECT_EQ(columns[0]->GetWidth(), 182);
    EXPECT_EQ(columns[1]->Field(), nullptr);
    EXPECT_EQ(Grid->CellText(0, columns[1]), "");
    EXPECT_EQ(columns[1]->GetTitle()->GetCaption(), "Цвет");
}

TEST_F(GridTest, RowAndTitleClicks)
{
    Query->Open();
    Form->Show();
    std::vector<AnsiString> titles;
    int cells = 0, doubles = 0;
    Grid->OnTitleClick = TDBGridClickEvent::Lambda([&](TColumn* c) { titles.push_back(c->GetFieldName()); });
    Grid->OnCellClick = TDBGridClickEvent::Lambda([&](TColumn*) { ++cells; });
    Grid->OnDblClick = TNotifyEvent::Lambda([&](TObject*) { ++doubles; });
    D.ClickRow(Grid, 2);
    EXPECT_EQ(Query->FieldByName("Наименование")->AsString(), "Туфли");
    EXPECT_EQ(Grid->CurrentRow(), 2);
    D.DoubleClickRow(Grid, 1);
    EXPECT_EQ(Query->RecNo(), 2);
    D.ClickTitle(Grid, 2);
    EXPECT_EQ(titles, (std::vector<AnsiString>{"Группа"}));
    EXPECT_EQ(cells, 2);
    EXPECT_EQ(doubles, 1);
    Query->Close();
    EXPECT_FALSE(Grid->UserClickedCell(0, 0)) << "a closed dataset has no rows to click";
}

// A window's scroll handlers: drawing must never run them.
struct ScrollCounter {
    int Before = 0, After = 0, CellClicks = 0;
    void Attach(TDataSet* ds, TDBGrid* grid)
    {
        ds->BeforeScroll = TDataSetNotifyEvent::Lambda([this](TDataSet*) { ++Before; });
        ds->AfterScroll = TDataSetNotifyEvent::Lambda([this](TDataSet*) { ++After; });
        grid->OnCellClick = TDBGridClickEvent::Lambda([this](TColumn*) { ++CellClicks; });
    }
};

TEST_F(GridTest, DrawingEveryRowNeverMovesTheDatasetOrFiresItsScrollEvents)
{
    Query->Open();
    Query->SetRecNo(2);
    ScrollCounter counter;
    counter.Attach(Query, Grid);
    int dataChanges = 0;
    Source->OnDataChange = TDataChangeEvent::Lambda([&](TObject*, TField*) { ++dataChanges; });

    std::vector<AnsiString> drawn;
    const auto columns = Grid->VisibleColumns();
    for (int row = 0; row < Grid->RowCount(); ++row)
        for (TColumn* column : columns)
            drawn.push_back(Grid->CellText(row, column));

    EXPECT_EQ(drawn, (std::vector<AnsiString>{"1", "Сапоги", "Обувь", "2", "Куртка", "Одежда", "3", "Туфли", "Обувь"}));
    EXPECT_EQ(counter.Before, 0);
    EXPECT_EQ(counter.After, 0);
    EXPECT_EQ(dataChanges, 0);
    EXPECT_EQ(Query->RecNo(), 2);
    EXPECT_EQ(Grid->CellText(3, columns[0]), "") << "a row past the end draws blank";
    EXPECT_EQ(Grid->CellText(-1, columns[0]), "");
}

// Every field kind: the row accessor gives the text DisplayText gives on that row.
TEST(DataSetRowAccess, RowDisplayTextFollowsTheFieldTextRules)
{
    TMemDataSet ds(nullptr);
    ds.Columns = {{"N", ftInteger}, {"F", ftFloat}, {"D", ftDate}, {"B", ftBoolean}, {"S", ftString}, {"M", ftMemo}};
    ds.Rows = {{7, 2.5, TDateTime(45000.0), true, "Гвозди", "длинный текст"},
               {Variant::Null(), Variant::Null(), Variant::Null(), false, Variant::Null(), Variant::Null()}};
    ds.Open();
    struct Case {
        const char* why;
        int recNo, field;
        AnsiString expected;
    };
    const Case kCases[] = {
        {"integer", 1, 0, "7"},
        {"float with the locale's separator", 1, 1, "2,5"},
        {"date as a short date", 1, 2, "15.03.2023"},
        {"boolean", 1, 3, "True"},
        {"string", 1, 4, "Гвозди"},
        {"memo shows its marker, not its text", 1, 5, "(MEMO)"},
        {"Null integer is blank", 2, 0, ""},
        {"Null date is blank", 2, 2, ""},
        {"false", 2, 3, "False"},
        {"Null memo still shows its marker", 2, 5, "(MEMO)"},
        {"row 0 is before the first", 0, 0, ""},
        {"a row past the last", 3, 0, ""},
        {"a field past the last", 1, 6, ""},
        {"a negative field", 1, -1, ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ds.RowDisplayText(c.recNo, c.field), c.expected);
        if (c.recNo >= 1 && c.recNo <= ds.RecordCount() && c.field >= 0 && c.field < ds.FieldCount()) {
            ds.SetRecNo(c.recNo);
            EXPECT_EQ(ds.Fields()[c.field]->DisplayText(), c.expected) << "the cursor's own text agrees";
        }
    }
    ds.SetRecNo(1);
    EXPECT_EQ(ds.RowValue(2, 0).IsNull(), true);
    EXPECT_EQ(ds.RowValue(1, 4), Variant("Гвозди"));
    EXPECT_EQ(ds.RecNo(), 1);
    ds.Close();
    EXPECT_THROW(ds.RowValue(1, 0), EDbError) << "a closed dataset has no rows to read";
}

struct NavigationFixture : GridFixture {
    NavigationFixture()
    {
        Query->Rows.clear();
        for (int i = 1; i <= 20; ++i)
            Query->Rows.push_back({i, "Товар " + IntToStr(i), "Группа"});
        // 120 pixels: a 2-pixel border above and below and a 19-pixel title leave 5 rows of 18.
        Grid->SetBounds(0, 0, 300, 120);
        Query->Open();
        Form->Show();
        Counter.Attach(Query, Grid);
    }
    ScrollCounter Counter;
};

using GridNavigation = NavigationFixture;

TEST_F(GridNavigation, KeysMoveTheDatasetAndAreTaken)
{
    ASSERT_EQ(Grid->VisibleRowCount(), 5);
    struct Case {
        const char* why;
        int from;
        Word key;
        TShiftState shift;
        int to;
    };
    const Case kCases[] = {
        {"Down moves one row", 3, VK_DOWN, {}, 4},
        {"Up moves one row", 3, VK_UP, {}, 2},
        {"Up on the first row stays", 1, VK_UP, {}, 1},
        {"Down on the last row stays", 20, VK_DOWN, {}, 20},
        {"Page Down moves a page", 3, VK_NEXT, {}, 8},
        {"Page Up moves a page", 10, VK_PRIOR, {}, 5},
        {"Page Up near the top stops at the first", 3, VK_PRIOR, {}, 1},
        {"Page Down near the end stops at the last", 18, VK_NEXT, {}, 20},
        {"Home with row select goes to the first", 9, VK_HOME, {}, 1},
        {"End with row select goes to the last", 9, VK_END, {}, 20},
        {"Ctrl+Page Up goes to the first", 9, VK_PRIOR, {ssCtrl}, 1},
        {"Ctrl+Page Down goes to the last", 9, VK_NEXT, {ssCtrl}, 20},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Query->SetRecNo(c.from);
        Counter = {};
        Word key = c.key;
        EXPECT_FALSE(Grid->UserFilterKeyDown(key, c.shift)) << "the grid takes the key; the view must not move";
        EXPECT_EQ(Query->RecNo(), c.to);
        EXPECT_EQ(Grid->CurrentRow(), c.to - 1);
        EXPECT_EQ(Counter.After, c.from == c.to ? 0 : 1) << "one scroll per move";
        EXPECT_EQ(Counter.CellClicks, 0) << "keys are not cell clicks";
    }
}

TEST_F(GridNavigation, TheWindowSeesTheKeyFirstAndMayTakeIt)
{
    Query->SetRecNo(5);
    Grid->OnKeyDown = TKeyEvent::Lambda([](TObject*, Word& key, TShiftState) {
        if (key == VK_DOWN)
            key = 0;
    });
    D.Key(Grid, VK_DOWN);
    EXPECT_EQ(Query->RecNo(), 5) << "OnKeyDown zeroed the key";
    D.Key(Grid, VK_UP);
    EXPECT_EQ(Query->RecNo(), 4);

    Word left = VK_LEFT, home = VK_HOME;
    EXPECT_TRUE(Grid->UserFilterKeyDown(left)) << "columns are the view's business";
    Grid->SetOptions(Grid->GetOptions() - TDBGridOptions{dgRowSelect});
    EXPECT_TRUE(Grid->UserFilterKeyDown(home)) << "without row select Home goes to the first column";
    EXPECT_EQ(Query->RecNo(), 4);
}

TEST_F(GridNavigation, ARowChosenInTheViewMovesTheDatasetWithoutACellClick)
{
    EXPECT_TRUE(Grid->UserMovedToRow(6));
    EXPECT_EQ(Query->RecNo(), 7);
    EXPECT_EQ(Counter.Before, 1);
    EXPECT_EQ(Counter.After, 1);
    EXPECT_EQ(Counter.CellClicks, 0);
    EXPECT_FALSE(Grid->UserMovedToRow(20)) << "past the last row";
    Grid->SetEnabled(false);
    EXPECT_FALSE(Grid->UserMovedToRow(1)) << "a disabled grid refuses";
    EXPECT_EQ(Query->RecNo(), 7);
}

}  // namespace

namespace {

// A control's popup menu opens from the mouse (right button) and from the keyboard (the
// Menu key, Shift+F10) alike, on every kind of control the windows give one; a control
// without a menu opens its parent's. The keyboard's menu shows under the selected node of
// a tree, elsewhere at the control's corner.
TEST_F(GridTest, PopupMenusOpenByMouseAndByKeyboardAlike)
{
    Query->Open();
    auto* tree = new TTreeView(Form);
    tree->SetParent(Form);
    tree->SetBounds(0, 200, 200, 100);
    tree->GetItems()->Add(nullptr, "Обувь");
    TTreeNode* coats = tree->GetItems()->Add(nullptr, "Одежда");
    auto* memo = new TMemo(Form);
    memo->SetParent(Form);
    auto* edit = new TEdit(Form);
    edit->SetParent(Form);
    auto* list = new TListBox(Form);
    list->SetParent(Form);
    list->GetItems()->Add("Склад");
    auto* plain = new TEdit(Form);  // no menu of its own: the form's
    plain->SetParent(Form);
    Form->Show();

    enum class TRoute { RightClick, MenuKey, ShiftF10 };
    struct TCase {
        const char* why;
        TWinControl* control;
        TWinControl* holder;
    };
    const TCase cases[] = {
        {"grid", Grid, Grid}, {"tree", tree, tree}, {"memo", memo, memo}, {"edit", edit, edit},
        {"list", list, list}, {"form", Form, Form}, {"edit without a menu", plain, Form},
    };
    std::vector<TComponent*> popped;
    for (const TCase& c : cases)
        if (c.control == c.holder) {
            auto* menu = new TPopupMenu(Form);
            menu->OnPopup = TNotifyEvent::Lambda([&popped, menu](TObject*) { popped.push_back(menu->PopupComponent); });
            c.control->SetPopupMenu(menu);
        }
    tree->SetSelected(coats);
    for (const TCase& c : cases)
        for (TRoute route : {TRoute::RightClick, TRoute::MenuKey, TRoute::ShiftF10}) {
            SCOPED_TRACE(std::string(c.why) + (route == TRoute::RightClick ? ", right click"
                                               : route == TRoute::MenuKey  ? ", Menu key"
                                                                           : ", Shift+F10"));
            popped.clear();
            if (route == TRoute::RightClick)
                D.RightClick(c.control, 3, 4);
            else if (route == TRoute::MenuKey)
                D.Key(c.control, VK_APPS);
            else
                D.Key(c.control, VK_F10, TShiftState{ssShift});
            EXPECT_EQ(popped, std::vector<TComponent*>{c.holder});
            const TPoint at = c.holder->GetPopupMenu()->PopupPoint;
            const TPoint expected = route == TRoute::RightClick ? c.control->ClientToScreen({3, 4})
                                    : c.control == tree ? tree->ClientToScreen({tree->NodeRect(coats).Left,
                                                                                tree->NodeRect(coats).Bottom})
                                                        : c.control->ClientToScreen({0, 0});
            EXPECT_EQ(at.X, expected.X);
            EXPECT_EQ(at.Y, expected.Y);
        }

    popped.clear();
    D.Key(edit, VK_F10);
    D.Key(edit, VK_APPS, TShiftState{ssCtrl});
    EXPECT_TRUE(popped.empty()) << "F10 alone and Ctrl+Menu are other keys";
}

}  // namespace

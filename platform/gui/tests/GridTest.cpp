// The data grid over a data source: columns, missing fields, row and title clicks.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/DBGrids.h"

#include <gtest/gtest.h>

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

}  // namespace

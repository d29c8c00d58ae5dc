// The grids' column widths in a new warehouse: each grid the program keeps in ColumnSize
// opens with the widths its window's layout gives it.
#include "app/documents/tests/DocumentFixture.h"

#include "app/documents/GridWidths.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/documents/Unit9.h"
#include "app/shell/Unit1.h"
#include "platform/gui/DBGrids.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

std::vector<int> Widths(TDBGrid* grid, int columns)
{
    std::vector<int> widths;
    for (int i = 0; i < columns; ++i)
        widths.push_back(grid->GetColumns()->Items(i)->GetWidth());
    return widths;
}

class GridWidthsTest : public DocumentTest {};

TEST_F(GridWidthsTest, ANewWarehouseGivesEveryGridTheWidthsOfItsLayout)
{
    StartOnWarehouse();
    struct Case {
        int id;
        TDBGrid* shown;                                // the program's grid, the warehouse opened
        std::function<std::unique_ptr<TForm>()> layout;  // a window fresh from its layout
        TDBGrid* (*grid)(TForm&);
    };
    const Case cases[] = {
        {2, Form3->DBGrid1, [] { return std::make_unique<TForm3>(nullptr); },
         [](TForm& f) { return static_cast<TForm3&>(f).DBGrid1; }},
        {3, Form2->DBGrid1, [] { return std::make_unique<TForm2>(nullptr); },
         [](TForm& f) { return static_cast<TForm2&>(f).DBGrid1; }},
        {4, Form4->DBGrid1, [] { return std::make_unique<TForm4>(nullptr); },
         [](TForm& f) { return static_cast<TForm4&>(f).DBGrid1; }},
        {9, Form9->DBGrid1, [] { return std::make_unique<TForm9>(nullptr); },
         [](TForm& f) { return static_cast<TForm9&>(f).DBGrid1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("ColumnSize row " + std::to_string(c.id));
        int columns = 0;
        for (const TSavedGrid& g : kSavedGrids)
            if (g.Id == c.id)
                columns = g.Columns;
        ASSERT_GT(columns, 0);
        const std::unique_ptr<TForm> fresh = c.layout();
        EXPECT_EQ(Widths(c.shown, columns), Widths(c.grid(*fresh), columns));
    }
}

}  // namespace

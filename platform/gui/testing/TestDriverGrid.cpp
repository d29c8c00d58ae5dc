// The data-grid actions of the test driver (built when the db layer exists).
#include "platform/gui/DBGrids.h"
#include "platform/gui/testing/TestDriver.h"

#include <gtest/gtest.h>

void TTestDriver::ClickTitle(TDBGrid* grid, int column)
{
    Act(grid, "click a title of", [&] { return grid->UserClickedTitle(column); });
}

void TTestDriver::ClickRow(TDBGrid* grid, int row, int column)
{
    Act(grid, "click a row of", [&] { return grid->UserClickedCell(row, column); });
}

void TTestDriver::DoubleClickRow(TDBGrid* grid, int row, int column)
{
    Act(grid, "double click a row of", [&] { return grid->UserDoubleClickedCell(row, column); });
}

// GridWidths.h - the column widths of the program's grids, kept in the warehouse's ColumnSize.
//
// One row of ColumnSize per grid, its columns named "0", "1", ... holding widths in pixels.
// kSavedGrids is the one list of those grids: the window that owns each (its DBGrid1), the
// row's ID and how many columns are kept. A window loads its widths on its first showing
// after a warehouse opens; the main window saves every grid's on close.
#pragma once

class TADOConnection;
class TADOQuery;
class TForm;

struct TSavedGrid {
    const char* Form;  // the window's name; the grid is its DBGrid1
    int Id;            // ColumnSize.ID
    int Columns;       // columns "0" .. Columns-1
};

inline constexpr TSavedGrid kSavedGrids[] = {
    {"Form1", 1, 10},  // goods of the main window
    {"Form3", 2, 10},  // lines of the document window
    {"Form2", 3, 7},   // goods of the line picker
    {"Form4", 4, 13},  // the journal's documents
    {"Form9", 9, 7},   // goods of the report builder
};

// Sets form's grid widths from its ColumnSize row through `query`; a missing row, column or
// Null width leaves that column as it is. A form not in kSavedGrids is our own mistake.
void LoadGridWidths(TForm& form, TADOQuery* query);

// Writes the widths of every grid in kSavedGrids, in one transaction of `connection`.
// Never throws: without a warehouse, or when a write fails, the widths are not kept.
void SaveGridWidths(TADOConnection* connection, TADOQuery* query) noexcept;

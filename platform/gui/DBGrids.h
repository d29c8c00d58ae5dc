// DBGrids.h - the data grid: rows of a dataset, through a data source, in columns.
//
// Columns are persistent (from the layout: FieldName, Title.Caption, Width, Visible) or,
// when the layout has none, one per field of the open dataset. A column bound to a field
// the dataset lacks shows blank cells and Field() == nullptr; nothing raises. The grid
// selects whole rows when dgRowSelect is set; the current row is the dataset's current
// record, so moving in the grid moves the dataset and the other way round.
//
// Peers read rows through RowCount()/CellText() and the visible columns through
// VisibleColumns(); they report clicks with the User* calls. Cells of any row are read
// straight from the dataset's rows (TDataSet::RowDisplayText): drawing never moves the
// cursor, so BeforeScroll/AfterScroll handlers of the window run only when the user or
// the code moves it.
//
// Keys (the model's own KeyDown, after OnKeyDown): Up/Down move one row, Page Up/Down
// one page of VisibleRowCount() rows, Ctrl+Home/Ctrl+End (and Home/End with dgRowSelect)
// to the first and last row. They move the dataset, firing its scroll events, not
// OnCellClick; the key is then taken (peers drop it).
//
// Needs platform/db; built into sklad_gui only when that layer exists.
#pragma once

#include "platform/db/DB.h"
#include "platform/gui/Controls.h"

class TDBGrid;
class TColumn;

SKLAD_ENUM(TDBGridOption, dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines,
           dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit,
           dgMultiSelect)
using TDBGridOptions = TSet<TDBGridOption>;
SKLAD_SET(TDBGridOptions, TDBGridOption)

using TDBGridClickEvent = TEvent<void(TColumn* Column)>;
SKLAD_EVENT_TYPE(TDBGridClickEvent)

class TColumnTitle : public TPersistent {
    SKLAD_CLASS(TColumnTitle, TPersistent)
public:
    explicit TColumnTitle(TColumn* column = nullptr) : FColumn(column) {}
    // The caption set in the layout, else the field's display label, else the field name.
    AnsiString GetCaption() const;
    void SetCaption(const AnsiString& value);
    bool IsCaptionStored() const { return FCaptionSet; }
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    void Assign(TPersistent* source) override;

private:
    TColumn* FColumn;
    AnsiString FCaption;
    bool FCaptionSet = false;
    TAlignment FAlignment = taLeftJustify;
};

class TColumn : public TCollectionItem {
    SKLAD_CLASS(TColumn, TCollectionItem)
public:
    explicit TColumn(TCollection* collection);
    ~TColumn() override;
    const AnsiString& GetFieldName() const { return FFieldName; }
    void SetFieldName(const AnsiString& value);
    TColumnTitle* GetTitle() const { return FTitle.get(); }
    void SetTitle(TColumnTitle* value) { FTitle->Assign(value); }
    int GetWidth() const;
    void SetWidth(int value);
    bool IsWidthStored() const { return FWidthSet; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    // The dataset's field of that name, or nullptr (missing field, closed dataset).
    TField* Field() const;
    TDBGrid* Grid() const;
    AnsiString GetDisplayName() const override;
    void Assign(TPersistent* source) override;
    // The title changed: tell the grid.
    void TitleChanged() { Changed(false); }

private:
    AnsiString FFieldName;
    std::unique_ptr<TColumnTitle> FTitle;
    int FWidth = 64;
    bool FWidthSet = false;
    bool FVisible = true;
    TAlignment FAlignment = taLeftJustify;
    bool FReadOnly = false;
};

class TDBGridColumns : public TCollection {
    SKLAD_CLASS_NOPUBLISH(TDBGridColumns, TCollection)
public:
    explicit TDBGridColumns(TDBGrid* grid);
    TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
    TColumn* Items(int index) const { return static_cast<TColumn*>(TCollection::Items(index)); }
    TColumn* operator[](int index) const { return Items(index); }
    TDBGrid* Grid() const { return FGrid; }
    void Update(TCollectionItem* item) override;

private:
    TDBGrid* FGrid;
};

class TDBGrid : public TCustomControl {
    SKLAD_CLASS(TDBGrid, TCustomControl)
public:
    explicit TDBGrid(TComponent* AOwner);
    ~TDBGrid() override;

    TDataSource* GetDataSource() const { return FLink.DataSource(); }
    void SetDataSource(TDataSource* value);
    TDataSet* DataSet() const { return FLink.DataSet(); }
    TDBGridColumns* GetColumns() const { return FColumns.get(); }
    void SetColumns(TDBGridColumns* value) { FColumns->Assign(value); }
    TDBGridOptions GetOptions() const { return FOptions; }
    void SetOptions(TDBGridOptions value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TFont* GetTitleFont() const { return FTitleFont.get(); }
    void SetTitleFont(TFont* value) { FTitleFont->Assign(value); }

    // The columns shown: the persistent ones that are visible, or, without persistent
    // columns, one per visible field of the open dataset.
    std::vector<TColumn*> VisibleColumns() const;
    // Rows of the open dataset (0 when closed), the current one (-1 when none).
    int RowCount() const;
    int CurrentRow() const;
    // The display text of a cell; "" for a missing field or a row out of range. Never
    // moves the dataset's cursor.
    AnsiString CellText(int row, TColumn* column) const;
    // Height of a data row and of the title row in pixels (peers draw with them).
    int DefaultRowHeight() const { return 18; }
    int TitleRowHeight() const { return FOptions.Contains(dgTitles) ? 19 : 0; }
    // Whole data rows that fit in the client area (at least 1): a page for Page Up/Down.
    int VisibleRowCount() const;

    TDBGridClickEvent OnTitleClick;
    TDBGridClickEvent OnCellClick;
    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;

    // The user clicked the title of `column` (an index into VisibleColumns()).
    bool UserClickedTitle(int column);
    // The user clicked a cell: the dataset moves to `row`, then OnCellClick.
    bool UserClickedCell(int row, int column);
    // The user double-clicked a cell: as a click, then OnDblClick.
    bool UserDoubleClickedCell(int row, int column);
    // The user dragged a column border (dgColumnResize).
    bool UserResizedColumn(int column, int width);
    // The user made `row` current without clicking a cell (keyboard, a drag in the
    // view): the dataset moves there, firing its scroll events, not OnCellClick.
    bool UserMovedToRow(int row);

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void KeyDown(Word& key, TShiftState shift) override;

private:
    class TGridLink : public TDataLink {
    public:
        explicit TGridLink(TDBGrid& grid) : FGrid(grid) {}
        void ActiveChanged() override;
        void DataSetScrolled(int distance) override;
        void DataSetChanged() override;

    private:
        TDBGrid& FGrid;
    };
    friend class TGridLink;
    friend class TDBGridColumns;
    void RebuildDefaultColumns();
    TColumn* VisibleColumn(int index) const;

    TGridLink FLink{*this};
    std::unique_ptr<TDBGridColumns> FColumns;
    std::unique_ptr<TDBGridColumns> FDefaultColumns;  // when no persistent columns exist
    TDBGridOptions FOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                            dgConfirmDelete, dgCancelOnExit};
    bool FReadOnly = false;
    TBorderStyle FBorderStyle = bsSingle;
    std::unique_ptr<TFont> FTitleFont;
};

// Registers the grid classes by name (RegisterGuiClasses calls it when built with db).
void RegisterDBGridClasses();

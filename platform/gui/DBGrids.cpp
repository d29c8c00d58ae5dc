#include "platform/gui/DBGrids.h"

#include "platform/gui/Forms.h"

#include <algorithm>

// ---------------------------------------------------------------- TColumnTitle

SKLAD_DEFINE_CLASS(TColumnTitle)
void TColumnTitle::Publish(TPropertyTable& t)
{
    t.Prop("Alignment", &TColumnTitle::GetAlignment, &TColumnTitle::SetAlignment).Default(taLeftJustify);
    t.Prop("Caption", &TColumnTitle::GetCaption, &TColumnTitle::SetCaption).Stored(&TColumnTitle::IsCaptionStored);
}

AnsiString TColumnTitle::GetCaption() const
{
    if (FCaptionSet || !FColumn)
        return FCaption;
    if (TField* f = FColumn->Field())
        return f->DisplayLabel();
    return FColumn->GetFieldName();
}

void TColumnTitle::SetCaption(const AnsiString& value)
{
    FCaption = value;
    FCaptionSet = true;
    if (FColumn)
        FColumn->TitleChanged();
}

void TColumnTitle::SetAlignment(TAlignment value) { FAlignment = value; }

void TColumnTitle::Assign(TPersistent* source)
{
    auto* t = dynamic_cast<TColumnTitle*>(source);
    if (!t) {
        TPersistent::Assign(source);
        return;
    }
    FCaption = t->FCaption;
    FCaptionSet = t->FCaptionSet;
    FAlignment = t->FAlignment;
}

// ---------------------------------------------------------------- TColumn

SKLAD_DEFINE_CLASS(TColumn)
void TColumn::Publish(TPropertyTable& t)
{
    t.Prop("Alignment", &TColumn::GetAlignment, &TColumn::SetAlignment).Default(taLeftJustify);
    t.Prop("FieldName", &TColumn::GetFieldName, &TColumn::SetFieldName);
    t.Prop("ReadOnly", &TColumn::GetReadOnly, &TColumn::SetReadOnly).Default(false);
    t.Prop("Title", &TColumn::GetTitle, &TColumn::SetTitle);
    t.Prop("Visible", &TColumn::GetVisible, &TColumn::SetVisible).Default(true);
    t.Prop("Width", &TColumn::GetWidth, &TColumn::SetWidth).Stored(&TColumn::IsWidthStored);
}

TColumn::TColumn(TCollection* collection) : TCollectionItem(collection), FTitle(std::make_unique<TColumnTitle>(this)) {}
TColumn::~TColumn() = default;

TDBGrid* TColumn::Grid() const
{
    auto* columns = dynamic_cast<TDBGridColumns*>(Collection());
    return columns ? columns->Grid() : nullptr;
}

TField* TColumn::Field() const
{
    TDBGrid* grid = Grid();
    TDataSet* ds = grid ? grid->DataSet() : nullptr;
    if (!ds || !ds->Active() || FFieldName.empty())
        return nullptr;
    return ds->FindField(FFieldName);
}

void TColumn::SetFieldName(const AnsiString& value)
{
    if (value == FFieldName)
        return;
    FFieldName = value;
    Changed(false);
}

int TColumn::GetWidth() const
{
    if (FWidthSet)
        return FWidth;
    if (TField* f = Field())
        return std::max(16, f->DisplayWidth() * 7 + 4);
    return FWidth;
}

void TColumn::SetWidth(int value)
{
    FWidth = std::max(0, value);
    FWidthSet = true;
    Changed(false);
}

void TColumn::SetVisible(bool value)
{
    if (value == FVisible)
        return;
    FVisible = value;
    Changed(false);
}

void TColumn::SetAlignment(TAlignment value) { FAlignment = value; Changed(false); }

AnsiString TColumn::GetDisplayName() const { return FFieldName.empty() ? TCollectionItem::GetDisplayName() : FFieldName; }

void TColumn::Assign(TPersistent* source)
{
    auto* c = dynamic_cast<TColumn*>(source);
    if (!c) {
        TCollectionItem::Assign(source);
        return;
    }
    FFieldName = c->FFieldName;
    FTitle->Assign(c->FTitle.get());
    FWidth = c->FWidth;
    FWidthSet = c->FWidthSet;
    FVisible = c->FVisible;
    FAlignment = c->FAlignment;
    FReadOnly = c->FReadOnly;
    Changed(false);
}

// ---------------------------------------------------------------- TDBGridColumns

SKLAD_DEFINE_ABSTRACT_CLASS(TDBGridColumns)

TDBGridColumns::TDBGridColumns(TDBGrid* grid) : TCollection(TColumn::StaticClass(), grid), FGrid(grid) {}

void TDBGridColumns::Update(TCollectionItem*) { FGrid->Changed(TControlChange::Items); }

// ---------------------------------------------------------------- TDBGrid

SKLAD_DEFINE_CLASS(TDBGrid)
void TDBGrid::Publish(TPropertyTable& t)
{
    t.Prop("BorderStyle", &TDBGrid::GetBorderStyle, &TDBGrid::SetBorderStyle).Default(bsSingle).Type("TBorderStyle");
    t.Prop("Columns", &TDBGrid::GetColumns, &TDBGrid::SetColumns);
    t.Prop("DataSource", &TDBGrid::GetDataSource, &TDBGrid::SetDataSource);
    t.Prop("Options", &TDBGrid::GetOptions, &TDBGrid::SetOptions)
        .Default(TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                                dgConfirmDelete, dgCancelOnExit});
    t.Prop("ReadOnly", &TDBGrid::GetReadOnly, &TDBGrid::SetReadOnly).Default(false);
    t.Prop("TitleFont", &TDBGrid::GetTitleFont, &TDBGrid::SetTitleFont);
    t.Event("OnCellClick", &TDBGrid::OnCellClick);
    t.Event("OnColEnter", &TDBGrid::OnColEnter);
    t.Event("OnColExit", &TDBGrid::OnColExit);
    t.Event("OnTitleClick", &TDBGrid::OnTitleClick);
}

TDBGrid::TDBGrid(TComponent* AOwner)
    : TCustomControl(AOwner),
      FColumns(std::make_unique<TDBGridColumns>(this)),
      FDefaultColumns(std::make_unique<TDBGridColumns>(this)),
      FTitleFont(std::make_unique<TFont>())
{
    FColumns->PropName = "Columns";
    SetBounds(0, 0, 320, 120);
    SetTabStop(true);
    SetColor(clWindow);
}

TDBGrid::~TDBGrid()
{
    FLink.SetDataSource(nullptr);
}

void TDBGrid::SetDataSource(TDataSource* value)
{
    if (value == FLink.DataSource())
        return;
    if (FLink.DataSource())
        FLink.DataSource()->RemoveFreeNotification(this);
    FLink.SetDataSource(value);
    if (value)
        value->FreeNotification(this);
    RebuildDefaultColumns();
    Changed(TControlChange::Data);
}

void TDBGrid::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation == opRemove && component == FLink.DataSource()) {
        FLink.SetDataSource(nullptr);
        RebuildDefaultColumns();
        Changed(TControlChange::Data);
    }
}

void TDBGrid::SetOptions(TDBGridOptions value)
{
    FOptions = value;
    Changed(TControlChange::Style);
}

void TDBGrid::SetReadOnly(bool value) { FReadOnly = value; Changed(TControlChange::Style); }
void TDBGrid::SetBorderStyle(TBorderStyle value) { FBorderStyle = value; Changed(TControlChange::Style); }

void TDBGrid::RebuildDefaultColumns()
{
    FDefaultColumns->BeginUpdate();
    FDefaultColumns->Clear();
    if (TDataSet* ds = DataSet(); ds && ds->Active())
        for (int i = 0; i < ds->FieldCount(); ++i) {
            TField* f = ds->Fields().Fields(i);
            if (!f->Visible())
                continue;
            FDefaultColumns->Add()->SetFieldName(f->FieldName());
        }
    FDefaultColumns->EndUpdate();
}

std::vector<TColumn*> TDBGrid::VisibleColumns() const
{
    std::vector<TColumn*> result;
    const TDBGridColumns& source = FColumns->Count() > 0 ? *FColumns : *FDefaultColumns;
    for (int i = 0; i < source.Count(); ++i)
        if (source.Items(i)->GetVisible())
            result.push_back(source.Items(i));
    return result;
}

TColumn* TDBGrid::VisibleColumn(int index) const
{
    const auto columns = VisibleColumns();
    return index >= 0 && index < int(columns.size()) ? columns[size_t(index)] : nullptr;
}

int TDBGrid::RowCount() const
{
    TDataSet* ds = DataSet();
    return ds && ds->Active() ? ds->RecordCount() : 0;
}

int TDBGrid::CurrentRow() const
{
    TDataSet* ds = DataSet();
    return ds && ds->Active() && ds->RecNo() > 0 ? ds->RecNo() - 1 : -1;
}

AnsiString TDBGrid::CellText(int row, TColumn* column) const
{
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active() || !column || row < 0 || row >= ds->RecordCount())
        return {};
    TField* field = column->Field();
    if (!field)
        return {};
    return ds->RowDisplayText(row + 1, field->Index());
}

int TDBGrid::VisibleRowCount() const
{
    const int border = FBorderStyle == bsSingle ? 2 : 0;
    const int height = GetClientHeight() - TitleRowHeight() - 2 * border;
    return std::max(1, height / DefaultRowHeight());
}

bool TDBGrid::UserClickedTitle(int column)
{
    TColumn* c = VisibleColumn(column);
    if (!AcceptsInput() || !c || !FOptions.Contains(dgTitles))
        return false;
    Guarded([&] { OnTitleClick(c); });
    return true;
}

bool TDBGrid::UserClickedCell(int row, int column)
{
    TColumn* c = VisibleColumn(column);
    if (!AcceptsInput() || !c || row < 0 || row >= RowCount())
        return false;
    Guarded([&] {
        if (CanFocus())
            if (TCustomForm* form = ParentForm())
                form->SetActiveControl(this);
        DataSet()->SetRecNo(row + 1);
        OnCellClick(c);
    });
    return true;
}

bool TDBGrid::UserDoubleClickedCell(int row, int column)
{
    if (!UserClickedCell(row, column))
        return false;
    Guarded([&] { DblClick(); });
    return true;
}

bool TDBGrid::UserResizedColumn(int column, int width)
{
    TColumn* c = VisibleColumn(column);
    if (!AcceptsInput() || !c || !FOptions.Contains(dgColumnResize))
        return false;
    Guarded([&] { c->SetWidth(width); });
    return true;
}

bool TDBGrid::UserMovedToRow(int row)
{
    if (!AcceptsInput() || row < 0 || row >= RowCount())
        return false;
    Guarded([&] { DataSet()->SetRecNo(row + 1); });
    return true;
}

void TDBGrid::KeyDown(Word& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    TDataSet* ds = DataSet();
    if (key == 0 || !ds || !ds->Active())
        return;
    const bool ctrl = shift.Contains(ssCtrl);
    const bool rows = FOptions.Contains(dgRowSelect);
    switch (key) {
    case VK_UP: ds->MoveBy(-1); break;
    case VK_DOWN: ds->MoveBy(1); break;
    case VK_PRIOR:
        if (ctrl)
            ds->First();
        else
            ds->MoveBy(-VisibleRowCount());
        break;
    case VK_NEXT:
        if (ctrl)
            ds->Last();
        else
            ds->MoveBy(VisibleRowCount());
        break;
    case VK_HOME:
        if (!ctrl && !rows)
            return;  // the first column: the view's business
        ds->First();
        break;
    case VK_END:
        if (!ctrl && !rows)
            return;
        ds->Last();
        break;
    default:
        return;
    }
    key = 0;
}

void TDBGrid::TGridLink::ActiveChanged()
{
    FGrid.RebuildDefaultColumns();
    FGrid.Changed(TControlChange::Data | TControlChange::Items);
}

void TDBGrid::TGridLink::DataSetScrolled(int) { FGrid.Changed(TControlChange::ItemIndex); }

void TDBGrid::TGridLink::DataSetChanged() { FGrid.Changed(TControlChange::Data); }

void RegisterDBGridClasses()
{
    RegisterClasses({TColumnTitle::StaticClass(), TColumn::StaticClass(), TDBGrid::StaticClass()});
}

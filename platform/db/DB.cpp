#include "platform/db/DB.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>

bool IsBlobType(TFieldType t)
{
    return t == ftBlob || t == ftMemo || t == ftGraphic || t == ftFmtMemo || t == ftTypedBinary ||
           t == ftParadoxOle || t == ftDBaseOle;
}

bool IsStringType(TFieldType t) { return t == ftString || t == ftFixedChar || t == ftWideString; }

namespace {
const Variant& NullCell()
{
    static const Variant null = Variant::Null();
    return null;
}

AnsiString DataSetName(const TDataSet* ds) { return ds && !ds->Name().empty() ? ds->Name() : AnsiString("DataSet"); }
}  // namespace

// ---------------------------------------------------------------------------- TFieldDefs

TFieldDef* TFieldDefs::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return FItems[static_cast<size_t>(index)].get();
}

int TFieldDefs::IndexOf(std::string_view name) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (AnsiSameText(FItems[i]->Name, name))
            return static_cast<int>(i);
    return -1;
}

TFieldDef* TFieldDefs::Find(std::string_view name) const
{
    const int i = IndexOf(name);
    if (i < 0)
        throw EDbError(TDbMessage::FieldNotFound, {DataSetName(FDataSet), name});
    return FItems[static_cast<size_t>(i)].get();
}

TFieldDef* TFieldDefs::Add(const AnsiString& name, TFieldType type, int size)
{
    FLastCleared = -1;
    if (FSpare.empty()) {
        FItems.push_back(std::make_unique<TFieldDef>(name, type, size, Count() + 1));
        return FItems.back().get();
    }
    FItems.push_back(std::move(FSpare.back()));
    FSpare.pop_back();
    TFieldDef& d = *FItems.back();
    d.Name = name;
    d.DataType = type;
    d.Size = size;
    d.FieldNo = Count();
    d.Required = false;
    d.TableName.clear();
    d.OriginName.clear();
    d.IsKey = false;
    return &d;
}

void TFieldDefs::Clear()
{
    // Last first, so that Add takes them back in column order.
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
        FSpare.push_back(std::move(*it));
    FLastCleared = FItems.empty() && FLastCleared > 0 ? FLastCleared : static_cast<int>(FItems.size());
    FItems.clear();
}

bool TFieldDefs::Restore(int count)
{
    if (count <= 0 || !FItems.empty() || FLastCleared != count || FSpare.size() < static_cast<size_t>(count))
        return false;
    for (int i = 0; i < count; ++i) {
        FItems.push_back(std::move(FSpare.back()));
        FSpare.pop_back();
    }
    return true;
}

void TFieldDefs::Update()
{
    if (!FDataSet)
        return;
    if (!FDataSet->Active()) {
        Clear();
        FDataSet->InternalInitFieldDefs();
    }
    Updated = true;
}

// ---------------------------------------------------------------------------- TField

SKLAD_DEFINE_CLASS(TField)

void TField::Publish(TPropertyTable& t)
{
    t.Prop("DisplayLabel", &TField::GetDisplayLabel, &TField::SetDisplayLabel);
    t.Prop("DisplayWidth", &TField::GetDisplayWidth, &TField::SetDisplayWidth);
    t.Prop("FieldName", &TField::GetFieldName, nullptr);
    t.Prop("Size", &TField::GetSize, nullptr);
    t.Prop("Visible", &TField::GetVisible, &TField::SetVisible).Default(true);
}

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}
TField::~TField() = default;

int TField::DisplayWidth() const
{
    if (FDisplayWidth > 0)
        return FDisplayWidth;
    switch (FDataType) {
    case ftString: case ftFixedChar: case ftWideString: return FSize > 0 ? FSize : 10;
    case ftSmallint: case ftWord: return 6;
    case ftInteger: case ftAutoInc: return 11;
    case ftLargeint: return 15;
    case ftDateTime: return 18;
    case ftBoolean: return 5;
    default: return 10;
    }
}

Variant TField::Cell() const
{
    if (FDataSet && FIndex >= 0 && FDataSet->FActive && FDataSet->FCurrent >= 0 &&
        static_cast<size_t>(FIndex) < FDataSet->FColCount)
        return FDataSet->CellAt(FDataSet->FCurrent, FIndex);
    if (!FDataSet || FIndex < 0) {
        if (FDataSet && !FDataSet->Active())
            throw EDbError(TDbMessage::DataSetClosed, {DataSetName(FDataSet)});
        throw EDbError(TDbMessage::FieldNotFound, {DataSetName(FDataSet), FFieldName});
    }
    return FDataSet->CurrentCell(FIndex);
}

void TField::ConvertError(const Variant& v, const char* target) const
{
    throw EDbError(TDbMessage::FieldTypeError, {FFieldName, VarToStr(v), target});
}

bool TField::IsNull() const { return Cell().IsNull(); }

AnsiString TField::AsString() const { return TextOf(Cell()); }
AnsiString TField::DisplayText() const { return DisplayTextOf(Cell()); }

AnsiString TField::TextOf(const Variant& v) const
{
    if (v.IsNull() || v.IsEmpty())
        return AnsiString();
    if (const AnsiString* s = v.StrPtr())
        return *s;
    switch (FDataType) {
    case ftFloat: case ftCurrency: case ftBCD: return FloatToStr(v.AsDouble());
    case ftDate: return DateToStr(v.AsDate());
    case ftTime: return TimeToStr(v.AsDate());
    case ftDateTime: return DateTimeToStr(v.AsDate());
    case ftBoolean: return v.AsBoolean() ? "True" : "False";
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint:
        if (VarIsOrdinal(v))
            return IntToStr(v.AsInt64());
        return FloatToStr(v.AsDouble());
    default: return VarToStr(v);
    }
}

AnsiString TField::DisplayTextOf(const Variant& v) const
{
    if (FDataType == ftMemo || FDataType == ftFmtMemo)
        return "(MEMO)";
    if (IsBlob())
        return "(BLOB)";
    return TextOf(v);
}

int32_t TField::AsInteger() const
{
    const Variant& v = Cell();
    if (v.IsNull() || v.IsEmpty())
        return 0;
    try {
        return v.AsInteger();
    } catch (const EVariantError&) {
        ConvertError(v, "Integer");
    }
}

int64_t TField::AsLargeInt() const
{
    const Variant& v = Cell();
    if (v.IsNull() || v.IsEmpty())
        return 0;
    try {
        return v.AsInt64();
    } catch (const EVariantError&) {
        ConvertError(v, "Largeint");
    }
}

double TField::AsFloat() const
{
    const Variant& v = Cell();
    if (v.IsNull() || v.IsEmpty())
        return 0;
    try {
        return v.AsDouble();
    } catch (const EVariantError&) {
        ConvertError(v, "Float");
    }
}

TDateTime TField::AsDateTime() const
{
    const Variant& v = Cell();
    if (v.IsNull() || v.IsEmpty())
        return TDateTime(0);
    try {
        return v.AsDate();
    } catch (const EVariantError&) {
        ConvertError(v, "DateTime");
    } catch (const EConvertError&) {
        ConvertError(v, "DateTime");
    }
}

bool TField::AsBoolean() const
{
    const Variant& v = Cell();
    if (v.IsNull() || v.IsEmpty())
        return false;
    try {
        return v.AsBoolean();
    } catch (const EVariantError&) {
        ConvertError(v, "Boolean");
    }
}

void TField::SaveToStream(TStream& Stream) const
{
    const Variant& v = Cell();
    if (v.IsNull() || v.IsEmpty())
        return;
    const AnsiString bytes = v.StrPtr() ? *v.StrPtr() : AsString();
    if (!bytes.empty())
        Stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// ---------------------------------------------------------------------------- TFields

void TFields::RaiseIndex(int index)
{
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

TField* TFields::FindField(std::string_view name) const
{
    for (TField* f : FItems)
        if (AnsiSameText(f->FieldName(), name))
            return f;
    return nullptr;
}

TField* TFields::FieldByName(std::string_view name) const
{
    if (TField* f = FindField(name))
        return f;
    throw EDbError(TDbMessage::FieldNotFound, {DataSetName(FDataSet), name});
}

void TFields::GetFieldNames(TStrings* list) const
{
    list->BeginUpdate();
    list->Clear();
    for (TField* f : FItems)
        list->Add(f->FieldName());
    list->EndUpdate();
}

// ---------------------------------------------------------------------------- TDataLink

TDataLink::~TDataLink() { SetDataSource(nullptr); }

void TDataLink::SetDataSource(TDataSource* value)
{
    if (FDataSource == value)
        return;
    if (FDataSource) {
        auto& links = FDataSource->FLinks;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
    FDataSource = value;
    if (FDataSource)
        FDataSource->FLinks.push_back(this);
    ActiveChanged();
}

TDataSet* TDataLink::DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }
bool TDataLink::Active() const { return DataSet() && DataSet()->Active(); }

// ---------------------------------------------------------------------------- TDataSource

SKLAD_DEFINE_CLASS(TDataSource)

void TDataSource::Publish(TPropertyTable& t)
{
    t.Prop("DataSet", &TDataSource::GetDataSet, &TDataSource::SetDataSet);
    t.Prop("Enabled", &TDataSource::GetEnabled, &TDataSource::SetEnabled).Default(true);
    t.Event("OnStateChange", &TDataSource::OnStateChange);
    t.Event("OnDataChange", &TDataSource::OnDataChange);
}

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource()
{
    if (FDataSet) {
        auto& sources = FDataSet->FSources;
        sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
        FDataSet->RemoveFreeNotification(this);
        FDataSet = nullptr;
    }
    for (TDataLink* link : FLinks)
        link->FDataSource = nullptr;
}

void TDataSource::SetDataSet(TDataSet* value)
{
    if (FDataSet == value)
        return;
    if (FDataSet) {
        auto& sources = FDataSet->FSources;
        sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
        FDataSet->RemoveFreeNotification(this);
    }
    FDataSet = value;
    if (FDataSet) {
        FDataSet->FSources.push_back(this);
        FDataSet->FreeNotification(this);
    }
    DataEvent(TEventKind::Active, 0);
}

void TDataSource::SetEnabled(bool value)
{
    if (FEnabled == value)
        return;
    FEnabled = value;
    DataEvent(TEventKind::Active, 0);
}

TDataSetState TDataSource::State() const { return FDataSet && FEnabled ? FDataSet->State() : dsInactive; }

void TDataSource::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet) {
        FDataSet = nullptr;  // the dataset is going; do not call into it
        DataEvent(TEventKind::Active, 0);
    }
}

void TDataSource::DataEvent(TEventKind kind, int info)
{
    if (!FEnabled && kind != TEventKind::Active)
        return;
    // Links may detach themselves while being told; walk a copy.
    const std::vector<TDataLink*> links = FLinks;
    for (TDataLink* link : links) {
        if (std::find(FLinks.begin(), FLinks.end(), link) == FLinks.end())
            continue;
        switch (kind) {
        case TEventKind::Active: link->ActiveChanged(); break;
        case TEventKind::Scrolled: link->DataSetScrolled(info); break;
        case TEventKind::Changed: link->DataSetChanged(); break;
        }
    }
    if (kind == TEventKind::Active)
        OnStateChange(this);
    else
        OnDataChange(this, nullptr);
}

// ---------------------------------------------------------------------------- TDataSet

SKLAD_DEFINE_ABSTRACT_CLASS(TDataSet)

void TDataSet::Publish(TPropertyTable& t)
{
    t.Prop("Active", &TDataSet::GetActive, &TDataSet::SetActive).Default(false);
    t.Event("BeforeOpen", &TDataSet::BeforeOpen);
    t.Event("AfterOpen", &TDataSet::AfterOpen);
    t.Event("BeforeClose", &TDataSet::BeforeClose);
    t.Event("AfterClose", &TDataSet::AfterClose);
    t.Event("BeforeScroll", &TDataSet::BeforeScroll);
    t.Event("AfterScroll", &TDataSet::AfterScroll);
    t.Event("BeforeDelete", &TDataSet::BeforeDelete);
    t.Event("AfterDelete", &TDataSet::AfterDelete);
    t.Event("BeforeRefresh", &TDataSet::BeforeRefresh);
    t.Event("AfterRefresh", &TDataSet::AfterRefresh);
}

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet()
{
    // Closed without events: the owner is going away. Sources are detached here, before
    // TComponent's free notifications run on a half-destroyed object.
    FActive = false;
    ClearRows();
    const std::vector<TDataSource*> sources = FSources;
    FSources.clear();
    for (TDataSource* s : sources) {
        s->FDataSet = nullptr;
        RemoveFreeNotification(s);
        s->DataEvent(TDataSource::TEventKind::Active, 0);
    }
    for (auto& f : FFields.FPool)
        f->FDataSet = nullptr;
}

void TDataSet::SetActive(bool value)
{
    if (Loading()) {
        FOpenWhenLoaded = value;
        return;
    }
    if (value)
        Open();
    else
        Close();
}

void TDataSet::Loaded()
{
    TComponent::Loaded();
    if (FOpenWhenLoaded) {
        FOpenWhenLoaded = false;
        Open();
    }
}

void TDataSet::CheckActive() const
{
    if (!FActive)
        throw EDbError(TDbMessage::DataSetClosed, {DataSetName(this)});
}

void TDataSet::ClearRows()
{
    FCells.Clear();
    FHasTextCells = false;
    FText.Clear();
    FRowSerial.clear();
    FCurrent = -1;
}

void TDataSet::ReserveRows(size_t rows)
{
    FColCount = static_cast<size_t>(FFieldDefs.Count());
    FCells.Reserve(rows * FColCount);
    FRowSerial.reserve(rows);
}

Variant* TDataSet::AppendRow()
{
    if (FRowSerial.empty())
        FColCount = static_cast<size_t>(FFieldDefs.Count());
    Variant* cells = FCells.Grow(FColCount);
    for (size_t c = 0; c < FColCount; ++c)
        new (cells + c) Variant(Variant::Null());
    FRowSerial.push_back(FNextSerial++);
    return cells;
}

void TDataSet::SetLongTextCell(size_t cell, std::string_view utf8)
{
    FCells[cell] = VarFromUtf8(utf8);
}

Variant TDataSet::TextCell(size_t cell) const
{
    const auto packed = static_cast<uint64_t>(FCells[cell].RawInt64());
    return VarFromUtf8(std::string_view(FText.Data() + (packed >> 24), packed & 0xFFFFFF));
}

void TDataSet::Open()
{
    if (FActive)
        return;
    BeforeOpen(this);
    ClearRows();
    FFieldDefs.Clear();
    ++FGeneration;
    FNextSerial = 1;
    try {
        FColCount = 0;
        InternalOpen();
    } catch (...) {
        ClearRows();
        FFields.FItems.clear();
        throw;
    }
    FFieldDefs.Updated = true;
    CreateFields();
    FActive = true;
    FCurrent = FRowSerial.empty() ? -1 : 0;
    FBof = true;
    FEof = FRowSerial.empty();
    NotifySources(TDataSource::TEventKind::Active, 0);
    AfterOpen(this);
    AfterScroll(this);
}

void TDataSet::Close()
{
    if (!FActive)
        return;
    BeforeClose(this);
    InternalClose();
    FActive = false;
    ClearRows();
    for (TField* f : FFields.FItems)
        f->FIndex = -1;
    FFields.FItems.clear();
    FBof = FEof = true;
    NotifySources(TDataSource::TEventKind::Active, 0);
    AfterClose(this);
}

void TDataSet::CreateFields()
{
    // The same columns as the last opening: the same field objects, without a search.
    const int n = FFieldDefs.Count();
    if (static_cast<int>(FLastLayout.size()) == n) {
        bool same = true;
        for (int i = 0; i < n && same; ++i)
            same = FLastLayout[static_cast<size_t>(i)]->FFieldName == FFieldDefs[i]->Name &&
                   FLastLayout[static_cast<size_t>(i)]->FDataType == FFieldDefs[i]->DataType;
        if (same && n > 0) {
            FFields.FItems = FLastLayout;
            for (int i = 0; i < n; ++i) {
                TField* f = FLastLayout[static_cast<size_t>(i)];
                f->FDataSet = this;
                f->FSize = FFieldDefs[i]->Size;
                f->FFieldNo = FFieldDefs[i]->FieldNo;
                f->FIndex = i;
            }
            return;
        }
    }
    FFields.FItems.clear();
    for (auto& f : FFields.FPool)
        f->FIndex = -1;
    for (int i = 0; i < FFieldDefs.Count(); ++i) {
        const TFieldDef* def = FFieldDefs[i];
        TField* field = nullptr;
        for (auto& f : FFields.FPool)
            if (f->FIndex < 0 && AnsiSameText(f->FFieldName, def->Name)) {
                field = f.get();
                break;
            }
        if (!field) {
            FFields.FPool.push_back(std::make_unique<TField>(nullptr));
            field = FFields.FPool.back().get();
        }
        field->FDataSet = this;
        field->FFieldName = def->Name;
        field->FDataType = def->DataType;
        field->FSize = def->Size;
        field->FFieldNo = def->FieldNo;
        field->FIndex = i;
        FFields.FItems.push_back(field);
    }
    FLastLayout = FFields.FItems;
}

Variant TDataSet::CurrentCell(int index) const
{
    if (!FActive)
        throw EDbError(TDbMessage::DataSetClosed, {DataSetName(this)});
    if (FCurrent < 0 || index < 0 || static_cast<size_t>(index) >= FColCount)
        return NullCell();
    return CellAt(FCurrent, index);
}

Variant TDataSet::RowValue(int recNo, int fieldIndex) const
{
    if (!FActive)
        throw EDbError(TDbMessage::DataSetClosed, {DataSetName(this)});
    if (recNo < 1 || recNo > RowCount() || fieldIndex < 0 || fieldIndex >= FFields.Count())
        return NullCell();
    const int col = FFields.FItems[static_cast<size_t>(fieldIndex)]->FIndex;
    if (col < 0 || static_cast<size_t>(col) >= FColCount)
        return NullCell();
    return CellAt(recNo - 1, col);
}

AnsiString TDataSet::RowDisplayText(int recNo, int fieldIndex) const
{
    const Variant v = RowValue(recNo, fieldIndex);
    if (fieldIndex < 0 || fieldIndex >= FFields.Count())
        return AnsiString();
    return FFields.FItems[static_cast<size_t>(fieldIndex)]->DisplayTextOf(v);
}

int TDataSet::RecordCount() const { return FActive ? static_cast<int>(FRowSerial.size()) : 0; }
int TDataSet::RecNo() const { return FActive && FCurrent >= 0 ? FCurrent + 1 : 0; }

void TDataSet::SetCurrent(int row, bool fireScroll)
{
    const int distance = row - FCurrent;
    if (fireScroll)
        BeforeScroll(this);
    FCurrent = row;
    if (FDisableCount > 0 || !FSources.empty()) // nothing to tell, nothing to note: no call
        NotifySources(TDataSource::TEventKind::Scrolled, distance);
    if (fireScroll)
        AfterScroll(this);
}

void TDataSet::First()
{
    CheckActive();
    SetCurrent(FRowSerial.empty() ? -1 : 0, true);
    FBof = true;
    FEof = FRowSerial.empty();
}

void TDataSet::Last()
{
    CheckActive();
    SetCurrent(static_cast<int>(FRowSerial.size()) - 1, true);
    FEof = true;
    FBof = FRowSerial.empty();
}

void TDataSet::Next()
{
    CheckActive();
    if (FCurrent + 1 < static_cast<int>(FRowSerial.size())) {
        SetCurrent(FCurrent + 1, true);
        FBof = false;
        FEof = false;
    } else {
        FEof = true;
    }
}

void TDataSet::Prior()
{
    CheckActive();
    if (FCurrent > 0) {
        SetCurrent(FCurrent - 1, true);
        FBof = false;
        FEof = false;
    } else {
        FBof = true;
    }
}

int TDataSet::MoveBy(int distance)
{
    CheckActive();
    if (FRowSerial.empty() || distance == 0)
        return 0;
    const int last = static_cast<int>(FRowSerial.size()) - 1;
    const int target = std::clamp(FCurrent + distance, 0, last);
    const int moved = target - FCurrent;
    if (moved != 0)
        SetCurrent(target, true);
    FBof = distance < 0 && moved != distance;
    FEof = distance > 0 && moved != distance;
    return moved;
}

void TDataSet::SetRecNo(int value)
{
    CheckActive();
    if (value < 1 || value > static_cast<int>(FRowSerial.size()))
        return;
    // Placing the cursor on a row, even the current one, leaves it on that row: neither
    // end flag stays set (a grid click on the last row after Down past it).
    if (value - 1 != FCurrent)
        SetCurrent(value - 1, true);
    FBof = FEof = false;
}

TBookmark TDataSet::GetBookmark() const
{
    if (!FActive || FCurrent < 0)
        return {};
    return {this, FGeneration, FRowSerial[static_cast<size_t>(FCurrent)]};
}

bool TDataSet::BookmarkValid(const TBookmark& b) const
{
    if (!FActive || b.DataSet != this || b.Generation != FGeneration || !b.Assigned())
        return false;
    return std::binary_search(FRowSerial.begin(), FRowSerial.end(), b.Row);
}

void TDataSet::GotoBookmark(const TBookmark& b)
{
    CheckActive();
    if (!BookmarkValid(b))
        throw EDbError(TDbMessage::BadBookmark, {DataSetName(this)});
    const auto it = std::lower_bound(FRowSerial.begin(), FRowSerial.end(), b.Row);
    SetCurrent(static_cast<int>(it - FRowSerial.begin()), true);
    FBof = FEof = false;
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const
{
    if (!a.Assigned() || !b.Assigned())
        return a.Assigned() == b.Assigned() ? 0 : (a.Assigned() ? 1 : -1);
    return a.Row < b.Row ? -1 : (a.Row > b.Row ? 1 : 0);
}

TField* TDataSet::FieldByName(std::string_view name) const { return FFields.FieldByName(name); }

void TDataSet::GetFieldNames(TStrings* list)
{
    if (FFields.Count() > 0) {
        FFields.GetFieldNames(list);
        return;
    }
    FFieldDefs.Update();
    list->BeginUpdate();
    list->Clear();
    for (int i = 0; i < FFieldDefs.Count(); ++i)
        list->Add(FFieldDefs[i]->Name);
    list->EndUpdate();
}

void TDataSet::InternalDelete(int row)
{
    const size_t first = static_cast<size_t>(row) * FColCount;
    FCells.Erase(first, FColCount);
    FRowSerial.erase(FRowSerial.begin() + row);
}

void TDataSet::Delete()
{
    CheckActive();
    if (FCurrent < 0)
        throw EDbError(TDbMessage::DataSetEmpty, {DataSetName(this)});
    BeforeDelete(this);
    InternalDelete(FCurrent);
    const int rows = static_cast<int>(FRowSerial.size());
    if (FCurrent >= rows)
        FCurrent = rows - 1;
    FBof = rows == 0;
    FEof = rows == 0;
    NotifySources(TDataSource::TEventKind::Changed, 0);
    AfterDelete(this);
}

void TDataSet::Refresh()
{
    CheckActive();
    BeforeRefresh(this);
    const int keep = FCurrent;
    InternalClose();
    ClearRows();
    FFieldDefs.Clear();
    ++FGeneration;
    FNextSerial = 1;
    try {
        FColCount = 0;
        InternalOpen();
    } catch (...) {
        FActive = false;
        ClearRows();
        for (TField* f : FFields.FItems)
            f->FIndex = -1;
        FFields.FItems.clear();
        NotifySources(TDataSource::TEventKind::Active, 0);
        throw;
    }
    CreateFields();
    const int rows = static_cast<int>(FRowSerial.size());
    FCurrent = rows == 0 ? -1 : std::min(keep, rows - 1);
    FBof = FCurrent <= 0;
    FEof = rows == 0;
    NotifySources(TDataSource::TEventKind::Changed, 0);
    AfterRefresh(this);
}

void TDataSet::DisableControls() { ++FDisableCount; }

void TDataSet::EnableControls()
{
    if (FDisableCount > 0 && --FDisableCount == 0 && FPendingChange) {
        FPendingChange = false;
        NotifySources(TDataSource::TEventKind::Changed, 0);
    }
}

void TDataSet::NotifySources(TDataSource::TEventKind kind, int info)
{
    if (FDisableCount > 0) {
        FPendingChange = true;
        return;
    }
    if (FSources.empty())
        return;
    // A copy: a source's handler may detach it, or another, while the list is walked.
    const std::vector<TDataSource*> sources = FSources;
    for (TDataSource* s : sources)
        s->DataEvent(kind, info);
}

SKLAD_DEFINE_CLASS(TFieldDef)
SKLAD_DEFINE_CLASS(TFieldDefs)
SKLAD_DEFINE_CLASS(TFields)

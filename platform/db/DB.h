// DB.h - datasets, fields and data sources: the shape the windows and the report bridge use.
//
// A TDataSet holds its whole result in memory once open: rows of Variants, one per column,
// filled by the descendant's InternalOpen (TADOQuery reads every row of its statement). So
// cursors go both ways, RecordCount is exact, bookmarks stay valid while the dataset is open,
// and the rows can be walked while the same table is written through another query.
//
// Cursor (the platform's rules): RecNo counts from 1; an empty dataset has RecNo 0 and both Bof
// and Eof. Open and First set Bof; Last sets Eof; Next from the last row sets Eof and stays there,
// Prior from the first row sets Bof; any move that lands on a row clears the other flag.
//
// Values: each cell is a Variant of the field's kind: Null for SQL NULL, an Integer (Int64 when it
// needs 64 bits) for integer fields, a Double for float fields, a Date for date fields (day
// numbers, see schema.sql), a String (CP1251) for text, the raw bytes as a String for blobs.
//
// Field text (TField::AsString and DisplayText), by field type:
//   Null                      ""            (AsInteger/AsFloat give 0, AsDateTime 0, AsBoolean false)
//   integer kinds             IntToStr
//   float, currency           FloatToStr (the locale's decimal separator)
//   date                      DateToStr;  time: TimeToStr
//   date-time                 DateToStr when the time of day is zero, else DateTimeToStr
//   boolean                   "True" / "False"
//   string                    itself
//   blob                      DisplayText "(BLOB)" / "(MEMO)", AsString the bytes
// DisplayWidth: a string field's Size; otherwise the platform's widths (Smallint 6, Integer 11,
// Largeint 15, Float 10, Date 10, Time 10, DateTime 18, Boolean 5, others 10).
//
// Data sources: a TDataSource links a dataset to controls (TDataLink descendants); the dataset
// tells every source of open/close (ActiveChanged), cursor moves (DataSetScrolled) and changed
// rows (DataSetChanged), unless DisableControls is in force. References between datasets,
// sources and links are cleared when either side is destroyed.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/db/DbConsts.h"
#include "platform/rtl/Variant.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

class TDataSet;
class TDataSource;
class TField;

namespace db_detail {

// A growing array of values whose bytes may move as they are (a Variant and a char hold no
// pointer into themselves). It grows by realloc, so a large result moves without copying,
// where a vector would move its values one by one at each doubling.
template <class T>
class TRelocatableArray {
public:
    TRelocatableArray() = default;
    TRelocatableArray(const TRelocatableArray&) = delete;
    TRelocatableArray& operator=(const TRelocatableArray&) = delete;
    ~TRelocatableArray()
    {
        Clear();
        std::free(static_cast<void*>(FData));
    }
    size_t Size() const noexcept { return FSize; }
    T* Data() noexcept { return FData; }
    const T* Data() const noexcept { return FData; }
    T& operator[](size_t i) noexcept { return FData[i]; }
    const T& operator[](size_t i) const noexcept { return FData[i]; }
    void Clear() noexcept  // keeps the room
    {
        std::destroy_n(FData, FSize);
        FSize = 0;
    }
    void Reserve(size_t n)
    {
        if (n <= FCapacity)
            return;
        if (n > SIZE_MAX / sizeof(T))
            throw std::bad_alloc();
        void* p = std::realloc(static_cast<void*>(FData), n * sizeof(T));
        if (!p)
            throw std::bad_alloc();
        FData = static_cast<T*>(p);
        FCapacity = n;
    }
    // Room for n more at the end, counted in Size: the caller constructs them at once.
    T* Grow(size_t n)
    {
        if (n > FCapacity - FSize)
            Reserve(std::max(FCapacity * 2, FSize + n));
        T* at = FData + FSize;
        FSize += n;
        return at;
    }
    void Erase(size_t first, size_t count) noexcept
    {
        std::destroy_n(FData + first, count);
        std::memmove(static_cast<void*>(FData + first), static_cast<const void*>(FData + first + count),
                     (FSize - first - count) * sizeof(T));
        FSize -= count;
    }

private:
    T* FData = nullptr;
    size_t FSize = 0, FCapacity = 0;
};

}  // namespace db_detail

SKLAD_ENUM(TFieldType, ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
           ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo,
           ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString, ftLargeint)

SKLAD_ENUM(TDataSetState, dsInactive, dsBrowse)

using TDataSetNotifyEvent = TEvent<void(TDataSet* DataSet)>;
SKLAD_EVENT_TYPE(TDataSetNotifyEvent)
using TDataChangeEvent = TEvent<void(TObject* Sender, TField* Field)>;
SKLAD_EVENT_TYPE(TDataChangeEvent)

bool IsBlobType(TFieldType t);
bool IsStringType(TFieldType t);

// ---------------------------------------------------------------- bookmarks

// A position in one opening of one dataset. Equal bookmarks name the same row.
struct TBookmark {
    const TDataSet* DataSet = nullptr;
    uint64_t Generation = 0;  // which opening of the dataset
    uint64_t Row = 0;         // serial of the row within that opening (1-based; 0 = none)
    bool Assigned() const { return Row != 0; }
    friend bool operator==(const TBookmark&, const TBookmark&) = default;
};

// ---------------------------------------------------------------- field definitions

class TFieldDef : public TObject {
    SKLAD_CLASS_NOPUBLISH(TFieldDef, TObject)
public:
    TFieldDef(const AnsiString& name, TFieldType type, int size, int fieldNo)
        : Name(name), DataType(type), Size(size), FieldNo(fieldNo) {}
    TFieldDef() = default;
    AnsiString Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;     // characters of a string field, else 0
    int FieldNo = 0;  // 1-based column number
    bool Required = false;
    AnsiString TableName;   // the table the column comes from, "" for an expression
    AnsiString OriginName;  // the column's name in that table
    bool IsKey = false;     // the table's INTEGER PRIMARY KEY
};

class TFieldDefs : public TObject {
    SKLAD_CLASS_NOPUBLISH(TFieldDefs, TObject)
public:
    explicit TFieldDefs(TDataSet* owner = nullptr) : FDataSet(owner) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    TFieldDef* Items(int index) const;  // EListError outside the range
    TFieldDef* operator[](int index) const { return Items(index); }
    int IndexOf(std::string_view name) const;  // ignores case; -1 when absent
    TFieldDef* Find(std::string_view name) const;  // raises "field not found"
    TFieldDef* Add(const AnsiString& name, TFieldType type, int size = 0);
    void Clear();
    // Reads the definitions again from the dataset (without opening it).
    void Update();
    // Takes back, unchanged, the `count` definitions the last Clear put aside, when nothing
    // was added since: a statement reopened with the columns it had keeps its definitions
    // without building them again. False when it cannot.
    bool Restore(int count);
    bool Updated = false;

private:
    TDataSet* FDataSet;
    std::vector<std::unique_ptr<TFieldDef>> FItems;
    int FLastCleared = -1;  // definitions the last Clear put aside; -1 after an Add
    // Definitions of the last opening, taken again by Add: a statement reopened with the
    // same columns makes no new definitions.
    std::vector<std::unique_ptr<TFieldDef>> FSpare;
};

// ---------------------------------------------------------------- fields

class TField : public TComponent {
    SKLAD_CLASS(TField, TComponent)
public:
    explicit TField(TComponent* AOwner);
    ~TField() override;

    TDataSet* DataSet() const { return FDataSet; }
    const AnsiString& FieldName() const { return FFieldName; }
    const AnsiString& GetFieldName() const { return FFieldName; }
    TFieldType DataType() const { return FDataType; }
    TFieldType GetDataType() const { return FDataType; }
    int Size() const { return FSize; }
    int GetSize() const { return FSize; }
    int FieldNo() const { return FFieldNo; }
    int Index() const { return FIndex; }  // position in the dataset's Fields

    AnsiString DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    AnsiString GetDisplayLabel() const { return DisplayLabel(); }
    void SetDisplayLabel(const AnsiString& v) { FDisplayLabel = v; }
    int DisplayWidth() const;
    int GetDisplayWidth() const { return DisplayWidth(); }
    void SetDisplayWidth(int v) { FDisplayWidth = v; }
    bool Visible() const { return FVisible; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }

    // The current row's value; Null on an empty or closed dataset.
    Variant Value() const;  // inline, after TDataSet
    Variant GetValue() const { return Value(); }
    // The current row's cell as Value() reads it, in place, for a reader that only looks at
    // it: nullptr where Value() would make the value (a Currency kept as text) or take its
    // slow road (a closed or empty dataset, a field of no column), so the caller reads
    // Value() then.
    const Variant* ValueInPlace() const;  // inline, after TDataSet
    bool IsNull() const;
    AnsiString AsString() const;
    AnsiString GetAsString() const { return AsString(); }
    int32_t AsInteger() const;
    int64_t AsLargeInt() const;
    double AsFloat() const;
    TDateTime AsDateTime() const;
    bool AsBoolean() const;
    AnsiString DisplayText() const;
    AnsiString Text() const { return DisplayText(); }

    bool IsBlob() const { return IsBlobType(FDataType); }
    // Writes the blob's bytes (or a text field's text) to the stream at its position.
    void SaveToStream(TStream& Stream) const;

private:
    friend class TDataSet;
    Variant Cell() const;
    // AsString and DisplayText of a value of this field's type (the table in the header).
    AnsiString TextOf(const Variant& v) const;
    AnsiString DisplayTextOf(const Variant& v) const;
    [[noreturn]] void ConvertError(const Variant& v, const char* target) const;

    TDataSet* FDataSet = nullptr;
    AnsiString FFieldName;
    AnsiString FDisplayLabel;
    TFieldType FDataType = ftUnknown;
    int FSize = 0;
    int FFieldNo = 0;
    int FIndex = 0;
    int FDisplayWidth = 0;  // 0 = the type's default
    bool FVisible = true;
};

class TFields : public TObject {
    SKLAD_CLASS_NOPUBLISH(TFields, TObject)
public:
    explicit TFields(TDataSet* owner = nullptr) : FDataSet(owner) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    TField* Fields(int index) const  // EListError outside the range
    {
        if (index < 0 || index >= Count())
            RaiseIndex(index);
        return FItems[static_cast<size_t>(index)];
    }
    TField* operator[](int index) const { return Fields(index); }
    TField* FindField(std::string_view name) const;  // ignores case; nullptr when absent
    TField* FieldByName(std::string_view name) const;  // raises "field not found"
    void GetFieldNames(TStrings* list) const;
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    friend class TDataSet;
    [[noreturn]] static void RaiseIndex(int index);
    TDataSet* FDataSet;
    std::vector<TField*> FItems;  // the fields of the current opening, in column order
    // Every field object the dataset ever made, one per column name. A field keeps its object
    // across Close and Open, so a TField* a window holds stays valid for the dataset's life:
    // it reads its column in the new result, or raises when that result has no such column.
    std::vector<std::unique_ptr<TField>> FPool;
};

// ---------------------------------------------------------------- data links

// What a control bound to a data source implements.
class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* value);
    TDataSet* DataSet() const;
    bool Active() const;

    virtual void ActiveChanged() {}
    virtual void DataSetScrolled(int /*distance*/) {}
    virtual void DataSetChanged() {}

private:
    friend class TDataSource;
    TDataSource* FDataSource = nullptr;
};

class TDataSource : public TComponent {
    SKLAD_CLASS(TDataSource, TComponent)
public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;

    TDataSet* DataSet() const { return FDataSet; }
    TDataSet* GetDataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* value);
    bool Enabled() const { return FEnabled; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool value);
    TDataSetState State() const;

    TNotifyEvent OnStateChange;
    TDataChangeEvent OnDataChange;

    int LinkCount() const { return static_cast<int>(FLinks.size()); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDataSet;
    friend class TDataLink;
    enum class TEventKind { Active, Scrolled, Changed };
    void DataEvent(TEventKind kind, int info);
    TDataSet* FDataSet = nullptr;
    bool FEnabled = true;
    std::vector<TDataLink*> FLinks;
};

// ---------------------------------------------------------------- datasets

class TDataSet : public TComponent {
    SKLAD_CLASS(TDataSet, TComponent)
public:
    explicit TDataSet(TComponent* AOwner);
    ~TDataSet() override;

    void Open();
    void Close();
    bool Active() const { return FActive; }
    bool GetActive() const { return FActive; }
    void SetActive(bool value);
    TDataSetState State() const { return FActive ? dsBrowse : dsInactive; }

    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);  // returns how far it moved
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }
    int RecNo() const;  // 1-based; 0 when there is no current row
    void SetRecNo(int value);
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0; }

    TBookmark GetBookmark() const;
    void GotoBookmark(const TBookmark& bookmark);
    bool BookmarkValid(const TBookmark& bookmark) const;
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;  // by row order; <0, 0, >0
    void FreeBookmark(TBookmark& bookmark) { bookmark = {}; }

    TFields& Fields() { return FFields; }
    const TFields& Fields() const { return FFields; }
    int FieldCount() const { return FFields.Count(); }
    TFieldDefs& FieldDefs() { return FFieldDefs; }
    TField* FieldByName(std::string_view name) const;
    TField* FindField(std::string_view name) const { return FFields.FindField(name); }
    // The fields' names, or the field definitions' names when no field objects exist.
    void GetFieldNames(TStrings* list);
    Variant FieldValues(std::string_view name) const { return FieldByName(name)->Value(); }

    // Removes the current row (the descendant removes it from its table first).
    void Delete();
    // Re-reads the rows, keeping the cursor on the same row number where possible.
    void Refresh();

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeScroll, AfterScroll,
        BeforeDelete, AfterDelete, BeforeRefresh, AfterRefresh;

    // The cell of the current row for column `index` (Null without a current row).
    Variant CurrentCell(int index) const;

    // Any row, read without moving the cursor: no scroll events, no data-source
    // notifications. `recNo` counts from 1 as RecNo does, `fieldIndex` is the position in
    // Fields(). Null (and "") for a row or field out of range; raises on a closed dataset.
    // RowDisplayText follows the same rules as TField::DisplayText.
    Variant RowValue(int recNo, int fieldIndex) const;
    AnsiString RowDisplayText(int recNo, int fieldIndex) const;

protected:
    // The descendant fills FieldDefs and appends rows with AppendRow; the base makes fields.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() {}
    // Removes row `row` (0-based) from the database; the base then drops it from memory.
    virtual void InternalDelete(int row);
    // Reads the field definitions without opening (FieldDefs.Update).
    virtual void InternalInitFieldDefs() {}

    void ClearRows();
    void ReserveRows(size_t rows);
    // Starts a new row and returns its cells (FieldDefs().Count() of them, Null).
    Variant* AppendRow();
    // Puts UTF-8 text into cell `col` of the row just appended. The cell keeps the UTF-8
    // bytes and gives the CP1251 string at each read: no string record per cell is made
    // for the whole result, and a row fetched for one field converts only that one.
    // Such a cell is held in the form of a Currency: a dataset that puts text this way keeps
    // no Currency cells of its own (a database's values never arrive as Currency).
    void SetTextCell(int col, std::string_view utf8)
    {
        const size_t i = FCells.Size() - FColCount + static_cast<size_t>(col);
        const size_t at = FText.Size();
        if (utf8.size() > kMaxPendingText || at > kMaxTextOffset) {
            SetLongTextCell(i, utf8);
            return;
        }
        FCells[i] = Variant(Currency::FromScaled(static_cast<int64_t>((at << 24) | utf8.size())));
        if (!utf8.empty())
            std::memcpy(FText.Grow(utf8.size()), utf8.data(), utf8.size());
        FHasTextCells = true;
    }
    Variant CellAt(int row, int col) const
    {
        const size_t i = static_cast<size_t>(row) * FColCount + static_cast<size_t>(col);
        const Variant& cell = FCells[i];
        if (cell.VType() == varCurrency && FHasTextCells)
            return TextCell(i);
        return cell;
    }
    int CurrentRow() const { return FCurrent; }
    int RowCount() const { return static_cast<int>(FRowSerial.size()); }
    void CheckActive() const;
    void Loaded() override;

private:
    friend class TFieldDefs;
    friend class TDataSource;
    friend class TField;
    void CreateFields();
    void SetCurrent(int row, bool fireScroll);
    void NotifySources(TDataSource::TEventKind kind, int info);

    Variant TextCell(size_t cell) const;
    void SetLongTextCell(size_t cell, std::string_view utf8);
    static constexpr size_t kMaxPendingText = (size_t(1) << 24) - 1, kMaxTextOffset = size_t(1) << 38;

    bool FActive = false;
    bool FOpenWhenLoaded = false;
    bool FBof = true;
    bool FEof = true;
    int FCurrent = -1;  // 0-based row, -1 when empty
    int FDisableCount = 0;
    bool FPendingChange = false;
    size_t FColCount = 0;
    // rows * FColCount. While FHasTextCells, a Currency cell holds (offset << 24 | length)
    // of its UTF-8 text in FText.
    db_detail::TRelocatableArray<Variant> FCells;
    bool FHasTextCells = false;
    db_detail::TRelocatableArray<char> FText;
    std::vector<uint64_t> FRowSerial;  // bookmark serial of each row, increasing
    uint64_t FNextSerial = 1;
    uint64_t FGeneration = 0;
    TFields FFields{this};
    TFieldDefs FFieldDefs{this};
    std::vector<TDataSource*> FSources;
    std::vector<TField*> FLastLayout;  // the fields of the last opening, for a quick reopen
};

inline Variant TField::Value() const
{
    // The current row of an open dataset; Cell() raises for the rest.
    const TDataSet* d = FDataSet;
    if (d && FIndex >= 0 && d->FActive && d->FCurrent >= 0 && static_cast<size_t>(FIndex) < d->FColCount)
        return d->CellAt(d->FCurrent, FIndex);
    return Cell();
}

inline const Variant* TField::ValueInPlace() const
{
    const TDataSet* d = FDataSet;
    if (!d || FIndex < 0 || !d->FActive || d->FCurrent < 0 || static_cast<size_t>(FIndex) >= d->FColCount)
        return nullptr;
    const Variant* cell = &d->FCells[static_cast<size_t>(d->FCurrent) * d->FColCount + static_cast<size_t>(FIndex)];
    return cell->VType() == varCurrency && d->FHasTextCells ? nullptr : cell;
}

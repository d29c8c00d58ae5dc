// rpDBSet.h - datasets: what the report reads its data through.
//
// TrpDataSet defines the cursor the engine moves (Initialize once, then First / Eof / Next,
// Finalize at the end), the record-range rules and field access by the names the report
// sees. TrpUserDataSet gets its fields and values from events; TrpCustomDBDataSet adds
// field aliases; TrpDBDataset binds a TDataSet (directly or through a TDataSource).
// Every dataset registers itself in one library-wide list, through which reports find
// datasets by user name (rpFindDataSet).
//
// Safety beyond the classic behaviour: a dataset that dies takes its entries out of every
// report-dataset collection, and a report that dies clears the Report of every dataset
// that pointed at it, so neither side keeps a dangling pointer.
#pragma once

#include "report/model/rpComponent.h"

#include "platform/classes/ComponentRef.h"
#include "platform/db/DB.h"
#include "platform/rtl/Variant.h"

SKLAD_ENUM(TrpRangeBegin, rbFirst, rbCurrent)
SKLAD_ENUM(TrpRangeEnd, reLast, reCurrent, reCount)
SKLAD_ENUM(TrpFieldType, fftNumeric, fftString, fftBoolean)

// (the same signature as the close-query event; published under this name)
using TrpCheckEOFEvent = TEvent<void(TObject* Sender, bool& Eof)>;
// A name and the value to fill: user datasets and the report's OnGetValue.
using TrpGetValueEvent = TEvent<void(const AnsiString& VarName, Variant& Value)>;
SKLAD_EVENT_TYPE(TrpGetValueEvent)

// Base of the non-visual report components. Stores its position in form resources as
// "pLeft"/"pTop" while it belongs to a report. The designer shows it as a 28 x 28 icon:
// Bitmap (22 x 22, button face; user datasets have none) under its name.
class TrpDialogComponent : public TrpReportComponent {
    SKLAD_CLASS_NOPUBLISH(TrpDialogComponent, TrpReportComponent)
public:
    explicit TrpDialogComponent(TComponent* AOwner);
    ~TrpDialogComponent() override;
    void Draw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
    void DefineProperties(TFiler* Filer) override;

    std::unique_ptr<TBitmap> Bitmap;
    std::unique_ptr<TComponent> Component;  // the wrapped non-visual object, if any
    int ImageIndex = -1;
};


class TrpDataSet : public TrpDialogComponent {
    SKLAD_CLASS(TrpDataSet, TrpDialogComponent)
public:
    explicit TrpDataSet(TComponent* AOwner);
    ~TrpDataSet() override;

    void SetName(const AnsiString& NewName) override;  // UserName follows while it matched
    const AnsiString& GetUserName() const { return FUserName; }
    virtual void SetUserName(const AnsiString& Value);  // blank: "prInvProp"

    virtual AnsiString GetDisplayText(const AnsiString& Index);
    virtual int GetDisplayWidth(const AnsiString& Index);
    virtual TrpFieldType GetFieldType(const AnsiString& Index);
    virtual Variant GetValue(const AnsiString& Index);
    virtual void Initialize() {}
    virtual void Finalize() {}
    virtual void Open();
    virtual void Close();
    virtual void First();
    virtual void Next();
    virtual void Prior();
    // Undoes the last Next exactly, back to the record it left: a Next that stopped at the
    // end of the data or of the range (the cursor stayed, or only RecNo counted on) is
    // undone without moving over a record the data never left. After anything but a Next,
    // the same as Prior. The engine goes back with it to the last record it printed.
    // A cursor of the user's own that follows OnNext but has no OnPrior cannot go back:
    // Back raises and leaves everything as it was (counting RecNo back alone would send
    // the Next after it one record on, over a record never printed).
    virtual void Back();
    virtual bool Eof();
    virtual int FieldsCount() { return 0; }
    virtual bool IsBlobField(const AnsiString& /*FieldName*/) { return false; }
    virtual void AssignBlobTo(const AnsiString& /*FieldName*/, TObject* /*Obj*/) {}
    virtual void GetFieldList(TStrings* List);
    bool HasField(const AnsiString& FieldName);

    bool GetEnabled() const { return Enabled; }
    void SetEnabled(bool v) { Enabled = v; }

    bool CloseDataSource = false;
    bool Enabled = true;
    bool OpenDataSource = true;
    TrpRangeBegin RangeBegin = rbFirst;
    TrpRangeEnd RangeEnd = reLast;
    int RangeEndCount = 0;
    TrpCustomReport* Report = nullptr;  // the report using it now (for error lines)
    TrpCheckEOFEvent OnCheckEOF;
    TNotifyEvent OnFirst, OnNext, OnPrior, OnOpen, OnClose;
    bool Initialized = false;
    int RecNo = 0;

protected:
    void AddFieldError(const AnsiString& Index);
    // What the last Next did: moved (RecNo and OnNext), only counted (RecNo past the end
    // of a count range, no OnNext) or nothing (the end of a reCurrent range).
    enum class TNextStep { Moved, Counted, Stayed };
    TNextStep FLastStep = TNextStep::Moved;
    // Back's own part: RecNo and OnPrior as the last Next left them.
    void UndoStep();

private:
    AnsiString FUserName;
};

class TrpUserDataSet : public TrpDataSet {
    SKLAD_CLASS(TrpUserDataSet, TrpDataSet)
public:
    explicit TrpUserDataSet(TComponent* AOwner);
    TStrings* GetFields() const { return FFields.get(); }
    void SetFields(TStrings* Value) { FFields->Assign(Value); }
    void GetFieldList(TStrings* List) override;
    int FieldsCount() override { return FFields->Count(); }
    Variant GetValue(const AnsiString& Index) override;
    AnsiString GetDisplayText(const AnsiString& Index) override;
    TrpGetValueEvent OnGetValue;

private:
    std::unique_ptr<TStringList> FFields = std::make_unique<TStringList>();
};

// A string list that counts its changes, so what was found in it can be kept until it
// changes (the report's system value names, a dataset's resolved fields).
class TrpNameList : public TStringList {
public:
    uint64_t Version() const { return FVersion; }

protected:
    void Changing() override
    {
        ++FVersion;
        TStringList::Changing();
    }
    void Changed() override
    {
        ++FVersion;
        TStringList::Changed();
    }

private:
    uint64_t FVersion = 0;
};

class TrpCustomDBDataSet : public TrpDataSet {
    SKLAD_CLASS(TrpCustomDBDataSet, TrpDataSet)
public:
    explicit TrpCustomDBDataSet(TComponent* AOwner);
    TStrings* GetFieldAliases() const { return FFieldAliases.get(); }
    void SetFieldAliases(TStrings* Value) { FFieldAliases->Assign(Value); }
    AnsiString ConvertAlias(const AnsiString& Alias) const;
    AnsiString GetAlias(const AnsiString& FieldName) const;
    int FieldsCount() override;

protected:
    std::unique_ptr<TStringList> FFieldAliases = std::make_unique<TStringList>();
    std::unique_ptr<TrpNameList> FResolved;  // alias -> TField (objects), sorted
};

class TrpDBDataset : public TrpCustomDBDataSet {
    SKLAD_CLASS(TrpDBDataset, TrpCustomDBDataSet)
public:
    explicit TrpDBDataset(TComponent* AOwner);
    ~TrpDBDataset() override;

    TDataSet* GetDataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    TDataSource* GetDataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value);
    TDataSet* EffectiveDataSet() const { return FEffective; }
    bool DataSetActive() const;
    bool IsDataStored() const;  // only outside a report

    void GetFieldList(TStrings* List) override;
    void Initialize() override;
    void Finalize() override;
    void Open() override;
    void Close() override;
    void First() override;
    void Next() override;
    void Prior() override;
    void Back() override;
    bool Eof() override;
    Variant GetValue(const AnsiString& Index) override;
    // GetValue for a reader of one name again and again: Slot keeps what the name was
    // found to be while the resolved fields stay as they were.
    struct TFieldSlot {
        bool Known = false;
        uint64_t Version = 0;
        TField* Field = nullptr;
    };
    Variant GetValue(const AnsiString& Index, TFieldSlot& Slot);
    // The field Slot holds when GetValue(Index, Slot) would read it with nothing to open or
    // look up first; nullptr otherwise.
    TField* CurrentSlotField(const TFieldSlot& Slot) const
    {
        return Initialized && Slot.Known && Slot.Version == FResolved->Version() ? Slot.Field : nullptr;
    }
    AnsiString GetDisplayText(const AnsiString& Index) override;
    int GetDisplayWidth(const AnsiString& Index) override;
    TrpFieldType GetFieldType(const AnsiString& Index) override;
    bool IsBlobField(const AnsiString& FieldName) override;
    void AssignBlobTo(const AnsiString& FieldName, TObject* Obj) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Recompute();
    void Unhook();
    void FillResolved(bool Strict);
    void DataSetAfterOpen(TDataSet* DataSet);
    TField* ResolvedField(const AnsiString& Index, bool& Found);
    TBookmark FBookmark;
    TComponentRef<TDataSet> FDataSet{this};
    TComponentRef<TDataSource> FDataSource{this};
    TComponentRef<TDataSet> FEffective{this};
    TComponentRef<TDataSet> FHooked{this};  // whose AfterOpen we replaced
    bool FEndFlag = false;
    bool FCursorMoved = true;  // the last Next moved the bound dataset (not at its end)
    TDataSetNotifyEvent FSavedAfterOpen;
};

// ---------------------------------------------------------------- report datasets

class TrpDataSetItem : public TCollectionItem {
    SKLAD_CLASS(TrpDataSetItem, TCollectionItem)
public:
    explicit TrpDataSetItem(TCollection* Collection) : TCollectionItem(Collection) {}
    ~TrpDataSetItem() override;
    TrpDataSet* GetDataSet() const { return FDataSet; }
    void SetDataSet(TrpDataSet* Value);
    AnsiString GetDataSetName() const;
    void SetDataSetName(const AnsiString& Value);
    void Assign(TPersistent* Source) override;

private:
    friend class TrpReportDataSets;
    TrpDataSet* FDataSet = nullptr;
    AnsiString FDataSetName;
};

class TrpReportDataSets : public TCollection {
    SKLAD_CLASS_NOPUBLISH(TrpReportDataSets, TCollection)
public:
    explicit TrpReportDataSets(TrpCustomReport* AReport);
    ~TrpReportDataSets() override;
    TrpCustomReport* Report() const { return FReport; }
    TrpDataSetItem* Add(TrpDataSet* DataSet);
    TrpDataSetItem* Items(int Index) const { return static_cast<TrpDataSetItem*>(TCollection::Items(Index)); }
    TrpDataSetItem* Find(const TrpDataSet* DataSet) const;
    TrpDataSetItem* Find(std::string_view Name) const;
    void Initialize();
    void Finalize();

protected:
    void Update(TCollectionItem* Item) override;

private:
    friend class TrpDataSet;
    TrpCustomReport* FReport;
};

// A component that lists database components for the designer; it only describes itself.
class TrpDBComponents : public TComponent {
    SKLAD_CLASS_NOPUBLISH(TrpDBComponents, TComponent)
public:
    explicit TrpDBComponents(TComponent* AOwner) : TComponent(AOwner) {}
    virtual AnsiString GetDescription() const { return {}; }
};

// The dataset of that user name for Owner (see rpDBSet.cpp), or DataSet when none fits.
TrpDataSet* rpFindDataSet(TrpDataSet* DataSet, const AnsiString& Name, TComponent* Owner);
// Every registered, enabled dataset with a user name, as lines with the dataset as object.
void rpGetDataSetList(TStrings* List);
// The library-wide list, in registration order.
const std::vector<TrpDataSet*>& rpDataSets();
// Changes whenever what a report's dataset name may stand for changes: a dataset made,
// freed or renamed, an entry of a report's dataset list set, added, moved or removed.
// Whoever keeps a dataset found by name keeps it only while this stays the same.
namespace rp_detail {
extern uint64_t gDataSetNamesStamp;
}
inline uint64_t rpDataSetNamesStamp() { return rp_detail::gDataSetNamesStamp; }

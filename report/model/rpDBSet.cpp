// rpDBSet.cpp - datasets and the report's dataset collection.
#include "report/model/rpDBSet.h"

#include "report/model/rpConsts.h"
#include "report/model/rpReportBase.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include "platform/classes/Streaming.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>

namespace {
std::vector<TrpDataSet*>& DataSetList()
{
    static std::vector<TrpDataSet*> list;
    return list;
}
std::vector<TrpReportDataSets*>& Collections()
{
    static std::vector<TrpReportDataSets*> list;
    return list;
}
void NamesChanged() { ++rp_detail::gDataSetNamesStamp; }
}  // namespace

uint64_t rp_detail::gDataSetNamesStamp = 0;

const std::vector<TrpDataSet*>& rpDataSets() { return DataSetList(); }

// ---------------------------------------------------------------- TrpDialogComponent

SKLAD_DEFINE_ABSTRACT_CLASS(TrpDialogComponent)

TrpDialogComponent::TrpDialogComponent(TComponent* AOwner) : TrpReportComponent(AOwner)
{
    Bitmap = std::make_unique<TBitmap>();
    Bitmap->SetSize(22, 22);
    Bitmap->GetCanvas()->GetBrush()->SetColor(clBtnFace);
    Bitmap->GetCanvas()->FillRect(TRect{0, 0, 22, 22});
    FWidth = 28;
    FHeight = 28;
}

TrpDialogComponent::~TrpDialogComponent()
{
    Component.reset();
    Bitmap.reset();
}

void TrpDialogComponent::Draw(TCanvas* Canvas, Extended, Extended, Extended, Extended)
{
    // The designer's icon view; nothing is printed for a non-visual component.
    FWidth = 28;
    FHeight = 28;
    if (!Canvas)
        return;
    const int l = static_cast<int>(std::nearbyint(FLeft)), t = static_cast<int>(std::nearbyint(FTop));
    const int r = l + 28, b = t + 28;
    // A raised edge: light above and left, shadow below and right.
    TPen* pen = Canvas->GetPen();
    pen->SetStyle(psSolid);
    pen->SetWidth(1);
    pen->SetColor(clBtnHighlight);
    Canvas->MoveTo(l, b - 1);
    Canvas->LineTo(l, t);
    Canvas->LineTo(r - 1, t);
    pen->SetColor(clBtnShadow);
    Canvas->LineTo(r - 1, b - 1);
    Canvas->LineTo(l - 1, b - 1);
    if (Bitmap) {
        TCustomImageList* images = rpResources().GetObjectImages();
        if (ImageIndex >= 0 && ImageIndex < images->Count())
            images->Draw(Bitmap->GetCanvas(), 0, 0, ImageIndex);
        Canvas->Draw(l + 3, t + 3, Bitmap.get());
    }
    TFont* font = Canvas->GetFont();
    font->SetName("Tahoma");
    font->SetSize(8);
    font->SetColor(clBlack);
    font->SetStyle({});
    Canvas->GetBrush()->SetStyle(bsClear);
    const AnsiString name = Name();
    Canvas->TextOut(l + (28 - Canvas->TextWidth(name)) / 2, b + 1, name);
}

void TrpDialogComponent::DefineProperties(TFiler* Filer)
{
    TrpReportComponent::DefineProperties(Filer);
    const bool inReport = GetReport() != nullptr;
    Filer->DefineProperty("pLeft", [this](TReader& r) { FLeft = r.ReadInteger(); },
                          [this](TWriter& w) { w.WriteInteger(static_cast<int64_t>(std::nearbyint(FLeft))); }, inReport);
    Filer->DefineProperty("pTop", [this](TReader& r) { FTop = r.ReadInteger(); },
                          [this](TWriter& w) { w.WriteInteger(static_cast<int64_t>(std::nearbyint(FTop))); }, inReport);
}

// ---------------------------------------------------------------- TrpDataSet

SKLAD_DEFINE_ABSTRACT_CLASS(TrpDataSet)
void TrpDataSet::Publish(TPropertyTable& t)
{
    t.Prop("Enabled", &TrpDataSet::GetEnabled, &TrpDataSet::SetEnabled).Default(true);
    t.Prop("RangeBegin", &TrpDataSet::RangeBegin, &TrpDataSet::RangeBegin).Default(rbFirst);
    t.Prop("RangeEnd", &TrpDataSet::RangeEnd, &TrpDataSet::RangeEnd).Default(reLast);
    t.Prop("RangeEndCount", &TrpDataSet::RangeEndCount, &TrpDataSet::RangeEndCount).Default(0);
    t.Prop("UserName", &TrpDataSet::GetUserName, &TrpDataSet::SetUserName);
    t.Event("OnCheckEOF", &TrpDataSet::OnCheckEOF).Type("TrpCheckEOFEvent");
    t.Event("OnFirst", &TrpDataSet::OnFirst);
    t.Event("OnNext", &TrpDataSet::OnNext);
    t.Event("OnPrior", &TrpDataSet::OnPrior);
}

TrpDataSet::TrpDataSet(TComponent* AOwner) : TrpDialogComponent(AOwner)
{
    DataSetList().push_back(this);
    NamesChanged();
}

TrpDataSet::~TrpDataSet()
{
    NamesChanged();
    auto& list = DataSetList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    std::vector<TrpCustomReport*> told;
    for (TrpReportDataSets* coll : std::vector<TrpReportDataSets*>(Collections())) {
        for (int i = coll->Count() - 1; i >= 0; --i)
            if (coll->Items(i)->GetDataSet() == this)
                coll->Delete(i);
        TrpCustomReport* r = coll->Report();
        if (r && std::find(told.begin(), told.end(), r) == told.end())
            told.push_back(r);
    }
    // Told here, while this is still a dataset (an owner's notification comes too late to tell).
    for (TrpCustomReport* r : told)
        r->DataSetRemoved(this);
}

void TrpDataSet::SetName(const AnsiString& NewName)
{
    const bool follow = FUserName.empty() || FUserName == Name();
    NamesChanged();
    TrpDialogComponent::SetName(NewName);
    if (follow)
        FUserName = NewName;
}

void TrpDataSet::SetUserName(const AnsiString& Value)
{
    if (Trim(Value).empty())
        throw EPropertyError(rpResources().Get("prInvProp"));
    NamesChanged();
    FUserName = Value;
}

AnsiString TrpDataSet::GetDisplayText(const AnsiString&) { return {}; }
int TrpDataSet::GetDisplayWidth(const AnsiString&) { return 10; }
TrpFieldType TrpDataSet::GetFieldType(const AnsiString&) { return fftNumeric; }
Variant TrpDataSet::GetValue(const AnsiString&) { return Null(); }

void TrpDataSet::Open() { OnOpen(this); }
void TrpDataSet::Close() { OnClose(this); }

void TrpDataSet::First()
{
    RecNo = 0;
    FLastStep = TNextStep::Moved;
    OnFirst(this);
}

void TrpDataSet::Next()
{
    ++RecNo;
    FLastStep = TNextStep::Counted;
    if (!(RangeEnd == reCount && RecNo >= RangeEndCount)) {
        FLastStep = TNextStep::Moved;
        OnNext(this);
    }
}

void TrpDataSet::Prior()
{
    --RecNo;
    FLastStep = TNextStep::Moved;
    OnPrior(this);
}

void TrpDataSet::Back()
{
    if (FLastStep == TNextStep::Moved && OnNext && !OnPrior)
        throw EInvalidOperation(Format(rpmsg::kNoWayBack, {FUserName}));
    UndoStep();
}

void TrpDataSet::UndoStep()
{
    const TNextStep step = FLastStep;
    FLastStep = TNextStep::Moved;
    if (step == TNextStep::Stayed)
        return;
    --RecNo;
    // The step onto the end of a count range told the user's cursor nothing.
    if (step == TNextStep::Moved)
        OnPrior(this);
}

bool TrpDataSet::Eof()
{
    bool eof = RangeEnd == reCount && RecNo >= RangeEndCount;
    if (OnCheckEOF)
        OnCheckEOF(this, eof);
    return eof;
}

void TrpDataSet::GetFieldList(TStrings* List) { List->Clear(); }

bool TrpDataSet::HasField(const AnsiString& FieldName)
{
    TStringList list;
    GetFieldList(&list);
    return list.IndexOf(FieldName) >= 0;
}

void TrpDataSet::AddFieldError(const AnsiString& Index)
{
    if (!Report)
        return;
    Report->Errors.Add(Report->CurObject + ": " + rpResources().Get("dbFldNotFound") + " " + FUserName + ".\"" +
                       Index + "\"");
}

// ---------------------------------------------------------------- TrpUserDataSet

SKLAD_DEFINE_CLASS(TrpUserDataSet)
SKLAD_DEFINE_CLASS(TrpDBComponents)
void TrpUserDataSet::Publish(TPropertyTable& t)
{
    t.Prop("Fields", &TrpUserDataSet::GetFields, &TrpUserDataSet::SetFields);
    t.Event("OnGetValue", &TrpUserDataSet::OnGetValue);
}

TrpUserDataSet::TrpUserDataSet(TComponent* AOwner) : TrpDataSet(AOwner)
{
    Bitmap.reset();  // a user dataset has no icon
}

void TrpUserDataSet::GetFieldList(TStrings* List) { List->Assign(FFields.get()); }

Variant TrpUserDataSet::GetValue(const AnsiString& Index)
{
    Variant v = Null();
    if (OnGetValue)
        OnGetValue(Index, v);
    return v;
}

AnsiString TrpUserDataSet::GetDisplayText(const AnsiString& Index)
{
    if (!OnGetValue)
        return {};
    Variant v = Null();
    OnGetValue(Index, v);
    // As a memo prints the value: a time of day without the zero date.
    return rpValueToStr(v);
}

// ---------------------------------------------------------------- TrpCustomDBDataSet

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomDBDataSet)
void TrpCustomDBDataSet::Publish(TPropertyTable& t)
{
    t.Prop("CloseDataSource", &TrpCustomDBDataSet::CloseDataSource, &TrpCustomDBDataSet::CloseDataSource).Default(false);
    t.Prop("FieldAliases", &TrpCustomDBDataSet::GetFieldAliases, &TrpCustomDBDataSet::SetFieldAliases);
    t.Prop("OpenDataSource", &TrpCustomDBDataSet::OpenDataSource, &TrpCustomDBDataSet::OpenDataSource).Default(true);
    t.Event("OnClose", &TrpCustomDBDataSet::OnClose);
    t.Event("OnOpen", &TrpCustomDBDataSet::OnOpen);
}

TrpCustomDBDataSet::TrpCustomDBDataSet(TComponent* AOwner) : TrpDataSet(AOwner)
{
    FResolved = std::make_unique<TrpNameList>();
    FResolved->SetSorted(true);
    FResolved->SetDuplicates(dupIgnore);
}

AnsiString TrpCustomDBDataSet::ConvertAlias(const AnsiString& Alias) const
{
    for (int i = 0; i < FFieldAliases->Count(); ++i)
        if (AnsiSameText(FFieldAliases->ValueFromIndex(i), Alias))
            return FFieldAliases->Names(i);
    return Alias;
}

AnsiString TrpCustomDBDataSet::GetAlias(const AnsiString& FieldName) const
{
    for (int i = 0; i < FFieldAliases->Count(); ++i)
        if (AnsiSameText(FFieldAliases->Names(i), FieldName))
            return FFieldAliases->ValueFromIndex(i);
    return FieldName;
}

int TrpCustomDBDataSet::FieldsCount()
{
    TStringList list;
    GetFieldList(&list);
    return list.Count();
}

// ---------------------------------------------------------------- TrpDBDataset

SKLAD_DEFINE_CLASS(TrpDBDataset)
void TrpDBDataset::Publish(TPropertyTable& t)
{
    t.Prop("DataSet", &TrpDBDataset::GetDataSet, &TrpDBDataset::SetDataSet).Stored(&TrpDBDataset::IsDataStored);
    t.Prop("DataSource", &TrpDBDataset::GetDataSource, &TrpDBDataset::SetDataSource).Stored(&TrpDBDataset::IsDataStored);
}

TrpDBDataset::TrpDBDataset(TComponent* AOwner) : TrpCustomDBDataSet(AOwner) {}

TrpDBDataset::~TrpDBDataset() { Unhook(); }

bool TrpDBDataset::IsDataStored() const { return GetReport() == nullptr; }

void TrpDBDataset::SetDataSet(TDataSet* Value)
{
    FDataSet.Set(Value);
    if (Value)
        SetDataSource(nullptr);
    Recompute();
}

void TrpDBDataset::SetDataSource(TDataSource* Value)
{
    FDataSource.Set(Value);
    if (Value)
        FDataSet.Set(nullptr);
    Recompute();
}

void TrpDBDataset::Notification(TComponent* AComponent, TOperation Operation)
{
    TrpCustomDBDataSet::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (FHooked.Forget(AComponent, Operation))
        FSavedAfterOpen = nullptr;  // its handler went with it
    FDataSet.Forget(AComponent, Operation);
    FDataSource.Forget(AComponent, Operation);
    if (FEffective.Forget(AComponent, Operation)) {
        FResolved->Clear();
        FBookmark = {};
        Initialized = false;
    }
    Recompute();
}

void TrpDBDataset::Recompute()
{
    TDataSet* e = FDataSet ? FDataSet : (FDataSource ? FDataSource->DataSet() : nullptr);
    if (e != FEffective) {
        FResolved->Clear();  // fields of another dataset must not be read through this one
        FBookmark = {};
        Initialized = false;
    }
    FEffective.Set(e);
}

bool TrpDBDataset::DataSetActive() const { return FEffective && FEffective->Active(); }

void TrpDBDataset::GetFieldList(TStrings* List)
{
    List->Clear();
    if (FFieldAliases->Count() > 0) {
        for (int i = 0; i < FFieldAliases->Count(); ++i) {
            const AnsiString name = FFieldAliases->Names(i);
            if (!name.empty() && name[0] == '-')
                continue;
            List->Add(FFieldAliases->ValueFromIndex(i));
        }
        return;
    }
    if (FEffective)
        FEffective->GetFieldNames(List);
}

void TrpDBDataset::Unhook()
{
    if (FHooked) {
        FHooked->AfterOpen = FSavedAfterOpen;
        FHooked.Set(nullptr);
        FSavedAfterOpen = nullptr;
    }
}

void TrpDBDataset::Initialize()
{
    Recompute();
    if (!FEffective)
        throw Exception(Format(rpResources().Get("dbNotConn"), {Name()}));
    Unhook();
    FSavedAfterOpen = FEffective->AfterOpen;
    FEffective->AfterOpen = TDataSetNotifyEvent(this, &TrpDBDataset::DataSetAfterOpen);
    FHooked.Set(FEffective);
    FEndFlag = false;
    Initialized = false;
}

void TrpDBDataset::FillResolved(bool Strict)
{
    FResolved->Clear();
    TStringList names;
    GetFieldList(&names);
    for (int i = 0; i < names.Count(); ++i) {
        const AnsiString field = ConvertAlias(names[i]);
        TField* f = Strict ? FEffective->FieldByName(field) : FEffective->FindField(field);
        FResolved->AddObject(names[i], f);
    }
}

void TrpDBDataset::DataSetAfterOpen(TDataSet* DataSet)
{
    if (FEffective && Initialized)
        FillResolved(true);
    if (FSavedAfterOpen)
        FSavedAfterOpen(DataSet);
}

void TrpDBDataset::Open()
{
    if (Initialized)
        return;
    Recompute();
    if (!FEffective)
        throw Exception(Format(rpResources().Get("dbNotConn"), {Name()}));
    Initialized = true;
    FEffective->Open();
    FBookmark = (RangeBegin == rbCurrent || RangeEnd == reCurrent) ? FEffective->GetBookmark() : TBookmark{};
    FillResolved(false);
    TrpDataSet::Open();
}

void TrpDBDataset::Close()
{
    TrpDataSet::Close();
    FBookmark = {};
    Initialized = false;
    if (FEffective)
        FEffective->Close();
}

void TrpDBDataset::Finalize()
{
    if (!FEffective)
        return;
    if (FBookmark.Assigned() && FEffective->Active() && FEffective->BookmarkValid(FBookmark))
        FEffective->GotoBookmark(FBookmark);
    FBookmark = {};
    if (CloseDataSource)
        Close();
    Unhook();
}

void TrpDBDataset::First()
{
    if (!Initialized)
        Open();
    if (RangeBegin == rbCurrent && FBookmark.Assigned() && FEffective->BookmarkValid(FBookmark))
        FEffective->GotoBookmark(FBookmark);
    else
        FEffective->First();
    FEndFlag = false;
    FCursorMoved = true;
    TrpDataSet::First();
}

void TrpDBDataset::Next()
{
    if (!Initialized)
        Open();
    FEndFlag = false;
    if (RangeEnd != reCurrent) {
        FEffective->Next();
        FCursorMoved = !FEffective->Eof();
        TrpDataSet::Next();
        return;
    }
    // The range ends at the record that was current at Open: once there, stop; before
    // it, move on as usual.
    if (FEffective->GetBookmark() == FBookmark) {
        FEndFlag = true;
        FCursorMoved = false;
        FLastStep = TNextStep::Stayed;
        return;
    }
    FEffective->Next();
    FCursorMoved = !FEffective->Eof();
    TrpDataSet::Next();
}

void TrpDBDataset::Prior()
{
    if (!Initialized)
        Open();
    FEffective->Prior();
    FCursorMoved = true;
    TrpDataSet::Prior();
}

void TrpDBDataset::Back()
{
    if (!Initialized)
        Open();
    // A Next at the end of the data left the cursor on the last record: it stays there.
    if (FCursorMoved)
        FEffective->Prior();
    FCursorMoved = true;
    FEndFlag = false;
    // The database cursor went back above; OnPrior only tells the user.
    UndoStep();
}

bool TrpDBDataset::Eof()
{
    if (!Initialized)
        Open();
    return TrpDataSet::Eof() || FEffective->Eof() || FEndFlag;
}

TField* TrpDBDataset::ResolvedField(const AnsiString& Index, bool& Found)
{
    int i;
    Found = FResolved->Find(Index, i);
    return Found ? static_cast<TField*>(FResolved->Objects(i)) : nullptr;
}

Variant TrpDBDataset::GetValue(const AnsiString& Index)
{
    if (!Initialized)
        Open();
    bool found;
    TField* f = ResolvedField(Index, found);
    if (!found || !f) {
        AddFieldError(Index);
        return Null();
    }
    return f->Value();
}

Variant TrpDBDataset::GetValue(const AnsiString& Index, TFieldSlot& Slot)
{
    if (!Initialized)
        Open();
    if (!Slot.Known || Slot.Version != FResolved->Version()) {
        bool found;
        TField* f = ResolvedField(Index, found);
        Slot = {true, FResolved->Version(), found ? f : nullptr};
    }
    if (!Slot.Field) {
        AddFieldError(Index);
        return Null();
    }
    return Slot.Field->Value();
}

AnsiString TrpDBDataset::GetDisplayText(const AnsiString& Index)
{
    // Outside a run (a closed database dataset) the text only shows where data would be.
    if (!Initialized && !DataSetActive())
        return GetUserName() + ".\"" + Index + "\"";
    if (!Initialized)
        Open();
    if (!FEffective->Active())
        return GetUserName() + ".\"" + Index + "\"";
    if (FResolved->Count() == 0)
        return FEffective->FieldByName(Index)->DisplayText();
    bool found;
    TField* f = ResolvedField(Index, found);
    if (!found || !f) {
        AddFieldError(Index);
        return rpResources().Get("dbFldNotFound") + " " + GetUserName() + ".\"" + Index + "\"";
    }
    return f->DisplayText();
}

int TrpDBDataset::GetDisplayWidth(const AnsiString& Index)
{
    int result = 10;
    if (!FEffective)
        return result;
    const AnsiString name = ConvertAlias(Index);
    if (TField* f = FEffective->FindField(name))
        return f->DisplayWidth();
    try {
        FEffective->FieldDefs().Update();
    } catch (const Exception&) {
        // the definitions we already have will do
    }
    TFieldDef* def = FEffective->FieldDefs().Find(name);
    switch (def->DataType) {
    case ftString: case ftFixedChar: case ftWideString: return def->Size;
    case ftDateTime: return 20;
    case ftLargeint: return 15;
    default: return result;
    }
}

TrpFieldType TrpDBDataset::GetFieldType(const AnsiString& Index)
{
    if (!FEffective)
        return fftNumeric;
    TField* f = FEffective->FindField(ConvertAlias(Index));
    if (!f)
        return fftNumeric;
    switch (f->DataType()) {
    case ftString: case ftFixedChar: case ftWideString: return fftString;
    case ftBoolean: return fftBoolean;
    default: return fftNumeric;
    }
}

bool TrpDBDataset::IsBlobField(const AnsiString& FieldName)
{
    if (!Initialized)
        Open();
    bool found;
    TField* f = ResolvedField(FieldName, found);
    return found && f && f->IsBlob();
}

void TrpDBDataset::AssignBlobTo(const AnsiString& FieldName, TObject* Obj)
{
    if (!Initialized)
        Open();
    bool found;
    TField* f = ResolvedField(FieldName, found);
    if (!found)
        throw EStringListError(Format("List index out of bounds (%d)", {-1}));
    if (!f)
        return;
    if (auto* stream = dynamic_cast<TStream*>(Obj)) {
        f->SaveToStream(*stream);
        stream->SetPosition(0);
    } else if (auto* strings = dynamic_cast<TStrings*>(Obj)) {
        strings->SetText(f->AsString());
    }
}

// ---------------------------------------------------------------- report datasets

SKLAD_DEFINE_CLASS(TrpDataSetItem)
void TrpDataSetItem::Publish(TPropertyTable& t)
{
    t.Prop("DataSet", &TrpDataSetItem::GetDataSet, &TrpDataSetItem::SetDataSet);
    t.Prop("DataSetName", &TrpDataSetItem::GetDataSetName, &TrpDataSetItem::SetDataSetName);
}

TrpDataSetItem::~TrpDataSetItem() { NamesChanged(); }

void TrpDataSetItem::SetDataSet(TrpDataSet* Value)
{
    NamesChanged();
    FDataSet = Value;
    FDataSetName = Value ? Value->GetUserName() : AnsiString();
}

AnsiString TrpDataSetItem::GetDataSetName() const { return FDataSet ? FDataSet->GetUserName() : FDataSetName; }

void TrpDataSetItem::SetDataSetName(const AnsiString& Value)
{
    NamesChanged();
    FDataSetName = Value;
    auto* coll = dynamic_cast<TrpReportDataSets*>(Collection());
    FDataSet = rpFindDataSet(FDataSet, Value, coll ? coll->Report() : nullptr);
}

void TrpDataSetItem::Assign(TPersistent* Source)
{
    NamesChanged();
    if (auto* s = dynamic_cast<TrpDataSetItem*>(Source)) {
        FDataSet = s->FDataSet;
        FDataSetName = s->FDataSetName;
        return;
    }
    TCollectionItem::Assign(Source);
}

SKLAD_DEFINE_CLASS(TrpReportDataSets)

TrpReportDataSets::TrpReportDataSets(TrpCustomReport* AReport)
    : TCollection(TrpDataSetItem::StaticClass(), AReport), FReport(AReport)
{
    Collections().push_back(this);
}

TrpReportDataSets::~TrpReportDataSets()
{
    auto& list = Collections();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

TrpDataSetItem* TrpReportDataSets::Add(TrpDataSet* DataSet)
{
    auto* item = static_cast<TrpDataSetItem*>(TCollection::Add());
    item->SetDataSet(DataSet);
    return item;
}

void TrpReportDataSets::Update(TCollectionItem*) { NamesChanged(); }

TrpDataSetItem* TrpReportDataSets::Find(const TrpDataSet* DataSet) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->GetDataSet() == DataSet)
            return Items(i);
    return nullptr;
}

TrpDataSetItem* TrpReportDataSets::Find(std::string_view Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (TrpDataSet* ds = Items(i)->GetDataSet(); ds && SameText(ds->GetUserName(), Name))
            return Items(i);
    return nullptr;
}

void TrpReportDataSets::Initialize()
{
    for (int i = 0; i < Count(); ++i)
        if (TrpDataSet* ds = Items(i)->GetDataSet()) {
            ds->Report = FReport;
            ds->Initialize();
        }
}

void TrpReportDataSets::Finalize()
{
    for (int i = 0; i < Count(); ++i)
        if (TrpDataSet* ds = Items(i)->GetDataSet())
            ds->Finalize();
}

// ---------------------------------------------------------------- lookup

TrpDataSet* rpFindDataSet(TrpDataSet* DataSet, const AnsiString& Name, TComponent* Owner)
{
    if (Name.empty())
        return nullptr;
    if (!Owner)
        return DataSet;
    auto* report = dynamic_cast<TrpCustomReport*>(Owner);
    for (TrpDataSet* ds : DataSetList()) {
        if (!AnsiSameText(ds->GetUserName(), Name))
            continue;
        if (!report)
            return ds;
        TrpCustomReport* dsReport = ds->GetReport();
        if (!dsReport || dsReport == report)
            return ds;
    }
    return DataSet;
}

void rpGetDataSetList(TStrings* List)
{
    List->Clear();
    for (TrpDataSet* ds : DataSetList())
        if (!ds->GetUserName().empty() && ds->Enabled)
            List->AddObject(ds->GetUserName(), ds);
}

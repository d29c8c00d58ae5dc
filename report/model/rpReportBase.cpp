// rpReportBase.cpp - the report root of the object model and report files.
#include "report/model/rpReportBase.h"

#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include "platform/rtl/SysUtils.h"

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomReport)

TrpCustomReport::TrpCustomReport(TComponent* AOwner)
    : TrpComponent(AOwner),
      FDataSets(std::make_unique<TrpReportDataSets>(this)),
      FVariables(std::make_unique<TrpVariables>()),
      FEngineOptions(std::make_unique<TrpEngineOptions>()),
      FPrintOptions(std::make_unique<TrpPrintOptions>()),
      FPreviewOptions(std::make_unique<TrpPreviewOptions>()),
      FReportOptions(std::make_unique<TrpReportOptions>())
{
    Errors.SetSorted(true);
    Errors.SetDuplicates(dupIgnore);
}

TrpCustomReport::~TrpCustomReport()
{
    FreeObjects();  // the objects go while the collections they may touch still exist
    for (TrpDataSet* ds : rpDataSets())
        if (ds->Report == this)
            ds->Report = nullptr;
}

void TrpCustomReport::FreeObjects()
{
    if (Objects().empty())
        return;
    FreeingObjects freeing;
    for (TrpComponent* c : GetAllObjects())
        freeing.Going.insert(c);
    for (int i = 0; i < ComponentCount(); ++i)
        if (!freeing.Going.count(Components(i)))
            freeing.Staying.push_back(Components(i));
    FFreeing = &freeing;
    try {
        TrpComponent::Clear();
    } catch (...) {
        FFreeing = nullptr;
        throw;
    }
    FFreeing = nullptr;
}

void TrpCustomReport::Notification(TComponent* AComponent, TOperation Operation)
{
    // No report object reacts to another's arrival: a load does not tell every object
    // about each new one (that made loading quadratic in the object count).
    if (Operation == opInsert && CurSerializer)
        return;
    if (FFreeing && Operation == opRemove) {
        if (FFreeing->Going.count(AComponent)) {
            for (TComponent* c : FFreeing->Staying)
                c->Notification(AComponent, Operation);
            return;
        }
        std::erase(FFreeing->Staying, AComponent);
    }
    TrpComponent::Notification(AComponent, Operation);
}

void TrpCustomReport::Clear()
{
    FreeObjects();
    FDataSets->Clear();
    FVariables->Clear();
    FEngineOptions->Clear();
    FPrintOptions->Clear();
    FPreviewOptions->Clear();
    FReportOptions->Clear();
}

void TrpCustomReport::DefineProperties(TFiler* Filer)
{
    TrpComponent::DefineProperties(Filer);
    Filer->DefineProperty("Datasets", [this](TReader& r) { rpReadCollection(FDataSets.get(), r, this); },
                          [this](TWriter& w) { rpWriteCollection(FDataSets.get(), w, this); }, true);
    Filer->DefineProperty("Variables", [this](TReader& r) { rpReadCollection(FVariables.get(), r, this); },
                          [this](TWriter& w) { rpWriteCollection(FVariables.get(), w, this); }, true);
}

std::function<void()> TrpCustomReport::KeepProgramSettings()
{
    auto engine = std::make_shared<TrpEngineOptions>();
    engine->Assign(FEngineOptions.get());
    engine->RestoreReport = FEngineOptions->RestoreReport;
    auto preview = std::make_shared<TrpPreviewOptions>();
    preview->Assign(FPreviewOptions.get());
    return [this, engine, preview, ini = IniFile, old = OldStyleProgress, show = ShowProgress] {
        const bool convertNulls = FEngineOptions->ConvertNulls, doublePass = FEngineOptions->DoublePass;
        FEngineOptions->Assign(engine.get());
        FEngineOptions->ConvertNulls = convertNulls;
        FEngineOptions->DoublePass = doublePass;
        const bool outline = FPreviewOptions->OutlineVisible;
        const int outlineWidth = FPreviewOptions->OutlineWidth;
        FPreviewOptions->Assign(preview.get());
        FPreviewOptions->OutlineVisible = outline;
        FPreviewOptions->OutlineWidth = outlineWidth;
        IniFile = ini;
        OldStyleProgress = old;
        ShowProgress = show;
    };
}

void TrpCustomReport::DoLoadFromStream()
{
    const int32_t left = DesignLeft, top = DesignTop;
    TrpComponent::LoadFromStream(*LoadStream);
    DesignLeft = left;
    DesignTop = top;
}

void TrpCustomReport::LoadFromStream(TStream& Stream)
{
    Errors.Clear();
    const std::function<void()> restore = KeepProgramSettings();
    LoadStream = &Stream;
    try {
        DoLoadFromStream();
    } catch (...) {
        // A document refused whole (malformed, cut short, not a report's) is refused
        // before anything changes, so the password held is still the typed one and must
        // not be shifted again.
        LoadStream = nullptr;
        restore();
        throw;
    }
    LoadStream = nullptr;
    restore();
    FReportOptions->Password = rpDecodePassword(FReportOptions->Password);
    if (!Reloading && !FReportOptions->CheckPassword()) {
        Clear();
        return;
    }
    ShowErrors();
}

void TrpCustomReport::SaveToStream(TStream& Stream, bool SaveChildren, bool SaveDefaultValues)
{
    const AnsiString typed = FReportOptions->Password;
    FReportOptions->Password = rpEncodePassword(typed);
    const std::function<void()> reattach = DetachForSave();
    try {
        TrpComponent::SaveToStream(Stream, SaveChildren, SaveDefaultValues);
    } catch (...) {
        reattach();
        FReportOptions->Password = typed;
        throw;
    }
    reattach();
    FReportOptions->Password = typed;
}

bool TrpCustomReport::LoadFromFile(const AnsiString& AFileName, bool OpenMissing)
{
    Clear();
    FileName.clear();
    const bool exists = FileExists(AFileName);
    if (exists || OpenMissing) {
        TFileStream f(AFileName, fmOpenRead | fmShareDenyWrite);
        LoadFromStream(f);
        FileName = AFileName;
    }
    return exists;
}

void TrpCustomReport::SaveToFile(const AnsiString& AFileName)
{
    SaveFileWhole(AFileName, [&](TStream& f) { SaveToStream(f, true, false); });
}

void TrpCustomReport::ShowErrors()
{
    if (Errors.Count() == 0 || FEngineOptions->SilentMode)
        return;
    AnsiString text = rpResources().Get("clErrors") + "\r\n";
    for (int i = 0; i < Errors.Count(); ++i)
        text += Errors[i] + "\r\n";
    rpErrorMsg(text);
}

TrpDataSet* TrpCustomReport::GetDataset(std::string_view Alias) const
{
    TrpDataSetItem* item = FDataSets->Find(Alias);
    return item ? item->GetDataSet() : nullptr;
}

AnsiString TrpCustomReport::GetAlias(TrpDataSet* DataSet) const
{
    if (!DataSet)
        return {};
    if (FDataSets->Find(DataSet))
        return DataSet->GetUserName();
    return rpResources().Get("clDSNotIncl");
}

void TrpCustomReport::GetDatasetAndField(const AnsiString& Text, TrpDataSet*& DataSet, AnsiString& Field) const
{
    DataSet = nullptr;
    Field.clear();
    const size_t p = Text.find(".\"");
    if (p == AnsiString::npos)
        return;
    DataSet = GetDataset(std::string_view(Text).substr(0, p));
    if (Text.size() >= p + 3)
        Field = Text.substr(p + 2, Text.size() - p - 3);
}

void TrpCustomReport::GetWholeDatasetField(const AnsiString& Text, TrpDataSet*& DataSet, AnsiString& Field) const
{
    GetDatasetAndField(Text, DataSet, Field);
    if (!DataSet || Field.empty())
        return;
    bool whole = Text.back() == '"';
    if (whole && Field.find('"') != AnsiString::npos) {
        try {
            whole = DataSet->HasField(Field);
        } catch (const std::exception&) {
            whole = false;  // a dataset that cannot list its fields lists none
        }
    }
    if (!whole) {
        DataSet = nullptr;
        Field.clear();
    }
}

void TrpCustomReport::GetDataSetList(TStrings* List, bool OnlyDB) const
{
    List->Clear();
    for (int i = 0; i < FDataSets->Count(); ++i) {
        TrpDataSet* ds = FDataSets->Items(i)->GetDataSet();
        if (!ds || (OnlyDB && dynamic_cast<TrpUserDataSet*>(ds)))
            continue;
        List->AddObject(ds->GetUserName(), ds);
    }
}

std::unique_ptr<TCustomIniFile> TrpCustomReport::GetIniFile() const
{
    if (IniFile.rfind("\\Software\\", 0) == 0)
        return std::make_unique<TRegistryIniFile>(IniFile);
    return std::make_unique<TIniFile>(IniFile);
}

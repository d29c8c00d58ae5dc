// rpReportBase.h - TrpCustomReport: the part of the report that the object model itself
// needs, and on which TrpReport (pages, script, engine, preview) builds.
//
// It is the root of a template's tree and holds what loading and saving need: the error
// list of a load or run, the serializer of a load in progress (so that collections read
// inside it share its reference fixups), the datasets and variables collections, the four
// option objects, the settings that belong to the program rather than the file, and the
// report-file operations (XML, password shift, error box).
//
// For TrpReport to fill in: publishing (the report's properties are its own table), the
// "Style" collection (DefineProperties: call this class's first), and whatever the program
// keeps across a load beyond what KeepProgramSettings keeps (the preview).
#pragma once

#include "report/model/rpComponent.h"
#include "report/model/rpDBSet.h"
#include "report/model/rpOptions.h"
#include "report/model/rpVariables.h"

#include "platform/classes/IniFiles.h"

#include <functional>
#include <unordered_set>

class TrpCustomReport : public TrpComponent {
    SKLAD_CLASS_NOPUBLISH(TrpCustomReport, TrpComponent)
public:
    explicit TrpCustomReport(TComponent* AOwner);
    ~TrpCustomReport() override;

    // Children, datasets, variables and the option objects' Clear values.
    void Clear() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // "Datasets", then "Variables" (form A or B, see rpUtils.h).
    void DefineProperties(TFiler* Filer) override;

    // ---- report files
    // Reads a report file. Program settings (engine and preview options except
    // ConvertNulls, DoublePass and the outline pair; IniFile; ShowProgress;
    // OldStyleProgress) keep their values; the stored password is decoded and checked
    // (a wrong one clears the report); errors are shown once unless SilentMode.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream, bool SaveChildren = true, bool SaveDefaultValues = false) override;
    // False (and an empty report) when the file is missing, unless OpenMissing asks for
    // the file system's error.
    bool LoadFromFile(const AnsiString& AFileName, bool OpenMissing = false);
    void SaveToFile(const AnsiString& AFileName);

    // ---- datasets
    TrpReportDataSets* GetDataSets() const { return FDataSets.get(); }
    TrpDataSet* GetDataset(std::string_view Alias) const;
    AnsiString GetAlias(TrpDataSet* DataSet) const;
    // 'Name."Field"' -> the dataset and the field name; both empty without such a pair.
    void GetDatasetAndField(const AnsiString& Text, TrpDataSet*& DataSet, AnsiString& Field) const;
    // The same for a text that is to be read as one field (an expression, a name given to
    // "Get"): only a text that closes with the field's quote counts, and a field name that
    // holds a quote only when its dataset lists it. 'D."Price" * 2' or 'D."A" + D."B"' is
    // then an expression, compiled and reported if bad, never a field that is not there.
    void GetWholeDatasetField(const AnsiString& Text, TrpDataSet*& DataSet, AnsiString& Field) const;
    void GetDataSetList(TStrings* List, bool OnlyDB) const;

    // ---- variables and options (setters copy)
    TrpVariables* GetVariables() const { return FVariables.get(); }
    TrpEngineOptions* GetEngineOptions() const { return FEngineOptions.get(); }
    void SetEngineOptions(TrpEngineOptions* Value) { FEngineOptions->Assign(Value); }
    TrpPrintOptions* GetPrintOptions() const { return FPrintOptions.get(); }
    void SetPrintOptions(TrpPrintOptions* Value) { FPrintOptions->Assign(Value); }
    TrpPreviewOptions* GetPreviewOptions() const { return FPreviewOptions.get(); }
    void SetPreviewOptions(TrpPreviewOptions* Value) { FPreviewOptions->Assign(Value); }
    TrpReportOptions* GetReportOptions() const { return FReportOptions.get(); }
    void SetReportOptions(TrpReportOptions* Value) { FReportOptions->Assign(Value); }

    // A settings object for IniFile: the registry stand-in for "\Software\..." keys,
    // otherwise an ini file of that name.
    std::unique_ptr<TCustomIniFile> GetIniFile() const;
    // The error box with every line of Errors (unless SilentMode).
    void ShowErrors();
    // A dataset is being freed (its items are gone from the report's collections already).
    virtual void DataSetRemoved(TrpDataSet* /*DataSet*/) {}

    TStringList Errors;  // sorted, duplicates ignored
    AnsiString CurObject;
    TrpXMLSerializer* CurSerializer = nullptr;  // set while a load runs
    AnsiString IniFile = "\\Software\\Report Library";
    bool OldStyleProgress = false;
    bool ShowProgress = true;
    bool Reloading = false;
    AnsiString FileName;
    TStream* LoadStream = nullptr;

protected:
    // Frees the whole tree. The objects going are not told about one another (their
    // references use free notification); the report's other components still are. This
    // keeps freeing a template linear in its size.
    void FreeObjects();
    // Copies aside what a loaded file must not change and returns how to put it back.
    // TrpReport extends it (the preview).
    virtual std::function<void()> KeepProgramSettings();
    // Takes aside what must not be written into a file and returns how to put it back.
    virtual std::function<void()> DetachForSave() { return [] {}; }
    virtual void DoLoadFromStream();

private:
    struct FreeingObjects {
        std::unordered_set<const TComponent*> Going;
        std::vector<TComponent*> Staying;
    };
    FreeingObjects* FFreeing = nullptr;
    std::unique_ptr<TrpReportDataSets> FDataSets;
    std::unique_ptr<TrpVariables> FVariables;
    std::unique_ptr<TrpEngineOptions> FEngineOptions;
    std::unique_ptr<TrpPrintOptions> FPrintOptions;
    std::unique_ptr<TrpPreviewOptions> FPreviewOptions;
    std::unique_ptr<TrpReportOptions> FReportOptions;
};

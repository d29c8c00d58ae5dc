// rpClass.cpp - the report object, its preparation, showing and progress, and the small
// code the contracts carry themselves.
#include "report/model/rpClass.h"

#include "report/model/rpConsts.h"
#include "report/model/rpDMPClass.h"
#include "report/model/rpDrawText.h"
#include "report/model/rpPages.h"
#include "report/model/rpRes.h"
#include "report/model/rpStyles.h"
#include "report/model/rpUtils.h"
#include "report/model/rpViews.h"
#include "report/model/rpXML.h"

#include "script/GlobalUnit.h"

#include "platform/classes/Handles.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>

// ---------------------------------------------------------------- fallbacks

namespace {

const char* const kNoEngine = "the report engine is not installed; no pages were built";

// Used while the output layer has installed no engine: every build ends with one error.
class TrpNoEngine : public TrpCustomEngine {
public:
    using TrpCustomEngine::TrpCustomEngine;
    void EndPage() override {}
    void NewColumn() override {}
    void NewPage() override {}
    void ShowBand(TrpBand*) override {}
    void ShowBand(TClass) override {}
    Extended FooterHeight() override { return 0; }
    Extended FreeSpace() override { return 0; }
    Variant GetAggregateValue(const AnsiString&, const AnsiString&, TrpBand*, int) override { return Null(); }
    bool Run() override { throw Exception(kNoEngine); }
};

class TrpNoOutline : public TrpCustomOutline {
public:
    using TrpCustomOutline::TrpCustomOutline;
    int GetCount() override { return 0; }
    void AddItem(const AnsiString&, int) override {}
    void LevelDown(int) override {}
    void LevelRoot() override {}
    void LevelUp() override {}
    void GetItem(int, AnsiString& Text, int& Page, int& Top) override { Text.clear(), Page = 0, Top = 0; }
    void ShiftItems(TrpXMLItem*, int) override {}
    TrpXMLItem* GetCurPosition() override { return nullptr; }
};

struct Factories {
    TrpEngineFactory Engine;
    TrpPreviewPagesFactory PreviewPages;
    TrpOutlineFactory Outline;
    TrpPreviewFormFactory PreviewForm;
    TrpProgressFactory Progress;
};
Factories& Installed()
{
    static Factories f;
    return f;
}

TClass& DefaultCompressor()
{
    static TClass c = nullptr;
    return c;
}
// The compressor made last, while it lives: its class is asked for once it is complete
// (inside the base constructor an object is still of the base class).
TrpCustomCompressor*& NewestCompressor()
{
    static TrpCustomCompressor* c = nullptr;
    return c;
}

struct DesignerRegistration {
    TClass Class = nullptr;
    TrpDesignerFactory Factory;
};
DesignerRegistration& Designers()
{
    static DesignerRegistration d;
    return d;
}

void ProcessMessages()
{
    if (Application)
        Application->ProcessMessages();
}

}  // namespace

void rpSetEngineFactory(TrpEngineFactory Factory) { Installed().Engine = std::move(Factory); }
void rpSetPreviewPagesFactory(TrpPreviewPagesFactory Factory) { Installed().PreviewPages = std::move(Factory); }
void rpSetOutlineFactory(TrpOutlineFactory Factory) { Installed().Outline = std::move(Factory); }
void rpSetPreviewFormFactory(TrpPreviewFormFactory Factory) { Installed().PreviewForm = std::move(Factory); }
void rpSetProgressFactory(TrpProgressFactory Factory) { Installed().Progress = std::move(Factory); }

// ---------------------------------------------------------------- contracts

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomEngine)
void TrpCustomEngine::Publish(TPropertyTable& t)
{
    t.Prop("CurColumn", &TrpCustomEngine::CurColumn, &TrpCustomEngine::CurColumn);
    t.Prop("CurVColumn", &TrpCustomEngine::CurVColumn, &TrpCustomEngine::CurVColumn);
    t.Prop("CurX", &TrpCustomEngine::CurX, &TrpCustomEngine::CurX);
    t.Prop("CurY", &TrpCustomEngine::CurY, &TrpCustomEngine::CurY);
    t.Prop("DoublePass", &TrpCustomEngine::GetDoublePass);
    t.Prop("FinalPass", &TrpCustomEngine::FinalPass, &TrpCustomEngine::FinalPass);
    t.Prop("PageHeight", &TrpCustomEngine::PageHeight, &TrpCustomEngine::PageHeight);
    t.Prop("PageWidth", &TrpCustomEngine::PageWidth, &TrpCustomEngine::PageWidth);
    t.Prop("StartDate", &TrpCustomEngine::StartDate, &TrpCustomEngine::StartDate);
    t.Prop("StartTime", &TrpCustomEngine::StartTime, &TrpCustomEngine::StartTime);
    t.Prop("TotalPages", &TrpCustomEngine::TotalPages, &TrpCustomEngine::TotalPages);
}

TrpCustomEngine::TrpCustomEngine(TrpReport* AReport) : Report(AReport) {}
TrpCustomEngine::~TrpCustomEngine() = default;

bool TrpCustomEngine::GetDoublePass() const { return Report && Report->GetEngineOptions()->DoublePass; }

void TrpCustomEngine::ShowBandByName(const AnsiString& Name)
{
    ShowBand(Report ? dynamic_cast<TrpBand*>(Report->FindObject(Name)) : nullptr);
}

void TrpCustomEngine::StopReport()
{
    StopCalled = true;
    if (Report)
        Report->SetTerminated(true);
}

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomOutline)
void TrpCustomOutline::Publish(TPropertyTable&) {}

TrpCustomEngine* TrpCustomOutline::Engine() const { return PreviewPages ? PreviewPages->Engine : nullptr; }

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomPreviewPages)

TrpCustomPreviewPages::TrpCustomPreviewPages(TrpReport* AReport) : Report(AReport)
{
    if (Installed().Outline)
        FOutline = Installed().Outline(this);
    if (!FOutline)
        FOutline = std::make_unique<TrpNoOutline>(this);
}

TrpCustomPreviewPages::~TrpCustomPreviewPages() = default;

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomPreview)

// ---- export filters

TrpExportFilterCollection& rpExportFilters()
{
    static TrpExportFilterCollection c;
    return c;
}

void TrpExportFilterCollection::Register(TrpCustomExportFilter* Filter)
{
    if (Filter && std::find(FItems.begin(), FItems.end(), Filter) == FItems.end())
        FItems.push_back(Filter);
}

void TrpExportFilterCollection::Unregister(TrpCustomExportFilter* Filter)
{
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Filter), FItems.end());
}

TrpCustomExportFilter* TrpExportFilterCollection::GetExportFilterItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FItems[static_cast<size_t>(Index)];
}

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomExportFilter)
void TrpCustomExportFilter::Publish(TPropertyTable& t)
{
    t.Prop("FileName", &TrpCustomExportFilter::FileName, &TrpCustomExportFilter::FileName);
    t.Prop("ShowDialog", &TrpCustomExportFilter::ShowDialog, &TrpCustomExportFilter::ShowDialog).Default(true);
}

TrpCustomExportFilter::TrpCustomExportFilter(TComponent* AOwner) : TComponent(AOwner)
{
    rpExportFilters().Register(this);
}

TrpCustomExportFilter::TrpCustomExportFilter() : TComponent(nullptr) { NoRegister = true; }

TrpCustomExportFilter::~TrpCustomExportFilter()
{
    if (!NoRegister)
        rpExportFilters().Unregister(this);
}

// ---- compressors

TClass rpDefaultCompressor()
{
    if (TrpCustomCompressor* newest = NewestCompressor())
        return newest->ClassType();
    return DefaultCompressor();
}

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomCompressor)
void TrpCustomCompressor::Publish(TPropertyTable&) {}

TrpCustomCompressor::TrpCustomCompressor(TComponent* AOwner) : TComponent(AOwner)
{
    OldCompressor = rpDefaultCompressor();
    NewestCompressor() = this;
}

TrpCustomCompressor::~TrpCustomCompressor()
{
    NewestCompressor() = nullptr;
    DefaultCompressor() = OldCompressor;
    Stream.reset();
    if (!TempFile.empty())
        DeleteFile(TempFile);
}

void TrpCustomCompressor::CreateStream()
{
    if (!IsTemplateFile && Report && Report->GetEngineOptions()->UseFileCache) {
        TempFile = rpCreateTempFile(Report->GetEngineOptions()->TempDir);
        Stream = std::make_unique<TFileStream>(TempFile, fmCreate);
    } else {
        Stream = std::make_unique<TMemoryStream>();
    }
}

namespace {
// A compressor of the default class for one report file, or none without a default.
std::unique_ptr<TrpCustomCompressor> NewCompressor(TrpReport* Report)
{
    TClass cls = rpDefaultCompressor();
    if (!cls)
        return nullptr;
    std::unique_ptr<TComponent> made = cls->CreateComponent(nullptr);
    auto* c = dynamic_cast<TrpCustomCompressor*>(made.get());
    if (!c)
        throw EComponentError(Format(rpmsg::kNotACompressor, {cls->ClassName()}));
    made.release();
    std::unique_ptr<TrpCustomCompressor> result(c);
    result->Report = Report;
    result->IsTemplateFile = true;
    result->CreateStream();
    return result;
}
}  // namespace

// ---- designer and wizards

void rpSetDesignerClass(TClass Class, TrpDesignerFactory Factory)
{
    Designers().Class = Factory ? Class : nullptr;
    Designers().Factory = Class ? std::move(Factory) : nullptr;
}

TClass rpDesignerClass() { return Designers().Class; }

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomDesigner)

TrpCustomDesigner::TrpCustomDesigner(TComponent* AOwner, TrpReport* AReport, bool APreviewDesigner)
    : TForm(AOwner),
      Report(AReport),
      IsPreviewDesigner(APreviewDesigner),
      SelectedObjects(std::make_unique<TList>()),
      Objects(std::make_unique<TList>())
{
}

TrpCustomDesigner::~TrpCustomDesigner() = default;

void TrpCustomDesigner::SetModified(bool Value)
{
    Modified = Value;
    if (Value && Report)
        Report->Modified = true;
}

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomWizard)

TrpCustomWizard::TrpCustomWizard(TComponent* AOwner)
    : TComponent(AOwner), Designer(dynamic_cast<TrpCustomDesigner*>(AOwner))
{
    if (Designer)
        Report = Designer->Report;
}

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomPreviewForm)

// ---------------------------------------------------------------- TrpReport

TrpReport* rpReportOf(const TrpComponent* Component)
{
    return Component ? dynamic_cast<TrpReport*>(Component->GetReport()) : nullptr;
}

SKLAD_DEFINE_CLASS(TrpReport)
void TrpReport::Publish(TPropertyTable& t)
{
    t.Prop("DataSet", &TrpReport::GetDataSet, &TrpReport::SetDataSet);
    t.Prop("DataSetName", &TrpReport::GetDataSetName, &TrpReport::SetDataSetName);
    t.Prop("DotMatrixReport", &TrpReport::DotMatrixReport, &TrpReport::DotMatrixReport).Default(false);
    t.Prop("EngineOptions", &TrpReport::GetEngineOptions, &TrpReport::SetEngineOptions);
    t.Prop("IniFile", &TrpReport::IniFile, &TrpReport::IniFile);
    t.Prop("OldStyleProgress", &TrpReport::OldStyleProgress, &TrpReport::OldStyleProgress).Default(false);
    t.Prop("Preview", &TrpReport::GetPreview, &TrpReport::SetPreview);
    t.Prop("PreviewOptions", &TrpReport::GetPreviewOptions, &TrpReport::SetPreviewOptions);
    t.Prop("PrintOptions", &TrpReport::GetPrintOptions, &TrpReport::SetPrintOptions);
    t.Prop("ReportOptions", &TrpReport::GetReportOptions, &TrpReport::SetReportOptions);
    t.Prop("ScriptLanguage", &TrpReport::ScriptLanguage, &TrpReport::ScriptLanguage);
    t.Prop("ScriptText", &TrpReport::GetScriptText, &TrpReport::SetScriptText);
    t.Prop("ShowProgress", &TrpReport::ShowProgress, &TrpReport::ShowProgress).Default(true);
    t.Event("OnAfterPrint", &TrpReport::OnAfterPrint);
    t.Event("OnBeforePrint", &TrpReport::OnBeforePrint);
    t.Event("OnBeginDoc", &TrpReport::OnBeginDoc);
    t.Event("OnClickObject", &TrpReport::OnClickObject);
    t.Event("OnGetValue", &TrpReport::OnGetValue);
    t.Event("OnManualBuild", &TrpReport::OnManualBuild);
    t.Event("OnMouseOverObject", &TrpReport::OnMouseOverObject);
    t.Event("OnPrintReport", &TrpReport::OnPrintReport);
    t.Event("OnAfterPrintReport", &TrpReport::OnAfterPrintReport);
    t.Event("OnProgressStart", &TrpReport::OnProgressStart);
    t.Event("OnProgress", &TrpReport::OnProgress);
    t.Event("OnProgressStop", &TrpReport::OnProgressStop);
    t.Event("OnUserFunction", &TrpReport::OnUserFunction);
    t.Prop("OnStartReport", &TrpReport::OnStartReport, &TrpReport::OnStartReport).Type("TrpNotifyEvent");
    t.Prop("OnStopReport", &TrpReport::OnStopReport, &TrpReport::OnStopReport).Type("TrpNotifyEvent");
}

TrpReport::TrpReport(TComponent* AOwner) : TrpCustomReport(AOwner)
{
    FScript = std::make_unique<TscScript>(nullptr);
    FScript->Parent = scGlobalUnit();
    FScript->ExtendedCharset = true;
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(50);
    FTimer->OnTimer = TNotifyEvent(this, &TrpReport::OnTimer);
    FScriptText = std::make_unique<TStringList>();
    FExpressionCache = std::make_unique<TrpExpressionCache>(FScript.get());
    FStyles = std::make_unique<TrpStyles>(this);
    FEnabledDataSets = std::make_unique<TrpReportDataSets>(this);
    if (Installed().Engine)
        FEngine = Installed().Engine(this);
    if (!FEngine)
        FEngine = std::make_unique<TrpNoEngine>(this);
    if (Installed().PreviewPages)
        FPreviewPages = Installed().PreviewPages(this);
    if (!FPreviewPages)
        FPreviewPages = std::make_unique<TrpNoPreviewPages>(this);
    FEngine->PreviewPages = FPreviewPages.get();
    FPreviewPages->Engine = FEngine.get();
    FDrawText = std::make_unique<TrpDrawText>();
    DoClear();
}

TrpReport::~TrpReport()
{
    SetPreview(nullptr);
    FTimer->SetEnabled(false);
    FTimer->OnTimer = nullptr;
    FDataSet.Set(nullptr);
    // The objects go first, while everything they may touch exists.
    FreeObjects();
    FLocalValue = nullptr;
}

void TrpReport::Clear() { DoClear(); }

void TrpReport::DoClear()
{
    TrpCustomReport::Clear();
    if (FStyles)
        FStyles->Clear();
    SetDataSet(nullptr);
    FDataSetName.clear();
    DotMatrixReport = false;
    ScriptLanguage = "PascalScript";
    FScriptText->SetText("begin\r\n\r\nend.");
    SysVariables.Clear();
    for (const char* name : {"Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#", "Line", "Line#"})
        SysVariables.Add(name);
}

void TrpReport::DefineProperties(TFiler* Filer)
{
    TrpCustomReport::DefineProperties(Filer);
    // A style whose name another one has already (letters' case aside) is refused by its
    // SetName; it is left out and told.
    auto twins = [](TCollectionItem* Item, const AnsiString& Text) -> AnsiString {
        TrpXMLItem attrs;
        attrs.Text = Text;
        const AnsiString wanted = attrs.Prop("Name");
        if (static_cast<TrpStyleItem*>(Item)->GetName() == wanted)
            return {};
        delete Item;
        return Format(rpmsg::kDuplicateStyle, {wanted});
    };
    Filer->DefineProperty("Style", [this, twins](TReader& r) { rpReadCollection(FStyles.get(), r, this, twins); },
                          [this](TWriter& w) { rpWriteCollection(FStyles.get(), w, this); }, true);
}

void TrpReport::Notification(TComponent* AComponent, TOperation Operation)
{
    TrpCustomReport::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    FDataSet.Forget(AComponent, Operation);
    if (AComponent == FPreview) {
        FPreview = nullptr;
        FPreviewForm = nullptr;
    }
    if (AComponent == FPreviewForm)
        FPreviewForm = nullptr;
}

void TrpReport::DataSetRemoved(TrpDataSet* /*DataSet*/)
{
    if (Designer)
        Designer->UpdateDataTree();
}

AnsiString TrpReport::GetDescription() const { return rpResources().Get("obReport"); }

TrpPage* TrpReport::GetPages(int Index) const { return static_cast<TrpPage*>(Object(Index)); }

void TrpReport::SetDataSet(TrpDataSet* Value)
{
    if (!FDataSet.Set(Value))
        return;
    FDataSetName = FDataSet ? FDataSet->GetUserName() : AnsiString();
}

AnsiString TrpReport::GetDataSetName() const { return FDataSet ? FDataSet->GetUserName() : FDataSetName; }

void TrpReport::SetDataSetName(const AnsiString& Value)
{
    FDataSetName = Value;
    TrpDataSet* found = rpFindDataSet(FDataSet, Value, this);
    if (found != FDataSet) {
        const AnsiString kept = FDataSetName;
        SetDataSet(found);
        if (!found)
            FDataSetName = kept;
    }
}

void TrpReport::SetPreview(TrpCustomPreview* Value)
{
    if (CurSerializer)
        return;  // a file's Preview attaches nothing: the preview is the program's
    const bool changed = FPreview != Value;
    if (FPreview && changed) {
        FPreview->RemoveFreeNotification(this);
        if (!Value) {
            FPreview->Report = nullptr;
            FPreview->PreviewPages = nullptr;
            FPreviewForm = nullptr;
        }
    }
    FPreview = Value;
    if (FPreview) {
        if (changed)  // setting it again takes no second link, which nil would not drop
            FPreview->FreeNotification(this);
        FPreview->Report = this;
        FPreview->PreviewPages = FPreviewPages.get();
        FPreview->Init();
    }
}

void TrpReport::SetStyles(TrpStyles* Value)
{
    if (!Value) {
        FStyles->Clear();
        return;
    }
    FStyles->Assign(Value);
    FStyles->Apply();
}

void TrpReport::SetTerminated(bool Value)
{
    FTerminated = Value;
    if (Value)
        FScript->Terminate();
}

std::function<void()> TrpReport::KeepProgramSettings()
{
    std::function<void()> base = TrpCustomReport::KeepProgramSettings();
    TrpCustomPreview* preview = FPreview;
    // The preview is the program's: a file that names one attaches nothing.
    return [this, base, preview] {
        base();
        if (FPreview != preview)
            SetPreview(preview);
    };
}

std::function<void()> TrpReport::DetachForSave()
{
    // Never written as a reference: the field is emptied for the write, not detached.
    TrpCustomPreview* preview = FPreview;
    FPreview = nullptr;
    return [this, preview] { FPreview = preview; };
}

void TrpReport::LoadFromStream(TStream& Stream)
{
    Errors.Clear();
    std::unique_ptr<TrpCustomCompressor> compressor;
    try {
        compressor = NewCompressor(this);
        if (compressor) {
            compressor->Decompress(Stream);
            compressor->Stream->SetPosition(0);
        }
    } catch (const std::exception&) {
        compressor.reset();
        Errors.Add(rpResources().Get("clDecompressError"));
        ShowErrors();
        return;
    }
    TrpCustomReport::LoadFromStream(compressor ? *compressor->Stream : Stream);
}

void TrpReport::SaveToStream(TStream& Stream, bool SaveChildren, bool SaveDefaultValues)
{
    std::unique_ptr<TrpCustomCompressor> compressor;
    if (GetReportOptions()->Compressed)
        compressor = NewCompressor(this);
    if (!compressor) {
        TrpCustomReport::SaveToStream(Stream, SaveChildren, SaveDefaultValues);
        return;
    }
    TrpCustomReport::SaveToStream(*compressor->Stream, SaveChildren, SaveDefaultValues);
    compressor->Stream->SetPosition(0);
    compressor->Compress(Stream);
}

// ---------------------------------------------------------------- preparing and showing

bool TrpReport::PrepareReport(bool ClearLastReport)
{
    if (Preparing)
        return false;  // a report is built once at a time (a script may not rebuild its own report)
    Preparing = true;
    struct Done {
        bool& f;
        ~Done() { f = false; }
    } done{Preparing};
    if (ClearLastReport)
        FPreviewPages->Clear();
    Errors.Clear();
    SetTerminated(false);
    bool result = false;

    for (int i = 0; i < GetDataSets()->Count(); ++i) {
        TrpDataSetItem* item = GetDataSets()->Items(i);
        if (!item->GetDataSet())
            Errors.Add(Format(rpResources().Get("clDSNotExist"), {item->GetDataSetName()}));
    }

    if (Errors.Count() == 0) {
        TMemoryStream saved;
        const bool restore = GetEngineOptions()->RestoreReport;
        if (restore)
            SaveToStream(saved, true, false);
        try {
            if (OnBeginDoc)
                OnBeginDoc(this);
            if (PrepareScript()) {
                if (FScript->MainStatement() && FScript->MainStatement()->Count() > 0)
                    FScript->Execute();
                if (FEngine->Run())
                    result = true;
                else if (FPreviewForm)
                    FPreviewForm->Close();
            }
        } catch (const std::exception& e) {
            Errors.Add(e.what());
        }
        if (restore && !GetEngineOptions()->ReportThread) {
            TStringList kept;
            kept.Assign(&Errors);
            saved.SetPosition(0);
            Reloading = true;
            {
                // The reload must not show its own box; the user's setting comes back
                // however the reload ends.
                struct Silence {
                    TrpReport& R;
                    const bool Kept;
                    explicit Silence(TrpReport& Report) : R(Report), Kept(Report.GetEngineOptions()->SilentMode)
                    {
                        R.GetEngineOptions()->SilentMode = true;
                    }
                    ~Silence()
                    {
                        R.GetEngineOptions()->SilentMode = Kept;
                        R.Reloading = false;
                    }
                } silence(*this);
                try {
                    LoadFromStream(saved);
                } catch (const std::exception& e) {
                    kept.Add(e.what());
                }
            }
            Reloading = false;
            Errors.Clear();
            for (int i = 0; i < kept.Count(); ++i)
                Errors.Add(kept[i]);
        }
    }

    if (Errors.Count() > 0) {
        result = false;
        ShowErrors();
    }
    return result;
}

void TrpReport::ShowReport(bool ClearLastReport)
{
    if (ClearLastReport)
        FPreviewPages->Clear();
    if (OldStyleProgress) {
        if (PrepareReport(false))
            ShowPreparedReport();
        return;
    }
    FTimer->SetEnabled(true);
    ShowPreparedReport();
}

void TrpReport::OnTimer(TObject* /*Sender*/)
{
    FTimer->SetEnabled(false);
    PrepareReport(false);
}

void TrpReport::ShowPreparedReport()
{
    FPreviewForm = nullptr;
    if (FPreview) {
        FPreview->Report = this;
        FPreview->PreviewPages = FPreviewPages.get();
        FPreview->Init();
        return;
    }
    if (!Installed().PreviewForm) {
        // No preview window in this build: run the deferred build at once so the pages
        // are there for whoever prints or saves them.
        if (FTimer->GetEnabled())
            OnTimer(this);
        return;
    }
    TrpCustomPreviewForm* form = Installed().PreviewForm(Application);
    if (!form)
        return;
    FPreviewForm = form;
    form->FreeNotification(this);
    if (TrpCustomPreview* p = form->GetPreview()) {
        p->Report = this;
        p->PreviewPages = FPreviewPages.get();
        FPreview = p;
        p->FreeNotification(this);
    }
    form->Init();
    if (GetPreviewOptions()->Modal) {
        try {
            form->ShowModal();
        } catch (...) {
            FTimer->SetEnabled(false);
            SetPreview(nullptr);
            delete form;
            FPreviewForm = nullptr;
            throw;
        }
        FTimer->SetEnabled(false);  // a window closed before the build started builds nothing
        SetPreview(nullptr);
        delete form;
        FPreviewForm = nullptr;
    } else {
        form->OnClose = TCloseEvent::Lambda([](TObject*, TCloseAction& action) { action = caFree; });
        form->Show();
    }
}

bool TrpReport::Print() { return FPreviewPages->Print(); }

bool TrpReport::Export(TrpCustomExportFilter* Filter) { return FPreviewPages->Export(Filter); }

namespace {
TrpPrinterSelector& PrinterSelector()
{
    static TrpPrinterSelector s;
    return s;
}
}  // namespace

void rpSetPrinterSelector(TrpPrinterSelector Selector) { PrinterSelector() = std::move(Selector); }

void TrpReport::SelectPrinter()
{
    if (PrinterSelector())
        PrinterSelector()(GetPrintOptions()->Printer);
}

// ---------------------------------------------------------------- designer

namespace {
// A report without pages gets one for the designer to show.
void EnsurePage(TrpReport* Report)
{
    if (Report->GetPagesCount() > 0)
        return;
    TrpReportPage* page = Report->DotMatrixReport ? new TrpDMPPage(Report) : new TrpReportPage(Report);
    page->SetDefaults();
    page->SetName("Page1");
}

// Shows a designer of the registered class modally; the result is whether it changed anything.
bool RunDesigner(TrpReport* Report, bool PreviewDesigner)
{
    std::unique_ptr<TrpCustomDesigner> d = Designers().Factory(nullptr, Report, PreviewDesigner);
    Report->Designer = d.get();
    TCustomForm* active = Screen ? Screen->GetActiveForm() : nullptr;
    if (active)
        active->SetEnabled(false);
    auto done = [&] {
        const bool modified = d->Modified;
        d.reset();
        Report->Designer = nullptr;
        if (active) {
            active->SetEnabled(true);
            if (active->CanFocus())
                active->SetFocus();
        }
        return modified;
    };
    try {
        d->ShowModal();
        d->Closed = true;
    } catch (...) {
        done();
        throw;
    }
    return done();
}
}  // namespace

bool TrpReport::DesignReport()
{
    if (Designer || !Designers().Factory)
        return false;
    EnsurePage(this);
    FScript->ClearItems(this);
    Modified = false;
    RunDesigner(this, false);
    return true;
}

bool TrpReport::DesignReport(TObject* /*DesignerIntf*/, TObject* Editor)
{
    if (Designer || !Designers().Factory || !Editor || !SameText(Editor->ClassName(), "TrpReportEditor"))
        return false;
    EnsurePage(this);
    RunDesigner(this, false);
    return true;
}

bool TrpReport::DesignPreviewPage()
{
    if (Designer || !Designers().Factory)
        return false;
    return RunDesigner(this, true);
}

// ---------------------------------------------------------------- progress

void TrpReport::InternalOnProgressStart(TrpProgressType ProgressType)
{
    if (GetEngineOptions()->ReportThread)
        return;
    if (OnProgressStart)
        OnProgressStart(this, ProgressType, 0);
    if (!OldStyleProgress && ProgressType == ptRunning) {
        if (FPreview)
            FPreview->InternalOnProgressStart(this, ProgressType, 0);
    } else if (ShowProgress) {
        FProgress.reset();
        if (Installed().Progress)
            FProgress = Installed().Progress();
        if (FProgress)
            FProgress->Execute(0, {}, false, true);
    }
    ProcessMessages();
}

void TrpReport::InternalOnProgress(TrpProgressType ProgressType, int Progress)
{
    if (GetEngineOptions()->ReportThread)
        return;
    if (OnProgress)
        OnProgress(this, ProgressType, Progress);
    if (!OldStyleProgress && ProgressType == ptRunning) {
        if (FPreview)
            FPreview->InternalOnProgress(this, ProgressType, Progress - 1);
    } else if (ShowProgress && FProgress) {
        AnsiString key;
        switch (ProgressType) {
        case ptRunning: key = FEngine->FinalPass ? "prRunning" : "prRunningFirst"; break;
        case ptExporting: key = "prExporting"; break;
        case ptPrinting: key = "prPrinting"; break;
        }
        FProgress->SetMessage(Format(rpResources().Get(key), {Progress}));
        if (FProgress->CancelPressed())
            SetTerminated(true);
    }
    ProcessMessages();
}

void TrpReport::InternalOnProgressStop(TrpProgressType ProgressType)
{
    if (GetEngineOptions()->ReportThread)
        return;
    if (OnProgressStop)
        OnProgressStop(this, ProgressType, 0);
    if (!OldStyleProgress && ProgressType == ptRunning) {
        if (FPreview)
            FPreview->InternalOnProgressStop(this, ProgressType, 0);
    } else if (ShowProgress) {
        FProgress.reset();
    }
    ProcessMessages();
}

void TrpReport::SetProgressMessage(const AnsiString& Text)
{
    if (GetEngineOptions()->ReportThread)
        return;
    if (OldStyleProgress && FEngine->Running) {
        if (ShowProgress && FProgress)
            FProgress->SetMessage(Text);
    } else if (FPreviewForm) {
        FPreviewForm->SetMessageText(Text);
    }
    ProcessMessages();
}

// ---------------------------------------------------------------- events

void TrpReport::DoNotifyEvent(TObject* Obj, const AnsiString& EventName, bool RunAlways)
{
    if ((FEngine->Running || RunAlways) && !EventName.empty())
        FScript->CallFunction(EventName, VarArrayOf({ObjectToVariant(Obj)}));
}

void TrpReport::DoParamEvent(const AnsiString& EventName, Variant& Params, bool RunAlways)
{
    if ((FEngine->Running || RunAlways) && !EventName.empty())
        FScript->CallFunction1(EventName, Params);
}

void TrpReport::DoBeforePrint(TrpReportComponent* Component)
{
    if (OnBeforePrint)
        OnBeforePrint(Component);
    DoNotifyEvent(Component, Component->OnBeforePrint);
}

void TrpReport::DoAfterPrint(TrpReportComponent* Component)
{
    if (OnAfterPrint)
        OnAfterPrint(Component);
    DoNotifyEvent(Component, Component->OnAfterPrint);
}

bool TrpReport::DoPreviewClick(TrpView* View, TMouseButton Button, TShiftState Shift, bool Modified)
{
    Variant params = VarArrayOf({ObjectToVariant(View), Variant(static_cast<int>(Button)),
                                 Variant(ShiftStateToInt(Shift)), Variant(Modified)});
    DoParamEvent(View->OnPreviewClick, params, true);
    Modified = VarArrayGet(params, {3}).AsBoolean();
    if (OnClickObject)
        OnClickObject(View, Button, Shift, Modified);
    return Modified;
}

// ReportTest.cpp - the report object: defaults, clearing, datasets, references cleared by
// free notification, preparing (errors collected and shown once), progress and the
// contracts' own code.
#include "report/model/tests/ReportFixture.h"

#include "report/model/rpRes.h"

#include "platform/gui/testing/TestDriver.h"

#include <stdexcept>

TEST_F(ReportTest, FreshReportDefaults)
{
    TrpReport* r = MakeReport();
    EXPECT_EQ(r->GetPagesCount(), 0);
    EXPECT_EQ(r->GetScriptText()->GetText(), "begin\r\n\r\nend.\r\n");
    EXPECT_EQ(r->ScriptLanguage, "PascalScript");
    EXPECT_EQ(r->IniFile, "\\Software\\Report Library");
    EXPECT_TRUE(r->ShowProgress);
    EXPECT_FALSE(r->OldStyleProgress);
    EXPECT_EQ(r->GetDescription(), "obReport");
    ASSERT_EQ(r->SysVariables.Count(), 8);
    EXPECT_EQ(r->SysVariables[3], "Page#");
    EXPECT_EQ(r->SysVariables[7], "Line#");
}

TEST_F(ReportTest, ClearKeepsProgramSettingsAndResetsTheTemplate)
{
    TrpReport* r = MakeReport();
    AddPage(r);
    r->ScriptLanguage = "JScript";
    r->DotMatrixReport = true;
    r->IniFile = "my.ini";
    r->ShowProgress = false;
    r->GetVariables()->SetVariable("x", Variant(1));
    r->Clear();
    EXPECT_EQ(r->GetPagesCount(), 0);
    EXPECT_EQ(r->ScriptLanguage, "PascalScript");
    EXPECT_FALSE(r->DotMatrixReport);
    EXPECT_EQ(r->GetVariables()->Count(), 0);
    EXPECT_EQ(r->IniFile, "my.ini");
    EXPECT_FALSE(r->ShowProgress);
    EXPECT_EQ(r->SysVariables.IndexOf("Page#"), 3);
}

TEST_F(ReportTest, ErrorsAreSortedAndDropDuplicates)
{
    TrpReport* r = MakeReport();
    r->Errors.Add("b");
    r->Errors.Add("a");
    r->Errors.Add("b");
    ASSERT_EQ(r->Errors.Count(), 2);
    EXPECT_EQ(r->Errors[0], "a");
    EXPECT_EQ(r->Errors[1], "b");
}

TEST_F(ReportTest, DatasetAndFieldOfAText)
{
    TrpReport* r = MakeReport();
    TrpDBDataset* ds = AddDataSet(r, "rpDBDataset2", {});
    struct Case {
        const char* why;
        const char* text;
        bool found;
        const char* field;
    };
    const Case cases[] = {
        {"dataset, full stop, quoted field", "rpDBDataset2.\"Сумма\"", true, "Сумма"},
        {"user name ignores ASCII case", "RPDBDATASET2.\"ID\"", true, "ID"},
        {"a full stop without a quote is no field", "rpDBDataset2.Sum", false, ""},
        {"only the first pair counts", "rpDBDataset2.\"a.\"b\"", true, "a.\"b"},
        {"an unknown dataset gives none but the field", "Other.\"ID\"", false, "ID"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpDataSet* got = nullptr;
        AnsiString field;
        r->GetDatasetAndField(c.text, got, field);
        EXPECT_EQ(got, c.found ? ds : nullptr);
        EXPECT_EQ(field, c.field);
    }
}

TEST_F(ReportTest, FreedDataSetLeavesEveryReference)
{
    TrpReport* r = MakeReport();
    TrpDBDataset* ds = AddDataSet(r, "rpDBDataset1", {});
    TrpReportPage* page = AddPage(r);
    auto* band = Add<TrpMasterData>(page, "MasterData1");
    auto* memo = Add<TrpMemoView>(band, "Memo1");
    band->SetDataSet(ds);
    memo->SetDataSet(ds);
    memo->SetDataField("ID");
    page->SetDataSet(ds);
    r->SetDataSet(ds);
    ASSERT_EQ(r->GetDataSets()->Count(), 1);
    delete ds;
    EXPECT_EQ(r->GetDataSets()->Count(), 0);
    EXPECT_EQ(band->GetDataSet(), nullptr);
    EXPECT_EQ(memo->GetDataSet(), nullptr);
    EXPECT_FALSE(memo->IsDataField());
    EXPECT_EQ(page->GetDataSet(), nullptr);
    EXPECT_EQ(r->GetDataSet(), nullptr);
}

TEST_F(ReportTest, FreedPreviewIsForgotten)
{
    TrpReport* r = MakeReport();
    auto* preview = new TFakePreview(Owner.get());
    r->SetPreview(preview);
    EXPECT_EQ(preview->Report, r);
    EXPECT_EQ(preview->Inits, 1);
    delete preview;
    EXPECT_EQ(r->GetPreview(), nullptr);
}

namespace {
// Owned by a holder: hears through it which components the holder is still told about.
class TNotifySpy : public TComponent {
public:
    TNotifySpy(TComponent* holder, TComponent* watched) : TComponent(holder), FWatched(watched) {}
    int Heard = 0;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        Heard += Operation == opRemove && AComponent == FWatched;
    }

private:
    TComponent* FWatched;
};
}  // namespace

TEST_F(ReportTest, PreviewReferenceFollowsItsTarget)
{
    // The previews live under another owner, so the report hears of them only through its links.
    enum TStep { SetA, SetB, SetNil };
    struct Case { const char* why; std::vector<TStep> steps; bool pointsAtB; int heard; };
    const Case cases[] = {
        {"freeing the preview clears the reference", {SetA}, false, 1},
        {"a replaced preview no longer reaches the report", {SetA, SetB}, true, 0},
        {"setting the same preview twice takes one link", {SetA, SetA, SetNil}, false, 0},
        {"a cleared preview no longer reaches the report", {SetA, SetNil}, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TrpReport* r = MakeReport();
        TComponent previews(nullptr);
        auto* a = new TFakePreview(&previews);
        auto* b = new TFakePreview(&previews);
        auto* spy = new TNotifySpy(r, a);
        for (TStep s : c.steps)
            r->SetPreview(s == SetA ? a : s == SetB ? b : nullptr);
        delete a;
        EXPECT_EQ(r->GetPreview(), c.pointsAtB ? b : nullptr);
        EXPECT_EQ(spy->Heard, c.heard);
        delete r;
    }
}

TEST_F(ReportTest, MissingDataSetStopsThePreparationWithOneBox)
{
    TrpReport* r = MakeReport();
    r->GetEngineOptions()->SilentMode = false;
    TrpDataSetItem* item = r->GetDataSets()->Add(nullptr);
    item->SetDataSetName("Пропал");
    r->GetScriptText()->SetText("begin nosuchthing( end.");  // would fail to compile: never reached
    EXPECT_FALSE(r->PrepareReport());
    ASSERT_EQ(r->Errors.Count(), 1);
    EXPECT_EQ(r->Errors[0], "Набор данных \"Пропал\" не найден");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "Были обнаружены следующие ошибки:\r\nНабор данных \"Пропал\" не найден\r\n");
}

TEST_F(ReportTest, ScriptErrorInSilentModeGivesALineAndNoBox)
{
    TrpReport* r = MakeReport();
    r->GetScriptText()->SetText("begin\r\n  x := ;\r\nend.");
    EXPECT_FALSE(r->PrepareReport());
    ASSERT_EQ(r->Errors.Count(), 1);
    EXPECT_EQ(r->Errors[0].rfind("Ошибка в скрипте", 0), 0u) << r->Errors[0];
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(ReportTest, AnUnknownScriptLanguageIsAScriptError)
{
    TrpReport* r = MakeReport();
    r->ScriptLanguage = "COBOL";
    EXPECT_FALSE(r->PrepareReport());
    ASSERT_EQ(r->Errors.Count(), 1);
    EXPECT_EQ(r->Errors[0].rfind("Ошибка в скрипте", 0), 0u) << r->Errors[0];
}

TEST_F(ReportTest, WithoutAnEngineABuildEndsInOneErrorLine)
{
    rpSetEngineFactory(nullptr);
    TrpReport* r = MakeReport();
    EXPECT_FALSE(r->PrepareReport());
    ASSERT_EQ(r->Errors.Count(), 1);
    EXPECT_NE(r->Errors[0].find("engine is not installed"), AnsiString::npos);
}

TEST_F(ReportTest, ExceptionsOfTheRunBecomeErrorLines)
{
    TrpReport* r = MakeReport();
    Engine(r)->RunBody = [](TFakeEngine&) -> bool { throw Exception("engine broke"); };
    EXPECT_FALSE(r->PrepareReport());
    ASSERT_EQ(r->Errors.Count(), 1);
    EXPECT_EQ(r->Errors[0], "engine broke");
}

TEST_F(ReportTest, MainBlockRunsBeforeTheEngine)
{
    TrpReport* r = MakeReport();
    r->GetVariables()->SetVariable("x", Variant(1));
    r->GetScriptText()->SetText("begin\r\n  Set('x', 5);\r\nend.");
    Variant seen;
    Engine(r)->RunBody = [&](TFakeEngine&) {
        seen = r->GetVariables()->GetVariable("x");
        return true;
    };
    EXPECT_TRUE(r->PrepareReport());
    EXPECT_EQ(seen.AsInteger(), 5);
}

TEST_F(ReportTest, RestoreAfterRunPutsTheTemplateBack)
{
    TrpReport* r = MakeReport();
    r->GetEngineOptions()->RestoreReport = true;
    TrpReportPage* page = AddPage(r);
    auto* memo = Add<TrpMemoView>(page, "Memo1");
    memo->SetText("template");
    Engine(r)->RunBody = [&](TFakeEngine&) {
        static_cast<TrpMemoView*>(r->FindObject("Memo1"))->SetText("changed by the run");
        return true;
    };
    EXPECT_TRUE(r->PrepareReport());
    auto* again = dynamic_cast<TrpMemoView*>(r->FindObject("Memo1"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetText(), "template\r\n");
}

namespace {
// A report whose reload after a run fails, as a damaged saved copy would.
class TFailingReloadReport : public TrpReport {
public:
    using TrpReport::TrpReport;
    bool Fail = false;
    void DoLoadFromStream() override
    {
        if (Fail)
            throw std::runtime_error("reload failed");
        TrpReport::DoLoadFromStream();
    }
};
}  // namespace

// The reload after a run is silent, and the user's own silence setting comes back whether
// the reload ends normally or with an error.
TEST_F(ReportTest, ReloadAfterRunGivesBackTheSilenceSetting)
{
    for (bool fail : {false, true}) {
        for (bool silent : {false, true}) {
            SCOPED_TRACE(std::string(fail ? "failing" : "normal") + (silent ? ", silent" : ", not silent"));
            TTestDriver d;
            auto* r = new TFailingReloadReport(Owner.get());
            r->SetName(fail ? "Failing" : "Normal");
            r->GetEngineOptions()->RestoreReport = true;
            r->GetEngineOptions()->SilentMode = silent;
            AddPage(r);
            r->Fail = fail;
            EXPECT_EQ(r->PrepareReport(), !fail);
            EXPECT_EQ(r->GetEngineOptions()->SilentMode, silent);
            EXPECT_FALSE(r->Reloading);
            EXPECT_EQ(r->Errors.Text().find("reload failed") != AnsiString::npos, fail);
            delete r;
        }
    }
}

TEST_F(ReportTest, CancelledDialogGivesFalse)
{
    TrpReport* r = MakeReport();
    Engine(r)->RunBody = [](TFakeEngine&) { return false; };
    EXPECT_FALSE(r->PrepareReport());
    EXPECT_EQ(r->Errors.Count(), 0);
}

TEST_F(ReportTest, ShowReportWithoutPreviewWindowBuildsAtOnce)
{
    TrpReport* r = MakeReport();
    int runs = 0;
    Engine(r)->RunBody = [&](TFakeEngine&) {
        ++runs;
        return true;
    };
    r->ShowReport(true);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(Pages(r)->Clears, 1);
    EXPECT_FALSE(r->GetTimer()->GetEnabled());
}

TEST_F(ReportTest, ProgressGoesToTheAttachedPreview)
{
    TrpReport* r = MakeReport();
    auto* preview = new TFakePreview(Owner.get());
    r->SetPreview(preview);
    std::vector<AnsiString> own;
    r->OnProgress = TrpProgressEvent::Lambda([&](TrpReport*, TrpProgressType, int p) { own.push_back(IntToStr(p)); });
    r->InternalOnProgressStart(ptRunning);
    r->InternalOnProgress(ptRunning, 5);
    r->InternalOnProgressStop(ptRunning);
    EXPECT_EQ(preview->Log, (std::vector<AnsiString>{"start", "progress 4", "stop"}));
    EXPECT_EQ(own, (std::vector<AnsiString>{"5"}));
}

TEST_F(ReportTest, TerminatedStopsTheScript)
{
    TrpReport* r = MakeReport();
    r->SetTerminated(true);
    EXPECT_TRUE(r->GetTerminated());
    EXPECT_TRUE(r->GetScript()->Terminated);
    r->GetEngine()->StopReport();
    EXPECT_TRUE(r->GetTerminated());
}

TEST_F(ReportTest, ShowBandByNameHandsNoneForOtherObjects)
{
    TrpReport* r = MakeReport();
    TrpReportPage* page = AddPage(r);
    auto* band = Add<TrpMasterData>(page, "MasterData1");
    Add<TrpMemoView>(band, "Memo1");
    r->GetEngine()->ShowBandByName("MasterData1");
    r->GetEngine()->ShowBandByName("Memo1");
    r->GetEngine()->ShowBandByName("Nothing");
    EXPECT_EQ(Engine(r)->Shown, (std::vector<TrpBand*>{band, nullptr, nullptr}));
}

namespace {
class TTestCompressor : public TrpCustomCompressor {
public:
    using TrpCustomCompressor::TrpCustomCompressor;
    bool Decompress(TStream&) override { return false; }
    void Compress(TStream&) override {}
};
class TTestFilter : public TrpCustomExportFilter {
public:
    using TrpCustomExportFilter::TrpCustomExportFilter;
    void ExportObject(TrpComponent*) override {}
};
}  // namespace

TEST_F(ReportTest, CompressorsNest)
{
    EXPECT_EQ(rpDefaultCompressor(), nullptr);
    auto a = std::make_unique<TTestCompressor>(nullptr);
    EXPECT_NE(rpDefaultCompressor(), nullptr);
    {
        TTestCompressor b(nullptr);
    }
    EXPECT_NE(rpDefaultCompressor(), nullptr);
    a.reset();
    EXPECT_EQ(rpDefaultCompressor(), nullptr);
}

TEST_F(ReportTest, ExportFiltersRegisterUnlessMadeWithoutOwner)
{
    const int before = rpExportFilters().Count();
    {
        TTestFilter listed(nullptr);
        EXPECT_EQ(rpExportFilters().Count(), before + 1);
        rpExportFilters().Register(&listed);
        EXPECT_EQ(rpExportFilters().Count(), before + 1) << "a filter is listed once";
        TTestFilter unlisted;
        EXPECT_EQ(rpExportFilters().Count(), before + 1);
    }
    EXPECT_EQ(rpExportFilters().Count(), before);
}

TEST_F(ReportTest, PagesAreTheChildrenInOrder)
{
    TrpReport* r = MakeReport();
    TrpReportPage* p1 = AddPage(r);
    auto* d = new TrpDialogPage(r);
    d->SetName("DialogPage1");
    ASSERT_EQ(r->GetPagesCount(), 2);
    EXPECT_EQ(r->GetPages(0), p1);
    EXPECT_EQ(r->GetPages(1), d);
    EXPECT_EQ(p1->Name(), "Page1");
    EXPECT_THROW(r->GetPages(2), EListError);
}

namespace {
class TFakePreviewForm : public TrpCustomPreviewForm {
public:
    explicit TFakePreviewForm(TComponent* AOwner) : TrpCustomPreviewForm(AOwner), FPreview(new TFakePreview(this)) {}
    TrpCustomPreview* GetPreview() const override { return FPreview; }
    void Init() override { ++Inits; }
    void SetMessageText(const AnsiString& Text) override { Messages.push_back(Text); }
    TFakePreview* FPreview;
    int Inits = 0;
    std::vector<AnsiString> Messages;
};
}  // namespace

TEST_F(ReportTest, ShowReportOpensThePreviewBeforeTheBuild)
{
    TTestDriver d;
    TFakePreviewForm* shown = nullptr;
    rpSetPreviewFormFactory([&](TComponent* owner) {
        shown = new TFakePreviewForm(owner);
        shown->SetName("PreviewForm1");
        return shown;
    });
    TrpReport* r = MakeReport();
    bool previewOpenDuringBuild = false;
    Engine(r)->RunBody = [&](TFakeEngine&) {
        previewOpenDuringBuild = shown && d.IsShowing(shown) && r->GetPreview() == shown->FPreview;
        return true;
    };
    d.ExpectModal("PreviewForm1", [&] {
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->Inits, 1);
        EXPECT_EQ(shown->FPreview->Report, r);
        EXPECT_TRUE(r->GetTimer()->GetEnabled()) << "the build waits for the window";
        d.AdvanceTime(60);
        EXPECT_FALSE(r->GetTimer()->GetEnabled());
        d.CloseForm(shown);
    });
    d.Run([&] { r->ShowReport(true); });
    rpSetPreviewFormFactory(nullptr);
    EXPECT_TRUE(previewOpenDuringBuild);
    EXPECT_EQ(r->GetPreview(), nullptr) << "the window is gone and so is the reference";
    EXPECT_EQ(r->PreviewForm(), nullptr);
}

TEST_F(ReportTest, ClosingThePreviewBeforeTheTimerBuildsNothing)
{
    TTestDriver d;
    TFakePreviewForm* shown = nullptr;
    rpSetPreviewFormFactory([&](TComponent* owner) {
        shown = new TFakePreviewForm(owner);
        shown->SetName("PreviewForm1");
        return shown;
    });
    TrpReport* r = MakeReport();
    int runs = 0;
    Engine(r)->RunBody = [&](TFakeEngine&) { return ++runs > 0; };
    d.ExpectModal("PreviewForm1", [&] { d.CloseForm(shown); });
    d.Run([&] { r->ShowReport(true); });
    d.AdvanceTime(200);
    rpSetPreviewFormFactory(nullptr);
    EXPECT_EQ(runs, 0);
}

// Forms and data modules of the program are owned by the application; a frame by its form.
TEST(ReportFullNames, ComponentsOnTheProgramsWindowsAreNamedThroughTheirWindow)
{
    TTestDriver d;
    auto* form1 = new TForm(Application);
    form1->SetName("Form1");
    auto* report = new TrpReport(form1);
    auto* form2 = new TForm(Application);
    form2->SetName("Form2");
    auto* module = new TDataModule(Application);
    module->SetName("DataModule1");
    auto* frame = new TScrollBox(form2);
    frame->SetName("Frame1");
    auto* own = new TComponent(form1);
    own->SetName("Own");
    auto* other = new TComponent(form2);
    other->SetName("Other");
    auto* query = new TComponent(module);
    query->SetName("Query");
    auto* inFrame = new TComponent(frame);
    inFrame->SetName("Inner");
    const struct {
        TComponent* Component;
        const char* Name;
    } cases[] = {
        {own, "Own"},
        {other, "Form2.Other"},
        {query, "DataModule1.Query"},
        {inFrame, "Form2.Frame1.Inner"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rpGetFullName(report, c.Component), c.Name);
        EXPECT_EQ(rpFindComponent(report, c.Name), c.Component) << c.Name;
    }
}

// rpClass.h - TrpReport, the report's expression cache, and the contracts of the machinery
// that builds, stores, shows and exports prepared pages.
//
// TrpReport is the one object through which the program uses the report library: the root
// of a template (its children are pages), owner of the script and the expression cache,
// the engine and the prepared pages, the styles and the error list. It refers to, and
// does not own, its datasets and an attached preview; both are cleared by free
// notification when they die.
//
// The engine, the prepared pages with their outline, the preview control, the preview and
// progress windows belong to the output layer. This layer sees them only through the
// abstract classes below; the output layer installs factories for them at start-up
// (rpSetEngineFactory ...). Without factories a report still loads, binds, compiles and
// evaluates, and a build ends with one clear error line instead of pages.
//
// Errors of a load or run are lines of Errors (sorted, duplicates dropped) shown together
// in one box at the end unless EngineOptions.SilentMode; nothing escapes PrepareReport as
// an exception.
//
// Expressions: Calc(Expr) first resolves plain names without compiling (dataset fields,
// the eight system values, OnGetValue, report variables, script locals), then compiles
// each distinct expression text once per run into a function of the expression script.
// Report variables may refer to each other; a cycle or a nesting deeper than
// kMaxCalcDepth is reported as an expression error instead of exhausting the stack.
//
// What a name stands for is looked up once per text and kept with the stamps of what it
// was looked up among (the datasets' names, the report variables' names, the script's
// items, the system value names); a change of any of them looks it up again at the next
// read. Values are always read when asked for. A bracketed name in compiled code
// (<Goods."Price">) is bound the same way when it is compiled, so the running code reads
// the field without naming it again.
#pragma once

#include "report/model/rpReportBase.h"

#include "platform/classes/ComponentRef.h"
#include "platform/gui/Controls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"

#include <functional>
#include <unordered_map>

class TrpReport;
class TrpBand;
class TrpReportPage;
class TrpView;
class TrpStyles;
class TrpDrawText;
class TscScript;
class TscCustomVariable;
class TrpXMLItem;

SKLAD_ENUM(TrpProgressType, ptRunning, ptExporting, ptPrinting)
SKLAD_ENUM(TrpAddPageAction, apWriteOver, apAdd)

// Deepest nesting of Calc (variables referring to variables, expressions in events).
constexpr int kMaxCalcDepth = 64;

// ---------------------------------------------------------------- contracts

class TrpCustomPreviewPages;

class TrpCustomEngine : public TPersistent {
    SKLAD_CLASS(TrpCustomEngine, TPersistent)
public:
    explicit TrpCustomEngine(TrpReport* AReport);
    ~TrpCustomEngine() override;

    virtual void EndPage() = 0;
    virtual void NewColumn() = 0;
    virtual void NewPage() = 0;
    // Must accept nullptr and do nothing.
    virtual void ShowBand(TrpBand* Band) = 0;
    virtual void ShowBand(TClass BandClass) = 0;
    virtual Extended FooterHeight() = 0;
    virtual Extended FreeSpace() = 0;
    virtual Variant GetAggregateValue(const AnsiString& Name, const AnsiString& Expression, TrpBand* Band,
                                      int Flags) = 0;
    // False when a dialog page was cancelled.
    virtual bool Run() = 0;
    // The prepared pages tell the engine of every object they write (Element its element)
    // and of every written element they move onto the current page, so that a text made
    // for one page can follow its object to another.
    virtual void ObjectWritten(TrpComponent*, TrpXMLItem*) {}
    virtual void ObjectsMoved(TrpXMLItem*) {}

    bool GetDoublePass() const;
    void ShowBandByName(const AnsiString& Name);
    void StopReport();

    int CurColumn = 0;
    int CurVColumn = 0;
    int CurLine = 0;
    int CurLineThrough = 0;
    Extended CurX = 0, CurY = 0;
    bool FinalPass = false;
    Extended PageHeaderHeight = 0;
    std::vector<TObject*> NotifyList;  // told about each shown band (the engine fills it)
    Extended PageHeight = 0, PageWidth = 0;
    TrpCustomPreviewPages* PreviewPages = nullptr;
    TrpReport* Report = nullptr;
    bool Running = false;
    TDateTime StartDate;
    TDateTime StartTime;
    int TotalPages = 0;
    TNotifyEvent OnRunDialogs;
    // StopReport was called during this run: the report ends itself (a cancel does not set it).
    bool StopCalled = false;
};

class TrpCustomOutline : public TPersistent {
    SKLAD_CLASS(TrpCustomOutline, TPersistent)
public:
    explicit TrpCustomOutline(TrpCustomPreviewPages* APreviewPages) : PreviewPages(APreviewPages) {}
    virtual int GetCount() = 0;
    virtual void AddItem(const AnsiString& Text, int Top) = 0;
    virtual void LevelDown(int Index) = 0;
    virtual void LevelRoot() = 0;
    virtual void LevelUp() = 0;
    virtual void GetItem(int Index, AnsiString& Text, int& Page, int& Top) = 0;
    virtual void ShiftItems(TrpXMLItem* From, int NewTop) = 0;
    virtual TrpXMLItem* GetCurPosition() = 0;
    TrpCustomEngine* Engine() const;

    TrpXMLItem* CurItem = nullptr;
    TrpCustomPreviewPages* PreviewPages;
};

class TrpCustomExportFilter;

class TrpCustomPreviewPages : public TObject {
    SKLAD_CLASS_NOPUBLISH(TrpCustomPreviewPages, TObject)
public:
    // Outline: a new one from the outline factory, or a do-nothing outline without one.
    explicit TrpCustomPreviewPages(TrpReport* AReport);
    ~TrpCustomPreviewPages() override;

    virtual int GetCount() = 0;
    virtual TrpReportPage* GetPage(int Index) = 0;
    virtual TPoint GetPageSize(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Initialize() = 0;
    virtual void AddObject(TrpComponent* Obj) = 0;
    virtual void AddPage(TrpReportPage* Page) = 0;
    virtual void AddSourcePage(TrpReportPage* Page) = 0;
    virtual void AddToSourcePage(TrpComponent* Obj) = 0;
    virtual void BeginPass() = 0;
    virtual void ClearFirstPassPages() = 0;
    virtual void CutObjects(int Position) = 0;
    virtual void Finish() = 0;
    virtual void PasteObjects(Extended X, Extended Y) = 0;
    virtual bool BandExists(TrpBand* Band) = 0;
    virtual int GetCurPosition() = 0;
    virtual Extended GetLastY() = 0;
    virtual void AddEmptyPage(int Index) = 0;
    virtual void DeletePage(int Index) = 0;
    virtual void ModifyPage(int Index, TrpReportPage* Page) = 0;
    virtual void DrawPage(int Index, TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                          Extended OffsetY) = 0;
    virtual bool ObjectOver(int Index, int X, int Y, TMouseButton Button, TShiftState Shift, Extended Scale,
                            Extended OffsetX, Extended OffsetY, bool Click, TCursor& Cursor) = 0;
    virtual void LoadFromStream(TStream& Stream, bool AllowPartialLoading = false) = 0;
    virtual void SaveToStream(TStream& Stream) = 0;
    virtual bool LoadFromFile(const AnsiString& FileName, bool ExceptionIfNotFound = false) = 0;
    virtual void SaveToFile(const AnsiString& FileName) = 0;
    virtual bool Print() = 0;
    virtual bool Export(TrpCustomExportFilter* Filter) = 0;
    // Anchors (the script's Engine.AddAnchor / GetAnchorPage); none by default.
    virtual void AddAnchor(const AnsiString& /*Text*/) {}
    virtual int GetAnchorPage(const AnsiString& /*Text*/) { return 0; }

    int Count() { return GetCount(); }
    TrpReportPage* Page(int Index) { return GetPage(Index); }
    TrpCustomOutline* Outline() const { return FOutline.get(); }

    TrpAddPageAction AddPageAction = apWriteOver;
    int CurPage = 0;
    int CurPreviewPage = 0;
    TrpCustomEngine* Engine = nullptr;
    int FirstPage = 0;
    TrpReport* Report;

private:
    std::unique_ptr<TrpCustomOutline> FOutline;
};

// An empty store: no pages, nothing printed. The report uses it when no page store is
// installed; a store that fakes a few calls derives from it.
class TrpNoPreviewPages : public TrpCustomPreviewPages {
public:
    using TrpCustomPreviewPages::TrpCustomPreviewPages;
    int GetCount() override { return 0; }
    TrpReportPage* GetPage(int) override { return nullptr; }
    TPoint GetPageSize(int) override { return {}; }
    void Clear() override {}
    void Initialize() override {}
    void AddObject(TrpComponent*) override {}
    void AddPage(TrpReportPage*) override {}
    void AddSourcePage(TrpReportPage*) override {}
    void AddToSourcePage(TrpComponent*) override {}
    void BeginPass() override {}
    void ClearFirstPassPages() override {}
    void CutObjects(int) override {}
    void Finish() override {}
    void PasteObjects(Extended, Extended) override {}
    bool BandExists(TrpBand*) override { return false; }
    int GetCurPosition() override { return 0; }
    Extended GetLastY() override { return 0; }
    void AddEmptyPage(int) override {}
    void DeletePage(int) override {}
    void ModifyPage(int, TrpReportPage*) override {}
    void DrawPage(int, TCanvas*, Extended, Extended, Extended, Extended) override {}
    bool ObjectOver(int, int, int, TMouseButton, TShiftState, Extended, Extended, Extended, bool, TCursor&) override
    {
        return false;
    }
    void LoadFromStream(TStream&, bool) override {}
    void SaveToStream(TStream&) override {}
    bool LoadFromFile(const AnsiString&, bool) override { return false; }
    void SaveToFile(const AnsiString&) override {}
    bool Print() override { return false; }
    bool Export(TrpCustomExportFilter*) override { return false; }
};

class TrpCustomPreview : public TCustomControl {
    SKLAD_CLASS_NOPUBLISH(TrpCustomPreview, TCustomControl)
public:
    explicit TrpCustomPreview(TComponent* AOwner) : TCustomControl(AOwner) {}
    virtual void Init() = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    virtual void InternalOnProgressStart(TrpReport* Report, TrpProgressType ProgressType, int Progress) = 0;
    virtual void InternalOnProgress(TrpReport* Report, TrpProgressType ProgressType, int Progress) = 0;
    virtual void InternalOnProgressStop(TrpReport* Report, TrpProgressType ProgressType, int Progress) = 0;
    TrpCustomPreviewPages* PreviewPages = nullptr;
    TrpReport* Report = nullptr;
};

class TrpCustomExportFilter : public TComponent {
    SKLAD_CLASS(TrpCustomExportFilter, TComponent)
public:
    // Registers the filter in rpExportFilters().
    explicit TrpCustomExportFilter(TComponent* AOwner);
    // A filter that is not registered.
    TrpCustomExportFilter();
    ~TrpCustomExportFilter() override;
    // The export menu's caption for the filter's class (the same for every instance).
    virtual AnsiString GetDescription() const { return {}; }
    virtual TModalResult ShowModal() { return mrOk; }
    virtual bool Start() { return true; }
    virtual void ExportObject(TrpComponent* Obj) = 0;
    virtual void Finish() {}
    virtual void FinishPage(TrpReportPage* /*Page*/, int /*Index*/) {}
    virtual void StartPage(TrpReportPage* /*Page*/, int /*Index*/) {}

    bool CurPage = false;
    AnsiString FileName;
    bool NoRegister = false;
    AnsiString PageNumbers;
    TrpReport* Report = nullptr;
    bool ShowDialog = true;
};

// The export-filter registry (the preview lists it). Filters are referred to, not owned.
class TrpExportFilterCollection {
public:
    void Register(TrpCustomExportFilter* Filter);    // none and duplicates ignored
    void Unregister(TrpCustomExportFilter* Filter);  // every entry of it
    int Count() const { return static_cast<int>(FItems.size()); }
    TrpCustomExportFilter* GetExportFilterItem(int Index) const;  // EListError outside
private:
    std::vector<TrpCustomExportFilter*> FItems;
};
TrpExportFilterCollection& rpExportFilters();

class TrpCustomCompressor : public TComponent {
    SKLAD_CLASS(TrpCustomCompressor, TComponent)
public:
    // Becomes the default compressor; destroying it restores the one before.
    explicit TrpCustomCompressor(TComponent* AOwner);
    ~TrpCustomCompressor() override;
    // True when Source was compressed; the plain data is in Stream then.
    virtual bool Decompress(TStream& Source) = 0;
    virtual void Compress(TStream& Dest) = 0;
    void CreateStream();

    bool IsTemplateFile = false;
    TClass OldCompressor = nullptr;
    TrpReport* Report = nullptr;
    std::unique_ptr<TStream> Stream;
    AnsiString TempFile;
};
// The default compressor class: none until a compressor component is created; then the
// class of the newest one (a class declared with SKLAD_CLASS, so reports can make one).
TClass rpDefaultCompressor();

// ---------------------------------------------------------------- designer and wizards

class TrpPage;

// The report designer's window. No designer exists in this program; a report opens one
// only when a designer class is registered (rpRegisterDesignerClass).
class TrpCustomDesigner : public TForm {
    SKLAD_CLASS_NOPUBLISH(TrpCustomDesigner, TForm)
public:
    TrpCustomDesigner(TComponent* AOwner, TrpReport* AReport, bool APreviewDesigner = false);
    ~TrpCustomDesigner() override;

    virtual void SetModified(bool Value);  // true also marks the report modified
    virtual void SetPage(TrpPage* Value) { Page = Value; }
    virtual TStrings* GetCode() = 0;
    virtual void InsertExpression(const AnsiString& Expr) = 0;
    virtual void Lock() = 0;
    virtual void ReloadPages(int Index) = 0;
    virtual void ReloadReport() = 0;
    virtual void UpdateDataTree() = 0;
    virtual void UpdatePage() = 0;

    TrpReport* Report;
    bool IsPreviewDesigner;
    bool Closed = false;  // set by the designer when its window is done
    bool Modified = false;
    TrpPage* Page = nullptr;
    std::unique_ptr<TList> SelectedObjects;
    std::unique_ptr<TList> Objects;
};

using TrpDesignerFactory =
    std::function<std::unique_ptr<TrpCustomDesigner>(TComponent* Owner, TrpReport* Report, bool PreviewDesigner)>;
// Registers the designer class (nullptr and an empty factory unregister it).
void rpSetDesignerClass(TClass Class, TrpDesignerFactory Factory);
template <class T>
void rpRegisterDesignerClass()
{
    rpSetDesignerClass(T::StaticClass(), [](TComponent* Owner, TrpReport* Report, bool Preview) {
        return std::unique_ptr<TrpCustomDesigner>(std::make_unique<T>(Owner, Report, Preview));
    });
}
TClass rpDesignerClass();

// A designer's wizard: made with the designer as owner, it works on the designer's report.
class TrpCustomWizard : public TComponent {
    SKLAD_CLASS_NOPUBLISH(TrpCustomWizard, TComponent)
public:
    explicit TrpCustomWizard(TComponent* AOwner);
    virtual AnsiString GetDescription() const { return {}; }
    virtual bool Execute() = 0;

    TrpCustomDesigner* Designer;
    TrpReport* Report = nullptr;
};

// ---------------------------------------------------------------- output-layer windows

// What the report needs of the preview window (the output layer's TrpPreviewForm).
class TrpCustomPreviewForm : public TForm {
    SKLAD_CLASS_NOPUBLISH(TrpCustomPreviewForm, TForm)
public:
    explicit TrpCustomPreviewForm(TComponent* AOwner) : TForm(AOwner) {}
    virtual TrpCustomPreview* GetPreview() const = 0;
    // Applies the report's PreviewOptions.
    virtual void Init() = 0;
    virtual void SetMessageText(const AnsiString& Text) = 0;
};

// The progress window (the output layer's TrpProgress).
class TrpCustomProgress {
public:
    virtual ~TrpCustomProgress() = default;
    virtual void Execute(int MaxValue, const AnsiString& Msg, bool ShowBar, bool ShowCancel) = 0;
    virtual void SetMessage(const AnsiString& Text) = 0;
    virtual bool CancelPressed() const = 0;
};

using TrpEngineFactory = std::function<std::unique_ptr<TrpCustomEngine>(TrpReport* Report)>;
using TrpPreviewPagesFactory = std::function<std::unique_ptr<TrpCustomPreviewPages>(TrpReport* Report)>;
using TrpOutlineFactory = std::function<std::unique_ptr<TrpCustomOutline>(TrpCustomPreviewPages* Pages)>;
using TrpDrawTextFactory = std::function<std::unique_ptr<TrpDrawText>()>;
using TrpPreviewFormFactory = std::function<TrpCustomPreviewForm*(TComponent* Owner)>;
using TrpProgressFactory = std::function<std::unique_ptr<TrpCustomProgress>()>;
// Installed by the output layer; nullptr restores the fallback. Reports made before keep
// what they got.
void rpSetEngineFactory(TrpEngineFactory Factory);
void rpSetPreviewPagesFactory(TrpPreviewPagesFactory Factory);
void rpSetOutlineFactory(TrpOutlineFactory Factory);
void rpSetPreviewFormFactory(TrpPreviewFormFactory Factory);
void rpSetProgressFactory(TrpProgressFactory Factory);

// Makes the printer of that name current when the printer list has it (the output layer
// installs it with its printer list).
using TrpPrinterSelector = std::function<void(const AnsiString& PrinterName)>;
void rpSetPrinterSelector(TrpPrinterSelector Selector);

// ---------------------------------------------------------------- expression cache

// A compiled expression text (rpReportScript.cpp).
struct TrpCompiledExpression;

class TrpExpressionCache : public TObject {
    SKLAD_CLASS_NOPUBLISH(TrpExpressionCache, TObject)
public:
    explicit TrpExpressionCache(TscScript* AMainScript);
    ~TrpExpressionCache() override;
    void Clear();
    // Value of an expression text with AScript as the parent scope; ErrorMsg is set (and
    // Null returned) when it does not compile. Run-time errors propagate.
    Variant Calc(const AnsiString& Expression, AnsiString& ErrorMsg, TscScript* AScript);
    // Calc in two steps: the compiled form of a text (nullptr and ErrorMsg when it does
    // not compile), and running it. A compiled form lives until Generation() moves on.
    const TrpCompiledExpression* Function(const AnsiString& Expression, AnsiString& ErrorMsg, TscScript* AScript);
    Variant Run(const TrpCompiledExpression* Compiled, TscScript* AScript);
    uint64_t Generation() const { return FGeneration; }
    int Count() const { return static_cast<int>(FByText.size()); }
    TscScript* GetScript() const { return FScript.get(); }

private:
    uint64_t FGeneration = 0;
    TStringList FExpressions;  // sorted, case-sensitive; object = the compiled function
    // The compiled forms by exact text, found by hashing instead of comparing texts.
    std::unordered_map<AnsiString, std::unique_ptr<TrpCompiledExpression>> FByText;
    TscScript* FMainScript;
    std::unique_ptr<TscScript> FScript;
};

// ---------------------------------------------------------------- the report

using TrpBeforePrintEvent = TEvent<void(TrpReportComponent* Sender)>;
SKLAD_EVENT_TYPE(TrpBeforePrintEvent)
using TrpClickObjectEvent = TEvent<void(TrpView* View, TMouseButton Button, TShiftState Shift, bool& Modified)>;
SKLAD_EVENT_TYPE(TrpClickObjectEvent)
using TrpMouseOverObjectEvent = TEvent<void(TrpView* View, TCursor& Cursor)>;
SKLAD_EVENT_TYPE(TrpMouseOverObjectEvent)
using TrpManualBuildEvent = TEvent<void(TrpPage* Page)>;
SKLAD_EVENT_TYPE(TrpManualBuildEvent)
using TrpProgressEvent = TEvent<void(TrpReport* Sender, TrpProgressType ProgressType, int Progress)>;
SKLAD_EVENT_TYPE(TrpProgressEvent)
using TrpUserFunctionEvent = TEvent<Variant(const AnsiString& MethodName, Variant& Params)>;
SKLAD_EVENT_TYPE(TrpUserFunctionEvent)

class TrpReport : public TrpCustomReport {
    SKLAD_CLASS(TrpReport, TrpCustomReport)
public:
    explicit TrpReport(TComponent* AOwner);
    ~TrpReport() override;

    void Clear() override;
    void DefineProperties(TFiler* Filer) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DataSetRemoved(TrpDataSet* DataSet) override;  // an open designer refreshes its data tree
    AnsiString GetDescription() const override;

    // ---- pages (report and dialog pages, in child order)
    int GetPagesCount() const { return ObjectCount(); }
    TrpPage* GetPages(int Index) const;  // EListError outside the range

    // ---- published surface
    TrpDataSet* GetDataSet() const { return FDataSet.Get(); }
    void SetDataSet(TrpDataSet* Value);
    AnsiString GetDataSetName() const;
    void SetDataSetName(const AnsiString& Value);
    TStrings* GetScriptText() const { return FScriptText.get(); }
    void SetScriptText(TStrings* Value) { FScriptText->Assign(Value); }
    TrpCustomPreview* GetPreview() const { return FPreview; }
    void SetPreview(TrpCustomPreview* Value);
    TrpStyles* GetStyles() const { return FStyles.get(); }
    // Copies and applies; nullptr empties the styles.
    void SetStyles(TrpStyles* Value);
    bool GetTerminated() const { return FTerminated; }
    void SetTerminated(bool Value);
    Variant GetLocalValue() const;
    void SetLocalValue(const Variant& Value);

    // What one memo's expressions read, so that its text can be made again for another page
    // once the data has moved on (the engine, when a computed band lands on a later page).
    // Recording, every bracketed expression appends its formatted value and whether the page
    // number went into it, and every name read and aggregate asked appends what it gave
    // likewise. Replaying, an expression the page number did not go into gives its text as
    // it was, without running (a script function in it would run twice, a script variable
    // would read what a later row left in it); the others are computed again, their reads
    // giving what they gave then, except the ones the page number went into: they are read
    // again, with Page and Page# those of page index Page. A read the recording never saw
    // (a branch the page number chose, a total it did not ask) would read the data as it
    // stands now, perhaps a later record: such an expression keeps the text it had. To keep
    // that rare, the values of the script variables every expression reads (all of them when
    // it calls a script routine) are recorded, and made again it runs over those values, which
    // are put back afterwards; where the page number chose a branch of IIF, the other branch
    // is read too when it only reads (its value recorded, nothing it changes in the script's
    // variables kept); one that may change anything else runs only where it is chosen.
    struct TPageTextLog {
        struct TPart {
            AnsiString Text;
            bool OfPage = false;
        };
        std::vector<TPart> Parts;  // the bracketed expressions, in text order
        size_t NextPart = 0;       // replaying: the next one
        struct TRead {
            AnsiString Name;
            bool Found = false;
            Variant Value;
            bool OfPage = false;
        };
        std::vector<TRead> Reads;
        bool Replay = false;
        int Page = -1;
        int PageReads = 0;  // reads of Page and Page#
        bool Unseen = false;  // replaying: a read the recording never saw, of data not the page
        size_t Next = 0;    // replaying: where the next read most likely is
    };
    TPageTextLog* PageTextLog = nullptr;

    // ---- running (rpClass.cpp)
    bool PrepareReport(bool ClearLastReport = true);
    void ShowReport(bool ClearLastReport = true);
    void ShowPreparedReport();
    bool Print();
    bool Export(TrpCustomExportFilter* Filter);
    void OnTimer(TObject* Sender);
    virtual void InternalOnProgressStart(TrpProgressType ProgressType);
    virtual void InternalOnProgress(TrpProgressType ProgressType, int Progress);
    virtual void InternalOnProgressStop(TrpProgressType ProgressType);
    void SetProgressMessage(const AnsiString& Text);
    void DoNotifyEvent(TObject* Obj, const AnsiString& EventName, bool RunAlways = false);
    void DoParamEvent(const AnsiString& EventName, Variant& Params, bool RunAlways = false);
    void DoBeforePrint(TrpReportComponent* Component);
    void DoAfterPrint(TrpReportComponent* Component);
    bool DoPreviewClick(TrpView* View, TMouseButton Button, TShiftState Shift, bool Modified);
    // The printer named by PrintOptions.Printer becomes current when the printer list has it.
    void SelectPrinter();
    // Open the registered designer (modally); without one they do nothing. DesignReport
    // answers whether a designer was shown, DesignPreviewPage whether it changed the page.
    bool DesignReport();
    // The designer opened from a design-time editor: only for an editor of class
    // "TrpReportEditor" (DesignerIntf is the host's designer interface, not used here).
    bool DesignReport(TObject* DesignerIntf, TObject* Editor);
    bool DesignPreviewPage();
    TrpCustomDesigner* Designer = nullptr;  // the open designer, or none

    // ---- report files: the default compressor, when there is one, decompresses every
    // load and compresses saves of a Compressed report; Preview is never written.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream, bool SaveChildren = true, bool SaveDefaultValues = false) override;

    // ---- script and expressions (rpReportScript.cpp)
    bool PrepareScript();
    Variant Calc(const AnsiString& Expr, TscScript* AScript = nullptr);
    // The value of Expr as printed text. A value that has no text (an array) is an error of
    // the expression, reported and raised as Calc reports its own, with the object's name.
    AnsiString CalcText(const AnsiString& Expr, const Variant& Value);
    // Reports and raises an error of Expr as Calc does: "<object>: <clExprError> '<Expr>': Detail".
    [[noreturn]] void RaiseExpressionError(const AnsiString& Expr, const AnsiString& Detail);
    bool DoGetValue(const AnsiString& Expr, Variant& Value);
    void AddFunction(const AnsiString& FuncName, const AnsiString& Category = {},
                     const AnsiString& Description = {});
    Variant GetScriptValue(TObject* Instance, TClass ClassType, const AnsiString& MethodName, Variant& Params);
    Variant SetScriptValue(TObject* Instance, TClass ClassType, const AnsiString& MethodName, Variant& Params);
    Variant CallMethod(TObject* Instance, TClass ClassType, const AnsiString& MethodName, Variant& Params);
    Variant DoUserFunction(TObject* Instance, TClass ClassType, const AnsiString& MethodName, Variant& Params);

    // ---- owned machinery
    TscScript* GetScript() const { return FScript.get(); }
    TrpExpressionCache* GetExpressionCache() const { return FExpressionCache.get(); }
    TrpCustomEngine* GetEngine() const { return FEngine.get(); }
    TrpCustomPreviewPages* GetPreviewPages() const { return FPreviewPages.get(); }
    TrpDrawText* GetDrawText() const { return FDrawText.get(); }
    TTimer* GetTimer() const { return FTimer.get(); }
    TrpReportDataSets* GetEnabledDataSets() const { return FEnabledDataSets.get(); }
    TrpCustomPreviewForm* PreviewForm() const { return FPreviewForm; }
    TrpCustomProgress* GetProgress() const { return FProgress.get(); }

    // ---- published fields
    bool DotMatrixReport = false;
    AnsiString ScriptLanguage = "PascalScript";
    bool Modified = false;
    bool Preparing = false;  // true inside PrepareReport
    TrpNameList SysVariables;
    TrpBeforePrintEvent OnAfterPrint;
    TrpBeforePrintEvent OnBeforePrint;
    TNotifyEvent OnBeginDoc;
    TrpClickObjectEvent OnClickObject;
    TrpGetValueEvent OnGetValue;
    TrpManualBuildEvent OnManualBuild;
    TrpMouseOverObjectEvent OnMouseOverObject;
    TNotifyEvent OnPrintReport;
    TNotifyEvent OnAfterPrintReport;
    TrpProgressEvent OnProgressStart;
    TrpProgressEvent OnProgress;
    TrpProgressEvent OnProgressStop;
    TrpUserFunctionEvent OnUserFunction;
    AnsiString OnStartReport;  // script procedure names
    AnsiString OnStopReport;

protected:
    std::function<void()> KeepProgramSettings() override;
    std::function<void()> DetachForSave() override;

private:
    void DoClear();
    Variant CalcGuarded(const AnsiString& Expr, TscScript* AScript);
    std::unique_ptr<TscScript> FScript;
    std::unique_ptr<TTimer> FTimer;
    std::unique_ptr<TStringList> FScriptText;
    std::unique_ptr<TrpExpressionCache> FExpressionCache;
    std::unique_ptr<TrpStyles> FStyles;
    std::unique_ptr<TrpReportDataSets> FEnabledDataSets;
    std::unique_ptr<TrpCustomEngine> FEngine;
    std::unique_ptr<TrpCustomPreviewPages> FPreviewPages;
    std::unique_ptr<TrpDrawText> FDrawText;
    std::unique_ptr<TrpCustomProgress> FProgress;
    TComponentRef<TrpDataSet> FDataSet{this};
    AnsiString FDataSetName;
    TrpCustomPreview* FPreview = nullptr;
    TrpCustomPreviewForm* FPreviewForm = nullptr;
    TscCustomVariable* FLocalValue = nullptr;
    bool FTerminated = false;
    int FCalcDepth = 0;
    std::vector<AnsiString> FVariablesInCalc;  // report variables being evaluated now
    friend class TrpBracketItem;
    // The stamps a name was looked up under; any that moved means looking again, so a
    // freed or renamed dataset, a removed variable or script item is never used from here.
    struct TNameGuard {
        uint64_t DataSets = 0, Variables = 0, ScriptItems = 0, SysNames = 0;
        bool operator==(const TNameGuard&) const = default;
    };
    // What each lookup of DoGetValue found for a text, in the order they are tried.
    struct TNameRef {
        explicit TNameRef(const AnsiString& AName) : Name(AName) {}
        const AnsiString Name;
        bool Resolved = false;
        TNameGuard Guard;
        TrpDataSet* DataSet = nullptr;  // with a non-empty Field: a dataset field
        AnsiString Field;
        bool DBField = false;  // DataSet is a plain TrpDBDataset: read through Slot
        TrpDBDataset::TFieldSlot Slot;
        int SysIndex = -1;
        int VarIndex = -1;
        TscCustomVariable* Local = nullptr;
        bool NoName = false;  // none of the above: the text is an expression
        // The compiled form of the text while the expression cache keeps it.
        const TrpCompiledExpression* Function = nullptr;
        uint64_t FunctionGeneration = 0;
        uint64_t FunctionScope = 0;  // Serial of the scope it was compiled for
    };
    std::unordered_map<AnsiString, TNameRef> FNameRefs;
    TNameRef* FLastNameRef = nullptr;  // the record NameRef gave last
    int FNameReads = 0;  // reads under way: the records stay while it is not zero
    TNameGuard NameGuard() const;
    TNameRef& NameRef(const AnsiString& Expr);
    void Resolve(TNameRef& Ref);
    bool ReadName(TNameRef& Ref, Variant& Value);
    bool ReadNameNow(TNameRef& Ref, Variant& Value);
    // Through PageTextLog while one is set: Value as recorded under Key, or Read's.
    template <class F>
    bool LoggedRead(const AnsiString& Key, Variant& Value, F Read);
    // Replaying: the read recorded under Key that the page number did not go into.
    const TPageTextLog::TRead* Recorded(const AnsiString& Key);
    // Runs a compiled expression while PageTextLog is set: recording, with the values of the
    // script variables it reads; replaying, over those values (see TPageTextLog).
    Variant RunLogged(const TrpCompiledExpression* Compiled, TscScript* AScript);
    // IIF while PageTextLog is set: the branch values, and where the page number chose, the
    // other branch's too, read while the data is the record's own.
    Variant LoggedIIF(const Variant& Params, TscScript* AScript);
    // The main script's variables, found again when its items change.
    const std::vector<TscCustomVariable*>& ScriptVariables();
    std::vector<TscCustomVariable*> FScriptVariables;
    uint64_t FScriptVariablesVersion = 0;
    bool FScriptVariablesKnown = false;
    // ReadName's quickest case: a field of a database dataset found before, read from the
    // current row with nothing to open or look up (no code runs); nullptr: take ReadName.
    // SlotField is the same once the stamps are known to stand.
    TField* KnownField(const TNameRef& Ref) const;
    TField* SlotField(const TNameRef& Ref) const;
    // A Null read from a field, given as its type's empty value when ConvertNulls says so.
    void NullAsEmpty(const TNameRef& Ref, Variant& Value);
    void NullAsEmpty(TrpDataSet* DataSet, const AnsiString& Field, Variant& Value);
    // A name read through Get: its value, an aggregate's, or Null with an error line.
    Variant ReadGet(TNameRef& Ref);
};

// The report a component belongs to, as a TrpReport (nullptr when none).
TrpReport* rpReportOf(const TrpComponent* Component);

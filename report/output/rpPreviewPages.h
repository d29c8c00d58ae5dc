// rpPreviewPages.h - the store of prepared pages and the prepared-report file (.rpf).
//
// A prepared page is not a tree of live objects but an element of one XML document whose
// root is "preparedreport": its child "previewpages" holds one element per page, named
// "page" + the index of its source page. Each object on a page is stored as the
// difference between the object as printed and a copy of its template object, taken when
// the template page was registered (AddSourcePage), under a short name ("m1", "b2") that
// the dictionary maps back to that copy. GetPage builds live objects on demand through a
// cache of the 50 most recently used pages; a page from GetPage is valid only until the
// next call on the store.
//
// The same document is the .rpf file: "report" (three display settings), "sourcepages"
// (the template pages), "dictionary", "outline", "anchors", "previewpages".
//
// Reading a file is reading outside data: the XML reader checks syntax, lengths and depth;
// a page or dictionary entry naming a source page that does not exist is ignored; an
// object that cannot be rebuilt is left out of its page with an error line on the report
// instead of failing the whole page; the "report" element can change only the three
// display settings a prepared file carries; a document whose root is not
// "preparedreport" is refused with EXMLFormatError.
//
// Printing (rpPrintPages.cpp) walks the pages through one job of the current report
// printer (rpPrinter.h), which prints through the platform's print backend: recording,
// PDF or a system printer.
#pragma once

#include "report/output/rpOutline.h"

#include "report/model/rpOptions.h"
#include "report/model/rpXML.h"
#include "report/model/rpXMLSerializer.h"

#include "platform/printers/PrintBackend.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

class TrpReportPage;
class TrpView;
class TrpCustomPrinter;
class TrpPageBuilder;

// What one print run prints: the print options, or what the print dialog gave.
struct TrpPrintSettings {
    int Copies = 1;
    bool Collate = true;
    AnsiString PageNumbers;  // "1,3,5-7"; empty: all
    TrpPrintPages PrintPages = ppAll;
    bool Reverse = false;
};


// How a click on a link moves the preview: to page Page (1-based) and, when Top is not
// -1, to that position on it. The preview control installs itself here.
using TrpPreviewNavigator = std::function<void(TrpCustomPreview* Preview, int Page, int Top)>;
void rpSetPreviewNavigator(TrpPreviewNavigator Navigator);

class TrpPreviewPages : public TrpCustomPreviewPages {
    SKLAD_CLASS_NOPUBLISH(TrpPreviewPages, TrpCustomPreviewPages)
public:
    explicit TrpPreviewPages(TrpReport* AReport);
    ~TrpPreviewPages() override;

    int GetCount() override;
    TrpReportPage* GetPage(int Index) override;
    TPoint GetPageSize(int Index) override;
    void Clear() override;
    void Initialize() override;
    void AddObject(TrpComponent* Obj) override;
    void AddPage(TrpReportPage* Page) override;
    void AddSourcePage(TrpReportPage* Page) override;
    void AddToSourcePage(TrpComponent* Obj) override;
    void BeginPass() override;
    void ClearFirstPassPages() override;
    void CutObjects(int Position) override;
    void Finish() override;
    void PasteObjects(Extended X, Extended Y) override;
    // The cut objects go onto the current page, each moved by DX and DY: they keep their
    // places relative to one another and to their column, whichever of them comes first.
    void PasteObjectsBy(Extended DX, Extended DY);
    // The top of the first object cut (PasteObjects moves every cut object as far as it),
    // or nothing when none is cut.
    std::optional<Extended> CutTop() const;
    // The objects of the current page from Position on, taken off it; then added to the
    // current page again, moved by DX and DY (a row moving on with the pages it spans).
    std::unique_ptr<TrpXMLItem> TakeObjects(int Position);
    void PutObjects(std::unique_ptr<TrpXMLItem> Objects, Extended DX, Extended DY);
    bool BandExists(TrpBand* Band) override;
    int GetCurPosition() override;
    Extended GetLastY() override;
    void AddEmptyPage(int Index) override;
    void DeletePage(int Index) override;
    void ModifyPage(int Index, TrpReportPage* Page) override;
    void DrawPage(int Index, TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                  Extended OffsetY) override;
    bool ObjectOver(int Index, int X, int Y, TMouseButton Button, TShiftState Shift, Extended Scale,
                    Extended OffsetX, Extended OffsetY, bool Click, TCursor& Cursor) override;
    void LoadFromStream(TStream& Stream, bool AllowPartialLoading = false) override;
    void SaveToStream(TStream& Stream) override;
    bool LoadFromFile(const AnsiString& FileName, bool ExceptionIfNotFound = false) override;
    void SaveToFile(const AnsiString& FileName) override;
    bool Print() override;
    bool Export(TrpCustomExportFilter* Filter) override;
    void AddAnchor(const AnsiString& Text) override;
    int GetAnchorPage(const AnsiString& Text) override;

    // Prints with these settings on Printer as one job (no dialog, no events): the page
    // walk of Print. Printer errors pass to the caller.
    void PrintTo(TrpCustomPrinter& Printer, const TrpPrintSettings& Settings);

    TrpXMLItem* FindAnchor(const AnsiString& Text);
    TObject* GetObject(const AnsiString& Name) const { return FDictionary.GetObject(Name); }
    TrpXMLItem* CurXMLPage();
    TrpXMLItem* WritablePage(int Index);  // page element Index, back in memory; nil when none
    TrpXMLItem* PagesItem();
    // Also when the store changed: a print run builds the pages it built ahead again.
    void ClearPageCache();
    void ClearSourcePages();
    int SourcePageCount() const { return static_cast<int>(FSourcePages.size()); }
    TrpReportPage* SourcePage(int Index) const;  // nullptr outside
    TrpDictionary& Dictionary() { return FDictionary; }
    TrpXMLDocument* XMLDoc() const { return FXMLDoc.get(); }
    TrpOutline* GetOutline() const;
    // Text of every object of page Index that holds Text (ignoring case): the preview's search.
    std::vector<TrpView*> FindText(int Index, const AnsiString& Text, bool MatchCase = false);
    int CachedPages() const { return static_cast<int>(FCache.size()); }

    int FirstObjectIndex = 0;
    int FirstPageIndex = -1;
    // Memory the pages' objects take while in memory, as AddObject counts it: the pages
    // read back from the swap file count from then until they go out again.
    int64_t MemoryUsed = 0;
    // The same, counted afresh over the pages in memory now.
    int64_t HeldMemory();

private:
    // The outline as a pass began: the number of children of each entry on its last
    // branch (root first). A run only ever appends entries along that branch.
    std::vector<int> FOutlineMark;
    struct TCached {
        int Index;
        std::unique_ptr<TrpReportPage> Page;
    };
    // Builds a print run's next pages while the page before them is drawn (rpPrintPages.cpp).
    friend class TrpPageBuilder;
    void DoAddObject(TrpComponent* Obj, TrpXMLItem* Parent, int Depth);
    // Page Index back from the swap file, counted; and out to it, no longer counted.
    void LoadPage(int Index);
    void UnloadPage(int Index);
    // Pages read back go out again, oldest first, until the memory is within MaxMemSize;
    // page Keep stays.
    void KeepWithinLimit(int Keep);
    // MemoryUsed and FReadBack counted afresh (the pages changed under them).
    void CountHeld();
    std::vector<int> FReadBack;  // pages read back that may go out again, oldest first
    // Problems with single objects become lines of Errors.
    std::unique_ptr<TrpReportPage> BuildPage(TrpXMLItem* Element, int Index, TStrings& Errors);
    void ReadPageObjects(TrpXMLItem* Element, TrpComponent* Parent, int Depth, int PageIndex, TStrings& Errors);
    // Page (page Index of Count) on Canvas; reads nothing of the store.
    void DrawBuiltPage(TrpReportPage* Page, int Index, int Count, TCanvas* Canvas, Extended ScaleX, Extended ScaleY,
                       Extended OffsetX, Extended OffsetY);
    // The cached pages go: on the page builder's thread while a print run has one.
    void DropCachedPages();
    int SourceIndexOfElement(const TrpXMLItem* Element) const;
    void BeforeSave();
    void AfterLoad();
    void ResetDocument();
    bool PrintsPage(int Index, const TrpPrintSettings& Settings, TStrings& PageList);
    bool PrintPage(int Index, TrpCustomPrinter& Printer, const TrpPrintSettings& Settings, TStrings& PageList,
                   bool& Started, int DriverCopies);
    TrpBand* BandOfCopy(TObject* Copy) const;
    // The source copy of a template object, when it is one of this store's.
    TrpComponent* CopyOf(const TrpComponent* Obj) const;

    TrpDictionary FDictionary;
    std::vector<TCached> FCache;  // most recently used first
    std::vector<std::unique_ptr<TrpReportPage>> FSourcePages;
    std::unique_ptr<TrpXMLDocument> FXMLDoc;
    TrpParsedAttrs FParsedBases;  // the copies' texts, read once for all pages
    // The anchors by text (ignoring case), the latest of equal texts, read as far as
    // FAnchorsRead: a report that asks for an anchor's page per row finds each at once.
    struct TAnchorLess {
        bool operator()(const AnsiString& A, const AnsiString& B) const { return AnsiCompareText(A, B) < 0; }
    };
    std::map<AnsiString, TrpXMLItem*, TAnchorLess> FAnchorIndex;
    const TrpXMLItem* FAnchorsOf = nullptr;
    const TrpXMLItem* FLastAnchorRead = nullptr;
    int FAnchorsRead = 0;
    void ForgetAnchors();
    bool FPrinting = false;
    TrpPageBuilder* FBuilder = nullptr;  // while a print run builds ahead
};

// Installs the engine, prepared-pages and outline factories of this layer (start-up).
void rpInstallOutputFactories();

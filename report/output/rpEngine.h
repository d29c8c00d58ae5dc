// rpEngine.h - TrpEngine: turns a report template and its datasets into prepared pages.
//
// One run (Run) in one or two passes:
//
//   Initialize ──fail──────────────────────────────────────────┐
//     │ source pages registered, band trees bound, aggregates   │
//   datasets initialised, OnStartReport                         │
//   RunDialogs ──cancel──┐                                      │
//   pass 1 [pass 2]      │   per report page: InitPage, page    │
//     │                  │   objects, data bands (rows, groups, │
//     │                  │   headers, footers), summary, EndPage│
//   OnStopReport <───────┘                                      │
//   Finalize (always) <─────────────────────────────────────────┘
//
// Page frame: AddPage puts the overlay, then reprints the header list (report title,
// page header, reprinted headers) at the top; EndPage adds the column and page footers.
// A band goes through ShowBand -> DoShow: events, data, stretching, the fit test, then
// split (AllowSplit), a new page or column, or placement.
//
// The run's own state lives in one place, TrpEngineRun (rpEngineRun.h), made when a run
// starts and dropped when it ends: the bands' links and counters, shift lists, growth,
// the pages' master-band lists, and the objects lent to vertical bands. The template is
// the same after a run as before it: objects moved into vertical bands go home at the end.
//
// The engine's code is split by what it does:
//   rpEngine.cpp         the run, its passes and the page frame; binding the band tree
//   rpEngineData.cpp     data bands, groups, headers and footers
//   rpEngineBand.cpp     one band's output: stretching, splitting, keeping together, columns
//   rpEngineSub.cpp      subreports, vertical bands and the outline
//
// Sound behaviour on bad templates and data: a page without printable room, a band that
// can never fit (it would ask for new pages forever), bands or subreports nested without
// end, and expression errors each end the run with a clear line in Report.Errors; the
// pages built so far stay. Report.Terminated (Cancel) is polled between rows and pages,
// and messages are pumped per row so that Cancel is heard during long walks.
#pragma once

#include "report/output/rpAggregate.h"

#include <memory>
#include <vector>
#include <utility>

class TrpBand;
class TrpDataBand;
class TrpGroupHeader;
class TrpReportPage;
class TrpNullBand;
class TrpCustomMemoView;
class TrpPreviewPages;
class TrpEngineRun;
struct TrpVCell;

class TrpHeaderListItem {
public:
    TrpBand* Band = nullptr;
    Extended Left = 0;
    bool IsInKeepList = false;
};

class TrpHeaderList {
public:
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TrpHeaderListItem* Items(int Index) { return &FItems[static_cast<size_t>(Index)]; }
    void AddItem(TrpBand* Band, Extended Left, bool IsInKeepList) { FItems.push_back({Band, Left, IsInKeepList}); }
    void RemoveItem(TrpBand* Band);
    // The kept block closed: the headers it brought are reprinted like any other from now on.
    void BlockClosed()
    {
        for (TrpHeaderListItem& item : FItems)
            item.IsInKeepList = false;
    }

private:
    std::vector<TrpHeaderListItem> FItems;
};

class TrpEngine : public TrpCustomEngine {
    SKLAD_CLASS_NOPUBLISH(TrpEngine, TrpCustomEngine)
public:
    explicit TrpEngine(TrpReport* AReport);
    ~TrpEngine() override;

    void EndPage() override;
    void NewColumn() override;
    void NewPage() override;
    void ShowBand(TrpBand* Band) override;
    void ShowBand(TClass BandClass) override;
    Extended FooterHeight() override;
    Extended FreeSpace() override;
    Variant GetAggregateValue(const AnsiString& Name, const AnsiString& Expression, TrpBand* Band,
                              int Flags) override;
    bool Run() override;
    void ObjectWritten(TrpComponent* Obj, TrpXMLItem* Element) override;
    void ObjectsMoved(TrpXMLItem* Element) override;

    TrpAggregateList* GetAggregateList() { return &AggregateList; }
    TrpBand* GetCurBand() const { return CurBand; }
    // Stops the run with Message as an error line (bad template or data).
    void Fail(const AnsiString& Message);
    // Rows one walk of a band may take before its dataset is taken to never end (a
    // group break restarts a band's row limit, so the limit alone does not end the walk).
    static inline int MaxRowsPerBand = 1000000;
    // The most records of page-number texts (what it takes to make one again for the page
    // it lands on) the last run held at once: what can still move is all it needs to keep.
    size_t PageTextRecordsPeak = 0;

    // ---- state, as the parts of the engine share it
    TrpAggregateList AggregateList;
    bool CallFromAddPage = false;
    Extended ColumnStartY = 0;
    TrpBand* CurBand = nullptr;
    TrpHeaderList HeaderList;
    bool FirstReportPage = false;
    std::vector<TrpBand*> FooterList;
    bool IsFirstBand = false;
    bool IsFirstPage = false;
    bool IsLastPage = false;
    TrpBand* KeepBand = nullptr;
    bool Keeping = false;
    TrpXMLItem* KeepOutline = nullptr;
    // Where the outline stood when the kept block began: what it added since moves with it.
    std::vector<std::pair<TrpXMLItem*, int>> KeepOutlineMark;
    int KeepPosition = 0;
    TrpNullBand* OutputTo = nullptr;
    TrpReportPage* Page = nullptr;
    Extended PageCurX = 0;
    std::vector<TrpBand*> VHeaderList;
    TrpBand* VMasterBand = nullptr;
    std::vector<int> VPageList;

private:
    // rpEngine.cpp
    bool Initialize();
    void Finalize();
    void RestoreTemplate();
    void EndRun();
    bool RunDialogs();
    void RunReportPages();
    void RunPage(TrpReportPage* APage);
    void PreparePage(TStrings* ErrorList, bool Vertical);
    void InitPage();
    void AddPage();
    TrpBand* FindBand(TClass BandClass);
    void BindGroups(std::vector<TrpBand*>& List, TStrings* ErrorList);
    void BindHeadersFooters(std::vector<TrpBand*>& List, TStrings* ErrorList);
    void BindDataBands(std::vector<TrpBand*>& List, int From, TrpBand* Parent, int Level, bool Vertical);
    void PageBody();
    void OutputFooter(TrpBand* Band, bool Reset, int Part = 0);
    void EndPageFooters(bool Reset, int Part);
    bool FooterColumns(TrpBand* Band, std::vector<int>& Parts, Extended StartX = 0);
    void EndFooterColumns();
    void AddBandPart(TrpBand* Band, const std::vector<int>& Parts, int Part);
    void MarkFresh();
    bool AtFreshTop() const;
    void ProcessMessages();
    bool Stopped() const;
    TrpPreviewPages* Pages() const;
    // rpEngineData.cpp
    void ShowDataBands(TrpComponent* Parent, int Depth = 0);
    bool CanShow(TrpComponent* Obj, bool PrintIfEmpty, int Depth = 0);
    // Whether the details of the band's current record print anything.
    bool DetailsToShow(TrpDataBand* Band, int Depth);
    const std::vector<TrpBand*>& BandList(TrpComponent* Obj);
    bool RowLimitReached(TrpBand* Band, int Rows);
    void InitGroups(TrpGroupHeader* Group, int Index, bool ResetLineN);
    void CheckGroups(TrpDataBand* Master, TrpGroupHeader* Group, int ColumnKeepPos, Extended SaveCurY);
    void ShowGroupFooters(TrpGroupHeader* Group, int Index);
    // Takes Band's dataset back to the last record printed, for the footers that close it;
    // gives the steps taken, for ForwardAgain.
    int BackToLastPrinted(TrpDataBand* Band);
    void ForwardAgain(TrpDataBand* Band, int Steps);
    void ResetSuppressValues(TrpBand* Band);
    void NotifyObjects(TrpBand* Band);
    void AddToHeaderList(TrpBand* Band);
    void RemoveFromHeaderList(TrpBand* Band);
    Variant GroupCondition(TrpGroupHeader* Header);
    // rpEngineBand.cpp
    void DoShow(TrpBand* Band);
    void Stretch(TrpBand* Band);
    // The object's GetData; a memo text that reads the page number is remembered so that
    // it can be made again for the page it lands on.
    void GetData(TrpView* View);
    void UnStretch(TrpBand* Band);
    void PrepareShiftTree(TrpBand* Band);
    void ShiftObjects(TrpComponent* Parent, Extended Offset, TrpBand* Band, int Depth);
    void DrawSplit(TrpBand* Band);
    void StartKeep(TrpBand* Band, int Position = 0);
    void EndKeep(TrpBand* Band);
    // The open block begins back where the group headers before it began (same page and
    // column only), and takes their outline entries and reprints along.
    void KeepFromGroupStart();
    void CheckBandColumns(TrpDataBand* Band, int ColumnKeepPos, Extended SaveCurY);
    void AddColumn();
    void ColumnHeaders(Extended X, int Part);
    void EndColumn();
    void OutputColumnFooter(TrpBand* Footer, int Part);
    Extended ColumnLeft(int Column);
    void OutputToCopy(TrpBand* Band);
    // rpEngineSub.cpp
    // ColumnOffset: how far right of CurX the band was placed (its band column's place).
    void CheckSubReports(TrpBand* Band, Extended ColumnOffset = 0);
    void RunInnerSubReports(TrpBand* Band);
    void ShowVBands(TrpBand* Band);
    void ShowVDataBands(TrpComponent* Parent, int Depth);
    void ShowVBand(TrpBand* Band);
    void OutputInParts(TrpBand* Band);
    Extended RowRight(TrpBand* Band, Extended RowX);
    std::vector<int> RelayVBands(TrpBand* Band, const std::vector<TrpVCell>& Cells, int Own, Extended RowX,
                                 Extended Right);
    void AddPartPage(int RowPage, Extended RowY, int Part);
    void DropRowPartPages(int RowPage);
    void PlaceRowParts(std::vector<std::unique_ptr<TrpXMLItem>>& Parts, Extended DX, Extended RowY, Extended DY);
    void AddToVHeaderList(TrpBand* Band);
    void RemoveFromVHeaderList(TrpBand* Band);
    void AddBandOutline(TrpBand* Band);
    void PlaceBand(TrpBand* Band);  // where its outline entry will point
    void MarkRowOutline(TrpBand* Band);
    void KeepRowOutline(TrpBand* Band);
    void AddPageOutline();
    void OutlineRoot();
    void OutlineUp(TrpBand* Band);

    // The state of the run under way (an empty one between runs).
    std::unique_ptr<TrpEngineRun> FRun;
};

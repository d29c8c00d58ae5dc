// rpEngineRun.h - the state of one engine run, and the small helpers the engine's files
// share. Only the engine's own files include it.
//
// TrpEngineRun holds everything a run learns about the template and keeps while it works:
// per band its links (header, footer, group, details), row counters, the last value of a
// group condition and the count of its own objects while copies are appended; per object
// the shift list and how much it grew; per page its master-band lists; and the objects
// lent to vertical bands, to be given back. The engine makes a fresh one for every run and
// drops it at the end, so nothing of a run stays behind, neither in the engine nor on the
// template, and a pointer into a template that was reloaded is never followed.
#pragma once

#include "report/output/rpEngine.h"

#include "report/model/rpBands.h"
#include "report/model/rpPages.h"
#include "report/model/rpViews.h"

#include "platform/rtl/SysUtils.h"

#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

// One vertical band output of a row: where its copies lie among the row's objects and where
// it stood, so the row can be placed again for another column without running anything twice.
struct TrpVCell {
    TrpBand* Band = nullptr;
    int First = 0, End = 0;  // its copies among the row's objects
    Extended Offset = 0;     // its X within the row
    Extended Width = 0;
    int Column = 0;          // its vertical column number
    bool Visible = false;
    bool Repeat = false;     // a header repeated after a wrap
    std::vector<TrpBand*> Headers;  // what a wrap just before it repeats
};

class TrpCustomMemoView;

class TrpEngineRun {
public:
    struct TBandState {
        TrpBand* Header = nullptr;
        TrpBand* Footer = nullptr;
        TrpGroupHeader* Group = nullptr;
        // A data band's details, or a group header's own nested headers (outermost first).
        std::vector<TrpBand*> SubBands;
        int LineN = 0;
        int LineThrough = 0;
        Variant GroupValue;         // a group header's last condition value
        int LeftOut = 0;            // records left out since the last one printed
        bool HasVObjects = false;   // some of its objects lie in vertical bands
        int OwnObjectCount = -1;    // while copies are appended after its own objects
        // The row of a data band under way: the outline level its records' entries go
        // under and how many entries that level had before the row.
        TrpXMLItem* RowOutline = nullptr;
        int RowOutlineCount = 0;
    };
    struct TPageState {
        std::vector<TrpBand*> MasterBands, VMasterBands;
        Extended VBandsLeft = 0;  // where the page's first vertical band lies in the template
    };

    TBandState& Band(TrpComponent* B) { return FBands[B]; }
    TPageState& PageOf(TrpReportPage* P) { return FPages[P]; }
    // The views hanging under a band or a view: they move when it grows.
    std::vector<TrpView*>& ShiftList(TrpComponent* C) { return FShiftLists[C]; }
    bool HasShiftTree(TrpBand* B) const { return FShiftTrees.count(B) != 0; }
    void MarkShiftTree(TrpBand* B) { FShiftTrees[B] = true; }
    // The horizontal band an object was lent from, or nullptr.
    TrpBand* HomeBand(TrpComponent* C) const
    {
        auto it = FHome.find(C);
        return it == FHome.end() ? nullptr : it->second;
    }

    // Lends an object of Home to a vertical band for the run (SetParent is the caller's).
    void Lend(TrpComponent* Object, TrpBand* Home)
    {
        if (!Band(Home).HasVObjects)
            FHomeOrder.emplace_back(Home, Home->Objects());
        FLeft.emplace_back(Object, Object->GetLeft());
        FHome[Object] = Home;
    }
    // Notes where every object of the template stands before the run changes anything.
    void Remember(TrpReport* Report);
    // Gives every lent object back to its home band, in the template's order, every
    // object its place and size from before the run, and every memo another memo flows
    // into its own text and AllowExpressions, so a template run again without
    // being reloaded (and saved after a run) is the template the user made. Objects that
    // are no longer part of the report (freed by a script) are not touched.
    void GiveBack(TrpReport* Report);

    std::unordered_map<TrpComponent*, Extended> Growth;  // how much each stretched object grew
    bool Failed = false;
    // The report page under way has begun a page of its own (InitPage ran).
    bool PageBegun = false;
    int ShowDepth = 0;
    int RunPageDepth = 0;
    // The Y below the frame of the page or column just begun: a band that does not fit
    // there would not fit on any page, so it is placed (overflowing) instead of leaving
    // an empty page behind.
    Extended FreshY = -1;
    int FreshPage = -1;
    // The X of the row whose vertical bands are being output: their columns are placed from
    // it, and a row that goes on over the next page starts there again.
    Extended VRowX = 0;
    // Where that row's vertical columns wrap: the right edge of the page column it lies in
    // on a page of columns (so it never runs over the next column), else the page's.
    Extended VRowRight = 0;
    // The part of a wide row that the page being begun holds: bands reprinted at its top
    // that are wide rows themselves print that part of their columns.
    int AddPagePart = 0;
    // Rows wider than the page go on over the pages after their own: per page of such rows,
    // the pages their further parts lie on. They end with the row's page, with its footers.
    std::map<int, std::set<int>> PartPages;
    // The pages that rows of the page column under way went on over: the column ends on
    // each of them too, with its footer and totals.
    std::set<int> ColumnPartPages;
    // Records split over pages that were counted where their first part printed: the totals
    // of that page's footers show them beside their figures, not those of the page the last
    // part lands on.
    std::set<TrpBand*> CountedEarly;
    // Where the group headers that the last group start showed begin: a block kept together
    // from a later header (an inner group, the record after them with its kept footer) takes
    // them along rather than leaving them alone at the foot of the page or column.
    struct TGroupStart {
        int Page = -1;
        int Column = 0;
        int Position = 0;
        Extended Y = 0;
        std::vector<std::pair<TrpXMLItem*, int>> Outline;  // the outline's mark there
        std::vector<TrpBand*> Headers;                     // the headers shown from there
    };
    TGroupStart GroupStart;
    bool GroupOpened = false;  // the record under way began groups (InitGroups ran for it)
    // The band whose ShowBand opens a block kept with its child bands right after the group
    // headers just shown (the record that began them, an inner header): the block takes them
    // along.
    TrpBand* ChildKeepGroups = nullptr;
    // The row of band columns under way: where its objects begin on each page its further
    // parts lie on (page, position), in the order of the parts.
    std::vector<std::pair<int, int>> RowParts;
    // The page count when that row began: pages from it on were made for its parts.
    int RowFirstNewPage = 0;
    // Where the last row that went on over further pages begins on its own page (page,
    // position): a kept block reaching back over it stays where it is.
    std::pair<int, int> LastRowInParts{-1, 0};
    // Where the page column under way begins below its reprinted headers (page, position):
    // a kept block reaching back before it lies in two columns and cannot move whole.
    std::pair<int, int> ColumnTop{-1, 0};
    // A band of columns whose header is kept with its first row: the block lasts until
    // that row of columns is complete, and moves on with it. Where a block began.
    TrpDataBand* HeaderKeep = nullptr;
    Extended KeepTopY = 0;
    // A page a row of a later page column goes on over: it gets its own bands from the
    // page's frame, and that column its headers, once per page and column.
    bool PartInColumn = false;
    // A row (of a band of columns, or a record to the next page column) moved on before it
    // was placed: the walk's row starts there, below the headers reprinted over it.
    bool RowMoved = false;
    // A row of band columns that did not fit is on its way to the next column or page.
    bool MovingRow = false;
    Extended RowMovedY = 0;
    int RowMovedPosition = 0;
    // A child band of a record in a band of columns, about to be shown: it prints in that
    // record's column (this far right of the page column's left) and, like the record,
    // is tested for room with the whole row of columns.
    struct TColumnChild {
        bool On = false;
        Extended Offset = 0;
    } ColumnChild;
    // Subreports of a record of a band of columns are running: what they print belongs to
    // the record's row, tested for room and moved on with it, not on its own.
    int RowSubreports = 0;
    // Where a band whose outline entry is still to be made was placed (or, not placed,
    // would have gone): its page, its top and the position of its first object there. The
    // entry comes after the band's child bands, subreports and, in a band of columns, the
    // rest of its row, which may each take the page on or move the band: a kept block taken
    // to the next page and a row of columns moving on carry the places of what they move.
    // Level is the outline level the band was placed at: should a page break open the next
    // page's entry before the band's own is made, the band's entry still goes in there.
    struct TPlace {
        TrpBand* Band;
        int Page;
        Extended Top;
        int Position;
        TrpXMLItem* Level;
    };
    std::vector<TPlace> Places;
    // The page of the places of a row held apart while it moves on.
    static constexpr int kHeldPage = -2;
    // The band's place from now on (one per band).
    void Place(TrpBand* Band, int Page, Extended Top, int Position, TrpXMLItem* Level)
    {
        if (Band->OutlineText.empty())
            return;
        std::erase_if(Places, [Band](const TPlace& p) { return p.Band == Band; });
        Places.push_back({Band, Page, Top, Position, Level});
    }
    // An outline entry is deleted: no place may go under it.
    void ForgetLevel(const TrpXMLItem* Level)
    {
        for (TPlace& p : Places)
            if (p.Level == Level)
                p.Level = nullptr;
    }
    // The objects of Page from Position on went to NewPage, DY lower, from NewPosition on.
    void MovePlaces(int Page, int Position, int NewPage, Extended DY, int NewPosition)
    {
        for (TPlace& p : Places)
            if (p.Page == Page && p.Position >= Position) {
                p.Page = NewPage;
                p.Top += DY;
                p.Position = NewPosition + (p.Position - Position);
            }
        for (TLineMark& m : LineMarks)
            if (m.Page == Page && m.Position >= Position) {
                m.Page = NewPage;
                m.Position = NewPosition + (m.Position - Position);
            }
    }
    // The row counters ("Line", "Line#") each band went onto its page with, and where its
    // objects begin there. A page or column footer counts the rows on its page: it shows
    // the counters of the last band still there, not those of a row that did not fit and
    // waits for the next page or column, nor of a kept block that moved on.
    struct TLineMark {
        int Page;
        int Position;
        int Line;
        int LineThrough;
    };
    std::vector<TLineMark> LineMarks;
    // The counters of the last band on Page before Position; false when none lies there.
    bool LinesOn(int Page, int Position, int& Line, int& LineThrough) const
    {
        for (auto it = LineMarks.rbegin(); it != LineMarks.rend(); ++it)
            if (it->Page == Page && it->Position < Position) {
                Line = it->Line;
                LineThrough = it->LineThrough;
                return true;
            }
        return false;
    }
    // Pages before Page take no more footers (a moving row takes from the page it leaves).
    void ForgetLinesBefore(int Page)
    {
        std::erase_if(LineMarks, [Page](const TLineMark& m) { return m.Page != kHeldPage && m.Page < Page; });
    }
    // Where the last row of columns that moved on landed (page, position); page -1 at the
    // top of a fresh page or column, where a kept footer gains nothing by taking it along.
    std::pair<int, int> RowLanded{-1, 0};
    bool RowLandedSet = false;
    std::set<std::pair<int, int>> HeadedColumns;
    // Each vertical band output of the row being laid out, in order.
    std::vector<TrpVCell> VCells;
    bool VRepeating = false;
    // The wide row under way when a footer or a reprinted header prints its own columns in
    // the middle of it (a page or column break the row caused): given back afterwards.
    struct TVRow {
        TrpBand* Master;
        std::vector<int> Pages;
        std::vector<TrpBand*> Headers;
        int Column;
        Extended RowX, RowRight;
    };
    std::vector<TVRow> VRows;
    // The outline entry of the page under way: band entries closing below it stay under it.
    TrpXMLItem* PageEntry = nullptr;
    // A row of the open keep-together block went on over further pages, or the block went
    // on into the next page column.
    bool KeepSpansParts = false;
    const std::vector<TrpBand*> NoBands{};  // the band list of an object that has none

    // A memo text that read the page number, made for one page: what it takes to make it
    // again for the page its object lands on (TrpEngine::ObjectWritten).
    struct TPageText {
        uint32_t Memo = 0;  // handle of the memo whose expressions made it
        AnsiString Source;  // the memo's text before they ran
        AnsiString Text;    // what they made
        int Page = 0;       // for this page index
        std::vector<TrpReport::TPageTextLog::TRead> Reads;
        std::vector<TrpReport::TPageTextLog::TPart> Parts;
    };
    // By live object (a memo, or a copy of one made for a subreport or a vertical band),
    // while its band is output.
    std::unordered_map<TrpComponent*, std::shared_ptr<const TPageText>> PageTexts;
    // By the id a written element carries in its Data: the text it holds and its page.
    struct TWrittenText {
        std::shared_ptr<const TPageText> Made;
        int Page = 0;
    };
    std::unordered_map<uintptr_t, TWrittenText> WrittenTexts;
    // The ids written or moved onto each page, so that a page's records go once nothing on
    // it can move any more (ForgetTextsBefore). An id moved on stays listed under the page it
    // left too; only the page its record names frees it.
    std::map<int, std::vector<uintptr_t>> WrittenOnPage;
    // Frees the records of the texts on pages before Page: a move takes objects from the page
    // under way only, so once the engine has gone on past the page after theirs they stay.
    void ForgetTextsBefore(int Page)
    {
        for (auto it = WrittenOnPage.begin(); it != WrittenOnPage.end() && it->first < Page;
             it = WrittenOnPage.erase(it))
            for (const uintptr_t id : it->second)
                if (const auto w = WrittenTexts.find(id); w != WrittenTexts.end() && w->second.Page == it->first)
                    WrittenTexts.erase(w);
    }
    TrpReport::TPageTextLog Log;
    // The script or a report variable names the page: any memo's text may read it through
    // them. Otherwise only a memo whose own text names it can.
    bool PageNamedElsewhere = false;

private:
    std::unordered_map<TrpComponent*, TBandState> FBands;
    std::unordered_map<TrpReportPage*, TPageState> FPages;
    std::unordered_map<TrpComponent*, std::vector<TrpView*>> FShiftLists;
    std::unordered_map<TrpBand*, bool> FShiftTrees;
    std::unordered_map<TrpComponent*, TrpBand*> FHome;
    std::vector<std::pair<TrpBand*, std::vector<TrpComponent*>>> FHomeOrder;
    std::vector<std::pair<TrpComponent*, Extended>> FLeft;
    struct TGeometry {
        TrpComponent* C;
        Extended Left, Top, Width, Height;
    };
    std::vector<TGeometry> FGeometry;
    struct TFlowTarget {
        TrpCustomMemoView* Memo;
        AnsiString Text;
        bool AllowExpressions;
    };
    std::vector<TFlowTarget> FFlowTargets;
};

namespace rpengine {

constexpr Extended kUnitsPerMM = 3.77953L;
// Deepest nesting of bands shown from bands (child chains, subreports in subreports).
constexpr int kMaxShowDepth = 64;
// Split passes in a row that may place nothing before the band is declared unplaceable.
constexpr int kMaxIdleSplits = 2;

// Text that may read the page number ("Page", "Page#", also in a function or a variable):
// any "page", in any letter case.
inline bool MentionsPage(const AnsiString& Text)
{
    for (size_t i = 0; i + 4 <= Text.size(); ++i)
        if ((Text[i] | 0x20) == 'p' && (Text[i + 1] | 0x20) == 'a' && (Text[i + 2] | 0x20) == 'g' &&
            (Text[i + 3] | 0x20) == 'e')
            return true;
    return false;
}

inline AnsiString Num(Extended V) { return FormatFloat("0.##", static_cast<double>(V)); }

template <class T>
bool Is(const TObject* O)
{
    return dynamic_cast<const T*>(O) != nullptr;
}

// Level of a data band in the master/detail tree: 1 for master data ... 6; 0 for others.
inline int DataLevel(const TrpBand* B)
{
    const int n = B->BandNumber();
    return n >= 6 && n <= 11 ? n - 5 : 0;
}

// The dataset a data band walks: its own, or its row-count dataset.
inline TrpDataSet* DataSetOf(TrpBand* B)
{
    auto* d = dynamic_cast<TrpDataBand*>(B);
    if (!d)
        return nullptr;
    if (d->GetDataSet())
        return d->GetDataSet();
    return d->GetRowCount() >= 1 ? d->VirtualDataSet() : nullptr;
}

// While a page or column footer prints: the counters of the last band on its page, given
// back afterwards to the row the break came in (it goes on with its own on the next page).
class TFooterLines {
public:
    TFooterLines(const TrpEngineRun& Run, int Page, int Position, int& Line, int& LineThrough)
        : FLine(Line), FLineThrough(LineThrough), FSavedLine(Line), FSavedLineThrough(LineThrough)
    {
        Run.LinesOn(Page, Position, Line, LineThrough);
    }
    ~TFooterLines()
    {
        FLine = FSavedLine;
        FLineThrough = FSavedLineThrough;
    }
    TFooterLines(const TFooterLines&) = delete;
    TFooterLines& operator=(const TFooterLines&) = delete;

private:
    int& FLine;
    int& FLineThrough;
    const int FSavedLine;
    const int FSavedLineThrough;
};

inline std::vector<TrpView*> ViewsOf(TrpComponent* C)
{
    std::vector<TrpView*> r;
    for (TrpComponent* o : C->Objects())
        if (auto* v = dynamic_cast<TrpView*>(o))
            r.push_back(v);
    return r;
}

}  // namespace rpengine

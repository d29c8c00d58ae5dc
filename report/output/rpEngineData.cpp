// rpEngineData.cpp - the walk over the data: data bands over their datasets, masters and
// details, whether a band has anything to print, groups that open and close with their
// condition, headers and footers of data bands and the header list they reprint from,
// row counters, and the row limit that stops a dataset that never ends.
#include "report/output/rpEngineRun.h"

#include "report/output/rpEngineConsts.h"
#include "report/output/rpOutline.h"
#include "report/output/rpPreviewPages.h"

#include "report/model/rpMemo.h"
#include "report/model/rpUtils.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>

using namespace rpengine;

const std::vector<TrpBand*>& TrpEngine::BandList(TrpComponent* Obj)
{
    if (auto* page = dynamic_cast<TrpReportPage*>(Obj))
        return FRun->PageOf(page).MasterBands;
    if (auto* band = dynamic_cast<TrpBand*>(Obj))
        return FRun->Band(band).SubBands;
    return FRun->NoBands;
}

bool TrpEngine::CanShow(TrpComponent* Obj, bool PrintIfEmpty, int Depth)
{
    if (PrintIfEmpty)
        return true;
    const std::vector<TrpBand*> list = BandList(Obj);
    bool result = list.empty() && !Is<TrpReportPage>(Obj);
    if (Depth > kMaxShowDepth)
        return result;
    for (TrpBand* band : list) {
        TrpDataSet* ds = DataSetOf(band);
        if (!ds)
            continue;
        auto* d = dynamic_cast<TrpDataBand*>(band);
        Report->DoNotifyEvent(band, d ? d->OnMasterDetail : AnsiString());
        ds->First();
        int walked = 0;
        while (!ds->Eof() && !Stopped() && !RowLimitReached(band, ++walked)) {
            if (CanShow(band, d && d->PrintIfDetailEmpty, Depth + 1)) {
                result = true;
                break;
            }
            ds->Next();
        }
    }
    return result;
}

bool TrpEngine::DetailsToShow(TrpDataBand* Band, int Depth)
{
    if (BandList(Band).empty())
        return false;
    // A record shown only when its details have something has been asked already.
    return !Band->PrintIfDetailEmpty || CanShow(Band, false, Depth);
}

bool TrpEngine::RowLimitReached(TrpBand* Band, int Rows)
{
    if (Rows <= MaxRowsPerBand)
        return false;
    Fail(Format(rpenginemsg::kRowLimit, {Band->Name(), MaxRowsPerBand}));
    return true;
}

void TrpEngine::ResetSuppressValues(TrpBand* Band)
{
    if (!Band)
        return;
    for (TrpComponent* c : Band->Objects())
        if (auto* m = dynamic_cast<TrpCustomMemoView*>(c))
            m->LastText = Null();
}

void TrpEngine::NotifyObjects(TrpBand* Band)
{
    const std::vector<TObject*> list = NotifyList;
    for (TObject* o : list)
        if (auto* c = dynamic_cast<TrpComponent*>(o))
            c->OnNotify(Band);
}

void TrpEngine::AddToHeaderList(TrpBand* Band)
{
    bool reprint = false;
    if (auto* h = dynamic_cast<TrpHeader*>(Band))
        reprint = h->ReprintOnNewPage;
    else if (auto* g = dynamic_cast<TrpGroupHeader*>(Band))
        reprint = g->ReprintOnNewPage;
    if (reprint)
        HeaderList.AddItem(Band, PageCurX, Keeping);
}

void TrpEngine::RemoveFromHeaderList(TrpBand* Band)
{
    if (Band)
        HeaderList.RemoveItem(Band);
}

void TrpEngine::ShowDataBands(TrpComponent* Parent, int Depth)
{
    ProcessMessages();
    if (Stopped())
        return;
    if (Depth > kMaxShowDepth) {
        Fail(Format(rpenginemsg::kNestingTooDeep, {Parent->Name(), kMaxShowDepth}));
        return;
    }
    // A walk run beside a record (its subreports) leaves that record's "moved on" mark as
    // it found it: the record's walk reads it once the record is shown.
    struct TKeepMoved {
        TrpEngineRun& Run;
        const bool Moved = Run.RowMoved;
        const Extended Y = Run.RowMovedY;
        const int Position = Run.RowMovedPosition;
        ~TKeepMoved()
        {
            Run.RowMoved = Moved;
            Run.RowMovedY = Y;
            Run.RowMovedPosition = Position;
        }
    } keepMoved{*FRun};
    const std::vector<TrpBand*> list = BandList(Parent);
    for (TrpBand* b : list) {
        TrpDataSet* ds = DataSetOf(b);
        auto* band = dynamic_cast<TrpDataBand*>(b);
        if (!ds || !band)
            continue;
        TrpEngineRun::TBandState& s = FRun->Band(band);
        ds->First();
        s.LineN = 1;
        s.LineThrough = 1;
        band->SetCurColumn(1);
        ResetSuppressValues(band);
        s.RowOutline = nullptr;
        s.LeftOut = 0;
        bool first = true;
        bool shown = false;
        Extended saveCurY = CurY;
        int columnKeepPos = 0;
        // Where the last row (of columns) begins: the footer's kept block takes it from there.
        std::pair<int, int> footerKeep{-1, 0};
        TrpEngineRun::TGroupStart footerGroups;
        FRun->RowLandedSet = false;
        const auto rowLanded = [&] {
            if (FRun->RowLandedSet)
                footerKeep = FRun->RowLanded;
            FRun->RowLandedSet = false;
        };
        int walked = 0;
        while (!ds->Eof() && !RowLimitReached(band, ++walked)) {
            const bool rowShown = CanShow(band, band->PrintIfDetailEmpty, Depth);
            if (rowShown) {
                // The last row may yet move on with the footer, a row of columns whole: page
                // and column totals take each row once the next one begins (before its block
                // or group ends) or its page ends.
                if (band->KeepFooter && band->GetCurColumn() == 1)
                    AggregateList.EndHold();
                if (first) {
                    if (band->KeepTogether)
                        StartKeep(band);
                    if (band->KeepHeader && s.Header) {
                        StartKeep(band);
                        if (band->Columns >= 2 && !band->KeepTogether && Keeping && KeepBand == band)
                            FRun->HeaderKeep = band;
                    }
                    ShowBand(s.Header);
                    AddToHeaderList(s.Header);
                } else if (!s.Group && band->KeepTogether) {
                    StartKeep(band);
                }
                FRun->GroupOpened = false;
                if (s.Group) {
                    if (first)
                        InitGroups(s.Group, 0, true);
                    else
                        CheckGroups(band, s.Group, columnKeepPos, saveCurY);
                    rowLanded();
                }
                const bool groupsOpened = std::exchange(FRun->GroupOpened, false);
                s.LeftOut = 0;
                if (band->KeepFooter && band->GetCurColumn() == 1) {
                    AggregateList.EndHold();  // a row that a group change ended
                    footerKeep = {PreviewPages->CurPage, PreviewPages->GetCurPosition()};
                    // A record that began its groups takes their headers along with the footer.
                    footerGroups = groupsOpened ? FRun->GroupStart : TrpEngineRun::TGroupStart{};
                    AggregateList.StartHold();
                }
                if (band->GetCurColumn() == 1)
                    MarkRowOutline(band);
                if (band->Columns >= 2 && band->GetCurColumn() == 1) {
                    columnKeepPos = PreviewPages->GetCurPosition();
                    FRun->RowParts.clear();
                    FRun->RowFirstNewPage = PreviewPages->GetCount();
                    AggregateList.StartPending();
                }
                saveCurY = CurY;
                CurLine = s.LineN;
                CurLineThrough = s.LineThrough;
                FRun->RowMoved = false;
                const int rowPage = PreviewPages->CurPage;
                // Where its outline entry points, should it not be placed.
                PlaceBand(band);
                FRun->ChildKeepGroups = groupsOpened ? band : nullptr;
                ShowBand(band);
                // A record moved on to the next page column of its page begins below the
                // headers reprinted there; on a new page it stays as the page break left it.
                const bool moved = std::exchange(FRun->RowMoved, false);
                if (moved && (band->Columns >= 2 || PreviewPages->CurPage == rowPage)) {
                    saveCurY = FRun->RowMovedY;
                    columnKeepPos = FRun->RowMovedPosition;
                    const bool fresh = PreviewPages->CurPage == FRun->FreshPage &&
                                       FRun->RowMovedY <= FRun->FreshY + 0.0001L;
                    footerKeep = {fresh ? -1 : PreviewPages->CurPage, FRun->RowMovedPosition};
                    MarkRowOutline(band);  // none of its entries is made yet
                }
                NotifyObjects(band);
                if (first && band->KeepHeader && s.Header && FRun->HeaderKeep != band)
                    EndKeep(band);
                ++s.LineN;
                ++s.LineThrough;
                first = false;
                shown = true;
                // The column is closed before the details show. A record followed by output of
                // its own (details that print, a footer after each record) closes its whole
                // row: that output follows below the row, from the page column's left, and the
                // next record begins a row of its own. Left open, the row would send it back to
                // its top, over the records beside it.
                if (band->Columns >= 2 && band->GetCurColumn() < band->Columns &&
                    ((band->FooterAfterEach && s.Footer) || DetailsToShow(band, Depth)))
                    band->SetCurColumn(band->Columns);
                CheckBandColumns(band, columnKeepPos, saveCurY);
                rowLanded();
                AddBandOutline(band);
                {
                    // Details between the columns of a row leave the row's parts as they were.
                    std::vector<std::pair<int, int>> rowParts = std::move(FRun->RowParts);
                    ShowDataBands(band, Depth + 1);
                    FRun->RowParts = std::move(rowParts);
                }
                // The details counted their own lines; what follows the record (its footer,
                // the footers of the groups it closes) counts the record's.
                CurLine = s.LineN - 1;
                CurLineThrough = s.LineThrough - 1;
                OutlineUp(band);
            }
            if (!rowShown)
                ++s.LeftOut;
            IsFirstBand = false;
            // A record left out (its details print nothing) leaves out its footer too.
            if (band->FooterAfterEach && rowShown)
                ShowBand(s.Footer);
            // In a band of columns the block is the whole row of columns.
            if (!s.Group && band->KeepTogether && band->GetCurColumn() == 1)
                EndKeep(band);
            ds->Next();
            // Cancel is heard between rows, not only between bands.
            ProcessMessages();
            if ((band->GetRowCount() != 0 && band->GetRowCount() < s.LineN) || Stopped())
                break;
        }
        // The last row of columns closes, and the footers print, with the last record
        // printed, not where the walk stopped: past records left out, or one on after a row
        // count or a count range.
        const int back = shown && !FRun->Failed ? BackToLastPrinted(band) : 0;
        band->SetCurColumn(band->Columns);
        CheckBandColumns(band, columnKeepPos, saveCurY);
        rowLanded();
        if (FRun->HeaderKeep == band || (!s.Group && band->KeepTogether)) {
            EndKeep(band);
            FRun->HeaderKeep = nullptr;
        }
        if (shown && !FRun->Failed) {
            if (s.Group)
                ShowGroupFooters(s.Group, 0);
            if (!band->FooterAfterEach) {
                if (band->KeepFooter) {
                    // A row that moved on, or a page broken after it, leaves nothing here
                    // to take along.
                    const bool rowKept = !Keeping && footerKeep.first == PreviewPages->CurPage;
                    // A last row that the footer's block does not take along counts where it
                    // stays, not with the footer wherever that moves.
                    if (!rowKept)
                        AggregateList.EndHold();
                    StartKeep(band, rowKept ? footerKeep.second : 0);
                    if (rowKept && Keeping && KeepBand == band) {
                        KeepRowOutline(band);
                        FRun->GroupStart = footerGroups;
                        KeepFromGroupStart();
                    }
                    AggregateList.EndHold();  // into the kept block when there is one
                }
                ShowBand(s.Footer);
                if (band->KeepFooter)
                    EndKeep(band);
            }
            RemoveFromHeaderList(s.Header);
            if (s.Group && band->KeepTogether)
                EndKeep(band);
        }
        ForwardAgain(band, back);
        if (band->KeepFooter)
            AggregateList.EndHold();
        if (Stopped())
            return;
        IsFirstBand = false;
    }
}

Variant TrpEngine::GroupCondition(TrpGroupHeader* Header)
{
    Report->CurObject = Header->Name();
    try {
        return Report->Calc(Header->Condition);
    } catch (const Exception& e) {
        Fail(Format(rpenginemsg::kGroupCondition, {Header->Name(), e.Message()}));
        return Null();
    }
}

void TrpEngine::InitGroups(TrpGroupHeader* Group, int Index, bool ResetLineN)
{
    const std::vector<TrpBand*> headers = FRun->Band(Group).SubBands;
    TrpEngineRun::TGroupStart start;
    start.Page = PreviewPages->CurPage;
    start.Column = CurColumn;
    start.Position = PreviewPages->GetCurPosition();
    start.Y = CurY;
    if (auto* outline = dynamic_cast<TrpOutline*>(PreviewPages->Outline()))
        start.Outline = outline->Mark();
    for (size_t i = static_cast<size_t>(std::max(Index, 0)); i < headers.size() && !FRun->Failed; ++i) {
        auto* h = dynamic_cast<TrpGroupHeader*>(headers[i]);
        if (!h)
            continue;
        start.Headers.push_back(h);
        TrpEngineRun::TBandState& s = FRun->Band(h);
        if (ResetLineN) {
            s.LineN = 1;
            s.LineThrough = 1;
            ResetSuppressValues(h);
        } else {
            ++s.LineN;
            if (i + 1 < headers.size())
                FRun->Band(headers[i + 1]).LineN = 0;
            ++s.LineThrough;
        }
        CurLine = s.LineN;
        CurLineThrough = s.LineThrough;
        s.GroupValue = GroupCondition(h);
        if (FRun->Failed)
            return;
        if (h->KeepTogether) {
            StartKeep(h);
            // An inner group kept together takes the outer headers just shown along.
            FRun->GroupStart = start;
            if (Keeping && KeepBand == h)
                KeepFromGroupStart();
        } else if (h->KeepChild) {
            // So does an inner header kept with its child bands.
            FRun->GroupStart = start;
            FRun->ChildKeepGroups = h;
        }
        PlaceBand(h);
        ShowBand(h);
        AddBandOutline(h);
        if (h->Vertical)
            AddToVHeaderList(h);
        else
            AddToHeaderList(h);
    }
    FRun->GroupStart = std::move(start);
    FRun->GroupOpened = true;
}

void TrpEngine::CheckGroups(TrpDataBand* Master, TrpGroupHeader* Group, int ColumnKeepPos, Extended SaveCurY)
{
    const std::vector<TrpBand*> headers = FRun->Band(Group).SubBands;
    for (size_t i = 0; i < headers.size(); ++i) {
        auto* h = dynamic_cast<TrpGroupHeader*>(headers[i]);
        if (!h)
            continue;
        const Variant value = GroupCondition(h);
        if (FRun->Failed)
            return;
        bool differ = false;
        try {
            differ = VarCompare(value, FRun->Band(h).GroupValue) != vrEqual;
        } catch (const Exception&) {
            differ = true;  // values that cannot be compared count as a change
        }
        if (!differ)
            continue;
        // Back to the last record printed, over the records left out since (they may belong
        // to the new group already): the row of columns closes with it too, and a page it
        // breaks reprints the old group's headers with the old group's data.
        const int back = BackToLastPrinted(Master);
        Master->SetCurColumn(Master->Columns);
        CheckBandColumns(Master, ColumnKeepPos, SaveCurY);
        // The row the change closed is final: it cannot go on with the data footer, which
        // does not print here. Its totals count before a kept block of the next group
        // begins, which would take them along to wherever it moves.
        if (Master->KeepFooter)
            AggregateList.EndHold();
        ShowGroupFooters(Group, static_cast<int>(i));
        ForwardAgain(Master, back);
        InitGroups(Group, static_cast<int>(i), false);
        FRun->Band(Master).LineN = 1;
        ResetSuppressValues(Master);
        return;
    }
}

int TrpEngine::BackToLastPrinted(TrpDataBand* Band)
{
    // Every record walked since ends with a Next; Back undoes the last one as it was (a
    // cursor that stayed on the last record stays), the others like Prior.
    TrpDataSet* ds = DataSetOf(Band);
    const int back = 1 + FRun->Band(Band).LeftOut;
    int moved = 0;
    try {
        for (; moved < back; ++moved)
            ds->Back();
    } catch (const Exception&) {
        // A dataset that cannot go back prints its footers where it stands.
        ForwardAgain(Band, moved);
        moved = 0;
    }
    return moved;
}

void TrpEngine::ForwardAgain(TrpDataBand* Band, int Steps)
{
    TrpDataSet* ds = DataSetOf(Band);
    for (; Steps > 0; --Steps)
        ds->Next();
}

void TrpEngine::ShowGroupFooters(TrpGroupHeader* Group, int Index)
{
    const std::vector<TrpBand*> headers = FRun->Band(Group).SubBands;
    for (int i = static_cast<int>(headers.size()) - 1; i >= Index && i >= 0; --i) {
        auto* h = dynamic_cast<TrpGroupHeader*>(headers[static_cast<size_t>(i)]);
        if (!h)
            continue;
        ShowBand(FRun->Band(h).Footer);
        OutlineUp(h);
        if (h->Vertical)
            RemoveFromVHeaderList(h);
        else
            RemoveFromHeaderList(h);
        if (h->KeepTogether)
            EndKeep(h);
    }
}

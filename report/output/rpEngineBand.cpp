// rpEngineBand.cpp - the output of one band: its events and data, stretching objects
// and shifting the ones below, the fit test, splitting a band across pages, keeping a
// block of bands together, page columns and multi-column data bands.
#include "report/output/rpEngineRun.h"

#include "report/output/rpEngineConsts.h"
#include "report/output/rpOutline.h"
#include "report/output/rpPreviewPages.h"
#include "report/output/rpShiftTree.h"

#include "report/model/rpDMPClass.h"
#include "report/model/rpMemo.h"
#include "report/model/rpUtils.h"

#include "platform/classes/Handles.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <utility>

using namespace rpengine;

void TrpEngine::ShowBand(TrpBand* Band)
{
    if (!Band || FRun->Failed || !Running)
        return;
    if (FRun->ShowDepth >= kMaxShowDepth) {
        Fail(Format(rpenginemsg::kNestingTooDeep, {Band->Name(), kMaxShowDepth}));
        return;
    }
    ++FRun->ShowDepth;
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{FRun->ShowDepth};
    // Only the band a record's child chain hands it to prints in that record's column.
    const TrpEngineRun::TColumnChild column = std::exchange(FRun->ColumnChild, {});
    if (std::exchange(FRun->ChildKeepGroups, nullptr) == Band && Band->KeepChild) {
        // The group headers just shown above it go along with it and its child bands.
        StartKeep(Band);
        if (Keeping && KeepBand == Band)
            KeepFromGroupStart();
    } else if (Band->KeepChild) {
        StartKeep(Band);
    }
    FRun->ColumnChild = column;
    DoShow(Band);
    // A record counts where it is printed: its child bands may not fit below it and take
    // the page on, and the footers of the page it is on would not count it. Nothing in a
    // child band reads the totals (only footers and summaries hold them).
    if (Is<TrpDataBand>(Band) && !FRun->CountedEarly.erase(Band))
        AggregateList.AddValue(Band, 0);
    if (Band->GetChild() && (Band->GetVisible() || Band->PrintChildIfInvisible)) {
        // A record of a band of columns: its child goes under it, in its column.
        auto* data = dynamic_cast<TrpDataBand*>(Band);
        if (data && data->Columns >= 2 && !Band->Vertical)
            FRun->ColumnChild = {true, (data->GetCurColumn() - 1) * (data->ColumnWidth + data->ColumnGap)};
        else
            FRun->ColumnChild = column;
        ShowBand(Band->GetChild());
        FRun->ColumnChild = {};
    }
    if (Band->KeepChild)
        EndKeep(Band);
}

void TrpEngine::PrepareShiftTree(TrpBand* Band)
{
    if (FRun->HasShiftTree(Band))
        return;
    FRun->MarkShiftTree(Band);
    const std::vector<TrpView*> views = ViewsOf(Band);
    for (TrpView* v : views)
        FRun->ShiftList(v).clear();
    FRun->ShiftList(Band).clear();
    std::vector<TShiftBox> boxes(views.size());
    for (size_t i = 0; i < views.size(); ++i)
        boxes[i] = {views[i]->GetLeft(), views[i]->GetTop(), views[i]->GetWidth(), views[i]->GetHeight()};
    const std::vector<int> parent = rpShiftParents(boxes);
    for (size_t i = 0; i < views.size(); ++i)
        FRun->ShiftList(parent[i] >= 0 ? static_cast<TrpComponent*>(views[parent[i]]) : Band).push_back(views[i]);
}

void TrpEngine::ShiftObjects(TrpComponent* Parent, Extended Offset, TrpBand* Band, int Depth)
{
    // The shift lists hold no loops; the depth bounds the walk all the same.
    if (!Parent || Depth > Band->ObjectCount())
        return;
    const std::vector<TrpView*> list = FRun->ShiftList(Parent);
    for (TrpView* x : list) {
        if (x->Parent() != Band)
            continue;
        switch (x->ShiftMode) {
        case smAlways: {
            x->SetTop(x->GetTop() + Offset);
            auto g = FRun->Growth.find(x);
            ShiftObjects(x, Offset + (g == FRun->Growth.end() ? 0 : g->second), Band, Depth + 1);
            break;
        }
        case smWhenOverlapped: {
            if (Parent == Band)
                break;  // a top-level object has nothing above it to overlap
            const Extended bottom = Parent->GetTop() + Parent->GetHeight();
            if (x->GetTop() < bottom) {
                const Extended d = bottom - x->GetTop();
                x->SetTop(bottom);
                ShiftObjects(x, d, Band, Depth + 1);
            }
            break;
        }
        case smDontShift:
            break;
        }
    }
}

void TrpEngine::Stretch(TrpBand* Band)
{
    CurBand = Band;
    PrepareShiftTree(Band);
    const bool vmaster = Band == VMasterBand;
    if (!vmaster) {
        Report->CurObject = Band->Name();
        Band->BeforePrint();
        Report->DoBeforePrint(Band);
    }
    bool hasInner = false, grew = false;
    // A band beside vertical bands already holds the copies they made, with their data;
    // its own objects take theirs as in any band.
    const std::vector<TrpView*> views = ViewsOf(Band);
    const int ownCount = FRun->Band(Band).OwnObjectCount;
    const size_t own = vmaster && ownCount >= 0
                           ? static_cast<size_t>(ownCount)
                           : views.size();
    for (size_t i = 0; i < views.size(); ++i) {
        TrpView* v = views[i];
        if (auto* sub = dynamic_cast<TrpSubreport*>(v); sub && sub->PrintOnParent)
            hasInner = true;
        if (i < own) {
            Report->CurObject = v->Name();
            v->BeforePrint();
            if (Band->GetVisible()) {
                Report->DoBeforePrint(v);
                if (v->GetVisible()) {
                    GetData(v);
                    Report->DoNotifyEvent(v, v->OnAfterData);
                }
            }
        }
        FRun->Growth[v] = 0;
        auto* st = dynamic_cast<TrpStretcheable*>(v);
        if (Band->GetVisible() && v->GetVisible() && st && st->StretchMode != smDontStretch) {
            const Extended h = st->CalcHeight();
            if (h > st->GetHeight()) {
                FRun->Growth[v] = h - st->GetHeight();
                st->SetHeight(h);
                grew = true;
            }
        }
    }
    if (!Band->GetVisible())
        return;
    if (grew)
        ShiftObjects(Band, 0, Band, 0);
    if (hasInner)
        RunInnerSubReports(Band);
    // A character printer draws a memo's bottom frame on the row below its text, so that row
    // belongs to the band too.
    auto bottomRow = [](TrpView* v) -> Extended {
        auto* dmp = dynamic_cast<TrpDMPMemoView*>(v);
        return dmp && dmp->GetFrame() && dmp->GetFrame()->Typ.Contains(ftBottom) ? rpCharY : Extended(0);
    };
    Extended maxBottom = 0;
    for (TrpView* v : ViewsOf(Band))
        maxBottom = std::max(maxBottom, v->GetTop() + v->GetHeight() + bottomRow(v));
    if (Band->Stretched)
        Band->SetHeight(maxBottom);
    Report->DoNotifyEvent(Band, Band->OnAfterCalcHeight);
    for (TrpView* v : ViewsOf(Band))
        if (auto* st = dynamic_cast<TrpStretcheable*>(v); st && st->StretchMode == smMaxHeight)
            st->SetHeight(maxBottom - st->GetTop() - bottomRow(v));
}

void TrpEngine::UnStretch(TrpBand* Band)
{
    const std::vector<TrpView*> views = ViewsOf(Band);
    if (Band->GetVisible())
        for (TrpView* v : views) {
            Report->CurObject = v->Name();
            Report->DoAfterPrint(v);
        }
    for (TrpView* v : views) {
        v->AfterPrint();
        FRun->Growth.erase(v);
        FRun->PageTexts.erase(v);
    }
    Report->CurObject = Band->Name();
    Report->DoAfterPrint(Band);
    Band->AfterPrint();
    int& own = FRun->Band(Band).OwnObjectCount;
    if (own >= 0) {
        while (Band->ObjectCount() > own) {
            TrpComponent* copy = Band->Object(Band->ObjectCount() - 1);
            FRun->PageTexts.erase(copy);
            delete copy;
        }
        own = -1;
    }
}

void TrpEngine::DoShow(TrpBand* Band)
{
    const TrpEngineRun::TColumnChild column = std::exchange(FRun->ColumnChild, {});
    TrpEngineRun::TBandState& s = FRun->Band(Band);
    std::vector<int> keptPageList;
    TrpBand* keptVMaster = nullptr;
    std::vector<TrpVCell> keptCells;
    Extended keptRight = 0;
    int keptOwn = 0;
    const Extended startX = CurX;
    // A row's column totals count once it is placed, where it is placed.
    struct Hold {
        TrpAggregateList& List;
        bool On = false;
        void Commit()
        {
            if (On)
                List.Commit();
            On = false;
        }
        ~Hold()
        {
            if (On)
                List.Discard();
        }
    } hold{AggregateList};
    auto* data = dynamic_cast<TrpDataBand*>(Band);
    const bool multiColumn = data && data->Columns >= 2;
    // Where the row starts: its band column's place in a band of columns, or the place of
    // the record a child of such a row belongs to.
    auto rowLeft = [&] {
        if (column.On)
            return CurX + column.Offset;
        return multiColumn ? CurX + (data->GetCurColumn() - 1) * (data->ColumnWidth + data->ColumnGap) : CurX;
    };
    const Extended startRowX = rowLeft();
    Extended columnOffset = 0;  // how far right of CurX the band is placed
    if (s.HasVObjects && !OutputTo) {
        Report->CurObject = Band->Name();
        AggregateList.Hold(Band);
        hold.On = true;
        CurX = startRowX;
        ShowVBands(Band);
        // The row's own objects, and footers after it, read whole-row totals.
        CurVColumn = 0;
        CurX = startX;
        PreviewPages->AddPageAction = apAdd;
        keptPageList = VPageList;
        keptVMaster = VMasterBand;
        keptCells = std::move(FRun->VCells);
        FRun->VCells.clear();
        keptRight = FRun->VRowRight;
        keptOwn = FRun->Band(Band).OwnObjectCount;
    }
    if (Band->Vertical) {
        ShowVBand(Band);
        return;
    }
    if (!CallFromAddPage && Band->GetVisible() && Band->StartNewPage && !OutputTo) {
        const bool firstRow = (data || Is<TrpGroupHeader>(Band)) && s.LineThrough == 1;
        if (!firstRow)
            NewPage();
    }
    Stretch(Band);
    try {
        if (Band->GetVisible() && !FRun->Failed) {
            bool split = false, moved = false;
            // A band reprinted at the top of a fresh page is placed as it is: testing it
            // would ask for another page, which reprints it again, without end. A row of
            // columns is tested after its last column, unless its first column is a wide
            // row: what went on over further pages cannot be moved after it. A record's child
            // in a band of columns, and what its subreports print, is tested with the row it
            // belongs to.
            const bool tested = !column.On && !FRun->RowSubreports &&
                                (!multiColumn || (s.HasVObjects && data->GetCurColumn() == 1));
            if (tested && !Is<TrpOverlay>(Band) && !CallFromAddPage && FreeSpace() < Band->GetHeight() &&
                !OutputTo) {
                if (Band->AllowSplit && !s.HasVObjects) {
                    DrawSplit(Band);
                    split = true;
                } else if (!AtFreshTop()) {
                    moved = true;
                    NewColumn();
                    // A column below the title has no more room than the one before it, and a
                    // kept block taken to the new page may leave too little below it: go on to
                    // the next column or page until the band fits or the place is fresh.
                    for (int k = 0; k < std::max(1, Page->GetColumns()) && !AtFreshTop() && !FRun->Failed &&
                                    FreeSpace() < Band->GetHeight();
                         ++k)
                        NewColumn();
                }
            }
            if (!split && !FRun->Failed && hold.On) {
                // Moved on to a column (or page) of another place or width: its vertical
                // columns are laid out for that place, before anything of it is placed.
                const Extended rowX = rowLeft();
                const Extended right = RowRight(Band, rowX);
                if (std::fabs(static_cast<double>(rowX - startRowX)) > 0.0001 ||
                    std::fabs(static_cast<double>(right - keptRight)) > 0.0001)
                    keptPageList = RelayVBands(Band, keptCells, keptOwn, rowX, right);
                hold.Commit();
            }
            if (moved && data) {
                // The row starts here now, not where its walk began.
                FRun->RowMoved = true;
                FRun->RowMovedY = CurY;
                FRun->RowMovedPosition = PreviewPages->GetCurPosition();
                // The column or page it left has counted what was held; the record's own
                // totals are held again here, for a footer kept with it to take along.
                if (data->KeepFooter && !multiColumn)
                    AggregateList.StartHold();
            }
            if (!split && !FRun->Failed) {
                Band->SetLeft(rowLeft());
                columnOffset = rowLeft() - CurX;
                if (!Is<TrpNullBand>(Band))
                    Band->SetTop(CurY);
                if (!OutputTo && !CallFromAddPage) {
                    PlaceBand(Band);
                    if (!Is<TrpOverlay>(Band))
                        FRun->LineMarks.push_back(
                            {PreviewPages->CurPage, PreviewPages->GetCurPosition(), CurLine, CurLineThrough});
                }
                if (!OutputTo) {
                    if (s.HasVObjects) {
                        VPageList = keptPageList;
                        VMasterBand = keptVMaster;
                        // The row may have gone on to a new column: the rows after it follow it.
                        const Extended rowX = CurX;
                        OutputInParts(Band);
                        CurX = rowX;
                    } else if (!(CallFromAddPage && PreviewPages->BandExists(Band))) {
                        PreviewPages->AddObject(Band);
                    }
                } else {
                    OutputToCopy(Band);
                }
                CurY += Band->GetHeight();
            }
        }
    } catch (...) {
        UnStretch(Band);
        throw;
    }
    hold.Commit();
    UnStretch(Band);
    if (s.HasVObjects)
        VMasterBand = nullptr;
    if (Is<TrpFooter>(Band) || Is<TrpGroupFooter>(Band) || Is<TrpPageFooter>(Band) || Is<TrpReportSummary>(Band))
        AggregateList.Reset(Band);
    if (Band->GetVisible() && !FRun->Failed) {
        // The subreports of a record of a band of columns are part of its row.
        const bool inRow = column.On || multiColumn;
        FRun->RowSubreports += inRow;
        struct TLeave {
            int& Count;
            int By;
            ~TLeave() { Count -= By; }
        } leave{FRun->RowSubreports, inRow};
        CheckSubReports(Band, columnOffset);
    }
}

void TrpEngine::DrawSplit(TrpBand* Band)
{
    std::vector<TrpView*> all = ViewsOf(Band);
    std::vector<TrpView*> work;
    std::map<TrpView*, Extended> full;
    for (TrpView* v : all) {
        if (Is<TrpSubreport>(v))
            continue;
        work.push_back(v);
        if (auto* st = dynamic_cast<TrpStretcheable*>(v)) {
            st->InitPart();
            full[v] = v->GetHeight();
        }
    }
    for (TrpView* v : all)
        v->SetParent(nullptr);
    Extended room = FreeSpace();
    int idle = 0;
    bool firstPart = true;
    // The objects laid out to a part's height so far: only they go on with what they have
    // left; the others still hold their text.
    std::set<TrpView*> parted;
    // The last part of an object prints all it has left. Text that its box is too low for
    // (not one line of it fitted, or the box is lower than the lines left) shows as in a
    // band that is not split, overflowing, rather than being dropped with the rest.
    auto lastPart = [](TrpStretcheable* st) {
        st->DrawPart();
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(st)) {
            const AnsiString rest = memo->RestText.Get();
            if (!rest.empty()) {
                memo->SetText(memo->GetText() + rest);
                memo->RestText = AnsiString();
            }
        }
    };
    while (!work.empty() && !FRun->Failed) {
        std::vector<TrpView*> moved;
        std::vector<TrpView*> still;
        bool placedAny = false;
        auto pushBelow = [&](TrpView* x, Extended by) {
            for (TrpView* y : work) {
                if (y == x || std::find(moved.begin(), moved.end(), y) != moved.end())
                    continue;
                if (x->GetTop() + x->GetHeight() <= y->GetTop() && y->GetLeft() < x->GetLeft() + x->GetWidth() &&
                    x->GetLeft() < y->GetLeft() + y->GetWidth()) {
                    y->SetTop(y->GetTop() + by);
                    moved.push_back(y);
                }
            }
        };
        for (TrpView* x : work) {
            auto* st = dynamic_cast<TrpStretcheable*>(x);
            // At the very top of a fresh part an object that can never fit goes out whole.
            const bool atTop = x->GetTop() <= 0.0001L && idle > 0;
            if (x->GetTop() + x->GetHeight() <= room || (atTop && !st)) {
                x->SetParent(Band);
                placedAny = true;
                // An object that fits whole prints as in a band that is not split: laid out
                // anew to its height, text taller than its box would be left for a part
                // that never comes.
                if (st && parted.count(x))
                    lastPart(st);
                continue;
            }
            if (x->GetTop() >= room) {
                still.push_back(x);
                continue;
            }
            if (!st) {
                pushBelow(x, room - x->GetTop());
                x->SetTop(room);
                still.push_back(x);
                continue;
            }
            const Extended fullH = full[x];
            st->SetHeight(room - st->GetTop());
            const Extended free = st->DrawPart();
            parted.insert(x);
            pushBelow(x, free);
            if (std::fabs(static_cast<double>(free - st->GetHeight())) >= 0.0001) {
                st->SetParent(Band);
                placedAny = true;
                // What is left needs its lines and, in its own part, its frame again.
                full[x] = free + (fullH - st->GetHeight()) + st->PartOverhead();
            } else if (atTop) {
                st->SetHeight(fullH);  // not one line fits a whole part: out it goes, overflowing
                lastPart(st);
                st->SetParent(Band);
                placedAny = true;
                continue;
            } else {
                st->SetTop(room);
                st->SetHeight(fullH);
            }
            still.push_back(x);
        }
        work = still;
        idle = placedAny ? 0 : idle + 1;
        if (idle > kMaxIdleSplits) {
            Fail(Format(rpenginemsg::kBandNeverFits,
                        {Band->Name(), Num(Band->GetHeight()), IntToStr(PreviewPages->CurPage + 1), Num(room)}));
            break;
        }
        Extended height = 0;
        for (TrpView* v : ViewsOf(Band))
            height = std::max(height, v->GetTop() + v->GetHeight());
        Band->SetHeight(height);
        if (work.empty()) {
            for (TrpView* v : ViewsOf(Band)) {
                if (v->Align == baBottom)
                    v->SetTop(height - v->GetHeight());
                if (auto* st = dynamic_cast<TrpStretcheable*>(v); st && st->StretchMode == smMaxHeight)
                    st->SetHeight(height - st->GetTop());
            }
        }
        Band->SetLeft(CurX);
        Band->SetTop(CurY);
        // A band split over pages begins with its first part that holds anything: where
        // nothing of it fitted (at the foot of a page) no empty part is left behind, and its
        // outline entry points where it begins to print.
        if (placedAny) {
            if (firstPart && !CallFromAddPage)
                PlaceBand(Band);
            // A record counts on the page it begins on, where its first part shows its
            // figures, before the page break below prints that page's footers.
            if (firstPart && Is<TrpDataBand>(Band) && !Band->Vertical && !CallFromAddPage && !work.empty()) {
                AggregateList.AddValue(Band, 0);
                FRun->CountedEarly.insert(Band);
            }
            firstPart = false;
            if (!CallFromAddPage)
                FRun->LineMarks.push_back({PreviewPages->CurPage, PreviewPages->GetCurPosition(), CurLine, CurLineThrough});
            PreviewPages->AddObject(Band);
        }
        // The column's footer goes below the part left here, not over it.
        if (work.empty() || placedAny)
            CurY += Band->GetHeight();
        if (!work.empty())
            NewColumn();
        for (TrpView* v : ViewsOf(Band))
            v->SetParent(nullptr);
        for (TrpView* v : work) {
            v->SetTop(v->GetTop() - room);
            if (auto* st = dynamic_cast<TrpStretcheable*>(v)) {
                if (st->GetTop() < 0)
                    st->SetTop(0);
                st->SetHeight(full[v]);
            }
        }
        room = FreeSpace();
    }
    for (TrpView* v : all)
        if (v->Parent() == Band)
            v->SetParent(nullptr);
    for (TrpView* v : all)
        v->SetParent(Band);
}

void TrpEngine::StartKeep(TrpBand* Band, int Position)
{
    // The first band of a page does not start a block: moving it would gain no room. Below
    // the title a new page has more room, so there it does.
    if (Keeping || (IsFirstBand && AtFreshTop()))
        return;
    Keeping = true;
    KeepBand = Band;
    FRun->KeepSpansParts = false;
    KeepPosition = Position ? Position : PreviewPages->GetCurPosition();
    FRun->KeepTopY = CurY;
    // A block that reaches back over a row gone on over further pages stays whole where it
    // is, as one holding such a row from its start does: moving it would leave those parts.
    if (Position && FRun->LastRowInParts.first == PreviewPages->CurPage && FRun->LastRowInParts.second >= Position)
        FRun->KeepSpansParts = true;
    // So does one reaching back into the column before: the page break would take that
    // column's foot and this column's reprinted headers along with it.
    if (Position && FRun->ColumnTop.first == PreviewPages->CurPage && Position < FRun->ColumnTop.second)
        FRun->KeepSpansParts = true;
    KeepOutline = PreviewPages->Outline()->GetCurPosition();
    if (auto* outline = dynamic_cast<TrpOutline*>(PreviewPages->Outline()))
        KeepOutlineMark = outline->Mark();
    AggregateList.StartKeep();
}

void TrpEngine::KeepFromGroupStart()
{
    const TrpEngineRun::TGroupStart& start = FRun->GroupStart;
    if (!Keeping || start.Page != PreviewPages->CurPage || start.Column != CurColumn ||
        start.Position >= KeepPosition || start.Headers.empty())
        return;
    KeepPosition = start.Position;
    FRun->KeepTopY = start.Y;
    if (FRun->LastRowInParts.first == start.Page && FRun->LastRowInParts.second >= start.Position)
        FRun->KeepSpansParts = true;
    if (FRun->ColumnTop.first == start.Page && start.Position < FRun->ColumnTop.second)
        FRun->KeepSpansParts = true;
    // Their outline entries move with them, and a page break does not print them again at
    // the top of the next page above the block that brings them.
    if (!start.Outline.empty())
        KeepOutlineMark = start.Outline;
    for (int i = 0; i < HeaderList.Count(); ++i)
        if (std::find(start.Headers.begin(), start.Headers.end(), HeaderList.Items(i)->Band) != start.Headers.end())
            HeaderList.Items(i)->IsInKeepList = true;
}

void TrpEngine::EndKeep(TrpBand* Band)
{
    if (Band != KeepBand || !Band)
        return;
    KeepBand = nullptr;
    Keeping = false;
    AggregateList.EndKeep();
    HeaderList.BlockClosed();
}

void TrpEngine::CheckBandColumns(TrpDataBand* Band, int ColumnKeepPos, Extended SaveCurY)
{
    if (Band->Columns <= 1)
        return;
    Band->ColumnBottom = std::max(Band->ColumnBottom, CurY);
    // A block that is this row of columns (a header kept with the first row, or each row
    // kept together) moves on as a row does: the next page column takes it too, where a
    // kept block would stay and run over the column's foot.
    const bool rowKept =
        Keeping && KeepBand == Band &&
        (FRun->HeaderKeep == Band ||
         (Band->KeepTogether && !FRun->Band(Band).Group && Page && Page->GetColumns() > CurColumn));
    if (Band->GetCurColumn() < Band->Columns) {
        CurY = SaveCurY;
    } else if (Band->ColumnBottom <= PageHeight - FooterHeight()) {
        CurY = Band->ColumnBottom;
        AggregateList.EndPending();
    } else if (Keeping && !rowKept && !(Page && Page->GetColumns() > CurColumn) && !Pages()) {
        // A store that cannot hold the row apart: the page break takes the kept block, this
        // row with it; its totals count there. The next page column takes no kept block, so
        // there the row moves on alone.
        NewColumn();
    } else {
        // The row of columns moves on, and its totals with it: the footers ending the place
        // it leaves do not count them; a header kept with the first row goes along above it,
        // and a kept block that the page break takes to the next page goes first.
        const int from = rowKept ? KeepPosition : ColumnKeepPos;
        const Extended fromY = rowKept ? FRun->KeepTopY : SaveCurY;
        if (rowKept)
            EndKeep(Band);
        const Extended rowBottom = Band->ColumnBottom;
        // Its further parts on the pages after this one go too, not to be left over there.
        const int rowPage = PreviewPages->CurPage;
        std::vector<std::unique_ptr<TrpXMLItem>> parts;
        if (TrpPreviewPages* pages = Pages())
            for (const auto& [page, position] : FRun->RowParts) {
                pages->CurPage = page;
                parts.push_back(pages->TakeObjects(position));
            }
        PreviewPages->CurPage = rowPage;
        DropRowPartPages(rowPage);
        FRun->RowParts.clear();
        const Extended rowX = CurX;
        // The entries its records made so far go along, where the entries after them go.
        TrpEngineRun::TBandState& s = FRun->Band(Band);
        auto* outline = dynamic_cast<TrpOutline*>(PreviewPages->Outline());
        // Held apart while the row moves; given back where they were should the move fail.
        struct THeld {
            TrpXMLItem Entries;
            TrpXMLItem* Home = nullptr;
            ~THeld()
            {
                while (Home && Entries.Count() > 0)
                    Home->AddItem(Entries.Items(0));
            }
        } held;
        TrpXMLItem& entries = held.Entries;
        if (outline && s.RowOutline) {
            held.Home = s.RowOutline;
            while (s.RowOutline->Count() > s.RowOutlineCount)
                entries.AddItem(s.RowOutline->Items(s.RowOutlineCount));
        }
        // The row is held apart while the column or page changes: a kept block that the page
        // break takes along is cut and pasted on its own, the row follows below it.
        TrpPreviewPages* pages = Pages();
        std::unique_ptr<TrpXMLItem> row;
        if (pages)
            row = pages->TakeObjects(from);
        else
            PreviewPages->CutObjects(from);
        FRun->MovePlaces(rowPage, from, TrpEngineRun::kHeldPage, 0, 0);
        struct Moving {
            bool& Flag;
            ~Moving() { Flag = false; }
        } moving{FRun->MovingRow};
        FRun->MovingRow = true;
        // The column's footer ends it where the row that leaves began, not below its foot.
        CurY = fromY;
        NewColumn();
        // A kept block taken to the new page may leave too little room below it: on to the
        // next column or page, until the row fits or the place is fresh.
        for (int k = 0; pages && k < std::max(1, Page->GetColumns()) && !AtFreshTop() && !FRun->Failed &&
                        CurY + (rowBottom - fromY) > PageHeight - FooterHeight();
             ++k)
            NewColumn();
        FRun->MovingRow = false;
        FRun->RowLanded = {AtFreshTop() ? -1 : PreviewPages->CurPage, PreviewPages->GetCurPosition()};
        FRun->RowLandedSet = true;
        if (FRun->LastRowInParts.first == rowPage && FRun->LastRowInParts.second >= from)
            FRun->LastRowInParts = {PreviewPages->CurPage, PreviewPages->GetCurPosition()};
        const Extended landedY = CurY;
        FRun->MovePlaces(TrpEngineRun::kHeldPage, 0, PreviewPages->CurPage, landedY - fromY,
                         PreviewPages->GetCurPosition());
        // Each record keeps its band column, also when the row's first column printed nothing.
        if (pages)
            pages->PutObjects(std::move(row), CurX - rowX, landedY - fromY);
        else
            PreviewPages->PasteObjects(CurX, CurY);
        if (outline && s.RowOutline) {
            s.RowOutline = outline->Level();
            s.RowOutlineCount = s.RowOutline ? s.RowOutline->Count() : 0;
            outline->MoveEntries(
                &entries, s.RowOutline, static_cast<int>(std::lround(static_cast<double>(landedY - fromY))));
        }
        CurY = CurY + rowBottom - fromY;
        if (!parts.empty())
            PlaceRowParts(parts, CurX - rowX, landedY + SaveCurY - fromY, landedY - fromY);
        AggregateList.EndPending();
    }
    if (Band->GetCurColumn() >= Band->Columns && FRun->HeaderKeep == Band) {
        EndKeep(Band);  // the first row of columns is complete
        FRun->HeaderKeep = nullptr;
    }
    Band->SetCurColumn(Band->GetCurColumn() + 1);
}

void TrpEngine::AddColumn()
{
    ++CurColumn;
    const Extended x = ColumnLeft(CurColumn);
    CurY = ColumnStartY;
    ColumnHeaders(x, FRun->AddPagePart);
    FRun->ColumnTop = {PreviewPages->CurPage, PreviewPages->GetCurPosition()};
    CurX = x + PageCurX;
    // A column is fresh when its page was: below the title a new page has more room.
    if (FRun->FreshPage == PreviewPages->CurPage)
        MarkFresh();
}

void TrpEngine::ColumnHeaders(Extended X, int Part)
{
    const Extended x = X;
    for (int i = 0; i < HeaderList.Count(); ++i) {
        TrpHeaderListItem* item = HeaderList.Items(i);
        CurX = x + item->Left;
        TrpBand* band = item->Band;
        if (!band || (Is<TrpPageHeader>(band) && CurY != 0))
            continue;
        for (int guard = 0; band && guard < kMaxShowDepth; ++guard) {
            band->Overflow = true;
            // A header's objects over vertical bands print per column here too.
            std::vector<int> parts;
            const bool columns = !Is<TrpPageHeader>(band) && FooterColumns(band, parts, CurX);
            Stretch(band);
            try {
                if (band->GetVisible()) {
                    band->SetLeft(CurX);
                    band->SetTop(CurY);
                    if (columns)
                        AddBandPart(band, parts, Part);
                    else if (!Is<TrpPageHeader>(band))
                        PreviewPages->AddObject(band);
                    CurY += band->GetHeight();
                }
            } catch (...) {
                UnStretch(band);
                band->Overflow = false;
                if (columns)
                    EndFooterColumns();
                throw;
            }
            const bool goOn = band->GetVisible() || band->PrintChildIfInvisible;
            UnStretch(band);
            band->Overflow = false;
            if (columns)
                EndFooterColumns();
            if (!goOn)
                break;
            band = band->GetChild();
        }
    }
}

Extended TrpEngine::ColumnLeft(int Column)
{
    TStrings* positions = Page->GetColumnPositions();
    if (Column < 1 || Column - 1 >= positions->Count())
        return 0;
    try {
        return rpStrToFloat(positions->Strings(Column - 1)) * kUnitsPerMM;
    } catch (const Exception&) {
        return 0;
    }
}

void TrpEngine::EndColumn()
{
    if (!FRun->MovingRow) {
        AggregateList.EndHold();  // the rows above count in this column's footer
        AggregateList.EndPending();
    }
    // The column ends on its own page and on every page its rows went on over, each with
    // the footer over the same rows; its totals cover all of them and then start afresh.
    const std::set<int> partPages = std::move(FRun->ColumnPartPages);
    FRun->ColumnPartPages.clear();
    TrpBand* footer = FindBand(TrpColumnFooter::StaticClass());
    if (!footer)
        return;
    const int rowPage = PreviewPages->CurPage;
    const TFooterLines lines(*FRun, rowPage, PreviewPages->GetCurPosition(), CurLine, CurLineThrough);
    OutputColumnFooter(footer, 0);
    int part = 0;
    for (int page : partPages) {
        if (FRun->Failed)
            break;
        PreviewPages->CurPage = page;
        OutputColumnFooter(footer, ++part);
    }
    PreviewPages->CurPage = rowPage;
    AggregateList.Reset(footer);
}

void TrpEngine::OutputColumnFooter(TrpBand* Footer, int Part)
{
    std::vector<int> parts;
    const bool columns = FooterColumns(Footer, parts, CurX);
    Stretch(Footer);
    try {
        if (Footer->GetVisible()) {
            Footer->SetLeft(CurX - PageCurX);
            Footer->SetTop(CurY);
            if (columns)
                AddBandPart(Footer, parts, Part);
            else
                PreviewPages->AddObject(Footer);
        }
    } catch (...) {
        UnStretch(Footer);
        if (columns)
            EndFooterColumns();
        throw;
    }
    UnStretch(Footer);
    if (columns)
        EndFooterColumns();
}

void TrpEngine::OutputToCopy(TrpBand* Band)
{
    TComponent* made = Band->ClassType()->CreateComponent(*OutputTo);
    auto* copy = dynamic_cast<TrpBand*>(made);
    if (!copy) {
        delete made;
        return;
    }
    copy->AssignAll(Band);
    copy->SetLeft(CurX);
    copy->SetTop(CurY);
    // The copies' texts were made for this page too; they follow their band if it moves.
    if (!FRun->PageTexts.empty() && copy->ObjectCount() == Band->ObjectCount())
        for (int i = 0; i < Band->ObjectCount(); ++i)
            if (auto made = FRun->PageTexts.find(Band->Object(i)); made != FRun->PageTexts.end())
                FRun->PageTexts[copy->Object(i)] = made->second;
}

// ---------------------------------------------------------------- page-dependent texts
//
// A band's data is read before the engine tests whether it fits, so a band moved on to a
// later page (a row that does not fit, the later parts of a split band, a kept block or a
// row of columns taken along, subreports printed into a band) holds texts made on the page
// before. Memo texts that read Page or Page# are therefore made again for the page they
// land on: from the same template text, with every other name and total read as it read
// then (the data has moved on since), and no events. Only the element's text changes, so
// everything else about the prepared pages stays as it was.

namespace {

// Ids for written elements, never reused: an element of another run carries none of ours.
std::atomic<uintptr_t> gNextTextId{0};

// The memo whose text may be made again: one whose own expressions made all of it.
TrpCustomMemoView* RemakeableMemo(TrpView* View)
{
    auto* memo = dynamic_cast<TrpCustomMemoView*>(View);
    if (!memo || memo->IsDataField() || !memo->AllowExpressions || memo->SuppressRepeated || memo->GetFlowTo())
        return nullptr;
    return memo;
}

}  // namespace

void TrpEngine::GetData(TrpView* View)
{
    TrpCustomMemoView* memo = FinalPass ? RemakeableMemo(View) : nullptr;
    AnsiString source;
    if (memo && !Report->PageTextLog) {
        source = memo->GetText();
        if (!FRun->PageNamedElsewhere && !MentionsPage(source))
            memo = nullptr;
    }
    if (!memo || Report->PageTextLog) {
        View->GetData();
        return;
    }
    TrpReport::TPageTextLog& log = FRun->Log;
    log.Reads.clear();
    log.Parts.clear();
    log.Replay = false;
    log.PageReads = 0;
    Report->PageTextLog = &log;
    try {
        View->GetData();
    } catch (...) {
        Report->PageTextLog = nullptr;
        throw;
    }
    Report->PageTextLog = nullptr;
    if (log.PageReads == 0) {
        FRun->PageTexts.erase(View);
        return;
    }
    auto made = std::make_shared<TrpEngineRun::TPageText>();
    made->Memo = HandleOf(memo);
    made->Source = source;
    made->Text = memo->GetText();
    made->Page = PreviewPages->CurPage;
    made->Reads = std::move(log.Reads);
    made->Parts = std::move(log.Parts);
    log.Reads = {};
    log.Parts = {};
    FRun->PageTexts[View] = std::move(made);
}

namespace {

// Made's text for page index APage, or nothing when it cannot be made again.
std::optional<AnsiString> RemakeText(TrpReport* Report, TrpEngineRun& Run, const TrpEngineRun::TPageText& Made,
                                     int APage)
{
    auto* memo = dynamic_cast<TrpCustomMemoView*>(LiveObjectOf(Made.Memo));
    if (!memo || Report->PageTextLog)
        return std::nullopt;
    TrpReport::TPageTextLog& log = Run.Log;
    log.Reads = Made.Reads;
    log.Parts = Made.Parts;
    log.NextPart = 0;
    log.Replay = true;
    log.Page = APage;
    log.Next = 0;
    // Whichever way it ends (a stopped run raises through here), the report is as it was.
    struct TRestore {
        TrpReport* Report;
        TrpCustomMemoView* Memo;
        TrpReport::TPageTextLog& Log;
        Variant Value;
        AnsiString Object;
        ~TRestore()
        {
            Report->PageTextLog = nullptr;
            Report->CurObject = Object;
            Memo->Value = Value;
            Log.Replay = false;
            Log.Page = -1;
        }
    } restore{Report, memo, log, memo->Value, Report->CurObject};
    TStringList errors;
    errors.Assign(&Report->Errors);
    Report->PageTextLog = &log;
    Report->CurObject = memo->Name();
    try {
        AnsiString out;
        if (memo->ExpandExpressions(Made.Source, out))
            return out;
    } catch (const std::exception&) {
        // It made a text on its own page; what fails now leaves that text as it was.
        Report->Errors.Assign(&errors);
    }
    return std::nullopt;
}

}  // namespace

void TrpEngine::ObjectWritten(TrpComponent* Obj, TrpXMLItem* Element)
{
    if (!FRun || FRun->PageTexts.empty())
        return;
    const auto made = FRun->PageTexts.find(Obj);
    auto* memo = dynamic_cast<TrpCustomMemoView*>(Obj);
    // A text an event or a split changed since is left as it is.
    if (made == FRun->PageTexts.end() || !memo || memo->GetText() != made->second->Text)
        return;
    const uintptr_t id = ++gNextTextId;
    Element->Data = reinterpret_cast<void*>(id);
    FRun->WrittenTexts[id] = {made->second, made->second->Page};
    FRun->WrittenOnPage[made->second->Page].push_back(id);
    PageTextRecordsPeak = std::max(PageTextRecordsPeak, FRun->WrittenTexts.size());
    ObjectsMoved(Element);
}

void TrpEngine::ObjectsMoved(TrpXMLItem* Element)
{
    if (!FRun || FRun->WrittenTexts.empty() || !Element)
        return;
    const int page = PreviewPages->CurPage;
    std::vector<TrpXMLItem*> todo{Element};
    while (!todo.empty()) {
        TrpXMLItem* item = todo.back();
        todo.pop_back();
        for (int i = 0; i < item->Count(); ++i)
            todo.push_back(item->Items(i));
        if (!item->Data)
            continue;
        const auto written = FRun->WrittenTexts.find(reinterpret_cast<uintptr_t>(item->Data));
        if (written == FRun->WrittenTexts.end() || written->second.Page == page)
            continue;
        // The text as the element keeps it: against its template object, or whole.
        const bool full = !item->PropExists("x");
        if (full && !item->PropExists("Memo.Text"))
            continue;
        written->second.Page = page;
        FRun->WrittenOnPage[page].push_back(written->first);
        if (const std::optional<AnsiString> text = RemakeText(Report, *FRun, *written->second.Made, page))
            item->SetProp(full ? "Memo.Text" : "x", TrpCustomMemoView::StoredText(*text, full));
    }
}

// rpEngineSub.cpp - what grows out of a band: subreports beside it and inside it,
// vertical bands that repeat across a horizontal band and wrap onto further pages, and
// the outline entries of pages and bands.
#include "report/output/rpEngineRun.h"

#include "report/output/rpEngineConsts.h"
#include "report/output/rpPreviewPages.h"

#include "report/model/rpMemo.h"
#include "report/model/rpUtils.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>

using namespace rpengine;

void TrpEngine::CheckSubReports(TrpBand* Band)
{
    const int p0 = PreviewPages->CurPage;
    const int c0 = CurColumn;
    const Extended x1 = CurX, y0 = CurY, x0 = PageCurX;
    int bestPage = p0, bestColumn = c0;
    Extended bestY = y0;
    bool ran = false;
    for (TrpView* v : ViewsOf(Band)) {
        auto* sub = dynamic_cast<TrpSubreport*>(v);
        if (!sub || !sub->GetVisible() || sub->PrintOnParent || !sub->GetSubPage())
            continue;
        PreviewPages->CurPage = p0;
        PageCurX = x0 + sub->GetLeft();
        CurColumn = c0;
        CurX = x1 + sub->GetLeft();
        CurY = y0 - Band->GetHeight() + sub->GetTop();
        RunPage(sub->GetSubPage());
        ran = true;
        const int page = PreviewPages->CurPage;
        if (page > bestPage || (page == bestPage && CurColumn > bestColumn) ||
            (page == bestPage && CurColumn == bestColumn && CurY > bestY)) {
            bestPage = page;
            bestColumn = CurColumn;
            bestY = CurY;
        }
        if (FRun->Failed)
            break;
    }
    if (!ran)
        return;
    PreviewPages->CurPage = bestPage;
    CurColumn = bestColumn;
    CurX = x0;
    if (CurColumn > 1 && CurColumn - 1 < Page->GetColumnPositions()->Count()) {
        try {
            CurX += rpStrToFloat(Page->GetColumnPositions()->Strings(CurColumn - 1)) * kUnitsPerMM;
        } catch (const Exception&) {
        }
    }
    CurY = bestY;
    PageCurX = x0;
}

void TrpEngine::RunInnerSubReports(TrpBand* Band)
{
    const bool outermost = OutputTo == nullptr;
    std::unique_ptr<TrpNullBand> holder;
    if (outermost) {
        FRun->Band(Band).OwnObjectCount = Band->ObjectCount();
        holder = std::make_unique<TrpNullBand>(nullptr);
        OutputTo = holder.get();
    }
    const Extended keptX = CurX, keptY = CurY, keptPageX = PageCurX;
    TrpReportPage* keptPage = Page;
    if (outermost) {
        for (TrpView* v : ViewsOf(Band)) {
            auto* sub = dynamic_cast<TrpSubreport*>(v);
            if (!sub || !sub->GetVisible() || !sub->PrintOnParent || !sub->GetSubPage())
                continue;
            // What the subreport prints moves into the band, so it is placed from the band's
            // left edge, wherever the band itself goes.
            PageCurX = sub->GetLeft();
            CurX = sub->GetLeft();
            CurY = sub->GetTop();
            RunPage(sub->GetSubPage());
        }
    }
    CurX = keptX;
    CurY = keptY;
    PageCurX = keptPageX;
    Page = keptPage;
    if (outermost) {
        OutputTo = nullptr;
        for (TrpComponent* c : holder->GetAllObjects()) {
            auto* v = dynamic_cast<TrpView*>(c);
            if (!v || Is<TrpSubreport>(v))
                continue;
            const Extended l = v->GetAbsLeft(), t = v->GetAbsTop();
            v->SetParent(Band);
            v->SetLeft(l);
            v->SetTop(t);
            if (auto* st = dynamic_cast<TrpStretcheable*>(v))
                st->StretchMode = smDontStretch;
        }
    }
}

void TrpEngine::AddToVHeaderList(TrpBand* Band)
{
    bool reprint = false;
    if (auto* h = dynamic_cast<TrpHeader*>(Band))
        reprint = h->ReprintOnNewPage;
    else if (auto* g = dynamic_cast<TrpGroupHeader*>(Band))
        reprint = g->ReprintOnNewPage;
    if (reprint)
        VHeaderList.push_back(Band);
}

void TrpEngine::RemoveFromVHeaderList(TrpBand* Band)
{
    auto it = std::find(VHeaderList.begin(), VHeaderList.end(), Band);
    if (it != VHeaderList.end())
        VHeaderList.erase(it);
}

void TrpEngine::ShowVBands(TrpBand* Band)
{
    // The band is output in parts across pages and is never split.
    VMasterBand = Band;
    FRun->Band(Band).OwnObjectCount = Band->ObjectCount();
    VHeaderList.clear();
    VPageList.clear();
    VPageList.push_back(0);
    CurVColumn = 0;
    Band->BeforePrint();
    Report->DoBeforePrint(Band);
    // The vertical rows count their own lines; the horizontal row keeps its number.
    const int line = CurLine, lineThrough = CurLineThrough;
    // The first columns start where the vertical bands lie in the template, beside what the
    // row prints itself.
    FRun->VRowX = CurX;
    FRun->VRowRight = PageWidth;
    const bool pageWide = Is<TrpPageHeader>(Band) || Is<TrpPageFooter>(Band) || Is<TrpReportTitle>(Band) ||
                          Is<TrpOverlay>(Band);
    if (Page && !pageWide && CurColumn < Page->GetColumns()) {
        const Extended right = ColumnLeft(CurColumn + 1) + PageCurX;
        if (right > FRun->VRowX)
            FRun->VRowRight = std::min(right, PageWidth);
    }
    CurX += FRun->PageOf(Page).VBandsLeft;
    ShowVDataBands(Page, 0);
    CurLine = line;
    CurLineThrough = lineThrough;
    VPageList.push_back(Band->ObjectCount());
}

void TrpEngine::ShowVDataBands(TrpComponent* Parent, int Depth)
{
    if (Depth > kMaxShowDepth || Stopped())
        return;
    const std::vector<TrpBand*> list =
        Is<TrpReportPage>(Parent) ? FRun->PageOf(static_cast<TrpReportPage*>(Parent)).VMasterBands : BandList(Parent);
    for (TrpBand* b : list) {
        auto* band = dynamic_cast<TrpDataBand*>(b);
        TrpDataSet* ds = DataSetOf(b);
        if (!band || !ds)
            continue;
        TrpEngineRun::TBandState& s = FRun->Band(band);
        ds->First();
        s.LineN = 1;
        s.LineThrough = 1;
        band->SetCurColumn(1);
        ResetSuppressValues(band);
        bool first = true, shown = false;
        int walked = 0;
        while (!ds->Eof() && !Stopped() && !RowLimitReached(band, ++walked)) {
            if (first) {
                ShowBand(s.Header);
                AddToVHeaderList(s.Header);
            }
            if (s.Group) {
                if (first)
                    InitGroups(s.Group, 0, true);
                else
                    CheckGroups(band, s.Group, 0, 0);
            }
            CurLine = s.LineN;
            CurLineThrough = s.LineThrough;
            ShowBand(band);
            NotifyObjects(band);
            ++s.LineN;
            ++s.LineThrough;
            first = false;
            shown = true;
            ShowVDataBands(band, Depth + 1);
            if (band->FooterAfterEach)
                ShowBand(s.Footer);
            ds->Next();
            if (band->GetRowCount() != 0 && band->GetRowCount() < s.LineN)
                break;
        }
        if (s.Group)
            ShowGroupFooters(s.Group, 0);
        if (shown) {
            RemoveFromVHeaderList(s.Header);
            if (!band->FooterAfterEach)
                ShowBand(s.Footer);
        }
    }
}

void TrpEngine::ShowVBand(TrpBand* Band)
{
    if (!VMasterBand)
        return;  // a vertical band outside a horizontal row has nowhere to go
    ++CurVColumn;
    CurBand = (Is<TrpFooter>(Band) || Is<TrpGroupFooter>(Band)) ? Band : VMasterBand;
    Report->CurObject = Band->Name();
    Band->BeforePrint();
    Report->DoBeforePrint(Band);
    if (Band->GetVisible()) {
        if (CurX + Band->GetWidth() > FRun->VRowRight && CurX > FRun->VRowX) {
            CurX = FRun->VRowX;
            VPageList.push_back(VMasterBand->ObjectCount());
            const std::vector<TrpBand*> headers = VHeaderList;
            for (TrpBand* h : headers)
                ShowBand(h);
        }
        for (TrpView* v : ViewsOf(Band)) {
            if (FRun->HomeBand(v) != VMasterBand)
                continue;
            Report->CurObject = v->Name();
            v->BeforePrint();
            Report->DoBeforePrint(v);
            v->GetData();
            Report->DoNotifyEvent(v, v->OnAfterData);
            TComponent* made = v->ClassType()->CreateComponent(*VMasterBand);
            if (auto* copy = dynamic_cast<TrpView*>(made)) {
                copy->Assign(v);
                copy->SetLeft(v->GetLeft() + CurX - FRun->VRowX);  // within the row
                copy->OriginalComponent = v->OriginalComponent;
                copy->AliasName = v->AliasName;
            } else {
                delete made;
            }
            v->AfterPrint();
        }
        CurX += Band->GetWidth();
    }
    Report->CurObject = Band->Name();
    Report->DoAfterPrint(Band);
    Band->AfterPrint();
    AggregateList.AddValue(VMasterBand, CurVColumn);
    if (Is<TrpFooter>(Band) || Is<TrpGroupFooter>(Band))
        AggregateList.Reset(Band);
}

void TrpEngine::OutputInParts(TrpBand* Band)
{
    // Bands reprinted on the pages the row goes on over may be wide rows themselves.
    const std::vector<int> parts = VPageList;
    if (CallFromAddPage) {
        // Reprinted at the top of a page: the part of it that belongs there, no more pages.
        if (!PreviewPages->BandExists(Band))
            AddBandPart(Band, parts, FRun->AddPagePart);
        return;
    }
    if (Keeping && parts.size() > 2)
        FRun->KeepSpansParts = true;
    const int keptPage = PreviewPages->CurPage;
    const int keptColumn = CurColumn;
    const Extended keptY = CurY;
    std::vector<TrpComponent*> objects(Band->Objects());
    for (size_t k = 0; k + 1 < parts.size(); ++k) {
        const int a = parts[k], b = parts[k + 1];
        for (TrpComponent* o : objects)
            o->SetParent(nullptr);
        for (int i = a; i < b && i < static_cast<int>(objects.size()); ++i)
            objects[static_cast<size_t>(i)]->SetParent(Band);
        PreviewPages->AddObject(Band);
        if (k + 2 < parts.size())
            AddPartPage(keptPage, keptY, static_cast<int>(k) + 1);
    }
    for (TrpComponent* o : objects)
        o->SetParent(nullptr);
    for (TrpComponent* o : objects)
        o->SetParent(Band);
    PreviewPages->CurPage = keptPage;
    CurColumn = keptColumn;
    CurY = keptY;
    PreviewPages->AddPageAction = apAdd;
}

void TrpEngine::AddPartPage(int RowPage, Extended RowY, int Part)
{
    // The row's own page stays open for the rows below it: it and the pages its rows go on
    // over end together (EndPage), each with its footers over the same rows.
    PreviewPages->AddPageAction = apWriteOver;
    const int pages = PreviewPages->GetCount();
    const bool first = IsFirstPage;
    const Extended freshY = FRun->FreshY;
    const int freshPage = FRun->FreshPage;
    IsFirstPage = false;  // a page after the row's own is never the first
    FRun->AddPagePart = Part;
    AddPage();
    FRun->AddPagePart = 0;
    IsFirstPage = first;
    FRun->FreshY = freshY;
    FRun->FreshPage = freshPage;
    FRun->PartPages[RowPage].insert(PreviewPages->CurPage);
    FRun->ColumnPartPages.insert(PreviewPages->CurPage);
    if (PreviewPages->GetCount() > pages) {
        // A new page gets its outline entry; the rows' entries stay where they were.
        TrpCustomOutline* outline = PreviewPages->Outline();
        TrpXMLItem* level = outline->CurItem;
        TrpXMLItem* entry = FRun->PageEntry;
        AddPageOutline();
        outline->CurItem = level;
        FRun->PageEntry = entry;
    }
    CurY = RowY;
}

void TrpEngine::AddPageOutline()
{
    if (!Page || Page->OutlineText.empty())
        return;
    OutlineRoot();
    Report->CurObject = Page->Name();
    PreviewPages->Outline()->AddItem(VarToStr(Report->Calc(Page->OutlineText)), 0);
    FRun->PageEntry = PreviewPages->Outline()->CurItem;
}

void TrpEngine::AddBandOutline(TrpBand* Band)
{
    if (!Band || Band->OutlineText.empty())
        return;
    Report->CurObject = Band->Name();
    PreviewPages->Outline()->AddItem(VarToStr(Report->Calc(Band->OutlineText)),
                                     static_cast<int>(std::lround(static_cast<double>(CurY - Band->GetHeight()))));
}

void TrpEngine::OutlineUp(TrpBand* Band)
{
    // A band whose entry opened on an earlier page closes under the entry of the page it
    // ends on, so the entries after it stay under that page's entry, not beside it.
    if (Band && !Band->OutlineText.empty() &&
        !(FRun->PageEntry && PreviewPages->Outline()->CurItem == FRun->PageEntry))
        PreviewPages->Outline()->LevelUp();
}

void TrpEngine::OutlineRoot()
{
    PreviewPages->Outline()->LevelRoot();
    FRun->PageEntry = nullptr;
}

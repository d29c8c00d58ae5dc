// rpEngineSub.cpp - what grows out of a band: subreports beside it and inside it,
// vertical bands that repeat across a horizontal band and wrap onto further pages, and
// the outline entries of pages and bands.
#include "report/output/rpEngineRun.h"

#include "report/output/rpEngineConsts.h"
#include "report/output/rpOutline.h"
#include "report/output/rpPreviewPages.h"

#include "report/model/rpMemo.h"
#include "report/model/rpUtils.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

using namespace rpengine;

void TrpEngine::CheckSubReports(TrpBand* Band, Extended ColumnOffset)
{
    const int p0 = PreviewPages->CurPage;
    const int c0 = CurColumn;
    // A record of a band of columns has its subreports beside it, in its own column.
    const Extended x1 = CurX + ColumnOffset, y0 = CurY, x0 = PageCurX;
    int bestPage = p0, bestColumn = c0;
    Extended bestY = y0;
    bool ran = false;
    for (TrpView* v : ViewsOf(Band)) {
        auto* sub = dynamic_cast<TrpSubreport*>(v);
        if (!sub || !sub->GetVisible() || sub->PrintOnParent || !sub->GetSubPage())
            continue;
        PreviewPages->CurPage = p0;
        PageCurX = x0 + ColumnOffset + sub->GetLeft();
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
    FRun->VRowRight = RowRight(Band, CurX);
    FRun->VCells.clear();
    FRun->VRepeating = false;
    CurX += FRun->PageOf(Page).VBandsLeft;
    ShowVDataBands(Page, 0);
    CurLine = line;
    CurLineThrough = lineThrough;
    VPageList.push_back(Band->ObjectCount());
}

Extended TrpEngine::RowRight(TrpBand* Band, Extended RowX)
{
    // A row in a page column wraps at the column's right edge, a row of a band of columns
    // at its band column's; bands across the page at the page's.
    const bool pageWide = Is<TrpPageHeader>(Band) || Is<TrpPageFooter>(Band) || Is<TrpReportTitle>(Band) ||
                          Is<TrpOverlay>(Band);
    Extended edge = PageWidth;
    if (Page && !pageWide && CurColumn < Page->GetColumns()) {
        const Extended right = ColumnLeft(CurColumn + 1) + PageCurX;
        if (right > RowX)
            edge = std::min(right, PageWidth);
    }
    // A row of a band of columns stays in its band column.
    if (auto* d = dynamic_cast<TrpDataBand*>(Band); d && d->Columns >= 2 && d->ColumnWidth > 0)
        edge = std::min(edge, RowX + d->ColumnWidth);
    return edge;
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
            // The details counted their own lines; what follows the record (its footer, the
            // footers of the groups it closes) counts the record's.
            CurLine = s.LineN - 1;
            CurLineThrough = s.LineThrough - 1;
            if (band->FooterAfterEach)
                ShowBand(s.Footer);
            ds->Next();
            if (band->GetRowCount() != 0 && band->GetRowCount() < s.LineN)
                break;
        }
        // The footers print with the last record, not one on after a row count or a count range.
        const int back = shown ? BackToLastPrinted(band) : 0;
        if (s.Group)
            ShowGroupFooters(s.Group, 0);
        if (shown) {
            RemoveFromVHeaderList(s.Header);
            if (!band->FooterAfterEach)
                ShowBand(s.Footer);
        }
        ForwardAgain(band, back);
    }
}

void TrpEngine::ShowVBand(TrpBand* Band)
{
    if (!VMasterBand)
        return;  // a vertical band outside a horizontal row has nowhere to go
    ++CurVColumn;
    // A vertical footer's cell in a data row totals the row's columns; in a footer or
    // summary row it belongs to that band, as its totals were collected.
    const bool vfooter = Is<TrpFooter>(Band) || Is<TrpGroupFooter>(Band);
    CurBand = vfooter && !rpAggregateHomeBand(VMasterBand) ? Band : VMasterBand;
    Report->CurObject = Band->Name();
    Band->BeforePrint();
    Report->DoBeforePrint(Band);
    TrpVCell cell;
    cell.Band = Band;
    cell.Width = Band->GetWidth();
    cell.Visible = Band->GetVisible();
    cell.Repeat = FRun->VRepeating;
    if (Band->GetVisible()) {
        cell.Headers = VHeaderList;
        if (CurX + Band->GetWidth() > FRun->VRowRight && CurX > FRun->VRowX) {
            CurX = FRun->VRowX;
            VPageList.push_back(VMasterBand->ObjectCount());
            const std::vector<TrpBand*> headers = VHeaderList;
            const bool repeating = FRun->VRepeating;
            FRun->VRepeating = true;
            for (TrpBand* h : headers)
                ShowBand(h);
            FRun->VRepeating = repeating;
            // The headers took numbers of their own: the band takes the next one, so its
            // totals never mix with theirs.
            if (!headers.empty())
                ++CurVColumn;
        }
        cell.First = VMasterBand->ObjectCount();
        cell.Offset = CurX - FRun->VRowX;
        for (TrpView* v : ViewsOf(Band)) {
            if (FRun->HomeBand(v) != VMasterBand)
                continue;
            Report->CurObject = v->Name();
            v->BeforePrint();
            Report->DoBeforePrint(v);
            GetData(v);
            Report->DoNotifyEvent(v, v->OnAfterData);
            TComponent* made = v->ClassType()->CreateComponent(*VMasterBand);
            if (auto* copy = dynamic_cast<TrpView*>(made)) {
                copy->Assign(v);
                if (auto text = FRun->PageTexts.find(v); text != FRun->PageTexts.end())
                    FRun->PageTexts[copy] = text->second;
                copy->SetLeft(v->GetLeft() + CurX - FRun->VRowX);  // within the row
                copy->OriginalComponent = v->OriginalComponent;
                copy->AliasName = v->AliasName;
            } else {
                delete made;
            }
            v->AfterPrint();
            FRun->PageTexts.erase(v);
        }
        cell.End = VMasterBand->ObjectCount();
        CurX += Band->GetWidth();
    }
    cell.Column = CurVColumn;
    FRun->VCells.push_back(std::move(cell));
    Report->CurObject = Band->Name();
    Report->DoAfterPrint(Band);
    Band->AfterPrint();
    AggregateList.AddValue(VMasterBand, CurVColumn);
    if (Is<TrpFooter>(Band) || Is<TrpGroupFooter>(Band))
        AggregateList.Reset(Band);
}

std::vector<int> TrpEngine::RelayVBands(TrpBand* Band, const std::vector<TrpVCell>& Cells, int Own,
                                        Extended RowX, Extended Right)
{
    // The row moved on before it was placed: its vertical columns, laid out where it was,
    // are placed again from RowX. Copies move; wraps fall where this place's edge puts them;
    // headers repeat after the new wraps (copied from their first output) instead of the
    // old ones. Nothing is run again, and the row's held column totals follow the columns.
    std::vector<TrpComponent*> objects(Band->Objects());
    Own = std::clamp(Own, 0, static_cast<int>(objects.size()));
    std::vector<TrpComponent*> order(objects.begin(), objects.begin() + Own);
    std::vector<TrpComponent*> dropped;
    std::vector<int> pages{0};
    std::map<int, int> renumber;              // a column's old number -> its new one
    std::vector<std::pair<int, int>> clones;  // a repeated header: (its first number, new)
    std::map<TrpBand*, const TrpVCell*> firstOf;
    Extended x = RowX + FRun->PageOf(Page).VBandsLeft;
    int column = 0, last = Own;
    auto put = [&](const TrpVCell& c, bool copy) {
        const Extended dx = (x - RowX) - c.Offset;
        for (int i = c.First; i < c.End && i < static_cast<int>(objects.size()); ++i) {
            TrpComponent* o = objects[static_cast<size_t>(i)];
            TrpComponent* placed = o;
            if (copy) {
                TComponent* made = o->ClassType()->CreateComponent(*Band);
                auto* v = dynamic_cast<TrpView*>(made);
                if (!v) {
                    delete made;
                    continue;
                }
                v->Assign(o);
                v->OriginalComponent = o->OriginalComponent;
                v->AliasName = o->AliasName;
                v->SetParent(nullptr);
                placed = v;
            }
            placed->SetLeft(o->GetLeft() + dx);
            order.push_back(placed);
        }
    };
    for (const TrpVCell& c : Cells) {
        last = std::max(last, c.End);
        if (c.Repeat) {
            for (int i = c.First; i < c.End && i < static_cast<int>(objects.size()); ++i)
                dropped.push_back(objects[static_cast<size_t>(i)]);
            continue;
        }
        if (!c.Visible) {
            renumber[c.Column] = ++column;
            continue;
        }
        if (x + c.Width > Right && x > RowX) {
            x = RowX;
            pages.push_back(static_cast<int>(order.size()));
            // Numbered as a wrap numbers them: the band's first number, the headers', then
            // the band's own.
            if (!c.Headers.empty())
                ++column;
            for (TrpBand* h : c.Headers) {
                ++column;
                auto it = firstOf.find(h);
                if (it == firstOf.end())
                    continue;
                clones.emplace_back(it->second->Column, column);
                put(*it->second, true);
                x += it->second->Width;
            }
        }
        renumber[c.Column] = ++column;
        put(c, false);
        x += c.Width;
        firstOf.try_emplace(c.Band, &c);
    }
    pages.push_back(static_cast<int>(order.size()));
    // Whatever came after the columns (a subreport's output inside the row) stays after them.
    for (size_t i = static_cast<size_t>(last); i < objects.size(); ++i)
        order.push_back(objects[i]);
    for (TrpComponent* o : objects)
        o->SetParent(nullptr);
    for (TrpComponent* o : order)
        o->SetParent(Band);
    for (TrpComponent* o : dropped) {
        FRun->Growth.erase(o);
        delete o;
    }
    if (std::vector<TrpHeldValue>* held = AggregateList.Held()) {
        std::vector<TrpHeldValue> moved;
        for (const TrpHeldValue& h : *held)
            if (auto it = renumber.find(h.VColumn); it != renumber.end())
                moved.push_back({h.Item, it->second, h.Value});
        for (const auto& [from, to] : clones)
            for (const TrpHeldValue& h : *held)
                if (h.VColumn == from)
                    moved.push_back({h.Item, to, h.Value});
        *held = std::move(moved);
    }
    FRun->VRowX = RowX;
    FRun->VRowRight = Right;
    return pages;
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
    if (parts.size() > 2)
        FRun->LastRowInParts = {PreviewPages->CurPage, PreviewPages->GetCurPosition()};
    const int keptPage = PreviewPages->CurPage;
    const int keptColumn = CurColumn;
    const Extended keptY = CurY;
    std::vector<TrpComponent*> objects(Band->Objects());
    auto* data = dynamic_cast<TrpDataBand*>(Band);
    const bool rowOfColumns = data && data->Columns >= 2;
    for (size_t k = 0; k + 1 < parts.size(); ++k) {
        const int a = parts[k], b = parts[k + 1];
        for (TrpComponent* o : objects)
            o->SetParent(nullptr);
        for (int i = a; i < b && i < static_cast<int>(objects.size()); ++i)
            objects[static_cast<size_t>(i)]->SetParent(Band);
        // Where the row of columns begins on this part's page: should the row move on,
        // its parts there go with it.
        if (rowOfColumns && k > 0 && FRun->RowParts.size() < k)
            FRun->RowParts.emplace_back(PreviewPages->CurPage, PreviewPages->GetCurPosition());
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
    const bool inColumn = Page && Page->GetColumns() > 1 && CurColumn > 1;
    FRun->PartInColumn = inColumn;
    AddPage();
    FRun->PartInColumn = false;
    if (inColumn && FRun->HeadedColumns.insert({PreviewPages->CurPage, CurColumn}).second) {
        const Extended x = CurX;
        CurY = ColumnStartY;
        ColumnHeaders(ColumnLeft(CurColumn), Part);
        CurX = x;
    }
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

void TrpEngine::DropRowPartPages(int RowPage)
{
    // Pages made for nothing but the parts of a row that moves on hold only their frame
    // once the parts are taken off: the last pages of the report, they go rather than stay
    // blank.
    TrpPreviewPages* pages = Pages();
    if (!pages)
        return;
    std::set<int> made;
    for (const auto& [page, position] : FRun->RowParts)
        if (page > RowPage && page >= FRun->RowFirstNewPage)
            made.insert(page);
    auto* outline = dynamic_cast<TrpOutline*>(PreviewPages->Outline());
    while (!made.empty() && *made.rbegin() == pages->GetCount() - 1) {
        const int page = *made.rbegin();
        made.erase(page);
        pages->DeletePage(page);
        FRun->PartPages[RowPage].erase(page);
        FRun->ColumnPartPages.erase(page);
        std::erase_if(FRun->HeadedColumns, [page](const std::pair<int, int>& h) { return h.first == page; });
        // Its own outline entry, at the root, goes with it.
        TrpXMLItem* root = outline ? outline->Root() : nullptr;
        for (int i = root ? root->Count() - 1 : -1; i >= 0; --i) {
            TrpXMLItem* entry = root->Items(i);
            if (entry->Count() == 0 && entry->Prop("page") == IntToStr(page) && entry != outline->CurItem &&
                entry != FRun->PageEntry) {
                FRun->ForgetLevel(entry);
                delete entry;
            }
        }
    }
}

void TrpEngine::PlaceRowParts(std::vector<std::unique_ptr<TrpXMLItem>>& Parts, Extended DX, Extended RowY,
                              Extended DY)
{
    // A row of columns moved on: its further parts follow on the pages after the one it
    // landed on, at its new place there, each page with its frame as a row's part pages get.
    const int rowPage = PreviewPages->CurPage;
    const int rowColumn = CurColumn;
    const Extended rowX = CurX;
    const Extended rowY = CurY;
    for (size_t k = 0; k < Parts.size() && !FRun->Failed; ++k) {
        AddPartPage(rowPage, RowY, static_cast<int>(k) + 1);
        FRun->RowParts.emplace_back(PreviewPages->CurPage, PreviewPages->GetCurPosition());
        Pages()->PutObjects(std::move(Parts[k]), DX, DY);
    }
    Parts.clear();
    PreviewPages->CurPage = rowPage;
    CurColumn = rowColumn;
    CurX = rowX;
    CurY = rowY;
    PreviewPages->AddPageAction = apAdd;
}

void TrpEngine::AddPageOutline()
{
    if (!Page || Page->OutlineText.empty())
        return;
    OutlineRoot();
    Report->CurObject = Page->Name();
    PreviewPages->Outline()->AddItem(Report->CalcText(Page->OutlineText, Report->Calc(Page->OutlineText)), 0);
    FRun->PageEntry = PreviewPages->Outline()->CurItem;
}

void TrpEngine::AddBandOutline(TrpBand* Band)
{
    if (!Band || Band->OutlineText.empty())
        return;
    Report->CurObject = Band->Name();
    // The entry points at the band's own top, on its own page: by now its child bands,
    // subreports or the rest of its row of columns are out, and may have taken the page on.
    int page = PreviewPages->CurPage;
    Extended top = CurY - Band->GetHeight();
    TrpXMLItem* level = nullptr;
    auto place = std::find_if(FRun->Places.begin(), FRun->Places.end(),
                              [Band](const TrpEngineRun::TPlace& p) { return p.Band == Band; });
    if (place != FRun->Places.end()) {
        page = place->Page;
        top = place->Top;
        level = place->Level;
        FRun->Places.erase(place);
    }
    const AnsiString text = Report->CalcText(Band->OutlineText, Report->Calc(Band->OutlineText));
    TrpCustomOutline* outline = PreviewPages->Outline();
    // The page went on before the entry was made (a child band, a subreport or the band's
    // own parts took it) and opened that page's entry: the band's entry goes where the band
    // was placed, among the entries of its own page, while what follows stays under the
    // new page's entry.
    TrpXMLItem* under = nullptr;
    if (level && FRun->PageEntry && outline->CurItem == FRun->PageEntry &&
        FRun->PageEntry->Prop("page") != IntToStr(page))
        if (auto* tree = dynamic_cast<TrpOutline*>(outline)) {
            TrpXMLItem* pageEntry = level;
            while (pageEntry->Parent() && pageEntry->Parent() != tree->Root())
                pageEntry = pageEntry->Parent();
            if (pageEntry->Parent() && pageEntry->Prop("page") == IntToStr(page))
                under = level;
        }
    struct TOnPage {
        TrpCustomPreviewPages* Pages;
        int Page;
        TrpXMLItem* Level;
        ~TOnPage()
        {
            Pages->CurPage = Page;
            if (Level)
                Pages->Outline()->CurItem = Level;
        }
    } restore{PreviewPages, PreviewPages->CurPage, under ? outline->CurItem : nullptr};
    PreviewPages->CurPage = page;
    if (under)
        outline->CurItem = under;
    outline->AddItem(text, static_cast<int>(std::lround(static_cast<double>(top))));
}

void TrpEngine::PlaceBand(TrpBand* Band)
{
    FRun->Place(Band, PreviewPages->CurPage, CurY, PreviewPages->GetCurPosition(), PreviewPages->Outline()->CurItem);
}

void TrpEngine::MarkRowOutline(TrpBand* Band)
{
    // The entries the row's records make from here on go where the row goes.
    TrpEngineRun::TBandState& s = FRun->Band(Band);
    auto* outline = dynamic_cast<TrpOutline*>(PreviewPages->Outline());
    s.RowOutline = outline ? outline->Level() : nullptr;
    s.RowOutlineCount = s.RowOutline ? s.RowOutline->Count() : 0;
}

void TrpEngine::KeepRowOutline(TrpBand* Band)
{
    // A block begun back at the start of the last row takes that row's entries too, made
    // before the block began.
    const TrpEngineRun::TBandState& s = FRun->Band(Band);
    if (!s.RowOutline)
        return;
    for (auto& [level, count] : KeepOutlineMark)
        if (level == s.RowOutline) {
            count = std::min(count, s.RowOutlineCount);
            return;
        }
    KeepOutlineMark.insert(KeepOutlineMark.begin(), {s.RowOutline, s.RowOutlineCount});
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

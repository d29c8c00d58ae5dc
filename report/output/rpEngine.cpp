// rpEngine.cpp - the run as a whole: its passes, the dialogs, each report page in turn,
// the page frame (new page, overlay, headers reprinted at the top, column and page
// footers, title and summary), and the binding of each page's band tree (groups, headers
// and footers, masters and details) before the run. What happens to one band is in
// rpEngineBand.cpp; the walk over the data in rpEngineData.cpp.
#include "report/output/rpEngine.h"

#include "report/output/rpEngineConsts.h"
#include "report/output/rpEngineRun.h"
#include "report/output/rpOutline.h"
#include "report/output/rpPreviewPages.h"

#include "report/model/rpDialogs.h"
#include "report/model/rpMemo.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <unordered_set>

using namespace rpengine;

void TrpHeaderList::RemoveItem(TrpBand* Band)
{
    for (auto it = FItems.begin(); it != FItems.end(); ++it)
        if (it->Band == Band) {
            FItems.erase(it);
            return;
        }
}

SKLAD_DEFINE_ABSTRACT_CLASS(TrpEngine)

TrpEngine::TrpEngine(TrpReport* AReport)
    : TrpCustomEngine(AReport), AggregateList(AReport), FRun(std::make_unique<TrpEngineRun>())
{
    AggregateList.HomeBand = [this](TrpCustomMemoView* Memo) { return FRun->HomeBand(Memo); };
}

TrpEngine::~TrpEngine() = default;

TrpPreviewPages* TrpEngine::Pages() const { return dynamic_cast<TrpPreviewPages*>(PreviewPages); }

void TrpEngine::ProcessMessages()
{
    if (Application)
        Application->ProcessMessages();
}

bool TrpEngine::Stopped() const { return FRun->Failed || Report->GetTerminated(); }

void TrpEngine::Fail(const AnsiString& Message)
{
    Report->Errors.Add(Message);
    FRun->Failed = true;
    Report->SetTerminated(true);
}

TrpBand* TrpEngine::FindBand(TClass BandClass) { return Page ? Page->FindBand(BandClass) : nullptr; }

Extended TrpEngine::FooterHeight()
{
    Extended h = 0;
    for (TrpBand* b : FooterList)
        if (b)
            h += b->GetHeight();
    return h;
}

Extended TrpEngine::FreeSpace() { return PageHeight - FooterHeight() - CurY; }

Variant TrpEngine::GetAggregateValue(const AnsiString& Name, const AnsiString& Expression, TrpBand* Band, int Flags)
{
    return AggregateList.GetValue(CurBand, CurVColumn, Name, Expression, Band, Flags);
}

bool TrpEngine::Run()
{
    bool result = false;
    bool countingPass = false;  // the first of two passes is running
    // A fresh state for this run; it is dropped when the run ends, whichever way.
    FRun = std::make_unique<TrpEngineRun>();
    struct Drop {
        TrpEngine& Engine;
        ~Drop() { Engine.EndRun(); }
    } drop{*this};
    if (!Pages()) {
        Report->Errors.Add(rpenginemsg::kNoPreviewPages);
        return false;
    }
    FRun->PageNamedElsewhere = MentionsPage(Report->GetScriptText()->GetText());
    for (int i = 0; i < Report->GetVariables()->Count() && !FRun->PageNamedElsewhere; ++i) {
        const Variant& v = Report->GetVariables()->Items(i)->GetValue();
        FRun->PageNamedElsewhere = VarIsStr(v) && MentionsPage(v.AsString());
    }
    try {
        if (Initialize()) {
            Report->GetDataSets()->Initialize();
            Report->DoNotifyEvent(Report, Report->OnStartReport);
            if (RunDialogs()) {
                result = true;
                FinalPass = !GetDoublePass();
                TotalPages = 0;
                PreviewPages->BeginPass();
                countingPass = GetDoublePass();
                StopCalled = false;
                RunReportPages();
                countingPass = false;
                // A report that ends itself with StopReport ends again in the final pass, where
                // its script says so: the first pass has counted the pages up to there.
                if (GetDoublePass() && StopCalled && !FRun->Failed && Report->GetTerminated())
                    Report->SetTerminated(false);
                if (GetDoublePass() && !Stopped()) {
                    // The first pass's outline entries are gone with its pages.
                    Keeping = false;
                    KeepBand = nullptr;
                    KeepOutline = nullptr;
                    KeepOutlineMark.clear();
                    FRun->Places.clear();
                    FRun->LineMarks.clear();
                    TotalPages = PreviewPages->GetCount();
                    PreviewPages->ClearFirstPassPages();
                    FRun->LastRowInParts = {-1, 0};  // its pages are gone
                    FRun->RowParts.clear();
                    AggregateList.ClearValues();
                    FinalPass = true;
                    RunReportPages();
                } else if (GetDoublePass()) {
                    // Stopped while counting pages: the first pass's pages hold no text yet
                    // and must not be shown.
                    PreviewPages->ClearFirstPassPages();
                    KeepOutlineMark.clear();
                }
            }
            Report->DoNotifyEvent(Report, Report->OnStopReport);
        }
    } catch (...) {
        if (countingPass)
            PreviewPages->ClearFirstPassPages();
        Finalize();
        throw;
    }
    Finalize();
    return result;
}

bool TrpEngine::Initialize()
{
    PreviewPages->Initialize();
    StartDate = Date();
    StartTime = Time();
    Running = true;
    PageTextRecordsPeak = 0;
    Keeping = false;
    CurVColumn = 0;
    OutputTo = nullptr;
    AggregateList.Clear();
    FRun->Remember(Report);
    for (int i = 0; i < Report->GetPagesCount(); ++i) {
        auto* page = dynamic_cast<TrpReportPage*>(Report->GetPages(i));
        if (!page) {
            if (auto* dialog = dynamic_cast<TrpDialogPage*>(Report->GetPages(i)))
                dialog->Initialize();
            continue;
        }
        Page = page;
        PreviewPages->AddSourcePage(page);
        PreparePage(&Report->Errors, false);
        PreparePage(&Report->Errors, true);
        const TrpEngineRun::TPageState& masters = FRun->PageOf(page);
        AggregateList.AddItems(page, masters.MasterBands, masters.VMasterBands, [this](TrpBand* B) {
            TrpAggregateList::TBandLinks links;
            TrpEngineRun::TBandState& s = FRun->Band(B);
            links.Footer = s.Footer;
            if (s.Group) {
                links.Group = s.Group;
                for (TrpBand* h : FRun->Band(s.Group).SubBands) {
                    links.GroupHeaders.push_back(h);
                    links.GroupFooters.push_back(FRun->Band(h).Footer);
                }
            }
            links.Details = FRun->Band(B).SubBands;
            links.Vertical = B->Vertical;
            return links;
        });
        // A page with no room between its margins could never take a line.
        const Extended h = (page->GetPaperHeight() - page->TopMargin - page->BottomMargin) * kUnitsPerMM;
        const Extended w = (page->GetPaperWidth() - page->LeftMargin - page->RightMargin) * kUnitsPerMM;
        if (!page->IsSubReport() && (h < 1 || w < 1))
            Report->Errors.Add(Format(rpenginemsg::kPageTooSmall, {page->Name(), Num(w), Num(h)}));
    }
    TrpDataSet* reportDS = Report->GetDataSet();
    for (int i = 0; i < Report->GetPagesCount(); ++i) {
        auto* page = dynamic_cast<TrpReportPage*>(Report->GetPages(i));
        if (!page)
            continue;
        if (reportDS && reportDS == page->GetDataSet()) {
            Report->Errors.Add("Cannot use the same dataset for Report.DataSet and Page.DataSet");
            break;
        }
        for (TrpBand* b : FRun->PageOf(page).MasterBands) {
            TrpDataSet* ds = DataSetOf(b);
            if (reportDS && ds == reportDS) {
                Report->Errors.Add("Cannot use the same dataset for Report.DataSet and Band.DataSet");
                break;
            }
            if (page->GetDataSet() && ds == page->GetDataSet()) {
                Report->Errors.Add("Cannot use the same dataset for Page.DataSet and Band.DataSet");
                break;
            }
        }
    }
    return Report->Errors.Count() == 0;
}

void TrpEngine::RestoreTemplate() { FRun->GiveBack(Report); }

void TrpEngine::EndRun()
{
    // Nothing of the run points into the template any more: it may be reloaded or freed.
    FRun = std::make_unique<TrpEngineRun>();
    HeaderList.Clear();
    FooterList.clear();
    VHeaderList.clear();
    VPageList.clear();
    Page = nullptr;
    CurBand = nullptr;
    KeepBand = nullptr;
    KeepOutline = nullptr;
    KeepOutlineMark.clear();
    Keeping = false;
    OutputTo = nullptr;
    VMasterBand = nullptr;
}

void TrpEngineRun::Remember(TrpReport* Report)
{
    FGeometry.clear();
    FFlowTargets.clear();
    std::unordered_set<TrpCustomMemoView*> targets;
    for (int i = 0; i < Report->GetPagesCount(); ++i)
        for (TrpComponent* c : Report->GetPages(i)->GetAllObjects()) {
            FGeometry.push_back({c, c->GetLeft(), c->GetTop(), c->GetWidth(), c->GetHeight()});
            // The run writes the text that does not fit into the memo it flows to.
            auto* m = dynamic_cast<TrpCustomMemoView*>(c);
            if (m && m->GetFlowTo() && targets.insert(m->GetFlowTo()).second)
                FFlowTargets.push_back({m->GetFlowTo(), m->GetFlowTo()->GetText(), m->GetFlowTo()->AllowExpressions});
        }
}

void TrpEngineRun::GiveBack(TrpReport* Report)
{
    if (FHomeOrder.empty() && FGeometry.empty() && FFlowTargets.empty())
        return;
    std::unordered_set<TrpComponent*> alive;
    for (int i = 0; i < Report->GetPagesCount(); ++i)
        for (TrpComponent* c : Report->GetPages(i)->GetAllObjects())
            alive.insert(c);
    for (auto& [o, left] : FLeft)
        if (alive.count(o))
            o->SetLeft(left);
    for (auto& [home, order] : FHomeOrder) {
        if (!alive.count(home))
            continue;
        for (TrpComponent* o : order)
            if (alive.count(o))
                o->SetParent(nullptr);
        for (TrpComponent* o : order)
            if (alive.count(o))
                o->SetParent(home);
    }
    for (const TGeometry& g : FGeometry)
        if (alive.count(g.C)) {
            g.C->SetLeft(g.Left);
            g.C->SetTop(g.Top);
            g.C->SetWidth(g.Width);
            g.C->SetHeight(g.Height);
        }
    for (const TFlowTarget& t : FFlowTargets)
        if (alive.count(t.Memo)) {
            t.Memo->SetText(t.Text);
            t.Memo->AllowExpressions = t.AllowExpressions;
        }
    FHomeOrder.clear();
    FLeft.clear();
    FHome.clear();
    FGeometry.clear();
    FFlowTargets.clear();
}

void TrpEngine::Finalize()
{
    RestoreTemplate();
    try {
        Report->GetDataSets()->Finalize();
    } catch (...) {
        PreviewPages->Finish();
        Running = false;
        throw;
    }
    PreviewPages->Finish();
    Running = false;
}

bool TrpEngine::RunDialogs()
{
    for (int i = 0; i < Report->GetPagesCount(); ++i) {
        auto* dialog = dynamic_cast<TrpDialogPage*>(Report->GetPages(i));
        if (!dialog || !dialog->GetVisible())
            continue;
        dialog->Form()->SetBorderStyle(dialog->BorderStyle);
        if (dialog->Form()->ControlCount() == 0)
            continue;
        int result = 0;
        if (OnRunDialogs) {
            OnRunDialogs(dialog);
            result = dialog->GetModalResult();
        } else {
            result = dialog->ShowModal();
        }
        if (result == mrCancel)
            return false;
    }
    return true;
}

void TrpEngine::RunReportPages()
{
    FirstReportPage = true;
    auto pageLoop = [this] {
        for (int i = 0; i < Report->GetPagesCount(); ++i) {
            auto* page = dynamic_cast<TrpReportPage*>(Report->GetPages(i));
            if (!page)
                continue;
            Page = page;
            FRun->PageBegun = false;
            if (!page->IsSubReport() && page->GetVisible())
                RunPage(page);
            if (Stopped())
                return;
            // The report's pages are counted ("Page", "TotalPages") from the first one it
            // prints: a page that printed nothing (hidden, or empty) leaves that to the next.
            if (FRun->PageBegun)
                FirstReportPage = false;
        }
    };
    TrpDataSet* ds = Report->GetDataSet();
    if (!ds) {
        pageLoop();
        return;
    }
    ds->First();
    while (!ds->Eof() && !Stopped()) {
        pageLoop();
        ds->Next();
    }
}

void TrpEngine::RunPage(TrpReportPage* APage)
{
    if (FRun->RunPageDepth >= kMaxShowDepth) {
        Fail(Format(rpenginemsg::kNestingTooDeep, {APage->Name(), kMaxShowDepth}));
        return;
    }
    ++FRun->RunPageDepth;
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{FRun->RunPageDepth};
    TrpReportPage* saved = Page;
    Page = APage;
    if (APage->IsSubReport()) {
        ShowDataBands(APage);
        Page = saved;
        return;
    }
    IsFirstBand = true;
    Report->CurObject = APage->Name();
    Report->DoNotifyEvent(APage, APage->OnBeforePrint);
    TrpDataSet* ds = APage->GetDataSet();
    if (!ds) {
        PageBody();
    } else {
        ds->First();
        while (!ds->Eof() && !Stopped()) {
            PageBody();
            ds->Next();
        }
    }
    Report->CurObject = APage->Name();
    Report->DoNotifyEvent(APage, APage->OnAfterPrint);
    Page = saved ? saved : APage;
}

void TrpEngine::PageBody()
{
    const bool printIfEmpty = Report->GetEngineOptions()->PrintIfEmpty;
    if (!CanShow(Page, printIfEmpty))
        return;
    // The title and the page header read the masters' first records on every run and in
    // either pass: unless the test above walked them, they stand where the last walk left them.
    if (printIfEmpty)
        for (TrpBand* b : BandList(Page))
            if (TrpDataSet* ds = DataSetOf(b))
                ds->First();
    InitPage();
    if (Stopped())
        return;
    // Objects lying on the page outside bands travel in a temporary band.
    std::vector<TrpComponent*> loose;
    for (TrpComponent* c : Page->Objects())
        if (!c->IsBand())
            loose.push_back(c);
    if (!loose.empty()) {
        // The band hangs on the page while it is shown, so that its objects find their
        // report (their expressions) and the page's font, as they do in the template.
        const std::vector<TrpComponent*> order(Page->Objects());
        auto holder = std::make_unique<TrpNullBand>(nullptr);
        holder->SetParent(Page);
        for (TrpComponent* c : loose)
            c->SetParent(holder.get());
        // The page gets its objects back in their order (drawing order, the saved file's).
        // A script may have freed some while they were shown, or made new ones: only what
        // is still there is touched, and what is new goes last.
        auto giveBack = [&] {
            holder->SetParent(nullptr);
            std::vector<TrpComponent*> now(Page->Objects());
            now.insert(now.end(), holder->Objects().begin(), holder->Objects().end());
            std::unordered_set<TrpComponent*> there(now.begin(), now.end());
            std::vector<TrpComponent*> back;
            for (TrpComponent* c : order)
                if (there.erase(c))
                    back.push_back(c);
            for (TrpComponent* c : now)
                if (there.count(c))
                    back.push_back(c);
            for (auto it = back.rbegin(); it != back.rend(); ++it)
                (*it)->SetParent(nullptr);
            for (TrpComponent* c : back)
                c->SetParent(Page);
        };
        try {
            ShowBand(holder.get());
        } catch (...) {
            giveBack();
            throw;
        }
        giveBack();
    }
    if (Report->OnManualBuild)
        Report->OnManualBuild(Page);
    else if (Trim(Page->OnManualBuild).empty())
        ShowDataBands(Page);
    else
        Report->DoNotifyEvent(Page, Page->OnManualBuild);
    ShowBand(TrpReportSummary::StaticClass());
    IsLastPage = true;
    EndPage();
    IsLastPage = false;
}

void TrpEngine::InitPage()
{
    HeaderList.Clear();
    TrpBand* title = FindBand(TrpReportTitle::StaticClass());
    TrpBand* header = FindBand(TrpPageHeader::StaticClass());
    if (Page->TitleBeforeHeader) {
        HeaderList.AddItem(title, 0, false);
        HeaderList.AddItem(header, 0, false);
    } else {
        HeaderList.AddItem(header, 0, false);
        HeaderList.AddItem(title, 0, false);
    }
    FooterList = {FindBand(TrpColumnFooter::StaticClass()), FindBand(TrpPageFooter::StaticClass())};
    PageHeight = Page->GetPaperHeight() * kUnitsPerMM - Page->TopMargin * kUnitsPerMM - Page->BottomMargin * kUnitsPerMM;
    PageWidth = Page->GetPaperWidth() * kUnitsPerMM - Page->LeftMargin * kUnitsPerMM - Page->RightMargin * kUnitsPerMM;
    CurX = 0;
    CurY = 0;
    CurColumn = 1;
    PageCurX = 0;
    IsFirstPage = true;
    IsLastPage = false;
    if (PreviewPages->GetCount() > 0 && Page->PrintOnPreviousPage) {
        PreviewPages->CurPage = PreviewPages->GetCount() - 1;
        CurY = PreviewPages->GetLastY();
        // Below another report's output the page is not fresh: a new page has more room.
        if (!AtFreshTop())
            FRun->FreshPage = -1;
        ShowBand(title);
    } else {
        AddPage();
    }
    if (FirstReportPage)
        PreviewPages->FirstPage = PreviewPages->CurPage;
    FRun->PageBegun = true;
    ColumnStartY = CurY;
    TrpBand* columnHeader = FindBand(TrpColumnHeader::StaticClass());
    const bool fresh = AtFreshTop();
    ShowBand(columnHeader);
    if (fresh)
        MarkFresh();
    HeaderList.AddItem(columnHeader, 0, false);
    HeaderList.RemoveItem(title);
    OutlineRoot();
    AddPageOutline();
}

void TrpEngine::AddPage()
{
    const int pages = PreviewPages->GetCount();
    PreviewPages->AddPage(Page);
    // What lies two pages back can no longer move: a move takes objects from the page being
    // left (or, for the further parts of a wide row, from pages after it).
    if (FRun) {
        FRun->ForgetTextsBefore(PreviewPages->CurPage - 1);
        FRun->ForgetLinesBefore(PreviewPages->CurPage - 1);
        FRun->ColumnTop = {-1, 0};  // a page's first column: nothing of it lies before
    }
    CurY = 0;
    // A page gone back to (the further part of a wide row) has its overlay already.
    if (PreviewPages->GetCount() > pages)
        ShowBand(TrpOverlay::StaticClass());
    CurY = 0;
    const Extended savedX = CurX;
    // Each reprinted band shows its own row counters; the row whose output took the page
    // on (its child bands, its footer) goes on with its own.
    const int savedLine = CurLine, savedLineThrough = CurLineThrough;
    PageHeaderHeight = 0;
    bool titleShown = false;
    for (int i = 0; i < HeaderList.Count(); ++i) {
        TrpHeaderListItem* item = HeaderList.Items(i);
        CurX = item->Left;
        TrpBand* band = item->Band;
        if (!band)
            continue;
        if (IsFirstPage && Is<TrpPageHeader>(band) && !static_cast<TrpPageHeader*>(band)->PrintOnFirstPage)
            continue;
        if (Keeping && item->IsInKeepList)
            continue;
        if (FRun->PartInColumn && !Is<TrpPageHeader>(band))
            continue;  // the column's own headers go where the column is
        band->Overflow = true;
        const TrpEngineRun::TBandState& s = FRun->Band(band);
        CurLine = s.LineN;
        CurLineThrough = s.LineThrough;
        CallFromAddPage = true;
        if (Is<TrpReportTitle>(band)) {
            item->Band = nullptr;  // the title prints once
            titleShown = band->GetVisible();
        }
        if (Is<TrpPageHeader>(band))
            PageHeaderHeight = band->GetHeight();
        ShowBand(band);
        CallFromAddPage = false;
        band->Overflow = false;
    }
    CurX = savedX;
    CurLine = savedLine;
    CurLineThrough = savedLineThrough;
    // The title's page is not fresh: the next page, without the title, has more room, so a
    // band that does not fit below the title moves there.
    if (titleShown)
        FRun->FreshPage = -1;
    else
        MarkFresh();
}

void TrpEngine::MarkFresh()
{
    FRun->FreshY = CurY;
    FRun->FreshPage = PreviewPages->CurPage;
}

bool TrpEngine::AtFreshTop() const
{
    return PreviewPages->CurPage == FRun->FreshPage && CurY <= FRun->FreshY + 0.0001L;
}

bool TrpEngine::FooterColumns(TrpBand* Band, std::vector<int>& Parts, Extended StartX)
{
    // A footer's objects lying in vertical bands print per column, as a header's do, also
    // when a wide row under way breaks the page or column: that row is given back after.
    if (!Band || !FRun->Band(Band).HasVObjects || OutputTo || Band == VMasterBand)
        return false;
    FRun->VRows.push_back({VMasterBand, VPageList, VHeaderList, CurVColumn, FRun->VRowX, FRun->VRowRight});
    const Extended x = CurX;
    CurX = StartX;
    Report->CurObject = Band->Name();
    ShowVBands(Band);
    CurVColumn = 0;
    CurX = x;
    Parts = VPageList;
    return true;
}

void TrpEngine::EndFooterColumns()
{
    if (FRun->VRows.empty())
        return;
    TrpEngineRun::TVRow& r = FRun->VRows.back();
    VMasterBand = r.Master;
    VPageList = std::move(r.Pages);
    VHeaderList = std::move(r.Headers);
    CurVColumn = r.Column;
    FRun->VRowX = r.RowX;
    FRun->VRowRight = r.RowRight;
    FRun->VRows.pop_back();
}

void TrpEngine::AddBandPart(TrpBand* Band, const std::vector<int>& Parts, int Part)
{
    // The band's own objects, and the column copies of this part of the row (none when the
    // row has fewer parts than the pages it ends).
    std::vector<TrpComponent*> objects(Band->Objects());
    const size_t own = static_cast<size_t>(std::max(FRun->Band(Band).OwnObjectCount, 0));
    for (TrpComponent* o : objects)
        o->SetParent(nullptr);
    for (size_t i = 0; i < objects.size(); ++i) {
        const size_t k = static_cast<size_t>(Part);
        const bool inPart = k + 1 < Parts.size() && static_cast<int>(i) >= Parts[k] && static_cast<int>(i) < Parts[k + 1];
        if (i < own || inPart)
            objects[i]->SetParent(Band);
    }
    PreviewPages->AddObject(Band);
    for (TrpComponent* o : objects)
        o->SetParent(nullptr);
    for (TrpComponent* o : objects)
        o->SetParent(Band);
}

void TrpEngine::OutputFooter(TrpBand* Band, bool Reset, int Part)
{
    if (!Band)
        return;
    std::vector<int> parts;
    const bool columns = FooterColumns(Band, parts);
    Stretch(Band);
    bool leftOut = false;
    try {
        if (Band->GetVisible()) {
            Band->SetLeft(0);
            Band->SetTop(CurY);
            if (auto* pf = dynamic_cast<TrpPageFooter*>(Band))
                leftOut = (IsFirstPage && !pf->PrintOnFirstPage) || (IsLastPage && !pf->PrintOnLastPage);
            if (!leftOut) {
                if (!PreviewPages->BandExists(Band)) {
                    if (columns)
                        AddBandPart(Band, parts, Part);
                    else
                        PreviewPages->AddObject(Band);
                }
                CurY += Band->GetHeight();
            }
        }
    } catch (...) {
        UnStretch(Band);
        if (columns)
            EndFooterColumns();
        throw;
    }
    UnStretch(Band);
    if (columns)
        EndFooterColumns();
    // A page footer left out keeps its totals for the next page's footer.
    if (Reset && !(leftOut && Is<TrpPageFooter>(Band)))
        AggregateList.Reset(Band);
}

void TrpEngine::EndPageFooters(bool Reset, int Part)
{
    for (TrpBand* band : FooterList) {
        if (band && Is<TrpPageFooter>(band))
            CurY = PageHeight - band->GetHeight();
        OutputFooter(band, Reset, Part);
    }
}

void TrpEngine::EndPage()
{
    if (!Running)
        return;  // a script outside a run: there is no page
    const TFooterLines lines(*FRun, PreviewPages->CurPage, PreviewPages->GetCurPosition(), CurLine, CurLineThrough);
    if (!FRun->MovingRow) {
        AggregateList.EndHold();  // the rows above count in this page's footers
        AggregateList.EndPending();
    }
    if (Page && Page->GetColumns() > 1) {
        EndColumn();
        CurX = PageCurX;
        CurColumn = 1;
        ColumnStartY = 0;
    }
    FRun->ColumnPartPages.clear();
    FRun->HeadedColumns.clear();
    // The pages that rows of this one went on over end with it: each shows the footers
    // over the same rows, and the totals restart only after the last of them.
    const int rowPage = PreviewPages->CurPage;
    std::set<int> parts;
    if (auto it = FRun->PartPages.find(rowPage); it != FRun->PartPages.end()) {
        parts = std::move(it->second);
        FRun->PartPages.erase(it);
    }
    const Extended y = CurY;
    const bool last = IsLastPage;
    IsLastPage = last && parts.empty();
    EndPageFooters(parts.empty(), 0);
    const Extended below = CurY;
    IsFirstPage = false;
    int part = 0;
    for (auto it = parts.begin(); it != parts.end(); ++it) {
        PreviewPages->CurPage = *it;
        CurY = y;
        IsLastPage = last && std::next(it) == parts.end();
        EndPageFooters(std::next(it) == parts.end(), ++part);
    }
    if (!parts.empty()) {
        PreviewPages->CurPage = rowPage;
        CurY = below;
        IsLastPage = last;
    }
}

void TrpEngine::NewPage()
{
    if (!Running)
        return;
    if (Keeping && FRun->KeepSpansParts) {
        // The block's wide rows lie on further pages too, or it lies in two page columns,
        // which the block cannot take along: it stays whole where it is and breaks here, as
        // a block taller than a page does.
        AggregateList.EndKeep();
        Keeping = false;
        KeepBand = nullptr;
        HeaderList.BlockClosed();
    }
    if (Keeping)
        PreviewPages->CutObjects(KeepPosition);
    // The kept block's entries made under the old page's entry move under the new one's.
    TrpXMLItem* oldEntry = Keeping ? FRun->PageEntry : nullptr;
    int movedFrom = -1;
    for (const auto& [level, count] : KeepOutlineMark)
        if (oldEntry && level == oldEntry)
            movedFrom = count;
    // The level the outline stands at, when it lies in what moves: entries after the move
    // go on under it (a kept group's rows under the group), not under the new page's entry.
    TrpXMLItem* level = PreviewPages->Outline()->CurItem;
    bool levelMoves = false;
    for (TrpXMLItem* i = level; movedFrom >= 0 && i && i->Parent(); i = i->Parent())
        if (i->Parent() == oldEntry) {
            levelMoves = oldEntry->IndexOf(i) >= movedFrom;
            break;
        }
    const int oldPage = PreviewPages->CurPage;
    const Extended oldX = CurX;
    EndPage();
    AddPage();
    if (Keeping) {
        AggregateList.EndKeep();
        // The block's entries move as far down as its objects: the first entry may belong to
        // a band below the block's top (a header or group header without one comes first).
        std::optional<Extended> cutTop;
        if (TrpPreviewPages* pages = Pages())
            cutTop = pages->CutTop();
        const Extended movedBy = cutTop ? CurY - *cutTop : 0;
        FRun->MovePlaces(oldPage, KeepPosition, PreviewPages->CurPage, movedBy, PreviewPages->GetCurPosition());
        // The block keeps its place in its column: it goes from the old page's column to the
        // new page's first, a subreport's block stays beside what the subreport is in.
        if (TrpPreviewPages* pages = Pages())
            pages->PasteObjectsBy(CurX - oldX, movedBy);
        else
            PreviewPages->PasteObjects(0, CurY);
        if (auto* outline = dynamic_cast<TrpOutline*>(PreviewPages->Outline()))
            outline->MoveSince(KeepOutlineMark, static_cast<int>(std::lround(static_cast<double>(CurY))),
                               cutTop ? std::optional<Extended>(movedBy) : std::nullopt);
        else if (KeepOutline)
            PreviewPages->Outline()->ShiftItems(KeepOutline, static_cast<int>(std::lround(static_cast<double>(CurY))));
        CurY = PreviewPages->GetLastY();
    }
    Keeping = false;
    KeepBand = nullptr;
    HeaderList.BlockClosed();
    AddPageOutline();
    if (TrpXMLItem* entry = FRun->PageEntry; movedFrom >= 0 && entry && entry != oldEntry) {
        while (oldEntry->Count() > movedFrom)
            entry->AddItem(oldEntry->Items(movedFrom));
        if (levelMoves)
            PreviewPages->Outline()->CurItem = level;
    }
}

void TrpEngine::NewColumn()
{
    if (!Running)
        return;
    if (Page && Page->GetColumns() > CurColumn) {
        // A kept block does not move to the next column: its rows are this column's. Lying
        // in two columns now, with the column's footer between, it can no longer be taken
        // to the next page whole.
        if (Keeping) {
            // Rows held back for a kept footer count in this column too, before the block's.
            if (!FRun->MovingRow) {
                AggregateList.EndHold();
                AggregateList.EndPending();
            }
            AggregateList.FlushKeep(FindBand(TrpColumnFooter::StaticClass()));
            FRun->KeepSpansParts = true;
        }
        EndColumn();
        AddColumn();
    } else {
        NewPage();
    }
}

void TrpEngine::ShowBand(TClass BandClass) { ShowBand(FindBand(BandClass)); }

void TrpEngine::PreparePage(TStrings* ErrorList, bool Vertical)
{
    Page->AlignChildren();
    (Vertical ? FRun->PageOf(Page).VMasterBands : FRun->PageOf(Page).MasterBands).clear();
    std::vector<TrpBand*> bands, vbands;
    Extended vleft = -1;
    for (TrpComponent* c : Page->Objects())
        if (auto* b = dynamic_cast<TrpBand*>(c)) {
            if (b->Vertical) {
                vbands.push_back(b);
                vleft = vleft < 0 ? b->GetLeft() : std::min(vleft, b->GetLeft());
            }
            if (b->Vertical == Vertical)
                bands.push_back(b);
        }
    if (Vertical)
        FRun->PageOf(Page).VBandsLeft = std::max<Extended>(vleft, 0);
    for (TrpBand* b : bands) {
        PrepareShiftTree(b);
        TrpEngineRun::TBandState& s = FRun->Band(b);
        s.Header = s.Footer = nullptr;
        s.Group = nullptr;
        s.HasVObjects = false;
        if (auto* d = dynamic_cast<TrpDataBand*>(b); d && !d->GetDataSet() && d->GetRowCount() >= 1)
            d->VirtualDataSet()->Initialize();
        if (!Vertical) {
            for (TrpBand* vb : vbands) {
                for (TrpComponent* o : std::vector<TrpComponent*>(b->Objects())) {
                    if (o->GetLeft() >= vb->GetLeft() - 0.0001L &&
                        vb->GetLeft() + vb->GetWidth() + 0.0001L >= o->GetLeft() + o->GetWidth()) {
                        // The template gets the object back at the end of the run.
                        FRun->Lend(o, b);
                        o->SetParent(vb);
                        o->SetLeft(o->GetLeft() - vb->GetLeft());
                        s.HasVObjects = true;
                    }
                }
            }
        }
    }
    // Bands in the order of their position; of two at the same place the first one counts.
    std::map<long long, TrpBand*> sorted;
    for (TrpBand* b : bands) {
        const int n = b->BandNumber();
        if (n < 4 || n > 13)
            continue;
        const Extended pos = Vertical ? b->GetLeft() : b->GetTop();
        sorted.try_emplace(std::llround(static_cast<double>(pos) * 100), b);
    }
    std::vector<TrpBand*> list;
    for (auto& [key, b] : sorted)
        list.push_back(b);
    BindGroups(list, ErrorList);
    BindHeadersFooters(list, ErrorList);
    BindDataBands(list, 0, nullptr, 0, Vertical);
    for (TrpBand* b : list)
        if (b)
            ErrorList->Add(rpResources().Get("enBandPos") + " " + b->Name());
}

void TrpEngine::BindGroups(std::vector<TrpBand*>& List, TStrings* ErrorList)
{
    const size_t n = List.size();
    for (size_t i = 0; i < n; ++i) {
        if (!Is<TrpGroupHeader>(List[i]) || (i > 0 && Is<TrpGroupHeader>(List[i - 1])))
            continue;
        auto* first = static_cast<TrpGroupHeader*>(List[i]);
        size_t j = i;
        FRun->Band(first).SubBands.clear();
        while (j < n && Is<TrpGroupHeader>(List[j]))
            FRun->Band(first).SubBands.push_back(List[j++]);
        TrpDataBand* data = nullptr;
        for (size_t k = j; k < n && !data; ++k)
            data = dynamic_cast<TrpDataBand*>(List[k]);
        if (data)
            FRun->Band(data).Group = first;
        else
            ErrorList->Add(rpResources().Get("enUnconnGroup") + " " + first->Name());
    }
    for (size_t i = 0; i < n; ++i) {
        if (!Is<TrpGroupFooter>(List[i]))
            continue;
        for (size_t k = i; k-- > 0;) {
            if (Is<TrpGroupHeader>(List[k])) {
                FRun->Band(List[k]).Footer = List[i];
                List[k] = nullptr;
                List[i] = nullptr;
                break;
            }
        }
    }
    for (TrpBand*& b : List) {
        if (Is<TrpGroupHeader>(b))
            b = nullptr;
        else if (Is<TrpGroupFooter>(b)) {
            ErrorList->Add(rpResources().Get("enUnconnGFooter") + " " + b->Name());
            b = nullptr;
        }
    }
}

void TrpEngine::BindHeadersFooters(std::vector<TrpBand*>& List, TStrings* ErrorList)
{
    auto prevIndex = [&](size_t i) -> long {
        for (size_t k = i; k-- > 0;)
            if (List[k])
                return static_cast<long>(k);
        return -1;
    };
    auto nextIndex = [&](size_t i) -> long {
        for (size_t k = i + 1; k < List.size(); ++k)
            if (List[k])
                return static_cast<long>(k);
        return -1;
    };
    for (size_t i = 0; i < List.size(); ++i) {
        if (!Is<TrpDataBand>(List[i]))
            continue;
        TrpEngineRun::TBandState& s = FRun->Band(List[i]);
        if (long p = prevIndex(i); p >= 0 && Is<TrpHeader>(List[static_cast<size_t>(p)])) {
            s.Header = List[static_cast<size_t>(p)];
            List[static_cast<size_t>(p)] = nullptr;
        }
        if (long q = nextIndex(i); q >= 0 && Is<TrpFooter>(List[static_cast<size_t>(q)])) {
            s.Footer = List[static_cast<size_t>(q)];
            List[static_cast<size_t>(q)] = nullptr;
        }
    }
    for (TrpBand*& b : List)
        if (Is<TrpHeader>(b) || Is<TrpFooter>(b)) {
            ErrorList->Add(rpResources().Get("enUnconnHeader") + " " + b->Name());
            b = nullptr;
        }
}

void TrpEngine::BindDataBands(std::vector<TrpBand*>& List, int From, TrpBand* Parent, int Level, bool Vertical)
{
    if (!Parent) {
        for (size_t i = 0; i < List.size(); ++i) {
            TrpBand* b = List[i];
            if (!Is<TrpMasterData>(b))
                continue;
            if (DataSetOf(b))
                (Vertical ? FRun->PageOf(Page).VMasterBands : FRun->PageOf(Page).MasterBands).push_back(b);
            List[i] = nullptr;
            BindDataBands(List, static_cast<int>(i) + 1, b, 1, Vertical);
        }
        return;
    }
    for (size_t i = static_cast<size_t>(From); i < List.size(); ++i) {
        TrpBand* b = List[i];
        if (!b)
            continue;
        const int level = DataLevel(b);
        if (level == 0)
            continue;
        if (level <= Level)
            return;
        if (level != Level + 1)
            continue;
        if (DataSetOf(b))
            FRun->Band(Parent).SubBands.push_back(b);
        List[i] = nullptr;
        if (!Is<TrpDataBand6>(b))
            BindDataBands(List, static_cast<int>(i) + 1, b, level, Vertical);
    }
}

// rpEngine.cpp - the run, the passes and the page frame; data bands and groups; the
// output of one band (stretching, splitting, keeping together, columns); subreports,
// vertical bands and the outline.
#include "report/output/rpEngine.h"

#include "report/output/rpEngineConsts.h"
#include "report/output/rpEngineModel.h"
#include "report/output/rpPreviewPages.h"

#include "report/model/rpDialogs.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr Extended kUnitsPerMM = 3.77953L;
// Deepest nesting of bands shown from bands (child chains, subreports in subreports).
constexpr int kMaxShowDepth = 64;
// Split passes in a row that may place nothing before the band is declared unplaceable.
constexpr int kMaxIdleSplits = 2;

AnsiString Num(Extended V) { return FormatFloat("0.##", static_cast<double>(V)); }

template <class T>
bool Is(const TObject* O)
{
    return dynamic_cast<const T*>(O) != nullptr;
}

// Level of a data band in the master/detail tree: 1 for master data ... 6; 0 for others.
int DataLevel(const TrpBand* B)
{
    const int n = B->BandNumber();
    return n >= 6 && n <= 11 ? n - 5 : 0;
}

TrpDataSet* DataSetOf(TrpBand* B)
{
    auto* d = dynamic_cast<TrpDataBand*>(B);
    if (!d)
        return nullptr;
    if (d->GetDataSet())
        return d->GetDataSet();
    return d->GetRowCount() >= 1 ? d->VirtualDataSet() : nullptr;
}

std::vector<TrpView*> ViewsOf(TrpComponent* C)
{
    std::vector<TrpView*> r;
    for (TrpComponent* o : C->Objects())
        if (auto* v = dynamic_cast<TrpView*>(o))
            r.push_back(v);
    return r;
}

}  // namespace

void TrpHeaderList::RemoveItem(TrpBand* Band)
{
    for (auto it = FItems.begin(); it != FItems.end(); ++it)
        if (it->Band == Band) {
            FItems.erase(it);
            return;
        }
}

SKLAD_DEFINE_ABSTRACT_CLASS(TrpEngine)

TrpEngine::TrpEngine(TrpReport* AReport) : TrpCustomEngine(AReport), AggregateList(AReport)
{
    AggregateList.HomeBand = [this](TrpCustomMemoView* Memo) -> TrpBand* {
        auto it = FState.find(Memo);
        return it == FState.end() ? nullptr : it->second.HomeBand;
    };
}

TrpEngine::~TrpEngine() = default;

TrpPreviewPages* TrpEngine::Pages() const { return dynamic_cast<TrpPreviewPages*>(PreviewPages); }

void TrpEngine::ProcessMessages()
{
    if (Application)
        Application->ProcessMessages();
}

bool TrpEngine::Stopped() const { return FFailed || Report->GetTerminated(); }

void TrpEngine::Fail(const AnsiString& Message)
{
    Report->Errors.Add(Message);
    FFailed = true;
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

// ================================================================ run and passes

bool TrpEngine::Run()
{
    bool result = false;
    FFailed = false;
    FState.clear();
    FShowDepth = 0;
    FRunPageDepth = 0;
    if (!Pages()) {
        Report->Errors.Add(rpenginemsg::kNoPreviewPages);
        return false;
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
                RunReportPages();
                if (GetDoublePass() && !Stopped()) {
                    TotalPages = PreviewPages->GetCount();
                    PreviewPages->ClearFirstPassPages();
                    AggregateList.ClearValues();
                    FinalPass = true;
                    RunReportPages();
                }
            }
            Report->DoNotifyEvent(Report, Report->OnStopReport);
        }
    } catch (...) {
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
    Keeping = false;
    CurVColumn = 0;
    OutputTo = nullptr;
    AggregateList.Clear();
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
        AggregateList.AddItems(page, page->MasterBands, page->VMasterBands, [this](TrpBand* B) {
            TrpAggregateList::TBandLinks links;
            TBandState& s = State(B);
            links.Footer = s.Footer;
            if (s.Group) {
                links.Group = s.Group;
                for (TrpBand* h : s.Group->SubBands) {
                    links.GroupHeaders.push_back(h);
                    links.GroupFooters.push_back(State(h).Footer);
                }
            }
            links.Details = B->SubBands;
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
        for (TrpBand* b : page->MasterBands) {
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

void TrpEngine::RestoreTemplate()
{
    if (FHomeOrder.empty())
        return;
    // An object the script freed meanwhile is not touched.
    std::unordered_set<TrpComponent*> alive;
    for (int i = 0; i < Report->GetPagesCount(); ++i)
        for (TrpComponent* c : Report->GetPages(i)->GetAllObjects())
            alive.insert(c);
    for (auto& [o, left] : FMovedLeft)
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
    FHomeOrder.clear();
    FMovedLeft.clear();
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
    for (auto& b : FTempBands)
        b.reset();
    FTempBands.clear();
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
            if (!page->IsSubReport() && page->GetVisible())
                RunPage(page);
            if (Stopped())
                return;
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
    if (FRunPageDepth >= kMaxShowDepth) {
        Fail(Format(rpenginemsg::kNestingTooDeep, {APage->Name(), kMaxShowDepth}));
        return;
    }
    ++FRunPageDepth;
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{FRunPageDepth};
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
    if (!CanShow(Page, Report->GetEngineOptions()->PrintIfEmpty))
        return;
    InitPage();
    if (Stopped())
        return;
    // Objects lying on the page outside bands travel in a temporary band.
    std::vector<TrpComponent*> loose;
    for (TrpComponent* c : Page->Objects())
        if (!c->IsBand())
            loose.push_back(c);
    if (!loose.empty()) {
        auto holder = std::make_unique<TrpNullBand>(nullptr);
        for (TrpComponent* c : loose)
            c->SetParent(holder.get());
        try {
            ShowBand(holder.get());
        } catch (...) {
            for (TrpComponent* c : loose)
                c->SetParent(Page);
            throw;
        }
        for (TrpComponent* c : loose)
            c->SetParent(Page);
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
        ShowBand(title);
    } else {
        AddPage();
    }
    if (FirstReportPage)
        PreviewPages->FirstPage = PreviewPages->CurPage;
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
    PreviewPages->AddPage(Page);
    CurY = 0;
    ShowBand(TrpOverlay::StaticClass());
    CurY = 0;
    const Extended savedX = CurX;
    PageHeaderHeight = 0;
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
        band->Overflow = true;
        const TBandState& s = State(band);
        CurLine = s.LineN;
        CurLineThrough = s.LineThrough;
        CallFromAddPage = true;
        if (Is<TrpReportTitle>(band))
            item->Band = nullptr;  // the title prints once
        if (Is<TrpPageHeader>(band))
            PageHeaderHeight = band->GetHeight();
        ShowBand(band);
        CallFromAddPage = false;
        band->Overflow = false;
    }
    CurX = savedX;
    MarkFresh();
}

void TrpEngine::MarkFresh()
{
    FFreshY = CurY;
    FFreshPage = PreviewPages->CurPage;
}

bool TrpEngine::AtFreshTop() const
{
    return PreviewPages->CurPage == FFreshPage && CurY <= FFreshY + 0.0001L;
}

void TrpEngine::OutputFooter(TrpBand* Band)
{
    if (!Band)
        return;
    Stretch(Band);
    bool leftOut = false;
    try {
        if (Band->GetVisible()) {
            Band->SetLeft(0);
            Band->SetTop(CurY);
            if (auto* pf = dynamic_cast<TrpPageFooter*>(Band))
                leftOut = (IsFirstPage && !pf->PrintOnFirstPage) || (IsLastPage && !pf->PrintOnLastPage);
            if (!leftOut) {
                if (!PreviewPages->BandExists(Band))
                    PreviewPages->AddObject(Band);
                CurY += Band->GetHeight();
            }
        }
    } catch (...) {
        UnStretch(Band);
        throw;
    }
    UnStretch(Band);
    // A page footer left out keeps its totals for the next page's footer.
    if (!(leftOut && Is<TrpPageFooter>(Band)))
        AggregateList.Reset(Band);
}

void TrpEngine::EndPage()
{
    if (Page && Page->GetColumns() > 1) {
        EndColumn();
        CurX = PageCurX;
        CurColumn = 1;
        ColumnStartY = 0;
    }
    for (TrpBand* band : FooterList) {
        if (band && Is<TrpPageFooter>(band))
            CurY = PageHeight - band->GetHeight();
        OutputFooter(band);
    }
    IsFirstPage = false;
}

void TrpEngine::NewPage()
{
    if (Keeping)
        PreviewPages->CutObjects(KeepPosition);
    EndPage();
    AddPage();
    if (Keeping) {
        AggregateList.EndKeep();
        PreviewPages->PasteObjects(0, CurY);
        if (KeepOutline)
            PreviewPages->Outline()->ShiftItems(KeepOutline, static_cast<int>(std::lround(static_cast<double>(CurY))));
        CurY = PreviewPages->GetLastY();
    }
    Keeping = false;
    KeepBand = nullptr;
    AddPageOutline();
}

void TrpEngine::NewColumn()
{
    if (Page && Page->GetColumns() > CurColumn) {
        EndColumn();
        AddColumn();
    } else {
        NewPage();
    }
}

void TrpEngine::ShowBand(TClass BandClass) { ShowBand(FindBand(BandClass)); }

// ================================================================ binding the band tree

void TrpEngine::PreparePage(TStrings* ErrorList, bool Vertical)
{
    Page->AlignChildren();
    (Vertical ? Page->VMasterBands : Page->MasterBands).clear();
    std::vector<TrpBand*> bands, vbands;
    for (TrpComponent* c : Page->Objects())
        if (auto* b = dynamic_cast<TrpBand*>(c)) {
            if (b->Vertical)
                vbands.push_back(b);
            if (b->Vertical == Vertical)
                bands.push_back(b);
        }
    for (TrpBand* b : bands) {
        b->ShiftChildren.clear();
        for (TrpView* v : ViewsOf(b))
            v->ShiftChildren.clear();
        PrepareShiftTree(b);
        b->SubBands.clear();
        TBandState& s = State(b);
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
                        if (!s.HasVObjects)
                            FHomeOrder.push_back({b, b->Objects()});
                        FMovedLeft.push_back({o, o->GetLeft()});
                        o->SetParent(vb);
                        State(o).HomeBand = b;
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
        first->SubBands.clear();
        while (j < n && Is<TrpGroupHeader>(List[j]))
            first->SubBands.push_back(List[j++]);
        TrpDataBand* data = nullptr;
        for (size_t k = j; k < n && !data; ++k)
            data = dynamic_cast<TrpDataBand*>(List[k]);
        if (data)
            State(data).Group = first;
        else
            ErrorList->Add(rpResources().Get("enUnconnGroup") + " " + first->Name());
    }
    for (size_t i = 0; i < n; ++i) {
        if (!Is<TrpGroupFooter>(List[i]))
            continue;
        for (size_t k = i; k-- > 0;) {
            if (Is<TrpGroupHeader>(List[k])) {
                State(List[k]).Footer = List[i];
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
        TBandState& s = State(List[i]);
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
                (Vertical ? Page->VMasterBands : Page->MasterBands).push_back(b);
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
            Parent->SubBands.push_back(b);
        List[i] = nullptr;
        if (!Is<TrpDataBand6>(b))
            BindDataBands(List, static_cast<int>(i) + 1, b, level, Vertical);
    }
}

// ================================================================ data bands and groups

const std::vector<TrpBand*>& TrpEngine::BandList(TrpComponent* Obj)
{
    if (auto* page = dynamic_cast<TrpReportPage*>(Obj))
        return page->MasterBands;
    if (auto* band = dynamic_cast<TrpBand*>(Obj))
        return band->SubBands;
    return FNoMasters;
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
        while (!ds->Eof() && !Stopped()) {
            if (CanShow(band, d && d->PrintIfDetailEmpty, Depth + 1)) {
                result = true;
                break;
            }
            ds->Next();
        }
    }
    return result;
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
    const std::vector<TrpBand*> list = BandList(Parent);
    for (TrpBand* b : list) {
        TrpDataSet* ds = DataSetOf(b);
        auto* band = dynamic_cast<TrpDataBand*>(b);
        if (!ds || !band)
            continue;
        TBandState& s = State(band);
        ds->First();
        s.LineN = 1;
        s.LineThrough = 1;
        band->SetCurColumn(1);
        ResetSuppressValues(band);
        bool first = true;
        bool shown = false;
        Extended saveCurY = CurY;
        int columnKeepPos = 0, footerKeepPos = 0;
        while (!ds->Eof()) {
            if (CanShow(band, band->PrintIfDetailEmpty, Depth)) {
                if (first) {
                    if (band->KeepTogether)
                        StartKeep(band);
                    if (band->KeepHeader && s.Header)
                        StartKeep(band);
                    ShowBand(s.Header);
                    AddToHeaderList(s.Header);
                } else if (!s.Group && band->KeepTogether) {
                    StartKeep(band);
                }
                if (s.Group) {
                    if (first)
                        InitGroups(s.Group, 0, true);
                    else
                        CheckGroups(band, s.Group, columnKeepPos, saveCurY);
                }
                if (band->KeepFooter)
                    footerKeepPos = PreviewPages->GetCurPosition();
                if (band->Columns >= 2 && band->GetCurColumn() == 1)
                    columnKeepPos = PreviewPages->GetCurPosition();
                saveCurY = CurY;
                CurLine = s.LineN;
                CurLineThrough = s.LineThrough;
                ShowBand(band);
                NotifyObjects(band);
                if (first && band->KeepHeader && s.Header)
                    EndKeep(band);
                ++s.LineN;
                ++s.LineThrough;
                first = false;
                shown = true;
                CheckBandColumns(band, columnKeepPos, saveCurY);
                AddBandOutline(band);
                ShowDataBands(band, Depth + 1);
                OutlineUp(band);
            }
            IsFirstBand = false;
            if (band->FooterAfterEach)
                ShowBand(s.Footer);
            if (!s.Group && band->KeepTogether)
                EndKeep(band);
            ds->Next();
            // Cancel is heard between rows, not only between bands.
            ProcessMessages();
            if ((band->GetRowCount() != 0 && band->GetRowCount() < s.LineN) || Stopped())
                break;
        }
        band->SetCurColumn(band->Columns);
        CheckBandColumns(band, columnKeepPos, saveCurY);
        if (shown && !FFailed) {
            if (s.Group)
                ShowGroupFooters(s.Group, 0);
            if (!band->FooterAfterEach) {
                if (band->KeepFooter)
                    StartKeep(band, footerKeepPos);
                ShowBand(s.Footer);
                if (band->KeepFooter)
                    EndKeep(band);
            }
            RemoveFromHeaderList(s.Header);
            if (s.Group && band->KeepTogether)
                EndKeep(band);
        }
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
    const std::vector<TrpBand*>& headers = Group->SubBands;
    for (size_t i = static_cast<size_t>(std::max(Index, 0)); i < headers.size() && !FFailed; ++i) {
        auto* h = dynamic_cast<TrpGroupHeader*>(headers[i]);
        if (!h)
            continue;
        TBandState& s = State(h);
        if (ResetLineN) {
            s.LineN = 1;
            s.LineThrough = 1;
            ResetSuppressValues(h);
        } else {
            ++s.LineN;
            if (i + 1 < headers.size())
                State(headers[i + 1]).LineN = 0;
            ++s.LineThrough;
        }
        CurLine = s.LineN;
        CurLineThrough = s.LineThrough;
        h->LastValue = GroupCondition(h);
        if (FFailed)
            return;
        if (h->KeepTogether)
            StartKeep(h);
        ShowBand(h);
        AddBandOutline(h);
        if (h->Vertical)
            AddToVHeaderList(h);
        else
            AddToHeaderList(h);
    }
}

void TrpEngine::CheckGroups(TrpDataBand* Master, TrpGroupHeader* Group, int ColumnKeepPos, Extended SaveCurY)
{
    const std::vector<TrpBand*>& headers = Group->SubBands;
    for (size_t i = 0; i < headers.size(); ++i) {
        auto* h = dynamic_cast<TrpGroupHeader*>(headers[i]);
        if (!h)
            continue;
        const Variant value = GroupCondition(h);
        if (FFailed)
            return;
        bool differ = false;
        try {
            differ = VarCompare(value, h->LastValue) != vrEqual;
        } catch (const Exception&) {
            differ = true;  // values that cannot be compared count as a change
        }
        if (!differ)
            continue;
        Master->SetCurColumn(Master->Columns);
        CheckBandColumns(Master, ColumnKeepPos, SaveCurY);
        TrpDataSet* ds = DataSetOf(Master);
        bool moved = false;
        try {
            ds->Prior();
            moved = true;
        } catch (const Exception&) {
        }
        ShowGroupFooters(Group, static_cast<int>(i));
        if (moved)
            ds->Next();
        InitGroups(Group, static_cast<int>(i), false);
        State(Master).LineN = 1;
        ResetSuppressValues(Master);
        return;
    }
}

void TrpEngine::ShowGroupFooters(TrpGroupHeader* Group, int Index)
{
    const std::vector<TrpBand*>& headers = Group->SubBands;
    for (int i = static_cast<int>(headers.size()) - 1; i >= Index && i >= 0; --i) {
        auto* h = dynamic_cast<TrpGroupHeader*>(headers[static_cast<size_t>(i)]);
        if (!h)
            continue;
        ShowBand(State(h).Footer);
        OutlineUp(h);
        if (h->Vertical)
            RemoveFromVHeaderList(h);
        else
            RemoveFromHeaderList(h);
        if (h->KeepTogether)
            EndKeep(h);
    }
}

// ================================================================ one band

void TrpEngine::ShowBand(TrpBand* Band)
{
    if (!Band || FFailed)
        return;
    if (FShowDepth >= kMaxShowDepth) {
        Fail(Format(rpenginemsg::kNestingTooDeep, {Band->Name(), kMaxShowDepth}));
        return;
    }
    ++FShowDepth;
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{FShowDepth};
    if (Band->KeepChild)
        StartKeep(Band);
    DoShow(Band);
    if (Band->GetChild() && (Band->GetVisible() || Band->PrintChildIfInvisible))
        ShowBand(Band->GetChild());
    if (Band->KeepChild)
        EndKeep(Band);
    if (Is<TrpDataBand>(Band))
        AggregateList.AddValue(Band, 0);
}

void TrpEngine::PrepareShiftTree(TrpBand* Band)
{
    if (!Band->ShiftChildren.empty())
        return;
    const std::vector<TrpView*> views = ViewsOf(Band);
    for (TrpView* v : views)
        v->ShiftChildren.clear();
    for (TrpView* a : views) {
        TrpView* best = nullptr;
        Extended bestGap = 1e10L;
        for (TrpView* b : views) {
            if (b == a)
                continue;
            const Extended d = a->GetTop() - (b->GetTop() + b->GetHeight());
            if (d > -0.0001L && b->GetLeft() < a->GetLeft() + a->GetWidth() - 0.0001L &&
                a->GetLeft() < b->GetLeft() + b->GetWidth() - 0.0001L && d < bestGap) {
                bestGap = d;
                best = b;
            }
        }
        (best ? best->ShiftChildren : Band->ShiftChildren).push_back(a);
    }
}

void TrpEngine::ShiftObjects(TrpComponent* Parent, Extended Offset, TrpBand* Band, int Depth)
{
    // Zero-height objects at one place can hang under each other: the depth ends that.
    auto* parent = dynamic_cast<TrpReportComponent*>(Parent);
    if (!parent || Depth > Band->ObjectCount())
        return;
    const std::vector<TrpReportComponent*> list = parent->ShiftChildren;
    for (TrpReportComponent* c : list) {
        auto* x = dynamic_cast<TrpView*>(c);
        if (!x || x->Parent() != Band)
            continue;
        switch (x->ShiftMode) {
        case smAlways: {
            x->SetTop(x->GetTop() + Offset);
            auto g = FGrowth.find(x);
            ShiftObjects(x, Offset + (g == FGrowth.end() ? 0 : g->second), Band, Depth + 1);
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
    const size_t own = vmaster && Band->ObjectsCountBeforeOutput >= 0
                           ? static_cast<size_t>(Band->ObjectsCountBeforeOutput)
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
                    v->GetData();
                    Report->DoNotifyEvent(v, v->OnAfterData);
                }
            }
        }
        FGrowth[v] = 0;
        auto* st = dynamic_cast<TrpStretcheable*>(v);
        if (Band->GetVisible() && v->GetVisible() && st && st->StretchMode != smDontStretch) {
            const Extended h = st->CalcHeight();
            if (h > st->GetHeight()) {
                FGrowth[v] = h - st->GetHeight();
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
    Extended maxBottom = 0;
    for (TrpView* v : ViewsOf(Band))
        maxBottom = std::max(maxBottom, v->GetTop() + v->GetHeight());
    if (Band->Stretched)
        Band->SetHeight(maxBottom);
    Report->DoNotifyEvent(Band, Band->OnAfterCalcHeight);
    for (TrpView* v : ViewsOf(Band))
        if (auto* st = dynamic_cast<TrpStretcheable*>(v); st && st->StretchMode == smMaxHeight)
            st->SetHeight(maxBottom - st->GetTop());
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
        FGrowth.erase(v);
    }
    Report->CurObject = Band->Name();
    Report->DoAfterPrint(Band);
    Band->AfterPrint();
    if (Band->ObjectsCountBeforeOutput >= 0) {
        while (Band->ObjectCount() > Band->ObjectsCountBeforeOutput)
            delete Band->Object(Band->ObjectCount() - 1);
        Band->ObjectsCountBeforeOutput = -1;
    }
}

void TrpEngine::DoShow(TrpBand* Band)
{
    TBandState& s = State(Band);
    std::vector<int> keptPageList;
    TrpBand* keptVMaster = nullptr;
    const Extended startX = CurX;
    if (s.HasVObjects && !OutputTo) {
        Report->CurObject = Band->Name();
        ShowVBands(Band);
        CurX = 0;
        PreviewPages->AddPageAction = apAdd;
        keptPageList = VPageList;
        keptVMaster = VMasterBand;
    }
    if (Band->Vertical) {
        ShowVBand(Band);
        return;
    }
    auto* data = dynamic_cast<TrpDataBand*>(Band);
    const bool multiColumn = data && data->Columns >= 2;
    if (!CallFromAddPage && Band->GetVisible() && Band->StartNewPage && !OutputTo) {
        const bool firstRow = (data || Is<TrpGroupHeader>(Band)) && s.LineThrough == 1;
        if (!firstRow)
            NewPage();
    }
    Stretch(Band);
    try {
        if (Band->GetVisible() && !FFailed) {
            bool split = false;
            // A band reprinted at the top of a fresh page is placed as it is: testing it
            // would ask for another page, which reprints it again, without end.
            if (!multiColumn && !Is<TrpOverlay>(Band) && !CallFromAddPage && FreeSpace() < Band->GetHeight() &&
                !OutputTo) {
                if (Band->AllowSplit && !s.HasVObjects) {
                    DrawSplit(Band);
                    split = true;
                } else if (!AtFreshTop()) {
                    NewColumn();
                }
            }
            if (!split && !FFailed) {
                Band->SetLeft(multiColumn ? CurX + (data->GetCurColumn() - 1) * (data->ColumnWidth + data->ColumnGap)
                                          : CurX);
                if (!Is<TrpNullBand>(Band))
                    Band->SetTop(CurY);
                if (!OutputTo) {
                    if (s.HasVObjects) {
                        VPageList = keptPageList;
                        VMasterBand = keptVMaster;
                        OutputInParts(Band);
                        CurX = startX;
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
    UnStretch(Band);
    if (s.HasVObjects)
        VMasterBand = nullptr;
    if (Is<TrpFooter>(Band) || Is<TrpGroupFooter>(Band) || Is<TrpPageFooter>(Band) || Is<TrpReportSummary>(Band))
        AggregateList.Reset(Band);
    if (Band->GetVisible() && !FFailed)
        CheckSubReports(Band);
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
    while (!work.empty() && !FFailed) {
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
                if (st)
                    st->DrawPart();
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
            pushBelow(x, free);
            if (std::fabs(static_cast<double>(free - st->GetHeight())) >= 0.0001) {
                st->SetParent(Band);
                placedAny = true;
                full[x] = free + (fullH - st->GetHeight());
            } else if (atTop) {
                st->SetHeight(fullH);  // not one line fits a whole part: out it goes, overflowing
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
        PreviewPages->AddObject(Band);
        if (work.empty())
            CurY += Band->GetHeight();
        else
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
    if (Keeping || IsFirstBand)
        return;
    Keeping = true;
    KeepBand = Band;
    KeepPosition = Position ? Position : PreviewPages->GetCurPosition();
    KeepOutline = PreviewPages->Outline()->GetCurPosition();
    AggregateList.StartKeep();
}

void TrpEngine::EndKeep(TrpBand* Band)
{
    if (Band != KeepBand || !Band)
        return;
    KeepBand = nullptr;
    Keeping = false;
    AggregateList.EndKeep();
}

void TrpEngine::CheckBandColumns(TrpDataBand* Band, int ColumnKeepPos, Extended SaveCurY)
{
    if (Band->Columns <= 1)
        return;
    Band->ColumnBottom = std::max(Band->ColumnBottom, CurY);
    if (Band->GetCurColumn() < Band->Columns) {
        CurY = SaveCurY;
    } else if (Band->ColumnBottom <= PageHeight - FooterHeight()) {
        CurY = Band->ColumnBottom;
    } else if (Keeping) {
        NewColumn();
    } else {
        const Extended rowBottom = Band->ColumnBottom;
        PreviewPages->CutObjects(ColumnKeepPos);
        NewColumn();
        PreviewPages->PasteObjects(CurX, CurY);
        CurY = CurY + rowBottom - SaveCurY;
    }
    Band->SetCurColumn(Band->GetCurColumn() + 1);
}

void TrpEngine::AddColumn()
{
    ++CurColumn;
    Extended x = 0;
    TStrings* positions = Page->GetColumnPositions();
    if (CurColumn - 1 < positions->Count()) {
        try {
            x = rpStrToFloat(positions->Strings(CurColumn - 1)) * kUnitsPerMM;
        } catch (const Exception&) {
            x = 0;
        }
    }
    CurY = ColumnStartY;
    for (int i = 0; i < HeaderList.Count(); ++i) {
        TrpHeaderListItem* item = HeaderList.Items(i);
        CurX = x + item->Left;
        TrpBand* band = item->Band;
        if (!band || (Is<TrpPageHeader>(band) && CurY != 0))
            continue;
        for (int guard = 0; band && guard < kMaxShowDepth; ++guard) {
            band->Overflow = true;
            Stretch(band);
            if (band->GetVisible()) {
                band->SetLeft(CurX);
                band->SetTop(CurY);
                if (!Is<TrpPageHeader>(band))
                    PreviewPages->AddObject(band);
                CurY += band->GetHeight();
            }
            const bool goOn = band->GetVisible() || band->PrintChildIfInvisible;
            UnStretch(band);
            band->Overflow = false;
            if (!goOn)
                break;
            band = band->GetChild();
        }
    }
    CurX = x + PageCurX;
    MarkFresh();
}

void TrpEngine::EndColumn()
{
    TrpBand* footer = FindBand(TrpColumnFooter::StaticClass());
    if (!footer)
        return;
    Stretch(footer);
    if (footer->GetVisible()) {
        footer->SetLeft(CurX - PageCurX);
        footer->SetTop(CurY);
        PreviewPages->AddObject(footer);
    }
    UnStretch(footer);
    // Its totals cover one column: the next column starts them afresh.
    AggregateList.Reset(footer);
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
}

// ================================================================ subreports

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
        if (FFailed)
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
        Band->ObjectsCountBeforeOutput = Band->ObjectCount();
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
            PageCurX = keptPageX + sub->GetLeft();
            CurX = keptPageX + sub->GetLeft();
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

// ================================================================ vertical bands

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
    Band->ObjectsCountBeforeOutput = Band->ObjectCount();
    VHeaderList.clear();
    VPageList.clear();
    VPageList.push_back(0);
    CurVColumn = 0;
    Band->BeforePrint();
    Report->DoBeforePrint(Band);
    // The vertical rows count their own lines; the horizontal row keeps its number.
    const int line = CurLine, lineThrough = CurLineThrough;
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
        Is<TrpReportPage>(Parent) ? static_cast<TrpReportPage*>(Parent)->VMasterBands : BandList(Parent);
    for (TrpBand* b : list) {
        auto* band = dynamic_cast<TrpDataBand*>(b);
        TrpDataSet* ds = DataSetOf(b);
        if (!band || !ds)
            continue;
        TBandState& s = State(band);
        ds->First();
        s.LineN = 1;
        s.LineThrough = 1;
        band->SetCurColumn(1);
        ResetSuppressValues(band);
        bool first = true, shown = false;
        while (!ds->Eof() && !Stopped()) {
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
        if (CurX + Band->GetWidth() > PageWidth && CurX > 0) {
            CurX = 0;
            VPageList.push_back(VMasterBand->ObjectCount());
            const std::vector<TrpBand*> headers = VHeaderList;
            for (TrpBand* h : headers)
                ShowBand(h);
        }
        for (TrpView* v : ViewsOf(Band)) {
            if (State(v).HomeBand != VMasterBand)
                continue;
            Report->CurObject = v->Name();
            v->BeforePrint();
            Report->DoBeforePrint(v);
            v->GetData();
            Report->DoNotifyEvent(v, v->OnAfterData);
            TComponent* made = v->ClassType()->CreateComponent(*VMasterBand);
            if (auto* copy = dynamic_cast<TrpView*>(made)) {
                copy->Assign(v);
                copy->SetLeft(v->GetLeft() + CurX);
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
    const int keptPage = PreviewPages->CurPage;
    const Extended keptY = CurY;
    PreviewPages->AddPageAction = apWriteOver;
    std::vector<TrpComponent*> objects(Band->Objects());
    for (size_t k = 0; k + 1 < VPageList.size(); ++k) {
        const int a = VPageList[k], b = VPageList[k + 1];
        for (TrpComponent* o : objects)
            o->SetParent(nullptr);
        for (int i = a; i < b && i < static_cast<int>(objects.size()); ++i)
            objects[static_cast<size_t>(i)]->SetParent(Band);
        PreviewPages->AddObject(Band);
        if (k + 2 < VPageList.size()) {
            NewPage();
            CurY = keptY;
        }
    }
    for (TrpComponent* o : objects)
        o->SetParent(nullptr);
    for (TrpComponent* o : objects)
        o->SetParent(Band);
    PreviewPages->CurPage = keptPage;
    CurY = keptY;
    PreviewPages->AddPageAction = apAdd;
}

// ================================================================ outline

void TrpEngine::AddPageOutline()
{
    if (!Page || Page->OutlineText.empty())
        return;
    OutlineRoot();
    Report->CurObject = Page->Name();
    PreviewPages->Outline()->AddItem(VarToStr(Report->Calc(Page->OutlineText)), 0);
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
    if (Band && !Band->OutlineText.empty())
        PreviewPages->Outline()->LevelUp();
}

void TrpEngine::OutlineRoot() { PreviewPages->Outline()->LevelRoot(); }

#include "report/output/rpPreview.h"

#include "report/output/rpPageSettings.h"
#include "report/output/rpPrinter.h"
#include "report/output/rpSearchDialog.h"

#include "report/model/rpBands.h"
#include "report/model/rpDMPClass.h"
#include "report/model/rpPages.h"
#include "report/model/rpRes.h"

#include "platform/graphics/Canvas.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kGap = 10;           // between pages and rows, and round the layout
constexpr int kA4Width = 794, kA4Height = 1123;
constexpr Extended kMinZoom = 0.25;
constexpr Extended kUnitsPerMM = 3.77953;
constexpr int kOutlinePageBits = 20;  // page number in the low bits of a node's data
constexpr int kMaxOutlineDepth = 256;

int RoundInt(Extended x) { return static_cast<int>(Round(x)); }

}  // namespace

// An outline node's data holds its position. The classic form, (Page + 1) + (Top div 2) x
// 2^20 in 32 bits, is kept wherever it fits (page numbers below 2^20, tops below 4096
// pixels) since that is what others have always read from a node. Anything larger (a top
// far down a tall page, a huge page number) goes into the wide form: bit 62 set, the page
// number in bits 0..30 and the whole top in bits 31..61, so nothing is lost.
static_assert(sizeof(intptr_t) >= 8, "outline positions need 64-bit node data");

namespace {
constexpr int64_t kWideOutline = int64_t(1) << 62;
constexpr int64_t kWideMask = (int64_t(1) << 31) - 1;
}  // namespace

intptr_t rpPackOutlinePosition(int Page, int Top)
{
    const int64_t pageNo = int64_t(Page) + 1;
    if (pageNo >= 0 && pageNo < (int64_t(1) << kOutlinePageBits) && Top >= 0 && Top / 2 < 2048)
        return intptr_t(pageNo + (int64_t(Top / 2) << kOutlinePageBits));
    return intptr_t(kWideOutline | (pageNo & kWideMask) | ((int64_t(std::max(Top, 0)) & kWideMask) << 31));
}

void rpUnpackOutlinePosition(intptr_t Data, int& PageNo, int& Top)
{
    const int64_t data = Data;
    if (data & kWideOutline) {
        PageNo = int(data & kWideMask);
        Top = int((data >> 31) & kWideMask);
        return;
    }
    const int32_t classic = int32_t(data);
    PageNo = classic % (1 << kOutlinePageBits);
    Top = (classic / (1 << kOutlinePageBits)) * 2;
}

TrpFindState& rpFindState()
{
    static TrpFindState state;
    return state;
}

Extended rpPageTopMargin(const TrpReportPage* Page) { return Page ? Page->TopMargin : 0; }

// ---------------------------------------------------------------- TrpPageList

void TrpPageList::SetColumnCount(int Value)
{
    FColumnCount = std::max(Value, 1);
    Clear();
}

void TrpPageList::Clear()
{
    FItems.clear();
    FMaxWidth = 0;
}

void TrpPageList::AddPage(int Width, int Height)
{
    TrpPageItem item;
    item.Width = static_cast<uint16_t>(std::clamp(Width, 0, 65535));
    item.Height = static_cast<uint16_t>(std::clamp(Height, 0, 65535));
    if (FItems.empty()) {
        item.Column = 0;
        item.OffsetY = kGap;
    } else if (FItems.back().Column < FColumnCount - 1) {
        item.Column = static_cast<uint16_t>(FItems.back().Column + 1);
        item.OffsetY = FItems.back().OffsetY;
    } else {
        // A new row below the tallest page of the last one.
        int tallest = 0;
        for (size_t i = FItems.size(); i-- > 0;) {
            tallest = std::max<int>(tallest, FItems[i].Height);
            if (FItems[i].Column == 0)
                break;
        }
        item.Column = 0;
        item.OffsetY = FItems.back().OffsetY + tallest + kGap;
    }
    FItems.push_back(item);
    int rowWidth = 0;
    for (size_t i = FItems.size(); i-- > 0;) {
        rowWidth += FItems[i].Width + kGap;
        if (FItems[i].Column == 0)
            break;
    }
    FMaxWidth = std::max(FMaxWidth, rowWidth);
}

TRect TrpPageList::GetPageBounds(int Index, int ClientWidth, Extended Zoom) const
{
    const auto centred = [&](int rowWidth) {
        const Extended scaled = rowWidth * Zoom;
        return ClientWidth >= scaled ? RoundInt((ClientWidth - scaled) / 2) : kGap;
    };
    if (Index < 0 || Index >= Count()) {
        const int left = centred(kA4Width);
        const int top = RoundInt(kGap * Zoom);
        return Rect(left, top, left + RoundInt(kA4Width * Zoom), top + RoundInt(kA4Height * Zoom));
    }
    const TrpPageItem& item = FItems[static_cast<size_t>(Index)];
    int rowLeft = 0;
    int rowWidth = item.Width;
    if (FColumnCount >= 2) {
        int first = Index;
        while (first > 0 && FItems[static_cast<size_t>(first)].Column != 0)
            --first;
        rowLeft = 0;
        for (int j = first; j < Index; ++j)
            rowLeft += FItems[static_cast<size_t>(j)].Width + kGap;
        rowWidth = FItems[static_cast<size_t>(first)].Width;
        for (int j = first + 1; j < Count() && FItems[static_cast<size_t>(j)].Column != 0; ++j)
            rowWidth += FItems[static_cast<size_t>(j)].Width + kGap;
    }
    const int left = centred(rowWidth) + RoundInt(rowLeft * Zoom);
    const int top = RoundInt(item.OffsetY * Zoom);
    return Rect(left, top, left + RoundInt(item.Width * Zoom), top + RoundInt(item.Height * Zoom));
}

TPoint TrpPageList::GetMaxBounds(int ClientWidth, Extended Zoom) const
{
    if (FItems.empty())
        return Point(0, 0);
    return Point(RoundInt(FMaxWidth * Zoom), GetPageBounds(Count() - 1, ClientWidth, Zoom).Bottom);
}

int TrpPageList::FindPage(int Offset, Extended Zoom, bool Exact) const
{
    int low = 0, high = Count() - 1;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const TrpPageItem& item = FItems[static_cast<size_t>(mid)];
        const int tolerance = Exact ? 0 : RoundInt(item.Height * Zoom / 5);
        if (Offset + tolerance >= item.OffsetY * Zoom)
            low = mid + 1;
        else
            high = mid - 1;
    }
    return high;
}

// ---------------------------------------------------------------- TrpPreviewWorkspace

SKLAD_DEFINE_ABSTRACT_CLASS(TrpPreviewWorkspace)

TrpPreviewWorkspace::TrpPreviewWorkspace(TComponent* AOwner, TrpPreview* APreview)
    : TrpScrollWin(AOwner), FPreview(APreview)
{
    SetColor(clGray);
    SetSmallChange(8);
    SetLargeChange(300);
    Surface = new TPaintBox(this);
    Surface->SetParent(this);
    Surface->SetAlign(alClient);
    Surface->OnPaint = TNotifyEvent::Lambda([this](TObject*) { Paint(*Surface->GetCanvas()); }, this);
    Surface->OnMouseDown = TMouseEvent::Lambda(
        [this](TObject*, TMouseButton b, TShiftState s, int x, int y) { DoMouseDown(b, s, x, y); }, this);
    Surface->OnMouseMove =
        TMouseMoveEvent::Lambda([this](TObject*, TShiftState s, int x, int y) { DoMouseMove(s, x, y); }, this);
    Surface->OnMouseUp = TMouseEvent::Lambda(
        [this](TObject*, TMouseButton b, TShiftState s, int x, int y) { DoMouseUp(b, s, x, y); }, this);
}

TrpPreviewWorkspace::~TrpPreviewWorkspace() = default;

TrpCustomPreviewPages* TrpPreviewWorkspace::PreviewPages() const { return FPreview->PreviewPages; }

TRect TrpPreviewWorkspace::GetPageBounds(int Index) const
{
    return FPageList.GetPageBounds(Index, GetClientWidth(), FPreview->GetZoom());
}

int TrpPreviewWorkspace::FindPage(int Offset, bool Exact) const
{
    return FPageList.FindPage(Offset, FPreview->GetZoom(), Exact);
}

void TrpPreviewWorkspace::Repaint()
{
    Invalidate();
    Surface->Invalidate();
}

void TrpPreviewWorkspace::Paint(TCanvas& Canvas)
{
    const TRect client = ClientRect();
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.GetBrush()->SetColor(clGray);
    // The page interiors are painted over; the background goes first in one fill.
    Canvas.FillRect(client);
    TrpCustomPreviewPages* pages = PreviewPages();
    if (FPreview->GetLocked() || !pages || FPreview->GetPageCount() == 0)
        return;
    const Extended zoom = FPreview->GetZoom();
    const TrpFindState& find = rpFindState();
    const int count = std::min(FPreview->GetPageCount(), FPageList.Count());
    const int i0 = FindPage(OffsetY, false);
    for (int i = std::max(i0 - 20, 0); i <= i0 + 20 && i < count; ++i) {
        const TRect r = OffsetRect(GetPageBounds(i), -OffsetX, -OffsetY);
        TRect shadowed = r;
        shadowed.Bottom += 1;
        shadowed.Right += 1;
        if (r.Top >= client.Height() || shadowed.Bottom < 0 || !Canvas.RectVisible(shadowed))
            continue;
        TPen* pen = Canvas.GetPen();
        pen->SetColor(clBlack);
        pen->SetWidth(1);
        pen->SetMode(pmCopy);
        pen->SetStyle(psSolid);
        Canvas.GetBrush()->SetStyle(bsSolid);
        Canvas.GetBrush()->SetColor(clWhite);
        Canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
        Canvas.MoveTo(r.Left + 1, r.Bottom);
        Canvas.LineTo(r.Right, r.Bottom);
        Canvas.LineTo(r.Right, r.Top + 1);
        pages->DrawPage(i, &Canvas, zoom, zoom, r.Left, r.Top);
        if (find.TextFound && i == SearchPage) {
            const TRect h = Rect(RoundInt(find.FoundRect.Left * zoom), RoundInt(find.FoundRect.Top * zoom),
                                 RoundInt(find.FoundRect.Right * zoom), RoundInt(find.FoundRect.Bottom * zoom));
            pen->SetWidth(1);
            pen->SetStyle(psSolid);
            pen->SetMode(pmXor);
            pen->SetColor(clWhite);
            for (int k = 0; k <= h.Bottom - h.Top; ++k) {
                Canvas.MoveTo(r.Left + h.Left - 1, r.Top + h.Top + k);
                Canvas.LineTo(r.Left + h.Right + 1, r.Top + h.Top + k);
            }
            pen->SetMode(pmCopy);
        }
    }
}

void TrpPreviewWorkspace::UpdateScrollBars()
{
    const TPoint extent = FPageList.GetMaxBounds(GetClientWidth(), FPreview->GetZoom());
    SetHorzRange(extent.X + kGap);
    SetVertRange(extent.Y + kGap);
    // A narrower layout may leave the view scrolled past the pages' right edge.
    SetHorzPosition(GetHorzPosition());
}

void TrpPreviewWorkspace::Resize()
{
    TrpScrollWin::Resize();
    SetHorzPage(GetClientWidth());
    SetVertPage(GetClientHeight());
}

void TrpPreviewWorkspace::OnHScrollChange()
{
    OffsetX = GetHorzPosition();
    Repaint();
}

void TrpPreviewWorkspace::OnVScrollChange()
{
    OffsetY = GetVertPosition();
    Repaint();
    // Scrolling to a page the user chose keeps that page current, also when the view
    // cannot go far enough to bring it to the top (the last pages fit in the window).
    if (FScrollingToPage)
        return;
    {
        DisableUpdate = true;
        struct Restore {
            bool& Flag;
            ~Restore() { Flag = false; }
        } restore{DisableUpdate};
        FPreview->SetPageNo(FindPage(GetVertPosition(), false) + 1);
    }
    const int index = FPreview->GetPageNo() - 1;
    FAnchorOffset = index >= 0 && index < FPageList.Count()
                        ? (GetVertPosition() + kGap) / FPreview->GetZoom() - FPageList.Item(index).OffsetY
                        : 0;
}

void TrpPreviewWorkspace::SetToPageNo(int PageNo)
{
    if (DisableUpdate)
        return;
    FScrollingToPage = true;
    struct Restore {
        bool& Flag;
        ~Restore() { Flag = false; }
    } restore{FScrollingToPage};
    SetVertPosition(GetPageBounds(PageNo - 1).Top - kGap);
    FAnchorOffset = 0;
}

void TrpPreviewWorkspace::ScrollToAnchor()
{
    // Positions are pixels at the zoom they were scrolled at: kept as they are, a new zoom
    // would show another page than the one the page number names.
    const int index = FPreview->GetPageNo() - 1;
    if (DisableUpdate || index < 0 || index >= FPageList.Count())
        return;
    FScrollingToPage = true;
    struct Restore {
        bool& Flag;
        ~Restore() { Flag = false; }
    } restore{FScrollingToPage};
    SetVertPosition(RoundInt((FPageList.Item(index).OffsetY + FAnchorOffset) * FPreview->GetZoom()) - kGap);
}

void TrpPreviewWorkspace::HandleKey(Word Key)
{
    switch (Key) {
    case VK_UP: SetVertPosition(GetVertPosition() - 8); break;
    case VK_DOWN: SetVertPosition(GetVertPosition() + 8); break;
    case VK_LEFT: SetHorzPosition(GetHorzPosition() - 8); break;
    case VK_RIGHT: SetHorzPosition(GetHorzPosition() + 8); break;
    case VK_PRIOR: SetVertPosition(GetVertPosition() - 300); break;
    case VK_NEXT: SetVertPosition(GetVertPosition() + 300); break;
    case VK_HOME: FPreview->SetPageNo(1); break;
    case VK_END: FPreview->SetPageNo(FPreview->GetPageCount()); break;
    default: break;
    }
}

void TrpPreviewWorkspace::KeyDown(Word& Key, TShiftState Shift)
{
    TrpScrollWin::KeyDown(Key, Shift);
    if (Key != 0)
        FPreview->KeyDown(Key, Shift);
}

void TrpPreviewWorkspace::FindText()
{
    TrpFindState& find = rpFindState();
    find.TextFound = false;
    TrpCustomPreviewPages* pages = PreviewPages();
    if (!pages)
        return;
    const AnsiString wanted = find.CaseSensitive ? find.SearchText : AnsiUpperCase(find.SearchText);
    const int count = FPreview->GetPageCount();
    while (SearchPage < count) {
        if (!FindMetafile || FindMetafilePage != SearchPage) {
            FindMetafile = std::make_unique<TMetafile>();
            {
                TMetafileCanvas canvas(FindMetafile.get());
                pages->DrawPage(SearchPage, &canvas, 1, 1, 0, 0);
            }
            FindMetafilePage = SearchPage;
        }
        find.RecordNo = 0;
        // Text records are measured in the font selected before them.
        const TDrawRecord* font = nullptr;
        for (const TDrawRecord& record : FindMetafile->Records()) {
            if (record.Op == TDrawOp::Font)
                font = &record;
            if (record.Op == TDrawOp::Text && !wanted.empty()) {
                const AnsiString text = find.CaseSensitive ? record.Text : AnsiUpperCase(record.Text);
                if (text.find(wanted) != AnsiString::npos && find.RecordNo > find.LastFoundRecord) {
                    TRecordingDevice measure(&DefaultFontBackend());
                    TDrawRecords played;
                    if (font)
                        played.push_back(*font);
                    played.push_back(record);
                    PlayRecords(played, measure);
                    find.TextFound = true;
                    find.FoundRect = measure.Extent();
                    find.LastFoundRecord = find.RecordNo;
                    break;
                }
            }
            ++find.RecordNo;
        }
        if (find.TextFound)
            break;
        find.LastFoundRecord = -1;
        ++SearchPage;
    }
    if (!find.TextFound)
        return;
    const Extended zoom = FPreview->GetZoom();
    const TRect r = GetPageBounds(SearchPage);
    const TRect h = Rect(RoundInt(find.FoundRect.Left * zoom), RoundInt(find.FoundRect.Top * zoom),
                         RoundInt(find.FoundRect.Right * zoom), RoundInt(find.FoundRect.Bottom * zoom));
    if (!(OffsetY <= r.Top + h.Top && r.Top + h.Bottom <= OffsetY + GetClientHeight()))
        SetVertPosition(r.Top + h.Bottom - GetClientHeight() + 20);
    if (!(OffsetX <= r.Left + h.Left && r.Left + h.Right <= OffsetX + GetClientWidth()))
        SetHorzPosition(r.Left + h.Right - GetClientWidth() + 20);
    Repaint();
}

int TrpPreviewWorkspace::PageAt(int X, int Y) const
{
    // The last page whose top the point has passed; pages side by side share their top, so
    // of those the one that spans the point across (the row's last when none does).
    const int found = FindPage(OffsetY + Y, true);
    if (found < 0 || FPageList.GetColumnCount() < 2)
        return found;
    int first = found;
    while (first > 0 && FPageList.Item(first).Column != 0)
        --first;
    for (int i = first; i < FPageList.Count() && (i == first || FPageList.Item(i).Column != 0); ++i) {
        const TRect r = GetPageBounds(i);
        if (OffsetX + X >= r.Left && OffsetX + X < r.Right)
            return i;
    }
    return found;
}

void TrpPreviewWorkspace::DoMouseDown(TMouseButton Button, TShiftState, int X, int Y)
{
    // A click on the pages gives them the keys, wherever they were (the page number box).
    if (FPreview->CanFocus())
        FPreview->SetFocus();
    if (FPreview->GetPageCount() == 0)
        return;
    if (Button == mbLeft) {
        Down = true;
        LastX = X;
        LastY = Y;
    }
}

void TrpPreviewWorkspace::DoMouseMove(TShiftState, int X, int Y)
{
    TrpCustomPreviewPages* pages = PreviewPages();
    if (FPreview->GetPageCount() == 0 || !pages)
        return;
    if (Down) {
        if (FPreview->GetTool() == ptHand) {
            SetHorzPosition(GetHorzPosition() - (X - LastX));
            SetVertPosition(GetVertPosition() - (Y - LastY));
            LastX = X;
            LastY = Y;
        }
        return;
    }
    const int page = PageAt(X, Y);
    const TRect r = GetPageBounds(page);
    TCursor cursor = DefaultCursor;
    pages->ObjectOver(page, X, Y, mbLeft, TShiftState(), FPreview->GetZoom(), r.Left - OffsetX, r.Top - OffsetY, false,
                      cursor);
    SetCursor(cursor);
    Surface->SetCursor(cursor);
}

void TrpPreviewWorkspace::DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TrpCustomPreviewPages* pages = PreviewPages();
    if (FPreview->GetPageCount() == 0 || !pages)
        return;
    FPreview->OnClick(FPreview);
    Down = false;
    if (FPreview->GetTool() == ptZoom) {
        if (Button == mbLeft)
            FPreview->SetZoom(FPreview->GetZoom() + 0.25);
        else if (Button == mbRight)
            FPreview->SetZoom(FPreview->GetZoom() - 0.25);
        return;
    }
    const int page = PageAt(X, Y);
    const TRect r = GetPageBounds(page);
    TCursor cursor = DefaultCursor;
    pages->ObjectOver(page, X, Y, Button, Shift, FPreview->GetZoom(), r.Left - OffsetX, r.Top - OffsetY, true, cursor);
}

// ---------------------------------------------------------------- TrpPreview

SKLAD_DEFINE_CLASS(TrpPreview)
void TrpPreview::Publish(TPropertyTable& t)
{
    t.Prop("OutlineVisible", &TrpPreview::GetOutlineVisible, &TrpPreview::SetOutlineVisible).Default(true);
    t.Event("OnPageChanged", &TrpPreview::OnPageChanged);
}

TrpPreview::TrpPreview(TComponent* AOwner) : TrpCustomPreview(AOwner)
{
    SetBounds(GetLeft(), GetTop(), 100, 100);
    SetTabStop(true);

    OutlineTree = new TTreeView(this);
    OutlineTree->SetParent(this);
    OutlineTree->SetWidth(120);
    OutlineTree->SetAlign(alLeft);
    OutlineTree->SetReadOnly(true);
    OutlineTree->SetHideSelection(false);
    OutlineTree->OnClick = TNotifyEvent(this, &TrpPreview::TreeClick);

    Splitter = new TSplitter(this);
    Splitter->SetParent(this);
    Splitter->SetBounds(1000, 0, 2, GetHeight());
    Splitter->SetMinSize(1);

    Workspace = new TrpPreviewWorkspace(this, this);
    Workspace->SetParent(this);
    Workspace->SetAlign(alClient);

    MessagePanel = new TPanel(this);
    MessagePanel->SetVisible(false);
    MessagePanel->SetParent(this);
    MessagePanel->SetCaption("");
    MessageLabel = new TLabel(this);
    MessageLabel->SetParent(MessagePanel);
    MessageLabel->SetAutoSize(false);
    MessageLabel->SetAlignment(taCenter);
    MessageLabel->SetBounds(4, 20, 255, 20);
    CancelButton = new TButton(this);
    CancelButton->SetVisible(false);
    CancelButton->SetParent(MessagePanel);
    CancelButton->SetBounds(92, 44, 75, 25);
    CancelButton->SetCaption(rpResources().Get("clCancel"));
    CancelButton->OnClick = TNotifyEvent(this, &TrpPreview::CancelButtonClick);

    SetTool(ptHand);
}

TrpPreview::~TrpPreview()
{
    if (Report) {
        TrpReport* report = Report;
        Report = nullptr;
        if (report->GetPreview() == this)
            report->SetPreview(nullptr);
    }
}

void TrpPreview::Notification(TComponent* AComponent, TOperation Operation)
{
    TrpCustomPreview::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == Report) {
        // The report's prepared pages die with it: forget them without touching them.
        Report = nullptr;
        PreviewPages = nullptr;
        FRunning = false;
        UpdatePages();
        UpdateOutline();
        FPageNo = 0;
        Workspace->SetHorzRange(0);
        Workspace->SetVertRange(0);
        Workspace->Repaint();
    }
}

TrpPreviewHost* TrpPreview::Host() const { return dynamic_cast<TrpPreviewHost*>(Owner()); }

bool TrpPreview::ButtonAllowed(TrpPreviewButton Button) const
{
    return Report && Report->GetPreviewOptions()->Buttons.Contains(Button);
}

int TrpPreview::GetPageCount() const { return PreviewPages ? PreviewPages->GetCount() : 0; }

void TrpPreview::Init()
{
    TrpFindState& find = rpFindState();
    find.TextFound = false;
    Workspace->SearchPage = 0;
    find.LastFoundRecord = -1;
    FAllowF3 = false;
    UpdatePages();
    UpdateZoom();
    UpdateOutline();
    First();
}

void TrpPreview::Lock() { FLocked = true; }

void TrpPreview::Unlock()
{
    HideMessage();
    FLocked = false;
    // The page number stays where the user was (kept within the pages that are left).
    FPageNo = std::min(FPageNo, GetPageCount());
    if (FPageNo < 1 && GetPageCount() > 0)
        FPageNo = 1;
    UpdateZoom();
    Workspace->Repaint();
}

void TrpPreview::SetPageNo(int Value)
{
    FPageNo = std::min(std::max(Value, 1), GetPageCount());
    Workspace->SetToPageNo(FPageNo);
    UpdatePageNumbers();
}

void TrpPreview::First() { SetPageNo(1); }
void TrpPreview::Prior() { SetPageNo(FPageNo - 1); }
void TrpPreview::Next() { SetPageNo(FPageNo + 1); }
void TrpPreview::Last() { SetPageNo(GetPageCount()); }

void TrpPreview::UpdatePageNumbers() { OnPageChanged(this, FPageNo); }

void TrpPreview::SetPosition(int PageN, int Top)
{
    PageN = std::max(std::min(PageN, GetPageCount()), 1);
    int y = 0;
    if (Top != 0) {
        const Extended margin = PreviewPages && GetPageCount() > 0 ? rpPageTopMargin(PreviewPages->GetPage(PageN - 1)) : 0;
        y = RoundInt((Top + margin * kUnitsPerMM) * FZoom);
    }
    Workspace->SetVertPosition(Workspace->GetPageBounds(PageN - 1).Top - kGap + y);
}

void TrpPreview::SetZoom(Extended Value)
{
    FZoom = std::max(Value, kMinZoom);
    if (FZoomMode == zmManyPages)
        SetZoomMode(zmDefault);
    FZoomMode = zmDefault;
    UpdateZoom();
}

void TrpPreview::SetZoomMode(TrpZoomMode Value)
{
    FZoomMode = Value;
    UpdatePages();
    UpdateZoom();
}

void TrpPreview::UpdateZoom()
{
    if (FLocked || GetPageCount() == 0)
        return;
    const TPoint size = PreviewPages->GetPageSize(std::max(FPageNo - 1, 0));
    // A fitted zoom has no lower bound, but a window too small to hold any of the page
    // (less than the gaps round it) keeps the zoom it had rather than a zero or negative one.
    const auto fit = [this](int room, int extent) {
        if (room > 0 && extent > 0)
            FZoom = Extended(room) / extent;
    };
    switch (FZoomMode) {
    case zmWholePage: fit(Workspace->GetClientHeight() - 20, size.Y); break;
    case zmPageWidth: fit(Workspace->GetClientWidth() - 20, size.X); break;
    case zmManyPages: fit(Workspace->GetClientWidth() - 32, 2 * size.X); break;
    case zmDefault: break;
    }
    LimitZoom();
    Workspace->UpdateScrollBars();
    Workspace->ScrollToAnchor();
    Workspace->Repaint();
    if (TrpPreviewHost* host = Host())
        host->UpdateZoom();
}

bool TrpPreview::LimitZoom()
{
    const Extended limit = MaxZoom();
    if (FZoom <= limit)
        return false;
    FZoom = limit;
    return true;
}

Extended TrpPreview::MaxZoom() const
{
    // Zoom has no upper bound of its own; pages laid out beyond 2^30 pixels would not fit
    // the positions and scroll ranges (an empty list stands for one A4 page).
    const TrpPageList& list = Workspace->PageList();
    const TPoint extent = list.GetMaxBounds(0, 1);
    const int largest = std::max({extent.X, extent.Y, kA4Height + kGap});
    return Extended(1 << 30) / largest;
}

void TrpPreview::UpdatePages()
{
    FAllowF3 = false;
    Workspace->FindMetafilePage = -1;
    Workspace->PageList().Clear();
    if (!PreviewPages)
        return;
    Workspace->PageList().SetColumnCount(FZoomMode == zmManyPages ? 2 : 1);
    const int count = PreviewPages->GetCount();
    for (int i = 0; i < count; ++i) {
        const TPoint size = PreviewPages->GetPageSize(i);
        Workspace->PageList().AddPage(size.X, size.Y);
    }
}

bool TrpPreview::GetOutlineVisible() const { return OutlineTree->GetVisible(); }

void TrpPreview::SetOutlineVisible(bool Value)
{
    OutlineTree->SetVisible(Value);
    Splitter->SetVisible(Value);
    Splitter->SetBounds(1000, Splitter->GetTop(), 2, Splitter->GetHeight());
    Splitter->SetAlign(alLeft);
}

void TrpPreview::UpdateOutline()
{
    TTreeNodes* nodes = OutlineTree->GetItems();
    nodes->BeginUpdate();
    nodes->Clear();
    if (PreviewPages && PreviewPages->Outline()) {
        PreviewPages->Outline()->LevelRoot();
        AddOutlineNodes(nullptr, 0);
    }
    nodes->EndUpdate();
    OutlineTree->FullExpand();
    if (nodes->Count() > 0)
        OutlineTree->UserScrolled(0);
}

void TrpPreview::AddOutlineNodes(TTreeNode* Parent, int Depth)
{
    // A damaged outline must not take the stack with it.
    if (Depth > kMaxOutlineDepth)
        return;
    TrpCustomOutline* outline = PreviewPages->Outline();
    const int count = outline->GetCount();
    for (int i = 0; i < count; ++i) {
        AnsiString text;
        int page = 0, top = 0;
        outline->GetItem(i, text, page, top);
        TTreeNode* node = OutlineTree->GetItems()->AddChildObject(
            Parent, text, reinterpret_cast<void*>(rpPackOutlinePosition(page, top)));
        outline->LevelDown(i);
        AddOutlineNodes(node, Depth + 1);
        outline->LevelUp();
    }
}

void TrpPreview::TreeClick(TObject*)
{
    TTreeNode* node = OutlineTree->GetSelected();
    if (!node)
        return;
    int page = 0, top = 0;
    rpUnpackOutlinePosition(reinterpret_cast<intptr_t>(node->GetData()), page, top);
    SetPosition(page, top);
    if (CanFocus())
        SetFocus();
}

void TrpPreview::SetTool(TrpPreviewTool Value)
{
    FTool = Value;
    Workspace->DefaultCursor = Value == ptHand ? crrpHand : Value == ptZoom ? crrpZoom : crDefault;
    Workspace->SetCursor(Workspace->DefaultCursor);
    Workspace->Surface->SetCursor(Workspace->DefaultCursor);
}

void TrpPreview::ShowMessage(const AnsiString& S)
{
    MessagePanel->SetBounds((GetWidth() - 260) / 2, (GetHeight() - 75) / 3, 260, 75);
    MessageLabel->SetCaption(S);
    MessagePanel->SetVisible(true);
    MessagePanel->BringToFront();
    MessagePanel->Invalidate();
}

void TrpPreview::HideMessage()
{
    MessagePanel->SetVisible(false);
    CancelButton->SetVisible(false);
}

void TrpPreview::Print()
{
    if (FRunning || !PreviewPages)
        return;
    // Without an installed printer there is nothing to print on. Said here, so that every
    // print command of the preview (its button, Ctrl+P) tells the same, before any dialog.
    if (!rpPrinters().HasPhysicalPrinters()) {
        Application->MessageBox(rpResources().Get("clNoPrinters"), rpResources().Get("mbError"), MB_OK | MB_ICONERROR);
        return;
    }
    PreviewPages->CurPreviewPage = FPageNo;
    struct Unlocker {
        TrpPreview* P;
        ~Unlocker() { P->Unlock(); }
    } unlock{this};
    PreviewPages->Print();
}

void TrpPreview::SaveToFile()
{
    if (FRunning || !PreviewPages)
        return;
    TSaveDialog dialog(Application);
    dialog.Filter = rpResources().Get("clRPFfiles") + " (*.rpf)|*.rpf";
    if (!dialog.Execute())
        return;
    Workspace->Repaint();
    SaveToFile(ChangeFileExt(dialog.FileName, ".rpf"));
}

void TrpPreview::SaveToFile(const AnsiString& FileName)
{
    if (FRunning || !PreviewPages)
        return;
    Lock();
    struct Unlocker {
        TrpPreview* P;
        ~Unlocker() { P->Unlock(); }
    } unlock{this};
    ShowMessage(rpResources().Get("clSaving"));
    PreviewPages->SaveToFile(FileName);
}

void TrpPreview::LoadFromFile()
{
    if (FRunning || !PreviewPages)
        return;
    TOpenDialog dialog(Application);
    dialog.Options = TOpenOptions{ofHideReadOnly};
    dialog.Filter = rpResources().Get("clRPFfiles") + " (*.rpf)|*.rpf";
    if (!dialog.Execute())
        return;
    Workspace->Repaint();
    LoadFromFile(dialog.FileName);
}

void TrpPreview::LoadFromFile(const AnsiString& FileName)
{
    if (FRunning || !PreviewPages)
        return;
    // Loading clears the store before it reads; a damaged file would leave nothing on
    // show. The pages shown are kept aside and put back when the file cannot be read, and
    // the error goes on to the caller.
    TMemoryStream shown;
    PreviewPages->SaveToStream(shown);
    const int pageNo = FPageNo;
    Lock();
    try {
        struct Unlocker {
            TrpPreview* P;
            ~Unlocker() { P->Unlock(); }
        } unlock{this};
        ShowMessage(rpResources().Get("clLoading"));
        try {
            PreviewPages->LoadFromFile(FileName, false);
        } catch (...) {
            // Putting back what was shown tells nothing: its damage was told when it was
            // opened, and only the refusal of the new file goes on to the user.
            shown.SetPosition(0);
            struct Quiet {
                TrpEngineOptions* Options;
                bool Was;
                ~Quiet()
                {
                    if (Options)
                        Options->SilentMode = Was;
                }
            } quiet{PreviewPages->Report ? PreviewPages->Report->GetEngineOptions() : nullptr, false};
            if (quiet.Options) {
                quiet.Was = quiet.Options->SilentMode;
                quiet.Options->SilentMode = true;
            }
            PreviewPages->LoadFromStream(shown, false);
            throw;
        }
        if (Report)
            SetOutlineVisible(Report->GetPreviewOptions()->OutlineVisible);
        UpdateOutline();
        UpdatePages();
    } catch (...) {
        UpdateOutline();
        UpdatePages();
        SetPageNo(pageNo);
        throw;
    }
    SetPageNo(1);
}

void TrpPreview::Export(TrpCustomExportFilter* Filter)
{
    if (FRunning || !PreviewPages)
        return;
    PreviewPages->CurPreviewPage = FPageNo;
    struct Unlocker {
        TrpPreview* P;
        ~Unlocker() { P->Unlock(); }
    } unlock{this};
    PreviewPages->Export(Filter);
}

void TrpPreview::PageSetupDlg()
{
    if (FRunning || !PreviewPages || GetPageCount() == 0)
        return;
    TrpReportPage* page = PreviewPages->GetPage(FPageNo - 1);
    if (!page)
        return;
    std::unique_ptr<TrpPageSettingsForm> dialog(new TrpPageSettingsForm(Application));
    dialog->Page = page;
    if (dialog->ShowModal() != mrOk)
        return;
    if (dialog->GetNeedRebuild()) {
        if (!Report)
            return;
        const TrpPageParams params = dialog->Params;
        for (int i = 0; i < Report->GetPagesCount(); ++i)
            rpApplyPageParams(Report->GetPages(i), params);
        Report->PrepareReport(true);
        return;
    }
    Lock();
    struct Unlocker {
        TrpPreview* P;
        ~Unlocker() { P->Unlock(); }
    } unlock{this};
    PreviewPages->ModifyPage(FPageNo - 1, page);
    UpdatePages();
}

void TrpPreview::Find()
{
    std::unique_ptr<TrpSearchDialog> dialog(new TrpSearchDialog(Application));
    if (dialog->ShowModal() == mrOk) {
        TrpFindState& find = rpFindState();
        find.SearchText = dialog->TextE->GetText();
        find.CaseSensitive = dialog->CaseCB->GetChecked();
        Workspace->SearchPage = dialog->TopCB->GetChecked() ? 0 : std::max(FPageNo - 1, 0);
        find.LastFoundRecord = -1;
        Workspace->FindText();
    }
    FAllowF3 = true;
}

void TrpPreview::FindNext()
{
    if (FAllowF3)
        Workspace->FindText();
}

namespace {
// A prepared page made ready for the designer: every object sits on the page itself at
// its place, without the bands it was printed in and without data behind it.
void CopyPageForEdit(TrpReportPage* Page)
{
    const std::vector<TrpComponent*> all = Page->GetAllObjects();
    for (TrpComponent* c : all) {
        if (auto* view = dynamic_cast<TrpView*>(c)) {
            view->SetDataField("");
            view->SetDataSet(nullptr);
        }
        if (c->Parent() != Page && !dynamic_cast<TrpBand*>(c)) {
            const Extended left = c->GetAbsLeft() - Page->GetAbsLeft(), top = c->GetAbsTop() - Page->GetAbsTop();
            c->SetParent(Page);
            c->SetLeft(left);
            c->SetTop(top);
            c->SetParentFont(false);
        }
    }
    for (TrpComponent* c : all)
        if (dynamic_cast<TrpBand*>(c))
            delete c;
}
}  // namespace

void TrpPreview::Edit()
{
    if (FRunning || !PreviewPages || GetPageCount() == 0)
        return;
    TrpReportPage* source = PreviewPages->GetPage(FPageNo - 1);
    if (!source)
        return;
    // The designer works on a copy of the page on a report of its own; the page shown takes
    // the copy back only when the designer changed it.
    auto report = std::make_unique<TrpReport>(nullptr);
    TrpReportPage* page = dynamic_cast<TrpDMPPage*>(source) ? new TrpDMPPage(report.get())
                                                               : new TrpReportPage(report.get());
    page->AssignAll(source);
    CopyPageForEdit(page);
    if (!report->DesignPreviewPage() || report->GetPagesCount() == 0)
        return;
    auto* edited = dynamic_cast<TrpReportPage*>(report->GetPages(0));
    if (!edited)
        return;
    Lock();
    struct Unlocker {
        TrpPreview* P;
        ~Unlocker() { P->Unlock(); }
    } unlock{this};
    PreviewPages->ModifyPage(FPageNo - 1, edited);
    UpdatePages();
}

void TrpPreview::EditTemplate()
{
    if (FRunning || !Report)
        return;
    Report->DesignReport();
}

void TrpPreview::Clear()
{
    if (FRunning || !PreviewPages)
        return;
    Lock();
    {
        struct Unlocker {
            TrpPreview* P;
            ~Unlocker() { P->Unlock(); }
        } unlock{this};
        PreviewPages->Clear();
        UpdatePages();
    }
    UpdateOutline();
    SetPageNo(0);
    Workspace->SetHorzRange(0);
    Workspace->SetVertRange(0);
}

void TrpPreview::AddPage()
{
    if (FRunning || !PreviewPages)
        return;
    PreviewPages->AddEmptyPage(FPageNo - 1);
    UpdatePages();
    UpdateZoom();
    SetPageNo(FPageNo);
}

void TrpPreview::DeletePage()
{
    if (FRunning || !PreviewPages || GetPageCount() == 0)
        return;
    PreviewPages->DeletePage(FPageNo - 1);
    if (GetPageCount() <= FPageNo)
        SetPageNo(FPageNo - 1);
    UpdatePages();
    UpdatePageNumbers();
    UpdateZoom();
}

void TrpPreview::Cancel()
{
    if (FRunning && Report)
        Report->SetTerminated(true);
}

void TrpPreview::CancelButtonClick(TObject*) { Cancel(); }

void TrpPreview::MouseWheelScroll(int Delta)
{
    if (Delta == 0)
        return;
    Workspace->SetVertPosition(Workspace->GetVertPosition() + 20 * (-Delta / std::abs(Delta)));
}

void TrpPreview::KeyDown(Word& Key, TShiftState Shift)
{
    TrpCustomPreview::KeyDown(Key, Shift);
    Workspace->HandleKey(Key);
    if (Key == VK_F3 && ButtonAllowed(pbFind)) {
        FindNext();
    } else if (Shift.Contains(ssCtrl)) {
        if (Key == 'P' && ButtonAllowed(pbPrint))
            Print();
        else if (Key == 'S' && ButtonAllowed(pbSave))
            SaveToFile();
        else if (Key == 'F' && ButtonAllowed(pbFind))
            Find();
    }
}

void TrpPreview::Resize()
{
    TrpCustomPreview::Resize();
    if (PreviewPages)
        UpdateZoom();
}

void TrpPreview::InternalOnProgressStart(TrpReport*, TrpProgressType, int)
{
    Clear();
    FRunning = true;
    if (TrpPreviewHost* host = Host())
        host->UpdateControls();
}

void TrpPreview::InternalOnProgress(TrpReport*, TrpProgressType ProgressType, int Progress)
{
    if (ProgressType == ptRunning && PreviewPages) {
        const int index = Progress;
        TrpCustomEngine* engine = PreviewPages->Engine;
        if ((!engine || engine->FinalPass) && index >= 0 && index < PreviewPages->GetCount()) {
            const TPoint size = PreviewPages->GetPageSize(index);
            Workspace->PageList().AddPage(size.X, size.Y);
            // The zoom the pages so far allowed may be too large for one more: it comes
            // down now, before the ranges and positions are worked out with it.
            if (LimitZoom())
                UpdateZoom();
        }
        const uint32_t now = static_cast<uint32_t>(Services().TickCount());
        if (index == 0) {
            OutlineTree->GetItems()->Clear();
            SetPageNo(1);
            UpdateZoom();
            if (TrpPreviewHost* host = Host())
                host->SetCloseCaption(rpResources().Get("clCancel"));
            Tick = now;
        } else if (index == 1) {
            const uint32_t elapsed = now - Tick;
            Tick = elapsed < 5 ? 50 : elapsed < 10 ? 20 : 5;
            SetPageNo(1);
            UpdateZoom();
        } else if (Tick > 0 && index % static_cast<int>(Tick) == 0) {
            UpdatePageNumbers();
            Workspace->UpdateScrollBars();
        }
    }
    if (Application)
        Application->ProcessMessages();
}

void TrpPreview::InternalOnProgressStop(TrpReport*, TrpProgressType, int)
{
    FRunning = false;
    UpdatePageNumbers();
    Workspace->UpdateScrollBars();
    UpdateZoom();
    UpdateOutline();
    if (TrpPreviewHost* host = Host()) {
        host->SetCloseCaption(rpResources().Get("clClose"));
        host->SetMessageText("");
        host->UpdateControls();
    }
}

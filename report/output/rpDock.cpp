#include "report/output/rpDock.h"

#include "report/model/rpUtils.h"

#include "platform/classes/IniFiles.h"
#include "platform/graphics/Canvas.h"

#include <algorithm>

namespace {

constexpr int kFloatDistance = 20;       // leaving a dock by more than this floats a tool bar
constexpr int kFrame = 3, kCaption = 18;  // where a floating tool bar sits in its window
constexpr int kDockSlack = 4;             // a dock of one pixel is hit a little around it

bool IsVerticalDock(const TrpDock* dock) { return dock && dock->IsVertical(); }

// A window restored where no monitor is any more (one unplugged, the desktop laid out
// anew) could never be reached again: it comes onto the nearest monitor. One that any
// monitor shows a part of stays where the user left it.
void BringOntoAMonitor(TCustomForm* window)
{
    if (Screen && !Screen->MonitorFromRect(window->BoundsRect(), mdNull))
        window->MakeFullyVisible(Screen->MonitorFromRect(window->BoundsRect(), mdNearest));
}

}  // namespace

// ---------------------------------------------------------------- TrpTBPanel

SKLAD_DEFINE_CLASS(TrpTBPanel)

TrpTBPanel::TrpTBPanel(TComponent* AOwner) : TPanel(AOwner)
{
    SetAlign(alLeft);
    SetBounds(GetLeft(), GetTop(), 8, 8);
    SetBevelOuter(bvNone);
    SetCaption("");
}

void TrpTBPanel::SetParent(TWinControl* Value)
{
    TPanel::SetParent(Value);
    if (Destroying())
        return;
    if (auto* bar = dynamic_cast<TrpToolBar*>(Value)) {
        SetAlign(bar->IsVertical() ? alTop : alLeft);
    } else if (auto* panel = dynamic_cast<TCustomPanel*>(Value)) {
        const TAlign a = panel->GetAlign();
        SetAlign(a == alLeft || a == alRight ? alTop : alLeft);
    }
}

void TrpTBPanel::Paint(TCanvas& Canvas)
{
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.GetBrush()->SetColor(clBtnFace);
    Canvas.FillRect(ClientRect());
    if (Designing()) {
        Canvas.GetPen()->SetColor(clBtnShadow);
        Canvas.GetPen()->SetStyle(psDot);
        Canvas.GetBrush()->SetStyle(bsClear);
        Canvas.Rectangle(ClientRect());
    }
}

// ---------------------------------------------------------------- TrpDock

SKLAD_DEFINE_CLASS(TrpDock)

TrpDock::TrpDock(TComponent* AOwner) : TPanel(AOwner)
{
    SetAlign(alTop);
    SetBevelOuter(bvNone);
    SetCaption("");
    // Empty: one pixel deep whichever edge it is put along.
    SetBounds(GetLeft(), GetTop(), 1, 1);
}

void TrpDock::Loaded()
{
    TPanel::Loaded();
    AdjustBounds();
}

void TrpDock::AdjustBounds()
{
    const bool vertical = IsVertical();
    const bool fromEnd = CountsFromEnd();
    const int rowSize = std::max(RowSize, 1);
    int depth = vertical ? GetWidth() : GetHeight();
    // A bottom or right dock shifts tool bars that lie partly before its start forward, so that
    // the first starts at 1; only then are they measured from its outer edge.
    int shift = 0;
    if (fromEnd) {
        int first = 0;
        for (TControl* c : ControlList())
            if (c->GetVisible())
                first = std::min(first, vertical ? c->GetLeft() : c->GetTop());
        if (first < 0)
            shift = 1 - first;
    }
    // Each visible tool bar by its distance from the edge rows are counted from.
    struct Item {
        TControl* Control;
        int Off, Size;
    };
    std::vector<Item> items;
    for (TControl* c : ControlList()) {
        if (!c->GetVisible())
            continue;
        const int start = (vertical ? c->GetLeft() : c->GetTop()) + shift;
        const int size = vertical ? c->GetWidth() : c->GetHeight();
        if (fromEnd)
            depth = std::max(depth, start + size);
        items.push_back({c, start, size});
    }
    if (fromEnd)
        for (Item& it : items)
            it.Off = depth - (it.Off + it.Size);
    // A tool bar put before the first row (a new row there) pushes the others on.
    int least = 0;
    for (const Item& it : items)
        least = std::min(least, it.Off);
    int rows = depth / rowSize;
    for (Item& it : items) {
        it.Off -= least;
        // A row is counted for where a tool bar begins; one reaching a little further only deepens the dock.
        rows = std::max(rows, it.Off / rowSize + 1);
    }
    // A row line no visible tool bar touches is removed: those beyond it move back a row.
    for (int k = 0; k < rows;) {
        const int from = k * rowSize, to = from + rowSize;
        const bool touched =
            std::any_of(items.begin(), items.end(), [&](const Item& it) { return it.Off < to && it.Off + it.Size > from; });
        if (touched) {
            ++k;
            continue;
        }
        for (Item& it : items)
            if (it.Off >= to)
                it.Off -= rowSize;
        --rows;
    }
    int newDepth = rows * rowSize + 1;
    for (const Item& it : items)
        newDepth = std::max(newDepth, it.Off + it.Size + 1);
    if (ControlCount() == 0)
        newDepth = 1;
    for (const Item& it : items) {
        const int start = fromEnd ? newDepth - it.Off - it.Size : it.Off;
        if (vertical)
            it.Control->SetBounds(start, it.Control->GetTop(), it.Control->GetWidth(), it.Control->GetHeight());
        else
            it.Control->SetBounds(it.Control->GetLeft(), start, it.Control->GetWidth(), it.Control->GetHeight());
    }
    // A bottom or right dock keeps its outer edge.
    if (vertical)
        SetBounds(fromEnd ? GetLeft() + GetWidth() - newDepth : GetLeft(), GetTop(), newDepth, GetHeight());
    else
        SetBounds(GetLeft(), fromEnd ? GetTop() + GetHeight() - newDepth : GetTop(), GetWidth(), newDepth);
}

TPoint TrpDock::PlaceFor(const TControl* Bar, TPoint Pointer, int Along) const
{
    const bool vertical = IsVertical();
    const int rowSize = std::max(RowSize, 1);
    const int depth = vertical ? GetWidth() : GetHeight();
    const int across = vertical ? Pointer.X : Pointer.Y;
    // A tool bar keeps its depth when it turns into the dock: a floating one lying the
    // other way is measured by its depth, not its length.
    const auto* toolBar = dynamic_cast<const TrpToolBar*>(Bar);
    const bool upright = toolBar ? toolBar->IsVertical() : vertical;
    const int size = upright ? Bar->GetWidth() : Bar->GetHeight();
    auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    int start;
    if (CountsFromEnd()) {
        const int row = floorDiv(depth - 1 - across, rowSize);
        start = depth - row * rowSize - size;
    } else {
        start = floorDiv(across, rowSize) * rowSize;
    }
    Along = std::max(Along, 0);
    return vertical ? TPoint{start, Along} : TPoint{Along, start};
}

// ---------------------------------------------------------------- TrpDragBox

SKLAD_DEFINE_CLASS(TrpDragBox)

TrpDragBox::TrpDragBox(TComponent* AOwner) : TPaintBox(AOwner)
{
    SetBounds(0, 0, 8, 8);
    SetAlign(alLeft);
    SetCursor(crSizeAll);
}

TrpToolBar* TrpDragBox::ToolBar() const { return dynamic_cast<TrpToolBar*>(GetParent()); }

void TrpDragBox::Paint(TCanvas& Canvas)
{
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.GetBrush()->SetColor(clBtnFace);
    Canvas.FillRect(ClientRect());
    Canvas.GetPen()->SetColor(clBtnShadow);
    Canvas.GetPen()->SetStyle(psSolid);
    Canvas.GetPen()->SetWidth(1);
    const bool vertical = ToolBar() && ToolBar()->IsVertical();
    if (!vertical) {
        // Short horizontal strokes on every odd row.
        for (int y = 1; y < GetHeight(); y += 2) {
            Canvas.MoveTo(2, y);
            Canvas.LineTo(6, y);
        }
    } else {
        for (int x = 1; x < GetWidth(); x += 2) {
            Canvas.MoveTo(x, 2);
            Canvas.LineTo(x, 6);
        }
    }
}

void TrpDragBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPaintBox::MouseDown(Button, Shift, X, Y);
    if (TrpToolBar* bar = ToolBar())
        bar->MouseDown(Button, Shift, X + GetLeft(), Y + GetTop());
}

void TrpDragBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TPaintBox::MouseMove(Shift, X, Y);
    if (TrpToolBar* bar = ToolBar())
        bar->MouseMove(Shift, X + GetLeft(), Y + GetTop());
}

void TrpDragBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPaintBox::MouseUp(Button, Shift, X, Y);
    if (TrpToolBar* bar = ToolBar())
        bar->MouseUp(Button, Shift, X + GetLeft(), Y + GetTop());
}

// ---------------------------------------------------------------- TrpToolBar

SKLAD_DEFINE_CLASS(TrpToolBar)

TrpToolBar::TrpToolBar(TComponent* AOwner) : TPanel(AOwner)
{
    SetBevelOuter(bvRaised);
    SetBevelWidth(1);
    SetCaption("");
    SetHeight(26);
    FDragBox = new TrpDragBox(this);
    FDragBox->SetParent(this);
}

TrpToolBar::~TrpToolBar()
{
    if (FFloatWindow) {
        FFloatWindow->ToolBar = nullptr;
        TrpFloatWindow* window = FFloatWindow;
        FFloatWindow = nullptr;
        if (!window->Destroying())
            delete window;
    }
}

TrpDock* TrpToolBar::Dock() const { return dynamic_cast<TrpDock*>(GetParent()); }

bool TrpToolBar::IsVertical() const
{
    if (FIsFloat)
        return Orientation == toVertOnly;
    return IsVerticalDock(Dock());
}

TRect TrpToolBar::ClientRect() const
{
    // The client area is the bounds inset by one pixel (the frame), floating or not.
    return Rect(1, 1, std::max(GetWidth() - 1, 1), std::max(GetHeight() - 1, 1));
}

void TrpToolBar::SetFrame()
{
    // A docked tool bar has a raised one-pixel frame, a floating one none.
    SetBevelOuter(FIsFloat ? bvNone : bvRaised);
}

bool TrpToolBar::DockTo(TrpDock* NewDock, int X, int Y)
{
    if (!NewDock)
        return false;
    if ((Orientation == toVertOnly && !NewDock->IsVertical()) || (Orientation == toHorzOnly && NewDock->IsVertical()))
        return false;
    TPanel::SetVisible(false);
    if (FIsFloat && FFloatWindow) {
        TrpFloatWindow* window = FFloatWindow;
        // A drag that docks the tool bar goes on in the dock.
        if (GetCapture() == window)
            SetCapture(this);
        window->Hide();
        window->ToolBar = nullptr;
        FFloatWindow = nullptr;
        // The window may be the one whose mouse handler runs now: it goes when idle.
        window->Release();
    }
    TrpDock* old = Dock();
    SetParent(NewDock);
    if (old && old != NewDock)
        old->AdjustBounds();
    FIsFloat = false;
    SetFrame();
    FDragBox->SetVisible(true);
    RealignControls();
    SetBounds(X, Y, GetWidth(), GetHeight());
    TPanel::SetVisible(true);
    AdjustBounds();
    // Dropped or restored onto a place another tool bar holds: that one makes room.
    ClearRow();
    NewDock->AdjustBounds();
    return true;
}

bool TrpToolBar::AddToDock(TrpDock* NewDock)
{
    if (!NewDock)
        return false;
    // Beyond the occupied rows; the dock's compaction moves it into place. Before a bottom
    // or right dock's start by its depth across the dock, which it keeps when it turns (an
    // upright tool bar's length there would push it a part of a row too far).
    const int across = IsVertical() ? GetWidth() : GetHeight();
    switch (NewDock->GetAlign()) {
    case alBottom: return DockTo(NewDock, 0, 1 - across);
    case alLeft: return DockTo(NewDock, NewDock->GetWidth() - 1, 0);
    case alRight: return DockTo(NewDock, 1 - across, 0);
    default: return DockTo(NewDock, 0, NewDock->GetHeight() - 1);
    }
}

void TrpToolBar::FloatTo(int X, int Y)
{
    if (FIsFloat && FFloatWindow) {
        FFloatWindow->SetBounds(X, Y, FFloatWindow->GetWidth(), FFloatWindow->GetHeight());
        return;
    }
    const bool visible = GetVisible();
    TrpDock* old = Dock();
    TCustomForm* host = ParentForm();
    auto* window = new TrpFloatWindow(host ? static_cast<TComponent*>(host) : Owner());
    window->SetPopupParent(host);
    window->ToolBar = this;
    window->SetCaption(GetCaption());
    FFloatWindow = window;
    TPanel::SetVisible(false);
    SetParent(window);
    FIsFloat = true;
    SetFrame();
    FDragBox->SetVisible(false);
    RealignControls();
    SetBounds(kFrame, kCaption, GetWidth(), GetHeight());
    window->SetBounds(X, Y, GetWidth() + 2 * kFrame, GetHeight() + kCaption + kFrame);
    window->PlaceCloseButton();
    if (old)
        old->AdjustBounds();
    TPanel::SetVisible(true);
    if (visible)
        window->Show();
}

TPoint TrpToolBar::GrabAfterTurn(bool WasVertical, bool Vertical) const
{
    // Along the length the grab keeps its distance from the leading end as the bar turns;
    // a grab outside the bar (on the float window's caption or frame, which a docked bar
    // has not) comes onto its nearest edge.
    const bool turns = WasVertical != Vertical;
    const TPoint grab = turns ? TPoint{FGrab.Y, FGrab.X} : FGrab;
    const int width = turns ? GetHeight() : GetWidth(), height = turns ? GetWidth() : GetHeight();
    return {std::clamp(grab.X, 0, std::max(width - 1, 0)), std::clamp(grab.Y, 0, std::max(height - 1, 0))};
}

void TrpToolBar::MakeFloat()
{
    // Out of a side dock an upright bar turns: the point the pointer holds turns with it.
    const bool wasVertical = IsVertical();
    FGrab = GrabAfterTurn(wasVertical, Orientation == toVertOnly);
    FloatTo(FCursor.X - FGrab.X - kFrame, FCursor.Y - FGrab.Y - kCaption);
    // The float window drops the grip: a grab beyond the shorter bar comes onto its end.
    if (const TPoint inside = GrabAfterTurn(IsVertical(), IsVertical()); inside != FGrab) {
        FGrab = inside;
        FloatTo(FCursor.X - FGrab.X - kFrame, FCursor.Y - FGrab.Y - kCaption);
    }
    // Only while the button is held: a capture taken without one would keep the next
    // click anywhere on the screen for the float window.
    if (FDragging && FIsFloat && FFloatWindow)
        SetCapture(FFloatWindow);
}

void TrpToolBar::StartDrag(TPoint Screen)
{
    FDragging = true;
    FCursor = Screen;
    // Measured from the tool bar's outer corner (its client area may be inset by a frame).
    const TPoint origin = GetParent() ? GetParent()->ClientToScreen({GetLeft(), GetTop()}) : ClientToScreen({0, 0});
    FGrab = {Screen.X - origin.X, Screen.Y - origin.Y};
    SetCapture(FIsFloat && FFloatWindow ? static_cast<TControl*>(FFloatWindow) : this);
}

void TrpToolBar::EndDrag()
{
    FDragging = false;
    TControl* capture = GetCapture();
    if (capture && (capture == this || capture == FFloatWindow))
        ReleaseCapture();
}

void TrpToolBar::MoveTo(TPoint Screen)
{
    FCursor = Screen;
    if (FIsFloat) {
        FloatTo(Screen.X - FGrab.X - kFrame, Screen.Y - FGrab.Y - kCaption);
        if (TrpDock* dock = FFloatWindow ? FFloatWindow->FindDock(Screen) : nullptr) {
            // Held by the float window's caption, the pointer is above the bar by up to the
            // caption's height, which is no part of it in the dock: only the bar's own point
            // under the pointer counts, measured along the bar as it lies in the dock.
            const bool vertical = dock->IsVertical();
            const TPoint grab = GrabAfterTurn(IsVertical(), vertical);
            const TPoint q = dock->ScreenToClient(Screen);
            const TPoint at = dock->PlaceFor(this, q, vertical ? q.Y - grab.Y : q.X - grab.X);
            if (DockTo(dock, at.X, at.Y)) {
                // Across the dock the row under the pointer placed it.
                const TPoint corner = dock->ClientToScreen({GetLeft(), GetTop()});
                FGrab = grab;
                if (vertical)
                    FGrab.X = std::clamp(Screen.X - corner.X, 0, std::max(GetWidth() - 1, 0));
                else
                    FGrab.Y = std::clamp(Screen.Y - corner.Y, 0, std::max(GetHeight() - 1, 0));
            }
        }
        return;
    }
    TrpDock* dock = Dock();
    if (!dock)
        return;
    const TPoint q = dock->ScreenToClient(Screen);
    const int outX = q.X < 0 ? -q.X : std::max(q.X - (dock->GetWidth() - 1), 0);
    const int outY = q.Y < 0 ? -q.Y : std::max(q.Y - (dock->GetHeight() - 1), 0);
    if (CanFloat && (outX > kFloatDistance || outY > kFloatDistance)) {
        MakeFloat();
        return;
    }
    const bool vertical = dock->IsVertical();
    const TPoint at = dock->PlaceFor(this, q, vertical ? q.Y - FGrab.Y : q.X - FGrab.X);
    SetBounds(at.X, at.Y, GetWidth(), GetHeight());
    ClearRow();
    dock->AdjustBounds();
}

void TrpToolBar::ClearRow()
{
    TrpDock* dock = Dock();
    if (!dock)
        return;
    const bool vertical = dock->IsVertical();
    // The row: the tool bars that start where this one does across the dock.
    std::vector<TControl*> row;
    for (TControl* c : dock->ControlList())
        if (c->GetVisible() && (vertical ? c->GetLeft() == GetLeft() : c->GetTop() == GetTop()))
            row.push_back(c);
    auto along = [vertical](const TControl* c) { return vertical ? c->GetTop() : c->GetLeft(); };
    std::stable_sort(row.begin(), row.end(), [&](const TControl* a, const TControl* b) {
        return along(a) < along(b) || (along(a) == along(b) && a == this && b != this);
    });
    int next = 0;
    for (TControl* c : row) {
        const int start = std::max(along(c), next);
        if (vertical)
            c->SetBounds(c->GetLeft(), start, c->GetWidth(), c->GetHeight());
        else
            c->SetBounds(start, c->GetTop(), c->GetWidth(), c->GetHeight());
        next = start + (vertical ? c->GetHeight() : c->GetWidth());
    }
}

void TrpToolBar::RealignControls()
{
    const bool vertical = IsVertical();
    // A tool bar turning across keeps its row's thickness.
    const int thickness = std::min(GetWidth(), GetHeight()) > 0 ? std::min(GetWidth(), GetHeight()) : 26;
    if (vertical && GetWidth() > GetHeight())
        SetBounds(GetLeft(), GetTop(), thickness, GetWidth());
    else if (!vertical && GetHeight() > GetWidth())
        SetBounds(GetLeft(), GetTop(), GetHeight(), thickness);
    // Turning across, each child keeps its length along the tool bar.
    const bool turned = vertical != FLaidVertical;
    FLaidVertical = vertical;
    DisableAlign();
    int pos = 1;
    for (TControl* c : ControlList()) {
        if (turned)
            c->SetBounds(c->GetLeft(), c->GetTop(), c->GetHeight(), c->GetWidth());
        if (!c->GetVisible())
            continue;
        // In order, so the alignment keeps it.
        if (vertical) {
            c->SetBounds(1, pos, c->GetWidth(), c->GetHeight());
            c->SetAlign(alTop);
            pos += c->GetHeight();
        } else {
            c->SetBounds(pos, 1, c->GetWidth(), c->GetHeight());
            c->SetAlign(alLeft);
            pos += c->GetWidth();
        }
    }
    EnableAlign();
    AdjustBounds();
}

void TrpToolBar::AdjustBounds()
{
    const bool vertical = IsVertical();
    int length = 0;
    for (TControl* c : ControlList())
        if (c->GetVisible())
            length += vertical ? c->GetHeight() : c->GetWidth();
    if (vertical)
        SetBounds(GetLeft(), GetTop(), GetWidth(), length + 4);
    else
        SetBounds(GetLeft(), GetTop(), length + 4, GetHeight());
    if (FIsFloat && FFloatWindow)
        FFloatWindow->SetBounds(FFloatWindow->GetLeft(), FFloatWindow->GetTop(), GetWidth() + 2 * kFrame,
                                GetHeight() + kCaption + kFrame);
}

bool TrpToolBar::GetVisible() const
{
    if (FIsFloat && FFloatWindow)
        return FFloatWindow->GetVisible();
    return TPanel::GetVisible();
}

void TrpToolBar::SetVisible(bool Value)
{
    if (FIsFloat && FFloatWindow) {
        FFloatWindow->SetVisible(Value);
        return;
    }
    TPanel::SetVisible(Value);
}

void TrpToolBar::Paint(TCanvas& Canvas)
{
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.GetBrush()->SetColor(clBtnFace);
    Canvas.FillRect(Rect(0, 0, GetWidth(), GetHeight()));
    if (FIsFloat)
        return;
    const int w = GetWidth(), h = GetHeight();
    Canvas.GetPen()->SetStyle(psSolid);
    Canvas.GetPen()->SetWidth(1);
    Canvas.GetPen()->SetColor(clBtnHighlight);
    Canvas.MoveTo(0, h - 1);
    Canvas.LineTo(0, 0);
    Canvas.LineTo(w - 1, 0);
    Canvas.GetPen()->SetColor(clBtnShadow);
    Canvas.LineTo(w - 1, h - 1);
    Canvas.LineTo(-1, h - 1);
}

void TrpToolBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPanel::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft)
        StartDrag(ClientToScreen({X, Y}));
}

void TrpToolBar::MouseMove(TShiftState Shift, int X, int Y)
{
    TPanel::MouseMove(Shift, X, Y);
    if (FDragging)
        MoveTo(ClientToScreen({X, Y}));
}

void TrpToolBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPanel::MouseUp(Button, Shift, X, Y);
    EndDrag();
}

// ---------------------------------------------------------------- TrpFloatWindow

SKLAD_DEFINE_CLASS(TrpFloatWindow)

TrpFloatWindow::TrpFloatWindow(TComponent* AOwner) : TForm(AOwner)
{
    SetBorderStyle(bsNone);
    // Floating or restoring a tool bar leaves the keys with the window they were in.
    SetActivateOnShow(false);
    GetFont()->SetName("Tahoma");
    Surface = new TPaintBox(this);
    Surface->SetParent(this);
    Surface->SetAlign(alClient);
    Surface->OnPaint = TNotifyEvent(this, &TrpFloatWindow::SurfacePaint);
    Surface->OnMouseDown = TMouseEvent(this, &TrpFloatWindow::SurfaceMouseDown);
    Surface->OnMouseMove = TMouseMoveEvent(this, &TrpFloatWindow::SurfaceMouseMove);
    Surface->OnMouseUp = TMouseEvent(this, &TrpFloatWindow::SurfaceMouseUp);
    CloseBtn = new TSpeedButton(this);
    CloseBtn->SetParent(this);
    CloseBtn->SetFlat(true);
    CloseBtn->SetCaption("x");
    CloseBtn->OnClick = TNotifyEvent(this, &TrpFloatWindow::CloseBtnClick);
    OnShow = TNotifyEvent(this, &TrpFloatWindow::WindowShow);
    PlaceCloseButton();
}

TrpFloatWindow::~TrpFloatWindow()
{
    if (ToolBar) {
        TrpToolBar* bar = ToolBar;
        ToolBar = nullptr;
        bar->FFloatWindow = nullptr;
        if (bar->GetParent() == this)
            bar->SetParent(nullptr);
    }
}

void TrpFloatWindow::PlaceCloseButton()
{
    CloseBtn->SetBounds(GetWidth() - 14, 4, 11, 11);
}

void TrpFloatWindow::WindowShow(TObject*) { PlaceCloseButton(); }

void TrpFloatWindow::CloseBtnClick(TObject*)
{
    // Closing hides the window and the tool bar with it.
    Close();
}

void TrpFloatWindow::PaintFrame(TCanvas& Canvas)
{
    const int w = GetWidth(), h = GetHeight();
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.GetBrush()->SetColor(clGray);
    // The grey frame, 3 pixels wide, and the caption bar.
    Canvas.FillRect(Rect(0, 0, w, kFrame));
    Canvas.FillRect(Rect(0, h - kFrame, w, h));
    Canvas.FillRect(Rect(0, 0, kFrame, h));
    Canvas.FillRect(Rect(w - kFrame, 0, w, h));
    Canvas.FillRect(Rect(kFrame, kFrame, w - kFrame, kCaption));
    // Thin lines of the face colour inside the frame.
    Canvas.GetPen()->SetStyle(psSolid);
    Canvas.GetPen()->SetWidth(1);
    Canvas.GetPen()->SetColor(clBtnFace);
    Canvas.MoveTo(kFrame - 1, kCaption);
    Canvas.LineTo(kFrame - 1, h - kFrame + 1);
    Canvas.LineTo(w - kFrame, h - kFrame + 1);
    Canvas.LineTo(w - kFrame, kCaption - 1);
    Canvas.GetBrush()->SetStyle(bsClear);
    Canvas.GetFont()->Assign(GetFont());
    Canvas.GetFont()->SetStyle(TFontStyles{fsBold});
    Canvas.GetFont()->SetColor(clCaptionText);
    Canvas.TextOut(6, 3, GetCaption());
}

void TrpFloatWindow::SurfacePaint(TObject*) { PaintFrame(*Surface->GetCanvas()); }

void TrpFloatWindow::SurfaceMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    PointerDown(Button, Surface->ClientToScreen({X, Y}));
}

void TrpFloatWindow::SurfaceMouseMove(TObject*, TShiftState, int X, int Y)
{
    PointerMove(Surface->ClientToScreen({X, Y}));
}

void TrpFloatWindow::SurfaceMouseUp(TObject*, TMouseButton, TShiftState, int, int) { PointerUp(); }

void TrpFloatWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TForm::MouseDown(Button, Shift, X, Y);
    PointerDown(Button, ClientToScreen({X, Y}));
}

void TrpFloatWindow::MouseMove(TShiftState Shift, int X, int Y)
{
    TForm::MouseMove(Shift, X, Y);
    PointerMove(ClientToScreen({X, Y}));
}

void TrpFloatWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TForm::MouseUp(Button, Shift, X, Y);
    PointerUp();
}

void TrpFloatWindow::PointerDown(TMouseButton Button, TPoint Screen)
{
    const int y = ScreenToClient(Screen).Y;
    if (Button != mbLeft || y < kFrame || y >= kCaption)
        return;
    FMoving = true;
    FLast = Screen;
    if (ToolBar) {
        // The drag is the tool bar's: a dock under the cursor takes it.
        ToolBar->StartDrag(FLast);
    } else {
        SetCapture(this);
    }
}

void TrpFloatWindow::PointerMove(TPoint Screen)
{
    // A drag that floated the tool bar goes on here, under the capture.
    if (ToolBar && ToolBar->FDragging) {
        ToolBar->MoveTo(Screen);
        return;
    }
    if (!FMoving)
        return;
    SetBounds(GetLeft() + Screen.X - FLast.X, GetTop() + Screen.Y - FLast.Y, GetWidth(), GetHeight());
    FLast = Screen;
}

void TrpFloatWindow::PointerUp()
{
    FMoving = false;
    if (ToolBar && ToolBar->FDragging)
        ToolBar->EndDrag();
    else if (GetCapture() == this)
        ReleaseCapture();
}

TrpDock* TrpFloatWindow::FindDock(TPoint Screen) const
{
    TComponent* host = Owner();
    auto* form = dynamic_cast<TWinControl*>(host);
    if (!form || !ToolBar)
        return nullptr;
    TrpDock* found = nullptr;
    std::function<void(const TWinControl*)> walk = [&](const TWinControl* parent) {
        for (TControl* c : parent->ControlList()) {
            if (found || !c->GetVisible())
                continue;
            if (auto* dock = dynamic_cast<TrpDock*>(c)) {
                const TPoint q = dock->ScreenToClient(Screen);
                if (q.X >= -kDockSlack && q.Y >= -kDockSlack && q.X < dock->GetWidth() + kDockSlack &&
                    q.Y < dock->GetHeight() + kDockSlack)
                    found = dock;
            } else if (auto* w = dynamic_cast<TWinControl*>(c)) {
                walk(w);
            }
        }
    };
    walk(form);
    if (!found)
        return nullptr;
    // Docks against the tool bar's orientation are refused.
    if (ToolBar->Orientation == toVertOnly && !found->IsVertical())
        return nullptr;
    if (ToolBar->Orientation == toHorzOnly && found->IsVertical())
        return nullptr;
    return found;
}

// ---------------------------------------------------------------- TrpDockSite

SKLAD_DEFINE_CLASS(TrpDockSplitter)

TrpDockSplitter::TrpDockSplitter(TComponent* AOwner, TrpDockSite* Site) : TPaintBox(AOwner), FSite(Site)
{
    SetBounds(0, 0, 3, 3);
    SetCursor(crHSplit);
    SetVisible(false);
}

void TrpDockSplitter::Paint(TCanvas& Canvas)
{
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.GetBrush()->SetColor(clBtnFace);
    Canvas.FillRect(ClientRect());
}

void TrpDockSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPaintBox::MouseDown(Button, Shift, X, Y);
    FSite->Resizing = true;
}

void TrpDockSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    TPaintBox::MouseMove(Shift, X, Y);
    if (!FSite->Resizing)
        return;
    const int width = FSite->GetAlign() == alLeft ? FSite->GetWidth() + X : FSite->GetWidth() - X;
    FSite->SetWidth(std::max(width, 0));
}

void TrpDockSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPaintBox::MouseUp(Button, Shift, X, Y);
    FSite->Resizing = false;
}

SKLAD_DEFINE_CLASS(TrpDockSite)

TrpDockSite::TrpDockSite(TComponent* AOwner) : TPanel(AOwner)
{
    SetCaption(" ");
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    SetWidth(10);
    SetAlign(alLeft);
    Splitter = new TrpDockSplitter(this, this);
}

TrpDockSite::~TrpDockSite()
{
    // Windows still docked get their controls back before the host panels go.
    while (!FDocked.empty())
        UndockForm(FDocked.back().Form);
}

std::vector<TCustomForm*> TrpDockSite::DockedForms() const
{
    std::vector<TCustomForm*> forms;
    for (const TDocked& d : FDocked)
        forms.push_back(d.Form);
    return forms;
}

bool TrpDockSite::IsDocked(const TCustomForm* Form) const
{
    return std::any_of(FDocked.begin(), FDocked.end(), [&](const TDocked& d) { return d.Form == Form; });
}

void TrpDockSite::DockForm(TCustomForm* Form)
{
    if (!Form || IsDocked(Form))
        return;
    DockWidth = Form->GetWidth();
    // A window stands on its own; docked, its controls move onto a host panel in the site
    // and the window hides until it is undocked.
    auto* host = new TPanel(this);
    host->SetBevelOuter(bvNone);
    host->SetCaption("");
    host->SetParent(this);
    host->SetAlign(alClient);
    const std::vector<TControl*> controls = Form->ControlList();
    for (TControl* c : controls)
        c->SetParent(host);
    Form->FreeNotification(this);
    FDocked.push_back({Form, host});
    Form->Hide();
    if (DockWidth > GetWidth())
        SetWidth(DockWidth);
    Splitter->SetVisible(true);
    PlaceSplitter();
}

void TrpDockSite::UndockForm(TCustomForm* Form)
{
    auto it = std::find_if(FDocked.begin(), FDocked.end(), [&](const TDocked& d) { return d.Form == Form; });
    if (it == FDocked.end())
        return;
    TPanel* host = it->Host;
    FDocked.erase(it);
    const std::vector<TControl*> controls = host->ControlList();
    for (TControl* c : controls)
        c->SetParent(Form);
    delete host;
    Form->RemoveFreeNotification(this);
    if (FDocked.empty())
        Splitter->SetVisible(false);
}

void TrpDockSite::Notification(TComponent* AComponent, TOperation Operation)
{
    TPanel::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    // A docked window that goes takes nothing of the site with it but its place.
    const auto gone = std::remove_if(FDocked.begin(), FDocked.end(), [&](const TDocked& d) { return d.Form == AComponent; });
    if (gone != FDocked.end()) {
        FDocked.erase(gone, FDocked.end());
        if (FDocked.empty() && Splitter)
            Splitter->SetVisible(false);
    }
}

TrpDockSite* rpDockSiteOf(const TCustomForm* Form)
{
    TComponent* owner = Form ? Form->Owner() : nullptr;
    if (!owner)
        return nullptr;
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* site = dynamic_cast<TrpDockSite*>(owner->Components(i)); site && site->IsDocked(Form))
            return site;
    return nullptr;
}

void TrpDockSite::PlaceSplitter()
{
    if (!Splitter)
        return;
    const int left = GetAlign() == alLeft ? GetLeft() + GetWidth() : GetLeft() - 3;
    Splitter->SetBounds(left, GetTop(), 3, GetHeight());
}

void TrpDockSite::SetParent(TWinControl* Value)
{
    TPanel::SetParent(Value);
    if (Splitter && !Destroying())
        Splitter->SetParent(Value);
    PlaceSplitter();
}

void TrpDockSite::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
    PlaceSplitter();
}

// ---------------------------------------------------------------- positions

void rpSaveToolbarPosition(TCustomIniFile& Ini, TrpToolBar* ToolBar)
{
    const AnsiString section = "ToolBar." + ToolBar->GetName();
    const bool floating = ToolBar->IsFloat() && ToolBar->FloatWindow();
    Ini.WriteBool(section, "Float", floating);
    Ini.WriteBool(section, "Visible", ToolBar->GetVisible());
    // A floating tool bar is where its window is.
    Ini.WriteInteger(section, "Left", floating ? ToolBar->FloatWindow()->GetLeft() : ToolBar->GetLeft());
    Ini.WriteInteger(section, "Top", floating ? ToolBar->FloatWindow()->GetTop() : ToolBar->GetTop());
    Ini.WriteInteger(section, "Width", ToolBar->GetWidth());
    Ini.WriteInteger(section, "Height", ToolBar->GetHeight());
    if (TrpDock* dock = ToolBar->Dock(); dock && !floating)
        Ini.WriteString(section, "Dock", dock->GetName());
}

void rpRestoreToolbarPosition(TCustomIniFile& Ini, TrpToolBar* ToolBar)
{
    const AnsiString section = "ToolBar." + ToolBar->GetName();
    const bool floating = ToolBar->IsFloat() && ToolBar->FloatWindow();
    ToolBar->SetVisible(false);
    const int left =
        Ini.ReadInteger(section, "Left", floating ? ToolBar->FloatWindow()->GetLeft() : ToolBar->GetLeft());
    const int top = Ini.ReadInteger(section, "Top", floating ? ToolBar->FloatWindow()->GetTop() : ToolBar->GetTop());
    if (!Ini.ReadBool(section, "Float", false)) {
        TrpDock* current = ToolBar->Dock();
        const AnsiString dockName = Ini.ReadString(section, "Dock", current ? current->GetName() : AnsiString());
        TComponent* owner = ToolBar->Owner();
        auto* dock = owner && !dockName.empty() ? dynamic_cast<TrpDock*>(owner->FindComponent(dockName)) : nullptr;
        // Also back to its place in the same dock, making room there as a drop does.
        if (dock)
            ToolBar->DockTo(dock, left, top);
    } else {
        ToolBar->FloatTo(left, top);
    }
    const int width = Ini.ReadInteger(section, "Width", ToolBar->GetWidth());
    const int height = Ini.ReadInteger(section, "Height", ToolBar->GetHeight());
    ToolBar->SetBounds(ToolBar->GetLeft(), ToolBar->GetTop(), width, height);
    if (TrpFloatWindow* window = ToolBar->IsFloat() ? ToolBar->FloatWindow() : nullptr) {
        // The window holds the tool bar at its restored size.
        window->SetBounds(window->GetLeft(), window->GetTop(), width + 2 * kFrame, height + kCaption + kFrame);
        window->PlaceCloseButton();
        BringOntoAMonitor(window);
    }
    // Shown first: a dock fitted while its toolbar is still hidden would close up around it.
    ToolBar->SetVisible(Ini.ReadBool(section, "Visible", true));
    if (TrpDock* dock = ToolBar->Dock())
        dock->AdjustBounds();
}

void rpSaveDock(TCustomIniFile& Ini, TrpDockSite* Site)
{
    TStringList layout;
    layout.Add(IntToStr(Site->GetWidth()));
    for (TCustomForm* f : Site->DockedForms())
        layout.Add(f->GetName());
    TMemoryStream stream;
    layout.SaveToStream(stream);
    stream.SetPosition(0);
    Ini.WriteString("Dock." + Site->GetName(), "Data", rpStreamToString(stream));
}

void rpRestoreDock(TCustomIniFile& Ini, TrpDockSite* Site)
{
    TMemoryStream stream;
    rpStringToStream(Ini.ReadString("Dock." + Site->GetName(), "Data", ""), stream);
    if (stream.GetSize() == 0)
        return;
    stream.SetPosition(0);
    TStringList layout;
    layout.LoadFromStream(stream);
    TComponent* owner = Site->Owner();
    for (int i = 1; i < layout.Count(); ++i)
        if (auto* form = owner ? dynamic_cast<TCustomForm*>(owner->FindComponent(layout.Strings(i))) : nullptr)
            Site->DockForm(form);
    if (layout.Count() > 0)
        Site->SetWidth(StrToIntDef(layout.Strings(0), Site->GetWidth()));
}

void rpSaveFormPosition(TCustomIniFile& Ini, TCustomForm* Form)
{
    const AnsiString section = "Form." + Form->ClassName();
    Ini.WriteInteger(section, "Left", Form->GetLeft());
    Ini.WriteInteger(section, "Top", Form->GetTop());
    Ini.WriteInteger(section, "Width", Form->GetWidth());
    Ini.WriteInteger(section, "Height", Form->GetHeight());
    Ini.WriteBool(section, "Maximized", Form->GetWindowState() == wsMaximized);
    Ini.WriteBool(section, "Visible", Form->GetVisible());
    TrpDockSite* site = rpDockSiteOf(Form);
    Ini.WriteString(section, "Dock", site ? site->GetName() : AnsiString());
}

void rpRestoreFormPosition(TCustomIniFile& Ini, TCustomForm* Form)
{
    const AnsiString section = "Form." + Form->ClassName();
    if (Ini.ReadBool(section, "Maximized", false)) {
        Form->SetWindowState(wsMaximized);
    } else {
        Form->SetBounds(Ini.ReadInteger(section, "Left", Form->GetLeft()), Ini.ReadInteger(section, "Top", Form->GetTop()),
                        Ini.ReadInteger(section, "Width", Form->GetWidth()),
                        Ini.ReadInteger(section, "Height", Form->GetHeight()));
        BringOntoAMonitor(Form);
    }
    const AnsiString dockName = Ini.ReadString(section, "Dock", "");
    if (TComponent* owner = Form->Owner(); owner && !dockName.empty()) {
        if (auto* site = dynamic_cast<TrpDockSite*>(owner->FindComponent(dockName))) {
            site->DockForm(Form);
            return;  // shown in the site
        }
    }
    Form->SetVisible(Ini.ReadBool(section, "Visible", true));
}

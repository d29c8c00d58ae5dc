#include "platform/gui/Controls.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

#include <algorithm>

// ---------------------------------------------------------------- TControl

SKLAD_DEFINE_ABSTRACT_CLASS(TControl)
void TControl::Publish(TPropertyTable& t)
{
    t.Prop("Left", &TControl::GetLeft, &TControl::SetLeft);
    t.Prop("Top", &TControl::GetTop, &TControl::SetTop);
    t.Prop("Width", &TControl::GetWidth, &TControl::SetWidth);
    t.Prop("Height", &TControl::GetHeight, &TControl::SetHeight);
    t.Prop("Align", &TControl::GetAlign, &TControl::SetAlign).Default(alNone);
    t.Prop("Anchors", &TControl::GetAnchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
    t.Prop("Cursor", &TControl::GetCursor, &TControl::SetCursor).Type("TCursor").Default(crDefault);
    t.Prop("Enabled", &TControl::GetEnabled, &TControl::SetEnabled).Default(true);
    t.Prop("Hint", &TControl::GetHint, &TControl::SetHint);
    t.Prop("ParentShowHint", &TControl::GetParentShowHint, &TControl::SetParentShowHint).Default(true);
    t.Prop("ShowHint", &TControl::GetShowHint, &TControl::SetShowHint).Default(false);
    t.Prop("PopupMenu", &TControl::GetPopupMenu, &TControl::SetPopupMenu);
    t.Prop("Visible", &TControl::GetVisible, &TControl::SetVisible).Default(true);
    t.Event("OnClick", &TControl::OnClick);
    t.Event("OnDblClick", &TControl::OnDblClick);
    t.Event("OnMouseDown", &TControl::OnMouseDown);
    t.Event("OnMouseMove", &TControl::OnMouseMove);
    t.Event("OnMouseUp", &TControl::OnMouseUp);
    t.Event("OnResize", &TControl::OnResize);
    t.Event("OnCanResize", &TControl::OnCanResize);
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {}

void TControl::TOwnFont::Changed()
{
    TFont::Changed();
    Control->FontChanged();
}

namespace {

// The control holding the mouse capture; a control going lets go of it.
TControl* gCapture = nullptr;

}  // namespace

TControl::~TControl()
{
    if (gCapture == this)
        gCapture = nullptr;
    FPeer.reset();
    if (FParent)
        FParent->RemoveControl(this);
    if (FPopupMenu) {
        // The menu must not point at a control that is gone (its peer places itself by it).
        if (FPopupMenu->PopupComponent == this)
            FPopupMenu->PopupComponent = nullptr;
        FPopupMenu.Set(nullptr);
    }
}

TCustomForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c->FParent)
        c = c->FParent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SetParent(TWinControl* value)
{
    if (value == FParent)
        return;
    if (value == this || (value && dynamic_cast<TWinControl*>(this) &&
                          static_cast<TWinControl*>(this)->ContainsControl(value)))
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) {
        DestroyPeers();
        FParent->RemoveControl(this);
    }
    FParent = nullptr;
    if (value) {
        value->InsertControl(this);
        if (FParentFont)
            ParentFontChanged();
        if (FParentColor)
            ParentColorChanged();
        if (FParentShowHint)
            ApplyShowHint(value->GetShowHint());
        value->ChildPlaced(this);
        if (value->Peer())
            CreatePeers();
        if (FAlign != alNone)
            RequestAlign();
    }
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
        return;
    if ((width != FWidth || height != FHeight) && OnCanResize && !Loading()) {
        bool resize = true;
        OnCanResize(this, width, height, resize);
        if (!resize) {
            width = FWidth;
            height = FHeight;
        }
    }
    const bool sized = width != FWidth || height != FHeight;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    Changed(TControlChange::Bounds);
    if (FParent)
        FParent->ChildPlaced(this);
    if (sized)
        SizeChanged();
    if (FAlign != alNone)
        RequestAlign();
}

void TControl::SetClientWidth(int value) { SetWidth(value + FWidth - GetClientWidth()); }
void TControl::SetClientHeight(int value) { SetHeight(value + FHeight - GetClientHeight()); }

TPoint TControl::ClientToScreen(TPoint p) const
{
    // A child's bounds are measured from its parent's corner, where the parent's own points
    // start too: a panel's bevels or a group box's caption only narrow the area children
    // are aligned in (ClientRect), they do not move the origin. Only a window's frame does.
    for (const TControl* c = this; c; c = c->FParent) {
        p.X += c->FLeft;
        p.Y += c->FTop;
        if (!c->FParent) {
            const TPoint frame = c->WindowClientOffset();
            p.X += frame.X;
            p.Y += frame.Y;
        }
    }
    return p;
}

TPoint TControl::ScreenToClient(TPoint p) const
{
    const TPoint origin = ClientToScreen({0, 0});
    return {p.X - origin.X, p.Y - origin.Y};
}

void TControl::SetAlign(TAlign value)
{
    if (value == FAlign)
        return;
    const TAlign old = FAlign;
    FAlign = value;
    if (old != alNone || value != alNone)
        RequestAlign();
}

void TControl::SetAnchors(TAnchors value)
{
    FAnchors = value;
    if (FParent)
        FParent->ChildPlaced(this);
}

void TControl::RequestAlign()
{
    if (FParent)
        FParent->AlignControls();
}

void TControl::SetVisible(bool value)
{
    if (value == FVisible)
        return;
    FVisible = value;
    Changed(TControlChange::Visible);
    VisibleChanged();
}

void TControl::VisibleChanged()
{
    if (FAlign != alNone)
        RequestAlign();
}

void TControl::Show() { SetVisible(true); }
void TControl::Hide() { SetVisible(false); }

bool TControl::IsShowing() const
{
    if (!FVisible)
        return false;
    if (!FParent)
        return dynamic_cast<const TCustomForm*>(this) != nullptr;
    return FParent->IsShowing();
}

void TControl::SetEnabled(bool value)
{
    if (value == FEnabled)
        return;
    FEnabled = value;
    Changed(TControlChange::Enabled);
    EnabledChanged();
}

void TControl::EnabledChanged() {}

bool TControl::IsEnabled() const
{
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FEnabled)
            return false;
    return true;
}

bool TControl::AcceptsInput() const
{
    if (!IsShowing() || !IsEnabled())
        return false;
    const TCustomForm* form = ParentForm();
    if (!form)
        return false;
    if (form->ModalResultPending())
        return false;
    return !(Screen && Screen->IsBlocked(form));
}

void TControl::SetFont(TFont* value)
{
    if (value)
        FFont.Assign(value);
}

void TControl::FontChanged()
{
    if (!FSettingParentFont)
        FParentFont = false;
    Changed(TControlChange::Font);
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (TControl* c : w->FControls)
            c->ParentFontChanged();
}

void TControl::SetParentFont(bool value)
{
    FParentFont = value;
    if (value)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!FParentFont || !FParent)
        return;
    FSettingParentFont = true;
    FFont.Assign(FParent->GetFont());
    FSettingParentFont = false;
}

void TControl::SetColor(TColor value)
{
    FParentColor = false;
    if (value == FColor)
        return;
    FColor = value;
    Changed(TControlChange::Color);
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (TControl* c : w->FControls)
            c->ParentColorChanged();
}

void TControl::SetParentColor(bool value)
{
    FParentColor = value;
    if (value)
        ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (!FParentColor || !FParent)
        return;
    if (FColor != FParent->GetColor()) {
        FColor = FParent->GetColor();
        Changed(TControlChange::Color);
        if (auto* w = dynamic_cast<TWinControl*>(this))
            for (TControl* c : w->FControls)
                c->ParentColorChanged();
    }
}

void TControl::ParentStateChanged(TControlChanges what) { Changed(what); }

void TControl::SetText(const AnsiString& text)
{
    const AnsiString value = AdjustText(text);
    if (value == FText)
        return;
    FText = value;
    Changed(TControlChange::Caption);
    TextChanged();
}

void TControl::SetHint(const AnsiString& value)
{
    if (value == FHint)
        return;
    FHint = value;
    Changed(TControlChange::Hint);
}

void TControl::SetShowHint(bool value)
{
    FParentShowHint = false;
    ApplyShowHint(value);
}

void TControl::SetParentShowHint(bool value)
{
    FParentShowHint = value;
    if (value && FParent)
        ApplyShowHint(FParent->GetShowHint());
}

void TControl::ApplyShowHint(bool value)
{
    if (value == FShowHint)
        return;
    FShowHint = value;
    Changed(TControlChange::Hint);
    // Children that follow their parent's ShowHint follow it down the tree.
    if (auto* win = dynamic_cast<TWinControl*>(this))
        for (TControl* c : win->FControls)
            if (c->FParentShowHint)
                c->ApplyShowHint(value);
}

void TControl::SetPopupMenu(TPopupMenu* value)
{
    if (FPopupMenu && FPopupMenu->PopupComponent == this && FPopupMenu != value)
        FPopupMenu->PopupComponent = nullptr;
    FPopupMenu.Set(value);
}

void TControl::SetCursor(TCursor value)
{
    if (value == FCursor)
        return;
    FCursor = value;
    Changed(TControlChange::Cursor);
}

void TControl::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    FPopupMenu.Forget(component, operation);
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FParent)
        FParent->ChildPlaced(this);
}

void TControl::Guarded(const std::function<void()>& fn)
{
    if (Application)
        Application->Guard(fn);
    else
        fn();
}

void TControl::Click() { OnClick(this); }
void TControl::DblClick() { OnDblClick(this); }
void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) { OnMouseDown(this, b, s, x, y); }
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) { OnMouseUp(this, b, s, x, y); }
void TControl::MouseMove(TShiftState s, int x, int y) { OnMouseMove(this, s, x, y); }
void TControl::Resize() { OnResize(this); }

void TControl::SizeChanged()
{
    if (!Loading())
        Resize();
}
void TControl::Paint(TCanvas&) {}
void TControl::Invalidate() { Changed(TControlChange::Repaint); }

void TControl::BringToFront()
{
    if (!FParent)
        return;
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.push_back(this);
    Changed(TControlChange::Order);
}

void TControl::SendToBack()
{
    if (!FParent)
        return;
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.insert(list.begin(), this);
    Changed(TControlChange::Order);
}

bool TControl::UserClicked()
{
    if (!AcceptsInput())
        return false;
    Guarded([this] { Click(); });
    return true;
}

bool TControl::UserDoubleClicked()
{
    if (!AcceptsInput())
        return false;
    Guarded([this] { DblClick(); });
    return true;
}

TControl* GetCapture() { return gCapture; }

TControl* SetCapture(TControl* control)
{
    TControl* previous = gCapture;
    if (previous == control)
        return previous;
    gCapture = control;
    if (previous)
        previous->Changed(TControlChange::Capture);
    if (control)
        control->Changed(TControlChange::Capture);
    return previous;
}

bool ReleaseCapture() { return SetCapture(nullptr) != nullptr; }

TControl* TControl::CaptureInstead(int& x, int& y) const
{
    TControl* capture = gCapture;
    if (!capture || capture == this)
        return nullptr;
    const TPoint p = capture->ScreenToClient(ClientToScreen({x, y}));
    x = p.X;
    y = p.Y;
    return capture;
}

// The capture's holder takes the message whether or not it would take input now: the
// window system delivers captured messages to a hidden or disabled window too.
bool TControl::UserMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (TControl* capture = CaptureInstead(x, y)) {
        capture->Guarded([&] { capture->MouseDown(button, shift, x, y); });
        return true;
    }
    if (!AcceptsInput())
        return false;
    Guarded([&] { MouseDown(button, shift, x, y); });
    return true;
}

bool TControl::UserMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (TControl* capture = CaptureInstead(x, y)) {
        capture->Guarded([&] { capture->MouseUp(button, shift, x, y); });
        return true;
    }
    if (!AcceptsInput())
        return false;
    Guarded([&] { MouseUp(button, shift, x, y); });
    return true;
}

bool TControl::UserMouseMove(TShiftState shift, int x, int y)
{
    if (TControl* capture = CaptureInstead(x, y)) {
        capture->Guarded([&] { capture->MouseMove(shift, x, y); });
        return true;
    }
    if (!AcceptsInput())
        return false;
    Guarded([&] { MouseMove(shift, x, y); });
    return true;
}

TControl* TControl::ContextMenuHolder() const
{
    for (const TControl* c = this; c; c = c->FParent)
        if (c->FPopupMenu && c->FPopupMenu->GetAutoPopup())
            return const_cast<TControl*>(c);
    return nullptr;
}

bool TControl::UserContextMenu(int x, int y)
{
    if (!AcceptsInput())
        return false;
    // A control without a menu leaves the click to its parents: the nearest one that has a
    // menu pops it, once.
    if (TControl* holder = ContextMenuHolder()) {
        const TPoint p = ClientToScreen({x, y});
        TPopupMenu* menu = holder->FPopupMenu;
        holder->Guarded([&] {
            menu->PopupComponent = holder;
            menu->Popup(p.X, p.Y);
        });
    }
    return true;
}

bool TControl::PopupByKeyboard()
{
    if (!ContextMenuHolder())
        return false;
    const TPoint p = ContextMenuPoint();
    return UserContextMenu(p.X, p.Y);
}

namespace {

// Notices which controls of a wheel's chain a handler frees on the way.
class TChainWatch : public TComponent {
public:
    explicit TChainWatch(std::vector<TControl*>& chain) : TComponent(nullptr), FChain(chain)
    {
        for (TControl* c : FChain)
            c->FreeNotification(this);
    }
    ~TChainWatch() override
    {
        for (TControl* c : FChain)
            if (c)
                c->RemoveFreeNotification(this);
    }

protected:
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == opRemove)
            for (TControl*& c : FChain)
                if (c == component)
                    c = nullptr;
    }

private:
    std::vector<TControl*>& FChain;
};

}  // namespace

bool TControl::UserMouseWheel(int WheelDelta, TShiftState Shift, TPoint MousePos, bool* Handled)
{
    if (Handled)
        *Handled = false;
    if (!AcceptsInput())
        return false;
    // The control first, then its parents up to the form, as the platform passes an
    // unhandled turn on; a handler may free any of them.
    std::vector<TControl*> chain;
    for (TControl* c = this; c; c = c->FParent)
        chain.push_back(c);
    TChainWatch watch(chain);
    bool handled = false;
    for (size_t i = 0; i < chain.size() && !handled; ++i) {
        TControl* c = chain[i];
        if (!c)
            break;
        Guarded([&] { handled = c->DoMouseWheel(Shift, WheelDelta, MousePos); });
    }
    if (Handled)
        *Handled = handled;
    return true;
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos)
{
    bool handled = false;
    OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    if (handled)
        return true;
    // Whole notches only; what is left of a partial turn waits for the next one.
    FWheelAccumulator += wheelDelta;
    while (FWheelAccumulator >= WHEEL_DELTA || FWheelAccumulator <= -WHEEL_DELTA) {
        if (FWheelAccumulator > 0) {
            FWheelAccumulator -= WHEEL_DELTA;
            handled = DoMouseWheelUp(shift, mousePos);
        } else {
            FWheelAccumulator += WHEEL_DELTA;
            handled = DoMouseWheelDown(shift, mousePos);
        }
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos)
{
    bool handled = false;
    OnMouseWheelDown(this, shift, mousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos)
{
    bool handled = false;
    OnMouseWheelUp(this, shift, mousePos, handled);
    return handled;
}

void TControl::SetParentComponent(TComponent* value)
{
    if (auto* parent = dynamic_cast<TWinControl*>(value))
        SetParent(parent);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::Changed(TControlChanges what)
{
    if (FPeer)
        FPeer->Changed(what);
}

void TControl::CreatePeers()
{
    if (!FPeer && WidgetSet())
        FPeer = WidgetSet()->CreatePeer(*this);
}

void TControl::DestroyPeers() { FPeer.reset(); }

// ---------------------------------------------------------------- TWinControl

SKLAD_DEFINE_ABSTRACT_CLASS(TWinControl)
void TWinControl::Publish(TPropertyTable& t)
{
    t.Prop("Color", &TControl::GetColor, &TControl::SetColor).Type("TColor");
    t.Prop("Font", &TControl::GetFont, &TControl::SetFont);
    t.Prop("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor);
    t.Prop("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont).Default(true);
    t.Prop("TabOrder", &TWinControl::GetTabOrder, &TWinControl::SetTabOrder).Default(-1);
    t.Prop("TabStop", &TWinControl::GetTabStop, &TWinControl::SetTabStop).Default(false);
    t.Event("OnEnter", &TWinControl::OnEnter);
    t.Event("OnExit", &TWinControl::OnExit);
    t.Event("OnKeyDown", &TWinControl::OnKeyDown);
    t.Event("OnKeyPress", &TWinControl::OnKeyPress);
    t.Event("OnKeyUp", &TWinControl::OnKeyUp);
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

bool TWinControl::UserScroll(TScrollBarKind kind, TScrollCode code, int pos)
{
    if (!AcceptsInput() || !HasScrollBar(kind))
        return false;
    Guarded([&] { DoScroll(kind, code, pos); });
    return true;
}

TWinControl::~TWinControl()
{
    DestroyPeers();
    // Children owned elsewhere (by the form) are only detached; ownerless ones are ours.
    auto children = FControls;
    for (TControl* c : children) {
        c->FParent = nullptr;
        if (!c->Owner())
            delete c;
    }
    FControls.clear();
    FTabList.clear();
}

TControl* TWinControl::Controls(int index) const
{
    if (index < 0 || index >= ControlCount())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return FControls[size_t(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const
{
    for (const TControl* c = control; c; c = c->GetParent())
        if (c->GetParent() == this)
            return true;
    return false;
}

TControl* TWinControl::FindChildControl(std::string_view name) const
{
    for (TControl* c : FControls)
        if (SameText(c->Name(), name))
            return c;
    return nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint p) const
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (c->GetVisible() && c->BoundsRect().Contains(p)) {
            if (auto* w = dynamic_cast<TWinControl*>(c)) {
                if (TControl* inner = w->ControlAtPos({p.X - c->GetLeft(), p.Y - c->GetTop()}))
                    return inner;
            }
            return c;
        }
    }
    return nullptr;
}

void TWinControl::InsertControl(TControl* control)
{
    FControls.push_back(control);
    control->FParent = this;
    if (auto* w = dynamic_cast<TWinControl*>(control))
        FTabList.push_back(w);
}

void TWinControl::RemoveControl(TControl* control)
{
    // Searched from the end: controls usually go in the reverse order they came,
    // so emptying a parent of n controls stays linear.
    const auto drop = [control](auto& list) {
        const auto it = std::find(list.rbegin(), list.rend(), control);
        if (it != list.rend())
            list.erase(std::next(it).base());
    };
    drop(FControls);
    drop(FTabList);
    control->FParent = nullptr;
    if (Destroying())
        return;
    if (control->GetAlign() != alNone)
        AlignControls();
    ContentChanged();
}

int TWinControl::GetTabOrder() const
{
    if (!GetParent())
        return -1;
    const auto& list = GetParent()->FTabList;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int value)
{
    if (!GetParent())
        return;
    auto& list = GetParent()->FTabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    value = std::clamp(value, 0, int(list.size()));
    list.insert(list.begin() + value, this);
    Changed(TControlChange::Order);
}

bool TWinControl::CanFocus() const { return IsShowing() && IsEnabled() && ParentForm(); }

void TWinControl::SetFocus()
{
    TCustomForm* form = ParentForm();
    if (form == this) {
        form->BringToFront();
        return;
    }
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    form->SetActiveControl(this);
}

bool TWinControl::Focused() const
{
    const TCustomForm* form = ParentForm();
    return form && form->GetActiveControl() == this;
}

void TWinControl::EnableAlign()
{
    if (FAlignLock > 0 && --FAlignLock == 0 && FAlignPending)
        AlignControls();
}

void TWinControl::AlignControls()
{
    if (FAlignLock > 0 || FAligning) {
        FAlignPending = true;
        return;
    }
    for (int pass = 0; pass < 4; ++pass) {
        FAligning = true;
        FAlignPending = false;
        AlignPass();
        FAligning = false;
        if (!FAlignPending)
            break;
    }
    FAlignPending = false;
}

void TWinControl::AlignPass()
{
    TRect r = AlignRect();
    ArrangeChildren(r);
    auto placeGroup = [&](TAlign align) {
        std::vector<TControl*> group;
        for (TControl* c : FControls)
            if (c->FAlign == align && c->FVisible)
                group.push_back(c);
        auto key = [align](const TControl* c) {
            switch (align) {
            case alTop: return c->FTop;
            case alBottom: return -(c->FTop + c->FHeight);
            case alLeft: return c->FLeft;
            case alRight: return -(c->FLeft + c->FWidth);
            default: return 0;
            }
        };
        std::stable_sort(group.begin(), group.end(),
                         [&](const TControl* a, const TControl* b) { return key(a) < key(b); });
        for (TControl* c : group) {
            const int w = c->FWidth, h = c->FHeight;
            switch (align) {
            case alTop:
                c->SetBounds(r.Left, r.Top, r.Width(), h);
                r.Top += c->FHeight;
                break;
            case alBottom:
                c->SetBounds(r.Left, r.Bottom - h, r.Width(), h);
                r.Bottom -= c->FHeight;
                break;
            case alLeft:
                c->SetBounds(r.Left, r.Top, w, r.Height());
                r.Left += c->FWidth;
                break;
            case alRight:
                c->SetBounds(r.Right - w, r.Top, w, r.Height());
                r.Right -= c->FWidth;
                break;
            case alClient:
                c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
                break;
            default:
                break;
            }
            if (r.Bottom < r.Top)
                r.Bottom = r.Top;
            if (r.Right < r.Left)
                r.Right = r.Left;
        }
    };
    placeGroup(alTop);
    placeGroup(alBottom);
    placeGroup(alLeft);
    placeGroup(alRight);
    placeGroup(alClient);

    // Right and bottom anchors keep their distance to the client edge.
    const TRect client = ClientRect();
    for (TControl* c : FControls) {
        if (c->FAlign != alNone)
            continue;
        const bool right = c->FAnchors.Contains(akRight), bottom = c->FAnchors.Contains(akBottom);
        if (!right && !bottom)
            continue;
        int left = c->FLeft, top = c->FTop, width = c->FWidth, height = c->FHeight;
        if (right) {
            if (c->FAnchors.Contains(akLeft))
                width = client.Width() - c->FAnchorRight - left;
            else
                left = client.Width() - c->FAnchorRight - width;
        }
        if (bottom) {
            if (c->FAnchors.Contains(akTop))
                height = client.Height() - c->FAnchorBottom - top;
            else
                top = client.Height() - c->FAnchorBottom - height;
        }
        const int keepRight = c->FAnchorRight, keepBottom = c->FAnchorBottom;
        c->SetBounds(left, top, width, height);
        c->FAnchorRight = keepRight;
        c->FAnchorBottom = keepBottom;
    }
}

void TWinControl::ChildPlaced(TControl* control)
{
    if (FAligning)
        return;
    const TRect client = ClientRect();
    control->FAnchorRight = client.Width() - (control->FLeft + control->FWidth);
    control->FAnchorBottom = client.Height() - (control->FTop + control->FHeight);
    ContentChanged();
}

void TWinControl::SetBounds(int left, int top, int width, int height) { TControl::SetBounds(left, top, width, height); }

void TWinControl::SizeChanged()
{
    AlignControls();
    TControl::SizeChanged();
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    AlignControls();
}

void TWinControl::ParentFontChanged()
{
    TControl::ParentFontChanged();
}

void TWinControl::ParentColorChanged()
{
    TControl::ParentColorChanged();
}

void TWinControl::ParentStateChanged(TControlChanges what)
{
    TControl::ParentStateChanged(what);
    for (TControl* c : FControls)
        c->ParentStateChanged(what);
}

void TWinControl::VisibleChanged()
{
    TControl::VisibleChanged();
    for (TControl* c : FControls)
        c->ParentStateChanged(uint32_t(TControlChange::Visible));
}

void TWinControl::EnabledChanged()
{
    TControl::EnabledChanged();
    for (TControl* c : FControls)
        c->ParentStateChanged(uint32_t(TControlChange::Enabled));
}

void TWinControl::KeyDown(Word& key, TShiftState shift) { OnKeyDown(this, key, shift); }
void TWinControl::KeyUp(Word& key, TShiftState shift) { OnKeyUp(this, key, shift); }
void TWinControl::KeyPress(char& key) { OnKeyPress(this, key); }
void TWinControl::DoEnter() { OnEnter(this); }
void TWinControl::DoExit() { OnExit(this); }
bool TWinControl::WantsKey(Word key) const { return key != VK_RETURN && key != VK_ESCAPE && key != VK_TAB ? true : false; }

bool TWinControl::UserKeyDown(Word key, TShiftState shift)
{
    if (!AcceptsInput())
        return false;
    UserFilterKeyDown(key, shift);
    return true;
}

bool TWinControl::UserFilterKeyDown(Word& key, TShiftState shift)
{
    if (!AcceptsInput())
        return false;
    // Stays false when a handler raises: the key is spent, as the platform's message was.
    bool passOn = false;
    Guarded([&] {
        TCustomForm* form = ParentForm();
        if (form && form != this && form->GetKeyPreview()) {
            form->KeyDown(key, shift);
            if (key == 0)
                return;
        }
        KeyDown(key, shift);
        if (key == 0 || !form) {
            passOn = key != 0;
            return;
        }
        const Word k = key;
        const TShortCut sc = ShortCut(k, shift);
        if (sc && (shift.Contains(ssCtrl) || shift.Contains(ssAlt) || (k >= VK_F1 && k <= VK_F12) ||
                   k == VK_DELETE || k == VK_INSERT)) {
            if (GetPopupMenu() && GetPopupMenu()->IsShortCut(sc))
                return;
            if (form->GetMenu() && form->GetMenu()->IsShortCut(sc))
                return;
        }
        if (k == VK_RETURN && !WantsKey(k)) {
            if (auto* self = dynamic_cast<TButton*>(this)) {
                self->Click();
                return;
            }
            if (TButton* b = form->DefaultButton(); b && b->AcceptsInput()) {
                b->Click();
                return;
            }
        } else if (k == VK_ESCAPE && !WantsKey(k)) {
            if (TButton* b = form->CancelButton(); b && b->AcceptsInput()) {
                b->Click();
                return;
            }
        } else if ((k == VK_APPS && shift.Empty()) || (k == VK_F10 && shift == TShiftState{ssShift})) {
            // The keyboard's context menu: the one a right click here pops.
            if (PopupByKeyboard())
                return;
        } else if (k == VK_TAB && !WantsKey(k)) {
            form->SelectNext(this, !shift.Contains(ssShift));
            return;
        } else if ((k == VK_UP || k == VK_DOWN) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt) && GetParent()) {
            for (TControl* c : GetParent()->ControlList())
                if (auto* w = dynamic_cast<TWinControl*>(c); w && w != this && w->StepForBuddy(this, k))
                    return;
        }
        passOn = true;
    });
    return passOn;
}

bool TWinControl::UserKeyUp(Word key, TShiftState shift)
{
    if (!AcceptsInput())
        return false;
    Guarded([&] {
        Word k = key;
        TCustomForm* form = ParentForm();
        if (form && form != this && form->GetKeyPreview()) {
            form->KeyUp(k, shift);
            if (k == 0)
                return;
        }
        KeyUp(k, shift);
    });
    return true;
}

bool TWinControl::UserKeyPress(char key)
{
    if (!AcceptsInput())
        return false;
    if (UserFilterKeyPress(key))
        Guarded([&] { DefaultKeyPress(key); });
    return true;
}

bool TWinControl::UserFilterKeyPress(char& key)
{
    if (!AcceptsInput())
        return false;
    bool passOn = false;
    Guarded([&] {
        TCustomForm* form = ParentForm();
        if (form && form != this && form->GetKeyPreview()) {
            form->KeyPress(key);
            if (key == 0)
                return;
        }
        KeyPress(key);
        passOn = key != 0;
    });
    return passOn;
}

bool TWinControl::UserFocused(bool byMouse)
{
    if (!AcceptsInput() || !CanFocus())
        return false;
    Guarded([this, byMouse] {
        if (TCustomForm* form = ParentForm(); form && form != this) {
            FEnteringByMouse = byMouse;
            struct Reset {
                TWinControl* Self;
                ~Reset() { Self->FEnteringByMouse = false; }
            } reset{this};
            form->SetActiveControl(this);
        }
    });
    return true;
}

void TWinControl::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    for (TControl* c : std::vector<TControl*>(FControls))
        if (c->Owner() == root)
            proc(c);
}

void TWinControl::CreatePeers()
{
    TControl::CreatePeers();
    for (TControl* c : FControls)
        c->CreatePeers();
}

void TWinControl::DestroyPeers()
{
    for (TControl* c : FControls)
        c->DestroyPeers();
    TControl::DestroyPeers();
}

// ---------------------------------------------------------------- graphic and custom controls

SKLAD_DEFINE_ABSTRACT_CLASS(TGraphicControl)
void TGraphicControl::Publish(TPropertyTable& t)
{
    t.Prop("Color", &TControl::GetColor, &TControl::SetColor).Type("TColor");
    t.Prop("Font", &TControl::GetFont, &TControl::SetFont);
    t.Prop("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor);
    t.Prop("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont).Default(true);
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TCanvas>())
{
    SetParentColor(true);
}
TGraphicControl::~TGraphicControl() = default;

SKLAD_DEFINE_ABSTRACT_CLASS(TCustomControl)
void TCustomControl::Publish(TPropertyTable&) {}
TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}
TCustomControl::~TCustomControl() = default;

SKLAD_DEFINE_CLASS(TControlScrollBar)
void TControlScrollBar::Publish(TPropertyTable& t)
{
    t.Prop("ButtonSize", &TControlScrollBar::GetButtonSize, &TControlScrollBar::SetButtonSize).Default(0);
    t.Prop("Color", &TControlScrollBar::GetColor, &TControlScrollBar::SetColor).Type("TColor").Default(clBtnHighlight);
    t.Prop("Increment", &TControlScrollBar::GetIncrement, &TControlScrollBar::SetIncrement).Default(8);
    t.Prop("Margin", &TControlScrollBar::GetMargin, &TControlScrollBar::SetMargin).Default(0);
    t.Prop("ParentColor", &TControlScrollBar::GetParentColor, &TControlScrollBar::SetParentColor).Default(true);
    t.Prop("Position", &TControlScrollBar::GetPosition, &TControlScrollBar::SetPosition).Default(0);
    t.Prop("Range", &TControlScrollBar::GetRange, &TControlScrollBar::SetRange)
        .Stored(&TControlScrollBar::IsRangeStored);
    t.Prop("Size", &TControlScrollBar::GetSize, &TControlScrollBar::SetSize).Default(0);
    t.Prop("Smooth", &TControlScrollBar::GetSmooth, &TControlScrollBar::SetSmooth).Default(false);
    t.Prop("Style", &TControlScrollBar::GetStyle, &TControlScrollBar::SetStyle).Default(ssRegular);
    t.Prop("ThumbSize", &TControlScrollBar::GetThumbSize, &TControlScrollBar::SetThumbSize).Default(0);
    t.Prop("Tracking", &TControlScrollBar::GetTracking, &TControlScrollBar::SetTracking).Default(false);
    t.Prop("Visible", &TControlScrollBar::GetVisible, &TControlScrollBar::SetVisible).Default(true);
}

TControlScrollBar::TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind)
    : FControl(control), FKind(kind)
{
}

void TControlScrollBar::Assign(TPersistent* source)
{
    auto* bar = dynamic_cast<TControlScrollBar*>(source);
    if (!bar) {
        TPersistent::Assign(source);
        return;
    }
    FButtonSize = bar->FButtonSize;
    FColor = bar->FColor;
    FIncrement = bar->FIncrement;
    FMargin = bar->FMargin;
    FParentColor = bar->FParentColor;
    FSize = bar->FSize;
    FSmooth = bar->FSmooth;
    FStyle = bar->FStyle;
    FThumbSize = bar->FThumbSize;
    FTracking = bar->FTracking;
    FVisible = bar->FVisible;
    if (!bar->FControl || !bar->FControl->GetAutoScroll())
        SetRange(bar->GetRange());
    SetPosition(bar->FPosition);
}

int TControlScrollBar::ClientExtent() const
{
    if (!FControl)
        return 0;
    return FKind == sbHorizontal ? FControl->GetClientWidth() : FControl->GetClientHeight();
}

int TControlScrollBar::GetRange() const
{
    if (!FControl || !FControl->GetAutoScroll())
        return FRange;
    // How far the children reach, counted from the unscrolled origin.
    int reach = 0;
    for (TControl* child : FControl->ControlList()) {
        if (!child->GetVisible() || child->GetAlign() != alNone)
            continue;
        reach = std::max(reach, FKind == sbHorizontal ? FPosition + child->GetLeft() + child->GetWidth()
                                                      : FPosition + child->GetTop() + child->GetHeight());
    }
    return reach > 0 ? reach + FMargin : 0;
}

void TControlScrollBar::SetRange(int value)
{
    if (FControl)
        FControl->SetAutoScroll(false);
    FRange = std::max(0, value);
    SetPosition(FPosition);
    if (FControl)
        FControl->BarsChanged();
}

bool TControlScrollBar::IsRangeStored() const { return !FControl || !FControl->GetAutoScroll(); }

bool TControlScrollBar::IsScrollBarVisible() const
{
    return FVisible && FControl && GetRange() > ClientExtent();
}

void TControlScrollBar::SetPosition(int value)
{
    const int position = std::clamp(value, 0, FVisible ? MaxPosition() : 0);
    if (position == FPosition)
        return;
    const int delta = FPosition - position;
    FPosition = position;
    if (FControl) {
        if (FKind == sbHorizontal)
            FControl->ScrollChildren(delta, 0);
        else
            FControl->ScrollChildren(0, delta);
        FControl->BarsChanged();
    }
}

void TControlScrollBar::SetIncrement(int value)
{
    if (value < 1 || value > 32767)
        throw ERangeError("Value must be between 1 and 32767");
    FIncrement = value;
}

void TControlScrollBar::SetColor(TColor value)
{
    FColor = value;
    FParentColor = false;
}

void TControlScrollBar::SetVisible(bool value)
{
    FVisible = value;
    if (!value)
        SetPosition(0);
    if (FControl)
        FControl->BarsChanged();
}

SKLAD_DEFINE_ABSTRACT_CLASS(TScrollingWinControl)
void TScrollingWinControl::Publish(TPropertyTable& t)
{
    t.Prop("AutoScroll", &TScrollingWinControl::GetAutoScroll, &TScrollingWinControl::SetAutoScroll).Default(true);
    t.Prop("HorzScrollBar", &TScrollingWinControl::GetHorzScrollBar, &TScrollingWinControl::SetHorzScrollBar);
    t.Prop("VertScrollBar", &TScrollingWinControl::GetVertScrollBar, &TScrollingWinControl::SetVertScrollBar);
}

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner),
      FHorzScrollBar(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      FVertScrollBar(std::make_unique<TControlScrollBar>(this, sbVertical))
{
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool value)
{
    if (value == FAutoScroll)
        return;
    FAutoScroll = value;
    BarsChanged();
}

void TScrollingWinControl::ScrollChildren(int dx, int dy)
{
    // One change for the whole move, not one per child.
    const bool outer = !FScrolling;
    FScrolling = true;
    try {
        for (TControl* child : ControlList())
            if (child->GetAlign() == alNone)
                child->SetBounds(child->GetLeft() + dx, child->GetTop() + dy, child->GetWidth(), child->GetHeight());
    } catch (...) {
        FScrolling = !outer;
        throw;
    }
    FScrolling = !outer;
}

void TScrollingWinControl::BarsChanged()
{
    if (!FScrolling)
        Changed(TControlChange::Scroll);
}

void TScrollingWinControl::ContentChanged()
{
    if (FScrolling)
        return;
    // A range that shrank pulls the position in, as a user scrolling would.
    for (TControlScrollBar* bar : {FHorzScrollBar.get(), FVertScrollBar.get()})
        if (bar->FPosition > 0 && bar->FPosition > bar->MaxPosition())
            bar->SetPosition(bar->FPosition);
    BarsChanged();
}

bool TScrollingWinControl::HasScrollBar(TScrollBarKind kind) const
{
    return (kind == sbHorizontal ? FHorzScrollBar : FVertScrollBar)->IsScrollBarVisible();
}

TScrollBarInfo TScrollingWinControl::GetScrollBarInfo(TScrollBarKind kind) const
{
    const TControlScrollBar& bar = kind == sbHorizontal ? *FHorzScrollBar : *FVertScrollBar;
    TScrollBarInfo info;
    info.Max = bar.GetRange();
    info.Page = bar.ClientExtent();
    info.Pos = bar.GetPosition();
    info.Enabled = bar.IsScrollBarVisible();
    return info;
}

void TScrollingWinControl::DoScroll(TScrollBarKind kind, TScrollCode code, int pos)
{
    TControlScrollBar& bar = kind == sbHorizontal ? *FHorzScrollBar : *FVertScrollBar;
    const int at = bar.GetPosition();
    const int page = std::max(1, bar.ClientExtent() * 9 / 10);
    switch (code) {
    case scLineUp: bar.SetPosition(at - bar.GetIncrement()); break;
    case scLineDown: bar.SetPosition(at + bar.GetIncrement()); break;
    case scPageUp: bar.SetPosition(at - page); break;
    case scPageDown: bar.SetPosition(at + page); break;
    case scPosition:
    case scTrack: bar.SetPosition(pos); break;
    case scTop: bar.SetPosition(0); break;
    case scBottom: bar.SetPosition(bar.GetRange()); break;
    default: break;
    }
}

void TScrollingWinControl::ScrollInView(TControl* control)
{
    if (!control || control->GetParent() != this)
        return;
    const TRect client = ClientRect();
    auto follow = [](TControlScrollBar& bar, int start, int extent, int clientExtent) {
        if (start < 0)
            bar.SetPosition(bar.GetPosition() + start);
        else if (start + extent > clientExtent)
            bar.SetPosition(bar.GetPosition() + std::min(start, start + extent - clientExtent));
    };
    follow(*FHorzScrollBar, control->GetLeft(), control->GetWidth(), client.Width());
    follow(*FVertScrollBar, control->GetTop(), control->GetHeight(), client.Height());
}

SKLAD_DEFINE_CLASS(TScrollBox)
void TScrollBox::Publish(TPropertyTable& t)
{
    t.Prop("BorderStyle", &TScrollBox::GetBorderStyle, &TScrollBox::SetBorderStyle).Default(bsSingle).Type("TBorderStyle");
}

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetBorderStyle(TBorderStyle value)
{
    if (value == FBorderStyle)
        return;
    FBorderStyle = value;
    Changed(TControlChange::Style);
    AlignControls();
}

TRect TScrollBox::ClientRect() const
{
    const int b = FBorderStyle == bsNone ? 0 : 2;
    return Rect(0, 0, std::max(0, FWidth - 2 * b), std::max(0, FHeight - 2 * b));
}

// ---------------------------------------------------------------- painting into a bitmap

void PaintControlTo(TControl& control, TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    if (TWidgetSet* set = WidgetSet()) {
        TPixelBuffer pixels = bitmap.Pixels();
        if (set->RenderControl(control, pixels)) {
            bitmap.SetPixels(std::move(pixels));
            return;
        }
    }
    TCanvas& c = *bitmap.GetCanvas();
    const int w = control.GetWidth(), h = control.GetHeight();
    if (w >= 2 && h >= 2) {
        // A raised edge: light on the top and left, shadow on the bottom and right.
        c.GetPen()->SetStyle(psSolid);
        c.GetPen()->SetWidth(1);
        c.GetPen()->SetColor(clBtnHighlight);
        c.MoveTo(0, h - 1);
        c.LineTo(0, 0);
        c.LineTo(w - 1, 0);
        c.GetPen()->SetColor(clBtnShadow);
        c.LineTo(w - 1, h - 1);
        c.LineTo(-1, h - 1);
    }
    const AnsiString& caption = control.GetCaption();
    if (!caption.empty()) {
        c.GetFont()->Assign(control.GetFont());
        c.GetBrush()->SetStyle(bsClear);
        c.TextOut(std::max(2, (w - c.TextWidth(caption)) / 2), std::max(1, (h - c.TextHeight(caption)) / 2), caption);
        c.GetBrush()->SetStyle(bsSolid);
    }
    control.Paint(c);
}

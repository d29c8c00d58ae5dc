#include "platform/gui/ExtCtrls.h"

#include "platform/gui/Forms.h"

#include <algorithm>

// ---------------------------------------------------------------- panels

SKLAD_DEFINE_ABSTRACT_CLASS(TCustomPanel)
void TCustomPanel::Publish(TPropertyTable& t)
{
    t.Prop("Alignment", &TCustomPanel::GetAlignment, &TCustomPanel::SetAlignment).Default(taCenter);
    t.Prop("BevelInner", &TCustomPanel::GetBevelInner, &TCustomPanel::SetBevelInner).Default(bvNone);
    t.Prop("BevelOuter", &TCustomPanel::GetBevelOuter, &TCustomPanel::SetBevelOuter).Default(bvRaised);
    t.Prop("BevelWidth", &TCustomPanel::GetBevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
    t.Prop("BorderStyle", &TCustomPanel::GetBorderStyle, &TCustomPanel::SetBorderStyle).Default(bsNone).Type("TBorderStyle");
    t.Prop("BorderWidth", &TCustomPanel::GetBorderWidth, &TCustomPanel::SetBorderWidth).Default(0);
    t.Prop("Caption", &TControl::GetCaption, &TControl::SetCaption);
    t.Prop("FullRepaint", &TCustomPanel::GetFullRepaint, &TCustomPanel::SetFullRepaint).Default(true);
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 185, 41); }

TRect TCustomPanel::ClientRect() const
{
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone)
        inset += FBevelWidth;
    if (FBevelInner != bvNone)
        inset += FBevelWidth;
    if (FBorderStyle != bsNone)
        inset += 1;
    return Rect(inset, inset, std::max(inset, FWidth - inset), std::max(inset, FHeight - inset));
}

namespace {
template <class T>
void SetAndRealign(TCustomPanel* panel, T& field, T value)
{
    if (field == value)
        return;
    field = value;
    panel->AlignControls();
}
}  // namespace

void TCustomPanel::SetBevelInner(TBevelCut value) { SetAndRealign(this, FBevelInner, value); Changed(TControlChange::Style); }
void TCustomPanel::SetBevelOuter(TBevelCut value) { SetAndRealign(this, FBevelOuter, value); Changed(TControlChange::Style); }
void TCustomPanel::SetBevelWidth(int value) { SetAndRealign(this, FBevelWidth, std::max(1, value)); Changed(TControlChange::Style); }
void TCustomPanel::SetBorderWidth(int value) { SetAndRealign(this, FBorderWidth, std::max(0, value)); Changed(TControlChange::Style); }
void TCustomPanel::SetBorderStyle(TBorderStyle value) { SetAndRealign(this, FBorderStyle, value); Changed(TControlChange::Style); }
void TCustomPanel::SetAlignment(TAlignment value) { if (value != FAlignment) { FAlignment = value; Changed(TControlChange::Style); } }

SKLAD_DEFINE_CLASS(TPanel)
void TPanel::Publish(TPropertyTable&) {}
TPanel::TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}

// ---------------------------------------------------------------- splitter

SKLAD_DEFINE_CLASS(TSplitter)
void TSplitter::Publish(TPropertyTable& t)
{
    t.Prop("Align", &TControl::GetAlign, &TControl::SetAlign).Default(alLeft);
    t.Prop("AutoSnap", &TSplitter::GetAutoSnap, &TSplitter::SetAutoSnap).Default(true);
    t.Prop("Beveled", &TSplitter::GetBeveled, &TSplitter::SetBeveled).Default(false);
    t.Prop("MinSize", &TSplitter::GetMinSize, &TSplitter::SetMinSize).Default(30);
    t.Prop("ResizeStyle", &TSplitter::GetResizeStyle, &TSplitter::SetResizeStyle).Default(rsPattern);
    t.Event("OnCanResize", &TSplitter::OnCanResize);
    t.Event("OnMoved", &TSplitter::OnMoved);
}

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
}

TControl* TSplitter::ResizeControl() const
{
    TWinControl* parent = GetParent();
    if (!parent || GetAlign() == alNone || GetAlign() == alClient)
        return nullptr;
    // The aligned sibling whose edge touches the splitter on the side it is aligned to.
    for (TControl* c : parent->ControlList()) {
        if (c == this || !c->GetVisible() || c->GetAlign() != GetAlign())
            continue;
        switch (GetAlign()) {
        case alLeft:
            if (c->GetLeft() + c->GetWidth() == GetLeft())
                return c;
            break;
        case alRight:
            if (c->GetLeft() == GetLeft() + GetWidth())
                return c;
            break;
        case alTop:
            if (c->GetTop() + c->GetHeight() == GetTop())
                return c;
            break;
        case alBottom:
            if (c->GetTop() == GetTop() + GetHeight())
                return c;
            break;
        default:
            break;
        }
    }
    return nullptr;
}

bool TSplitter::UserDragged(int delta)
{
    if (!AcceptsInput())
        return false;
    TControl* target = ResizeControl();
    if (!target)
        return false;
    Guarded([&] {
        const bool horizontal = GetAlign() == alLeft || GetAlign() == alRight;
        const int size = horizontal ? target->GetWidth() : target->GetHeight();
        const int grow = (GetAlign() == alLeft || GetAlign() == alTop) ? delta : -delta;
        // Room to grow: what the client-aligned siblings (or empty space) give up, down
        // to MinSize of their own.
        const TRect client = GetParent()->ClientRect();
        int used = 0;
        for (TControl* c : GetParent()->ControlList())
            if (c->GetVisible() && c->GetAlign() != alNone && c->GetAlign() != alClient &&
                (horizontal ? (c->GetAlign() == alLeft || c->GetAlign() == alRight)
                            : (c->GetAlign() == alTop || c->GetAlign() == alBottom)))
                used += horizontal ? c->GetWidth() : c->GetHeight();
        const int total = horizontal ? client.Width() : client.Height();
        const int maxSize = std::max(FMinSize, size + (total - used) - FMinSize);
        int newSize = std::clamp(size + grow, FMinSize, maxSize);
        bool accept = true;
        OnCanResize(this, newSize, accept);
        if (!accept || newSize == size)
            return;
        if (horizontal)
            target->SetWidth(newSize);
        else
            target->SetHeight(newSize);
        OnMoved(this);
    });
    return true;
}

// ---------------------------------------------------------------- paint box, image, bevel

SKLAD_DEFINE_CLASS(TPaintBox)
void TPaintBox::Publish(TPropertyTable& t) { t.Event("OnPaint", &TPaintBox::OnPaint); }
TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 105, 105); }
void TPaintBox::Paint(TCanvas&) { OnPaint(this); }

SKLAD_DEFINE_CLASS(TImage)
void TImage::Publish(TPropertyTable& t)
{
    t.Prop("AutoSize", &TImage::GetAutoSize, &TImage::SetAutoSize).Default(false);
    t.Prop("Center", &TImage::GetCenter, &TImage::SetCenter).Default(false);
    t.Prop("Proportional", &TImage::GetProportional, &TImage::SetProportional).Default(false);
    t.Prop("Stretch", &TImage::GetStretch, &TImage::SetStretch).Default(false);
    t.Prop("Transparent", &TImage::GetTransparent, &TImage::SetTransparent).Default(false);
}
TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 105, 105); }
void TImage::SetStretch(bool value) { if (value != FStretch) { FStretch = value; Changed(TControlChange::Image); } }
void TImage::SetCenter(bool value) { if (value != FCenter) { FCenter = value; Changed(TControlChange::Image); } }
void TImage::SetTransparent(bool value) { if (value != FTransparent) { FTransparent = value; Changed(TControlChange::Image); } }
void TImage::SetProportional(bool value) { if (value != FProportional) { FProportional = value; Changed(TControlChange::Image); } }

SKLAD_DEFINE_CLASS(TBevel)
void TBevel::Publish(TPropertyTable& t)
{
    t.Prop("Shape", &TBevel::GetShape, &TBevel::SetShape).Default(bsBox);
    t.Prop("Style", &TBevel::GetStyle, &TBevel::SetStyle).Default(bsLowered);
}
TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }
void TBevel::SetShape(TBevelShape value) { if (value != FShape) { FShape = value; Changed(TControlChange::Style); } }
void TBevel::SetStyle(TBevelStyle value) { if (value != FStyle) { FStyle = value; Changed(TControlChange::Style); } }

// ---------------------------------------------------------------- timer

SKLAD_DEFINE_CLASS(TTimer)
void TTimer::Publish(TPropertyTable& t)
{
    t.Prop("Enabled", &TTimer::GetEnabled, &TTimer::SetEnabled).Default(true);
    t.Prop("Interval", &TTimer::GetInterval, &TTimer::SetInterval).Default(1000);
    t.Event("OnTimer", &TTimer::OnTimer);
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    if (Application)
        Application->AddTimer(this);
    Restart();
}

TTimer::~TTimer()
{
    if (Application)
        Application->RemoveTimer(this);
}

void TTimer::SetEnabled(bool value)
{
    if (value == FEnabled)
        return;
    FEnabled = value;
    Restart();
}

void TTimer::SetInterval(int value)
{
    if (value == FInterval)
        return;
    FInterval = std::max(0, value);
    Restart();
}

void TTimer::Loaded()
{
    TComponent::Loaded();
    Restart();
}

void TTimer::Restart()
{
    // A timer with no interval or no handler never fires.
    FDueAt = (FEnabled && FInterval > 0) ? Services().TickCount() + uint64_t(FInterval) : 0;
}

void TTimer::Fire()
{
    FFiring = true;
    FDueAt = Services().TickCount() + uint64_t(FInterval);
    TApplication* app = Application;
    app->Guard([this] { OnTimer(this); });
    // The handler may have destroyed the timer; only a registered one is touched.
    if (std::find(app->FTimers.begin(), app->FTimers.end(), this) != app->FTimers.end())
        FFiring = false;
}

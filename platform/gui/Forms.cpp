#include "platform/gui/Forms.h"

#include "platform/classes/ObjectText.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/graphics/Resources.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstdlib>
#include <map>

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

// Non-client metrics of a form frame, fixed so layouts come out the same everywhere.
constexpr int kCaption = 19, kToolCaption = 15, kMenuBar = 19;

void ForEachControl(TWinControl* parent, const std::function<void(TControl*)>& fn)
{
    for (TControl* c : parent->ControlList()) {
        fn(c);
        if (auto* w = dynamic_cast<TWinControl*>(c))
            ForEachControl(w, fn);
    }
}

}  // namespace

// ---------------------------------------------------------------- TCustomForm

SKLAD_DEFINE_CLASS(TCustomForm)
void TCustomForm::Publish(TPropertyTable& t)
{
    t.Prop("BorderIcons", &TCustomForm::GetBorderIcons, &TCustomForm::SetBorderIcons)
        .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    t.Prop("BorderStyle", &TCustomForm::GetBorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
    t.Prop("Caption", &TControl::GetCaption, &TControl::SetCaption);
    t.Prop("ClientHeight", &TControl::GetClientHeight, &TControl::SetClientHeight).Stored(false);
    t.Prop("ClientWidth", &TControl::GetClientWidth, &TControl::SetClientWidth).Stored(false);
    t.Prop("FormStyle", &TCustomForm::GetFormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
    t.Prop("KeyPreview", &TCustomForm::GetKeyPreview, &TCustomForm::SetKeyPreview).Default(false);
    t.Prop("Menu", &TCustomForm::GetMenu, &TCustomForm::SetMenu);
    t.Prop("OldCreateOrder", &TCustomForm::GetOldCreateOrder, &TCustomForm::SetOldCreateOrder).Stored(false);
    t.Prop("PixelsPerInch", &TCustomForm::GetPixelsPerInch, &TCustomForm::SetPixelsPerInch).Stored(false);
    t.Prop("Position", &TCustomForm::GetPosition, &TCustomForm::SetPosition).Default(poDesigned);
    t.Prop("TextHeight", &TCustomForm::GetTextHeight, &TCustomForm::SetTextHeight).Stored(false);
    t.Prop("WindowState", &TCustomForm::GetWindowState, &TCustomForm::SetWindowState).Default(wsNormal);
    t.Prop("ActiveControl", &TCustomForm::GetActiveControl, &TCustomForm::SetActiveControl);
    t.Prop("Visible", &TControl::GetVisible, &TCustomForm::SetVisible).Default(false);
    t.Event("OnActivate", &TCustomForm::OnActivate);
    t.Event("OnClose", &TCustomForm::OnClose);
    t.Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
    t.Event("OnCreate", &TCustomForm::OnCreate);
    t.Event("OnDeactivate", &TCustomForm::OnDeactivate);
    t.Event("OnDestroy", &TCustomForm::OnDestroy);
    t.Event("OnHide", &TCustomForm::OnHide);
    t.Event("OnMouseWheel", &TControl::OnMouseWheel);
    t.Event("OnMouseWheelDown", &TControl::OnMouseWheelDown);
    t.Event("OnMouseWheelUp", &TControl::OnMouseWheelUp);
    t.Event("OnPaint", &TCustomForm::OnPaint);
    t.Event("OnShow", &TCustomForm::OnShow);
}

void TCustomForm::Paint(TCanvas&) { OnPaint(this); }

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner), FCanvas(std::make_unique<TCanvas>())
{
    FVisible = false;
    FLeft = 0;
    FTop = 0;
    FWidth = 320;
    FHeight = 240;
    if (Screen)
        Screen->AddForm(this);
}

void TCustomForm::FireOnDestroy()
{
    if (FDestroyFired)
        return;
    FDestroyFired = true;
    try {
        OnDestroy(this);
    } catch (...) {
        // Destruction cannot report; the form goes anyway.
    }
}

void TCustomForm::BeforeDestruction()
{
    FireOnDestroy();
    TScrollingWinControl::BeforeDestruction();
}

TCustomForm::~TCustomForm()
{
    FireOnDestroy();  // a form that was not deleted (a local) has not fired it yet
    FActiveControl = nullptr;
    if (Screen)
        Screen->RemoveForm(this);
    if (Application) {
        if (Application->FMainForm == this)
            Application->FMainForm = nullptr;
        auto& released = Application->FReleased;
        released.erase(std::remove(released.begin(), released.end(), this), released.end());
    }
    DestroyPeers();
}

void TCustomForm::DoCreate()
{
    if (Application)
        Application->Guard([this] { OnCreate(this); });
    else
        OnCreate(this);
}

int TCustomForm::FrameWidth() const
{
    switch (FBorderStyle) {
    case bsNone: return 0;
    case bsSizeable:
    case bsSizeToolWin: return 4;
    default: return 3;
    }
}

int TCustomForm::CaptionHeight() const
{
    int h = 0;
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin)
        h = kToolCaption;
    else if (FBorderStyle != bsNone)
        h = kCaption;
    if (FMenu && FMenu->GetItems()->Count() > 0)
        h += kMenuBar;
    return h;
}

TRect TCustomForm::ClientRect() const
{
    const int f = FrameWidth();
    return Rect(0, 0, std::max(0, FWidth - 2 * f), std::max(0, FHeight - 2 * f - CaptionHeight()));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value)
{
    if (value == FBorderStyle)
        return;
    // The client area keeps its size; the frame grows around it.
    const int cw = GetClientWidth(), ch = GetClientHeight();
    FBorderStyle = value;
    Changed(TControlChange::Style);
    SetBounds(FLeft, FTop, cw + 2 * FrameWidth(), ch + 2 * FrameWidth() + CaptionHeight());
}

void TCustomForm::SetBorderIcons(TBorderIcons value)
{
    FBorderIcons = value;
    Changed(TControlChange::Style);
}

void TCustomForm::SetPosition(TPosition value) { FPosition = value; }

void TCustomForm::SetWindowState(TWindowState value)
{
    if (value == FWindowState)
        return;
    if (value == wsMinimized)
        FRestoredState = FWindowState;
    FWindowState = value;
    Changed(TControlChange::WindowState);
}

void TCustomForm::SetFormStyle(TFormStyle value)
{
    if (value == FFormStyle)
        return;
    FFormStyle = value;
    Changed(TControlChange::WindowState);
}

void TCustomForm::SetPopupParent(TCustomForm* value)
{
    if (value == this)
        value = nullptr;
    if (value == FPopupParent)
        return;
    FPopupParent.Set(value);
    Changed(TControlChange::Style);
}

void TCustomForm::SetMenu(TMainMenu* value)
{
    if (value == FMenu)
        return;
    const int cw = GetClientWidth(), ch = GetClientHeight();
    FMenu.Set(value);
    if (FMenu) {
        if (Peer())
            FMenu->CreatePeer();
    }
    Changed(TControlChange::Menu);
    if (!Loading())
        SetBounds(FLeft, FTop, cw + 2 * FrameWidth(), ch + 2 * FrameWidth() + CaptionHeight());
}

void TCustomForm::Notification(TComponent* component, TOperation operation)
{
    TScrollingWinControl::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (FMenu.Forget(component, operation))
        Changed(TControlChange::Menu);
    if (component == FActiveControl)
        FActiveControl = nullptr;
    if (FPopupParent.Forget(component, operation))
        Changed(TControlChange::Style);
}

void TCustomForm::SetActiveControl(TWinControl* value)
{
    if (value == FActiveControl)
        return;
    if (value && Loading()) {
        FActiveControl = value;
        return;
    }
    if (value && (value == this || !ContainsControl(value)))
        throw EInvalidOperation("Invalid control for the form's active control");
    TWinControl* old = FActiveControl;
    FActiveControl = value;
    if (old)
        old->DoExit();
    if (value && FActiveControl == value) {
        value->DoEnter();
        value->Changed(TControlChange::Focus);
    }
}

bool TCustomForm::Active() const { return Screen && Screen->GetActiveForm() == this; }

void TCustomForm::SetParent(TWinControl* value)
{
    // Forms are top-level windows here; embedding one is not supported.
    if (value)
        throw EInvalidOperation("A form cannot be placed on another control");
    TScrollingWinControl::SetParent(value);
}

void TCustomForm::CreatePeers()
{
    TScrollingWinControl::CreatePeers();
    if (FMenu && Peer())
        FMenu->CreatePeer();
}

void TCustomForm::DestroyPeers()
{
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* menu = dynamic_cast<TMenu*>(Components(i)))
            menu->DestroyPeer();
    TScrollingWinControl::DestroyPeers();
}

void TCustomForm::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    TScrollingWinControl::GetChildren(proc, root);
    for (int i = 0; i < ComponentCount(); ++i)
        if (TComponent* c = Components(i); !c->HasParent())
            proc(c);
}

void TCustomForm::SetVisible(bool value)
{
    if (Loading()) {
        // The layout's Visible = True shows the form once it exists (Application::Run
        // shows the main form anyway).
        FVisible = false;
        if (value && Application)
            Application->PostCall([this] {
                // Only a form that still exists is shown.
                if (Screen && std::find(Screen->FormList().begin(), Screen->FormList().end(), this) !=
                                  Screen->FormList().end())
                    Show();
            });
        return;
    }
    if (value == FVisible) {
        if (value && Screen && FActivateOnShow)
            Screen->SetActiveForm(this);
        return;
    }
    if (FInShowHide)
        throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
    if (value) {
        CreatePeers();
        // Placement by Position, on every showing.
        const TRect screen = Services().ScreenRect();
        TRect around = screen;
        if (FPosition == poMainFormCenter && Application && Application->MainForm() &&
            Application->MainForm() != this && Application->MainForm()->GetVisible())
            around = Application->MainForm()->ShownRect();
        if (FPosition == poOwnerFormCenter)
            if (auto* owner = dynamic_cast<TCustomForm*>(Owner()); owner && owner->GetVisible())
                around = owner->ShownRect();
        if (FPosition == poScreenCenter || FPosition == poDesktopCenter || FPosition == poMainFormCenter ||
            FPosition == poOwnerFormCenter) {
            SetBounds(around.Left + (around.Width() - FWidth) / 2, around.Top + (around.Height() - FHeight) / 2,
                      FWidth, FHeight);
            // Centred on a window smaller than itself near a monitor's edge, or on a screen
            // smaller than itself, a window would stand with its caption out of reach.
            MakeFullyVisible();
        }
        FVisible = true;
        FShowing = true;
        FInShowHide = true;
        TWinControl* const focusBefore = FActiveControl;
        try {
            DoShow();
        } catch (...) {
            FInShowHide = false;
            throw;
        }
        FInShowHide = false;
        Changed(TControlChange::Visible);
        ParentStateChanged(uint32_t(TControlChange::Visible));
        // A form shown again, or laid out with its ActiveControl, gives that control the
        // keys without entering it anew (OnShow entering another control did that itself).
        if (FActivateOnShow && FActiveControl && FActiveControl == focusBefore && FActiveControl->CanFocus())
            FActiveControl->FocusRegained();
        if (Screen && FVisible && FActivateOnShow)
            Screen->SetActiveForm(this);
    } else {
        if (IsModal() && !FModalEnding) {
            // Hiding a modal form ends its showing without the close questions.
            FHideEndsModal = true;
            if (FModalResult == mrNone)
                FModalResult = mrCancel;
        }
        FInShowHide = true;
        try {
            if (FShowing)
                DoHide();
        } catch (...) {
            FInShowHide = false;
            throw;
        }
        FInShowHide = false;
        FShowing = false;
        FVisible = false;
        Changed(TControlChange::Visible);
        ParentStateChanged(uint32_t(TControlChange::Visible));
        if (Screen && Screen->FActiveForm == this)
            Screen->SetActiveForm(nullptr);
    }
}

void TCustomForm::DoShow() { OnShow(this); }
void TCustomForm::DoHide() { OnHide(this); }
void TCustomForm::Activate() { OnActivate(this); }
void TCustomForm::Deactivate() { OnDeactivate(this); }
void TCustomForm::DoClose(TCloseAction& action) { OnClose(this, action); }

void TCustomForm::Show()
{
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::BringToFront() { Changed(TControlChange::Active); }

TRect TCustomForm::ShownRect() const
{
    // A maximized window fills the work area of its monitor; its bounds keep the place it
    // had before (the way back), and only its size follows the desktop's.
    if (FWindowState == wsMaximized)
        if (TMonitor* monitor = Monitor())
            return monitor->WorkareaRect();
    return BoundsRect();
}

TMonitor* TCustomForm::Monitor() const { return Screen ? Screen->MonitorFromRect(BoundsRect()) : nullptr; }

void TCustomForm::MakeFullyVisible(TMonitor* monitor)
{
    if (!monitor)
        monitor = Monitor();
    if (!monitor)
        return;
    const TRect area = monitor->WorkareaRect();
    int left = std::min(GetLeft(), area.Right - GetWidth());
    int top = std::min(GetTop(), area.Bottom - GetHeight());
    left = std::max(left, area.Left);
    top = std::max(top, area.Top);
    if (left != GetLeft() || top != GetTop())
        SetBounds(left, top, GetWidth(), GetHeight());
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close()
{
    if (IsModal()) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else
        CloseWith(action);
}

void TCustomForm::CloseWith(TCloseAction action)
{
    switch (action) {
    case caHide:
        Hide();
        break;
    case caMinimize:
        SetWindowState(wsMinimized);
        break;
    case caFree:
        Hide();
        Release();
        break;
    case caNone:
        break;
    }
}

void TCustomForm::Release()
{
    if (FReleasePending || !Application)
        return;
    FReleasePending = true;
    Application->FReleased.push_back(this);
}

bool TCustomForm::ModalLoopTurn()
{
    if (FModalEnding)
        return true;
    if (FModalResult == mrNone)
        return false;
    if (FHideEndsModal) {
        FModalEnding = true;
        return true;
    }
    bool allowed = false;
    TCloseAction action = caHide;
    auto ask = [&] {
        if (!CloseQuery())
            return;
        DoClose(action);
        allowed = action != caNone;
    };
    if (Application)
        Application->Guard(ask);
    else
        ask();
    if (!allowed) {
        FModalResult = mrNone;
        return false;
    }
    FModalCloseAction = action;
    FModalEnding = true;
    Changed(TControlChange::Modal);
    return true;
}

TModalResult TCustomForm::ShowModal()
{
    if (FVisible || IsModal())
        throw EInvalidOperation("Cannot make a visible window modal");
    if (!FEnabled)
        throw EInvalidOperation("Cannot make a disabled window modal");
    if (!Screen || !Application)
        throw EInvalidOperation("The application object does not exist");

    // A drag in progress ends here: the modal window takes the mouse.
    ReleaseCapture();
    TCustomForm* previousActive = Screen->GetActiveForm();
    std::vector<TCustomForm*> blocked;
    for (TCustomForm* f : Screen->FForms)
        if (f != this && f->FVisible) {
            ++f->FBlockCount;
            blocked.push_back(f);
            f->Changed(TControlChange::Modal);
        }
    Screen->FModalStack.push_back(this);
    FModalLevel = int(Screen->FModalStack.size());
    FModalResult = mrNone;
    FModalEnding = false;
    FHideEndsModal = false;
    FModalCloseAction = caHide;
    // The peer takes the new modality while the window is still hidden: a form shown
    // modally before keeps its peer, which would otherwise show it non-modal and leave
    // it blocked behind the form that opened it.
    Changed(TControlChange::Modal);

    // Every way out (result or exception) restores the stack and the blocked forms.
    struct Restore {
        TCustomForm* Self;
        std::vector<TCustomForm*> Blocked;
        ~Restore()
        {
            if (Screen) {
                auto& stack = Screen->FModalStack;
                stack.erase(std::remove(stack.begin(), stack.end(), Self), stack.end());
                for (TCustomForm* f : Blocked)
                    if (std::find(Screen->FForms.begin(), Screen->FForms.end(), f) != Screen->FForms.end()) {
                        --f->FBlockCount;
                        f->Changed(TControlChange::Modal);
                    }
            }
            Self->FModalLevel = 0;
            Self->FModalEnding = false;
            Self->FHideEndsModal = false;
            Self->Changed(TControlChange::Modal);
        }
    } restore{this, blocked};

    TModalResult result = mrNone;
    try {
        Show();
        const TLoopInfo loop{this, FModalLevel};
        for (;;) {
            if (Application->Terminated()) {
                FModalResult = mrCancel;
                break;
            }
            if (ModalLoopTurn())
                break;
            Application->HandleMessage(loop);
        }
        result = FModalResult;
        if (FVisible)
            Hide();
    } catch (...) {
        if (FVisible) {
            try {
                FInShowHide = false;
                Hide();
            } catch (...) {
            }
        }
        if (Screen && previousActive && previousActive->FVisible)
            Screen->SetActiveForm(previousActive);
        throw;
    }
    if (previousActive && previousActive != this && previousActive->FVisible)
        Screen->SetActiveForm(previousActive);
    if (FModalCloseAction == caFree)
        Release();
    return result;
}

TButton* TCustomForm::DefaultButton() const
{
    TButton* found = nullptr;
    ForEachControl(const_cast<TCustomForm*>(this), [&](TControl* c) {
        if (auto* b = dynamic_cast<TButton*>(c); b && !found && b->GetDefault() && b->IsShowing())
            found = b;
    });
    return found;
}

TButton* TCustomForm::CancelButton() const
{
    TButton* found = nullptr;
    ForEachControl(const_cast<TCustomForm*>(this), [&](TControl* c) {
        if (auto* b = dynamic_cast<TButton*>(c); b && !found && b->GetCancel() && b->IsShowing())
            found = b;
    });
    return found;
}

void TCustomForm::SelectNext(TWinControl* current, bool forward)
{
    // Tab enters a group of radio buttons (those of one parent) at its checked
    // button; the arrow keys move within the group. A group with no button
    // checked is entered at each button in turn.
    auto checkedSiblingTakesTab = [](const TWinControl* w) {
        auto* radio = dynamic_cast<const TRadioButton*>(w);
        if (!radio || radio->GetChecked() || !radio->GetParent())
            return false;
        for (TControl* c : radio->GetParent()->ControlList())
            if (auto* r = dynamic_cast<TRadioButton*>(c); r && r != radio && r->GetChecked() && r->CanFocus())
                return true;
        return false;
    };
    std::vector<TWinControl*> order;
    std::function<void(TWinControl*)> collect = [&](TWinControl* parent) {
        for (TWinControl* w : parent->FTabList) {
            if (w->CanFocus() && w->GetTabStop() && (w == current || !checkedSiblingTakesTab(w)))
                order.push_back(w);
            collect(w);
        }
    };
    collect(this);
    if (order.empty())
        return;
    auto it = std::find(order.begin(), order.end(), current);
    size_t index = 0;
    if (it != order.end()) {
        const size_t at = size_t(it - order.begin());
        index = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
    }
    SetActiveControl(order[index]);
}

void TCustomForm::KeyDown(Word& key, TShiftState shift) { TScrollingWinControl::KeyDown(key, shift); }

bool TCustomForm::UserCloseRequested()
{
    if (!FVisible || (Screen && Screen->IsBlocked(this)) || ModalResultPending())
        return false;
    Application->Guard([this] { Close(); });
    return true;
}

bool TCustomForm::UserActivated()
{
    if (!FVisible || (Screen && Screen->IsBlocked(this)))
        return false;
    if (Screen)
        Screen->SetActiveForm(this);
    return true;
}

bool TCustomForm::UserResized(int width, int height)
{
    if (!FVisible)
        return false;
    Application->Guard([&] {
        SetBounds(FLeft, FTop, width, height);
        UserMovedOrSized();
    });
    return true;
}

bool TCustomForm::UserWindowStateChanged(TWindowState state)
{
    if (state == FWindowState)
        return false;
    if (state == wsMinimized)
        FRestoredState = FWindowState;
    FWindowState = state;
    return true;
}

bool TCustomForm::UserMoved(int left, int top)
{
    if (!FVisible)
        return false;
    if (left == FLeft && top == FTop)
        return true;
    Application->Guard([&] {
        SetBounds(left, top, FWidth, FHeight);
        UserMovedOrSized();
    });
    return true;
}

// ---------------------------------------------------------------- TForm

SKLAD_DEFINE_CLASS(TForm)
void TForm::Publish(TPropertyTable&) {}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {}

TForm::TForm(TComponent* AOwner, const AnsiString& layoutFile) : TCustomForm(AOwner)
{
    InitLayout(layoutFile);
}

TForm::TForm(TComponent* AOwner, TDeferLayout) : TCustomForm(AOwner) {}

void TForm::InitLayout(const AnsiString& layoutFile) { InitLayout(layoutFile, {}); }

void TForm::InitLayout(const AnsiString& layoutFile, const std::function<void()>& beforeCreate)
{
    const AnsiString path = Application ? Application->FindLayout(layoutFile) : layoutFile;
    LoadLayout(path, this);
    if (beforeCreate)
        beforeCreate();
    DoCreate();
}

void TForm::InitLayoutText(const AnsiString& text, const std::function<void()>& beforeCreate)
{
    ReadComponentText(text, this, ClassName() + " layout");
    if (beforeCreate)
        beforeCreate();
    DoCreate();
}

void TForm::MissingComponent(std::string_view name, TClass cls) const
{
    throw EComponentError("Form " + Name() + " has no component " + AnsiString(name) + " of class " +
                          cls->ClassName());
}

// ---------------------------------------------------------------- TDataModule

SKLAD_DEFINE_CLASS(TDataModule)
void TDataModule::Publish(TPropertyTable& t)
{
    t.Event("OnCreate", &TDataModule::OnCreate);
    t.Event("OnDestroy", &TDataModule::OnDestroy);
}

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner)
{
    if (Screen)
        Screen->AddDataModule(this);
}

void TDataModule::FireOnDestroy()
{
    if (FDestroyFired)
        return;
    FDestroyFired = true;
    try {
        OnDestroy(this);
    } catch (...) {
        // Destruction cannot report; the module goes anyway.
    }
}

void TDataModule::BeforeDestruction()
{
    FireOnDestroy();
    TComponent::BeforeDestruction();
}

TDataModule::~TDataModule()
{
    FireOnDestroy();
    if (Screen)
        Screen->RemoveDataModule(this);
}

// ---------------------------------------------------------------- TScreen

SKLAD_DEFINE_CLASS(TScreen)
void TScreen::Publish(TPropertyTable&) {}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}
TScreen::~TScreen() = default;

TWinControl* TScreen::GetActiveControl() const { return FActiveForm ? FActiveForm->GetActiveControl() : nullptr; }

TCustomForm* TScreen::Forms(int index) const
{
    if (index < 0 || index >= FormCount())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return FForms[size_t(index)];
}

void TScreen::SetCursor(TCursor value) { FCursor = value; }
int TScreen::GetWidth() const { return Services().ScreenRect().Width(); }
int TScreen::GetHeight() const { return Services().ScreenRect().Height(); }

const std::vector<std::unique_ptr<TMonitor>>& TScreen::MonitorList() const
{
    // Monitors come and go while the program runs: asked each time, kept in the same
    // objects where they can be.
    std::vector<TMonitorArea> areas = Services().MonitorAreas();
    if (areas.empty()) {
        const TRect screen = Services().ScreenRect();
        areas.push_back({screen, screen});
    }
    if (FMonitors.size() > areas.size())
        FMonitors.resize(areas.size());
    while (FMonitors.size() < areas.size())
        FMonitors.push_back(std::make_unique<TMonitor>());
    for (size_t i = 0; i < areas.size(); ++i) {
        TMonitor& m = *FMonitors[i];
        m.FNum = int(i);
        m.FBounds = areas[i].Bounds;
        m.FWorkArea = areas[i].WorkArea.IsEmpty() ? areas[i].Bounds : areas[i].WorkArea;
    }
    return FMonitors;
}

int TScreen::MonitorCount() const { return int(MonitorList().size()); }

TMonitor* TScreen::Monitors(int index) const
{
    const auto& list = MonitorList();
    if (index < 0 || index >= int(list.size()))
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return list[size_t(index)].get();
}

TRect TScreen::DesktopRect() const
{
    const auto& list = MonitorList();
    TRect r = list.front()->BoundsRect();
    for (const auto& m : list) {
        const TRect b = m->BoundsRect();
        r = {std::min(r.Left, b.Left), std::min(r.Top, b.Top), std::max(r.Right, b.Right), std::max(r.Bottom, b.Bottom)};
    }
    return r;
}

namespace {

// The square of the gap between two rectangles (0 when they meet).
long long GapSquared(const TRect& a, const TRect& b)
{
    const long long dx = std::max({0, b.Left - a.Right + 1, a.Left - b.Right + 1});
    const long long dy = std::max({0, b.Top - a.Bottom + 1, a.Top - b.Bottom + 1});
    return dx * dx + dy * dy;
}

}  // namespace

TMonitor* TScreen::MonitorFromRect(const TRect& rect, TMonitorDefaultTo fallback) const
{
    const auto& list = MonitorList();
    TMonitor* best = nullptr;
    long long most = 0;
    for (const auto& m : list) {
        const TRect common = IntersectRect(rect, m->BoundsRect());
        const long long area = common.IsEmpty() ? 0 : (long long)common.Width() * common.Height();
        if (area > most) {
            most = area;
            best = m.get();
        }
    }
    if (best || fallback == mdNull)
        return best;
    if (fallback == mdPrimary)
        return list.front().get();
    long long nearest = 0;
    for (const auto& m : list) {
        const long long gap = GapSquared(rect, m->BoundsRect());
        if (!best || gap < nearest) {
            nearest = gap;
            best = m.get();
        }
    }
    return best;
}

TMonitor* TScreen::MonitorFromPoint(TPoint point, TMonitorDefaultTo fallback) const
{
    return MonitorFromRect(Bounds(point.X, point.Y, 1, 1), fallback);
}

bool TScreen::IsBlocked(const TCustomForm* form) const { return form && form->FBlockCount > 0; }

void TScreen::AddForm(TCustomForm* form) { FForms.push_back(form); }

TDataModule* TScreen::DataModules(int index) const
{
    if (index < 0 || index >= DataModuleCount())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return FDataModules[size_t(index)];
}

void TScreen::RemoveDataModule(TDataModule* module)
{
    FDataModules.erase(std::remove(FDataModules.begin(), FDataModules.end(), module), FDataModules.end());
}

void TScreen::RemoveForm(TCustomForm* form)
{
    FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end());
    FActivation.erase(std::remove(FActivation.begin(), FActivation.end(), form), FActivation.end());
    FModalStack.erase(std::remove(FModalStack.begin(), FModalStack.end(), form), FModalStack.end());
    if (FActiveForm == form)
        FActiveForm = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* form)
{
    if (!form) {
        // The most recently active form still shown takes over.
        for (auto it = FActivation.rbegin(); it != FActivation.rend(); ++it)
            if (*it != FActiveForm && (*it)->GetVisible() && !IsBlocked(*it)) {
                form = *it;
                break;
            }
    }
    if (form == FActiveForm)
        return;
    TCustomForm* old = FActiveForm;
    FActiveForm = form;
    auto guard = [](const std::function<void()>& fn) {
        if (Application)
            Application->Guard(fn);
        else
            fn();
    };
    if (old)
        guard([old] { old->Deactivate(); });
    if (form && FActiveForm == form) {
        FActivation.erase(std::remove(FActivation.begin(), FActivation.end(), form), FActivation.end());
        FActivation.push_back(form);
        form->Changed(TControlChange::Active);
        // A window activated with no control of its own gives the keys to its first one in tab
        // order, as the desktop does; an edit entered so selects its text.
        if (!form->FActiveControl)
            guard([form] { form->SelectNext(nullptr); });
        guard([form] { form->Activate(); });
    }
}

// ---------------------------------------------------------------- TApplication

SKLAD_DEFINE_CLASS(TApplication)
void TApplication::Publish(TPropertyTable& t)
{
    t.Prop("Title", &TApplication::GetTitle, &TApplication::SetTitle);
    t.Prop("ShowHint", &TApplication::GetShowHint, &TApplication::SetShowHint).Default(true);
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner)
{
    const AnsiString dir = ExtractFilePath(Services().ExeName());
    LayoutPath = {dir, dir + "forms/"};
}

TApplication::~TApplication()
{
    // Forms go first (last created first), while Application is still valid.
    DestroyComponents();
}

void TApplication::Initialize() {}

AnsiString TApplication::GetExeName() const { return Services().ExeName(); }

AnsiString TApplication::FindLayout(const AnsiString& fileName) const
{
    if (FileExists(fileName))
        return fileName;
    for (const AnsiString& dir : LayoutPath) {
        AnsiString path = dir;
        if (!path.empty() && path.back() != '/' && path.back() != '\\')
            path += '/';
        path += fileName;
        if (FileExists(path))
            return path;
    }
    throw EFOpenError("Cannot open file \"" + fileName + "\". No such file or directory");
}

void TApplication::Run()
{
    if (!FMainForm || FRunning)
        return;
    FRunning = true;
    struct Stop {
        bool& Running;
        ~Stop() { Running = false; }
    } stop{FRunning};
    Guard([this] { FMainForm->Show(); });
    const TLoopInfo loop{nullptr, 0};
    while (!FTerminated)
        HandleMessage(loop);
}

void TApplication::Terminate() { FTerminated = true; }

void TApplication::ProcessMessages()
{
    Services().ProcessNativeEvents();
    RunPending();
}

void TApplication::HandleMessage(const TLoopInfo& loop)
{
    if (RunPending())
        return;
    if (loop.Depth == 0)
        ReleaseForms();
    Idle();
    if (FTerminated || (loop.ModalForm && loop.ModalForm->GetModalResult() != mrNone))
        return;
    if (!FPosted.empty())
        return;
    Services().WaitForInput(loop, NextTimerDue());
}

void TApplication::PostCall(std::function<void()> fn) { FPosted.push_back(std::move(fn)); }

bool TApplication::RunPending()
{
    bool did = false;
    // Timers that are due, in due order; a timer destroyed by another's handler is skipped.
    const uint64_t now = Services().TickCount();
    std::vector<TTimer*> due;
    for (TTimer* t : FTimers)
        if (t->GetEnabled() && t->FDueAt && t->FDueAt <= now && !t->FFiring)
            due.push_back(t);
    std::stable_sort(due.begin(), due.end(), [](TTimer* a, TTimer* b) { return a->FDueAt < b->FDueAt; });
    for (TTimer* t : due)
        if (std::find(FTimers.begin(), FTimers.end(), t) != FTimers.end() && t->GetEnabled()) {
            t->Fire();
            did = true;
        }
    // Calls posted so far; those they post run on the next turn.
    std::deque<std::function<void()>> calls;
    calls.swap(FPosted);
    for (auto& fn : calls) {
        Guard(fn);
        did = true;
    }
    return did;
}

void TApplication::ReleaseForms()
{
    // A released form is destroyed only when no modal loop runs, so no handler of it
    // and no loop showing it is on the stack.
    if (Screen && !Screen->FModalStack.empty())
        return;
    auto released = std::move(FReleased);
    FReleased.clear();
    for (TCustomForm* f : released)
        delete f;
}

void TApplication::Idle()
{
    bool done = true;
    Guard([&] { OnIdle(this, done); });
}

int TApplication::NextTimerDue() const
{
    if (!FPosted.empty())
        return 0;
    const uint64_t now = Services().TickCount();
    int64_t best = -1;
    for (TTimer* t : FTimers)
        if (t->GetEnabled() && t->FDueAt) {
            const int64_t wait = t->FDueAt > now ? int64_t(t->FDueAt - now) : 0;
            if (best < 0 || wait < best)
                best = wait;
        }
    return int(best);
}

void TApplication::AddTimer(TTimer* timer)
{
    if (std::find(FTimers.begin(), FTimers.end(), timer) == FTimers.end())
        FTimers.push_back(timer);
}

void TApplication::RemoveTimer(TTimer* timer)
{
    FTimers.erase(std::remove(FTimers.begin(), FTimers.end(), timer), FTimers.end());
}

void TApplication::Guard(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const Exception& e) {
        HandleException(&e);
    } catch (const std::exception& e) {
        HandleException(&e);
    }
}

void TApplication::HandleException(const std::exception* e)
{
    if (!e || dynamic_cast<const EAbort*>(e))
        return;
    if (OnException) {
        OnException(this, *e);
        return;
    }
    if (FHandlingException)
        return;  // an error while showing an error: do not recurse
    FHandlingException = true;
    try {
        ShowException(*e);
    } catch (...) {
        FHandlingException = false;
        throw;
    }
    FHandlingException = false;
}

void TApplication::ShowException(const std::exception& e)
{
    AnsiString msg = e.what();
    // The platform ends the message with a full stop when it ends with a letter or digit.
    if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.')
        msg += '.';
    TMessageRequest request;
    request.Kind = TMessageKind::Error;
    request.Text = msg;
    request.Caption = FTitle;
    request.Type = mtError;
    request.Buttons = TMsgDlgButtons{mbOK};
    Services().ShowMessageBox(request);
}

int TApplication::MessageBox(const AnsiString& text, const AnsiString& caption, int flags)
{
    TMessageRequest request;
    request.Kind = TMessageKind::MessageBox;
    request.Text = text;
    request.Caption = caption;
    switch (flags & 0x0F) {
    case MB_OKCANCEL: request.Buttons = TMsgDlgButtons{mbOK, mbCancel}; break;
    case MB_ABORTRETRYIGNORE: request.Buttons = TMsgDlgButtons{mbAbort, mbRetry, mbIgnore}; break;
    case MB_YESNOCANCEL: request.Buttons = TMsgDlgButtons{mbYes, mbNo, mbCancel}; break;
    case MB_YESNO: request.Buttons = TMsgDlgButtons{mbYes, mbNo}; break;
    case MB_RETRYCANCEL: request.Buttons = TMsgDlgButtons{mbRetry, mbCancel}; break;
    default: request.Buttons = TMsgDlgButtons{mbOK}; break;
    }
    switch (flags & 0xF0) {
    case MB_ICONERROR: request.Type = mtError; break;
    case MB_ICONQUESTION: request.Type = mtConfirmation; break;
    case MB_ICONWARNING: request.Type = mtWarning; break;
    case MB_ICONINFORMATION: request.Type = mtInformation; break;
    default: request.Type = mtCustom; break;
    }
    return Services().ShowMessageBox(request);  // modal results equal the ID* codes
}

void TApplication::Minimize()
{
    if (FMainForm)
        FMainForm->SetWindowState(wsMinimized);
}

void TApplication::Restore()
{
    if (FMainForm && FMainForm->GetWindowState() == wsMinimized)
        FMainForm->SetWindowState(FMainForm->RestoredState());
}

void TApplication::BringToFront()
{
    if (Screen && Screen->GetActiveForm())
        Screen->GetActiveForm()->BringToFront();
}

namespace {
struct TCursorSlot {
    AnsiString Resource;
    std::shared_ptr<const TCursorImage> Image;  // a copy: the slot outlives re-registration
};

std::map<int, TCursorSlot>& CursorSlots()
{
    static std::map<int, TCursorSlot> slots;
    return slots;
}
}  // namespace

void TScreen::SetCursors(int index, const AnsiString& resource)
{
    if (resource.empty()) {
        CursorSlots().erase(index);
        return;
    }
    TCursorSlot& slot = CursorSlots()[index];
    slot.Resource = resource;
    const TCursorImage* image = FindCursorResource(resource);
    slot.Image = image ? std::make_shared<const TCursorImage>(*image) : nullptr;
}

AnsiString TScreen::GetCursors(int index)
{
    auto it = CursorSlots().find(index);
    return it == CursorSlots().end() ? AnsiString() : it->second.Resource;
}

const TCursorImage* TScreen::GetCursorImage(int index)
{
    auto it = CursorSlots().find(index);
    return it == CursorSlots().end() ? nullptr : it->second.Image.get();
}

namespace {
int gFindFormsCookie = 0;

// Forms and data modules by name, for names like "Form2.Query1" in component references.
TComponent* FindFormOrDataModule(std::string_view name)
{
    if (Screen)
        for (TCustomForm* form : Screen->FormList())
            if (SameText(form->Name(), name))
                return form;
    if (Application)
        for (int i = 0; i < Application->ComponentCount(); ++i) {
            TComponent* c = Application->Components(i);
            if (dynamic_cast<TDataModule*>(c) && SameText(c->Name(), name))
                return c;
        }
    return nullptr;
}
}  // namespace

void CreateApplication()
{
    if (Application)
        return;
    RegisterGuiClasses();
    Screen = new TScreen(nullptr);
    Application = new TApplication(nullptr);
    gFindFormsCookie = RegisterFindGlobalComponentProc(FindFormOrDataModule);
}

void DestroyApplication()
{
    if (gFindFormsCookie) {
        UnregisterFindGlobalComponentProc(gFindFormsCookie);
        gFindFormsCookie = 0;
    }
    delete Application;
    Application = nullptr;
    delete Screen;
    Screen = nullptr;
}

void Halt(int exitCode)
{
    Services().ExitProcess(exitCode);
    std::abort();  // a service whose ExitProcess returns breaks its contract
}

// rpDialogs.cpp - dialog pages, their window, and the base of dialog controls.
#include "report/model/rpDialogs.h"

#include "report/model/rpRes.h"
#include "report/model/rpViews.h"

#include "platform/classes/Handles.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/SysUtils.h"

namespace {

std::unique_ptr<TForm>& ParentFormSlot()
{
    static std::unique_ptr<TForm> form;
    return form;
}

int Rounded(Extended V) { return rpDevRound(V); }

// The key of a key-press handler's answer: its first character. An empty answer turns the
// key into #0, which types nothing: that is how a handler refuses a character.
void TakeKey(const Variant& Params, char& Key)
{
    const AnsiString k = VarToStr(VarArrayGet(Params, {1}));
    Key = k.empty() ? '\0' : k[0];
}

}  // namespace

TForm* rpParentForm()
{
    auto& slot = ParentFormSlot();
    if (!slot)
        slot = std::make_unique<TForm>(nullptr);
    return slot.get();
}

void rpFreeParentForm() { ParentFormSlot().reset(); }

// ---------------------------------------------------------------- TrpDialogForm

SKLAD_DEFINE_CLASS(TrpDialogForm)
void TrpDialogForm::Publish(TPropertyTable&) {}

TrpDialogForm::TrpDialogForm(TComponent* AOwner) : TForm(AOwner)
{
    SetClientWidth(115);
    SetClientHeight(59);
    SetCaption(" ");
    SetKeyPreview(true);
    GetFont()->SetName("Tahoma");
    GetFont()->SetSize(8);
    OnCloseQuery = TCloseQueryEvent(this, &TrpDialogForm::RefuseClose);
}

void TrpDialogForm::UserMovedOrSized()
{
    TForm::UserMovedOrSized();
    OnModify(this);
}

bool TrpDialogForm::WantsKey(Word Key) const
{
    // The dialog code: arrows and tab are the window's own.
    switch (Key) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        return true;
    default:
        return TForm::WantsKey(Key);
    }
}

void TrpDialogForm::RefuseClose(TObject*, bool& CanClose) { CanClose = false; }

// ---------------------------------------------------------------- TrpDialogControl

SKLAD_DEFINE_ABSTRACT_CLASS(TrpDialogControl)
void TrpDialogControl::Publish(TPropertyTable& t)
{
    using C = TrpDialogControl;
    t.Prop("Left", &C::GetLeft, &C::SetLeft);
    t.Prop("Top", &C::GetTop, &C::SetTop);
    t.Prop("Width", &C::GetWidth, &C::SetWidth);
    t.Prop("Height", &C::GetHeight, &C::SetHeight);
    t.Prop("Font", &C::GetFont, &C::SetFont).Stored(&C::IsFontStored);
    t.Prop("ParentFont", &C::GetParentFont, &C::SetParentFont).Default(true);
    t.Prop("GroupIndex", &C::GetGroupIndex, &C::SetGroupIndex).Default(0);
    t.Prop("Enabled", &C::GetEnabled, &C::SetEnabled).Default(true);
    t.Prop("Visible", &C::GetVisible, &C::SetVisible).Default(true);
}

TrpDialogControl::TrpDialogControl(TComponent* AOwner) : TrpReportComponent(AOwner) {}

AnsiString TrpDialogControl::DefaultBaseName() const
{
    // Asked for on use: inside this constructor the class would still be this base class.
    AnsiString base = ClassName();
    if (size_t at = base.find("Trp"); at != AnsiString::npos)
        base.erase(at, 3);
    if (size_t at = base.find("Control"); at != AnsiString::npos)
        base.erase(at, 7);
    return base;
}

TrpDialogControl::~TrpDialogControl()
{
    // Controls inside this one go first: their windows sit on this control's window,
    // which frees what is still on it.
    Clear();
    if (FControl)
        FControl->SetParent(nullptr);
    FControl.reset();
}

void TrpDialogControl::InitControl(std::unique_ptr<TControl> AControl)
{
    FControl = std::move(AControl);
    if (!FControl)
        return;
    FControl->OnClick = TNotifyEvent(this, &TrpDialogControl::DoClick);
    FControl->OnDblClick = TNotifyEvent(this, &TrpDialogControl::DoDblClick);
    FControl->OnMouseDown = TMouseEvent(this, &TrpDialogControl::DoMouseDown);
    FControl->OnMouseMove = TMouseMoveEvent(this, &TrpDialogControl::DoMouseMove);
    FControl->OnMouseUp = TMouseEvent(this, &TrpDialogControl::DoMouseUp);
    if (auto* w = dynamic_cast<TWinControl*>(FControl.get())) {
        w->OnEnter = TNotifyEvent(this, &TrpDialogControl::DoEnter);
        w->OnExit = TNotifyEvent(this, &TrpDialogControl::DoExit);
        w->OnKeyDown = TKeyEvent(this, &TrpDialogControl::DoKeyDown);
        w->OnKeyPress = TKeyPressEvent(this, &TrpDialogControl::DoKeyPress);
        w->OnKeyUp = TKeyEvent(this, &TrpDialogControl::DoKeyUp);
    }
    FControl->SetBounds(Rounded(FLeft), Rounded(FTop), Rounded(FWidth), Rounded(FHeight));
    FControl->SetVisible(FVisible);
    PlaceControl();
}

void TrpDialogControl::PlaceControl()
{
    if (!FControl)
        return;
    TWinControl* parent = nullptr;
    if (auto* c = dynamic_cast<TrpDialogControl*>(Parent()))
        parent = dynamic_cast<TWinControl*>(c->Control());
    else if (auto* page = dynamic_cast<TrpDialogPage*>(Parent()))
        parent = page->Form();
    if (!parent)
        parent = rpParentForm();
    FControl->SetParent(parent);
}

void TrpDialogControl::SetParent(TrpComponent* AParent)
{
    TrpReportComponent::SetParent(AParent);
    PlaceControl();
}

void TrpDialogControl::SetLeft(Extended Value)
{
    TrpReportComponent::SetLeft(Value);
    if (FControl)
        FControl->SetLeft(Rounded(FLeft));
}

void TrpDialogControl::SetTop(Extended Value)
{
    TrpReportComponent::SetTop(Value);
    if (FControl)
        FControl->SetTop(Rounded(FTop));
}

void TrpDialogControl::SetWidth(Extended Value)
{
    TrpReportComponent::SetWidth(Value);
    if (FControl)
        FControl->SetWidth(Rounded(FWidth));
}

void TrpDialogControl::SetHeight(Extended Value)
{
    TrpReportComponent::SetHeight(Value);
    if (FControl)
        FControl->SetHeight(Rounded(FHeight));
}

void TrpDialogControl::SetVisible(bool Value)
{
    TrpReportComponent::SetVisible(Value);
    if (FControl)
        FControl->SetVisible(Value);
}

void TrpDialogControl::FontChanged(TObject* Sender)
{
    TrpReportComponent::FontChanged(Sender);
    if (FControl)
        FControl->SetFont(GetFont());
}

void TrpDialogControl::SetParentFont(bool Value)
{
    TrpReportComponent::SetParentFont(Value);
    if (FControl)
        FControl->SetParentFont(Value);
}

AnsiString TrpDialogControl::GetCaption() const { return FControl ? FControl->GetCaption() : AnsiString(); }
void TrpDialogControl::SetCaption(const AnsiString& Value)
{
    if (FControl)
        FControl->SetCaption(Value);
}
TColor TrpDialogControl::GetColor() const { return FControl ? FControl->GetColor() : clNone; }
void TrpDialogControl::SetColor(TColor Value)
{
    if (FControl)
        FControl->SetColor(Value);
}
bool TrpDialogControl::GetEnabled() const { return FControl ? FControl->GetEnabled() : true; }
void TrpDialogControl::SetEnabled(bool Value)
{
    if (FControl)
        FControl->SetEnabled(Value);
}

void TrpDialogControl::SetFocus()
{
    if (auto* w = dynamic_cast<TWinControl*>(FControl.get()))
        if (w->CanFocus())
            w->SetFocus();
}

void TrpDialogControl::Draw(TCanvas* Canvas, Extended, Extended, Extended, Extended)
{
    // The designer's picture, not scaled: the control paints itself (its widget, or a
    // simple frame and caption without one) on a button-face bitmap of the component's
    // size, which goes to the component's absolute place.
    if (!Canvas)
        return;
    const int w = Rounded(FWidth), h = Rounded(FHeight);
    if (w <= 0 || h <= 0)
        return;
    TBitmap picture;
    picture.SetSize(w, h);
    TCanvas* c = picture.GetCanvas();
    c->GetBrush()->SetColor(clBtnFace);
    c->GetBrush()->SetStyle(bsSolid);
    c->FillRect(TRect{0, 0, w, h});
    if (FControl)
        PaintControlTo(*FControl, picture);
    Canvas->Draw(Rounded(GetAbsLeft()), Rounded(GetAbsTop()), &picture);
}

void TrpDialogControl::DoClick(TObject*)
{
    if (TrpReport* r = rpReportOf(this))
        r->DoNotifyEvent(this, OnClick);
}
void TrpDialogControl::DoDblClick(TObject*)
{
    if (TrpReport* r = rpReportOf(this))
        r->DoNotifyEvent(this, OnDblClick);
}
void TrpDialogControl::DoEnter(TObject*)
{
    if (TrpReport* r = rpReportOf(this))
        r->DoNotifyEvent(this, OnEnter);
}
void TrpDialogControl::DoExit(TObject*)
{
    if (TrpReport* r = rpReportOf(this))
        r->DoNotifyEvent(this, OnExit);
}

void TrpDialogControl::DoKeyDown(TObject*, uint16_t& Key, TShiftState Shift)
{
    if (TrpReport* r = rpReportOf(this)) {
        Variant p = VarArrayOf({ObjectToVariant(this), Variant(static_cast<int>(Key)), Variant(ShiftStateToInt(Shift))});
        r->DoParamEvent(OnKeyDown, p);
        Key = static_cast<uint16_t>(VarArrayGet(p, {1}).AsInteger());
    }
}

void TrpDialogControl::DoKeyUp(TObject*, uint16_t& Key, TShiftState Shift)
{
    if (TrpReport* r = rpReportOf(this)) {
        Variant p = VarArrayOf({ObjectToVariant(this), Variant(static_cast<int>(Key)), Variant(ShiftStateToInt(Shift))});
        r->DoParamEvent(OnKeyUp, p);
        Key = static_cast<uint16_t>(VarArrayGet(p, {1}).AsInteger());
    }
}

void TrpDialogControl::DoKeyPress(TObject*, char& Key)
{
    if (TrpReport* r = rpReportOf(this)) {
        Variant p = VarArrayOf({ObjectToVariant(this), Variant(AnsiString(1, Key))});
        r->DoParamEvent(OnKeyPress, p);
        TakeKey(p, Key);
    }
}

void TrpDialogControl::DoMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (TrpReport* r = rpReportOf(this)) {
        Variant p = VarArrayOf({ObjectToVariant(this), Variant(static_cast<int>(Button)), Variant(ShiftStateToInt(Shift)),
                                Variant(X), Variant(Y)});
        r->DoParamEvent(OnMouseDown, p);
    }
}

void TrpDialogControl::DoMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (TrpReport* r = rpReportOf(this)) {
        Variant p = VarArrayOf({ObjectToVariant(this), Variant(static_cast<int>(Button)), Variant(ShiftStateToInt(Shift)),
                                Variant(X), Variant(Y)});
        r->DoParamEvent(OnMouseUp, p);
    }
}

void TrpDialogControl::DoMouseMove(TObject*, TShiftState Shift, int X, int Y)
{
    if (TrpReport* r = rpReportOf(this)) {
        Variant p = VarArrayOf({ObjectToVariant(this), Variant(ShiftStateToInt(Shift)), Variant(X), Variant(Y)});
        r->DoParamEvent(OnMouseMove, p);
    }
}

// ---------------------------------------------------------------- TrpDialogPage

SKLAD_DEFINE_CLASS(TrpDialogPage)
void TrpDialogPage::Publish(TPropertyTable& t)
{
    using C = TrpDialogPage;
    t.Prop("BorderStyle", &C::BorderStyle, &C::BorderStyle).Default(bsSizeable);
    t.Prop("Caption", &C::GetCaption, &C::SetCaption);
    t.Prop("Color", &C::GetColor, &C::SetColor).Type("TColor").Default(clBtnFace);
    t.Prop("Left", &C::GetLeft, &C::SetLeft);
    t.Prop("Top", &C::GetTop, &C::SetTop);
    t.Prop("Width", &C::GetWidth, &C::SetWidth);
    t.Prop("Height", &C::GetHeight, &C::SetHeight);
    t.Prop("Font", &C::GetFont, &C::SetFont).Stored(&C::IsFontStored);
    t.Prop("Position", &C::Position, &C::Position).Default(poScreenCenter);
    t.Prop("WindowState", &C::WindowState, &C::WindowState).Default(wsNormal);
    t.Prop("OnActivate", &C::OnActivate, &C::OnActivate).Type("TrpNotifyEvent");
    t.Prop("OnClick", &C::OnClick, &C::OnClick).Type("TrpNotifyEvent");
    t.Prop("OnCloseQuery", &C::OnCloseQuery, &C::OnCloseQuery).Type("TrpCloseQueryEvent");
    t.Prop("OnDeactivate", &C::OnDeactivate, &C::OnDeactivate).Type("TrpNotifyEvent");
    t.Prop("OnHide", &C::OnHide, &C::OnHide).Type("TrpNotifyEvent");
    t.Prop("OnKeyDown", &C::OnKeyDown, &C::OnKeyDown).Type("TrpKeyEvent");
    t.Prop("OnKeyPress", &C::OnKeyPress, &C::OnKeyPress).Type("TrpKeyPressEvent");
    t.Prop("OnKeyUp", &C::OnKeyUp, &C::OnKeyUp).Type("TrpKeyEvent");
    t.Prop("OnResize", &C::OnResize, &C::OnResize).Type("TrpNotifyEvent");
    t.Prop("OnShow", &C::OnShow, &C::OnShow).Type("TrpNotifyEvent");
}

TrpDialogPage::TrpDialogPage(TComponent* AOwner) : TrpPage(AOwner), FForm(std::make_unique<TrpDialogForm>(nullptr))
{
    FForm->SetKeyPreview(true);
    GetFont()->SetName("Tahoma");
    GetFont()->SetSize(8);
    FForm->SetColor(FColor);
}

TrpDialogPage::~TrpDialogPage()
{
    // The controls go first: their windows sit on this page's form.
    Clear();
    FForm.reset();
}

AnsiString TrpDialogPage::GetDescription() const { return rpResources().Get("obDlgPage"); }

void TrpDialogPage::SetLeft(Extended Value)
{
    TrpPage::SetLeft(Value);
    FForm->SetLeft(Rounded(FLeft));
}
void TrpDialogPage::SetTop(Extended Value)
{
    TrpPage::SetTop(Value);
    FForm->SetTop(Rounded(FTop));
}
void TrpDialogPage::SetWidth(Extended Value)
{
    TrpPage::SetWidth(Value);
    FForm->SetWidth(Rounded(FWidth));
}
void TrpDialogPage::SetHeight(Extended Value)
{
    TrpPage::SetHeight(Value);
    FForm->SetHeight(Rounded(FHeight));
}

void TrpDialogPage::SetCaption(const AnsiString& Value)
{
    FCaption = Value;
    FForm->SetCaption(Value);
}

void TrpDialogPage::SetColor(TColor Value)
{
    FColor = Value;
    FForm->SetColor(Value);
}

void TrpDialogPage::FontChanged(TObject* Sender)
{
    TrpPage::FontChanged(Sender);
    if (FForm)
        FForm->SetFont(GetFont());
}

void TrpDialogPage::Initialize()
{
    if (FForm->GetVisible())
        FForm->Hide();
    FForm->SetPosition(Position);
    FForm->SetWindowState(WindowState);
    FForm->OnActivate = TNotifyEvent(this, &TrpDialogPage::DoActivate);
    FForm->OnClick = TNotifyEvent(this, &TrpDialogPage::DoClick);
    FForm->OnCloseQuery = TCloseQueryEvent(this, &TrpDialogPage::DoCloseQuery);
    FForm->OnDeactivate = TNotifyEvent(this, &TrpDialogPage::DoDeactivate);
    FForm->OnHide = TNotifyEvent(this, &TrpDialogPage::DoHide);
    FForm->OnKeyDown = TKeyEvent(this, &TrpDialogPage::DoKeyDown);
    FForm->OnKeyPress = TKeyPressEvent(this, &TrpDialogPage::DoKeyPress);
    FForm->OnKeyUp = TKeyEvent(this, &TrpDialogPage::DoKeyUp);
    FForm->OnShow = TNotifyEvent(this, &TrpDialogPage::DoShow);
    FForm->OnResize = TNotifyEvent(this, &TrpDialogPage::DoResize);
}

int TrpDialogPage::ShowModal()
{
    FForm->SetBorderStyle(BorderStyle);
    FForm->SetFormStyle(fsNormal);
    struct StayOnTop {
        TrpDialogForm* f;
        ~StayOnTop() { f->SetFormStyle(fsStayOnTop); }
    } after{FForm.get()};
    return FForm->ShowModal();
}

void TrpDialogPage::Notify(TObject* Sender, const AnsiString& Event)
{
    if (TrpReport* r = rpReportOf(this))
        r->DoNotifyEvent(Sender, Event);
}

void TrpDialogPage::DoCloseQuery(TObject* Sender, bool& CanClose)
{
    TrpReport* r = rpReportOf(this);
    if (!r)
        return;
    Variant p = VarArrayOf({ObjectToVariant(Sender), Variant(CanClose)});
    r->DoParamEvent(OnCloseQuery, p);
    CanClose = VarArrayGet(p, {1}).AsBoolean();
}

void TrpDialogPage::DoKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift)
{
    if (TrpReport* r = rpReportOf(this)) {
        Variant p = VarArrayOf({ObjectToVariant(Sender), Variant(static_cast<int>(Key)), Variant(ShiftStateToInt(Shift))});
        r->DoParamEvent(OnKeyDown, p);
        Key = static_cast<uint16_t>(VarArrayGet(p, {1}).AsInteger());
    }
}

void TrpDialogPage::DoKeyUp(TObject* Sender, uint16_t& Key, TShiftState Shift)
{
    if (TrpReport* r = rpReportOf(this)) {
        Variant p = VarArrayOf({ObjectToVariant(Sender), Variant(static_cast<int>(Key)), Variant(ShiftStateToInt(Shift))});
        r->DoParamEvent(OnKeyUp, p);
        Key = static_cast<uint16_t>(VarArrayGet(p, {1}).AsInteger());
    }
}

void TrpDialogPage::DoKeyPress(TObject* Sender, char& Key)
{
    if (TrpReport* r = rpReportOf(this)) {
        Variant p = VarArrayOf({ObjectToVariant(Sender), Variant(AnsiString(1, Key))});
        r->DoParamEvent(OnKeyPress, p);
        TakeKey(p, Key);
    }
}

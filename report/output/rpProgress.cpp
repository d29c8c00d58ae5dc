#include "report/output/rpProgress.h"

#include "report/output/rpWindows.h"

#include "report/model/rpRes.h"

#include <memory>

// ---------------------------------------------------------------- TrpProgress

SKLAD_DEFINE_CLASS(TrpProgress)

TrpProgress::TrpProgress(TComponent* AOwner) : TForm(AOwner)
{
    SetBorderStyle(bsNone);
    SetPosition(poScreenCenter);
    SetClientWidth(271);
    SetClientHeight(101);
    Panel = rpMakeControl<TPanel>(this, this, "Panel1", 0, 0, 271, 101);
    Panel->SetAlign(alClient);
    Panel->SetBevelWidth(2);
    Panel->SetCaption("");
    LMessage = rpMakeControl<TLabel>(this, Panel, "LMessage", 16, 15, 237, 20);
    LMessage->SetAutoSize(false);
    LMessage->SetAlignment(taCenter);
    Bar = rpMakeControl<TProgressBar>(this, Panel, "Bar", 16, 37, 237, 17);
    Bar->SetStep(1);
    CancelB = rpMakeControl<TButton>(this, Panel, "CancelB", 100, 64, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    CancelB->OnClick = TNotifyEvent(this, &TrpProgress::CancelBClick);
    OnHide = TNotifyEvent(this, &TrpProgress::FormHide);
    for (TControl* body : std::initializer_list<TControl*>{Panel, LMessage}) {
        body->OnMouseDown = TMouseEvent(this, &TrpProgress::BodyMouseDown);
        body->OnMouseMove = TMouseMoveEvent(this, &TrpProgress::BodyMouseMove);
        body->OnMouseUp = TMouseEvent(this, &TrpProgress::BodyMouseUp);
    }

    rpResources().LocalizeForm(this);
    if (Screen && Screen->GetActiveForm() && Screen->GetActiveForm() != this) {
        FActiveForm.Set(Screen->GetActiveForm());
        FActiveForm->SetEnabled(false);
    }
    Bar->SetMax(100);
    SetPosition(0);
}

TrpProgress::~TrpProgress() { ReleaseActiveForm(); }

void TrpProgress::BodyMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int X, int Y)
{
    auto* body = dynamic_cast<TControl*>(Sender);
    if (Button != mbLeft || !body)
        return;
    FDragging = true;
    FDragFrom = body->ClientToScreen({X, Y});
}

void TrpProgress::BodyMouseMove(TObject* Sender, TShiftState, int X, int Y)
{
    auto* body = dynamic_cast<TControl*>(Sender);
    if (!FDragging || !body)
        return;
    const TPoint p = body->ClientToScreen({X, Y});
    SetBounds(GetLeft() + p.X - FDragFrom.X, GetTop() + p.Y - FDragFrom.Y, GetWidth(), GetHeight());
    FDragFrom = p;
}

void TrpProgress::BodyMouseUp(TObject*, TMouseButton, TShiftState, int, int) { FDragging = false; }

void TrpProgress::Notification(TComponent* AComponent, TOperation Operation)
{
    TForm::Notification(AComponent, Operation);
    FActiveForm.Forget(AComponent, Operation);
}

void TrpProgress::ReleaseActiveForm()
{
    if (!FActiveForm)
        return;
    FActiveForm->SetEnabled(true);
    FActiveForm.Set(nullptr);
}

void TrpProgress::FormHide(TObject*) { ReleaseActiveForm(); }

void TrpProgress::Execute(int MaxValue, const AnsiString& Msg, bool AShowProgress, bool ShowCancel)
{
    SetTerminated(false);
    CancelB->SetVisible(ShowCancel);
    SetProgress(AShowProgress);
    Reset();
    Bar->SetMax(MaxValue);
    SetMessage(Msg);
    Show();
    if (Application)
        Application->ProcessMessages();
}

void TrpProgress::SetMessage(const AnsiString& S)
{
    FMessage = S;
    LMessage->SetCaption(S);
    LMessage->Invalidate();
}

void TrpProgress::SetProgress(bool Value)
{
    FShowProgress = Value;
    Bar->SetVisible(Value);
    // Without the bar the text sits in the middle.
    LMessage->SetTop(Value ? 15 : 35);
}

void TrpProgress::SetPosition(int Value)
{
    FPosition = Value;
    Bar->SetPosition(Value);
    if (GetVisible())
        BringToFront();
    if (Application)
        Application->ProcessMessages();
}

void TrpProgress::SetTerminated(bool Value)
{
    FTerminated = Value;
    if (Value)
        Hide();
}

void TrpProgress::CancelBClick(TObject*) { SetTerminated(true); }

// ---------------------------------------------------------------- TrpPasswordForm

SKLAD_DEFINE_CLASS(TrpPasswordForm)

TrpPasswordForm::TrpPasswordForm(TComponent* AOwner) : TForm(AOwner)
{
    SetBorderStyle(bsDialog);
    SetPosition(poDesktopCenter);
    SetClientWidth(249);
    SetClientHeight(99);
    SetCaption("Password");
    PasswordL = rpMakeControl<TLabel>(this, this, "PasswordL", 8, 8, 233, 13, "Enter the password:");
    PasswordE = rpMakeControl<TEdit>(this, this, "PasswordE", 8, 28, 233, 21);
    PasswordE->SetPasswordChar('*');
    PasswordE->SetTabStop(true);
    OkB = rpMakeControl<TButton>(this, this, "OkB", 86, 64, 75, 25, "OK");
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = rpMakeControl<TButton>(this, this, "CancelB", 166, 64, 75, 25, "Cancel");
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    SetActiveControl(PasswordE);
    rpResources().LocalizeForm(this);
}

bool rpAskPassword(AnsiString& Typed)
{
    std::unique_ptr<TrpPasswordForm> form(new TrpPasswordForm(Application));
    if (form->ShowModal() != mrOk)
        return false;
    Typed = form->PasswordE->GetText();
    return true;
}

#include "report/output/rpSearchDialog.h"

#include "report/output/rpWindows.h"

#include "report/model/rpRes.h"

void rpSetDialogLook(TCustomForm* Form, int ClientWidth, int ClientHeight)
{
    Form->SetBorderStyle(bsDialog);
    Form->SetPosition(poScreenCenter);
    Form->GetFont()->SetName("Tahoma");
    Form->GetFont()->SetSize(8);
    Form->SetClientWidth(ClientWidth);
    Form->SetClientHeight(ClientHeight);
}

AnsiString& rpLastSearchText()
{
    static AnsiString text;
    return text;
}

SKLAD_DEFINE_CLASS(TrpSearchDialog)

TrpSearchDialog::TrpSearchDialog(TComponent* AOwner) : TForm(AOwner)
{
    rpSetDialogLook(this, 252, 206);
    TextL = rpMakeControl<TLabel>(this, this, "TextL", 8, 8, 36, 13);
    TextE = rpMakeControl<TEdit>(this, this, "TextE", 8, 24, 237, 21);
    TextE->SetTabStop(true);
    SearchL = rpMakeControl<TGroupBox>(this, this, "SearchL", 8, 52, 237, 65);
    TopCB = rpMakeControl<TCheckBox>(this, SearchL, "TopCB", 8, 18, 220, 17);
    CaseCB = rpMakeControl<TCheckBox>(this, SearchL, "CaseCB", 8, 40, 220, 17);
    ReplacePanel = rpMakeControl<TPanel>(this, this, "ReplacePanel", 8, 122, 237, 45);
    ReplacePanel->SetCaption("");
    ReplacePanel->SetVisible(false);
    ReplaceL = rpMakeControl<TLabel>(this, ReplacePanel, "ReplaceL", 0, 0, 60, 13);
    ReplaceE = rpMakeControl<TEdit>(this, ReplacePanel, "ReplaceE", 0, 16, 237, 21);
    OkB = rpMakeControl<TButton>(this, this, "OkB", 90, 175, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = rpMakeControl<TButton>(this, this, "CancelB", 170, 175, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    OnShow = TNotifyEvent(this, &TrpSearchDialog::FormShow);
    OnHide = TNotifyEvent(this, &TrpSearchDialog::FormHide);
    rpResources().LocalizeForm(this);
}

void TrpSearchDialog::FormShow(TObject*)
{
    TextE->SetText(rpLastSearchText());
    if (TextE->CanFocus())
        SetActiveControl(TextE);
    TextE->SelectAll();
}

void TrpSearchDialog::FormHide(TObject*)
{
    if (GetModalResult() == mrOk)
        rpLastSearchText() = TextE->GetText();
}

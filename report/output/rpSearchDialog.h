// rpSearchDialog.h - the preview's find dialog: a text, "search from the start" and
// "match case". The replace part of the layout stays hidden: the dialog only finds.
//
// The last text searched for is remembered for the life of the process, and only an OK
// replaces it.
#pragma once

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/ExtCtrls.h"

class TrpSearchDialog : public TForm {
    SKLAD_CLASS_NOPUBLISH(TrpSearchDialog, TForm)
public:
    explicit TrpSearchDialog(TComponent* AOwner);

    TLabel* TextL = nullptr;
    TEdit* TextE = nullptr;
    TGroupBox* SearchL = nullptr;
    TCheckBox* TopCB = nullptr;
    TCheckBox* CaseCB = nullptr;
    TPanel* ReplacePanel = nullptr;
    TLabel* ReplaceL = nullptr;
    TEdit* ReplaceE = nullptr;
    TButton* OkB = nullptr;
    TButton* CancelB = nullptr;

private:
    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
};

// The text the last confirmed search looked for.
AnsiString& rpLastSearchText();

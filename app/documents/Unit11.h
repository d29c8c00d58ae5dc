// Unit11.h - the warning before a document being created is abandoned.
//
// "Да" abandons the document: the document window, which asked, closes without saving what
// was entered; "Нет" goes back to it.
#pragma once

#include "platform/gui/Forms.h"

#include <cstdint>

class TButton;
class TLabel;

class TForm11 : public TForm {
    SKLAD_CLASS(TForm11, TForm)
public:
    explicit TForm11(TComponent* AOwner);

    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;

    // Shows the warning; true when the user chose to abandon the document.
    bool AskAbandon();

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);

private:
    bool FAbandon = false;
};

extern TForm11* Form11;

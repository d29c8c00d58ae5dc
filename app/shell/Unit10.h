// Unit10.h - the about box.
#pragma once

#include "platform/gui/Forms.h"

class TLabel;
class TButton;

class TForm10 : public TForm {
    SKLAD_CLASS(TForm10, TForm)
public:
    explicit TForm10(TComponent* AOwner);

    TLabel* Label1 = nullptr;
    TButton* Button1 = nullptr;

    void Button1Click(TObject* Sender);
};

extern TForm10* Form10;

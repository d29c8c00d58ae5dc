// Unit8.h - archiving all finished documents of a date range.
//
// The window's layout (app/forms/Unit8.dfm) is complete; the behaviour of its handlers comes
// with the document work, so most of them do nothing yet.
#pragma once

#include "platform/gui/Forms.h"

#include <cstdint>

class TButton;
class TDateTimePicker;
class TLabel;

class TForm8 : public TForm {
    SKLAD_CLASS(TForm8, TForm)
public:
    explicit TForm8(TComponent* AOwner);

    TDateTimePicker* Date1 = nullptr;
    TDateTimePicker* Date2 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;

    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void FormShow(TObject* Sender);
};

extern TForm8* Form8;

// Unit8.h - archiving all finished documents of a date range.
//
// OK moves every working document created on the days from Date1 to Date2 (both included)
// into the archive with its lines, except order requests not yet fully issued, in one
// transaction, and says how many moved. A failure moves nothing and keeps the dialog open.
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

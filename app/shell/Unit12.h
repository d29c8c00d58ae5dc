// Unit12.h - the name-column flags: whether printed names also show colour and sizes.
#pragma once

#include "platform/gui/Forms.h"

class TLabel;
class TCheckBox;
class TButton;

class TForm12 : public TForm {
    SKLAD_CLASS(TForm12, TForm)
public:
    explicit TForm12(TComponent* AOwner);

    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TCheckBox* CheckBox1 = nullptr;  // "Цвет"
    TCheckBox* CheckBox2 = nullptr;  // "Размеры"
    TCheckBox* CheckBox3 = nullptr;  // "Наименование", always ticked
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;

    // Shows the dialog with the boxes as table Name holds them.
    void ShowFlags();
    // Sets the length hint from the two boxes.
    void UpdateHint();

    void FormShow(TObject* Sender);
    void CheckBox1Click(TObject* Sender);
    void CheckBox2Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};

extern TForm12* Form12;

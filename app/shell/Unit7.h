// Unit7.h - the password dialog: first password, old password, new password.
//
// The opener sets the mode; the handlers follow the mode, and the caption only shows it.
// In the first-password mode the dialog cannot be closed with an empty box except by
// "Отмена", which sets Cancelled so the opener knows no password was given. Storing the
// first password replaces whatever rows Passwords holds.
#pragma once

#include "platform/gui/Forms.h"

#include <cstdint>

class TEdit;
class TLabel;
class TPanel;
class TButton;

enum class TPasswordMode {
    None,       // after "Отмена"
    First,      // "Введите пароль"
    Old,        // "Введите старый пароль"
    Change,     // "Изменение пароля"
};

class TForm7 : public TForm {
    SKLAD_CLASS(TForm7, TForm)
public:
    explicit TForm7(TComponent* AOwner);

    TLabel* Label1 = nullptr;
    TEdit* Edit1 = nullptr;
    TPanel* Panel1 = nullptr;
    TLabel* Label2 = nullptr;
    TEdit* Edit2 = nullptr;
    TPanel* Panel2 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;

    uint8_t Cancelled = 0;

    TPasswordMode Mode() const { return FMode; }
    // Sets the mode and its caption and lays the dialog out for it; the boxes are emptied.
    void SetMode(TPasswordMode mode);

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    void Arrange();
    TPasswordMode FMode = TPasswordMode::None;
};

extern TForm7* Form7;

#include "app/shell/Unit7.h"

#include "app/shell/Layouts.h"
#include "app/documents/Statements.h"
#include "app/shell/MainWindow.h"
#include "platform/db/ADODB.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/ScopeExit.h"

TForm7* Form7 = nullptr;

SKLAD_DEFINE_CLASS(TForm7)

void TForm7::Publish(TPropertyTable& t)
{
    t.Method("Button1Click", &TForm7::Button1Click);
    t.Method("Button2Click", &TForm7::Button2Click);
    t.Method("FormShow", &TForm7::FormShow);
    t.Method("FormClose", &TForm7::FormClose);
}

TForm7::TForm7(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit7"));
    SKLAD_BIND(Label1);
    SKLAD_BIND(Edit1);
    SKLAD_BIND(Panel1);
    SKLAD_BIND(Label2);
    SKLAD_BIND(Edit2);
    SKLAD_BIND(Panel2);
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
}

void TForm7::SetMode(TPasswordMode mode)
{
    FMode = mode;
    switch (mode) {
    case TPasswordMode::First: SetCaption("Введите пароль"); break;
    case TPasswordMode::Old: SetCaption("Введите старый пароль"); break;
    case TPasswordMode::Change: SetCaption("Изменение пароля"); break;
    case TPasswordMode::None: break;
    }
    Edit1->SetText("");
    Edit2->SetText("");
    // The confirmation box is off only while the old password is asked for.
    Edit2->SetEnabled(mode != TPasswordMode::Old);
    Arrange();
}

void TForm7::Arrange()
{
    if (FMode == TPasswordMode::Old) {
        Panel1->SetVisible(false);
        Panel2->SetTop(48);
        SetHeight(116);
    } else {
        Panel1->SetVisible(true);
        Panel2->SetTop(88);
        SetHeight(154);
    }
}

void TForm7::FormShow(TObject*)
{
    Arrange();
}

void TForm7::Button1Click(TObject*)
{
    TADOQuery* q = MainWindow->ADOQuery2;
    const AnsiString password = Edit1->GetText();
    TScopeExit done([this] { Cancelled = 0; });
    if (password.empty()) {
        ShowMessage("Ошибка - пустой пароль");
        return;
    }
    switch (FMode) {
    case TPasswordMode::First:
    case TPasswordMode::Change:
        if (Edit2->GetText() != password) {
            ShowMessage("Подтверждение не совпадает с паролем");
            return;
        }
        // One password per warehouse: whatever rows there were, this one replaces them.
        InTransaction(MainWindow->ADOConnection1, [&] {
            ExecSql(q, "Delete * From Passwords");
            ExecSql(q, "Insert Into Passwords (Пароль) Values (:p)", {{"p", password}});
        });
        FMode = TPasswordMode::None;
        Close();
        return;
    case TPasswordMode::Old: {
        OpenSql(q, "Select * From Passwords");
        const AnsiString stored = q->IsEmpty() ? AnsiString() : q->FieldByName("Пароль")->AsString();
        if (q->IsEmpty() || stored != password) {
            ShowMessage("Неверный пароль");
            return;
        }
        SetMode(TPasswordMode::Change);
        return;
    }
    case TPasswordMode::None:
        return;
    }
}

void TForm7::Button2Click(TObject*)
{
    FMode = TPasswordMode::None;  // the close guard below no longer holds the dialog
    Cancelled = 1;
    Close();
}

void TForm7::FormClose(TObject*, TCloseAction& Action)
{
    if (FMode == TPasswordMode::First && (Edit1->GetText().empty() || Edit2->GetText().empty())) {
        ShowMessage("Нужно обязательно ввести пароль");
        Action = caNone;
    }
}

#include "app/documents/Unit11.h"

#include "app/shell/Layouts.h"
#include "platform/gui/StdCtrls.h"

TForm11* Form11 = nullptr;

SKLAD_DEFINE_CLASS(TForm11)

void TForm11::Publish(TPropertyTable& t)
{
    t.Method("Button1Click", &TForm11::Button1Click);
    t.Method("Button2Click", &TForm11::Button2Click);
}

TForm11::TForm11(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit11"));
    SKLAD_BIND(Label1);
    SKLAD_BIND(Label2);
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
}

bool TForm11::AskAbandon()
{
    FAbandon = false;
    ShowModal();
    return FAbandon;
}

void TForm11::Button1Click(TObject*)
{
    FAbandon = true;
    Close();
}

void TForm11::Button2Click(TObject*)
{
    Close();
}

#include "app/shell/Unit10.h"

#include "app/shell/Layouts.h"
#include "platform/gui/StdCtrls.h"

TForm10* Form10 = nullptr;

SKLAD_DEFINE_CLASS(TForm10)

void TForm10::Publish(TPropertyTable& t)
{
    t.Method("Button1Click", &TForm10::Button1Click);
}

TForm10::TForm10(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit10"));
    SKLAD_BIND(Label1);
    SKLAD_BIND(Button1);
}

void TForm10::Button1Click(TObject*)
{
    Close();
}

#include "app/documents/Unit4.h"

#include "app/shell/Layouts.h"
#include "app/shell/Unit1.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"

TForm4* Form4 = nullptr;

SKLAD_DEFINE_CLASS(TForm4)

void TForm4::Publish(TPropertyTable& t)
{
    t.Method("RadioButton1Click", &TForm4::RadioButton1Click);
    t.Method("RadioButton2Click", &TForm4::RadioButton2Click);
    t.Method("RadioButton3Click", &TForm4::RadioButton3Click);
    t.Method("RadioButton4Click", &TForm4::RadioButton4Click);
    t.Method("RadioButton5Click", &TForm4::RadioButton5Click);
    t.Method("RadioButton6Click", &TForm4::RadioButton6Click);
    t.Method("RadioButton7Click", &TForm4::RadioButton7Click);
    t.Method("RadioButton8Click", &TForm4::RadioButton8Click);
    t.Method("RadioButton9Click", &TForm4::RadioButton9Click);
    t.Method("RadioButton10Click", &TForm4::RadioButton10Click);
    t.Method("RadioButton11Click", &TForm4::RadioButton11Click);
    t.Method("RadioButton12Click", &TForm4::RadioButton12Click);
    t.Method("Button1Click", &TForm4::Button1Click);
    t.Method("Button2Click", &TForm4::Button2Click);
    t.Method("Button3Click", &TForm4::Button3Click);
    t.Method("Button4Click", &TForm4::Button4Click);
    t.Method("Button5Click", &TForm4::Button5Click);
    t.Method("Button6Click", &TForm4::Button6Click);
    t.Method("Button7Click", &TForm4::Button7Click);
    t.Method("Button8Click", &TForm4::Button8Click);
    t.Method("Button9Click", &TForm4::Button9Click);
    t.Method("Button10Click", &TForm4::Button10Click);
    t.Method("MonthCalendar1Click", &TForm4::MonthCalendar1Click);
    t.Method("DBGrid1DblClick", &TForm4::DBGrid1DblClick);
    t.Method("FormShow", &TForm4::FormShow);
    t.Method("FormClose", &TForm4::FormClose);
    t.Method("DBGrid1TitleClick", &TForm4::DBGrid1TitleClick);
}

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit4"), [this] { EnsureLayoutParents(*this, "Unit4"); });
    SKLAD_BIND(GroupBox1);
    SKLAD_BIND(GroupBox2);
    SKLAD_BIND(GroupBox3);
    SKLAD_BIND(RadioButton1);
    SKLAD_BIND(RadioButton2);
    SKLAD_BIND(RadioButton3);
    SKLAD_BIND(RadioButton4);
    SKLAD_BIND(RadioButton5);
    SKLAD_BIND(RadioButton6);
    SKLAD_BIND(RadioButton7);
    SKLAD_BIND(RadioButton8);
    SKLAD_BIND(RadioButton9);
    SKLAD_BIND(RadioButton10);
    SKLAD_BIND(RadioButton11);
    SKLAD_BIND(RadioButton12);
    SKLAD_BIND(Edit1);
    SKLAD_BIND(Edit2);
    SKLAD_BIND(MonthCalendar1);
    SKLAD_BIND(DBGrid1);
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
    SKLAD_BIND(Button3);
    SKLAD_BIND(Button4);
    SKLAD_BIND(Button5);
    SKLAD_BIND(Button6);
    SKLAD_BIND(Button7);
    SKLAD_BIND(Button8);
    SKLAD_BIND(Button9);
    SKLAD_BIND(Button10);
    DBGrid1->SetDataSource(Form1->DataSource4);
}

void TForm4::RadioButton1Click(TObject*)
{
}

void TForm4::RadioButton2Click(TObject*)
{
}

void TForm4::RadioButton3Click(TObject*)
{
}

void TForm4::RadioButton4Click(TObject*)
{
}

void TForm4::RadioButton5Click(TObject*)
{
}

void TForm4::RadioButton6Click(TObject*)
{
}

void TForm4::RadioButton7Click(TObject*)
{
}

void TForm4::RadioButton8Click(TObject*)
{
}

void TForm4::RadioButton9Click(TObject*)
{
}

void TForm4::RadioButton10Click(TObject*)
{
}

void TForm4::RadioButton11Click(TObject*)
{
}

void TForm4::RadioButton12Click(TObject*)
{
}

void TForm4::Button1Click(TObject*)
{
}

void TForm4::Button2Click(TObject*)
{
}

void TForm4::Button3Click(TObject*)
{
}

void TForm4::Button4Click(TObject*)
{
}

void TForm4::Button5Click(TObject*)
{
}

void TForm4::Button6Click(TObject*)
{
}

void TForm4::Button7Click(TObject*)
{
}

void TForm4::Button8Click(TObject*)
{
    Close();
}

void TForm4::Button9Click(TObject*)
{
}

void TForm4::Button10Click(TObject*)
{
}

void TForm4::MonthCalendar1Click(TObject*)
{
}

void TForm4::DBGrid1DblClick(TObject*)
{
}

void TForm4::FormShow(TObject*)
{
}

void TForm4::FormClose(TObject*, TCloseAction&)
{
    // Closing the journal always returns the main window to the working view.
    if (Form1->WorkingMode == 0)
        Form1->Button10->SetEnabled(true);
    for (TButton* b : {Form1->Button3, Form1->Button2, Form1->Button4, Form1->Button11, Form1->Button5,
                       Form1->Button6, Form1->Button9})
        b->SetEnabled(true);
    Form1->WorkingMode = 1;
}

void TForm4::DBGrid1TitleClick(TColumn*)
{
}

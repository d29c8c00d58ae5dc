#include "app/documents/Unit3.h"

#include "app/documents/Unit11.h"
#include "app/shell/Layouts.h"
#include "app/shell/Unit1.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"

TForm3* Form3 = nullptr;

SKLAD_DEFINE_CLASS(TForm3)

void TForm3::Publish(TPropertyTable& t)
{
    t.Method("Button1Click", &TForm3::Button1Click);
    t.Method("Button2Click", &TForm3::Button2Click);
    t.Method("Button3Click", &TForm3::Button3Click);
    t.Method("Button4Click", &TForm3::Button4Click);
    t.Method("Button6Click", &TForm3::Button6Click);
    t.Method("Button7Click", &TForm3::Button7Click);
    t.Method("Button8Click", &TForm3::Button8Click);
    t.Method("Button9Click", &TForm3::Button9Click);
    t.Method("ImportBtnClick", &TForm3::ImportBtnClick);
    t.Method("CheckBox1Click", &TForm3::CheckBox1Click);
    t.Method("ComboBox1Select", &TForm3::ComboBox1Select);
    t.Method("ComboBox2Change", &TForm3::ComboBox2Change);
    t.Method("DBGrid1DblClick", &TForm3::DBGrid1DblClick);
    t.Method("FormShow", &TForm3::FormShow);
}

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit3"), [this] { EnsureLayoutParents(*this, "Unit3"); });
    SKLAD_BIND(GroupBox1);
    SKLAD_BIND(GroupBox2);
    SKLAD_BIND(GroupBox3);
    SKLAD_BIND(ComboBox1);
    SKLAD_BIND(ComboBox2);
    SKLAD_BIND(ComboBox3);
    SKLAD_BIND(ComboBox4);
    SKLAD_BIND(ComboBox5);
    SKLAD_BIND(ComboBox6);
    SKLAD_BIND(Label1);
    SKLAD_BIND(Label2);
    SKLAD_BIND(Label3);
    SKLAD_BIND(Label4);
    SKLAD_BIND(Label5);
    SKLAD_BIND(Label6);
    SKLAD_BIND(Label7);
    SKLAD_BIND(Label8);
    SKLAD_BIND(Label9);
    SKLAD_BIND(Label10);
    SKLAD_BIND(Edit2);
    SKLAD_BIND(Edit3);
    SKLAD_BIND(DateTimePicker1);
    SKLAD_BIND(DateTimePicker2);
    SKLAD_BIND(CheckBox1);
    SKLAD_BIND(DBGrid1);
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
    SKLAD_BIND(Button3);
    SKLAD_BIND(Button4);
    SKLAD_BIND(Button6);
    SKLAD_BIND(Button7);
    SKLAD_BIND(Button8);
    SKLAD_BIND(Button9);
    SKLAD_BIND(ImportBtn);
    SKLAD_BIND(Import);
    SKLAD_BIND(ImportQuery);
    DBGrid1->SetDataSource(Form1->DataSource2);
    ImportQuery->SetConnection(Form1->ADOConnection1);
}

void TForm3::Button1Click(TObject*)
{
}

void TForm3::Button2Click(TObject*)
{
}

void TForm3::Button3Click(TObject*)
{
}

void TForm3::Button4Click(TObject*)
{
}

void TForm3::Button6Click(TObject*)
{
    // Leaving an entry asks first; a document only viewed closes at once.
    if (Button1->GetEnabled() || Button2->GetEnabled() || Button3->GetEnabled())
        Form11->ShowModal();
    else
        Close();
}

void TForm3::Button7Click(TObject*)
{
}

void TForm3::Button8Click(TObject*)
{
}

void TForm3::Button9Click(TObject*)
{
}

void TForm3::ImportBtnClick(TObject*)
{
}

void TForm3::CheckBox1Click(TObject*)
{
}

void TForm3::ComboBox1Select(TObject*)
{
}

void TForm3::ComboBox2Change(TObject*)
{
}

void TForm3::DBGrid1DblClick(TObject*)
{
}

void TForm3::FormShow(TObject*)
{
}

#include "app/documents/Unit9.h"

#include "app/shell/Layouts.h"
#include "app/shell/Unit1.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"

TForm9* Form9 = nullptr;

SKLAD_DEFINE_CLASS(TForm9)

void TForm9::Publish(TPropertyTable& t)
{
    t.Method("RadioButton1Click", &TForm9::RadioButton1Click);
    t.Method("RadioButton2Click", &TForm9::RadioButton2Click);
    t.Method("RadioButton3Click", &TForm9::RadioButton3Click);
    t.Method("RadioButton4Click", &TForm9::RadioButton4Click);
    t.Method("RadioButton5Click", &TForm9::RadioButton5Click);
    t.Method("RadioButton7Click", &TForm9::RadioButton7Click);
    t.Method("RadioButton8Click", &TForm9::RadioButton8Click);
    t.Method("Button1Click", &TForm9::Button1Click);
    t.Method("Button2Click", &TForm9::Button2Click);
    t.Method("Button3Click", &TForm9::Button3Click);
    t.Method("Button4Click", &TForm9::Button4Click);
    t.Method("Button5Click", &TForm9::Button5Click);
    t.Method("Button6Click", &TForm9::Button6Click);
    t.Method("Button7Click", &TForm9::Button7Click);
    t.Method("MonthCalendar1Click", &TForm9::MonthCalendar1Click);
    t.Method("MonthCalendar2Click", &TForm9::MonthCalendar2Click);
    t.Method("TreeView1Click", &TForm9::TreeView1Click);
    t.Method("FormClick", &TForm9::FormClick);
    t.Method("DBGrid1CellClick", &TForm9::DBGrid1CellClick);
    t.Method("DBGrid1DblClick", &TForm9::DBGrid1DblClick);
    t.Method("GroupBox1Click", &TForm9::GroupBox1Click);
    t.Method("GroupBox2Click", &TForm9::GroupBox2Click);
    t.Method("CheckBox1Click", &TForm9::CheckBox1Click);
    t.Method("CheckBox2Click", &TForm9::CheckBox2Click);
    t.Method("ComboBox1Select", &TForm9::ComboBox1Select);
    t.Method("ComboBox2Select", &TForm9::ComboBox2Select);
    t.Method("FormShow", &TForm9::FormShow);
    t.Method("TreeView1Change", &TForm9::TreeView1Change);
    t.Method("DBGrid1TitleClick", &TForm9::DBGrid1TitleClick);
}

TForm9::TForm9(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit9"), [this] { EnsureLayoutParents(*this, "Unit9"); });
    SKLAD_BIND(GroupBox1);
    SKLAD_BIND(GroupBox2);
    SKLAD_BIND(GroupBox3);
    SKLAD_BIND(RadioButton1);
    SKLAD_BIND(RadioButton2);
    SKLAD_BIND(RadioButton3);
    SKLAD_BIND(RadioButton4);
    SKLAD_BIND(RadioButton5);
    SKLAD_BIND(RadioButton7);
    SKLAD_BIND(RadioButton8);
    SKLAD_BIND(Edit1);
    SKLAD_BIND(Edit2);
    SKLAD_BIND(MonthCalendar1);
    SKLAD_BIND(MonthCalendar2);
    SKLAD_BIND(TreeView1);
    SKLAD_BIND(DBGrid1);
    SKLAD_BIND(CheckBox1);
    SKLAD_BIND(CheckBox2);
    SKLAD_BIND(ComboBox1);
    SKLAD_BIND(ComboBox2);
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
    SKLAD_BIND(Button3);
    SKLAD_BIND(Button4);
    SKLAD_BIND(Button5);
    SKLAD_BIND(Button6);
    SKLAD_BIND(Button7);
    DBGrid1->SetDataSource(Form1->DataSource5);
}

void TForm9::RadioButton1Click(TObject*)
{
}

void TForm9::RadioButton2Click(TObject*)
{
}

void TForm9::RadioButton3Click(TObject*)
{
}

void TForm9::RadioButton4Click(TObject*)
{
}

void TForm9::RadioButton5Click(TObject*)
{
}

void TForm9::RadioButton7Click(TObject*)
{
}

void TForm9::RadioButton8Click(TObject*)
{
}

void TForm9::Button1Click(TObject*)
{
}

void TForm9::Button2Click(TObject*)
{
}

void TForm9::Button3Click(TObject*)
{
    Close();
}

void TForm9::Button4Click(TObject*)
{
}

void TForm9::Button5Click(TObject*)
{
}

void TForm9::Button6Click(TObject*)
{
}

void TForm9::Button7Click(TObject*)
{
}

void TForm9::MonthCalendar1Click(TObject*)
{
}

void TForm9::MonthCalendar2Click(TObject*)
{
}

void TForm9::TreeView1Click(TObject*)
{
}

void TForm9::FormClick(TObject*)
{
}

void TForm9::DBGrid1CellClick(TColumn*)
{
}

void TForm9::DBGrid1DblClick(TObject*)
{
}

void TForm9::GroupBox1Click(TObject*)
{
}

void TForm9::GroupBox2Click(TObject*)
{
}

void TForm9::CheckBox1Click(TObject*)
{
}

void TForm9::CheckBox2Click(TObject*)
{
}

void TForm9::ComboBox1Select(TObject*)
{
}

void TForm9::ComboBox2Select(TObject*)
{
}

void TForm9::FormShow(TObject*)
{
}

void TForm9::TreeView1Change(TObject*, TTreeNode*)
{
}

void TForm9::DBGrid1TitleClick(TColumn*)
{
}

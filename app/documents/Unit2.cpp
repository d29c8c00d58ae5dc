#include "app/documents/Unit2.h"

#include "app/shell/Layouts.h"
#include "app/shell/Unit1.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"

TForm2* Form2 = nullptr;

SKLAD_DEFINE_CLASS(TForm2)

void TForm2::Publish(TPropertyTable& t)
{
    t.Method("ArtChange", &TForm2::ArtChange);
    t.Method("ComboBox1Change", &TForm2::ComboBox1Change);
    t.Method("ComboBox2Change", &TForm2::ComboBox2Change);
    t.Method("ComboBox3Change", &TForm2::ComboBox3Change);
    t.Method("ComboBox5Change", &TForm2::ComboBox5Change);
    t.Method("ComboBox7Change", &TForm2::ComboBox7Change);
    t.Method("ComboBox6Change", &TForm2::ComboBox6Change);
    t.Method("ComboBox1Select", &TForm2::ComboBox1Select);
    t.Method("ComboBox2Select", &TForm2::ComboBox2Select);
    t.Method("ComboBox3Select", &TForm2::ComboBox3Select);
    t.Method("ComboBox5Select", &TForm2::ComboBox5Select);
    t.Method("ComboBox7Select", &TForm2::ComboBox7Select);
    t.Method("DBGrid1CellClick", &TForm2::DBGrid1CellClick);
    t.Method("Button1Click", &TForm2::Button1Click);
    t.Method("Button2Click", &TForm2::Button2Click);
    t.Method("Button3Click", &TForm2::Button3Click);
    t.Method("Button4Click", &TForm2::Button4Click);
    t.Method("Button5Click", &TForm2::Button5Click);
    t.Method("Button6Click", &TForm2::Button6Click);
    t.Method("Button7Click", &TForm2::Button7Click);
    t.Method("Button9Click", &TForm2::Button9Click);
    t.Method("FormShow", &TForm2::FormShow);
    t.Method("ComboBox1KeyDown", &TForm2::ComboBox1KeyDown);
}

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit2"), [this] { EnsureLayoutParents(*this, "Unit2"); });
    SKLAD_BIND(Art);
    SKLAD_BIND(ComboBox1);
    SKLAD_BIND(ComboBox2);
    SKLAD_BIND(ComboBox3);
    SKLAD_BIND(ComboBox4);
    SKLAD_BIND(ComboBox5);
    SKLAD_BIND(ComboBox6);
    SKLAD_BIND(ComboBox7);
    SKLAD_BIND(Edit1);
    SKLAD_BIND(Edit2);
    SKLAD_BIND(Edit3);
    SKLAD_BIND(Edit4);
    SKLAD_BIND(Edit5);
    SKLAD_BIND(Edit6);
    SKLAD_BIND(Edit7);
    SKLAD_BIND(Edit9);
    SKLAD_BIND(Label6);
    SKLAD_BIND(GroupBox1);
    SKLAD_BIND(GroupBox2);
    SKLAD_BIND(DBGrid1);
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
    SKLAD_BIND(Button3);
    SKLAD_BIND(Button4);
    SKLAD_BIND(Button5);
    SKLAD_BIND(Button6);
    SKLAD_BIND(Button7);
    SKLAD_BIND(Button9);
    DBGrid1->SetDataSource(Form1->DataSource3);
}

void TForm2::ArtChange(TObject*)
{
}

void TForm2::ComboBox1Change(TObject*)
{
}

void TForm2::ComboBox2Change(TObject*)
{
}

void TForm2::ComboBox3Change(TObject*)
{
}

void TForm2::ComboBox5Change(TObject*)
{
}

void TForm2::ComboBox7Change(TObject*)
{
}

void TForm2::ComboBox6Change(TObject*)
{
}

void TForm2::ComboBox1Select(TObject*)
{
}

void TForm2::ComboBox2Select(TObject*)
{
}

void TForm2::ComboBox3Select(TObject*)
{
}

void TForm2::ComboBox5Select(TObject*)
{
}

void TForm2::ComboBox7Select(TObject*)
{
}

void TForm2::DBGrid1CellClick(TColumn*)
{
}

void TForm2::Button1Click(TObject*)
{
}

void TForm2::Button2Click(TObject*)
{
}

void TForm2::Button3Click(TObject*)
{
}

void TForm2::Button4Click(TObject*)
{
}

void TForm2::Button5Click(TObject*)
{
}

void TForm2::Button6Click(TObject*)
{
    Close();
}

void TForm2::Button7Click(TObject*)
{
}

void TForm2::Button9Click(TObject*)
{
}

void TForm2::FormShow(TObject*)
{
}

void TForm2::ComboBox1KeyDown(TObject*, uint16_t&, TShiftState)
{
}

#include "app/shell/Unit12.h"

#include "app/shell/Layouts.h"
#include "app/documents/Statements.h"
#include "app/shell/MainWindow.h"
#include "platform/db/ADODB.h"
#include "platform/gui/StdCtrls.h"

TForm12* Form12 = nullptr;

SKLAD_DEFINE_CLASS(TForm12)

void TForm12::Publish(TPropertyTable& t)
{
    t.Method("FormShow", &TForm12::FormShow);
    t.Method("CheckBox1Click", &TForm12::CheckBox1Click);
    t.Method("CheckBox2Click", &TForm12::CheckBox2Click);
    t.Method("Button1Click", &TForm12::Button1Click);
    t.Method("Button2Click", &TForm12::Button2Click);
}

TForm12::TForm12(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit12"));
    SKLAD_BIND(Label1);
    SKLAD_BIND(Label2);
    SKLAD_BIND(CheckBox1);
    SKLAD_BIND(CheckBox2);
    SKLAD_BIND(CheckBox3);
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
}

void TForm12::UpdateHint()
{
    const bool color = CheckBox1->GetChecked();
    const bool sizes = CheckBox2->GetChecked();
    const char* limit = color && sizes ? "14" : (color || sizes) ? "22" : "30";
    Label2->SetCaption(AnsiString("Наименование должно содержать не более ") + limit + " символов");
}

void TForm12::ShowFlags()
{
    TADOQuery* q = MainWindow->ADOQuery2;
    OpenSql(q, "Select * From Name");
    if (!q->IsEmpty()) {
        // Flags other than 0 and 1 leave the box as it was.
        const int color = q->FieldByName("Цвет")->AsInteger();
        const int sizes = q->FieldByName("Размеры")->AsInteger();
        if (color == 0 || color == 1)
            CheckBox1->SetChecked(color == 1);
        if (sizes == 0 || sizes == 1)
            CheckBox2->SetChecked(sizes == 1);
    }
    ShowModal();
}

void TForm12::FormShow(TObject*) { UpdateHint(); }
void TForm12::CheckBox1Click(TObject*) { UpdateHint(); }
void TForm12::CheckBox2Click(TObject*) { UpdateHint(); }

void TForm12::Button1Click(TObject*)
{
    TADOQuery* q = MainWindow->ADOQuery2;
    const int color = CheckBox1->GetChecked() ? 1 : 0;
    const int sizes = CheckBox2->GetChecked() ? 1 : 0;
    InTransaction(MainWindow->ADOConnection1, [&] {
        // A file that lost its one row gets it back: "OK" must not keep nothing.
        if (ExecSql(q, "Update Name Set Цвет=:v", {{"v", color}}) == 0)
            ExecSql(q, "Insert Into Name (Цвет,Размеры) Values (:c,:s)", {{"c", color}, {"s", sizes}});
        else
            ExecSql(q, "Update Name Set Размеры=:v", {{"v", sizes}});
    });
    Close();
}

void TForm12::Button2Click(TObject*)
{
    Close();
}

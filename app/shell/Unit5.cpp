#include "app/shell/Unit5.h"

#include "app/shell/Layouts.h"
#include "platform/gui/StdCtrls.h"

TForm5* Form5 = nullptr;

const char* InputJobCaption(TInputJob job)
{
    switch (job) {
    case TInputJob::AddSubgroup: return "Добавить подгруппу";
    case TInputJob::Rename: return "Переименовать";
    case TInputJob::NewWarehouse: return "Наименование нового склада";
    case TInputJob::Vat: return "Изменение НДС";
    case TInputJob::WriteOff: return "Введите пароль на списание";
    case TInputJob::Article: return "Добавить/изменить артикул";
    case TInputJob::MoveProduct:
    case TInputJob::None: break;
    }
    return "Form5";
}

SKLAD_DEFINE_CLASS(TForm5)

void TForm5::Publish(TPropertyTable& t)
{
    t.Method("Button1Click", &TForm5::Button1Click);
    t.Method("FormShow", &TForm5::FormShow);
    t.Method("FormClose", &TForm5::FormClose);
}

TForm5::TForm5(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit5"), [this] { EnsureLayoutParents(*this, "Unit5"); });
    SKLAD_BIND(Edit1);
    SKLAD_BIND(Button1);
    SKLAD_BIND(ComboBox1);
}

void TForm5::SetJob(TInputJob job)
{
    FJob = job;
    SetCaption(InputJobCaption(job));
}

// The jobs' work comes with the catalogue commands (adding and renaming groups, moving
// goods, the article, the VAT rate) and with the new warehouse and write-off posting.
void TForm5::Button1Click(TObject*)
{
}

void TForm5::FormShow(TObject*)
{
    if (Edit1->CanFocus())
        Edit1->SetFocus();
}

void TForm5::FormClose(TObject*, TCloseAction&)
{
}

#include "app/documents/Unit8.h"

#include "app/documents/Documents.h"
#include "app/shell/Layouts.h"
#include "app/shell/DataModule.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"

TForm8* Form8 = nullptr;

SKLAD_DEFINE_CLASS(TForm8)

void TForm8::Publish(TPropertyTable& t)
{
    t.Method("Button2Click", &TForm8::Button2Click);
    t.Method("Button3Click", &TForm8::Button3Click);
    t.Method("FormShow", &TForm8::FormShow);
}

TForm8::TForm8(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit8"));
    SKLAD_BIND(Date1);
    SKLAD_BIND(Date2);
    SKLAD_BIND(Label1);
    SKLAD_BIND(Label2);
    SKLAD_BIND(Label3);
    SKLAD_BIND(Button2);
    SKLAD_BIND(Button3);
}

void TForm8::Button2Click(TObject*)
{
    const TDateTime from = DateOf(Date1->GetDateTime()), to = DateOf(Date2->GetDateTime());
    if (from > to) {
        ShowMessage(DocumentMessage(TDocumentMessage::BadRange));
        return;
    }
    int moved = 0;
    try {
        moved = ArchiveRange(WarehouseData->ADOQuery3, from, to);
    } catch (const std::exception& e) {
        // Nothing moved; the range stays for another try.
        ShowMessage(DocumentMessage(TDocumentMessage::NotArchived, {e.what()}));
        return;
    }
    ShowMessage(DocumentMessage(TDocumentMessage::ArchivedCount, {IntToStr(moved)}));
    Close();
}

void TForm8::Button3Click(TObject*)
{
    Close();
}

void TForm8::FormShow(TObject*)
{
    Date1->SetDateTime(Date());
    Date2->SetDateTime(Date());
}

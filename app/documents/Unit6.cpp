#include "app/documents/Unit6.h"

#include "app/shell/CatalogueMessages.h"
#include "app/shell/Layouts.h"
#include "app/documents/Statements.h"
#include "app/shell/DataModule.h"
#include "platform/db/ADODB.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"

TForm6* Form6 = nullptr;

const char* const kDetailsColumns[12] = {
    "Название", "Адрес", "Рс", "Кс", "В", "БИК", "ИНН", "КПП", "ОКОНХ", "ОКПО", "Тел", "Директор",
};

SKLAD_DEFINE_CLASS(TForm6)

void TForm6::Publish(TPropertyTable& t)
{
    t.Method("Button1Click", &TForm6::Button1Click);
    t.Method("Button2Click", &TForm6::Button2Click);
}

TForm6::TForm6(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(FormLayoutText("Unit6"));
    for (int i = 0; i < 12; ++i) {
        BindComponent(*this, Edit[i], ("Edit" + std::to_string(i + 1)).c_str());
        BindComponent(*this, Label[i], ("Label" + std::to_string(i + 1)).c_str());
    }
    SKLAD_BIND(Button1);
    SKLAD_BIND(Button2);
}

void TForm6::SetMode(TDetailsMode mode, const AnsiString& supplierName)
{
    FMode = mode;
    FSupplierName = supplierName;
    switch (mode) {
    case TDetailsMode::Company: SetCaption("Информация о фирме"); break;
    case TDetailsMode::Supplier: SetCaption("Информация о поставщике "); break;
    case TDetailsMode::NewSupplier: SetCaption("Информация о новом поставщике "); break;
    }
}

void TForm6::FillFrom(TDataSet* data)
{
    const bool row = data && data->Active() && !data->IsEmpty();
    if (row)
        data->First();
    for (int i = 0; i < 12; ++i)
        Edit[i]->SetText(row ? data->FieldByName(kDetailsColumns[i])->AsString() : AnsiString());
}

void TForm6::ShowCompany()
{
    TADOQuery* q = WarehouseData->ADOQuery2;
    OpenSql(q, "Select * From Owner");
    Edit[0]->SetEnabled(true);
    FillFrom(q);
    SetMode(TDetailsMode::Company);
    ShowModal();
}

void TForm6::ShowSupplier(TDataSet* row, const AnsiString& name, const AnsiString& key, TSupplierCaption caption)
{
    if (!row || !row->Active() || row->IsEmpty()) {
        for (TEdit* e : Edit)
            e->SetText("");
        Edit[0]->SetText(name);
        SetMode(TDetailsMode::NewSupplier);
    } else {
        FillFrom(row);
        Edit[0]->SetText(name);
        SetMode(TDetailsMode::Supplier, key);
    }
    if (caption == TSupplierCaption::DocumentWindow)
        SetCaption(TrimRight(GetCaption()));
    ShowModal();
}

void TForm6::Button1Click(TObject*)
{
    // A supplier is known by its name: a nameless row could never be found again,
    // and the goods that named the old one would lose their supplier.
    if (FMode != TDetailsMode::Company && Trim(Edit[0]->GetText()).empty()) {
        ShowMessage("Введите название поставщика");
        return;
    }
    for (int i = 0; i < 12; ++i)
        if (HasControlCharacters(Edit[i]->GetText())) {
            ShowMessage(CatalogueMessage(TCatalogueMessage::ControlCharacters, {Edit[i]->GetText()}));
            return;
        }
    TADOQuery* q = WarehouseData->ADOQuery2;
    AnsiString set;
    for (int i = 0; i < 12; ++i)
        set += AnsiString(i ? "," : "") + kDetailsColumns[i] + "=:v" + std::to_string(i);
    AnsiString columns, values;
    for (int i = 0; i < 12; ++i) {
        columns += AnsiString(i ? "," : "") + kDetailsColumns[i];
        values += AnsiString(i ? "," : "") + ":v" + std::to_string(i);
    }
    // Twelve bound values, named v0 .. v11.
    std::vector<AnsiString> texts(12);
    for (int i = 0; i < 12; ++i)
        texts[size_t(i)] = Edit[i]->GetText();
    const auto bind = [&](const AnsiString& sql, bool withName) {
        return ExecSql(q, sql,
                       {{"v0", texts[0]}, {"v1", texts[1]}, {"v2", texts[2]}, {"v3", texts[3]},
                        {"v4", texts[4]}, {"v5", texts[5]}, {"v6", texts[6]}, {"v7", texts[7]},
                        {"v8", texts[8]}, {"v9", texts[9]}, {"v10", texts[10]}, {"v11", texts[11]},
                        {"old", withName ? Variant(FSupplierName) : Variant()}});
    };
    switch (FMode) {
    case TDetailsMode::Company:
        // One company row: updated when it exists, made when it does not.
        if (bind("Update Owner Set " + set, false) == 0)
            bind("Insert Into Owner (" + columns + ") Values (" + values + ")", false);
        break;
    case TDetailsMode::Supplier: {
        // A new name goes to the goods that named the old one, in the same transaction, so
        // no product is left pointing at a supplier that is gone; taking another supplier's
        // name would merge two suppliers and is refused.
        const bool renamed = !AnsiSameText(Trim(texts[0]), Trim(FSupplierName));
        if (renamed) {
            OpenSql(q, "Select Название From P Where Название=:name", {{"name", texts[0]}});
            const bool taken = !q->IsEmpty();
            q->Close();
            if (taken) {
                ShowMessage("Поставщик с таким названием уже есть");
                return;
            }
        }
        InTransaction(WarehouseData->ADOConnection1, [&] {
            if (bind("Update P Set " + set + " Where Название=:old", true) == 0)
                bind("Insert Into P (" + columns + ") Values (" + values + ")", false);
            if (renamed)
                ExecSql(q, "Update Products Set Имя_поставщика=:new Where Имя_поставщика=:old",
                        {{"new", texts[0]}, {"old", FSupplierName}});
        });
        FSupplierName = texts[0];
        break;
    }
    case TDetailsMode::NewSupplier:
        bind("Insert Into P (" + columns + ") Values (" + values + ")", false);
        break;
    }
    Close();
}

void TForm6::Button2Click(TObject*)
{
    Close();
}

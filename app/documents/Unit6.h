// Unit6.h - company and supplier details: twelve labelled edit boxes.
//
// The opener sets the mode: the own company (table Owner), a known supplier (its row of P,
// found by the name it had when the dialog opened) or a new supplier (a new row of P). "OK"
// writes the twelve boxes to the twelve columns of that row, all values bound.
#pragma once

#include "platform/gui/Forms.h"

class TEdit;
class TLabel;
class TButton;

enum class TDetailsMode {
    Company,      // "Информация о фирме"
    Supplier,     // "Информация о поставщике "
    NewSupplier,  // "Информация о новом поставщике "
};

// Who opens a supplier's details: the goods card's captions end in a blank, the document
// window's do not.
enum class TSupplierCaption {
    GoodsCard,
    DocumentWindow,
};

class TForm6 : public TForm {
    SKLAD_CLASS(TForm6, TForm)
public:
    explicit TForm6(TComponent* AOwner);

    TEdit* Edit[12] = {};  // Edit1 .. Edit12
    TLabel* Label[12] = {};
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;

    TDetailsMode Mode() const { return FMode; }
    // Sets the mode and its caption; for Supplier, `supplierName` is the row to update.
    void SetMode(TDetailsMode mode, const AnsiString& supplierName = {});
    // For Supplier: the supplier's name as last stored (a rename changes it).
    const AnsiString& SupplierName() const { return FSupplierName; }
    // Fills the boxes from the first row of a query over Owner or P.
    void FillFrom(class TDataSet* data);

    // -- openers: each fills the boxes and sets the mode, then shows the dialog modally.
    // The own company's details (table Owner).
    void ShowCompany();
    // The details of the supplier typed as `name`: its row of P when `row` holds one (updated
    // by the name `key`), else a new supplier. The name box shows `name` as typed.
    void ShowSupplier(class TDataSet* row, const AnsiString& name, const AnsiString& key,
                      TSupplierCaption caption = TSupplierCaption::GoodsCard);

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);

private:
    TDetailsMode FMode = TDetailsMode::Company;
    AnsiString FSupplierName;
};

// The twelve columns of Owner and P, in the order of the edit boxes.
extern const char* const kDetailsColumns[12];

extern TForm6* Form6;

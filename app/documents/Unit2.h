// Unit2.h - the goods card: a product's record card, the line picker and the line editor of documents.
//
// The window's layout (app/forms/Unit2.dfm) is complete; the behaviour of its handlers comes
// with the document work, so most of them do nothing yet.
#pragma once

#include "platform/gui/Forms.h"

#include <cstdint>

class TButton;
class TComboBox;
class TDBGrid;
class TColumn;
class TEdit;
class TGroupBox;
class TLabel;

class TForm2 : public TForm {
    SKLAD_CLASS(TForm2, TForm)
public:
    explicit TForm2(TComponent* AOwner);

    TComboBox* Art = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TComboBox* ComboBox3 = nullptr;
    TComboBox* ComboBox4 = nullptr;
    TComboBox* ComboBox5 = nullptr;
    TComboBox* ComboBox6 = nullptr;
    TComboBox* ComboBox7 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit4 = nullptr;
    TEdit* Edit5 = nullptr;
    TEdit* Edit6 = nullptr;
    TEdit* Edit7 = nullptr;
    TEdit* Edit9 = nullptr;
    TLabel* Label6 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;
    TButton* Button5 = nullptr;
    TButton* Button6 = nullptr;
    TButton* Button7 = nullptr;
    TButton* Button9 = nullptr;

    // Shared scratch of the catalogue windows.
    AnsiString WorkText;
    AnsiString ProductFilter;   // the Products.ID whose documents the journal shows; empty = all
    AnsiString GroupCondition;
    uint8_t VatInputValid = 0;
    uint8_t FirstShow = 0;
    uint8_t ComboKeyFlag = 0;

    void ArtChange(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    void ComboBox2Change(TObject* Sender);
    void ComboBox3Change(TObject* Sender);
    void ComboBox5Change(TObject* Sender);
    void ComboBox7Change(TObject* Sender);
    void ComboBox6Change(TObject* Sender);
    void ComboBox1Select(TObject* Sender);
    void ComboBox2Select(TObject* Sender);
    void ComboBox3Select(TObject* Sender);
    void ComboBox5Select(TObject* Sender);
    void ComboBox7Select(TObject* Sender);
    void DBGrid1CellClick(TColumn* Column);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void FormShow(TObject* Sender);
    void ComboBox1KeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
};

extern TForm2* Form2;
